// Tests of the variable-star names list and the remark reader on files
// written by hand: entries decoded from their byte offsets and named by the
// catalogue's numbering, sequential and direct reads, constellations outside
// the table or lists that do not fit the file, remark bounds.
#include "objects/variablenamelist.h"

#include <gtest/gtest.h>

#include <string>

#include "core/datapaths.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"

using starbytes::Put16;
using starbytes::Put32;
using starbytes::Put8;

namespace {

const int kIndexBytes = 88 * 6;

std::string NameEntry(int number, int superscript, int record) {
    std::string e;
    Put16(e, 0, (uint32_t)number);
    Put8(e, 2, (uint32_t)superscript);
    Put16(e, 3, (uint32_t)record);
    return e;
}

class VariableNameListTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
        // And (1): R And, RR And, V335 And, Gamma 2 And; Cyg (31): Chi Cyg;
        // Cep (20): a count that runs past the end of the file.
        std::string index(kIndexBytes, '\0'), entries;
        Put32(index, 0, kIndexBytes);
        Put16(index, 4, 4);
        entries += NameEntry(1, 0, 11) + NameEntry(10, 0, 12) + NameEntry(335, 0, 13) +
                   NameEntry(9003, 2, 40001);
        Put32(index, 30 * 6, kIndexBytes + (uint32_t)entries.size());
        Put16(index, 30 * 6 + 4, 1);
        entries += NameEntry(9022, 0, 77);
        Put32(index, 19 * 6, kIndexBytes);
        Put16(index, 19 * 6 + 4, 50);
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("vnames.bin"), index + entries));
    }
    void TearDown() override { SetRefDirectories("", "", ""); }
    testutil::TempDir dir_;
};

TEST_F(VariableNameListTest, EntriesAreNamedByTheCatalogueNumbering) {
    VariableNameList *list = OpenVariableNameList();
    ASSERT_NE(list, nullptr);
    int record = 0;
    char name[32] = "stale";
    EXPECT_EQ(ReadVariableNameEntry(list, 0, &record, name), 0);  // nothing selected yet
    ASSERT_EQ(SelectVariableNameConstellation(list, 1), 4);
    const struct {
        int record;
        const char *name;
    } want[] = {{11, "R  And"}, {12, "RR And"}, {13, "V335 And"}, {40001, "Gamma 2 And"}};
    for (const auto &w : want) {
        ASSERT_NE(ReadVariableNameEntry(list, -1, &record, name), 0) << w.name;
        EXPECT_EQ(record, w.record);
        EXPECT_STREQ(name, w.name);
    }
    EXPECT_EQ(ReadVariableNameEntry(list, -1, &record, name), 0);  // past the count
    // A direct read, then the sequence goes on after it.
    ASSERT_NE(ReadVariableNameEntry(list, 1, &record, name), 0);
    EXPECT_STREQ(name, "RR And");
    ASSERT_NE(ReadVariableNameEntry(list, -1, &record, name), 0);
    EXPECT_STREQ(name, "V335 And");
    EXPECT_EQ(ReadVariableNameEntry(list, 4, &record, name), 0);

    ASSERT_EQ(SelectVariableNameConstellation(list, 31), 1);
    ASSERT_NE(ReadVariableNameEntry(list, -1, &record, name), 0);
    EXPECT_STREQ(name, "Chi Cyg");
    EXPECT_EQ(record, 77);
    CloseVariableNameList(list);
}

TEST_F(VariableNameListTest, ConstellationsOutsideTheTableOrTheFileListNothing) {
    VariableNameList *list = OpenVariableNameList();
    ASSERT_NE(list, nullptr);
    int record = 0;
    char name[32];
    for (int c : {0, 89, -1, 20 /* its count runs past the end of the file */, 2 /* empty */}) {
        ASSERT_EQ(SelectVariableNameConstellation(list, 1), 4);
        EXPECT_EQ(SelectVariableNameConstellation(list, c), 0) << c;
        // The earlier selection is gone: nothing reads.
        EXPECT_EQ(ReadVariableNameEntry(list, -1, &record, name), 0) << c;
        EXPECT_EQ(ReadVariableNameEntry(list, 0, &record, name), 0) << c;
    }
    CloseVariableNameList(list);
    EXPECT_EQ(SelectVariableNameConstellation(nullptr, 1), 0);
    EXPECT_EQ(ReadVariableNameEntry(nullptr, 0, &record, name), 0);
    SetRefDirectories("", "", "");
    EXPECT_EQ(OpenVariableNameList(), nullptr);
}

TEST_F(VariableNameListTest, RemarksReadByReferenceFromTwo) {
    // Entries for references 2 and 3, then the texts.
    std::string file(32, '\0');
    const std::string first = "Var. in X-rays.", second = "Period variable.";
    Put32(file, 0, 32);
    Put16(file, 4, (uint32_t)first.size());
    Put32(file, 16, 32 + (uint32_t)first.size());
    Put16(file, 20, (uint32_t)second.size());
    file += first + second;
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("gcvs_remarks.bin"), file));
    FILE *f = OpenVariableRemarks();
    ASSERT_NE(f, nullptr);
    char buffer[64];
    ASSERT_EQ(ReadVariableRemark(f, buffer, sizeof buffer, 2), 1);
    EXPECT_EQ(std::string(buffer, first.size()), first);
    ASSERT_EQ(ReadVariableRemark(f, buffer, sizeof buffer, 3), 1);
    EXPECT_EQ(std::string(buffer, second.size()), second);
    // No entry below reference 2 (the index would be read before the file's
    // start), none past the index, none into a buffer too small.
    EXPECT_EQ(ReadVariableRemark(f, buffer, sizeof buffer, 0), 0);
    EXPECT_EQ(ReadVariableRemark(f, buffer, sizeof buffer, 1), 0);
    EXPECT_EQ(ReadVariableRemark(f, buffer, sizeof buffer, 1000), 0);
    EXPECT_EQ(ReadVariableRemark(f, buffer, 8, 2), 0);
    EXPECT_EQ(ReadVariableRemark(f, nullptr, sizeof buffer, 2), 0);
    EXPECT_EQ(ReadVariableRemark(nullptr, buffer, sizeof buffer, 2), 0);
    std::fclose(f);
}

}  // namespace
