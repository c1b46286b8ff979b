// Tests of loading the ephemeris tables: the folder text, the order and
// stopping rule of the loads, damaged and out-of-range files treated as
// missing, freeing and loading again, and the generated files' bytes.
#include "ephem/ephemload.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "astro/nutation.h"
#include "ephem/bodyrecord.h"
#include "ephem/daytables.h"
#include "ephem/moon.h"
#include "ephem/planetseries.h"
#include "ephem/tests/ephemfixture.h"
#include "ephem/uranussats.h"
#include "testutil/testutil.h"

namespace {

using namespace ephemtest;

void PutInt16(std::string *s, int v) {
    s->push_back(static_cast<char>(v & 0xFF));
    s->push_back(static_cast<char>((v >> 8) & 0xFF));
}
void PutInt32(std::string *s, int32_t v) {
    for (int i = 0; i < 4; ++i) s->push_back(static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF));
}
void PutDouble(std::string *s, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i) s->push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

// Index bytes: table t has counts[t] (18 cells) and its first term.
struct Tables {
    int counts[9][18] = {};
    std::vector<double> terms;  // 3 doubles per term, all tables in order
};

// Every table gets one term in cell 0 (L, tau^0): amplitude 1 + t / 10.
Tables OneTermTables() {
    Tables t;
    for (int i = 0; i < 9; ++i) {
        t.counts[i][0] = 1;
        t.terms.insert(t.terms.end(), {1.0 + i / 10.0, 0.0, 0.0});
    }
    return t;
}

std::string IndexBytes(const Tables &t) {
    std::string s;
    int first = 0;
    for (int i = 0; i < 9; ++i) {
        int n = 0;
        for (int c = 0; c < 18; ++c) {
            PutInt16(&s, c == 0 ? first : 0);
            PutInt16(&s, t.counts[i][c]);
            n += t.counts[i][c];
        }
        first += n;
    }
    return s;
}

std::string TermBytes(const Tables &t) {
    std::string s;
    for (double v : t.terms) PutDouble(&s, v);
    return s;
}

// moontab.bin: every row only D = 1 (coefficients given), or as asked.
std::string MoonBytes(int32_t badMultiplier = 0) {
    std::string s;
    for (int i = 0; i < 60; ++i) {
        PutInt32(&s, i == 7 && badMultiplier ? badMultiplier : 1);
        for (int k = 0; k < 3; ++k) PutInt32(&s, 0);
        PutInt32(&s, 1000);
        PutInt32(&s, 2000);
    }
    for (int i = 0; i < 60; ++i) {
        PutInt32(&s, 0);
        PutInt32(&s, 0);
        PutInt32(&s, 0);
        PutInt32(&s, 1);
        PutInt32(&s, 500);
    }
    return s;
}

std::string UsatsBytes() {
    std::string s;
    for (int i = 0; i < 253; ++i) PutDouble(&s, i);
    return s;
}

std::string NutconBytes() {
    // 62 valid rows: Omega alone, no amplitude.
    std::string s;
    for (int i = 0; i < 62; ++i)
        for (int k = 0; k < 9; ++k) PutInt16(&s, k == 4 ? 1 : 0);
    return s;
}

class LoadTest : public ::testing::Test {
protected:
    void SetUp() override { FreeEphemerisData(); }
    void TearDown() override { FreeEphemerisData(); }

    void WriteAll(const Tables &t) {
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("PLANETS.NDX"), IndexBytes(t)));
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("PLANETS.BIN"), TermBytes(t)));
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("nutcon.bin"), NutconBytes()));
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("moontab.bin"), MoonBytes()));
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("usats.bin"), UsatsBytes()));
    }
    int Load(bool slash = true) {
        std::snprintf(buffer_, sizeof buffer_, "%s%s", dir_.path().c_str(), slash ? "/" : "");
        return LoadEphemerisData(buffer_);
    }
    double SeriesL(int table) {
        HeliocentricPlace p = {0, 0, 0};
        EvaluatePlanetSeries(table, 0.0, &p);
        return p.longitude;
    }
    testutil::TempDir dir_;
    char buffer_[512];
};

