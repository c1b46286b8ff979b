// Tests of the chart geometry: position angles and offsets (hand-worked
// cases, a property over a grid from arcseconds to tens of degrees and at the
// poles, ERFA's position angle), the zenith, the chart azimuth, and the
// apparent horizontal conversions with refraction and extinction both ways.
#include "astro/chartgeom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/airmass.h"
#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/location.h"
#include "core/mathutil.h"
#include "astro/riseset.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#endif

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

// Separation from the cross and dot products of the unit vectors: good to
// rounding at every distance (1 - cos loses digits at arcsecond distances).
double PreciseSeparation(double ra1, double dec1, double ra2, double dec2) {
    const double u[3] = {std::cos(dec1) * std::cos(ra1), std::cos(dec1) * std::sin(ra1),
                         std::sin(dec1)};
    const double v[3] = {std::cos(dec2) * std::cos(ra2), std::cos(dec2) * std::sin(ra2),
                         std::sin(dec2)};
    const double c[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                         u[0] * v[1] - u[1] * v[0]};
    return std::atan2(std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]),
                      u[0] * v[0] + u[1] * v[1] + u[2] * v[2]);
}

DateRecord DateWithSidereal(double apparent) {
    DateRecord d;
    std::memset(&d, 0, sizeof(d));
    d.localApparentSidereal = apparent;
    d.localMeanSidereal = apparent - 1e-5;
    return d;
}

TEST(PositionAngle, NorthEastAndOffsetsOnTheEquator) {
    EXPECT_NEAR(ComputePositionAngle(1.0, 0.2, 1.0, 0.3), 0.0, 1e-15);
    EXPECT_NEAR(ComputePositionAngle(1.0, 0.0, 1.01, 0.0), kPi / 2, 1e-15);
    EXPECT_NEAR(ComputePositionAngle(1.0, 0.2, 1.0, 0.1), kPi, 1e-15);
    EXPECT_NEAR(ComputePositionAngle(1.0, 0.0, 0.99, 0.0), 1.5 * kPi, 1e-15);

    double ra = 9, dec = 9;
    ComputeOffsetPosition(kPi / 2, 1 * kDeg, 0.0, 0.0, &ra, &dec);
    EXPECT_NEAR(ra / kDeg, 1.0, 1e-12);
    EXPECT_NEAR(dec, 0.0, 1e-15);
    ComputeOffsetPosition(1.5 * kPi, 1 * kDeg, 0.0, 0.0, &ra, &dec);
    EXPECT_NEAR(ra / kDeg, 359.0, 1e-12);
    EXPECT_NEAR(dec, 0.0, 1e-15);
    ComputeOffsetPosition(0.0, 0.0, 2.5, -0.4, &ra, &dec);
    EXPECT_EQ(ra, 2.5);
    EXPECT_EQ(dec, -0.4);
}

TEST(PositionAngle, OffsetAndPositionAngleInvertEachOtherOverAGrid) {
    const double distances[] = {1 * kArcsec, 0.3 * kArcsec, 30 * kArcsec, 1 * kDeg, 25 * kDeg};
    const double decs[] = {-89.9, -60.0, 0.0, 45.0, 88.0, 89.99};
    for (double r : distances)
        for (double d0 : decs)
            for (double pa = 0.05; pa < 2 * kPi; pa += 0.4) {
                double ra, dec;
                ComputeOffsetPosition(pa, r, 3.0, d0 * kDeg, &ra, &dec);
                EXPECT_NEAR(PreciseSeparation(3.0, d0 * kDeg, ra, dec), r, 1e-15 + r * 1e-10)
                    << r << " " << d0 << " " << pa;
                const double back = ComputePositionAngle(3.0, d0 * kDeg, ra, dec);
                EXPECT_NEAR(GetSignedAngleDifference(back, pa), 0.0, 1e-9)
                    << r << " " << d0;
                EXPECT_GE(ra, 0.0);
                EXPECT_LT(ra, 2 * kPi);
            }
}

