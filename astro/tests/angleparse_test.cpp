// Tests of the angle, time, date, pair, "J" designation and size readers, and
// of the round trip from every text formatter back through the reader.
#include "astro/angleparse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "astro/angletext.h"
#include "core/textutil.h"
#include "core/mathutil.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#endif

namespace {

const double kNone = kNoRealValue;

class ParserTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetAngleTextStyle(0, 0);
        SetClockTextStyle(0);
    }
};

TEST_F(ParserTest, SexagesimalTable) {
    struct Case { const char *text; double expected; } cases[] = {
        {"12 30 45", 12.5125},
        {"12h30m45s", 12.5125},
        {"+12\xB0" "30'45\"", 12.5125},
        {"12d30m45", 12.5125},
        {"12\xA6" "30\xA6" "45", 12.5125},
        {"-00:30", -0.5},
        {"-00 30", -0.5},
        {"  7.25  \r\n", 7.25},
        {"", 0.0},
        {"   ", 0.0},
        {"-", kNone},
        {"+", kNone},
        {"1:2:3:4", kNone},
        {"1:2:3:", 1.0 + 2.0 / 60 + 3.0 / 3600},
        {"12h 30m", kNone},
        {"12h30m", 12.5},
        {"12 30", 12.5},
        {"3:15 PM", 15.25},
        {"12:30am", 0.5},
        {"12:30 pm", 12.5},
        {"11 p", 23.0},
        {"12H30M", 12.5},   // upper-case unit letters separate as lower-case ones do
        {"12,5", kNone},    // neither 125 nor a guess at a decimal comma
        {"n/a", kNone},     // no digit at all
        {"approx", kNone},
        {"12x", 12.0},
    };
    for (const auto &c : cases) {
        const double v = ParseSexagesimal(c.text);
        if (c.expected == kNone) EXPECT_EQ(v, kNone) << '"' << c.text << '"';
        else EXPECT_NEAR(v, c.expected, 1e-12) << '"' << c.text << '"';
    }
}

TEST_F(ParserTest, SexagesimalRefusesLongTextsAndSurvivesFuzzing) {
    std::string longText(60, ' ');
    longText += "12 30";
    EXPECT_NEAR(ParseSexagesimal(longText.c_str()), 12.5, 1e-12);  // blanks trimmed first
    std::string tooLong = "12.5" + std::string(80, '0');
    EXPECT_EQ(ParseSexagesimal(tooLong.c_str()), kNone);
    EXPECT_EQ(ParseSexagesimal(nullptr), kNone);

    std::mt19937 random(7);
    std::uniform_int_distribution<int> length(0, 200);
    const char alphabet[] = "0123456789 :.-+hdmsHDMapAP'\"\xB0\xA6,\t\r\nxX\x96";
    std::uniform_int_distribution<int> pick(0, sizeof alphabet - 2);
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int n = length(random);
        for (int k = 0; k < n; ++k) text += alphabet[pick(random)];
        const double v = ParseSexagesimal(text.c_str());
        ASSERT_TRUE(v == kNone || std::isfinite(v)) << text;
        double ra, dec;
        ParseRaDecPair(text.c_str(), &ra, &dec);
        ParseTimeText(text.c_str(), nullptr);
        DateRecord record;
        std::memset(&record, 0, sizeof record);
        ParseDateText(text.c_str(), nullptr, &record);
        ParseSizeProduct(text.c_str());
    }
}

TEST_F(ParserTest, RightAscensionFollowsTheDegreesStyle) {
    EXPECT_NEAR(ParseRightAscension("6 00 00"), kPi / 2, 1e-15);
    SetAngleTextStyle(3, 1);
    EXPECT_NEAR(ParseRightAscension("90"), kPi / 2, 1e-15);
    EXPECT_EQ(ParseRightAscension("-"), kNone);
}

