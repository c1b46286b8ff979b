// The galaxy layer (gal.bin of map slot 1 for mag7 charts, 19-byte records;
// the mag10 region files for the deeper charts, 29-byte records; brightest
// first in every file) and the quasar layer (qso.bin of map slot 0, 37-byte
// records).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "charts/chartcontext.h"
#include "charts/chartgeometry.h"
#include "charts/deepskyitem.h"
#include "charts/deepskylayers.h"
#include "charts/deepskyshared.h"
#include "charts/starreader.h"
#include "core/datapaths.h"
#include "core/mathutil.h"
#include "objects/dsotexts.h"
#include "objects/galaxycat.h"
#include "objects/objectrecord.h"
#include "objects/stardatabase.h"

using namespace deepsky;

namespace {

const int kMag7GalaxyRecord = 19;
const int kRegionGalaxyRecord = 29;
const int kQuasarRecord = 37;
const double kNoMagnitude = 99.9;
const double kRegionDefaultMagnitude = 20.0;  // a region galaxy without a magnitude, filter off
const double kGalaxySlack = 2.0;
const double kDrawnAxisShare = 0.4;           // semi-axis: 80 % of half the catalogue axis
const double kVisibleAxisShare = 0.8;
const double kAxisUnit = 1 / 62.0;            // arcminutes
const double kTenthDegree = kPi / 1800;
const int kGalaxyPositions = 10;
const int kQuasarPositions = 3;
const int kWindowSamples = 16;                // the window is sampled 17 x 17 for its mag10 regions
const int kPathSize = 1200;
// Two galaxies drawn smaller than the catalogue's axes (their catalogue
// sizes take in their outer halos).
const int kHalfSizeGalaxy = 17223;
const int kThreeQuarterSizeGalaxy = 3085;

enum {
    kGalCommonName, kGalMessier, kGalNgc, kGalIc, kGalArp, kGalMarkarian, kGalMcg, kGalUgc, kGalEso,
    kGalPgc
};
enum { kQsoCommonName, kQsoDiscoverer, kQsoNumber };

// The designations a galaxy label is made of.
struct GalaxyNames {
    int32_t pgc;
    int ngc, ngcSuffix, ic, icSuffix, messier, commonName;
    int arp, markarian, markarianSuffix, ugc;
    char ugcSuffix;
    int16_t mcg[4];  // zone, field, number, suffix; no designation when field and number are 0
    int16_t eso[3];  // field, number, suffix; no designation when the field is 0
};

void GalaxyText(const void *record, int kind, char *b) {
    const GalaxyNames *g = static_cast<const GalaxyNames *>(record);
    const int size = 72;
    switch (kind) {
    case kGalCommonName: if (g->commonName >= 0 && g->commonName != kNoByte) CommonName(g->commonName, b); break;
    case kGalMessier: if (g->messier) std::snprintf(b, size, "M%d", g->messier); break;
    case kGalNgc:
        if (g->ngc) {
            // the bare number: the designation without its "NGC " prefix
            char full[72] = "";
            FormatNgcDesignation(full, g->ngc, g->ngcSuffix);
            const char *bare = std::strncmp(full, "NGC ", 4) == 0 ? full + 4 : full;
            std::snprintf(b, size, "%s", bare);
        }
        break;
    case kGalIc: if (g->ic) FormatIcDesignation(b, g->ic, g->icSuffix); break;
    case kGalPgc:
        if (g->pgc > 0) std::snprintf(b, size, g->pgc <= kLastPgcNumber ? "PGC %d" : "LEDA %d", g->pgc);
        break;
    case kGalArp: if (g->arp) FormatArpDesignation(b, g->arp); break;
    case kGalMarkarian: if (g->markarian) FormatMarkarianDesignation(b, g->markarian, g->markarianSuffix); break;
    case kGalMcg:
        if (g->mcg[1] || g->mcg[2]) FormatMcgDesignation(b, g->mcg);  // field and number from 1
        break;
    case kGalUgc: if (g->ugc) FormatUgcDesignation(b, g->ugc, g->ugcSuffix); break;
    case kGalEso: if (g->eso[0]) FormatEsoDesignation(b, g->eso); break;
    default: break;
    }
}

struct QuasarRecordView {
    const uint8_t *r;
};

void QuasarText(const void *record, int kind, char *b) {
    const uint8_t *r = static_cast<const QuasarRecordView *>(record)->r;
    const int size = 72;
    switch (kind) {
    case kQsoCommonName: if (r[18] != kNoByte) CommonName(r[18], b); break;
    case kQsoDiscoverer: {
        char text[19];
        std::memcpy(text, r + 19, 18);
        text[18] = '\0';
        std::snprintf(b, size, "%s", text);
        break;
    }
    case kQsoNumber:
        std::snprintf(b, size, "Q%04d%+05d%c", UInt16(r + 13), Int16(r + 15), r[17] ? (char)r[17] : ' ');
        break;
    default: break;
    }
}

void CloseGalaxyFile(ChartContext *c) {
    if (c->layerFile) std::fclose(c->layerFile);
    c->layerFile = nullptr;
}

void AddRegion(ChartContext *c, uint16_t code, int capacity) {
    for (int i = 0; i < c->galaxyRegionCount; ++i)
        if (c->galaxyRegions[i] == code) return;
    if (c->galaxyRegionCount < capacity) c->galaxyRegions[c->galaxyRegionCount++] = code;
}

// The mag10 regions under a grid of window points.
bool CollectWindowRegions(ChartContext *c) {
    const int capacity = (kWindowSamples + 1) * (kWindowSamples + 1);
    c->galaxyRegions = static_cast<uint16_t *>(std::malloc(capacity * sizeof(uint16_t)));
    if (!c->galaxyRegions) return false;
    c->galaxyRegionCount = 0;
    int w = c->visibleRight - c->visibleLeft, h = c->visibleBottom - c->visibleTop;
    for (int j = 0; j <= kWindowSamples; ++j) {
        for (int i = 0; i <= kWindowSamples; ++i) {
            double ra = 0, dec = 0;
            if (ScreenToSky(c, c->visibleLeft + w * i / kWindowSamples, c->visibleTop + h * j / kWindowSamples,
                            &ra, &dec) != 1)
                continue;
            int zone = 0, region = 0;
            if (!LocateMag10Region(ra, dec, &zone, &region)) continue;
            AddRegion(c, MakeRegionCode(zone, region, 0, 0), capacity);
        }
    }
    return true;
}

// The catalogue designations of a mag7 galaxy (galaxy catalogue record).
void CatalogueNames(int32_t number, GalaxyNames *g) {
    FILE *f = OpenGalaxyCatalogue();
    if (!f) return;
    std::unique_ptr<GalaxyRecord> rec(new GalaxyRecord);
    const int kNoPreferencesFlags = 8;
    if (ReadGalaxyRecord(f, number, rec.get(), nullptr, kNoPreferencesFlags) == 1) {
        g->pgc = rec->pgcNumber;
        g->ngc = rec->ngcNumber;
        g->ngcSuffix = rec->ngcSuffix;
        g->ic = rec->icNumber;
        g->icSuffix = rec->icSuffix;
        g->messier = rec->messierNumber;
        g->commonName = rec->commonName;
        g->arp = rec->arpNumber;
        g->markarian = rec->markarianNumber;
        g->markarianSuffix = rec->markarianSuffix;
        g->ugc = rec->ugcNumber;
        g->ugcSuffix = rec->ugcSuffix;
        const int16_t mcg[4] = {rec->mcgZone, rec->mcgSecond, rec->mcgThird, rec->mcgSuffix};
        const int16_t eso[3] = {rec->esoField, rec->esoNumber, rec->esoSuffix};
        std::memcpy(g->mcg, mcg, sizeof mcg);
        std::memcpy(g->eso, eso, sizeof eso);
    }
    std::fclose(f);
}

}  // namespace

