// "Create Obstructed Horizon" driven for real under Windows or Wine: from the
// Observing Sites dialog's "Create" with a text file (the horizon link then
// shows the new horizon), the import answers as messages, the "Replace?"
// question of Read File and of Finish, and a telescope run on a fake
// telescope whose readings arrive on the dialog's one-second timer (the
// script waits for the readings, never for a time): a deleted segment never
// reaches the horizon, Finish keeps a segment still running, and closing
// during a run asks first.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "core/dlgsettings.h"
#include "core/mathutil.h"
#include "core/userfolder.h"
#include "dialogs/sitedialogs_win.h"
#include "resources/siteids.h"
#include "sites/horizon.h"
#include "sites/horizonfile.h"
#include "sites/horizonreadings.h"
#include "sites/sitestore.h"
#include "testutil/dialogscript_win.h"
#include "testutil/screenshot_win.h"
#include "testutil/testutil.h"
#include "ui/controls.h"

namespace {

using namespace testutil;

const double kDeg = kPi / 180.0;
const char kSites[] = "Observing Sites";
const char kHorizon[] = "Create Obstructed Horizon";
const char kMessage[] = "Nightjar Message";

HINSTANCE Resources() {
    static HINSTANCE module = nullptr;
    if (!module && (module = testutil::ProgramResources())) RegisterHyperTextClass(module);
    return module;
}

// The fake telescope; the declination it reports tells the segments apart.
double g_declination = 10.0 * kDeg;
int FakeConnected() { return 1; }
int FakePosition(double *ra, double *dec) {
    *ra = 2.0;
    *dec = g_declination;
    return 1;
}
const HorizonReadingSource kFakeTelescope = {FakeConnected, FakePosition};

std::vector<std::string> Lines(const std::string &path) {
    std::vector<std::string> out;
    std::string text = ReadFileBytes(path), line;
    for (char c : text) {
        if (c == '\n') {
            out.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    return out;
}

class HorizonDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Resources()) << "gleaner.exe with the dialog templates is not beside the tests";
        SetUserDataFolder(dir_.path().c_str());
        std::memset(&site_, 0, sizeof site_);
        InitLocationRecord(&site_, 105 * kDeg, 35 * kDeg, 0.0, 6.5, 0.0, 15.0, 50.0, 2, 0.0, -7.0, "Mesa");
    }
    void TearDown() override {
        SetHorizonReadingSource(nullptr);
        SetUserDataFolder("");
    }
    std::string Text(const char *name, const std::string &content) {
        std::string path = dir_.file(name);
        EXPECT_TRUE(WriteFileBytes(path, content));
        return path;
    }
    INT_PTR Open() { return DialogBoxParamA(Resources(), "LocHorDlg", nullptr, LocHorDlgProc, (LPARAM)&site_); }
    testutil::TempDir dir_;
    LocationRecord site_;
};

int Screenshot(HWND window, const char *name) {
    testutil::WindowPicture shot = testutil::CaptureClientArea(window);
    testutil::SaveScreenshot(shot, name);
    return testutil::CountPixelsOfColour(shot, RGB(0, 0, 0));
}

