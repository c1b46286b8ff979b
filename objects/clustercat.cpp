// Open and globular cluster readers, indexes and designation lists.
#include "objects/clustercat.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/datapaths.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "objects/binsearch.h"
#include "objects/catcache.h"
#include "objects/catfile.h"
#include "objects/dsotexts.h"
#include "objects/dsoxref.h"

namespace {
const char *const kWords[kOpenClusterCatalogueRows] = {
    "M", "NGC", "IC", "Alessi", "Alessi-Teutsch", "Antalova", "Barkhatova", "Basel", "Berkeley",
    "Bica", "Biurakan", "Bochum", "Chereul", "Chupina", "Collinder", "Czernik", "Danks", "Dias",
    "Dol-Dzim", "Dolidze", "Dutra-Bica", "Ferrero", "Haffner", "Harvard", "Hogg", "Ivanov",
    "Kharchenko", "King", "Kronberger", "Latysev", "Loden", "Lynga", "Markarian", "Mayer",
    "Melotte", "Moffat", "Pfleiderer", "Pismis", "Platais", "Raab", "Riddle", "Roslund",
    "Ruprecht", "Saurer", "Stephenson", "Stock", "Teutsch", "Tombaugh", "Trumpler", "Turner",
    "Waterloo", "Westerlund", "vandenBergh", "vandenBergh-Hagen", ""};
}

const char *OpenClusterCatalogueWord(int row) {
    return (row >= 0 && row < kOpenClusterCatalogueRows) ? kWords[row] : "";
}

