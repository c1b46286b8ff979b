// Tests of the picture controls Dib, BMPicture and animDIB under Wine + Xvfb:
// real windows in a visible parent, driven by messages, probed pixel by pixel.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testutil/testutil.h"
#include "ui/controlmsgs.h"
#include "ui/dib.h"
#include "ui/dib_win.h"
#include "ui/picturectl_win.h"
#include "ui/tests/controltest_win.h"

namespace {

using controltest::CountCommands;
using controltest::kParentColour;
using controltest::Notices;
using controltest::Probe;
using controltest::Pump;

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
               kYellow = RGB(255, 255, 0), kBlack = RGB(0, 0, 0);

template <typename F>
std::string Picture24(int w, int h, F colourAt) {
    const int stride = AlignRowBytes(3 * w);
    std::vector<uint8_t> bits(static_cast<size_t>(stride) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = colourAt(x, y);
            uint8_t *p = &bits[static_cast<size_t>(h - 1 - y) * stride + 3 * x];
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    DibInfoHeader hd{};
    hd.biSize = 40;
    hd.biWidth = w;
    hd.biHeight = h;
    hd.biPlanes = 1;
    hd.biBitCount = 24;
    std::vector<uint8_t> file;
    BuildDibFileBytes(hd, nullptr, 0, bits.data(), &file);
    return std::string(file.begin(), file.end());
}

// 64 x 48 in four quadrants: red, green on top; blue, yellow below.
std::string Quadrants(COLORREF topLeft = kRed) {
    return Picture24(64, 48, [topLeft](int x, int y) {
        return y < 24 ? (x < 32 ? topLeft : kGreen) : (x < 32 ? kBlue : kYellow);
    });
}

// 16 x 16 clock frame: pure green (transparent) ground, a 8 x 8 centre square.
std::string ClockFrame(COLORREF centre) {
    return Picture24(16, 16, [centre](int x, int y) {
        return (x >= 4 && x < 12 && y >= 4 && y < 12) ? centre : kGreen;
    });
}
const COLORREF kFrameCentre[4] = {kRed, kBlue, kYellow, kBlack};

void RegisterPictureClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterDibClass(instance);
    RegisterBMPictureClass(instance);
    RegisterAnimDIBClass(instance);
}

// A parent window and a current folder holding bin/scope.bmp, bin/scoped.bmp,
// bin/clock_0..3.bmp, pic.bmp and other.bmp.
class PictureControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPictureClasses();
        GetCurrentDirectoryA(sizeof previous, previous);
        ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
        CreateDirectoryA("bin", nullptr);
        ASSERT_TRUE(testutil::WriteFileBytes("bin/scope.bmp", Quadrants()));
        ASSERT_TRUE(testutil::WriteFileBytes("bin/scoped.bmp", Quadrants()));
        ASSERT_TRUE(testutil::WriteFileBytes("pic.bmp", Quadrants(kBlack)));
        ASSERT_TRUE(testutil::WriteFileBytes("other.bmp", Picture24(8, 8, [](int, int) { return kBlue; })));
        for (int k = 0; k < 4; ++k)
            ASSERT_TRUE(testutil::WriteFileBytes("bin/clock_" + std::to_string(k) + ".bmp", ClockFrame(kFrameCentre[k])));
    }
    void TearDown() override { SetCurrentDirectoryA(previous); }
    HWND Dib(const char *cls, const char *text, DWORD style, int x, int y, int id) {
        HWND w = parent.Child(cls, text, style, x, y, 128, 96, id);
        Pump();
        return w;
    }
    static HBITMAP Bitmap(HWND w) { return reinterpret_cast<HBITMAP>(GetWindowLongPtrA(w, kDibBitmapOffset)); }
    static LONG_PTR Image(HWND w) { return GetWindowLongPtrA(w, kDibImageOffset); }

    testutil::TempDir dir;
    char previous[MAX_PATH];
    controltest::Parent parent{600, 400};
};

TEST_F(PictureControlTest, ClassesAndTheirExtraBytes) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    struct Case {
        const char *name;
        int extra;
        UINT style;
    };
    const Case cases[] = {
        {"Dib", kDibExtraBytes, CS_HREDRAW | CS_VREDRAW},
        {"BMPicture", kDibExtraBytes, CS_HREDRAW | CS_VREDRAW},
        {"animDIB", 4, CS_HREDRAW | CS_VREDRAW | CS_OWNDC},
    };
    EXPECT_EQ(sizeof(void *) == 4 ? 16 : 24, kDibExtraBytes);
    EXPECT_EQ(sizeof(void *) == 4 ? 10 : 14, kDibImageOffset);
    for (const Case &c : cases) {
        WNDCLASSA wc;
        ASSERT_TRUE(GetClassInfoA(instance, c.name, &wc)) << c.name;
        EXPECT_EQ(c.extra, wc.cbWndExtra) << c.name;
        EXPECT_EQ(c.style, wc.style) << c.name;
        EXPECT_EQ(reinterpret_cast<HBRUSH>(COLOR_WINDOWTEXT + 1), wc.hbrBackground) << c.name;
    }
    EXPECT_EQ(0, RegisterDibClass(instance));  // already registered
}

