// Scoring one hour of the night for an object: the hour score word (low byte
// the altitude score 0-255, high byte the darkness x 255), the per-slot
// darkness profile of a night, and the weights the event finders give the
// score by the object's brightness and the observer's experience.
#pragma once
#include <cstdint>

struct DateRecord;
struct LocationRecord;
struct SunMoonCache;

// Angles in radians. The altitude fraction is (d - dip) / (pi/2 - dip) (from
// the zenith on, (pi - d) / (pi/2 - dip)), -1 at or below the dip with score 0.
// The darkness goes to *darkness (may be null), the fraction to
// *altitudeFraction (may be null).
uint16_t ComputeHourScore(const LocationRecord *site, const DateRecord *date, double sunAltitude,
                          double sunSeparation, double moonAltitude, double moonFraction,
                          double moonSeparation, double targetAltitude, double *darkness,
                          double *altitudeFraction);
// Hands the hour score to the Earth-satellite sky test (ephem/satposition.h),
// which stands on a lower floor: a pass is then visible when the sky is dark
// enough by this score, and carries its word.
void ConnectSatelliteHourScore();
// Fills n (at least 2) darkness bytes for the night from local noon of the day
// before the date to local noon of the date: every 8th slot (and the last)
// computed for a target at the zenith, the slots between interpolated. The
// Sun and Moon come from the cache (built here from the start over one day in
// 2-minute steps; the caller frees it), or from the ephemerides when the
// cache cannot answer; the cache may be null. 1, or 0 without a table or site.
int BuildNightProfile(const LocationRecord *site, const DateRecord *date, uint8_t *table, int n,
                      SunMoonCache *cache);
// Brightness class 0-8 of an object (-1 none): how much more its altitude
// counts than the darkness.
int ClassifyBrightness(int objectClass, double magnitude);
// (1 - w) a + w b with w by brightness class; 0 unless b > limitB and a >= limitA.
double BlendByBrightnessClass(double a, double b, double limitB, double limitA, int brightnessClass);
void ComputeMagnitudeWeights(double magnitude, double *weightA, double *weightB);
// A margin adjusted for experience e: direction 0 ((v + 0.15) - c) + 0.25,
// direction 1 (c + (v - 0.25)) - 0.15, c = (1 - e) x 0.25.
double AdjustForExperience(double value, double experience, int direction);
