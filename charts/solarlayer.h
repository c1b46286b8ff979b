// The solar-system layer of a chart: the collector that lists the Sun, Moon,
// planets, the Earth's shadow, comets and minor planets lying in or near the
// chart field (at the chart time, or at any time of a motion-track span),
// the routine that places one such object and builds its label, the
// conversions of solar-system places into the chart's frame, and small
// shims over the satellite tables. Angles are radians, distances AU.
#pragma once
#include <cstdint>

#include "ephem/bodyrecord.h"

struct ChartContext;
struct ChartLabelSettings;
struct MotionTrack;
struct ChartFocus;

// Object classes of the hits (the object model's class numbers).
const int kHitClassSolarSystem = 2;
const int kHitClassComet = 3;
const int kHitClassMinorPlanet = 4;
const int kHitClassUserComet = 13;
const int kHitClassUserMinorPlanet = 14;

#pragma pack(push, 1)
// One object found near the field. In memory only.
struct SolarSystemHit {
    int32_t objectClass;
    uint8_t satellite;   // 0: the body itself
    int32_t index;       // body type, comet set index, minor-planet number or user id
    float distance;      // from the Earth, AU
    float span;          // days, 0 when not set
    float time;          // Julian centuries from J2000, 0 when not set
};
#pragma pack(pop)

// Layer switches of CollectBodiesNearField.
const uint32_t kLayerSun = 0x01;
const uint32_t kLayerMoon = 0x02;
const uint32_t kLayerPlanets = 0x04;
const uint32_t kLayerEarthShadow = 0x08;
const uint32_t kLayerComets = 0x10;
const uint32_t kLayerUserComets = 0x20;
const uint32_t kLayerMinorPlanets = 0x40;
const uint32_t kLayerUserMinorPlanets = 0x80;

// Size of a label buffer of ComputeSolarObjectPlace (a chart label holds 32
// characters; longer texts are cut).
const int kSolarLabelSize = 64;

// The extra search radius of a body type (0 for other values).
double GetBodyFieldMargin(int bodyType);
// The largest motion of a body type in degrees per day (0 for other values).
double GetBodyDailyMotion(int bodyType);

// Satellite tables by planet type (4 Mars .. 9 Pluto) and satellite slot.
double GetMoonSemidiameterByPlanet(int planetType, int slot);       // arcsec at 1 AU
double GetMoonSemiMajorAxisByPlanet(int planetType, int slot);      // AU
double GetMoonOppositionMagnitudeByPlanet(int planetType, int slot);
// 1 for the classes the layer collects (2, 3, 4, 13, 14).
int IsSolarSystemChartClass(int objectClass);

// The search radius of a chart from its field and window: half the field
// times sqrt(1 + (long side / short side)^2), at most 2 pi; at least the
// window's half-diagonal whichever side is longer.
double GetWideFieldRadius(double field, int width, int height);

// Places into the chart frame (1, or 0 when the horizontal conversion
// fails). Positions worked out at other times of a track are drawn in the
// frame of the chart time: horizon and ecliptic conversions use the saved
// date, parallax and precession the current one.
// A BodyRecord after ComputeBodyPosition and ComputeBodyTopocentric.
int ConvertBodyToChartFrame(ChartContext *chart, BodyRecord *body, double *x, double *y,
                            double *magnitude);
// An apparent place of date (a planet's satellite, a shadow), distance in AU.
int ConvertPlaceOfDateToChartFrame(ChartContext *chart, double *rightAscension,
                                   double *declination, double distance, double *magnitude);
// An astrometric J2000 place (comets, minor planets), distance in AU.
int ConvertJ2000PlaceToChartFrame(ChartContext *chart, double *rightAscension,
                                  double *declination, double distance, double *magnitude);

// Places one object at the chart's current date: for class 2 the apparent
// place of date (a satellite offset from its planet's), for the minor bodies
// the astrometric J2000 place. label (kSolarLabelSize bytes) gets the label.
// 1; 0 when a file cannot be opened or the object is not found.
int ComputeSolarObjectPlace(ChartContext *chart, const ChartLabelSettings *labels, int objectClass,
                            int satellite, int32_t index, const int *stopFlag, BodyRecord *work,
                            HeliocentricPlace earth, double *rightAscension, double *declination,
                            double *distance, double *magnitude, char *label);

// Lists the objects near the field into *hits (owned by the caller: free()
// it whatever the result, also after a 0, which may leave appended hits
// behind it while the chart's hit count is 0). The chart's hit count and
// cursor are set, the Earth's place stored and the chart's current date
// restored on every road. 1 collected, 0 nothing switched on, a needed
// search could not start, or the stop flag was set.
int CollectBodiesNearField(ChartContext *chart, SolarSystemHit **hits, MotionTrack *track,
                           const ChartFocus *focus, double cometLimit, uint32_t layers,
                           double minorPlanetLimit, double defaultCometLimit,
                           int cometLimitRequest, const int *stopFlag);

// Distance order, largest first (qsort call-back).
int CompareHitsByDistance(const void *a, const void *b);

// Projects a chart-frame place and mirrors it as the chart's mirror flags
// ask: 1 with the pixel, 0 when the projection rejects the place.
int ProjectChartPoint(ChartContext *chart, double longitude, double latitude, int *x, int *y);

// The geocentric apparent place of date of a computed body (nutation, and
// annual aberration for all but the Moon and the Earth's shadow).
void GetBodyApparentPlace(const DateRecord *date, const BodyRecord *body, double *rightAscension,
                          double *declination);
