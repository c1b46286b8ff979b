// The list index, list files and descriptions: slot reuse, the bytes of a
// new list file and of a description, sorting without duplicates, item
// bounds, the count kept in both places, damaged files and every failed
// file step of the operations that rewrite.
#include "userdata/listindex.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <set>
#include <string>

#include "core/safefile.h"
#include "testutil/failurepoints.h"
#include "userdata/listgroups.h"
#include "userdata/tests/listtestutil.h"

using listtest::Item;
using listtest::Keys;
using listtest::MakeList;

namespace {

int16_t I16At(const std::string &b, size_t at) {
    int16_t v = 0;
    if (at + 2 <= b.size()) std::memcpy(&v, b.data() + at, 2);
    return v;
}

}  // namespace

TEST(ListIndex, FirstOpenMakesAnEmptyIndex) {
    listtest::UserFolder user;
    int count = -1;
    FILE *f = OpenListIndex(&count);
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(testutil::ReadFileBytes(user.lists() + "/obs.idx"), std::string(2, '\0'));
}

TEST(ListIndex, FreeSlotsAreReusedAndTheCountShrinksOnlyAtTheEnd) {
    listtest::UserFolder user;
    for (const char *name : {"A", "B", "C"}) ASSERT_GE(CreateList(1, name, 0, nullptr), 0);
    ASSERT_EQ(DeleteList(1), 1);
    std::string idx = testutil::ReadFileBytes(user.lists() + "/obs.idx");
    EXPECT_EQ(I16At(idx, 0), 3);
    // The free slot: count -1, every other byte zero.
    std::string freeSlot = idx.substr(2 + 60, 60);
    EXPECT_EQ(I16At(freeSlot, 48), -1);
    freeSlot[48] = freeSlot[49] = '\0';
    EXPECT_EQ(freeSlot, std::string(60, '\0'));
    EXPECT_FALSE(testutil::PathIsThere(user.lists() + "/obs.0001"));
    EXPECT_EQ(CreateList(1, "D", 0, nullptr), 1);
    EXPECT_EQ(I16At(testutil::ReadFileBytes(user.lists() + "/obs.idx"), 0), 3);
    // Four slots with slot 2 free: deleting the last leaves three.
    ASSERT_EQ(CreateList(1, "E", 0, nullptr), 3);
    ASSERT_EQ(DeleteList(2), 1);
    ASSERT_EQ(DeleteList(3), 1);
    EXPECT_EQ(I16At(testutil::ReadFileBytes(user.lists() + "/obs.idx"), 0), 3);
    EXPECT_EQ(FindListByName("", nullptr, nullptr), -1);  // a free slot matches no name
    EXPECT_EQ(CreateList(0, "No group", 0, nullptr), -1);
}

TEST(ListIndex, NewListFileAndDescriptionBytes) {
    listtest::UserFolder user;
    ASSERT_EQ(CreateList(1, "Messier", 0, nullptr), 0);
    std::string h = testutil::ReadFileBytes(user.lists() + "/obs.0000");
    ASSERT_EQ(h.size(), 390u);
    std::string expected(390, '\0');
    const unsigned char stamp[] = {0x03, 0xD9, 3, 1, 'f'};
    std::memcpy(&expected[0], stamp, 5);
    expected[105] = 1;
    expected[111] = 1;
    expected[115] = 2;
    expected[119] = 3;
    EXPECT_EQ(h, expected);
    ASSERT_EQ(WriteListDescription(0, "abc"), 1);
    EXPECT_EQ(testutil::ReadFileBytes(user.lists() + "/desc.0000"), std::string("\x03\0\0\0abc\0", 8));
    std::string text;
    ASSERT_EQ(ReadListDescription(0, &text), 1);
    EXPECT_EQ(text, "abc");
    // A description whose length runs past its file is refused.
    ASSERT_TRUE(testutil::WriteFileBytes(user.lists() + "/desc.0000", std::string("\xff\xff\x00\x00" "ab", 6)));
    EXPECT_EQ(ReadListDescription(0, &text), 0);
    ASSERT_TRUE(testutil::WriteFileBytes(user.lists() + "/desc.0000", std::string("\xff\xff\xff\xff", 4)));
    EXPECT_EQ(ReadListDescription(0, &text), 0);
    // A reused slot starts without the description of the list it held.
    ASSERT_EQ(WriteListDescription(0, "old text"), 1);
    ASSERT_TRUE(testutil::WriteFileBytes(user.lists() + "/obs.idx", [&] {
        std::string idx = testutil::ReadFileBytes(user.lists() + "/obs.idx");
        std::memset(&idx[2], 0, 60);
        idx[2 + 48] = idx[2 + 49] = (char)0xff;  // freed, its description left behind
        return idx;
    }()));
    ASSERT_EQ(CreateList(1, "Fresh", 0, nullptr), 0);
    EXPECT_EQ(ReadListDescription(0, &text), 0);
}

