// Remembering and restoring the files a log operation changes, and the mark
// (rollback journal) that lets the next open restore them after a kill.
//
// The mark's layout: the 8 bytes "GLUNDO1\n", then one record per change:
//   uint8  kind (1 whole file that existed, 2 whole file that was absent,
//          3 span, 4 file set aside (the bytes: its new name), 5 length (in the offset))
//   uint32 path length, then the path's bytes
//   int64  offset (spans), uint64 byte count, then the bytes
//   uint32 FNV-1a checksum of the mark's bytes from its start to here
// An empty mark (or one of its header alone) guards nothing.
#include "logstore/logundo.h"

#include <cstring>

#include "core/fileutil.h"
#include "core/fsys.h"
#include "core/safefile.h"
#include "logstore/loglock.h"
#include "logstore/logpaths.h"

namespace {

const char kJournalMagic[8] = {'G', 'L', 'U', 'N', 'D', 'O', '1', '\n'};
const uint8_t kRecordWhole = 1, kRecordAbsent = 2, kRecordSpan = 3, kRecordAside = 4, kRecordLength = 5;
const uint32_t kFnvOffset = 2166136261u, kFnvPrime = 16777619u;

int g_activeJournals = 0;
LogUndo *g_enclosing = nullptr;

// The operation whose memory a LogUndo writes to: its enclosing one, if any.
LogUndo *Owner(LogUndo *undo) { return undo && undo->outer ? undo->outer : undo; }

uint32_t Fnv(uint32_t h, const void *bytes, size_t size) {
    const unsigned char *p = static_cast<const unsigned char *>(bytes);
    for (size_t i = 0; i < size; ++i) h = (h ^ p[i]) * kFnvPrime;
    return h;
}

bool Remembered(const LogUndo *undo, const std::string &path) {
    for (const LogUndo::Change &c : undo->changes)
        if (c.whole && c.path == path) return true;
    return false;
}

// The running checksum of the mark as written so far.
uint32_t g_journalHash = kFnvOffset;

bool Put(std::FILE *f, const void *bytes, size_t size) {
    if (!SafeWriteAll(f, bytes, size)) return false;
    g_journalHash = Fnv(g_journalHash, bytes, size);
    return true;
}

// Opens the mark afresh (emptied) with its header. Only a holder of the
// writer's lock keeps a mark (the one mark of the log is the lock holder's);
// an operation outside the lock remembers in memory alone.
bool OpenJournal(LogUndo *undo) {
    if (!LogStoreLockHeld() || LogPassActive()) {
        undo->memoryOnly = true;
        return true;
    }
    std::string path = LogJournalPath();
    if (path.empty()) return false;
    undo->journal = SafeOpen(path.c_str(), "wb");
    if (!undo->journal) return false;
    ++g_activeJournals;
    undo->marked = true;
    g_journalHash = kFnvOffset;
    return Put(undo->journal, kJournalMagic, sizeof kJournalMagic);
}

// The change's record appended to the mark and handed to the system (a kill
// loses nothing from then on); synced at once when changes were made already.
bool WriteRecord(LogUndo *undo, const LogUndo::Change &c) {
    if (undo->failed) return false;
    if (!undo->journal && !undo->memoryOnly && !OpenJournal(undo)) {
        undo->failed = true;
        return false;
    }
    if (undo->memoryOnly) return true;
    std::FILE *f = undo->journal;
    uint8_t kind = c.aside ? kRecordAside
                   : c.length ? kRecordLength
                   : !c.whole ? kRecordSpan
                   : c.existed ? kRecordWhole
                               : kRecordAbsent;
    uint32_t length = static_cast<uint32_t>(c.path.size());
    int64_t offset = c.offset;
    uint64_t size = c.bytes.size();
    bool ok = Put(f, &kind, 1) && Put(f, &length, 4) && Put(f, c.path.data(), c.path.size()) &&
              Put(f, &offset, 8) && Put(f, &size, 8) && Put(f, c.bytes.data(), c.bytes.size());
    uint32_t sum = g_journalHash;
    ok = ok && SafeWriteAll(f, &sum, 4) && std::fflush(f) == 0;
    g_journalHash = Fnv(g_journalHash, &sum, 4);
    if (ok && undo->changing) ok = SafeSync(f) == 1;
    if (!ok) undo->failed = true;
    return ok;
}

// The mark removed, and its folder synced (the operation no longer needs
// it). 1, or 0.
int RemoveJournal() {
    std::string path = LogJournalPath();
    if (path.empty()) return 0;
    if (FileExists(path.c_str()) && !SafeRemove(path.c_str())) return 0;
    char folder[kLogPathSize];
    if (!MakeLogPath(folder, nullptr)) return 0;
    return SyncPathsNow({folder});
}

void CloseJournal(LogUndo *undo) {
    if (!undo->journal) return;
    std::fclose(undo->journal);
    undo->journal = nullptr;
    --g_activeJournals;
}

int EmptyJournal(LogUndo *undo) {
    if (!undo->journal && !undo->marked) return 1;
    CloseJournal(undo);
    if (!RemoveJournal()) return 0;
    undo->marked = false;
    return 1;
}

// The paths an operation changed, for the sync of its end.
std::vector<std::string> ChangedPaths(const LogUndo *undo) {
    std::vector<std::string> paths;
    for (const LogUndo::Change &c : undo->changes)
        if (FileExists(c.path.c_str())) paths.push_back(c.path);
    return paths;
}

// The files the operation set aside, no longer needed once it is complete.
void RemoveSetAside(const std::vector<LogUndo::Change> &changes) {
    for (const LogUndo::Change &c : changes)
        // No step of the store's (as a rewrite's leftover temporary): the
        // operation is complete, and a copy left behind changes nothing.
        if (c.aside && FileExists(c.bytes.c_str())) FsRemoveFile(c.bytes);
}

// Ends the deferral this operation began: every file it changed to the disk
// in one sync. 1, or 0.
int SyncChanges(LogUndo *undo) {
    if (!undo->ownSyncs) return 1;
    undo->ownSyncs = false;
    for (const std::string &p : ChangedPaths(undo)) NoteDeferredSync(p);
    char folder[kLogPathSize];
    if (MakeLogPath(folder, nullptr)) NoteDeferredSync(folder);
    return EndDeferredSyncs();
}

}  // namespace

