// SGP4 and SDP4: the analytic satellite theory of Spacetrack Report No. 3
// (near-Earth secular, drag and short-period terms; deep-space lunar-solar
// secular and long-period terms and the one-day and half-day resonances),
// with the corrections collected in "Revisiting Spacetrack Report #3"
// (AIAA 2006-6753). WGS-72 constants, as the element sets are fitted with.
#include "ephem/sgp4.h"

#include <cmath>
#include <cstring>

#include "core/mathutil.h"
#include "ephem/satgeometry.h"

namespace {

const double kTwoPi = 2.0 * kPi;
const double kTwoThirds = 2.0 / 3.0;
// WGS-72: sqrt(GM) in Earth radii^1.5/min, the zonal harmonics J2, J3, J4.
const double kKe = 0.07436691613317341;
const double kJ2 = 0.001082616;
const double kJ3 = -0.00000253881;
const double kJ4 = -0.00000165597;
const double kJ3OverJ2 = kJ3 / kJ2;
const double kRadius = kSatelliteEarthRadiusKm;
// The density function's reference heights: s = 1 + 78 km, (q0 - s)^4 with
// q0 = 1 + 120 km, in Earth radii.
const double kS = 1.0122292801892716;
const double kQ0MinusSFourth = 1.880279159015271e-09;
// Perigee below 220 km: the simplified drag model.
const double kSimplifiedPerigee = 1.034492841559484;
// Epoch of the lunar-solar theory, JD 1900 January 0.5.
const double kLunarSolarEpoch = 2415020.0;
// Earth rotation, rad/min.
const double kEarthRotation = 4.37526908801129966e-3;
// Resonance integration step (minutes) and half its square.
const double kResonanceStep = 720.0;
const double kResonanceHalfStepSquared = 0.5 * kResonanceStep * kResonanceStep;
// Kepler's equation: at most 10 Newton steps, until a step is below 1e-12
// rad, as the reference implementation takes them (near-parabolic orbits
// need every one of them).
const int kKeplerIterations = 10;
const double kKeplerTolerance = 1e-12;

// Solar and lunar mean motions (rad/min) and eccentricities.
const double kZns = 1.19459e-5;
const double kZes = 0.01675;
const double kZnl = 1.5835218e-4;
const double kZel = 0.05490;

void ZeroVectors(double position[3], double velocity[3]) {
    for (int i = 0; i < 3; ++i) {
        position[i] = 0.0;
        if (velocity) velocity[i] = 0.0;
    }
}

// The lunar-solar coefficients of one body (solar first, then lunar):
// Spacetrack Report No. 3, DEEP's "DO LOOP" over the Sun and the Moon.
struct ThirdBodyTerms {
    double s1, s2, s3, s4, s5, s6, s7;
    double z1, z2, z3, z11, z12, z13, z21, z22, z23, z31, z32, z33;
};

void ComputeThirdBodyTerms(double zcosg, double zsing, double zcosi, double zsini, double zcosh,
                           double zsinh, double cc, double meanMotion, double eccentricity,
                           double cosim, double sinim, double cosomm, double sinomm,
                           ThirdBodyTerms *out) {
    double emsq = eccentricity * eccentricity;
    double betasq = 1.0 - emsq;
    double rtemsq = std::sqrt(betasq);
    double a1 = zcosg * zcosh + zsing * zcosi * zsinh;
    double a3 = -zsing * zcosh + zcosg * zcosi * zsinh;
    double a7 = -zcosg * zsinh + zsing * zcosi * zcosh;
    double a8 = zsing * zsini;
    double a9 = zsing * zsinh + zcosg * zcosi * zcosh;
    double a10 = zcosg * zsini;
    double a2 = cosim * a7 + sinim * a8;
    double a4 = cosim * a9 + sinim * a10;
    double a5 = -sinim * a7 + cosim * a8;
    double a6 = -sinim * a9 + cosim * a10;
    double x1 = a1 * cosomm + a2 * sinomm;
    double x2 = a3 * cosomm + a4 * sinomm;
    double x3 = -a1 * sinomm + a2 * cosomm;
    double x4 = -a3 * sinomm + a4 * cosomm;
    double x5 = a5 * sinomm;
    double x6 = a6 * sinomm;
    double x7 = a5 * cosomm;
    double x8 = a6 * cosomm;
    ThirdBodyTerms &t = *out;
    t.z31 = 12.0 * x1 * x1 - 3.0 * x3 * x3;
    t.z32 = 24.0 * x1 * x2 - 6.0 * x3 * x4;
    t.z33 = 12.0 * x2 * x2 - 3.0 * x4 * x4;
    t.z1 = 3.0 * (a1 * a1 + a2 * a2) + t.z31 * emsq;
    t.z2 = 6.0 * (a1 * a3 + a2 * a4) + t.z32 * emsq;
    t.z3 = 3.0 * (a3 * a3 + a4 * a4) + t.z33 * emsq;
    t.z11 = -6.0 * a1 * a5 + emsq * (-24.0 * x1 * x7 - 6.0 * x3 * x5);
    t.z12 = -6.0 * (a1 * a6 + a3 * a5) +
            emsq * (-24.0 * (x2 * x7 + x1 * x8) - 6.0 * (x3 * x6 + x4 * x5));
    t.z13 = -6.0 * a3 * a6 + emsq * (-24.0 * x2 * x8 - 6.0 * x4 * x6);
    t.z21 = 6.0 * a2 * a5 + emsq * (24.0 * x1 * x5 - 6.0 * x3 * x7);
    t.z22 = 6.0 * (a4 * a5 + a2 * a6) +
            emsq * (24.0 * (x2 * x5 + x1 * x6) - 6.0 * (x4 * x7 + x3 * x8));
    t.z23 = 6.0 * a4 * a6 + emsq * (24.0 * x2 * x6 - 6.0 * x4 * x8);
    t.z1 = t.z1 + t.z1 + betasq * t.z31;
    t.z2 = t.z2 + t.z2 + betasq * t.z32;
    t.z3 = t.z3 + t.z3 + betasq * t.z33;
    t.s3 = cc / meanMotion;
    t.s2 = -0.5 * t.s3 / rtemsq;
    t.s4 = t.s3 * rtemsq;
    t.s1 = -15.0 * eccentricity * t.s4;
    t.s5 = x1 * x3 + x2 * x4;
    t.s6 = x2 * x3 + x1 * x4;
    t.s7 = x2 * x4 - x1 * x3;
}

// Rates of the resonant mean longitude and mean motion, and the latter's
// derivative, at the integrator's point.
void ResonanceRates(const SatellitePropagatorState *s, double time, double longitude,
                    double meanMotion, double *xldot, double *xndt, double *xnddt) {
    const double fasx2 = 0.13130908, fasx4 = 2.8843198, fasx6 = 0.37448087;
    const double g22 = 5.7686396, g32 = 0.95240898, g44 = 1.8014998, g52 = 1.0508330,
                 g54 = 4.4108898;
    double xli = longitude;
    *xldot = meanMotion + s->xfact;
    if (s->resonance == 1) {
        *xndt = s->del1 * std::sin(xli - fasx2) + s->del2 * std::sin(2.0 * (xli - fasx4)) +
                s->del3 * std::sin(3.0 * (xli - fasx6));
        *xnddt = s->del1 * std::cos(xli - fasx2) + 2.0 * s->del2 * std::cos(2.0 * (xli - fasx4)) +
                 3.0 * s->del3 * std::cos(3.0 * (xli - fasx6));
    } else {
        double xomi = s->argumentOfPerigee + s->argpdot * time;
        double x2omi = xomi + xomi;
        double x2li = xli + xli;
        *xndt = s->d2201 * std::sin(x2omi + xli - g22) + s->d2211 * std::sin(xli - g22) +
                s->d3210 * std::sin(xomi + xli - g32) + s->d3222 * std::sin(-xomi + xli - g32) +
                s->d4410 * std::sin(x2omi + x2li - g44) + s->d4422 * std::sin(x2li - g44) +
                s->d5220 * std::sin(xomi + xli - g52) + s->d5232 * std::sin(-xomi + xli - g52) +
                s->d5421 * std::sin(xomi + x2li - g54) + s->d5433 * std::sin(-xomi + x2li - g54);
        *xnddt = s->d2201 * std::cos(x2omi + xli - g22) + s->d2211 * std::cos(xli - g22) +
                 s->d3210 * std::cos(xomi + xli - g32) + s->d3222 * std::cos(-xomi + xli - g32) +
                 s->d5220 * std::cos(xomi + xli - g52) + s->d5232 * std::cos(-xomi + xli - g52) +
                 2.0 * (s->d4410 * std::cos(x2omi + x2li - g44) + s->d4422 * std::cos(x2li - g44) +
                        s->d5421 * std::cos(xomi + x2li - g54) +
                        s->d5433 * std::cos(-xomi + x2li - g54));
    }
    *xnddt *= *xldot;
}

}  // namespace

