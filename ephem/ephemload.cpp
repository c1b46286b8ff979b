// Ephemeris tables: the folder they are read from and their loaded state.
// The tables themselves (planets, Moon, satellites, nutation) are read by the
// ephemeris readers; until those are in place nothing is loaded and the
// result says so.
#include "ephem/ephemload.h"

#include <cstdio>
#include <cstring>

namespace {
char g_folder[1024] = "";
bool g_loaded = false;
}  // namespace

int LoadEphemerisData(char *directory) {
    if (g_loaded) return 1;
    if (!directory) return 0;
    size_t n = std::strlen(directory);
    if (n > 0 && directory[n - 1] != '/' && n + 1 < 512) {
        directory[n] = '/';
        directory[n + 1] = '\0';
    }
    std::snprintf(g_folder, sizeof g_folder, "%s", directory);
    g_loaded = false;
    return 0;
}

void FreeEphemerisData() { g_loaded = false; }

const char *GetEphemerisFolder() { return g_folder; }

int EphemerisTablesLoaded() { return g_loaded ? 1 : 0; }
