// Deep-sky layers on small hand-made catalogue files: magnitude defaults and
// limits, selected objects, never-drawn nebulae, dark nebulae without a
// magnitude test and their globules, numbering from 1, label forms and the
// magnitude suffix, short and missing files; and on the native build the
// generated catalogues: the objects expected in known fields.
#include "charts/deepskylayers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "charts/chartcontext.h"
#include "charts/charttime.h"
#include "charts/deepskyitem.h"
#include "charts/starreader.h"
#include "core/datapaths.h"
#include "core/fileutil.h"
#include "core/mathutil.h"
#include "instruments/instrumentrecord.h"
#include "charts/tests/bytebuilder.h"
#include "testutil/testutil.h"

namespace {

const double kDeg = kPi / 180;
const double kTurnUnit = 2 * kPi / 2147483647.0;

using charttest::Bytes;
int32_t Turns(double deg) { return (int32_t)std::lround(deg * kDeg / kTurnUnit); }

// neb.bin record: place, flags, Messier, NGC, magnitude byte, major and minor (tenths ').
std::string BrightNebula(double raDeg, double decDeg, int flags, int messier, int ngc, int mag10,
                         int major10) {
    Bytes r;
    r.i32(Turns(raDeg)).i32(Turns(decDeg)).u8(flags).u8(255).u8(messier).u16(ngc).u16(0).u16(0).u16(0);
    r.u8(0).u8(0).u8(0).u16(0).u16(0).u8(mag10).u16(major10).text("", 15).u16(major10).u8(255);
    EXPECT_EQ(r.b.size(), 47u);
    return r.b;
}
// dn.bin record: regular (opacity 1-6) or globule (10, byte diameters, name).
std::string DarkNebula(double raDeg, double decDeg, int opacity, int ldn, const char *globule = nullptr) {
    Bytes r;
    r.i32(Turns(raDeg)).i32(Turns(decDeg)).u8(opacity);
    if (globule) {
        r.u8(20).u8(10).text(globule, 14);
    } else {
        r.u16(3000).u8(255).u16(ldn).u16(0).u16(0).u16(0).text("", 5);
    }
    EXPECT_EQ(r.b.size(), 25u);
    return r.b;
}
// oc.bin record: one designation (row, number), OCL tenths, magnitude byte, diameter tenths '.
std::string OpenCluster(double raDeg, double decDeg, int ocl, int mag10, int diameter10) {
    Bytes r;
    r.u8(0).u8(0).u8(0).u8(0).u8(0).u16(0).u16(0).u16(0).u16(0).u16(0).u8(255);
    r.f32((float)(raDeg * kDeg)).f32((float)(decDeg * kDeg)).u16(ocl).u8(mag10).text("", 7);
    r.u16(diameter10).text("", 21);
    EXPECT_EQ(r.b.size(), 57u);
    return r.b;
}
std::string GlobularCluster(double raDeg, double decDeg, int ngc, int messier, int mag10) {
    Bytes r;
    r.u16(ngc).u16(0).u8(messier).u8(255).u16(0).u16(0).i32(Turns(raDeg)).i32(Turns(decDeg));
    r.u16(100).text("", 4).u8(mag10).text("", 18);
    EXPECT_EQ(r.b.size(), 43u);
    return r.b;
}

// pln.bin record: place, NGC, Minkowski (a-b), PK (longitude, sign, latitude tenths), magnitudes, diameter (tenths ").
std::string PlanetaryNebula(double raDeg, double decDeg, int ngc, int minkowskiA, int minkowskiB, int pkLon,
                            bool pkPlus, int pkLat10, int mag10, int diameter10) {
    Bytes r;
    r.u16(0).u16(0).i32(Turns(raDeg)).i32(Turns(decDeg)).u8(0).text("", 17);
    r.i32((pkLon & 0x1ff) | (pkPlus ? 0x200 : 0) | (pkLat10 << 10)).u16(ngc).u16(0).u8(0).u8(0);
    r.u16(0).u8(minkowskiA).u8(minkowskiB).i32(0).u16(0).u8(0).i32(0).u16(0).u16(0);
    r.u8(mag10).u8(255).u8(0).u16(diameter10).text("", 6).u8(' ').u16(0);
    EXPECT_EQ(r.b.size(), 73u);
    return r.b;
}
// gg.bin record: place, ACO, magnitudes third, first, second, diameter, member magnitude.
std::string GalaxyGroup(double raDeg, double decDeg, int aco, int third, int first, int second, int member) {
    Bytes r;
    r.i32(Turns(raDeg)).i32(Turns(decDeg)).u16(aco).u8(0).u8(255).u8(third).u8(first).u8(second);
    r.u8(0).u16(0).u16(50).u16(0).u8(member).u16(62).u16(31);
    EXPECT_EQ(r.b.size(), 27u);
    return r.b;
}

// Galaxy chart records: the mag7 form and the mag10 region form.
std::string Mag7Galaxy(int number, double raDeg, double decDeg, int mag10, int axis62) {
    Bytes r;
    r.i32(number).i32(Turns(raDeg)).i32(Turns(decDeg)).u8(mag10).u16(900).u16(axis62).u16(axis62 / 2);
    EXPECT_EQ(r.b.size(), 19u);
    return r.b;
}
std::string RegionGalaxy(int pgc, int ngc, int number, double raDeg, double decDeg, int mag10, int axis62) {
    Bytes r;
    r.i32(pgc).u16(ngc).u16(0).u8(0).u8(255).i32(number).i32(Turns(raDeg)).i32(Turns(decDeg)).u8(mag10);
    r.u16(900).u16(axis62).u16(axis62 == 65535 ? 65535 : axis62 / 2);
    EXPECT_EQ(r.b.size(), 29u);
    return r.b;
}

class DeepSky : public ::testing::Test {
protected:
    void SetUp() override {
        std::string d = dir.path() + "/";
        ASSERT_EQ(SetRefDirectories(d.c_str(), d.c_str(), d.c_str()), 1);
        ASSERT_EQ(SetMapDirectories(d.c_str(), d.c_str(), d.c_str()), 1);
        c.reset(new ChartContext);
        std::memset(c.get(), 0, sizeof *c);
        ASSERT_EQ(ClearStarReader(c.get()), 1);
        ASSERT_EQ(SetChartSite(c.get(), 75 * kDeg, 40 * kDeg, 0, 6.5, 0, 10, 50, 2, 0, -5), 1);
        ASSERT_EQ(SetChartTime(c.get(), 2451545.0), 1);
        ASSERT_EQ(SetStarSearchLimits(c.get(), 6.5, 1, 1, 100, 1, 0, 1, 1, 1), 1);
        ASSERT_EQ(BeginStarSearch(c.get(), 0, 0, 0, 0, 20 * kDeg, 800, 600, 0, 0, 0, 0, 0,
                                  kProjectionStereographic, 1, kStarDatabaseMag7, kFrameJ2000, 0, 0),
                  1);
        s.reset(new ChartLabelSettings);
        std::memset(s.get(), 0, sizeof *s);
    }
    void TearDown() override { CloseChartLayerFile(c.get()); }
    void Write(const std::string &name, const std::string &bytes) {
        ASSERT_TRUE(testutil::WriteFileBytes(dir.file(name), bytes));
    }
    // Labels on: kind k at position 0 of the family, with the magnitude suffix.
    void LabelWith(int family, int kind, bool suffix = false) {
        s->firstSwitch[family] = 1;
        s->order[family][0] = (uint8_t)kind;
        s->enable[family][0] = 1;
        s->magnitudeSuffix[family] = suffix ? 1 : 0;
    }
    struct Hit {
        int number;
        double magnitude;
        std::string label;
        int x, y, radius;
    };
    template <typename Next>
    std::vector<Hit> Run(Next next, int *last = nullptr) {
        std::vector<Hit> hits;
        DeepSkyPlotItem item{};
        int r = 0;
        for (int i = 0; i < 100; ++i) {
            r = next(c.get(), s.get(), &item);
            if (r <= 0) break;
            hits.push_back({r, item.magnitude, item.label, item.x, item.y, item.majorSize});
        }
        if (last) *last = r;
        return hits;
    }
    testutil::TempDir dir;
    std::unique_ptr<ChartContext> c;
    std::unique_ptr<ChartLabelSettings> s;
};

TEST_F(DeepSky, BrightNebulaeDefaultsLimitsAndTheNeverDrawnFlag) {
    Write("neb.bin", BrightNebula(1, 1, 0, 0, 1976, 160, 600) +       // 16.0: counts as 15.0
                         BrightNebula(2, 2, 0x80, 42, 1982, 40, 100) +  // never drawn
                         BrightNebula(3, -2, 0, 0, 2024, 255, 300) +    // no magnitude: 15.0
                         BrightNebula(180, 0, 0, 0, 7000, 40, 600));    // outside the window
    LabelWith(kFamilyBrightNebulae, 2, true);  // NGC, full form
    ASSERT_EQ(BeginBrightNebulaLayer(c.get(), 15.0), 1);
    std::vector<Hit> hits = Run(ReadNextBrightNebula);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].number, 1);
    EXPECT_DOUBLE_EQ(hits[0].magnitude, 15.0);
    EXPECT_EQ(hits[0].label, "NGC 1976 (150)");
    // radius: half of 60' at 800 px over 20 deg
    EXPECT_EQ(hits[0].radius, 20);  // half of 60 arcminutes at 40 px a degree
    EXPECT_EQ(hits[1].number, 3);
    EXPECT_EQ(hits[1].label, "NGC 2024 (150)");
    EXPECT_EQ(c->layerFile, nullptr);
    // a limit below 15: the nebulae at the default are gone
    ASSERT_EQ(BeginBrightNebulaLayer(c.get(), 14.9), 1);
    EXPECT_TRUE(Run(ReadNextBrightNebula).empty());
    // selected (the layer flag): the flagged nebula is still never returned
    c->layerFlag = 1;
    ASSERT_EQ(BeginBrightNebulaLayer(c.get(), 1.0), 1);
    hits = Run(ReadNextBrightNebula);
    std::vector<int> numbers;
    for (const Hit &h : hits) numbers.push_back(h.number);
    EXPECT_EQ(numbers, (std::vector<int>{1, 3}));
}

