// The busy box "ProcessingDlg" shown while a long pass runs. No messages are
// pumped while it is up; it only tells the user to wait.
#include "app/gleaner_win.h"

INT_PTR CALLBACK ProcessingDlgProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

HWND ShowProcessingBox(HWND owner) {
    HWND box = CreateDialogParamA(GetProgramInstance(), "ProcessingDlg", owner, ProcessingDlgProc, 0);
    if (box) {
        ShowWindow(box, SW_SHOW);
        UpdateWindow(box);
    }
    return box;
}

void CloseProcessingBox(HWND box) {
    if (box) DestroyWindow(box);
}
