// The chart definitions store, the default chart files and the sort.
#include "charts/chartstore.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "core/datapaths.h"
#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/storelock.h"
#include "core/userfolder.h"
#include "instruments/instrumentstore.h"
#include "instruments/storeio.h"

namespace {

int64_t ChartOffset(int index) { return kChartHeaderSize + (int64_t)index * kChartRecordSize; }

// Positioned reads and writes through the crash-safe layer's wrappers, so
// that its test seam can fail every step; writes are flushed.
int ReadAt(FILE *f, int64_t offset, void *data, size_t n) {
    return SafeSeek(f, offset) && SafeRead(data, 1, n, f) == n ? 1 : 0;
}
int WriteAt(FILE *f, int64_t offset, const void *data, size_t n) {
    return SafeSeek(f, offset) && SafeWriteAll(f, data, n) && SafeFlush(f) ? 1 : 0;
}

// The stored count, refused when the file is too short to hold that many
// records: a damaged count must not make an append write far beyond the end
// (a file of a gigabyte) nor a sort allocate for records that are not there.
int ReadCount(FILE *f, int32_t *count) {
    uint8_t b[2];
    if (!ReadAt(f, 0, b, 2)) return 0;
    int32_t n = b[0] | (b[1] << 8);
    int64_t size = StreamSize(f);
    if (size < 0 || ChartOffset(n) > size) return 0;
    *count = n;
    return 1;
}
int WriteCount(FILE *f, int count) {
    uint8_t b[2] = {(uint8_t)(count & 0xFF), (uint8_t)((count >> 8) & 0xFF)};
    return WriteAt(f, 0, b, 2);
}

std::string UserPath(const char *name) {
    char path[1024];
    if (!MakeUserDataPath(path, (int)sizeof path, name)) return std::string();
    return path;
}

// The writer's lock of charts.bin, which another program of the suite may
// write while this one runs. Every change takes it for the whole change and
// reads the count again under it (never one read before), from the file
// itself: the stream's buffered bytes may be another writer's old ones.
int LockChartStore(FILE *store, StoreLock *lock) {
    std::string path = UserPath("charts.lock");
    if (path.empty() || !AcquireStoreLock(path, lock)) return 0;
    return !store || std::fflush(store) == 0 ? 1 : 0;
}

const char *const kDefaultChartFiles[3] = {"dc_scope.bin", "dc_binocs.bin", "dc_2view.bin"};
const char *const kDefaultChartNames[3] = {"Telescope", "Binocular", "Context"};

}  // namespace

int CreateChartStore() {
    StoreLock lock;
    if (!LockChartStore(nullptr, &lock)) return 0;
    std::string path = UserPath("charts.bin");
    const uint8_t zero[2] = {0, 0};
    return !path.empty() && WriteWholeFileSafely(path.c_str(), zero, 2) ? 1 : 0;
}

FILE *OpenChartStore(int32_t *count) {
    if (!count) return nullptr;
    if (!UserDataFileExists("charts.bin")) {
        char install[kPathLineSize];
        char target[1024];
        if (!ReadInstallPath(kSuiteGeneration, install) || !MakeUserDataPath(target, (int)sizeof target, "charts.bin"))
            return nullptr;
        std::string source = std::string(install) + "/charts.bin";
        if (CopyFileSafely(source.c_str(), target) != 1) return nullptr;
    }
    FILE *f = SafeOpen(UserPath("charts.bin").c_str(), "r+b");
    if (!f) return nullptr;
    if (!ReadCount(f, count)) {
        std::fclose(f);
        return nullptr;
    }
    return f;
}

FILE *OpenChartFile(const char *path, int32_t *count) {
    if (!path || !count) return nullptr;
    FILE *f = SafeOpen(path, "rb");
    if (!f) return nullptr;
    if (!ReadCount(f, count)) {
        std::fclose(f);
        return nullptr;
    }
    return f;
}

int ReadChart(FILE *store, ChartDefinition *record, int index) {
    if (!store || !record || index < 0) return 0;
    if (!ReadAt(store, ChartOffset(index), record, sizeof *record)) return 0;
    record->name[sizeof record->name - 1] = 0;
    return 1;
}

