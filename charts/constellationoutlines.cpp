// Constellation boundaries and stick figures: the constellations whose J2000
// box overlaps the window are chosen from the 89 file headers; boundary edges
// are interpolated in ten steps of right ascension and declination (the
// short way round through 0 h), figure segments are returned whole with their
// ends pulled in by a gap. Every header offset and count is checked against
// the file's size before it is used.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "charts/chartcontext.h"
#include "charts/chartgeometry.h"
#include "charts/outlinelayers.h"
#include "core/datapaths.h"
#include "core/mathutil.h"

namespace {

const double kTwoPi = 2 * kPi;
const double kTurn = kTwoPi / 2147483647.0;
const int kInterpolationSteps = 10;
const double kBoundaryBreak = 20 * kPi / 180;           // a larger pixel jump breaks the line
const double kFigureSegmentLimit = 0.5235987755982988;  // 30 degrees
const char *const kBoundaryFile = "conbound.bin";
const char *const kFigureFile = "conlines.bin";

int32_t ReadInt32(const uint8_t *p) {
    return (int32_t)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24);
}
int16_t ReadInt16(const uint8_t *p) { return (int16_t)(p[0] | p[1] << 8); }

int HeaderCount(const ChartGrid *g) { return ReadInt16(g->outlineHeader + 20); }

long FileSize(FILE *f) {
    if (std::fseek(f, 0, SEEK_END) != 0) return -1;
    long n = std::ftell(f);
    std::rewind(f);
    return n;
}

int OpenOutline(ChartContext *chart, ChartGrid *grid, const char *name) {
    if (!chart || !grid) return 0;
    CloseOutlineFile(grid);
    FILE *f = OpenRefDirectoryFile(name, 0, "rb");
    if (!f) return 0;
    long size = FileSize(f);
    if (size < 0 || size > 0x7fffffffL) {
        std::fclose(f);
        return 0;
    }
    grid->outlineFile = f;
    grid->outlineFileSize = (int32_t)size;
    std::memset(grid->outlineHeader, 0, sizeof grid->outlineHeader);
    grid->pointIndex = 0;
    grid->outlineIndex = 0;
    grid->subStepCounter = kInterpolationSteps;
    grid->penState = 1;
    return 1;
}

int Fail(ChartGrid *g) {
    CloseOutlineFile(g);
    return -1;
}

// The next constellation whose box overlaps the window: 1 (the file at its
// first point), 0 past the last header (file closed), -1 a damaged file.
int ChooseConstellation(ChartGrid *g, int itemSize) {
    const FrameExtent &e = g->extents[kIndexJ2000];
    while (g->outlineIndex < kConstellationCount) {
        long at = (long)g->outlineIndex * kOutlineHeaderSize;
        if (at + kOutlineHeaderSize > g->outlineFileSize) return Fail(g);
        if (std::fseek(g->outlineFile, at, SEEK_SET) != 0 ||
            std::fread(g->outlineHeader, 1, kOutlineHeaderSize, g->outlineFile) != (size_t)kOutlineHeaderSize)
            return Fail(g);
        ++g->outlineIndex;
        const uint8_t *h = g->outlineHeader;
        int count = HeaderCount(g);
        if (count <= 0) continue;
        uint32_t offset = (uint32_t)ReadInt32(h);
        if ((int64_t)offset + (int64_t)count * itemSize > g->outlineFileSize) return Fail(g);
        double dec1 = ReadInt32(h + 4) * kTurn, dec2 = ReadInt32(h + 8) * kTurn;
        double ra1 = ReadInt32(h + 12) * kTurn, ra2 = ReadInt32(h + 16) * kTurn;
        if (ra2 < ra1) ra2 += kTwoPi;
        if (!RangesOverlap(ra1, ra2, dec1, dec2, e.longitudeMin, e.longitudeMax, e.latitudeMin,
                           e.latitudeMax))
            continue;
        if (std::fseek(g->outlineFile, (long)offset, SEEK_SET) != 0) return Fail(g);
        return 1;
    }
    CloseOutlineFile(g);
    return 0;
}

