// Naked-eye limit and zenith sky brightness as the sky-brightness dialog
// offers them: the four sky levels, the Bortle scale's brightness per class,
// the texts describing light pollution, and the reading of a typed value into
// a site (refused when it does not parse, capped when it does).
#pragma once

#include "astro/location.h"

const int kSkyLevelCount = 4;       // Urban, Suburban, Country, Far away from lights
const int kBortleClassCount = 9;
extern const double kSkyLevelLimits[kSkyLevelCount];        // magnitudes
extern const double kBortleBrightnessTable[kBortleClassCount];  // mag/arcsec^2, class 1 first
const double kMaxNakedEyeLimit = 8.0;
const double kMaxSkyBrightness = 23.0;  // mag/arcsec^2

// "heavy", "moderate", "little" or "none" by limit - 0.6 against 3.4, 4.6, 6.0.
const char *DescribeLightPollution(double limit);
// First class k (1-9) with b + 0.1 >= its table brightness; 9 when none.
int GetBortleClassForBrightness(double brightness);
// Row of the Basic page's level list for a limit: 1-4 when it equals a
// level's limit, else 0 ("Specify Value").
int SkyLevelRowForLimit(double limit);
// Row of the Advanced page's class list: the first class within 0.01 of the
// brightness (1-9), else 0.
int BortleRowForBrightness(double brightness);
// The typed limit (capped at 8) becomes the site's, and the sky brightness
// follows from it. 0 (site unchanged) when the text does not parse.
int ApplyTypedNakedEyeLimit(LocationRecord *site, const char *text);
// The typed brightness (per square arcminute when perArcminute, capped at 23
// per square arcsecond) becomes the site's, and the limit follows from it.
// 0 (site unchanged) when the text does not parse.
int ApplyTypedSkyBrightness(LocationRecord *site, const char *text, int perArcminute);
