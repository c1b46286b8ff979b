// Builders of the packaged comets and minor planets: a designation selects
// the object in the minor-body database, whose ephemeris gives the place.
#include "objects/minorbodybuilders.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/astroformulas.h"
#include "astro/datetime.h"
#include "astro/precession.h"
#include "core/mathutil.h"
#include "ephem/parallax.h"
#include "minorbodies/cometdb.h"
#include "minorbodies/mpdatabase.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"
#include "objects/builders.h"
#include "objects/buildrecord.h"
#include "objects/objectrecord.h"
#include "objects/solarsystembuilders.h"

namespace {

const double kArcminutesPerRadian = 10800.0 / kPi;

struct MinorBodyPlace {
    double ra, dec, delta, magnitude, coma;
    int condensation;
};

int CometPlace(const DateRecord *date, int index, MinorBodyPlace *p) {
    return ComputeCometPosition(date, index, nullptr, nullptr, nullptr, nullptr, &p->ra, &p->dec,
                                nullptr, &p->delta, nullptr, &p->magnitude, &p->coma,
                                &p->condensation, nullptr, nullptr, nullptr, nullptr);
}

int MinorPlanetPlace(const DateRecord *date, int number, MinorBodyPlace *p) {
    MinorPlanetEphemeris *h = OpenMinorPlanetEphemeris();
    if (!h) return 0;
    // -1 (the nearest element file of a date outside them) is a place too.
    int ok = ComputeMinorPlanetPosition(h, date, number, &p->ra, &p->dec, nullptr, &p->delta,
                                        nullptr, &p->magnitude);
    CloseMinorPlanetEphemeris(h);
    p->coma = 0.0;
    p->condensation = 0;
    return ok != 0;
}

// The number of a minor-planet text of the first kind: its name, or a
// number and a name that belong to the same minor planet.
int MinorPlanetOfText(const char *text) {
    if (!text || !text[0]) return 0;
    int number = FindMinorPlanetNumberByName(text);
    if (number > 0) return number;
    MinorPlanetCandidate candidates[3];
    int n = MinorPlanetCandidates(text, candidates);
    for (int i = 0; i < n; ++i)
        if (FindMinorPlanetNumberByName(candidates[i].name) == candidates[i].number)
            return candidates[i].number;
    return 0;
}

}  // namespace

int BuildCometObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                     double extinction, ObjectRecord *out, int refresh) {
    if (!out || !date) return 0;
    int index = -1;
    if (refresh) {
        index = out->index;
    } else if (number != 0) {
        index = number - 1;
    } else {
        const char *t = text ? text : "";
        switch (out->kind) {
        case kCometKindPeriodicNumber: {
            // "73", "73P", or a fragment of a split comet ("73P-B",
            // "73P/Schwassmann-Wachmann 3-B"), which has an orbit of its own.
            uint16_t n = 0;
            char fragment[kCometFragmentSize];
            if (!ParsePeriodicCometText(t, &n, fragment))
                index = -1;
            else
                index = fragment[0] ? FindCometByNumberAndFragment(n, fragment) : FindCometByNumber(n);
            break;
        }
        case kCometKindIau: index = FindCometByDesignation(t); break;
        case kCometKindDiscovererName: index = FindCometIdByName(t); break;
        case kCometKindFull:
        default: index = -1; break;
        }
    }
    if (index < 0) return 0;
    MinorBodyPlace p;
    if (!CometPlace(date, index, &p)) return 0;
    out->index = index;
    SetFixedObjectPlace(site, date, extinction, p.delta, out, p.ra, p.dec, p.magnitude);
    out->sizeMajor = static_cast<float>(p.coma);
    out->extent = static_cast<float>(p.coma);
    out->condensation = static_cast<uint8_t>(p.condensation);
    double d = p.coma * kArcminutesPerRadian;
    out->magnitude2 = static_cast<float>(SurfaceBrightnessFromMagnitude(d, d, p.magnitude));
    out->colourIndex = 99.0f;
    return 1;
}

int BuildMinorPlanetObject(int number, char *text, const LocationRecord *site,
                           const DateRecord *date, double extinction, ObjectRecord *out,
                           int refresh) {
    if (!out || !date) return 0;
    int index = 0;
    if (refresh) {
        index = out->index;
    } else if (number != 0) {
        index = number;
    } else if (out->kind == kMinorPlanetKindNumberName) {
        index = text ? std::atoi(text) : 0;
    } else if (out->kind == kMinorPlanetKindFull) {
        index = MinorPlanetOfText(text);
    }
    if (index <= 0) return 0;
    MinorBodyPlace p;
    if (!MinorPlanetPlace(date, index, &p)) return 0;
    out->index = index;
    SetFixedObjectPlace(site, date, extinction, p.delta, out, p.ra, p.dec, p.magnitude);
    return 1;
}

int ComputeMinorBodyObjectPlace(const LocationRecord *site, const DateRecord *date,
                                int objectClass, int index, double *rightAscension,
                                double *declination) {
    if (!date || !rightAscension || !declination) return 0;
    MinorBodyPlace p;
    int ok = 0;
    if (objectClass == kClassComet) {
        ok = index >= 0 && CometPlace(date, index, &p);
    } else if (objectClass == kClassMinorPlanet) {
        ok = index >= 1 && MinorPlanetPlace(date, index, &p);
    } else if (objectClass == kClassUserComet || objectClass == kClassUserMinorPlanet) {
        // The user's stores, by object id, from the set nearest the date as
        // their builders take it.
        if (index < 1) return 0;
        const bool comet = objectClass == kClassUserComet;
        FILE *f = comet ? OpenUserCometFile(nullptr) : OpenUserMinorPlanetFile(nullptr);
        if (!f) return 0;
        ok = comet ? ComputeUserCometPosition(f, date, index, nullptr, nullptr, nullptr, nullptr, nullptr,
                                              &p.ra, &p.dec, nullptr, &p.delta, nullptr, nullptr, nullptr,
                                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)
                   : ComputeUserMinorPlanetPosition(f, date, index, nullptr, nullptr, &p.ra, &p.dec, nullptr,
                                                    &p.delta, nullptr, nullptr, nullptr, nullptr, nullptr);
        std::fclose(f);
    }
    if (!ok) return 0;
    // The astrometric J2000 place carried to the apparent place of date, and
    // to the site by the parallax of the body's distance.
    PrecessionRecord precession;
    InitPrecession(&precession, 0.0, date->centuriesTT, kSystemFk5, kSystemFk5);
    double ra = p.ra, dec = p.dec;
    ApplyPrecession(&precession, &ra, &dec, 0.0, 0.0, 0);
    ConvertMeanToApparentPlace(date, &ra, &dec, 1);
    if (site) ApplyPlanetParallax(site, date, p.delta, &ra, &dec);
    *rightAscension = ra;
    *declination = dec;
    return 1;
}
