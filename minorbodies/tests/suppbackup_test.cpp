// Tests of backup, restore and merge of the supplemental files: a second
// backup that replaces the first whole (and a failed one that keeps it),
// restores of current and older backups, a failed conversion that puts
// everything back, and merges from another computer with each answer of the
// question.
#include "minorbodies/suppbackup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "minorbodies/tests/userstorefixture.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"
#include "testutil/failurepoints.h"

namespace {

const double kEpoch = (2459000.5 - 2451545.0) / 36525.0;
const double kDeg = 3.14159265358979323846 / 180.0;

class Supplemental : public mbtest::UserStore {
protected:
    // Fills the stores of the folder (the user folder while it runs).
    void Fill(const std::string &folder, double vegaMagnitude, double markRa, const char *planet) {
        SetUserDataFolder(folder.c_str());
        FILE *f = OpenUserStarFile(nullptr);
        UserStarRecord s;
        std::memset(&s, 0, sizeof s);
        PackUserStarRecord(&s, "Vega", 279 * kDeg, 38 * kDeg, vegaMagnitude);
        AppendUserStarRecord(f, &s);
        PackUserStarRecord(&s, "Deneb", 310 * kDeg, 45 * kDeg, vegaMagnitude + 1);
        AppendUserStarRecord(f, &s);
        SafeClose(f);
        f = OpenUserDeepSkyFile(nullptr);
        UserDeepSkyRecord d;
        std::memset(&d, 0, sizeof d);
        PackUserDeepSkyRecord(&d, "Veil", 9, 312 * kDeg, 30 * kDeg, vegaMagnitude + 7, 60, 20, 0);
        AppendUserDeepSkyRecord(f, &d);
        SafeClose(f);
        f = OpenSkyMarkFile(nullptr);
        SkyMarkRecord m;
        std::memset(&m, 0, sizeof m);
        PackSkyMarkRecord(&m, "Spot", markRa, 0.1);
        AppendSkyMarkRecord(f, &m);
        SafeClose(f);
        int32_t count = 0;
        f = OpenUserMinorPlanetFile(&count);
        MinorPlanetRecord p;
        BuildMinorPlanetRecord(&p, 0, planet, 0, kEpoch, 10, 0, 2.5, 0, 0.1, 1, 2, 3, 12, 0.15, "t");
        AddUserMinorPlanetElements(f, &p, &count);
        int32_t highest = 0;
        SortUserMinorPlanetFile(&f, count, &highest);
        SafeClose(f);
        f = OpenUserCometFile(nullptr);
        CometRecord c;
        BuildCometRecord(&c, 0, 'C', planet, "2020 F3", kEpoch, kEpoch, 0, 0, 0, 0.29, 0.999, 37, 61, 129, 7, 4,
                         0.002, 0, "t");
        AddUserCometElements(&f, &c, 1, 1);
        SafeClose(f);
        SetUserDataFolder(dir_.path().c_str());
    }
    std::string Files(const std::string &folder) {
        std::string all;
        for (int i = 0; i < kSupplementalFileCount; ++i)
            all += std::string(SupplementalFileName(i)) + "=" + testutil::ReadFileBytes(folder + "/" + SupplementalFileName(i)) + ";";
        return all;
    }
    double StarMagnitude(const char *name) {
        FILE *f = OpenUserStarFile(nullptr);
        UserStarRecord r;
        double m = -99;
        if (FindUserStarByName(f, name, &r) > 0) UnpackUserStarRecord(&r, nullptr, nullptr, nullptr, &m);
        SafeClose(f);
        return m;
    }
};

TEST_F(Supplemental, BackingUpTwiceReplacesTheEarlierContentWhole) {
    Fill(dir_.path(), 0.0, 1.0, "Rock");
    testutil::TempDir dest;
    ASSERT_EQ(BackUpSupplementalFiles(dest.path().c_str(), "Mine"), 1);
    const std::string supp = dest.path() + "/nightjar backup Mine/supp";
    EXPECT_TRUE(testutil::PathIsThere(supp + "/uds.bin"));
    std::remove(file("uds.bin").c_str());
    ASSERT_EQ(BackUpSupplementalFiles(dest.path().c_str(), "Mine"), 1);
    EXPECT_FALSE(testutil::PathIsThere(supp + "/uds.bin")) << "a file that no longer exists stayed in the backup";
    EXPECT_EQ(testutil::ReadFileBytes(supp + "/stellar.bin"), bytes("stellar.bin"));
    EXPECT_FALSE(testutil::PathIsThere(dest.path() + "/nightjar backup Mine/supp.new"));
    EXPECT_FALSE(testutil::PathIsThere(dest.path() + "/nightjar backup Mine/supp.old"));

    // A backup that fails at any step leaves the earlier backup whole.
    const std::string earlier = Files(supp);
    std::vector<std::pair<std::string, std::string>> earlierFiles;
    for (int i = 0; i < kSupplementalFileCount; ++i) {
        std::string path = supp + "/" + SupplementalFileName(i);
        if (testutil::PathIsThere(path)) earlierFiles.push_back({path, testutil::ReadFileBytes(path)});
    }
    Fill(dir_.path(), 2.0, 2.0, "Other");
    testutil::FailureTableLabel label("supplemental backup");
    std::string after;
    int steps = testutil::ForEachFailurePoint(
        [&] {
            DeleteTree(supp.c_str());
            EnsureDirectory(supp.c_str());
            for (const auto &f : earlierFiles) testutil::WriteFileBytes(f.first, f.second);
        },
        [&] {
            int r = BackUpSupplementalFiles(dest.path().c_str(), "Mine");
            if (after.empty()) after = Files(supp);
            return r;
        },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            std::string now = Files(supp);
            EXPECT_TRUE(now == earlier || now == after) << "the backup is neither the earlier nor the new one";
            if (now != after) {
                EXPECT_EQ(run.result, 0);
            }
        });
    EXPECT_NE(after, earlier);
    EXPECT_GT(steps, 0);
}

