// Reading the picker's typed coordinates (see pickercoords.h). Epochs: J2000.0
// is JD 2451545.0; the Besselian years B1950.0 (JD 2433282.4235), B1875.0 (JD
// 2405889.5) and B1900.0 (JD 2415020.3135) in Julian centuries from it;
// J1991.25 is the Hipparcos catalogue epoch (ESA SP-1200).
#include "picker/pickercoords.h"
#include "picker/typednumber.h"

#include <cctype>
#include <cmath>
#include <string>

#include "astro/angleparse.h"
#include "astro/datetime.h"
#include "astro/precession.h"
#include "core/textutil.h"
#include "core/mathutil.h"

namespace {


struct NamedEquinox {
    const char *name;
    double centuries;
    int besselian;
};
// Compared in this order, each as the beginning of the upper-cased text.
const NamedEquinox kNamedEquinoxes[] = {
    {"J2000", 0.0, 0},
    {"B1950", -0.5000020944558512, 1},
    {"B1875", -1.2499794661190966, 1},
    {"B1900", -0.9999914168377778, 1},
    {"JHIPP", -0.0875, 0},
};

bool IsEmpty(const char *text) { return !text || !text[0]; }

}  // namespace

const char *EnteredCoordinatesMessage(int result) {
    switch (result) {
    case kCoordinatesBadRa:
        return "Error reading RA";
    case kCoordinatesBadDec:
        return "Error reading Declination";
    case kCoordinatesBadEquinox:
        return "Error reading epoch";
    default:
        return "";
    }
}

int ReadEquinoxText(const char *text, double *centuries, int *besselian, int *emptyText) {
    double t = 0.0;
    int fk4 = 0;
    if (emptyText) *emptyText = IsEmpty(text) ? 1 : 0;
    if (!IsEmpty(text)) {
        std::string upper(text);
        for (char &c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        bool named = false;
        for (const NamedEquinox &e : kNamedEquinoxes)
            if (MatchPrefixNoCase(e.name, upper.c_str())) {
                t = e.centuries;
                fk4 = e.besselian;
                named = true;
                break;
            }
        if (!named) {
            // A decimal year is numbers only: the year parser would pass over
            // a stray letter, and "J1991.25" is not an equinox this page knows.
            for (char c : upper)
                if (std::isalpha(static_cast<unsigned char>(c))) return 0;
            const double year = ParseSexagesimal(upper.c_str());
            if (year == kNoRealValue) return 0;
            t = CenturiesFromDecimalYear(year);
        }
    }
    if (centuries) *centuries = t;
    if (besselian) *besselian = fk4;
    return 1;
}

int ReadEnteredCoordinateTexts(const char *raText, const char *decText, const char *equinoxText,
                               int raInDegrees, double *rightAscension, double *declination,
                               int *emptyEquinox) {
    double hours = kNoRealValue, degrees = kNoRealValue;
    // Only text that is a number is read: the reader would take "12a" as 0 h
    // (a 12-hour mark) and "x5" as 5.
    if (!IsEmpty(raText) && TypedTextIsNumber(raText)) {
        hours = ParseSexagesimal(raText);
        if (hours != kNoRealValue && raInDegrees) hours /= 15.0;
    }
    if (!IsEmpty(decText) && TypedTextIsNumber(decText)) degrees = ParseSexagesimal(decText);
    double t = 0.0;
    int besselian = 0, empty = 0;
    const int equinoxRead = ReadEquinoxText(equinoxText, &t, &besselian, &empty);
    if (emptyEquinox) *emptyEquinox = empty;
    // A value outside the sky (RA beyond 0-24 h, Dec beyond +-90 degrees) is
    // no place either: it would make a position object nothing can show.
    if (hours == kNoRealValue || !(hours >= 0.0 && hours <= 24.0)) return kCoordinatesBadRa;
    if (degrees == kNoRealValue || !(degrees >= -90.0 && degrees <= 90.0)) return kCoordinatesBadDec;
    if (!equinoxRead) return kCoordinatesBadEquinox;

    double ra = hours * kPi / 12.0;
    double dec = degrees * kPi / 180.0;
    if (t != 0.0) {
        // Places at the Besselian equinoxes belong to the FK4 catalogue system:
        // carried into FK5 at their own equinox (E-terms of aberration out,
        // equinox correction in) before precessing to J2000.
        PrecessionRecord precession;
        InitPrecession(&precession, t, kEpochJ2000, besselian ? kSystemFk4 : kSystemFk5,
                       kSystemFk5);
        ApplyPrecession(&precession, &ra, &dec, 0.0, 0.0, 0);
    }
    if (rightAscension) *rightAscension = ra;
    if (declination) *declination = dec;
    return kCoordinatesRead;
}
