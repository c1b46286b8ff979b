// Coordinate grids: grid steps, the window's extents in every frame, grid
// walks that stay near their pixel tolerance and end, single parallels and
// meridian-free grids, labels, the compass and the reference marks placed
// where ERFA puts the poles, the zenith and the galactic centre.
#include "charts/chartgrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "astro/nutation.h"
#include "charts/chartcontext.h"
#include "charts/charttime.h"
#include "charts/starreader.h"
#include "core/mathutil.h"
#include "testutil/testutil.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#endif

namespace {

const double kDeg = kPi / 180;
const double kArcmin = kDeg / 60;
const double kArcsec = kArcmin / 60;
const double kJd = 2460300.5 + 3.0 / 24;  // 2023 Dec 20, 03:00 UT

class Grid : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
#ifdef GLEANER_HAVE_ERFA
        nutation = new testutil::TempDir;
        std::string command = "python3 \"" + testutil::SourceDir() + "/tools/gen_nutcon.py\" --out \"" +
                              nutation->path() + "\" > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        ASSERT_EQ(LoadNutationTable((nutation->path() + "/").c_str()), 1);
#endif
    }
    static void TearDownTestSuite() {
        FreeNutationTable();
        delete nutation;
        nutation = nullptr;
    }
    void SetUp() override {
        c.reset(new ChartContext);
        std::memset(c.get(), 0, sizeof *c);
        ASSERT_EQ(ClearStarReader(c.get()), 1);
        // 40 N, 75 W (longitude positive west), 100 m, zone -5
        ASSERT_EQ(SetChartSite(c.get(), 75 * kDeg, 40 * kDeg, 100, 6.5, 0, 10, 50, 2, 0, -5), 1);
        ASSERT_EQ(SetChartTime(c.get(), kJd), 1);
        ASSERT_EQ(SetStarSearchLimits(c.get(), 6.5, 1, 1, 100, 1, 0, 1, 1, 1), 1);
        g.reset(new ChartGrid);
    }
    int Look(int frame, int kind, double ra, double dec, double field, int w = 800, int h = 600) {
        return BeginStarSearch(c.get(), ra, dec, 0, 0, field, w, h, 0, 0, 0, 0, 0, kind, 1,
                               kStarDatabaseMag7, frame, 0, 0);
    }
    bool Inside(int x, int y) const {
        return x >= c->visibleLeft && x <= c->visibleRight && y >= c->visibleTop && y <= c->visibleBottom;
    }
    static testutil::TempDir *nutation;
    std::unique_ptr<ChartContext> c;
    std::unique_ptr<ChartGrid> g;
};
testutil::TempDir *Grid::nutation = nullptr;

TEST(GridStep, TableOfSpansLevelsAndHours) {
    struct Case {
        double span;
        int level, hours;
        double step;
    } cases[] = {
        {40 * kDeg, 2, 0, 10 * kDeg},         // v = 40: base 10
        {40 * kDeg, 2, 1, 15 * kDeg},         // U = 15 deg, v = 2.67: one hour
        {40 * kDeg, 0, 0, 10 * kDeg / 6},
        {40 * kDeg, 0, 1, 15 * kDeg / 6},
        {40 * kDeg, 1, 0, 5 * kDeg},
        {10 * kDeg, 2, 0, 2 * kDeg},          // v = 10 exactly: still base 2
        {2 * kDeg, 2, 0, 30 * kArcmin},       // exactly 2 deg counts in arcminutes: v = 120
        {0.9 * kDeg * 15, 2, 1, 0.1 * 15 * kDeg},  // hours, v = 0.9
        {1.5 * kDeg, 2, 0, 30 * kArcmin},     // v = 90 arcmin: base 30
        {100 * kDeg, 2, 0, 30 * kDeg},
        {100 * 15 * kDeg, 2, 1, 6 * 15 * kDeg},
        {80 * 15 * kDeg, 2, 1, 3 * 15 * kDeg},
        {90 * kArcsec, 2, 0, 30 * kArcsec},
        {1.5 * kArcsec, 2, 0, 0.5 * kArcsec},
        {0, 2, 0, kPi / 6},                   // nothing to span
        {-1, 2, 0, kPi / 6},
        {40 * kDeg, 3, 0, kPi / 2},           // a single line
    };
    for (const Case &k : cases) {
        EXPECT_NEAR(ChooseGridStep(k.span, k.level, k.hours), k.step, 1e-12)
            << k.span / kDeg << " deg, level " << k.level << ", hours " << k.hours;
    }
    // 2.5 degrees: v = 2.5 lies in [2, 5): a whole unit
    EXPECT_NEAR(ChooseGridStep(2.5 * kDeg, 2, 0), 1 * kDeg, 1e-12);
}

