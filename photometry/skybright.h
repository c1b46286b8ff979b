// Sky brightness in its four forms (naked-eye limiting magnitude, surface
// brightness in mag/arcsec^2, luminance in nanolamberts and the flux unit of
// the sky model, nanolamberts x 1.11e-15), the light-pollution excess of a
// site, the night-sky flux per photometric band and a five-point table
// interpolation. Pure functions; the model follows Schaefer (1990, PASP 102,
// 212) with 22.5 mag/arcsec^2 = 34.08 nL as the zero point.
#pragma once

// Naked-eye limiting magnitude at the zenith for a sky of the given surface
// brightness (mag/arcsec^2).
double ComputeNakedEyeLimit(double skyBrightness);
// Sky surface brightness (mag/arcsec^2) for a naked-eye limit; limits above 8
// count as 8 (24.7159 mag/arcsec^2).
double ComputeSkyBrightnessFromLimit(double limit);
double ConvertSkyBrightnessToNanolamberts(double skyBrightness);
double ConvertNanolambertsToSkyBrightness(double nanolamberts);
// Model flux = nanolamberts x 1.11e-15.
double ConvertSkyBrightnessToModelFlux(double skyBrightness);
// Never above 22.5: a flux of 34.08 nL x 1.11e-15 or less gives 22.5.
double ConvertModelFluxToSkyBrightness(double flux);
// Model flux that light pollution adds to the sky of a site with this
// naked-eye limit; 0 above 7.1 (the unpolluted reference sky).
double ComputeLightPollutionExcess(double limit);
// Night-sky flux in the bands U, B, V, R, I (index 0..4) for a naked-eye limit.
// The B value is negative for limits above about 7: it is an excess added to
// the model's own night-sky term, not a flux on its own.
void ComputeBandNightSkyFlux(double flux[5], double limit);
// Piecewise-linear y(x) over five ascending abscissae, held at ys[0] below the
// table and at ys[4] above it. A NaN x gives ys[4].
double InterpolateFivePointTable(double x, const double xs[5], const double ys[5]);
// Darkness of a sky of brightness b: (b - 3.5) / 18 limited to [0, 1].
double SkyDarknessFraction(double skyBrightness);
