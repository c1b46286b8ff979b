// HeaderButton: a flat push button in the style of a list header, raised
// with a white top edge and a black two-pixel bottom edge, pressed with a
// dark outline, showing a centred bitmap or its centred text. It keeps a
// check state for the parent and notifies the parent when a press on it is
// released over it.
#include "ui/controls_win.h"

#include <windowsx.h>

#include "ui/controlgeometry.h"
#include "ui/controlmsgs.h"
#include "ui/dib_win.h"

namespace {

// Offsets in the window's 28 extra bytes. Handles are kept as 32-bit values,
// as GDI handles are on every Windows.
constexpr int kCheckOffset = 0;     // 16-bit check state
constexpr int kBitmapOffset = 4;    // HBITMAP shown instead of the text (the parent's)
constexpr int kPressedOffset = 8;   // 32-bit: a press on the button is pending
constexpr int kPaletteOffset = 12;  // HPALETTE for the bitmap (the parent's)
constexpr int kFontOffset = 16;     // HFONT given with WM_SETFONT
constexpr int kBitmapWidthOffset = 20;
constexpr int kBitmapHeightOffset = 24;

bool PointInClient(HWND window, LPARAM lParam) {
    RECT rc;
    GetClientRect(window, &rc);
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return PtInRect(&rc, pt) != 0;
}

void Line(HDC dc, COLORREF colour, int x0, int y0, int x1, int y1) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    SelectObject(dc, old);
    DeleteObject(pen);
}

}  // namespace

unsigned short RegisterHeaderButtonClass(HINSTANCE__ *instance) {
    return RegisterControlClass(instance, "HeaderButton", HeaderButtonWndProc,
                                CS_HREDRAW | CS_VREDRAW | CS_OWNDC, nullptr, 28)
               ? 1
               : 0;
}