TEST_F(Grid, PoleInTheWindowOpensTheEquatorialExtentsToAFullCircle) {
    ASSERT_EQ(Look(kFrameJ2000, kProjectionStereographic, 0, 80 * kDeg, 40 * kDeg), 1);
    ASSERT_EQ(InitChartGrid(c.get(), g.get(), 1, 1, 10), 1);
    for (int k : {kIndexJ2000, kIndexApparent}) {
        EXPECT_DOUBLE_EQ(g->extents[k].longitudeMin, 0) << k;
        EXPECT_DOUBLE_EQ(g->extents[k].longitudeMax, 2 * kPi) << k;
        EXPECT_DOUBLE_EQ(g->extents[k].latitudeMax, kPi / 2) << k;
        EXPECT_NEAR(g->extents[k].latitudeMin, 60 * kDeg, 3 * kDeg) << k;  // the window's far edge
    }
    // a small chart away from the poles: a narrow J2000 box around the centre
    ASSERT_EQ(Look(kFrameJ2000, kProjectionStereographic, 83 * kDeg, 5 * kDeg, 10 * kDeg), 1);
    ASSERT_EQ(InitChartGrid(c.get(), g.get(), 1, 1, 10), 1);
    const FrameExtent &e = g->extents[kIndexJ2000];
    EXPECT_NEAR(e.longitudeMin, 78 * kDeg, 0.3 * kDeg);
    EXPECT_NEAR(e.longitudeMax, 88 * kDeg, 0.3 * kDeg);
    EXPECT_NEAR(e.latitudeMin, 5 * kDeg - 3.75 * kDeg, 0.3 * kDeg);  // 600/800 of 10 deg tall
    EXPECT_NEAR(e.latitudeMax, 5 * kDeg + 3.75 * kDeg, 0.3 * kDeg);
    // a chart straddling 0 h: the range runs through 0 instead of around the sky
    ASSERT_EQ(Look(kFrameJ2000, kProjectionStereographic, 1 * kDeg, 0, 10 * kDeg), 1);
    ASSERT_EQ(InitChartGrid(c.get(), g.get(), 1, 1, 10), 1);
    EXPECT_NEAR(g->extents[kIndexJ2000].longitudeMin, -4 * kDeg, 0.3 * kDeg);
    EXPECT_NEAR(g->extents[kIndexJ2000].longitudeMax, 6 * kDeg, 0.3 * kDeg);
}

// Walks one grid to its end; every drawn segment stays within a few pixel
// tolerances (breaks are moves), and the walk ends within a bound.
struct WalkFigures {
    int moves = 0, draws = 0, hidden = 0;
    double longestDraw = 0;
    bool ended = false;
};
WalkFigures Walk(ChartContext *c, ChartGrid *g) {
    WalkFigures f;
    int lastX = 0, lastY = 0;
    bool have = false;
    for (int i = 0; i < 200000; ++i) {
        int x = 0, y = 0;
        int r = NextGridLinePoint(c, g, &x, &y, nullptr);
        if (r == kPenEnd) {
            f.ended = true;
            break;
        }
        if (r == kPenNotProjectable) {
            ++f.hidden;
            have = false;
            continue;
        }
        if (r == kPenDraw && have) {
            f.longestDraw = std::fmax(f.longestDraw, std::hypot(x - lastX, y - lastY));
            ++f.draws;
        }
        if (r == kPenMove) ++f.moves;
        lastX = x;
        lastY = y;
        have = true;
    }
    return f;
}