TEST_F(Supplemental, RestoreBringsBackExactlyTheBackup) {
    Fill(dir_.path(), 0.0, 1.0, "Rock");
    std::remove(file("uds.bin").c_str());
    testutil::TempDir dest;
    ASSERT_EQ(BackUpSupplementalFiles(dest.path().c_str(), "B"), 1);
    const std::string backup = Files(dest.path() + "/nightjar backup B/supp");
    Fill(dir_.path(), 3.0, 2.0, "Later");  // the user goes on (uds.bin comes back)
    int32_t n = 0;
    FILE *f = OpenUserStarFile(&n);
    UserStarRecord r;
    ASSERT_GT(FindUserStarByName(f, "Vega", &r), 0);  // indexes built
    SafeClose(f);
    ASSERT_TRUE(testutil::PathIsThere(file("us_alpha.bin")));
    ASSERT_EQ(RestoreSupplementalFiles(dest.path().c_str(), "nightjar backup B", 3106), 1);
    EXPECT_EQ(Files(dir_.path()), backup);
    EXPECT_FALSE(testutil::PathIsThere(file("uds.bin"))) << "a file the backup lacks stays deleted";
    EXPECT_FALSE(testutil::PathIsThere(file("us_alpha.bin")));
    EXPECT_FALSE(testutil::PathIsThere(file("us_pid.bin")));
    EXPECT_FALSE(testutil::PathIsThere(file("tmp/supp")));
    EXPECT_EQ(RestoreSupplementalFiles(dest.path().c_str(), "missing", 3106), 0);
}

// Every failed step of a restore leaves the user's files as they were (or, when
// only the clean-up failed, as the backup has them), and reports the failure.
TEST_F(Supplemental, EachFailedStepOfARestoreKeepsTheFilesWhole) {
    Fill(dir_.path(), 0.0, 1.0, "Rock");
    testutil::TempDir dest;
    ASSERT_EQ(BackUpSupplementalFiles(dest.path().c_str(), "B"), 1);
    std::vector<std::pair<std::string, std::string>> current;
    Fill(dir_.path(), 3.0, 2.0, "Later");
    std::remove(file("skymark.bin").c_str());  // not there now, but in the backup
    for (int i = 0; i < kSupplementalFileCount; ++i)
        current.push_back({file(SupplementalFileName(i)), bytes(SupplementalFileName(i))});
    const std::string before = Files(dir_.path());
    std::string restored;
    testutil::FailureTableLabel label("supplemental restore");
    int steps = testutil::ForEachFailurePoint(
        [&] {
            for (const auto &f : current) {
                std::remove(f.first.c_str());
                if (!f.second.empty()) testutil::WriteFileBytes(f.first, f.second);
            }
        },
        [&] {
            int r = RestoreSupplementalFiles(dest.path().c_str(), "B", 3106);
            if (restored.empty()) restored = Files(dir_.path());
            return r;
        },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            std::string now = Files(dir_.path());
            EXPECT_TRUE(now == before || now == restored) << "a mixture of old and restored files";
            if (now != restored) {
                EXPECT_EQ(run.result, 0) << "a failed restore reported as success";
            }
        });
    EXPECT_GT(steps, 0);
    EXPECT_NE(restored, before);
}

