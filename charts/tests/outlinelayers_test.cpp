// Outline layers on small hand-made files: boundary interpolation (the short
// way through 0 h, jumps), figure segments and their end gaps, the Milky
// Way's line breaks, the local horizon and its azimuth convention, visible
// nebulae (default magnitude, labels, records that end where the outlines
// begin), and every reader against a missing, truncated or damaged file. On
// the native build the generated files of tools/gen_chart_outlines.py are
// walked whole: every figure segment comes back where its stars are.
#include "charts/outlinelayers.h"

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
#include "charts/starreader.h"
#include "core/datapaths.h"
#include "core/mathutil.h"
#include "core/userfolder.h"
#include "objects/conrects.h"
#include "sites/horizon.h"
#include "charts/tests/bytebuilder.h"
#include "testutil/testutil.h"

namespace {

const double kDeg = kPi / 180;
const double kTurnUnit = 2 * kPi / 2147483647.0;

using charttest::Bytes;
int32_t Turns(double radians) { return (int32_t)std::lround(radians / kTurnUnit); }

// The 89 headers and the items of an outline file; items[k] holds the
// bytes of constellation k's points or segments and its count.
std::string HeadedFile(const std::vector<std::pair<std::string, int>> &items,
                       const std::vector<double> &box) {
    Bytes head, body;
    for (int k = 0; k < kConstellationCount; ++k) {
        std::string bytes;
        int count = 0;
        if (k < (int)items.size()) {
            bytes = items[k].first;
            count = items[k].second;
        }
        head.i32(kConstellationCount * kOutlineHeaderSize + (int32_t)body.b.size());
        head.i32(Turns(box[0])).i32(Turns(box[1])).i32(Turns(box[2])).i32(Turns(box[3]));
        head.u16(count);
        body.b += bytes;
    }
    return head.b + body.b;
}

class Outline : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SetRefDirectories((dir.path() + "/").c_str(), (dir.path() + "/").c_str(),
                                    (dir.path() + "/").c_str()),
                  1);
        ASSERT_EQ(SetMapDirectories((dir.path() + "/").c_str(), (dir.path() + "/").c_str(),
                                    (dir.path() + "/").c_str()),
                  1);
        c.reset(new ChartContext);
        std::memset(c.get(), 0, sizeof *c);
        ASSERT_EQ(ClearStarReader(c.get()), 1);
        ASSERT_EQ(SetChartSite(c.get(), 75 * kDeg, 40 * kDeg, 0, 6.5, 0, 10, 50, 2, 0, -5), 1);
        ASSERT_EQ(SetChartTime(c.get(), 2451545.0), 1);
        ASSERT_EQ(SetStarSearchLimits(c.get(), 6.5, 1, 1, 100, 1, 0, 1, 1, 1), 1);
        g.reset(new ChartGrid);
        std::memset(g.get(), 0, sizeof *g);
    }
    void TearDown() override {
        CloseOutlineFile(g.get());
        FreeConstellationLabelLists(c.get());
        SetUserDataFolder("");
    }
    void Look(int frame, int kind, double ra, double dec, double field, int w = 800, int h = 600) {
        ASSERT_EQ(BeginStarSearch(c.get(), ra, dec, 0, 0, field, w, h, 0, 0, 0, 0, 0, kind, 1,
                                  kStarDatabaseMag7, frame, 0, 0),
                  1);
        ASSERT_EQ(InitChartGrid(c.get(), g.get(), 1, 1, 10), 1);
    }
    void Write(const std::string &name, const std::string &bytes) {
        ASSERT_TRUE(testutil::WriteFileBytes(dir.file(name), bytes));
    }
    // The pixel of a J2000 place as the outline layers place it (mean place).
    bool Pixel(double ra, double dec, int *x, int *y) {
        if (ConvertPointToChartFrame(c.get(), &ra, &dec, 0) != 1) return false;
        return ProjectToChart(&c->projection, ra, dec, x, y) != 0;
    }
    testutil::TempDir dir;
    std::unique_ptr<ChartContext> c;
    std::unique_ptr<ChartGrid> g;
};

