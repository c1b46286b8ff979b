// Horizon files: flat and imported horizons, rows and declinations, the text
// import with its interpolation, deletion.
#include "sites/horizon.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "astro/location.h"
#include "core/mathutil.h"
#include "astro/riseset.h"
#include "core/textutil.h"
#include "core/fileutil.h"
#include "core/fsys.h"
#include "sites/horizonfile.h"
#include "core/safefile.h"

namespace {

const double kRadiansPerDegree = kPi / 180.0;

// "<horizons folder>/<safe name>.bin", the folder made when missing with
// makeFolder; "" when there is none to make.
std::string HorizonPath(const char *siteName, bool makeFolder) {
    if (!siteName || !*siteName || IsReservedDeviceName(siteName)) return std::string();
    char folder[1024];
    MakeHorizonFolderPath(folder, sizeof folder);
    if (!folder[0]) return std::string();
    if (makeFolder && !FileExists(folder) && !EnsureDirectory(folder)) return std::string();
    std::vector<char> name(siteName, siteName + std::strlen(siteName));
    name.push_back('\0');
    EncodeNameForFileName(name.data());  // a copy: the site keeps its name
    return std::string(folder) + "/" + name.data() + ".bin";
}

std::string SiteName(const LocationRecord *site) {
    return std::string(site->name, strnlen(site->name, sizeof site->name));
}

}  // namespace

FILE *OpenHorizonFile(const char *siteName) {
    std::string path = HorizonPath(siteName, true);
    if (path.empty() || FsKind(path) != 0) return nullptr;
    return SafeOpen(path.c_str(), "r+b");
}

int DeleteHorizonFile(const char *siteName) {
    std::string path = HorizonPath(siteName, false);
    if (path.empty() || FsKind(path) != 0) return 0;
    return SafeRemove(path.c_str());
}

int ReadHorizonRows(FILE *f, HorizonRow *rows, int block) {
    if (!f || !rows || block < 0 || block > 1) return 0;
    if (std::fseek(f, (long)block * kHorizonBlockBytes, SEEK_SET) != 0) return 0;
    return std::fread(rows, sizeof(HorizonRow), kHorizonRowCount, f) == (size_t)kHorizonRowCount
               ? 1
               : 0;
}

int WriteHorizonRows(FILE *f, const HorizonRow *rows, int block) {
    if (!f || !rows || block < 0 || block > 1) return 0;
    if (std::fseek(f, (long)block * kHorizonBlockBytes, SEEK_SET) != 0) return 0;
    if (SafeWrite(rows, sizeof(HorizonRow), kHorizonRowCount, f) != (size_t)kHorizonRowCount) return 0;
    return SafeFlush(f);
}

void ComputeHorizonDeclinations(HorizonRow *rows, const LocationRecord *site) {
    double sinLat = std::sin(site->latitude), cosLat = std::cos(site->latitude);
    for (int k = 0; k < kHorizonRowCount; ++k) {
        double h = rows[k].altitude + site->horizonDip;
        rows[k].declination = ComputeClampedArcSine(
            sinLat * std::sin(h) - cosLat * std::cos(h) * std::cos(rows[k].azimuth + kPi));
    }
}

int FillHorizonDeclinations(FILE *f, const LocationRecord *site) {
    if (!site) return 0;
    HorizonRow rows[kHorizonRowCount];
    if (!ReadHorizonRows(f, rows, 0)) return 0;
    ComputeHorizonDeclinations(rows, site);
    return WriteHorizonRows(f, rows, 0);
}

int WriteHorizonFile(const char *siteName, const HorizonRow *rows) {
    std::string path = HorizonPath(siteName, true);
    if (path.empty() || !rows) return 0;
    return WriteWholeFileSafely(path.c_str(), rows, sizeof(HorizonRow) * kHorizonRowCount);
}

int CreateFlatHorizon(const LocationRecord *site) {
    if (!site) return 0;
    HorizonRow rows[kHorizonRowCount];
    for (int k = 0; k < 60; ++k) {
        rows[k].azimuth = k * kHorizonStep;
        rows[k].altitude = 0.0;
    }
    rows[60] = rows[0];
    // The declinations are made before the one write, so a file on disk
    // never holds rows without them.
    ComputeHorizonDeclinations(rows, site);
    return WriteHorizonFile(SiteName(site).c_str(), rows);
}

