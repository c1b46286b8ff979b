// Speed of the event searches against PyEphem loops over the same work: a
// century of lunar eclipses (the Moon and the Earth's shadow at the Earth's
// centre), a century of solar eclipses (the Sun and the Moon, seen from
// anywhere on the Earth: the search at the Earth's centre) and a year of
// conjunctions in longitude of the planets Mercury to Neptune (the pair
// search of each of the 21 pairs). Each search runs three times; its
// seconds are given as the minimum and median of the three, beside the
// peer's (bench/search_reference.py, run in the same process's run when
// python3-ephem is present: a loop over the full or new Moons, and a daily
// scan of each pair refined to a second), and the ratio peer / search (1 or
// more: the search is at least as fast as the peer).
// usage: search [--short]
//   --short  two years of eclipses and a quarter-year of conjunctions, one
//            run each; fails only on a wrong result (no lunar eclipse or
//            conjunction found, fewer or more solar eclipses than PyEphem's, a
//            lunar eclipse's maximum more than 15 s from NASA's catalogue),
//            never on a time
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "astro/datetime.h"
#include "astro/location.h"
#include "bench/benchutil.h"
#include "ephem/bodyrecord.h"
#include "ephem/ephemload.h"
#include "events/eclipsesearch.h"
#include "events/eventdates.h"
#include "events/pairsearch.h"
#include "events/tests/lunareclipse_catalogue.h"

