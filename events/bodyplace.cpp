// Places of the bodies of an event search in the three coordinate modes.
#include "events/bodyplace.h"

#include <cmath>
#include <cstring>

#include "astro/chartgeom.h"
#include "core/mathutil.h"
#include "ephem/bodyrecord.h"
#include "ephem/moon.h"
#include "ephem/parallax.h"
#include "ephem/satellites.h"
#include "minorbodies/cometdb.h"
#include "minorbodies/mpdatabase.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"
#include "objects/buildrecord.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"

namespace {

const double kArcsecond = 4.84813681109536e-6;  // rad
const int kFirstSatellitePlanet = kBodyMars;
const int kLastSatellitePlanet = kBodyPluto;
const int kSatelliteOffset = 100;

double WrapTurn(double a) {
    a = std::fmod(a, 2 * kPi);
    return a < 0 ? a + 2 * kPi : a;
}

// A geocentric J2000 place (comets, minor planets) in the coordinate mode.
void PlaceFromJ2000(const LocationRecord *site, const DateRecord *date, int mode, double distance,
                    const PrecessionRecord *toDate, const PrecessionRecord *toJ2000, double *ra, double *dec) {
    if (mode == kCoordinatesGeocentricJ2000) return;
    ApplyPrecession(toDate, ra, dec, 0.0, 0.0, 0);
    if (mode == kCoordinatesTopocentricOfDate) {
        ConvertMeanToApparentPlace(date, ra, dec, 1);
        ApplyPlanetParallax(site, date, distance, ra, dec);
        return;
    }
    ApplyPlanetParallax(site, date, distance, ra, dec);
    ApplyPrecession(toJ2000, ra, dec, 0.0, 0.0, 0);
}

// The place (J2000, geocentric), distance, magnitude and coma of a comet or
// minor planet, packaged or the user's own, from the element set for the
// date. 1, or 0 when it cannot be placed.
int PlaceMovingBody(SearchBody *b, const DateRecord *date, double *ra, double *dec, double *delta,
                    double *magnitude, double *coma) {
    switch (b->objectClass) {
    case kClassComet:
        return ComputeCometPosition(date, b->index, nullptr, nullptr, nullptr, nullptr, ra, dec, nullptr, delta,
                                    nullptr, magnitude, coma, nullptr, nullptr, nullptr, nullptr, &b->orbit);
    case kClassMinorPlanet:
        return ComputeMinorPlanetPosition(b->ephemeris, date, b->index, ra, dec, nullptr, delta, nullptr,
                                          magnitude) != 0;
    case kClassUserComet:
        return ComputeUserCometPosition(b->userStore, date, b->index, nullptr, nullptr, nullptr, nullptr, nullptr,
                                        ra, dec, nullptr, delta, nullptr, magnitude, coma, nullptr, nullptr,
                                        nullptr, nullptr, &b->orbit, nullptr);
    case kClassUserMinorPlanet:
        return ComputeUserMinorPlanetPosition(b->userStore, date, b->index, nullptr, nullptr, ra, dec, nullptr,
                                              delta, nullptr, magnitude, nullptr, &b->orbit, nullptr);
    default:
        return 0;
    }
}

bool IsMovingBodyClass(int objectClass) {
    return objectClass == kClassComet || objectClass == kClassMinorPlanet || objectClass == kClassUserComet ||
           objectClass == kClassUserMinorPlanet;
}

}  // namespace

int SatelliteNumberOf(int satellite) {
    return satellite > kSatelliteOffset ? satellite - kSatelliteOffset : satellite;
}

int SetUpSearchBody(SearchBody *body, int objectClass, int index, int satellite, double ra, double dec,
                    const DateRecord *date, const LocationRecord *site) {
    if (!body || !date) return 0;
    std::memset(body, 0, sizeof *body);
    body->objectClass = objectClass;
    body->index = index;
    body->satellite = satellite;
    body->distance = kFixedBodyDistance;
    switch (objectClass) {
    case 0:
        body->raJ2000 = ra;
        body->decJ2000 = dec;
        return 1;
    case 2:
        return index >= kBodySun && index <= kBodyEarthShadow ? 1 : 0;
    case kClassComet:
    case kClassMinorPlanet:
    case kClassUserComet:
    case kClassUserMinorPlanet: {
        int32_t count = 0;
        if (objectClass == kClassMinorPlanet) body->ephemeris = OpenMinorPlanetEphemeris();
        if (objectClass == kClassUserComet) body->userStore = OpenUserCometFile(&count);
        if (objectClass == kClassUserMinorPlanet) body->userStore = OpenUserMinorPlanetFile(&count);
        bool opened = objectClass == kClassComet || body->ephemeris || body->userStore;
        double pra, pdec, delta, magnitude, coma;
        if (!opened || !PlaceMovingBody(body, date, &pra, &pdec, &delta, &magnitude, &coma)) {
            ReleaseSearchBody(body);
            return 0;
        }
        return 1;
    }
    default:
        break;
    }
    if (!IsFixedBodyClass(objectClass)) return 0;
    ObjectRecord record;
    InitObjectRecord(&record);
    record.objectClass = static_cast<uint8_t>(objectClass);
    record.index = index;
    if (!RefreshObjectRecord(&record, 0.0, site, date, 0.0)) return 0;
    body->raJ2000 = record.raCatalogue;
    body->decJ2000 = record.decCatalogue;
    body->motionRa = record.properMotionRa;
    body->motionDec = record.properMotionDec;
    body->magnitude = record.magnitude;
    return 1;
}

