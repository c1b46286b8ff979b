// Atmospheric extinction per photometric band after Schaefer's model
// (Schaefer 1998, Sky & Telescope 95(5), 57; 1990, PASP 102, 212): Rayleigh,
// aerosol, ozone and water-vapour terms, each with its own air mass.
// Angles in radians, elevation in metres, temperature in degrees Celsius,
// humidity in percent. k is in magnitudes per air mass; an extinction is the
// dimming in magnitudes at the given zenith distance.
//
// Inputs are brought into the model's range first: an elevation below sea
// level counts as sea level (it used to give k = 0, which wipes out the
// daylight and moonlight of the sky model), and a humidity outside 0..99.9 %
// is held at the nearest limit (100 % makes the aerosol term undefined).
#pragma once

// Band rows: U, B, V, R, I.
const int kModelBandCount = 5;
extern const double kModelBandWavelength[kModelBandCount];  // micrometres
extern const double kModelBandOzone[kModelBandCount];
extern const double kModelBandWater[kModelBandCount];

// V-band extinction coefficient for a month 1..12.
double ComputeVisualExtinction(int month, double temperature, double humidity, double latitude,
                               double elevation);
void ComputeTwoBandExtinction(int month, double temperature, double humidity, double latitude,
                              double elevation, double *kB, double *kV);
void ComputeThreeBandExtinction(int month, double temperature, double humidity, double latitude,
                                double elevation, double *kB, double *kV, double *kR);
// All five bands at a zenith distance; the season from the decimal year.
void ComputeBandExtinction(double decimalYear, double temperature, double humidity, double latitude,
                           double zenithDistance, double elevation, double extinction[5],
                           double k[5]);
// All five bands at a zenith distance, with the ozone and water coefficients
// of every band interpolated at the given wavelength (micrometres) and the
// aerosol season term signed by hemisphere.
void ComputeBandExtinctionAtWavelength(double wavelength, int month, double temperature,
                                       double humidity, double latitude, double zenithDistance,
                                       double elevation, double extinction[5], double k[5]);