double ComputeDeepSpaceSiderealAngle(double julianDate) {
    return SiderealAngleFromJulianDate(julianDate);
}

void InitSatellitePropagatorCommon(SatellitePropagatorState *s, const TwoLineElementSet *el) {
    std::memset(s, 0, sizeof *s);
    s->eccentricity = el->eccentricity;
    s->inclination = el->inclination;
    s->argumentOfPerigee = el->argumentOfPerigee;
    s->ascendingNode = el->ascendingNode;
    s->meanAnomaly = el->meanAnomaly;
    s->bstar = el->bstar;
    RecoverMeanMotion(el, &s->semiMajorAxis, &s->meanMotion);

    double e = el->eccentricity;
    double omeosq = 1.0 - e * e;
    double rteosq = std::sqrt(omeosq);
    double cosio = std::cos(el->inclination);
    double sinio = std::sin(el->inclination);
    double cosio2 = cosio * cosio;
    double ao = s->semiMajorAxis;
    double no = s->meanMotion;
    s->cosInclination = cosio;
    s->sinInclination = sinio;
    double con42 = 1.0 - 5.0 * cosio2;
    s->con41 = 3.0 * cosio2 - 1.0;
    s->x1mth2 = 1.0 - cosio2;
    s->x7thm1 = 7.0 * cosio2 - 1.0;
    double po = ao * omeosq;
    double posq = po * po;
    double rp = ao * (1.0 - e);

    s->simplified = rp < kSimplifiedPerigee ? 1 : 0;
    // Atmospheric density parameter s and (q0 - s)^4 for low perigees.
    double sfour = kS;
    double qzms24 = kQ0MinusSFourth;
    double perigee = (rp - 1.0) * kRadius;
    if (perigee < 156.0) {
        sfour = perigee - 78.0;
        if (perigee <= 98.0) sfour = 20.0;
        double q = (120.0 - sfour) / kRadius;
        qzms24 = q * q * q * q;
        sfour = sfour / kRadius + 1.0;
    }
    double pinvsq = 1.0 / posq;
    double tsi = 1.0 / (ao - sfour);
    s->eta = ao * e * tsi;
    double etasq = s->eta * s->eta;
    double eeta = e * s->eta;
    double psisq = std::fabs(1.0 - etasq);
    double coef = qzms24 * std::pow(tsi, 4.0);
    double coef1 = coef / std::pow(psisq, 3.5);
    double cc2 = coef1 * no *
                 (ao * (1.0 + 1.5 * etasq + eeta * (4.0 + etasq)) +
                  0.375 * kJ2 * tsi / psisq * s->con41 * (8.0 + 3.0 * etasq * (8.0 + etasq)));
    s->cc1 = el->bstar * cc2;
    double cc3 = 0.0;
    if (e > 1.0e-4) cc3 = -2.0 * coef * tsi * kJ3OverJ2 * no * sinio / e;
    s->cc4 = 2.0 * no * coef1 * ao * omeosq *
             (s->eta * (2.0 + 0.5 * etasq) + e * (0.5 + 2.0 * etasq) -
              kJ2 * tsi / (ao * psisq) *
                  (-3.0 * s->con41 * (1.0 - 2.0 * eeta + etasq * (1.5 - 0.5 * eeta)) +
                   0.75 * s->x1mth2 * (2.0 * etasq - eeta * (1.0 + etasq)) *
                       std::cos(2.0 * el->argumentOfPerigee)));
    s->cc5 = 2.0 * coef1 * ao * omeosq * (1.0 + 2.75 * (etasq + eeta) + eeta * etasq);
    double cosio4 = cosio2 * cosio2;
    double temp1 = 1.5 * kJ2 * pinvsq * no;
    double temp2 = 0.5 * temp1 * kJ2 * pinvsq;
    double temp3 = -0.46875 * kJ4 * pinvsq * pinvsq * no;
    s->mdot = no + 0.5 * temp1 * rteosq * s->con41 +
              0.0625 * temp2 * rteosq * (13.0 - 78.0 * cosio2 + 137.0 * cosio4);
    s->argpdot = -0.5 * temp1 * con42 + 0.0625 * temp2 * (7.0 - 114.0 * cosio2 + 395.0 * cosio4) +
                 temp3 * (3.0 - 36.0 * cosio2 + 49.0 * cosio4);
    double xhdot1 = -temp1 * cosio;
    s->nodedot = xhdot1 + (0.5 * temp2 * (4.0 - 19.0 * cosio2) + 2.0 * temp3 * (3.0 - 7.0 * cosio2)) *
                              cosio;
    s->omgcof = el->bstar * cc3 * std::cos(el->argumentOfPerigee);
    s->xmcof = 0.0;
    if (e > 1.0e-4) s->xmcof = -kTwoThirds * coef * el->bstar / eeta;
    s->nodecf = 3.5 * omeosq * xhdot1 * s->cc1;
    s->t2cof = 1.5 * s->cc1;
    // Long-period factor; guarded at an inclination of exactly 180 degrees.
    double onePlusCos = 1.0 + cosio;
    if (std::fabs(onePlusCos) <= 1.5e-12) onePlusCos = 1.5e-12;
    s->xlcof = -0.25 * kJ3OverJ2 * sinio * (3.0 + 5.0 * cosio) / onePlusCos;
    s->aycof = -0.5 * kJ3OverJ2 * sinio;
    double delmo = 1.0 + s->eta * std::cos(el->meanAnomaly);
    s->delmo = delmo * delmo * delmo;
    s->sinmao = std::sin(el->meanAnomaly);

    double cc1sq = s->cc1 * s->cc1;
    s->d2 = 4.0 * ao * tsi * cc1sq;
    double temp = s->d2 * tsi * s->cc1 / 3.0;
    s->d3 = (17.0 * ao + sfour) * temp;
    s->d4 = 0.5 * temp * ao * tsi * (221.0 * ao + 31.0 * sfour) * s->cc1;
    s->t3cof = s->d2 + 2.0 * cc1sq;
    s->t4cof = 0.25 * (3.0 * s->d3 + s->cc1 * (12.0 * s->d2 + 10.0 * cc1sq));
    s->t5cof = 0.2 * (3.0 * s->d4 + 12.0 * s->cc1 * s->d3 + 6.0 * s->d2 * s->d2 +
                      15.0 * cc1sq * (2.0 * s->d2 + cc1sq));
}