TEST_F(Grid, WalksStayNearTheToleranceAndEnd) {
    struct Case {
        const char *name;
        int frame, kind;
        double ra, dec, field;
        int gridFrame, level;
    } cases[] = {
        {"small equatorial", kFrameJ2000, kProjectionStereographic, 83 * kDeg, 5 * kDeg, 2 * kDeg,
         kGridJ2000, kGridLevelCoarse},
        {"fine galactic on equatorial", kFrameJ2000, kProjectionStereographic, 266 * kDeg,
         -29 * kDeg, 30 * kDeg, kGridGalactic, kGridLevelFine},
        {"all-sky", kFrameJ2000, kProjectionHammerAitoff, 0, 0, 360 * kDeg, kGridJ2000,
         kGridLevelCoarse},
        {"polar", kFrameJ2000, kProjectionStereographic, 0, 90 * kDeg, 60 * kDeg, kGridJ2000,
         kGridLevelMedium},
        {"horizon grid on a horizon chart", kFrameApparentHorizon, kProjectionStereographic,
         90 * kDeg, 60 * kDeg, 100 * kDeg, kGridApparentHorizon, kGridLevelCoarse},
        {"ecliptic line", kFrameJ2000, kProjectionRectangular, 90 * kDeg, 20 * kDeg, 60 * kDeg,
         kGridEcliptic, kGridLevelLine},
    };
    const int tolerance = 10;
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        double ra = k.ra, dec = k.dec;
        if (k.frame == kFrameApparentHorizon) {
            // a centre 60 degrees up in the east (chart azimuth 3 pi / 2 from the south)
            ra = 3 * kPi / 2;
            dec = k.dec;
            c->frameMode = kFrameApparentHorizon;
            ASSERT_EQ(PrepareChartPrecession(c.get()), 1);
            ASSERT_EQ(ConvertFromChartFrame(c.get(), &ra, &dec, 0, 0), 1);
        }
        ASSERT_EQ(Look(k.frame, k.kind, ra, dec, k.field), 1);
        ASSERT_EQ(InitChartGrid(c.get(), g.get(), 1, 1, tolerance), 1);
        ASSERT_EQ(BeginGridLines(c.get(), g.get(), k.gridFrame, k.level, 0, 0), 1);
        WalkFigures f = Walk(c.get(), g.get());
        EXPECT_TRUE(f.ended);
        EXPECT_GT(f.draws, 10);
        EXPECT_GE(f.moves, 1);
        EXPECT_LE(f.longestDraw, 4.0 * tolerance);
    }
}

TEST_F(Grid, CoarseStepsGiveOneParallelAndNoMeridians) {
    ASSERT_EQ(Look(kFrameJ2000, kProjectionStereographic, 83 * kDeg, 5 * kDeg, 20 * kDeg), 1);
    ASSERT_EQ(InitChartGrid(c.get(), g.get(), 1, 1, 10), 1);
    // longitude step 2 pi: no meridians; latitude step 90 deg: one parallel
    ASSERT_EQ(BeginGridLines(c.get(), g.get(), kGridJ2000, kGridLevelCoarse, 2 * kPi, kPi / 2), 1);
    std::set<double> latitudes;
    int points = 0;
    for (int i = 0; i < 100000; ++i) {
        int x, y;
        int r = NextGridLinePoint(c.get(), g.get(), &x, &y, nullptr);
        if (r == kPenEnd) break;
        EXPECT_EQ(g->meridianPhase, 0);
        latitudes.insert(g->latitude);
        if (r == kPenMove || r == kPenDraw) ++points;
    }
    EXPECT_EQ(latitudes.size(), 1u);
    EXPECT_DOUBLE_EQ(*latitudes.begin(), 0.0);  // the equator, inside this window
    EXPECT_GT(points, 5);
    // the equator runs through the middle of the window
    ASSERT_EQ(BeginGridLines(c.get(), g.get(), kGridJ2000, kGridLevelCoarse, 2 * kPi, kPi / 2), 1);
    int x, y, inside = 0;
    while (int r = NextGridLinePoint(c.get(), g.get(), &x, &y, nullptr)) {
        if (r != kPenNotProjectable && Inside(x, y)) ++inside;
    }
    EXPECT_GT(inside, 5);
}

