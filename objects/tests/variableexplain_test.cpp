// Tests of the variability type explanations on a varexpl.bin written by
// hand whose entry k reads "T<k>": which entries a class, type and its
// suffixes take, and a file too short for a suffix's entry.
#include "objects/variableexplain.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/datapaths.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"

namespace {

VariabilityType Type(int cls, int sub, std::initializer_list<int> suffixes) {
    VariabilityType t;
    std::memset(&t, 0, sizeof t);
    t.typeClass = cls;
    t.subtype = sub;
    for (int s : suffixes) t.suffixes[t.suffixCount++] = s;
    return t;
}

TEST(VariableExplain, EntriesByClassTypeAndSuffix) {
    testutil::TempDir dir;
    SetRefDirectories(dir.path().c_str(), dir.path().c_str(), dir.path().c_str());
    const int entries = 112;  // entries 0-111: 112 and above are missing
    std::string index((size_t)entries * 6, '\0'), texts;
    for (int k = 0; k < entries; ++k) {
        const std::string t = "T" + std::to_string(k);
        starbytes::Put32(index, (size_t)k * 6, (uint32_t)(index.size() + texts.size()));
        starbytes::Put16(index, (size_t)k * 6 + 4, (uint32_t)t.size());
        texts += t;
    }
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("varexpl.bin"), index + texts));

    const struct {
        VariabilityType type;
        int result;
        const char *head, *body;
    } cases[] = {
        {Type(4, 0, {0}), 1, "T4", "T42 T103"},          // EA
        {Type(4, 0, {1}), 1, "T4", "T42 T104"},          // EB
        {Type(1, 9, {}), 1, "T1", "T23"},                // M
        {Type(1, 14, {3}), 1, "T1", "T28 T78"},          // SRA
        {Type(1, 12, {2, 6}), 1, "T1", "T26 T74 T88"},   // RR with suffixes AB and C
        {Type(1, 15, {5}), 1, "T1", "T29 T71"},          // SXPHE: any suffix
        {Type(1, 2, {3}), 1, "T1", "T16"},               // a suffix without an entry adds nothing
        {Type(0, 2, {0, 7}), 1, "T0", "T58 T65 "},       // I with suffixes: no body
        {Type(0, 2, {}), 1, "T0", "T7"},                 // I alone
        {Type(0, 6, {2}), 1, "T0", "T11 T68 "},          // UVN
        {Type(3, 3, {8}), 1, "T3", "T40 T101"},          // UGSU
        {Type(5, 0, {}), 1, "", "T111"},                 // X: no head
        {Type(5, 0, {1}), 0, "", "T111 "},               // entry 113 is missing
        {Type(6, 1, {}), 1, "", "T52"},
    };
    for (const auto &c : cases) {
        char head[64], body[64];
        EXPECT_EQ(ExplainVariabilityType(c.type, head, body, sizeof head), c.result)
            << c.type.typeClass << "/" << c.type.subtype;
        EXPECT_STREQ(head, c.head) << c.type.typeClass << "/" << c.type.subtype;
        EXPECT_STREQ(body, c.body) << c.type.typeClass << "/" << c.type.subtype;
    }
    // Outputs too small are cut, never overrun.
    char head[3], body[3];
    EXPECT_EQ(ExplainVariabilityType(Type(4, 0, {0}), head, body, sizeof head), 1);
    EXPECT_STREQ(body, "T4");
    SetRefDirectories("", "", "");
    EXPECT_EQ(ExplainVariabilityType(Type(4, 0, {0}), head, body, sizeof head), 0);
}

}  // namespace
