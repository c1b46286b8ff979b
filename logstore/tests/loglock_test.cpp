// The log store's writer lock and the pass that holds it: two writers never
// mix their files, a writer kept out is told so, a pass writes the same log
// as single adds, and a pass stopped before its end is repaired by the next
// adds of its entries.
#include "logstore/loglock.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "core/fsys.h"
#include "logstore/logadd.h"
#include "logstore/logentryfile.h"
#include "logstore/logindex.h"
#include "logstore/logobject.h"
#include "logstore/logpaths.h"
#include "logstore/tests/logfixture.h"
#include "objects/objectrecord.h"

using namespace logtest;

namespace {

const double kJd = 2455033.5;  // 2009 July 20, 0h UT

// Every file of the log but the lock file, by path relative to the log.
std::vector<std::pair<std::string, std::string>> LogFiles(const std::string &root) {
    std::vector<std::pair<std::string, std::string>> out;
    std::vector<std::string> folders = {""};
    for (size_t i = 0; i < folders.size(); ++i) {
        std::vector<FsEntry> entries;
        FsListFolder(root + "/" + folders[i], entries);
        for (const FsEntry &e : entries) {
            std::string rel = folders[i].empty() ? e.name : folders[i] + "/" + e.name;
            if (e.isFolder) folders.push_back(rel);
            else if (rel != "lock") out.push_back({rel, testutil::ReadFileBytes(root + "/" + rel)});
        }
    }
    return out;
}

// Object services without a catalogue: every object lies in constellation
// 56 and is named "Obj <index>".
int TestRefresh(ObjectRecord *r, double, const LocationRecord *, const DateRecord *, double) {
    r->constellation = 56;
    return 1;
}
int TestName(const ObjectRecord *r, char *name, int size) {
    std::snprintf(name, static_cast<size_t>(size), "Obj %d", static_cast<int>(r->index));
    return 1;
}
struct ServicesInstalled {
    ServicesInstalled() { SetLogObjectServices(TestRefresh, TestName); }
    ~ServicesInstalled() { SetLogObjectServices(nullptr, nullptr); }
};

// Entries of seven stars, a new time each.
std::unique_ptr<LogEntry> Entry(int i, const char *observer = "Ann") {
    return MakeEntry(5, 100 + i % 7, 0x10, kJd + 0.01 * i, observer, "Dob");
}

}  // namespace

// A pass writes exactly the log that the same adds make one by one.
TEST(LogPass, APassWritesTheSameLogAsSingleAdds) {
    std::vector<std::pair<std::string, std::string>> single, passed;
    for (int mode = 0; mode < 2; ++mode) {
        Store store;
        ServicesInstalled services;
        if (mode == 1) {
            ASSERT_EQ(BeginLogPass(), 1);
        }
        for (int i = 0; i < 20; ++i) {
            std::unique_ptr<LogEntry> e = Entry(i);
            ASSERT_EQ(AddLogEntry(e.get(), i % 2 ? "notes" : nullptr), i);
        }
        // A duplicate within the pass is found as such.
        int status = 0;
        std::unique_ptr<LogEntry> again = Entry(3);
        EXPECT_EQ(AddLogEntryWithStatus(again.get(), "notes", &status), 3);
        EXPECT_EQ(status, kLogEntryAlreadyLogged);
        if (mode == 1) {
            EXPECT_EQ(LogPassActive(), 1);
            ASSERT_EQ(EndLogPass(), 1);
            EXPECT_EQ(LogPassActive(), 0);
        }
        (mode == 0 ? single : passed) = LogFiles(store.dir.path() + "/log");
    }
    ASSERT_EQ(single.size(), passed.size());
    for (size_t i = 0; i < single.size(); ++i) {
        EXPECT_EQ(single[i].first, passed[i].first);
        EXPECT_TRUE(single[i].second == passed[i].second) << single[i].first << " differs";
    }
}

#ifndef _WIN32

