// Shared helpers of the ephemeris tests: the generated ephemeris tables (the
// native build runs the generators once per test program into a scratch
// folder; the Windows build copies them from the demo installation under the
// build folder), date records at a given instant of TT, and angle units.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "ephem/ephemload.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

namespace ephemtest {

const double kDegree = kPi / 180.0;
const double kArcsecond = kDegree / 3600.0;

// The folder holding the generated tables ("" when they cannot be had).
inline std::string GeneratedFolder() {
    static std::unique_ptr<testutil::TempDir> dir;
    static std::string folder;
    static bool tried = false;
    if (tried) return folder;
    tried = true;
    dir.reset(new testutil::TempDir());
    const char *names[] = {"PLANETS.NDX", "PLANETS.BIN", "moontab.bin", "usats.bin", "nutcon.bin",
                           "Phoebe.bin", "Himalia.bin"};
#ifdef _WIN32
    std::string demo = testutil::BuildDir() + "/demo/data/ss";
    if (testutil::BuildDir().empty()) return folder;
    for (const char *name : names) {
        bool ok = false;
        std::string bytes = testutil::ReadFileBytes(demo + "/" + name, &ok);
        if (!ok || !testutil::WriteFileBytes(dir->file(name), bytes)) return folder;
    }
#else
    std::string source = testutil::SourceDir();
    if (source.empty()) return folder;
    std::string out = "\"" + dir->path() + "\" > /dev/null";
    std::string a = "python3 \"" + source + "/tools/gen_ephemeris_tables.py\" --out " + out;
    std::string b = "python3 \"" + source + "/tools/gen_nutcon.py\" --out " + out;
    // The satellite tables last: they replace the minimal usats.bin.
    std::string c = "python3 \"" + source + "/tools/gen_satellite_tables.py\" --out " + out;
    if (std::system(a.c_str()) != 0 || std::system(b.c_str()) != 0 || std::system(c.c_str()) != 0)
        return folder;
    for (const char *name : names)
        if (!testutil::PathIsThere(dir->file(name))) return folder;
#endif
    folder = dir->path() + "/";
    return folder;
}

// Loads the generated tables for one test and frees them afterwards.
class GeneratedTables : public ::testing::Test {
protected:
    void SetUp() override {
        FreeEphemerisData();
        std::string folder = GeneratedFolder();
        if (folder.empty()) GTEST_SKIP() << "no generated ephemeris tables";
        char buffer[512];
        std::snprintf(buffer, sizeof buffer, "%s", folder.c_str());
        ASSERT_EQ(LoadEphemerisData(buffer), 1);
    }
    void TearDown() override { FreeEphemerisData(); }
};

// A site at the Earth's centre: no parallax.
inline LocationRecord GeocentreSite() {
    LocationRecord site;
    std::memset(&site, 0, sizeof site);
    InitLocationRecord(&site, 0.0, 0.0, 0.0, 0.0, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "Centre");
    site.rhoCosPhi = 0.0;
    site.rhoSinPhi = 0.0;
    return site;
}

// A completed date record whose T(TT) is that of the Julian Ephemeris Day,
// with Delta T given in seconds.
inline DateRecord DateAtTT(double jde, double deltaTSeconds, const LocationRecord *site = nullptr) {
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.julianDate = jde - deltaTSeconds / 86400.0;
    SetDateRecordFromJulianDate(site, &date);
    ComputeDeltaTAndNutation(&date, deltaTSeconds);
    ComputeSiderealTimes(site, &date);
    return date;
}

inline double DegreesDiff(double a, double b) {
    double d = std::fmod(a - b, 2.0 * kPi);
    if (d > kPi) d -= 2.0 * kPi;
    if (d < -kPi) d += 2.0 * kPi;
    return d / kDegree;
}

}  // namespace ephemtest
