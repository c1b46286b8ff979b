// Small numeric building blocks of the astronomy code: guarded inverse
// trigonometry and powers, angle reduction and differences, polynomials,
// multiple-angle series, spherical/rectangular vectors, three-point
// interpolation, Kepler's equation and the angular distance of two places.
// Angles are radians unless a function says otherwise.
#pragma once

// The one value of pi of the program; every angle in radians derives from it.
// kPiExtended serves the extended-precision (long double) frame rotations.
constexpr long double kPiExtended = 3.141592653589793238462643383279502884L;
constexpr double kPi = static_cast<double>(kPiExtended);

// ---- guarded functions ------------------------------------------------------

// pow(base, exponent), guarded: |exponent| > 300 gives 1e300 (exponent >= 0)
// or 0 (exponent < 0) whatever the base; base 0 with exponent <= 0 gives 1e300.
double ComputeGuardedPower(double base, double exponent);
// atan2(y, x) in (-pi, pi] for x != 0; for x == 0: pi/2 (y > 0), 3 pi/2 (y < 0), 0.
double ComputeQuadrantArcTangent(double y, double x);
// asin(x), with pi/2 for x >= 1 and -pi/2 for x <= -1.
double ComputeClampedArcSine(double x);
// acos(x), with 0 for x >= 1 and pi for x <= -1.
double ComputeClampedArcCosine(double x);
// The same three on extended-precision reals.
long double ComputeQuadrantArcTangentExtended(long double y, long double x);
long double ComputeClampedArcSineExtended(long double x);
long double ComputeClampedArcCosineExtended(long double x);
// |a - b| / a x 100 when a > 0, else 0.
double GetPercentDifference(double a, double b);

// ---- angles and hours ------------------------------------------------------

// x reduced into [0, m]; x == m stays m (so do -2m and every negative whole
// multiple of m). A NaN or infinite x is returned unchanged (no reduction exists).
double ReduceModuloPositive(double x, double m);
// x reduced into (-pi, pi].
double WrapAngleSigned(double x);
// b - a folded into (-pi, pi] (the shorter way from a to b).
double GetSignedAngleDifference(double a, double b);
// |a - b| folded into [0, pi]. The two functions are the same.
double AbsoluteAngleDifference(double a, double b);
double FoldedAngleDifference(double a, double b);
// h + 24 when h < 12, else h: a night counted from noon (12 to 36).
double ExtendHoursPastMidnight(double h);
// h - 24 when h >= 12, else h (-12 to 12).
double CenterHoursOnMidnight(double h);

// ---- series and interpolation -----------------------------------------------

// c[0] + c[1] x + ... + c[n] x^n (Horner's rule).
double EvaluatePolynomial(const double *coefficients, int n, double x);
// The fractional and integer parts of x as modf splits them (both keep x's sign).
double GetFractionalPart(double x);
double GetIntegerPart(double x);
// sines[k] = sin(k x), cosines[k] = cos(k x) for k = 1..n by the addition
// formulas; both arrays need n + 1 elements, index 0 is not written.
void ComputeSineCosineMultiples(double x, int n, double *sines, double *cosines);
// Three equally spaced values, interpolated at n intervals from the middle one
// (Meeus, Astronomical Algorithms, ch. 3).
double InterpolateThreeValues(double y1, double y2, double y3, double n);
// The interpolation factor n at which InterpolateThreeValues reaches target.
// Returns NaN when the samples give no answer (flat or symmetric samples, or a
// vanishing denominator during the iteration); callers test with std::isnan.
double FindInterpolationZero(double y1, double y2, double y3, double target);

// ---- vectors -----------------------------------------------------------------
// A spherical position is [longitude, latitude, radius]; a rectangular one [x, y, z].

void ConvertSphericalToRectangular(const double position[3], double out[3]);
// Longitude in [0, 2 pi). A zero vector gives (0, 0, 0).
void ConvertRectangularToSpherical(const double vector[3], double out[3]);
// The sum of two rectangular vectors as a spherical position. A zero sum gives (0, 0, 0).
void AddVectorsToSpherical(const double u[3], const double v[3], double out[3]);
// p - q of two spherical positions, as a spherical position.
void SubtractSphericalPositions(const double p[3], const double q[3], double out[3]);
void RotateVectorAboutXAxis(const double v[3], double cosA, double sinA, double out[3]);
void RotateVectorAboutZAxis(const double v[3], double cosA, double sinA, double out[3]);

// ---- positions and orbits --------------------------------------------------------

// Great-circle distance of two places (haversine formula), radians in [0, pi].
double AngularSeparation(double ra1, double dec1, double ra2, double dec2);
// Eccentric anomaly E of E - e sin E = M for an ellipse (0 <= e < 1). M is
// first brought into (-pi, pi]. Newton steps stop at a step of 1e-6 or after
// 50 steps, so e >= 1 or NaN input cannot loop; NaN input gives NaN.
double SolveKepler(double meanAnomaly, double eccentricity);
// 2 atan(k tan(E/2)) with k = sqrt((1 + e) / (1 - e)) from the caller (e < 1).
double TrueAnomalyFromEccentricAnomaly(double eccentricAnomaly, double k);
// x rounded to n significant digits (halves away from zero); 0 stays 0.
double RoundToSignificantDigits(double x, int n);
