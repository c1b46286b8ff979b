// Designation recognition over a list of designations as log files write
// them: the share recognised and the time per designation, through the
// importer's recognition with retries, on a demo installation's catalogues.
// usage: recognition DEMO_FOLDER [LIST_FILE]   (LIST_FILE: one designation a
// line; without it a built-in list of stars, deep-sky objects, planets and
// texts that name nothing is used)
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

const char *const kBuiltIn[] = {
    "Sirius", "Vega", "Arcturus", "Capella", "Rigel", "Betelgeuse", "Polaris", "alpha Cen A",
    "Alpha Lyr", "beta Ori", "delta Cep", "zeta Pup", "alpha Lep", "Alpha Canis Majoris",
    "61 Cyg", "3 Lyr", "HR 7001", "HR7001", "HD 48915", "HD48915", "HIP 91262", "SAO 67174",
    "M31", "M 42", "m13", "M45", "NGC224", "NGC 7000", "ngc 7000", "N7000", "IC 434", "IC434",
    "Andromeda Galaxy", "Orion Nebula", "The Pleiades", "LMC", "Omega Centauri", "Collinder 399",
    "Melotte 111", "B 33", "Sh 2-155", "Abell 39", "PK 64+5.1", "Palomar 12", "HCG 92",
    "Jupiter", "Saturn", "Moon", "Titan", "Io", "Cyg", "Orion", "Ursa Major", "2P/Encke",
    "C/1995 O1 (Hale-Bopp)", "(433) Eros", "0433-Eros", "Zenith", "Nothing at all", "XYZ 123"};

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
            while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.pop_back();
            if (!t.empty()) list.push_back(t);
        }
        std::fclose(f);
    } else {
        for (const char *t : kBuiltIn) list.push_back(t);
    }
    int recognised = 0;
    auto start = std::chrono::steady_clock::now();
    for (const std::string &t : list) {
        ObjectRecord records[3];
        int n = RecognizeDesignationWith(IdentifyObjectText, nullptr, nullptr, nullptr, t.c_str(),
                                         records);
        if (n >= 1) ++recognised;
        if (argc > 3 || std::getenv("RECOGNITION_VERBOSE"))
            std::printf("%-28s %2d class %2d index %d\n", t.c_str(), n, +records[0].objectClass,
                        static_cast<int>(records[0].index));
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("designations %zu, recognised %d (%.1f %%), %.3f ms per designation\n", list.size(),
                recognised, list.empty() ? 0.0 : 100.0 * recognised / list.size(),
                list.empty() ? 0.0 : 1000.0 * seconds / list.size());
    return 0;
}
