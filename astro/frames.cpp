// Conversions between the equatorial frame and the hour-angle, horizon,
// ecliptic and galactic frames (Meeus, Astronomical Algorithms, ch. 13).
// The extended forms evaluate the same formulas on long double, which is the
// 80-bit x87 type on the x86 builds.
#include "astro/frames.h"

#include <cmath>

#include "astro/datetime.h"
#include "astro/location.h"
#include "core/mathutil.h"
#include "astro/precession.h"
#include "astro/unaligned.h"

namespace {

const double kTwoPi = 2.0 * kPi;
const long double kPiL = kPiExtended;

// B1950 (IAU 1958) galactic frame: north galactic pole at 192.25 deg, +27.4
// deg; longitude terms 303 deg (forward), 123 deg and 12.25 deg (inverse).
// Full double precision: the pole's sine and cosine rounded to nine digits
// would leave them 2e-9 off a unit vector, which costs 0.01" near the poles.
const double kGalacticPoleRa = 3.3553954869590985;
const double kGalacticPoleSinDec = 0.46019978478385165;
const double kGalacticPoleCosDec = 0.8878153851364013;
const double kGalacticForwardLongitude = 5.288347633542818;
const double kGalacticInverseLongitude = 2.1467549799530254;
const double kGalacticInverseRa = 0.21380283336930536;

long double ReduceFullTurnExtended(long double x) {
    long double r = std::fmod(x, 2.0L * kPiL);
    if (r < 0.0L) r += 2.0L * kPiL;
    if (r >= 2.0L * kPiL) r = 0.0L;
    return r;
}

// Hour angle to horizon on any floating type; returns the altitude and writes
// the azimuth when asked.
// The altitude as the angle of the place's unit vector above the horizon
// plane: the same value as asin(sin lat sin dec + cos lat cos dec cos H), but
// without the loss of asin near +-1, so the zenith comes out as pi/2 exactly.
template <typename Real>
Real HorizonAltitude(Real sinLat, Real cosLat, Real hourAngle, Real declination) {
    const Real sinDec = std::sin(declination), cosDec = std::cos(declination);
    const Real cosH = std::cos(hourAngle);
    const Real up = sinLat * sinDec + cosLat * cosDec * cosH;
    const Real south = sinLat * cosDec * cosH - cosLat * sinDec;
    const Real west = cosDec * std::sin(hourAngle);
    return std::atan2(up, std::sqrt(south * south + west * west));
}

template <typename Real>
Real HorizonAzimuth(Real sinLat, Real cosLat, Real hourAngle, Real declination) {
    Real cosDec = std::cos(declination);
    Real y = std::sin(hourAngle);
    Real x = std::cos(hourAngle) * sinLat - (std::sin(declination) / cosDec) * cosLat;
    return std::atan2(y, x);
}

template <typename Real>
void HorizonToHourAngle(Real sinLat, Real cosLat, Real azimuth, Real altitude, Real *hourAngle,
                        Real *declination) {
    Real s = sinLat * std::sin(altitude) - cosLat * std::cos(altitude) * std::cos(azimuth);
    if (s > 1) s = 1;
    if (s < -1) s = -1;
    *declination = std::asin(s);
    Real cosAlt = std::cos(altitude);
    if (cosAlt == 0) {
        *hourAngle = 0;
        return;
    }
    *hourAngle = std::atan2(std::sin(azimuth),
                            std::cos(azimuth) * sinLat + (std::sin(altitude) / cosAlt) * cosLat);
}

double ChosenObliquity(const DateRecord *date, int kind) {
    return kind == kTrueObliquity ? date->meanObliquity + date->nutationObliquity
                                  : date->meanObliquity;
}

// (-pi, pi] from an angle in about (-2 pi, 2 pi].
double WrapHourAngle(double h) {
    h = ReduceToFullTurn(h);
    if (h > kPi) h -= kTwoPi;
    return h;
}

}  // namespace

double ReduceToFullTurn(double x) {
    double r = ReduceModuloPositive(x, kTwoPi);
    return r >= kTwoPi ? 0.0 : r;
}