std::string LogJournalPath() {
    char path[kLogPathSize];
    if (!MakeLogPath(path, "undo.mark")) return std::string();
    return path;
}

bool LogJournalActive() { return g_activeJournals > 0; }

LogUndo::LogUndo() {
    if (g_enclosing) {
        outer = g_enclosing;
        first = g_enclosing->changes.size();
    }
}

LogUndo::~LogUndo() {
    if (journal || ownSyncs || marked) FinishLogUndo(this);
}

void SetEnclosingLogUndo(LogUndo *enclosing) { g_enclosing = enclosing; }

int RememberWholeFile(LogUndo *undo, const std::string &path) {
    undo = Owner(undo);
    if (!undo || path.empty()) return 0;
    if (Remembered(undo, path)) return 1;
    LogUndo::Change c;
    c.path = path;
    c.whole = true;
    if (FsKind(path) == 1) return 0;  // a folder in the file's place cannot be remembered (or written)
    c.existed = FileExists(path.c_str()) != 0;
    if (c.existed && !ReadWholeFile(path.c_str(), &c.bytes)) return 0;
    if (!WriteRecord(undo, c)) return 0;
    undo->changes.push_back(std::move(c));
    return 1;
}

int RememberFileSpan(LogUndo *undo, const std::string &path, int64_t offset, size_t size) {
    undo = Owner(undo);
    if (!undo || path.empty() || offset < 0) return 0;
    LogUndo::Change c;
    c.path = path;
    c.whole = false;
    c.existed = true;
    c.offset = offset;
    c.bytes.assign(size, '\0');
    {
        FileHandle f(SafeOpen(path.c_str(), "rb"));
        if (!f || !SafeSeek(f.get(), offset) || (size > 0 && SafeRead(&c.bytes[0], 1, size, f.get()) != size))
            return 0;
    }
    if (!WriteRecord(undo, c)) return 0;
    undo->changes.push_back(std::move(c));
    return 1;
}