// Converts, projects and mirrors a J2000 place for an outline layer.
int ProjectOutlinePoint(ChartContext *c, ChartGrid *g, double ra, double dec, int *x, int *y) {
    if (ConvertPointToChartFrame(c, &ra, &dec, 0) != 1) return 0;
    int px = 0, py = 0;
    if (!ProjectToChart(g->projection, ra, dec, &px, &py)) return 0;
    MirrorGridPixel(c, g, &px, &py);
    *x = px;
    *y = py;
    return 1;
}

// The current boundary position as the start of a line: 1 shown, 3 not.
int BoundaryStart(ChartContext *c, ChartGrid *g, int *x, int *y) {
    int px = 0, py = 0;
    if (ProjectOutlinePoint(c, g, g->outlinePosition[0], g->outlinePosition[1], &px, &py)) {
        g->previousX = *x = px;
        g->previousY = *y = py;
        g->penState = 2;
        return kPenMove;
    }
    g->penState = 1;
    return kPenNotShown;
}

bool ReadBoundaryPoint(ChartGrid *g, double *ra, double *dec, int *jump) {
    uint8_t p[kBoundaryPointSize];
    if (std::fread(p, 1, sizeof p, g->outlineFile) != sizeof p) return false;
    *ra = ReadInt32(p) * kTurn;
    *dec = ReadInt32(p + 4) * kTurn;
    *jump = p[8];
    return true;
}

}  // namespace

int CloseOutlineFile(ChartGrid *grid) {
    if (grid && grid->outlineFile) {
        std::fclose(grid->outlineFile);
        grid->outlineFile = nullptr;
    }
    return 1;
}

int BeginConstellationBoundaries(ChartContext *chart, ChartGrid *grid) {
    return OpenOutline(chart, grid, kBoundaryFile);
}

int BeginConstellationFigures(ChartContext *chart, ChartGrid *grid) {
    return OpenOutline(chart, grid, kFigureFile);
}

int NextBoundaryPoint(ChartContext *chart, ChartGrid *grid, int *x, int *y) {
    if (!chart || !grid || !x || !y || !grid->outlineFile) return -1;
    if (grid->subStepCounter >= kInterpolationSteps) {
        ++grid->pointIndex;
        double ra = 0, dec = 0;
        int jump = 0;
        if (grid->pointIndex >= HeaderCount(grid)) {
            int chosen = ChooseConstellation(grid, kBoundaryPointSize);
            if (chosen <= 0) return chosen;
            grid->pointIndex = 0;
            if (!ReadBoundaryPoint(grid, &ra, &dec, &jump)) return Fail(grid);
            jump = 1;  // a new constellation starts a new line
        } else if (!ReadBoundaryPoint(grid, &ra, &dec, &jump)) {
            return Fail(grid);
        }
        if (jump) {
            grid->outlinePosition[0] = ra;
            grid->outlinePosition[1] = dec;
            grid->subStepCounter = kInterpolationSteps;
            return BoundaryStart(chart, grid, x, y);
        }
        grid->interpolationStep[0] =
            GetSignedAngleDifference(grid->outlinePosition[0], ra) / kInterpolationSteps;
        grid->interpolationStep[1] = (dec - grid->outlinePosition[1]) / kInterpolationSteps;
        grid->subStepCounter = 0;
    }
    grid->outlinePosition[0] =
        ReduceModuloPositive(grid->outlinePosition[0] + grid->interpolationStep[0], kTwoPi);
    grid->outlinePosition[1] += grid->interpolationStep[1];
    ++grid->subStepCounter;
    int px = 0, py = 0;
    if (!ProjectOutlinePoint(chart, grid, grid->outlinePosition[0], grid->outlinePosition[1], &px, &py)) {
        if (grid->penState != 3) grid->penState = 1;
        return kPenNotShown;
    }
    double limit = kBoundaryBreak * chart->pixelsPerRadian;
    bool far = std::abs(px - grid->previousX) > limit || std::abs(py - grid->previousY) > limit;
    *x = grid->previousX = px;
    *y = grid->previousY = py;
    if (grid->penState == 1 || far) {
        grid->penState = 2;
        return kPenMove;
    }
    return kPenDraw;
}

