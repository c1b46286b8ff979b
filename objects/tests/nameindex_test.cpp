// Name indexes of fixed width (a name, then a 16-bit record number): reading
// entries and finding names, on hand-made files of the two widths in use.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "objects/catfile.h"
#include "testutil/testutil.h"

namespace {

std::string Entry(const std::string &name, int width, int record) {
    std::string e(width, '\0');
    e.replace(0, name.size(), name);
    e[width - 2] = (char)(record & 0xFF);
    e[width - 1] = (char)(record >> 8);
    return e;
}

TEST(NameIndex, ReadAndFind) {
    testutil::TempDir d;
    for (int width : {19, 20}) {
        const std::vector<std::pair<std::string, int>> rows = {
            {"Biurakan 1", 12}, {"Harvard 20", 300}, {"Stock 2", 65535}};
        std::string bytes;
        for (const auto &r : rows) bytes += Entry(r.first, width, r.second);
        std::string path = d.file("index" + std::to_string(width));
        ASSERT_TRUE(testutil::WriteFileBytes(path, bytes));
        FILE *f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        char text[64];
        EXPECT_EQ(ReadNameIndexEntry(f, 2, width, text), 300);
        EXPECT_STREQ(text, "Harvard 20");
        EXPECT_EQ(ReadNameIndexEntry(f, 4, width, text), -1);  // past the end
        EXPECT_EQ(ReadNameIndexEntry(f, 0, width, text), -1);  // entries count from 1
        for (const auto &r : rows) EXPECT_EQ(FindInNameIndex(f, width, r.first.c_str()), r.second) << r.first;
        EXPECT_EQ(FindInNameIndex(f, width, "Harvard 2"), -1);
        EXPECT_EQ(FindInNameIndex(f, width, ""), -1);
        std::fclose(f);
    }
    // One entry only.
    std::string path = d.file("single");
    ASSERT_TRUE(testutil::WriteFileBytes(path, Entry("NGC 2070", 20, 7)));
    FILE *f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(FindInNameIndex(f, 20, "NGC 2070"), 7);
    EXPECT_EQ(FindInNameIndex(f, 20, "NGC 2071"), -1);
    std::fclose(f);
}

}  // namespace
