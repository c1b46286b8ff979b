// The sky-brightness dialog "Light Pollution -- Sky Brightness": a tab control
// with the Basic page (a sky level or a typed naked-eye limit) and the
// Advanced page (a Bortle class or a typed zenith sky brightness, per square
// arcsecond or arcminute). It edits the open site dialog's site; a typed value
// that does not parse is refused with a message, and Cancel puts the site's
// limit and brightness back as they were.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstdio>

#include "astro/astroformulas.h"
#include "core/dlgsettings.h"
#include "core/hostcallbacks.h"
#include "core/resstrings.h"
#include "dialogs/sitedialogs_win.h"
#include "resources/helptopics.h"
#include "resources/siteids.h"
#include "sites/skylevels.h"

namespace {

const int kLevelStringFirst = 8800;   // "Specify Value", the four levels
const int kBortleStringFirst = 11000; // "Specify Value", "Bortle 1".. "Bortle 9"
const int kBasicPage = 0;
const int kAdvancedPage = 1;
const char kValueRefused[] = "Please type a number.";
const char kSquare = '\xB2';

int32_t g_page = 0;             // the page shown, kept under kDdsSkyBrightnessTab
double g_limitAtOpening = 0, g_brightnessAtOpening = 0;

INT_PTR CALLBACK MagBasicDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM);
INT_PTR CALLBACK MagAdvDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM);

void SetValue(HWND page, const char *format, double value) {
    char text[32];
    snprintf(text, sizeof text, format, value);
    SetDlgItemTextA(page, IDC_SKY_VALUE, text);
}

void ShowUnit(HWND page, int perArcminute) {
    char text[32];
    snprintf(text, sizeof text, perArcminute ? "mag/arcmin%c" : "mag/arcsec%c", kSquare);
    SetDlgItemTextA(page, IDC_SKY_UNIT_LINK, text);
}

void ShowSkyBrightnessPage(HWND dialog, int page) {
    LocDlgState *st = GetLocDlgState();
    if (st->skyBrightnessPage) DestroyWindow(st->skyBrightnessPage);
    st->skyBrightnessPage = CreateDialogParamA(st->instance, page == kBasicPage ? "MagBasicDlg" : "MagAdvDlg",
                                               dialog, page == kBasicPage ? MagBasicDlgProc : MagAdvDlgProc, 0);
    if (!st->skyBrightnessPage) return;
    HWND tabs = GetDlgItem(dialog, IDC_SKY_TABS);
    RECT r;
    GetWindowRect(tabs, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&r), 2);
    TabCtrl_AdjustRect(tabs, FALSE, &r);
    SetWindowPos(st->skyBrightnessPage, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_SHOWWINDOW);
    RedrawWindow(st->skyBrightnessPage, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// 0 when the page's value does not parse (the site unchanged).
int ApplySkyBrightnessPage(int page) {
    LocDlgState *st = GetLocDlgState();
    if (!st || !st->skyBrightnessPage) return 1;
    char text[80] = "";
    GetDlgItemTextA(st->skyBrightnessPage, IDC_SKY_VALUE, text, sizeof text);
    if (page == kBasicPage) return ApplyTypedNakedEyeLimit(&st->site, text);
    return ApplyTypedSkyBrightness(&st->site, text, st->skyPerArcminute);
}

int ApplyOrSay(HWND dialog) {
    if (ApplySkyBrightnessPage(g_page)) return 1;
    MessageBoxA(dialog, kValueRefused, "Nightjar Message", MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

// The page's level list: the texts from the string table, the row chosen.
void FillLevelList(HWND page, int rows, int firstString, int chosen) {
    for (int i = 0; i <= rows; ++i)
        SendDlgItemMessageA(page, IDC_SKY_LEVEL, CB_ADDSTRING, 0, (LPARAM)LoadResString(firstString + i));
    SendDlgItemMessageA(page, IDC_SKY_LEVEL, CB_SETCURSEL, chosen, 0);
}

// True when the command is a new choice in the level list; *row the row
// chosen (CB_ERR when none).
bool LevelChosen(HWND page, WPARAM wParam, int *row) {
    if (LOWORD(wParam) != IDC_SKY_LEVEL || HIWORD(wParam) != CBN_SELCHANGE) return false;
    *row = static_cast<int>(SendDlgItemMessageA(page, IDC_SKY_LEVEL, CB_GETCURSEL, 0, 0));
    return true;
}

// What a page does with the messages it leaves: closing it destroys it.
INT_PTR PageDefault(HWND page, UINT message) {
    if (message != WM_CLOSE) return FALSE;
    DestroyWindow(page);
    return TRUE;
}

INT_PTR CALLBACK MagBasicDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    LocDlgState *st = GetLocDlgState();
    switch (message) {
    case WM_INITDIALOG: {
        FillLevelList(page, kSkyLevelCount, kLevelStringFirst, SkyLevelRowForLimit(st->site.nakedEyeLimit));
        SetValue(page, "%4.1f", st->site.nakedEyeLimit);
        g_page = kBasicPage;
        return TRUE;
    }
    case WM_COMMAND:
        if (int row = 0; LevelChosen(page, wParam, &row)) {
            if (row >= 1 && row <= kSkyLevelCount) SetValue(page, "%4.1f", kSkyLevelLimits[row - 1]);
            return TRUE;
        }
        return FALSE;
    }
    return PageDefault(page, message);
}

INT_PTR CALLBACK MagAdvDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    LocDlgState *st = GetLocDlgState();
    switch (message) {
    case WM_INITDIALOG: {
        FillLevelList(page, kBortleClassCount, kBortleStringFirst, BortleRowForBrightness(st->site.skyBrightness));
        st->skyPerArcminute = 0;
        SetValue(page, "%5.2f", st->site.skyBrightness);
        ShowUnit(page, 0);
        g_page = kAdvancedPage;
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_SKY_UNIT_LINK) {
            st->skyPerArcminute ^= 1;
            double b = st->site.skyBrightness;
            SetValue(page, "%5.2f", st->skyPerArcminute ? SurfaceBrightnessArcsecToArcmin(b) : b);
            ShowUnit(page, st->skyPerArcminute);
            return TRUE;
        }
        if (int row = 0; LevelChosen(page, wParam, &row)) {
            if (row >= 1 && row <= kBortleClassCount) {
                double b = kBortleBrightnessTable[row - 1];
                SetValue(page, "%5.2f", st->skyPerArcminute ? SurfaceBrightnessArcsecToArcmin(b) : b);
            }
            return TRUE;
        }
        return FALSE;
    }
    return PageDefault(page, message);
}

void ClosePage(LocDlgState *st) {
    if (st && st->skyBrightnessPage) DestroyWindow(st->skyBrightnessPage);
    if (st) st->skyBrightnessPage = nullptr;
}

}  // namespace

