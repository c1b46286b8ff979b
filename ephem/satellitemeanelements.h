// Precessing mean orbital elements of small inner satellites (equinoctial
// elements referred to each satellite's Laplace plane, whose pole is given
// in the Earth's equatorial frame), evaluated into a planetocentric position.
#pragma once
#include <cstdint>

struct SatelliteMeanElements {
    uint32_t id;               // NAIF number (505 Amalthea, ...)
    double epoch;              // Julian date
    double a;                  // km
    double h;                  // e sin(longitude of pericentre) at the epoch
    double k;                  // e cos(longitude of pericentre) at the epoch
    double meanLongitude;      // rad at the epoch
    double p, q;               // tilt of the orbit plane to the reference plane
    double perihelionRate;     // rad per second
    double meanMotion;         // rad per second
    double nodeRate;           // rad per second
    double poleRightAscension; // rad, pole of the reference plane
    double poleDeclination;    // rad
};

// The satellite `id` at Julian date jd: position (km, equatorial, from the
// planet), true longitude (rad), inclination and node of the reference plane
// on the equator (rad) and semi-major axis (AU). 1, or 0 (outputs untouched)
// when no entry has the id.
int ComputeSatelliteFromMeanElements(double jd, uint32_t id, double position[3],
                                     double *trueLongitude, double *inclination, double *node,
                                     double *semiMajorAxisAU);
