// A debugging aid: the symbolic names of window messages and a tracer that
// appends the name of each message a window procedure receives to
// "debug.txt" in the current directory. Never called on a release path.
#pragma once

// The platform's standard WM_ name of a message number, or nullptr for a
// number the table does not hold. The table holds 164 numbers from 28 up;
// 0 to 27 (WM_CREATE, WM_DESTROY, WM_PAINT, WM_SIZE ...) are not among them,
// so a trace shows none of that traffic. A number with two standard names
// carries one: the range markers WM_KEYLAST (264), WM_HANDHELDFIRST/LAST,
// WM_AFXFIRST/LAST, WM_PENWINFIRST/LAST and WM_APP by their marker name, the
// others by the message's own name (256 WM_KEYDOWN, not WM_KEYFIRST; 271
// WM_IME_COMPOSITION, not WM_IME_KEYLAST; 512 WM_MOUSEMOVE, not WM_MOUSEFIRST;
// 522 WM_MOUSEWHEEL, not WM_MOUSELAST).
const char *WindowMessageName(unsigned message);

// Appends "name\n" to the file at path (opened "a" and closed again) when the
// number has a name; returns the result of fclose, or -1 when the file could
// not be opened (nothing written).
int TraceWindowMessageToFile(const char *path, unsigned message);
// TraceWindowMessageToFile for "debug.txt" in the current directory.
int TraceWindowMessage(unsigned message);
