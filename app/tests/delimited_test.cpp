// Splitting delimited lines: quotes, blanks, empty fields, line ends, the
// roles of columns and the date words put in order.
#include "app/delimited.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Split(const std::string &line, char delimiter) {
    std::vector<char> buf(line.begin(), line.end());
    buf.push_back('\0');
    std::vector<std::string> out;
    char field[kFieldSize];
    char *cursor = buf.data();
    for (int guard = 0; guard < 100 && (cursor = NextDelimitedField(cursor, field, delimiter)); ++guard)
        out.push_back(field);
    return out;
}

using V = std::vector<std::string>;

TEST(DelimitedFields, Table) {
    struct Case {
        const char *line;
        char delimiter;
        V fields;
    } cases[] = {
        {"M 31,Home,2009-07-20\n", ',', {"M 31", "Home", "2009-07-20"}},
        {"\"M 31, core\",Home\n", ',', {"M 31, core", "Home"}},
        {"\"He said \"\"wow\"\"\",x\n", ',', {"He said \"wow\"", "x"}},
        {"  a  ,   b \n", ',', {"a", "b"}},
        {"a,,b\n", ',', {"a", "", "b"}},
        {"a;b;c\r\n", ';', {"a", "b", "c"}},
        {"a|b", '|', {"a", "b"}},          // the last field without a line end is read
        {"a,b,c", ',', {"a", "b", "c"}},   // a one-character last field too
        {"x\ty z\t w\n", '\t', {"x", "y z", "w"}},
        {"\n", ',', {}},                   // an empty line has no field
        {"\r\n", ',', {}},
        {"", ',', {}},
        {"one field\n", ',', {"one field"}},
    };
    for (const Case &c : cases) EXPECT_EQ(Split(c.line, c.delimiter), c.fields) << c.line;
}

TEST(DelimitedFields, LongFieldsAreCutToTheBuffer) {
    std::string line = std::string(5000, 'x') + ",y\n";
    V f = Split(line, ',');
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].size(), 2047u);
    EXPECT_EQ(f[1], "y");
}

TEST(DelimitedFields, DoubledQuotesAndFamily) {
    char t[] = "a\"\"b\"\"\"\"c";
    CollapseDoubledQuotes(t);
    EXPECT_STREQ(t, "a\"b\"\"c");

    char line[] = "\"x, y\",z\n";
    char field[kFieldSize];
    char *c = NextCommaField(line, field);
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(field, "x, y");
    c = NextCommaField(c, field);
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(field, "z");
    char unclosed[] = "\"x, y\"\n";
    EXPECT_EQ(NextCommaField(unclosed, field), nullptr);  // a quoted field needs its comma

    char tabs[] = " a \tb\n";
    c = NextTabField(tabs, field);
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(field, " a ");  // no trimming
    c = NextTabField(c, field);
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(field, "b");
    EXPECT_EQ(NextTabField(c, field), nullptr);

    char first[16];
    EXPECT_EQ(FirstTabField("abc\tdef", first, sizeof first), 1);
    EXPECT_STREQ(first, "abc");
    EXPECT_EQ(FirstTabField("\tdef", first, sizeof first), 0);

    char ends[32] = "a\nb\n";
    ASSERT_EQ(ExpandLineEnds(ends, sizeof ends), 1);
    EXPECT_STREQ(ends, "a\r\nb");
    char tight[5] = "a\nb";
    EXPECT_EQ(ExpandLineEnds(tight, 4), 0);
    EXPECT_STREQ(tight, "a\nb");
    char mixed[] = "a\tb\r\nc";
    RemoveTabsAndLineEnds(mixed);
    EXPECT_STREQ(mixed, "abc");
}

TEST(DelimitedFields, RolesOfColumns) {
    std::unique_ptr<ImportFormat> f(new ImportFormat());
    f->siteColumn = 3;
    f->observerColumn = 4;
    f->observerFixed = 1;  // a fixed observer reads no column
    f->instrumentColumn = 60;  // beyond the 50 slots: never read
    f->dateColumn = 1;
    f->timeColumn = kNoColumn;
    f->conditionColumns[0] = 5;
    f->conditionColumns[1] = kNoColumn;
    f->descriptionColumn = 6;
    f->targetColumn = 0;
    int32_t extras[5] = {0, 7, kNoColumn, kNoColumn, kNoColumn};  // an extra on the target's column wins
    std::memcpy(f->extraColumns, extras, sizeof extras);
    int32_t roles[kRoleSlots];
    BuildRoleTable(*f, roles);
    std::vector<int32_t> first(roles, roles + 9);
    EXPECT_EQ(first, (std::vector<int32_t>{kRoleExtra, kRoleDate, kRoleNone, kRoleSite, kRoleNone,
                                           kRoleCondition, kRoleDescription, kRoleExtra, kRoleNone}));
    for (int i = 9; i < kRoleSlots; ++i) EXPECT_EQ(roles[i], kRoleNone) << i;
}

TEST(DelimitedFields, DateWordsInOrder) {
    struct Case {
        const char *field;
        int layout;
        const char *out;  // nullptr: no date
    } cases[] = {
        {"20/07/2009 22:30", 4, "2009 07 20 22:30"},
        {"20-07-2009", 5, "2009 07 20"},
        {"07/20/2009 10:30 PM", 2, "2009 07 20 10:30 PM"},
        {"07/20/2009 10:30 PM extra", 3, "2009 07 20 10:30 PM"},
        {"2009/07/20  22:30", 0, "2009 07 20 22:30"},
        {"2009 07", 0, nullptr},
        {"20 07", 4, nullptr},
        {"20/07/2009", 6, nullptr},
    };
    for (const Case &c : cases) {
        char out[64];
        int r = ReorderDateWords(c.field, c.layout, out, sizeof out);
        if (!c.out) {
            EXPECT_EQ(r, 0) << c.field;
        } else {
            ASSERT_EQ(r, 1) << c.field;
            EXPECT_STREQ(out, c.out);
        }
    }
    // A word longer than any date word is handled, not overrun.
    std::string longWord = std::string(200, '9') + "/07/2009";
    char out[512];
    EXPECT_EQ(ReorderDateWords(longWord.c_str(), 4, out, sizeof out), 1);
    char small[16];
    EXPECT_EQ(ReorderDateWords(longWord.c_str(), 4, small, sizeof small), 0);
}

}  // namespace
