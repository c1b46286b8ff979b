// The sky at an event's body and the criteria filters of the event finders.
#include "events/eventsky.h"

#include <cmath>
#include <cstring>

#include "astro/frames.h"
#include "core/mathutil.h"
#include "events/eventdates.h"
#include "photometry/extinction.h"
#include "photometry/skybright.h"
#include "photometry/skymodel.h"
#include "visibility/criteriamatch.h"
#include "visibility/hourscore.h"

namespace {
const double kByteScale = 255.0;
const int kByteBits = 8;
const uint16_t kLowByte = 0xFF;
}  // namespace

void EvaluateEventSky(const LocationRecord *site, double julianDate, double ra, double dec, EventSky *sky) {
    std::memset(sky, 0, sizeof *sky);
    if (!site) return;
    DateRecord date;
    SetCompletedDate(site, julianDate, &date);
    SunMoonState &s = sky->state;
    ComputeSunMoonState(site, julianDate, ra, dec, &s, 0);
    sky->altitude = s.targetAltitude;
    sky->hourScore = ComputeHourScore(site, &date, s.sunAltitude, s.sunTargetSeparation, s.moonAltitude,
                                      s.moonIlluminatedFraction, s.moonTargetSeparation, s.targetAltitude,
                                      &sky->darkness, nullptr);
    sky->hourAngle = GetHourAngle(&date, ra, kApparentSiderealTime);
    const double k =
        ComputeVisualExtinction(date.month, site->temperature, site->humidity, site->latitude, site->elevation);
    sky->skyBrightness = ComputeSkyBrightness(
        (1.0 - s.moonIlluminatedFraction) * kPi, kPi / 2.0 - s.moonAltitude, s.moonTargetSeparation,
        kPi / 2.0 - s.sunAltitude, s.sunTargetSeparation, k, date.year, kPi / 2.0 - s.targetAltitude,
        ComputeLightPollutionExcess(site->nakedEyeLimit));
    sky->darknessClass = ClassifySkyDarkness(site, sky->skyBrightness);
}

int PassesEventCriteria(const LocationRecord *site, const VisibilityCriteria *criteria, const HorizonRow *horizon,
                        double julianDate, double declination, const EventSky &sky) {
    if (!site || !criteria) return 0;
    const double transitAltitude = kPi / 2.0 - std::fabs(site->latitude - declination);
    if (!MatchSkyConditionFilter(site, criteria, horizon, declination, sky.hourAngle, transitAltitude, sky.altitude,
                                 sky.darknessClass))
        return 0;
    return MatchTimeWindowFilter(site, julianDate, criteria) ? 1 : 0;
}

double AltitudeScoreOf(uint16_t hourScore) { return (hourScore & kLowByte) / kByteScale; }
double DarknessOf(uint16_t hourScore) { return (hourScore >> kByteBits) / kByteScale; }

double BlendForObject(uint16_t hourScore, int objectClass, double magnitude, double limitScore,
                      double limitDarkness) {
    return BlendByBrightnessClass(DarknessOf(hourScore), AltitudeScoreOf(hourScore), limitScore, limitDarkness,
                                  ClassifyBrightness(objectClass, magnitude));
}
