// Tests of the GDI side of bitmaps and palettes under Wine: loading into DIB
// sections, palettes, saving, and the drawing routines probed pixel by pixel
// in 24-bit DIB sections.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testutil/testutil.h"
#include "ui/dib_win.h"

namespace {

// Colour values in test pictures, 0x00BBGGRR as COLORREF.
const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

std::vector<uint8_t> TableBytes(const std::vector<COLORREF> &colours) {
    std::vector<uint8_t> t;
    for (COLORREF c : colours) {
        t.push_back(GetBValue(c));
        t.push_back(GetGValue(c));
        t.push_back(GetRValue(c));
        t.push_back(0);
    }
    return t;
}

DibInfoHeader Header(int w, int h, int bits, uint32_t colours = 0) {
    DibInfoHeader hd{};
    hd.biSize = 40;
    hd.biWidth = w;
    hd.biHeight = h;
    hd.biPlanes = 1;
    hd.biBitCount = static_cast<uint16_t>(bits);
    hd.biClrUsed = colours;
    return hd;
}

// A 24-bit picture from a function of (x, y) with y from the top row.
template <typename F>
std::vector<uint8_t> Picture24(int w, int h, F colourAt) {
    const int stride = AlignRowBytes(3 * w);
    std::vector<uint8_t> bits(static_cast<size_t>(stride) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = colourAt(x, y);
            uint8_t *p = &bits[static_cast<size_t>(h - 1 - y) * stride + 3 * x];  // bottom row first
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    std::vector<uint8_t> file;
    BuildDibFileBytes(Header(w, h, 24), nullptr, 0, bits.data(), &file);
    return file;
}

void Write(const std::string &path, const std::vector<uint8_t> &bytes) {
    ASSERT_TRUE(testutil::WriteFileBytes(path, std::string(bytes.begin(), bytes.end())));
}

// A 24-bit DIB section selected into a memory context, for pixel probes.
struct Target {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    Target(int w, int h, COLORREF fill) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDib24(dc, w, h);
        old = SelectObject(dc, bitmap);
        RECT rc = {0, 0, w, h};
        HBRUSH b = CreateSolidBrush(fill);
        FillRect(dc, &rc, b);
        DeleteObject(b);
    }
    ~Target() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
};

struct Loaded {
    HBITMAP bitmap = nullptr;
    DibImage image{};
    ~Loaded() { FreeDib(&bitmap, &image); }
};

TEST(DibWin, LoadsEightBitPictureWithItsPalette) {
    testutil::TempDir dir;
    // 3 x 2 at 8 bits, biClrUsed 0: 256 table entries; pixel values 1, 2, 3 on
    // the top row and 4, 5, 6 on the bottom one.
    std::vector<COLORREF> colours(256);
    for (int i = 0; i < 256; ++i) colours[i] = RGB(i, 255 - i, (i * 7) & 0xFF);
    const uint8_t rows[8] = {4, 5, 6, 0, 1, 2, 3, 0};
    std::vector<uint8_t> file;
    std::vector<uint8_t> table = TableBytes(colours);
    ASSERT_EQ(1, BuildDibFileBytes(Header(3, 2, 8, 0), table.data(), 256, rows, &file));
    Write(dir.file("p8.bmp"), file);

    Loaded p;
    p.bitmap = LoadDibFile(nullptr, dir.file("p8.bmp").c_str(), &p.image);
    ASSERT_NE(nullptr, p.bitmap);
    EXPECT_EQ(3, GetBitmapWidth(p.bitmap));
    EXPECT_EQ(2, GetBitmapHeight(p.bitmap));
    EXPECT_EQ(0, p.image.bitsOwned);
    ASSERT_NE(nullptr, p.image.bits);
    EXPECT_EQ(0, std::memcmp(rows, p.image.bits, 8));
    ASSERT_NE(nullptr, p.image.palette);
    EXPECT_EQ(256u, GetPaletteEntries(p.image.palette, 0, 0, nullptr));
    PALETTEENTRY e;
    ASSERT_EQ(1u, GetPaletteEntries(p.image.palette, 200, 1, &e));
    EXPECT_EQ(200, e.peRed);
    EXPECT_EQ(55, e.peGreen);
    EXPECT_EQ((200 * 7) & 0xFF, e.peBlue);
    ASSERT_NE(nullptr, p.image.header);
    EXPECT_GE(GlobalSize(p.image.header), 1064u);

    Target t(3, 2, RGB(9, 9, 9));
    ASSERT_TRUE(DrawBitmapAt(t.dc, p.bitmap, nullptr, 0, 0, SRCCOPY));
    EXPECT_EQ(colours[1], t.At(0, 0));
    EXPECT_EQ(colours[3], t.At(2, 0));
    EXPECT_EQ(colours[5], t.At(1, 1));
    EXPECT_FALSE(DrawBitmapAt(t.dc, nullptr, nullptr, 0, 0, SRCCOPY));

    // A 24-bit picture has no palette.
    Write(dir.file("p24.bmp"), Picture24(2, 2, [](int, int) { return kBlue; }));
    Loaded q;
    q.bitmap = LoadDibFile(nullptr, dir.file("p24.bmp").c_str(), &q.image);
    ASSERT_NE(nullptr, q.bitmap);
    EXPECT_EQ(nullptr, q.image.palette);
}

TEST(DibWin, RefusedFilesLoadAsNone) {
    testutil::TempDir dir;
    const std::vector<uint8_t> good = Picture24(2, 2, [](int, int) { return kGreen; });
    struct Case {
        const char *what;
        size_t offset;
        uint8_t value;
        size_t cut;  // bytes removed from the end
    };
    const Case cases[] = {
        {"not BM", 0, 'X', 0},     {"core header", 14, 12, 0}, {"2 bits", 28, 2, 0},
        {"RLE8", 30, 1, 0},        {"truncated bits", 0, 'B', 1},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> b = good;
        b[c.offset] = c.value;
        b.resize(b.size() - c.cut);
        Write(dir.file("bad.bmp"), b);
        Loaded p;
        p.bitmap = LoadDibFile(nullptr, dir.file("bad.bmp").c_str(), &p.image);
        EXPECT_EQ(nullptr, p.bitmap) << c.what;
        EXPECT_EQ(nullptr, p.image.bits) << c.what;
    }
    Loaded missing;
    EXPECT_EQ(nullptr, LoadDibFile(nullptr, dir.file("none.bmp").c_str(), &missing.image));
    // The file is not left open: it can be deleted at once.
    EXPECT_TRUE(DeleteFileA(dir.file("bad.bmp").c_str()));
}

TEST(DibWin, SavedPictureReloadsIdentically) {
    testutil::TempDir dir;
    // 4-bit bottom-up picture with a 16-colour table, written by hand.
    std::vector<COLORREF> colours;
    for (int i = 0; i < 16; ++i) colours.push_back(RGB(i * 16, 255 - i * 16, i));
    std::vector<uint8_t> table = TableBytes(colours);
    const uint8_t rows[12] = {0x01, 0x23, 0, 0, 0x45, 0x67, 0, 0, 0x89, 0xAB, 0, 0};
    std::vector<uint8_t> original;
    ASSERT_EQ(1, BuildDibFileBytes(Header(4, 3, 4, 16), table.data(), 16, rows, &original));
    Write(dir.file("in.bmp"), original);
    Loaded p;
    p.bitmap = LoadDibFile(nullptr, dir.file("in.bmp").c_str(), &p.image);
    ASSERT_NE(nullptr, p.bitmap);
    Write(dir.file("out.bmp"), {'o', 'l', 'd'});
    ASSERT_EQ(1, SaveDibFile(&p.image, dir.file("out.bmp").c_str()));
    EXPECT_EQ(std::string(original.begin(), original.end()), testutil::ReadFileBytes(dir.file("out.bmp")));
    EXPECT_TRUE(testutil::TemporariesBeside(dir.file("out.bmp")).empty());

    DibImage empty{};
    EXPECT_EQ(0, SaveDibFile(&empty, dir.file("out.bmp").c_str()));
    EXPECT_EQ(std::string(original.begin(), original.end()), testutil::ReadFileBytes(dir.file("out.bmp")));
}

TEST(DibWin, PackedDibIsSavedWithoutSlack) {
    testutil::TempDir dir;
    // 1 x 1 at 24 bits: 40 header bytes and 4 image bytes in a larger block.
    HGLOBAL block = GlobalAlloc(GHND, 40 + 4 + 100);
    ASSERT_NE(nullptr, block);
    uint8_t *p = static_cast<uint8_t *>(GlobalLock(block));
    DibInfoHeader h = Header(1, 1, 24);
    std::memcpy(p, &h, 40);
    p[40] = 1;
    p[41] = 2;
    p[42] = 3;
    GlobalUnlock(block);
    ASSERT_EQ(1, SavePackedDibFile(dir.file("packed.bmp").c_str(), block));
    GlobalFree(block);
    const std::string bytes = testutil::ReadFileBytes(dir.file("packed.bmp"));
    ASSERT_EQ(58u, bytes.size());
    EXPECT_EQ(58, static_cast<uint8_t>(bytes[2]));
    EXPECT_EQ(54, static_cast<uint8_t>(bytes[10]));
    EXPECT_EQ(std::string("\x01\x02\x03", 3), bytes.substr(54, 3));
}

TEST(DibWin, PaletteFileFromTheCurrentFolder) {
    testutil::TempDir dir;
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
    CreateDirectoryA("bin", nullptr);
    std::string bytes(24, 'R');
    for (int i = 0; i < 256; ++i) {
        bytes += static_cast<char>(i);
        bytes += static_cast<char>(i / 2);
        bytes += static_cast<char>(255 - i);
        bytes += static_cast<char>(i == 7 ? PC_EXPLICIT : 0);
    }
    testutil::WriteFileBytes("bin/nj.pal", bytes.substr(0, 1047));
    EXPECT_EQ(nullptr, LoadPaletteFile());
    testutil::WriteFileBytes("bin/nj.pal", bytes);
    HPALETTE palette = LoadPaletteFile();
    SetCurrentDirectoryA(previous);
    ASSERT_NE(nullptr, palette);
    EXPECT_EQ(256u, GetPaletteEntries(palette, 0, 0, nullptr));
    PALETTEENTRY e[8];
    ASSERT_EQ(8u, GetPaletteEntries(palette, 0, 8, e));
    EXPECT_EQ(7, e[7].peRed);
    EXPECT_EQ(3, e[7].peGreen);
    EXPECT_EQ(248, e[7].peBlue);
    EXPECT_EQ(0, e[7].peFlags);  // never an index into the system palette
    DeleteObject(palette);
}

TEST(DibWin, TransparentDrawingLeavesKeyPixelsOfTheTarget) {
    // 4 x 4 source: red key on the left half, green on the right half.
    testutil::TempDir dir;
    Write(dir.file("key.bmp"), Picture24(4, 4, [](int x, int) { return x < 2 ? kRed : kGreen; }));
    Loaded p;
    p.bitmap = LoadDibFile(nullptr, dir.file("key.bmp").c_str(), &p.image);
    ASSERT_NE(nullptr, p.bitmap);
    Target t(8, 8, kBlue);
    SetBkColor(t.dc, RGB(1, 2, 3));
    SetTextColor(t.dc, RGB(4, 5, 6));
    DrawTransparentBitmap(t.dc, 2, 2, 4, 4, p.bitmap, 0, 0, kRed, nullptr);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 2 && y < 6;
            const COLORREF expected = inside && x >= 4 ? kGreen : kBlue;
            EXPECT_EQ(expected, t.At(x, y)) << x << "," << y;
        }
    EXPECT_EQ(RGB(1, 2, 3), GetBkColor(t.dc));
    EXPECT_EQ(RGB(4, 5, 6), GetTextColor(t.dc));
}

