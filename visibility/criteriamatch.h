// Testing objects against visibility criteria: the filter primitives the event
// finders call for each contact (darkness class, rating, sky condition, time
// window, imaging threshold) and the three list-item tests (at one time, at
// the current time, anywhere in tonight's window) that set an item's visible
// flag and rating.
//
// Hours: a "local hour" of the item tests is a clock hour on the scale -12..12
// around the midnight that begins the date record's calendar day.
#pragma once
#include <cstdint>

#include "visibility/criteria.h"

struct DateRecord;
struct HorizonRow;
struct LocationRecord;
struct ObjectRecord;

// Darkness classes.
const int kNotDark = 0;
const int kSomeDarkness = 1;
const int kDark = 2;
// Bit of the item's visibility flags byte that says "visible".
const uint8_t kItemVisibleFlag = 0x01;
// The item's rating when none applies.
const uint8_t kNoRating = 255;
// Signal-to-noise thresholds of the imaging rows 0..6.
extern const int kImagingThresholds[7];

// Darkness class of a sky compared with the site's darkest sky (its naked-eye
// limit): ratio of darkness fractions above 0.97 class 2, above 0.1 class 1.
// A site whose darkest sky has no darkness at all (a limit so low that its
// sky is 3.5 mag/arcsec^2 or brighter) counts any darkness as class 2.
int ClassifySkyDarkness(const LocationRecord *site, double skyBrightness);
// 1 pass, 0 fail; see the criteria record for the wanted rating and modes.
int MatchRatingFilter(int mode, int wanted, double margin, double experience);
// Altitude and darkness conditions of the criteria for an object at this
// declination, hour angle, transit altitude and altitude under this darkness
// class. A horizon table (may be null; first azimuth -1: none) is tested
// at the hour angle.
int MatchSkyConditionFilter(const LocationRecord *site, const VisibilityCriteria *criteria,
                            const HorizonRow *horizon, double declination, double hourAngle,
                            double transitAltitude, double altitude, int darknessClass);
// 1 when the site's local clock time of the Julian date lies in the criteria's
// hour window (noon-to-noon scale).
int MatchTimeWindowFilter(const LocationRecord *site, double julianDate,
                          const VisibilityCriteria *criteria);
int MatchSkyAndRatingFilters(const LocationRecord *site, const VisibilityCriteria *criteria,
                             const HorizonRow *horizon, double declination, double hourAngle,
                             double transitAltitude, double margin, double ignored,
                             double altitude, int darknessClass);
// 1 when (wanted grade <= 0, or the item grade reaches it and is neither 0 nor
// 255) and the item value reaches the threshold of the row (rows outside
// 0..6 are held to it).
int MatchRatingThreshold(int wantedGrade, int thresholdRow, int itemGrade, int itemValue);

// The item tests. The criteria's optics are used for the evaluation (their
// current eyepiece changes), hence not const. The darkness table may be null.
int CheckItemVisibleAtTime(const LocationRecord *site, const DateRecord *date, ObjectRecord *item,
                           VisibilityCriteria *criteria, const HorizonRow *horizon, double hour,
                           const uint8_t *darknessTable, int tableLength, double k);
// 1, 0, or -1 without a site. The Sun and Moon times are accepted for the
// callers' sake; they do not change the result.
int CheckItemVisibleNow(const LocationRecord *site, const DateRecord *date, ObjectRecord *item,
                        VisibilityCriteria *criteria, int needDarkness, const HorizonRow *horizon,
                        const uint8_t *darknessTable, int tableLength,
                        const double *sunMoonTimes, double k);
int CheckItemVisibleTonight(const LocationRecord *site, const DateRecord *date, ObjectRecord *item,
                            VisibilityCriteria *criteria, const HorizonRow *horizon,
                            const uint8_t *darknessTable, int tableLength,
                            const double *sunMoonTimes, double k);
