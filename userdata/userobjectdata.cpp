// Writing and reading the user-object block kept behind records that name a
// user-defined object: user stars, deep-sky objects and sky marks are written
// from and merged into the user's catalogues; user comets and minor planets
// with every element set of the object, merged into comet.bin and mp.bin.
#include "userdata/userobjectdata.h"

#include <cctype>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>

#include "core/fileutil.h"
#include "core/userfolder.h"
#include "minorbodies/usercatalogs.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usercometupgrade.h"
#include "minorbodies/usermp.h"
#include "objects/categories.h"
#include "core/safefile.h"

namespace {


int Skip(FILE *file, int64_t bytes) {
    int64_t left = BytesLeftInStream(file);
    if (left < 0 || bytes > left) return 0;
    return std::fseek(file, static_cast<long>(bytes), SEEK_CUR) == 0;
}

typedef std::unique_ptr<FILE, FileCloser> FileHolder;

template <typename Record>
int WriteFromStore(FILE *out, FILE *store, int32_t id,
                   int32_t (*get)(FILE *, int32_t, Record *, int32_t *)) {
    FileHolder holder(store);
    Record record;
    if (!store || get(store, id, &record, nullptr) != id) return 0;
    return SafeWrite(&record, sizeof record, 1, out) == 1 ? 1 : 0;
}

template <typename Record, typename MergeFunction>
int ReadAndMerge(FILE *in, Record *record, int merge, FILE *(*open)(int32_t *),
                 MergeFunction mergeRecord, int replace, int32_t *localId) {
    if (std::fread(record, sizeof *record, 1, in) != 1) return 0;
    if (!merge) return 1;
    FileHolder store(open(nullptr));
    if (!store || !mergeRecord(store.get(), record, replace)) return 0;
    if (localId) *localId = record->id;
    return 1;
}

// The count (16-bit for comets, 32-bit for minor planets) and then every
// element set of the object in file order; the count is written last, at
// the place kept for it.
template <typename Count, typename Record>
int WriteSets(FILE *out, int32_t id, FILE *store, int32_t count, void (*rewind)(FILE *, Record *),
              int (*next)(FILE *, Record *, int32_t *, int32_t, int32_t)) {
    FileHolder holder(store);
    long start = std::ftell(out);
    Count n = 0;
    if (start < 0 || SafeWrite(&n, sizeof n, 1, out) != 1) return 0;
    if (store && id > 0) {
        Record r;
        std::memset(&r, 0, sizeof r);
        rewind(store, &r);
        int32_t index = 0;
        while (next(store, &r, &index, id, count) == 1) {
            if (SafeWrite(&r, sizeof r, 1, out) != 1) return 0;
            ++n;
        }
    }
    long end = std::ftell(out);
    if (end < 0 || std::fseek(out, start, SEEK_SET) != 0 || SafeWrite(&n, sizeof n, 1, out) != 1 ||
        std::fseek(out, end, SEEK_SET) != 0)
        return 0;
    return 1;
}

int WriteCometSets(FILE *out, int32_t id) {
    int32_t count = 0;
    FILE *store = OpenUserCometFile(&count);
    return WriteSets<uint16_t, CometRecord>(out, id, store, count, RewindUserComets, NextUserCometElementSet);
}

int WriteMinorPlanetSets(FILE *out, int32_t id) {
    int32_t count = 0;
    FILE *store = OpenUserMinorPlanetFile(&count);
    return WriteSets<int32_t, MinorPlanetRecord>(out, id, store, count, RewindUserMinorPlanets,
                                                 NextUserMinorPlanetElementSet);
}

int ReadCometSets(FILE *in, int32_t *localId, int sourceVersion, int mergeOption, int merge) {
    uint16_t n = 0;
    if (std::fread(&n, 2, 1, in) != 1) return 0;
    const bool old = sourceVersion < 3000;
    const int64_t size = old ? kOldCometSetSize : kCometSetSize;
    int64_t left = BytesLeftInStream(in);
    if (left < 0 || static_cast<int64_t>(n) * size > left) return 0;
    if (!merge) return Skip(in, static_cast<int64_t>(n) * size);
    FileHolder holder(OpenUserCometFile(nullptr));
    FILE *store = holder.get();
    if (!store) return 0;
    for (uint16_t i = 0; i < n; ++i) {
        CometRecord r;
        if (old) {
            uint8_t bytes[kOldCometSetSize];
            if (std::fread(bytes, sizeof bytes, 1, in) != 1) return 0;
            ConvertOldUserCometRecord(bytes, &r);
        } else if (std::fread(&r, sizeof r, 1, in) != 1) {
            return 0;
        }
        int added = AddUserCometElements(&store, &r, mergeOption, 1);
        holder.release();
        holder.reset(store);
        if (added == 0) return 0;
        // A refused set (already stored, or older) still names the local
        // comet it was compared with.
        if (r.objectId > 0 && localId) *localId = r.objectId;
    }
    return 1;
}

int ReadMinorPlanetSets(FILE *in, int32_t *localId, int sourceVersion, int merge) {
    int32_t n = 0;
    if (std::fread(&n, 4, 1, in) != 1 || n < 0) return 0;
    const bool old = sourceVersion < 3000;
    const int64_t size = old ? kOldMinorPlanetSetSize : kMinorPlanetSetSize;
    int64_t left = BytesLeftInStream(in);
    if (left < 0 || static_cast<int64_t>(n) * size > left) return 0;
    if (!merge) return Skip(in, static_cast<int64_t>(n) * size);
    int32_t count = 0;
    FileHolder holder(OpenUserMinorPlanetFile(&count));
    FILE *store = holder.get();
    if (!store) return 0;
    bool decided = false, changed = false;
    MinorPlanetRecord aside;
    bool keptAside = false;
    for (int32_t i = 0; i < n; ++i) {
        MinorPlanetRecord r;
        if (old) {
            uint8_t bytes[kOldMinorPlanetSetSize];
            if (std::fread(bytes, sizeof bytes, 1, in) != 1) return 0;
            ConvertOldUserMinorPlanetRecord(bytes, &r);
        } else if (std::fread(&r, sizeof r, 1, in) != 1) {
            return 0;
        }
        r.name[sizeof r.name - 1] = '\0';
        r.source[sizeof r.source - 1] = '\0';
        int added = AddUserMinorPlanetElements(store, &r, &count);
        if (added == 0) return 0;
        if (added != 3) changed = true;
        if (decided) continue;
        decided = true;
        if (r.objectId > 0) {
            if (localId) *localId = r.objectId;
        } else {
            aside = r;
            keptAside = true;
        }
    }
    if (changed) {
        int32_t highest = 0;
        if (!SortUserMinorPlanetFile(&store, count, &highest)) {
            holder.release();
            holder.reset(store);
            return 0;
        }
        holder.release();
        holder.reset(store);
    }
    if (keptAside) {
        MinorPlanetRecord found;
        const int32_t number = aside.number;  // a packed field: no pointer into it
        int32_t id = FindUserMinorPlanetId(store, aside.name, number > 0 ? &number : nullptr, &found);
        if (id <= 0) return 0;
        if (localId) *localId = id;
    }
    return 1;
}

}  // namespace

