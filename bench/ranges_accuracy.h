// Range section of the astro_accuracy benchmark: where each theory holds
// and what the program does beyond it.
// - Pluto: the series (Meeus ch. 37, valid 1885-2099) against libnova's copy
//   of the same series inside its range; Standish's Keplerian elements that
//   take over outside it, against the series over the series' range (an
//   independent fit); the steps at the hand-over dates; no place beyond
//   3000 BC - AD 3000.
// - The Moon: the program's series (Meeus ch. 47, 60 terms) against the full
//   ELP 2000-82B (libnova), century by century from 1000 to 3000: the
//   truncation stays a few arcseconds; further out the series' mean
//   arguments and Delta T, not the theory, set the error.
// - Delta T: the model's extrapolation past the last observed value
//   (kDeltaTObservedEnd), printed for 2025, 2050, 2100 and 2150 beside the
//   step where it meets the long-term parabola; there is no observation to
//   judge it by.
// Included by astro_accuracy.cpp inside its ERFA branch, with the tables
// loaded.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/datetime.h"
#include "astro/deltat.h"
#include "bench/benchutil.h"
#include "bench/ephem_accuracy.h"
#include "core/mathutil.h"
#include "ephem/bodyrecord.h"
#include "ephem/planetseries.h"
#include "ephem/pluto.h"

