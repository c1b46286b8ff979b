// Backup, restore and merge of the log: what a backup holds, a restore that
// gives back the same log, restores that fail and leave the live log as it
// was (also with each file step failed in turn, and with the put-back itself
// failing), backups of the previous generation, and merges; each of the
// three killed at every step in turn, then found whole at the next open.
#include "logstore/logbackup.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "core/fileutil.h"
#include "core/fsys.h"
#include "core/versionstamp.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "logstore/keynotes.h"
#include "logstore/logadd.h"
#include "logstore/logentryfile.h"
#include "logstore/logexchange.h"
#include "logstore/loglock.h"
#include "logstore/logobject.h"
#include "logstore/logpaths.h"
#include "logstore/namednotes.h"
#include "logstore/tests/logfixture.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "testutil/failurepoints.h"

using namespace logtest;

namespace {

const double kJd = 2455033.5;  // 2009 July 21, 0h UT
const uint32_t kGalaxyBits = 0x100;
const uint32_t kOpenClusterBits = 0x1000;
const int32_t kUnknownIndex = 999;  // an object this computer cannot identify

int TestRefresh(ObjectRecord *r, double, const LocationRecord *, const DateRecord *, double) {
    if (r->index == kUnknownIndex) r->index = -1;
    r->constellation = 56;
    return r->index != -1;
}
int TestName(const ObjectRecord *r, char *name, int size) {
    std::snprintf(name, static_cast<size_t>(size), "Obj %d", static_cast<int>(r->index));
    return 1;
}
struct ServicesInstalled {
    ServicesInstalled() { SetLogObjectServices(TestRefresh, TestName); }
    ~ServicesInstalled() { SetLogObjectServices(nullptr, nullptr); }
};

// Points the store at a user folder for the scope of a block.
struct UserFolderSwitch {
    std::string previous;
    explicit UserFolderSwitch(const std::string &folder) : previous(GetUserDataFolder()) {
        SetUserDataFolder(folder.c_str());
        ForgetLogFolderState();
        ForgetLogFoldersMade();
    }
    ~UserFolderSwitch() {
        SetUserDataFolder(previous.c_str());
        ForgetLogFolderState();
        ForgetLogFoldersMade();
    }
};

int32_t Add(int objectClass, int32_t index, uint32_t bits, double jd, const char *notes = nullptr) {
    std::unique_ptr<LogEntry> e = MakeEntry(objectClass, index, bits, jd);
    return AddLogEntry(e.get(), notes);
}

// Two galaxy entries, a key note, a named note and a registered package.
void FillSmallLog() {
    ASSERT_EQ(Add(kClassGalaxy, 51, kGalaxyBits, kJd, "spiral arms"), 0);
    ASSERT_EQ(Add(kClassGalaxy, 31, kGalaxyBits, kJd + 1), 1);
    ASSERT_EQ(WriteKeyNote(ClassNotePath(5), "galaxies season"), 1);
    ASSERT_EQ(AddNamedNote("Plans", "Look at M51 again"), 1);
    FileTimeValue t = {7, 8};
    ASSERT_EQ(RegisterLogPackage("From the club", &t), 1);
}

// The files of the log under root, named relative to it (the lock left out).
std::map<std::string, std::string> Relative(const std::string &root) {
    std::map<std::string, std::string> out;
    for (const auto &kv : LogTree(root)) out[kv.first.substr(root.size())] = kv.second;
    return out;
}

// The paths whose bytes differ between two trees (or are in one only): an
// empty list when the trees are the same, and a short message when not.
std::vector<std::string> Differences(const std::map<std::string, std::string> &a,
                                     const std::map<std::string, std::string> &b) {
    std::vector<std::string> out;
    for (const auto &kv : a) {
        auto at = b.find(kv.first);
        if (at == b.end()) out.push_back("only before: " + kv.first);
        else if (at->second != kv.second) out.push_back("changed: " + kv.first);
    }
    for (const auto &kv : b)
        if (!a.count(kv.first)) out.push_back("only after: " + kv.first);
    return out;
}
const std::vector<std::string> kSame;

std::vector<std::string> Names(const std::string &folder) {
    std::vector<std::string> out;
    std::vector<FsEntry> entries;
    FsListFolder(folder, entries);
    for (const FsEntry &e : entries) out.push_back(e.name);
    return out;
}

// A first-generation 9,124-byte entry built from its byte offsets.
std::string OldEntry(int objectClass, int32_t index, uint32_t bits, double jd, const char *conditions) {
    std::string old(9124, '\0');
    std::memcpy(&old[5], &jd, 8);
    std::memcpy(&old[13 + 99], "Home", 4);    // the 132-byte site record's name
    old[148] = static_cast<char>(objectClass);
    std::memcpy(&old[149], &index, 4);
    std::memcpy(&old[153], &bits, 4);
    std::memcpy(&old[157], "Ann", 3);         // observer name
    std::memcpy(&old[241 + 8718], "Dob", 3);  // the 8,750-byte instrument's name
    std::memcpy(&old[8991], conditions, std::strlen(conditions));
    int32_t notes = 1;
    std::memcpy(&old[9120], &notes, 4);
    return old + std::string(1, '\0');
}

}  // namespace

