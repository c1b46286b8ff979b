// Galaxy group and quasar readers, lookups and designation lists.
#include "objects/groupcat.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/textutil.h"
#include "core/resstrings.h"
#include "objects/catcache.h"
#include "objects/catfile.h"
#include "objects/dsotexts.h"
#include "objects/dsoxref.h"

FILE *OpenGalaxyGroupCatalogue() {
    FILE *f = OpenCatalogueFile(kCatGalaxyGroup, 0);
    if (f && std::fseek(f, 4, SEEK_SET) != 0) {
        std::fclose(f);
        return nullptr;
    }
    return f;
}

int GalaxyGroupOfAcoNumber(int n) { return (n >= 1 && n <= kLastAcoNumber) ? n : 0; }
int GalaxyGroupOfHicksonNumber(int h) { return (h >= 1 && h <= 100) ? kLastAcoNumber + h : 0; }

int ReadGalaxyGroupRecord(FILE *stream, int32_t number, GalaxyGroupRecord *out, int flags) {
    if (!stream || !out) return 0;
    unsigned char b[kGalaxyGroupRecordSize];
    if (number != -1) {
        if (number < 1 || !ReadAt(stream, 4 + (number - 1) * static_cast<int64_t>(kGalaxyGroupRecordSize), b, sizeof b))
            return 0;
    } else if (std::fread(b, 1, sizeof b, stream) != sizeof b) {
        return 0;
    }
    auto mag = [](unsigned char v) { return v == 255 ? 99.9 : v * 0.1; };
    if (flags & kReadPosition) {
        out->ra = TurnFractionToRadians(GetI32(b));
        out->dec = TurnFractionToRadians(GetI32(b + 4));
    }
    if (flags & kReadIdentifiers) {
        out->acoNumber = GetU16(b + 8);
        out->hicksonNumber = b[10];
        out->commonName = b[11] == 255 ? -1 : b[11];
    }
    if (flags & kReadPhysical) {
        out->countA = b[15];
        out->classA = b[20];
        out->classB = b[21];
        out->magnitudeB = mag(b[14]);
        out->magnitudeA = mag(b[12]);
        out->redshift = GetU16(b + 16) * 0.0001;
    }
    if (flags & (kReadBrightness | kReadSizes)) {
        out->memberMagnitude = mag(b[22]);
        out->memberMajorAxis = GetU16(b + 23) / 62.0;
        out->memberMinorAxis = GetU16(b + 25) / 62.0;
    }
    if (flags & kReadBrightness) out->magnitude = mag(b[13]);
    if (flags & kReadSizes) out->size = GetU16(b + 18) * 0.1;
    return 1;
}

namespace {
void AddGroupKind(DesignationListBuilder *b, const void *rec, int kind) {
    const GalaxyGroupRecord *g = static_cast<const GalaxyGroupRecord *>(rec);
    char t[kDesignationTextSize];
    if (kind == 0) {
        AppendCommonName(b, g->commonName);
    } else if (kind == 1 && g->acoNumber) {
        std::snprintf(t, sizeof t, "ACO %d", g->acoNumber);
        if (AppendDesignation(b, t)) SetDesignationParts(b, 1, g->acoNumber, 0, 0, "ACO");
    } else if (kind == 2 && g->hicksonNumber) {
        std::snprintf(t, sizeof t, "Hickson %d", g->hicksonNumber);
        if (AppendDesignation(b, t)) SetDesignationParts(b, 1, g->hicksonNumber, 0, 0, "Hickson");
    }
}

void AddQuasarKind(DesignationListBuilder *b, const void *rec, int kind) {
    const QuasarRecord *q = static_cast<const QuasarRecord *>(rec);
    if (kind == 0) {
        AppendCommonName(b, q->commonName);
    } else if (kind == 1 && q->discovererDesignation[0]) {
        AppendDesignation(b, q->discovererDesignation);
    } else if (kind == 2 && q->hbDesignation[0]) {
        AppendDesignation(b, q->hbDesignation);
    }
}
}  // namespace

