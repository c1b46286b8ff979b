// The column-set store: matching by name and mode, compared blocks, append
// and replace offsets and ids, damaged counts, the store made for a merge,
// and every failed step of an append.
#include "userdata/columnsets.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/safefile.h"
#include "core/userfolder.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

namespace {

ColumnSet Set(const char *name, int mode, uint8_t fill) {
    ColumnSet s;
    std::memset(&s, fill, sizeof s);
    std::memset(s.name, 0, sizeof s.name);
    std::snprintf(s.name, sizeof s.name, "%s", name);
    s.mode = mode;
    s.id = 0;
    return s;
}

int32_t I32(const std::string &b, size_t at) {
    int32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

// A cc.bin of three sets with the last id 7.
std::string ThreeSets() {
    std::string bytes;
    int32_t head[2] = {3, 7};
    bytes.append(reinterpret_cast<const char *>(head), 8);
    const char *names[3] = {"deep sky", "deep sky", "planets"};
    int modes[3] = {kColumnModeImaging, kColumnModeVisual, kColumnModeSimple};
    for (int i = 0; i < 3; ++i) {
        ColumnSet s = Set(names[i], modes[i], static_cast<uint8_t>(0x10 + i));
        s.id = 3 + 2 * i;
        bytes.append(reinterpret_cast<const char *>(&s), sizeof s);
    }
    return bytes;
}

struct Store {
    testutil::TempDir dir;
    std::string path;
    Store() {
        SetUserDataFolder(dir.path().c_str());
        path = dir.file("cc.bin");
    }
    ~Store() { SetUserDataFolder(""); }
};

}  // namespace

TEST(ColumnSets, FindByNameAndModeComparingTheBlocks) {
    Store store;
    ASSERT_TRUE(testutil::WriteFileBytes(store.path, ThreeSets()));
    int count = 0;
    FILE *f = OpenColumnSetFile(&count);
    ASSERT_TRUE(f);
    EXPECT_EQ(count, 3);
    int index = -1;
    ColumnSet wanted = Set("Deep Sky", kColumnModeVisual, 0x11);
    EXPECT_EQ(FindColumnSet(f, &wanted, count, &index), 1);
    EXPECT_EQ(index, 1);  // not the imaging one at 0
    std::memset(wanted.further, 0xEE, sizeof wanted.further);  // not compared
    EXPECT_EQ(FindColumnSet(f, &wanted, count, &index), 1);
    struct { size_t offset; const char *block; } blocks[] = {{54, "first"}, {253, "first end"},
                                                           {254, "second"}, {354, "third"},
                                                           {459, "third end"}};
    for (const auto &b : blocks) {
        ColumnSet changed = Set("DEEP SKY", kColumnModeVisual, 0x11);
        reinterpret_cast<uint8_t *>(&changed)[b.offset] ^= 1;
        EXPECT_EQ(FindColumnSet(f, &changed, count, &index), 2) << b.block;
    }
    ColumnSet other = Set("deep sky", 5, 0x11);
    EXPECT_EQ(FindColumnSet(f, &other, count, &index), 0);
    EXPECT_EQ(FindColumnSet(f, &wanted, 4, &index), 1);   // found before the end
    ColumnSet absent = Set("none", kColumnModeVisual, 0);
    EXPECT_EQ(FindColumnSet(f, &absent, 4, &index), -1);  // a short read
    std::fclose(f);
}

TEST(ColumnSets, AppendAndReplace) {
    Store store;
    ASSERT_TRUE(testutil::WriteFileBytes(store.path, ThreeSets()));
    int count = 0;
    FILE *f = OpenColumnSetFile(&count);
    ASSERT_TRUE(f);
    ColumnSet added = Set("Comets", kColumnModeVisual, 0x44);
    ASSERT_EQ(AppendColumnSet(f, &added, &count), 1);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(added.id, 8);
    ColumnSet replacement = Set("planets", kColumnModeSimple, 0x55);
    replacement.id = 99;
    ASSERT_EQ(ReplaceColumnSet(f, &replacement, 2), 1);
    EXPECT_EQ(replacement.id, 7);
    std::fclose(f);
    std::string bytes = testutil::ReadFileBytes(store.path);
    ASSERT_EQ(bytes.size(), 8u + 4 * 524u);
    EXPECT_EQ(I32(bytes, 0), 4);
    EXPECT_EQ(I32(bytes, 4), 8);
    EXPECT_EQ(I32(bytes, 1580), 8);
    EXPECT_EQ(std::string(bytes.data() + 1584), "Comets");
    EXPECT_EQ(I32(bytes, 8 + 2 * 524), 7);
    EXPECT_EQ(static_cast<uint8_t>(bytes[8 + 2 * 524 + 54]), 0x55);
}

TEST(ColumnSets, MissingAndDamagedFiles) {
    Store store;
    int count = -1;
    EXPECT_EQ(OpenColumnSetFile(&count), nullptr);
    EXPECT_FALSE(testutil::PathIsThere(store.path));
    // Made empty only when asked for (a merge into a computer without one).
    FILE *f = OpenColumnSetFile(&count, 1);
    ASSERT_TRUE(f);
    EXPECT_EQ(count, 0);
    ColumnSet s = Set("x", 0, 1);
    ASSERT_EQ(AppendColumnSet(f, &s, &count), 1);
    EXPECT_EQ(s.id, 1);
    std::fclose(f);
    // A count beyond the records is refused, never created over.
    std::string bytes = ThreeSets();
    int32_t huge = 40;
    std::memcpy(&bytes[0], &huge, 4);
    ASSERT_TRUE(testutil::WriteFileBytes(store.path, bytes));
    EXPECT_EQ(OpenColumnSetFile(&count, 1), nullptr);
    huge = -1;
    std::memcpy(&bytes[0], &huge, 4);
    ASSERT_TRUE(testutil::WriteFileBytes(store.path, bytes));
    EXPECT_EQ(OpenColumnSetFile(&count, 1), nullptr);
    EXPECT_EQ(testutil::ReadFileBytes(store.path), bytes);
}

TEST(ColumnSets, FailedAppendStepsNeverCountAMissingRecord) {
    Store store;
    testutil::ForEachFailurePoint(
        [&] { testutil::WriteFileBytes(store.path, ThreeSets()); },
        [&] {
            int count = 0;
            FileHandle f(OpenColumnSetFile(&count));
            ColumnSet s = Set("new", 1, 0x66);
            return f ? AppendColumnSet(f.get(), &s, &count) : 0;
        },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            EXPECT_EQ(run.result, 0);
            std::string bytes = testutil::ReadFileBytes(store.path);
            int32_t n = I32(bytes, 0);
            EXPECT_TRUE(n == 3 || n == 4);
            EXPECT_GE(bytes.size(), 8u + 524u * static_cast<size_t>(n));
            if (n == 4) {
                EXPECT_EQ(std::string(bytes.data() + 1584), "new");
            }
        });
}
