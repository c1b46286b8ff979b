// The CalDate control under Wine: its first month as painted, day clicks,
// month steps through its links, the month menu, the typed year, the date
// set from outside and the notifications its parent receives.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "astroui/caldate_win.h"
#include "astroui/caldaterules.h"
#include "resources/caldateids.h"
#include "testutil/dialogscript_win.h"
#include "testutil/screenshot_win.h"
#include "ui/controlmsgs.h"
#include "ui/controls.h"
#include "ui/tests/controltest_win.h"

namespace {

constexpr int kCalendarId = 0x12345;  // wider than 16 bits: the whole id is passed on
constexpr int kWidth = 7 * 30, kHeight = 8 * 20;

struct Notice {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Notice> g_notices;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND || message == kCalDateDoubleClick) {
        g_notices.push_back({message, wParam, lParam});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct Host {
    HWND window = nullptr;
    HWND calendar = nullptr;
    Host() {
        static HWND shared = nullptr;
        if (!shared || !IsWindow(shared)) {
            HINSTANCE instance = GetModuleHandleA(nullptr);
            RegisterHyperTextClass(instance);
            RegisterCalDateClass(instance);
            WNDCLASSA wc = {};
            wc.lpfnWndProc = HostProc;
            wc.hInstance = instance;
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            wc.lpszClassName = "CalDateHost";
            RegisterClassA(&wc);
            shared = CreateWindowExA(0, "CalDateHost", "CalDate", WS_POPUP | WS_VISIBLE, 80, 80, kWidth + 40,
                                     kHeight + 40, nullptr, nullptr, instance, nullptr);
        }
        window = shared;
        controltest::DestroyChildren(window);
        // The test program has no menu resource: the control builds the
        // same month menu (the resource itself is checked below).
        calendar = CreateWindowExA(0, kCalDateClassName, "", WS_CHILD | WS_VISIBLE, 20, 20, kWidth, kHeight,
                                   window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCalendarId)),
                                   GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(window);
        UpdateWindow(window);
        controltest::Pump();
        g_notices.clear();
    }
    ~Host() {
        controltest::DestroyChildren(window);
        controltest::Pump();
    }
    const DateRecord &Date() const { return *CalDateShownDate(calendar); }
    void ExpectDate(int month, int day, int year) const {
        EXPECT_EQ(Date().month, month);
        EXPECT_EQ(Date().day, day);
        EXPECT_EQ(Date().year, year);
    }
    // One WM_COMMAND to the parent with the whole id and the control's record.
    void ExpectOneChangeNotice() const {
        ASSERT_EQ(g_notices.size(), 1u);
        EXPECT_EQ(g_notices[0].message, static_cast<UINT>(WM_COMMAND));
        EXPECT_EQ(g_notices[0].wParam, static_cast<WPARAM>(kCalendarId));
        EXPECT_EQ(g_notices[0].lParam, reinterpret_cast<LPARAM>(&Date()));
    }
    void Click(int column, int row) const {
        const LPARAM at = MAKELPARAM(column * 30 + 15, row * 20 + 10);
        SendMessageA(calendar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(calendar, WM_LBUTTONUP, 0, at);
    }
    void Link(int id, unsigned code = kClickNotification) const {
        SendMessageA(calendar, WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(GetDlgItem(calendar, id)));
    }
    void Show(int month, int day, int year) const {
        DateRecord r;
        std::memset(&r, 0, sizeof r);
        SetDateRecord(&r, nullptr, month, day, year, 0.0, kUniversalTime);
        SendMessageA(calendar, kCalDateSetDate, 0, reinterpret_cast<LPARAM>(&r));
        g_notices.clear();
    }
};

// Pixels of the window-text colour in a grid cell of the painted control.
int InkInCell(const testutil::WindowPicture &picture, int column, int row) {
    const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    int n = 0;
    for (int y = row * 20; y < (row + 1) * 20; ++y)
        for (int x = column * 30; x < (column + 1) * 30; ++x) {
            const uint8_t *p = &picture.pixels[y * picture.Stride() + x * 3];
            if (RGB(p[2], p[1], p[0]) == ink) ++n;
        }
    return n;
}

TEST(CalDateWin, NewControlShowsJanuary2000) {
    Host host;
    ASSERT_NE(host.calendar, nullptr);
    host.ExpectDate(1, 1, 2000);
    EXPECT_EQ(testutil::WindowText(GetDlgItem(host.calendar, IDC_CALDATE_MONTH)), "January");
    EXPECT_EQ(testutil::WindowText(GetDlgItem(host.calendar, IDC_CALDATE_YEAR)), "2000");
    const testutil::WindowPicture picture = testutil::CaptureClientArea(host.calendar);
    testutil::SaveScreenshot(picture, "caldate_january2000");
    ASSERT_EQ(picture.width, kWidth);
    // The shown day, drawn inverted, fills the Saturday cell of the first week.
    EXPECT_GT(InkInCell(picture, 6, 2), 30 * 20 / 2);
    for (int column = 0; column < 6; ++column) EXPECT_EQ(InkInCell(picture, column, 2), 0) << column;
    // The 2nd (a Sunday) is written in the second week's first cell.
    EXPECT_GT(InkInCell(picture, 0, 3), 0);
}

TEST(CalDateWin, DayClicks) {
    Host host;
    host.Click(2, 5);   // row 5 = week 4: cell 3*7+2 = 23 -> day 23 - 6 + 1 = 18
    host.ExpectDate(1, 18, 2000);
    host.ExpectOneChangeNotice();
    g_notices.clear();
    host.Click(6, 0);   // title row
    host.Click(3, 2);   // before day 1
    host.Click(2, 7);   // after day 31
    EXPECT_TRUE(g_notices.empty());
    host.ExpectDate(1, 18, 2000);
    host.Click(6, 1);   // initials row above the 1st
    host.ExpectDate(1, 1, 2000);
    host.ExpectOneChangeNotice();
    // A double click tells the parent with the record.
    g_notices.clear();
    SendMessageA(host.calendar, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(15, 70));
    ASSERT_FALSE(g_notices.empty());
    EXPECT_EQ(g_notices[0].message, kCalDateDoubleClick);
    EXPECT_EQ(g_notices[0].lParam, reinterpret_cast<LPARAM>(&host.Date()));
}

TEST(CalDateWin, MonthLinks) {
    Host host;
    host.Show(12, 17, 1999);
    host.Link(IDC_CALDATE_NEXT);
    host.ExpectDate(1, 1, 2000);
    host.ExpectOneChangeNotice();
    g_notices.clear();
    host.Link(IDC_CALDATE_PREVIOUS);
    host.ExpectDate(12, 1, 1999);
    host.ExpectOneChangeNotice();
    EXPECT_EQ(testutil::WindowText(GetDlgItem(host.calendar, IDC_CALDATE_MONTH)), "December");
    EXPECT_EQ(testutil::WindowText(GetDlgItem(host.calendar, IDC_CALDATE_YEAR)), "1999");
    host.Show(3, 15, 2001);
    host.Link(IDC_CALDATE_PREVIOUS);
    host.ExpectDate(2, 1, 2001);
    // A right click on a link steps nothing.
    g_notices.clear();
    host.Link(IDC_CALDATE_NEXT, kHyperTextRightClick);
    host.ExpectDate(2, 1, 2001);
    EXPECT_TRUE(g_notices.empty());
}

TEST(CalDateWin, MonthMenu) {
    Host host;
    host.Show(3, 31, 2001);
    // February with the keyboard in the menu's own loop.
    EXPECT_TRUE(testutil::RunScript({testutil::Do([&host] {
                                        for (int i = 0; i < 2; ++i)
                                            PostMessageA(host.calendar, WM_KEYDOWN, VK_DOWN, 0);
                                        PostMessageA(host.calendar, WM_KEYDOWN, VK_RETURN, 0);
                                    })},
                                    [&] { host.Link(IDC_CALDATE_MONTH); }))
        << testutil::LastScriptFailure();
    EXPECT_TRUE(testutil::PumpUntil([&] { return host.Date().month == 2; }));
    host.ExpectDate(2, 1, 2001);
    host.ExpectOneChangeNotice();
    EXPECT_EQ(testutil::WindowText(GetDlgItem(host.calendar, IDC_CALDATE_MONTH)), "February");
}

TEST(CalDateWin, TypedYear) {
    Host host;
    host.Show(7, 14, 2004);
    HWND year = GetDlgItem(host.calendar, IDC_CALDATE_YEAR);
    SetFocus(year);
    SetWindowTextA(year, "2010");
    SendMessageA(year, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageA(year, WM_CHAR, '\r', 0);
    host.ExpectDate(7, 14, 2010);
    host.ExpectOneChangeNotice();
    EXPECT_EQ(testutil::WindowText(year), "2010");
    EXPECT_NE(GetFocus(), year);
    // A text that is no year: nothing changes, the shown year comes back.
    g_notices.clear();
    SetWindowTextA(year, "abc");
    SendMessageA(year, WM_KEYDOWN, VK_RETURN, 0);
    host.ExpectDate(7, 14, 2010);
    EXPECT_TRUE(g_notices.empty());
    EXPECT_EQ(testutil::WindowText(year), "2010");
    // A repaint keeps a year being typed.
    SetWindowTextA(year, "19");
    RedrawWindow(host.calendar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(testutil::WindowText(year), "19");
}

TEST(CalDateWin, SetDateFromOutside) {
    Host host;
    host.Show(8, 11, 1999);
    host.ExpectDate(8, 11, 1999);
    EXPECT_EQ(testutil::WindowText(GetDlgItem(host.calendar, IDC_CALDATE_MONTH)), "August");
    // None: a repaint only.
    EXPECT_EQ(SendMessageA(host.calendar, kCalDateSetDate, 0, 0), 0);
    host.ExpectDate(8, 11, 1999);
    testutil::SaveScreenshot(testutil::CaptureClientArea(host.calendar), "caldate_august1999");
}

TEST(CalDateWin, MonthMenuResource) {
    HINSTANCE resources = testutil::ProgramResources();
    ASSERT_NE(resources, nullptr);
    HMENU menu = LoadMenuA(resources, "CDMONTHPOPUP");
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 12);
    const char *names[12] = {"January", "February", "March", "April", "May", "June", "July",
                             "August", "September", "October", "November", "December"};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(GetMenuItemID(popup, i), static_cast<UINT>(IDM_CALDATE_JANUARY + i));
        char text[32] = {};
        GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, names[i]);
    }
    DestroyMenu(menu);
}

}  // namespace

// The grid's cells are sized from the client area, so a resize must repaint
// the whole control: shrunk, it is invalid all over, not only where it grew.
TEST(CalDateWin, AResizeRepaintsTheWholeGrid) {
    Host host;
    UpdateWindow(host.calendar);
    ValidateRect(host.calendar, nullptr);
    ASSERT_EQ(SetWindowPos(host.calendar, nullptr, 0, 0, kWidth - 35, kHeight - 20,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE),
              TRUE);
    RECT update = {}, client = {};
    GetClientRect(host.calendar, &client);
    ASSERT_NE(GetUpdateRect(host.calendar, &update, FALSE), FALSE);
    EXPECT_EQ(update.left, client.left);
    EXPECT_EQ(update.top, client.top);
    EXPECT_EQ(update.right, client.right);
    EXPECT_EQ(update.bottom, client.bottom);
}