int BeginGalaxyLayer(ChartContext *chart, double magnitudeLimit) {
    if (!chart) return 0;
    CloseChartLayerFile(chart);
    chart->galaxyRegionPosition = 0;
    chart->layerMagnitudeLimit = magnitudeLimit;
    chart->layerRecordCounter = 0;
    chart->selectedObjectFound = 0;
    if (!GetMapDirectory(1)) return 0;
    if (chart->starDatabase != kStarDatabaseMag7 && !CollectWindowRegions(chart)) return 0;
    return 1;
}

int OpenNextGalaxyFile(ChartContext *c) {
    if (!c) return -1;
    CloseGalaxyFile(c);
    const char *dir = GetMapDirectory(1);
    if (!dir) return -1;
    char path[kPathSize];
    if (c->starDatabase == kStarDatabaseMag7) {
        if (c->galaxyRegionPosition > 0) return 0;  // the single file was read
        c->galaxyRegionPosition = 1;
        std::snprintf(path, sizeof path, "%sgal.bin", dir);
    } else {
        if (!c->galaxyRegions || c->galaxyRegionPosition >= c->galaxyRegionCount) return 0;
        int zone = 0, region = 0, row = 0, column = 0;
        SplitRegionCode(c->galaxyRegions[c->galaxyRegionPosition++], &zone, &region, &row, &column);
        std::snprintf(path, sizeof path, "%smag10/db%02d/gal%.2d.bin", dir, zone, region);
    }
    c->layerFile = std::fopen(path, "rb");
    c->recordsRead = 0;
    return c->layerFile ? 1 : -1;
}

