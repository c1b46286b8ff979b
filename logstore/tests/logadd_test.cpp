// AddLogEntry: the first add, numbering per class folder, the duplicate test,
// key insertion, refusals, and interrupted adds that lose nothing.
#include "logstore/logadd.h"

#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/fsys.h"
#include "logstore/loggedobjects.h"
#include "logstore/logobject.h"
#include "logstore/logpaths.h"
#include "logstore/logentryfile.h"
#include "logstore/tests/logfixture.h"
#include "minorbodies/usercatalogs.h"
#include "core/safefile.h"
#include "instruments/storeio.h"
#include "logstore/logindex.h"
#include "logstore/loglock.h"
#include "testutil/failurepoints.h"

using namespace logtest;

namespace {

const double kJd = 2455033.5;  // 2009 July 21, 0h UT

// Object services for the tests: index 999 cannot be identified; every
// other object lies in constellation 56 and is named "Obj <index>".
int TestRefresh(ObjectRecord *r, double, const LocationRecord *, const DateRecord *, double) {
    if (r->index == 999) r->index = -1;
    r->constellation = 56;
    return r->index != -1;
}
int TestName(const ObjectRecord *r, char *name, int size) {
    std::snprintf(name, static_cast<size_t>(size), "Obj %d", static_cast<int>(r->index));
    return 1;
}

struct ServicesInstalled {
    ServicesInstalled() { SetLogObjectServices(TestRefresh, TestName); }
    ~ServicesInstalled() { SetLogObjectServices(nullptr, nullptr); }
};

// Every file under the log folder with its bytes.
// Every file of the log but its lock file (whose generation each add raises:
// it holds no log data).
std::map<std::string, std::string> Tree(const std::string &root) {
    std::map<std::string, std::string> out;
    std::vector<std::string> folders = {root};
    for (size_t i = 0; i < folders.size(); ++i) {
        std::vector<FsEntry> entries;
        FsListFolder(folders[i], entries);
        for (const FsEntry &e : entries) {
            std::string p = folders[i] + "/" + e.name;
            if (e.isFolder) folders.push_back(p);
            else if (p != root + "/lock") out[p] = testutil::ReadFileBytes(p);
        }
    }
    return out;
}

std::vector<int32_t> PidWords(const std::string &path) {
    std::string b = testutil::ReadFileBytes(path);
    std::vector<int32_t> w;
    for (size_t i = 0; i + 4 <= b.size(); i += 4) w.push_back(I32(b, i));
    return w;
}

}  // namespace

TEST(AddLogEntry, FirstAddCreatesTheStoreAndNumbersPerFolder) {
    Store store;
    ServicesInstalled services;
    std::unique_ptr<LogEntry> e = MakeEntry(5, 40, 0x10, kJd);
    int status = -1;
    EXPECT_EQ(AddLogEntryWithStatus(e.get(), "First light", &status), 0);
    EXPECT_EQ(status, kLogEntryAdded);
    for (const char *index : {"class", "night", "loc", "observer", "instrument", "cons"})
        EXPECT_TRUE(testutil::PathIsThere(store.log(index))) << index;
    EXPECT_EQ(PidWords(store.log("galaxies/pid.bin")), (std::vector<int32_t>{0, 0}));
    EXPECT_EQ(PidWords(store.log("stars/pid.bin")), (std::vector<int32_t>{1, 1, 40}));
    EXPECT_STREQ(e->designation, "Obj 40");

    // The summary row, byte by byte at its stated offsets.
    std::string pix = testutil::ReadFileBytes(store.log("stars/000000040.pix"));
    ASSERT_EQ(pix.size(), 4u + 330599u);
    EXPECT_EQ(I32(pix, 0), 1);
    EXPECT_EQ(I32(pix, 4), 0);                         // log number
    EXPECT_EQ(pix[4 + 4], 5);                          // class code
    EXPECT_EQ(I32(pix, 4 + 5), 40);                    // catalogue index
    EXPECT_EQ(I32(pix, 4 + 9), 0x10);                  // category bits
    EXPECT_EQ(std::string(pix.data() + 4 + 13), "Obj 40");
    EXPECT_EQ(F64(pix, 4 + 108), kJd);                 // the date record's Julian date
    EXPECT_EQ(std::string(pix.data() + 4 + 329), "Home");
    EXPECT_EQ(std::string(pix.data() + 4 + 362), "Ann");
    EXPECT_EQ(std::string(pix.data() + 4 + 330438), "Dob");
    EXPECT_EQ(pix[4 + 330598], 56);
    std::string bin = testutil::ReadFileBytes(store.log("stars/00000000.bin"));
    EXPECT_EQ(bin.size(), 330625u + 12u);
    EXPECT_EQ(std::string(bin.data() + 191), "Obj 40");
    EXPECT_FALSE(testutil::PathIsThere(store.log("stars/entry.new")));

    // The six indexes: 2009 July 21 00h UT at zone +1 is 01:00 local, night of the 20th.
    for (const char *index : {"class/04.idx", "night/20090720.idx", "observer/Ann.idx",
                              "instrument/Dob.idx", "loc/Home.idx", "cons/56.idx"}) {
        std::string b = testutil::ReadFileBytes(store.log(index));
        ASSERT_EQ(b.size(), 16u) << index;
        EXPECT_EQ(I32(b, 0), 1);
        EXPECT_EQ(I32(b, 4), 40);
        EXPECT_EQ(I32(b, 8), 4);
        EXPECT_EQ(I32(b, 12), 0);
    }

    e = MakeEntry(5, 41, 0x10, kJd + 0.1);
    EXPECT_EQ(AddLogEntry(e.get(), nullptr), 1);  // same folder, next number
    e = MakeEntry(6, 7, 0x100, kJd);
    EXPECT_EQ(AddLogEntry(e.get(), nullptr), 0);  // another folder starts at 0
    e = MakeEntry(5, 40, 0x10, kJd + 0.2);
    EXPECT_EQ(AddLogEntry(e.get(), nullptr), 2);  // logged object: only the counter rises
    EXPECT_EQ(PidWords(store.log("stars/pid.bin")), (std::vector<int32_t>{3, 2, 40, 41}));
}

