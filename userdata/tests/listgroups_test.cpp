// Observing-list groups: the bytes of a new group file, ids, order, name
// uniqueness (also after cutting and renaming), deletion of groups in use,
// damaged files and every failed file step.
#include "userdata/listgroups.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/safefile.h"
#include "testutil/failurepoints.h"
#include "userdata/tests/listtestutil.h"

namespace {

std::string GroupFileBytes(int16_t magic, uint8_t major, uint8_t minor, int32_t count,
                           const std::vector<std::pair<std::string, int16_t>> &entries) {
    std::string b;
    b.append(reinterpret_cast<const char *>(&magic), 2);
    b.push_back((char)major);
    b.push_back((char)minor);
    b.push_back('f');
    b.append(reinterpret_cast<const char *>(&count), 4);
    for (const auto &e : entries) {
        std::string name = e.first;
        name.resize(65, '\0');
        b += name;
        b.append(reinterpret_cast<const char *>(&e.second), 2);
    }
    return b;
}

std::vector<std::string> Names() {
    std::vector<ListGroupEntry> groups;
    std::vector<std::string> names;
    if (ReadListGroups(&groups))
        for (const ListGroupEntry &g : groups) names.push_back(g.name);
    return names;
}

}  // namespace

TEST(ListGroups, FirstUseWritesTheDefaultGroupByteForByte) {
    listtest::UserFolder user;
    ListGroupEntry e;
    EXPECT_EQ(FindListGroupByName("default", &e), 1);
    std::string bytes = testutil::ReadFileBytes(user.lists() + "/groups.bin");
    EXPECT_EQ(bytes, GroupFileBytes((int16_t)55555, 3, 1, 1, {{"Default", 1}}));
    EXPECT_EQ(bytes.size(), 76u);
}

