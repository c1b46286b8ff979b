// The main window of class "Gleaner": created from the dialog template of the
// same name, it hosts one wizard step at a time and saves the importer's
// settings when it closes.
#include "app/formatfile.h"
#include "app/gleaner_win.h"
#include "app/namelinks.h"
#include "app/preview.h"
#include "ui/controls.h"
#include "ui/picturectl_win.h"
#include "ui/winutil_win.h"
#include "resources/commonids.h"

namespace {
HINSTANCE g_instance = nullptr;
HWND g_mainWindow = nullptr;
HWND g_currentStep = nullptr;
HFONT g_headingFont = nullptr;
}  // namespace

HINSTANCE GetProgramInstance() { return g_instance; }
void SetProgramInstance(HINSTANCE instance) { g_instance = instance; }
HWND GetMainWindow() { return g_mainWindow; }
HWND GetCurrentStepWindow() { return g_currentStep; }
void SetCurrentStepWindow(HWND step) { g_currentStep = step; }

ATOM RegisterGleanerClass(HINSTANCE instance) {
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;  // 48
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = GleanerWndProc;
    // The window is made from a dialog template, so it carries the dialog
    // manager's extra bytes: 30 in a 32-bit program (48 in a 64-bit one).
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "Gleaner";
    if (ATOM a = RegisterClassExA(&wc)) return a;
    WNDCLASSA plain;
    ZeroMemory(&plain, sizeof plain);
    plain.style = wc.style;
    plain.lpfnWndProc = wc.lpfnWndProc;
    plain.cbWndExtra = wc.cbWndExtra;
    plain.hInstance = instance;
    plain.hCursor = wc.hCursor;
    plain.hbrBackground = wc.hbrBackground;
    plain.lpszClassName = wc.lpszClassName;
    return RegisterClassA(&plain);
}

void RegisterControlClasses(HINSTANCE instance) {
    RegisterHyperTextClass(instance);
    RegisterCShadeClass(instance);
    RegisterTouchClass(instance);
    RegisterHeaderButtonClass(instance);
    RegisterProgressIndicatorClass(instance);
    RegisterSCBitmapClass(instance);
    RegisterDibClass(instance);
    RegisterTableClass(instance);
    RegisterSymbolTextClass(instance);
}

int InitMainWindow(HWND mainWindow) {
    LoadClassBitmaps(mainWindow);
    HWND heading = GetDlgItem(mainWindow, IDC_MAIN_HEADING);
    if (heading) {
        g_headingFont = CreateBoldFontOfWindow(heading);
        if (g_headingFont) SendMessageA(heading, WM_SETFONT, (WPARAM)g_headingFont, TRUE);
        RedrawWindow(heading, nullptr, nullptr, RDW_ERASE | RDW_INTERNALPAINT | RDW_INVALIDATE);
    }
    return 1;
}

LRESULT CALLBACK GleanerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        g_mainWindow = window;
        if (!OpenFormatFile()) {
            CurrentImportSettings().importPath[0] = '\0';
            CurrentImportSettings().selectedFormat = -1;
        }
        ShowImportStepOne(window);
        return 1;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(window);
            return 0;
        }
        if (LOWORD(wParam) == IDC_MAIN_READ_FIRST) ShowGleanerHelpTopic(IDH_READ_FIRST);
        break;
    case WM_DESTROY:
        SaveImportSettings();
        DeletePreviewFile();
        FreeNameLinkTables();
        if (g_headingFont) DeleteObject(g_headingFont);
        g_headingFont = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
