// The HeaderButton under Wine: the click only for a press released over the
// button, the raised and pressed looks, the bitmap's place and the colours of
// the checked and disabled states.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/controlmsgs.h"
#include "ui/controls.h"
#include "ui/tests/controltest_win.h"

using namespace controltest;

namespace {

constexpr int kId = 0x10005;  // the whole 32-bit id is the notification's wParam

TEST(HeaderButton, PressAndReleaseInsideNotifiesOnce) {
    Parent parent;
    HWND button = parent.Child("HeaderButton", "Name", 0, 10, 10, 80, 20, kId);
    ASSERT_TRUE(button);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(GetCapture(), button);
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(12, 10));
    EXPECT_EQ(GetCapture(), nullptr);
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(Notices()[0].wParam, static_cast<WPARAM>(kId));
    EXPECT_EQ(Notices()[0].lParam, reinterpret_cast<LPARAM>(button));
}

TEST(HeaderButton, DragOutCancelsAndRepaintsRaised) {
    Parent parent;
    HWND button = parent.Child("HeaderButton", "Name", 0, 10, 10, 80, 20, kId);
    ASSERT_TRUE(button);
    UpdateWindow(button);
    EXPECT_EQ(Probe(button, 0, 0), RGB(255, 255, 255));  // raised: white top edge
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    HDC dc = GetDC(button);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(64, 64, 64));  // pressed at once: dark outline
    ReleaseDC(button, dc);
    SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-10, 10));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Probe(button, 0, 0), RGB(255, 255, 255));  // raised again
    // The release outside is not seen; a release that follows over the
    // button (the press was cancelled) notifies nothing either.
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(Notices().empty());
    // A press elsewhere dragged onto the button and released there.
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(Notices().empty());
}

TEST(HeaderButton, BitmapCentredRaisedAndPressed) {
    Parent parent;
    HWND button = parent.Child("HeaderButton", "", 0, 10, 10, 40, 20, kId);
    ASSERT_TRUE(button);
    // A 16 x 16 black bitmap: SRCAND leaves black where it lands.
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap);
    PatBlt(mem, 0, 0, 16, 16, BLACKNESS);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    SendMessageA(button, kHeaderButtonSetBitmap, 0, reinterpret_cast<LPARAM>(bitmap));
    EXPECT_EQ(SendMessageA(button, kHeaderButtonSetBitmapSize, 0, MAKELPARAM(16, 16)), 0);
    InvalidateRect(button, nullptr, TRUE);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(Probe(button, 12, 2), RGB(0, 0, 0));
    EXPECT_EQ(Probe(button, 27, 17), RGB(0, 0, 0));
    EXPECT_EQ(Probe(button, 11, 2), face);
    EXPECT_EQ(Probe(button, 28, 10), face);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    HDC dc = GetDC(button);
    EXPECT_EQ(GetPixel(dc, 13, 3), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 12, 2), face);
    ReleaseDC(button, dc);
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    DestroyWindow(button);  // the bitmap belongs to the parent
    EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    DeleteObject(bitmap);
}

TEST(HeaderButton, CheckStateAndColours) {
    Parent parent;
    HWND button = parent.Child("HeaderButton", "MMMM", 0, 10, 10, 80, 20, kId);
    ASSERT_TRUE(button);
    EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), 0);
    COLORREF text = GetSysColor(COLOR_BTNTEXT), checked = GetSysColor(COLOR_HIGHLIGHTTEXT);
    ASSERT_NE(text, checked);
    RECT inner = {2, 2, 78, 17};
    UpdateWindow(button);
    EXPECT_GT(CountColour(button, text, &inner), 10);
    SendMessageA(button, BM_SETCHECK, 1, 0);
    EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), 1);
    UpdateWindow(button);
    EXPECT_GT(CountColour(button, checked, &inner), 10);
    EXPECT_EQ(CountColour(button, text, &inner), 0);
}

TEST(HeaderButton, DisabledShowsThePressedLook) {
    Parent parent;
    HWND button = parent.Child("HeaderButton", "Name", 0, 10, 10, 80, 20, kId);
    ASSERT_TRUE(button);
    EXPECT_EQ(Probe(button, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(Probe(button, 40, 18), RGB(0, 0, 0));  // two-pixel black bottom edge
    EnableWindow(button, FALSE);
    InvalidateRect(button, nullptr, TRUE);
    EXPECT_EQ(Probe(button, 0, 0), RGB(64, 64, 64));
    EXPECT_EQ(Probe(button, 79, 19), RGB(64, 64, 64));
}

}  // namespace
