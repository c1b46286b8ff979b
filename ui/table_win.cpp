// Table: a multi-column list made of a header control over an owner-drawn
// list box. Rows are tab-separated texts; an optional first column of check
// boxes is kept in a byte array per row key; the user can drag the column
// widths; a header click can sort through a call-back of the parent; the
// usual list-box messages are forwarded to the inner list.
#include "ui/controls_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/hostcallbacks.h"
#include "ui/controlgeometry.h"
#include "ui/controlmsgs.h"
#include "ui/controlpictures.h"
#include "ui/dib_win.h"
#include "ui/tablecells.h"
#include "ui/winutil_win.h"

namespace {

constexpr int kListId = 100;
constexpr int kHeaderId = 101;
constexpr int kTitlesMax = 511;
constexpr LONG kReadOnlyChecksStyle = 0x20000;
constexpr LONG kItemDataKeysStyle = 0x2;

struct TableState {
    HWND list;
    HWND header;
    HINSTANCE instance;
    int32_t columnCount;                 // header items, check column included
    uint16_t widths[kTableMaxColumns];
    uint8_t *checks;                     // one byte per row key, or none
    int32_t checkRows;
    uint8_t readOnlyChecks;
    int32_t itemHeight;
    int32_t drawnRowHeight;
    HBITMAP checkBitmap;
    TableSortCallback sortCallback;
    uint8_t sortable;
    uint8_t sortColumn;
    int32_t *sortData;
    int32_t itemDataKeys;
    WNDPROC listProc;
    HFONT font;
};

TableState *StateOf(HWND table) {
    return reinterpret_cast<TableState *>(GetWindowLongPtrA(table, 0));
}

LRESULT CALLBACK TableListSubclassProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);

int ListCount(const TableState *st) {
    LRESULT n = SendMessageA(st->list, LB_GETCOUNT, 0, 0);
    return n == LB_ERR ? 0 : static_cast<int>(n);
}

bool SortActive(const TableState *st) {
    return st->sortable && st->sortColumn != 0 && st->sortData;
}

// The list item shown as row `row`: the sort data's entry while a sort is
// active (when it names an existing item), else the row itself. The drawing
// and the pointer handlers both go through here, so a click acts on the item
// that is shown where the click was.
int DisplayedItem(const TableState *st, int row) {
    if (row < 0) return row;
    if (SortActive(st)) {
        int v = st->sortData[row];
        if (v >= 0 && v < ListCount(st)) return v;
    }
    return row;
}

// Row key of a list item: its item data with style bit 0x2 or while a sort
// is active, else the item's index.
int RowKeyOfItem(const TableState *st, int item) {
    if (st->itemDataKeys || SortActive(st))
        return static_cast<int>(SendMessageA(st->list, LB_GETITEMDATA, item, 0));
    return item;
}

bool CheckKeyValid(const TableState *st, int key) {
    return st->checks && key >= 0 && key < st->checkRows;
}

// Text height of "Xy" and tmHeight in the table's own context, whose font is
// the one the header and the list draw with.
void MeasureTableFont(HWND table, int *xyHeight, int *fontHeight) {
    HDC dc = GetDC(table);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, "Xy", 2, &size);
    TEXTMETRICA tm;
    *fontHeight = GetTextMetricsA(dc, &tm) ? tm.tmHeight : size.cy;
    *xyHeight = size.cy;
    ReleaseDC(table, dc);
}

// The titles given, or else the table window's own text.
std::string TitlesText(HWND table, const char *titles) {
    if (titles && titles[0]) return titles;
    char buffer[kTitlesMax + 1];
    GetWindowTextA(table, buffer, sizeof buffer);
    return buffer;
}

int TitleCount(HWND table, const char *titles) {
    int n = static_cast<int>(SplitTableCells(TitlesText(table, titles)).size());
    return n > kTableMaxColumns ? kTableMaxColumns : n;
}

int TableClientWidth(HWND table) {
    RECT rc;
    GetClientRect(table, &rc);
    return rc.right - rc.left;
}

}  // namespace

