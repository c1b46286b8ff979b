// Growth, termination and recovery of the report text buffer.
#include "ui/textbuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct BufferHolder {
    TextBuffer b{};
    ~BufferHolder() { FreeTextBuffer(&b); }
};

TEST(TextBuffer, InitGivesEmptyTextOf2048Bytes) {
    BufferHolder h;
    ASSERT_EQ(InitTextBuffer(&h.b), 1);
    EXPECT_EQ(h.b.capacity, 2048);
    EXPECT_EQ(h.b.length, 0);
    EXPECT_STREQ(h.b.text, "");
}

TEST(TextBuffer, ThreeThousandCharactersGrowTo7096) {
    BufferHolder h;
    ASSERT_EQ(InitTextBuffer(&h.b), 1);
    std::string big(3000, 'x');
    ASSERT_EQ(AppendTextBuffer(&h.b, big.c_str(), 0), 1);
    EXPECT_EQ(h.b.capacity, 3000 + 2048 + 2048);
    EXPECT_EQ(h.b.length, 3000);
    EXPECT_EQ(std::strlen(h.b.text), 3000u);
}

// Around the growth threshold (length + n >= capacity - 1), with and without
// the tab: the text must stay terminated inside the block (ASan watches the
// bytes past it).
TEST(TextBuffer, BoundaryAppendsStayInsideTheBlock) {
    struct Case {
        int first;  // characters appended first
        int n;      // characters of the second append
        int tab;
        int capacity;  // expected after the second append
    } cases[] = {
        {2040, 6, 1, 2048},         // 2046 = capacity - 2: room for tab and NUL
        {2040, 6, 0, 2048},
        {2040, 7, 1, 7 + 2048 + 2048},  // 2047 = capacity - 1: grows
        {2040, 7, 0, 7 + 2048 + 2048},
        {2046, 0, 1, 2048},             // only the tab: fills the block exactly
        {2046, 1, 1, 1 + 2048 + 2048},  // one more character: grows
    };
    for (const Case &c : cases) {
        BufferHolder h;
        ASSERT_EQ(InitTextBuffer(&h.b), 1);
        std::string a(c.first, 'a'), b(c.n, 'b');
        ASSERT_EQ(AppendTextBuffer(&h.b, a.c_str(), 0), 1);
        ASSERT_EQ(AppendTextBuffer(&h.b, b.c_str(), c.tab), 1);
        std::string want = a + b + (c.tab ? "\t" : "");
        EXPECT_EQ(h.b.capacity, c.capacity) << c.first << "+" << c.n;
        EXPECT_EQ(h.b.length, static_cast<int>(want.size()));
        EXPECT_EQ(std::string(h.b.text), want);
        EXPECT_LT(h.b.length, h.b.capacity);
    }
}

TEST(TextBuffer, ManySmallAppendsWithTabsKeepEveryCharacter) {
    BufferHolder h;
    ASSERT_EQ(InitTextBuffer(&h.b), 1);
    std::string want;
    for (int i = 0; i < 2000; ++i) {
        std::string cell = std::to_string(i);
        ASSERT_EQ(AppendTextBuffer(&h.b, cell.c_str(), i % 3 == 0), 1);
        want += cell;
        if (i % 3 == 0) want += '\t';
    }
    EXPECT_EQ(std::string(h.b.text), want);
    EXPECT_EQ(h.b.length, static_cast<int>(want.size()));
}

// After the clipboard took the block the buffer has no text; an append must
// start a new block instead of writing at the old length.
TEST(TextBuffer, AppendAfterFreeStartsAgain) {
    BufferHolder h;
    ASSERT_EQ(InitTextBuffer(&h.b), 1);
    ASSERT_EQ(AppendTextBuffer(&h.b, std::string(5000, 'q').c_str(), 0), 1);
    FreeTextBuffer(&h.b);
    EXPECT_EQ(h.b.text, nullptr);
    EXPECT_EQ(h.b.capacity, 0);
    EXPECT_EQ(h.b.length, 0);
    // A stale length as a careless caller might leave it.
    h.b.length = 5000;
    ASSERT_EQ(AppendTextBuffer(&h.b, "next", 1), 1);
    EXPECT_STREQ(h.b.text, "next\t");
    EXPECT_EQ(h.b.length, 5);
    EXPECT_EQ(h.b.capacity, 2048);
}

TEST(TextBuffer, NullTextAppendsNothing) {
    BufferHolder h;
    ASSERT_EQ(InitTextBuffer(&h.b), 1);
    ASSERT_EQ(AppendTextBuffer(&h.b, nullptr, 1), 1);
    EXPECT_STREQ(h.b.text, "\t");
    EXPECT_EQ(AppendTextBuffer(nullptr, "x", 0), 0);
}

}  // namespace
