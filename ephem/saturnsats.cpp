// Saturn's eight major satellites from their theories, and Phoebe from its
// day table. Mimas to Dione: precessing elements on Saturn's equator with the
// librations of the Mimas-Tethys and Enceladus-Dione pairs; Rhea, Titan,
// Hyperion and Iapetus: mean elements with the perturbations that matter for
// each (the theories collected by Harper & Taylor, A&A 268, 326, 1993, and
// Meeus, Astronomical Algorithms, ch. 46).
//
// Range: within 30" of PyEphem's Saturnian theory over 2024, but minutes of
// arc apart from it a century either side (bench/satellite_accuracy): which
// side holds there is not settled. Used for every date.
#include <cmath>

#include "astro/datetime.h"
#include "core/mathutil.h"
#include "ephem/daytables.h"
#include "ephem/satellitecommon.h"
#include "ephem/satellitenames.h"
#include "ephem/satellites.h"

namespace {

const double kDegree = kPi / 180.0;

double D(double degrees) { return degrees * kDegree; }

// Saturn's equator: inclination and node on the ecliptic of date (rad).
void SaturnEquator(double centuries, double *is, double *os) {
    const double t = centuries;
    *is = D(28.075216 - 0.012998 * t + 0.000004 * t * t);
    *os = D(169.50847 + 1.394681 * t + 0.000412 * t * t);
}

// An orbit (i, Omega) on the ecliptic of date to the Earth's mean equator:
// node N and inclination I on the equator, and the arc psi from the node on
// the equator to the node on the ecliptic.
void EclipticToEquator(double eps, double i, double omega, double *n, double *incl,
                       double *psi) {
    const double se = std::sin(eps), ce = std::cos(eps);
    const double si = std::sin(i), ci = std::cos(i);
    const double so = std::sin(omega), co = std::cos(omega);
    *n = ComputeQuadrantArcTangent(so * si, co * ce * si + se * ci);
    *incl = ComputeClampedArcCosine(ce * ci - se * si * co);
    *psi = ComputeQuadrantArcTangent(se * so, co * se * ci + ce * si);
}

double TrueAnomaly(double m, double e) {
    const double ecc = SolveKepler(m, e);
    return TrueAnomalyFromEccentricAnomaly(ecc, std::sqrt((1.0 + e) / (1.0 - e)));
}

// The common rotation and projection of an orbit on the ecliptic of date.
void ProjectEclipticOrbit(const DateRecord *date, BodyRecord *saturn, int slot, double a,
                          double e, double i, double omega, double lambda, double peri,
                          double magnitude) {
    double n, incl, psi;
    EclipticToEquator(date->meanObliquity, i, omega, &n, &incl, &psi);
    const double v = TrueAnomaly(lambda - peri, e);
    const double u = (peri - omega) + psi + v;
    ProjectSatellite(date, saturn, slot, a, incl, n, u, 0);
    saturn->satellites[kSatMagnitude][slot] = SatelliteMagnitude(saturn, magnitude);
    saturn->satelliteNames[slot] = GetSatelliteNameText(kBodySaturn, slot);
}

struct InnerMoon {
    double a, n, e, i;
    double node0, nodeRate;  // degrees, degrees per Julian year
    double peri0, periRate;
    double magnitude;
};

const InnerMoon kInner[4] = {
    {0.00124171, 381.994516, 0.01986, 0.027401669256310976, 49.4, -365.025, 107.0, 365.56, 3.3},
    {0.00158935, 262.7319052, 0.00532, 0.0006283185307179586, 145.0, -152.7, 312.7, 123.42, 2.1},
    {0.00197069, 190.697920278, 0.000212, 0.01940980661142894, 111.41, -72.24754, 97.0, 72.29,
     0.6},
    {0.00252413, 131.534920026, 0.001715, 0.0005044001538263612, 228.0, -30.6197, 173.6, 30.8381,
     0.8}};

}  // namespace

