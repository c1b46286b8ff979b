// Closed astrophysical formulas (distances, surface brightness, colour index,
// magnitudes, disk eclipses). Guards keep catalogue zeros from turning into
// infinities or NaN on screen.
#include "astro/astroformulas.h"
#include "core/mathutil.h"

#include <cmath>
#include <cstdio>

namespace {


// B-V by spectral class (rows O B A F G K M) and subclass 0..9.
const char kSpectralClasses[] = "OBAFGKM";
const double kColorIndexTable[7][10] = {
    {-0.32, -0.32, -0.32, -0.32, -0.32, -0.32, -0.32, -0.32, -0.31, -0.31},
    {-0.30, -0.26, -0.24, -0.20, -0.18, -0.16, -0.14, -0.12, -0.09, -0.06},
    {0.00, 0.03, 0.06, 0.09, 0.12, 0.15, 0.18, 0.21, 0.24, 0.27},
    {0.29, 0.32, 0.35, 0.38, 0.42, 0.45, 0.48, 0.51, 0.54, 0.56},
    {0.58, 0.60, 0.62, 0.64, 0.66, 0.69, 0.72, 0.75, 0.78, 0.81},
    {0.85, 0.91, 0.97, 1.03, 1.09, 1.16, 1.21, 1.26, 1.31, 1.36},
    {1.42, 1.46, 1.50, 1.54, 1.58, 1.61, 1.66, 1.70, 1.74, 1.79},
};

double ClampedAcos(double x) {
    if (x >= 1.0) return 0.0;
    if (x <= -1.0) return kPi;
    return std::acos(x);
}

}  // namespace

double RedshiftFromVelocity(double velocity) { return velocity / 300000.0; }

double DistanceFromVelocity(double velocity) { return velocity * 0.045915492957746475; }

double DistanceFromRedshift(double z) {
    if (!(z > -1.0)) return 0.0;
    double s = (1.0 + z) * (1.0 + z);
    return 13774.647887323943 * (s - 1.0) / (s + 1.0);
}

double DistanceFromRedshiftByDeceleration(double z) {
    if (!(z > -1.0)) return 0.0;
    const double q = 0.1;
    return 14.95 * (2.0 * q * z + (q - 2.0) * (std::sqrt(1.0 + q * z) - 1.0)) / (q * q * (1.0 + z));
}

double LightTravelDistanceFromRedshift(double z) {
    if (!(z > -1.0)) return 0.0;
    const double m = 0.135;
    const double h = 13.765118494084506;
    double a = 1.0 + 2.0 * (1.0 - m) / (m * (1.0 + z));
    double b = std::sqrt(a * a - 1.0);
    double cz = std::log(b + std::sqrt(b * b + 1.0));
    double k = m / (2.0 * std::pow(1.0 - m, 1.5));
    double u = 2.0 / m - 1.0;
    double t0 = h * (1.0 / (1.0 - m) - k * std::log(std::sqrt(u * u - 1.0) + u));
    return t0 - h * k * (b - cz);
}

double SurfaceBrightnessFromMagnitude(double a, double b, double magnitude) {
    // A galaxy without a minor axis has b = 0: log10(0) would show as -inf.
    if (!(a * b > 0.0) || !(magnitude <= 90.0)) return kNoMagnitude;
    return magnitude + 2.5 * std::log10(900.0 * kPi * a * b);
}

double SurfaceBrightnessArcminToArcsec(double s) {
    return -2.5 * std::log10(std::pow(10.0, -0.4 * s) / 3600.0);
}

double SurfaceBrightnessArcsecToArcmin(double s) {
    return -2.5 * std::log10(std::pow(10.0, -0.4 * s) * 3600.0);
}

double ExtendedObjectAreaTerm(double diameter) {
    double y = 900.0 * kPi * diameter * diameter;
    return y > 1.0 ? 0.375 * std::log10(y) : 0.0;
}

double ColorIndexFromSpectralType(const char *text) {
    if (!text) return kNoColorIndex;
    char letter = 0;
    int subclass = 0;
    int fields = std::sscanf(text, "%c%d", &letter, &subclass);
    if (fields < 1) return kNoColorIndex;
    if (fields == 1) subclass = 0;
    if (subclass < 0 || subclass > 9) return kNoColorIndex;
    for (int row = 0; row < 7; ++row)
        if (kSpectralClasses[row] == letter) return kColorIndexTable[row][subclass];
    return kNoColorIndex;
}

double CombineMagnitudes(double a, double b) {
    if (a > 90.0) return b;
    if (b > 90.0) return a;
    return -2.5 * std::log10(std::pow(10.0, -0.4 * a) + std::pow(10.0, -0.4 * b));
}

double AdjustMagnitudeForExtent(double size, double magnitude, double k, double w) {
    if (!(w > 0.0) || magnitude > 90.0) return magnitude;
    double sizeDegrees = size * 180.0 / kPi;
    double ratio = (k / (sizeDegrees * 0.5 / w + 1.0) + 1.0) / (1.0 + k);
    if (!(ratio > 0.0) || !std::isfinite(ratio)) return magnitude;
    return magnitude - 2.5 * std::log10(ratio);
}

double ScaleHundredByMagnitude(double a, double b) {
    if (a == 0.0) return 0.0;
    return (100.0 / a) * std::pow(100.0, -0.1 * b);
}

double ComputeEclipseMagnitude(double coveredRadius, double coveringRadius, double distance) {
    if (!(coveredRadius > 0.0)) return 0.0;
    if (coveredRadius + coveringRadius > distance)
        return (coveredRadius + coveringRadius - distance) / (2.0 * coveredRadius);
    return 0.0;
}

double ComputeObscuredFraction(double coveringDiameter, double coveredDiameter, double distance) {
    if (!(coveringDiameter > 0.0) || !(coveredDiameter > 0.0)) return 0.0;
    double k = coveringDiameter / coveredDiameter;
    double m = ComputeEclipseMagnitude(coveredDiameter / 2.0, coveringDiameter / 2.0, distance);
    if ((k + 1.0) / 2.0 < m || m == 0.0) return 0.0;
    double t = 1.0 + k - 2.0 * m;  // centre distance in covered-disk radii
    if (m >= 1.0 || t == 0.0) return k >= 1.0 ? 1.0 : k * k;
    double a1 = ClampedAcos((t * t + 1.0 - k * k) / (2.0 * t));
    double a2 = ClampedAcos((k * k + 1.0 - t * t) / (2.0 * k));
    return (k * k * (kPi - a1 - a2) + a1 - k * std::sin(a2)) / kPi;
}