TEST_F(DeepSky, DarkNebulaeIgnoreLimitsAndGlobulesStartWhereTheyBegin) {
    // three regular records, then two globules, then a regular one again
    Write("dn.bin", DarkNebula(1, 1, 1, 1622) + DarkNebula(2, 0, 6, 1630) + DarkNebula(0, 0, 3, 5) +
                        DarkNebula(1, -1, 10, 0, "CB 1") + DarkNebula(-1, 2, 10, 0, "CB 2") +
                        DarkNebula(2, 2, 4, 1700));
    LabelWith(kFamilyDarkNebulae, 2);  // LDN
    s->firstSwitch[kFamilyDarkNebulae] = 0;  // the dark nebulae have no label switch
    c->layerMagnitudeLimit = -5;
    ASSERT_EQ(BeginDarkNebulaLayer(c.get(), 0), 1);
    std::vector<Hit> hits = Run(ReadNextDarkNebula);
    // RA 0, Dec 0 is skipped; the globules belong to the other pass
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[0].number, 1);
    EXPECT_EQ(hits[0].label, "LDN 1622");
    EXPECT_DOUBLE_EQ(hits[0].magnitude, 1);  // the opacity class
    EXPECT_DOUBLE_EQ(hits[1].magnitude, 6);
    EXPECT_EQ(hits[2].number, 6);
    // globules: from the first class-10 record, to the first that is not one
    s->leading[1] = 0x10;
    ASSERT_EQ(BeginDarkNebulaLayer(c.get(), 1), 1);
    int last = -2;
    hits = Run(ReadNextDarkNebula, &last);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].number, 4);
    EXPECT_EQ(hits[0].label, "CB 1");
    EXPECT_DOUBLE_EQ(hits[0].magnitude, 10);
    EXPECT_EQ(hits[1].label, "CB 2");
    EXPECT_EQ(last, 0);
    EXPECT_EQ(c->layerFile, nullptr);
}

