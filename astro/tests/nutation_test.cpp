// Tests of the nutation table file and series, the mean obliquity and the
// sidereal times: the reader against hand-written bytes and damaged files, the
// generator's file against the published series (Meeus, ERFA), and the
// sidereal times against Meeus' examples and ERFA.
#include "astro/nutation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#endif

namespace {

const double kArcsecond = kPi / 648000.0;

// 62 rows of 9 int16 in little-endian bytes.
std::string TableBytes(const std::vector<std::vector<int>> &rows) {
    std::string bytes;
    for (const auto &row : rows)
        for (int v : row) {
            bytes.push_back(static_cast<char>(v & 0xFF));
            bytes.push_back(static_cast<char>((v >> 8) & 0xFF));
        }
    return bytes;
}

// A valid table whose rows carry no amplitude except the first one given.
std::vector<std::vector<int>> FillerTable(const std::vector<int> &first) {
    std::vector<std::vector<int>> rows(62, std::vector<int>{0, 1, 0, 0, 0, 0, 0, 0, 0});
    rows[0] = first;
    return rows;
}

DateRecord RecordAtTT(double centuriesTT) {
    DateRecord r;
    std::memset(&r, 0, sizeof(r));
    r.centuriesTT = centuriesTT;
    return r;
}

class NutationFile : public ::testing::Test {
protected:
    void TearDown() override { FreeNutationTable(); }
    std::string Folder() const { return dir_.path() + "/"; }
    bool Write(const std::string &bytes) {
        return testutil::WriteFileBytes(dir_.file("nutcon.bin"), bytes);
    }
    testutil::TempDir dir_;
};

TEST_F(NutationFile, ReadsLittleEndianRowsFromHandWrittenBytes) {
    std::string bytes = TableBytes(FillerTable({0, 0, 0, 0, 0, 0, 0, 0, 0}));
    // Row 0: multiples 0 0 0 0 2, 2062, 2, -895, 5 as the file holds them.
    const unsigned char row0[18] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02,
                                    0x00, 0x0E, 0x08, 0x02, 0x00, 0x81, 0xFC, 0x05, 0x00};
    bytes.replace(0, 18, reinterpret_cast<const char *>(row0), 18);
    ASSERT_EQ(bytes.size(), 1116u);
    ASSERT_TRUE(Write(bytes));
    ASSERT_EQ(LoadNutationTable(Folder().c_str()), 1);
    EXPECT_EQ(IsNutationTableLoaded(), 1);
    const int16_t *row = GetNutationTableRow(0);
    ASSERT_NE(row, nullptr);
    const int16_t want[9] = {0, 0, 0, 0, 2, 2062, 2, -895, 5};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(row[i], want[i]) << i;
    EXPECT_EQ(GetNutationTableRow(62), nullptr);
    FreeNutationTable();
    EXPECT_EQ(IsNutationTableLoaded(), 0);
    EXPECT_EQ(GetNutationTableRow(0), nullptr);
}

