// Older log entries and summary rows into the current records, each fixture
// written at the offsets of its own layout; and the upgrade of whole summary
// files, with files cut short, current files left alone and failed steps.
#include "logstore/oldlogentry.h"

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "core/fsys.h"
#include "logstore/summaryupgrade.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

namespace {

void PutText(std::string &b, size_t at, const char *text) { std::memcpy(&b[at], text, std::strlen(text)); }
template <typename T>
void Put(std::string &b, size_t at, T v) {
    std::memcpy(&b[at], &v, sizeof v);
}

struct EntryLayout {
    const char *name;
    int size;
    bool oldSite;  // the 132-byte site record at 13 (name at +99), else the current one (name at +133)
    int trailer, objectClass, observer, instrument, instrumentName, conditions, notes;
    int (*convert)(const uint8_t *, LogEntry *);
};

const EntryLayout kLayouts[] = {
    {"9,124", 9124, true, 145, 148, 157, 241, 8718, 8991, 9120, ConvertOldLogEntry},
    {"9,223", 9223, false, 179, 182, 256, 340, 8718, 9090, 9219, ConvertLogEntry9223},
    {"139,679", 139679, false, 179, 182, 256, 340, 139174, 139546, 139675, ConvertLogEntry139679},
    {"330,523", 330523, false, 179, 182, 256, 340, 329890, 330390, 330519, ConvertLogEntry330523},
};

std::string OldEntryOf(const EntryLayout &l) {
    std::string b(static_cast<size_t>(l.size), '\0');
    Put<double>(b, 5, 2455033.25);
    PutText(b, 13 + (l.oldSite ? 99 : 133), "Hilltop");
    Put<double>(b, 13 + 48, 6.5);  // naked-eye limit, at 48 in both site layouts
    b[static_cast<size_t>(l.trailer)] = 3;
    b[static_cast<size_t>(l.trailer) + 1] = 1;
    b[static_cast<size_t>(l.objectClass)] = 6;
    Put<int32_t>(b, static_cast<size_t>(l.objectClass) + 1, 4565);
    Put<uint32_t>(b, static_cast<size_t>(l.objectClass) + 5, 0x100);
    if (!l.oldSite) PutText(b, 191, "NGC 4565");  // a designation the converters do not take
    PutText(b, static_cast<size_t>(l.observer), "Ann");
    Put<int32_t>(b, static_cast<size_t>(l.observer) + 64, 41);  // age
    b[static_cast<size_t>(l.instrument) + 2] = 1;              // one optics block
    PutText(b, static_cast<size_t>(l.instrument + l.instrumentName), "Dob 10");
    // Conditions filling their field without a terminator, and a byte after.
    std::memset(&b[static_cast<size_t>(l.conditions)], 'c', 128);
    b[static_cast<size_t>(l.conditions) + 128] = 'X';
    Put<int32_t>(b, static_cast<size_t>(l.notes), 4321);
    return b;
}

}  // namespace

TEST(OldLogEntry, EveryLayoutLandsAtTheCurrentOffsets) {
    for (const EntryLayout &l : kLayouts) {
        SCOPED_TRACE(l.name);
        std::string old = OldEntryOf(l);
        std::unique_ptr<LogEntry> e(new LogEntry);
        std::memset(e.get(), 0xCD, sizeof(LogEntry));
        ASSERT_EQ(l.convert(reinterpret_cast<const uint8_t *>(old.data()), e.get()), 1);
        std::string n(reinterpret_cast<const char *>(e.get()), sizeof(LogEntry));
        EXPECT_EQ(n.substr(2, 3), std::string("\x03\x01" "f", 3));
        double jd;
        std::memcpy(&jd, &n[5], 8);
        EXPECT_EQ(jd, 2455033.25);
        EXPECT_STREQ(&n[146], "Hilltop");  // site name
        EXPECT_EQ(n[179], 3);
        EXPECT_EQ(n[180], 1);
        EXPECT_EQ(n[182], 6);
        int32_t index;
        uint32_t bits;
        std::memcpy(&index, &n[183], 4);
        std::memcpy(&bits, &n[187], 4);
        EXPECT_EQ(index, 4565);
        EXPECT_EQ(bits, 0x100u);
        EXPECT_EQ(n[191], 0);              // the designation is left empty
        EXPECT_STREQ(&n[256], "Ann");
        int32_t age;
        std::memcpy(&age, &n[256 + 64], 4);
        EXPECT_EQ(age, 41);
        EXPECT_STREQ(&n[330332], "Dob 10");  // instrument name
        EXPECT_EQ(n.substr(330492, 128), std::string(128, 'c'));
        EXPECT_EQ(n[330620], 0);           // nothing past the conditions' field
        int32_t notes;
        std::memcpy(&notes, &n[330621], 4);
        EXPECT_EQ(notes, 4321);
        EXPECT_EQ(l.convert(nullptr, e.get()), 0);
    }
}

TEST(OldLogEntry, FirstGenerationSitesGainTheNewFields) {
    std::string old = OldEntryOf(kLayouts[0]);
    Put<double>(old, 13 + 48, 8.5);  // darker than the model's end
    std::unique_ptr<LogEntry> e(new LogEntry);
    ASSERT_EQ(ConvertOldLogEntry(reinterpret_cast<const uint8_t *>(old.data()), e.get()), 1);
    double limit = e->site.nakedEyeLimit, temperature = e->site.temperature, humidity = e->site.humidity;
    EXPECT_EQ(limit, 8.0);
    EXPECT_EQ(temperature, 18.3);
    EXPECT_EQ(humidity, 60.0);
    EXPECT_EQ(e->site.seeingRating, 2);
}

