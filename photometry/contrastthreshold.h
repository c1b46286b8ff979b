// The eye's threshold contrast for an extended object seen through a
// telescope, by the eyepiece's background brightness and the object's
// apparent size (Blackwell, "Contrast thresholds of the human eye", JOSA 36,
// 624, 1946, as tabulated per mag/arcsec^2 of background), and the faintest
// surface brightness each aperture class shows. Pure formulas, beneath both
// the visibility model and the catalogues' surface brightness.
// Units: sky brightness in mag/arcsec^2, apertures in inches, sizes in
// arcminutes; contrasts are decimal logarithms.
#pragma once

// Threshold table: 24 backgrounds (4..27 mag/arcsec^2) by 7 log10 sizes.
const int kThresholdRows = 24;
const int kThresholdColumns = 7;
extern const double kThresholdSizeKeys[kThresholdColumns];
extern const double kThresholdContrastTable[kThresholdRows][kThresholdColumns];

// Aperture classes 0..7: the dark-adapted eye (7.5 mm, at x1), 4, 6, 8, 10,
// 16, 21 and 40 inches (any other class is 40).
const int kApertureClassEye = 0;
const double kEyeApertureInches = 0.295275;

// Limits of a threshold contrast (log10).
const double kThresholdLimit = 37.0;

// log10 threshold contrast for an object of the given size (arcmin) seen at
// magnification M through aperture D (inches) against a sky S. The eyepiece
// background is 5 log10(M / 2.833 D) + S, held at 4 or fainter. A
// magnification or aperture that is not above 0 (or not finite) gives the
// upper limit 37: nothing shows.
double LookUpThresholdContrast(double magnification, double skyBrightness, double apertureInches,
                               double sizeArcmin);

// Faintest surface brightness that aperture class 0..7 shows at this
// magnification (not above 0: x100; class 0 is the eye at x1) under the
// reference sky of a naked-eye limit of 7.1. Size unused.
double ComputeApertureClassSurfaceBrightness(int apertureClass, double sizeArcmin,
                                             double magnification);
