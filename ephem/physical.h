// Physical data of a body after its position: orientation, illuminated
// fraction and phase angle, magnitude, apparent diameters; magnitude laws of
// comets and asteroids; small tables of diameters and synodic periods.
// Meeus, Astronomical Algorithms, ch. 41 and 48; Bowell et al. (1989) for
// the H, G law. Angles radians, distances AU.
#pragma once
#include "ephem/bodyrecord.h"

void ComputePhaseAndMagnitude(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth);
// ((r^2 + delta^2 - R^2) / (2 r delta) + 1) / 2; 1 (full) when r or delta is 0.
double IlluminatedFractionFromDistances(double r, double earthR, double delta);
// The angle opposite b in the triangle of sides a, b, c: acos((a^2 + c^2 -
// b^2) / (2ac)), pi when the cosine is below -1; 0 when a or c is 0.
double AngleFromThreeSides(double a, double b, double c);
void ComputePlanetMagnitude(BodyRecord *body);
void ComputeMoonMagnitude(BodyRecord *body);
double ComputeCometMagnitude(double r, double delta, double h, double n);
double ComputeAsteroidMagnitude(double r, double delta, double phaseAngle, double h, double g);
// H and n of m = H + 5 log delta + 2.5 n log r from two observations; 1, or
// 0 (outputs unchanged) when r1 = r2 or a distance is not positive.
int FitCometMagnitudeLaw(double m1, double m2, double r1, double r2, double delta1,
                         double delta2, double *h, double *n);
void ComputeApparentDiameters(const DateRecord *date, BodyRecord *body);
// Twice the body's radius in km (types 0..10), else 0.
double GetBodyDiameterKm(int type);
// Mean synodic period in days (types 1, 2, 4..9), else 0.
double GetSynodicPeriod(int type);
// Smaller and larger diameter in metres for the absolute magnitude H
// (-2 .. 32.5): 1; else 0 with both outputs 0.
int EstimateAsteroidDiameter(double h, double *smaller, double *larger);
double SmallAngleFromDistance(double distance, double length);
double ScaleTailLength(double r, double length);
void ComputeCometTail(const DateRecord *date, HeliocentricPlace earth, double r,
                      double phaseAngle, double angularLength, double ra, double dec,
                      double *length, double *positionAngle);
