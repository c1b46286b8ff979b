// Backup, restore and merge of the observing lists: the backup's place and
// times, restores failed at every step (the lists exactly as before), merges
// with each answer of the question call-back, user objects remapped or
// dropped, and the older description names.
#include "userdata/listbackup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "minorbodies/usercatalogs.h"
#include "testutil/childprocesses.h"
#include "testutil/failurepoints.h"
#include "userdata/storepaths.h"
#include "userdata/tests/listtestutil.h"

using listtest::Item;
using listtest::Items;
using listtest::Keys;
using listtest::MakeList;

namespace {

using KeyList = std::vector<std::pair<int, int32_t>>;

// Switches the user folder for a scope and back to none after.
struct Folder {
    testutil::TempDir dir;
    std::string lists() const { return dir.file("lists"); }
    void Use() const { SetUserDataFolder(dir.path().c_str()); }
};
struct NoFolderAfter {
    ~NoFolderAfter() { SetUserDataFolder(""); }
};

int32_t AddUserStar(const char *name) {
    FILE *f = OpenUserStarFile(nullptr);
    if (!f) return 0;
    UserStarRecord r;
    std::memset(&r, 0, sizeof r);
    r.rightAscension = 1000;
    r.declination = 77;
    std::snprintf(r.name, sizeof r.name, "%s", name);
    int ok = AppendUserStarRecord(f, &r);
    std::fclose(f);
    return ok ? r.id : 0;
}

std::vector<std::string> asked;
int answer = kMergeKeep;
int Ask(const char *message) {
    asked.push_back(message);
    return answer;
}

int Merge(const Folder &other, MergeQuestionCallback question, int *replaceAll = nullptr, int *keepAll = nullptr) {
    int r = 0, k = 0;
    return MergeListsFromFolder(other.dir.path().c_str(), 3106, replaceAll ? replaceAll : &r, keepAll ? keepAll : &k,
                                question);
}

}  // namespace

