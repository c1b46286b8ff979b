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
#include "testutil/screenshot_win.h"
#include "testutil/testutil.h"
#include "testutil/ownwindows_win.h"

namespace {

// gleaner.exe beside the tests, loaded for its dialog templates, with the
// custom control classes of the site and instrument dialogs registered for it.
HINSTANCE Resources() {
    static HINSTANCE module = nullptr;
    if (module) return module;
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe(path, n);
    std::string gleaner = exe.substr(0, exe.find_last_of("\\/") + 1) + "gleaner.exe";
    module = LoadLibraryExA(gleaner.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return nullptr;
    // The site dialogs make their controls with the templates' instance, the
    // instrument dialogs with the program's own module.
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    RegisterControlClasses(module);
    RegisterControlClasses(GetModuleHandleA(nullptr));
    return module;
}

std::string Demo(const std::string &sub) { return testutil::BuildDir() + "/demo/" + sub; }

// ---- the script runner ------------------------------------------------------------------

using Step = std::function<bool()>;  // true: done, go on
std::vector<Step> g_steps;
size_t g_next = 0;
int g_ticks = 0;
bool g_timedOut = false;
std::vector<std::string> g_closedAtTimeout;

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
        for (const char *t : {"Gleaner Message", "Gleaner2 Message", "Nightjar Message", "Select Instrument Type",
                              "Add/ModifyTelescopes", "Add/Modify Binoculars", "Observing Sites", "Observers",
                              "Select Instrument", "Individual Log Entry Preview", "Gleaner Results"})
            if (HWND w = testutil::FindOwnWindow("#32770", t)) {
                g_closedAtTimeout.push_back(t);
                PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
            }
    }
}

bool RunScript(std::vector<Step> steps, const std::function<void()> &open) {
    g_steps = std::move(steps);
    g_next = 0;
    g_ticks = 0;
    g_timedOut = false;
    g_closedAtTimeout.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 50, ScriptTick);
    open();
    KillTimer(nullptr, timer);
    return g_next == g_steps.size() && !g_timedOut;
}