FILE *OpenOpenClusterCatalogue() { return OpenCatalogueFile(kCatOpenCluster, 0); }
int SetOpenClusterPosition(int32_t record, double rightAscension, double declination) {
    try {
        if (record < 0 || !std::isfinite(rightAscension) || !std::isfinite(declination)) return 0;
        char path[kCatalogueFilePathSize];
        MakeCatalogueFilePath(path, kCatOpenCluster, 0);
        if (!path[0] || !GetRefDirectory(0)) return 0;
        std::string bytes;
        if (!ReadWholeFile(path, &bytes)) return 0;
        const size_t size = 57, at = static_cast<size_t>(record) * size;
        if (at + size > bytes.size()) return 0;
        // The record is changed in a copy and the file replaced whole: an
        // in-place write cut short would leave a torn record.
        float ra = static_cast<float>(rightAscension), dec = static_cast<float>(declination);
        uint32_t raBits, decBits;
        std::memcpy(&raBits, &ra, 4);
        std::memcpy(&decBits, &dec, 4);
        for (int i = 0; i < 4; ++i) {
            bytes[at + 16 + i] = static_cast<char>((raBits >> (8 * i)) & 0xFF);
            bytes[at + 20 + i] = static_cast<char>((decBits >> (8 * i)) & 0xFF);
        }
        return WriteWholeFileSafely(path, bytes.data(), bytes.size()) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

FILE *OpenOclIndex() { return OpenCatalogueFile(kCatOcl, 1); }
FILE *OpenOpenClusterCrossIndex() { return OpenCatalogueFile(kCatOpenClusterCross, 1); }
FILE *OpenOpenClusterOtherIndex() { return OpenCatalogueFile(kCatOpenClusterOther, 1); }
FILE *OpenGlobularClusterCatalogue() { return OpenCatalogueFile(kCatGlobular, 0); }
FILE *OpenPalomarIndex() { return OpenCatalogueFile(kCatPalomar, 1); }
FILE *OpenTerzanIndex() { return OpenCatalogueFile(kCatTerzan, 1); }
FILE *OpenGlobularDesignationIndex() { return OpenCatalogueFile(kCatGlobularDesignation, 1); }

int FormatOpenClusterCatalogueNumber(int row, int number, char *text) {
    text[0] = '\0';
    if (row < 0 || row >= kOpenClusterCatalogueRows - 1) return 0;
    std::snprintf(text, kDesignationTextSize, "%s %d", kWords[row], number);
    return 1;
}

int FindOpenClusterCatalogueWord(const char *word) {
    if (!word || !word[0]) return -1;
    for (int row = 3; row <= 53; ++row)
        if (MatchPrefixNoCase(word, kWords[row])) return row + 1;
    return -1;
}

static float GetF32(const unsigned char *p) {
    uint32_t bits = GetU32(p);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

int ReadOpenClusterRecord(FILE *stream, int32_t record, OpenClusterRecord *out,
                          const DesignationPreferences *prefs, int flags) {
    if (!stream || !out) return 0;
    unsigned char b[kOpenClusterRecordSize];
    if (record != -1) {
        if (record < 0 || !ReadAt(stream, static_cast<int64_t>(record) * kOpenClusterRecordSize, b, sizeof b))
            return 0;
    } else if (std::fread(b, 1, sizeof b, stream) != sizeof b) {
        return 0;
    }
    if (flags & kReadIdentifiers) {
        for (int i = 0; i < 5; ++i) {
            out->catalogueRows[i] = b[i];
            out->catalogueNumbers[i] = GetU16(b + 5 + 2 * i);
        }
        out->commonName = b[15] == 255 ? -1 : b[15];
        out->oclNumber = GetU16(b + 24) * 0.1;
        std::memcpy(out->otherDesignation, b + 36, 18);
        out->otherDesignation[17] = '\0';
        if (flags & kReadDisplayName) {
            DesignationList *list = static_cast<DesignationList *>(std::calloc(1, sizeof(DesignationList)));
            out->displayName[0] = '\0';
            if (list && FormatOpenClusterDesignations(prefs, out, list, 1, 0, nullptr, nullptr) && list->count)
                CopyStringBounded(out->displayName, list->entries[0], sizeof out->displayName);
            std::free(list);
        }
    }
    float ra = GetF32(b + 16), dec = GetF32(b + 20);
    if (flags & kReadPosition) {
        out->ra = ra;
        out->dec = dec;
    }
    if (flags & kReadBrightness) out->magnitude = b[26] == 255 ? 99.9 : b[26] * 0.1;
    if (flags & kReadPhysical) {
        out->valueA = b[27] == 255 ? 0 : static_cast<int8_t>(b[27]);
        out->valueB = b[28] == 255 ? 99.9 : static_cast<int8_t>(b[28]) * 0.01;
        out->valueC = b[29] == 255 ? 99.9 : b[29] * 0.01;
        uint16_t w = GetU16(b + 30);
        out->descriptiveCount = w & 0x7FFF;
        out->flagA = static_cast<uint8_t>(w >> 15);
        out->distanceParsecs = GetU16(b + 32);
        out->descriptiveByte = b[54];
        out->descriptiveWord = GetU16(b + 55);
    }
    if (flags & kReadSizes) out->size = GetU16(b + 34) * 0.1;
    out->noPosition = (ra == 0.0f && dec == 0.0f) ? 1 : 0;
    return out->noPosition ? 2 : 1;
}

namespace {
void AddOpenClusterKind(DesignationListBuilder *b, const void *rec, int kind) {
    const OpenClusterRecord *o = static_cast<const OpenClusterRecord *>(rec);
    char t[kDesignationTextSize];
    if (kind == 0) {
        AppendCommonName(b, o->commonName);
    } else if (kind >= 1 && kind <= 54) {
        for (int i = 0; i < 5 && o->catalogueNumbers[i] != 0; ++i) {
            if (o->catalogueRows[i] + 1 != kind) continue;
            if (FormatOpenClusterCatalogueNumber(o->catalogueRows[i], o->catalogueNumbers[i], t) &&
                AppendDesignation(b, t))
                SetDesignationParts(b, 1, o->catalogueNumbers[i], 0, 0, kWords[o->catalogueRows[i]]);
            break;
        }
    } else if (kind == 55) {
        if (o->otherDesignation[0] && AppendDesignation(b, o->otherDesignation)) SetPlainName(b);
    } else if (kind == 56 && o->oclNumber != 0.0) {
        std::snprintf(t, sizeof t, "OCL %.1f", o->oclNumber);
        size_t n = std::strlen(t);
        if (n > 2 && std::strcmp(t + n - 2, ".0") == 0) t[n - 2] = '\0';
        int whole = static_cast<int>(o->oclNumber);
        int tenths = static_cast<int>(std::lround((o->oclNumber - whole) * 10));
        if (AppendDesignation(b, t)) SetDesignationParts(b, 2, whole, tenths, 0, "OCL");
    }
}

void AddGlobularKind(DesignationListBuilder *b, const void *rec, int kind) {
    const GlobularClusterRecord *g = static_cast<const GlobularClusterRecord *>(rec);
    char t[kDesignationTextSize];
    auto single = [&](const char *fmt, int n, const char *word) {
        if (!n) return;
        std::snprintf(t, sizeof t, fmt, n);
        if (AppendDesignation(b, t)) SetDesignationParts(b, 1, n, 0, 0, word);
    };
    switch (kind) {
    case 0: AppendCommonName(b, g->commonName); break;
    case 1: single("M %d", g->messierNumber, "M"); break;
    case 2: single("NGC %d", g->ngcNumber, "NGC"); break;
    case 3: single("IC %d", g->icNumber, "IC"); break;
    case 4: single("Palomar %d", g->palomarNumber, "Pal"); break;
    case 5: single("Terzan %d", g->terzanNumber, "Terzan"); break;
    case 6:
        if (g->discoveryDesignation[0] && AppendDesignation(b, g->discoveryDesignation)) SetPlainName(b);
        break;
    default: break;
    }
}
}  // namespace

int FormatOpenClusterDesignations(const DesignationPreferences *prefs, const OpenClusterRecord *record,
                                  DesignationList *list, int limit, int flag, DesignationParts *first,
                                  DesignationParts *second) {
    return BuildDesignationList(prefs, 7, 57, record, list, limit, flag, first, second, AddOpenClusterKind);
}

int LookupOclNumber(FILE *stream, double number) {
    int n = static_cast<int>(number);
    long t = std::lround((number - n) * 10);
    if (!stream || n <= 0 || t < 0 || t > 8) return -1;
    unsigned char v[2];
    if (!ReadAt(stream, (n - 1) * 18LL + t * 2, v, 2) || GetU16(v) == 0xFFFF) return -1;
    return GetU16(v);
}

int LookupOpenClusterCrossIndex(FILE *stream, int row, int number) {
    // Rows 3..53 are the discoverer catalogues; the directory holds rows 0..54.
    if (!stream || row < 3 || row > 53) return -2;
    unsigned char d[6];
    if (!ReadAt(stream, row * 6LL, d, 6)) return -2;
    if (number < 1 || number > GetU16(d + 4)) return -2;
    unsigned char v[2];
    if (!ReadAt(stream, GetU32(d) + (number - 1) * 2LL, v, 2)) return -2;
    return GetU16(v) == 0xFFFF ? -1 : GetU16(v);
}

int ReadOpenClusterOtherEntry(FILE *stream, int entry, char *text) {
    return ReadNameIndexEntry(stream, entry, 20, text);
}

int FindOpenClusterByOtherDesignation(const char *text) {
    // 179 entries on the packaged file, held in memory.
    return FindInNameIndexImage(CatalogueFileImage(kCatOpenClusterOther, 1).get(), 20, text);
}

int ReadGlobularClusterRecord(FILE *stream, int32_t number, GlobularClusterRecord *out,
                              const DesignationPreferences *prefs, int flags) {
    if (!stream || !out) return 0;
    unsigned char b[kGlobularRecordSize];
    if (number != -1) {
        if (number < 1 || !ReadAt(stream, (number - 1) * static_cast<int64_t>(kGlobularRecordSize), b, sizeof b))
            return 0;
    } else if (std::fread(b, 1, sizeof b, stream) != sizeof b) {
        return 0;
    }
    if (flags & kReadIdentifiers) {
        out->ngcNumber = GetU16(b);
        out->icNumber = GetU16(b + 2);
        out->messierNumber = b[4];
        out->commonName = b[5] == 255 ? -1 : b[5];
        out->palomarNumber = GetU16(b + 6);
        out->terzanNumber = GetU16(b + 8);
        std::memcpy(out->discoveryDesignation, b + 25, 18);
        out->discoveryDesignation[17] = '\0';
        if (flags & kReadDisplayName) {
            DesignationList *list = static_cast<DesignationList *>(std::calloc(1, sizeof(DesignationList)));
            out->displayName[0] = '\0';
            if (list && FormatGlobularClusterDesignations(prefs, out, list, 1, 0, nullptr, nullptr) && list->count)
                CopyStringBounded(out->displayName, list->entries[0], sizeof out->displayName);
            std::free(list);
        }
    }
    if (flags & kReadPosition) {
        out->ra = TurnFractionToRadians(GetI32(b + 10));
        out->dec = TurnFractionToRadians(GetI32(b + 14));
    }
    if (flags & kReadSizes) out->size = GetU16(b + 18) * 0.1;
    if (flags & kReadPhysical) {
        out->distanceKpc = GetU16(b + 20) * 0.1;
        out->descriptiveValue = GetI16(b + 22);
    }
    if (flags & kReadBrightness) out->magnitude = b[24] == 0 ? 99.9 : b[24] * 0.1;
    return 1;
}

int FormatGlobularClusterDesignations(const DesignationPreferences *prefs,
                                      const GlobularClusterRecord *record, DesignationList *list,
                                      int limit, int flag, DesignationParts *first,
                                      DesignationParts *second) {
    return BuildDesignationList(prefs, 8, 7, record, list, limit, flag, first, second, AddGlobularKind);
}

static int ByteLookup(FILE *stream, int n, int last) {
    if (n < 1 || n > last || !stream) return 0;
    unsigned char v;
    if (!ReadAt(stream, n - 1, &v, 1)) return 0;
    return v;
}
int LookupPalomar(FILE *stream, int n) { return ByteLookup(stream, n, 15); }
int LookupTerzan(FILE *stream, int n) { return ByteLookup(stream, n, 11); }

int FindGlobularByDesignation(FILE *stream, const char *text) {
    if (!stream || !text) return 0;
    if (std::fseek(stream, 0, SEEK_SET) != 0) return 0;
    for (int i = 0; i < 20; ++i) {
        unsigned char e[20];
        if (std::fread(e, 1, 20, stream) != 20) return 0;
        char name[19];
        std::memcpy(name, e, 18);
        name[18] = '\0';
        if (CompareStringsNoCase(name, text) == 0) return GetU16(e + 18);
    }
    return -1;
}

int FindGlobularByDiscoveryDesignation(const char *text) {
    if (!text) return 0;
    // The 20 entries held in memory, searched as FindGlobularByDesignation does.
    std::shared_ptr<const CatalogueImage> image = CatalogueFileImage(kCatGlobularDesignation, 1);
    if (!image) return 0;
    for (size_t i = 0; i < 20; ++i) {
        if ((i + 1) * 20 > image->bytes.size()) return 0;
        const unsigned char *e = image->bytes.data() + i * 20;
        char name[19];
        std::memcpy(name, e, 18);
        name[18] = '\0';
        if (CompareStringsNoCase(name, text) == 0) return GetU16(e + 18);
    }
    return -1;
}

int ReadGlobularDesignationEntry(FILE *stream, int entry, char *text) {
    unsigned char e[20];
    if (text) text[0] = '\0';
    if (!stream || entry < 0 || entry > 19 || !ReadAt(stream, entry * 20LL, e, 20)) return 0;
    if (text) {
        std::memcpy(text, e, 18);
        text[17] = '\0';
    }
    return GetU16(e + 18);
}
