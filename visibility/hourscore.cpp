// The hour score, the darkness profile of a night and the brightness weights.
#include "visibility/hourscore.h"

#include <cmath>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "ephem/satposition.h"
#include "ephem/sunmoon.h"
#include "objects/objectrecord.h"
#include "photometry/extinction.h"
#include "photometry/skybright.h"
#include "photometry/skymodel.h"
#include "visibility/hourtable.h"

namespace {

const int kProfileStride = 8;
const double kCacheStep = 1.0 / 720.0;  // two minutes, in days
const double kBlendWeights[9] = {0, 0.05, 0.1, 0.25, 0.5, 0.75, 0.85, 0.9, 1};

uint8_t DarknessByteAt(const LocationRecord *site, double julianDate, const DateRecord *like,
                       SunMoonCache *cache) {
    DateRecord d = *like;
    d.julianDate = julianDate;
    SetDateRecordFromJulianDate(site, &d);
    ComputeDeltaTAndNutation(&d, 0.0);
    ComputeSiderealTimes(site, &d);
    SunMoonState state = {};
    if (!cache || !LookupSunMoonCache(cache, julianDate, 0.0, kNoTarget, 0, &state))
        ComputeSunMoonState(site, julianDate, 0.0, kNoTarget, &state, 0);
    const uint16_t word = ComputeHourScore(site, &d, state.sunAltitude, state.sunTargetSeparation,
                                           state.moonAltitude, state.moonIlluminatedFraction,
                                           state.moonTargetSeparation, kPi / 2.0, nullptr, nullptr);
    return (uint8_t)(word >> 8);
}

}  // namespace

uint16_t ComputeHourScore(const LocationRecord *site, const DateRecord *date, double sunAltitude,
                          double sunSeparation, double moonAltitude, double moonFraction,
                          double moonSeparation, double targetAltitude, double *darkness,
                          double *altitudeFraction) {
    if (!site || !date) return 0;
    const double dip = site->horizonDip;
    const double h = kPi / 2.0 - dip;
    double fraction = -1.0;
    int score = 0;
    if (targetAltitude > dip) {
        fraction = targetAltitude > kPi / 2.0 ? (kPi - targetAltitude) / h : (targetAltitude - dip) / h;
        const double s = std::trunc(fraction * 256.0);
        score = s > 255.0 ? 255 : (s < 0.0 ? 0 : (int)s);
    }
    if (altitudeFraction) *altitudeFraction = fraction;
    const double k = ComputeVisualExtinction(date->month, site->temperature, site->humidity,
                                             site->latitude, site->elevation);
    const double sky = ComputeSkyBrightness(
        (1.0 - moonFraction) * kPi, kPi / 2.0 - moonAltitude, moonSeparation,
        kPi / 2.0 - sunAltitude, sunSeparation, k, date->year, kPi / 2.0 - targetAltitude,
        ComputeLightPollutionExcess(site->nakedEyeLimit));
    const double d = SkyDarknessFraction(sky);
    if (darkness) *darkness = d;
    const int high = (int)std::round(d * 255.0);
    return (uint16_t)(((high < 0 ? 0 : (high > 255 ? 255 : high)) << 8) | score);
}

int BuildNightProfile(const LocationRecord *site, const DateRecord *date, uint8_t *table, int n,
                      SunMoonCache *cache) {
    if (!site || !date || !table || n < kMinimumHourTableSlots) return 0;
    const double step = 1.0 / (n - 1);
    DateRecord start;
    SetDateRecord(&start, site, date->month, date->day, date->year, -12.0, kLocalTime);
    SetDateRecordFromJulianDate(site, &start);
    ComputeDeltaTAndNutation(&start, 0.0);
    ComputeSiderealTimes(site, &start);
    const double jd0 = start.julianDate;
    if (cache) BuildSunMoonCache(cache, site, jd0, jd0 + 1.0, kCacheStep);
    int previous = 0;
    table[0] = DarknessByteAt(site, jd0, &start, cache);
    while (previous < n - 1) {
        int q = previous + kProfileStride;
        if (q > n - 1) q = n - 1;
        table[q] = DarknessByteAt(site, jd0 + q * step, &start, cache);
        const double a = table[previous], b = table[q];
        const int stride = q - previous;
        for (int i = previous + 1; i < q; ++i)
            table[i] = (uint8_t)std::round(a + (i - previous) * (b - a) / stride);
        previous = q;
    }
    return 1;
}

int ClassifyBrightness(int objectClass, double m) {
    if (objectClass > 22 || objectClass < 0) return -1;
    switch (objectClass) {
    case kClassNone:
    case kClassEarthSatellite:
    case kClassImagePlot:
    case 21:
        return -1;
    case kClassSolarSystem:
    case kClassMinorPlanet:
    case kClassStar:
    case kClassQuasar:
    case kClassUserStar:
    case kClassUserMinorPlanet:
        if (m < -6.0) return 8;
        if (m < -3.0) return 7;
        if (m < 2.0) return 6;
        if (m < 6.0) return 5;
        if (m < 10.0) return 4;
        return 3;
    case kClassConstellation:
        return 4;
    case kClassOpenCluster:
    case kClassGlobularCluster:
        if (m >= 13.0) return 2;
        if (m >= 10.0) return 3;
        return 4;
    case kClassSkyMark:
    case kClassReferencePoint:
        return 8;
    default:
        return m >= 10.0 ? 2 : 3;
    }
}

double BlendByBrightnessClass(double a, double b, double limitB, double limitA, int brightnessClass) {
    if (!(b > limitB && a >= limitA)) return 0.0;
    const double w = (brightnessClass >= 0 && brightnessClass <= 8) ? kBlendWeights[brightnessClass] : 0.0;
    return (1.0 - w) * a + w * b;
}

void ComputeMagnitudeWeights(double m, double *weightA, double *weightB) {
    double a = (m + 4.0) * 7.0 * 0.125;
    a = a < 0.0 ? 0.0 : (a > 10.0 ? 10.0 : a);
    if (weightA) *weightA = a / 90.0;
    double b;
    if (m < -10.0)
        b = 0.0;
    else if (m > 8.0)
        b = 0.6;
    else
        b = 0.000436 * std::pow(m + 10.0, 2.5);
    if (weightB) *weightB = b;
}

double AdjustForExperience(double v, double e, int direction) {
    const double c = (1.0 - e) * 0.25;
    if (direction == 0) return ((v + 0.15) - c) + 0.25;
    return (c + (v - 0.25)) - 0.15;
}

namespace {

int32_t SatelliteHourScore(const LocationRecord *site, const DateRecord *date, double sunAltitude,
                           double sunSeparation, double moonAltitude, double moonFraction, double moonSeparation,
                           double targetAltitude, double *darkness, double *altitudeFraction) {
    return ComputeHourScore(site, date, sunAltitude, sunSeparation, moonAltitude, moonFraction, moonSeparation,
                            targetAltitude, darkness, altitudeFraction);
}

}  // namespace

void ConnectSatelliteHourScore() { SetSatelliteHourScoreFunction(SatelliteHourScore); }
