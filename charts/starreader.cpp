// The star reader: clearing its state and setting the star limits, the
// region lists of a chart window, and the walk over the region files that
// returns placed stars.
#include "charts/starreader.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "astro/angletext.h"
#include "astro/chartgeom.h"
#include "astro/datetime.h"
#include "astro/location.h"
#include "charts/chartcontext.h"
#include "charts/chartgeometry.h"
#include "charts/chartlabels.h"
#include "charts/charttime.h"
#include "core/datapaths.h"
#include "core/mathutil.h"
#include "ephem/binaryorbit.h"
#include "objects/binaryorbitcat.h"
#include "objects/ccdmcat.h"
#include "objects/designationtexts.h"
#include "objects/dsotexts.h"
#include "objects/objectrecord.h"
#include "objects/starcat.h"
#include "objects/stardatabase.h"
#include "objects/stardes.h"
#include "objects/starxref.h"
#include "objects/variablecat.h"

namespace {

// The catalogues the labels read, opened on first use.
void CloseLabelCatalogues(ChartContext *c) {
    if (c->starCatalogueFile) std::fclose(c->starCatalogueFile);
    if (c->starNameFile) std::fclose(c->starNameFile);
    CloseCcdmFiles(static_cast<CcdmFiles *>(c->doubleStarCatalogue));
    CloseVariableStarFiles(static_cast<VariableStarFiles *>(c->variableStarFiles));
    c->starCatalogueFile = c->starNameFile = nullptr;
    c->doubleStarCatalogue = c->variableStarFiles = nullptr;
}

}  // namespace

int ClearStarReader(ChartContext *chart) {
    if (!chart) return 0;
    if (chart->regionFile) std::fclose(chart->regionFile);
    CloseLabelCatalogues(chart);
    std::free(chart->firstRegions);
    std::free(chart->secondRegions);
    chart->regionFile = nullptr;
    chart->firstRegions = chart->secondRegions = nullptr;
    chart->firstRegionCount = chart->secondRegionCount = 0;
    chart->regionPosition = 0;
    chart->recordsInRegion = chart->recordsRead = 0;
    chart->regionFileSize = 0;
    chart->componentCount = chart->componentCounter = 0;
    chart->componentTableCount = 0;
    chart->imagingFilterOn = 0;
    chart->selectedObjectType = chart->selectedObjectIndex = 0;
    chart->selectedObjectFound = 0;
    chart->layerFlag = 0;
    chart->projection.kind = 1;
    chart->limitingMagnitude = 6.5;
    chart->searchPrepared = 0;
    return 1;
}

int SetStarSearchLimits(ChartContext *chart, double limitingMagnitude, double zoom, int sizeLaw,
                        double sizePercent, double smallestRadius, int rangeSymbols, int mirrorY,
                        int mirrorX, double sizeFactor) {
    if (!chart) return 0;
    chart->limitingMagnitude = limitingMagnitude;
    chart->referenceMagnitude = limitingMagnitude;
    chart->sizeLaw = sizeLaw;
    chart->rangeSymbols = rangeSymbols;
    chart->radiusOffset = smallestRadius - 1;
    if (zoom == 0) zoom = 1;
    chart->sizeScale = sizeLaw == 1 ? sizePercent * 0.01 : sizePercent * zoom * 0.01;
    chart->sizeScale *= sizeFactor >= 1 ? sizeFactor : 1 - (1 - sizeFactor) * 0.25;
    chart->mirrorY = (uint8_t)(mirrorY ? 1 : 0);
    chart->mirrorX = (uint8_t)(mirrorX ? 1 : 0);
    return 1;
}

