// The planetary-nebula layer (pln.bin, 73-byte records) and the galaxy-group
// layer (gg.bin, 27-byte records after a 4-byte header).
#include <cmath>
#include <cstdio>
#include <cstring>

#include "charts/chartcontext.h"
#include "charts/deepskyitem.h"
#include "charts/deepskylayers.h"
#include "charts/deepskyshared.h"
#include "core/mathutil.h"
#include "objects/dsotexts.h"
#include "objects/groupcat.h"
#include "objects/objectrecord.h"
#include "objects/pncat.h"

using namespace deepsky;

namespace {

const int kPnRecord = 73;
const int kGroupRecord = 27;
const double kPnDefaultMagnitude = 16.0;
const double kPnFaintest = 20.0;
const double kPnSlack = 4.0;
const double kArcsecondsPerArcminute = 60.0;
const int kPnPositions = 14;
const double kGroupDefaultMagnitude = 20.0;
const double kGroupSlack = 5.0;
const double kGroupRadiusFactor = 1.5;
const double kMemberAxisShare = 0.8;
const double kMemberAxisUnit = 1 / 62.0;  // arcminutes
const int kGroupPositions = 3;
const double kNoSecondMagnitude = 99.9;

enum {
    kPnCommonName, kPnMessier, kPnNgc, kPnIc, kPnAbell, kPnMinkowski, kPnHenize, kPnHaro,
    kPnKohoutek, kPnPnG, kPnPk, kPnAro, kPnEso, kPnDiscovery
};
enum { kGroupCommonName, kGroupAco, kGroupHickson };

void PnText(const void *record, int kind, char *b) {
    const uint8_t *r = static_cast<const uint8_t *>(record);
    const int size = 72;
    switch (kind) {
    case kPnCommonName: if (r[39]) CommonName(r[39] - 1, b); break;  // stored plus one
    case kPnMessier: if (r[38]) std::snprintf(b, size, "M%d", r[38]); break;
    case kPnNgc: if (UInt16(r + 34)) std::snprintf(b, size, "%d", UInt16(r + 34)); break;
    case kPnIc: if (Int16(r + 36) > 0) FormatIcDesignation(b, Int16(r + 36), 0); break;
    case kPnAbell: if (r[50]) std::snprintf(b, size, "Abell %d", r[50]); break;
    case kPnMinkowski: if (UInt16(r + 42)) std::snprintf(b, size, "M %d-%d", r[42], r[43]); break;
    case kPnHenize: {
        uint32_t v = (uint32_t)Int32(r + 44);
        const uint32_t lists[3] = {v >> 22 & 0x3ff, v >> 11 & 0x7ff, v & 0x7ff};
        for (int k = 0; k < 3; ++k) {
            if (lists[k]) {
                std::snprintf(b, size, "He %d-%u", k + 1, lists[k]);
                break;
            }
        }
        break;
    }
    case kPnHaro: if (UInt16(r + 40)) std::snprintf(b, size, "H %d-%d", r[40], r[41]); break;
    case kPnKohoutek: if (UInt16(r + 48)) std::snprintf(b, size, "K %d-%d", r[48], r[49]); break;
    case kPnPnG:
        if (Int16(r) || Int16(r + 2)) FormatPnGDesignation(b, Int16(r) / 10.0, Int16(r + 2) / 10.0, (char)r[70]);
        break;
    case kPnPk: {
        uint32_t v = (uint32_t)Int32(r + 30);
        int32_t pk[2] = {(int32_t)(v & 0x1ff), (int32_t)(v >> 10 & 0x3ff)};
        if (pk[1]) FormatPkDesignation(b, pk, (v & 0x200) ? '+' : '-');
        break;
    }
    case kPnAro: if (UInt16(r + 55)) std::snprintf(b, size, "ARO %d", UInt16(r + 55)); break;
    case kPnEso: {
        uint32_t v = (uint32_t)Int32(r + 51);
        if (v) std::snprintf(b, size, "ESO %u-%u", v & 0xffff, v >> 16);
        break;
    }
    case kPnDiscovery: {
        char text[18];
        std::memcpy(text, r + 13, 17);
        text[17] = '\0';
        std::snprintf(b, size, "%s", text);
        break;
    }
    default: break;
    }
}

void GroupText(const void *record, int kind, char *b) {
    const uint8_t *r = static_cast<const uint8_t *>(record);
    const int size = 72;
    switch (kind) {
    case kGroupCommonName: if (r[11] != kNoByte) CommonName(r[11], b); break;
    case kGroupAco: if (Int16(r + 8)) std::snprintf(b, size, "ACO %d", Int16(r + 8)); break;
    case kGroupHickson: if (r[10]) std::snprintf(b, size, "Hickson %d", r[10]); break;
    default: break;
    }
}

}  // namespace