// A modeless step has no loop of its own: pump messages until the script ends.
void PumpUntilDone() {
    MSG msg;
    while (g_next < g_steps.size() && !g_timedOut && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

Step On(const char *title, HWND *at, const std::function<void(HWND)> &act) {
    return [=] {
        HWND d = title ? FindDialog(title) : *at;
        if (!d) return false;
        act(d);
        return true;
    };
}
Step Press(const char *title, int id, HWND *at = nullptr) {
    return On(title, at, [=](HWND d) {
        PostMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(d, id));
    });
}
// Selects a row of a list box as a click would, and tells the dialog.
Step SelectRow(HWND *at, int id, int row, int notification = LBN_SELCHANGE) {
    return On(nullptr, at, [=](HWND d) {
        HWND list = GetDlgItem(d, id);
        SendMessageA(list, LB_SETCURSEL, row, 0);
        PostMessageA(d, WM_COMMAND, MAKEWPARAM(id, notification), (LPARAM)list);
    });
}
Step Answer(const char *title, int button, std::string *text) {
    return [=] {
        HWND box = FindDialog(title);
        if (!box) return false;
        if (text) {
            char buffer[1024] = "";
            GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
            *text = buffer;
        }
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return true;
    };
}

std::string ItemText(HWND d, int id) {
    char buffer[4096] = "";
    GetDlgItemTextA(d, id, buffer, sizeof buffer);
    return buffer;
}
std::vector<std::string> ListRows(HWND d, int id) {
    std::vector<std::string> rows;
    int n = (int)SendDlgItemMessageA(d, id, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        char buffer[1024] = "";
        SendDlgItemMessageA(d, id, LB_GETTEXT, i, (LPARAM)buffer);
        rows.push_back(buffer);
    }
    return rows;
}
bool Enabled(HWND d, int id) { return IsWindowEnabled(GetDlgItem(d, id)) != FALSE; }

void Screenshot(HWND window, const char *name) {
    testutil::SaveScreenshot(testutil::CaptureClientArea(window), name);
}

HWND MakeHost() {
    return CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 560, 420, nullptr, nullptr,
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
    HWND step = ShowDataLinkStep(host_);
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(RunUndefinedNameScanBusy(step), 0);
    EXPECT_EQ(ListRows(step, 2000), std::vector<std::string>{"Mystery Scope"});
    EXPECT_EQ(ListRows(step, 2001), std::vector<std::string>{"Backyard"});
    EXPECT_EQ(ListRows(step, 2002), std::vector<std::string>{"Zed"});
    EXPECT_FALSE(Enabled(step, IDOK));
    Screenshot(host_, "wizard_step3");

    std::string typeText, observerName, pickedSite;
    bool typeTelescope = false;
    bool ran = RunScript(
        {// A new telescope for "Mystery Scope".
         SelectRow(&step, 2000, 0), Press(nullptr, 1004, &step),
         On(kTypePrompt, nullptr,
            [&](HWND d) {
                typeText = ItemText(d, 1012);
                typeTelescope = IsDlgButtonChecked(d, 1010) == BST_CHECKED;
                Screenshot(d, "inst_type_dialog");
            }),
         // Done asks for an eyepiece first; Cancel keeps the new telescope
         // (it was stored before the dialog opened).
         Press(kTypePrompt, IDOK),
         On("Add/ModifyTelescopes", nullptr, [&](HWND d) { Screenshot(d, "wizard_step3_new_scope"); }),
         Press("Add/ModifyTelescopes", IDCANCEL), [&] { return FindDialog("Add/ModifyTelescopes") == nullptr; },
         // "Backyard" linked to the site the picker opens on.
         SelectRow(&step, 2001, 0), Press(nullptr, 2003, &step),
         On(kSitePicker, nullptr,
            [&](HWND d) {
                int row = (int)SendDlgItemMessageA(d, 2515, LB_GETCURSEL, 0, 0);
                char text[64] = "";
                SendDlgItemMessageA(d, 2515, LB_GETTEXT, row, (LPARAM)text);
                pickedSite = text;
            }),
         Press(kSitePicker, IDOK), [&] { return FindDialog(kSitePicker) == nullptr; },
         // A new observer "Zed".
         SelectRow(&step, 2002, 0), Press(nullptr, 1004, &step),
         On(kObserverPicker, nullptr, [&](HWND d) { observerName = ItemText(d, 6207); }),
         Press(kObserverPicker, IDOK), [&] { return SendDlgItemMessageA(step, 2002, LB_GETCOUNT, 0, 0) == 0; }},
        PumpUntilDone);
    EXPECT_TRUE(ran) << "stopped before step " << g_next << " after " << g_ticks << " ticks";
    for (const std::string &t : g_closedAtTimeout) ADD_FAILURE() << "left open: " << t;
    EXPECT_EQ(typeText,
              "Select the instrument type and click Ok. Find \"Mystery Scope\" in the instrument list and select it. "
              "Default values have been created for the new instrument.  Customize them appropriately.");
    EXPECT_TRUE(typeTelescope);
    EXPECT_EQ(pickedSite, kDemoSite);  // the picker opens on the default (first) site
    EXPECT_EQ(observerName, "Zed");
    EXPECT_TRUE(ListRows(step, 2000).empty());
    EXPECT_TRUE(ListRows(step, 2001).empty());
    EXPECT_TRUE(Enabled(step, IDOK));
    Screenshot(host_, "wizard_step3_done");

    // The new telescope is in instr.bin under the file's name; the links
    // serve every spelling of the names.
    int32_t count = 0;
    FILE *f = OpenInstrumentFile(&count);
    ASSERT_NE(f, nullptr);
    std::unique_ptr<InstrumentRecord> scope(new InstrumentRecord);
    std::memset(scope.get(), 0, sizeof *scope);
    std::snprintf(scope->name, sizeof scope->name, "Mystery Scope");
    int index = -1;
    EXPECT_EQ(FindInstrumentByName(f, scope.get(), count, &index), 1);
    std::fclose(f);
    EXPECT_EQ(+scope->kind, 0);
    EXPECT_EQ(+scope->opticsCount, 2);
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
    EXPECT_EQ(AreNameLinksForImportFile(), 1);
    FreeNameLinkTables();
    LoadNameLinks();
    EXPECT_EQ(FindLocationLink("backyard", &site), 1);

    // A scan after the links finds nothing undefined.
    EXPECT_EQ(RunUndefinedNameScan(step), 0);
    EXPECT_TRUE(Enabled(step, IDOK));

    // Continue: the preview reads every line through the new links and
    // entries, whatever the spelling of the names.
    ran = RunScript({Press(nullptr, IDOK, &step), [&] { return GetCurrentStepWindow() != step; }}, PumpUntilDone);
    EXPECT_TRUE(ran);
    for (const std::string &t : g_closedAtTimeout) ADD_FAILURE() << "left open: " << t;
    HWND preview = GetCurrentStepWindow();
    ASSERT_NE(preview, nullptr);
    std::vector<std::string> rows = ListRows(preview, 1005);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].substr(0, 22), "M31 at Cherry Springs ");
    EXPECT_NE(rows[0].find("with Mystery Scope by Zed"), std::string::npos) << rows[0];
    EXPECT_TRUE(Enabled(preview, 1007));
}

