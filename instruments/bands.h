// The five standard photometric bands U, B, V, R, I as filter records, the band
// magnitudes of an object from its V magnitude and B-V colour, and the
// completion of a filter for one camera (its quantum efficiency at the filter's
// wavelength and the optical transmissions interpolated from the bands).
#pragma once

#include "instruments/camerarecords.h"

const int kBandCount = 5;

// The built-in band record 0..4 (U, B, V, R, I), whose first field is the
// band's one-letter name; null for any other index.
const FilterRecord *GetBandName(int index);

// Percent at a wavelength (micrometres) on a 13-point curve sampled at 0.35,
// 0.40 ... 0.95 micrometres, linear between points, held at the ends.
double InterpolateQuantumEfficiency(double wavelength, const double curve[13]);
// The surface transmission (offset 41) or the element efficiency (offset 65)
// of five band records at a wavelength, linear between neighbouring bands and
// held at the U and I values outside them.
double InterpolateBandSurfaceTransmission(double wavelength, const FilterRecord bands[5]);
double InterpolateBandElementEfficiency(double wavelength, const FilterRecord bands[5]);
// Completes a filter for a camera with the given curve: a neutral-density
// filter (wavelength 0) copies its peak transmission into the surface
// transmission and nothing else; any other gets the camera's quantum efficiency
// at its wavelength, and its surface transmission and element efficiency from
// the bands when they are 0.
void CompleteFilterBand(FilterRecord *filter, const double curve[13]);

// Band magnitudes (or surface brightnesses) from V and the B-V colour index c.
double EstimateUMagnitude(double v, double colourIndex);  // V + 2.35 c - 0.6
double EstimateBMagnitude(double v, double colourIndex);  // V + c
double EstimateRMagnitude(double v, double colourIndex);  // V - 0.75 c
double EstimateIMagnitude(double v, double colourIndex);  // V - 1.6 c
