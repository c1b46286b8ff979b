// Tests of the chart star search over the demo star databases: a window
// returns exactly the stars that a walk over every region file finds inside
// it and within the limit, across region and zone borders, the 0h wrap and
// the polar caps; the region list, an empty list and a missing file.
#include "charts/starreader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "astro/nutation.h"
#include "charts/chartcontext.h"
#include "charts/charttime.h"
#include "core/datapaths.h"
#include "core/fileutil.h"
#include "core/mathutil.h"
#include "objects/stardatabase.h"
#include "objects/tests/democatalogues.h"
#include "objects/tests/demostardb.h"
#include "charts/chartlabels.h"
#include "astro/angletext.h"
#include "testutil/testutil.h"

namespace {

const double kDeg = kPi / 180;

class StarReader : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
#ifndef _WIN32
        nutation = new testutil::TempDir;
        std::string command = "python3 \"" + testutil::SourceDir() + "/tools/gen_nutcon.py\" --out \"" +
                              nutation->path() + "\" > /dev/null";
        if (std::system(command.c_str()) == 0) LoadNutationTable((nutation->path() + "/").c_str());
#endif
    }
    static void TearDownTestSuite() {
#ifndef _WIN32
        FreeNutationTable();
        delete nutation;
        nutation = nullptr;
#endif
    }
    void SetUp() override {
        auto &f = demostars::DemoStarFolders();
        if (!f.ready) GTEST_SKIP() << "no demo star databases";
        SetMapDirectories(f.map0.c_str(), f.map1.c_str(), f.map2.c_str());
        c.reset(new ChartContext);
        std::memset(c.get(), 0, sizeof *c);
        ASSERT_EQ(1, ClearStarReader(c.get()));
        ASSERT_EQ(1, SetChartSite(c.get(), 0, 0, 0, 6.5, 0, 18.3, 60, 2, 2.0, 0));
        ASSERT_EQ(1, SetChartTime(c.get(), 2451545.0));
    }
    void TearDown() override {
        if (c) EndStarSearch(c.get());
        SetMapDirectories("", "", "");
    }

    using Key = std::tuple<int32_t, int32_t>;  // the place in turns

    // Every star of the database whose pixel lies in the visible rectangle,
    // by walking every region file: a region's stars, brightest first, up to
    // its first star fainter than the limit that is not a variable (the
    // variables before it whatever their magnitude).
    std::set<Key> Expected(int database, double limit) {
        std::set<Key> out;
        for (int zone = 0; zone < StarZoneCount(database); ++zone) {
            int d = database == kStarDbMagX ? MagxSubdivisions(zone) : 1;
            for (int region = 0; region < StarRegionCount(database, zone); ++region) {
                for (int cell = 0; cell < d * d; ++cell) {
                    std::vector<StarRegionCode> codes(
                        1, MakeRegionCode(zone, region, cell / d, cell % d));
                    WalkStarDatabase(database, codes, [&](const DecodedStar &s) {
                        if (!s.variable && s.v > limit) return 1;  // the region ends here
                        int x, y;
                        if (SkyToScreen(c.get(), s.rightAscension, s.declination,
                                        s.motionRightAscension, s.motionDeclination, &x, &y) == 1 &&
                            x >= c->visibleLeft && x <= c->visibleRight && y >= c->visibleTop &&
                            y <= c->visibleBottom)
                            out.insert(Key(s.rightAscensionTurns, s.declinationTurns));
                        return 0;
                    });
                }
            }
        }
        return out;
    }

    std::unique_ptr<ChartContext> c;
#ifndef _WIN32
    static testutil::TempDir *nutation;
#endif
};
#ifndef _WIN32
testutil::TempDir *StarReader::nutation = nullptr;
#endif

TEST_F(StarReader, WindowGivesExactlyItsStars) {
    struct Case {
        int database;
        double ra, dec, field, limit;  // degrees, degrees, degrees, magnitude
        int width, height;
    } cases[] = {
        {kStarDbMag7, 0.5, 28, 40, 6.0, 800, 600},    // 0h wrap, zone border at +30
        {kStarDbMag7, 200, -85, 30, 7.1, 600, 800},   // south pole (no caps in mag7)
        {kStarDbMag10, 359, 0.5, 12, 9.0, 800, 600},  // 0h wrap on the equator
        {kStarDbMag10, 45, 87, 10, 9.5, 800, 800},    // the north cap
        {kStarDbMagX, 7.4, 44.9, 3, 13.0, 800, 600},  // region, sub-region and zone borders
        {kStarDbMagX, 120, -89.3, 2, 14.0, 600, 600}, // the south cap
        {kStarDbMagX, 0.1, -0.1, 1, 20.1, 300, 900},  // a tall window at 0h
    };
    for (const Case &t : cases) {
        SCOPED_TRACE(testing::Message() << t.database << " " << t.ra << " " << t.dec);
        ASSERT_EQ(1, SetStarSearchLimits(c.get(), t.limit, 1, 1, 100, 1, 0, 1, 1, 1));
        ASSERT_EQ(1, BeginStarSearch(c.get(), t.ra * kDeg, t.dec * kDeg, 0, 0, t.field * kDeg,
                                     t.width, t.height, 0, 0, 0, 0, 0, 0, 1, t.database,
                                     kFrameJ2000, 0, 1));
        std::set<Key> got;
        ChartStar star;
        int r, n = 0;
        while ((r = ReadNextStar(c.get(), &star)) == 1) {
            ++n;
            EXPECT_TRUE(got.insert(Key(c->starRightAscensionTurns, c->starDeclinationTurns)).second);
            if (!(star.kind & kChartStarVariable)) {
                EXPECT_LE(c->starV, t.limit);
            }
            EXPECT_GE(star.x, 0);
            EXPECT_LT(star.x, t.width);
            EXPECT_GE(star.y, 0);
            EXPECT_LT(star.y, t.height);
        }
        EXPECT_EQ(0, r);
        std::set<Key> expected = Expected(t.database, t.limit);
        EXPECT_GT(expected.size(), 5u);
        EXPECT_EQ(expected.size(), got.size());
        EXPECT_TRUE(expected == got);
        EndStarSearch(c.get());
    }
}

