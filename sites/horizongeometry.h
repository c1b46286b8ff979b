// Tests of objects against a site's obstructed horizon (rows of sites/horizon.h):
// where a declination circle crosses the horizon profile, rise and set times
// over it, and whether a place is above it. Angles in radians, times in hours;
// azimuth arguments here run from the south through the west, as elsewhere in
// the astronomy code.
#pragma once

struct HorizonRow;
struct LocationRecord;

// Hour angle (hours, in (-12, 12]) of a point at an azimuth from the south and
// an altitude: atan2(sin A, cos A sin(lat) + tan h cos(lat)) (Meeus,
// Astronomical Algorithms, ch. 13); 0 when cos h is exactly 0.
double ComputeHourAngleFromAltAz(const LocationRecord *site, double azimuth, double altitude);

// Where a declination circle crosses the profile. A is the first crossed
// segment from the north through the east (the rise side), B the last one (the
// set side). Without two crossings the object is either always or never above.
struct HorizonCrossings {
    int twoCrossings;   // 1 when A and B were both found
    int alwaysAbove;    // without two crossings: 1 always above, 0 never above
    double hourAngleA;  // hours, valid with twoCrossings
    double hourAngleB;
};
void FindHorizonCrossings(const LocationRecord *site, double declination, const HorizonRow *rows,
                          HorizonCrossings *out);

// Rise (crossing A) and set (crossing B) around timeNow (hours) from the hour
// angle now (radians), each wrapped into about [-12, 12] h. 1 with both;
// 0 always above (both 0.0); -1 never above (both -2.0).
int ComputeHorizonRiseSet(const LocationRecord *site, double declination, const HorizonRow *rows,
                          double hourAngleNow, double timeNow, double *rise, double *set);
// One of the two: 1 with the time; 0 always above (0.0); -1 never above (-1.0).
int RefineHorizonRise(const LocationRecord *site, double declination, const HorizonRow *rows,
                      double hourAngleNow, double timeNow, double *rise);
int RefineHorizonSet(const LocationRecord *site, double declination, const HorizonRow *rows,
                     double hourAngleNow, double timeNow, double *set);
// Hour angle (radians) of the rise or set crossing: 1; 0 always above, -1 never
// above (the output 0.0 then).
int ComputeHorizonRiseHourAngle(const LocationRecord *site, double declination,
                                const HorizonRow *rows, double *hourAngle);
int ComputeHorizonSetHourAngle(const LocationRecord *site, double declination,
                               const HorizonRow *rows, double *hourAngle);
// 1 when an object of the declination is above the horizon profile at the hour
// angle (radians). Decided from the object's own altitude and azimuth there, so
// profiles crossed more than twice and objects seen only around lower
// culmination are judged right.
int IsAboveHorizonAtHourAngle(const LocationRecord *site, double declination,
                              const HorizonRow *rows, double hourAngle);
// 1 when a place at the hour angle and declination with the given altitude
// clears the profile (linear between the rows either side of its azimuth).
int IsAltitudeAboveHorizon(const LocationRecord *site, double hourAngle, double declination,
                           double altitude, const HorizonRow *rows);
