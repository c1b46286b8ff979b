// The shell's portable pieces: the class-flag table, the settings block of the
// format file and the preview file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/classflags.h"
#include "app/formatfile.h"
#include "app/preview.h"
#include "core/userfolder.h"
#include "testutil/testutil.h"

using testutil::ReadFileBytes;
using testutil::TempDir;
using testutil::WriteFileBytes;

namespace {

TEST(ClassFlags, PictureIndex) {
    struct Case {
        unsigned flag;
        int index;
        int drawn;
    } cases[] = {{0x1, 1, 1},      {0xE, 2, 0},     {0x2, 3, 1},       {0x10, 6, 1},
                 {0xA0, 10, 1},    {0xC0, 11, 1},   {0x10000, 13, 1},  {0x80000, 21, 1},
                 {0x40000, 22, 0}, {0x3, 0, 0},     {0, 0, 0},         {0xFFFFFFFF, 0, 0}};
    for (const Case &c : cases) {
        EXPECT_EQ(GetClassBitmapIndex(c.flag), c.index) << std::hex << c.flag;
        EXPECT_EQ(ClassPictureIsDrawn(c.index), c.drawn) << c.index;
    }
}

struct UserFolderFixture : ::testing::Test {
    TempDir user;
    void SetUp() override { SetUserDataFolder(user.path().c_str()); }
    void TearDown() override { SetUserDataFolder(""); }
};

TEST_F(UserFolderFixture, FormatFileIsCreatedWithEmptySettings) {
    std::strcpy(CurrentImportSettings().importPath, "stale");
    CurrentImportSettings().selectedFormat = 7;
    ASSERT_EQ(OpenFormatFile(), 1);
    EXPECT_STREQ(CurrentImportSettings().importPath, "");
    EXPECT_EQ(CurrentImportSettings().selectedFormat, -1);
    std::string bytes = ReadFileBytes(user.file("gleaner.cfg"));
    ASSERT_EQ(bytes.size(), 520u);
    EXPECT_EQ(bytes.substr(0, 4), std::string(4, '\0'));       // no formats yet
    EXPECT_EQ(bytes.substr(516, 4), std::string(4, '\xFF'));   // index -1

    std::strcpy(CurrentImportSettings().importPath, "C:/logs/2024.csv");
    CurrentImportSettings().selectedFormat = 2;
    ASSERT_EQ(SaveImportSettings(), 1);
    CurrentImportSettings().selectedFormat = 0;
    ASSERT_EQ(OpenFormatFile(), 1);
    EXPECT_STREQ(CurrentImportSettings().importPath, "C:/logs/2024.csv");
    EXPECT_EQ(CurrentImportSettings().selectedFormat, 2);
    EXPECT_EQ(ReadFileBytes(user.file("gleaner.cfg")).size(), 520u);
}

TEST_F(UserFolderFixture, FormatFileKeepsStoredFormats) {
    // A file with one stored format: saving the settings leaves it alone.
    std::string file(4, '\0');
    file[0] = 1;
    file += std::string(516, '\0');
    file += std::string(300, 'F');
    ASSERT_TRUE(WriteFileBytes(user.file("gleaner.cfg"), file));
    ASSERT_EQ(OpenFormatFile(), 1);
    std::strcpy(CurrentImportSettings().importPath, "x.xml");
    ASSERT_EQ(SaveImportSettings(), 1);
    std::string after = ReadFileBytes(user.file("gleaner.cfg"));
    EXPECT_EQ(after.size(), file.size());
    EXPECT_EQ(after.substr(0, 4), file.substr(0, 4));
    EXPECT_EQ(after.substr(4, 5), std::string("x.xml"));
    EXPECT_EQ(after.substr(520), file.substr(520));
}

TEST_F(UserFolderFixture, TruncatedSettingsAreRefused) {
    ASSERT_TRUE(WriteFileBytes(user.file("gleaner.cfg"), std::string(100, '\0')));
    EXPECT_EQ(OpenFormatFile(), 0);
}

TEST(FormatFileWithoutFolder, NoUserFolderNoFile) {
    SetUserDataFolder("");
    EXPECT_EQ(OpenFormatFile(), 0);
    EXPECT_EQ(SaveImportSettings(), 0);
}

TEST_F(UserFolderFixture, PreviewFileIsDeleted) {
    ASSERT_TRUE(WriteFileBytes(user.file("gleaner.bin"), "preview"));
    EXPECT_EQ(DeletePreviewFile(), 1);
    EXPECT_FALSE(testutil::PathIsThere(user.file("gleaner.bin")));
    EXPECT_EQ(DeletePreviewFile(), 1);
}

}  // namespace
