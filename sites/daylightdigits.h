// The daylight-saving rule as the rule dialog edits it: the start and end
// times as four clock digits each (hour tens, hour units, minute tens, minute
// units) stepped one at a time with wrapping, the European preset, and the
// check of the shift typed.
#pragma once

#include <cstdint>

#include "astro/location.h"

// Digit positions.
enum ClockDigit { kHourTens = 0, kHourUnits = 1, kMinuteTens = 2, kMinuteUnits = 3 };

// Hours (the absolute value) into digits; minutes are rounded, halves away
// from zero, and a rounding to 60 carries into the hour (24 h wraps to 0).
void SplitClockDigits(double hours, int32_t digits[4]);
// Steps one digit by +1 or -1 and wraps it within its range: hour tens 0-2,
// hour units 0-9 (0-3 when the tens are 2; the units reset to 0 when the tens
// become 2 with units above 3), minute tens 0-5, minute units 0-9.
void StepClockDigit(int32_t digits[4], int which, int delta);
// Hours of the digits.
double ClockDigitsToHours(const int32_t digits[4]);

// The European Union rule: last Sunday of March to last Sunday of October,
// both at 01:00 UT, given in the site's standard clock hours (1 + zone,
// within 0-24), shift 1 h. The mode is not touched.
DaylightSavingRule *SetEuropeanDaylightSavingPreset(DaylightSavingRule *rule, double timeZone);

// Shifts the rule dialog takes as typed (hours); others are refused so that
// a typing slip cannot put the site's clock a day out.
const double kMaxDaylightShift = 12.0;
// 1 when the text parses to a shift within +-kMaxDaylightShift (stored in
// *shift); 0 otherwise (*shift untouched).
int ParseDaylightShift(const char *text, double *shift);
