// Visibility of an observing-list item and the sky brightness at a place.
#include "visibility/itemvisibility.h"

#include <cmath>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/riseset.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "ephem/sunmoon.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "photometry/extinction.h"
#include "photometry/skybright.h"
#include "photometry/skymodel.h"
#include "visibility/objectvisibility.h"

namespace {

// The Sun's declination at the solstices, radians (23.5 degrees).
const double kSolsticeDeclination = 0.41015237421866746;
const double kBestExtinction = 0.1;
const int kReferenceYear = 1997;
const int kSunBody = 0;
const int kMoonBody = 10;

double SkyAt(const LocationRecord *site, DateRecord *date, double ra, double dec, int sunItem,
             int moonItem, double *k, double *altitude) {
    ComputeDeltaTAndNutation(date, 0.0);
    ComputeSiderealTimes(site, date);
    SunMoonState state = {};
    ComputeSunMoonState(site, date->julianDate, ra, dec, &state, 1);
    if (altitude) *altitude = state.targetAltitude;
    const double coefficient = ComputeVisualExtinction(date->month, site->temperature,
                                                       site->humidity, site->latitude,
                                                       site->elevation);
    if (k) *k = coefficient;
    return ComputeSkyBrightnessForState(site, &state, sunItem, moonItem, coefficient, date->year);
}

}  // namespace

int ComputeItemDarkSky(const LocationRecord *site, const ObjectRecord *item, double *skyBrightness,
                       double *altitude) {
    if (!site || !item) return 0;
    const double transit = GetTransitAltitude(site, item->decOfDate);
    const double north = GetLowerTransitAltitude(site, kSolsticeDeclination);
    const double south = GetLowerTransitAltitude(site, -kSolsticeDeclination);
    const double sun = north < south ? north : south;
    const double separation = FoldedAngleDifference(transit, sun);
    const double sky = ComputeSkyBrightness(kPi, kPi / 2.0 - sun, separation, kPi / 2.0 - sun,
                                            separation, kBestExtinction, kReferenceYear,
                                            kPi / 2.0 - transit,
                                            ComputeLightPollutionExcess(site->nakedEyeLimit));
    if (skyBrightness) *skyBrightness = sky;
    if (altitude) *altitude = transit;
    return 1;
}

void EvaluateItemVisibility(const LocationRecord *site, const ObserverRecord *observer,
                            OpticsBlock *optics, ObjectRecord *item, double k, double sky,
                            double altitude) {
    if (!site || !item) return;
    double magnification = item->magnification;
    if (magnification == 0.0) magnification = 100.0;
    if (!(altitude > site->horizonDip)) {
        item->visibilityMargin = (float)kNoVisibilityMargin;
        return;
    }
    double magnitude = 0.0, a = 0.0, b = 0.0;
    GetObjectPlotMagnitudeAndSizes(item, &magnitude, &a, &b);
    if (magnitude > 90.0) {
        item->visibilityMargin = (float)kNoVisibilityMargin;
        return;
    }
    const auto evaluate = [&](double kk, double s, double alt) {
        return EvaluateObjectVisibility(site, observer, optics, magnification, item->eyepiece,
                                        item->barlowFlag, item->objectClass, a, b, magnitude,
                                        item->magnitude2, item->condensation, kk, s, alt);
    };
    item->visibilityMargin = (float)evaluate(k, sky, altitude);
    double darkSky = 0.0, transit = 0.0;
    ComputeItemDarkSky(site, item, &darkSky, &transit);
    item->visibilityMargin2 = (float)evaluate(kBestExtinction, darkSky, transit);
}

double ComputeSkyBrightnessForState(const LocationRecord *site, const SunMoonState *state, int sunItem,
                                    int moonItem, double k, int year) {
    const double sunSeparation = sunItem ? kPi / 4.0 : state->sunTargetSeparation;
    const double moonSeparation = moonItem ? kPi / 4.0 : state->moonTargetSeparation;
    return ComputeSkyBrightness((1.0 - state->moonIlluminatedFraction) * kPi, kPi / 2.0 - state->moonAltitude,
                                moonSeparation, kPi / 2.0 - state->sunAltitude, sunSeparation, k, year,
                                kPi / 2.0 - state->targetAltitude, ComputeLightPollutionExcess(site->nakedEyeLimit));
}

double ComputeSkyBrightnessAtPosition(const LocationRecord *site, DateRecord *date,
                                      double rightAscension, double declination, double *k,
                                      double *altitude) {
    if (!site || !date) return 0.0;
    return SkyAt(site, date, rightAscension, declination, 0, 0, k, altitude);
}

double ComputeSkyBrightnessAtItem(const LocationRecord *site, DateRecord *date,
                                  const ObjectRecord *item, double *altitude) {
    if (!site || !date || !item) return 0.0;
    const bool body = item->objectClass == kClassSolarSystem;
    return SkyAt(site, date, item->raOfDate, item->decOfDate, body && item->index == kSunBody,
                 body && item->index == kMoonBody, nullptr, altitude);
}
