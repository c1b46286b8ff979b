// Tests of the horizon files: the text import with its interpolation and
// azimuth rules, the flat horizon's declinations, the limits on points, the
// replace-only-when-complete writes, and deletion with names that need
// encoding. Expected values are worked by hand from the text's points.
#include "sites/horizon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "astro/location.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "sites/horizonfile.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"
#include "core/safefile.h"

namespace {

using testutil::ReadFileBytes;
using testutil::WriteFileBytes;

const double kDeg = kPi / 180.0;

LocationRecord SiteAt(const char *name, double latitudeDeg, double elevation) {
    LocationRecord r;
    std::memset(&r, 0, sizeof r);
    InitLocationRecord(&r, 100.0 * kDeg, latitudeDeg * kDeg, elevation, 6.5, 0.0, 15.0, 50.0, 2,
                       0.0, -6.0, name);
    return r;
}

// Saemundsson's refraction for a true altitude (Meeus, Astronomical
// Algorithms, ch. 16), radians.
double Saemundsson(double altitudeDeg) {
    double arcmin = 1.02 / std::tan((altitudeDeg + 10.3 / (altitudeDeg + 5.11)) * kDeg);
    return arcmin / 60.0 * kDeg;
}

double DoubleAt(const std::string &bytes, size_t offset) {
    double d = 0;
    std::memcpy(&d, bytes.data() + offset, 8);
    return d;
}

class HorizonFiles : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataFolder(dir_.path().c_str()); }
    void TearDown() override { SetUserDataFolder(""); }
    std::string Text(const std::string &body) {
        std::string path = dir_.file("points.txt");
        EXPECT_TRUE(WriteFileBytes(path, body));
        return path;
    }
    testutil::TempDir dir_;
};

TEST_F(HorizonFiles, ImportInterpolatesAndAddsRefractionLessDip) {
    LocationRecord site = SiteAt("Ridge", 40.0, 400.0);
    ASSERT_LT(+site.horizonDip, 0.0);
    char bad[255] = "stale";
    ASSERT_EQ(ImportHorizonText(&site, Text("0 10\r\n\r\n180 20\r\n").c_str(), bad), 1);
    EXPECT_STREQ(bad, "");
    std::string bytes = ReadFileBytes(dir_.file("horizons/Ridge.bin"));
    ASSERT_EQ(bytes.size(), 1464u);
    // Row 15 (90 degrees) halfway from 10 to 20; row 45 (270 degrees) halfway
    // from 20 back to 10 across north; row 0 the point itself.
    const double dip = site.horizonDip;
    struct { int row; double degrees; } cases[] = {{15, 15.0}, {45, 15.0}, {0, 10.0}, {30, 20.0},
                                                   {5, 10.0 + 10.0 * 30.0 / 180.0}};
    for (auto c : cases) {
        EXPECT_NEAR(DoubleAt(bytes, c.row * 24), c.row * 6.0 * kDeg, 1e-15) << c.row;
        EXPECT_NEAR(DoubleAt(bytes, c.row * 24 + 8), c.degrees * kDeg + Saemundsson(c.degrees) - dip,
                    2e-6)
            << c.row;
    }
    // Row 60 closes the circle; the declinations are filled (never left at pi).
    EXPECT_EQ(bytes.substr(60 * 24, 24), bytes.substr(0, 24));
    for (int k = 0; k < 61; ++k) EXPECT_LT(std::fabs(DoubleAt(bytes, k * 24 + 16)), kPi / 2 + 1e-12);
}

TEST_F(HorizonFiles, AzimuthsOfAnyTurnAreReducedIntoOneTurn) {
    LocationRecord site = SiteAt("Turns", 40.0, 0.0);
    // Each text has 20 degrees at 350 and 40 degrees at 10, however written:
    // row 0 lies halfway between them across north.
    const char *texts[] = {"350 20\n10 40\n", "-10 20\n370 40\n", "-370 20\n730 40\n",
                           "710 20\n-350 40\n"};
    for (const char *t : texts) {
        ASSERT_EQ(ImportHorizonText(&site, Text(t).c_str(), nullptr), 1) << t;
        HorizonRow rows[61];
        ASSERT_EQ(LoadHorizon(&site, rows), 1);
        EXPECT_NEAR(rows[0].altitude, 30.0 * kDeg + Saemundsson(30.0), 2e-6) << t;
        // Row 30 (180 degrees): on the long segment from 10 (40) to 350 (20).
        EXPECT_NEAR(rows[30].altitude, 30.0 * kDeg + Saemundsson(30.0), 2e-6) << t;
        // Row 1 (6 degrees): 20 + (366 - 350) / 20 x 20 across north.
        EXPECT_NEAR(rows[1].altitude, 36.0 * kDeg + Saemundsson(36.0), 2e-6) << t;
    }
}

TEST_F(HorizonFiles, ImportRefusesBadLinesAndPointCounts) {
    LocationRecord site = SiteAt("Counts", 40.0, 0.0);
    char bad[255];
    EXPECT_EQ(ImportHorizonText(&site, Text("10 5\n12 abc\n20 6\n").c_str(), bad), 0);
    EXPECT_STREQ(bad, "12 abc");
    EXPECT_EQ(ImportHorizonText(&site, dir_.file("missing.txt").c_str(), bad), 0);
    EXPECT_STREQ(bad, "");
    // One point, with blank lines that are skipped and never counted.
    EXPECT_EQ(ImportHorizonText(&site, Text("\n\n45 5\n\n\n").c_str(), bad), -2);
    std::string many;
    for (int i = 0; i < 999; ++i) many += std::to_string(i * 0.36) + " 5\n";
    EXPECT_EQ(ImportHorizonText(&site, Text(many).c_str(), bad), 1);
    EXPECT_EQ(ImportHorizonText(&site, Text(many + "359.9 5\n").c_str(), bad), -3);
    EXPECT_EQ(ImportHorizonText(&site, Text(many + "359.9 5\n1 1\n").c_str(), bad), -3);
    // Nothing was written for the refused texts after the good one.
    EXPECT_EQ(HorizonFileExists("Counts"), 1);
}

