// Alternative satellite routines: Phoebe from its 1950 mean elements and its
// test positions, three Charon element sets, sine and cosine in degrees.
#include "ephem/satellitevariants.h"

#include <cmath>

#include "astro/datetime.h"
#include "astro/precession.h"
#include "core/mathutil.h"
#include "ephem/orbit.h"
#include "ephem/satellitecommon.h"
#include "ephem/satellitenames.h"
#include "ephem/satellites.h"

namespace {

const double kDegree = kPi / 180.0;
const double kObliquity1950 = 0.40920619405564823;
const double kSaturnEquatorNode1950 = 168.8112;          // degrees
const double kSaturnEquatorInclination1950 = 28.0817;    // degrees
const double kSaturnRadiusKm = 60330.0;
const double kPhoebeRadiusKm = 12951465.514824;

// Phoebe's mean elements of 1950 (degrees; d days, y years from JD 2433282.5),
// on the ecliptic and equinox of 1950; a retrograde orbit whose longitudes
// count backward from the node.
struct PhoebeElements {
    double a, e, lambda, perihelion, inclination, node;
};

PhoebeElements Phoebe1950(double jd) {
    const double d = jd - 2433282.5, y = d / 365.25;
    return {0.0865752, 0.16326, 277.872 - 0.6541068 * d - 90.0, 280.165 - 0.19586 * y,
            173.949 - 0.02 * y, 245.998 - 0.41353 * y};
}

// A node and inclination carried from the pole frame of `fromCenturies` to the
// date as a right ascension and a declination, with nutation.
void CarryPlane(const DateRecord *date, double fromCenturies, int system, double *node,
                double *inclination) {
    PrecessionRecord p;
    InitPrecession(&p, fromCenturies, date->centuries, system, system);
    ApplyPrecession(&p, node, inclination, 0.0, 0.0, 0);
    ApplyNutationToEquatorial(date, node, inclination, 1);
}

void FinishCharon(const DateRecord *date, BodyRecord *pluto, double a, double inclination,
                  double node, double u) {
    ProjectSatellite(date, pluto, 0, a, inclination, node, u, 1);
    pluto->satellites[kSatMagnitude][0] = SatelliteMagnitude(pluto, 0.9);
    pluto->satelliteNames[0] = GetSatelliteNameText(kBodyPluto, 0);
    pluto->satelliteCount = 1;
}

}  // namespace

double SineOfDegrees(double degrees) { return std::sin(degrees * kDegree); }
double CosineOfDegrees(double degrees) { return std::cos(degrees * kDegree); }

void ComputePhoebeFromMeanElements(const DateRecord *date, BodyRecord *saturn) {
    if (!date || !saturn) return;
    const PhoebeElements el = Phoebe1950(SatelliteJulianEphemerisDate(date, saturn));
    const double node = el.node * kDegree, incl = el.inclination * kDegree;
    const double argument = node - el.perihelion * kDegree;  // retrograde: node - perihelion
    const double m = (el.perihelion - el.lambda) * kDegree;
    const double ecc = SolveKepler(m, el.e);
    const double v = TrueAnomalyFromEccentricAnomaly(ecc, std::sqrt((1 + el.e) / (1 - el.e)));
    const double r = el.a * (1 - el.e * std::cos(ecc));
    const double u = argument + v;  // from the ascending node
    const double cu = std::cos(u), su = std::sin(u), cn = std::cos(node), sn = std::sin(node);
    const double ci = std::cos(incl), si = std::sin(incl);
    const double xe = r * (cu * cn - su * sn * ci), ye = r * (cu * sn + su * cn * ci),
                 ze = r * su * si;
    const double ce = std::cos(kObliquity1950), se = std::sin(kObliquity1950);
    const double x = xe, y = ce * ye - se * ze, z = se * ye + ce * ze;
    const double alpha = saturn->geocentricRightAscension, delta = saturn->geocentricDeclination;
    const double dist = saturn->geocentricDistance;
    if (!(dist > 0.0)) return;
    const double east = (-x * std::sin(alpha) + y * std::cos(alpha)) / dist;
    const double north = (-x * std::cos(alpha) * std::sin(delta) -
                          y * std::sin(alpha) * std::sin(delta) + z * std::cos(delta)) /
                         dist;
    const int slot = 8;
    saturn->satellites[kSatOffsetX][slot] = -east;
    saturn->satellites[kSatOffsetY][slot] = north;
    saturn->satellites[kSatSeparation][slot] = std::hypot(east, north);
    saturn->satellites[kSatPositionAngle][slot] = ReduceSatelliteAngle(std::atan2(east, north));
    double p1, p2, p3;
    RotateIntoOrbitPlane(saturn->geocentricLongitude, saturn->geocentricLatitude, incl, node, &p1,
                         &p2, &p3);
    saturn->satellites[kSatOrbitalAngle][slot] = ReduceSatelliteAngle(u - p1);
    RotateIntoOrbitPlane(saturn->heliocentric.longitude, saturn->heliocentric.latitude, incl, node,
                         &p1, &p2, &p3);
    const double k = ReduceSatelliteAngle(u - p1);
    saturn->satellites[kSatSunOrbitalAngle][slot] = k;
    saturn->satellites[kSatSunPositionAngle][slot] =
        ReduceSatelliteAngle(ComputeQuadrantArcTangent(std::sin(k), std::cos(k) * std::sin(p2)) + p3);
    saturn->satellites[kSatSunSeparation][slot] =
        std::sin(ComputeClampedArcCosine(std::cos(k) * std::cos(p2))) * el.a / dist;
    saturn->satellites[kSatUmbraFactor][slot] = 0.0;
    saturn->satellites[kSatPenumbraFactor][slot] = 0.0;
    saturn->satellites[kSatMagnitude][slot] = SatelliteMagnitude(saturn, 6.79);
    saturn->satelliteNames[slot] = GetSatelliteNameText(kBodySaturn, slot);
}

