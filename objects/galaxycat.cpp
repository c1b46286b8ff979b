// Galaxy catalogue reader, distances, designation indexes and list.
#include "objects/galaxycat.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "core/safefile.h"
#include "astro/astroformulas.h"
#include "core/textutil.h"
#include "core/resstrings.h"
#include "objects/binsearch.h"
#include "objects/catfile.h"
#include "objects/dsotexts.h"
#include "objects/dsoxref.h"

namespace {

const int kUnset24 = 0xFFFFFF;

struct Morphology {
    const char *text;
    double bMinusV;
};
// Typical B-V of each morphology class (de Vaucouleurs types).
const Morphology kMorphology[30] = {
    {"E", 0.90},    {"E-S0", 0.88}, {"S0", 0.85},   {"S0-a", 0.78}, {"Sa", 0.71},
    {"Sab", 0.70},  {"Sb", 0.62},   {"Sbc", 0.59},  {"Sc", 0.48},   {"Scd", 0.50},
    {"Sd", 0.48},   {"Sm", 0.40},   {"Irr", 0.35},  {"IAB", 0.35},  {"IB", 0.35},
    {"SABa", 0.71}, {"SABb", 0.62}, {"SABc", 0.48}, {"SABd", 0.48}, {"SABm", 0.40},
    {"SBa", 0.71},  {"SBab", 0.70}, {"SBb", 0.62},  {"SBbc", 0.59}, {"SBc", 0.59},
    {"SBcd", 0.48}, {"SBd", 0.48},  {"SBm", 0.40},  {"S?", 0.60},   {"E?", 0.90}};
const char *const kSubtypeWords[8] = {"", "a", "b", "c", "d", "a-b", "b-c", "cd"};

}  // namespace

const char *GalaxyMorphologyText(int c) { return (c >= 0 && c < 30) ? kMorphology[c].text : ""; }
double GalaxyTypicalBMinusV(int c) { return (c >= 0 && c < 30) ? kMorphology[c].bMinusV : 99.9; }

FILE *OpenGalaxyCatalogue() { return OpenCatalogueFile(kCatGalaxy, 1); }
FILE *OpenMcgIndex() { return OpenCatalogueFile(kCatMcg, 1); }
FILE *OpenEsoGalaxyIndex() { return OpenCatalogueFile(kCatEsoGalaxy, 1); }
FILE *OpenMarkarianIndex() { return OpenCatalogueFile(kCatMarkarian, 1); }
FILE *OpenArpIndex() { return OpenCatalogueFile(kCatArp, 1); }
FILE *OpenUgcIndex() { return OpenCatalogueFile(kCatUgc, 1); }
FILE *OpenPgcIndex() { return OpenCatalogueFile(kCatPgc, 1); }

