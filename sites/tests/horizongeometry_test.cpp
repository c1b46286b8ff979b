// Tests of rise, set and visibility over an obstructed horizon: the hand-worked
// always/never cases, the crossing hour angles against an independent search
// with ERFA's hour-angle-to-horizon conversion over a fine hour-angle grid, the
// interpolation across north and objects seen only near lower culmination.
#include "sites/horizongeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/location.h"
#include "sites/horizon.h"
#include "core/mathutil.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#endif

namespace {

const double kDeg = kPi / 180.0;

LocationRecord SiteAt(double latitudeDeg, double elevation) {
    LocationRecord r;
    std::memset(&r, 0, sizeof r);
    InitLocationRecord(&r, 0.5, latitudeDeg * kDeg, elevation, 6.5, 0.0, 15.0, 50.0, 2, 0.0, 0.0,
                       "Test");
    return r;
}

// Rows of a profile given in degrees per azimuth (degrees from the north).
template <class F>
void MakeRows(const LocationRecord &site, F altitudeDeg, HorizonRow *rows) {
    for (int k = 0; k < 60; ++k) {
        rows[k].azimuth = k * kHorizonStep;
        rows[k].altitude = altitudeDeg(k * 6.0) * kDeg;
    }
    rows[60] = rows[0];
    ComputeHorizonDeclinations(rows, &site);
}

TEST(HorizonGeometry, AlwaysAndNeverAbove) {
    LocationRecord site = SiteAt(40.0, 0.0);
    HorizonRow flat[61], tall[61];
    MakeRows(site, [](double) { return 0.0; }, flat);
    MakeRows(site, [](double) { return 45.0; }, tall);
    double rise = 5, set = 5;
    EXPECT_EQ(ComputeHorizonRiseSet(&site, 80 * kDeg, flat, 0.3, 20.0, &rise, &set), 0);
    EXPECT_EQ(rise, 0.0);
    EXPECT_EQ(set, 0.0);
    EXPECT_EQ(ComputeHorizonRiseSet(&site, -80 * kDeg, flat, 0.3, 20.0, &rise, &set), -1);
    EXPECT_EQ(rise, -2.0);
    EXPECT_EQ(set, -2.0);
    EXPECT_EQ(RefineHorizonRise(&site, -80 * kDeg, flat, 0.3, 20.0, &rise), -1);
    EXPECT_EQ(rise, -1.0);
    EXPECT_EQ(RefineHorizonSet(&site, 80 * kDeg, flat, 0.3, 20.0, &set), 0);
    EXPECT_EQ(set, 0.0);
    // A 45-degree wall at 40 N: row 0 near 85 degrees of declination, and a
    // star at 88 degrees circles between 38 and 42 degrees of altitude.
    EXPECT_NEAR(tall[0].declination, 85.0 * kDeg, 0.01);
    double h = 7;
    EXPECT_EQ(ComputeHorizonRiseHourAngle(&site, 88 * kDeg, tall, &h), -1);
    EXPECT_EQ(h, 0.0);
    for (double ha = -kPi; ha < kPi; ha += 0.5)
        EXPECT_EQ(IsAboveHorizonAtHourAngle(&site, 88 * kDeg, tall, ha), 0);
    EXPECT_EQ(IsAboveHorizonAtHourAngle(&site, 80 * kDeg, flat, 3.0), 1);
    // Southern site, mirrored: -80 always above, +80 never.
    LocationRecord south = SiteAt(-35.0, 0.0);
    HorizonRow sflat[61];
    MakeRows(south, [](double) { return 0.0; }, sflat);
    EXPECT_EQ(ComputeHorizonRiseSet(&south, -80 * kDeg, sflat, 0.0, 0.0, &rise, &set), 0);
    EXPECT_EQ(ComputeHorizonRiseSet(&south, 80 * kDeg, sflat, 0.0, 0.0, &rise, &set), -1);
}

TEST(HorizonGeometry, FlatHorizonRiseAndSetAreSymmetric) {
    // With a flat horizon and no dip the crossings are the classical rise and
    // set: cos H = -tan(lat) tan(dec) (Meeus, ch. 15).
    LocationRecord site = SiteAt(40.0, 0.0);
    HorizonRow flat[61];
    MakeRows(site, [](double) { return 0.0; }, flat);
    for (double dec : {-20.0, 0.0, 15.0, 35.0}) {
        double expected = std::acos(-std::tan(40 * kDeg) * std::tan(dec * kDeg));
        double riseH = 0, setH = 0;
        ASSERT_EQ(ComputeHorizonRiseHourAngle(&site, dec * kDeg, flat, &riseH), 1);
        ASSERT_EQ(ComputeHorizonSetHourAngle(&site, dec * kDeg, flat, &setH), 1);
        EXPECT_NEAR(riseH, -expected, 2e-3) << dec;
        EXPECT_NEAR(setH, expected, 2e-3) << dec;
        // Times: the object is on the meridian at 22 h, so it rises and sets
        // the semi-arc (in solar hours) either side of it.
        double rise = 0, set = 0;
        ASSERT_EQ(ComputeHorizonRiseSet(&site, dec * kDeg, flat, 0.0, 22.0, &rise, &set), 1);
        double semiArc = expected * 12.0 / kPi * 0.9972696632424821;
        double r = 22.0 - semiArc, s = 22.0 + semiArc;
        if (s > 12.0) s -= 0.9972696632424821 * 24.0;  // wrapped by a sidereal day
        if (r > 12.0) r -= 0.9972696632424821 * 24.0;
        EXPECT_NEAR(rise, r, 0.01) << dec;
        EXPECT_NEAR(set, s, 0.01) << dec;
        EXPECT_EQ(IsAboveHorizonAtHourAngle(&site, dec * kDeg, flat, 0.0), 1);
        EXPECT_EQ(IsAboveHorizonAtHourAngle(&site, dec * kDeg, flat, kPi), 0);
    }
}

#ifdef GLEANER_HAVE_ERFA
// The profile's altitude (plus the dip) at an azimuth from the north, linear
// between rows.
double ProfileAt(const LocationRecord &site, const HorizonRow *rows, double azimuth) {
    double a = std::fmod(azimuth, 2 * kPi);
    if (a < 0) a += 2 * kPi;
    int k = (int)(a / kHorizonStep);
    if (k > 59) k = 59;
    double t = (a - k * kHorizonStep) / kHorizonStep;
    return rows[k].altitude + t * (rows[k + 1].altitude - rows[k].altitude) + site.horizonDip;
}

TEST(HorizonGeometry, CrossingsAgreeWithErfaOverBumpyProfiles) {
    struct Case { double lat, dec; } cases[] = {
        {40.0, -10.0}, {40.0, 20.0}, {40.0, 45.0}, {-33.0, -40.0}, {-33.0, 10.0},
        {12.0, -30.0}, {12.0, 50.0}};
    auto bumpy = [](double az) {
        return 4.0 + 6.0 * std::max(0.0, std::sin(3.0 * az * kDeg)) + 2.0 * std::cos(az * kDeg);
    };
    for (const Case &c : cases) {
        LocationRecord site = SiteAt(c.lat, 300.0);
        HorizonRow rows[61];
        MakeRows(site, bumpy, rows);
        double phi = c.lat * kDeg, dec = c.dec * kDeg;
        // Independent: the first upward and the last downward crossing of the
        // object's altitude over the profile, over one turn of hour angle.
        double riseH = NAN, setH = NAN;
        const int steps = 240000;
        double prev = 0;
        for (int i = 0; i <= steps; ++i) {
            double ha = -kPi + 2 * kPi * i / steps;
            double az, el;
            eraHd2ae(ha, dec, phi, &az, &el);
            double diff = el - ProfileAt(site, rows, az);
            if (i > 0) {
                if (prev < 0 && diff >= 0 && std::isnan(riseH)) riseH = ha;
                if (prev >= 0 && diff < 0) setH = ha;
            }
            prev = diff;
        }
        ASSERT_FALSE(std::isnan(riseH)) << c.lat << " " << c.dec;
        ASSERT_FALSE(std::isnan(setH)) << c.lat << " " << c.dec;
        double gotRise = 0, gotSet = 0;
        ASSERT_EQ(ComputeHorizonRiseHourAngle(&site, dec, rows, &gotRise), 1);
        ASSERT_EQ(ComputeHorizonSetHourAngle(&site, dec, rows, &gotSet), 1);
        // 0.002 rad (7 seconds of time): the crossings interpolate in
        // declination between rows, the grid search in azimuth.
        EXPECT_NEAR(gotRise, riseH, 2e-3) << c.lat << " " << c.dec;
        EXPECT_NEAR(gotSet, setH, 2e-3) << c.lat << " " << c.dec;
        // Above between the crossings, below outside them.
        double mid = 0.5 * (riseH + setH);
        EXPECT_EQ(IsAboveHorizonAtHourAngle(&site, dec, rows, mid), 1);
        EXPECT_EQ(IsAboveHorizonAtHourAngle(&site, dec, rows, riseH - 0.05), 0);
        EXPECT_EQ(IsAboveHorizonAtHourAngle(&site, dec, rows, setH + 0.05), 0);
    }
}

TEST(HorizonGeometry, AltitudeTestInterpolatesRowsFiftyNineAndZero) {
    LocationRecord site = SiteAt(40.0, 200.0);
    HorizonRow rows[61];
    MakeRows(site, [](double az) { return az == 0.0 ? 20.0 : az == 354.0 ? 10.0 : 0.0; }, rows);
    // A place at azimuth 359 (from the north): the profile there is
    // 10 + 5/6 x 10 degrees.
    double ha, dec;
    eraAe2hd(359.0 * kDeg, 30.0 * kDeg, 40.0 * kDeg, &ha, &dec);
    double horizon = (10.0 + 50.0 / 6.0) * kDeg;
    EXPECT_EQ(IsAltitudeAboveHorizon(&site, ha, dec, horizon + site.horizonDip + 1e-6, rows), 1);
    EXPECT_EQ(IsAltitudeAboveHorizon(&site, ha, dec, horizon + site.horizonDip - 1e-6, rows), 0);
}
#endif

TEST(HorizonGeometry, SeenOnlyNearLowerCulminationBehindASouthernWall) {
    // 60 N, an 85-degree wall from azimuth 150 to 210, low elsewhere: a star
    // at +50 transits at 80 degrees in the south (hidden) and passes below the
    // pole at 20 degrees in the north (seen).
    LocationRecord site = SiteAt(60.0, 0.0);
    HorizonRow rows[61];
    MakeRows(site, [](double az) { return az >= 150.0 && az <= 210.0 ? 85.0 : 5.0; }, rows);
    EXPECT_EQ(IsAboveHorizonAtHourAngle(&site, 50 * kDeg, rows, 0.0), 0);
    EXPECT_EQ(IsAboveHorizonAtHourAngle(&site, 50 * kDeg, rows, kPi), 1);
    EXPECT_EQ(IsAboveHorizonAtHourAngle(&site, 50 * kDeg, rows, -kPi + 0.01), 1);
    EXPECT_EQ(IsAboveHorizonAtHourAngle(&site, 50 * kDeg, rows, 3 * kPi), 1);
}

TEST(HorizonGeometry, HourAngleFromAltitudeAndAzimuth) {
    LocationRecord site = SiteAt(40.0, 0.0);
    // Due south (azimuth 0 from the south) is the meridian; due west on the
    // horizon at 40 N is 6 h; the zenith distance form gives 0 for cos h = 0.
    EXPECT_NEAR(ComputeHourAngleFromAltAz(&site, 0.0, 30 * kDeg), 0.0, 1e-12);
    EXPECT_NEAR(ComputeHourAngleFromAltAz(&site, kPi / 2, 0.0), 6.0, 1e-12);
    EXPECT_NEAR(ComputeHourAngleFromAltAz(&site, 3 * kPi / 2, 0.0), -6.0, 1e-12);
}

}  // namespace
