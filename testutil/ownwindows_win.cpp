// Finding the test's own windows (see ownwindows_win.h).
#ifdef _WIN32
#include "testutil/ownwindows_win.h"

#include <cstring>

namespace testutil {

namespace {

struct Search {
    const char *className;
    const char *title;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
    Search *s = reinterpret_cast<Search *>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId()) return TRUE;
    char text[256];
    if (s->className) {
        // "#32770" is the dialog class as FindWindowA takes it.
        if (GetClassNameA(window, text, sizeof text) == 0 || std::strcmp(text, s->className) != 0)
            return TRUE;
    }
    if (s->title) {
        GetWindowTextA(window, text, sizeof text);
        if (std::strcmp(text, s->title) != 0) return TRUE;
    }
    s->found = window;
    return FALSE;
}

}  // namespace

HWND FindOwnWindow(const char *className, const char *title) {
    Search s{className, title, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

}  // namespace testutil

#endif  // _WIN32
