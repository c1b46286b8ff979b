// Wizard step 1 and the format editor driven for real under Windows or Wine:
// a thread timer runs a script of steps inside the dialogs' message loops
// (typing, choosing list entries, pressing buttons, answering message boxes)
// and the current format and the format file are checked afterwards. The
// templates come from gleaner.exe, loaded as a data file. Captures go into
// the build tree's "screenshots" folder.
#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/formateditor_win.h"
#include "app/formatfile.h"
#include "app/gleaner_win.h"
#include "app/step1_win.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "sites/sitestore.h"
#include "testutil/screenshot_win.h"
#include "testutil/dialogscript_win.h"
#include "testutil/testutil.h"
#include "ui/dib.h"
#include "resources/wizardids.h"

namespace {

using namespace testutil;

HINSTANCE Resources() { return ProgramResources(); }



// Captures a window's client area into <screenshots>/<name>.bmp.
void Screenshot(HWND window, const char *name) {
    testutil::SaveScreenshot(testutil::CaptureClientArea(window), name);
}

const char kEditor[] = "Configure File Format";
const char kMessage[] = "Gleaner Message";

class Wizard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Resources()) << "gleaner.exe with the dialog templates is not beside the tests";
        SetProgramInstance(Resources());
        SetUserDataFolder(dir_.path().c_str());
        ASSERT_EQ(OpenFormatFile(), 1);
        std::string log = "Object,Date\n";
        for (int i = 1; i <= 30; ++i) log += "M" + std::to_string(i) + ",01/02/2025\n";
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("log.csv"), log));
        std::snprintf(CurrentImportSettings().importPath, 255, "%s", dir_.file("log.csv").c_str());
        LoadBuiltInCsvFormat();
        // Two sites, so that the site list has entries to fix.
        int16_t count = 0;
        FILE *f = OpenLocationStore(&count);
        ASSERT_NE(f, nullptr);
        LocationTrailer t = {0, 0, 0};
        for (const char *name : {"Home", "Dark Ridge"}) {
            LocationRecord r;
            std::memset(&r, 0, sizeof r);
            InitLocationRecord(&r, 0.1, 0.7, 100, 6.5, 0, 15, 50, 2, 0, 0, name);
            ASSERT_EQ(AppendLocation(f, &r, &t), 1);
        }
        std::fclose(f);
    }
    void TearDown() override { SetUserDataFolder(""); }
    testutil::TempDir dir_;
};

