// Creation time of a package on systems without the Windows time calls (the
// Windows build uses packagetime_win.cpp). Local time is turned into UTC with
// the C library's notion of the local zone.
#ifndef _WIN32
#include <ctime>

#include "core/package.h"

namespace {
constexpr long long kEpochDelta = 11644473600LL;  // seconds from 1601 to 1970

void StoreUnixTime(PackageHeader *h, long long seconds, unsigned milliseconds) {
    unsigned long long ticks =
        (unsigned long long)(seconds + kEpochDelta) * 10000000ULL + milliseconds * 10000ULL;
    h->created.low = (uint32_t)ticks;
    h->created.high = (uint32_t)(ticks >> 32);
}
}  // namespace

int SetPackageFileTime(PackageHeader *header, const SystemTimeValue *localTime) {
    if (!header) return 0;
    if (!localTime) {
        StoreUnixTime(header, (long long)std::time(nullptr), 0);
        return 1;
    }
    std::tm tm{};
    tm.tm_year = localTime->year - 1900;
    tm.tm_mon = localTime->month - 1;
    tm.tm_mday = localTime->day;
    tm.tm_hour = localTime->hour;
    tm.tm_min = localTime->minute;
    tm.tm_sec = localTime->second;
    tm.tm_isdst = -1;
    std::time_t t = std::mktime(&tm);
    if (t == (std::time_t)-1) return 0;
    StoreUnixTime(header, (long long)t, localTime->milliseconds);
    return 1;
}
#endif
