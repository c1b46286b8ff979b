// Log index files: search, insertion, removal, openers and the night rule.
#include "logstore/logindex.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/textutil.h"
#include "core/fileutil.h"
#include "core/fsys.h"
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
    if (std::fseek(file, 4L + mid * 12L, SEEK_SET) != 0 || std::fread(&e, 12, 1, file) != 1)
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

// Opens (creating when absent) an index file under the log folder.
FILE *OpenIndexFile(const char *folder, const char *name, int32_t *count) {
    char path[kLogPathSize];
    if (!MakeLogPath(path, nullptr) || !EnsureDirectory(path)) return nullptr;
    if (!MakeLogPath(path, folder) || !EnsureDirectory(path)) return nullptr;
    std::string file = std::string(path) + "/" + name + ".idx";
    if (file.size() >= static_cast<size_t>(kLogPathSize)) return nullptr;
    if (!FileExists(file.c_str())) {
        FILE *created = std::fopen(file.c_str(), "wb");
        if (!created) return nullptr;
        const int32_t zero = 0;
        bool ok = std::fwrite(&zero, 4, 1, created) == 1;
        if (std::fclose(created) != 0 || !ok) return nullptr;
    }
    FILE *f = std::fopen(file.c_str(), "r+b");
    if (!f) return nullptr;
    int32_t n = 0;
    if (std::fread(&n, 4, 1, f) != 1) {
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
    FILE *f = std::fopen(file.c_str(), "r+b");
    if (!f) return;
    int32_t n = 0;
    bool read = std::fread(&n, 4, 1, f) == 1;
    std::fclose(f);
    if (read && n <= 0) FsRemoveFile(file);
}

// The file-safe copy of a name; empty for a null or empty name.
std::string SafeName(const char *name) {
    if (!name || !name[0]) return std::string();
    std::vector<char> copy(name, name + std::strlen(name) + 1);
    EncodeNameForFileName(copy.data());
    return std::string(copy.data());
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
    if (std::fseek(file, 0, SEEK_SET) != 0 || std::fread(&n, 4, 1, file) != 1) return -2;
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
    if (std::fseek(file, 4L + position * 12L, SEEK_SET) != 0 || std::fread(entry, 12, 1, file) != 1)
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

int AddIndexEntry(FILE *file, const ObjectRecord *object, int32_t logNumber) {
    if (!file || !object || logNumber < 0) return 0;
    LogIndexEntry item = {MakeObjectKey(object), ObjectClassFolder(object), logNumber};
    int32_t n = 0;
    int found = FindIndexEntry(file, item.classFolder, item.key, &n);
    if (found < -1) return 0;
    if (found >= 0) {
        return std::fseek(file, 4L + found * 12L, SEEK_SET) == 0 &&
               std::fwrite(&item, 12, 1, file) == 1 && std::fflush(file) == 0;
    }
    if (n < 0) n = 0;
    std::vector<LogIndexEntry> entries(static_cast<size_t>(n));
    if (n > 0 && (std::fseek(file, 4, SEEK_SET) != 0 ||
                  std::fread(entries.data(), 12, static_cast<size_t>(n), file) !=
                      static_cast<size_t>(n)))
        return 0;
    size_t at = 0;
    while (at < entries.size() && EntrySortsBefore(entries[at], item)) ++at;
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), item);
    // Entries first, count last: a failure in between leaves the old index.
    int32_t newCount = n + 1;
    if (std::fseek(file, 4, SEEK_SET) != 0 ||
        std::fwrite(entries.data(), 12, entries.size(), file) != entries.size() ||
        std::fflush(file) != 0 || std::fseek(file, 0, SEEK_SET) != 0 ||
        std::fwrite(&newCount, 4, 1, file) != 1 || std::fflush(file) != 0)
        return 0;
    return 1;
}

int RemoveIndexEntry(FILE *file, const ObjectRecord *object) {
    if (!file || !object) return 0;
    int32_t n = 0;
    int found = FindIndexEntry(file, ObjectClassFolder(object), MakeObjectKey(object), &n);
    if (found < 0) return 0;
    for (int i = found; i < n - 1; ++i) {
        LogIndexEntry e;
        if (std::fseek(file, 4L + (i + 1) * 12L, SEEK_SET) != 0 || std::fread(&e, 12, 1, file) != 1 ||
            std::fseek(file, 4L + i * 12L, SEEK_SET) != 0 || std::fwrite(&e, 12, 1, file) != 1)
            return 0;
    }
    int32_t newCount = n - 1;
    return std::fseek(file, 0, SEEK_SET) == 0 && std::fwrite(&newCount, 4, 1, file) == 1 &&
           std::fflush(file) == 0;
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