TEST_F(ParserTest, RaDecPairs) {
    const double h = kPi / 12, d = kPi / 180;
    struct Case { const char *text; int result; double raHours, decDegrees; } cases[] = {
        {"12 30 00 +45 00 00", 1, 12.5, 45.0},
        {"12.5, 45", 1, 12.5, 45.0},
        {"12.5 -45", 1, 12.5, -45.0},
        {"12.5 \x96" "45", 1, 12.5, -45.0},
        {"05 35 17.3 - 05 23 28", 1, 5 + 35 / 60.0 + 17.3 / 3600, -(5 + 23 / 60.0 + 28 / 3600.0)},
        {"12h30m\t-10d", 1, 12.5, -10.0},
        {"  12:30   +45 \r\n", 1, 12.5, 45.0},
        {"25 0", 0, 25.0, 0.0},      // read, but out of range
        {"12 95", 0, 12.0, 95.0},
    };
    for (const auto &c : cases) {
        double ra = -1, dec = -1;
        EXPECT_EQ(ParseRaDecPair(c.text, &ra, &dec), c.result) << c.text;
        EXPECT_NEAR(ra, c.raHours * h, 1e-12) << c.text;
        EXPECT_NEAR(dec, c.decDegrees * d, 1e-12) << c.text;
    }
    const char *unreadable[] = {"12 30 45 20", "12", "", "+45", "12,", "abc def", "12.5, x"};
    for (const char *text : unreadable) {
        double ra, dec;
        EXPECT_EQ(ParseRaDecPair(text, &ra, &dec), 0) << text;
    }
    std::string tooLong = "12 30 +45" + std::string(300, ' ') + "1";
    double ra, dec;
    EXPECT_EQ(ParseRaDecPair(tooLong.c_str(), &ra, &dec), 0);
}

// The date record of a text read with no site.
struct DateCase {
    const char *text;
    int result;
    int year, month, day;
    double hours;
    int universal;
};

