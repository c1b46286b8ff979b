// The object picker's requestor ("RequestorDlg"): the tab control with its
// pages, the panel with the chosen object's data, the list of double-star
// components or planetary satellites, and the recent objects.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "resources/helptopics.h"
#include "core/hostcallbacks.h"
#include "objects/buildrecord.h"
#include "ephem/satellitenames.h"
#include "objects/constellations.h"
#include "objects/namesearch.h"
#include "objects/objectnames.h"
#include "picker/pickerstate_win.h"
#include "picker/pairrows.h"
#include "picker/pickertexts.h"
#include "objects/recognize.h"
#include "objects/starcat.h"
#include "core/safefile.h"
#include "resources/pickerids.h"

namespace {

// The component rows of a star at the requestor's time.
int ReadDoubleStarComponentsNow(const StarRecord &star, PairComponent *out, int max) {
    const double year = g_requestor ? g_requestor->time.decimalYear : 2000.0;
    return ReadDoubleStarComponents(star, year, out, max);
}
const int kMaxComponents = 26;

bool ReadStar(int32_t number, StarRecord *star) {
    FileHandle file(OpenStarCatalogue());
    if (!file.get()) return false;
    return ReadStarRecord(file.get(), number, star, nullptr,
                          kStarReadMagnitude | kStarReadIdentifiers) == 1;
}

void SetText(HWND requestor, int id, const char *text) { SetDlgItemTextA(requestor, id, text); }

}  // namespace

void RefreshCurrentObject() {
    if (!g_requestor) return;
    RefreshObjectRecord(&g_requestor->current, 0.0, &g_requestor->site, &g_requestor->time,
                        g_requestor->extinction);
}

int FindComponentRow(const ObjectRecord *record) {
    if (!record || record->objectClass != kClassStar) return 0;
    StarRecord star;
    if (!ReadStar(record->index, &star)) return 0;
    const char requested = record->requestedComponent;
    if ((star.component == ' ' || star.component == 'A' || star.component == '\0') &&
        (requested == ' ' || requested == '\0'))
        return 0;
    PairComponent components[kMaxComponents];
    int n = ReadDoubleStarComponentsNow(star, components, kMaxComponents);
    char wanted = (requested == ' ' || requested == '\0') ? star.component : requested;
    for (int i = 0; i < n; ++i)
        if (components[i].letter == wanted) return i + 1;
    return 0;
}

int SelectStarComponent(ObjectRecord *record, int componentIndex) {
    if (!record || !g_requestor) return 0;
    StarRecord star;
    if (!ReadStar(record->index, &star)) return 0;
    PairComponent components[kMaxComponents];
    int n = ReadDoubleStarComponentsNow(star, components, kMaxComponents);
    if (n <= 0) return 0;
    int32_t number = 0;
    char letter = ' ';
    if (componentIndex < 0) {
        number = components[0].star;  // the entry's primary
    } else {
        if (componentIndex >= n) return 0;
        const PairComponent &c = components[componentIndex];
        number = c.star;
        if (c.referenceLetter != 'A')
            for (int i = 0; i < n; ++i)
                if (components[i].letter == c.referenceLetter) number = components[i].star;
        letter = c.letter;
    }
    if (number == 0) return 0;
    InitObjectRecord(record);
    record->requestedComponent = letter;
    record->objectClass = kClassStar;
    record->index = number;
    RefreshObjectRecord(record, 0.0, &g_requestor->site, &g_requestor->time,
                        g_requestor->extinction);
    return 1;
}

void SelectObjectByText(HWND requestor, const char *text) {
    if (!g_requestor || !text) return;
    RequestorState *s = g_requestor;
    s->extinction = PickerExtinction(s);
    // The number slot carries the constellation of a Bayer or Flamsteed
    // listing; no component letter is asked for.
    ObjectRecord found[3];
    int n = BuildObjectRecord(s->current.objectClass, s->current.kind, ' ',
                              s->current.designationConstellation, text, 0.0, &s->site, &s->time,
                              s->extinction, found);
    if (n <= 0) {
        ClearSelectedObject(requestor);
        return;
    }
    s->current = found[0];
    ShowSelectedObject(requestor, &s->current, FindComponentRow(&s->current));
}

