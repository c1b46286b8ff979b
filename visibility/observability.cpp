// The observability iterator: places through time, the margin at each step,
// the best time and the edges of visibility.
#include "visibility/observability.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "astro/airmass.h"
#include "astro/astroformulas.h"
#include "astro/frames.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "ephem/bodynames.h"
#include "ephem/bodyrecord.h"
#include "ephem/orbit.h"
#include "ephem/physical.h"
#include "ephem/sunmoon.h"
#include "minorbodies/cometdb.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"
#include "minorbodies/mpdatabase.h"
#include "objects/buildrecord.h"
#include "objects/categories.h"
#include "photometry/extinction.h"
#include "photometry/skybright.h"
#include "photometry/skymodel.h"
#include "sites/horizon.h"
#include "sites/horizongeometry.h"
#include "sites/observerstore.h"
#include "visibility/hourscore.h"
#include "visibility/objectvisibility.h"

namespace {

const double kArcminutesPerRadian = 10800.0 / kPi;
const double kOneMinute = 0.0006944442;    // days
const double kLastStep = 1.0 / 1440.0;     // days
const int kRefineRounds = 50;
const int kRefineSamples = 11;
const int kEdgeSteps = 100;
const double kNoMargin = -10.0;
const int kMaxScanSteps = 10000000;  // a night in seconds, many times over

bool IsOrbitClass(int c) {
    return c == kClassComet || c == kClassMinorPlanet || c == kClassUserComet ||
           c == kClassUserMinorPlanet;
}

// The label of a comet (its full label) or minor planet (its name), packaged
// or the user's own; empty when the file cannot be read.
void WriteMinorBodyLabel(const ObjectRecord *o, char *label) {
    label[0] = '\0';
    if (o->objectClass == kClassComet) {
        FILE *f = OpenCometElementsFile();
        char text[kCometLabelSize] = {0};
        if (f && ReadCometRecordLabel(f, o->index, nullptr, nullptr, nullptr, nullptr, text))
            std::snprintf(label, kObservabilityLabelSize, "%.*s", kObservabilityLabelSize - 1, text);
        if (f) std::fclose(f);
    } else if (o->objectClass == kClassMinorPlanet) {
        FILE *f = OpenMinorPlanetNameFile();
        char text[kMinorPlanetNameLength + 1] = {0};
        if (f && ReadMinorPlanetName(f, o->index, text))
            std::snprintf(label, kObservabilityLabelSize, "%s", text);
        if (f) std::fclose(f);
    } else if (o->objectClass == kClassUserComet) {
        int32_t count = 0, index = 0;
        FILE *f = OpenUserCometFile(&count);
        CometRecord c;
        char text[kCometLabelSize] = {0};
        if (f && ReadNextUserComet(f, &c, o->index, nullptr, nullptr, nullptr, nullptr, text, count, &index, nullptr))
            std::snprintf(label, kObservabilityLabelSize, "%.*s", kObservabilityLabelSize - 1, text);
        if (f) std::fclose(f);
    } else if (o->objectClass == kClassUserMinorPlanet) {
        int32_t count = 0;
        FILE *f = OpenUserMinorPlanetFile(&count);
        MinorPlanetRecord r;
        if (f && ReadUserMinorPlanetById(f, o->index, &r, nullptr))
            std::snprintf(label, kObservabilityLabelSize, "%s", r.name);
        if (f) std::fclose(f);
    }
}

// The orbit of a comet or minor planet for the scan's start, read once
// through the element routines and kept in the iterator with the coma's
// diameter and the condensation. False when it cannot be read (a file the
// routine opened stays in the iterator for EndObservability).
bool ReadBodyOrbit(ObservabilityIterator *it) {
    const ObjectRecord &o = it->object;
    const DateRecord *d = &it->date;
    double delta = 0.0, coma = 0.0;
    int condensation = it->condensation;
    int32_t count = 0, record = 0;
    switch (o.objectClass) {
    case kClassComet:
        if (!ComputeCometPosition(d, o.index, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, &delta, nullptr, nullptr, &coma, &condensation, nullptr,
                                  nullptr, nullptr, &it->bodyOrbit))
            return false;
        break;
    case kClassMinorPlanet:
        it->minorPlanets = OpenMinorPlanetEphemeris();
        if (!it->minorPlanets ||
            ComputeMinorPlanetPosition(it->minorPlanets, d, o.index, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr) == 0)
            return false;
        it->bodyOrbit = it->minorPlanets->orbit;
        return true;
    case kClassUserComet:
        it->userFile = OpenUserCometFile(&count);
        if (!it->userFile ||
            !ComputeUserCometPosition(it->userFile, d, o.index, nullptr, nullptr, nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr, &delta, nullptr, nullptr,
                                      &coma, &condensation, nullptr, nullptr, nullptr,
                                      &it->bodyOrbit, &record))
            return false;
        it->userValue = record;
        break;
    case kClassUserMinorPlanet:
        it->userFile = OpenUserMinorPlanetFile(&count);
        if (!it->userFile ||
            !ComputeUserMinorPlanetPosition(it->userFile, d, o.index, nullptr, nullptr, nullptr,
                                            nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                            &it->bodyOrbit, &record))
            return false;
        it->userValue = record;
        return true;
    default: return false;
    }
    it->comaLength = coma * delta;
    it->condensation = static_cast<uint8_t>(condensation);
    return true;
}

// A solar-system body's distances and the central meridian and latitude of
// its centre: the Moon by its topocentric distance in km (and 1 from the
// Sun), the others by their geocentric and true heliocentric distances (AU).
void FillBodyValues(ObservabilityIterator *it, BodyRecord *work, ObservabilityValues *v) {
    BodyRecord local;
    BodyRecord *b = work ? work : &local;
    std::memset(b, 0, sizeof *b);
    b->type = it->object.index;
    const HeliocentricPlace earth = ComputeEarthHeliocentric(&it->date);
    if (!ComputeBodyPosition(&it->date, earth, b)) return;
    ComputeBodyTopocentric(it->site, &it->date, b);
    ComputeBodyPhysicalData(&it->date, b, earth);
    if (b->type == kBodyMoon || b->type == kBodyEarthShadow) {
        v->earthDistance = b->topocentricDistance;
        v->sunDistance = 1.0;
    } else {
        v->earthDistance = b->geocentricDistance;
        v->sunDistance = b->type == kBodySun ? 0.0 : b->heliocentric.radius;
    }
    v->centralMeridian = b->centralMeridian;
    v->latitudeOfCentre = b->latitudeOfCentre;
}

// A comet's or minor planet's place at the iterator's date from the kept
// orbit, written into the object's copy as its builder would; the distances
// and the coma into the values.
void PlaceFromOrbit(ObservabilityIterator *it, ObservabilityValues *v) {
    ObjectRecord &o = it->object;
    double ra = 0.0, dec = 0.0, r = 0.0, delta = 0.0, magnitude = 0.0;
    ComputeMinorBodyPosition(&it->date, &it->bodyOrbit, &ra, &dec, &r, &delta, nullptr, nullptr,
                             &magnitude);
    const bool comet = o.objectClass == kClassComet || o.objectClass == kClassUserComet;
    const float sizeMajor = o.sizeMajor, sizeMinor = o.sizeMinor, extent = o.extent;
    const float magnitude2 = o.magnitude2;
    SetFixedObjectPlace(it->site, &it->date, it->extinctionV, delta, &o, ra, dec, magnitude);
    if (comet) {
        const double coma = SmallAngleFromDistance(delta, it->comaLength);
        o.sizeMajor = static_cast<float>(coma);
        o.extent = static_cast<float>(coma);
        o.condensation = it->condensation;
        const double arcmin = coma * kArcminutesPerRadian;
        o.magnitude2 = static_cast<float>(SurfaceBrightnessFromMagnitude(arcmin, arcmin, magnitude));
        v->comaSize = coma;
    } else {
        o.sizeMajor = sizeMajor;
        o.sizeMinor = sizeMinor;
        o.extent = extent;
        o.magnitude2 = magnitude2;
    }
    v->earthDistance = delta;
    v->sunDistance = r;
}

void Complete(const LocationRecord *site, DateRecord *d) {
    SetDateRecordFromJulianDate(site, d);
    ComputeDeltaTAndNutation(d, 0.0);
    ComputeSiderealTimes(site, d);
}

void SetIteratorDate(ObservabilityIterator *it, double julianDate) {
    it->date.julianDate = julianDate;
    Complete(it->site, &it->date);
    it->extinctionV = ComputeVisualExtinction(it->date.month, it->site->temperature,
                                              it->site->humidity, it->site->latitude,
                                              it->site->elevation);
}

// Margin and the adjusted margin at the iterator's date.
double MarginNow(ObservabilityIterator *it, BodyRecord *body, ObservabilityValues *values,
                 const HorizonRow *horizon, double *adjusted) {
    double ra = 0, dec = 0, raB = 0, decB = 0;
    ComputeObservabilityPlace(it, body, values, &ra, &dec, &raB, &decB);
    const double v = EvaluateObservabilityStep(it, values, raB, decB, horizon);
    const double experience = it->observer ? it->observer->experience : 0.85;
    if (adjusted) *adjusted = AdjustForExperience(v, experience, 0);
    return v;
}

// The site's obstructed horizon into rows, unless the site ignores it: the rows or null.
const HorizonRow *LoadSiteHorizon(const LocationRecord *site, HorizonRow *rows) {
    if (site->displayFlags & kSiteIgnoresHorizon) return nullptr;
    return LoadHorizon(site, rows) ? rows : nullptr;
}

}  // namespace

