// Building the observing-site record: stored raw values, derived latitude
// terms, horizon dip, geocentric parallax terms (Meeus, Astronomical
// Algorithms, ch. 11), sky brightness and seeing, and the daylight-saving rule.
#include "astro/location.h"

#include <cmath>
#include <cstring>

#include "photometry/seeing.h"
#include "photometry/skybright.h"

namespace {

// Dip of the sea horizon in radians per square root of a metre of height.
const double kDipPerRootMetre = -0.00061668;
// A naked-eye limit at or above this value means "no limit given".
const double kNoLimit = 90.0;

void SetRuleBlock(DaylightSavingRule *rule, int startWeek, int startWeekday, int startMonth,
                  double startHour, int endWeek, int endWeekday, int endMonth, double endHour,
                  double shift) {
    rule->startHour = static_cast<float>(startHour);
    rule->endHour = static_cast<float>(endHour);
    rule->shift = static_cast<float>(shift);
    rule->startWeekday = static_cast<uint8_t>(startWeekday);
    rule->endWeekday = static_cast<uint8_t>(endWeekday);
    rule->startWeek = static_cast<uint8_t>(startWeek);
    rule->endWeek = static_cast<uint8_t>(endWeek);
    rule->startMonth = static_cast<uint8_t>(startMonth);
    rule->endMonth = static_cast<uint8_t>(endMonth);
}

bool RuleValuesValid(int startWeek, int startWeekday, int startMonth, int endWeek, int endWeekday,
                     int endMonth) {
    return startWeek >= 0 && startWeek <= 3 && endWeek >= 0 && endWeek <= 3 && startWeekday >= 0 &&
           startWeekday <= 6 && endWeekday >= 0 && endWeekday <= 6 && startMonth >= 1 &&
           startMonth <= 12 && endMonth >= 1 && endMonth <= 12;
}

}  // namespace

DaylightSavingRule *SetNorthernDaylightSavingPreset(DaylightSavingRule *rule) {
    if (rule) SetRuleBlock(rule, 1, 0, 3, 2.0, 0, 0, 11, 2.0, 1.0);
    return rule;
}

DaylightSavingRule *SetSouthernDaylightSavingPreset(DaylightSavingRule *rule) {
    if (rule) SetRuleBlock(rule, 0, 0, 10, 2.0, 0, 0, 4, 2.0, 1.0);
    return rule;
}

int IsDaylightSavingRuleValid(const DaylightSavingRule *rule) {
    if (!rule) return 0;
    return RuleValuesValid(rule->startWeek, rule->startWeekday, rule->startMonth, rule->endWeek,
                           rule->endWeekday, rule->endMonth)
               ? 1
               : 0;
}

int InitLocationRecord(LocationRecord *record, double longitude, double latitude, double elevation,
                       double nakedEyeLimit, double skyBrightness, double temperature,
                       double humidity, int seeingRating, double seeing, double timeZone,
                       const char *name) {
    if (!record) return 0;
    std::memset(record, 0, sizeof(*record));

    record->longitude = longitude;
    record->latitude = latitude;
    record->elevation = elevation;
    record->nakedEyeLimit = nakedEyeLimit;
    record->skyBrightness = skyBrightness;
    record->temperature = temperature;
    record->humidity = humidity;
    record->displayFlags = 0;

    if (seeing != 0.0) {
        record->seeing = seeing;
        record->seeingRating = 255;
    } else {
        // The rating byte holds 0..4; a rating from elsewhere is kept inside it.
        int rating = seeingRating < 0 ? 0 : (seeingRating > 4 ? 4 : seeingRating);
        record->seeingRating = static_cast<uint8_t>(rating);
        record->seeing = GetSeeingForRating(rating);
    }

    record->timeZone = timeZone;
    record->dstMode = 0;
    if (latitude >= 0.0)
        SetNorthernDaylightSavingPreset(&record->dst);
    else
        SetSouthernDaylightSavingPreset(&record->dst);

    record->sinLatitude = std::sin(latitude);
    record->cosLatitude = std::cos(latitude);
    // Geocentric parallax terms rho sin phi', rho cos phi' (Meeus ch. 11) with
    // the reduced latitude u of the spheroid.
    double u = record->cosLatitude == 0.0 ? 0.0 : std::atan(kEarthAxisRatio * std::tan(latitude));
    double h = elevation / kEarthEquatorialRadiusMetres;
    record->rhoSinPhi = kEarthAxisRatio * std::sin(u) + h * record->sinLatitude;
    record->rhoCosPhi = std::cos(u) + h * record->cosLatitude;

    record->horizonDip = elevation < 0.0 ? 0.0 : kDipPerRootMetre * std::sqrt(elevation);

    // The name field was zeroed above, so the bytes behind the text stay 0.
    if (name) {
        size_t n = std::strlen(name);
        if (n > sizeof(record->name) - 1) n = sizeof(record->name) - 1;
        std::memcpy(record->name, name, n);
    }

    // Limit and sky brightness are two views of one quantity. When both are
    // given the limit wins, so a stored site re-initialised from its own fields
    // keeps its sky.
    bool limitGiven = nakedEyeLimit < kNoLimit;
    bool brightnessGiven = skyBrightness != 0.0;
    if (limitGiven) {
        record->skyBrightness = ComputeSkyBrightnessFromLimit(nakedEyeLimit);
    } else if (brightnessGiven) {
        record->nakedEyeLimit = ComputeNakedEyeLimit(skyBrightness);
    } else {
        record->nakedEyeLimit = kDefaultNakedEyeLimit;
        record->skyBrightness = ComputeSkyBrightnessFromLimit(kDefaultNakedEyeLimit);
    }
    return 1;
}

int SetDaylightSavingRule(LocationRecord *record, int startWeek, int startWeekday, int startMonth,
                          double startHour, int endWeek, int endWeekday, int endMonth,
                          double endHour, double shift, int mode) {
    if (!record || mode < 0 || mode > 2) return 0;
    if (mode == 2 &&
        !RuleValuesValid(startWeek, startWeekday, startMonth, endWeek, endWeekday, endMonth))
        return 0;
    SetRuleBlock(&record->dst, startWeek, startWeekday, startMonth, startHour, endWeek, endWeekday,
                 endMonth, endHour, shift);
    record->dstMode = static_cast<uint8_t>(mode);
    return 1;
}

void TerminateLocationName(LocationRecord *record) {
    if (record) record->name[sizeof(record->name) - 1] = '\0';
}
