// Searching the observing log for objects whose entries match a filter of
// nights, classes, observers, sites, instruments and constellations.
#pragma once
#include <cstdint>

const uint8_t kLogNotSelected = 0xff;
const int kLogNameRowSize = 65;

// A selection made in a list: for classes each value is a class folder
// number or kLogNotSelected; for constellations each value is an accepted
// constellation number; for observers, sites and instruments value i belongs
// to the i-th name of that index folder's scan (byte order), selected unless
// kLogNotSelected.
struct LogSelection {
    int32_t itemCount = 0;
    int32_t selectedCount = 0;
    uint8_t *values = nullptr;
};

struct LogNameRow {
    char name[kLogNameRowSize];
};

struct LogFilter {
    LogSelection classes;         // shares the caller's value array
    LogSelection constellations;  // shares the caller's value array
    LogNameRow *observers = nullptr;
    LogNameRow *sites = nullptr;
    LogNameRow *instruments = nullptr;
    int32_t observerCount = 0, siteCount = 0, instrumentCount = 0;
    int32_t firstYear = 0, firstMonth = 0, firstDay = 0;
    int32_t lastYear = 0, lastMonth = 0, lastDay = 0;
};

#pragma pack(push, 1)
// Bytes 4-77 of a summary row: class code, catalogue index (with 0x40000000
// for a user-defined object in search results), category bits, designation.
struct LogObjectRef {
    uint8_t objectClass;
    int32_t catalogueIndex;
    uint32_t categoryBits;
    char designation[65];
};
#pragma pack(pop)
static_assert(sizeof(LogObjectRef) == 74, "LogObjectRef is 74 bytes");

// Allocates itemCount values (contents left to the caller). 1, or 0.
int InitLogSelection(LogSelection *selection, int32_t itemCount, int32_t selectedCount);
void FreeLogSelection(LogSelection *selection);
// Copies the selections and dates and builds the three name tables from the
// index folder scans. 1, or 0 (nothing held) when a scan fails or the number
// of names scanned is not the selection's item count (the folder changed
// since the selection was made).
int BuildLogFilter(LogFilter *filter, int firstYear, int firstMonth, int firstDay, int lastYear,
                   int lastMonth, int lastDay, const LogSelection *classes, const LogSelection *observers,
                   const LogSelection *sites, const LogSelection *instruments,
                   const LogSelection *constellations);
void FreeLogFilter(LogFilter *filter);
// Each object of the selected classes with an entry that passes every part of
// the filter, once, with the number of its first passing entry in row order.
// The arrays are allocated with new[] for the caller (null when nothing was
// found). 1 when something was found, else 0. Reads only: no file is made.
int SearchLog(const LogFilter *filter, LogObjectRef **objects, int32_t **numbers, int32_t *count);
