// Wizard steps 3 and 4 driven for real under Windows or Wine on a copy of the
// demo installation's user folder and catalogues: the undefined-name lists,
// linking through the site picker, creating an instrument (through the kind
// prompt and the telescope dialog) and an observer, Continue only when every
// name is known and every line names its values; then the preview with its
// red rows, the detail view, Finish with its result box, a file changed
// before Finish, and a failing preview. A thread timer runs a script of steps
// inside the dialogs' message loops. Captures go into the build tree's
// "screenshots" folder.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/tests/importjobfixture.h"
#include "app/formatfile.h"
#include "app/gleaner_win.h"
#include "app/importpass.h"
#include "app/namelinks.h"
#include "app/step3_win.h"
#include "app/step4_win.h"
#include "core/datapaths.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "instruments/instrumentstore.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"
#include "core/mathutil.h"
#include "testutil/screenshot_win.h"
#include "testutil/dialogscript_win.h"
#include "testutil/testutil.h"
#include "resources/wizardids.h"
#include "resources/siteids.h"

namespace {

using namespace testutil;

// gleaner.exe's dialog templates, with the custom control classes of the
// site and instrument dialogs registered for it: the site dialogs make their
// controls with the templates' instance, the instrument dialogs with the
// program's own module.
HINSTANCE Resources() {
    static HINSTANCE module = nullptr;
    if (module || !(module = ProgramResources())) return module;
    RegisterControlClasses(module);
    RegisterControlClasses(GetModuleHandleA(nullptr));
    return module;
}

std::string Demo(const std::string &sub) { return testutil::BuildDir() + "/demo/" + sub; }

// Selects a row of a list box as a click would, and tells the dialog.
Step SelectRow(HWND *at, int id, int row, int notification = LBN_SELCHANGE) {
    return On(at, [=](HWND d) {
        HWND list = GetDlgItem(d, id);
        SendMessageA(list, LB_SETCURSEL, row, 0);
        PostMessageA(d, WM_COMMAND, MAKEWPARAM(id, notification), (LPARAM)list);
    });
}


void Screenshot(HWND window, const char *name) {
    testutil::SaveScreenshot(testutil::CaptureClientArea(window), name);
}

// As large as the program's main window, so the step pages show whole in the captures.
HWND MakeHost() {
    return CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 660, 460, nullptr, nullptr,
                           nullptr, nullptr);
}

// ---- the fixture ----------------------------------------------------------------------

const char kMessage[] = "Gleaner Message";
const char kSitePicker[] = "Observing Sites";
const char kObserverPicker[] = "Observers";
const char kTypePrompt[] = "Select Instrument Type";
const char kDetail[] = "Individual Log Entry Preview";
const char kResult[] = "Gleaner Results";
const char kDemoSite[] = "Cherry Springs";
const char kDemoObserver[] = "Demo Observer";
const char kDemoScope[] = "Newtonian 8in f/6";

class Steps34 : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Resources()) << "gleaner.exe with the dialog templates is not beside the tests";
        if (testutil::BuildDir().empty() || !testutil::PathIsThere(Demo("user/loc.bin")))
            GTEST_SKIP() << "no demo installation under the build folder";
        SetProgramInstance(Resources());
        // The demo user's stores, copied so the tests may change them.
        for (const char *name : {"loc.bin", "observer.bin", "instr.bin", "eyep.bin", "camera.bin", "filters.bin",
                                 "lenses.bin"}) {
            std::string from = Demo(std::string("user/") + name);
            if (!testutil::PathIsThere(from)) continue;
            ASSERT_EQ(CopyPlainFile(from.c_str(), dir_.file(name).c_str()), 1) << name;
        }
        SetUserDataFolder(dir_.path().c_str());
        SetRefDirectories(Demo("data/ref").c_str(), Demo("disc/ref").c_str(), Demo("disc/ref").c_str());
        ASSERT_EQ(OpenFormatFile(), 1);
        FreeNameLinkTables();
        LoadBuiltInCsvFormat();
        ImportFormat &f = CurrentImportFormat();
        f.delimiter = ',';
        f.commentChar = '#';
        f.skipLines = 0;
        f.siteFixed = f.observerFixed = f.instrumentFixed = 0;
        f.targetColumn = 0;
        f.siteColumn = 1;
        f.observerColumn = 2;
        f.instrumentColumn = 3;
        f.dateColumn = 4;
        f.timeColumn = -1;
        f.descriptionColumn = -1;
        f.conditionColumns[0] = f.conditionColumns[1] = kNoColumn;
        for (int i = 0; i < 5; ++i) f.extraColumns[i] = kNoColumn;
        host_ = MakeHost();
        ASSERT_NE(host_, nullptr);
    }
    void TearDown() override {
        if (HWND step = GetCurrentStepWindow()) DestroyWindow(step);
        SetCurrentStepWindow(nullptr);
        if (host_) DestroyWindow(host_);
        FreeNameLinkTables();
        SetUserDataFolder("");
    }
    void UseLog(const std::string &text) {
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("log.csv"), text));
        std::snprintf(CurrentImportSettings().importPath, 255, "%s", dir_.file("log.csv").c_str());
    }
    std::string Line(const char *target, const char *site = kDemoSite, const char *observer = kDemoObserver,
                     const char *scope = kDemoScope) {
        return std::string(target) + "," + site + "," + observer + "," + scope + ",02/01/2025 21:30\n";
    }
    testutil::TempDir dir_;
    HWND host_ = nullptr;
};

