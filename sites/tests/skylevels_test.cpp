// Tests of the sky levels and Bortle classes: the rows the sky-brightness
// pages open on, the caps, refused text, and the describing functions.
#include "sites/skylevels.h"

#include <gtest/gtest.h>

#include <cstring>

#include "astro/astroformulas.h"
#include "photometry/skybright.h"

namespace {

TEST(SkyLevels, RowsThePagesOpenOn) {
    EXPECT_EQ(2, SkyLevelRowForLimit(4.6));   // Suburban
    EXPECT_EQ(0, SkyLevelRowForLimit(4.65));  // Specify Value
    EXPECT_EQ(4, SkyLevelRowForLimit(7.0));
    EXPECT_EQ(2, BortleRowForBrightness(21.545));
    EXPECT_EQ(0, BortleRowForBrightness(21.53));
    EXPECT_EQ(9, BortleRowForBrightness(16.9));
}

TEST(SkyLevels, TypedValuesAreCappedAndBadTextRefused) {
    LocationRecord site;
    std::memset(&site, 0, sizeof site);
    site.nakedEyeLimit = 6.0;
    site.skyBrightness = 21.0;

    ASSERT_EQ(1, ApplyTypedNakedEyeLimit(&site, "9.5"));
    EXPECT_EQ(8.0, site.nakedEyeLimit);
    EXPECT_DOUBLE_EQ(ComputeSkyBrightnessFromLimit(8.0), site.skyBrightness);

    ASSERT_EQ(1, ApplyTypedSkyBrightness(&site, "25", 0));
    EXPECT_EQ(23.0, site.skyBrightness);
    EXPECT_DOUBLE_EQ(ComputeNakedEyeLimit(23.0), site.nakedEyeLimit);

    // Per square arcminute: 21.0 mag/arcsec^2 is 21.0 - 2.5 log10(3600) per arcmin^2.
    double perArcmin = SurfaceBrightnessArcsecToArcmin(21.0);
    EXPECT_NEAR(21.0 - 8.890756, perArcmin, 1e-6);
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", perArcmin);
    ASSERT_EQ(1, ApplyTypedSkyBrightness(&site, text, 1));
    EXPECT_NEAR(21.0, site.skyBrightness, 1e-5);

    LocationRecord before = site;
    for (const char *bad : {"", "  ", "abc", "bright", "5,5"}) {
        EXPECT_EQ(0, ApplyTypedNakedEyeLimit(&site, bad)) << bad;
        EXPECT_EQ(0, ApplyTypedSkyBrightness(&site, bad, 0)) << bad;
        EXPECT_EQ(0, std::memcmp(&before, &site, sizeof site)) << bad;
    }
}

TEST(SkyLevels, DescriptionsAndBortleClasses) {
    struct Case {
        double limit;
        const char *text;
    } cases[] = {{3.99, "heavy"}, {4.0, "moderate"}, {5.19, "moderate"}, {5.2, "little"},
                 {6.59, "little"}, {6.6, "none"}};
    for (const Case &c : cases) EXPECT_STREQ(c.text, DescribeLightPollution(c.limit)) << c.limit;
    EXPECT_EQ(1, GetBortleClassForBrightness(21.85));
    EXPECT_EQ(2, GetBortleClassForBrightness(21.7));
    EXPECT_EQ(5, GetBortleClassForBrightness(19.5));
    EXPECT_EQ(9, GetBortleClassForBrightness(16.0));
}

}  // namespace
