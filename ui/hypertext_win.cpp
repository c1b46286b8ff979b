// HyperText: a one-line label that behaves like a link. It sizes itself to
// its text, draws in the link colour (optionally underlined, optionally after
// a small drop-down arrow), shows a focus rectangle and tells its parent of
// clicks (code 0), the Space key (0), right clicks (1578) and, with hover
// tracking, of the pointer entering (1528) and leaving (1529).
#include "ui/controls_win.h"

#include <windowsx.h>

#include <cstdint>
#include <new>
#include <cstring>

#include "core/hostcallbacks.h"
#include "ui/controlgeometry.h"
#include "ui/controlmsgs.h"
#include "ui/controlpictures.h"
#include "ui/dib_win.h"

namespace {

struct HyperTextState {
    uint8_t linkColoured;   // style bit 0x1
    uint8_t hoverTracking;  // style bit 0x2
    uint8_t arrowPrefix;    // style bit 0x4
    uint8_t focused;
    int16_t enabled;
    uint8_t leftPressed;
    uint8_t rightPressed;
    uint8_t pointerInside;  // hover tracking saw the pointer inside
    int32_t maximumWidth;
    HINSTANCE instance;
    HFONT font;             // the font given with WM_SETFONT, for WM_GETFONT
    uint8_t releasing;      // the label itself is giving the capture up
    uint8_t hasBackground;  // 1527 gave a background colour
    COLORREF background;
};

COLORREF g_linkColour = RGB(0, 0, 255);
int g_underline = 0;

constexpr int kTextMax = 511;

HyperTextState *StateOf(HWND window) {
    return reinterpret_cast<HyperTextState *>(GetWindowLongPtrA(window, 0));
}

// The label holds the mouse capture while hover tracking sees the pointer
// inside or a button press on it is pending, so that the release and the
// leaving are seen wherever the pointer goes.
void UpdateCapture(HWND window, HyperTextState *st) {
    bool want = st->pointerInside || st->leftPressed || st->rightPressed;
    if (want && GetCapture() != window) {
        SetCapture(window);
    } else if (!want && GetCapture() == window) {
        st->releasing = 1;
        ReleaseCapture();
        st->releasing = 0;
    }
}

bool PointInClient(HWND window, LPARAM lParam) {
    RECT rc;
    GetClientRect(window, &rc);
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return PtInRect(&rc, pt) != 0;
}

COLORREF TextColourOf(const HyperTextState *st) {
    if (st->linkColoured) return st->enabled ? g_linkColour : GetSysColor(COLOR_WINDOWTEXT);
    return GetSysColor(st->enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
}

void PaintHyperText(HWND window, HyperTextState *st) {
    char text[kTextMax + 1];
    int length = GetWindowTextA(window, text, sizeof text);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT rc;
    GetClientRect(window, &rc);
    COLORREF background = st->hasBackground ? st->background : GetSysColor(COLOR_BTNFACE);
    SetBkColor(dc, background);
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    SetTextColor(dc, TextColourOf(st));
    RECT textRect = rc;
    if (st->arrowPrefix) {
        HBITMAP arrow = LoadControlBitmap(st->instance, IDB_LINK_ARROW);
        if (arrow) {
            DrawBitmapAt(dc, arrow, GetHostPalette(), rc.left, rc.top, SRCAND);
            DeleteObject(arrow);
        }
        textRect.left += kHyperTextArrowWidth;
    }
    DrawTextA(dc, text, length, &textRect, DT_SINGLELINE | DT_LEFT | DT_TOP | DT_NOPREFIX);
    if (g_underline) {
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, text, length, &size);
        HPEN pen = CreatePen(PS_SOLID, 1, g_linkColour);
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, textRect.left, rc.bottom - 1, nullptr);
        LineTo(dc, textRect.left + size.cx, rc.bottom - 1);
        SelectObject(dc, old);
        DeleteObject(pen);
    }
    if (st->focused) DrawFocusRect(dc, &textRect);
    EndPaint(window, &ps);
}

}  // namespace

void SetHyperTextLinkStyle(uint32_t colour, int underline) {
    g_linkColour = static_cast<COLORREF>(colour);
    g_underline = underline;
}

unsigned short RegisterHyperTextClass(HINSTANCE__ *instance) {
    return RegisterControlClass(instance, "HyperText", HyperTextWndProc,
                                CS_HREDRAW | CS_VREDRAW | CS_OWNDC, LoadPressCursor(instance),
                                kStatePointerBytes);
}