TEST_F(ParserTest, DateTexts) {
    const DateCase cases[] = {
        {"2009 Jul 20 21:30", 1, 2009, 7, 20, 21.5, 0},
        {"2009 7 20 9:30 PM", 1, 2009, 7, 20, 21.5, 0},
        {"2009 7 20 9:30pm", 1, 2009, 7, 20, 21.5, 0},
        {"2009 7 20 12:00", 1, 2009, 7, 20, 12.0, 0},
        {"2009 7 20 12:30 AM", 1, 2009, 7, 20, 0.5, 0},
        {"2009 7 20 12:30 a.m.", 1, 2009, 7, 20, 0.5, 0},
        {"2009 7 20.5", 1, 2009, 7, 20, 12.0, 0},
        {"2009 7 20", 1, 2009, 7, 20, 0.0, 0},
        {"2009 Sept. 3 1:00", 1, 2009, 9, 3, 1.0, 0},
        {"2009 Sep 3", 1, 2009, 9, 3, 0.0, 0},
        {"2009 September 3", 1, 2009, 9, 3, 0.0, 0},
        {"2009 apr 3", 1, 2009, 4, 3, 0.0, 0},
        {"2009 AUG 3 2 pm", 1, 2009, 8, 3, 14.0, 0},
        {"2009 7 20 21:30 UT", 1, 2009, 7, 20, 21.5, 1},
        {"2009 7 20 21:30 UTC", 1, 2009, 7, 20, 21.5, 1},
        {"44 BC 3 15", 1, -43, 3, 15, 0.0, 0},
        {"1582 10 15", 1, 1582, 10, 15, 0.0, 0},
        {"AD 1066 10 14", 1, 1066, 10, 14, 0.0, 0},
        {"2008 2 29", 1, 2008, 2, 29, 0.0, 0},
        // unreadable
        {"2009 13 1", 0, 0, 0, 0, 0, 0},
        {"2009 0 1", 0, 0, 0, 0, 0, 0},
        {"2009 2 31", 0, 0, 0, 0, 0, 0},    // no such day
        {"2009 2 29", 0, 0, 0, 0, 0, 0},
        {"2009 7 0", 0, 0, 0, 0, 0, 0},
        {"20 7 2009", 0, 0, 0, 0, 0, 0},    // day-first text in the wrong layout
        {"20090720 7 1", 0, 0, 0, 0, 0, 0}, // year beyond four digits
        {"2009 7 20 25:00", 0, 0, 0, 0, 0, 0},
        {"2009 7 20 21:30 5", 0, 0, 0, 0, 0, 0},  // a fifth value
        {"2009 Jul 20 at 21:30", 0, 0, 0, 0, 0, 0},  // "at" is no AM mark
        {"2009 7.5 20", 0, 0, 0, 0, 0, 0},
        {"2009 7", 0, 0, 0, 0, 0, 0},
        {"", 0, 0, 0, 0, 0, 0},
        {"   ", 0, 0, 0, 0, 0, 0},
        {"BC", 0, 0, 0, 0, 0, 0},
        {"2009 7 20 garbage", 0, 0, 0, 0, 0, 0},
        {"JD", -1, 0, 0, 0, 0, 0},
        {"jd x", 0, 0, 0, 0, 0, 0},
    };
    for (const DateCase &c : cases) {
        DateRecord record;
        std::memset(&record, 0x5A, sizeof record);
        DateRecord before = record;
        int universal = -1;
        const int result = ParseDateText(c.text, nullptr, &record, &universal);
        EXPECT_EQ(result, c.result) << '"' << c.text << '"';
        if (c.result != 1) {
            EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0) << "changed by " << c.text;
            continue;
        }
        EXPECT_EQ(int(record.year), c.year) << c.text;
        EXPECT_EQ(int(record.month), c.month) << c.text;
        EXPECT_EQ(int(record.day), c.day) << c.text;
        EXPECT_NEAR(record.localHours, c.hours, 1e-9) << c.text;
        EXPECT_EQ(universal, c.universal) << c.text;
    }
}

TEST_F(ParserTest, DateTextsByJulianDateAndYear) {
    DateRecord record;
    std::memset(&record, 0, sizeof record);
    int universal = 0;
    ASSERT_EQ(ParseDateText("JD 2451545.0", nullptr, &record, &universal), 1);
    EXPECT_EQ(int(record.year), 2000);
    EXPECT_EQ(int(record.month), 1);
    EXPECT_EQ(int(record.day), 1);
    EXPECT_NEAR(record.universalHours, 12.0, 1e-4);
    EXPECT_EQ(double(record.julianDate), 2451545.0);  // a packed field: compare a copy
    EXPECT_EQ(universal, 1);

    // A year with a fraction: 2009.5 is 182.5 days after 2009 January 1, 0 h,
    // that is July 2, 12 h.
    ASSERT_EQ(ParseDateText("2009.5", nullptr, &record), 1);
    EXPECT_EQ(int(record.month), 7);
    EXPECT_EQ(int(record.day), 2);
    EXPECT_NEAR(record.universalHours, 12.0, 1e-4);
    EXPECT_NEAR(record.julianDate, 2454832.5 + 182.5, 1e-9);

    // The caller's text is read, never cut into pieces.
    const char text[] = "2009 7 20 21:30";
    char copy[sizeof text];
    std::memcpy(copy, text, sizeof text);
    ParseDateText(copy, nullptr, &record);
    EXPECT_STREQ(copy, text);
}

