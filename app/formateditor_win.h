// The format editor "Configure File Format" and its two prompts.
#pragma once
#include <windows.h>

// Runs the editor modally on a copy of the current format; only OK (with
// every field valid) copies the edits back. 1 for OK, 0 for Cancel.
int RunFormatEditor(HWND owner);

INT_PTR CALLBACK ConfigDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void InitConfigDialog(HWND dialog);
void ShowFormatInDialog(HWND dialog);
// 1, or 0 with the user's message in message (size bytes).
int ReadFormatFromDialog(HWND dialog, char *message, int size);
void UpdateFormatKindState(HWND dialog);
void UpdateTimeFieldState(HWND dialog);
void UpdateSourceFieldState(HWND dialog);
void FillConditionColumnList(HWND dialog);
void FillExtraColumnList(HWND dialog);
void FillConditionTagList(HWND dialog);
void FillExtraTagList(HWND dialog);

// The typed number as typed (1-based); -1 when unreadable or negative; 0 on Cancel.
int RunColumnDialog(HWND owner, const char *prompt);
// The length of the typed tag (up to 63 characters, copied into tag, which
// holds 64 bytes or more) on OK; 0 on Cancel (tag untouched).
int RunTagDialog(HWND owner, const char *prompt, char *tag);
