// Tests of the orbit-file readers on records written by hand (eta CrB's
// elements, Meeus, Astronomical Algorithms, example 57.a), the precession
// correction of the position angle against the classical rate
// 0.00557 deg sin(RA) sec(Dec) per year, and the wrapping of corrected angles.
#include "objects/binaryorbitcat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "core/datapaths.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"

using starbytes::Put16;
using starbytes::Put32;
using starbytes::Put8;

namespace {
const double kDeg = 3.14159265358979323846 / 180.0;

void PutFloat(std::string &b, size_t at, double v) {
    const float f = (float)v;
    uint32_t u;
    std::memcpy(&u, &f, 4);
    Put32(b, at, u);
}

std::string OrbitRecord(int equinox) {
    std::string r(39, '\0');
    PutFloat(r, 0, 41.623);
    PutFloat(r, 4, 59.025 * kDeg);
    PutFloat(r, 8, 0.907);
    PutFloat(r, 12, 0.2763);
    PutFloat(r, 16, 219.907 * kDeg);
    PutFloat(r, 20, 23.717 * kDeg);
    PutFloat(r, 24, 1934.008);
    PutFloat(r, 28, 1.5);
    PutFloat(r, 32, -2.25);
    Put16(r, 36, (uint32_t)equinox);
    Put8(r, 38, 9);
    return r;
}

class OrbitFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
        // Orbit 1 (equinox 1950) and 2 (2000); only orbit 1 has a supplement:
        // eta CrB at RA 230.80 deg, Dec +30.29 deg.
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("lp_ref.bin"),
                                             OrbitRecord(1950) + OrbitRecord(2000)));
        std::string sup(68, '\0');
        Put32(sup, 0, starbytes::Turn(230.80 * kDeg));
        Put32(sup, 4, starbytes::Turn(30.29 * kDeg));
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("lp_sup.bin"), sup));
    }
    testutil::TempDir dir_;
};

TEST_F(OrbitFilesTest, ReadsElementsAndRefusesOutOfRange) {
    OrbitFiles *files = OpenBinaryOrbitFiles();
    ASSERT_NE(files, nullptr);
    BinaryOrbit o;
    double extra1 = 0, extra2 = 0;
    int grade = 0;
    ASSERT_EQ(ReadBinaryOrbit(files, 1, &o, &extra1, &extra2, &grade), 1);
    const double period = o.period, e = o.eccentricity, node = o.node, t = o.periastron_time;
    const double meanMotion = o.mean_motion;
    const int equinox = o.equinox_year;
    EXPECT_NEAR(period, 41.623, 1e-5);
    EXPECT_NEAR(e, 0.2763, 1e-7);
    EXPECT_NEAR(node / kDeg, 23.717, 1e-5);
    EXPECT_NEAR(t, 1934.008, 1e-3);
    EXPECT_EQ(meanMotion, 0.0);
    EXPECT_EQ(equinox, 1950);
    EXPECT_EQ(extra1, 1.5);
    EXPECT_EQ(extra2, -2.25);
    EXPECT_EQ(grade, 9);
    unsigned char sup[68];
    EXPECT_EQ(ReadOrbitSupplement(files, 1, sup), 1);
    EXPECT_EQ(ReadOrbitSupplement(files, 2, sup), 0);  // the file holds one supplement
    for (int n : {0, -1, 3, 1407}) EXPECT_EQ(ReadBinaryOrbit(files, n, &o, nullptr, nullptr, nullptr), 0) << n;
    EXPECT_EQ(ReadBinaryOrbit(nullptr, 1, &o, nullptr, nullptr, nullptr), 0);
    CloseBinaryOrbitFiles(files);
}

TEST_F(OrbitFilesTest, PositionAngleAtADateWithTheEquinoxCorrection) {
    OrbitFiles *files = OpenBinaryOrbitFiles();
    ASSERT_NE(files, nullptr);
    BinaryOrbit o1950, o2000;
    ASSERT_EQ(ReadBinaryOrbit(files, 1, &o1950, nullptr, nullptr, nullptr), 1);
    ASSERT_EQ(ReadBinaryOrbit(files, 2, &o2000, nullptr, nullptr, nullptr), 1);
    CloseBinaryOrbitFiles(files);

    // 50 years of precession at eta CrB: 0.00557 x sin 230.8 x sec 30.29 x 50 = -0.2499 deg.
    const double expected = 0.00557 * std::sin(230.80 * kDeg) / std::cos(30.29 * kDeg) * 50.0;
    const double correction = BinaryOrbitPrecessionCorrection(1, &o1950);
    EXPECT_NEAR(correction, expected, 0.005);
    // Equinox 2000 (or 0) needs none, and orbit 2 has no supplement to read.
    EXPECT_EQ(BinaryOrbitPrecessionCorrection(2, &o2000), 0.0);
    o2000.equinox_year = 0;
    EXPECT_EQ(BinaryOrbitPrecessionCorrection(2, &o2000), 0.0);
    // An equinox other than 2000 whose supplement is missing: no correction.
    o2000.equinox_year = 1900;
    EXPECT_EQ(BinaryOrbitPrecessionCorrection(2, &o2000), 0.0);

    double theta = 0, rho = 0;
    ASSERT_EQ(ComputeBinaryPositionAngle(1, &o1950, 1980.0, correction, &theta, &rho), 1);
    EXPECT_NEAR(theta, 318.4 + expected, 0.05);  // Meeus: 318.4 deg, 0.411"
    EXPECT_NEAR(rho, 0.411, 0.001);

    // Corrections that carry the angle past 360 or below 0 wrap once.
    double base = 0;
    ASSERT_EQ(ComputeBinaryPositionAngle(1, &o1950, 1980.0, 0.0, &base, &rho), 1);
    ASSERT_EQ(ComputeBinaryPositionAngle(1, &o1950, 1980.0, 361.2 - base, &theta, &rho), 1);
    EXPECT_NEAR(theta, 1.2, 1e-9);
    ASSERT_EQ(ComputeBinaryPositionAngle(1, &o1950, 1980.0, -0.5 - base, &theta, &rho), 1);
    EXPECT_NEAR(theta, 359.5, 1e-9);
    // An orbit that cannot be solved leaves the outputs alone.
    BinaryOrbit none;
    std::memset(&none, 0, sizeof none);
    theta = 7;
    EXPECT_EQ(ComputeBinaryPositionAngle(1, &none, 1980.0, 0.0, &theta, &rho), 0);
    EXPECT_EQ(theta, 7);
}

TEST_F(OrbitFilesTest, OpenFailsUnlessBothFilesOpen) {
    ASSERT_EQ(std::remove(dir_.file("lp_sup.bin").c_str()), 0);
    EXPECT_EQ(OpenBinaryOrbitFiles(), nullptr);
}

}  // namespace
