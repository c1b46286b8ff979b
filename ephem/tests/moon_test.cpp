// Tests of the Moon's place: the row-combining rule on synthetic rows, the
// series against Meeus' worked example and ERFA, the Earth's shadow, and the
// diurnal parallax routines.
#include "ephem/moon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/frames.h"
#include "ephem/parallax.h"
#include "ephem/planetseries.h"
#include "ephem/tests/ephemfixture.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#endif

namespace {

using namespace ephemtest;

// One longitude row and one latitude row with the given multipliers; the
// other 59 rows of each block carry zero coefficients.
struct Rows {
    LunarSeriesRow first[60];
    LunarLatitudeRow second[60];
    Rows(int d, int m, int mp, int f) {
        for (int i = 0; i < 60; ++i) {
            first[i] = {0, 0, 0, 1, 0, 0};
            second[i] = {0, 0, 0, 1, 0};
        }
        first[0] = {d, m, mp, f, 1, 1};
        second[0] = {d, m, mp, f, 1};
    }
};

TEST(LunarRows, CombiningRule) {
    const double D = 0.7, M = 1.3, Mp = 2.1, F = 0.4, E = 0.99;
    struct Case {
        int d, m, mp, f;
        double sine, cosine;  // expected u and v
    } cases[] = {
        {0, -2, 0, 0, -E * E * std::sin(2 * M), E * E * std::cos(2 * M)},
        {0, 1, 0, 0, E * std::sin(M), E * std::cos(M)},
        {2, 0, -1, 0, std::sin(2 * D - Mp), std::cos(2 * D - Mp)},
        {-4, 0, 0, 3, std::sin(-4 * D + 3 * F), std::cos(-4 * D + 3 * F)},
        {1, -1, 4, -3, E * std::sin(D - M + 4 * Mp - 3 * F), E * std::cos(D - M + 4 * Mp - 3 * F)},
    };
    for (const Case &c : cases) {
        Rows rows(c.d, c.m, c.mp, c.f);
        double sl, sr, sb;
        SumLunarSeries(rows.first, rows.second, D, M, Mp, F, E, &sl, &sr, &sb);
        EXPECT_NEAR(sl, c.sine, 1e-12) << c.d << c.m << c.mp << c.f;
        EXPECT_NEAR(sr, c.cosine, 1e-12) << c.d << c.m << c.mp << c.f;
        EXPECT_NEAR(sb, c.sine, 1e-12) << c.d << c.m << c.mp << c.f;
    }
}

class MoonSeries : public GeneratedTables {};

// Meeus, example 47.a: 1992 April 12, 0h TD: lambda = 133.162655 deg,
// beta = -3.229126 deg, distance 368409.7 km; apparent RA 134.688470 deg,
// Dec 13.768368 deg.
TEST_F(MoonSeries, MeeusExample) {
    LocationRecord site = GeocentreSite();
    DateRecord date = DateAtTT(2448724.5, 59.0, &site);
    BodyRecord moon;
    std::memset(&moon, 0, sizeof moon);
    moon.type = kBodyMoon;
    ASSERT_EQ(ComputeBodyPosition(&date, ComputeEarthHeliocentric(&date), &moon), 1);
    EXPECT_STREQ(moon.name, "Moon");
    EXPECT_NEAR(moon.geocentricLongitude / kDegree, 133.162655, 1e-5);
    EXPECT_NEAR(moon.geocentricLatitude / kDegree, -3.229126, 2e-6);
    EXPECT_NEAR(moon.geocentricDistance, 368409.7, 0.1);
    ComputeBodyTopocentric(&site, &date, &moon);
    EXPECT_NEAR(moon.topocentricRightAscension / kDegree, 134.688470, 2e-5);
    EXPECT_NEAR(moon.topocentricDeclination / kDegree, 13.768368, 2e-5);
    EXPECT_NEAR(moon.topocentricDistance, 368409.7, 0.1);  // no parallax at the centre
}

TEST(MoonAdditiveTerms, AloneAtJ2000) {
    // A moontab whose rows carry no coefficients: at T = 0 the longitude is
    // L' plus the additive terms, the distance 385000.56 km.
    FreeEphemerisData();
    testutil::TempDir dir;
    std::string bytes;
    const int32_t longitudeRow[6] = {0, 0, 0, 1, 0, 0};
    const int32_t latitudeRow[5] = {0, 0, 0, 1, 0};
    for (int i = 0; i < 60; ++i) bytes.append(reinterpret_cast<const char *>(longitudeRow), 24);
    for (int i = 0; i < 60; ++i) bytes.append(reinterpret_cast<const char *>(latitudeRow), 20);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("moontab.bin"), bytes));
    ASSERT_EQ(LoadLunarSeries((dir.path() + "/").c_str()), 1);
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.meanObliquity = 0.4090928;
    BodyRecord moon;
    std::memset(&moon, 0, sizeof moon);
    ASSERT_EQ(ComputeMoonPosition(&date, &moon), 1);
    EXPECT_EQ(+moon.type, kBodyMoon);
    double expected = 218.3164591 + (3958 * std::sin(119.75 * kDegree) +
                                     1962 * std::sin((218.3164591 - 93.2720993) * kDegree) +
                                     318 * std::sin(53.09 * kDegree)) * 1e-6;
    EXPECT_NEAR(moon.geocentricLongitude / kDegree, expected, 1e-10);
    EXPECT_NEAR(moon.geocentricDistance, 385000.56, 1e-9);
    EXPECT_EQ(+moon.topocentricDistance, +moon.geocentricDistance);
    // A row that adds 400 deg sin F: the longitude is left above 2 pi, and
    // one that takes 800 deg sin F away is raised by 2 pi until positive.
    for (int32_t coefficient : {400000000, -800000000}) {
        std::string rows = bytes;
        std::memcpy(&rows[16], &coefficient, 4);
        ASSERT_TRUE(testutil::WriteFileBytes(dir.file("moontab.bin"), rows));
        ASSERT_EQ(LoadLunarSeries((dir.path() + "/").c_str()), 1);
        ASSERT_EQ(ComputeMoonPosition(&date, &moon), 1);
        double raw = expected + coefficient * 1e-6 * std::sin(93.2720993 * kDegree);
        while (raw < 0.0) raw += 360.0;
        EXPECT_NEAR(moon.geocentricLongitude / kDegree, raw, 1e-8) << coefficient;
        EXPECT_GE(+moon.geocentricLongitude, 0.0);
    }
    FreeEphemerisData();
}

