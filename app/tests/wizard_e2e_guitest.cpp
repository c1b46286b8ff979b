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
#include "testutil/testutil.h"

namespace {

const char *const kMainTitle = "Nightjar 3 Log Importer";
const char *const kPickerTitle = "Object Requestor -- Find an Object in the Database";
// Wine on a busy machine can take tens of seconds to start a program.
const DWORD kWait = 90000;

std::string Demo(const std::string &sub) { return testutil::BuildDir() + "/demo/" + sub; }

std::string Backslashes(std::string s) {
    std::replace(s.begin(), s.end(), '/', '\\');
    return s;
}

// A path as the program shows it: the Unix root is drive Z: under Wine.
std::string WindowsPath(const std::string &path) {
    return path.size() > 1 && path[0] == '/' ? "Z:" + Backslashes(path) : Backslashes(path);
}

bool EndsWith(const std::string &text, const std::string &tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The suite's folder values point at the demo's data and installation and at
// a scratch copy of its user folder; the demo's data disc is copied into the
// scratch drive W:, where the program looks for the disc's marker file.
struct Installation {
    testutil::ScratchDrive drive{'W'};
    testutil::TempDir user;
    bool ok = false;
    Installation() {
        // The user folder's format file as the demo lays it out (the demo's
        // own copy may have been changed by other tests).
        ok = drive.ok() && CopyTree(Demo("disc").c_str(), drive.folder().c_str()) &&
             CopyTree(Demo("user").c_str(), user.path().c_str()) &&
             CopyFileA(Demo("logs/gleaner.cfg").c_str(), (user.path() + "/gleaner.cfg").c_str(), FALSE);
        testutil::SetSuiteValue("DataPath", Backslashes(Demo("data")).c_str());
        testutil::SetSuiteValue("UserPath", Backslashes(user.path()).c_str());
        testutil::SetSuiteValue("InstallPath", Backslashes(Demo("install")).c_str());
    }
    ~Installation() {
        for (const char *v : {"DataPath", "UserPath", "InstallPath"}) testutil::SetSuiteValue(v, nullptr);
    }
};

struct Program {
    PROCESS_INFORMATION pi{};
    bool started = false;
    explicit Program(const std::string &cwd) {
        std::string exe = Backslashes(Demo("install/gleaner.exe"));
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::vector<char> cmd(exe.begin(), exe.end());
        cmd.push_back('\0');
        started = CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 Backslashes(cwd).c_str(), &si, &pi) != 0;
    }
    ~Program() {
        if (!started) return;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    long WaitExit(DWORD ms) {
        if (WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        return (long)code;
    }
};

struct FindTop {
    DWORD pid;
    const char *title;
    HWND found;
};

BOOL CALLBACK FindTopProc(HWND w, LPARAM lp) {
    FindTop *f = (FindTop *)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char text[256];
    GetWindowTextA(w, text, sizeof text);
    if (pid == f->pid && IsWindowVisible(w) && std::string(text) == f->title) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of the process with that title, waited for.
HWND WaitForTop(DWORD pid, const char *title, DWORD ms = kWait) {
    for (DWORD waited = 0;; waited += 100) {
        FindTop f{pid, title, nullptr};
        EnumWindows(FindTopProc, (LPARAM)&f);
        if (f.found || waited >= ms) return f.found;
        Sleep(100);
    }
}

bool WaitGone(HWND w, DWORD ms = kWait) {
    for (DWORD waited = 0; waited < ms; waited += 100) {
        if (!IsWindow(w) || !IsWindowVisible(w)) return true;
        Sleep(100);
    }
    return false;
}

// Waits until the program's thread has handled everything sent before.
void Sync(HWND w) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, kWait, &result);
}

// The wizard step inside the main window that holds the control.
HWND WaitForStep(HWND main, int controlId, DWORD ms = kWait) {
    for (DWORD waited = 0;; waited += 100) {
        for (HWND s = FindWindowExA(main, nullptr, "#32770", nullptr); s;
             s = FindWindowExA(main, s, "#32770", nullptr))
            if (IsWindowVisible(s) && GetDlgItem(s, controlId)) return s;
        if (waited >= ms) return nullptr;
        Sleep(100);
    }
}

// A control anywhere below the window (the picker's pages sit in a tab).
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

std::string Text(HWND w) {
    char text[1024] = "";
    SendMessageA(w, WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

// The rows of a list box. The texts are read as wide strings: Wine hands
// only the first character across processes to LB_GETTEXT's narrow form.
std::vector<std::string> Rows(HWND step, int listId) {
    HWND list = GetDlgItem(step, listId);
    std::vector<std::string> rows;
    int n = (int)SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        LRESULT len = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        std::vector<wchar_t> wide(len > 0 ? len + 1 : 1, L'\0');
        SendMessageW(list, LB_GETTEXT, i, (LPARAM)wide.data());
        char text[2048] = "";
        WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text, sizeof text, nullptr, nullptr);
        rows.push_back(text);
    }
    return rows;
}

void SelectRow(HWND step, int listId, int row) {
    HWND list = GetDlgItem(step, listId);
    SendMessageA(list, LB_SETCURSEL, row, 0);
    SendMessageA(step, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), (LPARAM)list);
}

// Posted, so that a modal dialog the button opens does not hold the test.
void Click(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id)); }

