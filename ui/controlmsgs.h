// Numbers of the private messages and notification codes of the suite's own
// window controls. Dialog procedures all over the suite compare against these
// values, so each is written here once and every control and dialog takes it
// from this header. Notification codes travel in the high word of wParam of a
// WM_COMMAND to the control's parent (low word: the control id).
#pragma once

// ProgressIndicator: commands sent as WM_COMMAND with exactly this wParam.
constexpr unsigned kProgressStep = 200;   // one step more (at most 20)
constexpr unsigned kProgressEmpty = 201;  // no steps
constexpr unsigned kProgressFull = 202;   // all 20 steps
constexpr int kProgressStepCount = 20;

// HeaderButton messages (lParam carries the value).
constexpr unsigned kHeaderButtonSetBitmap = 1524;      // lParam: HBITMAP
constexpr unsigned kHeaderButtonSetPalette = 1525;     // lParam: HPALETTE
constexpr unsigned kHeaderButtonSetBitmapSize = 1526;  // lParam: MAKELONG(width, height)

// SymbolText and HyperText: set the background colour (lParam: COLORREF).
constexpr unsigned kSetBackgroundColour = 1527;

// HyperText notifications.
constexpr unsigned kHyperTextPointerEntered = 1528;
constexpr unsigned kHyperTextPointerLeft = 1529;
constexpr unsigned kHyperTextRightClick = 1578;

// Dib and BMPicture: the picture was painted (notification).
constexpr unsigned kPicturePainted = 1530;

// CalDate: set the shown date (message, lParam a DateRecord) and the double
// click reported to the parent (message, wParam control id, lParam the date).
constexpr unsigned kCalDateSetDate = 1531;
constexpr unsigned kCalDateDoubleClick = 1532;

// Table messages to the parent: a row was double-clicked (wParam row key,
// lParam pointer in the list's client coordinates) or right-clicked (wParam
// row key, lParam MAKELONG(screen x, screen y)).
constexpr unsigned kTableRowDoubleClick = 1533;
constexpr unsigned kTableRowRightClick = 1534;
// Table messages to the control.
constexpr unsigned kTableSetColumnWidths = 1539;  // wParam n, lParam uint16_t widths[n]
constexpr unsigned kTableGetChecks = 1540;        // -> uint8_t *checks or 0
constexpr unsigned kTableSetChecks = 1541;        // wParam rows, lParam initial value
constexpr unsigned kTableGetCheckRows = 1542;     // -> number of check bytes
constexpr unsigned kTableGetColumnWidths = 1543;  // -> uint16_t widths[64]
constexpr unsigned kTableGetColumnCount = 1544;   // -> columns, check column included
constexpr unsigned kTableSetSort = 1545;          // wParam sort data, lParam call-back
// Table notification: a check box was toggled (lParam MAKELONG(row key, value)).
constexpr unsigned kTableCheckToggled = 1577;

// In-place value editor: a value was stored (message to the dialog, wParam item id).
constexpr unsigned kValueStored = 1724;

// Code of a plain click (HyperText, Touch, Dib, BMPicture, HeaderButton).
constexpr unsigned kClickNotification = 0;
