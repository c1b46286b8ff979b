// The Moon's geocentric place from the lunar series rows plus the additive
// terms A1, A2, A3 (Meeus, Astronomical Algorithms, ch. 47), and the radii of
// the Earth's shadow.
#include "ephem/moon.h"

#include <cmath>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "core/mathutil.h"
#include "ephem/bodynames.h"

namespace {

const double kTwoPi = 2.0 * kPi;
const double kDegree = kPi / 180.0;
const double kMicroDegree = 1.7453292519943295e-8;  // rad

double Reduce(double x) {
    double r = std::fmod(x, kTwoPi);
    if (r < 0.0) r += kTwoPi;
    if (r >= kTwoPi) r = 0.0;
    return r;
}

// Polynomial in T of degrees, turned to radians in 0..2 pi.
double DegreesPolynomial(const double c[5], double t) {
    return Reduce((c[0] + t * (c[1] + t * (c[2] + t * (c[3] + t * c[4])))) * kDegree);
}

// Sines and cosines of 1..4 D, 1..2 M, 1..4 M', 1..3 F.
struct Multiples {
    double s[4][5], c[4][5];
};

void Combine(const Multiples &x, const int32_t mult[4], double e, double *u, double *v) {
    bool first = true;
    double su = 0.0, sv = 0.0;
    for (int a = 0; a < 4; ++a) {
        int m = mult[a];
        if (m == 0) continue;
        int k = m < 0 ? -m : m;
        double s = m < 0 ? -x.s[a][k] : x.s[a][k];
        double c = x.c[a][k];
        if (a == 1) {  // the Sun's anomaly: E or E squared
            double factor = k == 1 ? e : e * e;
            s *= factor;
            c *= factor;
        }
        if (first) {
            su = s;
            sv = c;
            first = false;
        } else {
            double nu = su * c + sv * s;
            sv = sv * c - su * s;
            su = nu;
        }
    }
    *u = su;
    *v = sv;
}

}  // namespace

void ComputeLunarArguments(double t, double *omega, double *elongation, double *sunAnomaly,
                           double *moonAnomaly, double *argumentOfLatitude,
                           double *eccentricityFactor) {
    // This system's polynomials (degrees; T, T^2, T^3, T^4).
    static const double kD[5] = {297.8502042, 445267.1115168, -0.00163, 1.831945e-06, 8.84447e-06};
    static const double kM[5] = {357.5291092, 35999.0502909, -0.0001536, 4.083299e-08, 0.0};
    static const double kMp[5] = {134.9634114, 477198.8676313, 0.008997, 1.434741e-05, 6.79717e-08};
    static const double kF[5] = {93.2720993, 483202.0175273, -0.0034029, 2.836075e-07, 1.15833e-09};
    static const double kOmega[5] = {125.044555, -1934.1361849, 0.0020762, 2.139449e-06,
                                     1.64973e-08};
    if (omega) *omega = DegreesPolynomial(kOmega, t);
    if (elongation) *elongation = DegreesPolynomial(kD, t);
    if (sunAnomaly) *sunAnomaly = DegreesPolynomial(kM, t);
    if (moonAnomaly) *moonAnomaly = DegreesPolynomial(kMp, t);
    if (argumentOfLatitude) *argumentOfLatitude = DegreesPolynomial(kF, t);
    if (eccentricityFactor) *eccentricityFactor = 1.0 - 0.002516 * t - 0.0000074 * t * t;
}

double ComputeMoonMeanLongitude(double t) {
    static const double kLp[5] = {218.3164591, 481267.88134236, -0.0013268, 1.855835e-06,
                                  1.53388e-08};
    return DegreesPolynomial(kLp, t);
}

