// The user star, deep-sky and sky-mark files: open, look up by id, append and
// merge. Lookups scan the records; the derived index files are not used here.
#include "minorbodies/usercatalogs.h"

#include <cstddef>
#include <cstring>
#include <string>

#include "core/textutil.h"
#include "core/fileutil.h"
#include "core/fsys.h"
#include "core/userfolder.h"

namespace {

struct Store {
    const char *file;
    const char *nameIndex;
    const char *idIndex;
    int countSize;   // 2: uint16 count, 4: int32 count
    long recordSize;
    bool exactNames;
};
const Store kStars = {"stellar.bin", "us_alpha.bin", "us_pid.bin", 2, 47, true};
const Store kDeepSky = {"uds.bin", "uds_alpha.bin", "uds_pid.bin", 4, 54, false};
const Store kMarks = {"skymark.bin", "skymark_alpha.bin", "skymark_pid.bin", 2, 45, false};

long HeaderSize(const Store &s) { return s.countSize + 4; }

bool ReadHeader(FILE *f, const Store &s, int32_t *count, int32_t *lastId) {
    if (std::fseek(f, 0, SEEK_SET) != 0) return false;
    if (s.countSize == 2) {
        uint16_t n;
        if (std::fread(&n, 2, 1, f) != 1) return false;
        *count = n;
    } else if (std::fread(count, 4, 1, f) != 1 || *count < 0) {
        return false;
    }
    return std::fread(lastId, 4, 1, f) == 1;
}

bool WriteHeader(FILE *f, const Store &s, int32_t count, int32_t lastId) {
    if (std::fseek(f, 0, SEEK_SET) != 0) return false;
    if (s.countSize == 2) {
        if (count > 0xffff) return false;
        uint16_t n = static_cast<uint16_t>(count);
        if (std::fwrite(&n, 2, 1, f) != 1) return false;
    } else if (std::fwrite(&count, 4, 1, f) != 1) {
        return false;
    }
    return std::fwrite(&lastId, 4, 1, f) == 1 && std::fflush(f) == 0;
}

FILE *Open(const Store &s, int32_t *count) {
    char path[1024];
    if (!MakeUserDataPath(path, sizeof path, s.file)) return nullptr;
    if (!FileExists(path)) {
        FILE *created = std::fopen(path, "wb");
        if (!created) return nullptr;
        bool ok = WriteHeader(created, s, 0, 0);
        if (std::fclose(created) != 0 || !ok) return nullptr;
    }
    FILE *f = std::fopen(path, "r+b");
    int32_t n = 0, last = 0;
    if (!f) return nullptr;
    if (!ReadHeader(f, s, &n, &last)) {
        std::fclose(f);
        return nullptr;
    }
    if (count) *count = n;
    return f;
}

bool ReadRecord(FILE *f, const Store &s, int32_t n, void *record) {
    return std::fseek(f, HeaderSize(s) + n * s.recordSize, SEEK_SET) == 0 &&
           std::fread(record, static_cast<size_t>(s.recordSize), 1, f) == 1;
}

bool WriteRecord(FILE *f, const Store &s, int32_t n, const void *record) {
    return std::fseek(f, HeaderSize(s) + n * s.recordSize, SEEK_SET) == 0 &&
           std::fwrite(record, static_cast<size_t>(s.recordSize), 1, f) == 1 && std::fflush(f) == 0;
}

int32_t GetById(FILE *f, const Store &s, int32_t id, void *record, int32_t *index) {
    int32_t count = 0, last = 0;
    if (!f || id <= 0 || !ReadHeader(f, s, &count, &last)) return 0;
    for (int32_t n = 0; n < count; ++n) {
        if (!ReadRecord(f, s, n, record)) return 0;
        int32_t got;
        std::memcpy(&got, record, 4);
        if (got == id) {
            if (index) *index = n + 1;
            return id;
        }
    }
    return 0;
}

int Append(FILE *f, const Store &s, void *record) {
    int32_t count = 0, last = 0;
    if (!f || !ReadHeader(f, s, &count, &last)) return 0;
    int32_t id = last + 1;
    std::memcpy(record, &id, 4);
    // The record first, then the header that counts it.
    if (!WriteRecord(f, s, count, record)) return 0;
    return WriteHeader(f, s, count + 1, id) ? 1 : 0;
}

// nameOffset: where the 33-byte name lies; equal: the stores' own comparison.
int Merge(FILE *f, const Store &s, void *record, size_t nameOffset, int replace,
          bool (*equal)(const void *, const void *)) {
    int32_t count = 0, last = 0;
    if (!f || !ReadHeader(f, s, &count, &last)) return 0;
    char *incoming = static_cast<char *>(record);
    incoming[nameOffset + 32] = 0;
    std::string stored(static_cast<size_t>(s.recordSize), '\0');
    for (int32_t n = 0; n < count; ++n) {
        if (!ReadRecord(f, s, n, &stored[0])) return 0;
        stored[nameOffset + 32] = 0;
        const char *name = stored.data() + nameOffset;
        bool same = s.exactNames ? std::strcmp(name, incoming + nameOffset) == 0
                                 : CompareStringsNoCase(name, incoming + nameOffset) == 0;
        if (!same) continue;
        std::memcpy(incoming, stored.data(), 4);  // the local id
        if (equal && equal(stored.data(), incoming)) return 2;
        if (replace && !WriteRecord(f, s, n, incoming)) return 0;
        if (!replace) std::memcpy(incoming, stored.data(), static_cast<size_t>(s.recordSize));
        return 2;
    }
    return Append(f, s, record);
}

bool StarsEqual(const void *a, const void *b) {
    const UserStarRecord *x = static_cast<const UserStarRecord *>(a);
    const UserStarRecord *y = static_cast<const UserStarRecord *>(b);
    return x->rightAscension == y->rightAscension && x->declination == y->declination &&
           x->magnitude == y->magnitude && CompareStringsNoCase(x->name, y->name) == 0;
}

bool DeepSkyEqual(const void *a, const void *b) {
    // Position, magnitude, sizes, angle, type and names: every byte after the id
    // but the name, which compares ignoring case.
    const UserDeepSkyRecord *x = static_cast<const UserDeepSkyRecord *>(a);
    const UserDeepSkyRecord *y = static_cast<const UserDeepSkyRecord *>(b);
    return x->rightAscension == y->rightAscension && x->declination == y->declination &&
           x->magnitude == y->magnitude && x->positionAngle == y->positionAngle &&
           x->typeCode == y->typeCode && x->size1 == y->size1 && x->size2 == y->size2 &&
           CompareStringsNoCase(x->name, y->name) == 0;
}

void DeleteIndexes(const Store &s) {
    char path[1024];
    if (MakeUserDataPath(path, sizeof path, s.nameIndex)) FsRemoveFile(path);
    if (MakeUserDataPath(path, sizeof path, s.idIndex)) FsRemoveFile(path);
}

}  // namespace

