// Window procedures of the suite's control classes and the helpers they
// share. The classes are registered through ui/controls.h.
#pragma once
#include <windows.h>

#include "ui/controls.h"

LRESULT CALLBACK CShadeWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TouchWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ProgressIndicatorWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintProgressIndicator(HWND window);
LRESULT CALLBACK SymbolTextWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK HyperTextWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK HeaderButtonWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintHeaderButton(HWND window, HDC dc, int raised);
LRESULT CALLBACK TableWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Extra window bytes that hold a pointer to a control's state: 4 in the
// 32-bit program (the layout the suite's classes state), 8 in a 64-bit build.
constexpr int kStatePointerBytes = static_cast<int>(sizeof(LONG_PTR));

// Registers one control class: no menu, background brush COLOR_WINDOWTEXT + 1.
ATOM RegisterControlClass(HINSTANCE instance, const char *name, WNDPROC procedure, UINT style,
                          HCURSOR cursor, int extraBytes);
// The program's "PressCur" cursor; the system's hand when the module has none.
HCURSOR LoadPressCursor(HINSTANCE instance);
// Bitmap resource IDB_LINK_ARROW or IDB_TABLE_CHECK of the module, or the same picture built in
// memory when the module does not carry it. The caller deletes it.
HBITMAP LoadControlBitmap(HINSTANCE instance, int id);
// WM_COMMAND to the window's parent: MAKELONG(control id, code), lParam the window.
void NotifyControlParent(HWND window, unsigned code);

// Table helpers: rebuild the header from titles (none or empty: the window
// text) giving every column `width` when it is non-zero; repaint one row;
// draw one row of the owner-drawn list.
void SetTableHeader(HWND table, const char *titles, int width);
void InvalidateTableRow(HWND table, int row);
void DrawTableRow(HWND table, const DRAWITEMSTRUCT *item);
