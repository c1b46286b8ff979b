// Loading and freeing the Uranian satellite table "usats.bin".
#include "ephem/uranussats.h"
#include "core/safefile.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace {
std::unique_ptr<double[]> g_table;

}  // namespace

int LoadUranianSatelliteTable(const char *directory) {
    g_table.reset();
    if (!directory) return 0;
    std::string path = std::string(directory) + "usats.bin";
    std::unique_ptr<FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f) return 0;
    unsigned char bytes[kUranianTableValues * 8];
    if (std::fread(bytes, 1, sizeof bytes, f.get()) != sizeof bytes) return 0;
    std::unique_ptr<double[]> table(new (std::nothrow) double[kUranianTableValues]);
    if (!table) return 0;
    for (int i = 0; i < kUranianTableValues; ++i) {
        uint64_t bits = 0;
        for (int b = 7; b >= 0; --b) bits = (bits << 8) | bytes[8 * i + b];
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (!std::isfinite(v)) return 0;
        table[i] = v;
    }
    g_table = std::move(table);
    return 1;
}

void FreeUranianSatelliteTable() { g_table.reset(); }

const double *GetUranianSatelliteTable() { return g_table.get(); }