FILE *OpenUserStarFile(int32_t *count) { return Open(kStars, count); }
FILE *OpenUserDeepSkyFile(int32_t *count) { return Open(kDeepSky, count); }
FILE *OpenSkyMarkFile(int32_t *count) { return Open(kMarks, count); }

int32_t GetUserStarById(FILE *file, int32_t id, UserStarRecord *record, int32_t *index) {
    return record ? GetById(file, kStars, id, record, index) : 0;
}
int32_t GetUserDeepSkyById(FILE *file, int32_t id, UserDeepSkyRecord *record, int32_t *index) {
    return record ? GetById(file, kDeepSky, id, record, index) : 0;
}
int32_t GetSkyMarkById(FILE *file, int32_t id, SkyMarkRecord *record, int32_t *index) {
    return record ? GetById(file, kMarks, id, record, index) : 0;
}

int AppendUserStarRecord(FILE *file, UserStarRecord *record) {
    return record ? Append(file, kStars, record) : 0;
}
int AppendUserDeepSkyRecord(FILE *file, UserDeepSkyRecord *record) {
    return record ? Append(file, kDeepSky, record) : 0;
}
int AppendSkyMarkRecord(FILE *file, SkyMarkRecord *record) {
    return record ? Append(file, kMarks, record) : 0;
}

int MergeUserStarRecord(FILE *file, UserStarRecord *record, int replace) {
    return record ? Merge(file, kStars, record, offsetof(UserStarRecord, name), replace, StarsEqual) : 0;
}
int MergeUserDeepSkyRecord(FILE *file, UserDeepSkyRecord *record, int replace) {
    return record ? Merge(file, kDeepSky, record, offsetof(UserDeepSkyRecord, name), replace, DeepSkyEqual)
                  : 0;
}
int MergeSkyMarkRecord(FILE *file, SkyMarkRecord *record, int replace) {
    return record ? Merge(file, kMarks, record, offsetof(SkyMarkRecord, name), replace, nullptr) : 0;
}

void DeleteUserStarIndexes() { DeleteIndexes(kStars); }
void DeleteUserDeepSkyIndexes() { DeleteIndexes(kDeepSky); }
void DeleteSkyMarkIndexes() { DeleteIndexes(kMarks); }