namespace {

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The maxima (Julian date UT) of the eclipses of a mode from first to last.
std::vector<double> Eclipses(int mode, double first, double last) {
    std::vector<double> maxima;
    LocationRecord centre = benchutil::GeocentreSite(0.0);
    DateRecord start;
    SetCompletedDate(&centre, first, &start);
    EclipseSearch search;
    if (!BeginEclipseSearch(&centre, &start, &search, last - first, mode, 0, 0, 0, 0, 0, 0, nullptr)) return maxima;
    EclipseContact contacts[kEclipseMaxContacts];
    int result = 0;
    while (NextEclipseEvent(&search, &result, contacts, nullptr, nullptr) > 0) maxima.push_back(contacts[0].time);
    EndEclipseSearch(&search);
    return maxima;
}

// The conjunctions in longitude of every pair of the planets Mercury to
// Neptune from first to last: their count.
int Conjunctions(double first, double last) {
    const int planets[] = {kBodyMercury, kBodyVenus, kBodyMars, kBodyJupiter, kBodySaturn, kBodyUranus, kBodyNeptune};
    LocationRecord centre = benchutil::GeocentreSite(0.0);
    DateRecord start;
    SetCompletedDate(&centre, first, &start);
    int count = 0;
    for (size_t i = 0; i < 7; ++i)
        for (size_t j = i + 1; j < 7; ++j) {
            PairSearch s;
            if (!BeginPairSearch(&s, &centre, &start, last - first, kOneSecondDays, 0.0, 2, planets[i], 0, 2,
                                 planets[j], 0, kCoordinatesGeocentricJ2000, kMeasureLongitude, 0, 0, nullptr))
                return -1;
            double t = 0, m = 0;
            int r;
            while ((r = NextPairEvent(&s, &centre, &t, &m, nullptr)) != kPairEnd)
                if (r != kPairProgress) ++count;
            EndPairSearch(&s);
        }
    return count;
}

struct Timing {
    std::vector<double> seconds;
    double Min() const { return seconds.empty() ? 0 : *std::min_element(seconds.begin(), seconds.end()); }
    double Median() const {
        if (seconds.empty()) return 0;
        std::vector<double> v = seconds;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
};

// The peer's seconds per search (lunar, solar, conjunctions) and counts,
// min over runs; false when PyEphem is absent.
struct Peer {
    Timing lunar, solar, conjunctions;
    int counts[3] = {0, 0, 0};
};

bool RunPeer(int firstYear, int years, int conjunctionYear, int runs, Peer *peer) {
    const std::string python = benchutil::PythonWith("ephem");
    if (python.empty()) return false;
    for (int run = 0; run < runs; ++run) {
        char command[1024];
        std::snprintf(command, sizeof command, "%s -I \"%s/bench/search_reference.py\" %d %d %d", python.c_str(),
                      benchutil::SourceRoot().c_str(), firstYear, years, conjunctionYear);
        FILE *p = popen(command, "r");
        if (!p) return false;
        char name[32];
        int count = 0;
        double seconds = 0;
        int lines = 0;
        while (std::fscanf(p, "%31s %d %lf", name, &count, &seconds) == 3) {
            ++lines;
            Timing *t = std::strcmp(name, "lunar") == 0   ? &peer->lunar
                        : std::strcmp(name, "solar") == 0 ? &peer->solar
                                                          : &peer->conjunctions;
            t->seconds.push_back(seconds);
            peer->counts[t == &peer->lunar ? 0 : t == &peer->solar ? 1 : 2] = count;
        }
        if (pclose(p) != 0 || lines != 3) return false;
    }
    return true;
}

void PrintLine(const char *what, int count, const Timing &ours, const Timing *peer, int peerCount) {
    std::printf("  %-34s %4d found  %8.3f / %8.3f s (min / median)", what, count, ours.Min(), ours.Median());
    if (peer && !peer->seconds.empty() && ours.Min() > 0)
        std::printf("   PyEphem %4d found %7.3f / %7.3f s   ratio PyEphem/search %.3f / %.3f (goal 1)", peerCount,
                    peer->Min(), peer->Median(), peer->Min() / ours.Min(), peer->Median() / ours.Median());
    std::printf("\n");
}

}  // namespace

int main(int argc, char **argv) {
    const bool quick = benchutil::TakeShortSwitch(&argc, argv);
    benchutil::Tally &tally = benchutil::ProgramTally();
    benchutil::ScratchFolder scratch("gleaner_bench_search");
    if (!benchutil::LoadEphemerisTables(scratch)) {
        tally.Missing("searches", "the ephemeris tables could not be made");
        return tally.Finish("search");
    }
    const int firstYear = quick ? 2025 : 2000, years = quick ? 2 : 100, conjunctionYear = 2020, runs = quick ? 1 : 3;
    const double first = JulianDateFromCalendar(1, 1, firstYear, 0.0);
    const double last = JulianDateFromCalendar(1, 1, firstYear + years, 0.0);
    const double conjunctionFirst = JulianDateFromCalendar(1, 1, conjunctionYear, 0.0);
    const double conjunctionLast = quick ? conjunctionFirst + 91.0 : JulianDateFromCalendar(1, 1, conjunctionYear + 1, 0.0);

    Timing lunar, solar, conjunctions;
    std::vector<double> lunarMaxima, solarMaxima;
    int conjunctionCount = 0;
    for (int run = 0; run < runs; ++run) {
        double t = Now();
        lunarMaxima = Eclipses(kEclipseLunar, first, last);
        lunar.seconds.push_back(Now() - t);
        t = Now();
        solarMaxima = Eclipses(kEclipseSolar, first, last);
        solar.seconds.push_back(Now() - t);
        t = Now();
        conjunctionCount = Conjunctions(conjunctionFirst, conjunctionLast);
        conjunctions.seconds.push_back(Now() - t);
    }
    Peer peer;
    const bool havePeer = RunPeer(firstYear, years, conjunctionYear, runs, &peer);
    std::printf("Searches, %d run%s each, %d-%d (conjunctions: %d%s)\n", runs, runs > 1 ? "s" : "", firstYear,
                firstYear + years - 1, conjunctionYear, quick ? ", first quarter" : "");
    if (!havePeer) std::printf("  (python3-ephem absent: no peer figures)\n");
    PrintLine("lunar eclipses", static_cast<int>(lunarMaxima.size()), lunar, havePeer ? &peer.lunar : nullptr,
              peer.counts[0]);
    PrintLine("solar eclipses (Earth's centre)", static_cast<int>(solarMaxima.size()), solar,
              havePeer ? &peer.solar : nullptr, peer.counts[1]);
    PrintLine(quick ? "planet conjunctions, a quarter-year" : "planet conjunctions, a year", conjunctionCount,
              conjunctions, (havePeer && !quick) ? &peer.conjunctions : nullptr, peer.counts[2]);

    // Right results: eclipses found, and the lunar maxima where NASA's
    // catalogue is complete within its tolerance.
    tally.Require("lunar eclipses found", !lunarMaxima.empty());
    // The solar search at the Earth's centre finds the eclipses seen from
    // anywhere on the Earth, as the peer counts them.
    tally.Require("solar eclipses found", !solarMaxima.empty());
    if (havePeer)
        tally.Require("solar eclipses as many as PyEphem's", static_cast<int>(solarMaxima.size()) == peer.counts[1]);
    tally.Require("planet conjunctions found", conjunctionCount > 0);
    double worst = 0;
    int compared = 0;
    for (double ut : lunarMaxima) {
        LocationRecord centre = benchutil::GeocentreSite(0.0);
        DateRecord at;
        SetCompletedDate(&centre, ut, &at);
        const double tt = ut + at.deltaT;
        if (tt < lunareclipse_catalogue::kCompleteFrom || tt > lunareclipse_catalogue::kCompleteTo) continue;
        double nearest = 1e9;
        for (const lunareclipse_catalogue::Row &r : lunareclipse_catalogue::kRows) {
            const double c = JulianDateFromCalendar(r.month, r.day, r.year, r.hour + r.minute / 60.0 + r.second / 3600.0);
            nearest = std::min(nearest, std::fabs(c - tt) * 86400.0);
        }
        worst = std::max(worst, nearest);
        ++compared;
    }
    if (compared > 0)
        tally.Check("worst lunar maximum against NASA's catalogue", worst, "s", 15.0);
    FreeEphemerisData();
    return tally.Finish("search");
}