TEST_F(Wizard, EditorShowsTheFormatOneBasedAndCancelLeavesItUnchanged) {
    std::unique_ptr<ImportFormat> before(new ImportFormat);
    std::memcpy(before.get(), &CurrentImportFormat(), sizeof *before);
    std::string invalid, third, noColumn;
    std::vector<std::string> sites, extras, layouts;
    std::string target, site, description, contents, name;
    bool timeEnabled = true, tagsEnabled = true, siteColumnEnabled = false;
    int result = -1;
    bool ran = RunScript(
        {On(kEditor,
            [&](HWND d) {
                name = ItemText(d, IDC_FORMAT_NAME);
                target = ItemText(d, IDC_FORMAT_TARGET_COLUMN);
                site = ItemText(d, IDC_FORMAT_SITE_COLUMN);
                description = ItemText(d, IDC_FORMAT_DESCRIPTION_COLUMN);
                contents = ItemText(d, IDC_FORMAT_FILE_CONTENTS);
                sites = Rows(d, IDC_FORMAT_SITE, false);
                extras = Rows(d, IDC_FORMAT_EXTRA_COLUMNS, false);
                layouts = Rows(d, IDC_FORMAT_DATE_LAYOUT, false);
                timeEnabled = Enabled(d, IDC_FORMAT_TIME_COLUMN);
                tagsEnabled = Enabled(d, IDC_FORMAT_ENTRY_TAG);
                Screenshot(d, "format_editor");
            }),
         // A third condition column is refused before any prompt opens.
         Press(kEditor, IDC_FORMAT_ADD_CONDITION_COLUMN),
         // A column that is no number is refused, named, and the prompt stays.
         Type("Observing Conditions", IDC_COLUMN_NUMBER, "abc"), Press("Observing Conditions", IDOK),
         Answer(kMessage, IDOK, &noColumn),
         Type("Observing Conditions", IDC_COLUMN_NUMBER, "16"), Press("Observing Conditions", IDOK),
         Press(kEditor, IDC_FORMAT_ADD_CONDITION_COLUMN), Answer(kMessage, IDOK, &third),
         // Changes made at once: a fixed site, the tagged kind, a deleted extra column.
         ChooseRow(kEditor, IDC_FORMAT_SITE, 2, false),
         On(kEditor, [&](HWND d) { siteColumnEnabled = Enabled(d, IDC_FORMAT_SITE_COLUMN); }),
         Press(kEditor, IDC_FORMAT_DEL_EXTRA_COLUMN), Press(kEditor, IDC_FORMAT_KIND_XML),
         Type(kEditor, IDC_FORMAT_TIME_COLUMN, "0"), Press(kEditor, IDC_FORMAT_KIND_DELIMITED),
         ChooseRow(kEditor, IDC_FORMAT_DATE_LAYOUT, 1, false), Type(kEditor, IDC_FORMAT_TIME_COLUMN, "0"),
         Press(kEditor, IDOK), Answer(kMessage, IDOK, &invalid), Press(kEditor, IDCANCEL)},
        [&] { result = RunFormatEditor(nullptr); });
    EXPECT_EQ(noColumn, "The column number for Observing Conditions holds no number: \"abc\".");
    EXPECT_TRUE(ran);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(name, "SkyMap Pro CSV");
    EXPECT_EQ(target, "1");        // stored column 0
    EXPECT_EQ(site, "11");         // stored column 10
    EXPECT_EQ(description, "29");  // stored column 28
    EXPECT_EQ(extras, (std::vector<std::string>{"20", "24", "28"}));
    EXPECT_EQ(sites, (std::vector<std::string>{"Obtain from file", "Home", "Dark Ridge"}));
    ASSERT_EQ(layouts.size(), 6u);
    EXPECT_EQ(layouts[5], "day month year plus separate time");
    EXPECT_FALSE(timeEnabled);  // layout 4 carries the time in the date text
    EXPECT_FALSE(tagsEnabled);
    EXPECT_FALSE(siteColumnEnabled);  // a fixed site reads no column
    EXPECT_EQ(contents.substr(0, 26), "Object,Date\r\nM1,01/02/2025");
    EXPECT_EQ(third, "No more than two observing condition columns are allowed");
    EXPECT_EQ(invalid, "The time column is invalid.");
    // Cancel: nothing the editor changed reaches the current format.
    EXPECT_EQ(0, std::memcmp(before.get(), &CurrentImportFormat(), sizeof *before));
}

TEST_F(Wizard, EditorOkCopiesTheEditsBack) {
    int result = -1;
    bool ran =
        RunScript({Type(kEditor, IDC_FORMAT_NAME, "Club log"), ChooseRow(kEditor, IDC_FORMAT_SITE, 2, false),
                   Press(kEditor, IDC_FORMAT_DEL_EXTRA_COLUMN), Type(kEditor, IDC_FORMAT_OBSERVER_COLUMN, ""),
                   ChooseRow(kEditor, IDC_FORMAT_DELIMITER, 4, false), Press(kEditor, IDOK)},
                  [&] { result = RunFormatEditor(nullptr); });
    EXPECT_TRUE(ran);
    EXPECT_EQ(result, 1);
    const ImportFormat &f = CurrentImportFormat();
    EXPECT_STREQ(f.name, "Club log");
    EXPECT_EQ(+f.siteFixed, 1);
    EXPECT_STREQ(f.fixedSite.name, "Dark Ridge");
    EXPECT_EQ(+f.observerColumn, -1);  // an empty column is none, not the first
    EXPECT_EQ(f.delimiter, ';');
    int32_t extras[5];
    std::memcpy(extras, f.extraColumns, sizeof extras);
    const int32_t expected[5] = {23, 27, kNoColumn, kNoColumn, kNoColumn};
    EXPECT_EQ(0, std::memcmp(extras, expected, sizeof extras));
}

