// Dispatch of record building and refreshing to the class builders, and the
// place, rise/transit/set, horizon, constellation and atlas steps they share.
// Apparent places: Meeus, Astronomical Algorithms, ch. 21 and 23.
#include "objects/buildrecord.h"

#include <cmath>
#include <cstring>

#include "astro/airmass.h"
#include "astro/atlascharts.h"
#include "astro/chartgeom.h"
#include "astro/datetime.h"
#include "astro/frames.h"
#include "core/mathutil.h"
#include "astro/precession.h"
#include "astro/riseset.h"
#include "astro/sidereal.h"
#include "ephem/bodyrecord.h"
#include "ephem/parallax.h"
#include "objects/builders.h"
#include "objects/categories.h"
#include "objects/conrects.h"
#include "objects/earthsatelliteobjects.h"
#include "objects/minorbodybuilders.h"
#include "objects/objectrecord.h"
#include "objects/starrecord.h"
#include "sites/horizon.h"
#include "sites/horizongeometry.h"

namespace {

const double kTwoPi = 2.0 * kPi;
const double kRadiansPerDegree = kPi / 180.0;

bool IsMovingClass(int c) { return c == 2 || c == 3 || c == 4 || c == 13 || c == 14; }

// Classes whose refresh needs a date; Earth satellites need a site as well.
bool NeedsDate(int c) {
    return c == kClassSolarSystem || c == kClassComet || c == kClassMinorPlanet ||
           c == kClassStar || c == kClassUserStar || c == kClassUserComet ||
           c == kClassUserMinorPlanet || c == kClassSkyMark;
}

// The builder of a class, or none. Stars take their component letter apart.
ObjectBuilder BuilderOfClass(int c) {
    switch (c) {
    case kClassConstellation: return BuildConstellationObject;
    case kClassSolarSystem: return BuildSolarSystemObject;
    case kClassComet: return BuildCometObject;
    case kClassMinorPlanet: return BuildMinorPlanetObject;
    case kClassGalaxy: return BuildGalaxyObject;
    case kClassQuasar: return BuildQuasarObject;
    case kClassPlanetaryNebula: return BuildPlanetaryNebulaObject;
    case kClassBrightNebula: return BuildBrightNebulaObject;
    case kClassOpenCluster: return BuildOpenClusterObject;
    case kClassGlobularCluster: return BuildGlobularClusterObject;
    case kClassUserStar: return BuildUserStarObject;
    case kClassUserComet: return BuildUserCometObject;
    case kClassUserMinorPlanet: return BuildUserMinorPlanetObject;
    case kClassSkyMark: return BuildSkymarkObject;
    case kClassGalaxyGroup: return BuildGalaxyGroupObject;
    case kClassDarkNebula: return BuildDarkNebulaObject;
    case kClassUserDeepSky: return BuildUserDeepSkyObject;
    case kClassEarthSatellite: return BuildEarthSatelliteObject;
    case kClassReferencePoint: return BuildReferencePointObject;
    default: return nullptr;
    }
}

int CallBuilder(int c, int number, char *text, const LocationRecord *site, const DateRecord *date,
                double extinction, ObjectRecord *out, int refresh, char component) {
    if (c == kClassStar)
        return BuildStarObject(number, text, site, date, extinction, out, component, refresh);
    ObjectBuilder builder = BuilderOfClass(c);
    if (!builder) return 0;
    return builder(number, text, site, date, extinction, out, refresh);
}

bool HasBuilder(int c) { return c == kClassStar || BuilderOfClass(c) != nullptr; }

double ReduceHours(double h) { return ReduceModuloPositive(h, 24.0); }

// One event of a rise/transit/set computation: its time and whether it is a
// time at all (1), always up (0) or never up (-1).
struct Event {
    double time;
    int state;
};

// What the search for a moving body's events samples: the body's
// topocentric place at an hour from the night's midnight, its altitude above
// the rise altitude and its hour angle.
struct MovingBodySampler {
    const LocationRecord *site;
    const DateRecord *midnight;
    double extinction;
    int objectClass, index;
    double riseAltitude;
};

int SampleMovingBody(void *context, double hours, double *altitude, double *hourAngle) {
    const MovingBodySampler *m = static_cast<const MovingBodySampler *>(context);
    DateRecord at;
    SetDateRecordAtNightHour(m->site, m->midnight, hours, &at);
    double ra, dec;
    if (!ComputeMovingObjectPlace(m->site, &at, m->extinction, m->objectClass, m->index, &ra, &dec))
        return 0;
    const double h = GetHourAngle(&at, ra, kApparentSiderealTime);
    *hourAngle = h;
    *altitude = ComputeAltitude(m->site, h, dec) - m->riseAltitude;
    return 1;
}

}  // namespace

