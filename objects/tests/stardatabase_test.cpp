// Tests of the star databases' zone tables, region codes, record decoders and
// region walk, against hand-written bytes and the generated demo databases
// compared with their source (KStars' stars.dat).
#include "objects/stardatabase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "objects/tests/demostardb.h"
#include "testutil/testutil.h"

namespace {

const double kPiHere = 3.14159265358979323846;
double Deg(double d) { return d * kPiHere / 180; }
const double kArcsec = kPiHere / 648000;

struct FileCloser {
    void operator()(FILE *f) const {
        if (f) std::fclose(f);
    }
};
using File = std::unique_ptr<FILE, FileCloser>;

TEST(StarDatabaseLocate, ZonesRegionsAndSubRegions) {
    struct Case {
        int database;
        double ra, dec;  // degrees
        int zone, region, column, row;
    } cases[] = {
        // a position on a zone's lower bound belongs to that zone
        {kStarDbMag7, 10, 30, 4, 0, 0, 0},
        {kStarDbMag7, 10, 29.9999, 3, 0, 0, 0},
        {kStarDbMag7, 359.9, -90, 0, 3, 0, 0},  // mag7 has no caps: 4 regions of 90
        {kStarDbMag7, 90, 60, 5, 1, 0, 0},
        {kStarDbMag10, 200, 89, 13, 0, 0, 0},   // cap
        {kStarDbMag10, 200, 85, 13, 0, 0, 0},
        {kStarDbMag10, 200, 84.99, 12, 1, 0, 0},
        {kStarDbMag10, 359.99, -15, 6, 23, 0, 0},
        {kStarDbMag10, 15, -14.9, 6, 1, 0, 0},
        // magx: a zone of 7.5 degrees with d = 3 (sub-regions of 2.5 degrees)
        {kStarDbMagX, 8.0, 1.0, 12, 1, 0, 0},
        {kStarDbMagX, 13.0, 6.0, 12, 1, 2, 2},
        {kStarDbMagX, 10.0, 2.5, 12, 1, 1, 1},
        // d = 2 in zone 2 (9 degrees: 40 regions, sub-regions of 4.5)
        {kStarDbMagX, 13.6, -70.0, 2, 1, 1, 1},
        // +90 is the top zone, last row; caps are one region
        {kStarDbMagX, 123, 90, 23, 0, 0, 0},
        {kStarDbMagX, 123, 88.5, 23, 0, 0, 0},
        {kStarDbMagX, 123, 88.49, 22, 10, 0, 1},
        {kStarDbMagX, 123, -90, 0, 0, 0, 0},
        // right ascension 360 degrees wraps to region 0; beyond the pole clamps
        {kStarDbMagX, 360, 1.0, 12, 0, 0, 0},
        {kStarDbMagX, -7.4, 1.0, 12, 47, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.database << " " << c.ra << " " << c.dec);
        int zone = -1, region = -1, column = -1, row = -1;
        if (c.database == kStarDbMag7) LocateMag7Region(Deg(c.ra), Deg(c.dec), &zone, &region);
        if (c.database == kStarDbMag10) LocateMag10Region(Deg(c.ra), Deg(c.dec), &zone, &region);
        if (c.database == kStarDbMagX)
            LocateMagxRegion(Deg(c.ra), Deg(c.dec), &zone, &region, &column, &row);
        EXPECT_EQ(c.zone, zone);
        EXPECT_EQ(c.region, region);
        if (c.database == kStarDbMagX) {
            EXPECT_EQ(c.column, column);
            EXPECT_EQ(c.row, row);
        }
    }
    // just above 2 pi and just below -pi/2 stay inside the tables
    int zone, region, column, row;
    LocateMagxRegion(2 * kPiHere + 1e-15, 0, &zone, &region, &column, &row);
    EXPECT_EQ(0, region);
    LocateMag7Region(2 * kPiHere - 1e-12, -kPiHere / 2 - 1e-9, &zone, &region);
    EXPECT_EQ(0, zone);
    EXPECT_EQ(3, region);
}

TEST(StarDatabaseLocate, ZoneTablesCoverTheSphere) {
    // every zone's upper bound is the next one's lower bound, the last ends at
    // +90, and the magx region counts make square regions
    for (int db = kStarDbMag7; db <= kStarDbMagX; ++db) {
        double expected = -90;
        for (int z = 0; z < StarZoneCount(db); ++z) {
            double lower, height;
            ASSERT_EQ(1, GetStarZone(db, z, &lower, &height));
            EXPECT_DOUBLE_EQ(expected, lower) << db << " " << z;
            expected = lower + height;
            if (db == kStarDbMagX && z > 0 && z < 23) {
                EXPECT_EQ((int)std::lround(360 / height), StarRegionCount(db, z));
            }
        }
        EXPECT_DOUBLE_EQ(90, expected);
    }
    EXPECT_EQ(6, StarZoneCount(kStarDbMag7));
    EXPECT_EQ(14, StarZoneCount(kStarDbMag10));
    EXPECT_EQ(24, StarZoneCount(kStarDbMagX));
    EXPECT_EQ(0, StarZoneCount(4));
}

TEST(StarDatabaseBounds, RegionsCapsAndEntries) {
    StarRegionBounds b;
    EXPECT_EQ(3, GetMag7RegionBounds(0, 3, &b));
    EXPECT_EQ(0, b.polar);
    EXPECT_NEAR(Deg(270), b.rightAscensionStart, 1e-12);
    EXPECT_NEAR(Deg(90), b.width, 1e-12);
    EXPECT_NEAR(Deg(-90), b.declinationStart, 1e-12);

    EXPECT_EQ(0, GetMag10RegionBounds(13, 0, &b));
    EXPECT_EQ(1, b.polar);
    EXPECT_NEAR(2 * kPiHere, b.width, 1e-12);
    EXPECT_NEAR(Deg(5), b.height, 1e-12);
    EXPECT_EQ(0, GetMag10RegionBounds(0, 0, &b));
    EXPECT_EQ(1, b.polar);
    EXPECT_EQ(5, GetMag10RegionBounds(7, 5, &b));
    EXPECT_EQ(0, b.polar);

    // magx zone 12, region 1, column 2, row 1: entry 2 + 1 x 3
    EXPECT_EQ(5, GetMagxRegionBounds(12, 1, 2, 1, &b));
    EXPECT_NEAR(Deg(7.5 + 5), b.rightAscensionStart, 1e-12);
    EXPECT_NEAR(Deg(2.5), b.declinationStart, 1e-12);
    EXPECT_NEAR(Deg(2.5), b.width, 1e-12);
    EXPECT_NEAR(Deg(2.5), b.height, 1e-12);
    EXPECT_EQ(0, GetMagxRegionBounds(23, 0, 0, 0, &b));
    EXPECT_EQ(1, b.polar);
    EXPECT_NEAR(Deg(88.5), b.declinationStart, 1e-12);

    // outside the tables
    EXPECT_EQ(-1, GetMag7RegionBounds(6, 0, &b));
    EXPECT_EQ(-1, GetMag7RegionBounds(0, 4, &b));
    EXPECT_EQ(-1, GetMag10RegionBounds(13, 1, &b));
    EXPECT_EQ(-1, GetMagxRegionBounds(12, 48, 0, 0, &b));
    EXPECT_EQ(-1, GetMagxRegionBounds(3, 0, 2, 0, &b));  // d = 2 there
    EXPECT_EQ(-1, GetMagxRegionBounds(23, 0, 0, 1, &b));
}

TEST(StarDatabaseCodes, PackAndSplit) {
    // zone 5, region 47, row 2, column 1: 5 + 47 x 32 + 2 x 2048 + 1 x 8192
    EXPECT_EQ(13797, MakeRegionCode(5, 47, 2, 1));
    int zone, region, row, column;
    SplitRegionCode(13797, &zone, &region, &row, &column);
    EXPECT_EQ(5, zone);
    EXPECT_EQ(47, region);
    EXPECT_EQ(2, row);
    EXPECT_EQ(1, column);
    SplitRegionCode(MakeRegionCode(23, 0, 0, 0), &zone, &region, &row, &column);
    EXPECT_EQ(23, zone);
    EXPECT_EQ(0, region + row + column);
}

TEST(StarDatabaseCodes, ColourIndexClasses) {
    struct Case {
        double bv;
        int expected;
    } cases[] = {{-1.01, 1}, {-1, 2},  {-0.51, 2}, {-0.5, 3}, {-0.28, 4}, {-0.01, 4},
                 {0, 5},     {0.3, 6}, {0.68, 7},  {0.84, 8}, {0.99, 8},  {1, 9},
                 {1.5, 10},  {1.7, 11}, {2, 12},   {3, 13},   {4, 14},    {90, 14},
                 {90.01, 0}};
    for (const Case &c : cases) EXPECT_EQ(c.expected, GetColourIndexClass(c.bv)) << c.bv;
}

TEST(StarDatabasePaths, ThreeLayouts) {
    char path[128];
    ASSERT_EQ(1, FormatStarFilePath(path, sizeof path, "D:/map/", kStarDbMag7, 3, 0));
    EXPECT_STREQ("D:/map/mag7/stars03.bin", path);
    ASSERT_EQ(1, FormatStarFilePath(path, sizeof path, "D:/map/", kStarDbMag10, 13, 0));
    EXPECT_STREQ("D:/map/mag10/db13/stars.bin", path);
    ASSERT_EQ(1, FormatStarFilePath(path, sizeof path, "D:/map/", kStarDbMagX, 7, 47));
    EXPECT_STREQ("D:/map/magx/db07/stars47.bin", path);
    EXPECT_EQ(0, FormatStarFilePath(path, sizeof path, nullptr, kStarDbMag7, 3, 0));
    EXPECT_EQ(0, FormatStarFilePath(path, 10, "D:/map/", kStarDbMag7, 3, 0));
    EXPECT_STREQ("", path);
}

// ---- records from hand-written bytes ---------------------------------------------------

// Bounds of one radian square from 0, so fractions read straight off.
const StarRegionBounds kUnit = {0, 0, 1, 1, 0};
const StarRegionBounds kCap = {0, Deg(85), 2 * kPiHere, Deg(5), 1};

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) out.push_back((uint8_t)v);
    return out;
}