TEST_F(Steps34, StepThreeListsLinksAndCreatesUntilContinueOpens) {
    UseLog(Line("M31", "Backyard", "Zed", "Mystery Scope") + Line("M33", "backyard") +
           Line("M42", kDemoSite, "zed", "Mystery Scope"));
    HWND step = ShowDataLinkStep(host_, CurrentJob());
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(RunUndefinedNameScanBusy(step), 0);
    EXPECT_EQ(Rows(step, IDC_STEP3_INSTRUMENTS), std::vector<std::string>{"Mystery Scope"});
    EXPECT_EQ(Rows(step, IDC_STEP3_LOCATIONS), std::vector<std::string>{"Backyard"});
    EXPECT_EQ(Rows(step, IDC_STEP3_OBSERVERS), std::vector<std::string>{"Zed"});
    EXPECT_FALSE(Enabled(step, IDOK));
    Screenshot(host_, "wizard_step3");

    std::string typeText, observerName, pickedSite;
    std::vector<std::string> listedAfterCancel;
    bool typeTelescope = false;
    bool ran = RunScript(
        {// A new telescope for "Mystery Scope".
         SelectRow(&step, IDC_STEP3_INSTRUMENTS, 0), Press(&step, IDC_STEP3_CREATE),
         On(kTypePrompt,
            [&](HWND d) {
                typeText = ItemText(d, IDC_INSTTYPE_TEXT);
                typeTelescope = IsDlgButtonChecked(d, IDC_INSTTYPE_TELESCOPE) == BST_CHECKED;
                Screenshot(d, "inst_type_dialog");
            }),
         // Cancel in the telescopes takes the new telescope away again and
         // links nothing: the name stays listed.
         Press(kTypePrompt, IDOK),
         On("Add/ModifyTelescopes", [&](HWND d) { Screenshot(d, "wizard_step3_new_scope"); }),
         Press("Add/ModifyTelescopes", IDCANCEL),
         [&] { return FindDialog("Add/ModifyTelescopes") == nullptr; },
         On(&step, [&](HWND d) { listedAfterCancel = Rows(d, IDC_STEP3_INSTRUMENTS); }),
         // Binoculars for it, kept with Done (the chart settings for a new
         // instrument are answered with their defaults when asked).
         SelectRow(&step, IDC_STEP3_INSTRUMENTS, 0), Press(&step, IDC_STEP3_CREATE),
         On(kTypePrompt, [&](HWND d) { CheckRadioButton(d, IDC_INSTTYPE_TELESCOPE, IDC_INSTTYPE_BINOCULARS,
                                                       IDC_INSTTYPE_BINOCULARS); }),
         Press(kTypePrompt, IDOK), Press("Add/Modify Binoculars", IDOK),
         [&] {
             if (HWND d = FindDialog("Default Settings for New Instruments")) {
                 PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                 return false;
             }
             return FindDialog("Add/Modify Binoculars") == nullptr;
         },
         // "Backyard" linked to the site the picker opens on.
         SelectRow(&step, IDC_STEP3_LOCATIONS, 0), Press(&step, IDC_STEP3_LINK),
         On(kSitePicker,
            [&](HWND d) {
                int row = (int)SendDlgItemMessageA(d, IDC_SITE_LIST, LB_GETCURSEL, 0, 0);
                char text[64] = "";
                SendDlgItemMessageA(d, IDC_SITE_LIST, LB_GETTEXT, row, (LPARAM)text);
                pickedSite = text;
            }),
         Press(kSitePicker, IDOK), [&] { return FindDialog(kSitePicker) == nullptr; },
         // A new observer "Zed".
         SelectRow(&step, IDC_STEP3_OBSERVERS, 0), Press(&step, IDC_STEP3_CREATE),
         On(kObserverPicker, [&](HWND d) { observerName = ItemText(d, IDC_OBSERVER_NAME); }),
         Press(kObserverPicker, IDOK),
         [&] { return SendDlgItemMessageA(step, IDC_STEP3_OBSERVERS, LB_GETCOUNT, 0, 0) == 0; }});
    EXPECT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(LastScriptFailure(), "");
    EXPECT_EQ(typeText,
              "Select the instrument type and click Ok. Find \"Mystery Scope\" in the instrument list and select it. "
              "Default values have been created for the new instrument.  Customize them appropriately.");
    EXPECT_TRUE(typeTelescope);
    EXPECT_EQ(listedAfterCancel, std::vector<std::string>{"Mystery Scope"});
    EXPECT_EQ(pickedSite, kDemoSite);  // the picker opens on the default (first) site
    EXPECT_EQ(observerName, "Zed");
    EXPECT_TRUE(Rows(step, IDC_STEP3_INSTRUMENTS).empty());
    EXPECT_TRUE(Rows(step, IDC_STEP3_LOCATIONS).empty());
    EXPECT_TRUE(Enabled(step, IDOK));
    Screenshot(host_, "wizard_step3_done");

    // The new binoculars are in instr.bin under the file's name, once; the links
    // serve every spelling of the names.
    int32_t count = 0;
    FILE *f = OpenInstrumentFile(&count);
    ASSERT_NE(f, nullptr);
    std::unique_ptr<InstrumentRecord> scope(new InstrumentRecord);
    std::memset(scope.get(), 0, sizeof *scope);
    std::snprintf(scope->name, sizeof scope->name, "Mystery Scope");
    int index = -1;
    EXPECT_EQ(FindInstrumentByName(f, scope.get(), count, &index), 1);
    int named = 0;
    std::unique_ptr<InstrumentRecord> any(new InstrumentRecord);
    for (int i = 0; i < count; ++i)
        if (ReadInstrument(f, any.get(), i) && std::strcmp(any->name, "Mystery Scope") == 0) ++named;
    std::fclose(f);
    EXPECT_EQ(named, 1);
    EXPECT_EQ(+scope->kind, +kInstrumentBinoculars);
    EXPECT_EQ(+scope->opticsCount, 1);
    std::memset(scope.get(), 0, sizeof *scope);
    EXPECT_EQ(FindInstrumentLink("Mystery Scope", scope.get()), 1);
    EXPECT_STREQ(scope->name, "Mystery Scope");
    LocationRecord site;
    EXPECT_EQ(FindLocationLink("Backyard", &site), 1);
    EXPECT_EQ(FindLocationLink("backyard", &site), 1);
    EXPECT_STREQ(site.name, kDemoSite);
    ObserverRecord observer;
    EXPECT_EQ(FindObserverLink("zed", &observer), 1);
    EXPECT_STREQ(observer.name, "Zed");
    int16_t n = 0;
    FILE *o = OpenObserverStore(&n);
    ASSERT_NE(o, nullptr);
    std::memset(&observer, 0, sizeof observer);
    std::snprintf(observer.name, sizeof observer.name, "Zed");
    EXPECT_EQ(FindObserver(o, &observer, nullptr) > 0, true);
    std::fclose(o);
    // The links were written at once, for this import file.
    EXPECT_EQ(AreNameLinksForImportFile(CurrentImportSettings().importPath), 1);
    FreeNameLinkTables();
    LoadNameLinks();
    EXPECT_EQ(FindLocationLink("backyard", &site), 1);

    // A scan after the links finds nothing undefined.
    EXPECT_EQ(RunUndefinedNameScan(step), 0);
    EXPECT_TRUE(Enabled(step, IDOK));

    // Continue: the preview reads every line through the new links and
    // entries, whatever the spelling of the names.
    ran = RunScript({Press(&step, IDOK), [&] { return GetCurrentStepWindow() != step; }});
    EXPECT_TRUE(ran);
    EXPECT_EQ(LastScriptFailure(), "");
    HWND preview = GetCurrentStepWindow();
    ASSERT_NE(preview, nullptr);
    std::vector<std::string> rows = Rows(preview, IDC_STEP4_LIST);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].substr(0, 22), "M31 at Cherry Springs ");
    EXPECT_NE(rows[0].find("with Mystery Scope by Zed"), std::string::npos) << rows[0];
    EXPECT_TRUE(Enabled(preview, IDC_STEP4_FINISH));
}