TEST_F(ParserTest, DateTextForASiteInAnotherZone) {
    LocationRecord site;
    std::memset(&site, 0, sizeof site);
    site.timeZone = -6.0;  // standard time = UT - 6 h
    DateRecord record;
    std::memset(&record, 0, sizeof record);
    ASSERT_EQ(ParseDateText("2009 7 20 21:30", &site, &record), 1);
    EXPECT_NEAR(record.localHours, 21.5, 1e-12);
    EXPECT_NEAR(record.universalHours, 27.5, 1e-12);  // 03:30 UT the next day
    ASSERT_EQ(ParseDateText("2009 7 20 21:30 UT", &site, &record), 1);
    EXPECT_NEAR(record.universalHours, 21.5, 1e-12);
    EXPECT_NEAR(record.localHours, 15.5, 1e-12);
}

#ifdef GLEANER_HAVE_ERFA
TEST_F(ParserTest, DateJulianDatesAgreeWithErfa) {
    const char *texts[] = {"2009 Jul 20 21:30", "1900 1 1", "2100 12 31 23:59", "1600 Feb 29 6:00",
                           "1858 Nov 17"};
    for (const char *text : texts) {
        DateRecord record;
        std::memset(&record, 0, sizeof record);
        ASSERT_EQ(ParseDateText(text, nullptr, &record), 1) << text;
        double d0, d1;
        ASSERT_EQ(eraCal2jd(record.year, record.month, record.day, &d0, &d1), 0);
        EXPECT_NEAR(record.julianDate, d0 + d1 + record.universalHours / 24.0, 1e-9) << text;
    }
}
#endif

TEST_F(ParserTest, TimeTexts) {
    LocationRecord site;
    std::memset(&site, 0, sizeof site);
    site.timeZone = -6.0;
    struct Case { const char *text; bool withSite; double expected; int universal; } cases[] = {
        {"9:30pm", false, 21.5, 0},
        {"9:30 PM", false, 21.5, 0},
        {"9:30 p.m.", false, 21.5, 0},
        {"12:15am", false, 0.25, 0},
        {"21:30", false, 21.5, 0},
        {"21:30 UT", true, 15.5, 1},
        {"21:30 UTC", false, 21.5, 1},
        {"UT 21:30", true, 15.5, 1},
        {"10:30", false, 10.5, 0},
        {"10 30", false, kNone, 0},
        {"", false, kNone, 0},
        {"   ", false, kNone, 0},
        {"pm", false, kNone, 0},
        {"about 9", false, kNone, 0},
        {"at 21:30", false, kNone, 0},
    };
    for (const auto &c : cases) {
        int universal = -1;
        const double v = ParseTimeText(c.text, c.withSite ? &site : nullptr, &universal);
        if (c.expected == kNone) {
            EXPECT_EQ(v, kNone) << '"' << c.text << '"';
        } else {
            EXPECT_NEAR(v, c.expected, 1e-12) << '"' << c.text << '"';
            EXPECT_EQ(universal, c.universal) << c.text;
        }
    }
    // The caller's text stays as it was, even when full to the last byte.
    char exact[7] = "9:30pm";
    EXPECT_NEAR(ParseTimeText(exact, nullptr), 21.5, 1e-12);
    EXPECT_STREQ(exact, "9:30pm");
    EXPECT_EQ(ParseTimeText(nullptr, nullptr), 0.0);
}

TEST_F(ParserTest, JDesignations) {
    double ra = 0, dec = 0;
    ASSERT_EQ(ParseJDesignation("J123456.7+123456", &ra, &dec), 1);
    EXPECT_NEAR(ra, (12 + 34 / 60.0 + 56.7 / 3600) * kPi / 12, 1e-13);
    EXPECT_NEAR(dec, (12 + 34 / 60.0 + 56 / 3600.0) * kPi / 180, 1e-13);
    ASSERT_EQ(ParseJDesignation("j000001.0-000030", &ra, &dec), 1);
    EXPECT_NEAR(dec, -30 / 3600.0 * kPi / 180, 1e-15);
    const char *refused[] = {
        "J123456.7+12345",     // 15 characters
        "J123456.7+1234567",   // 17 characters
        "X123456.7+123456",
        "J1234567.+123456",    // no sign at the tenth character
        "J12345+7.8123456",    // sign elsewhere
        "J243456.7+123456",    // hour 24
        "J126056.7+123456",    // minute 60
        "J123460.0+123456",    // second 60
        "J123456.7+913456",    // beyond the pole
        "J12a456.7+123456",
        "J123456.7+12  56",    // an empty field
    };
    for (const char *text : refused) {
        double r = 5, d = 5;
        EXPECT_EQ(ParseJDesignation(text, &r, &d), 0) << text;
        EXPECT_EQ(r, 5.0) << text;
        EXPECT_EQ(d, 5.0) << text;
    }
}