int BeginObservability(ObservabilityIterator *it, const LocationRecord *site,
                       const DateRecord *date, OpticsBlock *optics, const ObserverRecord *observer,
                       double step, double span, const ObjectRecord *object, float, float, float,
                       float, int requirePositive, int coordinateMode, int topocentric,
                       char *label) {
    if (label) label[0] = '\0';
    if (!it || !site || !date || !object || !(step > 0.0) || !(span > 0.0)) return 0;
    std::memset(it, 0, sizeof *it);
    it->site = site;
    it->date = *date;
    ComputeDeltaTAndNutation(&it->date, 0.0);
    ComputeSiderealTimes(site, &it->date);
    it->optics = optics;
    it->observer = observer;
    it->step = step;
    it->requirePositive = requirePositive;
    it->coordinateMode = coordinateMode;
    it->topocentric = coordinateMode == kObservabilityJ2000
                          ? 0
                          : (coordinateMode == kObservabilityTopoJ2000 ? 1 : topocentric);
    it->condensation = 5;
    std::memcpy(&it->object, object, sizeof it->object);
    it->catalogueIndex = object->index;
    it->extinctionV = ComputeVisualExtinction(it->date.month, site->temperature, site->humidity,
                                              site->latitude, site->elevation);
    if (RefreshObjectRecord(&it->object, 0.0, site, &it->date, it->extinctionV) <= 0) return 0;
    it->endCenturiesTT = it->date.centuriesTT + span / 36525.0;
    double magnitude = 0.0;
    GetObjectPlotMagnitudeAndSizes(&it->object, &magnitude, &it->sizeA, &it->sizeB);
    it->magnitude = magnitude;
    if (object->objectClass == kClassSolarSystem) {
        const char *name = GetBodyName(it->object.index);
        if (label && name) std::snprintf(label, kObservabilityLabelSize, "%s", name);
    } else if (IsOrbitClass(object->objectClass)) {
        it->condensation = it->object.condensation;
        if (label) WriteMinorBodyLabel(&it->object, label);
        if (!ReadBodyOrbit(it)) {
            EndObservability(it);
            if (label) label[0] = '\0';
            return 0;
        }
    } else {
        it->rightAscensionJ2000 = it->object.raCatalogue;
        it->declinationJ2000 = it->object.decCatalogue;
        it->properMotionRa = it->object.properMotionRa;
        it->properMotionDec = it->object.properMotionDec;
    }
    if (it->sizeA >= kMinimumFramedSize) {
        ObjectRecord copy;
        std::memcpy(&copy, &it->object, sizeof copy);
        SetItemMagnificationExtended(site, optics, &copy);
        it->magnification = copy.magnification;
        it->eyepiece = copy.eyepiece;
        it->barlow = copy.barlowFlag;
    } else {
        uint8_t index = 0;
        it->magnification = SelectDeepestEyepiece(site, optics, &index);
        it->eyepiece = index;
        it->barlow = 0;
    }
    return 1;
}

