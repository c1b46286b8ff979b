// Backup, restore and merge of the notes store (see notebackup.h).
#include "userdata/notebackup.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "objects/categories.h"
#include "objects/objectnames.h"
#include "objects/objectrecord.h"
#include "userdata/notefiles.h"
#include "userdata/notestore.h"
#include "userdata/storebackup.h"
#include "userdata/storepaths.h"

const char kImportedGroupName[] = "Imported from Nightjar 2";

namespace {

const int kQuestionBytes = 512;

// Reads one note file of a backup or another computer (its user object is
// found or added here) and sets it into the group. 1 done, 0 failed.
int SetNoteFromFile(const std::string &path, int group) {
    FileHandle file(SafeOpen(path.c_str(), "rb"));
    if (!file) return 0;
    NoteHeader header;
    std::string text;
    if (!ReadNoteBody(file.get(), &header, &text, 1, 0)) return 0;
    file.reset();
    ObjectRecord record;
    NoteRecordFromHeader(&header, &record);
    return SetNote(group, &record, header.title, text.c_str(), header.status) >= 0 ? 1 : 0;
}

// The notes store as the shared backup frame sees it: note files "*.bin"
// in one folder per category row of each group.
const StoreShape kNotesShape = {kGroupNotes, "notes", "notes", ".bin", "notes"};

int MakeNoteIndex(const char *groupFolder, int row) {
    return CreateNoteIndexFile(groupFolder, row, 1) ? 1 : 0;
}

std::vector<std::string> NoteFilesIn(const std::string &folder) {
    return StoreFilesIn(folder, kNotesShape.suffix);
}

int GroupPositionByName(const char *name) {
    return StoreGroupPositionByName(kGroupNotes, name);
}

}  // namespace

int BackupNotes(const char *destination, const char *backupName, int groupChoice) {
    return BackupStore(kNotesShape, destination, backupName, groupChoice);
}

int RestoreNotes(const char *backupFolder, const char *backupName, int backupVersion) {
    return RestoreStore(kNotesShape, backupFolder, backupName, backupVersion, MakeNoteIndex,
                        SetNoteFromFile);
}

void DeleteNotesSafetyCopy() {
    DeleteStoreSafetyCopy(kNotesShape);
}

int MergeOtherComputerNotes(const char *otherFolder, int otherVersion,
                            const DesignationPreferences *prefs, MergeQuestionCallback ask) {
    if (!otherFolder) return 0;
    std::string other = std::string(otherFolder) + "/notes";
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
            int target = GroupPositionByName(g.name);
            if (target < 0) return 0;
            if (!MergeNotesGroupFolder((other + "/" + g.folder).c_str(), target, prefs, ask)) return 0;
        }
        return 1;
    }
    // The older generation: every note is set into the import group (an
    // object's note there is replaced, the group's other notes stay).
    int group = GroupPositionByName(kImportedGroupName);
    if (group < 0) return 0;
    for (int row = 0; row < kOldCategoryFolderCount; ++row) {
        std::string from = other + "/" + OldCategoryFolderTable[row];
        for (const std::string &name : NoteFilesIn(from))
            if (!SetNoteFromFile(from + "/" + name, group)) return 0;
    }
    return 1;
}

int MergeNotesGroupFolder(const char *groupFolder, int targetGroup,
                          const DesignationPreferences *prefs, MergeQuestionCallback ask) {
    if (!groupFolder) return 0;
    MergeAnswers answers;
    GroupRecord target;
    if (!ReadGroup(kGroupNotes, &target, targetGroup)) return 0;
    target.name[sizeof target.name - 1] = '\0';
    for (int row = 0; row < kCategoryFolderCount; ++row) {
        std::string from = std::string(groupFolder) + "/" + CategoryFolderTable[row].name;
        for (const std::string &name : NoteFilesIn(from)) {
            std::string path = from + "/" + name;
            NoteHeader incoming;
            std::string text;
            {
                FileHandle file(SafeOpen(path.c_str(), "rb"));
                if (!file || !ReadNoteBody(file.get(), &incoming, &text, 1, 0)) return 0;
            }
            ObjectRecord record;
            NoteRecordFromHeader(&incoming, &record);
            NoteIndexLists lists;
            if (!LoadNoteIndexLists(targetGroup, &lists)) return 0;
            int number = FindNoteOfObject(&lists, &record);
            FreeNoteIndexLists(&lists);
            if (number < 0) {
                int32_t key = NoteObjectKey(record.objectClass, record.index);
                CreateNote(targetGroup, &record, key, incoming.title, text.c_str(), incoming.status);
                continue;
            }
            FileTimeValue here, there;
            if (!GetNoteFileTime(targetGroup, record.categoryBits, number, &here) ||
                !GetFileWriteTime(path.c_str(), &there) || FileTimeTicks(there) <= FileTimeTicks(here))
                continue;
            NoteHeader present;
            std::string presentText;
            if (!ReadNoteFile(targetGroup, record.categoryBits, number, &present, &presentText))
                return 0;
            if (present.status == incoming.status &&
                CompareNamesNoCase(present.title, incoming.title) == 0 &&
                CompareNamesNoCase(presentText.c_str(), text.c_str()) == 0)
                continue;
            char objectName[65] = "";
            if (!FormatObjectName(&record, objectName, prefs, nullptr, nullptr, nullptr))
                std::snprintf(objectName, sizeof objectName, "object %d of class %d",
                              static_cast<int>(record.index), static_cast<int>(record.objectClass));
            char question[kQuestionBytes];
            std::snprintf(question, sizeof question,
                          "The note in the %s group for %s is newer than the one present.",
                          target.name, objectName);
            if (!AskMergeReplace(&answers, ask, question)) continue;
            // The present note keeps its class, index and category: it stays
            // the note its index entry names.
            std::memcpy(present.title, incoming.title, sizeof present.title);
            present.status = incoming.status;
            if (!WriteNoteFile(targetGroup, record.categoryBits, number, &present, text.c_str()))
                return 0;
        }
    }
    return 1;
}