TEST_F(Wizard, FixedEntriesAreFoundByNameIgnoringCaseAndAVanishedOneReadsFromTheFile) {
    struct Case { const char *name; int row; uint8_t fixedAfterOk; };
    const Case cases[] = {{"dark ridge", 2, 1}, {"Gone", 0, 0}};
    for (const Case &c : cases) {
        LoadBuiltInCsvFormat();
        ImportFormat &f = CurrentImportFormat();
        std::memset(&f.fixedSite, 0, sizeof f.fixedSite);
        std::snprintf(f.fixedSite.name, sizeof f.fixedSite.name, "%s", c.name);
        f.siteFixed = 1;
        int row = -1, result = -1;
        std::string column = "?";
        bool ran = RunScript({On(kEditor,
                                 [&](HWND d) {
                                     row = (int)SendDlgItemMessageA(d, IDC_FORMAT_SITE, CB_GETCURSEL, 0, 0);
                                     column = ItemText(d, IDC_FORMAT_SITE_COLUMN);
                                 }),
                              Press(kEditor, IDOK)},
                             [&] { result = RunFormatEditor(nullptr); });
        EXPECT_TRUE(ran) << c.name;
        EXPECT_EQ(result, 1) << c.name;
        EXPECT_EQ(row, c.row) << c.name;
        EXPECT_EQ(column, "") << c.name;
        EXPECT_EQ(+CurrentImportFormat().siteFixed, c.fixedAfterOk) << c.name;
    }
}

// A stand-in for the main window: a plain top-level window to host the step.
HWND MakeHost() {
    return CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 560, 420, nullptr, nullptr,
                           nullptr, nullptr);
}

int StoredFormatCount(const std::string &file) {
    std::string bytes = testutil::ReadFileBytes(file);
    if (bytes.size() < 4) return -1;
    int32_t n = 0;
    std::memcpy(&n, bytes.data(), 4);
    return n;
}

