// Moon phases, Great Red Spot transits and planet phenomena.
#include "events/phenomenafinders.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/mathutil.h"
#include "ephem/bodyrecord.h"
#include "ephem/moonphases.h"
#include "ephem/orientation.h"
#include "events/bodyplace.h"
#include "events/eventdates.h"
#include "events/eventinsert.h"
#include "events/eventsky.h"
#include "events/pairsearch.h"
#include "minorbodies/fieldsearch.h"
#include "sites/horizongeometry.h"

namespace {

const double kDegreesPerRadian = 180.0 / kPi;
// Days per degree of Jupiter's System II rotation (870.27 degrees a day).
const double kDaysPerRotationDegree = 0.0011490686331074966;
const double kSpotSettleDays = 0.00001157407;
const int kSpotPasses = 50;
const double kSpotContactDays = 0.06319877482091231;  // the spot's time across a sixth of the disc
const double kSpotNextDays = 0.4136647079186988;      // one System II rotation
const double kSpotMinAltitude = 0.1745329251994329478;  // 10 degrees
const double kOneDay = 1.0;
const int kPhases = 4;
const double kBrightestMagnitude = -99.0;
const int kMaxMinorPlanets = 2000;
const int kPhenomenonPlanets[8] = {kBodyMercury, kBodyVenus, kBodyMars, kBodyJupiter,
                                   kBodySaturn, kBodyUranus, kBodyNeptune, kBodyPluto};

// The topocentric place of a class-2 body at a time.
bool BodyPlace(const LocationRecord *site, int type, double julianDate, BodyRecord *body) {
    DateRecord d;
    SetCompletedDate(site, julianDate, &d);
    std::memset(body, 0, sizeof *body);
    body->type = type;
    const HeliocentricPlace earth = ComputeEarthHeliocentric(&d);
    if (!ComputeBodyPosition(&d, earth, body)) return false;
    ComputeBodyTopocentric(site, &d, body);
    ComputeBodyPhysicalData(&d, body, earth);
    return true;
}

void FillFromSky(EventContact *c, int code, double time, const EventSky &sky) {
    c->code = code;
    c->time = time;
    c->darkness = sky.darkness;
    c->altitude = sky.altitude;
    c->hourScore = sky.hourScore;
}

}  // namespace

int FindMoonPhases(EventFileHeader *header, std::FILE *file, const DateRecord *start, double span) {
    if (!header || !file || !start) return 0;
    const LocationRecord *site = &header->site;
    const double end = start->julianDate + span;
    double running = start->julianDate;
    int added = 0;
    for (int guard = 0; running < end && guard < 10000; ++guard) {
        DateRecord d;
        SetCompletedDate(site, running, &d);
        double latest = running;
        for (int phase = 0; phase < kPhases; ++phase) {
            // The phase times are Julian Ephemeris Days: back to UT.
            const double t = ComputeMoonPhaseTime(d.decimalYear, phase) - d.deltaT;
            if (!std::isfinite(t)) continue;
            latest = std::max(latest, t);
            if (t < start->julianDate || t > end) continue;
            BodyRecord moon;
            if (!BodyPlace(site, kBodyMoon, t, &moon)) continue;
            EventSky sky;
            EvaluateEventSky(site, t, moon.topocentricRightAscension, moon.topocentricDeclination, &sky);
            EventRecord e;
            ClearEventRecord(&e);
            e.kind = kEventPhenomenon;
            e.body1Class = 2;
            e.body1Index = kBodyMoon;
            e.time = t;
            e.contactCount = 1;
            FillFromSky(&e.contacts[0], kCodeNewMoon + 2 * phase, t, sky);
            e.contacts[0].visible = 1;
            added += InsertEvent(file, header, span, &e, 1);
        }
        running = latest + kOneDay;
    }
    return added;
}

int FindGreatRedSpotTransits(EventFileHeader *header, std::FILE *file, const HorizonRow *horizon,
                             const DateRecord *start, double span, const int *stop) {
    if (!header || !file || !start) return 0;
    const LocationRecord *site = &header->site;
    const bool useHorizon = horizon && horizon[0].azimuth != -1.0;
    const double end = start->julianDate + span;
    double t = start->julianDate;
    int added = 0;
    for (int guard = 0; t < end && guard < 100000; ++guard) {
        if (stop && *stop) return -1;
        BodyRecord jupiter;
        for (int pass = 0; pass < kSpotPasses; ++pass) {
            if (!BodyPlace(site, kBodyJupiter, t, &jupiter)) return added;
            const double correction = -GetGreatRedSpotOffset(&jupiter) * kDegreesPerRadian * kDaysPerRotationDegree;
            t += correction;
            if (std::fabs(correction) <= kSpotSettleDays) break;
        }
        const double transit = t;
        t = transit + kSpotNextDays;
        if (transit < start->julianDate) continue;  // the transit before the start
        if (transit > end) break;
        EventRecord e;
        ClearEventRecord(&e);
        e.kind = kEventRedSpotTransit;
        e.body1Class = 2;
        e.body1Index = kBodyJupiter;
        e.time = transit;
        e.contactCount = 3;
        const double times[3] = {transit - kSpotContactDays, transit, transit + kSpotContactDays};
        const int codes[3] = {kContactFirstVisible, kContactMidTransit, kContactLastVisible};
        for (int i = 0; i < 3; ++i) {
            BodyRecord place;
            if (!BodyPlace(site, kBodyJupiter, times[i], &place)) continue;
            EventSky sky;
            EvaluateEventSky(site, times[i], place.topocentricRightAscension, place.topocentricDeclination, &sky);
            FillFromSky(&e.contacts[i], codes[i], times[i], sky);
            const bool seen = useHorizon ? IsAboveHorizonAtHourAngle(site, place.topocentricDeclination, horizon,
                                                                     sky.hourAngle) == 1
                                         : sky.altitude > kSpotMinAltitude;
            e.contacts[i].visible = seen ? 1 : 0;
        }
        added += InsertEvent(file, header, span, &e, 1);
    }
    return added;
}