void ShowSelectedObject(HWND requestor, const ObjectRecord *record, int row) {
    if (!record || record->objectClass == kClassNone || !requestor) return;
    if (g_requestor && record != &g_requestor->shown) g_requestor->shown = *record;
    if (g_requestor) g_requestor->chosen = 1;
    char ra[kPickerTextSize], dec[kPickerTextSize], text[kPickerTextSize];
    FormatPickerPlace(record, ra, dec);
    SetText(requestor, IDC_REQ_RA, ra);
    SetText(requestor, IDC_REQ_DEC, dec);
    float magnitude, extent;
    std::memcpy(&magnitude, &record->magnitude, sizeof magnitude);
    std::memcpy(&extent, &record->extent, sizeof extent);
    SetText(requestor, IDC_REQ_MAGNITUDE, FormatPickerMagnitude(text, sizeof text, magnitude));
    SetText(requestor, IDC_REQ_EQUINOX, "J2000");
    SetText(requestor, IDC_REQ_SIZE, FormatPickerSize(text, sizeof text, extent));
    char abbreviation[8] = "";
    GetConstellationAbbreviation(record->constellation, abbreviation);
    SetText(requestor, IDC_REQ_CONSTELLATION, abbreviation);
    uint32_t bits;
    std::memcpy(&bits, &record->categoryBits, sizeof bits);
    SendDlgItemMessageA(requestor, IDC_REQ_PICTURE, kSCBitmapSetFlag, bits, 0);
    char name[kDesignationTextSize] = "";
    FormatObjectName(record, name, PickerPreferences(), nullptr, nullptr, nullptr);
    SetText(requestor, IDC_REQ_NAME, name);

    HWND list = GetDlgItem(requestor, IDC_REQ_COMPONENTS);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    int rows = 0;
    if (bits & 0x60) {
        SetText(requestor, IDC_REQ_COMPONENTS_LABEL, "Double Star Pair");
        StarRecord star;
        PairComponent components[kMaxComponents];
        int n = ReadStar(record->index, &star)
                    ? ReadDoubleStarComponentsNow(star, components, kMaxComponents)
                    : 0;
        if (n > 0) {
            SendMessageA(list, CB_ADDSTRING, 0, (LPARAM) "Primary Star");
            for (int i = 0; i < n; ++i) {
                const PairComponent &c = components[i];
                char line[80];
                int len = std::snprintf(line, sizeof line, "%c Mag %4.1lf+%4.1f", c.letter,
                                        c.referenceMagnitude, c.magnitude);
                if (c.separation != 0.0 && len > 0 && len < (int)sizeof line)
                    std::snprintf(line + len, sizeof line - len, " %5.1lf\"%s", c.separation,
                                  c.orbit ? " Orbit" : "");
                SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)line);
                ++rows;
            }
            SendMessageA(list, CB_SETCURSEL, row, 0);
        }
    } else if (record->objectClass == kClassSolarSystem) {
        SetText(requestor, IDC_REQ_COMPONENTS_LABEL, "Satellite");
        int body = record->index;
        int count = GetSatelliteCount(body);
        if (count > 0) {
            SendMessageA(list, CB_ADDSTRING, 0, (LPARAM) " ");
            for (int i = 1; i <= count; ++i) {
                char name[32] = "";
                GetSatelliteName(body, i, name);
                SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)name);
                ++rows;
            }
            int kind = record->kind > 100 ? record->kind - 100 : record->kind;
            SendMessageA(list, CB_SETCURSEL, kind, 0);
        }
    } else {
        SetText(requestor, IDC_REQ_COMPONENTS_LABEL, "");
    }
    EnableWindow(list, rows > 0);
}

