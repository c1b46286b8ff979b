// Topocentric correction of a solar-system body for the chart geometry: the
// Moon and the Earth's shadow (distances in kilometres) through the vector
// method, every other body through the planetary parallax (distance in AU).
#include "ephem/bodyparallax.h"

#include <cmath>

#include "astro/chartgeom.h"
#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/location.h"
#include "astro/unaligned.h"
#include "ephem/bodyrecord.h"
#include "ephem/parallax.h"

void ApplyBodyParallax(const LocationRecord *site, const DateRecord *date, BodyRecord *body,
                       double *rightAscension, double *declination) {
    if (!site || !date || !body || !rightAscension || !declination) return;
    if (!(body->geocentricDistance > 0.0)) return;  // no distance, no parallax
    double ra = LoadDouble(rightAscension), dec = LoadDouble(declination);
    if (body->type == kBodyMoon || body->type == kBodyEarthShadow) {
        // The topocentric distance goes to its own field, so the geocentric
        // one stays as computed and a second call gives the same result.
        double distance = body->geocentricDistance;
        ApplyMoonParallax(site, date, kEarthRadiusKm / distance, &ra, &dec, &distance);
        body->topocentricDistance = distance;
    } else {
        ApplyPlanetParallax(site, date, body->geocentricDistance, &ra, &dec);
    }
    StoreDouble(rightAscension, ReduceToFullTurn(ra));
    StoreDouble(declination, dec);
}