TEST_F(Outline, BoundaryInterpolatesTheShortWayThroughZeroHoursAndJumps) {
    // constellation 0: 359 deg -> 1 deg (across 0 h) at dec 0, then a jump to
    // (1 deg, 5 deg) and a draw to (3 deg, 5 deg)
    Bytes pts;
    pts.i32(Turns(359 * kDeg)).i32(0).u8(1);
    pts.i32(Turns(1 * kDeg)).i32(0).u8(0);
    pts.i32(Turns(1 * kDeg)).i32(Turns(5 * kDeg)).u8(1);
    pts.i32(Turns(3 * kDeg)).i32(Turns(5 * kDeg)).u8(0);
    // the box's greatest RA below its least: it crosses 0 h
    Write("conbound.bin", HeadedFile({{pts.b, 4}}, {-1 * kDeg, 6 * kDeg, 358 * kDeg, 4 * kDeg}));
    Look(kFrameJ2000, kProjectionStereographic, 0, 0, 20 * kDeg);
    ASSERT_EQ(BeginConstellationBoundaries(c.get(), g.get()), 1);
    std::vector<int> codes, xs, ys;
    for (int i = 0; i < 100; ++i) {
        int x = 0, y = 0;
        int r = NextBoundaryPoint(c.get(), g.get(), &x, &y);
        codes.push_back(r);
        if (r == 0) break;
        xs.push_back(x);
        ys.push_back(y);
    }
    // start, ten steps, jump, ten steps, end
    std::vector<int> expected = {kPenMove};
    for (int k = 0; k < 10; ++k) expected.push_back(kPenDraw);
    expected.push_back(kPenMove);
    for (int k = 0; k < 10; ++k) expected.push_back(kPenDraw);
    expected.push_back(kPenEnd);
    ASSERT_EQ(codes, expected);
    // the ten steps cross the centre in even steps of 0.2 deg (8 px at 40 px a degree)
    int ex = 0, ey = 0;
    ASSERT_TRUE(Pixel(1 * kDeg, 0, &ex, &ey));
    EXPECT_NEAR(xs[10], ex, 1);
    EXPECT_NEAR(ys[10], ey, 1);
    for (int k = 1; k <= 10; ++k) EXPECT_NEAR(std::abs(xs[k] - xs[k - 1]), 8, 1.5) << k;
    // the jump lands on its own point, not on the interpolated path
    ASSERT_TRUE(Pixel(1 * kDeg, 5 * kDeg, &ex, &ey));
    EXPECT_NEAR(xs[11], ex, 1);
    EXPECT_NEAR(ys[11], ey, 1);
    EXPECT_EQ(g->outlineFile, nullptr);  // closed at the end
}

TEST_F(Outline, BoundaryBoxOutsideTheWindowIsPassedOver) {
    Bytes pts;
    pts.i32(Turns(180 * kDeg)).i32(0).u8(1);
    pts.i32(Turns(181 * kDeg)).i32(0).u8(0);
    Write("conbound.bin", HeadedFile({{pts.b, 2}}, {-1 * kDeg, 1 * kDeg, 179 * kDeg, 182 * kDeg}));
    Look(kFrameJ2000, kProjectionStereographic, 0, 0, 20 * kDeg);
    ASSERT_EQ(BeginConstellationBoundaries(c.get(), g.get()), 1);
    int x, y;
    EXPECT_EQ(NextBoundaryPoint(c.get(), g.get(), &x, &y), kPenEnd);
}

