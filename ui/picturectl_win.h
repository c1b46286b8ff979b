// The picture controls: `Dib` (a picture of the suite's "bin" folder named by
// the control's text), `BMPicture` (a picture named relative to the current
// folder) and `animDIB` (a four-frame clock shown while work goes on). Style
// bits of Dib and BMPicture: 0x1 notify the parent after each painting (code
// 1530), 0x2 right-aligned, 0x4 natural size, 0x8 transparent (key colour
// red, or RGB(206, 66, 24) on palette displays). WM_SETTEXT names a new
// picture; a left press is reported as code 0.
#pragma once
#include <windows.h>

LRESULT CALLBACK DibWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK BMPictureWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AnimDIBWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Register the classes "Dib", "BMPicture" and "animDIB" for the instance; the
// class atom, 0 on failure.
ATOM RegisterDibClass(HINSTANCE instance);
ATOM RegisterBMPictureClass(HINSTANCE instance);
ATOM RegisterAnimDIBClass(HINSTANCE instance);

// Extra window bytes of Dib and BMPicture: 16-bit flags at 0 (notify), 2
// (natural size) and 4 (right-aligned), the bitmap at 6, the DibImage pointer
// after it and the 16-bit transparent flag last (offsets 6, 10 and 14 in the
// 32-bit program).
constexpr int kDibNotifyOffset = 0;
constexpr int kDibNaturalOffset = 2;
constexpr int kDibRightOffset = 4;
constexpr int kDibBitmapOffset = 6;
constexpr int kDibImageOffset = kDibBitmapOffset + static_cast<int>(sizeof(LONG_PTR));
constexpr int kDibTransparentOffset = kDibImageOffset + static_cast<int>(sizeof(LONG_PTR));
constexpr int kDibExtraBytes = kDibTransparentOffset + 2;

// Number of animDIB windows alive and the frame they show (tests and tracing).
int GetAnimDIBWindowCount();
int GetAnimDIBFrame();