void PaintHeaderButton(HWND window, HDC dc, int raised) {
    RECT rc;
    GetClientRect(window, &rc);
    char text[128];
    int length = GetWindowTextA(window, text, sizeof text);
    HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    HGDIOBJ oldBrush = SelectObject(dc, face);
    if (raised) {
        FillRect(dc, &rc, face);
        Line(dc, RGB(255, 255, 255), rc.left, rc.top, rc.right - 1, rc.top);
        Line(dc, RGB(0, 0, 0), rc.left, rc.bottom - 2, rc.right - 1, rc.bottom - 2);
        HPEN black = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
        HGDIOBJ oldPen = SelectObject(dc, black);
        MoveToEx(dc, rc.left, rc.bottom - 1, nullptr);
        LineTo(dc, rc.right - 1, rc.bottom - 1);
        LineTo(dc, rc.right - 1, rc.top + 1);
        SelectObject(dc, oldPen);
        DeleteObject(black);
        Line(dc, RGB(64, 64, 64), rc.left, rc.top + 1, rc.left, rc.bottom - 1);
    } else {
        HPEN outline = CreatePen(PS_SOLID, 1, RGB(64, 64, 64));
        HGDIOBJ oldPen = SelectObject(dc, outline);
        Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
        SelectObject(dc, oldPen);
        DeleteObject(outline);
        rc.top += 1;
        rc.bottom += 1;
    }
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(static_cast<LONG_PTR>(GetWindowLongA(window, kBitmapOffset)));
    if (bitmap) {
        int x = 0, y = 0;
        HeaderButtonBitmapOrigin(rc.right - rc.left, rc.bottom - rc.top,
                                 static_cast<short>(GetWindowWord(window, kBitmapWidthOffset)),
                                 static_cast<short>(GetWindowWord(window, kBitmapHeightOffset)),
                                 !raised, &x, &y);
        HPALETTE palette = reinterpret_cast<HPALETTE>(static_cast<LONG_PTR>(GetWindowLongA(window, kPaletteOffset)));
        DrawBitmapAt(dc, bitmap, palette, x, y, SRCAND);
    } else {
        SetTextColor(dc, GetSysColor(GetWindowWord(window, kCheckOffset) ? COLOR_HIGHLIGHTTEXT
                                                                         : COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        rc.left += 1;
        DrawTextA(dc, text, length, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldBrush);
    DeleteObject(face);
}

LRESULT CALLBACK HeaderButtonWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        HDC dc = GetDC(window);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        ReleaseDC(window, dc);
        SetWindowLongA(window, kBitmapOffset, 0);
        SetWindowLongA(window, kPaletteOffset, 0);
        SetWindowLongA(window, kPressedOffset, 0);
        SetWindowLongA(window, kFontOffset, 0);
        break;
    }
    case WM_SETFONT: {
        HDC dc = GetDC(window);
        SelectObject(dc, wParam ? reinterpret_cast<HFONT>(wParam) : GetStockObject(SYSTEM_FONT));
        ReleaseDC(window, dc);
        SetWindowLongA(window, kFontOffset, static_cast<LONG>(static_cast<LONG_PTR>(wParam)));
        if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    case WM_GETFONT:
        return static_cast<LONG_PTR>(GetWindowLongA(window, kFontOffset));
    case WM_LBUTTONDOWN: {
        HDC dc = GetDC(window);
        PaintHeaderButton(window, dc, 0);
        ReleaseDC(window, dc);
        SetWindowLongA(window, kPressedOffset, 1);
        SetCapture(window);
        break;
    }
    case WM_MOUSEMOVE:
        if ((wParam & MK_LBUTTON) && GetWindowLongA(window, kPressedOffset) &&
            !PointInClient(window, lParam)) {
            // Leaving with the button down cancels the press: the button
            // looks raised again and a later release notifies nothing.
            SetWindowLongA(window, kPressedOffset, 0);
            InvalidateRect(window, nullptr, TRUE);
            if (GetCapture() == window) ReleaseCapture();
        }
        break;
    case WM_LBUTTONUP: {
        // Only a press that began on this button and ends over it is a click:
        // a press elsewhere dragged onto the button is not.
        bool click = GetWindowLongA(window, kPressedOffset) && PointInClient(window, lParam);
        SetWindowLongA(window, kPressedOffset, 0);
        InvalidateRect(window, nullptr, TRUE);
        if (GetCapture() == window) ReleaseCapture();
        if (click) {
            HWND parent = GetParent(window);
            if (parent)
                SendMessageA(parent, WM_COMMAND, static_cast<WPARAM>(GetWindowLongA(window, GWL_ID)),
                             reinterpret_cast<LPARAM>(window));
        }
        break;
    }
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != window && GetWindowLongA(window, kPressedOffset)) {
            SetWindowLongA(window, kPressedOffset, 0);
            InvalidateRect(window, nullptr, TRUE);
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;  // painting fills the whole button
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        PaintHeaderButton(window, dc, IsWindowEnabled(window) ? 1 : 0);
        EndPaint(window, &ps);
        return 0;
    }
    case BM_GETCHECK:
        return static_cast<short>(GetWindowWord(window, kCheckOffset));
    case BM_SETCHECK:
        SetWindowWord(window, kCheckOffset, static_cast<WORD>(wParam));
        InvalidateRect(window, nullptr, TRUE);
        break;
    case kHeaderButtonSetBitmap:
        SetWindowLongA(window, kBitmapOffset, static_cast<LONG>(static_cast<LONG_PTR>(lParam)));
        break;
    case kHeaderButtonSetPalette:
        SetWindowLongA(window, kPaletteOffset, static_cast<LONG>(static_cast<LONG_PTR>(lParam)));
        break;
    case kHeaderButtonSetBitmapSize: {
        SetWindowWord(window, kBitmapWidthOffset, LOWORD(lParam));
        SetWindowWord(window, kBitmapHeightOffset, HIWORD(lParam));
        // Painted at once through a window context: a BeginPaint outside
        // WM_PAINT would clip to an empty update region.
        HDC dc = GetDC(window);
        PaintHeaderButton(window, dc, IsWindowEnabled(window) ? 1 : 0);
        ReleaseDC(window, dc);
        ValidateRect(window, nullptr);
        return 0;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
