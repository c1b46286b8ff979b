// Tests of the date-time record: its byte layout, Julian dates across the
// calendar reform, zones and daylight-saving rules in both hemispheres, local
// midnight and the decimal year.
#include "astro/datetime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "astro/location.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#endif

namespace {

const double kSecondDays = 1.0 / 86400.0;

DateRecord Zeroed() {
    DateRecord r;
    std::memset(&r, 0, sizeof(r));
    return r;
}

LocationRecord Site(double zone, int mode) {
    LocationRecord s;
    InitLocationRecord(&s, 0.0, 0.7, 0.0, 6.5, 0.0, 10.0, 50.0, 2, 0.0, zone, "Test");
    s.dstMode = static_cast<uint8_t>(mode);
    return s;
}

// A site 5 h west keeping the northern rule (second Sunday of March to first
// Sunday of November, 2 h, 1 h), mode 2.
LocationRecord NorthernRuleSite() {
    LocationRecord s = Site(-5.0, 0);
    EXPECT_EQ(SetDaylightSavingRule(&s, 1, 0, 3, 2.0, 0, 0, 11, 2.0, 1.0, 2), 1);
    return s;
}

TEST(DateRecordLayout, FieldsLandAtTheStoredOffsets) {
    DateRecord r = Zeroed();
    r.month = 0x0102;
    r.day = 0x0304;
    r.year = -2;  // 0xFFFE
    r.julianDate = 2451545.0;
    r.nutationObliquity = 1.0;
    unsigned char bytes[118];
    std::memcpy(bytes, &r, sizeof(bytes));
    const unsigned char head[6] = {0x02, 0x01, 0x04, 0x03, 0xFE, 0xFF};
    EXPECT_EQ(std::memcmp(bytes, head, 6), 0);
    // 2451545.0 as a little-endian IEEE double at offset 30.
    const unsigned char jd[8] = {0x00, 0x00, 0x00, 0x80, 0x2C, 0xB4, 0x42, 0x41};
    EXPECT_EQ(std::memcmp(bytes + 30, jd, 8), 0);
    // 1.0 at offset 110, the last field.
    const unsigned char one[8] = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
    EXPECT_EQ(std::memcmp(bytes + 110, one, 8), 0);
}

TEST(Calendar, JulianDatesOfPublishedExamples) {
    struct Case {
        int month, day, year;
        double hours, jd;
    } cases[] = {
        {1, 1, 2000, 12.0, 2451545.0},
        {10, 15, 1582, 0.0, 2299160.5},   // first Gregorian day
        {10, 4, 1582, 0.0, 2299159.5},    // last Julian day
        {10, 4, 1957, 0.81 * 24.0, 2436116.31},  // Meeus example 7.a
        {1, 27, 333, 12.0, 1842713.0},           // Meeus example 7.b
        // Meeus, table of examples in ch. 7
        {1, 1, 1999, 0.0, 2451179.5},
        {1, 27, 1987, 0.0, 2446822.5},
        {6, 19, 1988, 12.0, 2447332.0},
        {1, 1, 1600, 0.0, 2305447.5},
        {12, 31, 1600, 0.0, 2305812.5},
        {4, 10, 837, 0.3 * 24.0, 2026871.8},
        {12, 31, -123, 0.0, 1676496.5},
        {1, 1, -122, 0.0, 1676497.5},
        {7, 12, -1000, 12.0, 1356001.0},
        {2, 29, -1000, 0.0, 1355866.5},
        {8, 17, -1001, 0.9 * 24.0, 1355671.4},
        {1, 1, -4712, 12.0, 0.0},
        {2, 29, 1600, 0.0, 2305506.5},
        {7, 20, 2009, 26.0, 2455033.5 + 2.0 / 24.0},  // hours carry into July 21
        {7, 20, 2009, -3.0, 2455031.5 + 21.0 / 24.0}, // and back into July 19
        {3, 0, 2009, 0.0, 2454890.5},                 // day 0: February 28
        {2, 29, 2001, 0.0, 2451969.5},    // day past month end: March 1
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.year);
        EXPECT_NEAR(JulianDateFromCalendar(c.month, c.day, c.year, c.hours), c.jd, 1e-6);
    }
}

