// Sky brightness model (Schaefer): night sky, moonlight, twilight and
// daylight per photometric band, and its V-band wrappers.
#include "photometry/skymodel.h"

#include <cmath>

#include "core/mathutil.h"
#include "photometry/extinction.h"
#include "photometry/skybright.h"

namespace {

const double kDegrees = 180.0 / kPi;
const double kOneArcminute = kPi / 10800.0;
const double kMaxZenithDistance = 1.4835298641951802;  // 85 degrees

struct BandConstants {
    double zeroPoint;   // MO
    double nightSky;    // BO
    double moonColour;  // CM
    double sunMagnitude;  // MS
};

// Rows U, B, V, R, I.
const BandConstants kBands[5] = {
    {-10.93, 8e-14, 1.36, -25.96},
    {-10.45, 7e-14, 0.91, -26.09},
    {-11.05, 1e-13, 0.0, -26.74},
    {-11.9, 1e-13, -0.76, -27.26},
    {-12.7, 3e-13, -1.17, -27.55},
};
const int kRowB = 1, kRowV = 2, kRowR = 3;

double TenTo(double x) { return ComputeGuardedPower(10.0, x); }

double AirMass(double z) {
    double c = std::cos(z);
    return 1.0 / (c + 0.025 * std::exp(-11.0 * c));
}

// Sun or Moon air mass: 40 below the horizon.
double BodyAirMass(double z) { return z > kPi / 2.0 ? 40.0 : AirMass(z); }

double GuardSeparation(double r) { return r == 0.0 ? kOneArcminute : r; }

// Scattering function of Krisciunas & Schaefer for a separation in degrees.
double Scattering(double degrees) {
    double c = std::cos(degrees / kDegrees);
    return 6.2e7 * ComputeGuardedPower(degrees, -2.0) + TenTo(6.15 - degrees / 40.0) +
           TenTo(5.36) * (1.06 + c * c);
}

double BandFlux(const BandConstants &b, double year, double phase, double moonDistance,
                double zenithDistance, double moonZenithDistance, double sunZenithDistance,
                double sunDistance, double k, double extraFlux) {
    double z = zenithDistance > kMaxZenithDistance ? kMaxZenithDistance : zenithDistance;
    double x = AirMass(z);
    double xm = BodyAirMass(moonZenithDistance);
    double xs = BodyAirMass(sunZenithDistance);
    double ph = phase * kDegrees;
    double rm = moonDistance * kDegrees;
    double rs = sunDistance * kDegrees;
    double dimming = 1.0 - TenTo(-0.4 * k * x);

    double sinZ = std::sin(z);
    double night = b.nightSky * (1.0 + 0.3 * std::cos(6.283 * (year - 1992.0) / 11.0)) *
                       (0.4 + 0.6 / std::sqrt(1.0 - 0.96 * sinZ * sinZ)) * TenTo(-0.4 * k * x) +
                   extraFlux / std::cos(z);

    double mm = -12.73 + 0.026 * std::fabs(ph) + 4e-9 * ph * ph * ph * ph + b.moonColour;
    double c3 = TenTo(-0.4 * k * xm);
    double moon = TenTo(-0.4 * (mm - b.zeroPoint + 43.27)) * dimming *
                  (Scattering(rm) * c3 + 440000.0 * (1.0 - c3));

    double hs = 90.0 - sunZenithDistance * kDegrees;
    double kt = k > 1e-4 ? k : 1e-4;
    double twilight = TenTo(-0.4 * (b.sunMagnitude - b.zeroPoint + 32.5 - hs - z / (2.0 * kPi * kt))) *
                      (100.0 / rs) * (1.0 - TenTo(-0.4 * k));

    double c4 = TenTo(-0.4 * k * xs);
    double day = TenTo(-0.4 * (b.sunMagnitude - b.zeroPoint + 43.27)) * dimming *
                 (Scattering(rs) * c4 + 440000.0 * (1.0 - c4));

    double total = night + (day > twilight ? twilight : day);
    if (moonZenithDistance < kPi / 2.0) total += moon;
    return total;
}

}  // namespace

int ModelSkyBrightness(double year, double phase, double moonDistance, double zenithDistance,
                       double moonZenithDistance, double sunZenithDistance, double sunDistance,
                       double k, double extraFlux, double *flux) {
    double f = BandFlux(kBands[kRowV], year, phase, GuardSeparation(moonDistance), zenithDistance,
                        moonZenithDistance, sunZenithDistance, GuardSeparation(sunDistance), k,
                        extraFlux);
    if (flux) *flux = f;
    return 1;
}