TEST(PositionAngle, OffsetFromACelestialPole) {
    // Centre on the north pole with a0 = 1: position angle 0 runs down the
    // meridian a0 + pi, 90 deg (east) down a0 + pi/2; at the south pole
    // position angle 0 runs up the meridian a0.
    double ra, dec;
    ComputeOffsetPosition(0.0, 2 * kDeg, 1.0, kPi / 2, &ra, &dec);
    EXPECT_NEAR(ra, 1.0 + kPi, 1e-12);
    EXPECT_NEAR(dec / kDeg, 88.0, 1e-12);
    ComputeOffsetPosition(kPi / 2, 2 * kDeg, 1.0, kPi / 2, &ra, &dec);
    EXPECT_NEAR(ra, 1.0 + kPi / 2, 1e-12);
    ComputeOffsetPosition(0.0, 2 * kDeg, 1.0, -kPi / 2, &ra, &dec);
    EXPECT_NEAR(ra, 1.0, 1e-12);
    EXPECT_NEAR(dec / kDeg, -88.0, 1e-12);
}

#ifdef GLEANER_HAVE_ERFA
TEST(PositionAngle, AgreesWithErfa) {
    for (double d1 = -1.5; d1 < 1.55; d1 += 0.3)
        for (double da = -3.0; da < 3.1; da += 0.7)
            for (double d2 : {-1.2, -0.01, 0.4, 1.5}) {
                const double mine = ComputePositionAngle(2.0, d1, 2.0 + da, d2);
                const double erfa = eraPas(2.0, d1, 2.0 + da, d2);
                EXPECT_NEAR(GetSignedAngleDifference(mine, erfa), 0.0, 1e-12);
            }
}
#endif

TEST(ChartGeometry, ZenithFlipAndChartAzimuth) {
    LocationRecord s = Site(52.0);
    DateRecord d = DateWithSidereal(4.0);
    double ra = 0, dec = 0;
    GetZenithPosition(&s, &d, &ra, &dec);
    EXPECT_NEAR(ra, 4.0, 1e-12);
    EXPECT_NEAR(dec, s.latitude, 1e-12);
    // The zenith's apparent altitude is pi/2 exactly (refraction 0, capped).
    double az = ra, alt = dec, mag = 99.9;
    EXPECT_EQ(ConvertEquatorialToApparentHorizontal(&s, &d, 0.3, &az, &alt, &mag, 0), 1);
    EXPECT_EQ(alt, kPi / 2);
    EXPECT_EQ(mag, 99.9);

    EXPECT_NEAR(FlipAngleHalfTurn(1.5 * kPi), kPi / 2, 1e-15);
    EXPECT_NEAR(FlipAngleHalfTurn(0.2), 0.2 + kPi, 1e-15);
    EXPECT_EQ(FlipAngleHalfTurn(kPi), 0.0);

    // Chart azimuth runs from the south through the east: due south 0, an
    // object east of the meridian (hour angle -pi/2) at pi/2.
    az = 4.0, alt = 10 * kDeg;
    ASSERT_EQ(ConvertEquatorialToHorizontal(&s, &d, &az, &alt), 1);
    EXPECT_EQ(az, 0.0);
    EXPECT_NEAR(alt / kDeg, 48.0, 1e-12);
    az = 4.0 + kPi / 2, alt = 0.0;
    ConvertEquatorialToHorizontal(&s, &d, &az, &alt);
    EXPECT_NEAR(az, kPi / 2, 1e-12);
    ASSERT_EQ(ConvertHorizontalToEquatorial(&s, &d, &az, &alt), 1);
    EXPECT_NEAR(az, 4.0 + kPi / 2, 1e-12);
    EXPECT_NEAR(alt, 0.0, 1e-12);
    EXPECT_EQ(ConvertEquatorialToHorizontal(nullptr, &d, &az, &alt), -1);
    EXPECT_EQ(ConvertHorizontalToEquatorial(&s, nullptr, &az, &alt), -1);
}

