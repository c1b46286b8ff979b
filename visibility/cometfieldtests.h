// The visibility and imaging tests that the comet field search of the
// minor-body layer applies to each comet (its "visible" and "imaging"
// conditions), and their registration with that search at start-up.
#pragma once

struct DateRecord;
struct LocationRecord;
struct ObserverRecord;
struct OpticsBlock;

// Experience taken when the search has no observer (as the limiting-magnitude
// model does).
const double kCometFieldDefaultExperience = 0.85;
// Pupil of the eye (mm) when the search has no optics.
const double kCometFieldEyePupilMm = 7.0;
// Signal-to-noise ratio below which a comet does not count as imaged.
const double kCometFieldMinimumSnr = 2.5;
// Colour index of a comet's coma for the imaging estimate.
const double kCometFieldColourIndex = 0.8;

// 1 when the comet (apparent RA and Dec in radians, magnitude, Delta in AU,
// coma diameter in 1e-6 AU, degree of condensation 0-9, 255 none) rates
// better than "not visible" through the optics (none: the naked eye) for the
// observer at the site and date; 0 otherwise or without a site or date.
int IsCometVisibleInField(const LocationRecord *site, const DateRecord *date,
                          const OpticsBlock *optics, const ObserverRecord *observer, double ra,
                          double dec, double magnitude, double delta, int comaDiameter,
                          int condensation);
// 1 when an exposure of the comet's coma with the camera and filter reaches a
// signal-to-noise ratio of 2.5 (mid-exposure: the Sun and Moon at the middle
// of the exposure; else an estimate for the target); 0 otherwise.
int IsCometDetectableInField(const LocationRecord *site, const DateRecord *date,
                             const OpticsBlock *optics, int camera, int filter, int option,
                             double exposure, int midExposure, double ra, double dec,
                             double magnitude, double delta, int comaDiameter);
// Hands both tests to the comet field search.
void ConnectCometFieldVisibility();