LRESULT CALLBACK HyperTextWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        auto *st = new (std::nothrow) HyperTextState();
        if (!st) return -1;
        const CREATESTRUCTA *cs = reinterpret_cast<const CREATESTRUCTA *>(lParam);
        LONG style = GetWindowLongA(window, GWL_STYLE);
        st->linkColoured = (style & 0x1) ? 1 : 0;
        st->hoverTracking = (style & 0x2) ? 1 : 0;
        st->arrowPrefix = (style & 0x4) ? 1 : 0;
        // A label created disabled (WS_DISABLED in its template) gets no
        // WM_ENABLE: take the state from the window.
        st->enabled = static_cast<int16_t>(IsWindowEnabled(window) ? 1 : 0);
        st->instance = cs ? cs->hInstance : nullptr;
        RECT rc;
        GetClientRect(window, &rc);
        st->maximumWidth = rc.right - rc.left;
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(st));
        HDC dc = GetDC(window);
        SetTextColor(dc, st->linkColoured ? g_linkColour : GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        ReleaseDC(window, dc);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    HyperTextState *st = StateOf(window);
    if (!st) {
        // Before creation completed or after destruction: no effect.
        switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(window, &ps);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_SETFOCUS: case WM_KILLFOCUS: case WM_ENABLE: case WM_SETFONT: case WM_KEYDOWN:
        case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_RBUTTONDOWN: case WM_RBUTTONUP:
        case WM_DESTROY: case kSetBackgroundColour:
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_DESTROY:
        SetWindowLongPtrA(window, 0, 0);
        if (GetCapture() == window) ReleaseCapture();
        delete st;
        return 0;
    case WM_SIZE:
        st->maximumWidth = LOWORD(lParam);
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // One focus rectangle, drawn by WM_PAINT round the text: drawing it
        // here as well would leave stale frames after a repaint.
        st->focused = message == WM_SETFOCUS;
        if (message == WM_KILLFOCUS) {
            st->leftPressed = st->rightPressed = 0;
            UpdateCapture(window, st);
        }
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_ENABLE:
        st->enabled = static_cast<int16_t>(wParam ? 1 : 0);
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_SETTEXT: {
        const char *text = lParam ? reinterpret_cast<const char *>(lParam) : "";
        int length = static_cast<int>(strnlen(text, kTextMax));  // only that much is drawn
        if (length == 0) {
            text = " ";
            length = 1;
        }
        HDC dc = GetDC(window);
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, text, length, &size);
        ReleaseDC(window, dc);
        int keep = st->maximumWidth;
        int width = HyperTextLabelWidth(size.cx, st->arrowPrefix, keep);
        SetWindowPos(window, nullptr, 0, 0, width, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        st->maximumWidth = keep;
        InvalidateRect(window, nullptr, TRUE);
        break;
    }
    case WM_SETFONT: {
        HDC dc = GetDC(window);
        SelectObject(dc, wParam ? reinterpret_cast<HFONT>(wParam) : GetStockObject(SYSTEM_FONT));
        ReleaseDC(window, dc);
        st->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(st->font);
    case kSetBackgroundColour: {
        st->hasBackground = 1;
        st->background = static_cast<COLORREF>(lParam);
        HDC dc = GetDC(window);
        SetBkColor(dc, st->background);
        ReleaseDC(window, dc);
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            st->leftPressed = st->rightPressed = 0;
            UpdateCapture(window, st);
            NotifyControlParent(window, kClickNotification);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (st->hoverTracking) {
            bool inside = PointInClient(window, lParam);
            if (inside && !st->pointerInside) {
                st->pointerInside = 1;
                UpdateCapture(window, st);
                NotifyControlParent(window, kHyperTextPointerEntered);
            } else if (!inside && st->pointerInside) {
                st->pointerInside = 0;
                UpdateCapture(window, st);
                NotifyControlParent(window, kHyperTextPointerLeft);
            }
        }
        break;
    case WM_CAPTURECHANGED:
        // Another window took the capture (a menu, a modal dialog opened on a
        // click): the pending press is void and the pointer counts as gone.
        if (!st->releasing && reinterpret_cast<HWND>(lParam) != window) {
            st->leftPressed = st->rightPressed = 0;
            if (st->pointerInside) {
                st->pointerInside = 0;
                NotifyControlParent(window, kHyperTextPointerLeft);
            }
        }
        return 0;
    case WM_LBUTTONDOWN:
        st->leftPressed = 1;
        UpdateCapture(window, st);
        return 0;
    case WM_LBUTTONUP: {
        bool click = st->leftPressed && PointInClient(window, lParam);
        st->leftPressed = 0;
        UpdateCapture(window, st);
        if (click) NotifyControlParent(window, kClickNotification);
        return 0;
    }
    case WM_RBUTTONDOWN:
        st->rightPressed = 1;
        UpdateCapture(window, st);
        return 0;
    case WM_RBUTTONUP: {
        bool click = st->rightPressed && PointInClient(window, lParam);
        st->rightPressed = 0;
        UpdateCapture(window, st);
        if (click) NotifyControlParent(window, kHyperTextRightClick);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT fills the whole client area
    case WM_PAINT:
        PaintHyperText(window, st);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
