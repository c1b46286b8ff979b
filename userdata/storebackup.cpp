// Backup and restore of the link stores (see storebackup.h).
#include "userdata/storebackup.h"

#include <vector>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/userfolder.h"
#include "objects/categories.h"
#include "userdata/groupstore.h"
#include "userdata/notebackup.h"
#include "userdata/notefiles.h"
#include "userdata/notestore.h"
#include "userdata/storepaths.h"

namespace {

int RollBack(const std::string &store, const std::string &safety) {
    if (DeleteTree(store.c_str()) != 1 && FsKind(store) >= 0) return -1;
    if (!CopyTree(safety.c_str(), store.c_str())) return -1;
    DeleteTree(safety.c_str());
    return 0;
}

}  // namespace

std::string StoreFolderOf(const StoreShape &shape) {
    const char *root = GetUserDataFolder();
    if (!root || !*root) return std::string();
    return std::string(root) + "/" + shape.storeFolder;
}

int BackupStore(const StoreShape &shape, const char *destination, const char *backupName,
                int groupChoice) {
    if (!destination || !*destination) return 0;
    std::string store = StoreFolderOf(shape);
    if (store.empty()) return 0;
    bool named = backupName && *backupName;
    std::string root = named ? std::string(destination) + "/nightjar backup " + backupName
                             : std::string(destination);
    std::string target = root + "/" + shape.backupFolder;
    if (PathsOverlap(target, store)) return 0;
    if (!EnsureDirectory(destination) || !EnsureDirectory(root.c_str())) return 0;
    if (FsKind(target) >= 0 && !DeleteTree(target.c_str())) return 0;
    if (!EnsureDirectory(target.c_str())) return 0;
    GroupRecord *groups = nullptr;
    int count = 0;
    if (!ReadGroupList(shape.kind, &groups, &count)) return 0;
    std::vector<GroupRecord> chosen;
    int only = named ? -1 : groupChoice - 2;
    for (int g = 0; g < count; ++g)
        if (only < 0 || g == only) chosen.push_back(groups[g]);
    FreeGroupList(groups);
    if (only >= count) return 0;
    for (GroupRecord &group : chosen) {
        group.folder[sizeof group.folder - 1] = '\0';
        if (!IsSafeGroupFolder(group.folder)) return 0;
        std::string out = target + "/" + group.folder;
        if (!EnsureDirectory(out.c_str())) return 0;
        for (int row = 0; row < kCategoryFolderCount; ++row) {
            std::string outRow = out + "/" + CategoryFolderTable[row].name;
            std::string inRow = store + "/" + group.folder + "/" + CategoryFolderTable[row].name;
            if (!EnsureDirectory(outRow.c_str())) return 0;
            for (const std::string &name : StoreFilesIn(inRow, shape.suffix))
                if (CopyFileKeepTime((inRow + "/" + name).c_str(), (outRow + "/" + name).c_str()) != 1)
                    return 0;
        }
    }
    if (CopyFileKeepTime((store + "/groups.bin").c_str(), (target + "/groups.bin").c_str()) != 1)
        return 0;
    CopyFileKeepTime((store + "/registry.bin").c_str(), (target + "/registry.bin").c_str());
    return 1;
}

int RestoreStore(const StoreShape &shape, const char *backupFolder, const char *backupName,
                 int backupVersion, StoreIndexMaker makeIndex, StoreFileImporter import) {
    if (!backupFolder || !*backupFolder || !makeIndex || !import) return 0;
    std::string store = StoreFolderOf(shape);
    if (store.empty()) return 0;
    std::string tmp = std::string(GetUserDataFolder()) + "/tmp";
    std::string safety = tmp + "/" + shape.safetyName;
    DeleteTree(safety.c_str());
    std::string source = backupFolder;
    if (backupName && *backupName) source += std::string("/") + backupName;
    source += std::string("/") + shape.backupFolder;
    if (FsKind(source) != 1 || PathsOverlap(source, store) || PathsOverlap(source, safety)) return 0;

    GroupRecord *groups = nullptr;
    int count = 0;
    if (backupVersion >= 3000) {
        if (FsKind(source + "/groups.bin") != 0 || !ReadGroupListIn(source.c_str(), &groups, &count))
            return 0;
        bool whole = true;
        for (int g = 0; g < count && whole; ++g) {
            groups[g].folder[sizeof groups[g].folder - 1] = '\0';
            whole = IsSafeGroupFolder(groups[g].folder) && FsKind(source + "/" + groups[g].folder) == 1;
        }
        FreeGroupList(groups);
        if (!whole) return 0;
    }
    if (!EnsureDirectory(tmp.c_str()) || !EnsureDirectory(store.c_str())) return 0;
    if (!CopyTree(store.c_str(), safety.c_str())) {
        DeleteTree(safety.c_str());  // no half-made safety copy is left behind
        return 0;
    }
    if (!DeleteTree(store.c_str()) || !EnsureDirectory(store.c_str())) return RollBack(store, safety);

    if (backupVersion >= 3000) {
        if (CopyFileSafely((source + "/groups.bin").c_str(), (store + "/groups.bin").c_str()) != 1 ||
            !ReadGroupList(shape.kind, &groups, &count))
            return RollBack(store, safety);
        std::vector<GroupRecord> list(groups, groups + count);
        FreeGroupList(groups);
        for (int g = 0; g < count; ++g) {
            const char *folder = list[static_cast<size_t>(g)].folder;
            for (int row = 0; row < kCategoryFolderCount; ++row) {
                if (!makeIndex(folder, row)) return RollBack(store, safety);
                std::string from = source + "/" + folder + "/" + CategoryFolderTable[row].name;
                for (const std::string &name : StoreFilesIn(from, shape.suffix))
                    if (!import(from + "/" + name, g)) return RollBack(store, safety);
            }
        }
    } else {
        int group = StoreGroupPositionByName(shape.kind, kImportedGroupName);
        GroupRecord record;
        if (group < 0 || !ReadGroup(shape.kind, &record, group)) return RollBack(store, safety);
        for (int row = 0; row < kOldCategoryFolderCount; ++row) {
            if (!makeIndex(record.folder, row)) return RollBack(store, safety);
            std::string from = source + "/" + OldCategoryFolderTable[row];
            for (const std::string &name : StoreFilesIn(from, shape.suffix))
                if (!import(from + "/" + name, group)) return RollBack(store, safety);
        }
    }
    CopyFileSafely((source + "/registry.bin").c_str(), (store + "/registry.bin").c_str());
    return 1;
}

void DeleteStoreSafetyCopy(const StoreShape &shape) {
    const char *root = GetUserDataFolder();
    if (!root || !*root) return;
    DeleteTree((std::string(root) + "/tmp/" + shape.safetyName).c_str());
}