TEST(ListIndex, NamesAreCutAsSlotsStoreThem) {
    listtest::UserFolder user;
    std::string longName(60, 'L');
    int slot = CreateList(1, longName.c_str(), 0, nullptr);
    ASSERT_GE(slot, 0);
    // The long name finds the list it made (slot names hold 47 characters).
    EXPECT_EQ(FindListByName(longName.c_str(), nullptr, nullptr), slot);
    EXPECT_EQ(FindListByName("l", nullptr, nullptr), -1);  // case counts
    ASSERT_EQ(RenameList(slot, longName.c_str()), 1);
    std::vector<ListIndexEntry> slots;
    ASSERT_EQ(ReadListIndexSlots(&slots), 1);
    EXPECT_EQ(std::strlen(slots[0].name), 45u);
    EXPECT_EQ(SetListGroup(slot, 0), 0);
    EXPECT_EQ(RenameList(5, "x"), 0);
}

TEST(ListIndex, SortAndDedupKeepsOneItemPerObject) {
    listtest::UserFolder user;
    std::vector<ObjectRecord> items = {
        Item(kClassGalaxy, 31), Item(kClassSolarSystem, 10), Item(kClassGalaxy, 31),
        Item(kClassSolarSystem, 10), Item(kClassSolarSystem, 5, 4), Item(kClassSolarSystem, 5, 1),
        Item(kClassSolarSystem, 5, 3), Item(kClassSolarSystem, 5, 2), Item(kClassStar, 7),
        Item(kClassStar, -2),
    };
    int slot = MakeList("Mixed", items);
    ASSERT_GE(slot, 0);
    ASSERT_EQ(SortAndDedupList(slot), 1);
    std::vector<ObjectRecord> kept = listtest::Items(slot);
    ASSERT_EQ(kept.size(), 8u);
    std::vector<std::pair<int, int32_t>> keys = Keys(kept);
    std::vector<std::pair<int, int32_t>> want = {{2, 5}, {2, 5}, {2, 5}, {2, 5}, {2, 10}, {5, -2}, {5, 7}, {6, 31}};
    EXPECT_EQ(keys, want);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(kept[(size_t)k].kind, k + 1);
    // The count in the header agrees with the slot; the file kept its length.
    std::string file = testutil::ReadFileBytes(user.lists() + "/obs.0000");
    EXPECT_EQ(I16At(file, 5), 8);
    EXPECT_EQ(file.size(), 390u + 10u * 395u);
}

TEST(ListIndex, ItemBoundsAndAppendLimit) {
    listtest::UserFolder user;
    ObjectRecord m31 = Item(kClassGalaxy, 31);
    m31.itemFlags = kItemMarkBit | kItemRecomputeBit;
    m31.magnitude = 3.4f;
    int slot = MakeList("One", {m31});
    int n = 0;
    ListFile *file = OpenListFile(slot, &n);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(n, 1);
    ObjectRecord back;
    ASSERT_EQ(ReadListItem(file, 0, n, &back), 1);
    ObjectRecord expected = m31;
    expected.itemFlags = kItemRecomputeBit;  // the mark is cleared on append
    EXPECT_EQ(std::memcmp(&back, &expected, sizeof back), 0);
    EXPECT_EQ(ReadListItem(file, 1, n, &back), 0);
    EXPECT_EQ(WriteListItem(file, 1, n, &back), 0);
    EXPECT_EQ(ReadListItem(file, -1, n, &back), 0);
    int full = kListItemsMax;
    int64_t before = StreamSize(file->file);
    EXPECT_EQ(AppendListItem(file, &m31, &full), 0);
    EXPECT_EQ(full, kListItemsMax);
    EXPECT_EQ(StreamSize(file->file), before);
    DiscardListFile(file);
    EXPECT_EQ(OpenListFile(7, &n), nullptr);
}

