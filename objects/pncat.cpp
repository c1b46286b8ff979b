// Planetary nebula reader, index lookups and designation list.
#include "objects/pncat.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "astro/astroformulas.h"
#include "core/textutil.h"
#include "objects/binsearch.h"
#include "objects/catcache.h"
#include "objects/catfile.h"
#include "objects/dsotexts.h"
#include "objects/dsoxref.h"

FILE *OpenPlanetaryNebulaCatalogue() { return OpenCatalogueFile(kCatPlanetaryNebula, 0); }
FILE *OpenPkIndex() { return OpenCatalogueFile(kCatPk, 1); }
FILE *OpenAbellPnIndex() { return OpenCatalogueFile(kCatAbellPn, 1); }
FILE *OpenAroIndex() { return OpenCatalogueFile(kCatAro, 1); }
FILE *OpenEsoPnIndex() { return OpenCatalogueFile(kCatEsoPn, 1); }
FILE *OpenMinkowskiIndex() { return OpenCatalogueFile(kCatMinkowski, 1); }
FILE *OpenHaroIndex() { return OpenCatalogueFile(kCatHaro, 1); }
FILE *OpenKohoutekIndex() { return OpenCatalogueFile(kCatKohoutek, 1); }
FILE *OpenHenizeIndex() { return OpenCatalogueFile(kCatHenize, 1); }
FILE *OpenPnGIndex() { return OpenCatalogueFile(kCatPnG, 1); }
FILE *OpenPnDiscoveryIndex() { return OpenCatalogueFile(kCatPnDiscovery, 1); }

int ReadPlanetaryNebulaRecord(FILE *stream, int32_t record, PlanetaryNebulaRecord *out, int flags) {
    if (!stream || !out) return 0;
    unsigned char b[kPnRecordSize];
    if (record != -1) {
        if (record < 0 || !ReadAt(stream, static_cast<int64_t>(record) * kPnRecordSize, b, sizeof b))
            return 0;
    } else if (std::fread(b, 1, sizeof b, stream) != sizeof b) {
        return 0;
    }
    uint16_t bits = GetU16(b + 66);
    if (flags & kReadIdentifiers) {
        out->pngLongitude = GetI16(b) * 0.1;
        out->pngLatitude = GetI16(b + 2) * 0.1;
        out->pngSuffix = b[70] ? static_cast<char>(b[70]) : ' ';
        uint32_t pk = GetU32(b + 30);
        out->pkLongitude = static_cast<int32_t>(pk & 0x1FF);
        out->pkSign = (pk & 0x200) ? '+' : '-';
        out->pkLatitude = static_cast<int32_t>((pk >> 10) & 0x3FF);
        out->ngcNumber = GetU16(b + 34);
        out->icNumber = GetU16(b + 36);
        out->messierNumber = b[38];
        out->commonName = static_cast<int16_t>(b[39] - 1);
        out->haroNumbers[0] = b[40];
        out->haroNumbers[1] = b[41];
        out->minkowskiNumbers[0] = b[42];
        out->minkowskiNumbers[1] = b[43];
        uint32_t he = GetU32(b + 44);
        out->henizeNumbers[2] = he & 0x7FF;
        out->henizeNumbers[1] = (he >> 11) & 0x7FF;
        out->henizeNumbers[0] = (he >> 22) & 0x3FF;
        out->kohoutekNumbers[0] = b[48];
        out->kohoutekNumbers[1] = b[49];
        out->abellNumber = b[50];
        uint32_t eso = GetU32(b + 51);
        out->esoNumbers[0] = eso & 0xFFFF;
        out->esoNumbers[1] = eso >> 16;
        out->aroNumber = GetU16(b + 55);
        out->descriptiveByte = b[12];
        std::memcpy(out->discoveryDesignation, b + 13, 17);
        out->discoveryDesignation[16] = '\0';
    }
    if (flags & kReadPosition) {
        out->ra = TurnFractionToRadians(GetI32(b + 4));
        out->dec = TurnFractionToRadians(GetI32(b + 8));
    }
    if (flags & kReadBrightness) out->magnitude = b[59] == 255 ? 99.9 : b[59] * 0.1;
    uint16_t size = GetU16(b + 62);
    if (flags & (kReadSizes | kReadPhysical)) out->size = size == 0xFFFF ? -1.0 : size * 0.1;
    if (flags & kReadPhysical) {
        out->magnitude2 = b[60] == 255 ? 99.9 : b[60] * 0.1;
        int16_t dv = GetI16(b + 57);
        out->descriptiveValue = dv == 0x7FFF ? 0.0 : dv;
        out->descriptiveByte2 = b[61] == 255 ? 0.0 : b[61];
        uint16_t dist = GetU16(b + 64);
        out->distanceParsecs = dist == 0xFFFF ? 0.0 : dist;
        double s = size == 0xFFFF ? -1.0 : size * 0.1;
        out->surfaceBrightness = (s > 0 && b[59] != 255)
                                     ? SurfaceBrightnessFromMagnitude(s / 60, s / 60, b[59] * 0.1)
                                     : 99.9;
        static const int kShifts[11] = {0, 2, 3, 4, 5, 7, 9, 10, 11, 13, 14};
        static const int kWidths[11] = {2, 1, 1, 1, 2, 2, 1, 1, 2, 1, 1};
        for (int i = 0; i < 10; ++i)
            out->codes[i] = static_cast<uint8_t>((bits >> kShifts[i]) & ((1 << kWidths[i]) - 1));
        for (int i = 0; i < 2; ++i) {
            out->morphologyTypes[i] = b[68 + i] & 7;
            out->morphologyModifiers[i] = b[68 + i] >> 3;
        }
    }
    out->distanceNotUsed = (bits >> 10) & 1;
    out->bit14Flag = (bits >> 14) & 1;
    out->noteNumber = GetU16(b + 71);
    return 1;
}

