// The Moon's geocentric place from the lunar series (ELP-2000/82 abridged,
// Meeus, Astronomical Algorithms, ch. 47) and the radii of the Earth's shadow.
//
// Range: the series is the full theory truncated to 60 terms; against ELP
// 2000-82B it stays within 11" over 1900-2100 and 23" over 1000-2999
// (bench/astro_accuracy, "Ranges"), which sets lunar-eclipse maxima to
// within 15 s. It is used for every date; far from 2000 the error of the
// Moon's place is that of Delta T, not of the series.
#pragma once
#include "ephem/bodyrecord.h"
#include "ephem/ephemload.h"

// The Moon's mean longitude L' at T(TT), radians in 0..2 pi.
double ComputeMoonMeanLongitude(double centuriesTT);
// Sums of the lunar series rows for the arguments D, M, M', F (radians) and
// the eccentricity factor E: longitude and distance sums from the first
// block, latitude sum from the second (coefficients as stored). The rows are
// combined in the order D, M, M', F skipping zero multipliers; a negative
// multiplier negates the sine; M terms carry E^|m|.
void SumLunarSeries(const LunarSeriesRow *first, const LunarLatitudeRow *second, double d,
                    double m, double mp, double f, double e, double *sumLongitude,
                    double *sumDistance, double *sumLatitude);
// The built-in copy of the lunar rows (Meeus, tables 47.A and 47.B), which
// serves only while no ephemeris load has been asked for (library use
// without the packaged files, e.g. the Sun and Moon state in tests).
const LunarSeriesRow *GetBuiltInLunarLongitudeRows();
const LunarLatitudeRow *GetBuiltInLunarLatitudeRows();
// Umbra and penumbra radii (rad) of the Earth's shadow at the Moon's distance
// from the Sun's and the Moon's distances (AU) and the Sun's semidiameter at
// 1 AU (rad), enlarged by 2% for the atmosphere (Meeus, ch. 54).
void ComputeEarthShadowRadii(double sunDistance, double moonDistance, double sunSemidiameter,
                             double *umbra, double *penumbra);