TEST(ListIndex, DamagedIndexIsRefused) {
    listtest::UserFolder user;
    ASSERT_GE(CreateList(1, "A", 0, nullptr), 0);
    std::string idx = testutil::ReadFileBytes(user.lists() + "/obs.idx");
    struct Bad {
        const char *what;
        std::string bytes;
    } bad[] = {
        {"count past the end", std::string("\x02\x00", 2) + idx.substr(2)},
        {"negative count", std::string("\xff\xff", 2) + idx.substr(2)},
        {"shorter than its count", std::string("\x01", 1)},
    };
    for (const Bad &b : bad) {
        SCOPED_TRACE(b.what);
        ASSERT_TRUE(testutil::WriteFileBytes(user.lists() + "/obs.idx", b.bytes));
        EXPECT_EQ(FindListByName("A", nullptr, nullptr), -1);
        EXPECT_EQ(CreateList(1, "B", 0, nullptr), -1);
        EXPECT_EQ(testutil::ReadFileBytes(user.lists() + "/obs.idx"), b.bytes);
    }
    // A name without its NUL is cut at its last byte.
    std::string noNul = idx;
    std::memset(&noNul[2], 'N', 48);
    ASSERT_TRUE(testutil::WriteFileBytes(user.lists() + "/obs.idx", noNul));
    std::vector<ListIndexEntry> slots;
    ASSERT_EQ(ReadListIndexSlots(&slots), 1);
    EXPECT_EQ(std::strlen(slots[0].name), 47u);
}

TEST(ListIndex, CurrentGroupCollectsTheCurrentLists) {
    listtest::UserFolder user;
    int comets = CreateList(1, "Current Comets", 0, nullptr);
    int mine = CreateList(1, "Mine", 0, nullptr);
    ASSERT_EQ(EnsureCurrentGroup(), 1);
    ListGroupEntry current;
    int id = FindListGroupByName("Current", &current);
    ASSERT_GT(id, 0);
    std::vector<ListIndexEntry> slots;
    ASSERT_EQ(ReadListIndexSlots(&slots), 1);
    EXPECT_EQ(slots[(size_t)comets].group, id);
    EXPECT_EQ(slots[(size_t)mine].group, 1);
}

TEST(ListIndex, CompareWithAnotherCopy) {
    listtest::UserFolder user;
    int a = MakeList("A", {Item(kClassGalaxy, 31), Item(kClassSolarSystem, 5, 1)});
    int b = MakeList("B", {Item(kClassSolarSystem, 5, 1), Item(kClassGalaxy, 31)});
    int c = MakeList("C", {Item(kClassGalaxy, 31), Item(kClassSolarSystem, 5, 2)});
    std::string folder = user.lists();
    EXPECT_EQ(CompareOtherListWithCurrent(a, 2, folder.c_str(), b, 2), 0);
    EXPECT_EQ(CompareOtherListWithCurrent(a, 2, folder.c_str(), c, 2), 1);  // another moon
    EXPECT_EQ(CompareOtherListWithCurrent(a, 2, folder.c_str(), b, 1), 1);
    EXPECT_EQ(CompareOtherListWithCurrent(a, 2, (folder + "/none").c_str(), b, 2), -1);
}

// An older-generation list "obs.NNN" (49-byte header, 264-byte items with
// the catalogue index at 149 and the class at 153), written byte by byte,
// against a current list.
TEST(ListIndex, CompareOldListWithCurrent) {
    listtest::UserFolder user;
    int a = MakeList("A", {Item(kClassGalaxy, 31), Item(kClassGalaxy, 224)});
    testutil::TempDir old;
    auto oldList = [&](int number, std::vector<int32_t> galaxies) {
        std::string bytes(49, '\0');
        for (int32_t index : galaxies) {
            std::string item(264, '\0');
            std::memcpy(&item[149], &index, 4);
            item[153] = static_cast<char>(kClassGalaxy);
            bytes += item;
        }
        char name[16];
        std::snprintf(name, sizeof name, "obs.%03d", number);
        ASSERT_TRUE(testutil::WriteFileBytes(old.file(name), bytes));
    };
    oldList(0, {224, 31});
    oldList(7, {31, 33});
    oldList(8, {});
    const std::string oldFolder = old.path();
    const char *folder = oldFolder.c_str();
    EXPECT_EQ(CompareOldListWithCurrent(a, 2, folder, 0, 2), 0);  // the same, in another order
    EXPECT_EQ(CompareOldListWithCurrent(a, 2, folder, 7, 2), 1);
    EXPECT_EQ(CompareOldListWithCurrent(a, 2, folder, 0, 1), 1);  // counts differ
    EXPECT_EQ(CompareOldListWithCurrent(a, 2, folder, 3, 2), -1);  // no such file
    int empty = MakeList("Empty", {});
    EXPECT_EQ(CompareOldListWithCurrent(empty, 0, folder, 8, 0), 0);
}