int ReadNextGalaxy(ChartContext *c, const ChartLabelSettings *s, DeepSkyPlotItem *item) {
    if (!c || !item) return -1;
    const bool mag7 = c->starDatabase == kStarDatabaseMag7;
    const size_t size = mag7 ? kMag7GalaxyRecord : kRegionGalaxyRecord;
    uint8_t r[kRegionGalaxyRecord];
    for (;;) {
        if (!c->layerFile) {
            int opened = OpenNextGalaxyFile(c);
            if (opened <= 0) {
                CloseChartLayerFile(c);
                return opened;
            }
        }
        if (std::fread(r, 1, size, c->layerFile) != size) {
            CloseGalaxyFile(c);
            continue;
        }
        const uint8_t *p = mag7 ? r : r + 10;  // number, place, magnitude, angle and axes
        int32_t number = Int32(p);
        c->layerRecordCounter = number;
        double slack = VisualFilterActive(c) ? kGalaxySlack : 0;
        double mag = p[12] != kNoByte ? p[12] / 10.0
                     : (mag7 || slack != 0) ? kNoMagnitude : kRegionDefaultMagnitude;
        bool selected = IsSelected(c, kClassGalaxy, number);
        if (!selected && mag > c->layerMagnitudeLimit + slack) {
            // brightest first: nothing later in this file passes, unless a
            // selected galaxy is still being looked for
            bool pending = c->selectedObjectType == kClassGalaxy && c->selectedObjectIndex != 0 &&
                           !c->selectedObjectFound;
            if (!pending) CloseGalaxyFile(c);
            continue;
        }
        double ra = Int32(p + 4) * kTurn, dec = Int32(p + 8) * kTurn;
        if (!PlaceItem(c, ra, dec, &mag, item)) continue;
        if (!selected && mag > c->layerMagnitudeLimit + slack) continue;
        uint16_t pa = UInt16(p + 13), a = UInt16(p + 15), b = UInt16(p + 17);
        bool axes = a != kNoWord && b != kNoWord;
        double major = a != kNoWord ? a * kAxisUnit : 0, minor = b != kNoWord ? b * kAxisUnit : 0;
        double shrink = number == kHalfSizeGalaxy ? 0.5 : number == kThreeQuarterSizeGalaxy ? 0.75 : 1.0;
        item->angle = pa != kNoWord ? pa * kTenthDegree : kPi / 2;
        ComputeObjectSymbolSize(c, ra, dec, kDrawnAxisShare * shrink * major * kArcminute,
                                kDrawnAxisShare * shrink * minor * kArcminute, item);
        if (!IsPlotItemInWindow(c, item)) continue;
        item->label[0] = '\0';
        if (VisualFilterActive(c) && !selected && axes) {
            bool visible = c->imagingFilterOn
                               ? PassesImaging(c, ComputeSurfaceBrightness(mag, major / 2, minor / 2))
                               : PassesVisual(c, mag - 1, kVisibleAxisShare * major, kVisibleAxisShare * minor);
            if (!visible) continue;
        }
        item->magnitude = mag;
        item->secondMagnitude = 0;
        if (LabelWanted(s, kFamilyGalaxies, mag)) {
            GalaxyNames g;
            std::memset(&g, 0, sizeof g);
            g.commonName = -1;
            // The catalogue record holds every designation; a region file
            // repeats the five it labels most, which stand when the
            // catalogue cannot be read.
            CatalogueNames(number, &g);
            if (!mag7) {
                g.pgc = Int32(r);
                g.ngc = UInt16(r + 4) & 0x1fff;
                g.ngcSuffix = UInt16(r + 4) >> 13;
                g.ic = UInt16(r + 6) & 0x1fff;
                g.icSuffix = UInt16(r + 6) >> 13;
                g.messier = r[8];
                g.commonName = r[9];
            }
            BuildLabel(s, kFamilyGalaxies, kGalaxyPositions, &g, GalaxyText, mag, item->label);
        }
        if (selected && !c->layerFlag) c->selectedObjectFound = 1;
        return number;
    }
}

int BeginQuasarLayer(ChartContext *chart, double magnitudeLimit) {
    if (!chart) return 0;
    return OpenLayer(chart, OpenMapDirectoryFile("qso.bin", 0, "rb"), magnitudeLimit, 0);
}

int ReadNextQuasar(ChartContext *c, const ChartLabelSettings *s, ChartStar *star, char *label,
                   double *magnitude) {
    if (!c || !star || !c->layerFile) return 0;
    uint8_t r[kQuasarRecord];
    while (ReadRecord(c, r, sizeof r)) {
        int32_t number = Int32(r + 8);
        c->layerRecordCounter = number;
        double mag = r[12] / 10.0;
        bool selected = IsSelected(c, kClassQuasar, number);
        if (!selected && mag > c->layerMagnitudeLimit) continue;
        DeepSkyPlotItem place{};
        if (!PlaceItem(c, Int32(r) * kTurn, Int32(r + 4) * kTurn, &mag, &place)) continue;
        if (!selected && mag > c->layerMagnitudeLimit) continue;
        if (place.x < c->visibleLeft || place.x > c->visibleRight || place.y < c->visibleTop ||
            place.y > c->visibleBottom)
            continue;
        std::memset(star, 0, sizeof *star);
        star->x = place.x;
        star->y = place.y;
        star->shade = (uint8_t)GetStarShade(c, mag);
        star->radius = star->faintRadius = (int32_t)GetStarSymbolRadius(c, mag);
        if (magnitude) *magnitude = mag;
        if (label) {
            QuasarRecordView view = {r};
            BuildLabel(s, kFamilyQuasars, kQuasarPositions, &view, QuasarText, mag, label);
        }
        return number;
    }
    return 0;
}
