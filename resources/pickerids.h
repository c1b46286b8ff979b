// Control and keyboard command ids of the object picker (picker.rc).
// Values are fixed: the templates, the code and stored dialog settings use
// them. Shared by the resource scripts and C++.
#pragma once

// RequestorDlg
#define IDC_REQ_TABS             2220  // tab control of the three pages
#define IDC_REQ_PICTURE          2219  // class picture
#define IDC_REQ_NAME             2201  // object name
#define IDC_REQ_RA               2202  // right ascension
#define IDC_REQ_DEC              2203  // declination
#define IDC_REQ_EQUINOX          2204  // equinox
#define IDC_REQ_MAGNITUDE        2205  // magnitude
#define IDC_REQ_SIZE             2213  // size
#define IDC_REQ_CONSTELLATION    2214  // constellation
#define IDC_REQ_COMPONENTS_LABEL 2222  // label of the components list
#define IDC_REQ_COMPONENTS       2200  // double-star components or planetary satellites
#define IDC_REQ_MORE_INFO        2206  // More Object Information
#define IDC_REQ_RECENT           2221  // recent objects

// RSearchSubDlg
#define IDC_SEARCH_TEXT    2213  // typed designation
#define IDC_SEARCH_GO      2214  // Search
#define IDC_SEARCH_SCOPE   2215  // narrow fuzzy search to
#define IDC_SEARCH_RESULTS 2212  // search results
#define IDC_SEARCH_ABOUT   9     // About Designations

// RBrowseSubDlg
#define IDC_BROWSE_CLASSES        2212  // reference database (object class)
#define IDC_BROWSE_KINDS          2211  // catalogue (object kind)
#define IDC_BROWSE_CONSTELLATIONS 2208  // constellation
#define IDC_BROWSE_PATTERN        2209  // object identifier pattern
#define IDC_BROWSE_CLEAR          2207  // Clr
#define IDC_BROWSE_LIST           2210  // browse list
#define IDC_BROWSE_PAGES          2216  // up-down control paging the list
#define IDC_BROWSE_COUNT          2215  // count and page text

// RCoordSubDlg
#define IDC_COORD_HOURS   2360  // radio: RA in hours
#define IDC_COORD_DEGREES 2361  // radio: RA in degrees
#define IDC_COORD_RA      2363  // right ascension
#define IDC_COORD_DEC     2364  // declination
#define IDC_COORD_EQUINOX 2365  // equinox
#define IDC_COORD_PASTE   2362  // Paste
#define IDC_COORD_ACCEPT  1     // Accept

// keys of the requestor's pages (REQUESTACCELS)
#define IDA_PREVIOUS_PAGE 12000 // Page Up
#define IDA_NEXT_PAGE     12001 // Page Down
#define IDA_PREVIOUS_ROW  12002 // Up
#define IDA_NEXT_ROW      12003 // Down
#define IDA_HELP          12004 // F1
#define IDA_LINE_UP       12005 // Ctrl+Up
#define IDA_LINE_DOWN     12006 // Ctrl+Down
#define IDA_PAGE_UP       12007 // Ctrl+Page Up
#define IDA_PAGE_DOWN     12008 // Ctrl+Page Down
#define IDA_DELETE        12010 // Delete
#define IDA_LEFT          12096 // Left
#define IDA_RIGHT         12097 // Right
#define IDA_SHIFT         12116 // Shift
#define IDA_RETURN        12098 // Return
#define IDA_ESCAPE        12099 // Escape
#define IDA_SPACE         12100 // Space