TEST(ListGroups, IdsFillTheLowestGapAndNamesSortByteWise) {
    struct Case {
        std::vector<std::pair<std::string, int16_t>> present;
        int expected;
    } cases[] = {
        {{{"A", 1}, {"B", 3}, {"C", 4}}, 2},
        {{{"A", 1}, {"B", 2}, {"C", 3}}, 4},
        {{}, 1},
        {{{"A", 2}}, 1},
    };
    for (const Case &c : cases) {
        listtest::UserFolder user;
        FsMakeFolder(user.lists());
        ASSERT_TRUE(testutil::WriteFileBytes(user.lists() + "/groups.bin",
                                             GroupFileBytes((int16_t)55555, 3, 1, (int32_t)c.present.size(), c.present)));
        ListGroupEntry out;
        EXPECT_EQ(AddListGroup("New", &out), c.expected);
        EXPECT_EQ((int)out.id, c.expected);
    }
    listtest::UserFolder user;
    ASSERT_GT(AddListGroup("beta", nullptr), 0);
    ASSERT_GT(AddListGroup("Alpha", nullptr), 0);
    ASSERT_GT(AddListGroup("alpha2", nullptr), 0);
    ASSERT_GT(AddListGroup("Zeta", nullptr), 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Alpha", "Default", "Zeta", "alpha2", "beta"}));
}

TEST(ListGroups, NamesStayUniqueWithoutRegardToCase) {
    listtest::UserFolder user;
    EXPECT_EQ(AddListGroup("default", nullptr), -1);
    EXPECT_EQ(AddListGroup("", nullptr), 0);
    // Two names equal in their first 64 characters are one name on disk.
    std::string longA(64, 'x'), longB(64, 'x');
    longA += "A";
    longB += "B";
    EXPECT_GT(AddListGroup(longA.c_str(), nullptr), 0);
    EXPECT_EQ(AddListGroup(longB.c_str(), nullptr), -1);
    int galaxies = AddListGroup("Galaxies", nullptr);
    ASSERT_GT(galaxies, 0);
    // A rename onto another group's name is refused; onto its own name in
    // another case it is fine.
    EXPECT_EQ(RenameListGroup("DEFAULT", galaxies), -1);
    EXPECT_EQ(RenameListGroup("GALAXIES", galaxies), 1);
    EXPECT_EQ(RenameListGroup("Nebulae", 99), 0);
    EXPECT_EQ(RenameListGroup("", galaxies), 0);
    ListGroupEntry e;
    EXPECT_EQ(FindListGroupByName("galaxies", &e), galaxies);
    EXPECT_STREQ(e.name, "GALAXIES");
}

TEST(ListGroups, DeleteRefusesAGroupInUseAndIgnoresTheStaleTail) {
    listtest::UserFolder user;
    int used = AddListGroup("Used", nullptr);
    int spare = AddListGroup("Spare", nullptr);
    ASSERT_GE(CreateList(used, "Tonight", 0, nullptr), 0);
    std::string before = testutil::ReadFileBytes(user.lists() + "/groups.bin");
    EXPECT_EQ(DeleteListGroup(used), 0);
    EXPECT_EQ(testutil::ReadFileBytes(user.lists() + "/groups.bin"), before);
    EXPECT_EQ(DeleteListGroup(77), -1);
    EXPECT_EQ(DeleteListGroup(spare), 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Default", "Used"}));
    // A file whose count is below its records: the tail is not a group.
    ASSERT_TRUE(testutil::WriteFileBytes(user.lists() + "/groups.bin",
                                         GroupFileBytes((int16_t)55555, 3, 1, 1, {{"Default", 1}, {"Ghost", 2}})));
    EXPECT_EQ(FindListGroupByName("Ghost", nullptr), 0);
    EXPECT_EQ(Names(), std::vector<std::string>{"Default"});
    // An index that cannot be read cannot prove the group unused.
    ASSERT_TRUE(testutil::WriteFileBytes(user.lists() + "/obs.idx", std::string("\x05\x00", 2)));
    EXPECT_EQ(DeleteListGroup(1), -1);
    EXPECT_EQ(Names(), std::vector<std::string>{"Default"});
}

TEST(ListGroups, StampsAndDamagedFiles) {
    listtest::UserFolder user;
    FsMakeFolder(user.lists());
    std::string path = user.lists() + "/groups.bin";
    // An older minor version is brought up to date by the local open only.
    std::string old = GroupFileBytes((int16_t)55555, 3, 0, 1, {{"Default", 1}});
    ASSERT_TRUE(testutil::WriteFileBytes(path, old));
    std::vector<ListGroupEntry> other;
    EXPECT_EQ(ReadOtherListGroups(&other, user.lists().c_str()), 1);
    EXPECT_EQ(testutil::ReadFileBytes(path), old);
    int count = 0;
    FILE *f = OpenListGroupFile(&count);
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(count, 1);
    std::string now = testutil::ReadFileBytes(path);
    EXPECT_EQ(now[3], 1);  // version 3106
    EXPECT_EQ(now.substr(5), old.substr(5));

    struct Bad {
        const char *what;
        std::string bytes;
    } bad[] = {
        {"wrong magic", GroupFileBytes(12345, 3, 1, 1, {{"Default", 1}})},
        {"generation 2", GroupFileBytes((int16_t)55555, 2, 1, 1, {{"Default", 1}})},
        {"negative count", GroupFileBytes((int16_t)55555, 3, 1, -1, {{"Default", 1}})},
        {"count past the end", GroupFileBytes((int16_t)55555, 3, 1, 100000000, {{"Default", 1}})},
    };
    for (const Bad &b : bad) {
        SCOPED_TRACE(b.what);
        ASSERT_TRUE(testutil::WriteFileBytes(path, b.bytes));
        EXPECT_EQ(FindListGroupByName("Default", nullptr), -1);
        EXPECT_EQ(AddListGroup("New", nullptr), 0);
        EXPECT_EQ(RenameListGroup("New", 1), 0);
        EXPECT_EQ(OpenListGroupFile(&count), nullptr);
        EXPECT_EQ(testutil::ReadFileBytes(path), b.bytes);
    }
    // A name without its NUL is cut at its last byte.
    ASSERT_TRUE(testutil::WriteFileBytes(path, GroupFileBytes((int16_t)55555, 3, 1, 1,
                                                              {{std::string(65, 'n'), 1}})));
    std::vector<ListGroupEntry> groups;
    ASSERT_EQ(ReadListGroups(&groups), 1);
    EXPECT_EQ(std::strlen(groups[0].name), 64u);
}

TEST(ListGroups, EveryFailedStepKeepsTheGroups) {
    listtest::UserFolder user;
    int a = AddListGroup("Alpha", nullptr);
    ASSERT_GT(a, 0);
    std::string path = user.lists() + "/groups.bin";
    std::string saved = testutil::ReadFileBytes(path);
    auto prepare = [&] {
        testutil::WriteFileBytes(path, saved);
        testutil::WriteFileBytes(user.lists() + "/obs.idx", std::string(2, '\0'));
    };
    struct Op {
        const char *name;
        std::function<int()> run;
    } ops[] = {
        {"add", [] { return AddListGroup("Beta", nullptr) > 0 ? 1 : 0; }},
        {"rename", [a] { return RenameListGroup("Gamma", a); }},
        {"delete", [a] { return DeleteListGroup(a); }},
    };
    for (const Op &op : ops) {
        SCOPED_TRACE(op.name);
        testutil::FailureTableLabel label(std::string("list groups: ") + op.name);
        testutil::ForEachFailurePoint(prepare, op.run, [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            EXPECT_NE(run.result, 1);
            EXPECT_EQ(testutil::ReadFileBytes(path), saved);
            EXPECT_TRUE(testutil::TemporariesBeside(path).empty());
        });
    }
}
