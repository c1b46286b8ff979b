// Reference points: names and J2000 places. The poles of date are taken from
// the apparent place back to the mean place and precessed to J2000 (Meeus,
// Astronomical Algorithms, ch. 21 and 23); the galactic poles come from the
// galactic frame; the galactic centre is Sgr A* (Reid & Brunthaler 2004).
#include "objects/refpoints.h"

#include <cstdio>
#include <cstring>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/precession.h"
#include "core/mathutil.h"

namespace {


const char kNames[kReferencePointCount][kReferencePointNameSize] = {
    "North Celestial Pole", "South Celestial Pole", "Zenith",
    "North Galactic Pole",  "South Galactic Pole",  "Galactic Center"};
const char kAbbreviations[kReferencePointCount][kReferencePointAbbreviationSize] = {
    "NCP", "SCP", "Z", "NGP", "SGP", ""};

bool SameNoCase(const char *a, const char *b) {
    for (; *a && *b; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return *a == *b;
}

// An apparent place of date to the J2000 mean place.
void ApparentOfDateToJ2000(const DateRecord *date, double *ra, double *dec) {
    ConvertApparentToMeanPlace(date, ra, dec, 1);
    PrecessionRecord p;
    InitPrecession(&p, date->centuries, kEpochJ2000, kSystemFk5, kSystemFk5);
    ApplyPrecession(&p, ra, dec, 0.0, 0.0, 0);
}

}  // namespace

int FindReferencePoint(const char *text) {
    if (!text || !*text) return 0;
    for (int i = 0; i < kReferencePointCount; ++i) {
        if (SameNoCase(text, kNames[i])) return i + 1;
        if (kAbbreviations[i][0] && SameNoCase(text, kAbbreviations[i])) return i + 1;
    }
    return 0;
}

int ReferencePointName(int number, char *name) {
    if (number < 0 || number >= kReferencePointCount) return 0;
    if (name) std::snprintf(name, kReferencePointNameSize, "%s", kNames[number]);
    return 1;
}

int ReferencePointInfo(const LocationRecord *site, const DateRecord *date, int number, char *name,
                       char *abbreviation, double *rightAscension, double *declination) {
    if (number < 1 || number > kReferencePointCount) return 0;
    if (name) std::snprintf(name, kReferencePointNameSize, "%s", kNames[number - 1]);
    if (abbreviation)
        std::snprintf(abbreviation, kReferencePointAbbreviationSize, "%s",
                      kAbbreviations[number - 1]);
    if (!rightAscension || !declination) return 1;
    double ra = 0, dec = 0;
    switch (number) {
    case 1:
    case 2:
        if (!date) return 0;
        dec = number == 1 ? kPi / 2 : -kPi / 2;
        ApparentOfDateToJ2000(date, &ra, &dec);
        break;
    case 3: {
        if (!date || !site) return 0;
        double ha = 0;
        ConvertHorizontalToHourAngle(site, &ha, &dec, 0.0, kPi / 2);
        ra = GetPositiveHourAngle(date, ha, kApparentSiderealTime);
        ApparentOfDateToJ2000(date, &ra, &dec);
        break;
    }
    case 4:
    case 5:
        ConvertGalacticToJ2000(&ra, &dec, 0.0, number == 4 ? kPi / 2 : -kPi / 2);
        break;
    default:
        // 17h 45m 40.04s, -29 deg 00' 28.1"
        ra = (17.0 + 45.0 / 60 + 40.04 / 3600) * kPi / 12;
        dec = -(29.0 + 0.0 / 60 + 28.1 / 3600) * kPi / 180;
        break;
    }
    if (ra > 2 * kPi) ra -= 2 * kPi;
    if (ra < 0) ra += 2 * kPi;
    *rightAscension = ra;
    *declination = dec;
    return 1;
}
