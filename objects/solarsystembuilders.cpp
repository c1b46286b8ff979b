// Builders of the moving classes. The Sun, Moon, planets and the Earth's
// shadow (class 2) are placed from the ephemeris: the catalogue place holds
// the geocentric apparent place of date, the place of date the topocentric
// one, and the J2000 place at the date the geometric place seen from the site
// precessed to J2000; a planet's satellite is placed at its position angle
// and separation from each of the planet's places. Designations select a
// body by number or by name, a satellite by name. The user's comets and
// minor planets are placed from their element sets in comet.bin and mp.bin.
#include "objects/solarsystembuilders.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/airmass.h"
#include "astro/chartgeom.h"
#include "astro/datetime.h"
#include "astro/frames.h"
#include "core/mathutil.h"
#include "astro/precession.h"
#include "astro/astroformulas.h"
#include "core/textutil.h"
#include "ephem/bodynames.h"
#include "ephem/bodyrecord.h"
#include "ephem/parallax.h"
#include "ephem/satellitenames.h"
#include "ephem/satellites.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"
#include "objects/builders.h"
#include "objects/buildrecord.h"
#include "objects/objectrecord.h"
#include "objects/solarcolours.h"

namespace {

const double kAuPerLightYear = 63241.08;
const double kKmPerLightYear = 9460730472580.8;

bool SameNoCase(const char *a, const char *b) {
    for (; *a && *b; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return *a == *b;
}

// Body 0-11 named by the text (whole, case-blind; the Earth never matches),
// with *satellite the satellite number of a satellite's name; -1 when none.
int FindBodyByName(const char *text, int *satellite) {
    *satellite = 0;
    if (!text || !*text) return -1;
    for (int b = kBodySun; b <= kBodyEarthShadow; ++b) {
        if (b == kBodyEarth) continue;
        const char *name = GetBodyName(b);
        if (name && SameNoCase(text, name)) return b;
    }
    for (int b = kBodySun; b <= kBodyPluto; ++b) {
        int count = GetSatelliteCount(b);
        for (int n = 1; n <= count; ++n) {
            char name[64];
            if (GetSatelliteName(b, n, name) && SameNoCase(text, name)) {
                *satellite = n;
                return b;
            }
        }
    }
    return -1;
}

bool IsLunar(int type) { return type == kBodyMoon || type == kBodyEarthShadow; }

// The geocentric apparent place of date: nutation, and annual aberration for
// every body but the Moon and the Earth's shadow.
void GeocentricApparentPlace(const DateRecord *date, const BodyRecord *body, double *ra,
                             double *dec) {
    *ra = body->geocentricRightAscension;
    *dec = body->geocentricDeclination;
    if (IsLunar(body->type))
        ApplyNutationToEquatorial(date, ra, dec, 1);
    else
        ConvertMeanToApparentPlace(date, ra, dec, 1);
}

}  // namespace

void FillBodyRecord(const LocationRecord *site, const DateRecord *date, double extinction,
                    ObjectRecord *out, const BodyRecord *body) {
    if (!date || !out || !body) return;
    double geoRa = 0, geoDec = 0;
    GeocentricApparentPlace(date, body, &geoRa, &geoDec);
    out->raCatalogue = geoRa;
    out->decCatalogue = geoDec;
    if (site) {
        out->raOfDate = body->topocentricRightAscension;
        out->decOfDate = body->topocentricDeclination;
    } else {
        out->raOfDate = geoRa;
        out->decOfDate = geoDec;
    }

    // The astrometric place seen from the site: the geometric place of the
    // mean equator of date, shifted by the diurnal parallax, precessed to J2000.
    double ra = body->geocentricRightAscension, dec = body->geocentricDeclination;
    double distance = body->geocentricDistance;
    if (IsLunar(body->type)) {
        if (site && distance > 0) {
            double d = distance;
            ApplyMoonParallax(site, date, kEarthRadiusKm / distance, &ra, &dec, &d);
        }
        out->distanceLightYears = static_cast<float>(distance / kKmPerLightYear);
    } else {
        if (site && distance > 0) ApplyPlanetParallax(site, date, distance, &ra, &dec);
        out->distanceLightYears = static_cast<float>(distance / kAuPerLightYear);
    }
    ra = ReduceToFullTurn(ra);
    PrecessionRecord p;
    InitPrecession(&p, date->centuries, kEpochJ2000, kSystemFk5, kSystemFk5);
    ApplyPrecession(&p, &ra, &dec, 0.0, 0.0, 0);
    out->raJ2000AtDate = ReduceToFullTurn(ra);
    out->decJ2000AtDate = dec;

    out->properMotionRa = 0.0f;
    out->properMotionDec = 0.0f;
    out->magnitude2 = kRecordNoMagnitude;
    out->eclipticLongitude = out->eclipticLatitude = -1.0;
    out->galacticLongitude = out->galacticLatitude = -1.0;
    out->altitude = out->azimuth = out->hourAngle = out->airMass = -1.0;
    out->colourIndex = static_cast<float>(SolarSystemColorIndex(body->type, 0));
    out->index = body->type;
    out->magnitude = static_cast<float>(body->magnitude);
    out->sizeMajor = static_cast<float>(body->equatorialDiameter);
    out->sizeMinor = static_cast<float>(body->polarDiameter);
    out->extent = static_cast<float>(body->equatorialDiameter);

    if (!site) return;
    double az = out->raOfDate, alt = out->decOfDate;
    ConvertEquatorialToApparentHorizontal(site, date, extinction, &az, &alt, nullptr, 1);
    out->azimuth = ReduceToFullTurn(2 * kPi - az);
    out->altitude = alt > kPi / 2 ? kPi / 2 : alt;
    out->hourAngle = GetHourAngle(date, geoRa, kMeanSiderealTime);
    double a = out->altitude;
    out->airMass = a >= 0 ? ComputeAirMass(a) : 0.0;
    double lon = 0, lat = 0;
    ConvertEquatorialToEcliptic(date, geoRa, geoDec, &lon, &lat, kMeanObliquity);
    out->eclipticLongitude = lon;
    out->eclipticLatitude = lat;
    ConvertJ2000ToGalactic(geoRa, geoDec, &lon, &lat);
    out->galacticLongitude = lon;
    out->galacticLatitude = lat;
}

// Satellite n (from 1) of the planet of the record: the planet's places
// offset by the satellite's position angle and separation. 0 when the planet
// has no such satellite or its theory gave none (Uranus without its table).
int FillSatelliteRecord(const LocationRecord *site, const DateRecord *date, double extinction,
                        ObjectRecord *out, BodyRecord *planet, int n) {
    const int body = planet->type;
    if (n < 1 || n > GetSatelliteCount(body)) return 0;
    planet->satelliteCount = 0;
    ComputePlanetSatellites(date, planet, body == kBodyNeptune || body == kBodyPluto ? 0 : n);
    if (planet->satelliteCount <= 0) return 0;
    const int slot = n - 1;
    const double pa = planet->satellites[kSatPositionAngle][slot];
    const double separation = planet->satellites[kSatSeparation][slot];
    const double magnitude = planet->satellites[kSatMagnitude][slot];
    const int kind = out->kind;
    FillBodyRecord(site, date, extinction, out, planet);
    out->kind = static_cast<uint8_t>(kind > 100 ? kind : n);

    double ra = 0.0, dec = 0.0;
    ComputeOffsetPosition(pa, separation, out->raOfDate, out->decOfDate, &ra, &dec);
    out->raOfDate = ra;
    out->decOfDate = dec;
    ComputeOffsetPosition(pa, separation, out->raCatalogue, out->decCatalogue, &ra, &dec);
    out->raCatalogue = ra;
    out->decCatalogue = dec;
    // The J2000 place at the date: the planet's geometric place of date with
    // its parallax, offset, then precessed.
    double ra0 = planet->geocentricRightAscension, dec0 = planet->geocentricDeclination;
    if (site && planet->geocentricDistance > 0)
        ApplyPlanetParallax(site, date, planet->geocentricDistance, &ra0, &dec0);
    ComputeOffsetPosition(pa, separation, ReduceToFullTurn(ra0), dec0, &ra, &dec);
    PrecessionRecord p;
    InitPrecession(&p, date->centuries, kEpochJ2000, kSystemFk5, kSystemFk5);
    ApplyPrecession(&p, &ra, &dec, 0.0, 0.0, 0);
    out->raJ2000AtDate = ReduceToFullTurn(ra);
    out->decJ2000AtDate = dec;

    out->eclipticLongitude = out->eclipticLatitude = -1.0;
    out->galacticLongitude = out->galacticLatitude = -1.0;
    out->altitude = out->azimuth = out->hourAngle = out->airMass = -1.0;
    out->index = body;
    out->colourIndex = static_cast<float>(SolarSystemColorIndex(body, n));
    out->magnitude = static_cast<float>(magnitude);
    const double distance = planet->geocentricDistance;
    const double diameter = distance > 0.0
                                ? 2.0 * GetSatelliteSemidiameter(body - kBodyMars, slot) *
                                      (kPi / 648000.0) / distance
                                : 0.0;
    out->sizeMajor = out->sizeMinor = out->extent = static_cast<float>(diameter);
    out->distanceLightYears = static_cast<float>(distance / kAuPerLightYear);
    return 1;
}

int BuildSolarSystemObject(int number, char *text, const LocationRecord *site,
                           const DateRecord *date, double extinction, ObjectRecord *out,
                           int refresh) {
    if (!out || !date) return 0;
    int body = -1, satellite = 0;
    if (refresh) {
        body = out->index;
        satellite = out->kind > 100 ? out->kind - 100 : out->kind;
    } else if (number > 0) {
        body = number - 1;
    } else {
        body = FindBodyByName(text, &satellite);
    }
    if (body < 0 || body > 11) return 0;

    BodyRecord record;
    std::memset(&record, 0, sizeof record);
    record.type = body;
    HeliocentricPlace earth = ComputeEarthHeliocentric(date);
    if (!ComputeBodyPosition(date, earth, &record)) return 0;
    if (site) ComputeBodyTopocentric(site, date, &record);
    ComputeBodyPhysicalData(date, &record, earth);

    if (satellite > 0) return FillSatelliteRecord(site, date, extinction, out, &record, satellite);
    out->kind = 0;
    FillBodyRecord(site, date, extinction, out, &record);
    return 1;
}

int MinorPlanetCandidates(const char *text, MinorPlanetCandidate out[3]) {
    if (!text || !out) return 0;
    int count = 0;
    const size_t length = std::strlen(text);
    // "433 Eros"
    if (text[0] >= '0' && text[0] <= '9' && std::strchr(text, ' ')) {
        int number = std::atoi(text);
        const char *name = std::strchr(text, ' ');
        while (*name == ' ') ++name;
        if (number >= 1 && *name) {
            out[count].number = number;
            std::snprintf(out[count].name, sizeof out[count].name, "%s", name);
            ++count;
        }
    }
    // "(433) Eros"
    const char *close = std::strchr(text, ')');
    if (text[0] == '(' && close) {
        int number = std::atoi(text + 1);
        const char *name = close + 1;
        if (*name) ++name;  // the character after ")"
        if (number >= 1 && *name) {
            out[count].number = number;
            std::snprintf(out[count].name, sizeof out[count].name, "%s", name);
            ++count;
        }
    }
    // "Eros (433)"
    const char *open = length > 1 ? std::strchr(text + 1, '(') : nullptr;
    if (open) {
        int number = std::atoi(open + 1);
        int nameLength = static_cast<int>(open - text) - 1;  // less the blank before "("
        if (nameLength > 63) nameLength = 63;
        if (number >= 1 && nameLength > 0) {
            out[count].number = number;
            std::snprintf(out[count].name, sizeof out[count].name, "%.*s", nameLength, text);
            ++count;
        }
    }
    return count;
}

// BuildCometObject and BuildMinorPlanetObject: objects/minorbodybuilders.cpp.

namespace {

// Designation kinds of the user comets: the text is the comet's name, its
// designation, or its periodic number.
const int kUserCometByName = 1;
const int kUserCometByDesignation = 2;
const int kUserCometByNumber = 3;
const double kArcminutesPerRadian = 10800.0 / kPi;

struct StoreFile {
    FILE *f;
    explicit StoreFile(FILE *file) : f(file) {}
    ~StoreFile() {
        if (f) std::fclose(f);
    }
    StoreFile(const StoreFile &) = delete;
    StoreFile &operator=(const StoreFile &) = delete;
};

// The user minor planet of a text of the first kind: its name, or a number
// and a name whose stored name begins with the typed one.
int32_t UserMinorPlanetOfText(FILE *f, const char *text) {
    if (!text || !text[0]) return 0;
    MinorPlanetRecord r;
    int32_t id = FindUserMinorPlanetId(f, text, nullptr, &r);
    if (id > 0) return id;
    MinorPlanetCandidate candidates[3];
    int n = MinorPlanetCandidates(text, candidates);
    for (int i = 0; i < n; ++i) {
        int32_t number = candidates[i].number;
        id = FindUserMinorPlanetId(f, nullptr, &number, &r);
        if (id > 0 && MatchPrefixNoCase(candidates[i].name, r.name)) return id;
    }
    return 0;
}

}  // namespace

int BuildUserCometObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                         double extinction, ObjectRecord *out, int refresh) {
    if (!out || !date) return 0;
    StoreFile file(OpenUserCometFile(nullptr));
    if (!file.f) return 0;
    int32_t id = 0;
    if (refresh) {
        id = out->index;
    } else if (number > 0) {
        id = number;
    } else if (text && text[0]) {
        CometRecord r;
        if (out->kind == kUserCometByName) {
            id = FindUserCometId(file.f, text, nullptr, nullptr, &r);
        } else if (out->kind == kUserCometByDesignation) {
            id = FindUserCometId(file.f, nullptr, text, nullptr, &r);
        } else if (out->kind == kUserCometByNumber) {
            int n = std::atoi(text);
            uint16_t periodic = static_cast<uint16_t>(n);
            id = n >= 1 && n <= 0x7FFF ? FindUserCometId(file.f, nullptr, nullptr, &periodic, &r) : 0;
        }
    }
    if (id <= 0) return 0;
    double ra = 0, dec = 0, delta = 0, magnitude = 0, coma = 0;
    int condensation = 0;
    if (!ComputeUserCometPosition(file.f, date, id, nullptr, nullptr, nullptr, nullptr, nullptr, &ra, &dec, nullptr,
                                  &delta, nullptr, &magnitude, &coma, &condensation, nullptr, nullptr, nullptr,
                                  nullptr, nullptr))
        return 0;
    out->index = id;
    SetFixedObjectPlace(site, date, extinction, delta, out, ra, dec, magnitude);
    out->sizeMajor = static_cast<float>(coma);
    out->extent = static_cast<float>(coma);
    out->condensation = static_cast<uint8_t>(condensation);
    double d = coma * kArcminutesPerRadian;
    out->magnitude2 = static_cast<float>(SurfaceBrightnessFromMagnitude(d, d, magnitude));
    out->colourIndex = 99.0f;
    return 1;
}

int BuildUserMinorPlanetObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                               double extinction, ObjectRecord *out, int refresh) {
    if (!out || !date) return 0;
    StoreFile file(OpenUserMinorPlanetFile(nullptr));
    if (!file.f) return 0;
    int32_t id = 0;
    if (refresh) {
        id = out->index;
    } else if (number > 0) {
        id = number;
    } else if (out->kind == kMinorPlanetKindFull) {
        id = UserMinorPlanetOfText(file.f, text);
    } else if (out->kind == kMinorPlanetKindNumberName && text) {
        int32_t n = std::atoi(text[0] == '(' ? text + 1 : text);
        MinorPlanetRecord r;
        id = n >= 1 ? FindUserMinorPlanetId(file.f, nullptr, &n, &r) : 0;
    }
    if (id <= 0) return 0;
    double ra = 0, dec = 0, delta = 0, magnitude = 0;
    if (!ComputeUserMinorPlanetPosition(file.f, date, id, nullptr, nullptr, &ra, &dec, nullptr, &delta, nullptr,
                                        &magnitude, nullptr, nullptr, nullptr))
        return 0;
    out->index = id;
    SetFixedObjectPlace(site, date, extinction, delta, out, ra, dec, magnitude);
    return 1;
}
// BuildEarthSatelliteObject: objects/earthsatelliteobjects.cpp.
