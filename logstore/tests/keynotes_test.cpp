// Notes on nights, sites, observers, instruments, classes and
// constellations: the append rule, export order, import between two stores
// (twice: the second adds nothing), damaged files, and failed file steps.
#include "logstore/keynotes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/safefile.h"
#include "core/userfolder.h"
#include "logstore/logadd.h"
#include "logstore/loglock.h"
#include "logstore/logobject.h"
#include "logstore/logpaths.h"
#include "logstore/tests/logfixture.h"
#include "testutil/failurepoints.h"

using namespace logtest;

namespace {

const double kJd = 2455033.5;  // the night of 2009 July 20 at zone +1
const size_t kHeaderSize = 103;

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

std::string Note(const std::string &path) {
    std::string text;
    EXPECT_EQ(ReadKeyNote(path, &text), 1) << path;
    return text;
}

// The kinds and keys of the records of a key-notes file, in order.
std::vector<std::pair<int, std::string>> Records(const std::string &bytes) {
    std::vector<std::pair<int, std::string>> out;
    size_t at = kHeaderSize;
    while (at < bytes.size() && bytes[at]) ++at;  // the description
    ++at;
    while (at + sizeof(KeyNoteRecord) <= bytes.size()) {
        KeyNoteRecord r;
        std::memcpy(&r, bytes.data() + at, sizeof r);
        if (r.kind == 0) break;
        out.push_back({r.kind, r.key});
        at += sizeof r + static_cast<size_t>(r.length) + 1;
    }
    return out;
}

void UseFolder(const testutil::TempDir &dir) {
    SetUserDataFolder(dir.path().c_str());
    ForgetLogFolderState();
    ForgetLogFoldersMade();
}

}  // namespace

TEST(AppendKeyNote, AppendRules) {
    Store store;
    struct Case {
        const char *stored;  // null: no note file
        const char *text;
        int want;
        const char *after;
    } cases[] = {
        {"clear sky", "  clear sky", 2, "clear sky"},
        {"cloudy", "  clear sky", 1, "cloudy   clear sky"},
        {nullptr, "fog", 1, "fog"},
        {"", "fog", 1, "fog"},
        {"cloudy clear sky", "clear", 2, "cloudy clear sky"},
        {"cloudy\r\nclear", "clear", 2, "cloudy\r\nclear"},
        {"unclear", "clear", 1, "unclear clear"},
        {"clearing later", "clear", 1, "clearing later clear"},
        {"cloudy", "   ", 2, "cloudy"},
        {"cloudy", "", 0, "cloudy"},
    };
    const std::string path = NightNotePath(2009, 7, 20);
    ASSERT_FALSE(path.empty());
    for (const Case &c : cases) {
        std::filesystem::remove(path);
        if (c.stored) {
            ASSERT_EQ(WriteKeyNote(path, c.stored), 1);
        }
        EXPECT_EQ(AppendKeyNote(path, c.text), c.want) << c.stored << " + " << c.text;
        EXPECT_EQ(Note(path), c.after) << c.stored << " + " << c.text;
    }
    // The file layout: length with the NUL, the text, the NUL.
    EXPECT_EQ(testutil::ReadFileBytes(path), std::string("\x07\0\0\0cloudy\0", 11));
    // A length the file does not hold is refused, not trusted.
    ASSERT_TRUE(testutil::WriteFileBytes(path, std::string("\xff\xff\0\0abc\0", 8)));
    std::string text;
    EXPECT_EQ(ReadKeyNote(path, &text), 0);
    EXPECT_EQ(AppendKeyNote(path, "more"), 0);
}

TEST(KeyNotes, PathsOfEveryKind) {
    Store store;
    struct Case {
        int kind;
        const char *key;
        const char *file;  // under log/, "" for none
    } cases[] = {
        {kKeyNoteClass, "4", "class/04.bin"},
        {kKeyNoteNight, "2009 07 20", "night/20090720.bin"},
        {kKeyNoteNight, "2009 7 20", "night/20090720.bin"},
        {kKeyNoteObserver, "Ann", "observer/Ann.bin"},
        {kKeyNoteLocation, "Home", "loc/Home.bin"},
        {kKeyNoteInstrument, "Dob", "instrument/Dob.bin"},
        {kKeyNoteConstellation, "56", "cons/56.bin"},
        {kKeyNoteConstellation, "89", ""},
        {kKeyNoteClass, "x", ""},
        {kKeyNoteNight, "2009 13 20", ""},
        {kKeyNoteObserver, "", ""},
        {64, "1", ""},
    };
    for (const Case &c : cases) {
        std::string want = c.file[0] ? store.log(c.file) : std::string();
        EXPECT_EQ(KeyNotePath(c.kind, c.key), want) << c.kind << " " << c.key;
    }
}