// Cancel in the telescope or binocular list opened by "Create New Entry"
// leaves instr.bin as it was and links nothing, as Cancel in the site and
// observer dialogs does.
TEST_F(Steps34, CancelInANewInstrumentsDialogMakesNothing) {
    UseLog(Line("M31", kDemoSite, kDemoObserver, "Mystery Scope"));
    // The instruments' names in store order.
    auto names = [] {
        std::vector<std::string> out;
        int32_t count = 0;
        FILE *f = OpenInstrumentFile(&count);
        if (!f) return out;
        std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
        for (int i = 0; i < count; ++i)
            if (ReadInstrument(f, r.get(), i)) out.push_back(r->name);
        std::fclose(f);
        return out;
    };
    const std::vector<std::string> before = names();
    ASSERT_FALSE(before.empty());
    const struct {
        int radio;
        const char *list;
    } kinds[] = {{IDC_INSTTYPE_TELESCOPE, "Add/ModifyTelescopes"}, {IDC_INSTTYPE_BINOCULARS, "Add/Modify Binoculars"}};
    for (const auto &kind : kinds) {
        SCOPED_TRACE(kind.list);
        HWND step = ShowDataLinkStep(host_, CurrentJob());
        ASSERT_NE(step, nullptr);
        EXPECT_EQ(RunUndefinedNameScanBusy(step), 0);
        ASSERT_EQ(Rows(step, IDC_STEP3_INSTRUMENTS), std::vector<std::string>{"Mystery Scope"});
        bool ran = RunScript(
            {SelectRow(&step, IDC_STEP3_INSTRUMENTS, 0), Press(&step, IDC_STEP3_CREATE),
             On(kTypePrompt, [&](HWND d) { CheckRadioButton(d, IDC_INSTTYPE_TELESCOPE, IDC_INSTTYPE_BINOCULARS,
                                                           kind.radio); }),
             Press(kTypePrompt, IDOK), Press(kind.list, IDCANCEL),
             [&] { return FindDialog(kind.list) == nullptr; }});
        EXPECT_TRUE(ran) << LastScriptFailure();
        EXPECT_EQ(names(), before);
        std::unique_ptr<InstrumentRecord> linked(new InstrumentRecord);
        EXPECT_EQ(FindInstrumentLink("Mystery Scope", linked.get()), 0);
        EXPECT_EQ(Rows(step, IDC_STEP3_INSTRUMENTS), std::vector<std::string>{"Mystery Scope"});
        EXPECT_FALSE(Enabled(step, IDOK));
    }
}

