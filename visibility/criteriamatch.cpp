// Testing objects and list items against visibility criteria.
#include "visibility/criteriamatch.h"

#include <cmath>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/location.h"
#include "astro/riseset.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "ephem/sunmoon.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "photometry/skybright.h"
#include "photometry/skymodel.h"
#include "sites/horizon.h"
#include "sites/horizongeometry.h"
#include "visibility/contrastmodel.h"
#include "visibility/hourtable.h"
#include "visibility/itemvisibility.h"
#include "visibility/objectvisibility.h"

const int kImagingThresholds[7] = {0, 3, 7, 10, 15, 25, 100};

namespace {

const double kTenDegrees = 0.17453292519943295;
const double kTwoThirds = 0.6666666666666666;
// Half the Sun's diameter plus refraction at the horizon: 34'.
const double kHorizonAllowance = 0.009890204912398708;
// The last hour of the night searched when the window has no end (35:59:59).
const double kNightEnd = 35.9997222;
const double kStepHours = 0.16666666666666666;
// The Sun (class 2, body 0) and the Moon (body 10) seen from 45 degrees.
const int kSunBody = 0;
const int kMoonBody = 10;

int ClassOfRatio(double ratio) {
    if (ratio > 0.97) return kDark;
    if (ratio > 0.1) return kSomeDarkness;
    return kNotDark;
}

double DarkestFraction(const LocationRecord *site) {
    return SkyDarknessFraction(ComputeSkyBrightnessFromLimit(site->nakedEyeLimit));
}

int ClassOfDarkness(const LocationRecord *site, double darkness) {
    const double darkest = DarkestFraction(site);
    if (!(darkest > 0.0)) return darkness > 0.0 ? kDark : kNotDark;
    return ClassOfRatio(darkness / darkest);
}

bool HasHorizon(const HorizonRow *horizon) { return horizon && horizon[0].azimuth != -1.0; }

void SetVisible(ObjectRecord *item, bool visible) {
    if (visible)
        item->visibilityFlags |= kItemVisibleFlag;
    else
        item->visibilityFlags &= (uint8_t)~kItemVisibleFlag;
}

// A completed date record for a local hour of the date record's calendar day.
void DateAtLocalHour(const LocationRecord *site, const DateRecord *date, double hour,
                     DateRecord *out) {
    SetDateRecord(out, site, date->month, date->day, date->year, hour, kLocalTime);
    SetDateRecordFromJulianDate(site, out);
    ComputeDeltaTAndNutation(out, 0.0);
    ComputeSiderealTimes(site, out);
}

// Sky brightness at the item from the Sun and Moon state; the altitude of the
// item goes out.
double SkyAtItem(const LocationRecord *site, const DateRecord *d, const ObjectRecord *item,
                 double k, double *altitude) {
    SunMoonState state = {};
    ComputeSunMoonState(site, d->julianDate, item->raOfDate, item->decOfDate, &state, 0);
    if (altitude) *altitude = state.targetAltitude;
    const bool body = item->objectClass == kClassSolarSystem;
    return ComputeSkyBrightnessForState(site, &state, body && item->index == kSunBody,
                                        body && item->index == kMoonBody, k, d->year);
}

// The opening shared by the "now" and "tonight" tests: the rating cleared,
// the constellation and category filters, the site, the no-condition rule and
// the date-free never-rises test. Returns 2 to go on, else the result.
int BeginItemTest(const LocationRecord *site, const DateRecord *date, ObjectRecord *item,
                  const VisibilityCriteria *criteria) {
    if (!item) return 0;
    item->visibilityClass = kNoRating;
    if (!MatchCriteriaFilters(criteria, item->constellation, item->categoryBits)) {
        SetVisible(item, false);
        return 0;
    }
    SetVisible(item, true);
    if (!site) return -1;
    if (CriteriaHaveNoCondition(criteria)) return 1;
    if (!date) {
        // The lowest declination that rises; the dip (0 or negative) lowers
        // the horizon, so it widens the band that rises.
        const double r = kPi / 2.0 - std::fabs(site->latitude) - site->horizonDip + kHorizonAllowance;
        const double dec = item->decOfDate;
        const bool rises = site->latitude >= 0.0 ? !(dec < -r) : !(dec > r);
        SetVisible(item, rises);
        return rises ? 1 : 0;
    }
    return 2;
}

}  // namespace

int ClassifySkyDarkness(const LocationRecord *site, double skyBrightness) {
    if (!site) return kNotDark;
    return ClassOfDarkness(site, SkyDarknessFraction(skyBrightness));
}

