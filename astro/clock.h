// The computer's own clock and time zone linked to date records: "now" at a
// site, the zone offset, setting the computer's clock from a record, a
// tick-count timer, and short texts of dates, times and durations.
//
// The platform reads (clock, zone, ticks) and the clock setting are in
// clock_win.cpp (Windows) and clock_native.cpp (other systems); everything
// else here is portable and takes the readings as values.
#pragma once
#include <cstddef>
#include <cstdint>

struct DateRecord;
struct LocationRecord;

// A calendar date and clock time as the computer keeps it.
struct ComputerClockReading {
    int year;
    int month;   // 1..12
    int day;
    int hour;
    int minute;
    int second;
    int millisecond;
};

// The computer's time-zone settings: biases in minutes, UT = local + bias.
struct ComputerZoneReading {
    int valid;                // 0 when the zone could not be read
    int biasMinutes;          // standard zone, minutes west of UT
    int standardBiasMinutes;  // added to biasMinutes outside daylight time
    int daylightBiasMinutes;  // added to biasMinutes during daylight time (often -60)
    int daylightActive;       // the zone reports daylight time in effect now
    int daylightRuleMonth;    // month of the daylight-time rule, 0 for none
};

// ---- platform reads (clock_win.cpp / clock_native.cpp) -----------------------
// Each returns 1 on success, 0 on failure (the output is then zeroed).
int ReadComputerLocalClock(ComputerClockReading *reading);
int ReadComputerTimeZone(ComputerZoneReading *zone);
uint32_t ReadComputerTickCount();
// Sets the computer's local clock; the platform's result (non-zero on success).
// Needs the system-time privilege: a normal account gets 0.
int WriteComputerLocalClock(const ComputerClockReading *reading);

// ---- pure logic ---------------------------------------------------------------

// 1 when the zone reports daylight time in effect, has a daylight rule and a
// non-zero daylight bias.
int IsDaylightSavingActiveInZone(const ComputerZoneReading *zone);
// Hours to add to the computer's local clock time to get UT, from the zone's
// full bias in minutes (so half- and quarter-hour zones and daylight biases
// other than 1 h count exactly). 0 for an unread zone.
double ComputeTimeZoneBiasHours(const ComputerZoneReading *zone);
// Fills the record for a local clock reading of the computer whose local time
// is UT - biasHours, in the site's own civil time (UT without a site).
void SetDateRecordFromComputerClock(const LocationRecord *site, DateRecord *record,
                                    const ComputerClockReading *clock, double biasHours);
// The clock setting for the record's local date and hours: hour, minute and
// second truncated, milliseconds rounded; 1000 ms carry into the second and on
// through minute, hour, day, month and year.
void ComputeClockSettingFromRecord(const DateRecord *record, ComputerClockReading *setting);
// Milliseconds from start to now across a wrap of the 32-bit tick counter.
uint32_t ElapsedTicksBetween(uint32_t start, uint32_t now);

// ---- the suite's clock functions -----------------------------------------------

int IsComputerDaylightSavingActive();
// Hours to add to the computer's local clock to get UT.
double GetTimeZoneBiasHours();
// The computer's current time as a record in the site's local date and time.
// Delta T and sidereal times are left to the caller.
void SetDateRecordToNow(const LocationRecord *site, DateRecord *record);
// Now, then 12 hours earlier in local time.
void SetDateRecordTwelveHoursBeforeNow(const LocationRecord *site, DateRecord *record);
// Now, then 0 h of the same local date.
void SetDateRecordToTodayLocalMidnight(const LocationRecord *site, DateRecord *record);
// Sets the computer's clock to the record's local date and time; the
// platform's result (0 on failure, which callers must show).
int SetComputerClock(const DateRecord *record);
// With n != 0: remembers n as the divisor and now as the start, returns 0.
// With n == 0: the milliseconds since the start divided by the divisor (1
// before any start).
double MeasureElapsedTicks(int n);

// Texts. Buffers hold kClockTextSize bytes.
const size_t kClockTextSize = 48;
// "%04d %3s %02d %02d%02d": year, month abbreviation, day, hour, minute of the
// computer's local clock.
char *FormatComputerTimeStamp(char *buffer);
// The same text for a given reading.
char *FormatClockReadingStamp(char *buffer, const ComputerClockReading *reading);
// "120 sec", "90 min", "12.000 hr", "3.5000 d", "15.00 d".
char *FormatDuration(char *buffer, double days);
// "%d %s %d": year, full month name, day of the record's Julian date at the site.
char *FormatDateOfRecord(char *buffer, const LocationRecord *site, const DateRecord *record);
// The same followed by a blank and the local time as FormatRightAscensionMinutes.
char *FormatDateTimeOfRecord(char *buffer, const LocationRecord *site, const DateRecord *record);
