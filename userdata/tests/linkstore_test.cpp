// The web links store and its exchange records: file names and lines, keys,
// duplicate URLs, deletion down to the last link, which links travel, record
// bytes and round trips with user objects, and every failed file step.
#include "userdata/linkstore.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "testutil/failurepoints.h"
#include "userdata/linkexchange.h"
#include "userdata/tests/notetestutil.h"

using notetest::Bytes;
using notetest::I32;
using notetest::Obj;

namespace {

// A user folder with one link group "Default" at position 0.
struct LinksStore {
    notetest::NotesStore base;  // the user folder and user stars
    std::string links;
    std::string folder;
    LinksStore() {
        links = base.dir.file("links");
        GroupRecord g;
        AddGroup(kGroupLinks, "Default", &g);
        folder = g.folder;
    }
    std::string Path(int row, const std::string &name) const {
        return links + "/" + folder + "/" + CategoryFolderTable[row].name + "/" + name;
    }
};

std::string Lines(const std::string &bytes) {
    std::string s;
    for (char c : bytes)
        if (c != '\r') s += c;
    return s;
}

}  // namespace

TEST(LinkStore, FilesKeysAndLines) {
    LinksStore store;
    ObjectRecord galaxy = Obj(kClassGalaxy, 1234);
    ASSERT_EQ(AddObjectLink(0, &galaxy, "http://example.org/m31", "Andromeda page"), 1);
    EXPECT_EQ(Lines(Bytes(store.Path(5, "1234.dat"))),
              "55555\nVER 3.1f\n1234 6 256\nhttp://example.org/m31#Andromeda page\n");
    store.base.AddUserStar("One");
    for (int i = 2; i <= 7; ++i) store.base.AddUserStar(("S" + std::to_string(i)).c_str());
    ObjectRecord star = Obj(kClassUserStar, 7);
    ASSERT_EQ(AddObjectLink(0, &star, "https://a.example/x", ""), 1);
    EXPECT_TRUE(testutil::PathIsThere(store.Path(4, "7s.dat")));
    std::string index = Bytes(store.Path(4, "index.bin"));
    ASSERT_EQ(I32(index, 5), 1);
    EXPECT_EQ(I32(index, 9), 7 | 0x40000000);

    // Same URL in other letter case: refused, file unchanged.
    std::string before = Bytes(store.Path(5, "1234.dat"));
    EXPECT_EQ(AddObjectLink(0, &galaxy, "HTTP://EXAMPLE.ORG/M31", "again"), -1);
    EXPECT_EQ(AddObjectLink(0, &galaxy, "", "x"), -1);
    EXPECT_EQ(AddObjectLink(0, &galaxy, "http://a/#frag", "x"), -1);  // a URL holds no "#"
    EXPECT_EQ(Bytes(store.Path(5, "1234.dat")), before);
    // A description cannot break the file into lines.
    ASSERT_EQ(AddObjectLink(0, &galaxy, "ftp://files.example/", "two\r\nlines"), 1);
    LinkFile file;
    ASSERT_EQ(ReadObjectLinks(0, &galaxy, &file), 1);
    ASSERT_EQ(file.links.size(), 2u);
    EXPECT_EQ(file.links[1].description, "two  lines");

    // Deleting down to the last link removes file and key; the index keeps
    // its length with the count one less.
    std::string galaxiesIndex = Bytes(store.Path(5, "index.bin"));
    EXPECT_EQ(DeleteLink(0, &galaxy, "HTTP://example.org/M31"), 1);
    ASSERT_EQ(ReadObjectLinks(0, &galaxy, &file), 1);
    EXPECT_EQ(file.links.size(), 1u);
    EXPECT_EQ(DeleteLink(0, &galaxy, "ftp://files.example/"), 1);
    EXPECT_FALSE(testutil::PathIsThere(store.Path(5, "1234.dat")));
    std::string after = Bytes(store.Path(5, "index.bin"));
    EXPECT_EQ(after.size(), galaxiesIndex.size());
    EXPECT_EQ(I32(after, 5), 0);
    EXPECT_EQ(DeleteObjectLinks(0, &galaxy, 0), 0);

    std::vector<LinkKeyEntry> keys;
    ASSERT_EQ(ReadGroupLinkKeys(0, &keys), 1);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(+keys[0].key, 7 | 0x40000000);
    uint8_t marks[8] = {};
    ASSERT_EQ(MarkUserObjectsWithLinks(kClassUserStar, marks, 8), 1);
    EXPECT_EQ(marks[7], 2);
    EXPECT_EQ(marks[6], 0);
}