void ClearSelectedObject(HWND requestor) {
    if (g_requestor) {
        ClearObjectRecord(&g_requestor->shown);
        g_requestor->chosen = 0;
    }
    if (!requestor) return;
    for (int id : {IDC_REQ_NAME, IDC_REQ_RA, IDC_REQ_DEC, IDC_REQ_EQUINOX, IDC_REQ_MAGNITUDE, IDC_REQ_SIZE, IDC_REQ_CONSTELLATION,
                   IDC_REQ_COMPONENTS_LABEL})
        SetText(requestor, id, "");
    SendDlgItemMessageA(requestor, IDC_REQ_PICTURE, kSCBitmapSetFlag, 0, 0);
    HWND list = GetDlgItem(requestor, IDC_REQ_COMPONENTS);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    EnableWindow(list, FALSE);
}

void FillRecentObjectsCombo(HWND requestor) {
    if (!g_requestor) return;
    LoadRecentObjects(g_requestor->recent);
    HWND combo = GetDlgItem(requestor, IDC_REQ_RECENT);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM) "");
    for (int i = 0; i < kRecentObjectCount && g_requestor->recent[i].objectClass != kClassNone; ++i) {
        char name[kDesignationTextSize] = "";
        FormatObjectName(&g_requestor->recent[i], name, PickerPreferences(), nullptr, nullptr,
                         nullptr);
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)name);
    }
}

void AddCurrentToRecentObjects() {
    if (!g_requestor) return;
    RecordRecentObject(&g_requestor->shown);
}

void OpenRequestorPage(HWND requestor, int page) {
    if (!g_requestor) return;
    if (g_requestor->activePage) {
        DestroyWindow(g_requestor->activePage);
        g_requestor->activePage = nullptr;
    }
    g_activePageIndex = page;
    const char *name = nullptr;
    DLGPROC proc = nullptr;
    switch (page) {
    case kPageSearch:
        name = "RSearchSubDlg";
        proc = RSearchSubDlgProc;
        break;
    case kPageBrowse:
        name = "RBrowseSubDlg";
        proc = RBrowseSubDlgProc;
        break;
    case kPageCoordinates:
        name = "RCoordSubDlg";
        proc = RCoordSubDlgProc;
        break;
    default:
        return;
    }
    HWND tabs = GetDlgItem(requestor, IDC_REQ_TABS);
    HWND window = CreateDialogParamA(g_requestor->instance, name, tabs, proc, 0);
    if (!window) return;
    if (g_requestor) g_requestor->activePage = window;
    // The page fills the tab control's display area.
    RECT area;
    GetClientRect(tabs, &area);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, (LPARAM)&area);
    SetWindowPos(window, HWND_TOP, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_SHOWWINDOW);
    RedrawWindow(tabs, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ALLCHILDREN);
    if (page == kPageSearch) SetFocus(GetDlgItem(window, IDC_SEARCH_TEXT));
}

