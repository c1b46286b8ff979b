// Comet-fragment section of the ephemeris accuracy benchmark: the packaged
// comet file generated from kstars-data's element sets (every comet, its
// fragments among them), and every split numbered comet, whole and
// fragment by fragment, placed by the program from its first set through
// the recognised designation ("73P/Schwassmann-Wachmann 3-B") against
// PyEphem from that comet's own elements (bench/minorbody_reference.py
// --split), at dates 100 days either side of its own perihelion passage.
// Included by ephemeris_accuracy.cpp.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "astro/datetime.h"
#include "astro/sidereal.h"
#include "bench/benchutil.h"
#include "core/mathutil.h"
#include "ephem/ephemload.h"
#include "minorbodies/cometdb.h"
#include "minorbodies/dbfolders.h"

namespace comet_fragments_accuracy {

// The stored elements are single precision (float q, e and angles): over a
// perihelion passage that moves a comet by arcseconds. A place from a
// sibling's elements is degrees off.
const double kToleranceArcsec = 30.0;

inline void Section(bool quick, benchutil::Tally *tally) {
    std::printf("Split comets: each fragment from its own elements, against PyEphem\n");
    const std::string python = benchutil::PythonWith("ephem");
    if (python.empty()) {
        tally->Missing("split comets", "python3-ephem is not installed");
        return;
    }
    benchutil::ScratchFolder scratch("ephemeris_accuracy_comets");
    if (!scratch.ok() || !benchutil::LoadEphemerisTables(scratch)) {
        tally->Missing("split comets", "the ephemeris tables could not be made");
        return;
    }
    const std::string root = benchutil::SourceRoot();
    const std::string generate = "python3 \"" + root + "/tools/gen_minor_bodies.py\" --out \"" + scratch.path() +
                                 "/db\" --elements-out \"" + scratch.path() + "/db\" --max-number 10 --files 1 > /dev/null";
    const std::string reference = scratch.file("split.txt");
    const std::string places = python + " -I \"" + root + "/bench/minorbody_reference.py\" --split --step " +
                               (quick ? "50" : "10") + " --out \"" + reference + "\"";
    if (std::system(generate.c_str()) != 0 || std::system(places.c_str()) != 0) {
        tally->Missing("split comets", "the comet file or the reference places could not be made");
        return;
    }
    const std::string db = scratch.path() + "/db/";
    SetMinorBodyDatabaseFolders(db.c_str(), db.c_str());
    FILE *f = std::fopen(reference.c_str(), "r");
    if (!f) {
        tally->Missing("split comets", "no reference places");
        return;
    }
    char line[512], name[128] = "";
    int index = -1, comets = 0, fragments = 0, notFound = 0, places_ = 0, noPlace = 0;
    double worst = 0.0, worstWhole = 0.0;
    char worstName[128] = "";
    while (std::fgets(line, sizeof line, f)) {
        if (line[0] == 'E') {
            if (std::sscanf(line, "E %127s", name) != 1) continue;
            for (char *p = name; *p; ++p)
                if (*p == '_') *p = ' ';
            uint16_t number = 0;
            char fragment[kCometFragmentSize];
            index = ParsePeriodicCometText(name, &number, fragment)
                        ? (fragment[0] ? FindCometByNumberAndFragment(number, fragment) : FindCometByNumber(number))
                        : -1;
            ++comets;
            if (fragment[0]) ++fragments;
            if (index < 0) {
                std::printf("  %s: not in the comet file\n", name);
                ++notFound;
            }
            continue;
        }
        double jd, deltaT, ra, dec, delta;
        if (line[0] != 'P' || index < 0 ||
            std::sscanf(line, "P %lf %lf %lf %lf %lf", &jd, &deltaT, &ra, &dec, &delta) != 5)
            continue;
        DateRecord date;
        std::memset(&date, 0, sizeof date);
        date.julianDate = jd;
        SetDateRecordFromJulianDate(nullptr, &date);
        ComputeDeltaTAndNutation(&date, deltaT);
        double pra = 0, pdec = 0;
        if (!ComputeCometPosition(&date, index, nullptr, nullptr, nullptr, nullptr, &pra, &pdec, nullptr, nullptr,
                                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)) {
            ++noPlace;
            continue;
        }
        const double sep = AngularSeparation(pra, pdec, ra * kPi / 180.0, dec * kPi / 180.0) * 648000.0 / kPi;
        ++places_;
        char fragment[kCometFragmentSize];
        uint16_t number = 0;
        ParsePeriodicCometText(name, &number, fragment);
        if (!fragment[0]) worstWhole = std::fmax(worstWhole, sep);
        if (sep > worst) {
            worst = sep;
            std::snprintf(worstName, sizeof worstName, "%s", name);
        }
    }
    std::fclose(f);
    std::printf("  %d comets of %d split numbered comets (%d fragments), %d places; the largest difference"
                " for %s\n",
                comets, comets - fragments, fragments, places_, worstName);
    tally->Check("largest difference, whole comets", worstWhole, "\"", kToleranceArcsec);
    tally->Check("largest difference, whole comets and fragments", worst, "\"", kToleranceArcsec);
    tally->Require("every split comet and fragment found by its designation", notFound == 0 && comets > 0);
    tally->Require("every place computed", noPlace == 0 && places_ > 0);
    SetMinorBodyDatabaseFolders("", "");
    FreeEphemerisData();
}

}  // namespace comet_fragments_accuracy
