// Constellation names and labels. The name layer returns each catalogue
// name position that lies in the window. The label pass labels every
// constellation of the window once: at its catalogue name position when that
// is in the window; on charts up to 45 degrees wide a constellation that
// fills part of the window without its name position is labelled at one of
// a grid of sample points (or at their centroid), away from the centre.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "charts/chartcontext.h"
#include "charts/outlinelayers.h"
#include "core/datapaths.h"
#include "core/mathutil.h"
#include "objects/constellations.h"
#include "objects/conrects.h"

namespace {

const double kTurn = 2 * kPi / 2147483647.0;
const double kSampleSpacing = 0.03490658503988659;  // 2 degrees
const double kWideChart = kPi / 4;                  // wider charts use the name positions only
const int kSampleDivisions = 11;                    // the coarse sample grid of a small window
const int kListGrowth = 12;
const char *const kNameFile = "connames.bin";

int32_t ReadInt32(const uint8_t *p) {
    return (int32_t)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24);
}

bool InWindow(const ChartContext *c, int x, int y) {
    return x >= c->visibleLeft && x <= c->visibleRight && y >= c->visibleTop && y <= c->visibleBottom;
}

void ClearList(ScreenPointList *l) {
    std::free(l->points);
    l->points = nullptr;
    l->capacity = l->count = 0;
}

// Reads connames.bin whole: name positions inside the window start their
// constellation's list.
int CollectNamePoints(ChartContext *c) {
    FILE *f = OpenRefDirectoryFile(kNameFile, 0, "rb");
    if (!f) return 0;
    uint8_t r[kConstellationNameRecordSize];
    for (int i = 0; i < kConstellationCount; ++i) {
        if (std::fread(r, 1, sizeof r, f) != sizeof r) break;
        int x = 0, y = 0;
        if (SkyToScreen(c, ReadInt32(r + 20) * kTurn, ReadInt32(r + 24) * kTurn, 0, 0, &x, &y) &&
            InWindow(c, x, y)) {
            AppendScreenPoint(&c->constellationLabelPoints[i], x, y);
            c->constellationNamePoint[i] = 1;
        }
    }
    std::fclose(f);
    return 1;
}

void SampleWindow(ChartContext *c, bool *centroidRule) {
    const int width = c->visibleRight - c->visibleLeft + 1;
    const int height = c->visibleBottom - c->visibleTop + 1;
    int stepX = (int)(kSampleSpacing * c->pixelsPerRadian), stepY = stepX;
    *centroidRule = true;
    if (stepX > height / 5 || stepX > width / 5) {
        stepX = width / kSampleDivisions;
        stepY = height / kSampleDivisions;
        *centroidRule = false;
    }
    // a tiny window would give a step of 0 and a sampling that never advances
    if (stepX < 1) stepX = 1;
    if (stepY < 1) stepY = 1;
    for (int y = stepY; y <= height - stepY; y += stepY) {
        for (int x = stepX; x <= width - stepX; x += stepX) {
            int wx = c->visibleLeft + x, wy = c->visibleTop + y;
            double ra = 0, dec = 0;
            if (ScreenToSky(c, wx, wy, &ra, &dec) != 1) continue;
            int k = ConstellationAt(ra, dec, 0.0);
            if (k < 0 || k >= kConstellationCount || c->constellationNamePoint[k]) continue;
            AppendScreenPoint(&c->constellationLabelPoints[k], wx, wy);
        }
    }
}

void ChooseLabelPoints(ChartContext *c, bool centroidRule) {
    const int height = c->visibleBottom - c->visibleTop + 1;
    const double cx = 0.5 * (c->visibleLeft + c->visibleRight);
    const double cy = 0.5 * (c->visibleTop + c->visibleBottom);
    const double away = height / 3.0;
    for (int k = 0; k < kConstellationCount; ++k) {
        ScreenPointList &l = c->constellationLabelPoints[k];
        if (l.count <= 1) continue;
        long long sx = 0, sy = 0;
        for (int i = 0; i < l.count; ++i) {
            sx += l.points[2 * i];
            sy += l.points[2 * i + 1];
        }
        int mx = (int)(sx / l.count), my = (int)(sy / l.count);
        if (centroidRule && std::hypot(mx - cx, my - cy) > away) {
            double ra = 0, dec = 0;
            if (ScreenToPlaceOfDate(c, mx, my, &ra, &dec) == 1 &&
                ConstellationAt(ra, dec, c->savedDate.centuries) == k) {
                l.points[0] = mx;
                l.points[1] = my;
                continue;
            }
        }
        int best = -1;
        double bestDistance = 0;
        for (int i = 0; i < l.count; ++i) {
            int x = l.points[2 * i], y = l.points[2 * i + 1];
            if (std::hypot(x - cx, y - cy) <= away) continue;
            double d = std::hypot(x - mx, y - my);
            if (best < 0 || d < bestDistance) {
                best = i;
                bestDistance = d;
            }
        }
        if (best > 0) {
            std::swap(l.points[0], l.points[2 * best]);
            std::swap(l.points[1], l.points[2 * best + 1]);
        }
    }
}

}  // namespace