namespace {
void AddPnKind(DesignationListBuilder *b, const void *rec, int kind) {
    const PlanetaryNebulaRecord *p = static_cast<const PlanetaryNebulaRecord *>(rec);
    char t[kDesignationTextSize];
    auto pair = [&](const char *fmt, const uint16_t *n, const char *word) {
        if (!n[0] && !n[1]) return;
        std::snprintf(t, sizeof t, fmt, n[0], n[1]);
        if (AppendDesignation(b, t)) SetDesignationParts(b, 2, n[0], n[1], 0, word);
    };
    auto single = [&](const char *fmt, int n, const char *word) {
        if (!n) return;
        std::snprintf(t, sizeof t, fmt, n);
        if (AppendDesignation(b, t)) SetDesignationParts(b, 1, n, 0, 0, word);
    };
    switch (kind) {
    case 0: AppendCommonName(b, p->commonName); break;
    case 1: single("M %d", p->messierNumber, "M"); break;
    case 2: single("NGC %d", p->ngcNumber, "NGC"); break;
    case 3: single("IC %d", p->icNumber, "IC"); break;
    case 4: single("Abell %d", p->abellNumber, "Abell"); break;
    case 5: pair("M %d-%d", p->minkowskiNumbers, "Mink"); break;
    case 6: {
        DesignationParts *parts = nullptr;
        for (int s = 0; s < 3; ++s) {
            if (!p->henizeNumbers[s]) continue;
            std::snprintf(t, sizeof t, "He %d-%d", s + 1, p->henizeNumbers[s]);
            if (AppendDesignation(b, t)) {
                SetDesignationParts(b, 2, s + 1, p->henizeNumbers[s], 0, "He");
                if (b->current) parts = b->current;
            }
        }
        b->current = parts;
        break;
    }
    case 7: pair("H %d-%d", p->haroNumbers, "H"); break;
    case 8: pair("K %d-%d", p->kohoutekNumbers, "K"); break;
    case 9:
        if (p->pngLongitude == 0.0 && p->pngLatitude == 0.0) break;
        FormatPnGDesignation(t, p->pngLongitude, p->pngLatitude, p->pngSuffix);
        if (AppendDesignation(b, t))
            SetDesignationParts(b, 2, static_cast<int>(p->pngLongitude),
                                static_cast<int>(p->pngLatitude), 0, "PN G");
        break;
    case 10: {
        if (!p->pkLongitude && !p->pkLatitude) break;
        int32_t pk[2] = {p->pkLongitude, p->pkLatitude};
        FormatPkDesignation(t, pk, p->pkSign);
        if (AppendDesignation(b, t)) SetDesignationParts(b, 2, pk[0], pk[1], 0, "PK");
        break;
    }
    case 11: single("ARO %d", p->aroNumber, "ARO"); break;
    case 12: pair("ESO %d-%d", p->esoNumbers, "ESO"); break;
    case 13:
        if (p->discoveryDesignation[0] && !ListContains(b->list, p->discoveryDesignation) &&
            AppendDesignation(b, p->discoveryDesignation))
            SetPlainName(b);
        break;
    default: break;  // order indexes of 14 and more add nothing
    }
}

int SlotValue(FILE *stream, int64_t slot) {
    unsigned char v[2];
    if (!stream || slot < 0 || !ReadAt(stream, slot * 2, v, 2)) return -1;
    uint16_t value = GetU16(v);
    return value == 0xFFFF ? -1 : value;
}
}  // namespace

