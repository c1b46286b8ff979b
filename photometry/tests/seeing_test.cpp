// Tests of the seeing ratings and star image sizes.
#include "photometry/seeing.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/mathutil.h"

namespace {

TEST(SeeingRating, TablesAndClamping) {
    const double seeing[5] = {0.3, 0.75, 1.5, 3.0, 5.0};
    const char *names[5] = {"Excellent", "Good", "Average", "Poor", "Bad"};
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(GetSeeingForRating(r), seeing[r]);
        EXPECT_STREQ(GetSeeingRatingName(r), names[r]);
    }
    // A damaged stored rating stays inside the tables.
    EXPECT_EQ(GetSeeingForRating(-1), 0.3);
    EXPECT_EQ(GetSeeingForRating(255), 5.0);
    EXPECT_STREQ(GetSeeingRatingName(-7), "Excellent");
    EXPECT_STREQ(GetSeeingRatingName(9), "Bad");
}

TEST(SeeingRating, RateSeeingBounds) {
    struct Case {
        double seeing;
        const char *name;
    } cases[] = {{0.0, "Excellent"}, {0.39, "Excellent"}, {0.4, "Good"},    {1.0, "Good"},
                 {1.01, "Average"},  {2.5, "Average"},    {2.51, "Poor"},   {4.0, "Poor"},
                 {4.01, "Bad"},      {30.0, "Bad"}};
    for (const Case &c : cases) EXPECT_STREQ(RateSeeing(c.seeing), c.name) << c.seeing;
}

TEST(StarImageSize, DiffractionAndSeeingLimits) {
    double size[5];
    // Seeing 0: sqrt(5.54) lambda / D; V at 100 mm: 2.67".
    ComputeStarImageSizes(0.0, 1.0, 100.0, size);
    EXPECT_NEAR(size[2], 2.67, 0.005);
    EXPECT_NEAR(size[2], std::sqrt(5.54) * 0.55e-6 / 0.1 * 206264.806, 1e-6);
    EXPECT_NEAR(size[0] / size[4], 0.365 / 0.9, 1e-12);  // diffraction goes as lambda
    // A huge aperture leaves the seeing: s X^0.6 (lambda / 0.55)^-0.2.
    ComputeStarImageSizes(2.0, 2.0, 1e9, size);
    EXPECT_NEAR(size[2], 2.0 * std::pow(2.0, 0.6), 1e-6);
    EXPECT_NEAR(size[0], 2.0 * std::pow(2.0, 0.6) * std::pow(0.365 / 0.55, -0.2), 1e-6);
    // Best sizes: 0.3" at the zenith.
    double best[5], same[5];
    ComputeBestStarImageSizes(200.0, best);
    ComputeStarImageSizes(0.3, 1.0, 200.0, same);
    for (int i = 0; i < 5; ++i) EXPECT_DOUBLE_EQ(best[i], same[i]);
    // No aperture: the eye pupil, finite sizes.
    double none[5], pupil[5];
    ComputeStarImageSizes(1.5, 1.0, 0.0, none);
    ComputeStarImageSizes(1.5, 1.0, kDefaultApertureMm, pupil);
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(std::isfinite(none[i]));
        EXPECT_DOUBLE_EQ(none[i], pupil[i]);
    }
    // One wavelength, five equal slots, with the rounded radian constant.
    double one[5];
    ComputeStarImageSizeAtWavelength(0.55, 0.0, 1.0, 100.0, one);
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(one[i], 2.67 * 206208.0 / 206264.806, 0.005);
    EXPECT_NEAR(one[0], std::sqrt(5.54) * 0.55e-6 / 0.1 * 206208.0, 1e-6);
}

}  // namespace