TEST_F(DeepSky, OpenClustersCountFromOneAndLabelTheirOclNumbers) {
    Write("oc.bin", OpenCluster(1, 1, 1230, 50, 100) + OpenCluster(2, -1, 1235, 255, 50) +
                        OpenCluster(3, 0, 0, 150, 50));
    LabelWith(kFamilyOpenClusters, 56);  // OCL
    ASSERT_EQ(BeginOpenClusterLayer(c.get(), 14.0), 1);
    int last = -2;
    std::vector<Hit> hits = Run(ReadNextOpenCluster, &last);
    ASSERT_EQ(hits.size(), 2u);  // 15.0 is beyond the limit
    // the first cluster is 1, so a loop until 0 or less does not stop at it
    EXPECT_EQ(hits[0].number, 1);
    EXPECT_EQ(hits[0].label, "OCL 123");
    EXPECT_EQ(hits[1].number, 2);
    EXPECT_EQ(hits[1].label, "OCL 123.5");
    EXPECT_DOUBLE_EQ(hits[1].magnitude, 14.0);  // no magnitude
    EXPECT_EQ(last, 0);
    // the selected cluster is matched by its index from 0 and passes the limit
    c->selectedObjectType = 10;
    c->selectedObjectIndex = 2;
    ASSERT_EQ(BeginOpenClusterLayer(c.get(), 14.0), 1);
    hits = Run(ReadNextOpenCluster);
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[2].number, 3);
}

