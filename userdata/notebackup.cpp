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
#include "objects/objectrecord.h"
#include "userdata/groupstore.h"
#include "userdata/notefiles.h"
#include "userdata/notestore.h"
#include "userdata/storebackup.h"
#include "userdata/storepaths.h"

const char kImportedGroupName[] = "Imported from Nightjar 2";

namespace {

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
    // A kill part way leaves the notes as they were before the merge.
    StoreChange change;
    if (!BeginStoreChange(&change, {&kNotesKind})) return 0;
    if (otherVersion >= 3000)
        return ForEachOtherGroup(kGroupNotes, other, [&](const std::string &folder, int target) {
            return MergeNotesGroupFolder(folder.c_str(), target, prefs, ask);
        });
    // The older generation: every note is set into the import group (an
    // object's note there is replaced, the group's other notes stay).
    int group = StoreGroupPositionByName(kGroupNotes, kImportedGroupName);
    if (group < 0) return 0;
    return ForEachObjectFile(other, kNotesShape.suffix, true,
                             [group](const std::string &path) { return SetNoteFromFile(path, group); });
}

int MergeNotesGroupFolder(const char *groupFolder, int targetGroup,
                          const DesignationPreferences *prefs, MergeQuestionCallback ask) {
    if (!groupFolder) return 0;
    MergeAnswers answers;
    GroupRecord target;
    if (!ReadGroup(kGroupNotes, &target, targetGroup)) return 0;
    target.name[sizeof target.name - 1] = '\0';
    std::string targetFolder;
    if (!NoteGroupFolder(targetGroup, &targetFolder)) return 0;
    StoreLock lock;
    if (!LockGroupStore(kNotesKind, &lock)) return 0;
    return ForEachObjectFile(groupFolder, kNotesShape.suffix, false, [&](const std::string &path) {
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
            return 1;
        }
        std::string present = NoteFilePathOf(targetFolder.c_str(), NoteCategoryIndex(record.categoryBits), number);
        if (!IncomingFileIsNewer(path, present)) return 1;
        NoteHeader here;
        std::string hereText;
        if (!ReadNoteFile(targetGroup, record.categoryBits, number, &here, &hereText)) return 0;
        if (here.status == incoming.status && CompareNamesNoCase(here.title, incoming.title) == 0 &&
            CompareNamesNoCase(hereText.c_str(), text.c_str()) == 0)
            return 1;
        if (!AskReplaceObject(&answers, ask, "The note in the %s group for %s is newer than the one present.",
                              target.name, record, prefs))
            return 1;
        // The present note keeps its class, index and category: it stays
        // the note its index entry names.
        std::memcpy(here.title, incoming.title, sizeof here.title);
        here.status = incoming.status;
        return WriteNoteFile(targetGroup, record.categoryBits, number, &here, text.c_str()) ? 1 : 0;
    });
}