int ModelBandSkyBrightness(double year, double phase, double moonDistance, double zenithDistance,
                           double moonZenithDistance, double sunZenithDistance, double sunDistance,
                           const double k[5], const double extraFlux[5], double flux[5]) {
    if (!k || !extraFlux || !flux) return 1;
    if (moonDistance == 0.0) moonDistance = 0.5 / kDegrees;
    for (int i = 0; i < 5; ++i)
        flux[i] = BandFlux(kBands[i], year, phase, moonDistance, zenithDistance, moonZenithDistance,
                           sunZenithDistance, GuardSeparation(sunDistance), k[i], extraFlux[i]);
    return 1;
}

int ModelThreeBandSkyBrightness(double year, double phase, double moonDistance,
                                double zenithDistance, double moonZenithDistance,
                                double sunZenithDistance, double sunDistance, double kB, double kV,
                                double kR, double extraFlux, double *fluxB, double *fluxV,
                                double *fluxR) {
    moonDistance = GuardSeparation(moonDistance);
    sunDistance = GuardSeparation(sunDistance);
    double b = BandFlux(kBands[kRowB], year, phase, moonDistance, zenithDistance, moonZenithDistance,
                        sunZenithDistance, sunDistance, kB, extraFlux);
    double v = BandFlux(kBands[kRowV], year, phase, moonDistance, zenithDistance, moonZenithDistance,
                        sunZenithDistance, sunDistance, kV, extraFlux);
    double r = BandFlux(kBands[kRowR], year, phase, moonDistance, zenithDistance, moonZenithDistance,
                        sunZenithDistance, sunDistance, kR, extraFlux);
    if (fluxB) *fluxB = b;
    if (fluxV) *fluxV = v;
    if (fluxR) *fluxR = r;
    return 1;
}

int ModelTwoBandSkyBrightness(double year, double phase, double moonDistance, double zenithDistance,
                              double moonZenithDistance, double sunZenithDistance,
                              double sunDistance, double kB, double kV, double extraFlux,
                              double *fluxB, double *fluxV) {
    moonDistance = GuardSeparation(moonDistance);
    sunDistance = GuardSeparation(sunDistance);
    double b = BandFlux(kBands[kRowB], year, phase, moonDistance, zenithDistance, moonZenithDistance,
                        sunZenithDistance, sunDistance, kB, extraFlux);
    double v = BandFlux(kBands[kRowV], year, phase, moonDistance, zenithDistance, moonZenithDistance,
                        sunZenithDistance, sunDistance, kV, extraFlux);
    if (fluxB) *fluxB = b;
    if (fluxV) *fluxV = v;
    return 1;
}

double ComputeSkyBrightness(double phase, double moonZenithDistance, double moonDistance,
                            double sunZenithDistance, double sunDistance, double k, int year,
                            double zenithDistance, double extraFlux) {
    double flux = 0.0;
    ModelSkyBrightness(static_cast<double>(year), phase, moonDistance, zenithDistance,
                       moonZenithDistance, sunZenithDistance, sunDistance, k, extraFlux, &flux);
    return ConvertNanolambertsToSkyBrightness(flux / 1.11e-15);
}

void ComputeThreeBandSkyFlux(double phase, double moonZenithDistance, double moonDistance,
                             double sunZenithDistance, double sunDistance, double kB, double kV,
                             double kR, int year, double zenithDistance, double extraFlux,
                             double *fluxB, double *fluxV, double *fluxR) {
    ModelThreeBandSkyBrightness(static_cast<double>(year), phase, moonDistance, zenithDistance,
                                moonZenithDistance, sunZenithDistance, sunDistance, kB, kV, kR,
                                extraFlux, fluxB, fluxV, fluxR);
}

void ComputeTwoBandSkyFlux(double phase, double moonZenithDistance, double moonDistance,
                           double sunZenithDistance, double sunDistance, double kB, double kV,
                           int year, double zenithDistance, double extraFlux, double *fluxB,
                           double *fluxV) {
    ModelTwoBandSkyBrightness(static_cast<double>(year), phase, moonDistance, zenithDistance,
                              moonZenithDistance, sunZenithDistance, sunDistance, kB, kV, extraFlux,
                              fluxB, fluxV);
}

double ComputeDarkestSkyBrightness() {
    double k = ComputeVisualExtinction(1, -34.44444444444444, 15.0, kPi / 2.0, 3047.8512648582746);
    return ComputeSkyBrightness(kPi, kPi, kPi, kPi, kPi, k, 1997, 0.0, 0.0);
}
