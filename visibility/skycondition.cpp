// Sky condition of a target: which light source dominates and how dark the sky is.
#include "visibility/skycondition.h"

#include <cstdio>

#include "astro/datetime.h"
#include "astro/location.h"
#include "core/mathutil.h"
#include "astro/riseset.h"
#include "ephem/sunmoon.h"
#include "photometry/extinction.h"
#include "photometry/skybright.h"
#include "photometry/skymodel.h"

namespace {

const double kOneArcminute = kPi / 10800.0;

// Buffer sizes the callers give (the text and its NUL).
const int kConditionNameSize = 16;
const int kConditionPhraseSize = 21;

const char kConditionNames[9][kConditionNameSize] = {
    "Below horizon", "Daylight",      "Br. twilight",   "Twilight",   "Some twilight",
    "Br. moonlight", "Moonlight",     "Some moonlight", "Fully dark",
};
const char kConditionPhrases[9][kConditionPhraseSize] = {
    "not applicable",      "full daylight", "in bright twilight", "in twilight", "in some twilight",
    "in bright moonlight", "moonlit",       "in some moonlight",  "fully dark",
};

int ClampCondition(int condition) { return condition < 0 || condition > 8 ? 0 : condition; }

// Darkness (m - 3.5) / 18 of a model flux, not limited to 0..1.
double Darkness(double flux) {
    return (ConvertNanolambertsToSkyBrightness(flux / 1.11e-15) - 3.5) / 18.0;
}

}  // namespace

int ClassifySkyCondition(const LocationRecord *site, const DateRecord *date, double rightAscension,
                         double declination) {
    if (!site || !date) return kSkyBelowHorizon;
    double targetAltitude = ComputeRefractedAltitude(site, date, rightAscension, declination);
    double z = kPi / 2.0 - targetAltitude;
    if (z + site->horizonDip >= kPi / 2.0) return kSkyBelowHorizon;

    SunMoonState state;
    ComputeSunMoonState(site, date->julianDate, rightAscension, declination, &state, 0);
    double ph = (1.0 - state.moonIlluminatedFraction) * kPi;
    double zm = kPi / 2.0 - state.moonAltitude;
    double zs = kPi / 2.0 - state.sunAltitude;
    double k = ComputeVisualExtinction(date->month, site->temperature, site->humidity,
                                       site->latitude, site->elevation);
    double rs = AngularSeparation(rightAscension, declination, state.sunRightAscension,
                                  state.sunDeclination);
    double rm = AngularSeparation(rightAscension, declination, state.moonRightAscension,
                                  state.moonDeclination);
    if (rs == 0.0) rs = kOneArcminute;
    if (rm == 0.0) rm = kOneArcminute;
    const double year = date->year;
    double sunOnly = 0.0, moonOnly = 0.0, both = 0.0;
    ModelSkyBrightness(year, kPi, kPi, z, kPi, zs, rs, k, 0.0, &sunOnly);
    ModelSkyBrightness(year, ph, rm, z, zm, kPi, kPi, k, 0.0, &moonOnly);
    ModelSkyBrightness(year, ph, rm, z, zm, zs, rs, k, 0.0, &both);
    double d = Darkness(both);
    double dS = Darkness(sunOnly);
    double dM = Darkness(moonOnly);
    if (d > 0.95) return kSkyFullyDark;
    bool moonlight = dS >= dM;
    if (d > 0.85) return moonlight ? kSkySomeMoonlight : kSkySomeTwilight;
    if (d > 0.6) return moonlight ? kSkyMoonlight : kSkyTwilight;
    if (d > 0.2) return moonlight ? kSkyBrightMoonlight : kSkyBrightTwilight;
    return moonlight ? kSkyBrightMoonlight : kSkyDaylight;
}

char *GetSkyConditionName(char *buffer, int condition) {
    // The precision bounds the copy where the optimiser cannot see that the
    // clamped index keeps it within the table's rows.
    if (buffer)
        std::snprintf(buffer, kConditionNameSize, "%.*s", kConditionNameSize - 1,
                      kConditionNames[ClampCondition(condition)]);
    return buffer;
}

char *GetSkyConditionPhrase(char *buffer, int condition) {
    if (buffer)
        std::snprintf(buffer, kConditionPhraseSize, "%.*s", kConditionPhraseSize - 1,
                      kConditionPhrases[ClampCondition(condition)]);
    return buffer;
}
