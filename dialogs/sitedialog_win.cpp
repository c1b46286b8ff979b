// The Observing Sites dialog (LocDlgSE / LocDlgPro) and the Edit Observing
// Site dialog (LocEditDlg): the favourites list of loc.bin with its loc.bak
// undo copy, and the fields of one site.
#include "dialogs/sitedialogs_win.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "core/hostcallbacks.h"
#include "astro/angletext.h"
#include "core/resstrings.h"
#include "events/eventfiles.h"
#include "sites/horizonfile.h"
#include "ui/winutil_win.h"
#include "photometry/seeing.h"
#include "picker/typednumber.h"
#include "core/mathutil.h"
#include "resources/helptopics.h"
#include "resources/siteids.h"

namespace {

const double kDegree = kPi / 180.0;
const char kCaption[] = "Nightjar Message";

LocDlgState *g_locState = nullptr;
WNDPROC g_siteListProc = nullptr;

// Control ids that the two site dialogs share in role but not in number.
struct SiteControls {
    int elevation, unitLink, zoneCombo, zoneEdit, radioStandard, radioDaylight, radioRules,
        skyLink, seeingCombo;
};
const SiteControls kPickControls = {
    IDC_SITE_ELEVATION,     IDC_SITE_ELEVATION_UNIT,  IDC_SITE_ZONE,      IDC_SITE_ZONE_OFFSET,
    IDC_SITE_STANDARD_TIME, IDC_SITE_DAYLIGHT_SAVING, IDC_SITE_DST_RULES, IDC_SITE_SKY,
    IDC_SITE_SEEING};
const SiteControls kEditControls = {IDC_SITEEDIT_ELEVATION,     IDC_SITEEDIT_ELEVATION_UNIT,
                                    IDC_SITEEDIT_ZONE,          IDC_SITEEDIT_ZONE_OFFSET,
                                    IDC_SITEEDIT_STANDARD_TIME, IDC_SITEEDIT_DAYLIGHT_SAVING,
                                    IDC_SITEEDIT_DST_RULES,     IDC_SITEEDIT_SKY,
                                    IDC_SITEEDIT_SEEING};

std::string WindowText(HWND window, int limit) {
    std::string text(limit + 1, '\0');
    int n = GetWindowTextA(window, &text[0], limit + 1);
    text.resize(n > 0 ? n : 0);
    return text;
}

std::string ItemText(HWND dialog, int id, int limit) {
    return WindowText(GetDlgItem(dialog, id), limit);
}

void SetItemNumber(HWND dialog, int id, const char *format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    SetDlgItemTextA(dialog, id, text);
}

void Warn(HWND dialog, const char *text, UINT icon = MB_ICONWARNING) {
    MessageBoxA(dialog, text, kCaption, MB_OK | icon);
}

void FillSiteCombos(HWND dialog, const SiteControls &c) {
    HWND zone = GetDlgItem(dialog, c.zoneCombo);
    SendMessageA(zone, CB_RESETCONTENT, 0, 0);
    for (int id = 8805; id <= 8809; ++id) {
        char text[64];
        SendMessageA(zone, CB_ADDSTRING, 0, (LPARAM)LoadResStringTo(text, id));
    }
    HWND seeing = GetDlgItem(dialog, c.seeingCombo);
    SendMessageA(seeing, CB_RESETCONTENT, 0, 0);
    for (int id = 8818; id <= 8822; ++id) {
        char text[64];
        SendMessageA(seeing, CB_ADDSTRING, 0, (LPARAM)LoadResStringTo(text, id));
    }
}

void ShowSkyText(HWND dialog, const SiteControls &c, const LocationRecord &site) {
    char text[64];
    if (UseProVariant())
        std::snprintf(text, sizeof text, "%.1lf mag/arcsec%c", site.skyBrightness, 178);
    else
        std::snprintf(text, sizeof text, "%4.1lf", site.nakedEyeLimit);
    SetDlgItemTextA(dialog, c.skyLink, text);
}

// The fields both dialogs show, with the filling flag set by the caller.
void ShowSiteFields(HWND dialog, const SiteControls &c, LocDlgState *st) {
    LocationRecord &site = st->site;
    ShowSkyText(dialog, c, site);
    SetItemNumber(dialog, c.elevation, "%.0lf", ElevationShown(&site, &st->trailer));
    SetDlgItemTextA(dialog, c.unitLink, st->trailer.elevationInFeet ? "feet" : "meters");
    CheckRadioButton(dialog, c.radioStandard, c.radioRules,
                     c.radioStandard + (site.dstMode <= 2 ? site.dstMode : 0));
    int zone = st->trailer.namedZone;
    if (zone >= 1 && zone <= 4) {
        site.timeZone = NamedZoneOffsets[zone];
        SendDlgItemMessageA(dialog, c.zoneCombo, CB_SETCURSEL, zone, 0);
        EnableWindow(GetDlgItem(dialog, c.zoneEdit), FALSE);
    } else {
        SendDlgItemMessageA(dialog, c.zoneCombo, CB_SETCURSEL, 0, 0);
        EnableWindow(GetDlgItem(dialog, c.zoneEdit), TRUE);
    }
    SetItemNumber(dialog, c.zoneEdit, "%+lg", site.timeZone);
    int rating = site.seeingRating <= 4 ? site.seeingRating : 2;
    SendDlgItemMessageA(dialog, c.seeingCombo, CB_SETCURSEL, rating, 0);
    SetItemNumber(dialog, IDC_SITE_TEMPERATURE, "%.0lf", TemperatureShown(&site));
    CheckRadioButton(dialog, IDC_SITE_FAHRENHEIT, IDC_SITE_CELSIUS,
                     (site.displayFlags & 1) ? IDC_SITE_FAHRENHEIT : IDC_SITE_CELSIUS);
    SetItemNumber(dialog, IDC_SITE_HUMIDITY, "%.0lf", site.humidity);
}

// Reads the shared fields; shows the warnings; 1 when they were taken.
// warned is set when a warning box about a range was shown.
int ReadSiteFieldsFromDialog(HWND dialog, const SiteControls &c, LocDlgState *st, int *warned) {
    if (warned) *warned = 0;
    SiteDialogFields f;
    f.elevation = ItemText(dialog, c.elevation, 32);
    f.elevationInFeet = st->trailer.elevationInFeet;
    f.zoneRow = (int)SendDlgItemMessageA(dialog, c.zoneCombo, CB_GETCURSEL, 0, 0);
    f.zone = ItemText(dialog, c.zoneEdit, 32);
    f.seeingRow = (int)SendDlgItemMessageA(dialog, c.seeingCombo, CB_GETCURSEL, 0, 0);
    if (f.seeingRow < 0) f.seeingRow = 2;
    f.temperature = ItemText(dialog, IDC_SITE_TEMPERATURE, 32);
    f.fahrenheit = IsDlgButtonChecked(dialog, IDC_SITE_FAHRENHEIT) == BST_CHECKED;
    f.humidity = ItemText(dialog, IDC_SITE_HUMIDITY, 32);
    int below = 0;
    int r = ReadSiteFields(f, &st->site, &st->trailer, &below);
    if (below) Warn(dialog, kBelowSeaLevelWarning);
    if (r == kSiteFieldsBadTemperature) Warn(dialog, kTemperatureWarning);
    if (r == kSiteFieldsBadHumidity) Warn(dialog, kHumidityWarning);
    if (warned) *warned = below || r < 0;
    return r == kSiteFieldsOk ? 1 : 0;
}

// ---- the Observing Sites dialog ----------------------------------------------------------

void ListFavoriteSites(HWND dialog, LocDlgState *st) {
    HWND list = GetDlgItem(dialog, IDC_SITE_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    if (!f) return;
    for (int i = 0; i < count; ++i) {
        LocationRecord r;
        if (!ReadLocation(f, i, &r, nullptr)) break;
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)r.name);
    }
    std::fclose(f);
    SendMessageA(list, LB_SETCURSEL, st->selection, 0);
}