TEST(LogBackup, HoldsOnlyWhatCannotBeRebuilt) {
    Store store;
    ServicesInstalled services;
    FillSmallLog();
    testutil::TempDir dest;
    ASSERT_EQ(BackupLog(dest.path().c_str(), "Dec"), 1);
    std::string logs = dest.path() + "/nightjar backup Dec/logs";
    EXPECT_EQ(Names(logs + "/galaxies"), (std::vector<std::string>{"00000000.bin", "00000001.bin"}));
    EXPECT_EQ(testutil::ReadFileBytes(logs + "/galaxies/00000000.bin"),
              testutil::ReadFileBytes(store.log("galaxies/00000000.bin")));
    // No key list, summary or index file anywhere.
    for (const auto &kv : Relative(logs)) {
        EXPECT_EQ(kv.first.find("pid.bin"), std::string::npos) << kv.first;
        EXPECT_EQ(kv.first.find(".pix"), std::string::npos) << kv.first;
        EXPECT_EQ(kv.first.find(".idx"), std::string::npos) << kv.first;
        EXPECT_EQ(kv.first.find("index.bin"), std::string::npos) << kv.first;
    }
    EXPECT_EQ(Names(logs + "/class"), (std::vector<std::string>{"05.bin"}));
    EXPECT_EQ(Names(logs + "/misc").size(), 1u);
    EXPECT_EQ(testutil::ReadFileBytes(logs + "/registry.bin"), testutil::ReadFileBytes(store.log("registry.bin")));
    for (int f = 0; f < kLogClassFolderCount; ++f)
        EXPECT_TRUE(testutil::PathIsThere(logs + "/" + CategoryFolderTable[f].name)) << f;
}

TEST(LogBackup, ReplacesAnEarlierBackupButNoOtherFolder) {
    Store store;
    ServicesInstalled services;
    FillSmallLog();
    testutil::TempDir dest;
    ASSERT_EQ(BackupLog(dest.path().c_str(), nullptr), 1);
    std::string logs = dest.path() + "/logs";
    // An entry file the second backup no longer finds is gone from it too.
    ASSERT_TRUE(testutil::WriteFileBytes(logs + "/galaxies/00000007.bin", "stale"));
    ASSERT_EQ(BackupLog(dest.path().c_str(), nullptr), 1);
    EXPECT_FALSE(testutil::PathIsThere(logs + "/galaxies/00000007.bin"));
    EXPECT_TRUE(testutil::PathIsThere(logs + "/galaxies/00000001.bin"));

    // A "logs" folder holding anything a log backup does not hold is the
    // user's, and stays whole.
    testutil::TempDir other;
    std::string theirs = other.path() + "/logs";
    ASSERT_TRUE(FsMakeFolder(theirs));
    ASSERT_TRUE(testutil::WriteFileBytes(theirs + "/thesis.txt", "years of work"));
    EXPECT_EQ(BackupLog(other.path().c_str(), nullptr), 0);
    EXPECT_EQ(testutil::ReadFileBytes(theirs + "/thesis.txt"), "years of work");
    // A backup into the live log is refused.
    EXPECT_EQ(BackupLog(store.log("galaxies").c_str(), nullptr), 0);
}

