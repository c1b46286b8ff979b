// Passes of Earth satellites over a site: when each becomes visible, its
// culmination (closest approach), when it stops being visible, with place,
// altitude, azimuth, magnitude, range, shadow state and hour score at each
// of the three moments. The plain search (one sorted list), the split search
// (passes in progress at the start apart from later ones), the next-pass
// search (one pass per satellite) and the close-approach search (passes
// near a sky position); a found list can be kept in a file.
#pragma once
#include <cstddef>
#include <cstdint>

#include "astro/datetime.h"
#include "astro/location.h"
#include "ephem/satrecord.h"
#include "ephem/sgp4.h"

#pragma pack(push, 1)
// Slots: 0 start, 1 culmination, 2 end.
struct SatellitePass {
    EarthSatelliteRecord satellite;  // 0
    double julianDate[3];            // 115 UT
    double rightAscension[3];        // 139 topocentric, rad
    double declination[3];           // 163 rad
    double altitude[3];              // 187 rad
    double azimuth[3];               // 211 rad, from the south toward the west
    double magnitude[3];             // 235 99.9 = none
    double range[3];                 // 259 km
    double separation[3];            // 283 from the target (close approaches), rad
    double positionAngle[3];         // 307 from the target (close approaches), rad
    uint8_t inShadow[3];             // 331 1 = in the Earth's shadow
    uint8_t edgeKind[3];             // 334 slots 0 and 2 (kinds below); 0 for slot 1
    int16_t score[3];                // 337 hour scores; 0 when the sky test is off
};
#pragma pack(pop)
static_assert(sizeof(SatellitePass) == 343, "SatellitePass is 343 bytes");
static_assert(offsetof(SatellitePass, julianDate) == 115, "layout");
static_assert(offsetof(SatellitePass, separation) == 283, "layout");
static_assert(offsetof(SatellitePass, inShadow) == 331, "layout");
static_assert(offsetof(SatellitePass, edgeKind) == 334, "layout");
static_assert(offsetof(SatellitePass, score) == 337, "layout");

// Edge kinds of FindVisibilityEdge, from its direction, whether the
// satellite was visible where it began and whether a change of shadow state
// was met while it stayed visible:
//   forward,  visible, shadow change   2      backward, visible, change      3
//   forward,  visible, no change       4      backward, visible, no change   1
//   forward,  not visible              1      backward, not visible          4
const uint8_t kEdgeKindOne = 1;
const uint8_t kEdgeKindShadowForward = 2;
const uint8_t kEdgeKindShadowBackward = 3;
const uint8_t kEdgeKindFour = 4;
// Directions of FindVisibilityEdge.
const int kEdgeBackward = 0;
const int kEdgeForward = 1;

// The working record of one search (in memory only).
struct SatellitePassContext {
    double step;                  // sampling step, days
    DateRecord date;              // complete for the current time
    double currentJulianDate;     // the current time
    LocationRecord site;
    EarthSatelliteRecord satellite;
    int deepSpace;
    SatellitePropagatorState propagator;
    double magnitudeLimit;        // 90 or more: none
    double satelliteVector[3];    // of the last evaluation, km
    double observerVector[3];
    double targetRightAscension;  // close-approach search
    double targetDeclination;
    double separationLimit;       // rad
};

// Progress: before each satellite its share 100 / count is added to a
// running percentage; each time that reaches 5 the call-back is called with
// 0 (a tick, about every 5 % of the work: not a percentage) and the running
// percentage restarts at 0. The cancel flag is read at every sample: when it
// is set the search frees its lists, sets them null (and the counts 0) and
// returns 0.
typedef void (*SatellitePassProgress)(int tick);

// The plain search: passes of every satellite between start and start +
// span minutes, sorted by start date. *passes receives a new array (free()),
// null when none. A magnitude limit of 90 or more means none (satellites
// without a standard magnitude take part). Decayed satellites are skipped.
// When memory runs out the search ends with 0 and a null list.
int SearchSatellitePasses(const LocationRecord *site, const DateRecord *start, double spanMinutes,
                          const EarthSatelliteRecord *satellites, int count,
                          double magnitudeLimit, SatellitePass **passes, const int *cancel,
                          SatellitePassProgress progress);
