// The CalDate calendar control's window: its children, painting, clicks,
// month steps, month menu and typed year (rules in caldaterules.h).
#include "astroui/caldate_win.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "astro/datetext.h"
#include "astroui/caldaterules.h"
#include "resources/caldateids.h"
#include "ui/controlmsgs.h"
#include "ui/winutil_win.h"

namespace {

struct CalDateState {
    DateRecord date;
    HFONT normal;
    HFONT bold;
};

HINSTANCE g_menuInstance = nullptr;    // where CDMONTHPOPUP is loaded from
WNDPROC g_yearEditProc = nullptr;      // the year edit's own procedure

constexpr const char *kWeekdayInitials[7] = {"Su", "M", "T", "W", "Th", "F", "Sa"};

CalDateState *StateOf(HWND window) {
    return reinterpret_cast<CalDateState *>(GetWindowLongPtrA(window, 0));
}

int TextWidth(HDC dc, const char *text) {
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    return size.cx;
}

void Notify(HWND window, CalDateState *s) {
    SendMessageA(GetParent(window), WM_COMMAND, static_cast<WPARAM>(GetWindowLongPtrA(window, GWLP_ID)),
                 reinterpret_cast<LPARAM>(&s->date));
}

// Places and labels the title row's children for the shown month and the
// control's size. Done on creation, resizing and every change of the date,
// never while painting, so that a repaint keeps a year being typed.
void LayoutChildren(HWND window, CalDateState *s) {
    RECT rc;
    GetClientRect(window, &rc);
    const int w = rc.right / kCalDateColumns;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    HWND previous = GetDlgItem(window, IDC_CALDATE_PREVIOUS);
    HWND next = GetDlgItem(window, IDC_CALDATE_NEXT);
    HWND month = GetDlgItem(window, IDC_CALDATE_MONTH);
    HWND year = GetDlgItem(window, IDC_CALDATE_YEAR);
    for (HWND label : {previous, next, month}) {
        SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(s->bold), FALSE);
        SendMessageA(label, kSetBackgroundColour, 0, static_cast<LPARAM>(face));
    }
    SetWindowTextA(previous, "<<");
    SetWindowPos(previous, HWND_TOP, 4, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetWindowTextA(next, ">>");
    SetWindowPos(next, nullptr, rc.right - w, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);

    const char *name = GetMonthName(s->date.month);
    if (!name) name = "";
    char wide[64];
    std::snprintf(wide, sizeof wide, "%sXXXXXXxX", name);
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, s->bold);
    const int titleWidth = TextWidth(dc, wide);
    SIZE yearSize = {0, 0};
    GetTextExtentPoint32A(dc, "XXXXX", 5, &yearSize);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    const int x0 = (rc.right - titleWidth) / 2;
    SetWindowTextA(month, name);
    SetWindowPos(month, nullptr, x0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);

    char text[16];
    std::snprintf(text, sizeof text, "%d", s->date.year);
    SendMessageA(year, WM_SETFONT, reinterpret_cast<WPARAM>(s->bold), FALSE);
    SetWindowTextA(year, text);
    SetWindowPos(year, nullptr, x0 + titleWidth - yearSize.cx, 0, yearSize.cx, yearSize.cy,
                 SWP_NOZORDER | SWP_SHOWWINDOW);
}

void DateChanged(HWND window, CalDateState *s) {
    LayoutChildren(window, s);
    Notify(window, s);
    InvalidateRect(window, nullptr, TRUE);
}

HMENU LoadMonthMenu() {
    HMENU menu = g_menuInstance ? LoadMenuA(g_menuInstance, "CDMONTHPOPUP") : nullptr;
    if (menu) return menu;
    // The program's resources are not there (a host without them): the same
    // menu built from the month names.
    menu = CreateMenu();
    HMENU popup = CreatePopupMenu();
    for (int m = 1; m <= 12; ++m) AppendMenuA(popup, MF_STRING, IDM_CALDATE_JANUARY + m - 1, GetMonthName(m));
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "Month");
    return menu;
}

