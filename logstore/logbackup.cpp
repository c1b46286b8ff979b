// Backup, restore and merge of the observing log (see logbackup.h). Every
// file is copied, written and removed through the crash-safe layer, so each
// step can be made to fail in the tests.
#include "logstore/logbackup.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/fsys.h"
#include "core/safefile.h"
#include "core/storelock.h"
#include "core/textutil.h"
#include "core/userfolder.h"
#include "logstore/keynotes.h"
#include "logstore/logadd.h"
#include "logstore/logentryfile.h"
#include "logstore/logexchange.h"
#include "logstore/loglock.h"
#include "logstore/logpaths.h"
#include "logstore/logundo.h"
#include "logstore/namednotes.h"
#include "objects/categories.h"
#include "userdata/storepaths.h"

const char *const kLogBackupFolder = "logs";
const char *const kLogScratchFolder = "tmp/log";
const char *const kLogScratchMark = "tmp/log.unrestored";
const char *const kLogBackupMark = "tmp/log.backup";

namespace {

const char *const kMiscFolder = "misc";
const char *const kRegistryFile = "registry.bin";
const char *const kMarkText = "The log saved here is the only whole copy: a restore did not finish.\n";
// Held by a restore or a backup from its mark to its end, and by whoever
// finishes one that a kill interrupted.
const char *const kFolderOperationLock = "tmp/log.lock";
// A backup is built beside its place and then put in it; the earlier backup
// waits under the second name until the new one is in place.
const char *const kBackupBuilt = ".new";
const char *const kBackupEarlier = ".old";

// True while this process runs a restore or a backup: its own mark is no
// interrupted operation.
bool g_folderOperation = false;

struct FolderOperation {
    FolderOperation() { g_folderOperation = true; }
    ~FolderOperation() { g_folderOperation = false; }
    FolderOperation(const FolderOperation &) = delete;
    FolderOperation &operator=(const FolderOperation &) = delete;
};

std::string UserRoot() {
    const char *root = GetUserDataFolder();
    return root && root[0] ? std::string(root) : std::string();
}

bool SameName(const std::string &a, const char *b) { return CompareStringsNoCase(a.c_str(), b) == 0; }

bool IsIndexFolderName(const std::string &name) {
    for (const char *index : kLogIndexFolders)
        if (SameName(name, index)) return true;
    return false;
}

// The name of class folder f in a log of that generation.
const char *ClassFolderName(int folder, int version) {
    return version >= kCurrentEntryLayoutVersion ? CategoryFolderTable[folder].name
                                                 : OldCategoryFolderTable[folder];
}

// Plain files of a folder whose names end in ".bin", in byte order; none when
// the folder is absent.
std::vector<std::string> BinFilesIn(const std::string &folder) {
    std::vector<std::string> names;
    std::vector<FsEntry> entries;
    if (!FsListFolder(folder, entries)) return names;
    for (const FsEntry &e : entries)
        if (!e.isFolder && !e.isLink && IsStoreFileNamed(e.name, ".bin")) names.push_back(e.name);
    return names;
}

// One file copied through the crash-safe layer with its last-write time; an
// empty source gives an empty target. 1, or 0.
int CopyOneFile(const std::string &source, const std::string &target) {
    int r = CopyFileKeepTime(source.c_str(), target.c_str());
    if (r != 2) return r == 1 ? 1 : 0;
    if (FsKind(source) != 0 || !WriteWholeFileSafely(target.c_str(), "", 0)) return 0;  // vanished, or not written
    FileTimeValue t;
    if (FsGetWriteTime(source, &t)) FsSetWriteTime(target, t);
    return 1;
}

// Removes everything inside folder. 1 when nothing is left, also for an
// absent folder.
int EmptyTree(const std::string &folder) {
    std::vector<FsEntry> entries;
    if (FsKind(folder) < 0) return 1;
    if (!FsListFolder(folder, entries)) return 0;
    for (const FsEntry &e : entries) {
        std::string p = folder + "/" + e.name;
        if (e.isLink) {
            if (!FsRemoveLink(p)) return 0;
        } else if (e.isFolder) {
            if (!EmptyTree(p) || !FsRemoveFolder(p)) return 0;
        } else if (!SafeRemove(p.c_str())) {
            return 0;
        }
    }
    return 1;
}

// The mark goes; one more try when the first fails. 1, or 0.
int RemoveMark(const std::string &mark) {
    if (FsKind(mark) < 0) return 1;
    return SafeRemove(mark.c_str()) || SafeRemove(mark.c_str()) || FsKind(mark) < 0 ? 1 : 0;
}

// The many files of a rebuilt log reach the disk together at its end (one
// sync of the batch instead of one per file), and the mark is removed only
// after that. Within a batch that a caller already deferred, the caller's
// end syncs everything.
struct SyncBatch {
    bool own;
    SyncBatch() : own(!SyncsDeferred()) {
        if (own) BeginDeferredSyncs();
    }
    // 1 when every file of the batch reached the disk.
    int End() {
        if (!own) return 1;
        own = false;
        return EndDeferredSyncs();
    }
    ~SyncBatch() { End(); }
    SyncBatch(const SyncBatch &) = delete;
    SyncBatch &operator=(const SyncBatch &) = delete;
};

// The log stores cached counters and key lists; after the folders changed
// underneath, they are read again.
void ForgetCachedLogState() {
    ForgetLogFolderState();
    ForgetLogFoldersMade();
}

// The saved log moved back in place of the live one: whatever the failed
// restore wrote is removed first, then the saved folder is renamed back, and
// only then does the mark go. 1, or 0 with the saved copy and its mark kept.
int PutBackSavedLog(const std::string &live, const std::string &scratch, const std::string &mark) {
    ForgetCachedLogState();
    if (FsKind(scratch) != 1) return 0;
    if (FsKind(live) >= 0 && (!EmptyTree(live) || !FsRemoveFolder(live))) return 0;
    if (!SafeReplace(scratch.c_str(), live.c_str())) return 0;
    ForgetCachedLogState();
    return RemoveMark(mark);
}

// True when every entry of folder is what a log backup holds: class, index
// and "misc" folders of plain ".bin" files, and "registry.bin".
bool LooksLikeLogBackup(const std::string &folder) {
    std::vector<FsEntry> entries;
    if (!FsListFolder(folder, entries)) return false;
    for (const FsEntry &e : entries) {
        if (e.isLink) return false;
        if (!e.isFolder) {
            if (!SameName(e.name, kRegistryFile)) return false;
            continue;
        }
        int row = CategoryFolderIndexOfName(e.name.c_str());
        bool known = (row >= 0 && row < kLogClassFolderCount) || IsIndexFolderName(e.name) ||
                     SameName(e.name, kMiscFolder);
        if (!known) return false;
        std::vector<FsEntry> inside;
        if (!FsListFolder(folder + "/" + e.name, inside)) return false;
        // A rewrite's temporary that a kill left is ours too.
        for (const FsEntry &f : inside)
            if (f.isFolder || f.isLink || (!IsStoreFileNamed(f.name, ".bin") && !IsStoreFileNamed(f.name, ".tmp")))
                return false;
    }
    return true;
}

// A backup place as a kill left it brought to one whole backup: the new
// backup in place, or the earlier one put back; the half-built one removed.
// Only folders that hold what a log backup holds are touched. 1, or 0.
int SettleBackupPlace(const std::string &target) {
    std::string built = target + kBackupBuilt, earlier = target + kBackupEarlier;
    if (FsKind(earlier) == 1 && LooksLikeLogBackup(earlier)) {
        if (FsKind(target) == 1) {
            if (!DeleteTree(earlier.c_str())) return 0;  // the new backup is in place
        } else if (FsKind(target) < 0 && !SafeReplace(earlier.c_str(), target.c_str())) {
            return 0;  // the new one never got there: the earlier goes back
        }
    }
    if (FsKind(built) == 1 && LooksLikeLogBackup(built) && !DeleteTree(built.c_str())) return 0;
    return 1;
}

std::string FolderOperationLockPath(const std::string &user) {
    EnsureDirectory((user + "/tmp").c_str());
    return user + "/" + kFolderOperationLock;
}

// An entry that names no object and holds no notes: nothing to keep.
bool IsEmptyEntry(const LogEntry &entry, int version) {
    if (entry.notesLength >= 2) return false;
    if (entry.objectClass == 0) return true;
    if (version >= kCurrentEntryLayoutVersion) return entry.catalogueIndex == -1;
    return entry.catalogueIndex < 1 && !(entry.catalogueIndex == 0 && entry.objectClass == 3);
}

// Reads the entry file at path: 1 read, 0 not opened, -1 not readable.
int ReadEntryAt(const std::string &path, LogEntry *entry, std::unique_ptr<char[]> *notes) {
    FileHandle f(SafeOpen(path.c_str(), "rb"));
    if (!f) return 0;
    char *text = nullptr;
    if (!ReadLogEntryFile(f.get(), entry, &text, 1, 0)) return -1;
    notes->reset(text);
    // An entry without notes is added again without them, so that its file
    // comes back with the same bytes.
    if (entry->notesLength <= 1) notes->reset();
    return 1;
}

// The steps of a restore that build the new log from the backup in an empty
// live folder: the result code of the first that fails, or kRestoreDone.
int RebuildFromBackup(const std::string &live, const std::string &source, int version) {
    if (!EnsureDirectory(live.c_str())) return kRestoreNewLog;
    ForgetCachedLogState();

    std::unique_ptr<LogEntry> entry(new LogEntry);
    for (int f = 0; f < kLogClassFolderCount; ++f) {
        if (!CreateLogFolders(f)) return kRestoreOpenEntry;
        std::string from = source + "/" + ClassFolderName(f, version);
        for (const std::string &name : BinFilesIn(from)) {
            if (SameName(name, "pid.bin")) continue;
            std::memset(entry.get(), 0, sizeof(LogEntry));
            std::unique_ptr<char[]> notes;
            int read = ReadEntryAt(from + "/" + name, entry.get(), &notes);
            if (read == 0) return kRestoreOpenEntry;
            if (read < 0) return kRestoreReadEntry;
            if (IsEmptyEntry(*entry, version)) continue;
            int status = kLogEntryFailed;
            int32_t number = AddLogEntryWithStatus(entry.get(), notes.get(), &status);
            // The store was emptied: an entry that is not added as a new one
            // (its object not identified here, or taken for a duplicate of an
            // entry restored before it) would be lost.
            if (number < 0 || status != kLogEntryAdded) return kRestoreAddEntry;
        }
    }

    std::string misc = source + "/" + kMiscFolder;
    for (const std::string &name : BinFilesIn(misc)) {
        if (SameName(name, "index.bin") || SameName(name, "pid.bin")) continue;
        FileHandle f(SafeOpen((misc + "/" + name).c_str(), "rb"));
        if (!f) return kRestoreOpenNote;
        NamedNoteHeader header;
        std::string text;
        if (!ReadNamedNoteFrom(f.get(), &header, &text)) return kRestoreReadNote;
        // A second note of a name already restored would be dropped: refused.
        if (AddNamedNote(header.name, text.c_str()) != 1) return kRestoreAddNote;
    }

    for (const char *index : kLogIndexFolders) {
        std::string from = source + "/" + index, to = live + "/" + index;
        if (!EnsureDirectory(to.c_str())) return kRestoreCopyKeyNotes;
        for (const std::string &name : BinFilesIn(from))
            if (!CopyOneFile(from + "/" + name, to + "/" + name)) return kRestoreCopyKeyNotes;
    }
    // The registry too must come back: a restore that answered success
    // without it would lose the record of the packages already imported.
    std::string registry = source + "/" + kRegistryFile;
    if (FsKind(registry) == 0 && !CopyOneFile(registry, live + "/" + kRegistryFile)) return kRestoreCopyKeyNotes;
    return kRestoreDone;
}

}  // namespace

