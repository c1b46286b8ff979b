// The notes store: index and note file bytes, key order, append and set
// rules, deletion with stale and duplicate entries, user objects carried in
// notes, notes between groups, and every file step failed in turn.
#include "userdata/notestore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "minorbodies/usercatalogs.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"
#include "userdata/notefiles.h"
#include "userdata/tests/notetestutil.h"

using notetest::Bytes;
using notetest::I32;
using notetest::NotesStore;
using notetest::Obj;

TEST(NoteStore, FirstNoteMakesEveryIndexAndNoteZero) {
    NotesStore store;
    ObjectRecord galaxy = Obj(kClassGalaxy, 1234);
    ASSERT_EQ(SetNote(0, &galaxy, "Spiral", "Faint arms", 3), 0);
    for (int row = 0; row < kCategoryFolderCount; ++row) {
        std::string bytes = Bytes(store.IndexPath(row));
        if (row == 5) continue;  // galaxies: the one with the note
        ASSERT_EQ(bytes.size(), 13u) << CategoryFolderTable[row].name;
        EXPECT_EQ(bytes.substr(0, 5), std::string("\x03\xd9\x03\x01" "f", 5));
        EXPECT_EQ(I32(bytes, 5), 0);
        EXPECT_EQ(I32(bytes, 9), 0);
    }
    std::string index = Bytes(store.IndexPath(5));
    ASSERT_EQ(index.size(), 21u);
    EXPECT_EQ(I32(index, 5), 1);   // next number
    EXPECT_EQ(I32(index, 9), 1);   // count
    EXPECT_EQ(I32(index, 13), 0);  // note number
    EXPECT_EQ(I32(index, 17), 1234);

    std::string note = Bytes(store.NotePath(5, "00000000.bin"));
    ASSERT_EQ(note.size(), 87u + 11u);
    EXPECT_EQ(note[5], 6);
    EXPECT_EQ(I32(note, 6), 1234);
    EXPECT_EQ(I32(note, 10), 0x100);
    EXPECT_EQ(std::string(note.data() + 14), "Spiral");
    EXPECT_EQ(I32(note, 79), 11);
    EXPECT_EQ(I32(note, 83), 3);
    EXPECT_EQ(std::string(note.data() + 87), "Faint arms");
}

TEST(NoteStore, KeysOfCatalogueUserAndGuideStarsSortAndAreFound) {
    NotesStore store;
    store.AddUserStar("Own star");  // id 1
    for (int i = 2; i <= 5; ++i) store.AddUserStar(("S" + std::to_string(i)).c_str());
    ObjectRecord user = Obj(kClassUserStar, 5);
    ObjectRecord catalogue = Obj(kClassStar, 5);
    ObjectRecord guide = Obj(kClassStar, static_cast<int32_t>(0x80000007u));
    ASSERT_EQ(SetNote(0, &user, "user", "", 0), 0);
    ASSERT_EQ(SetNote(0, &catalogue, "catalogue", "", 0), 1);
    ASSERT_EQ(SetNote(0, &guide, "guide", "", 0), 2);
    std::string index = Bytes(store.IndexPath(4));
    ASSERT_EQ(I32(index, 9), 3);
    EXPECT_EQ(static_cast<uint32_t>(I32(index, 17)), 0x80000007u);
    EXPECT_EQ(I32(index, 25), 5);
    EXPECT_EQ(I32(index, 33), 5 | 0x40000000);

    NoteIndexLists lists;
    ASSERT_EQ(LoadNoteIndexLists(0, &lists), 1);
    EXPECT_EQ(FindNoteInIndexLists(&lists, &user), 0);
    EXPECT_EQ(FindNoteInIndexLists(&lists, &catalogue), 1);
    EXPECT_EQ(FindNoteInIndexLists(&lists, &guide), 2);
    ObjectRecord absent = Obj(kClassStar, 6);
    EXPECT_EQ(FindNoteInIndexLists(&lists, &absent), -1);
    ObjectRecord noFolder = Obj(kClassEarthSatellite, 1);
    EXPECT_EQ(FindNoteInIndexLists(&lists, &noFolder), -1);
    FreeNoteIndexLists(&lists);
    // A variable double star (0x40) files under "stars" too.
    ObjectRecord variable = Obj(kClassStar, 9);
    variable.categoryBits = 0x40;
    EXPECT_EQ(SetNote(0, &variable, "var", "", 0), 3);
    // 0x8000 and a category without folder are refused.
    ObjectRecord odd = Obj(kClassStar, 10);
    odd.categoryBits = 0x8000;
    EXPECT_EQ(SetNote(0, &odd, "x", "", 0), kNoteFailed);
    EXPECT_EQ(SetNote(0, &noFolder, "x", "", 0), kNoteFailed);
}