// "Create New Entry" for a listed site makes the site end to end: the sites
// dialog's New opens "Add Location", its "Manual Entry" the coordinates
// dialog, where the name, position and elevation are typed; the new site is
// selected in the sites dialog, which takes its time zone; OK links the
// listed name to it, and the preview imports the entry at the new site.
TEST_F(Steps34, CreatingASiteInStepThreeLinksTheListedName) {
    UseLog(Line("M31", "Dark Meadow"));
    HWND step = ShowDataLinkStep(host_, CurrentJob());
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(RunUndefinedNameScanBusy(step), 0);
    ASSERT_EQ(Rows(step, IDC_STEP3_LOCATIONS), std::vector<std::string>{"Dark Meadow"});
    auto type = [](const char *title, int id, const char *text) {
        std::string t = text;
        return On(title, [=](HWND d) { SetDlgItemTextA(d, id, t.c_str()); });
    };
    const char kPlaces[] = "Add Location", kCoordinates[] = "Define New Location";
    std::string prompt, badLatitude, selectedSite, defaultName;
    bool okDisabled = false;
    bool ran = RunScript(
        {SelectRow(&step, IDC_STEP3_LOCATIONS, 0), Press(&step, IDC_STEP3_CREATE), Answer("Gleaner2 Message", IDOK, &prompt),
         Press(kSitePicker, IDC_SITE_NEW),
         On(kPlaces, [&](HWND d) {
             okDisabled = !IsWindowEnabled(GetDlgItem(d, IDOK));
             Screenshot(d, "places_dialog");
         }),
         Press(kPlaces, IDC_PLACES_MANUAL_ENTRY),
         On(kCoordinates, [&](HWND d) { defaultName = ItemText(d, IDC_SITECOORD_NAME); }),
         type(kCoordinates, IDC_SITECOORD_NAME, "Dark Meadow Ranch"), type(kCoordinates, IDC_SITECOORD_LONGITUDE, "105:30:00"),
         type(kCoordinates, IDC_SITECOORD_LATITUDE, "95"), type(kCoordinates, IDC_SITECOORD_ELEVATION, "2100"),
         On(kCoordinates, [&](HWND d) { Screenshot(d, "site_coordinates_dialog"); }),
         Press(kCoordinates, IDOK), Answer("Nightjar Message", IDOK, &badLatitude),
         type(kCoordinates, IDC_SITECOORD_LATITUDE, "32:15:00"), Press(kCoordinates, IDOK),
         [&] { return FindDialog(kCoordinates) == nullptr && FindDialog(kPlaces) == nullptr; },
         On(kSitePicker, [&](HWND d) {
             int row = (int)SendDlgItemMessageA(d, IDC_SITE_LIST, LB_GETCURSEL, 0, 0);
             char text[64] = "";
             SendDlgItemMessageA(d, IDC_SITE_LIST, LB_GETTEXT, row, (LPARAM)text);
             selectedSite = text;
             SetDlgItemTextA(d, IDC_SITE_ZONE_OFFSET, "-7");
         }),
         Press(kSitePicker, IDOK), [&] { return SendDlgItemMessageA(step, IDC_STEP3_LOCATIONS, LB_GETCOUNT, 0, 0) == 0; }});
    EXPECT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(prompt, "Create new location, select it, then click Ok.");
    EXPECT_TRUE(okDisabled) << "no place can be picked from the empty gazetteer";
    EXPECT_EQ(defaultName, "New Location");
    EXPECT_EQ(badLatitude.rfind("The latitude must be degrees from -90 to 90", 0), 0u) << badLatitude;
    EXPECT_EQ(selectedSite, "Dark Meadow Ranch");
    EXPECT_TRUE(Enabled(step, IDOK));

    // The site is stored as typed, with the zone set in the sites dialog,
    // and the listed name is linked to it.
    LocationRecord linked;
    ASSERT_EQ(FindLocationLink("Dark Meadow", &linked), 1);
    EXPECT_STREQ(linked.name, "Dark Meadow Ranch");
    EXPECT_NEAR(linked.longitude / kPi * 180.0, 105.5, 1e-9);
    EXPECT_NEAR(linked.latitude / kPi * 180.0, 32.25, 1e-9);
    EXPECT_NEAR(+linked.elevation, 2100.0, 1e-9);
    EXPECT_NEAR(+linked.timeZone, -7.0, 1e-9);
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    ASSERT_NE(f, nullptr);
    LocationRecord stored;
    int found = 0;
    for (int i = 0; i < count; ++i)
        if (ReadLocation(f, i, &stored, nullptr) && std::strcmp(stored.name, "Dark Meadow Ranch") == 0) ++found;
    std::fclose(f);
    EXPECT_EQ(found, 1);

    HWND preview = ShowPreviewStep(host_, CurrentJob());
    ASSERT_NE(preview, nullptr);
    ASSERT_EQ(RunPreviewPass(preview), 1) << ImportErrorLine();
    std::vector<std::string> rows = Rows(preview, IDC_STEP4_LIST);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0].find(" at Dark Meadow Ranch at "), std::string::npos) << rows[0];
}

