// UpdateLogEntry, DeleteLogEntry and DeleteObjectLogEntries.
#include "logstore/logedit.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "astro/sidereal.h"
#include "core/fileutil.h"
#include "core/safefile.h"
#include "logstore/logentryfile.h"
#include "logstore/loggedobjects.h"
#include "logstore/logindex.h"
#include "logstore/loglock.h"
#include "logstore/logobject.h"
#include "logstore/logobjectindexes.h"
#include "logstore/logpaths.h"
#include "logstore/logundo.h"
#include "objects/categories.h"
#include "photometry/extinction.h"

namespace {

// The object whose entries an operation works on, as the store files it.
struct LoggedObject {
    int objectClass = 0;
    int32_t index = -1;   // catalogue index, without the user bit
    int32_t bits = 0;     // category bits
    int user = 0;
    int folder = -1;
    int32_t key = 0;      // as pid.bin and the indexes hold it
    std::string summary;  // path of its summary file
};

bool Identify(int objectClass, int32_t index, int32_t bits, LoggedObject *out) {
    out->objectClass = objectClass;
    out->index = index;
    out->bits = bits;
    out->user = IsUserObjectClass(objectClass);
    out->folder = GetClassFolderIndex(bits);
    if (out->folder < 0 || index < 0) return false;
    out->key = out->user ? static_cast<int32_t>(static_cast<uint32_t>(index) | kLogUserKeyBit) : index;
    char path[kLogPathSize];
    MakeObjectFilePath(bits, index, out->user, path);
    out->summary = path;
    return !out->summary.empty();
}

int64_t RowStart(int32_t row) { return 4 + static_cast<int64_t>(row) * static_cast<int64_t>(sizeof(LogSummary)); }

std::string EntryPath(int32_t bits, int32_t number) {
    char path[kLogPathSize];
    MakeEntryFilePath(bits, number, path);
    return path;
}

std::string PidPath(int32_t bits) {
    char path[kLogPathSize];
    MakePidFilePath(bits, path);
    return path;
}

void AddUnique(std::vector<std::string> *paths, const std::vector<std::string> &more) {
    for (const std::string &p : more)
        if (!p.empty() && std::find(paths->begin(), paths->end(), p) == paths->end()) paths->push_back(p);
}

// Copies the summary file without row skip into a rewrite of it (not yet
// committed), one row in memory at a time. 1, or 0.
int CopySummaryWithoutRow(const std::string &path, int32_t skip, SafeRewrite *copy) {
    int32_t count = 0;
    FileHandle in(OpenSummaryFile(path.c_str(), "rb", &count));
    if (!in || skip < 0 || skip >= count) return 0;
    if (!BeginSafeRewrite(path.c_str(), copy)) return 0;
    int32_t kept = count - 1;
    if (!SafeWriteAll(copy->file, &kept, 4)) return 0;
    std::unique_ptr<LogSummary> row(new LogSummary);
    for (int32_t i = 0; i < count; ++i) {
        if (SafeRead(row.get(), sizeof(LogSummary), 1, in.get()) != 1) return 0;
        if (i != skip && !SafeWriteAll(copy->file, row.get(), sizeof(LogSummary))) return 0;
    }
    return 1;
}

// Deletes the row of that number of the object, with its entry file, key and
// index entries, under the lock. DeleteLogEntry's answers.
int DeleteRow(const LoggedObject &object, int32_t number) {
    if (LogPassActive()) return kLogDeleteLocked;
    LogStoreLock lock;
    if (!AcquireLogStoreLock(&lock)) return kLogDeleteLocked;
    // What is there, read before anything is written.
    int32_t counter = 0;
    std::vector<int32_t> keys;
    if (!ReadPidFile(object.folder, &counter, &keys)) return kLogDeleteKeyListFailed;
    auto keyAt = std::lower_bound(keys.begin(), keys.end(), object.key);
    bool keyListed = keyAt != keys.end() && *keyAt == object.key;
    std::vector<LogRowKeys> rows;
    if (!ReadAllRowKeys(object.summary.c_str(), &rows)) return kLogDeleteSummaryFailed;
    int32_t at = -1;
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].logNumber == number) at = static_cast<int32_t>(i);
    if (at < 0) return kLogDeleteNotLogged;

    std::vector<LogRowKeys> remaining = rows;
    remaining.erase(remaining.begin() + at);
    bool last = remaining.empty();
    std::vector<std::string> paths;
    AddUnique(&paths, IndexPathsOfRow(rows[static_cast<size_t>(at)]));
    AddUnique(&paths, {ClassIndexPath(object.folder)});
    std::map<std::string, int32_t> wanted = WantedIndexNumbers(object.key, object.folder, remaining, paths);

    // The summary file without the row, complete beside the old one.
    SafeRewrite copy;
    if (!last && !CopySummaryWithoutRow(object.summary, at, &copy)) return kLogDeleteSummaryFailed;

    LogUndo undo;
    auto fail = [&](int code) {
        AbandonSafeRewrite(&copy);
        RollBackLogUndo(&undo);
        ForgetLogFolderState();
        return code;
    };
    // Every file the deletion changes is remembered in the mark before the first change.
    for (const auto &item : wanted)
        if (!RememberWholeFile(&undo, item.first)) return fail(kLogDeleteIndexFailed);
    if (last && keyListed && !RememberWholeFile(&undo, PidPath(object.bits))) return fail(kLogDeleteKeyListFailed);
    if (!RememberWholeFile(&undo, EntryPath(object.bits, number))) return fail(kLogDeleteEntryFileFailed);
    if (!BeginLogUndoChanges(&undo)) return fail(kLogDeleteIndexFailed);
    if (ApplyIndexNumbers(object.key, object.folder, wanted, &undo) < 0) return fail(kLogDeleteIndexFailed);
    if (last && keyListed) {
        keys.erase(keyAt);
        if (!WriteLogPidFile(object.folder, counter, keys)) return fail(kLogDeleteKeyListFailed);
    }
    if (!RemoveFileWithUndo(&undo, EntryPath(object.bits, number))) return fail(kLogDeleteEntryFileFailed);
    // Last, the summary file: the old one set aside (the roll-back moves it
    // back), then the copy without the row in its place.
    if (!SetFileAsideWithUndo(&undo, object.summary) || (!last && !CommitSafeRewrite(&copy)))
        return fail(kLogDeleteSummaryFailed);
    ForgetLogFolderState();
    // A sync that fails leaves the mark: the next open puts the old state back.
    return FinishLogUndo(&undo) ? kLogDeleteDone : kLogDeleteSummaryFailed;
}

}  // namespace

