// The toolkit's Win32 services under Wine: the clipboard copies (also with a
// busy clipboard), fonts, geometry, tooltips, the edit scroll bar, the
// open-file record, .bin/.bak copies, the folder browser and the shell's
// documents folder.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "testutil/dialogscript_win.h"
#include "testutil/testutil.h"
#include "ui/tests/controltest_win.h"
#include "ui/winutil_win.h"

using namespace controltest;

namespace {


std::string ClipboardText() {
    std::string out;
    if (!OpenClipboard(nullptr)) return "<closed>";
    HANDLE h = GetClipboardData(CF_TEXT);
    if (h) {
        const char *p = static_cast<const char *>(GlobalLock(h));
        if (p) out = p;
        GlobalUnlock(h);
    }
    CloseClipboard();
    return out;
}

TEST(Clipboard, BufferCopiedAndFreed) {
    Parent parent;
    TextBuffer buffer{};
    ASSERT_EQ(InitTextBuffer(&buffer), 1);
    AppendTextBuffer(&buffer, "M 31", 1);
    AppendTextBuffer(&buffer, "Galaxy", 0);
    std::string text;
    int r = 0;
    EXPECT_TRUE(testutil::RunScript({testutil::Answer("Nightjar Message", IDOK, &text)},
                                    [&] { r = CopyTextBufferToClipboard(&buffer, parent.window); }))
        << testutil::LastScriptFailure();
    EXPECT_EQ(r, IDOK);
    EXPECT_EQ(text, "Copy to Clipboard Complete");
    EXPECT_EQ(ClipboardText(), "M 31\tGalaxy");
    EXPECT_EQ(buffer.text, nullptr);
    EXPECT_EQ(buffer.capacity, 0);
    EXPECT_EQ(buffer.length, 0);
    // Appending again starts a new text.
    ASSERT_EQ(AppendTextBuffer(&buffer, "next", 0), 1);
    EXPECT_STREQ(buffer.text, "next");
    FreeTextBuffer(&buffer);
}

TEST(Clipboard, BusyClipboardKeepsTheText) {
    Parent parent;
    // Another thread holds the clipboard open.
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        OpenClipboard(nullptr);
        SetEvent(opened);
        WaitForSingleObject(release, 10000);
        CloseClipboard();
    });
    WaitForSingleObject(opened, 5000);
    TextBuffer buffer{};
    ASSERT_EQ(InitTextBuffer(&buffer), 1);
    AppendTextBuffer(&buffer, "keep me", 0);
    std::string text;
    EXPECT_TRUE(testutil::RunScript({testutil::Answer("Nightjar Message", IDOK, &text)},
                                    [&] { CopyTextBufferToClipboard(&buffer, parent.window); }))
        << testutil::LastScriptFailure();
    EXPECT_NE(text, "Copy to Clipboard Complete");
    ASSERT_NE(buffer.text, nullptr);
    EXPECT_STREQ(buffer.text, "keep me");
    EXPECT_EQ(CopyTextToClipboard(parent.window, "plain"), 0);
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_NE(CopyTextToClipboard(parent.window, "plain"), 0);
    EXPECT_EQ(ClipboardText(), "plain");
    FreeTextBuffer(&buffer);
}

TEST(Fonts, MadeFromNumbers) {
    HFONT font = MakeFont(-13, FF_SWISS, 700, 12.34, 0);
    ASSERT_TRUE(font);
    LOGFONTA lf;
    ASSERT_TRUE(GetObjectA(font, sizeof lf, &lf));
    EXPECT_EQ(lf.lfEscapement, 123);
    EXPECT_EQ(lf.lfOrientation, 123);
    EXPECT_EQ(lf.lfHeight, -13);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfPitchAndFamily, FF_SWISS);
    EXPECT_STREQ(FormatFontWeightName(&lf), "Bold");
    lf.lfItalic = 1;
    EXPECT_STREQ(FormatFontWeightName(&lf), "Bold Italic");
    DeleteObject(font);
    LOGFONTA sym;
    MakeLogFont(&sym, nullptr, 20, 0, 400, 1);
    EXPECT_EQ(sym.lfCharSet, SYMBOL_CHARSET);
    EXPECT_STREQ(sym.lfFaceName, "Symbol");
    MakeLogFont(&sym, "Arial", 20, 0, 400, 1);
    EXPECT_STREQ(sym.lfFaceName, "Arial");
    EXPECT_EQ(sym.lfEscapement, 0);
}

