// The kept folders of the Phoebe and Himalia day tables.
#include "ephem/daytables.h"

#include <string>

namespace {
std::string g_phoebe;
std::string g_himalia;

std::string WithoutTrailingSlash(const char *directory) {
    std::string s = directory ? directory : "";
    if (!s.empty() && (s.back() == '/' || s.back() == '\\')) s.pop_back();
    return s;
}
}  // namespace

int SetPhoebeFolder(const char *directory) {
    g_phoebe = WithoutTrailingSlash(directory);
    return 1;
}

int SetHimaliaFolder(const char *directory) {
    g_himalia = WithoutTrailingSlash(directory);
    return 1;
}

const char *GetPhoebeFolder() { return g_phoebe.c_str(); }
const char *GetHimaliaFolder() { return g_himalia.c_str(); }

void ClearDayTableFolders() {
    g_phoebe.clear();
    g_himalia.clear();
}