TEST_F(Steps34, ContinueWaitsForEveryLineToNameItsValuesAndClearRelists) {
    UseLog(Line("M31", "Backyard") + "M33,Backyard\n");
    HWND step = ShowDataLinkStep(host_, CurrentJob());
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(RunUndefinedNameScan(step), 2);  // the second line names no observer
    EXPECT_EQ(std::string(ImportErrorLine()), "M33,Backyard\n");
    bool ran =
        RunScript({SelectRow(&step, IDC_STEP3_LOCATIONS, 0, LBN_DBLCLK), Press(kSitePicker, IDOK),
                   [&] { return SendDlgItemMessageA(step, IDC_STEP3_LOCATIONS, LB_GETCOUNT, 0, 0) == 0; }});
    EXPECT_TRUE(ran);
    EXPECT_EQ(LocationLinkCount(), 1);
    // Every list is empty, yet a line lacks its observer.
    EXPECT_FALSE(Enabled(step, IDOK));
    // Clear All Links lists the linked name again.
    ran = RunScript({Press(&step, IDC_STEP3_CLEAR_LINKS),
                     [&] { return SendDlgItemMessageA(step, IDC_STEP3_LOCATIONS, LB_GETCOUNT, 0, 0) == 1; }});
    EXPECT_TRUE(ran);
    EXPECT_EQ(LocationLinkCount(), 0);
    EXPECT_EQ(Rows(step, IDC_STEP3_LOCATIONS), std::vector<std::string>{"Backyard"});
}

TEST_F(Steps34, EveryValueFixedLeavesTheListsEmptyAndContinueOpen) {
    ImportFormat &f = CurrentImportFormat();
    f.siteFixed = f.observerFixed = f.instrumentFixed = 1;
    UseLog("M31\nM33,Nowhere,Nobody,Nothing\n");
    HWND step = ShowDataLinkStep(host_, CurrentJob());
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(RunUndefinedNameScan(step), 0);
    for (int id : {IDC_STEP3_INSTRUMENTS, IDC_STEP3_LOCATIONS, IDC_STEP3_OBSERVERS})
        EXPECT_TRUE(Rows(step, id).empty()) << id;
    EXPECT_TRUE(Enabled(step, IDOK));
}

// Pixels of pure red in the list's client area.
int RedPixels(HWND list) {
    return testutil::CountPixelsOfColour(testutil::CaptureClientArea(list), RGB(255, 0, 0));
}

