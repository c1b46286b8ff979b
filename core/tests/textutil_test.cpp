// Tests of the shared text routines: trimming and squeezing, bounded copies,
// case-blind search, fixed-width fields, file-name encoding and "debug.txt".
#include "core/textutil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/debugfile.h"
#include "testutil/testutil.h"

namespace {

TEST(Trimming, TrimAndSqueezeTable) {
    char text[32];
    std::strcpy(text, "abc \r\n");
    EXPECT_EQ(TrimTrailingBlanks(text), 2);
    EXPECT_STREQ(text, "abc");
    std::strcpy(text, "   ");
    EXPECT_EQ(TrimTrailingBlanks(text), -1);
    EXPECT_STREQ(text, "");
    std::strcpy(text, "");
    EXPECT_EQ(TrimTrailingBlanks(text), -1);
    std::strcpy(text, "  x y ");
    TrimLeadingBlanks(text);
    EXPECT_STREQ(text, "x y ");

    struct Case { void (*op)(char *); const char *in, *out; } cases[] = {
        {SqueezeBlanks, "  a   b  ", "a b"},
        {SqueezeBlanks, "", ""},
        {SqueezeBlanks, "     ", ""},
        {SqueezeBlanks, "NGC  7000 \r\n", "NGC 7000"},
        {SqueezeBlanksAndTabs, "M\t 31", "M 31"},
        {SqueezeBlanksAndTabs, "\ta\t\tb\t", "a b"},
        {RemoveLineBreaks, "a\r\nb\n", "ab"},
    };
    for (const auto &c : cases) {
        std::strcpy(text, c.in);
        c.op(text);
        EXPECT_STREQ(text, c.out) << '"' << c.in << '"';
    }

    std::strcpy(text, "a-b-c-");
    RemoveCharacter(text, '-');
    EXPECT_STREQ(text, "abc");
    std::strcpy(text, "NGC 7000 Ab");
    char *end = LowercaseString(text);
    EXPECT_STREQ(text, "ngc 7000 ab");
    EXPECT_EQ(end, text + 11);
    EXPECT_EQ(*end, '\0');
    std::strcpy(text, "a/b/c.txt");
    EXPECT_EQ(ConvertSlashesToBackslashes(text), 9);
    EXPECT_STREQ(text, "a\\b\\c.txt");
    char target[32];
    EXPECT_EQ(CopyWithoutBlanks(" 1 2 3 ", target), 7);
    EXPECT_STREQ(target, "123");
}

TEST(Copies, BoundsAndZeroFill) {
    char target[8];
    std::memset(target, 'X', sizeof target);
    EXPECT_STREQ(CopyStringBounded(target, "abc", 1), "");
    EXPECT_STREQ(CopyStringBounded(target, "abcdefghij", 8), "abcdefg");
    EXPECT_STREQ(CopyStringBounded(target, "ab", 8), "ab");
    std::memset(target, 'X', sizeof target);
    CopyStringBounded(target, "abc", 0);  // no room even for the terminator
    EXPECT_EQ(target[0], 'X');

    CopyStringTruncated(target, "abcdefghij", 4);
    EXPECT_STREQ(target, "abc");
    CopyStringTruncated(target, "ab", 4);
    EXPECT_STREQ(target, "ab");

    std::memset(target, 'X', sizeof target);
    CopyStringZeroFilled(target, "ab", 8);
    const char expected[8] = {'a', 'b', 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(target, expected, 8), 0);
    CopyStringZeroFilled(target, "abcdefghij", 8);
    EXPECT_STREQ(target, "abcdefg");
}

TEST(Copies, FixedWidthFieldStopsAtTheEndOfAShortLine) {
    // The line ends after 3 characters; the bytes behind its terminator belong
    // to something else and must not be copied.
    const char line[] = {'A', 'B', 'C', '\0', 'Z', 'Z', 'Z', 'Z'};
    char target[8];
    EXPECT_STREQ(CopyFixedWidthField(target, line, 6), "ABC   ");
    EXPECT_STREQ(CopyFixedWidthField(target, "1234567", 4), "1234");
    EXPECT_STREQ(CopyFixedWidthField(target, "a\tb", 3), "a\tb");  // whatever they are
}

TEST(Searching, ComparisonsPrefixesAndSubstrings) {
    EXPECT_EQ(CompareStringsNoCase("NGC", "ngc"), 0);
    EXPECT_LT(CompareStringsNoCase("abc", "ABD"), 0);
    EXPECT_GT(CompareStringsNoCase("abcd", "ABC"), 0);
    EXPECT_LT(CompareStringsNoCase("", "a"), 0);

    EXPECT_EQ(MatchPrefixNoCase("ngc", "NGC 7000"), 1);
    EXPECT_EQ(MatchPrefixNoCase("NGC 7000", "NGC"), 0);
    EXPECT_EQ(MatchPrefixNoCase("*", "anything"), 1);
    EXPECT_EQ(MatchPrefixNoCase("*", ""), 1);
    EXPECT_EQ(MatchPrefixNoCase("ic", "NGC"), 0);
    EXPECT_EQ(MatchPrefixNoCase("", "NGC"), 1);

    const char *text = "The Great Orion Nebula";
    EXPECT_EQ(FindSubstringNoCase(text, "orion"), text + 10);
    EXPECT_EQ(FindSubstringNoCase(text, "NEBULA"), text + 16);
    EXPECT_EQ(FindSubstringNoCase(text, "nebulae"), nullptr);
    EXPECT_EQ(FindSubstringNoCase(text, "cluster"), nullptr);
    // Far beyond any fixed working copy: a 5000-character note.
    std::string note(5000, 'x');
    note += "Andromeda";
    EXPECT_EQ(FindSubstringNoCase(note.c_str(), "ANDROMEDA"), note.c_str() + 5000);

    char s[] = "abc";
    EXPECT_EQ(FindStringEnd(s), s + 3);
}

TEST(Searching, FileNameFromPath) {
    char name[16];
    const char *path = "C:\\data/sub\\file.bin";
    EXPECT_EQ(GetFileNameFromPath(path, name, sizeof name), path + 12);
    EXPECT_STREQ(name, "file.bin");
    const char *plain = "plain.txt";
    EXPECT_EQ(GetFileNameFromPath(plain, name, sizeof name), plain);
    EXPECT_STREQ(name, "plain.txt");
    std::strcpy(name, "stale");
    EXPECT_EQ(GetFileNameFromPath("", name, sizeof name), nullptr);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(GetFileNameFromPath(static_cast<const char *>(nullptr), name, sizeof name), nullptr);
    const char *longName = "dir/a-very-long-file-name.txt";
    EXPECT_EQ(GetFileNameFromPath(longName, name, 8), longName + 4);
    EXPECT_STREQ(name, "a-very-");  // bounded by the given size
    char editable[] = "folder\\x.txt";
    EXPECT_EQ(GetFileNameFromPath(editable, name), editable + 7);
}

TEST(FixedWidth, IntegerAndRealFields) {
    struct IntCase { const char *field; int n; int expected; } ints[] = {
        {"  -12 ", 6, -12},
        {"      ", 6, kNoIntegerValue},
        {"12345678", 4, 1234},
        {"1 2 3", 5, 123},
        {"ab7c", 4, 7},
        {"99999999999", 11, kNoIntegerValue},  // beyond 32 bits
        {"-2147483648", 11, -2147483647 - 1},
        {"2147483648", 10, kNoIntegerValue},
        {"12", 6, 12},   // the line ends before the field does
        {"--", 2, kNoIntegerValue},
    };
    for (const auto &c : ints)
        EXPECT_EQ(ParseFixedWidthInteger(c.field, c.n), c.expected) << '"' << c.field << '"';

    struct RealCase { const char *field; int n; double expected; } reals[] = {
        {" 1 2.5", 6, 12.5},
        {"      ", 6, kNoRealValue},
        {"-0.75xyz", 5, -0.75},
        {"3.5", 8, 3.5},     // short line
        {"abc", 3, kNoRealValue},
        {"1e999", 5, kNoRealValue},
    };
    for (const auto &c : reals)
        EXPECT_EQ(ParseFixedWidthReal(c.field, c.n), c.expected) << '"' << c.field << '"';

    // A field at the very end of an allocation: reading past the terminator
    // would be caught by the address sanitizer.
    std::vector<char> tight = {' ', '4', '2', '\0'};
    EXPECT_EQ(ParseFixedWidthInteger(tight.data(), 80), 42);
    EXPECT_EQ(ParseFixedWidthReal(tight.data(), 80), 42.0);
    char target[81];
    EXPECT_EQ(std::strlen(CopyFixedWidthField(target, tight.data(), 80)), 80u);
}

TEST(FileNames, EncodeDecodeExamples) {
    char text[64];
    std::strcpy(text, "M 31: core?");
    EncodeNameForFileName(text);
    EXPECT_STREQ(text, "M 31@ core%");
    DecodeNameFromFileName(text);
    EXPECT_STREQ(text, "M 31: core?");

    std::strcpy(text, "M 31@ core%.idx");
    DecodeNameFromFileName(text);
    EXPECT_STREQ(text, "M 31: core?.idx");

    std::strcpy(text, "\"*;:,+?\\/|<>.");
    EncodeNameForFileName(text);
    EXPECT_STREQ(text, "~`!@#$%^&{}[]");

    char found = 0;
    EXPECT_EQ(FindReservedNameCharacter("Smith & Co", &found), 0);
    EXPECT_EQ(found, '&');
    // A replacement character after a full stop is still found.
    found = 0;
    EXPECT_EQ(FindReservedNameCharacter("Mt. Hope & Co", &found), 0);
    EXPECT_EQ(found, '&');
    EXPECT_EQ(FindReservedNameCharacter("Tab\there", &found), 0);
    EXPECT_EQ(found, '\t');
    EXPECT_EQ(FindReservedNameCharacter("Mt. Hope: north/2", &found), 1);

    EXPECT_EQ(IsReservedDeviceName("Con"), 1);
    EXPECT_EQ(IsReservedDeviceName("aux.bin"), 1);
    EXPECT_EQ(IsReservedDeviceName("LPT3 "), 1);
    EXPECT_EQ(IsReservedDeviceName("COM0"), 0);
    EXPECT_EQ(IsReservedDeviceName("Console"), 0);
    EXPECT_EQ(IsReservedDeviceName("Nul Point"), 0);
}

TEST(FileNames, RoundTripOfEveryEncodableName) {
    // Printable Windows-1252 names; those the check accepts must survive the
    // round trip and become names Windows accepts.
    std::mt19937 random(20091);
    std::uniform_int_distribution<int> length(1, 40);
    std::uniform_int_distribution<int> byte(0x20, 0xFF);
    const char *invalid = "<>:\"/\\|?*";
    int accepted = 0;
    for (int i = 0; i < 5000; ++i) {
        std::string name;
        const int n = length(random);
        for (int k = 0; k < n; ++k) name += static_cast<char>(byte(random));
        char found;
        if (FindReservedNameCharacter(name.c_str(), &found) != 1) continue;
        ++accepted;
        std::vector<char> text(name.begin(), name.end());
        text.push_back('\0');
        EncodeNameForFileName(text.data());
        for (const char *p = text.data(); *p; ++p) {
            ASSERT_EQ(std::strchr(invalid, *p), nullptr) << name;
            ASSERT_NE(*p, '.') << name;
            ASSERT_GE(static_cast<unsigned char>(*p), 0x20) << name;
        }
        DecodeNameFromFileName(text.data());
        ASSERT_EQ(std::string(text.data()), name);
    }
    EXPECT_GT(accepted, 100);
}

TEST(DebugFile, AppendAndClear) {
    testutil::TempDir dir;
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    ClearDebugFile();
    AppendDebugLine("first");
    AppendDebugLine("second");
    bool ok = false;
    std::string bytes = testutil::ReadFileBytes(dir.file("debug.txt"), &ok);
    EXPECT_TRUE(ok);
    // Text mode: Windows writes CRLF.
    EXPECT_TRUE(bytes == "first\nsecond\n" || bytes == "first\r\nsecond\r\n") << bytes;
    ClearDebugFile();
    EXPECT_EQ(testutil::ReadFileBytes(dir.file("debug.txt"), &ok), "");
    EXPECT_TRUE(ok);
    std::filesystem::current_path(saved);
}

}  // namespace
