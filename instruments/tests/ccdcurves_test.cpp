// Reading ccd_Q.dat: comments and short lines skipped, the row limit, a value
// that does not read voiding the table, and the name look-up ignoring case.
#include "instruments/ccdcurves.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "testutil/testutil.h"

namespace {

const char kTwoCurves[] =
    "# name, QE at 350..950 nm\n"
    "\n"
    "x\n"
    "KAF-0400,10,20,30,40,50,60,70,65,55,40,25,12,5\r\n"
    "Sony ICX,5, 15,35,55,70,75,72,60,45,30,18,9,3\n";

TEST(CcdCurves, ReadsRowsAndSkipsCommentsAndShortLines) {
    testutil::TempDir dir;
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("ccd_Q.dat"), kTwoCurves));
    auto table = std::make_unique<CcdCurveRow[]>(kCcdCurveRows);
    ASSERT_EQ(ReadCcdQuantumEfficiency(dir.path().c_str(), table.get(), kCcdCurveRows), 2);
    EXPECT_STREQ(table[0].name, "KAF-0400");
    EXPECT_EQ(double{table[0].values[0]}, 10.0);
    EXPECT_EQ(double{table[0].values[12]}, 5.0);
    EXPECT_STREQ(table[1].name, "Sony ICX");
    EXPECT_EQ(double{table[1].values[1]}, 15.0);
    EXPECT_EQ(FindCcdCurveByName("kaf-0400", table.get(), 2), 0);
    EXPECT_EQ(FindCcdCurveByName("SONY icx", table.get(), 2), 1);
    EXPECT_EQ(FindCcdCurveByName("Sony", table.get(), 2), -1);
    EXPECT_EQ(FindCcdCurveByName("", table.get(), 2), -1);
    // The room given is the limit.
    EXPECT_EQ(ReadCcdQuantumEfficiency(dir.path().c_str(), table.get(), 1), 1);
}

// Lines longer than any buffer: a long comment stays a comment, a long row
// (a name padded with blanks) stays one row.
TEST(CcdCurves, LongLinesAreReadWhole) {
    testutil::TempDir dir;
    std::string file = "# " + std::string(3000, '=') + "\n" + kTwoCurves + "Wide" + std::string(2000, ' ') +
                       ",1,2,3,4,5,6,7,8,9,10,11,12,13\n";
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("ccd_Q.dat"), file));
    auto table = std::make_unique<CcdCurveRow[]>(kCcdCurveRows);
    ASSERT_EQ(ReadCcdQuantumEfficiency(dir.path().c_str(), table.get(), kCcdCurveRows), 3);
    EXPECT_EQ(std::string(table[2].name).substr(0, 4), "Wide");
    EXPECT_EQ(double{table[2].values[12]}, 13.0);
}

TEST(CcdCurves, MissingFileOrBadValueGivesNoRows) {
    testutil::TempDir dir;
    auto table = std::make_unique<CcdCurveRow[]>(4);
    EXPECT_EQ(ReadCcdQuantumEfficiency(dir.path().c_str(), table.get(), 4), 0);
    for (const char *bad : {"A,1,2,3,4,5,6,7,8,9,10,11,12\n",          // 12 values
                            "A,1,2,3,4,5,6,x,8,9,10,11,12,13\n",       // a value that does not read
                            "A,1,2,3,4,5,6,7,8,9,10,11,12,13abc\n"}) {
        ASSERT_TRUE(testutil::WriteFileBytes(dir.file("ccd_Q.dat"), std::string(kTwoCurves) + bad));
        EXPECT_EQ(ReadCcdQuantumEfficiency(dir.path().c_str(), table.get(), 4), 0) << bad;
    }
}

}  // namespace

TEST(CcdCurves, EqualCurvesHaveTheSameNameIgnoringCaseAndTheSameValues) {
    CcdCurveRow a;
    std::memset(&a, 0, sizeof a);
    std::snprintf(a.name, sizeof a.name, "KAF-0402ME");
    for (int i = 0; i < kQuantumEfficiencyPoints; ++i) a.values[i] = 10.0 + i;
    CcdCurveRow b = a;
    std::snprintf(b.name, sizeof b.name, "kaf-0402me");
    EXPECT_EQ(CcdCurvesEqual(&a, &b), 1);
    b.values[12] = 22.5;
    EXPECT_EQ(CcdCurvesEqual(&a, &b), 0);  // the last value differs
    b = a;
    std::snprintf(b.name, sizeof b.name, "KAF-0402");
    EXPECT_EQ(CcdCurvesEqual(&a, &b), 0);  // a name that is only the start of the other
    // Names filling all 33 bytes without a terminator are compared to the end
    // of the field and no further.
    std::memset(a.name, 'Q', sizeof a.name);
    b = a;
    EXPECT_EQ(CcdCurvesEqual(&a, &b), 1);
    EXPECT_EQ(CcdCurvesEqual(&a, nullptr), 0);
}
