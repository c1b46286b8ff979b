// Runs the generator of the toolkit's pictures (tools/gen_toolkit_bitmaps.py)
// into a scratch folder and reads what it drew with the program's own file
// checks: the palette file, the clock frames and the instrument drawings.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testutil/testutil.h"
#include "ui/dib.h"

namespace {

struct Picture {
    std::vector<uint8_t> bytes;
    DibLayout layout;
    int64_t At(int x, int y) const { return GetDibPixelColor(layout, bytes.data(), x, y); }
};

bool Load(const std::string &path, Picture *p) {
    return ReadWholeFile(path.c_str(), &p->bytes) && ParseDibFile(p->bytes.data(), p->bytes.size(), &p->layout);
}

class ToolkitBitmapsTest : public ::testing::Test {
protected:
    // The generator runs once for all tests of the suite.
    static void SetUpTestSuite() {
#ifndef _WIN32
        const std::string source = testutil::SourceDir();
        if (source.empty() || std::system("python3 -c 0 >/dev/null 2>&1") != 0) return;
        dir = new testutil::TempDir();
        const std::string command =
            "python3 '" + source + "/tools/gen_toolkit_bitmaps.py' --out '" + dir->path() + "'";
        generated = std::system(command.c_str()) == 0;
#endif
    }
    static void TearDownTestSuite() {
        delete dir;
        dir = nullptr;
    }
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "the generator runs on the build machine";
#else
        if (!dir) GTEST_SKIP() << "needs the source tree and python3";
        bin = dir->path() + "/bin/";
#endif
        ASSERT_TRUE(generated);
    }
    static testutil::TempDir *dir;
    static bool generated;
    std::string bin;
};
testutil::TempDir *ToolkitBitmapsTest::dir = nullptr;
bool ToolkitBitmapsTest::generated = false;

TEST_F(ToolkitBitmapsTest, PaletteFile) {
    const std::string bytes = testutil::ReadFileBytes(bin + "nj.pal");
    ASSERT_EQ(1048u, bytes.size());
    EXPECT_EQ("RIFF", bytes.substr(0, 4));
    EXPECT_EQ("PAL data", bytes.substr(8, 8));
    uint8_t entries[256][4];
    ASSERT_EQ(1, ReadPaletteFileEntries((bin + "nj.pal").c_str(), entries));
    // The colours the pictures rely on: the palette-display key, the clock's
    // pure green, black and white at the ends as Windows keeps them.
    const uint8_t wanted[][3] = {{206, 66, 24}, {0, 255, 0}, {255, 0, 0}, {192, 192, 192}};
    for (const auto &w : wanted) {
        bool found = false;
        for (const auto &e : entries) found = found || (e[0] == w[0] && e[1] == w[1] && e[2] == w[2]);
        EXPECT_TRUE(found) << int(w[0]) << "," << int(w[1]) << "," << int(w[2]);
    }
    EXPECT_EQ(0, entries[0][0] | entries[0][1] | entries[0][2]);
    EXPECT_EQ(255, entries[255][0] & entries[255][1] & entries[255][2]);
    for (const auto &e : entries) EXPECT_EQ(0, e[3]);
}

TEST_F(ToolkitBitmapsTest, ClockFramesTurnClockwise) {
    // The hand (dark blue) points to 12, 3, 6 and 9 o'clock in frames 0 to 3;
    // the corners are the transparent pure green; frames are square.
    const int tip[4][2] = {{16, 9}, {23, 16}, {16, 23}, {9, 16}};
    for (int k = 0; k < 4; ++k) {
        Picture p;
        ASSERT_TRUE(Load(bin + "clock_" + std::to_string(k) + ".bmp", &p)) << k;
        EXPECT_EQ(p.layout.header.biWidth, p.layout.header.biHeight);
        EXPECT_EQ(0x00FF00, p.At(0, 0));
        EXPECT_EQ(0x00FF00, p.At(31, 31));
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(j == k, p.At(tip[j][0], tip[j][1]) == 0x800000) << "frame " << k << " tip " << j;
    }
}

TEST_F(ToolkitBitmapsTest, InstrumentPicturesInBothVariants) {
    for (const char *name : {"scope", "finder", "eyep1", "eyep2", "binocs", "ccd_camera"}) {
        Picture full, indexed;
        ASSERT_TRUE(Load(bin + name + ".bmp", &full)) << name;
        ASSERT_TRUE(Load(bin + name + "d.bmp", &indexed)) << name;
        EXPECT_EQ(24, full.layout.header.biBitCount);
        EXPECT_EQ(8, indexed.layout.header.biBitCount);
        EXPECT_EQ(256, indexed.layout.colours);
        EXPECT_EQ(full.layout.header.biWidth, indexed.layout.header.biWidth);
        EXPECT_EQ(full.layout.header.biHeight, indexed.layout.header.biHeight);
        // The dialog-grey ground is a palette colour, so both variants agree there.
        EXPECT_EQ(0xC0C0C0, full.At(0, 0)) << name;
        EXPECT_EQ(0xC0C0C0, indexed.At(0, 0)) << name;
    }
}

}  // namespace
