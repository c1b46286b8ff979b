// Backup, restore and horizon merge of the preference files: what a backup
// holds, a restore failed at every step (every file as before), and which
// horizon files a merge copies and asks about.
#include "userdata/prefbackup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "testutil/childprocesses.h"
#include "testutil/failurepoints.h"
#include "userdata/tests/listtestutil.h"

namespace {

// Top-level files and horizons of a user folder.
std::map<std::string, std::string> PrefsOf(const std::string &folder) {
    std::map<std::string, std::string> all = listtest::Snapshot(folder);
    for (const auto &h : listtest::Snapshot(folder + "/horizons")) all["horizons/" + h.first] = h.second;
    return all;
}

void Put(const std::string &path, const std::string &bytes) { ASSERT_TRUE(testutil::WriteFileBytes(path, bytes)); }

std::vector<std::string> asked;
int answer = kMergeKeep;
int Ask(const char *message) {
    asked.push_back(message);
    return answer;
}

void SetTicks(const std::string &path, uint32_t high) { SetFileWriteTime(path.c_str(), FileTimeValue{0, high}); }

// The restore case: a backup "May" of the user folder u in save, given a file
// and a horizon the folder lacks, then u changed (a file changed, one added).
void BackUpThenChange(const std::string &u, const std::string &save) {
    Put(u + "/loc.bin", "sites v1");
    Put(u + "/ccd_Q.dat", "curves v1");
    FsMakeFolder(u + "/horizons");
    Put(u + "/horizons/Home.bin", "horizon v1");
    ASSERT_EQ(BackUpPreferenceFiles(save.c_str(), "May"), 1);
    std::string prefs = save + "/nightjar backup May/prefs";
    Put(prefs + "/observer.bin", "observers from the backup");
    Put(prefs + "/horizons/Away.bin", "a horizon from the backup");
    Put(u + "/loc.bin", "sites v2");
    Put(u + "/dds.bin", "settings v2");
    Put(u + "/ccd_Q.dat", "curves v2");
}

}  // namespace

TEST(PrefBackup, BackupAndRestoreReplaceTheFourteenFiles) {
    listtest::UserFolder user;
    std::string u = user.dir.path();
    Put(u + "/loc.bin", "sites v1");
    Put(u + "/instr.bin", "scopes v1");
    Put(u + "/ccd_Q.dat", "curves v1");
    FsMakeFolder(u + "/horizons");
    Put(u + "/horizons/Home.bin", "horizon v1");
    Put(u + "/unrelated.txt", "not a preference");
    testutil::TempDir save;
    ASSERT_EQ(BackUpPreferenceFiles(save.path().c_str(), "May"), 1);
    std::string prefs = save.path() + "/nightjar backup May/prefs";
    EXPECT_EQ(testutil::ReadFileBytes(prefs + "/loc.bin"), "sites v1");
    EXPECT_EQ(testutil::ReadFileBytes(prefs + "/ccd_Q.dat"), "curves v1");
    EXPECT_EQ(testutil::ReadFileBytes(prefs + "/horizons/Home.bin"), "horizon v1");
    EXPECT_FALSE(testutil::PathIsThere(prefs + "/unrelated.txt"));
    EXPECT_FALSE(testutil::PathIsThere(prefs + "/dds.bin"));

    Put(u + "/loc.bin", "sites v2");
    Put(u + "/dds.bin", "settings made after the backup");
    Put(u + "/horizons/Home.bin", "horizon v2");
    ASSERT_EQ(RestorePreferenceFiles(save.path().c_str(), "nightjar backup May", 3106), 1);
    EXPECT_EQ(testutil::ReadFileBytes(u + "/loc.bin"), "sites v1");
    EXPECT_EQ(testutil::ReadFileBytes(u + "/horizons/Home.bin"), "horizon v1");
    EXPECT_FALSE(testutil::PathIsThere(u + "/dds.bin"));
    EXPECT_EQ(testutil::ReadFileBytes(u + "/unrelated.txt"), "not a preference");
    EXPECT_FALSE(testutil::PathIsThere(u + "/tmp/prefs"));
    // An older backup without the chart converter is refused with nothing changed.
    auto before = PrefsOf(u);
    EXPECT_EQ(RestorePreferenceFiles(save.path().c_str(), "nightjar backup May", 2500), 0);
    EXPECT_TRUE(PrefsOf(u) == before);
}

