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
#include "logstore/logadd.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "astro/sidereal.h"
#include "core/textutil.h"
#include "core/fileutil.h"
#include "core/fsys.h"
#include "logstore/logentryfile.h"
#include "logstore/loggedobjects.h"
#include "logstore/logindex.h"
#include "logstore/logobject.h"
#include "logstore/logpaths.h"
#include "minorbodies/usercatalogs.h"
#include "objects/categories.h"
#include "photometry/extinction.h"
#include "core/safefile.h"

namespace {

const double kSameTimeDays = 0.0006944;  // just under one minute

typedef std::unique_ptr<FILE, FileCloser> FileHolder;

size_t NotesLength(const char *notes) { return notes ? std::strlen(notes) : 0; }

bool ReadAt(FILE *f, long offset, void *out, size_t size) {
    return std::fseek(f, offset, SEEK_SET) == 0 && std::fread(out, 1, size, f) == size;
}

// Raises the folder's entry counter in place; the number issued, or -1.
int32_t RaiseEntryCounter(int32_t categoryBits) {
    char path[kLogPathSize];
    MakePidFilePath(categoryBits, path);
    if (!path[0]) return -1;
    FileHolder f(std::fopen(path, "r+b"));
    int32_t counter = 0;
    if (!f || std::fread(&counter, 4, 1, f.get()) != 1 || counter < 0) return -1;
    int32_t raised = counter + 1;
    if (std::fseek(f.get(), 0, SEEK_SET) != 0 || std::fwrite(&raised, 4, 1, f.get()) != 1 ||
        std::fflush(f.get()) != 0)
        return -1;
    return counter;
}

// Puts the key into the folder's sorted key list when it is not there. The
// list is rewritten beside the old one and moved into place. 1, or 0.
int EnsureLoggedKey(int32_t categoryBits, int32_t key) {
    int folder = GetClassFolderIndex(categoryBits);
    int32_t counter = 0;
    std::vector<int32_t> keys;
    if (folder < 0 || !ReadPidFile(folder, &counter, &keys)) return 0;
    size_t at = 0;
    while (at < keys.size() && keys[at] < key) ++at;
    if (at < keys.size() && keys[at] == key) return 1;
    keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(at), key);
    char path[kLogPathSize];
    MakePidFilePath(categoryBits, path);
    std::vector<int32_t> file;
    file.reserve(keys.size() + 2);
    file.push_back(counter);
    file.push_back(static_cast<int32_t>(keys.size()));
    file.insert(file.end(), keys.begin(), keys.end());
    return WriteWholeFileSafely(path, file.data(), file.size() * sizeof(int32_t));
}

// Adds the object to the six indexes (five when its constellation is not
// known). With onlyWhenAbsent an object already in an index keeps its number
// (the repair after an interrupted add writes nothing when the index is whole).
int UpdateAllIndexes(const LogEntry *entry, const ObjectRecord *object, int32_t number,
                     bool onlyWhenAbsent) {
    int year = 0, month = 0, day = 0;
    GetNightOfObservation(&entry->site, entry->julianDate, &year, &month, &day);
    const std::string paths[5] = {
        ClassIndexPath(ObjectClassFolder(object)), NightIndexPath(year, month, day),
        ObserverIndexPath(entry->observer.name), InstrumentIndexPath(entry->instrument.name),
        LocationIndexPath(entry->site.name)};
    for (const std::string &path : paths)
        if (path.empty() || !InsertIndexEntry(path, object, number, onlyWhenAbsent)) return 0;
    // An object whose constellation is not known is left out of the constellation indexes.
    if (object->constellation <= 88 &&
        !InsertIndexEntry(ConstellationIndexPath(object->constellation), object, number, onlyWhenAbsent))
        return 0;
    return 1;
}

}  // namespace