TEST_F(Wizard, StepOneCreatesSelectsAndDeletesFormatsAndRefusesBeginWithoutOne) {
    HWND host = MakeHost();
    ASSERT_NE(host, nullptr);
    CurrentImportSettings().selectedFormat = 3;  // stale: no format is stored
    HWND step = ShowImportStepOne(host);
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(CurrentImportSettings().selectedFormat, -1);
    EXPECT_STREQ(CurrentImportFormat().name, "SkyMap Pro CSV");
    EXPECT_EQ(ItemText(step, IDC_STEP1_FILE), dir_.file("log.csv"));

    std::string noFormat, noFile, editorName, editMissing, tooLong;
    const std::string longPath = "C:\\" + std::string(300, 'a') + ".csv";
    std::vector<std::string> afterNew, afterSecond, afterDelete;
    int selectedAfterNew = -2, countAfterNew = -1;
    bool ran = RunScript({Press(&step, IDOK),
                          Answer(kMessage, IDOK, &noFormat),
                          Press(&step, IDC_STEP1_NEW_FORMAT),
                          On(kEditor, [&](HWND d) { editorName = ItemText(d, IDC_FORMAT_NAME); }),
                          Type(kEditor, IDC_FORMAT_NAME, "Mine"),
                          Press(kEditor, IDOK),
                          On(&step,
                             [&](HWND d) {
                                 afterNew = Rows(d, IDC_STEP1_FORMAT, false);
                                 selectedAfterNew =
                                     (int)SendDlgItemMessageA(d, IDC_STEP1_FORMAT, CB_GETCURSEL, 0, 0);
                                 countAfterNew = StoredFormatCount(dir_.file("gleaner.cfg"));
                                 Screenshot(GetParent(d), "wizard_step1");
                             }),
                          Press(&step, IDC_STEP1_NEW_FORMAT),
                          Type(kEditor, IDC_FORMAT_NAME, "Second"),
                          Press(kEditor, IDOK),
                          On(&step, [&](HWND d) { afterSecond = Rows(d, IDC_STEP1_FORMAT, false); }),
                          Type(&step, IDC_STEP1_FILE, "C:\\no\\such\\file.csv"),
                          Press(&step, IDOK),
                          Answer(kMessage, IDOK, &noFile),
                          Press(&step, IDC_STEP1_EDIT_FORMAT),
                          Answer(kMessage, IDOK, &editMissing),
                          Type(&step, IDC_STEP1_FILE, longPath.c_str()),
                          Press(&step, IDOK),
                          Answer(kMessage, IDOK, &tooLong),
                          Type(&step, IDC_STEP1_FILE, dir_.file("log.csv").c_str()),
                          Press(&step, IDC_STEP1_DELETE_FORMAT),
                          On(&step, [&](HWND d) { afterDelete = Rows(d, IDC_STEP1_FORMAT, false); })});
    EXPECT_TRUE(ran);
    EXPECT_EQ(noFormat, "Please define an import format");
    EXPECT_EQ(editorName, "New");
    EXPECT_EQ(afterNew, std::vector<std::string>{"Mine"});
    EXPECT_EQ(selectedAfterNew, 0);
    EXPECT_EQ(countAfterNew, 1);
    EXPECT_EQ(afterSecond, (std::vector<std::string>{"Mine", "Second"}));
    // The texts of the missing-file messages, with the file on a line of its own.
    EXPECT_EQ(noFile, "The Import file was not found\r\n\r\nC:\\no\\such\\file.csv");
    EXPECT_EQ(editMissing, "Import file not found!\r\n\r\nC:\\no\\such\\file.csv");
    EXPECT_EQ(tooLong.substr(0, 38), "The path of the import file is too lon");
    // Deleting the selected (last) format selects and loads the one now last.
    EXPECT_EQ(afterDelete, std::vector<std::string>{"Mine"});
    EXPECT_EQ(CurrentImportSettings().selectedFormat, 0);
    EXPECT_STREQ(CurrentImportFormat().name, "Mine");
    EXPECT_EQ(StoredFormatCount(dir_.file("gleaner.cfg")), 1);

    // Begin Import with a file and a format hands over to step 2.
    step = GetCurrentStepWindow();
    ran = RunScript({Press(&step, IDOK), [&] { return GetCurrentStepWindow() != step; }});
    EXPECT_TRUE(ran);
    HWND next = GetCurrentStepWindow();
    ASSERT_NE(next, nullptr);
    EXPECT_FALSE(IsWindow(step));
    EXPECT_EQ(ItemText(next, IDC_STEP2_GROUP), "Step 2: Unmatched Objects");
    Screenshot(host, "wizard_step2");
    DestroyWindow(next);
    SetCurrentStepWindow(nullptr);
    DestroyWindow(host);
    // The step saved the settings when it went.
    ASSERT_EQ(OpenFormatFile(), 1);
    EXPECT_EQ(CurrentImportSettings().selectedFormat, 0);
    EXPECT_EQ(std::string(CurrentImportSettings().importPath), dir_.file("log.csv"));
}

TEST_F(Wizard, BrowsePutsTheChosenFileInTheStepAndLeavesTheCurrentDirectory) {
    HWND host = MakeHost();
    ASSERT_NE(host, nullptr);
    HWND step = ShowImportStepOne(host);
    ASSERT_NE(step, nullptr);
    CreateDirectoryA(dir_.file("logs").c_str(), nullptr);
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("logs/night.csv"), "M31,01/02/2025\n"));
    std::string chosen = dir_.file("logs/night.csv");
    for (char &c : chosen)
        if (c == '/') c = '\\';
    char before[MAX_PATH] = "", after[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, before);
    int result = -1;
    bool ran = RunScript({On("Open",
                             [&](HWND d) {
                                 // The file name field: a combo box (cmb13) or an edit (edt1).
                                 HWND field = GetDlgItem(d, cmb13);
                                 if (!field) field = GetDlgItem(d, edt1);
                                 SetWindowTextA(field, chosen.c_str());
                                 PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(d, IDOK));
                             })},
                         [&] { result = BrowseImportFile(step); });
    GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_TRUE(ran);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(ItemText(step, IDC_STEP1_FILE), chosen);
    EXPECT_STREQ(after, before);
    std::string folder = chosen.substr(0, chosen.find_last_of('\\'));
    EXPECT_EQ(std::string(GetBrowseFolder()), folder);
    DestroyWindow(step);
    SetCurrentStepWindow(nullptr);
    DestroyWindow(host);
}

