// Chart geometry: horizon places as charts draw them (chart azimuth 2 pi -
// azimuth, refraction, extinction) and back, the zenith, position angles and
// offsets on the sphere.
#include "astro/chartgeom.h"

#include <cmath>

#include "astro/airmass.h"
#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/location.h"
#include "core/mathutil.h"
#include "astro/riseset.h"
#include "astro/unaligned.h"

namespace {

const double kTwoPi = 2.0 * kPi;
// Magnitudes from this value up mean "no magnitude".
const double kNoMagnitude = 90.0;

bool HasMagnitude(const double *magnitude) {
    return magnitude && LoadDouble(magnitude) < kNoMagnitude;
}

// Stores the right ascension and declination of the place at azimuth (in
// the sense ConvertHorizontalToHourAngle takes) and true altitude into the
// two outputs; an altitude past the zenith is the zenith.
void StoreEquatorialOfHorizontal(const LocationRecord *site, const DateRecord *date,
                                 double azimuth, double altitude, double *rightAscensionOut,
                                 double *declinationOut) {
    if (altitude > kPi / 2.0) altitude = kPi / 2.0;
    double h = 0.0, d = 0.0;
    ConvertHorizontalToHourAngle(site, &h, &d, azimuth, altitude);
    StoreDouble(rightAscensionOut, GetPositiveHourAngle(date, h, kApparentSiderealTime));
    StoreDouble(declinationOut, d);
}

}  // namespace

void GetZenithPosition(const LocationRecord *site, const DateRecord *date, double *rightAscension,
                       double *declination) {
    if (!site || !date) return;
    double h = 0.0, d = site->latitude;
    ConvertHorizontalToHourAngle(site, &h, &d, 0.0, kPi / 2.0);
    if (rightAscension)
        StoreDouble(rightAscension, ReduceToFullTurn(date->localApparentSidereal - h));
    if (declination) StoreDouble(declination, d);
}

double FlipAngleHalfTurn(double angle) {
    return ReduceToFullTurn(angle + kPi);
}

int ConvertEquatorialToApparentHorizontal(const LocationRecord *site, const DateRecord *date,
                                          double extinctionCoefficient, double *azimuthInOut,
                                          double *altitudeInOut, double *magnitude, int always) {
    if (!site || !date || !azimuthInOut || !altitudeInOut) return -1;
    const double h = GetHourAngle(date, LoadDouble(azimuthInOut), kApparentSiderealTime);
    double azimuth = 0.0, altitude = 0.0;
    ConvertHourAngleToHorizontal(site, h, LoadDouble(altitudeInOut), &azimuth, &altitude, 1);
    double apparent = altitude + GetRefractionForTrueAltitude(altitude);
    if (apparent > kPi / 2.0) apparent = kPi / 2.0;
    if (HasMagnitude(magnitude))
        StoreDouble(magnitude,
                    LoadDouble(magnitude) +
                        ComputeExtinction(extinctionCoefficient, apparent - site->horizonDip));
    StoreDouble(azimuthInOut, ReduceToFullTurn(kTwoPi - azimuth));
    StoreDouble(altitudeInOut, apparent);
    return (always != 0 || apparent >= site->horizonDip) ? 1 : 0;
}

int ConvertApparentHorizontalToEquatorial(const LocationRecord *site, const DateRecord *date,
                                          double extinctionCoefficient, double *azimuthInOut,
                                          double *altitudeInOut, double *magnitude) {
    if (!site || !date || !azimuthInOut || !altitudeInOut) return -1;
    const double apparent = LoadDouble(altitudeInOut);
    if (HasMagnitude(magnitude))
        StoreDouble(magnitude,
                    LoadDouble(magnitude) -
                        ComputeExtinction(extinctionCoefficient, apparent - site->horizonDip));
    const double azimuth = kTwoPi - LoadDouble(azimuthInOut);
    double altitude = apparent - GetRefractionForApparentAltitude(apparent);
    StoreEquatorialOfHorizontal(site, date, azimuth, altitude, azimuthInOut, altitudeInOut);
    return 1;
}

int ConvertEquatorialToHorizontal(const LocationRecord *site, const DateRecord *date,
                                  double *azimuthInOut, double *altitudeInOut) {
    if (!site || !date || !azimuthInOut || !altitudeInOut) return -1;
    const double h = GetHourAngle(date, LoadDouble(azimuthInOut), kApparentSiderealTime);
    double azimuth = 0.0, altitude = 0.0;
    ConvertHourAngleToHorizontal(site, h, LoadDouble(altitudeInOut), &azimuth, &altitude, 1);
    StoreDouble(azimuthInOut, ReduceToFullTurn(kTwoPi - azimuth));
    StoreDouble(altitudeInOut, altitude);
    return 1;
}

int ConvertHorizontalToEquatorial(const LocationRecord *site, const DateRecord *date,
                                  double *azimuthInOut, double *altitudeInOut) {
    if (!site || !date || !azimuthInOut || !altitudeInOut) return -1;
    const double azimuth = kTwoPi - LoadDouble(azimuthInOut);
    double altitude = LoadDouble(altitudeInOut);
    StoreEquatorialOfHorizontal(site, date, azimuth, altitude, azimuthInOut, altitudeInOut);
    return 1;
}

void ComputeOffsetPosition(double positionAngle, double distance, double centreRightAscension,
                           double centreDeclination, double *rightAscension, double *declination) {
    if (distance == 0.0) {
        if (rightAscension) StoreDouble(rightAscension, centreRightAscension);
        if (declination) StoreDouble(declination, centreDeclination);
        return;
    }
    // Centre c, local north n and east e as unit vectors; the point is
    // c cos r + (n cos p + e sin p) sin r.
    const double sa = std::sin(centreRightAscension), ca = std::cos(centreRightAscension);
    const double sd = std::sin(centreDeclination), cd = std::cos(centreDeclination);
    const double c[3] = {cd * ca, cd * sa, sd};
    const double n[3] = {-sd * ca, -sd * sa, cd};
    const double e[3] = {-sa, ca, 0.0};
    const double cp = std::cos(positionAngle), sp = std::sin(positionAngle);
    const double cr = std::cos(distance), sr = std::sin(distance);
    double v[3];
    for (int i = 0; i < 3; ++i)
        v[i] = c[i] * cr + (n[i] * cp + e[i] * sp) * sr;
    const double rho = std::sqrt(v[0] * v[0] + v[1] * v[1]);
    if (rightAscension)
        StoreDouble(rightAscension, rho == 0.0 ? ReduceToFullTurn(centreRightAscension)
                                               : ReduceToFullTurn(std::atan2(v[1], v[0])));
    if (declination) StoreDouble(declination, std::atan2(v[2], rho));
}

double ComputePositionAngle(double rightAscension1, double declination1, double rightAscension2,
                            double declination2) {
    const double da = rightAscension2 - rightAscension1;
    const double p = ComputeQuadrantArcTangent(
        std::sin(da) * std::cos(declination2),
        std::cos(declination1) * std::sin(declination2) -
            std::cos(da) * std::sin(declination1) * std::cos(declination2));
    return ReduceToFullTurn(p);
}
