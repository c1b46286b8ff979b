// The object picker driven for real under Windows or Wine on the demo
// installation's catalogues: a thread timer runs a script of steps inside the
// picker's modal loop (typing, choosing rows, switching pages, pressing
// buttons, answering message boxes) and the object RequestObjectDialog hands
// back is checked. The templates come from gleaner.exe, loaded as a data
// file; a capture of each page goes into the build tree's "screenshots".
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/hostcallbacks.h"
#include "astro/datetime.h"
#include "astro/location.h"
#include "core/datapaths.h"
#include "core/dlgsettings.h"
#include "core/userfolder.h"
#include "ephem/ephemload.h"
#include "objects/objectrecord.h"
#include "picker/picker_win.h"
#include "picker/pickerhistory.h"
#include "picker/pickerstate_win.h"
#include "objects/recognize.h"
#include "testutil/screenshot_win.h"
#include "testutil/hostclasses_win.h"
#include "testutil/dialogscript_win.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"
#include "resources/pickerids.h"

namespace {

using namespace testutil;

const char kTitle[] = "Object Requestor -- Find an Object in the Database";
const char kMessage[] = "Nightjar Message";

std::string Demo() { return testutil::BuildDir() + "/demo"; }

// gleaner.exe's dialog templates, with the class-picture cell registered
// for it and the pictures loaded from the demo installation.
HINSTANCE Resources() {
    static HINSTANCE module = nullptr;
    if (!module && (module = ProgramResources())) RegisterHostClasses(module, (Demo() + "/install").c_str());
    return module;
}

// Windows of the open picker.
HWND Frame() { return FindDialog(kTitle); }
HWND Requestor() { return Frame() && g_requestor ? g_requestor->requestor : nullptr; }
HWND Page() { return Frame() && g_requestor ? g_requestor->activePage : nullptr; }

Step OpenTab(int page) {
    return On(Requestor, [=](HWND r) {
        HWND tabs = GetDlgItem(r, IDC_REQ_TABS);
        SendMessageA(tabs, TCM_SETCURSEL, page, 0);
        NMHDR header = {tabs, (UINT_PTR)IDC_REQ_TABS, (UINT)TCN_SELCHANGE};
        SendMessageA(r, WM_NOTIFY, IDC_REQ_TABS, (LPARAM)&header);
    });
}
Step Shot(const char *name, int *bluePixels = nullptr) {
    std::string n = name;
    return On(Frame, [=](HWND f) {
        UpdateWindow(f);
        testutil::WindowPicture picture = testutil::CaptureClientArea(f);
        testutil::SaveScreenshot(picture, n.c_str());
        if (bluePixels) *bluePixels = (int)picture.pixels.size();
    });
}


// ---- fixture -------------------------------------------------------------------------------

class Picker : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Resources()) << "gleaner.exe with the dialog templates is not beside the tests";
        if (!testutil::PathIsThere(Demo() + "/data/ref/stars.bin") &&
            !testutil::PathIsThere(Demo() + "/disc/ref/stars.bin"))
            GTEST_SKIP() << "no demo installation under the build folder";
        std::string ref0 = Demo() + "/data/ref", ref1 = Demo() + "/disc/ref";
        SetRefDirectories(ref0.c_str(), ref1.c_str(), ref1.c_str());
        // The planets' places come from the ephemeris tables the program
        // loads at start-up.
        static char ss[512];
        std::snprintf(ss, sizeof ss, "%s/data/ss", Demo().c_str());
        if (!EphemerisTablesLoaded()) LoadEphemerisData(ss);
        SetUserDataFolder(dir_.path().c_str());
        ASSERT_EQ(ResetDialogSettings(), 1);
        site_ = *GetDefaultLocation(0);
        date_ = *GetNowAtDefaultLocation();
    }
    void TearDown() override { SetUserDataFolder(""); }
    int Open(ObjectRecord *record, const char *preset) {
        return RequestObjectDialog(nullptr, Resources(), &site_, &date_, record, preset);
    }
    static ObjectRecord Nothing() {
        ObjectRecord r;
        ClearObjectRecord(&r);
        return r;  // index -1
    }
    testutil::TempDir dir_;
    LocationRecord site_;
    DateRecord date_;
};

