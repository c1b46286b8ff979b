// Path and placement rules of the picture controls (see picturectl.h).
#include "ui/picturectl.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

bool ContainsNoCase(const char *text, const char *part) {
    const size_t n = std::strlen(part);
    for (const char *p = text; *p; ++p) {
        size_t i = 0;
        while (i < n && p[i] &&
               std::tolower(static_cast<unsigned char>(p[i])) ==
                   std::tolower(static_cast<unsigned char>(part[i])))
            ++i;
        if (i == n) return true;
    }
    return false;
}

int Format(char *buffer, size_t size, const char *format, const char *name) {
    int n = std::snprintf(buffer, size, format, name);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        buffer[0] = '\0';
        return 0;
    }
    return 1;
}

bool NameUsable(char *buffer, size_t size, const char *name) {
    if (!buffer || size == 0) return false;
    buffer[0] = '\0';
    return name && *name && std::strlen(name) <= kPictureNameMax;
}

}  // namespace

int MakeDibPicturePath(char *buffer, size_t size, const char *name, int paletteDisplay,
                       int fromSetText) {
    if (!NameUsable(buffer, size, name)) return 0;
    if (fromSetText && ContainsNoCase(name, ".bmp")) return Format(buffer, size, "%s", name);
    return Format(buffer, size, paletteDisplay ? "bin/%sd.bmp" : "bin/%s.bmp", name);
}

int MakeBMPicturePath(char *buffer, size_t size, const char *name, int fromSetText) {
    if (!NameUsable(buffer, size, name)) return 0;
    if (fromSetText && std::strchr(name, '.')) return Format(buffer, size, "%s", name);
    return Format(buffer, size, "%s.bmp", name);
}

int MakeClockFramePath(char *buffer, size_t size, int frame) {
    if (!buffer || size == 0) return 0;
    int n = std::snprintf(buffer, size, "bin/clock_%d.bmp", frame);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        buffer[0] = '\0';
        return 0;
    }
    return 1;
}

int NextClockFrame(int frame) { return (frame >= 0 && frame < 3) ? frame + 1 : 0; }

PictureRect ComputePictureDestination(int clientW, int clientH, int picW, int picH,
                                      int naturalSize, int rightAligned) {
    if (!naturalSize) return {0, 0, clientW, clientH};
    if (rightAligned) return {clientW - picW, 0, clientW, picH};
    return {0, 0, picW, picH};
}
