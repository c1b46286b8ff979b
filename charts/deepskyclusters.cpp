// The open-cluster and globular-cluster layers (oc.bin, 57-byte records;
// glob.bin, 43-byte records).
#include <cmath>
#include <cstdio>
#include <cstring>

#include "charts/chartcontext.h"
#include "charts/deepskyitem.h"
#include "charts/deepskylayers.h"
#include "charts/deepskyshared.h"
#include "core/mathutil.h"
#include "objects/clustercat.h"
#include "objects/objectrecord.h"

using namespace deepsky;

namespace {

const int kOpenRecord = 57;
const int kGlobularRecord = 43;
const double kOpenDefaultMagnitude = 14.0;
const double kVisualSlack = 2.0;
const double kImagingSlack = 3.0;
const double kOpenVisibleShare = 0.75;  // of the diameter, for the contrast test
const int kOpenPositions = 57;
const int kGlobularPositions = 7;
const int kDesignationSlots = 5;
const int kLastCatalogueKind = 55;      // kinds 1-55: catalogue rows 0-54
const int kOclKind = 56;

enum { kGlobCommonName, kGlobMessier, kGlobNgc, kGlobIc, kGlobPalomar, kGlobTerzan, kGlobDiscovery };

double Slack(const ChartContext *c) {
    if (!VisualFilterActive(c)) return 0;
    return c->imagingFilterOn ? kImagingSlack : kVisualSlack;
}

void OpenText(const void *record, int kind, char *b) {
    const uint8_t *r = static_cast<const uint8_t *>(record);
    const int size = 72;
    if (kind == 0) {
        if (r[15] != kNoByte) CommonName(r[15], b);
        return;
    }
    if (kind >= 1 && kind <= kLastCatalogueKind) {
        for (int k = 0; k < kDesignationSlots; ++k) {
            int number = Int16(r + 5 + 2 * k);
            if (number == 0) break;  // the list ends at the first number 0
            if (r[k] + 1 == kind) {
                FormatOpenClusterCatalogueNumber(r[k], number, b);
                return;
            }
        }
        if (kind == kLastCatalogueKind && r[36]) {
            char other[22];
            std::memcpy(other, r + 36, 21);
            other[21] = '\0';
            std::snprintf(b, size, "%s", other);
        }
        return;
    }
    if (kind == kOclKind) {
        int tenths = Int16(r + 24);
        if (tenths == 0) return;
        // a whole value drops its ".0": OCL 1230 tenths reads "OCL 123"
        if (tenths % 10 == 0) std::snprintf(b, size, "OCL %d", tenths / 10);
        else std::snprintf(b, size, "OCL %.1f", tenths / 10.0);
    }
}

void GlobularText(const void *record, int kind, char *b) {
    const uint8_t *r = static_cast<const uint8_t *>(record);
    const int size = 72;
    switch (kind) {
    case kGlobCommonName: if (r[5] != kNoByte) CommonName(r[5], b); break;
    case kGlobMessier: if (r[4]) std::snprintf(b, size, "M%d", r[4]); break;
    case kGlobNgc: if (Int16(r)) std::snprintf(b, size, "%d", Int16(r)); break;
    case kGlobIc: if (Int16(r + 2)) std::snprintf(b, size, "IC %d", Int16(r + 2)); break;
    case kGlobPalomar: if (Int16(r + 6)) std::snprintf(b, size, "Palomar %d", Int16(r + 6)); break;
    case kGlobTerzan: if (Int16(r + 8)) std::snprintf(b, size, "Terzan %d", Int16(r + 8)); break;
    case kGlobDiscovery: {
        char text[19];
        std::memcpy(text, r + 25, 18);
        text[18] = '\0';
        std::snprintf(b, size, "%s", text);
        break;
    }
    default: break;
    }
}

}  // namespace

int BeginOpenClusterLayer(ChartContext *chart, double magnitudeLimit) {
    if (!chart) return 0;
    return OpenLayer(chart, OpenOpenClusterCatalogue(), magnitudeLimit, 0);
}

int ReadNextOpenCluster(ChartContext *c, const ChartLabelSettings *s, DeepSkyPlotItem *item) {
    if (!c || !item || !c->layerFile) return -1;
    uint8_t r[kOpenRecord];
    // the record count is the file's: a generated file may hold fewer clusters
    while (ReadRecord(c, r, sizeof r)) {
        int index = c->layerRecordCounter++;  // the cluster's index in the catalogue, from 0
        double ra = Float32(r + 16), dec = Float32(r + 20);
        if (ra == 0 && dec == 0) continue;
        double mag = r[26] == kNoByte ? kOpenDefaultMagnitude : r[26] / 10.0;
        bool selected = IsSelected(c, kClassOpenCluster, index);
        if (!selected && mag > c->layerMagnitudeLimit + Slack(c)) continue;
        if (!PlaceItem(c, ra, dec, &mag, item)) continue;
        if (!selected && mag > c->layerMagnitudeLimit) continue;
        double diameter = UInt16(r + 34) / 10.0;  // arcminutes
        CircleSymbol(c, 0.5 * diameter * kArcminute, item);
        if (!IsPlotItemInWindow(c, item)) continue;
        item->label[0] = '\0';
        if (VisualFilterActive(c) && !selected && item->majorSize > 0 && !c->imagingFilterOn &&
            !PassesVisual(c, mag, kOpenVisibleShare * diameter, kOpenVisibleShare * diameter))
            continue;
        item->magnitude = mag;
        item->secondMagnitude = 0;
        BuildLabel(s, kFamilyOpenClusters, kOpenPositions, r, OpenText, mag, item->label);
        // numbered from 1 like every layer: 0 stays the end of the layer
        return index + 1;
    }
    return 0;
}

int BeginGlobularClusterLayer(ChartContext *chart, double magnitudeLimit) {
    if (!chart) return 0;
    return OpenLayer(chart, OpenGlobularClusterCatalogue(), magnitudeLimit, 0);
}

int ReadNextGlobularCluster(ChartContext *c, const ChartLabelSettings *s, DeepSkyPlotItem *item) {
    if (!c || !item || !c->layerFile) return 0;
    uint8_t r[kGlobularRecord];
    while (ReadRecord(c, r, sizeof r)) {
        int number = ++c->layerRecordCounter;
        int32_t rawRa = Int32(r + 10), rawDec = Int32(r + 14);
        if (rawRa == 0 && rawDec == 0) continue;
        double mag = r[24] / 10.0;  // always present (255 would read as 25.5)
        bool selected = IsSelected(c, kClassGlobularCluster, number);
        // the bare limit holds for a selected cluster too
        if (mag > c->layerMagnitudeLimit) continue;
        if (!PlaceItem(c, rawRa * kTurn, rawDec * kTurn, &mag, item)) continue;
        if (!selected && mag > c->layerMagnitudeLimit + Slack(c)) continue;
        double diameter = UInt16(r + 18) / 10.0;
        CircleSymbol(c, 0.5 * diameter * kArcminute, item);
        if (!IsPlotItemInWindow(c, item)) continue;
        item->label[0] = '\0';
        if (VisualFilterActive(c) && !selected && item->majorSize > 0 && !c->imagingFilterOn &&
            !PassesVisual(c, mag, diameter, diameter))
            continue;
        item->magnitude = mag;
        item->secondMagnitude = 0;
        BuildLabel(s, kFamilyGlobularClusters, kGlobularPositions, r, GlobularText, mag, item->label);
        return number;
    }
    return 0;
}