TEST_F(NutationFile, RefusesMissingShortAndDamagedFiles) {
    EXPECT_EQ(LoadNutationTable(Folder().c_str()), 0);  // no file
    EXPECT_EQ(LoadNutationTable(nullptr), 0);

    std::string good = TableBytes(FillerTable({0, 0, 0, 0, 2, 2062, 2, -895, 5}));
    ASSERT_TRUE(Write(good.substr(0, 1115)));
    EXPECT_EQ(LoadNutationTable(Folder().c_str()), 0);
    EXPECT_EQ(IsNutationTableLoaded(), 0);

    // Multiples outside their arguments' ranges, and a row with no multiple.
    const std::vector<int> damaged[] = {
        {4, 0, 0, 0, 0, 1, 0, 0, 0},  {0, -3, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 5, 0, 0, 1, 0, 0, 0},
        {0, 0, 0, -5, 0, 1, 0, 0, 0}, {0, 0, 0, 0, 3, 1, 0, 0, 0},  {0, 0, 0, 0, 0, 1, 0, 1, 0},
    };
    for (const auto &row : damaged) {
        auto rows = FillerTable({0, 0, 0, 0, 2, 2062, 2, -895, 5});
        rows[61] = row;
        ASSERT_TRUE(Write(TableBytes(rows)));
        EXPECT_EQ(LoadNutationTable(Folder().c_str()), 0);
        EXPECT_EQ(IsNutationTableLoaded(), 0);
    }

    // A good file loads; a failed load afterwards leaves none loaded.
    ASSERT_TRUE(Write(good));
    ASSERT_EQ(LoadNutationTable(Folder().c_str()), 1);
    ASSERT_TRUE(Write(good.substr(0, 100)));
    EXPECT_EQ(LoadNutationTable(Folder().c_str()), 0);
    EXPECT_EQ(IsNutationTableLoaded(), 0);
}

TEST_F(NutationFile, WithoutTableTheNutationIsZeroNotStale) {
    FreeNutationTable();
    DateRecord r = RecordAtTT(0.1);
    r.nutationLongitude = 123.0;  // a value left from another date
    r.nutationObliquity = 456.0;
    ComputeNutation(&r);
    EXPECT_EQ(+r.nutationLongitude, 0.0);
    EXPECT_EQ(+r.nutationObliquity, 0.0);
}

TEST_F(NutationFile, NegativeMultiplesGiveTheMirroredTerm) {
    // sin(-x) = -sin x and cos(-x) = cos x: a term written with negated multiples
    // and a negated sine coefficient must give the same nutation.
    const std::vector<int> pairs[][2] = {
        {{1, 0, 0, 0, 0, 7120, 1, -70, 0}, {-1, 0, 0, 0, 0, -7120, -1, -70, 0}},
        {{0, 0, 2, -2, 2, -13187, -16, 5736, -31}, {0, 0, -2, 2, -2, 13187, 16, 5736, -31}},
        {{-1, 1, 0, 3, -2, 500, 0, 400, 0}, {1, -1, 0, -3, 2, -500, 0, 400, 0}},
    };
    for (const auto &pair : pairs) {
        double dpsi[2], deps[2];
        for (int k = 0; k < 2; ++k) {
            ASSERT_TRUE(Write(TableBytes(FillerTable(pair[k]))));
            ASSERT_EQ(LoadNutationTable(Folder().c_str()), 1);
            DateRecord r = RecordAtTT(0.37);
            ComputeNutation(&r);
            dpsi[k] = r.nutationLongitude;
            deps[k] = r.nutationObliquity;
        }
        EXPECT_NEAR(dpsi[0], dpsi[1], 1e-15);
        EXPECT_NEAR(deps[0], deps[1], 1e-15);
    }
}

TEST(MeanObliquity, AtJ2000AndMeeusExample) {
    EXPECT_NEAR(MeanObliquity(0.0) / kArcsecond, 84381.448, 1e-9);
    // Meeus example 22.a, 1987 April 10 0h TD: 23 26' 27.407".
    EXPECT_NEAR(MeanObliquity(-0.127296372348) / kArcsecond, 23 * 3600.0 + 26 * 60.0 + 27.407,
                0.001);
#ifdef GLEANER_HAVE_ERFA
    // Laskar's polynomial against the IAU 1980 cubic: a few milliarcseconds
    // apart within two centuries of J2000.
    for (double t = -2.0; t <= 2.0; t += 0.25)
        EXPECT_NEAR(MeanObliquity(t), eraObl80(2451545.0, t * 36525.0), 0.02 * kArcsecond) << t;
#endif
}

