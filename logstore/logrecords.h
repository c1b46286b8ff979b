// The records of the observing-log store: the 330,625-byte LogEntry at the
// head of every entry file, the 330,599-byte LogSummary row of the per-object
// summary files and the 12-byte LogIndexEntry of the six index kinds. They are
// written and read whole, little-endian and packed, so their layouts are file
// formats. Both large records are about 330 KB: never keep one on the stack.
#pragma once
#include <cstddef>
#include <cstdint>
#include "astro/datetime.h"
#include "astro/location.h"
#include "instruments/instrumentrecord.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"

const int kLogConditionsSize = 128;
const int kLogDesignationSize = 65;

#pragma pack(push, 1)
struct LogEntry {
    uint8_t reserved0[2];         // 0       zero
    uint8_t version[3];           // 2       3, 1, 'f' (stamp version 3106 with bytes 0-1)
    double julianDate;            // 5       observation, UT
    LocationRecord site;          // 13      name at entry offset 146
    LocationTrailer trailer;      // 179
    uint8_t objectClass;          // 182
    int32_t catalogueIndex;       // 183     without the user bit
    uint32_t categoryBits;        // 187     choose the class folder
    char designation[kLogDesignationSize];  // 191  at most 63 characters
    ObserverRecord observer;      // 256
    InstrumentRecord instrument;  // 340     name at entry offset 330,332
    char conditions[kLogConditionsSize];    // 330,492  not terminated at 128 characters
    uint8_t reserved330620;       // 330,620 zero
    int32_t notesLength;          // 330,621 notes bytes including the NUL; 1 = none
};

struct LogSummary {
    int32_t logNumber;            // 0
    uint8_t objectBytes[74];      // 4       entry bytes 182-255
    DateRecord date;              // 78      julian date at row offset 108
    LocationRecord site;          // 196     name at row offset 329
    ObserverRecord observer;      // 362
    InstrumentRecord instrument;  // 446     name at row offset 330,438
    uint8_t constellation;        // 330,598 0-88, 255 none
};

struct LogIndexEntry {
    int32_t key;                  // catalogue index | 0x40000000 for a user-defined object
    int32_t classFolder;          // 0-12
    int32_t logNumber;
};
#pragma pack(pop)

static_assert(sizeof(LogEntry) == 330625, "LogEntry is 330,625 bytes");
static_assert(offsetof(LogEntry, julianDate) == 5, "layout");
static_assert(offsetof(LogEntry, site) == 13, "layout");
static_assert(offsetof(LogEntry, trailer) == 179, "layout");
static_assert(offsetof(LogEntry, objectClass) == 182, "layout");
static_assert(offsetof(LogEntry, catalogueIndex) == 183, "layout");
static_assert(offsetof(LogEntry, categoryBits) == 187, "layout");
static_assert(offsetof(LogEntry, designation) == 191, "layout");
static_assert(offsetof(LogEntry, observer) == 256, "layout");
static_assert(offsetof(LogEntry, instrument) == 340, "layout");
static_assert(offsetof(LogEntry, conditions) == 330492, "layout");
static_assert(offsetof(LogEntry, notesLength) == 330621, "layout");
static_assert(sizeof(LogSummary) == 330599, "LogSummary is 330,599 bytes");
static_assert(offsetof(LogSummary, date) == 78, "layout");
static_assert(offsetof(LogSummary, site) == 196, "layout");
static_assert(offsetof(LogSummary, observer) == 362, "layout");
static_assert(offsetof(LogSummary, instrument) == 446, "layout");
static_assert(offsetof(LogSummary, constellation) == 330598, "layout");
static_assert(sizeof(LogIndexEntry) == 12, "LogIndexEntry is 12 bytes");

// Row offsets of the fields the duplicate test reads without loading a row.
const long kSummaryJulianDateOffset = 108;
const long kSummarySiteNameOffset = 329;
const long kSummaryObserverNameOffset = 362;
const long kSummaryInstrumentNameOffset = 330438;
