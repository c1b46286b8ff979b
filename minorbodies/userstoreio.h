// The file steps shared by the user's supplemental stores (minor planets,
// comets, stars, deep-sky objects, sky marks): positioned reads and writes of
// records through the crash-safe layer, creation of an empty store, and the
// whole-file rewrite that every reordering, deletion and compaction takes, so
// that no record is ever shifted in place in the original.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/safefile.h"
#include "core/storelock.h"
#include "instruments/storeio.h"

// Ids above this are refused by the id indexes: a slot is 4 bytes at 4 x id,
// and a corrupt or merged id must not make a file of gigabytes.
const int32_t kMaxUserObjectId = 1 << 24;

// The path "<user data folder>/<name>" (out holds 1024 bytes); 0 when the
// folder is not set.
int MakeStorePath(char *out, const char *name);
// The store opened "r+b", first written whole (crash-safely) with the header
// bytes when it does not exist; null on failure.
FILE *OpenOrCreateStore(const char *path, const void *header, size_t headerSize);
// Reads a store's header: 1 with its record count (and highest id given),
// 0 when the header is refused.
typedef int (*StoreHeaderReader)(FILE *stream, int32_t *count, int32_t *highestId);
// The opened stream f placed past its header of headerSize bytes, with the
// count the header gives; f closed and null when the header is refused or
// the seek fails (null f gives null).
FILE *PositionPastStoreHeader(FILE *f, StoreHeaderReader readHeader, int64_t headerSize, int32_t *count);
// Positioned reads and writes: ReadStoreBytes and WriteStoreBytes of
// instruments/storeio.h.
// The whole file's bytes (from offset 0); 0 on a failed read.
int ReadAllStoreBytes(FILE *file, std::string *bytes);
// Puts bytes in place of the store crash-safely: the stream is closed, the
// new content written beside the file and swapped in, and the stream opened
// again ("r+b") on whichever content is now there. 1 when replaced; 0 with
// the old content (the stream then holds the old file, or null when even
// that cannot be opened again).
int ReplaceStore(FILE **file, const char *path, const std::string &bytes);
// Deletes the file when it exists; nothing else.
void RemoveStoreFile(const char *path);

// ---- the record stores of user minor planets and comets ------------------------
// Both are a header of two counters (the record count and the highest object
// id given, each fieldBytes wide) and fixed-size records after it, every
// set of one object consecutive. A store is described by its shape; the
// file steps below serve both.

struct UserStoreShape {
    const char *fileName;     // in the user data folder
    const char *lockName;     // the writer's lock file beside it
    int fieldBytes;           // 2: uint16 counters; 4: int32 counters
    size_t recordSize;
    int32_t maxRecords;
    void (*afterRewrite)();   // removes what moved records make stale; may be null
};

inline int64_t UserStoreHeaderSize(const UserStoreShape &s) { return 2 * s.fieldBytes; }
inline int64_t UserStoreOffset(const UserStoreShape &s, int32_t n) {
    return UserStoreHeaderSize(s) + static_cast<int64_t>(n) * static_cast<int64_t>(s.recordSize);
}
int FormatUserStorePath(const UserStoreShape &s, char *out);
// The header's count (checked against the file's size) and highest id; 1, or 0.
int ReadUserStoreHeader(const UserStoreShape &s, FILE *stream, int32_t *count, int32_t *highestId);
int CreateUserStore(const UserStoreShape &s);
// The user's store "r+b" (created empty when missing), or another store
// "rb", placed past the header with its count; null on failure.
FILE *OpenUserStore(const UserStoreShape &s, int32_t *count);
FILE *OpenOtherUserStore(const UserStoreShape &s, const char *path, int32_t *count);
// The header bytes of a store of these records.
std::string UserStoreHeaderBytes(const UserStoreShape &s, int32_t count, int32_t highestId);
// Takes the store's writer lock (see core/storelock.h): a second program of
// the suite may write the store at the same time. 1 held, 0 not.
int LockUserStore(const UserStoreShape &s, StoreLock *lock);
// Under the lock: the stream opened again on the store as it is now (another
// program may have put a new file in its place since the stream was
// opened), placed past the header. 1, or 0 with the stream null.
int ReopenUserStore(const UserStoreShape &s, FILE **stream);
// Puts the records in place of the store crash-safely (see ReplaceStore),
// removes what they make stale and places the stream past the header.
int ReplaceUserStore(const UserStoreShape &s, FILE **stream, const std::string &bytes);

