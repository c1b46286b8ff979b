// Tests of the angle, right-ascension and clock texts in every style, the
// carries at the last field, the "J" designation and the display options.
#include "astro/angletext.h"
#include "core/mathutil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#endif

namespace {


// Restores the process-wide styles after each test.
class AngleTextTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetAngleTextStyle(0, 0);
        SetClockTextStyle(0);
        SetLongitudeDisplayFlag(0);
    }
};

typedef char *(*Formatter)(char *, double);

struct Case {
    const char *name;
    Formatter format;
    int style;
    int raDegrees;
    double value;
    const char *expected;
};

// "\xB0" is the degree sign of the Windows-1252 code page.
const Case kCases[] = {
    // carries at the last field and the sign of small negative values
    {"Dec", FormatDeclination, 0, 0, -0.5, "-00\xB0" "30'00\""},
    {"Dec", FormatDeclination, 0, 0, 0.0, "+00\xB0" "00'00\""},
    {"Dec", FormatDeclination, 0, 0, 12.999999, "+13\xB0" "00'00\""},
    {"Dec", FormatDeclination, 0, 0, 12.5125, "+12\xB0" "30'45\""},
    {"Dec", FormatDeclination, 1, 0, -23.4392911, "-23:26:21"},
    {"Dec", FormatDeclination, 2, 0, 89.99, "+89 59 24"},
    {"Dec", FormatDeclination, 3, 0, -12.5125, "-12.5125"},
    {"Dec", FormatDeclination, 7, 0, 1.5, "+01\xB0" "30'00\""},  // unknown style acts as 0
    {"DecTenths", FormatDeclinationTenths, 0, 0, 12.9999, "+12\xB0" "59'59.6\""},
    {"DecTenths", FormatDeclinationTenths, 0, 0, 12.99999, "+13\xB0" "00'00.0\""},
    {"DecTenths", FormatDeclinationTenths, 1, 0, -5.25, "-05:15:00.0"},
    {"DecTenths", FormatDeclinationTenths, 3, 0, 5.25, "  5.25000"},
    {"DecHundredths", FormatDeclinationHundredths, 0, 0, 45.0 + 59.0 / 60 + 59.96 / 3600,
     "+45\xB0" "59'59.96\""},
    {"DecHundredths", FormatDeclinationHundredths, 2, 0, -0.0001, "-00 00 00.36"},
    {"DecHundredths", FormatDeclinationHundredths, 3, 0, 5.25, " +5.250000"},
    {"DecMinutes", FormatDeclinationMinutes, 0, 0, 12.999, "+13\xB0" "00'"},
    {"DecMinutes", FormatDeclinationMinutes, 2, 0, -7.5, "-07 30'"},
    {"DecMinutes", FormatDeclinationMinutes, 3, 0, 7.5, "  7.500"},
    {"DecColons", FormatDeclinationColons, 0, 0, 12.5125, "+12:30:45"},
    {"DecColons", FormatDeclinationColons, 2, 0, -1.0, "-01:00:00"},
    {"DecColons", FormatDeclinationColons, 3, 0, 1.0, "   1.0000"},
    {"DecBlanks", FormatDeclinationBlanks, 0, 0, 12.5125, "+12 30 45"},
    {"DecBlanks", FormatDeclinationBlanks, 3, 0, -12.5125, "-12 30 45"},
    {"DecHundredthsBlanks", FormatDeclinationHundredthsBlanks, 3, 0, 12.5, "+12 30 00.00"},
    // longitudes: three-digit degrees, wrap at 360
    {"Lon", FormatLongitude, 0, 0, 123.5, "+123\xB0" "30'00\""},
    {"Lon", FormatLongitude, 1, 0, -71.25, "-071:15:00\""},
    {"Lon", FormatLongitude, 2, 0, 359.99999, "+000 00 00\""},
    {"Lon", FormatLongitude, 3, 0, 10.0, " 10.00000"},
    {"LonMinutes", FormatLongitudeMinutes, 0, 0, 8.25, "+008\xB0" "15'"},
    {"LonMinutes", FormatLongitudeMinutes, 3, 0, 8.25, "   8.250"},
    // right ascensions
    {"Ra", FormatRightAscension, 0, 0, 23.99999, " 24h00m00s"},  // no wrap
    {"Ra", FormatRightAscension, 0, 0, -1.5, "-01h30m00s"},
    {"Ra", FormatRightAscension, 1, 0, 12.5125, " 12:30:45s"},
    {"Ra", FormatRightAscension, 2, 0, 12.5125, " 12 30 45s"},
    {"Ra", FormatRightAscension, 3, 1, 1.5, " 22.50000"},
    {"Ra", FormatRightAscension, 3, 0, 1.5, " 1.500000"},
    {"RaMinutes", FormatRightAscensionMinutes, 0, 0, 23.999, " 00h00m"},
    {"RaMinutes", FormatRightAscensionMinutes, 3, 0, 1.5, "+1.5000"},
    {"RaMinutes", FormatRightAscensionMinutes, 3, 1, 1.5, "+22.5000"},
    {"RaTenthMinutes", FormatRightAscensionTenthMinutes, 0, 0, 5.0 + 59.96 / 60, " 06h00.0m"},
    {"RaTenthMinutes", FormatRightAscensionTenthMinutes, 1, 0, 5.0 + 7.44 / 60, " 05:07.4"},
    {"RaTenths", FormatRightAscensionTenths, 0, 0, 12.0 + 34.0 / 60 + 56.78 / 3600, " 12h34m56.8s"},
    {"RaTenths", FormatRightAscensionTenths, 2, 0, 12.0 + 34.0 / 60 + 59.96 / 3600, " 12 35 00.0"},
    {"RaTenths", FormatRightAscensionTenths, 3, 0, 1.5, " 1.50000"},
    {"RaHundredths", FormatRightAscensionHundredths, 0, 0, 12.0 + 34.0 / 60 + 59.964 / 3600,
     " 12h34m59.96s"},
    {"RaHundredths", FormatRightAscensionHundredths, 1, 0, 12.0 + 34.0 / 60 + 59.996 / 3600,
     " 12:35:00.00"},
    {"RaThousandths", FormatRightAscensionThousandths, 0, 0, 12.0 + 34.0 / 60 + 56.789 / 3600,
     " 12h34m56.789s"},
    {"RaThousandths", FormatRightAscensionThousandths, 0, 0, 1.0 + 59.0 / 60 + 59.9712 / 3600,
     " 01h59m59.971s"},
    {"RaTenthsBlanks", FormatRightAscensionTenthsBlanks, 3, 1, 12.5125, " 12 30 45.0"},
};