void ReleaseSearchBody(SearchBody *body) {
    if (!body) return;
    if (body->ephemeris) CloseMinorPlanetEphemeris(body->ephemeris);
    body->ephemeris = nullptr;
    if (body->userStore) std::fclose(body->userStore);
    body->userStore = nullptr;
}

int ComputeSearchBody(SearchBody *b, const LocationRecord *site, const DateRecord *date, int mode, int ecliptic,
                      int physical, const PrecessionRecord *toDate, const PrecessionRecord *toJ2000) {
    if (!b || !date) return 0;
    if (IsMovingBodyClass(b->objectClass)) {
        double ra = 0, dec = 0, delta = 1, mag = 99.9, coma = 0;
        if (!PlaceMovingBody(b, date, &ra, &dec, &delta, &mag, &coma)) return 0;
        PlaceFromJ2000(site, date, mode, delta, toDate, toJ2000, &ra, &dec);
        b->ra = ra;
        b->dec = dec;
        if (physical) {
            b->distance = delta;
            b->diameter1 = b->diameter2 = coma;
            b->magnitude = mag;
        }
        return 1;
    }
    if (b->objectClass != 2) {
        // Fixed: the catalogue place with its proper motion.
        double ra = b->raJ2000, dec = b->decJ2000;
        if (mode == kCoordinatesTopocentricOfDate) {
            ApplyPrecession(toDate, &ra, &dec, b->motionRa, b->motionDec, 0);
            ConvertMeanToApparentPlace(date, &ra, &dec, 1);
        } else if (mode == kCoordinatesTopocentricJ2000) {
            ApplyProperMotion(toDate, &ra, &dec, b->motionRa, b->motionDec);
        }
        b->ra = ra;
        b->dec = dec;
        b->distance = kFixedBodyDistance;
        b->diameter1 = b->diameter2 = 0;
        return 1;
    }
    // Sun, Moon, planets, the Earth's shadow and the planets' satellites.
    BodyRecord body;
    std::memset(&body, 0, sizeof body);
    body.type = b->index;
    const HeliocentricPlace earth = ComputeEarthHeliocentric(date);
    if (!ComputeBodyPosition(date, earth, &body)) return 0;
    ComputeBodyTopocentric(site, date, &body);
    const int satellite = SatelliteNumberOf(b->satellite);
    const bool hasSatellite = satellite > 0 && b->index >= kFirstSatellitePlanet && b->index <= kLastSatellitePlanet;
    if (physical || hasSatellite) ComputeBodyPhysicalData(date, &body, earth);
    const bool moonLike = b->index == kBodyMoon || b->index == kBodyEarthShadow;
    double ra, dec;
    if (mode == kCoordinatesTopocentricOfDate) {
        ra = body.topocentricRightAscension;
        dec = body.topocentricDeclination;
    } else if (mode == kCoordinatesGeocentricJ2000 && ecliptic && !hasSatellite) {
        ra = body.geocentricLongitude;
        dec = body.geocentricLatitude;
    } else {
        if (mode == kCoordinatesGeocentricJ2000) {
            ra = body.geocentricRightAscension;
            dec = body.geocentricDeclination;
            ConvertMeanToApparentPlace(date, &ra, &dec, 1);
        } else {
            ra = body.topocentricRightAscension;
            dec = body.topocentricDeclination;
        }
        ApplyPrecession(toJ2000, &ra, &dec, 0.0, 0.0, 0);
    }
    double distance = moonLike ? (body.topocentricDistance > 0 ? body.topocentricDistance : body.geocentricDistance) / kKmPerAU
                               : body.geocentricDistance;
    double magnitude = body.magnitude;
    double d1 = body.equatorialDiameter, d2 = body.polarDiameter;
    if (b->index == kBodyEarthShadow) {
        double umbra = 0, penumbra = 0;
        ComputeEarthShadowRadii(1.0, distance, kSunSemidiameterAt1AU, &umbra, &penumbra);
        d1 = 2 * umbra;
        d2 = 2 * penumbra;
    }
    if (hasSatellite) {
        ComputePlanetSatellites(date, &body, satellite);
        const int slot = satellite - 1;
        if (slot >= kMaxSatellites) return 0;
        double sra = 0, sdec = 0;
        ComputeOffsetPosition(body.satellites[kSatPositionAngle][slot], body.satellites[kSatSeparation][slot], ra, dec,
                              &sra, &sdec);
        ra = sra;
        dec = sdec;
        magnitude = body.satellites[kSatMagnitude][slot];
        const double semidiameter = GetSatelliteSemidiameter(b->index - kFirstSatellitePlanet, slot);
        d1 = d2 = distance > 0 ? 2 * semidiameter * kArcsecond / distance : 0;
    }
    b->ra = WrapTurn(ra);
    b->dec = dec;
    if (physical) {
        b->distance = distance;
        b->diameter1 = d1;
        b->diameter2 = d2;
        b->magnitude = magnitude;
    }
    return 1;
}
