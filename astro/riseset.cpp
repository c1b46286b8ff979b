// Rise, transit and set (Meeus, Astronomical Algorithms, ch. 15, one pass),
// culminations, refraction (Bennett 1982 for apparent altitudes, Saemundsson
// 1986 for true altitudes, both as given in Meeus ch. 16 with the constants
// that make them 0 at the zenith).
#include "astro/riseset.h"

#include <cmath>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/location.h"
#include "core/mathutil.h"
#include "astro/unaligned.h"

namespace {

const double kDegree = kPi / 180.0;
const double kArcminute = kPi / 10800.0;
const double kRadiansToHours = 12.0 / kPi;

enum class Visibility { kRises, kNeverSets, kNeverRises };

// The rise altitude in force: the caller's, or the standard one of the kind
// lowered by the dip of an elevated site.
double RiseAltitude(const LocationRecord *site, double riseAltitude, int bodyKind) {
    if (riseAltitude != 0.0) return riseAltitude;
    double h0 = bodyKind == kRiseKindSun    ? kRiseAltitudeSun
                : bodyKind == kRiseKindMoon ? kRiseAltitudeMoon
                                            : kRiseAltitudeOther;
    if (site->elevation > 0.0) h0 += site->horizonDip;
    return h0;
}

Visibility Classify(double latitude, double declination, double h0) {
    if (latitude >= 0.0) {
        if (declination > kPi / 2.0 - latitude + h0) return Visibility::kNeverSets;
        if (declination < h0 + latitude - kPi / 2.0) return Visibility::kNeverRises;
    } else {
        if (declination < -latitude - kPi / 2.0 - h0) return Visibility::kNeverSets;
        if (declination > latitude + kPi / 2.0 - h0) return Visibility::kNeverRises;
    }
    return Visibility::kRises;
}

// Semi-diurnal arc in hours of sidereal time.
double SemiDiurnalArc(const LocationRecord *site, double declination, double h0) {
    const double c = (std::sin(h0) - std::sin(declination) * site->sinLatitude) /
                     (std::cos(declination) * site->cosLatitude);
    return ComputeClampedArcCosine(c) * kRadiansToHours;
}

double Wrapped(double hours) {
    WrapHoursBySiderealDay(&hours);
    return hours;
}

// Saemundsson's formula in arcminutes for a true altitude in degrees.
double SaemundssonArcminutes(double h) {
    // The zenith constant cancels the formula to within 1e-9' at 90 deg; the
    // rest is rounding and would make the refraction negative there.
    double r = 1.02 / std::tan((h + 10.3 / (h + 5.11)) * kDegree) + 0.00192792;
    if (r < 0.0) r = 0.0;
    return r > 34.0 ? 34.0 : r;
}

}  // namespace

void WrapHoursBySiderealDay(double *hours) {
    if (!hours) return;
    if (LoadDouble(hours) < -12.0)
        StoreDouble(hours, LoadDouble(hours) + kSiderealDayHours);
    else if (LoadDouble(hours) > 12.0)
        StoreDouble(hours, LoadDouble(hours) - kSiderealDayHours);
}

int ComputeRiseTransitSet(const LocationRecord *site, double hourAngle, double declination,
                          double referenceHours, double riseAltitude, int bodyKind, double *rise,
                          double *transit, double *set) {
    if (!site) return kRiseSetNoSite;
    const double h0 = RiseAltitude(site, riseAltitude, bodyKind);
    const double l = hourAngle * kRadiansToHours;
    switch (Classify(site->latitude, declination, h0)) {
        case Visibility::kNeverSets:
            if (rise) StoreDouble(rise, 0.0);
            if (set) StoreDouble(set, 0.0);
            if (transit) StoreDouble(transit, Wrapped(referenceHours - l * kSiderealToSolar));
            return kRiseSetCircumpolar;
        case Visibility::kNeverRises:
            if (rise) StoreDouble(rise, -1.0);
            if (transit) StoreDouble(transit, -1.0);
            if (set) StoreDouble(set, -1.0);
            return kRiseSetNeverRises;
        case Visibility::kRises:
            break;
    }
    const double arc = SemiDiurnalArc(site, declination, h0);
    if (rise) StoreDouble(rise, Wrapped(referenceHours - (arc + l) * kSiderealToSolar));
    if (transit) StoreDouble(transit, Wrapped(referenceHours - l * kSiderealToSolar));
    if (set) StoreDouble(set, Wrapped(referenceHours + (arc - l) * kSiderealToSolar));
    return kRiseSetNormal;
}

int ComputeTransitTime(const LocationRecord *site, double hourAngle, double /*declination*/,
                       double referenceHours, double *transit) {
    if (!site) return 0;
    if (transit)
        StoreDouble(transit,
                    Wrapped(referenceHours - hourAngle * kRadiansToHours * kSiderealToSolar));
    return 1;
}

int ComputeRiseTime(const LocationRecord *site, double hourAngle, double declination,
                    double referenceHours, double riseAltitude, int bodyKind, double *time) {
    if (!site) return 0;
    double rise;
    int result = ComputeRiseTransitSet(site, hourAngle, declination, referenceHours, riseAltitude,
                                       bodyKind, &rise, nullptr, nullptr);
    if (result == kRiseSetCircumpolar) return 0;
    if (result == kRiseSetNeverRises) return -1;
    if (time) StoreDouble(time, rise);
    return 1;
}

