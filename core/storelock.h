// The writer's lock of a store that a second program of the suite may write
// while this one runs: an exclusive operating-system lock on a lock file in
// the store's folder (core/fsys.h's FsTryLockFile), which the system drops
// when the holder exits or is killed, so no lock outlives its process.
//
// Within one process the lock of a path is counted: a holder that takes it
// again (an operation calling another that locks the same store) goes on
// holding it, and the file is closed only when the last hold is released
// (closing any stream of a locked file would drop a POSIX lock early).
#pragma once
#include <cstdio>
#include <string>

struct StoreLock {
    std::string path;  // empty while not held
    StoreLock() = default;
    StoreLock(const StoreLock &) = delete;
    StoreLock &operator=(const StoreLock &) = delete;
    ~StoreLock();  // released when still held
};

// Takes the lock of lockPath (the file is made when absent), waiting while
// another process holds it, up to waitMilliseconds (negative: the store-lock
// wait). 1 held; 0 when another writer held it all that time (*inUse set) or
// the file cannot be made (*inUse cleared).
int AcquireStoreLock(const std::string &lockPath, StoreLock *lock, int waitMilliseconds = -1,
                     bool *inUse = nullptr);
// The open lock file of a held lock (a store may keep a few bytes in it, read
// and written through this stream); null when not held.
std::FILE *HeldStoreLockFile(const StoreLock *lock);
// How many holds this process has on the lock of lockPath (0: not held).
int StoreLockHolds(const std::string &lockPath);
// As AcquireStoreLock, without waiting: 0 at once while another holds it.
int TryStoreLock(const std::string &lockPath, StoreLock *lock);
void ReleaseStoreLock(StoreLock *lock);
// How long a writer waits for another's lock, in milliseconds (10,000; tests
// set less).
void SetStoreLockWait(int milliseconds);