TEST(AddLogEntry, DuplicateTestAddsNothing) {
    Store store;
    ServicesInstalled services;
    std::unique_ptr<LogEntry> e = MakeEntry(5, 40, 0x10, kJd);
    ASSERT_EQ(AddLogEntry(e.get(), "Nice Double"), 0);
    std::unique_ptr<LogEntry> bare = MakeEntry(5, 41, 0x10, kJd);
    ASSERT_EQ(AddLogEntry(bare.get(), nullptr), 1);
    std::map<std::string, std::string> before = Tree(store.dir.path() + "/log");
    struct Case {
        int32_t index;
        double dt;
        const char *observer, *instrument, *notes;
        int32_t want;  // -1: a new entry
    } cases[] = {
        {40, 0.0006943, "ANN", "dob", "nice double", 0},
        {40, -0.0006943, "ann", "DOB", "NICE DOUBLE", 0},
        {41, 0.0005, "Ann", "Dob", nullptr, 1},
        {41, 0.0005, "Ann", "Dob", "", 1},            // empty notes equal no notes
        {40, 0.0006944, "Ann", "Dob", "Nice Double", -1},
        {40, 0.0, "Bob", "Dob", "Nice Double", -1},
        {40, 0.0, "Ann", "Refractor", "Nice Double", -1},
        {40, 0.0, "Ann", "Dob", "Nice Doubles", -1},
        {41, 0.0, "Ann", "Dob", "x", -1},
    };
    for (const Case &c : cases) {
        std::unique_ptr<LogEntry> again = MakeEntry(5, c.index, 0x10, kJd + c.dt, c.observer, c.instrument);
        int status = 0;
        int32_t got = AddLogEntryWithStatus(again.get(), c.notes, &status);
        if (c.want >= 0) {
            EXPECT_EQ(got, c.want) << c.observer << " " << c.dt;
            EXPECT_EQ(status, kLogEntryAlreadyLogged);
            std::map<std::string, std::string> after = Tree(store.dir.path() + "/log");
            for (const auto &file : after) {
                auto was = before.find(file.first);
                EXPECT_TRUE(was != before.end() && was->second == file.second)
                    << file.first << " changed by a duplicate";
            }
            EXPECT_EQ(after.size(), before.size());
        } else {
            EXPECT_GE(got, 2) << c.observer << " " << c.dt;
            EXPECT_EQ(status, kLogEntryAdded);
        }
    }
}

