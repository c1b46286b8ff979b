// The in-place value editor's windows: the preset menu, the edit field and
// its replaced window procedure (rules in valueeditrules.h).
#include "astroui/valueedit_win.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/angleparse.h"
#include "core/textutil.h"
#include "ui/controlmsgs.h"
#include "ui/winutil_win.h"

namespace {

struct ValueEditState {
    HWND edit = nullptr;
    WNDPROC editProc = nullptr;
    double minimum = 0, maximum = 0;
    int kind = 0;
    char format[kValueEditFormatSize] = {};
    void *target = nullptr;
    int itemId = 0;
    HWND item = nullptr;
    HWND dialog = nullptr;
    HMENU presetMenu = nullptr;
    int presetCount = 0;
    LONG_PTR itemStyle = 0;  // the item's style before the edit clipped it
    int cancelOnInvalid = 0;
    // Set while the edit is destroyed, so that the loss of focus that comes
    // with destroying a focused window neither commits nor destroys again.
    int destroying = 0;
};

ValueEditState &State() {
    static ValueEditState state;
    return state;
}

void DropPresetMenu() {
    ValueEditState &s = State();
    if (s.presetMenu) DestroyMenu(s.presetMenu);
    s.presetMenu = nullptr;
    s.presetCount = 0;
}

// Closes the field: the item enabled again, the edit destroyed under the guard.
void CloseEditField() {
    ValueEditState &s = State();
    if (!s.edit) return;
    HWND edit = s.edit;
    if (s.item) {
        SetWindowLongPtrA(s.item, GWL_STYLE, s.itemStyle);
        EnableWindow(s.item, TRUE);
        InvalidateRect(s.item, nullptr, TRUE);
    }
    s.destroying = 1;
    DestroyWindow(edit);
    s.destroying = 0;
    s.edit = nullptr;
    s.target = nullptr;
}

int TextWidth(HDC dc, const char *text) {
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    return size.cx;
}

void OpenEditField() {
    ValueEditState &s = State();
    if (s.edit || !s.dialog || !s.item) return;
    RECT rc;
    GetDlgItemClientRect(s.dialog, s.itemId, &rc);
    EnableWindow(s.item, FALSE);
    // Sized for the wider of the range's two ends (a negative minimum can be
    // the longer text), or a zero clock time or angle.
    char low[kValueEditTextSize], high[kValueEditTextSize];
    if (s.kind == kValueKindInteger) {
        FormatEditedValue(s.kind, s.format, std::round(s.minimum), low, sizeof low);
        FormatEditedValue(s.kind, s.format, std::round(s.maximum), high, sizeof high);
    } else if (s.kind == kValueKindDouble) {
        FormatEditedValue(s.kind, s.format, s.minimum, low, sizeof low);
        FormatEditedValue(s.kind, s.format, s.maximum, high, sizeof high);
    } else {
        FormatEditedValue(s.kind, s.format, 0.0, low, sizeof low);
        std::snprintf(high, sizeof high, "%s", low);
    }
    HDC dc = GetDC(s.item);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(s.dialog, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    // A few pixels for the edit's own margins and caret.
    const int width = std::max(TextWidth(dc, low), TextWidth(dc, high)) + 6;
    if (old) SelectObject(dc, old);
    ReleaseDC(s.item, dc);

    HWND edit = CreateWindowExA(0, "edit", "", WS_CHILD | ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL, rc.left,
                                rc.top, width, rc.bottom - rc.top + 1, s.dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kValueEditFieldId)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(s.dialog, GWLP_HINSTANCE)),
                                nullptr);
    if (!edit) {
        EnableWindow(s.item, TRUE);
        return;
    }
    s.edit = edit;
    // The item lies under the field: clipped by it, or its repaints would
    // cover the field (siblings do not clip each other by default).
    s.itemStyle = GetWindowLongPtrA(s.item, GWL_STYLE);
    SetWindowLongPtrA(s.item, GWL_STYLE, s.itemStyle | WS_CLIPSIBLINGS);
    s.editProc = ReplaceWindowProc(edit, ValueEditSubclassProc);
    if (font) SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetWindowPos(edit, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(edit, SW_SHOW);
    SetFocus(edit);
}

}  // namespace

HWND OpenValueEditField() { return State().edit; }

