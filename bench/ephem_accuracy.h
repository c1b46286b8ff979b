// Accuracy sections of the astro_accuracy benchmark for the ephemeris, run
// with the packaged tables loaded (by astro_accuracy.cpp, before any section
// that uses them):
// - the planets' series: the heliocentric places of tables 1..8 (ecliptic
//   and equinox of date) over the whole range of dates the suite accepts
//   (years -4712 to 9999) against libnova's full VSOP87 and against the
//   VSOP87 files the tables are made from (Debian's kstars-data), both
//   taken to the ecliptic of date by the rigorous rotation (Meeus, ch. 21);
// - geocentric apparent places (true equator and equinox of date) of the
//   Sun, the Moon and the planets, 1900-2100: the planets against libnova's
//   VSOP87 and the Moon against libnova's ELP 2000-82B (the full lunar
//   theory), each with light time, annual aberration (not the Moon) and the
//   IAU 1976/1980 precession-nutation (eraPnm80); ERFA's own low-precision
//   planets (eraPlan94) and Moon (eraMoon98) beside them for reference;
// - the times of the Moon's phases against published times and against the
//   instants when ERFA's Moon and Sun reach the phase's elongation.
// Included by astro_accuracy.cpp inside its ERFA branch; prints the largest
// differences, and says so when a reference is missing.
#pragma once

#include <erfa.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "ephem/bodyrecord.h"
#include "ephem/ephemload.h"
#include "ephem/moonphases.h"
#include "ephem/planetseries.h"
#include "core/mathutil.h"
#include "bench/benchutil.h"

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
// Stated tolerances: the planets' tables against the full VSOP87 (1600-2400),
// apparent places against the full theories (1900-2100; the Moon's 60-term
// series against ELP 2000-82B), the phases' series (Meeus ch. 49).
const double kPlanetTableTolerance = 2.0;   // arcseconds
const double kPlanetPlaceTolerance = 3.0;   // arcseconds
const double kMoonPlaceTolerance = 15.0;    // arcseconds
// Pluto from 2100 on comes from Standish's elements (ephem/pluto.h).
const double kPlutoPlaceTolerance = 400.0;  // arcseconds
const double kPhaseTolerance = 1.0;         // minutes

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

// 1 when libnova's full theories are at hand.
inline bool HaveFullTheories() {
#ifdef EPHEM_ACCURACY_HAVE_NOVA
    return true;
#else
    return false;
#endif
}

// The Moon's geocentric place at TT, ICRS-aligned, AU: from libnova's ELP
// 2000-82B (full = true; J2000 ecliptic, kilometres) or from eraMoon98.
inline void MoonGeocentric(double tt, bool full, double out[3]) {
#ifdef EPHEM_ACCURACY_HAVE_NOVA
    if (full) {
        struct ln_rect_posn m;
        ln_get_lunar_geo_posn(tt, &m, 0.0);
        double e[3] = {m.X / (kAuMetres / 1000.0), m.Y / (kAuMetres / 1000.0),
                       m.Z / (kAuMetres / 1000.0)};
        double rm[3][3];
        eraEcm06(2451545.0, 0.0, rm);
        eraTrxp(rm, e, out);
        return;
    }
#endif
    (void)full;
    double pv[2][3];
    eraMoon98(tt, 0.0, pv);
    eraCp(pv[0], out);
}

