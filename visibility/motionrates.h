// The apparent motion of an object across the sky (radians per second) and
// its text in arcseconds per second, minute, hour, day or year.
#pragma once

struct DateRecord;
struct LocationRecord;
struct ObjectRecord;

// Size of a buffer given to the rate texts.
const int kRateTextSize = 32;

// Rates from the places at the date +- h (h from 30 s, times 10 up to 7 times
// until the places are 10" apart). 1; 0 when the object does not move 10"
// within 3 x 10^7 s or cannot be placed (no rates written). The item is
// refreshed in place and left at the later place: pass a copy when the
// caller's record must stay as it is. Without a site the places are
// geocentric. The total rate may be null.
int ComputeMotionRates(const LocationRecord *site, const DateRecord *date, ObjectRecord *item,
                       double *raRate, double *decRate, double *totalRate);
// "%.1lf %s" for a value of 10 or more, else "%.2lf %s" (kRateTextSize bytes).
void FormatRateValue(char *text, const char *unit, double value);
// A rate (radians per second) in the first unit that shows it at 1 or more.
void FormatMotionRate(char *text, double rate);
// Both rates in the unit of the larger one.
void FormatMotionRates(char *raText, char *decText, double raRate, double decRate);
