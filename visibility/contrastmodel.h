// The contrast-threshold model of extended-object visibility: an object's mean
// surface brightness and its contrast against the sky, the eye's threshold
// contrast by eyepiece background and apparent size (Blackwell, "Contrast
// thresholds of the human eye", JOSA 36, 624, 1946, as tabulated per
// mag/arcsec^2 of background), the visibility margin, the searches for the best
// magnification, the faintest visible magnitude and the smallest sufficient
// aperture, the seven visibility ratings, and the faintest surface brightness
// each aperture class shows.
//
// Units: magnitudes; surface and sky brightness in mag/arcsec^2; apertures in
// inches; sizes in arcminutes unless a routine says radians. A margin or a
// contrast is a decimal logarithm; a margin of 0 or more means visible.
#pragma once

#include "photometry/contrastthreshold.h"


// The seven ratings, 0 "obvious" .. 6 "not visible".
const int kVisibilityRatingCount = 7;
const int kRatingNotVisible = 6;
const int kVisibilityRatingNameSize = 32;
// Lower bound of the adjusted margin of ratings 0..5 (6 is anything below -0.25).
extern const double kVisibilityRatingBounds[kVisibilityRatingCount - 1];


// The value a routine answers when a surface brightness or contrast cannot be
// formed (no size, no rating): the suite's "none".
const double kNoContrast = 99.9;

// A degree of condensation as the comet routines use it: 255 ("none") is 4,
// anything else is held to 0..9.
int NormaliseCondensation(int degree);
// A stellar margin in magnitudes on the contrast scale: x/3 when x >= 0, else 2x/3.
double ScaleStarMargin(double stellarMargin);
// m + 2.5 log10(2827 a b), axes in arcminutes; kNoContrast when an axis is not
// above 0 (an object without an area has no surface brightness).
double ComputeObjectSurfaceBrightness(double magnitude, double axisA, double axisB);
// -0.4 (surface brightness - sky brightness).
double ComputeObjectContrast(double magnitude, double skyBrightness, double axisA, double axisB);
// Object contrast (both axes) minus the threshold (minor axis as the size).
double ComputeDsoVisibilityMargin(double magnitude, double majorArcmin, double minorArcmin,
                                  double skyBrightness, double apertureInches,
                                  double magnification);
// -0.4 (SB - S) minus the threshold for a 10-arcminute object; size unused.
double ComputeSurfaceBrightnessMargin(double surfaceBrightness, double sizeArcmin,
                                      double skyBrightness, double apertureInches,
                                      double magnification);
// The magnification from int(3.375 D + 0.5) (at least 1) to 1000 with the
// largest margin (the first of equals); the margin goes to *margin (may be null).
double FindBestMagnification(double magnitude, double majorArcmin, double minorArcmin,
                             double skyBrightness, double apertureInches, double *margin);
// The best margin over the given magnifications (axes in radians); the index
// and magnification of the winner go out. Without magnifications (count <= 0)
// FindBestMagnification decides and the index is left as it was.
double FindBestEyepieceMargin(double magnitude, double surfaceBrightness, double majorRadians,
                              double minorRadians, double skyBrightness, double apertureInches,
                              const double *magnifications, int count, int *index,
                              double *magnification);
// As FindBestEyepieceMargin with a contrast offset added to the object's
// contrast, and without the surface-brightness route.
double FindBestEyepieceMarginWithOffset(double contrastOffset, double magnitude,
                                        double majorRadians, double minorRadians,
                                        double skyBrightness, double apertureInches,
                                        const double *magnifications, int count, int *index,
                                        double *magnification);
// Faintest magnitude at which an object of these axes shows (bisection from -6).
double FindExtendedLimitingMagnitude(double majorArcmin, double minorArcmin, double skyBrightness,
                                     double apertureInches, double *magnification);
// Smallest aperture (inches, 101 at most) that shows the object under a sky of
// the given naked-eye limit; prints each step of its search to standard output.
double FindMinimumAperture(double magnitude, double majorArcmin, double minorArcmin,
                           double nakedEyeLimit, double *magnification);
// Limiting magnitude for a comet of the given coma (radians) and degree of
// condensation (0 diffuse .. 9 star-like; 255 "none" counts as 4, others are
// held to 0..9): a blend of the stellar and the extended limits.
double ComputeCometLimitingMagnitude(double apertureInches, double skyBrightness,
                                     double comaRadians, int condensation, double *magnification);
// Aperture (inches) that shows a comet of that magnitude, coma and condensation.
double ComputeCometAperture(double magnitude, double nakedEyeLimit, double comaRadians,
                            int condensation);
// Rating 0..6 of a margin for an observer of this experience (0..1).
int GetVisibilityRatingIndex(double margin, double experience);
// 1 when the experience-adjusted margin reaches -0.25.
int IsDsoDetectable(double margin, double experience);
// "obvious" .. "not visible"; "" for a rating outside 0..6 (255 is "none").
const char *GetVisibilityRatingName(int rating);
// log10 contrast an object needs for rating -1..5 (-1 above "obvious");
// kNoContrast for any other rating. Size in radians.
double ComputeContrastForRating(int rating, double experience, double sizeRadians,
                                double skyBrightness, double apertureInches, double magnification);
// Contrast the object lacks for the wanted rating (axes in radians); 0 when it
// has that rating already (or rating 0 when -1 was wanted).
double ComputeContrastShortfall(int wantedRating, double experience, double magnitude,
                                double majorRadians, double minorRadians, double skyBrightness,
                                double apertureInches, double magnification);
// Prints a worked comet example over a list of apertures to standard output.
void PrintCometApertureTable();
