// Tests of the user star, deep-sky and sky-mark catalogues: ids that are
// never given twice, the case rules of lookups and merges, exact names before
// prefixes, the merge question and its state, deletes that leave no stale
// index behind, the text import (prefixes, columns, epochs), the chart-pass
// filters, and each failed step of a delete.
#include "minorbodies/usercatalogs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/mathutil.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "core/userfolder.h"
#include "minorbodies/fieldsearch.h"
#include "minorbodies/tests/userstorefixture.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#include <erfam.h>
#endif

namespace {

const double kDeg = kPi / 180.0;

class UserCatalogues : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataFolder(dir_.path().c_str()); }
    void TearDown() override {
        SetUserDataFolder("");
        SetFieldConstellationTest(nullptr);
    }
    std::string file(const std::string &name) const { return dir_.path() + "/" + name; }
    testutil::TempDir dir_;
};

UserStarRecord Star(const char *name, double raDeg, double decDeg, double mag) {
    UserStarRecord r;
    std::memset(&r, 0, sizeof r);
    PackUserStarRecord(&r, name, raDeg * kDeg, decDeg * kDeg, mag);
    return r;
}

UserDeepSkyRecord Nebula(const char *name, double raDeg, double size1, double size2) {
    UserDeepSkyRecord r;
    std::memset(&r, 0, sizeof r);
    PackUserDeepSkyRecord(&r, name, 9, raDeg * kDeg, 10 * kDeg, 8.0, size1, size2, 30.0);
    return r;
}

TEST_F(UserCatalogues, IdsStartAtOneAndAreNeverGivenTwice) {
    FILE *f = OpenUserStarFile(nullptr);
    ASSERT_TRUE(f);
    UserStarRecord a = Star("Alpha", 10, 10, 3), b = Star("Beta", 20, 20, 4);
    ASSERT_EQ(AppendUserStarRecord(f, &a), 1);
    ASSERT_EQ(AppendUserStarRecord(f, &b), 1);
    EXPECT_EQ(+a.id, 1);
    EXPECT_EQ(+b.id, 2);
    SafeClose(f);
    const uint8_t flags[2] = {0, 1};
    ASSERT_EQ(CompactUserStarFile(flags, 0, nullptr), 1);
    int32_t count = 0;
    f = OpenUserStarFile(&count);
    ASSERT_TRUE(f);
    EXPECT_EQ(count, 1);
    UserStarRecord c = Star("Gamma", 30, 30, 5);
    ASSERT_EQ(AppendUserStarRecord(f, &c), 1);
    // A log entry may still name star 2 (the removed Beta).
    EXPECT_EQ(+c.id, 3);
    UserStarRecord r;
    EXPECT_EQ(GetUserStarById(f, 2, &r, nullptr), 0);
    EXPECT_EQ(GetUserStarById(f, 3, &r, nullptr), 3);
    EXPECT_STREQ(r.name, "Gamma");
    SafeClose(f);
}