int NextFigureSegment(ChartContext *chart, ChartGrid *grid, int endGap, int *x1, int *y1, int *x2,
                      int *y2) {
    if (!chart || !grid || !x1 || !y1 || !x2 || !y2 || !grid->outlineFile) return -1;
    if (grid->pointIndex >= HeaderCount(grid)) {
        int chosen = ChooseConstellation(grid, kFigureSegmentSize);
        if (chosen <= 0) return chosen;
        grid->pointIndex = 0;
    }
    uint8_t s[kFigureSegmentSize];
    if (std::fread(s, 1, sizeof s, grid->outlineFile) != sizeof s) return Fail(grid);
    ++grid->pointIndex;
    int ax = 0, ay = 0, bx = 0, by = 0;
    if (!ProjectOutlinePoint(chart, grid, ReadInt32(s) * kTurn, ReadInt32(s + 4) * kTurn, &ax, &ay) ||
        !ProjectOutlinePoint(chart, grid, ReadInt32(s + 8) * kTurn, ReadInt32(s + 12) * kTurn, &bx, &by))
        return kPenNotShown;
    double dx = bx - ax, dy = by - ay;
    double limit = kFigureSegmentLimit * chart->pixelsPerRadian;
    if (std::fabs(dx) > limit || std::fabs(dy) > limit) return kPenNotShown;
    if (endGap > 0) {
        double length = std::trunc(std::sqrt(dx * dx + dy * dy));
        if (length < 2.0 * endGap) return kPenNotShown;
        double a = std::atan2(dy, dx);
        int ox = (int)std::trunc(endGap * std::cos(a)), oy = (int)std::trunc(endGap * std::sin(a));
        ax += ox;
        ay += oy;
        bx -= ox;
        by -= oy;
    }
    *x1 = ax;
    *y1 = ay;
    *x2 = bx;
    *y2 = by;
    return 1;
}

void ConvertBoxToChartFrame(ChartContext *chart, double longitude[2], double latitude[2]) {
    if (!chart || !longitude || !latitude) return;
    // Raising latitudes to 0 keeps a horizon chart's box above the horizon;
    // in the other frames it would cut every southern box, so it is kept
    // to the horizon frames.
    const bool horizon = chart->frameMode == kFrameHorizon || chart->frameMode == kFrameApparentHorizon;
    double lonMin = kTwoPi, lonMax = 0, latMin = kPi / 2, latMax = horizon ? 0 : -kPi / 2;
    bool anyAbove = false;
    for (int i = 0; i < 4; ++i) {
        double a = longitude[i & 1], b = latitude[i >> 1];
        ConvertPointToChartFrame(chart, &a, &b, 1);
        a = ReduceModuloPositive(a, kTwoPi);
        if (horizon) {
            if (b >= 0) anyAbove = true;
            if (b < 0) b = 0;
        }
        lonMin = std::fmin(lonMin, a);
        lonMax = std::fmax(lonMax, a);
        latMin = std::fmin(latMin, b);
        latMax = std::fmax(latMax, b);
    }
    if (horizon && !anyAbove) {
        lonMin = lonMax = latMin = latMax = -kPi / 2;
    } else if (lonMax - lonMin > kPi) {
        double t = lonMin;
        lonMin = lonMax;
        lonMax = t;
    }
    longitude[0] = lonMin;
    longitude[1] = lonMax;
    latitude[0] = latMin;
    latitude[1] = latMax;
}