// Rebuilds the header items. titles: the tab-separated titles, or none (or
// empty) for the window text; width: when non-zero every column's new width.
void SetTableHeader(HWND table, const char *titles, int width) {
    TableState *st = StateOf(table);
    if (!st || !st->header) return;
    if (width != 0)
        for (auto &w : st->widths) w = static_cast<uint16_t>(width);
    if (st->checks) st->widths[0] = kTableCheckColumnWidth;
    while (SendMessageA(st->header, HDM_GETITEMCOUNT, 0, 0) > 0)
        if (!SendMessageA(st->header, HDM_DELETEITEM, 0, 0)) break;
    st->columnCount = 0;
    RECT hc;
    GetClientRect(st->header, &hc);
    HDITEMA item;
    std::memset(&item, 0, sizeof item);
    item.mask = HDI_FORMAT | HDI_WIDTH | HDI_TEXT;
    if (st->checks) {
        item.fmt = HDF_CENTER | HDF_STRING;
        item.cxy = st->widths[0];
        item.pszText = const_cast<char *>("");
        SendMessageA(st->header, HDM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        st->columnCount = 1;
    }
    std::string text = TitlesText(table, titles);
    if (text.size() > kTitlesMax) text.resize(kTitlesMax);
    for (const std::string &title : SplitTableCells(text)) {
        if (st->columnCount >= kTableMaxColumns) break;
        int w = st->widths[st->columnCount];
        item.fmt = HDF_STRING | HDF_CENTER;
        item.cxy = w ? w : hc.right - hc.left;
        item.pszText = const_cast<char *>(title.c_str());
        SendMessageA(st->header, HDM_INSERTITEMA, st->columnCount, reinterpret_cast<LPARAM>(&item));
        st->columnCount++;
    }
}

// Repaints one row of the list without erasing.
void InvalidateTableRow(HWND table, int row) {
    TableState *st = StateOf(table);
    if (!st) return;
    RECT rc;
    if (SendMessageA(st->list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rc)) != LB_ERR)
        InvalidateRect(st->list, &rc, FALSE);
}

void DrawTableRow(HWND table, const DRAWITEMSTRUCT *dis) {
    TableState *st = StateOf(table);
    if (!st || dis->itemAction == ODA_FOCUS) return;
    RECT rc = dis->rcItem;
    HDC dc = dis->hDC;
    st->drawnRowHeight = rc.bottom - rc.top;
    bool selected = (dis->itemState & ODS_SELECTED) != 0;
    COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    COLORREF fore = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    // The background is always filled, so that an empty row shows its
    // selection and no stale pixels.
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    if (static_cast<int>(dis->itemID) < 0) return;
    int item = DisplayedItem(st, static_cast<int>(dis->itemID));
    LRESULT length = SendMessageA(st->list, LB_GETTEXTLEN, item, 0);
    if (length == LB_ERR || length <= 0) return;
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    if (SendMessageA(st->list, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text.data())) == LB_ERR) return;
    text.back() = '\0';
    SetBkColor(dc, back);
    SetTextColor(dc, fore);
    bool hasChecks = st->checks != nullptr;
    if (hasChecks) {
        int key = RowKeyOfItem(st, item);
        if (CheckKeyValid(st, key) && st->checks[key] && st->checkBitmap) {
            BITMAP bm;
            if (GetObjectA(st->checkBitmap, sizeof bm, &bm))
                DrawTransparentBitmap(dc, rc.left + 2, rc.top, bm.bmWidth, bm.bmHeight, st->checkBitmap,
                                      0, 0, RGB(0, 255, 0), GetHostPalette());
        }
    }
    std::vector<std::string> cells = SplitTableCells(text.data());
    int lefts[kTableMaxColumns];
    int n = TableCellLefts(rc.left, st->widths, st->columnCount, hasChecks,
                           static_cast<int>(cells.size()), lefts);
    for (int i = 0; i < n; ++i) {
        RECT cell = {lefts[i], rc.top, rc.right, rc.bottom};
        DrawTextA(dc, cells[i].c_str(), static_cast<int>(cells[i].size()), &cell,
                  DT_SINGLELINE | DT_LEFT | DT_TOP | DT_NOPREFIX);
    }
}

unsigned short RegisterTableClass(HINSTANCE__ *instance) {
    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;  // 48
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = TableWndProc;
    wc.cbWndExtra = kStatePointerBytes;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOWTEXT + 1);
    wc.lpszClassName = "Table";
    ATOM atom = RegisterClassExA(&wc);
    if (!atom) OutputDebugStringA("Gleaner: class Table not registered\n");
    return atom;
}

