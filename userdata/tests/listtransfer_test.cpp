// Observing-list transfer files between two user folders: the bytes of an
// export, round trips with notes and user objects, an import over an
// existing list, refused and damaged files (the lists untouched), the
// groups an import makes, and every failed file step of storing the list.
#include "userdata/listtransfer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "core/grouplist.h"
#include "core/safefile.h"
#include "testutil/failurepoints.h"
#include "userdata/noteexchange.h"
#include "userdata/notestore.h"
#include "userdata/tests/listtestutil.h"
#include "userdata/tests/notetestutil.h"

using listtest::Item;
using listtest::Items;
using listtest::Keys;
using listtest::MakeList;

namespace {

using KeyList = std::vector<std::pair<int, int32_t>>;

int Import(const std::string &path, int group = 1, const char *images = nullptr) {
    ListImportState state;
    PackageHeader header;
    std::string description;
    if (!BeginListImport(&state, group, path.c_str(), 50, &header, &description, nullptr)) return -2;
    int r;
    int portions = 0;
    while ((r = ImportNextListItems(&state, images)) == 1) ++portions;
    if (r < 0) {
        EndListImport(&state, 1);
        return -1;
    }
    return EndListImport(&state, 0);
}

std::string NoteText(int group, ObjectRecord record) {
    NoteIndexLists lists;
    if (!LoadNoteIndexLists(group, &lists)) return "<no index>";
    int n = FindNoteInIndexLists(&lists, &record);
    FreeNoteIndexLists(&lists);
    NoteHeader header;
    std::string text;
    if (n < 0 || !ReadNoteFile(group, record.categoryBits, n, &header, &text)) return "<none>";
    return text;
}

}  // namespace

TEST(ListTransfer, ExportBytesAndRoundTripOfCatalogueItems) {
    testutil::TempDir out;
    std::string path = out.file("galaxies.lst");
    {
        listtest::UserFolder sender;
        // A class-0 item travels as nothing; the head and the header count
        // the three keys that do.
        int slot = MakeList("Autumn", {Item(kClassGalaxy, 31), Item(kClassNone, 0), Item(kClassStar, 7),
                                       Item(kClassSolarSystem, 10)});
        ASSERT_EQ(WriteListDescription(slot, "dark sky"), 1);
        ASSERT_EQ(ExportListToFile(path.c_str(), slot, 0, 0, 0, 0, nullptr, nullptr), 1);
    }
    std::string b = testutil::ReadFileBytes(path);
    ASSERT_EQ(b.size(), 103u + 9u + 52u + 3u * 5u);
    EXPECT_EQ(b[5], 1);  // kind
    EXPECT_STREQ(b.data() + 6, "Autumn");
    const int32_t counts[5] = {3, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(b.data() + 71, counts, sizeof counts), 0);
    EXPECT_EQ(std::string(b.data() + 103, 9), std::string("dark sky\0", 9));
    const char *head = b.data() + 112;
    EXPECT_STREQ(head, "Autumn");
    EXPECT_EQ(head[48], 3);
    EXPECT_EQ(head[50], 0);
    const unsigned char keys[] = {6, 31, 0, 0, 0, 5, 7, 0, 0, 0, 2, 10, 0, 0, 0};
    EXPECT_EQ(std::memcmp(b.data() + 164, keys, sizeof keys), 0);

    listtest::UserFolder receiver;
    // A key of a class this program does not know is left out.
    std::string unknown = b;
    unknown[164 + 5] = (char)200;
    ASSERT_TRUE(testutil::WriteFileBytes(out.file("unknown.lst"), unknown));
    int odd = Import(out.file("unknown.lst"));
    ASSERT_GE(odd, 0);
    EXPECT_EQ(Keys(Items(odd)), (KeyList{{6, 31}, {2, 10}}));
    ASSERT_EQ(DeleteList(odd), 1);
    int slot = Import(path);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(Keys(Items(slot)), (KeyList{{6, 31}, {5, 7}, {2, 10}}));
    std::string text;
    ASSERT_EQ(ReadListDescription(slot, &text), 1);
    EXPECT_EQ(text, "dark sky");
    // The new items are to be computed at the next refresh.
    EXPECT_EQ(testutil::ReadFileBytes(FormatListFilePath(slot))[105], 1);
    int items = 0;
    FileTimeValue time;
    EXPECT_EQ(FindListByName("Autumn", &items, &time), slot);
    EXPECT_EQ(items, 3);
    FileTimeValue created;
    std::memcpy(&created, b.data() + 91, sizeof created);
    EXPECT_EQ((uint32_t)time.low, (uint32_t)created.low);
    EXPECT_EQ((uint32_t)time.high, (uint32_t)created.high);
    // An empty list exports nothing and leaves no file.
    int empty = MakeList("Empty", {});
    EXPECT_EQ(ExportListToFile(out.file("empty.lst").c_str(), empty, 0, 0, 0, 0, nullptr, nullptr), 0);
    EXPECT_FALSE(testutil::PathIsThere(out.file("empty.lst")));
}

