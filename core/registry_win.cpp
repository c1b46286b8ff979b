// The suite's three folder values from the registry, under HKEY_CURRENT_USER
// "SOFTWARE\Tarnwick\Nightjar\<generation>". Opened for reading only (a
// restricted account may not open the key for writing), and only string values
// are taken, always terminated.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "core/datapaths.h"

namespace {
int ReadValue(int generation, const char *value, char *buffer) {
    if (!buffer) return 0;
    buffer[0] = '\0';
    char key[64];
    std::snprintf(key, sizeof key, "SOFTWARE\\Tarnwick\\Nightjar\\%d", generation);
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return 0;
    // One byte more than the caller's buffer, so that a value stored without
    // its terminator still gets one and a value too long is seen as such.
    char data[kPathLineSize + 1];
    DWORD type = 0, size = kPathLineSize;
    LONG r = RegQueryValueExA(h, value, nullptr, &type, (BYTE *)data, &size);
    RegCloseKey(h);
    if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return 0;
    data[size <= (DWORD)kPathLineSize ? size : kPathLineSize] = '\0';
    size_t n = strnlen(data, kPathLineSize + 1);
    if (n >= (size_t)kPathLineSize) return 0;
    memcpy(buffer, data, n + 1);
    return 1;
}
}  // namespace

int ReadDataPath(int generation, char *buffer) { return ReadValue(generation, "DataPath", buffer); }
int ReadUserPath(int generation, char *buffer) { return ReadValue(generation, "UserPath", buffer); }
int ReadInstallPath(int generation, char *buffer) {
    return ReadValue(generation, "InstallPath", buffer);
}
