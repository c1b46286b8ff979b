// The Sun and Moon state for a site and instant, its estimate without
// ephemerides and its sampled cache.
#include "ephem/sunmoon.h"

#include <cmath>
#include <cstring>
#include <new>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "core/mathutil.h"
#include "astro/riseset.h"
#include "astro/sidereal.h"
#include "ephem/bodyrecord.h"

namespace {

const double kHalfPi = kPi / 2.0;
// Extreme declination of the Sun used by the estimate (23.5 degrees).
const double kEstimateObliquity = 0.41015237421866746;

bool HasTarget(double declination) { return declination < kNoTarget; }

void CompleteDateRecord(const LocationRecord *site, double julianDate, DateRecord *date) {
    std::memset(date, 0, sizeof(*date));
    date->julianDate = julianDate;
    SetDateRecordFromJulianDate(site, date);
    ComputeDeltaTAndNutation(date, 0.0);
    ComputeSiderealTimes(site, date);
}

double CulminationFraction(const LocationRecord *site, double declination) {
    double x = declination + kHalfPi - site->latitude;
    if (x > kHalfPi) x = kPi - x;
    return x * 2.0 / kPi;
}

// Sun and Moon fields of the state for a completed date record.
void FillSunAndMoon(const LocationRecord *site, const DateRecord *date, SunMoonState *state) {
    HeliocentricPlace earth = ComputeEarthHeliocentric(date);
    BodyRecord body;
    std::memset(&body, 0, sizeof(body));
    body.type = kBodySun;
    ComputeBodyPosition(date, earth, &body);
    ComputeBodyTopocentric(site, date, &body);
    state->sunRightAscension = body.topocentricRightAscension;
    state->sunDeclination = body.topocentricDeclination;
    state->sunAltitude =
        ComputeRefractedAltitude(site, date, state->sunRightAscension, state->sunDeclination);

    std::memset(&body, 0, sizeof(body));
    body.type = kBodyMoon;
    ComputeBodyPosition(date, earth, &body);
    ComputeBodyTopocentric(site, date, &body);
    ComputeBodyPhysicalData(date, &body, earth);
    state->moonElongation = body.satellites[kSatelliteOrbitalAngle][0];
    state->moonRightAscension = body.topocentricRightAscension;
    state->moonDeclination = body.topocentricDeclination;
    state->moonAltitude =
        ComputeRefractedAltitude(site, date, state->moonRightAscension, state->moonDeclination);
    state->moonIlluminatedFraction = body.illuminatedFraction;
}

void FillSeparations(double targetRightAscension, double targetDeclination, SunMoonState *state) {
    if (HasTarget(targetDeclination)) {
        state->sunTargetSeparation = AngularSeparation(state->sunRightAscension, state->sunDeclination,
                                                       targetRightAscension, targetDeclination);
        state->moonTargetSeparation =
            AngularSeparation(state->moonRightAscension, state->moonDeclination,
                              targetRightAscension, targetDeclination);
    } else {
        state->sunTargetSeparation = kHalfPi - state->sunAltitude;
        state->moonTargetSeparation = kHalfPi - state->moonAltitude;
    }
}

double Linear(double a, double b, double f) { return a + (b - a) * f; }

// a to b the shorter way round, at fraction f, in [0, 2 pi).
double Circular(double a, double b, double f) {
    return ReduceToFullTurn(a + GetSignedAngleDifference(a, b) * f);
}

}  // namespace

void ComputeSunMoonState(const LocationRecord *site, double julianDate, double targetRightAscension,
                         double targetDeclination, SunMoonState *state, int culminationFlag) {
    if (!site || !state) return;
    DateRecord date;
    CompleteDateRecord(site, julianDate, &date);
    FillSunAndMoon(site, &date, state);
    state->culminationFraction = culminationFlag ? CulminationFraction(site, targetDeclination) : 0.0;
    FillSeparations(targetRightAscension, targetDeclination, state);
    if (HasTarget(targetDeclination))
        state->targetAltitude =
            ComputeRefractedAltitude(site, &date, targetRightAscension, targetDeclination);
}

SunMoonState *EstimateSunMoonStateForTarget(const LocationRecord *site, double rightAscension,
                                            double declination, SunMoonState *state) {
    if (!site || !state) return state;
    state->targetAltitude = GetTransitAltitude(site, declination);
    double sunDeclination =
        kEstimateObliquity * std::sin(ReduceModuloPositive(rightAscension + kPi, 2.0 * kPi));
    state->sunAltitude = GetLowerTransitAltitude(site, sunDeclination);
    state->sunTargetSeparation = FoldedAngleDifference(state->targetAltitude, state->sunAltitude);
    state->moonAltitude = state->sunAltitude;
    state->moonTargetSeparation = state->sunTargetSeparation;
    state->sunRightAscension = 0.0;
    state->sunDeclination = 0.0;
    state->moonRightAscension = 0.0;
    state->moonDeclination = 0.0;
    state->culminationFraction = 0.0;
    state->moonIlluminatedFraction = kEstimatedIlluminatedFraction;
    state->moonElongation = 0.0;
    return state;
}

