// The per-hour darkness table of a night and the hour arithmetic around it:
// n bytes from local noon to the next local noon, slot i at clock hour
// 12 + i x 24/(n - 1), each byte a darkness (0 daylight .. 1 fully dark) x 255.
// Darkness is (sky brightness - 3.5) / 18: 0 at 3.5 mag/arcsec^2, 1 at 21.5.
// Hours on the "noon-to-noon scale" run 12..36 (ExtendHoursPastMidnight).
//
// A table needs at least two slots (its slot width is 24/(n - 1) hours); the
// slot routines treat a shorter table as one slot (slot 0).
#pragma once
#include <cstdint>

struct ObjectRecord;

const int kMinimumHourTableSlots = 2;

// Local clock hour of a slot: slot x 24/(n - 1) + 12 (12 for n < 2).
double GetHourTableSlotHour(int slot, int n);
// The slot's byte / 255 (the slot held to 0..n - 1); 0 without a table.
double GetHourTableValue(int slot, const uint8_t *table, int n);
// Darkness at a local clock hour: the nearest slot (halves away from zero).
double GetHourTableDarkness(double hour, const uint8_t *table, int n);
// Darkness an item needs, 0..0.98: extended objects (a non-zero extent, not
// class 2) 23 / (37.67 - m), 0.98 without a magnitude or when m reaches 37.67;
// all others (m + 30) / 14 - 1.928. Held to 0..0.98.
double ComputeRequiredDarkness(const ObjectRecord *item);
// 18 d + 3.5, and (m - 3.5) / 18 (not held to 0..1).
double ConvertDarknessToSkyBrightness(double darkness);
double ConvertSkyBrightnessToDarkness(double skyBrightness);

// h - 24 when h >= 12, else h.
double WrapHourToSigned(double hour);
// Slot of an hour already on the noon-to-noon scale: round((hour - 12) /
// (24/(n - 1))), halves away from zero (not held: a bare hour 0 gives -12 for
// n = 25). 0 for n < 2.
int GetHourSlot(double hour, int n);
// First and last slots of a clock-hour window (both hours 0: the whole table).
// The slot width here is 24/n hours, as the event finders have always used it
// (the other slot routines use 24/(n - 1)); first is at least 0, last at most
// n - 1. Nothing is written for n < 2.
void GetHourSlotRange(int n, double startHour, double endHour, int *first, int *last);
// Slots of the eight Sun and Moon times (local hours) of ComputeSunMoonTimes.
const int kSunRiseSlot = 0;
const int kSunTransitSlot = 1;
const int kSunSetSlot = 2;
const int kTwilightBeginSlot = 3;  // the Sun rising through -18 degrees
const int kTwilightEndSlot = 4;    // the Sun setting through -18 degrees
const int kMoonRiseSlot = 5;
const int kMoonTransitSlot = 6;
const int kMoonSetSlot = 7;
// The dark window of a night: from the later of the end of evening twilight
// and moonset to the earlier of the start of morning twilight and moonrise,
// each on the -12..12 scale. 1 when start and end differ.
int ComputeDarkWindow(const double times[8], double *start, double *end);
