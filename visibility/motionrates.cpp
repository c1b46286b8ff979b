// Apparent motion rates of an object and their texts.
#include "visibility/motionrates.h"

#include <cmath>
#include <cstdio>

#include "astro/datetime.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "objects/buildrecord.h"
#include "objects/objectrecord.h"

namespace {

const double kArcsecPerRadian = 648000.0 / kPi;
// The smallest measured displacement: 10 arcseconds in radians.
const double kMeasurable = 4.84813681109536e-05;
const int kTries = 7;
const double kHalfMinute = 1.0 / 2880.0;  // days
const double kExtinction = 0.1;

struct RateUnit {
    const char *text;
    double factor;  // arcseconds per second to the unit
};
const RateUnit kUnits[5] = {{"\"/sec", 1.0},
                            {"\"/min", 60.0},
                            {"\"/hr", 3600.0},
                            {"\"/day", 86400.0},
                            {"\"/yr", 86400.0 * 365.25}};

// The first unit in which a value of this size (arcsec per second) shows.
const RateUnit &UnitFor(double value) {
    value = std::fabs(value);
    if (value >= 10.0) return kUnits[0];
    if (value * 60.0 > 1.0) return kUnits[1];
    if (value * 3600.0 >= 1.0) return kUnits[2];
    if (value * 86400.0 >= 1.0) return kUnits[3];
    return kUnits[4];
}

int PlaceAt(const LocationRecord *site, const DateRecord *date, double julianDate,
            ObjectRecord *item) {
    DateRecord d = *date;
    d.julianDate = julianDate;
    SetDateRecordFromJulianDate(site, &d);
    ComputeDeltaTAndNutation(&d, 0.0);
    ComputeSiderealTimes(site, &d);
    return RefreshObjectRecord(item, 0.0, site, &d, kExtinction) > 0;
}

}  // namespace

int ComputeMotionRates(const LocationRecord *site, const DateRecord *date, ObjectRecord *item,
                       double *raRate, double *decRate, double *totalRate) {
    if (!date || !item) return 0;
    double h = kHalfMinute;
    for (int attempt = 0; attempt < kTries; ++attempt, h *= 10.0) {
        if (!PlaceAt(site, date, date->julianDate - h, item)) return 0;
        const double ra1 = item->raOfDate, dec1 = item->decOfDate;
        if (!PlaceAt(site, date, date->julianDate + h, item)) return 0;
        const double ra2 = item->raOfDate, dec2 = item->decOfDate;
        const double separation = AngularSeparation(ra1, dec1, ra2, dec2);
        if (separation < kMeasurable) continue;
        const double span = 2.0 * h * 86400.0;
        if (raRate) *raRate = GetSignedAngleDifference(ra1, ra2) / span;
        if (decRate) *decRate = (dec2 - dec1) / span;
        if (totalRate) *totalRate = separation / span;
        return 1;
    }
    return 0;
}

void FormatRateValue(char *text, const char *unit, double value) {
    if (!text) return;
    std::snprintf(text, kRateTextSize, std::fabs(value) >= 10.0 ? "%.1lf %s" : "%.2lf %s", value,
                  unit ? unit : "");
}

void FormatMotionRate(char *text, double rate) {
    const double value = rate * kArcsecPerRadian;
    const RateUnit &u = UnitFor(value);
    FormatRateValue(text, u.text, value * u.factor);
}

void FormatMotionRates(char *raText, char *decText, double raRate, double decRate) {
    const double ra = raRate * kArcsecPerRadian, dec = decRate * kArcsecPerRadian;
    const RateUnit &u = UnitFor(std::fabs(ra) > std::fabs(dec) ? ra : dec);
    FormatRateValue(raText, u.text, ra * u.factor);
    FormatRateValue(decText, u.text, dec * u.factor);
}