void ComputeInnerSaturnSatellites(const DateRecord *date, BodyRecord *saturn, int which) {
    if (!date || !saturn || which < 0 || which > 4) return;
    const double jde = SatelliteJulianEphemerisDate(date, saturn);
    const double t1 = jde - 2411093.0;
    const double ty = t1 / 365.25;
    double is, os;
    SaturnEquator(SatelliteCenturies(date, saturn), &is, &os);
    const double w = D(5.0616 * ((jde - 2433282.423) / 365.25 + 1950.0 - 1866.06));
    const double aA = D(59.4 + 32.73 * ty), bB = D(119.2 + 93.18 * ty);
    for (int j = 0; j < 4; ++j) {
        if (!SatelliteSelected(which, j)) continue;
        const InnerMoon &m = kInner[j];
        const double omega = D(m.node0 + m.nodeRate * ty);
        const double peri = D(m.peri0 + m.periRate * ty);
        double l = 0.0;
        switch (j) {
        case 0:
            l = 128.839 + m.n * t1 - 43.415 * std::sin(w) - 0.714 * std::sin(3 * w) -
                0.02 * std::sin(5 * w);
            break;
        case 1: l = 200.155 + m.n * t1 + 0.256333 * std::sin(aA) + 0.217333 * std::sin(bB); break;
        case 2:
            l = 284.9982 + m.n * t1 + 2.0751 * std::sin(w) + 0.0341 * std::sin(3 * w) -
                0.001 * std::sin(5 * w);
            break;
        default: l = 255.1183 + m.n * t1 - 0.0146667 * std::sin(aA) - 0.0125 * std::sin(bB); break;
        }
        const double lambda = ReduceSatelliteAngle(D(l));
        const double mean = ReduceSatelliteAngle(lambda - peri);
        // Saturn's equator to the ecliptic of date.
        const double d = omega - os;
        const double si = std::sin(m.i), ci = std::cos(m.i);
        const double sis = std::sin(is), cis = std::cos(is);
        const double o1 =
            os + ComputeQuadrantArcTangent(si * std::sin(d), std::cos(d) * cis * si + sis * ci);
        const double i1 = ComputeClampedArcCosine(cis * ci - sis * si * std::cos(d));
        const double psi1 =
            ComputeQuadrantArcTangent(sis * std::sin(d), std::cos(d) * ci * sis + si * cis);
        double n, incl, psi2;
        EclipticToEquator(date->meanObliquity, i1, o1, &n, &incl, &psi2);
        const double v = TrueAnomaly(mean, m.e);
        const double u = (peri - omega) + psi2 + psi1 + v;
        ProjectSatellite(date, saturn, j, m.a, incl, n, u, 0);
        saturn->satellites[kSatMagnitude][j] = SatelliteMagnitude(saturn, m.magnitude);
        saturn->satelliteNames[j] = GetSatelliteNameText(kBodySaturn, j);
    }
}

void ComputeRhea(const DateRecord *date, BodyRecord *saturn) {
    if (!date || !saturn) return;
    const double jde = SatelliteJulianEphemerisDate(date, saturn);
    const double t1 = jde - 2411093.0, ty = t1 / 365.25, y = (jde - 2411368.0) / 365.25;
    double is, os;
    SaturnEquator(SatelliteCenturies(date, saturn), &is, &os);
    const double r1 = D(305.0 + 10.2077 * ty), r2 = D(276.49 + 0.5219 * y);
    const double r3 = D(44.5 - 0.5219 * y), r4 = D(356.87 - 10.2077 * ty);
    const double g = 57.29578 * std::sin(0.00576831317784126);
    const double lambda = D(359.4727 + 79.69004007 * t1 + g * std::tan(is / 2.0) * std::sin(r4));
    const double i = D(g * std::cos(r4) - 0.0455 + 0.0201 * std::cos(r3)) + is;
    const double omega =
        D((g * std::sin(r4) + 0.0201 * std::sin(r3)) / std::sin(is) - 0.0078) + os;
    const double esin = 0.001 * std::sin(r2) + 0.00021 * std::sin(r1);
    const double ecos = 0.001 * std::cos(r2) + 0.00021 * std::cos(r1);
    const double peri = std::atan2(esin, ecos);
    // The length of the vector: (e sin P) / sin P has no value at sin P = 0.
    const double e = std::hypot(esin, ecos);
    ProjectEclipticOrbit(date, saturn, 4, 0.003524, e, i, omega, lambda, peri, 0.1);
}