TEST(NoteStore, AppendRules) {
    NotesStore store;
    ObjectRecord m = Obj(kClassGlobularCluster, 7);
    // Nothing to add: -2 before any file is touched.
    SetFileStepFailure(0);
    EXPECT_EQ(AppendToNote(0, &m, " \r\n", "\n", 0), kNoteNothingToAdd);
    EXPECT_EQ(CountFileSteps(), 0);
    ASSERT_EQ(AppendToNote(0, &m, "T", "a", 1), 0);
    std::string path = store.NotePath(12, "00000000.bin");
    std::string before = Bytes(path);
    FileTimeValue t0;
    ASSERT_TRUE(GetFileWriteTime(path.c_str(), &t0));
    EXPECT_EQ(AppendToNote(0, &m, "", "a", 0), kNoteNothingToAdd);
    EXPECT_EQ(Bytes(path), before);
    ASSERT_EQ(AppendToNote(0, &m, "other title", "b \r\n", 5), 0);
    NoteHeader header;
    std::string text;
    ASSERT_EQ(ReadNoteFile(0, 0x2000, 0, &header, &text), 1);
    EXPECT_EQ(text, "a\r\nb");
    EXPECT_EQ(+header.textLength, 5);
    EXPECT_STREQ(header.title, "T");  // title and status of the note stay
    EXPECT_EQ(+header.status, 1);
}

TEST(NoteStore, SetDeletesAnEmptiedNoteAndCreatesAnEmptyOne) {
    NotesStore store;
    ObjectRecord a = Obj(kClassOpenCluster, 1), b = Obj(kClassOpenCluster, 2);
    ASSERT_EQ(SetNote(0, &a, "A", "first", 0), 0);
    ASSERT_EQ(SetNote(0, &b, "B", "second", 0), 1);
    std::string indexPath = store.IndexPath(11);
    size_t sizeBefore = Bytes(indexPath).size();
    EXPECT_EQ(SetNote(0, &a, "", " ", 0), 0);  // the old number
    EXPECT_FALSE(testutil::PathIsThere(store.NotePath(11, "00000000.bin")));
    std::string index = Bytes(indexPath);
    EXPECT_EQ(index.size(), sizeBefore);  // the last 8 bytes are stale
    EXPECT_EQ(I32(index, 5), 2);          // numbers are never reused
    EXPECT_EQ(I32(index, 9), 1);
    EXPECT_EQ(I32(index, 17), 2);
    // Set on an object without a note: an empty note is made.
    EXPECT_EQ(SetNote(0, &a, "", "", 0), 2);
    NoteHeader header;
    std::string text = "x";
    ASSERT_EQ(ReadNoteFile(0, 0x1000, 2, &header, &text), 1);
    EXPECT_EQ(text, "");
    EXPECT_EQ(+header.textLength, 1);
    // Setting replaces title, text and status.
    EXPECT_EQ(SetNote(0, &b, "B2", "changed", 9), 1);
    ASSERT_EQ(ReadNoteFile(0, 0x1000, 1, &header, &text), 1);
    EXPECT_STREQ(header.title, "B2");
    EXPECT_EQ(text, "changed");
    EXPECT_EQ(+header.status, 9);
    EXPECT_EQ(SetNoteStatus(0, &b, 4), 1);
    ASSERT_EQ(ReadNoteFile(0, 0x1000, 1, &header, &text), 1);
    EXPECT_EQ(text, "changed");
    EXPECT_EQ(+header.status, 4);
    // A title longer than 64 characters is cut to 64.
    std::string longTitle(100, 'x');
    EXPECT_EQ(SetNote(0, &b, longTitle.c_str(), "t", 0), 1);
    ASSERT_EQ(ReadNoteFile(0, 0x1000, 1, &header, &text), 1);
    EXPECT_EQ(std::string(header.title), std::string(64, 'x'));
}

