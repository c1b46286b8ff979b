// The observing-site record: where a site is, its sky and weather, the civil
// time it keeps (zone and daylight-saving rule) and its name. The byte layout is
// stored (site store, log entries), so the record is packed and fixed-width.
#pragma once
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

// Daylight-saving rule block, bytes 114..131 of the site record. Hours are
// local standard time; weeks are 0 first, 1 second, 2 third, 3 last such
// weekday of the month; weekdays 0 Sunday..6 Saturday; months 1..12. An end
// month before the start month marks a southern-hemisphere rule.
struct DaylightSavingRule {
    float startHour;      // 0
    float endHour;        // 4
    float shift;          // 8  hours added to standard time while in effect
    uint8_t startWeekday; // 12
    uint8_t endWeekday;   // 13
    uint8_t startWeek;    // 14
    uint8_t endWeek;      // 15
    uint8_t startMonth;   // 16
    uint8_t endMonth;     // 17
};

struct LocationRecord {
    double longitude;      // 0   radians, positive west of Greenwich
    double latitude;       // 8   radians, positive north
    double elevation;      // 16  metres above sea level
    double sinLatitude;    // 24
    double cosLatitude;    // 32
    double horizonDip;     // 40  radians, 0 or negative
    double nakedEyeLimit;  // 48  magnitudes
    double skyBrightness;  // 56  mag/arcsec^2
    double temperature;    // 64  degrees Celsius
    uint8_t displayFlags;  // 72  bit 0: temperature shown in Fahrenheit
    double humidity;       // 73  percent
    uint8_t seeingRating;  // 81  0..4, or 255 when the seeing was given directly
    double seeing;         // 82  arcseconds
    double rhoSinPhi;      // 90  Earth radii (geocentric parallax terms)
    double rhoCosPhi;      // 98  Earth radii
    double timeZone;       // 106 hours, positive east (standard time = UT + zone)
    DaylightSavingRule dst;  // 114
    uint8_t dstMode;       // 132 0 none, 1 shift always in effect, 2 by the rule
    char name[33];         // 133 NUL-terminated, at most 32 characters
};

#pragma pack(pop)

static_assert(sizeof(DaylightSavingRule) == 18, "daylight-saving rule block is 18 bytes");
static_assert(sizeof(LocationRecord) == 166, "LocationRecord is 166 bytes");
static_assert(offsetof(LocationRecord, longitude) == 0, "layout");
static_assert(offsetof(LocationRecord, latitude) == 8, "layout");
static_assert(offsetof(LocationRecord, elevation) == 16, "layout");
static_assert(offsetof(LocationRecord, sinLatitude) == 24, "layout");
static_assert(offsetof(LocationRecord, cosLatitude) == 32, "layout");
static_assert(offsetof(LocationRecord, horizonDip) == 40, "layout");
static_assert(offsetof(LocationRecord, nakedEyeLimit) == 48, "layout");
static_assert(offsetof(LocationRecord, skyBrightness) == 56, "layout");
static_assert(offsetof(LocationRecord, temperature) == 64, "layout");
static_assert(offsetof(LocationRecord, displayFlags) == 72, "layout");
static_assert(offsetof(LocationRecord, humidity) == 73, "layout");
static_assert(offsetof(LocationRecord, seeingRating) == 81, "layout");
static_assert(offsetof(LocationRecord, seeing) == 82, "layout");
static_assert(offsetof(LocationRecord, rhoSinPhi) == 90, "layout");
static_assert(offsetof(LocationRecord, rhoCosPhi) == 98, "layout");
static_assert(offsetof(LocationRecord, timeZone) == 106, "layout");
static_assert(offsetof(LocationRecord, dst) == 114, "layout");
static_assert(offsetof(LocationRecord, dst) + offsetof(DaylightSavingRule, startWeekday) == 126,
              "layout");
static_assert(offsetof(LocationRecord, dst) + offsetof(DaylightSavingRule, endMonth) == 131,
              "layout");
static_assert(offsetof(LocationRecord, dstMode) == 132, "layout");
static_assert(offsetof(LocationRecord, name) == 133, "layout");

// Default naked-eye limiting magnitude of a site.
const double kDefaultNakedEyeLimit = 6.5;
// Earth figure of the parallax terms: equatorial radius (m) and b/a.
const double kEarthEquatorialRadiusMetres = 6378140.0;
const double kEarthAxisRatio = 0.9966471868221031;

// Fills every field of a site from its raw values and derives the rest.
// Angles in radians, elevation in metres, zone in hours east. A limit of 90 or
// more means none given, a sky brightness of 0 none given, a seeing of 0 "take
// it from the rating". When both limit and brightness are given the limit is
// kept and the brightness derived from it. Only the first 32 characters of the
// name are stored; the caller's text is not changed. Returns 1, 0 for no record.
int InitLocationRecord(LocationRecord *record, double longitude, double latitude, double elevation,
                       double nakedEyeLimit, double skyBrightness, double temperature,
                       double humidity, int seeingRating, double seeing, double timeZone,
                       const char *name);

// Daylight-saving presets (the mode byte is not touched): northern = second
// Sunday of March to first Sunday of November, southern = first Sunday of
// October to first Sunday of April; both at 2 h with a shift of 1 h.
DaylightSavingRule *SetNorthernDaylightSavingPreset(DaylightSavingRule *rule);
DaylightSavingRule *SetSouthernDaylightSavingPreset(DaylightSavingRule *rule);

// 1 when the block holds a usable rule: weeks 0..3, weekdays 0..6, months 1..12.
int IsDaylightSavingRuleValid(const DaylightSavingRule *rule);

// Stores a daylight-saving rule and mode; hours and shift are kept as 32-bit
// reals. Returns 0 (record unchanged) for no record, a mode outside 0..2, or in
// mode 2 a week outside 0..3, a weekday outside 0..6 or a month outside 1..12;
// 1 when stored. Modes 0 and 1 store the rule values as given (the rule is not
// in use then); GetDaylightSavingOffset treats an invalid rule as no saving.
int SetDaylightSavingRule(LocationRecord *record, int startWeek, int startWeekday, int startMonth,
                          double startHour, int endWeek, int endWeekday, int endMonth,
                          double endHour, double shift, int mode);

// Forces the name's terminator; for records read from a file.
void TerminateLocationName(LocationRecord *record);