TEST(ListTransfer, NotesAndUserStarsReachTheOtherComputer) {
    testutil::TempDir out;
    std::string path = out.file("stars.lst");
    {
        notetest::NotesStore sender;
        sender.AddUserStar("Alpha");
        int32_t beta = sender.AddUserStar("Beta");
        ObjectRecord galaxy = Item(kClassGalaxy, 1234), star = Item(kClassUserStar, beta);
        ASSERT_EQ(SetNote(0, &galaxy, "M", "spiral arms", 2), 0);
        int slot = MakeList("Stars", {galaxy, star, Item(kClassOpenCluster, 45)});
        ASSERT_EQ(ExportListToFile(path.c_str(), slot, kListTransferNotes, 0, 0, 0, nullptr, nullptr), 1);
        std::string b = testutil::ReadFileBytes(path);
        int32_t notes = 0;
        std::memcpy(&notes, b.data() + 79, 4);
        EXPECT_EQ(notes, 1);
    }
    notetest::NotesStore receiver;
    receiver.AddUserStar("Gamma");
    receiver.AddUserStar("Delta");
    // A notes group named as the list exists here already: the note goes in.
    GroupRecord existing;
    ASSERT_GT(AddGroup(kGroupNotes, "Stars", &existing), 0);
    int slot = Import(path);
    ASSERT_GE(slot, 0);
    std::vector<ObjectRecord> items = Items(slot);
    ASSERT_EQ(items.size(), 3u);
    // Beta is new here and gets the next id, 3.
    EXPECT_EQ(Keys(items), (KeyList{{6, 1234}, {12, 3}, {10, 45}}));
    GroupRecord g;
    int position = FindGroupByName(kGroupNotes, "Stars", &g);
    ASSERT_GT(position, 0);
    EXPECT_EQ((int)g.id, (int)existing.id);
    EXPECT_EQ(NoteText(position - 1, Item(kClassGalaxy, 1234)), "spiral arms");
}

TEST(ListTransfer, ImportOverAnExistingListKeepsItsSlotAndGroup) {
    testutil::TempDir out;
    std::string path = out.file("l.lst");
    {
        listtest::UserFolder sender;
        int slot = MakeList("Shared", {Item(kClassGalaxy, 1), Item(kClassGalaxy, 2)});
        ASSERT_EQ(ExportListToFile(path.c_str(), slot, 0, 0, 0, 0, nullptr, nullptr), 1);
    }
    listtest::UserFolder receiver;
    int group = AddListGroup("Mine", nullptr);
    MakeList("First", {Item(kClassStar, 1)});
    int shared = MakeList("Shared", {Item(kClassStar, 5), Item(kClassStar, 6), Item(kClassStar, 7)}, group);
    ASSERT_EQ(Import(path, 1), shared);
    EXPECT_EQ(Keys(Items(shared)), (KeyList{{6, 1}, {6, 2}}));
    std::vector<ListIndexEntry> slots;
    ASSERT_EQ(ReadListIndexSlots(&slots), 1);
    EXPECT_EQ(slots.size(), 2u);
    EXPECT_EQ((int)slots[(size_t)shared].group, group);
    EXPECT_EQ(testutil::ReadFileBytes(FormatListFilePath(shared))[5], 2);
    // The slot's time becomes the package's creation time.
    std::string b = testutil::ReadFileBytes(path);
    EXPECT_EQ(std::memcmp(&slots[(size_t)shared].time, b.data() + 91, 8), 0);
}