// F = 0x80000, G = 0x12345: word 0x34580000, then 0x12
#define POSITION 0x00, 0x00, 0x58, 0x34, 0x12
// +1.0 and -0.5 arcsec/yr: 850,000 and 700,000
#define MOTION 0x50, 0xF8, 0x0C, 0x60, 0xAE, 0x0A

TEST(StarDatabaseRecords, EveryFormFromBytes) {
    const double ra = 0x80000 / 1048575.0, dec = 0x12345 / 1048575.0;
    DecodedStar s;

    // catalogue star: number 123,456, V 4.00 (560) in class 7, end 0x85
    auto catalogue = Bytes({POSITION, MOTION, 0x40, 0xE2, 0x01, 0x30, 0x72, 0x85});
    ASSERT_EQ(17, (int)catalogue.size());
    ASSERT_EQ(17, StarRecordSize(0, 0));
    ASSERT_EQ(1, DecodeStarDbRecord(catalogue.data(), catalogue.size(), 0, kUnit, &s));
    EXPECT_NEAR(ra, s.rightAscension, 1e-15);
    EXPECT_NEAR(dec, s.declination, 1e-15);
    EXPECT_NEAR(1.0 * kArcsec / std::cos(dec), s.motionRightAscension, 1e-15);
    EXPECT_NEAR(-0.5 * kArcsec, s.motionDeclination, 1e-15);
    EXPECT_EQ(123456, s.catalogueNumber);
    EXPECT_NEAR(4.0, s.v, 1e-9);
    EXPECT_EQ(7, s.colourClass);
    EXPECT_EQ(1, s.flag);
    EXPECT_EQ(5, s.nextCode);
    EXPECT_EQ(' ', s.componentLetter);
    EXPECT_EQ(0, DecodeStarDbRecord(catalogue.data(), 16, 0, kUnit, &s));

    // named star: three unused bytes, letter 'B', end 0x06
    auto named = Bytes({POSITION, MOTION, 0x40, 0xE2, 0x01, 0xAA, 0xBB, 0xCC, 'B', 0x30, 0x72,
                        0x06});
    ASSERT_EQ(21, StarRecordSize(11, 0));
    ASSERT_EQ(1, DecodeStarDbRecord(named.data(), named.size(), 11, kUnit, &s));
    EXPECT_EQ('B', s.componentLetter);
    EXPECT_EQ(123456, s.catalogueNumber);
    EXPECT_NEAR(4.0, s.v, 1e-9);
    EXPECT_EQ(0, s.flag);
    EXPECT_EQ(6, s.nextCode);
    EXPECT_EQ(0, s.orbitalSystem);

    // guide star 9537-567, V 12.3 (1390), B 13.1 (1470): colour 0.8, class 7
    auto guide = Bytes({POSITION, MOTION, 0x41, 0x25, 0x37, 0x02, 0x6E, 0xE5, 0x5B, 0xF4});
    ASSERT_EQ(19, StarRecordSize(kStarCodeGuide, 0));
    ASSERT_EQ(1, DecodeStarDbRecord(guide.data(), guide.size(), kStarCodeGuide, kUnit, &s));
    EXPECT_EQ(9537, s.guideRegion);
    EXPECT_EQ(567, s.guideNumber);
    EXPECT_NEAR(12.3, s.v, 1e-9);
    EXPECT_NEAR(13.1, s.b, 1e-9);
    EXPECT_EQ(7, s.colourClass);
    EXPECT_EQ(4, s.nextCode);
    EXPECT_EQ(0, s.flag);  // bit 7 is not the flag in this form

    // coloured star with no B (4095): class 0
    auto coloured = Bytes({POSITION, MOTION, 0x6E, 0xF5, 0xFF, 0x00});
    ASSERT_EQ(1, DecodeStarDbRecord(coloured.data(), coloured.size(), kStarCodeColoured, kUnit, &s));
    EXPECT_NEAR(12.3, s.v, 1e-9);
    EXPECT_DOUBLE_EQ(99.9, s.b);
    EXPECT_EQ(0, s.colourClass);
    // V of 4095: 99.9, and class 0 whatever B is
    auto noV = Bytes({POSITION, MOTION, 0xFF, 0xEF, 0x5B, 0x00});
    ASSERT_EQ(1, DecodeStarDbRecord(noV.data(), noV.size(), kStarCodeColoured, kUnit, &s));
    EXPECT_DOUBLE_EQ(99.9, s.v);
    EXPECT_EQ(0, s.colourClass);

    // faint star: byte 255 gives 20.0; class 10 in the end byte's high bits
    auto faint = Bytes({POSITION, 0xFF, 0x00, 0xA6});
    ASSERT_EQ(8, StarRecordSize(kStarCodeFaint, 0));
    ASSERT_EQ(1, DecodeStarDbRecord(faint.data(), faint.size(), kStarCodeFaint, kUnit, &s));
    EXPECT_NEAR(20.0, s.v, 1e-12);
    EXPECT_EQ(10, s.colourClass);
    EXPECT_EQ(6, s.nextCode);
    EXPECT_EQ(0, s.flag);
}

