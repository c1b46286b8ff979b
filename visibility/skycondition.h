// The sky condition of a target at a place and time: below the horizon, in
// daylight, in one of three grades of twilight or of moonlight, or fully dark,
// from the Sun's and the Moon's share of the model sky brightness.
#pragma once

struct DateRecord;
struct LocationRecord;

enum SkyCondition {
    kSkyBelowHorizon = 0,
    kSkyDaylight = 1,
    kSkyBrightTwilight = 2,
    kSkyTwilight = 3,
    kSkySomeTwilight = 4,
    kSkyBrightMoonlight = 5,
    kSkyMoonlight = 6,
    kSkySomeMoonlight = 7,
    kSkyFullyDark = 8,
};

// Condition 0..8 of the target (right ascension and declination of date) for
// the site and the completed date record. A target at or below the site's
// horizon dip is 0 without any Sun or Moon computation.
int ClassifySkyCondition(const LocationRecord *site, const DateRecord *date, double rightAscension,
                         double declination);
// Copies the condition's name (buffer of at least 16 bytes) or phrase (at
// least 21 bytes); a condition outside 0..8 counts as 0. Return the buffer.
char *GetSkyConditionName(char *buffer, int condition);
char *GetSkyConditionPhrase(char *buffer, int condition);
