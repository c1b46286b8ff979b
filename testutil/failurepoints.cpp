// The failure-point loop of the store tests (see failurepoints.h).
#include "testutil/failurepoints.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "core/safefile.h"

namespace testutil {

int ForEachFailurePoint(const std::function<void()> &prepare, const std::function<int()> &operation,
                        const std::function<void(const FailurePointRun &)> &check) {
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
        check(run);
    }
    return steps;
}

std::string DescribeFailurePoint(const FailurePointRun &run) {
    return "step " + std::to_string(run.step) + " (" + FileStepName(run.stepKind) + ")";
}

void RecordFailurePoint(const std::string &operation, const FailurePointRun &run, bool dataIntact) {
    const char *table = std::getenv("GLEANER_FAILURE_TABLE");
    if (!table || !*table) return;
    std::FILE *f = std::fopen(table, "a");
    if (!f) return;
    std::fprintf(f, "%s\t%d\t%s\t%s\t%s\n", operation.c_str(), run.step, FileStepName(run.stepKind),
                 dataIntact ? "yes" : "NO", run.result == 1 ? "no (success)" : "yes");
    std::fclose(f);
}

}  // namespace testutil
