// The site and observer dialogs driven for real under Windows or Wine: a
// thread timer runs a script of steps inside the dialogs' own modal loops
// (typing into fields, choosing rows, pressing buttons, answering message
// boxes), and the stores are checked afterwards. The templates come from the
// program's resources in gleaner.exe, loaded as a data file. A capture of
// each dialog is written into the build tree's "screenshots" folder.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/userfolder.h"
#include "core/fileutil.h"
#include "core/resstrings.h"
#include "events/eventfiles.h"
#include "sites/horizon.h"
#include "sites/horizonfile.h"
#include "dialogs/sitedialogs_win.h"
#include "testutil/screenshot_win.h"
#include "testutil/testutil.h"
#include "ui/controls.h"
#include "ui/dib.h"
#include "core/mathutil.h"
#include "testutil/ownwindows_win.h"

namespace {

const double kDeg = kPi / 180.0;

// gleaner.exe beside the test program, loaded for its dialog templates, with
// the link-label class registered for it (dialog controls are made with the
// dialog's instance).
HINSTANCE Resources() {
    static HINSTANCE module = nullptr;
    if (module) return module;
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe(path, n);
    size_t slash = exe.find_last_of("\\/");
    std::string gleaner = exe.substr(0, slash + 1) + "gleaner.exe";
    module = LoadLibraryExA(gleaner.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module) RegisterHyperTextClass(module);
    // The places dialog's tree and list.
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    return module;
}

// ---- the script runner ------------------------------------------------------------------

using Step = std::function<bool()>;  // true: done, go on to the next step
std::vector<Step> g_steps;
size_t g_next = 0;
int g_ticks = 0;
bool g_timedOut = false;

HWND FindDialog(const char *title) {
    HWND w = testutil::FindOwnWindow("#32770", title);
    return w && IsWindowVisible(w) ? w : nullptr;
}

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD) {
    ++g_ticks;
    if (g_next < g_steps.size()) {
        size_t i = g_next;
        if (g_steps[i]()) g_next = i + 1;
    }
    if (g_ticks > 400 && !g_timedOut) {  // about 20 s: close whatever is open
        g_timedOut = true;
        for (const char *t : {"Nightjar Message", "Define New Location", "Edit Location", "Add Location",
                              "Delete Location", "Observing Sites",
                              "Edit Observing Site", "Observers", "Edit Observer"})
            if (HWND w = testutil::FindOwnWindow("#32770", t)) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    }
}

// Runs a dialog-opening call with the script; true when every step ran.
bool RunScript(std::vector<Step> steps, const std::function<void()> &open) {
    g_steps = std::move(steps);
    g_next = 0;
    g_ticks = 0;
    g_timedOut = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, ScriptTick);
    open();
    KillTimer(nullptr, timer);
    return g_next == g_steps.size() && !g_timedOut;
}

// Steps.
Step Press(const char *title, int id) {
    return [=] {
        HWND d = FindDialog(title);
        if (!d) return false;
        PostMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(d, id));
        return true;
    };
}
Step Type(const char *title, int id, const char *text) {
    std::string t = text;
    return [=] {
        HWND d = FindDialog(title);
        if (!d) return false;
        SetDlgItemTextA(d, id, t.c_str());  // sends EN_CHANGE as typing does
        return true;
    };
}
Step ChooseRow(const char *title, int id, int row, bool listBox) {
    return [=] {
        HWND d = FindDialog(title);
        if (!d) return false;
        HWND c = GetDlgItem(d, id);
        SendMessageA(c, listBox ? LB_SETCURSEL : CB_SETCURSEL, row, 0);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, listBox ? LBN_SELCHANGE : CBN_SELCHANGE), (LPARAM)c);
        return true;
    };
}
Step Check(const std::function<void(HWND)> &check, const char *title) {
    return [=] {
        HWND d = FindDialog(title);
        if (!d) return false;
        check(d);
        return true;
    };
}
// Answers a message box with the button given, keeping its text.
Step Answer(const char *title, int button, std::string *text) {
    return [=] {
        HWND box = FindDialog(title);
        if (!box) return false;
        if (text) {
            char buffer[512] = "";
            GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
            *text = buffer;
        }
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return true;
    };
}