// Older layouts: 116-byte minor-planet and 130-byte comet records.
std::string OldMinorPlanetFile(const MinorPlanetRecord &r) {
    int32_t header[2] = {1, 1};
    std::string bytes(reinterpret_cast<const char *>(header), 8);
    std::string rec(116, '\0');
    std::memcpy(&rec[0], &r, 101);
    std::memcpy(&rec[105], "OLD SOURCE", 10);
    return bytes + rec;
}
std::string OldCometFile(const CometRecord &c) {
    uint16_t header[2] = {1, 1};
    std::string bytes(reinterpret_cast<const char *>(header), 4);
    std::string rec(130, '\0');
    std::memcpy(&rec[0], &c, 97);
    std::memcpy(&rec[97], "OLD COMET SOURCE", 16);
    return bytes + rec;
}

TEST_F(Supplemental, OlderBackupsAreConvertedAndAFailedConversionPutsAllBack) {
    MinorPlanetRecord p;
    ASSERT_EQ(BuildMinorPlanetRecord(&p, 433, "Eros", 0, kEpoch, 271, 0, 1.458, 0, 0.2229, 178.9, 304.3, 10.8,
                                     10.4, 0.46, ""),
              1);
    p.objectId = 1;
    CometRecord c;
    ASSERT_EQ(BuildCometRecord(&c, 1, 'P', "Halley", "", kEpoch, kEpoch, 0, 0, 0, 0.587, 0.967, 111, 58, 162, 5.5,
                               4, 0.002, 0, ""),
              1);
    c.objectId = 1;
    testutil::TempDir dest;
    const std::string supp = dest.path() + "/old/supp";
    ASSERT_TRUE(EnsureDirectory((dest.path() + "/old").c_str()) && EnsureDirectory(supp.c_str()));
    ASSERT_TRUE(testutil::WriteFileBytes(supp + "/mp.bin", OldMinorPlanetFile(p)));
    ASSERT_TRUE(testutil::WriteFileBytes(supp + "/comet.bin", OldCometFile(c)));
    ASSERT_EQ(RestoreSupplementalFiles(dest.path().c_str(), "old", 2), 1);
    int32_t count = 0;
    FILE *f = OpenUserMinorPlanetFile(&count);
    ASSERT_TRUE(f);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(testutil::ReadFileBytes(file("mp.bin")).size(), 8u + 233u);
    MinorPlanetRecord back;
    ASSERT_EQ(ReadUserMinorPlanetRecord(f, &back, 0), 1);
    EXPECT_EQ(+back.number, 433);
    EXPECT_STREQ(back.source, "OLD SOURCE");
    SafeClose(f);
    f = OpenUserCometFile(&count);
    ASSERT_TRUE(f);
    CometRecord comet;
    ASSERT_EQ(ReadUserCometRecord(f, &comet, 0), 1);
    EXPECT_STREQ(comet.name, "Halley");
    EXPECT_STREQ(comet.source, "OLD COMET SOURCE");
    EXPECT_EQ(+comet.condensation, 4);
    SafeClose(f);

    // A broken old mp.bin (more records counted than held): everything as it
    // was, also no sky-mark file the backup would have brought, and nothing
    // of an earlier interrupted restore's leftovers.
    Fill(dir_.path(), 0.0, 1.0, "Rock");
    std::remove(file("skymark.bin").c_str());
    const std::string before = Files(dir_.path());
    std::string broken = OldMinorPlanetFile(p);
    int32_t tooMany = 5;
    std::memcpy(&broken[0], &tooMany, 4);
    ASSERT_TRUE(testutil::WriteFileBytes(supp + "/mp.bin", broken));
    ASSERT_TRUE(testutil::WriteFileBytes(supp + "/skymark.bin", std::string(6, '\0')));
    ASSERT_TRUE(EnsureDirectory(file("tmp").c_str()) && EnsureDirectory(file("tmp/supp").c_str()));
    ASSERT_TRUE(testutil::WriteFileBytes(file("tmp/supp/uds.bin"), "stale"));
    EXPECT_EQ(RestoreSupplementalFiles(dest.path().c_str(), "old", 2), 0);
    EXPECT_EQ(Files(dir_.path()), before);
    EXPECT_FALSE(testutil::PathIsThere(file("skymark.bin")));
}

