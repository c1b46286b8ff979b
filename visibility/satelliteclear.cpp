// A planet's satellite clear of the planet's disc and shadow.
#include "visibility/satelliteclear.h"

#include <cmath>
#include <cstring>

#include "astro/datetime.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "ephem/bodyrecord.h"
#include "ephem/satellites.h"

namespace {
// Jupiter's equatorial over polar radius: offsets toward its pole are
// stretched by it so that the flattened disc becomes a circle.
const double kJupiterFlattening = 1.071374;
const int kCallisto = 4;
}  // namespace

int IsMoonClearOfPlanet(const LocationRecord *site, double julianDate, int planetType,
                        int satellite) {
    if (satellite > 100) satellite -= 100;
    if (satellite <= 0 || satellite > kMaxSatellites) return 0;
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.julianDate = julianDate;
    SetDateRecordFromJulianDate(site, &date);
    ComputeDeltaTAndNutation(&date, 0.0);
    ComputeSiderealTimes(site, &date);
    const HeliocentricPlace earth = ComputeEarthHeliocentric(&date);
    BodyRecord body;
    std::memset(&body, 0, sizeof body);
    body.type = planetType;
    if (!ComputeBodyPosition(&date, earth, &body)) return 0;
    ComputeBodyTopocentric(site, &date, &body);
    ComputeBodyPhysicalData(&date, &body, earth);
    ComputePlanetSatellites(&date, &body, satellite);
    const int slot = satellite - 1;
    // Radii squared in the same unit as the offsets: radians as seen from the
    // Earth (the Sun-view offset is stored divided by the geocentric distance).
    const double r2 = body.equatorialDiameter * body.equatorialDiameter / 4.0;
    if (!(r2 > 0.0)) return 0;
    const double a = body.satellites[kSatSunPositionAngle][slot];
    const double s = body.satellites[kSatSunSeparation][slot];
    double u = s * std::cos(a);   // toward the north
    const double v = -s * std::sin(a);
    const double x = body.satellites[kSatOffsetX][slot];
    double y = body.satellites[kSatOffsetY][slot];
    if (planetType == kBodyJupiter) {
        u *= kJupiterFlattening;
        y *= kJupiterFlattening;
    }
    const bool sunClear = (v * v + u * u) / r2 > 1.0;
    const bool earthClear = (x * x + y * y) / r2 > 1.0;
    const double angle = body.satellites[kSatOrbitalAngle][slot];
    const bool inFront = angle > kPi / 2.0 && angle < 3.0 * kPi / 2.0;
    if (inFront && !(planetType == kBodyJupiter && satellite == kCallisto)) return 1;
    return sunClear && earthClear ? 1 : 0;
}
