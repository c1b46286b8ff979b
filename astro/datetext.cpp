// Weekday and month names and the date texts of a Julian date at a site.
#include "astro/datetext.h"

#include <cstdio>
#include <cstring>

#include "astro/angletext.h"
#include "astro/datetime.h"

namespace {

const char *const kWeekdayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};
const char *const kMonthNames[13] = {nullptr,  "January",   "February", "March",    "April",
                                     "May",    "June",      "July",     "August",   "September",
                                     "October", "November", "December"};
const char *const kMonthAbbreviations[13] = {nullptr, "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul",   "Aug", "Sep", "Oct", "Nov", "Dec"};

// The local date of J at the site, moved to the evening before when asked and
// the local time is before noon; localHours gets the hours of J itself.
DateRecord LocalDateOf(const LocationRecord *site, double julianDate, int eveningFlag,
                       double *localHours) {
    DateRecord scratch;
    std::memset(&scratch, 0, sizeof(scratch));
    scratch.julianDate = julianDate;
    SetDateRecordFromJulianDate(site, &scratch);
    *localHours = scratch.localHours;
    if (eveningFlag && scratch.localHours < 12.0) {
        scratch.julianDate = julianDate - 0.5;
        SetDateRecordFromJulianDate(site, &scratch);
    }
    return scratch;
}

const char *AbbreviationOrBlank(int month) {
    const char *text = GetMonthAbbreviation(month);
    return text ? text : "???";
}

}  // namespace

const char *GetWeekdayName(int weekday) {
    if (weekday < 0 || weekday > 6) return nullptr;
    return kWeekdayNames[weekday];
}

const char *GetMonthName(int month) {
    if (month < 1 || month > 12) return nullptr;
    return kMonthNames[month];
}

const char *GetMonthAbbreviation(int month) {
    if (month < 1 || month > 12) return nullptr;
    return kMonthAbbreviations[month];
}

const char *GetWeekdayNameOfJulianDate(double julianDate) {
    return GetWeekdayName(WeekdayOfJulianDate(julianDate));
}

char *FormatJulianDateAsDate(char *buffer, const LocationRecord *site, double julianDate,
                             int eveningFlag) {
    if (!buffer) return buffer;
    double hours = 0.0;
    DateRecord date = LocalDateOf(site, julianDate, eveningFlag, &hours);
    std::snprintf(buffer, kDateTextSize, "%4d %s %2d", date.year, AbbreviationOrBlank(date.month),
                  date.day);
    return buffer;
}

char *FormatJulianDateAsDateTime(char *buffer, const LocationRecord *site, double julianDate,
                                 int eveningFlag) {
    if (!buffer) return buffer;
    double hours = 0.0;
    DateRecord date = LocalDateOf(site, julianDate, eveningFlag, &hours);
    char clock[kAngleTextSize];
    FormatClockTime(clock, hours);
    std::snprintf(buffer, kDateTextSize, "%4d %s %2d %s", date.year,
                  AbbreviationOrBlank(date.month), date.day, clock);
    return buffer;
}