// The real road: "Create" in the Observing Sites dialog, no telescope (the
// importer has none), a text file read; the horizon link then reads
// "enabled".
TEST_F(HorizonDialog, CreateFromTheSitesDialogWithATextFile) {
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    ASSERT_NE(f, nullptr);
    LocationTrailer t = {0, 0, 0};
    ASSERT_EQ(AppendLocation(f, &site_, &t), 1);
    std::fclose(f);
    std::string file = Text("ridge.txt", "0 10\r\n\r\n90 5\r\n180 20\r\n270 8\r\n");
    std::string linkBefore, linkAfter, note, done;
    bool begin = true, single = true, start = true, finish = true, cancel = true;
    LocationRecord asked = site_;
    bool ran = RunScript(
        {On(kSites, [&](HWND d) { linkBefore = ItemText(d, IDC_SITE_HORIZON_STATUS); }),
         Press(kSites, IDC_SITE_HORIZON_CREATE),
         On(kHorizon, [&](HWND d) {
                 note = ItemText(d, IDC_HORIZON_TELESCOPE_NOTE);
                 begin = Enabled(d, IDC_HORIZON_BEGIN);
                 single = Enabled(d, IDC_HORIZON_SINGLE);
                 start = Enabled(d, IDC_HORIZON_START);
                 finish = Enabled(d, IDC_HORIZON_FINISH);
                 cancel = Enabled(d, IDC_HORIZON_CANCEL_RUN);
                 SetDlgItemTextA(d, IDC_HORIZON_FILE, file.c_str());
                 EXPECT_GT(Screenshot(d, "horizon_dialog"), 500);  // the texts are drawn
             }),
         Press(kHorizon, IDC_HORIZON_READ_FILE), Answer(kMessage, IDOK, &done), Press(kHorizon, IDOK),
         [&] { return FindDialog(kHorizon) == nullptr; },
         On(kSites, [&](HWND d) { linkAfter = ItemText(d, IDC_SITE_HORIZON_STATUS); }), Press(kSites, IDOK)},
        [&] { EXPECT_EQ(PickLocation(nullptr, Resources(), &asked), 1); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(note, "No telescope is connected");
    EXPECT_FALSE(begin);
    EXPECT_FALSE(single);
    EXPECT_FALSE(start);
    EXPECT_FALSE(finish);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(done, "Obstructed horizon created successfully");
    EXPECT_EQ(linkBefore, "not defined");
    EXPECT_EQ(linkAfter, "enabled");
    HorizonRow rows[kHorizonRowCount];
    ASSERT_EQ(LoadHorizon(&site_, rows), 1);
    // Row 15 is azimuth 90: 5 degrees, with refraction added (the dip is 0 at 0 m).
    EXPECT_GT(rows[15].altitude / kDeg, 5.0);
    EXPECT_LT(rows[15].altitude / kDeg, 5.2);
}

// Each answer of an import as its message, in one opening of the dialog;
// "Replace?" is asked once a horizon exists, and No leaves it as it was.
TEST_F(HorizonDialog, ReadFileAnswersAndReplaceQuestion) {
    std::string thousand;
    for (int i = 0; i < 1000; ++i) thousand += std::to_string(i % 360) + " 5\n";
    struct Case {
        std::string path;
        std::string message;
    } cases[] = {
        {Text("one.txt", "10 5\n"), "File has fewer than 2 entries"},
        // The text of the reading error, then what was wrong and where.
        {Text("bad.txt", "10 5\n12 abc\n"), "Error reading horizon data:\r\n12 abc\r\n\r\nLine 2 of \"" +
                                                  dir_.file("bad.txt") +
                                                  "\" does not hold an azimuth and an altitude (two numbers in degrees)."},
        {Text("many.txt", thousand), "File has too many entries (limit 999)"},
        {dir_.file("missing.txt"),
         "Error reading horizon data:\r\nThe file \"" + dir_.file("missing.txt") + "\" could not be opened."},
        {Text("good.txt", "0 10\n180 20\n"), "Obstructed horizon created successfully"},
    };
    std::vector<Step> steps;
    std::vector<std::string> got(std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        steps.push_back(On(kHorizon, [&, i](HWND d) { SetDlgItemTextA(d, IDC_HORIZON_FILE, cases[i].path.c_str()); }));
        steps.push_back(Press(kHorizon, IDC_HORIZON_READ_FILE));
        steps.push_back(Answer(kMessage, IDOK, &got[i]));
    }
    std::string before, question;
    std::string other = Text("other.txt", "0 30\n180 40\n");
    steps.push_back(Do([&] { before = ReadFileBytes(dir_.file("horizons/Mesa.bin")); }));
    steps.push_back(On(kHorizon, [&](HWND d) { SetDlgItemTextA(d, IDC_HORIZON_FILE, other.c_str()); }));
    steps.push_back(Press(kHorizon, IDC_HORIZON_READ_FILE));
    steps.push_back(Answer(kMessage, IDNO, &question));
    steps.push_back(Press(kHorizon, IDOK));
    INT_PTR result = -5;
    bool ran = RunScript(steps, [&] { result = Open(); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(got[i], cases[i].message) << i;
    EXPECT_EQ(question, "An obstructed horizon already exists for this location.\r\nReplace?");
    EXPECT_FALSE(before.empty());
    EXPECT_EQ(ReadFileBytes(dir_.file("horizons/Mesa.bin")), before);
    EXPECT_EQ(result, 1);  // a horizon was made while it was open
}

// Begin, Start, (readings), Stop, Delete Last, Start, (readings), Finish
// without Stop: only the second segment's readings make the horizon. Closing
// during the run asks; No keeps it going.
TEST_F(HorizonDialog, TelescopeRunKeepsOnlyTheSegmentsNotDeleted) {
    SetHorizonReadingSource(&kFakeTelescope);
    std::string segment = dir_.file("horseg.txt"), all = dir_.file("hor.txt");
    std::string quitQuestion, done;
    bool beginEnabled = false, stopAfterNo = false, startAfterDelete = false;
    std::vector<std::string> second, final;
    bool ran = RunScript(
        {On(kHorizon, [&](HWND d) { beginEnabled = Enabled(d, IDC_HORIZON_BEGIN); }),
         Press(kHorizon, IDC_HORIZON_BEGIN), Press(kHorizon, IDC_HORIZON_START),
         [&] { return Lines(segment).size() >= 2; },
         Press(kHorizon, IDC_HORIZON_STOP), Press(kHorizon, IDC_HORIZON_DELETE_LAST),
         On(kHorizon, [&](HWND d) { startAfterDelete = Enabled(d, IDC_HORIZON_START); }),
         Do([&] { g_declination = -20.0 * kDeg; }),
         Press(kHorizon, IDC_HORIZON_START),
         [&] { return Lines(segment).size() >= 1; },
         Press(kHorizon, IDOK), Answer(kMessage, IDNO, &quitQuestion),
         On(kHorizon, [&](HWND d) { stopAfterNo = Enabled(d, IDC_HORIZON_STOP); }),
         // The run goes on after No: more readings arrive.
         [&] { return Lines(segment).size() >= 3; },
         On(kHorizon, [&](HWND d) { Screenshot(d, "horizon_dialog_run"); }),
         Press(kHorizon, IDC_HORIZON_FINISH),
         Answer(kMessage, IDOK, &done),
         Do([&] {
             second = Lines(segment);
             final = Lines(all);
         }),
         Press(kHorizon, IDOK)},
        [&] { EXPECT_EQ(Open(), 1); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_TRUE(beginEnabled);
    EXPECT_TRUE(startAfterDelete);
    EXPECT_EQ(quitQuestion, "You have not finished creating your obstructed horizon.\r\nAll changes will be lost. Quit?");
    EXPECT_TRUE(stopAfterNo);
    EXPECT_EQ(done, "Obstructed horizon created successfully");
    ASSERT_GE(second.size(), 3u);
    EXPECT_EQ(final, second);
    EXPECT_EQ(HorizonFileExists("Mesa"), 1);
}

// Finish over an existing horizon asks as Read File does; No keeps both the
// horizon and the run, Cancel then ends the run and Close asks nothing.
TEST_F(HorizonDialog, FinishAsksBeforeReplacing) {
    ASSERT_EQ(CreateFlatHorizon(&site_), 1);
    std::string before = ReadFileBytes(dir_.file("horizons/Mesa.bin"));
    SetHorizonReadingSource(&kFakeTelescope);
    std::string question;
    bool finishAfterNo = false, beginAfterCancel = false;
    bool ran = RunScript(
        {Press(kHorizon, IDC_HORIZON_BEGIN), Press(kHorizon, IDC_HORIZON_START),
         [&] { return Lines(dir_.file("horseg.txt")).size() >= 2; },
         Press(kHorizon, IDC_HORIZON_FINISH), Answer(kMessage, IDNO, &question),
         On(kHorizon, [&](HWND d) { finishAfterNo = Enabled(d, IDC_HORIZON_FINISH); }),
         Press(kHorizon, IDC_HORIZON_CANCEL_RUN),
         On(kHorizon, [&](HWND d) { beginAfterCancel = Enabled(d, IDC_HORIZON_BEGIN); }),
         Press(kHorizon, IDOK)},
        [&] { EXPECT_EQ(Open(), 0); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(question, "An obstructed horizon already exists for this location.\r\nReplace?");
    EXPECT_TRUE(finishAfterNo);
    EXPECT_TRUE(beginAfterCancel);
    EXPECT_EQ(ReadFileBytes(dir_.file("horizons/Mesa.bin")), before);
}

// Closing during a run and answering Yes ends the run: the segment file is
// closed (Windows refuses to delete an open file) and no horizon is made.
TEST_F(HorizonDialog, CloseDuringARunClosesTheSegment) {
    SetHorizonReadingSource(&kFakeTelescope);
    std::string segment = dir_.file("horseg.txt");
    bool ran = RunScript({Press(kHorizon, IDC_HORIZON_BEGIN), Press(kHorizon, IDC_HORIZON_START),
                          [&] { return Lines(segment).size() >= 1; }, Press(kHorizon, IDOK),
                          Answer(kMessage, IDYES)},
                         [&] { EXPECT_EQ(Open(), 0); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(std::remove(segment.c_str()), 0);
    EXPECT_EQ(HorizonFileExists("Mesa"), 0);
}

// The text file remembered in the dialog settings is shown on opening; one
// chosen with "Browse" is shown and remembered in its place.
TEST_F(HorizonDialog, BrowseRemembersTheChosenFile) {
    char stored[640] = {0};
    std::snprintf(stored, 128, "%s", "old.txt");
    std::snprintf(stored + 128, 512, "%s", "C:\\horizons");
    ASSERT_EQ(ResetDialogSettings(), 1);
    ASSERT_EQ(PutDialogSetting(stored, sizeof stored, kDdsHorizon), 1);
    std::string chosen = Text("chosen.txt", "0 1\n180 2\n");
    std::string windowsChosen = chosen;
    for (char &c : windowsChosen)
        if (c == '/') c = '\\';
    std::string shownFirst, shownAfter;
    const int kOpenFileNameField = 0x47c;  // the file name box of the common open dialog
    bool ran = RunScript(
        {On(kHorizon, [&](HWND d) { shownFirst = ItemText(d, IDC_HORIZON_FILE); }),
         Press(kHorizon, IDC_HORIZON_BROWSE),
         On("Open", [&](HWND d) {
                 HWND name = GetDlgItem(d, kOpenFileNameField);
                 if (!name) name = GetDlgItem(d, 0x480);
                 SetWindowTextA(name, windowsChosen.c_str());
             }),
         Press("Open", IDOK), [&] { return FindDialog("Open") == nullptr; },
         On(kHorizon, [&](HWND d) { shownAfter = ItemText(d, IDC_HORIZON_FILE); }), Press(kHorizon, IDOK)},
        [&] { EXPECT_EQ(Open(), 0); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(shownFirst, "C:\\horizons\\old.txt");
    EXPECT_EQ(shownAfter, windowsChosen);
    char again[640] = {0};
    ASSERT_EQ(GetDialogSetting(again, sizeof again, kDdsHorizon), 1);
    EXPECT_STREQ(again, "chosen.txt");
    EXPECT_EQ(windowsChosen, std::string(again + 128) + "\\chosen.txt");
}

}  // namespace