TEST_F(StarReader, DatabaseChoiceAndEmptyLists) {
    SetStarSearchLimits(c.get(), 6.5, 1, 1, 100, 1, 0, 1, 1, 1);
    EXPECT_EQ(kStarDbMag7, ChooseStarDatabase(c.get(), 20 * kDeg));
    EXPECT_EQ(kStarDbMag10, ChooseStarDatabase(c.get(), 15 * kDeg));
    EXPECT_EQ(kStarDbMagX, ChooseStarDatabase(c.get(), 4.9 * kDeg));
    SetStarSearchLimits(c.get(), 7.2, 1, 1, 100, 1, 0, 1, 1, 1);
    EXPECT_EQ(kStarDbMag10, ChooseStarDatabase(c.get(), 60 * kDeg));
    SetStarSearchLimits(c.get(), 10.1, 1, 1, 100, 1, 0, 1, 1, 1);
    EXPECT_EQ(kStarDbMagX, ChooseStarDatabase(c.get(), 60 * kDeg));

    // prepared without regions: the first read ends the search
    ASSERT_EQ(1, BeginStarSearch(c.get(), 1, 0.2, 0, 0, 10 * kDeg, 800, 600, 0, 0, 0, 0, 0, 0, 1,
                                 kStarDbMag10, kFrameJ2000, 0, 0));
    ChartStar star;
    EXPECT_EQ(0, ReadNextStar(c.get(), &star));
    // regions collected by the caller: the same region is listed once
    ASSERT_EQ(1, ResetStarReader(c.get()));
    ASSERT_EQ(1, AddStarRegionAt(c.get(), 1.0, 0.2));
    ASSERT_EQ(1, AddStarRegionAt(c.get(), 1.01, 0.21));
    EXPECT_EQ(1, c->secondRegionCount);
    EXPECT_EQ(0, c->firstRegionCount);
    EXPECT_EQ(1, ReadNextStar(c.get(), &star));
    // a missing map directory: the region cannot be opened
    CloseStarRegion(c.get());
    SetMapDirectories("/nonexistent/", "/nonexistent/", "/nonexistent/");
    EXPECT_EQ(-1, ReadNextStar(c.get(), &star));
    EXPECT_EQ(0, ClearStarReader(nullptr));
    EXPECT_EQ(0, AddStarRegionAt(nullptr, 0, 0));
}

TEST_F(StarReader, SearchAroundAPlace) {
    // every magx star within 0.2 degrees of a place, by the walk
    const double ra = 83.8 * kDeg, dec = -5.4 * kDeg, radius = 0.2 * kDeg;
    ASSERT_EQ(1, BeginStarSearchAround(c.get(), ra, dec, radius, kStarDbMagX));
    std::set<Key> got;
    double a, d, v;
    while (ReadNextStarWithin(c.get(), &a, &d, &v) == 1) {
        EXPECT_LE(AngularSeparation(a, d, ra, dec), radius);
        got.insert(Key(c->starRightAscensionTurns, c->starDeclinationTurns));
    }
    std::set<Key> expected;
    WalkStarDatabase(kStarDbMagX, StarRegionsOfBox(kStarDbMagX, ra, dec, 1 * kDeg, 1 * kDeg),
                     [&](const DecodedStar &s) {
                         if (AngularSeparation(s.rightAscension, s.declination, ra, dec) <= radius)
                             expected.insert(Key(s.rightAscensionTurns, s.declinationTurns));
                         return 0;
                     });
    EXPECT_GT(expected.size(), 3u);
    EXPECT_TRUE(expected == got);
}

// The demo's variables show the magnitude their GCVS light curve gives at the
// chart date: Algol (epoch of minimum JD 2445641.5135, period 2.8673043 d,
// 2.12 to 3.39) at a minimum and a quarter period later; Mira (epoch of
// maximum JD 2444839, period 331.96 d, 2.0 to 10.1, rising in 38% of its
// period) at a maximum and at its minimum 62% of a period later. Algol stays
// on a chart whose limit its minimum is fainter than.
TEST_F(StarReader, DemoVariablesAtTheChartDate) {
    struct Case {
        double ra, dec;            // degrees
        double julianDate, v;      // the chart date and the V expected then
        double limit;
    } cases[] = {
        {47.042, 40.956, 2445641.5135 + 1000 * 2.8673043, 3.39, 3.0},
        {47.042, 40.956, 2445641.5135 + 1000.25 * 2.8673043, 2.12, 3.0},
        {34.837, -2.977, 2444839.0 + 10 * 331.96, 2.0, 7.1},
        {34.837, -2.977, 2444839.0 + 10.62 * 331.96, 10.1, 7.1},
    };
    for (const Case &t : cases) {
        SCOPED_TRACE(testing::Message() << t.ra << " " << t.julianDate);
        ASSERT_EQ(1, SetChartTime(c.get(), t.julianDate));
        ASSERT_EQ(1, SetStarSearchLimits(c.get(), t.limit, 1, 1, 100, 1, 1, 1, 1, 1));
        ASSERT_EQ(1, BeginStarSearch(c.get(), t.ra * kDeg, t.dec * kDeg, 0, 0, 0.1 * kDeg, 600,
                                     600, 0, 0, 0, 0, 0, 0, 1, kStarDbMag7, kFrameJ2000, 0, 1));
        ChartStar star;
        int found = 0;
        while (ReadNextStar(c.get(), &star) == 1) {
            if (!(star.kind & kChartStarVariable)) continue;
            ++found;
            EXPECT_NEAR(t.v, c->starV, 0.01);
            EXPECT_EQ(1, c->variableMark);
            // range symbols: the radius of the brightest, the faint one of the faintest
            EXPECT_GE(star.radius, star.faintRadius);
        }
        EXPECT_EQ(1, found);
        EndStarSearch(c.get());
    }
}