TEST_F(Grid, RefusesUnknownFramesAndLevels) {
    ASSERT_EQ(Look(kFrameJ2000, kProjectionStereographic, 83 * kDeg, 5 * kDeg, 20 * kDeg), 1);
    ASSERT_EQ(InitChartGrid(c.get(), g.get(), 1, 1, 10), 1);
    EXPECT_EQ(BeginGridLines(c.get(), g.get(), 0, 2, 0, 0), 0);
    EXPECT_EQ(BeginGridLines(c.get(), g.get(), 8, 2, 0, 0), 0);
    EXPECT_EQ(BeginGridLines(c.get(), g.get(), kGridJ2000, 5, 0, 0), 0);
    // no tolerance: a walk that could never advance is refused
    ASSERT_EQ(InitChartGrid(c.get(), g.get(), 1, 1, 0), 1);
    EXPECT_EQ(BeginGridLines(c.get(), g.get(), kGridJ2000, 2, 0, 0), 0);
    double lon = 0, lat = 0;
    EXPECT_EQ(ConvertGridPointToChartFrame(c.get(), kGridApparentHorizonLine, &lon, &lat), 0);
    EXPECT_EQ(ConvertFrameToChartFrame(c.get(), &lon, &lat, 6), 0);
}

TEST_F(Grid, LabelsSitInsideOnFullStepLinesAndEnd) {
    ASSERT_EQ(Look(kFrameJ2000, kProjectionStereographic, 83 * kDeg, 5 * kDeg, 20 * kDeg), 1);
    ASSERT_EQ(InitChartGrid(c.get(), g.get(), 1, 1, 10), 1);
    ASSERT_EQ(BeginGridLines(c.get(), g.get(), kGridJ2000, kGridLevelFine, 0, 0), 1);
    double lonStep = g->longitudeStep, latStep = g->latitudeStep;
    std::set<std::string> latitudeLabels, longitudeLabels;
    int x, y, x2, y2;
    double angle;
    char label[kGridLabelSize];
    int r, calls = 0;
    while ((r = NextGridLabel(c.get(), g.get(), &x, &y, label, &angle, &x2, &y2)) != 0 && ++calls < 1000) {
        EXPECT_TRUE(x > c->visibleLeft && x < c->visibleRight && y > c->visibleTop && y < c->visibleBottom);
        EXPECT_GE(angle, 0);
        EXPECT_LT(angle, 2 * kPi);
        (r == 1 ? latitudeLabels : longitudeLabels).insert(label);
    }
    EXPECT_EQ(r, 0);
    // 20 deg wide, 15 tall (-2.5 to 12.5 deg): the fine grid's steps are a
    // sixth of 10 deg and of 30 min; the labels sit on the full steps only
    EXPECT_EQ(latitudeLabels, (std::set<std::string>{"+0\xB0", "+10\xB0"}));
    EXPECT_EQ(longitudeLabels, (std::set<std::string>{"05h00m", "05h30m", "06h00m"}));
    // the steps come back as they were
    EXPECT_DOUBLE_EQ(g->longitudeStep, lonStep);
    EXPECT_DOUBLE_EQ(g->latitudeStep, latStep);
}

TEST_F(Grid, LabelsOfLinesThatMissTheWindowEnd) {
    // a fine galactic grid over a 0.5-degree window: most of its lines have
    // no point inside, and the label walk still comes to its end
    ASSERT_EQ(Look(kFrameJ2000, kProjectionGnomonic, 266 * kDeg, -29 * kDeg, 0.5 * kDeg), 1);
    ASSERT_EQ(InitChartGrid(c.get(), g.get(), 1, 1, 10), 1);
    for (int level : {kGridLevelFine, kGridLevelMedium, kGridLevelCoarse}) {
        ASSERT_EQ(BeginGridLines(c.get(), g.get(), kGridGalactic, level, 0, 0), 1);
        int x, y, x2, y2, calls = 0, r;
        double angle;
        char label[kGridLabelSize];
        while ((r = NextGridLabel(c.get(), g.get(), &x, &y, label, &angle, &x2, &y2)) != 0 && calls < 1000) {
            ++calls;
            EXPECT_TRUE(x > c->visibleLeft && x < c->visibleRight && y > c->visibleTop && y < c->visibleBottom);
        }
        EXPECT_EQ(r, 0) << level;
        EXPECT_LT(calls, 1000) << level;
    }
}

