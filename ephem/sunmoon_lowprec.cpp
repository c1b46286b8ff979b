// The Sun's and the Moon's places from built-in low-precision series, so that
// the Sun and Moon state works before the packaged ephemeris tables are read:
// the Sun from Meeus, Astronomical Algorithms, ch. 25 (about 0.01 degree),
// the Moon from the principal terms of the lunar theory of ch. 47 (about 10
// arcseconds in longitude). Planets and the Earth's shadow need the packaged
// series and are not computed here (ComputeBodyPosition answers 0 for them).
#include <cmath>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/location.h"
#include "astro/mathutil.h"
#include "astro/precession.h"
#include "ephem/bodyrecord.h"
#include "ephem/parallax.h"

namespace {

const double kPi = 3.14159265358979323846;
const double kTwoPi = 2.0 * kPi;
const double kDegree = kPi / 180.0;
const double kKmToAU = 6.684587153547039e-9;

double Reduce(double x) {
    double r = std::fmod(x, kTwoPi);
    if (r < 0.0) r += kTwoPi;
    if (r >= kTwoPi) r = 0.0;
    return r;
}

double DegreesPolynomial(const double c[5], double t) {
    return Reduce((c[0] + t * (c[1] + t * (c[2] + t * (c[3] + t * c[4])))) * kDegree);
}

// Principal periodic terms of the Moon's longitude (1e-6 degree) and distance
// (1e-3 km): multiples of D, M, M', F (Meeus, ch. 47, table 47.A).
struct LongitudeTerm {
    signed char d, m, mp, f;
    double longitude, distance;
};
const LongitudeTerm kLongitudeTerms[] = {
    {0, 0, 1, 0, 6288774, -20905355}, {2, 0, -1, 0, 1274027, -3699111},
    {2, 0, 0, 0, 658314, -2955968},   {0, 0, 2, 0, 213618, -569925},
    {0, 1, 0, 0, -185116, 48888},     {0, 0, 0, 2, -114332, -3149},
    {2, 0, -2, 0, 58793, 246158},     {2, -1, -1, 0, 57066, -152138},
    {2, 0, 1, 0, 53322, -170733},     {2, -1, 0, 0, 45758, -204586},
    {0, 1, -1, 0, -40923, -129620},   {1, 0, 0, 0, -34720, 108743},
    {0, 1, 1, 0, -30383, 104755},     {2, 0, 0, -2, 15327, 10321},
    {0, 0, 1, 2, -12528, 0},          {0, 0, 1, -2, 10980, 79661},
    {4, 0, -1, 0, 10675, -34782},     {0, 0, 3, 0, 10034, -23210},
    {4, 0, -2, 0, 8548, -21636},      {2, 1, -1, 0, -7888, 24208},
    {2, 1, 0, 0, -6766, 30824},       {1, 0, -1, 0, -5163, -8379},
    {1, 1, 0, 0, 4987, -16675},       {2, -1, 1, 0, 4036, -12831},
    {2, 0, 2, 0, 3994, -10445},       {4, 0, 0, 0, 3861, -11650},
    {2, 0, -3, 0, 3665, 14403},       {0, 1, -2, 0, -2689, -7003},
    {2, 0, -1, 2, -2602, 0},          {2, -1, -2, 0, 2390, 10056},
    {1, 0, 1, 0, -2348, 6322},        {2, -2, 0, 0, 2236, -9884},
    {0, 1, 2, 0, -2120, 5751},        {0, 2, 0, 0, -2069, 0},
    {2, -2, -1, 0, 2048, -4950},      {2, 0, 1, -2, -1773, 4130},
    {2, 0, 0, 2, -1595, 0},           {4, -1, -1, 0, 1215, -3958},
    {0, 0, 2, 2, -1110, 0},           {3, 0, -1, 0, -892, 3258},
    {2, 1, 1, 0, -810, 2616},         {4, -1, -2, 0, 759, -1897},
    {0, 2, -1, 0, -713, -2117},       {2, 2, -1, 0, -700, 2354},
    {2, 1, -2, 0, 691, 0},            {2, -1, 0, -2, 596, 0},
    {4, 0, 1, 0, 549, -1423},         {0, 0, 4, 0, 537, -1117},
    {4, -1, 0, 0, 520, -1571},        {1, 0, -2, 0, -487, -1739},
    {2, 1, 0, -2, -399, 0},           {0, 0, 2, -2, -381, -4421},
    {1, 1, 1, 0, 351, 0},             {3, 0, -2, 0, -340, 0},
    {4, 0, -3, 0, 330, 0},            {2, -1, 2, 0, 327, 0},
    {0, 2, 1, 0, -323, 1165},         {1, 1, -1, 0, 299, 0},
    {2, 0, 3, 0, 294, 0},             {2, 0, -1, -2, 0, 8752},
};

// Principal terms of the latitude (1e-6 degree), table 47.B.
struct LatitudeTerm {
    signed char d, m, mp, f;
    double latitude;
};
const LatitudeTerm kLatitudeTerms[] = {
    {0, 0, 0, 1, 5128122}, {0, 0, 1, 1, 280602}, {0, 0, 1, -1, 277693}, {2, 0, 0, -1, 173237},
    {2, 0, -1, 1, 55413},  {2, 0, -1, -1, 46271}, {2, 0, 0, 1, 32573},  {0, 0, 2, 1, 17198},
    {2, 0, 1, -1, 9266},   {0, 0, 2, -1, 8822},  {2, -1, 0, -1, 8216},  {2, 0, -2, -1, 4324},
    {2, 0, 1, 1, 4200},    {2, 1, 0, -1, -3359}, {2, -1, -1, 1, 2463},  {2, -1, 0, 1, 2211},
    {2, -1, -1, -1, 2065}, {0, 1, -1, -1, -1870}, {4, 0, -1, -1, 1828}, {0, 1, 0, 1, -1794},
    {0, 0, 0, 3, -1749},   {0, 1, -1, 1, -1565}, {1, 0, 0, 1, -1491},   {0, 1, 1, 1, -1475},
    {0, 1, 1, -1, -1410},  {0, 1, 0, -1, -1344}, {1, 0, 0, -1, -1335},  {0, 0, 3, 1, 1107},
    {4, 0, 0, -1, 1021},   {4, 0, -1, 1, 833},
};

// The Sun seen from the Earth: geometric longitude of the mean equinox of
// date, latitude 0, distance in AU (Meeus, ch. 25, low accuracy).
void SunGeometric(double t, double *longitude, double *distance) {
    double l0 = 280.46646 + t * (36000.76983 + t * 0.0003032);
    double m = (357.52911 + t * (35999.05029 - t * 0.0001537)) * kDegree;
    double e = 0.016708634 - t * (0.000042037 + t * 0.0000001267);
    double c = (1.914602 - t * (0.004817 + t * 0.000014)) * std::sin(m) +
               (0.019993 - t * 0.000101) * std::sin(2.0 * m) + 0.000289 * std::sin(3.0 * m);
    double v = m + c * kDegree;
    *longitude = Reduce((l0 + c) * kDegree);
    *distance = 1.000001018 * (1.0 - e * e) / (1.0 + e * std::cos(v));
}

// Sine and cosine of a combination of the lunar arguments, with the factor
// E for each multiple of the Sun's anomaly.
double Argument(int d, int m, int mp, int f, double D, double M, double Mp, double F) {
    return d * D + m * M + mp * Mp + f * F;
}

double EccentricityFactor(int m, double e) {
    int n = m < 0 ? -m : m;
    return n == 0 ? 1.0 : (n == 1 ? e : e * e);
}

// Geocentric right ascension and declination of the mean equator of date from
// the stored ecliptic place. The record is packed: its fields are never
// handed out by address.
void StoreGeocentricEquatorial(const DateRecord *date, BodyRecord *body) {
    double ra = 0.0, dec = 0.0;
    ConvertEclipticToEquatorial(date, &ra, &dec, body->geocentricLongitude,
                                body->geocentricLatitude, kMeanObliquity);
    body->geocentricRightAscension = Reduce(ra);
    body->geocentricDeclination = dec;
}

}  // namespace