// Labels of stars read from the demo databases: a catalogue star by its
// enabled designation and magnitude suffix, a guide star by its identifier, a
// faint star by its J designation, a star outside the magnitude window bare.
TEST_F(StarReader, LabelsOfEveryForm) {
    if (!democat::DemoFolders().ready) GTEST_SKIP() << "no demo catalogues";
    SetRefDirectories(democat::DemoFolders().slot0.c_str(), democat::DemoFolders().slot1.c_str(),
                      democat::DemoFolders().slot1.c_str());
    std::unique_ptr<ChartLabelSettings> settings(new ChartLabelSettings);
    std::memset(settings.get(), 0, sizeof *settings);
    settings->firstSwitch[kFamilyStars] = settings->secondSwitch[kFamilyStars] = 1;
    auto order = [&](std::initializer_list<int> kinds) {
        std::memset(settings->enable[kFamilyStars], 0, 60);
        int p = 0;
        for (int k : kinds) {
            settings->order[kFamilyStars][p] = (uint8_t)k;
            settings->enable[kFamilyStars][p++] = 1;
        }
    };
    ChartLabel label;
    ChartStar star;
    // Sirius, star 1 of the catalogue, in mag7
    ASSERT_EQ(1, BeginStarSearchAround(c.get(), 101.287 * kDeg, -16.716 * kDeg, 0.01 * kDeg,
                                       kStarDbMag7));
    int r;
    while ((r = ReadNextStar(c.get(), &star)) == 1 && c->catalogueNumber != 1) {
    }
    ASSERT_EQ(1, r);
    order({kStarLabelGuideStar, kStarLabelHd, kStarLabelHr});
    ASSERT_NE(0, FormatChartStarLabel(c.get(), settings.get(), &star, &label));
    EXPECT_STREQ("HD 48915", label.text);
    settings->magnitudeSuffix[kFamilyStars] = 1;
    ASSERT_NE(0, FormatChartStarLabel(c.get(), settings.get(), &star, &label));
    EXPECT_STREQ("HD 48915 (-14)", label.text);
    // outside the magnitude window: no designation
    settings->magnitudeSuffix[kFamilyStars] = 0;
    settings->magnitudeWindow[kFamilyStars] = 1;
    settings->faintBound[kFamilyStars] = 5;
    settings->brightBound[kFamilyStars] = 2;
    EXPECT_EQ(0, FormatChartStarLabel(c.get(), settings.get(), &star, &label));
    EXPECT_STREQ("", label.text);
    settings->magnitudeWindow[kFamilyStars] = 0;
    EndStarSearch(c.get());

    // a guide star and a faint star of the deep database
    order({kStarLabelGuideStar, kStarLabelCoordinates});
    ASSERT_EQ(1, SetStarLabelKinds(c.get(), settings.get()));
    EXPECT_EQ(1, c->guideStarLabels);
    EXPECT_EQ(1, c->coordinateLabels);
    ASSERT_EQ(1, BeginStarSearchAround(c.get(), 228.75 * kDeg, 3.75 * kDeg, 1.2 * kDeg, kStarDbMagX));
    bool guide = false, faint = false;
    while (ReadNextStar(c.get(), &star) == 1 && !(guide && faint)) {
        if ((star.kind & kChartStarGuide) && !guide) {
            guide = true;
            ASSERT_NE(0, FormatChartStarLabel(c.get(), settings.get(), &star, &label));
            char expected[32];
            std::snprintf(expected, sizeof expected, "GSC %04d-%04d", (int)c->guideRegion,
                          (int)c->guideNumber);
            EXPECT_STREQ(expected, label.text);
            EXPECT_GT(c->guideRegion, 0);
        }
        if ((star.kind & kChartStarFaint) && !faint) {
            faint = true;
            ASSERT_NE(0, FormatChartStarLabel(c.get(), settings.get(), &star, &label));
            char j[kJDesignationSize];
            EXPECT_STREQ(FormatJDesignation(j, c->starRightAscension, c->starDeclination), label.text);
        }
    }
    EXPECT_TRUE(guide);
    EXPECT_TRUE(faint);
    SetRefDirectories("", "", "");
}

// A small mag10 database written here: zone 7, region 0 (0 to 15 degrees
// in both) holding the given bytes after its code byte.
class MiniDatabase : public StarReader {
protected:
    void Write(uint8_t firstCode, const std::string &records, uint32_t count) {
        std::string head(24 * 8, '\0');
        auto put32 = [&head](size_t at, uint32_t v) {
            for (int i = 0; i < 4; ++i) head[at + i] = (char)(v >> (8 * i));
        };
        std::string body(1, (char)firstCode);
        body += records;
        put32(0, 24 * 8);
        put32(4, count);
        for (int n = 1; n < 24; ++n) put32(8 * n, (uint32_t)(24 * 8 + body.size()));
        body += '\0';
        std::string map = dir_.path() + "/";
        ASSERT_EQ(1, EnsureDirectory((map + "mag10").c_str()));
        ASSERT_EQ(1, EnsureDirectory((map + "mag10/db07").c_str()));
        ASSERT_TRUE(testutil::WriteFileBytes(map + "mag10/db07/stars.bin", head + body));
        SetMapDirectories(map.c_str(), map.c_str(), map.c_str());
    }
    // A catalogue-form record at (ra, dec) degrees inside the region, V, next code.
    static std::string Record(double ra, double dec, double v, int next) {
        uint32_t f = (uint32_t)std::lround(ra / 15 * 1048575), g = (uint32_t)std::lround(dec / 15 * 1048575);
        uint32_t word = f | (g & 0xFFF) << 20;
        std::string r;
        for (int k = 0; k < 4; ++k) r += (char)(word >> (8 * k));
        r += (char)(g >> 12);
        r += std::string("\xB0\x71\x0B\xB0\x71\x0B", 6);  // no motion (750,000)
        r += std::string("\x07\x00\x00", 3);                 // catalogue number 7
        uint32_t m = (uint32_t)std::lround((v + 1.6) * 100);
        r += (char)(m & 0xFF);
        r += (char)(m >> 8);
        r += (char)next;
        return r;
    }
    // A component: separation (0.01"), angle, V, letter, reference index.
    static std::string Component(int separation, int angle, double v, char letter, int reference) {
        uint32_t q = (uint32_t)std::lround((v + 1.6) * 8388607 / 21.2);
        uint32_t word = (uint32_t)angle | q << 9;
        std::string r;
        r += (char)(separation & 0xFF);
        r += (char)(separation >> 8);
        for (int k = 0; k < 4; ++k) r += (char)(word >> (8 * k));
        r += letter;
        r += (char)reference;
        return r;
    }
    // Looks at the region's middle: 1 degree on 1000 pixels (3.6" a pixel).
    void Look(double limit) {
        ASSERT_EQ(1, SetStarSearchLimits(c.get(), limit, 1, 1, 100, 1, 0, 1, 1, 1));
        ASSERT_EQ(1, BeginStarSearch(c.get(), 7.5 * kDeg, 7.5 * kDeg, 0, 0, 1 * kDeg, 1000, 1000,
                                     0, 0, 0, 0, 0, 0, 1, kStarDbMag10, kFrameJ2000, 0, 0));
        ASSERT_EQ(1, ResetStarReader(c.get()));
        ASSERT_EQ(1, AddStarRegionAt(c.get(), 7.5 * kDeg, 7.5 * kDeg));
    }
    testutil::TempDir dir_;
};

