// The resource files of the controls (resources/arrow512.bmp, check2222.bmp,
// presscur.cur) against the built-in patterns the controls draw from and
// against the byte layout of a cursor file.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "testutil/testutil.h"
#include "ui/controlpictures.h"
#include "ui/dib.h"

namespace {

std::string ResourceBytes(const char *name) {
    std::string src = testutil::SourceDir();
    if (src.empty()) return "";
    bool ok = false;
    std::string bytes = testutil::ReadFileBytes(src + "/resources/" + name, &ok);
    return ok ? bytes : "";
}

TEST(ControlResources, BitmapsMatchTheBuiltInPatterns) {
    if (testutil::SourceDir().empty()) GTEST_SKIP() << "GLEANER_SOURCE_DIR not set";
    for (int id : {IDB_LINK_ARROW, IDB_TABLE_CHECK}) {
        const char *name = id == IDB_LINK_ARROW ? "arrow512.bmp" : "check2222.bmp";
        std::string bytes = ResourceBytes(name);
        ASSERT_FALSE(bytes.empty()) << name;
        const uint8_t *data = reinterpret_cast<const uint8_t *>(bytes.data());
        DibLayout layout;
        ASSERT_EQ(ParseDibFile(data, bytes.size(), &layout), 1) << name;
        EXPECT_EQ(layout.header.biBitCount, 4) << name;  // a 16-colour picture
        EXPECT_EQ(layout.colours, 16) << name;
        const ControlPicture *picture = FindControlPicture(id);
        ASSERT_EQ(layout.header.biWidth, picture->width);
        ASSERT_EQ(layout.header.biHeight, picture->height);  // bottom row first
        for (int y = 0; y < picture->height; ++y)
            for (int x = 0; x < picture->width; ++x)
                ASSERT_EQ(GetDibPixelColor(layout, data, x, y), ControlPicturePixel(*picture, x, y))
                    << name << " at " << x << "," << y;
    }
}

TEST(ControlResources, PressCursorLayout) {
    if (testutil::SourceDir().empty()) GTEST_SKIP() << "GLEANER_SOURCE_DIR not set";
    std::string b = ResourceBytes("presscur.cur");
    ASSERT_EQ(b.size(), 6u + 16u + 40u + 8u + 128u + 128u);
    auto u16 = [&](size_t o) { return static_cast<unsigned>(uint8_t(b[o]) | uint8_t(b[o + 1]) << 8); };
    auto u32 = [&](size_t o) { return u16(o) | u16(o + 2) << 16; };
    EXPECT_EQ(u16(0), 0u);   // reserved
    EXPECT_EQ(u16(2), 2u);   // a cursor file
    EXPECT_EQ(u16(4), 1u);   // one image
    EXPECT_EQ(uint8_t(b[6]), 32);
    EXPECT_EQ(uint8_t(b[7]), 32);
    EXPECT_EQ(u16(10), 5u);  // hot spot at the fingertip
    EXPECT_EQ(u16(12), 0u);
    EXPECT_EQ(u32(14), 304u);  // image bytes
    EXPECT_EQ(u32(18), 22u);   // image offset
    EXPECT_EQ(u32(22), 40u);   // BITMAPINFOHEADER
    EXPECT_EQ(u32(26), 32u);
    EXPECT_EQ(u32(30), 64u);   // XOR and AND masks
    EXPECT_EQ(u16(36), 1u);    // one bit per pixel
    // Top row (stored last in each mask): the fingertip pixels 5 and 6 are
    // black (AND 0, XOR 0), the rest transparent (AND 1).
    size_t xorTop = 22 + 40 + 8 + 31 * 4, andTop = 22 + 40 + 8 + 128 + 31 * 4;
    EXPECT_EQ(uint8_t(b[xorTop]), 0x00);
    EXPECT_EQ(uint8_t(b[andTop]), 0xF9);  // 1111 1001
}

}  // namespace
