// Printing on Win32: the printer choice (the print set-up dialog's DEVMODE and
// DEVNAMES, or the default printer), printer device contexts, orientation,
// the printer's unprintable margins, the print options panel of a report's
// print dialog, and one print job at a time with its cancel box, page layout,
// line advance, page breaks and word wrap.
#pragma once
#include <windows.h>

#include "ui/printlayout.h"

// The printer choice: global blocks of a DEVMODE and a DEVNAMES (null: none).
struct PrintSetup {
    HGLOBAL devMode;
    HGLOBAL devNames;
};

// ---- printer choice and print options --------------------------------------------

int ClearPrintSetup(PrintSetup *setup);
int SetPrintSetup(PrintSetup *setup, HGLOBAL devMode, HGLOBAL devNames);
// A printer context from the setup's DEVNAMES and DEVMODE; without DEVNAMES,
// the default printer through the print dialog's return-default mode, whose
// DEVMODE and DEVNAMES the setup then keeps. Null on failure.
HDC CreatePrinterDCFromSetup(PrintSetup *setup);
// A context of the default printer (by its name); null without one.
HDC CreateDefaultPrinterDC();
// 0 and the default printer's name, or an error code (122: buffer too small,
// 2: no default printer).
int GetDefaultPrinterName(char *buffer, int size);
// The setup's printer name, else the default printer's, into size bytes;
// 0, or an error code with an empty name.
int GetPrintSetupPrinterName(const PrintSetup *setup, char *buffer, int size);
int GetPrintOrientation(const PrintSetup *setup);
int SetPrintOrientation(PrintSetup *setup, int orientation);
// Changes the printer's own default orientation for every program (needs
// full access to the printer). 1 or 0.
int SetPrinterDefaultOrientation(const char *printerName, int orientation);
// 1 and the unprintable margins in inches, from the page's pixel counts; 0
// when no printer context can be made or the setup holds no DEVMODE.
int GetPrinterMinimumMargins(PrintSetup *setup, double *left, double *right, double *top,
                             double *bottom);
int RunPrintSetupDialog(HWND owner, PrintSetup *setup);
void ShowPrintOptions(HWND dialog, PrintSetup *setup, const LOGFONTA *font, const PrintMargins *margins,
                      int wantedOrientation);
// 1 accepted, 2 reset to the printer's minimums after "Yes", 0 rejected (or
// no printer).
int ApplyPrintMargins(HWND dialog, PrintSetup *setup, PrintMargins *margins);
int HandlePrintOptionsCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                              PrintSetup *setup, LOGFONTA *font);

// ---- print jobs ----------------------------------------------------------------------

// The printer context of a started document and page, or null. The owner is
// disabled while the job runs and enabled again by EndPrintJob.
HDC BeginPrintJob(HINSTANCE instance, HWND owner, PrintSetup *setup, PageLayout *layout,
                  const char *documentName);
INT_PTR CALLBACK PrintDlgBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL CALLBACK PrintAbortProc(HDC dc, int code);
int IsPrintAborted();
// Shows the error of a failed print call from its result: a spooler code
// -1 .. -5 by its text, any other failure by the system's text of the last
// error. Caption "Print Error".
void ShowPrintError(int result);
void LayoutPageFromMargins(HDC dc, PageLayout *layout, PrintMargins *margins, HFONT font);
void LayoutPageFromFont(HDC dc, PageLayout *layout, HFONT font);
HFONT SelectPrinterScaledFont(HDC dc, const PageLayout *layout, const LOGFONTA *font, double factor,
                              int weight, HFONT *previous);
int EnsureRoomForLines(HDC dc, PageLayout *layout, int lines);
int AdvancePrintLines(HDC dc, PageLayout *layout, int lines);
int PrintTextLine(HDC dc, PageLayout *layout, const char *text);
int PrintWrappedText(HDC dc, PageLayout *layout, const char *text);
// 1 when the document ended normally and the spooler took it, else 0 (an
// aborted job is abandoned, never submitted in part).
int EndPrintJob(HDC dc);
