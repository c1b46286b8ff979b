// Tests of the group lists "groups.bin": expected files are built here byte by
// byte (stamp at 0, count at 5, next id at 9, 134-byte entries from 13).
#include "core/grouplist.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/userfolder.h"
#include "testutil/testutil.h"

namespace {

std::string Int32(int32_t v) {
    std::string b;
    for (int i = 0; i < 4; ++i) b += static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    return b;
}
// 55555 = 0xD903.
std::string Stamp(int major, int minor, char letter) {
    return std::string("\x03\xD9", 2) + static_cast<char>(major) + static_cast<char>(minor) + letter;
}
std::string Entry(const std::string &name, const std::string &folder, int32_t id) {
    std::string n = name, f = folder;
    n.resize(65, '\0');
    f.resize(65, '\0');
    return n + f + Int32(id);
}
std::string Index(int32_t count, int32_t nextId, const std::string &entries = "",
                  const std::string &stamp = Stamp(3, 1, 'f')) {
    return stamp + Int32(count) + Int32(nextId) + entries;
}

class GroupListTest : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataFolder(dir.path().c_str()); }
    void TearDown() override { SetUserDataFolder(""); }
    std::string NotesIndex() { return testutil::ReadFileBytes(dir.file("notes/groups.bin")); }
    void WriteNotesIndex(const std::string &bytes) {
        Folder("notes");
        ASSERT_TRUE(testutil::WriteFileBytes(dir.file("notes/groups.bin"), bytes));
    }
    void Folder(const std::string &relative) {
        std::error_code ec;
        std::filesystem::create_directories(dir.file(relative), ec);
    }
    void MakeFolder(const std::string &relative) {
        Folder(relative);
        ASSERT_TRUE(testutil::WriteFileBytes(dir.file(relative + "/data.txt"), "group data"));
    }
    testutil::TempDir dir;
};

TEST_F(GroupListTest, PathsOfTheFourStores) {
    char buffer[kGroupPathBytes];
    EXPECT_EQ(dir.path() + "/notes/groups.bin", MakeNotesGroupsPath(buffer));
    EXPECT_EQ(dir.path() + "/links/groups.bin", MakeLinksGroupsPath(buffer));
    EXPECT_EQ(dir.path() + "/image links/groups.bin", MakeImageLinksGroupsPath(buffer));
    EXPECT_EQ(dir.path() + "/images/groups.bin", MakeImagesGroupsPath(buffer));
    int count = 9;
    EXPECT_EQ(nullptr, OpenGroupList(4, &count));
    EXPECT_EQ(0, count);
}

TEST_F(GroupListTest, FirstOpenMakesFolderAndEmptyIndex) {
    int count = 9;
    FILE *f = OpenGroupList(kGroupImageLinks, &count);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(0, count);
    EXPECT_EQ(13, std::ftell(f));
    std::fclose(f);
    EXPECT_EQ(Index(0, 1), testutil::ReadFileBytes(dir.file("image links/groups.bin")));
}

TEST_F(GroupListTest, AddKeepsByteOrderAndCaseBlindUniqueness) {
    GroupRecord out;
    ASSERT_EQ(1, AddGroup(kGroupNotes, "Moon", &out));
    EXPECT_EQ(1, int{out.id});
    EXPECT_STREQ("Moon", out.folder);
    const std::string afterMoon = NotesIndex();
    EXPECT_EQ(Index(1, 2, Entry("Moon", "Moon", 1)), afterMoon);

    EXPECT_EQ(-1, AddGroup(kGroupNotes, "moon", &out));
    EXPECT_STREQ("Moon", out.name);
    EXPECT_EQ(afterMoon, NotesIndex());

    EXPECT_EQ(1, AddGroup(kGroupNotes, "Alpha", nullptr));
    EXPECT_EQ(3, AddGroup(kGroupNotes, "beta", nullptr));  // lower case sorts after upper case
    EXPECT_EQ(3, AddGroup(kGroupNotes, "Zeta", nullptr));
    EXPECT_EQ(-4, AddGroup(kGroupNotes, "BETA", nullptr));
    EXPECT_EQ(Index(4, 5, Entry("Alpha", "Alpha", 2) + Entry("Moon", "Moon", 1) + Entry("Zeta", "Zeta", 4) +
                              Entry("beta", "beta", 3)),
              NotesIndex());
    EXPECT_EQ(0, AddGroup(kGroupNotes, "", nullptr));

    EXPECT_EQ(2, FindGroupByName(kGroupNotes, "MOON", &out));
    EXPECT_EQ(1, int{out.id});
    EXPECT_EQ(0, FindGroupByName(kGroupNotes, "Mars", &out));
    EXPECT_STREQ("beta", out.name);  // the last entry read
    EXPECT_EQ(3, FindGroupById(kGroupNotes, 4, &out));
    EXPECT_STREQ("Zeta", out.name);
    EXPECT_EQ(4, GetGroupId(kGroupNotes, 2));
    EXPECT_EQ(-1, GetGroupId(kGroupNotes, 4));
    EXPECT_EQ(-1, GetGroupId(kGroupNotes, -1));
    EXPECT_EQ(2, ReadGroupIdAt(kGroupNotes, 0));
    EXPECT_EQ(0, ReadGroupIdAt(kGroupNotes, 4));
    GroupRecord buffer;
    EXPECT_STREQ("Zeta", GetGroupFolderName(kGroupNotes, &buffer, 2));
    EXPECT_EQ(nullptr, GetGroupFolderName(kGroupNotes, &buffer, 7));

    GroupRecord *list = nullptr;
    int count = 0;
    ASSERT_EQ(1, ReadGroupList(kGroupNotes, &list, &count));
    ASSERT_EQ(4, count);
    EXPECT_STREQ("Alpha", list[0].name);
    EXPECT_STREQ("beta", list[3].name);
    FreeGroupList(list);
}

