// Designation recognition over a mix of designations as log files write them:
// the share recognised and the speed, through the importer's recognition with
// retries, on a demo installation's catalogues. The mix is walked once cold
// (the catalogues are read on first use) and then repeatedly until at least
// 30,000 designations were recognised; the steady speed is also given as a
// ratio to the time of one in-memory binary search (std::lower_bound over
// the sorted texts of the mix) per designation.
// usage: recognition DEMO_FOLDER [LIST_FILE]   (LIST_FILE: one designation a
// line, "#" lines and anything after a tab ignored; without it a built-in mix
// of stars, deep-sky objects, bodies and texts that name nothing is used)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/recognizeretry.h"
#include "core/datapaths.h"
#include "core/userfolder.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"

namespace {

// Forty designations that name objects and twenty-two that name nothing (a
// third and more): misspellings, numbers beyond a catalogue, words.
const char *const kBuiltIn[] = {
    "Sirius", "Vega", "Arcturus", "Capella", "Rigel", "Betelgeuse", "Polaris", "alpha Cen A",
    "Alpha Lyr", "beta Ori", "delta Cep", "zeta Pup", "alpha Lep", "Alpha Canis Majoris",
    "61 Cyg", "3 Lyr", "HR 7001", "HR7001", "HD 48915", "HD48915", "HIP 91262", "SAO 67174",
    "M31", "M 42", "m13", "M45", "NGC224", "NGC 7000", "ngc 7000", "N7000", "IC 434", "IC434",
    "Andromeda Galaxy", "Orion Nebula", "The Pleiades", "LMC", "Omega Centauri", "Collinder 399",
    "Melotte 111", "B 33", "Sh 2-155", "Abell 39", "PK 64+5.1", "Palomar 12", "HCG 92",
    "Jupiter", "Saturn", "Moon", "Titan", "Io", "Cyg", "Orion", "Ursa Major", "2P/Encke",
    "C/1995 O1 (Hale-Bopp)", "(433) Eros", "0433-Eros", "Zenith", "Nothing at all", "XYZ 123",
    "Andromeda Galxy", "Sirus", "Vega star", "Orion Nebular", "the double cluster in Perseus",
    "M 111", "NGC 99999", "HD 0", "Barnard's Loop?", "meteor shower", "Comet Hale Bopp",
    "jupiter moons", "ISS", "dark sky", "globular in Hercules", "M31 and M32"};

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: recognition DEMO_FOLDER [LIST_FILE]\n");
        return 2;
    }
    std::string demo = argv[1];
    std::string ref0 = demo + "/data/ref", ref1 = demo + "/disc/ref";
    SetRefDirectories(ref0.c_str(), ref1.c_str(), ref1.c_str());
    std::string user = demo + "/data/user";
    SetUserDataFolder(user.c_str());
    std::vector<std::string> list;
    if (argc > 2) {
        FILE *f = std::fopen(argv[2], "r");
        if (!f) {
            std::fprintf(stderr, "cannot open %s\n", argv[2]);
            return 2;
        }
        char line[512];
        while (std::fgets(line, sizeof line, f)) {
            std::string t(line);
            size_t tab = t.find('\t');
            if (tab != std::string::npos) t.resize(tab);
            while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.pop_back();
            if (!t.empty() && t[0] != '#') list.push_back(t);
        }
        std::fclose(f);
    } else {
        for (const char *t : kBuiltIn) list.push_back(t);
    }
    if (list.empty()) {
        std::fprintf(stderr, "no designations\n");
        return 2;
    }
    bool verbose = std::getenv("RECOGNITION_VERBOSE") != nullptr;

    // Cold: the first walk reads the catalogues.
    int recognised = 0;
    auto start = std::chrono::steady_clock::now();
    for (const std::string &t : list) {
        ObjectRecord records[3];
        int n = RecognizeDesignationWith(IdentifyObjectText, nullptr, nullptr, nullptr, t.c_str(),
                                         records);
        if (n >= 1) ++recognised;
        if (verbose)
            std::printf("%-32s %2d class %2d index %d\n", t.c_str(), n, +records[0].objectClass,
                        static_cast<int>(records[0].index));
    }
    double cold = SecondsSince(start);

    // Steady: whole walks of the mix until 30,000 designations.
    const size_t kAtLeast = 30000;
    size_t rounds = (kAtLeast + list.size() - 1) / list.size();
    size_t total = rounds * list.size();
    long checksum = 0;
    start = std::chrono::steady_clock::now();
    for (size_t r = 0; r < rounds; ++r)
        for (const std::string &t : list) {
            ObjectRecord records[3];
            checksum += RecognizeDesignationWith(IdentifyObjectText, nullptr, nullptr, nullptr,
                                                 t.c_str(), records);
        }
    double steady = SecondsSince(start);

    // Reference: one binary search in memory per designation, same count.
    std::vector<std::string> sorted(list);
    std::sort(sorted.begin(), sorted.end());
    long found = 0;
    size_t searches = 0;
    start = std::chrono::steady_clock::now();
    for (size_t r = 0; r < rounds; ++r)
        for (const std::string &t : list) {
            auto it = std::lower_bound(sorted.begin(), sorted.end(), t);
            found += it != sorted.end() && *it == t;
            ++searches;
        }
    double search = SecondsSince(start);

    size_t unrecognised = list.size() - static_cast<size_t>(recognised);
    std::printf("mix: %zu designations, recognised %d, not recognised %zu (%.1f %%)\n",
                list.size(), recognised, unrecognised, 100.0 * unrecognised / list.size());
    std::printf("cold walk (catalogues read): %.1f us per designation\n",
                1e6 * cold / list.size());
    std::printf("steady: %zu designations in %.3f s: %.0f designations/s, %.2f us each\n", total,
                steady, total / steady, 1e6 * steady / total);
    std::printf("in-memory binary search: %zu in %.6f s: %.3f us each\n", searches, search,
                1e6 * search / searches);
    std::printf("ratio recognition / binary search: %.0f\n", search > 0 ? steady / search : 0.0);
    if (checksum < 0 || found < 0) std::printf("checksum %ld %ld\n", checksum, found);
    return 0;
}
