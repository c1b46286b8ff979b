// Tests of the Delta T model: each piece at its published anchor values, the
// observed table against independently published values, the gaps between
// pieces, and the completion of a record with T, Delta T and T(TT).
#include "astro/deltat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"

namespace {

double ModelAt(double decimalYear) {
    return ComputeModelDeltaTSeconds(decimalYear, JulianDateFromDecimalYear(decimalYear));
}

TEST(DeltaTModel, TablePiecesAtTheirAnchors) {
    EXPECT_EQ(ModelAt(1620.0), 124.0);
    EXPECT_EQ(ModelAt(1621.0), 119.5);
    EXPECT_EQ(ModelAt(1700.0), 9.0);
    EXPECT_EQ(ModelAt(1798.0), 14.0);  // the last entry, read without passing the end
    EXPECT_EQ(InterpolateDeltaTByteTable(1797.0, kDeltaTTable1620, 1620), 14.5);
    EXPECT_EQ(InterpolateDeltaTByteTable(1900.0, kDeltaTTable1620, 1620), 14.0);
    EXPECT_EQ(InterpolateDeltaTByteTable(1500.0, kDeltaTTable1620, 1620), 124.0);

    EXPECT_NEAR(ModelAt(1972.0), 42.2272, 1e-4);
    EXPECT_NEAR(ModelAt(2000.0), 63.8285, 1e-4);
    EXPECT_NEAR(ModelAt(2007.25), (65.1464 + 65.3413) / 2.0, 1e-4);  // 2007.0 -> 2007.5
    EXPECT_NEAR(ModelAt(2012.0), 66.6030, 1e-4);
    EXPECT_NEAR(ModelAt(kDeltaTObservedEnd), 69.2527, 1e-4);
    EXPECT_NEAR(ModelAt(2050.0), 93.0, 0.01);  // the 2050-2150 piece, joined
    EXPECT_NEAR(ModelAt(2150.0), 328.48, 1e-9);
}

TEST(DeltaTModel, AgreesWithPublishedObservedValues) {
    // Observed Delta T (s): Morrison & Stephenson / Astronomical Almanac
    // historical values and the IERS monthly series. The 19th- and
    // 20th-century polynomials are fits good to about a second.
    struct Case {
        double year, seconds, tolerance;
    } cases[] = {
        {1850.0, 7.1, 1.0},    {1875.0, -3.2, 1.0},   {1900.0, -2.7, 1.0},
        {1925.0, 23.6, 1.0},   {1950.0, 29.1, 1.0},   {1960.0, 33.2, 1.0},
        {1972.5, 42.8249, 1e-3}, {1980.0, 50.5387, 0.01}, {1985.0, 54.3427, 0.01},
        {1990.0, 56.8553, 0.01}, {1995.0, 60.7856, 0.01}, {1998.5, 63.2844, 1e-3},
        {2005.0, 64.69, 0.01},
    };
    for (const Case &c : cases) EXPECT_NEAR(ModelAt(c.year), c.seconds, c.tolerance) << c.year;
}

// Where the table once held predictions (65.7 s at 2001.5, 67.0-68.0 s in
// 2011) it holds the observed values of the IERS Earth-orientation series
// (Delta T = 32.184 s + (TAI - UTC) - (UT1 - UTC)); the extrapolation starts
// from the last of them without a step (there was one of 0.39 s at 2012.0)
// and stays with the observed values through late 2022 (it was 4.0 s high).
TEST(DeltaTModel, FollowsTheObservedValuesSince1999) {
    struct Case {
        double year, seconds;
    } observed[] = {
        {2001.5, 64.2117}, {2006.75, 65.0371}, {2011.99, 66.6030}, {2016.0, 68.1024},
        {2020.5, 69.4241}, {2022.0, 69.2945}, {2022.67, 69.1975},
    };
    for (const Case &c : observed) EXPECT_NEAR(ModelAt(c.year), c.seconds, 0.05) << c.year;
    for (double y : {2001.999, 2011.999, kDeltaTObservedEnd, 2050.0}) {
        EXPECT_NEAR(ModelAt(y + 2e-4), ModelAt(y - 2e-4), 2e-3) << y;
        // No kink either: the slopes either side agree within 0.1 s a year.
        const double before = (ModelAt(y - 0.01) - ModelAt(y - 0.02)) / 0.01;
        const double after = (ModelAt(y + 0.02) - ModelAt(y + 0.01)) / 0.01;
        if (y >= kDeltaTObservedEnd) {
            EXPECT_NEAR(before, after, 0.1) << y;
        }
    }
    // The extrapolation rises steadily towards the long-term model.
    for (double y = 2025.0; y < 2050.0; y += 1.0) EXPECT_GT(ModelAt(y + 1.0), ModelAt(y)) << y;
}

TEST(DeltaTModel, RecentTableBetweenItsPairs) {
    // Leap-year June pair at .42; the quarterly run joins the monthly one.
    EXPECT_NEAR(InterpolateDeltaTRecentTable(1972.42), 42.7393, 1e-4);
    double beforeJoin = InterpolateDeltaTRecentTable(1998.999);
    EXPECT_NEAR(beforeJoin, 63.4674, 1e-3);
    EXPECT_NEAR(InterpolateDeltaTRecentTable(1999.0), 63.4673, 1e-4);
    EXPECT_NEAR(InterpolateDeltaTRecentTable(2001.875), (64.2223 + 64.2998) / 2.0, 1e-3);
    EXPECT_NEAR(InterpolateDeltaTRecentTable(2030.0), 69.2527, 1e-4);  // the end, held
    // The monthly values rise smoothly over 1972-1999: no step between months
    // larger than 0.15 s per month, and never downwards by more than 0.05 s.
    double previous = InterpolateDeltaTRecentTable(1972.0);
    for (double y = 1972.0 + 1.0 / 24.0; y < 1999.0; y += 1.0 / 24.0) {
        double v = InterpolateDeltaTRecentTable(y);
        EXPECT_LT(std::fabs(v - previous), 0.08) << y;
        EXPECT_GT(v - previous, -0.05) << y;
        previous = v;
    }
}

TEST(DeltaTModel, GapsAreBridgedContinuously) {
    // 1601-1620: from the medieval formula to the table.
    EXPECT_NEAR(ModelAt(1601.0), ModelAt(1600.9999), 0.01);
    EXPECT_NEAR(ModelAt(1619.9999), ModelAt(1620.0), 0.01);
    EXPECT_GT(ModelAt(1610.0), 124.0);
    EXPECT_LT(ModelAt(1610.0), ModelAt(1601.0));
    // 1798-1799: from the table's last value to the 19th-century polynomial.
    EXPECT_NEAR(ModelAt(1798.0001), 14.0, 0.01);
    EXPECT_NEAR(ModelAt(1799.0), ModelAt(1799.0001), 0.01);
    // After 2150 the long-term parabola, met at 2150.
    EXPECT_NEAR(ModelAt(2150.0001), ModelAt(2150.0), 0.01);
    EXPECT_NEAR(ModelAt(2200.0), -20.0 + 32.0 * 3.8 * 3.8, 1e-9);
    for (double y = -500.0; y < 3000.0; y += 0.5) ASSERT_TRUE(std::isfinite(ModelAt(y))) << y;
}

TEST(DeltaTModel, CompletesTheTimeArgumentsOfARecord) {
    DateRecord r;
    std::memset(&r, 0, sizeof(r));
    SetDateRecord(&r, nullptr, 1, 1, 2000, 12.0, kUniversalTime);
    ComputeDeltaTAndNutation(&r, 0.0);
    EXPECT_EQ(+r.centuries, 0.0);
    // Decimal year 2000.0014 (noon of January 1): 63.8285 s and 0.0014/0.25
    // of the way to 63.9075 s.
    EXPECT_NEAR(+r.deltaT * 86400.0, 63.8285 + 0.079 * (0.5 / 366.0) / 0.25, 1e-5);
    EXPECT_DOUBLE_EQ(+r.centuriesTT, r.deltaT / 36525.0);

    SetDateRecord(&r, nullptr, 7, 1, 1850, 0.0, kUniversalTime);
    ComputeDeltaTAndNutation(&r, 65.0);
    EXPECT_EQ(+r.deltaT, 65.0 / 86400.0);
    EXPECT_DOUBLE_EQ(+r.centuriesTT, +r.centuries + 65.0 / 86400.0 / 36525.0);
    ComputeDeltaTAndNutation(nullptr, 0.0);  // nothing to do, no crash
}

TEST(DeltaTModel, DynamicalTimeBackToUniversalTime) {
    // A Julian date meant as TT, 2009 July 21 0h TT, with Delta T 66 s: the
    // record then shows 23:58:54 UT (18:58:54 local at a site 5 h west) on July 20.
    LocationRecord site;
    InitLocationRecord(&site, 1.3, 0.7, 0, 6.5, 0, 10, 50, 2, 0, -5.0, "West");
    DateRecord r;
    std::memset(&r, 0, sizeof(r));
    r.julianDate = JulianDateFromCalendar(7, 21, 2009, 0.0);
    r.deltaT = 66.0 / 86400.0;
    ConvertDateRecordFromDynamicalTime(&site, &r);
    EXPECT_NEAR(+r.julianDate, JulianDateFromCalendar(7, 21, 2009, 0.0) - 66.0 / 86400.0, 1e-9);
    EXPECT_EQ(r.day, 20);
    EXPECT_NEAR(+r.localHours, 19.0 - 66.0 / 3600.0, 1e-5);
    EXPECT_NEAR(+r.universalHours, 24.0 - 66.0 / 3600.0, 1e-5);

    DateRecord untouched = r;
    ConvertDateRecordFromDynamicalTime(nullptr, &r);
    EXPECT_EQ(std::memcmp(&untouched, &r, sizeof(r)), 0);
}

}  // namespace
