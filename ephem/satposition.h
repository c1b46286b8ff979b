// What an observer at a site sees of an Earth satellite at one moment:
// topocentric place, altitude and azimuth, range, the Earth's shadow, the
// apparent magnitude and a visibility verdict; the same for a whole array of
// satellites at once.
#pragma once
#include <cstddef>
#include <cstdint>

#include "astro/datetime.h"
#include "astro/location.h"
#include "ephem/satrecord.h"

#pragma pack(push, 1)
struct VisibleSatellite {
    EarthSatelliteRecord satellite;  // 0
    double rightAscension;           // 115 topocentric, rad 0..2 pi
    double declination;              // 123 rad
    double altitude;                 // 131 rad
    double azimuth;                  // 139 rad, from the south toward the west
    double magnitude;                // 147 99.9 without a standard magnitude
    double range;                    // 155 km
    uint8_t inShadow;                // 163 1 in the Earth's shadow
    double shadowEdgeDistance;       // 164 km from the shadow's edge, negative inside
    int16_t score;                   // 172 hour score; 0 when the sky test is off
};
#pragma pack(pop)
static_assert(sizeof(VisibleSatellite) == 174, "VisibleSatellite is 174 bytes");
static_assert(offsetof(VisibleSatellite, rightAscension) == 115, "layout");
static_assert(offsetof(VisibleSatellite, inShadow) == 163, "layout");
static_assert(offsetof(VisibleSatellite, shadowEdgeDistance) == 164, "layout");
static_assert(offsetof(VisibleSatellite, score) == 172, "layout");

// The altitude from which a satellite counts as visible without the sky test.
const double kSatelliteVisibleAltitude = 0.17453292519943295;  // 10 degrees
// Magnitude limits of 90 and more mean "no limit".
const double kSatelliteNoMagnitudeLimit = 90.0;
// ComputeSatellitePosition's verdict for a satellite whose orbit has
// decayed (the propagator failed): nothing is written; callers skip it.
const int kSatelliteDecayed = -1;

// The sky test's hour score, provided by the visibility models (a floor
// above this one), which register it at start-up: the packed word of the
// hour score; darkness receives the sky-darkness value (0 a daylit sky,
// above 0 dark enough for a pass to show). Arguments: site, date, Sun altitude, Sun-target separation, Moon
// altitude, Moon illuminated fraction, Moon-target separation, target
// altitude, darkness out, altitude score out.
typedef int32_t (*SatelliteHourScoreFunction)(const LocationRecord *, const DateRecord *, double,
                                              double, double, double, double, double, double *,
                                              double *);
// Registers the hour-score function (null: the built-in twilight test, under
// which the sky is dark enough while the Sun stands 6 degrees or more below
// the horizon, with a score of 0).
void SetSatelliteHourScoreFunction(SatelliteHourScoreFunction function);

// Place of the satellite for the site and the complete date record (Julian
// date, T(TT), obliquity and sidereal times). Returns the verdict of
// IsSatelliteVisible with the sky test off (altitude >= 10 degrees), or
// kSatelliteDecayed (nothing written). score is not written (the sky test is
// off here): callers initialise it. Any output pointer may be null.
int ComputeSatellitePosition(const LocationRecord *site, const EarthSatelliteRecord *satellite,
                             const DateRecord *date, double *rightAscension, double *declination,
                             double *altitude, double *azimuth, double *range, double *magnitude,
                             int *inShadow, int16_t *score);
// The satellites of the array visible at the date: those whose magnitude is
// at most the limit (any, for a limit of 90 or more) and that
// IsSatelliteVisible accepts, with the sky test on when the limit is below
// 90. *out receives a new array (the caller frees it with free()), or null
// when none is visible; decayed satellites are skipped.
int ComputeVisibleSatellites(const LocationRecord *site, const DateRecord *date,
                             const EarthSatelliteRecord *satellites, int count,
                             double magnitudeLimit, VisibleSatellite **out);
// Sky test off: 1 when the altitude is at least 10 degrees. On: 0 at or
// below the horizon, else 1 when the sky is dark enough (the hour score's
// darkness at least 0), its score word stored in score. The magnitude takes
// no part.
int IsSatelliteVisible(const LocationRecord *site, double julianDate, double rightAscension,
                       double declination, double altitude, double magnitude, int skyTest,
                       int16_t *score);

// The satellite's geocentric vector (km) for a complete date record; the
// model is chosen and set up here. kPropagationGood or kPropagationFailed.
int ComputeSatelliteVector(const EarthSatelliteRecord *satellite, double julianDate,
                           double out[3]);
