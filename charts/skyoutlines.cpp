// The Milky Way outlines and the site's local horizon as polylines.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "charts/chartcontext.h"
#include "charts/outlinelayers.h"
#include "core/datapaths.h"
#include "core/mathutil.h"
#include "sites/horizon.h"

namespace {

const double kTwoPi = 2 * kPi;
const double kMilkyWayRightAscensionUnit = kTwoPi / 65535;
const double kMilkyWayDeclinationUnit = kPi / 32767;
const double kMilkyWayBreak = 0.17453292519943295;  // 10 degrees
const double kMilkyWayWindowShare = 0.9;
const int kMilkyWayPointSize = 4;
const int kHorizonRecordSize = 24;
const char *const kMilkyWayFile = "milkyway.bin";

bool InWindow(const ChartContext *c, int x, int y) {
    return x >= c->visibleLeft && x <= c->visibleRight && y >= c->visibleTop && y <= c->visibleBottom;
}

int Fail(ChartGrid *g) {
    CloseOutlineFile(g);
    return -1;
}

double ReadDouble(const uint8_t *p) {
    double v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

}  // namespace

int BeginMilkyWay(ChartGrid *grid) {
    if (!grid) return 0;
    CloseOutlineFile(grid);
    FILE *f = OpenMapDirectoryFile(kMilkyWayFile, 0, "rb");
    if (!f) return 0;
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::rewind(f);
    if (size < 0 || size > 0x7fffffffL) {
        std::fclose(f);
        return 0;
    }
    grid->outlineFile = f;
    grid->outlineFileSize = (int32_t)size;
    grid->outlineIndex = 0;
    grid->pointIndex = 0;
    grid->subStepCounter = 0;  // points of the current outline
    grid->labelPhase = 0;      // the new-line flag
    return 1;
}

int NextMilkyWayPoint(ChartContext *chart, ChartGrid *grid, int *x, int *y) {
    if (!chart || !grid || !x || !y || !grid->outlineFile) return -1;
    while (grid->pointIndex >= grid->subStepCounter) {
        if (grid->outlineIndex >= kMilkyWayOutlineLimit) {
            CloseOutlineFile(grid);
            return kPenEnd;
        }
        uint8_t b[2];
        size_t got = std::fread(b, 1, sizeof b, grid->outlineFile);
        if (got == 0 && std::feof(grid->outlineFile)) {
            CloseOutlineFile(grid);
            return kPenEnd;
        }
        if (got != sizeof b) return Fail(grid);
        int count = b[0] | b[1] << 8;
        long at = std::ftell(grid->outlineFile);
        if (at < 0 || at + (long)count * kMilkyWayPointSize > grid->outlineFileSize) return Fail(grid);
        ++grid->outlineIndex;
        grid->subStepCounter = count;
        grid->pointIndex = 0;
        grid->labelPhase = 1;
    }
    uint8_t p[kMilkyWayPointSize];
    if (std::fread(p, 1, sizeof p, grid->outlineFile) != sizeof p) return Fail(grid);
    ++grid->pointIndex;
    double ra = (p[0] | p[1] << 8) * kMilkyWayRightAscensionUnit;
    double dec = (int16_t)(p[2] | p[3] << 8) * kMilkyWayDeclinationUnit;
    int px = 0, py = 0;
    if (ConvertPointToChartFrame(chart, &ra, &dec, 0) != 1 ||
        !ProjectToChart(grid->projection, ra, dec, &px, &py))
        return kPenNotProjectable;
    MirrorGridPixel(chart, grid, &px, &py);
    *x = px;
    *y = py;
    int dx = std::abs(px - grid->previousX), dy = std::abs(py - grid->previousY);
    grid->previousX = px;
    grid->previousY = py;
    if (!InWindow(chart, px, py)) {
        grid->labelPhase = 0;
        return kPenMove;
    }
    if (grid->labelPhase) {
        grid->labelPhase = 0;
        return kPenMove;
    }
    double limit = kMilkyWayBreak * chart->pixelsPerRadian;
    if (dx <= limit && dy <= limit && dx <= kMilkyWayWindowShare * grid->windowWidth &&
        dy <= kMilkyWayWindowShare * grid->windowHeight)
        return kPenDraw;
    return kPenMove;
}

int BeginHorizonOutline(ChartContext *chart, ChartGrid *grid) {
    if (!chart || !grid) return 0;
    CloseOutlineFile(grid);
    char name[sizeof chart->site.name + 1];
    std::memcpy(name, chart->site.name, sizeof chart->site.name);
    name[sizeof chart->site.name] = '\0';
    grid->outlineFile = OpenHorizonFile(name);
    if (!grid->outlineFile) return 0;
    // the file's altitudes hold refraction: points of the apparent horizon
    grid->gridFrame = kGridApparentHorizon;
    grid->pointIndex = 0;
    grid->labelPhase = 0;  // 1 while the previous point lay in the window
    return 1;
}

int NextHorizonPoint(ChartContext *chart, ChartGrid *grid, double *longitude, int *x, int *y) {
    if (!chart || !grid || !x || !y || !grid->outlineFile) return -1;
    if (grid->pointIndex >= kHorizonRowCount) {
        CloseOutlineFile(grid);
        return kPenEnd;
    }
    uint8_t r[kHorizonRecordSize];
    if (std::fseek(grid->outlineFile, (long)grid->pointIndex * kHorizonRecordSize, SEEK_SET) != 0 ||
        std::fread(r, 1, sizeof r, grid->outlineFile) != sizeof r)
        return Fail(grid);
    int first = grid->pointIndex == 0;
    ++grid->pointIndex;
    // azimuth from the north through the east -> chart azimuth (2 pi minus
    // the azimuth from the south through the west)
    double lon = ReduceModuloPositive(kTwoPi - (ReadDouble(r) + kPi), kTwoPi);
    double lat = ReadDouble(r + 8) + chart->site.horizonDip;
    if (longitude) *longitude = lon;
    int px = 0, py = 0;
    if (ConvertGridPointToChartFrame(chart, kGridApparentHorizon, &lon, &lat) != 1 ||
        !ProjectToChart(grid->projection, lon, lat, &px, &py))
        return kPenNotProjectable;
    MirrorGridPixel(chart, grid, &px, &py);
    *x = px;
    *y = py;
    bool inside = InWindow(chart, px, py);
    bool wasInside = grid->labelPhase != 0;
    grid->labelPhase = inside ? 1 : 0;
    if (!inside) return wasInside ? kPenDraw : kPenMove;
    return first ? kPenMove : kPenDraw;
}

int ProjectHorizonPoint(ChartContext *chart, double azimuth, double altitude, int *x, int *y) {
    if (!chart || !x || !y) return 0;
    double lon = ReduceModuloPositive(kTwoPi - (azimuth + kPi), kTwoPi), lat = altitude;
    if (ConvertFrameToChartFrame(chart, &lon, &lat, kIndexHorizon) != 1) return 0;
    int px = 0, py = 0;
    int r = ProjectToChart(&chart->projection, lon, lat, &px, &py);
    if (!r) return 0;
    MirrorChartPixel(chart, &px, &py);
    *x = px;
    *y = py;
    return r;
}