void ComputeTitan(const DateRecord *date, BodyRecord *saturn) {
    if (!date || !saturn) return;
    const double jde = SatelliteJulianEphemerisDate(date, saturn);
    double is, os;
    SaturnEquator(SatelliteCenturies(date, saturn), &is, &os);
    const double t0 = (jde - 2415020.0) / 36525.0;
    const double y = (jde - 2411368.0) / 365.25;
    const double ls = D(175.4762 + 1221.5515 * t0);
    const double iss = D(2.4891 + 0.002435 * t0);
    const double ns = D(113.35 - 0.2597 * t0);
    const double lm = D(267.2635 + 1222.1136 * t0);
    const double h = D(41.28 - 0.5219 * y);
    const double g = 57.29577951308232 * std::sin(0.005218534463463045);
    const double i0 = D(g * std::cos(h) - 0.6204) + is;
    const double o0 = D(g * std::sin(h) / std::sin(is) - 0.1418) + os;
    const double p0 = D(275.837 + 0.5219 * y);
    const double d = o0 - ns;
    const double gg = std::atan2(std::sin(iss) * std::sin(d),
                                 std::cos(iss) * std::sin(i0) - std::sin(iss) * std::cos(i0) * std::cos(d));
    const double op = ns + std::atan2(std::sin(i0) * std::sin(d),
                                      std::cos(d) * std::sin(i0) * std::cos(iss) -
                                          std::cos(i0) * std::sin(iss));
    const double theta = lm - op;
    const double w = p0 - o0 - gg;
    // e dimensionless and the corrections to P in rad, added to P0 in rad.
    const double e = 0.028815 - 0.000184 * std::cos(2 * w) + 0.000073 * std::cos(2 * (theta - w));
    const double peri = p0 + 0.0063 * std::sin(2 * w) + 0.0025 * std::sin(2 * (theta - w));
    // The mean longitude in degrees, then the rad-valued corrections.
    const double lambda = D(261.3121 + 22.57697385 * (jde - 2411368.0)) +
                          std::sin(0.005218534463463045) * std::tan(is / 2.0) * std::sin(h) -
                          0.000176 * std::sin(ls) - 0.000215 * std::sin(2 * theta) +
                          0.000057 * std::sin(2 * theta + gg);
    const double i = i0 + 0.000232 * std::cos(2 * theta + gg);
    const double omega = o0 + 0.000503 * std::sin(2 * theta + gg);
    ProjectEclipticOrbit(date, saturn, 5, 0.00816765, e, i, omega, lambda, peri, -1.28);
}

void ComputeHyperion(const DateRecord *date, BodyRecord *saturn) {
    if (!date || !saturn) return;
    const double jde = SatelliteJulianEphemerisDate(date, saturn);
    double is, os;
    SaturnEquator(SatelliteCenturies(date, saturn), &is, &os);
    const double t0 = jde - 2415020.0;
    const double y = (jde - 2433282.42345905) * 0.002737909255830788 + 50.0;
    const double eta = D(93.13 + 0.562039 * t0), zeta = D(148.72 - 19.184 * y);
    const double p = D(105.31 - 2.392 * y), q = D(38.73 - 0.5353 * y);
    const double s = D(13.0 + 24.44 * y), w = D(31.9 + 61.7524 * y);
    const double a = 0.009904 - 0.00003422 * std::cos(eta);
    const double e = 0.10441 - 0.00401 * std::cos(eta) + 0.00009 * std::cos(zeta - eta) +
                     0.02321 * std::cos(zeta) - 0.00009 * std::cos(zeta + eta) -
                     0.0011 * std::cos(2 * zeta) + 0.00013 * std::cos(w);
    const double i =
        D(-0.747 + 0.62 * std::cos(p) + 0.315 * std::cos(q) - 0.018 * std::cos(s)) + is;
    const double omega = D((-0.061 + 0.62 * std::sin(p) + 0.315 * std::sin(q) -
                            0.018 * std::sin(s)) /
                           std::sin(is - 0.013037609512397642)) +
                         os;
    const double lambda =
        D(176.7481 + 16.9199514 * t0 + 0.1507 * std::sin(p) + 9.089 * std::sin(eta) +
          0.007 * std::sin(2 * eta) - 0.014 * std::sin(3 * eta) + 0.192 * std::sin(zeta - eta) -
          0.091 * std::sin(zeta) + 0.211 * std::sin(zeta + eta) -
          0.013 * std::sin(D(176.0 + 12.22 * y)) + 0.017 * std::sin(D(8.0 + 24.44 * y)));
    const double peri = D(69.993 - 18.6702 * y + 0.1507 * std::sin(p) - 0.47 * std::sin(eta) -
                          13.36 * std::sin(zeta) + 2.16 * std::sin(2 * zeta) +
                          0.07 * std::sin(w));
    ProjectEclipticOrbit(date, saturn, 6, a, e, i, omega, lambda, peri, 4.63);
}

