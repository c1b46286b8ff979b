// Small numeric building blocks of the astronomy code: guarded inverse
// trigonometry and powers, angle reduction and differences, polynomials,
// multiple-angle series, spherical/rectangular vectors, three-point
// interpolation, Kepler's equation and the angular distance of two places.
#include "core/mathutil.h"

#include <cmath>
#include <limits>

namespace {
const double kTwoPi = 2.0 * kPi;
const long double kPiL = kPiExtended;
}  // namespace

// ---- guarded functions ------------------------------------------------------

double ComputeGuardedPower(double base, double exponent) {
    if (std::fabs(exponent) > 300.0) return exponent >= 0.0 ? 1e300 : 0.0;
    if (base == 0.0 && exponent <= 0.0) return 1e300;
    return std::pow(base, exponent);
}

double ComputeQuadrantArcTangent(double y, double x) {
    if (x != 0.0) return std::atan2(y, x);
    if (y > 0.0) return kPi / 2.0;
    if (y < 0.0) return 3.0 * kPi / 2.0;
    return 0.0;
}

double ComputeClampedArcSine(double x) {
    if (x >= 1.0) return kPi / 2.0;
    if (x <= -1.0) return -kPi / 2.0;
    return std::asin(x);
}

double ComputeClampedArcCosine(double x) {
    if (x >= 1.0) return 0.0;
    if (x <= -1.0) return kPi;
    return std::acos(x);
}

long double ComputeQuadrantArcTangentExtended(long double y, long double x) {
    if (x != 0.0L) return std::atan2(y, x);
    if (y > 0.0L) return kPiL / 2.0L;
    if (y < 0.0L) return 3.0L * kPiL / 2.0L;
    return 0.0L;
}

long double ComputeClampedArcSineExtended(long double x) {
    if (x >= 1.0L) return kPiL / 2.0L;
    if (x <= -1.0L) return -kPiL / 2.0L;
    return std::asin(x);
}

long double ComputeClampedArcCosineExtended(long double x) {
    if (x >= 1.0L) return 0.0L;
    if (x <= -1.0L) return kPiL;
    return std::acos(x);
}

double GetPercentDifference(double a, double b) {
    if (a > 0.0) return std::fabs(a - b) / a * 100.0;
    return 0.0;
}

// ---- angles and hours ------------------------------------------------------

// Reduces a non-negative x into [0, m], keeping x == m as m.
static double ReduceNonNegative(double x, double m) {
    if (x > m) x = m * (x / m - std::floor(x / m));
    return x;
}

double ReduceModuloPositive(double x, double m) {
    // A non-finite x or modulus has no reduction; the value is handed back
    // rather than recursing on it for ever.
    if (!std::isfinite(x) || !std::isfinite(m) || !(m > 0.0)) return x;
    if (x >= 0.0) return ReduceNonNegative(x, m);
    return m - ReduceNonNegative(-x, m);
}

double WrapAngleSigned(double x) {
    double r = ReduceModuloPositive(x, kTwoPi);
    return r > kPi ? r - kTwoPi : r;
}

double GetSignedAngleDifference(double a, double b) {
    double d = std::fabs(a - b);
    if (a >= b) return d >= kPi ? kTwoPi - d : -d;
    return d > kPi ? d - kTwoPi : d;
}

double AbsoluteAngleDifference(double a, double b) {
    double d = std::fabs(a - b);
    return d > kPi ? kTwoPi - d : d;
}

double FoldedAngleDifference(double a, double b) { return AbsoluteAngleDifference(a, b); }

double ExtendHoursPastMidnight(double h) { return h < 12.0 ? h + 24.0 : h; }

double CenterHoursOnMidnight(double h) { return h >= 12.0 ? h - 24.0 : h; }

// ---- series and interpolation -----------------------------------------------

double EvaluatePolynomial(const double *coefficients, int n, double x) {
    if (!coefficients || n < 0) return 0.0;
    double sum = coefficients[n];
    for (int k = n - 1; k >= 0; --k) sum = sum * x + coefficients[k];
    return sum;
}

double GetFractionalPart(double x) {
    double whole;
    return std::modf(x, &whole);
}

double GetIntegerPart(double x) {
    double whole;
    std::modf(x, &whole);
    return whole;
}

void ComputeSineCosineMultiples(double x, int n, double *sines, double *cosines) {
    if (!sines || !cosines || n < 1) return;
    const double s = std::sin(x), c = std::cos(x);
    sines[1] = s;
    cosines[1] = c;
    for (int k = 2; k <= n; ++k) {
        sines[k] = sines[k - 1] * c + cosines[k - 1] * s;
        cosines[k] = cosines[k - 1] * c - sines[k - 1] * s;
    }
}

double InterpolateThreeValues(double y1, double y2, double y3, double n) {
    const double a = y2 - y1, b = y3 - y2, c = b - a;
    return y2 + n / 2.0 * (a + b + n * c);
}

