// Crossings of declination circles with a site's obstructed horizon and the
// rise, set and visibility tests built on them.
#include "sites/horizongeometry.h"

#include <cmath>

#include "astro/frames.h"
#include "astro/location.h"
#include "core/mathutil.h"
#include "astro/riseset.h"
#include "sites/horizon.h"

namespace {

const double kTwoPi = 2.0 * kPi;

// Hour angle (hours) where the circle crosses segment k.
double CrossingHourAngle(const LocationRecord *site, double d, const HorizonRow *rows, int k) {
    double dk = rows[k].declination, dk1 = rows[k + 1].declination;
    double t = dk1 != dk ? (d - dk) / (dk1 - dk) : 0.0;
    double altitude = rows[k].altitude + t * (rows[k + 1].altitude - rows[k].altitude) +
                      site->horizonDip;
    double zk = rows[k].azimuth;
    double zk1 = k + 1 == 60 ? kTwoPi : rows[k + 1].azimuth;
    double azimuth = ReduceModuloPositive(zk + t * (zk1 - zk) + kPi, kTwoPi);
    return ComputeHourAngleFromAltAz(site, azimuth, altitude);
}

double WrapHours(double h) {
    h = std::fmod(h, 24.0);
    if (h > 12.0) h -= 24.0;
    if (h <= -12.0) h += 24.0;
    return h;
}

}  // namespace

double ComputeHourAngleFromAltAz(const LocationRecord *site, double azimuth, double altitude) {
    double cosH = std::cos(altitude);
    if (cosH == 0.0) return 0.0;
    double h = std::atan2(std::sin(azimuth), std::cos(azimuth) * std::sin(site->latitude) +
                                                 std::tan(altitude) * std::cos(site->latitude));
    h = ReduceModuloPositive(h, kTwoPi);
    if (h > kPi) h -= kTwoPi;
    return h * 12.0 / kPi;
}

void FindHorizonCrossings(const LocationRecord *site, double d, const HorizonRow *rows,
                          HorizonCrossings *out) {
    int a = -1, b = -1;
    double greatest = rows[0].declination, least = rows[0].declination;
    for (int k = 0; k < 60; ++k) {
        double dk = rows[k].declination, dk1 = rows[k + 1].declination;
        bool crossed = dk1 > dk ? (dk <= d && d <= dk1) : (dk1 <= d && d <= dk);
        if (crossed) {
            if (a < 0)
                a = k;
            else
                b = k;
        }
        if (dk > greatest) greatest = dk;
        if (dk < least) least = dk;
    }
    out->twoCrossings = b >= 0 ? 1 : 0;
    out->hourAngleA = out->hourAngleB = 0.0;
    out->alwaysAbove = 0;
    if (out->twoCrossings) {
        out->hourAngleA = CrossingHourAngle(site, d, rows, a);
        out->hourAngleB = CrossingHourAngle(site, d, rows, b);
        return;
    }
    double lat = site->latitude;
    if (lat > 0.0)
        out->alwaysAbove = d > greatest && rows[0].altitude < lat;
    else if (lat < 0.0)
        out->alwaysAbove = d < least && std::fabs(lat) > rows[30].altitude;
}

int ComputeHorizonRiseSet(const LocationRecord *site, double declination, const HorizonRow *rows,
                          double hourAngleNow, double timeNow, double *rise, double *set) {
    HorizonCrossings c;
    FindHorizonCrossings(site, declination, rows, &c);
    if (!c.twoCrossings) {
        double v = c.alwaysAbove ? 0.0 : -2.0;
        if (rise) *rise = v;
        if (set) *set = v;
        return c.alwaysAbove ? 0 : -1;
    }
    double nowHours = hourAngleNow * 12.0 / kPi;
    double r = timeNow - (nowHours - c.hourAngleA) * kSiderealToSolar;
    double s = timeNow - (nowHours - c.hourAngleB) * kSiderealToSolar;
    WrapHoursBySiderealDay(&r);
    WrapHoursBySiderealDay(&s);
    if (rise) *rise = r;
    if (set) *set = s;
    return 1;
}

static int RefineOne(const LocationRecord *site, double declination, const HorizonRow *rows,
                     double hourAngleNow, double timeNow, double *out, bool setSide) {
    HorizonCrossings c;
    FindHorizonCrossings(site, declination, rows, &c);
    if (!c.twoCrossings) {
        if (out) *out = c.alwaysAbove ? 0.0 : -1.0;
        return c.alwaysAbove ? 0 : -1;
    }
    double h = setSide ? c.hourAngleB : c.hourAngleA;
    double t = timeNow - (hourAngleNow * 12.0 / kPi - h) * kSiderealToSolar;
    WrapHoursBySiderealDay(&t);
    if (out) *out = t;
    return 1;
}

int RefineHorizonRise(const LocationRecord *site, double declination, const HorizonRow *rows,
                      double hourAngleNow, double timeNow, double *rise) {
    return RefineOne(site, declination, rows, hourAngleNow, timeNow, rise, false);
}

int RefineHorizonSet(const LocationRecord *site, double declination, const HorizonRow *rows,
                     double hourAngleNow, double timeNow, double *set) {
    return RefineOne(site, declination, rows, hourAngleNow, timeNow, set, true);
}

static int CrossingHourAngleOut(const LocationRecord *site, double declination,
                                const HorizonRow *rows, double *hourAngle, bool setSide) {
    if (hourAngle) *hourAngle = 0.0;
    HorizonCrossings c;
    FindHorizonCrossings(site, declination, rows, &c);
    if (!c.twoCrossings) return c.alwaysAbove ? 0 : -1;
    if (hourAngle) *hourAngle = (setSide ? c.hourAngleB : c.hourAngleA) * kPi / 12.0;
    return 1;
}

int ComputeHorizonRiseHourAngle(const LocationRecord *site, double declination,
                                const HorizonRow *rows, double *hourAngle) {
    return CrossingHourAngleOut(site, declination, rows, hourAngle, false);
}

int ComputeHorizonSetHourAngle(const LocationRecord *site, double declination,
                               const HorizonRow *rows, double *hourAngle) {
    return CrossingHourAngleOut(site, declination, rows, hourAngle, true);
}

int IsAboveHorizonAtHourAngle(const LocationRecord *site, double declination,
                              const HorizonRow *rows, double hourAngle) {
    double h = WrapHours(hourAngle * 12.0 / kPi) * kPi / 12.0;
    double altitude = ComputeAltitude(site, h, declination);
    return IsAltitudeAboveHorizon(site, h, declination, altitude, rows);
}

int IsAltitudeAboveHorizon(const LocationRecord *site, double hourAngle, double declination,
                           double altitude, const HorizonRow *rows) {
    double azimuth = ReduceModuloPositive(ComputeAzimuth(site, hourAngle, declination) - kPi,
                                          kTwoPi);
    if (azimuth >= kTwoPi) azimuth -= kTwoPi;  // 2 pi is north again, row 0
    int index = (int)(azimuth / kHorizonStep);
    if (index >= 60) index = 0;
    int next = index == 59 ? 0 : index + 1;
    double horizon = rows[index].altitude + (azimuth - index * kHorizonStep) / kHorizonStep *
                                                (rows[next].altitude - rows[index].altitude);
    return horizon <= altitude - site->horizonDip ? 1 : 0;
}
