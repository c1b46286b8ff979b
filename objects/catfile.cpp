// Opening packaged catalogue files by name and slot, and the small byte-level
// helpers every catalogue reader shares.
#include "objects/catfile.h"

#include "core/datapaths.h"

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

int64_t StreamSize(FILE *stream) {
    if (!stream) return -1;
    long here = std::ftell(stream);
    if (here < 0 || std::fseek(stream, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(stream);
    std::fseek(stream, here, SEEK_SET);
    return size;
}

double TurnFractionToRadians(int32_t value) {
    return value * (6.283185307179586476925286766559 / 2147483647.0);
}
