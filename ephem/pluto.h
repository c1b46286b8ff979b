// Pluto's heliocentric place (ecliptic and equinox of J2000) from a
// trigonometric series in the mean longitudes of the planets, held in static
// data (ephem/plutodata.cpp, written by tools/gen_pluto_series.py).
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

// JD = T x 36525 + 2451545, then EvaluatePlutoSeries.
void ComputePlutoHeliocentric(double centuriesTT, HeliocentricPlace *out);
// L (rad, not reduced), B (rad), R (AU) at the Julian date (TT). Returns 1.
int EvaluatePlutoSeries(double julianDate, double *longitude, double *latitude, double *radius);
// The same walk over a given description. Returns 1 when the walk consumed
// exactly argumentCount bytes and coefficientCount coefficients; 0 (outputs
// zero) when the description is missing or would be walked past its ends, a
// planet number lies outside 1..9 or a harmonic above the planet's highest.
int EvaluatePlutoSeriesWith(const PlutoSeries *series, double julianDate, double *longitude,
                            double *latitude, double *radius);