TEST_F(Steps34, StepFourPreviewsViewsAndImports) {
    UseLog(Line("M31") + Line("Xyzzy 99") + Line("M42"));
    HWND step = ShowPreviewStep(host_, CurrentJob());
    ASSERT_NE(step, nullptr);
    EXPECT_FALSE(Enabled(step, IDC_STEP4_FINISH));
    int result = RunPreviewPass(step);
    ASSERT_EQ(result, 3) << ImportErrorLine();
    EXPECT_EQ(GetPreviewEntryCount(), 3);
    EXPECT_TRUE(Enabled(step, IDC_STEP4_FINISH));
    std::vector<std::string> rows = Rows(step, IDC_STEP4_LIST);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1], "Xyzzy 99 -- warning, object not recognized");
    EXPECT_EQ(SendDlgItemMessageA(step, IDC_STEP4_LIST, LB_GETITEMDATA, 1, 0), 1);
    EXPECT_EQ(SendDlgItemMessageA(step, IDC_STEP4_LIST, LB_GETITEMDATA, 0, 0), 0);
    HWND list = GetDlgItem(step, IDC_STEP4_LIST);
    // One red row of the list's width (less its borders), a row high.
    RECT row;
    SendMessageA(list, LB_GETITEMRECT, 1, (LPARAM)&row);
    int unselected = RedPixels(list);
    EXPECT_GE(unselected, (row.right - row.left) * (row.bottom - row.top) / 2);
    // Selected, the unrecognised row stays red (its text turns white).
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    EXPECT_GE(RedPixels(list), unselected / 2);
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    EXPECT_GE(RedPixels(list), unselected / 2);
    Screenshot(host_, "wizard_step4");

    std::string target, date, site, observer, instrument, unrecognised, unrecognisedSite, resultText;
    bool ran = RunScript({SelectRow(&step, IDC_STEP4_LIST, 0), Press(&step, IDC_STEP4_VIEW),
                          On(kDetail,
                             [&](HWND d) {
                                 target = ItemText(d, IDC_ENTRY_TARGET);
                                 date = ItemText(d, IDC_ENTRY_DATE_TIME);
                                 site = ItemText(d, IDC_ENTRY_LOCATION);
                                 observer = ItemText(d, IDC_ENTRY_OBSERVER);
                                 instrument = ItemText(d, IDC_ENTRY_INSTRUMENT);
                                 Screenshot(d, "log_preview_dialog");
                             }),
                          // Esc closes the detail view.
                          Press(kDetail, IDCANCEL), [&] { return FindDialog(kDetail) == nullptr; },
                          // A double click opens the detail view of the row.
                          SelectRow(&step, IDC_STEP4_LIST, 1, LBN_DBLCLK),
                          On(kDetail,
                             [&](HWND d) {
                                 unrecognised = ItemText(d, IDC_ENTRY_TARGET);
                                 unrecognisedSite = ItemText(d, IDC_ENTRY_LOCATION);
                             }),
                          Press(kDetail, IDOK), [&] { return FindDialog(kDetail) == nullptr; },
                          Press(&step, IDC_STEP4_FINISH),
                          On(kResult,
                             [&](HWND d) {
                                 resultText = ItemText(d, IDC_RESULT_TEXT);
                                 Screenshot(d, "result_dialog");
                             }),
                          Press(kResult, IDOK), [&] { return GetCurrentStepWindow() != step; }});
    EXPECT_TRUE(ran);
    EXPECT_EQ(LastScriptFailure(), "");
    EXPECT_EQ(target.substr(0, 8), "M31 --> ");
    EXPECT_GT(target.size(), 8u);
    // The preset reads the date day first: 2 January 2025.
    EXPECT_EQ(date, "02/01/2025 21:30 --> 2025 1 2 21:30 (year month day time)");
    EXPECT_EQ(site, std::string(kDemoSite) + " --> " + kDemoSite);
    EXPECT_EQ(observer, std::string(kDemoObserver) + " --> " + kDemoObserver);
    EXPECT_EQ(instrument, std::string(kDemoScope) + " --> " + kDemoScope);
    EXPECT_EQ(unrecognised, "Xyzzy 99 --> *** object not recognized ***");
    EXPECT_EQ(unrecognisedSite, kDemoSite);
    EXPECT_EQ(resultText, "2 log entries sucessfully imported into Nightjar");
    // Finish led back to step 1.
    HWND first = GetCurrentStepWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(GetDlgItem(first, IDC_STEP1_BROWSE), nullptr);  // step 1's Browse
}

TEST_F(Steps34, NothingRecognisedListsOnlyRedRowsAndImportsNone) {
    UseLog(Line("Xyzzy 99") + Line("Qwerty 7"));
    HWND step = ShowPreviewStep(host_, CurrentJob());
    ASSERT_NE(step, nullptr);
    ASSERT_EQ(RunPreviewPass(step), 2) << ImportErrorLine();
    HWND list = GetDlgItem(step, IDC_STEP4_LIST);
    for (int row = 0; row < 2; ++row) EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, row, 0), 1) << row;
    // Both rows red: twice the red of one row.
    RECT row;
    SendMessageA(list, LB_GETITEMRECT, 0, (LPARAM)&row);
    EXPECT_GE(RedPixels(list), 2 * (row.right - row.left - 8) * (row.bottom - row.top - 2));
    std::string resultText;
    bool ran = RunScript({Press(&step, IDC_STEP4_FINISH),
                          On(kResult, [&](HWND d) { resultText = ItemText(d, IDC_RESULT_TEXT); }),
                          Press(kResult, IDOK), [&] { return GetCurrentStepWindow() != step; }});
    EXPECT_TRUE(ran);
    EXPECT_EQ(resultText, "0 log entries sucessfully imported into Nightjar");
}

