// The places dialog "Add Location" (PlacesDlg) and the site coordinates
// dialog (LocManDlg) of the site dialogs. A new site starts from a place of
// the gazetteer (a tree of regions, the places of the chosen one in a list)
// or from a place typed by hand ("Manual Entry"); without the gazetteer's
// tables the tree stays empty. The coordinates dialog also edits
// the selected site's name, position and elevation ("Edit" of the Observing
// Sites dialog). Both work on the open site dialog's LocDlgState.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "astro/angletext.h"
#include "core/hostcallbacks.h"
#include "core/mathutil.h"
#include "core/resstrings.h"
#include "dialogs/sitedialogrules.h"
#include "dialogs/sitedialogs_win.h"
#include "sites/places.h"
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

// Messages both modes share: their commands and the window's close (as
// Cancel); true when handled.
bool SharedCoordinateMessage(HWND dialog, UINT message, WPARAM wParam, int *inFeet) {
    if (message == WM_CLOSE) {
        EndDialog(dialog, 0);
        return true;
    }
    return message == WM_COMMAND && SharedCoordinateCommand(dialog, LOWORD(wParam), HIWORD(wParam), inFeet);
}

}  // namespace

// ---- LocManDlg, edit mode ---------------------------------------------------------------------

INT_PTR CALLBACK LocManDlgEditProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    LocDlgState *st = GetLocDlgState();
    if (SharedCoordinateMessage(dialog, message, wParam, &g_editInFeet)) return TRUE;
    switch (message) {
    case WM_INITDIALOG: {
        if (EndWithoutLocState(dialog, st)) return TRUE;
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
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && st) {
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
    return FALSE;
}

// ---- LocManDlg, new mode ----------------------------------------------------------------------

INT_PTR CALLBACK LocManDlgNewProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    LocDlgState *st = GetLocDlgState();
    if (SharedCoordinateMessage(dialog, message, wParam, &g_newInFeet)) return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        if (EndWithoutLocState(dialog, st)) return TRUE;
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
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && st) {
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
    return FALSE;
}

// ---- PlacesDlg --------------------------------------------------------------------------------

namespace {

// Room beside a name in a column of the places list, pixels.
const int kListColumnPadding = 16;

// The region nodes behind the tree's items while the places dialog is open.
PlaceTree g_placeTree;

// A tree item's data: the node's level and index.
LPARAM NodeKey(int level, int index) { return (LPARAM)((level << 16) | (index & 0xffff)); }
void KeyNode(LPARAM key, int *level, int *index) {
    *level = (int)((key >> 16) & 0xff);
    *index = (int)(key & 0xffff);
}

PlacesTables *Tables(LocDlgState *st) { return static_cast<PlacesTables *>(st->placesTables); }

HTREEITEM InsertRegionItem(HWND tree, HTREEITEM parent, int level, int index) {
    PlaceTreeNode *node = PlaceTreeNodeAt(&g_placeTree, level, index);
    if (!node) return nullptr;
    TVINSERTSTRUCTA ins;
    std::memset(&ins, 0, sizeof ins);
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    char text[sizeof node->region.name + 1];
    std::snprintf(text, sizeof text, "%.33s", node->region.name);
    ins.item.pszText = text;
    ins.item.lParam = NodeKey(level, index);
    // An expand button only where the children are regions.
    ins.item.cChildren = node->region.childFile < kPlacesFile ? 1 : 0;
    ins.item.iImage = ins.item.iSelectedImage = 0;
    HTREEITEM item = (HTREEITEM)SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&ins);
    node->item = item;
    return item;
}

// Rows of the places tree are this many pixels taller than its images, so
// the globes of neighbouring rows do not touch.
const int kPlaceRowGap = 4;