#ifdef GLEANER_HAVE_ERFA
TEST(Calendar, GregorianDatesAgreeWithErfa) {
    for (int year = 1583; year <= 2400; year += 7) {
        for (int month = 1; month <= 12; ++month) {
            int day = 1 + (year + month * 3) % 28;
            double djm0, djm;
            ASSERT_EQ(eraCal2jd(year, month, day, &djm0, &djm), 0);
            ASSERT_EQ(JulianDateFromCalendar(month, day, year, 0.0), djm0 + djm)
                << year << "-" << month << "-" << day;

            DateRecord r = Zeroed();
            r.julianDate = djm0 + djm + 0.3;
            SetDateRecordFromJulianDate(nullptr, &r);
            int ey, em, ed;
            double fd;
            ASSERT_EQ(eraJd2cal(djm0, djm + 0.3, &ey, &em, &ed, &fd), 0);
            EXPECT_EQ(r.year, ey);
            EXPECT_EQ(r.month, em);
            EXPECT_EQ(r.day, ed);
            EXPECT_NEAR(+r.localHours, fd * 24.0, 1e-5);
        }
    }
}
#endif

// A site from a damaged file (an imported log entry's) may hold a zone that
// is no number: the date is left as it was instead of converting NaN.
TEST(Calendar, InverseWithAZoneThatIsNoNumberKeepsTheDate) {
    for (double zone : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300}) {
        LocationRecord site = Site(zone, 0);
        DateRecord r = Zeroed();
        r.julianDate = 2451545.0;
        r.year = 1999;
        SetDateRecordFromJulianDate(&site, &r);
        EXPECT_EQ(r.year, 1999) << zone;
        EXPECT_EQ(r.month, 0) << zone;
    }
}

TEST(Calendar, InverseWithoutSiteAroundTheReformAndJ2000) {
    DateRecord r = Zeroed();
    r.julianDate = 2299160.5;
    SetDateRecordFromJulianDate(nullptr, &r);
    EXPECT_EQ(r.year, 1582);
    EXPECT_EQ(r.month, 10);
    EXPECT_EQ(r.day, 15);
    EXPECT_NEAR(+r.localHours, 0.0, 1e-5);  // plus the 0.024 s nudge
    EXPECT_GT(+r.localHours, 0.0);

    r.julianDate = 2299160.5 - 0.25;  // the evening before is Julian October 4
    SetDateRecordFromJulianDate(nullptr, &r);
    EXPECT_EQ(r.day, 4);
    EXPECT_NEAR(+r.localHours, 18.0, 1e-5);

    r.julianDate = 2451545.0;
    SetDateRecordFromJulianDate(nullptr, &r);
    EXPECT_EQ(r.year, 2000);
    EXPECT_EQ(r.month, 1);
    EXPECT_EQ(r.day, 1);
    EXPECT_NEAR(+r.localHours, 12.0 + 0.024 / 3600.0, 1e-7);
    EXPECT_EQ(+r.universalHours, +r.localHours);
}

TEST(Calendar, LeapYearsDaysOfYearAndYearLengths) {
    EXPECT_EQ(IsLeapYear(1500), 1);  // Julian
    EXPECT_EQ(IsLeapYear(1582), 0);
    EXPECT_EQ(IsLeapYear(1700), 0);
    EXPECT_EQ(IsLeapYear(2000), 1);
    EXPECT_EQ(IsLeapYear(-4), 1);
    EXPECT_EQ(IsLeapYear(-1), 0);
    EXPECT_EQ(DaysInYear(1582), 355.0);
    EXPECT_EQ(DaysInYear(1900), 365.0);
    EXPECT_EQ(DaysInYear(2000), 366.0);
    EXPECT_EQ(DayOfYear(11, 14, 1978), 318);  // Meeus example 7.f
    EXPECT_EQ(DayOfYear(4, 22, 1988), 113);   // Meeus example 7.g
}

TEST(Calendar, DaysInMonthCarriesMonthsOutsideTheYear) {
    struct Case {
        int month, year, days;
    } cases[] = {{2, 2000, 29}, {2, 1900, 28}, {4, 2009, 30},  {12, 2009, 31},
                 {13, 2009, 31},  // January 2010
                 {14, 2011, 29},  // February 2012
                 {0, 2009, 31},   // December 2008
                 {-10, 2009, 29}}; // February 2008
    for (const Case &c : cases) {
        DateRecord r = Zeroed();
        r.month = static_cast<int16_t>(c.month);
        r.year = static_cast<int16_t>(c.year);
        EXPECT_EQ(DaysInMonth(&r), c.days) << c.month << "/" << c.year;
    }
}

