// The in-place value editor: a small edit field over a dialog item (or first
// a popup menu of preset values ending in "Enter Value") in which the user
// types a number, clock time or angle; the value is checked against a range,
// stored into the caller's variable, shown in the item and announced to the
// dialog with kValueStored (ui/controlmsgs.h; wParam the item id). One edit
// at a time, process-wide.
#pragma once
#include <windows.h>

#include "astroui/valueeditrules.h"

constexpr int kValueEditFieldId = 3399;       // the edit field's control id
constexpr int kValuePresetFirstCommand = 5000;  // menu command of preset 0; + count: "Enter Value"
constexpr int kValuePresetNameSize = 32;      // one preset's text slot

// Starts editing the item: with presets (count above 0) shows their menu at
// the cursor (the dialog then passes its WM_COMMAND messages to
// HandleValuePresetCommand), else opens the edit field. target is an int32_t
// (kind 0), a float (kind 4) or a double. Nothing when an edit is open.
void BeginValueEdit(HWND dialog, int itemId, const char (*presetNames)[kValuePresetNameSize],
                    int presetCount, double minimum, double maximum, const char *format,
                    int kind, void *target);
// For the dialog's WM_COMMAND while a preset menu was shown: 1 when the first
// preset was chosen (its text is put into the item; nothing stored; the item
// id is handed out), else 0. A later preset is also put into the item, and
// its value stored and announced when the text reads as a number; "Enter
// Value" opens the edit field. The menu and the kept target are dropped once a
// choice is handled. Only menu commands (high word 0, lParam 0) count.
int HandleValuePresetCommand(HWND dialog, WPARAM wParam, LPARAM lParam, int *itemId);
// Closes an open edit field without storing; returns 0.
int CancelValueEdit();
// Reads the edit field and, when valid, stores, shows, announces and closes it.
void CommitValueEdit(HWND edit);
LRESULT CALLBACK ValueEditSubclassProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
// The open edit field, or none (for tests and for dialogs that close early).
HWND OpenValueEditField();
