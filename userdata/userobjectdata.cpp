// Writing and reading the user-object block kept behind records that name a
// user-defined object.
//
// The user's own catalogues (stellar.bin, uds.bin, skymark.bin, comet.bin,
// mp.bin) are not part of this build yet. Until their stores exist, writing
// a block for a user-defined class fails (0), so no record is ever stored
// without the definition its readers expect, and merging leaves the local id
// as it was. Reading consumes the block exactly, so the record behind it is
// found at the right offset.
#include "userdata/userobjectdata.h"

#include "core/fileutil.h"
#include "objects/categories.h"

namespace {

// Bytes from the position to the end of the file; -1 when unknown.
int64_t BytesLeft(FILE *file) {
    long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    long end = std::ftell(file);
    if (std::fseek(file, here, SEEK_SET) != 0 || end < here) return -1;
    return static_cast<int64_t>(end) - here;
}

int Skip(FILE *file, int64_t bytes) {
    int64_t left = BytesLeft(file);
    if (left < 0 || bytes > left) return 0;
    return std::fseek(file, static_cast<long>(bytes), SEEK_CUR) == 0;
}

}  // namespace

int WriteUserObjectData(FILE *file, int objectClass, int32_t objectId) {
    if (!file) return 0;
    if (!IsUserObjectClass(objectClass)) return 1;
    (void)objectId;
    return 0;  // the user catalogues that hold the definition are not built
}

int ReadUserObjectData(FILE *file, int objectClass, int32_t *localId, int32_t *category,
                       int sourceVersion, int mergeOption, int merge) {
    (void)localId;
    (void)mergeOption;
    (void)merge;
    if (!file) return 0;
    switch (objectClass) {
    case 12:
        return Skip(file, kUserStarBlockSize);
    case 15:
        return Skip(file, kSkyMarkBlockSize);
    case 18: {
        uint8_t record[kUserDeepSkyBlockSize];
        if (std::fread(record, sizeof record, 1, file) != 1) return 0;
        // The type code of the object (a class 6-17) follows the id, place, magnitude, angle and
        // 33-byte name: offset 49.
        if (category) *category = static_cast<int32_t>(ClassCategoryBits(record[49]));
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