TEST_F(Steps34, FailedImportKeepsStepFourOpenForAnotherFinish) {
    UseLog(Line("M31"));
    HWND step = ShowPreviewStep(host_, CurrentJob());
    ASSERT_NE(step, nullptr);
    ASSERT_EQ(RunPreviewPass(step), 1) << ImportErrorLine();
    // A plain file where the log folder belongs: nothing can be added, and
    // that is said before the pass begins, naming the user folder.
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("log"), "not a folder"));
    std::string error;
    bool ran = RunScript({Press(&step, IDC_STEP4_FINISH), Answer(kMessage, IDOK, &error)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(error, "The user folder " + std::string(GetUserDataFolder()) +
                         " cannot be written, so nothing can be added to the observing log. Make the "
                         "folder writable, then click Finish again.");
    EXPECT_EQ(GetCurrentStepWindow(), step);
    EXPECT_TRUE(Enabled(step, IDC_STEP4_FINISH));
    // With the folder free again, Finish imports the entry.
    std::remove(dir_.file("log").c_str());
    std::string resultText;
    ran = RunScript({Press(&step, IDC_STEP4_FINISH),
                     On(kResult, [&](HWND d) { resultText = ItemText(d, IDC_RESULT_TEXT); }),
                     Press(kResult, IDOK), [&] { return GetCurrentStepWindow() != step; }});
    EXPECT_TRUE(ran);
    EXPECT_EQ(resultText, "1 log entries sucessfully imported into Nightjar");
}

TEST_F(Steps34, CancelInStepThreeKeepsTheLinksAndReturnsToStepOne) {
    UseLog(Line("M31", "Backyard"));
    HWND step = ShowDataLinkStep(host_, CurrentJob());
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(RunUndefinedNameScan(step), 0);
    bool ran = RunScript({SelectRow(&step, IDC_STEP3_LOCATIONS, 0), Press(&step, IDC_STEP3_LINK),
                          Press(kSitePicker, IDOK), [&] { return FindDialog(kSitePicker) == nullptr; },
                          Press(&step, IDCANCEL), [&] { return GetCurrentStepWindow() != step; }});
    EXPECT_TRUE(ran);
    HWND first = GetCurrentStepWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(GetDlgItem(first, IDC_STEP1_BROWSE), nullptr);  // step 1's Browse
    // A later step 3 for the same file loads the saved link.
    FreeNameLinkTables();
    step = ShowDataLinkStep(host_, CurrentJob());
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(RunUndefinedNameScan(step), 0);
    EXPECT_TRUE(Rows(step, IDC_STEP3_LOCATIONS).empty());
    EXPECT_TRUE(Enabled(step, IDOK));
}

TEST_F(Steps34, DetailOfAFixedSiteShowsTheGlobalValue) {
    ImportFormat &f = CurrentImportFormat();
    int16_t n = 0;
    FILE *store = OpenLocationStore(&n);
    ASSERT_NE(store, nullptr);
    LocationTrailer trailer;
    ASSERT_EQ(ReadLocation(store, 1, &f.fixedSite, &trailer), 1);
    std::fclose(store);
    f.siteFixed = 1;
    const std::string fixedName = f.fixedSite.name;
    UseLog("M31,ignored," + std::string(kDemoObserver) + "," + kDemoScope + ",02/01/2025 21:30\n");
    HWND step = ShowPreviewStep(host_, CurrentJob());
    ASSERT_NE(step, nullptr);
    ASSERT_EQ(RunPreviewPass(step), 1) << ImportErrorLine();
    std::string site;
    bool ran = RunScript({SelectRow(&step, IDC_STEP4_LIST, 0), Press(&step, IDC_STEP4_VIEW),
                          On(kDetail, [&](HWND d) { site = ItemText(d, IDC_ENTRY_LOCATION); }),
                          Press(kDetail, IDOK), [&] { return FindDialog(kDetail) == nullptr; }});
    EXPECT_TRUE(ran);
    EXPECT_EQ(site, "Use global value --> " + fixedName);
}

TEST_F(Steps34, FinishAfterTheFileChangedPreviewsAgainAndImportsNothing) {
    UseLog(Line("M31"));
    HWND step = ShowPreviewStep(host_, CurrentJob());
    ASSERT_NE(step, nullptr);
    ASSERT_EQ(RunPreviewPass(step), 1) << ImportErrorLine();
    // The file gains a line after the preview.
    UseLog(Line("M31") + Line("M42"));
    std::string message;
    bool ran = RunScript({Press(&step, IDC_STEP4_FINISH), Answer(kMessage, IDOK, &message),
                          [&] { return SendDlgItemMessageA(step, IDC_STEP4_LIST, LB_GETCOUNT, 0, 0) == 2; }});
    EXPECT_TRUE(ran);
    EXPECT_EQ(message.substr(0, 58), "The import file has changed since the preview was made. Th");
    EXPECT_EQ(GetCurrentStepWindow(), step);  // still step 4, nothing imported
    EXPECT_EQ(GetPreviewEntryCount(), 2);
    EXPECT_TRUE(Enabled(step, IDC_STEP4_FINISH));
}

TEST_F(Steps34, FailingPreviewKeepsFinishClosedAndCountsTheRecordsWritten) {
    UseLog(Line("M31") + Line("M42", "Nowhere Hill"));
    HWND step = ShowPreviewStep(host_, CurrentJob());
    ASSERT_NE(step, nullptr);
    std::string message;
    int result = 0;
    bool ran = RunScript({Answer(kMessage, IDOK, &message)}, [&] { result = RunPreviewPass(step); });
    EXPECT_TRUE(ran);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(message, "Error importing location: Nowhere Hill\n");
    EXPECT_FALSE(Enabled(step, IDC_STEP4_FINISH));
    EXPECT_EQ(GetPreviewEntryCount(), 1);
}

// Draws one row of the preview list into a green picture; the number of
// pixels of each colour afterwards.
struct Drawn {
    int green = 0, red = 0;
};
Drawn DrawRow(HWND step, UINT itemId, UINT action, UINT state) {
    Drawn out;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 16);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 200, 16};
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &all, green);
    DeleteObject(green);
    DRAWITEMSTRUCT item;
    std::memset(&item, 0, sizeof item);
    item.CtlType = ODT_LISTBOX;
    item.CtlID = IDC_STEP4_LIST;
    item.itemID = itemId;
    item.itemAction = action;
    item.itemState = state;
    item.hwndItem = GetDlgItem(step, IDC_STEP4_LIST);
    item.hDC = dc;
    item.rcItem = all;
    item.itemData = itemId == (UINT)-1 ? 0 : (ULONG_PTR)SendMessageA(item.hwndItem, LB_GETITEMDATA, itemId, 0);
    DrawPreviewItem(step, &item);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 200; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            if (c == RGB(0, 255, 0)) ++out.green;
            if (c == RGB(255, 0, 0)) ++out.red;
        }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return out;
}