int FormatPlanetaryNebulaDesignations(const DesignationPreferences *prefs,
                                      const PlanetaryNebulaRecord *record, DesignationList *list,
                                      int limit, int flag, DesignationParts *first,
                                      DesignationParts *second) {
    return BuildDesignationList(prefs, 4, 14, record, list, limit, flag, first, second, AddPnKind);
}

int LookupPkDesignation(FILE *stream, const int32_t pk[2]) {
    if (!stream || pk[0] < 0 || pk[0] > 359) return -1;
    unsigned char d[6];
    if (!ReadAt(stream, pk[0] * 6LL, d, 6)) return -1;
    int slot = pk[1] + 741;
    if (slot < 0 || slot > GetU16(d + 4)) return -1;
    unsigned char v[2];
    if (!ReadAt(stream, GetU32(d) + slot * 2LL, v, 2) || GetU16(v) == 0xFFFF) return -1;
    return GetU16(v);
}

int LookupAbellPn(FILE *stream, int number) { return number < 1 ? -1 : SlotValue(stream, number - 1); }
int LookupAro(FILE *stream, int number) {
    int v = number < 1 ? -1 : SlotValue(stream, number - 1);
    return v <= 0 ? -1 : v - 1;
}
int LookupEsoPn(FILE *stream, int first, int second) {
    // Fields below 11 and numbers above 82 lie outside the table's layout.
    if (first < 11 || second < 1 || second > 82) return -1;
    int v = SlotValue(stream, (first - 11) * 82LL + second - 1);
    return v <= 0 ? -1 : v - 1;
}
static int PairLookup(FILE *stream, int first, int second, int width) {
    if (first < 1 || second < 1 || second > width) return -1;
    return SlotValue(stream, (first - 1) * static_cast<int64_t>(width) + second - 1);
}
int LookupMinkowski(FILE *stream, int first, int second) { return PairLookup(stream, first, second, 93); }
int LookupHaro(FILE *stream, int first, int second) { return PairLookup(stream, first, second, 76); }
int LookupKohoutek(FILE *stream, int first, int second) {
    return first == 5 ? -1 : PairLookup(stream, first, second, 95);
}

int LookupHenize(FILE *stream, int series, int number) {
    static const int kFirst[3] = {1, 1, 519}, kBase[3] = {0, 8, 476}, kLast[3] = {7, 466, 1863};
    if (!stream || series < 1 || series > 3 || number < 1) return -1;
    int s = series - 1;
    if (number < kFirst[s] || number > kLast[s]) return -1;
    return SlotValue(stream, number - kFirst[s] + kBase[s]);
}

