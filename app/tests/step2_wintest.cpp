// Wizard step 2 driven for real under Windows or Wine over the demo
// installation's catalogues: the scan fills the list, a link made through the
// object picker writes "row#name" and takes the row away, Clear Links and
// Start Over empties the link file and lists every designation again, a link
// that cannot be recorded says so and keeps its row, and a scan that cannot
// read the file says so. The templates come from gleaner.exe, loaded as a
// data file; a thread timer runs a script of steps inside the message loops.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/tests/importjobfixture.h"
#include "app/formatfile.h"
#include "app/gleaner_win.h"
#include "app/step2_win.h"
#include "core/datapaths.h"
#include "core/dlgsettings.h"
#include "core/userfolder.h"
#include "ephem/ephemload.h"
#include "testutil/screenshot_win.h"
#include "testutil/testutil.h"
#include "testutil/ownwindows_win.h"

namespace {

std::string Demo() { return testutil::BuildDir() + "/demo"; }

// gleaner.exe beside the test program, for its dialog templates, with the
// picker's control classes registered for it.
HINSTANCE Resources() {
    static HINSTANCE module = nullptr;
    if (module) return module;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe(path, n);
    module = LoadLibraryExA((exe.substr(0, exe.find_last_of("\\/") + 1) + "gleaner.exe").c_str(), nullptr,
                            LOAD_LIBRARY_AS_DATAFILE);
    if (module) RegisterSCBitmapClass(module);
    return module;
}

// ---- the script runner: one step per timer tick, inside whatever loop runs --------------

using Step = std::function<bool()>;  // true: done, go on
std::vector<Step> g_steps;
size_t g_next = 0;
int g_ticks = 0;

const char kPicker[] = "Object Requestor -- Find an Object in the Database";
const char kMessage[] = "Gleaner Message";

HWND FindDialog(const char *title) {
    HWND w = testutil::FindOwnWindow("#32770", title);
    return w && IsWindowVisible(w) ? w : nullptr;
}

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD) {
    ++g_ticks;
    if (g_next < g_steps.size() && g_steps[g_next]()) ++g_next;
    if (g_ticks == 600) {  // about 30 s: close whatever is left open
        for (const char *t : {kMessage, kPicker})
            if (HWND w = FindDialog(t)) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    }
}

// Runs the steps while body runs (a modal call) or, with no body, pumps
// messages until the steps are done. True when every step ran in time.
bool RunScript(std::vector<Step> steps, const std::function<void()> &body = nullptr) {
    g_steps = std::move(steps);
    g_next = 0;
    g_ticks = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, ScriptTick);
    if (body) {
        body();
    } else {
        MSG msg;
        while (g_next < g_steps.size() && g_ticks < 600 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    KillTimer(nullptr, timer);
    return g_next == g_steps.size() && g_ticks < 600;
}

Step Do(const std::function<void()> &act) {
    return [=] {
        act();
        return true;
    };
}
Step Press(HWND *dialog, int id) {
    return Do([=] { PostMessageA(*dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(*dialog, id)); });
}
// Answers a box of that title with OK after reading its text.
Step Answer(const char *title, std::string *text) {
    return [=] {
        HWND box = FindDialog(title);
        if (!box) return false;
        char buffer[1024] = "";
        GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
        if (text) *text = buffer;
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    };
}

struct Descendant {
    int id;
    HWND found;
};
BOOL CALLBACK FindDescendantProc(HWND w, LPARAM lp) {
    Descendant *d = (Descendant *)lp;
    if (GetDlgCtrlID(w) == d->id && IsWindowVisible(w)) {
        d->found = w;
        return FALSE;
    }
    return TRUE;
}
HWND FindDescendant(HWND top, int id) {
    Descendant d{id, nullptr};
    EnumChildWindows(top, FindDescendantProc, (LPARAM)&d);
    return d.found;
}

std::string TextOf(HWND w) {
    char text[512] = "";
    GetWindowTextA(w, text, sizeof text);
    return text;
}

// In the picker: search for the text, keep the name the panel shows, OK.
Step PickBySearch(const char *text, std::string *shownName) {
    std::string t = text;
    return [=] {
        HWND picker = FindDialog(kPicker);
        HWND edit = picker ? FindDescendant(picker, 2213) : nullptr;
        if (!edit) return false;
        SetWindowTextA(edit, t.c_str());
        SendMessageA(GetParent(edit), WM_COMMAND, MAKEWPARAM(2214, BN_CLICKED), 0);
        if (shownName) *shownName = TextOf(FindDescendant(picker, 2201));
        PostMessageA(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    };
}

std::vector<std::string> Rows(HWND step) {
    std::vector<std::string> rows;
    int n = (int)SendDlgItemMessageA(step, 102, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        char text[512] = "";
        SendDlgItemMessageA(step, 102, LB_GETTEXT, i, (LPARAM)text);
        rows.push_back(text);
    }
    return rows;
}

// ---- fixture ------------------------------------------------------------------------------

class StepTwo : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Resources()) << "gleaner.exe with the dialog templates is not beside the tests";
        if (!testutil::PathIsThere(Demo() + "/disc/ref"))
            GTEST_SKIP() << "no demo installation under the build folder";
        SetProgramInstance(Resources());
        std::string ref0 = Demo() + "/data/ref", ref1 = Demo() + "/disc/ref";
        SetRefDirectories(ref0.c_str(), ref1.c_str(), ref1.c_str());
        static char ss[512];
        std::snprintf(ss, sizeof ss, "%s/data/ss", Demo().c_str());
        if (!EphemerisTablesLoaded()) LoadEphemerisData(ss);
        SetUserDataFolder(dir_.path().c_str());
        ASSERT_EQ(ResetDialogSettings(), 1);
        LoadBuiltInCsvFormat();  // target in column 0 after one header line
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("log.csv"),
                                             "Object\nQwerty 1\nM31\nLinked Thing\nQwerty 1\n"));
        std::snprintf(CurrentImportSettings().importPath, 255, "%s", dir_.file("log.csv").c_str());
        host_ = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 560, 420,
                                nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(host_, nullptr);
    }
    void TearDown() override {
        if (step_) DestroyWindow(step_);
        if (host_) DestroyWindow(host_);
        SetUserDataFolder("");
    }
    void OpenStep() {
        job_ = CurrentJob();
        job_ = CurrentJob();
    step_ = CreateDialogParamA(Resources(), "DesPrepDlg", host_, DesPrepDlgProc,
                               reinterpret_cast<LPARAM>(&job_));
        ASSERT_NE(step_, nullptr);
        EXPECT_EQ(RunUnmatchedDesignationScan(step_), 1);
    }
    std::string LinkFile() { return dir_.file("gleaner_des_links.dat"); }
    testutil::TempDir dir_;
    HWND host_ = nullptr;
    HWND step_ = nullptr;
    ImportJob job_;
};

