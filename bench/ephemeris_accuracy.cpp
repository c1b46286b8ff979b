// Accuracy of the ephemerides measured against references run beside them:
// - SGP4/SDP4 over the whole verification set of "Revisiting Spacetrack
//   Report #3" (SGP4-VER.TLE, as python3-sgp4 ships it), each satellite
//   stepped in time order through one propagator state as the reference's
//   verification program steps it, against python3-sgp4 stepped the same
//   way; and every instant again from a fresh state, which must give the
//   same answer bit for bit;
// - the fragments of split comets: every fragment of the numbered comets in
//   kstars-data's element sets (generated into the packaged comet file by
//   tools/gen_minor_bodies.py) placed by the program from its first set,
//   against PyEphem from that fragment's own elements;
// - the maxima of the lunar eclipses of 2000-2050 found by the eclipse
//   search, against the times of greatest eclipse of NASA's Five Millennium
//   Catalog of Lunar Eclipses (Espenak and Meeus), and the shallow penumbral
//   eclipses the search leaves out.
// Every figure is printed beside its tolerance; the exit status is 1 when a
// figure is beyond it or a section's reference is missing.
//
// usage: ephemeris_accuracy [--short]   (--short: fewer comet dates)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/benchutil.h"
#include "bench/comet_fragments_accuracy.h"
#include "bench/lunar_eclipse_accuracy.h"
#include "ephem/sgp4.h"
#include "ephem/tle.h"

namespace {

struct ReferenceState {
    double minutes;
    int error;
    double r[3], v[3];  // km, km/s
};

struct Satellite {
    std::string line1, line2;
    std::vector<ReferenceState> states;
};

bool ReadSgp4Reference(const std::string &path, std::vector<Satellite> *out) {
    FILE *f = std::fopen(path.c_str(), "r");
    if (!f) return false;
    char line[512];
    while (std::fgets(line, sizeof line, f)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        if (line[0] == 'S' && line[1] == ' ') {
            out->push_back(Satellite());
            out->back().line1 = line + 2;
        } else if (line[0] == 'L' && line[1] == ' ' && !out->empty()) {
            out->back().line2 = line + 2;
        } else if (line[0] == 'T' && !out->empty()) {
            ReferenceState s;
            if (std::sscanf(line, "T %lf %d %lf %lf %lf %lf %lf %lf", &s.minutes, &s.error, &s.r[0], &s.r[1],
                            &s.r[2], &s.v[0], &s.v[1], &s.v[2]) == 8)
                out->back().states.push_back(s);
        }
    }
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok && !out->empty();
}

double Distance(const double a[3], const double b[3]) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

void Sgp4Section(benchutil::Tally *tally) {
    std::printf("SGP4/SDP4: the verification set SGP4-VER.TLE stepped in time order, against python3-sgp4\n");
    const std::string python = benchutil::PythonWith("sgp4.api");
    if (python.empty()) {
        tally->Missing("SGP4", "python3-sgp4 is not installed");
        return;
    }
    benchutil::ScratchFolder scratch("ephemeris_accuracy_sgp4");
    const std::string reference = scratch.file("sgp4.txt");
    const std::string command = python + " -I \"" + benchutil::SourceRoot() + "/bench/sgp4_reference.py\" --out \"" +
                                reference + "\"";
    std::vector<Satellite> satellites;
    if (!scratch.ok() || std::system(command.c_str()) != 0 || !ReadSgp4Reference(reference, &satellites)) {
        tally->Missing("SGP4", "the reference states could not be computed");
        return;
    }
    std::printf("  %-7s %-5s %6s %14s %14s %s\n", "number", "model", "times", "position (m)", "velocity (mm/s)",
                "ends");
    std::vector<double> nearErrors, deepErrors;
    double worstNear = 0.0, worstDeep = 0.0, worstVelocity = 0.0, worstRepeat = 0.0;
    int unparsed = 0, endsDiffer = 0, instants = 0;
    for (const Satellite &sat : satellites) {
        TwoLineElementSet e;
        // The set's deliberate checksum faults (33333 to 33335) are read
        // as the reference reads them: the elements count, the check not.
        const int parsed = ParseTwoLineElements(sat.line1.c_str(), sat.line2.c_str(), &e);
        if (parsed < 0) {
            std::printf("  %.5s   refused by the element reader (%d)\n", sat.line1.c_str() + 2, parsed);
            ++unparsed;
            continue;
        }
        const bool deep = IsDeepSpaceOrbit(&e) != 0;
        SatellitePropagatorState stepped;
        InitSatellitePropagator(&stepped, &e);
        double worstR = 0.0, worstV = 0.0;
        int count = 0;
        bool sameEnd = true;
        for (const ReferenceState &ref : sat.states) {
            double r[3], v[3];
            const int status = PropagateSatellite(ref.minutes, &e, &stepped, r, v);
            // The same instant from a fresh state: one answer per instant.
            SatellitePropagatorState fresh;
            InitSatellitePropagator(&fresh, &e);
            double fr[3], fv[3];
            const int freshStatus = PropagateSatellite(ref.minutes, &e, &fresh, fr, fv);
            if (freshStatus != status) sameEnd = false;
            worstRepeat = std::max(worstRepeat, Distance(r, fr) * 1000.0);
            if (ref.error != 0 || status != kPropagationGood) {
                // Both must stop here: the reference ends its walk at its
                // first error, and so must this propagator.
                if ((ref.error != 0) != (status != kPropagationGood)) sameEnd = false;
                break;
            }
            double vs[3] = {v[0] / 60.0, v[1] / 60.0, v[2] / 60.0};
            const double dr = Distance(r, ref.r) * 1000.0;
            const double dv = Distance(vs, ref.v) * 1e6;
            worstR = std::max(worstR, dr);
            worstV = std::max(worstV, dv);
            (deep ? deepErrors : nearErrors).push_back(dr);
            ++count;
            ++instants;
        }
        if (!sameEnd) ++endsDiffer;
        (deep ? worstDeep : worstNear) = std::max(deep ? worstDeep : worstNear, worstR);
        worstVelocity = std::max(worstVelocity, worstV);
        std::printf("  %.5s   %-5s %6d %14.6f %14.6f %s\n", sat.line1.c_str() + 2, deep ? "SDP4" : "SGP4", count,
                    worstR, worstV, sameEnd ? "as the reference" : "DIFFER");
    }
    std::printf("  %zu satellites, %d instants; median position difference %.6f m near the Earth, %.6f m in deep"
                " space\n",
                satellites.size(), instants, Median(nearErrors), Median(deepErrors));
    tally->Check("largest position difference, near the Earth", worstNear, "m", 1.0);
    tally->Check("largest position difference, deep space", worstDeep, "m", 1.0);
    tally->Check("largest velocity difference", worstVelocity, "mm/s", 1.0);
    tally->Check("stepped against fresh state, largest difference", worstRepeat, "m", 0.0);
    tally->Require("every element set read", unparsed == 0);
    tally->Require("every walk ends (decay, error) where the reference's does", endsDiffer == 0);
}

}  // namespace

int main(int argc, char **argv) {
    const bool quick = benchutil::TakeShortSwitch(&argc, argv);
    benchutil::Tally tally;
    Sgp4Section(&tally);
    comet_fragments_accuracy::Section(quick, &tally);
    lunar_eclipse_accuracy::Section(quick, &tally);
    return tally.Finish("ephemeris_accuracy");
}