int MatchRatingFilter(int mode, int wanted, double margin, double experience) {
    if (wanted <= 0) return 1;
    if (!(margin <= 90.0)) return 0;
    const int i = GetVisibilityRatingIndex(margin, experience);
    if (i == kRatingNotVisible) return 0;
    if (wanted == 1) return 1;
    const int w = wanted - 2;
    switch (mode) {
    case kRatingExactly:
        return i == w ? 1 : 0;
    case kRatingOrBetter:
        return i <= w ? 1 : 0;
    case kRatingOrWorse:
        return i >= w ? 1 : 0;
    default:
        return 0;
    }
}

int MatchSkyConditionFilter(const LocationRecord *site, const VisibilityCriteria *criteria,
                            const HorizonRow *horizon, double declination, double hourAngle,
                            double transitAltitude, double altitude, int darknessClass) {
    if (!site || !criteria) return 0;
    const bool table = HasHorizon(horizon);
    const auto horizonTest = [&]() {
        return !table || IsAboveHorizonAtHourAngle(site, declination, horizon, hourAngle) != 0;
    };
    const bool high = altitude > kAltitudeLimit30;
    const bool nearTransit = altitude >= transitAltitude * kTwoThirds;
    bool pass = true;
    switch (criteria->altitudeCondition) {
    case kAltitudeAboveHorizon:
        pass = table ? horizonTest() : altitude > site->horizonDip;
        break;
    case kAltitudeAbove30:
        pass = high && horizonTest();
        break;
    case kAltitudeTwoThirdsTransit:
        pass = nearTransit && horizonTest();
        break;
    case kAltitudeBoth:
        pass = high && nearTransit && horizonTest();
        break;
    case kAltitudeEither:
        pass = (high || nearTransit) && horizonTest();
        break;
    default:
        break;
    }
    if (!pass) return 0;
    if (criteria->darknessCondition == kDarknessSome && darknessClass < kSomeDarkness) return 0;
    if (criteria->darknessCondition == kDarknessDark && darknessClass < kDark) return 0;
    return 1;
}

int MatchTimeWindowFilter(const LocationRecord *site, double julianDate,
                          const VisibilityCriteria *criteria) {
    if (!criteria) return 0;
    DateRecord d = {};
    d.julianDate = julianDate;
    SetDateRecordFromJulianDate(site, &d);
    const double hour = ExtendHoursPastMidnight(d.localHours);
    if ((criteria->windowFlags & kWindowStartApplies) &&
        hour < ExtendHoursPastMidnight(criteria->startHour))
        return 0;
    if ((criteria->windowFlags & kWindowEndApplies) &&
        hour > ExtendHoursPastMidnight(criteria->endHour))
        return 0;
    return 1;
}

int MatchSkyAndRatingFilters(const LocationRecord *site, const VisibilityCriteria *criteria,
                             const HorizonRow *horizon, double declination, double hourAngle,
                             double transitAltitude, double margin, double ignored,
                             double altitude, int darknessClass) {
    if (!MatchSkyConditionFilter(site, criteria, horizon, declination, hourAngle, transitAltitude,
                                 altitude, darknessClass))
        return 0;
    return MatchRatingFilter(kRatingOrBetter, criteria->wantedRating, margin,
                             criteria->observer.experience);
}

int MatchRatingThreshold(int wantedGrade, int thresholdRow, int itemGrade, int itemValue) {
    if (thresholdRow < 0) thresholdRow = 0;
    if (thresholdRow > 6) thresholdRow = 6;
    const bool grade = wantedGrade <= 0 ||
                       (itemGrade >= wantedGrade && itemGrade != 0 && itemGrade != kNoRating);
    return grade && itemValue >= kImagingThresholds[thresholdRow] ? 1 : 0;
}