void ComputeLunarArguments(double t, double *omega, double *elongation, double *sunAnomaly,
                           double *moonAnomaly, double *argumentOfLatitude,
                           double *eccentricityFactor) {
    static const double kD[5] = {297.8502042, 445267.1115168, -0.00163, 1.831945e-06, 8.84447e-06};
    static const double kM[5] = {357.5291092, 35999.0502909, -0.0001536, 4.083299e-08, 0.0};
    static const double kMp[5] = {134.9634114, 477198.8676313, 0.008997, 1.434741e-05, 6.79717e-08};
    static const double kF[5] = {93.2720993, 483202.0175273, -0.0034029, 2.836075e-07, 1.15833e-09};
    static const double kOmega[5] = {125.044555, -1934.1361849, 0.0020762, 2.139449e-06,
                                     1.64973e-08};
    if (omega) *omega = DegreesPolynomial(kOmega, t);
    if (elongation) *elongation = DegreesPolynomial(kD, t);
    if (sunAnomaly) *sunAnomaly = DegreesPolynomial(kM, t);
    if (moonAnomaly) *moonAnomaly = DegreesPolynomial(kMp, t);
    if (argumentOfLatitude) *argumentOfLatitude = DegreesPolynomial(kF, t);
    if (eccentricityFactor) *eccentricityFactor = 1.0 - 0.002516 * t - 0.0000074 * t * t;
}

