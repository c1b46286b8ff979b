// Orientation of the planets, the Sun and the Moon (Meeus, Astronomical
// Algorithms, ch. 29, 42, 43, 45 and 53; IAU rotation models).
#include "ephem/orientation.h"

#include <cmath>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "core/mathutil.h"
#include "astro/precession.h"
#include "ephem/moon.h"
#include "ephem/physical.h"

namespace {

const double kTwoPi = 2.0 * kPi;
const double kDegree = kPi / 180.0;
const double kLightTimeCenturiesPerAU = 1.5812507323750856e-7;
const double kKmToAU = 6.684587153547039e-9;

double g_redSpotLongitude = 119.0 * kDegree;

double Reduce(double x) {
    double r = std::fmod(x, kTwoPi);
    if (r < 0.0) r += kTwoPi;
    if (r >= kTwoPi) r = 0.0;
    return r;
}

double SubSolarLatitude(double ra0, double dec0, double ras, double decs) {
    return -ComputeClampedArcSine(std::sin(dec0) * std::sin(decs) +
                                  std::cos(dec0) * std::cos(decs) * std::cos(ra0 - ras));
}

// The pole (J2000, FK5) carried to the mean equator of the date.
void PrecessPole(const DateRecord *date, double *ra0, double *dec0) {
    PrecessionRecord p;
    InitPrecession(&p, kEpochJ2000, date->centuriesTT, kSystemFk5, kSystemFk5);
    ApplyPrecession(&p, ra0, dec0, 0.0, 0.0, 0);
}

void AxisAndLimb(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth, double ra0,
                 double dec0) {
    ApplyNutationToEquatorial(date, &ra0, &dec0, 1);
    body->axisPositionAngle = Reduce(ComputeAxisPositionAngle(
        body->topocentricRightAscension, body->topocentricDeclination, ra0, dec0));
    body->brightLimbPositionAngle = Reduce(ComputeBrightLimbAngle(
        date, body->topocentricRightAscension, body->topocentricDeclination, earth));
}

}  // namespace

double ComputeAxisPositionAngle(double ra, double dec, double ra0, double dec0) {
    return ComputeQuadrantArcTangent(
        std::cos(dec0) * std::sin(ra0 - ra),
        std::sin(dec0) * std::cos(dec) - std::cos(dec0) * std::sin(dec) * std::cos(ra0 - ra));
}

double ComputeBrightLimbAngle(const DateRecord *date, double ra, double dec,
                              HeliocentricPlace earth) {
    double sunRa = 0.0, sunDec = 0.0;
    ConvertEclipticToEquatorial(date, &sunRa, &sunDec, earth.longitude + kPi, earth.latitude,
                                kTrueObliquity);
    return ComputeAxisPositionAngle(ra, dec, sunRa, sunDec);
}

double ComputeCentralMeridian(double w, double ra, double dec, double ra0, double dec0) {
    return w - ComputeQuadrantArcTangent(
                   std::sin(dec0) * std::cos(dec) * std::cos(ra0 - ra) - std::sin(dec) * std::cos(dec0),
                   std::cos(dec) * std::sin(ra0 - ra));
}

double ComputePlanetocentricDeclination(double ra, double dec, double ra0, double dec0) {
    return -ComputeClampedArcSine(std::sin(dec0) * std::sin(dec) +
                                  std::cos(dec0) * std::cos(dec) * std::cos(ra0 - ra));
}

void ComputePlanetOrientation(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth,
                              double ra0, double dec0, double w) {
    if (!date || !body) return;
    PrecessPole(date, &ra0, &dec0);
    double ras = 0.0, decs = 0.0;
    ConvertEclipticToEquatorial(date, &ras, &decs, body->heliocentric.longitude,
                                body->heliocentric.latitude, kMeanObliquity);
    body->subSolarLongitude = Reduce(ComputeCentralMeridian(w, ras, decs, ra0, dec0));
    body->subSolarLatitude = SubSolarLatitude(ra0, dec0, ras, decs);
    body->centralMeridian = Reduce(ComputeCentralMeridian(
        w, body->geocentricRightAscension, body->geocentricDeclination, ra0, dec0));
    body->latitudeOfCentre = ComputePlanetocentricDeclination(
        body->geocentricRightAscension, body->geocentricDeclination, ra0, dec0);
    AxisAndLimb(date, body, earth, ra0, dec0);
}

