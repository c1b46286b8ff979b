// Meteor showers: the packaged table "showers.bin" of the first
// reference-catalogue folder, the date of a shower's peak from the Sun's
// longitude, the scan of the peaks that fall in a period, whether the radiant
// can be seen well on some night of the shower, and the finder that stores
// one event per peak.
#pragma once
#include <cstdint>
#include <cstdio>

#include "astro/datetime.h"
#include "events/eventrecord.h"
#include "sites/horizon.h"

const int kShowerNameSize = 25;

#pragma pack(push, 1)
struct ShowerRecord {
    char name[kShowerNameSize];  // 0  NUL-terminated (forced on reading)
    int32_t startMonth;          // 25
    int32_t startDay;            // 29
    int32_t endMonth;            // 33
    int32_t endDay;              // 37
    double peakLongitude;        // 41 the Sun's ecliptic longitude at the peak (rad, J2000.0)
    double radiantRa;            // 49 rad, J2000
    double radiantDec;           // 57 rad
    int32_t zhr;                 // 65 zenithal hourly rate
};
#pragma pack(pop)
static_assert(sizeof(ShowerRecord) == 69, "ShowerRecord is 69 bytes");

struct ShowerScan {
    double start, end;      // Julian dates (UT)
    int32_t record;         // current record number
    int32_t lastRead;       // record number last read, -1 at first
    int32_t count;
    int32_t year, firstYear, lastYear;
    std::FILE *file;
    ShowerRecord current;
};

// "showers.bin" open "rb" and positioned after the count, which is checked
// against the bytes present (a count beyond them is cut to the whole records
// there). Null when the file cannot be opened or the count cannot be read.
std::FILE *OpenShowerTable(int32_t *count);
// Record n of the open table, its name terminated: 1, 0 on failure.
int ReadShowerRecord(std::FILE *file, int32_t n, ShowerRecord *record);
// The peak after the start of the shower's activity in that year (UT, no
// site): the Sun's longitude referred to J2000.0 meets the peak longitude,
// approached by the shorter way round. Returns the passes made (1-50).
int ComputeShowerPeak(const ShowerRecord *record, int year, DateRecord *peak);
// Record n and its peak in that year: the passes (above 0), 0 when the record
// cannot be read.
int GetShowerPeak(int32_t n, int year, ShowerRecord *record, DateRecord *peak);
// 1, 0 without the table.
int BeginShowerScan(ShowerScan *scan, const DateRecord *start, double span);
// 1 a peak inside the period, 0 no more (the file is closed), -1 a record
// cannot be read (the file is closed). Activity windows that wrap into the
// next year are tested from both years they touch.
int NextShowerPeak(ShowerScan *scan, ShowerRecord *record, DateRecord *peak, int32_t *number);
// Closes the scan's file (NextShowerPeak does at its end).
void EndShowerScan(ShowerScan *scan);
// 1 when on some night of the shower's window in that year the radiant, at
// its best time of the night, passes the sky-condition and time-window
// filters of the header's criteria with that number.
int IsShowerWellPlaced(const EventFileHeader *header, const HorizonRow *horizon, int year,
                       const ShowerRecord *record, int criteriaNumber);
// One event (kind 0, code 100) per peak in the period, inserted with the
// limit flag. Returns the number added.
int FindShowerPeaks(EventFileHeader *header, std::FILE *eventFile, const HorizonRow *horizon,
                    const DateRecord *start, double span, int criteriaNumber);