TEST_F(UserCatalogues, NameLookupsCaseRulesAndExactBeforePrefix) {
    FILE *stars = OpenUserStarFile(nullptr);
    FILE *marks = OpenSkyMarkFile(nullptr);
    ASSERT_TRUE(stars && marks);
    for (const char *name : {"ALPHARD", "alpha", "ALPHARD2", "ALPHAX", "ZETA", "A_B", "AZ"}) {
        UserStarRecord s = Star(name, 1, 2, 3);
        ASSERT_EQ(AppendUserStarRecord(stars, &s), 1);
    }
    SkyMarkRecord m;
    std::memset(&m, 0, sizeof m);
    PackSkyMarkRecord(&m, "my mark", 1.0, 0.5);
    ASSERT_EQ(AppendSkyMarkRecord(marks, &m), 1);
    UserStarRecord r;
    // "ALPHA" names alpha, not ALPHARD, whichever comes first in the index.
    ASSERT_GT(FindUserStarByName(stars, "ALPHA", &r), 0);
    EXPECT_STREQ(r.name, "alpha");
    ASSERT_GT(FindUserStarByName(stars, "Alphar", &r), 0);
    EXPECT_EQ(std::string(r.name).compare(0, 6, "ALPHAR"), 0) << "a prefix when nothing is equal";
    // Between 'Z' and 'a' the orders ignoring case and by upper-cased bytes
    // differ: one order for sorting and searching finds both.
    for (const char *name : {"a_b", "az"}) {
        SCOPED_TRACE(name);
        EXPECT_GT(FindUserStarByName(stars, name, &r), 0);
        EXPECT_EQ(CompareStringsNoCase(r.name, name), 0);
    }
    EXPECT_EQ(FindUserStarByName(stars, "", &r), -1);
    EXPECT_EQ(FindUserStarByName(stars, "Beta", &r), 0);
    SkyMarkRecord found;
    EXPECT_GT(FindSkyMarkByName(marks, "my mark", &found), 0);
    EXPECT_GT(FindSkyMarkByName(marks, "MY MARK", &found), 0);
    SafeClose(stars);
    SafeClose(marks);
}

int g_answer = 0;
int g_asked = 0;
int Answer(const char *message) {
    ++g_asked;
    EXPECT_NE(std::strstr(message, "with that on the other computer?"), nullptr);
    return g_answer;
}

TEST_F(UserCatalogues, MergeCaseRulesQuestionAnswersAndState) {
    FILE *stars = OpenUserStarFile(nullptr);
    FILE *nebulae = OpenUserDeepSkyFile(nullptr);
    ASSERT_TRUE(stars && nebulae);
    UserStarRecord vega = Star("Vega", 279, 38, 0.03);
    ASSERT_EQ(AppendUserStarRecord(stars, &vega), 1);
    UserDeepSkyRecord veil = Nebula("Veil", 312, 60, 20);
    ASSERT_EQ(AppendUserDeepSkyRecord(nebulae, &veil), 1);
    // Star names count case: another star; deep-sky names do not.
    UserStarRecord upper = Star("VEGA", 279, 38, 0.03);
    EXPECT_EQ(MergeUserStarRecord(stars, &upper, 0), 1);
    EXPECT_EQ(+upper.id, 2);
    UserDeepSkyRecord veilUpper = Nebula("VEIL", 312, 60, 20);
    EXPECT_EQ(MergeUserDeepSkyRecord(nebulae, &veilUpper, 0), 2);
    EXPECT_EQ(+veilUpper.id, 1);

    struct Case {
        int answer;
        bool replaced;
        int stateAfter;
    } cases[] = {{0, false, kMergeStateAsk},
                 {1, true, kMergeStateAsk},
                 {3, false, kMergeStateKeepAll},
                 {2, true, kMergeStateReplaceAll}};
    double mag = 1.0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.answer);
        int state = kMergeStateAsk;
        g_answer = c.answer;
        g_asked = 0;
        UserStarRecord incoming = Star("Vega", 279, 38, mag);
        mag += 1.0;
        UserStarRecord before;
        ASSERT_EQ(GetUserStarById(stars, 1, &before, nullptr), 1);
        EXPECT_EQ(MergeUserStarRecord(stars, &incoming, 0, Answer, &state), 2);
        EXPECT_EQ(g_asked, 1);
        EXPECT_EQ(state, c.stateAfter);
        EXPECT_EQ(+incoming.id, 1);
        UserStarRecord after;
        ASSERT_EQ(GetUserStarById(stars, 1, &after, nullptr), 1);
        if (c.replaced) {
            EXPECT_NE(+after.magnitude, +before.magnitude);
        } else {
            EXPECT_EQ(+after.magnitude, +before.magnitude);
            EXPECT_EQ(+incoming.magnitude, +before.magnitude) << "a kept record hands back the local data";
        }
        // After replace all / keep all nothing more is asked.
        if (state != kMergeStateAsk) {
            UserStarRecord again = Star("Vega", 279, 38, 12.0);
            EXPECT_EQ(MergeUserStarRecord(stars, &again, 0, Answer, &state), 2);
            EXPECT_EQ(g_asked, 1);
            ASSERT_EQ(GetUserStarById(stars, 1, &after, nullptr), 1);
            EXPECT_EQ(after.magnitude == 1200, state == kMergeStateReplaceAll);
        }
    }
    // Sky marks never ask: the replace flag decides.
    FILE *marks = OpenSkyMarkFile(nullptr);
    ASSERT_TRUE(marks);
    SkyMarkRecord m;
    std::memset(&m, 0, sizeof m);
    PackSkyMarkRecord(&m, "Spot", 1.0, 0.5);
    ASSERT_EQ(AppendSkyMarkRecord(marks, &m), 1);
    PackSkyMarkRecord(&m, "spot", 2.0, 0.25);
    g_asked = 0;
    EXPECT_EQ(MergeSkyMarkRecord(marks, &m, 1), 2);
    EXPECT_EQ(g_asked, 0);
    double ra = 0;
    ASSERT_EQ(GetSkyMarkData(marks, 1, nullptr, &ra, nullptr), 1);
    EXPECT_NEAR(ra, 2.0, 1e-8);
    SafeClose(marks);
    SafeClose(stars);
    SafeClose(nebulae);
}