// The generated file, read back. The native build runs the generator; the
// Windows build reads the copy that the demo installation holds, when it is there.
class GeneratedTable : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        std::string demo = testutil::BuildDir() + "/demo/data/ss";
        if (testutil::BuildDir().empty() || !testutil::PathIsThere(demo + "/nutcon.bin"))
            GTEST_SKIP() << "no demo installation with nutcon.bin under the build folder";
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("nutcon.bin"),
                                             testutil::ReadFileBytes(demo + "/nutcon.bin")));
        ASSERT_EQ(LoadNutationTable((dir_.path() + "/").c_str()), 1);
#else
        std::string source = testutil::SourceDir();
        if (source.empty()) GTEST_SKIP() << "GLEANER_SOURCE_DIR not set";
        std::string command = "python3 \"" + source + "/tools/gen_nutcon.py\" --out \"" +
                              dir_.path() + "\" > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        ASSERT_EQ(LoadNutationTable((dir_.path() + "/").c_str()), 1);
#endif
    }
    void TearDown() override { FreeNutationTable(); }
    testutil::TempDir dir_;
};

TEST_F(GeneratedTable, HoldsTheKnownTermsInTheFileOrderOfArguments) {
    bool bytes = testutil::PathIsThere(dir_.file("nutcon.bin"));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(testutil::ReadFileBytes(dir_.file("nutcon.bin")).size(), 1116u);
    // Columns M', M, F, D, Omega; coefficient 0.0001", rate 0.00001"/century.
    struct Term {
        int16_t row[9];
    } known[] = {
        {{0, 0, 0, 0, 2, 2062, 2, -895, 5}},            // 2 Omega
        {{0, 0, 2, -2, 2, -13187, -16, 5736, -31}},     // 2F - 2D + 2 Omega
        {{0, 0, 2, 0, 2, -2274, -2, 977, -5}},          // 2F + 2 Omega
        {{0, 1, 0, 0, 0, 1426, -34, 54, -1}},           // M
        {{1, 0, 0, 0, 0, 712, 1, -7, 0}},               // M'
        {{0, 1, 2, -2, 2, -517, 12, 224, -6}},          // M + 2F - 2D + 2 Omega
        {{0, 0, 0, 1, 0, -4, 0, 0, 0}},                 // D: the smallest kept term
    };
    for (const Term &t : known) {
        bool found = false;
        for (int r = 0; r < kNutationRows && !found; ++r)
            found = std::memcmp(GetNutationTableRow(r), t.row, sizeof(t.row)) == 0;
        EXPECT_TRUE(found) << t.row[0] << t.row[1] << t.row[2] << t.row[3] << t.row[4];
    }
}

TEST_F(GeneratedTable, MeeusExample22a) {
    // 1987 April 10, 0h TD: dpsi = -3.788", deps = +9.443".
    DateRecord r = RecordAtTT(-0.127296372348);
    ComputeNutation(&r);
    EXPECT_NEAR(+r.nutationLongitude / kArcsecond, -3.788, 0.0015);
    EXPECT_NEAR(+r.nutationObliquity / kArcsecond, 9.443, 0.0015);
}

#ifdef GLEANER_HAVE_ERFA
TEST_F(GeneratedTable, AgreesWithTheFullSeriesWithinItsTruncation) {
    double worstPsi = 0, worstEps = 0;
    for (double t = -1.0; t <= 1.0; t += 0.0137) {
        DateRecord r = RecordAtTT(t);
        ComputeNutation(&r);
        double dpsi, deps;
        eraNut80(2451545.0, t * 36525.0, &dpsi, &deps);
        worstPsi = std::fmax(worstPsi, std::fabs(r.nutationLongitude - dpsi));
        worstEps = std::fmax(worstEps, std::fabs(r.nutationObliquity - deps));
    }
    EXPECT_LT(worstPsi / kArcsecond, 0.003);
    EXPECT_LT(worstEps / kArcsecond, 0.003);
}
#endif