// The tree's images: bitmap 2557, 16 pixels wide, white transparent; the
// tree works without them when the module carries none.
void LoadPlaceImages(HWND dialog, LocDlgState *st) {
    HIMAGELIST images = ImageList_LoadImageA(st->instance, MAKEINTRESOURCEA(IDB_PLACES_TREE), 16, 1,
                                             RGB(255, 255, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (!images) return;
    SendDlgItemMessageA(dialog, IDC_PLACES_TREE, TVM_SETIMAGELIST, TVSIL_NORMAL, (LPARAM)images);
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    int rows = (int)SendDlgItemMessageA(dialog, IDC_PLACES_TREE, TVM_GETITEMHEIGHT, 0, 0);
    if (rows < height + kPlaceRowGap)
        SendDlgItemMessageA(dialog, IDC_PLACES_TREE, TVM_SETITEMHEIGHT, height + kPlaceRowGap, 0);
}

void FreePlaceImages(HWND dialog) {
    HIMAGELIST images =
        (HIMAGELIST)SendDlgItemMessageA(dialog, IDC_PLACES_TREE, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    if (images) ImageList_Destroy(images);
}

void FillPlaceTreeRoots(HWND dialog, LocDlgState *st) {
    HWND tree = GetDlgItem(dialog, IDC_PLACES_TREE);
    if (!BuildPlaceTree(Tables(st), &g_placeTree)) return;
    for (int i = 0; i < (int)g_placeTree.nodes[0].size(); ++i) InsertRegionItem(tree, TVI_ROOT, 0, i);
    HTREEITEM first = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0);
    if (first) SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)first);
}

void ExpandPlaceRegion(HWND dialog, LocDlgState *st, HTREEITEM item, LPARAM key) {
    int level, index, collapse;
    KeyNode(key, &level, &index);
    std::vector<int> insert;
    if (!ExpandPlaceTreeNode(Tables(st), &g_placeTree, level, index, &collapse, &insert)) return;
    HWND tree = GetDlgItem(dialog, IDC_PLACES_TREE);
    if (PlaceTreeNode *other = PlaceTreeNodeAt(&g_placeTree, level, collapse))
        if (other->item) SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, (LPARAM)other->item);
    int childLevel = g_placeTree.nodes[level][index].region.childFile;
    for (int child : insert) InsertRegionItem(tree, item, childLevel, child);
}

// No row is picked: OK waits for one.
void ClearPickedPlace(HWND dialog, LocDlgState *st) {
    st->placeRow = -1;
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
}

// A row keeps its place's index, so that a record left out before it
// (unreadable) does not shift the place a row stands for.
void AddPlaceListItem(HWND list, int row, int placeIndex, const PlaceRecord *place) {
    char text[34];
    PlaceListName(place, text);
    LVITEMA item;
    std::memset(&item, 0, sizeof item);
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = text;
    item.lParam = placeIndex;
    SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
}

void ListRegionPlaces(HWND dialog, LocDlgState *st, const PlaceTreeNode *node) {
    HWND list = GetDlgItem(dialog, IDC_PLACES_LIST);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    // A row number picked in the region shown before means nothing here.
    ClearPickedPlace(dialog, st);
    st->firstPlaceIndex = node->region.first;
    std::snprintf(st->regionName, sizeof st->regionName, "%.33s", node->region.name);
    int row = 0, widest = 0;
    for (int k = node->region.first; k < node->region.end; ++k) {
        PlaceRecord place;
        if (!ReadPlace(Tables(st), k, &place)) continue;  // a record that cannot be read is left out
        AddPlaceListItem(list, row++, k, &place);
        char text[34];
        PlaceListName(&place, text);
        int width = (int)SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, (LPARAM)text);
        if (width > widest) widest = width;
    }
    // Columns as wide as the longest name, so that no name is cut.
    if (widest > 0) SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, widest + kListColumnPadding);
}

void RegionSelected(HWND dialog, LocDlgState *st, const NMTREEVIEWA *nm) {
    if (st->ignoreFirstTreeSelection) {
        st->ignoreFirstTreeSelection = 0;
        return;
    }
    int level, index;
    KeyNode(nm->itemNew.lParam, &level, &index);
    PlaceTreeNode *node = PlaceTreeNodeAt(&g_placeTree, level, index);
    if (!node) return;
    if (node->region.childFile == kPlacesFile)
        ListRegionPlaces(dialog, st, node);
    else
        SendDlgItemMessageA(dialog, IDC_PLACES_TREE, TVM_EXPAND, TVE_EXPAND, (LPARAM)nm->itemNew.hItem);
}

// The list row under the mouse cursor, -1 for none.
int HitTestPlaceList(HWND list) {
    DWORD pos = GetMessagePos();
    LVHITTESTINFO hit;
    std::memset(&hit, 0, sizeof hit);
    hit.pt.x = (short)LOWORD(pos);
    hit.pt.y = (short)HIWORD(pos);
    ScreenToClient(list, &hit.pt);
    return (int)SendMessageA(list, LVM_HITTEST, 0, (LPARAM)&hit);
}