INT_PTR CALLBACK RequestorDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        if (!g_requestor) {
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        }
        RequestorState *s = g_requestor;
        s->requestor = dialog;
        HWND tabs = GetDlgItem(dialog, IDC_REQ_TABS);
        // Keyboard navigation reaches the page's controls through the tab control.
        SetWindowLongPtrA(tabs, GWL_EXSTYLE,
                          GetWindowLongPtrA(tabs, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
        const char *titles[3] = {"Search", "Browse", "Enter Coordinates"};
        for (int i = 0; i < 3; ++i) {
            TCITEMA item;
            std::memset(&item, 0, sizeof item);
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<char *>(titles[i]);
            SendMessageA(tabs, TCM_INSERTITEMA, i, (LPARAM)&item);
        }
        s->searchResults = new (std::nothrow) ObjectRecord[kSearchMaxResults];
        s->browseNumbers = new (std::nothrow) int32_t[kBrowseNumberSlots];
        if (!s->searchResults || !s->browseNumbers) {
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        }
        g_browsePage = 0;
        if (s->result) s->current = *s->result;
        FillRecentObjectsCombo(dialog);
        s->extinction = PickerExtinction(s);
        // Index -1: the second recent entry, or Jupiter. The second, not the
        // first: the object chosen last is usually the one just linked.
        ChooseStartingObject(&s->current, s->recent);
        RefreshCurrentObject();
        ShowSelectedObject(dialog, &s->current, FindComponentRow(&s->current));
        // The object the picker starts on is shown, not chosen: OK returns
        // only what the user picks or accepts.
        s->chosen = 0;
        SendMessageA(tabs, TCM_SETCURSEL, 0, 0);
        OpenRequestorPage(dialog, kPageSearch);
        return FALSE;
    }
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR *header = reinterpret_cast<const NMHDR *>(lParam);
        if (header->idFrom == IDC_REQ_TABS && header->code == TCN_SELCHANGE) {
            int page = (int)SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0);
            OpenRequestorPage(dialog, page);
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND: {
        RequestorState *s = g_requestor;
        if (!s) return FALSE;
        int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == IDHELP) {
            ShowHelpTopic(g_activePageIndex == kPageSearch   ? IDH_REQUESTOR_SEARCH
                          : g_activePageIndex == kPageBrowse ? IDH_REQUESTOR_BROWSE
                                                             : IDH_REQUESTOR_COORDINATES);
            return TRUE;
        }
        if (id == IDC_REQ_COMPONENTS && code == CBN_SELCHANGE) {
            int row = (int)SendDlgItemMessageA(dialog, IDC_REQ_COMPONENTS, CB_GETCURSEL, 0, 0);
            if (row < 0) return TRUE;
            if (s->current.objectClass == kClassSolarSystem)
                s->current.kind = static_cast<uint8_t>(row);  // 0 the planet, n satellite n
            else
                SelectStarComponent(&s->current, row - 1);
            ShowSelectedObject(dialog, &s->current, row);
            return TRUE;
        }
        if (id == IDC_REQ_RECENT && code == CBN_SELCHANGE) {
            int row = (int)SendDlgItemMessageA(dialog, IDC_REQ_RECENT, CB_GETCURSEL, 0, 0);
            if (row <= 0 || row > kRecentObjectCount ||
                s->recent[row - 1].objectClass == kClassNone)
                return TRUE;
            s->current = s->recent[row - 1];
            // Recognition rewrites its text in place and may lengthen it by
            // up to 19 characters: the name gets a buffer with room for that.
            char name[kSearchTextSize] = "";
            FormatObjectName(&s->current, name, PickerPreferences(), nullptr, nullptr, nullptr);
            char text[kSearchTextSize];
            std::memcpy(text, name, sizeof text);
            ObjectRecord found[3];
            s->extinction = PickerExtinction(s);
            if (IdentifyObjectText(text, 0.0, &s->site, &s->time, s->extinction, found) > 0)
                s->current = found[0];
            SelectObjectByText(dialog, name);
            ShowSelectedObject(dialog, &s->current, FindComponentRow(&s->current));
            return TRUE;
        }
        if (id == IDC_REQ_MORE_INFO && code == BN_CLICKED) {
            if (s->current.index != kNoObjectIndex) {
                LocationRecord site = s->site;
                DateRecord time = s->time;
                ShowMoreObjectInformation(dialog, 0, &site, &time, &s->current,
                                          GetDefaultInstrument(-1, GetDefaultObserver(0)));
            }
            return TRUE;
        }
        return FALSE;
    }
    case WM_DESTROY: {
        RequestorState *s = g_requestor;
        if (!s) {
            MessageBeep(MB_ICONASTERISK);
            return TRUE;
        }
        if (s->activePage) {
            DestroyWindow(s->activePage);  // the page restores its subclassed controls
            s->activePage = nullptr;
        }
        delete[] s->searchResults;
        s->searchResults = nullptr;
        delete[] s->browseNumbers;
        s->browseNumbers = nullptr;
        BrowseReset(&s->browse);
        if (s->requestor == dialog) s->requestor = nullptr;
        if (!s->modal) {
            g_requestor = nullptr;
            delete s;
        }
        return TRUE;
    }
    }
    return FALSE;
}
