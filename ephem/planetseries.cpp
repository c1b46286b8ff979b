// Heliocentric planetary places from the loaded VSOP87-form series, and the
// Sun's places derived from the Earth's series.
#include "ephem/planetseries.h"

#include <cmath>

#include "core/mathutil.h"
#include "ephem/ephemload.h"
#include "ephem/pluto.h"

namespace {
const double kTwoPi = 2.0 * kPi;
const double kDegree = kPi / 180.0;
const double kArcsecond = kDegree / 3600.0;

double Reduce(double x) {
    double r = std::fmod(x, kTwoPi);
    if (r < 0.0) r += kTwoPi;
    if (r >= kTwoPi) r = 0.0;
    return r;
}
}  // namespace

void EvaluatePlanetSeries(int table, double centuriesTT, HeliocentricPlace *out) {
    if (!out) return;
    const PlanetSeriesIndexRecord *index = GetPlanetSeriesIndex(table);
    if (!index) return;
    size_t available = 0;
    const PlanetSeriesTerm *terms = GetPlanetSeriesTerms(table, &available);
    const double tau = centuriesTT / 10.0;
    double sums[3];
    size_t position = 0;  // one running position walks the table cell by cell
    for (int coordinate = 0; coordinate < 3; ++coordinate) {
        double sum = 0.0, power = 1.0;
        for (int k = 0; k < 6; ++k) {
            const int count = index->cells[6 * coordinate + k].count;
            double s = 0.0;
            for (int i = 0; i < count && terms && position < available; ++i, ++position) {
                const PlanetSeriesTerm &term = terms[position];
                s += term.amplitude * std::cos(term.phase + term.frequency * tau);
            }
            sum += s * power;
            power *= tau;
        }
        sums[coordinate] = sum;
    }
    double l = Reduce(sums[0]);
    double b = sums[1];
    // VSOP87 dynamical ecliptic and equinox to FK5.
    double lp = l - (1.397 * centuriesTT + 0.00031 * centuriesTT * centuriesTT) * kDegree;
    double cosB = std::cos(b);
    if (cosB != 0.0)
        l += (-0.09033 + 0.03916 * (std::cos(lp) + std::sin(lp)) * std::tan(b)) * kArcsecond;
    b += 0.03916 * (std::cos(lp) - std::sin(lp)) * kArcsecond;
    out->longitude = l;
    out->latitude = b;
    out->radius = sums[2];
}

void ComputeHeliocentricPlanet(int body, double centuriesTT, HeliocentricPlace *out) {
    if (!out) return;
    if (body == kBodyPluto)
        ComputePlutoHeliocentric(centuriesTT, out);
    else
        EvaluatePlanetSeries(body, centuriesTT, out);
}

void ComputeSunGeocentricEcliptic(double centuriesTT, int table, double *longitude,
                                  double *latitude, double *distance) {
    HeliocentricPlace earth = {0.0, 0.0, 0.0};
    EvaluatePlanetSeries(table, centuriesTT, &earth);
    if (longitude) *longitude = Reduce(earth.longitude + kPi);
    if (latitude) *latitude = -earth.latitude;
    if (distance) *distance = earth.radius;
}

void ComputeSunRectangularJ2000(double centuriesTT, int frame, double obliquity, double *x,
                                double *y, double *z) {
    double lon = 0.0, lat = 0.0, r = 0.0;
    ComputeSunGeocentricEcliptic(centuriesTT, frame == 0 ? 0 : kBodyEarth, &lon, &lat, &r);
    double xe = r * std::cos(lat) * std::cos(lon);
    double ye = r * std::cos(lat) * std::sin(lon);
    double ze = r * std::sin(lat);
    double xo, yo, zo;
    if (frame == 0) {
        // Dynamical J2000 ecliptic to the FK5 J2000 equator (Meeus, ch. 26).
        xo = xe + 0.00000044036 * ye - 0.000000190919 * ze;
        yo = -0.000000479966 * xe + 0.917482137087 * ye - 0.397776982902 * ze;
        zo = 0.397776982902 * ye + 0.917482137087 * ze;
    } else {
        double c = std::cos(obliquity), s = std::sin(obliquity);
        xo = xe;
        yo = c * ye - s * ze;
        zo = s * ye + c * ze;
    }
    if (x) *x = xo;
    if (y) *y = yo;
    if (z) *z = zo;
}

HeliocentricPlace ComputeSunGeocentricPlace(HeliocentricPlace earth) {
    const double origin[3] = {0.0, 0.0, 0.0};
    const double e[3] = {earth.longitude, earth.latitude, earth.radius};
    double out[3];
    SubtractSphericalPositions(origin, e, out);
    HeliocentricPlace sun = {out[0], out[1], out[2]};
    return sun;
}

HeliocentricPlace ComputeEarthLowPrecision(double t) {
    double l0 = 280.46646 + t * (36000.76983 + t * 0.0003032);
    double m = (357.52911 + t * (35999.05029 - t * 0.0001537)) * kDegree;
    double e = 0.016708634 - t * (0.000042037 + t * 0.0000001267);
    double c = (1.914602 - t * (0.004817 + t * 0.000014)) * std::sin(m) +
               (0.019993 - t * 0.000101) * std::sin(2.0 * m) + 0.000289 * std::sin(3.0 * m);
    double v = m + c * kDegree;
    HeliocentricPlace earth;
    earth.longitude = Reduce((l0 + c) * kDegree + kPi);
    earth.latitude = 0.0;
    earth.radius = 1.000001018 * (1.0 - e * e) / (1.0 + e * std::cos(v));
    return earth;
}
