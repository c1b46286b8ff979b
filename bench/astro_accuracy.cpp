// Accuracy of the time and nutation routines against ERFA's IAU 1980/1982
// implementations over 4000 instants from 1800 to 2200 (Julian date, GMST,
// GAST, mean obliquity, nutation in longitude and obliquity), and of the
// Delta T model against the published half-yearly table of observed Delta T
// (1657-1984, as shipped in Debian's python3-skyfield: historic_deltat.npy).
//
// Usage: astro_accuracy [nutcon folder] [historic_deltat.npy]
//   Without a folder the nutation table is generated into a scratch folder by
//   tools/gen_nutcon.py of this source tree.
#if defined(__has_include)
#if __has_include(<erfa.h>)
#define ASTRO_ACCURACY_HAVE_ERFA 1
#endif
#endif

#ifndef ASTRO_ACCURACY_HAVE_ERFA
#include <cstdio>
int main() {
    std::printf("astro_accuracy: ERFA (liberfa-dev) is not installed; nothing to compare\n");
    return 0;
}
#else

#include <erfa.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "astro/datetime.h"
#include "astro/deltat.h"
#include "astro/location.h"
#include "astro/nutation.h"
#include "astro/sidereal.h"

namespace {

const double kPi = 3.14159265358979323846;
const double kRadiansToArcseconds = 648000.0 / kPi;
const char *kDefaultHistoricTable = "/usr/lib/python3/dist-packages/skyfield/data/historic_deltat.npy";

struct Worst {
    double value = 0.0;
    double where = 0.0;  // decimal year
    void Take(double difference, double year) {
        if (std::fabs(difference) > std::fabs(value)) {
            value = difference;
            where = year;
        }
    }
};

std::string SourceRoot() {
    std::string file = __FILE__;
    size_t slash = file.rfind("/bench/");
    return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

bool PrepareNutationTable(const char *folder) {
    std::string dir;
    if (folder) {
        dir = folder;
    } else {
        char pattern[] = "/tmp/astro_accuracy_XXXXXX";
        if (!mkdtemp(pattern)) return false;
        dir = pattern;
        std::string command = "python3 \"" + SourceRoot() + "/tools/gen_nutcon.py\" --out \"" + dir +
                              "\" > /dev/null";
        if (std::system(command.c_str()) != 0) return false;
    }
    if (dir.empty() || dir.back() != '/') dir += '/';
    return LoadNutationTable(dir.c_str()) == 1;
}

// A two-row float64 .npy array (Julian dates, Delta T seconds), C order.
bool ReadHistoricTable(const char *path, std::vector<double> *jd, std::vector<double> *seconds) {
    FILE *f = std::fopen(path, "rb");
    if (!f) return false;
    unsigned char head[10];
    bool ok = std::fread(head, 1, 10, f) == 10 && std::memcmp(head, "\x93NUMPY", 6) == 0;
    std::string header;
    if (ok) {
        size_t length = head[8] | (head[9] << 8);
        header.resize(length);
        ok = std::fread(&header[0], 1, length, f) == length &&
             header.find("'<f8'") != std::string::npos &&
             header.find("'fortran_order': False") != std::string::npos;
    }
    size_t columns = 0;
    if (ok) {
        size_t at = header.find("(2, ");
        ok = at != std::string::npos;
        if (ok) columns = std::strtoul(header.c_str() + at + 4, nullptr, 10);
        ok = ok && columns > 0 && columns < 100000;
    }
    std::vector<double> values(2 * columns);
    if (ok) ok = std::fread(values.data(), sizeof(double), values.size(), f) == values.size();
    std::fclose(f);
    if (!ok) return false;
    jd->assign(values.begin(), values.begin() + columns);
    seconds->assign(values.begin() + columns, values.end());
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    const char *nutconFolder = argc > 1 ? argv[1] : nullptr;
    const char *historicPath = argc > 2 ? argv[2] : kDefaultHistoricTable;
    if (!PrepareNutationTable(nutconFolder)) {
        std::fprintf(stderr, "nutcon.bin could not be generated or read\n");
        return 1;
    }

    LocationRecord greenwich;
    InitLocationRecord(&greenwich, 0.0, 0.9, 0.0, 6.5, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "Greenwich");

    const int kSamples = 4000;
    Worst jdSeconds, calendarSeconds, gmst, gast, obliquity, dpsi, deps;
    uint32_t seed = 12345u;
    for (int i = 0; i < kSamples; ++i) {
        // Dates spread over 1800-2200 with pseudo-random days and hours.
        seed = seed * 1664525u + 1013904223u;
        int year = 1800 + i / 10;
        int month = 1 + static_cast<int>(seed % 12u);
        int day = 1 + static_cast<int>((seed >> 8) % 28u);
        double hours = ((seed >> 16) % 86400u) / 3600.0;

        double djm0, djm;
        eraCal2jd(year, month, day, &djm0, &djm);
        double erfaJd = djm0 + djm + hours / 24.0;
        double jd = JulianDateFromCalendar(month, day, year, hours);
        double decimalYear = DecimalYearFromDate(month, day, year, hours);
        jdSeconds.Take((jd - erfaJd) * 86400.0, decimalYear);

        DateRecord r;
        std::memset(&r, 0, sizeof(r));
        r.julianDate = jd;
        SetDateRecordFromJulianDate(nullptr, &r);
        int ey, em, ed;
        double fd;
        eraJd2cal(djm0, djm + hours / 24.0, &ey, &em, &ed, &fd);
        double dayDifference = (r.year != ey || r.month != em || r.day != ed) ? 86400.0 : 0.0;
        calendarSeconds.Take(dayDifference + (r.localHours / 24.0 - fd) * 86400.0, decimalYear);

        ComputeDeltaTAndNutation(&r, 0.0);
        ComputeSiderealTimes(&greenwich, &r);
        const double tt = r.centuriesTT * 36525.0;
        gmst.Take(std::remainder(r.greenwichMeanSidereal - eraGmst82(jd, 0.0), 2 * kPi) *
                      kRadiansToArcseconds,
                  decimalYear);
        gast.Take(std::remainder(r.localApparentSidereal - eraGst94(jd, 0.0), 2 * kPi) *
                      kRadiansToArcseconds,
                  decimalYear);
        obliquity.Take((r.meanObliquity - eraObl80(2451545.0, tt)) * kRadiansToArcseconds,
                       decimalYear);
        double psi, eps;
        eraNut80(2451545.0, tt, &psi, &eps);
        dpsi.Take((r.nutationLongitude - psi) * kRadiansToArcseconds, decimalYear);
        deps.Take((r.nutationObliquity - eps) * kRadiansToArcseconds, decimalYear);
    }

    std::printf("astro_accuracy: %d instants, 1800-2200, against ERFA (IAU 1980/1982)\n", kSamples);
    std::printf("  %-34s %12s  %s\n", "quantity", "largest diff", "at year");
    if (jdSeconds.value == 0.0)
        std::printf("  %-34s %12.3e s  (all %d equal)\n", "Julian date (eraCal2jd)", 0.0, kSamples);
    else
        std::printf("  %-34s %12.3e s  %.1f\n", "Julian date (eraCal2jd)", jdSeconds.value,
                    jdSeconds.where);
    std::printf("  %-34s %12.3e s  %.1f\n", "calendar from JD (eraJd2cal)", calendarSeconds.value,
                calendarSeconds.where);
    std::printf("  %-34s %12.6f \"  %.1f\n", "GMST (eraGmst82)", gmst.value, gmst.where);
    std::printf("  %-34s %12.6f \"  %.1f\n", "GAST (eraGst94)", gast.value, gast.where);
    std::printf("  %-34s %12.6f \"  %.1f\n", "mean obliquity (eraObl80)", obliquity.value,
                obliquity.where);
    std::printf("  %-34s %12.6f \"  %.1f\n", "nutation in longitude (eraNut80)", dpsi.value, dpsi.where);
    std::printf("  %-34s %12.6f \"  %.1f\n", "nutation in obliquity (eraNut80)", deps.value, deps.where);

    std::vector<double> tableJd, tableSeconds;
    if (!ReadHistoricTable(historicPath, &tableJd, &tableSeconds)) {
        std::printf("Delta T: published table %s not readable; skipped\n", historicPath);
    } else {
        struct Piece {
            const char *name;
            double from, to;
            Worst worst;
            int count;
        } pieces[] = {
            {"1800-1900 (19th-century polynomial)", 1800.0, 1900.0, {}, 0},
            {"1900-1972 (20th-century polynomial)", 1900.0, 1972.0, {}, 0},
            {"1972-1985 (observed table)", 1972.0, 1985.0, {}, 0},
        };
        for (size_t i = 0; i < tableJd.size(); ++i) {
            DateRecord r;
            std::memset(&r, 0, sizeof(r));
            r.julianDate = tableJd[i];
            SetDateRecordFromJulianDate(nullptr, &r);
            for (Piece &p : pieces) {
                if (r.decimalYear < p.from || r.decimalYear >= p.to) continue;
                double model = ComputeModelDeltaTSeconds(r.decimalYear, r.julianDate);
                p.worst.Take(model - tableSeconds[i], r.decimalYear);
                ++p.count;
            }
        }
        std::printf("Delta T against the half-yearly observed table (%s)\n", historicPath);
        for (const Piece &p : pieces)
            std::printf("  %-34s %12.3f s  %.1f  (%d values)\n", p.name, p.worst.value, p.worst.where,
                        p.count);
    }
    FreeNutationTable();
    return 0;
}

#endif  // ASTRO_ACCURACY_HAVE_ERFA
