// Fuzz target: a site's obstructed-horizon files as damaged files could hold
// them: the binary file of 61 rows (any bytes, any length: NaNs, huge values,
// a short file) read and used by the rise, set and above-the-horizon tests,
// and the text file of azimuth/altitude pairs read by the import.
//
// Input: a control byte, then the file. Control bit 0 picks the file (0
// binary, 1 text); bits 1-7 give a declination for the tests.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/fileutil.h"
#include "fuzz/fuzzscratch.h"
#include "sites/horizon.h"
#include "sites/horizonfile.h"
#include "sites/horizongeometry.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "horizon check failed: %s\n", what);
        std::abort();
    }
}

void UseRows(const LocationRecord &site, const HorizonRow *rows, double declination) {
    HorizonCrossings crossings;
    FindHorizonCrossings(&site, declination, rows, &crossings);
    double rise = 0, set = 0, angle = 0;
    ComputeHorizonRiseSet(&site, declination, rows, 0.3, 21.0, &rise, &set);
    RefineHorizonRise(&site, declination, rows, 0.3, 21.0, &rise);
    RefineHorizonSet(&site, declination, rows, 0.3, 21.0, &set);
    ComputeHorizonRiseHourAngle(&site, declination, rows, &angle);
    ComputeHorizonSetHourAngle(&site, declination, rows, &angle);
    for (int i = -3; i <= 3; ++i) {
        IsAboveHorizonAtHourAngle(&site, declination, rows, i * 1.1);
        IsAltitudeAboveHorizon(&site, i * 1.1, declination, 0.2, rows);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    fuzz::ScratchFolder();
    bool text = data[0] & 1;
    double declination = ((data[0] >> 1) - 64) * (3.14159265358979 / 128.0);
    const LocationRecord &site = fuzz::StoredSite(0);
    char folder[1024];
    MakeHorizonFolderPath(folder, sizeof folder);
    Check(folder[0] != 0, "horizon folder");
    EnsureDirectory(folder);
    HorizonRow rows[kHorizonRowCount];
    if (!text) {
        std::string path = std::string(folder) + "/" + site.name + ".bin";
        FILE *f = std::fopen(path.c_str(), "wb");
        Check(f != nullptr, "write horizon file");
        if (size > 1) std::fwrite(data + 1, 1, size - 1, f);
        std::fclose(f);
        if (LoadHorizon(&site, rows)) {
            Check(size - 1 >= (size_t)kHorizonBlockBytes, "a whole block read from a file that holds one");
            UseRows(site, rows, declination);
        }
        FILE *open = OpenHorizonFile(site.name);
        if (open) {
            FillHorizonDeclinations(open, &site);
            ReadHorizonRows(open, rows, 1);
            std::fclose(open);
        }
        DeleteHorizonFile(site.name);
    } else {
        Check(fuzz::WriteScratchFile("horizon.txt", data + 1, size - 1), "write text");
        char bad[256];
        std::memset(bad, 'x', sizeof bad);
        int r = ImportHorizonText(&site, (fuzz::ScratchFolder() + "/horizon.txt").c_str(), bad);
        Check(r >= -3 && r <= 1, "import result known");
        fuzz::TerminatedLength(bad, sizeof bad, "bad line");
        if (r == 1) {
            Check(LoadHorizon(&site, rows) == 1, "an imported horizon reads back");
            for (int k = 0; k < kHorizonRowCount; ++k)
                Check(std::isfinite(rows[k].altitude) && std::isfinite(rows[k].declination), "imported rows finite");
            UseRows(site, rows, declination);
        }
        DeleteHorizonFile(site.name);
    }
    return 0;
}