int AppendScreenPoint(ScreenPointList *list, int x, int y) {
    if (!list) return 0;
    if (!list->points) {
        list->points = static_cast<int32_t *>(std::malloc(2 * kListGrowth * sizeof(int32_t)));
        if (!list->points) return 0;
        list->capacity = kListGrowth;
        list->count = 0;
    }
    if (list->count + 1 >= list->capacity) {
        int32_t *grown = static_cast<int32_t *>(
            std::realloc(list->points, 2 * (size_t)(list->capacity + kListGrowth) * sizeof(int32_t)));
        if (!grown) return 1;  // the point is dropped, the list kept
        list->points = grown;
        list->capacity += kListGrowth;
    }
    list->points[2 * list->count] = x;
    list->points[2 * list->count + 1] = y;
    ++list->count;
    return 1;
}

void FreeConstellationLabelLists(ChartContext *chart) {
    if (!chart) return;
    for (int k = 0; k < kConstellationCount; ++k) ClearList(&chart->constellationLabelPoints[k]);
}

int OpenConstellationNameLayer(ChartGrid *grid) {
    if (!grid) return 0;
    CloseOutlineFile(grid);
    grid->outlineFile = OpenRefDirectoryFile(kNameFile, 0, "rb");
    grid->pointIndex = 0;
    return grid->outlineFile ? 1 : 0;
}

int NextConstellationNamePoint(ChartContext *chart, ChartGrid *grid, int *x, int *y, char *name) {
    if (!chart || !grid || !x || !y || !grid->outlineFile) return -1;
    uint8_t r[kConstellationNameRecordSize];
    while (grid->pointIndex < kConstellationCount) {
        if (std::fread(r, 1, sizeof r, grid->outlineFile) != sizeof r) break;
        chart->layerRecordCounter = ++grid->pointIndex;
        int px = 0, py = 0;
        if (!SkyToScreen(chart, ReadInt32(r + 20) * kTurn, ReadInt32(r + 24) * kTurn, 0, 0, &px, &py) ||
            !InWindow(chart, px, py))
            continue;
        *x = px;
        *y = py;
        if (name) {
            std::memcpy(name, r, kConstellationNameFieldSize);
            name[kConstellationNameFieldSize - 1] = '\0';
        }
        return 1;
    }
    CloseOutlineFile(grid);
    return 0;
}

int BeginConstellationLabels(ChartContext *chart) {
    if (!chart) return 0;
    FreeConstellationLabelLists(chart);
    std::memset(chart->constellationNamePoint, 0, sizeof chart->constellationNamePoint);
    chart->constellationLabelIndex = 0;
    if (chart->layerFile) {
        std::fclose(chart->layerFile);
        chart->layerFile = nullptr;
    }
    if (!CollectNamePoints(chart)) return 0;
    if (chart->field <= kWideChart) {
        bool centroidRule = true;
        SampleWindow(chart, &centroidRule);
        ChooseLabelPoints(chart, centroidRule);
    }
    chart->layerFile = OpenConstellationNames();
    if (!chart->layerFile) {
        FreeConstellationLabelLists(chart);
        return 0;
    }
    return 1;
}

int NextConstellationLabel(ChartContext *chart, int *x, int *y, char *name) {
    if (!chart || !x || !y || !name) return 0;
    while (chart->layerFile && chart->constellationLabelIndex < kConstellationCount) {
        int k = chart->constellationLabelIndex++;
        const ScreenPointList &l = chart->constellationLabelPoints[k];
        if (l.count <= 0) continue;
        double ra = 0, dec = 0;
        char text[kConstellationNameFieldSize + 1] = "";
        if (ReadConstellationName(chart->layerFile, k, text, &ra, &dec) <= 0) continue;
        text[kConstellationNameFieldSize - 1] = '\0';
        std::memcpy(name, text, kConstellationNameFieldSize);
        *x = l.points[0];
        *y = l.points[1];
        return 1;
    }
    if (chart->layerFile) {
        std::fclose(chart->layerFile);
        chart->layerFile = nullptr;
    }
    FreeConstellationLabelLists(chart);
    return 0;
}