void InitSgp4(SatellitePropagatorState *state, const TwoLineElementSet *elements) {
    InitSatellitePropagatorCommon(state, elements);
}

// The deep-space set-up: lunar-solar secular rates and long-period
// coefficients, and the resonance terms (Spacetrack Report No. 3, DEEP).
void InitDeepSpace(SatellitePropagatorState *s, const TwoLineElementSet *el) {
    s->deepSpace = 1;
    s->simplified = 1;
    s->gsto = ComputeDeepSpaceSiderealAngle(el->epoch);
    const double zcosis = 0.91744867, zsinis = 0.39785416;
    const double zcosgs = 0.1945905, zsings = -0.98088458;
    const double c1ss = 2.9864797e-6, c1l = 4.7968065e-7;

    double em = s->eccentricity;
    double emsq = em * em;
    double nm = s->meanMotion;
    double snodm = std::sin(s->ascendingNode), cnodm = std::cos(s->ascendingNode);
    double sinomm = std::sin(s->argumentOfPerigee), cosomm = std::cos(s->argumentOfPerigee);
    double sinim = std::sin(s->inclination), cosim = std::cos(s->inclination);

    // The Moon's orbit at epoch (days from 1900 January 0.5).
    double day = el->epoch - kLunarSolarEpoch;
    double xnodce = std::fmod(4.5236020 - 9.2422029e-4 * day, kTwoPi);
    double stem = std::sin(xnodce), ctem = std::cos(xnodce);
    double zcosil = 0.91375164 - 0.03568096 * ctem;
    double zsinil = std::sqrt(1.0 - zcosil * zcosil);
    double zsinhl = 0.089683511 * stem / zsinil;
    double zcoshl = std::sqrt(1.0 - zsinhl * zsinhl);
    double gam = 5.8351514 + 0.0019443680 * day;
    double zx = 0.39785416 * stem / zsinil;
    double zy = zcoshl * ctem + 0.91744867 * zsinhl * stem;
    zx = std::atan2(zx, zy);
    zx = gam + zx - xnodce;

    ThirdBodyTerms sun, moon;
    ComputeThirdBodyTerms(zcosgs, zsings, zcosis, zsinis, cnodm, snodm, c1ss, nm, em, cosim, sinim,
                          cosomm, sinomm, &sun);
    ComputeThirdBodyTerms(std::cos(zx), std::sin(zx), zcosil, zsinil,
                          zcoshl * cnodm + zsinhl * snodm, snodm * zcoshl - cnodm * zsinhl, c1l,
                          nm, em, cosim, sinim, cosomm, sinomm, &moon);
    s->zmol = std::fmod(4.7199672 + 0.22997150 * day - gam, kTwoPi);
    s->zmos = std::fmod(6.2565837 + 0.017201977 * day, kTwoPi);
    // Long-period coefficients.
    s->se2 = 2.0 * sun.s1 * sun.s6;
    s->se3 = 2.0 * sun.s1 * sun.s7;
    s->si2 = 2.0 * sun.s2 * sun.z12;
    s->si3 = 2.0 * sun.s2 * (sun.z13 - sun.z11);
    s->sl2 = -2.0 * sun.s3 * sun.z2;
    s->sl3 = -2.0 * sun.s3 * (sun.z3 - sun.z1);
    s->sl4 = -2.0 * sun.s3 * (-21.0 - 9.0 * emsq) * kZes;
    s->sgh2 = 2.0 * sun.s4 * sun.z32;
    s->sgh3 = 2.0 * sun.s4 * (sun.z33 - sun.z31);
    s->sgh4 = -18.0 * sun.s4 * kZes;
    s->sh2 = -2.0 * sun.s2 * sun.z22;
    s->sh3 = -2.0 * sun.s2 * (sun.z23 - sun.z21);
    s->ee2 = 2.0 * moon.s1 * moon.s6;
    s->e3 = 2.0 * moon.s1 * moon.s7;
    s->xi2 = 2.0 * moon.s2 * moon.z12;
    s->xi3 = 2.0 * moon.s2 * (moon.z13 - moon.z11);
    s->xl2 = -2.0 * moon.s3 * moon.z2;
    s->xl3 = -2.0 * moon.s3 * (moon.z3 - moon.z1);
    s->xl4 = -2.0 * moon.s3 * (-21.0 - 9.0 * emsq) * kZel;
    s->xgh2 = 2.0 * moon.s4 * moon.z32;
    s->xgh3 = 2.0 * moon.s4 * (moon.z33 - moon.z31);
    s->xgh4 = -18.0 * moon.s4 * kZel;
    s->xh2 = -2.0 * moon.s2 * moon.z22;
    s->xh3 = -2.0 * moon.s2 * (moon.z23 - moon.z21);

    // Secular rates.
    const double nearEquatorial = 5.2359877e-2;
    bool flat = s->inclination < nearEquatorial || s->inclination > kPi - nearEquatorial;
    double ses = sun.s1 * kZns * sun.s5;
    double sis = sun.s2 * kZns * (sun.z11 + sun.z13);
    double sls = -kZns * sun.s3 * (sun.z1 + sun.z3 - 14.0 - 6.0 * emsq);
    double sghs = sun.s4 * kZns * (sun.z31 + sun.z33 - 6.0);
    double shs = flat ? 0.0 : -kZns * sun.s2 * (sun.z21 + sun.z23);
    if (sinim != 0.0) shs /= sinim;
    double sgs = sghs - cosim * shs;
    s->dedt = ses + moon.s1 * kZnl * moon.s5;
    s->didt = sis + moon.s2 * kZnl * (moon.z11 + moon.z13);
    s->dmdt = sls - kZnl * moon.s3 * (moon.z1 + moon.z3 - 14.0 - 6.0 * emsq);
    double sghl = moon.s4 * kZnl * (moon.z31 + moon.z33 - 6.0);
    double shll = flat ? 0.0 : -kZnl * moon.s2 * (moon.z21 + moon.z23);
    s->domdt = sgs + sghl;
    s->dnodt = shs;
    if (sinim != 0.0) {
        s->domdt -= cosim / sinim * shll;
        s->dnodt += shll / sinim;
    }

    // Resonances: one-day (geosynchronous) and half-day (Molniya-like).
    s->resonance = 0;
    if (nm > 0.0034906585 && nm < 0.0052359877) s->resonance = 1;
    if (nm >= 8.26e-3 && nm <= 9.24e-3 && em >= 0.5) s->resonance = 2;
    if (s->resonance == 0) return;
    const double q22 = 1.7891679e-6, q31 = 2.1460748e-6, q33 = 2.2123015e-7;
    const double root22 = 1.7891679e-6, root44 = 7.3636953e-9, root54 = 2.1765803e-9;
    const double root32 = 3.7393792e-7, root52 = 1.1428639e-7;
    double theta = s->gsto;
    double aonv = std::pow(nm / kKe, kTwoThirds);
    double xpidot = s->argpdot + s->nodedot;
    if (s->resonance == 2) {
        double cosisq = cosim * cosim;
        double eoc = em * emsq;
        double g201 = -0.306 - (em - 0.64) * 0.440;
        double g211, g310, g322, g410, g422, g520, g533, g521, g532;
        if (em <= 0.65) {
            g211 = 3.616 - 13.2470 * em + 16.2900 * emsq;
            g310 = -19.302 + 117.3900 * em - 228.4190 * emsq + 156.5910 * eoc;
            g322 = -18.9068 + 109.7927 * em - 214.6334 * emsq + 146.5816 * eoc;
            g410 = -41.122 + 242.6940 * em - 471.0940 * emsq + 313.9530 * eoc;
            g422 = -146.407 + 841.8800 * em - 1629.014 * emsq + 1083.4350 * eoc;
            g520 = -532.114 + 3017.977 * em - 5740.032 * emsq + 3708.2760 * eoc;
        } else {
            g211 = -72.099 + 331.819 * em - 508.738 * emsq + 266.724 * eoc;
            g310 = -346.844 + 1582.851 * em - 2415.925 * emsq + 1246.113 * eoc;
            g322 = -342.585 + 1554.908 * em - 2366.899 * emsq + 1215.972 * eoc;
            g410 = -1052.797 + 4758.686 * em - 7193.992 * emsq + 3651.957 * eoc;
            g422 = -3581.690 + 16178.110 * em - 24462.770 * emsq + 12422.520 * eoc;
            if (em > 0.715)
                g520 = -5149.66 + 29936.92 * em - 54087.36 * emsq + 31324.56 * eoc;
            else
                g520 = 1464.74 - 4664.75 * em + 3763.64 * emsq;
        }
        if (em < 0.7) {
            g533 = -919.22770 + 4988.6100 * em - 9064.7700 * emsq + 5542.21 * eoc;
            g521 = -822.71072 + 4568.6173 * em - 8491.4146 * emsq + 5337.524 * eoc;
            g532 = -853.66600 + 4690.2500 * em - 8624.7700 * emsq + 5341.4 * eoc;
        } else {
            g533 = -37995.780 + 161616.52 * em - 229838.20 * emsq + 109377.94 * eoc;
            g521 = -51752.104 + 218913.95 * em - 309468.16 * emsq + 146349.42 * eoc;
            g532 = -40023.880 + 170470.89 * em - 242699.48 * emsq + 115605.82 * eoc;
        }
        double sini2 = sinim * sinim;
        double f220 = 0.75 * (1.0 + 2.0 * cosim + cosisq);
        double f221 = 1.5 * sini2;
        double f321 = 1.875 * sinim * (1.0 - 2.0 * cosim - 3.0 * cosisq);
        double f322 = -1.875 * sinim * (1.0 + 2.0 * cosim - 3.0 * cosisq);
        double f441 = 35.0 * sini2 * f220;
        double f442 = 39.3750 * sini2 * sini2;
        double f522 = 9.84375 * sinim *
                      (sini2 * (1.0 - 2.0 * cosim - 5.0 * cosisq) +
                       0.33333333 * (-2.0 + 4.0 * cosim + 6.0 * cosisq));
        double f523 = sinim * (4.92187512 * sini2 * (-2.0 - 4.0 * cosim + 10.0 * cosisq) +
                               6.56250012 * (1.0 + 2.0 * cosim - 3.0 * cosisq));
        double f542 = 29.53125 * sinim *
                      (2.0 - 8.0 * cosim + cosisq * (-12.0 + 8.0 * cosim + 10.0 * cosisq));
        double f543 = 29.53125 * sinim *
                      (-2.0 - 8.0 * cosim + cosisq * (12.0 + 8.0 * cosim - 10.0 * cosisq));
        double xno2 = nm * nm;
        double ainv2 = aonv * aonv;
        double t1 = 3.0 * xno2 * ainv2;
        double t = t1 * root22;
        s->d2201 = t * f220 * g201;
        s->d2211 = t * f221 * g211;
        t1 *= aonv;
        t = t1 * root32;
        s->d3210 = t * f321 * g310;
        s->d3222 = t * f322 * g322;
        t1 *= aonv;
        t = 2.0 * t1 * root44;
        s->d4410 = t * f441 * g410;
        s->d4422 = t * f442 * g422;
        t1 *= aonv;
        t = t1 * root52;
        s->d5220 = t * f522 * g520;
        s->d5232 = t * f523 * g532;
        t = 2.0 * t1 * root54;
        s->d5421 = t * f542 * g521;
        s->d5433 = t * f543 * g533;
        s->xlamo = std::fmod(s->meanAnomaly + 2.0 * s->ascendingNode - 2.0 * theta, kTwoPi);
        s->xfact = s->mdot + s->dmdt + 2.0 * (s->nodedot + s->dnodt - kEarthRotation) - nm;
    } else {
        double g200 = 1.0 + emsq * (-2.5 + 0.8125 * emsq);
        double g310 = 1.0 + 2.0 * emsq;
        double g300 = 1.0 + emsq * (-6.0 + 6.60937 * emsq);
        double f220 = 0.75 * (1.0 + cosim) * (1.0 + cosim);
        double f311 = 0.9375 * sinim * sinim * (1.0 + 3.0 * cosim) - 0.75 * (1.0 + cosim);
        double f330 = 1.0 + cosim;
        f330 = 1.875 * f330 * f330 * f330;
        double del1 = 3.0 * nm * nm * aonv * aonv;
        s->del2 = 2.0 * del1 * f220 * g200 * q22;
        s->del3 = 3.0 * del1 * f330 * g300 * q33 * aonv;
        s->del1 = del1 * f311 * g310 * q31 * aonv;
        s->xlamo = std::fmod(s->meanAnomaly + s->ascendingNode + s->argumentOfPerigee - theta,
                             kTwoPi);
        s->xfact = s->mdot + xpidot - kEarthRotation + s->dmdt + s->domdt + s->dnodt - nm;
    }
    s->integratorTime = 0.0;
    s->integratorLongitude = s->xlamo;
    s->integratorMeanMotion = nm;
}

