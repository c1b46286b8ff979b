// Wizard step 4 (preview, detail view, import and result): the dialog
// "PreviewDlg" listing every entry of the preview pass (unrecognised ones on
// red), the detail view "LogPreviewDlg" and the result box "ResultDlg".
#pragma once
#include <windows.h>

INT_PTR CALLBACK PreviewDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LogPreviewDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ResultDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Destroys the current step and shows step 4 as the current step (its list
// still empty); the new step window, or none.
HWND ShowPreviewStep(HWND mainWindow);
// Runs the preview pass of the format's kind into the step's list with the
// busy box up; shows the error line when it fails. The pass result.
int RunPreviewPass(HWND step);
// Draws one row of the preview list: unrecognised entries on red.
void DrawPreviewItem(HWND step, const DRAWITEMSTRUCT *item);

// The number of entries of the last pass (the records of the preview file
// after a preview pass).
int GetPreviewEntryCount();
