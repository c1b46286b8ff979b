// The shared operations of the eyepiece, camera, filter and lens pools.
#include "instruments/poolfile.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/textutil.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "core/versionstamp.h"
#include "core/safefile.h"
#include "instruments/storeio.h"

namespace {

std::string PoolPath(const char *name) {
    char path[600];
    if (!MakeUserDataPath(path, (int)sizeof path, name)) return std::string();
    return path;
}

int64_t RecordOffset(const PoolLayout &pool, int index) {
    return pool.headerSize + (int64_t)index * pool.recordSize;
}

int CounterOffset(const PoolLayout &pool) { return pool.headerSize - 4; }

std::string NameOf(const PoolLayout &pool, const void *record) {
    const char *text = (const char *)record + pool.nameOffset;
    const void *end = std::memchr(text, 0, (size_t)pool.nameSize);
    return std::string(text, end ? (size_t)((const char *)end - text) : (size_t)pool.nameSize);
}

// A missing pool becomes an empty one: a zero header, and for a stamped pool
// the current stamp.
int CreateEmptyPool(const PoolLayout &pool, const std::string &path) {
    std::vector<uint8_t> header((size_t)pool.headerSize, 0);
    if (pool.headerSize == 9) {
        VersionStamp stamp;
        SetCurrentStamp(&stamp);
        std::memcpy(header.data(), &stamp, sizeof stamp);
    }
    return WriteWholeFileSafely(path.c_str(), header.data(), header.size());
}

FILE *OpenAndReadHeader(const PoolLayout &pool, const char *path, const char *mode,
                        int32_t *count, uint8_t *stamp) {
    StoreFilePtr f(SafeOpen(path, mode));
    if (!f) return nullptr;
    if (stamp && pool.headerSize == 9 && !ReadStoreBytes(f.get(), 0, stamp, 5)) return nullptr;
    uint16_t lastId = 0, n = 0;
    if (!ReadPoolHeader(f.get(), pool, &lastId, &n) || !SafeSeek(f.get(), 0)) return nullptr;
    // A count of more records than the file holds is damage: refused before
    // anything reads, appends or copies by it.
    if (!StoreCountFits(f.get(), pool.headerSize, n, pool.recordSize)) return nullptr;
    if (count) *count = n;
    return f.release();
}

}  // namespace

FILE *OpenPool(const PoolLayout &pool, int32_t *count, uint8_t *stamp) {
    std::string path = PoolPath(pool.fileName);
    if (path.empty()) return nullptr;
    // Only an absent pool is created: an existing one that cannot be opened for
    // writing is never truncated.
    if (!FileExists(path.c_str())) {
        if (!CreateEmptyPool(pool, path)) return nullptr;
    } else if (pool.upgrade && !pool.upgrade()) {
        return nullptr;
    }
    return OpenAndReadHeader(pool, path.c_str(), "r+b", count, stamp);
}

FILE *OpenOtherPool(const PoolLayout &pool, const char *path, int32_t *count, uint8_t *stamp) {
    if (!path) return nullptr;
    return OpenAndReadHeader(pool, path, "rb", count, stamp);
}

int ReadPoolHeader(FILE *f, const PoolLayout &pool, uint16_t *lastId, uint16_t *count) {
    uint16_t a = 0, b = 0;
    if (!f || !ReadStoreU16(f, CounterOffset(pool), &a) ||
        !ReadStoreU16(f, CounterOffset(pool) + 2, &b))
        return 0;
    if (lastId) *lastId = a;
    if (count) *count = b;
    return 1;
}

int ReadPoolRecord(FILE *f, const PoolLayout &pool, int index, void *record) {
    if (!f || !record || index < 0) return 0;
    if (!ReadStoreBytes(f, RecordOffset(pool, index), record, (size_t)pool.recordSize)) return 0;
    ((char *)record)[pool.nameOffset + pool.nameSize - 1] = '\0';
    return 1;
}

int WritePoolRecord(FILE *f, const PoolLayout &pool, int index, const void *record) {
    if (!f || !record || index < 0) return 0;
    return WriteStoreBytes(f, RecordOffset(pool, index), record, (size_t)pool.recordSize);
}

uint16_t GetPoolRecordId(const PoolLayout &pool, const void *record) {
    const uint8_t *p = (const uint8_t *)record + pool.idOffset;
    return (uint16_t)(p[0] | (p[1] << 8));
}

void SetPoolRecordId(const PoolLayout &pool, void *record, uint16_t id) {
    uint8_t *p = (uint8_t *)record + pool.idOffset;
    std::memset(p, 0, (size_t)pool.idWidth);
    p[0] = (uint8_t)(id & 0xFF);
    p[1] = (uint8_t)(id >> 8);
}

int AppendPoolRecord(FILE *f, const PoolLayout &pool, void *record) {
    if (!f || !record) return 0;
    uint16_t lastId = 0, n = 0;
    if (!ReadPoolHeader(f, pool, &lastId, &n)) return 0;
    // Id 0 means "not from a pool": the counter must not wrap to it.
    if (lastId == 0xFFFF || n == 0xFFFF) return 0;
    if (!StoreCountFits(f, pool.headerSize, n, pool.recordSize)) return 0;
    uint16_t id = (uint16_t)(lastId + 1);
    std::vector<uint8_t> previousId((size_t)pool.idWidth);
    std::memcpy(previousId.data(), (uint8_t *)record + pool.idOffset, previousId.size());
    SetPoolRecordId(pool, record, id);
    uint8_t header[4] = {(uint8_t)(id & 0xFF), (uint8_t)(id >> 8), (uint8_t)((n + 1) & 0xFF),
                         (uint8_t)((n + 1) >> 8)};
    if (!WritePoolRecord(f, pool, n, record) ||
        !WriteStoreBytes(f, CounterOffset(pool), header, 4)) {
        std::memcpy((uint8_t *)record + pool.idOffset, previousId.data(), previousId.size());
        return 0;
    }
    return id;
}