TEST(Calendar, WeekdaysAndDecimalYearRoundTrip) {
    EXPECT_EQ(WeekdayOfJulianDate(2451544.5), 6);  // 2000 January 1, Saturday
    EXPECT_EQ(WeekdayOfJulianDate(2434923.5), 3);  // 1954 June 30, Wednesday (Meeus 7.e)
    EXPECT_EQ(WeekdayOfJulianDate(-0.5), 1);       // -4712 January 1, a Monday
    EXPECT_EQ(WeekdayOfJulianDate(-7.5), 1);       // a week earlier, still 0..6

    EXPECT_NEAR(DecimalYearFromDate(7, 2, 2009, 12.0), 2009.0 + 182.5 / 365.0, 1e-12);
    // Every year, negative ones included, runs upwards from y to y + 1 and back.
    for (double x : {-1.5, -0.25, 0.5, 1582.99, 1600.2, 2009.75}) {
        double jd = JulianDateFromDecimalYear(x);
        DateRecord r = Zeroed();
        r.julianDate = jd;
        SetDateRecordFromJulianDate(nullptr, &r);
        EXPECT_NEAR(+r.decimalYear, x, 1e-8) << x;
    }
    // Late December 1582 stays inside 1582 although ten days were dropped.
    double late1582 = DecimalYearFromDate(12, 31, 1582, 12.0);
    EXPECT_GT(late1582, 1582.99);
    EXPECT_LT(late1582, 1583.0);
    EXPECT_DOUBLE_EQ(CenturiesFromJulianDate(JulianDateFromCenturies(0.37)), 0.37);
}

TEST(DateRecordFill, ZoneWestPutsUniversalHoursAbove24OnTheLocalDate) {
    LocationRecord site = Site(-5.0, 0);
    DateRecord r = Zeroed();
    ASSERT_EQ(SetDateRecord(&r, &site, 7, 20, 2009, 21.0, kLocalTime), 1);
    EXPECT_EQ(r.day, 20);
    EXPECT_EQ(+r.localHours, 21.0);
    EXPECT_EQ(+r.universalHours, 26.0);
    EXPECT_NEAR(+r.julianDate, JulianDateFromCalendar(7, 21, 2009, 2.0), 1e-9);

    // Back from the Julian date: the local date and clock time come again.
    DateRecord back = Zeroed();
    back.julianDate = r.julianDate;
    SetDateRecordFromJulianDate(&site, &back);
    EXPECT_EQ(back.day, 20);
    EXPECT_NEAR(+back.localHours, 21.0, 1e-5);
    EXPECT_NEAR(+back.universalHours, 26.0, 1e-5);

    // Universal time given: the local hours follow the zone.
    ASSERT_EQ(SetDateRecord(&r, &site, 7, 21, 2009, 2.0, kUniversalTime), 1);
    EXPECT_EQ(+r.localHours, -3.0);
    EXPECT_EQ(SetDateRecord(nullptr, &site, 7, 21, 2009, 2.0, kUniversalTime), 0);
}

TEST(DaylightSaving, NorthernRuleIncludesBothTransitionInstants) {
    LocationRecord site = NorthernRuleSite();
    LocationRecord before = site;
    struct Case {
        int month, day;
        double standardHours;
        double shift;
    } cases[] = {
        {3, 8, 1.0 + 59.0 / 60.0, 0.0},  // second Sunday of March 2009, 1:59
        {3, 8, 2.0, 1.0},                // 2:00 exactly: in effect
        {7, 1, 12.0, 1.0},
        {11, 1, 2.0, 1.0},               // first Sunday of November, 2:00: still
        {11, 1, 2.0 + 1.0 / 3600.0, 0.0},  // one second later: over
        {1, 15, 12.0, 0.0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.month * 100 + c.day);
        DateRecord r = Zeroed();
        r.month = static_cast<int16_t>(c.month);
        r.day = static_cast<int16_t>(c.day);
        r.year = 2009;
        r.localHours = c.standardHours;  // kind 2: the clock read as standard time
        EXPECT_EQ(GetDaylightSavingOffset(&site, &r, kLocalTime), +c.shift);
        // The same instant as universal time.
        r.universalHours = c.standardHours - site.timeZone;
        EXPECT_EQ(GetDaylightSavingOffset(&site, &r, kUniversalTime), +c.shift);
    }
    EXPECT_EQ(std::memcmp(&site, &before, sizeof(site)), 0);  // the site is not written
}