TEST(ListIndex, EveryFailedStepKeepsTheLists) {
    listtest::UserFolder user;
    int slot = MakeList("Galaxies", {Item(kClassGalaxy, 31), Item(kClassGalaxy, 33), Item(kClassGalaxy, 31)});
    ASSERT_EQ(slot, 0);
    ASSERT_EQ(WriteListDescription(slot, "autumn"), 1);
    auto saved = listtest::Snapshot(user.lists());
    auto prepare = [&] {
        for (const auto &f : listtest::Snapshot(user.lists()))
            if (!saved.count(f.first)) SafeRemove((user.lists() + "/" + f.first).c_str());
        for (const auto &f : saved) testutil::WriteFileBytes(user.lists() + "/" + f.first, f.second);
    };
    struct Op {
        const char *name;
        std::function<int()> run;
    } ops[] = {
        {"create", [] { return CreateList(1, "New", 0, nullptr) >= 0 ? 1 : 0; }},
        {"delete", [slot] { return DeleteList(slot); }},
        {"rename", [slot] { return RenameList(slot, "Renamed"); }},
        {"sort", [slot] { return SortAndDedupList(slot); }},
        {"description", [slot] { return WriteListDescription(slot, "winter"); }},
    };
    for (const Op &op : ops) {
        SCOPED_TRACE(op.name);
        testutil::FailureTableLabel label(std::string("lists: ") + op.name);
        testutil::ForEachFailurePoint(prepare, op.run, [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            auto now = listtest::Snapshot(user.lists());
            if (run.result == 1 && std::string(op.name) == "delete") {
                // Done once the index was rewritten; a file left behind is
                // litter that the next list of the slot replaces.
                EXPECT_EQ(now["obs.idx"], std::string(2, '\0'));
                EXPECT_EQ(CreateList(1, "Again", 0, nullptr), 0);
                EXPECT_TRUE(listtest::Items(0).empty());
                std::string text;
                EXPECT_EQ(ReadListDescription(0, &text), 0);
                return;
            }
            EXPECT_NE(run.result, 1);
            // The index and the description are whole, and the list still
            // reads its three counted items, every object among them (a sort
            // whose new copy went in place before the count failed shows the
            // sorted items and the old tail).
            EXPECT_EQ(now["obs.idx"], saved["obs.idx"]);
            EXPECT_EQ(now["desc.0000"], saved["desc.0000"]);
            std::vector<ObjectRecord> items = listtest::Items(slot);
            ASSERT_EQ(items.size(), 3u);
            std::set<std::pair<int, int32_t>> objects;
            for (const auto &key : Keys(items)) objects.insert(key);
            EXPECT_EQ(objects, (std::set<std::pair<int, int32_t>>{{kClassGalaxy, 31}, {kClassGalaxy, 33}}));
            EXPECT_FALSE(now.count("obs.0001"));
        });
    }
}

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

// Two programs append 40 items each to one list at once (child processes,
// each opening, appending and closing per item, as the suite's programs do):
// the lists' writer lock makes them take turns, so the list ends with all 80.
TEST(ListWriters, TwoProcessesAppendingToOneListLoseNothing) {
    listtest::UserFolder user;
    int slot = listtest::MakeList("Shared", {});
    ASSERT_GE(slot, 0);
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            int ok = 1;
            for (int k = 0; k < 40 && ok; ++k) {
                int n = 0;
                ListFile *file = OpenListFile(slot, &n);
                ObjectRecord item = listtest::Item(kClassStar, 1000 * (c + 1) + k);
                ok = file && AppendListItem(file, &item, &n) && CloseListFile(file, slot, n);
            }
            _exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = -1;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    int n = 0;
    ListFile *file = OpenListFile(slot, &n);
    ASSERT_TRUE(file);
    std::vector<ObjectRecord> items;
    EXPECT_EQ(ReadAllListItems(file, n, &items), 1);
    DiscardListFile(file);
    EXPECT_EQ(n, 80);
    ASSERT_EQ(items.size(), 80u);
    std::set<int32_t> seen;
    for (const ObjectRecord &item : items) seen.insert(int32_t{item.index});
    EXPECT_EQ(seen.size(), 80u);
}
#endif
