// Accuracy section of the astro_accuracy benchmark: the Sun's and the Moon's
// apparent places as the Sun and Moon state uses them (with the packaged
// tables loaded), against ERFA. The Sun against eraEpv00 (VSOP2000-based
// Earth) with stellar aberration (eraAb), the Moon against libnova's ELP
// 2000-82B, the full lunar theory (eraMoon98, built on the abridged theory
// the program uses, where libnova is missing), both turned to the true
// equator of date with the IAU 1976/1980 precession-nutation (eraPnm80); places seen from the Earth's
// centre and from sites on the surface (topocentric, with diurnal parallax),
// the Moon's distance and illuminated fraction. Included by astro_accuracy.cpp
// inside its ERFA branch; prints the largest differences.
#pragma once

#include <erfa.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "astro/datetime.h"
#include "bench/ephem_accuracy.h"
#include "astro/location.h"
#include "core/mathutil.h"
#include "astro/riseset.h"
#include "astro/sidereal.h"
#include "ephem/sunmoon.h"
#include "ephem/bodyrecord.h"

namespace sunmoon_accuracy {

const double kToArcsec = 648000.0 / kPi;
const double kAuMetres = 149597870700.0;
const double kLightMetresPerSecond = 299792458.0;

struct ErfaPlace {
    double geocentric[3];  // GCRS, AU (the Sun with aberration)
    double geometric[3];   // GCRS, AU, without aberration
    double ra, dec;        // true equator of date, seen from the site
    double distanceKm;     // from the site
    double altitude;       // geometric
};

// site == nullptr: seen from the Earth's centre.
ErfaPlace ErfaBody(double jdUt, double deltaTDays, const LocationRecord *site, bool moon) {
    ErfaPlace out;
    double tt = jdUt + deltaTDays;
    double pvh[2][3], pvb[2][3];
    eraEpv00(2400000.5, tt - 2400000.5, pvh, pvb);
    double p[3];
    if (moon) {
        ephem_accuracy::MoonGeocentric(tt, ephem_accuracy::HaveFullTheories(), p);
    } else {
        double distance, unit[3], v[3], apparent[3];
        eraSxp(-1.0, pvh[0], p);
        eraPn(p, &distance, unit);
        eraSxp(kAuMetres / 86400.0 / kLightMetresPerSecond, pvb[1], v);
        eraAb(unit, v, distance, std::sqrt(1.0 - eraPdp(v, v)), apparent);
        eraSxp(distance, apparent, p);
    }
    eraCp(p, out.geocentric);
    if (moon)
        eraCp(p, out.geometric);
    else
        eraSxp(-1.0, pvh[0], out.geometric);
    double rnp[3][3], trueOfDate[3];
    eraPnm80(2400000.5, tt - 2400000.5, rnp);
    eraRxp(rnp, p, trueOfDate);
    double gast = eraGst94(jdUt, 0.0);
    double observer[3] = {0.0, 0.0, 0.0};
    double lonEast = 0.0, lat = 0.0;
    if (site) {
        lonEast = -site->longitude;
        lat = site->latitude;
        double xyz[3];
        eraGd2gc(1, lonEast, lat, site->elevation, xyz);
        observer[0] = std::cos(gast) * xyz[0] - std::sin(gast) * xyz[1];
        observer[1] = std::sin(gast) * xyz[0] + std::cos(gast) * xyz[1];
        observer[2] = xyz[2];
    }
    double topo[3];
    for (int i = 0; i < 3; ++i) topo[i] = trueOfDate[i] * kAuMetres - observer[i];
    eraC2s(topo, &out.ra, &out.dec);
    out.ra = eraAnp(out.ra);
    out.distanceKm = eraPm(topo) / 1000.0;
    double h = gast + lonEast - out.ra;
    out.altitude = std::asin(std::sin(lat) * std::sin(out.dec) +
                             std::cos(lat) * std::cos(out.dec) * std::cos(h));
    return out;
}

struct Largest {
    double value = 0.0;
    double year = 0.0;
    void Take(double v, double y) {
        if (std::fabs(v) > std::fabs(value)) {
            value = v;
            year = y;
        }
    }
};

void Print(const char *name, const Largest &l, const char *unit, int count) {
    std::printf("  %-44s %12.4f %-6s at %.1f  (%d cases)\n", name, l.value, unit, l.year, count);
}

void CompleteDate(const LocationRecord *site, double jd, DateRecord *date) {
    std::memset(date, 0, sizeof(*date));
    date->julianDate = jd;
    SetDateRecordFromJulianDate(site, date);
    ComputeDeltaTAndNutation(date, 0.0);
    ComputeSiderealTimes(site, date);
}

void Section() {
    std::printf("Sun and Moon places of the Sun and Moon state against ERFA (eraEpv00) and %s\n",
                ephem_accuracy::HaveFullTheories()
                    ? "libnova's ELP 2000-82B"
                    : "eraMoon98 (libnova not installed: the full lunar theory skipped)");
    // The Earth's centre: a site one Earth radius down at latitude 0.
    LocationRecord centre;
    InitLocationRecord(&centre, 0.0, 0.0, -6378140.0, 6.5, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "Centre");
    const int kInstants = 4000;
    Largest sunPlace, sunRa, sunDec, sunDistance, moonPlace, moonRa, moonDec, moonDistance,
        moonFraction, moonElongation;
    uint32_t seed = 24680u;
    for (int i = 0; i < kInstants; ++i) {
        seed = seed * 1664525u + 1013904223u;
        // 1800-2200, pseudo-random within each tenth of a year.
        double jd = 2378496.5 + (i + (seed >> 8) / 16777216.0) * (146097.0 / kInstants);
        DateRecord date;
        CompleteDate(&centre, jd, &date);
        HeliocentricPlace earth = ComputeEarthHeliocentric(&date);
        BodyRecord sun, moon;
        std::memset(&sun, 0, sizeof(sun));
        std::memset(&moon, 0, sizeof(moon));
        sun.type = kBodySun;
        ComputeBodyPosition(&date, earth, &sun);
        ComputeBodyTopocentric(&centre, &date, &sun);
        moon.type = kBodyMoon;
        ComputeBodyPosition(&date, earth, &moon);
        ComputeBodyTopocentric(&centre, &date, &moon);
        ComputeBodyPhysicalData(&date, &moon, earth);

        ErfaPlace s = ErfaBody(jd, date.deltaT, nullptr, false);
        ErfaPlace m = ErfaBody(jd, date.deltaT, nullptr, true);
        double year = date.decimalYear;
        sunPlace.Take(AngularSeparation(s.ra, s.dec, sun.topocentricRightAscension,
                                        sun.topocentricDeclination) * kToArcsec, year);
        sunRa.Take(GetSignedAngleDifference(s.ra, sun.topocentricRightAscension) * kToArcsec, year);
        sunDec.Take((sun.topocentricDeclination - s.dec) * kToArcsec, year);
        sunDistance.Take((sun.geocentricDistance - eraPm(s.geocentric)) * kAuMetres / 1000.0, year);
        moonPlace.Take(AngularSeparation(m.ra, m.dec, moon.topocentricRightAscension,
                                         moon.topocentricDeclination) * kToArcsec, year);
        moonRa.Take(GetSignedAngleDifference(m.ra, moon.topocentricRightAscension) * kToArcsec, year);
        moonDec.Take((moon.topocentricDeclination - m.dec) * kToArcsec, year);
        moonDistance.Take(moon.geocentricDistance - m.distanceKm, year);
        double toSun[3], toEarth[3];
        eraPmp(s.geocentric, m.geocentric, toSun);
        eraSxp(-1.0, m.geocentric, toEarth);
        double fraction = (1.0 + std::cos(eraSepp(toSun, toEarth))) / 2.0;
        moonFraction.Take(moon.illuminatedFraction - fraction, year);
        // Elongation in longitude from ERFA's geometric places (ecliptic of date).
        double rnp[3][3], sd[3], md[3], sl, sb, ml, mb;
        eraPnm80(2400000.5, jd + date.deltaT - 2400000.5, rnp);
        eraRxp(rnp, s.geometric, sd);
        eraRxp(rnp, m.geometric, md);
        double eps = eraObl80(2400000.5, jd + date.deltaT - 2400000.5);
        double rx[3][3];
        eraIr(rx);
        eraRx(eps, rx);
        eraRxp(rx, sd, sd);
        eraRxp(rx, md, md);
        eraC2s(sd, &sl, &sb);
        eraC2s(md, &ml, &mb);
        moonElongation.Take(
            GetSignedAngleDifference(eraAnp(ml - sl), moon.satellites[kSatelliteOrbitalAngle][0]) *
                kToArcsec,
            year);
    }
    Print("Sun apparent place, geocentric (separation)", sunPlace, "\"", kInstants);
    Print("Sun apparent right ascension", sunRa, "\"", kInstants);
    Print("Sun apparent declination", sunDec, "\"", kInstants);
    Print("Sun distance", sunDistance, "km", kInstants);
    Print("Moon apparent place, geocentric (separation)", moonPlace, "\"", kInstants);
    Print("Moon apparent right ascension", moonRa, "\"", kInstants);
    Print("Moon apparent declination", moonDec, "\"", kInstants);
    Print("Moon distance", moonDistance, "km", kInstants);
    Print("Moon illuminated fraction", moonFraction, "", kInstants);
    Print("Moon elongation in longitude", moonElongation, "\"", kInstants);

    // Topocentric altitudes through ComputeSunMoonState at a few sites
    // (refraction of the state added to ERFA's geometric altitude).
    struct SiteCase {
        const char *name;
        double lonWestDeg, latDeg, elevation;
    } sites[] = {
        {"Greenwich", 0.0, 51.48, 50.0},      {"Mauna Kea", 155.47, 19.82, 4205.0},
        {"Siding Spring", -149.07, -31.27, 1165.0}, {"Dead Sea", -35.5, 31.5, -430.0},
        {"Tromso", -18.94, 69.65, 100.0},
    };
    Largest sunAltitude, moonAltitude, moonTopocentric;
    int cases = 0;
    for (const SiteCase &c : sites) {
        LocationRecord site;
        InitLocationRecord(&site, c.lonWestDeg * kPi / 180.0, c.latDeg * kPi / 180.0, c.elevation, 6.5,
                           0.0, 10.0, 50.0, 2, 0.0, 0.0, c.name);
        for (int i = 0; i < 400; ++i) {
            double jd = 2440000.5 + i * 36.5 + 0.123 * i;  // 1968-2008
            SunMoonState state;
            ComputeSunMoonState(&site, jd, 0.0, kNoTarget, &state, 0);
            DateRecord date;
            CompleteDate(&site, jd, &date);
            ErfaPlace s = ErfaBody(jd, date.deltaT, &site, false);
            ErfaPlace m = ErfaBody(jd, date.deltaT, &site, true);
            double year = date.decimalYear;
            sunAltitude.Take((state.sunAltitude - (s.altitude + GetRefractionForTrueAltitude(s.altitude))) *
                                 kToArcsec,
                             year);
            moonAltitude.Take(
                (state.moonAltitude - (m.altitude + GetRefractionForTrueAltitude(m.altitude))) * kToArcsec,
                year);
            moonTopocentric.Take(AngularSeparation(m.ra, m.dec, state.moonRightAscension,
                                                   state.moonDeclination) * kToArcsec,
                                 year);
            ++cases;
        }
    }
    Print("Sun altitude at five sites", sunAltitude, "\"", cases);
    Print("Moon altitude at five sites", moonAltitude, "\"", cases);
    Print("Moon topocentric place (separation)", moonTopocentric, "\"", cases);
}

}  // namespace sunmoon_accuracy
