// Bright nebula reader, number indexes, other designations and list.
#include "objects/nebulacat.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "core/textutil.h"
#include "objects/binsearch.h"
#include "objects/catcache.h"
#include "objects/catfile.h"
#include "objects/dsotexts.h"
#include "objects/dsoxref.h"

FILE *OpenBrightNebulaCatalogue() { return OpenCatalogueFile(kCatBrightNebula, 0); }
FILE *OpenSharplessIndex() { return OpenCatalogueFile(kCatSharpless, 1); }
FILE *OpenGumIndex() { return OpenCatalogueFile(kCatGum, 1); }
FILE *OpenRcwIndex() { return OpenCatalogueFile(kCatRcw, 1); }
FILE *OpenLbnIndex() { return OpenCatalogueFile(kCatLbn, 1); }
FILE *OpenVdbIndex() { return OpenCatalogueFile(kCatVdb, 1); }
FILE *OpenNebulaOtherIndex() { return OpenCatalogueFile(kCatNebulaOther, 1); }

int ReadBrightNebulaRecord(FILE *stream, int32_t record, BrightNebulaRecord *out,
                           const DesignationPreferences *prefs, int flags) {
    if (!stream || !out) return 0;
    unsigned char b[kBrightNebulaRecordSize];
    if (record != -1) {
        if (record < 0 || !ReadAt(stream, static_cast<int64_t>(record) * kBrightNebulaRecordSize, b, sizeof b))
            return 0;
    } else if (std::fread(b, 1, sizeof b, stream) != sizeof b) {
        return 0;
    }
    out->typeCode = b[8] & 0x7F;
    out->typeFlag = b[8] >> 7;
    out->brightnessClass = b[46];
    if (flags & kReadPosition) {
        out->ra = TurnFractionToRadians(GetI32(b));
        out->dec = TurnFractionToRadians(GetI32(b + 4));
    }
    if (flags & kReadIdentifiers) {
        out->commonName = b[9] == 255 ? -1 : b[9];
        out->messierNumber = b[10];
        out->ngcNumbers[0] = GetU16(b + 11);
        out->ngcNumbers[1] = GetU16(b + 13);
        out->icNumbers[0] = GetU16(b + 15);
        out->icNumbers[1] = GetU16(b + 17);
        out->vdbNumber = b[19];
        out->gumNumber = b[20];
        out->rcwNumber = b[21];
        out->sharplessNumber = GetU16(b + 22);
        out->lbnNumber = GetU16(b + 24);
        std::memcpy(out->otherDesignations, b + 29, 15);
        out->otherDesignations[14] = '\0';
        if (flags & kReadDisplayName) {
            DesignationList *list = static_cast<DesignationList *>(std::calloc(1, sizeof(DesignationList)));
            out->displayName[0] = '\0';
            if (list && FormatBrightNebulaDesignations(prefs, out, list, 1, 0, nullptr, nullptr) && list->count)
                CopyStringBounded(out->displayName, list->entries[0], sizeof out->displayName);
            std::free(list);
        }
    }
    if (flags & kReadSizes) {
        out->majorSize = GetU16(b + 27) * 0.1;
        out->minorSize = GetU16(b + 44) * 0.1;
    }
    if (flags & kReadBrightness) out->magnitude = b[26] == 255 ? 99.9 : b[26] * 0.1;
    return 1;
}

namespace {
void AddNebulaKind(DesignationListBuilder *b, const void *rec, int kind) {
    const BrightNebulaRecord *n = static_cast<const BrightNebulaRecord *>(rec);
    char t[kDesignationTextSize];
    auto single = [&](const char *fmt, int v, const char *word) {
        if (!v) return;
        std::snprintf(t, sizeof t, fmt, v);
        if (AppendDesignation(b, t)) SetDesignationParts(b, 1, v, 0, 0, word);
    };
    switch (kind) {
    case 0: AppendCommonName(b, n->commonName); break;
    case 1: single("M %d", n->messierNumber, "M"); break;
    case 2:
    case 3: {
        const int32_t *numbers = kind == 2 ? n->ngcNumbers : n->icNumbers;
        if (!numbers[0]) break;
        if (kind == 2) FormatNgcDesignation(t, numbers[0], 0); else FormatIcDesignation(t, numbers[0], 0);
        if (!AppendDesignation(b, t)) break;
        if (kind == 2) SetDesignationParts(b, 1, numbers[0], 0, 0, "NGC");
        else SetDesignationParts(b, 2, numbers[0], numbers[1], 0, "IC");
        DesignationParts *parts = b->current;
        if (numbers[1]) {
            if (kind == 2) FormatNgcDesignation(t, numbers[1], 0); else FormatIcDesignation(t, numbers[1], 0);
            AppendDesignation(b, t);
        }
        b->current = parts;
        break;
    }
    case 4: single("Sh 2-%d", n->sharplessNumber, "Sh"); break;
    case 5: single("vdB %d", n->vdbNumber, "vdB"); break;
    case 6: single("Gum %d", n->gumNumber, "Gum"); break;
    case 7: single("RCW %d", n->rcwNumber, "RCW"); break;
    case 8: single("LBN %d", n->lbnNumber, "LBN"); break;
    case 9: {
        const char *o = n->otherDesignations;
        if (!o[0] || !AppendDesignation(b, o)) break;
        SetPlainName(b);
        int v = 0;
        char c = 0;
        const char *at;
        if ((at = std::strstr(o, "Bernes")) && std::sscanf(at, "Bernes %d", &v) == 1)
            SetDesignationParts(b, 1, v, 0, 0, "Bernes");
        if ((at = std::strstr(o, "Ced")) && std::sscanf(at, "Ced %d%c", &v, &c) >= 1)
            SetDesignationParts(b, 1, v, 0, 0, "Ced");
        if ((at = std::strstr(o, "Parsamian")) && std::sscanf(at, "Parsamian %d", &v) == 1)
            SetDesignationParts(b, 1, v, 0, 0, "Parsamian");
        if ((at = std::strstr(o, "Simeis")) && std::sscanf(at, "Simeis %d", &v) == 1)
            SetDesignationParts(b, 1, v, 0, 0, "Simeis");
        break;
    }
    default: break;
    }
}

int Int16Slot(FILE *stream, int n, int limit) {
    if (!stream || n < 1 || n >= limit) return -1;
    unsigned char v[2];
    if (!ReadAt(stream, (n - 1) * 2LL, v, 2)) return -1;
    return GetI16(v) < 0 ? -1 : GetI16(v);
}
}  // namespace

