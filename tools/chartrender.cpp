// A rendering tool for looking at charts (not part of the program): runs the
// chart layers on a chart window of the demo data and draws what they yield
// into a 24-bit .bmp: the Milky Way, the grid with its labels' anchors, the
// constellation boundaries and figures, the visible nebula outlines, the
// stars, the constellation label points and the reference marks. Texts are
// not drawn; label points are marked with a small cross.
//
// usage: chartrender DATA_FOLDER OUT.bmp RA_DEG DEC_DEG FIELD_DEG [FRAME [KIND [JD]]]
//   DATA_FOLDER holds ref/ and map/ (the demo's data folder); FRAME is a
//   chart frame 1-6 (default 1), KIND a projection kind (0 chooses). The map
//   slot 1 (galaxy files) is DATA_FOLDER/../disc/map when it exists.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "astro/nutation.h"
#include "charts/chartcontext.h"
#include "charts/chartgrid.h"
#include "charts/deepskyitem.h"
#include "charts/deepskylayers.h"
#include "charts/charttime.h"
#include "charts/outlinelayers.h"
#include "charts/starreader.h"
#include "core/datapaths.h"
#include "core/mathutil.h"

namespace {

const int kWidth = 900;
const int kHeight = 700;
const double kDeg = kPi / 180;

struct Colour {
    uint8_t r, g, b;
};
const Colour kBackground = {8, 10, 28};
const Colour kMilkyWay = {60, 70, 110};
const Colour kGrid = {40, 80, 60};
const Colour kGridMajor = {60, 130, 90};
const Colour kBoundary = {120, 60, 60};
const Colour kFigure = {80, 120, 200};
const Colour kNebula = {200, 80, 160};
const Colour kStar = {255, 255, 240};
const Colour kLabel = {240, 200, 60};
const Colour kMark = {90, 220, 220};
const Colour kDeepSky = {230, 120, 60};

struct Canvas {
    std::vector<uint8_t> rgb = std::vector<uint8_t>(kWidth * kHeight * 3);
    Canvas() {
        for (int i = 0; i < kWidth * kHeight; ++i) Set(i % kWidth, i / kWidth, kBackground);
    }
    void Set(int x, int y, Colour c) {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return;
        uint8_t *p = &rgb[3 * (y * kWidth + x)];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
    void Line(int x0, int y0, int x1, int y1, Colour c) {
        // Bresenham; very long lines (off-window projections) are clipped by Set
        if (std::abs(x1 - x0) > 20000 || std::abs(y1 - y0) > 20000) return;
        int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
        int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            Set(x0, y0, c);
            if (x0 == x1 && y0 == y1) break;
            int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    void Disc(int x, int y, int r, Colour c) {
        for (int j = -r; j <= r; ++j)
            for (int i = -r; i <= r; ++i)
                if (i * i + j * j <= r * r) Set(x + i, y + j, c);
    }
    void Circle(int x, int y, int r, Colour c) {
        if (r < 2) r = 2;
        const int steps = 48;
        for (int k = 0; k < steps; ++k) {
            double a0 = 2 * kPi * k / steps, a1 = 2 * kPi * (k + 1) / steps;
            Line(x + (int)(r * std::cos(a0)), y + (int)(r * std::sin(a0)), x + (int)(r * std::cos(a1)),
                 y + (int)(r * std::sin(a1)), c);
        }
    }
    void Cross(int x, int y, int r, Colour c) {
        Line(x - r, y, x + r, y, c);
        Line(x, y - r, x, y + r, c);
    }
    bool WriteBmp(const char *path) const {
        FILE *f = std::fopen(path, "wb");
        if (!f) return false;
        int stride = (kWidth * 3 + 3) & ~3;
        uint32_t size = 54 + stride * kHeight;
        uint8_t head[54] = {'B', 'M'};
        auto put32 = [&](int at, uint32_t v) {
            for (int k = 0; k < 4; ++k) head[at + k] = (uint8_t)(v >> (8 * k));
        };
        put32(2, size);
        put32(10, 54);
        put32(14, 40);
        put32(18, kWidth);
        put32(22, kHeight);
        head[26] = 1;
        head[28] = 24;
        put32(34, stride * kHeight);
        std::fwrite(head, 1, sizeof head, f);
        std::vector<uint8_t> row(stride);
        for (int y = kHeight - 1; y >= 0; --y) {
            for (int x = 0; x < kWidth; ++x) {
                const uint8_t *p = &rgb[3 * (y * kWidth + x)];
                row[3 * x] = p[2];
                row[3 * x + 1] = p[1];
                row[3 * x + 2] = p[0];
            }
            std::fwrite(row.data(), 1, row.size(), f);
        }
        return std::fclose(f) == 0;
    }
};

// Pen codes into polylines.
struct Pen {
    bool down = false;
    int x = 0, y = 0;
    void Apply(Canvas &canvas, int code, int nx, int ny, Colour c) {
        if (code == kPenDraw && down) canvas.Line(x, y, nx, ny, c);
        if (code == kPenMove || code == kPenDraw || code == kPenIntersection) {
            down = true;
            x = nx;
            y = ny;
        } else if (code == kPenNotShown) {
            down = false;
        }
    }
};

}  // namespace

int main(int argc, char **argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: chartrender DATA_FOLDER OUT.bmp RA_DEG DEC_DEG FIELD_DEG [FRAME [KIND [JD]]]\n");
        return 2;
    }
    std::string data = argv[1];
    std::string ref = data + "/ref/", map = data + "/map/";
    SetRefDirectories(ref.c_str(), ref.c_str(), ref.c_str());
    std::string disc = data + "/../disc/map/", discRef = data + "/../disc/ref/";
    FILE *probe = std::fopen((disc + "gal.bin").c_str(), "rb");
    if (probe) std::fclose(probe);
    SetMapDirectories(map.c_str(), probe ? disc.c_str() : map.c_str(), map.c_str());
    SetRefDirectories(ref.c_str(), probe ? discRef.c_str() : ref.c_str(), ref.c_str());
    LoadNutationTable((data + "/ss/").c_str());
    double ra = std::atof(argv[3]) * kDeg, dec = std::atof(argv[4]) * kDeg;
    double field = std::atof(argv[5]) * kDeg;
    int frame = argc > 6 ? std::atoi(argv[6]) : kFrameJ2000;
    int kind = argc > 7 ? std::atoi(argv[7]) : 0;
    double jd = argc > 8 ? std::atof(argv[8]) : 2460300.5;