TEST(LogBackup, EachFailedStepIsReportedAndTheLogIsUntouched) {
    Store store;
    ServicesInstalled services;
    FillSmallLog();
    auto before = Relative(store.log(""));
    testutil::TempDir dest;
    testutil::ForEachFailurePoint(
        [&] { DeleteTree((dest.path() + "/logs").c_str()); },
        [&] { return BackupLog(dest.path().c_str(), nullptr); },
        [&](const testutil::FailurePointRun &run) {
            // The registry's copy is not checked: a backup without it still restores.
            bool registry = !testutil::PathIsThere(dest.path() + "/logs/registry.bin");
            if (!registry) {
                EXPECT_EQ(run.result, 0) << testutil::DescribeFailurePoint(run);
            }
            EXPECT_EQ(Differences(before, Relative(store.log(""))), kSame) << testutil::DescribeFailurePoint(run);
        });
}

TEST(LogRestore, GivesBackTheSameLogInAnEmptyStore) {
    testutil::TempDir dest, first, second;
    ServicesInstalled services;
    std::map<std::string, std::string> original;
    {
        UserFolderSwitch use(first.path());
        FillSmallLog();
        ASSERT_EQ(Add(kClassOpenCluster, 45, kOpenClusterBits, kJd + 2), 0);
        ASSERT_EQ(BackupLog(dest.path().c_str(), "B"), 1);
        original = Relative(first.path() + "/log");
    }
    UserFolderSwitch use(second.path());
    ASSERT_EQ(RestoreLog(dest.path().c_str(), "nightjar backup B", CurrentStampVersion()), kRestoreDone);
    // Log numbers 0 and 1, key lists, summary files, the six indexes, key and
    // named notes and the registry: the same files with the same bytes.
    EXPECT_EQ(Differences(original, Relative(second.path() + "/log")), kSame);
    std::string text;
    EXPECT_EQ(ReadKeyNote(ClassNotePath(5), &text), 1);
    EXPECT_EQ(text, "galaxies season");
    EXPECT_GE(FindNamedNote("Plans"), 0);
    EXPECT_EQ(IndexRows(second.path() + "/log/class/05.idx"),
              (std::vector<std::vector<int32_t>>{{31, 5, 1}, {51, 5, 0}}));
    // Not the only copy of anything: the scratch copy may go.
    EXPECT_FALSE(testutil::PathIsThere(second.path() + "/" + kLogScratchMark));
    EXPECT_EQ(ClearTempLog(), 1);
}

// Backups that cannot be restored whole: each leaves the live log exactly as
// it was. The damaged entry sits in "open clusters", after "galaxies", so the
// galaxies were rebuilt already when the restore fails.
TEST(LogRestore, AnEntryThatCannotComeBackLeavesTheLogAsItWas) {
    struct Case {
        const char *what;
        std::function<void(const std::string &logs)> damage;
        int expected;
    };
    const Case cases[] = {
        {"unreadable entry file",
         [](const std::string &logs) {
             ASSERT_TRUE(testutil::WriteFileBytes(logs + "/open clusters/00000000.bin", "cut"));
         },
         kRestoreReadEntry},
        {"object not identified here",
         [](const std::string &logs) {
             std::string bytes = testutil::ReadFileBytes(logs + "/open clusters/00000000.bin");
             std::memcpy(&bytes[183], &kUnknownIndex, 4);
             ASSERT_TRUE(testutil::WriteFileBytes(logs + "/open clusters/00000000.bin", bytes));
         },
         kRestoreAddEntry},
        {"two copies of one entry",
         [](const std::string &logs) {
             ASSERT_TRUE(testutil::WriteFileBytes(logs + "/open clusters/00000005.bin",
                                                  testutil::ReadFileBytes(logs + "/open clusters/00000000.bin")));
         },
         kRestoreAddEntry},
        {"unreadable named note",
         [](const std::string &logs) { ASSERT_TRUE(testutil::WriteFileBytes(logs + "/misc/00000009.bin", "x")); },
         kRestoreReadNote},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Store store;
        ServicesInstalled services;
        FillSmallLog();
        ASSERT_EQ(Add(kClassOpenCluster, 45, kOpenClusterBits, kJd + 2), 0);
        testutil::TempDir dest;
        ASSERT_EQ(BackupLog(dest.path().c_str(), nullptr), 1);
        c.damage(dest.path() + "/logs");
        // The live log moves on after the backup: a third galaxy, a new note.
        ASSERT_EQ(Add(kClassGalaxy, 77, kGalaxyBits, kJd + 3), 2);
        ASSERT_EQ(AddNamedNote("Later", "after the backup"), 1);
        auto before = Relative(store.log(""));
        EXPECT_EQ(RestoreLog(dest.path().c_str(), nullptr, CurrentStampVersion()), c.expected);
        EXPECT_EQ(Differences(before, Relative(store.log(""))), kSame);
        EXPECT_FALSE(testutil::PathIsThere(store.dir.path() + "/" + kLogScratchMark));
        // The store still works: the next add takes the next number.
        EXPECT_EQ(Add(kClassGalaxy, 78, kGalaxyBits, kJd + 4), 3);
    }
}

