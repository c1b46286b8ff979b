// Tests of the portable .bmp and palette file handling: files are written here
// byte by byte at their documented offsets, not through the header structs.
#include "ui/dib.h"

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testutil/testutil.h"

namespace {

void Put16(std::vector<uint8_t> &b, size_t at, uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}
void Put32(std::vector<uint8_t> &b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

// A .bmp file: 14-byte file header, 40-byte info header at 14, colour table
// at 54 (blue, green, red, 0), rows from bitsOffset. Fields can be damaged
// afterwards by the tests.
struct BmpSpec {
    int width, height, bits;
    std::vector<uint32_t> table;  // colour values 0x00BBGGRR
    std::vector<uint8_t> rows;    // padded rows in file order
    uint32_t clrUsed = 0;
    uint32_t sizeImage = 0;
};

std::vector<uint8_t> MakeBmp(const BmpSpec &s) {
    const size_t tableBytes = 4 * s.table.size();
    const size_t off = 54 + tableBytes;
    std::vector<uint8_t> b(off + s.rows.size(), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, static_cast<uint32_t>(off));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(s.width));
    Put32(b, 22, static_cast<uint32_t>(s.height));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<uint32_t>(s.bits));
    Put32(b, 30, 0);
    Put32(b, 34, s.sizeImage);
    Put32(b, 46, s.clrUsed);
    for (size_t i = 0; i < s.table.size(); ++i) {
        uint32_t c = s.table[i];
        b[54 + 4 * i] = (c >> 16) & 0xFF;  // blue
        b[55 + 4 * i] = (c >> 8) & 0xFF;   // green
        b[56 + 4 * i] = c & 0xFF;          // red
    }
    std::copy(s.rows.begin(), s.rows.end(), b.begin() + off);
    return b;
}

// 3 x 2, 4 bits, 16 colours; bottom row first. Top row: colours 1, 2, 15;
// bottom row: 3, 0, 4. Each row is 2 bytes of pixels padded to 4.
BmpSpec FourBitSpec() {
    BmpSpec s{3, 2, 4, {}, {}};
    for (uint32_t i = 0; i < 16; ++i) s.table.push_back(0x00010203u * i);
    s.rows = {0x30, 0x40, 0, 0,   // bottom row: 3 0 | 4 _
              0x12, 0xF0, 0, 0};  // top row:    1 2 | 15 _
    return s;
}

TEST(DibFileTest, RefusesMalformedFiles) {
    struct Case {
        const char *what;
        void (*damage)(std::vector<uint8_t> &);
    };
    const Case cases[] = {
        {"not BM", [](std::vector<uint8_t> &b) { b[0] = 'X'; }},
        {"core header", [](std::vector<uint8_t> &b) { Put32(b, 14, 12); }},
        {"V4 header", [](std::vector<uint8_t> &b) { Put32(b, 14, 108); }},
        {"V5 header", [](std::vector<uint8_t> &b) { Put32(b, 14, 124); }},
        {"2 bits", [](std::vector<uint8_t> &b) { Put16(b, 28, 2); }},
        {"two planes", [](std::vector<uint8_t> &b) { Put16(b, 26, 2); }},
        {"RLE4", [](std::vector<uint8_t> &b) { Put32(b, 30, 2); }},
        {"bit fields", [](std::vector<uint8_t> &b) { Put32(b, 30, 3); }},
        {"width 0", [](std::vector<uint8_t> &b) { Put32(b, 18, 0); }},
        {"negative width", [](std::vector<uint8_t> &b) { Put32(b, 18, 0xFFFFFFFDu); }},
        {"width 40000", [](std::vector<uint8_t> &b) { Put32(b, 18, 40000); }},
        {"width 2^30 (stride overflow)", [](std::vector<uint8_t> &b) { Put32(b, 18, 1u << 30); }},
        {"height 0", [](std::vector<uint8_t> &b) { Put32(b, 22, 0); }},
        {"height -40000", [](std::vector<uint8_t> &b) { Put32(b, 22, static_cast<uint32_t>(-40000)); }},
        {"17 colours at 4 bits", [](std::vector<uint8_t> &b) { Put32(b, 46, 17); }},
        {"2^31 colours", [](std::vector<uint8_t> &b) { Put32(b, 46, 0x80000000u); }},
        {"bits inside the table", [](std::vector<uint8_t> &b) { Put32(b, 10, 60); }},
        {"bits offset past the end", [](std::vector<uint8_t> &b) { Put32(b, 10, 0xFFFFFFF0u); }},
        {"truncated bits", [](std::vector<uint8_t> &b) { b.pop_back(); }},
        {"taller than its bits", [](std::vector<uint8_t> &b) { Put32(b, 22, 3); }},
        {"truncated table", [](std::vector<uint8_t> &b) { b.resize(54 + 30); }},
        {"truncated header", [](std::vector<uint8_t> &b) { b.resize(53); }},
    };
    const std::vector<uint8_t> good = MakeBmp(FourBitSpec());
    DibLayout layout;
    ASSERT_EQ(1, ParseDibFile(good.data(), good.size(), &layout));
    for (const Case &c : cases) {
        std::vector<uint8_t> b = good;
        c.damage(b);
        EXPECT_EQ(0, ParseDibFile(b.data(), b.size(), &layout)) << c.what;
    }
    EXPECT_EQ(0, ParseDibFile(nullptr, 0, &layout));
}