TEST_F(MoonSeries, ShadowAtTheAntisolarPoint) {
    LocationRecord site = GeocentreSite();
    DateRecord date = DateAtTT(2451564.5, 64.0, &site);  // 2000 Jan 21, lunar eclipse
    HeliocentricPlace earth = ComputeEarthHeliocentric(&date);
    BodyRecord shadow, sun, moon;
    std::memset(&shadow, 0, sizeof shadow);
    std::memset(&sun, 0, sizeof sun);
    std::memset(&moon, 0, sizeof moon);
    shadow.type = kBodyEarthShadow;
    sun.type = kBodySun;
    moon.type = kBodyMoon;
    ASSERT_EQ(ComputeBodyPosition(&date, earth, &shadow), 1);
    ASSERT_EQ(ComputeBodyPosition(&date, earth, &sun), 1);
    ASSERT_EQ(ComputeBodyPosition(&date, earth, &moon), 1);
    EXPECT_STREQ(shadow.name, "Earth Shadow");
    EXPECT_NEAR(DegreesDiff(shadow.geocentricLongitude, sun.geocentricLongitude + kPi), 0.0, 1e-9);
    EXPECT_DOUBLE_EQ(shadow.geocentricLatitude, -sun.geocentricLatitude);
    EXPECT_DOUBLE_EQ(shadow.geocentricDistance, moon.geocentricDistance);
    // Umbra radius near 0.7 deg at a mean distance (Meeus, ch. 54: the
    // umbra's radius at the Moon is about 2.7 lunar radii).
    double umbra = shadow.equatorialDiameter / 2.0, penumbra = shadow.polarDiameter / 2.0;
    double moonRadius = std::asin(1737.4 / moon.geocentricDistance);
    EXPECT_NEAR(umbra / moonRadius, 2.7, 0.15);
    EXPECT_NEAR(penumbra - umbra, 2.0 * 1.02 * 0.004652417528, 1e-12);
}

TEST(ShadowRadii, FromTheParallaxes) {
    double umbra, penumbra;
    ComputeEarthShadowRadii(1.0, 384400.0 * 6.684587153547039e-9, 0.004652417528, &umbra, &penumbra);
    double pm = 0.99834 * std::asin(4.263521265e-5 / (384400.0 * 6.684587153547039e-9));
    double ps = std::asin(4.263521265e-5);
    EXPECT_NEAR(umbra, 1.02 * (pm + ps - 0.004652417528), 1e-15);
    EXPECT_NEAR(penumbra, 1.02 * (pm + ps + 0.004652417528), 1e-15);
    // The umbra's radius at the Moon's mean distance: about 0.70 deg (42',
    // the geometric shadow enlarged by 2% for the atmosphere; Meeus, ch. 54).
    EXPECT_NEAR(umbra / kDegree, 0.70, 0.007);
}

