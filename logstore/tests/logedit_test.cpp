// Editing and deleting log entries: the summaries, key lists and six indexes
// stay exact (checked against a rebuild from the entry files after every step
// of random sequences), the checks come before any write, and every failed
// file step leaves the store as it was.
#include "logstore/logedit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif
#include <cstdio>

#include "core/fsys.h"
#include "core/safefile.h"
#include "logstore/logadd.h"
#include "logstore/logentryfile.h"
#include "logstore/logindex.h"
#include "logstore/loglock.h"
#include "logstore/logobject.h"
#include "logstore/logpaths.h"
#include "logstore/tests/logfixture.h"
#include "minorbodies/usercatalogs.h"
#include "objects/categories.h"
#include "testutil/failurepoints.h"

using namespace logtest;

namespace {

const double kJd = 2455033.5;  // 2009 July 21, 0h UT
const int kClassPlanet = kClassSolarSystem;
const uint32_t kPlanetBits = 0x2;
const uint32_t kStarBits = 0x10;
const uint32_t kGalaxyBits = 0x100;
const int kStarConstellation = 56;
const int kGalaxyConstellation = 30;

// Where the test objects lie: a planet moves through three constellations,
// a new one every half day; everything else stays put.
int ConstellationAt(int objectClass, double jd) {
    if (objectClass == kClassPlanet) return 10 + static_cast<int>(std::floor(jd * 2.0)) % 3;
    return objectClass == kClassGalaxy ? kGalaxyConstellation : kStarConstellation;
}

int TestRefresh(ObjectRecord *r, double, const LocationRecord *, const DateRecord *date, double) {
    r->constellation = static_cast<uint8_t>(ConstellationAt(r->objectClass, date->julianDate));
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

// The numbers in row order of a summary file; empty when absent.
std::vector<int32_t> SummaryNumbers(const std::string &path) {
    std::vector<int32_t> out;
    if (!testutil::PathIsThere(path)) return out;
    std::string b = testutil::ReadFileBytes(path);
    for (int32_t i = 0; i < I32(b, 0); ++i) out.push_back(I32(b, 4 + i * sizeof(LogSummary)));
    return out;
}

int32_t RowOf(const std::string &summary, int32_t number) {
    std::vector<int32_t> n = SummaryNumbers(summary);
    auto at = std::find(n.begin(), n.end(), number);
    return at == n.end() ? -1 : static_cast<int32_t>(at - n.begin());
}

std::unique_ptr<LogEntry> ReadEntry(uint32_t bits, int32_t number) {
    std::unique_ptr<LogEntry> e(new LogEntry);
    EXPECT_EQ(ReadLogEntryByNumber(static_cast<int32_t>(bits), number, e.get(), nullptr), 1) << number;
    return e;
}

// The whole store rebuilt from its entry files and compared with what it
// holds: each object's summary rows (numbers in order, dates, constellation
// bytes), the key lists, and every index file of the six kinds (no empty one
// left behind, each object at the highest number of its entries there).
bool StoreMatchesEntryFiles(const Store &store, std::string *why) {
    std::ostringstream problems;
    typedef std::map<std::pair<int32_t, int32_t>, int32_t> IndexContent;  // (folder, key) -> number
    std::map<std::string, IndexContent> wantedIndexes;
    for (int folder = 0; folder < kLogClassFolderCount; ++folder) {
        char name[kLogFolderNameSize];
        GetClassFolderName(folder, name);
        std::string dir = store.log(name);
        std::vector<FsEntry> files;
        FsListFolder(dir, files);
        std::map<std::string, std::vector<int32_t>> numbersOf;  // summary file -> entry numbers
        std::set<int32_t> keys;
        for (const FsEntry &f : files) {
            if (f.name.size() != 12 || f.name.compare(8, 4, ".bin") != 0) continue;
            int32_t number = std::atoi(f.name.substr(0, 8).c_str());
            std::unique_ptr<LogEntry> e(new LogEntry);
            FILE *in = std::fopen((dir + "/" + f.name).c_str(), "rb");
            bool read = in && std::fread(e.get(), sizeof(LogEntry), 1, in) == 1;
            if (in) std::fclose(in);
            if (!read) {
                problems << f.name << " unreadable; ";
                continue;
            }
            int32_t key = e->catalogueIndex;
            bool user = IsUserObjectClass(e->objectClass) != 0;
            char pix[32];
            std::snprintf(pix, sizeof pix, user ? "%09ds.pix" : "%09d.pix", static_cast<int>(key));
            if (user) key = static_cast<int32_t>(static_cast<uint32_t>(key) | kLogUserKeyBit);
            numbersOf[dir + "/" + pix].push_back(number);
            keys.insert(key);
            int y, m, d;
            GetNightOfObservation(&e->site, e->julianDate, &y, &m, &d);
            char night[32];
            std::snprintf(night, sizeof night, "night/%04d%02d%02d.idx", y, m, d);
            char cls[32], cons[32];
            std::snprintf(cls, sizeof cls, "class/%02d.idx", folder);
            std::snprintf(cons, sizeof cons, "cons/%02d.idx", ConstellationAt(e->objectClass, e->julianDate));
            for (std::string idx : {std::string(night), std::string(cls), std::string(cons),
                                    "observer/" + std::string(e->observer.name) + ".idx",
                                    "instrument/" + std::string(e->instrument.name) + ".idx",
                                    "loc/" + std::string(e->site.name) + ".idx"}) {
                int32_t &n = wantedIndexes[idx].emplace(std::make_pair(folder, key), -1).first->second;
                n = std::max(n, number);
            }
            // The row of the entry: its date and constellation byte.
            std::string rows = testutil::ReadFileBytes(dir + "/" + pix);
            int32_t at = RowOf(dir + "/" + pix, number);
            if (at < 0) {
                problems << pix << " lacks row " << number << "; ";
                continue;
            }
            size_t row = 4 + static_cast<size_t>(at) * sizeof(LogSummary);
            if (F64(rows, row + 108) != e->julianDate) problems << pix << " row " << number << " date; ";
            if ((uint8_t)rows[row + 330598] != ConstellationAt(e->objectClass, e->julianDate))
                problems << pix << " row " << number << " constellation; ";
            if (std::string(rows.data() + row + 362) != e->observer.name)
                problems << pix << " row " << number << " observer; ";
        }
        // Summary files: exactly the objects with entries, rows in number order.
        for (const FsEntry &f : files) {
            if (f.name.size() < 4 || f.name.compare(f.name.size() - 4, 4, ".pix") != 0) continue;
            if (!numbersOf.count(dir + "/" + f.name)) problems << f.name << " left without entries; ";
        }
        for (auto &file : numbersOf) {
            std::sort(file.second.begin(), file.second.end());
            if (SummaryNumbers(file.first) != file.second) problems << file.first << " rows differ; ";
        }
        std::string pid = testutil::ReadFileBytes(dir + "/pid.bin");
        std::vector<int32_t> held;
        for (size_t k = 8; k + 4 <= pid.size() && held.size() < (size_t)I32(pid, 4); k += 4) held.push_back(I32(pid, k));
        if (held != std::vector<int32_t>(keys.begin(), keys.end())) problems << name << "/pid.bin keys; ";
    }
    // Every index file there is, against the rebuild.
    for (const char *kind : {"class", "night", "observer", "instrument", "loc", "cons"}) {
        std::vector<FsEntry> files;
        FsListFolder(store.log(kind), files);
        for (const FsEntry &f : files) {
            if (f.name.size() < 4 || f.name.compare(f.name.size() - 4, 4, ".idx") != 0) continue;
            std::string rel = std::string(kind) + "/" + f.name;
            IndexContent held;
            for (const auto &r : IndexRows(store.log(rel))) held[{r[1], r[0]}] = r[2];
            if (held.empty()) problems << rel << " left empty; ";
            auto want = wantedIndexes.find(rel);
            if (want == wantedIndexes.end()) {
                if (!held.empty()) problems << rel << " holds stale objects; ";
                continue;
            }
            if (held != want->second) problems << rel << " differs; ";
            wantedIndexes.erase(want);
        }
    }
    for (const auto &missing : wantedIndexes) problems << missing.first << " missing; ";
    *why = problems.str();
    return why->empty();
}

int32_t AddUserStar(const char *name) {
    int32_t count = 0;
    FILE *stars = OpenUserStarFile(&count);
    if (!stars) return -1;
    UserStarRecord star;
    std::memset(&star, 0, sizeof star);
    std::strncpy(star.name, name, 32);
    int ok = AppendUserStarRecord(stars, &star);
    std::fclose(stars);
    return ok ? star.id : -1;
}

struct Logged {
    int objectClass;
    int32_t index;
    uint32_t bits;
    int32_t number;
};

}  // namespace

// Random sequences of adds, edits and deletions (fixed seeds, so a failure
// repeats): after every step the store equals its rebuild from the entry files.
TEST(LogEditProperty, RandomSequencesKeepEveryIndexExact) {
    ServicesInstalled services;
    struct Object {
        int objectClass;
        int32_t index;
        uint32_t bits;
    } objects[] = {{kClassStar, 10, kStarBits}, {kClassStar, 11, kStarBits}, {kClassStar, 1, kStarBits},
                   {kClassPlanet, 3, kPlanetBits}, {kClassPlanet, 5, kPlanetBits},
                   {kClassGalaxy, 7, kGalaxyBits}, {kClassUserStar, 1, kStarBits}};
    const char *observers[] = {"Ann", "Bob"};
    const char *instruments[] = {"Dob", "Refractor"};
    const LocationRecord sites[] = {MakeSite("Home", 1.0), MakeSite("Cabin", -7.0)};
    for (unsigned seed : {1u, 2u, 3u}) {
        Store store;
        ASSERT_EQ(AddUserStar("Garden Star"), 1);  // user star 1 beside catalogue star 1: two summary files
        std::mt19937 random(seed);
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        auto time = [&] { return kJd + pick(4) + pick(48) / 48.0; };
        std::vector<Logged> logged;
        for (int step = 0; step < 45; ++step) {
            int op = logged.size() < 3 ? 0 : pick(10);
            std::ostringstream what;
            if (op < 4) {
                const Object &o = objects[pick(7)];
                std::unique_ptr<LogEntry> e = MakeEntry(o.objectClass, o.index, o.bits, time(),
                                                        observers[pick(2)], instruments[pick(2)], &sites[pick(2)]);
                int status = 0;
                int32_t number = AddLogEntryWithStatus(e.get(), pick(2) ? "notes" : nullptr, &status);
                what << "add " << o.index << " -> " << number;
                ASSERT_GE(number, 0) << what.str();
                if (status == kLogEntryAdded) logged.push_back({o.objectClass, o.index, o.bits, number});
            } else if (op < 8) {
                Logged &l = logged[static_cast<size_t>(pick(static_cast<int>(logged.size())))];
                std::unique_ptr<LogEntry> e = ReadEntry(l.bits, l.number);
                switch (pick(5)) {
                case 0: e->julianDate = time(); break;
                case 1: std::strcpy(e->observer.name, observers[pick(2)]); break;
                case 2: std::strcpy(e->instrument.name, instruments[pick(2)]); break;
                case 3: std::memcpy(&e->site, &sites[pick(2)], sizeof(LocationRecord)); break;
                default: break;  // the notes alone
                }
                char pix[kLogPathSize];
                MakeObjectFilePath(static_cast<int32_t>(l.bits), l.index, IsUserObjectClass(l.objectClass), pix);
                int r = UpdateLogEntry(static_cast<int32_t>(l.bits), RowOf(pix, l.number), l.number, e.get(),
                                       "edited");
                what << "edit " << l.index << "/" << l.number << " -> " << r;
                ASSERT_NE(r, kLogEditFailed) << what.str();
            } else if (op < 9) {
                size_t at = static_cast<size_t>(pick(static_cast<int>(logged.size())));
                std::unique_ptr<LogEntry> e = ReadEntry(logged[at].bits, logged[at].number);
                int r = DeleteLogEntry(e.get(), logged[at].number);
                what << "delete " << logged[at].index << "/" << logged[at].number << " -> " << r;
                ASSERT_EQ(r, kLogDeleteDone) << what.str();
                logged.erase(logged.begin() + static_cast<long>(at));
            } else {
                Logged l = logged[static_cast<size_t>(pick(static_cast<int>(logged.size())))];
                ObjectRecord o;
                ClearObjectRecord(&o);
                o.objectClass = static_cast<uint8_t>(l.objectClass);
                o.index = l.index;
                o.categoryBits = l.bits;
                int r = DeleteObjectLogEntries(&o);
                what << "delete all of " << l.index << " -> " << r;
                ASSERT_EQ(r, 1) << what.str();
                logged.erase(std::remove_if(logged.begin(), logged.end(),
                                            [&](const Logged &x) {
                                                return x.index == l.index && x.objectClass == l.objectClass;
                                            }),
                             logged.end());
            }
            std::string why;
            ASSERT_TRUE(StoreMatchesEntryFiles(store, &why))
                << "seed " << seed << " step " << step << " (" << what.str() << "): " << why;
        }
    }
}

TEST(UpdateLogEntry, NotesAloneChangeNoIndexAndANewNightMovesTheObject) {
    Store store;
    ServicesInstalled services;
    std::unique_ptr<LogEntry> e = MakeEntry(kClassStar, 40, kStarBits, kJd);  // 01:00 local, night of the 20th
    ASSERT_EQ(AddLogEntry(e.get(), "first"), 0);
    std::map<std::string, std::string> before = LogTree(store.log("night"));

    std::unique_ptr<LogEntry> edited = ReadEntry(kStarBits, 0);
    EXPECT_EQ(UpdateLogEntry(kStarBits, 0, 0, edited.get(), "other notes"), kLogEditRewritten);
    EXPECT_EQ(LogTree(store.log("night")), before);
    char *notes = nullptr;
    ASSERT_EQ(ReadLogEntryByNumber(kStarBits, 0, edited.get(), &notes), 1);
    EXPECT_STREQ(notes, "other notes");
    delete[] notes;

    // Eleven hours later: 12:00 local on the 21st, the night of the 21st.
    edited->julianDate = kJd + 11.0 / 24;
    EXPECT_EQ(UpdateLogEntry(kStarBits, 0, 0, edited.get(), nullptr), kLogEditRefiled);
    EXPECT_FALSE(testutil::PathIsThere(store.log("night/20090720.idx")));
    EXPECT_EQ(IndexRows(store.log("night/20090721.idx")), (std::vector<std::vector<int32_t>>{{40, 4, 0}}));
    std::string pix = testutil::ReadFileBytes(store.log("stars/000000040.pix"));
    EXPECT_EQ(F64(pix, 4 + 108), kJd + 11.0 / 24);
}

// A new site in another time zone at the same instant is another night; a
// moving body's new date may lie in another constellation: both are refiled
// and the summary row's constellation byte follows.
TEST(UpdateLogEntry, SiteAloneAndMovingBodiesAreRefiled) {
    Store store;
    ServicesInstalled services;
    LocationRecord west = MakeSite("West", -7.0);
    double jd = JulianDateFromCalendar(7, 21, 2009, 11.5);  // +1: 12:30 on the 21st; -7: 04:30 on the 21st
    std::unique_ptr<LogEntry> e = MakeEntry(kClassPlanet, 3, kPlanetBits, jd);
    ASSERT_EQ(AddLogEntry(e.get(), nullptr), 0);
    ASSERT_TRUE(testutil::PathIsThere(store.log("night/20090721.idx")));
    int before = ConstellationAt(kClassPlanet, jd);

    std::unique_ptr<LogEntry> edited = ReadEntry(kPlanetBits, 0);
    std::memcpy(&edited->site, &west, sizeof west);
    EXPECT_EQ(UpdateLogEntry(kPlanetBits, 0, 0, edited.get(), nullptr), kLogEditRefiled);
    EXPECT_FALSE(testutil::PathIsThere(store.log("night/20090721.idx")));
    EXPECT_TRUE(testutil::PathIsThere(store.log("night/20090720.idx")));
    EXPECT_FALSE(testutil::PathIsThere(store.log("loc/Home.idx")));

    edited->julianDate = jd + 0.5;  // half a day on: the next constellation
    int after = ConstellationAt(kClassPlanet, jd + 0.5);
    ASSERT_NE(after, before);
    EXPECT_EQ(UpdateLogEntry(kPlanetBits, 0, 0, edited.get(), nullptr), kLogEditRefiled);
    char cons[64];
    std::snprintf(cons, sizeof cons, "cons/%02d.idx", before);
    EXPECT_FALSE(testutil::PathIsThere(store.log(cons)));
    std::snprintf(cons, sizeof cons, "cons/%02d.idx", after);
    EXPECT_EQ(IndexRows(store.log(cons)), (std::vector<std::vector<int32_t>>{{3, 1, 0}}));
    std::string pix = testutil::ReadFileBytes(store.log("prime solar system/000000003.pix"));
    EXPECT_EQ((uint8_t)pix[4 + 330598], after);
}

// A name changed only in its letters' case: on Windows both spellings name
// one index file, elsewhere two; either way the file the new name opens
// holds the object, in both directions.
TEST(UpdateLogEntry, NamesChangedOnlyInCase) {
    Store store;
    ServicesInstalled services;
    std::unique_ptr<LogEntry> e = MakeEntry(kClassStar, 40, kStarBits, kJd, "Ann");
    ASSERT_EQ(AddLogEntry(e.get(), nullptr), 0);
    for (const char *name : {"ann", "Ann", "ANN"}) {
        std::unique_ptr<LogEntry> edited = ReadEntry(kStarBits, 0);
        std::strcpy(edited->observer.name, name);
        EXPECT_NE(UpdateLogEntry(kStarBits, 0, 0, edited.get(), nullptr), kLogEditFailed) << name;
        EXPECT_EQ(IndexRows(ObserverIndexPath(name)), (std::vector<std::vector<int32_t>>{{40, 4, 0}})) << name;
    }
}

// Refusals come before any write: a row that does not carry the number, a
// missing entry file, an object that is not logged.
TEST(LogEdit, RefusalsChangeNothing) {
    Store store;
    ServicesInstalled services;
    std::unique_ptr<LogEntry> e = MakeEntry(kClassStar, 40, kStarBits, kJd);
    ASSERT_EQ(AddLogEntry(e.get(), nullptr), 0);
    e = MakeEntry(kClassStar, 40, kStarBits, kJd + 1);
    ASSERT_EQ(AddLogEntry(e.get(), nullptr), 1);
    std::map<std::string, std::string> before = LogTree(store.dir.path() + "/log");

    std::unique_ptr<LogEntry> edited = ReadEntry(kStarBits, 1);
    std::strcpy(edited->observer.name, "Zed");
    EXPECT_EQ(UpdateLogEntry(kStarBits, 0, 1, edited.get(), nullptr), kLogEditFailed);  // row 0 is entry 0
    EXPECT_EQ(UpdateLogEntry(kStarBits, 5, 1, edited.get(), nullptr), kLogEditFailed);  // no row 5
    EXPECT_EQ(UpdateLogEntry(kStarBits, 1, 7, edited.get(), nullptr), kLogEditFailed);  // no entry 7
    std::unique_ptr<LogEntry> other = MakeEntry(kClassStar, 41, kStarBits, kJd);
    EXPECT_EQ(DeleteLogEntry(other.get(), 0), kLogDeleteNotLogged);  // entry 0 is not object 41's
    EXPECT_EQ(DeleteLogEntry(edited.get(), 9), kLogDeleteNotLogged);
    // While an import pass holds the log (its indexes in memory), neither runs.
    ASSERT_EQ(BeginLogPass(), 1);
    EXPECT_EQ(UpdateLogEntry(kStarBits, 1, 1, edited.get(), nullptr), kLogEditFailed);
    EXPECT_EQ(DeleteLogEntry(edited.get(), 1), kLogDeleteLocked);
    EXPECT_EQ(EndLogPass(), 1);
    EXPECT_EQ(LogTree(store.dir.path() + "/log"), before);
}

TEST(DeleteLogEntry, TheOnlyEntryTakesEverythingWithIt) {
    Store store;
    ServicesInstalled services;
    LocationRecord cabin = MakeSite("Cabin", -7.0);
    std::unique_ptr<LogEntry> keep = MakeEntry(kClassStar, 41, kStarBits, kJd + 2, "Bob", "Refractor", &cabin);
    ASSERT_EQ(AddLogEntry(keep.get(), nullptr), 0);
    std::unique_ptr<LogEntry> e = MakeEntry(kClassStar, 40, kStarBits, kJd);
    ASSERT_EQ(AddLogEntry(e.get(), "gone soon"), 1);
    EXPECT_EQ(DeleteLogEntry(e.get(), 1), kLogDeleteDone);
    EXPECT_FALSE(testutil::PathIsThere(store.log("stars/000000040.pix")));
    EXPECT_FALSE(testutil::PathIsThere(store.log("stars/00000001.bin")));
    std::string pid = testutil::ReadFileBytes(store.log("stars/pid.bin"));
    ASSERT_EQ(pid.size(), 12u);
    EXPECT_EQ(I32(pid, 0), 2);  // the counter keeps its value: 1 is never issued again
    EXPECT_EQ(I32(pid, 4), 1);
    EXPECT_EQ(I32(pid, 8), 41);
    for (const char *gone : {"night/20090720.idx", "observer/Ann.idx", "instrument/Dob.idx", "loc/Home.idx"})
        EXPECT_FALSE(testutil::PathIsThere(store.log(gone))) << gone;
    typedef std::vector<std::vector<int32_t>> Rows;
    EXPECT_EQ(IndexRows(store.log("class/04.idx")), (Rows{{41, 4, 0}}));
    EXPECT_EQ(IndexRows(store.log("cons/56.idx")), (Rows{{41, 4, 0}}));
    e = MakeEntry(kClassStar, 40, kStarBits, kJd);
    EXPECT_EQ(AddLogEntry(e.get(), nullptr), 2);
}

TEST(DeleteLogEntry, OneOfTwoNightsKeepsTheOtherAndPointsAtIt) {
    Store store;
    ServicesInstalled services;
    std::unique_ptr<LogEntry> a = MakeEntry(kClassStar, 40, kStarBits, kJd);
    ASSERT_EQ(AddLogEntry(a.get(), nullptr), 0);
    std::unique_ptr<LogEntry> b = MakeEntry(kClassStar, 40, kStarBits, kJd + 1);
    ASSERT_EQ(AddLogEntry(b.get(), nullptr), 1);
    EXPECT_EQ(DeleteLogEntry(b.get(), 1), kLogDeleteDone);
    typedef std::vector<std::vector<int32_t>> Rows;
    for (const char *kept : {"night/20090720.idx", "class/04.idx", "cons/56.idx", "observer/Ann.idx",
                             "instrument/Dob.idx", "loc/Home.idx"})
        EXPECT_EQ(IndexRows(store.log(kept)), (Rows{{40, 4, 0}})) << kept;
    EXPECT_FALSE(testutil::PathIsThere(store.log("night/20090721.idx")));
    EXPECT_EQ(SummaryNumbers(store.log("stars/000000040.pix")), (std::vector<int32_t>{0}));
    // The summary file is copied without the row: no stale bytes after it.
    EXPECT_EQ(testutil::ReadFileBytes(store.log("stars/000000040.pix")).size(), 4u + sizeof(LogSummary));
}

// An entry file that cannot be read no longer blocks the deletion of the
// object's entries: its row is dropped with the rest.
TEST(DeleteObjectLogEntries, AnUnreadableEntryIsDroppedWithTheRest) {
    Store store;
    ServicesInstalled services;
    for (int i = 0; i < 3; ++i) {
        std::unique_ptr<LogEntry> e = MakeEntry(kClassPlanet, 3, kPlanetBits, kJd + i * 0.7);
        ASSERT_EQ(AddLogEntry(e.get(), nullptr), i);
    }
    ASSERT_TRUE(testutil::WriteFileBytes(store.log("prime solar system/00000000.bin"), "cut"));
    ObjectRecord o;
    ClearObjectRecord(&o);
    o.objectClass = kClassPlanet;
    o.index = 3;
    o.categoryBits = kPlanetBits;
    EXPECT_EQ(DeleteObjectLogEntries(&o), 1);
    std::string why;
    EXPECT_TRUE(StoreMatchesEntryFiles(store, &why)) << why;
    EXPECT_FALSE(testutil::PathIsThere(store.log("prime solar system/000000003.pix")));
    EXPECT_TRUE(LogTree(store.log("cons")).empty());
    EXPECT_TRUE(LogTree(store.log("night")).empty());
    EXPECT_EQ(DeleteObjectLogEntries(&o), 1);  // nothing left: done, and no file made
    EXPECT_FALSE(testutil::PathIsThere(store.log("prime solar system/000000003.pix")));
}

// Every file step of an edit and of a deletion failed in turn: the operation
// reports the failure and the store reads back exactly as it was; with
// nothing failing it is wholly done.
TEST(LogEditFailurePoints, EditAndDeleteAreWholeOrNothing) {
    Store store;
    ServicesInstalled services;
    const std::string root = store.dir.path() + "/log";
    std::map<std::string, std::string> before;
    auto prepare = [&] {
        std::filesystem::remove_all(root);
        ForgetLogFolderState();
        ForgetLogFoldersMade();
        std::unique_ptr<LogEntry> a = MakeEntry(kClassPlanet, 3, kPlanetBits, kJd, "Ann", "Dob");
        ASSERT_EQ(AddLogEntry(a.get(), "a"), 0);
        std::unique_ptr<LogEntry> b = MakeEntry(kClassPlanet, 3, kPlanetBits, kJd + 1.3, "Bob", "Dob");
        ASSERT_EQ(AddLogEntry(b.get(), "b"), 1);
        std::unique_ptr<LogEntry> c = MakeEntry(kClassStar, 40, kStarBits, kJd, "Ann", "Dob");
        ASSERT_EQ(AddLogEntry(c.get(), nullptr), 0);
        before = LogTree(root);
    };
    struct Operation {
        const char *name;
        std::function<int()> run;
    } operations[] = {
        {"log edit", [&] {
             std::unique_ptr<LogEntry> e = ReadEntry(kPlanetBits, 1);
             e->julianDate = kJd + 2.6;
             std::strcpy(e->observer.name, "Cy");
             LocationRecord cabin = MakeSite("Cabin", -7.0);
             std::memcpy(&e->site, &cabin, sizeof(LocationRecord));
             return UpdateLogEntry(kPlanetBits, 1, 1, e.get(), "moved") == kLogEditRefiled ? 1 : 0;
         }},
        {"log delete", [&] {
             std::unique_ptr<LogEntry> e = ReadEntry(kPlanetBits, 0);
             return DeleteLogEntry(e.get(), 0) == kLogDeleteDone ? 1 : 0;
         }},
        {"log delete last", [&] {
             std::unique_ptr<LogEntry> e = ReadEntry(kStarBits, 0);
             return DeleteLogEntry(e.get(), 0) == kLogDeleteDone ? 1 : 0;
         }},
    };
    for (const Operation &op : operations) {
        testutil::FailureTableLabel label(op.name);
        int steps = testutil::ForEachFailurePoint(prepare, op.run, [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(std::string(op.name) + " " + testutil::DescribeFailurePoint(run));
            EXPECT_EQ(run.result, 0) << "a failed step reported as success";
            std::map<std::string, std::string> after = LogTree(root);
            EXPECT_EQ(after.size(), before.size());
            for (const auto &file : before) {
                auto now = after.find(file.first);
                EXPECT_TRUE(now != after.end() && now->second == file.second) << file.first << " changed";
            }
        });
        EXPECT_GT(steps, 5) << op.name;
        // Done with nothing failing: the store matches its entry files.
        prepare();
        ASSERT_EQ(op.run(), 1) << op.name;
        std::string why;
        EXPECT_TRUE(StoreMatchesEntryFiles(store, &why)) << op.name << ": " << why;
    }
    SetFileStepFailure(0);
}

#ifndef _WIN32
// The process killed at every file step of each operation in turn (a child
// made by fork, ended by _Exit at the step as a kill would end it): the next
// open of the log (any reader) finds the whole old state or the whole new
// one, its mark empty, and takes the next add. The table of kill points is
// printed per operation.
TEST(LogKillPoints, EveryOperationIsWholeOrNothingAtTheNextOpen) {
    Store store;
    ServicesInstalled services;
    SetDiskSyncsSkipped(true);  // a kill loses nothing the system holds
    const std::string root = store.dir.path() + "/log";
    // The log's files, but the lock and the leftovers a kill
    // may leave that hold no data (a rewrite's temporary, a file set aside).
    auto tree = [&] {
        std::map<std::string, std::string> out = LogTree(root);
        for (auto at = out.begin(); at != out.end();) {
            const std::string &p = at->first;
            bool leftover = p.size() > 4 && (p.compare(p.size() - 4, 4, ".tmp") == 0 ||
                                             (p.size() > 5 && p.compare(p.size() - 5, 5, ".undo") == 0));
            if (leftover) at = out.erase(at);
            else ++at;
        }
        return out;
    };
    auto prepare = [&] {
        std::filesystem::remove_all(root);
        ForgetLogFolderState();
        ForgetLogFoldersMade();
        std::unique_ptr<LogEntry> a = MakeEntry(kClassPlanet, 3, kPlanetBits, kJd, "Ann", "Dob");
        ASSERT_EQ(AddLogEntry(a.get(), "a"), 0);
        std::unique_ptr<LogEntry> b = MakeEntry(kClassPlanet, 3, kPlanetBits, kJd + 1.3, "Bob", "Dob");
        ASSERT_EQ(AddLogEntry(b.get(), "b"), 1);
        std::unique_ptr<LogEntry> c = MakeEntry(kClassStar, 40, kStarBits, kJd, "Ann", "Dob");
        ASSERT_EQ(AddLogEntry(c.get(), nullptr), 0);
    };
    struct Operation {
        const char *name;
        std::function<int()> run;
    } operations[] = {
        {"log add", [&] {
             std::unique_ptr<LogEntry> e = MakeEntry(kClassPlanet, 3, kPlanetBits, kJd + 4.1, "Cy", "Binoculars");
             return AddLogEntry(e.get(), "new") == 2 ? 1 : 0;
         }},
        {"log edit", [&] {
             std::unique_ptr<LogEntry> e = ReadEntry(kPlanetBits, 1);
             e->julianDate = kJd + 2.6;
             std::strcpy(e->observer.name, "Cy");
             LocationRecord cabin = MakeSite("Cabin", -7.0);
             std::memcpy(&e->site, &cabin, sizeof(LocationRecord));
             return UpdateLogEntry(kPlanetBits, 1, 1, e.get(), "moved") == kLogEditRefiled ? 1 : 0;
         }},
        {"log delete", [&] {
             std::unique_ptr<LogEntry> e = ReadEntry(kPlanetBits, 0);
             return DeleteLogEntry(e.get(), 0) == kLogDeleteDone ? 1 : 0;
         }},
        {"log delete last", [&] {
             std::unique_ptr<LogEntry> e = ReadEntry(kStarBits, 0);
             return DeleteLogEntry(e.get(), 0) == kLogDeleteDone ? 1 : 0;
         }},
    };
    // The prepared store is kept as its files and put back for each kill
    // point by plain writes (no syncs: the test runs at the disk's pace
    // otherwise).
    std::map<std::string, std::string> prepared;
    auto putBack = [&] {
        std::filesystem::remove_all(root);
        for (const auto &file : prepared) {
            std::filesystem::create_directories(std::filesystem::path(file.first).parent_path());
            ASSERT_TRUE(testutil::WriteFileBytes(file.first, file.second));
        }
        ForgetLogFolderState();
        ForgetLogFoldersMade();
    };
    for (const Operation &op : operations) {
        SCOPED_TRACE(op.name);
        prepare();
        prepared = LogTree(root);
        const std::map<std::string, std::string> before = tree();
        SetFileStepKill(0);
        ASSERT_EQ(op.run(), 1);
        const int steps = CountFileSteps();
        const std::map<std::string, std::string> done = tree();
        ASSERT_NE(before, done);
        int intactOld = 0, intactNew = 0, damaged = 0;
        for (int k = 1; k <= steps; ++k) {
            SCOPED_TRACE("killed at step " + std::to_string(k));
            putBack();
            std::fflush(nullptr);
            pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                SetFileStepKill(k);
                op.run();
                std::_Exit(0);
            }
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), kKilledAtFileStep) << "the run did not reach the step";
            // A fresh open: nothing this process kept is trusted.
            ForgetLogFolderState();
            ForgetLogFoldersMade();
            EXPECT_EQ(EnsureLogStoreRecovered(), 1);
            EXPECT_FALSE(testutil::PathIsThere(root + "/undo.mark")) << "the mark was left";
            std::map<std::string, std::string> now = tree();
            if (now == before) ++intactOld;
            else if (now == done) ++intactNew;
            else ++damaged;
            EXPECT_TRUE(now == before || now == done) << "neither the old state nor the new";
            std::unique_ptr<LogEntry> next = MakeEntry(kClassGalaxy, 7, kGalaxyBits, kJd + 9.0, "Dee", "Dob");
            EXPECT_EQ(AddLogEntry(next.get(), "next"), 0) << "the next operation was refused";
        }
        std::printf("kill points %-16s runs %3d  intact old %3d  intact new %3d  damaged %d\n", op.name, steps,
                    intactOld, intactNew, damaged);
        EXPECT_EQ(damaged, 0);
        EXPECT_GT(intactOld, 0);
    }
    SetFileStepKill(0);
    SetDiskSyncsSkipped(false);
}
#endif