// Every record of the store, the count checked against the file's size.
template <typename Record>
bool LoadUserRecords(const UserStoreShape &s, FILE *f, void (*terminate)(Record *), int32_t *highest,
                     std::vector<Record> *records) {
    int32_t count = 0, high = 0;
    if (!ReadUserStoreHeader(s, f, &count, &high)) return false;
    records->assign(static_cast<size_t>(count), Record());
    if (count > 0 && !ReadStoreBytes(f, UserStoreHeaderSize(s), records->data(),
                                     static_cast<size_t>(count) * sizeof(Record)))
        return false;
    for (Record &r : *records) terminate(&r);
    if (highest) *highest = high;
    return true;
}

template <typename Record>
std::string SerialiseUserRecords(const UserStoreShape &s, int32_t highest, const std::vector<Record> &records) {
    std::string bytes = UserStoreHeaderBytes(s, static_cast<int32_t>(records.size()), highest);
    if (!records.empty())
        bytes.append(reinterpret_cast<const char *>(records.data()), records.size() * sizeof(Record));
    return bytes;
}

// Under the store's lock: the stream opened again on the store as it is now
// and its records, so that a count or record read before the lock is never
// written back.
template <typename Record>
bool LoadCurrentUserRecords(const UserStoreShape &s, void (*terminate)(Record *), FILE **stream,
                            int32_t *highest, std::vector<Record> *records) {
    return stream && ReopenUserStore(s, stream) && LoadUserRecords(s, *stream, terminate, highest, records);
}

template <typename Record>
int ReplaceUserRecords(const UserStoreShape &s, FILE **stream, int32_t highest, const std::vector<Record> &records) {
    return ReplaceUserStore(s, stream, SerialiseUserRecords(s, highest, records));
}

// The consecutive sets of the object id: [*first, *end); false when none.
template <typename Record>
bool FindUserObjectSets(const std::vector<Record> &records, int32_t id, size_t *first, size_t *end) {
    size_t a = 0;
    while (a < records.size() && records[a].objectId != id) ++a;
    if (a == records.size()) return false;
    size_t b = a;
    while (b < records.size() && records[b].objectId == id) ++b;
    *first = a;
    *end = b;
    return true;
}

// Keeps the sets whose flag is 0 (progress called about steps times); the
// highest id stays, as log entries, notes or lists may still name a removed
// object's id. 1, or 0 with the store as it was.
template <typename Record>
int CompactUserRecords(const UserStoreShape &s, void (*terminate)(Record *), const uint8_t *deleteFlags,
                       int steps, void (*progress)()) {
    char path[1024];
    StoreLock lock;
    if (!deleteFlags || !FormatUserStorePath(s, path) || !LockUserStore(s, &lock)) return 0;
    FILE *f = SafeOpen(path, "rb");
    std::vector<Record> records;
    int32_t highest = 0;
    bool ok = f && LoadUserRecords(s, f, terminate, &highest, &records);
    if (f) SafeClose(f);
    if (!ok) return 0;
    const size_t count = records.size();
    size_t every = steps > 0 && count >= static_cast<size_t>(steps) ? count / static_cast<size_t>(steps) : 1;
    std::vector<Record> kept;
    for (size_t i = 0; i < count; ++i) {
        if (!deleteFlags[i]) kept.push_back(records[i]);
        if (progress && (i + 1) % every == 0) progress();
    }
    std::string bytes = SerialiseUserRecords(s, highest, kept);
    if (!WriteWholeFileSafely(path, bytes.data(), bytes.size())) return 0;
    if (s.afterRewrite) s.afterRewrite();
    return 1;
}

// Deletes, under the store's lock, the record n (id 0) or every set of the
// object id (id above 0); the highest id stays. 1, or 0 when there is no
// such record or the store cannot be rewritten.
template <typename Record>
int DeleteUserRecords(const UserStoreShape &s, void (*terminate)(Record *), FILE **stream, int32_t n, int32_t id) {
    std::vector<Record> records;
    int32_t highest = 0;
    StoreLock lock;
    size_t first = static_cast<size_t>(n), end = static_cast<size_t>(n) + 1;
    if (id < 0 || (id == 0 && n < 0) || !LockUserStore(s, &lock) ||
        !LoadCurrentUserRecords(s, terminate, stream, &highest, &records))
        return 0;
    if (id > 0 ? !FindUserObjectSets(records, id, &first, &end) : first >= records.size()) return 0;
    records.erase(records.begin() + static_cast<long>(first), records.begin() + static_cast<long>(end));
    return ReplaceUserRecords(s, stream, highest, records);
}