void InitSdp4(SatellitePropagatorState *state, const TwoLineElementSet *elements) {
    InitSatellitePropagatorCommon(state, elements);
    InitDeepSpace(state, elements);
}

// Lunar-solar secular rates and the resonance integration to time t:
// eccentricity, inclination, perigee, node, mean anomaly and mean motion.
void ApplyDeepSpaceSecular(SatellitePropagatorState *s, double t, double *em, double *argpm,
                           double *inclm, double *nodem, double *mm, double *nm) {
    *em += s->dedt * t;
    *inclm += s->didt * t;
    *argpm += s->domdt * t;
    *nodem += s->dnodt * t;
    *mm += s->dmdt * t;
    if (s->resonance == 0) return;
    // The resonance terms are integrated from the epoch in fixed steps of
    // 720 minutes (Euler-Maclaurin, to second order), the last part step
    // taken from the nearest grid point: so the answer at a time depends on
    // that time alone. The integrator keeps its last grid point between
    // calls and starts again from the epoch when the time lies on the other
    // side of the epoch or nearer to it than that point, as the reference
    // implementation of "Revisiting Spacetrack Report #3" does.
    if (s->integratorTime == 0.0 || t * s->integratorTime <= 0.0 ||
        std::fabs(t) < std::fabs(s->integratorTime)) {
        s->integratorTime = 0.0;
        s->integratorLongitude = s->xlamo;
        s->integratorMeanMotion = s->meanMotion;
    }
    const double step = t > 0.0 ? kResonanceStep : -kResonanceStep;
    double xldot = 0.0, xndt = 0.0, xnddt = 0.0, ft = 0.0;
    for (;;) {
        ResonanceRates(s, s->integratorTime, s->integratorLongitude, s->integratorMeanMotion, &xldot,
                       &xndt, &xnddt);
        if (std::fabs(t - s->integratorTime) < kResonanceStep) {
            ft = t - s->integratorTime;
            break;
        }
        s->integratorLongitude += xldot * step + xndt * kResonanceHalfStepSquared;
        s->integratorMeanMotion += xndt * step + xnddt * kResonanceHalfStepSquared;
        s->integratorTime += step;
    }
    *nm = s->integratorMeanMotion + xndt * ft + xnddt * ft * ft * 0.5;
    const double xl = s->integratorLongitude + xldot * ft + xndt * ft * ft * 0.5;
    double theta = std::fmod(s->gsto + t * kEarthRotation, kTwoPi);
    if (s->resonance == 1)
        *mm = xl - *nodem - *argpm + theta;
    else
        *mm = xl - 2.0 * *nodem + 2.0 * theta;
}

