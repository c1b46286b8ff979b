// Band sky conditions for the imaging model.
#include "visibility/bandconditions.h"

#include "astro/airmass.h"
#include "astro/datetime.h"
#include "astro/location.h"
#include "core/mathutil.h"
#include "ephem/sunmoon.h"
#include "photometry/extinction.h"
#include "photometry/seeing.h"
#include "photometry/skymodel.h"

namespace {
}

int ComputeBandSkyConditions(const LocationRecord *site, const DateRecord *date, double apertureMm,
                             double phase, double moonDistance, double zenithDistance,
                             double moonZenithDistance, double sunZenithDistance,
                             double sunDistance, const double extraFlux[5], double k[5],
                             double extinction[5], double size[5], double skyFlux[5]) {
    if (!site || !date || !extraFlux || !k || !extinction || !size || !skyFlux) return 1;
    double airMass = ComputeAirMass(kPi / 2.0 - zenithDistance);
    ComputeStarImageSizes(site->seeing, airMass, apertureMm, size);
    ComputeBandExtinction(date->decimalYear, site->temperature, site->humidity, site->latitude,
                          zenithDistance, site->elevation, extinction, k);
    ModelBandSkyBrightness(date->year, phase, moonDistance, zenithDistance, moonZenithDistance,
                           sunZenithDistance, sunDistance, k, extraFlux, skyFlux);
    return 1;
}

int ComputeBandSkyConditionsAtTransit(const LocationRecord *site, double apertureMm,
                                      double rightAscension, double declination,
                                      const double extraFlux[5], double k[5], double extinction[5],
                                      double size[5], double skyFlux[5], int ideal) {
    if (!site || !extraFlux || !k || !extinction || !size || !skyFlux) return 1;
    SunMoonState state;
    EstimateSunMoonStateForTarget(site, rightAscension, declination, &state);
    double airMass = ComputeAirMass(state.targetAltitude);
    double seeing = ideal ? GetSeeingForRating(0) : site->seeing;
    double temperature = ideal ? 0.0 : site->temperature;
    double humidity = ideal ? 20.0 : site->humidity;
    double zenithDistance = kPi / 2.0 - state.targetAltitude;
    ComputeStarImageSizes(seeing, airMass, apertureMm, size);
    // Fraction of the year at which the target culminates at midnight (the
    // Sun opposite it); its fractional part sets the season terms.
    double season = ReduceModuloPositive(rightAscension + kPi, 2.0 * kPi) / (2.0 * kPi) + 0.25;
    ComputeBandExtinction(season, temperature, humidity, site->latitude, zenithDistance,
                          site->elevation, extinction, k);
    ModelBandSkyBrightness(1997.5, kPi, state.moonTargetSeparation, zenithDistance,
                           kPi / 2.0 - state.moonAltitude, kPi / 2.0 - state.sunAltitude,
                           state.sunTargetSeparation, k, extraFlux, skyFlux);
    return 1;
}
