// Tests of the user minor-planet store: the answers of adding a set, the sort
// with its ids, deleting and compacting (with the indexes that must not
// outlive moved records), lookups by number, name and id with their bounds,
// the nearest-epoch place, and each failed file step of the writers.
#include "minorbodies/usermp.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "astro/datetime.h"
#include "astro/sidereal.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "minorbodies/tests/userstorefixture.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

namespace {

using mbtest::I32At;

const double kEpoch2020 = (2459000.5 - 2451545.0) / 36525.0;  // 2020 May 31.0
const double kDay = 1.0 / 36525.0;

MinorPlanetRecord Set(int32_t number, const char *name, double epoch, double H = 10.0, double a = 2.5) {
    MinorPlanetRecord r;
    EXPECT_EQ(BuildMinorPlanetRecord(&r, number, name, 0.0, epoch, 30.0, 0.0, a, 0.0, 0.1, 40.0, 50.0, 5.0,
                                     H, 0.15, "test"),
              1);
    return r;
}

struct Store {
    FILE *f = nullptr;
    int32_t count = 0;
    Store() { f = OpenUserMinorPlanetFile(&count); }
    ~Store() {
        if (f) SafeClose(f);
    }
    int Add(MinorPlanetRecord r) { return AddUserMinorPlanetElements(f, &r, &count); }
    int Sort() {
        int32_t highest = 0;
        return SortUserMinorPlanetFile(&f, count, &highest);
    }
    std::vector<MinorPlanetRecord> All() {
        std::vector<MinorPlanetRecord> out;
        int32_t n = 0, h = 0;
        EXPECT_EQ(ReadUserMinorPlanetHeader(f, &n, &h), 1);
        for (int32_t i = 0; i < n; ++i) {
            MinorPlanetRecord r;
            EXPECT_EQ(ReadUserMinorPlanetRecord(f, &r, i), 1);
            out.push_back(r);
        }
        return out;
    }
};

class UserMinorPlanets : public mbtest::UserStore {};

// The header and the records it counts (bytes beyond the count are not data).
std::string Logical(const std::string &file) {
    int32_t count = I32At(file, 0);
    size_t size = 8 + static_cast<size_t>(count) * sizeof(MinorPlanetRecord);
    return file.size() >= size ? file.substr(0, size) : std::string("short:") + file;
}

TEST_F(UserMinorPlanets, AddAnswersAndTheSortGivesIds) {
    Store s;
    ASSERT_TRUE(s.f);
    EXPECT_EQ(s.Add(Set(1, "Ceres", kEpoch2020)), 1);
    EXPECT_EQ(s.Add(Set(2, "Pallas", kEpoch2020)), 1);
    EXPECT_EQ(s.Add(Set(0, "Zeta", kEpoch2020)), 1);
    ASSERT_EQ(s.Sort(), 1);
    auto all = s.All();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(+all[0].number, 1);
    EXPECT_EQ(+all[1].number, 2);
    EXPECT_STREQ(all[2].name, "Zeta");
    EXPECT_EQ(+all[0].objectId, 1);
    EXPECT_EQ(+all[1].objectId, 2);
    EXPECT_EQ(+all[2].objectId, 3);

    // Fresh indexes: the same set is identical, a changed H replaces that set.
    EXPECT_EQ(s.Add(Set(2, "Pallas", kEpoch2020)), 3);
    EXPECT_EQ(s.Add(Set(0, "zeta", kEpoch2020)), 3) << "found by name ignoring case";
    EXPECT_EQ(s.Add(Set(2, "Pallas", kEpoch2020, 4.5)), 2);
    all = s.All();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_FLOAT_EQ(+all[1].H, 4.5f);
    EXPECT_EQ(+all[1].objectId, 2);
    EXPECT_FLOAT_EQ(+all[0].H, 10.0f) << "another object's set was overwritten";

    // A new epoch of Ceres is appended without an id ...
    EXPECT_EQ(s.Add(Set(1, "Ceres", kEpoch2020 + 200 * kDay)), 1);
    all = s.All();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(+all[3].objectId, 0);
    // ... and after the sort carries Ceres's id, beside its other set, newest first.
    ASSERT_EQ(s.Sort(), 1);
    all = s.All();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(+all[0].objectId, 1);
    EXPECT_EQ(+all[1].objectId, 1);
    EXPECT_GT(+all[0].epoch, +all[1].epoch);
    EXPECT_EQ(+all[2].number, 2);
    EXPECT_EQ(I32At(bytes("mp.bin"), 4), 3) << "no new id for a new epoch";
}

TEST_F(UserMinorPlanets, NamesDifferingInCaseSortTogetherWithTwoIds) {
    Store s;
    ASSERT_TRUE(s.f);
    s.Add(Set(0, "vesta", kEpoch2020));
    s.Add(Set(0, "Zed", kEpoch2020));
    s.Add(Set(0, "Vesta", kEpoch2020 + kDay));
    s.Add(Set(0, "vesta", kEpoch2020 + 2 * kDay));
    ASSERT_EQ(s.Sort(), 1);
    auto all = s.All();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(CompareStringsNoCase(all[0].name, "vesta"), 0);
    EXPECT_EQ(CompareStringsNoCase(all[1].name, "vesta"), 0);
    EXPECT_EQ(CompareStringsNoCase(all[2].name, "vesta"), 0);
    EXPECT_STREQ(all[3].name, "Zed");
    // Three sets, two objects: the two "vesta" sets share an id, "Vesta" has its own.
    int32_t lower = 0, upper = 0;
    for (int i = 0; i < 3; ++i) {
        if (std::strcmp(all[i].name, "Vesta") == 0) upper = all[i].objectId;
        else if (lower == 0) lower = all[i].objectId;
        else EXPECT_EQ(+all[i].objectId, lower) << "one object's sets with two ids";
    }
    EXPECT_GT(lower, 0);
    EXPECT_GT(upper, 0);
    EXPECT_NE(lower, upper);
}

TEST_F(UserMinorPlanets, DeletesLeaveNoStaleIndexBehind) {
    Store s;
    ASSERT_TRUE(s.f);
    s.Add(Set(5, "Astraea", kEpoch2020));
    s.Add(Set(6, "Hebe", kEpoch2020));
    s.Add(Set(7, "Iris", kEpoch2020));
    s.Add(Set(8, "Flora", kEpoch2020));
    ASSERT_EQ(s.Sort(), 1);
    MinorPlanetRecord r;
    ASSERT_EQ(FindUserMinorPlanetByNumber(s.f, s.count, 8, 0.0, &r), 4);  // indexes built
    std::string staleNumbers = bytes("mpn.bin");
    std::string staleIds = bytes("mpid.bin");
    ASSERT_FALSE(staleNumbers.empty());

    // The object whose only set is the last record.
    ASSERT_EQ(DeleteUserMinorPlanetObject(&s.f, 4), 1);
    ASSERT_EQ(ReadUserMinorPlanetHeader(s.f, &s.count, nullptr), 1);
    EXPECT_EQ(s.count, 3);
    // An earlier one: the records after it move down.
    ASSERT_EQ(DeleteUserMinorPlanetRecord(&s.f, 0), 1);
    ASSERT_EQ(ReadUserMinorPlanetHeader(s.f, &s.count, nullptr), 1);
    EXPECT_EQ(s.count, 2);
    EXPECT_FALSE(testutil::PathIsThere(file("mpn.bin"))) << "the number index outlived the delete";

    // Even an index left stale from before (as a crash between the steps
    // could leave it) never reaches another object.
    ASSERT_TRUE(testutil::WriteFileBytes(file("mpn.bin"), staleNumbers));
    ASSERT_TRUE(testutil::WriteFileBytes(file("mpid.bin"), staleIds));
    EXPECT_EQ(FindUserMinorPlanetByNumber(s.f, s.count, 7, 0.0, &r), 2);
    EXPECT_STREQ(r.name, "Iris");
    EXPECT_EQ(FindUserMinorPlanetByNumber(s.f, s.count, 8, 0.0, &r), 0);
    ASSERT_TRUE(testutil::WriteFileBytes(file("mpn.bin"), staleNumbers));
    EXPECT_EQ(s.Add(Set(7, "Iris", kEpoch2020, 7.0)), 2);
    auto all = s.All();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_STREQ(all[0].name, "Hebe");
    EXPECT_FLOAT_EQ(+all[0].H, 10.0f) << "the stale slot's record was overwritten";
    EXPECT_FLOAT_EQ(+all[1].H, 7.0f);
    ASSERT_TRUE(testutil::WriteFileBytes(file("mpid.bin"), staleIds));
    EXPECT_EQ(ReadUserMinorPlanetById(s.f, 3, &r, nullptr), 1);
    EXPECT_EQ(+r.objectId, 3);
    EXPECT_EQ(ReadUserMinorPlanetById(s.f, 1, &r, nullptr), 0) << "a deleted id was found";
}

TEST_F(UserMinorPlanets, CompactionNeverGivesARemovedIdAgain) {
    {
        Store s;
        ASSERT_TRUE(s.f);
        s.Add(Set(1, "Ceres", kEpoch2020));
        s.Add(Set(2, "Pallas", kEpoch2020));
        s.Add(Set(3, "Juno", kEpoch2020));
        ASSERT_EQ(s.Sort(), 1);
    }
    const uint8_t flags[3] = {0, 0, 1};
    int calls = 0;
    static int *counter;
    counter = &calls;
    ASSERT_EQ(CompactUserMinorPlanetFile(flags, 3, [] { ++*counter; }), 1);
    EXPECT_EQ(calls, 3);
    Store s;
    ASSERT_TRUE(s.f);
    EXPECT_EQ(s.count, 2);
    EXPECT_EQ(s.Add(Set(4, "Vesta", kEpoch2020)), 1);
    ASSERT_EQ(s.Sort(), 1);
    auto all = s.All();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(+all[2].number, 4);
    // Log entries may still name id 3 (the removed Juno): Vesta gets 4.
    EXPECT_EQ(+all[2].objectId, 4);
}

TEST_F(UserMinorPlanets, LookupBoundsAndCorruptKeys) {
    Store s;
    ASSERT_TRUE(s.f);
    s.Add(Set(1, "Ceres", kEpoch2020));
    s.Add(Set(0, "A_B", kEpoch2020));
    s.Add(Set(0, "AZ", kEpoch2020));
    s.Add(Set(0, "a[x", kEpoch2020));
    s.Add(Set(0, "2001 QX", kEpoch2020));
    ASSERT_EQ(s.Sort(), 1);
    MinorPlanetRecord r;
    EXPECT_EQ(FindUserMinorPlanetByNumber(s.f, s.count, 1000001, 0.0, &r), 0);
    EXPECT_EQ(FindUserMinorPlanetByNumber(s.f, s.count, -3, 0.0, &r), 0);
    // Names between 'Z' and 'a' ([ \ ] ^ _ `) sort one way ignoring case
    // and another by upper-cased bytes: every one is still found.
    for (const char *name : {"A_B", "a_b", "AZ", "A[X", "2001 qx", "ceres"}) {
        SCOPED_TRACE(name);
        EXPECT_GT(FindUserMinorPlanetByName(s.f, s.count, name, 0.0, &r), 0);
        EXPECT_EQ(CompareStringsNoCase(r.name, name), 0);
    }
    EXPECT_EQ(FindUserMinorPlanetByName(s.f, s.count, "A]", 0.0, &r), 0);
    int32_t number = 1;
    EXPECT_EQ(FindUserMinorPlanetId(s.f, nullptr, &number, &r), 1);
    EXPECT_GT(FindUserMinorPlanetId(s.f, "az", nullptr, &r), 0);

    // A corrupt number and id (a merged or damaged record) are not indexed,
    // and the indexes stay small.
    MinorPlanetRecord bad = Set(2000000, "Odd", kEpoch2020);
    bad.objectId = 2000000000;
    std::string all = bytes("mp.bin");
    all.append(reinterpret_cast<const char *>(&bad), sizeof bad);
    int32_t n = I32At(all, 0) + 1;
    std::memcpy(&all[0], &n, 4);
    SafeClose(s.f);
    s.f = nullptr;
    ASSERT_TRUE(testutil::WriteFileBytes(file("mp.bin"), all));
    DeleteUserMinorPlanetIndexes();
    s.f = OpenUserMinorPlanetFile(&s.count);
    ASSERT_TRUE(s.f);
    EXPECT_EQ(FindUserMinorPlanetByNumber(s.f, s.count, 1, 0.0, &r), 1);
    EXPECT_EQ(ReadUserMinorPlanetById(s.f, 2000000000, &r, nullptr), 0);
    EXPECT_EQ(ReadUserMinorPlanetById(s.f, 2, &r, nullptr), 1);
    EXPECT_LE(testutil::ReadFileBytes(file("mpid.bin")).size(), 4u * 10);
    EXPECT_EQ(testutil::ReadFileBytes(file("mpn.bin")).size(), 8u + 4u * 1000000);
}

TEST_F(UserMinorPlanets, PlaceUsesTheNearestEpochAndTheEarlierOnATie) {
    Store s;
    ASSERT_TRUE(s.f);
    s.Add(Set(1, "Ceres", kEpoch2020, 3.5, 2.77));
    s.Add(Set(1, "Ceres", kEpoch2020 + 100 * kDay, 3.5, 2.77));
    ASSERT_EQ(s.Sort(), 1);
    struct Case {
        double when;  // days after the first epoch
        double expected;
    } cases[] = {{10, kEpoch2020}, {90, kEpoch2020 + 100 * kDay}, {50, kEpoch2020}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.when);
        DateRecord date;
        std::memset(&date, 0, sizeof date);
        date.julianDate = 2459000.5 + c.when;
        SetDateRecordFromJulianDate(nullptr, &date);
        ComputeDeltaTAndNutation(&date, 0.0001);
        double ra = 0, dec = 0, epoch = 0;
        int32_t index = 0;
        ASSERT_EQ(ComputeUserMinorPlanetPosition(s.f, &date, 1, nullptr, nullptr, &ra, &dec, nullptr, nullptr,
                                                 nullptr, nullptr, &epoch, nullptr, &index),
                  1);
        EXPECT_NEAR(epoch, c.expected, 1e-12);
        EXPECT_EQ(index, 1);
    }
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.julianDate = 2459000.5;
    SetDateRecordFromJulianDate(nullptr, &date);
    ComputeDeltaTAndNutation(&date, 0.0001);
    EXPECT_EQ(ComputeUserMinorPlanetPosition(s.f, &date, 9, nullptr, nullptr, nullptr, nullptr, nullptr,
                                             nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              0);
}

// Every failed step of an append, a sort and a delete: the store reads back
// either as it was or as it should become, and the failure is reported.
TEST_F(UserMinorPlanets, EachFailedStepKeepsTheStoreWhole) {
    auto seed = [&] {
        SetFileStepFailure(0);
        std::remove(file("mp.bin").c_str());
        DeleteUserMinorPlanetIndexes();
        Store s;
        s.Add(Set(2, "Pallas", kEpoch2020));
        s.Add(Set(1, "Ceres", kEpoch2020));
        s.Add(Set(0, "Zeta", kEpoch2020));
    };
    seed();
    const std::string before = bytes("mp.bin");
    std::string after;
    {
        Store s;
        s.Sort();
    }
    after = bytes("mp.bin");
    ASSERT_NE(before, after);

    struct Op {
        const char *label;
        std::function<int(Store &)> run;
    } ops[] = {
        {"sort", [](Store &s) { return s.Sort(); }},
        {"delete", [](Store &s) { return DeleteUserMinorPlanetRecord(&s.f, 0); }},
        {"add", [](Store &s) { return s.Add(Set(9, "Metis", kEpoch2020)); }},
        {"compact",
         [](Store &s) {
             SafeClose(s.f);
             s.f = nullptr;
             const uint8_t flags[3] = {0, 1, 0};
             return CompactUserMinorPlanetFile(flags, 1, nullptr);
         }},
    };
    for (Op &op : ops) {
        SCOPED_TRACE(op.label);
        testutil::FailureTableLabel label(std::string("user minor planets: ") + op.label);
        std::string good;
        std::unique_ptr<Store> s;
        int steps = testutil::ForEachFailurePoint(
            [&] {
                s.reset();
                seed();
                s.reset(new Store);
            },
            [&] {
                int r = op.run(*s);
                s.reset();
                if (good.empty()) good = bytes("mp.bin");
                return r;
            },
            [&](const testutil::FailurePointRun &run) {
                SCOPED_TRACE(testutil::DescribeFailurePoint(run));
                std::string now = Logical(bytes("mp.bin"));
                bool whole = now == Logical(before) || now == Logical(good);
                EXPECT_TRUE(whole) << "mp.bin is neither the old nor the new content";
                if (now != Logical(good)) {
                    EXPECT_EQ(run.result, 0) << "a failed step reported as success";
                }
            });
        EXPECT_GT(steps, 0);
    }
}

// Records of the second generation (138 bytes: the first 101 bytes as now,
// the source text at 105), written from the layout's offsets: read one by
// index and the next by position, the track left unusable, and a current
// record written back into the same layout.
TEST(MinorPlanetVersion2, RecordsReadAndWrittenAtTheirOffsets) {
    auto v2 = [](const char *name, int32_t number, double e, const char *source) {
        std::string r(138, '\0');
        std::memcpy(&r[0], name, std::strlen(name));
        std::memcpy(&r[33], &number, 4);
        std::memcpy(&r[69], &e, 8);
        int32_t id = number;
        std::memcpy(&r[97], &id, 4);
        r[101] = '\x55';  // not carried: the old layout's own bytes
        std::memcpy(&r[105], source, std::strlen(source));
        return r;
    };
    std::string file(8, '\0');
    file += v2("Ceres", 1, 0.0785, "MPC 2024") + v2("Pallas", 2, 0.2305, "JPL");
    testutil::TempDir dir;
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("v2.bin"), file));
    FILE *f = std::fopen(dir.file("v2.bin").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    MinorPlanetRecord r;
    std::memset(&r, 0x77, sizeof r);
    ASSERT_EQ(ReadVersion2MinorPlanetRecord(f, 1, &r), 1);
    EXPECT_STREQ(r.name, "Pallas");
    EXPECT_EQ(int32_t{r.number}, 2);
    EXPECT_DOUBLE_EQ(double{r.e}, 0.2305);
    EXPECT_EQ(int32_t{r.objectId}, 2);
    EXPECT_STREQ(r.source, "JPL");
    EXPECT_EQ(reinterpret_cast<const uint8_t *>(&r)[142], 0);  // the track is unusable
    ASSERT_EQ(ReadVersion2MinorPlanetRecord(f, 0, &r), 1);
    ASSERT_EQ(ReadVersion2MinorPlanetRecord(f, -1, &r), 1);  // the next: Pallas again
    EXPECT_STREQ(r.name, "Pallas");
    EXPECT_EQ(ReadVersion2MinorPlanetRecord(f, -1, &r), 0);  // past the end
    EXPECT_EQ(ReadVersion2MinorPlanetRecord(f, 2, &r), 0);
    EXPECT_EQ(ReadVersion2MinorPlanetRecord(nullptr, 0, &r), 0);
    std::fclose(f);

    ASSERT_EQ(ReadVersion2MinorPlanetRecord(nullptr, 0, nullptr), 0);
    std::memset(&r, 0, sizeof r);
    std::snprintf(r.name, sizeof r.name, "Ceres");
    r.number = 1;
    r.e = 0.0785;
    r.objectId = 1;
    std::snprintf(r.source, sizeof r.source, "MPC 2024");
    uint8_t out[kVersion2MinorPlanetRecordSize];
    ASSERT_EQ(ConvertMinorPlanetRecordToVersion2(&r, out), 1);
    std::string expected = v2("Ceres", 1, 0.0785, "MPC 2024");
    expected[101] = '\0';
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(out), sizeof out), expected);
    EXPECT_EQ(ConvertMinorPlanetRecordToVersion2(nullptr, out), 0);
}

}  // namespace
