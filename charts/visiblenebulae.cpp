// Outlines of the large visible nebulae: for each nebula that passes the
// magnitude and visibility tests and whose box overlaps the window, a label
// point (with the symbol size) and then its closed outline.
//
// The file holds no record count: the records run from offset 0 up to the
// first outline (no record may start at or beyond the lowest outline offset
// seen), and never beyond 120 records or the file's end.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/airmass.h"
#include "astro/frames.h"
#include "charts/chartcontext.h"
#include "charts/chartgeometry.h"
#include "charts/outlinelayers.h"
#include "core/datapaths.h"
#include "core/mathutil.h"
#include "instruments/instrumentrecord.h"
#include "objects/dsotexts.h"
#include "objects/dsoxref.h"
#include "photometry/contrastthreshold.h"
#include "sites/observerstore.h"
#include "visibility/contrastmodel.h"
#include "visibility/imagingeval.h"

namespace {

const char *const kVisibleNebulaFile = "visneb.bin";
const double kNoMagnitude = 90.0;
const double kDefaultMagnitude = 15.0;
const double kVisualSlack = 5.0;
const double kLabelSizeFactor = 1.25;
const double kRadiansToArcmin = 180 * 60 / kPi;
const double kInchesPerMillimetre = 0.03937;
const double kNebulaColourIndex = 0.5;
const double kImagingThreshold = 2.5;
const int kRatingNotVisible = 6;
const int kBrightNebulaClass = 9;
const int kPointSize = 8;
const int kNoneChosen = -1;   // pointIndex: the next call chooses a nebula
const int kBrightNebulaPositions = 10;

// Kinds of the bright-nebula designation order.
enum {
    kKindCommonName, kKindMessier, kKindNgc, kKindIc, kKindSharpless, kKindVdb, kKindGum,
    kKindRcw, kKindLbn, kKindOther
};

int Fail(ChartGrid *g) {
    CloseOutlineFile(g);
    return -1;
}

// One designation of the record, or "" when it has none of that kind.
void Designation(const VisibleNebulaRecord &r, int kind, char *text, size_t size) {
    char buffer[72] = "";
    switch (kind) {
    case kKindCommonName:
        if (r.commonName != 255) {
            FILE *f = OpenCommonNames();
            char name[32] = "";
            if (f && ReadCommonName(f, r.commonName, name) == 1) std::snprintf(buffer, sizeof buffer, "%s", name);
            if (f) std::fclose(f);
        }
        break;
    case kKindMessier: if (r.messier) std::snprintf(buffer, sizeof buffer, "M%d", r.messier); break;
    case kKindNgc: if (r.ngc > 0) FormatNgcDesignation(buffer, r.ngc, 0); break;
    case kKindIc: if (r.ic > 0) FormatIcDesignation(buffer, r.ic, 0); break;
    case kKindSharpless: if (r.sharpless) std::snprintf(buffer, sizeof buffer, "Sh 2-%d", r.sharpless); break;
    case kKindVdb: if (r.vdb) std::snprintf(buffer, sizeof buffer, "vdB %d", r.vdb); break;
    case kKindGum: if (r.gum) std::snprintf(buffer, sizeof buffer, "Gum %d", r.gum); break;
    case kKindRcw: if (r.rcw) std::snprintf(buffer, sizeof buffer, "RCW %d", r.rcw); break;
    case kKindLbn: if (r.lbn) std::snprintf(buffer, sizeof buffer, "LBN %d", r.lbn); break;
    case kKindOther: {
        char other[sizeof r.other + 1];
        std::memcpy(other, r.other, sizeof r.other);
        other[sizeof r.other] = '\0';
        std::snprintf(buffer, sizeof buffer, "%s", other);
        break;
    }
    default: break;
    }
    // a longer designation is cut to the label's width
    size_t n = std::strlen(buffer);
    if (n > size - 1) n = size - 1;
    std::memcpy(text, buffer, n);
    text[n] = '\0';
}

void BuildLabel(const ChartLabelSettings *s, const VisibleNebulaRecord &r, double magnitude, char *label) {
    label[0] = '\0';
    const int f = kFamilyBrightNebulae;
    if (!s || !s->firstSwitch[f]) return;
    bool admitted = !s->magnitudeWindow[f] || (magnitude >= s->brightBound[f] && magnitude <= s->faintBound[f]);
    if (!admitted) return;
    for (int p = 0; p < kBrightNebulaPositions && !label[0]; ++p) {
        if (!s->enable[f][p]) continue;
        Designation(r, s->order[f][p], label, kVisibleNebulaLabelSize);
    }
    if (label[0] && s->magnitudeSuffix[f]) {
        size_t n = std::strlen(label);
        std::snprintf(label + n, kVisibleNebulaLabelSize - n, " (%ld)", std::lround(magnitude * 10));
    }
}

// The visibility tests of a nebula with a size (visual filter active).
bool Visible(ChartContext *c, const VisibleNebulaRecord &r) {
    const OpticsBlock *optics = c->filterOptics;
    double sizeArcmin = r.size * kRadiansToArcmin;
    double ha = GetHourAngle(&c->savedDate, r.labelRightAscension, kApparentSiderealTime);
    double altitude = ComputeAltitude(&c->site, ha, r.labelDeclination);
    double sb = ComputeApertureClassSurfaceBrightness(r.apertureClass, sizeArcmin, optics->magnification);
    if (c->imagingFilterOn) {
        double snr = EvaluateExtendedImaging(&c->site, &c->savedDate, optics, c->camera, c->cameraFilter,
                                             &c->sunMoon, sb, kNebulaColourIndex, c->exposure,
                                             c->imagingOption, nullptr, nullptr, nullptr);
        return snr >= kImagingThreshold;
    }
    double margin = ComputeSurfaceBrightnessMargin(
        sb + ComputeExtinction(c->extinctionCoefficient, altitude), sizeArcmin, c->filterMagnitude,
        optics->aperture * kInchesPerMillimetre, optics->magnification);
    double experience = c->filterObserver ? c->filterObserver->experience : 0;
    return GetVisibilityRatingIndex(margin, experience) < kRatingNotVisible;
}

// Reads records until one passes: 1 with the record, 0 at the end.
int ChooseNebula(ChartContext *c, ChartGrid *g, VisibleNebulaRecord *out, double *magnitude) {
    const FrameExtent &e = g->extents[kIndexJ2000];
    for (;;) {
        int64_t start = (int64_t)g->outlineIndex * kVisibleNebulaRecordSize;
        if (g->outlineIndex >= kVisibleNebulaLimit || start + kVisibleNebulaRecordSize > g->subStepCounter)
            return 0;
        VisibleNebulaRecord r;
        if (std::fseek(g->outlineFile, (long)start, SEEK_SET) != 0 ||
            std::fread(&r, 1, sizeof r, g->outlineFile) != sizeof r)
            return -1;
        ++g->outlineIndex;
        // outlines are stored after the records: none may start before a record ends
        if ((int64_t)r.outlineOffset < g->subStepCounter && r.pointCount > 0)
            g->subStepCounter = (int32_t)r.outlineOffset;
        if (r.pointCount == 0) continue;
        if ((int64_t)r.outlineOffset + ((int64_t)r.pointCount + 1) * kPointSize > g->outlineFileSize)
            return -1;
        bool selected = c->layerFlag ||
                        (c->selectedObjectType == kBrightNebulaClass && c->selectedObjectIndex == r.nebulaNumber);
        double mag = r.magnitude > kNoMagnitude ? kDefaultMagnitude : r.magnitude;
        double slack = c->filterOptics ? kVisualSlack : 0;
        if (!(mag <= c->layerMagnitudeLimit + slack) && !selected) continue;
        double ra1 = r.boxRightAscension[0], ra2 = r.boxRightAscension[1];
        if (ra2 < ra1) ra2 += 2 * kPi;
        if (!RangesOverlap(ra1, ra2, r.boxDeclination[0], r.boxDeclination[1], e.longitudeMin,
                           e.longitudeMax, e.latitudeMin, e.latitudeMax))
            continue;
        if (c->filterOptics && r.size > 0 && !selected && !Visible(c, r)) continue;
        *out = r;
        *magnitude = mag;
        return 1;
    }
}

}  // namespace

