// The site and observer dialogs driven for real under Windows or Wine: a
// thread timer runs a script of steps inside the dialogs' own modal loops
// (typing into fields, choosing rows, pressing buttons, answering message
// boxes), and the stores are checked afterwards. The templates come from the
// program's resources in gleaner.exe, loaded as a data file. A capture of
// each dialog is written into the build tree's "screenshots" folder.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/userfolder.h"
#include "core/fileutil.h"
#include "core/resstrings.h"
#include "events/eventfiles.h"
#include "sites/horizon.h"
#include "sites/horizonfile.h"
#include "dialogs/sitedialogs_win.h"
#include "testutil/screenshot_win.h"
#include "testutil/dialogscript_win.h"
#include "testutil/testutil.h"
#include "ui/controls.h"
#include "ui/dib.h"
#include "core/mathutil.h"
#include "core/datapaths.h"
#include "resources/siteids.h"

namespace {

using namespace testutil;

const double kDeg = kPi / 180.0;

// gleaner.exe's dialog templates, with the link-label class registered for
// it (dialog controls are made with the dialog's instance).
HINSTANCE Resources() {
    static HINSTANCE module = nullptr;
    if (!module && (module = testutil::ProgramResources())) RegisterHyperTextClass(module);
    return module;
}


// Captures the dialog's client area, writes it as <name>.bmp into the
// screenshots folder and answers the number of link-blue pixels in it.
int Screenshot(HWND window, const char *name) {
    testutil::WindowPicture shot = testutil::CaptureClientArea(window);
    testutil::SaveScreenshot(shot, name);
    return testutil::CountPixelsOfColour(shot, RGB(0, 0, 255));
}

// ---- fixtures ------------------------------------------------------------------------------

LocationRecord MakeSite(const char *name, double lonDeg, double latDeg) {
    LocationRecord r;
    std::memset(&r, 0, sizeof r);
    InitLocationRecord(&r, lonDeg * kDeg, latDeg * kDeg, 300.0, 6.5, 0.0, 15.0, 50.0, 2, 0.0, -5.0, name);
    return r;
}

struct StoredSite {
    LocationRecord site;
    LocationTrailer trailer;
};

std::vector<StoredSite> ReadSites() {
    std::vector<StoredSite> out;
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    if (!f) return out;
    for (int i = 0; i < count; ++i) {
        StoredSite s;
        if (ReadLocation(f, i, &s.site, &s.trailer)) out.push_back(s);
    }
    std::fclose(f);
    return out;
}

class SiteDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Resources()) << "gleaner.exe with the dialog templates is not beside the tests";
        SetUserDataFolder(dir_.path().c_str());
    }
    void TearDown() override { SetUserDataFolder(""); }
    void Store(const std::vector<LocationRecord> &sites) {
        int16_t count = 0;
        FILE *f = OpenLocationStore(&count);
        ASSERT_NE(f, nullptr);
        LocationTrailer t = {0, 0, 0};
        for (const LocationRecord &s : sites) ASSERT_EQ(AppendLocation(f, &s, &t), 1);
        std::fclose(f);
    }
    testutil::TempDir dir_;
};

const char kSites[] = "Observing Sites";
const char kMessage[] = "Nightjar Message";

