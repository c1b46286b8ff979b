// AddLogEntry and its duplicate test.
//
// The order of the steps keeps the store sound when a step fails: the entry
// file is written completely under a temporary name before anything else; the
// class folder's counter is raised (so a number is never issued twice); the
// entry file takes its number; the summary row is appended and counted only
// after it is written; then the key list and the indexes. A failure before the
// summary row leaves nothing that refers to the entry. A failure after it
// leaves a complete entry that the next add of the same observation finds as
// a duplicate, and that add puts back the missing key and index entries.
// Every step goes through the crash-safe layer (core/safefile.h), and the
// whole add runs under the store's writer lock (logstore/loglock.h), or under
// the lock of the pass it belongs to.
#include "logstore/logadd.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "astro/sidereal.h"
#include "core/textutil.h"
#include "core/fileutil.h"
#include "core/fsys.h"
#include "logstore/logentryfile.h"
#include "logstore/loggedobjects.h"
#include "logstore/logindex.h"
#include "logstore/loglock.h"
#include "logstore/logobject.h"
#include "logstore/logpaths.h"
#include "logstore/logundo.h"
#include "minorbodies/usercatalogs.h"
#include "objects/categories.h"
#include "photometry/extinction.h"
#include "core/safefile.h"
#include "instruments/storeio.h"

namespace {

const double kSameTimeDays = 0.0006944;  // just under one minute
// Room in the entry file's buffer beyond the entry and its notes (a user
// object's data; a larger one is written in more calls).
const size_t kEntryFileSlack = 4096;

typedef std::unique_ptr<FILE, FileCloser> FileHolder;

size_t NotesLength(const char *notes) { return notes ? std::strlen(notes) : 0; }

bool ReadAt(FILE *f, int64_t offset, void *out, size_t size) {
    return SafeSeek(f, offset) && SafeRead(out, 1, size, f) == size;
}

// Row i of a summary file: past 2 GB after 6,496 rows, so 64-bit.
int64_t RowOffset(int32_t row) { return 4 + static_cast<int64_t>(row) * static_cast<int64_t>(sizeof(LogSummary)); }

// Issues the folder's next number: pid.bin's counter is raised first, so a
// number is never issued twice. Within a pass the counter on the disk is
// raised kLogNumberBlock numbers ahead at a time and set to the true one when
// the pass ends. The number issued, or -1.
int32_t RaiseEntryCounter(LogFolderState *state, int folder) {
    int32_t counter = state->counters[folder];
    if (counter < 0 || counter > INT32_MAX - kLogNumberBlock) return -1;
    if (LogPassActive()) {
        if (counter + 1 > state->reserved[folder]) {
            int32_t block = counter + kLogNumberBlock;
            if (!WriteLogPidFile(folder, block, state->keys[folder])) return -1;
            state->reserved[folder] = block;
        }
        state->changed[folder] = true;
    } else if (!WriteLogPidFile(folder, counter + 1, state->keys[folder])) {
        return -1;
    }
    state->counters[folder] = counter + 1;
    return counter;
}

// Puts the key into the folder's sorted key list when it is not there
// (within a pass in memory, written when the pass ends). 1, or 0.
int EnsureLoggedKey(LogFolderState *state, int folder, int32_t key) {
    std::vector<int32_t> &held = state->keys[folder];
    auto at = std::lower_bound(held.begin(), held.end(), key);
    if (at != held.end() && *at == key) return 1;
    if (LogPassActive()) {
        held.insert(at, key);
        state->changed[folder] = true;
        return 1;
    }
    std::vector<int32_t> keys = held;
    keys.insert(keys.begin() + (at - held.begin()), key);
    if (!WriteLogPidFile(folder, state->counters[folder], keys)) return 0;
    held.swap(keys);
    return 1;
}

// Adds the object to the six indexes (five when its constellation is not
// known). With onlyWhenAbsent an object already in an index keeps its number
// (the repair after an interrupted add writes nothing when the index is whole).
// The index files the entry of the object belongs in (an object whose
// constellation is not known is left out of the constellation indexes).
std::vector<std::string> IndexPathsOfEntry(const LogEntry *entry, const ObjectRecord *object) {
    int year = 0, month = 0, day = 0;
    GetNightOfObservation(&entry->site, entry->julianDate, &year, &month, &day);
    std::vector<std::string> paths = {
        ClassIndexPath(ObjectClassFolder(object)), NightIndexPath(year, month, day),
        ObserverIndexPath(entry->observer.name), InstrumentIndexPath(entry->instrument.name),
        LocationIndexPath(entry->site.name)};
    if (object->constellation <= 88) paths.push_back(ConstellationIndexPath(object->constellation));
    return paths;
}

int UpdateAllIndexes(const LogEntry *entry, const ObjectRecord *object, int32_t number,
                     bool onlyWhenAbsent) {
    for (const std::string &path : IndexPathsOfEntry(entry, object))
        if (path.empty() || !InsertIndexEntry(path, object, number, onlyWhenAbsent)) return 0;
    return 1;
}

// Outside a pass, every file an add changes is remembered in the log's mark
// before the first change (logstore/logundo.h): the class folder's key list,
// the entry file (absent), the summary file (its length and count, or its
// absence) and the index files. 1, or 0.
int RememberAddedFiles(LogUndo *undo, const LogEntry *entry, const ObjectRecord *object,
                       const char *entryPath, int user) {
    int32_t bits = static_cast<int32_t>(entry->categoryBits);
    char path[kLogPathSize];
    MakePidFilePath(bits, path);
    if (!path[0] || !RememberWholeFile(undo, path) || !RememberWholeFile(undo, entryPath)) return 0;
    MakeObjectFilePath(bits, entry->catalogueIndex, user, path);
    if (!path[0]) return 0;
    if (FileExists(path)) {
        if (!RememberFileLength(undo, path) || !RememberFileSpan(undo, path, 0, 4)) return 0;
    } else if (!RememberWholeFile(undo, path)) {
        return 0;
    }
    for (const std::string &index : IndexPathsOfEntry(entry, object))
        if (index.empty() || !RememberWholeFile(undo, index)) return 0;
    return BeginLogUndoChanges(undo);
}

}  // namespace