TEST_F(AngleTextTest, MembersStylesAndCarries) {
    for (const Case &c : kCases) {
        SetAngleTextStyle(c.style, c.raDegrees);
        char buffer[kAngleTextSize];
        std::memset(buffer, 'X', sizeof buffer);
        EXPECT_STREQ(c.format(buffer, c.value), c.expected)
            << c.name << " style " << c.style << " value " << c.value;
    }
}

TEST_F(AngleTextTest, StyleSetterReturnsDegreesMode) {
    EXPECT_EQ(SetAngleTextStyle(3, 1), 3);
    EXPECT_EQ(RaInDegreesFlag, 1);
    EXPECT_EQ(SetAngleTextStyle(2, 1), 0);
    EXPECT_EQ(RaInDegreesFlag, 0);
    EXPECT_EQ(AngleTextStyle, 2);
    EXPECT_EQ(SetAngleTextStyle(3, 0), 0);
    EXPECT_EQ(RaInDegreesFlag, 0);
}

TEST_F(AngleTextTest, SentinelsAndNonFiniteValuesFitTheBuffer) {
    const double values[] = {-99999999.0, 2147483647.0, 1e300, -1e300,
                             std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity()};
    const Formatter all[] = {FormatDeclinationMinutes, FormatLongitudeMinutes, FormatLongitude,
        FormatDeclination, FormatDeclinationColons, FormatDeclinationTenths,
        FormatDeclinationHundredths, FormatDeclinationBlanks, FormatDeclinationHundredthsBlanks,
        FormatRightAscensionMinutes, FormatRightAscension, FormatRightAscensionTenthMinutes,
        FormatRightAscensionTenths, FormatRightAscensionHundredths,
        FormatRightAscensionThousandths, FormatRightAscensionTenthsBlanks, FormatClockTime,
        FormatClockTimeSeconds, FormatClockTime24, FormatClockTime24Seconds,
        FormatDisplayLongitude, FormatDisplayLongitudeMinutes, FormatDisplayLongitudeDegrees};
    for (int style = 0; style <= 3; ++style) {
        SetAngleTextStyle(style, 1);
        for (Formatter f : all) {
            for (double v : values) {
                // A guard region behind the 16 bytes shows any overrun.
                char buffer[kAngleTextSize + 16];
                std::memset(buffer, 'G', sizeof buffer);
                f(buffer, v);
                EXPECT_LT(std::strlen(buffer), static_cast<size_t>(kAngleTextSize));
                for (size_t i = kAngleTextSize; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], 'G');
            }
        }
    }
    SetAngleTextStyle(0, 0);
    char buffer[kAngleTextSize];
    EXPECT_STREQ(FormatDeclination(buffer, -99999999.0), "--");
    EXPECT_STREQ(FormatClockTime(buffer, std::numeric_limits<double>::quiet_NaN()), "--");
}