void SumLunarSeries(const LunarSeriesRow *first, const LunarLatitudeRow *second, double d,
                    double m, double mp, double f, double e, double *sumLongitude,
                    double *sumDistance, double *sumLatitude) {
    Multiples x;
    const double args[4] = {d, m, mp, f};
    const int highest[4] = {4, 2, 4, 3};
    for (int a = 0; a < 4; ++a) ComputeSineCosineMultiples(args[a], highest[a], x.s[a], x.c[a]);
    double sl = 0.0, sr = 0.0, sb = 0.0;
    for (int i = 0; first && i < kLunarSeriesRows; ++i) {
        const int32_t mult[4] = {first[i].d, first[i].m, first[i].mp, first[i].f};
        double u, v;
        Combine(x, mult, e, &u, &v);
        sl += first[i].longitude * u;
        sr += first[i].distance * v;
    }
    for (int i = 0; second && i < kLunarSeriesRows; ++i) {
        const int32_t mult[4] = {second[i].d, second[i].m, second[i].mp, second[i].f};
        double u, v;
        Combine(x, mult, e, &u, &v);
        sb += second[i].latitude * u;
    }
    if (sumLongitude) *sumLongitude = sl;
    if (sumDistance) *sumDistance = sr;
    if (sumLatitude) *sumLatitude = sb;
}

int ComputeMoonPosition(const DateRecord *date, BodyRecord *body) {
    if (!date || !body) return 0;
    const LunarSeriesRow *first = GetLunarLongitudeRows();
    const LunarLatitudeRow *second = GetLunarLatitudeRows();
    if (!first || !second) {
        if (EphemerisLoadAttempted()) return 0;
        first = GetBuiltInLunarLongitudeRows();
        second = GetBuiltInLunarLatitudeRows();
    }
    const double t = date->centuriesTT;
    double lp = ComputeMoonMeanLongitude(t);
    double omega, d, m, mp, f, e;
    ComputeLunarArguments(t, &omega, &d, &m, &mp, &f, &e);
    double a1 = (119.75 + 131.849 * t) * kDegree;
    double a2 = (53.09 + 479264.29 * t) * kDegree;
    double a3 = (313.45 + 481266.484 * t) * kDegree;
    double sumL, sumR, sumB;
    SumLunarSeries(first, second, d, m, mp, f, e, &sumL, &sumR, &sumB);
    sumL += 3958.0 * std::sin(a1) + 1962.0 * std::sin(lp - f) + 318.0 * std::sin(a2);
    sumB += -2235.0 * std::sin(lp) + 382.0 * std::sin(a3) + 350.0 * std::sin(a1) * std::cos(f) +
            127.0 * std::sin(lp - mp) - 115.0 * std::sin(lp + mp);

    body->type = kBodyMoon;
    body->name = GetBodyName(kBodyMoon);
    body->satelliteCount = 0;
    double longitude = lp + sumL * kMicroDegree;
    for (int i = 0; longitude < 0.0 && i < 4; ++i) longitude += kTwoPi;
    body->geocentricLongitude = longitude;
    body->geocentricLatitude = sumB * kMicroDegree;
    body->geocentricDistance = 385000.56 + sumR * 0.001;
    body->topocentricDistance = body->geocentricDistance;
    double ra = 0.0, dec = 0.0;  // the record is packed: no pointers to its fields
    ConvertEclipticToEquatorial(date, &ra, &dec, body->geocentricLongitude,
                                body->geocentricLatitude, kMeanObliquity);
    body->geocentricRightAscension = Reduce(ra);
    body->geocentricDeclination = dec;
    return 1;
}

void ComputeEarthShadowRadii(double sunDistance, double moonDistance, double sunSemidiameter,
                             double *umbra, double *penumbra) {
    const double kEarthRadiusAU = 4.263521265e-5;
    double pm = moonDistance > 0.0 ? 0.99834 * ComputeClampedArcSine(kEarthRadiusAU / moonDistance)
                                   : 0.0;
    double ps = sunDistance > 0.0 ? ComputeClampedArcSine(kEarthRadiusAU / sunDistance) : 0.0;
    if (umbra) *umbra = 1.02 * (pm + ps - sunSemidiameter);
    if (penumbra) *penumbra = 1.02 * (pm + ps + sunSemidiameter);
}
