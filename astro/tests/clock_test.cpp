// Tests of the computer-clock logic with injected readings: zone bias, "now"
// at another site, the clock setting's carries, the tick wrap and the texts.
#include "astro/clock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>

#include "astro/datetime.h"
#include "astro/location.h"

namespace {

ComputerZoneReading Zone(int bias, int daylightBias, int active) {
    ComputerZoneReading z;
    std::memset(&z, 0, sizeof(z));
    z.valid = 1;
    z.biasMinutes = bias;
    z.daylightBiasMinutes = daylightBias;
    z.daylightActive = active;
    z.daylightRuleMonth = daylightBias != 0 ? 3 : 0;
    return z;
}

TEST(ComputerZone, BiasHoursIncludeHalfHoursAndTheRealDaylightBias) {
    struct Case {
        int bias, daylightBias, active;
        double hours;
        int dst;
    } cases[] = {
        {300, -60, 1, 4.0, 1},    // 5 h west, daylight time in effect
        {300, -60, 0, 5.0, 0},
        {-330, 0, 0, -5.5, 0},    // India, 5 h 30 east
        {-345, 0, 0, -5.75, 0},   // Nepal
        {210, -60, 1, 2.5, 1},    // Newfoundland in summer
        {-630, -30, 1, -11.0, 1}, // Lord Howe Island: a 30-minute shift
        {-60, -60, 1, -2.0, 1},
    };
    for (const Case &c : cases) {
        ComputerZoneReading z = Zone(c.bias, c.daylightBias, c.active);
        EXPECT_DOUBLE_EQ(ComputeTimeZoneBiasHours(&z), c.hours) << c.bias;
        EXPECT_EQ(IsDaylightSavingActiveInZone(&z), c.dst) << c.bias;
    }
    // No daylight rule, or an unread zone: no daylight time and no bias.
    ComputerZoneReading noRule = Zone(300, -60, 1);
    noRule.daylightRuleMonth = 0;
    EXPECT_EQ(IsDaylightSavingActiveInZone(&noRule), 0);
    EXPECT_EQ(ComputeTimeZoneBiasHours(&noRule), 5.0);
    ComputerZoneReading unread = Zone(300, -60, 1);
    unread.valid = 0;
    EXPECT_EQ(ComputeTimeZoneBiasHours(&unread), 0.0);
    EXPECT_EQ(IsDaylightSavingActiveInZone(nullptr), 0);
}

TEST(ComputerClock, NowAtASiteInAnotherZone) {
    // The computer in Chicago (UT - 6, daylight time: bias 5 h) reads
    // 2009 July 20, 21:30:15.500, which is 02:30:15.5 UT on July 21; a site in
    // Tokyo (UT + 9) is then at 11:30 on July 21.
    ComputerClockReading clock = {2009, 7, 20, 21, 30, 15, 500};
    LocationRecord tokyo;
    InitLocationRecord(&tokyo, -2.43, 0.62, 40, 6.5, 0, 20, 60, 2, 0, 9.0, "Tokyo");
    DateRecord r;
    std::memset(&r, 0, sizeof(r));
    SetDateRecordFromComputerClock(&tokyo, &r, &clock, 5.0);
    EXPECT_EQ(r.day, 21);
    EXPECT_EQ(r.month, 7);
    // (0.024 s of rounding nudge in the hours read back from a Julian date)
    EXPECT_NEAR(+r.localHours, 11.5 + 15.5 / 3600, 1e-5);
    EXPECT_NEAR(+r.universalHours, 2.5 + 15.5 / 3600, 1e-5);
    EXPECT_NEAR(+r.julianDate, JulianDateFromCalendar(7, 21, 2009, 2.5 + 15.5 / 3600), 1e-8);

    // A site in Hawaii (UT - 10) is still on July 20, in the afternoon.
    LocationRecord hawaii = tokyo;
    hawaii.timeZone = -10.0;
    SetDateRecordFromComputerClock(&hawaii, &r, &clock, 5.0);
    EXPECT_EQ(r.day, 20);
    EXPECT_NEAR(+r.localHours, 16.5 + 15.5 / 3600, 1e-5);

    // Without a site the record is in UT.
    SetDateRecordFromComputerClock(nullptr, &r, &clock, 5.0);
    EXPECT_EQ(r.day, 21);
    EXPECT_NEAR(+r.localHours, 2.5 + 15.5 / 3600, 1e-5);
}

TEST(ComputerClock, NowAgreesWithTheLibraryClock) {
    // The platform reads of clock and zone together give UT: compare with the
    // C library's seconds since 1970 (UT) at J 2440587.5.
    DateRecord r;
    std::memset(&r, 0, sizeof(r));
    double before = 2440587.5 + static_cast<double>(std::time(nullptr)) / 86400.0;
    SetDateRecordToNow(nullptr, &r);
    double after = 2440587.5 + static_cast<double>(std::time(nullptr)) / 86400.0;
    EXPECT_GT(+r.julianDate, before - 2.0 / 86400.0);
    EXPECT_LT(+r.julianDate, after + 2.0 / 86400.0);
    double bias = GetTimeZoneBiasHours();
    EXPECT_GE(bias, -14.0);
    EXPECT_LE(bias, 12.0);

    // Twelve hours before now, and today's local midnight, at a site 3 h east.
    LocationRecord site;
    InitLocationRecord(&site, -0.7, 0.9, 0, 6.5, 0, 10, 50, 2, 0, 3.0, "East");
    DateRecord earlier;
    std::memset(&earlier, 0, sizeof(earlier));
    SetDateRecordTwelveHoursBeforeNow(&site, &earlier);
    EXPECT_NEAR(+earlier.julianDate, r.julianDate - 0.5, 5.0 / 86400.0);
    DateRecord midnight;
    std::memset(&midnight, 0, sizeof(midnight));
    SetDateRecordToTodayLocalMidnight(&site, &midnight);
    EXPECT_NEAR(+midnight.localHours, 0.0, 1e-5);
    EXPECT_LE(+midnight.julianDate, r.julianDate + 5.0 / 86400.0);
    EXPECT_GT(+midnight.julianDate, r.julianDate - 1.0);
}

TEST(ComputerClock, SettingCarriesRoundedMillisecondsThroughTheYear) {
    DateRecord r;
    std::memset(&r, 0, sizeof(r));
    r.year = 2009;
    r.month = 12;
    r.day = 31;
    r.localHours = 23.9999999;
    ComputerClockReading s;
    ComputeClockSettingFromRecord(&r, &s);
    EXPECT_EQ(s.year, 2010);
    EXPECT_EQ(s.month, 1);
    EXPECT_EQ(s.day, 1);
    EXPECT_EQ(s.hour, 0);
    EXPECT_EQ(s.minute, 0);
    EXPECT_EQ(s.second, 0);
    EXPECT_EQ(s.millisecond, 0);

    r.month = 2;
    r.day = 28;
    r.year = 2008;  // leap year: February 29 follows
    ComputeClockSettingFromRecord(&r, &s);
    EXPECT_EQ(s.month, 2);
    EXPECT_EQ(s.day, 29);

    r.localHours = 13.5 + 7.25 / 3600.0;
    ComputeClockSettingFromRecord(&r, &s);
    EXPECT_EQ(s.hour, 13);
    EXPECT_EQ(s.minute, 30);
    EXPECT_EQ(s.second, 7);
    EXPECT_EQ(s.millisecond, 250);
}

TEST(ComputerClock, TickDifferenceAcrossTheWrap) {
    EXPECT_EQ(ElapsedTicksBetween(0xFFFFFF00u, 0x00000100u), 0x200u);
    EXPECT_EQ(ElapsedTicksBetween(1000u, 1500u), 500u);
    // Before any start the divisor is 1 and nothing divides by zero.
    EXPECT_GE(MeasureElapsedTicks(0), 0.0);
    EXPECT_EQ(MeasureElapsedTicks(4), 0.0);
    EXPECT_GE(MeasureElapsedTicks(0), 0.0);
}

TEST(ClockTexts, DurationsAndStamps) {
    struct Case {
        double days;
        const char *text;
    } cases[] = {
        {1.0 / 720.0, "120 sec"}, {30.0 / 86400.0, "30 sec"}, {1.0 / 24.0, "60 min"},
        {1.0 / 12.0, "120 min"},  {0.5, "12.000 hr"},         {2.0, "48.000 hr"},
        {3.5, "3.5000 d"},        {15.0, "15.00 d"},
    };
    char buffer[kClockTextSize];
    for (const Case &c : cases) EXPECT_STREQ(FormatDuration(buffer, c.days), c.text);

    ComputerClockReading reading = {2009, 7, 20, 9, 5, 0, 0};
    EXPECT_STREQ(FormatClockReadingStamp(buffer, &reading), "2009 Jul 20 0905");
    // The computer's own stamp has the same shape.
    std::string stamp = FormatComputerTimeStamp(buffer);
    EXPECT_EQ(stamp.size(), 16u) << stamp;
}

TEST(ClockTexts, DateOfARecordAtASite) {
    LocationRecord site;
    InitLocationRecord(&site, 1.3, 0.7, 0, 6.5, 0, 10, 50, 2, 0, -5.0, "East");
    DateRecord r;
    std::memset(&r, 0, sizeof(r));
    r.julianDate = JulianDateFromCalendar(7, 21, 2009, 2.5);  // 21:30 on July 20 at the site
    DateRecord before = r;
    char buffer[kClockTextSize];
    EXPECT_STREQ(FormatDateOfRecord(buffer, &site, &r), "2009 July 20");
    EXPECT_EQ(std::memcmp(&before, &r, sizeof(r)), 0);  // the record is not changed
    std::string text = FormatDateTimeOfRecord(buffer, &site, &r);
    EXPECT_EQ(text.rfind("2009 July 20 ", 0), 0u) << text;
    EXPECT_NE(text.find("21"), std::string::npos) << text;
    EXPECT_NE(text.find("30"), std::string::npos) << text;
}

}  // namespace