TEST_F(PictureControlTest, DibDestinationByStyle) {
    HWND stretched = Dib("Dib", "scope", 0, 0, 0, 101);
    HWND natural = Dib("Dib", "scope", 0x4, 140, 0, 102);
    HWND right = Dib("Dib", "scope", 0x4 | 0x2, 280, 0, 103);
    ASSERT_NE(nullptr, Bitmap(stretched));
    EXPECT_NE(0, Image(stretched));
    // 64 x 48 stretched over 128 x 96.
    EXPECT_EQ(kRed, Probe(stretched, 10, 10));
    EXPECT_EQ(kGreen, Probe(stretched, 120, 10));
    EXPECT_EQ(kBlue, Probe(stretched, 10, 90));
    EXPECT_EQ(kYellow, Probe(stretched, 120, 90));
    // Its own size at the top left; the rest keeps the parent's colour.
    EXPECT_EQ(kRed, Probe(natural, 10, 10));
    EXPECT_EQ(kYellow, Probe(natural, 60, 40));
    EXPECT_EQ(kParentColour, Probe(natural, 100, 80));
    // Its own size against the right edge: from x = 64.
    EXPECT_EQ(kParentColour, Probe(right, 10, 10));
    EXPECT_EQ(kRed, Probe(right, 70, 10));
    EXPECT_EQ(kYellow, Probe(right, 127, 47));
}

TEST_F(PictureControlTest, TransparentPictureShowsWhatIsBehindTheKey) {
    HWND w = Dib("Dib", "scope", 0x8, 0, 0, 104);
    EXPECT_EQ(kParentColour, Probe(w, 10, 10));  // red is the key
    EXPECT_EQ(kGreen, Probe(w, 40, 10));
    EXPECT_EQ(kYellow, Probe(w, 40, 40));
    EXPECT_EQ(kParentColour, Probe(w, 100, 80));  // drawn at its own size
}

TEST_F(PictureControlTest, ClicksAndPaintNotifications) {
    HWND quiet = Dib("Dib", "scope", 0, 0, 0, 105);
    HWND loud = Dib("Dib", "scope", 0x1, 140, 0, 106);
    Notices().clear();
    InvalidateRect(quiet, nullptr, FALSE);
    UpdateWindow(quiet);
    EXPECT_EQ(0, CountCommands(kPicturePainted));
    InvalidateRect(loud, nullptr, FALSE);
    UpdateWindow(loud);
    InvalidateRect(loud, nullptr, FALSE);
    UpdateWindow(loud);
    EXPECT_EQ(2, CountCommands(kPicturePainted));
    for (const auto &n : Notices()) {
        EXPECT_EQ(106, LOWORD(n.wParam));
        EXPECT_EQ(reinterpret_cast<LPARAM>(loud), n.lParam);
    }
    Notices().clear();
    SendMessageA(quiet, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(quiet, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));  // no CS_DBLCLKS: never sent by Windows
    ASSERT_EQ(1, CountCommands(kClickNotification));
    EXPECT_EQ(105, LOWORD(Notices()[0].wParam));
}

TEST_F(PictureControlTest, SetTextReplacesThePicture) {
    HWND w = Dib("Dib", "scope", 0x1, 0, 0, 107);
    ASSERT_NE(nullptr, Bitmap(w));
    // A full path ending in .bmp (in any case) is taken as it is.
    const std::string path = dir.path() + "/OTHER.BMP";
    EXPECT_EQ(TRUE, SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str())));
    ASSERT_NE(nullptr, Bitmap(w));
    BITMAP bm;
    GetObjectA(Bitmap(w), sizeof bm, &bm);
    EXPECT_EQ(8, bm.bmWidth);
    EXPECT_EQ(kBlue, Probe(w, 120, 90));
    char text[32];
    GetWindowTextA(w, text, sizeof text);
    EXPECT_STREQ("scope", text);  // the window text stays

    // A missing picture leaves the control empty but alive and notifying.
    SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("no such picture"));
    EXPECT_EQ(nullptr, Bitmap(w));
    EXPECT_EQ(0, Image(w));
    Notices().clear();
    InvalidateRect(w, nullptr, FALSE);
    UpdateWindow(w);
    EXPECT_EQ(1, CountCommands(kPicturePainted));
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(1, CountCommands(kClickNotification));
    SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("scope"));
    EXPECT_NE(nullptr, Bitmap(w));
    SendMessageA(w, WM_SETTEXT, 0, 0);
    EXPECT_EQ(nullptr, Bitmap(w));
    EXPECT_TRUE(DestroyWindow(w));
}

