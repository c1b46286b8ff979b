// The physical-data dispatcher, phase and magnitude laws, apparent diameters,
// asteroid diameters from the absolute magnitude and comet tails.
#include "ephem/physical.h"

#include <cmath>

#include "astro/datetime.h"
#include "core/mathutil.h"
#include "ephem/orientation.h"
#include "ephem/planetseries.h"

namespace {

const double kTwoPi = 2.0 * kPi;
const double kDegree = kPi / 180.0;
const double kArcsecond = kDegree / 3600.0;

struct BodyConstants {
    double magnitude;     // at 1 AU and zero phase
    double semidiameter;  // arcseconds at 1 AU
    double radiusKm;
    double synodicDays;
};

const BodyConstants kBodies[11] = {
    {-26.8, 959.63, 696000.0, 0.0},  {-0.42, 3.36, 2439.7, 116.0},  {-4.4, 8.41, 6051.9, 584.0},
    {0.0, 0.0, 6378.1, 0.0},         {-1.52, 4.68, 3397.0, 780.0},  {-9.4, 98.44, 71492.0, 399.0},
    {-8.88, 82.73, 60268.0, 378.0},  {-7.19, 35.02, 25559.0, 370.0}, {-6.87, 33.5, 24764.0, 367.0},
    {-1.0, 2.07, 1151.0, 367.0},     {0.0, 0.0, 1738.0, 0.0},
};

// The Moon's semidiameter times its distance, arcsecond x km.
const double kMoonSemidiameterKm = 358473400.0;

// H from -2.0 to 17.5 in steps of 0.5: smaller and larger diameter in km.
const double kAsteroidDiameters[40][2] = {
    {4700, 14900}, {3700, 11800}, {3000, 9400}, {2400, 7500}, {1900, 5900}, {1500, 4700},
    {1200, 3700},  {940, 3000},   {750, 2400},  {590, 1900},  {470, 1500},  {370, 1200},
    {300, 940},    {240, 740},    {190, 590},   {150, 470},   {120, 370},   {95, 300},
    {75, 240},     {60, 190},     {45, 150},    {40, 120},    {30, 95},     {25, 75},
    {19, 60},      {15, 50},      {12, 37},     {9, 30},      {7, 24},      {6, 19},
    {5, 15},       {4, 12},       {3, 9},       {2, 7},       {2, 6},       {1, 5},
    {1, 4},        {1, 3},        {1, 2},       {1, 2},
};

double Reduce(double x) {
    double r = std::fmod(x, kTwoPi);
    if (r < 0.0) r += kTwoPi;
    if (r >= kTwoPi) r = 0.0;
    return r;
}

// Saturn's ring tilt seen from the Earth (Meeus, ch. 45).
double SaturnRingTilt(double t, double lambda, double beta) {
    double i = (28.075216 - 0.012998 * t + 0.000004 * t * t) * kDegree;
    double node = (169.50847 + 1.394681 * t + 0.000412 * t * t) * kDegree;
    return ComputeClampedArcSine(std::sin(i) * std::cos(beta) * std::sin(lambda - node) -
                                 std::cos(i) * std::sin(beta));
}

}  // namespace

double IlluminatedFractionFromDistances(double r, double earthR, double delta) {
    if (!(r > 0.0) || !(delta > 0.0)) return 1.0;
    return ((r * r + delta * delta - earthR * earthR) / (2.0 * r * delta) + 1.0) / 2.0;
}

double AngleFromThreeSides(double a, double b, double c) {
    if (a == 0.0 || c == 0.0) return 0.0;
    double x = (a * a + c * c - b * b) / (2.0 * a * c);
    if (x < -1.0) return kPi;
    return ComputeClampedArcCosine(x);
}

void ComputePlanetMagnitude(BodyRecord *body) {
    if (!body || body->type < 0 || body->type > 9) return;
    const int type = body->type;
    double r = body->heliocentric.radius, delta = body->geocentricDistance;
    double m = kBodies[type].magnitude + (r * delta > 0.0 ? 5.0 * std::log10(r * delta) : 0.0);
    double i = body->phaseAngle / kDegree;
    switch (type) {
    case 1: m += 0.038 * i - 0.000273 * i * i + 0.000002 * i * i * i; break;
    case 2: m += 0.0009 * i + 0.000239 * i * i - 0.00000065 * i * i * i; break;
    case 4: m += 0.016 * i; break;
    // Meeus, ch. 41: 0.005 i for Jupiter.
    case 5: m += 0.005 * i; break;
    case 6: {
        // Rings: -2.60 sin|B| + 1.25 sin^2 B, the same for either face
        // (Meeus, ch. 41); Delta U was left in the magnitude field.
        double b = body->latitudeOfCentre;
        double deltaU = body->magnitude / kDegree;
        m += -2.6 * std::sin(std::fabs(b)) + 1.25 * std::sin(b) * std::sin(b) +
             0.044 * std::fabs(deltaU);
        break;
    }
    default: break;
    }
    body->magnitude = m;
}

