// The image links store (see imagelinks.h).
#include "userdata/imagelinks.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/safefile.h"
#include "objects/objectrecord.h"
#include "userdata/groupstore.h"
#include "userdata/linkfiles.h"
#include "userdata/minorbodytwin.h"
#include "userdata/notestore.h"

namespace {

const LinkStoreShape &kShape = kImageLinkShape;

// The catalogue class of each category row (rows 0-13).
const int kRowClass[kCategoryFolderCount] = {
    kClassConstellation, kClassSolarSystem,   kClassComet,       kClassMinorPlanet, kClassStar,
    kClassGalaxy,        kClassGalaxyGroup,   kClassQuasar,      kClassPlanetaryNebula,
    kClassBrightNebula,  kClassDarkNebula,    kClassOpenCluster, kClassGlobularCluster,
    kClassSkyMark};

bool SamePath(const std::string &a, const std::string &b) {
    return CompareNamesNoCase(a.c_str(), b.c_str()) == 0;
}

}  // namespace

std::string ImageLinksFolder() { return LinkStoreFolder(kShape); }
int ImageLinkCategoryIndex(uint32_t category) { return NoteCategoryIndex(category); }
uint32_t ImageLinkCategoryBits(int row) { return NoteCategoryBits(row); }

std::string ImageLinkIndexFilePath(const char *groupFolder, int row) {
    return LinkStoreIndexPath(kShape, groupFolder, row);
}

std::string ImageLinkFilePathOf(const char *groupFolder, int row, int objectClass, int32_t index) {
    return LinkStoreFilePath(kShape, groupFolder, row, objectClass, index);
}

bool ImageLinkGroupFolder(int group, std::string *folder) {
    return LinkStoreGroupFolder(kShape, group, folder);
}

int EnsureImageLinkIndexFiles(const char *groupFolder) {
    return LinkStoreEnsureIndexFiles(kShape, groupFolder);
}

int CreateImageLinkIndexFile(const char *groupFolder, int row, int reset) {
    return LinkStoreCreateIndexFile(kShape, groupFolder, row, reset);
}

int LoadImageLinkIndexLists(int group, LinkIndexLists *lists) {
    return LinkStoreLoadLists(kShape, group, lists);
}

void FreeImageLinkIndexLists(LinkIndexLists *lists) { FreeLinkIndexLists(lists); }

int ObjectHasImageLinks(const LinkIndexLists *lists, const ObjectRecord *record) {
    return ObjectHasLinks(lists, record);
}

int FindImageLinksOfObject(const LinkIndexLists *lists, ObjectRecord *record) {
    return FindLinksOfObject(lists, record);
}

int ReadObjectImageLinks(int group, const ObjectRecord *record, LinkFile *out) {
    return LinkStoreReadObject(kShape, group, record, out);
}

int AddObjectImageLink(int group, ObjectRecord *record, const char *path, const char *description) {
    return LinkStoreAddLine(kShape, group, record, path, description, kLinkKeyLookUp);
}

int AppendImageLink(int group, ObjectRecord *record, const char *path, const char *description) {
    return LinkStoreAddLine(kShape, group, record, path, description, kLinkKeyIndexed) == 1 ? 1 : 0;
}

int AddImageLinkedObject(int group, ObjectRecord *record, const char *path, const char *description) {
    return LinkStoreAddLine(kShape, group, record, path, description, kLinkKeyNew);
}

int DeleteImageLinkLine(int group, ObjectRecord *record, const char *path) {
    std::string folder;
    if (!record || !ImageLinkGroupFolder(group, &folder)) return -1;
    StoreLock lock;
    if (!LockGroupStore(kImageLinksKind, &lock)) return -1;
    int row = ImageLinkCategoryIndex(record->categoryBits);
    if (row < 0 || row >= kCategoryFolderCount) return -1;
    std::string file = ImageLinkFilePathOf(folder.c_str(), row, record->objectClass, record->index);
    LinkFile links;
    if (!LinkStoreReadFile(kShape, file, record, &links)) return -1;
    std::string p = path ? path : "";
    links.links.erase(std::remove_if(links.links.begin(), links.links.end(),
                                     [&](const WebLink &l) { return SamePath(l.url, p); }),
                      links.links.end());
    if (links.links.empty()) return SafeRemove(file.c_str()) ? 0 : -1;
    return LinkStoreWriteFile(file, links) ? static_cast<int>(links.links.size()) : -1;
}

