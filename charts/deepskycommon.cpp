// The parts the deep-sky layers share: the layer file, placing and sizing
// an object, labels, and the visibility tests through the chart's visual or
// imaging filter.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/airmass.h"
#include "astro/frames.h"
#include "charts/chartcontext.h"
#include "charts/deepskyitem.h"
#include "charts/deepskylayers.h"
#include "charts/deepskyshared.h"
#include "core/mathutil.h"
#include "instruments/instrumentrecord.h"
#include "objects/dsoxref.h"
#include "photometry/contrastthreshold.h"
#include "sites/observerstore.h"
#include "visibility/contrastmodel.h"
#include "visibility/imagingeval.h"

namespace {

const double kInchesPerMillimetre = 0.03937;
const int kDesignationBuffer = 72;

}  // namespace

void CloseChartLayerFile(ChartContext *chart) {
    if (!chart) return;
    if (chart->layerFile) {
        std::fclose(chart->layerFile);
        chart->layerFile = nullptr;
    }
    std::free(chart->galaxyRegions);
    chart->galaxyRegions = nullptr;
    // the position stays: a mag7 chart's single galaxy file is not read twice
    chart->galaxyRegionCount = 0;
}

int IsPlotItemInWindow(const ChartContext *chart, const DeepSkyPlotItem *item) {
    if (!chart || !item) return 0;
    int s = item->majorSize > item->minorSize ? item->majorSize : item->minorSize;
    const int xs[5] = {item->x, item->x + s, item->x - s, item->x, item->x};
    const int ys[5] = {item->y, item->y, item->y, item->y + s, item->y - s};
    for (int k = 0; k < 5; ++k) {
        if (xs[k] >= chart->visibleLeft && xs[k] <= chart->visibleRight && ys[k] >= chart->visibleTop &&
            ys[k] <= chart->visibleBottom)
            return 1;
    }
    return 0;
}

double ComputeSurfaceBrightness(double magnitude, double a, double b) {
    // Without an area the chart shows the magnitude itself.
    if (!(a > 0) || !(b > 0)) return magnitude;
    return ComputeObjectSurfaceBrightness(magnitude, a, b);
}

void AppendMagnitudeSuffix(char *label, int size, double magnitude) {
    if (!label || size <= 0) return;
    size_t n = std::strlen(label);
    if ((int)n >= size - 1) return;
    std::snprintf(label + n, size - n, " (%ld)", std::lround(magnitude * 10));
}

namespace deepsky {

int32_t Int32(const uint8_t *p) {
    return (int32_t)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24);
}
int16_t Int16(const uint8_t *p) { return (int16_t)(p[0] | p[1] << 8); }
uint16_t UInt16(const uint8_t *p) { return (uint16_t)(p[0] | p[1] << 8); }
float Float32(const uint8_t *p) {
    float f;
    std::memcpy(&f, p, sizeof f);
    return f;
}

int OpenLayer(ChartContext *c, void *file, double magnitudeLimit, int counter) {
    CloseChartLayerFile(c);
    c->layerFile = static_cast<FILE *>(file);
    c->layerMagnitudeLimit = magnitudeLimit;
    c->layerRecordCounter = counter;
    return c->layerFile ? 1 : 0;
}

bool ReadRecord(ChartContext *c, uint8_t *record, size_t size) {
    if (!c->layerFile) return false;
    if (std::fread(record, 1, size, c->layerFile) != size) {
        CloseChartLayerFile(c);
        return false;
    }
    return true;
}

bool IsSelected(const ChartContext *c, int classCode, int index) {
    return c->layerFlag || (c->selectedObjectType == classCode && c->selectedObjectIndex == index);
}

bool PlaceItem(ChartContext *c, double ra, double dec, double *magnitude, DeepSkyPlotItem *item) {
    if (ConvertToChartFrame(c, &ra, &dec, 0, 0, magnitude) != 1) return false;
    int x = 0, y = 0;
    if (!ProjectToChart(&c->projection, ra, dec, &x, &y)) return false;
    MirrorChartPixel(c, &x, &y);
    item->x = x;
    item->y = y;
    return true;
}