TEST(StarDatabaseRecords, PolarCapsAndOrbitalSystems) {
    DecodedStar s;
    // R = 0x20000000 (a quarter turn), H = all ones (the cap's top)
    auto faint = Bytes({0x00, 0x00, 0x00, 0x20, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00});
    ASSERT_EQ(10, StarRecordSize(kStarCodeFaint, 1));
    ASSERT_EQ(1, DecodeStarDbRecord(faint.data(), faint.size(), kStarCodeFaint, kCap, &s));
    EXPECT_NEAR(0x20000000 * 2 * kPiHere / 2147483647.0, s.rightAscension, 1e-15);
    EXPECT_NEAR(Deg(90), s.declination, 1e-12);
    EXPECT_NEAR(13.0, s.v, 1e-12);
    EXPECT_EQ(0x20000000 / 4 * 4, s.rightAscensionTurns + 0);  // exact quarter in turns

    // a negative absolute right ascension reads as the same direction
    auto negative = Bytes({0x00, 0x00, 0x00, 0xE0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    ASSERT_EQ(1, DecodeStarDbRecord(negative.data(), negative.size(), kStarCodeFaint, kCap, &s));
    EXPECT_NEAR(2 * kPiHere - 0x20000000 * 2 * kPiHere / 2147483647.0, s.rightAscension, 1e-12);
    EXPECT_NEAR(Deg(85), s.declination, 1e-12);

    // a catalogue star at the pole with a motion in RA: no division by zero
    auto atPole = Bytes({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, MOTION, 1, 0, 0, 0x30, 0x02, 0x00});
    ASSERT_EQ(19, StarRecordSize(0, 1));
    ASSERT_EQ(1, DecodeStarDbRecord(atPole.data(), atPole.size(), 0, kCap, &s));
    EXPECT_TRUE(std::isfinite(s.motionRightAscension));
    EXPECT_NEAR(-0.5 * kArcsec, s.motionDeclination, 1e-15);

    // both motions 0xFFFFFF in a named star: an orbital system, motions 0
    auto system = Bytes({POSITION, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 'A',
                         0x30, 0x02, 0x00});
    ASSERT_EQ(1, DecodeStarDbRecord(system.data(), system.size(), 8, kUnit, &s));
    EXPECT_EQ(1, s.orbitalSystem);
    EXPECT_EQ(0, s.motionRightAscension);
    EXPECT_EQ(0, s.motionDeclination);
    // the same bytes in a catalogue star are a real (large) motion
    auto fast = Bytes({POSITION, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0x30, 0x02, 0x00});
    ASSERT_EQ(1, DecodeStarDbRecord(fast.data(), fast.size(), 0, kUnit, &s));
    EXPECT_EQ(0, s.orbitalSystem);
    EXPECT_NEAR((0x1FFFFF * 0.00001 - 7.5) * kArcsec, s.motionDeclination, 1e-15);
}

TEST(StarDatabaseRecords, VariableBlocksAndComponents) {
    // brightest n = 1000 (4.00), faintest f = 600 (5.00), model 3, second series
    std::vector<uint8_t> block = Bytes({0x00, 0x00, 0x80, 0x3E, 0x58, 0xB2});
    uint32_t epoch = 2451545 | (uint32_t)50 << 24;  // shape 0.50
    float fraction = 0.25f, period = 3.5f;
    uint8_t tail[14];
    std::memcpy(tail, &epoch, 4);
    std::memcpy(tail + 4, &fraction, 4);
    std::memcpy(tail + 8, &period, 4);
    tail[12] = 0;
    tail[13] = 20;
    block.insert(block.end(), tail, tail + 14);
    VariableBlock v;
    ASSERT_EQ(1, DecodeVariableBlock(block.data(), block.size(), &v));
    EXPECT_NEAR(4.0, v.brightest, 1e-9);
    EXPECT_NEAR(5.0, v.faintest, 1e-9);
    EXPECT_EQ(3, v.model);
    EXPECT_EQ(1, v.secondSeries);
    EXPECT_NEAR(2451545.25, v.epoch, 1e-6);
    EXPECT_NEAR(3.5, v.period, 1e-6);
    EXPECT_NEAR(0.5, v.shape1, 1e-12);
    EXPECT_NEAR(0.2, v.shape2, 1e-12);
    EXPECT_EQ(0, DecodeVariableBlock(block.data(), 19, &v));  // model 3 needs 20

    struct Model {
        int model, extra;
    } models[] = {{0, 0}, {1, 0}, {2, 0}, {3, 14}, {4, 13}, {5, 8}, {6, 8}, {7, 0}};
    for (const Model &m : models) EXPECT_EQ(m.extra, VariableBlockExtraSize(m.model)) << m.model;

    // component: 1.50", angle 270, q = 4194303, letter 'C',
    // reference 2, variable block and orbit follow
    auto comp = Bytes({0x96, 0x00, 0x0E, 0xFF, 0xFF, 0x7F, 'C', 0xC2});
    ComponentRecord c;
    ASSERT_EQ(1, DecodeComponentRecord(comp.data(), comp.size(), &c));
    EXPECT_NEAR(1.5, c.separation, 1e-12);
    EXPECT_EQ(270, c.positionAngle);
    EXPECT_NEAR(4194303 * 21.2 / 8388607 - 1.6, c.v, 1e-9);
    EXPECT_EQ('C', c.letter);
    EXPECT_EQ(2, c.referenceIndex);
    EXPECT_EQ(1, c.hasVariable);
    EXPECT_EQ(1, c.hasOrbit);
}

// ---- the region walk ------------------------------------------------------------------

// A file of three entries: a region of a variable double (code 3: variable
// block of model 4, two components, the second with a variable block of
// model 5 and an orbit), followed by a faint star; an empty region whose
// offset is the end of the file; and a region whose count cannot fit.
std::string WalkFile() {
    std::string head(24, '\0'), body;
    auto put32 = [](std::string &s, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) s[at + i] = (char)(v >> (8 * i));
    };
    body += (char)3;  // first code
    auto star = Bytes({POSITION, MOTION, 9, 0, 0, 0x30, 0x02, 0x06});
    body.append(star.begin(), star.end());
    auto var4 = Bytes({0, 0, 0, 0, 0, 0x40});  // model 4: 13 more bytes
    body.append(var4.begin(), var4.end());
    body.append(13, '\x11');
    body += (char)2;  // two components
    auto c1 = Bytes({10, 0, 0, 0, 0, 0, 'B', 0x00});
    auto c2 = Bytes({10, 0, 0, 0, 0, 0, 'C', 0xC0});
    body.append(c1.begin(), c1.end());
    body.append(c2.begin(), c2.end());
    auto var5 = Bytes({0, 0, 0, 0, 0, 0x50});  // model 5: 8 more
    body.append(var5.begin(), var5.end());
    body.append(8, '\x22');
    body.append(kStarOrbitRecordSize, '\x33');
    auto faint = Bytes({POSITION, 128, 0, 0x00});
    body.append(faint.begin(), faint.end());
    put32(head, 0, 24);
    put32(head, 4, 2);
    put32(head, 8, (uint32_t)(24 + body.size()));  // empty region at the end
    put32(head, 12, 0);
    put32(head, 16, 24);
    put32(head, 20, 1000);
    return head + body;
}

TEST(StarRegionWalk, FindsEveryRecordAfterTheBlocks) {
    testutil::TempDir dir;
    std::string bytes = WalkFile();
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("s.bin"), bytes));
    File f(std::fopen(dir.file("s.bin").c_str(), "rb"));
    ASSERT_TRUE(f);
    StarRegionWalk walk;
    DecodedStar s;
    ASSERT_EQ(1, BeginStarRegionWalk(&walk, f.get(), 0, kUnit));
    ASSERT_EQ(1, NextStarInRegion(&walk, &s));
    EXPECT_EQ(3, s.code);
    EXPECT_EQ(9, s.catalogueNumber);
    ASSERT_EQ(1, NextStarInRegion(&walk, &s));
    EXPECT_EQ(kStarCodeFaint, s.code);
    EXPECT_NEAR(128 * 7.0 / 255 + 13, s.v, 1e-12);
    EXPECT_EQ(0, NextStarInRegion(&walk, &s));
    // the empty region at the end of the file is empty, not an error
    EXPECT_EQ(0, BeginStarRegionWalk(&walk, f.get(), 1, kUnit));
    // a count the file cannot hold, and an entry past the table
    EXPECT_EQ(-1, BeginStarRegionWalk(&walk, f.get(), 2, kUnit));
    EXPECT_EQ(-1, BeginStarRegionWalk(&walk, f.get(), 1000, kUnit));
}