void DecodeGalaxyRecord(const unsigned char *b, int32_t number, GalaxyRecord *out,
                        const DesignationPreferences *prefs, int flags) {
    if (flags & kReadIdentifiers) {
        out->pgcNumber = GetI32(b);
        uint32_t w = GetU32(b + 4);
        out->mcgSuffix = static_cast<int16_t>(w & 7);
        out->mcgThird = static_cast<int16_t>((w >> 3) & 0xFF);
        out->mcgSecond = static_cast<int16_t>((w >> 11) & 0x3F);
        out->mcgZone = static_cast<int16_t>(static_cast<int>((w >> 17) & 0x1F) - 7);
        out->arpNumber = static_cast<uint16_t>((w >> 22) & 0x1FF);
        uint16_t e = GetU16(b + 8);
        out->esoSuffix = static_cast<int16_t>(e & 0xF);
        out->esoField = static_cast<int16_t>(e >> 4);
        out->esoNumber = b[10];
        uint16_t n = GetU16(b + 11);
        out->ngcNumber = n & 0x1FFF;
        out->ngcSuffix = n >> 13;
        n = GetU16(b + 13);
        out->icNumber = n & 0x1FFF;
        out->icSuffix = n >> 13;
        n = GetU16(b + 15);
        out->markarianSuffix = n & 3;
        out->markarianNumber = n >> 2;
        out->messierNumber = b[17];
        out->ugcNumber = GetU16(b + 18);
        out->ugcSuffix = static_cast<char>(b[20]);
        out->commonName = b[21] == 255 ? -1 : b[21];
        if (flags & kReadDisplayName) {
            DesignationList *list = static_cast<DesignationList *>(std::calloc(1, sizeof(DesignationList)));
            out->displayName[0] = '\0';
            if (list && FormatGalaxyDesignations(prefs, out, list, 1, 0, nullptr, nullptr) &&
                list->count > 0)
                CopyStringBounded(out->displayName, list->entries[0], sizeof out->displayName);
            std::free(list);
        }
    }
    if (flags & kReadPosition) {
        out->ra = TurnFractionToRadians(GetI32(b + 22));
        out->dec = TurnFractionToRadians(GetI32(b + 26));
    }
    uint16_t major = GetU16(b + 44), minor = GetU16(b + 46);
    if (flags & (kReadSizes | kReadPhysical)) {
        out->majorAxis = major == 0xFFFF ? 0.0 : major / 62.0;
        out->minorAxis = minor == 0xFFFF ? 0.0 : minor / 62.0;
    }
    if (flags & kReadPhysical) {
        uint16_t pa = GetU16(b + 40);
        out->positionAngle = pa == 0xFFFF ? 361.0 : pa * 0.1;
        out->colourIndex2 = b[42] == 255 ? 99.9 : b[42] * 0.01 - 1.05;
        out->bMinusV = b[43] == 255 ? 99.9 : b[43] * 0.01 - 0.71;
        int32_t v = GetI32(b + 36);
        out->radialVelocity = v == -1 ? 99.9 : v;
        double a = major == 0xFFFF ? 0.0 : major / 62.0;
        double c = minor == 0xFFFF ? 0.0 : minor / 62.0;
        if ((a == 0.0 && c == 0.0) || b[35] == 255) {
            out->surfaceBrightness = 99.9;
        } else {
            if (a == 0.0) a = c;
            if (c == 0.0) c = a;
            out->surfaceBrightness = SurfaceBrightnessFromMagnitude(a * 0.8, c * 0.8, b[35] * 0.1);
        }
        uint16_t t = GetU16(b + 30);
        out->typeCode = t & 0x1F;
        out->subtypeCode = t >> 5;
        out->typeText[0] = '\0';
        if (out->typeCode != 0 && out->subtypeCode < 8) {
            const char *name = LoadGalaxyTypeName(out->typeCode - 1);
            if (out->subtypeCode != 0)
                std::snprintf(out->typeText, sizeof out->typeText, "%s %s", name,
                              kSubtypeWords[out->subtypeCode]);
            else
                CopyStringBounded(out->typeText, name, sizeof out->typeText);
        }
        int morph = b[34] & 0x1F;
        CopyStringBounded(out->morphology, GalaxyMorphologyText(morph), sizeof out->morphology);
        out->typicalBMinusV = GalaxyTypicalBMinusV(morph);
        out->classCode2 = (b[34] >> 5) & 3;
        out->distanceMly = 0.0;
        uint16_t d = GetU16(b + 32);
        out->detailCodes[0] = static_cast<uint8_t>((d >> 13) & 7);
        out->detailCodes[1] = static_cast<uint8_t>((d >> 10) & 7);
        out->detailCodes[2] = static_cast<uint8_t>((d >> 6) & 0xF);
        out->detailCodes[3] = static_cast<uint8_t>((d >> 4) & 3);
        out->detailCodes[4] = static_cast<uint8_t>(d & 0xF);
    }
    if (flags & kReadBrightness) out->magnitude = b[35] == 255 ? 99.9 : b[35] * 0.1;
    if ((flags & kReadPhysical) && (b[34] & 0x80)) out->distanceMly = LookupGalaxyDistance(number);
}

int ReadGalaxyRecord(FILE *stream, int32_t number, GalaxyRecord *out,
                     const DesignationPreferences *prefs, int flags) {
    if (!stream || !out) return 0;
    unsigned char b[kGalaxyRecordSize];
    if (number != -1) {
        if (number < 1 || !ReadAt(stream, static_cast<int64_t>(number - 1) * kGalaxyRecordSize, b,
                                  sizeof b))
            return 0;
    } else {
        if (std::fread(b, 1, sizeof b, stream) != sizeof b) return 0;
        long at = std::ftell(stream);
        number = static_cast<int32_t>(at / kGalaxyRecordSize);
    }
    DecodeGalaxyRecord(b, number, out, prefs, flags);
    return 1;
}

namespace {
int CompareDistanceEntry(const void *key, FILE *file, int mid, void **recordOut) {
    unsigned char e[8];
    if (!ReadAt(file, static_cast<int64_t>(mid) * 8, e, 8)) return 1;
    int32_t k = *static_cast<const int32_t *>(key), n = GetI32(e);
    if (k != n) return k < n ? -1 : 1;
    float *value = static_cast<float *>(std::malloc(sizeof(float)));
    if (!value) return 1;
    uint32_t bits = GetU32(e + 4);
    std::memcpy(value, &bits, 4);
    *recordOut = value;
    return 0;
}
}  // namespace

double LookupGalaxyDistance(int32_t number) {
    FILE *f = OpenCatalogueFile(kCatGalaxyDistance, 1);
    if (!f) return 0.0;
    int count = static_cast<int>(StreamSize(f) / 8);  // 81 on the packaged file
    int index = 0;
    float *value = static_cast<float *>(BinarySearchFileRecords(f, 0, count - 1, &number, &index,
                                                                CompareDistanceEntry));
    std::fclose(f);
    double d = value ? *value : 0.0;
    std::free(value);
    return d;
}

