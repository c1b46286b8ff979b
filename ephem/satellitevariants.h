// Alternative satellite routines that the ephemeris keeps beside its
// theories: Phoebe from its mean elements of 1950 (and the test positions
// on Saturn's equator of 1950 built from them), three further element sets
// of Charon, and the sine and cosine of an angle in degrees. Nothing in the
// program calls them; they share the satellite block's conventions
// (ephem/satellites.h).
#pragma once
#include "ephem/bodyrecord.h"

double SineOfDegrees(double degrees);
double CosineOfDegrees(double degrees);

// Phoebe into slot 8 of Saturn's record from the 1950 mean elements.
void ComputePhoebeFromMeanElements(const DateRecord *date, BodyRecord *saturn);
// An orbit (a, e, inclination, node, mean anomaly, longitude of pericentre;
// degrees) on the ecliptic carried to Saturn's equator of 1950 (node 168.8112,
// inclination 28.0817 degrees): true longitude, inclination and node there
// (degrees) and the radius (in a's unit), with the equation of the centre to
// e^5.
void TransformOrbitToSaturnEquator(double a, double e, double inclination, double node,
                                   double meanAnomaly, double perihelion, double *trueLongitude,
                                   double *outInclination, double *radius, double *outNode);
// Rectangular place (km) on Saturn's equator of 1950 from a true longitude,
// inclination and node there (degrees) and a radius in Saturn radii (60330 km).
void ComputeOrbitRectangularKm(double trueLongitude, double inclination, double node,
                               double radius, double *x, double *y, double *z);
// 548.212279 (days): the period the test routines state for Phoebe.
double GetTestPeriodConstant();
// Phoebe's place (km) on Saturn's equator of 1950 at Julian date jd.
void ComputePhoebeTestPosition(double jd, double *x, double *y, double *z);
// Charon into slot 0 of Pluto's record from the element sets A, B and C.
void ComputeCharonFromElementsA(const DateRecord *date, BodyRecord *pluto);
void ComputeCharonFromElementsB(const DateRecord *date, BodyRecord *pluto);
void ComputeCharonFromElementsC(const DateRecord *date, BodyRecord *pluto);

struct OrbitRecord;
// A satellite of the planet in the record from its orbit about the planet:
// the orbit's position at T(TT) less the light time (ComputeOrbitPosition)
// is taken as the planetocentric vector (AU) in the planet's sky frame: x
// toward celestial west when the planet's axis points north, y along the
// projected axis, z away from the Earth. Fills the slot's offsets,
// separation, position angle, orbital angle seen from the Earth and
// magnitude (5 log10(r Delta) + H) and names it. Nothing in the program calls
// it; the tests do. Nothing is written for a null argument, a slot outside the
// satellite block or a planet without a geocentric distance.
void ComputeSatelliteFromOrbitRecord(const DateRecord *date, BodyRecord *planet, OrbitRecord *orbit,
                                     int slot, double H, const char *name);