TEST_F(SiteDialogs, PickingAnUnknownSiteCreatesItAndOkKeepsIt) {
    Store({MakeSite("Home", 100, 40), MakeSite("Ridge", 101, 41)});
    LocationRecord asked = MakeSite("Dark Field", 105.5, 32.25);
    int blue = 0;
    std::string list0, lat;
    int selection = -2;
    bool ran = RunScript({On(kSites, [&](HWND d) {
                                  HWND list = GetDlgItem(d, IDC_SITE_LIST);
                                  selection = (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
                                  char text[64] = "";
                                  SendMessageA(list, LB_GETTEXT, 2, (LPARAM)text);
                                  list0 = text;
                                  lat = ItemText(d, IDC_SITE_LATITUDE);
                                  blue = Screenshot(d, "site_dialog");
                              }),
                          Press(kSites, IDOK)},
                         [&] { EXPECT_EQ(PickLocation(nullptr, Resources(), &asked), 1); });
    ASSERT_TRUE(ran);
    EXPECT_EQ(selection, 2);
    EXPECT_EQ(list0, "Dark Field");
    EXPECT_EQ(lat, "+32\xB0" "15'00\"");
    EXPECT_GT(blue, 20);  // the link labels are drawn
    std::vector<StoredSite> sites = ReadSites();
    ASSERT_EQ(sites.size(), 3u);
    EXPECT_STREQ(sites[2].site.name, "Dark Field");
    EXPECT_EQ(+sites[2].trailer.namedZone, 0);
    EXPECT_STREQ(asked.name, "Dark Field");
}

// "New" makes a site typed by hand: "Add Location" (without the gazetteer's
// tables: an empty tree, OK disabled) leads through "Manual Entry" to the
// coordinates dialog; a "#" typed into the name is taken back, a latitude
// out of range is refused with its message, and the elevation may be typed
// in feet. The new site is stored and selected; the sites dialog sets its
// zone, and OK returns it.
TEST_F(SiteDialogs, NewSiteTypedByHandIsStoredAndPicked) {
    Store({MakeSite("Home", 100, 40)});
    LocationRecord asked = MakeSite("Home", 100, 40);
    const char kPlaces[] = "Add Location", kCoordinates[] = "Define New Location";
    std::string manualLabel, start[4], afterHash, badLatitude, selected, unit, zoneTyped;
    bool okDisabled = false, gpsHidden = false;
    bool ran = RunScript(
        {Press(kSites, IDC_SITE_NEW),
         On(kPlaces, [&](HWND d) {
                 okDisabled = !IsWindowEnabled(GetDlgItem(d, IDOK));
                 manualLabel = ItemText(d, IDC_PLACES_MANUAL_ENTRY);
                 Screenshot(d, "places_dialog");
             }),
         Press(kPlaces, IDC_PLACES_MANUAL_ENTRY),
         On(kCoordinates, [&](HWND d) {
                 int ids[4] = {IDC_SITECOORD_NAME, IDC_SITECOORD_LONGITUDE, IDC_SITECOORD_LATITUDE, IDC_SITECOORD_ELEVATION};
                 for (int i = 0; i < 4; ++i) start[i] = ItemText(d, ids[i]);
                 gpsHidden = !IsWindowVisible(GetDlgItem(d, IDC_SITECOORD_GPS));
             }),
         Type(kCoordinates, IDC_SITECOORD_NAME, "Bryce Point"), Type(kCoordinates, IDC_SITECOORD_NAME, "Bryce Point #2"),
         On(kCoordinates, [&](HWND d) { afterHash = ItemText(d, IDC_SITECOORD_NAME); }),
         Type(kCoordinates, IDC_SITECOORD_LONGITUDE, "112:10:00"), Type(kCoordinates, IDC_SITECOORD_LATITUDE, "-91"),
         Type(kCoordinates, IDC_SITECOORD_ELEVATION, "8000"), Press(kCoordinates, IDC_SITECOORD_UNIT_LINK),
         On(kCoordinates, [&](HWND d) { unit = ItemText(d, IDC_SITECOORD_UNIT_LINK); Screenshot(d, "site_coordinates_dialog"); }),
         Press(kCoordinates, IDOK), Answer(kMessage, IDOK, &badLatitude),
         Type(kCoordinates, IDC_SITECOORD_LATITUDE, "37:37:30"), Press(kCoordinates, IDOK),
         [&] { return FindDialog(kCoordinates) == nullptr && FindDialog(kPlaces) == nullptr; },
         On(kSites, [&](HWND d) {
                 int row = (int)SendDlgItemMessageA(d, IDC_SITE_LIST, LB_GETCURSEL, 0, 0);
                 char text[64] = "";
                 SendDlgItemMessageA(d, IDC_SITE_LIST, LB_GETTEXT, row, (LPARAM)text);
                 selected = text;
                 zoneTyped = ItemText(d, IDC_SITE_ZONE_OFFSET);
                 SetDlgItemTextA(d, IDC_SITE_ZONE_OFFSET, "-7");
             }),
         Press(kSites, IDOK)},
        [&] { EXPECT_EQ(PickLocation(nullptr, Resources(), &asked), 1); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_TRUE(okDisabled);
    EXPECT_EQ(manualLabel, "Manual Entry");
    EXPECT_EQ(start[0], "New Location");
    EXPECT_EQ(start[1], "00:00:00");
    EXPECT_EQ(start[2], "+00:00:00");
    EXPECT_EQ(start[3], "0");
    EXPECT_TRUE(gpsHidden);
    EXPECT_EQ(afterHash, "Bryce Point");
    EXPECT_EQ(unit, "feet");
    EXPECT_EQ(badLatitude.rfind("The latitude must be degrees from -90 to 90", 0), 0u) << badLatitude;
    EXPECT_EQ(selected, "Bryce Point");
    EXPECT_EQ(zoneTyped, "+0");  // a place typed by hand starts in Universal Time
    EXPECT_STREQ(asked.name, "Bryce Point");
    std::vector<StoredSite> sites = ReadSites();
    ASSERT_EQ(sites.size(), 2u);
    const LocationRecord &s = sites[1].site;
    EXPECT_STREQ(s.name, "Bryce Point");
    EXPECT_NEAR(s.longitude / kDeg, 112.0 + 10.0 / 60.0, 1e-9);
    EXPECT_NEAR(s.latitude / kDeg, 37.625, 1e-9);
    // 8000 ft is 2438.28 m; the sites dialog shows whole metres and reads
    // back what it shows on OK.
    EXPECT_NEAR(+s.elevation, 2438.0, 1e-9);
    EXPECT_NEAR(+s.timeZone, -7.0, 1e-12);
    EXPECT_EQ(+sites[1].trailer.namedZone, 0);
}

// ---- the places gazetteer --------------------------------------------------------------------

// The tree item below parent (TVI_ROOT for the roots) with this text.
HTREEITEM TreeChild(HWND tree, HTREEITEM parent, const char *text) {
    HTREEITEM item = (HTREEITEM)SendMessageA(
        tree, TVM_GETNEXTITEM, parent == TVI_ROOT ? TVGN_ROOT : TVGN_CHILD, (LPARAM)parent);
    for (; item; item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item)) {
        char buffer[64] = "";
        TVITEMA tv;
        std::memset(&tv, 0, sizeof tv);
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = buffer;
        tv.cchTextMax = sizeof buffer;
        SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&tv);
        if (std::strcmp(buffer, text) == 0) return item;
    }
    return nullptr;
}

int TreeChildCount(HWND tree, HTREEITEM parent) {
    int n = 0;
    HTREEITEM item = (HTREEITEM)SendMessageA(
        tree, TVM_GETNEXTITEM, parent == TVI_ROOT ? TVGN_ROOT : TVGN_CHILD, (LPARAM)parent);
    for (; item; item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item)) ++n;
    return n;
}

