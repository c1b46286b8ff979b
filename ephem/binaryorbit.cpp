// Apparent orbit of a visual binary (Meeus, Astronomical Algorithms, ch. 57):
// Kepler's equation for the eccentric anomaly, then the projection of the
// true orbit onto the sky through i, the node and omega.
#include "ephem/binaryorbit.h"

#include <cmath>

#include "core/mathutil.h"

namespace {
const double kDegreesToRadians = kPi / 180.0;

bool EccentricityValid(double e) { return e >= 0.0 && e < 1.0; }
}  // namespace

int InitBinaryOrbit(BinaryOrbit *orbit, double period, double periastronTime,
                    double eccentricity, double semiMajorAxis, double inclinationDeg,
                    double nodeDeg, double periastronArgumentDeg, int equinoxYear) {
    if (!orbit) return 0;
    *orbit = BinaryOrbit{};
    orbit->period = period;
    orbit->periastron_time = periastronTime;
    orbit->eccentricity = eccentricity;
    orbit->semi_major_axis = semiMajorAxis;
    orbit->inclination = inclinationDeg * kDegreesToRadians;
    orbit->node = nodeDeg * kDegreesToRadians;
    orbit->periastron_argument = periastronArgumentDeg * kDegreesToRadians;
    orbit->equinox_year = equinoxYear;
    orbit->mean_motion = 0.0;
    return 1;
}

void PrepareBinaryOrbit(BinaryOrbit *orbit) {
    if (!orbit || orbit->period == 0.0 || !EccentricityValid(orbit->eccentricity)) return;
    orbit->mean_motion = 2.0 * kPi / orbit->period;
    orbit->derived = std::sqrt((1.0 + orbit->eccentricity) / (1.0 - orbit->eccentricity));
}

int ComputeBinaryStarPosition(BinaryOrbit *orbit, double t, double *positionAngle,
                              double *separation) {
    if (!orbit || orbit->period == 0.0 || !std::isfinite(orbit->period)) return 0;
    if (!EccentricityValid(orbit->eccentricity)) return 0;
    if (orbit->mean_motion == 0.0) PrepareBinaryOrbit(orbit);
    const double e = orbit->eccentricity;
    const double meanAnomaly = (t - orbit->periastron_time) * orbit->mean_motion;
    const double eccentric = SolveKepler(meanAnomaly, e);
    const double trueAnomaly = TrueAnomalyFromEccentricAnomaly(eccentric, orbit->derived);
    const double radius = orbit->semi_major_axis * (1.0 - e * std::cos(eccentric));
    const double u = trueAnomaly + orbit->periastron_argument;
    const double thetaPrime =
        ComputeQuadrantArcTangent(std::cos(orbit->inclination) * std::sin(u), std::cos(u));
    const double cosTheta = std::cos(thetaPrime);
    if (cosTheta == 0.0 || !std::isfinite(cosTheta)) return 0;
    const double rho = radius * std::cos(u) / cosTheta;
    double theta = std::fmod((thetaPrime + orbit->node) / kDegreesToRadians, 360.0);
    if (theta < 0.0) theta += 360.0;
    if (!std::isfinite(rho) || !std::isfinite(theta)) return 0;
    if (positionAngle) *positionAngle = theta;
    if (separation) *separation = rho;
    return 1;
}
