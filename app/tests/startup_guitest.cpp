// gleaner.exe started for real under Windows or Wine on the demo
// installation: the main window and its buttons, "Read This First", "Close"
// with its exit code and files, and the error box when the suite's data
// cannot be found (no DataPath, or no data disc for the "#" lines).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "testutil/program_win.h"
#include "testutil/testutil.h"
#include "resources/commonids.h"

namespace {

using testutil::DemoPath;
using testutil::FindChildWithText;
using testutil::WaitForTopWindow;

const char *const kMainTitle = "Nightjar 3 Log Importer";
const char *const kErrorTitle = "Nightjar Gleaner Error";

// Points the suite's registry values at the demo installation and, when
// asked, puts a data disc (the marker file and its folders) in the scratch
// drive W:, for the life of the object.
struct DemoSuite {
    testutil::ScratchDrive drive{'W'};
    testutil::SuiteFolders folders{DemoPath("data"), DemoPath("user"), DemoPath("install")};
    explicit DemoSuite(bool withDisc) {
        EXPECT_TRUE(drive.ok()) << "no scratch drive W:";
        if (withDisc && drive.ok()) {
            EXPECT_TRUE(testutil::WriteFileBytes(drive.folder() + "/nightjar3.id", "3"));
            for (const char *d : {"/ref", "/map", "/ss"}) CreateDirectoryA((drive.folder() + d).c_str(), nullptr);
        }
    }
};

// Started from the user folder, not the installation folder: the program
// must find its pictures and help file on its own.
struct Program : testutil::Program {
    Program() : testutil::Program(DemoPath("user")) {}
};

TEST(Startup, MainWindowHelpAndClose) {
    DemoSuite suite(true);
    std::remove(DemoPath("user/gleaner.cfg").c_str());
    // No dialog-settings store yet: the program makes one, so that what the
    // dialogs remember outlives the run.
    std::remove(DemoPath("user/dds.bin").c_str());
    ASSERT_TRUE(testutil::WriteFileBytes(DemoPath("user/gleaner.bin"), "left over from a preview"));

    Program p;
    ASSERT_TRUE(p.started());
    HWND main = WaitForTopWindow(p.pid(), kMainTitle);
    ASSERT_NE(main, nullptr) << "no main window";
    EXPECT_EQ(WaitForTopWindow(p.pid(), kErrorTitle, 0), nullptr);

    char cls[64];
    GetClassNameA(main, cls, sizeof cls);
    EXPECT_STREQ(cls, "Gleaner");
    HWND close = FindChildWithText(main, "Button", "Close");
    HWND readFirst = FindChildWithText(main, "Button", "Read This First");
    ASSERT_NE(close, nullptr);
    ASSERT_NE(readFirst, nullptr);
    EXPECT_EQ(GetDlgCtrlID(close), IDCANCEL);
    EXPECT_EQ(GetDlgCtrlID(readFirst), IDC_MAIN_READ_FIRST);
    char text[128];
    GetDlgItemTextA(main, IDC_MAIN_VERSION, text, sizeof text);
    EXPECT_STREQ(text, "Version 0.41");
    GetDlgItemTextA(main, IDC_MAIN_HEADING, text, sizeof text);
    EXPECT_STREQ(text, "This program imports log entries into Nightjar 3 from a file");
    // Step 1 is hosted inside the main window.
    HWND step = FindWindowExA(main, nullptr, (LPCSTR)(ULONG_PTR)32770, nullptr);
    EXPECT_NE(step, nullptr) << "no wizard step in the main window";

    EXPECT_TRUE(testutil::ShootProgramWindow(main, "main-window"));

    // "Read This First" opens the help viewer.
    PostMessageA(readFirst, BM_CLICK, 0, 0);
    HWND help = WaitForTopWindow(p.pid(), "Gleaner Help");
    EXPECT_NE(help, nullptr) << "the help viewer did not open";
    if (help) {
        testutil::ShootProgramWindow(help, "help-viewer");
        PostMessageA(help, WM_CLOSE, 0, 0);
    }

    PostMessageA(close, BM_CLICK, 0, 0);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_TRUE(testutil::PathIsThere(DemoPath("user/gleaner.cfg")));
    const std::string settings = testutil::ReadFileBytes(DemoPath("user/dds.bin"));
    ASSERT_GE(settings.size(), 6u) << "no dialog-settings store";
    EXPECT_EQ(settings.substr(settings.size() - 6), std::string(6, '\0'));  // the chain's end marker
    EXPECT_FALSE(testutil::PathIsThere(DemoPath("user/gleaner.bin")));
}

// The help file moved aside for the life of the object.
struct HelpFileAway {
    std::string path = DemoPath("install/Gleaner.chm");
    std::string aside = path + ".away";
    bool moved = false;
    HelpFileAway() { moved = MoveFileExA(path.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING) != 0; }
    ~HelpFileAway() {
        if (moved) MoveFileExA(aside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
};

TEST(Startup, MissingHelpFileIsNamedOnce) {
    DemoSuite suite(true);
    HelpFileAway away;
    ASSERT_TRUE(away.moved) << "the demo installation has no help file to move aside";

    Program p;
    ASSERT_TRUE(p.started());
    HWND main = WaitForTopWindow(p.pid(), kMainTitle);
    ASSERT_NE(main, nullptr) << "no main window";
    HWND readFirst = FindChildWithText(main, "Button", "Read This First");
    ASSERT_NE(readFirst, nullptr);
    for (int press = 0; press < 2; ++press) {
        PostMessageA(readFirst, BM_CLICK, 0, 0);
        HWND box = WaitForTopWindow(p.pid(), "Gleaner Message");
        ASSERT_NE(box, nullptr) << "nothing told the user that help is missing";
        HWND text = FindChildWithText(box, "Static", "could not be opened");
        ASSERT_NE(text, nullptr);
        std::string said = testutil::RemoteText(text);
        EXPECT_NE(said.find(testutil::Backslashes(testutil::WindowsPath(DemoPath("install/Gleaner.chm")))),
                  std::string::npos)
            << said;
        if (press == 0) testutil::ShootProgramWindow(box, "help-file-missing");
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(testutil::WaitGone(box));
        testutil::Sync(main);
        // Once per request: no second box follows the first.
        EXPECT_EQ(WaitForTopWindow(p.pid(), "Gleaner Message", 0), nullptr);
        EXPECT_EQ(WaitForTopWindow(p.pid(), "Gleaner Help", 0), nullptr);
    }
    PostMessageA(FindChildWithText(main, "Button", "Close"), BM_CLICK, 0, 0);
    EXPECT_EQ(p.WaitExit(), 0);
}

void ExpectErrorBox(bool withDisc, bool withDataPath) {
    DemoSuite suite(withDisc);
    if (!withDataPath) testutil::SetSuiteValue("DataPath", nullptr);
    Program p;
    ASSERT_TRUE(p.started());
    HWND box = WaitForTopWindow(p.pid(), kErrorTitle);
    ASSERT_NE(box, nullptr) << "no error box";
    EXPECT_NE(FindChildWithText(box, "Static", "Gleaner cannot find the Nightjar 3 database files."), nullptr);
    EXPECT_NE(FindChildWithText(box, "Static", "insert the Nightjar CDROM"), nullptr);
    EXPECT_EQ(WaitForTopWindow(p.pid(), kMainTitle, 0), nullptr);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(Startup, ErrorBoxWithoutDataPath) { ExpectErrorBox(true, false); }

TEST(Startup, ErrorBoxWithoutDataDisc) { ExpectErrorBox(false, true); }

}  // namespace