TEST_F(Outline, ReadersRefuseMissingTruncatedAndDamagedFiles) {
    Look(kFrameJ2000, kProjectionStereographic, 0, 0, 20 * kDeg);
    int x, y, x2, y2, size;
    char label[kVisibleNebulaLabelSize];
    // missing files
    EXPECT_EQ(BeginConstellationBoundaries(c.get(), g.get()), 0);
    EXPECT_EQ(NextBoundaryPoint(c.get(), g.get(), &x, &y), -1);
    EXPECT_EQ(BeginConstellationFigures(c.get(), g.get()), 0);
    EXPECT_EQ(NextFigureSegment(c.get(), g.get(), 0, &x, &y, &x2, &y2), -1);
    EXPECT_EQ(BeginMilkyWay(g.get()), 0);
    EXPECT_EQ(NextMilkyWayPoint(c.get(), g.get(), &x, &y), -1);
    EXPECT_EQ(BeginVisibleNebulae(c.get(), 10, g.get()), 0);
    EXPECT_EQ(NextVisibleNebulaPoint(c.get(), nullptr, g.get(), &x, &y, &size, label), -1);
    EXPECT_EQ(OpenConstellationNameLayer(g.get()), 0);
    EXPECT_EQ(BeginConstellationLabels(c.get()), 0);
    EXPECT_EQ(BeginHorizonOutline(c.get(), g.get()), 0);

    struct Case {
        const char *name;
        std::string bytes;
    };
    Bytes three;
    three.i32(Turns(359 * kDeg)).i32(0).u8(1).i32(Turns(1 * kDeg)).i32(0).u8(0);
    std::string bound = HeadedFile({{three.b, 3}}, {-1 * kDeg, 1 * kDeg, 358 * kDeg, 2 * kDeg});
    Bytes seg;
    seg.i32(0).i32(0).i32(Turns(2 * kDeg)).i32(0);
    std::string lines = HeadedFile({{seg.b, 2}}, {-1 * kDeg, 1 * kDeg, 358 * kDeg, 3 * kDeg});
    // a header whose offset points past the end of the file
    std::string farOffset = bound;
    farOffset[0] = (char)0xff;
    farOffset[1] = (char)0xff;
    farOffset[2] = (char)0xff;
    Case cases[] = {
        {"boundary count beyond the file", bound},
        {"boundary headers cut short", bound.substr(0, 40 * kOutlineHeaderSize)},
        {"boundary offset beyond the file", farOffset},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        Write("conbound.bin", k.bytes);
        ASSERT_EQ(BeginConstellationBoundaries(c.get(), g.get()), 1);
        int r = 0;
        for (int i = 0; i < 50; ++i) {
            r = NextBoundaryPoint(c.get(), g.get(), &x, &y);
            if (r <= 0) break;
        }
        EXPECT_EQ(r, -1);
        EXPECT_EQ(g->outlineFile, nullptr);
    }
    // a figure file whose header counts two segments but holds one
    Write("conlines.bin", lines);
    ASSERT_EQ(BeginConstellationFigures(c.get(), g.get()), 1);
    EXPECT_EQ(NextFigureSegment(c.get(), g.get(), 0, &x, &y, &x2, &y2), -1);
    EXPECT_EQ(g->outlineFile, nullptr);
    // a Milky Way outline that promises more points than the file has, and
    // one whose point is cut
    Bytes mw1, mw2;
    mw1.u16(5).u16(0).u16(0);
    mw2.u16(1).u16(0).u8(0);
    for (const std::string &bytes : {mw1.b, mw2.b}) {
        Write("milkyway.bin", bytes);
        ASSERT_EQ(BeginMilkyWay(g.get()), 1);
        EXPECT_EQ(NextMilkyWayPoint(c.get(), g.get(), &x, &y), -1);
        EXPECT_EQ(g->outlineFile, nullptr);
    }
    // an empty Milky Way file is simply the end
    Write("milkyway.bin", "");
    ASSERT_EQ(BeginMilkyWay(g.get()), 1);
    EXPECT_EQ(NextMilkyWayPoint(c.get(), g.get(), &x, &y), kPenEnd);
}