namespace {

// An old summary row of log number n, its site name and constellation.
std::string OldRow(int32_t number, const char *site, uint8_t constellation) {
    std::string r(static_cast<size_t>(kLogSummarySize330497), '\0');
    Put<int32_t>(r, 0, number);
    r[4] = 6;                              // class code, the first identity byte
    Put<double>(r, 78 + 30, 2455033.5);    // the date record's Julian date
    PutText(r, 196 + 133, site);
    PutText(r, 362, "Ann");
    r[446 + 2] = 1;
    PutText(r, 446 + 329890, "Dob 10");    // the 330,050-byte instrument's name
    r[330496] = static_cast<char>(constellation);
    return r;
}

std::string SummaryFile(int32_t count, const std::string &rows) {
    std::string f(4, '\0');
    std::memcpy(&f[0], &count, 4);
    return f + rows;
}

}  // namespace

TEST(LogSummaryUpgrade, RowsMoveToTheCurrentLayout) {
    std::string old = OldRow(7, "Hilltop", 56);
    std::unique_ptr<LogSummary> row(new LogSummary);
    ASSERT_EQ(ConvertLogSummary330497(reinterpret_cast<const uint8_t *>(old.data()), row.get()), 1);
    std::string n(reinterpret_cast<const char *>(row.get()), sizeof(LogSummary));
    int32_t number;
    std::memcpy(&number, &n[0], 4);
    EXPECT_EQ(number, 7);
    EXPECT_EQ(n[4], 6);
    double jd;
    std::memcpy(&jd, &n[108], 8);
    EXPECT_EQ(jd, 2455033.5);
    EXPECT_STREQ(&n[329], "Hilltop");
    EXPECT_STREQ(&n[362], "Ann");
    EXPECT_STREQ(&n[330438], "Dob 10");
    EXPECT_EQ(static_cast<uint8_t>(n[330598]), 56);
}

TEST(LogSummaryUpgrade, FilesAreRewrittenWithTheRowsTheyHold) {
    testutil::TempDir user;
    std::string folder = user.path() + "/log/galaxies";
    ASSERT_TRUE(FsMakeFolder(user.path() + "/log"));
    ASSERT_TRUE(FsMakeFolder(folder));
    // Whole, cut in its third row, and a current file (which an old reading
    // would take apart).
    std::string rows = OldRow(0, "A", 1) + OldRow(1, "B", 2) + OldRow(2, "C", 3);
    ASSERT_TRUE(testutil::WriteFileBytes(folder + "/000000051.pix", SummaryFile(3, rows)));
    ASSERT_TRUE(testutil::WriteFileBytes(folder + "/000000031.pix", SummaryFile(3, rows.substr(0, rows.size() - 10))));
    std::string current = SummaryFile(1, std::string(sizeof(LogSummary), 'q'));
    ASSERT_TRUE(testutil::WriteFileBytes(folder + "/000000077.pix", current));
    ASSERT_EQ(UpgradeLogSummaryFiles(user.path().c_str()), 1);

    struct Want {
        const char *file;
        int32_t count;
    } wants[] = {{"/000000051.pix", 3}, {"/000000031.pix", 2}};
    for (const Want &w : wants) {
        SCOPED_TRACE(w.file);
        std::string b = testutil::ReadFileBytes(folder + w.file);
        int32_t count;
        std::memcpy(&count, b.data(), 4);
        EXPECT_EQ(count, w.count);  // the rows written, not the old count
        ASSERT_EQ(b.size(), 4 + static_cast<size_t>(w.count) * sizeof(LogSummary));
        for (int32_t i = 0; i < w.count; ++i) {
            EXPECT_EQ(b[4 + static_cast<size_t>(i) * sizeof(LogSummary) + 329], "ABC"[i]);
            EXPECT_EQ(b[4 + static_cast<size_t>(i) * sizeof(LogSummary) + 330598], i + 1);
        }
    }
    EXPECT_EQ(testutil::ReadFileBytes(folder + "/000000077.pix"), current);
    // Run again: everything is current now and stays as it is.
    std::string upgraded = testutil::ReadFileBytes(folder + "/000000051.pix");
    ASSERT_EQ(UpgradeLogSummaryFiles(user.path().c_str()), 1);
    EXPECT_EQ(testutil::ReadFileBytes(folder + "/000000051.pix"), upgraded);
}

TEST(LogSummaryUpgrade, EachFailedStepLeavesTheOldFile) {
    testutil::TempDir user;
    std::string folder = user.path() + "/log/stars";
    ASSERT_TRUE(FsMakeFolder(user.path() + "/log"));
    ASSERT_TRUE(FsMakeFolder(folder));
    const std::string old = SummaryFile(2, OldRow(0, "A", 1) + OldRow(1, "B", 2));
    testutil::ForEachFailurePoint(
        [&] { testutil::WriteFileBytes(folder + "/000000005.pix", old); },
        [&] { return UpgradeLogSummaryFiles(user.path().c_str()); },
        [&](const testutil::FailurePointRun &run) {
            EXPECT_EQ(run.result, 0) << testutil::DescribeFailurePoint(run);
            EXPECT_EQ(testutil::ReadFileBytes(folder + "/000000005.pix"), old) << testutil::DescribeFailurePoint(run);
        });
}
