// The telescope report opened from the telescope dialogs' "Report" button.
#pragma once
#include <windows.h>

struct InstrumentDialogState;

// The report on the state's working telescope (never changed by it); a
// message instead when the main optics have neither eyepieces nor cameras.
// The report window's result (1 closed, 0 escaped), or 0.
int ShowTelescopeReport(HWND owner, InstrumentDialogState *state);