int RememberFileLength(LogUndo *undo, const std::string &path) {
    undo = Owner(undo);
    if (!undo || path.empty()) return 0;
    FileHandle f(SafeOpen(path.c_str(), "rb"));
    int64_t size = f ? StreamSize(f.get()) : -1;
    if (size < 0) return 0;
    LogUndo::Change c;
    c.path = path;
    c.whole = false;
    c.length = true;
    c.existed = true;
    c.offset = size;
    if (!WriteRecord(undo, c)) return 0;
    undo->changes.push_back(std::move(c));
    return 1;
}

int SetFileAsideWithUndo(LogUndo *undo, const std::string &path) {
    undo = Owner(undo);
    if (!undo || path.empty() || !FileExists(path.c_str())) return 0;
    LogUndo::Change c;
    c.path = path;
    c.whole = false;
    c.aside = true;
    c.existed = true;
    c.bytes = path + ".undo";
    if (!WriteRecord(undo, c) || !BeginLogUndoChanges(undo)) return 0;
    undo->changes.push_back(c);
    return SafeReplace(path.c_str(), c.bytes.c_str());
}

int BeginLogUndoChanges(LogUndo *undo) {
    undo = Owner(undo);
    if (!undo || undo->failed) return 0;
    if (undo->changing) return 1;
    if (undo->journal && !SafeSync(undo->journal)) {
        undo->failed = true;
        return 0;
    }
    undo->changing = true;
    if (!undo->memoryOnly && !SyncsDeferred()) {
        BeginDeferredSyncs();
        undo->ownSyncs = true;
    }
    return 1;
}

int FinishLogUndo(LogUndo *undo) {
    if (!undo) return 0;
    if (undo->outer) return undo->outer->failed ? 0 : 1;  // the enclosing operation finishes
    if (!SyncChanges(undo) || !EmptyJournal(undo)) {
        // Not known to be on the disk: the old state goes back, as after a failed step.
        RollBackLogUndo(undo);
        return 0;
    }
    RemoveSetAside(undo->changes);
    undo->changes.clear();
    undo->changing = false;
    return 1;
}

namespace {

// Restores the changes, the last first. 1 when all were restored.
int RestoreChanges(const std::vector<LogUndo::Change> &changes) {
    int ok = 1;
    for (auto at = changes.rbegin(); at != changes.rend(); ++at) {
        const LogUndo::Change &c = *at;
        if (c.aside) {
            if (FileExists(c.bytes.c_str()) && !SafeReplace(c.bytes.c_str(), c.path.c_str())) ok = 0;
            continue;
        }
        if (c.length) {
            int64_t size = FsFileSize(c.path);
            if (size > c.offset && !SafeTruncate(c.path.c_str(), c.offset)) ok = 0;
            continue;
        }
        if (c.whole) {
            if (c.existed) {
                if (!WriteWholeFileSafely(c.path.c_str(), c.bytes.data(), c.bytes.size())) ok = 0;
            } else if (FileExists(c.path.c_str()) && !SafeRemove(c.path.c_str())) {
                ok = 0;
            }
            continue;
        }
        FILE *f = SafeOpen(c.path.c_str(), "r+b");
        bool done = f && SafeSeek(f, c.offset) && SafeWriteAll(f, c.bytes.data(), c.bytes.size()) &&
                    SafeFlush(f);
        if (f && !SafeClose(f)) done = false;
        if (!done) ok = 0;
    }
    return ok;
}

}  // namespace

