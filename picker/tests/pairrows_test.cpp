// Tests of the picker's double-star component rows on catalogue files
// written by hand: reference magnitudes, catalogue separations, and the
// separation of a component with an orbit (eta CrB, Meeus, Astronomical
// Algorithms, example 57.a: 0.411" at 1980.0).
#include "picker/pairrows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "core/datapaths.h"
#include "objects/starcat.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"

using starbytes::Put16;
using starbytes::Put24;
using starbytes::Put32;
using starbytes::Put8;

namespace {

std::string Component(char reference, char letter, double sep, double mag, int star, int orbit) {
    std::string c(37, '\0');
    Put32(c, 9, (uint32_t)star);
    Put8(c, 19, (uint8_t)reference);
    Put8(c, 20, (uint8_t)letter);
    Put24(c, 21, (uint32_t)std::lround(sep * 1000));
    Put16(c, 24, (uint32_t)(uint16_t)(int16_t)std::lround(mag * 100));
    Put16(c, 31, (uint32_t)orbit);
    return c;
}

void PutFloat(std::string &b, size_t at, double v) {
    const float f = (float)v;
    uint32_t u;
    std::memcpy(&u, &f, 4);
    Put32(b, at, u);
}

TEST(PairRows, ComponentsWithReferenceMagnitudesAndOrbits) {
    testutil::TempDir dir;
    SetRefDirectories(dir.path().c_str(), dir.path().c_str(), dir.path().c_str());
    // Primary 4.2; AB with orbit 1 (catalogue 1.0", 5.6); BC 3.5" at 9.1 from B.
    const std::string comps =
        Component('A', 'B', 1.0, 5.6, 12, 1) + Component('B', 'C', 3.5, 9.1, 13, 0);
    std::string system(31, '\0');
    Put32(system, 0, 0u | (3u << 24));
    Put24(system, 4, 11);
    Put16(system, 29, 420);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("ccdm.bin"), system));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("ccdm_i.bin"), comps));
    std::string orbit(39, '\0');
    const double deg = 3.14159265358979323846 / 180.0;
    PutFloat(orbit, 0, 41.623);
    PutFloat(orbit, 4, 59.025 * deg);
    PutFloat(orbit, 8, 0.907);
    PutFloat(orbit, 12, 0.2763);
    PutFloat(orbit, 16, 219.907 * deg);
    PutFloat(orbit, 20, 23.717 * deg);
    PutFloat(orbit, 24, 1934.008);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("lp_ref.bin"), orbit));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("lp_sup.bin"), std::string(68, '\0')));

    std::unique_ptr<StarRecord> star(new StarRecord());
    star->ccdm_record = 1;
    PairComponent rows[4];
    ASSERT_EQ(ReadDoubleStarComponents(*star, 1980.0, rows, 4), 2);
    EXPECT_EQ(rows[0].letter, 'B');
    EXPECT_EQ(rows[0].referenceLetter, 'A');
    EXPECT_EQ(rows[0].star, 12);
    EXPECT_NEAR(rows[0].referenceMagnitude, 4.2, 1e-9);
    EXPECT_NEAR(rows[0].magnitude, 5.6, 1e-9);
    EXPECT_NEAR(rows[0].separation, 0.411, 0.001);
    EXPECT_EQ(rows[0].orbit, 1);
    EXPECT_NEAR(rows[1].referenceMagnitude, 5.6, 1e-9);
    EXPECT_NEAR(rows[1].separation, 3.5, 1e-9);
    EXPECT_EQ(rows[1].orbit, 0);
    // At most max rows; a star without a system has none.
    EXPECT_EQ(ReadDoubleStarComponents(*star, 1980.0, rows, 1), 1);
    star->ccdm_record = 0;
    EXPECT_EQ(ReadDoubleStarComponents(*star, 1980.0, rows, 4), 0);
    star->ccdm_record = 2;
    EXPECT_EQ(ReadDoubleStarComponents(*star, 1980.0, rows, 4), 0);
    SetRefDirectories("", "", "");
}

}  // namespace
