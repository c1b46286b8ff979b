// The date-time record that every time-dependent computation takes, the
// calendar arithmetic behind it (Julian dates, leap years, day of year,
// decimal years, weekdays) and the daylight-saving rule of a site. A record
// is completed in three steps: SetDateRecord or SetDateRecordFromJulianDate
// here, then ComputeDeltaTAndNutation and ComputeSiderealTimes (astro/sidereal.h).
#pragma once
#include <cstddef>
#include <cstdint>

#include "astro/location.h"

#pragma pack(push, 1)
// Stored byte for byte inside other records (log summaries): the layout is a
// file format. Angles in radians.
struct DateRecord {
    int16_t month;                 // 0   1..12 (local date when a site was given)
    int16_t day;                   // 2
    int16_t year;                  // 4   astronomical numbering (0 = 1 BC)
    double localHours;             // 6   clock hours at the site from 0 h of the date
    double universalHours;         // 14  UT hours from 0 h of the same date (may be <0 or >24)
    double decimalYear;            // 22
    double julianDate;             // 30  of the instant, UT
    double greenwichMeanSidereal;  // 38  0..2 pi
    uint8_t reserved[8];           // 46  written by no step here; copied with the record
    double localMeanSidereal;      // 54
    double localApparentSidereal;  // 62
    double centuries;              // 70  T: Julian centuries of UT from J2000.0
    double deltaT;                 // 78  TT - UT in days
    double centuriesTT;            // 86  T(TT): the time argument of the ephemerides
    double meanObliquity;          // 94
    double nutationLongitude;      // 102
    double nutationObliquity;      // 110
};
#pragma pack(pop)

static_assert(sizeof(DateRecord) == 118, "DateRecord is 118 bytes");
static_assert(offsetof(DateRecord, month) == 0, "layout");
static_assert(offsetof(DateRecord, day) == 2, "layout");
static_assert(offsetof(DateRecord, year) == 4, "layout");
static_assert(offsetof(DateRecord, localHours) == 6, "layout");
static_assert(offsetof(DateRecord, universalHours) == 14, "layout");
static_assert(offsetof(DateRecord, decimalYear) == 22, "layout");
static_assert(offsetof(DateRecord, julianDate) == 30, "layout");
static_assert(offsetof(DateRecord, greenwichMeanSidereal) == 38, "layout");
static_assert(offsetof(DateRecord, reserved) == 46, "layout");
static_assert(offsetof(DateRecord, localMeanSidereal) == 54, "layout");
static_assert(offsetof(DateRecord, localApparentSidereal) == 62, "layout");
static_assert(offsetof(DateRecord, centuries) == 70, "layout");
static_assert(offsetof(DateRecord, deltaT) == 78, "layout");
static_assert(offsetof(DateRecord, centuriesTT) == 86, "layout");
static_assert(offsetof(DateRecord, meanObliquity) == 94, "layout");
static_assert(offsetof(DateRecord, nutationLongitude) == 102, "layout");
static_assert(offsetof(DateRecord, nutationObliquity) == 110, "layout");

// Kinds of hours given to SetDateRecord and GetDaylightSavingOffset.
const int kUniversalTime = 1;
const int kLocalTime = 2;

// ---- calendar arithmetic --------------------------------------------------

// Julian date of a calendar date and hours (Meeus, Astronomical Algorithms,
// ch. 7): Julian calendar before 1582 October 15, Gregorian from then. Days and
// hours outside their ranges count on from the month's start.
double JulianDateFromCalendar(int month, int day, int year, double hours);
int IsLeapYear(int year);
// 1 for January 1 (Meeus ch. 7).
int DayOfYear(int month, int day, int year);
// Days in the record's month; a month outside 1..12 is first carried into the
// neighbouring years (13 is January of the next year).
int DaysInMonth(const DateRecord *record);
// 365 or 366; 355 for 1582.
double DaysInYear(int year);
// year + (days since January 1, 0 h) / DaysInYear(year), for every year.
double DecimalYearFromDate(int month, int day, int year, double hours);
// Inverse of DecimalYearFromDate.
double JulianDateFromDecimalYear(double decimalYear);
double JulianDateFromCenturies(double centuries);
double CenturiesFromJulianDate(double julianDate);
double CenturiesFromDecimalYear(double decimalYear);
// 0 Sunday .. 6 Saturday of floor(J); pass the Julian date of a local midnight.
int WeekdayOfJulianDate(double julianDate);

// ---- filling a record -----------------------------------------------------

// Fills month, day, year, local and universal hours, decimal year and Julian
// date; kind 2 (kLocalTime): hours are clock hours at the site, other kinds:
// universal time. Without a site both hours are the hours given. Returns 1, 0
// for no record.
int SetDateRecord(DateRecord *record, const LocationRecord *site, int month, int day, int year,
                  double hours, int kind);
// Fills the calendar date, both hours and the decimal year from the record's
// Julian date, in the site's civil time (zone and daylight saving) when a site
// is given, in UT otherwise.
void SetDateRecordFromJulianDate(const LocationRecord *site, DateRecord *record);
// Hours of daylight-saving shift in effect at the record's time (kind 1: at its
// universal hours, kind 2: at its local hours). Mode 0 or shift 0: 0; mode 1:
// the shift; mode 2: by the rule, both transition instants included. A rule
// with out-of-range weeks, weekdays or months counts as no saving. The site is
// not changed.
double GetDaylightSavingOffset(const LocationRecord *site, const DateRecord *record, int kind);
// Fills and completes the target for local 0 h of the night (noon to noon) to
// which the source's local time belongs.
void SetDateRecordToLocalMidnight(const LocationRecord *site, const DateRecord *source,
                                  DateRecord *target);