TEST_F(LoadTest, FolderWithOrWithoutSlashLoadsTheSameFiles) {
    WriteAll(OneTermTables());
    for (bool slash : {false, true}) {
        FreeEphemerisData();
        ASSERT_EQ(Load(slash), 1) << slash;
        EXPECT_EQ(std::string(buffer_), dir_.path() + "/");
        EXPECT_EQ(std::string(GetEphemerisFolder()), dir_.path() + "/");
        EXPECT_EQ(EphemerisTablesLoaded(), 1);
        EXPECT_EQ(IsNutationTableLoaded(), 1);
        EXPECT_NE(GetLunarLongitudeRows(), nullptr);
        EXPECT_NE(GetUranianSatelliteTable(), nullptr);
        EXPECT_EQ(std::string(GetPhoebeFolder()), dir_.path());
        EXPECT_EQ(std::string(GetHimaliaFolder()), dir_.path());
        // Table 5 holds its own term: L = 1.5 rad at tau 0 (plus the FK5 shift).
        EXPECT_NEAR(SeriesL(5), 1.5, 1e-5);
        EXPECT_NEAR(SeriesL(0), 1.0, 1e-5);
    }
}

TEST_F(LoadTest, MissingMoonTableStopsTheSequence) {
    WriteAll(OneTermTables());
    std::remove(dir_.file("moontab.bin").c_str());
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(EphemerisTablesLoaded(), 1);
    EXPECT_EQ(IsNutationTableLoaded(), 1);
    EXPECT_EQ(GetLunarLongitudeRows(), nullptr);
    EXPECT_EQ(GetUranianSatelliteTable(), nullptr);
    EXPECT_STREQ(GetPhoebeFolder(), "");
    EXPECT_STREQ(GetHimaliaFolder(), "");
    // A second call after the partial load answers 1 and loads nothing.
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("moontab.bin"), MoonBytes()));
    EXPECT_EQ(Load(), 1);
    EXPECT_EQ(GetLunarLongitudeRows(), nullptr);
    // The Moon is then not computed, and the record is left as it was.
    LocationRecord site = GeocentreSite();
    DateRecord date = DateAtTT(2451545.0, 64.0, &site);
    BodyRecord moon;
    std::memset(&moon, 0x5A, sizeof moon);
    BodyRecord before = moon;
    EXPECT_EQ(ComputeMoonPosition(&date, &moon), 0);
    EXPECT_EQ(std::memcmp(&moon, &before, sizeof moon), 0);
    moon.type = kBodyMoon;
    EXPECT_EQ(ComputeBodyPosition(&date, ComputeEarthHeliocentric(&date), &moon), 0);
    // Nor is the Earth's shadow.
    BodyRecord shadow;
    std::memset(&shadow, 0, sizeof shadow);
    shadow.type = kBodyEarthShadow;
    EXPECT_EQ(ComputeBodyPosition(&date, ComputeEarthHeliocentric(&date), &shadow), 0);
}

TEST_F(LoadTest, ShortOrOutOfBoundsMoonTableIsRefused) {
    WriteAll(OneTermTables());
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("moontab.bin"), MoonBytes().substr(0, 2000)));
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(GetLunarLongitudeRows(), nullptr);
    const std::string folder = dir_.path() + "/";
    EXPECT_EQ(LoadLunarSeries(+folder.c_str()), 0);
    for (int32_t bad : {5, -5}) {
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("moontab.bin"), MoonBytes(bad)));
        EXPECT_EQ(LoadLunarSeries(+folder.c_str()), 0) << bad;
        EXPECT_EQ(GetLunarLongitudeRows(), nullptr);
    }
    // A row whose multipliers are all zero.
    std::string bytes = MoonBytes();
    std::memset(&bytes[24 * 3], 0, 16);
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("moontab.bin"), bytes));
    EXPECT_EQ(LoadLunarSeries(+folder.c_str()), 0);
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("moontab.bin"), MoonBytes()));
    EXPECT_EQ(LoadLunarSeries(+folder.c_str()), 1);
    const LunarSeriesRow *rows = GetLunarLongitudeRows();
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(+rows[59].distance, 2000);
    EXPECT_EQ(+GetLunarLatitudeRows()[59].latitude, 500);
}