TEST_F(Outline, FigureSegmentsKeepTheirEndsApartByTheGap) {
    // a segment of 0.1 deg (4 px) and one of 3 deg (120 px) along the equator
    Bytes seg;
    seg.i32(0).i32(0).i32(Turns(0.1 * kDeg)).i32(0);
    seg.i32(Turns(359 * kDeg)).i32(Turns(1 * kDeg)).i32(Turns(2 * kDeg)).i32(Turns(1 * kDeg));
    Write("conlines.bin", HeadedFile({{seg.b, 2}}, {-1 * kDeg, 2 * kDeg, 358 * kDeg, 3 * kDeg}));
    Look(kFrameJ2000, kProjectionStereographic, 0, 0, 20 * kDeg);
    const int gap = 5;
    ASSERT_EQ(BeginConstellationFigures(c.get(), g.get()), 1);
    int x1, y1, x2, y2;
    EXPECT_EQ(NextFigureSegment(c.get(), g.get(), gap, &x1, &y1, &x2, &y2), kPenNotShown);  // 4 < 10
    ASSERT_EQ(NextFigureSegment(c.get(), g.get(), gap, &x1, &y1, &x2, &y2), 1);
    int ax, ay, bx, by;
    ASSERT_TRUE(Pixel(359 * kDeg, 1 * kDeg, &ax, &ay));
    ASSERT_TRUE(Pixel(2 * kDeg, 1 * kDeg, &bx, &by));
    double length = std::hypot(bx - ax, by - ay);
    EXPECT_NEAR(std::hypot(x2 - x1, y2 - y1), length - 2 * gap, 2);
    EXPECT_NEAR(std::hypot(x1 - ax, y1 - ay), gap, 1.5);
    EXPECT_NEAR(std::hypot(x2 - bx, y2 - by), gap, 1.5);
    EXPECT_EQ(NextFigureSegment(c.get(), g.get(), gap, &x1, &y1, &x2, &y2), kPenEnd);
    // without a gap the short one comes back whole
    ASSERT_EQ(BeginConstellationFigures(c.get(), g.get()), 1);
    ASSERT_EQ(NextFigureSegment(c.get(), g.get(), 0, &x1, &y1, &x2, &y2), 1);
    ASSERT_TRUE(Pixel(0.1 * kDeg, 0, &bx, &by));
    EXPECT_EQ(x2, bx);
    EXPECT_EQ(y2, by);
}

TEST_F(Outline, MilkyWayBreaksWhereItLeavesTheWindow) {
    // one outline along dec 0: inside, inside, outside 30 deg off, inside
    // again; a second one: outside just past the edge (11 deg), then inside
    // 2 deg away
    auto point = [](Bytes &b, double raDeg, double decDeg) {
        b.u16((int)std::lround(raDeg * kDeg / (2 * kPi) * 65535)).u16(
            (int)std::lround(decDeg * kDeg / kPi * 32767) & 0xffff);
    };
    Bytes mw;
    mw.u16(4);
    point(mw, 0, 0);
    point(mw, 1, 0);
    point(mw, 30, 0);
    point(mw, 2, 0);
    mw.u16(2);
    point(mw, 11, 0);
    point(mw, 9, 0);
    Write("milkyway.bin", mw.b);
    Look(kFrameJ2000, kProjectionStereographic, 0, 0, 20 * kDeg);
    ASSERT_EQ(BeginMilkyWay(g.get()), 1);
    std::vector<int> codes;
    int x, y;
    for (int i = 0; i < 10; ++i) {
        int r = NextMilkyWayPoint(c.get(), g.get(), &x, &y);
        codes.push_back(r);
        if (r <= 0) break;
    }
    // start, draw; the outside point restarts the line and the far way back
    // in starts another; the second outline starts outside and its way in,
    // short, is drawn
    EXPECT_EQ(codes, (std::vector<int>{kPenMove, kPenDraw, kPenMove, kPenMove, kPenMove, kPenDraw,
                                       kPenEnd}));
}

