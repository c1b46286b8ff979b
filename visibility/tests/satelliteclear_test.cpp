// Tests of a satellite clear of its planet against Io's eclipse and
// occultation of 2024 September 7 and 9.
#include "visibility/satelliteclear.h"

#include <gtest/gtest.h>

#include "ephem/bodyrecord.h"
#include "ephem/tests/ephemfixture.h"

namespace {

class SatelliteClear : public ephemtest::GeneratedTables {};

// PyEphem 4.1 (python3-ephem, Io.sun_visible / earth_visible, 1-minute scan):
// Io enters Jupiter's shadow 2024-09-07 06:06 UT, is hidden by the disc from
// 07:29 to 09:41 (leaving the shadow unseen at 08:21); the same two days
// later from 00:34 to 04:10.
TEST_F(SatelliteClear, IoEclipseAndOccultation) {
    const LocationRecord site = ephemtest::GeocentreSite();
    const double sept7 = 2460560.5;
    struct Case {
        double jd;
        int clear;
    } cases[] = {
        {sept7 + 5.5 / 24, 1},   {sept7 + 6.3 / 24, 0},  {sept7 + 7.0 / 24, 0},  {sept7 + 8.0 / 24, 0},
        {sept7 + 9.3 / 24, 0},   {sept7 + 10.0 / 24, 1}, {sept7 + 2 + 0.3 / 24, 1}, {sept7 + 2 + 1.0 / 24, 0},
        {sept7 + 2 + 3.5 / 24, 0}, {sept7 + 2 + 4.5 / 24, 1},
    };
    for (const Case &c : cases) EXPECT_EQ(IsMoonClearOfPlanet(&site, c.jd, kBodyJupiter, 1), c.clear) << c.jd;
    // Stored as number + 100: the same satellite.
    EXPECT_EQ(IsMoonClearOfPlanet(&site, sept7 + 8.0 / 24, kBodyJupiter, 101), 0);
    EXPECT_EQ(IsMoonClearOfPlanet(&site, sept7 + 10.0 / 24, kBodyJupiter, 101), 1);
    EXPECT_EQ(IsMoonClearOfPlanet(&site, sept7, kBodyJupiter, 0), 0);
    EXPECT_EQ(IsMoonClearOfPlanet(&site, sept7, kBodyJupiter, -3), 0);
}

}  // namespace