// The whole top-level window that holds w: under Wine a child window of
// another process reads back black, its top-level window does not.
void Shot(HWND w, const char *name) {
    HWND top = GetAncestor(w, GA_ROOT);
    Sync(top);
    Sleep(300);
    // On a busy machine the program may not have painted yet (its window
    // then reads back black): capture again for a while before keeping it.
    testutil::WindowPicture picture = testutil::CaptureClientArea(top, false);
    for (int tries = 0; tries < 40; ++tries) {
        int pixels = picture.width * picture.height;
        if (pixels > 0 && testutil::CountPixelsOfColour(picture, RGB(0, 0, 0)) < pixels) break;
        Sleep(250);
        Sync(top);
        picture = testutil::CaptureClientArea(top, false);
    }
    EXPECT_TRUE(testutil::SaveScreenshot(picture, name)) << name;
}

// Answers a modal dialog of the program with OK, after its screenshot.
void ConfirmDialog(DWORD pid, const char *title, const char *shot) {
    HWND box = WaitForTop(pid, title);
    ASSERT_NE(box, nullptr) << "no dialog \"" << title << "\"";
    Shot(box, shot);
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
    HWND step1 = WaitForStep(main, 1000);
    EXPECT_NE(step1, nullptr) << "no step 1";
    if (!step1) return nullptr;
    SendDlgItemMessageA(step1, 1000, WM_SETTEXT, 0, (LPARAM)WindowsPath(path).c_str());
    HWND combo = GetDlgItem(step1, 1001);
    SendMessageA(combo, CB_SETCURSEL, format, 0);
    SendMessageA(step1, WM_COMMAND, MAKEWPARAM(1001, CBN_SELCHANGE), (LPARAM)combo);
    Shot(step1, shot);
    Click(step1, IDOK);
    HWND step2 = WaitForStep(main, 2003);
    EXPECT_NE(step2, nullptr) << "no step 2";
    if (step2) Sync(step2);
    return step2;
}

// Step 4 after Finish: the result box's text, answered with OK.
std::string FinishImport(DWORD pid, HWND step4, const char *shot) {
    Click(step4, 1007);
    HWND result = WaitForTop(pid, "Gleaner Results");
    EXPECT_NE(result, nullptr) << "no result box";
    if (!result) return "";
    std::string text = Text(GetDlgItem(result, 4000));
    Shot(result, shot);
    PostMessageA(result, WM_COMMAND, IDOK, 0);
    WaitGone(result);
    return text;
}