TEST_F(LoadTest, DamagedPlanetFilesCountAsMissing) {
    struct Case {
        const char *what;
        void (*damage)(std::string *ndx, std::string *bin);
    } cases[] = {
        {"short index", [](std::string *ndx, std::string *) { ndx->resize(600); }},
        {"negative count", [](std::string *ndx, std::string *) { (*ndx)[72 * 4 + 3] = '\xFF'; }},
        {"negative first term", [](std::string *ndx, std::string *) { (*ndx)[72 * 6 + 1] = '\x80'; }},
        {"run past the terms", [](std::string *ndx, std::string *) { (*ndx)[72 * 8 + 2] = 2; }},
        {"terms cut short", [](std::string *, std::string *bin) { bin->resize(bin->size() - 30); }},
        {"not a number", [](std::string *, std::string *bin) {
             double nan = std::nan("");
             std::memcpy(&(*bin)[24 * 4 + 8], &nan, 8);
         }},
    };
    for (const Case &c : cases) {
        FreeEphemerisData();
        Tables t = OneTermTables();
        WriteAll(t);
        std::string ndx = IndexBytes(t), bin = TermBytes(t);
        c.damage(&ndx, &bin);
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("PLANETS.NDX"), ndx));
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("PLANETS.BIN"), bin));
        EXPECT_EQ(Load(), 0) << c.what;
        EXPECT_EQ(EphemerisTablesLoaded(), 0) << c.what;
        for (int table = 0; table < 9; ++table) {
            size_t n = 99;
            EXPECT_EQ(GetPlanetSeriesTerms(table, &n), nullptr) << c.what;
            EXPECT_EQ(n, 0u);
            const PlanetSeriesIndexRecord *index = GetPlanetSeriesIndex(table);
            for (int cell = 0; cell < 18; ++cell) EXPECT_EQ(+index->cells[cell].count, 0) << c.what;
            EXPECT_NEAR(SeriesL(table), 0.0, 1e-6) << c.what;  // zero sums, FK5 shift only
        }
        // Without the series no planet is placed, while the Sun still is.
        LocationRecord site = GeocentreSite();
        DateRecord date = DateAtTT(2451545.0, 64.0, &site);
        HeliocentricPlace earth = ComputeEarthHeliocentric(&date);
        EXPECT_NEAR(earth.radius, 0.983, 0.001) << c.what;
        for (int type : {1, 3, 5, 9}) {
            BodyRecord body;
            std::memset(&body, 0, sizeof body);
            body.type = type;
            EXPECT_EQ(ComputeBodyPosition(&date, earth, &body), 0) << c.what << type;
        }
        BodyRecord sun;
        std::memset(&sun, 0, sizeof sun);
        sun.type = kBodySun;
        EXPECT_EQ(ComputeBodyPosition(&date, earth, &sun), 1);
        EXPECT_NEAR(sun.geocentricLongitude / kDegree, 280.38, 0.02);
    }
}

TEST_F(LoadTest, AnEmptyTableGivesZeroSums) {
    Tables t = OneTermTables();
    t.counts[4][0] = 0;
    t.terms.erase(t.terms.begin() + 12, t.terms.begin() + 15);
    WriteAll(t);
    ASSERT_EQ(Load(), 1);
    EXPECT_NEAR(SeriesL(4), 0.0, 1e-6);
    EXPECT_NEAR(SeriesL(5), 1.5, 1e-5);
    size_t n = 0;
    EXPECT_EQ(GetPlanetSeriesTerms(4, &n), nullptr);
}

TEST_F(LoadTest, FreeThenLoadAgain) {
    WriteAll(OneTermTables());
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(Load(), 1);
        FreeEphemerisData();
        EXPECT_EQ(EphemerisTablesLoaded(), 0);
        EXPECT_EQ(IsNutationTableLoaded(), 0);
        EXPECT_EQ(GetLunarLongitudeRows(), nullptr);
        EXPECT_EQ(GetUranianSatelliteTable(), nullptr);
        EXPECT_STREQ(GetEphemerisFolder(), "");
    }
    FreeEphemerisData();  // twice is harmless
}