int IsEstimatedSunMoonState(const SunMoonState *state) {
    return state && state->moonIlluminatedFraction == kEstimatedIlluminatedFraction ? 1 : 0;
}

void FillSunMoonSamples(const LocationRecord *site, SunMoonState *samples, double startJulianDate,
                        double step, int count) {
    if (!site || !samples || count < 0) return;
    for (int i = 0; i <= count; ++i) {
        SunMoonState *s = &samples[i];
        std::memset(s, 0, sizeof(*s));
        DateRecord date;
        // start + i x step rather than a running sum: the lookups address
        // the samples that way, and no rounding error builds up.
        CompleteDateRecord(site, startJulianDate + i * step, &date);
        FillSunAndMoon(site, &date, s);
    }
}

int BuildSunMoonCache(SunMoonCache *cache, const LocationRecord *site, double startJulianDate,
                      double endJulianDate, double step) {
    if (!cache) return 0;
    FreeSunMoonCache(cache);
    if (site) cache->site = *site;
    cache->startJulianDate = startJulianDate;
    cache->step = step;
    cache->count = 0;
    if (!site || !std::isfinite(startJulianDate) || !std::isfinite(endJulianDate)) return 0;
    if (startJulianDate > endJulianDate) return 0;
    if (!(step > 0.0) || !std::isfinite(step)) return 0;
    double samples = (endJulianDate - startJulianDate) / step + 1.0;
    if (!(samples < kMaxSunMoonSamples)) return 0;
    int count = static_cast<int>(samples);
    SunMoonState *array = new (std::nothrow) SunMoonState[count + 1];
    if (!array) return 0;
    FillSunMoonSamples(&cache->site, array, startJulianDate, step, count);
    cache->samples = array;
    cache->count = count;
    return 1;
}

void FreeSunMoonCache(SunMoonCache *cache) {
    if (!cache) return;
    delete[] cache->samples;
    cache->samples = nullptr;
}

int LookupSunMoonCache(const SunMoonCache *cache, double julianDate, double targetRightAscension,
                       double targetDeclination, int culminationFlag, SunMoonState *state) {
    if (!cache || !state || !cache->samples || cache->count < 0 || !(cache->step > 0.0)) return 0;
    double end = cache->startJulianDate + cache->count * cache->step;
    if (!(julianDate >= cache->startJulianDate) || !(julianDate <= end)) return 0;

    if (julianDate < end) {
        int h = static_cast<int>((julianDate - cache->startJulianDate) / cache->step);
        if (h > cache->count - 1) h = cache->count - 1;
        if (h < 0) h = 0;
        double f = (julianDate - (cache->startJulianDate + h * cache->step)) / cache->step;
        const SunMoonState &a = cache->samples[h];
        const SunMoonState &b = cache->samples[h + 1];
        state->sunAltitude = Linear(a.sunAltitude, b.sunAltitude, f);
        state->moonAltitude = Linear(a.moonAltitude, b.moonAltitude, f);
        state->moonIlluminatedFraction = Linear(a.moonIlluminatedFraction, b.moonIlluminatedFraction, f);
        state->moonElongation = Circular(a.moonElongation, b.moonElongation, f);
        state->sunRightAscension = Circular(a.sunRightAscension, b.sunRightAscension, f);
        state->sunDeclination = Linear(a.sunDeclination, b.sunDeclination, f);
        state->moonRightAscension = Circular(a.moonRightAscension, b.moonRightAscension, f);
        state->moonDeclination = Linear(a.moonDeclination, b.moonDeclination, f);
    } else {
        const SunMoonState &last = cache->samples[cache->count];
        state->sunAltitude = last.sunAltitude;
        state->moonAltitude = last.moonAltitude;
        state->moonIlluminatedFraction = last.moonIlluminatedFraction;
        state->moonElongation = last.moonElongation;
        state->sunRightAscension = last.sunRightAscension;
        state->sunDeclination = last.sunDeclination;
        state->moonRightAscension = last.moonRightAscension;
        state->moonDeclination = last.moonDeclination;
    }
    FillSeparations(targetRightAscension, targetDeclination, state);
    if (HasTarget(targetDeclination)) {
        DateRecord date;
        CompleteDateRecord(&cache->site, julianDate, &date);
        state->targetAltitude =
            ComputeRefractedAltitude(&cache->site, &date, targetRightAscension, targetDeclination);
    }
    state->culminationFraction =
        culminationFlag ? CulminationFraction(&cache->site, targetDeclination) : 0.0;
    return 1;
}
