// Tests of the sky conditions and band sky conditions of a site and time, and
// of the seeing a site record takes from its rating.
#include "visibility/skycondition.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "ephem/sunmoon.h"
#include "visibility/bandconditions.h"
#include "photometry/extinction.h"
#include "photometry/seeing.h"
#include "photometry/skymodel.h"
#include "core/mathutil.h"

namespace {

const double kDeg = kPi / 180.0;

TEST(SiteSeeing, TakenFromTheRating) {
    const double seeing[5] = {0.3, 0.75, 1.5, 3.0, 5.0};
    for (int r = 0; r < 5; ++r) {
        LocationRecord site;
        ASSERT_EQ(InitLocationRecord(&site, 0.0, 0.8, 100.0, 6.5, 0.0, 10.0, 50.0, r, 0.0, 0.0, "S"),
                  1);
        double stored = site.seeing;
        EXPECT_EQ(stored, seeing[r]);
    }
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
