// Opening packaged catalogue files by name and slot, and the small byte-level
// helpers every catalogue reader shares.
#include "objects/catfile.h"

#include <cstdlib>
#include <cstring>

#include "core/safefile.h"
#include "core/datapaths.h"
#include "objects/binsearch.h"
#include "core/mathutil.h"

FILE *OpenCatalogueFile(int k, int slot) {
    char path[kCatalogueFilePathSize];
    MakeCatalogueFilePath(path, k, slot);
    if (!path[0] || !GetRefDirectory(slot)) return nullptr;
    return std::fopen(path, "rb");
}

bool ReadAt(FILE *stream, int64_t offset, void *buffer, size_t n) {
    if (!stream || offset < 0 || offset > 0x7fffffffLL) return false;
    if (std::fseek(stream, static_cast<long>(offset), SEEK_SET) != 0) return false;
    return std::fread(buffer, 1, n, stream) == n;
}


double TurnFractionToRadians(int32_t value) {
    return value * (2.0 * kPi / 2147483647.0);
}

int ReadNameIndexEntry(FILE *stream, int entry, int width, char *text) {
    unsigned char e[64];
    if (text) text[0] = '\0';
    if (!stream || entry < 1 || width < 3 || width > (int)sizeof e ||
        !ReadAt(stream, (entry - 1) * (int64_t)width, e, (size_t)width))
        return -1;
    if (text) {
        std::memcpy(text, e, (size_t)width - 2);
        text[width - 3] = '\0';
    }
    return GetU16(e + width - 2);
}

namespace {
struct NameIndexKey {
    const char *text;
    int width;
};

int CompareNameIndexEntry(const void *key, FILE *file, int mid, void **recordOut) {
    const NameIndexKey *k = static_cast<const NameIndexKey *>(key);
    unsigned char e[64];
    if (!ReadAt(file, mid * (int64_t)k->width, e, (size_t)k->width)) return 1;
    char name[64];
    std::memcpy(name, e, (size_t)k->width - 2);
    name[k->width - 2] = '\0';
    int c = std::strcmp(k->text, name);
    if (c != 0) return c;
    int *r = static_cast<int *>(std::malloc(sizeof(int)));
    if (!r) return 1;
    *r = GetU16(e + k->width - 2);
    *recordOut = r;
    return 0;
}
}  // namespace

int FindInNameIndex(FILE *stream, int width, const char *text) {
    if (!stream || !text || !text[0] || width < 3 || width > 64) return -1;
    int count = static_cast<int>(StreamSize(stream) / width);
    NameIndexKey key{text, width};
    int index = 0;
    int *r = static_cast<int *>(
        BinarySearchFileRecords(stream, 0, count - 1, &key, &index, CompareNameIndexEntry));
    int result = r ? *r : -1;
    std::free(r);
    return result;
}