void TransformOrbitToSaturnEquator(double a, double e, double inclination, double node,
                                   double meanAnomaly, double perihelion, double *trueLongitude,
                                   double *outInclination, double *radius, double *outNode) {
    const double m = meanAnomaly * kDegree;
    const double e2 = e * e, e3 = e2 * e, e4 = e3 * e, e5 = e4 * e;
    const double q = (2 * e - e3 / 4 + 5 * e5 / 96) * std::sin(m) +
                     (1.25 * e2 - 11 * e4 / 24) * std::sin(2 * m) +
                     (13 * e3 / 12 - 43 * e5 / 64) * std::sin(3 * m) +
                     103 * e4 / 96 * std::sin(4 * m) + 1097 * e5 / 960 * std::sin(5 * m);
    // The orbit's pole and the satellite's direction on the ecliptic, turned
    // into the frame of Saturn's equator (x toward its ascending node on the
    // ecliptic, z toward its pole); the node, inclination and argument of
    // latitude there follow from the two vectors.
    const double u = (perihelion - node) * kDegree + m + q;
    const double n = node * kDegree, i = inclination * kDegree;
    const double pole[3] = {std::sin(i) * std::sin(n), -std::sin(i) * std::cos(n), std::cos(i)};
    const double dir[3] = {std::cos(u) * std::cos(n) - std::sin(u) * std::sin(n) * std::cos(i),
                           std::cos(u) * std::sin(n) + std::sin(u) * std::cos(n) * std::cos(i),
                           std::sin(u) * std::sin(i)};
    const double cz = std::cos(-kSaturnEquatorNode1950 * kDegree);
    const double sz = std::sin(-kSaturnEquatorNode1950 * kDegree);
    const double cx = std::cos(-kSaturnEquatorInclination1950 * kDegree);
    const double sx = std::sin(-kSaturnEquatorInclination1950 * kDegree);
    double t[3], p[3], r[3];
    RotateVectorAboutZAxis(pole, cz, sz, t);
    RotateVectorAboutXAxis(t, cx, sx, p);
    RotateVectorAboutZAxis(dir, cz, sz, t);
    RotateVectorAboutXAxis(t, cx, sx, r);
    const double newNode = ComputeQuadrantArcTangent(p[0], -p[1]);
    const double newInclination = ComputeClampedArcCosine(p[2]);
    const double nodeDir[3] = {std::cos(newNode), std::sin(newNode), 0.0};
    const double ahead[3] = {p[1] * nodeDir[2] - p[2] * nodeDir[1], p[2] * nodeDir[0] - p[0] * nodeDir[2],
                             p[0] * nodeDir[1] - p[1] * nodeDir[0]};
    const double newU = std::atan2(r[0] * ahead[0] + r[1] * ahead[1] + r[2] * ahead[2],
                                   r[0] * nodeDir[0] + r[1] * nodeDir[1] + r[2] * nodeDir[2]);
    *outNode = ReduceModuloPositive(newNode / kDegree + kSaturnEquatorNode1950, 360.0);
    *outInclination = newInclination / kDegree;
    *trueLongitude = ReduceModuloPositive(*outNode + newU / kDegree, 360.0);
    *radius = a * (1 - e2) / (1 + e * std::cos(m + q));
}

