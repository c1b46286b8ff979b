// Tests of the Sun and Moon state: the cache's bounds and interpolation, the
// estimate without ephemerides, the no-target rules, and the Sun's and Moon's
// places and the Moon's phase against ERFA (eraEpv00, eraMoon98).
#include "ephem/sunmoon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "core/mathutil.h"
#include "astro/riseset.h"
#include "astro/sidereal.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#endif

namespace {

const double kDeg = kPi / 180.0;

LocationRecord Site(double longitudeWestDeg, double latitudeDeg, double elevation = 0.0) {
    LocationRecord site;
    InitLocationRecord(&site, longitudeWestDeg * kDeg, latitudeDeg * kDeg, elevation, 6.5, 0.0, 10.0,
                       50.0, 2, 0.0, 0.0, "Test");
    return site;
}

const double kJd = 2460000.5;  // 2023 February 24, 0 h UT

TEST(SunMoonCache, BoundsOfTheSampledSpan) {
    LocationRecord site = Site(0.0, 51.5);
    SunMoonCache cache;
    ASSERT_EQ(BuildSunMoonCache(&cache, &site, kJd, kJd, 1.0), 1);
    EXPECT_EQ(cache.count, 1);  // two samples: start and start + 1 day
    SunMoonState s;
    EXPECT_EQ(LookupSunMoonCache(&cache, kJd, 0.0, kNoTarget, 0, &s), 1);
    EXPECT_EQ(LookupSunMoonCache(&cache, kJd + 1.0, 0.0, kNoTarget, 0, &s), 1);
    EXPECT_EQ(LookupSunMoonCache(&cache, kJd + 1.01, 0.0, kNoTarget, 0, &s), 0);
    EXPECT_EQ(LookupSunMoonCache(&cache, kJd - 0.01, 0.0, kNoTarget, 0, &s), 0);
    EXPECT_EQ(LookupSunMoonCache(&cache, kJd, 0.0, kNoTarget, 0, nullptr), 0);
    EXPECT_EQ(LookupSunMoonCache(nullptr, kJd, 0.0, kNoTarget, 0, &s), 0);

    // Refused builds leave no samples, so lookups answer 0.
    struct Case {
        double start, end, step;
    } refused[] = {
        {kJd + 0.5, kJd, 1.0},    // start after end
        {kJd, kJd + 1.0, 0.0},    // no step: (end - start) / 0
        {kJd, kJd, 0.0},          // 0 / 0
        {kJd, kJd + 1.0, -0.1},   // negative step
        {kJd, kJd + 3650.0, 1e-5},  // far too many samples
        {kJd, NAN, 1.0},
    };
    for (const Case &c : refused) {
        EXPECT_EQ(BuildSunMoonCache(&cache, &site, c.start, c.end, c.step), 0) << c.step;
        EXPECT_EQ(cache.samples, nullptr);
        EXPECT_EQ(LookupSunMoonCache(&cache, kJd, 0.0, kNoTarget, 0, &s), 0);
    }
    EXPECT_EQ(BuildSunMoonCache(&cache, nullptr, kJd, kJd, 1.0), 0);
    FreeSunMoonCache(&cache);
    FreeSunMoonCache(&cache);  // twice is harmless
    FreeSunMoonCache(nullptr);
}

TEST(SunMoonCache, RebuildingReplacesTheSamples) {
    // Under the address sanitizer a lost array would be reported as a leak.
    LocationRecord site = Site(0.0, 51.5);
    SunMoonCache cache;
    ASSERT_EQ(BuildSunMoonCache(&cache, &site, kJd, kJd + 0.5, 0.25), 1);
    EXPECT_EQ(cache.count, 3);
    ASSERT_EQ(BuildSunMoonCache(&cache, &site, kJd + 10.0, kJd + 10.0, 1.0), 1);
    EXPECT_EQ(cache.count, 1);
    EXPECT_EQ(cache.startJulianDate, kJd + 10.0);
    FreeSunMoonCache(&cache);
    EXPECT_EQ(cache.samples, nullptr);
}

TEST(SunMoonCache, InterpolatesBetweenSamples) {
    LocationRecord site = Site(-10.0, 45.0);
    SunMoonCache cache;
    ASSERT_EQ(BuildSunMoonCache(&cache, &site, kJd, kJd + 0.25, 1.0 / 24.0), 1);
    ASSERT_EQ(cache.count, 7);
    const SunMoonState &a = cache.samples[2];
    const SunMoonState &b = cache.samples[3];
    SunMoonState s;
    // Tolerances of 1e-8 rad allow for the last bit of a Julian date (4.7e-10 day).
    ASSERT_EQ(LookupSunMoonCache(&cache, kJd + 2.5 / 24.0, 0.0, kNoTarget, 0, &s), 1);
    EXPECT_NEAR(s.sunAltitude, (a.sunAltitude + b.sunAltitude) / 2, 1e-8);
    EXPECT_NEAR(s.moonAltitude, (a.moonAltitude + b.moonAltitude) / 2, 1e-8);
    EXPECT_NEAR(s.moonIlluminatedFraction, (a.moonIlluminatedFraction + b.moonIlluminatedFraction) / 2,
                1e-8);
    // No target: separations are the zenith distances of the interpolated places.
    EXPECT_NEAR(s.sunTargetSeparation, kPi / 2 - s.sunAltitude, 1e-12);
    EXPECT_NEAR(s.moonTargetSeparation, kPi / 2 - s.moonAltitude, 1e-12);
    // Exactly at a sample: that sample, and the direct computation.
    ASSERT_EQ(LookupSunMoonCache(&cache, kJd + 3.0 / 24.0, 0.0, kNoTarget, 0, &s), 1);
    EXPECT_NEAR(s.sunAltitude, b.sunAltitude, 1e-8);
    EXPECT_NEAR(s.moonRightAscension, b.moonRightAscension, 1e-8);
    SunMoonState direct;
    ComputeSunMoonState(&site, kJd + 3.0 / 24.0, 0.0, kNoTarget, &direct, 0);
    EXPECT_NEAR(direct.sunAltitude, b.sunAltitude, 1e-8);
    // The last sample answers at the end of the span.
    ASSERT_EQ(LookupSunMoonCache(&cache, kJd + 7.0 / 24.0, 0.0, kNoTarget, 0, &s), 1);
    EXPECT_DOUBLE_EQ(s.moonDeclination, cache.samples[7].moonDeclination);
    FreeSunMoonCache(&cache);
}

TEST(SunMoonCache, RightAscensionAndElongationWrapTheShortWay) {
    // Hand-made samples across 0 h and across new Moon.
    SunMoonState samples[2];
    std::memset(samples, 0, sizeof(samples));
    samples[0].moonRightAscension = 2 * kPi - 0.02;
    samples[1].moonRightAscension = 0.04;
    samples[0].sunRightAscension = 0.02;
    samples[1].sunRightAscension = 2 * kPi - 0.02;
    samples[0].moonElongation = 2 * kPi - 0.1;
    samples[1].moonElongation = 0.1;
    SunMoonCache cache;
    cache.site = Site(0.0, 40.0);
    cache.samples = samples;
    cache.count = 1;
    cache.startJulianDate = kJd;
    cache.step = 0.5;
    SunMoonState s;
    ASSERT_EQ(LookupSunMoonCache(&cache, kJd + 0.25, 0.0, kNoTarget, 0, &s), 1);
    EXPECT_NEAR(s.moonRightAscension, 0.01, 1e-12);   // not pi
    EXPECT_NEAR(s.sunRightAscension, 0.0, 1e-12);
    EXPECT_NEAR(s.moonElongation, 0.0, 1e-12);        // new Moon, not full Moon
    ASSERT_EQ(LookupSunMoonCache(&cache, kJd + 0.125, 0.0, kNoTarget, 0, &s), 1);
    EXPECT_NEAR(s.moonElongation, 2 * kPi - 0.05, 1e-12);
    EXPECT_GE(s.moonRightAscension, 0.0);
    EXPECT_LT(s.moonRightAscension, 2 * kPi);
    cache.samples = nullptr;  // the array is the test's own
}

TEST(SunMoonState, TargetAndCulmination) {
    LocationRecord site = Site(-10.0, 45.0);
    SunMoonState s;
    s.targetAltitude = 123.0;  // must stay: there is no target
    ComputeSunMoonState(&site, kJd + 0.3, 0.0, kNoTarget, &s, 0);
    EXPECT_EQ(s.targetAltitude, 123.0);
    EXPECT_NEAR(s.sunTargetSeparation, kPi / 2 - s.sunAltitude, 1e-12);
    EXPECT_NEAR(s.moonTargetSeparation, kPi / 2 - s.moonAltitude, 1e-12);
    EXPECT_EQ(s.culminationFraction, 0.0);
    // A target at the Sun's own place: separation 0 and the same altitude.
    SunMoonState t;
    ComputeSunMoonState(&site, kJd + 0.3, s.sunRightAscension, s.sunDeclination, &t, 1);
    EXPECT_NEAR(t.sunTargetSeparation, 0.0, 1e-9);
    EXPECT_NEAR(t.targetAltitude, t.sunAltitude, 1e-9);
    // Culmination fractions: through the zenith 1; the celestial equator at
    // latitude 45: 0.5; the south pole never culminates above the horizon: < 0.
    ComputeSunMoonState(&site, kJd, 0.0, site.latitude, &t, 1);
    EXPECT_NEAR(t.culminationFraction, 1.0, 1e-12);
    ComputeSunMoonState(&site, kJd, 0.0, 0.0, &t, 1);
    EXPECT_NEAR(t.culminationFraction, 0.5, 1e-12);
    ComputeSunMoonState(&site, kJd, 0.0, -kPi / 2, &t, 1);
    EXPECT_NEAR(t.culminationFraction, -0.5, 1e-12);
}

TEST(SunMoonState, EstimateWithoutEphemerides) {
    LocationRecord site = Site(0.0, 40.0);
    SunMoonState s;
    std::memset(&s, 0xFF, sizeof(s));  // every field must be written
    ASSERT_EQ(EstimateSunMoonStateForTarget(&site, 0.0, 20.0 * kDeg, &s), &s);
    EXPECT_NEAR(s.targetAltitude, 70.0 * kDeg, 1e-12);
    // Target at 0 h: the Sun opposite at 12 h, declination 23.5 sin(pi) = 0,
    // lower culmination at latitude 40: -50 degrees.
    EXPECT_NEAR(s.sunAltitude, -50.0 * kDeg, 1e-9);
    EXPECT_NEAR(s.sunTargetSeparation, 120.0 * kDeg, 1e-9);
    EXPECT_EQ(s.moonAltitude, s.sunAltitude);
    EXPECT_EQ(s.moonTargetSeparation, s.sunTargetSeparation);
    EXPECT_EQ(s.moonElongation, 0.0);
    EXPECT_EQ(s.sunRightAscension, 0.0);
    EXPECT_EQ(s.moonDeclination, 0.0);
    EXPECT_EQ(s.culminationFraction, 0.0);
    EXPECT_EQ(IsEstimatedSunMoonState(&s), 1);
    // Target at 18 h: the Sun at 6 h, declination +23.5.
    EstimateSunMoonStateForTarget(&site, 1.5 * kPi, 0.0, &s);
    EXPECT_NEAR(s.sunAltitude, (40.0 + 23.5 - 90.0) * kDeg, 1e-9);
    SunMoonState real;
    ComputeSunMoonState(&site, kJd, 0.0, 0.0, &real, 0);
    EXPECT_EQ(IsEstimatedSunMoonState(&real), 0);
}

TEST(SunMoonState, PhaseOverALunation) {
    // 2023 January 21 20:53 UT new Moon, February 5 18:28 UT full Moon.
    LocationRecord site = Site(0.0, 0.0);
    SunMoonState s;
    ComputeSunMoonState(&site, 2459966.370, 0.0, kNoTarget, &s, 0);
    EXPECT_LT(s.moonIlluminatedFraction, 0.01);
    EXPECT_LT(FoldedAngleDifference(s.moonElongation, 0.0), 3.0 * kDeg);
    ComputeSunMoonState(&site, 2459981.270, 0.0, kNoTarget, &s, 0);
    EXPECT_GT(s.moonIlluminatedFraction, 0.99);
    EXPECT_LT(FoldedAngleDifference(s.moonElongation, kPi), 3.0 * kDeg);
}

#ifdef GLEANER_HAVE_ERFA
const double kAuMetres = 149597870700.0;     // IAU 2012
const double kLightMetresPerSecond = 299792458.0;

// Topocentric apparent place (true equator and equinox of date) and geometric
// altitude of the Sun or the Moon from ERFA: eraEpv00 / eraMoon98 positions,
// stellar aberration for the Sun (eraAb), IAU 1976/1980 precession-nutation
// (eraPnm80), Greenwich apparent sidereal time (eraGst94) and the site's
// geocentric position (eraGd2gc).
void ErfaTopocentric(double jdUt, double deltaTDays, const LocationRecord &site, bool moon,
                     double *ra, double *dec, double *altitude, double *geocentric) {
    double tt = jdUt + deltaTDays;
    double pvh[2][3], pvb[2][3];
    eraEpv00(2400000.5, tt - 2400000.5, pvh, pvb);
    double p[3];
    if (moon) {
        double pv[2][3];
        eraMoon98(2400000.5, tt - 2400000.5, pv);
        eraCp(pv[0], p);
    } else {
        double distance, unit[3], v[3], apparent[3];
        eraSxp(-1.0, pvh[0], p);
        eraPn(p, &distance, unit);
        eraSxp(kAuMetres / 86400.0 / kLightMetresPerSecond, pvb[1], v);
        double bm1 = std::sqrt(1.0 - eraPdp(v, v));
        eraAb(unit, v, distance, bm1, apparent);
        eraSxp(distance, apparent, p);
    }
    if (geocentric) eraCp(p, geocentric);
    double rnp[3][3], trueOfDate[3];
    eraPnm80(2400000.5, tt - 2400000.5, rnp);
    eraRxp(rnp, p, trueOfDate);
    double gast = eraGst94(jdUt, 0.0);
    double lonEast = -site.longitude;
    double xyz[3];
    eraGd2gc(1, lonEast, site.latitude, site.elevation, xyz);
    double observer[3] = {std::cos(gast) * xyz[0] - std::sin(gast) * xyz[1],
                          std::sin(gast) * xyz[0] + std::cos(gast) * xyz[1], xyz[2]};
    double topo[3];
    for (int i = 0; i < 3; ++i) topo[i] = trueOfDate[i] * kAuMetres - observer[i];
    eraC2s(topo, ra, dec);
    *ra = eraAnp(*ra);
    double h = gast + lonEast - *ra;
    *altitude = std::asin(std::sin(site.latitude) * std::sin(*dec) +
                          std::cos(site.latitude) * std::cos(*dec) * std::cos(h));
}

TEST(SunMoonState, AgreesWithErfa) {
    struct Case {
        double longitudeWest, latitude, elevation, jd;
    } cases[] = {
        {0.0, 51.48, 50.0, 2451545.25},     // Greenwich, 2000
        {118.06, 34.22, 1700.0, 2455197.9},  // California, 2010
        {-149.07, -31.27, 1165.0, 2458850.6},  // New South Wales, 2020
        {70.4, -24.6, 2635.0, 2461000.1},    // Chile, 2025
        {-34.8, 31.0, -400.0, 2447892.4},    // below sea level, 1990
    };
    double worstSun = 0, worstMoon = 0, worstFraction = 0;
    for (const Case &c : cases) {
        LocationRecord site = Site(c.longitudeWest, c.latitude, c.elevation);
        for (int hour = 0; hour < 24; hour += 3) {
            double jd = c.jd + hour / 24.0;
            SunMoonState s;
            ComputeSunMoonState(&site, jd, 0.0, kNoTarget, &s, 0);
            DateRecord date;
            std::memset(&date, 0, sizeof(date));
            date.julianDate = jd;
            SetDateRecordFromJulianDate(&site, &date);
            ComputeDeltaTAndNutation(&date, 0.0);
            double ra, dec, alt, sunGeo[3], moonGeo[3];
            ErfaTopocentric(jd, date.deltaT, site, false, &ra, &dec, &alt, sunGeo);
            double sunSep = AngularSeparation(ra, dec, s.sunRightAscension, s.sunDeclination);
            double sunAlt = std::fabs(s.sunAltitude - (alt + GetRefractionForTrueAltitude(alt)));
            EXPECT_LT(sunSep, 0.015 * kDeg) << c.jd << " " << hour;
            EXPECT_LT(sunAlt, 0.015 * kDeg) << c.jd << " " << hour;
            worstSun = std::fmax(worstSun, std::fmax(sunSep, sunAlt));
            ErfaTopocentric(jd, date.deltaT, site, true, &ra, &dec, &alt, moonGeo);
            double moonSep = AngularSeparation(ra, dec, s.moonRightAscension, s.moonDeclination);
            double moonAlt = std::fabs(s.moonAltitude - (alt + GetRefractionForTrueAltitude(alt)));
            EXPECT_LT(moonSep, 0.02 * kDeg) << c.jd << " " << hour;
            EXPECT_LT(moonAlt, 0.02 * kDeg) << c.jd << " " << hour;
            worstMoon = std::fmax(worstMoon, std::fmax(moonSep, moonAlt));
            // Illuminated fraction from the phase angle at the Moon.
            double toSun[3], toEarth[3];
            eraPmp(sunGeo, moonGeo, toSun);
            eraSxp(-1.0, moonGeo, toEarth);
            double phase = eraSepp(toSun, toEarth);
            double fraction = (1.0 + std::cos(phase)) / 2.0;
            EXPECT_NEAR(s.moonIlluminatedFraction, fraction, 0.005) << c.jd << " " << hour;
            worstFraction = std::fmax(worstFraction, std::fabs(s.moonIlluminatedFraction - fraction));
        }
    }
    std::printf("largest differences from ERFA: Sun %.1f\", Moon %.1f\", Moon fraction %.4f\n",
                worstSun / kDeg * 3600, worstMoon / kDeg * 3600, worstFraction);
}
#endif

}  // namespace
