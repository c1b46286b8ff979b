// The whole import, end to end: gleaner.exe started for real under Windows or
// Wine on a copy of the demo installation's user folder, driven through the
// four wizard steps as a user would, for the two sample logs (the tagged one
// as other programs write such logs: every entry element and some values
// carrying attributes). Step 2 links
// "Andromeda Gxy" through the object picker; step 3 links the unknown site
// and observer to known ones and creates the unknown instrument; Finish
// reports its count, and the entries are then looked up in the log store.
// Importing the delimited log a second time adds nothing. Every step is
// kept as a screenshot ("e2e-*" in the build's screenshots folder).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/userfolder.h"
#include "logstore/logindexscan.h"
#include "testutil/screenshot_win.h"
#include "testutil/dialogscript_win.h"
#include "testutil/program_win.h"
#include "testutil/testutil.h"
#include "resources/wizardids.h"
#include "resources/pickerids.h"
#include "resources/instrumentids.h"

namespace {

const char *const kMainTitle = "Nightjar 3 Log Importer";
const char *const kPickerTitle = "Object Requestor -- Find an Object in the Database";
using testutil::Backslashes;
using testutil::Click;
using testutil::FindDescendant;
using testutil::Sync;
using testutil::WaitGone;
using testutil::WindowsPath;

const DWORD kWait = testutil::kProgramWait;

std::string Demo(const std::string &sub) { return testutil::DemoPath(sub); }

bool EndsWith(const std::string &text, const std::string &tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The suite's folder values point at the demo's data and installation and at
// a scratch copy of its user folder; the demo's data disc is copied into the
// scratch drive W:, where the program looks for the disc's marker file.
struct Installation {
    testutil::ScratchDrive drive{'W'};
    testutil::TempDir user;
    testutil::SuiteFolders folders{Demo("data"), user.path(), Demo("install")};
    bool ok = false;
    Installation() {
        // The user folder's format file as the demo lays it out (the demo's
        // own copy may have been changed by other tests).
        ok = drive.ok() && CopyTree(Demo("disc").c_str(), drive.folder().c_str()) &&
             CopyTree(Demo("user").c_str(), user.path().c_str()) &&
             CopyFileA(Demo("logs/gleaner.cfg").c_str(), (user.path() + "/gleaner.cfg").c_str(), FALSE);
    }
};

// A modal dialog of the program answered with OK, after its screenshot.
void ConfirmDialog(DWORD pid, const char *title, const char *shot) {
    HWND box = testutil::WaitForTopWindow(pid, title);
    ASSERT_NE(box, nullptr) << "no dialog \"" << title << "\"";
    EXPECT_TRUE(testutil::ShootProgramWindow(box, shot)) << shot;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitGone(box)) << title;
}

// Entry files "%08d.bin" in the class folders of the log store.
int CountLogEntries(const std::string &user) {
    int n = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((user + "/log/*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    std::vector<std::string> folders;
    do {
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && fd.cFileName[0] != '.')
            folders.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    for (const std::string &folder : folders) {
        HANDLE f = FindFirstFileA((user + "/log/" + folder + "/*.bin").c_str(), &fd);
        if (f == INVALID_HANDLE_VALUE) continue;
        do {
            std::string name = fd.cFileName;
            if (name.size() == 12 && std::all_of(name.begin(), name.begin() + 8, ::isdigit)) ++n;
        } while (FindNextFileA(f, &fd));
        FindClose(f);
    }
    return n;
}

std::vector<std::string> IndexNames(const std::string &user, int (*begin)(IndexScan *),
                                    int (*next)(IndexScan *, char *)) {
    std::string saved = GetUserDataFolder() ? GetUserDataFolder() : "";
    SetUserDataFolder(user.c_str());
    std::vector<std::string> names;
    IndexScan scan;
    if (begin(&scan)) {
        char name[kIndexScanNameSize];
        for (int guard = 0, r; guard < 1000 && (r = next(&scan, name)) != 0; ++guard)
            if (r > 0) names.push_back(name);
    }
    EndIndexScan(&scan);
    SetUserDataFolder(saved.c_str());
    std::sort(names.begin(), names.end());
    return names;
}

// The tagged sample with attributes on every entry element and on the values
// of some entries, as other logging programs write their entries
// (<observation id="...">): the import must read it as the plain sample.
std::string TaggedLogWithAttributes(const std::string &folder) {
    std::string text = testutil::ReadFileBytes(Demo("logs/deepsky-log.xml"));
    int entry = 0;
    for (size_t at = 0; (at = text.find("<LOG>", at)) != std::string::npos; ++entry) {
        std::string open = "<LOG id=\"obs_" + std::to_string(entry + 1) + "\" type=\"visual\">";
        text.replace(at, 5, open);
        at += open.size();
    }
    for (const char *value : {"<ObjectId>", "<LocationObserved>", "<DateObserved>"}) {
        std::string name = std::string(value).substr(0, std::strlen(value) - 1);
        size_t at = text.find(value);
        if (at != std::string::npos) text.replace(at, std::strlen(value), name + " source=\"export\">");
    }
    std::string path = folder + "/deepsky-attributes.xml";
    EXPECT_GT(entry, 0) << "the tagged sample has no entries";
    EXPECT_TRUE(testutil::WriteFileBytes(path, text));
    return path;
}

// Step 1 with the file and the format, then Begin Import; step 2 once its
// scan has run.
HWND BeginImport(HWND main, const std::string &path, int format, const char *shot) {
    HWND step1 = testutil::WaitForChildDialog(main, IDC_STEP1_FILE);
    EXPECT_NE(step1, nullptr) << "no step 1";
    if (!step1) return nullptr;
    SendDlgItemMessageA(step1, IDC_STEP1_FILE, WM_SETTEXT, 0, (LPARAM)WindowsPath(path).c_str());
    HWND combo = GetDlgItem(step1, IDC_STEP1_FORMAT);
    SendMessageA(combo, CB_SETCURSEL, format, 0);
    SendMessageA(step1, WM_COMMAND, MAKEWPARAM(IDC_STEP1_FORMAT, CBN_SELCHANGE), (LPARAM)combo);
    EXPECT_TRUE(testutil::ShootProgramWindow(step1, shot));
    Click(step1, IDOK);
    HWND step2 = testutil::WaitForChildDialog(main, IDC_STEP2_LINK);
    EXPECT_NE(step2, nullptr) << "no step 2";
    if (step2) Sync(step2);
    return step2;
}

// Step 4 after Finish: the result box's text, answered with OK.
std::string FinishImport(DWORD pid, HWND step4, const char *shot) {
    Click(step4, IDC_STEP4_FINISH);
    HWND result = testutil::WaitForTopWindow(pid, "Gleaner Results");
    EXPECT_NE(result, nullptr) << "no result box";
    if (!result) return "";
    std::string text = testutil::RemoteText(GetDlgItem(result, IDC_RESULT_TEXT));
    EXPECT_TRUE(testutil::ShootProgramWindow(result, shot));
    PostMessageA(result, WM_COMMAND, IDOK, 0);
    WaitGone(result);
    return text;
}

TEST(WizardEndToEnd, ImportsBothSampleLogsWithLinksAndNoDuplicates) {
    Installation demo;
    ASSERT_TRUE(demo.ok) << "the demo installation could not be copied";
    const std::string user = demo.user.path();
    const std::string csv = Demo("logs/skymap-log.csv"), xml = TaggedLogWithAttributes(user);
    testutil::Program p(user);
    ASSERT_TRUE(p.started());
    const DWORD pid = p.pid();
    HWND main = testutil::WaitForTopWindow(pid, kMainTitle);
    ASSERT_NE(main, nullptr) << "no main window";

    // The demo opens ready to import the delimited sample with its format.
    HWND step1 = testutil::WaitForChildDialog(main, IDC_STEP1_FILE);
    ASSERT_NE(step1, nullptr);
    Sync(step1);
    EXPECT_TRUE(EndsWith(testutil::RemoteText(GetDlgItem(step1, IDC_STEP1_FILE)), "\\demo\\logs\\skymap-log.csv"))
        << testutil::RemoteText(GetDlgItem(step1, IDC_STEP1_FILE));
    EXPECT_EQ(testutil::RemoteText(GetDlgItem(step1, IDC_STEP1_FORMAT)), "SkyMap Pro CSV");

    // ---- the delimited log ----
    HWND step2 = BeginImport(main, csv, 0, "e2e-01-step1-delimited");
    ASSERT_NE(step2, nullptr);
    EXPECT_EQ(testutil::RemoteRows(step2, IDC_STEP2_LIST), (std::vector<std::string>{"Andromeda Gxy", "Mystery Blob 7"}));
    EXPECT_TRUE(testutil::ShootProgramWindow(step2, "e2e-02-step2-delimited"));

    // Link "Andromeda Gxy" to the object the picker finds for "M 31".
    testutil::RemoteSelectRow(step2, IDC_STEP2_LIST, 0);
    Click(step2, IDC_STEP2_LINK);
    HWND picker = testutil::WaitForTopWindow(pid, kPickerTitle);
    ASSERT_NE(picker, nullptr) << "no object picker";
    Sync(picker);
    HWND searchText = FindDescendant(picker, IDC_SEARCH_TEXT);
    ASSERT_NE(searchText, nullptr) << "no search page";
    EXPECT_EQ(testutil::RemoteText(searchText), "Andromeda Gxy") << "the row's text is the preset search";
    SendMessageA(searchText, WM_SETTEXT, 0, (LPARAM) "M 31");
    SendMessageA(GetParent(searchText), WM_COMMAND, MAKEWPARAM(IDC_SEARCH_GO, BN_CLICKED), 0);
    Sync(picker);
    HWND objectName = FindDescendant(picker, IDC_REQ_NAME);
    ASSERT_NE(objectName, nullptr);
    // The picker names the galaxy by the preferred order (its common name).
    const std::string chosenName = testutil::RemoteText(objectName);
    EXPECT_EQ(chosenName, "Andromeda Galaxy");
    EXPECT_TRUE(testutil::ShootProgramWindow(picker, "e2e-03-picker"));
    PostMessageA(picker, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitGone(picker));
    Sync(step2);
    EXPECT_EQ(testutil::RemoteRows(step2, IDC_STEP2_LIST), (std::vector<std::string>{"Mystery Blob 7"}));
    EXPECT_TRUE(testutil::ShootProgramWindow(step2, "e2e-04-step2-linked"));
    std::string links = testutil::ReadFileBytes(user + "/gleaner_des_links.dat");
    EXPECT_TRUE(links == "Andromeda Gxy#" + chosenName + "\n" ||
                links == "Andromeda Gxy#" + chosenName + "\r\n")
        << links;

    Click(step2, IDOK);
    HWND step3 = testutil::WaitForChildDialog(main, IDC_STEP3_CLEAR_LINKS);
    ASSERT_NE(step3, nullptr) << "no step 3";
    Sync(step3);
    EXPECT_EQ(testutil::RemoteRows(step3, IDC_STEP3_INSTRUMENTS), (std::vector<std::string>{"Binoculars 15x70"}));
    EXPECT_EQ(testutil::RemoteRows(step3, IDC_STEP3_LOCATIONS), (std::vector<std::string>{"Backyard"}));
    EXPECT_EQ(testutil::RemoteRows(step3, IDC_STEP3_OBSERVERS), (std::vector<std::string>{"J. Smith"}));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(step3, IDOK)));
    EXPECT_TRUE(testutil::ShootProgramWindow(step3, "e2e-05-step3"));

    // The unknown site and observer are linked to the stored ones the
    // pickers open with; the unknown instrument is created as a telescope.
    testutil::RemoteSelectRow(step3, IDC_STEP3_LOCATIONS, 0);
    Click(step3, IDC_STEP3_LINK);
    ConfirmDialog(pid, "Observing Sites", "e2e-06-site-picker");
    testutil::RemoteSelectRow(step3, IDC_STEP3_OBSERVERS, 0);
    Click(step3, IDC_STEP3_LINK);
    ConfirmDialog(pid, "Observers", "e2e-07-observer-picker");
    testutil::RemoteSelectRow(step3, IDC_STEP3_INSTRUMENTS, 0);
    Click(step3, IDC_STEP3_CREATE);
    HWND type = testutil::WaitForTopWindow(pid, "Select Instrument Type");
    ASSERT_NE(type, nullptr) << "no instrument type box";
    Sync(type);
    SendDlgItemMessageA(type, IDC_INSTTYPE_TELESCOPE, BM_SETCHECK, BST_UNCHECKED, 0);
    SendDlgItemMessageA(type, IDC_INSTTYPE_BINOCULARS, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(testutil::ShootProgramWindow(type, "e2e-08-instrument-type"));
    PostMessageA(type, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitGone(type));
    // The binoculars dialog opens on the store with the new binoculars; Done
    // may first ask for the chart settings of new instruments.
    HWND binoculars = testutil::WaitForTopWindow(pid, "Add/Modify Binoculars");
    ASSERT_NE(binoculars, nullptr) << "no binoculars dialog";
    Sync(binoculars);
    const std::vector<std::string> stored = testutil::RemoteRows(binoculars, IDC_BINOC_LIST);
    EXPECT_NE(std::find(stored.begin(), stored.end(), "Binoculars 15x70"), stored.end());
    EXPECT_TRUE(testutil::ShootProgramWindow(binoculars, "e2e-09-new-binoculars"));
    PostMessageA(binoculars, WM_COMMAND, IDOK, 0);
    for (DWORD start = GetTickCount(); IsWindow(binoculars) && IsWindowVisible(binoculars) && GetTickCount() - start < kWait;) {
        if (HWND chart = testutil::WaitForTopWindow(pid, "Default Settings for New Instruments", 0)) {
            EXPECT_TRUE(testutil::ShootProgramWindow(chart, "e2e-09b-chart-defaults"));
            PostMessageA(chart, WM_COMMAND, IDOK, 0);
            WaitGone(chart);
        }
        Sleep(50);  // polled: the chart question comes only sometimes
    }
    EXPECT_FALSE(IsWindow(binoculars) && IsWindowVisible(binoculars)) << "the binoculars dialog stayed open";
    Sync(step3);
    EXPECT_TRUE(testutil::RemoteRows(step3, IDC_STEP3_INSTRUMENTS).empty());
    EXPECT_TRUE(testutil::RemoteRows(step3, IDC_STEP3_LOCATIONS).empty());
    EXPECT_TRUE(testutil::RemoteRows(step3, IDC_STEP3_OBSERVERS).empty());
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(step3, IDOK)));
    EXPECT_TRUE(testutil::ShootProgramWindow(step3, "e2e-10-step3-linked"));

