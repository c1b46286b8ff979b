// Dark nebula reader, Barnard and LDN indexes, DC and globule searches, list.
#include "objects/darkneb.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/safefile.h"
#include "core/textutil.h"
#include "objects/catcache.h"
#include "objects/catfile.h"
#include "objects/dsotexts.h"
#include "objects/dsoxref.h"

FILE *OpenLdnIndex() { return OpenCatalogueFile(kCatLdn, 1); }
FILE *OpenBarnardIndex() { return OpenCatalogueFile(kCatBarnard, 1); }
FILE *OpenGlobuleIndex() { return OpenCatalogueFile(kCatGlobule, 1); }

FILE *OpenDarkNebulaCatalogue(int globules) {
    FILE *f = OpenCatalogueFile(kCatDarkNebula, 0);
    if (f && globules &&
        std::fseek(f, static_cast<long>(kFirstGlobuleRecord) * kDarkNebulaRecordSize, SEEK_SET) != 0) {
        std::fclose(f);
        return nullptr;
    }
    return f;
}

int ReadDarkNebulaRecord(FILE *stream, int32_t record, DarkNebulaRecord *out,
                         const DesignationPreferences *prefs, int flags) {
    if (!stream || !out) return 0;
    unsigned char b[kDarkNebulaRecordSize];
    if (record != -1) {
        if (record < 0 || !ReadAt(stream, static_cast<int64_t>(record) * kDarkNebulaRecordSize, b, sizeof b))
            return 0;
    } else if (std::fread(b, 1, sizeof b, stream) != sizeof b) {
        return 0;
    }
    if (flags & kReadPosition) {
        out->ra = TurnFractionToRadians(GetI32(b));
        out->dec = TurnFractionToRadians(GetI32(b + 4));
    }
    if (b[8] > 9) {
        if (flags & kReadIdentifiers) {
            std::memcpy(out->name, b + 11, 14);
            out->name[13] = '\0';
        }
        if (flags & kReadSizes) {
            out->majorSize = b[9] * 0.1;
            out->minorSize = b[10] * 0.1;
        }
        out->classValue = 10;
        out->barnardNumber = 0;
        out->barnardSuffix = 0;
        out->ldnNumber = 0;
        out->dcLongitude = out->dcLatitude = 0.0;
        out->dcSuffix = 0;
        out->commonName = -1;
        return 1;
    }
    if (flags & kReadIdentifiers) {
        out->ldnNumber = GetU16(b + 12);
        uint16_t bn = GetU16(b + 14);
        out->barnardNumber = bn & 0x7FFF;
        out->barnardSuffix = (bn & 0x8000) ? 'A' : 0;
        uint16_t dc = GetU16(b + 16);
        out->dcLongitude = (dc & 0x1FFF) * 0.1;
        out->dcSuffix = (dc >> 13) ? static_cast<char>(64 + (dc >> 13)) : 0;
        out->dcLatitude = GetI16(b + 18) * 0.1;
        out->commonName = b[11] == 255 ? -1 : b[11];
        if (flags & kReadDisplayName) {
            DesignationList *list = static_cast<DesignationList *>(std::calloc(1, sizeof(DesignationList)));
            out->name[0] = '\0';
            if (list && FormatDarkNebulaDesignations(prefs, out, list, 1, 0, nullptr, nullptr) && list->count)
                CopyStringBounded(out->name, list->entries[0], sizeof out->name);
            std::free(list);
        }
    }
    if (flags & kReadSizes) out->majorSize = out->minorSize = GetU16(b + 9) * 0.01;
    out->classValue = b[8];
    return 1;
}

namespace {
void AddDarkKind(DesignationListBuilder *b, const void *rec, int kind) {
    const DarkNebulaRecord *d = static_cast<const DarkNebulaRecord *>(rec);
    char t[kDesignationTextSize];
    switch (kind) {
    case 0: AppendCommonName(b, d->commonName); break;
    case 1:
        if (!d->barnardNumber) break;
        if (d->barnardSuffix) std::snprintf(t, sizeof t, "B %d%c", d->barnardNumber, d->barnardSuffix);
        else std::snprintf(t, sizeof t, "B %d", d->barnardNumber);
        if (AppendDesignation(b, t)) SetDesignationParts(b, 1, d->barnardNumber, 0, 0, "B");
        break;
    case 2:
        if (!d->ldnNumber) break;
        std::snprintf(t, sizeof t, "LDN %d", d->ldnNumber);
        if (AppendDesignation(b, t)) SetDesignationParts(b, 1, d->ldnNumber, 0, 0, "LDN");
        break;
    case 3: {
        if (d->dcLongitude == 0.0 && d->dcLatitude == 0.0) break;
        int n = std::snprintf(t, sizeof t, "DC %05.1f%+05.1f", d->dcLongitude, d->dcLatitude);
        if (d->dcSuffix && n > 0 && n < static_cast<int>(sizeof t) - 1) {
            t[n] = d->dcSuffix;
            t[n + 1] = '\0';
        }
        if (AppendDesignation(b, t))
            SetDesignationParts(b, 3, static_cast<int>(std::lround(d->dcLongitude * 10)),
                                static_cast<int>(std::lround(d->dcLatitude * 10)),
                                static_cast<unsigned char>(d->dcSuffix), "DC");
        break;
    }
    default: break;
    }
}
}  // namespace