void SetDateRecordAtNightHour(const LocationRecord *site, const DateRecord *midnight, double hours,
                              DateRecord *out) {
    if (!midnight || !out) return;
    // Elapsed hours from the midnight instant, so an hour before midnight
    // lands on the previous calendar day without any calendar arithmetic.
    std::memset(out, 0, sizeof *out);
    out->julianDate = midnight->julianDate + hours / 24.0;
    SetDateRecordFromJulianDate(site, out);
    ComputeDeltaTAndNutation(out, 0.0);
    if (site) ComputeSiderealTimes(site, out);
}

void ComputeApparentPlace(const LocationRecord *site, const DateRecord *date, double extinction,
                          double distanceAu, ObjectRecord *record) {
    if (!site || !date || !record) return;
    double ra = record->raCatalogue;
    double dec = record->decCatalogue;
    PrecessionRecord p;
    InitPrecession(&p, kEpochJ2000, date->centuries, kSystemFk5, kSystemFk5);
    ApplyPrecession(&p, &ra, &dec, record->properMotionRa, record->properMotionDec, 0);
    ConvertMeanToApparentPlace(date, &ra, &dec, 1);
    if (distanceAu != 0.0) ApplyPlanetParallax(site, date, distanceAu, &ra, &dec);
    record->raOfDate = ra;
    record->decOfDate = dec;

    double az = ra, alt = dec;
    ConvertEquatorialToApparentHorizontal(site, date, extinction, &az, &alt, nullptr, 1);
    record->azimuth = ReduceToFullTurn(kTwoPi - az);
    record->altitude = alt > kPi / 2 ? kPi / 2 : alt;

    record->hourAngle = GetHourAngle(date, record->raCatalogue, kMeanSiderealTime);
    double altitude = record->altitude;
    record->airMass = altitude >= 0 ? ComputeAirMass(altitude) : 0.0;

    double lon = 0, lat = 0;
    ConvertEquatorialToEcliptic(date, record->raCatalogue, record->decCatalogue, &lon, &lat,
                                kMeanObliquity);
    record->eclipticLongitude = lon;
    record->eclipticLatitude = lat;
    ConvertJ2000ToGalactic(record->raCatalogue, record->decCatalogue, &lon, &lat);
    record->galacticLongitude = lon;
    record->galacticLatitude = lat;
}

void ComputeAstrometricPlace(const LocationRecord *site, const DateRecord *date,
                             double distanceAu, ObjectRecord *record) {
    if (!record) return;
    double ra = record->raCatalogue;
    double dec = record->decCatalogue;
    double pmRa = record->properMotionRa;
    double pmDec = record->properMotionDec;
    if (date && site && distanceAu != 0.0) {
        PrecessionRecord there, back;
        InitPrecession(&there, kEpochJ2000, date->centuries, kSystemFk5, kSystemFk5);
        ApplyPrecession(&there, &ra, &dec, pmRa, pmDec, 0);
        ApplyPlanetParallax(site, date, distanceAu, &ra, &dec);
        InitPrecession(&back, date->centuries, kEpochJ2000, kSystemFk5, kSystemFk5);
        ApplyPrecession(&back, &ra, &dec, 0.0, 0.0, 0);
    } else if (date && (pmRa != 0.0 || pmDec != 0.0)) {
        PrecessionRecord interval;
        InitProperMotionInterval(&interval, kEpochJ2000, date->centuries, kSystemFk5, kSystemFk5);
        ApplyProperMotion(&interval, &ra, &dec, pmRa, pmDec);
        ra = ReduceToFullTurn(ra);
    }
    record->raJ2000AtDate = ra;
    record->decJ2000AtDate = dec;
}

