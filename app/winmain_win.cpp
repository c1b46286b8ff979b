// Gleaner's entry point: find the suite's data, load help and the string
// table, register the window classes, open the main window and run the
// message loop; on the way out free what start-up loaded.
#include <windows.h>
#include <commctrl.h>

#include "app/gleaner_win.h"
#include "app/settingsstore.h"
#include "app/startup.h"
#include "core/datapaths.h"
#include "core/resstrings.h"
#include "ephem/ephemload.h"
#include "objects/conrects.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    SetProgramInstance(instance);
    InitCommonControls();
    // Probing drives D to Z for the data disc must not raise a "no disk" box
    // for an empty removable drive.
    SetErrorMode(SEM_FAILCRITICALERRORS);
    if (!LocateDataDirectories()) {
        MessageBoxA(nullptr,
                    "Gleaner cannot find the Nightjar 3 database files.\r\n"
                    "Nightjar 3 must be installed to use this program.\r\n"
                    "If it is installed, you may need to insert the Nightjar CDROM and try again.",
                    "Nightjar Gleaner Error", MB_ICONERROR);
        return 0;
    }
    // Without the store no dialog setting would outlive the run.
    EnsureDialogSettingsStore();
    // The class pictures and the help file are found relative to the current
    // folder: started from elsewhere, move to the installation folder.
    EnsureBinFolder();
    LoadHtmlHelp();
    InitResources(instance);
    if (!RegisterGleanerClass(instance)) {
        UnloadHtmlHelp();
        FreeEphemerisData();
        return 0;
    }
    RegisterControlClasses(instance);

    HWND mainWindow = CreateDialogParamA(instance, "Gleaner", nullptr, nullptr, 0);
    if (!mainWindow) {
        // Without a main window the loop would never end.
        FreeEphemerisData();
        UnloadHtmlHelp();
        return 0;
    }
    InitMainWindow(mainWindow);
    ShowWindow(mainWindow, SW_SHOW);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }

    FreeClassBitmaps();
    FreeEphemerisData();
    FreeConstellationRects();
    UnloadHtmlHelp();
    return 0;
}