TEST(StarRegionWalk, TruncatedFilesFailWithoutReadingPastTheEnd) {
    testutil::TempDir dir;
    std::string bytes = WalkFile();
    // every cut inside the first region's records: -1 at some step, never a crash
    for (size_t cut = 25; cut < bytes.size(); ++cut) {
        SCOPED_TRACE(cut);
        std::string path = dir.file("cut.bin");
        ASSERT_TRUE(testutil::WriteFileBytes(path, bytes.substr(0, cut)));
        File f(std::fopen(path.c_str(), "rb"));
        ASSERT_TRUE(f);
        StarRegionWalk walk;
        DecodedStar s;
        int result = BeginStarRegionWalk(&walk, f.get(), 0, kUnit);
        int steps = 0;
        while (result == 1 && steps < 10) {
            result = NextStarInRegion(&walk, &s);
            ++steps;
        }
        EXPECT_EQ(-1, result);
    }
}

// ---- the generated databases against their source ---------------------------------------

struct SourceStar {
    double ra, dec, mag;
};

// The brightest stars of KStars' stars.dat (sorted by magnitude), read here
// independently of the generator.
std::vector<SourceStar> ReadSourceStars(size_t count) {
    std::vector<SourceStar> stars;
    std::ifstream in("/usr/share/kstars/stars.dat");
    std::string line;
    while (stars.size() < count && std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line.size() < 58) continue;
        double ra = (std::stoi(line.substr(0, 2)) + std::stoi(line.substr(2, 2)) / 60.0 +
                     std::stod(line.substr(4, 5)) / 3600) * 15;
        double dec = std::stoi(line.substr(11, 2)) + std::stoi(line.substr(13, 2)) / 60.0 +
                     std::stod(line.substr(15, 4)) / 3600;
        if (line[10] == '-') dec = -dec;
        stars.push_back({Deg(ra), Deg(dec), std::stod(line.substr(46, 5))});
    }
    return stars;
}