int FormatGalaxyGroupDesignations(const DesignationPreferences *prefs, const GalaxyGroupRecord *record,
                                  DesignationList *list, int limit, int flag, DesignationParts *first,
                                  DesignationParts *second) {
    return BuildDesignationList(prefs, 2, 3, record, list, limit, flag, first, second, AddGroupKind);
}

int FormatQuasarDesignations(const DesignationPreferences *prefs, const QuasarRecord *record,
                             DesignationList *list, int limit, int flag, DesignationParts *first,
                             DesignationParts *second) {
    int r = BuildDesignationList(prefs, 3, 3, record, list, limit, flag, first, second, AddQuasarKind);
    // Every quasar designation is a text.
    if (first) first->plain = 1;
    if (second) second->plain = 1;
    return r;
}

FILE *OpenQuasarCatalogue() { return OpenCatalogueFile(kCatQuasar, 1); }

int ReadQuasarRecord(FILE *stream, int32_t record, QuasarRecord *out, int flags) {
    if (!stream || !out) return 0;
    unsigned char b[kQuasarRecordSize];
    if (record != -1) {
        // A failed seek is a failure: another record must not be read instead.
        if (record < 0 || !ReadAt(stream, static_cast<int64_t>(record) * kQuasarRecordSize, b, sizeof b))
            return 0;
    } else {
        if (std::fread(b, 1, sizeof b, stream) != sizeof b) return 0;
        record = static_cast<int32_t>(std::ftell(stream) / kQuasarRecordSize) - 1;
    }
    if (flags & kReadPosition) {
        out->ra = TurnFractionToRadians(GetI32(b));
        out->dec = TurnFractionToRadians(GetI32(b + 4));
    }
    if (flags & kReadIdentifiers) {
        out->hbRaPart = GetU16(b + 8);
        out->hbDecPart = GetI16(b + 10);
        out->hbSuffix = static_cast<char>(b[12]);
        out->commonName = b[30] == 255 ? -1 : b[30];
        std::memcpy(out->discovererDesignation, b + 13, 17);
        out->discovererDesignation[17] = '\0';
        TrimTrailingBlanks(out->discovererDesignation);
        if (std::strlen(out->discovererDesignation) < 3) out->discovererDesignation[0] = '\0';
        out->hbDesignation[0] = '\0';
        if (out->hbRaPart != 0 || out->hbDecPart != 0) {
            char suffix = out->hbSuffix == ' ' ? '\0' : out->hbSuffix;
            if (suffix)
                std::snprintf(out->hbDesignation, sizeof out->hbDesignation, "Q%04d%+05d%c",
                              static_cast<int>(out->hbRaPart), static_cast<int>(out->hbDecPart), suffix);
            else
                std::snprintf(out->hbDesignation, sizeof out->hbDesignation, "Q%04d%+05d",
                              static_cast<int>(out->hbRaPart), static_cast<int>(out->hbDecPart));
        }
    }
    if (flags & kReadBrightness) {
        out->magnitude = b[32] == 255 ? 99.9 : b[32] * 0.1;
        out->descriptiveByte = b[40];
    }
    if (flags & kReadPhysical) {
        out->methods[0] = '\0';
        for (int i = 0; i < 5; ++i) {
            if (!(b[31] & (1 << i))) continue;
            if (out->methods[0]) std::strncat(out->methods, ", ", sizeof out->methods - std::strlen(out->methods) - 1);
            std::strncat(out->methods, LoadQuasarMethodName(i), sizeof out->methods - std::strlen(out->methods) - 1);
        }
        int16_t bv = GetI16(b + 33), c2 = GetI16(b + 35);
        out->bMinusV = bv == 0x7FFF ? 99.9 : bv * 0.01;
        out->colourIndex2 = c2 == 0x7FFF ? 99.9 : c2 * 0.01;
        uint16_t z = GetU16(b + 37);
        out->redshift = z == 0xFFFF ? 99.9 : z * 0.001;
        for (int i = 0; i < 4; ++i) out->flags[i] = (b[39] >> i) & 1;
        std::memcpy(out->shortText, b + 41, 3);
        out->shortText[3] = '\0';
        out->hasValue = b[46] != 0;
        out->value = (b[46] == 0 || b[46] == 255) ? 0.0 : b[46] / 15.0;
    }
    return record + 1;
}