void SetFixedObjectPlace(const LocationRecord *site, const DateRecord *date, double extinction,
                         double distanceAu, ObjectRecord *record, double rightAscension,
                         double declination, double magnitude) {
    if (!record) return;
    record->raCatalogue = rightAscension;
    record->decCatalogue = declination;
    record->magnitude = static_cast<float>(magnitude);
    record->sizeMajor = 0.0f;
    record->sizeMinor = 0.0f;
    record->extent = 0.0f;
    record->magnitude2 = kRecordNoMagnitude;
    record->colourIndex = 99.0f;
    record->distanceLightYears = static_cast<float>(distanceAu / 63241.08);
    record->properMotionRa = 0.0f;
    record->properMotionDec = 0.0f;
    if (site && date) {
        ComputeApparentPlace(site, date, extinction, distanceAu, record);
        ComputeAstrometricPlace(site, date, distanceAu, record);
    }
}

int ComputeMovingObjectPlace(const LocationRecord *site, const DateRecord *date, double extinction,
                             int objectClass, int index, double *rightAscension,
                             double *declination) {
    (void)extinction;
    if (!date || !rightAscension || !declination) return 0;
    if (objectClass == kClassSolarSystem) {
        if (index < 0 || index > 11) return 0;
        BodyRecord body;
        std::memset(&body, 0, sizeof body);
        body.type = index;
        int ok = index == kBodyMoon ? ComputeMoonPosition(date, &body)
                                    : ComputeBodyPosition(date, ComputeEarthHeliocentric(date),
                                                          &body);
        if (!ok) return 0;
        if (site) {
            ComputeBodyTopocentric(site, date, &body);
            *rightAscension = body.topocentricRightAscension;
            *declination = body.topocentricDeclination;
        } else {
            double ra = body.geocentricRightAscension, dec = body.geocentricDeclination;
            ConvertMeanToApparentPlace(date, &ra, &dec, 1);
            *rightAscension = ra;
            *declination = dec;
        }
        return 1;
    }
    if (objectClass == kClassComet || objectClass == kClassMinorPlanet || objectClass == kClassUserComet ||
        objectClass == kClassUserMinorPlanet)
        return ComputeMinorBodyObjectPlace(site, date, objectClass, index, rightAscension,
                                           declination);
    if (objectClass == kClassEarthSatellite)
        return ComputeEarthSatelliteObjectPlace(site, date, index, rightAscension, declination);
    // User stars, sky marks, user deep-sky objects and reference points do
    // not move: their rise and set need no refinement.
    return 0;
}

int ComputeObjectRiseTransitSet(const LocationRecord *site, const DateRecord *date,
                                double extinction, double riseAltitude, ObjectRecord *record) {
    if (!site || !date || !record) return 0;
    DateRecord midnight;
    SetDateRecordToLocalMidnight(site, date, &midnight);
    int cls = record->objectClass;
    int index = record->index;
    int bodyKind = cls == kClassSolarSystem ? index : 1;
    double h = GetHourAngle(&midnight, record->raOfDate, kApparentSiderealTime);
    double rise = -1, transit = -1, set = -1;
    int result = ComputeRiseTransitSet(site, h, record->decOfDate, 0.0, riseAltitude, bodyKind,
                                       &rise, &transit, &set);
    record->diurnalFactor =
        static_cast<float>(ComputeDiurnalVisibilityFactor(site, record->decOfDate));
    Event eRise{rise, 1}, eTransit{transit, 1}, eSet{set, 1};
    if (result == kRiseSetCircumpolar) {
        eRise = {0.0, 0};
        eSet = {0.0, 0};
    } else if (result == kRiseSetNeverRises) {
        eRise = eTransit = eSet = {-1.0, -1};
    } else if (result != kRiseSetNormal) {
        return 0;
    }

    if (IsMovingClass(cls)) {
        // A moving body's events are searched over the night's day around
        // midnight with its place recomputed at every sample: refining the
        // one-pass estimates instead settled on neither day's event when one
        // lay near the window's edge, and missed slow crossings at high
        // latitudes.
        MovingBodySampler sampler{site, &midnight, extinction, cls, index,
                                  GetRiseAltitudeInForce(site, riseAltitude,
                                                         cls == kClassSolarSystem ? index : -1)};
        RiseSetEvent r, t, s;
        if (SearchRiseTransitSet(SampleMovingBody, &sampler, -12.0, 12.0, &r, &t, &s) == 1) {
            eRise = {r.time, r.state};
            eTransit = {t.time, t.state};
            eSet = {s.time, s.state};
        }
    }

    record->transitTime = static_cast<float>(eTransit.state == -1 ? -1.0 : ReduceHours(eTransit.time));
    bool bothUp = eRise.state == 0 && eSet.state == 0;
    bool bothDown = eRise.state == -1 && eSet.state == -1;
    if (bothUp) {
        record->riseTime = 0.0f;
        record->setTime = 0.0f;
    } else if (bothDown) {
        record->riseTime = -1.0f;
        record->setTime = -1.0f;
        record->transitTime = -1.0f;
    } else {
        record->riseTime = static_cast<float>(eRise.state == 1 ? ReduceHours(eRise.time) : eRise.time);
        record->setTime = static_cast<float>(eSet.state == 1 ? ReduceHours(eSet.time) : eSet.time);
    }
    return 1;
}