TEST(Fonts, BoldFontOfAWindowAndPoints) {
    Parent parent;
    HWND label = parent.Child("static", "Heading", 0, 10, 10, 100, 20, 5);
    HFONT normal = CreateFontA(-15, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(normal), FALSE);
    HFONT bold = CreateBoldFontOfWindow(label);
    ASSERT_TRUE(bold);
    LOGFONTA lf;
    GetObjectA(bold, sizeof lf, &lf);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfHeight, -15);
    EXPECT_STREQ(lf.lfFaceName, "Tahoma");
    DeleteObject(bold);
    HDC dc = GetDC(parent.window);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(parent.window, dc);
    if (dpi == 96) {
        EXPECT_EQ(FontHeightToPoints(parent.window, -13), 10);
    }
    EXPECT_EQ(FontHeightToPoints(parent.window, -dpi), 72);
    // Selecting a new font and deleting it again leaves the old one in place.
    dc = GetDC(parent.window);
    HGDIOBJ before = GetCurrentObject(dc, OBJ_FONT);
    HFONT old = SelectNewFont(dc, -20, 0, 400, 0);
    EXPECT_EQ(old, before);
    HGDIOBJ made = GetCurrentObject(dc, OBJ_FONT);
    DeleteSelectedObject(dc, old);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), before);
    EXPECT_EQ(GetObjectType(made), 0u);  // deleted
    // Ten average characters of the fitted height fill about 200 pixels.
    int h = FitFontHeightToWidth(dc, 200, 10, FF_SWISS, 400);
    EXPECT_GT(h, 10);
    EXPECT_LT(h, 80);
    EXPECT_GT(GetWindowTextHeight(parent.window), 0);
    ReleaseDC(parent.window, dc);
    DeleteObject(normal);
    HPEN pen = CreateFlatPen(PS_SOLID, 3, RGB(1, 2, 3));
    ASSERT_TRUE(pen);
    EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_EXTPEN));
    DeleteObject(pen);
}

TEST(Geometry, ItemRectangleInDialogCoordinates) {
    RegisterAllControls();
    HWND frame = CreateWindowExA(0, "ToolkitTestParent", "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, 300,
                                 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND item = CreateWindowExA(0, "static", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 20, 50, 30, frame,
                                reinterpret_cast<HMENU>(44), GetModuleHandleA(nullptr), nullptr);
    RECT rc;
    GetDlgItemClientRect(frame, 44, &rc);
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.top, 20);
    EXPECT_EQ(rc.right, 60);
    EXPECT_EQ(rc.bottom, 50);
    GetChildClientRect(frame, item, &rc);
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(IsWindowMaximized(frame), 0);
    EXPECT_EQ(IsWindowMinimized(frame), 0);
    ShowWindow(frame, SW_MAXIMIZE);
    EXPECT_EQ(IsWindowMaximized(frame), 1);
    ShowWindow(frame, SW_MINIMIZE);
    EXPECT_EQ(IsWindowMinimized(frame), 1);
    DestroyWindow(frame);
    Pump();
}

TEST(Windows, ToolTipEditScrollBarAndProcedure) {
    Parent parent;
    HWND item = parent.Child("button", "OK", 0, 10, 10, 60, 20, 77);
    HWND tip = nullptr;
    EXPECT_TRUE(AddToolTip(parent.window, GetModuleHandleA(nullptr), 77, 0, &tip));
    ASSERT_TRUE(tip);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_TRUE(GetWindowLongA(tip, GWL_STYLE) & TTS_ALWAYSTIP);
    (void)item;
    HWND edit = parent.Child("edit", "", ES_MULTILINE | WS_VSCROLL, 10, 40, 150, 40, 78);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    SetWindowTextA(edit, "one");
    FitEditScrollBar(edit);
    EXPECT_FALSE(GetWindowLongA(edit, GWL_STYLE) & WS_VSCROLL);
    SetWindowTextA(edit, "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9");
    FitEditScrollBar(edit);
    EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & WS_VSCROLL);
    FitEditScrollBar(nullptr);
    WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit, GWLP_WNDPROC));
    EXPECT_EQ(ReplaceWindowProc(edit, DefWindowProcA), original);
    EXPECT_EQ(ReplaceWindowProc(edit, original), reinterpret_cast<WNDPROC>(DefWindowProcA));
}

TEST(Files, OpenFileRecordAndPathBesideExecutable) {
    OPENFILENAMEA ofn;
    std::memset(&ofn, 0xCD, sizeof ofn);
    InitOpenFileName(&ofn, GetModuleHandleA(nullptr));
    // The record of the common dialogs before Windows 2000: 76 bytes in the
    // 32-bit program.
    EXPECT_EQ(ofn.lStructSize, sizeof(void *) == 4 ? 76u : 136u);
    EXPECT_EQ(ofn.hInstance, GetModuleHandleA(nullptr));
    EXPECT_EQ(ofn.nMaxFile, 255u);
    EXPECT_EQ(ofn.nMaxFileTitle, 128u);
    EXPECT_EQ(ofn.lpstrFile, nullptr);
    EXPECT_EQ(ofn.Flags, 0u);
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string folder(exe, std::strrchr(exe, '\\') + 1);
    char path[128];
    int fits = folder.size() + 13 <= sizeof path;
    EXPECT_EQ(MakePathBesideExecutable(nullptr, path, "nightjar.ini"), fits);
    if (fits) {
        EXPECT_EQ(std::string(path), folder + "nightjar.ini");
    }
    char big[MAX_PATH];
    EXPECT_EQ(MakePathBesideExecutable(nullptr, big, "Gleaner.chm", sizeof big), 1);
    EXPECT_EQ(std::string(big), folder + "Gleaner.chm");
}

