// Windows reads of the computer's clock, time zone and tick counter, and the
// setting of the local clock.
#include <windows.h>

#include <cstring>

#include "astro/clock.h"

int ReadComputerLocalClock(ComputerClockReading *reading) {
    if (!reading) return 0;
    SYSTEMTIME st;
    GetLocalTime(&st);
    reading->year = st.wYear;
    reading->month = st.wMonth;
    reading->day = st.wDay;
    reading->hour = st.wHour;
    reading->minute = st.wMinute;
    reading->second = st.wSecond;
    reading->millisecond = st.wMilliseconds;
    return 1;
}

int ReadComputerTimeZone(ComputerZoneReading *zone) {
    if (!zone) return 0;
    std::memset(zone, 0, sizeof(*zone));
    TIME_ZONE_INFORMATION tzi;
    DWORD id = GetTimeZoneInformation(&tzi);
    if (id == TIME_ZONE_ID_INVALID) return 0;
    zone->valid = 1;
    zone->biasMinutes = tzi.Bias;
    zone->standardBiasMinutes = tzi.StandardBias;
    zone->daylightBiasMinutes = tzi.DaylightBias;
    zone->daylightActive = id == TIME_ZONE_ID_DAYLIGHT ? 1 : 0;
    zone->daylightRuleMonth = tzi.DaylightDate.wMonth;
    return 1;
}

uint32_t ReadComputerTickCount() { return static_cast<uint32_t>(GetTickCount()); }

int WriteComputerLocalClock(const ComputerClockReading *reading) {
    if (!reading) return 0;
    SYSTEMTIME st;
    std::memset(&st, 0, sizeof(st));
    st.wYear = static_cast<WORD>(reading->year);
    st.wMonth = static_cast<WORD>(reading->month);
    st.wDayOfWeek = 0;
    st.wDay = static_cast<WORD>(reading->day);
    st.wHour = static_cast<WORD>(reading->hour);
    st.wMinute = static_cast<WORD>(reading->minute);
    st.wSecond = static_cast<WORD>(reading->second);
    st.wMilliseconds = static_cast<WORD>(reading->millisecond);
    return SetLocalTime(&st) ? 1 : 0;
}