int LookupPnGDesignation(FILE *stream, double longitude, double latitude, char suffix) {
    if (!stream || longitude < 0 || longitude > 360) return -1;
    int degree = static_cast<int>(longitude);
    unsigned char d[6];
    if (!ReadAt(stream, degree * 6LL, d, 6)) return -1;
    long tenths = std::lround((longitude - degree) * 10);
    long lat = std::lround(latitude * 10);
    int count = GetU16(d + 4);
    if (std::fseek(stream, static_cast<long>(GetU32(d)), SEEK_SET) != 0) return -1;
    if (suffix == '\0') suffix = ' ';
    for (int i = 0; i < count; ++i) {
        unsigned char e[6];
        if (std::fread(e, 1, 6, stream) != 6) return -1;
        char es = e[3] ? static_cast<char>(e[3]) : ' ';
        if (e[0] == tenths && GetI16(e + 1) == lat && es == suffix) return GetU16(e + 4);
    }
    return -1;
}

int ReadPnDiscoveryEntry(FILE *stream, int entry, char *text) {
    return ReadNameIndexEntry(stream, entry, 19, text);
}

int FindPnByDiscoveryDesignation(const char *text) {
    // 715 entries on the packaged file, held in memory.
    return FindInNameIndexImage(CatalogueFileImage(kCatPnDiscovery, 1).get(), 19, text);
}

// ---- scans ----------------------------------------------------------------------------------

PkScan *StartPkScan(const int32_t pk[2]) {
    FILE *f = OpenPkIndex();
    if (!f) return nullptr;
    unsigned char d[6];
    if (pk[0] < 0 || pk[0] > 359 || pk[1] < -741 || !ReadAt(f, pk[0] * 6LL, d, 6)) {
        std::fclose(f);
        return nullptr;
    }
    PkScan *scan = static_cast<PkScan *>(std::calloc(1, sizeof(PkScan)));
    int slot = pk[1] + 741;
    if (!scan || std::fseek(f, static_cast<long>(GetU32(d) + slot * 2LL), SEEK_SET) != 0) {
        std::free(scan);
        std::fclose(f);
        return nullptr;
    }
    scan->stream = f;
    scan->longitude = pk[0];
    scan->highestSlot = GetU16(d + 4);
    scan->slot = slot;
    return scan;
}

int NextPkScanEntry(PkScan *scan, int32_t pk[2]) {
    if (!scan || !scan->stream) return -2;
    while (scan->slot <= scan->highestSlot) {
        unsigned char v[2];
        if (std::fread(v, 1, 2, scan->stream) != 2) return -2;
        int slot = scan->slot++;
        if (GetU16(v) != 0xFFFF) {
            pk[0] = scan->longitude;
            pk[1] = slot - 741;
            return GetU16(v);
        }
    }
    return -2;
}

void EndPkScan(PkScan *scan) {
    if (!scan) return;
    if (scan->stream) std::fclose(scan->stream);
    std::free(scan);
}

PnGScan *StartPnGScan(double longitude, double latitude) {
    if (longitude < 0 || longitude >= 361) return nullptr;
    FILE *f = OpenPnGIndex();
    if (!f) return nullptr;
    int degree = static_cast<int>(longitude);
    long tenths = std::lround((longitude - degree) * 10);
    long lat = std::lround(latitude * 10);
    unsigned char d[6];
    PnGScan *scan = static_cast<PnGScan *>(std::calloc(1, sizeof(PnGScan)));
    if (!scan || !ReadAt(f, degree * 6LL, d, 6)) {
        std::free(scan);
        std::fclose(f);
        return nullptr;
    }
    int count = GetU16(d + 4);
    int start = 0;
    for (int i = 0; i < count; ++i) {
        unsigned char e[6];
        if (!ReadAt(f, GetU32(d) + i * 6LL, e, 6)) {
            std::free(scan);
            std::fclose(f);
            return nullptr;
        }
        if (e[0] == tenths && GetI16(e + 1) == lat) {
            start = i;
            break;
        }
    }
    std::fseek(f, static_cast<long>(GetU32(d) + start * 6LL), SEEK_SET);
    scan->stream = f;
    scan->degree = degree;
    scan->latitudeTenths = static_cast<int>(lat);
    scan->count = count;
    scan->position = start;
    return scan;
}

