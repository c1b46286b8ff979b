// The value editor's rules: accepted texts, storing by kind, the shown text,
// and the formats refused because they would read the wrong argument.
#include "astroui/valueeditrules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "astro/angleparse.h"

namespace {

TEST(ValueEditRules, CommitTable) {
    struct Case {
        const char *text;
        double min, max;
        int kind;
        const char *format;
        int valid;
        double stored;       // as read back from the target
        const char *shown;   // nullptr: checked by reading the text back
    } cases[] = {
        {"42.7", 0, 100, kValueKindInteger, "%d", 1, 42, "42"},
        {"-42.7", -100, 100, kValueKindInteger, "%d", 1, -42, "-42"},
        {"100", 0, 100, kValueKindInteger, "%d", 1, 100, "100"},   // both ends included
        {"0", 0, 100, kValueKindInteger, "%3d", 1, 0, "  0"},
        {"101", 0, 100, kValueKindInteger, "%d", 0, 0, ""},
        {"-0.5", 0, 100, kValueKindInteger, "%d", 0, 0, ""},
        {"abc", 0, 100, kValueKindInteger, "%d", 0, 0, ""},
        {"12,5", 0, 100, kValueKindDouble, "%.1f", 0, 0, ""},
        {"12.25", 0, 100, kValueKindDouble, "%.1f", 1, 12.25, "12.2"},
        {"7.5\r\n", 0, 100, kValueKindDouble, "%.2lf", 1, 7.5, "7.50"},   // line end from the edit
        {"21:30", 0, 24, kValueKindClockTime, "", 1, 21.5, nullptr},
        {"25:00", 0, 24, kValueKindClockTime, "", 0, 0, ""},
        {"-12:30", -90, 90, kValueKindAngle, "", 1, -12.5, nullptr},
        {"6:15", 0, 24, kValueKindFloatClockTime, "", 1, 6.25, nullptr},
        {"", 1, 100, kValueKindInteger, "%d", 0, 0, ""},   // empty reads as 0, out of range
    };
    for (const Case &c : cases) {
        double value = -999;
        const int valid = ReadValueEditText(c.text, c.min, c.max, &value);
        EXPECT_EQ(valid, c.valid) << c.text;
        if (!valid || !c.valid) continue;
        double readBack = 0;
        if (c.kind == kValueKindInteger) {
            int32_t target = -1;
            ASSERT_EQ(StoreEditedValue(c.kind, &target, value), 1);
            readBack = target;
        } else if (c.kind == kValueKindFloatClockTime) {
            // The float is written in its 4 bytes only.
            unsigned char bytes[8];
            std::memset(bytes, 0xAA, sizeof bytes);
            ASSERT_EQ(StoreEditedValue(c.kind, bytes, value), 1);
            EXPECT_EQ(bytes[4], 0xAA);
            float f;
            std::memcpy(&f, bytes, sizeof f);
            readBack = f;
        } else {
            double target = -1;
            ASSERT_EQ(StoreEditedValue(c.kind, &target, value), 1);
            readBack = target;
        }
        EXPECT_DOUBLE_EQ(readBack, c.stored) << c.text;
        char shown[kValueEditTextSize];
        FormatEditedValue(c.kind, c.format, value, shown, sizeof shown);
        if (c.shown)
            EXPECT_STREQ(shown, c.shown) << c.text;
        else  // clock and angle texts read back as the value
            EXPECT_NEAR(ParseSexagesimal(shown), c.stored, 1e-9) << c.text << " -> " << shown;
    }
}

TEST(ValueEditRules, IntegerKindHeldToInt32) {
    double lo = -1e12, hi = 1e12;
    ValueEditRangeForKind(kValueKindInteger, &lo, &hi);
    EXPECT_EQ(lo, static_cast<double>(INT32_MIN));
    EXPECT_EQ(hi, static_cast<double>(INT32_MAX));
    double dlo = -1e12, dhi = 1e12;
    ValueEditRangeForKind(kValueKindDouble, &dlo, &dhi);
    EXPECT_EQ(dhi, 1e12);
    int32_t target = 0;
    ASSERT_EQ(StoreEditedValue(kValueKindInteger, &target, 5e12), 1);
    EXPECT_EQ(target, INT32_MAX);
    ASSERT_EQ(StoreEditedValue(kValueKindInteger, &target, -5e12), 1);
    EXPECT_EQ(target, INT32_MIN);
    EXPECT_EQ(StoreEditedValue(kValueKindInteger, nullptr, 1.0), 0);
    EXPECT_EQ(StoreEditedValue(7, &target, 1.0), 0);
}

TEST(ValueEditRules, FormatsThatFitTheKind) {
    struct Case { const char *format; int kind, fits; } cases[] = {
        {"%d", 0, 1}, {"%3d", 0, 1}, {"%i mm", 0, 1}, {"%d %%", 0, 1}, {"%-05d", 0, 1},
        {"%f", 0, 0}, {"%ld", 0, 0}, {"%s", 0, 0}, {"%n", 0, 0}, {"%d %d", 0, 0},
        {"no conversion", 0, 0}, {"%", 0, 0},
        {"%.1f", 1, 1}, {"%.2lf", 1, 1}, {"%g", 1, 1}, {"%8.3E", 1, 1},
        {"%d", 1, 0}, {"%.1f%s", 1, 0}, {"%*f", 1, 0},
        {"%s", 2, 1}, {"", 3, 1}, {"", 4, 1},   // clock and angle kinds ignore the format
        {"%d", 5, 0},
        {"%.1f.............................", 1, 0},   // longer than the kept copy
    };
    for (const Case &c : cases) EXPECT_EQ(ValueEditFormatFitsKind(c.format, c.kind), c.fits) << c.format;
    char kept[kValueEditFormatSize];
    KeepValueEditFormat("%f", kValueKindInteger, kept);
    EXPECT_STREQ(kept, "%d");
    KeepValueEditFormat("%s", kValueKindDouble, kept);
    EXPECT_STREQ(kept, "%g");
    KeepValueEditFormat("%.3f", kValueKindDouble, kept);
    EXPECT_STREQ(kept, "%.3f");
    // A mismatched format shows the value with the kind's own format.
    char shown[kValueEditTextSize];
    FormatEditedValue(kValueKindInteger, "%s", 17.9, shown, sizeof shown);
    EXPECT_STREQ(shown, "17");
}

}  // namespace
