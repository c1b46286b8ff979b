// Tests of the binary searches: tables of 1, 2 and 3 records searched for
// every present key and every gap, the empty range, insertion points, the
// file variants (index stored only on a match, unreadable records) and a sweep
// against std::lower_bound.
#include "objects/binsearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "testutil/testutil.h"

namespace {

int g_calls = 0;

int CompareInt(int key, int element) { return key < element ? -1 : (key > element ? 1 : 0); }

int IndexCompare(const void *key, const int *array, int mid) {
    ++g_calls;
    return CompareInt(*static_cast<const int *>(key), array[mid]);
}

int ContextCompareFn(const void *key, const void *context, int mid) {
    ++g_calls;
    return CompareInt(*static_cast<const int *>(key), static_cast<const int *>(context)[mid]);
}

int RecordCompare(const void *key, const void *array, int mid, void **out) {
    ++g_calls;
    int element = static_cast<const int *>(array)[mid];
    int r = CompareInt(*static_cast<const int *>(key), element);
    if (r == 0) {
        int *copy = static_cast<int *>(std::malloc(sizeof(int)));
        *copy = element * 100;
        *out = copy;
    }
    return r;
}

// File records: 4-byte little-endian keys; a record that cannot be read
// answers 1.
bool ReadKey(FILE *f, int mid, int *value) {
    unsigned char b[4];
    if (mid < 0 || std::fseek(f, static_cast<long>(mid) * 4, SEEK_SET) != 0) return false;
    if (std::fread(b, 1, 4, f) != 4) return false;
    *value = static_cast<int>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                              (static_cast<uint32_t>(b[2]) << 16) |
                              (static_cast<uint32_t>(b[3]) << 24));
    return true;
}

int FileRecordCompareFn(const void *key, FILE *f, int mid, void **out) {
    ++g_calls;
    int value;
    if (!ReadKey(f, mid, &value)) return 1;
    int r = CompareInt(*static_cast<const int *>(key), value);
    if (r == 0) {
        int *copy = static_cast<int *>(std::malloc(sizeof(int)));
        *copy = value;
        *out = copy;
    }
    return r;
}

int FileIndexCompareFn(const void *key, FILE *f, int mid) {
    ++g_calls;
    int value;
    if (!ReadKey(f, mid, &value)) return 1;
    return CompareInt(*static_cast<const int *>(key), value);
}

std::string LittleEndianKeys(const std::vector<int> &keys) {
    std::string bytes;
    for (int k : keys)
        for (int i = 0; i < 4; ++i) bytes += static_cast<char>((static_cast<uint32_t>(k) >> (8 * i)) & 0xff);
    return bytes;
}

TEST(BinarySearch, EmptyRangeNeverCallsBack) {
    int keys[] = {10};
    int key = 10;
    int index = 77;
    g_calls = 0;
    EXPECT_EQ(BinarySearchIndexArray(keys, 0, -1, &key, IndexCompare), -1);
    EXPECT_EQ(BinarySearchRecords(keys, 0, -1, &key, RecordCompare), nullptr);
    EXPECT_EQ(BinarySearchInsertionPoint(keys, 0, -1, &key, ContextCompareFn), -1);
    EXPECT_EQ(BinarySearchFileRecords(nullptr, 5, 4, &key, &index, FileRecordCompareFn), nullptr);
    EXPECT_EQ(BinarySearchFileIndex(nullptr, 5, 4, &key, FileIndexCompareFn), -1);
    EXPECT_EQ(g_calls, 0);
    EXPECT_EQ(index, 77);
}

TEST(BinarySearch, OneElementRangeCallsBackOnce) {
    int keys[] = {10};
    for (int key : {5, 10, 15}) {
        g_calls = 0;
        BinarySearchIndexArray(keys, 0, 0, &key, IndexCompare);
        EXPECT_EQ(g_calls, 1) << key;
    }
}

