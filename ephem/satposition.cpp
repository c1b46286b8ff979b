// Place, shadow, magnitude and visibility of Earth satellites at one moment.
#include "ephem/satposition.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "astro/frames.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "ephem/satgeometry.h"
#include "ephem/sgp4.h"
#include "ephem/sunmoon.h"

namespace {

SatelliteHourScoreFunction g_hourScore = nullptr;

// The built-in sky test: dark enough from 6 degrees of solar depression on.
const double kTwilightSunAltitude = -6.0 * kPi / 180.0;

// Everything ComputeSatellitePosition and ComputeVisibleSatellites derive
// for one satellite once the observer and Sun vectors are known.
struct SatelliteView {
    double rightAscension, declination, altitude, azimuth, range, magnitude, edge;
    int inShadow;
};

int ViewSatellite(const LocationRecord *site, const EarthSatelliteRecord *satellite,
                  const DateRecord *date, const double observer[3], const double sun[3],
                  SatelliteView *view) {
    double s[3];
    if (ComputeSatelliteVector(satellite, date->julianDate, s) != kPropagationGood)
        return kPropagationFailed;
    ComputeTopocentricFromVectors(observer, s, &view->rightAscension, &view->declination,
                                  &view->range);
    // The topocentric place refers to the mean equinox through the mean
    // sidereal angle of the observer vector: its hour angle uses the mean
    // sidereal time too.
    double hourAngle = GetHourAngle(date, view->rightAscension, kMeanSiderealTime);
    view->azimuth = 0.0;
    view->altitude = 0.0;
    ConvertHourAngleToHorizontal(site, hourAngle, view->declination, &view->azimuth,
                                 &view->altitude, 1);
    view->inShadow = IsSatelliteInShadow(date->julianDate, s, sun, &view->edge);
    if (satellite->standardMagnitude >= kSatelliteMagnitudeNone) {
        view->magnitude = kNoSatelliteMagnitude;
    } else {
        view->magnitude = ComputeSatelliteMagnitude(satellite->standardMagnitude, s, observer,
                                                    view->range, sun, &view->altitude);
    }
    return kPropagationGood;
}

void ObserverAndSun(const LocationRecord *site, const DateRecord *date, double observer[3],
                    double sun[3]) {
    ComputeObserverVector(date->julianDate, -site->longitude, site->rhoCosPhi, site->rhoSinPhi,
                          observer);
    ComputeSunVectorOfDate(date->centuriesTT, date->meanObliquity, sun);
}

}  // namespace

void SetSatelliteHourScoreFunction(SatelliteHourScoreFunction function) { g_hourScore = function; }

int ComputeSatelliteVector(const EarthSatelliteRecord *satellite, double julianDate,
                           double out[3]) {
    SatellitePropagatorState state;
    InitSatellitePropagator(&state, &satellite->elements);
    double minutes = (julianDate - satellite->elements.epoch) * kMinutesPerDay;
    return PropagateSatellite(minutes, &satellite->elements, &state, out, nullptr);
}

int ComputeSatellitePosition(const LocationRecord *site, const EarthSatelliteRecord *satellite,
                             const DateRecord *date, double *rightAscension, double *declination,
                             double *altitude, double *azimuth, double *range, double *magnitude,
                             int *inShadow, int16_t *score) {
    (void)score;
    if (!site || !satellite || !date) return 0;
    double observer[3], sun[3];
    ObserverAndSun(site, date, observer, sun);
    SatelliteView view;
    if (ViewSatellite(site, satellite, date, observer, sun, &view) != kPropagationGood)
        return kSatelliteDecayed;
    if (rightAscension) *rightAscension = view.rightAscension;
    if (declination) *declination = view.declination;
    if (altitude) *altitude = view.altitude;
    if (azimuth) *azimuth = view.azimuth;
    if (range) *range = view.range;
    if (magnitude) *magnitude = view.magnitude;
    if (inShadow) *inShadow = view.inShadow;
    return IsSatelliteVisible(site, date->julianDate, view.rightAscension, view.declination,
                              view.altitude, view.magnitude, 0, nullptr);
}

int ComputeVisibleSatellites(const LocationRecord *site, const DateRecord *date,
                             const EarthSatelliteRecord *satellites, int count,
                             double magnitudeLimit, VisibleSatellite **out) {
    if (!out) return 0;
    *out = nullptr;
    if (!site || !date || !satellites || count <= 0) return 0;
    VisibleSatellite *list =
        static_cast<VisibleSatellite *>(std::calloc(static_cast<size_t>(count), sizeof *list));
    if (!list) return 0;
    double observer[3], sun[3];
    ObserverAndSun(site, date, observer, sun);
    bool noLimit = magnitudeLimit >= kSatelliteNoMagnitudeLimit;
    int found = 0;
    for (int i = 0; i < count; ++i) {
        SatelliteView view;
        if (ViewSatellite(site, &satellites[i], date, observer, sun, &view) != kPropagationGood)
            continue;
        if (!noLimit && !(view.magnitude <= magnitudeLimit)) continue;
        int16_t score = 0;
        if (!IsSatelliteVisible(site, date->julianDate, view.rightAscension, view.declination,
                                view.altitude, view.magnitude, noLimit ? 0 : 1, &score))
            continue;
        VisibleSatellite &v = list[found++];
        std::memset(&v, 0, sizeof v);
        v.satellite = satellites[i];
        v.rightAscension = view.rightAscension;
        v.declination = view.declination;
        v.altitude = view.altitude;
        v.azimuth = view.azimuth;
        v.magnitude = view.magnitude;
        v.range = view.range;
        v.inShadow = static_cast<uint8_t>(view.inShadow);
        v.shadowEdgeDistance = view.edge;
        v.score = noLimit ? 0 : score;
    }
    if (found == 0) {
        std::free(list);
        return 0;
    }
    VisibleSatellite *shrunk =
        static_cast<VisibleSatellite *>(std::realloc(list, static_cast<size_t>(found) * sizeof *list));
    *out = shrunk ? shrunk : list;
    return found;
}

int IsSatelliteVisible(const LocationRecord *site, double julianDate, double rightAscension,
                       double declination, double altitude, double magnitude, int skyTest,
                       int16_t *score) {
    (void)magnitude;
    if (!skyTest) return altitude >= kSatelliteVisibleAltitude ? 1 : 0;
    if (!(altitude > 0.0) || !site) return 0;
    SunMoonState state;
    std::memset(&state, 0, sizeof state);
    ComputeSunMoonState(site, julianDate, rightAscension, declination, &state, 1);
    if (!g_hourScore) {
        if (score) *score = 0;
        return state.sunAltitude <= kTwilightSunAltitude ? 1 : 0;
    }
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.julianDate = julianDate;
    SetDateRecordFromJulianDate(site, &date);
    ComputeDeltaTAndNutation(&date, 0.0);
    ComputeSiderealTimes(site, &date);
    double darkness = -1.0, altitudeScore = 0.0;
    int32_t word = g_hourScore(site, &date, state.sunAltitude, state.sunTargetSeparation,
                               state.moonAltitude, state.moonIlluminatedFraction,
                               state.moonTargetSeparation, altitude, &darkness, &altitudeScore);
    if (score) *score = static_cast<int16_t>(word);
    // The hour score's darkness runs from 0 (a daylit sky, or brighter) to
    // 1: a sky of darkness 0 hides the pass, so only a darker one shows it.
    return darkness > 0.0 ? 1 : 0;
}