void ComputeMercuryOrientation(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth) {
    if (!date) return;
    double t = date->centuriesTT, d = t * 36525.0;
    ComputePlanetOrientation(date, body, earth, (281.01 - 0.033 * t) * kDegree,
                             (61.45 - 0.005 * t) * kDegree, (329.71 + 6.1385025 * d) * kDegree);
}

void ComputeVenusOrientation(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth) {
    if (!date) return;
    double d = date->centuriesTT * 36525.0;
    ComputePlanetOrientation(date, body, earth, 272.72 * kDegree, 67.15 * kDegree,
                             (160.26 - 1.4813596 * d) * kDegree);
}

void ComputeUranusOrientation(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth) {
    if (!date) return;
    double d = date->centuriesTT * 36525.0;
    ComputePlanetOrientation(date, body, earth, 257.43 * kDegree, -15.1 * kDegree,
                             (203.81 - 501.1600928 * d) * kDegree);
}

void ComputeNeptuneOrientation(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth) {
    if (!date) return;
    double t = date->centuriesTT, d = t * 36525.0;
    double n = (357.85 + 52.316 * t) * kDegree;
    ComputePlanetOrientation(date, body, earth, (299.36 + 0.07 * std::sin(n)) * kDegree,
                             (43.46 - 0.51 * std::cos(n)) * kDegree,
                             (253.18 + 536.3128492 * d - 0.48 * std::sin(n)) * kDegree);
}

void ComputePlutoOrientation(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth) {
    if (!date) return;
    double d = date->centuriesTT * 36525.0;
    ComputePlanetOrientation(date, body, earth, 313.02 * kDegree, 9.09 * kDegree,
                             (236.77 - 56.3623195 * d) * kDegree);
}

void ComputeMarsOrientation(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth) {
    if (!date || !body) return;
    const double t = date->centuriesTT;
    double lambda0 = (352.9065 + 1.1733 * t) * kDegree;
    double beta0 = (63.2818 - 0.00394 * t) * kDegree;
    body->latitudeOfCentre = ComputePlanetocentricDeclination(
        body->geocentricLongitude, body->geocentricLatitude, lambda0, beta0);
    double l = body->heliocentric.longitude, b = body->heliocentric.latitude;
    double r = body->heliocentric.radius;
    double n = (49.5581 + 0.7721 * t) * kDegree;
    double lp = r > 0.0 ? l - 0.00012164944886400476 / r : l;
    double bp = r > 0.0 ? b - 0.000225 * kDegree * std::cos(l - n) / r : b;
    body->subSolarLatitude = -ComputeClampedArcSine(
        std::sin(beta0) * std::sin(bp) + std::cos(beta0) * std::cos(bp) * std::cos(lambda0 - lp));
    double jd = (t - body->geocentricDistance * kLightTimeCenturiesPerAU) * 36525.0 + 2451545.0;
    double w = Reduce((11.504 + 350.89200025 * (jd - 2433282.5)) * kDegree);
    double ra0, dec0, ras, decs;
    RotateEclipticToEquatorial(date->meanObliquity, lambda0, beta0, &ra0, &dec0);
    const double trueObliquity = date->meanObliquity + date->nutationObliquity;
    RotateEclipticToEquatorial(trueObliquity, lp, bp, &ras, &decs);
    body->subSolarLongitude = Reduce(ComputeCentralMeridian(w, ras, decs, ra0, dec0));
    body->centralMeridian = Reduce(ComputeCentralMeridian(
        w, body->geocentricRightAscension, body->geocentricDeclination, ra0, dec0));
    RotateEclipticToEquatorial(trueObliquity, lambda0, beta0, &ra0, &dec0);
    body->axisPositionAngle = Reduce(ComputeAxisPositionAngle(
        body->topocentricRightAscension, body->topocentricDeclination, ra0, dec0));
    body->brightLimbPositionAngle = Reduce(ComputeBrightLimbAngle(
        date, body->topocentricRightAscension, body->topocentricDeclination, earth));
}

