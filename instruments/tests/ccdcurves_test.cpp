// Reading ccd_Q.dat: comments and short lines skipped, the row limit, a value
// that does not read voiding the table, and the name look-up ignoring case.
#include "instruments/ccdcurves.h"

#include <gtest/gtest.h>

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
