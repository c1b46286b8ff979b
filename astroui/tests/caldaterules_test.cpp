// The calendar control's grid and date changes: every month from -4712 to
// 9999 against the reference table of tools/gen_calendar_reference.py
// (Python's calendar from 1583, the Julian calendar before the change), the
// click mapping, and the month and year changes at their edges.
#include "astroui/caldaterules.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "testutil/testutil.h"

namespace {

DateRecord Date(int month, int day, int year) {
    DateRecord r;
    std::memset(&r, 0, sizeof r);
    SetDateRecord(&r, nullptr, month, day, year, 0.0, kUniversalTime);
    return r;
}

void ExpectDate(const DateRecord &r, int month, int day, int year, const char *what) {
    EXPECT_EQ(r.month, month) << what;
    EXPECT_EQ(r.day, day) << what;
    EXPECT_EQ(r.year, year) << what;
    // The Julian date is that of the calendar date shown.
    // Packed fields are copied before the checks bind references to them.
    const double jd = r.julianDate, hours = r.universalHours;
    EXPECT_DOUBLE_EQ(jd, JulianDateFromCalendar(month, day, year, hours)) << what;
}

// Every month of the reference table: the first weekday, the number of days,
// and a click in the middle of each day's cell of a 7 x 8-cell control
// selects that day; the cells before day 1 and after the last day select nothing.
TEST(CalDateRules, EveryMonthAgainstReferenceTable) {
    const std::string path = testutil::BuildDir() + "/calendar_reference.txt";
    FILE *f = std::fopen(path.c_str(), "r");
    ASSERT_NE(f, nullptr) << "reference table missing: " << path;
    const int cw = 24, ch = 16, W = cw * 7, H = ch * 8;
    int months = 0, faults = 0, julian = 0, gregorian = 0;
    int year, month, weekday, days;
    while (std::fscanf(f, "%d %d %d %d", &year, &month, &weekday, &days) == 4) {
        ++months;
        (year < 1583 ? julian : gregorian) += 1;
        DateRecord shown = Date(month, 1, year);
        const int w = CalDateFirstWeekday(&shown);
        const int n = DaysInMonth(&shown);
        if (w != weekday || n != days) {
            if (++faults < 10)
                ADD_FAILURE() << year << "-" << month << ": weekday " << w << " days " << n
                              << ", reference " << weekday << " " << days;
            continue;
        }
        for (int cell = 0; cell < 42; ++cell) {
            const int x = (cell % 7) * cw + cw / 2, y = (2 + cell / 7) * ch + ch / 2;
            const int expected = (cell >= w && cell - w < n) ? cell - w + 1 : 0;
            const int got = CalDateDayAtPoint(x, y, W, H, &shown);
            if (got != expected && ++faults < 10)
                ADD_FAILURE() << year << "-" << month << " cell " << cell << ": " << got;
        }
    }
    std::fclose(f);
    EXPECT_EQ(faults, 0);
    EXPECT_EQ(gregorian, (9999 - 1583 + 1) * 12);
    EXPECT_EQ(julian, (1582 + 4712) * 12 + 9);
    EXPECT_EQ(months, julian + gregorian);
}

TEST(CalDateRules, CellsAndClicks) {
    // January 2000 starts on a Saturday.
    DateRecord jan = Date(1, 1, 2000);
    EXPECT_EQ(CalDateFirstWeekday(&jan), 6);
    int col = -1, row = -1;
    CalDateCellOfDay(1, 6, &col, &row);
    EXPECT_EQ(col, 6);
    EXPECT_EQ(row, 2);
    CalDateCellOfDay(31, 6, &col, &row);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 7);
    // A 150 x 160 control: cells of 21 x 20, 3 pixels left over on the right.
    struct Case { int x, y, day; const char *what; } cases[] = {
        {140, 5, 0, "title row"},
        {140, 25, 1, "initials row above the first week's Saturday"},
        {10, 25, 0, "initials row above a cell before day 1"},
        {130, 45, 1, "first week, Saturday"},
        {148, 45, 1, "leftover pixels count as the last column"},
        {0, 65, 2, "second week, Sunday"},
        {30, 145, 31, "sixth week, Monday"},
        {50, 145, 0, "after the last day"},
        {-1, 65, 0, "left of the control"},
        {150, 65, 0, "right of the control"},
        {10, 160, 0, "below the control"},
    };
    for (const Case &c : cases) EXPECT_EQ(CalDateDayAtPoint(c.x, c.y, 150, 160, &jan), c.day) << c.what;
    EXPECT_EQ(CalDateDayAtPoint(10, 10, 5, 5, &jan), 0);  // too small for a grid
}

