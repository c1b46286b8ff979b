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
#include "testutil/testutil.h"
#include "core/mathutil.h"
#include "testutil/ownwindows_win.h"

namespace {

const char kTitle[] = "Object Requestor -- Find an Object in the Database";
const char kMessage[] = "Nightjar Message";

std::string Demo() { return testutil::BuildDir() + "/demo"; }

// gleaner.exe beside the test program, loaded for its dialog templates, with
// the class-picture cell registered for it and the pictures loaded from the
// demo installation.
HINSTANCE Resources() {
    static HINSTANCE module = nullptr;
    if (module) return module;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe(path, n);
    std::string gleaner = exe.substr(0, exe.find_last_of("\\/") + 1) + "gleaner.exe";
    module = LoadLibraryExA(gleaner.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    testutil::RegisterHostClasses(module, (Demo() + "/install").c_str());
    return module;
}

// ---- the script runner ------------------------------------------------------------------

using Step = std::function<bool()>;  // true: done, go on
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
    if (g_ticks > 600 && !g_timedOut) {  // about 30 s: close whatever is open
        g_timedOut = true;
        for (const char *t : {kMessage, kTitle})
            if (HWND w = testutil::FindOwnWindow("#32770", t)) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    }
}

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

// Windows of the open picker.
HWND Frame() { return FindDialog(kTitle); }
HWND Requestor() { return Frame() && g_requestor ? g_requestor->requestor : nullptr; }
HWND Page() { return Frame() && g_requestor ? g_requestor->activePage : nullptr; }

// A step on a window (null: not there yet, try again on the next tick).
Step On(const std::function<HWND()> &window, const std::function<void(HWND)> &act) {
    return [=] {
        HWND w = window();
        if (!w) return false;
        act(w);
        return true;
    };
}
Step Wait(const std::function<bool()> &ready) { return ready; }
Step Press(const std::function<HWND()> &window, int id) {
    return On(window, [=](HWND d) {
        PostMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(d, id));
    });
}
Step Type(const std::function<HWND()> &window, int id, const char *text) {
    std::string t = text;
    return On(window, [=](HWND d) { SetDlgItemTextA(d, id, t.c_str()); });
}
Step ChooseRow(const std::function<HWND()> &window, int id, int row, bool listBox) {
    return On(window, [=](HWND d) {
        HWND c = GetDlgItem(d, id);
        SendMessageA(c, listBox ? LB_SETCURSEL : CB_SETCURSEL, row, 0);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, listBox ? LBN_SELCHANGE : CBN_SELCHANGE),
                     (LPARAM)c);
    });
}
Step OpenTab(int page) {
    return On(Requestor, [=](HWND r) {
        HWND tabs = GetDlgItem(r, kReqTabs);
        SendMessageA(tabs, TCM_SETCURSEL, page, 0);
        NMHDR header = {tabs, (UINT_PTR)kReqTabs, (UINT)TCN_SELCHANGE};
        SendMessageA(r, WM_NOTIFY, kReqTabs, (LPARAM)&header);
    });
}
Step Answer(std::string *text) {
    return [=] {
        HWND box = FindDialog(kMessage);
        if (!box) return false;
        char buffer[512] = "";
        GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
        if (text) *text = buffer;
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    };
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

std::string ItemText(HWND d, int id) {
    char buffer[512] = "";
    if (d) GetDlgItemTextA(d, id, buffer, sizeof buffer);
    return buffer;
}
std::vector<std::string> Rows(HWND d, int id, bool listBox) {
    std::vector<std::string> rows;
    int n = (int)SendDlgItemMessageA(d, id, listBox ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        char buffer[256] = "";
        SendDlgItemMessageA(d, id, listBox ? LB_GETTEXT : CB_GETLBTEXT, i, (LPARAM)buffer);
        rows.push_back(buffer);
    }
    return rows;
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
            Wait([&] { return Page() && SendDlgItemMessageA(Page(), 2212, LB_GETCOUNT, 0, 0) > 0; }),
            On(Page, [&](HWND p) {
                presetText = ItemText(p, 2213);
                presetRows = Rows(p, 2212, true);
            }),
            Shot("picker_search_preset"),
            Type(Page, 2213, "vega"),
            Press(Page, 2214),
            Wait([&] {
                HWND p = Page();
                return p && SendDlgItemMessageA(p, 2212, LB_FINDSTRINGEXACT, -1, (LPARAM) "Vega") >= 0;
            }),
            On(Page, [&](HWND p) {
                typedRows = Rows(p, 2212, true);
                int row = (int)SendDlgItemMessageA(p, 2212, LB_FINDSTRINGEXACT, -1, (LPARAM) "Vega");
                SendDlgItemMessageA(p, 2212, LB_SETCURSEL, row, 0);
                SendMessageA(p, WM_COMMAND, MAKEWPARAM(2212, LBN_SELCHANGE),
                             (LPARAM)GetDlgItem(p, 2212));
            }),
            On(Requestor, [&](HWND r) { panelName = ItemText(r, kReqName); }),
            Shot("picker_search"),
            Press(Frame, IDOK),
        },
        [&] { result = Open(&record, "Orion"); });
    ASSERT_TRUE(ran) << "the script stopped at step " << g_next;
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
    ran = RunScript({On(Requestor, [&](HWND r) { recentRows = Rows(r, kReqRecent, false); }),
                     Press(Frame, IDCANCEL)},
                    [&] { result = Open(&again, nullptr); });
    ASSERT_TRUE(ran) << "the script stopped at step " << g_next;
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
    auto rowCount = [] { return Page() ? (int)SendDlgItemMessageA(Page(), 2212, LB_GETCOUNT, 0, 0) : -1; };
    bool ran = RunScript(
        {
            // The preset text finds nothing.
            Wait([&] { return Page() && ItemText(Page(), 2213) == "Qwerty 12345"; }),
            Press(Page, 2214),
            On(Requestor, [&](HWND r) {
                emptyName = ItemText(r, kReqName);
                emptyRows = rowCount();
            }),
            Press(Frame, IDOK),
            Answer(&message1),
            // A search that finds Vega, then one that finds nothing.
            Type(Page, 2213, "Vega"),
            Press(Page, 2214),
            Wait([&] { return rowCount() > 0; }),
            Type(Page, 2213, "Qwerty 12345"),
            Press(Page, 2214),
            Wait([&] { return rowCount() == 0; }),
            On(Requestor, [&](HWND r) {
                secondEmptyName = ItemText(r, kReqName);
                secondEmptyRows = rowCount();
            }),
            Shot("picker_search_nothing"),
            Press(Frame, IDOK),
            Answer(&message2),
            Press(Frame, IDCANCEL),
        },
        [&] { result = Open(&record, "Qwerty 12345"); });
    ASSERT_TRUE(ran) << "the script stopped at step " << g_next;
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
            On(Requestor, [&](HWND r) {
                satellites = Rows(r, kReqComponents, false);
                label = ItemText(r, kReqComponentsLabel);
                name = ItemText(r, kReqName);
            }),
            ChooseRow(Requestor, kReqComponents, 2, false),
            ChooseRow(Page, 2215, 2, false),  // search scope "Stars"
            Press(Frame, IDOK),
        },
        [&] { result = Open(&record, nullptr); });
    ASSERT_TRUE(ran) << "the script stopped at step " << g_next;
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
            Wait([] { return Page() && GetDlgItem(Page(), 2363); }),
            Press(Page, 2360),  // hours
            Type(Page, 2363, ""),
            Type(Page, 2364, "+20 00 00"),
            Type(Page, 2365, "J2000"),
            Press(Page, 1),
            Answer(&messages[0]),
            Type(Page, 2363, "12 30 00"),
            Type(Page, 2364, "n/a"),
            Type(Page, 2365, "J1991.25"),
            Press(Page, 1),
            Answer(&messages[1]),
            On(Page, [&](HWND p) { decAfter = ItemText(p, 2364); }),
            Type(Page, 2364, "+20 00 00"),
            Press(Page, 1),
            Answer(&messages[2]),
            On(Page, [&](HWND p) { equinoxAfter = ItemText(p, 2365); }),
            Type(Page, 2365, ""),
            Press(Page, 1),
            Wait([] { return ItemText(Requestor(), kReqRa) == "12h30m00s"; }),
            On(Page, [&](HWND p) { equinoxFilled = ItemText(p, 2365); }),
            On(Requestor, [&](HWND r) { panelRa = ItemText(r, kReqRa); }),
            Shot("picker_coordinates"),
            // Typed again and not accepted: OK reads the fields first, and an
            // error keeps the picker open.
            Press(Page, 2361),  // degrees
            Type(Page, 2363, "x"),
            Press(Frame, IDOK),
            Answer(&messages[3]),
            On(Page, [&](HWND p) {
                okStayedOpen = Frame() != nullptr;
                raAfter = ItemText(p, 2363);
            }),
            Type(Page, 2363, "187.5"),
            Press(Frame, IDOK),
        },
        [&] { result = Open(&record, nullptr); });
    ASSERT_TRUE(ran) << "the script stopped at step " << g_next;
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
            Wait([] { return Page() && GetDlgItem(Page(), 2363); }),
            Press(Page, 2361),
            Press(Page, 2362),
            Wait([] { return !ItemText(Page(), 2363).empty(); }),
            On(Page, [&](HWND p) {
                ra = ItemText(p, 2363);
                dec = ItemText(p, 2364);
                equinox = ItemText(p, 2365);
            }),
            Press(Frame, IDOK),
        },
        [&] { result = Open(&record, nullptr); });
    ASSERT_TRUE(ran) << "the script stopped at step " << g_next;
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
            Wait([] { return Page() && GetDlgItem(Page(), 2210); }),
            On(Page, [&](HWND p) {
                classes = Rows(p, 2212, false);
                bodies = Rows(p, 2210, true);
            }),
            Shot("picker_browse"),
            ChooseRow(Page, 2212, 0, false),  // Constellations
            Type(Page, 2209, "Ca"),
            On(Page, [&](HWND p) { SendMessageA(p, WM_COMMAND, MAKEWPARAM(2209, EN_KILLFOCUS), 0); }),
            On(Page, [&](HWND p) {
                constellations = Rows(p, 2210, true);
                count = ItemText(p, 2215);
            }),
            Shot("picker_browse_constellations"),
            Press(Frame, IDOK),
            Answer(&nothingChosen),
            Press(Frame, IDCANCEL),
        },
        [&] { result = Open(&record, nullptr); });
    ASSERT_TRUE(ran) << "the script stopped at step " << g_next;
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
                startName = ItemText(r, kReqName);
                recentRows = Rows(r, kReqRecent, false);
            }),
            ChooseRow(Requestor, kReqRecent, 1, false),
            On(Requestor, [&](HWND r) { chosenName = ItemText(r, kReqName); }),
            Press(Frame, IDOK),
        },
        [&] { result = Open(&record, nullptr); });
    ASSERT_TRUE(ran) << "the script stopped at step " << g_next;
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
            int row = (int)SendDlgItemMessageA(p, 2211, CB_FINDSTRINGEXACT, -1, (LPARAM)n.c_str());
            SendDlgItemMessageA(p, 2211, CB_SETCURSEL, row, 0);
            SendMessageA(p, WM_COMMAND, MAKEWPARAM(2211, CBN_SELCHANGE), (LPARAM)GetDlgItem(p, 2211));
        });
    };
    bool ran = RunScript(
        {
            OpenTab(kPageBrowse),
            Wait([] { return Page() && GetDlgItem(Page(), 2210); }),
            ChooseRow(Page, 2212, 4, false),  // Stars
            chooseKind("Flamsteed"),
            ChooseRow(Page, 2208, 76, false),
            On(Page, [&](HWND p) {
                flamsteedEnabled = IsWindowEnabled(GetDlgItem(p, 2208)) != FALSE;
                caputFilter = g_requestor->current.designationConstellation;
                caput = Rows(p, 2208, false)[76];
            }),
            ChooseRow(Page, 2208, 77, false),
            On(Page, [&](HWND p) {
                caudaFilter = g_requestor->current.designationConstellation;
                cauda = Rows(p, 2208, false)[77];
            }),
            Shot("picker_browse_flamsteed"),
            chooseKind("HD"),
            On(Page, [&](HWND p) {
                hdEnabled = IsWindowEnabled(GetDlgItem(p, 2208)) != FALSE;
                hdFilter = g_requestor->current.designationConstellation;
            }),
            // An emptied pattern lists everything ("*").
            ChooseRow(Page, 2212, 0, false),
            Type(Page, 2209, "Ca"),
            Press(Page, 2207),
            On(Page, [&](HWND p) { allConstellations = Rows(p, 2210, true).size(); }),
            Press(Frame, IDCANCEL),
        },
        [&] { result = Open(&record, nullptr); });
    ASSERT_TRUE(ran) << "the script stopped at step " << g_next;
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
    HWND tabs = GetDlgItem(requestor, kReqTabs);
    SendMessageA(tabs, TCM_SETCURSEL, kPageBrowse, 0);
    NMHDR header = {tabs, (UINT_PTR)kReqTabs, (UINT)TCN_SELCHANGE};
    SendMessageA(requestor, WM_NOTIFY, kReqTabs, (LPARAM)&header);
    HWND page = g_requestor->activePage;
    ASSERT_NE(page, nullptr);
    auto choose = [&](int id, int row) {
        SendDlgItemMessageA(page, id, CB_SETCURSEL, row, 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)GetDlgItem(page, id));
    };
    choose(2212, 4);  // Stars
    int hr = (int)SendDlgItemMessageA(page, 2211, CB_FINDSTRINGEXACT, -1, (LPARAM) "HR");
    ASSERT_GE(hr, 0);
    choose(2211, hr);
    std::vector<std::string> first = Rows(page, 2210, true);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first[0], "HR 1");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, 2216)));

    HWND list = GetDlgItem(page, 2210);
    SetFocus(list);
    MSG down = {list, WM_KEYDOWN, VK_NEXT, 0, 0, {0, 0}};
    EXPECT_NE(TranslateRequestorAccelerator(keys, &down), 0);
    pump();
    std::vector<std::string> second = Rows(page, 2210, true);
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(second[0], "HR 1001");
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
    std::string shownName = ItemText(requestor, kReqName);
    EXPECT_EQ(shownName.substr(0, 2), "HR");  // the first row's star, in the preferred naming

    // The up-down control's arrow goes back a page.
    NMUPDOWN back;
    std::memset(&back, 0, sizeof back);
    back.hdr = {GetDlgItem(page, 2216), 2216, (UINT)UDN_DELTAPOS};
    back.iDelta = -1;
    SendMessageA(page, WM_NOTIFY, 2216, (LPARAM)&back);
    EXPECT_EQ(Rows(page, 2210, true)[0], "HR 1");

    // Without the focus on the list the keys are not the page's.
    SetFocus(GetDlgItem(page, 2209));
    EXPECT_EQ(TranslateRequestorAccelerator(keys, &down), 0);

    EXPECT_EQ(CopyRequestorSelection(), 1);
    EXPECT_EQ(+result.objectClass, 5);
    DestroyWindow(parent);  // the requestor goes with it, and a modeless state with it
    pump();
    EXPECT_EQ(RequestorExists(), 0);
}

}  // namespace