namespace {

// Header and list placed for a client area of width x height, and every
// column given its equal share of the width again.
void LayOutTable(HWND table, TableState *st, int width, int height) {
    int xyHeight = 0, fontHeight = 0;
    MeasureTableFont(table, &xyHeight, &fontHeight);
    int h = TableHeaderHeight(xyHeight);
    MoveWindow(st->header, 0, 0, width, h, TRUE);
    int listHeight = height - h - 4;
    MoveWindow(st->list, 0, h, width, listHeight > 0 ? listHeight : 0, TRUE);
    SetTableHeader(table, nullptr,
                   TableTitleColumnWidth(width, TitleCount(table, nullptr), st->checks != nullptr));
}

LRESULT CreateTable(HWND table, const CREATESTRUCTA *cs) {
    auto *st = static_cast<TableState *>(std::calloc(1, sizeof(TableState)));
    if (!st) return -1;
    LONG style = GetWindowLongA(table, GWL_STYLE);
    st->instance = cs->hInstance;
    st->itemDataKeys = (style & kItemDataKeysStyle) ? 1 : 0;
    st->readOnlyChecks = (style & kReadOnlyChecksStyle) ? 1 : 0;
    st->checkBitmap = LoadControlBitmap(cs->hInstance, IDB_TABLE_CHECK);
    SetWindowLongPtrA(table, 0, reinterpret_cast<LONG_PTR>(st));
    // Rows and header are measured in the font they are drawn in: the
    // parent's dialog font, also selected into the table's own context.
    HWND parent = GetParent(table);
    st->font = parent ? reinterpret_cast<HFONT>(SendMessageA(parent, WM_GETFONT, 0, 0)) : nullptr;
    if (st->font) {
        HDC dc = GetDC(table);
        SelectObject(dc, st->font);
        ReleaseDC(table, dc);
    }
    int xyHeight = 0, fontHeight = 0;
    MeasureTableFont(table, &xyHeight, &fontHeight);
    st->itemHeight = TableItemHeight(fontHeight);
    int h = TableHeaderHeight(xyHeight);
    RECT rc;
    GetClientRect(table, &rc);
    st->header = CreateWindowExA(WS_EX_CLIENTEDGE, WC_HEADERA, "", WS_CHILD | WS_BORDER, rc.left, rc.top,
                                 rc.right - rc.left, h, table,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHeaderId)), cs->hInstance,
                                 nullptr);
    DWORD listStyle = (static_cast<DWORD>(style) & ~static_cast<DWORD>(WS_VISIBLE | WS_BORDER)) | WS_CHILD |
                      WS_VSCROLL | WS_TABSTOP | LBS_HASSTRINGS | LBS_OWNERDRAWFIXED | LBS_NOTIFY;
    int listHeight = rc.bottom - h - 4;
    st->list = CreateWindowExA(WS_EX_CLIENTEDGE, "listbox", "", listStyle, rc.left, h, rc.right - rc.left,
                               listHeight > 0 ? listHeight : 0, table,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), cs->hInstance,
                               nullptr);
    if (!st->header || !st->list) return -1;
    if (st->font) {
        SendMessageA(st->header, WM_SETFONT, reinterpret_cast<WPARAM>(st->font), FALSE);
        SendMessageA(st->list, WM_SETFONT, reinterpret_cast<WPARAM>(st->font), FALSE);
    }
    st->listProc = ReplaceWindowProc(st->list, TableListSubclassProc);
    SetTableHeader(table, nullptr, 0);
    SetTableHeader(table, nullptr,
                   TableTitleColumnWidth(rc.right - rc.left, TitleCount(table, nullptr), 0));
    ShowWindow(st->header, SW_SHOW);
    ShowWindow(st->list, SW_SHOW);
    return 0;
}

}  // namespace

namespace {

void SetChecks(HWND table, TableState *st, int rows, uint8_t value) {
    bool hadChecks = st->checks != nullptr;
    std::free(st->checks);
    st->checks = nullptr;
    st->checkRows = 0;
    if (rows > 0) {
        st->checks = static_cast<uint8_t *>(std::malloc(static_cast<size_t>(rows)));
        if (st->checks) {
            std::memset(st->checks, value, static_cast<size_t>(rows));
            st->checkRows = rows;
        }
    }
    if (st->checks && !hadChecks) {
        SetTableHeader(table, nullptr,
                       TableTitleColumnWidth(TableClientWidth(table), TitleCount(table, nullptr), 1));
    } else {
        SetTableHeader(table, nullptr, 0);
    }
    InvalidateRect(st->list, nullptr, FALSE);
}

void ToggleCheck(HWND table, TableState *st, int row) {
    if (row < 0 || row >= ListCount(st)) return;
    int key = RowKeyOfItem(st, DisplayedItem(st, row));
    if (!CheckKeyValid(st, key)) return;
    st->checks[key] = st->checks[key] ? 0 : 1;
    HWND parent = GetParent(table);
    if (parent)
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(table), kTableCheckToggled),
                     MAKELPARAM(key, st->checks[key]));
    InvalidateTableRow(table, row);
}