TEST(AddLogEntry, KeysInsertedInOrderAndUserKeysLast) {
    Store store;
    ServicesInstalled services;
    int32_t n = 0;
    for (int32_t index : {50, 10, 30, 90}) {
        std::unique_ptr<LogEntry> e = MakeEntry(5, index, 0x10, kJd + n * 0.01);
        ASSERT_EQ(AddLogEntry(e.get(), nullptr), n++);
    }
    // A bare star position is logged under its key once, and its duplicate found.
    for (int i = 0; i < 2; ++i) {
        std::unique_ptr<LogEntry> e = MakeEntry(5, -2, 0x10, kJd + 0.5);
        EXPECT_EQ(AddLogEntry(e.get(), nullptr), 4);
    }
    EXPECT_EQ(PidWords(store.log("stars/pid.bin")), (std::vector<int32_t>{5, 5, -2, 10, 30, 50, 90}));
    LoggedKeySet set;
    ASSERT_EQ(LoadLoggedObjectKeys(&set), 1);
    ObjectRecord o;
    ClearObjectRecord(&o);
    o.objectClass = 5;
    o.index = 30;
    o.categoryBits = 0x10;
    EXPECT_EQ(FindLoggedObjectKey(&set, &o), 1);
    o.index = 31;
    EXPECT_EQ(FindLoggedObjectKey(&set, &o), 0);
    FreeLoggedObjectKeys(&set);
}

TEST(AddLogEntry, RefusalsWriteNothing) {
    Store store;
    ServicesInstalled services;
    std::unique_ptr<LogEntry> e = MakeEntry(5, 999, 0x10, kJd);
    EXPECT_EQ(AddLogEntry(e.get(), nullptr), -2);
    EXPECT_FALSE(testutil::PathIsThere(store.log("")));
    struct Case {
        int cls;
        uint32_t bits;
        const char *observer, *instrument;
    } cases[] = {{15, 0x4000, "Ann", "Dob"}, {19, 0x40000, "Ann", "Dob"}, {5, 0x10, "", "Dob"},
                 {5, 0x10, "Ann", ""}};
    for (const Case &c : cases) {
        e = MakeEntry(c.cls, 3, c.bits, kJd, c.observer, c.instrument);
        EXPECT_EQ(AddLogEntry(e.get(), nullptr), -1) << c.cls;
    }
    std::map<std::string, std::string> tree = Tree(store.dir.path() + "/log");
    for (const auto &file : tree)
        EXPECT_NE(file.first.find("pid.bin"), std::string::npos) << file.first;
    // A user star that is not in the user's star file cannot be stored
    // without its definition: refused before any write.
    e = MakeEntry(12, 3, 0x10, kJd);
    EXPECT_EQ(AddLogEntry(e.get(), nullptr), -1);
    for (const auto &file : Tree(store.dir.path() + "/log")) {  // stellar.bin lies outside "log"
        EXPECT_NE(file.first.find("pid.bin"), std::string::npos) << file.first;
        EXPECT_EQ(file.second, std::string(8, '\0')) << file.first;
    }
}

TEST(AddLogEntry, AFailedStepLosesNothingAndWritesNothing) {
    Store store;
    ServicesInstalled services;
    std::unique_ptr<LogEntry> e = MakeEntry(5, 40, 0x10, kJd);
    ASSERT_EQ(AddLogEntry(e.get(), "kept"), 0);
    std::string entry0 = testutil::ReadFileBytes(store.log("stars/00000000.bin"));

    // The summary file cannot be read (a folder in its place): the duplicate
    // test cannot be made, so nothing of the new entry is written, not even
    // its number issued.
    ASSERT_TRUE(EnsureDirectory(store.log("stars/000000041.pix").c_str()));
    e = MakeEntry(5, 41, 0x10, kJd + 1);
    EXPECT_EQ(AddLogEntry(e.get(), nullptr), -1);
    EXPECT_FALSE(testutil::PathIsThere(store.log("stars/00000001.bin")));
    EXPECT_EQ(PidWords(store.log("stars/pid.bin")), (std::vector<int32_t>{1, 1, 40}));
    ASSERT_TRUE(FsRemoveFolder(store.log("stars/000000041.pix")));

    // The night index cannot be written: the add is refused whole (nothing
    // of it is written, its number not issued); adding it again stores it
    // with the object in every index.
    ASSERT_TRUE(EnsureDirectory(store.log("night/20090721.idx").c_str()));
    e = MakeEntry(5, 41, 0x10, kJd + 1, "Ann", "Dob");
    EXPECT_EQ(AddLogEntry(e.get(), "later"), -1);
    EXPECT_FALSE(testutil::PathIsThere(store.log("stars/00000001.bin")));
    EXPECT_FALSE(testutil::PathIsThere(store.log("stars/000000041.pix")));
    EXPECT_EQ(PidWords(store.log("stars/pid.bin")), (std::vector<int32_t>{1, 1, 40}));
    ASSERT_TRUE(FsRemoveFolder(store.log("night/20090721.idx")));
    int status = 0;
    e = MakeEntry(5, 41, 0x10, kJd + 1, "Ann", "Dob");
    EXPECT_EQ(AddLogEntryWithStatus(e.get(), "LATER", &status), 1);
    EXPECT_EQ(status, kLogEntryAdded);
    std::string night = testutil::ReadFileBytes(store.log("night/20090721.idx"));
    ASSERT_EQ(night.size(), 16u);
    EXPECT_EQ(I32(night, 4), 41);
    EXPECT_EQ(I32(night, 12), 1);
    // What was stored before is untouched, and numbers are never issued twice.
    EXPECT_EQ(testutil::ReadFileBytes(store.log("stars/00000000.bin")), entry0);
    e = MakeEntry(5, 42, 0x10, kJd + 2);
    EXPECT_EQ(AddLogEntry(e.get(), nullptr), 2);
}