int WriteUserObjectData(FILE *file, int objectClass, int32_t objectId) {
    if (!file) return 0;
    switch (objectClass) {
    case 12:
        return WriteFromStore<UserStarRecord>(file, OpenUserStarFile(nullptr), objectId, GetUserStarById);
    case 15:
        return WriteFromStore<SkyMarkRecord>(file, OpenSkyMarkFile(nullptr), objectId, GetSkyMarkById);
    case 18:
        return WriteFromStore<UserDeepSkyRecord>(file, OpenUserDeepSkyFile(nullptr), objectId,
                                                 GetUserDeepSkyById);
    case 13:
        return WriteCometSets(file, objectId);
    case 14:
        return WriteMinorPlanetSets(file, objectId);
    default:
        return 1;
    }
}

int ReadUserObjectData(FILE *file, int objectClass, int32_t *localId, int32_t *category,
                       int sourceVersion, int mergeOption, int merge) {
    if (!file) return 0;
    switch (objectClass) {
    case 12: {
        UserStarRecord record;
        return ReadAndMerge(file, &record, merge, OpenUserStarFile,
                            [](FILE *f, UserStarRecord *r, int replace) { return MergeUserStarRecord(f, r, replace); },
                            mergeOption, localId);
    }
    case 15: {
        SkyMarkRecord record;
        return ReadAndMerge(file, &record, merge, OpenSkyMarkFile, MergeSkyMarkRecord, mergeOption,
                            localId);
    }
    case 18: {
        // The merge option decides here too: an incoming copy never replaces
        // the user's own edited object unless the caller asked for replacing.
        UserDeepSkyRecord record;
        if (!ReadAndMerge(file, &record, merge, OpenUserDeepSkyFile,
                          [](FILE *f, UserDeepSkyRecord *r, int replace) { return MergeUserDeepSkyRecord(f, r, replace); },
                          mergeOption, localId))
            return 0;
        if (category) *category = static_cast<int32_t>(ClassCategoryBits(record.typeCode));
        return 1;
    }
    case 13:
        return ReadCometSets(file, localId, sourceVersion, mergeOption, merge);
    case 14:
        return ReadMinorPlanetSets(file, localId, sourceVersion, merge);
    default:
        return 1;
    }
}