namespace {

const double kDeg = kPi / 180;
// Sampling step of the region list, in degrees of sky per database: under
// the database's narrowest region.
const double kSampleDegrees[] = {0, 7.5, 2.5, 0.391};
// 10.3 arcseconds per year: the largest proper motion of the deep database
// widens its window by that much per year from 2000.
const double kMotionMarginPerYear = 10.3 * kDeg / 3600;
const int kMaxGridSteps = 1000;
// Largest symbol radius, pixels.
const int32_t kLargestRadius = 100000;
// Brightest magnitude a system block may give (the Sun is -26.7); anything
// brighter, or not a number, is no magnitude.
const double kBrightestMagnitude = -30;
// Sampling step of a rectangle's region list, pixels.
const int kRectangleStep = 10;

bool UsesSecondList(const ChartContext *c) { return c->starDatabase == kStarDbMag10; }

int16_t *&ActiveList(ChartContext *c) {
    return UsesSecondList(c) ? c->secondRegions : c->firstRegions;
}
int32_t &ActiveCount(ChartContext *c) {
    return UsesSecondList(c) ? c->secondRegionCount : c->firstRegionCount;
}

void CloseRegionFile(ChartContext *c) {
    if (c->regionFile) std::fclose(c->regionFile);
    c->regionFile = nullptr;
    c->recordsInRegion = c->recordsRead = 0;
    c->regionFileSize = 0;
}

// Opens the next region of the list that holds stars: 1 opened, 0 the list
// is done, -1 a file that cannot be opened or whose table is bad. Empty
// regions are passed over rather than read.
int OpenNextRegion(ChartContext *c) {
    for (;;) {
        CloseRegionFile(c);
        int32_t count = ActiveCount(c);
        if (c->regionPosition >= count) return 0;
        StarRegionCode code = (StarRegionCode)ActiveList(c)[c->regionPosition];
        c->regionPosition++;
        StarRegionBounds b;
        int entry = GetStarRegionBounds(c->starDatabase, code, &b);
        int zone, region;
        SplitRegionCode(code, &zone, &region, nullptr, nullptr);
        char path[600];
        if (entry < 0 || !BuildStarFilePath(c, path, sizeof path, region, zone)) return -1;
        c->regionFile = std::fopen(path, "rb");
        if (!c->regionFile) return -1;
        StarRegionWalk walk;
        int begun = BeginStarRegionWalk(&walk, c->regionFile, entry, b);
        if (begun < 0) {
            CloseRegionFile(c);
            return -1;
        }
        if (begun == 0) continue;
        c->regionFileSize = (int32_t)walk.fileSize;
        c->recordsInRegion = walk.count;
        c->recordsRead = 0;
        c->nextCode = (uint8_t)walk.code;
        c->regionRightAscensionStart = b.rightAscensionStart;
        c->regionDeclinationStart = b.declinationStart;
        c->regionWidth = b.width;
        c->regionHeight = b.height;
        c->polarFlag = (uint8_t)b.polar;
        c->componentCount = c->componentCounter = 0;
        return 1;
    }
}

uint16_t KindOf(const DecodedStar &s) {
    if (s.code == kStarCodeColoured) return kChartStarColoured;
    if (s.code == kStarCodeGuide) return kChartStarGuide;
    if (s.code == kStarCodeFaint) return kChartStarFaint;
    int kind = (s.code & kStarCodeNamedBit) ? kChartStarNamed : kChartStarCatalogue;
    if (s.code & kStarCodeComponentsBit) kind |= kChartStarDouble;
    if (s.code & kStarCodeVariableBit) kind |= kChartStarVariable;
    return (uint16_t)kind;
}

// A symbol radius as whole pixels: a magnitude far brighter than any star
// (from a damaged file) gives the largest radius, not an overflow.
int32_t RadiusPixels(double radius) {
    if (!(radius > 0)) return 0;
    return radius < kLargestRadius ? (int32_t)radius : kLargestRadius;
}

// Converts, projects, mirrors and tests the current star: 1 placed.
int PlaceStar(ChartContext *c, const DecodedStar &s, ChartStar *out) {
    double ra = s.rightAscension, dec = s.declination, extinction = 0;
    if (ConvertToChartFrame(c, &ra, &dec, s.motionRightAscension, s.motionDeclination,
                            &extinction) != 1)
        return 0;
    int x, y;
    if (!ProjectToChart(&c->projection, ra, dec, &x, &y)) return 0;
    MirrorChartPixel(c, &x, &y);
    if (x < c->visibleLeft || x > c->visibleRight || y < c->visibleTop || y > c->visibleBottom)
        return 0;
    c->starVBeforeExtinction = c->starV;
    if (c->frameMode == kFrameHorizon || c->frameMode == kFrameApparentHorizon) {
        c->starV += extinction;
        c->starBrightest += extinction;
        c->starFaintest += extinction;
        if (c->starV > c->limitingMagnitude) return 0;
    }
    out->x = x;
    out->y = y;
    double bright = c->rangeSymbols ? c->starBrightest : c->starV;
    double faint = c->rangeSymbols ? c->starFaintest : c->starV;
    out->radius = RadiusPixels(GetStarSymbolRadius(c, bright));
    out->faintRadius = faint != bright ? RadiusPixels(GetStarSymbolRadius(c, faint)) : out->radius;
    out->shade = (uint8_t)GetStarShade(c, c->starV);
    out->colourClass = (uint8_t)s.colourClass;
    out->flag = (s.code == kStarCodeColoured || s.code == kStarCodeGuide || s.code == kStarCodeFaint)
                    ? 0
                    : (uint8_t)(s.flag ? 0x80 : 0);
    out->kind = KindOf(s);
    return 1;
}

// Angular size of the rectangle's diagonal.
double DiagonalAngle(ChartContext *c, int left, int top, int right, int bottom) {
    double w = right - left, h = bottom - top;
    double whole = c->field * std::sqrt(w * w + h * h) / std::max(1.0, (double)c->windowWidth);
    if (c->field >= kPi / 2) return whole;
    // corners moved in along the diagonal until they map to the sky
    double a1 = 0, d1 = 0, a2 = 0, d2 = 0;
    bool got1 = false, got2 = false;
    int steps = std::max(1, (int)std::max(w, h) / 2);
    for (int i = 0; i <= steps && !got1; ++i) {
        int x = left + (int)std::lround(w * i / (2.0 * steps));
        int y = top + (int)std::lround(h * i / (2.0 * steps));
        got1 = ScreenToSky(c, x, y, &a1, &d1) == 1;
    }
    for (int i = 0; i <= steps && !got2; ++i) {
        int x = right - (int)std::lround(w * i / (2.0 * steps));
        int y = bottom - (int)std::lround(h * i / (2.0 * steps));
        got2 = ScreenToSky(c, x, y, &a2, &d2) == 1;
    }
    double angle = got1 && got2 ? AngularSeparation(a1, d1, a2, d2) : 0;
    return angle > 0 ? angle : whole;
}

// Adds the region of every grid point of the rectangle (step in pixels) that
// maps to the sky; the largest |declination| met goes to maxAbs.
int SampleGrid(ChartContext *c, int left, int top, int right, int bottom, int step, double *maxAbs) {
    int w = right - left, h = bottom - top;
    int nx = std::min(kMaxGridSteps, (w > 0 ? w - 1 : 0) / step + 1);
    int ny = std::min(kMaxGridSteps, (h > 0 ? h - 1 : 0) / step + 1);
    for (int j = 0; j <= ny; ++j) {
        int y = top + (int)((double)h * j / ny);
        for (int i = 0; i <= nx; ++i) {
            int x = left + (int)((double)w * i / nx);
            double ra, dec;
            if (ScreenToSky(c, x, y, &ra, &dec) != 1) continue;
            *maxAbs = std::max(*maxAbs, std::fabs(dec));
            if (!AddStarRegionAt(c, ra, dec)) return 0;
        }
    }
    return 1;
}

// The regions of the rectangle: a grid whose step is the database's region
// size (at most maxStep pixels); where the window reaches high declinations,
// whose regions are narrower on the sky by cos(declination), the grid is
// sampled again as much finer (down to the edge of the polar caps, 88.5
// degrees).
int BuildRegions(ChartContext *c, int left, int top, int right, int bottom, int maxStep) {
    int w = right - left, h = bottom - top;
    double diagonal = DiagonalAngle(c, left, top, right, bottom);
    double pixels = std::sqrt((double)w * w + (double)h * h);
    double sample = kSampleDegrees[c->starDatabase] * kDeg;
    int step = std::max(1, std::min(maxStep, (int)(pixels * sample / diagonal)));
    double maxAbs = 0;
    if (!SampleGrid(c, left, top, right, bottom, step, &maxAbs)) return 0;
    double edge = std::min(maxAbs + sample, 88.5 * kDeg);
    int fine = std::max(1, (int)(step * std::cos(edge)));
    // no finer than the grid's limit over the rectangle
    fine = std::max(fine, std::max(w, h) / kMaxGridSteps);
    if (fine < step && !SampleGrid(c, left, top, right, bottom, std::max(1, fine), &maxAbs))
        return 0;
    return 1;
}

// The V of a variable at the chart date, for a block whose light curve has a
// period; otherwise (or when the prediction has no value, as without an
// epoch or a range) the magnitude given.
double VariableV(ChartContext *c, const DecodedStar &s, double given) {
    const VariableBlock &b = s.variableBlock;
    if (!s.variable || b.period == 0 || b.brightest >= 90 || b.faintest >= 90) return given;
    double m = PredictVariableMagnitude(b.epoch, b.period, c->savedDate.julianDate, b.shape1,
                                        b.shape2, b.faintest, b.brightest, b.model, nullptr);
    if (!(m < 90)) return given;
    c->variableMark = 1;
    return m;
}

// Appends a place to the component table while it has room (50 entries); a
// system with more components places the rest without keeping them.
void AppendComponentPlace(ChartContext *c, double ra, double dec, double v) {
    if (c->componentTableCount < 0 || c->componentTableCount >= kComponentTableSize) return;
    double *entry = c->componentTable[c->componentTableCount++];
    entry[0] = ra;
    entry[1] = dec;
    entry[2] = v;
}

// The reference entry of a component: null for an index beyond the table or
// an entry without a place.
const double *ReferenceEntry(const ChartContext *c, int index) {
    if (index < 0 || index >= c->componentTableCount || index >= kComponentTableSize) return nullptr;
    const double *ref = c->componentTable[index];
    return ref[0] == 0 && ref[1] == 0 ? nullptr : ref;
}

// Stores a placed component or system star as the current star and places
// it on the chart: 2 merged, 1 placed, 0 dropped.
int FinishSystemStar(ChartContext *c, const DecodedStar &s, double ra, double dec,
                     double motionRa, double motionDec, bool merged, int kind, ChartStar *out) {
    c->starRightAscension = ra;
    c->starDeclination = dec;
    c->starMotionRightAscension = motionRa;
    c->starMotionDeclination = motionDec;
    c->starRightAscensionTurns = AngleToTurns(ra);
    c->starDeclinationTurns = AngleToTurns(dec);
    c->starV = s.v;
    c->starBrightest = s.brightest;
    c->starFaintest = s.faintest;
    if (!merged && s.v > c->limitingMagnitude) return 0;
    DecodedStar placed = s;
    placed.rightAscension = ra;
    placed.declination = dec;
    placed.motionRightAscension = motionRa;
    placed.motionDeclination = motionDec;
    placed.colourClass = 0;
    // the flag: bit 7 of a system's own (named-star) record; components have none
    if (!PlaceStar(c, placed, out)) return 0;
    out->kind = (uint16_t)kind;
    return merged ? 2 : 1;
}

// Kind bits of a component: catalogue and double, variable (and second
// series) with a variable block, orbit when placed by one.
int ComponentKind(const DecodedStar &s) {
    const ComponentRecord &r = s.componentRecord;
    int kind = kChartStarCatalogue | kChartStarDouble;
    if (r.hasVariable) kind |= kChartStarVariable | (s.secondSeries ? kChartStarSecondSeries : 0);
    if (r.hasOrbit) kind |= kChartStarOrbit;
    return kind;
}

// A component at its separation and position angle from its reference entry
// of the component table. Closer than one pixel it is merged: placed at its
// reference with the reference's magnitude, and 2 returned. 1 placed within
// the limit, 0 skipped.
int PlaceComponent(ChartContext *c, DecodedStar s, ChartStar *out) {
    const ComponentRecord &r = s.componentRecord;
    const double *ref = ReferenceEntry(c, r.referenceIndex);
    if (!ref) return 0;
    double sep = r.separation * kDeg / 3600, angle = r.positionAngle * kDeg;
    double ra, dec;
    ComputeOffsetPosition(angle, sep, ref[0], ref[1], &ra, &dec);
    AppendComponentPlace(c, ra, dec, s.v);
    bool merged = sep < c->radiansPerPixel;
    if (merged) {
        ra = ref[0];
        dec = ref[1];
        s.v = s.brightest = s.faintest = ref[2];
    }
    c->componentLetter = r.letter;
    c->catalogueNumber = 0;
    return FinishSystemStar(c, s, ra, dec, c->systemMotionRightAscension,
                            c->systemMotionDeclination, merged, ComponentKind(s), out);
}

// Position angle (degrees) and separation (arcseconds) of an orbit at the
// chart date; an orbit that cannot be solved leaves its star on its
// reference (separation 0).
void OrbitAtChartDate(const ChartContext *c, const StarOrbitElements &o, double *angle,
                      double *separation) {
    *angle = *separation = 0;
    BinaryOrbit orbit;
    if (!InitBinaryOrbit(&orbit, o.period, o.periastronTime, o.eccentricity, o.semiMajorAxis,
                         o.inclination, o.node, o.periastronArgument, o.equinoxYear))
        return;
    if (ComputeBinaryPositionAngle(o.orbitNumber, &orbit, c->savedDate.decimalYear, 0, angle,
                                   separation) != 1 ||
        !std::isfinite(*angle) || !std::isfinite(*separation))
        *angle = *separation = 0;
    *separation = std::fabs(*separation);
}

// A star placed by its orbit: the own record of an orbital system from the
// system block's place (whose proper motions become the star's), or a
// component from its reference entry. Closer than one pixel the place and
// magnitude revert to the reference and 2 is returned.
int PlaceByOrbit(ChartContext *c, DecodedStar s, bool system, ChartStar *out) {
    double refRa, refDec, refV, motionRa, motionDec;
    if (system) {
        refRa = s.system.rightAscension;
        refDec = s.system.declination;
        refV = s.system.magnitude;
        motionRa = s.system.motionRightAscension;
        motionDec = s.system.motionDeclination;
    } else {
        const double *ref = ReferenceEntry(c, s.componentRecord.referenceIndex);
        if (!ref) return 0;
        refRa = ref[0];
        refDec = ref[1];
        refV = ref[2];
        motionRa = c->systemMotionRightAscension;
        motionDec = c->systemMotionDeclination;
        c->componentLetter = s.componentRecord.letter;
        c->catalogueNumber = 0;
    }
    // a system block from a damaged file: no place, no star
    if (!std::isfinite(refRa) || !std::isfinite(refDec) || !std::isfinite(motionRa) ||
        !std::isfinite(motionDec))
        return 0;
    if (!(refV >= kBrightestMagnitude && refV <= kNoStarMagnitude)) refV = kNoStarMagnitude;
    if (!(s.v < 90)) {
        double v = system ? refV : s.componentRecord.v;
        s.v = s.brightest = s.faintest = v;
    }
    double angle, separation;
    OrbitAtChartDate(c, s.orbit, &angle, &separation);
    double sep = separation * kDeg / 3600;
    double ra, dec;
    ComputeOffsetPosition(angle * kDeg, sep, refRa, refDec, &ra, &dec);
    AppendComponentPlace(c, ra, dec, s.v);
    bool merged = sep < c->radiansPerPixel;
    if (merged) {
        ra = refRa;
        dec = refDec;
        s.v = s.brightest = s.faintest = refV;
    }
    int kind;
    if (system) {
        kind = kChartStarNamed | kChartStarDouble | kChartStarOrbit;
        if (s.code & kStarCodeVariableBit)
            kind |= kChartStarVariable | (s.secondSeries ? kChartStarSecondSeries : 0);
    } else {
        kind = ComponentKind(s);
    }
    return FinishSystemStar(c, s, ra, dec, motionRa, motionDec, merged, kind, out);
}

}  // namespace