bool Expanded(HWND tree, HTREEITEM item) {
    return (SendMessageA(tree, TVM_GETITEMSTATE, (WPARAM)item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

// "" when the globes of the tree's visible rows stand apart in the drawn
// tree: between the last pixel row of one row's globe (its navy outline,
// left of the row's text) and the first of the next lie at least two clear
// pixel rows (one alone reads as a chain of globes); else where they touch.
std::string TouchingTreeIcons(HWND tree) {
    const COLORREF kGlobeOutline = RGB(0, 0, 128);
    testutil::WindowPicture picture = testutil::CaptureClientArea(tree);
    std::vector<std::pair<int, int>> spans;  // first and last pixel row of each globe
    std::string out;
    HTREEITEM item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0);
    for (; item; item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, (LPARAM)item)) {
        RECT text;
        *reinterpret_cast<HTREEITEM *>(&text) = item;
        if (!SendMessageA(tree, TVM_GETITEMRECT, TRUE, (LPARAM)&text) || text.bottom > picture.height) break;
        int first = -1, last = -1;
        for (int y = text.top; y < text.bottom; ++y)
            for (int x = 0; x < text.left && x < picture.width; ++x) {
                const uint8_t *p = &picture.pixels[(size_t)y * picture.Stride() + (size_t)x * 3];
                if (RGB(p[2], p[1], p[0]) != kGlobeOutline) continue;
                if (first < 0) first = y;
                last = y;
            }
        if (first < 0) return "a row without its globe at pixel row " + std::to_string(text.top);
        spans.push_back({first, last});
    }
    if (spans.size() < 2) return "fewer than two rows shown";
    for (size_t i = 1; i < spans.size(); ++i)
        if (spans[i].first - spans[i - 1].second - 1 < 2)
            out += "globes touch at pixel row " + std::to_string(spans[i].first) + "; ";
    return out;
}

// Selects a region as a click on it would: the tree tells the dialog.
void SelectRegion(HWND tree, HTREEITEM item) { SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item); }

int ListRow(HWND list, const char *text) {
    LVFINDINFOA find;
    std::memset(&find, 0, sizeof find);
    find.flags = LVFI_STRING;
    find.psz = text;
    return (int)SendMessageA(list, LVM_FINDITEMA, (WPARAM)-1, (LPARAM)&find);
}

// A real click of the mouse on a row of the list.
bool ClickRow(HWND dialog, HWND list, int row) {
    RECT r;
    r.left = LVIR_LABEL;
    if (!SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE)) return false;
    if (!SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)&r)) return false;
    POINT at = {r.left + 4, (r.top + r.bottom) / 2};
    ClientToScreen(list, &at);
    SetForegroundWindow(dialog);
    return MouseInput(at) && MouseInput(at, MOUSEEVENTF_LEFTDOWN) && MouseInput(at, MOUSEEVENTF_LEFTUP);
}

// A double click on a row, as the mouse would give it at that point.
bool DoubleClickRow(HWND list, int row) {
    RECT r;
    r.left = LVIR_LABEL;
    if (!SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE)) return false;
    if (!SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)&r)) return false;
    POINT at = {r.left + 4, (r.top + r.bottom) / 2}, screen = at;
    ClientToScreen(list, &screen);
    SetCursorPos(screen.x, screen.y);
    return PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y)) &&
           PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// The demo gazetteer (tools/gen_places.py, laid out by the demo installation)
// in reference slot 0 while the test runs.
class PlacesGazetteer : public SiteDialogs {
protected:
    void SetUp() override {
        SiteDialogs::SetUp();
        std::string ref = testutil::BuildDir() + "/demo/data/ref";
        if (testutil::BuildDir().empty() || !testutil::PathIsThere(ref + "/places03.bin"))
            GTEST_SKIP() << "no demo installation with the places tables under the build folder";
        SetRefDirectories(ref.c_str(), ref.c_str(), ref.c_str());
    }
    void TearDown() override {
        SetRefDirectories(empty_.path().c_str(), empty_.path().c_str(), empty_.path().c_str());
        SiteDialogs::TearDown();
    }
    testutil::TempDir empty_;
};

