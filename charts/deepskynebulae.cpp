// The bright-nebula and dark-nebula layers (neb.bin, 47-byte records; dn.bin,
// 25-byte records, the globules after the regular dark nebulae).
#include <cmath>
#include <cstdio>
#include <cstring>

#include "charts/chartcontext.h"
#include "charts/chartgeometry.h"
#include "charts/deepskyitem.h"
#include "charts/deepskylayers.h"
#include "charts/deepskyshared.h"
#include "core/mathutil.h"
#include "objects/darkneb.h"
#include "objects/dsotexts.h"
#include "objects/nebulacat.h"
#include "objects/objectrecord.h"
#include "visibility/imagingeval.h"

using namespace deepsky;

namespace {

const int kBrightRecord = 47;
const int kDarkRecord = 25;
const uint8_t kNeverDrawn = 0x80;
const double kBrightDefaultMagnitude = 15.0;  // absent, and the faintest a bright nebula counts as
const double kBrightSlack = 5.0;
const int kBrightPositions = 10;
const int kDarkPositions = 4;
const int kGlobuleClass = 10;
const double kDarkBaseMagnitude = 6.0;
const double kGlobuleMagnitude = 6.5;
const double kGlobuleItemMagnitude = 10.0;
const double kSelectedDarkMagnitude = 7.0;
const double kDarkImagingStar = 13.5;  // the point source a dark nebula must let through
const uint8_t kGlobuleLabelSwitch = 0x10;
const int kGlobuleNameOffset = 11;

// Bright-nebula designation kinds.
enum {
    kBrightCommonName, kBrightMessier, kBrightNgc, kBrightIc, kBrightSharpless, kBrightVdb,
    kBrightGum, kBrightRcw, kBrightLbn, kBrightOther
};
// Dark-nebula designation kinds.
enum { kDarkCommonName, kDarkBarnard, kDarkLdn, kDarkDc };

void BrightText(const void *record, int kind, char *b) {
    const uint8_t *r = static_cast<const uint8_t *>(record);
    const int size = 72;
    switch (kind) {
    case kBrightCommonName: if (r[9] != kNoByte) CommonName(r[9], b); break;
    case kBrightMessier: if (r[10]) std::snprintf(b, size, "M%d", r[10]); break;
    case kBrightNgc:
        if (UInt16(r + 11)) FormatNgcDesignation(b, UInt16(r + 11), 0);
        else if (UInt16(r + 13)) FormatNgcDesignation(b, UInt16(r + 13), 0);
        break;
    case kBrightIc:
        if (UInt16(r + 15)) FormatIcDesignation(b, UInt16(r + 15), 0);
        else if (UInt16(r + 17)) FormatIcDesignation(b, UInt16(r + 17), 0);
        break;
    case kBrightSharpless: if (UInt16(r + 22)) std::snprintf(b, size, "Sh 2-%d", UInt16(r + 22)); break;
    case kBrightVdb: if (r[19]) std::snprintf(b, size, "vdB %d", r[19]); break;
    case kBrightGum: if (r[20]) std::snprintf(b, size, "Gum %d", r[20]); break;
    case kBrightRcw: if (r[21]) std::snprintf(b, size, "RCW %d", r[21]); break;
    case kBrightLbn: if (UInt16(r + 24)) std::snprintf(b, size, "LBN %d", UInt16(r + 24)); break;
    case kBrightOther: {
        char other[16];
        std::memcpy(other, r + 29, 15);
        other[15] = '\0';  // the field may fill its 15 bytes
        std::snprintf(b, size, "%s", other);
        break;
    }
    default: break;
    }
}

void DarkText(const void *record, int kind, char *b) {
    const uint8_t *r = static_cast<const uint8_t *>(record);
    const int size = 72;
    switch (kind) {
    case kDarkCommonName: if (r[11] != kNoByte) CommonName(r[11], b); break;
    case kDarkBarnard: {
        int v = UInt16(r + 14), number = v & 0x7fff;
        if (number) std::snprintf(b, size, "B %d%s", number, (v & 0x8000) ? "A" : "");
        break;
    }
    case kDarkLdn: if (UInt16(r + 12)) std::snprintf(b, size, "LDN %d", UInt16(r + 12)); break;
    case kDarkDc: {
        int v = UInt16(r + 16), longitude = v & 0x1fff, suffix = v >> 13;
        if (longitude || Int16(r + 18)) {
            char letter[2] = {suffix ? (char)('A' + suffix - 1) : '\0', '\0'};
            std::snprintf(b, size, "DC %05.1f%+05.1f%s", longitude / 10.0, Int16(r + 18) / 10.0, letter);
        }
        break;
    }
    default: break;
    }
}

double OpacityAdjustment(int opacity) {
    switch (opacity) {
    case 1: return 0.4;
    case 2: return 0.2;
    case 4: return -0.2;
    case 5: return -0.4;
    case 6: return -0.6;
    default: return 0;
    }
}

}  // namespace

int BeginBrightNebulaLayer(ChartContext *chart, double magnitudeLimit) {
    if (!chart) return 0;
    return OpenLayer(chart, OpenBrightNebulaCatalogue(), magnitudeLimit, 0);
}