int WriteChart(FILE *store, const ChartDefinition *record, int index) {
    int32_t n = 0;
    StoreLock lock;
    if (!store || !record || index < 0 || !LockChartStore(store, &lock) || !ReadCount(store, &n) || index >= n) return 0;
    return WriteAt(store, ChartOffset(index), record, sizeof *record);
}

int AppendChart(FILE *store, const ChartDefinition *record) {
    int32_t n = 0;
    StoreLock lock;
    if (!store || !record || !LockChartStore(store, &lock) || !ReadCount(store, &n) || n >= 0xFFFF) return 0;
    if (!WriteAt(store, ChartOffset(n), record, sizeof *record)) return 0;
    return WriteCount(store, n + 1);
}

int DeleteChart(FILE *store, int index) {
    int32_t n = 0;
    StoreLock lock;
    if (!store || index < 0 || !LockChartStore(store, &lock) || !ReadCount(store, &n) || index >= n) return 0;
    std::unique_ptr<ChartDefinition> r(new (std::nothrow) ChartDefinition);
    if (!r) return 0;
    for (int i = index + 1; i < n; ++i) {
        if (!ReadAt(store, ChartOffset(i), r.get(), sizeof *r)) return 0;
        if (!WriteAt(store, ChartOffset(i - 1), r.get(), sizeof *r)) return 0;
    }
    return WriteCount(store, n - 1);
}

int ReadDefaultChart(int type, ChartDefinition *record) {
    if (type < 0 || type > 2 || !record) return 0;
    FILE *f = SafeOpen(UserPath(kDefaultChartFiles[type]).c_str(), "rb");
    if (!f) return 0;
    bool ok = SafeRead(record, 1, sizeof *record, f) == sizeof *record;
    SafeClose(f);
    if (ok) record->name[sizeof record->name - 1] = 0;
    return ok ? 1 : 0;
}

int WriteDefaultChart(int type, const ChartDefinition *record) {
    if (type < 0 || type > 2 || !record) return 0;
    std::unique_ptr<ChartDefinition> copy(new (std::nothrow) ChartDefinition);
    if (!copy) return 0;
    std::memcpy(copy.get(), record, sizeof *copy);
    std::memset(copy->name, 0, sizeof copy->name);
    std::snprintf(copy->name, sizeof copy->name, "%s", kDefaultChartNames[type]);
    std::string path = UserPath(kDefaultChartFiles[type]);
    return !path.empty() && WriteWholeFileSafely(path.c_str(), copy.get(), sizeof *copy) ? 1 : 0;
}

int ApplyChartTemplate(FILE *store, const ChartDefinition *tmpl, int instrumentId, int firstView,
                       int endView, int count) {
    if (!store || !tmpl || firstView < 0 || endView > 3) return 0;
    StoreLock lock;
    if (!LockChartStore(store, &lock)) return 0;
    std::unique_ptr<ChartDefinition> r(new (std::nothrow) ChartDefinition);
    if (!r) return 0;
    for (int i = 0; i < count; ++i) {
        if (!ReadChart(store, r.get(), i)) return 0;
        if (r->instrumentId != (uint8_t)instrumentId) continue;
        std::memcpy(r->name, tmpl->name, sizeof r->name);
        if (tmpl->eyepieceChoice == 255) r->eyepieceChoice = 255;
        for (int v = firstView; v < endView; ++v) {
            ChartView &to = r->views[v];
            const ChartView &from = tmpl->views[v];
            to.role = from.role;
            to.limitingMagnitude = from.limitingMagnitude;
            to.field = from.field;
            to.fieldCircle = from.fieldCircle;
            to.leftRight = from.leftRight;
            to.upDown = from.upDown;
            if (v == 1) {
                to.layerTable[kLayerSwitchesOffset] |= from.layerTable[kLayerSwitchesOffset] & 0x10;
                r->scheme[kSchemeByte6916] |= tmpl->scheme[kSchemeByte6916] & 0x80;
            }
        }
        return WriteChart(store, r.get(), i);
    }
    return 0;
}

namespace {

// General charts are told by their first view's role; their key orders them.
int GeneralChartKey(const ChartDefinition &c) {
    switch (c.views[0].role) {
    case 0: return 200;
    case 1: return 201;
    case 2: return c.viewCount == 1 ? 202 : -1;
    case 5: return 203;
    default: return -1;
    }
}

struct SortItem {
    int generalKey;   // 200..203, or -1 for an instrument chart
    int kind;         // instrument kind, 3 when the instrument is gone
    int place;        // index in instr.bin
    int original;     // stable order for equal keys
};

}  // namespace