TEST_F(PictureControlTest, BMPicturePaths) {
    HWND w = Dib("BMPicture", "pic", 0, 0, 0, 108);
    ASSERT_NE(nullptr, Bitmap(w));
    EXPECT_EQ(kBlack, Probe(w, 10, 10));  // pic.bmp, not bin/pic.bmp
    HWND empty = Dib("BMPicture", "", 0, 140, 0, 109);
    EXPECT_EQ(nullptr, Bitmap(empty));
    SendMessageA(empty, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("other.bmp"));
    EXPECT_NE(nullptr, Bitmap(empty));
    SendMessageA(empty, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("pic"));
    EXPECT_EQ(kBlack, Probe(empty, 10, 10));
    HWND dib = Dib("Dib", "pic", 0, 280, 0, 110);  // a Dib looks in bin/ only
    EXPECT_EQ(nullptr, Bitmap(dib));
}

TEST_F(PictureControlTest, AnimationFramesAreSharedAndCycle) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    HWND a = parent.Child("animDIB", "", 0, 0, 0, 16, 16, 111);
    HWND b = parent.Child("animDIB", "", 0, 40, 0, 16, 16, 112);
    Pump();
    EXPECT_EQ(2, GetAnimDIBWindowCount());
    EXPECT_EQ(0, GetAnimDIBFrame());
    EXPECT_EQ(kRed, Probe(a, 8, 8));
    EXPECT_EQ(face, Probe(a, 1, 1));  // green is transparent over the button face
    const int expected[] = {1, 2, 3, 0, 1, 2};
    for (int e : expected) {
        SendMessageA(a, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        EXPECT_EQ(e, GetAnimDIBFrame());
        EXPECT_EQ(kFrameCentre[e], Probe(a, 8, 8));
    }
    // The frames stay while one clock is still shown.
    DestroyWindow(a);
    EXPECT_EQ(1, GetAnimDIBWindowCount());
    InvalidateRect(b, nullptr, TRUE);
    EXPECT_EQ(kFrameCentre[2], Probe(b, 8, 8));
    DestroyWindow(b);
    EXPECT_EQ(0, GetAnimDIBWindowCount());
}


// Saves the parent window as drawn, with every picture control in it, as
// <build>/screenshots/picture-controls.bmp for a person to look at.
TEST_F(PictureControlTest, ScreenshotOfAllPictureControls) {
    Dib("Dib", "scope", 0, 0, 0, 121);
    Dib("Dib", "scope", 0x4, 140, 0, 122);
    Dib("Dib", "scope", 0x4 | 0x2, 280, 0, 123);
    Dib("Dib", "scope", 0x8, 420, 0, 124);
    Dib("BMPicture", "pic", 0, 0, 110, 125);
    HWND clock = parent.Child("animDIB", "", 0, 140, 110, 16, 16, 126);
    SendMessageA(clock, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    Pump();
    const int w = 560, h = 210;
    HDC window = GetDC(parent.window);
    HBITMAP shot = CreateDib24(window, w, h);
    ASSERT_NE(nullptr, shot);
    UpdateWindow(parent.window);
    ASSERT_TRUE(CopyDCToBitmap(window, shot, 0, 0, w, h));
    GdiFlush();
    DIBSECTION ds;
    ASSERT_EQ(static_cast<int>(sizeof ds), GetObjectA(shot, sizeof ds, &ds));
    DibInfoHeader hd{};
    hd.biSize = 40;
    hd.biWidth = w;
    hd.biHeight = -h;  // CreateDib24 keeps the top row first
    hd.biPlanes = 1;
    hd.biBitCount = 24;
    std::vector<uint8_t> file;
    ASSERT_EQ(1, BuildDibFileBytes(hd, nullptr, 0, static_cast<const uint8_t *>(ds.dsBm.bmBits), &file));
    DeleteObject(shot);
    ReleaseDC(parent.window, window);
    // The shot shows the stretched picture's corners and the transparent one's key.
    DibLayout layout;
    ASSERT_EQ(1, ParseDibFile(file.data(), file.size(), &layout));
    EXPECT_EQ(static_cast<int64_t>(kRed), GetDibPixelColor(layout, file.data(), 5, 5));
    EXPECT_EQ(static_cast<int64_t>(kYellow), GetDibPixelColor(layout, file.data(), 125, 90));
    EXPECT_EQ(static_cast<int64_t>(kParentColour), GetDibPixelColor(layout, file.data(), 425, 5));
    const std::string build = testutil::BuildDir();
    if (build.empty()) return;
    CreateDirectoryA((build + "/screenshots").c_str(), nullptr);
    EXPECT_EQ(1, WriteFileReplacing((build + "/screenshots/picture-controls.bmp").c_str(), file));
}

}  // namespace