TEST_F(Picker, PresetSearchThenTypedNamePickedAndReturned) {
    // What the picker must hand back for "Vega": the star recognition finds.
    char text[256] = "Vega";
    ObjectRecord expected[3];
    ASSERT_GT(IdentifyObjectText(text, 0.0, &site_, &date_, 0.2, expected), 0);

    ObjectRecord record = Nothing();
    std::vector<std::string> presetRows, typedRows;
    std::string presetText, panelName;
    int result = -1;
    bool ran = RunScript(
        {
            // The preset text is in the edit and has been searched.
            Wait([&] {
                return Page() && SendDlgItemMessageA(Page(), IDC_SEARCH_RESULTS, LB_GETCOUNT, 0, 0) > 0;
            }),
            On(Page,
               [&](HWND p) {
                   presetText = ItemText(p, IDC_SEARCH_TEXT);
                   presetRows = Rows(p, IDC_SEARCH_RESULTS, true);
               }),
            Shot("picker_search_preset"),
            Type(Page, IDC_SEARCH_TEXT, "vega"),
            Press(Page, IDC_SEARCH_GO),
            Wait([&] {
                HWND p = Page();
                return p && SendDlgItemMessageA(p, IDC_SEARCH_RESULTS, LB_FINDSTRINGEXACT, -1,
                                                (LPARAM) "Vega") >= 0;
            }),
            On(Page,
               [&](HWND p) {
                   typedRows = Rows(p, IDC_SEARCH_RESULTS, true);
                   int row = (int)SendDlgItemMessageA(p, IDC_SEARCH_RESULTS, LB_FINDSTRINGEXACT, -1,
                                                      (LPARAM) "Vega");
                   SendDlgItemMessageA(p, IDC_SEARCH_RESULTS, LB_SETCURSEL, row, 0);
                   SendMessageA(p, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_RESULTS, LBN_SELCHANGE),
                                (LPARAM)GetDlgItem(p, IDC_SEARCH_RESULTS));
               }),
            On(Requestor, [&](HWND r) { panelName = ItemText(r, IDC_REQ_NAME); }),
            Shot("picker_search"),
            Press(Frame, IDOK),
        },
        [&] { result = Open(&record, "Orion"); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(presetText, "Orion");
    ASSERT_FALSE(presetRows.empty());
    EXPECT_EQ(presetRows[0], "Orion");  // the constellation, equal ignoring case, ranks first
    EXPECT_FALSE(typedRows.empty());
    EXPECT_EQ(panelName, "Vega");
    ASSERT_EQ(result, 1);
    EXPECT_EQ(+record.objectClass, +expected[0].objectClass);
    EXPECT_EQ(+record.index, +expected[0].index);

    // OK recorded it as the newest recent object; the next picker lists it,
    // and Cancel leaves the caller's record alone.
    ObjectRecord recent[kRecentObjectCount];
    LoadRecentObjects(recent);
    EXPECT_EQ(+recent[0].index, +expected[0].index);
    ObjectRecord again = Nothing();
    std::vector<std::string> recentRows;
    ran = RunScript({On(Requestor, [&](HWND r) { recentRows = Rows(r, IDC_REQ_RECENT, false); }),
                     Press(Frame, IDCANCEL)},
                    [&] { result = Open(&again, nullptr); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(+again.index, -1);
    EXPECT_EQ(recentRows, (std::vector<std::string>{"", "Vega"}));
}

// A search that finds nothing leaves nothing on show: the panel and the
// result list are emptied, and OK says that nothing is chosen instead of
// returning the object shown before (the picker's starting planet, or the
// previous search's result). Searching again and keeping the row chosen
// then returns it.
TEST_F(Picker, SearchThatFindsNothingChoosesNothing) {
    ObjectRecord record = Nothing();
    std::string emptyName, secondEmptyName, message1, message2;
    int emptyRows = -1, secondEmptyRows = -1;
    int result = -1;
    auto rowCount = [] { return Page() ? (int)SendDlgItemMessageA(Page(), IDC_SEARCH_RESULTS, LB_GETCOUNT, 0, 0) : -1; };
    bool ran = RunScript(
        {
            // The preset text finds nothing.
            Wait([&] { return Page() && ItemText(Page(), IDC_SEARCH_TEXT) == "Qwerty 12345"; }),
            Press(Page, IDC_SEARCH_GO),
            On(Requestor, [&](HWND r) {
                emptyName = ItemText(r, IDC_REQ_NAME);
                emptyRows = rowCount();
            }),
            Press(Frame, IDOK),
            Answer(kMessage, IDOK,&message1),
            // A search that finds Vega, then one that finds nothing.
            Type(Page, IDC_SEARCH_TEXT, "Vega"),
            Press(Page, IDC_SEARCH_GO),
            Wait([&] { return rowCount() > 0; }),
            Type(Page, IDC_SEARCH_TEXT, "Qwerty 12345"),
            Press(Page, IDC_SEARCH_GO),
            Wait([&] { return rowCount() == 0; }),
            On(Requestor, [&](HWND r) {
                secondEmptyName = ItemText(r, IDC_REQ_NAME);
                secondEmptyRows = rowCount();
            }),
            Shot("picker_search_nothing"),
            Press(Frame, IDOK),
            Answer(kMessage, IDOK,&message2),
            Press(Frame, IDCANCEL),
        },
        [&] { result = Open(&record, "Qwerty 12345"); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(emptyName, "");
    EXPECT_EQ(emptyRows, 0);
    EXPECT_EQ(message1.rfind("No object is chosen.", 0), 0u) << message1;
    EXPECT_EQ(secondEmptyName, "");
    EXPECT_EQ(secondEmptyRows, 0);
    EXPECT_EQ(message2.rfind("No object is chosen.", 0), 0u) << message2;
    EXPECT_EQ(result, 0);
    EXPECT_EQ(+record.index, -1);
    EXPECT_EQ(+record.objectClass, +Nothing().objectClass);
}

TEST_F(Picker, StartsOnJupiterWhoseSecondSatelliteIsKindTwo) {
    ObjectRecord record = Nothing();
    std::vector<std::string> satellites;
    std::string label, name;
    int result = -1;
    bool ran = RunScript(
        {
            On(Requestor,
               [&](HWND r) {
                   satellites = Rows(r, IDC_REQ_COMPONENTS, false);
                   label = ItemText(r, IDC_REQ_COMPONENTS_LABEL);
                   name = ItemText(r, IDC_REQ_NAME);
               }),
            ChooseRow(Requestor, IDC_REQ_COMPONENTS, 2, false),
            ChooseRow(Page, IDC_SEARCH_SCOPE, 2, false),  // search scope "Stars"
            Press(Frame, IDOK),
        },
        [&] { result = Open(&record, nullptr); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(name, "Jupiter");
    EXPECT_EQ(label, "Satellite");
    ASSERT_GE(satellites.size(), 3u);
    EXPECT_EQ(satellites[0], " ");
    EXPECT_EQ(satellites[2], "Europa");
    ASSERT_EQ(result, 1);
    EXPECT_EQ(+record.objectClass, 2);
    EXPECT_EQ(+record.index, 5);
    EXPECT_EQ(+record.kind, 2);
    // The Search page kept its scope as 4 bytes under key 86.
    int32_t scope = -1;
    ASSERT_EQ(GetDialogSetting(&scope, 4, kDdsSearchScope), 1);
    EXPECT_EQ(scope, 2);
}

TEST_F(Picker, CoordinateErrorsComeInFieldOrderAndOkReadsTypedCoordinates) {
    ObjectRecord record = Nothing();
    std::vector<std::string> messages(4);
    std::string raAfter, decAfter, equinoxAfter, equinoxFilled, panelRa;
    bool okStayedOpen = false;
    int result = -1;
    bool ran = RunScript(
        {
            OpenTab(kPageCoordinates),
            Wait([] { return Page() && GetDlgItem(Page(), IDC_COORD_RA); }),
            Press(Page, IDC_COORD_HOURS),  // hours
            Type(Page, IDC_COORD_RA, ""),
            Type(Page, IDC_COORD_DEC, "+20 00 00"),
            Type(Page, IDC_COORD_EQUINOX, "J2000"),
            Press(Page, IDC_COORD_ACCEPT),
            Answer(kMessage, IDOK,&messages[0]),
            Type(Page, IDC_COORD_RA, "12 30 00"),
            Type(Page, IDC_COORD_DEC, "n/a"),
            Type(Page, IDC_COORD_EQUINOX, "J1991.25"),
            Press(Page, IDC_COORD_ACCEPT),
            Answer(kMessage, IDOK,&messages[1]),
            On(Page, [&](HWND p) { decAfter = ItemText(p, IDC_COORD_DEC); }),
            Type(Page, IDC_COORD_DEC, "+20 00 00"),
            Press(Page, IDC_COORD_ACCEPT),
            Answer(kMessage, IDOK,&messages[2]),
            On(Page, [&](HWND p) { equinoxAfter = ItemText(p, IDC_COORD_EQUINOX); }),
            Type(Page, IDC_COORD_EQUINOX, ""),
            Press(Page, IDC_COORD_ACCEPT),
            Wait([] { return ItemText(Requestor(), IDC_REQ_RA) == "12h30m00s"; }),
            On(Page, [&](HWND p) { equinoxFilled = ItemText(p, IDC_COORD_EQUINOX); }),
            On(Requestor, [&](HWND r) { panelRa = ItemText(r, IDC_REQ_RA); }),
            Shot("picker_coordinates"),
            // Typed again and not accepted: OK reads the fields first, and an
            // error keeps the picker open.
            Press(Page, IDC_COORD_DEGREES),  // degrees
            Type(Page, IDC_COORD_RA, "x"),
            Press(Frame, IDOK),
            Answer(kMessage, IDOK,&messages[3]),
            On(Page,
               [&](HWND p) {
                   okStayedOpen = Frame() != nullptr;
                   raAfter = ItemText(p, IDC_COORD_RA);
               }),
            Type(Page, IDC_COORD_RA, "187.5"),
            Press(Frame, IDOK),
        },
        [&] { result = Open(&record, nullptr); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(messages[0], "Error reading RA");
    EXPECT_EQ(messages[1], "Error reading Declination");
    EXPECT_EQ(messages[2], "Error reading epoch");
    EXPECT_EQ(messages[3], "Error reading RA");
    EXPECT_EQ(decAfter, "");
    EXPECT_EQ(equinoxAfter, "");
    EXPECT_EQ(equinoxFilled, "J2000");
    EXPECT_EQ(panelRa, "12h30m00s");
    EXPECT_TRUE(okStayedOpen);
    EXPECT_EQ(raAfter, "");
    ASSERT_EQ(result, 1);
    EXPECT_EQ(+record.objectClass, 15);
    EXPECT_EQ(+record.index, 0);
    const double ra = record.raTurns / 2147483647.0 * 2.0 * kPi;
    const double dec = record.decTurns / 2147483647.0 * 2.0 * kPi;
    EXPECT_NEAR(ra * 12.0 / kPi, 12.5, 1e-6);  // 187.5 degrees
    EXPECT_NEAR(dec * 180.0 / kPi, 20.0, 1e-6);
    // The degrees choice is kept under key 74.
    unsigned char format = 9;
    ASSERT_EQ(GetDialogSetting(&format, 1, kDdsCoordinateUnits), 1);
    EXPECT_EQ(format, 1);
}

bool PutClipboardText(const char *text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    size_t n = std::strlen(text) + 1;
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, n);
    bool ok = false;
    if (data) {
        std::memcpy(GlobalLock(data), text, n);
        GlobalUnlock(data);
        ok = SetClipboardData(CF_TEXT, data) != nullptr;
        if (!ok) GlobalFree(data);
    }
    CloseClipboard();
    return ok;
}

// A pair pasted while "Degrees" is chosen shows the RA in degrees, so that
// OK, which reads the fields again, keeps the pasted place.
TEST_F(Picker, PasteInDegreesKeepsThePlaceThroughOk) {
    ASSERT_TRUE(PutClipboardText("12h30m00s +20d15m00s"));
    ObjectRecord record = Nothing();
    std::string ra, dec, equinox;
    int result = -1;
    bool ran = RunScript(
        {
            OpenTab(kPageCoordinates),
            Wait([] { return Page() && GetDlgItem(Page(), IDC_COORD_RA); }),
            Press(Page, IDC_COORD_DEGREES),
            Press(Page, IDC_COORD_PASTE),
            Wait([] { return !ItemText(Page(), IDC_COORD_RA).empty(); }),
            On(Page,
               [&](HWND p) {
                   ra = ItemText(p, IDC_COORD_RA);
                   dec = ItemText(p, IDC_COORD_DEC);
                   equinox = ItemText(p, IDC_COORD_EQUINOX);
               }),
            Press(Frame, IDOK),
        },
        [&] { result = Open(&record, nullptr); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(ra, "187.50000000");
    EXPECT_EQ(dec, "+20\xB0" "15'00\"");
    EXPECT_EQ(equinox, "J2000");
    ASSERT_EQ(result, 1);
    EXPECT_EQ(+record.objectClass, 15);
    EXPECT_NEAR(record.raTurns / 2147483647.0 * 24.0, 12.5, 1e-6);
    EXPECT_NEAR(record.decTurns / 2147483647.0 * 360.0, 20.25, 1e-6);
}

TEST_F(Picker, BrowsePageListsConstellationsByPattern) {
    ObjectRecord record = Nothing();
    std::vector<std::string> classes, bodies, constellations;
    std::string count, nothingChosen;
    int result = -1;
    bool ran = RunScript(
        {
            OpenTab(kPageBrowse),
            Wait([] { return Page() && GetDlgItem(Page(), IDC_BROWSE_LIST); }),
            On(Page,
               [&](HWND p) {
                   classes = Rows(p, IDC_BROWSE_CLASSES, false);
                   bodies = Rows(p, IDC_BROWSE_LIST, true);
               }),
            Shot("picker_browse"),
            ChooseRow(Page, IDC_BROWSE_CLASSES, 0, false),  // Constellations
            Type(Page, IDC_BROWSE_PATTERN, "Ca"),
            On(Page,
               [&](HWND p) { SendMessageA(p, WM_COMMAND, MAKEWPARAM(IDC_BROWSE_PATTERN, EN_KILLFOCUS), 0); }),
            On(Page,
               [&](HWND p) {
                   constellations = Rows(p, IDC_BROWSE_LIST, true);
                   count = ItemText(p, IDC_BROWSE_COUNT);
               }),
            Shot("picker_browse_constellations"),
            Press(Frame, IDOK),
            Answer(kMessage, IDOK,&nothingChosen),
            Press(Frame, IDCANCEL),
        },
        [&] { result = Open(&record, nullptr); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    // No row was chosen: OK returns neither the object the picker started on
    // nor the browse class with the old object's index; it says so.
    EXPECT_EQ(nothingChosen.rfind("No object is chosen.", 0), 0u) << nothingChosen;
    EXPECT_EQ(result, 0);
    EXPECT_EQ(+record.index, -1);
    ASSERT_EQ(classes.size(), 19u);
    EXPECT_EQ(classes[0], "Constellations");
    EXPECT_EQ(classes[18], "Reference Points");
    EXPECT_FALSE(bodies.empty());
    ASSERT_FALSE(constellations.empty());
    for (const std::string &c : constellations) EXPECT_EQ(c.substr(0, 2), "Ca") << c;
    EXPECT_EQ(count.substr(0, 9), "89 total,");
}

// With two recent objects and no object given, the picker starts on the
// older one (the one chosen last is usually the object just linked); a row
// of the recent list makes its object current and OK returns it.
TEST_F(Picker, StartsOnSecondRecentObjectAndRecentRowIsChosen) {
    ObjectRecord orion[3], lyra[3];
    char a[256] = "Orion", b[256] = "Lyra";
    ASSERT_GT(IdentifyObjectText(a, 0.0, &site_, &date_, 0.2, orion), 0);
    ASSERT_GT(IdentifyObjectText(b, 0.0, &site_, &date_, 0.2, lyra), 0);
    ASSERT_EQ(RecordRecentObject(&orion[0]), 1);
    ASSERT_EQ(RecordRecentObject(&lyra[0]), 1);  // newest first: Lyra, Orion
    ObjectRecord record = Nothing();
    std::string startName, chosenName;
    std::vector<std::string> recentRows;
    int result = -1;
    bool ran = RunScript(
        {
            On(Requestor, [&](HWND r) {
                startName = ItemText(r, IDC_REQ_NAME);
                recentRows = Rows(r, IDC_REQ_RECENT, false);
            }),
            ChooseRow(Requestor, IDC_REQ_RECENT, 1, false),
            On(Requestor, [&](HWND r) { chosenName = ItemText(r, IDC_REQ_NAME); }),
            Press(Frame, IDOK),
        },
        [&] { result = Open(&record, nullptr); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(startName, "Orion");
    EXPECT_EQ(recentRows, (std::vector<std::string>{"", "Lyra", "Orion"}));
    EXPECT_EQ(chosenName, "Lyra");
    ASSERT_EQ(result, 1);
    EXPECT_EQ(+record.objectClass, 1);
    EXPECT_EQ(+record.index, +lyra[0].index);
}

// Star listings by Bayer letter, Flamsteed number or variable-star name are
// per constellation: the constellation selector is enabled for them only, and
// both Serpens rows give one filter.
TEST_F(Picker, ConstellationFilterOnlyForStarKindsListedByConstellation) {
    ObjectRecord record = Nothing();
    bool flamsteedEnabled = false, hdEnabled = true;
    int32_t hdFilter = -1, caputFilter = -1, caudaFilter = -1;
    std::string caput, cauda;
    size_t allConstellations = 0;
    int result = -1;
    auto chooseKind = [](const char *name) {
        std::string n = name;
        return On(Page, [=](HWND p) {
            int row =
                (int)SendDlgItemMessageA(p, IDC_BROWSE_KINDS, CB_FINDSTRINGEXACT, -1, (LPARAM)n.c_str());
            SendDlgItemMessageA(p, IDC_BROWSE_KINDS, CB_SETCURSEL, row, 0);
            SendMessageA(p, WM_COMMAND, MAKEWPARAM(IDC_BROWSE_KINDS, CBN_SELCHANGE),
                         (LPARAM)GetDlgItem(p, IDC_BROWSE_KINDS));
        });
    };
    bool ran = RunScript(
        {
            OpenTab(kPageBrowse),
            Wait([] { return Page() && GetDlgItem(Page(), IDC_BROWSE_LIST); }),
            ChooseRow(Page, IDC_BROWSE_CLASSES, 4, false),  // Stars
            chooseKind("Flamsteed"),
            ChooseRow(Page, IDC_BROWSE_CONSTELLATIONS, 76, false),
            On(Page,
               [&](HWND p) {
                   flamsteedEnabled = IsWindowEnabled(GetDlgItem(p, IDC_BROWSE_CONSTELLATIONS)) != FALSE;
                   caputFilter = g_requestor->current.designationConstellation;
                   caput = Rows(p, IDC_BROWSE_CONSTELLATIONS, false)[76];
               }),
            ChooseRow(Page, IDC_BROWSE_CONSTELLATIONS, 77, false),
            On(Page,
               [&](HWND p) {
                   caudaFilter = g_requestor->current.designationConstellation;
                   cauda = Rows(p, IDC_BROWSE_CONSTELLATIONS, false)[77];
               }),
            Shot("picker_browse_flamsteed"),
            chooseKind("HD"),
            On(Page,
               [&](HWND p) {
                   hdEnabled = IsWindowEnabled(GetDlgItem(p, IDC_BROWSE_CONSTELLATIONS)) != FALSE;
                   hdFilter = g_requestor->current.designationConstellation;
               }),
            // An emptied pattern lists everything ("*").
            ChooseRow(Page, IDC_BROWSE_CLASSES, 0, false),
            Type(Page, IDC_BROWSE_PATTERN, "Ca"),
            Press(Page, IDC_BROWSE_CLEAR),
            On(Page, [&](HWND p) { allConstellations = Rows(p, IDC_BROWSE_LIST, true).size(); }),
            Press(Frame, IDCANCEL),
        },
        [&] { result = Open(&record, nullptr); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(flamsteedEnabled);
    EXPECT_EQ(caput.substr(0, 7), "Serpens");
    EXPECT_EQ(cauda.substr(0, 7), "Serpens");
    EXPECT_EQ(caputFilter, 76);
    EXPECT_EQ(caudaFilter, 76);
    EXPECT_FALSE(hdEnabled);
    EXPECT_EQ(hdFilter, 0);
    EXPECT_EQ(allConstellations, 89u);
}

// The requestor run modeless inside another window, as other programs of the
// suite use it: the Browse page's keys arrive through the accelerator table
// while its list has the focus, and Page Down / Page Up move through a paged
// listing (HR numbers, 1,000 a page).
TEST_F(Picker, ModelessBrowseKeysPageThroughHrNumbers) {
    HINSTANCE module = Resources();
    HACCEL keys = LoadAcceleratorsA(module, "REQUESTACCELS");
    ASSERT_NE(keys, nullptr);
    HWND parent = CreateWindowExA(0, "Static", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 700,
                                  520, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    ObjectRecord result = Nothing();
    SetRequestorSiteAndDate(&site_, &date_);
    SetRequestorResultRecord(&result);
    HWND requestor = CreateRequestor(parent, module, 1);
    ASSERT_NE(requestor, nullptr);
    EXPECT_EQ(RequestorExists(), 1);
    auto pump = [] {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    };
    pump();
    HWND tabs = GetDlgItem(requestor, IDC_REQ_TABS);
    SendMessageA(tabs, TCM_SETCURSEL, kPageBrowse, 0);
    NMHDR header = {tabs, (UINT_PTR)IDC_REQ_TABS, (UINT)TCN_SELCHANGE};
    SendMessageA(requestor, WM_NOTIFY, IDC_REQ_TABS, (LPARAM)&header);
    HWND page = g_requestor->activePage;
    ASSERT_NE(page, nullptr);
    auto choose = [&](int id, int row) {
        SendDlgItemMessageA(page, id, CB_SETCURSEL, row, 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)GetDlgItem(page, id));
    };
    choose(IDC_BROWSE_CLASSES, 4);  // Stars
    int hr = (int)SendDlgItemMessageA(page, IDC_BROWSE_KINDS, CB_FINDSTRINGEXACT, -1, (LPARAM) "HR");
    ASSERT_GE(hr, 0);
    choose(IDC_BROWSE_KINDS, hr);
    std::vector<std::string> first = Rows(page, IDC_BROWSE_LIST, true);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first[0], "HR 1");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_BROWSE_PAGES)));

    HWND list = GetDlgItem(page, IDC_BROWSE_LIST);
    SetFocus(list);
    MSG down = {list, WM_KEYDOWN, VK_NEXT, 0, 0, {0, 0}};
    EXPECT_NE(TranslateRequestorAccelerator(keys, &down), 0);
    pump();
    std::vector<std::string> second = Rows(page, IDC_BROWSE_LIST, true);
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(second[0], "HR 1001");
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
    std::string shownName = ItemText(requestor, IDC_REQ_NAME);
    EXPECT_EQ(shownName.substr(0, 2), "HR");  // the first row's star, in the preferred naming

    // The up-down control's arrow goes back a page.
    NMUPDOWN back;
    std::memset(&back, 0, sizeof back);
    back.hdr = {GetDlgItem(page, IDC_BROWSE_PAGES), IDC_BROWSE_PAGES, (UINT)UDN_DELTAPOS};
    back.iDelta = -1;
    SendMessageA(page, WM_NOTIFY, IDC_BROWSE_PAGES, (LPARAM)&back);
    EXPECT_EQ(Rows(page, IDC_BROWSE_LIST, true)[0], "HR 1");

    // Without the focus on the list the keys are not the page's.
    SetFocus(GetDlgItem(page, IDC_BROWSE_PATTERN));
    EXPECT_EQ(TranslateRequestorAccelerator(keys, &down), 0);

    EXPECT_EQ(CopyRequestorSelection(), 1);
    EXPECT_EQ(+result.objectClass, 5);
    DestroyWindow(parent);  // the requestor goes with it, and a modeless state with it
    pump();
    EXPECT_EQ(RequestorExists(), 0);
}

}  // namespace
