// Diurnal parallax of solar-system bodies (Meeus, Astronomical Algorithms, ch. 40).
#include "ephem/parallax.h"

#include <cmath>

#include "astro/datetime.h"
#include "astro/location.h"
#include "core/mathutil.h"

namespace {
const double kTwoPi = 2.0 * kPi;
}

void ApplyParallaxRigorous(const LocationRecord *site, const DateRecord *date, double sinParallax,
                           double *rightAscension, double *declination) {
    if (!site || !date || !rightAscension || !declination) return;
    double h = date->localApparentSidereal - *rightAscension;
    double a = std::cos(*declination) - site->rhoCosPhi * sinParallax * std::cos(h);
    double dRa = std::atan2(-site->rhoCosPhi * sinParallax * std::sin(h), a);
    double numerator = std::cos(dRa) * (std::sin(*declination) - site->rhoSinPhi * sinParallax);
    *rightAscension += dRa;
    // tan dec' = numerator / a, with dec' in [-pi/2, pi/2] whatever the sign of a.
    if (a != 0.0)
        *declination = std::atan(numerator / a);
    else
        *declination = numerator >= 0.0 ? kTwoPi / 4.0 : -kTwoPi / 4.0;
}

void ApplyParallaxApproximate(const LocationRecord *site, const DateRecord *date, double distance,
                              double *rightAscension, double *declination) {
    if (!site || !date || !rightAscension || !declination || !(distance > 0.0)) return;
    double p = kParallaxAtOneAU / distance;
    double h = date->localApparentSidereal - *rightAscension;
    double dec = *declination;
    double c = std::cos(dec);
    if (c != 0.0) *rightAscension -= p * site->rhoCosPhi * std::sin(h) / c;
    *declination -= p * (site->rhoSinPhi * c - site->rhoCosPhi * std::cos(h) * std::sin(dec));
}

void ApplyPlanetParallax(const LocationRecord *site, const DateRecord *date, double distance,
                         double *rightAscension, double *declination) {
    if (!site || !date) return;
    if (distance > 0.05)
        ApplyParallaxApproximate(site, date, distance, rightAscension, declination);
    else if (distance > 0.0)
        ApplyParallaxRigorous(site, date, std::sin(4.2634515e-5 / distance), rightAscension,
                              declination);
}

void ApplyMoonParallax(const LocationRecord *site, const DateRecord *date, double sinParallax,
                       double *rightAscension, double *declination, double *distance) {
    if (!site || !date || !rightAscension || !declination) return;
    double h = date->localApparentSidereal - *rightAscension;
    double cd = std::cos(*declination);
    double x = cd * std::sin(h);
    double y = cd * std::cos(h) - site->rhoCosPhi * sinParallax;
    double z = std::sin(*declination) - site->rhoSinPhi * sinParallax;
    double q = std::sqrt(x * x + y * y + z * z);
    if (!(q > 0.0)) return;
    double hTopo = ComputeQuadrantArcTangent(x, y);
    double ra = std::fmod(date->localApparentSidereal - hTopo, kTwoPi);
    if (ra < 0.0) ra += kTwoPi;
    if (ra >= kTwoPi) ra = 0.0;
    *rightAscension = ra;
    *declination = ComputeClampedArcSine(z / q);
    if (distance) *distance *= q;
}

void RemoveParallaxApproximate(const LocationRecord *site, const DateRecord *date, double distance,
                               double *rightAscension, double *declination) {
    if (!site || !date || !rightAscension || !declination || !(distance > 0.0)) return;
    const double p = kParallaxAtOneAU / distance;
    const double ra0 = *rightAscension, dec0 = *declination;
    double ra = ra0, dec = dec0;
    for (int pass = 0; pass < 2; ++pass) {
        double h = date->localApparentSidereal - ra;
        double c = std::cos(dec);
        if (std::fabs(c) < 1e-9) c = c < 0.0 ? -1e-9 : 1e-9;
        double newDec = dec0 + p * (site->rhoSinPhi * c - site->rhoCosPhi * std::cos(h) * std::sin(dec));
        ra = ra0 + p * site->rhoCosPhi * std::sin(h) / c;
        dec = newDec;
    }
    *rightAscension = ra;
    *declination = dec;
}

void RemoveParallax(const LocationRecord *site, const DateRecord *date, double distance,
                    double *rightAscension, double *declination) {
    if (!site || !date) return;
    RemoveParallaxApproximate(site, date, distance, rightAscension, declination);
}
