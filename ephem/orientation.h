// Orientation of the planets, the Sun and the Moon: position angle of the
// axis, planetocentric latitudes of the Earth and the Sun, central meridian
// and sub-solar longitude, bright limb; the Sun's P, B0, L0 and Carrington
// rotations; the Moon's librations; the Great Red Spot's offset.
// Meeus, Astronomical Algorithms, ch. 29, 41-43, 45, 53; rotation models of
// the IAU working group (Davies et al.). Angles radians; T is T(TT).
#pragma once
#include "ephem/bodyrecord.h"

// Position angle of the direction (ra0, dec0) seen from (ra, dec), (-pi, pi].
double ComputeAxisPositionAngle(double ra, double dec, double ra0, double dec0);
// Position angle of the Sun seen from (ra, dec): the Sun from the Earth's
// place (L + pi, B) with the true obliquity.
double ComputeBrightLimbAngle(const DateRecord *date, double ra, double dec,
                              HeliocentricPlace earth);
double ComputeCentralMeridian(double w, double ra, double dec, double ra0, double dec0);
double ComputePlanetocentricDeclination(double ra, double dec, double ra0, double dec0);
// Orientation from a pole (J2000 ra0, dec0) and a prime meridian angle w.
void ComputePlanetOrientation(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth,
                              double ra0, double dec0, double w);
void ComputeMercuryOrientation(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth);
void ComputeVenusOrientation(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth);
void ComputeMarsOrientation(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth);
void ComputeJupiterOrientation(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth);
void ComputeSaturnRingData(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth);
void ComputeUranusOrientation(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth);
void ComputeNeptuneOrientation(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth);
void ComputePlutoOrientation(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth);
void ComputeSunPhysicalData(const DateRecord *date, BodyRecord *sun, HeliocentricPlace earth);
// The Moon's librations, axis, phase, elongation and bright limb, with the
// Sun's geocentric place (longitude, latitude, distance in AU).
void ComputeMoonPhysicalData(const DateRecord *date, BodyRecord *moon, HeliocentricPlace sun);
double GetCarringtonRotationStart(int rotation);
int GetCarringtonRotationNumber(double julianDate);
// Physical librations rho, sigma, tau (rad) from the lunar arguments (rad).
void ComputeLunarPhysicalLibration(double centuriesTT, double d, double m, double mp, double f,
                                   double omega, double e, double *rho, double *sigma,
                                   double *tau);
// The Great Red Spot's System II longitude (119 degrees until set).
void SetGreatRedSpotLongitude(double degrees);
double GetGreatRedSpotLongitude();
// Jupiter's central meridian minus the spot's longitude, in (-pi, pi].
double GetGreatRedSpotOffset(const BodyRecord *jupiter);
