// One dialog, built from an in-memory template, that holds every custom
// control of the toolkit, shown under Wine and captured with GDI. The
// capture is checked for each control's marks and written as
// "toolkit_controls.bmp" into GLEANER_SCREENSHOT_DIR, or else into the build
// tree's "screenshots" folder, for people to look at.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "testutil/screenshot_win.h"
#include "testutil/testutil.h"
#include "ui/controlmsgs.h"
#include "ui/controls.h"
#include "ui/dib.h"
#include "ui/picturectl_win.h"
#include "ui/tests/controltest_win.h"

using namespace controltest;

namespace {

// Writer of a DLGTEMPLATE with its items (the layout the dialog manager
// reads: WORD-aligned strings, DWORD-aligned items, Unicode texts).
struct TemplateWriter {
    std::vector<uint16_t> words;
    void Align4() {
        if (words.size() % 2) words.push_back(0);
    }
    void Put32(uint32_t v) {
        words.push_back(static_cast<uint16_t>(v & 0xFFFF));
        words.push_back(static_cast<uint16_t>(v >> 16));
    }
    void Text(const char *s) {
        for (; *s; ++s) words.push_back(static_cast<uint8_t>(*s));
        words.push_back(0);
    }
    void Header(const char *title, int items, short cx, short cy) {
        Put32(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_VISIBLE);
        Put32(0);
        words.push_back(static_cast<uint16_t>(items));
        words.push_back(0);
        words.push_back(0);
        words.push_back(static_cast<uint16_t>(cx));
        words.push_back(static_cast<uint16_t>(cy));
        words.push_back(0);  // no menu
        words.push_back(0);  // the standard dialog class
        Text(title);
        words.push_back(8);  // point size
        Text("MS Shell Dlg");
    }
    void Item(const char *cls, const char *text, DWORD style, short x, short y, short cx, short cy, int id) {
        Align4();
        Put32(WS_CHILD | WS_VISIBLE | style);
        Put32(0);
        words.push_back(static_cast<uint16_t>(x));
        words.push_back(static_cast<uint16_t>(y));
        words.push_back(static_cast<uint16_t>(cx));
        words.push_back(static_cast<uint16_t>(cy));
        words.push_back(static_cast<uint16_t>(id));
        Text(cls);
        Text(text);
        words.push_back(0);  // no creation data
    }
};

INT_PTR CALLBACK ShowcaseProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// A 48 x 36 picture for the Dib control: a blue sky over a dark ground with
// a yellow star, written as a 24-bit .bmp.
bool WriteSamplePicture(const std::string &path) {
    const int w = 48, h = 36;
    DibInfoHeader header = {};
    header.biSize = 40;
    header.biWidth = w;
    header.biHeight = -h;
    header.biPlanes = 1;
    header.biBitCount = 24;
    const int stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> bits(static_cast<size_t>(stride) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t *p = &bits[static_cast<size_t>(y) * stride + x * 3];
            bool star = (x - 30) * (x - 30) + (y - 10) * (y - 10) < 10;
            if (star) {
                p[0] = 0; p[1] = 220; p[2] = 250;
            } else if (y < 26) {
                p[0] = 120; p[1] = 40; p[2] = 20;
            } else {
                p[0] = 20; p[1] = 60; p[2] = 30;
            }
        }
    std::vector<uint8_t> file;
    return BuildDibFileBytes(header, nullptr, 0, bits.data(), &file) &&
           WriteFileReplacing(path.c_str(), file);
}

TEST(Showcase, DialogWithEveryControl) {
    RegisterAllControls();
    RegisterDibClass(GetModuleHandleA(nullptr));
    TemplateWriter t;
    t.Header("Toolkit controls", 16, 300, 196);
    t.Item("HyperText", "Mirrored", 0x1 | WS_TABSTOP, 10, 10, 80, 10, 201);
    t.Item("HyperText", "(inches)", 0x0, 10, 24, 80, 10, 202);
    t.Item("HyperText", "Alt/Azimuth", 0x1 | 0x4, 10, 38, 100, 10, 203);
    t.Item("HyperText", "Inverted", 0x1 | WS_DISABLED, 10, 52, 80, 10, 204);
    t.Item("SymbolText", "abgdp", 0, 120, 10, 60, 12, 205);
    t.Item("ProgressIndicator", "", 0, 120, 28, 100, 8, 206);
    t.Item("CShade", "", 0x1, 230, 24, 60, 12, 207);
    t.Item("HeaderButton", "Name", 0, 120, 46, 50, 12, 208);
    t.Item("HeaderButton", "Type", 0, 172, 46, 50, 12, 209);
    t.Item("HeaderButton", "Off", WS_DISABLED, 224, 46, 50, 12, 210);
    t.Item("CShade", "", 0, 10, 66, 280, 2, 211);
    t.Item("Table", "Object\tType\tMag", 0, 10, 74, 210, 112, 212);
    t.Item("Touch", "", 0, 230, 74, 60, 40, 213);
    t.Item("Dib", "", 0x4, 236, 78, 48, 36, 214);
    t.Item("CShade", "", 0, 230, 124, 60, 30, 215);
    t.Item("HyperText", "Underlined", 0x1, 236, 170, 60, 10, 216);
    t.Align4();

    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                             reinterpret_cast<const DLGTEMPLATE *>(t.words.data()), nullptr,
                                             ShowcaseProc, 0);
    ASSERT_TRUE(dialog) << GetLastError();
    for (int id = 201; id <= 216; ++id) EXPECT_TRUE(GetDlgItem(dialog, id)) << id;
    SetWindowPos(dialog, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);

