// Registration of the control classes and the four simple controls: the
// etched frame CShade, the invisible click area Touch, the 20-step
// ProgressIndicator and the Symbol-font label SymbolText.
#include "ui/controls_win.h"

#include <algorithm>
#include <cstring>

#include "ui/controlgeometry.h"
#include "ui/controlmsgs.h"
#include "ui/winutil_win.h"

ATOM RegisterControlClass(HINSTANCE instance, const char *name, WNDPROC procedure, UINT style,
                          HCURSOR cursor, int extraBytes) {
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = extraBytes;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOWTEXT + 1);
    wc.lpszClassName = name;
    ATOM atom = RegisterClassA(&wc);
    if (!atom) {
        char line[160];
        wsprintfA(line, "Gleaner: class %s not registered (error %lu)\n", name, GetLastError());
        OutputDebugStringA(line);
    }
    return atom;
}

HCURSOR LoadPressCursor(HINSTANCE instance) {
    HCURSOR cursor = LoadCursorA(instance, "PressCur");
    return cursor ? cursor : LoadCursor(nullptr, IDC_HAND);
}

void NotifyControlParent(HWND window, unsigned code) {
    HWND parent = GetParent(window);
    if (!parent) return;
    int id = GetDlgCtrlID(window);
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(window));
}

// ---- CShade -----------------------------------------------------------------

unsigned short RegisterCShadeClass(HINSTANCE__ *instance) {
    return RegisterControlClass(instance, "CShade", CShadeWndProc, CS_PARENTDC, nullptr, 4);
}