int ChooseStarDatabase(ChartContext *chart, double field) {
    if (!chart) return 0;
    if (chart->limitingMagnitude > 10 || field < 5 * kDeg) return kStarDbMagX;
    if (chart->limitingMagnitude > 7.1 || field <= 15 * kDeg) return kStarDbMag10;
    return kStarDbMag7;
}

int ResetStarReader(ChartContext *chart) {
    if (!chart) return 0;
    CloseRegionFile(chart);
    chart->regionPosition = 0;
    chart->componentCounter = 0;
    if (chart->starDatabase != kStarDbMag10) chart->firstRegionCount = 0;
    if (chart->starDatabase != kStarDbMag7) chart->secondRegionCount = 0;
    return 1;
}

int AddStarRegionAt(ChartContext *chart, double ra, double dec) {
    if (!chart) return 0;
    int ok;
    StarRegionCode code = LocateStarRegionCode(chart->starDatabase, ra, dec, &ok);
    if (!ok) return 0;
    int16_t *&list = ActiveList(chart);
    int32_t &count = ActiveCount(chart);
    for (int32_t i = 0; i < count; ++i)
        if ((StarRegionCode)list[i] == code) return 1;
    void *grown = std::realloc(list, sizeof(int16_t) * (size_t)(count + 1));
    // the code is not added and the count stays; the caller learns that its
    // list misses a region rather than silently losing its stars
    if (!grown) return 0;
    list = static_cast<int16_t *>(grown);
    list[count++] = (int16_t)code;
    return 1;
}

