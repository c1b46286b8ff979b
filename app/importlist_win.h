// The list of the import passes backed by a Win32 list box: each entry becomes
// a row whose item data is its not-recognised flag, and a failed add asks the
// user, over the main window, whether to go on.
#pragma once
#include <windows.h>

#include "app/importpass.h"

// A sink that adds rows to the list box (LB_ADDSTRING, then LB_SETITEMDATA at
// the new row's index, then widens LB_SETHORIZONTALEXTENT to the row's
// text so a long row scrolls sideways) and asks with a Yes/No warning box captioned
// "Gleaner Message". The sink holds the window handle only.
ImportListSink MakeImportListSink(HWND list);