namespace {
// Normalised tokens of a discoverer designation (at most 3, 31 characters each).
std::vector<std::string> QuasarTokens(const char *text) {
    std::string t(text ? text : "");
    if (t.size() > 63) t.resize(63);
    if (t.find("IRAS L") != std::string::npos || t.find("IRAS F") != std::string::npos)
        t = "IRAS " + (t.size() > 6 ? t.substr(6) : std::string());
    if (t.find("1WGA J") != std::string::npos) t = "1WGA " + (t.size() > 6 ? t.substr(6) : std::string());
    for (const char *mc : {"MC 1 ", "MC 2 ", "MC 3 ", "MC 4 ", "MC 5 "})
        if (t.find(mc) != std::string::npos) {
            t = "MC" + (t.size() > 3 ? t.substr(3) : std::string());
            break;
        }
    std::string withMarks;
    for (char c : t) {
        if (c == '-') withMarks += '$';
        withMarks += c;
    }
    if (withMarks.size() > 63) withMarks.resize(63);
    std::vector<std::string> tokens;
    std::string cur;
    for (char c : withMarks) {
        if (c == ' ' || c == '$' || c == '+') {
            if (!cur.empty()) tokens.push_back(cur.substr(0, 31));
            cur.clear();
            if (tokens.size() == 3) break;
        } else {
            cur += c;
        }
    }
    if (!cur.empty() && tokens.size() < 3) tokens.push_back(cur.substr(0, 31));
    return tokens;
}

int Sign(int v) { return (v > 0) - (v < 0); }

bool ReadNumber(const std::string &s, double *value) {
    char *end = nullptr;
    *value = std::strtod(s.c_str(), &end);
    return end != s.c_str();
}

int CompareThird(const std::string &a, const std::string &b) {
    std::string x = a, y = b;
    char sx = 0, sy = 0;
    if (!x.empty() && !std::isdigit(static_cast<unsigned char>(x.back()))) { sx = x.back(); x.pop_back(); }
    if (!y.empty() && !std::isdigit(static_cast<unsigned char>(y.back()))) { sy = y.back(); y.pop_back(); }
    double nx, ny;
    if (ReadNumber(x, &nx) && ReadNumber(y, &ny)) {
        if (nx != ny) return nx < ny ? -1 : 1;
        if (sx != sy) return static_cast<unsigned char>(sx) < static_cast<unsigned char>(sy) ? -1 : 1;
        return 0;
    }
    return Sign(a.compare(b));
}
}  // namespace

int CompareQuasarDesignations(const char *a, const char *b) {
    std::vector<std::string> ta = QuasarTokens(a), tb = QuasarTokens(b);
    int whole = Sign(std::strcmp(a ? a : "", b ? b : ""));
    if (ta.empty() || tb.empty()) return whole;
    int c = Sign(ta[0].compare(tb[0]));
    if (c) return c;
    if (ta.size() < 2 || tb.size() < 2) return whole;
    double na, nb;
    if (ReadNumber(ta[1], &na) && ReadNumber(tb[1], &nb)) {
        if (na != nb) return na < nb ? -1 : 1;
        if (ta.size() >= 3 && tb.size() >= 3) return CompareThird(ta[2], tb[2]);
    }
    c = Sign(ta[1].compare(tb[1]));
    if (c) return c;
    if (ta.size() >= 3 && tb.size() >= 3) return CompareThird(ta[2], tb[2]);
    return whole;
}