namespace {
void AddGalaxyKind(DesignationListBuilder *b, const void *rec, int kind) {
    const GalaxyRecord *g = static_cast<const GalaxyRecord *>(rec);
    char t[kDesignationTextSize];
    switch (kind) {
    case 0: AppendCommonName(b, g->commonName); break;
    case 1:
        if (!g->messierNumber) break;
        FormatMessierDesignation(t, g->messierNumber);
        if (AppendDesignation(b, t)) SetDesignationParts(b, 1, g->messierNumber, 0, 0, "M");
        break;
    case 2:
        if (!g->ngcNumber) break;
        FormatNgcDesignation(t, g->ngcNumber, g->ngcSuffix);
        if (AppendDesignation(b, t)) SetDesignationParts(b, 2, g->ngcNumber, g->ngcSuffix, 0, "NGC");
        break;
    case 3:
        if (!g->icNumber) break;
        FormatIcDesignation(t, g->icNumber, g->icSuffix);
        if (AppendDesignation(b, t)) SetDesignationParts(b, 2, g->icNumber, g->icSuffix, 0, "IC");
        break;
    case 4:
        if (!g->arpNumber) break;
        FormatArpDesignation(t, g->arpNumber);
        if (AppendDesignation(b, t)) SetDesignationParts(b, 1, g->arpNumber, 0, 0, "Arp");
        break;
    case 5:
        if (!g->markarianNumber && !g->markarianSuffix) break;
        FormatMarkarianDesignation(t, g->markarianNumber, g->markarianSuffix);
        if (AppendDesignation(b, t))
            SetDesignationParts(b, 2, g->markarianNumber, g->markarianSuffix, 0, "Markarian");
        break;
    case 6: {
        // Field and number start at 1: both 0 is no designation (a stored
        // zero decodes as zone -7).
        if (!g->mcgSecond && !g->mcgThird) break;
        int16_t mcg[4] = {g->mcgZone, g->mcgSecond, g->mcgThird, g->mcgSuffix};
        FormatMcgDesignation(t, mcg);
        if (AppendDesignation(b, t)) SetDesignationParts(b, 2, g->mcgZone, g->mcgSecond, 0, "MCG");
        break;
    }
    case 7:
        if (!g->ugcNumber) break;
        FormatUgcDesignation(t, g->ugcNumber, g->ugcSuffix);
        if (AppendDesignation(b, t))
            SetDesignationParts(b, 2, g->ugcNumber, static_cast<unsigned char>(g->ugcSuffix), 0, "UGC");
        break;
    case 8: {
        if (!g->esoField && !g->esoNumber) break;
        int16_t eso[3] = {g->esoField, g->esoNumber, g->esoSuffix};
        FormatEsoDesignation(t, eso);
        if (AppendDesignation(b, t)) SetDesignationParts(b, 2, g->esoField, g->esoNumber, 0, "ESO");
        break;
    }
    case 9:
        if (!g->pgcNumber) break;
        FormatPgcDesignation(t, g->pgcNumber);
        if (AppendDesignation(b, t))
            SetDesignationParts(b, 1, g->pgcNumber, 0, 0, g->pgcNumber <= kLastPgcNumber ? "PGC" : "LEDA");
        break;
    default: break;
    }
}
}  // namespace

int FormatGalaxyDesignations(const DesignationPreferences *prefs, const GalaxyRecord *record,
                             DesignationList *list, int limit, int flag, DesignationParts *first,
                             DesignationParts *second) {
    return BuildDesignationList(prefs, 1, 10, record, list, limit, flag, first, second, AddGalaxyKind);
}

// ---- indexes ----------------------------------------------------------------------

int32_t LookupMcgDesignation(FILE *stream, const int16_t mcg[4]) {
    int zone = mcg[0], second = mcg[1], third = mcg[2], suffix = mcg[3];
    if (suffix == 3 && zone == 5 && second == 26 && third == 38) return 568599;
    if (suffix == 3 && zone == 9 && second == 16 && third == 47) return 28115;
    // 61 second numbers per zone: a larger one would address the next zone.
    if (suffix < 0 || suffix > 2 || zone < -7 || zone > 24 || second < 0 || second > 60 ||
        third < 0 || !stream)
        return 0;
    unsigned char d[5];
    if (!ReadAt(stream, ((zone + 7) * 61 + second) * 5LL, d, 5)) return 0;
    if (d[4] == 0 || third > d[4]) return 0;
    unsigned char s[3];
    if (!ReadAt(stream, GetU32(d) + (third * 3LL + suffix) * 3, s, 3)) return 0;
    uint32_t v = GetU24(s);
    return v == kUnset24 ? 0 : static_cast<int32_t>(v + 1);
}

