// Fuzz target: the Earth-satellite files as damaged or hostile files could
// hold them: the element text "alldat.tle" rebuilt into the store, an update
// from a further text, the magnitude file "qsat.dat", and the binary store
// "esat.bin" and name index "names.bin" read through every reader.
//
// Input: a control byte, then the file. Control bits 0-1 pick the file
// (0 element text, 1 element text as an update of a one-satellite store,
// 2 magnitude file over that store, 3 the binary store, whose first bytes
// also serve as the name index). After every change the store must open
// with a count that its size covers, sorted by number.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ephem/satstore.h"
#include "ephem/tle.h"
#include "fuzz/fuzzscratch.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "satellite store check failed: %s\n", what);
        std::abort();
    }
}

const char kOneSatellite[] =
    "ISS (ZARYA)\n"
    "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927\n"
    "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537\n";

void WriteFile(const char *name, const void *data, size_t size) {
    char path[1100];
    Check(MakeSatelliteFilePath(path, sizeof path, name) == 1, "satellite path");
    FILE *f = std::fopen(path, "wb");
    Check(f != nullptr, "write satellite file");
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

// The store as every reader sees it; its count is checked against its size.
void ReadStore() {
    uint32_t count = 0;
    FILE *store = OpenSatelliteStore(&count);
    if (store) {
        EarthSatelliteRecord r, previous;
        bool sorted = true;
        for (uint32_t i = 0; i < count && i < 256; ++i) {
            Check(ReadSatelliteRecord(store, &r, (int)i) == 1, "a counted record reads");
            fuzz::TerminatedLength(r.name, sizeof r.name, "satellite name");
            fuzz::TerminatedLength(r.designator, sizeof r.designator, "designator");
            if (i > 0 && r.number < previous.number) sorted = false;
            previous = r;
            char designator[16];
            FormatInternationalDesignator(designator, r.designator);
        }
        std::fclose(store);
        EarthSatelliteRecord found;
        int index = -1;
        if (sorted) FindEarthSatelliteByNumber(&found, 25544, &index);
    }
    int index = -1;
    FindSatelliteIndexByName("ISS (ZARYA)", &index);
    int n = 0;
    EarthSatelliteRecord *list = SelectSatellitesByKind(1, 1, 1, 0, 99.0, &n);
    std::free(list);
    list = SelectSatellitesByOrbit(-1, -1, -1, -1, 6.0, &n);
    std::free(list);
}

void OneSatelliteStore() {
    WriteFile("alldat.tle", kOneSatellite, sizeof kOneSatellite - 1);
    Check(ImportTwoLineElements() == 1, "the one-satellite store is built");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    static bool once = [] {
        SetSatelliteFolder(fuzz::ScratchFolder().c_str());
        std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);  // the imports' counts are printed
        return true;
    }();
    (void)once;
    int file = data[0] & 3;
    ++data;
    --size;
    switch (file) {
    case 0:
        WriteFile("alldat.tle", data, size);
        ImportTwoLineElements();
        BuildSatelliteIndexFiles();
        break;
    case 1: {
        OneSatelliteStore();
        WriteFile("update.tle", data, size);
        char path[1100];
        MakeSatelliteFilePath(path, sizeof path, "update.tle");
        FILE *text = std::fopen(path, "rb");
        Check(text != nullptr, "open update");
        UpdateSatellitesFromTwoLineElements(text);
        std::fclose(text);
        break;
    }
    case 2:
        OneSatelliteStore();
        WriteFile("qsat.dat", data, size);
        ImportSatelliteMagnitudes();
        break;
    default:
        WriteFile("esat.bin", data, size);
        WriteFile("names.bin", data, size < 256 ? size : 256);
        break;
    }
    ReadStore();
    fuzz::CleanScratch();
    return 0;
}
