// Tests of the fixed-slot file layer under the site and observer stores: the
// open-or-create rule, counts, append and shift-down delete with their stale
// tail, refused indexes, and the complete-or-nothing copy under failures
// (a short source, a blocked temporary name, a full disk).
#include "sites/slotstore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/fileutil.h"
#include "sites/tests/diskfull.h"
#include "testutil/testutil.h"
#include "core/safefile.h"

namespace {

using testutil::ReadFileBytes;
using testutil::WriteFileBytes;

// 4-byte slots keep the hand-written files readable.
const int kSize = 4;

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b) s.push_back((char)c);
    return s;
}

// Count 2 ("AAAA", "BBBB") and a stale slot "ZZZZ" behind them.
std::string TwoSlotsAndStaleTail() { return Bytes({2, 0}) + "AAAABBBBZZZZ"; }

struct OpenStore {
    FILE *f = nullptr;
    int16_t count = -99;
    explicit OpenStore(const std::string &path) { f = OpenSlotStore(path.c_str(), &count); }
    ~OpenStore() {
        if (f) std::fclose(f);
    }
};

TEST(SlotStoreOpen, CreatesOnlyAnAbsentFile) {
    testutil::TempDir dir;
    std::string path = dir.file("s.bin");
    {
        OpenStore s(path);
        ASSERT_NE(s.f, nullptr);
        EXPECT_EQ(s.count, 0);
        EXPECT_EQ(std::ftell(s.f), 2L);  // just after the count
    }
    EXPECT_EQ(ReadFileBytes(path), Bytes({0, 0}));

    // An existing store keeps every byte, stale tail included.
    ASSERT_TRUE(WriteFileBytes(path, TwoSlotsAndStaleTail()));
    {
        OpenStore s(path);
        ASSERT_NE(s.f, nullptr);
        EXPECT_EQ(s.count, 2);
    }
    EXPECT_EQ(ReadFileBytes(path), TwoSlotsAndStaleTail());
}

TEST(SlotStoreOpen, RefusesWhatItCannotOpenWithoutTouchingIt) {
    testutil::TempDir dir;
    // Something that exists but cannot be opened for update is never re-created.
    std::string folder = dir.file("s.bin");
    ASSERT_EQ(EnsureDirectory(folder.c_str()), 1);
    {
        OpenStore s(folder);
        EXPECT_EQ(s.f, nullptr);
    }
    EXPECT_EQ(FsKind(folder), 1);

    // A negative count marks a damaged file: refused and left as it is.
    std::string bad = dir.file("bad.bin");
    std::string badBytes = Bytes({0xFF, 0xFF}) + "AAAA";
    ASSERT_TRUE(WriteFileBytes(bad, badBytes));
    {
        OpenStore s(bad);
        EXPECT_EQ(s.f, nullptr);
    }
    EXPECT_EQ(ReadFileBytes(bad), badBytes);

    // No folder at all: nothing opened, nothing made.
    OpenStore none(dir.file("missing/s.bin"));
    EXPECT_EQ(none.f, nullptr);
}

TEST(SlotStoreOpen, AFileTooShortForItsCountBecomesEmpty) {
    testutil::TempDir dir;
    for (const std::string &stub : {std::string(), Bytes({7})}) {
        std::string path = dir.file("s.bin");
        ASSERT_TRUE(WriteFileBytes(path, stub));
        {
            OpenStore s(path);
            ASSERT_NE(s.f, nullptr) << stub.size();
            EXPECT_EQ(s.count, 0);
        }
        EXPECT_EQ(ReadFileBytes(path), Bytes({0, 0}));
    }
}

TEST(SlotStoreReadOnly, ReadsTheCountAndRefusesEveryWrite) {
    testutil::TempDir dir;
    std::string path = dir.file("s.bin");
    ASSERT_TRUE(WriteFileBytes(path, TwoSlotsAndStaleTail()));
    int16_t count = 0;
    FILE *f = OpenSlotFileReadOnly(path.c_str(), &count);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(count, 2);
    char slot[kSize];
    EXPECT_EQ(ReadSlot(f, kSize, 1, slot), 1);
    EXPECT_EQ(std::string(slot, kSize), "BBBB");
    // A stream opened "rb": every write fails, and the file stays as it was.
    EXPECT_EQ(AppendSlot(f, kSize, "CCCC"), 0);
    EXPECT_EQ(WriteSlot(f, kSize, 0, "CCCC"), 0);
    EXPECT_EQ(WriteSlotCount(f, 1), 0);
    std::fclose(f);
    EXPECT_EQ(ReadFileBytes(path), TwoSlotsAndStaleTail());
    EXPECT_EQ(OpenSlotFileReadOnly(dir.file("none.bin").c_str(), &count), nullptr);
}

