// Helpers shared by the satellite theories: the light-time corrected time
// arguments, the magnitude law, the static names and slot clearing.
#pragma once
#include "ephem/bodyrecord.h"

struct DateRecord;

// JDE = JD(UT) + Delta T - tau (days), tau the light time of the planet's
// geocentric distance: the instant the satellites are seen at.
double SatelliteJulianEphemerisDate(const DateRecord *date, const BodyRecord *planet);
// T(TT) - tau, Julian centuries from J2000.
double SatelliteCenturies(const DateRecord *date, const BodyRecord *planet);
// 5 log10(r Delta) + constant, r and Delta the planet's heliocentric and
// geocentric distances (the constant alone when either is not positive).
double SatelliteMagnitude(const BodyRecord *planet, double constant);
// x reduced to 0..2 pi.
double ReduceSatelliteAngle(double x);
// Zeroes every quantity of one slot.
void ClearSatelliteSlot(BodyRecord *planet, int slot);
// 1 when which selects satellite `slot` (0-based) of a planet.
inline bool SatelliteSelected(int which, int slot) { return which == 0 || which == slot + 1; }