// Lunar-solar long-period periodics, computed afresh for every time (a
// copy kept from an earlier call would make the answer depend on the calls
// before it), applied to the osculating elements; the Lyddane form below
// 0.2 rad of inclination.
void ApplyDeepSpacePeriodics(SatellitePropagatorState *s, double t, double *ep, double *inclp,
                             double *nodep, double *argpp, double *mp) {
    double zm = s->zmos + kZns * t;
    double zf = zm + 2.0 * kZes * std::sin(zm);
    double sinzf = std::sin(zf);
    double f2 = 0.5 * sinzf * sinzf - 0.25;
    double f3 = -0.5 * sinzf * std::cos(zf);
    const double ses = s->se2 * f2 + s->se3 * f3;
    const double sis = s->si2 * f2 + s->si3 * f3;
    const double sls = s->sl2 * f2 + s->sl3 * f3 + s->sl4 * sinzf;
    const double sghs = s->sgh2 * f2 + s->sgh3 * f3 + s->sgh4 * sinzf;
    const double shs = s->sh2 * f2 + s->sh3 * f3;
    zm = s->zmol + kZnl * t;
    zf = zm + 2.0 * kZel * std::sin(zm);
    sinzf = std::sin(zf);
    f2 = 0.5 * sinzf * sinzf - 0.25;
    f3 = -0.5 * sinzf * std::cos(zf);
    const double sel = s->ee2 * f2 + s->e3 * f3;
    const double sil = s->xi2 * f2 + s->xi3 * f3;
    const double sll = s->xl2 * f2 + s->xl3 * f3 + s->xl4 * sinzf;
    const double sghl = s->xgh2 * f2 + s->xgh3 * f3 + s->xgh4 * sinzf;
    const double shll = s->xh2 * f2 + s->xh3 * f3;
    const double pe = ses + sel;
    double pinc = sis + sil, pl = sls + sll, pgh = sghs + sghl, ph = shs + shll;
    *inclp += pinc;
    *ep += pe;
    double sinip = std::sin(*inclp), cosip = std::cos(*inclp);
    if (*inclp >= 0.2) {
        ph /= sinip;
        pgh -= cosip * ph;
        *argpp += pgh;
        *nodep += ph;
        *mp += pl;
    } else {
        double sinop = std::sin(*nodep), cosop = std::cos(*nodep);
        double alfdp = sinip * sinop + (ph * cosop + pinc * cosip * sinop);
        double betdp = sinip * cosop + (-ph * sinop + pinc * cosip * cosop);
        *nodep = std::fmod(*nodep, kTwoPi);
        double xls = *mp + *argpp + pl + pgh + (cosip - pinc * sinip) * *nodep;
        double xnoh = *nodep;
        *nodep = std::atan2(alfdp, betdp);
        if (std::fabs(xnoh - *nodep) > kPi) *nodep += *nodep < xnoh ? kTwoPi : -kTwoPi;
        *mp += pl;
        *argpp = xls - *mp - cosip * *nodep;
    }
}

