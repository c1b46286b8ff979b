// The process-wide user data folder and the paths built under it.
#include "core/userfolder.h"
#include "core/safefile.h"

#include <cstring>

#include "core/fileutil.h"

namespace {
char g_userFolder[512] = "";
}

const char *GetUserDataFolder() { return g_userFolder; }

void SetUserDataFolder(const char *path) {
    std::snprintf(g_userFolder, sizeof g_userFolder, "%s", path ? path : "");
    size_t n = std::strlen(g_userFolder);
    if (n > 1 && (g_userFolder[n - 1] == '/' || g_userFolder[n - 1] == '\\') &&
        g_userFolder[n - 2] != ':')
        g_userFolder[n - 1] = '\0';
}

int MakeUserDataPath(char *out, int size, const char *relativeName) {
    if (!out || size <= 0) return 0;
    out[0] = '\0';
    if (!g_userFolder[0] || !relativeName) return 0;
    int n = std::snprintf(out, (size_t)size, "%s/%s", g_userFolder, relativeName);
    if (n < 0 || n >= size) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}

FILE *OpenUserDataFile(const char *relativeName, const char *mode) {
    char path[1024];
    if (!mode || !MakeUserDataPath(path, sizeof path, relativeName)) return nullptr;
    return SafeOpen(path, mode);
}

int UserDataFileExists(const char *relativeName) {
    char path[1024];
    if (!MakeUserDataPath(path, sizeof path, relativeName)) return 0;
    return FileExists(path);
}