TEST(Files, BinBakCopies) {
    testutil::TempDir dir;
    std::string base = dir.file("loc");
    // No backup: nothing changes.
    ASSERT_TRUE(testutil::WriteFileBytes(base + ".bin", std::string("store\0\x01\xFF", 8)));
    EXPECT_EQ(RestoreBinFile(base.c_str()), 0);
    EXPECT_EQ(testutil::ReadFileBytes(base + ".bin"), std::string("store\0\x01\xFF", 8));
    // A backup is a byte-exact copy.
    EXPECT_EQ(BackupBinFile(base.c_str()), 1);
    EXPECT_EQ(testutil::ReadFileBytes(base + ".bak"), std::string("store\0\x01\xFF", 8));
    // The store changes, then the backup is put back.
    ASSERT_TRUE(testutil::WriteFileBytes(base + ".bin", "changed and longer"));
    EXPECT_EQ(RestoreBinFile(base.c_str()), 0);
    EXPECT_EQ(testutil::ReadFileBytes(base + ".bin"), std::string("store\0\x01\xFF", 8));
    EXPECT_FALSE(testutil::PathIsThere(base + ".bak"));
    // No store to back up.
    EXPECT_EQ(BackupBinFile(dir.file("none").c_str()), 2);
    EXPECT_FALSE(testutil::PathIsThere(dir.file("none.bak")));
}

// The text of the tree item the folder browser has selected ("" while none).
std::string BrowserSelection() {
    HWND box = testutil::FindDialog("Browse for Folder");
    if (!box) return "";
    struct Search {
        HWND tree = nullptr;
    } search;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM data) -> BOOL {
            char cls[32] = "";
            GetClassNameA(child, cls, sizeof cls);
            if (_stricmp(cls, WC_TREEVIEWA) != 0) return TRUE;
            reinterpret_cast<Search *>(data)->tree = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.tree) return "";
    HTREEITEM item = TreeView_GetSelection(search.tree);
    if (!item) return "";
    char text[MAX_PATH] = "";
    TVITEMA tv;
    std::memset(&tv, 0, sizeof tv);
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    if (!SendMessageA(search.tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return "";
    return text;
}

TEST(Shell, BrowserPreselectsAStartFolderWithSlashes) {
    testutil::TempDir dir;
    std::string start = dir.path();  // "/" separators
    std::string leaf = start.substr(start.find_last_of("/\\") + 1);
    Parent parent;
    char chosen[MAX_PATH] = "";
    int r = 0;
    // The browser expands its tree down to the start folder as the shell
    // enumerates it, which takes a while on a loaded machine: OK is pressed
    // once the start folder is the selected item, as a user would see it.
    ASSERT_TRUE(testutil::RunScript({testutil::Wait([&] { return _stricmp(BrowserSelection().c_str(), leaf.c_str()) == 0; }),
                                     testutil::Answer("Browse for Folder", IDOK)},
                                    [&] { r = BrowseForFolder(parent.window, "Choose a folder", start.c_str(), chosen); }))
        << "no folder browser appeared: " << testutil::LastScriptFailure();
    ASSERT_EQ(r, 1);
    std::string want = start;
    for (char &c : want)
        if (c == '/') c = '\\';
    EXPECT_EQ(_stricmp(chosen, want.c_str()), 0) << chosen << " vs " << want;
}

TEST(Shell, DocumentsFolderReadWithinItsBuffer) {
    const char *key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    char saved[1024];
    DWORD savedBytes = sizeof saved, type = 0;
    bool had = RegQueryValueExA(h, "Personal", nullptr, &type, reinterpret_cast<BYTE *>(saved), &savedBytes) ==
               ERROR_SUCCESS;
    // A value stored without a terminator, longer than the buffer.
    std::string value(100, 'D');
    RegSetValueExA(h, "Personal", 0, REG_SZ, reinterpret_cast<const BYTE *>(value.data()), 100);
    char buffer[64 + 4];
    std::memset(buffer, 'x', sizeof buffer);
    int r = ReadShellFolderPath(buffer, 64);
    EXPECT_EQ(r, 0);  // does not fit: refused, and nothing past the buffer written
    EXPECT_EQ(buffer[64], 'x');
    RegSetValueExA(h, "Personal", 0, REG_SZ, reinterpret_cast<const BYTE *>("C:\\Docs"), 7);
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(ReadShellFolderPath(buffer, 64), 1);
    EXPECT_STREQ(buffer, "C:\\Docs");
    if (had)
        RegSetValueExA(h, "Personal", 0, type, reinterpret_cast<const BYTE *>(saved), savedBytes);
    else
        RegDeleteValueA(h, "Personal");
    RegCloseKey(h);
}

}  // namespace
