// Completed date records and local calendar dates for the event searches.
#include "events/eventdates.h"

#include <cstring>

#include "astro/sidereal.h"

void SetCompletedDate(const LocationRecord *site, double julianDate, DateRecord *record) {
    std::memset(record, 0, sizeof *record);
    record->julianDate = julianDate;
    SetDateRecordFromJulianDate(site, record);
    ComputeDeltaTAndNutation(record, 0.0);
    if (site) ComputeSiderealTimes(site, record);
}

int LocalDateKey(const LocationRecord *site, double julianDate) {
    DateRecord d;
    std::memset(&d, 0, sizeof d);
    d.julianDate = julianDate;
    SetDateRecordFromJulianDate(site, &d);
    return d.year * 10000 + d.month * 100 + d.day;
}