// Looks for a star within 1" and 0.006 mag in the region holding a position.
bool FindInDatabase(int database, const std::string &dir, const SourceStar &star,
                    DecodedStar *found) {
    int ok;
    StarRegionCode code = LocateStarRegionCode(database, star.ra, star.dec, &ok);
    StarRegionBounds bounds;
    int entry = GetStarRegionBounds(database, code, &bounds);
    int zone, region;
    SplitRegionCode(code, &zone, &region, nullptr, nullptr);
    char path[512];
    if (!ok || entry < 0 ||
        !FormatStarFilePath(path, sizeof path, dir.c_str(), database, zone, region))
        return false;
    File f(std::fopen(path, "rb"));
    if (!f) return false;
    StarRegionWalk walk;
    if (BeginStarRegionWalk(&walk, f.get(), entry, bounds) != 1) return false;
    DecodedStar s;
    while (NextStarInRegion(&walk, &s) == 1) {
        double dra = std::fabs(s.rightAscension - star.ra) * std::cos(star.dec);
        if (dra < kArcsec && std::fabs(s.declination - star.dec) < kArcsec &&
            std::fabs(s.v - star.mag) < 0.006) {
            *found = s;
            return true;
        }
    }
    return false;
}

TEST(StarDatabaseDemo, SourceStarsFoundInEveryDatabase) {
    auto &folders = demostars::DemoStarFolders();
    if (!folders.ready) GTEST_SKIP() << "no demo star databases";
    std::vector<SourceStar> stars = ReadSourceStars(3000);
    if (stars.empty()) GTEST_SKIP() << "KStars' stars.dat is not readable here";
    int checked = 0;
    for (size_t i = 0; i < stars.size(); i += 7) {
        const SourceStar &star = stars[i];
        SCOPED_TRACE(testing::Message() << i << " " << star.ra << " " << star.dec);
        DecodedStar s;
        if (star.mag <= 7.1) {
            EXPECT_TRUE(FindInDatabase(kStarDbMag7, folders.map0, star, &s));
        }
        EXPECT_TRUE(FindInDatabase(kStarDbMag10, folders.map1, star, &s));
        ASSERT_TRUE(FindInDatabase(kStarDbMagX, folders.map2, star, &s));
        // stars.dat is in the star catalogue's number order
        EXPECT_GT(s.catalogueNumber, 0);
        ++checked;
    }
    EXPECT_GT(checked, 400);
    // Sirius, the first star: number 1, Hipparcos place (ESA 1997, HIP 32349)
    DecodedStar s;
    SourceStar sirius = {Deg(101.28715533), Deg(-16.71611586), -1.44};
    ASSERT_TRUE(FindInDatabase(kStarDbMag7, folders.map0, sirius, &s));
    EXPECT_EQ(1, s.catalogueNumber);
    EXPECT_EQ(5, s.colourClass);  // B-V 0.009
}

