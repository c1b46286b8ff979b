// Package (exchange file) headers: writing, reading with checks, counts.
#include "core/package.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "core/safefile.h"

int WritePackageHeader(FILE *f, PackageHeader *header, const char *text) {
    if (!f || !header || !text) return 0;
    size_t len = std::strlen(text);
    header->textLength = (int32_t)len;
    header->name[64] = '\0';
    if (!SafeWriteAll(f, header, sizeof *header)) return 0;
    return SafeWriteAll(f, text, len + 1) ? 1 : 0;
}

int ReadPackageHeader(FILE *f, PackageHeader *header, char **textOut) {
    if (textOut) *textOut = nullptr;
    if (!f || !header) return 0;
    if (SafeRead(header, sizeof *header, 1, f) != 1) return 0;
    header->name[64] = '\0';  // files from other computers are not trusted
    if (!textOut) return 1;
    // The length must fit in what is left of the file.
    int64_t left = BytesLeftInStream(f);
    if (left < 0 || header->textLength < 0 || int64_t{header->textLength} + 1 > left) return 0;
    char *block = new (std::nothrow) char[(size_t)header->textLength + 1];
    if (!block) return 0;
    if (SafeRead(block, 1, (size_t)header->textLength + 1, f) != (size_t)header->textLength + 1) {
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
    if (!SafeSeek(f, 0) || SafeRead(header, sizeof *header, 1, f) != 1) return 0;
    header->counts[0] = c1;
    header->counts[1] = c2;
    header->counts[2] = c3;
    header->counts[3] = c4;
    header->counts[4] = c5;
    if (!SafeSeek(f, 0) || !SafeWriteAll(f, header, sizeof *header)) return 0;
    return std::fflush(f) == 0 ? 1 : 0;
}

int WriteNewPackageHeader(FILE *f, int kind, const char *name, const char *description, PackageHeader *header) {
    if (!f || !name || !header) return 0;
    std::memset(header, 0, sizeof *header);
    SetCurrentStamp(&header->stamp);
    header->kind = static_cast<uint8_t>(kind);
    std::snprintf(header->name, sizeof header->name, "%s", name);
    return SetPackageFileTime(header, nullptr) && WritePackageHeader(f, header, description ? description : "") ? 1 : 0;
}

FILE *CreatePackageFile(const char *path, int kind, const char *name, const char *description) {
    if (!path || !name) return nullptr;
    FILE *file = SafeOpen(path, "w+b");
    if (!file) return nullptr;
    PackageHeader header;
    if (!WriteNewPackageHeader(file, kind, name, description, &header)) {
        SafeClose(file);
        return nullptr;
    }
    return file;
}

int FinishPackageCounts(FILE *f, const int32_t counts[5], PackageHeader *header) {
    if (!f || !counts || !header) return 0;
    if (!SafeSeek(f, 0) || ReadPackageHeader(f, header, nullptr) != 1) return 0;
    if (UpdatePackageCounts(f, header, counts[0], counts[1], counts[2], counts[3], counts[4]) != 1)
        return 0;
    header->name[sizeof header->name - 1] = '\0';
    return 1;
}

int PackageHeaderAccepted(const PackageHeader *header, int expectedKind) {
    if (!header || header->stamp.magic != kStampMagic || header->kind != expectedKind) return 0;
    return header->stamp.major > (expectedKind == 9 ? 2 : 1) ? 1 : 0;
}
