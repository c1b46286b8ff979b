// UTF-8 in import files: which files count as UTF-8, and the conversion of
// their characters to the suite's Windows-1252.
#include "app/textencoding.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "testutil/testutil.h"

namespace {

TEST(TextEncoding, WhichFilesAreUtf8) {
    const std::string straddle = std::string(4095, 'a') + "\xC3\xAB" + "b";  // a sequence across two reads
    struct Case {
        const char *name;
        std::string bytes;
        int utf8;
    } cases[] = {
        {"ASCII only", "M31,Home\n", 0},
        {"empty", "", 0},
        {"a name in UTF-8", "M31,Jo\xC3\xAB" "lle\n", 1},
        {"byte-order mark alone", "\xEF\xBB\xBFM31\n", 1},
        {"euro sign and an emoji", "\xE2\x82\xAC \xF0\x9F\x94\xAD\n", 1},
        {"Windows-1252 name", "M31,Jo\xEBlle\n", 0},
        {"UTF-8, then one Windows-1252 byte", "Jo\xC3\xAB" "lle\nJo\xEBlle\n", 0},
        {"cut at the end of the file", "Jo\xC3", 0},
        {"over-long form of '/'", "\xC0\xAF", 0},
        {"surrogate", "\xED\xA0\x80", 0},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", 0},
        {"sequence across two reads", straddle, 1},
        {"bad byte at a read's end", std::string(4095, 'a') + "\xFF" + "bcd", 0},
    };
    testutil::TempDir dir;
    for (const Case &c : cases) {
        std::string path = dir.file("log.txt");
        ASSERT_TRUE(testutil::WriteFileBytes(path, c.bytes));
        FILE *f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(IsUtf8File(f), c.utf8) << c.name;
        // The position is put back where it was.
        EXPECT_EQ(std::ftell(f), 0L) << c.name;
        EXPECT_EQ(std::fgetc(f), c.bytes.empty() ? EOF : static_cast<unsigned char>(c.bytes[0])) << c.name;
        std::fclose(f);
    }
}

TEST(TextEncoding, CharactersBecomeWindows1252) {
    struct Case {
        std::string utf8, cp1252;
    } cases[] = {
        {"Jo\xC3\xAB" "lle", "Jo\xEBlle"},
        {"\xC3\x89toile \xC3\xA0 l'\xC5\x93il", "\xC9toile \xE0 l'\x9Cil"},  // U+0153 is 0x9C
        {"\xE2\x82\xAC 5 \xE2\x80\x93 \xE2\x80\x9Cgood\xE2\x80\x9D", "\x80 5 \x96 \x93good\x94"},
        {"\xCE\xA9 Cen \xF0\x9F\x94\xAD", "? Cen ?"},  // Greek capital omega, a telescope emoji
        {"\xC2\xA0nbsp \xC2\xB0", "\xA0nbsp \xB0"},
        {"bad \xC3 byte", "bad \xC3 byte"},  // a byte of no sequence is kept
    };
    for (const Case &c : cases) {
        std::string text = c.utf8;
        ConvertUtf8ToCp1252(&text);
        EXPECT_EQ(text, c.cp1252) << c.utf8;
    }
}

}  // namespace