TEST_F(LoadTest, MissingFolderOrFilesAnswerZero) {
    EXPECT_EQ(LoadEphemerisData(nullptr), 0);
    EXPECT_EQ(Load(), 0);  // empty folder
    EXPECT_EQ(EphemerisTablesLoaded(), 0);
    // A folder text that leaves no room for the "/" is refused untouched.
    char longText[512];
    std::memset(longText, 'a', 511);
    longText[511] = '\0';
    EXPECT_EQ(LoadEphemerisData(longText), 0);
    EXPECT_EQ(std::strlen(longText), 511u);
}

// The generated files in their stated layouts, against hand-read offsets.
TEST(GeneratedFiles, LayoutsAndKnownValues) {
    std::string folder = GeneratedFolder();
    if (folder.empty()) GTEST_SKIP() << "no generated ephemeris tables";
    bool ok = false;
    std::string ndx = testutil::ReadFileBytes(folder + "PLANETS.NDX", &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(ndx.size(), 648u);
    std::string bin = testutil::ReadFileBytes(folder + "PLANETS.BIN", &ok);
    ASSERT_TRUE(ok);
    auto i16 = [&](size_t at) {
        return static_cast<int16_t>(static_cast<uint8_t>(ndx[at]) | (static_cast<uint8_t>(ndx[at + 1]) << 8));
    };
    auto f64 = [&](size_t term, int field) {
        double v;
        std::memcpy(&v, &bin[term * 24 + field * 8], 8);
        return v;
    };
    // Table 0 starts the file; each table's first term follows the last one.
    EXPECT_EQ(i16(0), 0);
    size_t total = 0;
    for (int t = 0; t < 9; ++t) {
        EXPECT_EQ(static_cast<size_t>(i16(72 * t)), total) << t;
        for (int c = 0; c < 18; ++c) total += i16(72 * t + 4 * c + 2);
    }
    EXPECT_EQ(bin.size(), total * 24);
    // Table 3 (the Earth), cell 0: the VSOP87D constant term 1.75347045673
    // rad, then 0.03341656456 cos(4.66925680417 + 6283.0758499914 tau).
    size_t earth = static_cast<size_t>(i16(72 * 3));
    EXPECT_NEAR(f64(earth, 0), 1.75347045673, 1e-11);
    EXPECT_NEAR(f64(earth + 1, 0), 0.03341656456, 1e-10);
    EXPECT_NEAR(f64(earth + 1, 1), 4.66925680417, 1e-10);
    EXPECT_NEAR(f64(earth + 1, 2), 6283.0758499914, 1e-7);
    // moontab.bin: first row 0 0 1 0 6288774 -20905355; first latitude row
    // 0 0 0 1 5128122 (Meeus, tables 47.A and 47.B).
    std::string moon = testutil::ReadFileBytes(folder + "moontab.bin", &ok);
    ASSERT_EQ(moon.size(), 2640u);
    auto i32 = [&](size_t at) {
        int32_t v;
        std::memcpy(&v, &moon[at], 4);
        return v;
    };
    EXPECT_EQ(i32(8), 1);
    EXPECT_EQ(i32(16), 6288774);
    EXPECT_EQ(i32(20), -20905355);
    EXPECT_EQ(i32(1440 + 12), 1);
    EXPECT_EQ(i32(1440 + 16), 5128122);
    // The built-in rows are the same series.
    const LunarSeriesRow *builtIn = GetBuiltInLunarLongitudeRows();
    for (int r = 0; r < 60; ++r) {
        EXPECT_EQ(i32(24 * r + 16), builtIn[r].longitude) << r;
        EXPECT_EQ(i32(24 * r + 20), builtIn[r].distance) << r;
        EXPECT_EQ(i32(1440 + 20 * r + 16), GetBuiltInLunarLatitudeRows()[r].latitude) << r;
    }
    std::string usats = testutil::ReadFileBytes(folder + "usats.bin", &ok);
    EXPECT_EQ(usats.size(), 2024u);
}

}  // namespace
