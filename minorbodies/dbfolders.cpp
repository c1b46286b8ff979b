// Process-wide folders of the minor-body database.
#include "minorbodies/dbfolders.h"

#include <cstdio>
#include <cstring>

namespace {
char g_folders[2][1024];
bool g_set = false;

void Store(char *slot, const char *text) {
    std::snprintf(slot, 1023, "%s", text ? text : "");
    for (char *p = slot; *p; ++p)
        if (*p == '\\') *p = '/';
    size_t n = std::strlen(slot);
    if (n == 0 || slot[n - 1] != '/') {
        slot[n] = '/';
        slot[n + 1] = '\0';
    }
}
}  // namespace

void SetMinorBodyDatabaseFolders(const char *first, const char *second) {
    Store(g_folders[0], first);
    Store(g_folders[1], second);
    g_set = true;
}

const char *GetMinorBodyDatabaseFolder(int which) {
    if (!g_set || which < 0 || which > 1) return nullptr;
    return g_folders[which];
}
