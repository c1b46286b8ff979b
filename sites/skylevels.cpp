// Sky levels and the Bortle scale (see skylevels.h). Class brightnesses are
// zenith values in mag/arcsec^2 after Bortle, Sky & Telescope, February 2001.
#include "sites/skylevels.h"

#include <cmath>

#include "astro/angleparse.h"
#include "astro/astroformulas.h"
#include "core/textutil.h"
#include "photometry/skybright.h"

const double kSkyLevelLimits[kSkyLevelCount] = {3.4, 4.6, 6.0, 7.0};
const double kBortleBrightnessTable[kBortleClassCount] = {21.9, 21.55, 21.4, 21.2, 19.6,
                                                          19.3, 18.6,  17.8, 16.9};

namespace {

// The value of a typed number; 0 when there is none (an empty field too).
int ReadTyped(const char *text, double *value) {
    const char *p = text;
    while (*p == ' ' || *p == '\t') ++p;
    if (!*p) return 0;
    double v = ParseSexagesimal(text);
    if (!std::isfinite(v) || v == kNoRealValue) return 0;
    *value = v;
    return 1;
}

}  // namespace

const char *DescribeLightPollution(double limit) {
    double l = limit - 0.6;
    if (l < 3.4) return "heavy";
    if (l < 4.6) return "moderate";
    if (l < 6.0) return "little";
    return "none";
}

int GetBortleClassForBrightness(double b) {
    for (int k = 1; k <= kBortleClassCount; ++k)
        if (b + 0.1 >= kBortleBrightnessTable[k - 1]) return k;
    return kBortleClassCount;
}

int SkyLevelRowForLimit(double limit) {
    for (int i = 0; i < kSkyLevelCount; ++i)
        if (std::fabs(kSkyLevelLimits[i] - limit) < 1e-9) return i + 1;
    return 0;
}

int BortleRowForBrightness(double b) {
    for (int k = 1; k <= kBortleClassCount; ++k)
        if (std::fabs(kBortleBrightnessTable[k - 1] - b) < 0.01) return k;
    return 0;
}

int ApplyTypedNakedEyeLimit(LocationRecord *site, const char *text) {
    double limit = 0;
    if (!ReadTyped(text, &limit)) return 0;
    if (limit > kMaxNakedEyeLimit) limit = kMaxNakedEyeLimit;
    site->nakedEyeLimit = limit;
    site->skyBrightness = ComputeSkyBrightnessFromLimit(limit);
    return 1;
}

int ApplyTypedSkyBrightness(LocationRecord *site, const char *text, int perArcminute) {
    double b = 0;
    if (!ReadTyped(text, &b)) return 0;
    if (perArcminute) b = SurfaceBrightnessArcminToArcsec(b);
    if (b > kMaxSkyBrightness) b = kMaxSkyBrightness;
    site->skyBrightness = b;
    site->nakedEyeLimit = ComputeNakedEyeLimit(b);
    return 1;
}
