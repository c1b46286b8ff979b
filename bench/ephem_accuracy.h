// Accuracy section of the astro_accuracy benchmark for the ephemeris: the
// geocentric apparent places (true equator and equinox of date) of the Sun,
// the Moon and the planets from the packaged tables, 1900-2100, against ERFA:
// the Earth from eraEpv00, the planets from eraPlan94 (whose own errors reach
// a few arcseconds for the outer planets), the Moon from eraMoon98 (built on
// the same abridged lunar theory), each with light time, annual aberration
// (not the Moon) and the IAU 1976/1980 precession-nutation (eraPnm80); and the
// times of the Moon's phases against published times and against the
// instants when ERFA's Moon and Sun reach the phase's elongation in longitude.
// Included by astro_accuracy.cpp inside its ERFA branch; prints the largest
// differences.
#pragma once

#include <erfa.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "ephem/bodyrecord.h"
#include "ephem/ephemload.h"
#include "ephem/moonphases.h"
#include "core/mathutil.h"

#if defined(__has_include)
#if __has_include(<libnova/libnova.h>)
#include <libnova/libnova.h>
#define EPHEM_ACCURACY_HAVE_NOVA 1
#endif
#endif

namespace ephem_accuracy {

const double kToArcsec = 648000.0 / kPi;
const double kAuMetres = 149597870700.0;
const double kLightDaysPerAU = 149597870700.0 / 299792458.0 / 86400.0;

inline std::string SourceRoot() {
    std::string file = __FILE__;
    size_t slash = file.rfind("/bench/");
    return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

// Generates the tables (and nutcon.bin) into a scratch folder and loads them.
inline bool LoadTables() {
    char pattern[] = "/tmp/ephem_accuracy_XXXXXX";
    if (!mkdtemp(pattern)) return false;
    std::string dir = pattern;
    std::string out = " --out \"" + dir + "\" > /dev/null";
    std::string a = "python3 \"" + SourceRoot() + "/tools/gen_ephemeris_tables.py\"" + out;
    std::string b = "python3 \"" + SourceRoot() + "/tools/gen_nutcon.py\"" + out;
    if (std::system(a.c_str()) != 0 || std::system(b.c_str()) != 0) return false;
    char folder[512];
    std::snprintf(folder, sizeof folder, "%s/", dir.c_str());
    FreeEphemerisData();
    return LoadEphemerisData(folder) == 1;
}

// The heliocentric place of planet 1..8 at TT, ICRS-aligned, AU: from
// eraPlan94, or (vsop true) from libnova's VSOP87 (J2000 ecliptic, turned to
// the equator with ERFA's J2000 ecliptic matrix).
inline void PlanetHeliocentric(int body, double tt, bool vsop, double out[3]) {
#ifdef EPHEM_ACCURACY_HAVE_NOVA
    if (vsop) {
        typedef void (*Helio)(double, struct ln_helio_posn *);
        static const Helio kHelio[10] = {nullptr,
                                        ln_get_mercury_helio_coords,
                                        ln_get_venus_helio_coords,
                                        ln_get_earth_helio_coords,
                                        ln_get_mars_helio_coords,
                                        ln_get_jupiter_helio_coords,
                                        ln_get_saturn_helio_coords,
                                        ln_get_uranus_helio_coords,
                                        ln_get_neptune_helio_coords,
                                        ln_get_pluto_helio_coords};
        struct ln_helio_posn h;
        kHelio[body](tt, &h);
        double e[3], rm[3][3];
        eraS2p(h.L * kPi / 180.0, h.B * kPi / 180.0, h.R, e);
        eraEcm06(2451545.0, 0.0, rm);
        eraTrxp(rm, e, out);
        return;
    }
#endif
    (void)vsop;
    double pv[2][3];
    eraPlan94(tt, 0.0, body, pv);
    eraCp(pv[0], out);
}

// ERFA's geocentric apparent RA and Dec (true equator of date) of body
// (0 Sun, 1..8 Mercury..Neptune, 10 Moon) at TT.
inline void ErfaApparent(int body, double tt, double *ra, double *dec, bool vsop = false) {
    double pvh[2][3], pvb[2][3];
    eraEpv00(tt, 0.0, pvh, pvb);
    double p[3];
    if (body == 10) {
        double pv[2][3];
        eraMoon98(tt, 0.0, pv);
        eraCp(pv[0], p);
    } else {
        double tau = 0.0;
        for (int pass = 0; pass < 3; ++pass) {
            double target[3] = {0.0, 0.0, 0.0};
            if (body != 0) PlanetHeliocentric(body, tt - tau, vsop, target);
            eraPmp(target, pvh[0], p);
            tau = eraPm(p) * kLightDaysPerAU;
        }
        double distance, unit[3], v[3], apparent[3];
        eraPn(p, &distance, unit);
        eraSxp(kAuMetres / 86400.0 / 299792458.0, pvb[1], v);
        double bm1 = std::sqrt(1.0 - eraPdp(v, v));
        double sunDistance = eraPm(pvh[0]);
        eraAb(unit, v, sunDistance, bm1, apparent);
        eraSxp(distance, apparent, p);
    }
    double rnp[3][3], q[3];
    eraPnm80(tt, 0.0, rnp);
    eraRxp(rnp, p, q);
    eraC2s(q, ra, dec);
    *ra = eraAnp(*ra);
}

// ERFA's Moon minus Sun apparent ecliptic longitude of date at TT.
inline double ErfaElongation(double tt) {
    double ra, dec, lonMoon, lonSun, lat;
    double eps = eraObl80(tt, 0.0);
    double dpsi, deps;
    eraNut80(tt, 0.0, &dpsi, &deps);
    ErfaApparent(10, tt, &ra, &dec);
    double v[3];
    eraS2c(ra, dec, v);
    double r1[3][3];
    eraIr(r1);
    eraRx(eps + deps, r1);
    double e[3];
    eraRxp(r1, v, e);
    eraC2s(e, &lonMoon, &lat);
    ErfaApparent(0, tt, &ra, &dec);
    eraS2c(ra, dec, v);
    eraRxp(r1, v, e);
    eraC2s(e, &lonSun, &lat);
    return eraAnpm(lonMoon - lonSun);
}

inline void Section() {
    if (!LoadTables()) {
        std::printf("ephemeris: tables could not be generated or loaded; skipped\n");
        return;
    }
    LocationRecord centre;
    std::memset(&centre, 0, sizeof centre);
    InitLocationRecord(&centre, 0.0, 0.0, 0.0, 6.5, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "Centre");
    centre.rhoCosPhi = 0.0;
    centre.rhoSinPhi = 0.0;
    // Pluto only against libnova (Meeus' series of ch. 37, the one the
    // program's own Pluto series is rewritten from; checks the reduction).
    const int kBodies[] = {0, 10, 1, 2, 4, 5, 6, 7, 8, 9};
    const char *kNames[] = {"Sun", "Moon", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus",
                            "Neptune", "Pluto"};
    const int kCount = 10;
    double worst[kCount] = {0}, worstYear[kCount] = {0}, worstVsop[kCount] = {0};
    const int kSamples = 2000;
    for (int i = 0; i < kSamples; ++i) {
        double jd = 2415020.5 + (73049.0 * i) / (kSamples - 1) + 0.37 * (i % 7);
        DateRecord date;
        std::memset(&date, 0, sizeof date);
        date.julianDate = jd;
        SetDateRecordFromJulianDate(&centre, &date);
        ComputeDeltaTAndNutation(&date, 0.0);
        ComputeSiderealTimes(&centre, &date);
        const double tt = date.centuriesTT * 36525.0 + 2451545.0;
        HeliocentricPlace earth = ComputeEarthHeliocentric(&date);
        for (int b = 0; b < kCount; ++b) {
            BodyRecord body;
            std::memset(&body, 0, sizeof body);
            body.type = kBodies[b];
            if (!ComputeBodyPosition(&date, earth, &body)) continue;
            ComputeBodyTopocentric(&centre, &date, &body);
            double ra = 0.0, dec = 0.0, sep = 0.0;
            if (kBodies[b] != 9) {
                ErfaApparent(kBodies[b], tt, &ra, &dec);
                sep = eraSeps(ra, dec, body.topocentricRightAscension, body.topocentricDeclination) *
                      kToArcsec;
            }
            if (sep > worst[b]) {
                worst[b] = sep;
                worstYear[b] = 2000.0 + (jd - 2451545.0) / 365.25;
            }
#ifdef EPHEM_ACCURACY_HAVE_NOVA
            if (kBodies[b] >= 1 && kBodies[b] <= 9) {
                ErfaApparent(kBodies[b], tt, &ra, &dec, true);
                sep = eraSeps(ra, dec, body.topocentricRightAscension, body.topocentricDeclination) *
                      kToArcsec;
                worstVsop[b] = std::fmax(worstVsop[b], sep);
            }
#endif
        }
    }
    std::printf("ephemeris: geocentric apparent places, %d instants 1900-2100, against ERFA\n",
                kSamples);
    std::printf("  %-34s %12s  %-8s %s\n", "body (ERFA routine)", "largest diff", "at year",
                "libnova VSOP87 + ERFA reduction");
    for (int b = 0; b < kCount; ++b) {
        const char *routine = kBodies[b] == 0    ? "eraEpv00"
                              : kBodies[b] == 10 ? "eraMoon98"
                              : kBodies[b] == 9  ? "-"
                                                 : "eraPlan94";
        char label[64];
        std::snprintf(label, sizeof label, "%s (%s)", kNames[b], routine);
        if (worstVsop[b] > 0.0)
            std::printf("  %-34s %12.3f \"  %-8.1f %.3f \"\n", label, worst[b], worstYear[b], worstVsop[b]);
        else
            std::printf("  %-34s %12.3f \"  %.1f\n", label, worst[b], worstYear[b]);
    }

    // Phases against published times (UT, U.S. Naval Observatory) and
    // Meeus' example 49.a.
    struct Published {
        double year;
        int phase;
        double jdUt, deltaT;
    } published[] = {
        {2000.05, kFullMoon, 2451564.69444, 63.8}, {2017.62, kNewMoon, 2457987.27083, 68.8},
        {2019.04, kFullMoon, 2458504.71944, 69.2}, {2024.25, kNewMoon, 2460409.26458, 69.2},
        {1977.10, kNewMoon, 2443192.65118 - 48.0 / 86400.0, 48.0},
    };
    double worstPublished = 0.0;
    for (const Published &p : published) {
        double minutes = (ComputeMoonPhaseTime(p.year, p.phase) - p.deltaT / 86400.0 - p.jdUt) * 1440.0;
        worstPublished = std::fmax(worstPublished, std::fabs(minutes));
    }
    // Phases of every 7th lunation 1900-2100 against the instant of ERFA's
    // elongation in longitude (secant steps from the series' time).
    double worstErfa = 0.0, worstErfaYear = 0.0;
    int count = 0;
    for (double k = -1237.0; k <= 1237.0; k += 7.0) {
        for (int phase = 0; phase < 4; ++phase) {
            double jde = ComputeMoonPhaseOfLunation(k + 0.25 * phase, phase);
            double target = phase * kPi / 2.0;
            double t0 = jde - 0.02, t1 = jde + 0.02;
            double f0 = eraAnpm(ErfaElongation(t0) - target), f1 = eraAnpm(ErfaElongation(t1) - target);
            for (int step = 0; step < 8 && f1 != f0; ++step) {
                double t2 = t1 - f1 * (t1 - t0) / (f1 - f0);
                t0 = t1;
                f0 = f1;
                t1 = t2;
                f1 = eraAnpm(ErfaElongation(t1) - target);
                if (std::fabs(t1 - t0) < 1e-7) break;
            }
            double minutes = (jde - t1) * 1440.0;
            ++count;
            if (std::fabs(minutes) > std::fabs(worstErfa)) {
                worstErfa = minutes;
                worstErfaYear = 2000.0 + k / 12.3685;
            }
        }
    }
    std::printf("ephemeris: times of the Moon's phases\n");
    std::printf("  %-34s %12.2f min\n", "published times (5)", worstPublished);
    char label[64];
    std::snprintf(label, sizeof label, "ERFA elongation (%d phases)", count);
    std::printf("  %-34s %12.2f min  %.1f\n", label, worstErfa, worstErfaYear);
    FreeEphemerisData();
}

}  // namespace ephem_accuracy
