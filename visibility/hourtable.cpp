// The per-hour darkness table and the hour arithmetic of a night.
#include "visibility/hourtable.h"

#include <cmath>

#include "core/mathutil.h"
#include "objects/objectrecord.h"

namespace {

int ClampSlot(long long slot, int n) {
    if (slot < 0) return 0;
    if (slot > n - 1) return n - 1;
    return (int)slot;
}

// Rounds halves away from zero and converts with the value held in int range.
long long RoundToSlot(double x) {
    if (!(x > -1e9)) return -1000000000LL;
    if (x > 1e9) return 1000000000LL;
    return (long long)std::round(x);
}

}  // namespace

double GetHourTableSlotHour(int slot, int n) {
    if (n < kMinimumHourTableSlots) return 12.0;
    return slot * (24.0 / (n - 1)) + 12.0;
}

double GetHourTableValue(int slot, const uint8_t *table, int n) {
    if (!table || n < 1) return 0.0;
    return table[ClampSlot(slot, n)] / 255.0;
}

double GetHourTableDarkness(double hour, const uint8_t *table, int n) {
    if (!table || n < 1) return 0.0;
    if (n < kMinimumHourTableSlots) return table[0] / 255.0;
    const double h = ExtendHoursPastMidnight(hour) - 12.0;
    return table[ClampSlot(RoundToSlot(h / (24.0 / (n - 1))), n)] / 255.0;
}

double ComputeRequiredDarkness(const ObjectRecord *item) {
    if (!item) return 0.0;
    const double m = item->magnitude;
    double d;
    if (item->extent != 0.0f && item->objectClass != kClassSolarSystem) {
        const double rest = 37.67 - m;
        d = (m >= 90.0 || !(rest > 0.0)) ? 0.98 : 23.0 / rest;
    } else {
        d = (m + 30.0) / 14.0 - 1.928;
    }
    if (!(d > 0.0)) return 0.0;
    return d > 0.98 ? 0.98 : d;
}

double ConvertDarknessToSkyBrightness(double darkness) { return 18.0 * darkness + 3.5; }

double ConvertSkyBrightnessToDarkness(double skyBrightness) { return (skyBrightness - 3.5) / 18.0; }

double WrapHourToSigned(double hour) { return hour >= 12.0 ? hour - 24.0 : hour; }

int GetHourSlot(double hour, int n) {
    if (n < kMinimumHourTableSlots) return 0;
    return (int)RoundToSlot((hour - 12.0) / (24.0 / (n - 1)));
}

void GetHourSlotRange(int n, double startHour, double endHour, int *first, int *last) {
    if (n < kMinimumHourTableSlots) return;
    int f = 0, l = n - 1;
    if (!(startHour == 0.0 && endHour == 0.0)) {
        const double width = 24.0 / n;
        const double a = std::trunc((ExtendHoursPastMidnight(startHour) - 12.0) / width);
        const double b = std::trunc((ExtendHoursPastMidnight(endHour) - 12.0) / width);
        f = a < 0.0 ? 0 : (a > n - 1 ? n - 1 : (int)a);
        l = b > n - 1 ? n - 1 : (b < 0.0 ? 0 : (int)b);
    }
    if (first) *first = f;
    if (last) *last = l;
}

int ComputeDarkWindow(const double times[8], double *start, double *end) {
    if (!times) return 0;
    double s = WrapHourToSigned(times[kTwilightEndSlot]);
    const double moonSet = WrapHourToSigned(times[kMoonSetSlot]);
    if (moonSet > s) s = moonSet;
    double e = WrapHourToSigned(times[kTwilightBeginSlot]);
    const double moonRise = WrapHourToSigned(times[kMoonRiseSlot]);
    if (moonRise < e) e = moonRise;
    if (start) *start = s;
    if (end) *end = e;
    return s != e ? 1 : 0;
}