int FormatDarkNebulaDesignations(const DesignationPreferences *prefs, const DarkNebulaRecord *record,
                                 DesignationList *list, int limit, int flag, DesignationParts *first,
                                 DesignationParts *second) {
    return BuildDesignationList(prefs, 6, 4, record, list, limit, flag, first, second, AddDarkKind);
}

static int MinusOneSlot(FILE *stream, int n, int last) {
    if (!stream || n < 1 || n > last) return -1;
    unsigned char v[2];
    if (!ReadAt(stream, (n - 1) * 2LL, v, 2)) return -1;
    int value = GetU16(v);
    return value == 0 || value == 0xFFFF ? -1 : value - 1;
}

int LookupLdn(FILE *stream, int n) { return MinusOneSlot(stream, n, 1802); }

int LookupBarnard(FILE *stream, int n, char suffix) {
    if (suffix >= 'a' && suffix <= 'z') suffix = static_cast<char>(suffix - 32);
    if (suffix == '\0') suffix = ' ';
    if (suffix != ' ' && suffix != 'A') return -1;
    if (n < 1 || n > 370) return -1;
    if (suffix == 'A') {
        static const int kOwn[][2] = {{44, 3094}, {67, 101}, {83, 229}, {84, 300}, {117, 3113}, {119, 3115}};
        for (const auto &e : kOwn)
            if (e[0] == n) return e[1];
    }
    return MinusOneSlot(stream, n, 370);
}

namespace {
struct DcKey {
    int longitude, latitude, suffix;
};
int CompareDcEntry(const void *record, const void *key) {
    const unsigned char *e = static_cast<const unsigned char *>(record);
    const DcKey *k = static_cast<const DcKey *>(key);
    uint16_t w = GetU16(e);
    int lon = w & 0x1FFF, code = w >> 13, lat = GetI16(e + 2);
    if (lon != k->longitude) return lon < k->longitude ? -1 : 1;
    if (lat != k->latitude) return lat < k->latitude ? -1 : 1;
    if (code == 1 && k->suffix == 0) return 0;  // a blank suffix finds "A"
    if (code != k->suffix) return code < k->suffix ? -1 : 1;
    return 0;
}
}  // namespace

int FindDarkCloudByDcDesignation(double longitude, double latitude, char suffix) {
    FILE *f = OpenCatalogueFile(kCatDc, 1);
    if (!f) return -1;
    DcKey key = {static_cast<int>(std::lround(longitude * 10)), static_cast<int>(std::lround(latitude * 10)),
                 0};
    if (suffix >= 'a' && suffix <= 'z') suffix = static_cast<char>(suffix - 32);
    if (suffix >= 'A' && suffix <= 'Z') key.suffix = suffix - 64;
    int count = static_cast<int>(StreamSize(f) / 6);  // 1,101 on the packaged file
    unsigned char last[6];
    int found = HalvingSearch(f, count, 6, &key, CompareDcEntry, nullptr, last);
    std::fclose(f);
    return found < 0 ? -1 : GetU16(last + 4);
}

namespace {
// "IV" 4, "V" 5, "III" 3, "II" 2, "I" 1; 0 for another word.
int RomanCloud(const char *word) {
    static const struct { const char *text; int value; } kRoman[] = {
        {"IV", 4}, {"V", 5}, {"III", 3}, {"II", 2}, {"I", 1}};
    for (const auto &r : kRoman)
        if (std::strcmp(word, r.text) == 0) return r.value;
    return 0;
}
void ReadGlobuleNumbers(const char *rest, int *first, int *second) {
    *first = 0;
    *second = 0;
    if (std::sscanf(rest, "%d-%d", first, second) >= 1) return;
    const char *dash = std::strchr(rest, '-');
    if (!dash) return;
    char word[64];
    size_t n = static_cast<size_t>(dash - rest);
    if (n >= sizeof word) n = sizeof word - 1;
    std::memcpy(word, rest, n);
    word[n] = '\0';
    *first = RomanCloud(word);
    if (std::sscanf(dash + 1, "%d", second) != 1) *second = 0;
}
}  // namespace

