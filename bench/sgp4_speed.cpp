// Propagations per second of the SGP4/SDP4 propagators, against python3-sgp4
// in the same run (its C++ accelerated path when the installed package has
// one, else its pure-Python path, named in the output). Near-Earth: the ISS
// of 2008; deep space: the Molniya 08195 and the geostationary 24208 of the
// verification file of "Revisiting Spacetrack Report #3".
//
// Speed is never judged: the run fails only when a propagation of a case
// fails (a wrong result) or the peer cannot be run (a missing section).
//
// Usage: sgp4_speed [--short] [python interpreter]   (--short: fewer rounds
// and a quarter second of the peer per case)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/benchutil.h"
#include "ephem/sgp4.h"

namespace {

struct Case {
    const char *name;
    const char *line1;
    const char *line2;
};

const Case kCases[] = {
    {"ISS (near-Earth)", "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927",
     "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537"},
    {"08195 (deep, half-day resonance)",
     "1 08195U 75081A   06176.33215444  .00000099  00000-0  11873-3 0   813",
     "2 08195  64.1586 279.0717 6877146 264.7651  20.2257  2.00491383225656"},
    {"24208 (deep, one-day resonance)",
     "1 24208U 96044A   06177.04061740 -.00000094  00000-0  10000-3 0  1600",
     "2 24208   3.8536  80.0121 0026640 311.0977  48.3000  1.00778054 36119"},
};

// Rate of propagations over a day in one-minute steps, repeated.
double Rate(const Case &c, int rounds) {
    TwoLineElementSet e;
    if (ParseTwoLineElements(c.line1, c.line2, &e) != kTleGood) return 0.0;
    SatellitePropagatorState state;
    InitSatellitePropagator(&state, &e);
    double r[3], v[3], sink = 0.0;
    auto start = std::chrono::steady_clock::now();
    long n = 0;
    for (int k = 0; k < rounds; ++k) {
        for (int minute = 0; minute < 1440; ++minute) {
            PropagateSatellite(minute, &e, &state, r, v);
            sink += r[0];
            ++n;
        }
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (sink == 12345.678) std::printf(" ");
    return n / seconds;
}

const char *kPython = R"(
import sys, time
from sgp4.api import Satrec, WGS72, accelerated
cases = [
  ("%s", "%s", "%s"),
  ("%s", "%s", "%s"),
  ("%s", "%s", "%s"),
]
print("python3-sgp4 path: %%s" %% ("C++ accelerated" if accelerated else "pure Python"))
for name, l1, l2 in cases:
    s = Satrec.twoline2rv(l1, l2, WGS72)
    jd, fr = s.jdsatepoch, s.jdsatepochF
    n = 0
    t0 = time.perf_counter()
    while time.perf_counter() - t0 < %s:
        for m in range(1440):
            s.sgp4(jd, fr + m / 1440.0)
        n += 1440
    print("  %%-34s %%12.0f propagations/s" %% (name, n / (time.perf_counter() - t0)))
)";

}  // namespace

int main(int argc, char **argv) {
    const bool quick = benchutil::TakeShortSwitch(&argc, argv);
    benchutil::Tally tally;
    std::printf("sgp4_speed: this propagator (one day in one-minute steps, repeated)\n");
    for (const Case &c : kCases) {
        const double rate = Rate(c, quick ? 20 : 200);
        std::printf("  %-34s %12.0f propagations/s\n", c.name, rate);
        tally.Require(c.name, rate > 0.0);
    }
    const std::string python = argc > 1 ? std::string(argv[1]) : benchutil::PythonWith("sgp4.api");
    if (python.empty()) {
        tally.Missing("python3-sgp4", "not installed");
        return tally.Finish("sgp4_speed");
    }
    char script[4096];
    std::snprintf(script, sizeof script, kPython, kCases[0].name, kCases[0].line1, kCases[0].line2,
                  kCases[1].name, kCases[1].line1, kCases[1].line2, kCases[2].name,
                  kCases[2].line1, kCases[2].line2, quick ? "0.25" : "1.0");
    benchutil::ScratchFolder scratch("sgp4_speed");
    const std::string path = scratch.file("peer.py");
    std::FILE *f = scratch.ok() ? std::fopen(path.c_str(), "w") : nullptr;
    if (!f) {
        tally.Missing("python3-sgp4", "no scratch folder");
        return tally.Finish("sgp4_speed");
    }
    std::fputs(script, f);
    std::fclose(f);
    std::string command = python + " " + path;
    std::fflush(stdout);
    if (std::system(command.c_str()) != 0) tally.Missing("python3-sgp4", "the peer did not run");
    return tally.Finish("sgp4_speed");
}
