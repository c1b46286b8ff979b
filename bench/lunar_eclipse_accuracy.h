// Lunar-eclipse section of the ephemeris accuracy benchmark: the eclipse
// search of the event calendar (the Moon and the Earth's shadow at the
// Earth's centre) over 2000-2050, its maxima against the times of greatest
// eclipse of NASA's Five Millennium Catalog (events/tests/
// lunareclipse_catalogue.h), compared in Terrestrial Time so that the
// catalogue's predicted Delta T does not enter; and the catalogue's eclipses
// the search leaves out: the shallow penumbral eclipses that the overlap
// rule of the search (the Moon's disc reaching 0.825 of the penumbra's
// radius) does not count. Included by ephemeris_accuracy.cpp.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "astro/datetime.h"
#include "astro/location.h"
#include "bench/benchutil.h"
#include "ephem/ephemload.h"
#include "events/eclipsesearch.h"
#include "events/eventdates.h"
#include "events/tests/lunareclipse_catalogue.h"

namespace lunar_eclipse_accuracy {

// Stated tolerance of a maximum against the catalogue, seconds: the Moon's
// series of 60 terms (Meeus, ch. 47; moontab.bin) is off the full ELP
// 2000-82B by up to 7" at these eclipses, which moves a maximum by up to
// 14 s. The shadow's place adds nothing to that.
const double kToleranceSeconds = 15.0;

struct Maximum {
    double tt;  // Julian date TT of the maximum the search found
};

inline double CatalogueTT(const lunareclipse_catalogue::Row &r) {
    return JulianDateFromCalendar(r.month, r.day, r.year, r.hour + r.minute / 60.0 + r.second / 3600.0);
}

inline void Section(bool quick, benchutil::Tally *tally) {
    std::printf("Lunar eclipses: maxima of the eclipse search against NASA's Five Millennium Catalog\n");
    benchutil::ScratchFolder scratch("ephemeris_accuracy_eclipses");
    if (!benchutil::LoadEphemerisTables(scratch)) {
        tally->Missing("lunar eclipses", "the ephemeris tables could not be made");
        return;
    }
    LocationRecord centre = benchutil::GeocentreSite(0.0);
    // The whole span, or (--short) the years where the catalogue rows are
    // complete.
    const double first = quick ? lunareclipse_catalogue::kCompleteFrom : JulianDateFromCalendar(1, 1, 2000, 0.0);
    const double last = quick ? lunareclipse_catalogue::kCompleteTo : JulianDateFromCalendar(1, 1, 2051, 0.0);
    DateRecord start;
    SetCompletedDate(&centre, first, &start);
    EclipseSearch search;
    std::vector<Maximum> found;
    if (!BeginEclipseSearch(&centre, &start, &search, last - first, kEclipseLunar, 0, 0, 0, 0, 0, 0, nullptr)) {
        tally->Missing("lunar eclipses", "the eclipse search could not be set up");
        return;
    }
    EclipseContact contacts[kEclipseMaxContacts];
    int result = 0;
    while (NextEclipseEvent(&search, &result, contacts, nullptr, nullptr) > 0) {
        DateRecord at;
        SetCompletedDate(&centre, contacts[0].time, &at);
        found.push_back({contacts[0].time + at.deltaT});  // Delta T in days
    }
    EndEclipseSearch(&search);
    FreeEphemerisData();

    std::vector<double> differences;
    std::vector<bool> matched(found.size(), false);
    int missedUmbral = 0;
    double worst = 0.0;
    std::printf("  %-6s %-11s %-4s %9s %10s\n", "number", "date", "type", "pen. mag", "found - catalogue (s)");
    for (int i = 0; i < lunareclipse_catalogue::kRowCount; ++i) {
        const lunareclipse_catalogue::Row &r = lunareclipse_catalogue::kRows[i];
        const double tt = CatalogueTT(r);
        if (tt < first || tt > last) continue;
        int hit = -1;
        for (size_t k = 0; k < found.size(); ++k)
            if (std::fabs(found[k].tt - tt) < 0.5) hit = static_cast<int>(k);
        if (hit < 0) {
            std::printf("  %05d  %04d-%02d-%02d  %c    %9.4f    not found (left out: shallow penumbral)\n", r.number,
                        r.year, r.month, r.day, r.type, r.penumbralMagnitude);
            if (r.type != 'N') ++missedUmbral;
            continue;
        }
        matched[hit] = true;
        const double d = (found[hit].tt - tt) * 86400.0;
        differences.push_back(std::fabs(d));
        worst = std::max(worst, std::fabs(d));
        std::printf("  %05d  %04d-%02d-%02d  %c    %9.4f    %+8.2f\n", r.number, r.year, r.month, r.day, r.type,
                    r.penumbralMagnitude, d);
    }
    // Within the span where the catalogue rows are complete, every maximum
    // found must be one of them.
    int unknown = 0;
    for (size_t k = 0; k < found.size(); ++k) {
        if (matched[k] || found[k].tt < lunareclipse_catalogue::kCompleteFrom ||
            found[k].tt > lunareclipse_catalogue::kCompleteTo)
            continue;
        std::printf("  a maximum at JD(TT) %.5f is no eclipse of the catalogue\n", found[k].tt);
        ++unknown;
    }
    std::sort(differences.begin(), differences.end());
    const double median = differences.empty() ? 0.0 : differences[differences.size() / 2];
    std::printf("  %zu maxima compared; median difference %.2f s (the shadow at the Sun's apparent antipode,\n"
                "  enlarged 2%% after Chauvenet for the contacts; greatest eclipse does not depend on it)\n",
                differences.size(), median);
    tally->Check("largest difference of a maximum, 2000-2050", worst, "s", kToleranceSeconds);
    tally->Require("every partial and total eclipse found", missedUmbral == 0 && !differences.empty());
    tally->Require("no maximum that the catalogue does not list (2025-2040)", unknown == 0);
}

}  // namespace lunar_eclipse_accuracy
