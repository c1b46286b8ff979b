// Backup, restore and merge of the web links store (see linkbackup.h).
#include "userdata/linkbackup.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "objects/categories.h"
#include "objects/objectnames.h"
#include "objects/objectrecord.h"
#include "userdata/linkstore.h"
#include "userdata/notebackup.h"
#include "userdata/notefiles.h"
#include "userdata/notestore.h"
#include "userdata/storebackup.h"
#include "userdata/storepaths.h"
#include "userdata/userobjectdata.h"

namespace {

const StoreShape kLinksShape = {kGroupLinks, "links", "web links", ".dat", "links"};
bool g_missedObjects = false;

int MakeIndex(const char *groupFolder, int row) { return CreateLinkIndexFile(groupFolder, row, 1); }

void RecordOf(const LinkFile &file, ObjectRecord *record) {
    ClearObjectRecord(record);
    record->objectClass = static_cast<uint8_t>(file.objectClass);
    record->index = file.index;
    record->categoryBits = file.category;
}

// Adds every link of a file to the group (URLs present there pass).
int AddAll(const LinkFile &file, const ObjectRecord &record, int group) {
    for (const WebLink &l : file.links) {
        ObjectRecord target = record;
        if (AddObjectLink(group, &target, l.url.c_str(), l.description.c_str()) == 0) return 0;
    }
    return 1;
}

int ImportFile(const std::string &path, int group) {
    LinkFile file;
    if (!ReadLinkFileAt(path, nullptr, &file)) return 0;
    ObjectRecord record;
    RecordOf(file, &record);
    return AddAll(file, record, group);
}

// The other computer's user files: "<other>/supp" or the folder itself.
std::string OtherUserFiles(const char *otherFolder) {
    std::string supp = std::string(otherFolder) + "/supp";
    return FsKind(supp) == 1 ? supp : std::string(otherFolder);
}

}  // namespace

int BackupLinks(const char *destination, const char *backupName, int groupChoice) {
    return BackupStore(kLinksShape, destination, backupName, groupChoice);
}

int RestoreLinks(const char *backupFolder, const char *backupName, int backupVersion) {
    return RestoreStore(kLinksShape, backupFolder, backupName, backupVersion, MakeIndex, ImportFile);
}

void DeleteLinksSafetyCopy() { DeleteStoreSafetyCopy(kLinksShape); }

int LinksMergeMissedObjects() { return g_missedObjects ? 1 : 0; }

int MergeOtherComputerLinks(const char *otherFolder, int otherVersion,
                            const DesignationPreferences *prefs, MergeQuestionCallback ask) {
    if (!otherFolder) return 0;
    g_missedObjects = false;
    std::string other = std::string(otherFolder) + "/links";
    if (FsKind(other) != 1) other = std::string(otherFolder) + "/web links";
    if (FsKind(other) != 1) return 0;
    if (otherVersion >= 3000) {
        if (FsKind(other + "/groups.bin") != 0) return 0;
        GroupRecord *groups = nullptr;
        int count = 0;
        if (!ReadGroupListIn(other.c_str(), &groups, &count)) return 0;
        std::vector<GroupRecord> list(groups, groups + count);
        FreeGroupList(groups);
        for (GroupRecord &g : list) {
            g.name[sizeof g.name - 1] = '\0';
            g.folder[sizeof g.folder - 1] = '\0';
            if (!IsSafeGroupFolder(g.folder)) return 0;
            int target = StoreGroupPositionByName(kGroupLinks, g.name);
            if (target < 0) return 0;
            if (!MergeLinksGroupFolder(otherFolder, (other + "/" + g.folder).c_str(), target, prefs,
                                       otherVersion, ask))
                return 0;
        }
        return 1;
    }
    // The older generation: every link goes into the import group (links
    // present there stay; nothing is emptied).
    int group = StoreGroupPositionByName(kGroupLinks, kImportedGroupName);
    if (group < 0) return 0;
    std::string users = OtherUserFiles(otherFolder);
    for (int row = 0; row < kOldCategoryFolderCount; ++row) {
        std::string from = other + "/" + OldCategoryFolderTable[row];
        for (const std::string &name : StoreFilesIn(from, ".dat")) {
            LinkFile file;
            if (!ReadLinkFileAt(from + "/" + name, nullptr, &file)) return 0;
            ObjectRecord record;
            RecordOf(file, &record);
            int32_t id = record.index;
            if (!RemapUserObjectId(nullptr, users.c_str(), record.objectClass, &id, otherVersion)) {
                g_missedObjects = true;
                continue;
            }
            record.index = id;
            if (!AddAll(file, record, group)) return 0;
        }
    }
    return 1;
}

int MergeLinksGroupFolder(const char *otherFolder, const char *groupFolder, int targetGroup,
                          const DesignationPreferences *prefs, int otherVersion,
                          MergeQuestionCallback ask) {
    if (!otherFolder || !groupFolder) return 0;
    MergeAnswers answers;
    GroupRecord target;
    if (!ReadGroup(kGroupLinks, &target, targetGroup)) return 0;
    target.name[sizeof target.name - 1] = '\0';
    std::string users = OtherUserFiles(otherFolder);
    for (int row = 0; row < kCategoryFolderCount; ++row) {
        std::string from = std::string(groupFolder) + "/" + CategoryFolderTable[row].name;
        for (const std::string &name : StoreFilesIn(from, ".dat")) {
            std::string path = from + "/" + name;
            LinkFile incoming;
            if (!ReadLinkFileAt(path, nullptr, &incoming)) return 0;
            ObjectRecord record;
            RecordOf(incoming, &record);
            int32_t id = record.index;
            if (!RemapUserObjectId(nullptr, users.c_str(), record.objectClass, &id, otherVersion)) {
                g_missedObjects = true;
                continue;
            }
            record.index = id;
            LinkIndexLists lists;
            if (!LoadLinkIndexLists(targetGroup, &lists)) return 0;
            int has = FindLinksOfObject(&lists, &record);
            FreeLinkIndexLists(&lists);
            if (!has) {
                if (!AddAll(incoming, record, targetGroup)) return 0;
                continue;
            }
            FileTimeValue here, there;
            if (!GetLinkFileTime(targetGroup, record.objectClass, record.categoryBits, record.index, &here) ||
                !GetFileWriteTime(path.c_str(), &there) || FileTimeTicks(there) <= FileTimeTicks(here))
                continue;
            char objectName[65] = "";
            if (!FormatObjectName(&record, objectName, prefs, nullptr, nullptr, nullptr))
                std::snprintf(objectName, sizeof objectName, "object %d of class %d",
                              static_cast<int>(record.index), static_cast<int>(record.objectClass));
            char question[512];
            std::snprintf(question, sizeof question,
                          "The links in the %s group for %s are newer than the ones present.",
                          target.name, objectName);
            if (!AskMergeReplace(&answers, ask, question)) continue;
            LinkFile present;
            if (!ReadObjectLinks(targetGroup, &record, &present)) return 0;
            for (const WebLink &l : incoming.links) {
                bool replaced = false;
                for (WebLink &p : present.links)
                    if (CompareNamesNoCase(p.url.c_str(), l.url.c_str()) == 0) {
                        p = l;
                        replaced = true;
                    }
                if (!replaced) present.links.push_back(l);
            }
            std::string folder;
            if (!LinkGroupFolder(targetGroup, &folder) ||
                !WriteLinkFileAt(LinkFilePathOf(folder.c_str(), LinkCategoryIndex(record.categoryBits),
                                                record.objectClass, record.index),
                                 present))
                return 0;
        }
    }
    return 1;
}
