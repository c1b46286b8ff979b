// The CalDate calendar control: one month as a grid under a title of "<<",
// the month name (a menu of months), the year (an edit; Enter applies it) and
// ">>". It holds its date in a DateRecord and hands a pointer to that record
// to its parent with every change: WM_COMMAND (wParam the control's id,
// lParam the record), and kCalDateDoubleClick (ui/controlmsgs.h) on a double
// click. kCalDateSetDate (lParam a DateRecord, or none to repaint) shows a
// date. The HyperText class must be registered (ui/controls.h). The grid's
// rules are caldaterules.h.
#pragma once
#include <windows.h>

#include "astro/datetime.h"

constexpr const char *kCalDateClassName = "CalDate";

// Registers the class (double clicks on); the atom, 0 on failure.
ATOM RegisterCalDateClass(HINSTANCE instance);
LRESULT CALLBACK CalDateWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintCalDate(HDC dc, HWND window);
LRESULT CALLBACK CalDateYearEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
// The control's date (for tests and parents that read it at once), or none.
const DateRecord *CalDateShownDate(HWND window);