TEST(LogRestore, NoBackupChangesNothing) {
    Store store;
    ServicesInstalled services;
    FillSmallLog();
    auto before = Relative(store.log(""));
    testutil::TempDir empty;
    EXPECT_EQ(RestoreLog(empty.path().c_str(), "nightjar backup none", CurrentStampVersion()), kRestoreNoBackup);
    // A "logs" folder inside the live log is no backup to restore from.
    ASSERT_TRUE(FsMakeFolder(store.log("logs")));
    EXPECT_EQ(RestoreLog(store.log("").c_str(), nullptr, CurrentStampVersion()), kRestoreNoBackup);
    EXPECT_EQ(Differences(before, Relative(store.log(""))), kSame);
}

TEST(LogRestore, PreviousGenerationFoldersAreReadAndFiledUnderTheNewNames) {
    Store store;
    ServicesInstalled services;
    testutil::TempDir dest;
    std::string logs = dest.path() + "/logs";
    ASSERT_TRUE(FsMakeFolder(logs));
    ASSERT_TRUE(FsMakeFolder(logs + "/major solar system"));
    ASSERT_TRUE(FsMakeFolder(logs + "/minor planets"));
    ASSERT_TRUE(testutil::WriteFileBytes(logs + "/major solar system/00000004.bin",
                                         OldEntry(kClassSolarSystem, 4, 0x2, kJd, "hazy")));
    ASSERT_TRUE(testutil::WriteFileBytes(logs + "/minor planets/00000002.bin",
                                         OldEntry(kClassMinorPlanet, 433, 0x8, kJd + 1, "steady")));
    // An old entry naming no object (index 0 outside the comets) and without
    // notes holds nothing: passed over.
    ASSERT_TRUE(testutil::WriteFileBytes(logs + "/minor planets/00000003.bin",
                                         OldEntry(kClassMinorPlanet, 0, 0x8, kJd + 2, "")));
    ASSERT_EQ(RestoreLog(dest.path().c_str(), nullptr, 2900), kRestoreDone);
    std::unique_ptr<LogEntry> back(new LogEntry);
    ASSERT_EQ(ReadLogEntryByNumber(0x2, 0, back.get(), nullptr), 1);
    EXPECT_EQ(int32_t(back->catalogueIndex), 4);
    EXPECT_STREQ(back->conditions, "hazy");
    ASSERT_EQ(ReadLogEntryByNumber(0x8, 0, back.get(), nullptr), 1);
    EXPECT_EQ(int32_t(back->catalogueIndex), 433);
    EXPECT_STREQ(back->site.name, "Home");
    EXPECT_TRUE(testutil::PathIsThere(store.log("prime solar system/00000000.bin")));
    EXPECT_TRUE(testutil::PathIsThere(store.log("asteroids/00000000.bin")));
    EXPECT_FALSE(testutil::PathIsThere(store.log("asteroids/00000001.bin")));
    EXPECT_FALSE(testutil::PathIsThere(store.log("minor planets")));
}

