// Fuzz target: the packaged ephemeris tables and the catalogues' name indexes
// as damaged files could hold them.
//
// Input: a control byte, then the file. Control bits 0-2 pick it: 0
// "PLANETS.NDX", 1 "PLANETS.BIN", 2 "moontab.bin", 3 "nutcon.bin", 4
// "usats.bin" (the others are the demo installation's, copied into a
// scratch solar-system folder once), 5-7 a name index of 8, 12 or 20-byte
// entries. The tables are loaded and a few positions computed from them; a
// name index is searched and read entry by entry.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "ephem/ephemload.h"
#include "ephem/planetseries.h"
#include "fuzz/fuzzscratch.h"
#include "objects/catfile.h"

namespace {

namespace fs = std::filesystem;

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "table check failed: %s\n", what);
        std::abort();
    }
}

// "<scratch>/ss/" holding the demo's tables; empty when there is no demo.
const std::string &TableFolder() {
    static std::string folder;
    static bool made = false;
    if (made) return folder;
    made = true;
    const char *demo = std::getenv("GLEANER_FUZZ_DEMO");
    if (!demo) return folder;
    std::string to = fuzz::ScratchFolder() + "/ss";
    std::error_code ec;
    fs::create_directories(to, ec);
    for (const char *name : {"PLANETS.NDX", "PLANETS.BIN", "moontab.bin", "nutcon.bin", "usats.bin"})
        fs::copy_file(std::string(demo) + "/data/ss/" + name, to + "/" + name, fs::copy_options::overwrite_existing, ec);
    folder = to + "/";
    return folder;
}

const char *const kTables[5] = {"PLANETS.NDX", "PLANETS.BIN", "moontab.bin", "nutcon.bin", "usats.bin"};

void Table(int which, const uint8_t *data, size_t size) {
    const std::string &folder = TableFolder();
    if (folder.empty()) return;
    std::string path = folder + kTables[which];
    std::string kept;
    {
        FILE *f = std::fopen(path.c_str(), "rb");
        if (f) {
            char b[65536];
            size_t n;
            while ((n = std::fread(b, 1, sizeof b, f)) > 0) kept.append(b, n);
            std::fclose(f);
        }
    }
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    char directory[512];
    std::snprintf(directory, sizeof directory, "%s", folder.c_str());
    if (LoadEphemerisData(directory)) {
        for (int body = 1; body <= 8; ++body) {
            HeliocentricPlace place;
            ComputeHeliocentricPlanet(body, 0.1, &place);
        }
    }
    FreeEphemerisData();
    f = std::fopen(path.c_str(), "wb");
    if (f) {
        std::fwrite(kept.data(), 1, kept.size(), f);
        std::fclose(f);
    }
}

void NameIndex(int width, const uint8_t *data, size_t size) {
    Check(fuzz::WriteScratchFile("names.bin", data, size), "write index");
    FILE *f = std::fopen((fuzz::ScratchFolder() + "/names.bin").c_str(), "rb");
    if (!f) return;
    char text[64];
    for (int entry = 0; entry <= 40; ++entry) {
        if (ReadNameIndexEntry(f, entry, width, text) >= 0)
            Check(std::memchr(text, 0, (size_t)width - 1) != nullptr, "name terminated");
    }
    FindInNameIndex(f, width, "M 31");
    FindInNameIndex(f, width, "");
    std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    int which = data[0] & 7;
    if (which < 5)
        Table(which, data + 1, size - 1);
    else
        NameIndex(which == 5 ? 8 : which == 6 ? 12 : 20, data + 1, size - 1);
    return 0;
}
