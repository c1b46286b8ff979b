// Tests of the double-star split rating: its branches on hand-worked pairs,
// the classification edges and the texts.
#include "instruments/splitrating.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "instruments/instrumentrecord.h"

TEST(SplitRating, ClassifiesAtTheTableEdges) {
    const struct {
        double value;
        int row;
    } cases[] = {{0.0, 0},  {-3.0, 1}, {-1.5001, 1}, {-1.5, 2}, {-0.5001, 2}, {-0.5, 3},
                 {0.99, 3}, {1.0, 4},  {1.1, 4},     {1.1001, 5}, {1.5, 5},  {2.0, 6},
                 {2.5, 7},  {4.0, 8},  {4.01, 9},    {NAN, 0}};
    for (const auto &c : cases) EXPECT_EQ(ClassifySplitRating(c.value), c.row) << c.value;
    EXPECT_STREQ(GetSplitRatingTextForValue(0.0), "N/A");
    EXPECT_STREQ(GetSplitRatingTextForValue(-1.0), "limited by seeing");
    EXPECT_STREQ(GetSplitRatingTextForValue(5.0), "obvious split");
    EXPECT_STREQ(GetSplitRatingText(4), "very challenging split");
    EXPECT_STREQ(GetSplitRatingText(9), "obvious split");
    // Rows outside the table give an empty text rather than reading past it.
    EXPECT_STREQ(GetSplitRatingText(10), "");
    EXPECT_STREQ(GetSplitRatingText(-1), "");
}

TEST(SplitRating, RatesEachBranch) {
    const struct {
        const char *what;
        int kind;
        double aperture, seeing, separation, m1, m2, airMass, quality, rating;
    } cases[] = {
        {"no magnitude", kOpticsReflector, 100, 1, 2, 99.9, 5, 1, 1, 0.0},
        {"no separation", kOpticsReflector, 100, 1, 0, 5, 6, 1, 1, 0.0},
        // Faint pair: Dawes' limit 116 / 100 = 1.16", r = 2.32 / 1.16 = 2.
        {"Dawes equal", kOpticsReflector, 100, 0.5, 2.32, 9.5, 9.5, 1, 1, 2.0},
        // One magnitude apart: (1 - 0.08712) x 2.
        {"Dawes unequal", kOpticsReflector, 100, 0.5, 2.32, 9.5, 10.5, 1, 1, 1.82576},
        // Quality 0.5 takes off 5 %.
        {"Dawes quality", kOpticsReflector, 100, 0.5, 2.32, 9.5, 9.5, 1, 0.5, 1.9},
        {"Dawes, dm > 3 and d < 4", kOpticsReflector, 100, 0.5, 3.9, 9.5, 12.6, 1, 1, 0.0},
        // Bright pair 0.1 mag apart: limit 1.033 x 116 / 116 = 1.033", r = 2.066 / 1.033.
        {"resolution", kOpticsReflector, 116, 0.5, 2.066, 5.1, 5.0, 1, 1, 2.0},
        // 1" pair under a 2" seeing disc would split (r > 1) but the seeing forbids it.
        {"seeing", kOpticsReflector, 300, 2, 1, 9.5, 9.5, 1, 1, -1.0},
    };
    for (const auto &c : cases) {
        EXPECT_NEAR(RateDoubleStarSplit(c.kind, c.aperture, c.seeing, c.separation, c.m1, c.m2,
                                        c.airMass, c.quality),
                    c.rating, 1e-9)
            << c.what;
    }
    // The Schmidt-Cassegrain's obstruction term widens the limit of a bright
    // unequal pair, so the same pair rates lower.
    const double open = RateDoubleStarSplit(kOpticsRefractor, 200, 1, 3, 4, 7, 1, 1);
    const double sct = RateDoubleStarSplit(kOpticsSchmidtCassegrain, 200, 1, 3, 4, 7, 1, 1);
    EXPECT_GT(open, 0.0);
    EXPECT_LT(sct, open);
}

TEST(SplitRating, ResolutionLimitOfEqualPairIsNearDawes) {
    // |m1 - m2| = 0.1 makes the exponent 0: 1.033 x Dawes' limit.
    EXPECT_NEAR(ComputePairResolutionLimit(550, 200, 0, 1, 6.0, 6.1), 1.033 * 0.58, 1e-12);
    // h = 2^(2.4 - 1) , l = 4, q = 2^(2.3 - 8 x 1 x 150 / 550): dm 2.1 raises by 10^(2 / sum).
    const double h = std::pow(2.0, 1.4), l = 4.0, q = std::pow(2.0, 2.3 - 1200.0 / 550.0);
    EXPECT_NEAR(ComputePairResolutionLimit(550, 150, 0, 1, 4.0, 6.1),
                std::pow(10.0, 2.0 / (h + l + q)) * 1.033 * 116.0 / 150.0, 1e-12);
    EXPECT_EQ(ComputePairResolutionLimit(550, 0, 0, 1, 4, 5), 0.0);
}