// "New" opens the gazetteer: nine regions; a region of regions expands once
// however often it is chosen, and choosing a sibling closes it; a province
// lists its places. A picked row is forgotten when another region is listed
// (OK disabled again). Clicking Denver and OK makes the site "Denver
// Colorado" with its position, Mountain time and the US daylight-saving rule
// in use.
TEST_F(PlacesGazetteer, NewSiteFromAPlace) {
    Store({MakeSite("Home", 100, 40)});
    LocationRecord asked = MakeSite("Home", 100, 40);
    const char kPlaces[] = "Add Location";
    int roots = 0, americaChildren = 0, americaChildrenAgain = 0, usaChildren = 0;
    bool okAtStart = true, americaClosed = false, okAfterPick = false, okAfterRegionChange = true;
    bool clicked = false;
    std::string zoneShown, listed, touching = "not looked at";
    HWND tree = nullptr, list = nullptr;
    bool ran = RunScript(
        {Press(kSites, IDC_SITE_NEW),
         On(kPlaces, [&](HWND d) {
                 tree = GetDlgItem(d, IDC_PLACES_TREE);
                 list = GetDlgItem(d, IDC_PLACES_LIST);
                 okAtStart = IsWindowEnabled(GetDlgItem(d, IDOK)) != 0;
                 roots = TreeChildCount(tree, TVI_ROOT);
                 SelectRegion(tree, TreeChild(tree, TVI_ROOT, "America"));
                 HTREEITEM america = TreeChild(tree, TVI_ROOT, "America");
                 americaChildren = TreeChildCount(tree, america);
                 SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, (LPARAM)america);
                 SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)america);
                 americaChildrenAgain = TreeChildCount(tree, america);
                 SelectRegion(tree, TreeChild(tree, TVI_ROOT, "Europe"));
                 americaClosed = !Expanded(tree, america);
                 SelectRegion(tree, america);
                 HTREEITEM usa = TreeChild(tree, america, "USA");
                 SelectRegion(tree, usa);
                 usaChildren = TreeChildCount(tree, usa);
                 SelectRegion(tree, TreeChild(tree, usa, "Arizona"));
             }),
         On(kPlaces, [&](HWND d) { clicked = ClickRow(d, list, ListRow(list, "Phoenix")); }),
         On(kPlaces, [&](HWND d) {
                 okAfterPick = IsWindowEnabled(GetDlgItem(d, IDOK)) != 0;
                 // Another region: the row picked in Arizona means nothing here.
                 SelectRegion(tree, TreeChild(tree, TreeChild(tree, TreeChild(tree, TVI_ROOT, "America"), "USA"),
                                              "Colorado"));
                 okAfterRegionChange = IsWindowEnabled(GetDlgItem(d, IDOK)) != 0;
                 char text[64] = "";
                 LVITEMA item;
                 std::memset(&item, 0, sizeof item);
                 item.pszText = text;
                 item.cchTextMax = sizeof text;
                 SendMessageA(list, LVM_GETITEMTEXTA, 0, (LPARAM)&item);
                 listed = text;
             }),
         On(kPlaces, [&](HWND d) { clicked = clicked && ClickRow(d, list, ListRow(list, "Denver")); }),
         On(kPlaces, [&](HWND d) {
                 touching = TouchingTreeIcons(tree);
                 Screenshot(d, "places_dialog_gazetteer");
             }),
         Press(kPlaces, IDOK), [&] { return FindDialog(kPlaces) == nullptr; },
         On(kSites, [&](HWND d) {
                 zoneShown = RowText(d, IDC_SITE_ZONE, (int)SendDlgItemMessageA(d, IDC_SITE_ZONE, CB_GETCURSEL, 0, 0), false);
                 Screenshot(d, "site_dialog_from_place");
             }),
         Press(kSites, IDOK)},
        [&] { EXPECT_EQ(PickLocation(nullptr, Resources(), &asked), 1); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_FALSE(okAtStart);
    EXPECT_EQ(roots, 9);
    EXPECT_GT(americaChildren, 10);
    EXPECT_EQ(americaChildrenAgain, americaChildren);
    EXPECT_TRUE(americaClosed);
    EXPECT_GT(usaChildren, 40);
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(okAfterPick);
    EXPECT_FALSE(okAfterRegionChange);
    EXPECT_EQ(listed, "Arvada");  // Colorado's first place
    EXPECT_EQ(touching, "");
    EXPECT_EQ(zoneShown, "MST");
    EXPECT_STREQ(asked.name, "Denver Colorado");
    std::vector<StoredSite> sites = ReadSites();
    ASSERT_EQ(sites.size(), 2u);
    const LocationRecord &s = sites[1].site;
    EXPECT_STREQ(s.name, "Denver Colorado");
    // kstars-data: 39 44' 57" N, 104 59' 20" W, to a hundredth of a degree.
    EXPECT_NEAR(s.longitude / kDeg, 104.99, 0.005 + 1e-9);
    EXPECT_NEAR(s.latitude / kDeg, 39.75, 0.005 + 1e-9);
    EXPECT_NEAR(+s.timeZone, -7.0, 1e-12);
    EXPECT_EQ(+sites[1].trailer.namedZone, 3);
    EXPECT_EQ(+s.dstMode, 2);
    EXPECT_EQ(+s.dst.startMonth, 3);
    EXPECT_EQ(+s.dst.startWeek, 1);
    EXPECT_EQ(+s.dst.endMonth, 11);
    EXPECT_EQ(+s.dst.endWeek, 0);
    EXPECT_EQ(+s.dst.startHour, 2.0f);
}

