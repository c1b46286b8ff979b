// Procedure of the site dialogs' horizon-recording sub-dialog as far as the
// site dialogs need it now: a template of that name, when present, opens as a
// plain dialog whose OK answers 1 and Cancel 0; without one (there is no
// LocHorDlg template yet) the opening fails, and RunHorizonDialog says that
// recording a horizon is not available.
#include "dialogs/sitedialogs_win.h"

namespace {

INT_PTR PlainDialog(HWND dialog, UINT message, WPARAM wParam) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam) == IDOK ? 1 : 0);
        return TRUE;
    }
    if (message == WM_CLOSE) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK LocHorDlgProc(HWND d, UINT m, WPARAM w, LPARAM) { return PlainDialog(d, m, w); }