void PickRow(HWND dialog, LocDlgState *st, int row) {
    if (row < 0) return;
    st->placeRow = row;
    EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
}

// The place index of the picked row (the region's first place + the row
// when the row keeps none).
int PickedPlaceIndex(HWND dialog, const LocDlgState *st) {
    LVITEMA item;
    std::memset(&item, 0, sizeof item);
    item.mask = LVIF_PARAM;
    item.iItem = st->placeRow;
    if (SendDlgItemMessageA(dialog, IDC_PLACES_LIST, LVM_GETITEMA, 0, (LPARAM)&item)) return (int)item.lParam;
    return st->placeRow + st->firstPlaceIndex;
}

void ClosePlaces(HWND dialog, LocDlgState *st) {
    ClosePlacesTables(Tables(st));
    st->placesTables = nullptr;
    FreePlaceTree(&g_placeTree);
    FreePlaceImages(dialog);
}

LRESULT PlacesNotice(HWND dialog, LocDlgState *st, const NMHDR *nm) {
    if (nm->idFrom == IDC_PLACES_TREE) {
        if (nm->code == TVN_ITEMEXPANDINGA || nm->code == TVN_ITEMEXPANDINGW) {
            const NMTREEVIEWA *tv = reinterpret_cast<const NMTREEVIEWA *>(nm);
            if (tv->action & TVE_EXPAND) ExpandPlaceRegion(dialog, st, tv->itemNew.hItem, tv->itemNew.lParam);
        } else if (nm->code == TVN_SELCHANGEDA || nm->code == TVN_SELCHANGEDW) {
            RegionSelected(dialog, st, reinterpret_cast<const NMTREEVIEWA *>(nm));
        }
        return 0;
    }
    if (nm->idFrom == IDC_PLACES_LIST) {
        HWND list = GetDlgItem(dialog, IDC_PLACES_LIST);
        if (nm->code == NM_CLICK || nm->code == NM_DBLCLK) {
            int row = HitTestPlaceList(list);
            PickRow(dialog, st, row);
            if (row >= 0 && nm->code == NM_DBLCLK)
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        } else if (nm->code == LVN_ITEMCHANGED) {
            // A row chosen with the keyboard is picked as a click picks it.
            const NMLISTVIEW *lv = reinterpret_cast<const NMLISTVIEW *>(nm);
            if ((lv->uChanged & LVIF_STATE) && (lv->uNewState & LVIS_SELECTED) &&
                !(lv->uOldState & LVIS_SELECTED))
                PickRow(dialog, st, lv->iItem);
        }
    }
    return 0;
}

}  // namespace

INT_PTR CALLBACK PlacesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    LocDlgState *st = GetLocDlgState();
    switch (message) {
    case WM_INITDIALOG:
        if (EndWithoutLocState(dialog, st)) return TRUE;
        st->ignoreFirstTreeSelection = 1;
        st->manualEntry = 0;
        FreePlaceTree(&g_placeTree);
        // Without the places tables the tree stays empty: only "Manual
        // Entry" and Cancel do anything, and OK waits for a picked place.
        st->placesTables = OpenPlacesTables();
        if (st->placesTables) FillPlaceTreeRoots(dialog, st);
        LoadPlaceImages(dialog, st);
        ClearPickedPlace(dialog, st);
        if (!UseProVariant()) SetDlgItemTextA(dialog, IDC_PLACES_MANUAL_ENTRY, "Manual Entry");
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    case WM_NOTIFY:
        if (st) SetWindowLongPtrA(dialog, DWLP_MSGRESULT, PlacesNotice(dialog, st, (const NMHDR *)lParam));
        return TRUE;
    case WM_COMMAND:
        if (!st) return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_PLACES_MANUAL_ENTRY:
            if (DialogBoxParamA(st->instance, "LocManDlg", dialog, LocManDlgNewProc, 0) == 1) {
                ClosePlaces(dialog, st);
                EndDialog(dialog, 1);
            }
            return TRUE;
        case IDOK:
            if (st->placeRow < 0) return TRUE;
            // A place that cannot be read leaves the dialog open.
            if (!ReadPlace(Tables(st), PickedPlaceIndex(dialog, st), &st->place)) return TRUE;
            ClosePlaces(dialog, st);
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            ClosePlaces(dialog, st);
            EndDialog(dialog, 0);
            return TRUE;
        case IDHELP:
            ShowHelpTopic(IDH_PLACES);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        if (st) ClosePlaces(dialog, st);
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
