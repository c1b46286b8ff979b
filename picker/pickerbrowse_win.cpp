// The object picker's Browse page ("RBrowseSubDlg"): a class, a designation
// kind, a constellation filter and a pattern choose a listing of a
// catalogue, shown one page at a time; choosing a row makes its object the
// picker's current object.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "picker/browse.h"
#include "objects/categories.h"
#include "objects/objectnames.h"
#include "picker/pickerbrowse.h"
#include "picker/pickerstate_win.h"
#include "resources/pickerids.h"

namespace {

const int kPatternChars = 64;  // 63 characters and the terminator

typedef int (*KindNameEnumerator)(char *out);
int StarKindsShort(char *out) { return NextStarKindName(out, 1); }

// The kind names of a class; none for the classes listed by name alone.
KindNameEnumerator KindNamesOf(int objectClass) {
    switch (objectClass) {
    case 3: case 13: return NextCometKindName;
    case 4: case 14: return NextMinorPlanetKindName;
    case 5: return StarKindsShort;
    case 6: return NextGalaxyKindName;
    case 7: return NextQuasarKindName;
    case 8: return NextPlanetaryNebulaKindName;
    case 9: return NextBrightNebulaKindName;
    case 10: return NextOpenClusterKindName;
    case 11: return NextGlobularClusterKindName;
    case 16: return NextGalaxyGroupKindName;
    case 17: return NextDarkNebulaKindName;
    default: return nullptr;
    }
}

ObjectRecord &Current() { return g_requestor->current; }

void SelectObjectOfRow(HWND page, int row) {
    HWND list = GetDlgItem(page, IDC_BROWSE_LIST);
    int length = (int)SendMessageA(list, LB_GETTEXTLEN, row, 0);
    if (length < 0 || length >= kBrowseRowTextSize) return;
    char text[kBrowseRowTextSize] = "";
    SendMessageA(list, LB_GETTEXT, row, (LPARAM)text);
    SelectObjectByText(g_requestor->requestor, text);
}

void UpdateConstellationCombo(HWND page) {
    ObjectRecord &c = Current();
    HWND combo = GetDlgItem(page, IDC_BROWSE_CONSTELLATIONS);
    if (BrowseKindTakesConstellation(c.objectClass, c.kind)) {
        EnableWindow(combo, TRUE);
        SendMessageA(combo, CB_SETCURSEL, ConstellationRowOfFilter(c.designationConstellation), 0);
    } else {
        c.designationConstellation = 0;
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
        EnableWindow(combo, FALSE);
    }
}

struct SortedRow {
    std::string text;
    int32_t number;
};

}  // namespace

void ListBrowseObjects(HWND page) {
    RequestorState *s = g_requestor;
    if (!s || !s->browseNumbers) return;
    char typed[kPatternChars] = "";
    GetDlgItemTextA(page, IDC_BROWSE_PATTERN, typed, sizeof typed);
    const std::string pattern = BrowsePatternOf(typed);
    const int objectClass = Current().objectClass, kind = Current().kind;
    const int constellation = BrowseKindTakesConstellation(objectClass, kind)
                                  ? BrowseConstellationValue(Current().designationConstellation)
                                  : 0;
    BrowseReset(&s->browse);
    HWND list = GetDlgItem(page, IDC_BROWSE_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    int32_t selected = -1, number = 0;
    g_browseTotal = 0;
    char text[kBrowseRowTextSize];
    int rows = 0;
    const bool sortByText = objectClass == kClassUserComet && kind == 4;
    std::vector<SortedRow> sorted;
    while (rows < kBrowseNumberSlots) {
        text[0] = '\0';
        int r = NextBrowseObject(&s->browse, objectClass, kind, constellation, pattern.c_str(),
                                 &g_browsePage, &g_browseTotal, &selected, &number, text);
        if (r <= 0) break;
        text[kBrowseRowTextSize - 1] = '\0';
        if (sortByText) {
            sorted.push_back({text, number});
        } else {
            s->browseNumbers[rows] = number;
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)text);
        }
        ++rows;
    }
    if (sortByText) {
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const SortedRow &a, const SortedRow &b) { return a.text < b.text; });
        for (size_t i = 0; i < sorted.size(); ++i) {
            s->browseNumbers[i] = sorted[i].number;
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)sorted[i].text.c_str());
        }
    }
    g_browsePageCount = s->browse.pageCount;
    BrowseReset(&s->browse);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    const bool named = selected > 0 || (selected == 0 && pattern != "*");
    if ((g_browsePage != 0 || named) && rows > 0) {
        int row = selected >= 0 && selected < rows ? selected : 0;
        SendMessageA(list, LB_SETCURSEL, row, 0);
        SelectObjectOfRow(page, row);
    }
    EnableWindow(GetDlgItem(page, IDC_BROWSE_PAGES), g_browsePageCount > 1);
    char count[64];
    std::snprintf(count, sizeof count, "%d total, listing %d", (int)g_browseTotal, rows);
    SetDlgItemTextA(page, IDC_BROWSE_COUNT, count);
    UpdateConstellationCombo(page);
}

