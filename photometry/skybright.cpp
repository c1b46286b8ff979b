// Sky brightness units, naked-eye limit and night-sky band fluxes
// (Schaefer 1990, "Telescopic limiting magnitudes", PASP 102, 212; the
// limit/brightness pair as in Garstang 1986 and Schaefer 1990, eq. 18).
#include "photometry/skybright.h"

#include <cmath>

#include "core/mathutil.h"

namespace {
// 1 / 1.08574: the nanolambert scale of the sky model. It differs a little from
// ln 10 / 2.5 (0.9210340); both conversions use this pair so they invert exactly.
const double kMagToNlFactor = 0.92103081769116;
const double kNlToMagFactor = 1.08574;
const double kZeroPointMag = 22.5;
const double kZeroPointNl = 34.08;
const double kInverseZeroPointNl = 0.029342723004694836;  // 1 / 34.08
const double kModelFluxUnit = 1.11e-15;
const double kInverseModelFluxUnit = 900900900900900.9;  // 1 / 1.11e-15
const double kReferenceLimit = 7.1;  // unpolluted sky
const double kBandReferenceLimit = 7.06;
// Scale of the light-pollution excess per band, and the base night-sky flux
// per band (model flux units), U, B, V, R, I.
const double kBandExcessScale[5] = {0.831764, 0.478631, 1.0, 3.5, 14.0};
const double kBandBaseFlux[5] = {2.90807e-14, -4.22672e-15, 1.43707e-14, 9.25087e-14,
                                 2.06333e-13};
}  // namespace

double ComputeNakedEyeLimit(double skyBrightness) {
    return 7.93 - 5.0 * std::log10(ComputeGuardedPower(10.0, 4.316 - 0.2 * skyBrightness) + 1.0) +
           0.53;
}

double ComputeSkyBrightnessFromLimit(double limit) {
    // Capped at 8 so that the logarithm's argument stays positive.
    double n = limit > 8.0 ? 8.0 : limit;
    return 21.58 - 5.0 * std::log10(ComputeGuardedPower(10.0, 1.586 - 0.2 * (n - 0.53)) - 1.0);
}

double ConvertSkyBrightnessToNanolamberts(double skyBrightness) {
    return kZeroPointNl * std::exp((kZeroPointMag - skyBrightness) * kMagToNlFactor);
}

double ConvertNanolambertsToSkyBrightness(double nanolamberts) {
    return kZeroPointMag - kNlToMagFactor * std::log(nanolamberts * kInverseZeroPointNl);
}

double ConvertSkyBrightnessToModelFlux(double skyBrightness) {
    return ConvertSkyBrightnessToNanolamberts(skyBrightness) * kModelFluxUnit;
}

double ConvertModelFluxToSkyBrightness(double flux) {
    double r = flux * kInverseModelFluxUnit * kInverseZeroPointNl;
    if (r > 1.0) return kZeroPointMag - kNlToMagFactor * std::log(r);
    return kZeroPointMag;
}

double ComputeLightPollutionExcess(double limit) {
    if (limit > kReferenceLimit) return 0.0;
    return ConvertSkyBrightnessToModelFlux(ComputeSkyBrightnessFromLimit(limit)) -
           ConvertSkyBrightnessToModelFlux(ComputeSkyBrightnessFromLimit(kReferenceLimit));
}

void ComputeBandNightSkyFlux(double flux[5], double limit) {
    if (!flux) return;
    double d = ComputeLightPollutionExcess(limit) - ComputeLightPollutionExcess(kBandReferenceLimit);
    for (int i = 0; i < 5; ++i) flux[i] = d * kBandExcessScale[i] + kBandBaseFlux[i];
}

double InterpolateFivePointTable(double x, const double xs[5], const double ys[5]) {
    if (x <= xs[0]) return ys[0];
    if (x >= xs[4]) return ys[4];
    for (int i = 0; i < 4; ++i) {
        if (xs[i] <= x && x < xs[i + 1])
            return ys[i] + (x - xs[i]) / (xs[i + 1] - xs[i]) * (ys[i + 1] - ys[i]);
    }
    return ys[4];  // NaN x
}

double SkyDarknessFraction(double skyBrightness) {
    double d = (skyBrightness - 3.5) / 18.0;
    if (d < 0.0) return 0.0;
    if (d > 1.0) return 1.0;
    return d;
}