    // Give the controls something to show, through their own messages.
    HWND progress = GetDlgItem(dialog, 206);
    for (int i = 0; i < 12; ++i) SendMessageA(progress, WM_COMMAND, kProgressStep, 0);
    SendDlgItemMessageA(dialog, 209, BM_SETCHECK, 1, 0);
    HWND table = GetDlgItem(dialog, 212);
    const char *rows[] = {"M 31\tGalaxy\t3.4", "M 42\tBright nebula\t4.0", "NGC 7000\tBright nebula\t4.0",
                          "M 13\tGlobular cluster\t5.8", "Albireo\tDouble star\t3.1", "M 57\tPlanetary nebula\t8.8"};
    for (const char *r : rows) SendMessageA(table, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(r));
    SendMessageA(table, kTableSetChecks, 6, 1);
    SendMessageA(table, WM_COMMAND, MAKEWPARAM(100, kTableCheckToggled), 2);  // row 2 unchecked
    SendMessageA(table, LB_SETCURSEL, 1, 0);
    testutil::TempDir dir;
    std::string picture = dir.file("sky.bmp");
    ASSERT_TRUE(WriteSamplePicture(picture));
    SetDlgItemTextA(dialog, 214, picture.c_str());
    SetWindowTextA(GetDlgItem(dialog, 203), "Alt/Azimuth");
    SetHyperTextLinkStyle(RGB(0, 0, 255), 1);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();

    testutil::WindowPicture shot = testutil::CaptureClientArea(dialog, false);
    SetHyperTextLinkStyle(RGB(0, 0, 255), 0);
    ASSERT_GT(shot.width, 100);
    // Marks of the controls in the capture: the link colour, the table's red
    // checks, the progress bar's grey, the header buttons' dark outline of
    // the disabled one, the picture's star.
    EXPECT_GT(testutil::CountPixelsOfColour(shot, RGB(0, 0, 255)), 30);
    EXPECT_GT(testutil::CountPixelsOfColour(shot, RGB(255, 0, 0)), 20);
    EXPECT_GT(testutil::CountPixelsOfColour(shot, RGB(128, 128, 128)), 50);
    EXPECT_GT(testutil::CountPixelsOfColour(shot, RGB(64, 64, 64)), 50);
    EXPECT_GT(testutil::CountPixelsOfColour(shot, RGB(250, 220, 0)), 10);

    // Kept for people to look at: in GLEANER_SCREENSHOT_DIR, else in the
    // build tree's "screenshots" folder that the test script keeps.
    if (!testutil::BuildDir().empty() || std::getenv("GLEANER_SCREENSHOT_DIR")) {
        EXPECT_TRUE(testutil::SaveScreenshot(shot, "toolkit_controls"));
    }
    DestroyWindow(dialog);
    Pump();
}

}  // namespace
