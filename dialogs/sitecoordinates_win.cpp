// The places dialog "Add Location" (PlacesDlg) and the site coordinates
// dialog (LocManDlg) of the site dialogs. A new site starts from a place of
// the gazetteer or from a place typed by hand; the gazetteer's tables are not
// packaged yet, so the places dialog opens with an empty tree and its "Manual
// Entry" leads to the coordinates dialog. The coordinates dialog also edits
// the selected site's name, position and elevation ("Edit" of the Observing
// Sites dialog). Both work on the open site dialog's LocDlgState.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "astro/angletext.h"
#include "core/hostcallbacks.h"
#include "core/mathutil.h"
#include "core/resstrings.h"
#include "dialogs/sitedialogrules.h"
#include "dialogs/sitedialogs_win.h"
#include "resources/helptopics.h"
#include "resources/siteids.h"

namespace {

const int kNameChars = 31;
const double kDegree = kPi / 180.0;
const char kCaption[] = "Nightjar Message";

// Feet for the elevation of each mode of the coordinates dialog; kept from
// one opening to the next for the program's run.
int g_editInFeet = 0;
int g_newInFeet = 0;
// The name as last accepted while typing, put back when a character file
// names cannot hold is typed.
std::string g_acceptedName;

std::string ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    int n = item ? GetWindowTextLengthA(item) : 0;
    std::vector<char> text(static_cast<size_t>(n) + 2, '\0');
    if (item) GetWindowTextA(item, text.data(), n + 1);
    return text.data();
}

void ShowUnit(HWND dialog, int inFeet) {
    SetDlgItemTextA(dialog, IDC_SITECOORD_UNIT_LINK, inFeet ? "feet" : "meters");
}

// In the standard variant there is no GPS receiver to ask.
void PrepareGpsButton(HWND dialog) {
    if (UseProVariant()) return;
    HWND gps = GetDlgItem(dialog, IDC_SITECOORD_GPS);
    ShowWindow(gps, SW_HIDE);
    EnableWindow(gps, FALSE);
}

// Typing in the name: a text holding a character that file names of the
// name would use for encoding is taken back.
void NameTyped(HWND dialog) {
    std::string text = ItemText(dialog, IDC_SITECOORD_NAME);
    if (IsAcceptableTypedName(text.c_str())) {
        g_acceptedName = text;
        return;
    }
    HWND edit = GetDlgItem(dialog, IDC_SITECOORD_NAME);
    SetWindowTextA(edit, g_acceptedName.c_str());
    int end = static_cast<int>(g_acceptedName.size());
    SendMessageA(edit, EM_SETSEL, end, end);
}

// Reads the fields; a refusal says which field is wrong and keeps the dialog open.
bool ReadFields(HWND dialog, int inFeet, ManualSite *site) {
    ManualSiteFields fields;
    fields.name = ItemText(dialog, IDC_SITECOORD_NAME);
    fields.westLongitude = ItemText(dialog, IDC_SITECOORD_LONGITUDE);
    fields.latitude = ItemText(dialog, IDC_SITECOORD_LATITUDE);
    fields.elevation = ItemText(dialog, IDC_SITECOORD_ELEVATION);
    fields.elevationInFeet = inFeet;
    int result = ReadManualSiteFields(fields, site);
    if (result == kManualSiteOk) return true;
    MessageBoxA(dialog, ManualSiteMessage(result), kCaption, MB_OK | MB_ICONWARNING);
    int field = result == kManualSiteBadLongitude  ? IDC_SITECOORD_LONGITUDE
                : result == kManualSiteBadLatitude ? IDC_SITECOORD_LATITUDE
                                                   : IDC_SITECOORD_NAME;
    SetFocus(GetDlgItem(dialog, field));
    SendDlgItemMessageA(dialog, field, EM_SETSEL, 0, -1);
    return false;
}

void InitCoordinateEdits(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_SITECOORD_NAME, EM_LIMITTEXT, kNameChars, 0);
    for (int id : {IDC_SITECOORD_LONGITUDE, IDC_SITECOORD_LATITUDE, IDC_SITECOORD_ELEVATION})
        SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, 32, 0);
}

// The receiver's mean position into the fields. The elevation field keeps
// what it holds when the receiver gave no altitude (no 3D fix).
void TakeGpsPosition(HWND dialog, int inFeet) {
    LocDlgState *st = GetLocDlgState();
    if (!st || DialogBoxParamA(st->instance, "GPSDlg", dialog, GPSDlgProc, 0) != 1) return;
    char text[kAngleTextSize];
    SetDlgItemTextA(dialog, IDC_SITECOORD_LONGITUDE, FormatDeclination(text, st->manualLongitude));
    SetDlgItemTextA(dialog, IDC_SITECOORD_LATITUDE, FormatDeclination(text, st->manualLatitude));
    if (st->manualElevation > 0.0) {
        char elevation[32];
        std::snprintf(elevation, sizeof elevation, "%.0lf",
                      st->manualElevation * (inFeet ? kFeetPerMetre : 1.0));
        SetDlgItemTextA(dialog, IDC_SITECOORD_ELEVATION, elevation);
    }
}

