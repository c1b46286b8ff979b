// Sky brightness at a point of the sky after Schaefer's model (Schaefer 1998,
// Sky & Telescope 95(5), 57; Krisciunas & Schaefer 1991, PASP 103, 1033 for
// the moonlight): night sky with the solar cycle, moonlight, and the lesser
// of twilight and daylight, each dimmed by the extinction.
//
// Model inputs (radians): Y year; PH Moon phase angle (pi new, 0 full);
// RM Moon-target distance; Z target zenith distance; ZM Moon zenith distance
// (above pi/2: the Moon is down and adds nothing); ZS Sun zenith distance;
// RS Sun-target distance; k extinction per air mass; E extra flux at the
// zenith (light pollution). Fluxes are in the model unit nanolamberts x 1.11e-15.
//
// A Sun- or Moon-target distance of 0 is taken as 1 arcminute by every
// routine (the scattering terms go as distance^-2), and k is taken as at
// least 1e-4 in the twilight term, which divides by it.
#pragma once

int ModelSkyBrightness(double year, double phase, double moonDistance, double zenithDistance,
                       double moonZenithDistance, double sunZenithDistance, double sunDistance,
                       double k, double extraFlux, double *flux);
// Bands U, B, V, R, I; a Moon-target distance of 0 is taken as 0.5 degree.
int ModelBandSkyBrightness(double year, double phase, double moonDistance, double zenithDistance,
                           double moonZenithDistance, double sunZenithDistance, double sunDistance,
                           const double k[5], const double extraFlux[5], double flux[5]);
int ModelThreeBandSkyBrightness(double year, double phase, double moonDistance,
                                double zenithDistance, double moonZenithDistance,
                                double sunZenithDistance, double sunDistance, double kB, double kV,
                                double kR, double extraFlux, double *fluxB, double *fluxV,
                                double *fluxR);
int ModelTwoBandSkyBrightness(double year, double phase, double moonDistance, double zenithDistance,
                              double moonZenithDistance, double sunZenithDistance,
                              double sunDistance, double kB, double kV, double extraFlux,
                              double *fluxB, double *fluxV);

// V sky brightness in mag/arcsec^2 (not capped at 22.5). The wrappers take
// the Sun and Moon geometry first, then k, the year, Z and the extra flux.
double ComputeSkyBrightness(double phase, double moonZenithDistance, double moonDistance,
                            double sunZenithDistance, double sunDistance, double k, int year,
                            double zenithDistance, double extraFlux);
void ComputeThreeBandSkyFlux(double phase, double moonZenithDistance, double moonDistance,
                             double sunZenithDistance, double sunDistance, double kB, double kV,
                             double kR, int year, double zenithDistance, double extraFlux,
                             double *fluxB, double *fluxV, double *fluxR);
void ComputeTwoBandSkyFlux(double phase, double moonZenithDistance, double moonDistance,
                           double sunZenithDistance, double sunDistance, double kB, double kV,
                           int year, double zenithDistance, double extraFlux, double *fluxB,
                           double *fluxV);
// The darkest reference sky: a cold, dry, high site at the zenith in 1997,
// no Sun, Moon or light pollution (about 21.93 mag/arcsec^2).
double ComputeDarkestSkyBrightness();