int g_answer = 0;
int g_asked = 0;
int Answer(const char *) {
    ++g_asked;
    return g_answer;
}

TEST_F(Supplemental, MergeWithEachAnswerOfTheQuestion) {
    struct Case {
        int answer;
        int asked;
        bool replaced;
        int replaceAll, keepAll;
    } cases[] = {{0, 3, false, 0, 0}, {1, 3, true, 0, 0}, {2, 1, true, 1, 0}, {3, 1, false, 0, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.answer);
        for (int i = 0; i < kSupplementalFileCount; ++i) std::remove(file(SupplementalFileName(i)).c_str());
        DeleteSupplementalIndexes();
        Fill(dir_.path(), 0.0, 1.0, "Rock");
        testutil::TempDir other;
        ASSERT_TRUE(EnsureDirectory((other.path() + "/supp").c_str()));
        Fill(other.path() + "/supp", 5.0, 2.0, "Stone");
        g_answer = c.answer;
        g_asked = 0;
        int bits = -1, replaceAll = 0, keepAll = 0;
        ASSERT_EQ(MergeSupplementalFiles(other.path().c_str(), 3106, &bits, &replaceAll, &keepAll, Answer), 1);
        EXPECT_EQ(bits, 0);
        EXPECT_FALSE(testutil::PathIsThere(file("us_pid.bin"))) << "an index outlived the merge";
        EXPECT_FALSE(testutil::PathIsThere(file("mpn.bin")));
        EXPECT_EQ(g_asked, c.asked);
        EXPECT_EQ(replaceAll, c.replaceAll);
        EXPECT_EQ(keepAll, c.keepAll);
        EXPECT_NEAR(StarMagnitude("Vega"), c.replaced ? 5.0 : 0.0, 1e-9);
        EXPECT_NEAR(StarMagnitude("Deneb"), c.replaced ? 6.0 : 1.0, 1e-9);
        FILE *f = OpenUserDeepSkyFile(nullptr);
        double m = 0;
        ASSERT_EQ(GetUserDeepSkyData(f, 1, nullptr, nullptr, nullptr, nullptr, &m, nullptr, nullptr, nullptr), 1);
        EXPECT_NEAR(m, c.replaced ? 12.0 : 7.0, 1e-9);
        SafeClose(f);
        // The sky mark of the other computer wins without a question.
        f = OpenSkyMarkFile(nullptr);
        double ra = 0;
        ASSERT_EQ(GetSkyMarkData(f, 1, nullptr, &ra, nullptr), 1);
        EXPECT_NEAR(ra, 2.0, 1e-8);
        SafeClose(f);
        // Both minor planets and both comets, with ids.
        int32_t count = 0;
        f = OpenUserMinorPlanetFile(&count);
        EXPECT_EQ(count, 2);
        MinorPlanetRecord p;
        EXPECT_GT(FindUserMinorPlanetId(f, "Stone", nullptr, &p), 0);
        SafeClose(f);
        f = OpenUserCometFile(&count);
        EXPECT_EQ(count, 1) << "the same designation: one comet";
        SafeClose(f);
    }
    int bits = 0;
    EXPECT_EQ(MergeSupplementalFiles((dir_.path() + "/nowhere").c_str(), 3106, &bits, nullptr, nullptr, Answer), 0);

    // A damaged star file on the other computer: its bit, a failure, and the
    // other files merged all the same.
    testutil::TempDir other;
    Fill(other.path(), 5.0, 3.0, "Pebble");
    std::string stars = testutil::ReadFileBytes(other.path() + "/stellar.bin");
    uint16_t tooMany = 40;
    std::memcpy(&stars[0], &tooMany, 2);
    ASSERT_TRUE(testutil::WriteFileBytes(other.path() + "/stellar.bin", stars));
    g_answer = 1;
    EXPECT_EQ(MergeSupplementalFiles(other.path().c_str(), 3106, &bits, nullptr, nullptr, Answer), 0);
    EXPECT_EQ(bits, kMergeFailedStars);
    FILE *f = OpenSkyMarkFile(nullptr);
    double ra = 0;
    ASSERT_EQ(GetSkyMarkData(f, 1, nullptr, &ra, nullptr), 1);
    EXPECT_NEAR(ra, 3.0, 1e-8);
    SafeClose(f);
}

}  // namespace
