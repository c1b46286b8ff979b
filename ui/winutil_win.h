// Small Win32 services shared by the controls, the dialogs and the reports:
// the report text on the clipboard, fonts and pens made from a few numbers,
// control geometry in dialog coordinates, window placement tests, tooltips,
// a multi-line edit's scroll bar, the open-file record, .bin/.bak copies of
// a store, the folder browser, window procedure replacement and the user's
// documents folder.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include "ui/textbuffer.h"

// Text and clipboard. The buffer's text goes to the clipboard as CF_TEXT; only
// when the clipboard took it is the buffer's block freed (text none, length
// 0, capacity 0). Shows "Copy to Clipboard Complete" on success, an error
// box when the clipboard could not be opened or did not take the text (the
// buffer then keeps its text); returns the message box result.
int CopyTextBufferToClipboard(TextBuffer *buffer, HWND owner);
// The text as CF_TEXT without a buffer and without a message; the result of
// closing the clipboard (non-zero), or 0 when any step failed.
int CopyTextToClipboard(HWND owner, const char *text);

// Fonts and pens.
HFONT MakeFont(int height, int pitchAndFamily, int weight, double escapementDegrees, int symbol);
LOGFONTA *MakeLogFont(LOGFONTA *out, const char *faceName, int height, int pitchAndFamily,
                      int weight, int symbol);
HFONT SelectNewFont(HDC dc, int height, int pitchAndFamily, int weight, int symbol);
void DeleteSelectedObject(HDC dc, HGDIOBJ object);
HFONT CreateBoldFontOfWindow(HWND window);
HPEN CreateFlatPen(int penStyle, int width, COLORREF colour);
const char *FormatFontWeightName(const LOGFONTA *font);
int FontHeightToPoints(HWND window, int fontHeight);
int FitFontHeightToWidth(HDC dc, int width, int count, int pitchAndFamily, int weight);
int GetWindowTextHeight(HWND window);

// Geometry and windows.
void GetDlgItemClientRect(HWND dialog, int itemId, RECT *out);
void GetChildClientRect(HWND parent, HWND child, RECT *out);
int IsWindowMaximized(HWND window);
int IsWindowMinimized(HWND window);
// The tooltip window is returned through `tooltip` when asked for.
LRESULT AddToolTip(HWND dialog, HINSTANCE instance, int itemId, int balloon, HWND *tooltip = nullptr);
void FitEditScrollBar(HWND edit);
WNDPROC ReplaceWindowProc(HWND window, WNDPROC procedure);
// The closing buttons of a modal dialog as most dialogs have them: OK ends it
// with 1, Cancel with 0, Help shows the help topic (none for a dialog
// without Help: kNoHelpTopic). 1 when the command was one of them, else 0
// (the dialog handles it, or leaves it to the system).
const int kNoHelpTopic = 0;
int HandleDialogEndButton(HWND dialog, int commandId, int helpTopic);

// Files, folders and the shell.
// The 76-byte OPENFILENAME of the common dialogs before Windows 2000 (the
// larger record is refused by some), zeroed; nMaxFile 255 (the caller's file
// buffer must hold 255 characters), nMaxFileTitle 128.
void InitOpenFileName(OPENFILENAMEA *out, HINSTANCE instance);
// The executable's folder followed by the file name, into a buffer of
// bufferSize characters (128 by the suite's callers). 1 when it fits; else 0
// with the folder followed by "?" (see BuildPathBesideExecutable).
int MakePathBesideExecutable(HINSTANCE instance, char *buffer, const char *fileName,
                             size_t bufferSize = 128);
// Copies "<base>.bin" to "<base>.bak" through a scratch copy, so that a failed
// copy never leaves a truncated backup: 1 copied, 0 failed, 2 no source.
int BackupBinFile(const char *basePath);
// When "<base>.bak" exists, it replaces "<base>.bin" in one step: 0 done, -1
// failed (the .bin is then untouched); 0 also when there is no backup.
int RestoreBinFile(const char *basePath);
int BrowseForFolder(HWND owner, const char *title, const char *startFolder, char *pathOut);
int ReadShellFolderPath(char *buffer, int size);
