// Heliocentric places of the planets from the VSOP87-form series of
// PLANETS.BIN, and the Sun's places derived from the Earth's series.
// Time is T(TT), Julian centuries of Terrestrial Time from J2000.0; angles
// radians, distances AU.
#pragma once
#include "ephem/bodyrecord.h"

// Series table n (0 the Earth referred to the J2000 ecliptic; 1..8 Mercury..
// Neptune of date): every coordinate is sum over powers k of tau^k times the
// sum of its cell's terms A cos(phase + frequency tau), tau = T / 10 Julian
// millennia; L is reduced to 0..2 pi, then the VSOP87 to FK5 correction is
// applied (Bretagnon & Francou 1988; Meeus, Astronomical Algorithms, ch. 32),
// which may leave L a fraction of an arcsecond outside 0..2 pi. Tables not
// loaded give zero sums. Nothing for a table outside 0..8 or no output.
void EvaluatePlanetSeries(int table, double centuriesTT, HeliocentricPlace *out);
// 9 gives Pluto (J2000 ecliptic, ComputePlutoHeliocentric); any other number
// the series table of that number.
void ComputeHeliocentricPlanet(int body, double centuriesTT, HeliocentricPlace *out);
// The Sun seen from the Earth of series table `table` (0 J2000, 3 of date):
// longitude L + pi in 0..2 pi, latitude -B, distance R.
void ComputeSunGeocentricEcliptic(double centuriesTT, int table, double *longitude,
                                  double *latitude, double *distance);
// The Sun's geocentric rectangular place in AU. Frame 0: from table 0,
// referred to the FK5 J2000 equator; any other frame: the Earth of date
// turned about the X axis by the given obliquity (radians).
void ComputeSunRectangularJ2000(double centuriesTT, int frame, double obliquity, double *x,
                                double *y, double *z);
// The Sun seen from the Earth whose heliocentric place is given.
HeliocentricPlace ComputeSunGeocentricPlace(HeliocentricPlace earth);
// The Earth's heliocentric place (ecliptic and equinox of date) from the
// low-precision solar theory of Meeus, ch. 25 (about 0.01 degree): used for
// ComputeEarthHeliocentric while the planetary series are not loaded.
HeliocentricPlace ComputeEarthLowPrecision(double centuriesTT);