void SetUpBrowseSelection(HWND page, const char *text) {
    if (!g_requestor) return;
    ObjectRecord &c = Current();
    SendDlgItemMessageA(page, IDC_BROWSE_CLASSES, CB_SETCURSEL, ClassToBrowseIndex(c.objectClass), 0);
    HWND kinds = GetDlgItem(page, IDC_BROWSE_KINDS);
    SendMessageA(kinds, CB_RESETCONTENT, 0, 0);
    int kindCount = 0;
    if (KindNameEnumerator next = KindNamesOf(c.objectClass)) {
        ResetBrowseNameEnumerators();
        char name[64];
        while (kindCount < 100 && next(name)) {
            SendMessageA(kinds, CB_ADDSTRING, 0, (LPARAM)name);
            ++kindCount;
        }
    }
    if (kindCount > 0 && c.kind == 0) c.kind = 1;
    if (kindCount > 0 && c.kind > kindCount) c.kind = 1;
    if (c.kind != 0 && kindCount > 0) {
        EnableWindow(kinds, TRUE);
        SendMessageA(kinds, CB_SETCURSEL, c.kind - 1, 0);
    } else {
        EnableWindow(kinds, FALSE);
    }
    HWND constellations = GetDlgItem(page, IDC_BROWSE_CONSTELLATIONS);
    if (c.designationConstellation != 0) {
        EnableWindow(constellations, TRUE);
        SendMessageA(constellations, CB_SETCURSEL,
                     ConstellationRowOfFilter(c.designationConstellation), 0);
    } else {
        SendMessageA(constellations, CB_SETCURSEL, 0, 0);
        EnableWindow(constellations, FALSE);
    }
    if (text) SetDlgItemTextA(page, IDC_BROWSE_PATTERN, text);
    ListBrowseObjects(page);
}

void FillBrowseCombos(HWND page) {
    HWND classes = GetDlgItem(page, IDC_BROWSE_CLASSES);
    SendMessageA(classes, CB_RESETCONTENT, 0, 0);
    ResetBrowseNameEnumerators();
    char name[64];
    for (int i = 0; i < kBrowseIndexCount && NextObjectClassName(name); ++i)
        SendMessageA(classes, CB_ADDSTRING, 0, (LPARAM)name);
    HWND constellations = GetDlgItem(page, IDC_BROWSE_CONSTELLATIONS);
    SendMessageA(constellations, CB_RESETCONTENT, 0, 0);
    SendMessageA(constellations, CB_ADDSTRING, 0, (LPARAM) "");
    BrowseState listing;
    int32_t page0 = 0, total = 0, selected = -1, number = 0;
    char text[kBrowseRowTextSize];
    for (int i = 0; i < 100; ++i) {
        text[0] = '\0';
        if (NextBrowseObject(&listing, kClassConstellation, 1, 0, "*", &page0, &total, &selected,
                             &number, text) <= 0)
            break;
        text[kBrowseRowTextSize - 1] = '\0';
        SendMessageA(constellations, CB_ADDSTRING, 0, (LPARAM)text);
    }
}