std::string ItemText(HWND d, int id) {
    char buffer[256] = "";
    GetDlgItemTextA(d, id, buffer, sizeof buffer);
    return buffer;
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
    bool ran = RunScript(
        {Check(
             [&](HWND d) {
                 HWND list = GetDlgItem(d, 2515);
                 selection = (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
                 char text[64] = "";
                 SendMessageA(list, LB_GETTEXT, 2, (LPARAM)text);
                 list0 = text;
                 lat = ItemText(d, 2520);
                 blue = Screenshot(d, "site_dialog");
             },
             kSites),
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

// "New" makes a site typed by hand: "Add Location" (its gazetteer not
// packaged: an empty tree, OK disabled) leads through "Manual Entry" to the
// coordinates dialog; a "#" typed into the name is taken back, a latitude
// out of range is refused with its message, and the elevation may be typed
// in feet. The new site is stored and selected; the sites dialog sets its
// zone, and OK returns it.
TEST_F(SiteDialogs, NewSiteTypedByHandIsStoredAndPicked) {
    Store({MakeSite("Home", 100, 40)});
    LocationRecord asked = MakeSite("Home", 100, 40);
    const char kPlaces[] = "Add Location", kCoordinates[] = "Define New Location";
    std::string manualLabel, start[4], afterHash, badLatitude, selected, unit;
    bool okDisabled = false, gpsHidden = false;
    bool ran = RunScript(
        {Press(kSites, 9505),
         Check(
             [&](HWND d) {
                 okDisabled = !IsWindowEnabled(GetDlgItem(d, IDOK));
                 manualLabel = ItemText(d, 2551);
                 Screenshot(d, "places_dialog");
             },
             kPlaces),
         Press(kPlaces, 2551),
         Check(
             [&](HWND d) {
                 int ids[4] = {2523, 2525, 2524, 2602};
                 for (int i = 0; i < 4; ++i) start[i] = ItemText(d, ids[i]);
                 gpsHidden = !IsWindowVisible(GetDlgItem(d, 121));
             },
             kCoordinates),
         Type(kCoordinates, 2523, "Bryce Point"), Type(kCoordinates, 2523, "Bryce Point #2"),
         Check([&](HWND d) { afterHash = ItemText(d, 2523); }, kCoordinates),
         Type(kCoordinates, 2525, "112:10:00"), Type(kCoordinates, 2524, "-91"),
         Type(kCoordinates, 2602, "8000"), Press(kCoordinates, 2514),
         Check([&](HWND d) { unit = ItemText(d, 2514); Screenshot(d, "site_coordinates_dialog"); }, kCoordinates),
         Press(kCoordinates, IDOK), Answer(kMessage, IDOK, &badLatitude),
         Type(kCoordinates, 2524, "37:37:30"), Press(kCoordinates, IDOK),
         [&] { return FindDialog(kCoordinates) == nullptr && FindDialog(kPlaces) == nullptr; },
         Check(
             [&](HWND d) {
                 int row = (int)SendDlgItemMessageA(d, 2515, LB_GETCURSEL, 0, 0);
                 char text[64] = "";
                 SendDlgItemMessageA(d, 2515, LB_GETTEXT, row, (LPARAM)text);
                 selected = text;
                 SetDlgItemTextA(d, 2507, "-7");
             },
             kSites),
         Press(kSites, IDOK)},
        [&] { EXPECT_EQ(PickLocation(nullptr, Resources(), &asked), 1); });
    ASSERT_TRUE(ran) << "stopped before step " << g_next;
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

// "Edit" changes the selected site's name, position and elevation in the
// coordinates dialog; Cancel in "Add Location" adds nothing.
TEST_F(SiteDialogs, EditChangesTheSiteAndCancelledNewAddsNothing) {
    Store({MakeSite("Home", 100, 40)});
    LocationRecord asked = MakeSite("Home", 100, 40);
    std::string title, name, longitude, latitude;
    bool ran = RunScript(
        {Press(kSites, 9505), Press("Add Location", IDCANCEL),
         [&] { return FindDialog("Add Location") == nullptr; }, Press(kSites, 2502),
         Check(
             [&](HWND d) {
                 name = ItemText(d, 2523);
                 longitude = ItemText(d, 2525);
                 latitude = ItemText(d, 2524);
             },
             "Edit Location"),
         Type("Edit Location", 2523, "Home Field"), Type("Edit Location", 2524, "40:30"),
         Type("Edit Location", 2602, "250"), Press("Edit Location", IDOK),
         [&] { return FindDialog("Edit Location") == nullptr; }, Press(kSites, IDOK)},
        [&] { EXPECT_EQ(PickLocation(nullptr, Resources(), &asked), 1); });
    ASSERT_TRUE(ran) << "stopped before step " << g_next;
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
    bool ran = RunScript(
        {Check(
             [&](HWND d) {
                 sky = ItemText(d, 2509);
                 gps = GetDlgItem(d, 121) != nullptr;
                 Screenshot(d, "site_dialog_pro");
             },
             kSites),
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
        {Type(kSites, 2511, "100"), Press(kSites, IDOK), Answer(kMessage, IDOK, &warning),
         Type(kSites, 2511, "55"), Type(kSites, 2510, "20"), Type(kSites, 2508, "1200"),
         ChooseRow(kSites, 2506, 3, false),
         Check(
             [&](HWND d) {
                 zoneEnabled = IsWindowEnabled(GetDlgItem(d, 2507));
                 zoneText = ItemText(d, 2507);
                 Screenshot(d, "site_dialog_edited");
             },
             kSites),
         ChooseRow(kSites, 2506, 0, false),
         Check(
             [&](HWND d) {
                 zoneBackEnabled = IsWindowEnabled(GetDlgItem(d, 2507));
                 zoneBackText = ItemText(d, 2507);
             },
             kSites),
         ChooseRow(kSites, 2506, 3, false), Press(kSites, IDOK)},
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
        {Check(
             [&](HWND d) {
                 selection = (int)SendDlgItemMessageA(d, 2515, LB_GETCURSEL, 0, 0);
                 count = (int)SendDlgItemMessageA(d, 2515, LB_GETCOUNT, 0, 0);
                 link = ItemText(d, 2501);
             },
             kSites),
         Press(kSites, 2501), Check([&](HWND d) { toggled = ItemText(d, 2501); }, kSites),
         Press(kSites, IDOK)},
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
         ChooseRow(kSites, 2515, 0, true), Type(kSites, 2511, "77"), ChooseRow(kSites, 2515, 1, true),
         ChooseRow(kSites, 2515, 2, true), Press(kSites, 9502), Answer("Delete Location", IDYES, &question),
         Check([&](HWND d) { EXPECT_EQ(SendDlgItemMessageA(d, 2515, LB_GETCOUNT, 0, 0), 3); }, kSites),
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
         ChooseRow(kSites, 2515, 0, true), Press(kSites, 9502), Answer("Delete Location", IDNO, nullptr),
         Check([&](HWND d) { EXPECT_EQ(SendDlgItemMessageA(d, 2515, LB_GETCOUNT, 0, 0), 3); }, kSites),
         ChooseRow(kSites, 2515, 2, true), Press(kSites, 9502), Answer("Delete Location", IDYES, nullptr),
         Check(
             [&](HWND d) {
                 selectionAfter = (int)SendDlgItemMessageA(d, 2515, LB_GETCURSEL, 0, 0);
                 char text[64] = "";
                 SendDlgItemMessageA(d, 2515, LB_GETTEXT, selectionAfter, (LPARAM)text);
                 shown = text;
             },
             kSites),
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
    std::string error, elevationShown;
    bool ran = RunScript(
        {Check([&](HWND d) { elevationShown = ItemText(d, 2574); Screenshot(d, "site_edit_dialog"); }, kEdit),
         Type(kEdit, 2576, "abc"), Press(kEdit, IDOK), Answer(kMessage, IDOK, &error),
         Type(kEdit, 2576, "99:30"), Type(kEdit, 2565, "Hill Top"), Press(kEdit, 2577),
         Check([&](HWND d) { Screenshot(d, "site_dialog_after_add"); }, kSites), Press(kSites, IDOK)},
        [&] { EXPECT_EQ(EditLocation(nullptr, Resources(), &site, &trailer), 2); });
    ASSERT_TRUE(ran);
    EXPECT_EQ(elevationShown, "984");  // 300 m in feet
    EXPECT_EQ(error, "Error in data format");
    EXPECT_STREQ(site.name, "Hill Top");
    EXPECT_NEAR(site.longitude, 99.5 * kDeg, 1e-12);
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
        {Check(
             [&](HWND d) {
                 row = (int)SendDlgItemMessageA(d, 6203, CB_GETCURSEL, 0, 0);
                 age = ItemText(d, 6206);
                 Screenshot(d, "observer_dialog");
             },
             kObservers),
         Type(kObservers, 6206, "2"), Type(kObservers, 6206, "20"), Type(kObservers, 6206, "201"),
         // Switching away saves what the fields gave (201 fails the check, so
         // the age taken while typing stays); coming back shows it.
         ChooseRow(kObservers, 6200, 0, true), ChooseRow(kObservers, 6200, 1, true),
         Check([&](HWND d) { ageBack = ItemText(d, 6206); }, kObservers), Press(kObservers, IDOK)},
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
        {Check([&](HWND d) { count = (int)SendDlgItemMessageA(d, 6200, LB_GETCOUNT, 0, 0); }, kObservers),
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
        {Press(kObservers, 6202),
         Check(
             [&](HWND d) {
                 countAfterAdd = (int)SendDlgItemMessageA(d, 6200, LB_GETCOUNT, 0, 0);
                 addedName = ItemText(d, 6207);
             },
             kObservers),
         Press(kObservers, 6201), Press(kObservers, 6201),
         Check([&](HWND d) { SendDlgItemMessageA(d, 6200, WM_KEYDOWN, VK_DELETE, 0); }, kObservers),
         Check(
             [&](HWND d) {
                 countAfterDeletes = (int)SendDlgItemMessageA(d, 6200, LB_GETCOUNT, 0, 0);
                 selectionAfterDeletes = (int)SendDlgItemMessageA(d, 6200, LB_GETCURSEL, 0, 0);
             },
             kObservers),
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
    bool ran = RunScript(
        {Check([&](HWND d) { Screenshot(d, "observer_edit_dialog"); }, kEdit), Press(kEdit, 6209),
         Check([&](HWND d) { pupil = ItemText(d, 6211); }, kEdit), Press(kEdit, 6208),
         Answer(kMessage, IDOK, &clash), Type(kEdit, 6213, "Dana B"), Press(kEdit, 6208),
         Press(kObservers, IDOK)},
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
