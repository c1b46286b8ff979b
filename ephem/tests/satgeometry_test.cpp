// Tests of the satellite geometry: the sidereal angle against ERFA, the
// observer vector, the umbra's edge, and the magnitude formulas at their
// stated points.
#include "ephem/satgeometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/airmass.h"
#include "core/mathutil.h"
#include "ephem/tle.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#endif

namespace {

const double kSunAu = 1.0;  // a Sun on the x axis at 1 AU

TEST(SatelliteGeometry, SiderealAngleAgreesWithErfaGmst82) {
#ifdef GLEANER_HAVE_ERFA
    const double dates[] = {2451545.0, 2451545.25, 2444514.48708465, 2460000.73, 2470000.1,
                            2433282.5, 2455197.999999};
    for (double jd : dates) {
        double reference = eraGmst82(jd, 0.0);
        double d = std::fabs(WrapAngleSigned(SiderealAngleFromJulianDate(jd) - reference));
        EXPECT_LT(d, 1e-9) << jd;
    }
#else
    GTEST_SKIP() << "ERFA not available";
#endif
}

TEST(SatelliteGeometry, ObserverVectorAndTopocentricPlace) {
    // A site on the equator at the Greenwich meridian at a date whose
    // sidereal angle is theta: the vector points to theta.
    double jd = 2451545.0;
    double theta = SiderealAngleFromJulianDate(jd);
    double v[3];
    ComputeObserverVector(jd, 0.0, 1.0, 0.0, v);
    EXPECT_NEAR(v[0], 6378.14 * std::cos(theta), 1e-9);
    EXPECT_NEAR(v[1], 6378.14 * std::sin(theta), 1e-9);
    EXPECT_EQ(v[2], 0.0);
    // A satellite straight above it: declination 0, RA theta, range 400 km.
    double s[3] = {v[0] * (6778.14 / 6378.14), v[1] * (6778.14 / 6378.14), 0.0};
    double ra, dec, range;
    ComputeTopocentricFromVectors(v, s, &ra, &dec, &range);
    EXPECT_NEAR(ra, theta, 1e-12);
    EXPECT_NEAR(dec, 0.0, 1e-12);
    EXPECT_NEAR(range, 400.0, 1e-9);
}

TEST(SatelliteGeometry, ShadowCases) {
    const double sun[3] = {kSunAu, 0.0, 0.0};
    const double re = kSatelliteEarthRadiusKm;
    // The umbra's radius at distance x behind the Earth (Sun at 1 AU).
    auto umbra = [re](double x) { return re - x / kKilometresPerAu * (kSunRadiusKm - re); };
    struct Case {
        double x, y;  // behind the Earth (x < 0 is the night side), off the axis
        int expected;
        const char *what;
    } cases[] = {
        {7000.0, 0.0, 0, "day side, on the axis"},
        {0.0, 6000.0, 0, "t = 0 (the terminator plane)"},
        {-7000.0, 0.0, 1, "deep inside, on the axis"},
        {-7000.0, umbra(7000.0) - 5.0, 0, "5 km inside the edge"},
        {-7000.0, umbra(7000.0) - 15.0, 1, "15 km inside the edge"},
        {-7000.0, umbra(7000.0) + 5.0, 0, "just outside"},
        // The cone narrows: at 40,000 km behind the Earth the umbra is about
        // 180 km narrower than the Earth.
        {-40000.0, re - 100.0, 0, "within the Earth's radius but outside the umbra"},
        {-40000.0, umbra(40000.0) - 20.0, 1, "inside the narrowed umbra"},
    };
    for (const Case &c : cases) {
        double s[3] = {c.x, c.y, 0.0};
        double edge = 0.0;
        EXPECT_EQ(IsSatelliteInShadow(0.0, s, sun, &edge), c.expected) << c.what;
        if (c.x < 0) {
            EXPECT_NEAR(edge, std::fabs(c.y) - umbra(-c.x), 1e-6) << c.what;
        }
    }
}

TEST(SatelliteGeometry, MagnitudeAtItsStatedPoints) {
    const double observer[3] = {6378.0, 0.0, 0.0};
    const double sun[3] = {1.0, 0.0, 0.0};
    // Opposition: the Sun behind the observer (e = pi): fully lit, k = 1.
    double s1[3] = {6378.0 - 1000.0, 0.0, 0.0};
    double m = ComputeSatelliteMagnitude(0.0, s1, observer, 1000.0, sun, nullptr);
    EXPECT_NEAR(m, -15.75 + 2.5 * std::log10(1000.0 * 1000.0 / 1.0), 1e-9);
    // The observer-to-satellite vector is left in the satellite vector.
    EXPECT_NEAR(s1[0], -1000.0, 1e-9);
    // Toward the Sun (e = 0): nothing lit, 20.
    double s2[3] = {6378.0 + 1000.0, 0.0, 0.0};
    EXPECT_EQ(ComputeSatelliteMagnitude(0.0, s2, observer, 1000.0, sun, nullptr), 20.0);
    // Quadrature (k = 0.5) at 1000 km: about 0.003, plus the extinction.
    double s3[3] = {6378.0, 1000.0, 0.0};
    m = ComputeSatelliteMagnitude(0.0, s3, observer, 1000.0, sun, nullptr);
    EXPECT_NEAR(m, 0.0026, 0.0005);
    double s4[3] = {6378.0, 1000.0, 0.0};
    double altitude = 0.5;
    double withExtinction = ComputeSatelliteMagnitude(0.0, s4, observer, 1000.0, sun, &altitude);
    EXPECT_NEAR(withExtinction - m, ComputeExtinction(0.1, 0.5), 1e-12);
    // At range: the full-phase magnitude 0.75 brighter than the standard one.
    EXPECT_NEAR(ComputeSatelliteMagnitudeAtRange(4.0, 1000.0), 3.25, 1e-12);
    EXPECT_NEAR(ComputeSatelliteMagnitudeAtRange(4.0, 10000.0), 8.25, 1e-12);
    // Diffuse sphere at full phase (p = 0): std - 15 + 5 log10 r - 2.5 log10 pi.
    double s5[3] = {6378.0 - 1000.0, 0.0, 0.0};
    EXPECT_NEAR(ComputeSatelliteMagnitudeDiffuse(1.0, s5, observer, 1000.0, sun),
                1.0 - 15.0 + 15.0 - 2.5 * std::log10(kPi), 1e-9);
}

TEST(SatelliteGeometry, VectorHelpers) {
    double a[3] = {1, 0, 0}, b[3] = {0, 1, 0}, c[3];
    CrossVector3(a, b, c);
    EXPECT_EQ(c[2], 1.0);
    double z[3] = {0, 0, 0};
    NormalizeVector3(z);
    EXPECT_EQ(z[0], 0.0);
    double v4[4] = {3, 4, 12, 0};
    SetVector4Length(v4);
    EXPECT_EQ(v4[3], 13.0);
    EXPECT_EQ(ModuloFloor(-1.0, 3.0), 2.0);
    EXPECT_EQ(ModuloFloor(7.0, 3.0), 1.0);
}

}  // namespace
