// Calendar arithmetic and the first step of completing a date record: the
// civil date and clock time at a site, universal time, Julian date and decimal
// year, with the site's daylight-saving rule. Julian dates after Meeus,
// Astronomical Algorithms (2nd ed.), ch. 7.
#include "astro/datetime.h"

#include <cmath>
#include <cstring>

#include "astro/sidereal.h"

namespace {

const int kDaysInMonthTable[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
// 0.024 s in days: keeps a Julian date that is a whole second from being shown
// one second early through rounding.
const double kJulianDateNudge = 1.0 / 3600000.0;
// First Julian day number of the Gregorian calendar (1582 October 15).
const double kGregorianStartDay = 2299161.0;

int FloorDiv(int a, int b) {
    int q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

bool IsGregorianDate(int month, int day, int year) {
    if (year != 1582) return year > 1582;
    if (month != 10) return month > 10;
    return day >= 15;
}

int DaysInMonthOf(int month, int year) {
    if (month < 1 || month > 12) {
        int m0 = month - 1;
        year += FloorDiv(m0, 12);
        month = m0 - 12 * FloorDiv(m0, 12) + 1;
    }
    if (month == 2 && IsLeapYear(year)) return 29;
    return kDaysInMonthTable[month];
}

// Julian date of a transition of a rule in a given month of the year: the week
// code picks the first, second, third or last such weekday; the hours are local
// standard time (the site passed here keeps no daylight saving).
double TransitionInstant(const LocationRecord *standardSite, int month, int week, int weekday,
                         double hours, int year) {
    DateRecord scratch;
    std::memset(&scratch, 0, sizeof(scratch));
    int day;
    if (week <= 2) {
        SetDateRecord(&scratch, standardSite, month, 1, year, 0.0, kLocalTime);
        int w = WeekdayOfJulianDate(scratch.julianDate);
        int offset = weekday - w;
        if (offset < 0) offset += 7;
        day = offset + 1 + 7 * week;
    } else {
        int n = DaysInMonthOf(month, year);
        SetDateRecord(&scratch, standardSite, month, n, year, 0.0, kLocalTime);
        int w = WeekdayOfJulianDate(scratch.julianDate);
        int offset = weekday - w;
        if (offset > 0) offset -= 7;
        day = n + offset;
    }
    SetDateRecord(&scratch, standardSite, month, day, year, hours, kLocalTime);
    return scratch.julianDate;
}

}  // namespace

double JulianDateFromCalendar(int month, int day, int year, double hours) {
    int m = month;
    int y = year;
    if (m == 1 || m == 2) {
        y -= 1;
        m += 12;
    }
    int b = 0;
    if (IsGregorianDate(month, day, year)) {
        int a = y / 100;  // truncating; y >= 1582 here
        b = 2 - a + FloorDiv(a, 4);
    }
    // In doubles, so that no year or day a caller passes can overflow an int.
    return std::floor(365.25 * (static_cast<double>(y) + 4716.0)) +
           std::floor(30.6001 * (static_cast<double>(m) + 1.0)) + static_cast<double>(day) + b -
           1525.0 + hours / 24.0 + 0.5;
}

int IsLeapYear(int year) {
    if (year < 1582) return year % 4 == 0 ? 1 : 0;
    if (year == 1582) return 0;
    return (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 1 : 0;
}

int DayOfYear(int month, int day, int year) {
    int k = IsLeapYear(year) ? 1 : 2;
    return 275 * month / 9 - k * ((month + 9) / 12) + day - 30;
}

int DaysInMonth(const DateRecord *record) {
    if (!record) return 0;
    return DaysInMonthOf(record->month, record->year);
}

double DaysInYear(int year) {
    return JulianDateFromCalendar(1, 1, year + 1, 0.0) - JulianDateFromCalendar(1, 1, year, 0.0);
}

double DecimalYearFromDate(int month, int day, int year, double hours) {
    // Days since January 1 counted on the Julian day scale, so that the ten days
    // dropped in October 1582 do not make the fraction pass 1. Both Julian dates
    // end in .5, so their difference is exact.
    double days = JulianDateFromCalendar(month, day, year, 0.0) -
                  JulianDateFromCalendar(1, 1, year, 0.0);
    double f = (days + hours / 24.0) / DaysInYear(year);
    return year + f;
}

double JulianDateFromDecimalYear(double decimalYear) {
    if (!std::isfinite(decimalYear)) return decimalYear;
    double a = std::floor(decimalYear);
    int year = static_cast<int>(a);
    return JulianDateFromCalendar(1, 1, year, 0.0) + DaysInYear(year) * (decimalYear - a);
}

double JulianDateFromCenturies(double centuries) { return 2451545.0 + 36525.0 * centuries; }

double CenturiesFromJulianDate(double julianDate) { return (julianDate - 2451545.0) / 36525.0; }

double CenturiesFromDecimalYear(double decimalYear) {
    return CenturiesFromJulianDate(JulianDateFromDecimalYear(decimalYear));
}

int WeekdayOfJulianDate(double julianDate) {
    if (!std::isfinite(julianDate)) return 0;
    double r = std::fmod(std::floor(julianDate) + 2.0, 7.0);
    if (r < 0.0) r += 7.0;
    return static_cast<int>(r);
}

int SetDateRecord(DateRecord *record, const LocationRecord *site, int month, int day, int year,
                  double hours, int kind) {
    if (!record) return 0;
    record->month = static_cast<int16_t>(month);
    record->day = static_cast<int16_t>(day);
    record->year = static_cast<int16_t>(year);
    if (kind == kLocalTime) {
        record->localHours = hours;
        if (site)
            record->universalHours =
                hours - (GetDaylightSavingOffset(site, record, kLocalTime) + site->timeZone);
        else
            record->universalHours = hours;
    } else {
        record->universalHours = hours;
        if (site)
            record->localHours = GetDaylightSavingOffset(site, record, kind) + site->timeZone + hours;
        else
            record->localHours = hours;
    }
    record->julianDate = JulianDateFromCalendar(month, day, year, record->universalHours);
    record->decimalYear = DecimalYearFromDate(month, day, year, record->universalHours);
    return 1;
}

void SetDateRecordFromJulianDate(const LocationRecord *site, DateRecord *record) {
    if (!record) return;
    const double jd = record->julianDate;
    // Beyond this the year no longer fits any calendar the suite shows.
    if (!(std::fabs(jd) < 1.0e8)) return;

    double shift = 0.0;
    // At most two passes: the second derives the date again from the local time
    // shifted by a daylight saving that the rule puts in effect.
    for (int pass = 0; pass < 2; ++pass) {
        double x = jd + 0.5 + kJulianDateNudge;
        if (site) {
            if (site->dstMode == 1) shift = site->dst.shift;
            x += (site->timeZone + shift) / 24.0;
        }
        // A site read from a damaged file may carry a zone or shift that is
        // no number; no calendar date follows from it.
        if (!(std::fabs(x) < 1.0e8)) return;
        double z = std::floor(x);
        double a = z;
        if (z >= kGregorianStartDay) {
            double alpha = std::floor((z - 1867216.25) / 36524.25);
            a = z + 1.0 + alpha - std::floor(alpha / 4.0);
        }
        double b = a + 1524.0;
        double g = std::floor((b - 122.1) / 365.25);
        double d = std::floor(365.25 * g);
        double e = std::floor((b - d) / 30.6001);
        int day = static_cast<int>(b - d - std::floor(30.6001 * e));
        int month = static_cast<int>(e < 13.5 ? e - 1.0 : e - 13.0);
        int year = static_cast<int>(month > 2 ? g - 4716.0 : g - 4715.0);
        record->day = static_cast<int16_t>(day);
        record->month = static_cast<int16_t>(month);
        record->year = static_cast<int16_t>(year);
        record->localHours = (x - z) * 24.0;

        if (!site) {
            record->universalHours = record->localHours;
            break;
        }
        record->universalHours = record->localHours - (site->timeZone + shift);
        if (shift == 0.0 && site->dstMode == 2) {
            shift = GetDaylightSavingOffset(site, record, kUniversalTime);
            record->localHours += shift;
            if (shift != 0.0) continue;
        }
        break;
    }
    record->decimalYear =
        DecimalYearFromDate(record->month, record->day, record->year, record->universalHours);
}

double GetDaylightSavingOffset(const LocationRecord *site, const DateRecord *record, int kind) {
    if (!site || !record) return 0.0;
    const double shift = site->dst.shift;
    if (site->dstMode == 0 || shift == 0.0) return 0.0;
    if (site->dstMode == 1) return shift;
    if (site->dstMode != 2) return 0.0;
    // A damaged or unchecked rule (weeks above 3, months 0 or 13, ...) keeps no
    // saving rather than reading outside the calendar tables.
    if (!IsDaylightSavingRuleValid(&site->dst)) return 0.0;

    // The transition dates are computed in local standard time: a copy of the
    // site without daylight saving, so the caller's site is never written.
    LocationRecord standard = *site;
    standard.dstMode = 0;

    DaylightSavingRule rule = site->dst;
    const bool southern = rule.startMonth > rule.endMonth;
    if (southern) {
        // The interval between the two transitions is then the standard-time part.
        DaylightSavingRule swapped = rule;
        swapped.startHour = rule.endHour;
        swapped.endHour = rule.startHour;
        swapped.startWeekday = rule.endWeekday;
        swapped.endWeekday = rule.startWeekday;
        swapped.startWeek = rule.endWeek;
        swapped.endWeek = rule.startWeek;
        swapped.startMonth = rule.endMonth;
        swapped.endMonth = rule.startMonth;
        rule = swapped;
    }

    double hours = kind == kLocalTime ? record->localHours - site->timeZone : record->universalHours;
    double j = JulianDateFromCalendar(record->month, record->day, record->year, hours);
    int year = record->year;

    bool inside = false;
    double s = TransitionInstant(&standard, rule.startMonth, rule.startWeek, rule.startWeekday,
                                 rule.startHour, year);
    if (j >= s) {
        double e = TransitionInstant(&standard, rule.endMonth, rule.endWeek, rule.endWeekday,
                                     rule.endHour, year);
        inside = j <= e;
    }
    if (southern) return inside ? 0.0 : shift;
    return inside ? shift : 0.0;
}

void SetDateRecordToLocalMidnight(const LocationRecord *site, const DateRecord *source,
                                  DateRecord *target) {
    if (!site || !source || !target) return;
    int day = source->day + (source->localHours >= 12.0 ? 1 : 0);
    SetDateRecord(target, site, source->month, day, source->year, 0.0, kLocalTime);
    // Carries a day past the month's end into the next month.
    SetDateRecordFromJulianDate(site, target);
    ComputeDeltaTAndNutation(target, 0.0);
    ComputeSiderealTimes(site, target);
}
