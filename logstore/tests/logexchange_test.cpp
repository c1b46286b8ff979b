// Log export files: round trips on one store and between two, the since
// rule, refused kinds and damaged files (the store untouched), records of the
// previous generation, the registry, and every failed file step of an
// export and an import.
#include "logstore/logexchange.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/safefile.h"
#include "core/userfolder.h"
#include "logstore/logadd.h"
#include "logstore/logentryfile.h"
#include "logstore/loglock.h"
#include "logstore/logobject.h"
#include "logstore/logpaths.h"
#include "logstore/oldlogentry.h"
#include "logstore/tests/logfixture.h"
#include "minorbodies/usercatalogs.h"
#include "testutil/failurepoints.h"
#include "userdata/userobjectdata.h"

using namespace logtest;

namespace {

const double kJd = 2455033.5;
const size_t kHeaderSize = 103;

int TestRefresh(ObjectRecord *r, double, const LocationRecord *, const DateRecord *, double) {
    if (r->objectClass == kClassGalaxy && r->index == 999) r->index = -1;  // unknown here
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

int32_t AddUserStar(const char *name) {
    int32_t count = 0;
    FILE *stars = OpenUserStarFile(&count);
    EXPECT_TRUE(stars);
    if (!stars) return -1;
    UserStarRecord star;
    std::memset(&star, 0, sizeof star);
    std::strncpy(star.name, name, 32);
    star.magnitude = 650;
    EXPECT_EQ(AppendUserStarRecord(stars, &star), 1);
    std::fclose(stars);
    return star.id;
}

// A small log: two stars (one with notes), and a user star.
void FillLog() {
    std::unique_ptr<LogEntry> e = MakeEntry(kClassStar, 40, 0x10, kJd);
    ASSERT_EQ(AddLogEntry(e.get(), "Split at 200x"), 0);
    e = MakeEntry(kClassStar, 41, 0x10, kJd + 1, "Bob", "Refractor");
    ASSERT_EQ(AddLogEntry(e.get(), nullptr), 1);
    int32_t id = AddUserStar("Garden Star");
    e = MakeEntry(kClassUserStar, id, 0x10, kJd + 2);
    ASSERT_EQ(AddLogEntry(e.get(), "Reddish"), 2);
}

int g_progress = 0;
void CountProgress(int percent) { g_progress += percent; }

// Switches the user data folder between two stores.
void UseFolder(const testutil::TempDir &dir) {
    SetUserDataFolder(dir.path().c_str());
    ForgetLogFolderState();
    ForgetLogFoldersMade();
}

}  // namespace

TEST(LogExchange, RoundTripOnOneStoreFindsOnlyDuplicates) {
    Store store;
    ServicesInstalled services;
    FillLog();
    const std::string file = store.dir.file("all.pkg");
    EXPECT_EQ(ExportLog(file.c_str(), "Everything", "three entries"), 3);
    std::string bytes = testutil::ReadFileBytes(file);
    EXPECT_EQ(bytes[5], 6);                              // kind
    EXPECT_EQ(I32(bytes, 71 + 4), 3);                    // the second count
    EXPECT_EQ(I32(bytes, bytes.size() - 4), 0);          // the end marker
    EXPECT_EQ(std::string(bytes.data() + kHeaderSize), "three entries");
    EXPECT_GE(FindLogPackage("EVERYTHING", nullptr), 0);

    std::map<std::string, std::string> before = LogTree(store.log("stars"));
    PackageHeader header;
    char *description = nullptr;
    LogImportCounts counts;
    EXPECT_EQ(ImportLogExportFile(file.c_str(), &header, &description, nullptr, &counts), 3);
    EXPECT_EQ(counts.duplicates, 3);
    EXPECT_EQ(counts.added, 0);
    EXPECT_STREQ(description, "three entries");
    delete[] description;
    EXPECT_EQ(LogTree(store.log("stars")), before);
}

// Between two stores: the entries arrive byte for byte but for the
// designation and the user object's id; the user star is added to the other
// store's stars and its entry filed under the id it has there.
TEST(LogExchange, RoundTripBetweenTwoStores) {
    ServicesInstalled services;
    testutil::TempDir a, b;
    UseFolder(a);
    FillLog();
    const std::string file = a.file("all.pkg");
    ASSERT_EQ(ExportLog(file.c_str(), "From A", ""), 3);
    std::vector<std::string> entriesA;
    for (const char *n : {"00000000.bin", "00000001.bin", "00000002.bin"})
        entriesA.push_back(testutil::ReadFileBytes(a.path() + "/log/stars/" + n));

    UseFolder(b);
    ASSERT_EQ(AddUserStar("Other Star"), 1);  // the garden star becomes id 2 here
    PackageHeader header;
    LogImportCounts counts;
    g_progress = 0;
    EXPECT_EQ(ImportLogExportFile(file.c_str(), &header, nullptr, CountProgress, &counts), 3);
    EXPECT_EQ(g_progress, 30);  // three records expected: 10 after each
    EXPECT_EQ(counts.added, 3);
    EXPECT_TRUE(testutil::PathIsThere(b.path() + "/log/stars/000000002s.pix"));
    for (size_t i = 0; i < entriesA.size(); ++i) {
        std::string got = testutil::ReadFileBytes(b.path() + "/log/stars/0000000" + std::to_string(i) + ".bin");
        std::string want = entriesA[i];
        ASSERT_EQ(got.size(), want.size()) << i;
        bool user = want[182] == kClassUserStar;
        if (user) {
            EXPECT_EQ(I32(got, 183), 2);         // filed under the local id
            EXPECT_EQ(I32(got, 330625), 2);      // and so is its definition
            EXPECT_EQ(std::string(got.data() + 191), "Obj 2");
            for (std::string *s : {&got, &want}) {
                s->replace(183, 4, 4, '\0');
                s->replace(191, 65, 65, '\0');
                s->replace(330625, 4, 4, '\0');
            }
        }
        EXPECT_TRUE(got == want) << "entry " << i << " differs";
    }
    // Importing again adds nothing.
    EXPECT_EQ(ImportLogExportFile(file.c_str(), &header, nullptr, nullptr, &counts), 3);
    EXPECT_EQ(counts.duplicates, 3);
    SetUserDataFolder("");
}

TEST(LogExchange, ObjectEntriesAfterASinceTime) {
    Store store;
    ServicesInstalled services;
    FillLog();
    std::unique_ptr<LogEntry> e = MakeEntry(kClassStar, 40, 0x10, kJd + 5);
    ASSERT_EQ(AddLogEntry(e.get(), nullptr), 3);
    ObjectRecord star;
    ClearObjectRecord(&star);
    star.objectClass = kClassStar;
    star.index = 40;
    star.categoryBits = 0x10;
    DateRecord date, since;
    std::memset(&date, 0, sizeof date);
    std::memset(&since, 0, sizeof since);
    LocationRecord site = MakeSite("Home", 1.0);
    struct Case {
        int32_t number;
        double since;  // 0: none
        int want;
    } cases[] = {{-1, 0, 2}, {-1, kJd, 1}, {-1, kJd - 1e-6, 2}, {-1, kJd + 5, 0}, {0, kJd, 0}, {3, kJd, 1}};
    for (const Case &c : cases) {
        FILE *f = CreateLogExportFile(store.dir.file("one.pkg").c_str(), "One", "");
        ASSERT_TRUE(f);
        since.julianDate = c.since;
        EXPECT_EQ(ExportObjectLogEntries(f, &site, &date, &star, c.number, c.since ? &since : nullptr), c.want)
            << c.number << " " << c.since;
        std::fclose(f);
    }
    // A catalogue star of the same number as the user star: its own entries
    // only, and no summary file is made for it.
    star.index = 1;
    FILE *f = CreateLogExportFile(store.dir.file("one.pkg").c_str(), "One", "");
    EXPECT_EQ(ExportObjectLogEntries(f, &site, &date, &star, -1, nullptr), 0);
    std::fclose(f);
    EXPECT_FALSE(testutil::PathIsThere(store.log("stars/000000001.pix")));
}

TEST(LogExchange, FilteredExportTable) {
    Store store;
    ServicesInstalled services;
    FillLog();
    std::unique_ptr<LogEntry> e = MakeEntry(kClassStar, 40, 0x10, kJd + 3, "Bob", "Dob");
    ASSERT_EQ(AddLogEntry(e.get(), nullptr), 3);
    struct Case {
        int year, month, day;
        const char *observer, *instrument, *site;
        int constellation;
        int want;
    } cases[] = {
        {-10000, 0, 0, nullptr, nullptr, nullptr, -1, 2}, {2009, 7, 20, nullptr, nullptr, nullptr, -1, 1},
        {2009, 7, 23, "bob", "", "HOME", -1, 1},          {-10000, 0, 0, "Cy", nullptr, nullptr, -1, 0},
        {-10000, 0, 0, nullptr, nullptr, nullptr, 56, 2}, {-10000, 0, 0, nullptr, nullptr, nullptr, 3, 0},
    };
    for (const Case &c : cases) {
        FILE *f = CreateLogExportFile(store.dir.file("f.pkg").c_str(), "F", "");
        ASSERT_TRUE(f);
        EXPECT_EQ(ExportFilteredLogEntries(f, 0x10, 40, c.year, c.month, c.day, c.observer, c.instrument, c.site,
                                           c.constellation),
                  c.want)
            << c.year << c.month << c.day;
        std::fclose(f);
    }
}

// Files of other kinds and damaged files are refused, and the store is not
// touched; an entry whose object is unknown here, or has no class folder,
// is skipped and counted.
TEST(LogExchange, RefusedFilesTouchNothingAndBadRecordsAreSkipped) {
    Store store;
    ServicesInstalled services;
    FillLog();
    const std::string good = store.dir.file("good.pkg");
    ASSERT_EQ(ExportLog(good.c_str(), "Good", "d"), 3);
    std::string bytes = testutil::ReadFileBytes(good);
    std::filesystem::remove_all(store.dir.path() + "/log");
    ForgetLogFolderState();
    ForgetLogFoldersMade();
    const size_t first = kHeaderSize + 2;  // after the description "d"
    auto withInt = [&](size_t at, int32_t v) {
        std::string s = bytes;
        std::memcpy(&s[at], &v, 4);
        return s;
    };
    struct Case {
        const char *what;
        std::string file;
    } cases[] = {
        {"kind 7", [&] { std::string s = bytes; s[5] = 7; return s; }()},
        {"kind 8", [&] { std::string s = bytes; s[5] = 8; return s; }()},
        {"major version 1", [&] { std::string s = bytes; s[2] = 1; return s; }()},
        {"cut in the last record", bytes.substr(0, bytes.size() - 40)},
        {"no end marker", bytes.substr(0, bytes.size() - 4)},
        {"negative notes length", withInt(first, -5)},
        {"notes longer than the file", withInt(first, 0x7ffffff0)},
        {"description past the end", withInt(99, 0x7ffffff0)},
    };
    for (const Case &c : cases) {
        const std::string path = store.dir.file("bad.pkg");
        ASSERT_TRUE(testutil::WriteFileBytes(path, c.file));
        PackageHeader header;
        char *description = nullptr;
        EXPECT_EQ(ImportLogExportFile(path.c_str(), &header, &description, nullptr), -1) << c.what;
        EXPECT_EQ(description, nullptr) << c.what;
        EXPECT_FALSE(testutil::PathIsThere(store.dir.path() + "/log/stars")) << c.what << ": the store was touched";
    }
    PackageHeader header;
    EXPECT_EQ(ImportLogExportFile(store.dir.file("absent.pkg").c_str(), &header, nullptr, nullptr), 0);

    // Records whose objects cannot be logged here: skipped, the rest added.
    std::unique_ptr<LogEntry> unknown = MakeEntry(kClassGalaxy, 999, 0x100, kJd);
    std::unique_ptr<LogEntry> mark = MakeEntry(kClassSkyMark, 0, 0x4000, kJd);
    std::string file = bytes.substr(0, bytes.size() - 4);
    for (LogEntry *e : {unknown.get(), mark.get()}) {
        int32_t one = 1;
        file.append(reinterpret_cast<const char *>(&one), 4);
        file.append(reinterpret_cast<const char *>(e), sizeof(LogEntry));
        file.append(1, '\0');
        if (e == mark.get()) {
            std::string block(kSkyMarkBlockSize, '\0');  // a sky mark carries its definition
            file += block;
        }
    }
    file.append(4, '\0');
    ASSERT_TRUE(testutil::WriteFileBytes(store.dir.file("mixed.pkg"), file));
    LogImportCounts counts;
    EXPECT_EQ(ImportLogExportFile(store.dir.file("mixed.pkg").c_str(), &header, nullptr, nullptr, &counts), 3);
    EXPECT_EQ(counts.added, 3);
    EXPECT_EQ(counts.skipped, 2);
}

// A file of the previous generation: 9,124-byte entries, converted.
TEST(LogExchange, RecordsOfThePreviousGenerationAreConverted) {
    Store store;
    ServicesInstalled services;
    std::string file(kHeaderSize, '\0');
    uint16_t magic = 55555;
    std::memcpy(&file[0], &magic, 2);
    file[2] = 2;  // version 2900
    file[3] = 9;
    file[5] = 6;
    std::memcpy(&file[6], "Old", 3);
    file.append(1, '\0');  // empty description
    std::string old(kOldLogEntrySize, '\0');
    double jd = kJd;
    std::memcpy(&old[5], &jd, 8);
    std::memcpy(&old[13 + 99], "Home", 4);    // the old site record's name
    old[148] = kClassStar;
    int32_t index = 77, bits = 0x10;
    std::memcpy(&old[149], &index, 4);
    std::memcpy(&old[153], &bits, 4);
    std::memcpy(&old[157], "Ann", 3);         // observer name
    std::memcpy(&old[241 + 8718], "Dob", 3);  // the old instrument record's name
    std::memcpy(&old[8991], "steady", 6);     // conditions
    int32_t notes = 4;
    file.append(reinterpret_cast<const char *>(&notes), 4);
    file += old;
    file.append("old", 4);
    file.append(4, '\0');
    ASSERT_TRUE(testutil::WriteFileBytes(store.dir.file("old.pkg"), file));
    PackageHeader header;
    EXPECT_EQ(ImportLogExportFile(store.dir.file("old.pkg").c_str(), &header, nullptr, nullptr), 1);
    std::unique_ptr<LogEntry> back(new LogEntry);
    char *text = nullptr;
    ASSERT_EQ(ReadLogEntryByNumber(0x10, 0, back.get(), &text), 1);
    EXPECT_EQ(int32_t(back->catalogueIndex), 77);
    EXPECT_STREQ(back->observer.name, "Ann");
    EXPECT_STREQ(back->instrument.name, "Dob");
    EXPECT_STREQ(back->site.name, "Home");
    EXPECT_STREQ(back->conditions, "steady");
    EXPECT_STREQ(text, "old");
    delete[] text;
}

TEST(LogRegistry, LongNamesAreCutAndFoundAgain) {
    Store store;
    const std::string longName = "A package name of more than thirty-seven characters";
    FileTimeValue t1 = {1, 2}, t2 = {3, 4}, got = {0, 0};
    EXPECT_EQ(FindLogPackage(longName.c_str(), nullptr), -1);
    ASSERT_EQ(RegisterLogPackage(longName.c_str(), &t1), 1);
    ASSERT_EQ(RegisterLogPackage(longName.c_str(), &t2), 1);
    std::string reg = testutil::ReadFileBytes(store.log("registry.bin"));
    ASSERT_EQ(reg.size(), 4u + 46u);
    EXPECT_EQ(I32(reg, 0), 1);
    EXPECT_EQ(std::string(reg.data() + 4), longName.substr(0, 37));
    EXPECT_EQ(FindLogPackage(longName.c_str(), &got), 0);
    EXPECT_EQ(got.low, 3u);
    EXPECT_EQ(got.high, 4u);
}

// Every file step of an export failed in turn: no file is left (an older one
// stays whole). Of an import into an empty store: the failure is reported,
// the entries added before it are whole, and importing again completes the
// store to what a clean import gives.
TEST(LogExchangeFailurePoints, ExportAndImport) {
    ServicesInstalled services;
    testutil::TempDir source, target;
    UseFolder(source);
    FillLog();
    const std::string file = source.file("all.pkg");
    const std::string older = "an older export";
    // The size of a whole export (only its time stamp differs from run to run).
    const std::string whole = source.file("whole.pkg");
    ASSERT_EQ(ExportLog(whole.c_str(), "All", ""), 3);
    const size_t wholeSize = testutil::ReadFileBytes(whole).size();
    {
        testutil::FailureTableLabel label("log export");
        int steps = testutil::ForEachFailurePoint(
            [&] { ASSERT_TRUE(testutil::WriteFileBytes(file, older)); },
            [&] { return ExportLog(file.c_str(), "All", "") == 3 ? 1 : 0; },
            [&](const testutil::FailurePointRun &run) {
                SCOPED_TRACE(testutil::DescribeFailurePoint(run));
                // A failed step in a derived index of the user's catalogues is
                // taken back by rebuilding that index: the export then ends
                // whole. Any other failure leaves the older file as it was.
                if (run.result == 1)
                    EXPECT_EQ(testutil::ReadFileBytes(file).size(), wholeSize);
                else
                    EXPECT_EQ(testutil::ReadFileBytes(file), older);
                EXPECT_TRUE(testutil::TemporariesBeside(file).empty());
            });
        EXPECT_GT(steps, 5);
        SetFileStepFailure(0);
    }
    ASSERT_EQ(ExportLog(file.c_str(), "All", ""), 3);

    UseFolder(target);
    const std::string root = target.path() + "/log";
    PackageHeader header;
    ASSERT_EQ(ImportLogExportFile(file.c_str(), &header, nullptr, nullptr), 3);
    std::map<std::string, std::string> clean = LogTree(root);
    auto prepare = [&] {
        std::filesystem::remove_all(root);
        std::filesystem::remove(target.file("stellar.bin"));
        ForgetLogFolderState();
        ForgetLogFoldersMade();
    };
    testutil::FailureTableLabel label("log import");
    int steps = testutil::ForEachFailurePoint(
        prepare, [&] { return ImportLogExportFile(file.c_str(), &header, nullptr, nullptr) == 3 ? 1 : 0; },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            // A step the store takes again on its own (making a missing
            // folder's key list) may fail and the import still be whole:
            // then it must be complete; else importing again completes it.
            if (run.result == 1) {
                LogImportCounts counts;
                EXPECT_EQ(ImportLogExportFile(file.c_str(), &header, nullptr, nullptr, &counts), 3);
                EXPECT_EQ(counts.duplicates, 3) << "reported done, but not complete";
            }
            // Importing again completes the store: three entries, each once
            // (a failed add may have used a number up, so numbers can differ
            // from a clean import), found as duplicates the time after.
            LogImportCounts counts;
            EXPECT_EQ(ImportLogExportFile(file.c_str(), &header, nullptr, nullptr, &counts), 3);
            EXPECT_EQ(ImportLogExportFile(file.c_str(), &header, nullptr, nullptr, &counts), 3);
            EXPECT_EQ(counts.duplicates, 3);
            int entries = 0, rows = 0;
            for (const auto &f : LogTree(root + "/stars")) {
                std::string name = f.first.substr(f.first.rfind('/') + 1);
                if (name.size() == 12 && name.compare(8, 4, ".bin") == 0) ++entries;
                if (name.size() > 4 && name.compare(name.size() - 4, 4, ".pix") == 0) rows += I32(f.second, 0);
            }
            EXPECT_EQ(entries, 3);
            EXPECT_EQ(rows, 3);
            EXPECT_EQ(LogTree(root).size(), clean.size()) << "stray or missing files";
        });
    EXPECT_GT(steps, 10);
    SetFileStepFailure(0);
    SetUserDataFolder("");
}
