// Log index files: search, insertion, removal, openers and the night rule.
#include "logstore/logindex.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/safefile.h"
#include "core/textutil.h"
#include "core/fileutil.h"
#include "core/fsys.h"
#include "logstore/loglock.h"
#include "logstore/logpaths.h"
#include "objects/binsearch.h"
#include "objects/categories.h"

namespace {

struct IndexProbe {
    int32_t classFolder;
    int32_t key;
};

int CompareIndexEntry(const void *key, FILE *file, int mid) {
    const IndexProbe *probe = static_cast<const IndexProbe *>(key);
    LogIndexEntry e;
    if (std::fseek(file, 4L + mid * 12L, SEEK_SET) != 0 || SafeRead(&e, 12, 1, file) != 1)
        return 1;
    if (e.classFolder == probe->classFolder && e.key == probe->key) return 0;
    if (e.classFolder > probe->classFolder ||
        (e.classFolder == probe->classFolder && e.key > probe->key))
        return -1;
    return 1;
}

bool EntrySortsBefore(const LogIndexEntry &a, const LogIndexEntry &b) {
    return a.classFolder < b.classFolder || (a.classFolder == b.classFolder && a.key < b.key);
}

bool SameObject(const LogIndexEntry &a, const LogIndexEntry &b) {
    return a.classFolder == b.classFolder && a.key == b.key;
}

// The whole entries the file's length holds after its count.
int64_t EntriesThatFit(FILE *f) {
    long here = std::ftell(f);
    if (here < 0 || std::fseek(f, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(f);
    if (std::fseek(f, here, SEEK_SET) != 0 || size < 0) return -1;
    return size < 4 ? 0 : (size - 4) / 12;
}

// The count of an open index, trusted only as far as the file's length
// bears it out: a damaged count is cut to the entries the file holds.
int ReadCountThatFits(FILE *f, int32_t *count) {
    int32_t n = 0;
    if (std::fseek(f, 0, SEEK_SET) != 0) return 0;
    int64_t fit = EntriesThatFit(f);
    if (fit < 0) return 0;
    if (fit == 0) {
        *count = 0;  // no whole entry (an interrupted creation holds no count)
        return 1;
    }
    if (SafeRead(&n, 4, 1, f) != 1) return 0;
    if (n < 0 || n > fit) n = static_cast<int32_t>(fit);
    *count = n;
    return 1;
}

// The path of an index file under the log folder, its folders made; empty
// when it cannot be made or does not fit.
std::string IndexFilePath(const char *folder, const char *name) {
    char path[kLogPathSize];
    if (!MakeLogPath(path, nullptr) || !EnsureDirectory(path)) return std::string();
    if (!MakeLogPath(path, folder) || !EnsureDirectory(path)) return std::string();
    std::string file = std::string(path) + "/" + name + ".idx";
    if (file.size() >= static_cast<size_t>(kLogPathSize)) return std::string();
    return file;
}

// Opens an index file for reading (made with a count of 0 when absent).
FILE *OpenIndexFile(const char *folder, const char *name, int32_t *count) {
    std::string file = IndexFilePath(folder, name);
    if (file.empty()) return nullptr;
    if (!FileExists(file.c_str())) {
        const int32_t zero = 0;
        if (!WriteWholeFileSafely(file.c_str(), &zero, 4)) return nullptr;
    }
    FILE *f = SafeOpen(file.c_str(), "rb");
    if (!f) return nullptr;
    int32_t n = 0;
    if (!ReadCountThatFits(f, &n)) {
        std::fclose(f);
        return nullptr;
    }
    if (count) *count = n;
    return f;
}

void DeleteIndexIfEmpty(const char *folder, const char *name) {
    char path[kLogPathSize];
    if (!MakeLogPath(path, folder)) return;
    std::string file = std::string(path) + "/" + name + ".idx";
    std::vector<LogIndexEntry> entries;
    if (FileExists(file.c_str()) && ReadIndexFile(file, &entries) && entries.empty())
        FsRemoveFile(file);
}

// The entries a change works on: within a pass those the pass holds, else
// the file's, read into local. Null when they cannot be read.
std::vector<LogIndexEntry> *IndexToChange(const std::string &path, std::vector<LogIndexEntry> *local) {
    if (path.empty()) return nullptr;
    if (LogPassActive()) return PassIndexEntries(path);
    return ReadIndexFileFromDisk(path, local) ? local : nullptr;
}

// Within a pass the change is written at its end; otherwise now.
int CommitIndexChange(const std::string &path, const std::vector<LogIndexEntry> &entries) {
    if (LogPassActive()) {
        MarkPassIndexChanged(path);
        return 1;
    }
    return WriteIndexFile(path, entries);
}

// The file-safe copy of a name; empty for a null or empty name.
std::string SafeName(const char *name) {
    if (!name || !name[0]) return std::string();
    std::vector<char> copy(name, name + std::strlen(name) + 1);
    EncodeNameForFileName(copy.data());
    return std::string(copy.data());
}

std::string NamedIndexPath(const char *folder, const char *name) {
    std::string safe = SafeName(name);
    if (safe.empty()) return std::string();
    return IndexFilePath(folder, safe.c_str());
}

FILE *OpenNamedIndex(const char *folder, const char *name, int32_t *count) {
    std::string safe = SafeName(name);
    if (safe.empty()) return nullptr;
    return OpenIndexFile(folder, safe.c_str(), count);
}

void DeleteNamedIndexIfEmpty(const char *folder, const char *name) {
    std::string safe = SafeName(name);
    if (!safe.empty()) DeleteIndexIfEmpty(folder, safe.c_str());
}

}  // namespace

int FindIndexEntry(FILE *file, int classFolder, int32_t key, int32_t *count) {
    if (!file) return -2;
    int32_t n = 0;
    if (!ReadCountThatFits(file, &n)) return -2;
    if (count) *count = n;
    if (n <= 0) return -1;
    IndexProbe probe = {classFolder, key};
    return BinarySearchFileIndex(file, 0, n - 1, &probe, CompareIndexEntry);
}

int32_t SplitObjectKey(int32_t key, int *userFlag) {
    if (userFlag) *userFlag = (static_cast<uint32_t>(key) & kLogUserKeyBit) ? 1 : 0;
    return static_cast<int32_t>(static_cast<uint32_t>(key) & 0xbfffffffu);
}

int ReadIndexEntry(FILE *file, int position, LogIndexEntry *entry) {
    if (!file || !entry || position < 0) return 0;
    if (std::fseek(file, 4L + position * 12L, SEEK_SET) != 0 || SafeRead(entry, 12, 1, file) != 1)
        return 0;
    int user = 0;
    entry->key = SplitObjectKey(entry->key, &user);
    return user ? 2 : 1;
}

int32_t MakeObjectKey(const ObjectRecord *object) {
    int32_t index;
    std::memcpy(&index, &object->index, 4);
    if (IsUserObjectClass(object->objectClass))
        index = static_cast<int32_t>(static_cast<uint32_t>(index) | kLogUserKeyBit);
    return index;
}

int ObjectClassFolder(const ObjectRecord *object) {
    uint32_t bits;
    std::memcpy(&bits, &object->categoryBits, 4);
    return GetClassFolderIndex(static_cast<int32_t>(bits));
}

int ReadIndexFile(const std::string &path, std::vector<LogIndexEntry> *entries) {
    if (!entries) return 0;
    if (const std::vector<LogIndexEntry> *held = PassIndexEntries(path)) {
        *entries = *held;
        return 1;
    }
    return ReadIndexFileFromDisk(path, entries);
}

int ReadIndexFileFromDisk(const std::string &path, std::vector<LogIndexEntry> *entries) {
    if (!entries) return 0;
    entries->clear();
    if (path.empty()) return 0;
    EnsureLogStoreRecovered();
    if (!FileExists(path.c_str())) return 1;  // no file yet: no entry
    FileHandle f(SafeOpen(path.c_str(), "rb"));
    if (!f) return 0;
    int32_t n = 0;
    int64_t fit = EntriesThatFit(f.get());
    if (fit < 0) return 0;
    if (fit == 0) return 1;  // shorter than one entry (an interrupted creation)
    if (SafeRead(&n, 4, 1, f.get()) != 1) return 0;
    bool damaged = n < 0 || n > fit;
    // A count the length does not bear out: every whole entry is taken, put
    // in order and each object kept once, so the next write repairs the file.
    size_t take = static_cast<size_t>(damaged ? fit : n);
    entries->resize(take);
    if (take > 0 && SafeRead(entries->data(), 12, take, f.get()) != take) {
        entries->clear();
        return 0;
    }
    // Entries out of order or twice (damage a count cannot show) would
    // mislead every binary search: they are put in order, each object once.
    for (size_t i = 1; !damaged && i < entries->size(); ++i)
        damaged = !EntrySortsBefore((*entries)[i - 1], (*entries)[i]);
    if (damaged) {
        std::stable_sort(entries->begin(), entries->end(), EntrySortsBefore);
        entries->erase(std::unique(entries->begin(), entries->end(), SameObject), entries->end());
    }
    return 1;
}

int WriteIndexFile(const std::string &path, const std::vector<LogIndexEntry> &entries) {
    if (path.empty() || entries.size() > 0x7ffffff) return 0;
    std::vector<uint8_t> bytes(4 + entries.size() * 12);
    int32_t n = static_cast<int32_t>(entries.size());
    std::memcpy(bytes.data(), &n, 4);
    if (!entries.empty()) std::memcpy(bytes.data() + 4, entries.data(), entries.size() * 12);
    return WriteWholeFileSafely(path.c_str(), bytes.data(), bytes.size());
}

int InsertIndexEntry(const std::string &path, const ObjectRecord *object, int32_t logNumber,
                     bool onlyWhenAbsent) {
    if (!object || logNumber < 0) return 0;
    LogIndexEntry item = {MakeObjectKey(object), ObjectClassFolder(object), logNumber};
    std::vector<LogIndexEntry> local;
    std::vector<LogIndexEntry> *entries = IndexToChange(path, &local);
    if (!entries) return 0;
    auto at = std::lower_bound(entries->begin(), entries->end(), item, EntrySortsBefore);
    if (at != entries->end() && SameObject(*at, item)) {
        if (onlyWhenAbsent || at->logNumber == logNumber) return 1;  // nothing to write
        at->logNumber = logNumber;
    } else {
        entries->insert(at, item);
    }
    return CommitIndexChange(path, *entries);
}

int EraseIndexEntry(const std::string &path, const ObjectRecord *object) {
    if (!object) return 0;
    LogIndexEntry item = {MakeObjectKey(object), ObjectClassFolder(object), 0};
    std::vector<LogIndexEntry> local;
    std::vector<LogIndexEntry> *entries = IndexToChange(path, &local);
    if (!entries) return 0;
    auto at = std::lower_bound(entries->begin(), entries->end(), item, EntrySortsBefore);
    if (at == entries->end() || !SameObject(*at, item)) return 0;
    entries->erase(at);
    return CommitIndexChange(path, *entries);
}

std::string ClassIndexPath(int classFolder) {
    if (classFolder < 0) return std::string();
    char name[16];
    std::snprintf(name, sizeof name, "%02d", classFolder);
    return IndexFilePath("class", name);
}

std::string NightIndexPath(int year, int month, int day) {
    char name[32];
    std::snprintf(name, sizeof name, "%04d%02d%02d", year, month, day);
    return IndexFilePath("night", name);
}

std::string ObserverIndexPath(const char *name) { return NamedIndexPath("observer", name); }
std::string InstrumentIndexPath(const char *name) { return NamedIndexPath("instrument", name); }
std::string LocationIndexPath(const char *name) { return NamedIndexPath("loc", name); }

std::string ConstellationIndexPath(int constellation) {
    if (constellation < 0 || constellation > 88) return std::string();
    char name[16];
    std::snprintf(name, sizeof name, "%02d", constellation);
    return IndexFilePath("cons", name);
}

FILE *OpenClassIndex(int classFolder, int32_t *count) {
    if (classFolder < 0) return nullptr;
    char name[16];
    std::snprintf(name, sizeof name, "%02d", classFolder);
    return OpenIndexFile("class", name, count);
}

static void NightName(char *name, size_t size, int year, int month, int day) {
    std::snprintf(name, size, "%04d%02d%02d", year, month, day);
}

FILE *OpenNightIndex(int year, int month, int day, int32_t *count) {
    char name[32];
    NightName(name, sizeof name, year, month, day);
    return OpenIndexFile("night", name, count);
}

FILE *OpenObserverIndex(const char *name, int32_t *count) {
    return OpenNamedIndex("observer", name, count);
}
FILE *OpenInstrumentIndex(const char *name, int32_t *count) {
    return OpenNamedIndex("instrument", name, count);
}
FILE *OpenLocationIndex(const char *name, int32_t *count) {
    return OpenNamedIndex("loc", name, count);
}

FILE *OpenConstellationIndex(int constellation, int32_t *count) {
    if (constellation < 0 || constellation > 88) return nullptr;
    char name[16];
    std::snprintf(name, sizeof name, "%02d", constellation);
    return OpenIndexFile("cons", name, count);
}

void DeleteNightIndexIfEmpty(int year, int month, int day) {
    char name[32];
    NightName(name, sizeof name, year, month, day);
    DeleteIndexIfEmpty("night", name);
}
void DeleteObserverIndexIfEmpty(const char *name) { DeleteNamedIndexIfEmpty("observer", name); }
void DeleteInstrumentIndexIfEmpty(const char *name) { DeleteNamedIndexIfEmpty("instrument", name); }
void DeleteLocationIndexIfEmpty(const char *name) { DeleteNamedIndexIfEmpty("loc", name); }
void DeleteConstellationIndexIfEmpty(int constellation) {
    if (constellation < 0 || constellation > 88) return;
    char name[16];
    std::snprintf(name, sizeof name, "%02d", constellation);
    DeleteIndexIfEmpty("cons", name);
}

void GetNightOfObservation(const LocationRecord *site, double julianDate, int *year, int *month,
                           int *day) {
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.julianDate = julianDate;
    SetDateRecordFromJulianDate(site, &date);
    SetDateRecord(&date, site, date.month, date.day, date.year, date.localHours - 12.0, kLocalTime);
    SetDateRecordFromJulianDate(site, &date);
    if (year) *year = date.year;
    if (month) *month = date.month;
    if (day) *day = date.day;
}
