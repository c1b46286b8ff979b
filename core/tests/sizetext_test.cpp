// Tests of the angular size, separation and distance texts.
#include "core/sizetext.h"

#include <cmath>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

TEST(SizeTextTest, AngularSize) {
    struct Case {
        double a, b;
        const char *text;
    };
    const Case cases[] = {
        {0, 0, "unknown"},
        {-1, 5, "unknown"},
        {180, 0, "3.0\xB0"},
        {180, 120, "3.0\xB0x 2.0\xB0"},  // the field-width blanks squeezed to one
        {5, 5, "5.0'"},                  // equal axes: one value
        {5, 2.5, "5.0'x 2.5'"},
        {120, 0, "120.0'"},              // 120' is still arcminutes
        {0.5, 0, "30\""},
        {0.5, 0.25, "30\"x 15\""},
        {0.05, 0, "3.0\""},
        {0.05, 0.02, "3.0\" x 1.2\""},
        {0.001, 0, "60 mas"},
        {0.001, 0.0005, "60 x 30 mas"},
        // Not in the table of the format: the larger axis leads, nonsense is unknown.
        {0, 5, "5.0'"},
        {2, 6, "6.0'x 2.0'"},
        {5, -3, "5.0'"},
        {NAN, 0, "unknown"},
        {3, NAN, "unknown"},
        {1e300, 0, "unknown"},
        {INFINITY, 1, "unknown"},
    };
    for (const Case &c : cases) {
        char buffer[kSizeTextBytes];
        std::memset(buffer, 'Z', sizeof buffer);
        FormatAngularSize(buffer, sizeof buffer, c.a, c.b);
        EXPECT_STREQ(c.text, buffer) << c.a << " x " << c.b;
    }
}

TEST(SizeTextTest, Separation) {
    struct Case {
        double s;
        const char *text;
    };
    const Case cases[] = {
        {0.2, "0.2\""}, {12.34, "12.3\""}, {0.05, "0.05\""}, {0.01, "0.01\""},
        {0.005, "5 mas"}, {0, "0 mas"}, {-1, ""}, {NAN, ""}, {1e300, ""},
    };
    for (const Case &c : cases) {
        char buffer[kSizeTextBytes];
        EXPECT_EQ(buffer, FormatSeparation(buffer, sizeof buffer, c.s));
        EXPECT_STREQ(c.text, buffer) << c.s;
    }
}

TEST(SizeTextTest, Distance) {
    struct Case {
        double d;
        const char *text;
    };
    const Case cases[] = {
        {2.5e6, "2.5 Mly"},
        {23500, "24000 ly"},  // two significant digits
        {1e-5, "0.6 AU"},
        {1e-6, "0.06 AU"},
        {1e-9, "9460.7 km"},
        {0, "   "},
        {-3, "   "},
        {NAN, "   "},
        {1e300, "   "},
        {13.7e9, "14.0 Gly"},
        {1, "1 ly"},
        // Rounding that reaches the next unit shows it in that unit.
        {999999, "1.0 Mly"},
        {9.96e8, "1.0 Gly"},
    };
    for (const Case &c : cases) {
        char buffer[kSizeTextBytes];
        EXPECT_EQ(buffer, FormatDistance(buffer, sizeof buffer, c.d));
        EXPECT_STREQ(c.text, buffer) << c.d;
    }
}

TEST(SizeTextTest, TextsStopAtTheBufferSize) {
    char buffer[6];
    std::memset(buffer, 'Z', sizeof buffer);
    FormatDistance(buffer, 4, 23500);
    EXPECT_STREQ("240", buffer);
    EXPECT_EQ('Z', buffer[4]);
    FormatAngularSize(buffer, 5, 0, 0);
    EXPECT_STREQ("unkn", buffer);
}

}  // namespace
