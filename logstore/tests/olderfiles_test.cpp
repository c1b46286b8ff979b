// Files of the older stamped layouts met where the store reads them: entry
// files of 9,223, 139,679 and 330,523 bytes told by their size and converted
// as they are read (also by a restore of an old backup), a file no layout
// fits refused, and a summary file of 330,497-byte rows upgraded when opened.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "core/fsys.h"
#include "core/safefile.h"
#include "core/versionstamp.h"
#include "logstore/logbackup.h"
#include "logstore/logentryfile.h"
#include "logstore/logobject.h"
#include "logstore/logpaths.h"
#include "logstore/oldlogentry.h"
#include "logstore/tests/logfixture.h"
#include "objects/objectrecord.h"

using namespace logtest;

namespace {

template <typename T>
void Put(std::string &b, size_t at, T v) {
    std::memcpy(&b[at], &v, sizeof v);
}
void PutText(std::string &b, size_t at, const char *text) { std::memcpy(&b[at], text, std::strlen(text)); }

struct StampedLayout {
    const char *name;
    int size, instrumentName, conditions, notes;
};
const StampedLayout kStamped[] = {
    {"9,223", 9223, 8718, 9090, 9219},
    {"139,679", 139679, 139174, 139546, 139675},
    {"330,523", 330523, 329890, 330390, 330519},
};

// An entry file of a stamped older layout, written from the layout's byte
// offsets: stamp 3.0a, date, site name, a galaxy, observer, instrument name,
// conditions, and the notes after the entry.
std::string OlderEntryFile(const StampedLayout &l, int32_t index, double jd, const char *notes) {
    std::string b(static_cast<size_t>(l.size), '\0');
    b[2] = 3;
    b[3] = 0;
    b[4] = 'a';
    Put<double>(b, 5, jd);
    PutText(b, 13 + 133, "Ridge");  // the current 166-byte site record's name
    b[182] = 6;                     // galaxy
    Put<int32_t>(b, 183, index);
    Put<uint32_t>(b, 187, 0x100);
    PutText(b, 256, "Ann");
    b[340 + 2] = 1;
    PutText(b, static_cast<size_t>(340 + l.instrumentName), "Dob 10");
    PutText(b, static_cast<size_t>(l.conditions), "steady");
    Put<int32_t>(b, static_cast<size_t>(l.notes), static_cast<int32_t>(std::strlen(notes) + 1));
    return b + notes + std::string(1, '\0');
}

// 1/0 from ReadLogEntryFile of the file at path, the entry and notes out.
int ReadEntryFileAt(const std::string &path, LogEntry *entry, std::string *notes) {
    FileHandle f(SafeOpen(path.c_str(), "rb"));
    if (!f) return -1;
    char *text = nullptr;
    int ok = ReadLogEntryFile(f.get(), entry, &text, 0, 0);
    std::unique_ptr<char[]> held(text);
    if (notes) *notes = text ? text : "";
    return ok;
}

int TestRefresh(ObjectRecord *r, double, const LocationRecord *, const DateRecord *, double) {
    r->constellation = 56;
    return 1;
}
int TestName(const ObjectRecord *r, char *name, int size) {
    std::snprintf(name, static_cast<size_t>(size), "Obj %d", static_cast<int>(r->index));
    return 1;
}

}  // namespace

TEST(OlderEntryFiles, EachStampedLayoutIsToldBySizeAndConverted) {
    Store store;
    for (const StampedLayout &l : kStamped) {
        SCOPED_TRACE(l.name);
        std::string path = store.dir.path() + "/entry.bin";
        ASSERT_TRUE(testutil::WriteFileBytes(path, OlderEntryFile(l, 4565, 2455033.25, "faint halo")));
        std::unique_ptr<LogEntry> e(new LogEntry);
        std::string notes;
        ASSERT_EQ(ReadEntryFileAt(path, e.get(), &notes), 1);
        double jd = e->julianDate;
        EXPECT_EQ(jd, 2455033.25);
        EXPECT_STREQ(e->site.name, "Ridge");
        EXPECT_EQ(e->objectClass, 6);
        EXPECT_EQ(int32_t(e->catalogueIndex), 4565);
        EXPECT_EQ(uint32_t(e->categoryBits), 0x100u);
        EXPECT_STREQ(e->observer.name, "Ann");
        EXPECT_STREQ(e->instrument.name, "Dob 10");
        EXPECT_STREQ(e->conditions, "steady");
        EXPECT_EQ(notes, "faint halo");
        EXPECT_EQ(e->version[0], 3);  // now of the current layout
        EXPECT_EQ(e->version[2], 'f');
    }
}