TEST_F(AngleTextTest, ClockTimes) {
    struct ClockCase { int style; Formatter format; double hours; const char *expected; } cases[] = {
        {0, FormatClockTime, 23.999, "00:00"},
        {0, FormatClockTime, 21.5, "21:30"},
        {1, FormatClockTime, 0.5, "12:30a"},
        {1, FormatClockTime, 12.5, "12:30p"},
        {1, FormatClockTime, 13.0 + 5.0 / 60, "01:05p"},
        {1, FormatClockTime, 11.0 + 59.7 / 60, "12:00p"},
        {0, FormatClockTime, -1.5, "22:30"},   // the evening before midnight
        {0, FormatClockTime, 26.0, "02:00"},   // universal hours past midnight
        {2, FormatClockTime, 9.25, "09:15"},   // unknown clock style: 24-hour
        {0, FormatClockTimeSeconds, 12.0 + 34.0 / 60 + 59.6 / 3600, "12:35:00"},
        {0, FormatClockTimeSeconds, 23.0 + 59.0 / 60 + 59.7 / 3600, "00:00:00"},
        {1, FormatClockTimeSeconds, 0.25 + 7.0 / 3600, "12:15:07a"},
        {1, FormatClockTime24, 13.5, "13:30"},
        {1, FormatClockTime24Seconds, 13.5 + 1.0 / 3600, "13:30:01"},
    };
    for (const auto &c : cases) {
        SetClockTextStyle(c.style);
        char buffer[kAngleTextSize];
        EXPECT_STREQ(c.format(buffer, c.hours), c.expected) << c.hours << " style " << c.style;
    }
    SetClockTextStyle(5);
    EXPECT_EQ(GetClockTextStyle(), 5);
}

TEST_F(AngleTextTest, JDesignationTruncatesLikeCatalogueNames) {
    const double h = kPi / 12, d = kPi / 180;
    struct JCase { double raHours, decDegrees; const char *expected; } cases[] = {
        {12 + 34 / 60.0 + 56.78 / 3600, 12 + 34 / 60.0 + 56.9 / 3600, "J123456.7+123456"},
        {12 + 34 / 60.0 + 59.96 / 3600, 12 + 34 / 60.0 + 59.7 / 3600, "J123459.9+123459"},
        {23 + 59 / 60.0 + 59.96 / 3600, -(0 + 0 / 60.0 + 30.0 / 3600), "J235959.9-000030"},
        {5 + 6 / 60.0 + 7.0 / 3600, -(45 + 30 / 60.0), "J050607.0-453000"},
        {0.0, 90.0, "J000000.0+900000"},
    };
    for (const auto &c : cases) {
        char buffer[kJDesignationSize];
        EXPECT_STREQ(FormatJDesignation(buffer, c.raHours * h, c.decDegrees * d), c.expected);
    }
    char buffer[kJDesignationSize];
    EXPECT_STREQ(FormatJDesignation(buffer, 1.0, 2.0), "--");  // declination beyond the pole
}

TEST_F(AngleTextTest, LongitudeDisplayOption) {
    char buffer[kAngleTextSize];
    EXPECT_EQ(GetLongitudeDisplayFlag(), 0);
    EXPECT_STREQ(FormatDisplayLongitudeDegrees(buffer, 359.6), "360\xB0");
    EXPECT_STREQ(FormatDisplayLongitudeDegrees(buffer, 7.5), "008\xB0");
    SetLongitudeDisplayFlag(1);
    EXPECT_EQ(GetLongitudeDisplayFlag(), 1);
    EXPECT_STREQ(FormatDisplayLongitudeDegrees(buffer, 179.6), "360\xB0");
    EXPECT_STREQ(FormatDisplayLongitudeDegrees(buffer, -170.0), "010\xB0");
    EXPECT_STREQ(FormatDisplayLongitude(buffer, 0.5), "+180\xB0" "30'00\"");
    EXPECT_STREQ(FormatDisplayLongitudeMinutes(buffer, 190.25), "+010\xB0" "15'");
    SetLongitudeDisplayFlag(0);
    EXPECT_STREQ(FormatDisplayLongitudeMinutes(buffer, 190.25), "+190\xB0" "15'");
}