LRESULT Create(HWND window, const CREATESTRUCTA *cs) {
    CalDateState *s = new CalDateState;
    std::memset(&s->date, 0, sizeof s->date);
    SetDateRecord(&s->date, nullptr, 1, 1, 2000, 0.0, kUniversalTime);
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(s));

    RECT rc;
    GetClientRect(window, &rc);
    const int w = rc.right / kCalDateColumns;
    const int h = rc.bottom / kCalDateRows;
    HDC dc = GetDC(window);
    const int monthWidth = TextWidth(dc, "September ");
    int f = FitFontHeightToWidth(dc, static_cast<int>(std::round(w * 0.85)), 2, FF_SWISS, FW_NORMAL);
    const int byHeight = static_cast<int>(std::round(h * 0.9));
    if (byHeight < f) f = byHeight;
    ReleaseDC(window, dc);
    s->normal = MakeFont(f, FF_SWISS, FW_NORMAL, 0.0, 0);
    s->bold = MakeFont(f, FF_SWISS, FW_BOLD, 0.0, 0);

    HINSTANCE instance = cs->hInstance;
    auto child = [&](const char *cls, DWORD style, int width, int id) {
        return CreateWindowExA(0, cls, " ", WS_CHILD | style, 0, 0, width, 12, window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    constexpr DWORD kLinkColour = 0x1;
    // A link label never grows past the width it was created with: room for
    // "<<" and ">>" in the bold font is a column.
    const int linkWidth = w > 12 ? w : 12;
    child("HyperText", kLinkColour, linkWidth, IDC_CALDATE_PREVIOUS);
    child("HyperText", kLinkColour, linkWidth, IDC_CALDATE_NEXT);
    child("HyperText", kLinkColour, monthWidth, IDC_CALDATE_MONTH);
    HWND year = child("edit", WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_RIGHT, 12, IDC_CALDATE_YEAR);
    g_menuInstance = instance;
    if (year) {
        WNDPROC own = ReplaceWindowProc(year, CalDateYearEditProc);
        if (own != CalDateYearEditProc) g_yearEditProc = own;
    }
    LayoutChildren(window, s);
    return 0;
}

void Destroy(HWND window) {
    CalDateState *s = StateOf(window);
    for (int id : {IDC_CALDATE_PREVIOUS, IDC_CALDATE_NEXT, IDC_CALDATE_MONTH, IDC_CALDATE_YEAR})
        if (HWND c = GetDlgItem(window, id)) DestroyWindow(c);
    if (!s) return;
    if (s->normal) DeleteObject(s->normal);
    if (s->bold) DeleteObject(s->bold);
    delete s;
    SetWindowLongPtrA(window, 0, 0);
}

}  // namespace

const DateRecord *CalDateShownDate(HWND window) {
    CalDateState *s = StateOf(window);
    return s ? &s->date : nullptr;
}

ATOM RegisterCalDateClass(HINSTANCE instance) {
    WNDCLASSA wc = {};
    // The grid's cells are sized from the client area: a resize repaints it
    // whole. Double clicks pick a day and close the dialog.
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = CalDateWndProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kCalDateClassName;
    return RegisterClassA(&wc);
}

