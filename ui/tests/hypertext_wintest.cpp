// The HyperText link label under Wine: sizing to its text, the click, right
// click, Space and hover notifications, and its colours and arrow.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ui/controlmsgs.h"
#include "ui/controls.h"
#include "testutil/dialogscript_win.h"
#include "ui/tests/controltest_win.h"

using namespace controltest;

namespace {

constexpr int kId = 501;

SIZE OwnTextExtent(HWND label, const char *text) {
    HDC dc = GetDC(label);  // the label's own context holds its font
    SIZE s = {0, 0};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &s);
    ReleaseDC(label, dc);
    return s;
}

TEST(HyperText, SizesItselfToItsTextWithinItsWidth) {
    Parent parent;
    HWND label = parent.Child("HyperText", "", 0x1, 10, 10, 100, 20, kId);
    ASSERT_TRUE(label);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    SIZE mirrored = OwnTextExtent(label, "Mirrored");
    ASSERT_LT(mirrored.cx, 100);
    SetWindowTextA(label, "Mirrored");
    EXPECT_EQ(WindowSize(label).cx, mirrored.cx);
    EXPECT_EQ(WindowSize(label).cy, mirrored.cy);
    // Wider than the 100 pixels it was created with: clipped at exactly 100,
    // and that limit survives the resizes the label makes itself.
    const char *wide = "A very long link text that cannot fit";
    ASSERT_GT(OwnTextExtent(label, wide).cx, 100);
    SetWindowTextA(label, wide);
    EXPECT_EQ(WindowSize(label).cx, 100);
    SetWindowTextA(label, "Mirrored");
    SetWindowTextA(label, wide);
    EXPECT_EQ(WindowSize(label).cx, 100);
    // An empty text is as large as one blank.
    SetWindowTextA(label, "");
    SIZE blank = OwnTextExtent(label, " ");
    EXPECT_EQ(WindowSize(label).cx, blank.cx);
    EXPECT_EQ(WindowSize(label).cy, blank.cy);
    // A resize from outside sets the new limit.
    SetWindowPos(label, nullptr, 0, 0, 60, 20, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowTextA(label, wide);
    EXPECT_EQ(WindowSize(label).cx, 60);
    // The font given is the font answered.
    EXPECT_EQ(SendMessageA(label, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
}

TEST(HyperText, ArrowPrefixAddsFifteenPixels) {
    Parent parent;
    HWND label = parent.Child("HyperText", "", 0x1 | 0x4, 10, 10, 200, 20, kId);
    ASSERT_TRUE(label);
    SetWindowTextA(label, "Mirrored");
    SIZE text = OwnTextExtent(label, "Mirrored");
    EXPECT_EQ(WindowSize(label).cx, text.cx + 15);
    UpdateWindow(label);
    // The arrow is black (SRCAND on the face colour); the text is blue and
    // starts 15 pixels right of the left edge.
    RECT arrow = {0, 0, 12, WindowSize(label).cy};
    EXPECT_GT(CountColour(label, RGB(0, 0, 0), &arrow), 10);
    RECT before = {0, 0, 15, WindowSize(label).cy};
    EXPECT_EQ(CountColour(label, RGB(0, 0, 255), &before), 0);
    EXPECT_GT(CountColour(label, RGB(0, 0, 255)), 10);
}

TEST(HyperText, ClickNeedsPressAndReleaseInside) {
    Parent parent;
    HWND label = parent.Child("HyperText", "Inverted", 0x1, 10, 10, 100, 20, kId);
    ASSERT_TRUE(label);
    // Press inside, release inside: one click.
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].wParam, MAKEWPARAM(kId, 0));
    EXPECT_EQ(Notices()[0].lParam, reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(GetCapture(), nullptr);
    Notices().clear();
    // A release without a press on the label (the press was elsewhere).
    SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    EXPECT_TRUE(Notices().empty());
    // Press inside, drag out, release outside (negative coordinates under
    // capture), then a release inside after a press elsewhere: nothing.
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(GetCapture(), label);
    SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(-20, -5));
    SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    EXPECT_TRUE(Notices().empty());
    // Space is a click; other keys are not.
    SendMessageA(label, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(label, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].wParam, MAKEWPARAM(kId, 0));
    Notices().clear();
    // Right press and release: 1578.
    SendMessageA(label, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 3));
    SendMessageA(label, WM_RBUTTONUP, 0, MAKELPARAM(3, 3));
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].wParam, MAKEWPARAM(kId, kHyperTextRightClick));
}

// Two quick real presses go through the input queue, where the system makes
// the second a double click for a class that asks for them; the label would
// then see one press and report one click.
TEST(HyperText, TwoQuickRealPressesAreTwoClicks) {
    Parent parent;
    HWND label = parent.Child("HyperText", "Inverted", 0x1, 20, 20, 100, 20, kId);
    ASSERT_TRUE(label);
    SetForegroundWindow(parent.window);
    POINT centre = {10, 8};
    ClientToScreen(label, &centre);
    SetCursorPos(centre.x, centre.y);
    Pump();
    Notices().clear();
    INPUT in[4] = {};
    for (int i = 0; i < 4; ++i) {
        in[i].type = INPUT_MOUSE;
        in[i].mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    }
    ASSERT_EQ(SendInput(4, in, sizeof(INPUT)), 4u);
    testutil::PumpUntil([] { return Notices().size() >= 2; });
    EXPECT_EQ(CountCommands(0), 2);
}