int NextPnGScanEntry(PnGScan *scan, double place[2], char *suffix) {
    if (!scan || !scan->stream) return 0;
    // Degrees without entries are passed over.
    while (scan->position >= scan->count) {
        if (++scan->degree >= 361) return 0;
        unsigned char d[6];
        if (!ReadAt(scan->stream, scan->degree * 6LL, d, 6)) return 0;
        scan->count = GetU16(d + 4);
        scan->position = 0;
        if (scan->count && std::fseek(scan->stream, static_cast<long>(GetU32(d)), SEEK_SET) != 0) return 0;
    }
    unsigned char e[6];
    if (std::fread(e, 1, 6, scan->stream) != 6) return 0;
    place[0] = scan->degree + e[0] * 0.1;
    place[1] = GetI16(e + 1) * 0.1;
    *suffix = e[3] ? static_cast<char>(e[3]) : ' ';
    ++scan->position;
    return 1;
}

void EndPnGScan(PnGScan *scan) {
    if (!scan) return;
    if (scan->stream) std::fclose(scan->stream);
    std::free(scan);
}

// ---- morphology and notes ----------------------------------------------------------------------

void DescribePlanetaryNebulaMorphology(const PlanetaryNebulaRecord *record, char *text, int shortForm) {
    static const char *const kShort[8] = {nullptr, "Stellar", "Smooth disk", "Irregular disk",
                                          "Ring structure", "Irregular", "Bipolar", "Assymetric"};
    static const char *const kMain[8] = {nullptr, "Stellar appearance", "Smooth disk", "Irregular disk",
                                         "Ring structure", "Irregular form", "Bipolar", "Assymetric"};
    static const char *const kSecond[8] = {nullptr, " plus stellar appearance", " plus smooth disk",
                                           " plus irregular disk", " plus ring structure",
                                           " plus irregular form", ", bipolar", " plus assymetry"};
    if (!record || !text) return;
    const size_t room = 160;
    int main = record->morphologyTypes[0];
    if (shortForm) {
        if (main >= 1 && main <= 7) CopyStringBounded(text, kShort[main], static_cast<int>(room));
        return;
    }
    for (int k = 0; k < 2; ++k) {
        int type = record->morphologyTypes[k], modifier = record->morphologyModifiers[k];
        if (type < 1 || type > 7) continue;
        std::strncat(text, k == 0 ? kMain[type] : kSecond[type], room - std::strlen(text) - 1);
        const char *phrase = nullptr;
        if (type == 2 && modifier == 1) phrase = ", brighter toward center";
        if (type == 2 && modifier == 2) phrase = ", uniform in brightness";
        if ((type == 2 || type == 3) && modifier == 3 - (type == 3)) phrase = " with traces of ring structure";
        if (type == 3 && modifier == 1) phrase = " with very irregular brightness distribution";
        if (type >= 2 && type <= 6 && modifier == 4) phrase = " with assymetry";
        if (phrase) std::strncat(text, phrase, room - std::strlen(text) - 1);
    }
}

int ReadPlanetaryNebulaNote(int note, char *text) {
    if (!text) return 0;
    text[0] = '\0';
    if (note < 1) return 0;
    FILE *f = OpenCatalogueFile(kCatPnNotes, 1);
    if (!f) return 0;
    int ok = ReadAt(f, (note - 1) * 224LL, text, 224) ? 1 : 0;
    std::fclose(f);
    text[ok ? 224 : 0] = '\0';
    return ok;
}
