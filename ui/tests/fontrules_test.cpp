// Font weight names, point sizes, escapement and the height fitting loop.
#include "ui/fontrules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FontRules, WeightNames) {
    struct Case { int weight, italic; const char *name; } cases[] = {
        {100, 0, "Thin"},   {200, 0, "Extralight"}, {300, 0, "Light"},    {400, 0, ""},
        {500, 0, "Medium"}, {600, 0, "Semibold"},   {700, 0, "Bold"},     {800, 0, "Extrabold"},
        {900, 0, "Black"},  {700, 1, "Bold Italic"}, {400, 1, " Italic"}, {0, 0, ""},
        {649, 0, "Semibold"}, {650, 0, "Bold"},     {1000, 0, "Black"},   {-5, 0, ""},
    };
    for (const Case &c : cases) EXPECT_EQ(std::string(FontWeightName(c.weight, c.italic)), c.name) << c.weight;
}

TEST(FontRules, WeightNameDoesNotKeepThePreviousText) {
    FontWeightName(700, 1);
    EXPECT_STREQ(FontWeightName(420, 0), "");
}

TEST(FontRules, HeightInPoints) {
    EXPECT_EQ(FontHeightPoints(-13, 96), 10);  // 9.75
    EXPECT_EQ(FontHeightPoints(13, 96), 10);
    EXPECT_EQ(FontHeightPoints(-16, 96), 12);
    EXPECT_EQ(FontHeightPoints(-12, 120), 7);  // 7.2
    EXPECT_EQ(FontHeightPoints(-15, 120), 9);  // 9.0
    EXPECT_EQ(FontHeightPoints(-13, 0), 0);
}

TEST(FontRules, EscapementTenths) {
    EXPECT_EQ(EscapementTenths(12.34), 123);
    EXPECT_EQ(EscapementTenths(12.35), 124);   // 123.5 away from zero
    EXPECT_EQ(EscapementTenths(-12.35), -124);
    EXPECT_EQ(EscapementTenths(90.0), 900);
    EXPECT_EQ(EscapementTenths(0.0), 0);
}

TEST(FontRules, FitHeightConvergesOnAProportionalFont) {
    // A font whose average width is half its height: count characters of
    // h/2 fill the width when h = 2 x width / count.
    int calls = 0;
    auto half = [&](int h) { ++calls; return h / 2; };
    EXPECT_EQ(FitHeightToWidth(200, 10, half), 40);
    EXPECT_LE(calls, 3);
}

TEST(FontRules, FitHeightStopsAfterThreePasses) {
    // Average width always 1: each pass multiplies by width / count = 3.
    int calls = 0;
    auto one = [&](int) { ++calls; return 1; };
    EXPECT_EQ(FitHeightToWidth(3, 1, one), 540);  // 20 -> 60 -> 180 -> 540
    EXPECT_EQ(calls, 3);
}

TEST(FontRules, FitHeightGuardsAgainstZeroDivisors) {
    auto zero = [](int) { return 0; };
    EXPECT_EQ(FitHeightToWidth(100, 5, zero), 20);
    auto half = [](int h) { return h / 2; };
    EXPECT_EQ(FitHeightToWidth(100, 0, half), 20);
}

}  // namespace
