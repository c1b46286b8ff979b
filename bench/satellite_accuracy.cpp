// Accuracy of the planets' satellites: each satellite's offset from its
// planet (east and north, arcseconds) from the packaged theories and tables,
// every second day of a year, against PyEphem (python3-ephem, whose Galilean,
// Saturnian and Uranian theories are independent of these). Prints the
// largest difference per satellite in arcseconds.
//
// usage: satellite_accuracy [first JD(UT)] [days]   (default 2460310.5, 366)
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "astro/datetime.h"
#include "astro/deltat.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "ephem/bodyrecord.h"
#include "ephem/ephemload.h"
#include "ephem/satellitenames.h"
#include "ephem/satellites.h"

namespace {

const double kToArcsec = 648000.0 / kPi;

std::string SourceRoot() {
    std::string file = __FILE__;
    size_t slash = file.rfind("/bench/");
    return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

// A Python that has python3-ephem: the one on the path, else the system's.
std::string PythonWithEphem() {
    const char *candidates[] = {"python3", "/usr/bin/python3"};
    for (const char *p : candidates) {
        std::string command = std::string(p) + " -I -c \"import ephem; ephem.Io\" > /dev/null 2>&1";
        if (std::system(command.c_str()) == 0) return p;
    }
    return "";
}

bool Generate(const std::string &dir) {
    const char *tools[] = {"gen_ephemeris_tables.py", "gen_nutcon.py", "gen_satellite_tables.py"};
    for (const char *tool : tools) {
        std::string command = "python3 \"" + SourceRoot() + "/tools/" + tool + "\" --out \"" +
                              dir + "\" > /dev/null";
        if (std::system(command.c_str()) != 0) return false;
    }
    return true;
}

// A site at the Earth's centre: geocentric places, as the reference gives.
LocationRecord GeocentreSite() {
    LocationRecord site;
    std::memset(&site, 0, sizeof site);
    InitLocationRecord(&site, 0.0, 0.0, 0.0, 0.0, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "Centre");
    site.rhoCosPhi = 0.0;
    site.rhoSinPhi = 0.0;
    return site;
}

DateRecord DateAtUT(double jd) {
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.julianDate = jd;
    SetDateRecordFromJulianDate(nullptr, &date);
    ComputeDeltaTAndNutation(&date, ComputeModelDeltaTSeconds(date.decimalYear, jd));
    ComputeSiderealTimes(nullptr, &date);
    return date;
}

}  // namespace

int main(int argc, char **argv) {
    const double first = argc > 1 ? std::atof(argv[1]) : 2460310.5;
    const int days = argc > 2 ? std::atoi(argv[2]) : 366;
    std::string python = PythonWithEphem();
    if (python.empty()) {
        std::printf("satellite_accuracy: python3-ephem is not installed\n");
        return 1;
    }
    char pattern[] = "/tmp/satellite_accuracy_XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const std::string dir = pattern;
    if (!Generate(dir)) {
        std::printf("satellite_accuracy: the table generators failed\n");
        return 1;
    }
    char folder[512];
    std::snprintf(folder, sizeof folder, "%s/", dir.c_str());
    if (LoadEphemerisData(folder) != 1) {
        std::printf("satellite_accuracy: the tables did not load\n");
        return 1;
    }

    std::vector<double> dates;
    for (int d = 0; d < days; d += 2) dates.push_back(first + d);
    const std::string datesFile = dir + "/dates.txt", refFile = dir + "/reference.txt";
    FILE *f = std::fopen(datesFile.c_str(), "w");
    if (!f) return 1;
    for (double jd : dates) std::fprintf(f, "%.5f\n", jd);
    std::fclose(f);
    std::string command = python + " \"" + SourceRoot() + "/bench/satellite_reference.py\" --dates \"" +
                          datesFile + "\" --out \"" + refFile + "\"";
    if (std::system(command.c_str()) != 0) return 1;

    // Our offsets per (date, body, slot).
    std::map<std::pair<long, int>, std::pair<double, double>> ours;
    const LocationRecord site = GeocentreSite();
    for (double jd : dates) {
        DateRecord date = DateAtUT(jd);
        HeliocentricPlace earth = ComputeEarthHeliocentric(&date);
        for (int body = kBodyMars; body <= kBodyUranus; ++body) {
            BodyRecord record;
            std::memset(&record, 0, sizeof record);
            record.type = body;
            if (!ComputeBodyPosition(&date, earth, &record)) continue;
            ComputeBodyTopocentric(&site, &date, &record);
            ComputeBodyPhysicalData(&date, &record, earth);
            ComputePlanetSatellites(&date, &record, 0);
            for (int slot = 0; slot < record.satelliteCount; ++slot) {
                long key = std::lround(jd * 10.0);
                ours[{key * 100 + body * 10 + slot, 0}] = {
                    -record.satellites[kSatOffsetX][slot] * kToArcsec,
                    record.satellites[kSatOffsetY][slot] * kToArcsec};
            }
        }
    }

    std::map<int, double> worst;  // body * 10 + slot -> arcsec
    std::map<int, double> worstDate;
    f = std::fopen(refFile.c_str(), "r");
    if (!f) return 1;
    double jd, east, north;
    int body, slot;
    while (std::fscanf(f, "%lf %d %d %lf %lf", &jd, &body, &slot, &east, &north) == 5) {
        long key = std::lround(jd * 10.0);
        auto it = ours.find({key * 100 + body * 10 + slot, 0});
        if (it == ours.end()) continue;
        double d = std::hypot(it->second.first - east, it->second.second - north);
        int id = body * 10 + slot;
        if (d > worst[id]) {
            worst[id] = d;
            worstDate[id] = jd;
        }
    }
    std::fclose(f);
    FreeEphemerisData();
    std::string cleanup = "rm -rf \"" + dir + "\"";
    if (std::system(cleanup.c_str()) != 0) std::printf("(scratch folder %s left)\n", dir.c_str());

    std::printf("Satellite offsets from the planet against PyEphem, JD %.1f + %d days, every 2nd day\n",
                first, days);
    std::printf("%-10s %12s %14s\n", "satellite", "largest (\")", "at JD");
    double overall = 0.0;
    for (const auto &w : worst) {
        char name[16];
        GetSatelliteName(w.first / 10, w.first % 10 + 1, name);
        std::printf("%-10s %12.2f %14.1f\n", name, w.second, worstDate[w.first]);
        if (w.second > overall) overall = w.second;
    }
    std::printf("largest difference: %.2f\"\n", overall);
    return 0;
}
