// Tests of the atlas chart finders: one table per atlas with the layout's
// zone boundaries and the hours 0, 8, 16, 24, plus range properties.
#include "astro/atlascharts.h"
#include "core/mathutil.h"

#include <gtest/gtest.h>

namespace {

double Ra(double hours) { return hours * kPi / 12.0; }
double Dec(double degrees) { return degrees * kPi / 180.0; }

TEST(ThreeVolumeAtlas, LayoutCases) {
    struct Case {
        double h, d;
        int volume, chart;
    } cases[] = {
        {0, 90, 0, 2},        // north celestial pole
        {10, 88, 0, 1},       // polar cap, 5 h..15 h half
        {20, 88, 0, 2},       // polar cap taken at 0 h
        {0, 0, 0, 270},       // first equatorial chart of volume 0
        {8, 0, 0, 247},       // 8 h stays in volume 0 (taken as 7.99 h)
        {8.5, 0, 1, 516 + 270 - 1},
        {16, 0, 1, 516 + 247},
        {16.01, 0, 2, 1032 + 270},
        {24, 0, 0, 270},      // 24 h is 0 h
        {0, -2.9, 0, 270},    // the band from -3 to +3 is one zone
        {0, 3, 0, 246},       // zone 3..9 begins at 3
        {0, -3, 0, 294},      // its southern mirror
        {0, 2.999, 0, 270},
        {0, 87, 0, 2},        // 87 itself belongs to the polar zone
        {0, 86.9, 0, 6},      // just below it: the 81..87 zone
        {1, 45, 0, 86 - 2},   // 24 minutes per chart: 1 h -> P = 2
        {0, -90, 0, 516},
        {23.99, 60, 2, 1032 + 50 - 13},  // 7.99 h into volume 2 at 240/7 minutes: P = 13
    };
    for (const Case &c : cases) {
        int volume = -1, chart = -1;
        EXPECT_EQ(FindChartInThreeVolumeAtlas(Ra(c.h), Dec(c.d), &volume, &chart), 1);
        EXPECT_EQ(volume, c.volume) << c.h << " h " << c.d << " deg";
        EXPECT_EQ(chart, c.chart) << c.h << " h " << c.d << " deg";
    }
}

TEST(ThreeVolumeAtlas, EveryPlaceGetsAChartOfItsVolume) {
    for (double h = -1.0; h <= 25.0; h += 0.05) {
        for (double d = -90.0; d <= 90.0; d += 0.25) {
            int volume = -1, chart = -1;
            FindChartInThreeVolumeAtlas(Ra(h), Dec(d), &volume, &chart);
            ASSERT_GE(volume, 0);
            ASSERT_LE(volume, 2);
            ASSERT_GE(chart, 1) << h << " " << d;
            ASSERT_LE(chart, 1548) << h << " " << d;
            ASSERT_GT(chart, 516 * volume) << h << " " << d;
            ASSERT_LE(chart, 516 * (volume + 1)) << h << " " << d;
        }
    }
}

TEST(TwentySixChartAtlas, LayoutCases) {
    struct Case {
        double h, d;
        int chart;
    } cases[] = {
        {0, 0, 17},   {3, 0, 10},    {0, 60, 1},    {0, -60, 24},   {24, 0, 17},  {24, 60, 1},
        {24, 30, 4},  {24, -60, 24}, {23.9, 30, 9}, {23.9, -30, 23}, {8, 52, 2},  {16, -52, 26},
        {21.5, 0, 17}, {2.5, 18.4, 10}, {0, 18.5, 4}, {-0.1, 60, 3},
    };
    for (const Case &c : cases) {
        int chart = -1;
        EXPECT_EQ(FindChartInTwentySixChartAtlas(Ra(c.h), Dec(c.d), &chart), 1);
        EXPECT_EQ(chart, c.chart) << c.h << " h " << c.d << " deg";
    }
    for (double h = -1.0; h <= 25.0; h += 0.1)
        for (double d = -90.0; d <= 90.0; d += 1.0) {
            int chart = -1;
            FindChartInTwentySixChartAtlas(Ra(h), Dec(d), &chart);
            ASSERT_GE(chart, 1);
            ASSERT_LE(chart, 26);
        }
}

TEST(TwoVolumeAtlas, LayoutCases) {
    struct Case {
        double h, d;
        int volume, chart;
    } cases[] = {
        {23.7, 55, 1, 35}, {23.8, -35, 2, 350}, {0, 0, 3, 215},  {24, 0, 3, 215},
        {24, 85, 1, 1},    {24, -85, 2, 473},   {12, 85, 1, 2},  {12, -85, 2, 472},
        {0, 80, 1, 3},     {0, -80, 2, 460},    {24, 80, 1, 3},  {1, 5.5, 1, 172},
        {0, 5.4, 3, 215},  {8, 0, 3, 230},      {16, 50, 1, 51}, {23.9, 10, 1, 170},
    };
    for (const Case &c : cases) {
        int volume = -1, chart = -1;
        EXPECT_EQ(FindChartInTwoVolumeAtlas(Ra(c.h), Dec(c.d), &volume, &chart), 1);
        EXPECT_EQ(volume, c.volume) << c.h << " h " << c.d << " deg";
        EXPECT_EQ(chart, c.chart) << c.h << " h " << c.d << " deg";
    }
    for (double h = -1.0; h <= 25.0; h += 0.1)
        for (double d = -90.0; d <= 90.0; d += 0.5) {
            int volume = -1, chart = -1;
            FindChartInTwoVolumeAtlas(Ra(h), Dec(d), &volume, &chart);
            ASSERT_GE(chart, 1);
            ASSERT_LE(chart, 473);
        }
}

TEST(ZoneTableAtlas, LayoutCases) {
    struct Case {
        double h, d;
        int chart;
    } cases[] = {
        {0, 90, 1},   {0, -90, 220}, {24.5, 0, 0},  {0, 91, 0},    {-0.5, 0, 0},
        {0, 0, 101},  {24, 0, 101},  {0.5, 0, 101}, {0.7, 0, 120}, {12, 0, 111},
        {0, 84.5, 1}, {0, 84.4, 2},  {0, 5.5, 81},  {0, -84.5, 214}, {8, 20, 75},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FindChartByZoneTable(Ra(c.h), Dec(c.d)), c.chart) << c.h << " h " << c.d << " deg";
}

TEST(SectorAtlases, LayoutCases) {
    struct Case {
        double h, d;
        int six, eighteen, eight;
    } cases[] = {
        {0, 0, 3, 3 + 36, 5},    {24, 0, 3, 3 + 36, 5},     {0, -10, 4, 3 + 36, 7},
        {0, 60, 2, 3, 1},        {0, -60, 15, 3 + 72, 10},  {12, 80, 1, 1, 41},
        {12, -80, 16, 94, 50},   {4, 20, 13, 3 + 15 + 18, 15}, {2, 30, 3, 3 + 17 + 18, 2},
        {1.5, 0, 3, 3 + 17 + 36, 5}, {-0.5, 0, 3, 3 + 0 + 36, 74},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(FindChartInSixSectorAtlas(Ra(c.h), Dec(c.d)), c.six) << c.h << " " << c.d;
        EXPECT_EQ(FindChartInEighteenSectorAtlas(Ra(c.h), Dec(c.d)), c.eighteen) << c.h << " " << c.d;
        EXPECT_EQ(FindChartInEightSectorAtlas(Ra(c.h), Dec(c.d)), c.eight) << c.h << " " << c.d;
    }
    for (double h = -1.0; h <= 25.0; h += 0.1)
        for (double d = -90.0; d <= 90.0; d += 1.0) {
            int six = FindChartInSixSectorAtlas(Ra(h), Dec(d));
            int eighteen = FindChartInEighteenSectorAtlas(Ra(h), Dec(d));
            int eight = FindChartInEightSectorAtlas(Ra(h), Dec(d));
            ASSERT_TRUE(six >= 1 && six <= 16) << h << " " << d;
            ASSERT_TRUE(eighteen >= 1 && eighteen <= 94) << h << " " << d;
            ASSERT_TRUE(eight >= 1 && eight <= 80) << h << " " << d;
        }
    // Eight sectors: +60 and -60 exactly close the sector's column.
    for (int s = 0; s < 8; ++s) {
        EXPECT_EQ(FindChartInEightSectorAtlas(Ra(3.0 * s + 2.0), Dec(60.0)), 10 * s + 1);
        EXPECT_EQ(FindChartInEightSectorAtlas(Ra(3.0 * s + 2.0), Dec(-60.0)), 10 * s + 10);
    }
}

}  // namespace