void ComputeMoonMagnitude(BodyRecord *body) {
    if (!body) return;
    // Phase angle from the illuminated fraction k = (1 + cos i) / 2.
    double i = ComputeClampedArcCosine(2.0 * body->illuminatedFraction - 1.0) / kDegree;
    body->magnitude = -12.73 + 0.026 * std::fabs(i) + 4e-9 * i * i * i * i;
}

void ComputePhaseAndMagnitude(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth) {
    if (!date || !body) return;
    switch (body->type) {
    case 0: body->magnitude = -26.8; return;
    case 3: body->magnitude = 0.0; return;
    case 10: body->magnitude = -12.74; return;
    case 11: body->magnitude = -10.0; return;
    default: break;
    }
    if (body->type < 1 || body->type > 9) return;
    if (body->type == 6) ComputeSaturnRingData(date, body, earth);
    double k = IlluminatedFractionFromDistances(body->heliocentric.radius, earth.radius,
                                                body->geocentricDistance);
    body->illuminatedFraction = k;
    body->phaseAngle = ComputeClampedArcCosine(2.0 * k - 1.0);
    ComputePlanetMagnitude(body);
}

void ComputeApparentDiameters(const DateRecord *date, BodyRecord *body) {
    if (!date || !body || body->type < 0 || body->type > 10 || body->type == 3) return;
    double equatorial, polar;
    if (body->type == 10) {
        equatorial = body->topocentricDistance > 0.0
                         ? 2.0 * kMoonSemidiameterKm / body->topocentricDistance
                         : 0.0;
        polar = equatorial;
    } else {
        double delta = body->geocentricDistance;
        if (!(delta > 0.0)) return;
        equatorial = 2.0 * kBodies[body->type].semidiameter / delta;
        polar = equatorial;
        if (body->type == 5) polar = 184.12 / delta;
        if (body->type == 6) {
            double b = SaturnRingTilt(date->centuriesTT, body->geocentricLongitude,
                                      body->geocentricLatitude);
            body->latitudeOfCentre = b;
            polar = equatorial * std::sqrt(1.0 - 0.2038 * std::cos(b) * std::cos(b));
        }
    }
    body->equatorialDiameter = equatorial * kArcsecond;
    body->polarDiameter = polar * kArcsecond;
}

void ComputeBodyPhysicalData(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth) {
    if (!date || !body) return;
    switch (body->type) {
    case 0:
        ComputeSunPhysicalData(date, body, earth);
        ComputePhaseAndMagnitude(date, body, earth);
        ComputeApparentDiameters(date, body);
        break;
    case 1: case 2: case 7: case 8: case 9:
        if (body->type == 1) ComputeMercuryOrientation(date, body, earth);
        if (body->type == 2) ComputeVenusOrientation(date, body, earth);
        if (body->type == 7) ComputeUranusOrientation(date, body, earth);
        if (body->type == 8) ComputeNeptuneOrientation(date, body, earth);
        if (body->type == 9) ComputePlutoOrientation(date, body, earth);
        ComputePhaseAndMagnitude(date, body, earth);
        ComputeApparentDiameters(date, body);
        if (body->type == 7 || body->type == 8)
            body->brightLimbPositionAngle =
                Reduce(ComputeBrightLimbAngle(date, body->topocentricRightAscension,
                                              body->topocentricDeclination, earth) + kPi);
        break;
    case 4:
        ComputeMarsOrientation(date, body, earth);
        ComputePhaseAndMagnitude(date, body, earth);
        ComputeApparentDiameters(date, body);
        break;
    case 5:
        ComputeJupiterOrientation(date, body, earth);
        ComputePhaseAndMagnitude(date, body, earth);
        ComputeApparentDiameters(date, body);
        break;
    case 6:
        ComputeSaturnRingData(date, body, earth);
        ComputePhaseAndMagnitude(date, body, earth);
        ComputeApparentDiameters(date, body);
        break;
    case 10:
        ComputeMoonPhysicalData(date, body, ComputeSunGeocentricPlace(earth));
        break;
    case 11:
        body->axisPositionAngle = 0.0;
        body->centralMeridian = 0.0;
        body->latitudeOfCentre = 0.0;
        body->brightLimbPositionAngle = 0.0;
        body->phaseAngle = 0.0;
        body->illuminatedFraction = 0.0;
        body->magnitude = -10.0;
        break;
    default: break;
    }
}