void ComputeJupiterOrientation(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth) {
    if (!date || !body) return;
    const double t = date->centuriesTT;
    double jd = t * 36525.0 + 2451545.0;
    double dj = jd - 2433282.5, t1 = dj / 36525.0;
    double ra0 = (268.0 + 0.1061 * t1) * kDegree, dec0 = (64.5 - 0.0164 * t1) * kDegree;
    double w2 = Reduce((16.838 + 870.27003539 * dj) * kDegree);
    double ras = 0.0, decs = 0.0;
    ConvertEclipticToEquatorial(date, &ras, &decs, body->heliocentric.longitude,
                                body->heliocentric.latitude, kMeanObliquity);
    body->subSolarLatitude = SubSolarLatitude(ra0, dec0, ras, decs);
    body->subSolarLongitude = Reduce(ComputeCentralMeridian(w2, ras, decs, ra0, dec0));
    body->latitudeOfCentre = ComputePlanetocentricDeclination(
        body->geocentricRightAscension, body->geocentricDeclination, ra0, dec0);
    double cm = ComputeCentralMeridian(w2, body->geocentricRightAscension,
                                       body->geocentricDeclination, ra0, dec0) -
                body->geocentricDistance * 5.02626 * kDegree;
    // Correction for phase (Meeus, ch. 43).
    double k = IlluminatedFractionFromDistances(body->heliocentric.radius, earth.radius,
                                                body->geocentricDistance);
    double p = 1.0 - k;
    if (std::sin(body->heliocentric.longitude - earth.longitude) < 0.0) p = -p;
    body->centralMeridian = Reduce(Reduce(cm) + p);
    AxisAndLimb(date, body, earth, ra0, dec0);
}

void ComputeSaturnRingData(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth) {
    if (!date || !body) return;
    const double t = date->centuriesTT;
    double i = (28.075216 - 0.012998 * t + 0.000004 * t * t) * kDegree;
    double node = (169.50847 + 1.394681 * t + 0.000412 * t * t) * kDegree;
    double lambda = body->geocentricLongitude, beta = body->geocentricLatitude;
    body->latitudeOfCentre = ComputeClampedArcSine(std::sin(i) * std::cos(beta) * std::sin(lambda - node) -
                                                   std::cos(i) * std::sin(beta));
    double l = body->heliocentric.longitude, b = body->heliocentric.latitude;
    double r = body->heliocentric.radius;
    double n = (113.6655 + 0.8771 * t) * kDegree;
    double lp = r > 0.0 ? l - 0.00030700341542580256 / r : l;
    double bp = r > 0.0 ? b - 0.000013334315485236678 * std::cos(l - n) / r : b;
    body->subSolarLatitude = ComputeClampedArcSine(std::sin(i) * std::cos(bp) * std::sin(lp - node) -
                                                   std::cos(i) * std::sin(bp));
    double u1 = std::atan2(std::sin(i) * std::sin(bp) + std::cos(i) * std::cos(bp) * std::sin(lp - node),
                           std::cos(bp) * std::cos(lp - node));
    double u2 = std::atan2(std::sin(i) * std::sin(beta) +
                               std::cos(i) * std::cos(beta) * std::sin(lambda - node),
                           std::cos(beta) * std::cos(lambda - node));
    body->magnitude = std::fabs(FoldedAngleDifference(Reduce(u1), Reduce(u2)));
    // The ring pole, and Saturn's place corrected for aberration (Meeus, ch. 45).
    double lambda0 = node - kPi / 2.0, beta0 = kPi / 2.0 - i;
    double cb = std::cos(beta);
    double lambdaC = lambda + (cb != 0.0 ? 0.005693 * kDegree * std::cos(lambda0 - lambda) / cb : 0.0);
    double betaC = beta + 0.005693 * kDegree * std::sin(lambda0 - lambda) * std::sin(beta);
    const double trueObliquity = date->meanObliquity + date->nutationObliquity;
    double ra0, dec0, ra, dec;
    RotateEclipticToEquatorial(trueObliquity, lambda0 + date->nutationLongitude, beta0, &ra0, &dec0);
    RotateEclipticToEquatorial(trueObliquity, lambdaC + date->nutationLongitude, betaC, &ra, &dec);
    body->axisPositionAngle = Reduce(ComputeAxisPositionAngle(ra, dec, ra0, dec0));
    body->brightLimbPositionAngle = Reduce(ComputeBrightLimbAngle(date, ra, dec, earth));
    double ras = 0.0, decs = 0.0;
    ConvertEclipticToEquatorial(date, &ras, &decs, l, b, kMeanObliquity);
    body->subSolarLongitude = Reduce(ComputeCentralMeridian(0.0, ras, decs, ra0, dec0));
    body->centralMeridian = Reduce(ComputeCentralMeridian(0.0, body->geocentricRightAscension,
                                                          body->geocentricDeclination, ra0, dec0));
}

