// Sky conditions per photometric band (U, B, V, R, I) for the imaging model:
// extinction coefficients, extinction at the target, star image sizes and
// sky fluxes, for a given Sun and Moon geometry or for the target at its
// upper culmination on a moonless night.
#pragma once

struct DateRecord;
struct LocationRecord;

// Geometry as for ModelSkyBrightness (visibility/skymodel.h): Moon phase
// angle, Moon-target distance, target, Moon and Sun zenith distances,
// Sun-target distance (radians). Returns 1.
int ComputeBandSkyConditions(const LocationRecord *site, const DateRecord *date, double apertureMm,
                             double phase, double moonDistance, double zenithDistance,
                             double moonZenithDistance, double sunZenithDistance,
                             double sunDistance, const double extraFlux[5], double k[5],
                             double extinction[5], double size[5], double skyFlux[5]);
// The target at upper culmination with the Sun at lower culmination opposite
// it (EstimateSunMoonStateForTarget), no Moon, year 1997.5. The season of the
// extinction is the time of year at which the target culminates at midnight.
// ideal 1: excellent seeing, 0 C and 20 % humidity instead of the site's.
// Returns 1.
int ComputeBandSkyConditionsAtTransit(const LocationRecord *site, double apertureMm,
                                      double rightAscension, double declination,
                                      const double extraFlux[5], double k[5], double extinction[5],
                                      double size[5], double skyFlux[5], int ideal);