namespace {
std::vector<std::string> converted;
int chartsAnswer = 1;
// Stands in for the chart-definition converter of the chart floor (tested
// there): notes the call and writes a marked copy.
int ConvertCharts(const char *oldPath, const char *newPath) {
    converted.push_back(oldPath);
    if (!chartsAnswer) return 0;
    return testutil::WriteFileBytes(newPath, "converted " + testutil::ReadFileBytes(oldPath)) ? 1 : 0;
}
}  // namespace

// From a backup of the older generation five files come in (two copied,
// three converted); the other nine stay as they are. A converter that fails
// leaves every file as it was.
TEST(PrefBackup, OlderBackupBringsInFiveFiles) {
    listtest::UserFolder user;
    std::string u = user.dir.path();
    Put(u + "/dds.bin", "settings of now");
    Put(u + "/observer.bin", "observers of now");
    Put(u + "/loc.bin", "sites of now");
    Put(u + "/charts.bin", "charts of now");
    testutil::TempDir save;
    std::string prefs = save.path() + "/nightjar backup Old/prefs";
    FsMakeFolder(save.path() + "/nightjar backup Old");
    FsMakeFolder(prefs);
    Put(prefs + "/dds.bin", "old settings");
    Put(prefs + "/observer.bin", "old observers");
    Put(prefs + "/eyep.bin", "old eyepieces");
    Put(prefs + "/charts.bin", "old charts");
    Put(prefs + "/loc.bin", std::string(2, '\0'));    // no sites: an int16 count of 0
    Put(prefs + "/instr.bin", std::string(4, '\0'));  // no instruments

    chartsAnswer = 0;
    converted.clear();
    auto before = PrefsOf(u);
    EXPECT_EQ(RestorePreferenceFiles(save.path().c_str(), "nightjar backup Old", 2500, ConvertCharts), 0);
    EXPECT_EQ(converted.size(), 1u);
    EXPECT_TRUE(PrefsOf(u) == before);

    chartsAnswer = 1;
    ASSERT_EQ(RestorePreferenceFiles(save.path().c_str(), "nightjar backup Old", 2500, ConvertCharts), 1);
    EXPECT_EQ(testutil::ReadFileBytes(u + "/dds.bin"), "settings of now");
    EXPECT_EQ(testutil::ReadFileBytes(u + "/observer.bin"), "old observers");
    EXPECT_EQ(testutil::ReadFileBytes(u + "/eyep.bin"), "old eyepieces");
    EXPECT_EQ(testutil::ReadFileBytes(u + "/charts.bin"), "converted old charts");
    // The converted sites and instruments are files of the current layout,
    // larger than the old empty ones.
    EXPECT_GT(testutil::ReadFileBytes(u + "/loc.bin").size(), 0u);
    EXPECT_NE(testutil::ReadFileBytes(u + "/loc.bin"), "sites of now");
    EXPECT_GT(testutil::ReadFileBytes(u + "/instr.bin").size(), 4u);
    EXPECT_FALSE(testutil::PathIsThere(u + "/tmp/prefs"));
}

TEST(PrefBackup, EveryFailedStepOfARestoreKeepsEveryFile) {
    listtest::UserFolder user;
    std::string u = user.dir.path();
    testutil::TempDir save;
    ASSERT_NO_FATAL_FAILURE(BackUpThenChange(u, save.path()));
    auto saved = PrefsOf(u);
    auto prepare = [&] {
        for (const auto &f : PrefsOf(u))
            if (!saved.count(f.first)) SafeRemove((u + "/" + f.first).c_str());
        for (const auto &f : saved) testutil::WriteFileBytes(u + "/" + f.first, f.second);
        DeletePrefsSafetyCopy();
    };
    testutil::FailureTableLabel label("preferences: restore");
    testutil::ForEachFailurePoint(
        prepare, [&] { return RestorePreferenceFiles(save.path().c_str(), "nightjar backup May", 3106); },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            EXPECT_NE(run.result, 1);
            auto now = PrefsOf(u);
            EXPECT_TRUE(now == saved);
        });
}