// Runs body in a child process; its exit status.
template <typename Body>
int InChild(Body body) {
    pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

// While another process holds the log for its pass, an add waits and is then
// told the log is in use; once the other is done the add goes in.
TEST(LogLock, ASecondWriterIsToldTheLogIsInUse) {
    Store store;
    ServicesInstalled services;
    int toChild[2], toParent[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(toParent), 0);
    pid_t pid = fork();
    if (pid == 0) {
        char c = 0;
        if (!BeginLogPass()) _exit(1);
        if (write(toParent[1], "h", 1) != 1) _exit(2);
        if (read(toChild[0], &c, 1) != 1) _exit(3);  // until the parent has tried
        std::unique_ptr<LogEntry> e = Entry(0, "Child");
        int ok = AddLogEntry(e.get(), nullptr) == 0;
        _exit(EndLogPass() && ok ? 0 : 4);
    }
    char c = 0;
    ASSERT_EQ(read(toParent[0], &c, 1), 1);  // the child holds the lock
    SetLogStoreLockWait(200);
    std::unique_ptr<LogEntry> e = Entry(1, "Parent");
    int status = 0;
    EXPECT_EQ(AddLogEntryWithStatus(e.get(), nullptr, &status), -1);
    EXPECT_EQ(status, kLogEntryStoreInUse);
    EXPECT_EQ(BeginLogPass(), 0);
    EXPECT_FALSE(testutil::PathIsThere(store.log("stars/00000000.bin")));  // nothing of the parent's
    ASSERT_EQ(write(toChild[1], "g", 1), 1);
    int childStatus = 0;
    waitpid(pid, &childStatus, 0);
    EXPECT_TRUE(WIFEXITED(childStatus) && WEXITSTATUS(childStatus) == 0);
    SetLogStoreLockWait(10000);
    e = Entry(1, "Parent");
    EXPECT_EQ(AddLogEntryWithStatus(e.get(), nullptr, &status), 1);  // after the child's entry
    EXPECT_EQ(status, kLogEntryAdded);
    for (int fd : {toChild[0], toChild[1], toParent[0], toParent[1]}) close(fd);
}

// Two processes adding at once take turns: every entry file holds the entry
// that its summary row describes, and every number is issued once.
TEST(LogLock, TwoWritersAtOnceNeverMixTheirEntries) {
    Store store;
    ServicesInstalled services;
    const int kEach = 25;
    pid_t pids[2];
    for (int w = 0; w < 2; ++w) {
        pids[w] = fork();
        if (pids[w] == 0) {
            const char *who = w == 0 ? "First" : "Second";
            for (int i = 0; i < kEach; ++i) {
                std::unique_ptr<LogEntry> e = Entry(i + 100 * w, who);
                if (AddLogEntry(e.get(), who) < 0) _exit(1);
            }
            _exit(0);
        }
    }
    for (pid_t pid : pids) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    int found = 0;
    for (int32_t number = 0; number < 2 * kEach + 5; ++number) {
        std::unique_ptr<LogEntry> e(new LogEntry);
        char *notes = nullptr;
        if (!ReadLogEntryByNumber(0x10, number, e.get(), &notes)) continue;
        std::unique_ptr<char[]> holder(notes);
        ++found;
        // The notes were written by the same writer as the observer's name.
        EXPECT_STREQ(notes, e->observer.name) << "entry " << number << " mixes two writers";
    }
    EXPECT_EQ(found, 2 * kEach);
}

// A pass stopped before its end (the program killed): its entries are
// complete, no number is issued again, and adding them again finds each one
// and puts back its key and index entries.
TEST(LogPass, AStoppedPassIsRepairedByTheNextAdds) {
    Store store;
    ServicesInstalled services;
    EXPECT_EQ(InChild([] {
                  if (!BeginLogPass()) return 1;
                  for (int i = 0; i < 10; ++i) {
                      std::unique_ptr<LogEntry> e = Entry(i);
                      if (AddLogEntry(e.get(), "n") != i) return 2;
                  }
                  return 0;  // exits without EndLogPass
              }),
              0);
    EXPECT_TRUE(testutil::PathIsThere(store.log("stars/00000009.bin")));
    // A new entry takes a number none of the pass's entries has.
    std::unique_ptr<LogEntry> later = Entry(50);
    EXPECT_GE(AddLogEntry(later.get(), "n"), 10);
    // Adding the pass's entries again: each is found, and the indexes hold them.
    for (int i = 0; i < 10; ++i) {
        int status = 0;
        std::unique_ptr<LogEntry> e = Entry(i);
        EXPECT_EQ(AddLogEntryWithStatus(e.get(), "n", &status), i);
        EXPECT_EQ(status, kLogEntryAlreadyLogged);
    }
    std::vector<LogIndexEntry> observer;
    ASSERT_EQ(ReadIndexFile(ObserverIndexPath("Ann"), &observer), 1);
    EXPECT_EQ(observer.size(), 7u);  // the seven objects
}

#endif