TEST(LinkStore, HeadersNamingAnotherObjectAndCrLfFiles) {
    LinksStore store;
    ObjectRecord galaxy = Obj(kClassGalaxy, 5);
    ASSERT_EQ(AddObjectLink(0, &galaxy, "http://a.example/", "a"), 1);
    // Written on Windows: CR LF line ends read the same.
    ASSERT_TRUE(testutil::WriteFileBytes(store.Path(5, "5.dat"),
                                         "55555\r\nVER 3.1f\r\n5 6 256\r\nhttp://a.example/#a\r\nno hash\r\n"));
    LinkFile file;
    ASSERT_EQ(ReadObjectLinks(0, &galaxy, &file), 1);
    ASSERT_EQ(file.links.size(), 1u);  // the line without "#" is passed over
    EXPECT_EQ(file.links[0].description, "a");
    // A header naming another object is no link file of this one.
    ASSERT_TRUE(testutil::WriteFileBytes(store.Path(5, "5.dat"), "55555\nVER 3.1f\n6 6 256\nhttp://b/#b\n"));
    EXPECT_EQ(ReadObjectLinks(0, &galaxy, &file), 0);
    EXPECT_EQ(AddObjectLink(0, &galaxy, "http://c.example/", "c"), 0);
}

TEST(LinkStore, MoveBetweenGroups) {
    LinksStore store;
    ASSERT_GT(AddGroup(kGroupLinks, "Other", nullptr), 0);
    ObjectRecord m = Obj(kClassOpenCluster, 45);
    ASSERT_EQ(AddObjectLink(0, &m, "http://a.example/", "a"), 1);
    ASSERT_EQ(AddObjectLink(0, &m, "http://b.example/", "b"), 1);
    ASSERT_EQ(AddObjectLink(1, &m, "http://B.example/", "present"), 1);
    EXPECT_EQ(MoveLinksToGroup(0, 1, &m), 1);
    LinkFile file;
    EXPECT_EQ(ReadObjectLinks(0, &m, &file), 0);
    ASSERT_EQ(ReadObjectLinks(1, &m, &file), 1);
    ASSERT_EQ(file.links.size(), 2u);
    EXPECT_EQ(file.links[0].description, "present");
}

TEST(LinkStore, ExportableLinks) {
    struct Case {
        const char *line;
        int expected;
    } cases[] = {
        {"http://example.org/page.html#d", 1}, {"https://example.org/#d", 1},
        {"HTTP://EXAMPLE.ORG/A#d", 1},         {"ftp://files.example/x#d", 1},
        {"ftp.example.org/x#d", 1},            {"http://a.example/q?x#d", 0},
        {"http://a.example/a=b#d", 0},         {"http://a.example/a&b#d", 0},
        {"http://a.example/cgi-bin/x#d", 0},   {"http://a.example/x.pl#d", 0},
        {"file://c:/x.html#d", 0},             {"mailto:a@example.org#d", 0},
        {"https://a.example/#see ?=&", 1},  // only the URL counts
    };
    for (const Case &c : cases) EXPECT_EQ(IsExportableLink(c.line), c.expected) << c.line;
}

TEST(LinkExchange, RecordBytesAndRoundTrip) {
    LinksStore source;
    source.base.AddUserStar("Alpha");
    source.base.AddUserStar("Beta");
    ObjectRecord galaxy = Obj(kClassGalaxy, 31), beta = Obj(kClassUserStar, 2);
    ASSERT_EQ(AddObjectLink(0, &galaxy, "http://a.example/m31", "page"), 1);
    ASSERT_EQ(AddObjectLink(0, &galaxy, "http://a.example/q?id=31", "dynamic"), 1);
    ASSERT_EQ(AddObjectLink(0, &galaxy, "ftp://f.example/m31", ""), 1);
    ASSERT_EQ(AddObjectLink(0, &beta, "http://b.example/", "beta"), 1);
    std::string path = source.base.dir.file("r.bin");
    FILE *f = std::fopen(path.c_str(), "wb");
    EXPECT_EQ(WriteObjectLinksRecord(f, 0, &galaxy), 2);
    std::fclose(f);
    std::string bytes = Bytes(path);
    std::string expected = std::string("\x06", 1);
    notetest::PutI32(&expected, 31);
    std::string l1 = "http://a.example/m31#page\n", l2 = "ftp://f.example/m31#\n";
    notetest::PutI32(&expected, static_cast<int32_t>(l1.size() + 1));
    expected += l1 + std::string(1, '\0');
    notetest::PutI32(&expected, static_cast<int32_t>(l2.size() + 1));
    expected += l2 + std::string(1, '\0');
    notetest::PutI32(&expected, 0);
    EXPECT_EQ(bytes, expected);
    f = std::fopen(path.c_str(), "ab");
    EXPECT_EQ(WriteObjectLinksRecord(f, 0, &beta), 1);
    EXPECT_EQ(WriteLinkRecordsEnd(f), 1);
    std::fclose(f);

    // Another computer where Beta is new (id 3 after two stars of its own).
    LinksStore target;
    target.base.AddUserStar("Gamma");
    target.base.AddUserStar("Delta");
    ObjectRecord present = Obj(kClassGalaxy, 31);
    ASSERT_EQ(AddObjectLink(0, &present, "http://A.EXAMPLE/m31", "mine"), 1);
    f = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(ReadLinkRecords(f, 0, 3106, 3, nullptr), 2);  // one already present
    std::fclose(f);
    LinkFile file;
    ASSERT_EQ(ReadObjectLinks(0, &present, &file), 1);
    ASSERT_EQ(file.links.size(), 2u);
    EXPECT_EQ(file.links[1].url, "ftp://f.example/m31");
    EXPECT_EQ(file.links[1].description, "");  // no line feed or CR kept
    ObjectRecord localBeta = Obj(kClassUserStar, 3);
    ASSERT_EQ(ReadObjectLinks(0, &localBeta, &file), 1);
    EXPECT_EQ(file.links[0].description, "beta");
    // The link file holds no blank line.
    std::string lines = Lines(Bytes(target.Path(5, "31.dat")));
    EXPECT_EQ(lines.find("\n\n"), std::string::npos);

    struct Bad {
        const char *what;
        std::string bytes;
    } bad[] = {
        {"line length 0x7fffffff", std::string("\x06\x01\x00\x00\x00\xff\xff\xff\x7f", 9)},
        {"negative line length", std::string("\x06\x01\x00\x00\x00\xfe\xff\xff\xff", 9)},
        {"line past the end", std::string("\x06\x01\x00\x00\x00\x20\x00\x00\x00http", 13)},
        {"class 0 head", std::string("\x00\x05\x00\x00\x00\x00\x00\x00\x00", 9)},
        {"no end record", std::string("\x06\x01\x00\x00\x00\x00\x00\x00\x00", 9)},
    };
    for (const Bad &b : bad) {
        ASSERT_TRUE(testutil::WriteFileBytes(path, b.bytes));
        f = std::fopen(path.c_str(), "rb");
        EXPECT_EQ(ReadLinkRecords(f, 0, 3106, 1, nullptr), -1) << b.what;
        std::fclose(f);
    }
}

