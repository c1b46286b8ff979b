// Tests of the weekday and month names and the date texts of a Julian date.
#include "astro/datetext.h"

#include <gtest/gtest.h>

#include <string>

#include "astro/angletext.h"
#include "astro/datetime.h"
#include "astro/location.h"

namespace {

TEST(DateNames, TablesAndOutOfRangeIndexes) {
    EXPECT_STREQ(GetWeekdayName(0), "Sunday");
    EXPECT_STREQ(GetWeekdayName(6), "Saturday");
    EXPECT_EQ(GetWeekdayName(7), nullptr);
    EXPECT_EQ(GetWeekdayName(-1), nullptr);
    EXPECT_STREQ(GetMonthName(1), "January");
    EXPECT_STREQ(GetMonthName(12), "December");
    EXPECT_EQ(GetMonthName(0), nullptr);
    EXPECT_EQ(GetMonthName(13), nullptr);
    EXPECT_STREQ(GetMonthAbbreviation(9), "Sep");
    EXPECT_STREQ(GetWeekdayNameOfJulianDate(2451544.5), "Saturday");
}

TEST(DateTexts, EveningFlagShowsTheEveningBefore) {
    LocationRecord site;
    InitLocationRecord(&site, 1.3, 0.7, 0, 6.5, 0, 10, 50, 2, 0, -5.0, "East");
    // Local 2009 July 21, 3 h = 8 h UT.
    double jd = JulianDateFromCalendar(7, 21, 2009, 8.0);
    char buffer[kDateTextSize];
    EXPECT_STREQ(FormatJulianDateAsDate(buffer, &site, jd, 0), "2009 Jul 21");
    EXPECT_STREQ(FormatJulianDateAsDate(buffer, &site, jd, 1), "2009 Jul 20");
    // Afternoon: the flag changes nothing.
    double afternoon = JulianDateFromCalendar(7, 21, 2009, 20.0);
    EXPECT_STREQ(FormatJulianDateAsDate(buffer, &site, afternoon, 1), "2009 Jul 21");
    // Without a site the date is the UT date; days are padded to two places.
    EXPECT_STREQ(FormatJulianDateAsDate(buffer, nullptr, 2451545.0, 0), "2000 Jan  1");

    // The time shown is that of the instant itself, not of the evening before.
    int savedStyle = GetClockTextStyle();
    SetClockTextStyle(0);
    std::string text = FormatJulianDateAsDateTime(buffer, &site, jd, 1);
    SetClockTextStyle(savedStyle);
    EXPECT_EQ(text, "2009 Jul 20 03:00");
}

}  // namespace