TEST_F(Steps34, ContinueWaitsForEveryLineToNameItsValuesAndClearRelists) {
    UseLog(Line("M31", "Backyard") + "M33,Backyard\n");
    HWND step = ShowDataLinkStep(host_);
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(RunUndefinedNameScan(step), 2);  // the second line names no observer
    EXPECT_EQ(std::string(ImportErrorLine()), "M33,Backyard\n");
    bool ran = RunScript({SelectRow(&step, 2001, 0, LBN_DBLCLK), Press(kSitePicker, IDOK),
                          [&] { return SendDlgItemMessageA(step, 2001, LB_GETCOUNT, 0, 0) == 0; }},
                         PumpUntilDone);
    EXPECT_TRUE(ran);
    EXPECT_EQ(LocationLinkCount(), 1);
    // Every list is empty, yet a line lacks its observer.
    EXPECT_FALSE(Enabled(step, IDOK));
    // Clear All Links lists the linked name again.
    ran = RunScript({Press(nullptr, 6017, &step),
                     [&] { return SendDlgItemMessageA(step, 2001, LB_GETCOUNT, 0, 0) == 1; }},
                    PumpUntilDone);
    EXPECT_TRUE(ran);
    EXPECT_EQ(LocationLinkCount(), 0);
    EXPECT_EQ(ListRows(step, 2001), std::vector<std::string>{"Backyard"});
}

TEST_F(Steps34, EveryValueFixedLeavesTheListsEmptyAndContinueOpen) {
    ImportFormat &f = CurrentImportFormat();
    f.siteFixed = f.observerFixed = f.instrumentFixed = 1;
    UseLog("M31\nM33,Nowhere,Nobody,Nothing\n");
    HWND step = ShowDataLinkStep(host_);
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(RunUndefinedNameScan(step), 0);
    for (int id : {2000, 2001, 2002}) EXPECT_TRUE(ListRows(step, id).empty()) << id;
    EXPECT_TRUE(Enabled(step, IDOK));
}

// Pixels of pure red in the list's client area.
int RedPixels(HWND list) {
    return testutil::CountPixelsOfColour(testutil::CaptureClientArea(list), RGB(255, 0, 0));
}