TEST(DibFileTest, SizeImageFromTheFileIsNotTrusted) {
    // A huge biSizeImage (which would overrun a DIB section if it were read)
    // and a zero one both give the size the rows really take: stride x height.
    for (uint32_t sizeImage : {0u, 0x7FFFFFFFu, 4u}) {
        BmpSpec s = FourBitSpec();
        s.sizeImage = sizeImage;
        std::vector<uint8_t> b = MakeBmp(s);
        DibLayout layout;
        ASSERT_EQ(1, ParseDibFile(b.data(), b.size(), &layout)) << sizeImage;
        EXPECT_EQ(8u, layout.imageBytes);
        EXPECT_EQ(8u, layout.header.biSizeImage);
        EXPECT_EQ(4u, layout.stride);
    }
}

TEST(DibFileTest, DecodesEachDepth) {
    // 1 bit, 3 x 2: top row 1 0 1, bottom row 0 1 1; colours black and white.
    BmpSpec one{3, 2, 1, {0x000000, 0xFFFFFF}, {0x60, 0, 0, 0, 0xA0, 0, 0, 0}};
    // 8 bits with biClrUsed 0: a table of 256 entries is read; pixel values 0, 7, 255.
    BmpSpec eight{3, 1, 8, {}, {0, 7, 255, 0}};
    for (uint32_t i = 0; i < 256; ++i) eight.table.push_back(i | ((255 - i) << 16));
    // 24 bits, 2 x 2 (row stride 8): top row red, green; bottom row blue, white.
    BmpSpec rgb{2, 2, 24, {}, {255, 0, 0, 255, 255, 255, 0, 0,   // bottom: blue, white
                               0, 0, 255, 0, 255, 0, 0, 0}};     // top: red, green
    // The same picture stored top row first (negative height).
    BmpSpec topDown = rgb;
    topDown.height = -2;
    topDown.rows = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};

    struct Probe {
        const BmpSpec *spec;
        int x, y;
        int64_t colour;
    };
    const Probe probes[] = {
        {&one, 0, 0, 0xFFFFFF}, {&one, 1, 0, 0x000000}, {&one, 2, 0, 0xFFFFFF},
        {&one, 0, 1, 0x000000}, {&one, 1, 1, 0xFFFFFF}, {&one, 2, 1, 0xFFFFFF},
        {&one, 3, 0, -1},       {&one, 0, 2, -1},
        {&eight, 0, 0, 0xFF0000}, {&eight, 1, 0, 0xF80007}, {&eight, 2, 0, 0x0000FF},
        {&rgb, 0, 0, 0x0000FF}, {&rgb, 1, 0, 0x00FF00}, {&rgb, 0, 1, 0xFF0000},
        {&rgb, 1, 1, 0xFFFFFF},
        {&topDown, 0, 0, 0x0000FF}, {&topDown, 1, 0, 0x00FF00}, {&topDown, 0, 1, 0xFF0000},
        {&topDown, 1, 1, 0xFFFFFF},
    };
    BmpSpec four = FourBitSpec();
    for (const Probe &p : probes) {
        std::vector<uint8_t> b = MakeBmp(*p.spec);
        DibLayout layout;
        ASSERT_EQ(1, ParseDibFile(b.data(), b.size(), &layout));
        EXPECT_EQ(p.colour, GetDibPixelColor(layout, b.data(), p.x, p.y))
            << p.spec->bits << " bits at " << p.x << "," << p.y;
    }
    std::vector<uint8_t> b = MakeBmp(four);
    DibLayout layout;
    ASSERT_EQ(1, ParseDibFile(b.data(), b.size(), &layout));
    const int expected[2][3] = {{1, 2, 15}, {3, 0, 4}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(0x00010203 * expected[y][x], GetDibPixelColor(layout, b.data(), x, y));

    std::vector<uint8_t> e = MakeBmp(eight);
    ASSERT_EQ(1, ParseDibFile(e.data(), e.size(), &layout));
    EXPECT_EQ(256, layout.colours);
    EXPECT_EQ(256u, layout.header.biClrUsed);
    EXPECT_EQ(54u + 1024u, layout.bitsOffset);
    std::vector<uint8_t> c = MakeBmp(rgb);
    ASSERT_EQ(1, ParseDibFile(c.data(), c.size(), &layout));
    EXPECT_EQ(0, layout.colours);
}