TEST(ListTransfer, RefusedAndDamagedFilesLeaveTheListsAlone) {
    testutil::TempDir out;
    std::string good = out.file("good.lst");
    {
        notetest::NotesStore sender;  // a notes group to export from
        int slot = MakeList("Shared", {Item(kClassGalaxy, 1), Item(kClassGalaxy, 2), Item(kClassGalaxy, 3)});
        ASSERT_EQ(ExportListToFile(good.c_str(), slot, kListTransferNotes, 0, 0, 0, nullptr, nullptr), 1);
    }
    std::string bytes = testutil::ReadFileBytes(good);
    listtest::UserFolder receiver;
    MakeList("Shared", {Item(kClassStar, 5)});
    ASSERT_EQ(WriteListDescription(0, "mine"), 1);
    auto before = listtest::Snapshot(receiver.lists());
    struct Bad {
        const char *what;
        std::string bytes;
        int result;  // -2 refused at the start, -1 failed on the way
    } bad[] = {
        {"notes package", [&] { std::string b = bytes; b[5] = 2; return b; }(), -2},
        {"foreign magic", [&] { std::string b = bytes; b[0] = 1; return b; }(), -2},
        {"cut in the items", bytes.substr(0, bytes.size() - 20), -1},
        {"cut in the head", bytes.substr(0, 103 + 1 + 30), -2},
        {"huge key count", [&] { std::string b = bytes; b[74] = 0x7f; return b; }(), -2},
        {"log section without the log store", [&] { std::string b = bytes; b[103 + 1 + 50] = 4; return b; }(), -2},
    };
    for (const Bad &c : bad) {
        SCOPED_TRACE(c.what);
        std::string path = out.file("bad.lst");
        ASSERT_TRUE(testutil::WriteFileBytes(path, c.bytes));
        EXPECT_EQ(Import(path), c.result);
        EXPECT_TRUE(listtest::Snapshot(receiver.lists()) == before);
        GroupRecord g;
        EXPECT_EQ(FindGroupByName(kGroupNotes, "Shared", &g), 0);  // made and dropped again
    }
}

TEST(ListTransfer, OnlyGroupsTheImportMadeAreRemovedWhenEmpty) {
    testutil::TempDir out;
    std::string path = out.file("n.lst");
    {
        notetest::NotesStore sender;
        GroupRecord links;
        ASSERT_GT(AddGroup(kGroupLinks, "Default", &links), 0);
        int slot = MakeList("Plain", {Item(kClassGalaxy, 1)});
        ASSERT_EQ(ExportListToFile(path.c_str(), slot, kListTransferNotes | kListTransferLinks, 0, 0, 0,
                                   nullptr, nullptr),
                  1);
    }
    listtest::UserFolder receiver;
    GroupRecord mine;
    ASSERT_GT(AddGroup(kGroupLinks, "plain", &mine), 0);  // the user's, empty
    ASSERT_GE(Import(path), 0);
    GroupRecord g;
    EXPECT_EQ(FindGroupByName(kGroupNotes, "Plain", &g), 0);
    EXPECT_GT(FindGroupByName(kGroupLinks, "Plain", &g), 0);
    EXPECT_EQ((int)g.id, (int)mine.id);
}

TEST(ListTransfer, EveryFailedStepOfStoringTheListKeepsTheOldOne) {
    testutil::TempDir out;
    std::string path = out.file("l.lst");
    {
        listtest::UserFolder sender;
        int slot = MakeList("Shared", {Item(kClassGalaxy, 1), Item(kClassGalaxy, 2)});
        ASSERT_EQ(WriteListDescription(slot, "theirs"), 1);
        ASSERT_EQ(ExportListToFile(path.c_str(), slot, 0, 0, 0, 0, nullptr, nullptr), 1);
    }
    listtest::UserFolder receiver;
    MakeList("Other", {Item(kClassStar, 1)});
    int shared = MakeList("Shared", {Item(kClassStar, 5), Item(kClassStar, 6), Item(kClassStar, 7)});
    ASSERT_EQ(WriteListDescription(shared, "mine"), 1);
    auto saved = listtest::Snapshot(receiver.lists());
    auto prepare = [&] {
        for (const auto &f : listtest::Snapshot(receiver.lists()))
            if (!saved.count(f.first)) SafeRemove((receiver.lists() + "/" + f.first).c_str());
        for (const auto &f : saved) testutil::WriteFileBytes(receiver.lists() + "/" + f.first, f.second);
    };
    struct Op {
        const char *name;
        std::function<int()> run;
    } ops[] = {
        {"into an existing list", [&] { return Import(path) == shared ? 1 : 0; }},
        {"as a new list", [&] {
             ListImportState state;
             if (!BeginListImport(&state, 1, path.c_str(), 100, nullptr, nullptr, nullptr)) return 0;
             while (ImportNextListItems(&state, nullptr) == 1) {
             }
             state.name = "Fresh";
             return EndListImport(&state, 0) >= 0 ? 1 : 0;
         }},
    };
    for (const Op &op : ops) {
        SCOPED_TRACE(op.name);
        testutil::FailureTableLabel label(std::string("list import: ") + op.name);
        testutil::ForEachFailurePoint(prepare, op.run, [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            EXPECT_NE(run.result, 1);
            EXPECT_TRUE(listtest::Snapshot(receiver.lists()) == saved);
        });
    }
}

