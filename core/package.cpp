// Package (exchange file) headers: writing, reading with checks, counts.
#include "core/package.h"

#include <cstring>
#include <new>

int WritePackageHeader(FILE *f, PackageHeader *header, const char *text) {
    if (!f || !header || !text) return 0;
    size_t len = std::strlen(text);
    header->textLength = (int32_t)len;
    header->name[64] = '\0';
    if (std::fwrite(header, sizeof *header, 1, f) != 1) return 0;
    return std::fwrite(text, 1, len + 1, f) == len + 1 ? 1 : 0;
}

int ReadPackageHeader(FILE *f, PackageHeader *header, char **textOut) {
    if (textOut) *textOut = nullptr;
    if (!f || !header) return 0;
    long start = std::ftell(f);
    if (std::fread(header, sizeof *header, 1, f) != 1) return 0;
    header->name[64] = '\0';  // files from other computers are not trusted
    if (!textOut) return 1;
    // The length must fit in what is left of the file.
    long here = std::ftell(f);
    if (start < 0 || here < 0 || std::fseek(f, 0, SEEK_END) != 0) return 0;
    long end = std::ftell(f);
    if (end < 0 || std::fseek(f, here, SEEK_SET) != 0) return 0;
    if (header->textLength < 0 || (long)header->textLength + 1 > end - here) return 0;
    char *block = new (std::nothrow) char[(size_t)header->textLength + 1];
    if (!block) return 0;
    if (std::fread(block, 1, (size_t)header->textLength + 1, f) != (size_t)header->textLength + 1) {
        delete[] block;
        return 0;
    }
    block[header->textLength] = '\0';
    *textOut = block;
    return 1;
}

int UpdatePackageCounts(FILE *f, PackageHeader *header, int32_t c1, int32_t c2, int32_t c3,
                        int32_t c4, int32_t c5) {
    if (!f || !header) return 0;
    if (std::fseek(f, 0, SEEK_SET) != 0 || std::fread(header, sizeof *header, 1, f) != 1) return 0;
    header->counts[0] = c1;
    header->counts[1] = c2;
    header->counts[2] = c3;
    header->counts[3] = c4;
    header->counts[4] = c5;
    if (std::fseek(f, 0, SEEK_SET) != 0 || std::fwrite(header, sizeof *header, 1, f) != 1) return 0;
    return std::fflush(f) == 0 ? 1 : 0;
}

int PackageHeaderAccepted(const PackageHeader *header, int expectedKind) {
    if (!header || header->stamp.magic != kStampMagic || header->kind != expectedKind) return 0;
    return header->stamp.major > (expectedKind == 9 ? 2 : 1) ? 1 : 0;
}
