// The object picker's Search page ("RSearchSubDlg"): a typed text searched
// by name over every catalogue, the results listed by the designation they
// were found by, and the search's scope kept in the dialog-settings store.
#include <windows.h>

#include <cstring>
#include <initializer_list>

#include "core/hostcallbacks.h"
#include "core/dlgsettings.h"
#include "objects/buildrecord.h"
#include "objects/namesearch.h"
#include "objects/objectnames.h"
#include "picker/pickerstate_win.h"
#include "resources/pickerids.h"
#include "resources/helptopics.h"

namespace {

const int kTypedChars = 64;  // the edit holds at most 63 characters
int g_resultCount = 0;

// Enter in the text edit searches.
LRESULT CALLBACK SearchEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    return EditWithEnterAction(edit, message, wParam, lParam, g_requestor ? g_requestor->searchEditProc : nullptr,
                               [](HWND e) {
                                   PostMessageA(GetParent(e), WM_COMMAND, MAKEWPARAM(IDC_SEARCH_GO, BN_CLICKED), 0);
                               });
}

// Enter (also with Alt) in the result list acts as a double click.
LRESULT CALLBACK SearchListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = g_requestor ? g_requestor->searchListProc : nullptr;
    if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && wParam == VK_RETURN) {
        PostMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(IDC_SEARCH_RESULTS, LBN_DBLCLK), (LPARAM)list);
        return 0;
    }
    return WantEnterElseDefault(list, message, wParam, lParam, previous);
}

// The row text of one result: the name of the kind it was found by, else
// its first designation by the preferences.
void ResultText(ObjectRecord *result, char *text) {
    text[0] = '\0';
    if (result->kind == 99 && result->objectClass == kClassBrightNebula)
        result->kind = 10;  // the bright nebulae's other designations
    if (!FormatObjectNameOfKind(result, text) || !text[0])
        FormatObjectName(result, text, PickerPreferences(), nullptr, nullptr, nullptr);
}

void ShowCurrent() {
    RefreshCurrentObject();
    ShowSelectedObject(g_requestor->requestor, &g_requestor->current,
                       FindComponentRow(&g_requestor->current));
}

void RunSearch(HWND page) {
    RequestorState *s = g_requestor;
    if (!s || !s->searchResults) return;
    // Recognition inside the search may lengthen a text by up to 19
    // characters; the typed text sits in a buffer with room for that.
    char text[kSearchTextSize] = "";
    GetDlgItemTextA(page, IDC_SEARCH_TEXT, text, kTypedChars);
    s->extinction = PickerExtinction(s);
    int n = SearchObjectsByName(text, 0.0, &s->site, &s->time, s->extinction, g_searchScope,
                                s->searchResults, kSearchMaxResults);
    if (n > 0) {
        g_resultCount = n;
        s->current = s->searchResults[0];
        HWND list = GetDlgItem(page, IDC_SEARCH_RESULTS);
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        for (int i = 0; i < n; ++i) {
            char row[kDesignationTextSize];
            ResultText(&s->searchResults[i], row);
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)row);
        }
        s->current = s->searchResults[0];
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        ShowCurrent();
        SetFocus(list);
    } else {
        // Nothing found: no earlier result or object stays on show to be
        // taken for this search's.
        g_resultCount = 0;
        SendDlgItemMessageA(page, IDC_SEARCH_RESULTS, LB_RESETCONTENT, 0, 0);
        ClearSelectedObject(s->requestor);
    }
    SendDlgItemMessageA(page, IDC_SEARCH_TEXT, EM_SETSEL, 0, -1);
}

}  // namespace

INT_PTR CALLBACK RSearchSubDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        if (!g_requestor) return TRUE;
        g_resultCount = 0;
        HWND edit = GetDlgItem(dialog, IDC_SEARCH_TEXT);
        HWND list = GetDlgItem(dialog, IDC_SEARCH_RESULTS);
        SendMessageA(edit, EM_LIMITTEXT, kTypedChars - 1, 0);
        g_requestor->searchEditProc =
            (WNDPROC)SetWindowLongPtrA(edit, GWLP_WNDPROC, (LONG_PTR)SearchEditProc);
        g_requestor->searchListProc =
            (WNDPROC)SetWindowLongPtrA(list, GWLP_WNDPROC, (LONG_PTR)SearchListProc);
        HWND scope = GetDlgItem(dialog, IDC_SEARCH_SCOPE);
        for (const char *name : {"All", "Solar System", "Stars", "Deep Sky"})
            SendMessageA(scope, CB_ADDSTRING, 0, (LPARAM)name);
        int32_t stored = 0;
        if (!GetDialogSetting(&stored, 4, kDdsSearchScope) || stored < 0 || stored > 3) stored = 0;
        g_searchScope = stored;
        SendMessageA(scope, CB_SETCURSEL, g_searchScope, 0);
        SetFocus(edit);
        if (g_requestor->preset[0]) {
            SetWindowTextA(edit, g_requestor->preset);
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_GO, BN_CLICKED), 0);
        }
        return FALSE;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam), code = HIWORD(wParam);
        RequestorState *s = g_requestor;
        if (!s) return FALSE;
        if (id == IDC_SEARCH_GO) {
            RunSearch(dialog);
            return TRUE;
        }
        if (id == IDC_SEARCH_RESULTS && code == LBN_SELCHANGE) {
            int row = (int)SendDlgItemMessageA(dialog, IDC_SEARCH_RESULTS, LB_GETCURSEL, 0, 0);
            if (row >= 0 && row < g_resultCount && s->searchResults) {
                s->current = s->searchResults[row];
                ShowCurrent();
            }
            return TRUE;
        }
        if (id == IDC_SEARCH_RESULTS && code == LBN_DBLCLK) {
            if (!s->modal && s->requestor)
                SendMessageA(s->requestor, WM_COMMAND, MAKEWPARAM(IDC_REQ_MORE_INFO, BN_CLICKED), 0);
            SetFocus(GetDlgItem(dialog, IDC_SEARCH_TEXT));
            return TRUE;
        }
        if (id == IDC_SEARCH_SCOPE && code == CBN_SELCHANGE) {
            int row = (int)SendDlgItemMessageA(dialog, IDC_SEARCH_SCOPE, CB_GETCURSEL, 0, 0);
            if (row >= 0 && row <= 3) g_searchScope = row;
            return TRUE;
        }
        if (id == IDC_SEARCH_ABOUT) {
            ShowHelpTopic(IDH_DESIGNATIONS);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY: {
        int32_t scope = g_searchScope;
        PutDialogSetting(&scope, 4, kDdsSearchScope);
        if (g_requestor) {
            if (g_requestor->searchEditProc)
                SetWindowLongPtrA(GetDlgItem(dialog, IDC_SEARCH_TEXT), GWLP_WNDPROC,
                                  (LONG_PTR)g_requestor->searchEditProc);
            if (g_requestor->searchListProc)
                SetWindowLongPtrA(GetDlgItem(dialog, IDC_SEARCH_RESULTS), GWLP_WNDPROC,
                                  (LONG_PTR)g_requestor->searchListProc);
            g_requestor->searchEditProc = nullptr;
            g_requestor->searchListProc = nullptr;
        }
        return TRUE;
    }
    }
    return FALSE;
}