TEST(SlotStoreEdit, AppendDeleteAndTheStaleTail) {
    testutil::TempDir dir;
    std::string path = dir.file("s.bin");
    OpenStore s(path);
    ASSERT_NE(s.f, nullptr);
    for (const char *slot : {"AAAA", "BBBB", "CCCC"}) ASSERT_EQ(AppendSlot(s.f, kSize, slot), 1);
    EXPECT_EQ(ReadFileBytes(path), Bytes({3, 0}) + "AAAABBBBCCCC");

    // Deleting the middle slot shifts the last one down; the file keeps its
    // length and its last slot's bytes, which are now stale.
    ASSERT_EQ(DeleteSlot(path.c_str(), &s.f, kSize, 1), 1);
    EXPECT_EQ(ReadFileBytes(path), Bytes({2, 0}) + "AAAACCCCCCCC");
    char slot[kSize];
    EXPECT_EQ(ReadSlot(s.f, kSize, 2, slot), 0);  // the stale slot is never read

    // The next append reuses the freed slot.
    ASSERT_EQ(AppendSlot(s.f, kSize, "DDDD"), 1);
    EXPECT_EQ(ReadFileBytes(path), Bytes({3, 0}) + "AAAACCCCDDDD");
    ASSERT_EQ(WriteSlot(s.f, kSize, 0, "EEEE"), 1);
    ASSERT_EQ(DeleteSlot(path.c_str(), &s.f, kSize, 2), 1);  // the last: only the count changes
    EXPECT_EQ(ReadFileBytes(path), Bytes({2, 0}) + "EEEECCCCDDDD");
}

TEST(SlotStoreEdit, IndexesOutsideTheCountAreRefused) {
    testutil::TempDir dir;
    std::string path = dir.file("s.bin");
    ASSERT_TRUE(WriteFileBytes(path, TwoSlotsAndStaleTail()));
    OpenStore s(path);
    ASSERT_NE(s.f, nullptr);
    char slot[kSize];
    // -1 is what a list selection gives after its last entry was deleted.
    for (int index : {-1, -32768, 2, 3, 40000}) {
        EXPECT_EQ(ReadSlot(s.f, kSize, index, slot), 0) << index;
        EXPECT_EQ(WriteSlot(s.f, kSize, index, "XXXX"), 0) << index;
        EXPECT_EQ(DeleteSlot(path.c_str(), &s.f, kSize, index), 0) << index;
    }
    EXPECT_EQ(ReadFileBytes(path), TwoSlotsAndStaleTail());
}

TEST(SlotStoreEdit, AFullCountRefusesTheAppend) {
    testutil::TempDir dir;
    std::string path = dir.file("s.bin");
    ASSERT_TRUE(WriteFileBytes(path, Bytes({0xFF, 0x7F})));  // 32767
    OpenStore s(path);
    ASSERT_NE(s.f, nullptr);
    EXPECT_EQ(s.count, kMaxSlotCount);
    EXPECT_EQ(AppendSlot(s.f, kSize, "AAAA"), 0);
    EXPECT_EQ(ReadFileBytes(path), Bytes({0xFF, 0x7F}));
}

TEST(SlotStoreFailure, AnAppendThatRunsOutOfDiskLeavesTheCount) {
    testutil::TempDir dir;
    std::string path = dir.file("s.bin");
    ASSERT_TRUE(WriteFileBytes(path, Bytes({2, 0}) + "AAAABBBB"));
    OpenStore s(path);
    ASSERT_NE(s.f, nullptr);
    {
        sitestest::DiskFull full(12);  // room for half of the next slot
        if (!full.ok()) GTEST_SKIP() << "no file-size limit on this platform";
        EXPECT_EQ(AppendSlot(s.f, kSize, "CCCC"), 0);
    }
    std::clearerr(s.f);
    std::string after = ReadFileBytes(path);
    ASSERT_GE(after.size(), 10u);
    EXPECT_EQ(after.substr(0, 10), Bytes({2, 0}) + "AAAABBBB");  // count and slots intact
    // The store still works once there is room again.
    EXPECT_EQ(AppendSlot(s.f, kSize, "CCCC"), 1);
    EXPECT_EQ(ReadFileBytes(path), Bytes({3, 0}) + "AAAABBBBCCCC");
}