TEST(LinkExchange, PackageIntoTheGroupOfItsName) {
    LinksStore source;
    ObjectRecord m = Obj(kClassGalaxy, 33);
    ASSERT_EQ(AddObjectLink(0, &m, "http://a.example/m33", "Triangulum"), 1);
    std::string pkg = source.base.dir.file("links.pkg");
    FILE *f = CreateLinksPackage(pkg.c_str(), "Galaxy pages", "desc");
    ASSERT_TRUE(f);
    ASSERT_EQ(WriteObjectLinksRecord(f, 0, &m), 1);
    ASSERT_EQ(CloseLinksPackage(f, 1), 1);
    EXPECT_EQ(I32(Bytes(pkg), 71 + 12), 1);  // the fourth count
    EXPECT_GE(FindRegisteredLinksPackage("GALAXY PAGES", nullptr), 0);

    LinksStore target;
    ASSERT_GT(AddGroup(kGroupLinks, "galaxy PAGES", nullptr), 0);
    PackageHeader header;
    std::string description;
    EXPECT_EQ(ImportLinksPackage(pkg.c_str(), &header, &description, nullptr), 1);
    EXPECT_EQ(ImportLinksPackage(pkg.c_str(), &header, &description, nullptr), 0);  // present
    GroupRecord g;
    int position = FindGroupByName(kGroupLinks, "Galaxy pages", &g) - 1;
    LinkFile file;
    ASSERT_EQ(ReadObjectLinks(position, &m, &file), 1);
    EXPECT_EQ(file.links[0].description, "Triangulum");
}

// Every failed step of adding and deleting links leaves the object's other
// links whole and readable.
TEST(LinkStore, EveryFailedStepKeepsTheLinks) {
    LinksStore store;
    ObjectRecord m = Obj(kClassGalaxy, 1);
    ASSERT_EQ(AddObjectLink(0, &m, "http://a.example/", "a"), 1);
    ASSERT_EQ(AddObjectLink(0, &m, "http://b.example/", "b"), 1);
    testutil::TempDir saved;
    ASSERT_EQ(CopyTree(store.links.c_str(), saved.file("links").c_str()), 1);
    auto prepare = [&] {
        DeleteTree(store.links.c_str());
        CopyTree(saved.file("links").c_str(), store.links.c_str());
    };
    struct Op {
        const char *name;
        std::function<int()> run;
    } ops[] = {
        {"add", [&] { ObjectRecord r = m; return AddObjectLink(0, &r, "http://c.example/", "c"); }},
        {"delete one", [&] { ObjectRecord r = m; return DeleteLink(0, &r, "http://a.example/"); }},
    };
    for (const Op &op : ops) {
        SCOPED_TRACE(op.name);
        testutil::ForEachFailurePoint(prepare, op.run, [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            EXPECT_NE(run.result, 1);
            LinkFile file;
            ASSERT_EQ(ReadObjectLinks(0, &m, &file), 1);
            ASSERT_EQ(file.links.size(), 2u);
            EXPECT_EQ(file.links[0].url, "http://a.example/");
            LinkIndexLists lists;
            ASSERT_EQ(LoadLinkIndexLists(0, &lists), 1);
            EXPECT_EQ(ObjectHasLinks(&lists, &m), 1);
            FreeLinkIndexLists(&lists);
        });
    }
}
