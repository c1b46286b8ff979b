// Note records, notes packages and the notes register: exact bytes, round
// trips with user objects remapped, imports into groups by name, malformed
// records.
#include "userdata/noteexchange.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "core/grouplist.h"
#include "core/userfolder.h"
#include "userdata/notestore.h"
#include "userdata/packageregistry.h"
#include "userdata/tests/notetestutil.h"

using notetest::Bytes;
using notetest::I32;
using notetest::NotesStore;
using notetest::Obj;

namespace {

int NoteOf(int group, ObjectRecord record) {
    NoteIndexLists lists;
    if (!LoadNoteIndexLists(group, &lists)) return -2;
    int n = FindNoteInIndexLists(&lists, &record);
    FreeNoteIndexLists(&lists);
    return n;
}

std::string TextOf(int group, ObjectRecord record) {
    int n = NoteOf(group, record);
    NoteHeader header;
    std::string text;
    if (n < 0 || !ReadNoteFile(group, record.categoryBits, n, &header, &text)) return "<none>";
    return text;
}

int ReadRecordsFrom(const std::string &path, int group, int version = 3106) {
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return -9;
    int r = ReadNoteRecords(f, group, version, 1, nullptr);
    std::fclose(f);
    return r;
}

}  // namespace

TEST(NoteExchange, RecordBytesAndRoundTripWithUserObject) {
    NotesStore source;
    source.AddUserStar("Alpha");
    source.AddUserStar("Beta");  // id 2
    ObjectRecord galaxy = Obj(kClassGalaxy, 1234), beta = Obj(kClassUserStar, 2);
    ASSERT_EQ(SetNote(0, &galaxy, "abcd", "wxyz", 3), 0);
    ASSERT_EQ(SetNote(0, &beta, "B", "", 7), 0);
    ObjectRecord none = Obj(kClassGalaxy, 99);

    std::string path = source.dir.file("records.bin");
    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_EQ(WriteObjectNoteRecord(f, 0, &galaxy), 1);
    EXPECT_EQ(WriteObjectNoteRecord(f, 0, &none), 0);
    std::fclose(f);
    std::string bytes = Bytes(path);
    std::string expected;
    notetest::PutI32(&expected, 5);
    expected += '\x04';
    notetest::PutI32(&expected, 3);
    expected += '\x06';
    notetest::PutI32(&expected, 1234);
    expected += std::string("abcd\0wxyz\0", 10);
    EXPECT_EQ(bytes, expected);

    f = std::fopen(path.c_str(), "ab");
    ASSERT_EQ(WriteObjectNoteRecord(f, 0, &beta), 1);
    ASSERT_EQ(WriteNoteRecordsEnd(f), 1);
    std::fclose(f);
    bytes = Bytes(path);
    // Beta: head with text length 0, "B\0", no text, the 47-byte star.
    ASSERT_EQ(bytes.size(), expected.size() + 14 + 2 + 47 + 14);
    EXPECT_EQ(I32(bytes, 24), 0);
    EXPECT_EQ(I32(bytes, 24 + 10), 2);
    EXPECT_EQ(std::string(bytes.data() + 24 + 16 + 14), "Beta");
    EXPECT_EQ(I32(bytes, bytes.size() - 14), -1);

    // Another computer, where Beta is new and gets id 3.
    NotesStore target;
    target.AddUserStar("Gamma");
    target.AddUserStar("Delta");
    EXPECT_EQ(ReadRecordsFrom(path, 0), 2);
    EXPECT_EQ(TextOf(0, galaxy), "wxyz");
    ObjectRecord localBeta = Obj(kClassUserStar, 3);
    int n = NoteOf(0, localBeta);
    ASSERT_GE(n, 0);
    NoteHeader header;
    ASSERT_EQ(ReadNoteFile(0, 0x10, n, &header, nullptr), 1);
    EXPECT_STREQ(header.title, "B");
    EXPECT_EQ(+header.status, 7);
    EXPECT_EQ(NoteOf(0, Obj(kClassUserStar, 2)), -1);
}

TEST(NoteExchange, OldRecordsAndMalformedRecords) {
    NotesStore store;
    ObjectRecord m = Obj(kClassOpenCluster, 45);
    ASSERT_EQ(SetNote(0, &m, "kept", "present", 2), 0);
    std::string path = store.dir.file("r.bin");
    // Older form: 9-byte head, 60-byte title, text; status 0.
    std::string old;
    notetest::PutI32(&old, 4);
    old += '\x0a';
    notetest::PutI32(&old, 45);
    std::string title(60, '\0');
    std::memcpy(&title[0], "Pleiades", 8);
    old += title + std::string("old\0", 4);
    notetest::PutI32(&old, -1);
    old += std::string(5, '\0');
    ASSERT_TRUE(testutil::WriteFileBytes(path, old));
    EXPECT_EQ(ReadRecordsFrom(path, 0, 2500), 1);
    EXPECT_EQ(TextOf(0, m), "old");

    // An empty incoming note never deletes the note here.
    std::string empty;
    notetest::PutI32(&empty, 0);
    empty += '\0';
    notetest::PutI32(&empty, 0);
    empty += '\x0a';
    notetest::PutI32(&empty, 45);
    empty += '\0';
    notetest::PutI32(&empty, -1);
    empty += std::string(10, '\0');
    ASSERT_TRUE(testutil::WriteFileBytes(path, empty));
    EXPECT_EQ(ReadRecordsFrom(path, 0), 0);
    EXPECT_EQ(TextOf(0, m), "old");

    struct Case {
        const char *what;
        int32_t textLength;
        uint8_t titleLength;
        std::string tail;
    } cases[] = {
        {"title longer than 64", 2, 200, std::string(300, 'x')},
        {"text past the end", 1000, 1, std::string("t\0ab", 4)},
        {"short title", 2, 10, std::string("abc", 3)},
        {"cut head", 2, 1, ""},
    };
    for (const Case &c : cases) {
        std::string bytes;
        notetest::PutI32(&bytes, c.textLength);
        bytes += static_cast<char>(c.titleLength);
        notetest::PutI32(&bytes, 0);
        bytes += '\x0a';
        if (c.tail.empty())
            bytes += "\x2d";  // the index cut short
        else
            notetest::PutI32(&bytes, 46);
        bytes += c.tail;
        ASSERT_TRUE(testutil::WriteFileBytes(path, bytes));
        EXPECT_EQ(ReadRecordsFrom(path, 0), -1) << c.what;
    }
    EXPECT_EQ(TextOf(0, m), "old");
}