void EndObservability(ObservabilityIterator *it) {
    if (!it) return;
    if (it->minorPlanets) CloseMinorPlanetEphemeris(it->minorPlanets);
    it->minorPlanets = nullptr;
    if (it->userFile) std::fclose(it->userFile);
    it->userFile = nullptr;
}

void ComputeObservabilityPlace(ObservabilityIterator *it, BodyRecord *body, ObservabilityValues *values,
                               double *raA, double *decA, double *raB, double *decB) {
    if (!it || !it->site) return;
    ObjectRecord &o = it->object;
    ObservabilityValues v = {};
    const bool orbit = IsOrbitClass(o.objectClass);
    if (o.objectClass == kClassSolarSystem) {
        // The ephemerides through the record builder: the topocentric place of
        // date, the geocentric apparent one and the astrometric J2000 one.
        RefreshObjectRecord(&o, 0.0, it->site, &it->date, it->extinctionV);
        GetObjectPlotMagnitudeAndSizes(&o, &it->magnitude, &it->sizeA, &it->sizeB);
        FillBodyValues(it, body, &v);
    } else if (orbit) {
        // The kept orbit: the geocentric J2000 place for the date (catalogue
        // place), the topocentric apparent place of date and the topocentric
        // place carried back to J2000; a comet's coma for the date.
        PlaceFromOrbit(it, &v);
        GetObjectPlotMagnitudeAndSizes(&o, &it->magnitude, &it->sizeA, &it->sizeB);
    } else {
        ComputeApparentPlace(it->site, &it->date, it->extinctionV, 0.0, &o);
        ComputeAstrometricPlace(it->site, &it->date, 0.0, &o);
    }
    double b1 = o.raOfDate, b2 = o.decOfDate;
    if (orbit && !it->topocentric) {
        // The geocentric apparent place: the same place without parallax.
        std::unique_ptr<ObjectRecord> geocentric(new (std::nothrow) ObjectRecord(o));
        if (geocentric) {
            ComputeApparentPlace(it->site, &it->date, it->extinctionV, 0.0, geocentric.get());
            b1 = geocentric->raOfDate;
            b2 = geocentric->decOfDate;
        }
    }
    double a1 = b1, a2 = b2;
    if (it->coordinateMode == kObservabilityJ2000) {
        a1 = o.objectClass == kClassSolarSystem ? o.raJ2000AtDate : o.raCatalogue;
        a2 = o.objectClass == kClassSolarSystem ? o.decJ2000AtDate : o.decCatalogue;
    } else if (it->coordinateMode == kObservabilityTopoJ2000) {
        a1 = o.raJ2000AtDate;
        a2 = o.decJ2000AtDate;
    } else if (!it->topocentric && o.objectClass == kClassSolarSystem) {
        a1 = o.raCatalogue;
        a2 = o.decCatalogue;
    }
    SunMoonState s = {};
    ComputeSunMoonState(it->site, it->date.julianDate, b1, b2, &s, 0);
    v.elongation = s.sunTargetSeparation;
    v.magnitude = o.magnitude;
    v.sizeA = it->sizeA;
    v.sizeB = it->sizeB;
    if (values) *values = v;
    if (raA) *raA = a1;
    if (decA) *decA = a2;
    if (raB) *raB = b1;
    if (decB) *decB = b2;
}

