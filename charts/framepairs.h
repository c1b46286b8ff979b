// A coordinate pair replaced in place by its pair in another frame: the
// conversions every chart walk ends with when the chart is drawn in ecliptic
// or galactic coordinates. Angles are radians.
#pragma once

struct DateRecord;

// (right ascension, declination) of date becomes (longitude, latitude) on
// the ecliptic of date, with the true obliquity.
void ReplaceByEcliptic(const DateRecord *date, double *a, double *b);

// (right ascension, declination) of J2000 becomes galactic (l, b).
void ReplaceByGalactic(double *a, double *b);
