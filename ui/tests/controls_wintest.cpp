// The simple controls under Wine: class registration, CShade's edges, Touch's
// clicks and transparency, ProgressIndicator's steps and bar, SymbolText's
// sizing, background and focus.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ui/controlmsgs.h"
#include "ui/controls.h"
#include "ui/tests/controltest_win.h"

using namespace controltest;

namespace {

TEST(ControlClasses, RegisteredWithTheirStylesAndExtraBytes) {
    RegisterAllControls();
    struct Case {
        const char *name;
        UINT style;
        int extra;
        bool cursor;
    } cases[] = {
        {"HyperText", CS_HREDRAW | CS_VREDRAW | CS_OWNDC, static_cast<int>(sizeof(LONG_PTR)), true},
        {"SymbolText", CS_HREDRAW | CS_VREDRAW | CS_OWNDC, 4, false},
        {"CShade", CS_PARENTDC, 4, false},
        {"Touch", CS_HREDRAW | CS_VREDRAW, 4, true},
        {"HeaderButton", CS_HREDRAW | CS_VREDRAW | CS_OWNDC, 28, false},
        {"ProgressIndicator", CS_HREDRAW | CS_VREDRAW, 2, false},
        {"Table", CS_HREDRAW | CS_VREDRAW | CS_OWNDC, static_cast<int>(sizeof(LONG_PTR)), true},
    };
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (const Case &c : cases) {
        WNDCLASSA wc;
        ASSERT_TRUE(GetClassInfoA(instance, c.name, &wc)) << c.name;
        EXPECT_EQ(wc.style, c.style) << c.name;
        // No class but the calendar asks for double clicks: two quick
        // presses are two clicks.
        EXPECT_EQ(wc.style & CS_DBLCLKS, 0u) << c.name;
        EXPECT_EQ(wc.cbWndExtra, c.extra) << c.name;
        EXPECT_EQ(wc.hCursor != nullptr, c.cursor) << c.name;
        EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOWTEXT + 1)) << c.name;
    }
    // A second registration fails without harm.
    EXPECT_EQ(RegisterCShadeClass(instance), 0);
}

TEST(CShade, SunkenAndRaisedEdgeColours) {
    Parent parent;
    HWND sunken = parent.Child("CShade", "", 0x1, 10, 10, 100, 20, 301);
    HWND raised = parent.Child("CShade", "", 0, 10, 50, 100, 20, 302);
    ASSERT_TRUE(sunken && raised);
    EXPECT_FALSE(IsWindowEnabled(sunken));  // never takes input
    EXPECT_EQ(GetWindowWord(sunken, 0), 1);
    EXPECT_EQ(GetWindowWord(raised, 0), 0);
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    ASSERT_NE(shadow, light);
    // Left edge, top edge, bottom edge, right edge, inside.
    EXPECT_EQ(Probe(sunken, 0, 10), shadow);
    EXPECT_EQ(Probe(sunken, 50, 0), shadow);
    EXPECT_EQ(Probe(sunken, 50, 19), light);
    EXPECT_EQ(Probe(sunken, 99, 10), light);
    EXPECT_EQ(Probe(sunken, 50, 10), face);
    EXPECT_EQ(Probe(raised, 0, 10), light);
    EXPECT_EQ(Probe(raised, 50, 0), light);
    EXPECT_EQ(Probe(raised, 50, 19), shadow);
    EXPECT_EQ(Probe(raised, 99, 10), shadow);
    // The top-right corner pixel is put back to the face colour.
    EXPECT_EQ(Probe(raised, 99, 0), face);
}