int BackupLog(const char *destination, const char *backupName) {
    std::string user = UserRoot();
    if (!destination || !destination[0] || user.empty()) return 0;
    bool named = backupName && backupName[0];
    std::string root = named ? std::string(destination) + "/nightjar backup " + backupName
                             : std::string(destination);
    std::string target = root + "/" + kLogBackupFolder, live = user + "/log";
    std::string built = target + kBackupBuilt, earlier = target + kBackupEarlier;
    // A backup inside the live log, or one that would hold it, is refused.
    if (PathsOverlap(target, live) || PathsOverlap(built, live) || PathsOverlap(earlier, live)) return 0;
    if (!EnsureDirectory(destination) || !EnsureDirectory(root.c_str())) return 0;

    // One backup or restore at a time; the log's writers wait while it is read.
    FolderOperation operation;
    StoreLock folderLock;
    if (!AcquireStoreLock(FolderOperationLockPath(user), &folderLock)) return 0;
    LogStoreLock lock;
    if (!AcquireLogStoreLock(&lock)) return 0;
    // What a backup killed here before left is settled first.
    if (!SettleBackupPlace(target)) return 0;
    // An earlier backup is replaced; a folder of that name holding anything
    // else is not ours to delete.
    if (FsKind(target) == 0 || FsKind(built) >= 0 || FsKind(earlier) >= 0) return 0;
    if (FsKind(target) == 1 && !LooksLikeLogBackup(target)) return 0;

    // The mark names the place before the first change there: the next open
    // of the log settles it, whatever stops this backup.
    std::string mark = user + "/" + kLogBackupMark;
    if (!WriteWholeFileSafely(mark.c_str(), target.data(), target.size())) return 0;
    auto fail = [&] {
        if (SettleBackupPlace(target)) RemoveMark(mark);
        return 0;
    };
    {
        SyncBatch batch;
        if (!EnsureDirectory(built.c_str())) return fail();
        for (int f = 0; f < kLogClassFolderCount; ++f)
            if (!EnsureDirectory((built + "/" + CategoryFolderTable[f].name).c_str())) return fail();
        for (const char *index : kLogIndexFolders)
            if (!EnsureDirectory((built + "/" + index).c_str())) return fail();
        if (!EnsureDirectory((built + "/" + kMiscFolder).c_str())) return fail();

        for (int f = 0; f < kLogClassFolderCount; ++f) {
            std::string from = live + "/" + CategoryFolderTable[f].name, to = built + "/" + CategoryFolderTable[f].name;
            for (const std::string &name : BinFilesIn(from))
                if (!SameName(name, "pid.bin") && !CopyOneFile(from + "/" + name, to + "/" + name)) return fail();
        }
        std::string misc = live + "/" + kMiscFolder;
        for (const std::string &name : BinFilesIn(misc))
            if (!SameName(name, "index.bin") && !SameName(name, "pid.bin") &&
                !CopyOneFile(misc + "/" + name, built + "/" + kMiscFolder + "/" + name))
                return fail();
        for (const char *index : kLogIndexFolders) {
            std::string from = live + "/" + index, to = built + "/" + index;
            for (const std::string &name : BinFilesIn(from))
                if (!CopyOneFile(from + "/" + name, to + "/" + name)) return fail();
        }
        std::string registry = live + "/" + kRegistryFile;
        if (FsKind(registry) == 0 && !CopyOneFile(registry, built + "/" + kRegistryFile)) return fail();
        NoteDeferredSync(built);
        if (!batch.End()) return fail();
    }
    // The complete backup takes the place: the earlier one steps aside, the
    // new one moves in, the earlier one goes.
    if (FsKind(target) == 1 && !SafeReplace(target.c_str(), earlier.c_str())) return fail();
    if (!SafeReplace(built.c_str(), target.c_str())) return fail();
    if (FsKind(earlier) == 1 && !DeleteTree(earlier.c_str())) return fail();
    // The renames to the disk, then the mark goes; a failure of either is
    // reported (the backup may not be whole on the disk; the next open
    // settles the place again).
    if (!SyncPathsNow({root})) return 0;
    return SafeRemove(mark.c_str());
}