TEST(SlotStoreFailure, ADeleteThatRunsOutOfDiskLeavesTheFileWhole) {
    testutil::TempDir dir;
    std::string path = dir.file("s.bin");
    const std::string full = Bytes({4, 0}) + "AAAABBBBCCCCDDDD";
    ASSERT_TRUE(WriteFileBytes(path, full));
    OpenStore s(path);
    ASSERT_NE(s.f, nullptr);
    {
        // Writes from offset 10 on fail: the new copy cannot be completed.
        sitestest::DiskFull full(10);
        if (!full.ok()) GTEST_SKIP() << "no file-size limit on this platform";
        EXPECT_EQ(DeleteSlot(path.c_str(), &s.f, kSize, 0), 0);
    }
    // The stream is open again on the old file, which is as it was.
    ASSERT_NE(s.f, nullptr);
    EXPECT_EQ(ReadFileBytes(path), full);
    char slot[kSize];
    EXPECT_EQ(ReadSlot(s.f, kSize, 3, slot), 1);
    EXPECT_EQ(std::string(slot, kSize), "DDDD");
}

TEST(SlotStoreCopy, CopiesTheCountedSlotsOnly) {
    testutil::TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("s.bin"), TwoSlotsAndStaleTail()));
    ASSERT_TRUE(WriteFileBytes(dir.file("s.bak"), "old backup"));
    ASSERT_EQ(CopySlotFile(dir.file("s.bin").c_str(), dir.file("s.bak").c_str(), kSize), 1);
    EXPECT_EQ(ReadFileBytes(dir.file("s.bak")), Bytes({2, 0}) + "AAAABBBB");
    EXPECT_TRUE(testutil::TemporariesBeside(dir.file("s.bak")).empty());
}

TEST(SlotStoreCopy, AFailedCopyLeavesTheTargetAsItWas) {
    testutil::TempDir dir;
    std::string target = dir.file("s.bin");
    std::string live = Bytes({1, 0}) + "LIVE";
    ASSERT_TRUE(WriteFileBytes(target, live));

    // The source is missing: nothing is written.
    EXPECT_EQ(CopySlotFile(dir.file("none.bak").c_str(), target.c_str(), kSize), 0);
    EXPECT_EQ(ReadFileBytes(target), live);
    EXPECT_EQ(CopySlotFile(target.c_str(), dir.file("made.bak").c_str(), kSize), 1);

    // The source's count claims more slots than it holds (an interrupted copy).
    ASSERT_TRUE(WriteFileBytes(dir.file("short.bak"), Bytes({3, 0}) + "AAAABBBB"));
    EXPECT_EQ(CopySlotFile(dir.file("short.bak").c_str(), target.c_str(), kSize), 0);
    EXPECT_EQ(ReadFileBytes(target), live);
    EXPECT_TRUE(testutil::TemporariesBeside(target).empty());

    // A source with a negative count.
    ASSERT_TRUE(WriteFileBytes(dir.file("neg.bak"), Bytes({0xFE, 0xFF})));
    EXPECT_EQ(CopySlotFile(dir.file("neg.bak").c_str(), target.c_str(), kSize), 0);
    EXPECT_EQ(ReadFileBytes(target), live);

    // The temporary name cannot be created.
    ASSERT_TRUE(WriteFileBytes(dir.file("good.bak"), TwoSlotsAndStaleTail()));
    SetFileStepFailure(1);  // the temporary's open
    EXPECT_EQ(CopySlotFile(dir.file("good.bak").c_str(), target.c_str(), kSize), 0);
    SetFileStepFailure(0);
    EXPECT_EQ(ReadFileBytes(target), live);
}

TEST(SlotStoreCopy, ADiskThatFillsDuringTheCopyLeavesTheTarget) {
    testutil::TempDir dir;
    std::string source = dir.file("s.bak");
    std::string target = dir.file("s.bin");
    std::string big = Bytes({100, 0});
    for (int i = 0; i < 100; ++i) big += "SLOT";
    ASSERT_TRUE(WriteFileBytes(source, big));
    std::string live = Bytes({1, 0}) + "LIVE";
    ASSERT_TRUE(WriteFileBytes(target, live));
    {
        sitestest::DiskFull full(100);
        if (!full.ok()) GTEST_SKIP() << "no file-size limit on this platform";
        EXPECT_EQ(CopySlotFile(source.c_str(), target.c_str(), kSize), 0);
    }
    EXPECT_EQ(ReadFileBytes(target), live);
    EXPECT_TRUE(testutil::TemporariesBeside(target).empty());
}

}  // namespace