TEST_F(Outline, FlatHorizonRunsAlongTheDipWithNorthBasedAzimuths) {
    testutil::TempDir user;
    SetUserDataFolder(user.path().c_str());
    // a site 1000 m up: the horizon dips below 0
    ASSERT_EQ(SetChartSite(c.get(), 75 * kDeg, 40 * kDeg, 1000, 6.5, 0, 10, 50, 2, 0, -5), 1);
    ASSERT_EQ(SetChartTime(c.get(), 2451545.0), 1);
    const double dip = c->site.horizonDip;  // a copy: the packed record is not aligned
    ASSERT_LT(dip, -0.5 * kDeg);
    ASSERT_EQ(CreateFlatHorizon(&c->site), 1);
    // a horizon chart looking east, 10 deg up
    c->frameMode = kFrameApparentHorizon;
    double ra = kPi / 2, dec = 10 * kDeg;
    ASSERT_EQ(PrepareChartPrecession(c.get()), 1);
    ASSERT_EQ(ConvertFromChartFrame(c.get(), &ra, &dec, 0, 0), 1);
    Look(kFrameApparentHorizon, kProjectionStereographic, ra, dec, 100 * kDeg);
    ASSERT_EQ(BeginHorizonOutline(c.get(), g.get()), 1);
    int inside = 0, points = 0;
    for (int i = 0; i < 100; ++i) {
        double lon = -1;
        int x, y;
        int r = NextHorizonPoint(c.get(), g.get(), &lon, &x, &y);
        if (r == kPenEnd) break;
        ASSERT_NE(r, -1);
        ++points;
        // row i lies at azimuth 6 i deg from the north through the east:
        // chart azimuth 2 pi - (azimuth + pi)
        double expectedLon = ReduceModuloPositive(2 * kPi - (i * 6 * kDeg + kPi), 2 * kPi);
        EXPECT_NEAR(std::remainder(lon - expectedLon, 2 * kPi), 0, 1e-9) << i;
        if (r == kPenNotProjectable) continue;
        if (x < c->visibleLeft || x > c->visibleRight || y < c->visibleTop || y > c->visibleBottom)
            continue;
        ++inside;
        double ra2, dec2, alt, az;
        ASSERT_EQ(ScreenToSkyAndHorizon(c.get(), x, y, &ra2, &dec2, &alt, &az), 1);
        EXPECT_NEAR(alt, dip, 0.15 * kDeg) << i;  // an apparent altitude at the dip
        EXPECT_NEAR(std::remainder(az - expectedLon, 2 * kPi), 0, 0.15 * kDeg) << i;
    }
    EXPECT_EQ(points, kHorizonRowCount);
    EXPECT_GT(inside, 10);  // the eastern half of the horizon
    // the east point of the horizon is where ProjectHorizonPoint puts azimuth 90 deg
    int hx, hy;
    ASSERT_NE(ProjectHorizonPoint(c.get(), kPi / 2, 0, &hx, &hy), 0);
    double ra2, dec2, alt, az;
    ASSERT_EQ(ScreenToSkyAndHorizon(c.get(), hx, hy, &ra2, &dec2, &alt, &az), 1);
    EXPECT_NEAR(az, kPi / 2, 0.2 * kDeg);
}

// A visible-nebula file: records, then outlines of 4 points and their closing point.
struct Nebula {
    int number;
    float magnitude;
    double raDeg, decDeg;
    int ngc;
};
std::string VisibleNebulaFile(const std::vector<Nebula> &list) {
    Bytes head, body;
    const int points = 4;
    int32_t offset = (int32_t)list.size() * kVisibleNebulaRecordSize;
    for (const Nebula &n : list) {
        double r = 0.5 * kDeg;
        head.u16(points).u16(n.number).i32(offset + (int32_t)body.b.size());
        head.u8(255).u8(0).u16(n.ngc).pad(2).u16(0).pad(2).u8(0).u8(0).u8(0).u16(0).u16(0).pad(15);
        head.f32(n.magnitude).f32((float)(2 * r));
        head.f32((float)(n.raDeg * kDeg)).f32((float)(n.decDeg * kDeg));
        head.f32((float)(n.raDeg * kDeg - r)).f32((float)(n.raDeg * kDeg + r));
        head.f32((float)(n.decDeg * kDeg - r)).f32((float)(n.decDeg * kDeg + r));
        head.u8(3);
        double corners[5][2] = {{-r, -r}, {r, -r}, {r, r}, {-r, r}, {-r, -r}};
        for (auto &p : corners)
            body.f32((float)(n.raDeg * kDeg + p[0])).f32((float)(n.decDeg * kDeg + p[1]));
    }
    return head.b + body.b;
}