TEST_F(UserCatalogues, DeleteByIdAfterAPositionalDeleteRemovesThatRecord) {
    FILE *f = OpenUserStarFile(nullptr);
    ASSERT_TRUE(f);
    for (const char *name : {"One", "Two", "Three", "Four"}) {
        UserStarRecord s = Star(name, 1, 2, 3);
        ASSERT_EQ(AppendUserStarRecord(f, &s), 1);
    }
    UserStarRecord r;
    ASSERT_EQ(GetUserStarById(f, 4, &r, nullptr), 4);  // the id index is built
    std::string staleIds = testutil::ReadFileBytes(file("us_pid.bin"));
    ASSERT_EQ(DeleteUserStarRecord(&f, 0), 1);
    // Even an id index left from before the delete reaches no other record.
    ASSERT_TRUE(testutil::WriteFileBytes(file("us_pid.bin"), staleIds));
    ASSERT_EQ(DeleteUserStarById(&f, 3), 1);
    int32_t count = 0;
    std::vector<std::string> names;
    for (int32_t i = 0; i < 2; ++i) {
        ASSERT_EQ(ReadUserStarRecord(f, &r, i), 1);
        names.push_back(r.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Two", "Four"}));
    SafeClose(f);
    f = OpenUserStarFile(&count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(DeleteUserStarById(&f, 1), 0) << "a deleted id";
    SafeClose(f);
}

TEST_F(UserCatalogues, ImportPrefixesColumnsAndEpochs) {
    auto line = [](const std::string &prefix, int nameColumn, const std::string &name, const std::string &rest) {
        return mbtest::FixedLine(120).at(0, prefix).at(static_cast<size_t>(nameColumn), name).at(35, rest).str();
    };
    std::string stars = line("S ", 2, "Regulus B", "10:08:22.3 12:10:00 B1950 1.35") + "\n" +
                        line("S ", 2, "Here", "10:00:00 -5:30:00 J2000 4.0") + "\n" +
                        line("S ", 2, "Then", "10:00:00 -5:30:00 J1975 4.0") + "\n" +
                        line("S ", 2, "", "10:00:00 -5:30:00 J2000 4.0") + "\n" +
                        line("S ", 2, "No epoch", "10:00:00 -5:30:00") + "\n" + "X not a star line\n";
    ASSERT_TRUE(testutil::WriteFileBytes(file("stars.txt"), stars));
    UserCatalogueImport state;
    ASSERT_EQ(BeginUserStarImport(&state, file("stars.txt").c_str(), 1), 1);
    int32_t added = 0, replaced = 0, skipped = 0;
    int r, guard = 0;
    while ((r = ImportUserStarLines(&state, &added, &replaced, &skipped)) == 1 && ++guard < 100) {
    }
    EndUserStarImport(&state);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(added, 3);
    EXPECT_EQ(skipped, 2);
    FILE *f = OpenUserStarFile(nullptr);
    ASSERT_TRUE(f);
    double ra = 0, dec = 0, mag = 0;
    char name[33];
    ASSERT_EQ(GetUserStarData(f, 1, name, &ra, &dec, &mag), 1);
    EXPECT_STREQ(name, "Regulus B");
    EXPECT_NEAR(mag, 1.35, 1e-9);
    // FK4 B1950 to FK5 J2000 (ERFA eraFk45z of the same place).
    EXPECT_NEAR(ra / kDeg, 152.7610179935, 2e-5);
    EXPECT_NEAR(dec / kDeg, 11.9199046809, 2e-5);
    ASSERT_EQ(GetUserStarData(f, 2, nullptr, &ra, &dec, nullptr), 1);
    EXPECT_NEAR(ra / kDeg, 150.0, 1e-7);
    EXPECT_NEAR(dec / kDeg, -5.5, 1e-7);
    double ra75 = 0, dec75 = 0;
    ASSERT_EQ(GetUserStarData(f, 3, nullptr, &ra75, &dec75, nullptr), 1);
    EXPECT_GT(std::fabs(ra75 - ra), 0.2 * kDeg) << "a J1975 place is precessed";
#ifdef GLEANER_HAVE_ERFA
    double d1 = 0, d2 = 0, m[3][3], v[3], w[3];
    eraEpj2jd(1975.0, &d1, &d2);
    eraPmat76(d1, d2, m);  // J2000 to J1975
    eraS2c(150.0 * kDeg, -5.5 * kDeg, v);
    eraTrxp(m, v, w);
    double er = 0, ed = 0;
    eraC2s(w, &er, &ed);
    EXPECT_NEAR(ra75, eraAnp(er), 1e-6);
    EXPECT_NEAR(dec75, ed, 1e-6);
#endif
    SafeClose(f);

    int prefix = 0;
    EXPECT_EQ(UserDeepSkyTypeOfLine("GG group", &prefix), 16);
    EXPECT_EQ(prefix, 3);
    EXPECT_EQ(UserDeepSkyTypeOfLine("g  galaxy", &prefix), 6);
    EXPECT_EQ(UserDeepSkyTypeOfLine("pn ring", &prefix), 8);
    EXPECT_EQ(UserDeepSkyTypeOfLine("X other", &prefix), 0);
    std::string dso = line("GG ", 3, "Stephan's Quintet", "22:36:00 33:58:00 J2000 13.6 3.5 2") + "\n" +
                      line("GC ", 3, "Pal 99", "12:00:00 10:00:00 J2000") + "\n";
    ASSERT_TRUE(testutil::WriteFileBytes(file("dso.txt"), dso));
    ASSERT_EQ(BeginUserDeepSkyImport(&state, file("dso.txt").c_str(), 1), 1);
    added = replaced = skipped = 0;
    guard = 0;
    while ((r = ImportUserDeepSkyLines(&state, &added, &replaced, &skipped)) == 1 && ++guard < 100) {
    }
    EndUserDeepSkyImport(&state);
    EXPECT_EQ(added, 1);
    EXPECT_EQ(skipped, 1) << "no magnitude or size";
    f = OpenUserDeepSkyFile(nullptr);
    ASSERT_TRUE(f);
    UserDeepSkyRecord rec;
    double s1 = 0, s2 = 0, pa = -1;
    ASSERT_EQ(GetUserDeepSkyData(f, 1, &rec, name, nullptr, nullptr, &mag, &s1, &s2, &pa), 1);
    EXPECT_STREQ(name, "Stephan's Quintet");
    EXPECT_EQ(+rec.typeCode, 16);
    EXPECT_NEAR(s1, 3.5, 1e-9);
    EXPECT_NEAR(s2, 2.0, 1e-9);
    EXPECT_EQ(pa, 0.0);
    SafeClose(f);
}

TEST_F(UserCatalogues, AFullStarFileRefusesAnAppend) {
    // 65535 records fill the uint16 count: one more would wrap it to 0.
    std::string bytes(6 + 65535u * sizeof(UserStarRecord), '\0');
    uint16_t count = 65535;
    int32_t last = 65535;
    std::memcpy(&bytes[0], &count, 2);
    std::memcpy(&bytes[2], &last, 4);
    ASSERT_TRUE(testutil::WriteFileBytes(file("stellar.bin"), bytes));
    FILE *f = OpenUserStarFile(nullptr);
    ASSERT_TRUE(f);
    UserStarRecord s = Star("One too many", 1, 2, 3);
    EXPECT_EQ(AppendUserStarRecord(f, &s), 0);
    SafeClose(f);
    EXPECT_EQ(testutil::ReadFileBytes(file("stellar.bin")), bytes);
}

int EveryPlaceInConstellationOne(double ra, double, double) { return ra < kPi ? 1 : 0; }

TEST_F(UserCatalogues, ChartPassFilters) {
    FILE *f = OpenUserDeepSkyFile(nullptr);
    ASSERT_TRUE(f);
    struct {
        const char *name;
        double ra, size1, size2, mag;
    } objects[] = {{"Small", 10, 0.5, 0.5, 8}, {"Big", 12, 30, 20, 8}, {"NoMag", 14, 30, 20, 0},
                   {"Far", 250, 30, 20, 8}};
    for (auto &o : objects) {
        UserDeepSkyRecord r = Nebula(o.name, o.ra, o.size1, o.size2);
        r.magnitude = static_cast<int16_t>(o.mag > 0 ? o.mag * 100 : 9990);
        ASSERT_EQ(AppendUserDeepSkyRecord(f, &r), 1);
    }
    SafeClose(f);
    auto pass = [](double minSize, double faint, uint32_t flags) {
        UserCatalogueScan scan;
        std::vector<std::string> names;
        EXPECT_EQ(BeginUserDeepSkyScan(&scan, nullptr, 12 * kDeg, 10 * kDeg, 5 * kDeg, 99.0, faint, minSize,
                                       kUserScanNoSizeLimit, flags, nullptr, nullptr),
                  1);
        char name[33];
        while (NextUserDeepSkyInScan(&scan, name, nullptr, nullptr, nullptr) > 0) names.push_back(name);
        EndUserDeepSkyScan(&scan);
        return names;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(pass(kUserScanNoSizeLimit, 99.0, 0), (V{"Small", "Big", "NoMag", "Far"}));
    EXPECT_EQ(pass(1.0, 99.0, 0), (V{"Big", "NoMag", "Far"}));
    EXPECT_EQ(pass(kUserScanNoSizeLimit, 10.0, 0), (V{"Small", "Big", "Far"})) << "no magnitude, no pass";
    EXPECT_EQ(pass(kUserScanNoSizeLimit, 99.0, kUserScanField), (V{"Small", "Big", "NoMag"}));
    SetFieldConstellationTest(EveryPlaceInConstellationOne);
    EXPECT_EQ(pass(kUserScanNoSizeLimit, 99.0, kUserScanConstellation), (V{"Small", "Big", "NoMag"}));
}

TEST_F(UserCatalogues, EachFailedStepOfADeleteKeepsTheFileWhole) {
    testutil::FailureTableLabel label("user stars: delete");
    std::string before, good;
    FILE *f = nullptr;
    int steps = testutil::ForEachFailurePoint(
        [&] {
            if (f) SafeClose(f);
            std::remove(file("stellar.bin").c_str());
            DeleteUserStarIndexes();
            FILE *seed = OpenUserStarFile(nullptr);
            for (const char *name : {"One", "Two", "Three"}) {
                UserStarRecord s = Star(name, 1, 2, 3);
                AppendUserStarRecord(seed, &s);
            }
            SafeClose(seed);
            if (before.empty()) before = testutil::ReadFileBytes(file("stellar.bin"));
            f = OpenUserStarFile(nullptr);
        },
        [&] {
            int r = DeleteUserStarById(&f, 2);
            if (f) SafeClose(f);
            f = nullptr;
            if (good.empty()) good = testutil::ReadFileBytes(file("stellar.bin"));
            return r;
        },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            std::string now = testutil::ReadFileBytes(file("stellar.bin"));
            EXPECT_TRUE(now == before || now == good);
            if (now != good) {
                EXPECT_EQ(run.result, 0) << "a failed step reported as success";
            }
        });
    EXPECT_GT(steps, 0);
    if (f) SafeClose(f);
}

}  // namespace

// The names held in memory for recognition: none while no store exists (and
// none is made), each name and any text a name begins once added, and a
// removed or renamed name forgotten at once; a store rewritten as another
// program would write it is read again.
TEST_F(UserCatalogues, NamesHeldInMemoryFollowTheStore) {
    EXPECT_EQ(UserStarStoreMayHoldName("Nova Test"), 0);
    EXPECT_EQ(SkyMarkStoreMayHoldName("Nova Test"), 0);
    EXPECT_FALSE(testutil::PathIsThere(file("stellar.bin"))) << "a lookup made the store";
    FILE *f = OpenUserStarFile(nullptr);
    ASSERT_TRUE(f);
    for (const char *name : {"Nova Test", "Comparison B"}) {
        UserStarRecord s = Star(name, 1, 2, 3);
        ASSERT_EQ(AppendUserStarRecord(f, &s), 1);
    }
    const struct {
        const char *text;
        int held;
    } cases[] = {{"Nova Test", 1}, {"nova test", 1}, {"Nova", 1}, {"comparison b", 1},
                 {"Nova Test 2", 0}, {"Vega", 0}, {"", 0}};
    for (const auto &c : cases) EXPECT_EQ(UserStarStoreMayHoldName(c.text), c.held) << c.text;
    EXPECT_EQ(UserDeepSkyStoreMayHoldName("Nova Test"), 0) << "another store";
    UserStarRecord renamed = Star("Renamed", 1, 2, 3);
    ASSERT_EQ(ReadUserStarRecord(f, &renamed, 0), 1);
    std::strcpy(renamed.name, "Renamed");
    ASSERT_EQ(WriteUserStarRecord(f, &renamed, 0), 1);
    EXPECT_EQ(UserStarStoreMayHoldName("Nova Test"), 0);
    EXPECT_EQ(UserStarStoreMayHoldName("Renamed"), 1);
    ASSERT_EQ(DeleteUserStarRecord(&f, 0), 1);
    EXPECT_EQ(UserStarStoreMayHoldName("Renamed"), 0);
    SafeClose(f);
    // Another program's store in its place: seen at the next check (made at
    // most once a second), which the test waits for by asking until it is.
    std::string other = testutil::ReadFileBytes(file("stellar.bin"));
    ASSERT_GE(other.size(), 6u + 47u);
    std::memcpy(&other[6 + 4 + 4 + 4 + 2], "Outsider\0", 9);
    ASSERT_TRUE(testutil::WriteFileBytes(file("stellar.bin"), other + std::string(1, '\0')));
    bool seen = false;
    for (int tries = 0; tries < 400 && !seen; ++tries) {
        seen = UserStarStoreMayHoldName("Outsider") == 1;
        if (!seen) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(seen);
}