void ComputeSunPhysicalData(const DateRecord *date, BodyRecord *sun, HeliocentricPlace earth) {
    if (!date || !sun) return;
    double jde = date->julianDate + date->deltaT;
    double theta = (jde - 2398220.0) * kTwoPi / 25.38;
    double inc = 7.25 * kDegree;
    double k = (73.6667 + 1.3958333 * (jde - 2396758.0) / 36525.0) * kDegree;
    double lambda = earth.longitude + kPi;
    double x = std::atan(-std::cos(sun->geocentricLongitude + date->nutationLongitude) *
                         std::tan(date->meanObliquity));
    double y = std::atan(-std::cos(lambda - k) * std::tan(inc));
    // tan eta = tan(lambda - K) cos I, with eta in the quadrant that makes L0
    // the Carrington longitude (Meeus, ch. 29: 238.63 deg on 1992 Oct 13),
    // that of lambda - K + 180 deg.
    double eta = ComputeQuadrantArcTangent(-std::sin(lambda - k) * std::cos(inc), -std::cos(lambda - k));
    sun->latitudeOfCentre = ComputeClampedArcSine(std::sin(lambda - k) * std::sin(inc));
    sun->centralMeridian = Reduce(eta - theta);
    sun->axisPositionAngle = Reduce(x + y);
    sun->brightLimbPositionAngle = 0.0;
    sun->phaseAngle = 0.0;
    sun->illuminatedFraction = 1.0;
}

double GetCarringtonRotationStart(int n) {
    double m = (281.96 + 26.882476 * n) * kDegree;
    return 2398140.227 + 27.2752316 * n + 0.1454 * std::sin(m) - 0.0085 * std::sin(2.0 * m) -
           0.0141 * std::cos(2.0 * m);
}

int GetCarringtonRotationNumber(double jd) {
    double k0 = std::floor((jd - 2398140.227) / 27.2752316);
    double m = (281.96 + 26.882476 * k0) * kDegree;
    double n = std::floor((jd + 0.0141 * std::cos(2.0 * m) + 0.0085 * std::sin(2.0 * m) -
                           0.1454 * std::sin(m) - 2398140.227) /
                          27.2752316);
    return static_cast<int>(n);
}

void ComputeLunarPhysicalLibration(double t, double d, double m, double mp, double f,
                                   double omega, double e, double *rho, double *sigma,
                                   double *tau) {
    double k1 = (119.75 + 131.849 * t) * kDegree;
    double k2 = (72.56 + 20.186 * t) * kDegree;
    using std::cos;
    using std::sin;
    double r = -0.02752 * cos(mp) - 0.02245 * sin(f) + 0.00684 * cos(mp - 2 * f) -
               0.00293 * cos(2 * f) - 0.00085 * cos(2 * f - 2 * d) - 0.00054 * cos(mp - 2 * d) -
               0.0002 * sin(mp + f) - 0.0002 * cos(mp + 2 * f) - 0.0002 * cos(mp - f) +
               0.00014 * cos(mp + 2 * f - 2 * d);
    double s = -0.02816 * sin(mp) + 0.02244 * cos(f) - 0.00682 * sin(mp - 2 * f) -
               0.00279 * sin(2 * f) - 0.00083 * sin(2 * f - 2 * d) + 0.00069 * sin(mp - 2 * d) +
               0.0004 * cos(mp + f) - 0.00025 * sin(2 * mp) - 0.00023 * sin(mp + 2 * f) +
               0.0002 * cos(mp - f) + 0.00019 * sin(mp - f) + 0.00013 * sin(mp + 2 * f - 2 * d) -
               0.0001 * cos(mp - 3 * f);
    double u = 0.0252 * e * sin(m) + 0.00473 * sin(2 * mp - 2 * f) - 0.00467 * sin(mp) +
               0.00396 * sin(k1) + 0.00276 * sin(2 * mp - 2 * d) + 0.00196 * sin(omega) -
               0.00183 * cos(mp - f) + 0.00115 * sin(mp - 2 * d) - 0.00096 * sin(mp - d) +
               0.00046 * sin(2 * f - 2 * d) - 0.00039 * sin(mp - f) -
               0.00032 * sin(mp - m - 2 * d) + 0.00027 * sin(2 * mp - m - 2 * d) +
               0.00023 * sin(k2) - 0.00014 * sin(2 * d) + 0.00014 * cos(2 * mp - 2 * f) -
               0.00012 * sin(mp - 2 * f) - 0.00012 * sin(2 * mp) +
               0.00011 * sin(2 * mp - 2 * m - 2 * d);
    if (rho) *rho = r * kDegree;
    if (sigma) *sigma = s * kDegree;
    if (tau) *tau = u * kDegree;
}