namespace ranges_accuracy {

const double kToArcsec = 648000.0 / kPi;
// Standish's stated error of the elements over 3000 BC - AD 3000 (RA).
const double kPlutoElementsTolerance = 400.0;
// The series against libnova's copy of the same series, inside its range.
const double kPlutoSeriesTolerance = 0.5;
// The Moon's 60-term series against ELP 2000-82B, 1000-3000.
const double kMoonTruncationTolerance = 30.0;

inline void PlutoPart(benchutil::Tally *tally) {
    std::printf("Ranges: Pluto (series 1885-2099, Standish's elements 3000 BC - AD 3000, no place beyond)\n");
    double seriesVsNova = 0.0, elementsVsSeries = 0.0, step = 0.0;
    for (double year = 1885.0; year < 2100.0; year += benchutil::QuickRun() ? 1.0 : 0.1) {
        const double jd = 2451545.0 + (year - 2000.0) * 365.25;
        double l1, b1, r1, l2, b2, r2;
        EvaluatePlutoSeries(jd, &l1, &b1, &r1);
        EvaluatePlutoElements(jd, &l2, &b2, &r2);
        elementsVsSeries = std::fmax(elementsVsSeries, AngularSeparation(l1, b1, l2, b2) * kToArcsec);
#ifdef EPHEM_ACCURACY_HAVE_NOVA
        struct ln_helio_posn h;
        ln_get_pluto_helio_coords(jd, &h);
        seriesVsNova = std::fmax(seriesVsNova, AngularSeparation(l1, b1, h.L * kPi / 180.0, h.B * kPi / 180.0) * kToArcsec);
#endif
    }
    for (double edge : {kPlutoSeriesFirstJd, kPlutoSeriesLastJd}) {
        HeliocentricPlace before, after;
        ComputePlutoHeliocentric((edge - 0.001 - 2451545.0) / 36525.0, &before);
        ComputePlutoHeliocentric((edge + 0.001 - 2451545.0) / 36525.0, &after);
        step = std::fmax(step, AngularSeparation(before.longitude, before.latitude, after.longitude, after.latitude) *
                                   kToArcsec);
    }
    // What the series alone would have answered outside its range.
    for (double year : {1600.0, 1800.0, 2300.0, 2500.0}) {
        const double jd = 2451545.0 + (year - 2000.0) * 365.25;
        double l1, b1, r1, l2, b2, r2;
        EvaluatePlutoSeries(jd, &l1, &b1, &r1);
        EvaluatePlutoElements(jd, &l2, &b2, &r2);
        std::printf("  %.0f: the series alone would be %.2f deg from the elements\n", year,
                    AngularSeparation(l1, b1, l2, b2) * 180.0 / kPi);
    }
    if (ephem_accuracy::HaveFullTheories())
        tally->Check("Pluto series against libnova's, 1885-2099", seriesVsNova, "\"", kPlutoSeriesTolerance);
    else
        tally->Missing("Pluto series against libnova", "libnova-dev is not installed");
    tally->Check("Pluto elements against the series, 1885-2099", elementsVsSeries, "\"", kPlutoElementsTolerance);
    tally->Check("Pluto step at the hand-over dates", step, "\"", kPlutoElementsTolerance);
    DateRecord far;
    std::memset(&far, 0, sizeof far);
    far.julianDate = JulianDateFromCalendar(1, 1, 3100, 0.0);
    SetDateRecordFromJulianDate(nullptr, &far);
    ComputeDeltaTAndNutation(&far, 0.0);
    BodyRecord pluto;
    std::memset(&pluto, 0, sizeof pluto);
    pluto.type = kBodyPluto;
    tally->Require("Pluto has no place in AD 3100",
                   ComputeBodyPosition(&far, ComputeEarthHeliocentric(&far), &pluto) == 0);
}

inline void MoonPart(benchutil::Tally *tally) {
    std::printf("Ranges: the Moon's series against ELP 2000-82B, century by century\n");
    if (!ephem_accuracy::HaveFullTheories()) {
        tally->Missing("Moon by century", "libnova-dev is not installed");
        return;
    }
    LocationRecord centre = benchutil::GeocentreSite(6.5);
    double worst = 0.0;
    const int samples = benchutil::QuickRun() ? 10 : 200;
    for (int century = 10; century < 30; century += benchutil::QuickRun() ? 5 : 1) {
        double centuryWorst = 0.0;
        for (int i = 0; i < samples; ++i) {
            const double jd = JulianDateFromCalendar(1, 1, century * 100, 0.0) + i * (36524.0 / samples) + 0.37;
            DateRecord date;
            std::memset(&date, 0, sizeof date);
            date.julianDate = jd;
            SetDateRecordFromJulianDate(&centre, &date);
            ComputeDeltaTAndNutation(&date, 0.0);
            ComputeSiderealTimes(&centre, &date);
            BodyRecord moon;
            std::memset(&moon, 0, sizeof moon);
            moon.type = kBodyMoon;
            if (!ComputeBodyPosition(&date, ComputeEarthHeliocentric(&date), &moon)) continue;
            ComputeBodyTopocentric(&centre, &date, &moon);
            const double tt = jd + date.deltaT;
            double ra, dec;
            ephem_accuracy::ErfaApparent(10, tt, &ra, &dec, true);
            centuryWorst = std::fmax(centuryWorst, AngularSeparation(ra, dec, moon.topocentricRightAscension,
                                                                     moon.topocentricDeclination) *
                                                       kToArcsec);
        }
        std::printf("  %d-%d  %8.2f\"\n", century * 100, century * 100 + 99, centuryWorst);
        worst = std::fmax(worst, centuryWorst);
    }
    tally->Check("Moon against ELP 2000-82B, 1000-2999", worst, "\"", kMoonTruncationTolerance);
}

inline void DeltaTPart() {
    std::printf("Ranges: Delta T observed to %.2f, extrapolated after (no observation to judge it by)\n",
                kDeltaTObservedEnd);
    for (double year : {kDeltaTObservedEnd, 2025.0, 2050.0, 2100.0, 2150.0, 2500.0}) {
        const double jd = JulianDateFromDecimalYear(year);
        std::printf("  %8.2f  %9.2f s\n", year, ComputeModelDeltaTSeconds(year, jd));
    }
}

inline void Section() {
    benchutil::Tally &tally = benchutil::ProgramTally();
    PlutoPart(&tally);
    MoonPart(&tally);
    DeltaTPart();
}

}  // namespace ranges_accuracy