TEST(NoteStore, SetOnNoteZeroReportsAFailureDistinctFromTheNumber) {
    NotesStore store;
    ObjectRecord a = Obj(kClassQuasar, 3);
    ASSERT_EQ(SetNote(0, &a, "A", "first", 0), 0);
    // The note file cannot be read: a failure, not "note 0 set".
    ASSERT_TRUE(testutil::WriteFileBytes(store.NotePath(7, "00000000.bin"), "garbage"));
    EXPECT_EQ(SetNote(0, &a, "A", "second", 0), kNoteNotChanged);
    EXPECT_EQ(SetNoteStatus(0, &a, 2), kNoteNotChanged);
}

TEST(NoteStore, DeleteKeepsCountOfKeptEntriesAndRemovesDanglingEntries) {
    NotesStore store;
    ObjectRecord a = Obj(kClassBrightNebula, 10), b = Obj(kClassBrightNebula, 20);
    ASSERT_EQ(SetNote(0, &b, "B", "b", 0), 0);
    // A damaged index holding the key 10 twice (and out of order).
    std::string index = Bytes(store.IndexPath(9));
    std::string bytes = index.substr(0, 5);
    notetest::PutI32(&bytes, 5);
    notetest::PutI32(&bytes, 3);
    for (auto e : {std::make_pair(0, 20), std::make_pair(3, 10), std::make_pair(4, 10)}) {
        notetest::PutI32(&bytes, e.first);
        notetest::PutI32(&bytes, e.second);
    }
    ASSERT_TRUE(testutil::WriteFileBytes(store.IndexPath(9), bytes));
    // Note 3 exists, note 4 (the duplicate's file) is missing.
    ASSERT_TRUE(testutil::WriteFileBytes(store.NotePath(9, "00000003.bin"),
                                         Bytes(store.NotePath(9, "00000000.bin"))));
    EXPECT_EQ(DeleteNote(0, &a, 0), 1);
    index = Bytes(store.IndexPath(9));
    EXPECT_EQ(I32(index, 9), 1);  // the entries kept, not n - 1
    EXPECT_EQ(I32(index, 17), 20);
    EXPECT_EQ(index.size(), bytes.size());
    EXPECT_EQ(DeleteNote(0, &a, 0), 0);  // no note any more

    // An entry whose note file is gone is still deleted.
    ASSERT_TRUE(FsRemoveFile(store.NotePath(9, "00000000.bin")));
    EXPECT_EQ(DeleteNote(0, &b, 0), 1);
    EXPECT_EQ(I32(Bytes(store.IndexPath(9)), 9), 0);
}

