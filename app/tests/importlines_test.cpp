// The shared line reader of import files: line ends of every kind, the
// byte-order mark, over-long lines and bytes that are not text, each named
// by its line; the lines to skip; the kinds of delimited lines.
#include "app/importlines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/importpass.h"
#include "app/tests/importjobfixture.h"
#include "testutil/testutil.h"

namespace {

struct Read {
    std::vector<std::string> lines;  // each line as given, its line end shown as "|"
    int status = kImportLineRead;    // the first status other than kImportLineRead (or kImportLineEnd)
    long statusLine = 0;
    int byteOrderMark = 0;
};

// Reads the bytes to their end (or to the first refused line) with the limit.
Read ReadAll(const std::string &bytes, size_t limit, int skip = 0) {
    testutil::TempDir dir;
    std::string path = dir.file("log.txt");
    EXPECT_TRUE(testutil::WriteFileBytes(path, bytes));
    Read out;
    FILE *f = std::fopen(path.c_str(), "rb");
    EXPECT_NE(f, nullptr);
    if (!f) return out;
    ImportLineReader reader;
    BeginImportLines(&reader, f, limit);
    SkipImportLines(&reader, skip);
    std::string line;
    for (int guard = 0; guard < 100; ++guard) {
        ImportLineStatus s = ReadImportLine(&reader, &line);
        if (s == kImportLineEnd) {
            out.status = kImportLineEnd;
            break;
        }
        if (s != kImportLineRead) {
            out.status = s;
            out.statusLine = reader.lineNumber;
            SetImportLineError(reader, s);
            break;
        }
        if (!line.empty() && line.back() == '\n') line.replace(line.size() - 1, 1, "|");
        out.lines.push_back(line);
    }
    out.byteOrderMark = reader.byteOrderMark;
    std::fclose(f);
    return out;
}

using V = std::vector<std::string>;

TEST(ImportLines, LineEndsAndByteOrderMark) {
    struct Case {
        const char *name;
        std::string bytes;
        V lines;
        int mark;
    } cases[] = {
        {"LF", "a,b\nc\n", {"a,b|", "c|"}, 0},
        {"CR LF", "a,b\r\nc\r\n", {"a,b|", "c|"}, 0},
        {"lone CR", "a,b\rc\r", {"a,b|", "c|"}, 0},
        {"mixed, last line without end", "a\r\nb\rc\nd", {"a|", "b|", "c|", "d"}, 0},
        {"empty lines are lines", "\n\r\n\r", {"|", "|", "|"}, 0},
        {"CR CR is two line ends", "a\r\rb", {"a|", "|", "b"}, 0},
        {"byte-order mark", "\xEF\xBB\xBFM31,x\nM32\n", {"M31,x|", "M32|"}, 1},
        {"mark alone", "\xEF\xBB\xBF", {""}, 1},
        // Later, U+FEFF is a character of a UTF-8 file that Windows-1252 lacks.
        {"mark only at the start", "a\n\xEF\xBB\xBF" "b\n", {"a|", "?b|"}, 0},
        {"Windows-1252 kept", "J\xF6rg\r\n", {"J\xF6rg|"}, 0},
        {"UTF-8 converted", "J\xC3\xB6rg\r\n\xE2\x82\xAC", {"J\xF6rg|", "\x80"}, 0},
        {"empty file", "", {}, 0},
    };
    for (const Case &c : cases) {
        Read r = ReadAll(c.bytes, kImportLineLength);
        EXPECT_EQ(r.lines, c.lines) << c.name;
        EXPECT_EQ(r.status, kImportLineEnd) << c.name;
        EXPECT_EQ(r.byteOrderMark, c.mark) << c.name;
    }
}

TEST(ImportLines, RefusedLinesAreNamed) {
    const std::string limitLine(kImportLineLength, 'x');
    std::string utf8Line;
    for (int i = 0; i < kImportLineLength; ++i) utf8Line += "\xC3\xA9";
    struct Case {
        const char *name;
        std::string bytes;
        size_t limit;
        V before;         // the lines read before the refused one
        int status;
        const char *message;
    } cases[] = {
        {"at the limit, CR LF", limitLine + "\r\nb\r\n", kImportLineLength, {limitLine + "|", "b|"},
         kImportLineEnd, ""},
        {"one past the limit", "a\n" + limitLine + "y\nb\n", kImportLineLength, {"a|"},
         kImportLineTooLong, "Line 2 of the import file is longer than 2047 characters\n"},
        {"the mark does not count", "\xEF\xBB\xBF" + limitLine + "\n", kImportLineLength,
         {limitLine + "|"}, kImportLineEnd, ""},
        {"no limit", limitLine + limitLine + "\n", 0, {limitLine + limitLine + "|"}, kImportLineEnd, ""},
        // The limit counts characters as given: UTF-8 sequences count once.
        {"UTF-8 at the limit", utf8Line + "\n", kImportLineLength, {std::string(kImportLineLength, '\xE9') + "|"},
         kImportLineEnd, ""},
        {"UTF-8 past the limit", utf8Line + "\xC3\xA9\n", kImportLineLength, {}, kImportLineTooLong,
         "Line 1 of the import file is longer than 2047 characters\n"},
        {"NUL", "a\nb\nc" + std::string(1, '\0') + "d\n", kImportLineLength, {"a|", "b|"},
         kImportLineNotText, "Line 3 of the import file is not text\n"},
        {"Ctrl-Z (end of file in text mode on Windows)", "a\r\n\x1A", kImportLineLength, {"a|"},
         kImportLineNotText, "Line 2 of the import file is not text\n"},
        {"Ctrl-Z inside a line", "a\x1A" "b\nc\n", 0, {}, kImportLineNotText,
         "Line 1 of the import file is not text\n"},
    };
    for (const Case &c : cases) {
        ImportErrorLine()[0] = '\0';
        Read r = ReadAll(c.bytes, c.limit);
        EXPECT_EQ(r.lines, c.before) << c.name;
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_STREQ(ImportErrorLine(), c.message) << c.name;
    }
}

TEST(ImportLines, LinesToSkipAreDroppedWhole) {
    const std::string longLine(5000, 'h');
    // A skipped line may be long or hold any byte; the count goes on from it.
    Read r = ReadAll("\xEF\xBB\xBF" + longLine + "\r\nx" + std::string(1, '\0') + "\rM31\nM32", kImportLineLength, 2);
    EXPECT_EQ(r.lines, (V{"M31|", "M32"}));
    EXPECT_EQ(r.byteOrderMark, 1);
    r = ReadAll("a\nb\n", kImportLineLength, 5);
    EXPECT_TRUE(r.lines.empty());
    ImportErrorLine()[0] = '\0';
    r = ReadAll("skip\nok\n" + longLine + "\n", kImportLineLength, 1);
    EXPECT_STREQ(ImportErrorLine(), "Line 3 of the import file is longer than 2047 characters\n");
}

TEST(ImportLines, KindsOfDelimitedLines) {
    ImportFormat &f = CurrentImportFormat();
    LoadBuiltInCsvFormat();
    f.commentChar = '#';
    struct Case {
        const char *line;
        int kind;
    } cases[] = {
        {"M31,Home\n", kDelimitedEntryLine},  {"#M31,Home\n", kDelimitedCommentLine},
        {" ,\t, \n", kDelimitedBlankLine},    {"\n", kDelimitedBlankLine},
        {"", kDelimitedBlankLine},            {" #x\n", kDelimitedEntryLine},
        {";\n", kDelimitedEntryLine},  // not the format's delimiter
    };
    for (const Case &c : cases) EXPECT_EQ(ClassifyDelimitedLine(c.line, f), c.kind) << c.line;
}

TEST(ImportLines, JobFileThatCannotBeOpened) {
    testutil::TempDir dir;
    LoadBuiltInCsvFormat();
    FILE *f = reinterpret_cast<FILE *>(1);
    ImportLineReader reader;
    EXPECT_EQ(OpenImportJobLines(JobOf(dir.file("gone.csv")), &f, &reader), -1);
    EXPECT_EQ(f, nullptr);
    EXPECT_EQ(std::string(ImportErrorLine()), "File not found: " + dir.file("gone.csv") + "\n");
    // A job never made has no file.
    EXPECT_EQ(OpenImportJobLines(ImportJob(), &f, &reader), -1);
    EXPECT_STREQ(ImportErrorLine(), "File not found: \n");
}

}  // namespace

// A stream that cannot be read (here one open for writing only, whose reads
// fail with the error flag set) is a read error, named with the last line
// read, never the end of the file.
TEST(ImportLines, AReadErrorIsNoEndOfTheFile) {
#ifdef _WIN32
    // Wine's C library answers a read of a write-only stream with an end of
    // file and no error flag, so the fixture cannot make the error there.
    GTEST_SKIP() << "no read error can be made on a write-only stream here";
#endif
    testutil::TempDir dir;
    FILE *f = std::fopen(dir.file("log.txt").c_str(), "w");
    ASSERT_NE(f, nullptr);
    ImportLineReader reader;
    reader.file = f;
    std::string line;
    EXPECT_EQ(ReadImportLine(&reader, &line), kImportLineReadError);
    EXPECT_EQ(SkipImportLines(&reader, 3), 0);  // no endless skip either
    SetImportLineError(reader, kImportLineReadError);
    EXPECT_STREQ(ImportErrorLine(), "The import file cannot be read after line 0\n");
    std::fclose(f);
}