TEST_F(HorizonFiles, FlatHorizonDeclinationsAtFortyNorth) {
    LocationRecord site = SiteAt("Flat", 40.0, 900.0);
    ASSERT_EQ(CreateFlatHorizon(&site), 1);
    HorizonRow rows[61];
    ASSERT_EQ(LoadHorizon(&site, rows), 1);
    double dip = site.horizonDip;
    EXPECT_NEAR(rows[0].declination, 50.0 * kDeg + dip, 1e-12);
    EXPECT_NEAR(rows[30].declination, -50.0 * kDeg + dip, 1e-12);
    // East and west: sin(dec) = sin(lat) sin(dip).
    EXPECT_NEAR(rows[15].declination, std::asin(std::sin(40.0 * kDeg) * std::sin(dip)), 1e-12);
    EXPECT_EQ(std::memcmp(&rows[60], &rows[0], 24), 0);
    // Block 1 is addressable and empty in a new file.
    FILE *f = OpenHorizonFile("Flat");
    ASSERT_NE(f, nullptr);
    HorizonRow second[61];
    EXPECT_EQ(ReadHorizonRows(f, second, 1), 0);
    EXPECT_EQ(WriteHorizonRows(f, rows, 1), 1);
    EXPECT_EQ(ReadHorizonRows(f, second, 1), 1);
    EXPECT_EQ(ReadHorizonRows(f, second, 2), 0);
    std::fclose(f);
}

TEST_F(HorizonFiles, FailedWriteKeepsTheEarlierFile) {
    LocationRecord site = SiteAt("Keep", 40.0, 0.0);
    ASSERT_EQ(CreateFlatHorizon(&site), 1);
    std::string before = ReadFileBytes(dir_.file("horizons/Keep.bin"));
    // The temporary beside the file cannot be made (its open is the first
    // file step of each rewrite).
    SetFileStepFailure(1);
    EXPECT_EQ(ImportHorizonText(&site, Text("0 10\n180 20\n").c_str(), nullptr), -1);
    SetFileStepFailure(1);
    EXPECT_EQ(CreateFlatHorizon(&site), 0);
    SetFileStepFailure(0);
    EXPECT_EQ(ReadFileBytes(dir_.file("horizons/Keep.bin")), before);
}

TEST_F(HorizonFiles, NamesWithSlashesExistDeleteAndRename) {
    LocationRecord site = SiteAt("Hill/Top", 40.0, 0.0);
    EXPECT_EQ(HorizonFileExists("Hill/Top"), 0);
    EXPECT_EQ(OpenHorizonFile("Hill/Top"), nullptr);
    ASSERT_EQ(CreateFlatHorizon(&site), 1);
    EXPECT_TRUE(testutil::PathIsThere(dir_.file("horizons/Hill&Top.bin")));
    EXPECT_EQ(HorizonFileExists("Hill/Top"), 1);
    EXPECT_EQ(RenameHorizonFile("Hill/Top", "Hill/Low"), 1);
    EXPECT_EQ(HorizonFileExists("Hill/Top"), 0);
    EXPECT_EQ(DeleteHorizonFile("Hill/Top"), 0);
    EXPECT_EQ(DeleteHorizonFile("Hill/Low"), 1);
    EXPECT_EQ(HorizonFileExists("Hill/Low"), 0);
    EXPECT_EQ(DeleteHorizonFile(""), 0);
}

TEST(HorizonPoints, OrderingProbeAndInterpolationAcrossNorth) {
    HorizonPoint p[3] = {{10.0, 20.0}, {30.0, 100.0}, {20.0, 300.0}};  // altitude, azimuth
    EXPECT_EQ(CompareHorizonPoints(&p[0], &p[1]), -1);
    EXPECT_EQ(CompareHorizonPoints(&p[1], &p[0]), 1);
    EXPECT_EQ(CompareHorizonPoints(&p[1], &p[1]), 0);
    const HorizonPoint *found = nullptr;
    EXPECT_EQ(ProbeHorizonPoint(99, p, 1, &found), -1);
    EXPECT_EQ(ProbeHorizonPoint(101, p, 1, &found), 1);
    EXPECT_EQ(ProbeHorizonPoint(100, p, 1, &found), 0);
    EXPECT_EQ(found, &p[1]);
    struct { double az, alt; } cases[] = {
        {20.0, 10.0}, {60.0, 20.0}, {100.0, 30.0}, {200.0, 25.0},
        {300.0, 20.0}, {340.0, 15.0}, {0.0, 12.5}, {10.0, 11.25}};
    for (auto c : cases)
        EXPECT_NEAR(InterpolateHorizonAltitude(p, 3, c.az * kDeg), c.alt * kDeg, 1e-12) << c.az;
    EXPECT_EQ(InterpolateHorizonAltitude(p, 0, 1.0), 0.0);
}

}  // namespace
