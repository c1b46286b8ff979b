// Log selections, filters and the log search.
#include "logstore/logsearch.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "logstore/logindex.h"
#include "logstore/logindexscan.h"
#include "logstore/logobjectindexes.h"
#include "logstore/logpaths.h"

namespace {

const int kObjectBytesOffset = 4;

typedef int (*BeginScanFn)(IndexScan *);
typedef int (*NextNameFn)(IndexScan *, char *);

// The selected names of one index folder; false when the scan fails or does
// not give exactly the selection's item count of names.
bool BuildNameTable(const LogSelection *selection, BeginScanFn begin, NextNameFn next,
                    LogNameRow **rows, int32_t *count) {
    *rows = nullptr;
    *count = 0;
    if (!selection || selection->selectedCount <= 0) return true;
    if (!selection->values) return false;
    std::vector<LogNameRow> table;
    IndexScan scan;
    if (!begin(&scan)) {
        EndIndexScan(&scan);
        return false;
    }
    int32_t scanned = 0;
    char name[kIndexScanNameSize];
    for (int guard = 0; guard < 1000000; ++guard) {
        int r = next(&scan, name);
        if (r == 0) break;
        if (r < 0) continue;
        if (scanned < selection->itemCount && selection->values[scanned] != kLogNotSelected) {
            LogNameRow row;
            CopyStringZeroFilled(row.name, name, kLogNameRowSize);
            table.push_back(row);
        }
        ++scanned;
    }
    EndIndexScan(&scan);
    if (scanned != selection->itemCount) return false;
    if (table.empty()) return true;
    *rows = new (std::nothrow) LogNameRow[table.size()];
    if (!*rows) return false;
    std::memcpy(*rows, table.data(), table.size() * sizeof(LogNameRow));
    *count = static_cast<int32_t>(table.size());
    return true;
}

bool NameInTable(const std::string &name, const LogNameRow *rows, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        if (CompareStringsNoCase(name.c_str(), rows[i].name) == 0) return true;
    return false;
}

bool Passes(const LogFilter *filter, const LogRowKeys &row, int32_t first, int32_t last) {
    if (row.night < first || row.night > last) return false;
    if (!NameInTable(row.observer, filter->observers, filter->observerCount)) return false;
    if (!NameInTable(row.site, filter->sites, filter->siteCount)) return false;
    if (!NameInTable(row.instrument, filter->instruments, filter->instrumentCount)) return false;
    if (row.constellation < 0) return false;
    for (int32_t i = 0; i < filter->constellations.itemCount; ++i)
        if (filter->constellations.values[i] == row.constellation) return true;
    return false;
}

}  // namespace

int InitLogSelection(LogSelection *selection, int32_t itemCount, int32_t selectedCount) {
    if (!selection || itemCount < 0) return 0;
    selection->values = new (std::nothrow) uint8_t[itemCount > 0 ? itemCount : 1];
    if (!selection->values) return 0;
    selection->itemCount = itemCount;
    selection->selectedCount = selectedCount;
    return 1;
}

void FreeLogSelection(LogSelection *selection) {
    if (!selection) return;
    delete[] selection->values;
    selection->values = nullptr;
}

void FreeLogFilter(LogFilter *filter) {
    if (!filter) return;
    delete[] filter->observers;
    delete[] filter->sites;
    delete[] filter->instruments;
    filter->observers = filter->sites = filter->instruments = nullptr;
    filter->observerCount = filter->siteCount = filter->instrumentCount = 0;
}