// "Find New" of the edit dialog rebuilds the edited site from a place picked
// with a double click, without touching the store; a place of a country without provinces names
// the country.
TEST_F(PlacesGazetteer, FindNewRebuildsTheEditedSite) {
    LocationRecord site = MakeSite("Somewhere", 10, 10);
    LocationTrailer trailer = {0, 0, 0};
    const char kPlaces[] = "Add Location";
    HWND list = nullptr;
    bool clicked = false;
    std::string name;
    bool ran = RunScript(
        {Press("Edit Observing Site", IDC_SITEEDIT_FIND),
         On(kPlaces, [&](HWND d) {
                 HWND tree = GetDlgItem(d, IDC_PLACES_TREE);
                 list = GetDlgItem(d, IDC_PLACES_LIST);
                 HTREEITEM europe = TreeChild(tree, TVI_ROOT, "Europe");
                 SelectRegion(tree, europe);
                 SelectRegion(tree, TreeChild(tree, europe, "Finland"));
             }),
         // A double click acts as OK.
         On(kPlaces, [&](HWND) { clicked = DoubleClickRow(list, ListRow(list, "Helsinki")); }),
         [&] { return FindDialog(kPlaces) == nullptr; },
         On("Edit Observing Site", [&](HWND d) { name = ItemText(d, IDC_SITEEDIT_NAME); }),
         Press("Edit Observing Site", IDOK)},
        [&] { EXPECT_EQ(EditLocation(nullptr, Resources(), &site, &trailer), 1); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_TRUE(clicked);
    EXPECT_EQ(name, "Helsinki Finland");
    EXPECT_STREQ(site.name, "Helsinki Finland");
    EXPECT_NEAR(site.longitude / kDeg, -24.95, 0.01);
    EXPECT_NEAR(+site.timeZone, 2.0, 1e-12);
    // EU: last Sunday of March at 01:00 UT, 03:00 local standard time in Finland.
    EXPECT_EQ(+site.dstMode, 2);
    EXPECT_EQ(+site.dst.startWeek, 3);
    EXPECT_EQ(+site.dst.startHour, 3.0f);
    EXPECT_TRUE(ReadSites().empty());
}

// "Edit" changes the selected site's name, position and elevation in the
// coordinates dialog; Cancel in "Add Location" adds nothing.
TEST_F(SiteDialogs, EditChangesTheSiteAndCancelledNewAddsNothing) {
    Store({MakeSite("Home", 100, 40)});
    LocationRecord asked = MakeSite("Home", 100, 40);
    std::string title, name, longitude, latitude;
    bool ran = RunScript(
        {Press(kSites, IDC_SITE_NEW), Press("Add Location", IDCANCEL),
         [&] { return FindDialog("Add Location") == nullptr; }, Press(kSites, IDC_SITE_EDIT),
         On("Edit Location", [&](HWND d) {
                 name = ItemText(d, IDC_SITECOORD_NAME);
                 longitude = ItemText(d, IDC_SITECOORD_LONGITUDE);
                 latitude = ItemText(d, IDC_SITECOORD_LATITUDE);
             }),
         Type("Edit Location", IDC_SITECOORD_NAME, "Home Field"), Type("Edit Location", IDC_SITECOORD_LATITUDE, "40:30"),
         Type("Edit Location", IDC_SITECOORD_ELEVATION, "250"), Press("Edit Location", IDOK),
         [&] { return FindDialog("Edit Location") == nullptr; }, Press(kSites, IDOK)},
        [&] { EXPECT_EQ(PickLocation(nullptr, Resources(), &asked), 1); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(name, "Home");
    EXPECT_EQ(longitude, "+100\xB0" "00'00\"");
    EXPECT_EQ(latitude, "+40\xB0" "00'00\"");
    std::vector<StoredSite> sites = ReadSites();
    ASSERT_EQ(sites.size(), 1u);
    EXPECT_STREQ(sites[0].site.name, "Home Field");
    EXPECT_NEAR(sites[0].site.latitude / kDeg, 40.5, 1e-9);
    EXPECT_NEAR(+sites[0].site.elevation, 250.0, 1e-9);
    EXPECT_STREQ(asked.name, "Home Field");
}

TEST_F(SiteDialogs, ProfessionalVariantShowsSkyBrightnessAndGps) {
    LocationRecord home = MakeSite("Home", 100, 40);
    home.skyBrightness = 21.34;  // stored as given
    Store({home});
    LocationRecord asked = home;
    std::string sky;
    bool gps = false;
    SetProVariant(1);
    bool ran = RunScript({On(kSites, [&](HWND d) {
                                  sky = ItemText(d, IDC_SITE_SKY);
                                  gps = GetDlgItem(d, IDC_SITE_GPS) != nullptr;
                                  Screenshot(d, "site_dialog_pro");
                              }),
                          Press(kSites, IDCANCEL)},
                         [&] { EXPECT_EQ(PickLocation(nullptr, Resources(), &asked), 0); });
    SetProVariant(0);
    ASSERT_TRUE(ran);
    EXPECT_EQ(sky, "21.3 mag/arcsec\xB2");
    EXPECT_TRUE(gps);
}

TEST_F(SiteDialogs, EditingFieldsSavesThemAndWarnsOfBadValues) {
    Store({MakeSite("Home", 100, 40), MakeSite("Ridge", 101, 41)});
    LocationRecord asked = MakeSite("Ridge", 101, 41);
    std::string warning, zoneText, zoneBackText;
    BOOL zoneEnabled = TRUE, zoneBackEnabled = FALSE;
    bool ran = RunScript(
        {Type(kSites, IDC_SITE_HUMIDITY, "100"), Press(kSites, IDOK), Answer(kMessage, IDOK, &warning),
         Type(kSites, IDC_SITE_HUMIDITY, "55"), Type(kSites, IDC_SITE_TEMPERATURE, "20"),
         Type(kSites, IDC_SITE_ELEVATION, "1200"), ChooseRow(kSites, IDC_SITE_ZONE, 3, false),
         On(kSites, [&](HWND d) {
                 zoneEnabled = IsWindowEnabled(GetDlgItem(d, IDC_SITE_ZONE_OFFSET));
                 zoneText = ItemText(d, IDC_SITE_ZONE_OFFSET);
                 Screenshot(d, "site_dialog_edited");
             }),
         ChooseRow(kSites, IDC_SITE_ZONE, 0, false),
         On(kSites, [&](HWND d) {
                 zoneBackEnabled = IsWindowEnabled(GetDlgItem(d, IDC_SITE_ZONE_OFFSET));
                 zoneBackText = ItemText(d, IDC_SITE_ZONE_OFFSET);
             }),
         ChooseRow(kSites, IDC_SITE_ZONE, 3, false), Press(kSites, IDOK)},
        [&] { EXPECT_EQ(PickLocation(nullptr, Resources(), &asked), 1); });
    ASSERT_TRUE(ran);
    EXPECT_TRUE(zoneBackEnabled);
    EXPECT_EQ(zoneBackText, "-7");  // "GMT+" keeps the hours until edited
    EXPECT_EQ(warning, "Warning: Relative Humidity out of range");
    EXPECT_FALSE(zoneEnabled);
    EXPECT_EQ(zoneText, "-7");
    std::vector<StoredSite> sites = ReadSites();
    ASSERT_EQ(sites.size(), 2u);
    EXPECT_EQ(+sites[1].site.humidity, 55.0);
    EXPECT_EQ(+sites[1].site.temperature, 20.0);
    EXPECT_EQ(+sites[1].site.elevation, 1200.0);
    EXPECT_EQ(+sites[1].site.timeZone, -7.0);
    EXPECT_EQ(+sites[1].trailer.namedZone, 3);
    // Derived values follow the new elevation.
    EXPECT_LT(+sites[1].site.horizonDip, -0.02);
    EXPECT_EQ(+asked.humidity, 55.0);
}

TEST_F(SiteDialogs, SameNameElsewhereSelectsTheStoredSiteAndShowsItsHorizon) {
    Store({MakeSite("Home", 100, 40), MakeSite("Ridge", 101, 41)});
    LocationRecord ridge = MakeSite("Ridge", 101, 41);
    ASSERT_EQ(CreateFlatHorizon(&ridge), 1);
    LocationRecord asked = MakeSite("Ridge", 120, 20);  // other coordinates
    int selection = -1, count = 0;
    std::string link, toggled;
    bool ran = RunScript(
        {On(kSites, [&](HWND d) {
                 selection = (int)SendDlgItemMessageA(d, IDC_SITE_LIST, LB_GETCURSEL, 0, 0);
                 count = (int)SendDlgItemMessageA(d, IDC_SITE_LIST, LB_GETCOUNT, 0, 0);
                 link = ItemText(d, IDC_SITE_HORIZON_STATUS);
             }),
         Press(kSites, IDC_SITE_HORIZON_STATUS),
         On(kSites, [&](HWND d) { toggled = ItemText(d, IDC_SITE_HORIZON_STATUS); }), Press(kSites, IDOK)},
        [&] { EXPECT_EQ(PickLocation(nullptr, Resources(), &asked), 1); });
    ASSERT_TRUE(ran);
    EXPECT_EQ(selection, 1);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(link, "enabled");
    EXPECT_EQ(toggled, "disabled");
    EXPECT_NEAR(asked.longitude, 101 * kDeg, 1e-12);  // the stored site comes back
    std::vector<StoredSite> sites = ReadSites();
    ASSERT_EQ(sites.size(), 2u);
    EXPECT_EQ(sites[1].site.displayFlags & 2, 2);  // obstructed horizon disabled
}

TEST_F(SiteDialogs, CancelLeavesTheStoreAsItWas) {
    Store({MakeSite("Home", 100, 40), MakeSite("Ridge", 101, 41), MakeSite("Mesa", 102, 42)});
    LocationRecord horizonSite = MakeSite("Ridge", 101, 41);
    ASSERT_EQ(CreateFlatHorizon(&horizonSite), 1);
    EnsureDirectory(dir_.file("events").c_str());
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("events/MesaCE.bin"), "events"));
    std::string before = testutil::ReadFileBytes(dir_.file("loc.bin"));
    LocationRecord asked = MakeSite("Somewhere New", 90, 30);
    std::string question;
    bool ran = RunScript(
        {// Edit Home, switch to Ridge (Home is saved), delete Mesa with its events.
         ChooseRow(kSites, IDC_SITE_LIST, 0, true), Type(kSites, IDC_SITE_HUMIDITY, "77"),
         ChooseRow(kSites, IDC_SITE_LIST, 1, true), ChooseRow(kSites, IDC_SITE_LIST, 2, true),
         Press(kSites, IDC_SITE_DELETE), Answer("Delete Location", IDYES, &question),
         On(kSites, [&](HWND d) { EXPECT_EQ(SendDlgItemMessageA(d, IDC_SITE_LIST, LB_GETCOUNT, 0, 0), 3); }),
         Press(kSites, IDCANCEL)},
        [&] { EXPECT_EQ(PickLocation(nullptr, Resources(), &asked), 0); });
    ASSERT_TRUE(ran);
    EXPECT_EQ(question, "Are you sure you want to delete this location and all associated events?");
    // The store, the added record included, is back; the events stay.
    EXPECT_EQ(testutil::ReadFileBytes(dir_.file("loc.bin")), before);
    LocationRecord mesa = MakeSite("Mesa", 102, 42);
    EXPECT_EQ(EventFilesExist(&mesa), 1);
    EXPECT_EQ(HorizonFileExists("Ridge"), 1);
    EXPECT_STREQ(asked.name, "Somewhere New");
}

TEST_F(SiteDialogs, DeletingTheLastSelectsTheOneBeforeAndOkDropsItsEvents) {
    Store({MakeSite("Home", 100, 40), MakeSite("Ridge", 101, 41), MakeSite("Mesa", 102, 42)});
    EnsureDirectory(dir_.file("events").c_str());
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("events/Mesa.bin"), "events"));
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("events/Home.bin"), "events"));
    LocationRecord asked = MakeSite("Mesa", 102, 42);
    int selectionAfter = -2;
    std::string shown;
    bool ran = RunScript(
        {// Home has events: No keeps it.
         ChooseRow(kSites, IDC_SITE_LIST, 0, true), Press(kSites, IDC_SITE_DELETE),
         Answer("Delete Location", IDNO, nullptr),
         On(kSites, [&](HWND d) { EXPECT_EQ(SendDlgItemMessageA(d, IDC_SITE_LIST, LB_GETCOUNT, 0, 0), 3); }),
         ChooseRow(kSites, IDC_SITE_LIST, 2, true), Press(kSites, IDC_SITE_DELETE),
         Answer("Delete Location", IDYES, nullptr),
         On(kSites, [&](HWND d) {
                 selectionAfter = (int)SendDlgItemMessageA(d, IDC_SITE_LIST, LB_GETCURSEL, 0, 0);
                 char text[64] = "";
                 SendDlgItemMessageA(d, IDC_SITE_LIST, LB_GETTEXT, selectionAfter, (LPARAM)text);
                 shown = text;
             }),
         Press(kSites, IDOK)},
        [&] { EXPECT_EQ(PickLocation(nullptr, Resources(), &asked), 1); });
    ASSERT_TRUE(ran);
    EXPECT_EQ(selectionAfter, 1);
    EXPECT_EQ(shown, "Ridge");
    std::vector<StoredSite> sites = ReadSites();
    ASSERT_EQ(sites.size(), 2u);
    EXPECT_STREQ(asked.name, "Ridge");
    LocationRecord mesa = MakeSite("Mesa", 102, 42), home = MakeSite("Home", 100, 40);
    EXPECT_EQ(EventFilesExist(&mesa), 0);
    EXPECT_EQ(EventFilesExist(&home), 1);
}