int CheckItemVisibleAtTime(const LocationRecord *site, const DateRecord *date, ObjectRecord *item,
                           VisibilityCriteria *criteria, const HorizonRow *horizon, double hour,
                           const uint8_t *table, int n, double k) {
    if (!site || !date || !item || !criteria) return 0;
    DateRecord d;
    DateAtLocalHour(site, date, hour, &d);
    const double ra = item->raOfDate, dec = item->decOfDate;
    const double hourAngle = GetHourAngle(&d, ra, kApparentSiderealTime);
    double altitude, transitAltitude, sky = 0.0;
    int darknessClass;
    const bool useTable = table && n >= kMinimumHourTableSlots;
    if (useTable) {
        const double darkness = GetHourTableDarkness(hour, table, n);
        altitude = ComputeAltitude(site, hourAngle, dec);
        if (std::fabs(altitude) < kTenDegrees) altitude += GetRefractionForTrueAltitude(altitude);
        transitAltitude = kPi / 2.0 - site->latitude + dec;
        if (transitAltitude > kPi / 2.0) transitAltitude = kPi - transitAltitude;
        darknessClass = ClassOfDarkness(site, darkness);
    } else {
        sky = SkyAtItem(site, &d, item, k, &altitude);
        transitAltitude = GetTransitAltitude(site, dec);
        darknessClass = ClassifySkyDarkness(site, sky);
    }
    if (!MatchSkyConditionFilter(site, criteria, horizon, dec, hourAngle, transitAltitude, altitude,
                                 darknessClass)) {
        item->visibilityClass = kNoRating;
        return 0;
    }
    if (criteria->wantedRating == 0) {
        SetVisible(item, true);
        item->visibilityClass = kNoRating;
        return 1;
    }
    item->visibilityClass = kNoRating;
    if (!(altitude > site->horizonDip)) return 0;
    if (useTable) sky = SkyAtItem(site, &d, item, k, nullptr);
    double magnitude = 0.0, a = 0.0, b = 0.0;
    GetObjectPlotMagnitudeAndSizes(item, &magnitude, &a, &b);
    if (magnitude > 90.0) return 0;
    const double margin = EvaluateObjectVisibility(
        site, &criteria->observer, &criteria->optics, item->magnification, item->eyepiece,
        item->barlowFlag, item->objectClass, a, b, magnitude, item->magnitude2, item->condensation,
        k, sky, altitude);
    const double experience = criteria->observer.experience;
    if (!MatchRatingFilter(kRatingOrBetter, criteria->wantedRating, margin, experience)) return 0;
    SetVisible(item, true);
    item->visibilityClass = (uint8_t)GetVisibilityRatingIndex(margin, experience);
    return 1;
}

int CheckItemVisibleNow(const LocationRecord *site, const DateRecord *date, ObjectRecord *item,
                        VisibilityCriteria *criteria, int needDarkness, const HorizonRow *horizon,
                        const uint8_t *table, int n, const double *sunMoonTimes, double k) {
    const int begun = BeginItemTest(site, date, item, criteria);
    if (begun != 2) return begun;
    const double hour = date->localHours;
    if (!CheckItemVisibleAtTime(site, date, item, criteria, horizon, hour, table, n, k)) {
        SetVisible(item, false);
        return 0;
    }
    // Without a table there is no darkness to hold the item's need against.
    if (needDarkness && table && n > 0 &&
        ComputeRequiredDarkness(item) > GetHourTableDarkness(hour, table, n)) {
        SetVisible(item, false);
        return 0;
    }
    return 1;
}

int CheckItemVisibleTonight(const LocationRecord *site, const DateRecord *date, ObjectRecord *item,
                            VisibilityCriteria *criteria, const HorizonRow *horizon,
                            const uint8_t *table, int n, const double *sunMoonTimes, double k) {
    const int begun = BeginItemTest(site, date, item, criteria);
    if (begun != 2) return begun;
    const double start = (criteria->windowFlags & kWindowStartApplies)
                             ? ExtendHoursPastMidnight(criteria->startHour)
                             : 12.0;
    const double end = (criteria->windowFlags & kWindowEndApplies)
                           ? ExtendHoursPastMidnight(criteria->endHour)
                           : kNightEnd;
    const auto at = [&](double h) {
        return CheckItemVisibleAtTime(site, date, item, criteria, horizon, h - 24.0, table, n, k);
    };
    // 1. At the transit when it falls in the window.
    if (item->transitTime != -1.0f) {
        const double transit = ExtendHoursPastMidnight(item->transitTime);
        if (transit >= start && transit <= end && at(transit)) return 1;
    }
    // 2. Ten-minute steps through the window (two pieces when it wraps over noon).
    // Each piece has at most 24 h / 10 min steps; the count bounds the loop.
    const auto scan = [&](double from, double to, bool inclusive) {
        double step = kStepHours;
        if (to - from < step) step = to - from;
        if (!(step > 0.0)) return inclusive && at(from);
        const int steps = (int)std::floor((to - from) / step + 1e-9);
        for (int i = 0; i <= steps; ++i) {
            const double h = from + i * step;
            if (!inclusive && h >= to) break;
            if (at(h)) return true;
        }
        return false;
    };
    bool visible;
    if (end > start)
        visible = scan(start, end, true);
    else
        visible = scan(12.0, end, true) || scan(start, 36.0, false);
    if (visible) return 1;
    SetVisible(item, false);
    return 0;
}