LRESULT OnHeaderNotify(HWND table, TableState *st, const NMHDR *nm) {
    if (!nm || nm->idFrom != kHeaderId) return 0;
    const NMHEADERA *nh = reinterpret_cast<const NMHEADERA *>(nm);
    switch (nm->code) {
    case HDN_ENDTRACKA:
    case HDN_ENDTRACKW:
        // HDITEMA and HDITEMW hold mask and width at the same offsets.
        if (nh->pitem && (nh->pitem->mask & HDI_WIDTH) && nh->iItem >= 0 && nh->iItem < kTableMaxColumns) {
            int w = nh->pitem->cxy;
            st->widths[nh->iItem] = static_cast<uint16_t>(w < 0 ? 0 : (w > 65535 ? 65535 : w));
        }
        InvalidateRect(st->list, nullptr, FALSE);
        return 0;
    case HDN_ITEMCLICKA:
    case HDN_ITEMCLICKW:
        if (st->sortable && nh->iItem >= 0 && nh->iItem < kTableMaxColumns) {
            st->sortColumn = static_cast<uint8_t>(nh->iItem);
            if (st->sortCallback && st->sortData) st->sortCallback(st->sortData, ListCount(st), st->sortColumn);
            InvalidateRect(st->list, nullptr, FALSE);
        }
        return 0;
    }
    return 0;
}

void DestroyTable(HWND table, TableState *st) {
    SetWindowLongPtrA(table, 0, 0);
    if (st->list && st->listProc) ReplaceWindowProc(st->list, st->listProc);
    if (st->list) DestroyWindow(st->list);
    if (st->header) DestroyWindow(st->header);
    if (st->checkBitmap) DeleteObject(st->checkBitmap);
    std::free(st->checks);
    std::free(st);
}

