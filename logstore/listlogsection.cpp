// The log store's part in observing-list transfers and refreshes (see
// listlogsection.h).
#include "logstore/listlogsection.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <cstring>

#include "astro/location.h"
#include "logstore/logexchange.h"

namespace {

// The neutral site under which a list's entries are exported.
const double kNeutralLimit = 6.5;
const double kNeutralTemperature = 18.3;
const double kNeutralHumidity = 60.0;
const int kNeutralSeeingRating = 2;
const double kUnixEpochJulianDate = 2440587.5;
const double kSecondsPerDay = 86400.0;
const int32_t kAllEntries = -1;

int ExportEntries(FILE *file, const ObjectRecord *object) {
    LocationRecord site;
    InitLocationRecord(&site, 0.0, 0.0, 0.0, kNeutralLimit, 0.0, kNeutralTemperature, kNeutralHumidity,
                       kNeutralSeeingRating, 0.0, 0.0, "zero");
    DateRecord now;
    std::memset(&now, 0, sizeof now);
    now.julianDate = kUnixEpochJulianDate + (double)std::time(nullptr) / kSecondsPerDay;
    SetDateRecordFromJulianDate(nullptr, &now);
    int written = ExportObjectLogEntries(file, &site, &now, object, kAllEntries, nullptr);
    if (written < 0 || !WriteExportEndMarker(file)) return -1;
    return written;
}

// The import stops before the section's end marker, which follows here.
int ImportEntries(FILE *file, int sourceVersion) {
    int taken = ImportLogEntries(file, sourceVersion, 0, nullptr);
    int32_t marker = -1;
    if (taken < 0 || std::fread(&marker, sizeof marker, 1, file) != 1 || marker != 0) return -1;
    return taken;
}

int IsLogged(void *context, const LocationRecord *site, const DateRecord *date, ObjectRecord *item) {
    return IsObjectLogged(static_cast<const LoggedKeySet *>(context), site, date, item);
}

const ListLogSection kSection = {ExportEntries, ImportEntries};

}  // namespace

const ListLogSection *LogStoreListSection() { return &kSection; }

LoggedListQuery::~LoggedListQuery() {
    if (loaded) FreeLoggedObjectKeys(&keys);
}

int BeginLoggedListQuery(LoggedListQuery *source, ListLoggedQuery *query) {
    if (!source || !query) return 0;
    if (source->loaded) FreeLoggedObjectKeys(&source->keys);
    source->loaded = LoadLoggedObjectKeys(&source->keys) != 0;
    if (!source->loaded) return 0;
    query->isLogged = IsLogged;
    query->context = &source->keys;
    return 1;
}