void SelectVisibleListItem(HWND page, HWND list, int row) {
    int top = (int)SendMessageA(list, LB_GETTOPINDEX, 0, 0);
    int itemHeight = (int)SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
    RECT rc;
    GetClientRect(list, &rc);
    int visible = itemHeight > 0 ? (int)std::floor((double)(rc.bottom - rc.top) / itemHeight + 0.5) : 1;
    int last = top + visible - 1;
    int current = (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (current < top || current > last) row = top;
    int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (row < 0 || row >= count) return;
    SendMessageA(list, LB_SETCURSEL, row, 0);
    SelectObjectOfRow(page, row);
}

namespace {

// Enter in the pattern edit lists with the typed pattern and moves to the list.
LRESULT CALLBACK BrowseEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    return EditWithEnterAction(edit, message, wParam, lParam, g_requestor ? g_requestor->browseEditProc : nullptr,
                               [](HWND e) { SetFocus(GetDlgItem(GetParent(e), IDC_BROWSE_LIST)); });  // kill focus lists
}

void CommonStep(HWND page) {
    SetDlgItemTextA(page, IDC_BROWSE_PATTERN, "");
    g_browsePage = 0;
    ListBrowseObjects(page);
}

void MovePage(HWND page, int delta) {
    if (delta > 0 && g_browsePage + 1 < g_browsePageCount)
        ++g_browsePage;
    else if (delta < 0 && g_browsePage > 0)
        --g_browsePage;
    else
        return;
    SetDlgItemTextA(page, IDC_BROWSE_PATTERN, "");
    ListBrowseObjects(page);
}

}  // namespace