int UpdateLogEntry(int32_t categoryBits, int32_t row, int32_t logNumber, LogEntry *entry,
                   const char *notes) {
    if (!entry || row < 0 || logNumber < 0) return kLogEditFailed;
    TerminateLogEntryTexts(entry);
    LoggedObject object;
    if (GetClassFolderIndex(categoryBits) != GetClassFolderIndex(static_cast<int32_t>(entry->categoryBits)) ||
        !Identify(entry->objectClass, entry->catalogueIndex, static_cast<int32_t>(entry->categoryBits), &object))
        return kLogEditFailed;
    // The names open the observer, instrument and site indexes.
    if (!entry->observer.name[0] || !entry->instrument.name[0] || !entry->site.name[0]) return kLogEditFailed;
    if (LogPassActive()) return kLogEditFailed;
    LogStoreLock lock;
    if (!AcquireLogStoreLock(&lock)) return kLogEditFailed;

    // Checked before anything is written: the entry file is there and the
    // row carries the number.
    std::string entryPath = EntryPath(categoryBits, logNumber);
    if (entryPath.empty() || !FileExists(entryPath.c_str())) return kLogEditFailed;
    std::unique_ptr<LogSummary> old(new LogSummary);
    {
        int32_t count = 0;
        FileHandle f(OpenSummaryFile(object.summary.c_str(), "rb", &count));
        if (!f || row >= count || !SafeSeek(f.get(), RowStart(row)) ||
            SafeRead(old.get(), sizeof(LogSummary), 1, f.get()) != 1 || old->logNumber != logNumber)
            return kLogEditFailed;
    }
    std::vector<LogRowKeys> rows;
    if (!ReadAllRowKeys(object.summary.c_str(), &rows) || static_cast<size_t>(row) >= rows.size())
        return kLogEditFailed;

    // The new row: the date at the (possibly new) site, and the object's
    // constellation then (a moving body may have crossed into another).
    std::unique_ptr<LogSummary> fresh(new LogSummary);
    std::memcpy(fresh.get(), old.get(), sizeof(LogSummary));
    DateRecord date;
    std::unique_ptr<ObjectRecord> refreshed(new ObjectRecord);
    RefreshEntryObject(entry, &date, refreshed.get());
    int32_t refreshedIndex;
    std::memcpy(&refreshedIndex, &refreshed->index, 4);
    std::memcpy(fresh->objectBytes, &entry->objectClass, sizeof fresh->objectBytes);
    std::memcpy(&fresh->date, &date, sizeof(DateRecord));
    std::memcpy(&fresh->site, &entry->site, sizeof(LocationRecord));
    std::memcpy(&fresh->observer, &entry->observer, sizeof(ObserverRecord));
    std::memcpy(&fresh->instrument, &entry->instrument, sizeof(InstrumentRecord));
    if (refreshedIndex != -1) fresh->constellation = refreshed->constellation;

    LogRowKeys before = RowKeysOfSummary(old.get()), after = RowKeysOfSummary(fresh.get());
    rows[static_cast<size_t>(row)] = after;
    std::vector<std::string> paths;
    AddUnique(&paths, IndexPathsOfRow(before));
    AddUnique(&paths, IndexPathsOfRow(after));
    std::map<std::string, int32_t> wanted = WantedIndexNumbers(object.key, object.folder, rows, paths);

    LogUndo undo;
    auto fail = [&] {
        RollBackLogUndo(&undo);
        return kLogEditFailed;
    };
    // Every file the edit changes is remembered in the mark before the first change.
    if (!RememberWholeFile(&undo, entryPath) ||
        !RememberFileSpan(&undo, object.summary, RowStart(row), sizeof(LogSummary)))
        return fail();
    for (const auto &item : wanted)
        if (!RememberWholeFile(&undo, item.first)) return fail();
    if (!BeginLogUndoChanges(&undo)) return fail();
    // The entry file, written beside and moved into place.
    {
        SafeRewrite file;
        if (!BeginSafeRewrite(entryPath.c_str(), &file)) return fail();
        if (WriteLogEntryFile(file.file, entry, notes) != 1) file.failed = true;
        if (!CommitSafeRewrite(&file)) return fail();
    }
    // The summary row, in its place.
    {
        FILE *f = SafeOpen(object.summary.c_str(), "r+b");
        bool ok = f && SafeSeek(f, RowStart(row)) && SafeWriteAll(f, fresh.get(), sizeof(LogSummary)) &&
                  SafeFlush(f);
        if (f && !SafeClose(f)) ok = false;
        if (!ok) return fail();
    }
    int changed = ApplyIndexNumbers(object.key, object.folder, wanted, &undo);
    if (changed < 0) return fail();
    // A sync that fails leaves the mark: the next open puts the old entry back.
    if (!FinishLogUndo(&undo)) return kLogEditFailed;
    return changed > 0 ? kLogEditRefiled : kLogEditRewritten;
}