LRESULT CALLBACK TableListSubclassProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND table = GetParent(list);
    TableState *st = table ? StateOf(table) : nullptr;
    if (!st || !st->listProc) return DefWindowProcA(list, message, wParam, lParam);
    auto rowAt = [&](LPARAM lp) {
        int top = static_cast<int>(CallWindowProcA(st->listProc, list, LB_GETTOPINDEX, 0, 0));
        int height = static_cast<int>(CallWindowProcA(st->listProc, list, LB_GETITEMHEIGHT, 0, 0));
        return TableRowAtPoint(top, GET_Y_LPARAM(lp), height, ListCount(st));
    };
    switch (message) {
    case WM_LBUTTONDOWN:
        if (st->checks && !st->readOnlyChecks && GET_X_LPARAM(lParam) < st->widths[0]) {
            SendMessageA(table, WM_COMMAND, MAKEWPARAM(kListId, kTableCheckToggled), rowAt(lParam));
            return 0;  // the row's selection does not change
        }
        break;
    case WM_LBUTTONDBLCLK: {
        int row = rowAt(lParam);
        HWND parent = GetParent(table);
        if (row >= 0 && parent)
            SendMessageA(parent, kTableRowDoubleClick, RowKeyOfItem(st, DisplayedItem(st, row)), lParam);
        return 0;
    }
    case WM_RBUTTONDOWN: {
        SendMessageA(list, WM_LBUTTONDOWN, wParam, lParam);
        SendMessageA(list, WM_LBUTTONUP, wParam, lParam);
        int row = rowAt(lParam);
        POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(list, &pt);
        HWND parent = GetParent(table);
        if (row >= 0 && parent)
            SendMessageA(parent, kTableRowRightClick, RowKeyOfItem(st, DisplayedItem(st, row)),
                         MAKELPARAM(pt.x, pt.y));
        return 0;
    }
    }
    return CallWindowProcA(st->listProc, list, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK TableWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return CreateTable(window, reinterpret_cast<const CREATESTRUCTA *>(lParam));
    TableState *st = StateOf(window);
    if (!st) {
        if (message == WM_MEASUREITEM) return 1;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    // Every list-box message goes to the inner list (LB_GETCOUNT and the
    // find messages included, which a parent may ask the table for).
    if (message >= LB_ADDSTRING && message <= 0x1B3) {
        if (!st->list) return LB_ERR;
        return SendMessageA(st->list, message, wParam, lParam);
    }
    switch (message) {
    case WM_DESTROY:
        DestroyTable(window, st);
        return 0;
    case WM_SIZE:
        if (st->list && st->header) LayOutTable(window, st, LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_SETTEXT: {
        const char *titles = lParam ? reinterpret_cast<const char *>(lParam) : "";
        std::string text(titles, strnlen(titles, kTitlesMax));
        int count = static_cast<int>(SplitTableCells(text).size());
        if (count > kTableMaxColumns) count = kTableMaxColumns;
        int width = TableTitleColumnWidth(TableClientWidth(window), count, st->checks != nullptr);
        // An empty title text leaves no titles (not the old ones).
        SetTableHeader(window, text.empty() ? "\t" : text.c_str(), width);
        break;
    }
    case WM_SETFONT: {
        st->font = reinterpret_cast<HFONT>(wParam);
        HDC dc = GetDC(window);
        SelectObject(dc, wParam ? reinterpret_cast<HFONT>(wParam) : GetStockObject(SYSTEM_FONT));
        ReleaseDC(window, dc);
        SendMessageA(st->header, WM_SETFONT, wParam, FALSE);
        SendMessageA(st->list, WM_SETFONT, wParam, FALSE);
        int xyHeight = 0, fontHeight = 0;
        MeasureTableFont(window, &xyHeight, &fontHeight);
        st->itemHeight = TableItemHeight(fontHeight);
        SendMessageA(st->list, LB_SETITEMHEIGHT, 0, st->itemHeight);
        RECT rc;
        GetClientRect(window, &rc);
        LayOutTable(window, st, rc.right, rc.bottom);
        if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(st->font);
    case WM_MEASUREITEM: {
        auto *mi = reinterpret_cast<MEASUREITEMSTRUCT *>(lParam);
        if (mi && mi->CtlID == kListId) {
            int xyHeight = 0, fontHeight = 0;
            MeasureTableFont(window, &xyHeight, &fontHeight);
            st->itemHeight = TableItemHeight(fontHeight);
            mi->itemHeight = static_cast<UINT>(st->itemHeight);
        }
        return 1;
    }
    case WM_DRAWITEM: {
        auto *dis = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (dis && dis->CtlID == kListId) DrawTableRow(window, dis);
        return 0;
    }
    case WM_NOTIFY:
        return OnHeaderNotify(window, st, reinterpret_cast<const NMHDR *>(lParam));
    case WM_COMMAND:
        if (LOWORD(wParam) == kListId) {
            if (HIWORD(wParam) == kTableCheckToggled) {
                ToggleCheck(window, st, static_cast<int>(lParam));
            } else if (HIWORD(wParam) == LBN_SELCHANGE) {
                HWND parent = GetParent(window);
                if (parent)
                    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), LBN_SELCHANGE),
                                 reinterpret_cast<LPARAM>(st->list));
            }
        }
        return 0;
    case WM_SETFOCUS:
        if (st->list) SetFocus(st->list);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT rc;
        GetClientRect(window, &rc);
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        EndPaint(window, &ps);
        return 0;
    }
    case kTableSetColumnWidths: {
        int n = static_cast<int>(wParam);
        if (n > kTableMaxColumns) n = kTableMaxColumns;
        const uint16_t *widths = reinterpret_cast<const uint16_t *>(lParam);
        for (int i = 0; widths && i < n; ++i) st->widths[i] = widths[i];
        SetTableHeader(window, nullptr, 0);
        InvalidateRect(st->list, nullptr, FALSE);
        return 0;
    }
    case kTableGetChecks:
        return reinterpret_cast<LRESULT>(st->checks);
    case kTableSetChecks:
        SetChecks(window, st, static_cast<int>(wParam), static_cast<uint8_t>(lParam & 0xFF));
        return 0;
    case kTableGetCheckRows:
        return st->checks ? st->checkRows : 0;
    case kTableGetColumnWidths:
        return reinterpret_cast<LRESULT>(st->widths);
    case kTableGetColumnCount:
        return st->columnCount;
    case kTableSetSort:
        st->sortData = reinterpret_cast<int32_t *>(wParam);
        st->sortCallback = reinterpret_cast<TableSortCallback>(lParam);
        if (st->sortData && st->sortCallback) {
            st->sortable = 1;
            st->sortColumn = 0;
            LONG style = GetWindowLongA(st->header, GWL_STYLE);
            SetWindowLongA(st->header, GWL_STYLE, style | HDS_BUTTONS);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