TEST(NoteStore, ExistingIndexIsNeverReplaced) {
    NotesStore store;
    ObjectRecord a = Obj(kClassPlanetaryNebula, 1);
    ASSERT_EQ(SetNote(0, &a, "A", "a", 0), 0);
    // An index that cannot be read (damaged here; locked or denied elsewhere)
    // stays as it is: making an empty one would orphan its notes and let new
    // notes overwrite old note files.
    std::string damaged = "\x01\x02\x03";
    ASSERT_TRUE(testutil::WriteFileBytes(store.IndexPath(8), damaged));
    EXPECT_EQ(EnsureNoteIndexFiles(store.folder.c_str()), 1);
    ObjectRecord b = Obj(kClassPlanetaryNebula, 2);
    EXPECT_EQ(SetNote(0, &b, "B", "b", 0), kNoteFailed);
    EXPECT_EQ(Bytes(store.IndexPath(8)), damaged);
    EXPECT_TRUE(testutil::PathIsThere(store.NotePath(8, "00000000.bin")));
}

TEST(NoteStore, HostileNoteFilesAreRefused) {
    NotesStore store;
    ObjectRecord a = Obj(kClassGalaxy, 1);
    ASSERT_EQ(SetNote(0, &a, "A", "abc", 0), 0);
    std::string path = store.NotePath(5, "00000000.bin");
    std::string good = Bytes(path);
    NoteHeader header;
    std::string text;
    struct Case {
        const char *what;
        int offset;
        int32_t value;
        int expected;
    } cases[] = {
        {"text length past the end", 79, 1000, 0},
        {"negative text length", 79, -5, 0},
        {"huge text length", 79, 0x7fffffff, 0},
        {"stamp magic", 0, 0x01020304, 0},
    };
    for (const Case &c : cases) {
        std::string bad = good;
        std::memcpy(&bad[c.offset], &c.value, 4);
        ASSERT_TRUE(testutil::WriteFileBytes(path, bad));
        EXPECT_EQ(ReadNoteFile(0, 0x100, 0, &header, &text), c.expected) << c.what;
    }
    // A title without its NUL is cut at 64 characters.
    std::string bad = good;
    std::memset(&bad[14], 'y', 65);
    ASSERT_TRUE(testutil::WriteFileBytes(path, bad));
    ASSERT_EQ(ReadNoteFile(0, 0x100, 0, &header, &text), 1);
    EXPECT_EQ(std::string(header.title), std::string(64, 'y'));
    EXPECT_EQ(text, "abc");
}

TEST(NoteStore, OldFormNoteReadsWithStatusZeroAndIsWrittenInTheCurrentForm) {
    NotesStore store;
    ObjectRecord a = Obj(kClassGalaxy, 42);
    ASSERT_EQ(SetNote(0, &a, "A", "x", 0), 0);
    // An 83-byte header of version 2.5 ('e'), then the text.
    std::string old;
    old += std::string("\x03\xd9\x02\x05" "e", 5);
    old += '\x06';
    notetest::PutI32(&old, 42);
    notetest::PutI32(&old, 0x100);
    std::string title(65, '\0');
    std::memcpy(&title[0], "Old title", 9);
    old += title;
    notetest::PutI32(&old, 9);
    old += std::string("old text\0", 9);
    ASSERT_EQ(old.size(), 83u + 9u);
    std::string path = store.NotePath(5, "00000000.bin");
    ASSERT_TRUE(testutil::WriteFileBytes(path, old));
    NoteHeader header;
    std::string text;
    ASSERT_EQ(ReadNoteFile(0, 0x100, 0, &header, &text), 1);
    EXPECT_EQ(+header.status, 0);
    EXPECT_STREQ(header.title, "Old title");
    EXPECT_EQ(text, "old text");
    EXPECT_EQ(SetNoteStatus(0, &a, 6), 0);
    std::string now = Bytes(path);
    ASSERT_EQ(now.size(), 87u + 9u);
    EXPECT_EQ(now.substr(0, 5), std::string("\x03\xd9\x03\x01" "f", 5));
    EXPECT_EQ(I32(now, 83), 6);
    EXPECT_EQ(std::string(now.data() + 87), "old text");
}