int DeleteLogEntry(const LogEntry *entry, int32_t logNumber) {
    if (!entry || logNumber < 0) return kLogDeleteNotLogged;
    LoggedObject object;
    if (!Identify(entry->objectClass, entry->catalogueIndex, static_cast<int32_t>(entry->categoryBits), &object))
        return kLogDeleteNotLogged;
    return DeleteRow(object, logNumber);
}

int DeleteObjectLogEntries(const ObjectRecord *record) {
    if (!record) return 0;
    int32_t index;
    uint32_t bits;
    std::memcpy(&index, &record->index, 4);
    std::memcpy(&bits, &record->categoryBits, 4);
    LoggedObject object;
    if (!Identify(record->objectClass, index, static_cast<int32_t>(bits), &object)) return 0;
    std::vector<LogRowKeys> rows;
    if (!ReadAllRowKeys(object.summary.c_str(), &rows)) return kLogDeleteSummaryFailed;
    // One row per round: the first row's number, whatever its entry file holds.
    for (size_t round = 0, rounds = rows.size(); round < rounds && !rows.empty(); ++round) {
        int r = DeleteRow(object, rows[0].logNumber);
        if (r != kLogDeleteDone) return r;
        if (!ReadAllRowKeys(object.summary.c_str(), &rows)) return kLogDeleteSummaryFailed;
    }
    return rows.empty() ? 1 : kLogDeleteSummaryFailed;
}
