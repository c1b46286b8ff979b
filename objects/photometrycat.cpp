// The photometric catalogue readers: one record reader shared by the five
// layouts, which differ in size, number of values, the threshold below which
// a value means "none" and the fields after the values.
#include "objects/photometrycat.h"

#include <cstring>

#include "objects/catfile.h"

namespace {
const int kReferenceSlot = 1;
const int kLandoltCatalogue = 24, kDdoCatalogue = 49, kGenevaCatalogue = 51,
          kUbvriCatalogue = 52, kUvbyCatalogue = 53;
const int kLandoltSize = 62, kDdoSize = 27, kGenevaSize = 40, kUbvriSize = 23, kUvbySize = 23;
const int kValuesOffset = 8;
const int kLargestRecord = 62;

// Reads record n (or the next for -1) into bytes; the values from byte 8
// are decoded, those below `none` becoming 99.9 (none = 0: no threshold,
// as in the Landolt standards).
bool ReadCommon(FILE *stream, int n, int size, int values, double none, unsigned char *p,
                PhotometryRecord *out) {
    if (!stream || !out) return false;
    if (n != -1) {
        if (n < 1) return false;
        if (std::fseek(stream, (long)(n - 1) * size, SEEK_SET) != 0) return false;
    }
    if (std::fread(p, 1, (size_t)size, stream) != (size_t)size) return false;
    std::memset(out, 0, sizeof *out);
    out->ra = TurnFractionToRadians(GetI32(p));
    out->dec = TurnFractionToRadians(GetI32(p + 4));
    out->count = values;
    for (int i = 0; i < values; ++i) {
        const double v = GetI16(p + kValuesOffset + 2 * i) * 0.001;
        out->values[i] = (none < 0.0 && v < none) ? kNoPhotometryValue : v;
    }
    return true;
}

void SetCounts(PhotometryRecord *out, int value) {
    for (int i = 0; i < out->count; ++i) out->counts[i] = value;
}
}  // namespace

FILE *OpenLandoltCatalogue() { return OpenCatalogueFile(kLandoltCatalogue, kReferenceSlot); }
FILE *OpenDdoCatalogue() { return OpenCatalogueFile(kDdoCatalogue, kReferenceSlot); }
FILE *OpenGenevaCatalogue() { return OpenCatalogueFile(kGenevaCatalogue, kReferenceSlot); }
FILE *OpenUbvriCatalogue() { return OpenCatalogueFile(kUbvriCatalogue, kReferenceSlot); }
FILE *OpenUvbyCatalogue() { return OpenCatalogueFile(kUvbyCatalogue, kReferenceSlot); }

int ReadLandoltStar(FILE *stream, int n, PhotometryRecord *out) {
    unsigned char p[kLargestRecord];
    if (!ReadCommon(stream, n, kLandoltSize, 6, 0.0, p, out)) return 0;
    for (int i = 0; i < 6; ++i) out->errors[i] = GetU32(p + 20 + 4 * i) * 0.0001;
    out->code = p[44];
    SetCounts(out, p[45]);
    std::memcpy(out->name, p + 46, 12);
    out->name[12] = '\0';
    out->identifier = GetI32(p + 58);
    out->flag = 0;
    return 1;
}

int ReadDdoStar(FILE *stream, int n, PhotometryRecord *out) {
    unsigned char p[kLargestRecord];
    if (!ReadCommon(stream, n, kDdoSize, 7, -30.0, p, out)) return 0;
    out->code = p[22] & 0x3f;
    out->flag = (p[22] >> 6) & 1;
    SetCounts(out, (p[22] & 0x80) ? 3 : 0);
    out->identifier = GetI32(p + 23);
    return 1;
}

int ReadGenevaStar(FILE *stream, int n, PhotometryRecord *out) {
    unsigned char p[kLargestRecord];
    if (!ReadCommon(stream, n, kGenevaSize, 13, -30.0, p, out)) return 0;
    const uint16_t word = GetU16(p + 34);
    for (int i = 0; i < 13; ++i) out->errors[i] = (word & 0x7fff) * 0.001;
    out->flag = (word >> 15) & 1;
    out->identifier = GetI32(p + 36);
    return 1;
}

int ReadUbvriStar(FILE *stream, int n, PhotometryRecord *out) {
    unsigned char p[kLargestRecord];
    if (!ReadCommon(stream, n, kUbvriSize, 5, -30.0, p, out)) return 0;
    out->flag = p[18] & 1;
    SetCounts(out, (p[18] & 2) ? 20 : 0);
    out->identifier = GetI32(p + 19);
    return 1;
}

int ReadUvbyStar(FILE *stream, int n, PhotometryRecord *out) {
    unsigned char p[kLargestRecord];
    if (!ReadCommon(stream, n, kUvbySize, 4, -31.0, p, out)) return 0;
    for (int i = 0; i < 3; ++i) out->counts[i] = p[16];
    out->counts[3] = p[17];
    out->flag = p[18] != 0 ? 1 : 0;
    out->identifier = GetI32(p + 19);
    return 1;
}
