// What the benchmark programs share: the source tree they were built from,
// a Python that has a given reference module, a scratch folder that is gone
// when the program ends, the --short switch, the packaged ephemeris tables
// (generated once per run of tools/run_benches.sh, else by the bench), and
// the tally of figures against their stated tolerances that decides the
// exit status. A bench fails on a wrong result only (a figure beyond its
// tolerance, a section whose reference or data is missing), never on a time.
#pragma once

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "astro/location.h"
#include "ephem/ephemload.h"

namespace benchutil {

// The source tree of this build (the folder above bench/). The compiler
// names this file relative to the build folder, where the program is made:
// a relative name is taken from the program's own folder.
// A site at the Earth's centre, for geocentric places as the references
// give them (the naked-eye limit matters only to what a caller asks of the
// sky there).
inline LocationRecord GeocentreSite(double nakedEyeLimit) {
    LocationRecord site;
    std::memset(&site, 0, sizeof site);
    InitLocationRecord(&site, 0.0, 0.0, 0.0, nakedEyeLimit, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "Centre");
    site.rhoCosPhi = 0.0;
    site.rhoSinPhi = 0.0;
    return site;
}

inline std::string SourceRoot() {
    std::string file = __FILE__;
    size_t slash = file.rfind("/bench/");
    std::string root = slash == std::string::npos ? std::string(".") : file.substr(0, slash);
    if (!root.empty() && root[0] == '/') return root;
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return root;
    exe[n] = '\0';
    std::string folder(exe);
    folder = folder.substr(0, folder.rfind('/'));
    return folder + "/" + root;
}

// A Python interpreter that imports the module: the one on the path, else
// the system's (where Debian's python3-* packages live); "" when none does.
inline std::string PythonWith(const char *module) {
    for (const char *python : {"python3", "/usr/bin/python3"}) {
        std::string command = std::string(python) + " -I -c \"import " + module + "\" > /dev/null 2>&1";
        if (std::system(command.c_str()) == 0) return python;
    }
    return "";
}

// The quick run of the test command, for sections that size their samples.
inline bool &QuickRun() {
    static bool quick = false;
    return quick;
}

// "--short" anywhere in the arguments: the quick run of the test command.
// It is taken out, so that the other arguments keep their places.
inline bool TakeShortSwitch(int *argc, char **argv) {
    bool found = false;
    int kept = 1;
    for (int i = 1; i < *argc; ++i) {
        if (std::strcmp(argv[i], "--short") == 0)
            found = true;
        else
            argv[kept++] = argv[i];
    }
    *argc = kept;
    QuickRun() = found;
    return found;
}

// A folder below /tmp for generated tables and reference files, removed
// with everything in it when the object goes.
class ScratchFolder {
public:
    explicit ScratchFolder(const char *stem) {
        std::string pattern = std::string("/tmp/") + stem + "_XXXXXX";
        std::string buffer = pattern;
        if (mkdtemp(&buffer[0])) path_ = buffer;
    }
    ~ScratchFolder() {
        if (path_.empty()) return;
        std::string command = "rm -rf \"" + path_ + "\"";
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "scratch folder %s left\n", path_.c_str());
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;
    bool ok() const { return !path_.empty(); }
    const std::string &path() const { return path_; }
    std::string file(const char *name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The packaged ephemeris tables (PLANETS.BIN, moontab.bin, usats.bin,
// nutcon.bin) loaded: from the folder named by GLEANER_BENCH_TABLES (where
// tools/run_benches.sh generates them once for all benches), else generated
// into the scratch folder by the generators of this source tree. 1 loaded.
inline bool LoadEphemerisTables(const ScratchFolder &scratch) {
    std::string folder;
    const char *shared = std::getenv("GLEANER_BENCH_TABLES");
    if (shared && shared[0]) {
        folder = shared;
    } else {
        if (!scratch.ok()) return false;
        folder = scratch.path();
        for (const char *tool : {"gen_ephemeris_tables.py", "gen_nutcon.py"}) {
            std::string command = "python3 \"" + SourceRoot() + "/tools/" + tool + "\" --out \"" + folder +
                                  "\" > /dev/null";
            if (std::system(command.c_str()) != 0) return false;
        }
    }
    if (folder.back() != '/') folder += '/';
    std::vector<char> path(folder.begin(), folder.end());
    path.push_back('\0');
    FreeEphemerisData();
    return LoadEphemerisData(path.data()) == 1;
}

// Figures printed beside their tolerances, and the verdict of the run.
class Tally {
public:
    // One figure: its value, unit and stated tolerance (the largest value
    // that is right); prints the line and counts a figure beyond it.
    void Check(const char *what, double value, const char *unit, double tolerance) {
        const bool within = std::fabs(value) <= tolerance;
        std::printf("  %-52s %12.6g %-6s tolerance %-10g %s\n", what, value, unit, tolerance,
                    within ? "ok" : "BEYOND TOLERANCE");
        ++checked_;
        if (!within) ++beyond_;
    }
    // A condition that must hold (a count, a verdict).
    void Require(const char *what, bool holds) {
        std::printf("  %-52s %s\n", what, holds ? "ok" : "WRONG");
        ++checked_;
        if (!holds) ++beyond_;
    }
    // A section that could not be measured: its reference or data is missing.
    void Missing(const char *section, const char *why) {
        std::printf("  %s: MISSING (%s)\n", section, why);
        ++missing_;
    }
    // The last line of the run and the exit status: 0 when every figure is
    // within its tolerance and no section is missing.
    int Finish(const char *bench) const {
        std::printf("%s: %d figures checked, %d beyond tolerance, %d sections missing\n", bench, checked_,
                    beyond_, missing_);
        return beyond_ == 0 && missing_ == 0 ? 0 : 1;
    }

private:
    int checked_ = 0, beyond_ = 0, missing_ = 0;
};

// The one tally of a program whose sections live in several headers.
inline Tally &ProgramTally() {
    static Tally tally;
    return tally;
}

}  // namespace benchutil