int ClearTempLog() {
    std::string user = UserRoot();
    if (user.empty()) return 0;
    // The saved log of a restore that did not finish is the only whole copy.
    if (FsKind(user + "/" + kLogScratchMark) >= 0) return 0;
    std::string scratch = user + "/" + kLogScratchFolder;
    if (FsKind(scratch) < 0) return 1;
    return DeleteTree(scratch.c_str());
}

int RestoreLog(const char *parent, const char *backupName, int backupVersion) {
    std::string user = UserRoot();
    if (!parent || !parent[0] || user.empty()) return kRestoreNoBackup;
    if (LogPassActive()) return kRestoreSetAside;  // an import pass holds the log
    std::string live = user + "/log", scratch = user + "/" + kLogScratchFolder,
                mark = user + "/" + kLogScratchMark;
    // One backup or restore at a time; no writer of the log while the log is
    // moved aside (others find the mark and wait for the folder lock).
    FolderOperation operation;
    StoreLock folderLock;
    if (!AcquireStoreLock(FolderOperationLockPath(user), &folderLock)) return kRestoreSetAside;

    // A restore that did not finish left the only whole log aside: it goes
    // back first, and nothing else happens when it cannot.
    if (FsKind(mark) >= 0 && FsKind(scratch) == 1) {
        if (!PutBackSavedLog(live, scratch, mark)) return kRestorePutBackFailed;
    } else if (!RemoveMark(mark)) {
        return kRestoreSetAside;  // a mark without a saved copy guards nothing
    }
    if (!ClearTempLog()) return kRestoreSetAside;
    std::string source = parent;
    if (backupName && backupName[0]) source += std::string("/") + backupName;
    source += std::string("/") + kLogBackupFolder;
    if (FsKind(source) != 1 || PathsOverlap(source, live) || PathsOverlap(source, user + "/tmp"))
        return kRestoreNoBackup;

    // The live log is set aside whole, in one rename on the same disk; the
    // mark goes first, so that from the moment the log is moved the saved
    // copy is known to be the only whole log.
    // A writer of the log finishes first; once the mark is there, the next
    // finds it and keeps out. (The lock file is closed before its folder
    // moves: a folder with an open file cannot be renamed everywhere.)
    if (!EnsureDirectory((user + "/tmp").c_str()) || !EnsureDirectory(live.c_str())) return kRestoreSetAside;
    {
        LogStoreLock lock;
        if (!AcquireLogStoreLock(&lock)) return kRestoreSetAside;
        if (!WriteWholeFileSafely(mark.c_str(), kMarkText, std::strlen(kMarkText))) return kRestoreSetAside;
    }
    ForgetCachedLogState();
    if (!SafeReplace(live.c_str(), scratch.c_str())) {
        RemoveMark(mark);  // the live log never moved
        return kRestoreSetAside;
    }

    // The new log, built from the backup; any failure puts the saved log back.
    int result;
    {
        SyncBatch batch;
        result = RebuildFromBackup(live, source, backupVersion);
        if (result == kRestoreDone && !batch.End()) result = kRestoreCopyKeyNotes;
    }
    ForgetCachedLogState();
    if (result != kRestoreDone) return PutBackSavedLog(live, scratch, mark) ? result : kRestorePutBackFailed;
    // Restored: the saved copy stays until the next restore clears it, but is
    // no longer the only whole log.
    return RemoveMark(mark) ? kRestoreDone : kRestoreNotReleased;
}