#ifdef GLEANER_HAVE_ERFA
// Geocentric place of the Moon against eraMoon98 (ecliptic of date via
// eraPmat76 and the mean obliquity), 1950-2050.
TEST_F(MoonSeries, AgreesWithErfa) {
    LocationRecord site = GeocentreSite();
    double worst = 0.0, worstKm = 0.0;
    for (double day = -18262.0; day <= 18262.0; day += 401.3) {
        double jde = 2451545.0 + day;
        DateRecord date = DateAtTT(jde, 64.0, &site);
        BodyRecord moon;
        std::memset(&moon, 0, sizeof moon);
        moon.type = kBodyMoon;
        ASSERT_EQ(ComputeMoonPosition(&date, &moon), 1);
        double pv[2][3], pmat[3][3], p[3], ra, dec;
        eraMoon98(jde, 0.0, pv);
        eraPmat76(jde, 0.0, pmat);
        eraRxp(pmat, pv[0], p);
        eraC2s(p, &ra, &dec);
        double sep = eraSeps(ra, dec, moon.geocentricRightAscension, moon.geocentricDeclination);
        worst = std::fmax(worst, sep / kArcsecond);
        worstKm = std::fmax(worstKm, std::fabs(moon.geocentricDistance - eraPm(p) * 149597870.7));
        EXPECT_LT(sep / kArcsecond, 30.0) << day;
    }
    EXPECT_LT(worstKm, 40.0);
    std::printf("Moon against eraMoon98, 1950-2050: %.1f\", %.1f km\n", worst, worstKm);
}
#endif

// ---- diurnal parallax ----

LocationRecord Site(double longitudeWestDeg, double latitudeDeg, double elevation) {
    LocationRecord site;
    InitLocationRecord(&site, longitudeWestDeg * kDegree, latitudeDeg * kDegree, elevation, 6.5, 0.0,
                       10.0, 50.0, 2, 0.0, 0.0, "Site");
    return site;
}

TEST(Parallax, SwitchAtFiveHundredthsOfAnAU) {
    LocationRecord site = Site(70.0, 40.0, 0.0);
    DateRecord date = DateAtTT(2455000.3, 66.0, &site);
    for (double d : {0.05, 0.0500001}) {
        double ra = 1.0, dec = 0.2, raR = 1.0, decR = 0.2, raA = 1.0, decA = 0.2;
        ApplyPlanetParallax(&site, &date, d, &ra, &dec);
        ApplyParallaxRigorous(&site, &date, std::sin(4.2634515e-5 / d), &raR, &decR);
        ApplyParallaxApproximate(&site, &date, d, &raA, &decA);
        bool rigorous = d <= 0.05;
        EXPECT_EQ(ra, rigorous ? raR : raA) << d;
        EXPECT_EQ(dec, rigorous ? decR : decA) << d;
        EXPECT_NE(raR, raA);
    }
}

TEST(Parallax, CentreOfTheEarthChangesNothing) {
    LocationRecord site = GeocentreSite();
    DateRecord date = DateAtTT(2455000.3, 66.0, &site);
    double ra = 2.0, dec = -0.3, r = 384400.0;
    ApplyPlanetParallax(&site, &date, 0.01, &ra, &dec);
    ApplyPlanetParallax(&site, &date, 1.0, &ra, &dec);
    RemoveParallax(&site, &date, 1.0, &ra, &dec);
    ApplyMoonParallax(&site, &date, 6378.14 / r, &ra, &dec, &r);
    EXPECT_NEAR(ra, 2.0, 1e-15);
    EXPECT_NEAR(dec, -0.3, 1e-15);
    EXPECT_NEAR(r, 384400.0, 1e-9);
}

TEST(Parallax, ApproximateRoundTripAndPoles) {
    LocationRecord site = Site(-150.0, -33.0, 1100.0);
    DateRecord date = DateAtTT(2458000.7, 69.0, &site);
    const double d = 0.3;  // AU: about 29" of horizontal parallax
    for (double dec0 : {-1.2, -0.2, 0.0, 0.7, 1.5}) {
        double ra = 4.0, dec = dec0;
        ApplyParallaxApproximate(&site, &date, d, &ra, &dec);
        EXPECT_GT(std::fabs(ra - 4.0) + std::fabs(dec - dec0), 1e-6);
        RemoveParallaxApproximate(&site, &date, d, &ra, &dec);
        EXPECT_NEAR(ra, 4.0, 5e-9 / std::cos(dec0)) << dec0;
        EXPECT_NEAR(dec, dec0, 5e-9) << dec0;
    }
    // At the pole the result stays finite.
    double ra = 1.0, dec = kPi / 2.0;
    RemoveParallaxApproximate(&site, &date, d, &ra, &dec);
    EXPECT_TRUE(std::isfinite(ra));
    EXPECT_TRUE(std::isfinite(dec));
}

}  // namespace