// Every file step of a restore failed in turn: the live log is either the
// restored one or exactly the one before.
TEST(LogRestoreFailurePoints, EveryStepLeavesTheOldOrTheRestoredLog) {
    testutil::TempDir dest, source;
    ServicesInstalled services;
    std::map<std::string, std::string> restored;
    {
        UserFolderSwitch use(source.path());
        // One entry of each of two class folders, a key note, a named note
        // and the registry: every part of a restore.
        ASSERT_EQ(Add(kClassGalaxy, 51, kGalaxyBits, kJd, "spiral arms"), 0);
        ASSERT_EQ(Add(kClassOpenCluster, 45, kOpenClusterBits, kJd + 2), 0);
        ASSERT_EQ(WriteKeyNote(ClassNotePath(5), "galaxies season"), 1);
        ASSERT_EQ(AddNamedNote("Plans", "Look at M51 again"), 1);
        FileTimeValue t = {7, 8};
        ASSERT_EQ(RegisterLogPackage("From the club", &t), 1);
        ASSERT_EQ(BackupLog(dest.path().c_str(), nullptr), 1);
        restored = Relative(source.path() + "/log");
    }
    Store store;
    ASSERT_EQ(Add(kClassGalaxy, 99, kGalaxyBits, kJd + 9, "the live one"), 0);
    ASSERT_EQ(AddNamedNote("Live", "kept"), 1);
    const std::map<std::string, std::string> before = Relative(store.log(""));
    testutil::TempDir snapshot;
    ASSERT_EQ(CopyTree(store.log("").c_str(), (snapshot.path() + "/log").c_str()), 1);
    // Each run starts from the same live log, copied back from the snapshot.
    auto prepare = [&] {
        DeleteTree(store.log("").c_str());
        DeleteTree((store.dir.path() + "/tmp").c_str());
        ASSERT_EQ(CopyTree((snapshot.path() + "/log").c_str(), store.log("").c_str()), 1);
        ForgetLogFolderState();
        ForgetLogFoldersMade();
    };
    testutil::ForEachFailurePoint(
        prepare, [&] { return RestoreLog(dest.path().c_str(), nullptr, CurrentStampVersion()); },
        [&](const testutil::FailurePointRun &run) {
            std::string where = testutil::DescribeFailurePoint(run);
            if (run.result == kRestoreDone)
                EXPECT_EQ(Differences(restored, Relative(store.log(""))), kSame) << where;
            else
                EXPECT_EQ(Differences(before, Relative(store.log(""))), kSame) << where << " answered " << run.result;
            EXPECT_FALSE(testutil::PathIsThere(store.dir.path() + "/" + kLogScratchMark)) << where;
        });
}

// A restore that fails, then fails again while it puts the old log back:
// the saved copy is marked as the only whole log, nothing deletes it, and
// the next restore puts it back before anything else. The put-back is the
// last part of the failing restore, so its steps are failed from the last
// one back.
TEST(LogRestoreFailurePoints, AFailedPutBackKeepsTheOnlyCopy) {
    Store store;
    ServicesInstalled services;
    ASSERT_EQ(Add(kClassGalaxy, 51, kGalaxyBits, kJd), 0);
    ASSERT_EQ(Add(kClassOpenCluster, 45, kOpenClusterBits, kJd + 2), 0);
    testutil::TempDir dest;
    ASSERT_EQ(BackupLog(dest.path().c_str(), nullptr), 1);
    ASSERT_TRUE(testutil::WriteFileBytes(dest.path() + "/logs/open clusters/00000000.bin", "cut"));
    ASSERT_EQ(Add(kClassGalaxy, 77, kGalaxyBits, kJd + 3), 1);
    const auto before = Relative(store.log(""));
    std::string mark = store.dir.path() + "/" + kLogScratchMark;
    auto restore = [&] { return RestoreLog(dest.path().c_str(), nullptr, CurrentStampVersion()); };

    SetFileStepFailure(0);
    ASSERT_EQ(restore(), kRestoreReadEntry);
    int steps = CountFileSteps();
    ASSERT_EQ(Differences(before, Relative(store.log(""))), kSame);
    int putBackFailures = 0;
    for (int k = steps; k >= 1; --k) {
        SetFileStepFailure(k);
        int result = restore();
        SetFileStepFailure(0);
        SCOPED_TRACE("step " + std::to_string(k) + " answered " + std::to_string(result));
        if (result == kRestorePutBackFailed) {
            ++putBackFailures;
            EXPECT_TRUE(testutil::PathIsThere(mark));
            EXPECT_EQ(ClearTempLog(), 0);  // refuses: the saved copy is the only whole log
            EXPECT_EQ(Differences(before, Relative(store.dir.path() + "/tmp/log")), kSame);
            // The next restore puts it back first, then fails as before.
            EXPECT_EQ(restore(), kRestoreReadEntry);
        } else {
            EXPECT_LT(result, kRestorePutBackFailed);  // the code of the failed step
        }
        EXPECT_EQ(Differences(before, Relative(store.log(""))), kSame);
        EXPECT_FALSE(testutil::PathIsThere(mark));
        if (result != kRestorePutBackFailed && putBackFailures > 0) break;  // before the put-back
    }
    EXPECT_GT(putBackFailures, 10) << "the put-back's steps were not failed";
}

