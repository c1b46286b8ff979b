// The open-file entries of the web links store: paths, an object's link file
// read line by line and at a line number (LF and CR LF files), a file made
// for an object without one, a header naming another object, and the order
// of listing keys.
#include "userdata/linkopenfile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/grouplist.h"
#include "core/safefile.h"
#include "userdata/tests/notetestutil.h"

using notetest::Obj;

namespace {

struct LinksStore {
    notetest::NotesStore base;
    std::string folder;
    LinksStore() {
        GroupRecord g;
        AddGroup(kGroupLinks, "Default", &g);
        folder = g.folder;
    }
    std::string Path(int row, const std::string &name) const {
        return base.dir.file("links") + "/" + folder + "/" + CategoryFolderTable[row].name + "/" + name;
    }
};

}  // namespace

TEST(LinkOpenFile, PathsOfIndexAndLinkFile) {
    LinksStore store;
    char path[512];
    ASSERT_EQ(MakeLinkIndexPath(store.folder.c_str(), 0x100, path, sizeof path), 1);
    EXPECT_EQ(std::string(path), store.Path(5, "index.bin"));
    EXPECT_TRUE(testutil::PathIsThere(path));  // the group's indexes were made first
    ASSERT_EQ(MakeLinkFilePath(store.folder.c_str(), kClassGalaxy, 0x100, 1234, path, sizeof path), 1);
    EXPECT_EQ(std::string(path), store.Path(5, "1234.dat"));
    ASSERT_EQ(MakeLinkFilePath(store.folder.c_str(), kClassUserStar, 0x10, 7, path, sizeof path), 1);
    EXPECT_EQ(std::string(path), store.Path(4, "7s.dat"));
    EXPECT_EQ(MakeLinkFilePath(store.folder.c_str(), kClassGalaxy, 0x100, 1234, path, 8), 0);  // too small
    EXPECT_STREQ(path, "");
    EXPECT_EQ(MakeLinkIndexPath(store.folder.c_str(), 0, path, sizeof path), 0);  // no category
}

TEST(LinkOpenFile, LinesReadInOrderAndByNumber) {
    LinksStore store;
    ObjectRecord galaxy = Obj(kClassGalaxy, 1234);
    ASSERT_EQ(AddObjectLink(0, &galaxy, "http://example.org/m31", "Andromeda"), 1);
    ASSERT_EQ(AddObjectLink(0, &galaxy, "ftp://files.example/", "Images"), 1);
    for (const char *ending : {"\n", "\r\n"}) {
        SCOPED_TRACE(ending[0] == '\r' ? "CR LF" : "LF");
        std::string e = ending;
        ASSERT_TRUE(testutil::WriteFileBytes(store.Path(5, "1234.dat"),
                                             "55555" + e + "VER 3.1f" + e + "1234 6 256" + e +
                                                 "http://example.org/m31#Andromeda" + e + "no hash here" + e +
                                                 "ftp://files.example/#Images" + e));
        FILE *f = OpenLinkFile(0, &galaxy);
        ASSERT_NE(f, nullptr);
        std::string url, description;
        ASSERT_EQ(ReadLinkLine(f, &url, &description), 1);
        EXPECT_EQ(url, "http://example.org/m31");
        EXPECT_EQ(description, "Andromeda");
        ASSERT_EQ(ReadLinkLine(f, &url, &description), 1);  // a line without "#": read, empty
        EXPECT_EQ(url, "");
        ASSERT_EQ(ReadLinkLine(f, &url, &description), 1);
        EXPECT_EQ(url, "ftp://files.example/");
        EXPECT_EQ(description, "Images");
        EXPECT_EQ(ReadLinkLine(f, &url, &description), 0);
        std::fclose(f);

        f = OpenLinkFile(0, &galaxy);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(ReadLinkLineAt(f, 2, &url, &description), 1);
        EXPECT_EQ(url, "ftp://files.example/");
        std::fclose(f);
        f = OpenLinkFile(0, &galaxy);
        EXPECT_EQ(ReadLinkLineAt(f, 1, &url, &description), 0);  // no "#"
        std::fclose(f);
        f = OpenLinkFile(0, &galaxy);
        EXPECT_EQ(ReadLinkLineAt(f, 3, &url, &description), 0);  // none
        std::fclose(f);
    }
}

TEST(LinkOpenFile, AnObjectWithoutLinksGetsAnEmptyFileAndAForeignHeaderIsRefused) {
    LinksStore store;
    ObjectRecord other = Obj(kClassGalaxy, 99);
    FILE *f = OpenLinkFile(0, &other);
    ASSERT_NE(f, nullptr);
    std::string url;
    EXPECT_EQ(ReadLinkLine(f, &url, nullptr), 0);
    std::fclose(f);
    std::string made;
    for (char c : testutil::ReadFileBytes(store.Path(5, "99.dat")))
        if (c != '\r') made += c;  // written as text: CR LF on Windows
    EXPECT_EQ(made.substr(0, 6), "55555\n");
    EXPECT_NE(made.find("99 6 256"), std::string::npos);

    ASSERT_TRUE(testutil::WriteFileBytes(store.Path(5, "99.dat"), "55555\nVER 3.1f\n98 6 256\n"));
    EXPECT_EQ(OpenLinkFile(0, &other), nullptr);
    ASSERT_TRUE(testutil::WriteFileBytes(store.Path(5, "99.dat"), "55555\nVER 1.0a\n99 6 256\n"));
    EXPECT_EQ(OpenLinkFile(0, &other), nullptr);  // a major version below 2
    EXPECT_EQ(OpenLinkFile(5, &other), nullptr);  // no such group
}

TEST(LinkOpenFile, KeyEntriesOrderIgnoringTheMarkBit) {
    const struct {
        LinkKeyEntry a, b;
        int sign;
    } cases[] = {
        {{0x100, 5}, {0x100, 6}, -1},
        {{0x100, 5 | kLinkKeyMarkBit}, {0x100, 6}, -1},  // the mark bit does not count
        {{0x100, 5 | kLinkKeyMarkBit}, {0x100, 5}, 0},
        {{0x100, -3}, {0x100, 2}, -1},                   // signed
        {{0x10, 7 | 0x40000000}, {0x100, 8}, 1},          // a user object's key after catalogue keys
        {{0x200, 5}, {0x100, 5}, 1},                      // equal keys: by category
    };
    for (const auto &c : cases) {
        int r = CompareLinkKeyEntries(&c.a, &c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a.key << " " << c.b.key;
        int back = CompareLinkKeyEntries(&c.b, &c.a);
        EXPECT_EQ((back > 0) - (back < 0), -c.sign);
    }
}
