// Tests of the topocentric correction of solar-system bodies: the Moon and
// the Earth's shadow by the vector method, a planet by its parallax, on the
// western horizon where the correction is largest.
#include "ephem/bodyparallax.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/location.h"
#include "core/mathutil.h"
#include "astro/riseset.h"
#include "ephem/bodyrecord.h"

namespace {

const double kDeg = kPi / 180.0;
const double kArcsec = kPi / 648000.0;
const double kArcmin = kPi / 10800.0;

LocationRecord Site(double latitudeDeg, double elevation = 0.0) {
    LocationRecord r;
    std::memset(&r, 0, sizeof(r));
    InitLocationRecord(&r, 1.2, latitudeDeg * kDeg, elevation, 6.5, 0.0, 10.0, 50.0, 2, 0.0, 0.0,
                       "Site");
    return r;
}

DateRecord DateWithSidereal(double apparent) {
    DateRecord d;
    std::memset(&d, 0, sizeof(d));
    d.localApparentSidereal = apparent;
    d.localMeanSidereal = apparent - 1e-5;
    return d;
}

TEST(BodyParallax, MoonShadowAndPlanetOnTheWesternHorizon) {
    // Equator site at sea level (rho cos phi' = 1); the body due west on the
    // horizon (hour angle pi/2, declination 0). Seen from the site the body
    // lies further west by atan(R / d), and at sqrt(d^2 + R^2).
    LocationRecord s = Site(0.0);
    DateRecord d = DateWithSidereal(3.0);
    for (int type : {kBodyMoon, kBodyEarthShadow}) {
        BodyRecord body;
        std::memset(&body, 0, sizeof(body));
        body.type = type;
        body.geocentricDistance = 384400.0;
        double ra = 3.0 - kPi / 2, dec = 0.0;
        ApplyBodyParallax(&s, &d, &body, &ra, &dec);
        EXPECT_NEAR(ra - (3.0 - kPi / 2), -std::atan(6378.14 / 384400.0), 1e-12) << type;
        EXPECT_NEAR(dec, 0.0, 1e-12);
        EXPECT_NEAR(+body.topocentricDistance, std::hypot(384400.0, 6378.14), 1e-6);
        EXPECT_EQ(+body.geocentricDistance, 384400.0);
    }
    // Mars at 0.5 AU: 8.794" / 0.5 = 17.6" westwards.
    BodyRecord mars;
    std::memset(&mars, 0, sizeof(mars));
    mars.type = kBodyMars;
    mars.geocentricDistance = 0.5;
    double ra = 3.0 - kPi / 2, dec = 0.0;
    ApplyBodyParallax(&s, &d, &mars, &ra, &dec);
    EXPECT_NEAR((ra - (3.0 - kPi / 2)) / kArcsec, -17.588, 0.01);
    // A Moon at the zenith keeps its direction; RA stays in [0, 2 pi).
    BodyRecord moon;
    std::memset(&moon, 0, sizeof(moon));
    moon.type = kBodyMoon;
    moon.geocentricDistance = 400000.0;
    DateRecord zero = DateWithSidereal(0.0);
    ra = 0.0, dec = 0.0;
    ApplyBodyParallax(&s, &zero, &moon, &ra, &dec);
    EXPECT_GE(ra, 0.0);
    EXPECT_LT(ra, 2 * kPi);
    EXPECT_NEAR(std::remainder(ra, 2 * kPi), 0.0, 1e-12);
    EXPECT_NEAR(+moon.topocentricDistance, 400000.0 - 6378.14, 1e-6);
}


}  // namespace