TEST(DibFileTest, DamagedFilesNeverReadOutsideTheirBytes) {
    // Random damage to the header bytes and random truncation of valid
    // pictures: whatever the parser accepts must decode every pixel within
    // the file (AddressSanitizer checks the reads in the native build).
    BmpSpec eight{5, 3, 8, {}, std::vector<uint8_t>(24, 7)};
    for (uint32_t i = 0; i < 256; ++i) eight.table.push_back(i);
    const std::vector<uint8_t> seeds[] = {MakeBmp(FourBitSpec()), MakeBmp(eight),
                                          MakeBmp(BmpSpec{3, 2, 24, {}, std::vector<uint8_t>(24, 9)})};
    std::mt19937 random(12345);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        const std::vector<uint8_t> &seed = seeds[round % 3];
        std::vector<uint8_t> b = seed;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int c = 0; c < changes; ++c) b[random() % 54] = static_cast<uint8_t>(random());
        if (random() % 3 == 0) b.resize(random() % (b.size() + 1));
        // An exact-size copy, so that any read past the end is caught.
        std::vector<uint8_t> exact(b.begin(), b.end());
        DibLayout layout;
        if (!ParseDibFile(exact.data(), exact.size(), &layout)) continue;
        ++accepted;
        ASSERT_LE(static_cast<uint64_t>(layout.bitsOffset) + layout.imageBytes, exact.size());
        const int w = layout.header.biWidth, h = std::abs(layout.header.biHeight);
        ASSERT_LE(static_cast<int64_t>(w) * h, 1 << 20) << "only small seeds were damaged";
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) GetDibPixelColor(layout, exact.data(), x, y);
    }
    EXPECT_GT(accepted, 0);
}

TEST(DibFileTest, IndexPastAShortTableIsNoColour) {
    BmpSpec s{2, 1, 8, {0x112233, 0x445566}, {1, 9, 0, 0}};
    s.clrUsed = 2;
    std::vector<uint8_t> b = MakeBmp(s);
    DibLayout layout;
    ASSERT_EQ(1, ParseDibFile(b.data(), b.size(), &layout));
    EXPECT_EQ(0x445566, GetDibPixelColor(layout, b.data(), 0, 0));
    EXPECT_EQ(-1, GetDibPixelColor(layout, b.data(), 1, 0));
}

TEST(DibFileTest, RowAndTableSizes) {
    const int align[][2] = {{0, 0}, {1, 4}, {9, 12}, {12, 12}, {13, 16}};
    for (auto &a : align) EXPECT_EQ(a[1], AlignRowBytes(a[0])) << a[0];
    struct { int bits, width; uint32_t stride; } strides[] = {
        {1, 1, 4}, {1, 32, 4}, {1, 33, 8}, {4, 9, 8}, {8, 5, 8}, {24, 3, 12}, {24, 4, 12},
        {32, 32767, 131068}, {24, 0, 0}};
    for (auto &s : strides) EXPECT_EQ(s.stride, DibRowStride(s.bits, s.width)) << s.bits << "x" << s.width;

    uint8_t info[40] = {40};
    info[14] = 8;  // biBitCount
    EXPECT_EQ(256, GetDibColorCount(info));
    EXPECT_EQ(1024, GetDibColorTableSize(info));
    info[32] = 5;  // biClrUsed = 0x00010005: only the low 16 bits count
    info[34] = 1;
    EXPECT_EQ(5, GetDibColorCount(info));
    uint8_t core[12] = {12};
    core[10] = 4;  // bcBitCount
    EXPECT_EQ(16, GetDibColorCount(core));
    EXPECT_EQ(48, GetDibColorTableSize(core));
    core[10] = 24;
    EXPECT_EQ(0, GetDibColorCount(core));
    EXPECT_EQ(0, GetDibColorCount(nullptr));
}