TEST(ChartGeometry, ExtinctionOnMagnitudesAndTheHorizon) {
    LocationRecord s = Site(30.0);
    DateRecord d = DateWithSidereal(2.0);
    // On the celestial equator due west at hour angle ~90 deg: the true
    // altitude is 0, the apparent one 29' (refraction of a true 0).
    double az = 2.0 - kPi / 2, alt = 0.0, mag = 5.0;
    EXPECT_EQ(ConvertEquatorialToApparentHorizontal(&s, &d, 0.25, &az, &alt, &mag, 0), 1);
    EXPECT_NEAR(alt / kArcmin, 28.98386, 1e-4);
    EXPECT_NEAR(mag, 5.0 + 0.25 * ComputeAirMass(alt), 1e-12);
    EXPECT_NEAR(az, 1.5 * kPi, 1e-9);  // west is 3 pi/2 on the chart

    // Well below: the magnitude gains 40 whatever the coefficient, and the
    // place is not visible unless always is set.
    for (double k : {0.0, 0.2, 1.0}) {
        az = 2.0 + kPi, alt = -0.5, mag = 5.0;
        EXPECT_EQ(ConvertEquatorialToApparentHorizontal(&s, &d, k, &az, &alt, &mag, 0), 0);
        EXPECT_EQ(mag, 45.0);
        az = 2.0 + kPi, alt = -0.5;
        EXPECT_EQ(ConvertEquatorialToApparentHorizontal(&s, &d, k, &az, &alt, nullptr, 1), 1);
    }
    az = 2.0, alt = 0.1, mag = 99.9;
    ConvertApparentHorizontalToEquatorial(&s, &d, 0.3, &az, &alt, &mag);
    EXPECT_EQ(mag, 99.9);
    EXPECT_EQ(ConvertEquatorialToApparentHorizontal(&s, nullptr, 0.3, &az, &alt, &mag, 1), -1);
    EXPECT_EQ(ConvertApparentHorizontalToEquatorial(nullptr, &d, 0.3, &az, &alt, &mag), -1);
}

TEST(ChartGeometry, ApparentHorizontalRoundTrip) {
    for (double lat : {-35.0, 0.0, 51.5})
        for (double elevation : {0.0, 2000.0}) {
            LocationRecord s = Site(lat, elevation);
            DateRecord d = DateWithSidereal(5.1);
            for (double ra0 = 0.0; ra0 < 2 * kPi; ra0 += 0.5)
                for (double dec0 = -1.3; dec0 < 1.35; dec0 += 0.25) {
                    double az = ra0, alt = dec0, mag = 6.0;
                    ConvertEquatorialToApparentHorizontal(&s, &d, 0.2, &az, &alt, &mag, 1);
                    if (alt < 0.0) continue;
                    EXPECT_GE(az, 0.0);
                    EXPECT_LT(az, 2 * kPi);
                    double ra = az, dec = alt;
                    ConvertApparentHorizontalToEquatorial(&s, &d, 0.2, &ra, &dec, &mag);
                    // The two refraction formulas invert each other to 0.1'.
                    EXPECT_LT(AngularSeparation(ra, dec, ra0, dec0), 0.1 * kArcmin)
                        << lat << " " << ra0 << " " << dec0;
                    EXPECT_NEAR(mag, 6.0, 0.01);
                }
        }
    // Below the horizon of a mountain site the inverse stays finite.
    LocationRecord high = Site(20.0, 3000.0);
    DateRecord d = DateWithSidereal(0.3);
    double az = 1.0, alt = -1.5 * kDeg;
    ConvertApparentHorizontalToEquatorial(&high, &d, 0.2, &az, &alt, nullptr);
    EXPECT_TRUE(std::isfinite(az));
    EXPECT_TRUE(std::isfinite(alt));
}

}  // namespace