TEST_F(DeepSky, SelectedGlobularsStillNeedTheBareLimit) {
    Write("glob.bin", GlobularCluster(1, 1, 6205, 13, 58) + GlobularCluster(2, 2, 7078, 15, 90));
    LabelWith(kFamilyGlobularClusters, 1, true);  // Messier
    c->layerFlag = 1;  // every record selected
    ASSERT_EQ(BeginGlobularClusterLayer(c.get(), 8.0), 1);
    std::vector<Hit> hits = Run(ReadNextGlobularCluster);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].label, "M13 (58)");
    EXPECT_EQ(hits[0].number, 1);
}

TEST_F(DeepSky, PlanetaryNebulaeCapTheirMagnitudesAndKeepTheBareLimit) {
    Write("pln.bin", PlanetaryNebula(1, 1, 7293, 0, 0, 36, false, 573, 230, 9000) +  // 23.0 -> 20.0
                         PlanetaryNebula(2, 1, 0, 1, 92, 64, true, 30, 255, 100) +   // none: 16.0
                         PlanetaryNebula(0, 0, 6543, 0, 0, 0, false, 0, 90, 100));   // no place
    struct Case {
        int kind;
        const char *first, *second;
    } cases[] = {{2, "7293", ""}, {5, "", "M 1-92"}, {10, "PK 036-57.3", "PK 064+03.0"}};
    for (const Case &k : cases) {
        SCOPED_TRACE(k.kind);
        std::memset(s.get(), 0, sizeof *s);
        LabelWith(kFamilyPlanetaryNebulae, k.kind);
        ASSERT_EQ(BeginPlanetaryNebulaLayer(c.get(), 20.0), 1);
        std::vector<Hit> hits = Run(ReadNextPlanetaryNebula);
        ASSERT_EQ(hits.size(), 2u);
        EXPECT_DOUBLE_EQ(hits[0].magnitude, 20.0);
        EXPECT_DOUBLE_EQ(hits[1].magnitude, 16.0);
        EXPECT_EQ(hits[0].label, k.first);
        EXPECT_EQ(hits[1].label, k.second);
        EXPECT_EQ(hits[0].radius, (int)std::lround(450.0 / 3600 * 40));  // 900" across at 40 px a degree
    }
    // selected, they still need the bare limit
    c->layerFlag = 1;
    ASSERT_EQ(BeginPlanetaryNebulaLayer(c.get(), 18.0), 1);
    std::vector<Hit> hits = Run(ReadNextPlanetaryNebula);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].number, 2);
}

