// The log store's writer lock and the folder state kept under it.
#include "logstore/loglock.h"

#include <map>
#include <set>
#include <string>

#include "core/fileutil.h"
#include "core/fsys.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "logstore/logbackup.h"
#include "logstore/loggedobjects.h"
#include "logstore/logindex.h"
#include "logstore/logundo.h"

namespace {

int g_waitMilliseconds = 10000;
int g_lastFailure = 0;
int g_locksHeld = 0;

LogFolderState g_state;
std::string g_stateFolder;  // the user data folder the state belongs to

// Reads the 13 pid.bin files into the state; false at the first that fails.
bool LoadFolderState(LogFolderState *state) {
    state->valid = false;
    for (int folder = 0; folder < kLogClassFolderCount; ++folder) {
        if (!ReadPidFile(folder, &state->counters[folder], &state->keys[folder])) return false;
        state->reserved[folder] = state->counters[folder];
        state->changed[folder] = false;
    }
    state->valid = true;
    return true;
}

}  // namespace

LogStoreLock g_passLock;
bool g_passActive = false;
std::map<std::string, std::vector<LogIndexEntry>> g_passIndexes;
std::set<std::string> g_changedIndexes;

int WriteLogPidFile(int folder, int32_t counter, const std::vector<int32_t> &keys) {
    char path[kLogPathSize];
    MakePidFilePath(GetClassBitsOfFolder(folder), path);
    if (!path[0]) return 0;
    std::vector<int32_t> file;
    file.reserve(keys.size() + 2);
    file.push_back(counter);
    file.push_back(static_cast<int32_t>(keys.size()));
    file.insert(file.end(), keys.begin(), keys.end());
    return WriteWholeFileSafely(path, file.data(), file.size() * sizeof(int32_t));
}

std::vector<LogIndexEntry> *PassIndexEntries(const std::string &path) {
    if (!g_passActive || path.empty()) return nullptr;
    auto at = g_passIndexes.find(path);
    if (at != g_passIndexes.end()) return &at->second;
    std::vector<LogIndexEntry> entries;
    if (!ReadIndexFileFromDisk(path, &entries)) return nullptr;
    return &(g_passIndexes[path] = std::move(entries));
}

void MarkPassIndexChanged(const std::string &path) { g_changedIndexes.insert(path); }

LogStoreLock::~LogStoreLock() { ReleaseLogStoreLock(this); }

void SetLogStoreLockWait(int milliseconds) { g_waitMilliseconds = milliseconds < 0 ? 0 : milliseconds; }

void ForgetLogFolderState() { g_state.valid = false; }

LogFolderState *HeldLogFolderState() {
    if (!g_state.valid) {
        ForgetLogFoldersMade();
        EnsureLogFolders();
        if (!LoadFolderState(&g_state)) return nullptr;
    }
    return &g_state;
}