TEST_F(ParserTest, JDesignationRoundTrip) {
    std::mt19937 random(31);
    std::uniform_real_distribution<double> raDist(0.0, 2 * kPi), decDist(-kPi / 2, kPi / 2);
    for (int i = 0; i < 5000; ++i) {
        const double ra = raDist(random), dec = decDist(random);
        char text[kJDesignationSize];
        FormatJDesignation(text, ra, dec);
        double r, d;
        ASSERT_EQ(ParseJDesignation(text, &r, &d), 1) << text;
        // Truncation: the name never lies above the place, and below by less
        // than one unit of its last digit (0.1 s, 1").
        const double raSeconds = (ra - r) * 12 / kPi * 3600;
        const double decSeconds = (std::fabs(dec) - std::fabs(d)) * 180 / kPi * 3600;
        ASSERT_GE(raSeconds, -1e-6) << text;
        ASSERT_LT(raSeconds, 0.1 + 1e-6) << text;
        ASSERT_GE(decSeconds, -1e-6) << text;
        ASSERT_LT(decSeconds, 1.0 + 1e-6) << text;
    }
}

TEST_F(ParserTest, SizeProducts) {
    EXPECT_EQ(ParseSizeProduct("10 x 5"), 50.0);
    EXPECT_EQ(ParseSizeProduct("2.5X4"), 10.0);
    EXPECT_EQ(ParseSizeProduct("7.5"), 7.5);
    EXPECT_EQ(ParseSizeProduct("-"), kNone);
    EXPECT_EQ(ParseSizeProduct("x5"), kNone);
    EXPECT_EQ(ParseSizeProduct("abc"), kNone);
    EXPECT_EQ(ParseSizeProduct(""), kNone);
}