HeliocentricPlace ComputeEarthHeliocentric(const DateRecord *date) {
    HeliocentricPlace earth = {0.0, 0.0, 1.0};
    if (!date) return earth;
    double sunLongitude, distance;
    SunGeometric(date->centuriesTT, &sunLongitude, &distance);
    earth.longitude = Reduce(sunLongitude + kPi);
    earth.latitude = 0.0;
    earth.radius = distance;
    return earth;
}

int ComputeMoonPosition(const DateRecord *date, BodyRecord *body) {
    if (!date || !body) return 0;
    const double t = date->centuriesTT;
    static const double kLp[5] = {218.3164591, 481267.88134236, -0.0013268, 1.855835e-06,
                                  1.53388e-08};
    double lp = DegreesPolynomial(kLp, t);
    double omega, d, m, mp, f, e;
    ComputeLunarArguments(t, &omega, &d, &m, &mp, &f, &e);
    double a1 = (119.75 + 131.849 * t) * kDegree;
    double a2 = (53.09 + 479264.29 * t) * kDegree;
    double a3 = (313.45 + 481266.484 * t) * kDegree;

    double sumL = 0.0, sumR = 0.0, sumB = 0.0;
    for (const LongitudeTerm &term : kLongitudeTerms) {
        double x = Argument(term.d, term.m, term.mp, term.f, d, m, mp, f);
        double factor = EccentricityFactor(term.m, e);
        sumL += term.longitude * factor * std::sin(x);
        sumR += term.distance * factor * std::cos(x);
    }
    for (const LatitudeTerm &term : kLatitudeTerms) {
        double x = Argument(term.d, term.m, term.mp, term.f, d, m, mp, f);
        sumB += term.latitude * EccentricityFactor(term.m, e) * std::sin(x);
    }
    sumL += 3958.0 * std::sin(a1) + 1962.0 * std::sin(lp - f) + 318.0 * std::sin(a2);
    sumB += -2235.0 * std::sin(lp) + 382.0 * std::sin(a3) + 350.0 * std::sin(a1) * std::cos(f) +
            127.0 * std::sin(lp - mp) - 115.0 * std::sin(lp + mp);

    body->type = kBodyMoon;
    body->name = "Moon";
    body->satelliteCount = 0;
    double longitude = lp + sumL * 1e-6 * kDegree;
    while (longitude < 0.0) longitude += kTwoPi;
    body->geocentricLongitude = longitude;
    body->geocentricLatitude = sumB * 1e-6 * kDegree;
    body->geocentricDistance = 385000.56 + sumR * 0.001;
    body->topocentricDistance = body->geocentricDistance;
    StoreGeocentricEquatorial(date, body);
    return 1;
}

