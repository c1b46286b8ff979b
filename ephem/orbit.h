// Two-body heliocentric orbits of comets and minor planets: the orbit record
// with its derived constants, the solvers of every conic (ellipse, parabola,
// near-parabola, hyperbola), the astrometric geocentric place with distances,
// phase, elongation and magnitude, the orbit classes of minor planets, and
// the reduction of angular elements from B1950.0 to J2000.0. Elements are
// osculating, referred to the ecliptic and equinox J2000.0; times are Julian
// centuries of TT from J2000.0. Meeus, Astronomical Algorithms, ch. 30, 33-35.
#pragma once
#include <cstdint>

struct DateRecord;

#pragma pack(push, 1)
struct OrbitRecord {
    double T;      // time of perihelion, Julian centuries TT from J2000.0 (never 0 when built)
    double a;      // semi-major axis, AU (as supplied; derived for ellipses)
    double q;      // perihelion distance, AU; 0 for ellipses
    double n;      // mean daily motion, rad/day; 0 unless an ellipse
    double e;      // eccentricity
    double peri;   // argument of perihelion, rad
    double node;   // longitude of the ascending node, rad
    double incl;   // inclination, rad
    double H;      // absolute magnitude
    double G;      // slope G (H,G law) or activity index n (comet law)
    int16_t model; // kMagnitudeModelComet or any other value for the H,G law
    double Ax, Ay, Az;  // Gaussian orientation angles in the J2000 equatorial frame, rad
    double ax, ay, az;  // Gaussian amplitudes
    double f;           // sqrt((1 + e) / (1 - e)) for ellipses
};
#pragma pack(pop)
static_assert(sizeof(OrbitRecord) == 8 * 10 + 2 + 8 * 7, "OrbitRecord is 138 bytes");

// Magnitude laws of OrbitRecord::model.
const int16_t kMagnitudeModelComet = 1;
const int16_t kMagnitudeModelAsteroid = 2;

// Gaussian gravitational constant (AU^1.5 / day, solar masses).
extern double g_gaussianConstant;

// Orbit classes of ClassifyOrbit and GetOrbitClassName.
enum OrbitClass {
    kOrbitClassNone = 0,
    kOrbitClassVulcanoid = 1,
    kOrbitClassMercuryCrosser = 2,
    kOrbitClassVenusCrosser = 3,
    kOrbitClassApollo = 4,
    kOrbitClassAmor = 5,
    kOrbitClassAten = 6,
    kOrbitClassInteriorEarth = 7,
    kOrbitClassMarsCrosser = 8,
    kOrbitClassInnerMainBelt = 9,
    kOrbitClassMainBelt = 10,
    kOrbitClassOuterMainBelt = 11,
    kOrbitClassTrojan = 12,
    kOrbitClassDamocloid = 13,
    kOrbitClassCentaur = 14,
    kOrbitClassScatteredDisk = 15,
    kOrbitClassKuiperBelt = 16,
    kOrbitClassTransNeptunian = 17,
    kOrbitClassPlutoid = 18,
    kOrbitClassOortCloud = 19,
    kOrbitClassNearEarth = 20,
};
// Size of a GetOrbitClassName buffer (the longest name and its terminator).
const int kOrbitClassNameSize = 23;

// Builds the record from one element set. T and epoch in Julian centuries TT;
// M (mean anomaly at the epoch), peri, node, incl in degrees; n in degrees
// per day; a and q in AU. A value of 0 (or NaN) is "not supplied". Every
// derived field is cleared first, so a reused record keeps nothing of its
// previous object. 1 when built; 0 for a null record or incomplete or
// meaningless elements (no time of perihelion can be formed, e < 0, an
// ellipse without size, an open orbit without a positive q).
int InitOrbitRecord(OrbitRecord *record, double T, double epoch, double M, double a, double q,
                    double e, double peri, double node, double incl, double n, double H,
                    double G, int16_t model);
// Completes the Gaussian constants and f; nothing for a null record.
void ComputeOrbitVectors(OrbitRecord *record);
// Heliocentric rectangular J2000 equatorial coordinates (AU) at T (TT).
void ComputeOrbitPosition(double T, const OrbitRecord *record, double xyz[3]);
// Astrometric geocentric place for the date's T(TT): RA in [0, 2 pi], Dec
// (J2000, rad), r and Delta (AU), phase angle and elongation (rad), magnitude.
// Any output may be null.
void ComputeMinorBodyPosition(const DateRecord *date, const OrbitRecord *record, double *ra,
                              double *dec, double *r, double *delta, double *phase,
                              double *elongation, double *magnitude);

// True anomaly (rad) of a parabola (Barker's equation); dt = time since
// perihelion in Julian centuries, q in AU. At most 100 Newton steps.
double SolveParabolicOrbit(double dt, double q);
// True anomaly of an orbit with e near 1 by the series in tan(v/2) (Meeus,
// ch. 35). At most 49 steps; when the series does not converge (strongly
// open orbits far from perihelion) the hyperbolic or elliptic Kepler equation
// is solved instead, so the answer is always sound.
double SolveNearParabolicOrbit(double dt, double q, double e);
// True anomaly of a hyperbola from e sinh H - H = M (bounded Newton steps).
double SolveHyperbolicOrbit(double dt, double q, double e);

// Orbit class of a minor planet (a in AU, inclination rad); 0 for no class,
// also for open orbits (e >= 1) and a <= 0.
int ClassifyOrbit(double a, double e, double inclination, double H);
// The class name into buffer (kOrbitClassNameSize bytes); grouped folds the
// near-Earth and trans-Neptunian classes. Null (buffer emptied) for a code
// outside 0..20.
char *GetOrbitClassName(char *buffer, int code, int grouped);
// 1 for the numbers of the dwarf planets among the minor planets.
int IsDwarfPlanetNumber(int32_t number);

// B1950.0 FK4 angular elements to J2000.0 FK5 in place (retrograde orbits
// keep their quadrant).
void ConvertOrbitElementsFk4ToFk5(OrbitRecord *record);
// The same reduction by the precession constants alone, in place.
void PrecessOrbitElementsB1950ToJ2000(OrbitRecord *record);
// Position (AU) and velocity (AU/day) in the J2000 equatorial frame of an
// elliptic orbit at T; runs ComputeOrbitVectors on the record.
void ComputeOrbitStateVector(OrbitRecord *record, double T, double position[3],
                             double velocity[3]);
// The elliptic elements of a state vector at T (H, G, model and the Gaussian
// constants untouched).
void ComputeOrbitFromStateVector(double T, const double position[3], const double velocity[3],
                                 OrbitRecord *record);
// (p0 - 8 p1 + 8 p3 - p4) / (12 h) for samples at -2h, -h, 0, +h, +2h.
void ComputeFivePointDerivative(const double samples[5][3], double h, double derivative[3]);
