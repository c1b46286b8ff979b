// Times of the Moon's phases and the Moon's age, from the lunation series of
// Meeus, Astronomical Algorithms, ch. 49 (about a minute of accuracy).
#pragma once

struct DateRecord;

const int kNewMoon = 0;
const int kFirstQuarter = 1;
const int kFullMoon = 2;
const int kLastQuarter = 3;

// The Julian Ephemeris Day (TT; subtract Delta T for UT) of the phase
// (0 new, 1 first quarter, 2 full, 3 last quarter) of the lunation nearest
// after the decimal year, as the lunation number k = (y - 2000) x 12.3685
// rounded down (toward earlier lunations for dates before 2000 as after).
// NaN for another phase number.
double ComputeMoonPhaseTime(double decimalYear, int phase);
// The phase of lunation k (k + 0, 0.25, 0.5, 0.75 by phase), JDE.
double ComputeMoonPhaseOfLunation(double k, int phase);
// Days from the last new Moon at or before the date's instant to that
// instant (the new Moon's time taken in UT with the date's Delta T);
// 0..29.6. -1 for no date.
double ComputeMoonAge(const DateRecord *date);
