// File steps shared by the user's supplemental stores (see userstoreio.h).
#include "minorbodies/userstoreio.h"

#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/storelock.h"
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

// ---- the record stores of user minor planets and comets ------------------------

int FormatUserStorePath(const UserStoreShape &s, char *out) { return MakeStorePath(out, s.fileName); }

int ReadUserStoreHeader(const UserStoreShape &s, FILE *stream, int32_t *count, int32_t *highestId) {
    int32_t n = 0, high = 0;
    if (s.fieldBytes == 2) {
        uint16_t h[2];
        if (!ReadStoreBytes(stream, 0, h, sizeof h)) return 0;
        n = h[0];
        high = h[1];
    } else {
        int32_t h[2];
        if (!ReadStoreBytes(stream, 0, h, sizeof h)) return 0;
        n = h[0];
        high = h[1];
    }
    int64_t size = StreamSize(stream);
    if (n < 0 || size < 0 || UserStoreOffset(s, n) > size) return 0;
    if (count) *count = n;
    if (highestId) *highestId = high;
    return 1;
}

std::string UserStoreHeaderBytes(const UserStoreShape &s, int32_t count, int32_t highestId) {
    if (s.fieldBytes == 2) {
        uint16_t h[2] = {static_cast<uint16_t>(count), static_cast<uint16_t>(highestId)};
        return std::string(reinterpret_cast<const char *>(h), sizeof h);
    }
    int32_t h[2] = {count, highestId};
    return std::string(reinterpret_cast<const char *>(h), sizeof h);
}

int CreateUserStore(const UserStoreShape &s) {
    char path[1024];
    if (!FormatUserStorePath(s, path)) return 0;
    StoreLock lock;
    if (!LockUserStore(s, &lock)) return 0;
    std::string header = UserStoreHeaderBytes(s, 0, 0);
    int ok = WriteWholeFileSafely(path, header.data(), header.size());
    if (s.afterRewrite) s.afterRewrite();
    return ok;
}

namespace {
FILE *PastHeader(const UserStoreShape &s, FILE *f, int32_t *count) {
    int32_t n = 0;
    if (!f) return nullptr;
    if (!ReadUserStoreHeader(s, f, &n, nullptr) || !SafeSeek(f, UserStoreHeaderSize(s))) {
        SafeClose(f);
        return nullptr;
    }
    if (count) *count = n;
    return f;
}
}  // namespace

FILE *OpenUserStore(const UserStoreShape &s, int32_t *count) {
    char path[1024];
    if (!FormatUserStorePath(s, path)) return nullptr;
    std::string header = UserStoreHeaderBytes(s, 0, 0);
    if (!FileExists(path)) {
        // Made under the lock: a second program making it at the same time
        // would otherwise put an empty store over the first one's sets.
        StoreLock lock;
        if (!LockUserStore(s, &lock)) return nullptr;
        return PastHeader(s, OpenOrCreateStore(path, header.data(), header.size()), count);
    }
    return PastHeader(s, SafeOpen(path, "r+b"), count);
}

FILE *OpenOtherUserStore(const UserStoreShape &s, const char *path, int32_t *count) {
    return path ? PastHeader(s, SafeOpen(path, "rb"), count) : nullptr;
}

int LockUserStore(const UserStoreShape &s, StoreLock *lock) {
    char path[1024];
    return MakeStorePath(path, s.lockName) && AcquireStoreLock(path, lock);
}

int ReopenUserStore(const UserStoreShape &s, FILE **stream) {
    char path[1024];
    if (!stream) return 0;
    if (*stream) SafeClose(*stream);
    *stream = nullptr;
    if (!FormatUserStorePath(s, path)) return 0;
    *stream = PastHeader(s, SafeOpen(path, "r+b"), nullptr);
    return *stream ? 1 : 0;
}

int ReplaceUserStore(const UserStoreShape &s, FILE **stream, const std::string &bytes) {
    char path[1024];
    if (!stream || !FormatUserStorePath(s, path)) return 0;
    if (bytes.size() > static_cast<size_t>(UserStoreOffset(s, s.maxRecords))) return 0;
    int ok = ReplaceStore(stream, path, bytes);
    if (s.afterRewrite) s.afterRewrite();
    if (*stream) SafeSeek(*stream, UserStoreHeaderSize(s));
    return ok;
}