// The geocentric apparent RA and Dec (true equator of date) of body (0 Sun,
// 1..8 Mercury..Neptune, 10 Moon) at TT: the Earth from eraEpv00, the body
// from the full theories of libnova (full) or from ERFA's own.
inline void ErfaApparent(int body, double tt, double *ra, double *dec, bool full = false) {
    const bool vsop = full;
    double pvh[2][3], pvb[2][3];
    eraEpv00(tt, 0.0, pvh, pvb);
    double p[3];
    if (body == 10) {
        MoonGeocentric(tt, full, p);
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

// ---- the planets' series over the whole range of dates --------------------------

// A J2000 ecliptic place (radians) referred to the ecliptic and equinox of the
// epoch t (Julian centuries of TT from J2000): the rigorous rotation of
// Meeus, ch. 21, with the IAU 1976 angles (Lieske et al. 1977).
inline void EclipticJ2000ToDate(double t, double *lon, double *lat) {
    const double arcsec = kPi / 648000.0;
    const double eta = (47.0029 * t - 0.03302 * t * t + 0.000060 * t * t * t) * arcsec;
    const double pi = (174.876384 * 3600.0 - 869.8089 * t + 0.03536 * t * t) * arcsec;
    const double p = (5029.0966 * t + 1.11113 * t * t - 0.000006 * t * t * t) * arcsec;
    const double a = std::cos(eta) * std::cos(*lat) * std::sin(pi - *lon) -
                     std::sin(eta) * std::sin(*lat);
    const double b = std::cos(*lat) * std::cos(pi - *lon);
    const double c = std::cos(eta) * std::sin(*lat) +
                     std::sin(eta) * std::cos(*lat) * std::sin(pi - *lon);
    *lon = p + pi - std::atan2(a, b);
    *lat = std::asin(c);
}

// The full VSOP87 (J2000 ecliptic, every term) read from the files the
// tables are made from: <planet>.<L|B|R><power>.vsop, one term a line
// (amplitude, phase, frequency per Julian millennium).
struct FullVsop87 {
    std::vector<double> cells[18];  // triples
    bool Load(const char *planet) {
        int lines = 0;
        for (int c = 0; c < 18; ++c) {
            char path[256];
            std::snprintf(path, sizeof path, "/usr/share/kstars/%s.%c%d.vsop", planet, "LBR"[c / 6],
                          c % 6);
            FILE *f = std::fopen(path, "r");
            if (!f) continue;
            double a, b, w;
            while (std::fscanf(f, "%lf %lf %lf", &a, &b, &w) == 3) {
                cells[c].insert(cells[c].end(), {a, b, w});
                ++lines;
            }
            std::fclose(f);
        }
        return lines > 0;
    }
    void At(double tau, double out[3]) const {
        for (int coord = 0; coord < 3; ++coord) {
            double total = 0.0, power = 1.0;
            for (int k = 0; k < 6; ++k) {
                const std::vector<double> &v = cells[6 * coord + k];
                double sum = 0.0;
                for (size_t i = 0; i + 2 < v.size(); i += 3) sum += v[i] * std::cos(v[i + 1] + v[i + 2] * tau);
                total += sum * power;
                power *= tau;
            }
            out[coord] = total;
        }
    }
};

inline double SeparationArcsec(double lon1, double lat1, double lon2, double lat2) {
    return eraSeps(lon1, lat1, lon2, lat2) * kToArcsec;
}

// Tables 1..8 against both references at instants spread over years -4712 to
// 9999; the largest difference per planet over the whole range and over
// 1600-2400.
inline void PlanetSeriesSection() {
    static const char *kFiles[9] = {nullptr, "mercury", "venus", "earth", "mars", "jupiter",
                                    "saturn", "uranus", "neptune"};
    static const char *kNames[9] = {nullptr, "Mercury", "Venus", "Earth", "Mars", "Jupiter",
                                    "Saturn", "Uranus", "Neptune"};
    const int kInstants = benchutil::QuickRun() ? 40 : 1500;
    std::printf("ephemeris: the planets' tables of date, heliocentric, %d instants over years "
                "-4712..9999\n", kInstants);
    if (!HaveFullTheories())
        std::printf("  libnova (libnova-dev) not installed: the libnova columns are skipped\n");
    std::printf("  %-10s %22s %22s %12s\n", "table", "libnova VSOP87 (at year)",
                "VSOP87 files (at year)", "1600-2400");
    for (int body = 1; body <= 8; ++body) {
        FullVsop87 full;
        const bool haveFiles = full.Load(kFiles[body]);
        double worstNova = 0.0, worstNovaYear = 0.0, worstFiles = 0.0, worstFilesYear = 0.0,
               worstNear = 0.0;
        for (int i = 0; i <= kInstants; ++i) {
            const double year = -4712.0 + (9999.0 - -4712.0) * i / kInstants;
            const double jd = 2451545.0 + (year - 2000.0) * 365.25;
            const double t = (jd - 2451545.0) / 36525.0;
            HeliocentricPlace p;
            EvaluatePlanetSeries(body, t, &p);
            double sep = 0.0;
            if (haveFiles) {
                double v[3];
                full.At(t / 10.0, v);
                double lon = v[0], lat = v[1];
                EclipticJ2000ToDate(t, &lon, &lat);
                sep = SeparationArcsec(lon, lat, p.longitude, p.latitude);
                if (sep > worstFiles) {
                    worstFiles = sep;
                    worstFilesYear = year;
                }
            }
#ifdef EPHEM_ACCURACY_HAVE_NOVA
            typedef void (*Helio)(double, struct ln_helio_posn *);
            static const Helio kHelio[9] = {nullptr,
                                            ln_get_mercury_helio_coords,
                                            ln_get_venus_helio_coords,
                                            ln_get_earth_helio_coords,
                                            ln_get_mars_helio_coords,
                                            ln_get_jupiter_helio_coords,
                                            ln_get_saturn_helio_coords,
                                            ln_get_uranus_helio_coords,
                                            ln_get_neptune_helio_coords};
            struct ln_helio_posn h;
            kHelio[body](jd, &h);
            double lon = h.L * kPi / 180.0, lat = h.B * kPi / 180.0;
            EclipticJ2000ToDate(t, &lon, &lat);
            const double nova = SeparationArcsec(lon, lat, p.longitude, p.latitude);
            if (nova > worstNova) {
                worstNova = nova;
                worstNovaYear = year;
            }
            if (year >= 1600.0 && year <= 2400.0) worstNear = std::fmax(worstNear, nova);
#else
            if (year >= 1600.0 && year <= 2400.0) worstNear = std::fmax(worstNear, sep);
#endif
        }
        std::printf("  %-10s %10.3f \" %-9.0f %10.3f \" %-9.0f %10.3f \"\n", kNames[body], worstNova,
                    worstNovaYear, worstFiles, worstFilesYear, worstNear);
        char what[64];
        std::snprintf(what, sizeof what, "%s table, 1600-2400", kNames[body]);
        benchutil::ProgramTally().Check(what, worstNear, "\"", kPlanetTableTolerance);
        if (!haveFiles) std::printf("  (VSOP87 files of kstars-data missing: that column skipped)\n");
    }
    std::printf("  (libnova's Uranus and Neptune themselves part from the VSOP87 files by up to\n"
                "   0.28 deg at the ends of the range; the files are what the tables are made of)\n");
}

// ---- geocentric apparent places and the Moon's phases ----------------------------

inline void Section() {
    LocationRecord centre = benchutil::GeocentreSite(6.5);
    // Pluto only against libnova (Meeus' series of ch. 37, the one the
    // program's own Pluto series is rewritten from; checks the reduction).
    const int kBodies[] = {0, 10, 1, 2, 4, 5, 6, 7, 8, 9};
    const char *kNames[] = {"Sun", "Moon", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus",
                            "Neptune", "Pluto"};
    const int kCount = 10;
    double worstLow[kCount] = {0}, worstFull[kCount] = {0}, worstFullYear[kCount] = {0};
    const int kSamples = benchutil::QuickRun() ? 100 : 2000;
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
            double ra = 0.0, dec = 0.0;
            if (kBodies[b] != 9) {
                ErfaApparent(kBodies[b], tt, &ra, &dec, false);
                worstLow[b] = std::fmax(worstLow[b], eraSeps(ra, dec, body.topocentricRightAscension,
                                                             body.topocentricDeclination) * kToArcsec);
            }
            // The Sun's reference is eraEpv00 in both columns.
            if (HaveFullTheories() || kBodies[b] == 0) {
                ErfaApparent(kBodies[b], tt, &ra, &dec, true);
                const double sep =
                    eraSeps(ra, dec, body.topocentricRightAscension, body.topocentricDeclination) *
                    kToArcsec;
                if (sep > worstFull[b]) {
                    worstFull[b] = sep;
                    worstFullYear[b] = 2000.0 + (jd - 2451545.0) / 365.25;
                }
            }
        }
    }
    std::printf("ephemeris: geocentric apparent places, %d instants 1900-2100\n", kSamples);
    if (!HaveFullTheories())
        std::printf("  libnova (libnova-dev) not installed: the full-theory column is skipped\n");
    std::printf("  %-10s %-28s %12s %-8s %s\n", "body", "full theory", "largest diff", "at year",
                "ERFA's own (eraPlan94, eraMoon98)");
    for (int b = 0; b < kCount; ++b) {
        const char *reference = kBodies[b] == 0    ? "eraEpv00"
                                : kBodies[b] == 10 ? "libnova ELP 2000-82B"
                                : kBodies[b] == 9  ? "libnova (Meeus ch. 37)"
                                                   : "libnova VSOP87";
        if (HaveFullTheories() || kBodies[b] == 0) {
            char what[64];
            std::snprintf(what, sizeof what, "%s apparent place, 1900-2100", kNames[b]);
            benchutil::ProgramTally().Check(what, worstFull[b], "\"",
                                            kBodies[b] == 10  ? kMoonPlaceTolerance
                                            : kBodies[b] == 9 ? kPlutoPlaceTolerance
                                                              : kPlanetPlaceTolerance);
        }
        if (kBodies[b] == 9)
            std::printf("  %-10s %-28s %12.3f \"  %-8.1f -\n", kNames[b], reference, worstFull[b],
                        worstFullYear[b]);
        else
            std::printf("  %-10s %-28s %12.3f \"  %-8.1f %.3f \"\n", kNames[b], reference,
                        worstFull[b], worstFullYear[b], worstLow[b]);
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
    benchutil::ProgramTally().Check("Moon phases against published times", worstPublished, "min",
                                    kPhaseTolerance);
    benchutil::ProgramTally().Check("Moon phases against ERFA's elongation", worstErfa, "min", kPhaseTolerance);
}

}  // namespace ephem_accuracy
