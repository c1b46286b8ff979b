// Tests of the component pair read from the double-star catalogue: a system
// whose close pair an aperture cannot split shows its wider companion, one
// it can split shows the close pair; a system without components gives -1.
#include "visibility/doublestarpair.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "core/datapaths.h"
#include "objects/ccdmcat.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"

using starbytes::Put16;
using starbytes::Put24;
using starbytes::Put32;
using starbytes::Put8;

namespace {

std::string Component(char reference, char letter, double sep, double mag, int star = 0,
                      int orbit = 0) {
    std::string c(37, '\0');
    Put32(c, 9, (uint32_t)star);
    Put16(c, 31, (uint32_t)orbit);
    Put8(c, 19, (uint8_t)reference);
    Put8(c, 20, (uint8_t)letter);
    Put24(c, 21, (uint32_t)std::lround(sep * 1000));
    Put16(c, 24, (uint32_t)(uint16_t)(int16_t)std::lround(mag * 100));
    return c;
}

TEST(DoubleStarPair, ChoosesFromTheCatalogueRecord) {
    testutil::TempDir dir;
    SetRefDirectories(dir.path().c_str(), dir.path().c_str(), dir.path().c_str());
    // System 1: primary 5.0; AB 0.8" at 5.5, AC 12" at 6.0, AD 40" at 11.
    // System 2: empty record.
    std::string comps = Component('A', 'B', 0.8, 5.5) + Component('A', 'C', 12, 6.0) +
                        Component('A', 'D', 40, 11.0);
    std::string systems(62, '\0');
    Put32(systems, 0, 0u | (4u << 24));
    Put24(systems, 4, 7);
    Put16(systems, 25, 100);
    Put16(systems, 27, 0x8000 | 1000);
    Put16(systems, 29, 500);
    Put16(systems, 31 + 25, 100);
    Put16(systems, 31 + 27, 900);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("ccdm.bin"), systems));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("ccdm_i.bin"), comps));

    CcdmComponent row;
    std::memset(&row, 0, sizeof row);
    // A 60 mm aperture (Dawes 1.93") cannot split AB: AC, nearest in brightness.
    EXPECT_EQ(FindDoubleStarComponent(1, 116.0 / 60.0, &row), 1);
    EXPECT_EQ(row.letter, 'C');
    EXPECT_NEAR(double(row.separation), 12.0, 1e-9);
    // A 200 mm aperture (0.58") splits AB, within 3 magnitudes of the primary.
    EXPECT_EQ(FindDoubleStarComponent(1, 116.0 / 200.0, &row), 0);
    EXPECT_EQ(row.letter, 'B');
    EXPECT_EQ(FindDoubleStarComponent(2, 0.58, &row), -1);
    EXPECT_EQ(FindDoubleStarComponent(3, 0.58, &row), -1);
    SetRefDirectories("", "", "");
    EXPECT_EQ(FindDoubleStarComponent(1, 0.58, &row), -1);
}

TEST(DoubleStarPair, OrbitLookupsThroughTheStarsSystem) {
    testutil::TempDir dir;
    SetRefDirectories(dir.path().c_str(), dir.path().c_str(), dir.path().c_str());
    // System 1: rows A (star 1), B (star 2, orbit 12), C (star 3, orbit 30).
    std::string comps = Component(' ', 'A', 0, 5.0, 1) + Component('A', 'B', 1.5, 6.0, 2, 12) +
                        Component('A', 'C', 9.0, 8.0, 3, 30);
    std::string systems(31, '\0');
    Put32(systems, 0, 0u | (4u << 24));
    Put24(systems, 4, 1);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("ccdm.bin"), systems));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("ccdm_i.bin"), comps));
    // stars.bin: star 1 (component A) and star 2 (component B) of system 1;
    // star 3 has no system.
    std::string stars(3 * 80, '\0');
    Put32(stars, 61, 1u << 15);
    Put8(stars, 79, 'A');
    Put32(stars, 80 + 61, 1u << 15);
    Put8(stars, 80 + 79, 'B');
    Put8(stars, 160 + 79, ' ');
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("stars.bin"), stars));

    EXPECT_EQ(FindComponentOrbitNumber(1, 'B'), 12);
    EXPECT_EQ(FindComponentOrbitNumber(1, 'C'), 30);
    EXPECT_EQ(FindComponentOrbitNumber(1, ' '), 0);   // A has no orbit
    EXPECT_EQ(FindComponentOrbitNumber(2, 'A'), 12);  // star 2 is B itself
    EXPECT_EQ(FindComponentOrbitNumber(2, ' '), 12);
    EXPECT_EQ(FindComponentOrbitNumber(1, 'D'), 0);
    EXPECT_EQ(FindComponentOrbitNumber(3, 'B'), 0);   // no system
    EXPECT_EQ(FindComponentOrbitNumber(9, 'B'), 0);   // no such star
    char letter = 0;
    EXPECT_EQ(FindFirstOrbitComponent(1, &letter), 2);
    EXPECT_EQ(letter, 'B');
    EXPECT_EQ(FindFirstOrbitComponent(3, &letter), 0);
    EXPECT_EQ(letter, ' ');
    SetRefDirectories("", "", "");
}

}  // namespace