#ifndef _WIN32
// A restore killed at every file step in turn (a child process ended at the
// step): the next start-up's recovery finds every preference file as it was
// before or as the backup has it, no mark left, and a backup works again.
TEST(PrefBackup, AKilledRestoreIsRolledBackOrStandsWholeAtTheNextStart) {
    listtest::UserFolder user;
    std::string u = user.dir.path();
    testutil::TempDir save;
    ASSERT_NO_FATAL_FAILURE(BackUpThenChange(u, save.path()));
    const auto before = PrefsOf(u);
    auto putBack = [&] {
        for (const auto &f : PrefsOf(u))
            if (!before.count(f.first)) std::remove((u + "/" + f.first).c_str());
        for (const auto &f : before) Put(u + "/" + f.first, f.second);
    };
    auto restore = [&] { return RestorePreferenceFiles(save.path().c_str(), "nightjar backup May", 3106); };
    ASSERT_EQ(restore(), 1);
    const auto done = PrefsOf(u);
    ASSERT_NE(done, before);
    testutil::KillPointTally tally = testutil::ForEachKillPoint("preference restore", putBack, restore, [&] {
        EXPECT_EQ(EnsurePreferencesRecovered(), 1);
        EXPECT_FALSE(testutil::PathIsThere(u + "/tmp/prefs.mark")) << "the mark was left";
        const auto now = PrefsOf(u);
        EXPECT_TRUE(now == before || now == done) << "neither the old files nor the restored ones";
        testutil::TempDir next;
        EXPECT_EQ(BackUpPreferenceFiles(next.path().c_str(), "Next"), 1) << "the next operation was refused";
        return now == before ? 0 : now == done ? 1 : 2;
    });
    EXPECT_EQ(tally.damaged, 0);
    EXPECT_GT(tally.intactOld, 0);
}
#endif

TEST(PrefBackup, HorizonMerge) {
    listtest::UserFolder user;
    std::string u = user.dir.path();
    testutil::TempDir other;
    std::string theirs = other.path() + "/horizons";
    FsMakeFolder(theirs);
    FsMakeFolder(u + "/horizons");
    Put(theirs + "/New.bin", "new site");
    Put(theirs + "/Older.bin", "older there");
    Put(theirs + "/Newer.bin", "newer there");
    Put(u + "/horizons/Older.bin", "mine");
    Put(u + "/horizons/Newer.bin", "mine");
    SetTicks(theirs + "/Older.bin", 0x01000000);
    SetTicks(u + "/horizons/Older.bin", 0x01D00000);
    SetTicks(theirs + "/Newer.bin", 0x01D00000);
    SetTicks(u + "/horizons/Newer.bin", 0x01000000);
    struct Case {
        int answer;
        const char *newer;
    } cases[] = {{kMergeKeep, "mine"}, {kMergeReplace, "newer there"}};
    for (const Case &c : cases) {
        Put(u + "/horizons/Newer.bin", "mine");
        SetTicks(u + "/horizons/Newer.bin", 0x01000000);
        SafeRemove((u + "/horizons/New.bin").c_str());
        asked.clear();
        answer = c.answer;
        MergeAnswers answers;
        ASSERT_EQ(MergeHorizonFiles(other.path().c_str(), 3106, &answers, Ask), 1);
        EXPECT_EQ(asked, std::vector<std::string>{"The obstructed horizon for Newer is newer than the one present."});
        EXPECT_EQ(testutil::ReadFileBytes(u + "/horizons/New.bin"), "new site");
        EXPECT_EQ(testutil::ReadFileBytes(u + "/horizons/Older.bin"), "mine");
        EXPECT_EQ(testutil::ReadFileBytes(u + "/horizons/Newer.bin"), c.newer);
    }
}