TEST(NoteStore, UserObjectCarriedInTheNoteIsResolvedHere) {
    NotesStore store;
    store.AddUserStar("Alpha");  // id 1
    store.AddUserStar("Beta");   // id 2
    ObjectRecord beta = Obj(kClassUserStar, 2);
    ASSERT_EQ(SetNote(0, &beta, "B", "beta note", 0), 0);
    std::string path = store.NotePath(4, "00000000.bin");
    std::string note = Bytes(path);
    ASSERT_EQ(note.size(), 87u + 47u + 10u);  // header, star record, text
    EXPECT_EQ(I32(note, 87), 2);
    EXPECT_EQ(std::string(note.data() + 87 + 14), "Beta");

    // The same note read on another computer where Beta is new: it is added
    // there and the note names its local id.
    NotesStore other;
    other.AddUserStar("Gamma");  // id 1
    ASSERT_TRUE(testutil::WriteFileBytes(other.dir.file("n.bin"), note));
    FILE *f = std::fopen(other.dir.file("n.bin").c_str(), "rb");
    ASSERT_TRUE(f);
    NoteHeader header;
    std::string text;
    ASSERT_EQ(ReadNoteBody(f, &header, &text, 1, 0), 1);
    std::fclose(f);
    EXPECT_EQ(+header.index, 2);  // Gamma 1, Beta appended as 2
    EXPECT_EQ(text, "beta note");
    // Read-only preview: without the add flag nothing is added.
    NotesStore third;
    f = std::fopen(other.dir.file("n.bin").c_str(), "rb");
    ASSERT_EQ(ReadNoteBody(f, &header, &text, 0, 0), 1);
    std::fclose(f);
    EXPECT_EQ(+header.index, 2);
    int32_t stars = -1;
    FILE *user = OpenUserStarFile(&stars);
    ASSERT_TRUE(user);
    std::fclose(user);
    EXPECT_EQ(stars, 0);
}

TEST(NoteStore, ReadNoteFileRewritesTheRemappedId) {
    NotesStore store;
    store.AddUserStar("Alpha");  // id 1
    ObjectRecord alpha = Obj(kClassUserStar, 1);
    ASSERT_EQ(SetNote(0, &alpha, "A", "alpha", 0), 0);
    std::string path = store.NotePath(4, "00000000.bin");
    // The note names id 7 for Alpha (as a restored note from elsewhere would).
    std::string note = Bytes(path);
    int32_t seven = 7;
    std::memcpy(&note[6], &seven, 4);
    std::memcpy(&note[87], &seven, 4);
    ASSERT_TRUE(testutil::WriteFileBytes(path, note));
    NoteHeader header;
    std::string text;
    ASSERT_EQ(ReadNoteFile(0, 0x10, 0, &header, &text), 1);
    EXPECT_EQ(+header.index, 1);
    EXPECT_EQ(text, "alpha");
    std::string now = Bytes(path);
    EXPECT_EQ(I32(now, 6), 1);
    EXPECT_EQ(I32(now, 87), 1);
}

