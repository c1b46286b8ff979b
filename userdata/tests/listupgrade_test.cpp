// Observing lists of the older layouts: the 58-byte index slots, list files
// of 264-byte and 329-byte items (fixtures written at the old offsets), the
// new header that counts the items written, damaged counts and failed steps;
// and the older note header.
#include "userdata/listupgrade.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/safefile.h"
#include "core/versionstamp.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"
#include "userdata/notestore.h"

namespace {

template <typename T>
void Put(std::string &b, size_t at, T v) {
    std::memcpy(&b[at], &v, sizeof v);
}
template <typename T>
T Get(const std::string &b, size_t at) {
    T v;
    std::memcpy(&v, &b[at], sizeof v);
    return v;
}

std::string OldItem(int size, int32_t index, uint8_t objectClass) {
    std::string b(static_cast<size_t>(size), 'x');  // bytes the conversion drops
    Put<int32_t>(b, 149, index);
    b[153] = static_cast<char>(objectClass);
    return b;
}

std::string OldList(int headerSize, int itemSize, int items) {
    std::string f(static_cast<size_t>(headerSize), 'h');
    for (int i = 0; i < items; ++i) f += OldItem(itemSize, 100 + i, static_cast<uint8_t>(6 + i));
    return f;
}

}  // namespace

TEST(ListUpgrade, ListFilesOfBothLayouts) {
    struct Case {
        const char *name;
        int headerSize, itemSize;
        int (*upgrade)(const char *, const char *, int32_t);
        bool settings;
    } cases[] = {
        {"264", 49, 264, UpgradeObservingListFile, true},
        {"329", 126, 329, UpgradeObservingListFile329, false},
    };
    std::unique_ptr<ObjectRecord> fresh(new ObjectRecord);
    std::memset(fresh.get(), 0, sizeof(ObjectRecord));
    InitObjectRecord(fresh.get());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        testutil::TempDir dir;
        // Three whole items and the start of a fourth cut short.
        std::string old = OldList(c.headerSize, c.itemSize, 3) + std::string(20, 'z');
        ASSERT_TRUE(testutil::WriteFileBytes(dir.file("obs.old"), old));
        ASSERT_EQ(c.upgrade(dir.file("obs.old").c_str(), dir.file("obs.new").c_str(), 12), 1);
        std::string n = testutil::ReadFileBytes(dir.file("obs.new"));
        ASSERT_EQ(n.size(), 390 + 3 * 395u);
        EXPECT_EQ(Get<uint16_t>(n, 0), 55555);
        EXPECT_EQ(n.substr(2, 3), "\x03\x01" "f");
        EXPECT_EQ(Get<int16_t>(n, 5), 3);  // the items written
        EXPECT_EQ(n[105], 1);
        EXPECT_EQ(Get<int32_t>(n, 106), 12);
        EXPECT_EQ(Get<int32_t>(n, 111), c.settings ? 1 : 0);
        EXPECT_EQ(Get<int32_t>(n, 115), c.settings ? 2 : 0);
        EXPECT_EQ(Get<int32_t>(n, 119), c.settings ? 3 : 0);
        EXPECT_EQ(n.substr(135, 255), std::string(255, '\0'));
        for (int i = 0; i < 3; ++i) {
            std::string item = n.substr(390 + 395 * static_cast<size_t>(i), 395);
            EXPECT_EQ(Get<int32_t>(item, 149), 100 + i);
            EXPECT_EQ(item[153], 6 + i);
            // Every other field as an initialised record has it.
            std::string want(reinterpret_cast<const char *>(fresh.get()), 395);
            EXPECT_EQ(item.substr(0, 149), want.substr(0, 149));
            EXPECT_EQ(item.substr(154), want.substr(154));
        }
    }
}

