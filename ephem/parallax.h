// Diurnal parallax: geocentric places of solar-system bodies turned into the
// places seen from a site (the site's rho sin phi' and rho cos phi', the
// date's local apparent sidereal time; hour angle H = LAST - RA).
#pragma once

struct DateRecord;
struct LocationRecord;

// Horizontal parallax at 1 AU (8.794 arcseconds), radians.
const double kParallaxAtOneAU = 4.263451511677259e-5;
// Earth's equatorial radius in kilometres used for the Moon's parallax.
const double kEarthRadiusKm = 6378.14;

// Above 0.05 AU the approximate (first-order) correction, at or below it the
// rigorous one with sin p = sin(8.794" / distance). Nothing for no site or date.
void ApplyPlanetParallax(const LocationRecord *site, const DateRecord *date, double distance,
                         double *rightAscension, double *declination);
// Meeus, Astronomical Algorithms, ch. 40 (rigorous, from the sine of the
// horizontal parallax).
void ApplyParallaxRigorous(const LocationRecord *site, const DateRecord *date, double sinParallax,
                           double *rightAscension, double *declination);
// First-order correction for a distant body (distance in AU).
void ApplyParallaxApproximate(const LocationRecord *site, const DateRecord *date, double distance,
                              double *rightAscension, double *declination);
// Topocentric place by vectors, for the Moon and the Earth's shadow
// (sin p = 6378.14 km / distance). The right ascension comes out in
// [0, 2 pi), the distance is scaled to the site. Nothing for no site or date.
void ApplyMoonParallax(const LocationRecord *site, const DateRecord *date, double sinParallax,
                       double *rightAscension, double *declination, double *distance);
// Topocentric back to geocentric for a distant body (distance in AU): two
// passes of the first-order correction taken back. Near the poles the cosine
// of the declination is held at no less than 1e-9 so the result stays finite.
void RemoveParallaxApproximate(const LocationRecord *site, const DateRecord *date, double distance,
                               double *rightAscension, double *declination);
// The same, doing nothing when the site or date is missing.
void RemoveParallax(const LocationRecord *site, const DateRecord *date, double distance,
                    double *rightAscension, double *declination);
