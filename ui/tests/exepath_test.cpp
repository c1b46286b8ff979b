// Paths beside the executable, never written past the caller's buffer.
#include "ui/exepath.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(ExePath, ShortPaths) {
    char out[128];
    EXPECT_EQ(BuildPathBesideExecutable("C:\\Nightjar\\gleaner.exe", "Gleaner.chm", out, sizeof out), 1);
    EXPECT_STREQ(out, "C:\\Nightjar\\Gleaner.chm");
    EXPECT_EQ(BuildPathBesideExecutable("D:gleaner.exe", "x.ini", out, sizeof out), 1);
    EXPECT_STREQ(out, "D:x.ini");
    EXPECT_EQ(BuildPathBesideExecutable("/opt/nj/gleaner.exe", "a", out, sizeof out), 1);
    EXPECT_STREQ(out, "/opt/nj/a");
    EXPECT_EQ(BuildPathBesideExecutable("gleaner.exe", "a", out, sizeof out), 1);
    EXPECT_STREQ(out, "a");
}

// A 128-byte buffer with the last separator at 0-based position p holds the
// folder (p + 1 characters), the name and the terminator when
// p + 1 + name + 1 <= 128. A canary after the buffer proves nothing more is written.
TEST(ExePath, SeparatorNearTheEndOfA128ByteBuffer) {
    struct Case { int sep; int nameLength; int ok; } cases[] = {
        {114, 12, 1},  // "nightjar.ini" just fits: 115 + 12 + 1 = 128
        {114, 13, 0},
        {115, 11, 1},
        {115, 12, 0},
        {125, 1, 1},
        {126, 1, 0},   // folder + "?" + NUL = 129: nothing fits
        {10, 116, 1},
        {10, 117, 0},
    };
    for (const Case &c : cases) {
        std::string exe = "C:" + std::string(c.sep - 2, 'd') + "\\gleaner.exe";
        ASSERT_EQ(exe[c.sep], '\\');
        std::string name(c.nameLength, 'n');
        char buffer[128 + 8];
        std::memset(buffer, 0x5A, sizeof buffer);
        int r = BuildPathBesideExecutable(exe.c_str(), name.c_str(), buffer, 128);
        EXPECT_EQ(r, c.ok) << c.sep << " " << c.nameLength;
        for (int i = 128; i < 136; ++i) ASSERT_EQ(buffer[i], 0x5A);
        std::string folder = exe.substr(0, c.sep + 1);
        if (c.ok) {
            EXPECT_EQ(std::string(buffer), folder + name);
        } else if (folder.size() + 2 <= 128) {
            EXPECT_EQ(std::string(buffer), folder + "?");
        } else {
            EXPECT_STREQ(buffer, "");
        }
    }
}

}  // namespace