// Exported from one store and imported into another, twice: the night key
// reaches the same night's note, notes already there are not appended again.
TEST(KeyNotes, ExportOrderAndImportTwice) {
    ServicesInstalled services;
    testutil::TempDir a, b;
    UseFolder(a);
    LocationRecord cabin = MakeSite("Cabin", 1.0);
    std::unique_ptr<LogEntry> e = MakeEntry(kClassStar, 40, 0x10, kJd);
    ASSERT_EQ(AddLogEntry(e.get(), nullptr), 0);
    e = MakeEntry(kClassStar, 41, 0x10, kJd + 1, "Bob", "Dob", &cabin);
    ASSERT_EQ(AddLogEntry(e.get(), nullptr), 1);
    ASSERT_EQ(WriteKeyNote(LocationNotePath("Home"), "dark site"), 1);
    ASSERT_EQ(WriteKeyNote(LocationNotePath("Cabin"), ""), 1);  // empty: not exported
    ASSERT_EQ(WriteKeyNote(NightNotePath(2009, 7, 21), "windy"), 1);
    ASSERT_EQ(WriteKeyNote(NightNotePath(2009, 7, 20), "clear sky"), 1);
    ASSERT_EQ(WriteKeyNote(ObserverNotePath("Ann"), "not selected"), 1);
    const std::string file = a.file("notes.pkg");
    EXPECT_EQ(ExportKeyNotes(kKeyNoteNight | kKeyNoteLocation, file.c_str(), "Notes", "nights and sites"), 3);
    std::string bytes = testutil::ReadFileBytes(file);
    EXPECT_EQ(bytes[5], kKeyNotesPackageKind);
    EXPECT_EQ(I32(bytes, 71 + 4), 3);
    typedef std::vector<std::pair<int, std::string>> R;
    EXPECT_EQ(Records(bytes), (R{{kKeyNoteNight, "2009 07 20"}, {kKeyNoteNight, "2009 07 21"},
                                 {kKeyNoteLocation, "Home"}}));
    EXPECT_FALSE(testutil::PathIsThere(a.path() + "/log/observer/Bob.bin")) << "the export made a note file";
    EXPECT_GE(FindLogPackage("Notes", nullptr), 0);

    UseFolder(b);
    ASSERT_EQ(WriteKeyNote(NightNotePath(2009, 7, 20), "cloudy at first"), 1);
    PackageHeader header;
    char *description = nullptr;
    EXPECT_EQ(ImportKeyNotesFile(file.c_str(), &header, &description, nullptr), 3);
    EXPECT_STREQ(description, "nights and sites");
    delete[] description;
    EXPECT_EQ(Note(b.path() + "/log/night/20090720.bin"), "cloudy at first clear sky");
    EXPECT_EQ(Note(b.path() + "/log/night/20090721.bin"), "windy");
    EXPECT_EQ(Note(b.path() + "/log/loc/Home.bin"), "dark site");
    EXPECT_EQ(ImportKeyNotesFile(file.c_str(), &header, nullptr, nullptr), 0);
    EXPECT_EQ(Note(b.path() + "/log/night/20090720.bin"), "cloudy at first clear sky");
    SetUserDataFolder("");
}

