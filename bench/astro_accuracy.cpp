// Accuracy of the time and nutation routines against ERFA's IAU 1980/1982
// implementations over 4000 instants from 1800 to 2200 (Julian date, GMST,
// GAST, mean obliquity, nutation in longitude and obliquity), and of the
// Delta T model against the published half-yearly table of observed Delta T
// (1657-1984) and the IERS monthly observed values (1973-2022), both as
// shipped in Debian's python3-skyfield (historic_deltat.npy, iers.npz).
// The coordinate routines: precession against ERFA's IAU 1976 matrix, the FK4
// <-> FK5 change, galactic places, apparent places (nutation and annual
// aberration) against an ERFA reduction, refraction against Bennett's and
// Saemundsson's formulas as published, and rise and set times of fixed stars
// at several sites against a root search of ERFA altitudes. Then, with the
// packaged ephemeris tables generated and loaded (so that what is measured
// is what the program uses, not its fallback theories): the Sun's and the
// Moon's places of the Sun and Moon state, the planets' tables over the
// whole range of dates against the full VSOP87, geocentric apparent places
// against the full theories, the Moon's phases, and the Moon's rise,
// transit and set at six sites.
//
// Every reference is installed by tools/install_deps.sh; a section whose
// reference is missing says that it is skipped.
//
// Ranges: Pluto's series against the Keplerian elements that take over
// outside 1885-2099, the hand-over steps and no place beyond AD 3000; the
// Moon's series against the full ELP 2000-82B century by century from 1000
// to 3000; Delta T's extrapolation beyond the observed values.
//
// Each main figure is printed beside its stated tolerance at the end; the
// exit status is 1 when one is beyond it or a reference is missing.
//
// Usage: astro_accuracy [--short] [nutcon folder] [historic_deltat.npy]
//   Without a folder the tables are generated into a scratch folder (or
//   taken from GLEANER_BENCH_TABLES); --short: fewer samples.
#if defined(__has_include)
#if __has_include(<erfa.h>)
#define ASTRO_ACCURACY_HAVE_ERFA 1
#endif
#endif

