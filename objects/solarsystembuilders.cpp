// Builders of the moving classes. The Sun, Moon and planets (class 2) are
// placed from the ephemeris: the catalogue place holds the geocentric
// apparent place of date, the place of date the topocentric one. Satellites,
// designations by text, and the comet, minor-planet and Earth-satellite
// classes are dispatch points that find nothing until their records are added.
#include <cstring>

#include "astro/airmass.h"
#include "astro/chartgeom.h"
#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/precession.h"
#include "ephem/bodyrecord.h"
#include "objects/builders.h"
#include "objects/buildrecord.h"
#include "objects/objectrecord.h"

namespace {
const double kPi = 3.14159265358979323846;
}

int BuildSolarSystemObject(int number, char *text, const LocationRecord *site,
                           const DateRecord *date, double extinction, ObjectRecord *out,
                           int refresh) {
    (void)text;
    if (!out || !date) return 0;
    if (!refresh && out->kind != 0) return 0;  // satellites come with the body records
    int index = refresh ? out->index : number;
    if (index < 0 || index > 11) return 0;
    double geoRa = 0, geoDec = 0, ra = 0, dec = 0;
    if (!ComputeMovingObjectPlace(nullptr, date, extinction, kClassSolarSystem, index, &geoRa,
                                  &geoDec))
        return 0;
    ra = geoRa;
    dec = geoDec;
    if (site) ComputeMovingObjectPlace(site, date, extinction, kClassSolarSystem, index, &ra, &dec);
    out->index = index;
    out->raCatalogue = geoRa;
    out->decCatalogue = geoDec;
    out->raOfDate = ra;
    out->decOfDate = dec;
    out->properMotionRa = 0.0f;
    out->properMotionDec = 0.0f;
    out->magnitude2 = kRecordNoMagnitude;
    out->colourIndex = 99.0f;
    if (site) {
        double az = ra, alt = dec;
        ConvertEquatorialToApparentHorizontal(site, date, extinction, &az, &alt, nullptr, 1);
        out->azimuth = ReduceToFullTurn(2 * kPi - az);
        out->altitude = alt > kPi / 2 ? kPi / 2 : alt;
        double a = out->altitude;
        out->airMass = a >= 0 ? ComputeAirMass(a) : 0.0;
        out->hourAngle = GetHourAngle(date, geoRa, kMeanSiderealTime);
    }
    double lon = 0, lat = 0;
    ConvertEquatorialToEcliptic(date, geoRa, geoDec, &lon, &lat, kMeanObliquity);
    out->eclipticLongitude = lon;
    out->eclipticLatitude = lat;
    return 1;
}

int BuildCometObject(int, char *, const LocationRecord *, const DateRecord *, double,
                     ObjectRecord *, int) {
    return 0;
}
int BuildMinorPlanetObject(int, char *, const LocationRecord *, const DateRecord *, double,
                           ObjectRecord *, int) {
    return 0;
}
int BuildUserCometObject(int, char *, const LocationRecord *, const DateRecord *, double,
                         ObjectRecord *, int) {
    return 0;
}
int BuildUserMinorPlanetObject(int, char *, const LocationRecord *, const DateRecord *, double,
                               ObjectRecord *, int) {
    return 0;
}
int BuildEarthSatelliteObject(int, char *, const LocationRecord *, const DateRecord *, double,
                              ObjectRecord *, int) {
    return 0;
}
