// The class pictures (14 x 14 pixels, "bin/%02d.bmp") and the SCBitmap cell
// that shows the picture of an object's class: a grey cell with a white edge
// on the left and top, the picture inside.
#include <cstdio>

#include "app/classflags.h"
#include "app/gleaner_win.h"
#include "ui/dib_win.h"

namespace {
struct ClassPicture {
    HBITMAP bitmap;
    DibImage image;
};
// Slots 1..21; slot 0 is unused so that the index is the slot number.
ClassPicture g_pictures[kClassPictureSlots + 1];
const WORD kNoPicture = 999;
}  // namespace

void LoadClassBitmaps(HWND window) {
    HDC dc = GetDC(window);
    bool palette = DisplayHasPalette() != 0;
    for (int i = 1; i <= kClassPictureSlots; ++i) {
        if (!ClassPictureIsDrawn(i)) continue;
        char path[32];
        std::snprintf(path, sizeof path, palette ? "bin/%02dd.bmp" : "bin/%02d.bmp", i);
        ZeroMemory(&g_pictures[i].image, sizeof g_pictures[i].image);
        g_pictures[i].bitmap = LoadDibFile(dc, path, &g_pictures[i].image);
    }
    ReleaseDC(window, dc);
}

void FreeClassBitmaps() {
    for (int i = 1; i <= kClassPictureSlots; ++i) {
        if (!ClassPictureIsDrawn(i) || !g_pictures[i].bitmap) continue;
        FreeDib(&g_pictures[i].bitmap, &g_pictures[i].image);
        g_pictures[i].bitmap = nullptr;
    }
}

ATOM RegisterSCBitmapClass(HINSTANCE instance) {
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = SCBitmapWndProc;
    wc.cbWndExtra = 2;
    wc.hInstance = instance;
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "SCBitmap";
    return RegisterClassA(&wc);
}

LRESULT CALLBACK SCBitmapWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        SetWindowWord(window, 0, kNoPicture);
        return 0;
    case kSCBitmapSetFlag:
        SetWindowWord(window, 0, (WORD)GetClassBitmapIndex((unsigned)wParam));
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE);
        return 0;
    case WM_PAINT: {
        int index = (int)GetWindowWord(window, 0);
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT rc;
        GetClientRect(window, &rc);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(GRAY_BRUSH));
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        Rectangle(dc, rc.left, rc.top, rc.right + 1, rc.bottom + 1);
        if (index < kNoPicture) {
            SelectObject(dc, GetStockObject(WHITE_PEN));
            MoveToEx(dc, rc.left, rc.bottom - 1, nullptr);
            LineTo(dc, rc.left, rc.top);
            LineTo(dc, rc.right, rc.top);
            // Only the 21 slots hold pictures; index 22 (Earth satellites)
            // and index 2 have none.
            if (ClassPictureIsDrawn(index) && g_pictures[index].bitmap) {
                RECT src = {0, 0, 14, 14};
                DrawDibImage(dc, &rc, g_pictures[index].bitmap, &src, &g_pictures[index].image, 0, 0);
            }
        }
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        EndPaint(window, &ps);
        return 0;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