TEST_F(SiteDialogs, EditDialogRefusesBadDataAndAddsToFavorites) {
    Store({MakeSite("Home", 100, 40)});
    LocationRecord site = MakeSite("Hilltop", 99, 38);
    LocationTrailer trailer = {2, 1, 0};  // Central, feet
    const char kEdit[] = "Edit Observing Site";
    std::string error, hourMark, latitudeError, elevationShown;
    bool ran = RunScript(
        {On(kEdit, [&](HWND d) {
                 elevationShown = ItemText(d, IDC_SITEEDIT_ELEVATION);
                 Screenshot(d, "site_edit_dialog");
             }),
         Type(kEdit, IDC_SITEEDIT_LONGITUDE, "abc"), Press(kEdit, IDOK), Answer(kMessage, IDOK, &error),
         Type(kEdit, IDC_SITEEDIT_LONGITUDE, "12a"), Press(kEdit, IDOK), Answer(kMessage, IDOK, &hourMark),
         Type(kEdit, IDC_SITEEDIT_LONGITUDE, "99:30"), Type(kEdit, IDC_SITEEDIT_LATITUDE, ""), Press(kEdit, IDOK),
         Answer(kMessage, IDOK, &latitudeError),
         // The picker's form with blanks is a latitude.
         Type(kEdit, IDC_SITEEDIT_LATITUDE, "40 00 00"), Type(kEdit, IDC_SITEEDIT_NAME, "Hill Top"),
         Press(kEdit, IDC_SITEEDIT_ADD_FAVORITE),
         On(kSites, [&](HWND d) { Screenshot(d, "site_dialog_after_add"); }), Press(kSites, IDOK)},
        [&] { EXPECT_EQ(EditLocation(nullptr, Resources(), &site, &trailer), 2); });
    ASSERT_TRUE(ran);
    EXPECT_EQ(elevationShown, "984");  // 300 m in feet
    // The refusal keeps its first line and names the field and its text.
    EXPECT_EQ(error, "Error in data format\r\n\r\nThe West Longitude field holds no number: \"abc\".");
    EXPECT_EQ(hourMark, "Error in data format\r\n\r\nThe West Longitude field holds no number: \"12a\".");
    EXPECT_EQ(latitudeError, "Error in data format\r\n\r\nThe Latitude field holds no number: \"\".");
    EXPECT_STREQ(site.name, "Hill Top");
    EXPECT_NEAR(site.longitude, 99.5 * kDeg, 1e-12);
    EXPECT_NEAR(site.latitude, 40.0 * kDeg, 1e-12);
    std::vector<StoredSite> sites = ReadSites();
    ASSERT_EQ(sites.size(), 2u);
    EXPECT_STREQ(sites[1].site.name, "Hill Top");
    // The edited site keeps its named zone and unit in the favourites.
    EXPECT_EQ(+sites[1].trailer.namedZone, 2);
    EXPECT_EQ(+sites[1].trailer.elevationInFeet, 1);
    EXPECT_EQ(+sites[1].site.timeZone, -6.0);
}