namespace {

// The duplicate test; the identical entry as stored is left in *stored. -1
// none; -2 when the summary file exists but cannot be opened or read (the
// add must not go on as if it held no such entry).
// Within a pass, the observation times of each summary file's rows as the
// pass has read and appended them (the pass is the only writer), so that each
// row's time is read from the disk once per pass, not once per add.
struct PassRowTimes {
    uint32_t pass = 0;  // the generation of the pass they belong to
    std::map<std::string, std::vector<double>> files;
};
PassRowTimes g_rowTimes;

// Within a pass, the large records every add needs are made once and reused:
// the summary row (each of its fields is copied whole from the entry for
// every row, so it is never zeroed again), the stored entry the duplicate
// test reads into, and the buffer the entry file is written through, so that
// the entry and its notes leave in one write from memory that is already at
// hand. Outside a pass each add makes its own.
struct PassBuffers {
    uint32_t pass = 0;
    std::unique_ptr<LogSummary> row;
    std::unique_ptr<LogEntry> stored;
    std::vector<char> file;
};
PassBuffers g_passBuffers;

// Every byte of a summary row is one of these fields.
static_assert(sizeof(LogSummary) == sizeof(int32_t) + sizeof(LogSummary::objectBytes) + sizeof(DateRecord) +
                                        sizeof(LocationRecord) + sizeof(ObserverRecord) +
                                        sizeof(InstrumentRecord) + 1,
              "a summary row is wholly written by its fields");

// The pass's buffers, made on the pass's first add; null outside a pass or
// when memory runs out.
PassBuffers *BuffersOfPass() {
    if (!LogPassActive()) return nullptr;
    const LogFolderState *state = HeldLogFolderState();
    if (!state) return nullptr;
    if (g_passBuffers.pass != state->generation || !g_passBuffers.row || !g_passBuffers.stored) {
        g_passBuffers.pass = state->generation;
        g_passBuffers.row.reset(new (std::nothrow) LogSummary);
        g_passBuffers.stored.reset(new (std::nothrow) LogEntry);
        if (!g_passBuffers.row || !g_passBuffers.stored) return nullptr;
    }
    return &g_passBuffers;
}

std::vector<double> *RowTimesOfPass(const std::string &path) {
    if (!LogPassActive()) return nullptr;
    const LogFolderState *state = HeldLogFolderState();
    if (!state) return nullptr;
    if (g_rowTimes.pass != state->generation) {
        g_rowTimes.files.clear();
        g_rowTimes.pass = state->generation;
    }
    auto at = g_rowTimes.files.find(path);
    return at == g_rowTimes.files.end() ? nullptr : &at->second;
}

int32_t FindDuplicate(LogEntry *entry, const ObjectRecord *object, const char *notes,
                      LogEntry *stored) {
    entry->notesLength = static_cast<int32_t>(NotesLength(notes));
    int user = IsUserObjectClass(object->objectClass);
    int32_t count = 0;
    char path[kLogPathSize];
    MakeObjectFilePath(static_cast<int32_t>(entry->categoryBits), entry->catalogueIndex, user, path);
    if (!path[0] || !FileExists(path)) return -1;  // no rows: nothing to compare, nothing created
    FileHolder f(OpenSummaryFile(path, "rb", &count));
    if (!f) return -2;
    // Rows are 330,599 bytes apart and only a few fields of each are read:
    // unbuffered reads fetch those bytes and not a buffer's worth per row.
    std::setvbuf(f.get(), nullptr, _IONBF, 0);
    std::vector<double> *times = RowTimesOfPass(path);
    if (times && times->size() != static_cast<size_t>(count)) times = nullptr;  // not what the pass wrote
    if (!times && LogPassActive() && HeldLogFolderState()) {
        std::vector<double> read(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i)
            if (!ReadAt(f.get(), RowOffset(i) + kSummaryJulianDateOffset, &read[static_cast<size_t>(i)], 8))
                return -2;
        times = &(g_rowTimes.files[path] = std::move(read));
    }
    for (int32_t i = 0; i < count; ++i) {
        int64_t row = RowOffset(i);
        double jd = 0;
        if (times)
            jd = (*times)[static_cast<size_t>(i)];
        else if (!ReadAt(f.get(), row + kSummaryJulianDateOffset, &jd, 8))
            return -2;
        if (!(std::fabs(jd - entry->julianDate) < kSameTimeDays)) continue;
        char site[34] = {0}, observer[65] = {0}, instrument[33] = {0};
        int32_t number = -1;
        if (!ReadAt(f.get(), row, &number, 4) || !ReadAt(f.get(), row + kSummarySiteNameOffset, site, 33) ||
            !ReadAt(f.get(), row + kSummaryObserverNameOffset, observer, 64) ||
            !ReadAt(f.get(), row + kSummaryInstrumentNameOffset, instrument, 32))
            return -2;
        if (CompareStringsNoCase(site, entry->site.name) != 0 ||
            CompareStringsNoCase(observer, entry->observer.name) != 0 ||
            CompareStringsNoCase(instrument, entry->instrument.name) != 0)
            continue;
        char *storedNotes = nullptr;
        if (!ReadLogEntryByNumber(static_cast<int32_t>(entry->categoryBits), number, stored,
                                  &storedNotes))
            continue;  // an entry that cannot be read is never taken for this one
        std::unique_ptr<char[]> holder(storedNotes);
        size_t storedLength = NotesLength(storedNotes);
        if (storedLength != static_cast<size_t>(entry->notesLength)) continue;
        if (storedLength == 0 || CompareStringsNoCase(storedNotes, notes) == 0) return number;
    }
    return -1;
}

}  // namespace

