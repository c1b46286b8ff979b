// The user's stars, deep-sky objects and sky marks on a chart, read from the
// supplemental stores (stellar.bin, uds.bin, skymark.bin) record by record.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "charts/chartcontext.h"
#include "charts/chartgeometry.h"
#include "charts/deepskyitem.h"
#include "charts/deepskylayers.h"
#include "charts/starreader.h"
#include "charts/userlayers.h"
#include "core/mathutil.h"
#include "minorbodies/usercatalogs.h"
#include "objects/objectrecord.h"

namespace {

const double kTurn = 2 * kPi / 2147483647.0;
const double kArcminute = kPi / (180 * 60);
const double kNoMagnitude = 99.9;
const double kUserDeepSkyDefault = 15.0;  // a stored magnitude of 0 means none
const double kHundredths = 0.01;
const double kTenthDegree = kPi / 1800;

bool InWindow(const ChartContext *c, int x, int y) {
    return x >= c->visibleLeft && x <= c->visibleRight && y >= c->visibleTop && y <= c->visibleBottom;
}

int OpenStore(ChartContext *c, FILE *f, int32_t count) {
    CloseChartLayerFile(c);
    c->layerFile = f;
    c->layerRecordCount = f ? count : 0;
    c->layerRecordCounter = 0;
    return f ? 1 : 0;
}

// The next record, or false at the end of the store or on a short read
// (the file closed, count and counter 0).
bool NextRecord(ChartContext *c, void *record, size_t size) {
    if (c->layerRecordCounter < c->layerRecordCount &&
        std::fread(record, 1, size, c->layerFile) == size) {
        ++c->layerRecordCounter;
        return true;
    }
    CloseChartLayerFile(c);
    c->layerRecordCount = c->layerRecordCounter = 0;
    return false;
}

// Convert (with the magnitude when given), project and mirror.
bool Place(ChartContext *c, double ra, double dec, double *magnitude, int *x, int *y) {
    if (ConvertToChartFrame(c, &ra, &dec, 0, 0, magnitude) != 1) return false;
    if (!ProjectToChart(&c->projection, ra, dec, x, y)) return false;
    MirrorChartPixel(c, x, y);
    return true;
}

void CopyName(const char *field, char *name) {
    if (!name) return;
    std::memcpy(name, field, kUserObjectNameSize);
    name[kUserObjectNameSize - 1] = '\0';
}

// The faint limit of a user deep-sky object's type from the caller's table.
double ClassLimit(const ChartContext *c, const uint8_t *limits, int type) {
    int entry = -1;
    switch (type) {
    case kClassGalaxy: entry = 1; break;
    case kClassGalaxyGroup: entry = 2; break;
    case kClassQuasar: entry = 3; break;
    case kClassPlanetaryNebula: entry = 4; break;
    case kClassBrightNebula: entry = 5; break;
    case kClassOpenCluster: entry = 6; break;
    case kClassGlobularCluster: entry = 7; break;
    default: break;
    }
    if (entry < 0 || !limits) return c->limitingMagnitude;
    double v;
    std::memcpy(&v, limits + kClassLimitEntrySize * entry, sizeof v);
    return v;
}

}  // namespace

int BeginUserStarLayer(ChartContext *chart) {
    if (!chart) return 0;
    int32_t count = 0;
    FILE *f = OpenUserStarFile(&count);
    return OpenStore(chart, f, count);
}

int ReadNextUserStar(ChartContext *c, ChartStar *star, char *name) {
    if (!c || !star || !c->layerFile) return -1;
    UserStarRecord r;
    while (NextRecord(c, &r, sizeof r)) {
        double mag = r.magnitude * kHundredths;
        if (mag > c->limitingMagnitude) continue;
        int x = 0, y = 0;
        if (!Place(c, r.rightAscension * kTurn, r.declination * kTurn, &mag, &x, &y)) continue;
        if (mag > c->limitingMagnitude || !InWindow(c, x, y)) continue;
        std::memset(star, 0, sizeof *star);
        star->x = x;
        star->y = y;
        star->shade = (uint8_t)GetStarShade(c, mag);
        star->radius = star->faintRadius = (int32_t)GetStarSymbolRadius(c, mag);
        CopyName(r.name, name);
        return r.id;
    }
    return 0;
}

int BeginUserDeepSkyLayer(ChartContext *chart) {
    if (!chart) return 0;
    int32_t count = 0;
    FILE *f = OpenUserDeepSkyFile(&count);
    return OpenStore(chart, f, count);
}

int ReadNextUserDeepSkyObject(ChartContext *c, const uint8_t *classLimits, DeepSkyPlotItem *item,
                              double darkMinimum) {
    if (!c || !item || !c->layerFile) return -1;
    UserDeepSkyRecord r;
    while (NextRecord(c, &r, sizeof r)) {
        std::memset(item, 0, sizeof *item);
        item->classCode = r.typeCode;
        CopyName(r.name, item->label);
        double mag = r.magnitude == 0 ? kUserDeepSkyDefault : r.magnitude * kHundredths;
        bool selected = c->layerFlag ||
                        (c->selectedObjectType == kClassUserDeepSky && c->selectedObjectIndex == r.id);
        bool dark = r.typeCode == kClassDarkNebula;
        double limit = ClassLimit(c, classLimits, r.typeCode);
        bool passes = dark ? mag >= darkMinimum : mag <= limit;
        if (!passes && !selected) continue;
        double ra = r.rightAscension * kTurn, dec = r.declination * kTurn;
        int x = 0, y = 0;
        if (!Place(c, ra, dec, &mag, &x, &y)) continue;
        if (!dark && !selected && mag > limit) continue;
        if (!InWindow(c, x, y)) continue;
        item->x = x;
        item->y = y;
        item->magnitude = mag;
        item->angle = r.positionAngle * kTenthDegree;
        ComputeObjectSymbolSize(c, ra, dec, 0.5 * r.size1 * kHundredths * kArcminute,
                                0.5 * r.size2 * kHundredths * kArcminute, item);
        return r.id;
    }
    return 0;
}

int BeginSkyMarkLayer(ChartContext *chart) {
    if (!chart) return 0;
    int32_t count = 0;
    FILE *f = OpenSkyMarkFile(&count);
    return OpenStore(chart, f, count);
}

int ReadNextSkyMark(ChartContext *c, ChartStar *star, char *name) {
    if (!c || !star || !c->layerFile) return -1;
    SkyMarkRecord r;
    while (NextRecord(c, &r, sizeof r)) {
        double mag = kNoMagnitude;  // no extinction applies to a mark
        int x = 0, y = 0;
        if (!Place(c, r.rightAscension * kTurn, r.declination * kTurn, &mag, &x, &y)) continue;
        if (!InWindow(c, x, y)) continue;
        std::memset(star, 0, sizeof *star);
        star->x = x;
        star->y = y;
        CopyName(r.name, name);
        return r.id;
    }
    return 0;
}