int DeleteImageLink(int group, ObjectRecord *record, const char *path) {
    std::string folder;
    if (!record || !ImageLinkGroupFolder(group, &folder)) return -1;
    int kept = DeleteImageLinkLine(group, record, path);
    if (kept < 0) return 0;
    if (kept == 0) return RemoveImageLinkKey(folder.c_str(), record);
    return 1;
}

int RemoveImageLinkKey(const char *groupFolder, const ObjectRecord *record) {
    if (!groupFolder || !record) return 0;
    StoreLock lock;
    if (!LockGroupStore(kImageLinksKind, &lock)) return 0;
    int row = ImageLinkCategoryIndex(record->categoryBits);
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    std::string path = LinkStoreIndexPath(kShape, groupFolder, row);
    std::vector<int32_t> keys;
    std::string old;
    if (!LinkStoreReadIndex(path, &keys, &old)) return 0;
    int32_t key = NoteObjectKey(record->objectClass, record->index);
    std::vector<int32_t> kept;
    for (int32_t k : keys)
        if ((k & ~kLinkKeyMarkBit) != key) kept.push_back(k & ~kLinkKeyMarkBit);
    return LinkStoreWriteIndex(path, kept, old);
}

int RepairImageLinkIndexes(int group) {
    std::string folder;
    if (!ImageLinkGroupFolder(group, &folder)) return 0;
    StoreLock lock;
    if (!LockGroupStore(kImageLinksKind, &lock)) return 0;
    EnsureImageLinkIndexFiles(folder.c_str());
    for (int row = 0; row < kCategoryFolderCount; ++row) {
        std::string path = LinkStoreIndexPath(kShape, folder.c_str(), row);
        std::vector<int32_t> keys;
        std::string old;
        if (!LinkStoreReadIndex(path, &keys, &old)) return 0;
        for (int32_t &k : keys) k &= ~kLinkKeyMarkBit;
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        if (!LinkStoreWriteIndex(path, keys, old)) return 0;
    }
    return 1;
}

int ImageLinkClassOfRow(int row, int userFlag) {
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    int cls = kRowClass[row];
    if (!userFlag || cls == kClassSkyMark) return cls;
    switch (cls) {
    case kClassComet: return kClassUserComet;
    case kClassMinorPlanet: return kClassUserMinorPlanet;
    case kClassStar: return kClassUserStar;
    default: return kClassUserDeepSky;
    }
}

int DeleteImagePathEverywhere(const char *path) {
    if (!path) return 0;
    StoreLock lock;
    if (!LockGroupStore(kImageLinksKind, &lock)) return 0;
    GroupRecord *groups = nullptr;
    int count = 0;
    if (!ReadGroupList(kGroupImageLinks, &groups, &count)) return 0;
    FreeGroupList(groups);
    for (int g = 0; g < count; ++g) {
        std::vector<LinkKeyEntry> keys;
        if (!ReadGroupImageLinkKeys(g, &keys)) return 0;
        for (const LinkKeyEntry &e : keys) {
            ObjectRecord record;
            ClearObjectRecord(&record);
            bool user = e.key >= 0 && (static_cast<uint32_t>(e.key) & kUserObjectKeyFlag);
            record.index = user ? static_cast<int32_t>(static_cast<uint32_t>(e.key) & ~kUserObjectKeyFlag)
                                : e.key;
            record.categoryBits = e.category;
            record.objectClass =
                static_cast<uint8_t>(ImageLinkClassOfRow(ImageLinkCategoryIndex(e.category), user));
            DeleteImageLink(g, &record, path);
        }
    }
    return 1;
}

int DeleteObjectImageLinks(int group, ObjectRecord *record, int sameClass) {
    return LinkStoreDeleteObject(kShape, group, record, sameClass);
}

int MoveImageLinksToGroup(int sourceGroup, int targetGroup, ObjectRecord *record) {
    return LinkStoreMoveObject(kShape, sourceGroup, targetGroup, record);
}

int GetImageLinkFileTime(int group, int objectClass, uint32_t category, int32_t index,
                         FileTimeValue *out) {
    return LinkStoreFileTime(kShape, group, objectClass, category, index, out);
}

int ReadGroupImageLinkKeys(int group, std::vector<LinkKeyEntry> *keys) {
    return LinkStoreGroupKeys(kShape, group, keys);
}

int MarkUserObjectsWithImageLinks(int objectClass, uint8_t *marks, int length) {
    return LinkStoreMarkUserObjects(kShape, objectClass, marks, length);
}
