// String-table lookups and the text-similarity measures of the name search.
#include "core/resstrings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ResStrings, TableLookups) {
    EXPECT_STREQ(LoadCatalogueName(0), "stars");
    EXPECT_STREQ(LoadCatalogueName(63), "Minkowski");
    EXPECT_STREQ(LoadCatalogueName(92), "show");
    EXPECT_STREQ(LoadBodyName(10), "Moon");
    EXPECT_STREQ(LoadBodyName(11), "Earth Shadow");
    EXPECT_STREQ(LoadGalaxyTypeName(14), "Barred Compact");
    EXPECT_STREQ(LoadQuasarMethodName(4), "Objective Prism");
    // Outside their tables the loaders answer an empty text, not a neighbour's entry.
    EXPECT_STREQ(LoadCatalogueName(93), "");
    EXPECT_STREQ(LoadCatalogueName(-1), "");
    EXPECT_STREQ(LoadGalaxyTypeName(15), "");
    EXPECT_STREQ(LoadBodyName(12), "");
    EXPECT_STREQ(LoadResString(1), "");
}

TEST(ResStrings, SharedBufferHoldsTheLastText) {
    const char *first = LoadResString(8000);
    const char *second = LoadResString(8448);
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, "Sun");
    char own[64];
    EXPECT_STREQ(LoadResStringTo(own, 8026), "m");
    EXPECT_STREQ(second, "Sun");
}

TEST(ResStrings, ProVariant) {
    EXPECT_EQ(UseProVariant(), 0);
    EXPECT_EQ(SetProVariant(2), 1);
    EXPECT_EQ(UseProVariant(), 0);
    SetProVariant(1);
    EXPECT_EQ(UseProVariant(), 1);
    SetProVariant(0);
}

TEST(ResStrings, Similarity) {
    struct Case {
        const char *a, *b;
        double percent;
    } cases[] = {
        {"M 31", "M 31", 100.0},
        {"abc", "abd", 200.0 / 3},
        {"abc", "acb", 2.75 / 3 * 100},  // b found only after backing up two places
        {"", "x", 0.0},
        {"x", "", 0.0},
        {"", "", 100.0},
        {"abcd", "ab", 50.0},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(StringSimilarityPercent(c.a, c.b), c.percent, 1e-4) << c.a << " / " << c.b;
}

TEST(ResStrings, EditDistance) {
    EXPECT_EQ(EditDistance("flaw", "lawn"), 2.0);
    EXPECT_EQ(EditDistance("", "abc"), 3.0);
    EXPECT_EQ(EditDistance("kitten", "sitting"), 3.0);
    // Long texts are handled, not cut at a fixed matrix size.
    std::string a(300, 'a'), b(300, 'a');
    b[150] = 'b';
    b += "cc";
    EXPECT_EQ(EditDistance(a.c_str(), b.c_str()), 3.0);
}

TEST(ResStrings, SmallTextHelpers) {
    char t[32] = "NGC 224 ";
    RemoveSubstring(t, "NGC");
    EXPECT_STREQ(t, "224");
    char u[32] = "  M 31  ";
    RemoveSubstring(u, "IC");
    EXPECT_STREQ(u, "  M 31  ");

    char out[5];
    EXPECT_STREQ(CopyStringMax(out, "abcdefgh", 4), "abcd");
    EXPECT_STREQ(CopyStringMax(out, "ab", 4), "ab");

    EXPECT_EQ(FindCharFrom("abcabc", 'c', 3), 5);
    EXPECT_EQ(FindCharFrom("abc", 'x', 0), -1);
    EXPECT_EQ(FindCharFrom("abc", 'a', 10), -1);

    char p1[] = "one", p2[] = "two";
    char *a = p1, *b = p2;
    SwapStringPointers(&a, &b);
    EXPECT_STREQ(a, "two");
    EXPECT_STREQ(b, "one");
}

}  // namespace