namespace {
int CompareQuasarEntry(const void *record, const void *key) {
    char name[19];
    std::memcpy(name, record, 18);
    name[18] = '\0';
    return CompareQuasarDesignations(name, static_cast<const char *>(key));
}
}  // namespace

int FindQuasarByDiscovererDesignation(const char *text) {
    if (!text || !text[0]) return -1;
    std::string t(text);
    if (t.size() > 2 && t[0] == '3' && t[1] == 'C' && t[2] == ' ') {
        size_t cut = t.find(".0");
        if (cut != std::string::npos) t.resize(cut);
    }
    // 6,230 entries on the packaged file, held in memory.
    std::shared_ptr<const CatalogueImage> image = CatalogueFileImage(kCatQuasarDesignation, 1);
    if (!image) return -1;
    unsigned char last[20];
    int found = HalvingSearchBytes(image->bytes.data(), image->bytes.size(), 20, t.c_str(),
                                   CompareQuasarEntry, nullptr, last);
    return found < 0 ? -1 : GetU16(last + 18);
}

namespace {

// Reads "%d%d%c" (right-ascension part, signed declination part, suffix) from
// a text that ends in the blank the caller appended; 1 when the three read and
// the part is a valid hhmm.
int ReadHewittBurbidgeParts(const std::string &text, int *ra, int *dec, char *suffix) {
    *suffix = ' ';
    if (std::sscanf(text.c_str(), "%d%d%c", ra, dec, suffix) != 3) return 0;
    return *ra >= 0 && *ra <= 2359 && *ra % 100 <= 59;
}

// The record number of the entry of the minute's list in q.bin that has the
// declination part and the suffix ("A" standing for a blank one), or -1.
int FindInMinuteList(FILE *f, int ra, int dec, char suffix) {
    int minute = ra % 100 + (ra / 100) * 60;
    unsigned char d[5];
    if (!ReadAt(f, minute * 5LL, d, 5) || d[4] == 0 || std::fseek(f, static_cast<long>(GetU32(d)), SEEK_SET) != 0)
        return -1;
    for (int i = 0; i < d[4]; ++i) {
        unsigned char e[5];
        if (std::fread(e, 1, 5, f) != 5) break;
        char es = static_cast<char>(e[2]);
        if (GetI16(e) == dec && (es == suffix || (suffix == ' ' && es == 'A'))) return GetU16(e + 3);
    }
    return -1;
}

}  // namespace

int FindQuasarByHewittBurbidge(const char *text) {
    if (!text) return -1;
    const char *p = (text[0] == 'Q' || text[0] == 'q') ? text + 1 : text;
    std::string packed;
    for (; *p; ++p)
        if (*p != ' ') packed += *p;
    if (packed.size() < 5 || packed.size() > 60) return -1;
    packed += ' ';
    int ra = 0, dec = 0;
    char suffix = ' ';
    if (!ReadHewittBurbidgeParts(packed, &ra, &dec, &suffix)) return -1;
    FILE *f = OpenCatalogueFile(kCatHewittBurbidge, 1);
    if (!f) return -1;
    int result = FindInMinuteList(f, ra, dec, suffix);
    std::fclose(f);
    return result;
}

FILE *OpenHewittBurbidgeIndex() { return OpenCatalogueFile(kCatHewittBurbidge, 1); }

int LookupHewittBurbidge(FILE *stream, const char *text) {
    if (!stream || !text) return 0;
    const char *p = text;
    if (*p == 'Q' || *p == 'q') ++p;
    if (*p == ' ') ++p;
    // The blank goes on a copy: the caller's text is never written.
    std::string copy(p, strnlen(p, 64));
    copy += ' ';
    int ra = 0, dec = 0;
    char suffix = ' ';
    if (!ReadHewittBurbidgeParts(copy, &ra, &dec, &suffix)) return 0;
    int record = FindInMinuteList(stream, ra, dec, suffix);
    return record < 0 ? 0 : record + 1;
}