// ---- observers ----------------------------------------------------------------------------

const char kObservers[] = "Observers";

std::vector<ObserverRecord> ReadObservers() {
    std::vector<ObserverRecord> out;
    int16_t count = 0;
    FILE *f = OpenObserverStore(&count);
    if (!f) return out;
    for (int i = 0; i < count; ++i) {
        ObserverRecord r;
        if (ReadObserver(f, i, &r)) out.push_back(r);
    }
    std::fclose(f);
    return out;
}

class ObserverDialogs : public SiteDialogs {
protected:
    void StoreObservers(const std::vector<ObserverRecord> &observers) {
        int16_t count = 0;
        FILE *f = OpenObserverStore(&count);
        ASSERT_NE(f, nullptr);
        for (const ObserverRecord &o : observers) ASSERT_EQ(AppendObserver(f, &o), 1);
        std::fclose(f);
    }
    static ObserverRecord Observer(const char *name, int age, double pupil, double experience) {
        ObserverRecord o;
        InitObserverRecord(&o, name, age, pupil, experience);
        return o;
    }
};

TEST_F(ObserverDialogs, PickingMatchesIgnoringCaseAndSavesTypedValues) {
    StoreObservers({Observer("Bob", 50, 5.5, 0.25), Observer("alice", 30, 6.8, 0.625)});
    ObserverRecord asked = Observer("Alice", 30, 6.8, 0.625);
    int row = -1;
    std::string age, ageBack;
    bool ran = RunScript(
        {On(kObservers, [&](HWND d) {
                 row = (int)SendDlgItemMessageA(d, IDC_OBSERVER_EXPERIENCE, CB_GETCURSEL, 0, 0);
                 age = ItemText(d, IDC_OBSERVER_AGE);
                 Screenshot(d, "observer_dialog");
             }),
         Type(kObservers, IDC_OBSERVER_AGE, "2"), Type(kObservers, IDC_OBSERVER_AGE, "20"),
         Type(kObservers, IDC_OBSERVER_AGE, "201"),
         // Switching away saves what the fields gave (201 fails the check, so
         // the age taken while typing stays); coming back shows it.
         ChooseRow(kObservers, IDC_OBSERVER_LIST, 0, true), ChooseRow(kObservers, IDC_OBSERVER_LIST, 1, true),
         On(kObservers, [&](HWND d) { ageBack = ItemText(d, IDC_OBSERVER_AGE); }),
         Press(kObservers, IDOK)},
        [&] { EXPECT_EQ(PickObserver(nullptr, Resources(), &asked), 1); });
    ASSERT_TRUE(ran);
    EXPECT_EQ(row, 3);
    EXPECT_EQ(age, "30");
    EXPECT_STREQ(asked.name, "alice");
    EXPECT_EQ(ageBack, "20");
    EXPECT_EQ(+asked.age, 20);
    EXPECT_EQ(+asked.experience, 0.75);  // row 3 saved at OK
    std::vector<ObserverRecord> obs = ReadObservers();
    ASSERT_EQ(obs.size(), 2u);
    EXPECT_EQ(+obs[1].age, 20);
}