TEST(DibFileTest, WritesTheFileItRead) {
    // A bottom-up picture written back gives the same bytes (header, table, rows).
    BmpSpec s = FourBitSpec();
    s.clrUsed = 16;
    s.sizeImage = 8;
    std::vector<uint8_t> original = MakeBmp(s);
    DibLayout layout;
    ASSERT_EQ(1, ParseDibFile(original.data(), original.size(), &layout));
    std::vector<uint8_t> out;
    ASSERT_EQ(1, BuildDibFileBytes(layout.header, original.data() + layout.tableOffset, layout.colours,
                                   original.data() + layout.bitsOffset, &out));
    EXPECT_EQ(original, out);

    testutil::TempDir dir;
    const std::string path = dir.file("pic.bmp");
    ASSERT_TRUE(testutil::WriteFileBytes(path, "old picture"));
    ASSERT_EQ(1, WriteFileReplacing(path.c_str(), out));
    std::vector<uint8_t> back;
    ASSERT_EQ(1, ReadWholeFile(path.c_str(), &back));
    EXPECT_EQ(original, back);
    EXPECT_TRUE(testutil::TemporariesBeside(path).empty());
}

TEST(DibFileTest, TopDownPictureIsWrittenBottomUpWithoutChangingTheHeader) {
    DibInfoHeader h{};
    h.biSize = 40;
    h.biWidth = 1;
    h.biHeight = -3;
    h.biPlanes = 1;
    h.biBitCount = 24;
    const uint8_t bits[12] = {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0};  // rows top to bottom
    std::vector<uint8_t> out;
    ASSERT_EQ(1, BuildDibFileBytes(h, nullptr, 0, bits, &out));
    EXPECT_EQ(-3, h.biHeight);
    ASSERT_EQ(54u + 12u, out.size());
    EXPECT_EQ(3, out[22]);   // biHeight now positive
    EXPECT_EQ(0, out[25]);
    EXPECT_EQ(12, out[34]);  // biSizeImage
    EXPECT_EQ(54, out[10]);  // bits offset
    const uint8_t rows[12] = {3, 3, 3, 0, 2, 2, 2, 0, 1, 1, 1, 0};
    EXPECT_EQ(0, std::memcmp(rows, out.data() + 54, 12));
    DibLayout layout;
    ASSERT_EQ(1, ParseDibFile(out.data(), out.size(), &layout));
    EXPECT_EQ(0x010101, GetDibPixelColor(layout, out.data(), 0, 0));

    h.biCompression = 1;  // RLE8 cannot be written from a section's bits
    EXPECT_EQ(0, BuildDibFileBytes(h, nullptr, 0, bits, &out));
}

TEST(DibFileTest, PackedDibGetsExactlyItsOwnBytes) {
    // 2 x 1 at 8 bits with 2 colours: 40 + 8 + 4 bytes, then slack such as a
    // rounded-up memory block would have.
    std::vector<uint8_t> block(40 + 8 + 4 + 20, 0xEE);
    std::fill(block.begin(), block.begin() + 52, 0);
    Put32(block, 0, 40);
    Put32(block, 4, 2);
    Put32(block, 8, 1);
    Put16(block, 12, 1);
    Put16(block, 14, 8);
    Put32(block, 32, 2);
    std::vector<uint8_t> out;
    ASSERT_EQ(1, BuildPackedDibFileBytes(block.data(), block.size(), &out));
    ASSERT_EQ(14u + 52u, out.size());
    EXPECT_EQ(66, out[2]);       // file size
    EXPECT_EQ(14 + 48, out[10]); // bits offset
    EXPECT_EQ(0, std::memcmp(block.data(), out.data() + 14, 52));
    EXPECT_EQ(0, BuildPackedDibFileBytes(block.data(), 51, &out));

    Put16(block, 14, 32);        // 32 bits with bit-field masks: 40 + 12 + 8 image bytes
    Put32(block, 16, 3);
    Put32(block, 32, 0);
    ASSERT_EQ(1, BuildPackedDibFileBytes(block.data(), block.size(), &out));
    EXPECT_EQ(14u + 60u, out.size());
    EXPECT_EQ(14 + 52, out[10]);
}

