// Accuracy section of the astro_accuracy benchmark: the Moon's rise, transit
// and set as the program gives them (ComputeSunMoonTimes, local hours, with
// the packaged tables loaded) at nine sites from 70 deg north to 55 deg south, against a
// root search of the Moon's topocentric altitude from ERFA (the place from
// libnova's ELP 2000-82B where installed, else eraMoon98; eraPnm80,
// eraGst94, eraGd2gc) over the same day around local midnight. Prints the
// largest difference per site, and the events one side gives and the other
// does not. Included by astro_accuracy.cpp inside its ERFA branch.
#pragma once

#include <erfa.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/datetime.h"
#include "astro/deltat.h"
#include "astro/location.h"
#include "astro/riseset.h"
#include "astro/sidereal.h"
#include "bench/benchutil.h"
#include "bench/ephem_accuracy.h"
#include "core/mathutil.h"
#include "objects/buildrecord.h"

namespace moontimes_accuracy {

// Events this close to midnight may fall on the other day on one side (the
// differences are seconds): only those are left out.
const double kEdgeHours = 20.0 / 3600.0;

// The Moon's geometric topocentric altitude and hour angle (radians).
inline void ReferenceMoon(const LocationRecord &site, double jdUt, double *altitude,
                          double *hourAngle) {
    DateRecord d;
    std::memset(&d, 0, sizeof d);
    d.julianDate = jdUt;
    SetDateRecordFromJulianDate(nullptr, &d);
    const double tt = jdUt + ComputeModelDeltaTSeconds(d.decimalYear, jdUt) / 86400.0;
    double p[3], rnp[3][3], q[3], xyz[3];
    ephem_accuracy::MoonGeocentric(tt, ephem_accuracy::HaveFullTheories(), p);
    eraPnm80(tt, 0.0, rnp);
    eraRxp(rnp, p, q);
    const double gast = eraGst94(jdUt, 0.0);
    const double lonEast = -site.longitude;
    eraGd2gc(1, lonEast, site.latitude, site.elevation, xyz);
    const double observer[3] = {std::cos(gast) * xyz[0] - std::sin(gast) * xyz[1],
                                std::sin(gast) * xyz[0] + std::cos(gast) * xyz[1], xyz[2]};
    double topo[3], ra, dec;
    for (int i = 0; i < 3; ++i) topo[i] = q[i] * ephem_accuracy::kAuMetres - observer[i];
    eraC2s(topo, &ra, &dec);
    *hourAngle = eraAnpm(gast + lonEast - ra);
    *altitude = std::asin(std::sin(site.latitude) * std::sin(dec) +
                          std::cos(site.latitude) * std::cos(dec) * std::cos(*hourAngle));
}

// The reference events of the day around a midnight (hours from it; -99 for
// none): rise, transit (only when the Moon comes up that day), set.
inline void ReferenceEvents(const LocationRecord &site, double midnightJd, double h0,
                            double events[3], bool nearEdge[3]) {
    auto sample = [&](double hours, double *alt, double *ha) {
        ReferenceMoon(site, midnightJd + hours / 24.0, alt, ha);
        *alt -= h0;
    };
    auto bisect = [&](double lo, double hi, bool hourAngle, bool lowNegative) {
        for (int k = 0; k < 40; ++k) {
            const double mid = 0.5 * (lo + hi);
            double a, ha;
            sample(mid, &a, &ha);
            (((hourAngle ? ha : a) < 0) == lowNegative ? lo : hi) = mid;
        }
        return 0.5 * (lo + hi);
    };
    for (int k = 0; k < 3; ++k) {
        events[k] = -99.0;
        nearEdge[k] = false;
    }
    const double step = 0.2;
    double a0, ha0;
    sample(-12.0, &a0, &ha0);
    bool everUp = a0 >= 0;
    for (double x = -12.0; x < 12.0 - 1e-9; x += step) {
        double a1, ha1;
        sample(x + step, &a1, &ha1);
        everUp = everUp || a1 >= 0;
        if (events[0] == -99.0 && a0 < 0 && a1 >= 0) events[0] = bisect(x, x + step, false, true);
        if (events[2] == -99.0 && a0 >= 0 && a1 < 0) events[2] = bisect(x, x + step, false, false);
        if (events[1] == -99.0 && ha0 < 0 && ha1 >= 0 && ha1 - ha0 < kPi)
            events[1] = bisect(x, x + step, true, true);
        a0 = a1;
        ha0 = ha1;
    }
    if (!everUp) events[1] = -99.0;
    for (int k = 0; k < 3; ++k)
        nearEdge[k] = events[k] != -99.0 && std::fabs(std::fabs(events[k]) - 12.0) < kEdgeHours;
}

inline void Section() {
    struct SiteCase {
        const char *name;
        double lat, lonWest, zone;
    } sites[] = {{"Greenwich", 51.48, 0.0, 0.0},     {"Cape Town", -33.9, -18.4, 2.0},
                 {"Mauna Kea", 19.82, 155.47, -10.0}, {"Reykjavik", 64.1, 21.9, 0.0},
                 {"Dead Sea", 31.5, -35.5, 2.0},     {"Tromso", 69.65, -18.96, 1.0},
                 {"Hobart", -42.88, -147.33, 10.0},   {"Punta Arenas", -53.16, 70.91, -3.0},
                 {"Ushuaia", -54.80, 68.30, -3.0}};
    const int kNights = benchutil::QuickRun() ? 6 : 60;
    std::printf("Moon rise, transit and set (ComputeSunMoonTimes) against an altitude search of %s,\n"
                "  %d days per site 1980-2030, events within 20 s of the day's edges left out\n",
                ephem_accuracy::HaveFullTheories() ? "libnova's ELP 2000-82B with ERFA"
                                                   : "ERFA (eraMoon98; libnova not installed)",
                kNights);
    int allEvents = 0, allOnly = 0;
    double allWorst = 0.0;
    for (const SiteCase &sc : sites) {
        LocationRecord site;
        InitLocationRecord(&site, sc.lonWest * kPi / 180.0, sc.lat * kPi / 180.0, 0.0, 6.5, 0.0,
                           10.0, 50.0, 2, 0.0, sc.zone, sc.name);
        const double h0 = GetRiseAltitudeInForce(&site, 0.0, kRiseKindMoon);
        double worst = 0.0, worstDate = 0.0;
        int events = 0, onlyProgram = 0, onlyReference = 0;
        for (int i = 0; i < kNights; ++i) {
            DateRecord day;
            std::memset(&day, 0, sizeof day);
            day.julianDate = 2444239.5 + i * 304.57;  // 1980-2030
            SetDateRecordFromJulianDate(&site, &day);
            DateRecord date;
            std::memset(&date, 0, sizeof date);
            SetDateRecord(&date, &site, day.month, day.day, day.year, 12.0, kLocalTime);
            ComputeDeltaTAndNutation(&date, 0.0);
            ComputeSiderealTimes(&site, &date);
            double t[8];
            if (ComputeSunMoonTimes(&site, &date, 0.2, t) != 1) continue;
            DateRecord midnight;
            SetDateRecordToLocalMidnight(&site, &date, &midnight);
            double reference[3];
            bool nearEdge[3];
            ReferenceEvents(site, midnight.julianDate, h0, reference, nearEdge);
            const double program[3] = {t[5], t[6], t[7]};
            for (int k = 0; k < 3; ++k) {
                if (nearEdge[k]) continue;
                const bool given = program[k] > 0.0 || (program[k] == 0.0 && k == 1);
                if (reference[k] == -99.0) {
                    if (given) ++onlyProgram;
                    continue;
                }
                if (!given) {
                    ++onlyReference;
                    continue;
                }
                ++events;
                const double local = ReduceModuloPositive(reference[k], 24.0);
                const double difference = std::fabs(std::remainder(program[k] - local, 24.0)) * 3600.0;
                if (difference > worst) {
                    worst = difference;
                    worstDate = date.decimalYear;
                }
            }
        }
        std::printf("  %-12s (%6.2f)  %4d events, largest difference %8.2f s at %.2f;"
                    " given alone %d, missed %d\n",
                    sc.name, sc.lat, events, worst, worstDate, onlyProgram, onlyReference);
        allEvents += events;
        allOnly += onlyProgram + onlyReference;
        allWorst = std::fmax(allWorst, worst);
    }
    std::printf("  %-12s           %4d events, largest difference %8.2f s\n", "all sites", allEvents,
                allWorst);
    benchutil::ProgramTally().Check("Moon rise, transit and set, nine sites 70N-55S", allWorst, "s", 10.0);
    benchutil::ProgramTally().Require("no event given or missed by one side alone", allOnly == 0);
}

}  // namespace moontimes_accuracy