// Commands both modes share; true when handled.
bool SharedCoordinateCommand(HWND dialog, int id, int code, int *inFeet) {
    switch (id) {
    case IDC_SITECOORD_NAME:
        if (code == EN_CHANGE) NameTyped(dialog);
        return true;
    case IDC_SITECOORD_UNIT_LINK:
        // The number shown is not converted: the user says what it means.
        *inFeet ^= 1;
        ShowUnit(dialog, *inFeet);
        return true;
    case IDC_SITECOORD_GPS:
        TakeGpsPosition(dialog, *inFeet);
        return true;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return true;
    case IDHELP:
        ShowHelpTopic(IDH_SITE_COORDINATES);
        return true;
    }
    return false;
}

}  // namespace

// ---- LocManDlg, edit mode ---------------------------------------------------------------------

INT_PTR CALLBACK LocManDlgEditProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    LocDlgState *st = GetLocDlgState();
    switch (message) {
    case WM_INITDIALOG: {
        if (!st) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        SetWindowTextA(dialog, "Edit Location");
        PrepareGpsButton(dialog);
        InitCoordinateEdits(dialog);
        char name[sizeof st->site.name + 1] = "";
        std::snprintf(name, sizeof name, "%.*s", kNameChars, st->site.name);
        g_acceptedName = name;
        SetDlgItemTextA(dialog, IDC_SITECOORD_NAME, name);
        char text[kAngleTextSize];
        SetDlgItemTextA(dialog, IDC_SITECOORD_LONGITUDE, FormatDeclination(text, st->site.longitude / kDegree));
        SetDlgItemTextA(dialog, IDC_SITECOORD_LATITUDE, FormatDeclination(text, st->site.latitude / kDegree));
        char elevation[32];
        std::snprintf(elevation, sizeof elevation, "%.0lf",
                      st->site.elevation * (g_editInFeet ? kFeetPerMetre : 1.0));
        SetDlgItemTextA(dialog, IDC_SITECOORD_ELEVATION, elevation);
        ShowUnit(dialog, g_editInFeet);
        SetFocus(GetDlgItem(dialog, IDC_SITECOORD_NAME));
        return FALSE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (SharedCoordinateCommand(dialog, id, code, &g_editInFeet)) return TRUE;
        if (id == IDOK && st) {
            ManualSite site;
            if (!ReadFields(dialog, g_editInFeet, &site)) return TRUE;
            std::snprintf(st->site.name, sizeof st->site.name, "%s", site.name.c_str());
            st->site.longitude = site.westLongitude * kDegree;
            st->site.latitude = site.latitude * kDegree;
            st->site.elevation = site.elevation;
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

// ---- LocManDlg, new mode ----------------------------------------------------------------------

INT_PTR CALLBACK LocManDlgNewProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    LocDlgState *st = GetLocDlgState();
    switch (message) {
    case WM_INITDIALOG:
        if (!st) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        PrepareGpsButton(dialog);
        InitCoordinateEdits(dialog);
        g_acceptedName = "New Location";
        SetDlgItemTextA(dialog, IDC_SITECOORD_NAME, "New Location");
        SetDlgItemTextA(dialog, IDC_SITECOORD_LONGITUDE, "00:00:00");
        SetDlgItemTextA(dialog, IDC_SITECOORD_LATITUDE, "+00:00:00");
        SetDlgItemTextA(dialog, IDC_SITECOORD_ELEVATION, "0");
        ShowUnit(dialog, g_newInFeet);
        SetFocus(GetDlgItem(dialog, IDC_SITECOORD_NAME));
        SendDlgItemMessageA(dialog, IDC_SITECOORD_NAME, EM_SETSEL, 0, -1);
        return FALSE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (SharedCoordinateCommand(dialog, id, code, &g_newInFeet)) return TRUE;
        if (id == IDOK && st) {
            ManualSite site;
            if (!ReadFields(dialog, g_newInFeet, &site)) return TRUE;
            // The site made from it has the typed name, zone 0 and no named
            // zone; the Observing Sites dialog then sets its zone.
            std::snprintf(st->placeName, sizeof st->placeName, "%s", site.name.c_str());
            st->manualLongitude = site.westLongitude;
            st->manualLatitude = site.latitude;
            st->manualElevation = site.elevation;
            st->manualEntry = 1;
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

// ---- PlacesDlg --------------------------------------------------------------------------------

INT_PTR CALLBACK PlacesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    LocDlgState *st = GetLocDlgState();
    switch (message) {
    case WM_INITDIALOG:
        if (!st) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        st->ignoreFirstTreeSelection = 1;
        st->placeRow = -1;
        st->manualEntry = 0;
        // Without the places tables the tree stays empty: only "Manual
        // Entry" and Cancel do anything, and OK waits for a picked place.
        EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
        if (!UseProVariant()) SetDlgItemTextA(dialog, IDC_PLACES_MANUAL_ENTRY, "Manual Entry");
        SetFocus(GetDlgItem(dialog, IDC_PLACES_MANUAL_ENTRY));
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PLACES_MANUAL_ENTRY:
            if (DialogBoxParamA(st ? st->instance : nullptr, "LocManDlg", dialog, LocManDlgNewProc, 0) == 1)
                EndDialog(dialog, 1);
            return TRUE;
        case IDOK:
            return TRUE;  // no place can be picked from an empty tree
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDHELP:
            ShowHelpTopic(IDH_PLACES);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
