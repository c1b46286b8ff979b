// Wizard step 2 (unmatched objects): the dialog "DesPrepDlg" that lists the
// designations of the import file that the suite does not recognise and
// that have no designation link yet, and links each one to an object chosen
// in the object picker.
#pragma once
#include <windows.h>

// The creation parameter is the import job (const ImportJob *), which the
// step keeps and hands on to step 3; none gives a job without a file.
INT_PTR CALLBACK DesPrepDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Shows the busy box, runs the scan of the job's format kind into the
// step's list (IDC_STEP2_LIST) and removes the box; a scan that cannot read the file shows
// its message. 1.
int RunUnmatchedDesignationScan(HWND step);
// The text shown after step 3's first scan found an entry without a value
// (result 1 site, 2 observer, 3 instrument) under a format of the kind;
// line is the entry's line (delimited formats). Empty for other results.
void FormatUndefinedValueMessage(int result, int kind, const char *line, char *out, int size);
