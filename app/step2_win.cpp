// Wizard step 2 (unmatched objects): the least that lets step 1 hand over to
// it. SEAM: the scan lists nothing yet and Continue does nothing; the step's
// links, scan and Continue arrive with the rest of step 2.
#include "app/step2_win.h"

#include "app/gleaner_win.h"

INT_PTR CALLBACK DesPrepDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            ShowImportStepOne(GetParent(dialog));
            return TRUE;
        }
        if (LOWORD(wParam) == 9) {
            ShowGleanerHelpTopic(kHelpStep2);
            return TRUE;
        }
        break;
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    }
    return FALSE;
}

int RunUnmatchedDesignationScan(HWND step) {
    HWND box = ShowProcessingBox(GetMainWindow());
    SendDlgItemMessageA(step, 102, LB_RESETCONTENT, 0, 0);  // SEAM: no scan yet
    CloseProcessingBox(box);
    return 1;
}