LRESULT CALLBACK CShadeWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        SetWindowWord(window, 0, (GetWindowLongA(window, GWL_STYLE) & 0x1) ? 1 : 0);
        EnableWindow(window, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT fills the whole face
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT rc;
        GetClientRect(window, &rc);
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        HBRUSH faceBrush = CreateSolidBrush(face);
        FillRect(dc, &rc, faceBrush);
        DeleteObject(faceBrush);
        bool sunken = GetWindowWord(window, 0) != 0;
        COLORREF upperLeft = GetSysColor(sunken ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
        COLORREF lowerRight = GetSysColor(sunken ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
        HPEN pen = CreatePen(PS_SOLID, 1, upperLeft);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        MoveToEx(dc, rc.left, rc.bottom - 1, nullptr);
        LineTo(dc, rc.left, rc.top);
        LineTo(dc, rc.right - 1, rc.top);
        SetPixel(dc, rc.left, rc.bottom, face);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
        pen = CreatePen(PS_SOLID, 1, lowerRight);
        oldPen = SelectObject(dc, pen);
        MoveToEx(dc, rc.left + 1, rc.bottom - 1, nullptr);
        LineTo(dc, rc.right - 1, rc.bottom - 1);
        LineTo(dc, rc.right - 1, rc.top - 1);
        SetPixel(dc, rc.right - 1, rc.top, face);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
        EndPaint(window, &ps);
        return 0;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// ---- Touch ------------------------------------------------------------------

unsigned short RegisterTouchClass(HINSTANCE__ *instance) {
    return RegisterControlClass(instance, "Touch", TouchWndProc, CS_HREDRAW | CS_VREDRAW,
                                LoadPressCursor(instance), 4);
}

LRESULT CALLBACK TouchWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
    case WM_LBUTTONDOWN:
        return 0;
    case WM_ERASEBKGND:
        // The parent's drawing shows through: an erase with the class brush
        // would paint a black box over it.
        return 1;
    case WM_PAINT: {
        RECT update;
        if (GetUpdateRect(window, &update, FALSE)) ValidateRect(window, &update);
        return 0;
    }
    case WM_LBUTTONUP: {
        HWND parent = GetParent(window);
        if (parent)
            SendMessageA(parent, WM_COMMAND, static_cast<WPARAM>(GetWindowLongA(window, GWL_ID)),
                         reinterpret_cast<LPARAM>(window));
        return 0;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// ---- ProgressIndicator ------------------------------------------------------

unsigned short RegisterProgressIndicatorClass(HINSTANCE__ *instance) {
    return RegisterControlClass(instance, "ProgressIndicator", ProgressIndicatorWndProc,
                                CS_HREDRAW | CS_VREDRAW, nullptr, 2);
}

void PaintProgressIndicator(HWND window) {
    HDC dc = GetDC(window);
    if (!dc) return;
    RECT rc;
    GetClientRect(window, &rc);
    COLORREF windowColour = GetSysColor(COLOR_WINDOW);
    HPEN pen = CreatePen(PS_SOLID, 1, windowColour);
    HBRUSH background = CreateSolidBrush(windowColour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, background);
    Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
    int steps = static_cast<short>(GetWindowWord(window, 0));
    int bar = ProgressBarPixels(rc.right - rc.left, steps);
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    SelectObject(dc, grey);
    if (bar > 0) Rectangle(dc, rc.left, rc.top, rc.left + bar, rc.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(grey);
    DeleteObject(background);
    DeleteObject(pen);
    ValidateRect(window, &rc);
    ReleaseDC(window, dc);
}

LRESULT CALLBACK ProgressIndicatorWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        SetWindowWord(window, 0, 0);
        return 0;
    case WM_COMMAND: {
        int steps = static_cast<short>(GetWindowWord(window, 0));
        if (wParam == kProgressStep) {
            steps = std::min(steps + 1, kProgressStepCount);
        } else if (wParam == kProgressEmpty) {
            steps = 0;
        } else if (wParam == kProgressFull) {
            steps = kProgressStepCount;
        } else {
            break;
        }
        SetWindowWord(window, 0, static_cast<WORD>(steps));
        PaintProgressIndicator(window);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;  // painting covers the whole client area
    case WM_PAINT:
        PaintProgressIndicator(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// ---- SymbolText -------------------------------------------------------------

unsigned short RegisterSymbolTextClass(HINSTANCE__ *instance) {
    return RegisterControlClass(instance, "SymbolText", SymbolTextWndProc,
                                CS_HREDRAW | CS_VREDRAW | CS_OWNDC, nullptr, 4);
}

namespace {

constexpr int kLabelTextMax = 511;

// Size of a label text in the window's own context; an empty text is 0 wide
// and as high as the font (GetTextExtentPoint32 may give 0 for no text).
SIZE MeasureLabelText(HDC dc, const char *text, int length) {
    SIZE size = {0, 0};
    if (length > 0) {
        GetTextExtentPoint32A(dc, text, length, &size);
    } else {
        TEXTMETRICA tm;
        if (GetTextMetricsA(dc, &tm)) size.cy = tm.tmHeight;
    }
    return size;
}

}  // namespace

LRESULT CALLBACK SymbolTextWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        HDC dc = GetDC(window);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SIZE sample = {0, 0};
        GetTextExtentPoint32A(dc, "HXyg", 4, &sample);
        HFONT font = MakeFont(sample.cy, 0, FW_NORMAL, 0.0, 1);
        if (font) SelectObject(dc, font);
        ReleaseDC(window, dc);
        return 0;
    }
    case WM_DESTROY: {
        HDC dc = GetDC(window);
        HGDIOBJ font = SelectObject(dc, GetStockObject(SYSTEM_FONT));
        if (font && font != GetStockObject(SYSTEM_FONT)) DeleteObject(font);
        ReleaseDC(window, dc);
        return 0;
    }
    case WM_SETTEXT: {
        const char *text = lParam ? reinterpret_cast<const char *>(lParam) : "";
        // Only the first 511 characters are ever drawn: size for those.
        int length = static_cast<int>(strnlen(text, kLabelTextMax));
        HDC dc = GetDC(window);
        SIZE size = MeasureLabelText(dc, text, length);
        ReleaseDC(window, dc);
        SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(window, nullptr, TRUE);
        break;
    }
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT fills the whole client area
    case WM_PAINT: {
        char text[kLabelTextMax + 1];
        int length = GetWindowTextA(window, text, sizeof text);
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT rc;
        GetClientRect(window, &rc);
        HBRUSH brush = CreateSolidBrush(GetBkColor(dc));
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
        TextOutA(dc, 0, 0, text, length);
        EndPaint(window, &ps);
        return 0;
    }
    case kSetBackgroundColour: {
        HDC dc = GetDC(window);
        SetBkColor(dc, static_cast<COLORREF>(lParam));
        ReleaseDC(window, dc);
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    case WM_SETFOCUS:
        // A label takes no keys: hand the focus back to where it came from
        // rather than leave the dialog without a working focus.
        if (wParam && IsWindow(reinterpret_cast<HWND>(wParam)))
            SetFocus(reinterpret_cast<HWND>(wParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