int ComputeObjectHorizonRiseSet(const LocationRecord *site, const DateRecord *date,
                                double extinction, ObjectRecord *record) {
    if (!record) return 0;
    record->horizonRiseTime = -1.0f;
    record->horizonSetTime = -1.0f;
    if (!site || !date) return 0;
    HorizonRow rows[kHorizonRowCount];
    if (!LoadHorizon(site, rows)) return 0;
    DateRecord midnight;
    SetDateRecordToLocalMidnight(site, date, &midnight);
    double h = GetHourAngle(&midnight, record->raOfDate, kApparentSiderealTime);
    double rise = -1, set = -1;
    int result = ComputeHorizonRiseSet(site, record->decOfDate, rows, h, 0.0, &rise, &set);
    int cls = record->objectClass;
    if (result == 1 && IsMovingClass(cls)) {
        for (int pass = 0; pass < 2; ++pass) {
            for (int k = 0; k < 2; ++k) {
                double t = CenterHoursOnMidnight(k == 0 ? rise : set);
                DateRecord at;
                SetDateRecordAtNightHour(site, &midnight, t, &at);
                double ra, dec;
                if (!ComputeMovingObjectPlace(site, &at, extinction, cls, record->index, &ra, &dec))
                    continue;
                double ha = GetHourAngle(&at, ra, kApparentSiderealTime);
                double out = t;
                int r = k == 0 ? RefineHorizonRise(site, dec, rows, ha, t, &out)
                               : RefineHorizonSet(site, dec, rows, ha, t, &out);
                if (r == 1) (k == 0 ? rise : set) = out;
            }
        }
    }
    bool sentinel = (rise == set) && (rise == 0.0 || rise == -1.0 || rise == -2.0) && result != 1;
    record->horizonRiseTime = static_cast<float>(sentinel ? rise : ReduceHours(rise));
    record->horizonSetTime = static_cast<float>(sentinel ? set : ReduceHours(set));
    return 1;
}

uint32_t PackChartPair(int low, int high) {
    return (static_cast<uint32_t>(low) & 0xffffu) | (static_cast<uint32_t>(high) << 16);
}

void UnpackChartPair(uint32_t pair, int *low, int *high) {
    if (low) *low = static_cast<int>(pair & 0xffffu);
    if (high) *high = static_cast<int>(pair >> 16);
}

int ComputeAtlasPages(ObjectRecord *record) {
    if (!record) return 0;
    double ra = record->raCatalogue;
    double dec = record->decCatalogue;
    // A bare position has no catalogue place: its J2000 place is the one
    // to chart (the -1 sentinel would chart a place near 23h 49m, -57 deg).
    if (ra < 0 && record->objectClass == kClassSkyMark && record->index == 0) {
        ra = record->raJ2000AtDate;
        dec = record->decJ2000AtDate;
    }
    int volume = 0, chart = 0;
    FindChartInThreeVolumeAtlas(ra, dec, &volume, &chart);
    record->atlasChartThreeVolume = PackChartPair(volume, chart);
    int chart26 = 0;
    FindChartInTwentySixChartAtlas(ra, dec, &chart26);
    record->atlasChart26 = static_cast<int16_t>(chart26);
    volume = chart = 0;
    FindChartInTwoVolumeAtlas(ra, dec, &volume, &chart);
    record->atlasChartTwoVolume =
        PackChartPair(chart, volume) | (static_cast<uint32_t>(FindChartByZoneTable(ra, dec)) << 24);
    record->atlasChartSectors =
        PackChartPair(FindChartInSixSectorAtlas(ra, dec), FindChartInEighteenSectorAtlas(ra, dec));
    int eight = FindChartInEightSectorAtlas(ra, dec);
    record->atlasChartEightSector = static_cast<uint8_t>(eight);
    return eight & 0xff;
}