int BeginPlanetaryNebulaLayer(ChartContext *chart, double magnitudeLimit) {
    if (!chart) return 0;
    return OpenLayer(chart, OpenPlanetaryNebulaCatalogue(), magnitudeLimit, 0);
}

int ReadNextPlanetaryNebula(ChartContext *c, const ChartLabelSettings *s, DeepSkyPlotItem *item) {
    if (!c || !item || !c->layerFile) return -1;
    uint8_t r[kPnRecord];
    while (ReadRecord(c, r, sizeof r)) {
        int number = ++c->layerRecordCounter;
        int32_t rawRa = Int32(r + 4), rawDec = Int32(r + 8);
        if (rawRa == 0 && rawDec == 0) continue;
        double mag = r[59] == kNoByte ? kPnDefaultMagnitude : r[59] / 10.0;
        if (mag > kPnFaintest) mag = kPnFaintest;
        bool selected = IsSelected(c, kClassPlanetaryNebula, number);
        double slack = VisualFilterActive(c) ? kPnSlack : 0;
        // a selected nebula is held to the bare limit below, not let through here
        if (mag > c->layerMagnitudeLimit + slack) continue;
        if (!PlaceItem(c, rawRa * kTurn, rawDec * kTurn, &mag, item)) continue;
        double diameter = UInt16(r + 62) == kNoWord ? 0 : UInt16(r + 62) / 10.0 / kArcsecondsPerArcminute;
        CircleSymbol(c, 0.5 * diameter * kArcminute, item);
        if (!IsPlotItemInWindow(c, item)) continue;
        item->label[0] = '\0';
        if (!VisualFilterActive(c) || item->majorSize == 0 || selected) {
            if (mag > c->layerMagnitudeLimit) continue;
        } else {
            bool visible = c->imagingFilterOn
                               ? PassesImaging(c, ComputeSurfaceBrightness(mag, diameter, diameter))
                               : PassesVisual(c, mag, diameter, diameter);
            if (!visible) continue;
        }
        item->magnitude = mag;
        item->secondMagnitude = r[60] == kNoByte ? kNoSecondMagnitude : r[60] / 10.0;
        BuildLabel(s, kFamilyPlanetaryNebulae, kPnPositions, r, PnText, mag, item->label);
        return number;
    }
    return 0;
}

int BeginGalaxyGroupLayer(ChartContext *chart, double magnitudeLimit) {
    if (!chart) return 0;
    return OpenLayer(chart, OpenGalaxyGroupCatalogue(), magnitudeLimit, 0);
}

int ReadNextGalaxyGroup(ChartContext *c, const ChartLabelSettings *s, DeepSkyPlotItem *item) {
    if (!c || !item || !c->layerFile) return -1;
    uint8_t r[kGroupRecord];
    while (ReadRecord(c, r, sizeof r)) {
        int number = ++c->layerRecordCounter;
        double slack = VisualFilterActive(c) ? kGroupSlack : 0;
        bool memberKnown = r[22] != kNoByte;
        double mag;
        if (r[13] != kNoByte) mag = r[13] / 10.0;
        else if (r[14] != kNoByte) mag = r[14] / 10.0;
        else if (r[12] != kNoByte) mag = r[12] / 10.0;
        else if (slack != 0 && memberKnown) mag = r[22] / 10.0;
        else mag = kGroupDefaultMagnitude;
        bool selected = IsSelected(c, kClassGalaxyGroup, number);
        if (!selected && mag > c->layerMagnitudeLimit + slack) continue;
        if (!PlaceItem(c, Int32(r) * kTurn, Int32(r + 4) * kTurn, &mag, item)) continue;
        double diameter = UInt16(r + 18) == kNoWord ? 0 : UInt16(r + 18) / 10.0;
        CircleSymbol(c, kGroupRadiusFactor * diameter * kArcminute, item);
        if (!IsPlotItemInWindow(c, item)) continue;
        item->label[0] = '\0';
        if (VisualFilterActive(c) && !selected && !c->imagingFilterOn) {
            if (!memberKnown) continue;
            double a = UInt16(r + 23) * kMemberAxisUnit * kMemberAxisShare;
            double b = UInt16(r + 25) * kMemberAxisUnit * kMemberAxisShare;
            if (!PassesVisual(c, r[22] / 10.0 - 1, a, b)) continue;
        }
        item->magnitude = mag;
        item->secondMagnitude = 0;
        BuildLabel(s, kFamilyGalaxyGroups, kGroupPositions, r, GroupText, mag, item->label);
        return number;
    }
    return 0;
}
