// Pluto's heliocentric place (ecliptic and equinox of J2000) from a
// trigonometric series in the mean longitudes of the planets, held in static
// data (ephem/plutodata.cpp, written by tools/gen_pluto_series.py).
//
// Ranges. The series (Meeus, Astronomical Algorithms, ch. 37, after
// Chapront's fit to DE200) holds from 1885 to 2099, to well under an
// arcsecond; beyond it it runs away (85 degrees off within a few
// centuries). Outside 1885-2099 the place comes from Keplerian elements
// with linear rates (Standish, "Keplerian Elements for Approximate
// Positions of the Major Planets", JPL, table 2a, fitted to DE406 over 3000
// BC - AD 3000, stated error 400" in right ascension and 100" in
// declination). Outside 3000 BC - AD 3000 there is no place.
#pragma once
#include "ephem/bodyrecord.h"

// One static description of the series. Argument bytes, term after term: n,
// then for n > 0 n pairs (signed harmonic, planet 1..9), then the highest
// power p of T; n = 0 is a polynomial term followed by p; n < 0 ends the
// table. Coefficients are consumed in step: p + 1 per polynomial term (T^p
// first), 2 (p + 1) per periodic term (cosine, sine pairs, T^p first).
// Longitude and latitude in arcseconds; radius x gives R = scale (1 + x sin 1").
struct PlutoSeries {
    signed char highestHarmonic[9];  // per planet, Mercury .. Pluto (at most 24)
    signed char highestPower;
    const signed char *arguments;
    const double *longitude;
    const double *latitude;
    const double *radius;
    double distanceScale;  // AU
    int argumentCount;     // bytes in arguments
    int coefficientCount;  // doubles in each coefficient table
};

extern const PlutoSeries kPlutoSeries;

// The theories of Pluto's place and their ranges (Julian dates TT).
const int kPlutoNoTheory = 0;
const int kPlutoSeriesTheory = 1;
const int kPlutoElementsTheory = 2;
const double kPlutoSeriesFirstJd = 2409542.5;    // 1885 January 1.0
const double kPlutoSeriesLastJd = 2488069.5;     // 2100 January 1.0
const double kPlutoElementsFirstJd = 625673.5;   // 3000 BC (-2999) January 1.0
const double kPlutoElementsLastJd = 2817152.5;   // AD 3001 January 1.0
// Which theory gives Pluto's place at T(TT) (Julian centuries from J2000).
int GetPlutoTheory(double centuriesTT);
// JD = T x 36525 + 2451545; EvaluatePlutoSeries within the series' range,
// else the Keplerian elements within theirs. The theory used
// (kPlutoSeriesTheory, kPlutoElementsTheory), or kPlutoNoTheory with a zero
// place outside both.
int ComputePlutoHeliocentric(double centuriesTT, HeliocentricPlace *out);
// L (rad), B (rad) and R (AU), J2000 ecliptic, from Standish's elements at
// the Julian date (TT). Returns 1.
int EvaluatePlutoElements(double julianDate, double *longitude, double *latitude, double *radius);
// L (rad, not reduced), B (rad), R (AU) at the Julian date (TT). Returns 1.
int EvaluatePlutoSeries(double julianDate, double *longitude, double *latitude, double *radius);
// The same walk over a given description. Returns 1 when the walk consumed
// exactly argumentCount bytes and coefficientCount coefficients; 0 (outputs
// zero) when the description is missing or would be walked past its ends, a
// planet number lies outside 1..9 or a harmonic above the planet's highest.
int EvaluatePlutoSeriesWith(const PlutoSeries *series, double julianDate, double *longitude,
                            double *latitude, double *radius);
