// Tests of the component pair read from the double-star catalogue: a system
// whose close pair an aperture cannot split shows its wider companion, one
// it can split shows the close pair; a system without components gives -1.
#include "visibility/doublestarpair.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "astro/datetime.h"
#include "core/datapaths.h"
#include "objects/objectrecord.h"
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

void PutFloat(std::string &b, size_t at, double v) {
    const float f = (float)v;
    uint32_t u;
    std::memcpy(&u, &f, 4);
    Put32(b, at, u);
}

TEST(DoubleStarPair, SelectsThePairOfAnItemAtADate) {
    testutil::TempDir dir;
    SetRefDirectories(dir.path().c_str(), dir.path().c_str(), dir.path().c_str());
    // System 1 (primary 5.0): AB with eta CrB's orbit (catalogue 1.0", 5.6),
    // AC 20" without a magnitude, its star 2 of V 9.3. System 2: AB unmeasured.
    std::string comps = Component('A', 'B', 1.0, 5.6, 0, 1) + Component('A', 'C', 20.0, 0.0, 2);
    Put16(comps, 37 + 24, 32767);
    std::string unmeasured = Component('A', 'B', 0.0, 7.0);
    Put16(unmeasured, 17, 65535);  // 361 deg
    comps += unmeasured;
    std::string systems(62, '\0');
    Put32(systems, 0, 0u | (3u << 24));
    Put24(systems, 4, 1);
    Put16(systems, 29, 500);
    Put32(systems, 31, (2u * 37) | (2u << 24));
    Put24(systems, 31 + 4, 3);
    Put16(systems, 31 + 29, 500);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("ccdm.bin"), systems));
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
    Put16(orbit, 36, 2000);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("lp_ref.bin"), orbit));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("lp_sup.bin"), std::string(68, '\0')));
    std::string stars(2 * 80, '\0');
    Put32(stars, 80 + 61, (uint32_t)std::lround((9.3 + 1.6) * 100));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("stars.bin"), stars));

    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.decimalYear = 1980.0;
    std::unique_ptr<ObjectRecord> item(new ObjectRecord());
    item->doubleStarRecord = 1;
    // 400 mm (Dawes 0.29") splits AB at its orbit's 0.411" (Meeus, example 57.a).
    SelectDoubleStarComponents(&date, 400.0, item.get());
    EXPECT_EQ(item->pairComponentA, 'A');
    EXPECT_EQ(item->pairComponentB, 'B');
    const float separation = item->pairSeparation, companion = item->companionMagnitude;
    EXPECT_NEAR(separation, 0.411, 0.001);
    EXPECT_NEAR(companion, 5.6, 1e-5);
    // 100 mm (1.16") cannot: AC, its magnitude from the star catalogue.
    SelectDoubleStarComponents(&date, 100.0, item.get());
    EXPECT_EQ(item->pairComponentB, 'C');
    const float separation2 = item->pairSeparation, companion2 = item->companionMagnitude;
    EXPECT_NEAR(separation2, 20.0, 1e-5);
    EXPECT_NEAR(companion2, 9.3, 1e-4);
    // An unmeasured pair and an item without a record write nothing.
    std::unique_ptr<ObjectRecord> other(new ObjectRecord());
    other->doubleStarRecord = 2;
    other->pairComponentB = 'x';
    SelectDoubleStarComponents(&date, 400.0, other.get());
    EXPECT_EQ(other->pairComponentB, 'x');
    other->doubleStarRecord = 0;
    SelectDoubleStarComponents(&date, 400.0, other.get());
    EXPECT_EQ(other->pairComponentB, 'x');
    SetRefDirectories("", "", "");
}

}  // namespace