TEST_F(ObserverDialogs, ARecordWithoutANameIsNotAdded) {
    StoreObservers({Observer("Bob", 50, 5.5, 0.25)});
    ObserverRecord blank = Observer("", 40, 0.0, 0.5);
    int count = -1;
    bool ran = RunScript(
        {On(kObservers, [&](HWND d) { count = (int)SendDlgItemMessageA(d, IDC_OBSERVER_LIST, LB_GETCOUNT, 0, 0); }),
         Press(kObservers, IDOK)},
        [&] { EXPECT_EQ(PickObserver(nullptr, Resources(), &blank), 0); });
    ASSERT_TRUE(ran);
    EXPECT_EQ(count, 1);
    EXPECT_STREQ(blank.name, "Bob");  // the first observer was picked
    EXPECT_EQ(ReadObservers().size(), 1u);
}

TEST_F(ObserverDialogs, AddDeleteAndCancelRestoresTheStore) {
    StoreObservers({Observer("Bob", 50, 5.5, 0.25)});
    std::string before = testutil::ReadFileBytes(dir_.file("observer.bin"));
    ObserverRecord asked = Observer("Carol", 45, 6.0, 0.5);
    int countAfterAdd = 0, countAfterDeletes = -1, selectionAfterDeletes = 0;
    std::string addedName;
    bool ran = RunScript(
        {Press(kObservers, IDC_OBSERVER_ADD),
         On(kObservers, [&](HWND d) {
                 countAfterAdd = (int)SendDlgItemMessageA(d, IDC_OBSERVER_LIST, LB_GETCOUNT, 0, 0);
                 addedName = ItemText(d, IDC_OBSERVER_NAME);
             }),
         Press(kObservers, IDC_OBSERVER_DELETE), Press(kObservers, IDC_OBSERVER_DELETE),
         On(kObservers, [&](HWND d) { SendDlgItemMessageA(d, IDC_OBSERVER_LIST, WM_KEYDOWN, VK_DELETE, 0); }),
         On(kObservers, [&](HWND d) {
                 countAfterDeletes = (int)SendDlgItemMessageA(d, IDC_OBSERVER_LIST, LB_GETCOUNT, 0, 0);
                 selectionAfterDeletes = (int)SendDlgItemMessageA(d, IDC_OBSERVER_LIST, LB_GETCURSEL, 0, 0);
             }),
         Press(kObservers, IDCANCEL)},
        [&] { EXPECT_EQ(PickObserver(nullptr, Resources(), &asked), -1); });
    ASSERT_TRUE(ran);
    EXPECT_EQ(countAfterAdd, 3);  // Bob, Carol (added on opening), New Observer
    EXPECT_EQ(addedName, "New Observer");
    EXPECT_EQ(countAfterDeletes, 0);
    EXPECT_EQ(selectionAfterDeletes, -1);
    EXPECT_EQ(testutil::ReadFileBytes(dir_.file("observer.bin")), before);
    EXPECT_STREQ(asked.name, "Carol");
}

TEST_F(ObserverDialogs, EditObserverComputesThePupilAndWarnsOfAClash) {
    StoreObservers({Observer("Dana", 60, 5.0, 1.0)});
    ObserverRecord edited = Observer("Dana", 40, 4.0, 0.5);
    const char kEdit[] = "Edit Observer";
    std::string pupil, clash;
    bool ran = RunScript({On(kEdit, [&](HWND d) { Screenshot(d, "observer_edit_dialog"); }),
                          Press(kEdit, IDC_OBSERVEREDIT_COMPUTE_PUPIL),
                          On(kEdit, [&](HWND d) { pupil = ItemText(d, IDC_OBSERVEREDIT_PUPIL); }),
                          Press(kEdit, IDC_OBSERVEREDIT_ADD_FAVORITE), Answer(kMessage, IDOK, &clash),
                          Type(kEdit, IDC_OBSERVEREDIT_NAME, "Dana B"),
                          Press(kEdit, IDC_OBSERVEREDIT_ADD_FAVORITE), Press(kObservers, IDOK)},
                         [&] { EXPECT_EQ(EditObserver(nullptr, Resources(), &edited), 1); });
    ASSERT_TRUE(ran);
    EXPECT_EQ(pupil, "6.5");
    EXPECT_EQ(clash.substr(0, 62), "An entry already exists for this observer with different data.");
    std::vector<ObserverRecord> obs = ReadObservers();
    ASSERT_EQ(obs.size(), 2u);
    EXPECT_STREQ(obs[1].name, "Dana B");
    // The computed 6.46 mm is shown as 6.5, and the field is read back as shown.
    EXPECT_EQ(+obs[1].pupilDiameter, 6.5);
}

}  // namespace