TEST(NoteStore, NotesBetweenGroups) {
    NotesStore store;
    ASSERT_GT(AddGroup(kGroupNotes, "Zeta", nullptr), 0);  // position 1
    ObjectRecord a = Obj(kClassDarkNebula, 5);
    ASSERT_EQ(SetNote(0, &a, "A", "source", 2), 0);
    EXPECT_EQ(CopyNoteToGroup(0, 1, 0x20000, 0), 1);
    ObjectRecord probe = Obj(kClassDarkNebula, 5);
    NoteIndexLists lists;
    ASSERT_EQ(LoadNoteIndexLists(1, &lists), 1);
    int n = FindNoteInIndexLists(&lists, &probe);
    FreeNoteIndexLists(&lists);
    ASSERT_EQ(n, 0);
    // The target already has a note: the move does nothing.
    EXPECT_EQ(MoveNoteToGroup(0, 1, 0x20000, 0), 0);
    ASSERT_EQ(SetNote(1, &probe, "", "", 0), 0);  // deleted in the target
    EXPECT_EQ(MoveNoteToGroup(0, 1, 0x20000, 0), 2);
    NoteHeader header;
    std::string text;
    EXPECT_EQ(ReadNoteFile(0, 0x20000, 0, &header, &text), 0);
    ASSERT_EQ(ReadNoteFile(1, 0x20000, 1, &header, &text), 1);
    EXPECT_EQ(text, "source");
    EXPECT_EQ(+header.status, 2);
    // Appending joins the texts.
    ObjectRecord c = Obj(kClassDarkNebula, 5);
    ASSERT_EQ(SetNote(0, &c, "C", "more", 0), 1);
    EXPECT_EQ(AppendNoteToGroup(0, 1, 0x20000, 1), 1);
    ASSERT_EQ(ReadNoteFile(1, 0x20000, 1, &header, &text), 1);
    EXPECT_EQ(text, "source\r\nmore");
    std::vector<NoteKeyEntry> keys;
    ASSERT_EQ(ReadGroupNoteKeys(1, &keys), 1);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(+keys[0].category, 0x20000u);
    EXPECT_EQ(+keys[0].number, 1);
    EXPECT_EQ(+keys[0].key, 5);
}

TEST(NoteStore, UserObjectMarksAndRewritesAcrossGroups) {
    NotesStore store;
    ASSERT_GT(AddGroup(kGroupNotes, "X group", nullptr), 0);
    ASSERT_GT(AddGroup(kGroupNotes, "Y group", nullptr), 0);
    store.AddUserStar("Alpha");
    store.AddUserStar("Beta");
    ObjectRecord beta = Obj(kClassUserStar, 2);
    // Beta has notes in the first and the third group, none in the second.
    ASSERT_EQ(SetNote(0, &beta, "", "one", 0), 0);
    ASSERT_EQ(SetNote(2, &beta, "", "three", 0), 0);
    // A guide-star key with both high bits: never an array index.
    ObjectRecord guide = Obj(kClassStar, static_cast<int32_t>(0xC0000001u));
    ASSERT_EQ(SetNote(1, &guide, "", "g", 0), 0);
    uint8_t marks[4] = {0, 0, 0, 0};
    ASSERT_EQ(MarkUserObjectsWithNotes(kClassUserStar, marks, 4), 1);
    EXPECT_EQ(marks[0], 0);
    EXPECT_EQ(marks[1], 0);
    EXPECT_EQ(marks[2], 2);
    EXPECT_EQ(MarkUserObjectsWithNotes(kClassStar, marks, 4), 0);

    // Beta is renamed; both notes get the new copy, also past the group
    // without a note.
    FILE *f = OpenUserStarFile(nullptr);
    ASSERT_TRUE(f);
    UserStarRecord r;
    int32_t at = 0;
    ASSERT_EQ(GetUserStarById(f, 2, &r, &at), 2);
    std::fclose(f);
    std::snprintf(r.name, sizeof r.name, "Beta renamed");
    store.ReplaceUserStar(r, at - 1);
    EXPECT_EQ(RewriteUserObjectNotes(kClassUserStar, 0x10, 2), 1);
    GroupRecord third;
    ASSERT_EQ(ReadGroup(kGroupNotes, &third, 2), 1);
    for (std::string group : {store.folder, std::string(third.folder)}) {
        std::string note = Bytes(store.NotePathIn(group, 4, "00000000.bin"));
        ASSERT_GT(note.size(), 87u + 47u);
        EXPECT_EQ(std::string(note.data() + 87 + 14), "Beta renamed") << group;
    }
}