// Tables of 1, 2 and 3 keys: every key is found at its index by every memory
// variant, every gap is absent, and the insertion point is the last index
// sorting before the key.
TEST(BinarySearch, SmallTablesEveryKeyAndGap) {
    const std::vector<std::vector<int>> tables = {{10}, {10, 20}, {10, 20, 30}};
    for (const auto &t : tables) {
        int high = static_cast<int>(t.size()) - 1;
        for (int probe = 5; probe <= 35; probe += 5) {
            auto it = std::find(t.begin(), t.end(), probe);
            int expected = it == t.end() ? -1 : static_cast<int>(it - t.begin());
            EXPECT_EQ(BinarySearchIndexArray(t.data(), 0, high, &probe, IndexCompare), expected)
                << "size " << t.size() << " key " << probe;
            void *rec = BinarySearchRecords(t.data(), 0, high, &probe, RecordCompare);
            if (expected < 0) {
                EXPECT_EQ(rec, nullptr);
            } else {
                ASSERT_NE(rec, nullptr);
                EXPECT_EQ(*static_cast<int *>(rec), probe * 100);
                std::free(rec);
            }
            int insertion = static_cast<int>(std::lower_bound(t.begin(), t.end(), probe) - t.begin());
            if (expected < 0) insertion -= 1;  // last element sorting before the key
            EXPECT_EQ(BinarySearchInsertionPoint(t.data(), 0, high, &probe, ContextCompareFn), insertion)
                << "size " << t.size() << " key " << probe;
        }
    }
}

TEST(BinarySearch, InsertionPointExamples) {
    int keys[] = {10, 20, 30};
    struct { int key, expected; } cases[] = {{25, 1}, {5, -1}, {35, 2}, {20, 1}, {15, 0}};
    for (auto c : cases)
        EXPECT_EQ(BinarySearchInsertionPoint(keys, 0, 2, &c.key, ContextCompareFn), c.expected) << c.key;
}

// Every size up to 40 with every present key and every gap against
// std::lower_bound, with the call count within the logarithmic bound.
TEST(BinarySearch, SweepAgainstLowerBound) {
    for (int n = 1; n <= 40; ++n) {
        std::vector<int> t;
        for (int i = 0; i < n; ++i) t.push_back(10 * (i + 1));
        int bound = 0;
        while ((1 << bound) <= n) ++bound;
        for (int key = 5; key <= 10 * n + 5; key += 5) {
            g_calls = 0;
            int got = BinarySearchIndexArray(t.data(), 0, n - 1, &key, IndexCompare);
            EXPECT_LE(g_calls, bound);
            auto it = std::lower_bound(t.begin(), t.end(), key);
            int expected = (it != t.end() && *it == key) ? static_cast<int>(it - t.begin()) : -1;
            ASSERT_EQ(got, expected) << "n " << n << " key " << key;
        }
    }
}

TEST(BinarySearch, FileVariantsStoreIndexOnlyOnMatch) {
    testutil::TempDir dir;
    std::string path = dir.file("keys.bin");
    ASSERT_TRUE(testutil::WriteFileBytes(path, LittleEndianKeys({10, 20, 30})));
    FILE *f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    for (int key : {10, 20, 30}) {
        int index = -5;
        void *rec = BinarySearchFileRecords(f, 0, 2, &key, &index, FileRecordCompareFn);
        ASSERT_NE(rec, nullptr);
        EXPECT_EQ(*static_cast<int *>(rec), key);
        EXPECT_EQ(index, key / 10 - 1);
        std::free(rec);
        EXPECT_EQ(BinarySearchFileIndex(f, 0, 2, &key, FileIndexCompareFn), key / 10 - 1);
    }
    for (int key : {5, 15, 25, 35}) {
        int index = -5;
        EXPECT_EQ(BinarySearchFileRecords(f, 0, 2, &key, &index, FileRecordCompareFn), nullptr);
        EXPECT_EQ(index, -5) << key;
        EXPECT_EQ(BinarySearchFileIndex(f, 0, 2, &key, FileIndexCompareFn), -1);
    }
    std::fclose(f);
}

// A range that runs past the end of the file: a record that cannot be read
// answers positive, so the search moves right past it and ends absent, even
// for a key held before it (the first probe, record 2, is unreadable).
TEST(BinarySearch, UnreadableRecordsMoveRightAndEndAbsent) {
    testutil::TempDir dir;
    std::string path = dir.file("short.bin");
    ASSERT_TRUE(testutil::WriteFileBytes(path, LittleEndianKeys({10, 20})));
    FILE *f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    int key = 10;
    EXPECT_EQ(BinarySearchFileIndex(f, 0, 5, &key, FileIndexCompareFn), -1);
    EXPECT_EQ(BinarySearchFileIndex(f, 0, 1, &key, FileIndexCompareFn), 0);
    key = 40;
    int index = 9;
    EXPECT_EQ(BinarySearchFileIndex(f, 0, 5, &key, FileIndexCompareFn), -1);
    EXPECT_EQ(BinarySearchFileRecords(f, 0, 5, &key, &index, FileRecordCompareFn), nullptr);
    EXPECT_EQ(index, 9);
    std::fclose(f);
}

}  // namespace