void ReadSelectedSite(HWND dialog, LocDlgState *st) {
    int sel = (int)SendDlgItemMessageA(dialog, IDC_SITE_LIST, LB_GETCURSEL, 0, 0);
    if (sel < 0) return;
    st->selection = (int16_t)sel;
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    if (!f) return;
    ReadLocation(f, sel, &st->site, &st->trailer);
    std::fclose(f);
}

int SaveSelectedSite(LocDlgState *st) {
    if (st->selection < 0) return 0;
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    if (!f) return 0;
    int ok = SaveSiteInSession(f, st->selection, &st->site, &st->trailer, &st->effects);
    std::fclose(f);
    return ok;
}

void ShowSiteInDialog(HWND dialog, LocDlgState *st) {
    st->filling = 1;
    ShowSiteFields(dialog, kPickControls, st);
    char text[64];
    SetDlgItemTextA(dialog, IDC_SITE_LONGITUDE, FormatDeclination(text, st->site.longitude / kDegree));
    SetDlgItemTextA(dialog, IDC_SITE_LATITUDE, FormatDeclination(text, st->site.latitude / kDegree));
    HWND link = GetDlgItem(dialog, IDC_SITE_HORIZON_STATUS);
    if (HorizonFileExists(st->site.name)) {
        EnableWindow(link, TRUE);
        SetWindowTextA(link, (st->site.displayFlags & 2) ? "disabled" : "enabled");
    } else {
        SetWindowTextA(link, "not defined");
        EnableWindow(link, FALSE);
    }
    st->filling = 0;
}