TEST_F(DeepSky, GalaxyGroupsTakeTheFirstMagnitudeGiven) {
    Write("gg.bin", std::string("\x03\xd9\x00\x03", 4) + GalaxyGroup(1, 1, 1656, 130, 120, 125, 110) +
                        GalaxyGroup(2, 1, 0, 130, 255, 125, 110) + GalaxyGroup(3, 1, 0, 130, 255, 255, 110) +
                        GalaxyGroup(4, 1, 0, 255, 255, 255, 110));
    LabelWith(kFamilyGalaxyGroups, 1, true);  // ACO
    ASSERT_EQ(BeginGalaxyGroupLayer(c.get(), 25.0), 1);
    std::vector<Hit> hits = Run(ReadNextGalaxyGroup);
    ASSERT_EQ(hits.size(), 4u);
    const double expected[] = {12.0, 12.5, 13.0, 20.0};  // first, second, third choice; none
    for (int k = 0; k < 4; ++k) EXPECT_DOUBLE_EQ(hits[k].magnitude, expected[k]) << k;
    EXPECT_EQ(hits[0].label, "ACO 1656 (120)");
    EXPECT_EQ(hits[0].radius, (int)std::lround(1.5 * 5.0 / 60 * 40));  // 1.5 x 5'
}

TEST_F(DeepSky, Mag7ChartsReadOnlyGalBinAndStopAtTheFirstTooFaint) {
    // brightest first: 8.0, 10.0, 13.0 (too faint: the file ends there), 9.0
    Write("gal.bin", Mag7Galaxy(5, 1, 1, 80, 620) + Mag7Galaxy(6, 2, 1, 100, 620) + Mag7Galaxy(7, 3, 1, 130, 620) +
                         Mag7Galaxy(8, 1, -1, 90, 620));
    ASSERT_EQ(BeginGalaxyLayer(c.get(), 11.0), 1);
    int last = -2;
    std::vector<Hit> hits = Run(ReadNextGalaxy, &last);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].number, 5);
    EXPECT_EQ(hits[1].number, 6);
    EXPECT_EQ(last, 0);
    // 10' across: a semi-axis of 80 % of 5' at 40 px a degree
    EXPECT_NEAR(hits[0].radius, 0.8 * 5.0 / 60 * 40, 1);
    // a second file is never opened for a mag7 chart
    EXPECT_EQ(OpenNextGalaxyFile(c.get()), 0);
    // a selected galaxy still being looked for keeps the file open past the faint one
    c->selectedObjectType = 6;
    c->selectedObjectIndex = 8;
    ASSERT_EQ(BeginGalaxyLayer(c.get(), 11.0), 1);
    hits = Run(ReadNextGalaxy);
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[2].number, 8);
    EXPECT_EQ(c->selectedObjectFound, 1);
}

