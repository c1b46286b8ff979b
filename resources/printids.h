// Ids of the printing dialogs: the print options panel of a report's print
// dialog (PRINTINSTDLG) and the cancel box of a running print job
// (PrintDlgBox), print.rc. Shared by the resource script and C++.
#pragma once

// print options panel; side i (0 left .. 3 bottom) is IDC_PRINT_LEFT - i
#define IDC_PRINT_FONT_TEXT     2350  // font line "Arial 12pt Bold"
#define IDC_PRINT_BOTTOM        2351  // bottom margin, inches
#define IDC_PRINT_TOP           2352  // top margin
#define IDC_PRINT_RIGHT         2353  // right margin
#define IDC_PRINT_LEFT          2354  // left margin
#define IDC_PRINT_CHANGE_PRINTER 2355 // "Change" printer
#define IDC_PRINT_PRINTER_TEXT  2356  // printer line "name (portrait)"
#define IDC_PRINT_CHANGE_FONT   2358  // "Change" font
#define IDC_PRINT_COPY          2359  // "Copy" (the report dialog's own)

// PrintDlgBox: the document's name while it prints
#define IDC_PRINT_JOB_NAME      600