int BuildLogFilter(LogFilter *filter, int firstYear, int firstMonth, int firstDay, int lastYear,
                   int lastMonth, int lastDay, const LogSelection *classes, const LogSelection *observers,
                   const LogSelection *sites, const LogSelection *instruments,
                   const LogSelection *constellations) {
    if (!filter) return 0;
    *filter = LogFilter();
    if (classes) filter->classes = *classes;
    if (constellations) filter->constellations = *constellations;
    filter->firstYear = firstYear;
    filter->firstMonth = firstMonth;
    filter->firstDay = firstDay;
    filter->lastYear = lastYear;
    filter->lastMonth = lastMonth;
    filter->lastDay = lastDay;
    if (!BuildNameTable(observers, BeginObserverIndexScan, NextObserverIndexName, &filter->observers,
                        &filter->observerCount) ||
        !BuildNameTable(sites, BeginLocationIndexScan, NextLocationIndexName, &filter->sites,
                        &filter->siteCount) ||
        !BuildNameTable(instruments, BeginInstrumentIndexScan, NextInstrumentIndexName,
                        &filter->instruments, &filter->instrumentCount)) {
        FreeLogFilter(filter);
        return 0;
    }
    return 1;
}

int SearchLog(const LogFilter *filter, LogObjectRef **objects, int32_t **numbers, int32_t *count) {
    if (objects) *objects = nullptr;
    if (numbers) *numbers = nullptr;
    if (count) *count = 0;
    if (!filter || !objects || !numbers || !count) return 0;
    if (filter->observerCount <= 0 || filter->siteCount <= 0 || filter->instrumentCount <= 0 ||
        filter->classes.selectedCount <= 0 || filter->constellations.selectedCount <= 0 ||
        !filter->classes.values || !filter->constellations.values)
        return 0;
    int32_t first = filter->firstYear * 10000 + filter->firstMonth * 100 + filter->firstDay;
    int32_t last = filter->lastYear * 10000 + filter->lastMonth * 100 + filter->lastDay;
    if (first > last) return 0;
    std::vector<LogObjectRef> found;
    std::vector<int32_t> foundNumbers;
    for (int32_t c = 0; c < filter->classes.itemCount; ++c) {
        int folder = filter->classes.values[c];
        if (folder == kLogNotSelected || folder >= kLogClassFolderCount) continue;
        std::vector<LogIndexEntry> entries;
        if (!ReadIndexFile(ClassIndexPath(folder), &entries)) continue;
        for (const LogIndexEntry &e : entries) {
            int user = 0;
            int32_t index = SplitObjectKey(e.key, &user);
            char path[kLogPathSize];
            MakeObjectFilePath(GetClassBitsOfFolder(e.classFolder), index, user, path);
            if (!path[0] || !FileExists(path)) continue;
            int32_t rows = 0;
            FileHandle f(OpenSummaryFile(path, "rb", &rows));
            if (!f) continue;
            std::setvbuf(f.get(), nullptr, _IONBF, 0);
            for (int32_t i = 0; i < rows; ++i) {
                LogRowKeys keys;
                if (!ReadRowKeys(f.get(), i, &keys) || !Passes(filter, keys, first, last)) continue;
                LogObjectRef ref;
                if (!SafeSeek(f.get(), 4 + static_cast<int64_t>(i) * static_cast<int64_t>(sizeof(LogSummary)) +
                                           kObjectBytesOffset) ||
                    SafeRead(&ref, sizeof ref, 1, f.get()) != 1)
                    break;
                ref.designation[sizeof ref.designation - 1] = 0;
                if (user) ref.catalogueIndex = static_cast<int32_t>(static_cast<uint32_t>(ref.catalogueIndex) | kLogUserKeyBit);
                found.push_back(ref);
                foundNumbers.push_back(keys.logNumber);
                break;  // each object once: its first passing entry
            }
        }
    }
    if (found.empty()) return 0;
    *objects = new (std::nothrow) LogObjectRef[found.size()];
    *numbers = new (std::nothrow) int32_t[found.size()];
    if (!*objects || !*numbers) {
        delete[] *objects;
        delete[] *numbers;
        *objects = nullptr;
        *numbers = nullptr;
        return 0;
    }
    std::memcpy(*objects, found.data(), found.size() * sizeof(LogObjectRef));
    std::memcpy(*numbers, foundNumbers.data(), found.size() * sizeof(int32_t));
    *count = static_cast<int32_t>(found.size());
    return 1;
}
