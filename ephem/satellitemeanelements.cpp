// Mean-element positions of small inner satellites. The entries are the
// precessing elements of Amalthea (505) and of Atlas (615); other satellites
// in the same layout are evaluated the same way.
#include "ephem/satellitemeanelements.h"

#include <cmath>

#include "core/mathutil.h"

namespace {

const double kKmToAU = 6.684587153547039e-9;
const double kSecondsPerDay = 86400.0;

const SatelliteMeanElements kEntries[] = {
    {505, 2443937.5, 181365.574, 0.001605053686034257, 0.001534237220548455,
     3.3647068010154606, -0.003135065124778306, -0.0006070750467755681, 5.076825567165333e-07,
     0.00014597572688084852, -5.059619012808255e-07, 4.678500636530468, 1.1256401167169985},
    {615, 2444786.5, 137666.462, 0.0, 0.0, 3.255756328332502, 0.0, 0.0, 5.819948718560745e-07,
     0.0001208613554247935, -5.792191054068886e-07, 0.7084050382744774, 1.4577920828491755}};

double Reduce(double x) {
    double r = std::fmod(x, 2.0 * kPi);
    return r < 0.0 ? r + 2.0 * kPi : r;
}

}  // namespace

int ComputeSatelliteFromMeanElements(double jd, uint32_t id, double position[3],
                                     double *trueLongitude, double *inclination, double *node,
                                     double *semiMajorAxisAU) {
    const SatelliteMeanElements *m = nullptr;
    for (const SatelliteMeanElements &entry : kEntries)
        if (entry.id == id) {
            m = &entry;
            break;
        }
    if (!m) return 0;
    const double dt = jd - m->epoch;
    const double lambda = Reduce(m->meanLongitude + m->meanMotion * kSecondsPerDay * dt);
    const double sa = std::sin(m->poleRightAscension), ca = std::cos(m->poleRightAscension);
    const double sd = std::sin(m->poleDeclination), cd = std::cos(m->poleDeclination);
    const double uu[3] = {-sa, ca, 0.0};
    const double vv[3] = {-ca * sd, -sa * sd, cd};
    const double ww[3] = {ca * cd, sa * cd, sd};
    const double phi = m->perihelionRate * kSecondsPerDay * dt;
    const double hh = m->k * std::sin(phi) + m->h * std::cos(phi);
    const double kk = m->k * std::cos(phi) - m->h * std::sin(phi);
    const double e = std::sqrt(hh * hh + kk * kk);
    const double w = std::atan2(hh, kk);
    const double v = Reduce(lambda + 2.0 * e * std::sin(lambda - w) +
                            1.25 * e * e * std::sin(2.0 * (lambda - w)));
    const double r = m->a * (1.0 - e * e) / (1.0 + e * std::cos(v - w));
    const double psi = m->nodeRate * kSecondsPerDay * dt;
    const double pp = m->q * std::sin(psi) + m->p * std::cos(psi);
    const double qq = m->q * std::cos(psi) - m->p * std::sin(psi);
    const double t = 2.0 * (qq * std::sin(v) - pp * std::cos(v)) / (1.0 + pp * pp + qq * qq);
    const double x = std::cos(v) + pp * t, y = std::sin(v) - qq * t, z = t;
    for (int j = 0; j < 3; ++j) position[j] = r * (x * uu[j] + y * vv[j] + z * ww[j]);
    if (trueLongitude) *trueLongitude = v;
    if (inclination) *inclination = kPi / 2.0 - m->poleDeclination;
    if (node) *node = m->poleRightAscension + kPi / 2.0;
    if (semiMajorAxisAU) *semiMajorAxisAU = m->a * kKmToAU;
    return 1;
}