    Click(step3, IDOK);
    HWND step4 = testutil::WaitForChildDialog(main, IDC_STEP4_FINISH);
    ASSERT_NE(step4, nullptr) << "no step 4";
    Sync(step4);
    std::vector<std::string> preview = testutil::RemoteRows(step4, IDC_STEP4_LIST);
    ASSERT_EQ(preview.size(), 5u);
    EXPECT_NE(preview[3].find("Mystery Blob 7 -- warning, object not recognized"), std::string::npos) << preview[3];
    for (int i : {0, 1, 2, 4}) EXPECT_EQ(preview[i].find("warning"), std::string::npos) << preview[i];
    EXPECT_EQ(preview[2].rfind(chosenName + " at Cherry Springs", 0), 0u) << preview[2];
    EXPECT_NE(preview[1].find("Cherry Springs"), std::string::npos) << "Backyard read through its link";
    EXPECT_NE(preview[1].find("Binoculars 15x70"), std::string::npos);
    EXPECT_NE(preview[1].find("Demo Observer"), std::string::npos) << "J. Smith read through its link";
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(step4, IDC_STEP4_FINISH)));
    EXPECT_TRUE(testutil::ShootProgramWindow(step4, "e2e-11-step4-delimited"));
    EXPECT_EQ(FinishImport(pid, step4, "e2e-12-result-delimited"),
              "4 log entries sucessfully imported into Nightjar");
    EXPECT_EQ(CountLogEntries(user), 4);

    // ---- the tagged log, in the same run: the links made above serve it ----
    step2 = BeginImport(main, xml, 1, "e2e-13-step1-tagged");
    ASSERT_NE(step2, nullptr);
    EXPECT_EQ(testutil::RemoteRows(step2, IDC_STEP2_LIST), (std::vector<std::string>{"Stephans Quintet"}));
    EXPECT_TRUE(testutil::ShootProgramWindow(step2, "e2e-14-step2-tagged"));
    Click(step2, IDOK);
    step3 = testutil::WaitForChildDialog(main, IDC_STEP3_CLEAR_LINKS);
    ASSERT_NE(step3, nullptr);
    Sync(step3);
    EXPECT_TRUE(testutil::RemoteRows(step3, IDC_STEP3_INSTRUMENTS).empty() && testutil::RemoteRows(step3, IDC_STEP3_LOCATIONS).empty() &&
                testutil::RemoteRows(step3, IDC_STEP3_OBSERVERS).empty());
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(step3, IDOK)));
    EXPECT_TRUE(testutil::ShootProgramWindow(step3, "e2e-15-step3-tagged"));
    Click(step3, IDOK);
    step4 = testutil::WaitForChildDialog(main, IDC_STEP4_FINISH);
    ASSERT_NE(step4, nullptr);
    Sync(step4);
    preview = testutil::RemoteRows(step4, IDC_STEP4_LIST);
    ASSERT_EQ(preview.size(), 4u);
    EXPECT_NE(preview[3].find("warning, object not recognized"), std::string::npos) << preview[3];
    EXPECT_TRUE(testutil::ShootProgramWindow(step4, "e2e-16-step4-tagged"));
    EXPECT_EQ(FinishImport(pid, step4, "e2e-17-result-tagged"),
              "3 log entries sucessfully imported into Nightjar");
    EXPECT_EQ(CountLogEntries(user), 7);

    // ---- the delimited log again: nothing new lands in the store ----
    step2 = BeginImport(main, csv, 0, "e2e-18-step1-again");
    ASSERT_NE(step2, nullptr);
    EXPECT_EQ(testutil::RemoteRows(step2, IDC_STEP2_LIST), (std::vector<std::string>{"Mystery Blob 7"}));
    Click(step2, IDOK);
    step3 = testutil::WaitForChildDialog(main, IDC_STEP3_CLEAR_LINKS);
    ASSERT_NE(step3, nullptr);
    Sync(step3);
    Click(step3, IDOK);
    step4 = testutil::WaitForChildDialog(main, IDC_STEP4_FINISH);
    ASSERT_NE(step4, nullptr);
    Sync(step4);
    std::string again = FinishImport(pid, step4, "e2e-19-result-again");
    EXPECT_EQ(again,
              "4 log entries sucessfully imported into Nightjar\r\n"
              "(4 of them were already in the log)");
    EXPECT_EQ(CountLogEntries(user), 7) << "the second import added entries";

    // What landed: the linked site, observer and the created instrument.
    EXPECT_EQ(IndexNames(user, BeginLocationIndexScan, NextLocationIndexName),
              (std::vector<std::string>{"Cherry Springs"}));
    EXPECT_EQ(IndexNames(user, BeginObserverIndexScan, NextObserverIndexName),
              (std::vector<std::string>{"Demo Observer"}));
    EXPECT_EQ(IndexNames(user, BeginInstrumentIndexScan, NextInstrumentIndexName),
              (std::vector<std::string>{"Binoculars 10x50", "Binoculars 15x70", "Newtonian 8in f/6"}));

    step1 = testutil::WaitForChildDialog(main, IDC_STEP1_FILE);
    ASSERT_NE(step1, nullptr);
    Click(main, IDCANCEL);  // "Close"
    EXPECT_EQ(p.WaitExit(kWait), 0);
}

}  // namespace