int ReadSiteFromDialog(HWND dialog, LocDlgState *st) {
    return ReadSiteFieldsFromDialog(dialog, kPickControls, st, nullptr);
}

void RefreshSites(HWND dialog, LocDlgState *st) {
    ListFavoriteSites(dialog, st);
    ReadSelectedSite(dialog, st);
    ShowSiteInDialog(dialog, st);
}

// The site a closed places dialog made: typed by hand (the manual values,
// zone 0, no named zone) or the picked place decoded with its zone and
// daylight-saving rule.
void MakeSiteFromPlacesDialog(LocDlgState *st, LocationRecord *site, LocationTrailer *trailer) {
    if (st->manualEntry) {
        st->manualEntry = 0;
        std::memset(site, 0, sizeof *site);
        InitLocationRecord(site, st->manualLongitude * kDegree, st->manualLatitude * kDegree,
                           st->manualElevation, 6.5, 0.0, 18.3, 60.0, 2, 0.0, 0.0, st->placeName);
        *trailer = LocationTrailer{0, 0, 0};
        return;
    }
    MakeSiteFromPlace(&st->place, st->regionName, site, trailer);
}

void AddPlaceAsSite(HWND dialog, LocDlgState *st) {
    LocationRecord site;
    LocationTrailer trailer;
    MakeSiteFromPlacesDialog(st, &site, &trailer);
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    if (f) {
        if (AppendLocation(f, &site, &trailer)) st->selection = count;
        std::fclose(f);
    }
    RefreshSites(dialog, st);
}

void DeleteSelectedSite(HWND dialog, LocDlgState *st) {
    int sel = (int)SendDlgItemMessageA(dialog, IDC_SITE_LIST, LB_GETCURSEL, 0, 0);
    if (sel < 0) return;
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    if (!f) return;
    LocationRecord site;
    if (!ReadLocation(f, sel, &site, nullptr)) {
        std::fclose(f);
        return;
    }
    if (EventFilesExist(&site)) {
        std::fclose(f);
        if (MessageBoxA(dialog, "Are you sure you want to delete this location and all associated events?",
                        "Delete Location", MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
            return;
        f = OpenLocationStore(&count);
        if (!f) return;
    }
    if (DeleteLocation(&f, sel)) {
        // The event files go when the dialog ends with OK; Cancel brings the
        // site back with its events.
        st->effects.deletedSites.push_back(site);
        st->selection = (int16_t)SelectionAfterDelete(sel, count);
    }
    if (f) std::fclose(f);
    RefreshSites(dialog, st);
}

int RunSubDialog(HWND owner, const char *name, DLGPROC procedure) {
    INT_PTR r = DialogBoxParamA(g_locState ? g_locState->instance : nullptr, name, owner, procedure, 0);
    return r == 1 ? 1 : 0;
}

LRESULT CALLBACK SiteListKeyProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == VK_DELETE) {
        SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(IDC_SITE_DELETE, BN_CLICKED), 0);
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    }
    return CallWindowProcA(g_siteListProc, list, message, wParam, lParam);
}

