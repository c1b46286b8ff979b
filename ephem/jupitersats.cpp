// Jupiter's six satellites: the Galilean four from Lieske's series, projected
// for the Earth and the Sun with the differential light time, the perspective
// and the sizes of their shadows on Jupiter; Amalthea from its mean
// elements; Himalia from its day table.
#include <cmath>

#include "astro/datetime.h"
#include "astro/precession.h"
#include "core/mathutil.h"
#include "ephem/daytables.h"
#include "ephem/galileanseries.h"
#include "ephem/orientation.h"
#include "ephem/satellitecommon.h"
#include "ephem/satellitemeanelements.h"
#include "ephem/satellitenames.h"
#include "ephem/satellites.h"

namespace {

const double kMagnitude[5] = {-1.68, -1.41, -2.09, -1.05, 7.4};
const double kRadiusKm[4] = {1815.0, 1569.0, 2631.0, 2400.0};
// Differential light time: the satellite's depth (Jupiter radii) over K.
const double kLightTimeDivisor[4] = {17295.0, 21819.0, 27558.0, 36548.0};
const double kJupiterRadiusKm = 71492.0;
const double kSunRadiusKm = 696000.0;
const double kAUKm = 149597870.0;
const double kKmToAU = 6.684587153547039e-9;
const double kPerspective = 2095.0;      // Jupiter radii per AU
const double kFlattening = 1.071374;     // Jupiter's polar flattening factor
const int kAmalthea = 4, kHimalia = 5;
const unsigned kAmaltheaId = 505;

double Length(const double v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

}  // namespace

// Sky coordinates (x west along Jupiter's projected equator, y toward its
// projected north pole, z away from the observer; Jupiter radii) of vector v
// seen from an observer at (lon, lat, distance) of Jupiter.
void ProjectGalileanVector(int k, const double v[3], double lon, double lat, double distance,
                           const double pole[3], int flattening, double out[3]) {
    double w[3];
    RotateVectorAboutZAxis(v, std::cos(kPi / 2.0 - lon), std::sin(kPi / 2.0 - lon), w);
    const double swap = w[1];
    w[1] = w[2];
    w[2] = swap;
    const double r = Length(w);
    RotateVectorAboutXAxis(w, std::cos(lat), std::sin(lat), out);
    if (k == 5 || k < 0 || k > 3) return;
    const double rho = std::hypot(pole[0], pole[1]);
    if (rho > 0.0) {
        RotateVectorAboutZAxis(out, pole[1] / rho, pole[0] / rho, w);
        out[0] = w[0];
        out[1] = w[1];
        out[2] = w[2];
    }
    if (flattening) out[1] *= kFlattening;
    const double ratio = r > 0.0 ? out[0] / r : 0.0;
    out[0] += std::fabs(out[2]) / kLightTimeDivisor[k] * std::sqrt(std::fmax(0.0, 1.0 - ratio * ratio));
    const double f = distance / (distance + out[2] / kPerspective);
    out[0] *= f;
    out[1] *= f;
}

void ComputeGalileanSatellites(const DateRecord *date, BodyRecord *jupiter, int which) {
    if (!date || !jupiter || which < 0 || which > 6) return;
    // The separations scale with the apparent diameter and the angles turn
    // with the axis: when the physical-data step has not run, both come from
    // the distance and the IAU pole (J2000, carried to the date) here instead
    // of silently giving 0 or stale values.
    double diameter = jupiter->equatorialDiameter;
    double axis = jupiter->axisPositionAngle;
    if (!(diameter > 0.0)) {
        const double delta = jupiter->geocentricDistance;
        diameter = delta > 0.0 ? 2.0 * kJupiterRadiusKm * kKmToAU / delta : 0.0;
        const double t = date->centuriesTT;
        double ra0 = (268.056595 - 0.006499 * t) * kPi / 180.0;
        double dec0 = (64.495303 + 0.002413 * t) * kPi / 180.0;
        PrecessionRecord precession;
        InitPrecession(&precession, kEpochJ2000, t, kSystemFk5, kSystemFk5);
        ApplyPrecession(&precession, &ra0, &dec0, 0.0, 0.0, 0);
        axis = ReduceSatelliteAngle(ComputeAxisPositionAngle(
            jupiter->geocentricRightAscension, jupiter->geocentricDeclination, ra0, dec0));
    }

    GalileanState state;
    InitGalileanState(&state, SatelliteCenturies(date, jupiter));
    double pole[3], earthPole[3];
    ComputeGalileanVector(5, &state, pole);
    ProjectGalileanVector(5, pole, jupiter->geocentricLongitude, jupiter->geocentricLatitude,
                          jupiter->geocentricDistance, pole, 0, earthPole);

    jupiter->satelliteCount = which == 0 ? 6 : 1;
    for (int k = 0; k < 6; ++k) {
        if (!SatelliteSelected(which, k)) continue;
        if (k < 4) {
            double v[3], p[3];
            ComputeGalileanVector(k, &state, v);
            ProjectGalileanVector(k, v, jupiter->geocentricLongitude, jupiter->geocentricLatitude,
                                  jupiter->geocentricDistance, earthPole, 0, p);
            const double separation = std::hypot(p[0], p[1]) * diameter * 0.5;
            const double pa = ReduceSatelliteAngle(-std::atan2(p[1], -p[0]) + axis + kPi / 2.0);
            jupiter->satellites[kSatSeparation][k] = separation;
            jupiter->satellites[kSatPositionAngle][k] = pa;
            jupiter->satellites[kSatOrbitalAngle][k] = ReduceSatelliteAngle(std::atan2(-p[0], -p[2]) + kPi);
            jupiter->satellites[kSatOffsetX][k] = -std::sin(pa) * separation;
            jupiter->satellites[kSatOffsetY][k] = std::cos(pa) * separation;
            jupiter->satellites[kSatMagnitude][k] = SatelliteMagnitude(jupiter, kMagnitude[k]);
            jupiter->satelliteNames[k] = GetSatelliteNameText(kBodyJupiter, k);
        } else if (k == kAmalthea) {
            double position[3], u = 0.0, incl = 0.0, node = 0.0, a = 0.0;
            jupiter->satelliteNames[k] = GetSatelliteNameText(kBodyJupiter, k);
            if (!ComputeSatelliteFromMeanElements(SatelliteJulianEphemerisDate(date, jupiter),
                                                  kAmaltheaId, position, &u, &incl, &node, &a)) {
                ClearSatelliteSlot(jupiter, k);
                continue;
            }
            // The Sun view (arrays 5 to 7) and the orbital angle from the
            // common projection, then the Earth view from the position.
            ProjectSatellite(date, jupiter, k, a, incl, node, u, 0);
            const double x = position[0] * kKmToAU, y = position[1] * kKmToAU,
                         z = position[2] * kKmToAU;
            const double alpha = jupiter->geocentricRightAscension;
            const double delta = jupiter->geocentricDeclination;
            const double dist = jupiter->geocentricDistance;
            const double xo = dist > 0.0 ? -(y * std::cos(alpha) - x * std::sin(alpha)) / dist : 0.0;
            const double yo = dist > 0.0 ? (z * std::cos(delta) - x * std::cos(alpha) * std::sin(delta) -
                                            y * std::sin(alpha) * std::sin(delta)) /
                                               dist
                                         : 0.0;
            jupiter->satellites[kSatOffsetX][k] = xo;
            jupiter->satellites[kSatOffsetY][k] = yo;
            jupiter->satellites[kSatSeparation][k] = std::hypot(xo, yo);
            jupiter->satellites[kSatPositionAngle][k] = ReduceSatelliteAngle(std::atan2(-xo, yo));
            jupiter->satellites[kSatMagnitude][k] = SatelliteMagnitude(jupiter, kMagnitude[k]);
        } else if (ComputeHimalia(date, jupiter) != 1) {
            ClearSatelliteSlot(jupiter, kHimalia);
            jupiter->satelliteNames[kHimalia] = GetSatelliteNameText(kBodyJupiter, kHimalia);
        }
    }
    if (which > 4) return;

    // The Sun's view of the Galilean satellites and their shadows.
    double sunPole[3];
    const HeliocentricPlace &h = jupiter->heliocentric;
    ProjectGalileanVector(5, pole, h.longitude, h.latitude, h.radius, pole, 0, sunPole);
    const double sunDistanceKm = h.radius * kAUKm;
    for (int k = 0; k < 4; ++k) {
        if (!SatelliteSelected(which, k)) continue;
        double v[3], p[3];
        ComputeGalileanVector(k, &state, v);
        ProjectGalileanVector(k, v, h.longitude, h.latitude, h.radius, sunPole, 0, p);
        const double d = Length(p) * kJupiterRadiusKm;
        // Reduced like every other position angle of the block.
        jupiter->satellites[kSatSunPositionAngle][k] =
            ReduceSatelliteAngle(-std::atan2(p[1], -p[0]) + axis + kPi / 2.0);
        jupiter->satellites[kSatSunSeparation][k] = std::hypot(p[0], p[1]) * diameter * 0.5;
        jupiter->satellites[kSatSunOrbitalAngle][k] = ReduceSatelliteAngle(std::atan2(-p[0], -p[2]) + kPi);
        const double rs = kRadiusKm[k];
        const double a1 = ComputeClampedArcSine(rs / (sunDistanceKm - d));
        const double a2 = ComputeClampedArcSine(rs / (d - kJupiterRadiusKm));
        const double sun = std::atan(kSunRadiusKm / (sunDistanceKm - d));
        jupiter->satellites[kSatUmbraFactor][k] = std::tan(a1 + a2 - sun) * (d - kJupiterRadiusKm) / rs;
        jupiter->satellites[kSatPenumbraFactor][k] = std::tan(a1 + a2 + sun) * (d - kJupiterRadiusKm) / rs;
    }
}