INT_PTR CALLBACK RBrowseSubDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    RequestorState *s = g_requestor;
    switch (message) {
    case WM_INITDIALOG: {
        if (!s) return TRUE;
        HWND edit = GetDlgItem(dialog, IDC_BROWSE_PATTERN);
        SendMessageA(edit, EM_LIMITTEXT, kPatternChars - 1, 0);
        s->browseEditProc = (WNDPROC)SetWindowLongPtrA(edit, GWLP_WNDPROC, (LONG_PTR)BrowseEditProc);
        FillBrowseCombos(dialog);
        char name[kDesignationTextSize] = "";
        FormatObjectName(&s->current, name, PickerPreferences(), nullptr, nullptr, nullptr);
        SetUpBrowseSelection(dialog, name);
        return TRUE;
    }
    case WM_COMMAND: {
        if (!s) return FALSE;
        int id = LOWORD(wParam), code = HIWORD(wParam);
        ObjectRecord &c = s->current;
        switch (id) {
        case IDC_BROWSE_CLASSES:
            if (code != CBN_SELCHANGE) return FALSE;
            c.objectClass = static_cast<uint8_t>(
                BrowseIndexToClass((int)SendDlgItemMessageA(dialog, IDC_BROWSE_CLASSES, CB_GETCURSEL, 0, 0)));
            c.kind = 0;
            c.designationConstellation = 0;
            SetDlgItemTextA(dialog, IDC_BROWSE_PATTERN, "");
            g_browsePage = 0;
            SetUpBrowseSelection(dialog, nullptr);
            return TRUE;
        case IDC_BROWSE_KINDS:
            if (code != CBN_SELCHANGE) return FALSE;
            c.kind =
                static_cast<uint8_t>(SendDlgItemMessageA(dialog, IDC_BROWSE_KINDS, CB_GETCURSEL, 0, 0) + 1);
            if (!BrowseKindTakesConstellation(kClassStar, c.kind)) c.designationConstellation = 0;
            CommonStep(dialog);
            return TRUE;
        case IDC_BROWSE_CONSTELLATIONS:
            if (code != CBN_SELCHANGE) return FALSE;
            c.designationConstellation = ConstellationFilterOfRow(
                (int)SendDlgItemMessageA(dialog, IDC_BROWSE_CONSTELLATIONS, CB_GETCURSEL, 0, 0));
            CommonStep(dialog);
            return TRUE;
        case IDC_BROWSE_CLEAR:
            CommonStep(dialog);
            return TRUE;
        case IDC_BROWSE_PATTERN:
            if (code == EN_KILLFOCUS) ListBrowseObjects(dialog);
            return TRUE;
        case IDC_BROWSE_LIST: {
            int row = (int)SendDlgItemMessageA(dialog, IDC_BROWSE_LIST, LB_GETCURSEL, 0, 0);
            if (code == LBN_SELCHANGE && row >= 0) {
                char text[kBrowseRowTextSize] = "";
                if (SendDlgItemMessageA(dialog, IDC_BROWSE_LIST, LB_GETTEXTLEN, row, 0) < kBrowseRowTextSize)
                    SendDlgItemMessageA(dialog, IDC_BROWSE_LIST, LB_GETTEXT, row, (LPARAM)text);
                SetDlgItemTextA(dialog, IDC_BROWSE_PATTERN, text);
                SendDlgItemMessageA(dialog, IDC_BROWSE_PATTERN, EM_SETSEL, 0, -1);
                if (!BrowseKindTakesConstellation(c.objectClass, c.kind) && s->browseNumbers &&
                    row < kBrowseNumberSlots) {
                    c.designationConstellation = s->browseNumbers[row];
                    SendDlgItemMessageA(dialog, IDC_BROWSE_CONSTELLATIONS, CB_SETCURSEL, 0, 0);
                }
                SelectObjectByText(s->requestor, text);
            } else if (code == LBN_DBLCLK && !s->modal && s->requestor) {
                SendMessageA(s->requestor, WM_COMMAND, MAKEWPARAM(IDC_REQ_MORE_INFO, BN_CLICKED), 0);
            }
            return TRUE;
        }
        case IDA_PREVIOUS_PAGE:
        case IDA_NEXT_PAGE:
            if (!IsWindowEnabled(GetDlgItem(dialog, IDC_BROWSE_PAGES))) return TRUE;
            MovePage(dialog, id == IDA_NEXT_PAGE ? 1 : -1);
            SelectVisibleListItem(dialog, GetDlgItem(dialog, IDC_BROWSE_LIST), 0);
            SetFocus(GetDlgItem(dialog, IDC_BROWSE_LIST));
            return TRUE;
        case IDA_PREVIOUS_ROW:
        case IDA_NEXT_ROW: {
            HWND list = GetDlgItem(dialog, IDC_BROWSE_LIST);
            int row = (int)SendMessageA(list, LB_GETCURSEL, 0, 0) + (id == IDA_NEXT_ROW ? 1 : -1);
            if (row >= 0 && row < (int)SendMessageA(list, LB_GETCOUNT, 0, 0))
                SelectVisibleListItem(dialog, list, row);
            return TRUE;
        }
        case IDA_LINE_UP:
        case IDA_LINE_DOWN:
        case IDA_PAGE_UP:
        case IDA_PAGE_DOWN: {
            static const WPARAM scroll[4] = {SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN};
            SendDlgItemMessageA(dialog, IDC_BROWSE_LIST, WM_VSCROLL, scroll[id - IDA_LINE_UP], 0);
            return TRUE;
        }
        }
        return FALSE;
    }
    case WM_NOTIFY: {
        const NMHDR *header = reinterpret_cast<const NMHDR *>(lParam);
        if (header->idFrom == IDC_BROWSE_PAGES && header->code == UDN_DELTAPOS) {
            const NMUPDOWN *updown = reinterpret_cast<const NMUPDOWN *>(lParam);
            MovePage(dialog, updown->iDelta);
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);  // the control keeps no position
            return TRUE;
        }
        return FALSE;
    }
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        if (s && s->browseEditProc) {
            SetWindowLongPtrA(GetDlgItem(dialog, IDC_BROWSE_PATTERN), GWLP_WNDPROC,
                              (LONG_PTR)s->browseEditProc);
            s->browseEditProc = nullptr;
        }
        return TRUE;
    }
    return FALSE;
}
