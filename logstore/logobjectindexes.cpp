// An object's index entries worked out from its summary rows.
#include "logstore/logobjectindexes.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "logstore/logindex.h"
#include "logstore/logpaths.h"

namespace {

// Row offsets of the keys read in place.
const int64_t kRowSiteOffset = 196;
const int64_t kRowObserverOffset = 362;
const int64_t kRowConstellationOffset = 330598;
const int kMaxConstellation = 88;
const uint8_t kNoConstellation = 255;

int64_t RowStart(int32_t row) { return 4 + static_cast<int64_t>(row) * static_cast<int64_t>(sizeof(LogSummary)); }

bool ReadAt(FILE *f, int64_t offset, void *out, size_t size) {
    return SafeSeek(f, offset) && SafeRead(out, 1, size, f) == size;
}

int32_t NightValue(const LocationRecord *site, double jd) {
    int y = 0, m = 0, d = 0;
    GetNightOfObservation(site, jd, &y, &m, &d);
    return y * 10000 + m * 100 + d;
}

std::string NightPath(int32_t night) {
    return NightIndexPath(night / 10000, night / 100 % 100, night % 100);
}

}  // namespace

LogRowKeys RowKeysOfSummary(const LogSummary *row) {
    LogRowKeys k;
    k.logNumber = row->logNumber;
    LocationRecord site;
    std::memcpy(&site, &row->site, sizeof site);
    site.name[sizeof site.name - 1] = 0;
    double jd;
    std::memcpy(&jd, &row->date.julianDate, sizeof jd);
    k.night = NightValue(&site, jd);
    k.site = site.name;
    char observer[sizeof row->observer.name + 1] = {0};
    std::memcpy(observer, row->observer.name, sizeof row->observer.name);
    k.observer = observer;
    char instrument[sizeof row->instrument.name + 1] = {0};
    std::memcpy(instrument, row->instrument.name, sizeof row->instrument.name);
    k.instrument = instrument;
    k.constellation = row->constellation <= kMaxConstellation ? row->constellation : -1;
    return k;
}

int ReadRowKeys(FILE *summary, int32_t row, LogRowKeys *keys) {
    if (!summary || !keys || row < 0) return 0;
    int64_t at = RowStart(row);
    int32_t number = -1;
    double jd = 0;
    std::unique_ptr<LocationRecord> site(new LocationRecord);
    char observer[sizeof(ObserverRecord::name) + 1] = {0};
    char instrument[sizeof(InstrumentRecord::name) + 1] = {0};
    uint8_t constellation = kNoConstellation;
    if (!ReadAt(summary, at, &number, 4) || !ReadAt(summary, at + kSummaryJulianDateOffset, &jd, 8) ||
        !ReadAt(summary, at + kRowSiteOffset, site.get(), sizeof(LocationRecord)) ||
        !ReadAt(summary, at + kRowObserverOffset, observer, sizeof(ObserverRecord::name)) ||
        !ReadAt(summary, at + kSummaryInstrumentNameOffset, instrument, sizeof(InstrumentRecord::name)) ||
        !ReadAt(summary, at + kRowConstellationOffset, &constellation, 1))
        return 0;
    site->name[sizeof site->name - 1] = 0;
    keys->logNumber = number;
    keys->night = NightValue(site.get(), jd);
    keys->site = site->name;
    keys->observer = observer;
    keys->instrument = instrument;
    keys->constellation = constellation <= kMaxConstellation ? constellation : -1;
    return 1;
}

int ReadAllRowKeys(const char *path, std::vector<LogRowKeys> *rows) {
    if (!path || !rows) return 0;
    rows->clear();
    if (!path[0]) return 0;
    if (!FileExists(path)) return 1;
    int32_t count = 0;
    FileHandle f(OpenSummaryFile(path, "rb", &count));
    if (!f) return 0;
    // Rows lie 330,599 bytes apart and a few fields of each are read.
    std::setvbuf(f.get(), nullptr, _IONBF, 0);
    rows->resize(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        if (!ReadRowKeys(f.get(), i, &(*rows)[static_cast<size_t>(i)])) return 0;
    return 1;
}

std::vector<std::string> IndexPathsOfRow(const LogRowKeys &keys) {
    std::vector<std::string> paths;
    paths.push_back(NightPath(keys.night));
    paths.push_back(ObserverIndexPath(keys.observer.c_str()));
    paths.push_back(InstrumentIndexPath(keys.instrument.c_str()));
    paths.push_back(LocationIndexPath(keys.site.c_str()));
    if (keys.constellation >= 0) paths.push_back(ConstellationIndexPath(keys.constellation));
    paths.erase(std::remove(paths.begin(), paths.end(), std::string()), paths.end());
    return paths;
}

namespace {
// Two names of one file: on Windows file names ignore case, so "Ann.idx" and
// "ann.idx" are one index there (two elsewhere).
std::string FileKey(const std::string &path) {
#ifdef _WIN32
    std::string key = path;
    for (char &c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
#else
    return path;
#endif
}
}  // namespace

std::map<std::string, int32_t> WantedIndexNumbers(int32_t key, int classFolder,
                                                  const std::vector<LogRowKeys> &rows,
                                                  const std::vector<std::string> &paths) {
    (void)key;
    std::map<std::string, std::pair<std::string, int32_t>> byFile;  // file key -> (path, number)
    for (const std::string &p : paths)
        if (!p.empty()) byFile.emplace(FileKey(p), std::make_pair(p, -1));
    std::string classPath = ClassIndexPath(classFolder);
    for (const LogRowKeys &row : rows) {
        std::vector<std::string> of = IndexPathsOfRow(row);
        of.push_back(classPath);
        for (const std::string &p : of) {
            auto at = byFile.find(FileKey(p));
            if (at != byFile.end() && row.logNumber > at->second.second) at->second.second = row.logNumber;
        }
    }
    std::map<std::string, int32_t> wanted;
    for (const auto &file : byFile) wanted[file.second.first] = file.second.second;
    return wanted;
}

int ApplyIndexNumbers(int32_t key, int classFolder, const std::map<std::string, int32_t> &wanted,
                      LogUndo *undo) {
    int changed = 0;
    for (const auto &item : wanted) {
        const std::string &path = item.first;
        std::vector<LogIndexEntry> entries;
        if (!ReadIndexFileFromDisk(path, &entries)) return -1;
        LogIndexEntry probe = {key, classFolder, item.second};
        auto at = std::lower_bound(entries.begin(), entries.end(), probe,
                                   [](const LogIndexEntry &a, const LogIndexEntry &b) {
                                       return a.classFolder < b.classFolder ||
                                              (a.classFolder == b.classFolder && a.key < b.key);
                                   });
        bool present = at != entries.end() && at->classFolder == classFolder && at->key == key;
        if (item.second < 0) {
            if (!present) continue;
            entries.erase(at);
        } else if (present) {
            if (at->logNumber == item.second) continue;
            at->logNumber = item.second;
        } else {
            entries.insert(at, probe);
        }
        ++changed;
        if (!RememberWholeFile(undo, path)) return -1;
        if (entries.empty()) {
            if (!RemoveFileWithUndo(undo, path)) return -1;
        } else if (!WriteIndexFile(path, entries)) {
            return -1;
        }
    }
    return changed;
}