TEST(GridLabelText, ByStep) {
    char b[kGridLabelSize];
    EXPECT_STREQ(FormatRaGridLabel(b, 5.6 * 15 * kDeg, 1 * 15 * kDeg), "06h");   // rounded
    EXPECT_STREQ(FormatRaGridLabel(b, -1 * 15 * kDeg, 1 * 15 * kDeg), "23h");    // wrapped
    EXPECT_STREQ(FormatRaGridLabel(b, (5 + 30 / 60.0) * 15 * kDeg, 10 * 15 * kArcmin), "05h30m");
    EXPECT_STREQ(FormatDegreeGridLabel(b, -30 * kDeg, 10 * kDeg), "-30\xB0");
    EXPECT_STREQ(FormatDegreeGridLabel(b, 0, 10 * kDeg), "+0\xB0");
    EXPECT_STREQ(FormatDegreeGridLabel(b, (12 + 30 / 60.0) * kDeg, 30 * kArcmin), "+12\xB0" "30'");
    // below an arcminute only the minutes and seconds, after the degree sign
    EXPECT_STREQ(FormatDegreeGridLabel(b, (12 + 30 / 60.0 + 15 / 3600.0) * kDeg, 10 * kArcsec),
                 "30'15\"");
}

TEST_F(Grid, CompassPointsOnTheHorizon) {
    // a horizon chart looking at the zenith with the whole sky, for a site
    // at sea level (no horizon dip: the compass points lie inside the cap)
    ASSERT_EQ(SetChartSite(c.get(), 75 * kDeg, 40 * kDeg, 0, 6.5, 0, 10, 50, 2, 0, -5), 1);
    ASSERT_EQ(SetChartTime(c.get(), kJd), 1);
    const double dip = c->site.horizonDip;  // a copy: the packed record is not aligned
    ASSERT_DOUBLE_EQ(dip, 0);
    c->frameMode = kFrameHorizon;
    double ra = 0, dec = kPi / 2;
    ASSERT_EQ(PrepareChartPrecession(c.get()), 1);
    ASSERT_EQ(ConvertFromChartFrame(c.get(), &ra, &dec, 0, 0), 1);
    ASSERT_EQ(Look(kFrameHorizon, kProjectionStereographic, ra, dec, 190 * kDeg), 1);
    ASSERT_EQ(InitChartGrid(c.get(), g.get(), 1, 1, 10), 1);
    ASSERT_EQ(BeginGridLines(c.get(), g.get(), kGridHorizon, kGridLevelCoarse, 0, 0), 1);
    const char *expected[] = {"S", "SE", "E", "NE", "N", "NW", "W", "SW"};
    int cx = (c->visibleLeft + c->visibleRight) / 2, cy = (c->visibleTop + c->visibleBottom) / 2;
    int px[8], py[8];
    double radius = -1;
    for (int i = 0; i < 8; ++i) {
        char label[kGridLabelSize];
        ASSERT_EQ(NextReferenceMark(c.get(), g.get(), &px[i], &py[i], label), kPenCompassPoint) << i;
        EXPECT_STREQ(label, expected[i]);
        EXPECT_EQ(c->layerRecordCounter, kMarkCompassPoint);
        // every compass point lies on the horizon circle
        if (radius < 0) radius = std::hypot(px[i] - cx, py[i] - cy);
        EXPECT_NEAR(std::hypot(px[i] - cx, py[i] - cy), radius, 2.0) << label;
    }
    EXPECT_GT(radius, 200);
    // each point turned back into the sky lies at its own azimuth (chart
    // azimuth: 2 pi minus the azimuth from the south; "E" at pi / 2)
    for (int i = 0; i < 8; ++i) {
        double ra, dec, alt, az;
        // three pixels in from the rim, which rounding may put just outside the cap
        double r = std::hypot(px[i] - cx, py[i] - cy);
        int qx = cx + (int)std::lround((px[i] - cx) * (r - 3) / r);
        int qy = cy + (int)std::lround((py[i] - cy) * (r - 3) / r);
        ASSERT_EQ(ScreenToSkyAndHorizon(c.get(), qx, qy, &ra, &dec, &alt, &az), 1) << i;
        EXPECT_NEAR(std::remainder(az - i * kPi / 4, 2 * kPi), 0, 0.5 * kDeg) << expected[i];
        EXPECT_NEAR(alt, 0, 2 * kDeg) << expected[i];  // apparent: refraction and the 3 px
    }
    // opposite points face each other and neighbours are 45 degrees apart,
    // all turning the same way round
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(px[i] + px[(i + 4) % 8], 2 * cx, 3) << i;
        EXPECT_NEAR(py[i] + py[(i + 4) % 8], 2 * cy, 3) << i;
        double a0 = std::atan2(py[i] - cy, px[i] - cx);
        double a1 = std::atan2(py[(i + 1) % 8] - cy, px[(i + 1) % 8] - cx);
        double turn = std::remainder(a1 - a0, 2 * kPi);
        EXPECT_NEAR(std::fabs(turn), kPi / 4, 0.02) << i;
        double first = std::remainder(std::atan2(py[1] - cy, px[1] - cx) - std::atan2(py[0] - cy, px[0] - cx), 2 * kPi);
        EXPECT_GT(turn * first, 0) << i;
    }
    // then the marks: the zenith at the centre
    int x, y;
    char label[kGridLabelSize];
    ASSERT_EQ(NextReferenceMark(c.get(), g.get(), &x, &y, label), kPenReferenceMark);
    EXPECT_STREQ(label, "Zenith");
    EXPECT_EQ(c->layerRecordCounter, kMarkZenith);
    EXPECT_NEAR(x, cx, 2);
    EXPECT_NEAR(y, cy, 2);
    int results = 0;
    while (NextReferenceMark(c.get(), g.get(), &x, &y, label) != kPenEnd && ++results < 20) {
    }
    EXPECT_EQ(results, 5);  // NCP, SCP, NGP, SGP, Galactic Center
    EXPECT_EQ(g->penState, 1);
}