int RollBackLogUndo(LogUndo *undo) {
    if (!undo) return 0;
    if (undo->outer) {
        // Nothing changed yet: nothing to put back. Else the enclosing
        // operation goes back whole and fails.
        LogUndo *outer = undo->outer;
        if (outer->changes.size() <= undo->first && !outer->failed) return 1;
        int ok = RollBackLogUndo(outer);
        outer->failed = true;
        return ok;
    }
    int ok = RestoreChanges(undo->changes);
    if (!SyncChanges(undo)) ok = 0;
    if (ok) ok = EmptyJournal(undo);
    CloseJournal(undo);  // when not emptied, kept for the next open to finish
    undo->changes.clear();
    undo->changing = false;
    return ok;
}

int RemoveFileWithUndo(LogUndo *undo, const std::string &path) {
    if (!RememberWholeFile(undo, path) || !BeginLogUndoChanges(undo)) return 0;
    if (!FileExists(path.c_str())) return 1;
    return SafeRemove(path.c_str());
}

int WriteFileWithUndo(LogUndo *undo, const std::string &path, const void *bytes, size_t size) {
    if (!RememberWholeFile(undo, path) || !BeginLogUndoChanges(undo)) return 0;
    return WriteWholeFileSafely(path.c_str(), bytes, size);
}

int RecoverLogJournal() {
    if (LogJournalActive()) return 1;  // this process's own operation is running
    std::string path = LogJournalPath();
    if (path.empty() || !FileExists(path.c_str())) return 1;
    std::string bytes;
    if (!ReadWholeFile(path.c_str(), &bytes)) return 0;
    if (bytes.size() <= sizeof kJournalMagic) return RemoveJournal() ? 2 : 0;  // nothing was changed
    if (std::memcmp(bytes.data(), kJournalMagic, sizeof kJournalMagic) != 0) return 0;
    // The whole records, in order; the first cut short or damaged ends them
    // (its change was never made: a change waits for its record).
    std::vector<LogUndo::Change> changes;
    uint32_t hash = Fnv(kFnvOffset, kJournalMagic, sizeof kJournalMagic);
    size_t at = sizeof kJournalMagic;
    auto take = [&](void *out, size_t size) {
        if (bytes.size() - at < size) return false;
        std::memcpy(out, bytes.data() + at, size);
        at += size;
        return true;
    };
    for (;;) {
        size_t start = at;
        uint8_t kind = 0;
        uint32_t length = 0, sum = 0;
        int64_t offset = 0;
        uint64_t size = 0;
        if (!take(&kind, 1) || !take(&length, 4) || length > bytes.size() - at) break;
        LogUndo::Change c;
        c.path.assign(bytes.data() + at, length);
        at += length;
        if (!take(&offset, 8) || !take(&size, 8) || size > bytes.size() - at) break;
        c.bytes.assign(bytes.data() + at, static_cast<size_t>(size));
        at += static_cast<size_t>(size);
        uint32_t expected = Fnv(hash, bytes.data() + start, at - start);
        if (!take(&sum, 4) || sum != expected) break;
        hash = Fnv(expected, &sum, 4);
        if (kind < kRecordWhole || kind > kRecordLength) break;
        c.whole = kind == kRecordWhole || kind == kRecordAbsent;
        c.existed = kind != kRecordAbsent;
        c.aside = kind == kRecordAside;
        c.length = kind == kRecordLength;
        c.offset = offset;
        changes.push_back(std::move(c));
    }
    bool own = !SyncsDeferred();
    if (own) BeginDeferredSyncs();
    int ok = RestoreChanges(changes);
    if (own) {
        for (const LogUndo::Change &c : changes)
            if (FileExists(c.path.c_str())) NoteDeferredSync(c.path);
        if (!EndDeferredSyncs()) ok = 0;
    }
    if (!ok) return 0;
    RemoveSetAside(changes);
    return RemoveJournal() ? 2 : 0;
}