TEST(WizardEndToEnd, ImportsBothSampleLogsWithLinksAndNoDuplicates) {
    Installation demo;
    ASSERT_TRUE(demo.ok) << "the demo installation could not be copied";
    const std::string user = demo.user.path();
    const std::string csv = Demo("logs/skymap-log.csv"), xml = TaggedLogWithAttributes(user);
    Program p(user);
    ASSERT_TRUE(p.started);
    const DWORD pid = p.pi.dwProcessId;
    HWND main = WaitForTop(pid, kMainTitle);
    ASSERT_NE(main, nullptr) << "no main window";

    // The demo opens ready to import the delimited sample with its format.
    HWND step1 = WaitForStep(main, 1000);
    ASSERT_NE(step1, nullptr);
    Sync(step1);
    EXPECT_TRUE(EndsWith(Text(GetDlgItem(step1, 1000)), "\\demo\\logs\\skymap-log.csv"))
        << Text(GetDlgItem(step1, 1000));
    EXPECT_EQ(Text(GetDlgItem(step1, 1001)), "SkyMap Pro CSV");

    // ---- the delimited log ----
    HWND step2 = BeginImport(main, csv, 0, "e2e-01-step1-delimited");
    ASSERT_NE(step2, nullptr);
    EXPECT_EQ(Rows(step2, 102), (std::vector<std::string>{"Andromeda Gxy", "Mystery Blob 7"}));
    Shot(step2, "e2e-02-step2-delimited");

    // Link "Andromeda Gxy" to the object the picker finds for "M 31".
    SelectRow(step2, 102, 0);
    Click(step2, 2003);
    HWND picker = WaitForTop(pid, kPickerTitle);
    ASSERT_NE(picker, nullptr) << "no object picker";
    Sync(picker);
    HWND searchText = FindDescendant(picker, 2213);
    ASSERT_NE(searchText, nullptr) << "no search page";
    EXPECT_EQ(Text(searchText), "Andromeda Gxy") << "the row's text is the preset search";
    SendMessageA(searchText, WM_SETTEXT, 0, (LPARAM) "M 31");
    SendMessageA(GetParent(searchText), WM_COMMAND, MAKEWPARAM(2214, BN_CLICKED), 0);
    Sync(picker);
    HWND objectName = FindDescendant(picker, 2201);
    ASSERT_NE(objectName, nullptr);
    // The picker names the galaxy by the preferred order (its common name).
    const std::string chosenName = Text(objectName);
    EXPECT_EQ(chosenName, "Andromeda Galaxy");
    Shot(picker, "e2e-03-picker");
    PostMessageA(picker, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitGone(picker));
    Sync(step2);
    EXPECT_EQ(Rows(step2, 102), (std::vector<std::string>{"Mystery Blob 7"}));
    Shot(step2, "e2e-04-step2-linked");
    std::string links = testutil::ReadFileBytes(user + "/gleaner_des_links.dat");
    EXPECT_TRUE(links == "Andromeda Gxy#" + chosenName + "\n" ||
                links == "Andromeda Gxy#" + chosenName + "\r\n")
        << links;

    Click(step2, IDOK);
    HWND step3 = WaitForStep(main, 6017);
    ASSERT_NE(step3, nullptr) << "no step 3";
    Sync(step3);
    EXPECT_EQ(Rows(step3, 2000), (std::vector<std::string>{"Binoculars 15x70"}));
    EXPECT_EQ(Rows(step3, 2001), (std::vector<std::string>{"Backyard"}));
    EXPECT_EQ(Rows(step3, 2002), (std::vector<std::string>{"J. Smith"}));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(step3, IDOK)));
    Shot(step3, "e2e-05-step3");

    // The unknown site and observer are linked to the stored ones the
    // pickers open with; the unknown instrument is created as a telescope.
    SelectRow(step3, 2001, 0);
    Click(step3, 2003);
    ConfirmDialog(pid, "Observing Sites", "e2e-06-site-picker");
    SelectRow(step3, 2002, 0);
    Click(step3, 2003);
    ConfirmDialog(pid, "Observers", "e2e-07-observer-picker");
    SelectRow(step3, 2000, 0);
    Click(step3, 1004);
    HWND type = WaitForTop(pid, "Select Instrument Type");
    ASSERT_NE(type, nullptr) << "no instrument type box";
    Sync(type);
    SendDlgItemMessageA(type, 1010, BM_SETCHECK, BST_UNCHECKED, 0);
    SendDlgItemMessageA(type, 1011, BM_SETCHECK, BST_CHECKED, 0);
    Shot(type, "e2e-08-instrument-type");
    PostMessageA(type, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitGone(type));
    // The binoculars dialog opens on the store with the new binoculars; Done
    // may first ask for the chart settings of new instruments.
    HWND binoculars = WaitForTop(pid, "Add/Modify Binoculars");
    ASSERT_NE(binoculars, nullptr) << "no binoculars dialog";
    Sync(binoculars);
    const std::vector<std::string> stored = Rows(binoculars, 6057);
    EXPECT_NE(std::find(stored.begin(), stored.end(), "Binoculars 15x70"), stored.end());
    Shot(binoculars, "e2e-09-new-binoculars");
    PostMessageA(binoculars, WM_COMMAND, IDOK, 0);
    for (DWORD waited = 0; IsWindow(binoculars) && IsWindowVisible(binoculars) && waited < kWait; waited += 200) {
        if (HWND chart = WaitForTop(pid, "Default Settings for New Instruments", 0)) {
            Shot(chart, "e2e-09b-chart-defaults");
            PostMessageA(chart, WM_COMMAND, IDOK, 0);
            WaitGone(chart);
        }
        Sleep(200);
    }
    EXPECT_FALSE(IsWindow(binoculars) && IsWindowVisible(binoculars)) << "the binoculars dialog stayed open";
    Sync(step3);
    EXPECT_TRUE(Rows(step3, 2000).empty());
    EXPECT_TRUE(Rows(step3, 2001).empty());
    EXPECT_TRUE(Rows(step3, 2002).empty());
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(step3, IDOK)));
    Shot(step3, "e2e-10-step3-linked");

    Click(step3, IDOK);
    HWND step4 = WaitForStep(main, 1007);
    ASSERT_NE(step4, nullptr) << "no step 4";
    Sync(step4);
    std::vector<std::string> preview = Rows(step4, 1005);
    ASSERT_EQ(preview.size(), 5u);
    EXPECT_NE(preview[3].find("Mystery Blob 7 -- warning, object not recognized"), std::string::npos) << preview[3];
    for (int i : {0, 1, 2, 4}) EXPECT_EQ(preview[i].find("warning"), std::string::npos) << preview[i];
    EXPECT_EQ(preview[2].rfind(chosenName + " at Cherry Springs", 0), 0u) << preview[2];
    EXPECT_NE(preview[1].find("Cherry Springs"), std::string::npos) << "Backyard read through its link";
    EXPECT_NE(preview[1].find("Binoculars 15x70"), std::string::npos);
    EXPECT_NE(preview[1].find("Demo Observer"), std::string::npos) << "J. Smith read through its link";
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(step4, 1007)));
    Shot(step4, "e2e-11-step4-delimited");
    EXPECT_EQ(FinishImport(pid, step4, "e2e-12-result-delimited"),
              "4 log entries sucessfully imported into Nightjar");
    EXPECT_EQ(CountLogEntries(user), 4);

    // ---- the tagged log, in the same run: the links made above serve it ----
    step2 = BeginImport(main, xml, 1, "e2e-13-step1-tagged");
    ASSERT_NE(step2, nullptr);
    EXPECT_EQ(Rows(step2, 102), (std::vector<std::string>{"Stephans Quintet"}));
    Shot(step2, "e2e-14-step2-tagged");
    Click(step2, IDOK);
    step3 = WaitForStep(main, 6017);
    ASSERT_NE(step3, nullptr);
    Sync(step3);
    EXPECT_TRUE(Rows(step3, 2000).empty() && Rows(step3, 2001).empty() && Rows(step3, 2002).empty());
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(step3, IDOK)));
    Shot(step3, "e2e-15-step3-tagged");
    Click(step3, IDOK);
    step4 = WaitForStep(main, 1007);
    ASSERT_NE(step4, nullptr);
    Sync(step4);
    preview = Rows(step4, 1005);
    ASSERT_EQ(preview.size(), 4u);
    EXPECT_NE(preview[3].find("warning, object not recognized"), std::string::npos) << preview[3];
    Shot(step4, "e2e-16-step4-tagged");
    EXPECT_EQ(FinishImport(pid, step4, "e2e-17-result-tagged"),
              "3 log entries sucessfully imported into Nightjar");
    EXPECT_EQ(CountLogEntries(user), 7);

    // ---- the delimited log again: nothing new lands in the store ----
    step2 = BeginImport(main, csv, 0, "e2e-18-step1-again");
    ASSERT_NE(step2, nullptr);
    EXPECT_EQ(Rows(step2, 102), (std::vector<std::string>{"Mystery Blob 7"}));
    Click(step2, IDOK);
    step3 = WaitForStep(main, 6017);
    ASSERT_NE(step3, nullptr);
    Sync(step3);
    Click(step3, IDOK);
    step4 = WaitForStep(main, 1007);
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

    step1 = WaitForStep(main, 1000);
    ASSERT_NE(step1, nullptr);
    Click(main, IDCANCEL);  // "Close"
    EXPECT_EQ(p.WaitExit(kWait), 0);
}

}  // namespace
