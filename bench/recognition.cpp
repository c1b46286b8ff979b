// Designation recognition over a mix of designations as log files write them:
// whether each gives its object and the speed, through the importer's
// recognition with retries, on a demo installation (its data, data disc and
// user folders, as the program finds them after start-up). The speed is
// that of recognition as the picker's Search calls it, without a site or
// date (RECOGNITION_DATE set: with them, as the importer calls it, which
// adds the bodies' places and rise and set times); the results are checked
// with a site and date, so that bodies are built. The first
// designation after start-up is timed alone (the catalogues are read on
// first use), then the mix is walked once and then repeatedly until at least
// 30,000 designations were recognised (3,000 with --short); the steady speed
// is also given as a ratio to the time of one in-memory binary search
// (std::lower_bound over the sorted texts of the mix) per designation.
//
// The built-in mix holds about a third of texts that name nothing, a third of
// names (proper names, Bayer and Flamsteed forms, common names, variable-star
// names) and a third of catalogue designations and bodies; each carries the
// class it must give. A designation that gives another class (or none, or
// one where none is right) is a wrong result and fails the run, as does a
// missing demo folder; a time never does.
//
// usage: recognition [--short] [DEMO_FOLDER [LIST_FILE]]
//   DEMO_FOLDER  made by tools/make_demo.py --build BUILD (BUILD/demo); else
//                the one named by GLEANER_BENCH_DEMO (tools/run_benches.sh
//                makes one per run), else one made here in a scratch folder
//   LIST_FILE    one designation a line, "#" lines ignored, optionally a tab
//                and the class it must give (0: none); without it the
//                built-in mix
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "app/recognizeretry.h"
#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "bench/benchutil.h"
#include "core/datapaths.h"
#include "core/mathutil.h"
#include "core/userfolder.h"
#include "ephem/ephemload.h"
#include "minorbodies/dbfolders.h"
#include "objects/minorbodyservices.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"

