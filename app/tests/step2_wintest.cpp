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
#include "testutil/dialogscript_win.h"
#include "testutil/testutil.h"
#include "resources/pickerids.h"
#include "resources/wizardids.h"

namespace {

using namespace testutil;

std::string Demo() { return testutil::BuildDir() + "/demo"; }

// gleaner.exe's dialog templates, with the picker's control classes
// registered for it.
HINSTANCE Resources() {
    static HINSTANCE module = nullptr;
    if (!module && (module = ProgramResources())) RegisterSCBitmapClass(module);
    return module;
}

const char kPicker[] = "Object Requestor -- Find an Object in the Database";
const char kMessage[] = "Gleaner Message";

// In the picker: search for the text, keep the name the panel shows, OK.
Step PickBySearch(const char *text, std::string *shownName) {
    std::string t = text;
    return [=] {
        HWND picker = FindDialog(kPicker);
        HWND edit = picker ? FindDescendant(picker, IDC_SEARCH_TEXT) : nullptr;
        if (!edit) return false;
        SetWindowTextA(edit, t.c_str());
        SendMessageA(GetParent(edit), WM_COMMAND, MAKEWPARAM(IDC_SEARCH_GO, BN_CLICKED), 0);
        if (shownName) *shownName = WindowText(FindDescendant(picker, IDC_REQ_NAME));
        PostMessageA(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    };
}

// The designations step 2 lists as unrecognised.
std::vector<std::string> Rows(HWND step) { return testutil::Rows(step, IDC_STEP2_LIST); }

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
    EXPECT_EQ(SendDlgItemMessageA(step_, IDC_STEP2_LIST, LB_GETCURSEL, 0, 0), 0);
    testutil::SaveScreenshot(testutil::CaptureClientArea(host_), "wizard_step2_scanned");

    std::string name;
    std::vector<std::string> afterLink;
    bool ran = RunScript({Press(&step_, IDC_STEP2_LINK), PickBySearch("M 13", &name),
                          [&] { return Rows(step_).size() == 1; }, Do([&] { afterLink = Rows(step_); })});
    EXPECT_TRUE(ran);
    EXPECT_FALSE(name.empty());
    // The link goes after the links already there (a text file: CR LF on
    // Windows); one row of the two goes.
    EXPECT_EQ(testutil::ReadFileBytes(LinkFile()), "linked thing#M 42\nQwerty 1#" + name + "\r\n");
    EXPECT_EQ(afterLink, std::vector<std::string>{"Qwerty 1"});
    EXPECT_EQ(SendDlgItemMessageA(step_, IDC_STEP2_LIST, LB_GETCURSEL, 0, 0), 0)
        << "the row now at its index";

    ran = RunScript({Press(&step_, IDC_STEP2_CLEAR_LINKS), [&] { return Rows(step_).size() == 3; }});
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
    bool ran =
        RunScript({Press(&step_, IDC_STEP2_LINK), PickBySearch("M 13", nullptr), Answer(kMessage, IDOK, &message)});
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
    bool ran = RunScript({Answer(kMessage, IDOK, &message)}, [&] { result = RunUnmatchedDesignationScan(step_); });
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
