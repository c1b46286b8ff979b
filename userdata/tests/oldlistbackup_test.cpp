// Observing lists of the older generation: a restore of an older backup
// (numbers widened, every list in the import group, stray files left alone,
// every failed step rolled back) and a merge from an older lists folder.
#include "userdata/listupgrade.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/safefile.h"
#include "testutil/failurepoints.h"
#include "userdata/listbackup.h"
#include "userdata/listitems.h"
#include "userdata/notebackup.h"
#include "userdata/tests/listtestutil.h"

using listtest::Items;
using listtest::Keys;

namespace {

using KeyList = std::vector<std::pair<int, int32_t>>;

// A 58-byte slot of the older index: the name at 0 and, at 48, the int32
// that becomes the current slot's item count (-1 for an empty slot).
std::string OldSlot(const char *name, int32_t number) {
    std::string s(58, '\0');
    if (number >= 0) std::memcpy(&s[0], name, std::strlen(name));
    std::memcpy(&s[48], &number, 4);
    return s;
}

std::string OldList(const KeyList &keys) {
    std::string f(49, 'h');
    for (const auto &k : keys) {
        std::string item(264, '\x7f');
        std::memcpy(&item[149], &k.second, 4);
        item[153] = (char)k.first;
        f += item;
    }
    return f;
}

// An older lists folder: "Winter" (slot 0), a free slot, "Spring" (slot 2).
void WriteOldFolder(const std::string &folder) {
    FsMakeFolder(folder);
    std::string idx("\x03\x00", 2);
    idx += OldSlot("Winter", 2) + OldSlot("", -1) + OldSlot("Spring", 1);
    testutil::WriteFileBytes(folder + "/obs.idx", idx);
    testutil::WriteFileBytes(folder + "/obs.000", OldList({{6, 31}, {10, 45}}));
    testutil::WriteFileBytes(folder + "/obs.002", OldList({{5, 7}}));
    testutil::WriteFileBytes(folder + "/desc.000", std::string("\x04\0\0\0cold\0", 9));
    testutil::WriteFileBytes(folder + "/jobs.txt", "not a list");
}

int Ask(const char *) { return kMergeReplace; }
int questions = 0;
int Count(const char *) {
    ++questions;
    return kMergeReplace;
}

}  // namespace

TEST(ListUpgrade, RestoreOfAnOlderBackup) {
    listtest::UserFolder user;
    listtest::MakeList("Present", {listtest::Item(kClassGalaxy, 1)});
    testutil::TempDir save;
    FsMakeFolder(save.file("nightjar backup Old"));
    WriteOldFolder(save.file("nightjar backup Old/lists21"));
    ASSERT_EQ(RestoreLists(save.path().c_str(), "nightjar backup Old", 2500), 1);
    EXPECT_TRUE(testutil::PathIsThere(user.lists() + "/obs.0000"));
    EXPECT_TRUE(testutil::PathIsThere(user.lists() + "/obs.0002"));
    EXPECT_FALSE(testutil::PathIsThere(user.lists() + "/jobs.txt"));
    std::string text;
    ASSERT_EQ(ReadListDescription(0, &text), 1);
    EXPECT_EQ(text, "cold");
    ListGroupEntry imported;
    int group = FindListGroupByName(kImportedGroupName, &imported);
    ASSERT_GT(group, 0);
    std::vector<ListIndexEntry> slots;
    ASSERT_EQ(ReadListIndexSlots(&slots), 1);
    ASSERT_EQ(slots.size(), 3u);
    EXPECT_EQ((int)slots[0].group, group);
    EXPECT_EQ((int)slots[1].items, -1);
    EXPECT_EQ(Keys(Items(0)), (KeyList{{6, 31}, {10, 45}}));
    EXPECT_EQ(Keys(Items(2)), (KeyList{{5, 7}}));
    std::string header = testutil::ReadFileBytes(user.lists() + "/obs.0000");
    int32_t notesGroup = 0;
    std::memcpy(&notesGroup, header.data() + 106, 4);
    EXPECT_EQ(notesGroup, -1);  // no notes group of a refresh here yet
    EXPECT_EQ(header[105], 1);
    EXPECT_EQ(FindListByName("Present", nullptr, nullptr), -1);
}

TEST(ListUpgrade, EveryFailedStepOfAnOlderRestoreRollsBack) {
    listtest::UserFolder user;
    listtest::MakeList("Present", {listtest::Item(kClassGalaxy, 1)});
    ASSERT_EQ(WriteListDescription(0, "mine"), 1);
    testutil::TempDir save;
    FsMakeFolder(save.file("nightjar backup Old"));
    WriteOldFolder(save.file("nightjar backup Old/lists21"));
    auto saved = listtest::Snapshot(user.lists());
    auto prepare = [&] {
        for (const auto &f : listtest::Snapshot(user.lists()))
            if (!saved.count(f.first)) SafeRemove((user.lists() + "/" + f.first).c_str());
        for (const auto &f : saved) testutil::WriteFileBytes(user.lists() + "/" + f.first, f.second);
        DeleteListsSafetyCopy();
    };
    testutil::FailureTableLabel label("lists: restore of an older backup");
    testutil::ForEachFailurePoint(prepare, [&] { return RestoreLists(save.path().c_str(), "nightjar backup Old", 2500); },
                                  [&](const testutil::FailurePointRun &run) {
                                      SCOPED_TRACE(testutil::DescribeFailurePoint(run));
                                      EXPECT_NE(run.result, 1);
                                      EXPECT_TRUE(listtest::Snapshot(user.lists()) == saved);
                                  });
}

TEST(ListUpgrade, MergeFromAnOlderFolder) {
    listtest::UserFolder user;
    testutil::TempDir other;
    WriteOldFolder(other.file("lists21"));
    int replaceAll = 0, keepAll = 0;
    ASSERT_EQ(MergeListsFromFolder(other.path().c_str(), 2500, &replaceAll, &keepAll, Ask), 1);
    int winter = FindListByName("Winter", nullptr, nullptr);
    ASSERT_GE(winter, 0);
    EXPECT_EQ(Keys(Items(winter)), (KeyList{{6, 31}, {10, 45}}));
    std::vector<ListIndexEntry> slots;
    ASSERT_EQ(ReadListIndexSlots(&slots), 1);
    ListGroupEntry imported;
    EXPECT_EQ((int)slots[(size_t)winter].group, FindListGroupByName(kImportedGroupName, &imported));
    std::string text;
    ASSERT_EQ(ReadListDescription(winter, &text), 1);
    EXPECT_EQ(text, "cold");
    // Again: nothing differs, nothing is asked.
    questions = 0;
    ASSERT_EQ(MergeListsFromFolder(other.path().c_str(), 2500, &replaceAll, &keepAll, Count), 1);
    EXPECT_EQ(questions, 0);
    // A local change is asked about and replaced; the local settings stay.
    int n = 0;
    ListFile *f = OpenListFile(winter, &n);
    ASSERT_TRUE(f);
    ASSERT_EQ(SetListSetting(f, 1, 9), 1);
    ASSERT_EQ(DeleteListItem(f, 0, &n), 1);
    ASSERT_EQ(CloseListFile(f, winter, n), 1);
    ASSERT_EQ(MergeListsFromFolder(other.path().c_str(), 2500, &replaceAll, &keepAll, Count), 1);
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(Keys(Items(winter)), (KeyList{{6, 31}, {10, 45}}));
    f = OpenListFile(winter, &n);
    EXPECT_EQ(GetListSetting(f, 1), 9);
    DiscardListFile(f);
}