int FinishObjectRecords(const LocationRecord *site, const DateRecord *date, double extinction,
                        ObjectRecord *records, double riseAltitude, int count) {
    if (!records) return count;
    for (int i = 0; i < count; ++i) {
        ObjectRecord *r = &records[i];
        ComputeObjectRiseTransitSet(site, date, extinction, riseAltitude, r);
        ComputeObjectHorizonRiseSet(site, date, extinction, r);
        int c = date ? ConstellationAt(r->raOfDate, r->decOfDate, date->centuriesTT) : -1;
        r->constellation = static_cast<uint8_t>(c < 0 ? 255 : c);
    }
    if (count > 0) ComputeAtlasPages(&records[0]);
    return count;
}

int BuildObjectRecord(int objectClass, int kind, int second, int number, const char *text,
                      double riseAltitude, const LocationRecord *site, const DateRecord *date,
                      double extinction, ObjectRecord out[3]) {
    if (!out) return 0;
    char work[kDesignationWorkSize];
    std::memset(work, 0, sizeof work);
    if (text) std::strncpy(work, text, sizeof work - 1);
    for (int i = 0; i < 3; ++i) ClearObjectRecord(&out[i]);
    out[0].objectClass = static_cast<uint8_t>(objectClass);
    out[0].kind = static_cast<uint8_t>(kind);
    out[0].designationConstellation =
        (objectClass == kClassStar && kind >= kStarKindBayer && kind <= kStarKindVariable) ? number : 0;
    out[0].categoryBits = ClassCategoryBits(objectClass, 0, 0, 0);
    if (!HasBuilder(objectClass)) return 0;
    int count = CallBuilder(objectClass, number, work, site, date, extinction, out, 0,
                            static_cast<char>(second));
    if (site && date) return FinishObjectRecords(site, date, extinction, out, riseAltitude, count);
    ComputeAtlasPages(&out[0]);
    return count;
}

int RefreshObjectRecord(ObjectRecord *record, double riseAltitude, const LocationRecord *site,
                        const DateRecord *date, double extinction) {
    if (!record) return 0;
    int cls = record->objectClass;
    int result;
    if (cls == kClassSkyMark && record->index == 0) {
        // A bare position: its J2000 place becomes the catalogue place the
        // place computations start from.
        record->categoryBits = ClassCategoryBits(kClassSkyMark, 0, 0, 0);
        SetFixedObjectPlace(site, date, extinction, 0.0, record, record->raJ2000AtDate,
                            record->decJ2000AtDate, kRecordNoMagnitude);
        result = 1;
    } else {
        if (record->index == kNoObjectIndex) return 0;
        record->categoryBits = ClassCategoryBits(cls, 0, 0, 0);
        if (!HasBuilder(cls)) return 0;
        if (NeedsDate(cls) && !date) return 0;
        if (cls == kClassEarthSatellite && (!site || !date)) return 0;
        char work[kDesignationWorkSize] = {0};
        result = CallBuilder(cls, record->index, work, site, date, extinction, record, 1,
                             record->requestedComponent);
    }
    if (site && date) return FinishObjectRecords(site, date, extinction, record, riseAltitude, result);
    if (result > 0) ComputeAtlasPages(record);
    return result;
}

int ComputeSunMoonTimes(const LocationRecord *site, const DateRecord *date, double extinction,
                        double out[8]) {
    if (!out) return 0;
    ObjectRecord r;
    ClearObjectRecord(&r);
    r.objectClass = kClassSolarSystem;
    const struct {
        int index;
        double altitude;
        int first;
    } steps[3] = {{kBodySun, 0.0, 0}, {kBodySun, -18.0 * kRadiansPerDegree, 3}, {kBodyMoon, 0.0, 5}};
    for (const auto &s : steps) {
        r.index = s.index;
        RefreshObjectRecord(&r, s.altitude, site, date, extinction);
        if (s.first == 3) {
            out[3] = r.riseTime;
            out[4] = r.setTime;
        } else {
            out[s.first] = r.riseTime;
            out[s.first + 1] = r.transitTime;
            out[s.first + 2] = r.setTime;
        }
    }
    return 1;
}