int ReadNextBrightNebula(ChartContext *c, const ChartLabelSettings *s, DeepSkyPlotItem *item) {
    if (!c || !item || !c->layerFile) return 0;
    uint8_t r[kBrightRecord];
    while (ReadRecord(c, r, sizeof r)) {
        int number = ++c->layerRecordCounter;
        if (r[8] & kNeverDrawn) continue;
        double mag = r[26] == kNoByte ? kBrightDefaultMagnitude : r[26] / 10.0;
        if (mag > kBrightDefaultMagnitude) mag = kBrightDefaultMagnitude;
        bool selected = IsSelected(c, kClassBrightNebula, number);
        double slack = VisualFilterActive(c) ? kBrightSlack : 0;
        if (!selected && mag > c->layerMagnitudeLimit + slack) continue;
        double ra = Int32(r) * kTurn, dec = Int32(r + 4) * kTurn;
        if (!PlaceItem(c, ra, dec, &mag, item)) continue;
        if (!selected && mag > c->layerMagnitudeLimit) continue;
        double major = UInt16(r + 27) / 10.0, minor = UInt16(r + 44) / 10.0;  // arcminutes
        if (minor == 0) minor = major;
        CircleSymbol(c, 0.5 * major * kArcminute, item);
        if (!IsPlotItemInWindow(c, item)) continue;
        item->label[0] = '\0';
        if (VisualFilterActive(c) && !selected && major > 0) {
            bool visible;
            if (r[46] != kNoByte) visible = PassesApertureClass(c, r[46], minor, ra, dec);
            else if (c->imagingFilterOn) visible = PassesImaging(c, ComputeSurfaceBrightness(mag, major, minor));
            else visible = PassesVisual(c, mag, major, minor);
            if (!visible) continue;
        }
        item->magnitude = mag;
        item->secondMagnitude = 0;
        BuildLabel(s, kFamilyBrightNebulae, kBrightPositions, r, BrightText, mag, item->label);
        return number;
    }
    return 0;
}

int BeginDarkNebulaLayer(ChartContext *chart, int globules) {
    if (!chart) return 0;
    FILE *f = OpenDarkNebulaCatalogue(0);
    if (!OpenLayer(chart, f, 0, 0)) return 0;
    chart->layerGlobules = globules ? 1 : 0;
    if (!globules) return 1;
    // the globules follow the regular records: start at the first of them,
    // wherever the file puts it
    uint8_t r[kDarkRecord];
    while (std::fread(r, 1, sizeof r, f) == sizeof r) {
        if (r[8] == kGlobuleClass) {
            std::fseek(f, -kDarkRecord, SEEK_CUR);
            return 1;
        }
        ++chart->layerRecordCounter;
    }
    return 1;  // no globules: the first read ends the layer
}

int ReadNextDarkNebula(ChartContext *c, const ChartLabelSettings *s, DeepSkyPlotItem *item) {
    if (!c || !item || !c->layerFile) return 0;
    uint8_t r[kDarkRecord];
    while (ReadRecord(c, r, sizeof r)) {
        int number = ++c->layerRecordCounter;
        int32_t rawRa = Int32(r), rawDec = Int32(r + 4);
        int opacity = r[8];
        if (c->layerGlobules && opacity != kGlobuleClass) {
            CloseChartLayerFile(c);  // the first record that is not a globule ends the layer
            return 0;
        }
        if (!c->layerGlobules && opacity == kGlobuleClass) continue;
        if (rawRa == 0 && rawDec == 0) continue;
        bool selected = IsSelected(c, kClassDarkNebula, number);
        double ra = rawRa * kTurn, dec = rawDec * kTurn;
        item->label[0] = '\0';
        if (c->layerGlobules) {
            double mag = kGlobuleMagnitude;
            if (!selected && mag > c->limitingMagnitude) continue;
            if (!PlaceItem(c, ra, dec, nullptr, item)) continue;
            item->angle = kPi;
            ComputeObjectSymbolSize(c, ra, dec, 0.5 * r[9] / 10.0 * kArcminute,
                                    0.5 * r[10] / 10.0 * kArcminute, item);
            if (!IsPlotItemInWindow(c, item)) continue;
            if (s && (s->leading[1] & kGlobuleLabelSwitch)) {
                char name[kDarkRecord - kGlobuleNameOffset + 1];
                std::memcpy(name, r + kGlobuleNameOffset, kDarkRecord - kGlobuleNameOffset);
                name[kDarkRecord - kGlobuleNameOffset] = '\0';
                std::snprintf(item->label, kDeepSkyLabelSize, "%s", name);
            }
            item->magnitude = kGlobuleItemMagnitude;
            return number;
        }
        if (!PlaceItem(c, ra, dec, nullptr, item)) continue;
        CircleSymbol(c, 0.5 * UInt16(r + 9) / 100.0 * kArcminute, item);
        if (!IsPlotItemInWindow(c, item)) continue;
        if (VisualFilterActive(c) && c->imagingFilterOn && !selected) {
            double snr = EvaluateStarImaging(&c->site, &c->savedDate, c->filterOptics, c->camera,
                                             c->cameraFilter, &c->sunMoon, kDarkImagingStar, kColourIndex,
                                             c->exposure, c->imagingOption, nullptr, nullptr, nullptr,
                                             nullptr);
            if (snr < kImagingThreshold) continue;
        }
        double mag = kDarkBaseMagnitude + OpacityAdjustment(opacity);
        // dark nebulae have no label switch or magnitude window: always labelled
        ChartLabelSettings always;
        if (s) {
            std::memcpy(&always, s, sizeof always);
            always.firstSwitch[kFamilyDarkNebulae] = 1;
            always.magnitudeWindow[kFamilyDarkNebulae] = 0;
            always.magnitudeSuffix[kFamilyDarkNebulae] = 0;
            BuildLabel(&always, kFamilyDarkNebulae, kDarkPositions, r, DarkText, mag, item->label);
        }
        item->magnitude = selected ? kSelectedDarkMagnitude : opacity;
        return number;
    }
    return 0;
}