TEST(DibFileTest, PaletteFileNeedsAll256Entries) {
    testutil::TempDir dir;
    std::string bytes(24, 'R');
    for (int i = 0; i < 256; ++i) {
        bytes += static_cast<char>(i);
        bytes += static_cast<char>(255 - i);
        bytes += static_cast<char>(i / 2);
        bytes += static_cast<char>(i == 7 ? 2 : 0);
    }
    uint8_t entries[256][4];
    std::memset(entries, 0xAB, sizeof entries);
    const std::string shortPath = dir.file("short.pal");
    ASSERT_TRUE(testutil::WriteFileBytes(shortPath, bytes.substr(0, 1047)));
    EXPECT_EQ(0, ReadPaletteFileEntries(shortPath.c_str(), entries));
    EXPECT_EQ(0xAB, entries[0][0]);
    EXPECT_EQ(0, ReadPaletteFileEntries(dir.file("missing.pal").c_str(), entries));

    const std::string path = dir.file("nj.pal");
    ASSERT_TRUE(testutil::WriteFileBytes(path, bytes + "trailing bytes are ignored"));
    ASSERT_EQ(1, ReadPaletteFileEntries(path.c_str(), entries));
    EXPECT_EQ(0, entries[0][0]);
    EXPECT_EQ(255, entries[0][1]);
    EXPECT_EQ(200, entries[200][0]);
    EXPECT_EQ(55, entries[200][1]);
    EXPECT_EQ(100, entries[200][2]);
    EXPECT_EQ(2, entries[7][3]);
}

TEST(HsvTest, KnownColours) {
    struct Case {
        uint32_t colour;
        double h, s, v;
    };
    // Hues of the primaries and secondaries, a grey, black, and an orange
    // (255, 128, 0): h = 60 x 128/255.
    const Case cases[] = {
        {0x0000FF, 0, 1, 1},     {0x00FF00, 120, 1, 1},  {0xFF0000, 240, 1, 1},
        {0x00FFFF, 60, 1, 1},    {0xFFFF00, 180, 1, 1},  {0xFF00FF, 300, 1, 1},
        {0x808080, -1, 0, 128 / 255.0}, {0x000000, -1, 0, 0},
        {0x0080FF, 60 * 128 / 255.0, 1, 1},
        {0x404080, 0, 0.5, 128 / 255.0},
    };
    for (const Case &c : cases) {
        double h, s, v;
        RgbToHsv(c.colour, &h, &s, &v);
        EXPECT_NEAR(c.h, h, 1e-9) << std::hex << c.colour;
        EXPECT_NEAR(c.s, s, 1e-9) << std::hex << c.colour;
        EXPECT_NEAR(c.v, v, 1e-9) << std::hex << c.colour;
    }
}

TEST(HsvTest, HsvToRgbSectorsRoundingAndWrapping) {
    struct Case {
        double h, s, v;
        uint32_t colour;
    };
    const Case cases[] = {
        {120, 1, 1, 0x00FF00}, {360, 1, 1, 0x0000FF}, {0, 1, 1, 0x0000FF},
        {30, 1, 1, 0x0080FF},   // green 127.5 rounds half away from zero to 128
        {240, 1, 1, 0xFF0000}, {300, 1, 1, 0xFF00FF}, {0, 0, 0.5, 0x808080},
        {480, 1, 1, 0x00FF00},  // wrapped into [0, 360)
        {-120, 1, 1, 0xFF0000}, // -120 is 240
        {-1, 1, 1, 0x0000FF},   // the grey marker hue counts as 0
        {NAN, 1, 1, 0x0000FF},
        {200, 2, 7, 0xFFAA00},  // saturation and value clamped to 1
    };
    for (const Case &c : cases) {
        uint32_t colour = 0xDEADBEEF;
        HsvToRgb(c.h, c.s, c.v, &colour);
        EXPECT_EQ(c.colour, colour) << c.h << " " << c.s << " " << c.v;
    }
}

TEST(HsvTest, RoundTripOverAColourGrid) {
    for (uint32_t r = 0; r < 256; r += 17)
        for (uint32_t g = 0; g < 256; g += 17)
            for (uint32_t b = 0; b < 256; b += 17) {
                const uint32_t colour = r | (g << 8) | (b << 16);
                double h, s, v;
                RgbToHsv(colour, &h, &s, &v);
                ASSERT_TRUE(h == -1 || (h >= 0 && h < 360)) << std::hex << colour;
                uint32_t back = 0;
                HsvToRgb(h, s, v, &back);
                ASSERT_EQ(colour, back) << std::hex << colour;
            }
}

}  // namespace