// ---- hour angle and horizon ---------------------------------------------------

double GetHourAngle(const DateRecord *date, double rightAscension, int kind) {
    if (!date) return kNoCoordinateResult;
    double sidereal;
    if (kind == kApparentSiderealTime)
        sidereal = date->localApparentSidereal;
    else if (kind == kMeanSiderealTime)
        sidereal = date->localMeanSidereal;
    else
        return kNoCoordinateResult;
    return WrapHourAngle(sidereal - rightAscension);
}

double GetPositiveHourAngle(const DateRecord *date, double rightAscension, int kind) {
    double h = GetHourAngle(date, rightAscension, kind);
    if (h == kNoCoordinateResult) return h;
    return ReduceToFullTurn(h);
}

double ComputeAltitude(const LocationRecord *site, double hourAngle, double declination) {
    if (!site) return kNoCoordinateResult;
    return HorizonAltitude<double>(site->sinLatitude, site->cosLatitude, hourAngle, declination);
}

double ComputeAzimuth(const LocationRecord *site, double hourAngle, double declination) {
    if (!site) return kNoCoordinateResult;
    if (std::cos(declination) == 0.0) return 0.0;
    return ReduceToFullTurn(
        HorizonAzimuth<double>(site->sinLatitude, site->cosLatitude, hourAngle, declination));
}

int ConvertHourAngleToHorizontal(const LocationRecord *site, double hourAngle, double declination,
                                 double *azimuth, double *altitude, int always) {
    if (!site) return -1;
    if (std::fabs(std::fabs(declination) - kPi / 2.0) < kHorizonPoleMargin)
        return ConvertHourAngleToHorizontalExtended(site, hourAngle, declination, azimuth, altitude,
                                                    always);
    double alt =
        HorizonAltitude<double>(site->sinLatitude, site->cosLatitude, hourAngle, declination);
    if (altitude) StoreDouble(altitude, alt);
    if (always == 0 && alt < site->horizonDip) return 0;
    if (azimuth)
        StoreDouble(azimuth, ReduceToFullTurn(HorizonAzimuth<double>(
                                 site->sinLatitude, site->cosLatitude, hourAngle, declination)));
    return alt >= site->horizonDip ? 1 : 0;
}

int ConvertHourAngleToHorizontalExtended(const LocationRecord *site, double hourAngle,
                                         double declination, double *azimuth, double *altitude,
                                         int always) {
    if (!site) return -1;
    const long double sinLat = std::sin(static_cast<long double>(site->latitude));
    const long double cosLat = std::cos(static_cast<long double>(site->latitude));
    const long double h = hourAngle, d = declination;
    double alt = static_cast<double>(HorizonAltitude<long double>(sinLat, cosLat, h, d));
    if (altitude) StoreDouble(altitude, alt);
    if (always == 0 && alt < site->horizonDip) return 0;
    if (azimuth) {
        // At a pole itself (cos dec exactly 0 in extended precision) the
        // azimuth is that of the pole: north (pi) or south (0).
        long double cosDec = std::cos(d);
        long double az = cosDec == 0.0L ? (d > 0 ? kPiL : 0.0L)
                                        : HorizonAzimuth<long double>(sinLat, cosLat, h, d);
        StoreDouble(azimuth, static_cast<double>(ReduceFullTurnExtended(az)));
        if (LoadDouble(azimuth) >= kTwoPi) StoreDouble(azimuth, 0.0);
    }
    return alt >= site->horizonDip ? 1 : 0;
}

void ConvertHorizontalToHourAngle(const LocationRecord *site, double *hourAngle,
                                  double *declination, double azimuth, double altitude) {
    if (!site) return;
    if (std::fabs(std::fabs(altitude) - kPi / 2.0) < kHorizonPoleMargin) {
        ConvertHorizontalToHourAngleExtended(site, hourAngle, declination, azimuth, altitude);
        return;
    }
    double h, d;
    HorizonToHourAngle<double>(site->sinLatitude, site->cosLatitude, azimuth, altitude, &h, &d);
    if (hourAngle) StoreDouble(hourAngle, WrapHourAngle(h));
    if (declination) StoreDouble(declination, d);
}

