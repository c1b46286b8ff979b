// The writer's lock of a store shared with other programs (see storelock.h).
#include "core/storelock.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <thread>

#include "core/fsys.h"

namespace {

int g_waitMilliseconds = 10000;
const int kPollMilliseconds = 20;

struct Held {
    std::FILE *file = nullptr;
    int count = 0;
};
// Never destroyed: a lock object of static lifetime may be released after
// this file's statics would have gone.
std::map<std::string, Held> &g_held = *new std::map<std::string, Held>;

}  // namespace

StoreLock::~StoreLock() { ReleaseStoreLock(this); }

void SetStoreLockWait(int milliseconds) { g_waitMilliseconds = milliseconds < 0 ? 0 : milliseconds; }

int AcquireStoreLock(const std::string &lockPath, StoreLock *lock, int waitMilliseconds, bool *inUse) {
    if (inUse) *inUse = false;
    if (!lock || lockPath.empty()) return 0;
    if (waitMilliseconds < 0) waitMilliseconds = g_waitMilliseconds;
    ReleaseStoreLock(lock);
    auto at = g_held.find(lockPath);
    if (at != g_held.end()) {
        ++at->second.count;
        lock->path = lockPath;
        return 1;
    }
    std::FILE *f = std::fopen(lockPath.c_str(), "r+b");
    if (!f) f = std::fopen(lockPath.c_str(), "w+b");
    if (!f) return 0;
    auto start = std::chrono::steady_clock::now();
    while (!FsTryLockFile(f)) {
        auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        if (waited.count() >= waitMilliseconds) {
            std::fclose(f);
            if (inUse) *inUse = true;
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMilliseconds));
    }
    Held &held = g_held[lockPath];
    held.file = f;
    held.count = 1;
    lock->path = lockPath;
    return 1;
}

void ReleaseStoreLock(StoreLock *lock) {
    if (!lock || lock->path.empty()) return;
    auto at = g_held.find(lock->path);
    lock->path.clear();
    if (at == g_held.end()) return;
    if (--at->second.count > 0) return;
    FsUnlockFile(at->second.file);
    std::fclose(at->second.file);
    g_held.erase(at);
}

std::FILE *HeldStoreLockFile(const StoreLock *lock) {
    if (!lock || lock->path.empty()) return nullptr;
    auto at = g_held.find(lock->path);
    return at == g_held.end() ? nullptr : at->second.file;
}

int StoreLockHolds(const std::string &lockPath) {
    auto at = g_held.find(lockPath);
    return at == g_held.end() ? 0 : at->second.count;
}

int TryStoreLock(const std::string &lockPath, StoreLock *lock) { return AcquireStoreLock(lockPath, lock, 0); }
