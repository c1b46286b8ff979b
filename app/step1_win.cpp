// Wizard step 1 (file and format), as far as the shell needs it: the step is
// created inside the main window, shows the import path and saves the
// settings when it goes.
#include "app/formatfile.h"
#include "app/gleaner_win.h"

namespace {
const int kImportPathEdit = 1000;
}

INT_PTR CALLBACK InitDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_DESTROY:
        SaveImportSettings();
        return TRUE;
    }
    return FALSE;
}

void InitImportStep(HWND step) {
    SetDlgItemTextA(step, kImportPathEdit, CurrentImportSettings().importPath);
}

HWND ShowImportStepOne(HWND mainWindow) {
    if (HWND old = GetCurrentStepWindow()) DestroyWindow(old);
    HWND step = CreateDialogParamA(GetProgramInstance(), "InitDlg", mainWindow, InitDlgProc, 0);
    SetCurrentStepWindow(step);
    if (step) {
        RedrawWindow(step, nullptr, nullptr, RDW_ERASE | RDW_INTERNALPAINT | RDW_INVALIDATE);
        InitImportStep(step);
    }
    return step;
}