TEST(NoteExchange, PackagesImportIntoTheGroupOfTheirNameAndReplace) {
    NotesStore source;
    ObjectRecord m = Obj(kClassGalaxy, 31);
    std::string pkg1 = source.dir.file("one.pkg"), pkg2 = source.dir.file("two.pkg");
    ASSERT_EQ(SetNote(0, &m, "M31", "first text", 0), 0);
    const char *longName = "Autumn galaxies from the dark site near the lake, 2026";
    FILE *f = CreateNotesPackage(pkg1.c_str(), longName, "description");
    ASSERT_TRUE(f);
    ASSERT_EQ(WriteObjectNoteRecord(f, 0, &m), 1);
    ASSERT_EQ(CloseNotesPackage(f, 1), 1);
    std::string bytes = Bytes(pkg1);
    EXPECT_EQ(bytes[5], 2);                // kind
    EXPECT_EQ(I32(bytes, 71 + 8), 1);      // the third count
    EXPECT_EQ(std::string(bytes.data() + 103), "description");
    EXPECT_GE(FindRegisteredNotesPackage(longName, nullptr), 0);
    ASSERT_EQ(SetNote(0, &m, "M31", "second text", 0), 0);
    f = CreateNotesPackage(pkg2.c_str(), longName, "");
    ASSERT_TRUE(f);
    ASSERT_EQ(WriteObjectNoteRecord(f, 0, &m), 1);
    ASSERT_EQ(CloseNotesPackage(f, 1), 1);
    // One register entry for the name, however often it is registered.
    EXPECT_EQ(I32(Bytes(NotesRegistryPath()), 0), 1);

    NotesStore target;
    std::string upper = longName;
    for (char &c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    GroupRecord g;
    ASSERT_GT(AddGroup(kGroupNotes, upper.c_str(), &g), 0);
    PackageHeader header;
    std::string description;
    EXPECT_EQ(ImportNotesPackage(pkg1.c_str(), &header, &description, nullptr), 1);
    EXPECT_EQ(description, "description");
    EXPECT_EQ(ImportNotesPackage(pkg2.c_str(), &header, &description, nullptr), 1);
    int count = 0;
    GroupRecord *groups = nullptr;
    ASSERT_EQ(ReadGroupList(kGroupNotes, &groups, &count), 1);
    FreeGroupList(groups);
    EXPECT_EQ(count, 2);  // no new group: the upper-case one is the package's
    int position = FindGroupByName(kGroupNotes, longName, &g) - 1;
    EXPECT_EQ(TextOf(position, m), "second text");  // replaced, not appended
    std::string reg = Bytes(NotesRegistryPath());
    EXPECT_EQ(I32(reg, 0), 1);
    EXPECT_EQ(std::string(reg.data() + 4), std::string(longName).substr(0, 37));

    // A package of another kind is refused.
    bytes = Bytes(pkg1);
    bytes[5] = 3;
    ASSERT_TRUE(testutil::WriteFileBytes(pkg1, bytes));
    EXPECT_EQ(ImportNotesPackage(pkg1.c_str(), &header, &description, nullptr), -1);
}

TEST(PackageRegistry, CountsAreCheckedAndNamesCut) {
    NotesStore store;
    std::string path = store.dir.file("reg.bin");
    FileTimeValue t{5, 6}, u{7, 8}, out{0, 0};
    EXPECT_EQ(FindRegisteredPackage(path.c_str(), "a", nullptr), -1);
    ASSERT_EQ(RegisterPackage(path.c_str(), "Alpha", &t), 1);
    ASSERT_EQ(RegisterPackage(path.c_str(), "beta", &t), 1);
    ASSERT_EQ(RegisterPackage(path.c_str(), "ALPHA", &u), 1);
    EXPECT_EQ(FindRegisteredPackage(path.c_str(), "alpha", &out), 0);
    EXPECT_EQ(out.low, 7u);
    EXPECT_EQ(Bytes(path).size(), 4u + 2 * 46u);
    EXPECT_EQ(RegisterPackage(path.c_str(), "x", nullptr), 0);
    std::string bytes = Bytes(path);
    int32_t huge = 1000;
    std::memcpy(&bytes[0], &huge, 4);
    ASSERT_TRUE(testutil::WriteFileBytes(path, bytes));
    EXPECT_EQ(FindRegisteredPackage(path.c_str(), "beta", nullptr), -1);
    EXPECT_EQ(RegisterPackage(path.c_str(), "gamma", &t), 0);
    EXPECT_EQ(Bytes(path), bytes);
}
