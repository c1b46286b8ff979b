// Air mass and extinction (Rozenberg 1966, as quoted by Schaefer 1990, PASP 102, 212).
#include "astro/airmass.h"

#include <cmath>

#include "core/mathutil.h"

double ComputeAirMass(double altitude) {
    const double halfPi = kPi / 2.0;
    double z = halfPi - altitude;
    if (!(z < halfPi)) return 40.0;  // at or below the horizon (and NaN)
    if (z < 0.0) z = 0.0;
    double c = std::cos(z);
    return 1.0 / (c + 0.025 * std::exp(-11.0 * c));
}

double ComputeExtinction(double coefficient, double altitude) {
    if (!(altitude > 0.0)) return 40.0;
    return coefficient * ComputeAirMass(altitude);
}
