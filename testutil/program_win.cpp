// gleaner.exe driven from another process (see program_win.h).
#ifdef _WIN32
#include "testutil/program_win.h"

#include <algorithm>
#include <cstring>

#include "testutil/screenshot_win.h"

namespace testutil {

namespace {

const DWORD kPollMs = 50;

struct TopSearch {
    DWORD pid;
    const char *title;
    HWND found;
};

BOOL CALLBACK MatchTop(HWND w, LPARAM p) {
    TopSearch *s = reinterpret_cast<TopSearch *>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != s->pid || !IsWindowVisible(w)) return TRUE;
    char text[256] = "";
    GetWindowTextA(w, text, sizeof text);
    if (std::strcmp(text, s->title) != 0) return TRUE;
    s->found = w;
    return FALSE;
}

struct ChildSearch {
    const char *className;
    std::string text;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND w, LPARAM p) {
    ChildSearch *s = reinterpret_cast<ChildSearch *>(p);
    char cls[64] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpiA(cls, s->className) != 0) return TRUE;
    if (RemoteText(w).find(s->text) == std::string::npos) return TRUE;
    s->found = w;
    return FALSE;
}

}  // namespace

std::string DemoPath(const std::string &sub) { return BuildDir() + "/demo/" + sub; }

std::string Backslashes(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string WindowsPath(const std::string &path) {
    return path.size() > 1 && path[0] == '/' ? "Z:" + Backslashes(path) : Backslashes(path);
}

SuiteFolders::SuiteFolders(const std::string &data, const std::string &user, const std::string &install) {
    SetSuiteValue("DataPath", Backslashes(data).c_str());
    SetSuiteValue("UserPath", Backslashes(user).c_str());
    SetSuiteValue("InstallPath", Backslashes(install).c_str());
}

SuiteFolders::~SuiteFolders() {
    for (const char *v : {"DataPath", "UserPath", "InstallPath"}) SetSuiteValue(v, nullptr);
}

Program::Program(const std::string &workingFolder) {
    std::string exe = Backslashes(DemoPath("install/gleaner.exe"));
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::vector<char> cmd(exe.begin(), exe.end());
    cmd.push_back('\0');
    started_ = CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              Backslashes(workingFolder).c_str(), &si, &info_) != 0;
}

Program::~Program() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, kProgramWait);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

long Program::WaitExit(DWORD ms) {
    if (!started_ || WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return (long)code;
}

HWND WaitForTopWindow(DWORD pid, const char *title, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        TopSearch s{pid, title, nullptr};
        EnumWindows(MatchTop, reinterpret_cast<LPARAM>(&s));
        if (s.found || GetTickCount() - start >= ms) return s.found;
        Sleep(kPollMs);
    }
}

bool WaitGone(HWND window, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (!IsWindow(window) || !IsWindowVisible(window)) return true;
        if (GetTickCount() - start >= ms) return false;
        Sleep(kPollMs);
    }
}

void Sync(HWND window) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kProgramWait, &result);
}

HWND WaitForChildDialog(HWND parent, int controlId, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        for (HWND s = FindWindowExA(parent, nullptr, "#32770", nullptr); s;
             s = FindWindowExA(parent, s, "#32770", nullptr))
            if (IsWindowVisible(s) && GetDlgItem(s, controlId)) return s;
        if (GetTickCount() - start >= ms) return nullptr;
        Sleep(kPollMs);
    }
}

HWND FindChildWithText(HWND parent, const char *className, const std::string &text) {
    ChildSearch s{className, text, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::string RemoteText(HWND window) {
    char text[1024] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

std::vector<std::string> RemoteRows(HWND dialog, int listId) {
    HWND list = GetDlgItem(dialog, listId);
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

void RemoteSelectRow(HWND dialog, int listId, int row) {
    HWND list = GetDlgItem(dialog, listId);
    SendMessageA(list, LB_SETCURSEL, row, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), (LPARAM)list);
}

bool ShootProgramWindow(HWND w, const char *name) {
    HWND top = GetAncestor(w, GA_ROOT);
    // Ask for the paint now and wait until it is handled; on a busy machine
    // the window may still read back black for a while: capture again until
    // it does not (bounded).
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sync(top);
    WindowPicture picture = CaptureClientArea(top, false);
    DWORD start = GetTickCount();
    for (;;) {
        int pixels = picture.width * picture.height;
        if (pixels > 0 && CountPixelsOfColour(picture, RGB(0, 0, 0)) < pixels) break;
        if (GetTickCount() - start >= kProgramWait / 9) break;
        Sleep(kPollMs);
        Sync(top);
        picture = CaptureClientArea(top, false);
    }
    return SaveScreenshot(picture, name);
}

}  // namespace testutil

#endif  // _WIN32