void ConvertHorizontalToHourAngleExtended(const LocationRecord *site, double *hourAngle,
                                          double *declination, double azimuth, double altitude) {
    if (!site) return;
    const long double sinLat = std::sin(static_cast<long double>(site->latitude));
    const long double cosLat = std::cos(static_cast<long double>(site->latitude));
    long double h, d;
    HorizonToHourAngle<long double>(sinLat, cosLat, azimuth, altitude, &h, &d);
    if (hourAngle) StoreDouble(hourAngle, WrapHourAngle(static_cast<double>(h)));
    if (declination) StoreDouble(declination, static_cast<double>(d));
}

// ---- ecliptic -----------------------------------------------------------------

void RotateEclipticToEquatorial(double obliquity, double longitude, double latitude,
                                double *rightAscension, double *declination) {
    if (std::fabs(latitude) > kPi / 2.0 - kFramePoleMargin) {
        const long double e = obliquity, l = longitude, b = latitude;
        const long double cosB = std::cos(b);
        long double ra;
        if (cosB == 0.0L)
            ra = b > 0 ? 1.5L * kPiL : 0.5L * kPiL;
        else
            ra = std::atan2(std::sin(l) * std::cos(e) - (std::sin(b) / cosB) * std::sin(e),
                            std::cos(l));
        long double s = std::sin(b) * std::cos(e) + cosB * std::sin(e) * std::sin(l);
        if (rightAscension)
            StoreDouble(rightAscension,
                        ReduceToFullTurn(static_cast<double>(ReduceFullTurnExtended(ra))));
        if (declination)
            StoreDouble(declination, static_cast<double>(ComputeClampedArcSineExtended(s)));
        return;
    }
    double ra = ComputeQuadrantArcTangent(
        std::sin(longitude) * std::cos(obliquity) - std::tan(latitude) * std::sin(obliquity),
        std::cos(longitude));
    if (rightAscension) StoreDouble(rightAscension, ReduceToFullTurn(ra));
    if (declination)
        StoreDouble(declination, ComputeClampedArcSine(std::sin(latitude) * std::cos(obliquity) +
                                                       std::cos(latitude) * std::sin(obliquity) *
                                                           std::sin(longitude)));
}

void RotateEquatorialToEcliptic(double obliquity, double rightAscension, double declination,
                                double *longitude, double *latitude) {
    if (std::fabs(declination) > kPi / 2.0 - kFramePoleMargin) {
        const long double e = obliquity, a = rightAscension, d = declination;
        const long double cosD = std::cos(d);
        long double lon;
        if (!(cosD > 0.0L))
            lon = d > 0 ? 0.5L * kPiL : 1.5L * kPiL;
        else
            lon = std::atan2(std::sin(a) * std::cos(e) + (std::sin(d) / cosD) * std::sin(e),
                             std::cos(a));
        long double s = std::sin(d) * std::cos(e) - cosD * std::sin(e) * std::sin(a);
        if (longitude)
            StoreDouble(longitude,
                        ReduceToFullTurn(static_cast<double>(ReduceFullTurnExtended(lon))));
        if (latitude) StoreDouble(latitude, static_cast<double>(ComputeClampedArcSineExtended(s)));
        return;
    }
    double lon = ComputeQuadrantArcTangent(std::sin(rightAscension) * std::cos(obliquity) +
                                               std::tan(declination) * std::sin(obliquity),
                                           std::cos(rightAscension));
    if (longitude) StoreDouble(longitude, ReduceToFullTurn(lon));
    if (latitude)
        StoreDouble(latitude, ComputeClampedArcSine(std::sin(declination) * std::cos(obliquity) -
                                                    std::cos(declination) * std::sin(obliquity) *
                                                        std::sin(rightAscension)));
}

