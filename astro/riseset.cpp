// Rise, transit and set (Meeus, Astronomical Algorithms, ch. 15, one pass;
// for moving bodies a bracketing search over sampled altitudes),
// culminations, refraction (Bennett 1982 for apparent altitudes, Saemundsson
// 1986 for true altitudes, both as given in Meeus ch. 16 with the constants
// that make them 0 at the zenith).
#include "astro/riseset.h"

#include <cmath>
#include <vector>

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

double GetRiseAltitudeInForce(const LocationRecord *site, double riseAltitude, int bodyKind) {
    if (!site) return 0.0;
    return RiseAltitude(site, riseAltitude, bodyKind);
}

// ---- the search for a moving body's events -----------------------------------

namespace {

struct Sample {
    double hours, altitude, hourAngle;
};

struct Search {
    RiseSetSampler sampler;
    void *context;
    bool failed = false;
    Sample At(double hours) {
        Sample s{hours, 0.0, 0.0};
        if (!failed && sampler(context, hours, &s.altitude, &s.hourAngle) != 1) failed = true;
        return s;
    }
};

// Golden-section search for the extreme of the altitude (the largest when
// highest is set) between two times; the extreme sample found.
Sample FindExtreme(Search *search, double a, double b, bool highest) {
    const double r = 0.6180339887498949;
    double x1 = b - r * (b - a), x2 = a + r * (b - a);
    Sample s1 = search->At(x1), s2 = search->At(x2);
    for (int step = 0; step < 60 && b - a > kRiseSetSearchPrecision && !search->failed; ++step) {
        const bool keepLeft = highest ? s1.altitude > s2.altitude : s1.altitude < s2.altitude;
        if (keepLeft) {
            b = x2;
            x2 = x1;
            s2 = s1;
            x1 = b - r * (b - a);
            s1 = search->At(x1);
        } else {
            a = x1;
            x1 = x2;
            s1 = s2;
            x2 = a + r * (b - a);
            s2 = search->At(x2);
        }
    }
    const bool first = highest ? s1.altitude > s2.altitude : s1.altitude < s2.altitude;
    return first ? s1 : s2;
}

// Bisection of a sign change of the altitude (which 0) or of the hour angle
// (which 1) between two samples; the time of the change.
double Bisect(Search *search, Sample low, Sample high, int which) {
    auto value = [which](const Sample &s) { return which == 0 ? s.altitude : s.hourAngle; };
    const bool lowNegative = value(low) < 0.0;
    for (int step = 0; step < 60 && high.hours - low.hours > kRiseSetSearchPrecision; ++step) {
        Sample mid = search->At(0.5 * (low.hours + high.hours));
        if (search->failed) break;
        if ((value(mid) < 0.0) == lowNegative)
            low = mid;
        else
            high = mid;
    }
    return 0.5 * (low.hours + high.hours);
}

}  // namespace

int SearchRiseTransitSet(RiseSetSampler sampler, void *context, double fromHours, double toHours,
                         RiseSetEvent *rise, RiseSetEvent *transit, RiseSetEvent *set) {
    if (!sampler || !(toHours > fromHours) || toHours - fromHours > 1000.0) return 0;
    Search search{sampler, context};
    // Samples at the step, the last one at the end of the window.
    std::vector<Sample> samples;
    const int steps = static_cast<int>(std::ceil((toHours - fromHours) / kRiseSetSearchStep));
    for (int i = 0; i <= steps; ++i) {
        const double t = i == steps ? toHours : fromHours + i * kRiseSetSearchStep;
        samples.push_back(search.At(t));
        if (search.failed) return 0;
    }
    // Where the altitude turns between samples without changing sign, the
    // body may graze the horizon: the extreme is found and kept as a sample,
    // so that a crossing on either side of it is bracketed too.
    std::vector<Sample> all;
    all.push_back(samples[0]);
    for (size_t i = 1; i + 1 < samples.size(); ++i) {
        const Sample &a = samples[i - 1], &b = samples[i], &c = samples[i + 1];
        const bool peak = b.altitude >= a.altitude && b.altitude >= c.altitude;
        const bool trough = b.altitude <= a.altitude && b.altitude <= c.altitude;
        if ((peak && b.altitude < 0.0) || (trough && b.altitude > 0.0)) {
            Sample e = FindExtreme(&search, a.hours, c.hours, peak);
            if (search.failed) return 0;
            if ((e.altitude >= 0.0) != (b.altitude >= 0.0)) {
                // Keep the samples in time order.
                if (e.hours < b.hours) {
                    all.push_back(e);
                    all.push_back(b);
                } else {
                    all.push_back(b);
                    all.push_back(e);
                }
                continue;
            }
        }
        all.push_back(b);
    }
    if (samples.size() > 1) all.push_back(samples.back());

    RiseSetEvent r{-1.0, kRiseSetEventNone}, tr{-1.0, kRiseSetEventNone}, s{-1.0, kRiseSetEventNone};
    bool everUp = false, everDown = false;
    for (const Sample &x : all) (x.altitude >= 0.0 ? everUp : everDown) = true;
    for (size_t i = 0; i + 1 < all.size(); ++i) {
        const Sample &a = all[i], &b = all[i + 1];
        if (r.state != kRiseSetEventFound && a.altitude < 0.0 && b.altitude >= 0.0)
            r = {Bisect(&search, a, b, 0), kRiseSetEventFound};
        if (s.state != kRiseSetEventFound && a.altitude >= 0.0 && b.altitude < 0.0)
            s = {Bisect(&search, a, b, 0), kRiseSetEventFound};
        // The hour angle passes 0 upwards at the transit (it jumps from pi to
        // -pi half a day later, which is no transit).
        if (tr.state != kRiseSetEventFound && a.hourAngle < 0.0 && b.hourAngle >= 0.0 &&
            b.hourAngle - a.hourAngle < kPi)
            tr = {Bisect(&search, a, b, 1), kRiseSetEventFound};
        if (search.failed) return 0;
    }
    if (!everDown) {
        r = s = {0.0, kRiseSetEventAlwaysUp};
    }
    if (!everUp) tr = {-1.0, kRiseSetEventNone};
    if (rise) *rise = r;
    if (transit) *transit = tr;
    if (set) *set = s;
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
