// Backup, restore and merge of the web links store (see linkbackup.h).
#include "userdata/linkbackup.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "userdata/groupstore.h"
#include "userdata/linkfiles.h"
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

// The file's object with its user-object id as this computer has it; false
// (and the merge notes it) when the object cannot be matched here.
bool RemappedRecord(const LinkFile &file, const std::string &users, int otherVersion, ObjectRecord *record) {
    LinkFileRecord(file, record);
    int32_t id = record->index;
    if (!RemapUserObjectId(nullptr, users.c_str(), record->objectClass, &id, otherVersion)) {
        g_missedObjects = true;
        return false;
    }
    record->index = id;
    return true;
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
    LinkFileRecord(file, &record);
    return AddAll(file, record, group);
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
    // A kill part way leaves the links as they were before the merge.
    StoreChange change;
    if (!BeginStoreChange(&change, {&kWebLinksKind})) return 0;
    if (otherVersion >= 3000)
        return ForEachOtherGroup(kGroupLinks, other, [&](const std::string &folder, int target) {
            return MergeLinksGroupFolder(otherFolder, folder.c_str(), target, prefs, otherVersion, ask);
        });
    // The older generation: every link goes into the import group (links
    // present there stay; nothing is emptied).
    int group = StoreGroupPositionByName(kGroupLinks, kImportedGroupName);
    if (group < 0) return 0;
    std::string users = OtherUserFiles(otherFolder);
    return ForEachObjectFile(other, kLinksShape.suffix, true, [&](const std::string &path) {
        LinkFile file;
        ObjectRecord record;
        if (!ReadLinkFileAt(path, nullptr, &file)) return 0;
        if (!RemappedRecord(file, users, otherVersion, &record)) return 1;
        return AddAll(file, record, group);
    });
}

int MergeLinksGroupFolder(const char *otherFolder, const char *groupFolder, int targetGroup,
                          const DesignationPreferences *prefs, int otherVersion,
                          MergeQuestionCallback ask) {
    if (!otherFolder || !groupFolder) return 0;
    MergeAnswers answers;
    GroupRecord target;
    if (!ReadGroup(kGroupLinks, &target, targetGroup)) return 0;
    target.name[sizeof target.name - 1] = '\0';
    std::string targetFolder;
    if (!LinkGroupFolder(targetGroup, &targetFolder)) return 0;
    StoreLock lock;
    if (!LockGroupStore(kWebLinksKind, &lock)) return 0;
    std::string users = OtherUserFiles(otherFolder);
    return ForEachObjectFile(groupFolder, kLinksShape.suffix, false, [&](const std::string &path) {
        LinkFile incoming;
        ObjectRecord record;
        if (!ReadLinkFileAt(path, nullptr, &incoming)) return 0;
        if (!RemappedRecord(incoming, users, otherVersion, &record)) return 1;
        LinkIndexLists lists;
        if (!LoadLinkIndexLists(targetGroup, &lists)) return 0;
        int has = FindLinksOfObject(&lists, &record);
        FreeLinkIndexLists(&lists);
        if (!has) return AddAll(incoming, record, targetGroup);
        std::string present = LinkFilePathOf(targetFolder.c_str(), LinkCategoryIndex(record.categoryBits),
                                             record.objectClass, record.index);
        if (!IncomingFileIsNewer(path, present) ||
            !AskReplaceObject(&answers, ask, "The links in the %s group for %s are newer than the ones present.",
                              target.name, record, prefs))
            return 1;
        LinkFile here;
        if (!ReadObjectLinks(targetGroup, &record, &here)) return 0;
        for (const WebLink &l : incoming.links) {
            bool replaced = false;
            for (WebLink &p : here.links)
                if (CompareNamesNoCase(p.url.c_str(), l.url.c_str()) == 0) {
                    p = l;
                    replaced = true;
                }
            if (!replaced) here.links.push_back(l);
        }
        return WriteLinkFileAt(present, here) ? 1 : 0;
    });
}