// Commands both site dialogs handle alike. 1 when handled.
int HandleSharedSiteCommand(HWND dialog, const SiteControls &c, LocDlgState *st, int id,
                            int code, void (*show)(HWND, LocDlgState *)) {
    if (id == c.elevation) {
        if (code == EN_CHANGE && !st->filling)
            ApplyTypedElevation(ItemText(dialog, c.elevation, 32).c_str(),
                                st->trailer.elevationInFeet, &st->site);
        return 1;
    }
    if (id == c.zoneEdit) return 1;
    if (id == c.unitLink) {
        st->trailer.elevationInFeet ^= 1;
        show(dialog, st);
        return 1;
    }
    if (id == c.zoneCombo) {
        if (code != CBN_SELCHANGE) return 1;
        int row = (int)SendDlgItemMessageA(dialog, c.zoneCombo, CB_GETCURSEL, 0, 0);
        ApplyZoneRow(row, ItemText(dialog, c.zoneEdit, 32).c_str(), &st->site, &st->trailer);
        st->filling = 1;
        if (row >= 1 && row <= 4) SetItemNumber(dialog, c.zoneEdit, "%lg", st->site.timeZone);
        EnableWindow(GetDlgItem(dialog, c.zoneEdit), row >= 1 && row <= 4 ? FALSE : TRUE);
        st->filling = 0;
        return 1;
    }
    if (id == c.seeingCombo) {
        if (code != CBN_SELCHANGE) return 1;
        int row = (int)SendDlgItemMessageA(dialog, c.seeingCombo, CB_GETCURSEL, 0, 0);
        if (row >= 0 && row <= 4) {
            st->site.seeingRating = (uint8_t)row;
            st->site.seeing = GetSeeingForRating(row);
        }
        return 1;
    }
    if (id == IDC_SITE_FAHRENHEIT || id == IDC_SITE_CELSIUS) {
        double shown;
        bool wasF = (st->site.displayFlags & 1) != 0;
        if (ParseDialogNumber(ItemText(dialog, IDC_SITE_TEMPERATURE, 32).c_str(), &shown))
            st->site.temperature = wasF ? (shown - 32.0) * 5.0 / 9.0 : shown;
        if (id == IDC_SITE_FAHRENHEIT)
            st->site.displayFlags |= 1;
        else
            st->site.displayFlags &= (uint8_t)~1u;
        st->filling = 1;
        SetItemNumber(dialog, IDC_SITE_TEMPERATURE, "%.0lf", TemperatureShown(&st->site));
        st->filling = 0;
        return 1;
    }
    if (id == c.radioStandard || id == c.radioDaylight) {
        st->site.dstMode = id == c.radioStandard ? 0 : 1;
        return 1;
    }
    return 0;
}

