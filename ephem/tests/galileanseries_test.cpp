// Tests of the Galilean satellite series: the state at the theory's time
// origin, the place routines and the pole vector.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/mathutil.h"
#include "ephem/galileanseries.h"

namespace {

const double kDegree = kPi / 180.0;
// T of JD 2443000.5 (t = 0), Julian centuries from J2000.
const double kOrigin = -8544.5 / 36525.0;

TEST(GalileanSeries, StateAtTheTimeOrigin) {
    GalileanState s;
    ASSERT_EQ(InitGalileanState(&s, kOrigin), 1);
    EXPECT_NEAR(s.l[0] / kDegree, 106.07947, 1e-9);
    EXPECT_NEAR(s.l[3] / kDegree, 84.44868, 1e-9);
    EXPECT_NEAR(s.Pj / kDegree, 13.469942, 1e-9);
    EXPECT_NEAR(s.P[1] / kDegree, 132.8959, 1e-9);
    EXPECT_NEAR(s.N[2] / kDegree, 119.1688, 1e-9);
    // A day later Io has moved by its mean motion.
    GalileanState next;
    InitGalileanState(&next, kOrigin + 1.0 / 36525.0);
    EXPECT_NEAR(std::remainder(next.l[0] - s.l[0], 2 * kPi) / kDegree,
                std::remainder(203.488955432, 360.0), 1e-8);
}

TEST(GalileanSeries, PlaceRoutinesRestoreTheMeanLongitudes) {
    GalileanState s;
    InitGalileanState(&s, 0.243);
    for (int k = 0; k < 4; ++k) {
        GalileanState before = s;
        GalileanPlace place;
        GalileanSatelliteHandlers[k](&s, &place);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(s.l[i], before.l[i]) << k;
            if (i != k) {
                EXPECT_EQ(s.S[i], before.S[i]) << k;
            }
        }
        // The longitude is the mean one plus the perturbation (largest 1.07
        // degrees, Europa's), the latitude within half a degree of the
        // equator, the radius within 1% of the mean orbit.
        EXPECT_NEAR(place.longitude, s.l[k] + s.S[k], 1e-12);
        EXPECT_LT(std::fabs(s.S[k]), 1.2 * kDegree);
        EXPECT_LT(std::fabs(place.latitude), 0.5 * kDegree);
        const double radii[4] = {5.9073, 9.39912, 14.9924, 26.3699};
        EXPECT_NEAR(place.radius / radii[k], 1.0, 0.01) << k;
    }
}

TEST(GalileanSeries, LatitudeUsesTheTrueLongitude) {
    // Io's latitude series evaluated with l1 at its true longitude: sum the
    // two leading terms by hand.
    GalileanState s;
    InitGalileanState(&s, -0.1);
    GalileanPlace place;
    ComputeIoPlace(&s, &place);
    const double l = s.l[0] + s.S[0];
    const double leading = 0.0006502 * std::sin(l - s.N[0]) + 0.0001835 * std::sin(l - s.N[1]);
    EXPECT_NEAR(std::tan(place.latitude), leading, 5e-5);
    GalileanState meanOnly = s;
    EXPECT_NE(std::tan(place.latitude), ComputeIoLatitude(&meanOnly));
}

TEST(GalileanSeries, PoleVector) {
    GalileanState s;
    for (double t : {-1.0, 0.0, 0.5}) {
        InitGalileanState(&s, t);
        double pole[3];
        ComputeGalileanVector(5, &s, pole);
        const double cosI = s.cosines[0], sinI = s.sines[0];
        const double cos2 = s.cosines[1], cosPhi = s.cosines[2], sinPhi = s.sines[2];
        EXPECT_NEAR(pole[2], cosI * cosPhi - sinI * sinPhi * cos2, 1e-15);
        EXPECT_NEAR(std::sqrt(pole[0] * pole[0] + pole[1] * pole[1] + pole[2] * pole[2]), 1.0,
                    1e-15);
        // Jupiter's pole stands about 3.1 degrees from its orbit's pole and
        // within 3 degrees more of the ecliptic's.
        EXPECT_GT(pole[2], std::cos(5.0 * kDegree));
        double none[3] = {1, 1, 1};
        ComputeGalileanVector(4, &s, none);
        EXPECT_EQ(none[0], 0.0);
    }
}

}  // namespace