TEST_F(MiniDatabase, ComponentsArePlacedAndMerged) {
    // a double (code 2) of three components: B 10" east, C 0.01" off (merged),
    // D referring to an entry the table does not hold (skipped)
    std::string records = Record(7.5, 7.5, 5.0, 0) + '\x03' + Component(1000, 90, 6.0, 'B', 0) +
                          Component(1, 0, 7.0, 'C', 0) + Component(500, 0, 6.5, 'D', 9);
    Write(2, records, 1);
    Look(9);
    ChartStar primary, star;
    ASSERT_EQ(1, ReadNextStar(c.get(), &primary));
    EXPECT_EQ(kChartStarCatalogue | kChartStarDouble, primary.kind);
    EXPECT_NEAR(499.5, primary.x, 1.5);
    double ra0 = c->starRightAscension, dec0 = c->starDeclination;
    ASSERT_EQ(1, ReadNextStar(c.get(), &star));
    EXPECT_EQ('B', c->componentLetter);
    EXPECT_NEAR(6.0, c->starV, 1e-5);
    EXPECT_NEAR(10.0 / 3600 * kDeg, AngularSeparation(c->starRightAscension, c->starDeclination,
                                                       ra0, dec0), 1e-10);
    EXPECT_NEAR(dec0, c->starDeclination, 1e-9);   // at angle 90: due east
    EXPECT_GT(c->starRightAscension, ra0);
    EXPECT_NEAR(10.0 / 3.6, std::abs(star.x - primary.x), 1.01);
    EXPECT_EQ(kChartStarCatalogue | kChartStarDouble, star.kind);
    ASSERT_EQ(2, ReadNextStar(c.get(), &star));  // merged, at its reference
    EXPECT_EQ(primary.x, star.x);
    EXPECT_EQ(primary.y, star.y);
    EXPECT_EQ(0, ReadNextStar(c.get(), &star));
}

TEST_F(MiniDatabase, RegionEndsAtItsFirstFaintStarButNotAtAVariable) {
    // V 5 (catalogue), 8 (variable, code 1: block of model 0), 9 (catalogue),
    // then out of order a 6: the 9 ends the region, the 6 is never read
    std::string variableBlock("\x00\x00\x00\x3E\x58\x02", 6);  // range 3.92 to 5.00, model 0
    std::string records = Record(7.4, 7.4, 5.0, 1) + Record(7.5, 7.5, 8.0, 0) + variableBlock +
                          Record(7.6, 7.6, 9.0, 0) + Record(7.45, 7.55, 6.0, 0);
    Write(0, records, 4);
    Look(7.0);
    std::vector<double> seen;
    ChartStar star;
    while (ReadNextStar(c.get(), &star) == 1) {
        seen.push_back(c->starV);
        double brightest, faintest;
        ASSERT_EQ(1, GetChartStarMagnitudes(c.get(), &brightest, &faintest));
        if (seen.size() == 2) {
            EXPECT_NEAR(3.92, brightest, 1e-9);
            EXPECT_NEAR(5.0, faintest, 1e-9);
            EXPECT_EQ(kChartStarCatalogue | kChartStarVariable, star.kind);
        }
    }
    ASSERT_EQ(2u, seen.size());
    EXPECT_NEAR(5.0, seen[0], 1e-9);
    EXPECT_NEAR(8.0, seen[1], 1e-9);
    // a truncated record: -1, never a crash
    Write(0, Record(7.5, 7.5, 5.0, 0).substr(0, 10), 1);
    Look(7.0);
    EXPECT_EQ(-1, ReadNextStar(c.get(), &star));
}

}  // namespace

namespace {

// Little-endian bytes of a value.
std::string Le(uint64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += (char)(value >> (8 * i));
    return out;
}
std::string Float(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return Le(bits, 4);
}
std::string Double(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    return Le(bits, 8);
}
// The 5-byte place of mag10 zone 7, region 0 (0 to 15 degrees in both).
std::string Place(double raDegrees, double decDegrees) {
    uint32_t f = (uint32_t)std::lround(raDegrees / 15 * 1048575);
    uint32_t g = (uint32_t)std::lround(decDegrees / 15 * 1048575);
    return Le(f | (g & 0xFFF) << 20, 4) + (char)(g >> 12);
}
// A 24-bit motion field of arcseconds per year.
std::string Motion(double arcsecPerYear) {
    return Le((uint32_t)std::lround((arcsecPerYear + 7.5) / 0.00001), 3);
}
std::string MagnitudeWord(double v) { return Le((uint32_t)std::lround((v + 1.6) * 100), 2); }
// An orbit record: period (years), inclination, a ("), e, omega, node
// (degrees), periastron (year).
std::string Orbit(float period, float inclination, float a, float e, float omega, float node,
                  float periastron) {
    return Float(period) + Float(inclination) + Float(a) + Float(e) + Float(omega) + Float(node) +
           Float(periastron) + Le(0, 2) + Le(7, 2);
}

}  // namespace

// A variable whose light curve has a period shows the magnitude its curve
// gives at the chart date (a pulsating star at its epoch of maximum and half
// a period later); one without an epoch keeps its record's magnitude.
TEST_F(MiniDatabase, VariablesShowTheirMagnitudeAtTheChartDate) {
    // model 4, range 6.0 to 8.0, epoch JD 2451545.0, rise 0.5 of the cycle,
    // period 10 days
    std::string pulsating = Le(1200u << 20, 4) + Le(900 | 4 << 12, 2) +
                            Le(2451545u | 50u << 24, 4) + Float(0) + Float(10) + '\0';
    std::string noEpoch = Le(1200u << 20, 4) + Le(900 | 4 << 12, 2) + Le(0xFFFFFF, 4) + Float(0) +
                          Float(10) + '\0';
    std::string records = Record(7.4, 7.4, 7.0, 1) + pulsating + Record(7.6, 7.6, 7.5, 0) + noEpoch;
    Write(1, records, 2);
    struct Case {
        double julianDate, first, second;
    } cases[] = {{2451545.0 + 30, 6.0, 7.5}, {2451545.0 + 35, 8.0, 7.5}};
    for (const Case &t : cases) {
        SCOPED_TRACE(t.julianDate);
        ASSERT_EQ(1, SetChartTime(c.get(), t.julianDate));
        Look(9);
        ChartStar star;
        ASSERT_EQ(1, ReadNextStar(c.get(), &star));
        EXPECT_NEAR(t.first, c->starV, 1e-6);
        EXPECT_EQ(1, c->variableMark);
        double brightest, faintest;
        ASSERT_EQ(1, GetChartStarMagnitudes(c.get(), &brightest, &faintest));
        EXPECT_NEAR(6.0, brightest, 1e-9);
        EXPECT_NEAR(8.0, faintest, 1e-9);
        ASSERT_EQ(1, ReadNextStar(c.get(), &star));
        EXPECT_NEAR(t.second, c->starV, 1e-9);
        EXPECT_EQ(0, c->variableMark);
        EXPECT_EQ(0, ReadNextStar(c.get(), &star));
        EndStarSearch(c.get());
    }
}