TEST_F(GroupListTest, FolderNames) {
    struct Case {
        const char *name;
        const char *folder;
    };
    const std::string longName(70, 'L');
    const Case cases[] = {
        {"M 31: core?", "M 31@ core%"},
        {"Moon  ", "Moon_3"},   // trailing blanks go; "Moon" is taken (case-blind)
        {"A:B", "A@B"},
        {"A@B", "A@B_5"},       // would share the folder of "A:B"
        {"con", "con_6"},       // a device name on Windows
        {"   ", "group_7"},
        {longName.c_str(), "LLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLL"},
    };
    ASSERT_EQ(1, AddGroup(kGroupLinks, "MOON", nullptr));
    for (const Case &c : cases) {
        GroupRecord out;
        ASSERT_GT(AddGroup(kGroupLinks, c.name, &out), 0) << c.name;
        EXPECT_STREQ(c.folder, out.folder) << c.name;
        EXPECT_EQ(std::string(c.name).substr(0, 64), out.name);
    }
}

TEST_F(GroupListTest, DeleteRewritesTheIndexAndRemovesOnlyItsFolder) {
    ASSERT_EQ(1, AddGroup(kGroupNotes, "Moon", nullptr));
    MakeFolder("notes/Moon");
    ASSERT_EQ(1, DeleteGroup(kGroupNotes, 0));
    EXPECT_FALSE(testutil::PathIsThere(dir.file("notes/Moon")));
    // The count says 0 and the stale entry stays behind it.
    EXPECT_EQ(Index(0, 2, Entry("Moon", "Moon", 1)), NotesIndex());
    EXPECT_EQ(147u, NotesIndex().size());
    EXPECT_EQ(0, DeleteGroup(kGroupNotes, 0));
    ASSERT_EQ(1, AddGroup(kGroupNotes, "Mars", nullptr));
    EXPECT_EQ(Index(1, 3, Entry("Mars", "Mars", 2)), NotesIndex());  // no id is reused

    // Two groups that share a folder, and an entry without a folder name: the
    // other group's data and the store itself survive.
    WriteNotesIndex(Index(3, 9, Entry("A:B", "A@B", 4) + Entry("A@B", "A@B", 5) + Entry("Broken", "", 6)));
    MakeFolder("notes/A@B");
    MakeFolder("notes/Other");
    ASSERT_EQ(1, DeleteGroup(kGroupNotes, 2));
    ASSERT_EQ(1, DeleteGroup(kGroupNotes, 0));
    EXPECT_TRUE(testutil::PathIsThere(dir.file("notes/A@B/data.txt")));
    EXPECT_TRUE(testutil::PathIsThere(dir.file("notes/Other/data.txt")));
    EXPECT_EQ(1, FindGroupByName(kGroupNotes, "A@B", nullptr));
    ASSERT_EQ(1, DeleteGroup(kGroupNotes, 0));
    EXPECT_FALSE(testutil::PathIsThere(dir.file("notes/A@B")));
    EXPECT_TRUE(testutil::PathIsThere(dir.file("notes/Other/data.txt")));
}

TEST_F(GroupListTest, RenameResortsAndRefusesClashes) {
    ASSERT_EQ(1, AddGroup(kGroupNotes, "Alpha", nullptr));
    ASSERT_EQ(2, AddGroup(kGroupNotes, "Moon", nullptr));
    const std::string before = NotesIndex();
    EXPECT_EQ(0, RenameGroup(kGroupNotes, "moon", 0));
    EXPECT_EQ(0, RenameGroup(kGroupNotes, "", 0));
    EXPECT_EQ(0, RenameGroup(kGroupNotes, "Zulu", 2));
    EXPECT_EQ(0, RenameGroup(kGroupNotes, "Zulu", -1));
    EXPECT_EQ(before, NotesIndex());
    ASSERT_EQ(1, RenameGroup(kGroupNotes, "Zulu", 0));
    EXPECT_EQ(Index(2, 3, Entry("Moon", "Moon", 2) + Entry("Zulu", "Alpha", 1)), NotesIndex());
    ASSERT_EQ(1, RenameGroup(kGroupNotes, "MOON", 0));  // its own name in another case
    EXPECT_EQ(1, FindGroupById(kGroupNotes, 2, nullptr));
}