TEST_F(Outline, VisibleNebulaeLabelOnceAndStopWhereTheOutlinesBegin) {
    // three records (fewer than 120) with their outlines straight after them;
    // the first has no magnitude (99.9: counts as 15), the third repeats the
    // second's nebula
    Write("visneb.bin", VisibleNebulaFile({{41, 99.9f, 1, 0, 1976},
                                           {52, 8.0f, 359, 2, 2024},
                                           {52, 8.0f, 0.5, -3, 2024}}));
    Look(kFrameJ2000, kProjectionStereographic, 0, 0, 20 * kDeg);
    std::unique_ptr<ChartLabelSettings> s(new ChartLabelSettings);
    std::memset(s.get(), 0, sizeof *s);
    s->firstSwitch[kFamilyBrightNebulae] = 1;
    s->order[kFamilyBrightNebulae][0] = 2;  // NGC
    s->enable[kFamilyBrightNebulae][0] = 1;
    s->magnitudeSuffix[kFamilyBrightNebulae] = 1;

    struct Walk {
        std::vector<int> codes;
        std::vector<std::string> labels;
    };
    auto walk = [&](double limit) {
        Walk w;
        EXPECT_EQ(BeginVisibleNebulae(c.get(), limit, g.get()), 1);
        for (int i = 0; i < 100; ++i) {
            int x, y, size = -1;
            char label[kVisibleNebulaLabelSize];
            int r = NextVisibleNebulaPoint(c.get(), s.get(), g.get(), &x, &y, &size, label);
            w.codes.push_back(r);
            if (r <= 0) break;
            if (r == kOutlineLabelPen) {
                w.labels.push_back(label);
                EXPECT_EQ(size, (int)std::lround(1.25 * 1 * kDeg * c->pixelsPerRadian));
            }
        }
        return w;
    };
    std::vector<int> outline = {kPenMove, kPenDraw, kPenDraw, kPenDraw, kPenIntersection};
    Walk all = walk(15.0);
    std::vector<int> expected;
    for (int k = 0; k < 3; ++k) {
        expected.push_back(kOutlineLabelPen);
        expected.insert(expected.end(), outline.begin(), outline.end());
    }
    expected.push_back(kPenEnd);
    EXPECT_EQ(all.codes, expected);
    EXPECT_EQ(all.labels, (std::vector<std::string>{"NGC 1976 (150)", "NGC 2024 (80)", ""}));
    // below 15 the nebula without a magnitude is left out
    Walk bright = walk(14.9);
    EXPECT_EQ(bright.labels, (std::vector<std::string>{"NGC 2024 (80)", ""}));
}

