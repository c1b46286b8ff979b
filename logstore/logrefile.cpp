// Refiling an edited entry's object in the night, constellation, observer,
// instrument and site indexes.
#include "logstore/logrefile.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "astro/sidereal.h"
#include "core/textutil.h"
#include "logstore/logindex.h"
#include "logstore/logobject.h"
#include "logstore/logpaths.h"
#include "objects/categories.h"
#include "photometry/extinction.h"

namespace {

enum Kind { kNight, kConstellation, kObserver, kInstrument, kLocation };

// Which index file: a night (yyyymmdd), a constellation, or a name.
struct IndexKey {
    int value = -1;
    std::string name;
};

// The object of the entry rebuilt for a time at a site.
void RebuildObject(const LogEntry *entry, const LocationRecord *site, double jd, ObjectRecord *object) {
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.julianDate = jd;
    SetDateRecordFromJulianDate(site, &date);
    ComputeDeltaTAndNutation(&date, 0.0);
    ComputeSiderealTimes(site, &date);
    double k = ComputeVisualExtinction(date.month, site->temperature, site->humidity, site->latitude,
                                       site->elevation);
    ClearObjectRecord(object);
    std::memcpy(&object->index, &entry->catalogueIndex, 4);
    object->objectClass = entry->objectClass;
    std::memcpy(&object->categoryBits, &entry->categoryBits, 4);
    RefreshLogObject(object, site, &date, k);
}

int NightValue(const LocationRecord *site, double jd) {
    int y = 0, m = 0, d = 0;
    GetNightOfObservation(site, jd, &y, &m, &d);
    return y * 10000 + m * 100 + d;
}

std::string IndexPath(Kind kind, const IndexKey &key) {
    switch (kind) {
    case kNight:
        return NightIndexPath(key.value / 10000, key.value / 100 % 100, key.value % 100);
    case kConstellation:
        return ConstellationIndexPath(key.value);
    case kObserver:
        return ObserverIndexPath(key.name.c_str());
    case kInstrument:
        return InstrumentIndexPath(key.name.c_str());
    default:
        return LocationIndexPath(key.name.c_str());
    }
}

void DeleteIfEmpty(Kind kind, const IndexKey &key) {
    switch (kind) {
    case kNight:
        DeleteNightIndexIfEmpty(key.value / 10000, key.value / 100 % 100, key.value % 100);
        break;
    case kConstellation:
        DeleteConstellationIndexIfEmpty(key.value);
        break;
    case kObserver:
        DeleteObserverIndexIfEmpty(key.name.c_str());
        break;
    case kInstrument:
        DeleteInstrumentIndexIfEmpty(key.name.c_str());
        break;
    default:
        DeleteLocationIndexIfEmpty(key.name.c_str());
    }
}

bool KeyUsable(Kind kind, const IndexKey &key) {
    if (kind == kConstellation) return key.value >= 0 && key.value <= 88;
    if (kind == kNight) return key.value > 0;
    return !key.name.empty();
}

// The last log number, other than the edited one, of the object's summary rows
// that belong to the index; -1 when none.
int32_t OtherEntryInIndex(const LogEntry *entry, int32_t logNumber, Kind kind, const IndexKey &key) {
    int32_t count = 0;
    FILE *f = OpenObjectFile(static_cast<int32_t>(entry->categoryBits), entry->catalogueIndex,
                             IsUserObjectClass(entry->objectClass), &count);
    if (!f) return -1;
    std::setvbuf(f, nullptr, _IONBF, 0);
    int32_t found = -1;
    for (int32_t i = 0; i < count; ++i) {
        long row = 4L + static_cast<long>(i) * static_cast<long>(sizeof(LogSummary));
        int32_t number = -1;
        if (std::fseek(f, row, SEEK_SET) != 0 || std::fread(&number, 4, 1, f) != 1) break;
        if (number == logNumber) continue;
        bool belongs = false;
        if (kind == kNight) {
            LocationRecord site;
            double jd = 0;
            if (std::fseek(f, row + 108, SEEK_SET) != 0 || std::fread(&jd, 8, 1, f) != 1 ||
                std::fseek(f, row + 196, SEEK_SET) != 0 || std::fread(&site, sizeof site, 1, f) != 1)
                break;
            belongs = NightValue(&site, jd) == key.value;
        } else if (kind == kConstellation) {
            uint8_t c = 255;
            if (std::fseek(f, row + 330598, SEEK_SET) != 0 || std::fread(&c, 1, 1, f) != 1) break;
            belongs = c == key.value;
        } else {
            long offset = kind == kObserver ? 362 : kind == kInstrument ? 330438 : 329;
            size_t size = kind == kObserver ? 64 : kind == kInstrument ? 32 : 33;
            char name[65] = {0};
            if (std::fseek(f, row + offset, SEEK_SET) != 0 || std::fread(name, size, 1, f) != 1) break;
            name[size - 1] = 0;
            belongs = CompareStringsNoCase(name, key.name.c_str()) == 0;
        }
        if (belongs) found = number;
    }
    std::fclose(f);
    return found;
}

int Refile(const LogEntry *entry, int32_t logNumber, Kind kind, const IndexKey &oldKey,
           const ObjectRecord *oldObject, const IndexKey &newKey, const ObjectRecord *newObject) {
    if (KeyUsable(kind, oldKey)) {
        std::string path = IndexPath(kind, oldKey);
        if (path.empty()) return 0;
        // The object stays under another of its entries that still belongs to
        // the old index, or goes out (absent already: nothing to take out).
        std::vector<LogIndexEntry> entries;
        if (!ReadIndexFile(path, &entries)) return 0;
        LogIndexEntry wanted = {MakeObjectKey(oldObject), ObjectClassFolder(oldObject), 0};
        bool present = false;
        for (const LogIndexEntry &e : entries)
            if (e.key == wanted.key && e.classFolder == wanted.classFolder) present = true;
        int32_t other = OtherEntryInIndex(entry, logNumber, kind, oldKey);
        if (other >= 0 && !InsertIndexEntry(path, oldObject, other)) return 0;
        if (other < 0 && present && !EraseIndexEntry(path, oldObject)) return 0;
        DeleteIfEmpty(kind, oldKey);
    }
    if (!KeyUsable(kind, newKey)) return kind == kConstellation ? 1 : 0;  // no known constellation
    std::string path = IndexPath(kind, newKey);
    return path.empty() ? 0 : InsertIndexEntry(path, newObject, logNumber);
}

}  // namespace

