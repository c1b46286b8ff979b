// Loading, validating and freeing the packaged ephemeris tables, and the
// process-wide copies the series code reads. A file that fails validation
// counts as missing, so no computation ever walks a table that is short or
// holds out-of-range indexes.
#include "ephem/ephemload.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "astro/nutation.h"
#include "ephem/daytables.h"
#include "ephem/uranussats.h"
#include "core/safefile.h"

namespace {

int g_loaded = 0;
int g_attempted = 0;
std::string g_folder;
PlanetSeriesIndexRecord g_index[kPlanetSeriesTables];
std::vector<PlanetSeriesTerm> g_terms[kPlanetSeriesTables];
std::unique_ptr<LunarSeriesRow[]> g_lunarLongitude;
std::unique_ptr<LunarLatitudeRow[]> g_lunarLatitude;

// The whole file, or false when it cannot be opened or read.
bool ReadWholeFile(const std::string &path, std::vector<unsigned char> *bytes) {
    std::unique_ptr<FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f) return false;
    bytes->clear();
    unsigned char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) {
        bytes->insert(bytes->end(), buffer, buffer + n);
        if (bytes->size() > (64u << 20)) return false;  // no packaged table is this large
    }
    return !std::ferror(f.get());
}

int16_t Int16At(const unsigned char *p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

int32_t Int32At(const unsigned char *p) {
    uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                 (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    return static_cast<int32_t>(v);
}

double DoubleAt(const unsigned char *p) {
    uint64_t bits = 0;
    for (int b = 7; b >= 0; --b) bits = (bits << 8) | p[b];
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void ClearPlanetSeries() {
    for (int t = 0; t < kPlanetSeriesTables; ++t) FreePlanetSeriesTable(t);
}

void FreeLunarSeries() {
    g_lunarLongitude.reset();
    g_lunarLatitude.reset();
}

bool MultipliersInBounds(int32_t d, int32_t m, int32_t mp, int32_t f) {
    if (d < -4 || d > 4 || m < -2 || m > 2 || mp < -4 || mp > 4 || f < -3 || f > 3) return false;
    return d != 0 || m != 0 || mp != 0 || f != 0;
}

}  // namespace

void FreePlanetSeriesTable(int table) {
    if (table < 0 || table >= kPlanetSeriesTables) return;
    std::vector<PlanetSeriesTerm>().swap(g_terms[table]);
    std::memset(&g_index[table], 0, sizeof g_index[table]);
}

void SetEphemerisFolder(const char *directory) {
    for (int t = 0; t < kPlanetSeriesTables; ++t) std::vector<PlanetSeriesTerm>().swap(g_terms[t]);
    g_folder = directory ? directory : "";
}

int LoadPlanetSeries() {
    std::vector<unsigned char> ndx, bin;
    if (!ReadWholeFile(g_folder + "PLANETS.NDX", &ndx) ||
        !ReadWholeFile(g_folder + "PLANETS.BIN", &bin) ||
        ndx.size() < sizeof(PlanetSeriesIndexRecord) * kPlanetSeriesTables) {
        ClearPlanetSeries();
        return 0;
    }
    const size_t termCount = bin.size() / sizeof(PlanetSeriesTerm);
    for (int t = 0; t < kPlanetSeriesTables; ++t) {
        PlanetSeriesIndexRecord record;
        const unsigned char *p = ndx.data() + t * sizeof(PlanetSeriesIndexRecord);
        size_t n = 0;
        bool ok = true;
        for (int c = 0; c < kPlanetSeriesCells; ++c) {
            record.cells[c].firstTerm = Int16At(p + 4 * c);
            record.cells[c].count = Int16At(p + 4 * c + 2);
            if (record.cells[c].count < 0) ok = false;
            else n += static_cast<size_t>(record.cells[c].count);
        }
        const int first = record.cells[0].firstTerm;
        if (first < 0 || static_cast<size_t>(first) > termCount || n > termCount - first) ok = false;
        std::vector<PlanetSeriesTerm> terms;
        if (ok) {
            try {
                terms.resize(n);
            } catch (...) {
                ok = false;
            }
        }
        for (size_t i = 0; ok && i < n; ++i) {
            const unsigned char *q = bin.data() + (static_cast<size_t>(first) + i) * 24;
            terms[i].amplitude = DoubleAt(q);
            terms[i].phase = DoubleAt(q + 8);
            terms[i].frequency = DoubleAt(q + 16);
            if (!std::isfinite(terms[i].amplitude) || !std::isfinite(terms[i].phase) ||
                !std::isfinite(terms[i].frequency))
                ok = false;
        }
        if (!ok) {
            // A bad table makes the whole file count as missing: nothing of
            // it is evaluated, and the index records stay all zero.
            ClearPlanetSeries();
            return 0;
        }
        g_index[t] = record;
        g_terms[t].swap(terms);
    }
    g_loaded = 1;
    return 1;
}

int LoadLunarSeries(const char *directory) {
    FreeLunarSeries();
    if (!directory) return 0;
    std::vector<unsigned char> bytes;
    const size_t need = kLunarSeriesRows * (sizeof(LunarSeriesRow) + sizeof(LunarLatitudeRow));
    if (!ReadWholeFile(std::string(directory) + "moontab.bin", &bytes) || bytes.size() < need)
        return 0;
    std::unique_ptr<LunarSeriesRow[]> first(new (std::nothrow) LunarSeriesRow[kLunarSeriesRows]);
    std::unique_ptr<LunarLatitudeRow[]> second(new (std::nothrow) LunarLatitudeRow[kLunarSeriesRows]);
    if (!first || !second) return 0;
    const unsigned char *p = bytes.data();
    for (int i = 0; i < kLunarSeriesRows; ++i, p += 24) {
        LunarSeriesRow &r = first[i];
        r.d = Int32At(p);
        r.m = Int32At(p + 4);
        r.mp = Int32At(p + 8);
        r.f = Int32At(p + 12);
        r.longitude = Int32At(p + 16);
        r.distance = Int32At(p + 20);
        if (!MultipliersInBounds(r.d, r.m, r.mp, r.f)) return 0;
    }
    for (int i = 0; i < kLunarSeriesRows; ++i, p += 20) {
        LunarLatitudeRow &r = second[i];
        r.d = Int32At(p);
        r.m = Int32At(p + 4);
        r.mp = Int32At(p + 8);
        r.f = Int32At(p + 12);
        r.latitude = Int32At(p + 16);
        if (!MultipliersInBounds(r.d, r.m, r.mp, r.f)) return 0;
    }
    g_lunarLongitude = std::move(first);
    g_lunarLatitude = std::move(second);
    return 1;
}

int LoadEphemerisData(char *directory) {
    if (g_loaded) return 1;
    g_attempted = 1;
    if (!directory) return 0;
    size_t n = std::strlen(directory);
    if (n == 0 || directory[n - 1] != '/') {
        // Room for the "/" in the caller's line buffer of 512 characters.
        if (n + 1 >= 512) return 0;
        directory[n] = '/';
        directory[n + 1] = '\0';
    }
    SetEphemerisFolder(directory);
    if (!LoadPlanetSeries()) return 0;
    if (!LoadNutationTable(g_folder.c_str())) return 0;
    if (!LoadLunarSeries(g_folder.c_str())) return 0;
    if (!LoadUranianSatelliteTable(g_folder.c_str())) return 0;
    SetHimaliaFolder(g_folder.c_str());
    SetPhoebeFolder(g_folder.c_str());
    return 1;
}

void FreeEphemerisData() {
    ClearPlanetSeries();
    g_folder.clear();
    g_loaded = 0;
    g_attempted = 0;
    FreeNutationTable();
    FreeUranianSatelliteTable();
    FreeLunarSeries();
    ClearDayTableFolders();
}

const char *GetEphemerisFolder() { return g_folder.c_str(); }

int EphemerisTablesLoaded() { return g_loaded; }

int EphemerisLoadAttempted() { return g_attempted; }

const PlanetSeriesIndexRecord *GetPlanetSeriesIndex(int table) {
    if (table < 0 || table >= kPlanetSeriesTables) return nullptr;
    return &g_index[table];
}

const PlanetSeriesTerm *GetPlanetSeriesTerms(int table, size_t *count) {
    if (count) *count = 0;
    if (table < 0 || table >= kPlanetSeriesTables || g_terms[table].empty()) return nullptr;
    if (count) *count = g_terms[table].size();
    return g_terms[table].data();
}

const LunarSeriesRow *GetLunarLongitudeRows() { return g_lunarLongitude.get(); }

const LunarLatitudeRow *GetLunarLatitudeRows() { return g_lunarLatitude.get(); }
