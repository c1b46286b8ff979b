// The constellation boundaries as rectangles of right ascension and
// declination for the equinox B1875.0 (the IAU boundaries of Delporte, 1930,
// tabulated by Roman, 1987, PASP 99, 695), read from conrect.bin in reference
// slot 0 on first use and kept until FreeConstellationRects (program exit).
// conrect.bin: 89 index entries of 5 bytes {uint32 byte offset, byte count n},
// then per constellation n rectangles of four int32 turn fractions {RA limit
// 1, RA limit 2, Dec lower, Dec upper}.
#pragma once

// 1 when the rectangles are loaded, or when conrect.bin is absent (then no
// position is in any constellation until the cache is freed); 0 on a read
// error (nothing kept) or while the catalogue directories are not set (the
// file is looked for again on the next call).
int LoadConstellationRects();
void FreeConstellationRects();

// Index 0-88 of the constellation holding the place (radians, mean equinox
// and equator of T = equinox Julian centuries from J2000, FK5); -1 when the
// place is in no rectangle or the rectangles cannot be loaded. Edges are
// inside; a place on a shared edge belongs to the lower index.
int ConstellationAt(double ra, double dec, double equinox);
// 1 when the place is inside constellation `index`, -1 otherwise or for an
// index outside 0-88.
int InConstellation(int index, double ra, double dec, double equinox);

// The test of one rectangle (radians, B1875.0): inclusive on every side. RA
// limits more than pi apart (by over 1e-6 rad, beyond the rounding of stored
// turn fractions) wrap through RA 0: the rectangle runs from ra2 to ra1 +
// 2 pi. Limits a full circle apart cover every right ascension.
bool RectangleContains(double ra1, double ra2, double decLow, double decHigh, double ra,
                       double dec);