TEST(OlderEntryFiles, AFileNoLayoutFitsIsRefusedAndACurrentOneStillReads) {
    Store store;
    std::string path = store.dir.path() + "/entry.bin";
    // A 139,679-byte entry whose notes length does not match what follows,
    // and too short for a current entry: no rule fits.
    std::string odd = OlderEntryFile(kStamped[1], 1, 2455033.25, "abc");
    odd += "extra";
    ASSERT_TRUE(testutil::WriteFileBytes(path, odd));
    std::unique_ptr<LogEntry> e(new LogEntry);
    EXPECT_EQ(ReadEntryFileAt(path, e.get(), nullptr), 0);

    // A current entry whose notes are 102 bytes, so that its file is as long
    // as a 330,523-byte entry with notes of 204 bytes: still read as current.
    std::unique_ptr<LogEntry> current = MakeEntry(6, 31, 0x100, 2455034.5, "Bea", "Newt 8");
    std::string notes(101, 'n');
    {
        FileHandle f(SafeOpen(path.c_str(), "wb"));
        ASSERT_TRUE(f);
        ASSERT_EQ(WriteLogEntryFile(f.get(), current.get(), notes.c_str()), 1);
    }
    std::string back;
    ASSERT_EQ(ReadEntryFileAt(path, e.get(), &back), 1);
    EXPECT_STREQ(e->observer.name, "Bea");
    EXPECT_EQ(int32_t(e->catalogueIndex), 31);
    EXPECT_EQ(back, notes);
}

TEST(OlderEntryFiles, ARestoreOfABackupWithOlderEntriesSucceeds) {
    Store store;
    SetLogObjectServices(TestRefresh, TestName);
    testutil::TempDir backup;
    std::string galaxies = backup.path() + "/logs/galaxies";
    ASSERT_TRUE(FsMakeFolder(backup.path() + "/logs"));
    ASSERT_TRUE(FsMakeFolder(galaxies));
    ASSERT_TRUE(testutil::WriteFileBytes(galaxies + "/00000000.bin",
                                         OlderEntryFile(kStamped[2], 51, 2455033.5, "arms")));
    ASSERT_TRUE(testutil::WriteFileBytes(galaxies + "/00000001.bin",
                                         OlderEntryFile(kStamped[0], 31, 2455034.5, "")));
    int result = RestoreLog(backup.path().c_str(), nullptr, 3001);
    SetLogObjectServices(nullptr, nullptr);
    ASSERT_EQ(result, kRestoreDone);
    std::unique_ptr<LogEntry> e(new LogEntry);
    char *notes = nullptr;
    int found = 0;
    for (int32_t n = 0; n < 2; ++n) {
        ASSERT_EQ(ReadLogEntryByNumber(0x100, n, e.get(), &notes), 1);
        std::unique_ptr<char[]> held(notes);
        int32_t index = e->catalogueIndex;
        if (index == 51) {
            EXPECT_STREQ(notes, "arms");
            ++found;
        }
        if (index == 31) ++found;
        EXPECT_STREQ(e->instrument.name, "Dob 10");
    }
    EXPECT_EQ(found, 2);
}

TEST(OlderSummaryFiles, RowsOfTheOlderLayoutAreUpgradedWhenOpened) {
    Store store;
    std::string path = store.dir.path() + "/000000051.pix";
    // Two 330,497-byte rows: log numbers 7 and 9, the instrument's name at
    // 446 + 329,890, the constellation at 330,496.
    std::string file(4 + 2 * static_cast<size_t>(kLogSummarySize330497), '\0');
    Put<int32_t>(file, 0, 2);
    for (int r = 0; r < 2; ++r) {
        size_t at = 4 + static_cast<size_t>(r) * kLogSummarySize330497;
        Put<int32_t>(file, at, 7 + 2 * r);
        PutText(file, at + 446 + 329890, r ? "Refractor" : "Dob 10");
        file[at + 330496] = static_cast<char>(40 + r);
    }
    ASSERT_TRUE(testutil::WriteFileBytes(path, file));
    int32_t count = 0;
    FileHandle f(OpenSummaryFile(path.c_str(), "rb", &count));
    ASSERT_TRUE(f);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(FsFileSize(path), 4 + 2 * 330599);
    std::unique_ptr<LogSummary> row(new LogSummary);
    for (int r = 0; r < 2; ++r) {
        ASSERT_EQ(SafeRead(row.get(), sizeof(LogSummary), 1, f.get()), 1u);
        EXPECT_EQ(int32_t(row->logNumber), 7 + 2 * r);
        EXPECT_STREQ(row->instrument.name, r ? "Refractor" : "Dob 10");
        EXPECT_EQ(row->constellation, 40 + r);
    }
}