int LoadHorizon(const LocationRecord *site, HorizonRow *rows) {
    if (!site || !rows) return 0;
    FileHandle f(OpenHorizonFile(SiteName(site).c_str()));
    if (!f.get()) return 0;
    return ReadHorizonRows(f.get(), rows, 0);
}

int CompareHorizonPoints(const HorizonPoint *a, const HorizonPoint *b) {
    if (a->azimuth > b->azimuth) return 1;
    if (a->azimuth < b->azimuth) return -1;
    return 0;
}

int ProbeHorizonPoint(int key, const HorizonPoint *points, int index, const HorizonPoint **found) {
    const HorizonPoint *p = points + index;
    if (key < p->azimuth) return -1;
    if (key > p->azimuth) return 1;
    if (found) *found = p;
    return 0;
}

double InterpolateHorizonAltitude(const HorizonPoint *points, int count, double azimuth) {
    if (!points || count <= 0) return 0.0;
    double a = azimuth / kRadiansPerDegree;
    int next = 0;
    while (next < count && points[next].azimuth < a) ++next;
    double azB, altB, azN, altN;
    if (next == 0 || next == count) {
        // Across north: from the last point to the first, one turn later.
        azB = points[count - 1].azimuth;
        altB = points[count - 1].altitude;
        azN = points[0].azimuth + 360.0;
        altN = points[0].altitude;
        if (a < azB) a += 360.0;
    } else {
        azB = points[next - 1].azimuth;
        altB = points[next - 1].altitude;
        azN = points[next].azimuth;
        altN = points[next].altitude;
    }
    double span = azN - azB;
    double alt = span > 0.0 ? altB + (a - azB) / span * (altN - altB) : altB;
    return alt * kRadiansPerDegree;
}

int ImportHorizonText(const LocationRecord *site, const char *textPath, char *badLine) {
    if (badLine) badLine[0] = '\0';
    if (!site || !textPath) return 0;
    std::vector<HorizonPoint> points;
    points.reserve(kHorizonMaxPoints);
    {
        FileHandle text(std::fopen(textPath, "r"));
        if (!text.get()) return 0;
        char line[512];
        while ((int)points.size() < kHorizonMaxPoints && std::fgets(line, 511, text.get())) {
            if (std::strlen(line) <= 2) continue;  // blank lines, line ends only
            HorizonPoint p;
            if (std::sscanf(line, "%lf %lf", &p.azimuth, &p.altitude) != 2 ||
                !std::isfinite(p.azimuth) || !std::isfinite(p.altitude)) {
                if (badLine) {
                    size_t n = std::strcspn(line, "\r\n");
                    if (n > 254) n = 254;
                    std::memcpy(badLine, line, n);
                    badLine[n] = '\0';
                }
                return 0;
            }
            // Any number of turns: -400 is 320, 725 is 5.
            p.azimuth = std::fmod(p.azimuth, 360.0);
            if (p.azimuth < 0.0) p.azimuth += 360.0;
            if (p.azimuth >= 360.0) p.azimuth = 0.0;  // -1e-17 + 360 rounds to 360
            points.push_back(p);
        }
        if (std::ferror(text.get())) return 0;
    }
    int count = (int)points.size();
    if (count < 2) return -2;
    if (count >= kHorizonMaxPoints) return -3;
    std::stable_sort(points.begin(), points.end(), [](const HorizonPoint &a, const HorizonPoint &b) {
        return CompareHorizonPoints(&a, &b) < 0;
    });
    HorizonRow rows[kHorizonRowCount];
    for (int k = 0; k < 60; ++k) {
        rows[k].azimuth = k * kHorizonStep;
        double alt = InterpolateHorizonAltitude(points.data(), count, rows[k].azimuth);
        rows[k].altitude = alt + GetRefractionForTrueAltitude(alt) - site->horizonDip;
    }
    rows[60] = rows[0];
    ComputeHorizonDeclinations(rows, site);
    return WriteHorizonFile(SiteName(site).c_str(), rows) ? 1 : -1;
}
