// Where the Sun and the Moon stand for a site and an instant, how much of the
// Moon is lit and how far both are from a target: computed from the
// ephemerides, estimated without them, or interpolated in samples taken once
// over a night or a season. Angles are radians, times Julian dates (UT).
#pragma once
#include <cstdint>

#include "astro/location.h"
#include "core/mathutil.h"

// A target declination of kNoTarget or more means "no target".
const double kNoTarget = kPi;

// The illuminated fraction that EstimateSunMoonStateForTarget stores in place
// of a real one (pi, outside 0..1): it marks an estimated state, and it makes
// a phase angle derived as (1 - fraction) x pi so large that such a Moon adds
// no light. Test with IsEstimatedSunMoonState before using the fraction.
const double kEstimatedIlluminatedFraction = kPi;

struct SunMoonState {
    double sunAltitude;            // refracted (as ComputeRefractedAltitude)
    double sunTargetSeparation;    // with no target: pi/2 - Sun altitude
    double moonAltitude;           // refracted
    double moonIlluminatedFraction;  // 0..1; kEstimatedIlluminatedFraction in an estimate
    double moonElongation;         // Moon's ecliptic longitude - Sun's, 0..2 pi (0 new, pi full)
    double moonTargetSeparation;   // with no target: pi/2 - Moon altitude
    double targetAltitude;         // refracted; written only when there is a target
    double culminationFraction;    // on request, else 0
    double sunRightAscension;      // topocentric apparent
    double sunDeclination;
    double moonRightAscension;
    double moonDeclination;
};
static_assert(sizeof(SunMoonState) == 12 * sizeof(double), "twelve doubles");

// Samples of the state over a span: sample i is at start + i x step, for
// i = 0..count. Only the Sun and Moon fields of a sample are filled. Not
// stored in files. A cache starts clear; BuildSunMoonCache frees the samples
// of an earlier build itself.
struct SunMoonCache {
    LocationRecord site = {};
    SunMoonState *samples = nullptr;  // owned: count + 1 states, or none
    int32_t count = 0;
    double startJulianDate = 0.0;
    double step = 0.0;  // days
};

// The largest sample count a cache accepts (a year at one sample a minute).
const int32_t kMaxSunMoonSamples = 600000;

// The state for the site, the instant and the target (target declination
// >= kNoTarget: none); culminationFlag asks for the culmination fraction.
// Nothing for no site or no state.
void ComputeSunMoonState(const LocationRecord *site, double julianDate, double targetRightAscension,
                         double targetDeclination, SunMoonState *state, int culminationFlag);
// A rough state without ephemerides: the target at its upper culmination, the
// Sun at its lower culmination opposite the target, the Moon in the Sun's
// place; the places, the culmination fraction and the elongation are 0 and
// the illuminated fraction is kEstimatedIlluminatedFraction. Returns state.
SunMoonState *EstimateSunMoonStateForTarget(const LocationRecord *site, double rightAscension,
                                            double declination, SunMoonState *state);
// 1 for a state made by EstimateSunMoonStateForTarget.
int IsEstimatedSunMoonState(const SunMoonState *state);
// Samples the state from start to end every step days: 1; 0 (no samples) when
// start is after end, the step is not positive, there would be more than
// kMaxSunMoonSamples samples, or memory runs out.
int BuildSunMoonCache(SunMoonCache *cache, const LocationRecord *site, double startJulianDate,
                      double endJulianDate, double step);
// Fills count + 1 samples from start; nothing for no site or samples or a
// negative count.
void FillSunMoonSamples(const LocationRecord *site, SunMoonState *samples, double startJulianDate,
                        double step, int count);
void FreeSunMoonCache(SunMoonCache *cache);
// The state at a Julian date by linear interpolation between samples (right
// ascensions and the elongation the shorter way round the circle), with the
// separations, the target's altitude and the culmination fraction computed
// for that date. 1; 0 when the cache, the state or the samples are missing or
// the date is outside [start, start + count x step].
int LookupSunMoonCache(const SunMoonCache *cache, double julianDate, double targetRightAscension,
                       double targetDeclination, int culminationFlag, SunMoonState *state);
