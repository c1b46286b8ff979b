// Building instrument records and the optics computations on an optics block:
// focal length and ratio completion, the practical magnification limit, the
// Dawes limit, the telescopic limiting magnitude, the magnification and true
// field of an eyepiece, the exit pupil, the default field of binoculars and the
// eyepiece labels of lists and reports. Angles are radians, lengths mm.
#pragma once

#include "instruments/instrumentrecord.h"

struct ObserverRecord;

// The suite's "no value" magnitude.
const double kNoMagnitude = 99.9;
// Inches per millimetre as the suite rounds it (25.4 mm per inch the other way).
const double kInchesPerMm = 0.03937;
// Size a buffer given to FormatEyepieceLabel must have.
const int kEyepieceLabelSize = 64;

// ---- initialisers (a null block or record: 0 and nothing changes) ------------------

// Telescope optics from inches: aperture x 25.4 mm; the focal length from its
// inches (ratio = focal length / aperture), else from the ratio; with both 0 the
// focal fields keep what they held. Resets the imaging configuration (Barlow
// 2.0 off, label flag, projection flags, prime focus, no extenders). The
// eyepieces, cameras, limits and current eyepiece are left to the caller. 1.
int InitTelescopeOptics(OpticsBlock *block, const char *name, int type, double apertureInches,
                        double focalLengthInches, double focalRatio, int leftRight, int upDown,
                        double condition);
// Binocular optics (type 10) of a fixed magnification; a field of 0 degrees
// takes SetDefaultBinocularField. 0 when the magnification or the aperture is
// not above 0.
int InitFixedMagnificationOptics(OpticsBlock *block, const char *name, double magnification,
                                 double apertureMm, double trueFieldDegrees);
// Eyepiece slot 0..69: focal length, apparent field (0 degrees becomes 40),
// the name when given, the pool id. The count is left alone.
int SetEyepieceEntry(OpticsBlock *block, int poolId, int slot, const char *name,
                     double focalLengthMm, double apparentFieldDegrees);
// "Naked Eye": kind 2, one block of type 0 with the pupil as aperture (a pupil
// of 0 or less is taken as 6.5 mm), magnification 1, true field pi. The id,
// sight, rings, default eyepiece, finder and mounting are not touched.
InstrumentRecord *InitNakedEyeInstrument(InstrumentRecord *record, double pupilMm);

// ---- computations ---------------------------------------------------------------------

// Completes focal length / ratio from each other, sets the magnification limit
// (55 per inch of aperture), the Dawes limit (4.56" / inches) and the typical
// limiting magnitude (at 25x per inch, naked-eye limit 7.0 sky, extinction 0.1,
// zenith, seeing 1.5"), and leaves the current magnification as it was.
// 0 when the aperture is 0 or both focal length and ratio are 0.
int ComputeOpticsLimits(OpticsBlock *block);
// Magnification and true field of eyepiece i (with the Barlow when in use).
// The magnification is first set to 25 per inch of aperture and stays so when
// the index (not below the eyepiece count) or the eyepiece is refused.
// 0 for binoculars and the naked eye.
int SelectEyepiece(OpticsBlock *block, int index);
// Stores true field x magnification as eyepiece i's apparent field.
int DeriveApparentField(OpticsBlock *block, int index);
// True field of binoculars from their magnification; 0 when it is not above 0.
int SetDefaultBinocularField(OpticsBlock *block);
// Telescopic limiting stellar magnitude (Schaefer, "Telescopic limiting
// magnitudes", PASP 102, 212, 1990). Observer null: pupil 6 mm, experience
// 0.85. Extinction in magnitudes per air mass, sky brightness in mag/arcsec^2,
// zenith distance in radians, seeing in arcseconds. kNoMagnitude when the block
// is missing or its aperture or magnification is not above 0.
double ComputeTelescopeLimitingMagnitude(const OpticsBlock *block, const ObserverRecord *observer,
                                         double extinction, double skyBrightness,
                                         double colourIndex, double zenithDistance,
                                         double seeing);
// Aperture / current magnification, mm; 0 without a magnification.
double ComputeExitPupil(const OpticsBlock *block);
// The eyepiece's name (the text after the first blank when the name has one and
// is longer than 16 characters); with extras " 2.0x" for a Barlow in use and
// " MD" for the label flag. The buffer must hold kEyepieceLabelSize bytes.
// Null (and an empty buffer) for an index outside the block's eyepieces.
char *FormatEyepieceLabel(char *buffer, const OpticsBlock *block, int index, int withExtras);
// b^2 / a^2; 0 when a is 0.
double ComputeSquaredRatio(double a, double b);
// sqrt(a x a x b) when b is above 0, else 0.
double ComputeRootProduct(double a, double b);