namespace {

// Where the id and the name sit in a user file of the class.
struct UserFileShape {
    const char *file;
    size_t header;
    size_t record;
    size_t nameOffset;
    bool exactNames;
};

bool ShapeOf(int objectClass, UserFileShape *shape) {
    switch (objectClass) {
    case 12:
        *shape = {"stellar.bin", 6, sizeof(UserStarRecord), offsetof(UserStarRecord, name), true};
        return true;
    case 15:
        *shape = {"skymark.bin", 6, sizeof(SkyMarkRecord), offsetof(SkyMarkRecord, name), false};
        return true;
    case 18:
        *shape = {"uds.bin", 8, sizeof(UserDeepSkyRecord), offsetof(UserDeepSkyRecord, name), false};
        return true;
    default:
        return false;
    }
}

bool SameName(const char *a, const char *b, bool exact) {
    if (exact) return std::strcmp(a, b) == 0;
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

// Scans a whole user file: by id (name out) or by name (id out).
bool ScanUserFile(const std::string &path, const UserFileShape &shape, int32_t *id, std::string *name,
                  bool byId) {
    std::string bytes;
    if (!ReadWholeFile(path.c_str(), &bytes) || bytes.size() < shape.header) return false;
    size_t count = (bytes.size() - shape.header) / shape.record;
    for (size_t i = 0; i < count; ++i) {
        const char *r = bytes.data() + shape.header + i * shape.record;
        int32_t recordId;
        std::memcpy(&recordId, r, 4);
        char recordName[34];
        std::memcpy(recordName, r + shape.nameOffset, 33);
        recordName[33] = '\0';
        if (byId ? recordId == *id : SameName(recordName, name->c_str(), shape.exactNames)) {
            if (byId)
                *name = recordName;
            else
                *id = recordId;
            return recordId > 0 && recordName[0] != '\0';
        }
    }
    return false;
}

// The other computer's comet of the id, found here by its designation, else
// its periodic number, else its name.
int RemapUserComet(const char *otherFolder, int32_t *id, int sourceVersion) {
    std::string path = std::string(otherFolder) + "/comet.bin";
    int32_t count = 0;
    FileHolder other(OpenOtherUserCometFile(path.c_str(), &count));
    if (!other) return 0;
    CometRecord r;
    bool found = false;
    for (int32_t i = 0; i < count && !found; ++i) {
        int ok = sourceVersion < 3000 ? ReadOldUserCometRecord(other.get(), i, &r) : ReadUserCometRecord(other.get(), &r, i);
        if (!ok) return 0;
        found = r.objectId == *id;
    }
    if (!found) return 0;
    FileHolder here(OpenUserCometFile(nullptr));
    if (!here) return 0;
    CometRecord local;
    int32_t localId = r.designation[0] ? FindUserCometId(here.get(), nullptr, r.designation, nullptr, &local) : 0;
    const uint16_t number = r.number;
    if (localId <= 0 && number != 0) localId = FindUserCometId(here.get(), nullptr, nullptr, &number, &local);
    if (localId <= 0 && r.name[0]) localId = FindUserCometId(here.get(), r.name, nullptr, nullptr, &local);
    if (localId <= 0) return 0;
    *id = localId;
    return 1;
}

// The other computer's minor planet of the id, found here by number or name.
int RemapUserMinorPlanet(const char *otherFolder, int32_t *id, int sourceVersion) {
    std::string path = std::string(otherFolder) + "/mp.bin";
    int32_t count = 0;
    FileHolder other(OpenOtherUserMinorPlanetFile(path.c_str(), &count));
    if (!other) return 0;
    MinorPlanetRecord r;
    bool found = false;
    for (int32_t i = 0; i < count && !found; ++i) {
        int ok = sourceVersion < 3000 ? ReadOldUserMinorPlanetRecord(other.get(), i, &r)
                                      : ReadUserMinorPlanetRecord(other.get(), &r, i);
        if (!ok) return 0;
        found = r.objectId == *id;
    }
    if (!found) return 0;
    FileHolder here(OpenUserMinorPlanetFile(nullptr));
    if (!here) return 0;
    MinorPlanetRecord local;
    const int32_t number = r.number;  // a packed field: no pointer into it
    int32_t localId = FindUserMinorPlanetId(here.get(), r.name, number > 0 ? &number : nullptr, &local);
    if (localId <= 0) return 0;
    *id = localId;
    return 1;
}

}  // namespace

int RemapUserObjectId(const DateRecord *date, const char *otherFolder, int objectClass,
                      int32_t *id, int sourceVersion) {
    (void)date;
    (void)sourceVersion;
    if (!IsUserObjectClass(objectClass)) return 1;
    if (!otherFolder || !id) return 0;
    if (objectClass == 13) return RemapUserComet(otherFolder, id, sourceVersion);
    if (objectClass == 14) return RemapUserMinorPlanet(otherFolder, id, sourceVersion);
    UserFileShape shape;
    if (!ShapeOf(objectClass, &shape)) return 0;
    std::string name;
    if (!ScanUserFile(std::string(otherFolder) + "/" + shape.file, shape, id, &name, true)) return 0;
    char here[1024];
    if (!MakeUserDataPath(here, sizeof here, shape.file)) return 0;
    int32_t local = 0;
    if (!ScanUserFile(here, shape, &local, &name, false)) return 0;
    *id = local;
    return 1;
}
