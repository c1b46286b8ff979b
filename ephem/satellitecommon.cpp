// Time arguments, magnitude law and slot helpers of the satellite theories.
#include "ephem/satellitecommon.h"
#include "ephem/satellites.h"

#include <cmath>

#include "astro/datetime.h"
#include "core/mathutil.h"

double SatelliteJulianEphemerisDate(const DateRecord *date, const BodyRecord *planet) {
    double tauDays = planet->geocentricDistance * kSatelliteLightTimeCenturiesPerAU * 36525.0;
    return date->julianDate + date->deltaT - tauDays;
}

double SatelliteCenturies(const DateRecord *date, const BodyRecord *planet) {
    return date->centuriesTT - planet->geocentricDistance * kSatelliteLightTimeCenturiesPerAU;
}

double SatelliteMagnitude(const BodyRecord *planet, double constant) {
    double product = planet->heliocentric.radius * planet->geocentricDistance;
    if (!(product > 0.0)) return constant;
    return 5.0 * std::log10(product) + constant;
}

double ReduceSatelliteAngle(double x) {
    double r = std::fmod(x, 2.0 * kPi);
    if (r < 0.0) r += 2.0 * kPi;
    if (r >= 2.0 * kPi) r = 0.0;
    return r;
}

void ClearSatelliteSlot(BodyRecord *planet, int slot) {
    if (slot < 0 || slot >= kMaxSatellites) return;
    for (int k = 0; k < kSatelliteQuantities; ++k) planet->satellites[k][slot] = 0.0;
}
