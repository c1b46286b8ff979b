// Reads of the computer's clock, time zone and tick counter through the C and
// C++ libraries, for builds other than Windows (the native test build and the
// tools). Setting the clock is not offered there.
#ifndef _WIN32

#include <chrono>
#include <cstring>
#include <ctime>

#include "astro/clock.h"

int ReadComputerLocalClock(ComputerClockReading *reading) {
    if (!reading) return 0;
    std::memset(reading, 0, sizeof(*reading));
    auto now = std::chrono::system_clock::now();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm local;
    if (!localtime_r(&seconds, &local)) return 0;
    reading->year = local.tm_year + 1900;
    reading->month = local.tm_mon + 1;
    reading->day = local.tm_mday;
    reading->hour = local.tm_hour;
    reading->minute = local.tm_min;
    reading->second = local.tm_sec > 59 ? 59 : local.tm_sec;
    reading->millisecond = static_cast<int>(ms % 1000);
    return 1;
}

int ReadComputerTimeZone(ComputerZoneReading *zone) {
    if (!zone) return 0;
    std::memset(zone, 0, sizeof(*zone));
    std::time_t now = std::time(nullptr);
    std::tm local;
    if (!localtime_r(&now, &local)) return 0;
    tzset();
    zone->valid = 1;
    // timezone: seconds west of UT of the standard zone; tm_gmtoff: seconds east
    // in effect now (daylight time included).
    zone->biasMinutes = static_cast<int>(timezone / 60);
    zone->daylightActive = local.tm_isdst > 0 ? 1 : 0;
    zone->daylightRuleMonth = daylight ? 1 : 0;
    zone->daylightBiasMinutes =
        zone->daylightActive ? static_cast<int>(-local.tm_gmtoff / 60) - zone->biasMinutes : -60;
    zone->standardBiasMinutes = 0;
    return 1;
}

uint32_t ReadComputerTickCount() {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now().time_since_epoch())
                  .count();
    return static_cast<uint32_t>(ms);
}

int WriteComputerLocalClock(const ComputerClockReading *reading) { return 0; }

#endif  // _WIN32