int SortChartsWithInstruments(FILE *instrumentStore) {
    int32_t n = 0;
    StoreLock lock;
    if (!LockChartStore(nullptr, &lock)) return 0;
    FILE *store = OpenChartStore(&n);
    if (!store) return 0;
    StoreFilePtr closer(store);
    std::vector<ChartDefinition> charts;
    try {
        charts.resize((size_t)n);
    } catch (...) {
        return 0;
    }
    for (int i = 0; i < n; ++i)
        if (!ReadChart(store, &charts[(size_t)i], i)) return 0;
    for (int i = 0; i < n; ++i) {
        ChartDefinition &c = charts[(size_t)i];
        if (i == 1) c.views[0].flag = 3;
        if (i == 2) c.views[0].flag = 1;
        if (i >= 3) {
            c.views[0].flag = 1;
            if (c.viewCount == 2) {
                c.views[1].flag = 1;
                c.views[1].role = 4;
            } else {
                c.views[1].flag = 1;
                c.views[1].role = 3;
                c.views[2].flag = 1;
                c.views[2].role = 4;
            }
        }
    }
    StoreFilePtr ownInstruments;
    if (!instrumentStore) {
        int32_t ni = 0;
        ownInstruments.reset(OpenInstrumentFile(&ni));
        instrumentStore = ownInstruments.get();
        // An instrument store that is there but cannot be read would sort
        // every instrument's charts as if it had none: no sort then.
        if (!instrumentStore && FileExists(UserPath("instr.bin").c_str())) return 0;
    }
    std::unique_ptr<InstrumentRecord> inst(new (std::nothrow) InstrumentRecord);
    if (!inst) return 0;
    std::vector<SortItem> items((size_t)n);
    for (int i = 0; i < n; ++i) {
        SortItem &it = items[(size_t)i];
        it.generalKey = GeneralChartKey(charts[(size_t)i]);
        it.original = i;
        it.kind = 3;
        it.place = 0x10000;
        if (it.generalKey < 0 && instrumentStore) {
            int found = FindInstrumentById(instrumentStore, inst.get(), charts[(size_t)i].instrumentId);
            if (found < 0) return 0;  // an unreadable store would misplace the charts
            if (found) {
                it.kind = inst->kind;
                it.place = found - 1;
            }
        }
    }
    std::stable_sort(items.begin(), items.end(), [](const SortItem &a, const SortItem &b) {
        bool ga = a.generalKey >= 0, gb = b.generalKey >= 0;
        if (ga != gb) return ga;
        if (ga) return a.generalKey < b.generalKey;
        if (a.kind != b.kind) return a.kind < b.kind;
        return a.place < b.place;
    });
    // The sorted store is written whole beside the old one and put in its
    // place in one step: rewriting the records in place would lose some and
    // repeat others if a write failed part-way.
    std::string bytes;
    try {
        bytes.reserve((size_t)kChartHeaderSize + (size_t)n * kChartRecordSize);
    } catch (...) {
        return 0;
    }
    bytes.push_back((char)(n & 0xFF));
    bytes.push_back((char)((n >> 8) & 0xFF));
    for (int i = 0; i < n; ++i)
        bytes.append((const char *)&charts[(size_t)items[(size_t)i].original], kChartRecordSize);
    ownInstruments.reset();
    closer.reset();
    return WriteWholeFileSafely(UserPath("charts.bin").c_str(), bytes.data(), bytes.size());
}

int SortCharts() { return SortChartsWithInstruments(nullptr); }

int ChartStoreHasInstrument(int instrumentId) {
    if (instrumentId < 0 || instrumentId > 255) return 0;
    int32_t n = 0;
    StoreFilePtr store(OpenChartStore(&n));
    if (!store) return 0;
    std::unique_ptr<ChartDefinition> r(new (std::nothrow) ChartDefinition);
    if (!r) return 0;
    // Records 0-3 are the general charts; their byte 97 names no instrument.
    for (int i = kGeneralChartCount; i < n; ++i) {
        if (!ReadChart(store.get(), r.get(), i)) return 0;
        if (r->instrumentId == instrumentId) return 1;
    }
    return 0;
}