TEST_F(AngleTextTest, CompactAndFineAngles) {
    const double deg = kPi / 180;
    char buffer[kAngleTextSize];
    EXPECT_STREQ(FormatAngleCompact(buffer, 12.0 / 3600 * deg), "12\"");
    EXPECT_STREQ(FormatAngleCompact(buffer, 0.4 / 3600 * deg), "00\"");
    char *text = FormatAngleCompact(buffer, 0.5 * deg);
    EXPECT_STREQ(text, "30'00\"");
    EXPECT_TRUE(text > buffer && text < buffer + kAngleTextSize);
    SetAngleTextStyle(1, 0);
    EXPECT_STREQ(FormatAngleCompact(buffer, 0.5 * deg), "+00:30:00");  // no degree sign: whole text
    SetAngleTextStyle(0, 0);
    EXPECT_STREQ(FormatAngleCompact(buffer, 2.5 * deg), "+02\xB0" "30'");
    EXPECT_STREQ(FormatAngleCompact(buffer, 23.4 * deg), "23\xB0");
    EXPECT_STREQ(FormatAngleFine(buffer, 0.5 / 3600 * deg), "+00\xB0" "00'00.5\"");
    EXPECT_STREQ(FormatAngleFine(buffer, 1.5 * deg), "+01\xB0" "30'00\"");
}

#ifdef GLEANER_HAVE_ERFA
// The split into units, minutes and rounded seconds, with its carries, checked
// against ERFA's eraA2af/eraA2tf. Values whose rounding the thousandth-second
// offset would change are skipped (the offset is intended).
TEST_F(AngleTextTest, SexagesimalSplitAgreesWithErfa) {
    struct Member {
        Formatter format;
        bool hours, offset;
        int ndp;  // ERFA's decimal places: -2 minutes, 0 seconds, 1 tenths...
    } members[] = {
        {FormatDeclinationMinutes, false, true, -2}, {FormatDeclination, false, true, 0},
        {FormatDeclinationTenths, false, true, 1}, {FormatDeclinationHundredths, false, true, 2},
        {FormatRightAscensionMinutes, true, true, -2}, {FormatRightAscension, true, true, 0},
        {FormatRightAscensionTenths, true, true, 1}, {FormatRightAscensionHundredths, true, false, 2},
        {FormatRightAscensionThousandths, true, false, 3},
    };
    std::mt19937 random(2024);
    int compared = 0;
    for (const Member &m : members) {
        // Values near 59.9... seconds and minutes stress the carries.
        std::uniform_real_distribution<double> whole(m.hours ? 0.0 : -89.0, m.hours ? 23.0 : 89.0);
        std::uniform_real_distribution<double> nearTop(59.9, 60.0);
        for (int i = 0; i < 4000; ++i) {
            double v = std::floor(whole(random));
            if (i % 2) v += (59.0 + nearTop(random) / 60.0) / 60.0 * (v < 0 ? -1 : 1);
            else v += std::uniform_real_distribution<double>(0, 1)(random) * (v < 0 ? -1 : 1);
            const double scale = m.hours ? kPi / 12 : kPi / 180;
            char sign0, sign1;
            int f0[4], f1[4];
            const double shifted = m.offset ? v + 1.0 / 3600000 : v;
            if (m.hours) {
                eraA2tf(m.ndp, v * scale, &sign0, f0);
                eraA2tf(m.ndp, shifted * scale, &sign1, f1);
            } else {
                eraA2af(m.ndp, v * scale, &sign0, f0);
                eraA2af(m.ndp, shifted * scale, &sign1, f1);
            }
            if (std::memcmp(f0, f1, sizeof f0) != 0) continue;  // on a rounding edge
            if (m.hours && f1[0] >= 24) continue;                // wrap rules differ there
            char expected[32];
            const char lead = m.hours ? (sign1 == '-' ? '-' : ' ') : sign1;
            const char *unitFormat = m.hours ? "%c%02dh%02dm" : "%c%02d\xB0%02d'";
            int n = std::snprintf(expected, sizeof expected, unitFormat, lead, f1[0], f1[1]);
            if (m.ndp >= 0) {
                n += std::snprintf(expected + n, sizeof expected - n, "%02d", f1[2]);
                if (m.ndp > 0) n += std::snprintf(expected + n, sizeof expected - n, ".%0*d", m.ndp, f1[3]);
                std::snprintf(expected + n, sizeof expected - n, "%s", m.hours ? "s" : "\"");
            }
            char text[kAngleTextSize];
            m.format(text, v);
            ASSERT_STREQ(text, expected) << "value " << v;
            ++compared;
        }
    }
    EXPECT_GT(compared, 30000);
}
#endif

}  // namespace