#ifdef GLEANER_HAVE_ERFA
// The pixel of a J2000 place on an equatorial J2000 chart.
TEST_F(Grid, ReferenceMarksWhereErfaPutsThem) {
    double tt1 = 2400000.5, tt2 = kJd - 2400000.5 + 69.2 / 86400;
    // the celestial intermediate pole at the date, in GCRS: the apparent pole
    // the place whose apparent place of date (CIRS, whose pole is the
    // celestial intermediate pole) is the pole: aberration taken off
    double ncpRa, ncpDec, scpRa, scpDec, eo;
    eraAtic13(0, kPi / 2, tt1, tt2, &ncpRa, &ncpDec, &eo);
    eraAtic13(0, -kPi / 2, tt1, tt2, &scpRa, &scpDec, &eo);
    double ngpRa, ngpDec, sgpRa, sgpDec;
    eraG2icrs(0, kPi / 2, &ngpRa, &ngpDec);
    eraG2icrs(0, -kPi / 2, &sgpRa, &sgpDec);
    double gcRa = (17 + 45 / 60.0 + 40.04 / 3600) * 15 * kDeg;
    double gcDec = -(29 + 0 / 60.0 + 28.1 / 3600) * kDeg;

    struct Case {
        const char *label;
        int number;
        double ra, dec;  // centre of the chart and the expected place
    } cases[] = {
        {"NCP", kMarkNorthCelestialPole, ncpRa, ncpDec},
        {"SCP", kMarkSouthCelestialPole, scpRa, scpDec},
        {"NGP", kMarkNorthGalacticPole, ngpRa, ngpDec},
        {"SGP", kMarkSouthGalacticPole, sgpRa, sgpDec},
        {"Galactic Center", kMarkGalacticCentre, gcRa, gcDec},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.label);
        // a 2-degree chart centred half a degree beside the expected place
        double centreRa = k.ra, centreDec = k.dec > 0 ? k.dec - 0.5 * kDeg : k.dec + 0.5 * kDeg;
        ASSERT_EQ(Look(kFrameJ2000, kProjectionStereographic, centreRa, centreDec, 2 * kDeg), 1);
        ASSERT_EQ(InitChartGrid(c.get(), g.get(), 1, 1, 10), 1);
        ASSERT_EQ(BeginGridLines(c.get(), g.get(), kGridJ2000, kGridLevelCoarse, 0, 0), 1);
        int ex = 0, ey = 0;
        double a = k.ra, d = k.dec;
        ASSERT_EQ(ConvertPointToChartFrame(c.get(), &a, &d, 1), 1);
        ASSERT_NE(ProjectToChart(&c->projection, a, d, &ex, &ey), 0);
        int found = 0;
        for (int i = 0; i < 20; ++i) {
            int x, y;
            char label[kGridLabelSize];
            int r = NextReferenceMark(c.get(), g.get(), &x, &y, label);
            if (r == kPenEnd) break;
            if (c->layerRecordCounter != k.number) continue;
            ++found;
            EXPECT_STREQ(label, k.label);
            ASSERT_EQ(r, kPenReferenceMark);
            // 2 deg over 800 px: 9" a pixel; the pole of date is placed to a few arcseconds
            EXPECT_NEAR(x, ex, 1.5);
            EXPECT_NEAR(y, ey, 1.5);
        }
        EXPECT_EQ(found, 1);
    }
}