TEST(DibWin, StretchedAndMirroredCopies) {
    testutil::TempDir dir;
    // 2 x 2: red, green on top; blue, white below.
    Write(dir.file("q.bmp"), Picture24(2, 2, [](int x, int y) {
              return y == 0 ? (x == 0 ? kRed : kGreen) : (x == 0 ? kBlue : RGB(255, 255, 255));
          }));
    Loaded p;
    p.bitmap = LoadDibFile(nullptr, dir.file("q.bmp").c_str(), &p.image);
    ASSERT_NE(nullptr, p.bitmap);
    Target t(4, 4, RGB(0, 0, 0));
    RECT source = {0, 0, 2, 2}, destination = {0, 0, 4, 4};
    ASSERT_TRUE(DrawDibImage(t.dc, &destination, p.bitmap, &source, &p.image, 0, 0));
    EXPECT_EQ(kRed, t.At(1, 1));
    EXPECT_EQ(kGreen, t.At(3, 0));
    EXPECT_EQ(kBlue, t.At(0, 3));
    ASSERT_TRUE(DrawDibImage(t.dc, &destination, p.bitmap, &source, &p.image, 0, 1));
    for (int y = 0; y < 2; ++y) {  // left and right exchanged, every column covered
        EXPECT_EQ(kGreen, t.At(0, y));
        EXPECT_EQ(kRed, t.At(3, y));
    }
    EXPECT_EQ(kGreen, t.At(1, 0));
    EXPECT_EQ(kRed, t.At(2, 0));
    EXPECT_EQ(RGB(255, 255, 255), t.At(0, 3));
    EXPECT_EQ(kBlue, t.At(3, 3));
    ASSERT_TRUE(DrawDibImage(t.dc, &destination, p.bitmap, &source, &p.image, 1, 0));
    EXPECT_EQ(kBlue, t.At(0, 0));  // top and bottom exchanged
    EXPECT_EQ(RGB(255, 255, 255), t.At(3, 1));
    EXPECT_EQ(kRed, t.At(0, 3));
    EXPECT_EQ(kGreen, t.At(3, 2));
    EXPECT_FALSE(DrawDibImage(t.dc, &destination, nullptr, &source, &p.image, 0, 0));

    Target u(6, 2, RGB(0, 0, 0));
    ASSERT_TRUE(StretchBitmapTo(u.dc, p.bitmap, nullptr, 2, 0, 0, 0));  // own size
    EXPECT_EQ(RGB(0, 0, 0), u.At(1, 0));
    EXPECT_EQ(kRed, u.At(2, 0));
    EXPECT_EQ(RGB(0, 0, 0), u.At(4, 0));
    RECT half = {0, 0, 1, 1}, wide = {0, 0, 6, 2};
    ASSERT_TRUE(StretchBitmapRect(u.dc, p.bitmap, nullptr, &wide, &half));
    EXPECT_EQ(kRed, u.At(5, 1));
}

