// Grid geometry and date changes of the CalDate control (see caldaterules.h).
#include "astroui/caldaterules.h"

#include <cmath>
#include <cstring>

#include "astro/angleparse.h"
#include "core/textutil.h"

namespace {

int SetDay(DateRecord *shown, int month, int day, int year, double hours) {
    return SetDateRecord(shown, nullptr, month, day, year, hours, kUniversalTime);
}

int DaysIn(int month, int year) {
    DateRecord probe;
    std::memset(&probe, 0, sizeof probe);
    probe.month = static_cast<int16_t>(month);
    probe.year = static_cast<int16_t>(year);
    return DaysInMonth(&probe);
}

}  // namespace

int CalDateFirstWeekday(const DateRecord *shown) {
    return WeekdayOfJulianDate(JulianDateFromCalendar(shown->month, 1, shown->year, 0.0));
}

void CalDateCellOfDay(int day, int firstWeekday, int *column, int *row) {
    const int index = firstWeekday + day - 1;
    *column = index % kCalDateColumns;
    *row = kCalDateFirstWeekRow + index / kCalDateColumns;
}

int CalDateDayAtPoint(int x, int y, int clientWidth, int clientHeight, const DateRecord *shown) {
    const int w = clientWidth / kCalDateColumns;
    const int h = clientHeight / kCalDateRows;
    if (w <= 0 || h <= 0 || x < 0 || y < 0 || x >= clientWidth || y >= clientHeight) return 0;
    if (y < h) return 0;  // title row
    int row = (y - 2 * h) / h;   // truncates towards zero: the initials row counts as week 0
    if (row > kCalDateRows - 1 - kCalDateFirstWeekRow) row = kCalDateRows - 1 - kCalDateFirstWeekRow;
    int column = x / w;
    if (column > kCalDateColumns - 1) column = kCalDateColumns - 1;
    const int day = row * kCalDateColumns + column - CalDateFirstWeekday(shown) + 1;
    if (day < 1 || day > DaysInMonth(shown)) return 0;
    return day;
}

int CalDateSelectDay(DateRecord *shown, int day) {
    if (day < 1 || day > DaysInMonth(shown)) return 0;
    return SetDay(shown, shown->month, day, shown->year, 0.0);
}

int CalDateStepMonth(DateRecord *shown, int direction) {
    int month = shown->month + (direction < 0 ? -1 : 1);
    int year = shown->year;
    if (month < 1) {
        month = 12;
        --year;
    } else if (month > 12) {
        month = 1;
        ++year;
    }
    if (year < kCalDateMinYear || year > kCalDateMaxYear) return 0;
    // Day 1 of the shown month, then one day back (or its last day, then one
    // day on), completed from the Julian date: the calendar's own carry.
    if (direction < 0) {
        SetDay(shown, shown->month, 1, shown->year, 0.0);
        shown->julianDate -= 1.0;
        SetDateRecordFromJulianDate(nullptr, shown);
        return SetDay(shown, shown->month, 1, shown->year, 0.0);
    }
    SetDay(shown, shown->month, DaysInMonth(shown) + 1, shown->year, 0.0);
    SetDateRecordFromJulianDate(nullptr, shown);
    return SetDay(shown, shown->month, shown->day, shown->year, 0.0);
}

int CalDateChooseMonth(DateRecord *shown, int month) {
    if (month < 1 || month > 12) return 0;
    int day = shown->day;
    if (day < 1 || day > DaysIn(month, shown->year)) day = 1;
    return SetDay(shown, month, day, shown->year, 0.0);
}

int CalDateApplyYearText(DateRecord *shown, const char *text) {
    if (!text) return 0;
    const char *p = text;
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') ++p;
    if (!*p) return 0;
    const double value = ParseSexagesimal(text);
    if (value == kNoRealValue || !std::isfinite(value)) return 0;
    const double whole = std::trunc(value);
    if (whole < kCalDateMinYear || whole > kCalDateMaxYear) return 0;
    const int year = static_cast<int>(whole);
    int day = shown->day;
    if (day < 1 || day > DaysIn(shown->month, year)) day = 1;
    return SetDay(shown, shown->month, day, year, shown->universalHours);
}

int CalDateShowDate(DateRecord *shown, const DateRecord *given) {
    if (!given) return 0;
    if (given->month < 1 || given->month > 12 || given->year < kCalDateMinYear ||
        given->year > kCalDateMaxYear || given->day < 1 || given->day > DaysInMonth(given))
        return 0;
    std::memmove(shown, given, sizeof *shown);
    return SetDay(shown, given->month, given->day, given->year, 0.0);
}