namespace {

// The add proper, under the lock: the duplicate test, the entry file, the
// summary row, the key list and the indexes.
int32_t AddUnderLock(LogEntry *entry, const char *notes, int *status, ObjectRecord *object,
                     const DateRecord *date, LogFolderState *state, int folder, LogUndo *undo) {
    int32_t bits = static_cast<int32_t>(entry->categoryBits);
    // 4-5. Logged already? Only the duplicate test below decides; the key list
    // is kept in memory for the key to be added.
    std::memcpy(&entry->catalogueIndex, &object->index, 4);
    entry->objectClass = object->objectClass;
    char name[kLogDesignationSize] = {0};
    if (NameLogObject(object, name, 64)) std::strncpy(entry->designation, name, 64);
    entry->designation[kLogDesignationSize - 1] = 0;
    int user = IsUserObjectClass(entry->objectClass);
    int32_t key = MakeObjectKey(object);

    // The duplicate test runs for every object, whatever the key list says.
    PassBuffers *buffers = BuffersOfPass();
    std::unique_ptr<LogEntry> ownStored;
    if (!buffers) ownStored.reset(new LogEntry);
    LogEntry *stored = buffers ? buffers->stored.get() : ownStored.get();
    int32_t existing = FindDuplicate(entry, object, notes, stored);
    if (existing == -2) return -1;
    if (existing >= 0) {
        // Put back what an interrupted earlier add may have left out, under
        // the names as they were stored.
        if (!EnsureLoggedKey(state, folder, key) || !UpdateAllIndexes(stored, object, existing, true))
            return -1;
        if (status) *status = kLogEntryAlreadyLogged;
        return existing;
    }

    // The entry file, complete beside its place before anything else changes.
    // A file already there under the next number (left by an add that was
    // stopped before it raised the counter) is never written over: its
    // number is passed by.
    char path[kLogPathSize];
    MakeEntryFilePath(bits, state->counters[folder], path);
    for (int guard = 0; path[0] && FileExists(path); ++guard) {
        if (guard >= 1000 || RaiseEntryCounter(state, folder) < 0) return -1;
        MakeEntryFilePath(bits, state->counters[folder], path);
    }
    if (!path[0]) return -1;
    int32_t number = state->counters[folder];
    if (undo && !RememberAddedFiles(undo, entry, object, path, user)) return -1;
    SafeRewrite file;
    if (!BeginSafeRewrite(path, &file)) return -1;
    if (buffers) {
        // The whole file fits the buffer: it is written by the close, in one
        // call (the buffer outlives the stream: it is the pass's).
        size_t size = sizeof(LogEntry) + NotesLength(notes) + 1 + kEntryFileSlack;
        if (buffers->file.size() < size) buffers->file.resize(size);
        std::setvbuf(file.file, buffers->file.data(), _IOFBF, buffers->file.size());
    }
    if (WriteLogEntryFile(file.file, entry, notes) != 1) return -1;

    // 6-8. The number: the counter before it is raised; then the file takes its place.
    if (RaiseEntryCounter(state, folder) != number) return -1;
    if (!CommitSafeRewrite(&file)) return -1;  // the number stays issued, nothing refers to it

    // 9. The summary row, counted only once it is written.
    {
        std::unique_ptr<LogSummary> ownRow;
        if (!buffers) {
            ownRow.reset(new LogSummary);
            std::memset(ownRow.get(), 0, sizeof(LogSummary));
        }
        LogSummary *row = buffers ? buffers->row.get() : ownRow.get();
        row->logNumber = number;
        std::memcpy(row->objectBytes, &entry->objectClass, sizeof row->objectBytes);
        std::memcpy(&row->date, date, sizeof(DateRecord));
        std::memcpy(&row->site, &entry->site, sizeof(LocationRecord));
        std::memcpy(&row->observer, &entry->observer, sizeof(ObserverRecord));
        std::memcpy(&row->instrument, &entry->instrument, sizeof(InstrumentRecord));
        row->constellation = object->constellation;
        int32_t count = 0;
        FileHolder f(OpenObjectFile(bits, entry->catalogueIndex, user, &count));
        bool ok = f && count < INT32_MAX && SafeSeek(f.get(), RowOffset(count)) &&
                  SafeWrite(row, sizeof(LogSummary), 1, f.get()) == 1 && SafeFlush(f.get());
        int32_t newCount = count + 1;
        if (ok && !(SafeSeek(f.get(), 0) && SafeWrite(&newCount, 4, 1, f.get()) == 1 && SafeFlush(f.get()))) {
            // The count may sit in a buffer: the old one goes over it again.
            std::clearerr(f.get());
            if (SafeSeek(f.get(), 0) && SafeWrite(&count, 4, 1, f.get()) == 1) SafeFlush(f.get());
            ok = false;
        }
        if (!ok) {
            FsRemoveFile(path);  // nothing refers to it; its number stays issued
            return -1;
        }
        char summary[kLogPathSize];
        MakeObjectFilePath(bits, entry->catalogueIndex, user, summary);
        NoteDeferredSync(summary);
        // The pass's copy of the row times follows the row just counted.
        if (std::vector<double> *times = RowTimesOfPass(summary)) {
            double jd;  // copied out of the packed row
            std::memcpy(&jd, &row->date.julianDate, sizeof jd);
            if (times->size() == static_cast<size_t>(count))
                times->push_back(jd);
            else
                g_rowTimes.files.erase(summary);
        }
    }

    // 6. The key list, then 10. the six indexes.
    if (!EnsureLoggedKey(state, folder, key)) return -1;
    if (!UpdateAllIndexes(entry, object, number, false)) return -1;
    if (status) *status = kLogEntryAdded;
    return number;
}

}  // namespace