TEST(Touch, ClickReachesParentWithTheWholeId) {
    Parent parent;
    const int id = 0x12345;  // more than 16 bits: the whole id travels in wParam
    HWND touch = parent.Child("Touch", "", 0, 20, 20, 60, 40, id);
    ASSERT_TRUE(touch);
    for (int i = 0; i < 2; ++i) {
        SendMessageA(touch, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(touch, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    ASSERT_EQ(Notices().size(), 2u);
    for (const Notice &n : Notices()) {
        EXPECT_EQ(n.message, static_cast<UINT>(WM_COMMAND));
        EXPECT_EQ(n.wParam, static_cast<WPARAM>(id));
        EXPECT_EQ(n.lParam, reinterpret_cast<LPARAM>(touch));
    }
}

TEST(Touch, PaintsNothingOverTheParent) {
    Parent parent;
    HWND touch = parent.Child("Touch", "", 0, 20, 20, 60, 40, 7);
    ASSERT_TRUE(touch);
    UpdateWindow(parent.window);
    Pump();
    EXPECT_EQ(Probe(touch, 30, 20), kParentColour);
    // An explicit erase of the hot area must not paint the class brush.
    RedrawWindow(touch, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW | RDW_UPDATENOW);
    EXPECT_EQ(Probe(touch, 30, 20), kParentColour);
    EXPECT_EQ(Probe(touch, 0, 0), kParentColour);
}

TEST(ProgressIndicator, StepsStopAtTwentyAndCommandsReset) {
    Parent parent;
    HWND bar = parent.Child("ProgressIndicator", "", 0, 10, 10, 101, 12, 9);
    ASSERT_TRUE(bar);
    EXPECT_EQ(GetWindowWord(bar, 0), 0);
    for (int i = 0; i < 25; ++i) SendMessageA(bar, WM_COMMAND, kProgressStep, 0);
    EXPECT_EQ(GetWindowWord(bar, 0), 20);
    COLORREF grey = RGB(128, 128, 128), window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(Probe(bar, 99, 6), grey);  // full bar: inside its one-pixel frame
    SendMessageA(bar, WM_COMMAND, kProgressEmpty, 0);
    EXPECT_EQ(GetWindowWord(bar, 0), 0);
    EXPECT_EQ(Probe(bar, 5, 6), window);
    SendMessageA(bar, WM_COMMAND, kProgressFull, 0);
    EXPECT_EQ(GetWindowWord(bar, 0), 20);
    // Another command value leaves the count alone.
    SendMessageA(bar, WM_COMMAND, 203, 0);
    EXPECT_EQ(GetWindowWord(bar, 0), 20);
}

TEST(ProgressIndicator, BarOfThreeStepsOn101Pixels) {
    Parent parent;
    HWND bar = parent.Child("ProgressIndicator", "", 0, 10, 10, 101, 12, 9);
    ASSERT_TRUE(bar);
    for (int i = 0; i < 3; ++i) SendMessageA(bar, WM_COMMAND, kProgressStep, 0);
    // The bar rectangle runs from x 0 to 15 (3 x 5.05 = 15.15) with the
    // window-coloured one-pixel pen round it: grey from 1 to 13.
    COLORREF grey = RGB(128, 128, 128), window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(Probe(bar, 1, 6), grey);
    EXPECT_EQ(Probe(bar, 13, 6), grey);
    EXPECT_EQ(Probe(bar, 14, 6), window);
    EXPECT_EQ(Probe(bar, 16, 6), window);
    EXPECT_EQ(Probe(bar, 0, 6), window);
}

TEST(SymbolText, SizesItselfToItsText) {
    Parent parent;
    HWND label = parent.Child("SymbolText", "", 0, 10, 10, 80, 30, 11);
    ASSERT_TRUE(label);
    HDC dc = GetDC(label);  // the label's own context, with its Symbol font
    TEXTMETRICA tm;
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    // The font asked for (the machine may lack a Symbol face and map it).
    LOGFONTA lf;
    ASSERT_TRUE(GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf));
    EXPECT_EQ(lf.lfCharSet, SYMBOL_CHARSET);
    EXPECT_STREQ(lf.lfFaceName, "Symbol");
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    SIZE abc;
    GetTextExtentPoint32A(dc, "abgd", 4, &abc);
    ReleaseDC(label, dc);
    SetWindowTextA(label, "abgd");
    SIZE s = WindowSize(label);
    EXPECT_EQ(s.cx, abc.cx);
    EXPECT_EQ(s.cy, abc.cy);
    SetWindowTextA(label, "");
    s = WindowSize(label);
    EXPECT_EQ(s.cx, 0);
    EXPECT_EQ(s.cy, tm.tmHeight);
    // A text longer than the 511 characters drawn is sized as drawn.
    std::string longText(600, 'a');
    SetWindowTextA(label, longText.c_str());
    dc = GetDC(label);
    SIZE drawn;
    GetTextExtentPoint32A(dc, longText.c_str(), 511, &drawn);
    ReleaseDC(label, dc);
    EXPECT_EQ(WindowSize(label).cx, drawn.cx);
}

TEST(SymbolText, BackgroundColourMessage) {
    Parent parent;
    HWND label = parent.Child("SymbolText", "", 0, 10, 10, 80, 30, 11);
    ASSERT_TRUE(label);
    SetWindowTextA(label, "aaaa");
    EXPECT_EQ(Probe(label, 0, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(SendMessageA(label, kSetBackgroundColour, 0, RGB(10, 200, 30)), 0);
    EXPECT_EQ(Probe(label, 0, 0), RGB(10, 200, 30));
}

TEST(SymbolText, GivesTheFocusBack) {
    Parent parent;
    HWND edit = parent.Child("edit", "x", WS_BORDER, 10, 60, 80, 20, 12);
    HWND label = parent.Child("SymbolText", "abc", 0, 10, 10, 80, 30, 11);
    ASSERT_TRUE(edit && label);
    SetForegroundWindow(parent.window);
    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);
    SetFocus(label);
    EXPECT_EQ(GetFocus(), edit);
}

}  // namespace