INT_PTR PickSiteCommand(HWND dialog, LocDlgState *st, int id, int code) {
    if (HandleSharedSiteCommand(dialog, kPickControls, st, id, code, ShowSiteInDialog)) return TRUE;
    HWND list = GetDlgItem(dialog, IDC_SITE_LIST);
    switch (id) {
    case IDOK:
        if (!ReadSiteFromDialog(dialog, st)) return TRUE;
        if (st->selection < 0) {
            // Nothing left to pick: the list was emptied.
            CommitSiteSession(&st->effects);
            EndDialog(dialog, 0);
            return TRUE;
        }
        SaveSelectedSite(st);
        CommitSiteSession(&st->effects);
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        if (st->backupTaken) RestoreLocationFile();
        UndoSiteSession(&st->effects);
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_SITE_LIST:
        if (code == LBN_SELCHANGE || code == LBN_DBLCLK) {
            int old = st->selection;
            if (!ReadSiteFromDialog(dialog, st)) {
                SendMessageA(list, LB_SETCURSEL, old, 0);
                return TRUE;
            }
            SaveSelectedSite(st);
            ReadSelectedSite(dialog, st);
            ShowSiteInDialog(dialog, st);
            if (code == LBN_DBLCLK) PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        return TRUE;
    case IDC_SITE_NEW:
        if (RunSubDialog(dialog, "PlacesDlg", PlacesDlgProc)) AddPlaceAsSite(dialog, st);
        SetFocus(list);
        return TRUE;
    case IDC_SITE_DELETE:
        DeleteSelectedSite(dialog, st);
        SetFocus(list);
        return TRUE;
    case IDC_SITE_EDIT:
        if (RunSubDialog(dialog, "LocManDlg", LocManDlgEditProc)) {
            SaveSelectedSite(st);
            ListFavoriteSites(dialog, st);
            ShowSiteInDialog(dialog, st);
        }
        SetFocus(list);
        return TRUE;
    case IDC_SITE_GPS:
        if (RunSubDialog(dialog, "GPSDlg", GPSDlgProc)) {
            st->site.longitude = st->manualLongitude * kDegree;
            st->site.latitude = st->manualLatitude * kDegree;
            if (st->manualElevation > 0.0) st->site.elevation = st->manualElevation;
            SaveSelectedSite(st);
            ListFavoriteSites(dialog, st);
            ShowSiteInDialog(dialog, st);
        }
        SetFocus(list);
        return TRUE;
    case IDC_SITE_HORIZON_STATUS:  // horizon link
        st->site.displayFlags ^= 2;
        ShowSiteInDialog(dialog, st);
        SetFocus(list);
        return TRUE;
    case IDC_SITE_HORIZON_CREATE:
        if (RunHorizonDialog(dialog, &st->site)) ShowSiteInDialog(dialog, st);
        SetFocus(list);
        return TRUE;
    case IDC_SITE_SKY:  // sky link
        if (ReadSiteFromDialog(dialog, st) && RunSubDialog(dialog, "MagLimDlg", MagLimDlgProc))
            ShowSiteInDialog(dialog, st);
        SetFocus(list);
        return TRUE;
    case IDC_SITE_DST_RULES:
    case IDC_SITE_CONFIGURE_DST:
        if (ReadSiteFromDialog(dialog, st) && RunSubDialog(dialog, "DSDlg", DSDlgProc)) {
            st->site.dstMode = 2;
            ShowSiteInDialog(dialog, st);
        } else {
            ShowSiteInDialog(dialog, st);  // the radio shows the mode in force
        }
        return TRUE;
    case IDHELP:
        ShowHelpTopic(IDH_SITES);
        return TRUE;
    }
    return FALSE;
}

// ---- the Edit Observing Site dialog ------------------------------------------------------

void ShowEditedSite(HWND dialog, LocDlgState *st) {
    st->filling = 1;
    ShowSiteFields(dialog, kEditControls, st);
    char text[64];
    SetDlgItemTextA(dialog, IDC_SITEEDIT_NAME, st->site.name);
    SetDlgItemTextA(dialog, IDC_SITEEDIT_LONGITUDE, FormatDeclination(text, st->site.longitude / kDegree));
    SetDlgItemTextA(dialog, IDC_SITEEDIT_LATITUDE, FormatDeclination(text, st->site.latitude / kDegree));
    st->filling = 0;
}

// The refusal of the Edit Observing Site dialog: "Error in data format",
// with the field that holds no number when that was the fault.
void WarnDataFormat(HWND dialog, const std::string &why) {
    std::string text = "Error in data format";
    if (!why.empty()) text += "\r\n\r\n" + why;
    Warn(dialog, text.c_str());
}

// 1 when read; warned says whether a range warning was shown already; why
// names a field whose text holds no number.
int ReadEditedSite(HWND dialog, LocDlgState *st, int *warned, std::string *why) {
    if (warned) *warned = 0;
    if (why) why->clear();
    std::string name = ItemText(dialog, IDC_SITEEDIT_NAME, 31);
    double longitude, latitude;
    const struct {
        int id;
        const char *field;
        double *value;
    } angles[] = {{IDC_SITEEDIT_LONGITUDE, "West Longitude", &longitude}, {IDC_SITEEDIT_LATITUDE, "Latitude", &latitude}};
    for (const auto &a : angles) {
        std::string text = ItemText(dialog, a.id, 64);
        if (!ReadTypedNumber(text.c_str(), a.value)) {
            if (why) *why = NoNumberMessage(a.field, text.c_str());
            return 0;
        }
    }
    std::string elevation = ItemText(dialog, IDC_SITEEDIT_ELEVATION, 64);
    // A cleared elevation is sea level, as the reader takes it.
    if (elevation.find_first_not_of(" \t") != std::string::npos && !ReadTypedNumber(elevation.c_str(), nullptr)) {
        if (why) *why = NoNumberMessage("Elevation", elevation.c_str());
        return 0;
    }
    if (name.empty()) return 0;
    LocDlgState copy = *st;
    std::memset(copy.site.name, 0, sizeof copy.site.name);
    std::memcpy(copy.site.name, name.data(), name.size());
    copy.site.longitude = longitude * kDegree;
    copy.site.latitude = latitude * kDegree;
    if (!ReadSiteFieldsFromDialog(dialog, kEditControls, &copy, warned)) return 0;
    st->site = copy.site;
    st->trailer = copy.trailer;
    return 1;
}

INT_PTR EditSiteCommand(HWND dialog, LocDlgState *st, int id, int code) {
    if (HandleSharedSiteCommand(dialog, kEditControls, st, id, code, ShowEditedSite)) return TRUE;
    int warned = 0;
    std::string why;
    switch (id) {
    case IDOK:
        if (ReadEditedSite(dialog, st, &warned, &why))
            EndDialog(dialog, 1);
        else if (!warned)
            WarnDataFormat(dialog, why);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_SITEEDIT_ADD_FAVORITE: {
        if (!ReadEditedSite(dialog, st, &warned, &why)) {
            if (!warned) WarnDataFormat(dialog, why);
            return TRUE;
        }
        int16_t count = 0;
        FILE *f = OpenLocationStore(&count);
        if (f) {
            LocationRecord probe = st->site;
            LocationTrailer t;
            int16_t index;
            int found = FindLocation(f, &probe, &t, &index);
            std::fclose(f);
            if (found == 2) {
                Warn(dialog,
                     "An entry already exists for this location with different data.\r\nIf you wish a "
                     "second entry for this location in the favorites list you must modify the name.",
                     MB_ICONINFORMATION);
                return TRUE;
            }
        }
        EndDialog(dialog, 2);
        return TRUE;
    }
    case IDC_SITEEDIT_FIND:
        if (RunSubDialog(dialog, "PlacesDlg", PlacesDlgProc)) {
            MakeSiteFromPlacesDialog(st, &st->site, &st->trailer);
            ShowEditedSite(dialog, st);
        }
        return TRUE;
    case IDC_SITE_CONFIGURE_DST:
    case IDC_SITEEDIT_DST_RULES:
        ReadEditedSite(dialog, st, nullptr, nullptr);
        if (RunSubDialog(dialog, "DSDlg", DSDlgProc)) st->site.dstMode = 2;
        ShowEditedSite(dialog, st);
        return TRUE;
    case IDC_SITEEDIT_SKY:
        if (RunSubDialog(dialog, "MagLimDlg", MagLimDlgProc)) ShowEditedSite(dialog, st);
        return TRUE;
    case IDHELP:
        ShowHelpTopic(IDH_SITE_EDIT);
        return TRUE;
    }
    return FALSE;
}

LocDlgState *NewLocDlgState(HINSTANCE instance, const LocationRecord *site) {
    LocDlgState *st = new (std::nothrow) LocDlgState();
    if (!st) return nullptr;
    st->instance = instance;
    st->site = *site;
    st->placeRow = -1;
    return st;
}

void FreeLocDlgState(LocDlgState *st) {
    if (g_locState == st) g_locState = nullptr;
    delete st;
}

// PickLocation with the trailer of a site that the caller holds (the edit
// dialog's "Add to Favorites"), or none.
int PickLocationWithTrailer(HWND owner, HINSTANCE instance, LocationRecord *site,
                            const LocationTrailer *trailerIn) {
    if (!site) return 0;
    LocDlgState *st = NewLocDlgState(instance, site);
    if (!st) return 0;
    TerminateLocationName(&st->site);
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);  // made empty when it is missing
    int found = 0;
    if (f) {
        int16_t index = 0;
        found = FindLocation(f, &st->site, &st->trailer, &index);
        st->selection = index;
        std::fclose(f);
    }
    // The undo copy is taken before a site passed in is added, so Cancel
    // takes the addition back: a record made from an import file's name must
    // not stay in the favourites unless the user accepts it.
    st->backupTaken = BackupLocationFile() ? 1 : 0;
    // A record without a name is never added (no lookup could find it
    // again); the first favourite is shown instead.
    if (found == 0 && !st->site.name[0]) st->selection = 0;
    if (found == 0 && st->site.name[0]) {
        if (trailerIn)
            st->trailer = *trailerIn;
        else
            st->trailer = LocationTrailer{0, 0, 0};
        f = OpenLocationStore(&count);
        if (f) {
            if (AppendLocation(f, &st->site, &st->trailer)) st->selection = count;
            std::fclose(f);
        }
    }
    g_locState = st;
    INT_PTR r = DialogBoxParamA(instance, UseProVariant() ? "LocDlgPro" : "LocDlgSE", owner,
                                LocDlgProc, (LPARAM)st);
    if (r == -1 && st->backupTaken) RestoreLocationFile();  // the dialog never opened
    if (r == 1) *site = st->site;
    FreeLocDlgState(st);
    return r == 1 ? 1 : 0;
}

}  // namespace

