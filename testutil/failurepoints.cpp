// The failure-point loop of the store tests (see failurepoints.h).
#include "testutil/failurepoints.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "core/safefile.h"

namespace testutil {

namespace {

std::string g_label;

int FailedParts() {
    const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!info) return 0;
    const ::testing::TestResult *result = info->result();
    int failed = 0;
    for (int i = 0; i < result->total_part_count(); ++i)
        if (result->GetTestPartResult(i).failed()) ++failed;
    return failed;
}

void RecordRow(const FailurePointRun &run, bool intact) {
    const char *table = std::getenv("GLEANER_FAILURE_TABLE");
    if (!table || !*table) return;
    std::string operation = g_label;
    if (operation.empty()) {
        const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
        if (info) operation = std::string(info->test_suite_name()) + "." + info->name();
    }
    std::FILE *f = std::fopen(table, "a");
    if (!f) return;
    std::fprintf(f, "%s\t%d\t%s\t%s\t%s\n", operation.c_str(), run.step, FileStepName(run.stepKind),
                 intact ? "yes" : "NO", run.result == 1 ? "no (succeeded)" : "yes");
    std::fclose(f);
}

}  // namespace

FailureTableLabel::FailureTableLabel(const std::string &operation) : previous_(g_label) { g_label = operation; }
FailureTableLabel::~FailureTableLabel() { g_label = previous_; }

int ForEachFailurePoint(const std::function<void()> &prepare, const std::function<int()> &operation,
                        const std::function<void(const FailurePointRun &)> &check) {
    // A failed step is no power cut: the runs hand their bytes to the system
    // without waiting for the disk (every step is taken and counted as
    // before), so the table runs at the processor's pace, not the disk's.
    struct SkippedSyncs {
        SkippedSyncs() { SetDiskSyncsSkipped(true); }
        ~SkippedSyncs() { SetDiskSyncsSkipped(false); }
    } skipped;
    prepare();
    SetFileStepFailure(0);
    int clean = operation();
    int steps = CountFileSteps();
    EXPECT_EQ(clean, 1) << "the operation must succeed when no step fails";
    EXPECT_GT(steps, 0) << "the operation took no file step through the safe layer";
    if (clean != 1) return 0;
    for (int k = 1; k <= steps; ++k) {
        prepare();
        SetFileStepFailure(k);
        FailurePointRun run;
        run.step = k;
        run.result = operation();
        run.stepKind = FailedFileStep();
        SetFileStepFailure(0);
        int failedBefore = FailedParts();
        check(run);
        RecordRow(run, FailedParts() == failedBefore);
    }
    return steps;
}

std::string DescribeFailurePoint(const FailurePointRun &run) {
    return "step " + std::to_string(run.step) + " (" + FileStepName(run.stepKind) + ")";
}


}  // namespace testutil
