// Ariel, Umbriel, Titania and Oberon from the series of "usats.bin": mean
// motions, mean longitudes, eccentricity and inclination vectors referred to
// Uranus' equator (the form of GUST86, Laskar & Jacobson, A&A 188, 212, 1987).
//
// Range: GUST86 is fitted to observations of 1911-1986; within 50" of
// PyEphem over 2024 (bench/satellite_accuracy), which itself gives no
// Uranian satellites a century away. Used for every date.
#include <cmath>

#include "astro/datetime.h"
#include "astro/precession.h"
#include "core/mathutil.h"
#include "ephem/satellitecommon.h"
#include "ephem/satellitenames.h"
#include "ephem/satellites.h"
#include "ephem/uranussats.h"

namespace {

const double kMicro = 1e-6;
const double kEpoch = 2444239.5;  // 1980 January 1.0
// Pole of Uranus' equator, J2000 (257.43, -15.10 degrees).
const double kPoleRightAscension = 4.493001093409003;
const double kPoleDeclination = -0.26354471705114374;

// Offsets of the blocks of the table (indices of doubles).
const int kGm = 0, kMass = 1, kMotionAmp = 5, kMotionFreq = 21, kMotionPhase = 37;
const int kLongitude = 53, kLongitudeFreq = 77, kLongitudePhase = 101;
const int kEccAmp = 125, kEccPeriod = 149, kEccPhase = 173;
const int kIncAmp = 197, kIncPeriod = 209, kIncPhase = 221, kMagnitude = 249;

// Sum of amp cos(t / period + phase) and of amp sin(...) over n terms; terms
// without amplitude or period are left out (an unused term must not turn
// the sum into NaN).
void VectorSum(const double *tab, int amp, int period, int phase, int n, double t, double *c,
               double *s) {
    *c = *s = 0.0;
    for (int k = 0; k < n; ++k) {
        const double a = tab[amp + k], p = tab[period + k];
        if (a == 0.0 || p == 0.0) continue;
        const double arg = t / p + tab[phase + k];
        *c += a * std::cos(arg);
        *s += a * std::sin(arg);
    }
    *c *= kMicro;
    *s *= kMicro;
}

}  // namespace

void ComputeUranusSatellites(const DateRecord *date, BodyRecord *uranus, int which) {
    const double *tab = GetUranianSatelliteTable();
    if (!tab || !date || !uranus || which < 0 || which > 4) return;
    const double t = SatelliteJulianEphemerisDate(date, uranus) - kEpoch;

    double a0 = kPoleRightAscension, d0 = kPoleDeclination;
    PrecessionRecord precession;
    InitPrecession(&precession, kEpochJ2000, date->centuriesTT, kSystemFk5, kSystemFk5);
    ApplyPrecession(&precession, &a0, &d0, 0.0, 0.0, 0);
    ApplyNutationToEquatorial(date, &a0, &d0, 1);
    // The satellites' orbit pole is opposite to Uranus' north pole.
    const double n0 = a0 - kPi / 2.0;
    const double jj = kPi / 2.0 + d0;

    uranus->satelliteCount = which == 0 ? 4 : 1;
    for (int j = 0; j < 4; ++j) {
        if (!SatelliteSelected(which, j)) continue;
        double n = 0.0;
        for (int k = 0; k < 4; ++k) {
            const int i = 4 * j + k;
            n += tab[kMotionAmp + i] *
                 std::cos(kMicro * (tab[kMotionFreq + i] * t + tab[kMotionPhase + i]));
        }
        n *= kMicro;
        const double gm = (1.0 + tab[kMass + j]) * tab[kGm];
        if (!(n > 0.0) || !(gm > 0.0)) {
            // No motion, no orbit: nothing to place.
            ClearSatelliteSlot(uranus, j);
            uranus->satelliteNames[j] = GetSatelliteNameText(kBodyUranus, j);
            continue;
        }
        const double a = std::cbrt(gm / (n * n));
        const int b = kLongitude + 6 * j;
        double lambda = tab[b] + tab[b + 1] * t;
        for (int k = 2; k < 6; ++k) {
            if (tab[b + k] == 0.0) continue;
            lambda += tab[b + k] * std::sin(kMicro * (tab[kLongitudeFreq + 6 * j + k] * t +
                                                      tab[kLongitudePhase + 6 * j + k]));
        }
        lambda *= kMicro;
        double h, kk;
        VectorSum(tab, kEccAmp + 6 * j, kEccPeriod + 6 * j, kEccPhase + 6 * j, 6, t, &h, &kk);
        const double e = std::sqrt(h * h + kk * kk);
        const double peri = std::atan2(kk, h);
        double p, q;
        VectorSum(tab, kIncAmp + 3 * j, kIncPeriod + 3 * j, kIncPhase + 3 * j, 3, t, &p, &q);
        const double i = 2.0 * ComputeClampedArcSine(std::sqrt(p * p + q * q));
        const double omega = std::atan2(q, p);
        const double si = std::sin(i), ci = std::cos(i), sj = std::sin(jj), cj = std::cos(jj);
        const double so = std::sin(omega), co = std::cos(omega);
        const double node = n0 + ComputeQuadrantArcTangent(so * si, co * cj * si + sj * ci);
        const double incl = ComputeClampedArcCosine(cj * ci - sj * si * co);
        const double psi = ComputeQuadrantArcTangent(so * sj, co * ci * sj + si * cj);
        const double m = lambda - peri;
        const double ecc = e < 1.0 ? e : 0.0;
        const double v = TrueAnomalyFromEccentricAnomaly(SolveKepler(m, ecc),
                                                         std::sqrt((1.0 + ecc) / (1.0 - ecc)));
        // The series count longitudes from the descending node of the
        // satellites' equator on the Earth's: hence pi.
        const double u = (lambda - omega) + psi + (v - m) + kPi;
        ProjectSatellite(date, uranus, j, a, incl, node, u, 0);
        uranus->satellites[kSatMagnitude][j] = SatelliteMagnitude(uranus, tab[kMagnitude + j]);
        uranus->satellites[kSatOrbitalAngle][j] =
            2.0 * kPi - uranus->satellites[kSatOrbitalAngle][j];
        uranus->satelliteNames[j] = GetSatelliteNameText(kBodyUranus, j);
    }
}