long ParseLeadingNumber(const char *text, int n) {
    if (!text || n < 1 || n > 95) return -1;
    size_t length = strnlen(text, static_cast<size_t>(n));
    if (length < static_cast<size_t>(n) || text[n - 1] == ' ') return -1;
    char head[96];
    std::memcpy(head, text, static_cast<size_t>(n));
    head[n] = '\0';
    long value = 0;
    return std::sscanf(head, "%ld", &value) == 1 ? value : -1;
}

// ---- Hewitt-Burbidge scan ------------------------------------------------------------------

HewittBurbidgeScan *StartHewittBurbidgeScan(int raPart, int decPart, char suffix) {
    if (raPart < 0 || raPart > 2359 || raPart % 100 > 59) return nullptr;
    FILE *f = OpenCatalogueFile(kCatHewittBurbidge, 1);
    if (!f) return nullptr;
    int minute = raPart % 100 + (raPart / 100) * 60;
    unsigned char d[5];
    HewittBurbidgeScan *scan = static_cast<HewittBurbidgeScan *>(std::calloc(1, sizeof(HewittBurbidgeScan)));
    if (!scan || !ReadAt(f, minute * 5LL, d, 5) || std::fseek(f, static_cast<long>(GetU32(d)), SEEK_SET) != 0) {
        std::free(scan);
        std::fclose(f);
        return nullptr;
    }
    scan->stream = f;
    scan->listOffset = static_cast<long>(GetU32(d));
    scan->count = d[4];
    scan->raPart = raPart;
    if (decPart != -9999) {
        int i = 0;
        for (; i < scan->count; ++i) {
            unsigned char e[5];
            if (std::fread(e, 1, 5, f) != 5) {
                std::fclose(f);
                std::free(scan);
                return nullptr;
            }
            if (GetI16(e) == decPart && static_cast<char>(e[2]) == suffix) break;
        }
        scan->position = i;
        std::fseek(f, scan->listOffset + i * 5L, SEEK_SET);
    }
    return scan;
}

int NextHewittBurbidgeScanEntry(HewittBurbidgeScan *scan, int *raPart, int *decPart, char *suffix,
                                char *text) {
    if (!scan || !scan->stream) return 0;
    for (int guard = 0; scan->position >= scan->count; ++guard) {
        if (guard > 1440) return 0;
        ++scan->raPart;
        if (scan->raPart % 100 >= 60) scan->raPart = scan->raPart / 100 * 100 + 100;
        if (scan->raPart >= 2360) return 0;
        unsigned char d[5];
        int minute = scan->raPart % 100 + (scan->raPart / 100) * 60;
        if (!ReadAt(scan->stream, minute * 5LL, d, 5)) return 0;
        scan->count = d[4];
        scan->listOffset = static_cast<long>(GetU32(d));
        scan->position = 0;
        if (scan->count && std::fseek(scan->stream, scan->listOffset, SEEK_SET) != 0) return 0;
    }
    unsigned char e[5];
    if (std::fread(e, 1, 5, scan->stream) != 5) return 0;
    char c = static_cast<char>(e[2]);
    if (c == ' ') c = '\0';
    if (raPart) *raPart = scan->raPart;
    if (decPart) *decPart = GetI16(e);
    if (suffix) *suffix = c;
    if (text) {
        if (c)
            std::snprintf(text, kDesignationTextSize, "Q%04d%+05d%c", scan->raPart, GetI16(e), c);
        else
            std::snprintf(text, kDesignationTextSize, "Q%04d%+05d", scan->raPart, GetI16(e));
    }
    ++scan->position;
    return GetU16(e + 3) + 1;
}

void EndHewittBurbidgeScan(HewittBurbidgeScan *scan) {
    if (!scan) return;
    if (scan->stream) std::fclose(scan->stream);
    std::free(scan);
}