LocDlgState *GetLocDlgState() { return g_locState; }

bool EndWithoutLocState(HWND dialog, const LocDlgState *st) {
    if (st) return false;
    EndDialog(dialog, 0);
    return true;
}

int ReadWindowNumber(HWND window, double *value) {
    return ParseDialogNumber(WindowText(window, 64).c_str(), value);
}

INT_PTR RunHorizonDialog(HWND owner, LocationRecord *site) {
    if (!site) return 0;
    INT_PTR r = DialogBoxParamA(g_locState ? g_locState->instance : nullptr, "LocHorDlg", owner,
                                LocHorDlgProc, (LPARAM)site);
    return r == 1 ? 1 : 0;
}

int PickLocation(HWND owner, HINSTANCE instance, LocationRecord *site) {
    return PickLocationWithTrailer(owner, instance, site, nullptr);
}

int EditLocation(HWND owner, HINSTANCE instance, LocationRecord *site, LocationTrailer *trailer) {
    if (!site || !trailer) return 0;
    LocDlgState *st = NewLocDlgState(instance, site);
    if (!st) return 0;
    st->trailer = *trailer;
    g_locState = st;
    INT_PTR r = DialogBoxParamA(instance, "LocEditDlg", owner, LocEditDlgProc, (LPARAM)st);
    if (r == 1 || r == 2) {
        *site = st->site;
        *trailer = st->trailer;
    }
    FreeLocDlgState(st);
    if (r == 2) PickLocationWithTrailer(owner, instance, site, trailer);
    return r == 1 || r == 2 ? (int)r : 0;
}

