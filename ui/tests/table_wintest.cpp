// The Table control under Wine: column layout from its titles, the check
// column, toggling by click, read-only checks, row keys, the notifications
// to the parent, forwarded list messages and bounds on every index.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/controlmsgs.h"
#include "ui/controls.h"
#include "testutil/dialogscript_win.h"
#include "ui/tests/controltest_win.h"

using namespace controltest;

namespace {

constexpr int kId = 1003;

struct TableFixture {
    Parent parent{420, 320};
    HWND table = nullptr;
    HWND list = nullptr;
    HWND header = nullptr;
    explicit TableFixture(DWORD style = 0, const char *titles = "Name\tType\tMag") {
        // A client area of exactly 300 x 200 pixels.
        table = parent.Child("Table", titles, style, 10, 10, 300, 200, kId);
        list = GetDlgItem(table, 100);
        header = GetDlgItem(table, 101);
        Pump();
        Notices().clear();
    }
    std::vector<int> Widths() const {
        int n = static_cast<int>(SendMessageA(table, kTableGetColumnCount, 0, 0));
        auto *w = reinterpret_cast<const uint16_t *>(SendMessageA(table, kTableGetColumnWidths, 0, 0));
        return std::vector<int>(w, w + n);
    }
    std::vector<int> HeaderWidths() const {
        std::vector<int> out;
        int n = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            HDITEMA item = {};
            item.mask = HDI_WIDTH;
            SendMessageA(header, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
            out.push_back(item.cxy);
        }
        return out;
    }
    const uint8_t *Checks() const {
        return reinterpret_cast<const uint8_t *>(SendMessageA(table, kTableGetChecks, 0, 0));
    }
    void AddRows(int n) {
        for (int i = 0; i < n; ++i) {
            std::string row = "Row " + std::to_string(i) + "\tgalaxy\t" + std::to_string(10 + i);
            SendMessageA(table, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
        }
    }
    // A point in the list's client area on row `row`, at x.
    LPARAM RowPoint(int row, int x) const {
        int h = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
        return MAKELPARAM(x, row * h + h / 2);
    }
    void Click(int row, int x) const {
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, RowPoint(row, x));
        SendMessageA(list, WM_LBUTTONUP, 0, RowPoint(row, x));
    }
};

TEST(Table, ColumnsFromTheTitles) {
    TableFixture f;
    ASSERT_TRUE(f.table && f.list && f.header);
    EXPECT_EQ(ClientSize(f.table).cx, 300);
    EXPECT_EQ(f.Widths(), (std::vector<int>{100, 100, 100}));
    EXPECT_EQ(f.HeaderWidths(), (std::vector<int>{100, 100, 100}));
    EXPECT_EQ(SendMessageA(f.table, kTableGetChecks, 0, 0), 0);
    EXPECT_EQ(SendMessageA(f.table, kTableGetCheckRows, 0, 0), 0);
    // New titles: two columns sharing the width.
    SetWindowTextA(f.table, "Object\tNotes");
    EXPECT_EQ(f.Widths(), (std::vector<int>{150, 150}));
    char text[64];
    GetWindowTextA(f.table, text, sizeof text);
    EXPECT_STREQ(text, "Object\tNotes");
    // A run of tabs between titles is one separator.
    SetWindowTextA(f.table, "A\t\tB\tC");
    EXPECT_EQ(SendMessageA(f.table, kTableGetColumnCount, 0, 0), 3);
}

TEST(Table, CheckColumnAndToggling) {
    TableFixture f;
    f.AddRows(5);
    EXPECT_EQ(SendMessageA(f.table, kTableSetChecks, 5, 1), 0);
    EXPECT_EQ(SendMessageA(f.table, kTableGetCheckRows, 0, 0), 5);
    EXPECT_EQ(f.Widths(), (std::vector<int>{15, 95, 95, 95}));  // (300 - 15) / 3
    EXPECT_EQ(f.HeaderWidths(), (std::vector<int>{15, 95, 95, 95}));
    const uint8_t *checks = f.Checks();
    ASSERT_NE(checks, nullptr);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(checks[i], 1);
    // Every row shows the red check mark.
    UpdateWindow(f.list);
    for (int row = 0; row < 5; ++row) {
        RECT rc;
        SendMessageA(f.list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rc));
        rc.right = rc.left + 15;
        EXPECT_GT(CountColour(f.list, RGB(255, 0, 0), &rc), 5) << row;
    }
    // A click in the check column of row 2 toggles it and selects nothing.
    f.Click(2, 5);
    EXPECT_EQ(f.Checks()[2], 0);
    EXPECT_EQ(SendMessageA(f.table, LB_GETCURSEL, 0, 0), LB_ERR);
    ASSERT_EQ(CountCommands(kTableCheckToggled), 1);
    EXPECT_EQ(Notices()[0].wParam, MAKEWPARAM(kId, kTableCheckToggled));
    EXPECT_EQ(Notices()[0].lParam, MAKELPARAM(2, 0));
    // The row is repainted without its mark.
    UpdateWindow(f.list);
    RECT rc;
    SendMessageA(f.list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&rc));
    rc.right = rc.left + 15;
    EXPECT_EQ(CountColour(f.list, RGB(255, 0, 0), &rc), 0);
    // A right click in the check column toggles too, and reports the row.
    Notices().clear();
    SendMessageA(f.list, WM_RBUTTONDOWN, MK_RBUTTON, f.RowPoint(2, 5));
    EXPECT_EQ(f.Checks()[2], 1);
    ASSERT_EQ(Notices().size(), 2u);
    EXPECT_EQ(Notices()[0].lParam, MAKELPARAM(2, 1));
    EXPECT_EQ(Notices()[1].message, kTableRowRightClick);
    EXPECT_EQ(Notices()[1].wParam, 2u);
    POINT pt = {5, HIWORD(f.RowPoint(2, 5))};
    ClientToScreen(f.list, &pt);
    EXPECT_EQ(Notices()[1].lParam, MAKELPARAM(pt.x, pt.y));
    // A click past the check column selects the row and toggles nothing.
    Notices().clear();
    f.Click(3, 60);
    EXPECT_EQ(SendMessageA(f.table, LB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(f.Checks()[3], 1);
    EXPECT_EQ(CountCommands(kTableCheckToggled), 0);
    EXPECT_GE(CountCommands(LBN_SELCHANGE), 1);
    for (const Notice &n : Notices())
        if (HIWORD(n.wParam) == LBN_SELCHANGE) {
            EXPECT_EQ(LOWORD(n.wParam), kId);
            EXPECT_EQ(n.lParam, reinterpret_cast<LPARAM>(f.list));
        }
}

TEST(Table, ReadOnlyChecksSelectInstead) {
    TableFixture f(0x20000);
    f.AddRows(5);
    SendMessageA(f.table, kTableSetChecks, 5, 1);
    f.Click(2, 5);
    EXPECT_EQ(f.Checks()[2], 1);
    EXPECT_EQ(SendMessageA(f.table, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(CountCommands(kTableCheckToggled), 0);
}

TEST(Table, ItemDataKeysWithStyleBit2) {
    TableFixture f(0x2);
    // A sorted list: the rows come out in text order, their keys are their item data.
    const char *rows[] = {"c\tthird", "a\tfirst", "b\tsecond"};
    const int keys[] = {7, 3, 5};
    for (int i = 0; i < 3; ++i) {
        int at = static_cast<int>(SendMessageA(f.table, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rows[i])));
        SendMessageA(f.table, LB_SETITEMDATA, at, keys[i]);
    }
    SendMessageA(f.table, kTableSetChecks, 8, 0);
    f.Click(0, 5);  // row 0 is "a", key 3
    EXPECT_EQ(f.Checks()[3], 1);
    EXPECT_EQ(f.Checks()[0], 0);
    ASSERT_EQ(CountCommands(kTableCheckToggled), 1);
    EXPECT_EQ(Notices()[0].lParam, MAKELPARAM(3, 1));
    Notices().clear();
    SendMessageA(f.list, WM_LBUTTONDBLCLK, MK_LBUTTON, f.RowPoint(1, 60));
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].message, kTableRowDoubleClick);
    EXPECT_EQ(Notices()[0].wParam, 5u);  // row 1 is "b", key 5
    EXPECT_EQ(Notices()[0].lParam, f.RowPoint(1, 60));
}