namespace {

// No class: the text must stay unrecognised.
const int kNothing = kClassNone;
// Any class: the run only counts whether it was recognised.
const int kUnchecked = -1;

struct MixEntry {
    const char *text;
    int objectClass;
};

const MixEntry kBuiltIn[] = {
    // Names: proper names, Bayer and Flamsteed forms, common names, variables.
    {"Sirius", kClassStar}, {"Vega", kClassStar}, {"Arcturus", kClassStar},
    {"Capella", kClassStar}, {"Rigel", kClassStar}, {"Betelgeuse", kClassStar},
    {"Polaris", kClassStar}, {"alpha Cen A", kClassStar}, {"Alpha Lyr", kClassStar},
    {"beta Ori", kClassStar}, {"delta Cep", kClassStar}, {"zeta Pup", kClassStar},
    {"alpha Lep", kClassStar}, {"Alpha Canis Majoris", kClassStar}, {"61 Cyg", kClassStar},
    {"3 Lyr", kClassStar}, {"9 Cap", kClassStar}, {"Merope", kClassStar},
    {"Atlas", kClassStar}, {"Andromeda Galaxy", kClassGalaxy},
    {"Orion Nebula", kClassBrightNebula}, {"The Pleiades", kClassOpenCluster},
    {"Omega Centauri", kClassGlobularCluster},
    // Catalogue designations and bodies.
    {"HR 7001", kClassStar}, {"HR7001", kClassStar}, {"HD 48915", kClassStar},
    {"HD48915", kClassStar}, {"HIP 91262", kClassStar}, {"SAO 67174", kClassStar},
    {"M31", kClassGalaxy}, {"M 42", kClassBrightNebula}, {"m13", kClassGlobularCluster},
    {"M45", kClassOpenCluster}, {"NGC224", kClassGalaxy}, {"NGC 7000", kClassBrightNebula},
    {"ngc 7000", kClassBrightNebula}, {"N7000", kClassBrightNebula},
    {"IC 434", kClassBrightNebula}, {"IC434", kClassBrightNebula},
    {"Collinder 399", kClassOpenCluster}, {"Melotte 111", kClassOpenCluster},
    {"B 33", kClassDarkNebula}, {"Sh 2-155", kClassBrightNebula}, {"HCG 92", kClassGalaxyGroup},
    {"Cyg", kClassConstellation}, {"Orion", kClassConstellation},
    {"Ursa Major", kClassConstellation}, {"M31 and M32", kClassGalaxy},
    {"Jupiter", kUnchecked}, {"Saturn", kUnchecked}, {"Moon", kUnchecked},
    {"Titan", kUnchecked}, {"Io", kUnchecked}, {"2P/Encke", kUnchecked},
    {"C/1995 O1 (Hale-Bopp)", kUnchecked}, {"(433) Eros", kUnchecked},
    {"0433-Eros", kUnchecked}, {"LMC", kUnchecked}, {"Abell 39", kUnchecked},
    {"PK 64+5.1", kUnchecked}, {"Palomar 12", kUnchecked},
    // Texts that name nothing: misspellings, numbers beyond a catalogue, words.
    {"Zenith", kClassReferencePoint}, {"Nothing at all", kNothing}, {"XYZ 123", kNothing},
    {"Andromeda Galxy", kNothing}, {"Sirus", kNothing}, {"Vega star", kNothing},
    {"Orion Nebular", kNothing}, {"the double cluster in Perseus", kNothing},
    {"M 111", kNothing}, {"NGC 99999", kNothing}, {"HD 0", kNothing},
    {"Barnard's Loop?", kNothing}, {"meteor shower", kNothing}, {"Comet Hale Bopp", kNothing},
    {"jupiter moons", kNothing}, {"ISS", kNothing}, {"dark sky", kNothing},
    {"globular in Hercules", kNothing}};

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Processor seconds of the process since a std::clock() reading: on a
// loaded machine the wall time of a phase includes the time other programs
// ran, its processor time does not.
double CpuSecondsSince(std::clock_t start) {
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// The demo installation: the folder given, GLEANER_BENCH_DEMO, or one made
// in the scratch folder; "" when there is none.
std::string FindDemo(int argc, char **argv, const benchutil::ScratchFolder &scratch) {
    if (argc > 1) return argv[1];
    const char *shared = std::getenv("GLEANER_BENCH_DEMO");
    if (shared && shared[0]) return shared;
    if (!scratch.ok()) return "";
    std::printf("making a demo installation in %s\n", scratch.path().c_str());
    std::fflush(stdout);
    std::string command = "python3 \"" + benchutil::SourceRoot() + "/tools/make_demo.py\" --build \"" +
                          scratch.path() + "\" > /dev/null";
    if (std::system(command.c_str()) != 0) return "";
    return scratch.path() + "/demo";
}

bool ReadList(const char *path, std::vector<MixEntry> *mix, std::vector<std::string> *texts) {
    FILE *f = std::fopen(path, "r");
    if (!f) return false;
    char line[512];
    std::vector<int> classes;
    while (std::fgets(line, sizeof line, f)) {
        std::string t(line);
        while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.pop_back();
        if (t.empty() || t[0] == '#') continue;
        int objectClass = kUnchecked;
        size_t tab = t.find('\t');
        if (tab != std::string::npos) {
            std::string rest = t.substr(tab + 1);
            if (!rest.empty() && rest[0] >= '0' && rest[0] <= '9') objectClass = std::atoi(rest.c_str());
            t.resize(tab);
        }
        texts->push_back(t);
        classes.push_back(objectClass);
    }
    std::fclose(f);
    for (size_t i = 0; i < texts->size(); ++i) mix->push_back({(*texts)[i].c_str(), classes[i]});
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    const bool quick = benchutil::TakeShortSwitch(&argc, argv);
    benchutil::ScratchFolder scratch("gleaner_bench_recognition");
    std::string demo = FindDemo(argc, argv, scratch);
    std::string user = demo + "/user";
    if (demo.empty() || !PathExists((demo + "/disc/ref/stars.bin").c_str()) ||
        !PathExists(user.c_str())) {
        std::fprintf(stderr, "no demo installation (run tools/make_demo.py --build BUILD): %s\n",
                     demo.c_str());
        return 1;
    }
    // As the program's start-up leaves them: the catalogue folders, the
    // minor-body databases and the ephemeris tables, the user folder.
    std::string ref0 = demo + "/data/ref/", ref1 = demo + "/disc/ref/";
    std::string ss0 = demo + "/data/ss/", ss1 = demo + "/disc/ss/";
    SetRefDirectories(ref0.c_str(), ref1.c_str(), ref1.c_str());
    SetMinorBodyDatabaseFolders(ss0.c_str(), ss1.c_str());
    ConnectMinorBodyServices();
    std::vector<char> ssPath(ss0.begin(), ss0.end());
    ssPath.push_back('\0');
    LoadEphemerisData(ssPath.data());
    SetUserDataFolder(user.c_str());

    std::vector<MixEntry> mix;
    std::vector<std::string> listTexts;
    if (argc > 2) {
        if (!ReadList(argv[2], &mix, &listTexts)) {
            std::fprintf(stderr, "cannot open %s\n", argv[2]);
            return 2;
        }
    } else {
        mix.assign(std::begin(kBuiltIn), std::end(kBuiltIn));
    }
    if (mix.empty()) {
        std::fprintf(stderr, "no designations\n");
        return 2;
    }
    const bool verbose = std::getenv("RECOGNITION_VERBOSE") != nullptr;

    // An evening at a mid-northern site: the bodies have places.
    LocationRecord site;
    std::memset(&site, 0, sizeof site);
    InitLocationRecord(&site, 0.0, 50.0 * kPi / 180.0, 100.0, 6.0, 0.0, 10.0, 50.0, 2, 0.0, 0.0,
                       "Bench Site");
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    SetDateRecord(&date, &site, 1, 15, 2026, 22.0, kLocalTime);
    ComputeDeltaTAndNutation(&date, 0.0);
    ComputeSiderealTimes(&site, &date);

    // The timed walks recognise as the picker's Search does, without a site
    // or date (RECOGNITION_DATE set: with them, as the importer does, which
    // adds the bodies' places and rise and set times to the cost); the walk
    // that checks the results has them, so that bodies are built.
    const bool withDate = std::getenv("RECOGNITION_DATE") != nullptr;
    auto recognise = [&](const char *text, ObjectRecord records[3], bool dated) {
        return RecognizeDesignationWith(IdentifyObjectText, nullptr, dated ? &site : nullptr,
                                        dated ? &date : nullptr, text, records);
    };

    // The first designation after start-up, alone: the cold lookup.
    ObjectRecord first[3];
    std::clock_t cpu = std::clock();
    auto start = std::chrono::steady_clock::now();
    recognise(mix[0].text, first, withDate);
    const double coldFirst = SecondsSince(start);
    const double coldFirstCpu = CpuSecondsSince(cpu);

    // The first walk: the rest of the catalogues are read.
    start = std::chrono::steady_clock::now();
    for (const MixEntry &e : mix) {
        ObjectRecord records[3];
        recognise(e.text, records, withDate);
    }
    const double firstWalk = SecondsSince(start);

    // The results, with a site and date.
    int recognised = 0, wrong = 0;
    for (const MixEntry &e : mix) {
        ObjectRecord records[3];
        int n = recognise(e.text, records, true);
        int got = n >= 1 ? +records[0].objectClass : kNothing;
        if (n >= 1) ++recognised;
        bool right = e.objectClass == kUnchecked || got == e.objectClass;
        if (!right) {
            ++wrong;
            std::printf("WRONG: \"%s\" gives class %d, must give %d\n", e.text, got, e.objectClass);
        }
        if (verbose)
            std::printf("%-32s %2d class %2d index %d\n", e.text, n, got,
                        static_cast<int>(records[0].index));
    }

    // Steady: whole walks of the mix until the count.
    const size_t atLeast = quick ? 3000 : 30000;
    const size_t rounds = (atLeast + mix.size() - 1) / mix.size();
    const size_t total = rounds * mix.size();
    long checksum = 0;
    cpu = std::clock();
    start = std::chrono::steady_clock::now();
    for (size_t r = 0; r < rounds; ++r)
        for (const MixEntry &e : mix) {
            ObjectRecord records[3];
            checksum += recognise(e.text, records, withDate);
        }
    const double steady = SecondsSince(start);
    const double steadyCpu = CpuSecondsSince(cpu);

    // Reference: one binary search in memory per designation, same count.
    std::vector<std::string> sorted;
    for (const MixEntry &e : mix) sorted.push_back(e.text);
    std::sort(sorted.begin(), sorted.end());
    long found = 0;
    size_t searches = 0;
    start = std::chrono::steady_clock::now();
    for (size_t r = 0; r < rounds; ++r)
        for (const MixEntry &e : mix) {
            auto it = std::lower_bound(sorted.begin(), sorted.end(), e.text);
            found += it != sorted.end() && *it == e.text;
            ++searches;
        }
    const double search = SecondsSince(start);

    const double perDesignation = steady / total;
    std::printf("demo %s, user folder %s; timed %s a site and date\n", demo.c_str(), user.c_str(),
                withDate ? "with" : "without");
    std::printf("mix: %zu designations, recognised %d, not recognised %zu (%.1f %%), wrong %d\n",
                mix.size(), recognised, mix.size() - recognised,
                100.0 * (mix.size() - recognised) / mix.size(), wrong);
    std::printf("cold first lookup (\"%s\"): %.1f us = %.1f steady lookups\n", mix[0].text,
                1e6 * coldFirst, coldFirst / perDesignation);
    std::printf("cold first lookup, processor time: %.1f us = %.1f steady lookups' processor time\n",
                1e6 * coldFirstCpu, steadyCpu > 0 ? coldFirstCpu / (steadyCpu / total) : 0.0);
    std::printf("first walk: %.1f us per designation\n", 1e6 * firstWalk / mix.size());
    std::printf("steady: %zu designations in %.3f s: %.0f designations/s, %.2f us each\n", total,
                steady, total / steady, 1e6 * perDesignation);
    std::printf("steady, processor time: %.0f designations per processor second\n",
                steadyCpu > 0 ? total / steadyCpu : 0.0);
    std::printf("in-memory binary search: %zu in %.6f s: %.3f us each\n", searches, search,
                1e6 * search / searches);
    std::printf("ratio recognition / binary search: %.0f\n", search > 0 ? steady / search : 0.0);
    if (checksum < 0 || found < 0) std::printf("checksum %ld %ld\n", checksum, found);
    std::printf("recognition: %d wrong results\n", wrong);
    return wrong == 0 ? 0 : 1;
}