void ConvertEclipticToEquatorial(const DateRecord *date, double *rightAscension,
                                 double *declination, double longitude, double latitude, int kind) {
    if (!date) return;
    RotateEclipticToEquatorial(ChosenObliquity(date, kind), longitude, latitude, rightAscension,
                               declination);
}

void ConvertEquatorialToEcliptic(const DateRecord *date, double rightAscension, double declination,
                                 double *longitude, double *latitude, int kind) {
    if (!date) return;
    RotateEquatorialToEcliptic(ChosenObliquity(date, kind), rightAscension, declination, longitude,
                               latitude);
}

// The extended forms are the same rotations; the ordinary ones hand over to
// extended precision by themselves near the poles, and these take the
// extended path for every place.
void ConvertEclipticToEquatorialExtended(const DateRecord *date, double *rightAscension,
                                         double *declination, double longitude, double latitude,
                                         int kind) {
    if (!date) return;
    const long double e = ChosenObliquity(date, kind), l = longitude, b = latitude;
    const long double cosB = std::cos(b);
    long double ra =
        cosB == 0.0L ? (b > 0 ? 1.5L * kPiL : 0.5L * kPiL)
                     : std::atan2(std::sin(l) * std::cos(e) - (std::sin(b) / cosB) * std::sin(e),
                                  std::cos(l));
    if (rightAscension)
        StoreDouble(rightAscension,
                    ReduceToFullTurn(static_cast<double>(ReduceFullTurnExtended(ra))));
    if (declination)
        StoreDouble(declination,
                    static_cast<double>(ComputeClampedArcSineExtended(
                        std::sin(b) * std::cos(e) + cosB * std::sin(e) * std::sin(l))));
}

void ConvertEquatorialToEclipticExtended(const DateRecord *date, double rightAscension,
                                         double declination, double *longitude, double *latitude,
                                         int kind) {
    if (!date) return;
    const long double e = ChosenObliquity(date, kind), a = rightAscension, d = declination;
    const long double cosD = std::cos(d);
    long double lon =
        !(cosD > 0.0L) ? (d > 0 ? 0.5L * kPiL : 1.5L * kPiL)
                       : std::atan2(std::sin(a) * std::cos(e) + (std::sin(d) / cosD) * std::sin(e),
                                    std::cos(a));
    if (longitude)
        StoreDouble(longitude, ReduceToFullTurn(static_cast<double>(ReduceFullTurnExtended(lon))));
    if (latitude)
        StoreDouble(latitude, static_cast<double>(ComputeClampedArcSineExtended(
                                  std::sin(d) * std::cos(e) - cosD * std::sin(e) * std::sin(a))));
}

// ---- galactic -----------------------------------------------------------------

void ConvertB1950ToGalactic(double rightAscension, double declination, double *longitude,
                            double *latitude) {
    const long double poleDec = 27.4L * kPiL / 180.0L;
    const long double sinP = std::sin(poleDec), cosP = std::cos(poleDec);
    const long double x = static_cast<long double>(kGalacticPoleRa) - rightAscension;
    const long double d = declination;
    const long double cosD = std::cos(d);
    long double a = cosD == 0.0L
                        ? 0.0L
                        : std::atan2(std::sin(x), std::cos(x) * sinP - (std::sin(d) / cosD) * cosP);
    long double lon =
        ReduceFullTurnExtended(static_cast<long double>(kGalacticForwardLongitude) - a);
    long double lat = ComputeClampedArcSineExtended(std::sin(d) * sinP + cosD * cosP * std::cos(x));
    if (lat > kPiL / 2.0L - kGalacticLatitudeOffset) {
        lat = kPiL / 2.0L;
        lon = 0.0L;
    } else {
        lat -= kGalacticLatitudeOffset;
    }
    if (longitude) StoreDouble(longitude, ReduceToFullTurn(static_cast<double>(lon)));
    if (latitude) StoreDouble(latitude, static_cast<double>(lat));
}