int FormatBrightNebulaDesignations(const DesignationPreferences *prefs, const BrightNebulaRecord *record,
                                   DesignationList *list, int limit, int flag, DesignationParts *first,
                                   DesignationParts *second) {
    return BuildDesignationList(prefs, 5, 10, record, list, limit, flag, first, second, AddNebulaKind);
}

int LookupSharpless(FILE *stream, int n) { return Int16Slot(stream, n, 313); }
int LookupGum(FILE *stream, int n) { return Int16Slot(stream, n, 84); }
int LookupRcw(FILE *stream, int n) { return Int16Slot(stream, n, 159); }
int LookupLbn(FILE *stream, int n) { return Int16Slot(stream, n, 1628); }
int LookupVdb(FILE *stream, int n) { return Int16Slot(stream, n, 159); }

int ReadNebulaOtherEntry(FILE *stream, int entry, char *text) {
    unsigned char e[17];
    if (text) text[0] = '\0';
    if (!stream || entry < 0 || !ReadAt(stream, entry * 17LL, e, 17)) return -1;
    if (text) {
        std::memcpy(text, e + 2, 15);
        text[14] = '\0';
    }
    return GetI16(e);
}

int CompareNebulaOtherDesignations(const char *a, const char *b) {
    char x[64], y[64];
    CopyStringBounded(x, a ? a : "", sizeof x);
    CopyStringBounded(y, b ? b : "", sizeof y);
    TrimTrailingBlanks(x);
    TrimTrailingBlanks(y);
    char *bx = std::strchr(x, ' '), *by = std::strchr(y, ' ');
    if (!bx || !by) return CompareStringsNoCase(x, y);
    char wx[32], wy[32], rx[32], ry[32];
    CopyStringBounded(wx, x, static_cast<int>(bx - x + 1) < 32 ? static_cast<int>(bx - x + 1) : 32);
    CopyStringBounded(wy, y, static_cast<int>(by - y + 1) < 32 ? static_cast<int>(by - y + 1) : 32);
    CopyStringBounded(rx, bx + 1, sizeof rx);
    CopyStringBounded(ry, by + 1, sizeof ry);
    int c = std::strcmp(wx, wy);
    if (c != 0) return c;
    if (std::isdigit(static_cast<unsigned char>(rx[0])) && std::isdigit(static_cast<unsigned char>(ry[0]))) {
        char sx = ' ', sy = ' ';
        size_t lx = std::strlen(rx), ly = std::strlen(ry);
        if (!std::isdigit(static_cast<unsigned char>(rx[lx - 1]))) { sx = rx[lx - 1]; rx[lx - 1] = '\0'; }
        if (!std::isdigit(static_cast<unsigned char>(ry[ly - 1]))) { sy = ry[ly - 1]; ry[ly - 1] = '\0'; }
        int nx, ny;
        if (std::sscanf(rx, "%d", &nx) == 1 && std::sscanf(ry, "%d", &ny) == 1) {
            if (nx != ny) return nx < ny ? -1 : 1;
            if (sx != sy) return static_cast<unsigned char>(sx) < static_cast<unsigned char>(sy) ? -1 : 1;
        }
        return std::strcmp(rx, ry);
    }
    return std::strcmp(rx, ry);
}


int FindBrightNebulaByOtherDesignation(const char *text) {
    if (!text || !text[0]) return -1;
    // 355 entries on the packaged file, held in memory.
    std::shared_ptr<const CatalogueImage> image = CatalogueFileImage(kCatNebulaOther, 1);
    int found = SearchImageRecords(image.get(), 17, text, [](const void *key, const unsigned char *e) {
        char name[16];
        std::memcpy(name, e + 2, 15);
        name[15] = '\0';
        return CompareNebulaOtherDesignations(static_cast<const char *>(key), name);
    });
    return found < 0 ? -1 : GetI16(image->bytes.data() + static_cast<size_t>(found) * 17);
}