TEST(HyperText, HoverNotificationsInOrder) {
    Parent parent;
    HWND label = parent.Child("HyperText", "Alt/Azimuth", 0x1 | 0x2, 10, 10, 100, 20, kId);
    ASSERT_TRUE(label);
    for (int i = 0; i < 2; ++i) {
        SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(GetCapture(), label);
        SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(6, 5));  // still inside: nothing new
        SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(-3, 5));
        EXPECT_EQ(GetCapture(), nullptr);
    }
    std::vector<unsigned> codes;
    for (const Notice &n : Notices()) codes.push_back(HIWORD(n.wParam));
    EXPECT_EQ(codes, (std::vector<unsigned>{kHyperTextPointerEntered, kHyperTextPointerLeft,
                                            kHyperTextPointerEntered, kHyperTextPointerLeft}));
}

TEST(HyperText, LosingTheCaptureCountsAsLeaving) {
    Parent parent;
    HWND label = parent.Child("HyperText", "Alt/Azimuth", 0x1 | 0x2, 10, 10, 100, 20, kId);
    HWND other = parent.Child("static", "", 0, 10, 60, 50, 20, 2);
    ASSERT_TRUE(label && other);
    SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    // A modal dialog or menu opened on the click takes the capture.
    SetCapture(other);
    ReleaseCapture();
    ASSERT_EQ(Notices().size(), 2u);
    EXPECT_EQ(HIWORD(Notices()[1].wParam), kHyperTextPointerLeft);
    // The next entry is seen again.
    SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(Notices().size(), 3u);
    EXPECT_EQ(HIWORD(Notices()[2].wParam), kHyperTextPointerEntered);
    SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(500, 5));
}

TEST(HyperText, TextColours) {
    Parent parent;
    HWND link = parent.Child("HyperText", "", 0x1, 10, 10, 150, 20, kId);
    HWND plain = parent.Child("HyperText", "", 0, 10, 40, 150, 20, kId + 1);
    ASSERT_TRUE(link && plain);
    SetWindowTextA(link, "WWWWWW");
    SetWindowTextA(plain, "WWWWWW");
    COLORREF blue = RGB(0, 0, 255), text = GetSysColor(COLOR_WINDOWTEXT), grey = GetSysColor(COLOR_GRAYTEXT);
    ASSERT_NE(text, grey);
    UpdateWindow(parent.window);
    struct Case {
        HWND label;
        BOOL enabled;
        COLORREF expected;
        COLORREF absent;
    } cases[] = {
        {link, TRUE, blue, text},
        {link, FALSE, text, blue},
        {plain, TRUE, text, grey},
        {plain, FALSE, grey, text},
    };
    for (const Case &c : cases) {
        EnableWindow(c.label, c.enabled);
        UpdateWindow(c.label);
        EXPECT_GT(CountColour(c.label, c.expected), 20) << c.enabled;
        EXPECT_EQ(CountColour(c.label, c.absent), 0) << c.enabled;
    }
}

TEST(HyperText, CreatedDisabledDrawsDisabled) {
    Parent parent;
    HWND link = parent.Child("HyperText", "", 0x1 | WS_DISABLED, 10, 10, 150, 20, kId);
    ASSERT_TRUE(link);
    SetWindowTextA(link, "WWWWWW");
    UpdateWindow(link);
    EXPECT_EQ(CountColour(link, RGB(0, 0, 255)), 0);
    EXPECT_GT(CountColour(link, GetSysColor(COLOR_WINDOWTEXT)), 20);
}

TEST(HyperText, UnderlinedLinkStyle) {
    Parent parent;
    HWND link = parent.Child("HyperText", "", 0x1, 10, 10, 150, 20, kId);
    ASSERT_TRUE(link);
    SetHyperTextLinkStyle(RGB(0, 128, 0), 1);
    SetWindowTextA(link, "iiii");
    UpdateWindow(link);
    SIZE s = ClientSize(link);
    SIZE text = OwnTextExtent(link, "iiii");
    // One line in the link colour along the bottom, as long as the text.
    RECT bottom = {0, s.cy - 1, s.cx, s.cy};
    EXPECT_EQ(CountColour(link, RGB(0, 128, 0), &bottom), text.cx);
    SetHyperTextLinkStyle(RGB(0, 0, 255), 0);
}

TEST(HyperText, OneFocusRectangleAfterRepaints) {
    Parent parent;
    HWND label = parent.Child("HyperText", "", 0x1 | WS_TABSTOP, 10, 10, 150, 20, kId);
    ASSERT_TRUE(label);
    SetWindowTextA(label, "Focus");
    SetForegroundWindow(parent.window);
    UpdateWindow(label);
    SIZE s = ClientSize(label);
    RECT topRow = {0, 0, s.cx, 1};
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    int faceBefore = CountColour(label, face, &topRow);
    SetFocus(label);
    InvalidateRect(label, nullptr, TRUE);
    UpdateWindow(label);
    EXPECT_LT(CountColour(label, face, &topRow), faceBefore);  // the dotted frame is there
    SetFocus(parent.window);
    UpdateWindow(label);
    EXPECT_EQ(CountColour(label, face, &topRow), faceBefore);  // and gone again
}

}  // namespace