int ConvertJ2000ToGalactic(double rightAscension, double declination, double *longitude,
                           double *latitude) {
    PrecessionRecord p;
    InitPrecession(&p, kEpochJ2000, kEpochB1950, kSystemFk5, kSystemFk4);
    double ra = rightAscension, dec = declination;
    ApplyPrecession(&p, &ra, &dec, 0.0, 0.0, 0);
    const double x = kGalacticPoleRa - ra;
    const double margin = kFramePoleMargin;
    const double xr = ReduceToFullTurn(x);
    if (std::fabs(dec) > kPi / 2.0 - margin || xr < margin || xr > kTwoPi - margin ||
        std::fabs(xr - kPi) < margin) {
        ConvertB1950ToGalactic(ra, dec, longitude, latitude);
        return 1;
    }
    double a = ComputeQuadrantArcTangent(
        std::sin(x), std::cos(x) * kGalacticPoleSinDec - std::tan(dec) * kGalacticPoleCosDec);
    if (longitude) StoreDouble(longitude, ReduceToFullTurn(kGalacticForwardLongitude - a));
    if (latitude)
        StoreDouble(latitude,
                    ComputeClampedArcSine(std::sin(dec) * kGalacticPoleSinDec +
                                          std::cos(dec) * kGalacticPoleCosDec * std::cos(x)) -
                        kGalacticLatitudeOffset);
    return 1;
}

namespace {
// B1950 FK4 place -> J2000 FK5 place.
int PrecessB1950ToJ2000(double *rightAscension, double *declination, double ra, double dec) {
    PrecessionRecord p;
    InitPrecession(&p, kEpochB1950, kEpochJ2000, kSystemFk4, kSystemFk5);
    int result = ApplyPrecession(&p, &ra, &dec, 0.0, 0.0, 0);
    if (rightAscension) StoreDouble(rightAscension, ra);
    if (declination) StoreDouble(declination, dec);
    return result;
}
}  // namespace

int ConvertGalacticToJ2000(double *rightAscension, double *declination, double longitude,
                           double latitude) {
    // The forward conversion lowered the latitude by the calibration offset;
    // it is added back so that the two conversions are inverses.
    const double b = latitude + kGalacticLatitudeOffset;
    if (std::fabs(b) > kPi / 2.0 - kFramePoleMargin)
        return ConvertGalacticToJ2000Extended(rightAscension, declination, longitude, latitude);
    const double x = longitude - kGalacticInverseLongitude;
    double a = ComputeQuadrantArcTangent(
        std::sin(x), std::cos(x) * kGalacticPoleSinDec - std::tan(b) * kGalacticPoleCosDec);
    double ra = a + kGalacticInverseRa;
    double dec = ComputeClampedArcSine(std::sin(b) * kGalacticPoleSinDec +
                                       std::cos(b) * kGalacticPoleCosDec * std::cos(x));
    return PrecessB1950ToJ2000(rightAscension, declination, ra, dec);
}

int ConvertGalacticToJ2000Extended(double *rightAscension, double *declination, double longitude,
                                   double latitude) {
    long double b = static_cast<long double>(latitude) + kGalacticLatitudeOffset;
    if (b > kPiL / 2.0L) b = kPiL / 2.0L;
    const long double poleDec = 27.4L * kPiL / 180.0L;
    const long double sinP = std::sin(poleDec), cosP = std::cos(poleDec);
    const long double x = static_cast<long double>(longitude) - kGalacticInverseLongitude;
    const long double cosB = std::cos(b);
    // At a galactic pole the formula's limit is A = pi for the north pole
    // (right ascension 192.25 deg) and A = 0 for the south pole (12.25 deg).
    long double a = !(cosB > 1e-15L)
                        ? (b > 0 ? kPiL : 0.0L)
                        : std::atan2(std::sin(x), std::cos(x) * sinP - (std::sin(b) / cosB) * cosP);
    long double ra = a + kGalacticInverseRa;
    long double dec = ComputeClampedArcSineExtended(std::sin(b) * sinP + cosB * cosP * std::cos(x));
    return PrecessB1950ToJ2000(rightAscension, declination, static_cast<double>(ra),
                               static_cast<double>(dec));
}