TEST(ListUpgrade, ItemsAndIndexSlots) {
    testutil::TempDir dir;
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("obs.old"), OldList(49, 264, 2)));
    FileHandle f(SafeOpen(dir.file("obs.old").c_str(), "rb"));
    ObjectRecord item;
    ASSERT_EQ(ReadOldObservingListItem(f.get(), 1, &item), 1);
    int32_t index = item.index;
    EXPECT_EQ(index, 101);
    EXPECT_EQ(item.objectClass, 7);
    EXPECT_EQ(ReadOldObservingListItem(f.get(), 2, &item), 0);
    EXPECT_EQ(ReadOldObservingListItem(nullptr, 0, &item), -1);
    ObjectRecord *items = nullptr;
    ASSERT_EQ(ReadOldObservingListItems(dir.file("obs.old").c_str(), &items, 2), 1);
    std::unique_ptr<ObjectRecord[]> holder(items);
    index = items[0].index;
    EXPECT_EQ(index, 100);
    EXPECT_EQ(ReadOldObservingListItems(dir.file("obs.old").c_str(), &items, 3), 0);
    EXPECT_EQ(items, nullptr);

    std::string index58(2, '\0');
    Put<int16_t>(index58, 0, 2);
    std::string slot(58, '\0');
    std::memcpy(&slot[0], "Messier marathon", 16);
    Put<int32_t>(slot, 48, 0);
    std::string freeSlot(58, '\0');
    Put<int32_t>(freeSlot, 48, -1);
    index58 += slot + freeSlot;
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("index.old"), index58));
    ASSERT_EQ(UpgradeListIndexFile(dir.file("index.old").c_str(), dir.file("index.new").c_str(), 3), 1);
    std::string n = testutil::ReadFileBytes(dir.file("index.new"));
    ASSERT_EQ(n.size(), 2 + 2 * 60u);
    EXPECT_EQ(Get<int16_t>(n, 0), 2);
    EXPECT_EQ(n.substr(2, 58), slot);
    EXPECT_EQ(Get<int16_t>(n, 2 + 58), 3);
    EXPECT_EQ(Get<int16_t>(n, 2 + 60 + 48), -1);  // still an empty slot
    EXPECT_EQ(Get<int16_t>(n, 2 + 60 + 58), 3);
    // Stepping through the old index passes over the empty slot.
    std::string three = index58 + slot;
    Put<int16_t>(three, 0, 3);
    Put<int32_t>(three, 2 + 2 * 58 + 48, 7);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("index3.old"), three));
    FileHandle idx(SafeOpen(dir.file("index3.old").c_str(), "rb"));
    char name[48];
    int32_t number = -5;
    EXPECT_EQ(ReadNextOldListRecord(idx.get(), 1, 3, name, &number), 1);
    EXPECT_STREQ(name, "Messier marathon");
    EXPECT_EQ(number, 0);
    EXPECT_EQ(ReadNextOldListRecord(idx.get(), 1, 3, name, &number), 3);
    EXPECT_EQ(number, 7);
    EXPECT_EQ(ReadNextOldListRecord(idx.get(), 1, 3, nullptr, nullptr), 0);
    EXPECT_EQ(ReadNextOldListRecord(idx.get(), 1, 4, nullptr, nullptr), -1);  // a slot the file does not hold
    Put<int16_t>(index58, 0, 5);  // a count the file does not hold
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("cut.old"), index58));
    EXPECT_EQ(UpgradeListIndexFile(dir.file("cut.old").c_str(), dir.file("cut.new").c_str(), 3), 0);
    EXPECT_FALSE(testutil::PathIsThere(dir.file("cut.new")));
}

TEST(ListUpgrade, EachFailedStepLeavesNoNewList) {
    testutil::TempDir dir;
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("obs.old"), OldList(49, 264, 2)));
    testutil::ForEachFailurePoint(
        [&] { std::remove(dir.file("obs.new").c_str()); },
        [&] { return UpgradeObservingListFile(dir.file("obs.old").c_str(), dir.file("obs.new").c_str(), 1); },
        [&](const testutil::FailurePointRun &run) {
            EXPECT_EQ(run.result, 0) << testutil::DescribeFailurePoint(run);
            EXPECT_FALSE(testutil::PathIsThere(dir.file("obs.new"))) << testutil::DescribeFailurePoint(run);
        });
}

TEST(NoteHeaderUpgrade, OldHeadersGetTheStampAndNoStatus) {
    std::string old(83, '\0');
    Put<uint16_t>(old, 0, 55555);
    old[2] = 2;
    old[3] = 9;
    old[5] = 6;                       // class
    Put<int32_t>(old, 6, 4565);       // catalogue index
    Put<uint32_t>(old, 10, 0x100);    // category
    std::memcpy(&old[14], "Edge-on", 7);
    Put<int32_t>(old, 79, 12);        // text length
    OldNoteHeader o;
    std::memcpy(&o, old.data(), sizeof o);
    NoteHeader h;
    std::memset(&h, 0xCD, sizeof h);
    ConvertOldNoteHeader(&o, &h);
    std::string n(reinterpret_cast<const char *>(&h), sizeof h);
    EXPECT_EQ(n.substr(2, 3), "\x03\x01" "f");
    EXPECT_EQ(n.substr(5, 78), old.substr(5, 78));
    EXPECT_EQ(Get<int32_t>(n, 83), 0);
}