TEST_F(StepTwo, LinksThroughThePickerAndClearLinksListsEverythingAgain) {
    ASSERT_TRUE(testutil::WriteFileBytes(LinkFile(), "linked thing#M 42\n"));
    OpenStep();
    EXPECT_EQ(Rows(step_), (std::vector<std::string>{"Qwerty 1", "Qwerty 1"}));
    EXPECT_EQ(SendDlgItemMessageA(step_, 102, LB_GETCURSEL, 0, 0), 0);
    testutil::SaveScreenshot(testutil::CaptureClientArea(host_), "wizard_step2_scanned");

    std::string name;
    std::vector<std::string> afterLink;
    bool ran = RunScript({Press(&step_, 2003), PickBySearch("M 13", &name),
                          [&] { return Rows(step_).size() == 1; }, Do([&] { afterLink = Rows(step_); })});
    EXPECT_TRUE(ran);
    EXPECT_FALSE(name.empty());
    // The link goes after the links already there (a text file: CR LF on
    // Windows); one row of the two goes.
    EXPECT_EQ(testutil::ReadFileBytes(LinkFile()), "linked thing#M 42\nQwerty 1#" + name + "\r\n");
    EXPECT_EQ(afterLink, std::vector<std::string>{"Qwerty 1"});
    EXPECT_EQ(SendDlgItemMessageA(step_, 102, LB_GETCURSEL, 0, 0), 0) << "the row now at its index";

    ran = RunScript({Press(&step_, 104), [&] { return Rows(step_).size() == 3; }});
    EXPECT_TRUE(ran);
    EXPECT_EQ(Rows(step_), (std::vector<std::string>{"Qwerty 1", "Linked Thing", "Qwerty 1"}));
    bool there = false;
    EXPECT_EQ(testutil::ReadFileBytes(LinkFile(), &there), "");
    EXPECT_TRUE(there) << "the link file is made anew, empty";
}

TEST_F(StepTwo, ALinkThatCannotBeRecordedSaysSoAndKeepsItsRow) {
    // A user folder that does not exist: the link file cannot be opened.
    SetUserDataFolder(dir_.file("missing").c_str());
    OpenStep();
    ASSERT_EQ(Rows(step_).size(), 3u);
    std::string message;
    bool ran = RunScript({Press(&step_, 2003), PickBySearch("M 13", nullptr), Answer(kMessage, &message)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(message.rfind("The link could not be recorded: ", 0), 0u) << message;
    EXPECT_EQ(Rows(step_).size(), 3u);
}

TEST_F(StepTwo, AScanThatCannotReadTheFileSaysSo) {
    std::string missing = dir_.file("gone.csv");
    std::snprintf(CurrentImportSettings().importPath, 255, "%s", missing.c_str());
    job_ = CurrentJob();
    step_ = CreateDialogParamA(Resources(), "DesPrepDlg", host_, DesPrepDlgProc,
                               reinterpret_cast<LPARAM>(&job_));
    ASSERT_NE(step_, nullptr);
    std::string message;
    int result = 0;
    bool ran = RunScript({Answer(kMessage, &message)}, [&] { result = RunUnmatchedDesignationScan(step_); });
    EXPECT_TRUE(ran);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(message, "File not found: " + missing + "\n");
    EXPECT_TRUE(Rows(step_).empty());
}

TEST(StepTwoMessages, UndefinedValueTextsByKindAndResult) {
    const struct {
        int result, kind;
        const char *line, *want;
    } cases[] = {
        {1, kFormatKindDelimited, "M 31,Home\r\n", "A location was not found on line: M 31,Home"},
        {2, kFormatKindDelimited, "M 31,Home\n", "An observer was not found on line: M 31,Home"},
        {3, kFormatKindDelimited, "", "An instrument was not found on line: "},
        {1, kFormatKindTagged, "ignored", "No location was not found for a log entry"},
        {2, kFormatKindTagged, "ignored", "No observer was found for a log entry"},
        {3, kFormatKindTagged, "ignored", "No instrument was found for a log entry"},
        {0, kFormatKindDelimited, "x", ""},
        {-1, kFormatKindTagged, "x", ""},
        {4, kFormatKindDelimited, "x", ""},
    };
    for (const auto &c : cases) {
        char out[256] = "stale";
        FormatUndefinedValueMessage(c.result, c.kind, c.line, out, sizeof out);
        EXPECT_STREQ(out, c.want) << c.result << " " << c.kind;
    }
}

}  // namespace
