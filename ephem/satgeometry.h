// The geometry of an Earth satellite seen from a site: small vector helpers,
// the Greenwich sidereal angle, the observer's geocentric vector, the
// topocentric place from two vectors, the Earth's shadow and the satellite's
// apparent magnitude. Vectors are km in the propagators' frame (true equator,
// mean equinox of date, x toward the equinox).
#pragma once

// Mean distance unit of the Sun vectors, km per AU.
const double kKilometresPerAu = 149597870.0;
// Radii of the Sun and the Earth, km.
const double kSunRadiusKm = 696000.0;
// A satellite counts as in the shadow only this far inside its edge, km.
const double kShadowMarginKm = 10.0;
// Magnitude of a satellite toward the Sun (nothing of it lit).
const double kUnlitSatelliteMagnitude = 20.0;
// Standard magnitudes of 90 and more mean none; 99.9 is the stored "none".
const double kNoSatelliteMagnitude = 99.9;
const double kSatelliteMagnitudeNone = 90.0;
// Extinction coefficient of the satellite magnitudes, mag per air mass.
const double kSatelliteExtinction = 0.1;

void CrossVector3(const double a[3], const double b[3], double out[3]);
double DotVector3(const double a[3], const double b[3]);
double LengthVector3(const double v[3]);
// Unit length; a zero vector stays as it is.
void NormalizeVector3(double v[3]);
double SquareValue(double x);
// a - b int(a/b), plus b when negative.
double ModuloFloor(double a, double b);
// Four-vectors: x, y, z and the length in the fourth component.
void SetVector4Length(double v[4]);
double DotVector4(const double *a, const double *b);

// Greenwich mean sidereal angle (IAU 1982) of a Julian date (UT), rad.
double SiderealAngleFromJulianDate(double julianDate);
// The site's geocentric vector, km: east longitude (rad) and the geocentric
// terms rho cos phi', rho sin phi' (Earth radii).
void ComputeObserverVector(double julianDate, double eastLongitude, double rhoCosPhi,
                           double rhoSinPhi, double out[3]);
// Topocentric right ascension (0..2 pi), declination and range (km) of the
// satellite seen from the observer.
void ComputeTopocentricFromVectors(const double observer[3], const double satellite[3],
                                   double *rightAscension, double *declination, double *range);
// The Sun's geocentric vector (AU) in the equator and mean equinox of date,
// for the time argument T(TT) and the mean obliquity of the date: from the
// loaded planetary series, or the low-precision solar theory without them.
void ComputeSunVectorOfDate(double centuriesTT, double meanObliquity, double out[3]);

// 1 when the satellite is in the Earth's umbra, more than kShadowMarginKm
// inside its edge; edgeDistance (may be null) receives the distance from the
// cone's axis less the umbra's radius there (negative inside). The umbra is
// the cone of the Earth's shadow, its radius shrinking behind the Earth as
// R_E - t (R_S - R_E), t being the distance behind the Earth in units of the
// Sun's distance. A satellite on the sunward side (t <= 0) is never in shadow.
// The date is not used.
int IsSatelliteInShadow(double julianDate, const double satellite[3], const double sunAu[3],
                        double *edgeDistance);
// Apparent magnitude of a satellite of standard magnitude std (at 1000 km,
// half lit): std - 15.75 + 2.5 log10(range^2 / k), k the lit fraction
// (1 - cos e) / 2 from the Sun-satellite angle e at the observer; 20 when k
// is 0; plus the extinction at the altitude when one is given. Leaves the
// observer-to-satellite vector in satellite.
double ComputeSatelliteMagnitude(double standardMagnitude, double satellite[3],
                                 const double observer[3], double range, const double sunAu[3],
                                 const double *altitude);
// The diffuse-sphere form: std - 15 + 5 log10(range) - 2.5 log10(sin p +
// (pi - p) cos p), p the phase angle. No extinction. Leaves the
// observer-to-satellite vector in satellite.
double ComputeSatelliteMagnitudeDiffuse(double standardMagnitude, double satellite[3],
                                        const double observer[3], double range,
                                        const double sunAu[3]);
// The brightest magnitude at a range (full phase): m + 5 log10(range) - 15.75.
double ComputeSatelliteMagnitudeAtRange(double standardMagnitude, double range);