void CloseStarRegion(ChartContext *chart) {
    if (!chart) return;
    CloseRegionFile(chart);
    chart->regionPosition = 0;
    chart->componentCounter = 0;
}

void EndStarSearch(ChartContext *chart) {
    if (!chart) return;
    CloseRegionFile(chart);
    CloseLabelCatalogues(chart);
    std::free(chart->firstRegions);
    std::free(chart->secondRegions);
    chart->firstRegions = chart->secondRegions = nullptr;
    chart->firstRegionCount = chart->secondRegionCount = 0;
    chart->regionPosition = 0;
    chart->componentCounter = 0;
}

int BuildStarFilePath(ChartContext *chart, char *path, size_t size, int region, int zone) {
    if (!chart || !path) return 0;
    return FormatStarFilePath(path, size, GetMapDirectory(chart->starDatabase - 1),
                              chart->starDatabase, zone, region);
}

int BeginStarSearch(ChartContext *c, double ra, double dec, double pmRa, double pmDec,
                    double field, int windowWidth, int windowHeight, int windowOffsetX,
                    int windowOffsetY, double parameter, double secondParameter, double windowAngle,
                    int projectionKind, int centring, int database, int frameMode, int topocentric,
                    int buildRegions) {
    if (!c || database < kStarDbMag7 || database > kStarDbMagX) return 0;
    c->starDatabase = (uint8_t)database;
    c->field = field;
    c->windowWidth = windowWidth;
    c->windowHeight = windowHeight;
    c->windowOffsetX = windowOffsetX;
    c->windowOffsetY = windowOffsetY;
    c->centring = (uint8_t)(centring ? 1 : 0);
    c->frameMode = (uint8_t)frameMode;
    c->topocentric = (uint8_t)(topocentric ? 1 : 0);
    PrepareChartPrecession(c);
    ChooseProjectionKind(c, projectionKind, frameMode, field);
    if (SetChartCentre(c, ra, dec, pmRa, pmDec, parameter, secondParameter, windowAngle) != 1)
        return 0;
    c->searchPrepared = 1;
    if (!buildRegions) return 1;
    ResetStarReader(c);
    int margin = 0;
    if (database == kStarDbMagX) {
        double years = std::fabs(c->savedDate.julianDate - 2451545.0) / 365.25;
        margin = (int)(years * kMotionMarginPerYear * c->pixelsPerRadian);
    }
    // the widened rectangle stays local: the window that stars are tested
    // against is the visible one
    return BuildRegions(c, c->visibleLeft - margin, c->visibleTop - margin,
                        c->visibleRight + margin, c->visibleBottom + margin, INT_MAX);
}