TEST(NoteStore, BrowseClassesAndNameOrder) {
    EXPECT_EQ(ClassForBrowseIndex(2, 0), kClassComet);
    EXPECT_EQ(ClassForBrowseIndex(2, 1), kClassUserComet);
    EXPECT_EQ(ClassForBrowseIndex(3, 1), kClassUserMinorPlanet);
    EXPECT_EQ(ClassForBrowseIndex(4, 1), kClassUserStar);
    EXPECT_EQ(ClassForBrowseIndex(5, 1), kClassUserDeepSky);
    EXPECT_EQ(ClassForBrowseIndex(5, -1), 0);
    EXPECT_LT(CompareNamesNoCase("alpha", "Beta"), 0);
    EXPECT_EQ(CompareNamesNoCase("M31", "m31"), 0);
    EXPECT_GT(CompareNamesNoCase("b", "A"), 0);
}

// Every file step of the note operations failed in turn: the result says
// so, every note present before still reads back whole, and every index
// entry names a note file (or can be deleted).
TEST(NoteStore, EveryFailedStepLeavesTheNotesWhole) {
    NotesStore store;
    ObjectRecord a = Obj(kClassGalaxy, 1), b = Obj(kClassGalaxy, 2), c = Obj(kClassGalaxy, 3);
    ASSERT_EQ(SetNote(0, &a, "A", "alpha", 1), 0);
    ASSERT_EQ(SetNote(0, &b, "B", "beta", 2), 1);
    testutil::TempDir saved;
    ASSERT_EQ(CopyTree(store.notes.c_str(), saved.file("notes").c_str()), 1);
    auto prepare = [&] {
        DeleteTree(store.notes.c_str());
        CopyTree(saved.file("notes").c_str(), store.notes.c_str());
    };
    auto checkWhole = [&](const testutil::FailurePointRun &run) {
        SCOPED_TRACE(testutil::DescribeFailurePoint(run));
        NoteHeader header;
        std::string text;
        ObjectRecord probeA = Obj(kClassGalaxy, 1), probeB = Obj(kClassGalaxy, 2);
        NoteIndexLists lists;
        ASSERT_EQ(LoadNoteIndexLists(0, &lists), 1);
        int na = FindNoteInIndexLists(&lists, &probeA), nb = FindNoteInIndexLists(&lists, &probeB);
        FreeNoteIndexLists(&lists);
        ASSERT_EQ(nb, 1);
        ASSERT_EQ(ReadNoteFile(0, 0x100, nb, &header, &text), 1);
        EXPECT_EQ(text, "beta");
        if (na >= 0) {
            if (ReadNoteFile(0, 0x100, na, &header, &text) == 1) {
                EXPECT_EQ(text, "alpha");
            } else {
                // Only a failed deletion may leave an entry without its file,
                // and that entry can still be deleted.
                EXPECT_EQ(DeleteNote(0, &probeA, 0), 1);
            }
        }
    };
    struct Op {
        const char *name;
        std::function<int()> run;
    } ops[] = {
        {"create", [&] { ObjectRecord r = c; return SetNote(0, &r, "C", "gamma", 0) == 2 ? 1 : 0; }},
        {"set", [&] { ObjectRecord r = a; return SetNote(0, &r, "A", "changed", 0) == 0 ? 1 : 0; }},
        {"delete", [&] { ObjectRecord r = a; return DeleteNote(0, &r, 0); }},
        {"append", [&] { ObjectRecord r = a; return AppendToNote(0, &r, "", "more", 0) == 0 ? 1 : 0; }},
    };
    for (const Op &op : ops) {
        SCOPED_TRACE(op.name);
        int steps = testutil::ForEachFailurePoint(
            prepare, op.run, [&](const testutil::FailurePointRun &run) {
                EXPECT_NE(run.result, 1) << testutil::DescribeFailurePoint(run);
                checkWhole(run);
                // No temporary is left beside any index.
                for (int row = 0; row < kCategoryFolderCount; ++row)
                    EXPECT_TRUE(testutil::TemporariesBeside(store.IndexPath(row)).empty());
            });
        EXPECT_GT(steps, 0);
    }
    prepare();
}