TEST(LogMerge, OwnBackupAddsNothingAndAnotherComputersLogAddsItsEntries) {
    testutil::TempDir dest, other;
    ServicesInstalled services;
    {
        UserFolderSwitch use(other.path());
        ASSERT_EQ(Add(kClassGalaxy, 51, kGalaxyBits, kJd, "spiral arms"), 0);
        ASSERT_EQ(Add(kClassGalaxy, 12, kGalaxyBits, kJd + 5), 1);
        ASSERT_EQ(WriteKeyNote(ClassNotePath(5), "dark site"), 1);
        ASSERT_EQ(AddNamedNote("Plans", "another text"), 1);
        ASSERT_EQ(AddNamedNote("Club", "meeting"), 1);
    }
    Store store;
    FillSmallLog();
    ASSERT_EQ(BackupLog(dest.path().c_str(), nullptr), 1);
    auto before = Relative(store.log(""));
    EXPECT_EQ(ImportLogBackup(dest.path().c_str(), CurrentStampVersion()), 1);
    EXPECT_EQ(Differences(before, Relative(store.log(""))), kSame);

    // Another computer's data folder ("log"): its new entry, its note text
    // appended, its new named note; what is here already stays.
    EXPECT_EQ(ImportLogBackup(other.path().c_str(), CurrentStampVersion()), 1);
    EXPECT_TRUE(testutil::PathIsThere(store.log("galaxies/00000002.bin")));
    EXPECT_FALSE(testutil::PathIsThere(store.log("galaxies/00000003.bin")));
    std::string text;
    EXPECT_EQ(ReadKeyNote(ClassNotePath(5), &text), 1);
    EXPECT_EQ(text, "galaxies season dark site");
    NamedNoteHeader header;
    EXPECT_EQ(ReadNamedNote(FindNamedNote("Plans"), &header, &text), 1);
    EXPECT_EQ(text, "Look at M51 again");
    EXPECT_GE(FindNamedNote("Club"), 0);
    // A folder without a log is no merge.
    testutil::TempDir empty;
    EXPECT_EQ(ImportLogBackup(empty.path().c_str(), CurrentStampVersion()), 0);
}

// A merge with each file step failed in turn: it answers 0, and a merge run
// again afterwards completes it, with no entry twice and no note text twice.
TEST(LogMergeFailurePoints, AFailedMergeIsCompletedByTheNextOne) {
    testutil::TempDir other;
    ServicesInstalled services;
    {
        UserFolderSwitch use(other.path());
        ASSERT_EQ(Add(kClassGalaxy, 12, kGalaxyBits, kJd + 5), 0);
        ASSERT_EQ(WriteKeyNote(ClassNotePath(5), "dark site"), 1);
        ASSERT_EQ(AddNamedNote("Club", "meeting"), 1);
    }
    Store store;
    ASSERT_EQ(Add(kClassGalaxy, 51, kGalaxyBits, kJd, "spiral arms"), 0);
    ASSERT_EQ(WriteKeyNote(ClassNotePath(5), "galaxies season"), 1);
    testutil::TempDir snapshot;
    ASSERT_EQ(CopyTree(store.log("").c_str(), (snapshot.path() + "/log").c_str()), 1);
    auto merge = [&] { return ImportLogBackup(other.path().c_str(), CurrentStampVersion()); };
    testutil::ForEachFailurePoint(
        [&] {
            DeleteTree(store.log("").c_str());
            ASSERT_EQ(CopyTree((snapshot.path() + "/log").c_str(), store.log("").c_str()), 1);
            ForgetLogFolderState();
            ForgetLogFoldersMade();
        },
        merge,
        [&](const testutil::FailurePointRun &run) {
            std::string where = testutil::DescribeFailurePoint(run);
            EXPECT_EQ(run.result, 0) << where;
            ForgetLogFolderState();
            ASSERT_EQ(merge(), 1) << where;
            auto after = Relative(store.log(""));
            EXPECT_EQ(merge(), 1) << where;
            EXPECT_EQ(Differences(after, Relative(store.log(""))), kSame) << where;  // nothing left to add
            EXPECT_EQ(I32(testutil::ReadFileBytes(store.log("galaxies/000000012.pix")), 0), 1) << where;
            std::string text;
            EXPECT_EQ(ReadKeyNote(ClassNotePath(5), &text), 1);
            EXPECT_EQ(text, "galaxies season dark site") << where;
            EXPECT_GE(FindNamedNote("Club"), 0) << where;
        });
}