// The split search: passes in progress (satellite visible and lit) at the
// start into the first list, later ones into the second; passes that ended
// before the start are dropped. 1 when either list is not empty.
int SearchSatellitePassesSplit(const LocationRecord *site, const DateRecord *start,
                               double spanMinutes, const EarthSatelliteRecord *satellites,
                               int count, double magnitudeLimit, SatellitePass **first,
                               int *firstCount, SatellitePass **second, int *secondCount,
                               const int *cancel, SatellitePassProgress progress);
// At most one pass per satellite: the first above -5 degrees from the start.
int SearchNextSatellitePasses(const LocationRecord *site, const DateRecord *start,
                              double spanMinutes, const EarthSatelliteRecord *satellites,
                              int count, double magnitudeLimit, SatellitePass **first,
                              int *firstCount, SatellitePass **second, int *secondCount,
                              const int *cancel, SatellitePassProgress progress);
// Satellites passing within separationLimit of the target place; slots 0 and
// 2 hold where the satellite enters and leaves the circle. Not sorted.
int SearchSatelliteApproaches(const LocationRecord *site, const DateRecord *start,
                              double spanMinutes, const EarthSatelliteRecord *satellites,
                              int count, double magnitudeLimit, double targetRightAscension,
                              double targetDeclination, double separationLimit,
                              SatellitePass **passes);

// The pass-list file "<user data folder>/esat/pass_list.bin": int32 count,
// then the passes. Written whole through the crash-safe layer (the folder
// is created); 1 or 0.
int WriteSatellitePassList(const SatellitePass *passes, int count);
// Frees *passes first; 1 with a new array (null for 0 passes) and the
// count; 0 with a null array and a count of 0 when the file is missing,
// short, its count disagrees with its size, or memory runs out.
int ReadSatellitePassList(SatellitePass **passes, int *count);
// Frees the list, zeroes the count and deletes the file.
void DeleteSatellitePassList(SatellitePass **passes, int *count);
// The pass-list file's path into out; 0 when the user folder is not set.
int MakeSatellitePassListPath(char *out, int size);

// ---- the shared routines --------------------------------------------------

// Prepares the context for one satellite (model and propagator set-up).
void BeginSatelliteInContext(SatellitePassContext *context,
                             const EarthSatelliteRecord *satellite);
// Topocentric place and range at the Julian date; 0 when the orbit decayed.
int ComputeSatelliteTopocentricAt(SatellitePassContext *context, double julianDate,
                                  double *rightAscension, double *declination, double *range);
// Everything at the Julian date; returns the visibility verdict (sky test on
// when the context's limit is below 90), or kSatelliteDecayed.
int ComputeSatelliteStateAt(SatellitePassContext *context, double julianDate,
                            double *rightAscension, double *declination, double *range,
                            double *azimuth, double *altitude, double *magnitude, int *inShadow,
                            int16_t *score);
int ComputeSatelliteHorizonPlace(SatellitePassContext *context, double julianDate,
                                 double rightAscension, double declination, double *azimuth,
                                 double *altitude);
// Brent's minimisation of the range (of the separation from the target)
// within 1.6 steps of the context's current time; 1 with slot 1 filled, 0
// (nothing filled) when it does not converge.
int RefineClosestApproach(SatellitePassContext *context, SatellitePass *pass);
int RefineClosestApproachToTarget(SatellitePassContext *context, SatellitePass *pass);
// The edge of visibility from the Julian date in the direction; 1 with the
// slot filled, 0 when none is found.
int FindVisibilityEdge(SatellitePassContext *context, double julianDate, int direction,
                       int visible, int inShadow, SatellitePass *pass, int slot, int *verdict);
// Slots 0 and 2 of a close approach: where the satellite enters and leaves
// the circle of the separation limit. 0 (slots untouched) when the satellite
// does not move across the sky.
int FillApproachEdges(SatellitePassContext *context, double julianDate, SatellitePass *pass);
// 1, or 0 when memory runs out (the list is kept as it was).
int AppendSatellitePass(SatellitePass **passes, const SatellitePass *pass, int *count);
void SortSatellitePasses(SatellitePass *passes, int count);
int CompareSatellitePasses(const void *a, const void *b);