namespace {

// Both models up to the mean elements at t, then the common last step.
int Propagate(double t, SatellitePropagatorState *s, double position[3], double velocity[3]) {
    double xmdf = s->meanAnomaly + s->mdot * t;
    double argpdf = s->argumentOfPerigee + s->argpdot * t;
    double nodedf = s->ascendingNode + s->nodedot * t;
    double argpm = argpdf, mm = xmdf;
    double t2 = t * t;
    double nodem = nodedf + s->nodecf * t2;
    double tempa = 1.0 - s->cc1 * t;
    double tempe = s->bstar * s->cc4 * t;
    double templ = s->t2cof * t2;
    if (!s->simplified) {
        double delomg = s->omgcof * t;
        double d = 1.0 + s->eta * std::cos(xmdf);
        double delm = s->xmcof * (d * d * d - s->delmo);
        double temp = delomg + delm;
        mm = xmdf + temp;
        argpm = argpdf - temp;
        double t3 = t2 * t, t4 = t3 * t;
        tempa = tempa - s->d2 * t2 - s->d3 * t3 - s->d4 * t4;
        tempe += s->bstar * s->cc5 * (std::sin(mm) - s->sinmao);
        templ += s->t3cof * t3 + t4 * (s->t4cof + t * s->t5cof);
    }
    double nm = s->meanMotion, em = s->eccentricity, inclm = s->inclination;
    if (s->deepSpace) ApplyDeepSpaceSecular(s, t, &em, &argpm, &inclm, &nodem, &mm, &nm);
    if (!(nm > 0.0)) return kPropagationFailed;
    double am = std::pow(kKe / nm, kTwoThirds) * tempa * tempa;
    if (!(am > 0.0)) return kPropagationFailed;
    nm = kKe / std::pow(am, 1.5);
    em -= tempe;
    if (!(em < 1.0) || em < -0.001) return kPropagationFailed;
    if (em < 1.0e-6) em = 1.0e-6;
    mm += s->meanMotion * templ;
    double xlm = mm + argpm + nodem;
    nodem = std::fmod(nodem, kTwoPi);
    argpm = std::fmod(argpm, kTwoPi);
    xlm = std::fmod(xlm, kTwoPi);
    mm = std::fmod(xlm - argpm - nodem, kTwoPi);

    double ep = em, xincp = inclm, argpp = argpm, nodep = nodem, mp = mm;
    double sinip = std::sin(xincp), cosip = std::cos(xincp);
    double aycof = s->aycof, xlcof = s->xlcof;
    double con41 = s->con41, x1mth2 = s->x1mth2, x7thm1 = s->x7thm1;
    if (s->deepSpace) {
        ApplyDeepSpacePeriodics(s, t, &ep, &xincp, &nodep, &argpp, &mp);
        if (xincp < 0.0) {
            xincp = -xincp;
            nodep += kPi;
            argpp -= kPi;
        }
        if (ep < 0.0 || ep > 1.0) return kPropagationFailed;
        sinip = std::sin(xincp);
        cosip = std::cos(xincp);
        aycof = -0.5 * kJ3OverJ2 * sinip;
        double onePlusCos = 1.0 + cosip;
        if (std::fabs(onePlusCos) <= 1.5e-12) onePlusCos = 1.5e-12;
        xlcof = -0.25 * kJ3OverJ2 * sinip * (3.0 + 5.0 * cosip) / onePlusCos;
        double cosisq = cosip * cosip;
        con41 = 3.0 * cosisq - 1.0;
        x1mth2 = 1.0 - cosisq;
        x7thm1 = 7.0 * cosisq - 1.0;
    }
    return FinishSatellitePropagation(s, t, nm, am, ep, xincp, argpp, nodep, mp, sinip, cosip,
                                      aycof, xlcof, con41, x1mth2, x7thm1, position, velocity);
}

}  // namespace