INT_PTR CALLBACK MagLimDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    LocDlgState *st = GetLocDlgState();
    switch (message) {
    case WM_INITDIALOG: {
        if (EndWithoutLocState(dialog, st)) return TRUE;
        g_limitAtOpening = st->site.nakedEyeLimit;
        g_brightnessAtOpening = st->site.skyBrightness;
        st->skyBrightnessPage = nullptr;
        HWND tabs = GetDlgItem(dialog, IDC_SKY_TABS);
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char *>("Basic");
        SendMessageA(tabs, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        item.pszText = const_cast<char *>("Advanced");
        SendMessageA(tabs, TCM_INSERTITEMA, 1, reinterpret_cast<LPARAM>(&item));
        int32_t stored = 0;
        if (GetDialogSetting(&stored, sizeof stored, kDdsSkyBrightnessTab) && (stored == 0 || stored == 1))
            g_page = stored;
        else
            g_page = UseProVariant() ? kAdvancedPage : kBasicPage;
        TabCtrl_SetCurSel(tabs, g_page);
        ShowSkyBrightnessPage(dialog, g_page);
        return TRUE;
    }
    case WM_NOTIFY: {
        const NMHDR *n = reinterpret_cast<const NMHDR *>(lParam);
        if (!st || n->idFrom != IDC_SKY_TABS) return FALSE;
        if (n->code == TCN_SELCHANGING) {
            // The page being left must hold a number before another is shown.
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, ApplyOrSay(dialog) ? FALSE : TRUE);
            return TRUE;
        }
        if (n->code == TCN_SELCHANGE) {
            ShowSkyBrightnessPage(dialog, TabCtrl_GetCurSel(GetDlgItem(dialog, IDC_SKY_TABS)));
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND:
        if (!st) return FALSE;
        switch (LOWORD(wParam)) {
        case IDOK:
            if (!ApplyOrSay(dialog)) return TRUE;
            PutDialogSetting(&g_page, sizeof g_page, kDdsSkyBrightnessTab);
            ClosePage(st);
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            st->site.nakedEyeLimit = g_limitAtOpening;
            st->site.skyBrightness = g_brightnessAtOpening;
            ClosePage(st);
            EndDialog(dialog, 0);
            return TRUE;
        case IDHELP:
            ShowHelpTopic(IDH_SKY_BRIGHTNESS);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return TRUE;
    }
    return FALSE;
}
