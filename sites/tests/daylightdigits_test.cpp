// Tests of the rule dialog's clock digits (splitting, stepping with wrap),
// the European preset in the site's own clock hours, and the shift check.
#include "sites/daylightdigits.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Digits {
    int32_t d[4];
};

Digits Split(double hours) {
    Digits r;
    SplitClockDigits(hours, r.d);
    return r;
}

TEST(ClockDigits, SplitTable) {
    struct Case {
        double hours;
        int32_t digits[4];
    } cases[] = {
        {1.9, {0, 1, 5, 4}},           // 1:54
        {19.5, {1, 9, 3, 0}},
        {23.0 + 59.5 / 60, {0, 0, 0, 0}},  // 23:59:30 rounds to 24:00, shown 0:00
        {2.0 + 59.6 / 60, {0, 3, 0, 0}},   // rounds up into the next hour
        {-2.25, {0, 2, 1, 5}},          // the absolute value
    };
    for (const Case &c : cases) {
        Digits got = Split(c.hours);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(c.digits[i], got.d[i]) << c.hours << " digit " << i;
    }
}

TEST(ClockDigits, StepsWrapWithinTheirRanges) {
    struct Case {
        double hours;
        int which, delta;
        double expected;
    } cases[] = {
        {19.5, kHourTens, +1, 20.5},   // 29:30 -> units reset: 20:30
        {23.0, kHourUnits, +1, 20.0},  // 24 -> 20:00
        {20.0, kHourUnits, -1, 23.0},
        {9.0, kHourUnits, +1, 0.0},    // 10 -> 00 (tens untouched)
        {0.0, kHourUnits, -1, 9.0},
        {2.0, kHourTens, -1, 22.0},
        {0.0, kMinuteTens, -1, 50.0 / 60},
        {0.0 + 50.0 / 60, kMinuteTens, +1, 0.0},
        {1.0 + 9.0 / 60, kMinuteUnits, +1, 1.0},
        {1.0, kMinuteUnits, -1, 1.0 + 9.0 / 60},
    };
    for (const Case &c : cases) {
        Digits d = Split(c.hours);
        StepClockDigit(d.d, c.which, c.delta);
        EXPECT_NEAR(c.expected, ClockDigitsToHours(d.d), 1e-12) << c.hours << " digit " << c.which;
    }
}

TEST(ClockDigits, EuropeanPresetInTheSitesClock) {
    struct Case {
        double zone, hour;
    } cases[] = {{0, 1}, {1, 2}, {2, 3}, {-1, 0}};
    for (const Case &c : cases) {
        DaylightSavingRule rule;
        std::memset(&rule, 0, sizeof rule);
        SetEuropeanDaylightSavingPreset(&rule, c.zone);
        EXPECT_FLOAT_EQ(c.hour, rule.startHour) << c.zone;
        EXPECT_FLOAT_EQ(c.hour, rule.endHour) << c.zone;
        EXPECT_FLOAT_EQ(1.0f, rule.shift);
        EXPECT_EQ(3, rule.startWeek);  // last
        EXPECT_EQ(3, rule.endWeek);
        EXPECT_EQ(0, rule.startWeekday);  // Sunday
        EXPECT_EQ(3, rule.startMonth);
        EXPECT_EQ(10, rule.endMonth);
    }
    // At UT+0 the preset is 1:00; a step of the minute units gives 1:01.
    DaylightSavingRule rule;
    SetEuropeanDaylightSavingPreset(&rule, 0.0);
    Digits d = Split(rule.startHour);
    StepClockDigit(d.d, kMinuteUnits, +1);
    EXPECT_NEAR(1.0 + 1.0 / 60, ClockDigitsToHours(d.d), 1e-12);
}

TEST(ClockDigits, ShiftIsTakenAsTypedWithinTwelveHours) {
    struct Case {
        const char *text;
        int ok;
        double shift;
    } cases[] = {{"1", 1, 1.0}, {"-1", 1, -1.0}, {"0:30", 1, 0.5}, {"12", 1, 12.0},
                 {"13", 0, 0}, {"-25", 0, 0}, {"abc", 0, 0}, {"1,5", 0, 0}};
    for (const Case &c : cases) {
        double shift = 99;
        EXPECT_EQ(c.ok, ParseDaylightShift(c.text, &shift)) << c.text;
        EXPECT_EQ(c.ok ? c.shift : 99.0, shift) << c.text;
    }
}

}  // namespace