TEST_F(Steps34, StepFourPreviewsViewsAndImports) {
    UseLog(Line("M31") + Line("Xyzzy 99") + Line("M42"));
    HWND step = ShowPreviewStep(host_);
    ASSERT_NE(step, nullptr);
    EXPECT_FALSE(Enabled(step, 1007));
    int result = RunPreviewPass(step);
    ASSERT_EQ(result, 3) << ImportErrorLine();
    EXPECT_EQ(GetPreviewEntryCount(), 3);
    EXPECT_TRUE(Enabled(step, 1007));
    std::vector<std::string> rows = ListRows(step, 1005);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1], "Xyzzy 99 -- warning, object not recognized");
    EXPECT_EQ(SendDlgItemMessageA(step, 1005, LB_GETITEMDATA, 1, 0), 1);
    EXPECT_EQ(SendDlgItemMessageA(step, 1005, LB_GETITEMDATA, 0, 0), 0);
    HWND list = GetDlgItem(step, 1005);
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
    bool ran = RunScript(
        {SelectRow(&step, 1005, 0), Press(nullptr, 1006, &step),
         On(kDetail, nullptr,
            [&](HWND d) {
                target = ItemText(d, 6012);
                date = ItemText(d, 6014);
                site = ItemText(d, 6006);
                observer = ItemText(d, 6004);
                instrument = ItemText(d, 6015);
                Screenshot(d, "log_preview_dialog");
            }),
         // Esc closes the detail view.
         Press(kDetail, IDCANCEL),
         [&] { return FindDialog(kDetail) == nullptr; },
         // A double click opens the detail view of the row.
         SelectRow(&step, 1005, 1, LBN_DBLCLK),
         On(kDetail, nullptr,
            [&](HWND d) {
                unrecognised = ItemText(d, 6012);
                unrecognisedSite = ItemText(d, 6006);
            }),
         Press(kDetail, IDOK), [&] { return FindDialog(kDetail) == nullptr; }, Press(nullptr, 1007, &step),
         On(kResult, nullptr,
            [&](HWND d) {
                resultText = ItemText(d, 4000);
                Screenshot(d, "result_dialog");
            }),
         Press(kResult, IDOK), [&] { return GetCurrentStepWindow() != step; }},
        PumpUntilDone);
    EXPECT_TRUE(ran);
    for (const std::string &t : g_closedAtTimeout) ADD_FAILURE() << "left open: " << t;
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
    EXPECT_NE(GetDlgItem(first, 1002), nullptr);  // step 1's Browse
}

TEST_F(Steps34, NothingRecognisedListsOnlyRedRowsAndImportsNone) {
    UseLog(Line("Xyzzy 99") + Line("Qwerty 7"));
    HWND step = ShowPreviewStep(host_);
    ASSERT_NE(step, nullptr);
    ASSERT_EQ(RunPreviewPass(step), 2) << ImportErrorLine();
    HWND list = GetDlgItem(step, 1005);
    for (int row = 0; row < 2; ++row) EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, row, 0), 1) << row;
    // Both rows red: twice the red of one row.
    RECT row;
    SendMessageA(list, LB_GETITEMRECT, 0, (LPARAM)&row);
    EXPECT_GE(RedPixels(list), 2 * (row.right - row.left - 8) * (row.bottom - row.top - 2));
    std::string resultText;
    bool ran = RunScript({Press(nullptr, 1007, &step), On(kResult, nullptr, [&](HWND d) { resultText = ItemText(d, 4000); }),
                          Press(kResult, IDOK), [&] { return GetCurrentStepWindow() != step; }},
                         PumpUntilDone);
    EXPECT_TRUE(ran);
    EXPECT_EQ(resultText, "0 log entries sucessfully imported into Nightjar");
}

TEST_F(Steps34, FailedImportKeepsStepFourOpenForAnotherFinish) {
    UseLog(Line("M31"));
    HWND step = ShowPreviewStep(host_);
    ASSERT_NE(step, nullptr);
    ASSERT_EQ(RunPreviewPass(step), 1) << ImportErrorLine();
    // A plain file where the log folder belongs: nothing can be added, and
    // that is said before the pass begins, naming the user folder.
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("log"), "not a folder"));
    std::string error;
    bool ran = RunScript({Press(nullptr, 1007, &step), Answer(kMessage, IDOK, &error)}, PumpUntilDone);
    EXPECT_TRUE(ran);
    EXPECT_EQ(error, "The user folder " + std::string(GetUserDataFolder()) +
                         " cannot be written, so nothing can be added to the observing log. Make the "
                         "folder writable, then click Finish again.");
    EXPECT_EQ(GetCurrentStepWindow(), step);
    EXPECT_TRUE(Enabled(step, 1007));
    // With the folder free again, Finish imports the entry.
    std::remove(dir_.file("log").c_str());
    std::string resultText;
    ran = RunScript({Press(nullptr, 1007, &step), On(kResult, nullptr, [&](HWND d) { resultText = ItemText(d, 4000); }),
                     Press(kResult, IDOK), [&] { return GetCurrentStepWindow() != step; }},
                    PumpUntilDone);
    EXPECT_TRUE(ran);
    EXPECT_EQ(resultText, "1 log entries sucessfully imported into Nightjar");
}