#ifndef _WIN32
namespace {

// The files under root named relative to it, with what a kill may leave that
// holds no data (a rewrite's temporary, a file set aside) left out.
std::map<std::string, std::string> Kept(const std::string &root, const std::string &prefix) {
    std::map<std::string, std::string> out;
    for (const auto &kv : Relative(root)) {
        const std::string &p = kv.first;
        bool leftover = (p.size() > 4 && p.compare(p.size() - 4, 4, ".tmp") == 0) ||
                        (p.size() > 5 && p.compare(p.size() - 5, 5, ".undo") == 0);
        if (!leftover) out[prefix + p] = kv.second;
    }
    return out;
}

struct KillCounts {
    int runs = 0, intactOld = 0, intactNew = 0, damaged = 0;
};

// The operation run in a child killed at each of its file steps in turn;
// after each kill a fresh open (any reader) must find no mark left and the
// state (as tree() reads it) whole old or whole new, and next(k) must
// succeed. setUp() puts the starting files back before each run.
KillCounts KillAtEveryStep(const char *name, const std::function<void()> &setUp, const std::function<int()> &op,
                           const std::function<std::map<std::string, std::string>()> &tree,
                           const std::function<void(int)> &next) {
    KillCounts counts;
    const std::string user = GetUserDataFolder();
    setUp();
    const auto before = tree();
    SetFileStepKill(0);
    EXPECT_GT(op(), 0) << name;
    counts.runs = CountFileSteps();
    const auto done = tree();
    EXPECT_NE(before, done) << name;
    for (int k = 1; k <= counts.runs; ++k) {
        SCOPED_TRACE(std::string(name) + " killed at step " + std::to_string(k));
        setUp();
        std::fflush(nullptr);
        pid_t child = fork();
        if (child < 0) {
            ADD_FAILURE() << "no child";
            break;
        }
        if (child == 0) {
            SetFileStepKill(k);
            op();
            std::_Exit(0);
        }
        int status = 0;
        EXPECT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kKilledAtFileStep) << "the run did not reach the step";
        // A fresh open: nothing this process kept is trusted.
        ForgetLogFolderState();
        ForgetLogFoldersMade();
        EXPECT_EQ(EnsureLogStoreRecovered(), 1);
        for (const char *mark : {"/log/undo.mark", "/tmp/log.unrestored", "/tmp/log.backup"})
            EXPECT_FALSE(testutil::PathIsThere(user + mark)) << mark << " was left";
        const auto now = tree();
        if (now == before) ++counts.intactOld;
        else if (now == done) ++counts.intactNew;
        else ++counts.damaged;
        EXPECT_TRUE(now == before || now == done) << "neither the old state nor the new: "
                                                  << ::testing::PrintToString(Differences(before, now));
        next(k);
    }
    std::printf("kill points %-16s runs %3d  intact old %3d  intact new %3d  damaged %d\n", name, counts.runs,
                counts.intactOld, counts.intactNew, counts.damaged);
    EXPECT_EQ(counts.damaged, 0) << name;
    // (A kill comes before its step: an operation whose last step removes its
    // mark is found old at every kill point.)
    EXPECT_GT(counts.intactOld, 0) << name;
    return counts;
}

