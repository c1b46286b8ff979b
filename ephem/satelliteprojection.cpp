// The satellite block of a planet's record: the dispatcher over the planets,
// the common projection of a satellite's orbit place for the Earth and the
// Sun, and the descriptive tables of the 23 satellites.
#include "ephem/satellites.h"

#include <cmath>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "core/mathutil.h"
#include "ephem/satellitecommon.h"
#include "ephem/satellitenames.h"

namespace {

const int kTableRows = 6;  // Mars .. Pluto

// Semidiameter at 1 AU (arcsec), mean opposition magnitude, sidereal period
// (days) and semi-major axis (AU) of each satellite, row = body type - 4.
const double kSemidiameter[kTableRows][kMaxSatellites] = {
    {0.0155, 0.00878},
    {2.5, 2.16, 3.63, 3.63, 0.24, 0.128},
    {0.27, 0.345, 0.731, 0.772, 1.04, 3.55, 0.205, 1.01, 0.152},
    {0.798, 0.808, 1.09, 1.05},
    {1.87},
    {0.818}};
const double kOppositionMagnitude[kTableRows][kMaxSatellites] = {
    {11.3, 12.4},
    {5.02, 5.29, 4.61, 5.65, 14.1, 14.84},
    {12.9, 11.7, 10.2, 10.4, 9.7, 8.28, 14.19, 11.1, 16.45},
    {14.16, 14.81, 13.73, 13.94},
    {13.47},
    {16.8}};
const double kPeriod[kTableRows][kMaxSatellites] = {
    {0.31891023, 1.2624407},
    {1.769137786, 3.551181041, 7.15455296, 16.6880184, 0.49817905, 250.5662},
    {0.942421813, 1.370217855, 1.88780216, 2.736914742, 4.517500436, 15.9442068, 21.2766088,
     79.3301825, 540.48},
    {2.52037935, 4.1441772, 8.7058717, 13.4632389},
    {5.8768541},
    {6.38725}};
const double kSemiMajorAxis[kTableRows][kMaxSatellites] = {
    {6.2688e-05, 0.00015681},
    {0.0028209, 0.0044854, 0.0071525, 0.012587, 0.00121, 0.0767},
    {0.0012401, 0.0015911, 0.0019697, 0.0025228, 0.003523, 0.0081674, 0.0099005, 0.023806,
     0.08658},
    {0.0012769, 0.0017801, 0.0029139, 0.0039006},
    {0.0023714},
    {0.00013102}};

double Cell(const double table[kTableRows][kMaxSatellites], int row, int slot) {
    if (row < 0 || row >= kTableRows || slot < 0 || slot >= kMaxSatellites) return 0.0;
    return table[row][slot];
}

}  // namespace

double GetSatelliteSemidiameter(int row, int slot) { return Cell(kSemidiameter, row, slot); }
double GetSatelliteOppositionMagnitude(int row, int slot) {
    return Cell(kOppositionMagnitude, row, slot);
}
double GetSatellitePeriod(int row, int slot) { return Cell(kPeriod, row, slot); }
double GetSatelliteSemiMajorAxis(int row, int slot) { return Cell(kSemiMajorAxis, row, slot); }

void RotateIntoOrbitPlane(double longitude, double latitude, double inclination, double node,
                          double *u, double *v, double *w) {
    const double d = longitude - node;
    const double sl = std::sin(latitude), cl = std::cos(latitude);
    const double si = std::sin(inclination), ci = std::cos(inclination);
    const double sd = std::sin(d), cd = std::cos(d);
    *u = ComputeQuadrantArcTangent(sl * si + sd * cl * ci, cd * cl);
    *v = ComputeClampedArcSine(sd * cl * si - sl * ci);
    *w = ComputeQuadrantArcTangent(-cd * si, cl * ci + sd * sl * si);
}

void ProjectSatellite(const DateRecord *date, BodyRecord *body, int slot, double a,
                      double inclination, double node, double u, int mirror) {
    if (!date || !body || slot < 0 || slot >= kMaxSatellites) return;
    const double delta = body->geocentricDistance;
    const double scale = delta > 0.0 ? a / delta : 0.0;

    // Seen from the Earth.
    double p1, p2, p3;
    RotateIntoOrbitPlane(body->geocentricRightAscension, body->geocentricDeclination, inclination,
                         node, &p1, &p2, &p3);
    const double k = ReduceSatelliteAngle(u - p1);
    body->satellites[kSatOrbitalAngle][slot] = k;
    const double theta = ComputeClampedArcCosine(std::cos(k) * std::cos(p2));
    body->satellites[kSatSeparation][slot] = std::sin(theta) * scale;
    double pa = ReduceSatelliteAngle(
        ComputeQuadrantArcTangent(std::sin(k), std::cos(k) * std::sin(p2)) + p3);
    if (mirror) pa = ReduceSatelliteAngle(2.0 * kPi - pa + kPi);
    body->satellites[kSatPositionAngle][slot] = pa;
    body->satellites[kSatOffsetX][slot] = -std::sin(pa) * body->satellites[kSatSeparation][slot];
    body->satellites[kSatOffsetY][slot] = std::cos(pa) * body->satellites[kSatSeparation][slot];

    // Seen from the Sun, in the Earth-view angular scale.
    double ra = 0.0, dec = 0.0;
    ConvertEclipticToEquatorial(date, &ra, &dec, body->heliocentric.longitude,
                                body->heliocentric.latitude, kMeanObliquity);
    double q1, q2, q3;
    RotateIntoOrbitPlane(ra, dec, inclination, node, &q1, &q2, &q3);
    const double ks = ReduceSatelliteAngle(u - q1);
    body->satellites[kSatSunOrbitalAngle][slot] = ks;
    const double thetaSun = ComputeClampedArcCosine(std::cos(ks) * std::cos(q2));
    body->satellites[kSatSunSeparation][slot] = std::sin(thetaSun) * scale;
    body->satellites[kSatSunPositionAngle][slot] = ReduceSatelliteAngle(
        ComputeQuadrantArcTangent(std::sin(ks), std::cos(ks) * std::sin(q2)) + q3);
    body->satellites[kSatUmbraFactor][slot] = 0.0;
    body->satellites[kSatPenumbraFactor][slot] = 0.0;
}

void ComputePlanetSatellites(const DateRecord *date, BodyRecord *body, int which) {
    if (!date || !body) return;
    const int type = body->type;
    // A selection past the planet's satellites would index outside its
    // coefficient tables: refuse it and leave the block as it is.
    if (type >= kBodyMars && type <= kBodyUranus && (which < 0 || which > GetSatelliteCount(type)))
        return;
    switch (type) {
    case kBodyMars: ComputeMarsSatellites(date, body, which); break;
    case kBodyJupiter: ComputeGalileanSatellites(date, body, which); break;
    case kBodySaturn: ComputeSaturnSatellites(date, body, which); break;
    case kBodyUranus: ComputeUranusSatellites(date, body, which); break;
    case kBodyNeptune: ComputeTriton(date, body); break;
    case kBodyPluto: ComputeCharon(date, body); break;
    default: body->satelliteCount = 0; break;
    }
}