TEST(LoggedObjects, MarkUserObjectsScansEveryDeepSkyFolder) {
    Store store;
    EnsureLogFolders();
    auto writePid = [&](const char *folder, std::vector<int32_t> words) {
        std::string b(reinterpret_cast<const char *>(words.data()), words.size() * 4);
        ASSERT_TRUE(testutil::WriteFileBytes(store.log(folder) + "/pid.bin", b));
    };
    writePid("galaxy groups", {1, 1, 0x40000003});
    writePid("dark nebulae", {2, 2, 7, 0x40000005});
    writePid("stars", {2, 2, 0x40000001, 0x40000009});
    uint8_t marks[8] = {0};
    EXPECT_EQ(MarkLoggedUserObjects(18, marks, 8), 1);  // galaxies etc. are empty
    EXPECT_EQ(std::vector<uint8_t>(marks, marks + 8), (std::vector<uint8_t>{0, 0, 0, 1, 0, 1, 0, 0}));
    uint8_t starMarks[8] = {0};
    EXPECT_EQ(MarkLoggedUserObjects(12, starMarks, 8), 1);  // id 9 is beyond the array
    EXPECT_EQ(std::vector<uint8_t>(starMarks, starMarks + 8), (std::vector<uint8_t>{0, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(MarkLoggedUserObjects(5, starMarks, 8), 0);
    // A damaged count never sizes an allocation.
    writePid("comets", {0, 0x7fffffff});
    LoggedKeySet set;
    EXPECT_EQ(LoadLoggedObjectKeys(&set), 0);
}

TEST(AddLogEntry, UserStarTravelsWithItsDefinition) {
    Store store;
    ServicesInstalled services;
    int32_t count = 0;
    FILE *stars = OpenUserStarFile(&count);
    ASSERT_TRUE(stars);
    UserStarRecord star;
    std::memset(&star, 0, sizeof star);
    std::strncpy(star.name, "Garden Star", 32);
    star.magnitude = 650;
    ASSERT_EQ(AppendUserStarRecord(stars, &star), 1);
    std::fclose(stars);

    std::unique_ptr<LogEntry> e = MakeEntry(12, star.id, 0x10, kJd);
    ASSERT_EQ(AddLogEntry(e.get(), "Reddish"), 0);
    EXPECT_EQ(PidWords(store.log("stars/pid.bin")), (std::vector<int32_t>{1, 1, 0x40000001}));
    EXPECT_TRUE(testutil::PathIsThere(store.log("stars/000000001s.pix")));
    std::string b = testutil::ReadFileBytes(store.log("stars/00000000.bin"));
    ASSERT_EQ(b.size(), 330625u + 47u + 8u);
    EXPECT_EQ(I32(b, 330625), 1);                            // the star's id
    EXPECT_EQ(std::string(b.data() + 330625 + 14), "Garden Star");
    EXPECT_EQ(std::string(b.data() + 330625 + 47), "Reddish");

    // Read back with its notes, and found as a duplicate.
    std::unique_ptr<LogEntry> back(new LogEntry);
    char *notes = nullptr;
    ASSERT_EQ(ReadLogEntryByNumber(0x10, 0, back.get(), &notes), 1);
    EXPECT_STREQ(notes, "Reddish");
    delete[] notes;
    e = MakeEntry(12, star.id, 0x10, kJd);
    int status = 0;
    EXPECT_EQ(AddLogEntryWithStatus(e.get(), "reddish", &status), 0);
    EXPECT_EQ(status, kLogEntryAlreadyLogged);
}

namespace {

// The index entries of a file as (folder, key) -> number.
std::map<std::pair<int32_t, int32_t>, int32_t> IndexMap(const std::string &bytes) {
    std::map<std::pair<int32_t, int32_t>, int32_t> out;
    if (bytes.size() < 4) return out;
    int32_t n = I32(bytes, 0);
    for (int32_t i = 0; i < n && 4 + 12 * (size_t)(i + 1) <= bytes.size(); ++i)
        out[{I32(bytes, 8 + 12 * i), I32(bytes, 4 + 12 * i)}] = I32(bytes, 12 + 12 * i);
    return out;
}

bool EndsWith(const std::string &s, const char *tail) {
    size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// Whether every file of the log as it was reads back whole in the log as it
// is: entry files byte for byte; summary rows counted before, unchanged, the
// count at most one higher; every object of an old index still in it; the
// keys of pid.bin all there and its counter never lowered. why gets the first
// difference.
bool OldLogWhole(const std::map<std::string, std::string> &before, const std::map<std::string, std::string> &after,
                 std::string *why) {
    for (const auto &file : before) {
        auto now = after.find(file.first);
        if (now == after.end()) {
            *why = file.first + " is gone";
            return false;
        }
        const std::string &a = file.second, &b = now->second;
        if (EndsWith(file.first, ".pix")) {
            int32_t n = I32(a, 0), m = b.size() >= 4 ? I32(b, 0) : -1;
            size_t rows = 4 + (size_t)n * sizeof(LogSummary);
            if ((m != n && m != n + 1) || b.size() < rows || b.compare(4, rows - 4, a, 4, rows - 4) != 0) {
                *why = file.first + ": rows or count changed";
                return false;
            }
        } else if (EndsWith(file.first, ".idx")) {
            // An object keeps its place; its number may become that of the new entry.
            auto old = IndexMap(a), now2 = IndexMap(b);
            for (const auto &entry : old)
                if (now2.count(entry.first) == 0) {
                    *why = file.first + ": an old index entry was lost";
                    return false;
                }
        } else if (EndsWith(file.first, "pid.bin")) {
            if (b.size() < 8 || I32(b, 0) < I32(a, 0)) {
                *why = file.first + ": counter lowered";
                return false;
            }
            for (size_t k = 8; k + 4 <= a.size(); k += 4)
                if (b.find(a.substr(k, 4), 8) == std::string::npos) {
                    *why = file.first + ": a key was lost";
                    return false;
                }
        } else if (a != b) {
            *why = file.first + " changed";
            return false;
        }
    }
    return true;
}

}  // namespace

// Every file step of an add failed in turn: the old log reads back whole and
// the add said it failed; then the same add again, with nothing failing,
// leaves the entry logged once, in its summary file, key list and all six
// indexes.
TEST(AddLogEntry, EveryFailurePointKeepsTheOldLogAndTheNextAddRepairs) {
    Store store;
    ServicesInstalled services;
    const std::string logRoot = store.dir.path() + "/log";
    std::map<std::string, std::string> before;
    auto prepare = [&] {
        // A log holding one entry of the object (its summary file, key and
        // indexes exist) and one of another object.
        std::filesystem::remove_all(logRoot);
        ForgetLogFolderState();
        ForgetLogFoldersMade();
        std::unique_ptr<LogEntry> a = MakeEntry(5, 40, 0x10, kJd, "Ann", "Dob");
        ASSERT_EQ(AddLogEntry(a.get(), "first"), 0);
        std::unique_ptr<LogEntry> b = MakeEntry(5, 41, 0x10, kJd + 0.01, "Bob", "Dob");
        ASSERT_EQ(AddLogEntry(b.get(), nullptr), 1);
        before = Tree(logRoot);
    };
    auto add = [&] {
        std::unique_ptr<LogEntry> e = MakeEntry(5, 40, 0x10, kJd + 0.02, "Ann", "Dob");
        return AddLogEntry(e.get(), "second") >= 0 ? 1 : 0;
    };
    testutil::FailureTableLabel label("log add");
    int steps = testutil::ForEachFailurePoint(prepare, add, [&](const testutil::FailurePointRun &run) {
        SCOPED_TRACE(testutil::DescribeFailurePoint(run));
        std::string why;
        bool whole = OldLogWhole(before, Tree(logRoot), &why);
        EXPECT_TRUE(whole) << why;
        EXPECT_EQ(run.result, 0) << "a failed step reported as success";
        // The same add again: logged exactly once, and found in every index.
        int status = 0;
        std::unique_ptr<LogEntry> e = MakeEntry(5, 40, 0x10, kJd + 0.02, "Ann", "Dob");
        int32_t number = AddLogEntryWithStatus(e.get(), "second", &status);
        ASSERT_GE(number, 2);
        std::string pix = testutil::ReadFileBytes(store.log("stars/000000040.pix"));
        ASSERT_GE(pix.size(), 4u);
        EXPECT_EQ(I32(pix, 0), 2) << "the entry is in its summary file once";
        int night = 0;
        for (const auto &file : Tree(logRoot)) {
            if (!EndsWith(file.first, ".idx") || file.first.find("/log/cons/") != std::string::npos) continue;
            auto entries = IndexMap(file.second);
            if (file.first.find("/Bob.idx") != std::string::npos) continue;
            auto at = entries.find({4, 40});
            ASSERT_TRUE(at != entries.end()) << file.first << " lacks the object";
            EXPECT_TRUE(testutil::PathIsThere(store.log("stars/" + std::string(8 - std::to_string(at->second).size(), '0') +
                                                        std::to_string(at->second) + ".bin")))
                << file.first << " refers to no entry file";
            if (file.first.find("/log/night/") != std::string::npos) ++night;
        }
        EXPECT_GE(night, 1);
        EXPECT_EQ(PidWords(store.log("stars/pid.bin")).size(), 4u) << "two keys";
    });
    EXPECT_GT(steps, 10);
    SetFileStepFailure(0);
}

// A summary file past 2 GB: its 6,497th row starts beyond 2^31 bytes, where a
// 32-bit offset would wrap. The file is sparse up to its last rows.
TEST(AddLogEntry, SummaryRowsBeyondTwoGigabytesAreAddressed) {
    Store store;
    ServicesInstalled services;
    std::unique_ptr<LogEntry> e = MakeEntry(5, 40, 0x10, kJd);
    ASSERT_EQ(AddLogEntry(e.get(), nullptr), 0);
    const int32_t rows = 6500;
    const std::string pix = store.log("stars/000000040.pix");
    {
        FILE *f = std::fopen(pix.c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(std::fwrite(&rows, 4, 1, f), 1u);
        std::fclose(f);
    }
    std::error_code error;
    std::filesystem::resize_file(pix, 4 + (uintmax_t)rows * sizeof(LogSummary), error);
    if (error) GTEST_SKIP() << "no room for a 2 GB sparse file here";
    // The next add of the object scans all 6,500 rows and appends the 6,501st.
    e = MakeEntry(5, 40, 0x10, kJd + 1, "Ann", "Far");
    ASSERT_EQ(AddLogEntry(e.get(), "far"), 1);
    EXPECT_EQ((uintmax_t)std::filesystem::file_size(pix), 4 + (uintmax_t)(rows + 1) * sizeof(LogSummary));
    FILE *f = std::fopen(pix.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    int32_t count = -1, number = -1;
    EXPECT_EQ(std::fread(&count, 4, 1, f), 1u);
    EXPECT_EQ(count, rows + 1);
    ASSERT_EQ(SafeSeek(f, 4 + (int64_t)rows * (int64_t)sizeof(LogSummary)), 1);
    ASSERT_EQ(std::fread(&number, 4, 1, f), 1u);
    std::fclose(f);
    EXPECT_EQ(number, 1);
    // And the duplicate test finds it there.
    int status = 0;
    e = MakeEntry(5, 40, 0x10, kJd + 1, "Ann", "Far");
    EXPECT_EQ(AddLogEntryWithStatus(e.get(), "far", &status), 1);
    EXPECT_EQ(status, kLogEntryAlreadyLogged);
    std::filesystem::remove(pix);
}
