// The host's window classes for dialog tests (see hostclasses_win.h).
#ifdef _WIN32
#include "testutil/hostclasses_win.h"

#include "app/gleaner_win.h"

namespace testutil {

void RegisterHostClasses(HINSTANCE module, const char *installFolder) {
    if (!module) return;
    RegisterSCBitmapClass(module);
    if (!installFolder || !*installFolder) return;
    // The pictures are read relative to the current folder, as the program
    // reads them from its own.
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    if (SetCurrentDirectoryA(installFolder)) {
        LoadClassBitmaps(nullptr);
        SetCurrentDirectoryA(cwd);
    }
}

}  // namespace testutil

#endif  // _WIN32