int FinishSatellitePropagation(const SatellitePropagatorState *s, double t, double nm, double am,
                               double ep, double xincp, double argpp, double nodep, double mp,
                               double sinip, double cosip, double aycof, double xlcof,
                               double con41, double x1mth2, double x7thm1, double position[3],
                               double velocity[3]) {
    (void)s;
    (void)t;
    // Long-period periodics.
    double axnl = ep * std::cos(argpp);
    double temp = 1.0 / (am * (1.0 - ep * ep));
    double aynl = ep * std::sin(argpp) + temp * aycof;
    double xl = mp + argpp + nodep + temp * xlcof * axnl;
    if (axnl * axnl + aynl * aynl >= 1.0) return kPropagationFailed;
    // Kepler's equation for the eccentric longitude.
    double u = std::fmod(xl - nodep, kTwoPi);
    double eo1 = u;
    double sineo1 = std::sin(eo1), coseo1 = std::cos(eo1);
    for (int k = 0; k < kKeplerIterations; ++k) {
        sineo1 = std::sin(eo1);
        coseo1 = std::cos(eo1);
        double step = (u - aynl * coseo1 + axnl * sineo1 - eo1) /
                      (1.0 - coseo1 * axnl - sineo1 * aynl);
        if (std::fabs(step) >= 0.95) step = step > 0.0 ? 0.95 : -0.95;
        eo1 += step;
        if (std::fabs(step) < kKeplerTolerance) break;
    }
    sineo1 = std::sin(eo1);
    coseo1 = std::cos(eo1);
    // Short-period preliminaries.
    double ecose = axnl * coseo1 + aynl * sineo1;
    double esine = axnl * sineo1 - aynl * coseo1;
    double el2 = axnl * axnl + aynl * aynl;
    double pl = am * (1.0 - el2);
    if (!(pl > 0.0)) return kPropagationFailed;
    double rl = am * (1.0 - ecose);
    double rdotl = std::sqrt(am) * esine / rl;
    double rvdotl = std::sqrt(pl) / rl;
    double betal = std::sqrt(1.0 - el2);
    temp = esine / (1.0 + betal);
    double sinu = am / rl * (sineo1 - aynl - axnl * temp);
    double cosu = am / rl * (coseo1 - axnl + aynl * temp);
    double su = std::atan2(sinu, cosu);
    double sin2u = (cosu + cosu) * sinu;
    double cos2u = 1.0 - 2.0 * sinu * sinu;
    temp = 1.0 / pl;
    double temp1 = 0.5 * kJ2 * temp;
    double temp2 = temp1 * temp;
    // Short-period periodics.
    double mrt = rl * (1.0 - 1.5 * temp2 * betal * con41) + 0.5 * temp1 * x1mth2 * cos2u;
    if (!(mrt >= 1.0)) return kPropagationFailed;  // below the Earth's surface: decayed
    su -= 0.25 * temp2 * x7thm1 * sin2u;
    double xnode = nodep + 1.5 * temp2 * cosip * sin2u;
    double xinc = xincp + 1.5 * temp2 * cosip * sinip * cos2u;
    double mvt = rdotl - nm * temp1 * x1mth2 * sin2u / kKe;
    double rvdot = rvdotl + nm * temp1 * (x1mth2 * cos2u + 1.5 * con41) / kKe;
    // Orientation vectors.
    double sinsu = std::sin(su), cossu = std::cos(su);
    double snod = std::sin(xnode), cnod = std::cos(xnode);
    double sini = std::sin(xinc), cosi = std::cos(xinc);
    double xmx = -snod * cosi, xmy = cnod * cosi;
    double ux = xmx * sinsu + cnod * cossu;
    double uy = xmy * sinsu + snod * cossu;
    double uz = sini * sinsu;
    double vx = xmx * cossu - cnod * sinsu;
    double vy = xmy * cossu - snod * sinsu;
    double vz = sini * cossu;
    double r = mrt * kRadius;
    position[0] = r * ux;
    position[1] = r * uy;
    position[2] = r * uz;
    if (velocity) {
        double scale = kRadius * kKe;  // km per minute
        velocity[0] = (mvt * ux + rvdot * vx) * scale;
        velocity[1] = (mvt * uy + rvdot * vy) * scale;
        velocity[2] = (mvt * uz + rvdot * vz) * scale;
    }
    return kPropagationGood;
}

int PropagateSgp4(double minutes, const TwoLineElementSet *elements,
                  SatellitePropagatorState *state, double position[3], double velocity[3]) {
    (void)elements;
    int status = Propagate(minutes, state, position, velocity);
    if (status != kPropagationGood) ZeroVectors(position, velocity);
    return status;
}

int PropagateSdp4(double minutes, const TwoLineElementSet *elements,
                  SatellitePropagatorState *state, double position[3], double velocity[3]) {
    return PropagateSgp4(minutes, elements, state, position, velocity);
}

void InitSatellitePropagator(SatellitePropagatorState *state, const TwoLineElementSet *elements) {
    if (IsDeepSpaceOrbit(elements))
        InitSdp4(state, elements);
    else
        InitSgp4(state, elements);
}

int PropagateSatellite(double minutes, const TwoLineElementSet *elements,
                       SatellitePropagatorState *state, double position[3], double velocity[3]) {
    return PropagateSgp4(minutes, elements, state, position, velocity);
}