TEST(ListTransfer, EveryFailedStepOfAnExportLeavesNoFile) {
    notetest::NotesStore sender;
    ObjectRecord galaxy = Item(kClassGalaxy, 1234);
    ASSERT_EQ(SetNote(0, &galaxy, "M", "arms", 2), 0);
    int slot = MakeList("Out", {galaxy, Item(kClassStar, 7)});
    testutil::TempDir out;
    std::string path = out.file("out.lst");
    testutil::FailureTableLabel label("list export");
    testutil::ForEachFailurePoint(
        [&] { SafeRemove(path.c_str()); },
        [&] { return ExportListToFile(path.c_str(), slot, kListTransferNotes, 0, 0, 0, nullptr, nullptr); },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            EXPECT_NE(run.result, 1);
            EXPECT_FALSE(testutil::PathIsThere(path));
        });
}

#include "minorbodies/usermp.h"

namespace {

// Adds a user minor planet of the given name to the current user folder's
// store (made in an empty store or after the others); its id.
int32_t AddUserRock(const char *name, double e) {
    MinorPlanetRecord record;
    EXPECT_EQ(BuildMinorPlanetRecord(&record, 0, name, 0.25, 0.25, 0.0, 0.0, 2.77, 0.0, e, 73.6, 80.3, 10.6, 3.3,
                                     0.12, "test"),
              1);
    int32_t count = 0, highest = 0;
    FILE *mp = OpenUserMinorPlanetFile(&count);
    EXPECT_NE(mp, nullptr);
    if (!mp) return -1;
    EXPECT_EQ(AddUserMinorPlanetElements(mp, &record, &count), 1);
    EXPECT_EQ(SortUserMinorPlanetFile(&mp, count, &highest), 1);
    if (mp) std::fclose(mp);
    return highest;  // the newest object's id
}

}  // namespace

// A list item of the user's own minor planet travels with its elements: on
// the other computer the object is added to its store under a new id and
// the item names that id.
TEST(ListTransfer, UserMinorPlanetsTravelWithTheirElements) {
    testutil::TempDir out;
    std::string path = out.file("rocks.lst");
    {
        listtest::UserFolder sender;
        int32_t rock = AddUserRock("Garden rock", 0.0786);
        ASSERT_GT(rock, 0);
        int slot = MakeList("Rocks", {Item(kClassUserMinorPlanet, rock), Item(kClassGalaxy, 7)});
        ASSERT_EQ(ExportListToFile(path.c_str(), slot, 0, 0, 0, 0, nullptr, nullptr), 1);
    }
    listtest::UserFolder receiver;
    ASSERT_EQ(AddUserRock("Local rock", 0.2), 1);
    int slot = Import(path);
    ASSERT_GE(slot, 0);
    std::vector<ObjectRecord> items = Items(slot);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(Keys(items), (KeyList{{kClassUserMinorPlanet, 2}, {kClassGalaxy, 7}}));
    int32_t count = 0;
    FILE *mp = OpenUserMinorPlanetFile(&count);
    ASSERT_NE(mp, nullptr);
    MinorPlanetRecord r;
    EXPECT_EQ(ReadUserMinorPlanetById(mp, 2, &r, nullptr), 1);
    std::fclose(mp);
    EXPECT_STREQ(r.name, "Garden rock");
    EXPECT_NEAR(double{r.e}, 0.0786, 1e-12);
}