int ComputeBodyPosition(const DateRecord *date, HeliocentricPlace earth, BodyRecord *body) {
    if (!date || !body) return 0;
    if (body->type == kBodyMoon) return ComputeMoonPosition(date, body);
    if (body->type != kBodySun) return 0;  // planets need the packaged series
    body->name = "Sun";
    body->satelliteCount = 0;
    body->heliocentric.longitude = 0.0;
    body->heliocentric.latitude = 0.0;
    body->heliocentric.radius = 0.0;
    body->geocentricLongitude = Reduce(earth.longitude + kPi);
    body->geocentricLatitude = -earth.latitude;
    body->geocentricDistance = earth.radius;
    StoreGeocentricEquatorial(date, body);
    return 1;
}

void ComputeBodyTopocentric(const LocationRecord *site, const DateRecord *date, BodyRecord *body) {
    if (!site || !date || !body) return;
    double ra = 0.0, dec = 0.0;
    ConvertEclipticToEquatorial(date, &ra, &dec,
                                body->geocentricLongitude + date->nutationLongitude,
                                body->geocentricLatitude, kTrueObliquity);
    if (body->type == kBodyMoon || body->type == kBodyEarthShadow) {
        double sinParallax = body->geocentricDistance > 0.0
                                 ? kEarthRadiusKm / body->geocentricDistance
                                 : 0.0;
        double distance = body->topocentricDistance;
        ApplyMoonParallax(site, date, sinParallax, &ra, &dec, &distance);
        body->topocentricDistance = distance;
    } else {
        ApplyAnnualAberration(date, &ra, &dec, 1, 1);
        ApplyPlanetParallax(site, date, body->geocentricDistance, &ra, &dec);
    }
    body->topocentricRightAscension = Reduce(ra);
    body->topocentricDeclination = dec;
}

void ComputeBodyPhysicalData(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth) {
    if (!date || !body) return;
    if (body->type == kBodySun) {
        body->magnitude = -26.8;
        return;
    }
    if (body->type != kBodyMoon) return;
    // The Sun seen from the Earth.
    double sunLongitude = Reduce(earth.longitude + kPi);
    double sunDistance = earth.radius;
    double lambda = body->geocentricLongitude + date->nutationLongitude;
    double beta = body->geocentricLatitude;
    // Phase angle and illuminated fraction (Meeus, ch. 48).
    double psi = ComputeClampedArcCosine(std::cos(beta) * std::cos(lambda - sunLongitude));
    double moonDistance = body->topocentricDistance * kKmToAU;
    double i = std::atan(sunDistance * std::sin(psi) / (moonDistance - sunDistance * std::cos(psi)));
    if (i < 0.0) i += kPi;
    body->phaseAngle = i;
    body->illuminatedFraction = (1.0 + std::cos(i)) / 2.0;
    body->satellites[kSatelliteOrbitalAngle][0] = Reduce(body->geocentricLongitude - sunLongitude);
    double phaseDegrees = (1.0 - body->illuminatedFraction) * 180.0;
    body->magnitude = -12.73 + 0.026 * std::fabs(phaseDegrees) +
                      4e-9 * phaseDegrees * phaseDegrees * phaseDegrees * phaseDegrees;
}