int32_t FindDuplicateLogEntry(LogEntry *entry, const ObjectRecord *object, const char *notes) {
    if (!entry || !object) return -1;
    std::unique_ptr<LogEntry> stored(new LogEntry);
    int32_t found = FindDuplicate(entry, object, notes, stored.get());
    return found >= 0 ? found : -1;
}

int32_t AddLogEntry(LogEntry *entry, const char *notes) {
    return AddLogEntryWithStatus(entry, notes, nullptr);
}

int32_t AddLogEntryWithStatus(LogEntry *entry, const char *notes, int *status) {
    if (status) *status = kLogEntryFailed;
    if (!entry) return -1;
    TerminateLogEntryTexts(entry);

    // 1. User stars and deep-sky objects: their derived indexes are rebuilt on next use.
    if (entry->objectClass == kClassUserStar) DeleteUserStarIndexes();
    if (entry->objectClass == kClassUserDeepSky) DeleteUserDeepSkyIndexes();

    // 2. Identify the object at the date at the site, with the extinction of its month.
    DateRecord date;
    std::unique_ptr<ObjectRecord> object(new ObjectRecord);
    RefreshEntryObject(entry, &date, object.get());
    int32_t index;
    std::memcpy(&index, &object->index, 4);
    if (index == -1) return -2;

    // Checks that would otherwise fail half-way: a class folder, and the names
    // that open the observer, instrument and site indexes.
    int32_t bits = static_cast<int32_t>(entry->categoryBits);
    if (GetClassFolderIndex(bits) < 0 || !entry->observer.name[0] || !entry->instrument.name[0] ||
        !entry->site.name[0])
        return -1;

    // One writer at a time: the lock is held to the end of the add.
    // (Within a pass the pass holds it.)
    LogStoreLock lock;
    if (!LogPassActive() && !AcquireLogStoreLock(&lock)) {
        if (status) *status = kLogEntryStoreInUse;
        return -1;
    }
    LogFolderState *state = HeldLogFolderState();
    int folder = GetClassFolderIndex(bits);
    if (!state) return -1;
    // Outside a pass the add is one operation under the log's mark: a failed
    // step, or a kill, puts every file back.
    std::unique_ptr<LogUndo> undo(LogPassActive() ? nullptr : new LogUndo);
    int32_t number = AddUnderLock(entry, notes, status, object.get(), &date, state, folder, undo.get());
    if (undo) {
        if (number < 0) {
            RollBackLogUndo(undo.get());
        } else if (!FinishLogUndo(undo.get())) {
            number = -1;  // not on the disk: the mark puts the old state back at the next open
            if (status) *status = kLogEntryFailed;
        }
    }
    // A failed step leaves the files in a state the held lists may not match
    // (within a pass they stay: what the pass holds is what it will write).
    if (number < 0 && !LogPassActive()) ForgetLogFolderState();
    return number;
}
