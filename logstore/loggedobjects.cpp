// Logged-object key lists of the class folders.
#include "logstore/loggedobjects.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "logstore/loglock.h"
#include "core/fileutil.h"
#include "logstore/logindex.h"
#include "objects/buildrecord.h"
#include "objects/binsearch.h"
#include "objects/categories.h"
#include "userdata/minorbodytwin.h"

namespace {
int CompareKey(const void *key, const int *array, int mid) {
    int32_t k = *static_cast<const int32_t *>(key);
    if (k < array[mid]) return -1;
    return k > array[mid] ? 1 : 0;
}

bool IsBarePosition(const ObjectRecord *object) {
    int32_t index;
    std::memcpy(&index, &object->index, 4);
    return object->objectClass == kClassStar && index == kAnonymousStarIndex;
}
}  // namespace

int ReadPidFile(int folder, int32_t *counter, std::vector<int32_t> *keys) {
    EnsureLogStoreRecovered();
    char path[kLogPathSize];
    MakePidFilePath(GetClassBitsOfFolder(folder), path);
    if (!path[0]) return 0;
    FILE *f = std::fopen(path, "rb");
    if (!f) return 0;
    int32_t head[2];
    bool ok = std::fread(head, 4, 2, f) == 2 && head[1] >= 0;
    if (ok) {
        // The count must fit the file: a damaged count never sizes an allocation.
        std::fseek(f, 0, SEEK_END);
        long size = std::ftell(f);
        ok = size >= 8 && head[1] <= (size - 8) / 4;
    }
    if (ok && keys) {
        keys->assign(static_cast<size_t>(head[1]), 0);
        ok = std::fseek(f, 8, SEEK_SET) == 0 &&
             (head[1] == 0 || std::fread(keys->data(), 4, keys->size(), f) == keys->size());
    }
    std::fclose(f);
    if (ok && counter) *counter = head[0];
    return ok ? 1 : 0;
}

int LoadLoggedObjectKeys(LoggedKeySet *set) {
    if (!set) return 0;
    for (int i = 0; i < kLogClassFolderCount; ++i) {
        set->keys[i] = nullptr;
        set->counts[i] = 0;
    }
    std::vector<int32_t> keys;
    for (int i = 0; i < kLogClassFolderCount; ++i) {
        if (!ReadPidFile(i, nullptr, &keys)) {
            FreeLoggedObjectKeys(set);
            return 0;
        }
        set->counts[i] = static_cast<int32_t>(keys.size());
        if (!keys.empty()) {
            set->keys[i] = new (std::nothrow) int32_t[keys.size()];
            if (!set->keys[i]) {
                FreeLoggedObjectKeys(set);
                return 0;
            }
            std::memcpy(set->keys[i], keys.data(), keys.size() * 4);
        }
    }
    return 1;
}

void FreeLoggedObjectKeys(LoggedKeySet *set) {
    if (!set) return;
    for (int i = 0; i < kLogClassFolderCount; ++i) {
        delete[] set->keys[i];
        set->keys[i] = nullptr;
        set->counts[i] = 0;
    }
}

int FindLoggedObjectKey(const LoggedKeySet *set, const ObjectRecord *object) {
    if (!set || !object) return 0;
    if (object->objectClass == kClassSkyMark || object->objectClass == kClassReferencePoint ||
        IsBarePosition(object))
        return 0;
    int folder = ObjectClassFolder(object);
    if (folder < 0 || set->counts[folder] <= 0 || !set->keys[folder]) return 0;
    int32_t key = MakeObjectKey(object);
    return BinarySearchIndexArray(set->keys[folder], 0, set->counts[folder] - 1, &key, CompareKey) >= 0
               ? 1
               : 0;
}

namespace {

// The extinction coefficient the user's object is built with (its
// visibility fields are not used here).
const double kTwinExtinction = 0.1;

}  // namespace

int IsObjectLogged(const LoggedKeySet *set, const LocationRecord *site, const DateRecord *date,
                   ObjectRecord *object) {
    if (!object) return 0;
    if (object->objectClass == kClassSkyMark || object->objectClass == kClassReferencePoint ||
        IsBarePosition(object))
        return 0;
    if (FindLoggedObjectKey(set, object) == 1) return 1;
    // A packaged minor planet or comet the user also keeps as an object of
    // the same designation counts as logged when that object is; the caller
    // then files the entry under the user's object.
    int twinClass = 0, kind = 0;
    char text[80];
    const int named = GetMinorBodyTwinDesignation(object, &twinClass, &kind, text, sizeof text);
    if (named != 1) return named < 0 ? -1 : 0;
    std::unique_ptr<ObjectRecord[]> built(new (std::nothrow) ObjectRecord[3]);
    if (!built) return -1;
    if (BuildObjectRecord(twinClass, kind, 0, 0, text, 0.0, site, date, kTwinExtinction, built.get()) < 1)
        return 0;
    if (FindLoggedObjectKey(set, &built[0]) != 1) return 0;
    *object = built[0];
    return 1;
}

int MarkLoggedUserObjects(int objectClass, uint8_t *marks, int size) {
    if (!IsUserObjectClass(objectClass) || !marks) return 0;
    std::vector<int> folders;
    if (objectClass == kClassUserDeepSky) {
        // All eight deep-sky folders: the user deep-sky union holds every one of their bits.
        for (int cls : {kClassGalaxy, kClassGalaxyGroup, kClassQuasar, kClassPlanetaryNebula,
                        kClassBrightNebula, kClassDarkNebula, kClassOpenCluster, kClassGlobularCluster})
            folders.push_back(GetClassFolderIndex(static_cast<int32_t>(ClassCategoryBits(cls))));
    } else {
        folders.push_back(GetClassFolderIndex(static_cast<int32_t>(ClassCategoryBits(objectClass))));
    }
    std::vector<int32_t> keys;
    for (int folder : folders) {
        if (folder < 0) return 0;
        if (!ReadPidFile(folder, nullptr, &keys)) return 0;
        for (int32_t key : keys) {
            int user = 0;
            int32_t id = SplitObjectKey(key, &user);
            if (user && id >= 0 && id < size) marks[id] = 1;
        }
    }
    return 1;
}
