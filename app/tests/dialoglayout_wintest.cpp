// Every dialog template of gleaner.exe made under Wine and measured in the
// font it is shown in: each push button's text, with a margin on either
// side, fits inside the button, and each check box's or radio button's text
// fits beside its box. A text that does not fit is drawn cut off or touching
// the button's edge.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/gleaner_win.h"
#include "astroui/caldate_win.h"
#include "testutil/dialogscript_win.h"

namespace {

using namespace testutil;

// Room kept between a push button's text and each side of its client area,
// pixels: the button's 3D edge takes two, the focus rectangle one more, and a
// text closer than that looks squeezed.
const int kButtonTextMargin = 6;
// A check box's or radio button's box and the gap before its text, pixels
// (13-pixel box, 3-pixel gap in the system's drawing).
const int kCheckBoxRoom = 16;

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

BOOL CALLBACK CollectTemplateName(HMODULE, LPCSTR, LPSTR name, LONG_PTR out) {
    auto *names = reinterpret_cast<std::vector<std::string> *>(out);
    if (IS_INTRESOURCE(name))
        names->push_back("#" + std::to_string(reinterpret_cast<uintptr_t>(name)));
    else
        names->push_back(name);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM out) {
    reinterpret_cast<std::vector<HWND> *>(out)->push_back(child);
    return TRUE;
}

// The text as drawn: "&&" is one ampersand, a lone "&" marks the access key.
std::string DrawnText(const std::string &text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

// The text's extent in the control's font: one line, or broken at words
// within `width` for a button that wraps its text.
SIZE TextExtent(HWND control, const std::string &text, bool wraps, int width) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size = {0, 0};
    if (wraps) {
        RECT r = {0, 0, width, 0};
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_WORDBREAK);
        size = {r.right, r.bottom};
    } else {
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

TEST(DialogLayout, ButtonTextsKeepAMargin) {
    HINSTANCE module = ProgramResources();
    ASSERT_TRUE(module) << "gleaner.exe (the dialog templates) is not in the build folder";
    RegisterControlClasses(module);
    RegisterCalDateClass(module);
    // The main window's template names its own class; a plain dialog class
    // stands in for it, as only the template's controls are measured.
    WNDCLASSA main = {};
    main.lpfnWndProc = DefDlgProcA;
    main.cbWndExtra = DLGWINDOWEXTRA;
    main.hInstance = module;
    main.lpszClassName = "Gleaner";
    RegisterClassA(&main);
    std::vector<std::string> names;
    EnumResourceNamesA(module, RT_DIALOG, CollectTemplateName, reinterpret_cast<LONG_PTR>(&names));
    ASSERT_GT(names.size(), 20u);
    // Child templates (the wizard's pages, the picker's tabs) need a parent.
    HWND host = CreateWindowExA(0, "STATIC", "layout", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_TRUE(host);
    int measured = 0;
    for (const std::string &name : names) {
        LPCSTR id = name[0] == '#' ? MAKEINTRESOURCEA(std::stoi(name.substr(1))) : name.c_str();
        HWND dialog = CreateDialogParamA(module, id, host, InertDialogProc, 0);
        EXPECT_TRUE(dialog) << name << " could not be made";
        if (!dialog) continue;
        std::vector<HWND> children;
        EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&children));
        for (HWND child : children) {
            char cls[32] = "";
            GetClassNameA(child, cls, sizeof cls);
            if (lstrcmpiA(cls, "Button") != 0) continue;
            LONG type = GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
            bool push = type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
            bool check = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                         type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
            if (!push && !check) continue;
            std::string text = DrawnText(WindowText(child));
            if (text.empty()) continue;
            RECT client;
            GetClientRect(child, &client);
            int room = client.right - (push ? 2 * kButtonTextMargin : kCheckBoxRoom);
            bool wraps = (GetWindowLongA(child, GWL_STYLE) & BS_MULTILINE) != 0;
            SIZE extent = TextExtent(child, text, wraps, room);
            EXPECT_LE(extent.cx, room) << name << ": \"" << text << "\" (id " << GetDlgCtrlID(child) << ") is "
                                       << extent.cx << " pixels wide in a " << (push ? "button" : "check box")
                                       << " of " << client.right;
            // Every line of the text within the control's height, with the
            // button's edge above and below.
            EXPECT_LE(extent.cy, client.bottom - (push ? kButtonTextMargin : 0))
                << name << ": \"" << text << "\" (id " << GetDlgCtrlID(child) << ") takes " << extent.cy
                << " pixels of height in a control of " << client.bottom;
            ++measured;
        }
        DestroyWindow(dialog);
    }
    DestroyWindow(host);
    EXPECT_GT(measured, 100);
}

}  // namespace
