// gleaner.exe started for real under Windows or Wine on the demo
// installation: the main window and its buttons, "Read This First", "Close"
// with its exit code and files, and the error box when the suite's data
// cannot be found (no DataPath, or no data disc for the "#" lines).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "testutil/testutil.h"
#include "resources/commonids.h"

namespace {

const char *const kMainTitle = "Nightjar 3 Log Importer";
const char *const kErrorTitle = "Nightjar Gleaner Error";
// Wine on a busy machine can take tens of seconds to start a program.
const DWORD kStartWait = 90000;

std::string Demo(const std::string &sub) { return testutil::BuildDir() + "/demo/" + sub; }

std::string Backslashes(std::string s) {
    for (char &c : s)
        if (c == '/') c = '\\';
    return s;
}

// Points the suite's registry values at the demo installation and, when
// asked, puts a data disc (the marker file and its folders) in the scratch
// drive W:, for the life of the object.
struct DemoSuite {
    testutil::ScratchDrive drive{'W'};
    explicit DemoSuite(bool withDisc) {
        testutil::SetSuiteValue("DataPath", Backslashes(Demo("data")).c_str());
        testutil::SetSuiteValue("UserPath", Backslashes(Demo("user")).c_str());
        testutil::SetSuiteValue("InstallPath", Backslashes(Demo("install")).c_str());
        EXPECT_TRUE(drive.ok()) << "no scratch drive W:";
        if (withDisc && drive.ok()) {
            EXPECT_TRUE(testutil::WriteFileBytes(drive.folder() + "/nightjar3.id", "3"));
            for (const char *d : {"/ref", "/map", "/ss"}) CreateDirectoryA((drive.folder() + d).c_str(), nullptr);
        }
    }
    ~DemoSuite() {
        for (const char *v : {"DataPath", "UserPath", "InstallPath"}) testutil::SetSuiteValue(v, nullptr);
    }
};

struct Program {
    PROCESS_INFORMATION pi{};
    bool started = false;
    // Started from the user folder, not the installation folder: the program
    // must find its pictures and help file on its own.
    Program() {
        std::string exe = Backslashes(Demo("install/gleaner.exe"));
        std::string cwd = Backslashes(Demo("user"));
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::vector<char> cmd(exe.begin(), exe.end());
        cmd.push_back('\0');
        started = CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 cwd.c_str(), &si, &pi) != 0;
    }
    ~Program() {
        if (!started) return;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    // Exit code, or -1 when the program is still running after the wait.
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
HWND WaitForWindow(DWORD pid, const char *title, DWORD ms) {
    for (DWORD waited = 0; waited <= ms; waited += 100) {
        FindTop f{pid, title, nullptr};
        EnumWindows(FindTopProc, (LPARAM)&f);
        if (f.found) return f.found;
        Sleep(100);
    }
    return nullptr;
}

struct ChildText {
    const char *cls;
    std::string want;
    HWND found;
};

BOOL CALLBACK FindChildProc(HWND w, LPARAM lp) {
    ChildText *c = (ChildText *)lp;
    char cls[64], text[512];
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, text, sizeof text);
    if (lstrcmpiA(cls, c->cls) == 0 && std::string(text).find(c->want) != std::string::npos) {
        c->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND FindChild(HWND parent, const char *cls, const std::string &text) {
    ChildText c{cls, text, nullptr};
    EnumChildWindows(parent, FindChildProc, (LPARAM)&c);
    return c.found;
}

// Copies the window's screen area into a 24-bit .bmp for a person to look at.
bool SaveWindowPicture(HWND w, const std::string &path) {
    RECT r;
    if (!GetWindowRect(w, &r)) return false;
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void *bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);
    DWORD stride = ((DWORD)width * 3 + 3) & ~3u, size = stride * (DWORD)height;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    bool ok = false;
    if (FILE *f = std::fopen(path.c_str(), "wb")) {
        ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 &&
             std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
             std::fwrite(bits, 1, size, f) == size;
        ok = std::fclose(f) == 0 && ok;
    }
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

TEST(Startup, MainWindowHelpAndClose) {
    DemoSuite suite(true);
    std::remove(Demo("user/gleaner.cfg").c_str());
    ASSERT_TRUE(testutil::WriteFileBytes(Demo("user/gleaner.bin"), "left over from a preview"));

    Program p;
    ASSERT_TRUE(p.started);
    HWND main = WaitForWindow(p.pi.dwProcessId, kMainTitle, kStartWait);
    ASSERT_NE(main, nullptr) << "no main window";
    EXPECT_EQ(WaitForWindow(p.pi.dwProcessId, kErrorTitle, 0), nullptr);

    char cls[64];
    GetClassNameA(main, cls, sizeof cls);
    EXPECT_STREQ(cls, "Gleaner");
    HWND close = FindChild(main, "Button", "Close");
    HWND readFirst = FindChild(main, "Button", "Read This First");
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

    Sleep(500);
    std::string shots = testutil::BuildDir() + "/screenshots";
    CreateDirectoryA(shots.c_str(), nullptr);
    EXPECT_TRUE(SaveWindowPicture(main, shots + "/main-window.bmp"));

    // "Read This First" opens the help viewer.
    PostMessageA(readFirst, BM_CLICK, 0, 0);
    HWND help = WaitForWindow(p.pi.dwProcessId, "Gleaner Help", kStartWait);
    EXPECT_NE(help, nullptr) << "the help viewer did not open";
    if (help) {
        SaveWindowPicture(help, shots + "/help-viewer.bmp");
        PostMessageA(help, WM_CLOSE, 0, 0);
    }

    PostMessageA(close, BM_CLICK, 0, 0);
    EXPECT_EQ(p.WaitExit(kStartWait), 0);
    EXPECT_TRUE(testutil::PathIsThere(Demo("user/gleaner.cfg")));
    EXPECT_FALSE(testutil::PathIsThere(Demo("user/gleaner.bin")));
}

void ExpectErrorBox(bool withDisc, bool withDataPath) {
    DemoSuite suite(withDisc);
    if (!withDataPath) testutil::SetSuiteValue("DataPath", nullptr);
    Program p;
    ASSERT_TRUE(p.started);
    HWND box = WaitForWindow(p.pi.dwProcessId, kErrorTitle, kStartWait);
    ASSERT_NE(box, nullptr) << "no error box";
    EXPECT_NE(FindChild(box, "Static", "Gleaner cannot find the Nightjar 3 database files."), nullptr);
    EXPECT_NE(FindChild(box, "Static", "insert the Nightjar CDROM"), nullptr);
    EXPECT_EQ(WaitForWindow(p.pi.dwProcessId, kMainTitle, 0), nullptr);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(p.WaitExit(kStartWait), 0);
}

TEST(Startup, ErrorBoxWithoutDataPath) { ExpectErrorBox(true, false); }

TEST(Startup, ErrorBoxWithoutDataDisc) { ExpectErrorBox(false, true); }

}  // namespace
