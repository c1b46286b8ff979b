// The crash-safe file layer: a rewrite either replaces the whole file or
// leaves it as it was, whichever step fails; nothing is left beside it; the
// seam fails exactly the step it is told to. Then the core stores that
// rewrite whole files (the settings file's key and directory lines, a dialog
// setting's removal, a group list, a safe copy) driven through every failure
// point: each either succeeds with the new content or reports failure with
// the old file whole.
#include "core/safefile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/datapaths.h"
#include "core/dlgsettings.h"
#include "core/fileutil.h"
#include "core/fsys.h"
#include "core/userfolder.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

using testutil::FailurePointRun;
using testutil::ReadFileBytes;
using testutil::TempDir;
using testutil::WriteFileBytes;

namespace {

// Names in a folder other than the ones expected: leftover temporaries.
std::vector<std::string> Leftovers(const std::string &folder, const std::vector<std::string> &expected) {
    std::vector<FsEntry> entries;
    std::vector<std::string> extra;
    if (!FsListFolder(folder, entries)) return {"<unreadable folder>"};
    for (const FsEntry &e : entries) {
        bool known = false;
        for (const std::string &name : expected) known = known || e.name == name;
        if (!known) extra.push_back(e.name);
    }
    return extra;
}

TEST(SafeRewrite, ReplacesWholeOrLeavesTheOriginal) {
    TempDir dir;
    const std::string target = dir.file("store.bin");
    ASSERT_TRUE(WriteFileBytes(target, "old bytes"));
    const std::string fresh(100000, 'n');  // more than one stream buffer
    int steps = testutil::ForEachFailurePoint(
        [&] { ASSERT_TRUE(WriteFileBytes(target, "old bytes")); },
        [&] { return WriteWholeFileSafely(target.c_str(), fresh.data(), fresh.size()); },
        [&](const FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            EXPECT_EQ(run.result, 0);
            EXPECT_EQ(ReadFileBytes(target), "old bytes");
            EXPECT_EQ(Leftovers(dir.path(), {"store.bin"}), std::vector<std::string>{});
        });
    // open, write, flush, close, rename: every kind of step is exercised.
    EXPECT_EQ(steps, 5);
    ASSERT_EQ(WriteWholeFileSafely(target.c_str(), fresh.data(), fresh.size()), 1);
    EXPECT_EQ(ReadFileBytes(target), fresh);
    EXPECT_EQ(Leftovers(dir.path(), {"store.bin"}), std::vector<std::string>{});
}

TEST(SafeRewrite, CallerFailureAndAbandonKeepTheOriginal) {
    TempDir dir;
    const std::string target = dir.file("a.bin");
    ASSERT_TRUE(WriteFileBytes(target, "keep"));
    {
        SafeRewrite r;
        ASSERT_EQ(BeginSafeRewrite(target.c_str(), &r), 1);
        ASSERT_EQ(SafeWriteAll(r.file, "half", 4), 1);
        r.failed = true;  // the caller's own step failed
        EXPECT_EQ(CommitSafeRewrite(&r), 0);
    }
    {
        SafeRewrite r;
        ASSERT_EQ(BeginSafeRewrite(target.c_str(), &r), 1);
        ASSERT_EQ(SafeWriteAll(r.file, "dropped", 7), 1);
        // Neither committed nor abandoned: going out of scope abandons it.
    }
    EXPECT_EQ(ReadFileBytes(target), "keep");
    EXPECT_EQ(Leftovers(dir.path(), {"a.bin"}), std::vector<std::string>{});
    // A new file where none was.
    ASSERT_EQ(WriteWholeFileSafely(dir.file("new.bin").c_str(), "x", 1), 1);
    EXPECT_EQ(ReadFileBytes(dir.file("new.bin")), "x");
    // No target, no folder: refused.
    EXPECT_EQ(WriteWholeFileSafely("", "x", 1), 0);
    EXPECT_EQ(WriteWholeFileSafely(dir.file("no/such/folder.bin").c_str(), "x", 1), 0);
}

TEST(SafeRewrite, TwoRewritesOfOneFileUseTwoTemporaries) {
    TempDir dir;
    const std::string target = dir.file("t.bin");
    SafeRewrite a, b;
    ASSERT_EQ(BeginSafeRewrite(target.c_str(), &a), 1);
    ASSERT_EQ(BeginSafeRewrite(target.c_str(), &b), 1);
    EXPECT_NE(a.temporary, b.temporary);
    ASSERT_EQ(SafeWriteAll(a.file, "first", 5), 1);
    ASSERT_EQ(SafeWriteAll(b.file, "second", 6), 1);
    ASSERT_EQ(CommitSafeRewrite(&a), 1);
    ASSERT_EQ(CommitSafeRewrite(&b), 1);
    EXPECT_EQ(ReadFileBytes(target), "second");  // the later writer wins whole
}

TEST(FileSteps, TheSeamFailsTheNamedStepAndCounts) {
    TempDir dir;
    const std::string path = dir.file("s.bin");
    ASSERT_TRUE(WriteFileBytes(path, "abc"));
    SetFileStepFailure(2);
    FileHandle f(SafeOpen(path.c_str(), "rb"));  // step 1
    ASSERT_TRUE(f);
    char b[3];
    EXPECT_EQ(SafeRead(b, 1, 3, f.get()), 0u);  // step 2 fails
    EXPECT_EQ(FailedFileStep(), kFileStepRead);
    EXPECT_EQ(SafeRead(b, 1, 3, f.get()), 3u);  // step 3 goes through
    EXPECT_EQ(CountFileSteps(), 3);
    SetFileStepFailure(0);
    EXPECT_EQ(FailedFileStep(), -1);
    EXPECT_STREQ(FileStepName(kFileStepRename), "rename");
    std::string all;
    ASSERT_EQ(ReadWholeFile(path.c_str(), &all), 1);
    EXPECT_EQ(all, "abc");
    SetFileStepFailure(2);  // the read of ReadWholeFile
    EXPECT_EQ(ReadWholeFile(path.c_str(), &all), 0);
    SetFileStepFailure(0);
}

// ---- the core stores through every failure point -------------------------------------

struct SuiteFolders : ::testing::Test {
    TempDir data, user;
    void SetUp() override {
        for (const char *d : {"ref", "map", "ss"}) ASSERT_EQ(EnsureDirectory(data.file(d).c_str()), 1);
        ASSERT_TRUE(testutil::SetSuiteValue("DataPath", data.path().c_str()));
        ASSERT_TRUE(testutil::SetSuiteValue("UserPath", user.path().c_str()));
        SetUserDataFolder(user.path().c_str());
    }
    void TearDown() override {
        SetFileStepFailure(0);
        testutil::SetSuiteValue("DataPath", nullptr);
        testutil::SetSuiteValue("UserPath", nullptr);
    }
};

const char kIni[] = "$/ref\n$/ref\n$/ref\n$/map\n$/map\n$/map\n$/ss\n$/ss\nILEVEL 0\nZOOM 4\n";

TEST_F(SuiteFolders, SettingsRewritesThroughEveryFailurePoint) {
    const std::string ini = data.file("nightjar.ini");
    struct Case {
        const char *what;
        std::function<int()> operation;
        const char *expectAfter;  // a line the new file holds
    } cases[] = {
        {"key line", [] { return WriteSettingsInt("ZOOM", 7); }, "ZOOM 7"},
        {"new key line", [] { return WriteSettingsInt("GRID", 1); }, "GRID 1"},
        {"map lines", [] { return WriteMapDirLines("$/m1", "$/m2", "$/m3"); }, "$/m2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        testutil::FailureTableLabel label(std::string("settings file ") + c.what);
        std::string before;
        testutil::ForEachFailurePoint(
            [&] {
                ASSERT_TRUE(WriteFileBytes(ini, kIni));
                before = ReadFileBytes(ini);
            },
            c.operation,
            [&](const FailurePointRun &run) {
                SCOPED_TRACE(testutil::DescribeFailurePoint(run));
                std::string after = ReadFileBytes(ini);
                if (run.result == 1) {
                    EXPECT_NE(after.find(c.expectAfter), std::string::npos);
                } else {
                    EXPECT_EQ(after, before);
                }
                EXPECT_EQ(Leftovers(data.path(), {"nightjar.ini", "ref", "map", "ss"}),
                          std::vector<std::string>{});
            });
    }
}

TEST_F(SuiteFolders, DialogSettingRemovalThroughEveryFailurePoint) {
    const std::string dds = user.file("dds.bin");
    const int32_t a = 11, b = 22;
    std::string before;
    testutil::ForEachFailurePoint(
        [&] {
            ASSERT_EQ(ResetDialogSettings(), 1);
            ASSERT_EQ(PutDialogSetting(&a, sizeof a, 5), 1);
            ASSERT_EQ(PutDialogSetting(&b, sizeof b, 6), 1);
            before = ReadFileBytes(dds);
        },
        [] { return DeleteDialogSetting(5); },
        [&](const FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            int32_t v = 0;
            if (run.result == 1) {
                EXPECT_EQ(GetDialogSetting(&v, sizeof v, 5), 0);
            } else {
                EXPECT_EQ(ReadFileBytes(dds), before);
                EXPECT_EQ(GetDialogSetting(&v, sizeof v, 5), 1);
                EXPECT_EQ(v, 11);
            }
            ASSERT_EQ(GetDialogSetting(&v, sizeof v, 6), 1);  // the other setting, always
            EXPECT_EQ(v, 22);
        });
}

TEST_F(SuiteFolders, SafeCopyThroughEveryFailurePoint) {
    const std::string source = user.file("src.bin"), target = user.file("dst.bin");
    ASSERT_TRUE(WriteFileBytes(source, std::string(70000, 's')));
    testutil::ForEachFailurePoint(
        [&] { ASSERT_TRUE(WriteFileBytes(target, "previous")); },
        [&] { return CopyFileSafely(source.c_str(), target.c_str()); },
        [&](const FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            EXPECT_EQ(run.result, 0);
            EXPECT_EQ(ReadFileBytes(target), "previous");
        });
}

}  // namespace

// The recoveries remove the temporaries a killed rewrite left, and nothing
// else: the names the layer makes are told from files of the same ending.
TEST(SafeFile, RewriteTemporariesAreToldFromOtherFiles) {
    SafeRewrite rewrite;
    testutil::TempDir dir;
    ASSERT_EQ(BeginSafeRewrite(dir.file("loc.bin").c_str(), &rewrite), 1);
    std::string made = rewrite.temporary.substr(rewrite.temporary.find_last_of('/') + 1);
    AbandonSafeRewrite(&rewrite);
    EXPECT_TRUE(IsRewriteTemporaryName(made)) << made;
    const struct {
        const char *name;
        bool temporary;
    } cases[] = {
        {"loc.bin.4121-3.tmp", true},   {"ccd_Q.dat.7-12.tmp", true}, {"notes.tmp", false},
        {"loc.bin.4121.tmp", false},    {"loc.bin.-3.tmp", false},    {"loc.bin.4121-.tmp", false},
        {".1-2.tmp", false},            {"loc.bin.1-2-3.tmp", false}, {"loc.bin.4121-3.TMP", false},
    };
    for (const auto &c : cases) EXPECT_EQ(IsRewriteTemporaryName(c.name), c.temporary) << c.name;
}