TEST_F(DeepSky, RegionGalaxiesDefaultsAndLabels) {
    // a mag10 chart inside one region: zone 7 (0 to 15 deg), region 0 (0 to 15 h deg)
    ASSERT_EQ(BeginStarSearch(c.get(), 7.5 * kDeg, 7.5 * kDeg, 0, 0, 2 * kDeg, 800, 600, 0, 0, 0, 0, 0,
                              kProjectionStereographic, 1, kStarDatabaseMag10, kFrameJ2000, 0, 0),
              1);
    std::string folder = dir.path() + "/mag10/db07";
    ASSERT_EQ(EnsureDirectory((dir.path() + "/mag10").c_str()), 1);
    ASSERT_EQ(EnsureDirectory(folder.c_str()), 1);
    ASSERT_TRUE(testutil::WriteFileBytes(folder + "/gal00.bin",
                                         RegionGalaxy(73197, 224, 1, 7.5, 7.5, 44, 620) +
                                             RegionGalaxy(73198, 0, 2, 7.6, 7.4, 120, 620) +
                                             RegionGalaxy(0, 0, 3, 7.4, 7.6, 255, 65535)));
    struct Case {
        int kind;
        std::vector<std::string> labels;
    } cases[] = {{2, {"224", "", ""}}, {9, {"PGC 73197", "LEDA 73198", ""}}};
    for (const Case &k : cases) {
        std::memset(s.get(), 0, sizeof *s);
        LabelWith(kFamilyGalaxies, k.kind);
        ASSERT_EQ(BeginGalaxyLayer(c.get(), 25.0), 1);
        std::vector<Hit> hits = Run(ReadNextGalaxy);
        ASSERT_EQ(hits.size(), 3u);
        std::vector<std::string> labels;
        for (const Hit &h : hits) labels.push_back(h.label);
        EXPECT_EQ(labels, k.labels);
        EXPECT_DOUBLE_EQ(hits[2].magnitude, 20.0);  // none, with the visual filter off
        EXPECT_EQ(hits[2].radius, 0);               // no axes: no symbol size
    }
    // with the visual filter on, a galaxy without a magnitude counts as 99.9,
    // beyond any limit; galaxies without axes skip the visibility test
    ASSERT_TRUE(testutil::WriteFileBytes(folder + "/gal00.bin",
                                         RegionGalaxy(1, 0, 1, 7.5, 7.5, 44, 65535) +
                                             RegionGalaxy(2, 0, 2, 7.6, 7.4, 120, 65535) +
                                             RegionGalaxy(3, 0, 3, 7.4, 7.6, 255, 65535)));
    std::unique_ptr<OpticsBlock> optics(new OpticsBlock);
    std::memset(optics.get(), 0, sizeof *optics);
    c->filterOptics = optics.get();
    ASSERT_EQ(BeginGalaxyLayer(c.get(), 25.0), 1);
    std::vector<Hit> hits = Run(ReadNextGalaxy);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[1].number, 2);
    c->filterOptics = nullptr;
}

TEST_F(DeepSky, QuasarsAsStars) {
    Bytes q;
    q.i32(Turns(1)).i32(Turns(1)).i32(1).u8(129).u16(1226).u16(23).u8(' ').u8(255).text("3C 273", 18);
    q.i32(Turns(2)).i32(Turns(1)).i32(2).u8(162).u16(134).u16(329).u8(' ').u8(255).text("3C 48", 18);
    Write("qso.bin", q.b);
    LabelWith(kFamilyQuasars, 2);
    ASSERT_EQ(BeginQuasarLayer(c.get(), 14.0), 1);
    ChartStar star;
    char label[kDeepSkyLabelSize];
    double mag = 0;
    EXPECT_EQ(ReadNextQuasar(c.get(), s.get(), &star, label, &mag), 1);
    EXPECT_STREQ(label, "Q1226+0023 ");
    EXPECT_DOUBLE_EQ(mag, 12.9);
    EXPECT_EQ(ReadNextQuasar(c.get(), s.get(), &star, label, &mag), 0);  // 16.2 is beyond 14
}

