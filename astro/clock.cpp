// Portable side of the computer clock: zone bias, "now" as a date record,
// the decomposition of a record into a clock setting, the tick timer and the
// short texts of dates, times and durations. The platform reads are in
// clock_win.cpp and clock_native.cpp.
#include "astro/clock.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/angletext.h"
#include "astro/datetext.h"
#include "astro/datetime.h"

namespace {

// The tick timer of MeasureElapsedTicks. The divisor starts at 1 so that a
// reading before any start divides by something.
uint32_t g_tickStart = 0;
int g_tickDivisor = 1;

int DaysInMonthOfYear(int month, int year) {
    DateRecord scratch;
    std::memset(&scratch, 0, sizeof(scratch));
    scratch.month = static_cast<int16_t>(month);
    scratch.year = static_cast<int16_t>(year);
    return DaysInMonth(&scratch);
}

bool ReadNow(const LocationRecord *site, DateRecord *record) {
    if (!record) return false;
    ComputerClockReading clock;
    if (!ReadComputerLocalClock(&clock)) return false;
    SetDateRecordFromComputerClock(site, record, &clock, GetTimeZoneBiasHours());
    return true;
}

}  // namespace

int IsDaylightSavingActiveInZone(const ComputerZoneReading *zone) {
    if (!zone || !zone->valid) return 0;
    return (zone->daylightActive && zone->daylightRuleMonth != 0 && zone->daylightBiasMinutes != 0)
               ? 1
               : 0;
}

double ComputeTimeZoneBiasHours(const ComputerZoneReading *zone) {
    if (!zone || !zone->valid) return 0.0;
    int minutes = zone->biasMinutes + (IsDaylightSavingActiveInZone(zone)
                                           ? zone->daylightBiasMinutes
                                           : zone->standardBiasMinutes);
    return minutes / 60.0;
}

void SetDateRecordFromComputerClock(const LocationRecord *site, DateRecord *record,
                                    const ComputerClockReading *clock, double biasHours) {
    if (!record || !clock) return;
    double hours = clock->hour + clock->minute / 60.0 + clock->second / 3600.0 +
                   clock->millisecond / 3600000.0;
    SetDateRecord(record, site, clock->month, clock->day, clock->year, hours + biasHours,
                  kUniversalTime);
    SetDateRecordFromJulianDate(site, record);
}

void ComputeClockSettingFromRecord(const DateRecord *record, ComputerClockReading *setting) {
    if (!setting) return;
    std::memset(setting, 0, sizeof(*setting));
    if (!record) return;
    double h = record->localHours;
    if (!std::isfinite(h) || h < 0.0 || h >= 24.0) h = 0.0;
    setting->year = record->year;
    setting->month = record->month;
    setting->day = record->day;
    setting->hour = static_cast<int>(std::floor(h));
    double minutes = 60.0 * (h - std::floor(h));
    setting->minute = static_cast<int>(std::floor(minutes));
    double seconds = 60.0 * (minutes - std::floor(minutes));
    setting->second = static_cast<int>(std::floor(seconds));
    setting->millisecond = static_cast<int>(std::floor(1000.0 * (seconds - std::floor(seconds)) + 0.5));

    if (setting->millisecond >= 1000) {
        setting->millisecond = 0;
        if (++setting->second >= 60) {
            setting->second = 0;
            if (++setting->minute >= 60) {
                setting->minute = 0;
                if (++setting->hour >= 24) {
                    setting->hour = 0;
                    if (++setting->day > DaysInMonthOfYear(setting->month, setting->year)) {
                        setting->day = 1;
                        if (++setting->month > 12) {
                            setting->month = 1;
                            ++setting->year;
                        }
                    }
                }
            }
        }
    }
}

uint32_t ElapsedTicksBetween(uint32_t start, uint32_t now) {
    return now - start;  // unsigned: correct across one wrap of the counter
}

int IsComputerDaylightSavingActive() {
    ComputerZoneReading zone;
    if (!ReadComputerTimeZone(&zone)) return 0;
    return IsDaylightSavingActiveInZone(&zone);
}