int NextObservabilityPlace(ObservabilityIterator *it, BodyRecord *body, ObservabilityValues *values,
                           DateRecord *date, double *raA, double *decA, double *raB, double *decB) {
    if (!it || !it->site) return 0;
    if (it->date.centuriesTT > it->endCenturiesTT) return 0;
    ComputeObservabilityPlace(it, body, values, raA, decA, raB, decB);
    if (date) *date = it->date;
    SetIteratorDate(it, it->date.julianDate + it->step);
    return 1;
}

double EvaluateObservabilityStep(ObservabilityIterator *it, const ObservabilityValues *values,
                                 double raB, double decB, const HorizonRow *horizon) {
    if (!it || !it->site) return kNoMargin;
    const LocationRecord *site = it->site;
    const bool useHorizon = horizon && !(site->displayFlags & kSiteIgnoresHorizon) &&
                            horizon[0].azimuth != -1.0;
    double magnitude = 0.0;
    GetObjectPlotMagnitude(&it->object, &magnitude);
    SunMoonState s = {};
    ComputeSunMoonState(site, it->date.julianDate, raB, decB, &s, 0);
    it->targetAltitude = s.targetAltitude;
    if (useHorizon) {
        const double hourAngle = GetHourAngle(&it->date, raB, kApparentSiderealTime);
        if (!IsAltitudeAboveHorizon(site, hourAngle, decB, s.targetAltitude, horizon)) return kNoMargin;
    }
    if (!(s.targetAltitude > site->horizonDip) || !it->optics) return kNoMargin;
    const double magnification = it->magnification > 0.0 ? it->magnification : 100.0;
    const double sky = ComputeSkyBrightness(
        (1.0 - s.moonIlluminatedFraction) * kPi, kPi / 2.0 - s.moonAltitude, s.moonTargetSeparation,
        kPi / 2.0 - s.sunAltitude, s.sunTargetSeparation, it->extinctionV, it->date.year,
        kPi / 2.0 - s.targetAltitude, ComputeLightPollutionExcess(site->nakedEyeLimit));
    return EvaluateObjectVisibility(site, it->observer, it->optics, magnification, it->eyepiece,
                                    it->barlow, it->object.objectClass, it->sizeA, it->sizeB,
                                    magnitude, it->object.magnitude2, it->object.condensation,
                                    it->extinctionV, sky, s.targetAltitude);
}

