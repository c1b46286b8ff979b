// Tests of the picture controls' path and placement rules.
#include "ui/picturectl.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(PicturePathTest, DibAndBMPicturePaths) {
    struct Case {
        int bmPicture, palette, fromSetText;
        const char *name;
        const char *path;  // nullptr: refused
    };
    const Case cases[] = {
        {0, 0, 0, "scope", "bin/scope.bmp"},
        {0, 1, 0, "scope", "bin/scoped.bmp"},
        {0, 0, 1, "m31", "bin/m31.bmp"},
        {0, 1, 1, "m31", "bin/m31d.bmp"},
        {0, 0, 1, "C:\\x\\y.bmp", "C:\\x\\y.bmp"},
        {0, 1, 1, "C:\\x\\y.bmp", "C:\\x\\y.bmp"},
        {0, 0, 1, "PICS/SCOPE.BMP", "PICS/SCOPE.BMP"},    // case-blind suffix test
        {0, 0, 0, "y.bmp", "bin/y.bmp.bmp"},              // creation always builds the path
        {0, 0, 1, "", nullptr},
        {0, 0, 0, nullptr, nullptr},
        {1, 0, 0, "pic", "pic.bmp"},
        {1, 0, 1, "pic", "pic.bmp"},
        {1, 0, 1, "a.b", "a.b"},
        {1, 0, 0, "", nullptr},
    };
    for (const Case &c : cases) {
        char buffer[300] = "stale";
        int r = c.bmPicture ? MakeBMPicturePath(buffer, sizeof buffer, c.name, c.fromSetText)
                            : MakeDibPicturePath(buffer, sizeof buffer, c.name, c.palette, c.fromSetText);
        const char *name = c.name ? c.name : "(null)";
        if (c.path) {
            EXPECT_EQ(1, r) << name;
            EXPECT_STREQ(c.path, buffer) << name;
        } else {
            EXPECT_EQ(0, r) << name;
            EXPECT_STREQ("", buffer) << name;
        }
    }
}

TEST(PicturePathTest, LongNamesAndSmallBuffersAreRefused) {
    std::string longest(kPictureNameMax, 'a');
    char buffer[300];
    ASSERT_EQ(1, MakeDibPicturePath(buffer, sizeof buffer, longest.c_str(), 1, 0));
    EXPECT_EQ("bin/" + longest + "d.bmp", buffer);
    std::string tooLong(kPictureNameMax + 1, 'a');
    EXPECT_EQ(0, MakeDibPicturePath(buffer, sizeof buffer, tooLong.c_str(), 0, 1));
    EXPECT_EQ(0, MakeBMPicturePath(buffer, sizeof buffer, tooLong.c_str(), 0));
    char small[12];
    EXPECT_EQ(0, MakeDibPicturePath(small, sizeof small, "scope", 0, 0));  // "bin/scope.bmp" needs 14
    EXPECT_STREQ("", small);
    ASSERT_EQ(1, MakeDibPicturePath(small, sizeof small, "m31", 0, 0));
    EXPECT_STREQ("bin/m31.bmp", small);
}

TEST(PicturePathTest, ClockFrames) {
    char buffer[32];
    ASSERT_EQ(1, MakeClockFramePath(buffer, sizeof buffer, 3));
    EXPECT_STREQ("bin/clock_3.bmp", buffer);
    // Six steps from frame 0 show 1, 2, 3, 0, 1, 2.
    int frame = 0;
    const int expected[] = {1, 2, 3, 0, 1, 2};
    for (int e : expected) {
        frame = NextClockFrame(frame);
        EXPECT_EQ(e, frame);
    }
}

TEST(PicturePathTest, Destination) {
    struct Case {
        int natural, right;
        PictureRect r;
    };
    // A 64 x 48 picture in a 128 x 96 client area.
    const Case cases[] = {
        {0, 0, {0, 0, 128, 96}},
        {0, 1, {0, 0, 128, 96}},
        {1, 0, {0, 0, 64, 48}},
        {1, 1, {64, 0, 128, 48}},
    };
    for (const Case &c : cases) {
        PictureRect r = ComputePictureDestination(128, 96, 64, 48, c.natural, c.right);
        EXPECT_EQ(c.r.left, r.left);
        EXPECT_EQ(c.r.top, r.top);
        EXPECT_EQ(c.r.right, r.right);
        EXPECT_EQ(c.r.bottom, r.bottom);
    }
}

}  // namespace
