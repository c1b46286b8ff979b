// Tests of the user comet store: the answers of adding a set (identical,
// new apparition, replacement, older epoch), the kept magnitudes and coma,
// the insertion places, prefix lookups that must not match empty texts, the
// place with its coma and magnitude, compaction ids, and each failed step of
// an insertion.
#include "minorbodies/usercomet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "astro/datetime.h"
#include "astro/sidereal.h"
#include "core/safefile.h"
#include "minorbodies/tests/userstorefixture.h"
#include "testutil/failurepoints.h"

namespace {

const double kT1986 = (2446470.5 - 2451545.0) / 36525.0;  // 1986 Feb 9.0
const double kDay = 1.0 / 36525.0;

CometRecord Comet(uint16_t number, char letter, const char *name, const char *designation, double T,
                  double epoch, double H = 5.0, double K = 4.0, double coma = 0.002) {
    CometRecord r;
    EXPECT_EQ(BuildCometRecord(&r, number, letter, name, designation, T, epoch, 0, 0, 0, 0.587, 0.967, 111.3,
                               58.4, 162.3, H, K, coma, 5, "test"),
              1);
    return r;
}

struct Store {
    FILE *f = nullptr;
    int32_t count = 0;
    Store() { f = OpenUserCometFile(&count); }
    ~Store() {
        if (f) SafeClose(f);
    }
    int Add(CometRecord r, int acceptEqual = 1, int replaceMagnitudes = 1) {
        return AddUserCometElements(&f, &r, acceptEqual, replaceMagnitudes);
    }
    std::vector<CometRecord> All() {
        std::vector<CometRecord> out;
        int32_t n = 0;
        EXPECT_EQ(ReadUserCometHeader(f, &n, nullptr), 1);
        for (int32_t i = 0; i < n; ++i) {
            CometRecord r;
            EXPECT_EQ(ReadUserCometRecord(f, &r, i), 1);
            out.push_back(r);
        }
        return out;
    }
};

class UserComets : public mbtest::UserStore {};

TEST_F(UserComets, AddAnswersApparitionsAndReplacements) {
    Store s;
    ASSERT_TRUE(s.f);
    EXPECT_EQ(s.Add(Comet(1, 'P', "Halley", "", kT1986, kT1986)), 1);
    EXPECT_EQ(s.Add(Comet(1, 'P', "Halley", "", kT1986, kT1986)), -1) << "the same set twice";
    // T 200 days later: a new apparition, before the stored one (newest first).
    EXPECT_EQ(s.Add(Comet(1, 'P', "Halley", "", kT1986 + 200 * kDay, kT1986 + 200 * kDay)), 1);
    auto all = s.All();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_DOUBLE_EQ(+all[0].perihelionTime, kT1986 + 200 * kDay);
    EXPECT_EQ(+all[0].objectId, +all[1].objectId);
    // T 100 days from the older one with a later epoch: replaces that set.
    EXPECT_EQ(s.Add(Comet(1, 'P', "Halley", "", kT1986 - 100 * kDay, kT1986 + 10 * kDay)), 2);
    all = s.All();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_DOUBLE_EQ(+all[1].perihelionTime, kT1986 - 100 * kDay);
    // An older epoch is refused.
    EXPECT_EQ(s.Add(Comet(1, 'P', "Halley", "", kT1986 - 99 * kDay, kT1986)), -1);
    // Equal epochs only when accepted.
    EXPECT_EQ(s.Add(Comet(1, 'P', "Halley", "", kT1986 - 98 * kDay, kT1986 + 10 * kDay), 0), -1);
}

TEST_F(UserComets, KeptMagnitudesAndComa) {
    Store s;
    ASSERT_TRUE(s.f);
    ASSERT_EQ(s.Add(Comet(0, 'C', "Hale-Bopp", "1995 O1", kT1986, kT1986, -0.8, 3.2, 0.005)), 1);
    // A later set without magnitudes of its own and the default coma of a line.
    EXPECT_EQ(s.Add(Comet(0, 'C', "Hale-Bopp", "1995 o1", kT1986 + kDay, kT1986 + 5 * kDay, 9.0, 9.0, 0.002), 1, 0), 2);
    auto all = s.All();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_FLOAT_EQ(+all[0].H, -0.8f);
    EXPECT_FLOAT_EQ(+all[0].K, 3.2f);
    EXPECT_EQ(+all[0].comaDiameter, 5000) << "the default coma replaced a measured one";
    EXPECT_DOUBLE_EQ(+all[0].perihelionTime, kT1986 + kDay);
    EXPECT_STREQ(GetCondensationName(9), " 9 (stellar)");
    EXPECT_EQ(GetCondensationName(10), nullptr);
    EXPECT_EQ(GetCondensationName(-1), nullptr);
    CometRecord big;
    ASSERT_EQ(BuildCometRecord(&big, 0, 'C', "Big", "2000 A1", kT1986, kT1986, 0, 0, 0, 1.0, 0.99, 1, 2, 3, 0, 0, 0.05,
                               0, ""),
              1);
    EXPECT_EQ(+big.comaDiameter, 32767);
}

TEST_F(UserComets, InsertionPlacesIncludingTheFirst) {
    Store s;
    ASSERT_TRUE(s.f);
    s.Add(Comet(29, 'P', "Schwassmann-Wachmann", "", kT1986, kT1986));
    s.Add(Comet(0, 'C', "Hale-Bopp", "1995 O1", kT1986, kT1986));
    s.Add(Comet(2, 'P', "Encke", "", kT1986, kT1986));            // before 29
    s.Add(Comet(1, 'P', "Halley", "", kT1986, kT1986));           // at index 0
    s.Add(Comet(0, 'C', "Hyakutake", "1996 B2", kT1986, kT1986));  // after 1995 O1
    s.Add(Comet(0, 'C', "Old", "1965 s1", kT1986, kT1986));        // before 1995 O1
    auto all = s.All();
    ASSERT_EQ(all.size(), 6u);
    const char *order[] = {"Halley", "Encke", "Schwassmann-Wachmann", "Old", "Hale-Bopp", "Hyakutake"};
    for (size_t i = 0; i < 6; ++i) EXPECT_STREQ(all[i].name, order[i]) << i;
    // Ids in the order of arrival.
    EXPECT_EQ(+all[0].objectId, 4);
    EXPECT_EQ(+all[2].objectId, 1);
}

TEST_F(UserComets, LookupsDoNotMatchEmptyTexts) {
    Store s;
    ASSERT_TRUE(s.f);
    s.Add(Comet(1, 'P', "Halley", "", kT1986, kT1986));
    s.Add(Comet(0, 'C', "Hale-Bopp", "1995 O1", kT1986, kT1986));
    CometRecord r;
    // The numbered comet stored without a designation is no prefix of every one.
    EXPECT_EQ(FindUserCometRecordIndex(s.f, nullptr, nullptr, "1995 O1", nullptr, &r), 1);
    EXPECT_EQ(FindUserCometRecordIndex(s.f, nullptr, nullptr, "2020 F3", nullptr, &r), -1);
    EXPECT_EQ(FindUserCometRecordIndex(s.f, nullptr, "", nullptr, nullptr, &r), -1);
    EXPECT_EQ(FindUserCometRecordIndex(s.f, nullptr, "hale", nullptr, nullptr, &r), 1);
    uint16_t one = 1;
    EXPECT_EQ(FindUserCometId(s.f, nullptr, nullptr, &one, &r), 1);
    EXPECT_EQ(FindUserCometId(s.f, "HALE-BOPP", nullptr, nullptr, &r), 2);
    EXPECT_EQ(FindUserCometId(s.f, nullptr, "1995 o1", nullptr, &r), 2);
    EXPECT_EQ(FindUserCometId(s.f, nullptr, nullptr, nullptr, &r), 0);
    EXPECT_EQ(FindUserCometId(nullptr, "Halley", nullptr, nullptr, &r), -1);
}

TEST_F(UserComets, PlaceComaAndMagnitude) {
    Store s;
    ASSERT_TRUE(s.f);
    s.Add(Comet(1, 'P', "Halley", "", kT1986, kT1986, 0.0, 0.0, 0.0));
    s.Add(Comet(0, 'C', "Bright", "1995 O1", kT1986, kT1986, 5.0, 4.0, 0.0));
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    SetDateRecord(&date, nullptr, 3, 1, 1986, 0.0, kUniversalTime);
    ComputeDeltaTAndNutation(&date, 0.0);
    double delta = 0, mag = 0, coma = 0;
    int32_t index = 0;
    ASSERT_EQ(ComputeUserCometPosition(s.f, &date, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, &delta, nullptr, &mag, &coma, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, &index),
              1);
    EXPECT_EQ(index, 1);
    EXPECT_DOUBLE_EQ(mag, 99.9) << "no magnitude parameters, no magnitude";
    // A stored coma of 0: 0.001 AU at the comet's distance.
    EXPECT_NEAR(coma, 0.001 / delta, 1e-6 * coma);
    ASSERT_EQ(ComputeUserCometPosition(s.f, &date, 2, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, &delta, nullptr, &mag, &coma, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr),
              1);
    EXPECT_LT(mag, 30.0);
    EXPECT_EQ(ComputeUserCometPosition(s.f, &date, 3, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr),
              0);
}

TEST_F(UserComets, DeletingAndCompactingKeepIdsUnique) {
    {
        Store s;
        s.Add(Comet(1, 'P', "Halley", "", kT1986, kT1986));
        s.Add(Comet(1, 'P', "Halley", "", kT1986 + 400 * kDay, kT1986 + 400 * kDay));
        s.Add(Comet(2, 'P', "Encke", "", kT1986, kT1986));
        ASSERT_EQ(DeleteUserCometObject(&s.f, 2), 1) << "the sets that end the file";
        ASSERT_EQ(s.All().size(), 2u);
        EXPECT_EQ(DeleteUserCometObject(&s.f, 0), 0);
        s.Add(Comet(3, 'P', "Third", "", kT1986, kT1986));
    }
    const uint8_t flags[3] = {0, 0, 1};
    ASSERT_EQ(CompactUserCometFile(flags, 1, nullptr), 1);
    Store s;
    EXPECT_EQ(s.count, 2);
    EXPECT_EQ(s.Add(Comet(4, 'P', "Fourth", "", kT1986, kT1986)), 1);
    auto all = s.All();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(+all[2].objectId, 4) << "ids 2 and 3 may still be named by log entries";
}

TEST_F(UserComets, EachFailedStepOfAnInsertionKeepsEveryRecord) {
    testutil::FailureTableLabel label("user comets: insert");
    std::string before, good;
    std::unique_ptr<Store> s;
    int steps = testutil::ForEachFailurePoint(
        [&] {
            s.reset();
            std::remove(file("comet.bin").c_str());
            Store seed;
            seed.Add(Comet(2, 'P', "Encke", "", kT1986, kT1986));
            seed.Add(Comet(3, 'P', "Third", "", kT1986, kT1986));
            if (before.empty()) before = bytes("comet.bin");
            s.reset(new Store);
        },
        [&] {
            int r = s->Add(Comet(1, 'P', "Halley", "", kT1986, kT1986));
            s.reset();
            if (good.empty()) good = bytes("comet.bin");
            return r;
        },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            std::string now = bytes("comet.bin");
            EXPECT_TRUE(now == before || now == good) << "a record lost or doubled";
            if (now != good) {
                EXPECT_NE(run.result, 1) << "a failed step reported as success";
            }
        });
    EXPECT_GT(steps, 0);
}

}  // namespace