TEST_F(DeepSky, ShortAndMissingFilesEndTheLayer) {
    DeepSkyPlotItem item{};
    EXPECT_EQ(BeginBrightNebulaLayer(c.get(), 15), 0);
    EXPECT_EQ(ReadNextBrightNebula(c.get(), s.get(), &item), 0);
    EXPECT_EQ(BeginOpenClusterLayer(c.get(), 15), 0);
    EXPECT_EQ(ReadNextOpenCluster(c.get(), s.get(), &item), -1);
    EXPECT_EQ(BeginDarkNebulaLayer(c.get(), 0), 0);
    EXPECT_EQ(BeginGlobularClusterLayer(c.get(), 15), 0);
    EXPECT_EQ(BeginPlanetaryNebulaLayer(c.get(), 15), 0);
    EXPECT_EQ(ReadNextPlanetaryNebula(c.get(), s.get(), &item), -1);
    EXPECT_EQ(BeginGalaxyGroupLayer(c.get(), 15), 0);
    EXPECT_EQ(ReadNextGalaxyGroup(c.get(), s.get(), &item), -1);
    // a record cut short after a whole one
    Write("neb.bin", BrightNebula(1, 1, 0, 0, 1976, 40, 600) + BrightNebula(2, 1, 0, 0, 1977, 40, 600).substr(0, 30));
    ASSERT_EQ(BeginBrightNebulaLayer(c.get(), 15), 1);
    EXPECT_EQ(ReadNextBrightNebula(c.get(), s.get(), &item), 1);
    EXPECT_EQ(ReadNextBrightNebula(c.get(), s.get(), &item), 0);
    EXPECT_EQ(c->layerFile, nullptr);
}

TEST(DeepSkyGeometry, WindowTestSurfaceBrightnessAndSuffix) {
    std::unique_ptr<ChartContext> c(new ChartContext);
    std::memset(c.get(), 0, sizeof *c);
    c->visibleLeft = 0;
    c->visibleRight = 99;
    c->visibleTop = 0;
    c->visibleBottom = 49;
    struct Case {
        int x, y, major, minor, inside;
    } cases[] = {
        {50, 25, 0, 0, 1},   {-5, 25, 5, 0, 1},  {-5, 25, 4, 0, 0},  {104, 25, 5, 2, 1},
        {50, -3, 2, 3, 1},   {50, 53, 3, 0, 0},  {50, 52, 3, 0, 1},  {-3, -3, 3, 3, 0},  // a corner overlap is not seen
    };
    for (const Case &k : cases) {
        DeepSkyPlotItem item{};
        item.x = k.x;
        item.y = k.y;
        item.majorSize = k.major;
        item.minorSize = k.minor;
        EXPECT_EQ(IsPlotItemInWindow(c.get(), &item), k.inside) << k.x << "," << k.y;
    }
    EXPECT_NEAR(ComputeSurfaceBrightness(10.0, 2, 1), 10.0 + 2.5 * std::log10(2827 * 2), 1e-12);
    EXPECT_DOUBLE_EQ(ComputeSurfaceBrightness(10.0, 0, 1), 10.0);  // no log of 0
    char label[kDeepSkyLabelSize] = "M42";
    AppendMagnitudeSuffix(label, sizeof label, 7.25);
    EXPECT_STREQ(label, "M42 (73)");
    std::strcpy(label, "X");
    AppendMagnitudeSuffix(label, sizeof label, -0.25);
    EXPECT_STREQ(label, "X (-3)");
}