// Every region of every file: records inside their region, brightest first,
// within the database's limit; the whole file walked without an error.
TEST(StarDatabaseDemo, RegionsHoldOnlyTheirOwnStarsInOrder) {
    auto &folders = demostars::DemoStarFolders();
    if (!folders.ready) GTEST_SKIP() << "no demo star databases";
    struct Db {
        int database;
        std::string dir;
        double limit;
    } dbs[] = {{kStarDbMag7, folders.map0, 7.1}, {kStarDbMag10, folders.map1, 10},
               {kStarDbMagX, folders.map2, 20.01}};
    for (const Db &db : dbs) {
        long total = 0, empty = 0;
        for (int zone = 0; zone < StarZoneCount(db.database); ++zone) {
            int regions = StarRegionCount(db.database, zone);
            int d = db.database == kStarDbMagX ? MagxSubdivisions(zone) : 1;
            for (int region = 0; region < regions; ++region) {
                char path[512];
                ASSERT_EQ(1, FormatStarFilePath(path, sizeof path, db.dir.c_str(), db.database,
                                                zone, region));
                File f(std::fopen(path, "rb"));
                ASSERT_TRUE(f) << path;
                for (int row = 0; row < d; ++row)
                    for (int column = 0; column < d; ++column) {
                        StarRegionBounds b;
                        int entry = db.database == kStarDbMag7
                                        ? GetMag7RegionBounds(zone, region, &b)
                                        : db.database == kStarDbMag10
                                              ? GetMag10RegionBounds(zone, region, &b)
                                              : GetMagxRegionBounds(zone, region, column, row, &b);
                        StarRegionWalk walk;
                        int begun = BeginStarRegionWalk(&walk, f.get(), entry, b);
                        ASSERT_GE(begun, 0) << path << " " << entry;
                        if (begun == 0) ++empty;
                        DecodedStar s;
                        double last = -99;
                        int result;
                        while (begun == 1 && (result = NextStarInRegion(&walk, &s)) == 1) {
                            ++total;
                            ASSERT_GE(s.v, last - 1e-9) << path;
                            last = s.v;
                            ASSERT_LE(s.v, db.limit + 0.005);  // within the 0.01 quantisation
                            // the star lies in the region it is stored in
                            int z, r, c, w;
                            if (db.database == kStarDbMagX)
                                LocateMagxRegion(s.rightAscension, s.declination, &z, &r, &c, &w);
                            else if (db.database == kStarDbMag7)
                                LocateMag7Region(s.rightAscension, s.declination, &z, &r), c = w = 0;
                            else
                                LocateMag10Region(s.rightAscension, s.declination, &z, &r), c = w = 0;
                            // a position on a border may round into the next region
                            bool same = z == zone && r == region && c == column && w == row;
                            if (!same) {
                                double edge = std::fmin(
                                    std::fmin(std::fabs(s.declination - b.declinationStart),
                                              std::fabs(s.declination - b.declinationStart -
                                                        b.height)),
                                    std::fmin(std::fabs(s.rightAscension - b.rightAscensionStart),
                                              std::fabs(s.rightAscension -
                                                        b.rightAscensionStart - b.width)));
                                EXPECT_LE(edge, 1e-6) << path;
                            }
                        }
                        if (begun == 1) {
                            ASSERT_EQ(0, result) << path;
                        }
                    }
            }
        }
        EXPECT_GT(total, db.database == kStarDbMag7 ? 10000 : 100000) << db.database;
        if (db.database == kStarDbMagX) {
            EXPECT_GT(total, 150000);
        }
        if (db.database == kStarDbMag7) {
            EXPECT_EQ(0, empty);  // every region of the sky has stars to magnitude 7.1
        }
    }
}

}  // namespace

