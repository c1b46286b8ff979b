// Clock digits, the European preset and the shift check of the
// daylight-saving rule dialog (see daylightdigits.h).
#include "sites/daylightdigits.h"

#include <cmath>

#include "astro/angleparse.h"
#include "core/mathutil.h"

void SplitClockDigits(double hours, int32_t digits[4]) {
    double a = std::fabs(hours);
    if (!std::isfinite(a)) a = 0;
    int h = static_cast<int>(std::floor(a));
    long minutes = std::lround((a - h) * 60.0);
    if (minutes >= 60) {
        minutes -= 60;
        ++h;
    }
    h %= 24;
    digits[kHourTens] = h / 10;
    digits[kHourUnits] = h - 10 * digits[kHourTens];
    digits[kMinuteTens] = static_cast<int32_t>(minutes / 10);
    digits[kMinuteUnits] = static_cast<int32_t>(minutes % 10);
}

void StepClockDigit(int32_t d[4], int which, int delta) {
    switch (which) {
    case kHourTens:
        d[kHourTens] += delta;
        if (d[kHourTens] > 2) d[kHourTens] = 0;
        if (d[kHourTens] < 0) d[kHourTens] = 2;
        if (d[kHourTens] == 2 && d[kHourUnits] > 3) d[kHourUnits] = 0;
        break;
    case kHourUnits:
        d[kHourUnits] += delta;
        if (d[kHourTens] == 2) {
            if (d[kHourUnits] > 3) d[kHourUnits] = 0;
            if (d[kHourUnits] < 0) d[kHourUnits] = 3;
        }
        if (d[kHourUnits] > 9) d[kHourUnits] = 0;
        if (d[kHourUnits] < 0) d[kHourUnits] = 9;
        break;
    case kMinuteTens:
        d[kMinuteTens] += delta;
        if (d[kMinuteTens] > 5) d[kMinuteTens] = 0;
        if (d[kMinuteTens] < 0) d[kMinuteTens] = 5;
        break;
    case kMinuteUnits:
        d[kMinuteUnits] += delta;
        if (d[kMinuteUnits] > 9) d[kMinuteUnits] = 0;
        if (d[kMinuteUnits] < 0) d[kMinuteUnits] = 9;
        break;
    default:
        break;
    }
}

double ClockDigitsToHours(const int32_t d[4]) {
    return d[kHourTens] * 10 + d[kHourUnits] + d[kMinuteTens] / 6.0 + d[kMinuteUnits] / 60.0;
}

DaylightSavingRule *SetEuropeanDaylightSavingPreset(DaylightSavingRule *rule, double timeZone) {
    // Clocks change at 01:00 UT everywhere in the Union (Directive 2000/84/EC).
    double local = ReduceModuloPositive(1.0 + (std::isfinite(timeZone) ? timeZone : 0.0), 24.0);
    rule->startHour = static_cast<float>(local);
    rule->endHour = static_cast<float>(local);
    rule->shift = 1.0f;
    rule->startWeekday = 0;
    rule->endWeekday = 0;
    rule->startWeek = 3;
    rule->endWeek = 3;
    rule->startMonth = 3;
    rule->endMonth = 10;
    return rule;
}

int ParseDaylightShift(const char *text, double *shift) {
    double v = ParseSexagesimal(text);
    if (!std::isfinite(v) || std::fabs(v) > kMaxDaylightShift) return 0;
    *shift = v;
    return 1;
}
