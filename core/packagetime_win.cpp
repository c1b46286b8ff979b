// Creation time of a package through the Windows time calls: a given local
// time is converted to a FILETIME and then from local to UTC; with none, the
// current UTC time is taken as it is (it must not be converted a second time).
#include <windows.h>

#include "core/package.h"

int SetPackageFileTime(PackageHeader *header, const SystemTimeValue *localTime) {
    if (!header) return 0;
    FILETIME utc;
    if (!localTime) {
        SYSTEMTIME now;
        GetSystemTime(&now);
        if (!SystemTimeToFileTime(&now, &utc)) return 0;
    } else {
        SYSTEMTIME st;
        static_assert(sizeof st == sizeof *localTime, "same layout");
        CopyMemory(&st, localTime, sizeof st);
        FILETIME local;
        if (!SystemTimeToFileTime(&st, &local)) return 0;
        if (!LocalFileTimeToFileTime(&local, &utc)) return 0;
    }
    header->created.low = utc.dwLowDateTime;
    header->created.high = utc.dwHighDateTime;
    return 1;
}
