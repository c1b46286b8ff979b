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
#include "userdata/storepaths.h"

const char kImportedGroupName[] = "Imported from Nightjar 2";

namespace {

const int kQuestionBytes = 512;

// The note files of a folder, in byte order: plain "*.bin" files other than
// "index.bin" (both compared without regard to case, as Windows does).
std::vector<std::string> NoteFilesIn(const std::string &folder) {
    std::vector<std::string> names;
    std::vector<FsEntry> entries;
    if (!FsListFolder(folder, entries)) return names;
    for (const FsEntry &e : entries)
        if (!e.isFolder && !e.isLink && IsStoreFileNamed(e.name, ".bin") &&
            CompareNamesNoCase(e.name.c_str(), "index.bin") != 0)
            names.push_back(e.name);
    return names;
}

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

// The 0-based position of the group of that display name, made when absent;
// -1 on failure. Looked up anew each time, as positions move when a group
// is added before them.
int GroupPositionByName(const char *name) {
    GroupRecord record;
    int position = FindGroupByName(kGroupNotes, name, &record);
    if (position < 0) return -1;
    if (position == 0) {
        position = AddGroup(kGroupNotes, name, &record);
        if (position < 0) position = -position;
        if (position == 0) return -1;
    }
    return position - 1;
}

int RollBack(const std::string &notes, const std::string &safety) {
    if (DeleteTree(notes.c_str()) != 1 && FsKind(notes) >= 0) return -1;
    if (!CopyTree(safety.c_str(), notes.c_str())) return -1;
    DeleteTree(safety.c_str());
    return 0;
}

}  // namespace

int BackupNotes(const char *destination, const char *backupName, int groupChoice) {
    if (!destination || !*destination) return 0;
    std::string notes = NotesFolder();
    if (notes.empty()) return 0;
    bool named = backupName && *backupName;
    std::string root = named ? std::string(destination) + "/nightjar backup " + backupName
                             : std::string(destination);
    std::string target = root + "/notes";
    if (PathsOverlap(target, notes)) return 0;
    if (!EnsureDirectory(destination) || !EnsureDirectory(root.c_str())) return 0;
    if (FsKind(target) >= 0 && !DeleteTree(target.c_str())) return 0;
    if (!EnsureDirectory(target.c_str())) return 0;
    GroupRecord *groups = nullptr;
    int count = 0;
    if (!ReadGroupList(kGroupNotes, &groups, &count)) return 0;
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
            if (!EnsureDirectory(outRow.c_str())) return 0;
            std::string inRow = NoteRowFolder(group.folder, row);
            for (const std::string &name : NoteFilesIn(inRow))
                if (CopyStoreFileKeepTime((inRow + "/" + name).c_str(),
                                          (outRow + "/" + name).c_str()) != 1)
                    return 0;
        }
    }
    // Without the group list a backup cannot be restored: its copy counts.
    if (CopyStoreFileKeepTime((notes + "/groups.bin").c_str(), (target + "/groups.bin").c_str()) != 1)
        return 0;
    CopyStoreFileKeepTime((notes + "/registry.bin").c_str(), (target + "/registry.bin").c_str());
    return 1;
}

int RestoreNotes(const char *backupFolder, const char *backupName, int backupVersion) {
    if (!backupFolder || !*backupFolder) return 0;
    std::string notes = NotesFolder();
    const char *root = GetUserDataFolder();
    if (notes.empty()) return 0;
    std::string tmp = std::string(root) + "/tmp";
    std::string safety = tmp + "/notes";
    DeleteTree(safety.c_str());
    std::string source = std::string(backupFolder);
    if (backupName && *backupName) source += std::string("/") + backupName;
    source += "/notes";
    if (FsKind(source) != 1) return 0;
    // A backup inside the live store (or its safety copy) would be deleted
    // by the restore itself.
    if (PathsOverlap(source, notes) || PathsOverlap(source, safety)) return 0;

    // The backup is checked before anything changes: its group list must
    // read, and every group it lists must have its folder there.
    GroupRecord *groups = nullptr;
    int count = 0;
    if (backupVersion >= 3000) {
        if (FsKind(source + "/groups.bin") != 0 ||
            !ReadGroupListIn(source.c_str(), &groups, &count))
            return 0;
        bool whole = true;
        for (int g = 0; g < count && whole; ++g) {
            groups[g].folder[sizeof groups[g].folder - 1] = '\0';
            whole = IsSafeGroupFolder(groups[g].folder) &&
                    FsKind(source + "/" + groups[g].folder) == 1;
        }
        FreeGroupList(groups);
        if (!whole) return 0;
    }

    if (!EnsureDirectory(tmp.c_str()) || !EnsureDirectory(notes.c_str()) ||
        !CopyTree(notes.c_str(), safety.c_str()))
        return 0;
    if (!DeleteTree(notes.c_str()) || !EnsureDirectory(notes.c_str()))
        return RollBack(notes, safety);

    if (backupVersion >= 3000) {
        if (CopyStoreFileKeepTime((source + "/groups.bin").c_str(), (notes + "/groups.bin").c_str()) != 1 ||
            !ReadGroupList(kGroupNotes, &groups, &count))
            return RollBack(notes, safety);
        std::vector<GroupRecord> list(groups, groups + count);
        FreeGroupList(groups);
        for (int g = 0; g < count; ++g) {
            const char *folder = list[static_cast<size_t>(g)].folder;
            for (int row = 0; row < kCategoryFolderCount; ++row) {
                if (!CreateNoteIndexFile(folder, row, 1)) return RollBack(notes, safety);
                std::string from = source + "/" + folder + "/" + CategoryFolderTable[row].name;
                for (const std::string &name : NoteFilesIn(from))
                    if (!SetNoteFromFile(from + "/" + name, g)) return RollBack(notes, safety);
            }
        }
    } else {
        int group = GroupPositionByName(kImportedGroupName);
        GroupRecord record;
        if (group < 0 || !ReadGroup(kGroupNotes, &record, group)) return RollBack(notes, safety);
        for (int row = 0; row < kOldCategoryFolderCount; ++row) {
            if (!CreateNoteIndexFile(record.folder, row, 1)) return RollBack(notes, safety);
            std::string from = source + "/" + OldCategoryFolderTable[row];
            for (const std::string &name : NoteFilesIn(from))
                if (!SetNoteFromFile(from + "/" + name, group)) return RollBack(notes, safety);
        }
    }
    CopyStoreFileKeepTime((source + "/registry.bin").c_str(), (notes + "/registry.bin").c_str());
    return 1;
}

void DeleteNotesSafetyCopy() {
    const char *root = GetUserDataFolder();
    if (!root || !*root) return;
    DeleteTree((std::string(root) + "/tmp/notes").c_str());
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