// Orbits: a face-on circular orbit at its periastron puts the companion at
// position angle node + argument of periastron and at the semi-major axis
// (Meeus, ch. 57, with i = 0 and e = 0). An orbital system's own star is
// placed so from the system block and takes the block's motions; a
// component placed by its orbit, and a component by separation, move with
// the star that started their system; a separation under a pixel merges.
TEST_F(MiniDatabase, OrbitsPlaceSystemsAndComponents) {
    ASSERT_EQ(1, SetChartTime(c.get(), 2451545.0));
    const float year = (float)c->savedDate.decimalYear;
    // named star (code 8 + 2: components follow) with both motions 0xFFFFFF
    // (end byte: bit 7 set, the next code 0)
    std::string system = Place(7.5, 7.5) + Le(0xFFFFFF, 3) + Le(0xFFFFFF, 3) + Le(42, 3) +
                         std::string(3, '\0') + 'A' + MagnitudeWord(6.0) + '\x80';
    const double arcsec = kDeg / 3600;
    std::string block = Double(7.5 * kDeg) + Double(7.5 * kDeg) + Float((float)(0.5 * arcsec)) +
                        Float((float)(-0.25 * arcsec)) + Float(5.5f);
    // the star 10" at 90 degrees; component B 20" at 180 degrees from it by
    // its orbit; component C 30" at 0 degrees from it by separation and angle
    std::string records = system + block + Orbit(100, 0, 10, 0, 60, 30, year) + '\x02' +
                          Component(0, 0, 7.0, 'B', 0).substr(0, 7) + '\x80' +
                          Orbit(50, 0, 20, 0, 100, 80, year) + Component(3000, 0, 8.0, 'C', 0);
    Write(10, records, 1);
    Look(9);
    ChartStar star;
    double ra, dec, pmRa, pmDec;
    ASSERT_EQ(1, ReadNextStar(c.get(), &star));
    EXPECT_EQ(kChartStarNamed | kChartStarDouble | kChartStarOrbit, star.kind);
    EXPECT_EQ(0x80, star.flag);
    ASSERT_EQ(1, GetChartStarPlace(c.get(), &ra, &dec, &pmRa, &pmDec));
    const double ra0 = 7.5 * kDeg, dec0 = 7.5 * kDeg;
    EXPECT_NEAR(10 * arcsec, AngularSeparation(ra, dec, ra0, dec0), 0.01 * arcsec);
    EXPECT_NEAR(dec0, dec, 0.01 * arcsec);
    EXPECT_GT(ra, ra0);
    EXPECT_NEAR(0.5 * arcsec, pmRa, 1e-12);
    EXPECT_NEAR(-0.25 * arcsec, pmDec, 1e-12);
    EXPECT_NEAR(6.0, c->starV, 1e-9);
    const double ra1 = ra, dec1 = dec;

    ASSERT_EQ(1, ReadNextStar(c.get(), &star));
    EXPECT_EQ('B', c->componentLetter);
    EXPECT_EQ(kChartStarCatalogue | kChartStarDouble | kChartStarOrbit, star.kind);
    EXPECT_EQ(0, star.flag);
    ASSERT_EQ(1, GetChartStarPlace(c.get(), &ra, &dec, &pmRa, &pmDec));
    EXPECT_NEAR(20 * arcsec, AngularSeparation(ra, dec, ra1, dec1), 0.01 * arcsec);
    EXPECT_NEAR(dec1 - 20 * arcsec, dec, 0.01 * arcsec);
    EXPECT_NEAR(0.5 * arcsec, pmRa, 1e-12);
    EXPECT_NEAR(7.0, c->starV, 1e-5);

    ASSERT_EQ(1, ReadNextStar(c.get(), &star));
    EXPECT_EQ('C', c->componentLetter);
    ASSERT_EQ(1, GetChartStarPlace(c.get(), &ra, &dec, &pmRa, &pmDec));
    EXPECT_NEAR(dec1 + 30 * arcsec, dec, 0.01 * arcsec);
    EXPECT_NEAR(-0.25 * arcsec, pmDec, 1e-12);
    EXPECT_EQ(0, ReadNextStar(c.get(), &star));

    // an orbit of 0.01": merged into the system's place and magnitude
    records = system + block + Orbit(100, 0, 0.01f, 0, 60, 30, year);
    Write(8, records, 1);
    Look(9);
    ASSERT_EQ(2, ReadNextStar(c.get(), &star));
    ASSERT_EQ(1, GetChartStarPlace(c.get(), &ra, &dec, &pmRa, &pmDec));
    EXPECT_DOUBLE_EQ(ra0, ra);
    EXPECT_DOUBLE_EQ(dec0, dec);
    EXPECT_NEAR(5.5, c->starV, 1e-6);
    EXPECT_EQ(0, ReadNextStar(c.get(), &star));
}

// A system that lists more components than the 50-entry table holds: all are
// read, those whose reference entry the table holds are placed, none is
// written past the table, and the region goes on. Every component moves with
// the star that started the system.
TEST_F(MiniDatabase, MoreComponentsThanTheTableHolds) {
    std::string records = Place(7.5, 7.5) + Motion(0.3) + Motion(-0.2) + Le(7, 3) +
                          MagnitudeWord(5.0) + '\0';
    records += (char)60;
    for (int i = 0; i < 60; ++i) records += Component(1000 + 10 * i, (i * 6) % 360, 6.0, 'B', i % 55);
    records += Record(7.6, 7.6, 6.5, 0);
    Write(2, records, 2);
    Look(9);
    ChartStar star;
    int stars = 0, r;
    double ra, dec, pmRa, pmDec, primaryRa = 0, primaryDec = 0;
    while ((r = ReadNextStar(c.get(), &star)) == 1) {
        ASSERT_EQ(1, GetChartStarPlace(c.get(), &ra, &dec, &pmRa, &pmDec));
        if (++stars == 1) {
            primaryRa = pmRa;
            primaryDec = pmDec;
            EXPECT_NEAR(0.3 / 3600 * kDeg / std::cos(7.5 * kDeg), pmRa, 1e-12);
        } else if (c->componentLetter == 'B') {
            EXPECT_DOUBLE_EQ(primaryRa, pmRa);
            EXPECT_DOUBLE_EQ(primaryDec, pmDec);
        }
    }
    EXPECT_EQ(0, r);
    EXPECT_EQ(kComponentTableSize, c->componentTableCount);
    // the primary, the last star, and the components whose reference entry
    // the table holds (entries 0 to 49; 50 to 54 are beyond it)
    EXPECT_EQ(2 + 55, stars);
}