TEST(Table, IndexesOutsideTheChecksAreIgnored) {
    TableFixture f(0x2);
    const int keys[] = {-1, 4, 1000000, 1};
    const char *rows[] = {"a", "b", "c", "d"};
    for (int i = 0; i < 4; ++i) {
        int at = static_cast<int>(SendMessageA(f.table, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rows[i])));
        SendMessageA(f.table, LB_SETITEMDATA, at, keys[i]);
    }
    SendMessageA(f.table, kTableSetChecks, 4, 1);
    for (int row = 0; row < 3; ++row) f.Click(row, 5);  // keys -1, 4 and 10^6: none exists
    f.Click(10, 5);                                      // below the last row
    SendMessageA(f.list, WM_LBUTTONDBLCLK, MK_LBUTTON, f.RowPoint(10, 60));
    SendMessageA(f.list, WM_RBUTTONDOWN, MK_RBUTTON, f.RowPoint(10, 60));
    EXPECT_TRUE(Notices().empty());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(f.Checks()[i], 1);
    f.Click(3, 5);  // key 1 exists
    EXPECT_EQ(f.Checks()[1], 0);
    UpdateWindow(f.list);  // drawing rows with such keys reads nothing outside either
    // Rows added after the checks were made, without item-data keys.
    TableFixture g;
    g.AddRows(2);
    SendMessageA(g.table, kTableSetChecks, 2, 0);
    g.AddRows(3);
    g.Click(4, 5);
    EXPECT_EQ(CountCommands(kTableCheckToggled), 0);
    UpdateWindow(g.list);
}