INT_PTR CALLBACK LocDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    LocDlgState *st = g_locState;
    switch (message) {
    case WM_INITDIALOG: {
        st = reinterpret_cast<LocDlgState *>(lParam);
        g_locState = st;
        FillSiteCombos(dialog, kPickControls);
        ListFavoriteSites(dialog, st);
        ReadSelectedSite(dialog, st);
        ShowSiteInDialog(dialog, st);
        HWND list = GetDlgItem(dialog, IDC_SITE_LIST);
        g_siteListProc = ReplaceWindowProc(list, SiteListKeyProc);
        SetFocus(list);
        return FALSE;
    }
    case WM_COMMAND:
        if (!st) return FALSE;
        return PickSiteCommand(dialog, st, LOWORD(wParam), HIWORD(wParam));
    case WM_CLOSE:
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return TRUE;
    case WM_DESTROY: {
        HWND list = GetDlgItem(dialog, IDC_SITE_LIST);
        if (list && g_siteListProc) ReplaceWindowProc(list, g_siteListProc);
        g_siteListProc = nullptr;
        return FALSE;
    }
    }
    return FALSE;
}

INT_PTR CALLBACK LocEditDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    LocDlgState *st = g_locState;
    switch (message) {
    case WM_INITDIALOG:
        st = reinterpret_cast<LocDlgState *>(lParam);
        g_locState = st;
        st->selection = 0;
        st->manualEntry = 0;
        FillSiteCombos(dialog, kEditControls);
        ShowEditedSite(dialog, st);
        return TRUE;
    case WM_COMMAND:
        if (!st) return FALSE;
        return EditSiteCommand(dialog, st, LOWORD(wParam), HIWORD(wParam));
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