TEST_F(GroupListTest, StampRules) {
    WriteNotesIndex(Index(1, 2, Entry("Moon", "Moon", 1), Stamp(3, 0, 'a')));
    int count = 0;
    FILE *f = OpenGroupList(kGroupNotes, &count);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(1, count);
    EXPECT_EQ(13, std::ftell(f));
    std::fclose(f);
    EXPECT_EQ(Index(1, 2, Entry("Moon", "Moon", 1)), NotesIndex());

    // Another computer's store is read as it is.
    const std::string foreign = Index(1, 2, Entry("Sun", "Sun", 1), Stamp(3, 0, 'a'));
    Folder("other");
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("other/groups.bin"), foreign));
    GroupRecord *list = nullptr;
    ASSERT_EQ(1, ReadGroupListIn(dir.file("other").c_str(), &list, &count));
    ASSERT_EQ(1, count);
    EXPECT_STREQ("Sun", list[0].name);
    FreeGroupList(list);
    EXPECT_EQ(foreign, testutil::ReadFileBytes(dir.file("other/groups.bin")));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("other/groups.bin"), Index(-3, 1)));
    EXPECT_EQ(1, ReadGroupListIn(dir.file("other").c_str(), &list, &count));
    EXPECT_EQ(0, count);
    EXPECT_EQ(nullptr, list);

    const std::string old = Index(1, 2, Entry("Moon", "Moon", 1), Stamp(2, 9, 'z'));
    WriteNotesIndex(old);
    EXPECT_EQ(nullptr, OpenGroupList(kGroupNotes, &count));
    EXPECT_EQ(-1, FindGroupByName(kGroupNotes, "Moon", nullptr));
    EXPECT_EQ(0, AddGroup(kGroupNotes, "Mars", nullptr));
    EXPECT_EQ(old, NotesIndex());
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("other/groups.bin"), old));
    EXPECT_EQ(0, ReadGroupListIn(dir.file("other").c_str(), &list, &count));
}

TEST_F(GroupListTest, CountsBeyondTheFileAreRefused) {
    Folder("other");
    for (int32_t count : {-1, 2, 0x7FFFFFFF}) {
        const std::string bytes = Index(count, 2, Entry("Moon", "Moon", 1));
        WriteNotesIndex(bytes);
        int n = 5;
        EXPECT_EQ(nullptr, OpenGroupList(kGroupNotes, &n)) << count;
        EXPECT_EQ(0, n);
        GroupRecord *list = nullptr;
        EXPECT_EQ(0, ReadGroupList(kGroupNotes, &list, &n)) << count;
        EXPECT_EQ(0, AddGroup(kGroupNotes, "Mars", nullptr)) << count;
        EXPECT_EQ(0, DeleteGroup(kGroupNotes, 0)) << count;
        EXPECT_EQ(bytes, NotesIndex()) << count;
        ASSERT_TRUE(testutil::WriteFileBytes(dir.file("other/groups.bin"), bytes));
        // A negative count reads as an empty list there.
        EXPECT_EQ(count < 0 ? 1 : 0, ReadGroupListIn(dir.file("other").c_str(), &list, &n)) << count;
        EXPECT_EQ(nullptr, list);
    }
}

TEST_F(GroupListTest, RebuildKeepsKnownGroupsAndGivesNewOnesFreshIds) {
    // The index knows "Group #1" (whose decoded folder name would read
    // "Group ,1"), "Moon" in folder "Moon_5", and a group whose folder is
    // gone; its next id (3) is below an id in use. On disk there are two more
    // folders: "M 31@ core%" and "moon", whose decoded name clashes with "Moon".
    WriteNotesIndex(Index(3, 3, Entry("Gone", "Gone", 2) + Entry("Group #1", "Group #1", 7) +
                                    Entry("Moon", "Moon_5", 5)));
    MakeFolder("notes/Group #1");
    MakeFolder("notes/Moon_5");
    MakeFolder("notes/M 31@ core%");
    MakeFolder("notes/moon");
    ASSERT_EQ(1, RebuildGroupList(kGroupNotes));
    EXPECT_EQ(Index(4, 10,
                    Entry("Group #1", "Group #1", 7) + Entry("M 31: core?", "M 31@ core%", 8) +
                        Entry("Moon", "Moon_5", 5) + Entry("moon_9", "moon", 9)),
              NotesIndex());
    // Without any index at all the folders are listed with ids from 1.
    MakeFolder("links/Moon");
    ASSERT_EQ(1, RebuildGroupList(kGroupLinks));
    EXPECT_EQ(Index(1, 2, Entry("Moon", "Moon", 1)), testutil::ReadFileBytes(dir.file("links/groups.bin")));
}

}  // namespace