TEST(Table, ListMessagesAreForwarded) {
    TableFixture f;
    f.AddRows(4);
    EXPECT_EQ(SendMessageA(f.table, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageA(f.table, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>("Row 2\tgalaxy\t12")),
              2);
    EXPECT_EQ(SendMessageA(f.table, LB_GETTEXTLEN, 1, 0), 15);
    char text[64];
    SendMessageA(f.table, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Row 1\tgalaxy\t11");
    SendMessageA(f.table, LB_DELETESTRING, 0, 0);
    EXPECT_EQ(SendMessageA(f.table, LB_GETCOUNT, 0, 0), 3);
    SendMessageA(f.table, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(f.table, LB_GETCOUNT, 0, 0), 0);
}

TEST(Table, DraggedWidthHoldsUntilTheNextResize) {
    TableFixture f;
    f.AddRows(3);
    HDITEMA item = {};
    item.mask = HDI_WIDTH;
    item.cxy = 80;
    SendMessageA(f.header, HDM_SETITEMA, 1, reinterpret_cast<LPARAM>(&item));
    NMHEADERA nm = {};
    nm.hdr.hwndFrom = f.header;
    nm.hdr.idFrom = 101;
    nm.hdr.code = HDN_ENDTRACKA;
    nm.iItem = 1;
    nm.pitem = &item;
    SendMessageA(f.table, WM_NOTIFY, 101, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(f.Widths(), (std::vector<int>{100, 80, 100}));
    SetWindowPos(f.table, nullptr, 0, 0, 360, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(f.Widths(), (std::vector<int>{120, 120, 120}));
    EXPECT_EQ(f.HeaderWidths(), (std::vector<int>{120, 120, 120}));
}

// The same through the real header control, dragged with real input.
TEST(Table, HeaderDividerDraggedWithTheMouse) {
    TableFixture f;
    SetForegroundWindow(f.parent.window);
    RECT item;
    ASSERT_TRUE(SendMessageA(f.header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)));
    POINT from = {item.right, (item.top + item.bottom) / 2};
    ClientToScreen(f.header, &from);
    // Each input is waited for until the header has taken it from the queue.
    POINT at = from;
    ASSERT_TRUE(testutil::MouseInput(at));
    ASSERT_TRUE(testutil::MouseInput(at, MOUSEEVENTF_LEFTDOWN));
    for (int dx : {10, 20}) {
        at.x = from.x - dx;
        ASSERT_TRUE(testutil::MouseInput(at));
    }
    ASSERT_TRUE(testutil::MouseInput(at, MOUSEEVENTF_LEFTUP));
    EXPECT_EQ(f.Widths(), (std::vector<int>{80, 100, 100}));
}

TEST(Table, ColumnWidthsMessageIsBounded) {
    TableFixture f;
    std::vector<uint16_t> widths(100, 33);
    widths[0] = 50;
    EXPECT_EQ(SendMessageA(f.table, kTableSetColumnWidths, 100, reinterpret_cast<LPARAM>(widths.data())), 0);
    EXPECT_EQ(f.Widths(), (std::vector<int>{50, 33, 33}));
    // More titles than the 64 columns a table has.
    std::string many;
    for (int i = 0; i < 80; ++i) many += "t" + std::to_string(i) + "\t";
    SetWindowTextA(f.table, many.c_str());
    EXPECT_EQ(SendMessageA(f.table, kTableGetColumnCount, 0, 0), 64);
    SendMessageA(f.table, kTableSetChecks, 3, 1);
    EXPECT_EQ(SendMessageA(f.table, kTableGetColumnCount, 0, 0), 64);  // check column included
    // A row of far more cells than columns, longer than 543 characters.
    std::string row;
    for (int i = 0; i < 400; ++i) row += "c\t";
    SendMessageA(f.table, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    SendMessageA(f.table, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
    InvalidateRect(f.list, nullptr, TRUE);
    UpdateWindow(f.list);
    EXPECT_EQ(SendMessageA(f.table, LB_GETCOUNT, 0, 0), 2);
}

int32_t g_sortCalls = 0, g_sortRows = 0, g_sortColumn = -1;
void RecordSort(int32_t *data, int rows, int column) {
    ++g_sortCalls;
    g_sortRows = rows;
    g_sortColumn = column;
    // Reverse order for any column but 0.
    for (int i = 0; i < rows; ++i) data[i] = column ? rows - 1 - i : i;
}

TEST(Table, HeaderClickSortsThroughTheCallBack) {
    TableFixture f;
    f.AddRows(3);
    int32_t order[3] = {0, 1, 2};
    SendMessageA(f.table, kTableSetSort, reinterpret_cast<WPARAM>(order), reinterpret_cast<LPARAM>(&RecordSort));
    EXPECT_TRUE(GetWindowLongA(f.header, GWL_STYLE) & HDS_BUTTONS);
    NMHEADERA nm = {};
    nm.hdr.hwndFrom = f.header;
    nm.hdr.idFrom = 101;
    nm.hdr.code = HDN_ITEMCLICKA;
    nm.iItem = 2;
    SendMessageA(f.table, WM_NOTIFY, 101, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(g_sortCalls, 1);
    EXPECT_EQ(g_sortRows, 3);
    EXPECT_EQ(g_sortColumn, 2);
    EXPECT_EQ(order[0], 2);
    // While sorted, a double click on shown row 0 names the item shown there
    // (list item 2, whose key is its item data, 0 here).
    SendMessageA(f.table, LB_SETITEMDATA, 2, 42);
    SendMessageA(f.list, WM_LBUTTONDBLCLK, MK_LBUTTON, f.RowPoint(0, 60));
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].wParam, 42u);
    UpdateWindow(f.list);
}

TEST(Table, FocusGoesToTheList) {
    TableFixture f;
    SetForegroundWindow(f.parent.window);
    SetFocus(f.table);
    EXPECT_EQ(GetFocus(), f.list);
}

}  // namespace