int BuildStarRegionsForRectangle(ChartContext *c, int left, int top, int right, int bottom) {
    if (!c || c->starDatabase < kStarDbMag7 || c->starDatabase > kStarDbMagX) return 0;
    EndStarSearch(c);
    ResetStarReader(c);
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    c->visibleLeft = left;
    c->visibleTop = top;
    c->visibleRight = right;
    c->visibleBottom = bottom;
    // every 10 pixels, or finer where the database's regions are smaller
    // than 10 pixels of this chart
    return BuildRegions(c, left, top, right, bottom, kRectangleStep);
}

int BeginStarSearchAtPoint(ChartContext *c, double ra, double dec, double pmRa, double pmDec,
                           double field, int windowWidth, int windowHeight, double parameter,
                           double secondParameter, double windowAngle, int projectionKind,
                           int database, int centring, int frameMode, int topocentric) {
    if (!c || database < kStarDbMag7 || database > kStarDbMagX || windowWidth <= 0 ||
        windowHeight <= 0)
        return 0;
    c->starDatabase = (uint8_t)database;
    // the field spans the window's height: the context keeps the width's
    // angle, so pixels per radian = height / field
    c->field = field * windowWidth / windowHeight;
    c->windowWidth = windowWidth;
    c->windowHeight = windowHeight;
    c->windowOffsetX = c->windowOffsetY = 0;
    c->centring = (uint8_t)(centring ? 1 : 0);
    c->frameMode = (uint8_t)frameMode;
    c->topocentric = (uint8_t)(topocentric ? 1 : 0);
    c->projectionKind = (uint8_t)projectionKind;
    PrepareChartPrecession(c);
    if (SetChartCentre(c, ra, dec, pmRa, pmDec, parameter, secondParameter, windowAngle) != 1)
        return 0;
    c->searchPrepared = 1;
    ResetStarReader(c);
    // the centre's region in the catalogue frame: the chart frame's centre
    // taken back (the place given moved by its motion to the chart date)
    double lon = ra, lat = dec;
    if (ConvertToChartFrame(c, &lon, &lat, pmRa, pmDec) != 1 ||
        ConvertFromChartFrame(c, &lon, &lat, 0, 0) != 1)
        return 0;
    return AddStarRegionAt(c, lon, lat) == 1 && ActiveCount(c) == 1 ? 1 : 0;
}

