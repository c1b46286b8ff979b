// Tests of the diurnal parallax routines against Meeus' worked example and
// the geometry they must keep.
#include "ephem/parallax.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/datetime.h"
#include "astro/location.h"
#include "core/mathutil.h"

namespace {

const double kDeg = kPi / 180.0;

// Meeus, Astronomical Algorithms, example 40.a: Mars from Palomar on
// 2003 August 28, 3h17m UT.
struct Fixture {
    LocationRecord site;
    DateRecord date;
    Fixture() {
        std::memset(&site, 0, sizeof(site));
        std::memset(&date, 0, sizeof(date));
        site.rhoSinPhi = 0.546861;
        site.rhoCosPhi = 0.836339;
        // Hour angle 288.7958 deg at right ascension 339.530208 deg.
        date.localApparentSidereal = (339.530208 + 288.7958) * kDeg;
    }
};

TEST(Parallax, MeeusExample40a) {
    Fixture f;
    double ra = 339.530208 * kDeg, dec = -15.771083 * kDeg;
    ApplyParallaxRigorous(&f.site, &f.date, std::sin(8.794 / 3600.0 * kDeg / 0.37276), &ra, &dec);
    // 22h38m08.54s, -15 46' 30.0"
    EXPECT_NEAR(ra / kDeg * 240.0, 22 * 3600 + 38 * 60 + 8.54, 0.02);
    EXPECT_NEAR(dec / kDeg * 3600.0, -(15 * 3600 + 46 * 60 + 30.0), 0.2);

    // The dispatcher takes the rigorous form at 0.05 AU and below; the
    // approximate one agrees to first order for the distant planet.
    double ra2 = 339.530208 * kDeg, dec2 = -15.771083 * kDeg;
    ApplyPlanetParallax(&f.site, &f.date, 0.37276, &ra2, &dec2);
    EXPECT_NEAR(ra2, ra, 0.05 / 3600 * kDeg);
    EXPECT_NEAR(dec2, dec, 0.05 / 3600 * kDeg);
}

TEST(Parallax, MoonByVectorsMatchesTheRigorousForm) {
    Fixture f;
    const double sinP = 6378.14 / 384400.0;
    double ra = 1.0, dec = 0.3, distance = 384400.0;
    ApplyMoonParallax(&f.site, &f.date, sinP, &ra, &dec, &distance);
    double ra2 = 1.0, dec2 = 0.3;
    ApplyParallaxRigorous(&f.site, &f.date, sinP, &ra2, &dec2);
    EXPECT_NEAR(ra, ra2, 1e-12);
    EXPECT_NEAR(dec, dec2, 1e-12);
    EXPECT_GE(ra, 0.0);
    EXPECT_LT(ra, 2 * kPi);
    // Distance to the site: |geocentric vector - site vector| in Earth radii.
    double h = f.date.localApparentSidereal - 1.0;
    double r = 384400.0 / 6378.14;
    double x = r * std::cos(0.3) * std::cos(h) - f.site.rhoCosPhi;
    double y = r * std::cos(0.3) * std::sin(h);
    double z = r * std::sin(0.3) - f.site.rhoSinPhi;
    EXPECT_NEAR(distance, std::sqrt(x * x + y * y + z * z) * 6378.14, 1e-6);
}

TEST(Parallax, GeocentricSiteAndMissingRecords) {
    Fixture f;
    f.site.rhoSinPhi = 0.0;
    f.site.rhoCosPhi = 0.0;
    double ra = 2.0, dec = -0.5, distance = 380000.0;
    ApplyMoonParallax(&f.site, &f.date, 0.0167, &ra, &dec, &distance);
    EXPECT_NEAR(ra, 2.0, 1e-12);
    EXPECT_NEAR(dec, -0.5, 1e-12);
    EXPECT_NEAR(distance, 380000.0, 1e-6);
    ApplyPlanetParallax(&f.site, &f.date, 0.01, &ra, &dec);
    EXPECT_NEAR(ra, 2.0, 1e-12);
    ApplyMoonParallax(nullptr, &f.date, 0.0167, &ra, &dec, &distance);
    ApplyPlanetParallax(&f.site, nullptr, 1.0, &ra, &dec);
    EXPECT_NEAR(dec, -0.5, 1e-12);
}

}  // namespace