TEST_F(Outline, BoxesKeepSouthernLatitudesOutsideTheHorizonFrames) {
    // an equatorial chart: a southern box stays southern
    Look(kFrameJ2000, kProjectionStereographic, 0, -30 * kDeg, 20 * kDeg);
    double lon[2] = {10 * kDeg, 20 * kDeg}, lat[2] = {-40 * kDeg, -30 * kDeg};
    ConvertBoxToChartFrame(c.get(), lon, lat);
    EXPECT_NEAR(lat[0], -40 * kDeg, 1e-9);
    EXPECT_NEAR(lat[1], -30 * kDeg, 1e-9);
    EXPECT_NEAR(lon[0], 10 * kDeg, 1e-9);
    EXPECT_NEAR(lon[1], 20 * kDeg, 1e-9);
    // a box across 0 h: its ends are swapped so that the range runs through 0
    double lon2[2] = {355 * kDeg, 5 * kDeg}, lat2[2] = {0, 10 * kDeg};
    ConvertBoxToChartFrame(c.get(), lon2, lat2);
    EXPECT_NEAR(lon2[0], 355 * kDeg, 1e-9);
    EXPECT_NEAR(lon2[1], 5 * kDeg, 1e-9);
    // a horizon chart: latitudes below the horizon count as 0, and a box all
    // below it gets -pi/2 everywhere
    c->frameMode = kFrameHorizon;
    double ra = 0, dec = 45 * kDeg;
    ASSERT_EQ(ConvertFromChartFrame(c.get(), &ra, &dec, 0, 0), 1);
    Look(kFrameHorizon, kProjectionStereographic, ra, dec, 60 * kDeg);
    // the celestial south pole region never rises at 40 N
    double lon3[2] = {0, 90 * kDeg}, lat3[2] = {-89 * kDeg, -80 * kDeg};
    ConvertBoxToChartFrame(c.get(), lon3, lat3);
    EXPECT_DOUBLE_EQ(lat3[0], -kPi / 2);
    EXPECT_DOUBLE_EQ(lat3[1], -kPi / 2);
    EXPECT_DOUBLE_EQ(lon3[0], -kPi / 2);
}

TEST(ScreenPointLists, GrowInTwelves) {
    ScreenPointList l = {nullptr, 0, 0};
    for (int i = 0; i < 30; ++i) ASSERT_EQ(AppendScreenPoint(&l, i, -i), 1);
    EXPECT_EQ(l.count, 30);
    EXPECT_EQ(l.capacity % 12, 0);
    EXPECT_GT(l.capacity, l.count);
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(l.points[2 * i], i);
        EXPECT_EQ(l.points[2 * i + 1], -i);
    }
    std::free(l.points);
    EXPECT_EQ(AppendScreenPoint(nullptr, 0, 0), 0);
}

#ifdef GLEANER_HAVE_ERFA
// The generated files (native build, where the generators run).
class GeneratedOutline : public Outline {
protected:
    static void SetUpTestSuite() {
        files = new testutil::TempDir;
        std::string tools = testutil::SourceDir() + "/tools";
        std::string out = files->path();
        std::string command =
            "cd \"" + tools + "\" && python3 -c \"import gen_star_catalogue as g; "
            "g.write_constellation_files('" + out + "/', [])\" > /dev/null && "
            "python3 gen_deepsky.py --ref \"" + out + "\" --cat \"" + out + "\" > /dev/null && "
            "python3 gen_chart_outlines.py --ref \"" + out + "\" --map \"" + out + "\" --neb \"" +
            out + "/neb.bin\" > /dev/null";
        generated = std::system(command.c_str()) == 0;
    }
    static void TearDownTestSuite() {
        FreeConstellationRects();
        delete files;
        files = nullptr;
    }
    void SetUp() override {
        Outline::SetUp();
        ASSERT_TRUE(generated);
        std::string d = files->path() + "/";
        ASSERT_EQ(SetRefDirectories(d.c_str(), d.c_str(), d.c_str()), 1);
        ASSERT_EQ(SetMapDirectories(d.c_str(), d.c_str(), d.c_str()), 1);
        FreeConstellationRects();
    }
    static testutil::TempDir *files;
    static bool generated;
};
testutil::TempDir *GeneratedOutline::files = nullptr;
bool GeneratedOutline::generated = false;