// A row longer than the list is not cut off: the list scrolls sideways to its
// end, and a shorter preview afterwards takes the wider extent back.
TEST_F(Steps34, LongPreviewRowsScrollSideways) {
    std::string longName = "Xyzzy " + std::string(120, 'Q');
    UseLog(Line("M31") + Line(longName.c_str()));
    HWND step = ShowPreviewStep(host_, CurrentJob());
    ASSERT_NE(step, nullptr);
    ASSERT_EQ(RunPreviewPass(step), 2) << ImportErrorLine();
    HWND list = GetDlgItem(step, IDC_STEP4_LIST);
    RECT client;
    GetClientRect(list, &client);
    LRESULT extent = SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0);
    EXPECT_GT(extent, client.right);
    SCROLLINFO info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    ASSERT_TRUE(GetScrollInfo(list, SB_HORZ, &info));
    EXPECT_GE(info.nMax + 1, extent - 1);
    EXPECT_GT(info.nMax + 1 - (int)info.nPage, 0);  // something to scroll
    Screenshot(host_, "wizard_step4_long_row");
    SendMessageA(list, WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
    ASSERT_TRUE(GetScrollInfo(list, SB_HORZ, &info));
    EXPECT_GT(info.nPos, 0);
    Screenshot(host_, "wizard_step4_long_row_scrolled");

    UseLog(Line("M31"));
    ASSERT_EQ(RunPreviewPass(step), 1) << ImportErrorLine();
    EXPECT_LT(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), extent);
}

TEST_F(Steps34, RowDrawingIgnoresNoRowAndFocusAndTakesTextsOfAnyLength) {
    HWND step = ShowPreviewStep(host_, CurrentJob());
    ASSERT_NE(step, nullptr);
    HWND list = GetDlgItem(step, IDC_STEP4_LIST);
    // An empty list with the focus asks for row -1: nothing is drawn.
    EXPECT_EQ(DrawRow(step, (UINT)-1, ODA_DRAWENTIRE, 0).green, 200 * 16);
    // A row text of 3,000 characters, not recognised: a red row.
    std::string longText(3000, 'W');
    SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)longText.c_str());
    SendMessageA(list, LB_SETITEMDATA, 0, 1);
    EXPECT_EQ(DrawRow(step, 0, ODA_FOCUS, ODS_FOCUS).green, 200 * 16);  // focus change only
    Drawn row = DrawRow(step, 0, ODA_DRAWENTIRE, ODS_SELECTED);
    EXPECT_EQ(row.green, 0);
    EXPECT_GT(row.red, 200 * 16 / 2);
}

}  // namespace