void CircleSymbol(const ChartContext *c, double radius, DeepSkyPlotItem *item) {
    item->majorSize = (int32_t)std::lround(radius * c->pixelsPerRadian);
    item->minorSize = 0;
}

bool LabelWanted(const ChartLabelSettings *s, int family, double magnitude) {
    if (!s || !s->firstSwitch[family]) return false;
    return !s->magnitudeWindow[family] ||
           (magnitude >= s->brightBound[family] && magnitude <= s->faintBound[family]);
}

void BuildLabel(const ChartLabelSettings *s, int family, int positions, const void *record,
                DesignationText text, double magnitude, char *label) {
    label[0] = '\0';
    if (!LabelWanted(s, family, magnitude)) return;
    for (int p = 0; p < positions; ++p) {
        if (!s->enable[family][p]) continue;
        char buffer[kDesignationBuffer] = "";
        text(record, s->order[family][p], buffer);
        if (!buffer[0]) continue;
        // a longer designation is cut to the label's width
        size_t n = std::strlen(buffer);
        if (n > (size_t)kDeepSkyLabelSize - 1) n = kDeepSkyLabelSize - 1;
        std::memcpy(label, buffer, n);
        label[n] = '\0';
        break;
    }
    if (label[0] && s->magnitudeSuffix[family]) AppendMagnitudeSuffix(label, kDeepSkyLabelSize, magnitude);
}

void CommonName(int number, char *buffer) {
    buffer[0] = '\0';
    FILE *f = OpenCommonNames();
    if (!f) return;
    char name[kCommonNameSize] = "";
    if (ReadCommonName(f, number, name) == 1) {
        name[kCommonNameSize - 1] = '\0';
        std::memcpy(buffer, name, kCommonNameSize);
    }
    std::fclose(f);
}

bool VisualFilterActive(const ChartContext *c) { return c->filterOptics != nullptr; }

bool PassesVisual(ChartContext *c, double magnitude, double majorArcmin, double minorArcmin) {
    const OpticsBlock *o = c->filterOptics;
    double margin = ComputeDsoVisibilityMargin(magnitude, majorArcmin, minorArcmin, c->filterMagnitude,
                                               o->aperture * kInchesPerMillimetre, o->magnification);
    double experience = c->filterObserver ? c->filterObserver->experience : 0;
    return GetVisibilityRatingIndex(margin, experience) < kRatingNotVisible;
}

bool PassesImaging(ChartContext *c, double surfaceBrightness) {
    double snr = EvaluateExtendedImaging(&c->site, &c->savedDate, c->filterOptics, c->camera,
                                         c->cameraFilter, &c->sunMoon, surfaceBrightness, kColourIndex,
                                         c->exposure, c->imagingOption, nullptr, nullptr, nullptr);
    return snr >= kImagingThreshold;
}

bool PassesApertureClass(ChartContext *c, int apertureClass, double minorArcmin, double ra, double dec) {
    const OpticsBlock *o = c->filterOptics;
    double ha = GetHourAngle(&c->savedDate, ra, kApparentSiderealTime);
    double altitude = ComputeAltitude(&c->site, ha, dec);
    double sb = ComputeApertureClassSurfaceBrightness(apertureClass, minorArcmin, o->magnification);
    if (c->imagingFilterOn) return PassesImaging(c, sb);
    double margin = ComputeSurfaceBrightnessMargin(sb + ComputeExtinction(c->extinctionCoefficient, altitude),
                                                   minorArcmin, c->filterMagnitude,
                                                   o->aperture * kInchesPerMillimetre, o->magnification);
    double experience = c->filterObserver ? c->filterObserver->experience : 0;
    return GetVisibilityRatingIndex(margin, experience) < kRatingNotVisible;
}

}  // namespace deepsky