double RefineObservabilityPeak(ObservabilityIterator *it, BodyRecord *body,
                               ObservabilityValues *values, double, double *time,
                               double *adjusted, const HorizonRow *horizon) {
    if (!it || !it->site || !time || !adjusted) return kNoMargin;
    const double savedStep = it->step;
    const DateRecord savedDate = it->date;
    const double savedExtinction = it->extinctionV;
    double best = *time, bestRaw = kNoMargin;
    double step = it->step;
    for (int round = 0; round < kRefineRounds; ++round) {
        const double from = best - 1.75 * step;
        step /= 3.0;
        double roundBest = -9999.0, roundTime = best, roundRaw = kNoMargin;
        for (int i = 0; i < kRefineSamples; ++i) {
            SetIteratorDate(it, from + i * step);
            double w = 0.0;
            const double v = MarginNow(it, body, values, horizon, &w);
            if (*adjusted != kNoMargin && w > roundBest) {
                roundBest = w;
                roundTime = it->date.julianDate;
                roundRaw = v;
            }
        }
        const double moved = std::fabs(roundTime - best);
        if (roundBest > -9999.0) {
            best = roundTime;
            bestRaw = roundRaw;
            *adjusted = roundBest;
        }
        if (moved <= kOneMinute) break;
    }
    *time = best;
    it->step = savedStep;
    it->date = savedDate;
    it->extinctionV = savedExtinction;
    return bestRaw;
}

