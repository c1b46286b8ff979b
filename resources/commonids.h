// Ids shared by the whole program: the static-text id, the pictures of the
// custom controls, and the controls of the main window and the busy box
// (gleaner.rc, controls.rc).
// Values are fixed: the templates, the code and stored dialog settings use
// them. Shared by the resource scripts and C++.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)  // controls the code never addresses
#endif

// Pictures of the custom controls (controls.rc)
#define IDB_LINK_ARROW 512   // drop-down arrow of a link label, 12 x 15
#define IDB_TABLE_CHECK 2222 // check mark of a table row, 10 x 15

// main window (Gleaner)
#define IDC_MAIN_HEADING    1008  // heading line
#define IDC_MAIN_FRAME      101   // etched frame the wizard steps appear in
#define IDC_MAIN_READ_FIRST 9     // button "Read This First"
#define IDC_MAIN_VERSION    102   // version text

// ProcessingDlg
#define IDC_BUSY_TEXT 4000  // "Processing File..." text
