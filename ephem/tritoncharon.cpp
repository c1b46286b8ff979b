// Triton and Charon on circular orbits: Triton's plane by its node and
// inclination on a precessing reference plane (Harris, in "Uranus and
// Neptune", NASA CP-2330, 1984; pole after Jacobson 1990), Charon's by its
// node and inclination on the equator of 1950.0 (Tholen 1985).
#include <cmath>

#include "astro/datetime.h"
#include "astro/precession.h"
#include "core/mathutil.h"
#include "ephem/satellitecommon.h"
#include "ephem/satellitenames.h"
#include "ephem/satellites.h"

namespace {

const double kDegree = kPi / 180.0;

const double kTritonRadius = 0.0023682663508519724;     // AU
const double kTritonEpoch = 2433282.5;                   // 1950 January 1.0
const double kTritonLongitude = 3.5065933600593673;      // rad at the epoch
const double kTritonMotion = 1.0691686843358643;         // rad per day
const double kTritonInclination = 2.7750036975009045;    // rad, to the pole's plane
const double kTritonMagnitude = -1.24;

const double kCharonRadius = 0.00012788;                  // AU
const double kCharonEpoch = 2445000.5;
const double kCharonInclination1950 = 1.4957471689591404;  // 85.7 degrees
const double kCharonNode1950 = 3.9043015367113147;         // 223.7 degrees
const double kCharonMagnitude = 0.9;

}  // namespace

// The declination of the reference pole: 42.63 - 1.9 cos N + 0.01 cos 2N
// degrees, the series that belongs with the right-ascension series (same
// centre, matching amplitude); the alternative 43.46 - 0.51 cos N is
// Neptune's own pole and tilts the plane by up to 1.4 degrees against it.
void ComputeTriton(const DateRecord *date, BodyRecord *neptune) {
    if (!date || !neptune) return;
    const double jde = SatelliteJulianEphemerisDate(date, neptune);
    const double t = (jde - 2451545.0) / 36525.0;
    const double n = (359.28 + 54.308 * t) * kDegree;
    double ap = (298.72 + 2.58 * std::sin(n) - 0.04 * std::sin(2 * n)) * kDegree;
    double dp = (42.63 - 1.9 * std::cos(n) + 0.01 * std::cos(2 * n)) * kDegree;
    PrecessionRecord precession;
    InitPrecession(&precession, kEpochJ2000, date->centuriesTT, kSystemFk5, kSystemFk5);
    ApplyPrecession(&precession, &ap, &dp, 0.0, 0.0, 0);
    ApplyNutationToEquatorial(date, &ap, &dp, 1);
    const double jj = kPi / 2.0 - dp;
    const double n0 = ap + kPi / 2.0;
    const double y = (jde - kTritonEpoch) / 365.25;
    const double omega = (151.401 + 0.57806 * y) * kDegree;
    const double i = kTritonInclination;
    const double np = ComputeQuadrantArcTangent(
        std::sin(omega) * std::sin(i),
        std::cos(omega) * std::cos(jj) * std::sin(i) + std::sin(jj) * std::cos(i));
    const double incl = ComputeClampedArcCosine(std::cos(jj) * std::cos(i) -
                                                std::sin(jj) * std::sin(i) * std::cos(omega));
    // The arc from the node on the equator to the node on the reference
    // plane, by its sine and cosine (an arc sine alone cannot tell whether it
    // exceeds 90 degrees).
    const double psi = ComputeQuadrantArcTangent(
        std::sin(jj) * std::sin(omega),
        std::cos(omega) * std::sin(jj) * std::cos(i) + std::cos(jj) * std::sin(i));
    const double u = kTritonLongitude + kTritonMotion * (jde - kTritonEpoch) + psi;
    ProjectSatellite(date, neptune, 0, kTritonRadius, incl, n0 + np, u, 0);
    neptune->satellites[kSatMagnitude][0] = SatelliteMagnitude(neptune, kTritonMagnitude);
    // Triton's motion is retrograde.
    neptune->satellites[kSatOrbitalAngle][0] = 2.0 * kPi - neptune->satellites[kSatOrbitalAngle][0];
    neptune->satelliteNames[0] = GetSatelliteNameText(kBodyNeptune, 0);
    neptune->satelliteCount = 1;
}

void ComputeCharon(const DateRecord *date, BodyRecord *pluto) {
    if (!date || !pluto) return;
    // The node and inclination carried from 1950.0 to the date as if they
    // were a right ascension and a declination.
    double node = kCharonNode1950, incl = kCharonInclination1950;
    PrecessionRecord precession;
    InitPrecession(&precession, CenturiesFromDecimalYear(1950.0), date->centuries, kSystemFk5,
                   kSystemFk5);
    ApplyPrecession(&precession, &node, &incl, 0.0, 0.0, 0);
    ApplyNutationToEquatorial(date, &node, &incl, 1);
    const double jde = SatelliteJulianEphemerisDate(date, pluto);
    const double lambda = (78.6 + (jde - kCharonEpoch) * 360.0 / 6.38723) * kDegree;
    ProjectSatellite(date, pluto, 0, kCharonRadius, incl, node, -lambda, 1);
    pluto->satellites[kSatMagnitude][0] = SatelliteMagnitude(pluto, kCharonMagnitude);
    pluto->satelliteNames[0] = GetSatelliteNameText(kBodyPluto, 0);
    pluto->satelliteCount = 1;
}
