// Wizard step 2 (unmatched objects) as step 1 reaches it.
//
// SEAM: only what step 1 calls is here yet. The step's dialog procedure and
// its designation scan are filled in with step 2 itself; until then the step
// shows its (empty) list and Cancel leads back to step 1.
#pragma once
#include <windows.h>

INT_PTR CALLBACK DesPrepDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Lists the file's unrecognised designations in the step's list; 1.
int RunUnmatchedDesignationScan(HWND step);
