// Child processes for the tests of two writers and of kills (POSIX builds:
// the native tests fork; the Windows build has no fork).
#pragma once
#ifndef _WIN32
#include <functional>
#include <string>

namespace testutil {

// Runs body(c) in count child processes at once, c = 0..count-1, each
// ending with _exit(body's result ? 0 : 1). true when every child exited 0.
bool RunInChildren(int count, const std::function<int(int)> &body);

// Kills an operation at every file step in turn (core/safefile.h's kill
// seam): prepare() puts the old state in place, operation() runs once
// cleanly (its steps counted; it must succeed), then for each step k:
// prepare(), the operation in a child killed at step k (the child must end
// at the step), and classify() in this process, which opens the store as a
// fresh program would and says 0 old state whole, 1 new state whole, 2
// damaged. Prints and returns the tally; syncs are skipped meanwhile.
struct KillPointTally {
    int runs = 0, intactOld = 0, intactNew = 0, damaged = 0;
};
KillPointTally ForEachKillPoint(const std::string &name, const std::function<void()> &prepare,
                                const std::function<int()> &operation, const std::function<int()> &classify);

}  // namespace testutil
#endif
