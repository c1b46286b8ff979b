// Vectors, sidereal angle, observer vector, topocentric place, shadow and
// magnitude of Earth satellites.
#include "ephem/satgeometry.h"

#include <cmath>

#include "astro/airmass.h"
#include "core/mathutil.h"
#include "ephem/planetseries.h"
#include "ephem/tle.h"

namespace {
const double kTwoPi = 2.0 * kPi;
// The Earth's equatorial radius of the site terms, km (IAU 1976).
const double kObserverEarthRadiusKm = 6378140.0 * 0.001;
}  // namespace

void CrossVector3(const double a[3], const double b[3], double out[3]) {
    double x = a[1] * b[2] - a[2] * b[1];
    double y = a[2] * b[0] - a[0] * b[2];
    double z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

double DotVector3(const double a[3], const double b[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double LengthVector3(const double v[3]) { return std::sqrt(DotVector3(v, v)); }

void NormalizeVector3(double v[3]) {
    double length = LengthVector3(v);
    if (length == 0.0) return;
    v[0] /= length;
    v[1] /= length;
    v[2] /= length;
}

double SquareValue(double x) { return x * x; }

double ModuloFloor(double a, double b) {
    double r = a - b * std::trunc(a / b);
    if (r < 0.0) r += b;
    return r;
}

void SetVector4Length(double v[4]) { v[3] = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

double DotVector4(const double *a, const double *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

double SiderealAngleFromJulianDate(double julianDate) {
    double fraction = std::fmod(julianDate + 0.5, 1.0);
    if (fraction < 0.0) fraction += 1.0;
    double tu = (julianDate - fraction - 2451545.0) / 36525.0;
    // GMST at 0h UT, seconds (Aoki et al. 1982).
    double gmst0 = 24110.54841 + tu * (8640184.812866 + tu * (0.093104 - 6.2e-6 * tu));
    double gmst = std::fmod(gmst0 + 86400.0 * 1.00273790934 * fraction, 86400.0);
    if (gmst < 0.0) gmst += 86400.0;
    return kTwoPi * gmst / 86400.0;
}

void ComputeObserverVector(double julianDate, double eastLongitude, double rhoCosPhi,
                           double rhoSinPhi, double out[3]) {
    double theta = SiderealAngleFromJulianDate(julianDate) + eastLongitude;
    out[0] = rhoCosPhi * std::cos(theta) * kObserverEarthRadiusKm;
    out[1] = rhoCosPhi * std::sin(theta) * kObserverEarthRadiusKm;
    out[2] = rhoSinPhi * kObserverEarthRadiusKm;
}

void ComputeTopocentricFromVectors(const double observer[3], const double satellite[3],
                                   double *rightAscension, double *declination, double *range) {
    double d[3] = {satellite[0] - observer[0], satellite[1] - observer[1],
                   satellite[2] - observer[2]};
    double r = LengthVector3(d);
    double ra = std::atan2(d[1], d[0]);
    if (ra < 0.0) ra += kTwoPi;
    if (rightAscension) *rightAscension = ra;
    if (declination) *declination = r > 0.0 ? ComputeClampedArcSine(d[2] / r) : 0.0;
    if (range) *range = r;
}

void ComputeSunVectorOfDate(double centuriesTT, double meanObliquity, double out[3]) {
    ComputeSunRectangularJ2000(centuriesTT, 1, meanObliquity, &out[0], &out[1], &out[2]);
    if (LengthVector3(out) > 0.5) return;
    // No planetary series loaded: Meeus, ch. 25 (about 0.01 degree).
    HeliocentricPlace earth = ComputeEarthLowPrecision(centuriesTT);
    double lon = earth.longitude + kPi, lat = -earth.latitude, r = earth.radius;
    double xe = r * std::cos(lat) * std::cos(lon);
    double ye = r * std::cos(lat) * std::sin(lon);
    double ze = r * std::sin(lat);
    double c = std::cos(meanObliquity), s = std::sin(meanObliquity);
    out[0] = xe;
    out[1] = c * ye - s * ze;
    out[2] = s * ye + c * ze;
}

int IsSatelliteInShadow(double julianDate, const double satellite[3], const double sunAu[3],
                        double *edgeDistance) {
    (void)julianDate;
    double s[4] = {satellite[0], satellite[1], satellite[2], 0.0};
    double sun[4] = {sunAu[0] * kKilometresPerAu, sunAu[1] * kKilometresPerAu,
                     sunAu[2] * kKilometresPerAu, 0.0};
    SetVector4Length(s);
    SetVector4Length(sun);
    if (sun[3] <= 0.0) {
        if (edgeDistance) *edgeDistance = 0.0;
        return 0;
    }
    double along = DotVector4(s, sun);
    double t = -along / (sun[3] * sun[3]);
    double d2 = s[3] * s[3] - along * along / (sun[3] * sun[3]);
    double d = d2 > 0.0 ? std::sqrt(d2) : 0.0;
    double radius = kSatelliteEarthRadiusKm - t * (kSunRadiusKm - kSatelliteEarthRadiusKm);
    if (edgeDistance) *edgeDistance = d - radius;
    return (t > 0.0 && d < radius && radius - d > kShadowMarginKm) ? 1 : 0;
}

namespace {
// The Sun-satellite angle at the observer; leaves satellite - observer in v.
double SunAngleAtObserver(double satellite[3], const double observer[3], const double sunAu[3]) {
    double w[3];
    for (int i = 0; i < 3; ++i) {
        satellite[i] -= observer[i];
        w[i] = sunAu[i] * kKilometresPerAu - observer[i];
    }
    double lv = LengthVector3(satellite), lw = LengthVector3(w);
    if (lv == 0.0 || lw == 0.0) return 0.0;
    return std::fabs(ComputeClampedArcCosine(DotVector3(satellite, w) / (lv * lw)));
}
}  // namespace

double ComputeSatelliteMagnitude(double standardMagnitude, double satellite[3],
                                 const double observer[3], double range, const double sunAu[3],
                                 const double *altitude) {
    double e = SunAngleAtObserver(satellite, observer, sunAu);
    double k = (1.0 - std::cos(e)) / 2.0;
    if (k <= 0.0 || range <= 0.0) return kUnlitSatelliteMagnitude;
    double m = standardMagnitude - 15.75 + 2.5 * std::log10(range * range / k);
    if (altitude) m += ComputeExtinction(kSatelliteExtinction, *altitude);
    return m;
}

double ComputeSatelliteMagnitudeDiffuse(double standardMagnitude, double satellite[3],
                                        const double observer[3], double range,
                                        const double sunAu[3]) {
    double e = SunAngleAtObserver(satellite, observer, sunAu);
    double p = kPi - e;
    double phase = std::sin(p) + (kPi - p) * std::cos(p);
    if (phase <= 0.0 || range <= 0.0) return kUnlitSatelliteMagnitude;
    return standardMagnitude - 15.0 + 5.0 * std::log10(range) - 2.5 * std::log10(phase);
}

double ComputeSatelliteMagnitudeAtRange(double standardMagnitude, double range) {
    if (range <= 0.0) range = 1.0;
    return standardMagnitude + 5.0 * std::log10(range) - 15.0 - 0.75;
}