TEST(DaylightSaving, SouthernRuleSavesInJanuaryNotInJuly) {
    LocationRecord site = Site(10.0, 0);
    ASSERT_EQ(SetDaylightSavingRule(&site, 0, 0, 10, 2.0, 0, 0, 4, 2.0, 1.0, 2), 1);
    DateRecord r = Zeroed();
    SetDateRecord(&r, &site, 1, 15, 2009, 12.0, kLocalTime);
    EXPECT_EQ(GetDaylightSavingOffset(&site, &r, kLocalTime), 1.0);
    EXPECT_EQ(+r.universalHours, 12.0 - 11.0);
    SetDateRecord(&r, &site, 7, 15, 2009, 12.0, kLocalTime);
    EXPECT_EQ(GetDaylightSavingOffset(&site, &r, kLocalTime), 0.0);
    EXPECT_EQ(+r.universalHours, 2.0);
    // First Sunday of October 2009 is the 4th: saving from 2:00 standard time.
    SetDateRecord(&r, &site, 10, 4, 2009, 1.5, kLocalTime);
    EXPECT_EQ(GetDaylightSavingOffset(&site, &r, kLocalTime), 0.0);
    SetDateRecord(&r, &site, 10, 4, 2009, 2.5, kLocalTime);
    EXPECT_EQ(GetDaylightSavingOffset(&site, &r, kLocalTime), 1.0);
}

TEST(DaylightSaving, LastWeekRuleModesAndDamagedRules) {
    // Last Sunday of March to last Sunday of October (European rule), zone +1.
    LocationRecord site = Site(1.0, 0);
    ASSERT_EQ(SetDaylightSavingRule(&site, 3, 0, 3, 1.0, 3, 0, 10, 2.0, 1.0, 2), 1);
    DateRecord r = Zeroed();
    SetDateRecord(&r, &site, 3, 29, 2009, 0.99, kLocalTime);  // last Sunday of March 2009
    EXPECT_EQ(GetDaylightSavingOffset(&site, &r, kLocalTime), 0.0);
    SetDateRecord(&r, &site, 3, 29, 2009, 1.0, kLocalTime);
    EXPECT_EQ(GetDaylightSavingOffset(&site, &r, kLocalTime), 1.0);
    SetDateRecord(&r, &site, 10, 25, 2009, 2.01, kLocalTime);  // last Sunday of October
    EXPECT_EQ(GetDaylightSavingOffset(&site, &r, kLocalTime), 0.0);

    // Mode 1: always the shift; mode 0 or shift 0: nothing.
    site.dstMode = 1;
    EXPECT_EQ(GetDaylightSavingOffset(&site, &r, kLocalTime), 1.0);
    site.dstMode = 0;
    EXPECT_EQ(GetDaylightSavingOffset(&site, &r, kLocalTime), 0.0);
    site.dstMode = 2;
    site.dst.shift = 0.0f;
    EXPECT_EQ(GetDaylightSavingOffset(&site, &r, kLocalTime), 0.0);

    // A damaged rule (week 7, month 13, weekday 9) keeps no saving rather than
    // reading outside the calendar tables.
    for (int field = 0; field < 3; ++field) {
        LocationRecord bad = Site(1.0, 0);
        ASSERT_EQ(SetDaylightSavingRule(&bad, 3, 0, 3, 1.0, 3, 0, 10, 2.0, 1.0, 2), 1);
        if (field == 0) bad.dst.startWeek = 7;
        if (field == 1) bad.dst.endMonth = 13;
        if (field == 2) bad.dst.startWeekday = 9;
        SetDateRecord(&r, &bad, 7, 1, 2009, 12.0, kLocalTime);
        EXPECT_EQ(GetDaylightSavingOffset(&bad, &r, kLocalTime), 0.0) << field;
    }
    EXPECT_EQ(GetDaylightSavingOffset(nullptr, &r, kLocalTime), 0.0);
}