TEST(CalDateRules, MonthSteps) {
    struct Case { int m, d, y, direction, em, ed, ey; } cases[] = {
        {12, 1, 1999, +1, 1, 1, 2000},   {12, 31, 1999, +1, 1, 1, 2000},
        {12, 17, 1999, +1, 1, 1, 2000},  {1, 1, 2000, -1, 12, 1, 1999},
        {3, 15, 2001, -1, 2, 1, 2001},   // from the 15th: the month before, not the 1st of March
        {3, 31, 2001, -1, 2, 1, 2001},   {2, 28, 2001, +1, 3, 1, 2001},
        {2, 29, 2000, +1, 3, 1, 2000},   {1, 31, 2000, +1, 2, 1, 2000},
        // Across the change: September 1582 -> October 1582 and back.
        {9, 20, 1582, +1, 10, 1, 1582},  {11, 3, 1582, -1, 10, 1, 1582},
        {1, 5, 1, -1, 12, 1, 0},         {12, 5, 0, +1, 1, 1, 1},
    };
    for (const Case &c : cases) {
        DateRecord r = Date(c.m, c.d, c.y);
        ASSERT_EQ(CalDateStepMonth(&r, c.direction), 1);
        ExpectDate(r, c.em, c.ed, c.ey, "step");
        EXPECT_EQ(double{r.universalHours}, 0.0);
    }
    // At the ends of the range nothing changes.
    DateRecord last = Date(12, 10, kCalDateMaxYear);
    EXPECT_EQ(CalDateStepMonth(&last, +1), 0);
    ExpectDate(last, 12, 10, kCalDateMaxYear, "last");
    DateRecord first = Date(1, 10, kCalDateMinYear);
    EXPECT_EQ(CalDateStepMonth(&first, -1), 0);
    ExpectDate(first, 1, 10, kCalDateMinYear, "first");
}

TEST(CalDateRules, MenuMonthAndDayClick) {
    DateRecord r = Date(3, 31, 2001);
    ASSERT_EQ(CalDateChooseMonth(&r, 2), 1);
    ExpectDate(r, 2, 1, 2001, "31 March -> February");
    r = Date(3, 30, 2004);
    ASSERT_EQ(CalDateChooseMonth(&r, 4), 1);
    ExpectDate(r, 4, 30, 2004, "30 March -> April keeps the day");
    EXPECT_EQ(CalDateChooseMonth(&r, 13), 0);
    EXPECT_EQ(CalDateChooseMonth(&r, 0), 0);
    ExpectDate(r, 4, 30, 2004, "refused month");
    ASSERT_EQ(CalDateSelectDay(&r, 12), 1);
    ExpectDate(r, 4, 12, 2004, "day");
    EXPECT_EQ(CalDateSelectDay(&r, 31), 0);
    EXPECT_EQ(CalDateSelectDay(&r, 0), 0);
    ExpectDate(r, 4, 12, 2004, "refused day");
}

TEST(CalDateRules, TypedYear) {
    struct Case { const char *text; int result, m, d, y; } cases[] = {
        {"2010", 1, 7, 14, 2010},          // month and day kept
        {" 1999.8", 1, 7, 14, 1999},      // the whole part
        {"-44", 1, 7, 14, -44},
        {"", 0, 7, 14, 2004}, {"   ", 0, 7, 14, 2004},
        {"abc", 0, 7, 14, 2004},           // no number: the year is kept
        {"10000", 0, 7, 14, 2004}, {"-4713", 0, 7, 14, 2004},
        {"99999999999", 0, 7, 14, 2004},
    };
    for (const Case &c : cases) {
        DateRecord r = Date(7, 14, 2004);
        r.universalHours = 0.0;
        EXPECT_EQ(CalDateApplyYearText(&r, c.text), c.result) << c.text;
        ExpectDate(r, c.m, c.d, c.y, c.text);
    }
    // 29 February into a common year: day 1, the month stays February.
    DateRecord leap = Date(2, 29, 2004);
    ASSERT_EQ(CalDateApplyYearText(&leap, "2005"), 1);
    ExpectDate(leap, 2, 1, 2005, "29 February");
    // The record's own hours are kept.
    DateRecord timed;
    std::memset(&timed, 0, sizeof timed);
    SetDateRecord(&timed, nullptr, 5, 6, 2000, 21.5, kUniversalTime);
    ASSERT_EQ(CalDateApplyYearText(&timed, "2001"), 1);
    EXPECT_DOUBLE_EQ(double{timed.universalHours}, 21.5);
    EXPECT_DOUBLE_EQ(double{timed.julianDate}, JulianDateFromCalendar(5, 6, 2001, 21.5));
}

TEST(CalDateRules, ShowDate) {
    DateRecord shown = Date(1, 1, 2000);
    DateRecord given;
    std::memset(&given, 0, sizeof given);
    SetDateRecord(&given, nullptr, 8, 11, 1999, 10.75, kUniversalTime);
    ASSERT_EQ(CalDateShowDate(&shown, &given), 1);
    ExpectDate(shown, 8, 11, 1999, "shown");
    EXPECT_EQ(double{shown.universalHours}, 0.0);
    EXPECT_EQ(CalDateShowDate(&shown, nullptr), 0);
    DateRecord bad = given;
    bad.day = 32;
    EXPECT_EQ(CalDateShowDate(&shown, &bad), 0);
    bad = given;
    bad.month = 0;
    EXPECT_EQ(CalDateShowDate(&shown, &bad), 0);
    ExpectDate(shown, 8, 11, 1999, "unchanged");
}

}  // namespace