int ReadNextStar(ChartContext *c, ChartStar *out) {
    if (!c || !out) return -1;
    out->flag = 0;
    for (;;) {
        if (!c->regionFile) {
            int opened = OpenNextRegion(c);
            if (opened <= 0) return opened;
        }
        StarRegionWalk walk;
        walk.file = c->regionFile;
        walk.fileSize = c->regionFileSize;
        walk.bounds = {c->regionRightAscensionStart, c->regionDeclinationStart, c->regionWidth,
                       c->regionHeight, c->polarFlag};
        walk.count = c->recordsInRegion;
        walk.read = c->recordsRead;
        walk.code = c->nextCode;
        walk.withComponents = 1;
        walk.pendingComponents = c->componentCount - c->componentCounter;
        DecodedStar s;
        int r = NextStarInRegion(&walk, &s);
        if (r < 0) return -1;
        if (r == 0) {
            CloseRegionFile(c);
            continue;
        }
        c->variableMark = 0;
        if (s.component) {
            c->componentCounter++;
            // a component's V: its variable block's prediction, else its own
            s.v = VariableV(c, s, s.componentRecord.v);
            int placed = s.componentRecord.hasOrbit ? PlaceByOrbit(c, s, false, out)
                                                    : PlaceComponent(c, s, out);
            if (placed) return placed;
            continue;
        }
        c->recordsRead = walk.read;
        c->currentCode = (uint8_t)s.code;
        c->nextCode = (uint8_t)walk.code;
        s.v = VariableV(c, s, s.v);
        c->starRightAscension = s.rightAscension;
        c->starDeclination = s.declination;
        c->starMotionRightAscension = s.motionRightAscension;
        c->starMotionDeclination = s.motionDeclination;
        c->starRightAscensionTurns = s.rightAscensionTurns;
        c->starDeclinationTurns = s.declinationTurns;
        c->starV = s.v;
        c->starBrightest = s.brightest;
        c->starFaintest = s.faintest;
        c->catalogueNumber = s.catalogueNumber;
        c->guideRegion = s.guideRegion;
        c->guideNumber = s.guideNumber;
        c->componentLetter = s.componentLetter;
        c->orbitalSystemFlag = (uint8_t)s.orbitalSystem;
        c->componentCount = (uint8_t)s.componentCount;
        c->componentCounter = 0;
        if (s.orbitalSystem) {
            // the system's own star, placed by its orbit as entry 0 of the
            // table; its components follow it
            c->componentTableCount = 0;
            c->systemMotionRightAscension = s.system.motionRightAscension;
            c->systemMotionDeclination = s.system.motionDeclination;
            if (s.componentCount > 0) c->primaryCatalogueNumber = 0;
            int placed = PlaceByOrbit(c, s, true, out);
            if (placed) return placed;
            continue;
        }
        if (s.componentCount > 0) {
            // the component table starts with this star
            c->componentTable[0][0] = s.rightAscension;
            c->componentTable[0][1] = s.declination;
            c->componentTable[0][2] = s.brightest;
            c->componentTableCount = 1;
            c->primaryCatalogueNumber = s.catalogueNumber;
            c->systemMotionRightAscension = s.motionRightAscension;
            c->systemMotionDeclination = s.motionDeclination;
        }
        // the records are sorted by brightness: the first star too faint
        // ends the region, unless it is a variable (whose brightness varies)
        bool variable = (s.code & kStarCodeVariableBit) && s.code != kStarCodeGuide;
        if (!variable && s.v > c->limitingMagnitude) {
            CloseRegionFile(c);
            continue;
        }
        if (PlaceStar(c, s, out)) return 1;
    }
}

int BeginStarSearchAround(ChartContext *c, double ra, double dec, double radius, int database) {
    if (!c) return 0;
    ClearStarReader(c);
    InitLocationRecord(&c->site, 0, 0, 0, 6.5, 0, 18.3, 60, 2, 2.0, 0, "");
    SetChartTime(c, 2451544.5);  // 2000 January 1, 0h UT
    SetStarSearchLimits(c, 102.4, 10, 1, 100, 1, 0, 1, 1, 1);
    return BeginStarSearch(c, ra, dec, 0, 0, 2 * radius, 10000, 10000, 0, 0, 0, 0, 0, 1, 1,
                           database, kFrameJ2000, 0, 1);
}

int ReadNextStarWithin(ChartContext *c, double *ra, double *dec, double *magnitude) {
    if (!c) return -1;
    ChartStar star;
    for (;;) {
        int r = ReadNextStar(c, &star);
        if (r <= 0) return r;
        if (AngularSeparation(c->starRightAscension, c->starDeclination, c->centreRightAscension,
                              c->centreDeclination) <= c->field / 2) {
            if (ra) *ra = c->starRightAscension;
            if (dec) *dec = c->starDeclination;
            if (magnitude) *magnitude = c->starV;
            return r;
        }
    }
}

