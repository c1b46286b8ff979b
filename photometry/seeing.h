// Seeing: the five words users pick for a site's seeing, their typical seeing
// in arcseconds and back, and the size of a star's image per photometric band
// from seeing, air mass and the diffraction of the aperture.
#pragma once

// Typical seeing (arcsec) for a rating 0 excellent, 1 good, 2 average, 3 poor,
// 4 bad: 0.3, 0.75, 1.5, 3.0, 5.0. A rating outside 0..4 (a damaged stored
// byte) takes the nearest one.
double GetSeeingForRating(int rating);
// "Excellent", "Good", "Average", "Poor", "Bad"; a rating outside 0..4 takes
// the nearest one.
const char *GetSeeingRatingName(int rating);
// The name of the rating a seeing belongs to: below 0.4" "Excellent", up to
// 1.0" "Good", up to 2.5" "Average", up to 4.0" "Poor", above "Bad".
const char *RateSeeing(double seeing);

// Aperture used when none is given (0 or less): a dark-adapted eye pupil, mm.
const double kDefaultApertureMm = 7.0;

// Star image size (arcsec) in the bands U, B, V, R, I: seeing s (arcsec)
// scaled by air mass X^1.2 and wavelength (lambda/0.55)^-0.4, added in
// quadrature to the diffraction size sqrt(5.54) lambda / D.
void ComputeStarImageSizes(double seeing, double airMass, double apertureMm, double size[5]);
// The same for excellent seeing (0.3") at the zenith.
void ComputeBestStarImageSizes(double apertureMm, double size[5]);
// The size at one wavelength (micrometres), written into all five slots.
void ComputeStarImageSizeAtWavelength(double wavelength, double seeing, double airMass,
                                      double apertureMm, double size[5]);