// The regions of a rectangle of the window give exactly the stars whose
// pixel lies inside it, across 0h, sub-region borders and near the pole,
// where magx's regions are narrower on the sky than 10 pixels of a wide view.
TEST_F(StarReader, RectangleGivesExactlyItsStars) {
    struct Case {
        int database;
        double ra, dec, field, limit;  // degrees, degrees, degrees, magnitude
        int width, height, left, top, right, bottom;
    } cases[] = {
        {kStarDbMag10, 359, 0.5, 20, 9.0, 800, 600, 100, 50, 500, 400},
        {kStarDbMagX, 7.4, 44.9, 3, 13.0, 800, 600, 390, 0, 799, 320},
        {kStarDbMagX, 30, 86, 40, 10.5, 600, 600, 0, 0, 599, 300},
    };
    for (const Case &t : cases) {
        SCOPED_TRACE(testing::Message() << t.database << " " << t.ra << " " << t.dec);
        ASSERT_EQ(1, SetStarSearchLimits(c.get(), t.limit, 1, 1, 100, 1, 0, 1, 1, 1));
        ASSERT_EQ(1, BeginStarSearch(c.get(), t.ra * kDeg, t.dec * kDeg, 0, 0, t.field * kDeg,
                                     t.width, t.height, 0, 0, 0, 0, 0, 0, 1, t.database,
                                     kFrameJ2000, 0, 0));
        ASSERT_EQ(1, BuildStarRegionsForRectangle(c.get(), t.left, t.top, t.right, t.bottom));
        EXPECT_EQ(t.left, c->visibleLeft);
        EXPECT_EQ(t.bottom, c->visibleBottom);
        std::set<Key> got;
        ChartStar star;
        int r;
        while ((r = ReadNextStar(c.get(), &star)) == 1) {
            got.insert(Key(c->starRightAscensionTurns, c->starDeclinationTurns));
            EXPECT_GE(star.x, t.left);
            EXPECT_LE(star.x, t.right);
            EXPECT_GE(star.y, t.top);
            EXPECT_LE(star.y, t.bottom);
        }
        EXPECT_EQ(0, r);
        std::set<Key> expected = Expected(t.database, t.limit);
        EXPECT_GT(expected.size(), 5u);
        EXPECT_EQ(expected.size(), got.size());
        EXPECT_TRUE(expected == got);
        EndStarSearch(c.get());
    }
    EXPECT_EQ(0, BuildStarRegionsForRectangle(nullptr, 0, 0, 10, 10));
}

// A search at a point lists the centre's region alone and returns the stars
// of that region, within the limit, whose pixel lies in the window; the
// field spans the window's height. The designation search's window (30" on
// 1,000 pixels of height) finds a faint star at its own place.
TEST_F(StarReader, PointSearchReadsTheCentresRegionAlone) {
    struct Case {
        int database;
        double ra, dec, field, limit;
        int width, height;
    } cases[] = {
        {kStarDbMag7, 100, 20, 40, 6.5, 800, 600},
        {kStarDbMag10, 200, -50, 20, 9.0, 600, 800},
        {kStarDbMagX, 7.4, 44.9, 3, 13.0, 800, 600},
        {kStarDbMagX, 45, 89.2, 3, 14.0, 600, 600},  // the north cap
    };
    for (const Case &t : cases) {
        SCOPED_TRACE(testing::Message() << t.database << " " << t.ra << " " << t.dec);
        ASSERT_EQ(1, SetStarSearchLimits(c.get(), t.limit, 1, 1, 100, 1, 0, 1, 1, 1));
        ASSERT_EQ(1, BeginStarSearchAtPoint(c.get(), t.ra * kDeg, t.dec * kDeg, 0, 0,
                                            t.field * kDeg, t.width, t.height, 0, 0, 0,
                                            kProjectionStereographic, t.database, 1, kFrameJ2000,
                                            0));
        EXPECT_NEAR(t.height / (t.field * kDeg), c->pixelsPerRadian, 1e-6);
        EXPECT_EQ(1, t.database == kStarDbMag10 ? c->secondRegionCount : c->firstRegionCount);
        int ok;
        StarRegionCode centre = LocateStarRegionCode(t.database, t.ra * kDeg, t.dec * kDeg, &ok);
        std::set<Key> got;
        ChartStar star;
        int r;
        while ((r = ReadNextStar(c.get(), &star)) == 1)
            got.insert(Key(c->starRightAscensionTurns, c->starDeclinationTurns));
        EXPECT_EQ(0, r);
        // every star of the database in the window, kept when its region
        // is the centre's
        std::set<Key> expected;
        for (const Key &k : Expected(t.database, t.limit)) {
            double ra = (double)std::get<0>(k) * 2 * kPi / 2147483647.0;
            if (ra < 0) ra += 2 * kPi;
            double dec = (double)std::get<1>(k) * 2 * kPi / 2147483647.0;
            if (LocateStarRegionCode(t.database, ra, dec, &ok) == centre) expected.insert(k);
        }
        EXPECT_GT(expected.size(), 0u);
        EXPECT_TRUE(expected == got);
        EndStarSearch(c.get());
    }

    // a faint star of the deep database, found at the centre of its window
    DecodedStar faint;
    faint.code = -1;
    WalkStarDatabase(kStarDbMagX, StarRegionsOfBox(kStarDbMagX, 1.0, 0.3, 0.02, 0.02),
                     [&](const DecodedStar &s) {
                         if (s.code != kStarCodeFaint) return 0;
                         faint = s;
                         return 1;
                     });
    ASSERT_EQ(kStarCodeFaint, faint.code);
    ASSERT_EQ(1, SetStarSearchLimits(c.get(), 99.9, 1, 1, 100, 1, 0, 1, 1, 1));
    ASSERT_EQ(1, BeginStarSearchAtPoint(c.get(), faint.rightAscension, faint.declination, 0, 0,
                                        30 * kDeg / 3600, 5000, 1000, 0, 0, 0,
                                        kProjectionStereographic, kStarDbMagX, 1, kFrameJ2000, 0));
    bool found = false;
    ChartStar star;
    while (!found && ReadNextStar(c.get(), &star) == 1) {
        if (c->starRightAscensionTurns != faint.rightAscensionTurns ||
            c->starDeclinationTurns != faint.declinationTurns)
            continue;
        found = true;
        EXPECT_NEAR(2499.5, star.x, 1.5);
        EXPECT_NEAR(499.5, star.y, 1.5);
        EXPECT_EQ(kChartStarFaint, star.kind);
    }
    EXPECT_TRUE(found);
}