namespace {

// The duplicate test; the identical entry as stored is left in *stored.
int32_t FindDuplicate(LogEntry *entry, const ObjectRecord *object, const char *notes,
                      LogEntry *stored) {
    entry->notesLength = static_cast<int32_t>(NotesLength(notes));
    int user = IsUserObjectClass(object->objectClass);
    int32_t count = 0;
    char path[kLogPathSize];
    MakeObjectFilePath(static_cast<int32_t>(entry->categoryBits), entry->catalogueIndex, user, path);
    if (!path[0] || !FileExists(path)) return -1;  // no rows: nothing to compare, nothing created
    FileHolder f(OpenObjectFile(static_cast<int32_t>(entry->categoryBits), entry->catalogueIndex,
                                user, &count));
    if (!f) return -1;
    // Rows are 330,599 bytes apart and only a few fields of each are read:
    // unbuffered reads fetch those bytes and not a buffer's worth per row.
    std::setvbuf(f.get(), nullptr, _IONBF, 0);
    for (int32_t i = 0; i < count; ++i) {
        long row = 4L + static_cast<long>(i) * static_cast<long>(sizeof(LogSummary));
        double jd = 0;
        if (!ReadAt(f.get(), row + kSummaryJulianDateOffset, &jd, 8)) break;
        if (!(std::fabs(jd - entry->julianDate) < kSameTimeDays)) continue;
        char site[34] = {0}, observer[65] = {0}, instrument[33] = {0};
        int32_t number = -1;
        if (!ReadAt(f.get(), row, &number, 4) || !ReadAt(f.get(), row + kSummarySiteNameOffset, site, 33) ||
            !ReadAt(f.get(), row + kSummaryObserverNameOffset, observer, 64) ||
            !ReadAt(f.get(), row + kSummaryInstrumentNameOffset, instrument, 32))
            break;
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

int32_t FindDuplicateLogEntry(LogEntry *entry, const ObjectRecord *object, const char *notes) {
    if (!entry || !object) return -1;
    std::unique_ptr<LogEntry> stored(new LogEntry);
    return FindDuplicate(entry, object, notes, stored.get());
}

int32_t AddLogEntry(LogEntry *entry, const char *notes) {
    return AddLogEntryWithStatus(entry, notes, nullptr);
}

int32_t AddLogEntryWithStatus(LogEntry *entry, const char *notes, int *status) {
    if (status) *status = kLogEntryFailed;
    if (!entry) return -1;
    TerminateLogEntryTexts(entry);

    // 1. The date at the site and the extinction of its month.
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.julianDate = entry->julianDate;
    SetDateRecordFromJulianDate(&entry->site, &date);
    ComputeDeltaTAndNutation(&date, 0.0);
    ComputeSiderealTimes(&entry->site, &date);
    double extinction =
        ComputeVisualExtinction(date.month, entry->site.temperature, entry->site.humidity,
                                entry->site.latitude, entry->site.elevation);

    // 2. User stars and deep-sky objects: their derived indexes are rebuilt on next use.
    if (entry->objectClass == kClassUserStar) DeleteUserStarIndexes();
    if (entry->objectClass == kClassUserDeepSky) DeleteUserDeepSkyIndexes();

    // 3. Identify the object.
    std::unique_ptr<ObjectRecord> object(new ObjectRecord);
    ClearObjectRecord(object.get());
    std::memcpy(&object->index, &entry->catalogueIndex, 4);
    object->objectClass = entry->objectClass;
    std::memcpy(&object->categoryBits, &entry->categoryBits, 4);
    RefreshLogObject(object.get(), &entry->site, &date, extinction);
    int32_t index;
    std::memcpy(&index, &object->index, 4);
    if (index == -1) return -2;

    // Checks that would otherwise fail half-way: a class folder, and the names
    // that open the observer, instrument and site indexes.
    int32_t bits = static_cast<int32_t>(entry->categoryBits);
    if (GetClassFolderIndex(bits) < 0 || !entry->observer.name[0] || !entry->instrument.name[0] ||
        !entry->site.name[0])
        return -1;

    // 4-5. Logged already? The record may be replaced by a user object of the same name.
    LoggedKeySet set;
    if (!LoadLoggedObjectKeys(&set)) return -1;
    IsObjectLogged(&set, &entry->site, &date, object.get());
    FreeLoggedObjectKeys(&set);
    std::memcpy(&entry->catalogueIndex, &object->index, 4);
    entry->objectClass = object->objectClass;
    char name[kLogDesignationSize] = {0};
    if (NameLogObject(object.get(), name, 64)) std::strncpy(entry->designation, name, 64);
    entry->designation[kLogDesignationSize - 1] = 0;
    int user = IsUserObjectClass(entry->objectClass);
    int32_t key = MakeObjectKey(object.get());

    // The duplicate test runs for every object, whatever the key list says.
    std::unique_ptr<LogEntry> stored(new LogEntry);
    int32_t existing = FindDuplicate(entry, object.get(), notes, stored.get());
    if (existing >= 0) {
        // Put back what an interrupted earlier add may have left out, under
        // the names as they were stored.
        if (!EnsureLoggedKey(bits, key) || !UpdateAllIndexes(stored.get(), object.get(), existing, true))
            return -1;
        if (status) *status = kLogEntryAlreadyLogged;
        return existing;
    }

    // The entry file, complete under a temporary name.
    char path[kLogPathSize];
    MakeEntryFilePath(bits, 0, path);
    std::string folderPath(path);
    folderPath.resize(folderPath.rfind('/') + 1);
    std::string temp = folderPath + "entry.new";
    {
        FILE *f = std::fopen(temp.c_str(), "wb");
        if (!f) return -1;
        bool ok = WriteLogEntryFile(f, entry, notes) == 1;
        ok = (std::fclose(f) == 0) && ok;
        if (!ok) {
            FsRemoveFile(temp);
            return -1;
        }
    }

    // 6-8. The number: the counter before it is raised.
    int32_t number = RaiseEntryCounter(bits);
    if (number < 0) {
        FsRemoveFile(temp);
        return -1;
    }
    MakeEntryFilePath(bits, number, path);
    if (!FsReplaceFile(temp, path)) {
        FsRemoveFile(temp);
        return -1;
    }

    // 9. The summary row, counted only once it is written.
    {
        std::unique_ptr<LogSummary> row(new LogSummary);
        std::memset(row.get(), 0, sizeof(LogSummary));
        row->logNumber = number;
        std::memcpy(row->objectBytes, &entry->objectClass, sizeof row->objectBytes);
        std::memcpy(&row->date, &date, sizeof(DateRecord));
        std::memcpy(&row->site, &entry->site, sizeof(LocationRecord));
        std::memcpy(&row->observer, &entry->observer, sizeof(ObserverRecord));
        std::memcpy(&row->instrument, &entry->instrument, sizeof(InstrumentRecord));
        row->constellation = object->constellation;
        int32_t count = 0;
        FileHolder f(OpenObjectFile(bits, entry->catalogueIndex, user, &count));
        int32_t newCount = count + 1;
        bool ok = f && std::fseek(f.get(), 4L + static_cast<long>(count) * static_cast<long>(sizeof(LogSummary)),
                                  SEEK_SET) == 0 &&
                  std::fwrite(row.get(), sizeof(LogSummary), 1, f.get()) == 1 &&
                  std::fflush(f.get()) == 0 && std::fseek(f.get(), 0, SEEK_SET) == 0 &&
                  std::fwrite(&newCount, 4, 1, f.get()) == 1 && std::fflush(f.get()) == 0;
        if (!ok) {
            FsRemoveFile(path);  // nothing refers to it; its number stays issued
            return -1;
        }
    }

    // 6. The key list, then 10. the six indexes.
    if (!EnsureLoggedKey(bits, key)) return -1;
    if (!UpdateAllIndexes(entry, object.get(), number, false)) return -1;
    if (status) *status = kLogEntryAdded;
    return number;
}
