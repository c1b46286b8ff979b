// File steps shared by the user's supplemental stores (see userstoreio.h).
#include "minorbodies/userstoreio.h"

#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"

int MakeStorePath(char *out, const char *name) {
    return MakeUserDataPath(out, 1024, name);
}

FILE *OpenOrCreateStore(const char *path, const void *header, size_t headerSize) {
    if (!path) return nullptr;
    if (!FileExists(path) && !WriteWholeFileSafely(path, header, headerSize)) return nullptr;
    return SafeOpen(path, "r+b");
}

int ReadAllStoreBytes(FILE *file, std::string *bytes) {
    int64_t size = StreamSize(file);
    if (size < 0) return 0;
    bytes->assign(static_cast<size_t>(size), '\0');
    if (size == 0) return 1;
    return ReadStoreBytes(file, 0, &(*bytes)[0], bytes->size());
}

int ReplaceStore(FILE **file, const char *path, const std::string &bytes) {
    if (!file || !path) return 0;
    // The stream is closed first: Windows will not replace a file that is open.
    if (*file) SafeClose(*file);
    *file = nullptr;
    int ok = WriteWholeFileSafely(path, bytes.data(), bytes.size());
    *file = SafeOpen(path, "r+b");
    if (!*file) {
        // The seam may have failed the reopen; the content is on the disk
        // either way, and a second try is what a caller would make.
        *file = SafeOpen(path, "r+b");
    }
    return ok && *file ? 1 : 0;
}

void RemoveStoreFile(const char *path) {
    if (path && FileExists(path)) SafeRemove(path);
}

FILE *PositionPastStoreHeader(FILE *f, StoreHeaderReader readHeader, int64_t headerSize, int32_t *count) {
    int32_t n = 0;
    if (!f) return nullptr;
    if (!readHeader(f, &n, nullptr) || !SafeSeek(f, headerSize)) {
        SafeClose(f);
        return nullptr;
    }
    if (count) *count = n;
    return f;
}
