// Tests of the times of the Moon's phases and the Moon's age against Meeus'
// worked examples and published phase times.
#include "ephem/moonphases.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ephem/tests/ephemfixture.h"

namespace {

using namespace ephemtest;

TEST(MoonPhases, MeeusExamples) {
    // Example 49.a: the new Moon of 1977 February, k = -283: JDE 2443192.65118.
    EXPECT_NEAR(ComputeMoonPhaseOfLunation(-283.0, kNewMoon), 2443192.65118, 2e-5);
    // From a decimal year: 1977 Feb 6 (c = -283.2) asks for the new Moon of Feb 18.
    EXPECT_NEAR(ComputeMoonPhaseTime(1977.1, kNewMoon), 2443192.65118, 2e-5);
}

TEST(MoonPhases, LunationChoice) {
    // y = 2000.0: the new Moon of lunation 1 and the full Moon of lunation 0.5.
    EXPECT_EQ(ComputeMoonPhaseTime(2000.0, kNewMoon), ComputeMoonPhaseOfLunation(1.0, kNewMoon));
    EXPECT_EQ(ComputeMoonPhaseTime(2000.0, kFullMoon), ComputeMoonPhaseOfLunation(0.5, kFullMoon));
    // c = 10.8: first quarter 11.25, last quarter 10.75.
    double y = 2000.0 + 10.8 / 12.3685;
    EXPECT_EQ(ComputeMoonPhaseTime(y, kFirstQuarter), ComputeMoonPhaseOfLunation(11.25, kFirstQuarter));
    EXPECT_EQ(ComputeMoonPhaseTime(y, kLastQuarter), ComputeMoonPhaseOfLunation(10.75, kLastQuarter));
    // Before 2000 the choice is the same: c = -10.2 gives the new Moon of
    // lunation -10, within one lunation after the date.
    double before = 2000.0 - 10.2 / 12.3685;
    EXPECT_EQ(ComputeMoonPhaseTime(before, kNewMoon), ComputeMoonPhaseOfLunation(-10.0, kNewMoon));
    EXPECT_TRUE(std::isnan(ComputeMoonPhaseTime(2000.0, 4)));
    EXPECT_TRUE(std::isnan(ComputeMoonPhaseTime(2000.0, -1)));
}

TEST(MoonPhases, QuarterCorrectionSign) {
    // W is added for the first quarter and subtracted for the last: the two
    // differ from their mean by the same W, about 0.003 day.
    double first = ComputeMoonPhaseOfLunation(100.25, kFirstQuarter);
    double asLast = ComputeMoonPhaseOfLunation(100.25, kLastQuarter);
    EXPECT_NEAR(first - asLast, 2 * 0.00306, 0.0012);
    EXPECT_GT(first, asLast);
}

TEST(MoonPhases, PublishedTimes) {
    // Phase times in UT (U.S. Naval Observatory), with Delta T of the year.
    struct Case {
        double year;
        int phase;
        double jdUt, deltaT;
    } cases[] = {
        {2000.05, kFullMoon, 2451564.69444, 63.8},   // 2000 Jan 21 04:40
        {2017.62, kNewMoon, 2457987.27083, 68.8},    // 2017 Aug 21 18:30
        {2019.04, kFullMoon, 2458504.71944, 69.2},   // 2019 Jan 21 05:16
        {2024.25, kNewMoon, 2460409.26458, 69.2},    // 2024 Apr 8 18:21
    };
    for (const Case &c : cases) {
        double jde = ComputeMoonPhaseTime(c.year, c.phase);
        EXPECT_NEAR((jde - c.deltaT / 86400.0 - c.jdUt) * 1440.0, 0.0, 1.5) << c.year;
    }
}

TEST(MoonAge, SinceTheLastNewMoon) {
    LocationRecord site = GeocentreSite();
    // One day after the new Moon of 2024 Apr 8 18:21 UT.
    DateRecord date = DateAtTT(2460410.26458 + 69.2 / 86400.0, 69.2, &site);
    EXPECT_NEAR(ComputeMoonAge(&date), 1.0, 2.0 / 1440.0);
    // Dates before 2000 and across a whole lunation stay within 0..29.6.
    for (double jd = 2415020.0; jd < 2415020.0 + 40.0; jd += 1.7) {
        DateRecord d = DateAtTT(jd, 0.0001, &site);
        double age = ComputeMoonAge(&d);
        EXPECT_GE(age, 0.0) << jd;
        EXPECT_LT(age, 29.9) << jd;
    }
    EXPECT_EQ(ComputeMoonAge(nullptr), -1.0);
}

}  // namespace