TEST(KeyNotes, DamagedFilesAppendNothing) {
    Store store;
    ASSERT_EQ(WriteKeyNote(NightNotePath(2009, 7, 20), "clear"), 1);
    ASSERT_EQ(WriteKeyNote(NightNotePath(2009, 7, 21), "windy"), 1);
    // Index files for the export's scan.
    for (const char *idx : {"night/20090720.idx", "night/20090721.idx"})
        ASSERT_TRUE(testutil::WriteFileBytes(store.log(idx), std::string("\x01\0\0\0\x28\0\0\0\x04\0\0\0\0\0\0\0", 16)));
    const std::string file = store.dir.file("n.pkg");
    ASSERT_EQ(ExportKeyNotes(kKeyNoteNight, file.c_str(), "N", ""), 2);
    std::string bytes = testutil::ReadFileBytes(file);
    const size_t first = kHeaderSize + 1;
    std::string hugeLength = bytes;
    int32_t huge = 0x7ffffff0;
    std::memcpy(&hugeLength[first + 2], &huge, 4);
    std::string negative = bytes;
    int32_t minus = -3;
    std::memcpy(&negative[first + 2], &minus, 4);
    std::string otherKind = bytes;
    otherKind[5] = kLogPackageKind;
    struct Case {
        const char *what;
        std::string file;
    } cases[] = {{"no end record", bytes.substr(0, bytes.size() - sizeof(KeyNoteRecord))},
                 {"cut in the last note", bytes.substr(0, bytes.size() - sizeof(KeyNoteRecord) - 3)},
                 {"a length past the end", hugeLength},
                 {"a negative length", negative},
                 {"another kind", otherKind}};
    std::filesystem::remove(NightNotePath(2009, 7, 20));
    std::filesystem::remove(NightNotePath(2009, 7, 21));
    for (const Case &c : cases) {
        ASSERT_TRUE(testutil::WriteFileBytes(store.dir.file("bad.pkg"), c.file));
        PackageHeader header;
        EXPECT_EQ(ImportKeyNotesFile(store.dir.file("bad.pkg").c_str(), &header, nullptr, nullptr), -1) << c.what;
        EXPECT_FALSE(testutil::PathIsThere(NightNotePath(2009, 7, 20))) << c.what << ": a note was appended";
    }
}

// Every file step failed in turn: an append leaves the old note; an export
// leaves no file; an import reports the failure and importing again gives
// the notes a clean import gives.
TEST(KeyNotesFailurePoints, AppendExportImport) {
    Store store;
    const std::string night = NightNotePath(2009, 7, 20);
    {
        testutil::FailureTableLabel label("key note append");
        testutil::ForEachFailurePoint([&] { ASSERT_EQ(WriteKeyNote(night, "cloudy"), 1); },
                                      [&] { return AppendKeyNote(night, "clear") == 1 ? 1 : 0; },
                                      [&](const testutil::FailurePointRun &run) {
                                          SCOPED_TRACE(testutil::DescribeFailurePoint(run));
                                          EXPECT_EQ(run.result, 0);
                                          EXPECT_EQ(Note(night), "cloudy");
                                      });
    }
    ASSERT_EQ(WriteKeyNote(night, "clear"), 1);
    ASSERT_EQ(WriteKeyNote(NightNotePath(2009, 7, 21), "windy"), 1);
    ASSERT_EQ(WriteKeyNote(LocationNotePath("Home"), "dark"), 1);
    for (const char *idx : {"night/20090720.idx", "night/20090721.idx", "loc/Home.idx"})
        ASSERT_TRUE(testutil::WriteFileBytes(store.log(idx), std::string("\x01\0\0\0\x28\0\0\0\x04\0\0\0\0\0\0\0", 16)));
    const std::string file = store.dir.file("k.pkg");
    {
        testutil::FailureTableLabel label("key notes export");
        int steps = testutil::ForEachFailurePoint(
            [&] { std::filesystem::remove(file); },
            [&] { return ExportKeyNotes(kKeyNoteNight | kKeyNoteLocation, file.c_str(), "K", "") == 3 ? 1 : 0; },
            [&](const testutil::FailurePointRun &run) {
                SCOPED_TRACE(testutil::DescribeFailurePoint(run));
                EXPECT_EQ(run.result, 0);
                EXPECT_FALSE(testutil::PathIsThere(file));
            });
        EXPECT_GT(steps, 3);
    }
    SetFileStepFailure(0);
    ASSERT_EQ(ExportKeyNotes(kKeyNoteNight | kKeyNoteLocation, file.c_str(), "K", ""), 3);
    auto prepare = [&] {
        ASSERT_EQ(WriteKeyNote(night, "cloudy"), 1);
        ASSERT_EQ(WriteKeyNote(NightNotePath(2009, 7, 21), ""), 1);
        ASSERT_EQ(WriteKeyNote(LocationNotePath("Home"), ""), 1);
    };
    testutil::FailureTableLabel label("key notes import");
    PackageHeader header;
    int steps = testutil::ForEachFailurePoint(
        prepare, [&] { return ImportKeyNotesFile(file.c_str(), &header, nullptr, nullptr) == 3 ? 1 : 0; },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            EXPECT_EQ(run.result, 0);
            EXPECT_GE(ImportKeyNotesFile(file.c_str(), &header, nullptr, nullptr), 0);
            EXPECT_EQ(Note(night), "cloudy clear");
            EXPECT_EQ(Note(NightNotePath(2009, 7, 21)), "windy");
            EXPECT_EQ(Note(LocationNotePath("Home")), "dark");
        });
    EXPECT_GT(steps, 5);
    SetFileStepFailure(0);
}