TEST_F(Steps34, CancelInStepThreeKeepsTheLinksAndReturnsToStepOne) {
    UseLog(Line("M31", "Backyard"));
    HWND step = ShowDataLinkStep(host_);
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(RunUndefinedNameScan(step), 0);
    bool ran = RunScript({SelectRow(&step, 2001, 0), Press(nullptr, 2003, &step), Press(kSitePicker, IDOK),
                          [&] { return FindDialog(kSitePicker) == nullptr; }, Press(nullptr, IDCANCEL, &step),
                          [&] { return GetCurrentStepWindow() != step; }},
                         PumpUntilDone);
    EXPECT_TRUE(ran);
    HWND first = GetCurrentStepWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(GetDlgItem(first, 1002), nullptr);  // step 1's Browse
    // A later step 3 for the same file loads the saved link.
    FreeNameLinkTables();
    step = ShowDataLinkStep(host_);
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(RunUndefinedNameScan(step), 0);
    EXPECT_TRUE(ListRows(step, 2001).empty());
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
    HWND step = ShowPreviewStep(host_);
    ASSERT_NE(step, nullptr);
    ASSERT_EQ(RunPreviewPass(step), 1) << ImportErrorLine();
    std::string site;
    bool ran = RunScript({SelectRow(&step, 1005, 0), Press(nullptr, 1006, &step),
                          On(kDetail, nullptr, [&](HWND d) { site = ItemText(d, 6006); }), Press(kDetail, IDOK),
                          [&] { return FindDialog(kDetail) == nullptr; }},
                         PumpUntilDone);
    EXPECT_TRUE(ran);
    EXPECT_EQ(site, "Use global value --> " + fixedName);
}

TEST_F(Steps34, FinishAfterTheFileChangedPreviewsAgainAndImportsNothing) {
    UseLog(Line("M31"));
    HWND step = ShowPreviewStep(host_);
    ASSERT_NE(step, nullptr);
    ASSERT_EQ(RunPreviewPass(step), 1) << ImportErrorLine();
    // The file gains a line after the preview.
    UseLog(Line("M31") + Line("M42"));
    std::string message;
    bool ran = RunScript({Press(nullptr, 1007, &step), Answer(kMessage, IDOK, &message),
                          [&] { return SendDlgItemMessageA(step, 1005, LB_GETCOUNT, 0, 0) == 2; }},
                         PumpUntilDone);
    EXPECT_TRUE(ran);
    EXPECT_EQ(message.substr(0, 58), "The import file has changed since the preview was made. Th");
    EXPECT_EQ(GetCurrentStepWindow(), step);  // still step 4, nothing imported
    EXPECT_EQ(GetPreviewEntryCount(), 2);
    EXPECT_TRUE(Enabled(step, 1007));
}

TEST_F(Steps34, FailingPreviewKeepsFinishClosedAndCountsTheRecordsWritten) {
    UseLog(Line("M31") + Line("M42", "Nowhere Hill"));
    HWND step = ShowPreviewStep(host_);
    ASSERT_NE(step, nullptr);
    std::string message;
    int result = 0;
    bool ran = RunScript({Answer(kMessage, IDOK, &message)}, [&] { result = RunPreviewPass(step); });
    EXPECT_TRUE(ran);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(message, "Error importing location: Nowhere Hill\n");
    EXPECT_FALSE(Enabled(step, 1007));
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
    item.CtlID = 1005;
    item.itemID = itemId;
    item.itemAction = action;
    item.itemState = state;
    item.hwndItem = GetDlgItem(step, 1005);
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

TEST_F(Steps34, RowDrawingIgnoresNoRowAndFocusAndTakesTextsOfAnyLength) {
    HWND step = ShowPreviewStep(host_);
    ASSERT_NE(step, nullptr);
    HWND list = GetDlgItem(step, 1005);
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
