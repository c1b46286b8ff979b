// The imaging prospects of one object over one night in 288 five-minute
// samples from noon to noon: the SNR of a 300 s exposure against its best
// (at transit), the frame plan, and the resolution against its best (the
// best seeing at the zenith), from which the windows of imagingwindows.h
// are cut.
#pragma once

#include "visibility/imagingwindows.h"

struct DateRecord;
struct LocationRecord;
struct OpticsBlock;
struct SunMoonCache;

// Apparent altitude (radians): the true altitude, with refraction added
// below 10 degrees.
double ComputeApparentAltitude(const LocationRecord *site, const DateRecord *date,
                               double rightAscension, double declination);

// Fills the profile for the night whose midnight opens the calendar date of
// `date`. value and colour: V magnitude (form 0, point source) or V surface
// brightness (otherwise) and B-V. kind: imaging target kind. The cache (may
// be null) serves the Sun and Moon; moments it cannot serve are computed. A
// declination above pi (no place) leaves the profile untouched.
void ProfileImagingOverNight(const LocationRecord *site, const DateRecord *date,
                             const OpticsBlock *optics, int camera, int filter, int binning,
                             double rightAscension, double declination, double value,
                             double colour, double longestFrame, double q, int ideal, int form,
                             int kind, const SunMoonCache *cache, ProfileSample *profile);
