// The satellites of Mars to Pluto: the satellite block of a planet's
// BodyRecord (slots 0..8, eleven quantity arrays), the common projection of
// a satellite's place in its orbit onto the sky as seen from the Earth and
// from the Sun, the per-planet theories, and the descriptive satellite tables
// (semidiameter, opposition magnitude, period, semi-major axis).
//
// Every routine expects the planet's record to hold, from the body sequence,
// its heliocentric place, geocentric distance and geocentric right ascension
// and declination; Jupiter's also its equatorial diameter and axis position
// angle (when they are missing, ComputeGalileanSatellites computes them).
// A selection `which` of 0 computes every satellite of the planet (count = the
// planet's number of satellites), n (1-based) only the n-th (count 1); each
// satellite always lands in its own slot. Angles radians, distances AU.
#pragma once
#include "ephem/bodyrecord.h"

// Quantity arrays of the satellite block (BodyRecord::satellites[array][slot]).
const int kSatOrbitalAngle = 0;      // from the far point of the line of sight, 0..2 pi
const int kSatPositionAngle = 1;     // north through east, 0..2 pi
const int kSatSeparation = 2;        // rad
const int kSatOffsetX = 3;           // rad, positive toward celestial west
const int kSatOffsetY = 4;           // rad, positive toward celestial north
const int kSatSunOrbitalAngle = 5;   // as array 0 for the line Sun-planet
const int kSatSunPositionAngle = 6;  // as array 1 for the line Sun-planet
const int kSatSunSeparation = 7;     // Sun-view offset divided by the geocentric distance
const int kSatUmbraFactor = 8;       // Jupiter's slots 0..3 only, else 0
const int kSatPenumbraFactor = 9;
const int kSatMagnitude = 10;

// Light time per AU of geocentric distance, Julian centuries.
const double kSatelliteLightTimeCenturiesPerAU = 1.5812507323750856e-7;

// Fills the satellite block of a planet's record (types 4..9); which as
// above. Neptune and Pluto ignore which. Any other type sets the count to 0
// and writes nothing else. A which outside 0..count leaves the block as it is.
void ComputePlanetSatellites(const DateRecord *date, BodyRecord *body, int which);

// Writes arrays 0..9 of one slot from the satellite's orbit radius a (AU),
// the inclination I and ascending node N of its orbit on the Earth's mean
// equator of date and its argument of latitude u from that node (rad). With
// the mirror flag the Earth-view position angle becomes pi - PA. Nothing for a
// slot outside 0..8.
void ProjectSatellite(const DateRecord *date, BodyRecord *body, int slot, double a,
                      double inclination, double node, double u, int mirror);
// A direction (longitude, latitude) turned into the frame of a plane of
// inclination i and node n: u the longitude in the plane, v the latitude above
// it, w the position angle of the plane's pole.
void RotateIntoOrbitPlane(double longitude, double latitude, double inclination, double node,
                          double *u, double *v, double *w);

// Descriptive tables, row = body type - 4 (0 Mars .. 5 Pluto), slot 0..8;
// 0 outside those ranges and for cells without a satellite.
double GetSatelliteSemidiameter(int row, int slot);          // arcsec at 1 AU
double GetSatelliteOppositionMagnitude(int row, int slot);   // mean opposition
double GetSatellitePeriod(int row, int slot);                // sidereal, days
double GetSatelliteSemiMajorAxis(int row, int slot);         // AU

// The per-planet theories (selection as above; a which outside the planet's
// range does nothing).
void ComputeMarsSatellites(const DateRecord *date, BodyRecord *mars, int which);
// e (2 - e^2/4) sin M + e^2 sin 2M + e^3 sin 3M (rad): the equation of the
// centre with the shortened coefficients the Martian elements were fitted
// with; good for e <= 0.015 only.
double ComputeEquationOfCentre(double meanAnomaly, double eccentricity);
void ComputeSaturnSatellites(const DateRecord *date, BodyRecord *saturn, int which);
void ComputeInnerSaturnSatellites(const DateRecord *date, BodyRecord *saturn, int which);
void ComputeRhea(const DateRecord *date, BodyRecord *saturn);
void ComputeTitan(const DateRecord *date, BodyRecord *saturn);
void ComputeHyperion(const DateRecord *date, BodyRecord *saturn);
void ComputeIapetus(const DateRecord *date, BodyRecord *saturn);
// Without the Uranian table (ephem/uranussats.h) the record is not touched.
void ComputeUranusSatellites(const DateRecord *date, BodyRecord *uranus, int which);
void ComputeTriton(const DateRecord *date, BodyRecord *neptune);
void ComputeCharon(const DateRecord *date, BodyRecord *pluto);
void ComputeGalileanSatellites(const DateRecord *date, BodyRecord *jupiter, int which);
// Sky coordinates of a Galilean vector (k = 0..3) or the pole (k = 5) for an
// observer at Jupiter's ecliptic longitude, latitude and distance (AU) seen
// from that observer; pole is the pole already projected for the same
// observer. x toward the west along Jupiter's projected equator, y toward its
// projected north pole, z away from the observer (Jupiter radii). In and out
// may be the same vector.
void ProjectGalileanVector(int k, const double v[3], double longitude, double latitude,
                           double distance, const double pole[3], int flattening, double out[3]);
