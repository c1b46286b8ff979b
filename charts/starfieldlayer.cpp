// The user's star fields on a chart: the fields whose circle reaches the
// window are opened one after the other and their stars (brightest first)
// returned down to the chart's limiting magnitude.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "charts/chartcontext.h"
#include "charts/chartgeometry.h"
#include "charts/starreader.h"
#include "charts/userlayers.h"
#include "core/mathutil.h"
#include "objects/starfields.h"

namespace {

const double kTurn = 2 * kPi / 2147483647.0;
const int kFieldHeadSize = 86;

void CloseFieldFile(ChartContext *c) {
    if (c->starFieldFile) std::fclose(c->starFieldFile);
    c->starFieldFile = nullptr;
    c->starFieldStarCount = c->starFieldStarsRead = 0;
}

void CloseIndex(ChartContext *c) {
    if (c->starFieldIndex) std::fclose(c->starFieldIndex);
    c->starFieldIndex = nullptr;
    c->starFieldCount = c->starFieldsRead = 0;
}

// Half the window's diagonal: a field reaching a corner of a wide or tall
// window is still opened (the field spans the window's width).
double WindowReach(const ChartContext *c) {
    int w = c->visibleRight - c->visibleLeft + 1, h = c->visibleBottom - c->visibleTop + 1;
    double ratio = w > 0 ? (double)h / w : 1;
    return 0.5 * c->field * std::sqrt(1 + ratio * ratio);
}

}  // namespace

int BeginStarFieldLayer(ChartContext *chart) {
    if (!chart) return 0;
    EndStarFieldLayer(chart);
    int count = 0, next = 0;
    chart->starFieldIndex = OpenStarFieldIndex(&count, &next);
    if (!chart->starFieldIndex) return 0;
    chart->starFieldCount = count;
    chart->starFieldsRead = 0;
    return OpenNextStarField(chart);
}

int OpenNextStarField(ChartContext *c) {
    if (!c) return 0;
    CloseFieldFile(c);
    if (!c->starFieldIndex) return 0;
    StarFieldHeader entry;
    while (c->starFieldsRead < c->starFieldCount) {
        if (std::fread(&entry, 1, sizeof entry, c->starFieldIndex) != sizeof entry) {
            CloseIndex(c);
            return 0;
        }
        ++c->starFieldsRead;
        double distance = AngularSeparation(c->centreRightAscension, c->centreDeclination,
                                            entry.rightAscension, entry.declination);
        if (distance > WindowReach(c) + entry.radius) continue;
        c->starFieldFile = OpenStarFieldFile(entry.number);
        if (!c->starFieldFile || std::fseek(c->starFieldFile, kFieldHeadSize, SEEK_SET) != 0) {
            CloseFieldFile(c);
            CloseIndex(c);
            return 0;
        }
        c->starFieldStarCount = entry.starCount;
        c->starFieldStarsRead = 0;
        return 1;
    }
    return 0;
}

int ReadNextStarFieldStar(ChartContext *c, ChartStar *star) {
    if (!c || !star || !c->starFieldIndex) return -1;
    for (;;) {
        if (!c->starFieldFile || c->starFieldStarsRead >= c->starFieldStarCount) {
            if (!OpenNextStarField(c)) return 0;
            continue;
        }
        StarFieldEntry e;
        if (std::fread(&e, 1, sizeof e, c->starFieldFile) != sizeof e) {
            EndStarFieldLayer(c);
            return -1;
        }
        ++c->starFieldStarsRead;
        double mag = StarFieldMagnitude(e.magnitudeCode);
        if (mag > c->limitingMagnitude) {
            // brightest first: the rest of the field is fainter still
            c->starFieldStarsRead = c->starFieldStarCount;
            continue;
        }
        double ra = e.rightAscension * kTurn, dec = e.declination * kTurn;
        if (ConvertToChartFrame(c, &ra, &dec, 0, 0, &mag) != 1 || mag > c->limitingMagnitude) continue;
        int x = 0, y = 0;
        if (!ProjectToChart(&c->projection, ra, dec, &x, &y)) continue;
        MirrorChartPixel(c, &x, &y);
        std::memset(star, 0, sizeof *star);
        star->x = x;
        star->y = y;
        star->shade = (uint8_t)GetStarShade(c, mag);
        star->radius = star->faintRadius = (int32_t)GetStarSymbolRadius(c, mag);
        return 1;
    }
}

void EndStarFieldLayer(ChartContext *chart) {
    if (!chart) return;
    CloseFieldFile(chart);
    CloseIndex(chart);
}
