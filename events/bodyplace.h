// The place of one body of an event search at one time: a fixed point of
// the sky, a catalogue object, the Sun, Moon, a planet or its satellite, the
// Earth's shadow, a packaged or the user's own comet or minor planet. The two-body search and
// the many-body approach search share it.
#pragma once
#include <cstdint>
#include <cstdio>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/precession.h"
#include "ephem/orbit.h"

struct MinorPlanetEphemeris;

// Coordinate modes of a search.
const int kCoordinatesGeocentricJ2000 = 1;
const int kCoordinatesTopocentricOfDate = 2;
const int kCoordinatesTopocentricJ2000 = 3;

// Distance of a body with no distance (fixed points, stars), AU.
const double kFixedBodyDistance = 9.999e99;
const double kKmPerAU = 149597870.0;
// The Sun's semidiameter at 1 AU (rad), for the Earth's shadow.
const double kSunSemidiameterAt1AU = 0.004652417528;

struct SearchBody {
    int32_t objectClass;
    int32_t index;
    int32_t satellite;  // 0 the body itself; n (above 100: n - 100) satellite n
    double raJ2000, decJ2000;          // fixed bodies
    double motionRa, motionDec;        // rad per year
    double magnitude;                  // fixed bodies: as given; others: last computed
    MinorPlanetEphemeris *ephemeris;   // class 4
    OrbitRecord orbit;                 // comets
    FILE *userStore;                   // the user's comets or minor planets (index = id)
    // Last computed values.
    double ra, dec;          // rad
    double distance;         // AU
    double diameter1;        // rad: equatorial; the umbra for the Earth's shadow
    double diameter2;        // rad: polar; the penumbra for the Earth's shadow
};

// Sets a body up: 1, or 0 when it cannot be (a comet or minor planet not
// found, a file that will not open, a class this search cannot place, a
// catalogue object that is gone). A class-0
// point takes ra and dec (J2000) and magnitude 0. Nothing stays open on 0.
int SetUpSearchBody(SearchBody *body, int objectClass, int index, int satellite, double ra, double dec,
                    const DateRecord *date, const LocationRecord *site);
// Closes what SetUpSearchBody opened; safe to call twice.
void ReleaseSearchBody(SearchBody *body);
// Computes ra, dec (and with physical set the distance, diameters and
// magnitude) for the date in the coordinate mode. ecliptic: class-2 bodies
// in mode 1 give their geocentric ecliptic longitude and latitude instead.
// toDate/toJ2000 are the precessions J2000 -> date and date -> J2000.
// 1, or 0 when the ephemeris cannot place the body.
int ComputeSearchBody(SearchBody *body, const LocationRecord *site, const DateRecord *date, int coordinateMode,
                      int ecliptic, int physical, const PrecessionRecord *toDate, const PrecessionRecord *toJ2000);
// The satellite number a class-2 body's number stands for (n above 100: n - 100).
int SatelliteNumberOf(int satellite);