TEST(ListBackup, BackupGoesToTheNamedFolderWithItsTimes) {
    NoFolderAfter after;
    Folder user;
    user.Use();
    MakeList("Autumn", {Item(kClassGalaxy, 31)});
    testutil::TempDir save;
    ASSERT_EQ(BackUpLists(save.path().c_str(), "May"), 1);
    std::string root = save.path() + "/nightjar backup May/lists";
    for (const char *name : {"obs.idx", "obs.0000", "groups.bin"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(testutil::ReadFileBytes(root + "/" + name), testutil::ReadFileBytes(user.lists() + "/" + name));
        FileTimeValue a, b;
        ASSERT_EQ(GetFileWriteTime((root + "/" + name).c_str(), &a), 1);
        ASSERT_EQ(GetFileWriteTime((user.lists() + "/" + name).c_str(), &b), 1);
        EXPECT_EQ(FileTimeTicks(a), FileTimeTicks(b));
    }
    // Without a name, into the destination itself; never into the lists.
    ASSERT_EQ(BackUpLists(save.path().c_str(), nullptr), 1);
    EXPECT_TRUE(testutil::PathIsThere(save.path() + "/lists/obs.idx"));
    EXPECT_EQ(BackUpLists(user.dir.path().c_str(), nullptr), 0);
}

TEST(ListBackup, RestoreBringsBackTheBackupAndNothingElse) {
    NoFolderAfter after;
    Folder user;
    user.Use();
    MakeList("Autumn", {Item(kClassGalaxy, 31)});
    testutil::TempDir save;
    ASSERT_EQ(BackUpLists(save.path().c_str(), "May"), 1);
    auto backup = listtest::Snapshot(save.path() + "/nightjar backup May/lists");
    MakeList("Winter", {Item(kClassGalaxy, 1)});
    ASSERT_EQ(WriteListDescription(1, "cold"), 1);
    ASSERT_EQ(RestoreLists(save.path().c_str(), "nightjar backup May", 3106), 1);
    EXPECT_TRUE(listtest::Snapshot(user.lists()) == backup);
    EXPECT_FALSE(testutil::PathIsThere(user.dir.file("tmp/lists")));
    // An older generation or a missing backup changes nothing.
    MakeList("Spring", {});
    auto now = listtest::Snapshot(user.lists());
    EXPECT_EQ(RestoreLists(save.path().c_str(), "nightjar backup May", 2500), 0);
    EXPECT_EQ(RestoreLists(save.path().c_str(), "nightjar backup June", 3106), 0);
    EXPECT_TRUE(listtest::Snapshot(user.lists()) == now);
}

TEST(ListBackup, EveryFailedStepOfARestoreLeavesTheListsAsTheyWere) {
    NoFolderAfter after;
    Folder user;
    user.Use();
    MakeList("Autumn", {Item(kClassGalaxy, 31)});
    testutil::TempDir save;
    ASSERT_EQ(BackUpLists(save.path().c_str(), "May"), 1);
    // The backup holds a list the present folder does not (slot 7).
    std::string backupLists = save.path() + "/nightjar backup May/lists";
    ASSERT_TRUE(testutil::WriteFileBytes(backupLists + "/obs.0007", testutil::ReadFileBytes(user.lists() + "/obs.0000")));
    ASSERT_TRUE(testutil::WriteFileBytes(backupLists + "/desc.0007", std::string("\x01\0\0\0x\0", 6)));
    MakeList("Winter", {Item(kClassGalaxy, 1), Item(kClassStar, 2)});
    auto saved = listtest::Snapshot(user.lists());
    auto prepare = [&] {
        for (const auto &f : listtest::Snapshot(user.lists()))
            if (!saved.count(f.first)) SafeRemove((user.lists() + "/" + f.first).c_str());
        for (const auto &f : saved) testutil::WriteFileBytes(user.lists() + "/" + f.first, f.second);
        DeleteListsSafetyCopy();
    };
    testutil::FailureTableLabel label("lists: restore");
    testutil::ForEachFailurePoint(prepare, [&] { return RestoreLists(save.path().c_str(), "nightjar backup May", 3106); },
                                  [&](const testutil::FailurePointRun &run) {
                                      SCOPED_TRACE(testutil::DescribeFailurePoint(run));
                                      EXPECT_NE(run.result, 1);
                                      EXPECT_TRUE(listtest::Snapshot(user.lists()) == saved);
                                  });
}

TEST(ListBackup, MergeAsksOnlyAboutDifferentListsAndFollowsTheAnswers) {
    NoFolderAfter after;
    Folder other, user;
    other.Use();
    ListGroupEntry g;
    int deep = AddListGroup("Deep sky", &g);
    MakeList("A", {Item(kClassGalaxy, 1), Item(kClassGalaxy, 2)}, deep);
    MakeList("B", {Item(kClassGalaxy, 3)});
    MakeList("C", {Item(kClassGalaxy, 4)}, deep);
    ASSERT_EQ(WriteListDescription(0, "from far"), 1);

    struct Case {
        const char *what;
        MergeQuestionCallback question;
        int answer;
        int replaceAllIn;
        int questions;
        KeyList a, b;  // the local lists A and B after the merge
    } cases[] = {
        {"keep", Ask, kMergeKeep, 0, 2, {{6, 9}}, {{6, 8}}},
        {"replace", Ask, kMergeReplace, 0, 2, {{6, 1}, {6, 2}}, {{6, 3}}},
        {"replace all", Ask, kMergeReplaceAll, 0, 1, {{6, 1}, {6, 2}}, {{6, 3}}},
        {"keep all", Ask, kMergeKeepAll, 0, 1, {{6, 9}}, {{6, 8}}},
        {"no question", nullptr, kMergeReplace, 0, 0, {{6, 9}}, {{6, 8}}},
        {"no question, replace all before", nullptr, kMergeKeep, 1, 0, {{6, 1}, {6, 2}}, {{6, 3}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Folder local;
        local.Use();
        ASSERT_EQ(AddListGroup("Mine", nullptr), 2);  // the other's "Deep sky" has id 2 too
        int a = MakeList("A", {Item(kClassGalaxy, 9)});
        int b = MakeList("B", {Item(kClassGalaxy, 8)});
        ASSERT_EQ(WriteListDescription(a, "mine"), 1);
        asked.clear();
        answer = c.answer;
        int replaceAll = c.replaceAllIn, keepAll = 0;
        ASSERT_EQ(Merge(other, c.question, &replaceAll, &keepAll), 1);
        EXPECT_EQ((int)asked.size(), c.questions);
        if (!asked.empty()) {
            EXPECT_EQ(asked[0], "The A observing list on the remote machine differs from the local list. "
                                "Replace with the remote list?");
        }
        EXPECT_EQ(Keys(Items(a)), c.a);
        EXPECT_EQ(Keys(Items(b)), c.b);
        std::string text;
        ASSERT_EQ(ReadListDescription(a, &text), 1);
        EXPECT_EQ(text, c.a.size() == 2 ? "from far" : "mine");
        EXPECT_EQ(replaceAll, c.answer == kMergeReplaceAll || c.replaceAllIn ? 1 : 0);
        EXPECT_EQ(keepAll, c.question && c.answer == kMergeKeepAll ? 1 : 0);
        // C is new here, in the group of the same name; a second merge asks nothing.
        int items = 0;
        int cSlot = FindListByName("C", &items, nullptr);
        ASSERT_GE(cSlot, 0);
        EXPECT_EQ(Keys(Items(cSlot)), (KeyList{{6, 4}}));
        // Merging again asks about the lists still different, and once
        // they are replaced nothing more.
        asked.clear();
        answer = kMergeReplace;
        ASSERT_EQ(Merge(other, Ask), 1);
        EXPECT_EQ(asked.size(), (size_t)((c.a.size() == 1) + (c.b == KeyList{{6, 8}})));
        asked.clear();
        ASSERT_EQ(Merge(other, Ask), 1);
        EXPECT_TRUE(asked.empty());
        // A replaced list keeps its local group; the new one is filed in
        // the local group of its group's name, and is to be refreshed.
        std::vector<ListIndexEntry> slots;
        ASSERT_EQ(ReadListIndexSlots(&slots), 1);
        ListGroupEntry localDeep;
        ASSERT_EQ(FindListGroupByName("Deep sky", &localDeep), 3);
        EXPECT_EQ((int)slots[(size_t)a].group, 1);
        EXPECT_EQ((int)slots[(size_t)cSlot].group, 3);
        std::string cFile = testutil::ReadFileBytes(FormatListFilePath(cSlot));
        EXPECT_EQ(cFile[105], 1);
        int32_t notesGroup = 0;
        std::memcpy(&notesGroup, cFile.data() + 106, 4);
        EXPECT_EQ(notesGroup, -1);
    }
}

TEST(ListBackup, UserObjectsAreRemappedAndUnknownOnesDropped) {
    NoFolderAfter after;
    Folder other, user;
    other.Use();
    AddUserStar("Alpha");
    int32_t beta = AddUserStar("Beta");  // id 2 there
    // Item 77 names a star the other computer's file does not hold.
    MakeList("Stars", {Item(kClassUserStar, beta), Item(kClassUserStar, 77), Item(kClassGalaxy, 5)});
    user.Use();
    AddUserStar("Gamma");
    AddUserStar("Delta");
    int32_t localBeta = AddUserStar("Beta");  // id 3 here
    ASSERT_EQ(Merge(other, Ask), 1);
    int items = 0;
    int slot = FindListByName("Stars", &items, nullptr);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(items, 2);
    EXPECT_EQ(Keys(Items(slot)), (KeyList{{12, localBeta}, {6, 5}}));
    EXPECT_EQ(testutil::ReadFileBytes(FormatListFilePath(slot))[5], 2);
    // The same list again: the remapped objects compare equal, no question.
    asked.clear();
    ASSERT_EQ(Merge(other, Ask), 1);
    EXPECT_TRUE(asked.empty());
}

TEST(ListBackup, OlderDescriptionNames) {
    struct Case {
        const char *in;
        int result;
        const char *out;
    } cases[] = {
        {"desc.001", 1, "desc.0001"},
        {"C:/my.data/lists21/obs.003", 1, "C:/my.data/lists21/obs.0003"},
        {"C:/my.data/lists21/desc", 0, ""},
        {"nodot", 0, ""},
    };
    for (const Case &c : cases) {
        std::string out;
        EXPECT_EQ(MakeOldDescriptionName(c.in, &out), c.result) << c.in;
        if (c.result) {
            EXPECT_EQ(out, c.out);
        }
    }
}

// A merge stopped at any failed step leaves every local list whole: its
// own items or, when it was merged before the failure, the other's.
TEST(ListBackup, EveryFailedStepOfAMergeLeavesWholeLists) {
    NoFolderAfter after;
    Folder other, user;
    other.Use();
    MakeList("A", {Item(kClassGalaxy, 1), Item(kClassGalaxy, 2)});
    MakeList("New", {Item(kClassGalaxy, 3)});
    ASSERT_EQ(WriteListDescription(0, "theirs"), 1);
    user.Use();
    MakeList("A", {Item(kClassStar, 9)});
    ASSERT_EQ(WriteListDescription(0, "mine"), 1);
    auto saved = listtest::Snapshot(user.lists());
    auto prepare = [&] {
        for (const auto &f : listtest::Snapshot(user.lists()))
            if (!saved.count(f.first)) SafeRemove((user.lists() + "/" + f.first).c_str());
        for (const auto &f : saved) testutil::WriteFileBytes(user.lists() + "/" + f.first, f.second);
    };
    testutil::FailureTableLabel label("lists: merge");
    testutil::ForEachFailurePoint(prepare, [&] { return Merge(other, nullptr, nullptr, nullptr) ; },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            EXPECT_NE(run.result, 1);
            std::vector<ListIndexEntry> slots;
            ASSERT_EQ(ReadListIndexSlots(&slots), 1);
            for (size_t i = 0; i < slots.size(); ++i) {
                if (slots[i].items < 0) continue;
                KeyList keys = Keys(Items((int)i));
                EXPECT_EQ((int)keys.size(), (int)slots[i].items);
                std::string name = slots[i].name;
                if (name == "A") {
                    EXPECT_EQ(keys, (KeyList{{5, 9}}));  // no question, no replace-all: kept
                    std::string text;
                    ASSERT_EQ(ReadListDescription((int)i, &text), 1);
                    EXPECT_EQ(text, "mine");
                } else {
                    EXPECT_EQ(name, "New");
                    EXPECT_EQ(keys, (KeyList{{6, 3}}));
                }
            }
        });
}

#ifndef _WIN32
// A restore and a merge killed at every file step in turn (a child process
// ended at the step, as a kill or a power cut would end it): a fresh open of
// the lists in this process then finds the whole old lists or the whole new
// ones, no mark left, and the next change is accepted (the mark's removal
// is the last counted step, so every kill finds the old lists). The table of
// kill points is printed per operation.
TEST(ListBackup, AKilledRestoreOrMergeIsRolledBackOrStandsWholeAtTheNextOpen) {
    NoFolderAfter after;
    Folder other, user;
    other.Use();
    MakeList("A", {Item(kClassGalaxy, 1), Item(kClassGalaxy, 2)});
    MakeList("New", {Item(kClassGalaxy, 3)});
    ASSERT_EQ(WriteListDescription(0, "theirs"), 1);
    user.Use();
    MakeList("Autumn", {Item(kClassGalaxy, 31)});
    testutil::TempDir save;
    ASSERT_EQ(BackUpLists(save.path().c_str(), "May"), 1);
    MakeList("A", {Item(kClassStar, 9)});
    ASSERT_EQ(WriteListDescription(1, "mine"), 1);
    const auto prepared = listtest::Snapshot(user.lists());
    auto putBack = [&] {
        for (const auto &f : listtest::Snapshot(user.lists()))
            if (!prepared.count(f.first)) std::remove((user.lists() + "/" + f.first).c_str());
        for (const auto &f : prepared) ASSERT_TRUE(testutil::WriteFileBytes(user.lists() + "/" + f.first, f.second));
    };
    struct Operation {
        const char *name;
        std::function<int()> run;
    };
    const Operation operations[] = {
        {"list restore", [&] { return RestoreLists(save.path().c_str(), "nightjar backup May", 3106); }},
        {"list merge",
         [&] {
             int replaceAll = 1, keepAll = 0;  // replaces "A" and adds "New"
             return MergeListsFromFolder(other.dir.path().c_str(), 3106, &replaceAll, &keepAll, nullptr);
         }},
    };
    for (const Operation &op : operations) {
        SCOPED_TRACE(op.name);
        putBack();
        ASSERT_EQ(op.run(), 1);
        const auto done = listtest::Snapshot(user.lists());
        ASSERT_NE(done, prepared);
        int next = 0;
        testutil::KillPointTally tally = testutil::ForEachKillPoint(op.name, putBack, op.run, [&] {
            std::vector<ListIndexEntry> slots;
            EXPECT_EQ(ReadListIndexSlots(&slots), 1);  // the open that recovers
            EXPECT_FALSE(testutil::PathIsThere(user.dir.file("tmp/lists.mark"))) << "the mark was left";
            const auto now = listtest::Snapshot(user.lists());
            EXPECT_TRUE(now == prepared || now == done) << "neither the old lists nor the new";
            EXPECT_GE(MakeList(("Next " + std::to_string(++next)).c_str(), {Item(kClassStar, 5)}), 0)
                << "the next change was refused";
            return now == prepared ? 0 : now == done ? 1 : 2;
        });
        EXPECT_EQ(tally.damaged, 0);
        EXPECT_GT(tally.intactOld, 0);
    }
}
#endif