double GetTimeZoneBiasHours() {
    ComputerZoneReading zone;
    if (!ReadComputerTimeZone(&zone)) return 0.0;
    return ComputeTimeZoneBiasHours(&zone);
}

void SetDateRecordToNow(const LocationRecord *site, DateRecord *record) { ReadNow(site, record); }

void SetDateRecordTwelveHoursBeforeNow(const LocationRecord *site, DateRecord *record) {
    if (!ReadNow(site, record)) return;
    SetDateRecord(record, site, record->month, record->day, record->year, record->localHours - 12.0,
                  kLocalTime);
    SetDateRecordFromJulianDate(site, record);
}

void SetDateRecordToTodayLocalMidnight(const LocationRecord *site, DateRecord *record) {
    if (!ReadNow(site, record)) return;
    SetDateRecord(record, site, record->month, record->day, record->year, 0.0, kLocalTime);
    SetDateRecordFromJulianDate(site, record);
}

int SetComputerClock(const DateRecord *record) {
    if (!record) return 0;
    ComputerClockReading setting;
    ComputeClockSettingFromRecord(record, &setting);
    return WriteComputerLocalClock(&setting);
}

double MeasureElapsedTicks(int n) {
    uint32_t now = ReadComputerTickCount();
    if (n != 0) {
        g_tickDivisor = n;
        g_tickStart = now;
        return 0.0;
    }
    return static_cast<double>(ElapsedTicksBetween(g_tickStart, now)) / g_tickDivisor;
}

char *FormatClockReadingStamp(char *buffer, const ComputerClockReading *reading) {
    if (!buffer) return buffer;
    if (!reading) {
        buffer[0] = '\0';
        return buffer;
    }
    const char *month = GetMonthAbbreviation(reading->month);
    std::snprintf(buffer, kClockTextSize, "%04d %3s %02d %02d%02d", reading->year,
                  month ? month : "???", reading->day, reading->hour, reading->minute);
    return buffer;
}

char *FormatComputerTimeStamp(char *buffer) {
    ComputerClockReading reading;
    ReadComputerLocalClock(&reading);
    return FormatClockReadingStamp(buffer, &reading);
}

char *FormatDuration(char *buffer, double days) {
    if (!buffer) return buffer;
    if (days <= 1.0 / 720.0)
        std::snprintf(buffer, kClockTextSize, "%.0f sec", days * 86400.0);
    else if (days <= 1.0 / 12.0)
        std::snprintf(buffer, kClockTextSize, "%.0f min", days * 1440.0);
    else if (days <= 2.0)
        std::snprintf(buffer, kClockTextSize, "%.3f hr", days * 24.0);
    else if (days < 10.0)
        std::snprintf(buffer, kClockTextSize, "%.4f d", days);
    else
        std::snprintf(buffer, kClockTextSize, "%.2f d", days);
    return buffer;
}

char *FormatDateOfRecord(char *buffer, const LocationRecord *site, const DateRecord *record) {
    if (!buffer) return buffer;
    buffer[0] = '\0';
    if (!record) return buffer;
    DateRecord copy = *record;
    SetDateRecordFromJulianDate(site, &copy);
    const char *month = GetMonthName(copy.month);
    std::snprintf(buffer, kClockTextSize, "%d %s %d", copy.year, month ? month : "???", copy.day);
    return buffer;
}

char *FormatDateTimeOfRecord(char *buffer, const LocationRecord *site, const DateRecord *record) {
    if (!buffer) return buffer;
    buffer[0] = '\0';
    if (!record) return buffer;
    DateRecord copy = *record;
    SetDateRecordFromJulianDate(site, &copy);
    const char *month = GetMonthName(copy.month);
    char time[kAngleTextSize];
    FormatRightAscensionMinutes(time, copy.localHours);
    std::snprintf(buffer, kClockTextSize, "%d %s %d %s", copy.year, month ? month : "???", copy.day,
                  time);
    return buffer;
}
