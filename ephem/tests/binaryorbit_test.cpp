// Tests of the visual-binary orbit solution against Meeus' worked example
// (Astronomical Algorithms, 2nd ed., example 57.a: eta Coronae Borealis at
// 1980.0, theta 318.4 deg, rho 0.411") and its refusals.
#include "ephem/binaryorbit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
BinaryOrbit EtaCrB() {
    BinaryOrbit o;
    InitBinaryOrbit(&o, 41.623, 1934.008, 0.2763, 0.907, 59.025, 23.717, 219.907, 1950);
    return o;
}
}  // namespace

TEST(BinaryOrbit, MeeusEtaCoronaeBorealisAt1980) {
    BinaryOrbit o = EtaCrB();
    // Packed fields are copied before gtest binds references to them.
    const double meanMotion0 = o.mean_motion, inclination = o.inclination;
    EXPECT_EQ(meanMotion0, 0.0);
    EXPECT_NEAR(inclination, 59.025 * 3.14159265358979 / 180.0, 1e-12);
    double theta = -1, rho = -1;
    ASSERT_EQ(ComputeBinaryStarPosition(&o, 1980.0, &theta, &rho), 1);
    EXPECT_NEAR(theta, 318.4, 0.05);
    EXPECT_NEAR(rho, 0.411, 0.0005);
    // The solver derived n = 360 / P deg per year (Meeus: 8.64906) and the factor.
    const double meanMotion = o.mean_motion, factor = o.derived;
    EXPECT_NEAR(meanMotion * 180.0 / 3.14159265358979, 8.64906, 1e-5);
    EXPECT_NEAR(factor, std::sqrt(1.2763 / 0.7237), 1e-12);
}

TEST(BinaryOrbit, PositionRepeatsAfterOnePeriodAndAngleStaysInRange) {
    BinaryOrbit o = EtaCrB();
    double t1 = 0, r1 = 0, t2 = 0, r2 = 0;
    for (double year = 1900.0; year < 1990.0; year += 3.7) {
        ASSERT_EQ(ComputeBinaryStarPosition(&o, year, &t1, &r1), 1);
        ASSERT_EQ(ComputeBinaryStarPosition(&o, year + 41.623, &t2, &r2), 1);
        EXPECT_GE(t1, 0.0);
        EXPECT_LT(t1, 360.0);
        EXPECT_GT(r1, 0.0);
        EXPECT_LE(r1, 0.907 * (1 + 0.2763) + 1e-9);
        EXPECT_NEAR(t1, t2, 1e-6);
        EXPECT_NEAR(r1, r2, 1e-9);
    }
}

TEST(BinaryOrbit, RefusesNoRecordZeroPeriodAndOpenOrbits) {
    double theta = 7.0, rho = 8.0;
    EXPECT_EQ(ComputeBinaryStarPosition(nullptr, 1980.0, &theta, &rho), 0);
    EXPECT_EQ(InitBinaryOrbit(nullptr, 1, 1, 0, 1, 0, 0, 0, 0), 0);
    const double periods[] = {0.0, 41.623, 41.623, 41.623};
    const double eccentricities[] = {0.2763, 1.0, 1.5, -0.1};
    for (int k = 0; k < 4; ++k) {
        BinaryOrbit o;
        InitBinaryOrbit(&o, periods[k], 1934.008, eccentricities[k], 0.907, 59.025, 23.717,
                        219.907, 0);
        EXPECT_EQ(ComputeBinaryStarPosition(&o, 1980.0, &theta, &rho), 0) << k;
        EXPECT_EQ(theta, 7.0);
        EXPECT_EQ(rho, 8.0);
        const double factor = o.derived;
        EXPECT_FALSE(std::isnan(factor));
    }
}
