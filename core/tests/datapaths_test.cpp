// Finding the suite's data: the settings file and its defaults, the "$" and
// "#" rules, the directory slots, the key lines, and start-up failures.
#include "core/datapaths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/userfolder.h"
#include "testutil/testutil.h"

using testutil::ReadFileBytes;
using testutil::TempDir;
using testutil::WriteFileBytes;

namespace {

#ifdef _WIN32
const char *const kEol = "\r\n";  // text-mode files on Windows
#else
const char *const kEol = "\n";
#endif

std::string Lines(const std::vector<std::string> &lines, const std::string &eol) {
    std::string s;
    for (const auto &l : lines) s += l + eol;
    return s;
}

// A data folder with ref, map and ss, named by DataPath; UserPath set too.
struct SuiteFixture : ::testing::Test {
    TempDir data, user;
    void SetUp() override {
        for (const char *d : {"ref", "map", "ss"}) ASSERT_EQ(EnsureDirectory(data.file(d).c_str()), 1);
        ASSERT_TRUE(testutil::SetSuiteValue("DataPath", data.path().c_str()));
        ASSERT_TRUE(testutil::SetSuiteValue("UserPath", user.path().c_str()));
    }
    void TearDown() override {
        testutil::SetSuiteValue("DataPath", nullptr);
        testutil::SetSuiteValue("UserPath", nullptr);
    }
    std::string Ini() const { return data.file("nightjar.ini"); }
    void WriteIni(const std::vector<std::string> &lines) {
        ASSERT_TRUE(WriteFileBytes(Ini(), Lines(lines, "\n")));
    }
};

const std::vector<std::string> kDollarIni = {"$/ref", "$/ref", "$/ref", "$/map", "$/map",
                                             "$/map", "$/ss",  "$/ss",  "ILEVEL 0",
                                             "ZOOM 4"};

TEST_F(SuiteFixture, MissingSettingsFileGetsTheNineDefaultLines) {
    FILE *f = OpenSettingsFile("r");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(ReadFileBytes(Ini()),
              Lines({"$/ref", "#:/ref", "#:/ref", "$/map", "#:/map", "#:/map", "$/ss", "#:/ss",
                     "ILEVEL 0"},
                    kEol));
    EXPECT_EQ(ReadSettingsInt("ILEVEL"), 0);
    EXPECT_EQ(ReadSettingsInt("NOSUCHKEY"), 2147483647);
}

TEST_F(SuiteFixture, LocateWithDataFolderLines) {
    WriteIni(kDollarIni);
    ASSERT_EQ(ResolveDataDirectories(nullptr, nullptr), 1);
    std::string d = data.path();
    EXPECT_EQ(std::string(GetRefDirectory(0)), d + "/ref/");
    EXPECT_EQ(std::string(GetMapDirectory(2)), d + "/map/");
    EXPECT_EQ(std::string(GetUserDataFolder()), user.path());
    char path[kCatalogueFilePathSize];
    EXPECT_EQ(std::string(MakeCatalogueFilePath(path, 0, 1)), d + "/ref/stars.bin");
    EXPECT_EQ(std::string(MakeCatalogueFilePath(path, 92, 0)), d + "/ref/show.bin");
    // Slot numbers outside 0..2 (low 24 bits) name no slot.
    EXPECT_EQ(GetRefDirectory(3), nullptr);
    EXPECT_NE(GetRefDirectory(0x01000001), nullptr);
    EXPECT_EQ(std::string(MakeCatalogueFilePath(path, 0, 7)), "");
    // Files in the slots open through them.
    ASSERT_TRUE(WriteFileBytes(d + "/map/conlines.bin", "x"));
    FILE *f = OpenMapDirectoryFile("conlines.bin", 1, "rb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
}

TEST_F(SuiteFixture, SettingsFileWithWindowsLineEnds) {
    ASSERT_TRUE(WriteFileBytes(Ini(), Lines(kDollarIni, "\r\n")));
    ASSERT_EQ(ResolveDataDirectories(nullptr, nullptr), 1);
    EXPECT_EQ(std::string(GetRefDirectory(1)), data.path() + "/ref/");
    EXPECT_EQ(ReadSettingsInt("ZOOM"), 4);
}

TEST_F(SuiteFixture, StartUpFailures) {
    struct Case {
        const char *what;
        std::vector<std::string> ini;
        bool dropData, dropUser;
    } cases[] = {
        {"seven lines", {"$/ref", "$/ref", "$/ref", "$/map", "$/map", "$/map", "$/ss"}, false, false},
        {"missing directory", {"$/ref", "$/nothere", "$/ref", "$/map", "$/map", "$/map", "$/ss", "$/ss"}, false, false},
        {"one-character line", {"$/ref", "x", "$/ref", "$/map", "$/map", "$/map", "$/ss", "$/ss"}, false, false},
        {"no DataPath", kDollarIni, true, false},
        {"no UserPath", kDollarIni, false, true},
    };
    for (const Case &c : cases) {
        WriteIni(c.ini);
        testutil::SetSuiteValue("DataPath", c.dropData ? nullptr : data.path().c_str());
        testutil::SetSuiteValue("UserPath", c.dropUser ? nullptr : user.path().c_str());
        EXPECT_EQ(ResolveDataDirectories(nullptr, nullptr), 0) << c.what;
    }
}

TEST(DataPaths, MarkerResolution) {
    char line[kPathLineSize];
    std::snprintf(line, sizeof line, "$/ref");
    ASSERT_EQ(ResolveDataPathMarker("C:\\Data", line), 1);
    EXPECT_STREQ(line, "C:\\Data/ref");
    std::snprintf(line, sizeof line, "$");
    ASSERT_EQ(ResolveDataPathMarker("C:\\Data", line), 1);
    EXPECT_STREQ(line, "C:\\Data");
    std::snprintf(line, sizeof line, "D:/maps");
    ASSERT_EQ(ResolveDataPathMarker("C:\\Data", line), 1);
    EXPECT_STREQ(line, "D:/maps");
    // A result longer than a line holds is refused and the line kept.
    std::string longFolder(500, 'a');
    std::snprintf(line, sizeof line, "$/a/rather/long/tail");
    EXPECT_EQ(ResolveDataPathMarker(longFolder.c_str(), line), 0);
    EXPECT_STREQ(line, "$/a/rather/long/tail");
}

TEST(DataPaths, SlotTexts) {
    struct Case {
        const char *in, *slot;
    } cases[] = {{"C:\\Data/ref", "C:/Data/ref/"},
                 {"C:\\\\Data\\\\\\ref\\", "C:/Data/ref/"},
                 {"D:/maps", "D:/maps/"},
                 {"E:/ref/", "E:/ref/"},
                 {"F://x", "F://x/"}};
    for (const Case &c : cases) {
        SetRefDirectories(c.in, c.in, c.in);
        EXPECT_STREQ(GetRefDirectory(2), c.slot) << c.in;
    }
    SetRefDirectories("C:/a", "E:/ref/", "C:/c");
    char path[kCatalogueFilePathSize];
    EXPECT_STREQ(MakeCatalogueFilePath(path, 0, 1), "E:/ref/stars.bin");
}

TEST(DataPaths, CutAtNewline) {
    struct Case {
        const char *in, *out;
    } cases[] = {{"abc\n", "abc"}, {"abc\r\n", "abc"}, {"a\nb\n", "a"}, {"", ""}, {"abc", "abc"}};
    for (const Case &c : cases) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%s", c.in);
        CutAtNewline(buf);
        EXPECT_STREQ(buf, c.out);
    }
}

TEST(DataPaths, DataDiscIsSearchedOnceFromD) {
    testutil::ScratchDrive disc('W');
    ASSERT_TRUE(disc.ok());
    ASSERT_TRUE(WriteFileBytes(disc.folder() + "/nightjar3.id", "3"));
    ASSERT_EQ(EnsureDirectory((disc.folder() + "/ref").c_str()), 1);
    EXPECT_EQ(FindDataDiscDrive(), 'W');

    char state = 0;
    char a[kPathLineSize] = "#:/ref", b[kPathLineSize] = "#:/map", c[kPathLineSize] = "$/ref";
    ASSERT_EQ(ResolveDriveMarker(&state, a), 1);
    EXPECT_STREQ(a, "W:/ref");
    EXPECT_EQ(state, 'W');
    EXPECT_EQ(PathExists(a), 1);
    // The second line takes the letter from the state, without a new search.
    std::remove((disc.folder() + "/nightjar3.id").c_str());
    ASSERT_EQ(ResolveDriveMarker(&state, b), 1);
    EXPECT_STREQ(b, "W:/map");
    ASSERT_EQ(ResolveDriveMarker(&state, c), 1);
    EXPECT_STREQ(c, "$/ref");
    // With no disc anywhere the rule fails.
    char none = 0, d[kPathLineSize] = "#:/ref";
    EXPECT_EQ(ResolveDriveMarker(&none, d), 0);
}

TEST_F(SuiteFixture, LocateWithTheDefaultFileAndADataDisc) {
    testutil::ScratchDrive disc('W');
    ASSERT_TRUE(disc.ok());
    ASSERT_TRUE(WriteFileBytes(disc.folder() + "/nightjar3.id", "3"));
    for (const char *d : {"ref", "map", "ss"})
        ASSERT_EQ(EnsureDirectory((disc.folder() + "/" + d).c_str()), 1);
    ASSERT_EQ(ResolveDataDirectories(nullptr, nullptr), 1);  // creates the default file first
    EXPECT_STREQ(GetRefDirectory(1), "W:/ref/");
    EXPECT_STREQ(GetMapDirectory(2), "W:/map/");
    EXPECT_EQ(std::string(GetRefDirectory(0)), data.path() + "/ref/");
    char path[kCatalogueFilePathSize];
    EXPECT_STREQ(MakeCatalogueFilePath(path, 0, 1), "W:/ref/stars.bin");
}

TEST_F(SuiteFixture, KeyLinesAreRewrittenAlone) {
    WriteIni({"$/ref", "$/ref", "$/ref", "$/map", "$/map", "$/map", "$/ss", "$/ss", "ILEVEL 0",
              "ZOOM 4"});
    const std::string before = ReadFileBytes(Ini());
    // "LEVEL" is not "ILEVEL": it gets a line of its own.
    ASSERT_EQ(WriteSettingsInt("LEVEL", 9), 1);
    EXPECT_EQ(ReadSettingsInt("ILEVEL"), 0);
    EXPECT_EQ(ReadSettingsInt("LEVEL"), 9);
    // A key that occurs inside directory lines never touches them.
    ASSERT_EQ(WriteSettingsInt("ref", 5), 1);
    char a[kPathLineSize], b[kPathLineSize], c[kPathLineSize];
    ASSERT_EQ(ReadRefDirLines(a, b, c), 1);
    EXPECT_STREQ(b, "$/ref");
    ASSERT_EQ(WriteSettingsInt("ZOOM", -12), 1);
    EXPECT_EQ(ReadSettingsInt("ZOOM"), -12);
    EXPECT_EQ(ReadFileBytes(Ini()),
              Lines({"$/ref", "$/ref", "$/ref", "$/map", "$/map", "$/map", "$/ss", "$/ss",
                     "ILEVEL 0", "ZOOM -12", "LEVEL 9", "ref 5"},
                    kEol));
    EXPECT_NE(before, ReadFileBytes(Ini()));
    EXPECT_FALSE(testutil::PathIsThere(data.file("nightjarT.ini")));
}

TEST_F(SuiteFixture, MalformedKeyLines) {
    WriteIni({"$/ref", "$/ref", "$/ref", "$/map", "$/map", "$/map", "$/ss", "$/ss", "ILEVEL",
              "ZOOM x", "BIG 99999999999"});
    EXPECT_EQ(ReadSettingsInt("ILEVEL"), 2147483647);
    EXPECT_EQ(ReadSettingsInt("ZOOM"), 2147483647);
    EXPECT_EQ(ReadSettingsInt("BIG"), 2147483647);
}

TEST_F(SuiteFixture, DirectoryLineGroupsAreRewritten) {
    WriteIni(kDollarIni);
    ASSERT_EQ(WriteMapDirLines("D:/m0", "D:/m1", "D:/m2"), 1);
    ASSERT_EQ(WriteSolarSystemDirLines("E:/ss", "F:/ss"), 1);
    EXPECT_EQ(ReadFileBytes(Ini()),
              Lines({"$/ref", "$/ref", "$/ref", "D:/m0", "D:/m1", "D:/m2", "E:/ss", "F:/ss",
                     "ILEVEL 0", "ZOOM 4"},
                    kEol));
    char a[kPathLineSize], b[kPathLineSize], c[kPathLineSize];
    ASSERT_EQ(ReadMapDirLines(a, b, c), 1);
    EXPECT_STREQ(c, "D:/m2");
    ASSERT_EQ(ReadSolarSystemDirLines(a, b), 1);
    EXPECT_STREQ(a, "E:/ss");

    // A file that ends inside the group is left as it was.
    WriteIni({"$/ref", "$/ref", "$/ref", "$/map", "$/map"});
    const std::string shortFile = ReadFileBytes(Ini());
    EXPECT_EQ(WriteMapDirLines("x", "y", "z"), 0);
    EXPECT_EQ(ReadFileBytes(Ini()), shortFile);
    EXPECT_EQ(ReadMapDirLines(a, b, c), 0);
}

TEST_F(SuiteFixture, BackupAndRestore) {
    WriteIni(kDollarIni);
    ASSERT_EQ(BackupSettingsFile(), 1);
    ASSERT_EQ(WriteSettingsInt("ILEVEL", 3), 1);
    ASSERT_EQ(RestoreSettingsFile(), 1);
    EXPECT_EQ(ReadSettingsInt("ILEVEL"), 0);
}

}  // namespace
