// The text tables of Phoebe and Himalia into day tables: a small text table
// with a heading, a blank line and a date before the tables' start, the
// records read back as bytes; a missing text table; and the converters with
// their fixed paths, run from a folder laid out as they expect.
#include "ephem/daytableconvert.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <direct.h>
#define chdir _chdir
#define getcwd _getcwd
#else
#include <unistd.h>
#endif

#include "core/fsys.h"
#include "testutil/testutil.h"

namespace {

// Columns: date 1-17, X 22-31, Y 32-40, a third value 41-48.
const char kTable[] =
    "Date (UT)            X (\")    Y (\")   Dist\n"
    "\n"
    "1949-Dec-14 00:00     -1234.567  987.654  1.2345\n"
    "1949-Dec-15 00:00        12.5     -3.25   1.2346\n"
    "1949-Dec-12 00:00         1.0      2.0    1.0000\n";

float FloatAt(const std::string &b, size_t at) {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(static_cast<uint8_t>(b[at + i])) << (8 * i);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

// Runs a block from another current folder, and goes back.
struct InFolder {
    std::string previous;
    explicit InFolder(const std::string &folder) {
        char here[1024];
        previous = getcwd(here, sizeof here) ? here : "";
        EXPECT_EQ(chdir(folder.c_str()), 0);
    }
    ~InFolder() { EXPECT_EQ(chdir(previous.c_str()), 0); }
};

}  // namespace

TEST(DayTableConvert, OneRecordPerDataLineInLineOrder) {
    testutil::TempDir dir;
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("Phoebe.dat"), kTable));
    ASSERT_EQ(ConvertDayTextTable(dir.file("Phoebe.dat").c_str(), dir.file("Phoebe.bin").c_str()), 1);
    std::string b = testutil::ReadFileBytes(dir.file("Phoebe.bin"));
    ASSERT_EQ(b.size(), 3u * 8u);  // the heading and the blank line write nothing
    EXPECT_FLOAT_EQ(FloatAt(b, 0), -1234.567f);
    EXPECT_FLOAT_EQ(FloatAt(b, 4), 987.654f);
    EXPECT_FLOAT_EQ(FloatAt(b, 8), 12.5f);
    EXPECT_FLOAT_EQ(FloatAt(b, 12), -3.25f);
    EXPECT_FLOAT_EQ(FloatAt(b, 16), 1.0f);  // before the first date: warned, still written

    EXPECT_EQ(ConvertDayTextTable(dir.file("none.dat").c_str(), dir.file("none.bin").c_str()), 0);
    EXPECT_FALSE(testutil::PathIsThere(dir.file("none.bin")));
}

TEST(DayTableConvert, FixedPathsFromTheCurrentFolder) {
    testutil::TempDir dir;
    ASSERT_TRUE(FsMakeFolder(dir.file("Nightjar Data")));
    ASSERT_TRUE(FsMakeFolder(dir.file("work")));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("Nightjar Data/Phoebe.dat"), kTable));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("Nightjar Data/Himalia.dat"), std::string(kTable) + kTable));
    {
        InFolder in(dir.file("work"));
        EXPECT_EQ(ConvertPhoebeTextTable(), 0);  // no "ss" folder to write into
        ASSERT_TRUE(FsMakeFolder("ss"));
        EXPECT_EQ(ConvertPhoebeTextTable(), 1);
        EXPECT_EQ(ConvertHimaliaTextTable(), 1);
    }
    EXPECT_EQ(testutil::ReadFileBytes(dir.file("work/ss/Phoebe.bin")).size(), 24u);
    EXPECT_EQ(testutil::ReadFileBytes(dir.file("work/ss/Himalia.bin")).size(), 48u);
}