int ImportLogBackup(const char *folder, int version) {
    std::string user = UserRoot();
    if (!folder || !folder[0] || user.empty() || FsKind(folder) != 1) return 0;
    std::string base = folder, source = base + "/log";
    if (FsKind(source) != 1) source = base + "/" + kLogBackupFolder;
    if (FsKind(source) != 1) return 0;
    std::string live = user + "/log";
    // The live log merged into itself holds everything already.
    if (PathsOverlap(source, live)) return 1;

    // The merge is one operation under the log's mark: every add and note
    // joins it, and a failure or a kill puts the log back as it was.
    LogStoreLock lock;
    if (!AcquireLogStoreLock(&lock)) return 0;
    LogUndo merge;
    struct Enclosing {
        explicit Enclosing(LogUndo *undo) { SetEnclosingLogUndo(undo); }
        ~Enclosing() { SetEnclosingLogUndo(nullptr); }
    } enclosing(&merge);
    auto fail = [&] {
        SetEnclosingLogUndo(nullptr);
        RollBackLogUndo(&merge);
        ForgetCachedLogState();
        return 0;
    };

    std::unique_ptr<LogEntry> entry(new LogEntry);
    for (int f = 0; f < kLogClassFolderCount; ++f) {
        std::string from = source + "/" + ClassFolderName(f, version);
        for (const std::string &name : BinFilesIn(from)) {
            std::string lower = name;
            for (char &c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            if (lower.find("pid") != std::string::npos) continue;
            std::memset(entry.get(), 0, sizeof(LogEntry));
            std::unique_ptr<char[]> notes;
            if (ReadEntryAt(from + "/" + name, entry.get(), &notes) != 1) return fail();
            if (IsEmptyEntry(*entry, kCurrentEntryLayoutVersion)) continue;
            // Duplicates and objects not known here are passed over.
            if (AddLogEntry(entry.get(), notes.get()) == -1 || merge.failed) return fail();
        }
    }
    for (const char *index : kLogIndexFolders) {
        std::string from = source + "/" + index;
        for (const std::string &name : BinFilesIn(from)) {
            // A note that cannot be read ends the merge as a failure: passed
            // over, it would be missing from a merge that answered success.
            std::string text;
            if (!ReadKeyNote(from + "/" + name, &text)) return fail();
            if (text.empty()) continue;
            std::string to = live + "/" + index;
            if (!EnsureDirectory(live.c_str()) || !EnsureDirectory(to.c_str())) return fail();
            if (!RememberWholeFile(&merge, to + "/" + name) || !BeginLogUndoChanges(&merge) ||
                AppendKeyNote(to + "/" + name, text.c_str()) == 0)
                return fail();
        }
    }
    std::string misc = source + "/" + kMiscFolder;
    for (const std::string &name : BinFilesIn(misc)) {
        if (SameName(name, "index.bin") || SameName(name, "pid.bin")) continue;
        FileHandle f(SafeOpen((misc + "/" + name).c_str(), "rb"));
        if (!f) return fail();
        NamedNoteHeader header;
        std::string text;
        if (!ReadNamedNoteFrom(f.get(), &header, &text)) return fail();
        if (AddNamedNote(header.name, text.c_str()) == 0 || merge.failed) return fail();
    }
    SetEnclosingLogUndo(nullptr);
    if (!FinishLogUndo(&merge)) {
        ForgetCachedLogState();
        return 0;
    }
    return 1;
}

bool LogFolderOperationMarked() {
    if (g_folderOperation) return false;
    std::string user = UserRoot();
    if (user.empty()) return false;
    return FsKind(user + "/" + kLogScratchMark) >= 0 || FsKind(user + "/" + kLogBackupMark) >= 0;
}

int RecoverLogFolderOperations() {
    if (!LogFolderOperationMarked()) return 1;
    std::string user = UserRoot();
    std::string live = user + "/log", scratch = user + "/" + kLogScratchFolder,
                mark = user + "/" + kLogScratchMark, backupMark = user + "/" + kLogBackupMark;
    FolderOperation operation;
    StoreLock folderLock;
    if (!AcquireStoreLock(FolderOperationLockPath(user), &folderLock)) return 0;  // one is running
    // A restore is rolled back: the saved log goes back in place.
    if (FsKind(mark) >= 0) {
        if (FsKind(scratch) == 1 ? !PutBackSavedLog(live, scratch, mark) : !RemoveMark(mark)) return 0;
    }
    // A backup's place is settled; the log itself is sound either way (a
    // place that cannot be reached now is settled by the next backup there).
    if (FsKind(backupMark) >= 0) {
        std::string target;
        if (ReadWholeFile(backupMark.c_str(), &target) && (target.empty() || SettleBackupPlace(target)))
            RemoveMark(backupMark);
    }
    return 1;
}
