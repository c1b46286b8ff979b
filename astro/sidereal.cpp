// Second and third steps of completing a date record: time arguments, Delta T,
// obliquity and nutation; Greenwich and local sidereal times (IAU 1982 GMST,
// Meeus, Astronomical Algorithms, ch. 12; equation of the equinoxes
// dpsi cos(eps), ch. 12 and 22).
#include "astro/sidereal.h"

#include <cmath>

#include "astro/datetime.h"
#include "astro/deltat.h"
#include "astro/location.h"
#include "core/mathutil.h"
#include "astro/nutation.h"

namespace {
const double kTwoPi = 2.0 * kPi;
const double kSecondsPerDay = 86400.0;
const double kDaysPerCentury = 36525.0;
}  // namespace

void ComputeDeltaTAndNutation(DateRecord *record, double deltaTSeconds) {
    if (!record) return;
    record->centuries = (record->julianDate - 2451545.0) / kDaysPerCentury;
    double seconds = deltaTSeconds != 0.0
                         ? deltaTSeconds
                         : ComputeModelDeltaTSeconds(record->decimalYear, record->julianDate);
    record->deltaT = seconds / kSecondsPerDay;
    record->centuriesTT = record->centuries + record->deltaT / kDaysPerCentury;
    record->meanObliquity = MeanObliquity(record->centuriesTT);
    ComputeNutation(record);
}

void ComputeSiderealTimes(const LocationRecord *site, DateRecord *record) {
    if (!site || !record) return;
    const double t = record->centuries;
    // Degrees; 360.98564736629 degrees per day since J2000.0.
    double gmst = 280.46061837 + 13185000.770053742 * t + 0.000387933 * t * t -
                  t * t * t / 38710000.0;
    record->greenwichMeanSidereal = ReduceModuloPositive(gmst * kPi / 180.0, kTwoPi);
    record->localMeanSidereal =
        ReduceModuloPositive(record->greenwichMeanSidereal - site->longitude, kTwoPi);
    record->localApparentSidereal = ReduceModuloPositive(
        record->localMeanSidereal + std::cos(record->meanObliquity) * record->nutationLongitude,
        kTwoPi);
}

void ConvertDateRecordFromDynamicalTime(const LocationRecord *site, DateRecord *record) {
    if (!site || !record) return;
    record->julianDate -= record->deltaT;
    SetDateRecordFromJulianDate(site, record);
}
