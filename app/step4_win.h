// Wizard step 4 (preview, detail view, import and result): the dialog
// "PreviewDlg" listing every entry of the preview pass (unrecognised ones on
// red), the detail view "LogPreviewDlg" and the result box "ResultDlg".
#pragma once
#include <windows.h>

#include "app/importjob.h"

INT_PTR CALLBACK PreviewDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LogPreviewDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ResultDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Destroys the current step and shows step 4 for the import job as the
// current step (its list still empty); the new step window, or none. The
// step keeps a copy of the job for the preview and the final pass.
HWND ShowPreviewStep(HWND mainWindow, const ImportJob &job);
// Runs the preview pass of the job's format kind into the step's list with the
// busy box up; shows the error line when it fails. The pass result.
int RunPreviewPass(HWND step);
// Draws one row of the preview list: unrecognised entries on red.
void DrawPreviewItem(HWND step, const DRAWITEMSTRUCT *item);

// The number of entries of the last pass (the records of the preview file
// after a preview pass).
int GetPreviewEntryCount();
