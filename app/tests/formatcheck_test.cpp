// The import file checked against its format before step 2: each way a file
// can fail to fit is refused with a message naming the file, the format and
// what did not fit; files that fit (with line-end, comment and skip-line
// variants) pass.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/formatcheck.h"
#include "app/formatfile.h"
#include "app/tests/importjobfixture.h"
#include "testutil/testutil.h"

namespace {

struct Case {
    const char *label;
    bool tagged;      // the built-in tagged format, else the built-in delimited one
    int skipLines;    // -1: the format's own
    const char *text;
    const char *said;  // what the message says did not fit; null: the file fits
};

const char kXmlLog[] =
    "<?xml version=\"1.0\"?>\n<!-- <LOG> in a comment is no entry -->\n<LOGS>\n<LOG>\n"
    "<ObjectId>M 31</ObjectId>\n</LOG>\n</LOGS>\n";

const Case kCases[] = {
    {"csv fits", false, -1, "Object,Date\nM 31,01/02/2025\n", nullptr},
    {"csv with CR LF and a blank line", false, -1, "Object,Date\r\n\r\nNGC 224,01/02/2025\r\n", nullptr},
    {"xml fits", true, -1, kXmlLog, nullptr},
    {"empty file", false, 0, "", "is empty"},
    {"blank lines only", true, 0, "\n  \r\n\t\n", "is empty"},
    {"only the skipped header", false, 1, "Object,Date\n", "holds nothing after the 1 lines"},
    {"xml under csv", false, 0, kXmlLog, "holds tagged (XML) text"},
    {"csv under xml", true, 0, "Object,Date\nM 31,01/02/2025\n", "holds no tags"},
    {"no object in its column", false, 1, "Object,Date\n,01/02/2025\n\"\",02/02/2025\n",
     "no line has a field in column 1"},
    {"comment lines only", false, 0, "; M 31,01/02/2025\n", "no line has a field in column 1"},
    {"xml without the entry tag", true, 0, "<OBSERVATIONS>\n<obs>M 31</obs>\n</OBSERVATIONS>\n",
     "no <LOG> element"},
};

TEST(FormatCheck, FilesAgainstTheirFormats) {
    testutil::TempDir dir;
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.label);
        if (c.tagged)
            LoadBuiltInXmlFormat();
        else
            LoadBuiltInCsvFormat();
        CurrentImportFormat().commentChar = ';';
        if (c.skipLines >= 0) CurrentImportFormat().skipLines = c.skipLines;
        const std::string path = dir.file("log.txt");
        ASSERT_TRUE(testutil::WriteFileBytes(path, c.text));
        std::string message = "stale";
        const int fits = CheckImportFileFitsFormat(JobOf(path), &message);
        if (!c.said) {
            EXPECT_EQ(fits, 1) << message;
            EXPECT_EQ(message, "");
            continue;
        }
        EXPECT_EQ(fits, 0);
        EXPECT_NE(message.find(c.said), std::string::npos) << message;
        EXPECT_NE(message.find("\"" + path + "\""), std::string::npos) << message;
        if (message.find("is empty") == std::string::npos || c.tagged) {
            EXPECT_NE(message.find(std::string("\"") + CurrentImportFormat().name + "\""), std::string::npos)
                << message;
        }
    }
}

TEST(FormatCheck, ObjectColumnAndDelimiterOfTheFormat) {
    testutil::TempDir dir;
    const std::string path = dir.file("log.txt");
    ASSERT_TRUE(testutil::WriteFileBytes(path, "2025-02-01\tM 31\n"));
    LoadBuiltInCsvFormat();
    CurrentImportFormat().skipLines = 0;
    CurrentImportFormat().targetColumn = 1;
    std::string message;
    // Split at commas the line has one field: nothing in column 2.
    EXPECT_EQ(CheckImportFileFitsFormat(JobOf(path), &message), 0);
    EXPECT_NE(message.find("column 2 (the object's column), split at \",\""), std::string::npos) << message;
    CurrentImportFormat().delimiter = '\t';
    EXPECT_EQ(CheckImportFileFitsFormat(JobOf(path), &message), 1) << message;
    CurrentImportFormat().targetColumn = kNoColumn;
    EXPECT_EQ(CheckImportFileFitsFormat(JobOf(path), &message), 0);
    EXPECT_NE(message.find("names no column for the object"), std::string::npos) << message;
}

TEST(FormatCheck, MissingFileIsNamed) {
    testutil::TempDir dir;
    LoadBuiltInCsvFormat();
    std::string message;
    EXPECT_EQ(CheckImportFileFitsFormat(JobOf(dir.file("gone.csv")), &message), 0);
    EXPECT_NE(message.find(dir.file("gone.csv")), std::string::npos) << message;
}

}  // namespace