void PaintCalDate(HDC dc, HWND window) {
    CalDateState *s = StateOf(window);
    if (!s) return;
    RECT rc;
    GetClientRect(window, &rc);
    const int w = rc.right / kCalDateColumns;
    const int h = rc.bottom / kCalDateRows;
    const int d = CalDateFirstWeekday(&s->date);
    const int n = DaysInMonth(&s->date);

    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    HBRUSH brush = CreateSolidBrush(face);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    HGDIOBJ oldFont = SelectObject(dc, s->normal);
    SetTextColor(dc, ink);
    SetBkColor(dc, face);
    SetBkMode(dc, OPAQUE);
    for (int c = 0; c < kCalDateColumns; ++c) {
        RECT cell = {c * w, h, (c + 1) * w, 2 * h};
        DrawTextA(dc, kWeekdayInitials[c], -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    for (int day = 1; day <= n; ++day) {
        int column, row;
        CalDateCellOfDay(day, d, &column, &row);
        RECT cell = {column * w, row * h, (column + 1) * w, (row + 1) * h};
        char text[8];
        std::snprintf(text, sizeof text, "%d", day);
        const bool shown = day == s->date.day;
        if (shown) {
            HBRUSH mark = CreateSolidBrush(ink);
            FillRect(dc, &cell, mark);
            DeleteObject(mark);
            SetTextColor(dc, face);
            SetBkColor(dc, ink);
        }
        DrawTextA(dc, text, -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (shown) {
            SetTextColor(dc, ink);
            SetBkColor(dc, face);
        }
    }
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK CalDateYearEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && wParam == VK_RETURN) {
        HWND control = GetParent(edit);
        CalDateState *s = StateOf(control);
        char text[64] = {};
        GetWindowTextA(edit, text, sizeof text);
        if (s) {
            if (CalDateApplyYearText(&s->date, text)) {
                DateChanged(control, s);
            } else {
                // Not a year the calendar holds: the shown year comes back.
                MessageBeep(0);
                LayoutChildren(control, s);
            }
        }
        SetFocus(nullptr);
        return 1;
    }
    // The Enter key's own character would put a line break into the year.
    if (message == WM_CHAR && (wParam == '\r' || wParam == '\n')) return 0;
    return g_yearEditProc ? CallWindowProcA(g_yearEditProc, edit, message, wParam, lParam)
                          : DefWindowProcA(edit, message, wParam, lParam);
}

LRESULT CALLBACK CalDateWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CalDateState *s = StateOf(window);
    switch (message) {
    case WM_CREATE:
        return Create(window, reinterpret_cast<const CREATESTRUCTA *>(lParam));
    case WM_DESTROY:
        Destroy(window);
        return 0;
    case WM_SIZE:
        if (s) LayoutChildren(window, s);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // painting fills the whole client area
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        PaintCalDate(dc, window);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_LBUTTONUP: {
        if (!s) return 0;
        RECT rc;
        GetClientRect(window, &rc);
        const int day = CalDateDayAtPoint(static_cast<short>(LOWORD(lParam)),
                                          static_cast<short>(HIWORD(lParam)), rc.right, rc.bottom, &s->date);
        if (day > 0 && CalDateSelectDay(&s->date, day)) DateChanged(window, s);
        return 0;
    }
    case WM_LBUTTONDBLCLK:
        if (s)
            SendMessageA(GetParent(window), kCalDateDoubleClick,
                         static_cast<WPARAM>(GetWindowLongPtrA(window, GWLP_ID)),
                         reinterpret_cast<LPARAM>(&s->date));
        break;
    case WM_COMMAND: {
        if (!s) return 0;
        const int id = LOWORD(wParam);
        // Plain clicks and menu commands only: a right click on a link
        // (kHyperTextRightClick) or the year edit's notifications change nothing.
        if (HIWORD(wParam) != kClickNotification) return 0;
        if (id >= IDM_CALDATE_JANUARY && id <= IDM_CALDATE_DECEMBER) {
            if (CalDateChooseMonth(&s->date, id - IDM_CALDATE_JANUARY + 1)) DateChanged(window, s);
        } else if (id == IDC_CALDATE_PREVIOUS || id == IDC_CALDATE_NEXT) {
            if (CalDateStepMonth(&s->date, id == IDC_CALDATE_PREVIOUS ? -1 : +1)) DateChanged(window, s);
        } else if (id == IDC_CALDATE_MONTH) {
            HMENU menu = LoadMonthMenu();
            if (menu) {
                POINT at;
                GetCursorPos(&at);
                // The choice arrives as a command of 901 to 912; the menu is
                // not needed once the tracking returns.
                TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x,
                               at.y, 0, window, nullptr);
                DestroyMenu(menu);
            }
        }
        return 0;
    }
    case kCalDateSetDate:
        if (s) {
            const DateRecord *given = reinterpret_cast<const DateRecord *>(lParam);
            if (given && CalDateShowDate(&s->date, given)) LayoutChildren(window, s);
            InvalidateRect(window, nullptr, TRUE);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