TEST(DaylightSaving, JulianDateToLocalDateAcrossTheShift) {
    LocationRecord site = NorthernRuleSite();
    // 2009 July 20, 23:30 EST = 04:30 UT July 21 is 00:30 EDT on July 21.
    DateRecord r = Zeroed();
    r.julianDate = JulianDateFromCalendar(7, 21, 2009, 4.5);
    SetDateRecordFromJulianDate(&site, &r);
    EXPECT_EQ(r.month, 7);
    EXPECT_EQ(r.day, 21);
    EXPECT_NEAR(+r.localHours, 0.5, 1e-5);
    EXPECT_NEAR(+r.universalHours, 4.5, 1e-5);
    EXPECT_NEAR(+r.decimalYear, DecimalYearFromDate(7, 21, 2009, 4.5), 1e-9);

    // In January the same clock time is standard time.
    r.julianDate = JulianDateFromCalendar(1, 21, 2009, 4.5);
    SetDateRecordFromJulianDate(&site, &r);
    EXPECT_EQ(r.day, 20);
    EXPECT_NEAR(+r.localHours, 23.5, 1e-5);

    // Local clock time in summer round-trips through the Julian date.
    SetDateRecord(&r, &site, 8, 1, 2009, 22.25, kLocalTime);
    EXPECT_NEAR(+r.universalHours, 22.25 + 4.0, 1e-12);
    DateRecord back = Zeroed();
    back.julianDate = r.julianDate;
    SetDateRecordFromJulianDate(&site, &back);
    EXPECT_EQ(back.day, 1);
    EXPECT_NEAR(+back.localHours, 22.25, 1e-5);

    // Universal time given in summer: local hours = UT + zone + shift.
    SetDateRecord(&r, &site, 7, 21, 2009, 4.5, kUniversalTime);
    EXPECT_EQ(+r.localHours, 0.5);

    // Local midnight of a summer night is 4 h UT, of a winter night 5 h UT.
    DateRecord source = Zeroed();
    DateRecord target = Zeroed();
    SetDateRecord(&source, &site, 7, 20, 2009, 22.0, kLocalTime);
    SetDateRecordToLocalMidnight(&site, &source, &target);
    EXPECT_EQ(target.day, 21);
    EXPECT_NEAR(+target.universalHours, 4.0, 1e-5);
    SetDateRecord(&source, &site, 1, 20, 2009, 22.0, kLocalTime);
    SetDateRecordToLocalMidnight(&site, &source, &target);
    EXPECT_EQ(target.day, 21);
    EXPECT_NEAR(+target.universalHours, 5.0, 1e-5);

    // Mode 1 shifts always.
    site.dstMode = 1;
    r.julianDate = JulianDateFromCalendar(1, 21, 2009, 4.5);
    SetDateRecordFromJulianDate(&site, &r);
    EXPECT_EQ(r.day, 21);
    EXPECT_NEAR(+r.localHours, 0.5, 1e-5);
}

TEST(DateRecordFill, LocalMidnightOfTheNight) {
    LocationRecord site = Site(-5.0, 0);
    struct Case {
        int month, day;
        double hours;
        int wantMonth, wantDay;
    } cases[] = {
        {7, 20, 23.5, 7, 21},
        {7, 20, 1.5, 7, 20},
        {1, 31, 20.0, 2, 1},    // day 32 carried into February
        {12, 31, 12.0, 1, 1},   // into the next year
    };
    for (const Case &c : cases) {
        DateRecord source = Zeroed();
        DateRecord target = Zeroed();
        SetDateRecord(&source, &site, c.month, c.day, 2009, c.hours, kLocalTime);
        SetDateRecordToLocalMidnight(&site, &source, &target);
        EXPECT_EQ(target.month, c.wantMonth) << c.month << "/" << c.day;
        EXPECT_EQ(target.day, c.wantDay) << c.month << "/" << c.day;
        EXPECT_NEAR(+target.localHours, 0.0, 1e-5);
        EXPECT_NEAR(+target.universalHours, 5.0, 1e-5);
        EXPECT_NE(+target.centuriesTT, 0.0);  // completed: time arguments filled
        EXPECT_GT(+target.greenwichMeanSidereal, 0.0);
    }
}

}  // namespace