// The blocks of an orbital system from hand-written little-endian bytes: the
// 28-byte system block (two doubles, three floats) and the 32-byte orbit
// record (seven floats, equinox year, orbit number); fewer bytes are refused.
TEST(StarDatabaseRecords, SystemBlockAndOrbitRecord) {
    auto system = Bytes({0, 0, 0, 0, 0, 0, 0xD0, 0x3F,     // RA 0.25
                         0, 0, 0, 0, 0, 0, 0xE0, 0xBF,     // Dec -0.5
                         0, 0, 0, 0x40, 0, 0, 0x80, 0xBF,  // motions 2, -1
                         0, 0, 0xB0, 0x40});               // magnitude 5.5
    StarSystemBlock block;
    ASSERT_EQ(1, DecodeSystemBlock(system.data(), system.size(), &block));
    EXPECT_EQ(0.25, block.rightAscension);
    EXPECT_EQ(-0.5, block.declination);
    EXPECT_EQ(2.0, block.motionRightAscension);
    EXPECT_EQ(-1.0, block.motionDeclination);
    EXPECT_EQ(5.5, block.magnitude);
    EXPECT_EQ(0, DecodeSystemBlock(system.data(), system.size() - 1, &block));

    auto orbit = Bytes({0, 0, 0xC8, 0x42, 0, 0, 0x34, 0x42, 0, 0, 0, 0x3F, 0, 0, 0x80, 0x3E,
                        0, 0, 0xB4, 0x42, 0, 0, 0x34, 0x43, 0, 0, 0xFA, 0x44, 0x9E, 0x07, 0x7B,
                        0x00});
    StarOrbitElements o;
    ASSERT_EQ(1, DecodeStarOrbit(orbit.data(), orbit.size(), &o));
    EXPECT_EQ(100.0, o.period);
    EXPECT_EQ(45.0, o.inclination);
    EXPECT_EQ(0.5, o.semiMajorAxis);
    EXPECT_EQ(0.25, o.eccentricity);
    EXPECT_EQ(90.0, o.periastronArgument);
    EXPECT_EQ(180.0, o.node);
    EXPECT_EQ(2000.0, o.periastronTime);
    EXPECT_EQ(1950, o.equinoxYear);
    EXPECT_EQ(123, o.orbitNumber);
    EXPECT_EQ(0, DecodeStarOrbit(orbit.data(), orbit.size() - 1, &o));
}