// Begin Import refuses a file its format cannot read, naming the file, the
// format and what did not fit, and stays in step 1.
TEST_F(Wizard, BeginImportRefusesAFileThatDoesNotFitItsFormat) {
    HWND host = MakeHost();
    ASSERT_NE(host, nullptr);
    HWND step = ShowImportStepOne(host);
    ASSERT_NE(step, nullptr);
    ASSERT_EQ(AppendImportFormat(), 1);  // the delimited preset, stored
    FillFormatList(step, 1);
    const std::string xml = dir_.file("log.xml"), empty = dir_.file("empty.csv");
    ASSERT_TRUE(testutil::WriteFileBytes(xml, "<LOGS>\n<LOG>\n<ObjectId>M 31</ObjectId>\n</LOG>\n</LOGS>\n"));
    ASSERT_TRUE(testutil::WriteFileBytes(empty, ""));
    std::string tagged, nothing;
    bool ran = RunScript({Type(&step, IDC_STEP1_FILE, xml.c_str()), Press(&step, IDOK),
                          On(kMessage, [&](HWND d) { Screenshot(d, "begin_import_refused"); }),
                          Answer(kMessage, IDOK, &tagged), Type(&step, IDC_STEP1_FILE, empty.c_str()),
                          Press(&step, IDOK), Answer(kMessage, IDOK, &nothing)});
    EXPECT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(tagged, "The import file \"" + xml + "\" holds tagged (XML) text, but the format \"SkyMap Pro CSV\" "
                      "reads delimited text. Choose or make a tagged format for this file.");
    EXPECT_EQ(nothing, "The import file \"" + empty + "\" is empty: there is no entry to import with the format "
                       "\"SkyMap Pro CSV\".");
    // Still step 1.
    EXPECT_EQ(GetCurrentStepWindow(), step);
    EXPECT_TRUE(IsWindow(step));
    DestroyWindow(step);
    SetCurrentStepWindow(nullptr);
    DestroyWindow(host);
}

// Browse opens in the folder of the file named in the box and offers the
// format's file types before all files.
TEST_F(Wizard, BrowseStartsInTheBoxsFolderWithTheFormatsTypesFirst) {
    HWND host = MakeHost();
    ASSERT_NE(host, nullptr);
    HWND step = ShowImportStepOne(host);
    ASSERT_NE(step, nullptr);
    CreateDirectoryA(dir_.file("elsewhere").c_str(), nullptr);
    std::string named = dir_.file("elsewhere/missing.csv");
    for (char &c : named)
        if (c == '/') c = '\\';
    const std::string folder = named.substr(0, named.find_last_of('\\'));
    char seen[MAX_PATH] = "";
    std::vector<std::string> types;
    SetDlgItemTextA(step, IDC_STEP1_FILE, named.c_str());
    bool ran = RunScript({On("Open",
                             [&](HWND d) {
                                 // The folder the dialog shows.
                                 SendMessageA(d, CDM_GETFOLDERPATH, MAX_PATH, (LPARAM)seen);
                                 types = Rows(d, cmb1, false);
                                 Screenshot(d, "browse_dialog");
                                 PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                             })},
                         [&] { BrowseImportFile(step); });
    EXPECT_TRUE(ran) << LastScriptFailure();
    EXPECT_STREQ(seen, folder.c_str());
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(types[0], "Delimited text (*.csv;*.txt;*.tab)");
    EXPECT_EQ(types[1], "All files (*.*)");
    DestroyWindow(step);
    SetCurrentStepWindow(nullptr);
    DestroyWindow(host);
}

}  // namespace