void ComputeMoonPhysicalData(const DateRecord *date, BodyRecord *moon, HeliocentricPlace sun) {
    if (!date || !moon) return;
    const double t = date->centuriesTT;
    double lambda = moon->geocentricLongitude + date->nutationLongitude;
    double beta = moon->geocentricLatitude;
    ComputeApparentDiameters(date, moon);
    double omega, d, m, mp, f, e;
    ComputeLunarArguments(t, &omega, &d, &m, &mp, &f, &e);
    // Optical librations (Meeus, ch. 53).
    const double inc = 1.54242 * kDegree;
    double w = lambda - date->nutationLongitude - omega;
    double a = std::atan2(std::sin(w) * std::cos(beta) * std::cos(inc) - std::sin(beta) * std::sin(inc),
                          std::cos(w) * std::cos(beta));
    double lOpt = WrapAngleSigned(a - f);
    double bOpt = ComputeClampedArcSine(-std::sin(w) * std::cos(beta) * std::sin(inc) -
                                        std::sin(beta) * std::cos(inc));
    double rho, sigma, tau;
    ComputeLunarPhysicalLibration(t, d, m, mp, f, omega, e, &rho, &sigma, &tau);
    double lPhys = -tau + (rho * std::cos(a) + sigma * std::sin(a)) * std::tan(bOpt);
    double bPhys = sigma * std::cos(a) - rho * std::sin(a);
    moon->centralMeridian = Reduce(lOpt + lPhys);
    double b = WrapAngleSigned(bOpt + bPhys);
    moon->latitudeOfCentre = b;
    // Position angle of the axis; the published formula divides by the cosine
    // of the total libration in latitude b.
    double eps = date->meanObliquity + date->nutationObliquity;
    double v = omega + date->nutationLongitude + sigma / std::sin(inc);
    double x = std::sin(inc + rho) * std::sin(v);
    double y = std::sin(inc + rho) * std::cos(v) * std::cos(eps) - std::cos(inc + rho) * std::sin(eps);
    double om = std::atan2(x, y);
    double cb = std::cos(b);
    moon->axisPositionAngle =
        ComputeClampedArcSine(std::sqrt(x * x + y * y) * std::cos(moon->topocentricRightAscension - om) /
                              (cb != 0.0 ? cb : 1e-12));
    // Phase angle and illuminated fraction (Meeus, ch. 48).
    double lambda0 = sun.longitude, r = sun.radius;
    double psi = ComputeClampedArcCosine(std::cos(beta) * std::cos(lambda - lambda0));
    double dm = moon->topocentricDistance * kKmToAU;
    double i = std::atan2(r * std::sin(psi), dm - r * std::cos(psi));
    if (i < 0.0) i += kPi;
    moon->phaseAngle = i;
    moon->illuminatedFraction = (1.0 + std::cos(i)) / 2.0;
    moon->satellites[kSatelliteOrbitalAngle][0] = Reduce(moon->geocentricLongitude - lambda0);
    double sunRa = 0.0, sunDec = 0.0;
    ConvertEclipticToEquatorial(date, &sunRa, &sunDec, lambda0 + date->nutationLongitude,
                                sun.latitude, kTrueObliquity);
    moon->brightLimbPositionAngle = WrapAngleSigned(ComputeAxisPositionAngle(
        moon->topocentricRightAscension, moon->topocentricDeclination, sunRa, sunDec));
    ComputeMoonMagnitude(moon);
}

void SetGreatRedSpotLongitude(double degrees) { g_redSpotLongitude = degrees * kDegree; }

double GetGreatRedSpotLongitude() { return g_redSpotLongitude; }

double GetGreatRedSpotOffset(const BodyRecord *jupiter) {
    if (!jupiter) return 0.0;
    return WrapAngleSigned(jupiter->centralMeridian - g_redSpotLongitude);
}