// The label of a catalogue star is its first enabled designation that it
// has, in the order of the star row: published identifiers of Sirius, Algol
// and Castor, the Bayer glyph cell (character 1, the letter number,
// superscript + 1), the variable-star name, the double-star system's CCDM
// number and discoverer name; kinds a star lacks passed over, disabled kinds
// ignored.
TEST_F(StarReader, LabelKindsInTheirOrder) {
    if (!democat::DemoFolders().ready) GTEST_SKIP() << "no demo catalogues";
    SetRefDirectories(democat::DemoFolders().slot0.c_str(), democat::DemoFolders().slot1.c_str(),
                      democat::DemoFolders().slot1.c_str());
    std::unique_ptr<ChartLabelSettings> settings(new ChartLabelSettings);
    std::memset(settings.get(), 0, sizeof *settings);
    settings->firstSwitch[kFamilyStars] = settings->secondSwitch[kFamilyStars] = 1;
    struct Star {
        double ra, dec;  // degrees
    };
    const Star sirius = {101.287, -16.716}, algol = {47.042, 40.956}, castor = {113.650, 31.888};
    struct Case {
        Star star;
        std::vector<int> kinds;
        std::vector<int> enabled;
        std::string text;  // "J" for the J designation of the star's place
    } cases[] = {
        {sirius, {kStarLabelCommonName}, {1}, "Sirius"},
        {sirius, {kStarLabelBayer}, {1}, std::string("\x01\x01\x01")},
        {sirius, {kStarLabelFlamsteed}, {1}, "9 CMa"},
        {sirius, {kStarLabelHip}, {1}, "HIP 32349"},
        {sirius, {kStarLabelSao}, {1}, "SAO 151881"},
        {sirius, {kStarLabelHr}, {1}, "HR 2491"},
        {sirius, {kStarLabelHr, kStarLabelHip}, {0, 1}, "HIP 32349"},
        {sirius, {kStarLabelGc, kStarLabelPpm, kStarLabelVariable, kStarLabelHd}, {1, 1, 1, 1},
         "HD 48915"},
        {sirius, {kStarLabelCoordinates, kStarLabelHd}, {1, 1}, "J"},
        {algol, {kStarLabelVariable, kStarLabelHr}, {1, 1}, "Beta Per"},
        {algol, {kStarLabelNsv, kStarLabelCcdm, kStarLabelHr}, {1, 1, 1}, "CCDM 03082+4057"},
        {castor, {kStarLabelAds, kStarLabelCcdm}, {1, 1}, "CCDM 07346+3153"},
        {castor, {kStarLabelDoubleName}, {1}, "STF1110"},
    };
    for (const Case &t : cases) {
        SCOPED_TRACE(t.text);
        // the brightest catalogue star at the place
        ASSERT_EQ(1, BeginStarSearchAround(c.get(), t.star.ra * kDeg, t.star.dec * kDeg,
                                           0.01 * kDeg, kStarDbMag7));
        ChartStar star;
        int r;
        while ((r = ReadNextStar(c.get(), &star)) == 1 && c->catalogueNumber <= 0) {
        }
        ASSERT_EQ(1, r);
        std::memset(settings->order[kFamilyStars], 0, 60);
        std::memset(settings->enable[kFamilyStars], 0, 60);
        for (size_t p = 0; p < t.kinds.size(); ++p) {
            settings->order[kFamilyStars][p] = (uint8_t)t.kinds[p];
            settings->enable[kFamilyStars][p] = (uint8_t)t.enabled[p];
        }
        char j[kJDesignationSize];
        std::string expected =
            t.text == "J" ? FormatJDesignation(j, c->starRightAscension, c->starDeclination) : t.text;
        ChartLabel label;
        EXPECT_NE(0, FormatChartStarLabel(c.get(), settings.get(), &star, &label));
        EXPECT_EQ(expected, std::string(label.text));
        EndStarSearch(c.get());
    }
    SetRefDirectories("", "", "");
}

// An empty region whose offset points at the end of its file is passed over:
// the search goes on to the next region of the list instead of ending with
// an error.
TEST_F(MiniDatabase, EmptyRegionAtTheEndOfItsFileIsPassedOver) {
    std::string star = Record(1.0, 7.5, 5.0, 0);  // region 1 starts at 15 degrees
    std::string head(24 * 8, '\0');
    auto put32 = [&head](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) head[at + i] = (char)(v >> (8 * i));
    };
    std::string body = std::string(1, '\0') + star;
    const uint32_t end = (uint32_t)(head.size() + body.size());
    for (int n = 0; n < 24; ++n) put32(8 * n, end);  // every region empty, at the end
    put32(8 * 1, (uint32_t)head.size());
    put32(8 * 1 + 4, 1);
    std::string map = dir_.path() + "/";
    ASSERT_EQ(1, EnsureDirectory((map + "mag10").c_str()));
    ASSERT_EQ(1, EnsureDirectory((map + "mag10/db07").c_str()));
    ASSERT_TRUE(testutil::WriteFileBytes(map + "mag10/db07/stars.bin", head + body));
    SetMapDirectories(map.c_str(), map.c_str(), map.c_str());
    ASSERT_EQ(1, SetStarSearchLimits(c.get(), 9, 1, 1, 100, 1, 0, 1, 1, 1));
    ASSERT_EQ(1, BeginStarSearch(c.get(), 15 * kDeg, 7.5 * kDeg, 0, 0, 40 * kDeg, 1000, 1000, 0,
                                 0, 0, 0, 0, 0, 1, kStarDbMag10, kFrameJ2000, 0, 0));
    ASSERT_EQ(1, ResetStarReader(c.get()));
    ASSERT_EQ(1, AddStarRegionAt(c.get(), 7.5 * kDeg, 7.5 * kDeg));   // region 0, empty
    ASSERT_EQ(1, AddStarRegionAt(c.get(), 22.5 * kDeg, 7.5 * kDeg));  // region 1
    ChartStar star2;
    ASSERT_EQ(1, ReadNextStar(c.get(), &star2));
    EXPECT_NEAR(16.0 * kDeg, c->starRightAscension, 1e-6);
    EXPECT_EQ(0, ReadNextStar(c.get(), &star2));
}

// The designation road: the call sequence the object search runs (site
// "Null", 2000 January 1.5, limit 25, the database chosen for the field, a
// 1000 x 1000 window) around a guide star and a catalogue star of the deep
// database leaves each star's identifier in the reader: the guide star's
// region and number with no catalogue number, the catalogue star's number.
TEST_F(StarReader, DesignationRoadLeavesTheIdentifiers) {
    DecodedStar guide, catalogue;
    guide.code = catalogue.code = -1;
    WalkStarDatabase(kStarDbMagX, StarRegionsOfBox(kStarDbMagX, 2.0, -0.4, 0.03, 0.03),
                     [&](const DecodedStar &s) {
                         if (s.code == kStarCodeGuide && guide.code < 0) guide = s;
                         if (s.code == 0 && s.catalogueNumber > 0 && catalogue.code < 0)
                             catalogue = s;
                         return guide.code >= 0 && catalogue.code >= 0 ? 1 : 0;
                     });
    ASSERT_EQ(kStarCodeGuide, guide.code);
    ASSERT_EQ(0, catalogue.code);
    for (const DecodedStar *wanted : {&guide, &catalogue}) {
        ASSERT_EQ(1, ClearStarReader(c.get()));
        ASSERT_EQ(1, InitLocationRecord(&c->site, 0, 0, 0, 6.5, 0, 18.3, 60, 2, 2.0, 0, "Null"));
        ASSERT_EQ(1, SetChartTime(c.get(), 2451545.0));
        ASSERT_EQ(1, SetStarSearchLimits(c.get(), 25, 1, 1, 100, 1, 0, 1, 1, 1));
        const double field = 60 * kDeg / 3600;
        int database = ChooseStarDatabase(c.get(), field);
        EXPECT_EQ(kStarDbMagX, database);
        ASSERT_EQ(1, BeginStarSearch(c.get(), wanted->rightAscension, wanted->declination, 0, 0,
                                     field, 1000, 1000, 0, 0, 0, 0, 0, 1, 1, database, kFrameJ2000,
                                     1, 1));
        bool found = false;
        ChartStar star;
        while (!found && ReadNextStar(c.get(), &star) > 0) {
            if (c->starRightAscensionTurns != wanted->rightAscensionTurns ||
                c->starDeclinationTurns != wanted->declinationTurns)
                continue;
            found = true;
            EXPECT_EQ(wanted->catalogueNumber, c->catalogueNumber);
            EXPECT_EQ(wanted->guideRegion, c->guideRegion);
            EXPECT_EQ(wanted->guideNumber, c->guideNumber);
        }
        EXPECT_TRUE(found);
        EndStarSearch(c.get());
    }
    EXPECT_GT(guide.guideRegion, 0);
    EXPECT_EQ(0, guide.catalogueNumber);
}

