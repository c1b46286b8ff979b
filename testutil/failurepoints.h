// Drives a store operation through every file step the crash-safe layer
// counts, failing each in turn (core/safefile.h's test seam).
#pragma once
#include <functional>
#include <string>

namespace testutil {

struct FailurePointRun {
    int step;        // the failed step, 1-based
    int stepKind;    // FileStep of core/safefile.h
    int result;      // what the operation returned
};

// Runs prepare() then operation() once without failures and returns the
// number of file steps it took (0 when the clean run did not succeed, which
// fails the calling test). Then, for each step k of that run: prepare(),
// operation() with step k failing, and check(run). The seam is off again
// whenever prepare() and check() run.
int ForEachFailurePoint(const std::function<void()> &prepare, const std::function<int()> &operation,
                        const std::function<void(const FailurePointRun &)> &check);

// "step 3 (write)" for messages.
std::string DescribeFailurePoint(const FailurePointRun &run);

// The failure table: every run of ForEachFailurePoint appends a row (the
// operation, the failed step, whether the store's data read back whole, that
// is whether check() added no test failure, and whether the operation
// reported the failure) as a tab-separated line to the file that
// GLEANER_FAILURE_TABLE names; nothing when it is unset
// (tools/failure_table.sh prints the table). The operation is the label set
// while the loop runs, else the test's name.
class FailureTableLabel {
public:
    explicit FailureTableLabel(const std::string &operation);
    ~FailureTableLabel();
    FailureTableLabel(const FailureTableLabel &) = delete;
    FailureTableLabel &operator=(const FailureTableLabel &) = delete;

private:
    std::string previous_;
};

}  // namespace testutil
