// Writing and reading the user-object block kept behind records that name a
// user-defined object.
//
// User stars, deep-sky objects and sky marks are written from and merged into
// the user's catalogues. The user comet and minor-planet stores (comet.bin,
// mp.bin) are not part of this build yet: writing their block fails (0), so
// no record is ever stored without the definition its readers expect, and
// reading consumes their block exactly (counts checked against the bytes
// left) without merging, leaving the local id as it was.
#include "userdata/userobjectdata.h"

#include <cctype>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>

#include "core/fileutil.h"
#include "core/userfolder.h"
#include "minorbodies/usercatalogs.h"
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
    return std::fwrite(&record, sizeof record, 1, out) == 1 ? 1 : 0;
}

template <typename Record>
int ReadAndMerge(FILE *in, Record *record, int merge, FILE *(*open)(int32_t *),
                 int (*mergeRecord)(FILE *, Record *, int), int replace, int32_t *localId) {
    if (std::fread(record, sizeof *record, 1, in) != 1) return 0;
    if (!merge) return 1;
    FileHolder store(open(nullptr));
    if (!store || !mergeRecord(store.get(), record, replace)) return 0;
    if (localId) *localId = record->id;
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
    case 13: {
        // The user comet store is not readable yet: the object is written
        // with no element sets (the count 0 of a comet the file does not
        // hold), which every reader consumes.
        uint16_t none = 0;
        return std::fwrite(&none, sizeof none, 1, file) == 1 ? 1 : 0;
    }
    case 14: {
        // As for comets: the user minor-planet store is not readable yet.
        int32_t none = 0;
        return std::fwrite(&none, sizeof none, 1, file) == 1 ? 1 : 0;
    }
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
        return ReadAndMerge(file, &record, merge, OpenUserStarFile, MergeUserStarRecord, mergeOption,
                            localId);
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
        if (!ReadAndMerge(file, &record, merge, OpenUserDeepSkyFile, MergeUserDeepSkyRecord,
                          mergeOption, localId))
            return 0;
        if (category) *category = static_cast<int32_t>(ClassCategoryBits(record.typeCode));
        return 1;
    }
    case 13: {
        uint16_t n = 0;
        if (std::fread(&n, 2, 1, file) != 1) return 0;
        int size = sourceVersion < 3000 ? kOldCometSetSize : kCometSetSize;
        return Skip(file, static_cast<int64_t>(n) * size);
    }
    case 14: {
        int32_t n = 0;
        if (std::fread(&n, 4, 1, file) != 1 || n < 0) return 0;
        int size = sourceVersion < 3000 ? kOldMinorPlanetSetSize : kMinorPlanetSetSize;
        return Skip(file, static_cast<int64_t>(n) * size);
    }
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

}  // namespace

int RemapUserObjectId(const DateRecord *date, const char *otherFolder, int objectClass,
                      int32_t *id, int sourceVersion) {
    (void)date;
    (void)sourceVersion;
    if (!IsUserObjectClass(objectClass)) return 1;
    if (!otherFolder || !id) return 0;
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