int FindBestObservingTime(ObservabilityIterator *it, BodyRecord *body, ObservabilityValues *values,
                          double *bestTime, double *darkness, double *altitudeFraction,
                          uint16_t *score, double *bestMargin) {
    if (!it || !it->site) return 0;
    HorizonRow rows[kHorizonRowCount];
    const HorizonRow *horizon = LoadSiteHorizon(it->site, rows);
    const double experience = it->observer ? it->observer->experience : 0.85;
    double best = kNoMargin, bestAdjusted = kNoMargin, when = 0.0;
    double previous = kNoMargin, beforePrevious = kNoMargin, lastRaw = kNoMargin;
    double lastTime = it->date.julianDate;
    int samples = 0;
    ObservabilityValues local = {};
    if (!values) values = &local;
    for (int n = 0; n < kMaxScanSteps && it->date.centuriesTT <= it->endCenturiesTT; ++n) {
        double raA = 0.0, decA = 0.0, raB = 0.0, decB = 0.0;
        const double t = it->date.julianDate;
        ComputeObservabilityPlace(it, body, values, &raA, &decA, &raB, &decB);
        const double v = EvaluateObservabilityStep(it, values, raB, decB, horizon);
        const double w = AdjustForExperience(v, experience, 0);
        // The previous sample was a peak: a fall after a rise, above -2.
        if (samples >= 2 && w - previous < 0.0 && previous - beforePrevious > 0.0 &&
            v != kNoMargin && lastRaw != kNoMargin && w > -2.0) {
            double peak = t, adjusted = w;
            const double raw = RefineObservabilityPeak(it, body, values, 0.0, &peak, &adjusted, horizon);
            if (adjusted > bestAdjusted) {
                bestAdjusted = adjusted;
                best = raw;
                when = peak;
            }
        }
        beforePrevious = previous;
        previous = w;
        lastRaw = v;
        lastTime = t;
        ++samples;
        SetIteratorDate(it, t + it->step);
    }
    // Still rising at the end: refine around the last sample.
    if (samples > 0 && lastRaw > 0.0 && lastRaw > best) {
        SetIteratorDate(it, lastTime);
        double peak = lastTime, adjusted = previous;
        const double raw = RefineObservabilityPeak(it, body, values, 0.0, &peak, &adjusted, horizon);
        if (adjusted > bestAdjusted) {
            bestAdjusted = adjusted;
            best = raw;
            when = peak;
        }
    }
    if (it->requirePositive ? !(bestAdjusted > 0.0) : best == kNoMargin) return 0;
    SetIteratorDate(it, when);
    double raA = 0.0, decA = 0.0, raB = 0.0, decB = 0.0;
    ComputeObservabilityPlace(it, body, values, &raA, &decA, &raB, &decB);
    SunMoonState s = {};
    ComputeSunMoonState(it->site, when, raB, decB, &s, 0);
    const uint16_t word = ComputeHourScore(it->site, &it->date, s.sunAltitude, s.sunTargetSeparation,
                                           s.moonAltitude, s.moonIlluminatedFraction,
                                           s.moonTargetSeparation, s.targetAltitude, darkness,
                                           altitudeFraction);
    if (score) *score = word;
    if (bestTime) *bestTime = when;
    if (bestMargin) *bestMargin = best;
    return 1;
}

int FindVisibilityEdge(ObservabilityIterator *it, BodyRecord *body, ObservabilityValues *values,
                       double *time, int direction) {
    if (!it || !it->site) return 0;
    HorizonRow rows[kHorizonRowCount];
    const HorizonRow *horizon = LoadSiteHorizon(it->site, rows);
    ObservabilityValues local = {};
    if (!values) values = &local;
    double step = direction < 0 ? -1.0 / 24.0 : 1.0 / 24.0;
    double t = it->date.julianDate;
    double w = 0.0;
    MarginNow(it, body, values, horizon, &w);
    const double startAirMass = ComputeAirMass(it->targetAltitude);
    const double threshold = w > 0.2 ? w * 0.85 : w - 0.2;
    double airMass = startAirMass;
    for (int i = 0; i < kEdgeSteps; ++i) {
        if ((startAirMass < 2.0 && airMass > 2.0) || !(w > threshold)) {
            step /= 2.0;
            t -= step;
        } else {
            t += step;
        }
        if (time) *time = t;
        SetIteratorDate(it, t);
        MarginNow(it, body, values, horizon, &w);
        airMass = ComputeAirMass(it->targetAltitude);
        if (!(std::fabs(step) > kLastStep)) return 1;
    }
    return 0;
}
