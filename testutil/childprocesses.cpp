// Child processes for the two-writer and kill tests (see childprocesses.h).
#ifndef _WIN32
#include "testutil/childprocesses.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/safefile.h"

namespace testutil {

bool RunInChildren(int count, const std::function<int(int)> &body) {
    std::fflush(nullptr);
    std::vector<pid_t> children;
    for (int c = 0; c < count; ++c) {
        pid_t child = fork();
        if (child < 0) break;
        if (child == 0) _exit(body(c) ? 0 : 1);
        children.push_back(child);
    }
    bool all = (int)children.size() == count;
    for (pid_t child : children) {
        int status = -1;
        all = waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0 && all;
    }
    return all;
}

KillPointTally ForEachKillPoint(const std::string &name, const std::function<void()> &prepare,
                                const std::function<int()> &operation, const std::function<int()> &classify) {
    KillPointTally tally;
    SetDiskSyncsSkipped(true);
    prepare();
    SetFileStepKill(0);
    EXPECT_EQ(operation(), 1) << name << ": the operation must succeed when nothing stops it";
    const int steps = CountFileSteps();
    for (int k = 1; k <= steps; ++k) {
        SCOPED_TRACE(name + " killed at step " + std::to_string(k));
        prepare();
        std::fflush(nullptr);
        pid_t child = fork();
        if (child < 0) {
            ADD_FAILURE() << "no child process";
            break;
        }
        if (child == 0) {
            SetFileStepKill(k);
            operation();
            std::_Exit(0);
        }
        int status = 0;
        EXPECT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kKilledAtFileStep) << "the run did not reach the step";
        ++tally.runs;
        switch (classify()) {
        case 0: ++tally.intactOld; break;
        case 1: ++tally.intactNew; break;
        default: ++tally.damaged; break;
        }
    }
    SetFileStepKill(0);
    SetDiskSyncsSkipped(false);
    std::printf("kill points %-20s runs %3d  intact old %3d  intact new %3d  damaged %d\n", name.c_str(), tally.runs,
                tally.intactOld, tally.intactNew, tally.damaged);
    return tally;
}

}  // namespace testutil
#endif