double ComputeCometMagnitude(double r, double delta, double h, double n) {
    if (!(r > 0.0) || !(delta > 0.0)) return 99.9;
    return h + 2.5 * n * std::log10(r) + 5.0 * std::log10(delta);
}

double ComputeAsteroidMagnitude(double r, double delta, double beta, double h, double g) {
    if (!(r > 0.0) || !(delta > 0.0)) return 99.9;
    double b = ReduceModuloPositive(beta, kTwoPi);
    if (b > 2.0943951023931953) b = 2.0943951023931953;  // 120 degrees
    double tanHalf = std::tan(b / 2.0);
    double phi1 = std::exp(-3.33 * std::pow(tanHalf, 0.63));
    double phi2 = std::exp(-1.87 * std::pow(tanHalf, 1.22));
    double blend = (1.0 - g) * phi1 + g * phi2;
    if (!(blend > 0.0)) return 99.9;
    return h + 5.0 * std::log10(r * delta) - 2.5 * std::log10(blend);
}

int FitCometMagnitudeLaw(double m1, double m2, double r1, double r2, double delta1,
                         double delta2, double *h, double *n) {
    if (!(r1 > 0.0) || !(r2 > 0.0) || !(delta1 > 0.0) || !(delta2 > 0.0)) return 0;
    double dl = std::log10(r1) - std::log10(r2);
    if (dl == 0.0) return 0;
    double nn = ((m1 - m2) - 5.0 * (std::log10(delta1) - std::log10(delta2))) / (2.5 * dl);
    if (n) *n = nn;
    if (h) *h = m1 - 5.0 * std::log10(delta1) - 2.5 * nn * std::log10(r1);
    return 1;
}

double GetBodyDiameterKm(int type) {
    if (type < 0 || type > 10) return 0.0;
    return 2.0 * kBodies[type].radiusKm;
}

double GetSynodicPeriod(int type) {
    if (type < 0 || type > 9) return 0.0;
    return kBodies[type].synodicDays;
}

int EstimateAsteroidDiameter(double h, double *smaller, double *larger) {
    if (smaller) *smaller = 0.0;
    if (larger) *larger = 0.0;
    if (!(h >= -2.0) || h > 32.5) return 0;
    double lo, hi;
    if (h < 13.0) {
        int j = static_cast<int>((h + 2.0) * 2.0);
        double f = (h - (-2.0 + 0.5 * j)) * 2.0;
        lo = (kAsteroidDiameters[j][0] + f * (kAsteroidDiameters[j + 1][0] - kAsteroidDiameters[j][0])) * 1000.0;
        hi = (kAsteroidDiameters[j][1] + f * (kAsteroidDiameters[j + 1][1] - kAsteroidDiameters[j][1])) * 1000.0;
    } else {
        // H + 15: the same rows in metres.
        int j = static_cast<int>((h - 13.0) * 2.0);
        if (j > 38) return 0;
        double f = (h - (13.0 + 0.5 * j)) * 2.0;
        lo = kAsteroidDiameters[j][0] + f * (kAsteroidDiameters[j + 1][0] - kAsteroidDiameters[j][0]);
        hi = kAsteroidDiameters[j][1] + f * (kAsteroidDiameters[j + 1][1] - kAsteroidDiameters[j][1]);
    }
    if (smaller) *smaller = lo;
    if (larger) *larger = hi;
    return 1;
}

double SmallAngleFromDistance(double distance, double length) {
    return distance != 0.0 ? length / distance : 0.0;
}

double ScaleTailLength(double r, double length) {
    if (r > 3.0) return 0.0;
    if (r < 1.75) return length * (0.9 + 0.058 * r);
    return length * (1.0 - 0.8 * (r - 1.75));
}

void ComputeCometTail(const DateRecord *date, HeliocentricPlace earth, double r,
                      double phaseAngle, double angularLength, double ra, double dec,
                      double *length, double *positionAngle) {
    double l = 0.0, pa = 0.0;
    if (date && r <= 3.0) {
        pa = Reduce(ComputeBrightLimbAngle(date, ra, dec, earth) + kPi);
        l = 10.0 * angularLength * std::sin(phaseAngle);
    }
    if (length) *length = l;
    if (positionAngle) *positionAngle = pa;
}