int LookupEsoGalaxyDesignation(FILE *stream, const uint16_t eso[3], int32_t *galaxy) {
    int field = eso[0], number = eso[1], suffix = eso[2];
    if (field == 0 && number == 0 && suffix == 0) return 0;
    // Two suffix slots per number: a larger suffix would read the next number's.
    if (suffix > 1 || field < 1 || number < 1 || !stream) return 0;
    unsigned char d[6];
    if (!ReadAt(stream, (field - 1) * 6LL, d, 6)) return 0;
    if (number - 1 > GetU16(d + 4)) return 0;
    unsigned char s[3];
    if (!ReadAt(stream, GetU32(d) + ((number - 1) * 2LL + suffix) * 3, s, 3)) return 0;
    uint32_t v = GetU24(s);
    if (v == kUnset24) return 0;
    *galaxy = static_cast<int32_t>(v);
    return 1;
}

int LookupMarkarianDesignation(FILE *stream, const int32_t mkn[2], int32_t galaxies[4]) {
    int number = mkn[0], suffix = mkn[1];
    if (!stream || number < 1 || suffix < 0 || suffix > 1) return 0;
    unsigned char s[3];
    if (!ReadAt(stream, (number - 1) * 6LL + suffix * 3, s, 3)) return 0;
    uint32_t v = GetU24(s);
    if (v == kUnset24) return 0;
    galaxies[0] = static_cast<int32_t>(v);
    // Markarian numbers that name a pair or a group of galaxies.
    static const int32_t kPairs[][2] = {{116, 27183}, {171, 35326}, {628, 24862}, {983, 82333},
                                        {988, 5089},  {1000, 83836}, {1034, 9074}, {1213, 23082},
                                        {1325, 40697}, {1374, 50655}};
    if (number == 934) {
        galaxies[1] = 97;
        galaxies[2] = 101;
        galaxies[3] = 108;
        return 4;
    }
    for (const auto &p : kPairs)
        if (p[0] == number) {
            galaxies[1] = p[1];
            return 2;
        }
    return 1;
}

static int32_t Read24Slot(FILE *stream, int64_t at) {
    unsigned char s[3];
    if (!stream || at < 0 || !ReadAt(stream, at, s, 3)) return 0;
    uint32_t v = GetU24(s);
    return v == kUnset24 ? 0 : static_cast<int32_t>(v);
}

int32_t LookupArpNumber(FILE *stream, int number) {
    return number < 1 ? 0 : Read24Slot(stream, (number - 1) * 3LL);
}
int32_t LookupPgcNumber(FILE *stream, int32_t number) {
    return number < 1 ? 0 : Read24Slot(stream, (number - 1) * 3LL);
}

int32_t LookupUgcDesignation(FILE *stream, int number, char suffix) {
    if (!stream || number < 1) return 0;
    char want = suffix == '\0' ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(suffix)));
    unsigned char r[12];
    if (!ReadAt(stream, (number - 1) * 12LL, r, 12)) return 0;
    for (int i = 0; i < 3; ++i) {
        if (r[9 + i] == 0) break;
        if (static_cast<char>(r[9 + i]) == want) return static_cast<int32_t>(GetU24(r + 3 * i));
    }
    return 0;
}

UgcScan *StartUgcScan() {
    FILE *f = OpenUgcIndex();
    if (!f) return nullptr;
    UgcScan *scan = static_cast<UgcScan *>(std::calloc(1, sizeof(UgcScan)));
    if (!scan) {
        std::fclose(f);
        return nullptr;
    }
    scan->stream = f;
    return scan;
}

int32_t NextUgcScanEntry(UgcScan *scan, int *number, char *suffix) {
    if (!scan || !scan->stream) return 0;
    for (int guard = 0; guard < 4 * kLastUgcNumber; ++guard) {
        if (scan->position == 0) {
            if (scan->number >= kLastUgcNumber) return 0;
            ++scan->number;
            if (std::fread(scan->record, 1, 12, scan->stream) != 12) return 0;
        }
        int32_t galaxy = 0;
        while (scan->position < 3 && scan->record[9 + scan->position] != 0) {
            galaxy = static_cast<int32_t>(GetU24(scan->record + 3 * scan->position));
            *suffix = static_cast<char>(scan->record[9 + scan->position]);
            *number = scan->number;
            ++scan->position;
            if (galaxy != 0) break;
        }
        if (galaxy == 0 || scan->position >= 3 || scan->record[9 + scan->position] == 0)
            scan->position = 0;
        if (galaxy != 0) return galaxy;
    }
    return 0;
}

void EndUgcScan(UgcScan *scan) {
    if (!scan) return;
    if (scan->stream) std::fclose(scan->stream);
    std::free(scan);
}