#ifndef ASTRO_ACCURACY_HAVE_ERFA
#include <cstdio>
int main() {
    std::printf("astro_accuracy: ERFA (liberfa-dev) is not installed: every section MISSING\n");
    return 1;
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

#include <erfam.h>
#include <unistd.h>

#include "astro/datetime.h"
#include "astro/deltat.h"
#include "astro/frames.h"
#include "astro/location.h"
#include "astro/nutation.h"
#include "astro/precession.h"
#include "astro/riseset.h"
#include "astro/sidereal.h"
#include "bench/benchutil.h"
#include "bench/ephem_accuracy.h"
#include "bench/moontimes_accuracy.h"
#include "bench/ranges_accuracy.h"
#include "bench/sunmoon_accuracy.h"
#include "core/mathutil.h"

namespace {

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

// The IERS monthly observed Delta T (decimal year, UT Julian date, seconds),
// printed by tools/gen_deltat_table.py --series from the skyfield data.
bool ReadIersSeries(std::vector<double> *jd, std::vector<double> *seconds) {
    char path[] = "/tmp/astro_accuracy_iers_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return false;
    close(fd);
    std::string command = "python3 \"" + benchutil::SourceRoot() + "/tools/gen_deltat_table.py\" --series > \"" +
                          path + "\" 2> /dev/null";
    bool ok = std::system(command.c_str()) == 0;
    FILE *f = ok ? std::fopen(path, "r") : nullptr;
    if (f) {
        double year, j, v;
        while (std::fscanf(f, "%lf %lf %lf", &year, &j, &v) == 3) {
            jd->push_back(j);
            seconds->push_back(v);
        }
        std::fclose(f);
    }
    std::remove(path);
    return ok && jd->size() > 100;
}

struct DeltaTPiece {
    const char *name;
    double from, to;
    Worst worst;
    int count;
};

// The model against a series of (UT Julian date, seconds), piece by piece.
void CompareDeltaT(const std::vector<double> &jd, const std::vector<double> &seconds,
                   DeltaTPiece *pieces, int count) {
    for (size_t i = 0; i < jd.size(); ++i) {
        DateRecord r;
        std::memset(&r, 0, sizeof(r));
        r.julianDate = jd[i];
        SetDateRecordFromJulianDate(nullptr, &r);
        for (int k = 0; k < count; ++k) {
            DeltaTPiece &p = pieces[k];
            if (r.decimalYear < p.from || r.decimalYear >= p.to) continue;
            p.worst.Take(ComputeModelDeltaTSeconds(r.decimalYear, r.julianDate) - seconds[i],
                         r.decimalYear);
            ++p.count;
        }
    }
    for (int k = 0; k < count; ++k)
        std::printf("  %-34s %12.3f s  %.2f  (%d values)\n", pieces[k].name, pieces[k].worst.value,
                    pieces[k].worst.where, pieces[k].count);
}

void DeltaTSection(const char *historicPath) {
    std::vector<double> tableJd, tableSeconds;
    if (!ReadHistoricTable(historicPath, &tableJd, &tableSeconds)) {
        std::printf("Delta T: published table %s not readable (python3-skyfield not installed?);"
                    " that comparison skipped\n",
                    historicPath);
    } else {
        DeltaTPiece pieces[] = {
            {"1800-1900 (19th-century polynomial)", 1800.0, 1900.0, {}, 0},
            {"1900-1972 (20th-century polynomial)", 1900.0, 1972.0, {}, 0},
            {"1972-1985 (observed table)", 1972.0, 1985.0, {}, 0},
        };
        std::printf("Delta T against the half-yearly observed table (%s)\n", historicPath);
        CompareDeltaT(tableJd, tableSeconds, pieces, 3);
    }
    std::vector<double> iersJd, iersSeconds;
    if (!ReadIersSeries(&iersJd, &iersSeconds)) {
        std::printf("Delta T: the IERS series (python3-skyfield's iers.npz, read with numpy) not"
                    " readable; that comparison skipped\n");
        return;
    }
    DeltaTPiece pieces[] = {
        {"1973-1999 (monthly rows)", 1973.0, 1999.0, {}, 0},
        {"1999-2002 (quarterly rows)", 1999.0, 2002.0, {}, 0},
        {"2002-2022.5 (half-yearly rows)", 2002.0, kDeltaTObservedEnd, {}, 0},
        {"2022.5-2022.7 (the extrapolation)", kDeltaTObservedEnd, 2023.0, {}, 0},
    };
    std::printf("Delta T against the IERS monthly observed values (1973 - 2022 September)\n");
    CompareDeltaT(iersJd, iersSeconds, pieces, 4);
    // Steps where the model's pieces meet.
    Worst step;
    for (double y : {1999.0, 2002.0, 2012.0, kDeltaTObservedEnd, 2050.0, 2150.0}) {
        const double e = 1e-6;
        step.Take(ComputeModelDeltaTSeconds(y + e, JulianDateFromDecimalYear(y + e)) -
                      ComputeModelDeltaTSeconds(y - e, JulianDateFromDecimalYear(y - e)),
                  y);
    }
    std::printf("  %-34s %12.6f s  %.2f\n", "largest step where pieces meet", step.value, step.where);
}

// ---- coordinates ----------------------------------------------------------------

struct Largest {
    double value = 0.0;
    const char *unit = "\"";
    void Take(double difference) {
        if (std::fabs(difference) > std::fabs(value)) value = difference;
    }
};

void PrintLargest(const char *name, const Largest &l, int count, const char *note = "") {
    if (l.value != 0.0 && std::fabs(l.value) < 1e-4)
        std::printf("  %-44s %12.3e %s  (%d cases)%s\n", name, l.value, l.unit, count, note);
    else
        std::printf("  %-44s %12.6f %s  (%d cases)%s\n", name, l.value, l.unit, count, note);
}

// Pseudo-random places spread evenly over the sphere.
struct Places {
    uint32_t seed = 987654321u;
    double Next01() {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / 16777216.0;
    }
    void Next(double *ra, double *dec, double maxDec = 1.5707963267948966) {
        *ra = Next01() * 2 * kPi;
        do {
            *dec = std::asin(2.0 * Next01() - 1.0);
        } while (std::fabs(*dec) > maxDec);
    }
};

void PrecessionSections() {
    std::printf("Coordinates against ERFA\n");
    Places places;
    Largest precession, fk45, fk54, roundTrip, galacticL, galacticB;
    int n = 0, nfk = 0;
    for (int year = 1800; year <= 2200; year += 10) {
        const double t = (year - 2000) / 100.0;
        double r[3][3];
        eraPmat76(2451545.0, t * 36525.0, r);
        PrecessionRecord p;
        InitPrecession(&p, 0.0, t, kSystemFk5, kSystemFk5);
        for (int i = 0; i < 200; ++i, ++n) {
            double ra0, dec0;
            places.Next(&ra0, &dec0);
            double ra = ra0, dec = dec0, v[3], w[3], era, edec;
            ApplyPrecession(&p, &ra, &dec, 0, 0, 0);
            eraS2c(ra0, dec0, v);
            eraRxp(r, v, w);
            eraC2s(w, &era, &edec);
            precession.Take(eraSeps(ra, dec, era, edec) * kRadiansToArcseconds);
        }
    }
    PrintLargest("precession J2000 -> 1800..2200 (eraPmat76)", precession, n);

    PrecessionRecord toFk5, toFk4;
    InitPrecession(&toFk5, kEpochB1950, kEpochJ2000, kSystemFk4, kSystemFk5);
    InitPrecession(&toFk4, kEpochJ2000, kEpochB1950, kSystemFk5, kSystemFk4);
    for (int i = 0; i < 20000; ++i, ++nfk) {
        double ra0, dec0, era, edec, dra, ddec;
        places.Next(&ra0, &dec0, 1.55);
        double ra = ra0, dec = dec0;
        ApplyPrecession(&toFk5, &ra, &dec, 0, 0, 0);
        eraFk45z(ra0, dec0, 1950.0, &era, &edec);
        fk45.Take(eraSeps(ra, dec, era, edec) * kRadiansToArcseconds);
        ra = ra0, dec = dec0;
        ApplyPrecession(&toFk4, &ra, &dec, 0, 0, 0);
        eraFk54z(ra0, dec0, 1950.0, &era, &edec, &dra, &ddec);
        fk54.Take(eraSeps(ra, dec, era, edec) * kRadiansToArcseconds);
        ApplyPrecession(&toFk5, &ra, &dec, 0, 0, 0);
        roundTrip.Take(eraSeps(ra, dec, ra0, dec0) * kRadiansToArcseconds);
        double l, b, el, eb;
        ConvertJ2000ToGalactic(ra0, dec0, &l, &b);
        eraIcrs2g(ra0, dec0, &el, &eb);
        galacticL.Take(std::remainder(l - el, 2 * kPi) * std::cos(eb) * kRadiansToArcseconds);
        galacticB.Take((b - eb) * kRadiansToArcseconds);
    }
    PrintLargest("FK4 B1950 -> FK5 J2000 (eraFk45z), |dec|<88.8", fk45, nfk);
    PrintLargest("FK5 J2000 -> FK4 B1950 (eraFk54z)", fk54, nfk);
    PrintLargest("J2000 -> B1950 -> J2000 round trip", roundTrip, nfk);
    PrintLargest("galactic longitude x cos b (eraIcrs2g)", galacticL, nfk);
    PrintLargest("galactic latitude (eraIcrs2g)", galacticB, nfk,
                 "  incl. the 0.5\" calibration");
}

// Apparent places: J2000 mean place -> precessed (IAU 1976) -> nutation and
// annual aberration of the date record, against ERFA's classical reduction:
// aberration with the Earth's barycentric velocity (eraEpv00, eraAb) in the
// J2000 frame, then the IAU 1976/1980 precession-nutation matrix (eraPnm80).
// Neither side applies light deflection.
void ApparentPlaceSection() {
    Places places;
    Largest nutation, aberration, apparent, apparentPolar, roundTrip;
    int n = 0, nPolar = 0;
    for (int year = 1900; year <= 2100; year += 5) {
        const double jd = JulianDateFromCalendar(3, 17, year, 4.5);
        DateRecord d;
        std::memset(&d, 0, sizeof(d));
        d.julianDate = jd;
        SetDateRecordFromJulianDate(nullptr, &d);
        ComputeDeltaTAndNutation(&d, 0.0);
        const double tt = d.centuriesTT * 36525.0;
        double pvh[2][3], pvb[2][3], npb[3][3], nut[3][3];
        eraEpv00(2451545.0, tt, pvh, pvb);
        eraPnm80(2451545.0, tt, npb);
        double dpsi, deps;
        eraNut80(2451545.0, tt, &dpsi, &deps);
        eraNumat(eraObl80(2451545.0, tt), dpsi, deps, nut);
        double beta[3];
        for (int k = 0; k < 3; ++k) beta[k] = pvb[1][k] / ERFA_DC;
        const double bm1 = std::sqrt(1.0 - eraPdp(beta, beta));
        const double sunDistance = eraPm(pvh[0]);
        PrecessionRecord p;
        InitPrecession(&p, 0.0, d.centuriesTT, kSystemFk5, kSystemFk5);
        for (int i = 0; i < 110; ++i) {
            double ra0, dec0;
            places.Next(&ra0, &dec0);
            if (i >= 100) {  // ten places within 1.8 deg of a pole
                dec0 = (i % 2 ? 1.0 : -1.0) * (1.5708 - 0.0315 * places.Next01());
            }
            const bool polar = std::fabs(dec0) > 1.54;
            double ra = ra0, dec = dec0;
            ApplyPrecession(&p, &ra, &dec, 0, 0, 0);
            const double meanRa = ra, meanDec = dec;
            // Nutation alone, against ERFA's matrix with ERFA's series.
            double nra = meanRa, ndec = meanDec, v[3], w[3], era, edec;
            ApplyNutationToEquatorial(&d, &nra, &ndec, 1);
            eraS2c(meanRa, meanDec, v);
            eraRxp(nut, v, w);
            eraC2s(w, &era, &edec);
            nutation.Take(eraSeps(nra, ndec, era, edec) * kRadiansToArcseconds);
            ConvertMeanToApparentPlace(&d, &ra, &dec, 1);
            double p0[3], ab[3], q[3];
            eraS2c(ra0, dec0, p0);
            eraAb(p0, beta, sunDistance, bm1, ab);
            eraRxp(npb, ab, q);
            eraC2s(q, &era, &edec);
            const double sep = eraSeps(ra, dec, era, edec) * kRadiansToArcseconds;
            if (polar) {
                apparentPolar.Take(sep);
                ++nPolar;
            } else {
                apparent.Take(sep);
                ++n;
            }
            // Aberration alone: both applied to the mean place of date.
            double ara = meanRa, adec = meanDec;
            ApplyAnnualAberration(&d, &ara, &adec, 1, 1);
            double pd[3], bd[3], rp[3][3], qa[3];
            eraPmat76(2451545.0, tt, rp);
            eraRxp(rp, beta, bd);
            eraS2c(meanRa, meanDec, pd);
            eraAb(pd, bd, sunDistance, bm1, qa);
            eraC2s(qa, &era, &edec);
            aberration.Take(eraSeps(ara, adec, era, edec) * kRadiansToArcseconds);
            ConvertApparentToMeanPlace(&d, &ra, &dec, 1);
            roundTrip.Take(eraSeps(ra, dec, meanRa, meanDec) * kRadiansToArcseconds);
        }
    }
    std::printf("Apparent places 1900-2100 (nutation from nutcon.bin, low-precision Sun)\n");
    PrintLargest("nutation (eraNumat with eraNut80)", nutation, n + nPolar);
    PrintLargest("annual aberration (eraAb, eraEpv00 velocity)", aberration, n + nPolar);
    PrintLargest("J2000 -> apparent, |dec| <= 88.2 deg (eraPnm80)", apparent, n);
    PrintLargest("J2000 -> apparent, |dec| > 88.2 deg", apparentPolar, nPolar);
    PrintLargest("apparent -> mean round trip", roundTrip, n + nPolar);
}

// Refraction against the formulas as published (Bennett 1982: R = cot(h0 +
// 7.31/(h0 + 4.4)); Saemundsson 1986: R = 1.02 cot(h + 10.3/(h + 5.11));
// arcminutes, degrees), where neither is capped.
void RefractionSection() {
    const double arcmin = kPi / 10800.0;
    Largest bennett, saemundsson, inverse;
    bennett.unit = saemundsson.unit = inverse.unit = "'";
    int n = 0;
    for (double h = 0.0; h <= 90.0; h += 0.01, ++n) {
        const double bennettPublished = 1.0 / std::tan((h + 7.31 / (h + 4.4)) * kPi / 180.0);
        const double saemundssonPublished =
            1.02 / std::tan((h + 10.3 / (h + 5.11)) * kPi / 180.0);
        if (bennettPublished < 34.0)
            bennett.Take(GetRefractionForApparentAltitude(h * kPi / 180.0) / arcmin -
                         bennettPublished);
        saemundsson.Take(GetRefractionForTrueAltitude(h * kPi / 180.0) / arcmin -
                         saemundssonPublished);
        const double apparent = h * kPi / 180.0 + GetRefractionForTrueAltitude(h * kPi / 180.0);
        inverse.Take((apparent - GetRefractionForApparentAltitude(apparent) - h * kPi / 180.0) /
                     arcmin);
    }
    std::printf("Refraction, altitudes 0..90 deg every 0.01 deg\n");
    PrintLargest("apparent altitude vs Bennett (published)", bennett, n,
                 "  (the zenith constant 0.0013515')");
    PrintLargest("true altitude vs Saemundsson (published)", saemundsson, n,
                 "  (the zenith constant 0.0019279')");
    PrintLargest("true -> apparent -> true", inverse, n);
}

// Rise and set of fixed stars: one pass from the hour angle at 0 h UT against
// a root search of the ERFA altitude (eraGmst82, eraHd2ae) at -34' (lowered by
// the dip at elevated sites).
void RiseSetSection() {
    struct SiteCase {
        const char *name;
        double lat, lonWest, elevation;
    } sites[] = {{"Greenwich", 51.48, 0.0, 0.0},       {"Cape Town", -33.9, -18.4, 0.0},
                 {"Mauna Kea", 19.82, 155.47, 4200.0}, {"Reykjavik", 64.1, 21.9, 0.0},
                 {"Dead Sea", 31.5, -35.5, -430.0},    {"Tromso", 69.65, -18.96, 0.0}};
    Places places;
    Largest worst;
    worst.unit = "s";
    int n = 0, missed = 0;
    for (const SiteCase &sc : sites) {
        LocationRecord site;
        InitLocationRecord(&site, sc.lonWest * kPi / 180.0, sc.lat * kPi / 180.0, sc.elevation, 6.5,
                           0.0, 10.0, 50.0, 2, 0.0, 0.0, sc.name);
        const double h0 = -0.009891 + (sc.elevation > 0 ? site.horizonDip : 0.0);
        Largest siteWorst;
        siteWorst.unit = "s";
        int siteCount = 0;
        for (int day = 0; day < 40; ++day) {
            const double jd0 = 2451545.5 + day * 271.3;
            for (int i = 0; i < 25; ++i) {
                double ra, dec;
                places.Next(&ra, &dec);
                const double h = eraGmst82(jd0, 0.0) - site.longitude - ra;
                double rise, transit, set;
                if (ComputeRiseTransitSet(&site, h, dec, 0.0, 0.0, 5, &rise, &transit, &set) !=
                    kRiseSetNormal)
                    continue;
                auto altitude = [&](double hours) {
                    double az, el;
                    eraHd2ae(eraGmst82(jd0 + hours / 24.0, 0.0) - site.longitude - ra, dec,
                             site.latitude, &az, &el);
                    return el - h0;
                };
                for (double event : {rise, set}) {
                    // A bracket of +-3 minutes: wide enough for any error
                    // worth reporting, narrow enough to hold one crossing
                    // even for a star that is up for a few minutes only.
                    double lo = event - 0.05, hi = event + 0.05;
                    if ((altitude(lo) > 0) == (altitude(hi) > 0)) {
                        ++missed;
                        continue;
                    }
                    const bool rising = altitude(hi) > altitude(lo);
                    for (int k = 0; k < 60; ++k) {
                        const double mid = 0.5 * (lo + hi);
                        if ((altitude(mid) > 0) == rising)
                            hi = mid;
                        else
                            lo = mid;
                    }
                    const double difference = (event - 0.5 * (lo + hi)) * 3600.0;
                    siteWorst.Take(difference);
                    worst.Take(difference);
                    ++siteCount;
                    ++n;
                }
            }
        }
        char label[64];
        std::snprintf(label, sizeof(label), "  %s (%.2f, %.0f m)", sc.name, sc.lat, sc.elevation);
        PrintLargest(label, siteWorst, siteCount);
    }
    PrintLargest("rise and set of fixed stars, all sites", worst, n);
    std::printf("  %-44s %d\n", "events without an ERFA crossing within 3 min", missed);
}

}  // namespace

int main(int argc, char **argv) {
    const bool quick = benchutil::TakeShortSwitch(&argc, argv);
    const char *nutconFolder = argc > 1 ? argv[1] : nullptr;
    const char *historicPath = argc > 2 ? argv[2] : kDefaultHistoricTable;
    benchutil::Tally &tally = benchutil::ProgramTally();
    benchutil::ScratchFolder scratch("astro_accuracy");
    // The packaged tables (nutcon.bin with them), or nutcon.bin from the
    // folder given.
    const bool tables = benchutil::LoadEphemerisTables(scratch);
    std::string nutcon = nutconFolder ? nutconFolder : "";
    if (!nutcon.empty() && nutcon.back() != '/') nutcon += '/';
    if (!tables && nutcon.empty()) {
        tally.Missing("astro_accuracy", "the tables could not be generated or read");
        return tally.Finish("astro_accuracy");
    }
    if (!nutcon.empty() && LoadNutationTable(nutcon.c_str()) != 1) {
        tally.Missing("astro_accuracy", "nutcon.bin could not be read");
        return tally.Finish("astro_accuracy");
    }

    LocationRecord greenwich;
    InitLocationRecord(&greenwich, 0.0, 0.9, 0.0, 6.5, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "Greenwich");

    const int kSamples = quick ? 1000 : 4000;
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

    DeltaTSection(historicPath);
    PrecessionSections();
    ApparentPlaceSection();
    RefractionSection();
    std::printf("Rise and set of fixed stars against an ERFA altitude search\n");
    RiseSetSection();
    // The ephemeris sections measure what the program uses: the packaged
    // tables (without them the Sun and Moon fall back to their
    // low-precision theories).
    if (!tables) {
        tally.Missing("ephemeris sections", "the ephemeris tables could not be generated or loaded");
    } else {
        sunmoon_accuracy::Section();
        ephem_accuracy::PlanetSeriesSection();
        ephem_accuracy::Section();
        moontimes_accuracy::Section();
        ranges_accuracy::Section();
        FreeEphemerisData();
    }
    FreeNutationTable();
    // The nutation table (nutcon.bin) holds the series' larger terms only.
    tally.Check("GMST against eraGmst82", gmst.value, "\"", 0.002);
    tally.Check("GAST against eraGst94", gast.value, "\"", 0.01);
    tally.Check("nutation in longitude against eraNut80", dpsi.value, "\"", 0.005);
    tally.Check("nutation in obliquity against eraNut80", deps.value, "\"", 0.005);
    return tally.Finish("astro_accuracy");
}

#endif  // ASTRO_ACCURACY_HAVE_ERFA
