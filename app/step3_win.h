// Wizard step 3 (undefined sites, observers and instruments): the dialog
// "DataLinkDlg" that lists the names of the import file that neither the
// stores nor the name links know, and links or creates each one; and the
// small "InstTypeDlg" that asks which kind of instrument to create.
#pragma once
#include <windows.h>

#include "app/importjob.h"

INT_PTR CALLBACK DataLinkDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK InstTypeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Destroys the current step and shows step 3 for the import job as the
// current step (not yet scanned); the new step window, or none when it could
// not be created. The step keeps a copy of the job and hands it to step 4.
HWND ShowDataLinkStep(HWND mainWindow, const ImportJob &job);

// The undefined-name scan with the busy box around it. The result: 0 when
// every entry names (or has fixed) its site, observer and instrument; 1, 2 or
// 3 for the first entry without a site, observer or instrument (the entry's
// line is then in ImportErrorLine() for the caller's message); -1 when the
// file cannot be read (the message is in ImportErrorLine()).
int RunUndefinedNameScanBusy(HWND step);
// The same without the busy box: loads the saved name links when they belong
// to the import file, refills the three lists and updates Continue.
int RunUndefinedNameScan(HWND step);
// The scans of the two format kinds into the step's three lists.
int ScanUndefinedNamesDelimited(HWND step);
int ScanUndefinedNamesXml(HWND step);
// Enables Continue exactly when the three lists are empty and the scan
// result is 0.
void UpdateContinueButton(HWND step, int scanResult);