#ifdef GLEANER_HAVE_ERFA
// The generated catalogues (native build, where the generators run).
TEST_F(DeepSky, GeneratedCataloguesShowTheObjectsOfKnownFields) {
    std::string command = "cd \"" + testutil::SourceDir() + "/tools\" && python3 gen_deepsky.py --ref \"" +
                          dir.path() + "\" --cat \"" + dir.path() + "\" > /dev/null && python3 gen_chart_deepsky.py --cat \"" +
                          dir.path() + "\" --map0 \"" + dir.path() + "/map\" --map1 \"" + dir.path() + "/map\" > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    // the chart's galaxy file beside, not over, the galaxy catalogue of the same name
    std::string map = dir.path() + "/map/";
    ASSERT_EQ(SetMapDirectories(map.c_str(), map.c_str(), map.c_str()), 1);
    struct Case {
        const char *name;
        double ra, dec;
        int (*begin)(ChartContext *, double);
        int (*next)(ChartContext *, const ChartLabelSettings *, DeepSkyPlotItem *);
        int family;
        const char *expected;  // Messier label
    } cases[] = {
        {"M42 in Orion", 83.82, -5.39, BeginBrightNebulaLayer, ReadNextBrightNebula,
         kFamilyBrightNebulae, "M42"},
        {"M13 in Hercules", 250.42, 36.46, BeginGlobularClusterLayer, ReadNextGlobularCluster,
         kFamilyGlobularClusters, "M13"},
        {"M31 in Andromeda", 10.68, 41.27, BeginGalaxyLayer, ReadNextGalaxy, kFamilyGalaxies, "M31"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        ASSERT_EQ(BeginStarSearch(c.get(), k.ra * kDeg, k.dec * kDeg, 0, 0, 5 * kDeg, 800, 600, 0, 0, 0,
                                  0, 0, kProjectionStereographic, 1, kStarDatabaseMag7, kFrameJ2000, 0, 0),
                  1);
        std::memset(s.get(), 0, sizeof *s);
        LabelWith(k.family, 1);
        ASSERT_EQ(k.begin(c.get(), 12.0), 1);
        DeepSkyPlotItem item{};
        bool found = false;
        for (int i = 0; i < 1000; ++i) {
            int r = k.next(c.get(), s.get(), &item);
            if (r <= 0) break;
            EXPECT_TRUE(IsPlotItemInWindow(c.get(), &item));
            if (std::string(item.label) == k.expected) {
                found = true;
                // at the centre of the window (to the catalogue's place)
                EXPECT_NEAR(item.x, 399, 6);
                EXPECT_NEAR(item.y, 299, 6);
            }
        }
        EXPECT_TRUE(found);
    }
    // The galaxy labels of the other catalogues, from the catalogue record:
    // M31 and its companions by their UGC and Arp designations; the demo
    // catalogue holds no MCG numbers, so none is labelled (a stored zero is
    // no "MCG -7-0-0").
    ASSERT_EQ(BeginStarSearch(c.get(), 10.68 * kDeg, 41.27 * kDeg, 0, 0, 5 * kDeg, 800, 600, 0, 0, 0, 0, 0,
                              kProjectionStereographic, 1, kStarDatabaseMag7, kFrameJ2000, 0, 0),
              1);
    struct Kind {
        int kind;
        const char *expected;
    } kinds[] = {{7, "UGC 454"}, {4, "Arp 168"}, {6, ""}};
    for (const Kind &k : kinds) {
        std::memset(s.get(), 0, sizeof *s);
        LabelWith(kFamilyGalaxies, k.kind);
        ASSERT_EQ(BeginGalaxyLayer(c.get(), 12.0), 1);
        DeepSkyPlotItem item{};
        std::vector<std::string> labels;
        for (int i = 0; i < 1000 && ReadNextGalaxy(c.get(), s.get(), &item) > 0; ++i) labels.push_back(item.label);
        ASSERT_FALSE(labels.empty());
        if (*k.expected)
            EXPECT_NE(std::find(labels.begin(), labels.end(), std::string(k.expected)), labels.end())
                << k.expected << " among " << testing::PrintToString(labels);
        else
            EXPECT_EQ(labels, std::vector<std::string>(labels.size(), "")) << testing::PrintToString(labels);
    }
}
#endif

}  // namespace