double FindInterpolationZero(double y1, double y2, double y3, double target) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double d = target - y2;
    const double s = y3 - y1;
    const double q = 2.0 * (y3 - 2.0 * y2 + y1);
    if (d == 0.0) return 0.0;  // the middle value is the target
    if (s == 0.0) return nan;  // flat or symmetric samples: no linear start
    double m = d / s;
    for (int i = 0; i < 6; ++i) {
        const double denominator = s + q * m;
        if (denominator == 0.0) return nan;
        const double next = d / denominator;
        const bool settled = std::fabs(next - m) <= 1e-8;
        m = next;
        if (settled) break;
    }
    if (!std::isfinite(m)) return nan;
    return 2.0 * m;
}

// ---- vectors -----------------------------------------------------------------

void ConvertSphericalToRectangular(const double position[3], double out[3]) {
    const double l = position[0], b = position[1], r = position[2];
    const double cb = std::cos(b);
    out[0] = r * cb * std::cos(l);
    out[1] = r * cb * std::sin(l);
    out[2] = r * std::sin(b);
}

// Spherical form of a rectangular vector, longitude reduced into [0, 2 pi].
static void RectangularToSpherical(double x, double y, double z, double out[3]) {
    const double r = std::sqrt(x * x + y * y + z * z);
    if (r == 0.0) {
        out[0] = out[1] = out[2] = 0.0;
        return;
    }
    const double l = ComputeQuadrantArcTangent(y, x);
    out[0] = l < 0.0 ? l + kTwoPi : l;
    // Rounding can put |z / r| a hair above 1 for a vector along the pole.
    out[1] = ComputeClampedArcSine(z / r);
    out[2] = r;
}

void ConvertRectangularToSpherical(const double vector[3], double out[3]) {
    RectangularToSpherical(vector[0], vector[1], vector[2], out);
}

void AddVectorsToSpherical(const double u[3], const double v[3], double out[3]) {
    RectangularToSpherical(u[0] + v[0], u[1] + v[1], u[2] + v[2], out);
}

void SubtractSphericalPositions(const double p[3], const double q[3], double out[3]) {
    double a[3], b[3];
    ConvertSphericalToRectangular(p, a);
    ConvertSphericalToRectangular(q, b);
    const double negB[3] = {-b[0], -b[1], -b[2]};
    AddVectorsToSpherical(a, negB, out);
}

void RotateVectorAboutXAxis(const double v[3], double cosA, double sinA, double out[3]) {
    const double x = v[0], y = v[1], z = v[2];
    out[0] = x;
    out[1] = y * cosA - z * sinA;
    out[2] = y * sinA + z * cosA;
}

void RotateVectorAboutZAxis(const double v[3], double cosA, double sinA, double out[3]) {
    const double x = v[0], y = v[1], z = v[2];
    out[0] = x * cosA - y * sinA;
    out[1] = x * sinA + y * cosA;
    out[2] = z;
}

// ---- positions and orbits --------------------------------------------------------

double AngularSeparation(double ra1, double dec1, double ra2, double dec2) {
    const double havDec = (1.0 - std::cos(dec1 - dec2)) / 2.0;
    const double havRa = (1.0 - std::cos(ra1 - ra2)) / 2.0;
    const double h = havDec + std::cos(dec1) * std::cos(dec2) * havRa;
    // Nearly antipodal places can round h above 1; clamp so asin stays defined.
    return 2.0 * ComputeClampedArcSine(std::sqrt(h < 0.0 ? 0.0 : h));
}

double SolveKepler(double meanAnomaly, double eccentricity) {
    const double e = eccentricity;
    if (std::isnan(e)) return e;
    const double M = WrapAngleSigned(meanAnomaly);
    double E = M;
    if (e > 0.97 && std::fabs(M) < 0.6) {
        // Cubic start near perihelion of very eccentric orbits, where E = M
        // is a poor first guess for Newton's method.
        const double alpha = (1.0 - e) / (4.0 * e + 0.5);
        const double beta = M / (8.0 * e + 1.0);
        const double r = std::sqrt(alpha * alpha + beta * beta);
        const double z = beta >= 0.0 ? std::cbrt(beta + r) : -std::cbrt(r - beta);
        double s = z - alpha / 2.0;
        s = s * (1.0 - 0.078 * s * s * s * s / (1.0 + e));
        E = M + e * s * (3.0 - 4.0 * s * s);
    }
    // Newton's method converges in a handful of steps for 0 <= e < 1; the
    // bound keeps e >= 1 or NaN input from looping.
    for (int i = 0; i < 50; ++i) {
        const double f = (M + e * std::sin(E) - E) / (1.0 - e * std::cos(E));
        if (!std::isfinite(f)) break;
        E += f;
        if (std::fabs(f) <= 1e-6) break;
    }
    return E;
}

double TrueAnomalyFromEccentricAnomaly(double eccentricAnomaly, double k) {
    return 2.0 * std::atan(k * std::tan(eccentricAnomaly / 2.0));
}

double RoundToSignificantDigits(double x, int n) {
    if (x == 0.0 || !std::isfinite(x)) return x;
    const double g = x < 0.0 ? -1.0 : 1.0;
    const double a = std::fabs(x);
    const int exponent = static_cast<int>(std::floor(std::log10(a))) - n + 1;
    const double p = std::pow(10.0, exponent);
    double whole;
    std::modf(a / p + 0.5, &whole);
    return g * p * whole;
}