TEST(DibWin, MaskCopiesAndNewBitmaps) {
    testutil::TempDir dir;
    Write(dir.file("m.bmp"), Picture24(2, 1, [](int x, int) { return x == 0 ? kRed : kGreen; }));
    Loaded p;
    p.bitmap = LoadDibFile(nullptr, dir.file("m.bmp").c_str(), &p.image);
    ASSERT_NE(nullptr, p.bitmap);
    HBITMAP mask = CreateBitmapMask(p.bitmap, kRed);
    ASSERT_NE(nullptr, mask);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask);
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 0, 0));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 1, 0));
    SelectObject(dc, p.bitmap);
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 0, 0));  // the key pixel turned black
    EXPECT_EQ(kGreen, GetPixel(dc, 1, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(mask);

    HBITMAP scaled = ScaleBitmapCopy(p.bitmap, 6, 3);
    ASSERT_NE(nullptr, scaled);
    EXPECT_EQ(6, GetBitmapWidth(scaled));
    EXPECT_EQ(3, GetBitmapHeight(scaled));
    DeleteObject(scaled);

    Target t(5, 5, kBlue);
    RECT r = {1, 1, 4, 3};
    HBITMAP copy = CopyDCRectToBitmap(t.dc, &r);
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(3, GetBitmapWidth(copy));
    EXPECT_EQ(2, GetBitmapHeight(copy));
    DeleteObject(copy);
    EXPECT_EQ(0, GetBitmapWidth(nullptr));
}

}  // namespace
