// The part of the sky a chart window shows, measured in each of the six
// frames (least and greatest longitude and latitude), found by unprojecting
// samples of the window's edges and testing whether each frame's poles lie
// in the window; the set-up of a grid record; the shape of the sky's edge.
#include <cmath>
#include <cstring>

#include "charts/chartcontext.h"
#include "charts/chartgrid.h"
#include "core/mathutil.h"

namespace {

const double kTwoPi = 2 * kPi;
const int kEdgeSamples = 32;     // samples along each edge of the window
const double kWrapFieldFactor = 1.75;

void ClearExtent(FrameExtent *e) {
    e->longitudeMin = kTwoPi;
    e->longitudeMax = 0;
    e->latitudeMin = kPi / 2;
    e->latitudeMax = -kPi / 2;
}

bool InVisible(const ChartContext *c, int x, int y) {
    return x >= c->visibleLeft && x <= c->visibleRight && y >= c->visibleTop && y <= c->visibleBottom;
}

// Unprojects the first pixel that maps to the sky going inwards from (x, y)
// by (dx, dy), at most limit pixels; widens the extents with it.
void SampleInwards(ChartContext *c, const int wrap[], FrameExtent ext[], int x, int y, int dx, int dy,
                   int limit) {
    for (int i = 0; i <= limit; ++i) {
        double lon = 0, lat = 0;
        if (UnprojectFromChart(&c->projection, x + i * dx, y + i * dy, &lon, &lat) == 1) {
            WidenAllFrameExtents(c, wrap, lon, lat, ext);
            return;
        }
    }
}

}  // namespace

void WidenFrameExtent(int wrap, double longitude, double latitude, FrameExtent *extent) {
    if (!extent) return;
    if (wrap && longitude > kPi) longitude -= kTwoPi;
    if (longitude < extent->longitudeMin) extent->longitudeMin = longitude;
    if (longitude > extent->longitudeMax) extent->longitudeMax = longitude;
    if (latitude < extent->latitudeMin) extent->latitudeMin = latitude;
    if (latitude > extent->latitudeMax) extent->latitudeMax = latitude;
}

void WidenAllFrameExtents(ChartContext *chart, const int wrap[kFrameIndexCount], double longitude,
                          double latitude, FrameExtent extents[kFrameIndexCount]) {
    if (!chart || !extents) return;
    int chartIndex = chart->frameMode - 1;
    for (int k = 0; k < kFrameIndexCount; ++k) {
        double a = longitude, b = latitude;
        // with always set only the altitude test can answer 0, and the
        // position is still the frame's
        ConvertBetweenFrameIndexes(chart, chartIndex, k, &a, &b, 1);
        a = ReduceModuloPositive(a, kTwoPi);
        WidenFrameExtent(wrap ? wrap[k] : 0, a, b, &extents[k]);
    }
}

void ComputeChartFrameExtents(ChartContext *chart, FrameExtent extents[kFrameIndexCount]) {
    if (!chart || !extents) return;
    int wrap[kFrameIndexCount];
    for (int k = 0; k < kFrameIndexCount; ++k) {
        ClearExtent(&extents[k]);
        double a = chart->centreRightAscension, b = chart->centreDeclination;
        ConvertBetweenFrameIndexes(chart, kIndexJ2000, k, &a, &b, 1);
        double c = std::cos(b);
        if (c == 0) c = 1;
        wrap[k] = (kWrapFieldFactor * chart->field / c <= std::fabs(GetSignedAngleDifference(a, 0))) ? 0 : 1;
    }
    const int left = chart->visibleLeft, right = chart->visibleRight;
    const int top = chart->visibleTop, bottom = chart->visibleBottom;
    const int width = right - left + 1, height = bottom - top + 1;
    if (width <= 0 || height <= 0) return;
    int stepX = (width - 1) / kEdgeSamples;
    if (stepX < 1) stepX = 1;
    // The same floor of one pixel vertically: a coarser step on a short
    // window would sample fewer edge points, not more.
    int stepY = (height - 1) / kEdgeSamples;
    if (stepY < 1) stepY = 1;
    for (int x = left; x <= right; x += stepX) {
        SampleInwards(chart, wrap, extents, x, top, 0, 1, height / 4);
        SampleInwards(chart, wrap, extents, x, bottom - 1, 0, -1, height / 4);
    }
    for (int y = top; y <= bottom; y += stepY) {
        SampleInwards(chart, wrap, extents, left, y, 1, 0, width / 4);
        SampleInwards(chart, wrap, extents, right - 1, y, -1, 0, width / 4);
    }
    // a frame's pole inside the window: every longitude is shown
    for (int k = 0; k < kFrameIndexCount; ++k) {
        for (int north = 1; north >= 0; --north) {
            double a = 0, b = north ? kPi / 2 : -kPi / 2;
            if (ConvertFrameToChartFrame(chart, &a, &b, k) != 1) continue;
            int x = 0, y = 0;
            if (!ProjectToChart(&chart->projection, a, b, &x, &y)) continue;
            if (!InVisible(chart, x, y)) continue;
            extents[k].longitudeMin = 0;
            extents[k].longitudeMax = kTwoPi;
            if (north) extents[k].latitudeMax = kPi / 2;
            else extents[k].latitudeMin = -kPi / 2;
        }
    }
    for (int k = 0; k < kFrameIndexCount; ++k) {
        FrameExtent &e = extents[k];
        if (e.longitudeMax < e.longitudeMin) e.longitudeMax += kTwoPi;
        if (e.longitudeMin == e.longitudeMax && (e.longitudeMin == 0 || e.longitudeMin == kTwoPi)) {
            e.longitudeMin = 0;
            e.longitudeMax = kTwoPi;
        }
        if (e.latitudeMax < e.latitudeMin) {
            e.latitudeMin = -kPi / 2;
            e.latitudeMax = kPi / 2;
        }
    }
}

int InitChartGrid(ChartContext *chart, ChartGrid *grid, int mirrorY, int mirrorX,
                  int pixelTolerance) {
    if (!chart || !grid) return 0;
    std::memset(grid, 0, sizeof *grid);
    grid->projection = &chart->projection;
    grid->pixelTolerance = pixelTolerance;
    grid->initialAngularStep = chart->pixelsPerRadian > 0 ? pixelTolerance / chart->pixelsPerRadian : 0;
    grid->angularStep = grid->initialAngularStep;
    grid->windowWidth = chart->visibleRight - chart->visibleLeft + 1;
    grid->windowHeight = chart->visibleBottom - chart->visibleTop + 1;
    grid->penState = 1;
    grid->previousSegmentLength = -1;
    grid->mirrorY = mirrorY;
    grid->mirrorX = mirrorX;
    ComputeChartFrameExtents(chart, grid->extents);
    return 1;
}

int GetChartSkyOutline(ChartContext *chart, int *centreX, int *centreY) {
    if (!chart || !chart->searchPrepared) return 0;
    int shape = 0;
    switch (chart->projection.kind) {
    case kProjectionStereographic:
    case kProjectionOrthographic: shape = kSkyOutlineCircle; break;
    case kProjectionRectangular: shape = kSkyOutlineRectangle; break;
    case kProjectionHammerAitoff: shape = kSkyOutlineEllipse; break;
    default: return 0;
    }
    if (centreX) *centreX = chart->projection.windowWidth / 2;
    if (centreY) *centreY = chart->projection.windowHeight / 2;
    return shape;
}