int GetChartStarPlace(ChartContext *c, double *ra, double *dec, double *pmRa, double *pmDec) {
    if (!c || !ra || !dec || !pmRa || !pmDec) return 0;
    *ra = c->starRightAscension;
    *dec = c->starDeclination;
    *pmRa = c->starMotionRightAscension;
    *pmDec = c->starMotionDeclination;
    return 1;
}

int GetChartStarMagnitudes(ChartContext *c, double *brightest, double *faintest) {
    if (!c || !brightest || !faintest) return 0;
    *brightest = c->starBrightest;
    *faintest = c->starFaintest;
    return 1;
}

// ---- labels ------------------------------------------------------------------------

namespace {

bool StarKindEnabled(const ChartLabelSettings *s, int kind) {
    for (int p = 0; p < kStarLabelKindCount; ++p)
        if (s->order[kFamilyStars][p] == kind && s->enable[kFamilyStars][p]) return true;
    return false;
}

// The double-star catalogue entry of a star: its system's identifier and
// the component chosen by the star's letter (' ' and 'A' are the first).
// false when the star has none or the catalogue cannot be read.
bool DoubleStarEntry(ChartContext *c, const StarRecord &r, char letter, CcdmIdentifier *id,
                     CcdmComponent *component) {
    if (r.ccdm_record <= 0) return false;
    if (!c->doubleStarCatalogue) c->doubleStarCatalogue = OpenCcdmFiles();
    if (!c->doubleStarCatalogue) return false;
    std::vector<CcdmComponent> list(kMaxCcdmComponents);
    int count = ReadCcdmRecord(static_cast<CcdmFiles *>(c->doubleStarCatalogue), r.ccdm_record,
                               nullptr, nullptr, nullptr, nullptr, nullptr, id, nullptr, nullptr,
                               nullptr, list.data(), kCcdmReadIdentifiers | kCcdmReadComponents);
    if (count <= 0) return false;
    count = std::min(count, kMaxCcdmComponents);
    int chosen = -1;
    if (letter == ' ' || letter == 'A' || letter == 0) chosen = 0;
    for (int i = 0; i < count && chosen < 0; ++i)
        if (list[(size_t)i].letter == letter) chosen = i;
    if (chosen < 0) chosen = 0;
    *component = list[(size_t)chosen];
    component->identifier[sizeof component->identifier - 1] = 0;
    return true;
}

// The text of one designation kind of a catalogue star, "" when it has none.
std::string CatalogueDesignation(ChartContext *c, const ChartLabelSettings *settings,
                                 const StarRecord &r, int kind) {
    char text[96] = "";
    uint32_t packed = r.bayer_flamsteed[0] | (uint32_t)r.bayer_flamsteed[1] << 8 |
                      (uint32_t)r.bayer_flamsteed[2] << 16;
    switch (kind) {
    case kStarLabelCommonName: {
        if (r.common_name_record <= 0) break;
        if (!c->starNameFile) c->starNameFile = OpenStarNameCatalogue();
        unsigned char record[kStarNameRecordSize];
        if (!c->starNameFile || !ReadStarNameRecord(c->starNameFile, r.common_name_record, record))
            break;
        // a name marked preferred, or any name when preference is not asked
        if (record[kStarNameRecordSize - 1] != 1 && settings->preferCommonNames) break;
        std::memcpy(text, record, kChartLabelTextMax);
        text[kChartLabelTextMax] = 0;
        break;
    }
    case kStarLabelBayer: {
        // the Greek glyph cell: character 1, the letter number, superscript + 1
        int greek = (packed >> 15) & 0x1F, superscript = (packed >> 20) & 0x0F;
        if (greek) std::snprintf(text, sizeof text, "%c%c%c", 1, greek, superscript + 1);
        break;
    }
    case kStarLabelFlamsteed:
        if (!FormatFlamsteedDesignation(text, packed)) text[0] = 0;
        break;
    case kStarLabelVariable: {
        if (r.variable_record <= 0) break;
        if (!c->variableStarFiles) c->variableStarFiles = OpenVariableStarFiles();
        VariableStarRecord v;
        if (c->variableStarFiles &&
            ReadVariableStar(static_cast<VariableStarFiles *>(c->variableStarFiles),
                             r.variable_record, &v, kVariableReadIdentifiers) == 1) {
            v.name[sizeof v.name - 1] = 0;
            std::snprintf(text, sizeof text, "%s", v.name);
        }
        break;
    }
    case kStarLabelHr:
        if (r.hr > 0) std::snprintf(text, sizeof text, "HR %d", (int)r.hr);
        break;
    case kStarLabelHd:
        if (r.hd > 0) std::snprintf(text, sizeof text, "HD %d", (int)r.hd);
        break;
    case kStarLabelSao:
        if (r.sao > 0) std::snprintf(text, sizeof text, "SAO %d", (int)r.sao);
        break;
    case kStarLabelPpm:
        if (r.ppm > 0) std::snprintf(text, sizeof text, "PPM %d", (int)r.ppm);
        break;
    case kStarLabelHip:
        if (r.hip > 0) std::snprintf(text, sizeof text, "HIP %d", (int)r.hip);
        break;
    case kStarLabelBd:
    case kStarLabelCd:
    case kStarLabelCp: {
        const DurchmusterungBlock &dm =
            kind == kStarLabelBd ? r.bd : kind == kStarLabelCd ? r.cd : r.cp;
        if (dm.number > 0 &&
            !FormatDurchmusterungDesignation(text, kind - kStarLabelBd + 1, dm.zone, dm.sign,
                                             dm.number, dm.suffix))
            text[0] = 0;
        break;
    }
    case kStarLabelGc:
        if (r.gc > 0) std::snprintf(text, sizeof text, "GC %d", (int)r.gc);
        break;
    case kStarLabelDoubleName:
    case kStarLabelAds:
    case kStarLabelCcdm: {
        CcdmIdentifier id;
        CcdmComponent component;
        if (!DoubleStarEntry(c, r, c->componentLetter, &id, &component)) break;
        if (kind == kStarLabelDoubleName) {
            std::snprintf(text, sizeof text, "%s", component.identifier);
        } else if (kind == kStarLabelAds) {
            if (component.adsNumber > 0) std::snprintf(text, sizeof text, "ADS %d", (int)component.adsNumber);
        } else {
            CcdmNumber number = {id.first, id.second, id.sign};
            FormatCcdmDesignation(text, number);
        }
        break;
    }
    case kStarLabelNsv:
        if (r.nsv > 0) std::snprintf(text, sizeof text, "NSV %d", (int)r.nsv);
        break;
    case kStarLabelTycho:
        if (r.tycho_region > 0 && r.tycho_component != 0)
            FormatTychoDesignation(text, r.tycho_region, r.tycho_number, r.tycho_component);
        break;
    case kStarLabelGuideStar:
        // a star of the catalogue known by a guide-star identifier only
        if ((r.tycho_region != 0 || r.tycho_number != 0) && r.tycho_component == 0)
            FormatGscDesignation(text, r.tycho_region, r.tycho_number);
        break;
    case kStarLabelCoordinates:
        FormatJDesignation(text, c->starRightAscension, c->starDeclination);
        break;
    default:
        break;
    }
    // trailing blanks of fixed-width name fields are not part of the label
    std::string out(text);
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

}  // namespace

int SetStarLabelKinds(ChartContext *chart, const ChartLabelSettings *settings) {
    if (!chart || !settings) return 0;
    chart->guideStarLabels = StarKindEnabled(settings, kStarLabelGuideStar) ? 1 : 0;
    chart->coordinateLabels = StarKindEnabled(settings, kStarLabelCoordinates) ? 1 : 0;
    return 1;
}

int FormatChartStarLabel(ChartContext *c, const ChartLabelSettings *s, const ChartStar *star,
                         ChartLabel *label) {
    if (!c || !s || !star || !label) return 0;
    label->x = label->y = label->value = 0;
    std::memset(label->text, 0, sizeof label->text);
    const int f = kFamilyStars;
    bool inWindow = !s->magnitudeWindow[f] ||
                    (c->starBrightest <= s->faintBound[f] && c->starFaintest >= s->brightBound[f]);
    bool letters = (s->leading[1] & 0x20) != 0;
    char letter = c->componentLetter;
    std::string text;
    if (!inWindow) {
        if (letters && letter != ' ' && letter) text = std::string(1, letter);
    } else {
        bool found = false;
        if (c->catalogueNumber > 0 && s->firstSwitch[f] && s->secondSwitch[f]) {
            if (!c->starCatalogueFile) c->starCatalogueFile = OpenStarCatalogue();
            if (!c->starCatalogueFile) return 0;
            StarRecord r;
            if (ReadStarRecord(c->starCatalogueFile, c->catalogueNumber, &r, nullptr,
                               kStarReadIdentifiers) < 1)
                return 0;
            for (int p = 0; p < kStarLabelKindCount && !found; ++p) {
                if (!s->enable[f][p]) continue;
                text = CatalogueDesignation(c, s, r, s->order[f][p]);
                found = !text.empty();
            }
            if (found && letters && letter != 'A' && letter != ' ' && letter) text += std::string(" ") + letter;
        } else if (c->catalogueNumber <= 0) {
            if ((star->kind & kChartStarGuide) && StarKindEnabled(s, kStarLabelGuideStar)) {
                char gsc[32];
                // the guide-star record's identifier
                std::snprintf(gsc, sizeof gsc, "GSC %04d-%04d", (int)c->guideRegion,
                              (int)c->guideNumber);
                text = gsc;
            } else if ((star->kind & (kChartStarColoured | kChartStarFaint)) &&
                       StarKindEnabled(s, kStarLabelCoordinates)) {
                char j[kJDesignationSize];
                text = FormatJDesignation(j, c->starRightAscension, c->starDeclination);
            }
            if (letters && letter != ' ' && letter) text += text.empty() ? std::string(1, letter)
                                                                        : std::string(" ") + letter;
        }
        if (s->magnitudeSuffix[f]) {
            double scaled = c->starV * 10;
            int tenths = (int)(scaled < 0 ? std::ceil(scaled - 0.5) : std::floor(scaled + 0.5));
            char suffix[32];
            std::snprintf(suffix, sizeof suffix, text.empty() ? "%d" : " (%d)", tenths);
            text += suffix;
        }
    }
    // bounded: at most 32 characters and the NUL
    std::snprintf(label->text, sizeof label->text, "%s", text.c_str());
    return label->text[0] != 0;
}