void ComputeIapetus(const DateRecord *date, BodyRecord *saturn) {
    if (!date || !saturn) return;
    const double jde = SatelliteJulianEphemerisDate(date, saturn);
    const double d = jde - 2409786.0;
    const double t1 = d / 36525.0, t0 = (jde - 2415020.0) / 36525.0, d2 = jde - 2411368.0;
    const double e0 = 0.0288184 + 0.000575 * t1;
    const double i0 = D(18.45959 - 0.9555 * t1 - 0.0702 * t1 * t1 + 0.0054 * t1 * t1 * t1);
    const double lambda0 = D(76.19854 + 4.53795711 * d);
    const double p0 = D(352.905 + 11.65 * t1);
    const double o0 = D(143.1294 - 3.797 * t1 + 0.116 * t1 * t1 + 0.008 * t1 * t1 * t1);
    const double a0 = 0.02380984;
    const double g0 = D(4.367 - 0.195 * t0), ps = D(146.819 - 3.918 * t0);
    const double ls = D(267.263 + 1222.114 * t0), qs = D(91.796 + 0.562 * t0);
    const double lt = D(261.319 + 22.576974 * d2), pt = D(277.102 + 0.001389 * d2);
    const double a1 = D(60.47 + 1.521 * t0), nt = D(205.055 - 2.091 * t0);
    const double l = lambda0 - p0, g = ls - qs, gp = lt - pt, w = p0 - o0 - g0;
    const double k = qs - ps, phi = pt - nt, x = p0 - o0 - a1;
    const double da = 1e-5 * a0 *
                      (7.87 * std::cos(2 * l + 2 * w - 2 * g - 2 * k) +
                       98.79 * std::cos(l + x - gp - phi));
    const double de =
        1e-5 * (-140.97 * std::cos(x - phi) + 37.33 * std::cos(2 * g + 2 * k - 2 * w) +
                11.8 * std::cos(2 * w + l - 2 * g - 2 * k) + 24.08 * std::cos(l) +
                28.49 * std::cos(2 * l + x - gp - phi) + 61.9 * std::cos(gp + phi - x) +
                0.496 * std::cos(3 * g + 2 * k - 2 * w));
    const double di =
        D(0.04204 * std::cos(2 * g + 2 * k + g0) + 0.00235 * std::cos(l + x + gp + phi + a1) +
          0.0036 * std::cos(l + x - gp - phi + a1) + 0.0005 * std::cos(4 * g + 2 * k) +
          0.0058 * std::cos(3 * g + 2 * k) - 0.0024 * std::cos(2 * k + g));
    const double dl =
        D(-0.04299 * std::sin(l + x - gp - phi) - 0.00789 * std::sin(2 * l + 2 * w - 2 * g - 2 * k) -
          0.06312 * std::sin(g) - 0.00295 * std::sin(2 * g) - 0.02231 * std::sin(2 * g + 2 * k) +
          0.0065 * std::sin(2 * g + 2 * k + g0));
    // Divided by the mean e and sin of the mean i, before de and di are added.
    const double dp =
        D((0.08077 * std::sin(x - phi) + 0.02139 * std::sin(2 * g + 2 * k - 2 * w) -
           0.00676 * std::sin(2 * w + l - 2 * g - 2 * k) + 0.0138 * std::sin(l) +
           0.01632 * std::sin(2 * l + x - gp - phi) + 0.03547 * std::sin(gp + phi - x) +
           0.00028 * std::sin(3 * g + 2 * k - 2 * w)) /
          e0);
    const double dom =
        D((0.04204 * std::sin(2 * g + 2 * k + g0) + 0.00235 * std::sin(l + x + gp + phi + a1) +
           0.00358 * std::sin(l + x - gp - phi - a1) - 0.0006 * std::sin(2 * g) +
           0.0003 * std::sin(4 * g + 2 * k) + 0.0028 * std::sin(3 * g + 2 * k) -
           0.0012 * std::sin(2 * k + g) - 0.0142 * std::sin(g)) /
          std::sin(i0));
    ProjectEclipticOrbit(date, saturn, 7, a0 + da, e0 + de, i0 + di, o0 + dom, lambda0 + dl,
                         p0 + dp, 1.5);
}

void ComputeSaturnSatellites(const DateRecord *date, BodyRecord *saturn, int which) {
    if (!date || !saturn || which < 0 || which > 9) return;
    if (which <= 4) ComputeInnerSaturnSatellites(date, saturn, which);
    if (which == 0 || which == 5) ComputeRhea(date, saturn);
    if (which == 0 || which == 6) ComputeTitan(date, saturn);
    if (which == 0 || which == 7) ComputeHyperion(date, saturn);
    if (which == 0 || which == 8) ComputeIapetus(date, saturn);
    if (which == 0 || which == 9) {
        if (ComputePhoebe(date, saturn) != 1) {
            // No stale quantities (the Sun-view separation included) and no
            // null name for a listed slot.
            ClearSatelliteSlot(saturn, 8);
            saturn->satelliteNames[8] = GetSatelliteNameText(kBodySaturn, 8);
        }
    }
    saturn->satelliteCount = which == 0 ? 9 : 1;
}
