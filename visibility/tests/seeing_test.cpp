// Tests of the seeing ratings, star image sizes, sky conditions and band sky
// conditions.
#include "visibility/seeing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "astro/sunmoon.h"
#include "visibility/bandconditions.h"
#include "visibility/extinction.h"
#include "visibility/skycondition.h"
#include "visibility/skymodel.h"

namespace {

const double kPi = 3.14159265358979323846;
const double kDeg = kPi / 180.0;

TEST(SeeingRating, TablesAndClamping) {
    const double seeing[5] = {0.3, 0.75, 1.5, 3.0, 5.0};
    const char *names[5] = {"Excellent", "Good", "Average", "Poor", "Bad"};
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(GetSeeingForRating(r), seeing[r]);
        EXPECT_STREQ(GetSeeingRatingName(r), names[r]);
        // On the main road: a site record takes its seeing from the rating.
        LocationRecord site;
        ASSERT_EQ(InitLocationRecord(&site, 0.0, 0.8, 100.0, 6.5, 0.0, 10.0, 50.0, r, 0.0, 0.0, "S"),
                  1);
        double stored = site.seeing;
        EXPECT_EQ(stored, seeing[r]);
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

TEST(SkyConditionText, NamesAndPhrases) {
    char name[16], phrase[21];
    const char *names[9] = {"Below horizon", "Daylight",  "Br. twilight",   "Twilight",  "Some twilight",
                            "Br. moonlight", "Moonlight", "Some moonlight", "Fully dark"};
    for (int c = 0; c < 9; ++c) {
        EXPECT_STREQ(GetSkyConditionName(name, c), names[c]);
        EXPECT_EQ(GetSkyConditionPhrase(phrase, c), phrase);
    }
    EXPECT_STREQ(GetSkyConditionPhrase(phrase, 5), "in bright moonlight");  // 19 + NUL
    EXPECT_STREQ(GetSkyConditionName(name, 9), "Below horizon");
    EXPECT_STREQ(GetSkyConditionName(name, -1), "Below horizon");
    EXPECT_STREQ(GetSkyConditionPhrase(phrase, 9), "not applicable");
    EXPECT_STREQ(GetSkyConditionPhrase(phrase, -1), "not applicable");
}

struct Place {
    LocationRecord site;
    DateRecord date;
    Place(double latitudeDeg, double julianDate, double elevation = 0.0) {
        InitLocationRecord(&site, 0.0, latitudeDeg * kDeg, elevation, 6.5, 0.0, 10.0, 50.0, 2, 0.0,
                           0.0, "Site");
        std::memset(&date, 0, sizeof(date));
        date.julianDate = julianDate;
        SetDateRecordFromJulianDate(&site, &date);
        ComputeDeltaTAndNutation(&date, 0.0);
        ComputeSiderealTimes(&site, &date);
    }
    int AtZenith() {
        return ClassifySkyCondition(&site, &date, date.localApparentSidereal, site.latitude);
    }
};

TEST(SkyCondition, GradesThroughADay) {
    // 2023 January 22, Greenwich meridian, latitude 0: new Moon the evening
    // before (January 21, 20:53 UT), so the Moon stays close to the Sun.
    Place midnight(0.0, 2459966.5);
    EXPECT_EQ(midnight.AtZenith(), kSkyFullyDark);
    Place noon(0.0, 2459967.0);
    EXPECT_EQ(noon.AtZenith(), kSkyDaylight);
    // About 18:35 UT the Sun is some 8 degrees down: twilight grades.
    Place dusk(0.0, 2459966.5 + 18.58 / 24.0);
    int c = dusk.AtZenith();
    EXPECT_TRUE(c == kSkyBrightTwilight || c == kSkyTwilight) << c;
    // Full Moon (2023 February 5, 18:28 UT) near the meridian at 0 h UT on the
    // 6th: a target 10 degrees from the Moon is in (bright) moonlight, and the
    // Moon, not the Sun, sets the grade.
    Place fullMoon(0.0, 2459981.5);
    SunMoonState s;
    ComputeSunMoonState(&fullMoon.site, fullMoon.date.julianDate, 0.0, kNoTarget, &s, 0);
    ASSERT_GT(s.moonAltitude, 40.0 * kDeg);
    c = ClassifySkyCondition(&fullMoon.site, &fullMoon.date, s.moonRightAscension,
                             s.moonDeclination + 10.0 * kDeg);
    EXPECT_TRUE(c == kSkyBrightMoonlight || c == kSkyMoonlight) << c;
}

TEST(SkyCondition, BelowTheHorizonDip) {
    Place high(45.0, 2459966.5, 2000.0);
    ASSERT_LT(high.site.horizonDip, 0.0);
    // The nadir and a place just below the dip.
    EXPECT_EQ(ClassifySkyCondition(&high.site, &high.date, high.date.localApparentSidereal + kPi,
                                   -high.site.latitude),
              kSkyBelowHorizon);
    // On the meridian below the pole, at declination d the altitude is
    // lat + d - 90 (here refraction would lift it, so go 2 degrees lower).
    double dec = kPi / 2 - high.site.latitude + high.site.horizonDip - 2.0 * kDeg;
    EXPECT_EQ(ClassifySkyCondition(&high.site, &high.date, high.date.localApparentSidereal + kPi, dec),
              kSkyBelowHorizon);
    EXPECT_EQ(ClassifySkyCondition(nullptr, &high.date, 0.0, 0.0), kSkyBelowHorizon);
}

TEST(BandSkyConditions, GeometryGiven) {
    Place p(35.0, 2459966.5, 500.0);
    const double e[5] = {0, 0, 0, 0, 0};
    double k[5], ext[5], size[5], flux[5];
    EXPECT_EQ(ComputeBandSkyConditions(&p.site, &p.date, 150.0, kPi, kPi, 30 * kDeg, kPi, kPi, kPi, e,
                                       k, ext, size, flux),
              1);
    double sizes[5];
    ComputeStarImageSizes(p.site.seeing, 1.0 / (std::cos(30 * kDeg) +
                                                0.025 * std::exp(-11 * std::cos(30 * kDeg))),
                          150.0, sizes);
    double v = 0;
    ModelSkyBrightness(p.date.year, kPi, kPi, 30 * kDeg, kPi, kPi, kPi, k[2], 0.0, &v);
    EXPECT_DOUBLE_EQ(flux[2], v);
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(size[i], sizes[i], 1e-9);
        EXPECT_GT(ext[i], k[i]);  // more than one air mass at 30 degrees
    }
}

TEST(BandSkyConditions, AtTransitUsesTheSeasonOfMidnightCulmination) {
    LocationRecord site;
    InitLocationRecord(&site, 0.0, 40.0 * kDeg, 300.0, 6.5, 0.0, 25.0, 70.0, 4, 0.0, 0.0, "S");
    const double e[5] = {0, 0, 0, 0, 0};
    double k[5], ext[5], size[5], flux[5];
    // RA 16 h culminates at midnight in early June: season angle 90 deg, as month 6.
    EXPECT_EQ(ComputeBandSkyConditionsAtTransit(&site, 100.0, 16.0 * kPi / 12.0, 40.0 * kDeg, e, k,
                                                ext, size, flux, 1),
              1);
    EXPECT_NEAR(k[2], ComputeVisualExtinction(6, 0.0, 20.0, site.latitude, site.elevation), 1e-9);
    double best[5];
    ComputeBestStarImageSizes(100.0, best);  // target at the zenith: air mass ~1
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(size[i], best[i], 1e-5);
    // The site's own weather and seeing without the ideal flag.
    ComputeBandSkyConditionsAtTransit(&site, 100.0, 16.0 * kPi / 12.0, 40.0 * kDeg, e, k, ext, size,
                                      flux, 0);
    EXPECT_NEAR(k[2], ComputeVisualExtinction(6, 25.0, 70.0, site.latitude, site.elevation), 1e-9);
    EXPECT_GT(size[2], 4.9);
    // A moonless night sky at the zenith is dark.
    for (int i = 0; i < 5; ++i) {
        EXPECT_GT(flux[i], 0.0);
        EXPECT_TRUE(std::isfinite(flux[i]));
    }
}

}  // namespace