int FindPlanetPhenomena(EventFileHeader *header, std::FILE *file, const DateRecord *start, double span,
                        const int *stop, EventProgress progress) {
    if (!header || !file || !start) return 0;
    const LocationRecord *site = &header->site;
    struct Combination {
        int objectClass, body, what;  // what: 0 conjunction, 1 opposition, 2 elongation
    };
    std::vector<Combination> combos;
    for (int k = 0; k < 8; ++k) {
        if (!(header->finderFlags & (kFindPlanetsFirst << k))) continue;
        const int p = kPhenomenonPlanets[k];
        const bool inner = p == kBodyMercury || p == kBodyVenus;
        if (header->finderFlags & kFindConjunctions) combos.push_back({2, p, 0});
        if ((header->finderFlags & kFindOppositions) && !inner) combos.push_back({2, p, 1});
        if ((header->finderFlags & kFindElongations) && inner) combos.push_back({2, p, 2});
    }
    // Minor planets not fainter than the limit at the start, for their
    // oppositions (the limit may be stored negated: its size is taken).
    const double faintest = std::fabs(header->minorPlanetMagnitude);
    if ((header->finderFlags & kFindMinorPlanets) && (header->finderFlags & kFindOppositions)) {
        MinorPlanetFieldSearch *field = BeginMinorPlanetFieldSearch(
            site, start, nullptr, 0, 0, 0, 0, 0, kBrightestMagnitude, faintest, 0, 0, 0, kFieldSearchNoLimit,
            kFieldSearchNoLimit, 0, kFieldSearchNoLimit, kFieldSearchNoLimit, kFieldSearchNoLimit, kFieldSearchNoLimit,
            kFieldSearchNoLimit, kFieldSearchNoLimit, kFieldSearchNoLimit, kFieldSearchNoLimit, nullptr, nullptr, 0,
            kFieldMagnitude, 0, 0, nullptr, stop);
        if (field) {
            double ra, dec, delta, magnitude;
            int32_t number;
            while ((number = NextPackagedMinorPlanetInField(field, &ra, &dec, &delta, &magnitude, nullptr)) > 0 &&
                   static_cast<int>(combos.size()) < kMaxMinorPlanets)
                combos.push_back({4, number, 1});
            EndMinorPlanetFieldSearch(field);
        }
    }
    const int count = static_cast<int>(combos.size());
    int added = 0, ticked = 0;
    for (int c = 0; c < count; ++c) {
        const Combination &combo = combos[static_cast<size_t>(c)];
        const int other = combo.what == 1 ? kBodyEarthShadow : kBodySun;
        const int measure = combo.what == 2 ? kMeasureReciprocal : kMeasureLongitude;
        PairSearch s;
        if (!BeginPairSearch(&s, site, start, span, kOneSecondDays, 0.0, combo.objectClass, combo.body, 0, 2, other, 0,
                             kCoordinatesGeocentricJ2000, measure, 0, 0, stop)) {
            if (combo.objectClass == 2) return added;
            continue;  // a minor planet whose elements cannot be read
        }
        s.progressInterval *= count;
        s.nextTick = start->centuriesTT + s.progressInterval;
        double t, m, mags[2] = {0, 0};
        int r;
        while ((r = NextPairEvent(&s, site, &t, &m, mags)) != kPairEnd) {
            if (r == kPairProgress) {
                if (progress) progress(0);
                continue;
            }
            if (combo.objectClass == 4 && !(mags[0] <= faintest)) continue;  // too faint then
            int code;
            if (combo.what == 0)
                code = combo.body > kBodyVenus ? kCodeConjunctionWithSun
                                                 : (r == kPairBody2Front ? kCodeSuperiorConjunction
                                                                         : kCodeInferiorConjunction);
            else if (combo.what == 1)
                code = kCodeOpposition;
            else
                code = r == kPairBody2Front ? kCodeWesternElongation : kCodeEasternElongation;
            EventRecord e;
            ClearEventRecord(&e);
            e.kind = kEventPhenomenon;
            e.body1Class = combo.objectClass;
            e.body1Index = combo.body;
            e.time = t;
            e.contactCount = 1;
            e.contacts[0].code = code;
            e.contacts[0].time = t;
            e.contacts[0].visible = 1;
            if (combo.objectClass == 4) {
                e.contacts[0].altitude = mags[0];  // the magnitude; no diameter
            } else if (code > kCodeConjunctionWithSun) {
                // The magnitude and apparent diameter at that time.
                BodyRecord body;
                if (BodyPlace(site, combo.body, t, &body)) {
                    e.contacts[0].separation = body.equatorialDiameter;
                    e.contacts[0].altitude = body.magnitude;
                }
            }
            added += InsertEvent(file, header, span, &e, 1);
        }
        EndPairSearch(&s);
        while (progress && ticked < ((c + 1) * 4) / count) {
            progress(0);
            ++ticked;
        }
        if (stop && *stop) break;
    }
    return added;
}