TEST_F(GeneratedOutline, EveryFigureSegmentComesBackWhereItsStarsAre) {
    // all-sky: every segment of the file is in the window
    Look(kFrameJ2000, kProjectionHammerAitoff, 0, 0, 360 * kDeg);
    std::string bytes = testutil::ReadFileBytes(files->file("conlines.bin"));
    ASSERT_GT(bytes.size(), (size_t)kConstellationCount * kOutlineHeaderSize);
    auto i32 = [&](size_t at) {
        uint32_t v = 0;
        for (int k = 3; k >= 0; --k) v = v << 8 | (uint8_t)bytes[at + k];
        return (int32_t)v;
    };
    int total = 0;
    for (int k = 0; k < kConstellationCount; ++k) total += (uint16_t)(i32(k * 22 + 20) & 0xffff);
    ASSERT_GT(total, 600);  // the western figures
    ASSERT_EQ(BeginConstellationFigures(c.get(), g.get()), 1);
    int returned = 0, skipped = 0, misplaced = 0;
    size_t at = kConstellationCount * kOutlineHeaderSize;
    for (int i = 0; i < total + 10; ++i) {
        int x1, y1, x2, y2;
        int r = NextFigureSegment(c.get(), g.get(), 0, &x1, &y1, &x2, &y2);
        if (r == kPenEnd) break;
        ASSERT_GE(r, 0);
        // segments come in file order
        int ax, ay, bx, by;
        bool shown = Pixel(i32(at) * kTurnUnit, i32(at + 4) * kTurnUnit, &ax, &ay) &&
                     Pixel(i32(at + 8) * kTurnUnit, i32(at + 12) * kTurnUnit, &bx, &by);
        at += kFigureSegmentSize;
        if (r == kPenNotShown) {
            ++skipped;
            continue;
        }
        ++returned;
        if (!shown || ax != x1 || ay != y1 || bx != x2 || by != y2) ++misplaced;
    }
    EXPECT_EQ(returned + skipped, total);
    EXPECT_EQ(misplaced, 0);
    // only segments split by the map's edge are skipped
    EXPECT_LT(skipped, 10);
}

TEST_F(GeneratedOutline, WideChartsLabelAtNamePositionsSmallChartsFillTheWindow) {
    // 60 deg on Orion: labels only where connames.bin puts names in the window
    Look(kFrameJ2000, kProjectionRectangular, 83.8 * kDeg, 0, 60 * kDeg);
    ASSERT_EQ(OpenConstellationNameLayer(g.get()), 1);
    std::vector<std::string> names;
    int x, y;
    char name[kConstellationNameFieldSize];
    while (NextConstellationNamePoint(c.get(), g.get(), &x, &y, name) == 1) names.push_back(name);
    ASSERT_FALSE(names.empty());
    ASSERT_EQ(BeginConstellationLabels(c.get()), 1);
    std::vector<std::string> labels;
    while (NextConstellationLabel(c.get(), &x, &y, name) == 1) labels.push_back(name);
    EXPECT_EQ(labels, names);
    EXPECT_NE(std::find(labels.begin(), labels.end(), std::string("Orion")), labels.end());

    // 10 deg inside Hydra, far from its name position: labelled at a sample
    // point at least a third of the height from the centre
    Look(kFrameJ2000, kProjectionStereographic, 150 * kDeg, -25 * kDeg, 10 * kDeg);
    ASSERT_EQ(BeginConstellationLabels(c.get()), 1);
    bool hydra = false;
    while (NextConstellationLabel(c.get(), &x, &y, name) == 1) {
        if (std::string(name) != "Hydra") continue;
        hydra = true;
        double fromCentre = std::hypot(x - 399.5, y - 299.5);
        EXPECT_GT(fromCentre, 600 / 3.0);
        double ra, dec;
        ASSERT_EQ(ScreenToSky(c.get(), x, y, &ra, &dec), 1);
        EXPECT_EQ(ConstellationAt(ra, dec, 0.0), 41);  // Hydra
    }
    EXPECT_TRUE(hydra);
    // the lists were freed at the end
    for (int k = 0; k < kConstellationCount; ++k) EXPECT_EQ(c->constellationLabelPoints[k].points, nullptr);
}
#endif

}  // namespace
