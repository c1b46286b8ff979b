// Paths beside the executable; see exepath.h.
#include "ui/exepath.h"

#include <cstring>

int BuildPathBesideExecutable(const char *exePath, const char *name, char *out, size_t outSize) {
    if (!out || outSize == 0) return 0;
    out[0] = '\0';
    if (!exePath) exePath = "";
    if (!name) name = "";
    size_t dirLength = 0;
    for (size_t i = 0; exePath[i]; ++i) {
        char c = exePath[i];
        if (c == '\\' || c == '/' || c == ':') dirLength = i + 1;
    }
    size_t nameLength = std::strlen(name);
    if (dirLength + nameLength + 1 <= outSize) {
        std::memcpy(out, exePath, dirLength);
        std::memcpy(out + dirLength, name, nameLength + 1);
        return 1;
    }
    if (dirLength + 2 <= outSize) {
        std::memcpy(out, exePath, dirLength);
        out[dirLength] = '?';
        out[dirLength + 1] = '\0';
    }
    return 0;
}
