// Phobos and Deimos from precessing mean elements referred to each
// satellite's Laplace plane, whose node and inclination on the Earth's
// equator drift slowly (elements of the Mariner 9 epoch, 1971 November 11.0).
//
// Range: within 1" of PyEphem over 2024; the mean elements drift away from
// it by 35" (Phobos) and 86" (Deimos) a century before (bench/
// satellite_accuracy). Used for every date.
#include <cmath>

#include "astro/datetime.h"
#include "core/mathutil.h"
#include "ephem/satellitecommon.h"
#include "ephem/satellitenames.h"
#include "ephem/satellites.h"

namespace {

const double kDegree = kPi / 180.0;
const double kEpoch = 2441266.5;

struct MarsMoon {
    double a;                 // AU
    double meanMotion;        // degrees per day
    double e;
    double inclination;       // rad, to the Laplace plane
    double node0, nodeRate;   // degrees, degrees per day
    double peri0, periRate;   // degrees, degrees per day
    double lapNode0, lapNodeRate;  // degrees, degrees per Julian year
    double lapIncl0, lapInclRate;  // degrees, degrees per Julian year
    double magnitude;
};

const MarsMoon kMoons[2] = {
    {6.26974e-05, 1128.844556, 0.015, 0.019198621771937627, 327.9, -0.43553, 278.96, 0.43526,
     47.39, -0.0014, 37.27, 0.0008, 11.8},
    {0.000156828, 285.161888, 0.0004, 0.031241393610698498, 240.38, -0.01801, 111.7, 0.01798,
     46.37, -0.0014, 36.62, 0.0008, 12.89}};

}  // namespace

double ComputeEquationOfCentre(double m, double e) {
    return e * (2.0 - e * e / 4.0) * std::sin(m) + e * e * std::sin(2.0 * m) +
           e * e * e * std::sin(3.0 * m);
}

void ComputeMarsSatellites(const DateRecord *date, BodyRecord *mars, int which) {
    if (!date || !mars || which < 0 || which > 2) return;
    const double t = SatelliteJulianEphemerisDate(date, mars) - kEpoch;
    const double y = t / 365.25;
    mars->satelliteCount = which == 0 ? 2 : 1;
    for (int j = 0; j < 2; ++j) {
        if (!SatelliteSelected(which, j)) continue;
        const MarsMoon &m = kMoons[j];
        const double omega = (m.node0 + m.nodeRate * t) * kDegree;
        const double peri = (m.peri0 + m.periRate * t) * kDegree;
        const double na = (m.lapNode0 + m.lapNodeRate * y) * kDegree;
        const double jl = (m.lapIncl0 + m.lapInclRate * y) * kDegree;
        double l;
        if (j == 0) {
            l = 232.41 + m.meanMotion * t + 0.00124 * y * y;
        } else {
            double h = (196.55 - 0.01801 * t) * kDegree;
            l = 28.96 + m.meanMotion * t - 0.27 * std::sin(h);
        }
        l = ReduceSatelliteAngle(l * kDegree);
        const double si = std::sin(m.inclination), ci = std::cos(m.inclination);
        const double n = na + ComputeQuadrantArcTangent(
                                  si * std::sin(omega),
                                  std::cos(omega) * std::cos(jl) * si + std::sin(jl) * ci);
        const double incl =
            ComputeClampedArcCosine(std::cos(jl) * ci - std::sin(jl) * si * std::cos(omega));
        const double psi = ComputeQuadrantArcTangent(
            std::sin(jl) * std::sin(omega),
            std::cos(omega) * std::sin(jl) * ci + std::cos(jl) * si);
        const double u = ReduceSatelliteAngle(psi + l - na - omega +
                                              ComputeEquationOfCentre(l - peri, m.e));
        ProjectSatellite(date, mars, j, m.a, incl, n, u, 0);
        mars->satellites[kSatMagnitude][j] = SatelliteMagnitude(mars, m.magnitude);
    }
    mars->satelliteNames[0] = GetSatelliteNameText(kBodyMars, 0);
    mars->satelliteNames[1] = GetSatelliteNameText(kBodyMars, 1);
}