// A component's label is its letter (with the component-letter switch),
// followed by its magnitude in tenths when the suffix switch is on; without
// the letter switch a component has no text.
TEST_F(MiniDatabase, ComponentLabelsAreTheirLetters) {
    Write(2, Record(7.5, 7.5, 5.0, 0) + '\x01' + Component(1000, 90, 6.04, 'B', 0), 1);
    Look(9);
    ChartStar star;
    ASSERT_EQ(1, ReadNextStar(c.get(), &star));
    ASSERT_EQ(1, ReadNextStar(c.get(), &star));
    ASSERT_EQ('B', c->componentLetter);
    std::unique_ptr<ChartLabelSettings> settings(new ChartLabelSettings);
    std::memset(settings.get(), 0, sizeof *settings);
    settings->firstSwitch[kFamilyStars] = settings->secondSwitch[kFamilyStars] = 1;
    struct Case {
        uint8_t letters, suffix;
        const char *text;
    } cases[] = {{0x20, 0, "B"}, {0x20, 1, "B (60)"}, {0, 1, "60"}, {0, 0, ""}};
    for (const Case &t : cases) {
        SCOPED_TRACE(t.text);
        settings->leading[1] = t.letters;
        settings->magnitudeSuffix[kFamilyStars] = t.suffix;
        ChartLabel label;
        EXPECT_EQ(t.text[0] != 0, FormatChartStarLabel(c.get(), settings.get(), &star, &label) != 0);
        EXPECT_STREQ(t.text, label.text);
    }
}

// A century from 2000 the deep database's regions are collected over a
// window widened by the stars' largest motion, yet only the stars inside the
// window itself are returned: exactly those a walk of every region places
// there at that date.
TEST_F(StarReader, MotionMarginWidensOnlyTheRegionList) {
    ASSERT_EQ(1, SetChartTime(c.get(), 2451545.0 + 100 * 365.25));
    ASSERT_EQ(1, SetStarSearchLimits(c.get(), 12.0, 1, 1, 100, 1, 0, 1, 1, 1));
    ASSERT_EQ(1, BeginStarSearch(c.get(), 7.4 * kDeg, 44.9 * kDeg, 0, 0, 3 * kDeg, 800, 600, 0, 0,
                                 0, 0, 0, 0, 1, kStarDbMagX, kFrameJ2000, 0, 1));
    EXPECT_EQ(0, c->visibleLeft);
    EXPECT_EQ(799, c->visibleRight);
    std::set<Key> got;
    ChartStar star;
    int r;
    while ((r = ReadNextStar(c.get(), &star)) == 1) {
        got.insert(Key(c->starRightAscensionTurns, c->starDeclinationTurns));
        EXPECT_GE(star.x, 0);
        EXPECT_LT(star.x, 800);
        EXPECT_GE(star.y, 0);
        EXPECT_LT(star.y, 600);
    }
    EXPECT_EQ(0, r);
    std::set<Key> expected = Expected(kStarDbMagX, 12.0);
    EXPECT_GT(expected.size(), 5u);
    EXPECT_TRUE(expected == got);
}

// A label never runs past its 32 characters: a common name of 40 with the
// magnitude suffix and a component letter is cut to 32 and ends in a NUL
// (the label is allocated to its size, so a longer write would be caught).
TEST_F(MiniDatabase, LongLabelsAreCutToTheirField) {
    // star 7 of a small star catalogue names common-name record 1
    std::string stars(7 * 80, '\0');
    uint32_t w8 = 1u << 21;
    for (int i = 0; i < 4; ++i) stars[6 * 80 + 8 + i] = (char)(w8 >> (8 * i));
    std::string names(454, '\0');
    const std::string name = "A Name Of Forty Characters In All Here .";
    ASSERT_EQ(40u, name.size());
    names.replace(0, name.size(), name);
    names[453] = 1;  // preferred
    std::string ref = dir_.path() + "/ref/";
    ASSERT_EQ(1, EnsureDirectory(ref.c_str()));
    ASSERT_TRUE(testutil::WriteFileBytes(ref + "stars.bin", stars));
    ASSERT_TRUE(testutil::WriteFileBytes(ref + "csn.bin", names));
    SetRefDirectories(ref.c_str(), ref.c_str(), ref.c_str());
    Write(0, Record(7.5, 7.5, 5.0, 0), 1);
    Look(9);
    ChartStar star;
    ASSERT_EQ(1, ReadNextStar(c.get(), &star));
    ASSERT_EQ(7, c->catalogueNumber);
    c->componentLetter = 'B';
    std::unique_ptr<ChartLabelSettings> settings(new ChartLabelSettings);
    std::memset(settings.get(), 0, sizeof *settings);
    settings->firstSwitch[kFamilyStars] = settings->secondSwitch[kFamilyStars] = 1;
    settings->order[kFamilyStars][0] = kStarLabelCommonName;
    settings->enable[kFamilyStars][0] = 1;
    settings->magnitudeSuffix[kFamilyStars] = 1;
    settings->leading[1] = 0x20;
    std::unique_ptr<ChartLabel> label(new ChartLabel);
    EXPECT_NE(0, FormatChartStarLabel(c.get(), settings.get(), &star, label.get()));
    EXPECT_EQ(name.substr(0, kChartLabelTextMax), std::string(label->text));
    EXPECT_EQ(0, label->text[kChartLabelTextMax]);
    SetRefDirectories("", "", "");
}