int FindPoolRecordByName(FILE *f, const PoolLayout &pool, const void *probe, int *index, int *id,
                         int n) {
    if (!f || !probe) return -1;
    if (n <= 0) return 0;
    if (!SafeSeek(f, pool.headerSize)) return -1;
    std::string wanted = NameOf(pool, probe);
    std::vector<uint8_t> record((size_t)pool.recordSize);
    for (int i = 0; i < n; ++i) {
        if (std::fread(record.data(), 1, record.size(), f) != record.size()) return -1;
        if (CompareStringsNoCase(NameOf(pool, record.data()).c_str(), wanted.c_str()) != 0)
            continue;
        if (index) *index = i;
        if (id) *id = GetPoolRecordId(pool, record.data());
        return pool.sameValues(record.data(), probe) ? 1 : 2;
    }
    return 0;
}

int FindPoolRecordById(FILE *f, const PoolLayout &pool, int id, void *record) {
    if (!f || !record) return 0;
    uint16_t lastId = 0, n = 0;
    if (!ReadPoolHeader(f, pool, &lastId, &n)) return 0;
    for (int i = 0; i < n; ++i) {
        if (!ReadPoolRecord(f, pool, i, record)) return 0;
        if (GetPoolRecordId(pool, record) == (uint16_t)id) return 1;
    }
    return 0;
}

int GetPoolRecord(const PoolLayout &pool, int index, void *record) {
    int32_t n = 0;
    StoreFilePtr f(OpenPool(pool, &n, nullptr));
    if (!f || !record || index < 0 || index >= n) return 0;
    if (!ReadPoolRecord(f.get(), pool, index, record)) return 0;
    return GetPoolRecordId(pool, record);
}

int GetPoolRecordById(const PoolLayout &pool, int id, void *record) {
    StoreFilePtr f(OpenPool(pool, nullptr, nullptr));
    if (!f) return 0;
    return FindPoolRecordById(f.get(), pool, id, record);
}

int FindPoolIndexById(const PoolLayout &pool, int id) {
    int32_t n = 0;
    StoreFilePtr f(OpenPool(pool, &n, nullptr));
    if (!f) return -1;
    std::vector<uint8_t> record((size_t)pool.recordSize);
    for (int i = 0; i < n; ++i) {
        if (!ReadPoolRecord(f.get(), pool, i, record.data())) return -1;
        if (GetPoolRecordId(pool, record.data()) == (uint16_t)id) return i;
    }
    return -1;
}

int UpdatePoolRecord(const PoolLayout &pool, int index, const void *record) {
    int32_t n = 0;
    StoreFilePtr f(OpenPool(pool, &n, nullptr));
    if (!f || !record || index < 0 || index >= n) return 0;
    return WritePoolRecord(f.get(), pool, index, record);
}

int AddPoolRecord(const PoolLayout &pool, void *record) {
    StoreFilePtr f(OpenPool(pool, nullptr, nullptr));
    if (!f) return 0;
    return AppendPoolRecord(f.get(), pool, record);
}

namespace {

int DeleteAt(FILE *f, const PoolLayout &pool, int index, int n) {
    if (index < 0 || index >= n) return 0;
    // A failed write part-way leaves one record twice under the old count;
    // none is lost.
    std::vector<uint8_t> record((size_t)pool.recordSize);
    for (int i = index + 1; i < n; ++i) {
        if (!ReadStoreBytes(f, RecordOffset(pool, i), record.data(), record.size()) ||
            !WritePoolRecord(f, pool, i - 1, record.data()))
            return 0;
    }
    return WriteStoreU16(f, CounterOffset(pool) + 2, (uint16_t)(n - 1));
}

}  // namespace

int DeletePoolRecordAt(const PoolLayout &pool, int index) {
    int32_t n = 0;
    StoreFilePtr f(OpenPool(pool, &n, nullptr));
    if (!f) return 0;
    return DeleteAt(f.get(), pool, index, n);
}

int DeletePoolRecordById(const PoolLayout &pool, int id) {
    int32_t n = 0;
    StoreFilePtr f(OpenPool(pool, &n, nullptr));
    if (!f) return 0;
    std::vector<uint8_t> record((size_t)pool.recordSize);
    for (int i = 0; i < n; ++i) {
        if (!ReadPoolRecord(f.get(), pool, i, record.data())) return 0;
        if (GetPoolRecordId(pool, record.data()) == (uint16_t)id) return DeleteAt(f.get(), pool, i, n);
    }
    return 0;
}

int BackupPool(const PoolLayout &pool) {
    std::string from = PoolPath(pool.fileName), to = PoolPath(pool.backupName);
    if (from.empty() || to.empty()) return 0;
    // The dialogs back up a pool as they open: a new user's pool is made first,
    // so that Cancel can put the empty pool back.
    if (!FileExists(from.c_str())) {
        StoreFilePtr created(OpenPool(pool, nullptr, nullptr));
        if (!created) return 0;
    }
    return CopyStoreRecords(from, to, pool.headerSize, CounterOffset(pool) + 2, pool.recordSize);
}

int RestorePool(const PoolLayout &pool) {
    std::string from = PoolPath(pool.backupName), to = PoolPath(pool.fileName);
    if (from.empty() || to.empty()) return 0;
    return CopyStoreRecords(from, to, pool.headerSize, CounterOffset(pool) + 2, pool.recordSize);
}