    std::unique_ptr<ChartContext> c(new ChartContext);
    std::memset(c.get(), 0, sizeof *c);
    ClearStarReader(c.get());
    SetChartSite(c.get(), 0.0 * kDeg, 51.5 * kDeg, 50, 6.5, 0, 10, 50, 2, 0, 0);
    SetChartTime(c.get(), jd);
    SetStarSearchLimits(c.get(), 6.5, 1, 1, 100, 1, 0, 0, 1, 1);  // north up, east left
    if (BeginStarSearch(c.get(), ra, dec, 0, 0, field, kWidth, kHeight, 0, 0, 0, 0, 0, kind, 1,
                        kStarDatabaseMag7, frame, 0, 1) != 1) {
        std::fprintf(stderr, "chartrender: the chart cannot be set up\n");
        return 1;
    }
    Canvas canvas;
    std::unique_ptr<ChartGrid> g(new ChartGrid);
    InitChartGrid(c.get(), g.get(), 0, 1, 8);
    int x, y, x2, y2, counts[8] = {0};

    if (BeginMilkyWay(g.get())) {
        Pen pen;
        int r;
        while ((r = NextMilkyWayPoint(c.get(), g.get(), &x, &y)) > 0) pen.Apply(canvas, r, x, y, kMilkyWay), ++counts[0];
    }
    int gridFrame = frame == kFrameApparentHorizon || frame == kFrameHorizon ? kGridApparentHorizon : kGridJ2000;
    if (BeginGridLines(c.get(), g.get(), gridFrame, kGridLevelMedium, 0, 0)) {
        Pen pen;
        int r, major = 0;
        while ((r = NextGridLinePoint(c.get(), g.get(), &x, &y, &major)) > 0) {
            pen.Apply(canvas, r, x, y, major ? kGridMajor : kGrid);
            ++counts[1];
        }
        char label[kGridLabelSize];
        double angle;
        BeginGridLines(c.get(), g.get(), gridFrame, kGridLevelMedium, 0, 0);
        while (NextGridLabel(c.get(), g.get(), &x, &y, label, &angle, &x2, &y2) > 0) canvas.Cross(x, y, 3, kGridMajor);
    }
    if (BeginGridLines(c.get(), g.get(), kGridEcliptic, kGridLevelLine, 0, 0)) {
        Pen pen;
        int r;
        while ((r = NextGridLinePoint(c.get(), g.get(), &x, &y, nullptr)) > 0) pen.Apply(canvas, r, x, y, kLabel);
    }
    if (BeginConstellationBoundaries(c.get(), g.get())) {
        Pen pen;
        int r;
        while ((r = NextBoundaryPoint(c.get(), g.get(), &x, &y)) > 0) pen.Apply(canvas, r, x, y, kBoundary), ++counts[2];
    }
    if (BeginConstellationFigures(c.get(), g.get())) {
        int r;
        while ((r = NextFigureSegment(c.get(), g.get(), 4, &x, &y, &x2, &y2)) > 0)
            if (r == 1) canvas.Line(x, y, x2, y2, kFigure), ++counts[3];
    }
    if (BeginVisibleNebulae(c.get(), 12.0, g.get())) {
        Pen pen;
        int r, size;
        char label[kVisibleNebulaLabelSize];
        while ((r = NextVisibleNebulaPoint(c.get(), nullptr, g.get(), &x, &y, &size, label)) > 0) {
            if (r == kOutlineLabelPen) continue;
            pen.Apply(canvas, r == kPenIntersection ? kPenDraw : r, x, y, kNebula);
            ++counts[4];
        }
    }
    // the deep-sky layers: each item as a circle of its larger semi-axis
    {
        struct Layer {
            int (*begin)(ChartContext *, double);
            int (*next)(ChartContext *, const ChartLabelSettings *, DeepSkyPlotItem *);
        } layers[] = {{BeginGalaxyLayer, ReadNextGalaxy},
                      {BeginBrightNebulaLayer, ReadNextBrightNebula},
                      {BeginPlanetaryNebulaLayer, ReadNextPlanetaryNebula},
                      {BeginOpenClusterLayer, ReadNextOpenCluster},
                      {BeginGlobularClusterLayer, ReadNextGlobularCluster},
                      {BeginGalaxyGroupLayer, ReadNextGalaxyGroup}};
        DeepSkyPlotItem item{};
        for (const Layer &layer : layers) {
            if (!layer.begin(c.get(), 11.0)) continue;
            while (layer.next(c.get(), nullptr, &item) > 0) {
                canvas.Circle(item.x, item.y, item.majorSize > item.minorSize ? item.majorSize : item.minorSize,
                              kDeepSky);
                ++counts[4];
            }
        }
    }
    ChartStar star;
    int r;
    while ((r = ReadNextStar(c.get(), &star)) > 0) {
        canvas.Disc(star.x, star.y, star.radius > 0 ? star.radius : 0, kStar);
        ++counts[5];
    }
    EndStarSearch(c.get());
    if (BeginConstellationLabels(c.get())) {
        char name[kConstellationNameFieldSize];
        while (NextConstellationLabel(c.get(), &x, &y, name) > 0) {
            canvas.Cross(x, y, 5, kLabel);
            std::printf("label %-20s %4d %4d\n", name, x, y);
            ++counts[6];
        }
    }
    BeginGridLines(c.get(), g.get(), gridFrame, kGridLevelCoarse, 0, 0);
    char label[kGridLabelSize];
    while ((r = NextReferenceMark(c.get(), g.get(), &x, &y, label)) > 0) {
        if (r == kPenNotProjectable) continue;
        canvas.Cross(x, y, 7, kMark);
        ++counts[7];
    }
    std::printf("milky way %d, grid %d, boundary %d, figure %d, nebula %d, stars %d, labels %d, marks %d\n",
                counts[0], counts[1], counts[2], counts[3], counts[4], counts[5], counts[6], counts[7]);
    return canvas.WriteBmp(argv[2]) ? 0 : 1;
}