int BeginVisibleNebulae(ChartContext *chart, double magnitudeLimit, ChartGrid *grid) {
    if (!chart || !grid) return 0;
    CloseOutlineFile(grid);
    FILE *f = OpenMapDirectoryFile(kVisibleNebulaFile, 0, "rb");
    if (!f) return 0;
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    if (size < 0 || size > 0x7fffffffL) {
        std::fclose(f);
        return 0;
    }
    grid->outlineFile = f;
    grid->outlineFileSize = (int32_t)size;
    grid->subStepCounter = (int32_t)size;  // where the records end (the lowest outline offset)
    grid->outlineIndex = 0;
    grid->pointIndex = kNoneChosen;
    chart->layerMagnitudeLimit = magnitudeLimit;
    chart->layerRecordCounter = -1;  // the last labelled nebula
    return 1;
}

int NextVisibleNebulaPoint(ChartContext *chart, const ChartLabelSettings *settings, ChartGrid *grid,
                           int *x, int *y, int *size, char *label) {
    if (!chart || !grid || !x || !y || !grid->outlineFile) return -1;
    if (label) label[0] = '\0';
    if (grid->pointIndex == kNoneChosen) {
        VisibleNebulaRecord r;
        double magnitude = 0;
        int chosen = ChooseNebula(chart, grid, &r, &magnitude);
        if (chosen < 0) return Fail(grid);
        if (chosen == 0) {
            CloseOutlineFile(grid);
            return kPenEnd;
        }
        if (std::fseek(grid->outlineFile, (long)r.outlineOffset, SEEK_SET) != 0) return Fail(grid);
        grid->pointIndex = 0;
        grid->outlinePosition[0] = r.pointCount;  // the points of this outline
        if (label && r.nebulaNumber != chart->layerRecordCounter) {
            BuildLabel(settings, r, magnitude, label);
            chart->layerRecordCounter = r.nebulaNumber;
        }
        double ra = r.labelRightAscension, dec = r.labelDeclination;
        int px = 0, py = 0;
        if (size) *size = (int)std::lround(kLabelSizeFactor * r.size * chart->pixelsPerRadian);
        if (ConvertToChartFrame(chart, &ra, &dec, 0, 0) != 1 ||
            !ProjectToChart(grid->projection, ra, dec, &px, &py))
            return kPenNotProjectable;
        MirrorGridPixel(chart, grid, &px, &py);
        *x = px;
        *y = py;
        return kOutlineLabelPen;
    }
    int count = (int)grid->outlinePosition[0];
    float p[2];
    if (std::fread(p, 1, sizeof p, grid->outlineFile) != sizeof p) return Fail(grid);
    int index = grid->pointIndex++;
    if (index >= count) grid->pointIndex = kNoneChosen;  // the closing point ends the outline
    double ra = p[0], dec = p[1];
    int px = 0, py = 0;
    if (ConvertToChartFrame(chart, &ra, &dec, 0, 0) != 1 ||
        !ProjectToChart(grid->projection, ra, dec, &px, &py))
        return kPenNotProjectable;
    MirrorGridPixel(chart, grid, &px, &py);
    *x = px;
    *y = py;
    if (index >= count) return kPenIntersection;
    return index == 0 ? kPenMove : kPenDraw;
}
