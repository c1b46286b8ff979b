// The body sequence's position steps: the Earth's heliocentric place, a
// body's geocentric place with one light-time pass and its geocentric right
// ascension and declination, and its topocentric apparent place.
#include <cmath>
#include <cstring>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/location.h"
#include "core/mathutil.h"
#include "astro/precession.h"
#include "ephem/bodynames.h"
#include "ephem/bodyrecord.h"
#include "ephem/ephemload.h"
#include "ephem/moon.h"
#include "ephem/parallax.h"
#include "ephem/planetseries.h"
#include "ephem/pluto.h"

namespace {

const double kTwoPi = 2.0 * kPi;
// Light time: 0.0057755183 days per AU, in Julian centuries.
const double kLightTimeCenturiesPerAU = 1.5812507323750856e-7;
const double kKmToAU = 6.684587153547039e-9;
// The Sun's semidiameter at 1 AU (959.63"), rad.
const double kSunSemidiameterAtOneAU = 0.004652417528;
// Mean obliquity of J2000 (84381.448"), rad.
const double kObliquityJ2000 = 0.40909280420293637;

double Reduce(double x) {
    double r = std::fmod(x, kTwoPi);
    if (r < 0.0) r += kTwoPi;
    if (r >= kTwoPi) r = 0.0;
    return r;
}

void Geocentric(const HeliocentricPlace &body, const HeliocentricPlace &earth, double out[3]) {
    const double p[3] = {body.longitude, body.latitude, body.radius};
    const double q[3] = {earth.longitude, earth.latitude, earth.radius};
    SubtractSphericalPositions(p, q, out);
}

}  // namespace

HeliocentricPlace ComputeEarthHeliocentric(const DateRecord *date) {
    HeliocentricPlace earth = {0.0, 0.0, 0.0};
    if (!date) return earth;
    // Without the planetary series the Sun still comes out right to about
    // 0.01 degree from the low-precision solar theory.
    if (!EphemerisTablesLoaded()) return ComputeEarthLowPrecision(date->centuriesTT);
    ComputeHeliocentricPlanet(kBodyEarth, date->centuriesTT, &earth);
    return earth;
}

int ComputeBodyPosition(const DateRecord *date, HeliocentricPlace earth, BodyRecord *body) {
    if (!date || !body) return 0;
    const int type = body->type;
    if (type == kBodyMoon) return ComputeMoonPosition(date, body);
    if (type < kBodySun || type > kBodyEarthShadow) return 0;
    // The planets need the planetary series: without them there is no place
    // to give, and saying so beats a meaningless one.
    const bool planet = type != kBodySun && type != kBodyEarthShadow;
    if (planet && !EphemerisTablesLoaded()) return 0;
    const double t = date->centuriesTT;
    // Pluto has no theory outside 3000 BC - AD 3000 (ephem/pluto.h): no
    // place rather than a wrong one.
    if (type == kBodyPluto && GetPlutoTheory(t) == kPlutoNoTheory) return 0;

    BodyRecord moon;
    if (type == kBodyEarthShadow) {
        std::memset(&moon, 0, sizeof moon);
        moon.type = kBodyMoon;
        if (!ComputeMoonPosition(date, &moon)) return 0;
    }

    body->name = GetBodyName(type);
    body->satelliteCount = 0;
    HeliocentricPlace helio = {0.0, 0.0, 0.0};
    if (planet) ComputeHeliocentricPlanet(type, t, &helio);
    body->heliocentric = helio;
    if (type == kBodyEarth) return 1;
    if (type == kBodyPluto) EvaluatePlanetSeries(0, t, &earth);  // Earth of J2000

    double geo[3];
    Geocentric(helio, earth, geo);
    if (planet) {
        double retarded = t - geo[2] * kLightTimeCenturiesPerAU;
        ComputeHeliocentricPlanet(type, retarded, &helio);
        body->heliocentric = helio;
        Geocentric(helio, earth, geo);
    }
    if (type == kBodyEarthShadow) {
        double sunDistance = geo[2];
        geo[0] = Reduce(geo[0] + kPi);
        geo[1] = -geo[1];
        geo[2] = moon.geocentricDistance;
        body->topocentricDistance = moon.topocentricDistance;
        double umbra, penumbra;
        ComputeEarthShadowRadii(sunDistance, moon.geocentricDistance * kKmToAU,
                                kSunSemidiameterAtOneAU, &umbra, &penumbra);
        body->equatorialDiameter = 2.0 * umbra;
        body->polarDiameter = 2.0 * penumbra;
    }
    body->geocentricLongitude = geo[0];
    body->geocentricLatitude = geo[1];
    body->geocentricDistance = geo[2];

    double ra = 0.0, dec = 0.0;
    if (type == kBodyPluto) {
        // J2000 ecliptic -> FK5 J2000 equator -> mean equator of date. Plain
        // FK5 precession: the series is an FK5 place, so no FK4 equinox
        // correction or E-terms belong to it.
        RotateEclipticToEquatorial(kObliquityJ2000, geo[0], geo[1], &ra, &dec);
        PrecessionRecord precession;
        InitPrecession(&precession, kEpochJ2000, date->centuries, kSystemFk5, kSystemFk5);
        ApplyPrecession(&precession, &ra, &dec, 0.0, 0.0, 0);
    } else {
        ConvertEclipticToEquatorial(date, &ra, &dec, geo[0], geo[1], kMeanObliquity);
    }
    body->geocentricRightAscension = Reduce(ra);
    body->geocentricDeclination = dec;
    return 1;
}

void ComputeBodyTopocentric(const LocationRecord *site, const DateRecord *date, BodyRecord *body) {
    if (!site || !date || !body) return;
    double longitude = body->geocentricLongitude, latitude = body->geocentricLatitude;
    if (body->type == kBodyPluto)
        ConvertEquatorialToEcliptic(date, body->geocentricRightAscension,
                                    body->geocentricDeclination, &longitude, &latitude,
                                    kMeanObliquity);
    double ra = 0.0, dec = 0.0;
    ConvertEclipticToEquatorial(date, &ra, &dec, longitude + date->nutationLongitude, latitude,
                                kTrueObliquity);
    if (body->type == kBodyEarthShadow) {
        // The shadow lies opposite the Sun as the Sun is seen: the antipode
        // of the Sun's apparent place, with the annual aberration the Sun
        // gets (20.5" behind its geometric place; the light that casts the
        // shadow left the Sun that long ago). Aberrating the anti-solar point
        // itself would move it 20.5" the other way; placing the shadow at the
        // geometric anti-Sun made every eclipse maximum 30-40 s late.
        double sunRa = Reduce(ra + kPi), sunDec = -dec;
        ApplyAnnualAberration(date, &sunRa, &sunDec, 1, 1);
        ra = Reduce(sunRa + kPi);
        dec = -sunDec;
    }
    if (body->type == kBodyMoon || body->type == kBodyEarthShadow) {
        double sinParallax =
            body->geocentricDistance > 0.0 ? kEarthRadiusKm / body->geocentricDistance : 0.0;
        double distance = body->topocentricDistance;  // the record is packed: no field pointers
        ApplyMoonParallax(site, date, sinParallax, &ra, &dec, &distance);
        body->topocentricDistance = distance;
    } else if (body->type >= kBodySun && body->type <= kBodyPluto) {
        ApplyAnnualAberration(date, &ra, &dec, 1, 1);
        ApplyPlanetParallax(site, date, body->geocentricDistance, &ra, &dec);
    }
    body->topocentricRightAscension = Reduce(ra);
    body->topocentricDeclination = dec;
}