int AcquireLogStoreLock(LogStoreLock *lock) {
    if (!lock) return 0;
    ReleaseLogStoreLock(lock);
    g_lastFailure = kLogLockNotWritable;
    char path[kLogPathSize];
    if (!MakeLogPath(path, nullptr)) return 0;
    std::string file = std::string(path) + "/lock";
    if (StoreLockHolds(file) > 0) {
        // Held already by this process: the operation in progress recovered
        // and raised the generation when it took it.
        if (!AcquireStoreLock(file, &lock->store)) return 0;
        ++g_locksHeld;
        g_lastFailure = 0;
        return 1;
    }
    // A restore or a backup that a kill interrupted is finished or rolled
    // back first: a restore may have moved the live folder itself.
    if (!RecoverLogFolderOperations()) return 0;
    if (!EnsureDirectory(path)) return 0;
    bool inUse = false;
    if (!AcquireStoreLock(file, &lock->store, g_waitMilliseconds, &inUse)) {
        if (inUse) g_lastFailure = kLogLockInUse;  // another writer holds the log
        return 0;
    }
    std::FILE *f = HeldStoreLockFile(&lock->store);
    ++g_locksHeld;
    // A restore or a backup of another process began while this one waited.
    if (LogFolderOperationMarked()) {
        g_lastFailure = kLogLockInUse;
        ReleaseLogStoreLock(lock);
        return 0;
    }
    // An operation that a kill interrupted is rolled back before anything is read.
    int recovered = RecoverLogJournal();
    if (!recovered) {
        ReleaseLogStoreLock(lock);
        return 0;
    }
    if (recovered == 2) g_state.valid = false;
    uint32_t generation = 0;
    std::rewind(f);
    if (std::fread(&generation, 4, 1, f) != 1) generation = 0;
    const char *user = GetUserDataFolder();
    std::string folder = user ? user : "";
    if (!g_state.valid || g_state.generation != generation || g_stateFolder != folder) {
        ForgetLogFoldersMade();
        EnsureLogFolders();
        g_stateFolder = folder;
        if (!LoadFolderState(&g_state)) {
            ReleaseLogStoreLock(lock);
            return 0;
        }
    }
    // The raised number goes to the file before anything of the log changes:
    // a writer that cannot record it writes nothing, so no other writer ever
    // trusts a state this one changed.
    uint32_t raised = generation + 1;
    if (std::fseek(f, 0, SEEK_SET) != 0 || std::fwrite(&raised, 4, 1, f) != 1 || std::fflush(f) != 0) {
        g_state.valid = false;
        ReleaseLogStoreLock(lock);
        return 0;
    }
    g_state.generation = raised;
    g_lastFailure = 0;
    return 1;
}

void ReleaseLogStoreLock(LogStoreLock *lock) {
    if (!lock || lock->store.path.empty()) return;
    ReleaseStoreLock(&lock->store);
    --g_locksHeld;
}

bool LogStoreLockHeld() { return g_locksHeld > 0; }

int EnsureLogStoreRecovered() {
    if (g_locksHeld > 0 || LogJournalActive()) return 1;
    std::string mark = LogJournalPath();
    if (!LogFolderOperationMarked() && (mark.empty() || FsKind(mark) < 0)) return 1;
    LogStoreLock lock;
    return AcquireLogStoreLock(&lock);
}

int BeginLogPass() {
    if (g_passActive) return 1;
    if (!AcquireLogStoreLock(&g_passLock)) return 0;
    if (!HeldLogFolderState()) {
        ReleaseLogStoreLock(&g_passLock);
        return 0;
    }
    g_passIndexes.clear();
    g_changedIndexes.clear();
    g_passActive = true;
    BeginDeferredSyncs();
    return 1;
}

int EndLogPass() {
    if (!g_passActive) return 1;
    int ok = 1;
    // The indexes, then the key lists (with the true counters): each file
    // whole through the crash-safe layer.
    for (const std::string &path : g_changedIndexes) {
        auto at = g_passIndexes.find(path);
        if (at != g_passIndexes.end() && !WriteIndexFile(path, at->second)) ok = 0;
    }
    if (g_state.valid) {
        for (int folder = 0; folder < kLogClassFolderCount; ++folder) {
            if (!g_state.changed[folder]) continue;
            if (WriteLogPidFile(folder, g_state.counters[folder], g_state.keys[folder])) {
                g_state.reserved[folder] = g_state.counters[folder];
                g_state.changed[folder] = false;
            } else {
                ok = 0;
            }
        }
    }
    if (!ok) g_state.valid = false;  // read again from the disk next time
    g_passIndexes.clear();
    g_changedIndexes.clear();
    g_passActive = false;
    if (!EndDeferredSyncs()) ok = 0;
    ReleaseLogStoreLock(&g_passLock);
    return ok;
}

int LogPassActive() { return g_passActive ? 1 : 0; }

int LastLogLockFailure() { return g_lastFailure; }