TEST_F(Grid, GalacticGridPointsLieWhereErfaPutsThem) {
    // galactic longitude and latitude lines on an equatorial chart: every
    // drawn point, turned back into the sky, has the coordinate of its line
    ASSERT_EQ(Look(kFrameJ2000, kProjectionStereographic, 266 * kDeg, -29 * kDeg, 30 * kDeg), 1);
    ASSERT_EQ(InitChartGrid(c.get(), g.get(), 1, 1, 10), 1);
    ASSERT_EQ(BeginGridLines(c.get(), g.get(), kGridGalactic, kGridLevelCoarse, 10 * kDeg, 10 * kDeg), 1);
    int checked = 0;
    for (int i = 0; i < 100000; ++i) {
        int x, y;
        double lineLon = g->longitude, lineLat = g->latitude;
        bool meridian = g->meridianPhase == 1;
        int r = NextGridLinePoint(c.get(), g.get(), &x, &y, nullptr);
        if (r == kPenEnd) break;
        if (r == kPenNotProjectable || !Inside(x, y)) continue;
        double ra, dec;
        ASSERT_EQ(ScreenToSky(c.get(), x, y, &ra, &dec), 1);
        double l, b;
        eraIcrs2g(ra, dec, &l, &b);
        // one pixel is 135"; the cursor is clipped at line ends, so test the line's coordinate
        if (meridian) {
            EXPECT_LT(std::fabs(eraAnpm(l - lineLon)) * std::cos(b), 3 * 135 * kArcsec);
        } else {
            EXPECT_LT(std::fabs(b - lineLat), 3 * 135 * kArcsec);
        }
        ++checked;
    }
    EXPECT_GT(checked, 100);
}
#endif

TEST_F(Grid, SkyOutlineShapes) {
    int x = -1, y = -1;
    EXPECT_EQ(GetChartSkyOutline(c.get(), &x, &y), 0);  // before the search is prepared
    ASSERT_EQ(Look(kFrameJ2000, kProjectionStereographic, 0, 0, 30 * kDeg), 1);
    EXPECT_EQ(GetChartSkyOutline(c.get(), &x, &y), kSkyOutlineCircle);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);
    ASSERT_EQ(Look(kFrameJ2000, kProjectionRectangular, 0, 0, 90 * kDeg), 1);
    EXPECT_EQ(GetChartSkyOutline(c.get(), &x, &y), kSkyOutlineRectangle);
    ASSERT_EQ(Look(kFrameJ2000, kProjectionHammerAitoff, 0, 0, 360 * kDeg), 1);
    EXPECT_EQ(GetChartSkyOutline(c.get(), &x, &y), kSkyOutlineEllipse);
    ASSERT_EQ(Look(kFrameJ2000, kProjectionGnomonic, 0, 0, 0.5 * kDeg), 1);
    EXPECT_EQ(GetChartSkyOutline(c.get(), &x, &y), 0);
    EXPECT_EQ(GetChartSkyOutline(nullptr, &x, &y), 0);
}

}  // namespace