int CompareGlobuleDesignations(const char *a, const char *b) {
    char x[64], y[64];
    CopyStringBounded(x, a ? a : "", sizeof x);
    CopyStringBounded(y, b ? b : "", sizeof y);
    if (x[0] == 'W' && y[0] == 'W') {
        int nx = std::strlen(x) > 2 ? std::atoi(x + 2) : 0, ny = std::strlen(y) > 2 ? std::atoi(y + 2) : 0;
        return nx < ny ? -1 : nx > ny ? 1 : 0;
    }
    char *bx = std::strchr(x, ' '), *by = std::strchr(y, ' ');
    if (!bx || !by) return CompareStringsNoCase(x, y);
    *bx = '\0';
    *by = '\0';
    if (std::strcmp(x, y) != 0) {
        *bx = ' ';
        *by = ' ';
        return CompareStringsNoCase(x, y);
    }
    int fx, sx, fy, sy;
    ReadGlobuleNumbers(bx + 1, &fx, &sx);
    ReadGlobuleNumbers(by + 1, &fy, &sy);
    if (fx != fy) return fx < fy ? -1 : 1;
    if (sx != sy) return sx < sy ? -1 : 1;
    return 0;
}

namespace {
int CompareGlobuleEntry(const void *record, const void *key) {
    char name[15];
    std::memcpy(name, record, 14);
    name[14] = '\0';
    return CompareGlobuleDesignations(name, static_cast<const char *>(key));
}
}  // namespace

int FindGlobuleByDesignation(const char *text) {
    if (!text || !text[0]) return -1;
    // 193 entries on the packaged file, held in memory.
    std::shared_ptr<const CatalogueImage> image = CatalogueFileImage(kCatGlobule, 1);
    if (!image) return -1;
    unsigned char last[16];
    int found = HalvingSearchBytes(image->bytes.data(), image->bytes.size(), 16, text,
                                   CompareGlobuleEntry, nullptr, last);
    return found < 0 ? -1 : GetU16(last + 14);
}

int ReadGlobuleEntry(FILE *stream, int entry, char *text) {
    unsigned char e[16];
    if (text) text[0] = '\0';
    if (!stream || entry < 0 || !ReadAt(stream, entry * 16LL, e, 16)) return 0;
    if (text) {
        std::memcpy(text, e, 14);
        text[13] = '\0';
    }
    return GetU16(e + 14) + 1;
}

// ---- DC scan --------------------------------------------------------------------------------

DcScan *StartDcScan(double longitude, double latitude, char suffix) {
    long lonTenths = std::lround(longitude * 10), latTenths = std::lround(latitude * 10);
    if (lonTenths < 0 || lonTenths > 3599) return nullptr;
    FILE *f = OpenCatalogueFile(kCatDc, 1);
    if (!f) return nullptr;
    int count = static_cast<int>(StreamSize(f) / 6);   // 1,101 on the packaged file
    int index = 0;
    if (lonTenths != 0) {
        DcKey key = {static_cast<int>(lonTenths), static_cast<int>(latTenths), 0};
        if (suffix >= 'A' && suffix <= 'Z') key.suffix = suffix - 64;
        int last = -1;
        unsigned char e[6];
        int found = HalvingSearch(f, count, 6, &key, CompareDcEntry, &last, e);
        if (found >= 0) {
            index = found;
        } else if (last >= 0 && latTenths < 900) {
            index = last;
            int guard = 0;
            if ((GetU16(e) & 0x1FFF) < lonTenths) {
                while (index < count - 1 && lonTenths >= (GetU16(e) & 0x1FFF) && guard++ < count) {
                    ++index;
                    if (!ReadAt(f, index * 6LL, e, 6)) { std::fclose(f); return nullptr; }
                }
            } else {
                while (index > 0 && (GetU16(e) & 0x1FFF) >= lonTenths && guard++ < count) {
                    --index;
                    if (!ReadAt(f, index * 6LL, e, 6)) { std::fclose(f); return nullptr; }
                }
                if (index > 0) ++index;
            }
        } else if (last >= 0) {
            index = last;
        }
    }
    DcScan *scan = static_cast<DcScan *>(std::calloc(1, sizeof(DcScan)));
    if (!scan) {
        std::fclose(f);
        return nullptr;
    }
    scan->stream = f;
    scan->longitude = static_cast<int>(lonTenths);
    scan->index = index;
    scan->count = count;
    return scan;
}

int NextDcScanEntry(DcScan *scan, double *longitude, double *latitude, char *suffix, char *text) {
    if (!scan || !scan->stream || !text || scan->index >= scan->count) return 0;
    unsigned char e[6];
    if (!ReadAt(scan->stream, scan->index * 6LL, e, 6)) return 0;
    uint16_t w = GetU16(e);
    double lon = (w & 0x1FFF) * 0.1, lat = GetI16(e + 2) * 0.1;
    char c = (w >> 13) ? static_cast<char>(64 + (w >> 13)) : ' ';
    int n = std::snprintf(text, kDesignationTextSize, "DC %05.1f%+05.1f", lon, lat);
    if (c != ' ' && n > 0 && n < kDesignationTextSize - 1) {
        text[n] = c;
        text[n + 1] = '\0';
    }
    if (longitude) *longitude = lon;
    if (latitude) *latitude = lat;
    if (suffix) *suffix = c;
    ++scan->index;
    return GetU16(e + 4) + 1;
}

void EndDcScan(DcScan *scan) {
    if (!scan) return;
    if (scan->stream) std::fclose(scan->stream);
    std::free(scan);
}