void BeginValueEdit(HWND dialog, int itemId, const char (*presetNames)[kValuePresetNameSize],
                    int presetCount, double minimum, double maximum, const char *format,
                    int kind, void *target) {
    ValueEditState &s = State();
    if (s.edit) return;
    DropPresetMenu();
    s.dialog = dialog;
    s.minimum = minimum;
    s.maximum = maximum;
    ValueEditRangeForKind(kind, &s.minimum, &s.maximum);
    s.kind = kind;
    KeepValueEditFormat(format, kind, s.format);
    s.target = target;
    s.itemId = itemId;
    s.item = GetDlgItem(dialog, itemId);
    s.cancelOnInvalid = 0;
    s.destroying = 0;
    if (presetCount > 0 && presetNames) {
        HMENU menu = CreatePopupMenu();
        if (!menu) return;
        for (int i = 0; i < presetCount; ++i) {
            char name[kValuePresetNameSize];
            std::snprintf(name, sizeof name, "%.*s", kValuePresetNameSize - 1, presetNames[i]);
            AppendMenuA(menu, MF_STRING, kValuePresetFirstCommand + i, name);
        }
        AppendMenuA(menu, MF_STRING, kValuePresetFirstCommand + presetCount, "Enter Value");
        s.presetMenu = menu;
        s.presetCount = presetCount;
        POINT at;
        GetCursorPos(&at);
        // The choice comes back here and reaches the dialog as the menu's own
        // WM_COMMAND would; a dismissed menu is dropped at once.
        const int chosen = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON |
                                                    TPM_RETURNCMD | TPM_NONOTIFY,
                                          at.x, at.y, 0, dialog, nullptr);
        if (chosen)
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
        else if (s.presetMenu == menu)
            DropPresetMenu();
        return;
    }
    OpenEditField();
}

int HandleValuePresetCommand(HWND dialog, WPARAM wParam, LPARAM lParam, int *itemId) {
    ValueEditState &s = State();
    if (!s.presetMenu || HIWORD(wParam) != 0 || lParam != 0) return 0;
    const int i = static_cast<int>(LOWORD(wParam)) - kValuePresetFirstCommand;
    if (i < 0 || i > s.presetCount) return 0;
    const int count = s.presetCount;
    char text[128] = {};
    if (i < count) GetMenuStringA(s.presetMenu, kValuePresetFirstCommand + i, text, sizeof text, MF_BYCOMMAND);
    DropPresetMenu();
    if (i == count) {
        if (itemId) *itemId = 0;
        OpenEditField();
        return 0;
    }
    if (s.item) SetWindowTextA(s.item, text);
    if (itemId) *itemId = s.itemId;
    if (i == 0) {
        s.target = nullptr;
        return 1;
    }
    // A preset that does not read as a number ("Auto") is a text only.
    const double value = ParseSexagesimal(text);
    if (value != kNoRealValue && std::isfinite(value) && StoreEditedValue(s.kind, s.target, value))
        SendMessageA(dialog, kValueStored, static_cast<WPARAM>(s.itemId), 0);
    s.target = nullptr;
    return 0;
}

int CancelValueEdit() {
    CloseEditField();
    return 0;
}

void CommitValueEdit(HWND edit) {
    ValueEditState &s = State();
    if (!edit || edit != s.edit) return;
    char text[kValueEditTextSize] = {};
    GetWindowTextA(edit, text, sizeof text);
    double value = 0;
    if (!ReadValueEditText(text, s.minimum, s.maximum, &value)) {
        if (s.cancelOnInvalid) {
            CloseEditField();
        } else {
            MessageBeep(0);
            SetFocus(edit);
        }
        return;
    }
    StoreEditedValue(s.kind, s.target, value);
    char shown[kValueEditTextSize];
    FormatEditedValue(s.kind, s.format, value, shown, sizeof shown);
    if (s.item) {
        EnableWindow(s.item, TRUE);
        SetWindowTextA(s.item, shown);
    }
    HWND dialog = s.dialog;
    const int id = s.itemId;
    // Closed before the dialog hears of it, so that the dialog may start a new edit.
    CloseEditField();
    SendMessageA(dialog, kValueStored, static_cast<WPARAM>(id), 0);
}

LRESULT CALLBACK ValueEditSubclassProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    ValueEditState &s = State();
    WNDPROC own = s.editProc;
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_KILLFOCUS:
        if (!s.destroying && edit == s.edit) {
            s.cancelOnInvalid = 1;
            CommitValueEdit(edit);
        }
        return 1;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_TAB) {
            HWND item = s.item;
            CommitValueEdit(edit);
            if (!s.edit && item) SetFocus(item);
            return 1;
        }
        if (wParam == VK_ESCAPE) {
            HWND item = s.item;
            CloseEditField();
            if (item) SetFocus(item);
            return 1;
        }
        break;
    case WM_CHAR:
        // The keys handled above would otherwise put a line break, a tab or
        // an escape character into the text.
        if (wParam == '\r' || wParam == '\n' || wParam == '\t' || wParam == 0x1B) return 0;
        break;
    case WM_DESTROY:
        if (own) ReplaceWindowProc(edit, own);
        if (edit == s.edit) s.edit = nullptr;
        s.editProc = nullptr;
        return own ? CallWindowProcA(own, edit, message, wParam, lParam) : 0;
    }
    return own ? CallWindowProcA(own, edit, message, wParam, lParam)
               : DefWindowProcA(edit, message, wParam, lParam);
}