int RefileEntryNight(const LogEntry *entry, int32_t logNumber, double oldJulianDate,
                     const LocationRecord *oldSite) {
    if (!entry || logNumber < 0) return 0;
    std::unique_ptr<ObjectRecord> object(new ObjectRecord);
    RebuildObject(entry, &entry->site, entry->julianDate, object.get());
    IndexKey oldKey, newKey;
    oldKey.value = NightValue(oldSite ? oldSite : &entry->site, oldJulianDate);
    newKey.value = NightValue(&entry->site, entry->julianDate);
    return Refile(entry, logNumber, kNight, oldKey, object.get(), newKey, object.get());
}

int RefileEntryConstellation(const LogEntry *entry, int32_t logNumber, double oldJulianDate) {
    if (!entry || logNumber < 0) return 0;
    std::unique_ptr<ObjectRecord> before(new ObjectRecord), now(new ObjectRecord);
    RebuildObject(entry, &entry->site, oldJulianDate, before.get());
    RebuildObject(entry, &entry->site, entry->julianDate, now.get());
    IndexKey oldKey, newKey;
    oldKey.value = before->constellation <= 88 ? before->constellation : -1;
    newKey.value = now->constellation <= 88 ? now->constellation : -1;
    return Refile(entry, logNumber, kConstellation, oldKey, before.get(), newKey, now.get());
}

static int RefileByName(const LogEntry *entry, int32_t logNumber, int kind, const char *oldName,
                        const char *newName) {
    if (!entry || logNumber < 0) return 0;
    std::unique_ptr<ObjectRecord> object(new ObjectRecord);
    RebuildObject(entry, &entry->site, entry->julianDate, object.get());
    IndexKey oldKey, newKey;
    oldKey.name = oldName ? oldName : "";
    newKey.name = newName ? newName : "";
    return Refile(entry, logNumber, static_cast<Kind>(kind), oldKey, object.get(), newKey, object.get());
}

int RefileEntryObserver(const LogEntry *entry, int32_t logNumber, const char *oldObserver) {
    char name[64] = {0};
    if (oldObserver) std::snprintf(name, sizeof name, "%s", oldObserver);
    return entry ? RefileByName(entry, logNumber, kObserver, name, entry->observer.name) : 0;
}

int RefileEntryInstrument(const LogEntry *entry, int32_t logNumber, const InstrumentRecord *oldInstrument) {
    char name[32] = {0};
    if (oldInstrument) std::memcpy(name, oldInstrument->name, 31);
    return entry ? RefileByName(entry, logNumber, kInstrument, name, entry->instrument.name) : 0;
}

int RefileEntryLocation(const LogEntry *entry, int32_t logNumber, const LocationRecord *oldSite) {
    char name[33] = {0};
    if (oldSite) std::memcpy(name, oldSite->name, 32);
    return entry ? RefileByName(entry, logNumber, kLocation, name, entry->site.name) : 0;
}
