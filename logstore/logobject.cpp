// The object services of the log store (see logobject.h).
#include "logstore/logobject.h"

#include <cstdio>
#include <cstring>

#include "astro/sidereal.h"

#include "objects/buildrecord.h"
#include "objects/objectnames.h"
#include "photometry/extinction.h"

namespace {
LogObjectRefreshFn g_refresh = nullptr;
LogObjectNameFn g_name = nullptr;

// The object's first designation in the natural order of its catalogues.
int NameByFirstDesignation(const ObjectRecord *record, char *name, int size) {
    char first[65];
    if (!FormatObjectName(record, first, nullptr, nullptr, nullptr, nullptr)) return 0;
    std::snprintf(name, (size_t)size, "%s", first);
    return 1;
}
}  // namespace

void SetLogObjectServices(LogObjectRefreshFn refresh, LogObjectNameFn name) {
    g_refresh = refresh;
    g_name = name;
}

void RefreshLogObject(ObjectRecord *record, const LocationRecord *site, const DateRecord *date,
                      double extinction) {
    if (!record) return;
    (g_refresh ? g_refresh : RefreshObjectRecord)(record, 0.0, site, date, extinction);
}

int NameLogObject(const ObjectRecord *record, char *name, int size) {
    if (!record || !name || size <= 0) return 0;
    name[0] = 0;
    int ok = (g_name ? g_name : NameByFirstDesignation)(record, name, size);
    name[size - 1] = 0;
    return ok && name[0] ? 1 : 0;
}

void RefreshEntryObject(const LogEntry *entry, DateRecord *date, ObjectRecord *object) {
    std::memset(date, 0, sizeof *date);
    date->julianDate = entry->julianDate;
    SetDateRecordFromJulianDate(&entry->site, date);
    ComputeDeltaTAndNutation(date, 0.0);
    ComputeSiderealTimes(&entry->site, date);
    double extinction = ComputeVisualExtinction(date->month, entry->site.temperature, entry->site.humidity,
                                                entry->site.latitude, entry->site.elevation);
    ClearObjectRecord(object);
    std::memcpy(&object->index, &entry->catalogueIndex, 4);
    object->objectClass = entry->objectClass;
    std::memcpy(&object->categoryBits, &entry->categoryBits, 4);
    RefreshLogObject(object, &entry->site, date, extinction);
}