void ComputeOrbitRectangularKm(double trueLongitude, double inclination, double node,
                               double radius, double *x, double *y, double *z) {
    const double u = (trueLongitude - node) * kDegree;
    const double n = (node - kSaturnEquatorNode1950) * kDegree;
    const double i = inclination * kDegree;
    const double scale = radius * kSaturnRadiusKm;
    *x = scale * (std::cos(u) * std::cos(n) - std::sin(u) * std::sin(n) * std::cos(i));
    *y = scale * (std::cos(u) * std::sin(n) + std::sin(u) * std::cos(n) * std::cos(i));
    *z = scale * std::sin(u) * std::sin(i);
}

double GetTestPeriodConstant() { return 548.212279; }

void ComputePhoebeTestPosition(double jd, double *x, double *y, double *z) {
    const PhoebeElements el = Phoebe1950(jd);
    double lon, incl, r, node;
    TransformOrbitToSaturnEquator(kPhoebeRadiusKm / kSaturnRadiusKm, el.e, el.inclination,
                                  el.node, el.perihelion - el.lambda, el.perihelion, &lon, &incl,
                                  &r, &node);
    ComputeOrbitRectangularKm(lon, incl, node, r, x, y, z);
}

void ComputeCharonFromElementsA(const DateRecord *date, BodyRecord *pluto) {
    if (!date || !pluto) return;
    double node = 3.8817344294830285, incl = 1.4154620233674011;
    CarryPlane(date, CenturiesFromDecimalYear(1950.0), kSystemFk4, &node, &incl);
    const double e = 0.0002;
    const double v0 = TrueAnomalyFromEccentricAnomaly(SolveKepler(4.537157923484458, e),
                                                      std::sqrt((1 + e) / (1 - e)));
    const double jde = SatelliteJulianEphemerisDate(date, pluto);
    const double longitude = (jde - 2446600.5) * 360.0 / 6.387246 * kDegree + v0;
    FinishCharon(date, pluto, 0.00013128529169566385, incl, node, -longitude);
}

void ComputeCharonFromElementsB(const DateRecord *date, BodyRecord *pluto) {
    if (!date || !pluto) return;
    double node = 3.892943858372714, incl = 1.4634401545459734;
    CarryPlane(date, CenturiesFromDecimalYear(1950.0), kSystemFk4, &node, &incl);
    const double jde = SatelliteJulianEphemerisDate(date, pluto);
    const double longitude =
        ((jde - 2455919.5) * 86400.0 * 0.000649913839948975 + 53.63818317600568) * kDegree;
    FinishCharon(date, pluto, 0.00011706899713729675, incl, node, -longitude);
}

void ComputeCharonFromElementsC(const DateRecord *date, BodyRecord *pluto) {
    if (!date || !pluto) return;
    double node = 3.892943858372714, incl = 1.6781524990438197;
    CarryPlane(date, kEpochJ2000, kSystemFk5, &node, &incl);
    const double jde = SatelliteJulianEphemerisDate(date, pluto);
    const double e = 0.003140477415076495;
    const double eccentric = SolveKepler(0.0006499073699744181 * kDegree, e);
    const double longitude =
        (jde - 2448254.5) * 360.0 / (553925.0924545915 / 86400.0) * kDegree + eccentric;
    FinishCharon(date, pluto, 0.0001170697741015342, incl, node, longitude);
}

void ComputeSatelliteFromOrbitRecord(const DateRecord *date, BodyRecord *planet, OrbitRecord *orbit,
                                     int slot, double H, const char *name) {
    if (!date || !planet || !orbit || slot < 0 || slot >= kMaxSatellites) return;
    const double delta = planet->geocentricDistance;
    if (!(delta > 0.0)) return;
    ComputeOrbitVectors(orbit);
    double v[3];
    ComputeOrbitPosition(date->centuriesTT - delta * kSatelliteLightTimeCenturiesPerAU, orbit, v);
    const double x = v[0], y = v[1], z = v[2];
    const double separation = std::sqrt(x * x + y * y) / delta;
    const double angle = ReduceSatelliteAngle(-std::atan2(y, -x) + planet->axisPositionAngle + kPi / 2);
    planet->satellites[kSatMagnitude][slot] = SatelliteMagnitude(planet, H);
    planet->satellites[kSatSeparation][slot] = separation;
    planet->satellites[kSatPositionAngle][slot] = angle;
    planet->satellites[kSatOrbitalAngle][slot] = ReduceSatelliteAngle(std::atan2(-x, -z) + kPi);
    // West and north offsets, as every satellite slot holds them.
    planet->satellites[kSatOffsetX][slot] = -separation * std::sin(angle);
    planet->satellites[kSatOffsetY][slot] = separation * std::cos(angle);
    planet->satelliteNames[slot] = name;
}
