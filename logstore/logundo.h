// An operation's memory of the files it changed, so that a store operation
// that changes several files of the log (an add, an edit, a deletion, a
// named-note rename) can put every one back when a later step fails, in this
// process or, after a kill or a power cut, at the next open of the log.
//
// Each file is remembered before its first change: whole (its bytes, or that
// it was absent) or one span of it (the bytes a write in place covers). The
// memory is also written, record by record, to the log's mark file
// ("<log>/undo.mark", a rollback journal): each record carries a checksum, so
// a record cut short by a kill is known and dropped (its change had not been
// made). The mark reaches the disk once, before the first change; the
// changes themselves are synced together when the operation finishes, and
// then the mark is removed. A mark that is there when the log is next
// opened (RecoverLogJournal, under the writer's lock) is rolled back: the
// store reads back as it was before the interrupted operation.
//
// Syncs per operation: the mark, the changed files (one sync of their file
// system), the mark's removal (its folder).
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct LogUndo {
    struct Change {
        std::string path;
        bool whole = true;     // the whole file, else a span (or a length, or a file set aside)
        bool length = false;   // the file's length (in offset): bytes appended are cut off
        bool aside = false;    // the file was moved to the name in bytes
        bool existed = false;  // whole files: there before the change
        int64_t offset = 0;    // spans: where the bytes lie
        std::string bytes;
    };
    std::vector<Change> changes;
    // The mark on the disk, open while the operation runs.
    std::FILE *journal = nullptr;
    bool failed = false;    // a record could not be written: no change may be made
    bool changing = false;  // the first change was made: new records are synced at once
    bool ownSyncs = false;  // this operation deferred the syncs of its changes
    bool memoryOnly = false;  // outside the writer's lock: no mark on the disk
    bool marked = false;      // the mark on the disk holds this operation's records
    // Within an enclosing operation (SetEnclosingLogUndo): every change is
    // the enclosing one's, from its change number first on.
    LogUndo *outer = nullptr;
    size_t first = 0;
    LogUndo();
    LogUndo(const LogUndo &) = delete;
    LogUndo &operator=(const LogUndo &) = delete;
    // An operation that neither finished nor rolled back is finished: its
    // failure paths all roll back, so what is left made every change it meant.
    ~LogUndo();
};

// Remembers the whole file (or its absence) unless it is remembered already.
// 1, or 0 when an existing file cannot be read or the mark cannot be written
// (the change must then not be made).
int RememberWholeFile(LogUndo *undo, const std::string &path);
// Remembers size bytes at offset of an existing file. 1, or 0.
int RememberFileSpan(LogUndo *undo, const std::string &path, int64_t offset, size_t size);
// Remembers the length of an existing file that the operation appends to:
// a roll-back cuts it back. 1, or 0.
int RememberFileLength(LogUndo *undo, const std::string &path);
// Moves an existing file aside (to its name with ".undo" added) as a change;
// the operation may then write a new file in its place. A roll-back moves it
// back; the finish removes it. 1, or 0.
int SetFileAsideWithUndo(LogUndo *undo, const std::string &path);
// Called before the first change: the mark to the disk, and the changes'
// syncs deferred to FinishLogUndo. 1, or 0 (no change may be made).
int BeginLogUndoChanges(LogUndo *undo);
// The operation is complete: its changes to the disk, then the mark removed.
// 1, or 0 when that failed: the old state is then put back (and what cannot
// be put back now, the next open puts back from the mark).
int FinishLogUndo(LogUndo *undo);
// Restores every remembered file, the last change first, then removes the
// mark. 1 when all were restored (else the mark stays for the next open).
int RollBackLogUndo(LogUndo *undo);

// A whole file removed as a change: remembered, then removed through the
// crash-safe layer (an absent file is no failure). 1, or 0.
int RemoveFileWithUndo(LogUndo *undo, const std::string &path);
// A whole file rewritten as a change: remembered, then written. 1, or 0.
int WriteFileWithUndo(LogUndo *undo, const std::string &path, const void *bytes, size_t size);

// An operation made of many others (a merge): while enclosing is set, every
// LogUndo made joins it: its changes are remembered in the enclosing mark,
// its finish leaves them to the enclosing operation's finish, and its
// roll-back of changes it made rolls back the whole enclosing operation
// (which then fails: it is one operation, whole or not at all). Null ends it.
void SetEnclosingLogUndo(LogUndo *enclosing);

// The mark of the log of the current user folder.
std::string LogJournalPath();
// True while an operation of this process has its mark open.
bool LogJournalActive();
// Rolls back the operation a mark describes (one interrupted by a kill or
// a power cut), then removes the mark. Called with the writer's lock
// held. 1 when there was nothing to do, 2 when an operation was rolled
// back; 0 when it could not be completed (the mark stays).
int RecoverLogJournal();