// A folder's files kept as bytes and written back by plain writes (no
// syncs: the kill runs would go at the disk's pace otherwise).
struct TreeSnapshot {
    std::string root;
    std::map<std::string, std::string> files;
    void Take(const std::string &folder) {
        root = folder;
        files = LogTree(folder);
        std::map<std::string, std::string> all;
        for (const auto &kv : files) all[kv.first] = kv.second;
        if (testutil::PathIsThere(folder + "/lock")) all[folder + "/lock"] = testutil::ReadFileBytes(folder + "/lock");
        files = all;
    }
    void PutBack() const {
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
        for (const auto &file : files) {
            std::filesystem::create_directories(std::filesystem::path(file.first).parent_path());
            ASSERT_TRUE(testutil::WriteFileBytes(file.first, file.second));
        }
    }
};

}  // namespace

// Restore, merge and backup, each killed at every file step in turn.
TEST(LogFolderKillPoints, RestoreMergeAndBackupAreWholeOrNothingAtTheNextOpen) {
    testutil::TempDir dest, other;
    ServicesInstalled services;
    SetDiskSyncsSkipped(true);  // a kill loses nothing the system holds
    {
        // Another computer's log: two entries, a key note and a named note
        // (every part of a restore and a merge), backed up.
        UserFolderSwitch use(other.path());
        ASSERT_EQ(Add(kClassGalaxy, 12, kGalaxyBits, kJd + 5, "bar"), 0);
        ASSERT_EQ(Add(kClassOpenCluster, 45, kOpenClusterBits, kJd + 2), 0);
        ASSERT_EQ(WriteKeyNote(ClassNotePath(5), "dark site"), 1);
        ASSERT_EQ(AddNamedNote("Club", "meeting"), 1);
        ASSERT_EQ(BackupLog(dest.path().c_str(), "B"), 1);
    }
    Store store;
    ASSERT_EQ(Add(kClassGalaxy, 51, kGalaxyBits, kJd, "spiral arms"), 0);
    ASSERT_EQ(WriteKeyNote(ClassNotePath(5), "galaxies season"), 1);
    TreeSnapshot live, place;
    live.Take(store.dir.path());
    const std::string backupParent = dest.path();
    auto logTree = [&] { return Kept(store.log(""), "log"); };
    auto nextAdd = [&] {
        std::unique_ptr<LogEntry> e = MakeEntry(kClassGalaxy, 70, kGalaxyBits, kJd + 9);
        EXPECT_GE(AddLogEntry(e.get(), "next"), 0) << "the next add was refused";
    };
    auto putBackLive = [&] {
        live.PutBack();
        ForgetLogFolderState();
        ForgetLogFoldersMade();
    };

    KillAtEveryStep(
        "log restore", putBackLive,
        [&] { return RestoreLog(backupParent.c_str(), "nightjar backup B", CurrentStampVersion()) == kRestoreDone; },
        logTree, [&](int k) {
            // The next add after every kill; the same restore again after
            // every eighth (it costs a whole restore).
            nextAdd();
            if (k % 8 == 0) {
                EXPECT_EQ(RestoreLog(backupParent.c_str(), "nightjar backup B", CurrentStampVersion()), kRestoreDone);
            }
        });
    KillAtEveryStep(
        "log merge", putBackLive, [&] { return ImportLogBackup(other.path().c_str(), CurrentStampVersion()); },
        logTree, [&](int k) {
            nextAdd();
            if (k % 8 == 0) {
                EXPECT_EQ(ImportLogBackup(other.path().c_str(), CurrentStampVersion()), 1);
            }
        });

    // A backup over an earlier one: the place holds the earlier backup or
    // the new one, never a mix, and the next backup there is not refused.
    putBackLive();
    testutil::TempDir to;
    ASSERT_EQ(BackupLog(to.path().c_str(), nullptr), 1);
    ASSERT_EQ(Add(kClassGalaxy, 31, kGalaxyBits, kJd + 1), 1);
    live.Take(store.dir.path());
    place.Take(to.path());
    KillAtEveryStep(
        "log backup",
        [&] {
            putBackLive();
            place.PutBack();
        },
        [&] { return BackupLog(to.path().c_str(), nullptr); },
        [&] {
            auto out = Kept(to.path(), "place");
            for (const auto &kv : logTree()) out[kv.first] = kv.second;
            return out;
        },
        [&](int) {
            EXPECT_EQ(BackupLog(to.path().c_str(), nullptr), 1) << "the next backup was refused";
            EXPECT_EQ(Names(to.path()), std::vector<std::string>{"logs"});
        });
    SetFileStepKill(0);
    SetDiskSyncsSkipped(false);
}
#endif