// Every formatter's text read back gives the value within the text's own
// resolution, in every style.
TEST_F(ParserTest, FormatterTextsReadBack) {
    typedef char *(*Formatter)(char *, double);
    struct Member {
        const char *name;
        Formatter format;
        bool hours;        // a right ascension: style 3 may be degrees
        bool fixedStyle;   // a Blanks member: always sexagesimal hours or degrees
        double resolution; // of the sexagesimal text, in the value's unit
        double decimalResolution;  // of the style 3 text (hours for right ascensions)
        double lo, hi;
    } members[] = {
        {"DecMinutes", FormatDeclinationMinutes, false, false, 1 / 60.0, 1e-3, -90, 90},
        {"LonMinutes", FormatLongitudeMinutes, false, false, 1 / 60.0, 1e-3, -180, 359},
        {"Lon", FormatLongitude, false, false, 1 / 3600.0, 1e-5, -180, 359},
        {"Dec", FormatDeclination, false, false, 1 / 3600.0, 1e-4, -90, 90},
        {"DecColons", FormatDeclinationColons, false, false, 1 / 3600.0, 1e-4, -90, 90},
        {"DecTenths", FormatDeclinationTenths, false, false, 0.1 / 3600, 1e-5, -90, 90},
        {"DecHundredths", FormatDeclinationHundredths, false, false, 0.01 / 3600, 1e-6, -90, 90},
        {"DecBlanks", FormatDeclinationBlanks, false, true, 1 / 3600.0, 1 / 3600.0, -90, 90},
        {"DecHundredthsBlanks", FormatDeclinationHundredthsBlanks, false, true, 0.01 / 3600,
         0.01 / 3600, -90, 90},
        {"RaMinutes", FormatRightAscensionMinutes, true, false, 1 / 60.0, 1e-4, 0, 23.99},
        {"Ra", FormatRightAscension, true, false, 1 / 3600.0, 1e-6, 0, 24},
        {"RaTenthMinutes", FormatRightAscensionTenthMinutes, true, false, 0.1 / 60, 1e-4, 0, 24},
        {"RaTenths", FormatRightAscensionTenths, true, false, 0.1 / 3600, 1e-5, 0, 24},
        {"RaHundredths", FormatRightAscensionHundredths, true, false, 0.01 / 3600, 1e-6, 0, 24},
        {"RaThousandths", FormatRightAscensionThousandths, true, false, 0.001 / 3600, 1e-7, 0, 24},
        {"RaTenthsBlanks", FormatRightAscensionTenthsBlanks, true, true, 0.1 / 3600, 0.1 / 3600, 0, 24},
    };
    std::mt19937 random(99);
    for (int style = 0; style <= 3; ++style) {
        for (int degreesFlag = 0; degreesFlag <= (style == 3 ? 1 : 0); ++degreesFlag) {
            SetAngleTextStyle(style, degreesFlag);
            for (const auto &m : members) {
                std::uniform_real_distribution<double> dist(m.lo, m.hi);
                for (int i = 0; i < 2000; ++i) {
                    double v = dist(random);
                    if (i < 4) v = (i % 2 ? m.lo : m.hi) * (i < 2 ? 1 : 0.5);
                    char text[kAngleTextSize];
                    m.format(text, v);
                    double back = ParseSexagesimal(text);
                    ASSERT_NE(back, kNone) << m.name << " style " << style << " '" << text << "'";
                    const bool decimal = style == 3 && !m.fixedStyle;
                    const double tolerance = decimal ? m.decimalResolution : m.resolution;
                    if (decimal && m.hours && degreesFlag == 1) back /= 15.0;  // degrees typed
                    // Half a unit of the last digit, plus the thousandth-second offset.
                    double allowed = tolerance / 2 + 1.0 / 3600000 + 1e-12;
                    // Wrapping members show 24 h or 360 degrees as 0.
                    double diff = std::fabs(back - v);
                    if (m.hours) diff = std::fmin(diff, std::fabs(diff - 24.0));
                    else if (std::fabs(v) > 300) diff = std::fmin(diff, std::fabs(diff - 360.0));
                    ASSERT_LE(diff, allowed)
                        << m.name << " style " << style << " flag " << degreesFlag << " value "
                        << v << " text '" << text << "' read " << back;
                }
            }
        }
    }
}

TEST_F(ParserTest, ClockTextsReadBack) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> dist(0.0, 24.0);
    typedef char *(*Formatter)(char *, double);
    const struct { Formatter format; double resolution; } members[] = {
        {FormatClockTime, 1 / 60.0}, {FormatClockTimeSeconds, 1 / 3600.0},
        {FormatClockTime24, 1 / 60.0}, {FormatClockTime24Seconds, 1 / 3600.0}};
    for (int style = 0; style <= 1; ++style) {
        SetClockTextStyle(style);
        for (const auto &m : members) {
            for (int i = 0; i < 3000; ++i) {
                const double v = dist(random);
                char text[kAngleTextSize];
                m.format(text, v);
                const double back = ParseTimeText(text, nullptr);
                double diff = std::fabs(back - v);
                diff = std::fmin(diff, std::fabs(diff - 24.0));
                ASSERT_LE(diff, m.resolution / 2 + 1.0 / 3600000 + 1e-12)
                    << "style " << style << " value " << v << " text '" << text << "'";
            }
        }
    }
}

}  // namespace