TEST(SiderealTime, MeeusExamplesAndTheSiteLongitude) {
    LocationRecord greenwich;
    InitLocationRecord(&greenwich, 0, 0.9, 0, 6.5, 0, 10, 50, 2, 0, 0, "Greenwich");
    DateRecord r;
    std::memset(&r, 0, sizeof(r));
    r.julianDate = 2451545.0;
    r.centuries = 0.0;
    ComputeSiderealTimes(&greenwich, &r);
    EXPECT_NEAR(+r.greenwichMeanSidereal, 280.46061837 * kPi / 180.0, 1e-12);

    // Meeus example 12.a: 1987 April 10, 0h UT: 13h10m46.3668s.
    SetDateRecord(&r, nullptr, 4, 10, 1987, 0.0, kUniversalTime);
    r.centuries = CenturiesFromJulianDate(r.julianDate);
    ComputeSiderealTimes(&greenwich, &r);
    EXPECT_NEAR(+r.greenwichMeanSidereal * 12.0 / kPi * 3600.0,
                13 * 3600.0 + 10 * 60.0 + 46.3668, 1e-3);
    // Meeus example 12.b: 19h21m00s UT the same day: 128.7378734 degrees.
    SetDateRecord(&r, nullptr, 4, 10, 1987, 19.35, kUniversalTime);
    r.centuries = CenturiesFromJulianDate(r.julianDate);
    ComputeSiderealTimes(&greenwich, &r);
    EXPECT_NEAR(+r.greenwichMeanSidereal * 180.0 / kPi, 128.7378734, 1e-6);

    // A site 77 degrees west: local = Greenwich - longitude (positive west).
    LocationRecord west = greenwich;
    west.longitude = 77.0 * kPi / 180.0;
    DateRecord w = r;
    ComputeSiderealTimes(&west, &w);
    EXPECT_NEAR(+w.localMeanSidereal * 180.0 / kPi, 128.7378734 - 77.0, 1e-6);
    // Apparent = mean + dpsi cos(eps).
    w.nutationLongitude = -3.788 * kArcsecond;
    w.meanObliquity = 0.4091;
    ComputeSiderealTimes(&west, &w);
    EXPECT_NEAR(+w.localApparentSidereal - +w.localMeanSidereal, -3.788 * kArcsecond * std::cos(0.4091),
                1e-15);

    DateRecord untouched = r;
    ComputeSiderealTimes(nullptr, &untouched);
    EXPECT_EQ(std::memcmp(&untouched, &r, sizeof(r)), 0);
}

#ifdef GLEANER_HAVE_ERFA
TEST_F(GeneratedTable, SiderealTimesAgreeWithErfa) {
    LocationRecord site;
    InitLocationRecord(&site, 0, 0.9, 0, 6.5, 0, 10, 50, 2, 0, 0, "Greenwich");
    for (double jd = 2415020.5; jd < 2488070.0; jd += 731.37) {
        DateRecord r;
        std::memset(&r, 0, sizeof(r));
        r.julianDate = jd;
        SetDateRecordFromJulianDate(nullptr, &r);
        ComputeDeltaTAndNutation(&r, 0.0);
        ComputeSiderealTimes(&site, &r);
        double gmst = eraGmst82(jd, 0.0);
        // The same IAU 1982 expression; its daily rate rounded to 360.98564736629
        // degrees drifts from the exact rate by up to 4.5e-9 rad per century.
        EXPECT_NEAR(std::remainder(+r.greenwichMeanSidereal - gmst, 2 * kPi), 0.0, 5e-9) << jd;
        double gast = eraGst94(jd, 0.0);
        // The 1994 equation of the equinoxes adds up to 0.003" that the
        // classical dpsi cos(eps) leaves out; the series truncation adds 0.001".
        EXPECT_NEAR(std::remainder(+r.localApparentSidereal - gast, 2 * kPi), 0.0,
                    0.006 * kArcsecond)
            << jd;
    }
}
#endif

}  // namespace
