// The chart label lists: what is stored, what is refused, and the angle's
// tenths of a degree.
#include "charts/chartlabels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/mathutil.h"

namespace {

struct Lists {
    ChartLabelLists l{};
    ~Lists() {
        for (int i = 0; i < kChartLabelListCount; i++) ClearChartLabelList(&l, i);
    }
};

TEST(ChartLabels, StoredFieldsReadBack) {
    Lists lists;
    EXPECT_TRUE(IsChartLabelListEmpty(&lists.l, 7));
    EXPECT_EQ(AddChartLabel(&lists.l, 7, "M 31", -120, 32767, -5, 12, 0.5, 1), 1);
    EXPECT_EQ(AddChartLabel(&lists.l, 7, "NGC 224", 3, -32767, 300, 127, 0, 0), 2);
    EXPECT_FALSE(IsChartLabelListEmpty(&lists.l, 7));
    char text[33];
    int x, y, value, kind, angle, highlight;
    ASSERT_EQ(GetChartLabel(&lists.l, 7, text, &x, &y, &value, &kind, &angle, &highlight, 0), 1);
    EXPECT_STREQ(text, "M 31");
    EXPECT_EQ(x, -120);
    EXPECT_EQ(y, 32767);
    EXPECT_EQ(value, -5);
    EXPECT_EQ(kind, 12);
    EXPECT_EQ(angle, 286);  // 0.5 rad = 28.648 deg
    EXPECT_EQ(highlight, 1);
    ASSERT_EQ(GetChartLabel(&lists.l, 7, text, &x, &y, &value, &kind, &angle, &highlight, 1), 1);
    EXPECT_EQ(y, -32767);
    EXPECT_EQ(kind, 127);
    EXPECT_EQ(highlight, 0);
    EXPECT_EQ(GetChartLabel(&lists.l, 7, text, &x, &y, &value, &kind, &angle, &highlight, 2), 0);
    EXPECT_EQ(GetChartLabel(&lists.l, 7, text, &x, &y, &value, &kind, &angle, &highlight, -1), 0);
    EXPECT_EQ(GetChartLabel(nullptr, 7, text, &x, &y, &value, &kind, &angle, &highlight, 0), -1);
    EXPECT_EQ(ClearChartLabelList(&lists.l, 7), 1);
    EXPECT_TRUE(IsChartLabelListEmpty(&lists.l, 7));
    EXPECT_EQ(GetChartLabel(&lists.l, 7, text, &x, &y, &value, &kind, &angle, &highlight, 0), 0);
}

TEST(ChartLabels, OutOfRangeLabelsAreRefused) {
    Lists lists;
    const std::string k32(32, 'a'), k33(33, 'a');
    struct Case {
        const char *what;
        int list;
        const char *text;
        int x, y, expect;
    } cases[] = {
        {"32 characters", 0, k32.c_str(), 0, 0, 1},
        {"33 characters", 0, k33.c_str(), 0, 0, -1},
        {"x 32768", 0, "a", 32768, 0, -1},
        {"x -32768", 0, "a", -32768, 0, -1},
        {"y 32768", 0, "a", 0, 32768, -1},
        {"list 40", 40, "a", 0, 0, -1},
        {"list -1", -1, "a", 0, 0, -1},
        {"after refusals", 0, "b", 0, 0, 2},
    };
    for (const Case &c : cases)
        EXPECT_EQ(AddChartLabel(&lists.l, c.list, c.text, c.x, c.y, 0, 0, 0, 0), c.expect) << c.what;
    char text[33];
    ASSERT_EQ(GetChartLabel(&lists.l, 0, text, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0), 1);
    EXPECT_EQ(std::string(text), k32);
    EXPECT_EQ(AddChartLabel(nullptr, 0, "a", 0, 0, 0, 0, 0, 0), -1);
}

TEST(ChartLabels, AnglesAreStoredInTenthsOfADegreeWithinATurn) {
    struct Case {
        double radians;
        int tenths;
    } cases[] = {
        {-kPi / 2, 2700}, {2 * kPi, 3600}, {0, 0},          {kPi, 1800},
        {-2 * kPi - 0.1, 3543},  // -0.1 rad once more round: 354.27 deg
        {4 * kPi, 0},     {100.0, 3296},  // 100 rad = 15 turns + 5.7522 rad = 329.58 deg
        {0.05 * kPi / 180, 1},  // 0.05 deg: half away from zero
    };
    for (const Case &c : cases) {
        Lists lists;
        ASSERT_EQ(AddChartLabel(&lists.l, 3, "x", 0, 0, 0, 0, c.radians, 0), 1);
        int angle = -1;
        GetChartLabel(&lists.l, 3, nullptr, nullptr, nullptr, nullptr, nullptr, &angle, nullptr, 0);
        EXPECT_EQ(angle, c.tenths) << c.radians;
    }
}

}  // namespace
