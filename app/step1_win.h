// Wizard step 1's own operations (its dialog procedure and start are in
// gleaner_win.h with the shell's).
#pragma once
#include <windows.h>

// Refills the format list; with selectLast the last stored format becomes
// the selected one. A selected index beyond the stored formats becomes none.
void FillFormatList(HWND step, int selectLast);
// 1 when the path in the step's edit can be opened (and stores it as the
// import path); else "Import file not found!" (or the too-long message) and 0.
int CheckImportFileExists(HWND step);
// 1 when a file was chosen (its path goes into the edit), 0 when cancelled.
int BrowseImportFile(HWND step);
// The folder where the next Browse starts.
const char *GetBrowseFolder();
