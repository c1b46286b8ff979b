// The writer's lock of the observing-log store, and what one writer may keep
// in memory between its adds.
//
// Every add takes an exclusive lock on "<log>/lock" (core/fsys.h), so two
// programs adding at once take turns instead of mixing their files. The lock
// file also holds a generation number that each writer raises as it takes
// the lock: a writer whose own last number is still there knows that nobody
// else wrote in between, and keeps the class folders' counters and key lists
// it already read instead of reading all 13 pid.bin files again.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/storelock.h"
#include "logstore/logpaths.h"
#include "logstore/logrecords.h"

// The counters and key lists of the 13 class folders as this process last
// read or wrote them.
struct LogFolderState {
    bool valid = false;
    uint32_t generation = 0;
    int32_t counters[kLogClassFolderCount] = {};   // the next number to issue
    std::vector<int32_t> keys[kLogClassFolderCount];
    // Within a pass: the counter pid.bin holds (numbers below it are covered
    // on the disk), and whether the counter or keys changed since it was written.
    int32_t reserved[kLogClassFolderCount] = {};
    bool changed[kLogClassFolderCount] = {};
};

// The log's lock file is a store lock (core/storelock.h): held again by the
// same process (an operation calling another that locks the log) it is
// counted, and only the first hold recovers and raises the generation.
struct LogStoreLock {
    StoreLock store;
    LogStoreLock() = default;
    LogStoreLock(const LogStoreLock &) = delete;
    LogStoreLock &operator=(const LogStoreLock &) = delete;
    ~LogStoreLock();  // released when still held
};

// Takes the lock, waiting while another writer holds it (up to the wait set
// below), raises the generation and brings the process's folder state up to
// date. 1 held; 0 when the log is in use by another writer all that time or
// the lock file cannot be made or written (a read-only log folder).
int AcquireLogStoreLock(LogStoreLock *lock);
void ReleaseLogStoreLock(LogStoreLock *lock);
// True while this process holds the writer's lock (an operation's or a pass's).
bool LogStoreLockHeld();
// Finishes or rolls back what an interrupted operation left (the log's mark,
// logstore/logundo.h) before anything reads the log: takes the lock for it
// when the mark is not empty and this process holds no lock. Every reader
// of the log's files calls it; cheap when there is nothing to do. 1 when
// the log is sound to read.
int EnsureLogStoreRecovered();
// The folder state under a held lock (read afresh when another writer wrote
// since this process last held the lock, or after ForgetLogFolderState);
// null when a pid.bin cannot be read.
LogFolderState *HeldLogFolderState();
// pid.bin of a folder rewritten whole through the crash-safe layer: the
// counter, the number of keys, the sorted keys. 1, or 0 with the old file.
int WriteLogPidFile(int folder, int32_t counter, const std::vector<int32_t> &keys);
// Drops what is kept, so that the next lock reads every pid.bin again (after
// a failed step, whose effect on the files is not known).
void ForgetLogFolderState();
// How long a writer waits for another's lock, in milliseconds (10,000; tests
// set less).
void SetLogStoreLockWait(int milliseconds);

// A whole import pass as one writer: the lock is held from BeginLogPass to
// EndLogPass (the adds in between take it no more) and the folder state is
// kept. Each add writes its entry file and summary row as it goes; the
// counters are raised on the disk in blocks of kLogNumberBlock (so a number
// is never issued twice, whatever stops the pass), while the key lists and
// the six indexes are changed in memory and written once, by EndLogPass, and
// the disk syncs of the whole pass are made there too (core/safefile.h's
// deferred syncs). A pass stopped before its end leaves complete entries
// whose keys and index entries the next add of the same observation puts
// back (the repair every add makes). BeginLogPass: 1, or 0 when the log is in
// use or cannot be locked (nothing is then held). EndLogPass: 1 when the key
// lists and indexes were written and every file reached the disk.
const int kLogNumberBlock = 64;
int BeginLogPass();
// Why the last BeginLogPass or lock failed: the log in use by another
// writer, or the user folder that cannot be written (or read).
const int kLogLockInUse = 1;
const int kLogLockNotWritable = 2;
int LastLogLockFailure();
int EndLogPass();
int LogPassActive();
// Within a pass: the entries of an index file as the pass has them (read
// from the disk on first use); null outside a pass or when it cannot be read.
std::vector<LogIndexEntry> *PassIndexEntries(const std::string &path);
void MarkPassIndexChanged(const std::string &path);