int ComputeSetTime(const LocationRecord *site, double hourAngle, double declination,
                   double referenceHours, double riseAltitude, int bodyKind, double *time) {
    if (!site) return 0;
    double set;
    int result = ComputeRiseTransitSet(site, hourAngle, declination, referenceHours, riseAltitude,
                                       bodyKind, nullptr, nullptr, &set);
    if (result == kRiseSetCircumpolar) return 0;
    if (result == kRiseSetNeverRises) return -1;
    if (time) StoreDouble(time, set);
    return 1;
}

// ---- refraction ---------------------------------------------------------------

double GetRefractionForTrueAltitude(double trueAltitude) {
    const double h = trueAltitude / kDegree;
    if (!(h >= -5.0)) return 0.0;
    return SaemundssonArcminutes(h) * kArcminute;
}

double GetRefractionForApparentAltitude(double apparentAltitude) {
    const double a = apparentAltitude / kDegree;
    if (!(a >= -5.0)) return 0.0;
    if (a >= 0.0) {
        double r = 1.0 / std::tan((a + 7.31 / (a + 4.4)) * kDegree) + 0.0013515;
        if (r > 34.0) return kRefractionCap;
        if (r < 0.0) r = 0.0;  // within 1e-7' of 0 at the zenith
        return r * kArcminute;
    }
    // Below the horizon Bennett's formula has a pole at -4.4 deg and turns
    // negative beneath it. There the true altitude h with h + R(h) = a is
    // found from the forward formula instead; h + R(h) rises steadily with h
    // (R changes by less than a degree per degree), so halving the interval
    // converges. h lies within [a - 34', a].
    double low = a - 34.0 / 60.0, high = a;
    for (int step = 0; step < 60; ++step) {
        const double mid = 0.5 * (low + high);
        const double apparent = mid + (mid >= -5.0 ? SaemundssonArcminutes(mid) / 60.0 : 0.0);
        if (apparent > a)
            high = mid;
        else
            low = mid;
    }
    const double h = 0.5 * (low + high);
    return (a - h) * kDegree;
}

double ComputeRefractedAltitude(const LocationRecord *site, const DateRecord *date,
                                double rightAscension, double declination) {
    if (!site || !date) return kNoCoordinateResult;
    const double h = GetHourAngle(date, rightAscension, kApparentSiderealTime);
    const double altitude = ComputeAltitude(site, h, declination);
    // Refraction is added at every altitude (it falls smoothly to 0 at the
    // zenith), so the apparent altitude has no step anywhere.
    return altitude + GetRefractionForTrueAltitude(altitude);
}

// ---- culminations ---------------------------------------------------------------

double GetTransitAltitude(const LocationRecord *site, double declination) {
    if (!site) return kNoCoordinateResult;
    const double phi = site->latitude / kDegree;
    const double d = declination / kDegree;
    const double dip = site->horizonDip / kDegree;
    const double b = phi >= 0.0 ? 90.0 - phi + dip : -90.0 - phi - dip;
    double altitude;
    if ((phi >= 0.0 && d > b) || (phi < 0.0 && d < b)) {
        altitude = (90.0 - std::fabs(d)) + (90.0 - std::fabs(b));
        if (altitude > 90.0) altitude = 180.0 - altitude;
    } else {
        altitude = 90.0 - std::fabs(phi - d) - dip;
    }
    return altitude * kDegree;
}

double GetLowerTransitAltitude(const LocationRecord *site, double declination) {
    if (!site) return kNoCoordinateResult;
    // The altitude at hour angle pi is |phi + d| - 90 deg for every latitude
    // and declination; counted from the visible horizon like the upper one.
    const double phi = site->latitude / kDegree;
    const double d = declination / kDegree;
    const double dip = site->horizonDip / kDegree;
    return (std::fabs(phi + d) - 90.0 - dip) * kDegree;
}

int IsCircumpolar(const LocationRecord *site, double declination) {
    if (!site) return 0;
    const double phi = site->latitude / kDegree;
    const double d = declination / kDegree;
    const double dip = site->horizonDip / kDegree;
    if (phi >= 0.0) return d > 90.0 - phi + dip ? 1 : 0;
    return d < -90.0 - phi - dip ? 1 : 0;
}

double ComputeDiurnalVisibilityFactor(const LocationRecord *site, double declination) {
    if (!site) return -1.0;
    const double phi = site->latitude;
    const double d = declination;
    if ((phi >= 0.0 && d < phi - kPi / 2.0) || (phi < 0.0 && d > phi + kPi / 2.0)) return -1.0;
    if (std::fabs(d) >= kPi / 2.0 - std::fabs(phi)) {
        const double denominator = std::cos(kPi / 2.0 - std::fabs(phi));
        // On the equator a pole star lies on the horizon: half the day up, the
        // limit of the formula as the latitude goes to 0.
        if (denominator < 1e-12) return 0.5;
        return std::cos(phi) * std::cos(std::fabs(d)) * 0.5 / denominator;
    }
    const double t = -std::tan(phi) * std::tan(d);
    if (std::fabs(t) > 1.0) return -1.0;
    return std::cos(phi) * (1.0 - std::acos(t) / kPi) * 0.5 + 0.5;
}
