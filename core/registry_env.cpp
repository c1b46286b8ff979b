// Where there is no registry (the Linux builds), the three folder values come
// from the environment: NIGHTJAR<generation>_DATAPATH, _USERPATH, _INSTALLPATH.
#ifndef _WIN32
#include <cstdio>
#include <cstdlib>

#include "core/datapaths.h"

namespace {
int ReadValue(int generation, const char *what, char *buffer) {
    if (!buffer) return 0;
    char name[64];
    std::snprintf(name, sizeof name, "NIGHTJAR%d_%s", generation, what);
    const char *v = std::getenv(name);
    if (!v) return 0;
    int n = std::snprintf(buffer, kPathLineSize, "%s", v);
    return n >= 0 && n < kPathLineSize ? 1 : 0;
}
}  // namespace

int ReadDataPath(int generation, char *buffer) { return ReadValue(generation, "DATAPATH", buffer); }
int ReadUserPath(int generation, char *buffer) { return ReadValue(generation, "USERPATH", buffer); }
int ReadInstallPath(int generation, char *buffer) {
    return ReadValue(generation, "INSTALLPATH", buffer);
}
#endif
