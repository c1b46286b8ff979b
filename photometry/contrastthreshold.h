// The eye's threshold contrast for an extended object seen through a
// telescope, by the eyepiece's background brightness and the object's
// apparent size (a table of log10 threshold contrasts after Blackwell's
// measurements as the suite's visibility model tabulates them), and the
// faintest surface brightness each aperture class shows. Pure formulas.
// Units: sky brightness in mag/arcsec^2, apertures in inches, sizes in
// arcminutes; contrasts are decimal logarithms.
#pragma once

// log10 of the threshold contrast at magnification M, sky brightness S,
// aperture D and object size; interpolated in the table (background rows of
// 4-27 mag/arcsec^2, apparent-size columns), extrapolated beyond its last row
// and column, held to -37..37.
double LookUpThresholdContrast(double magnification, double skyBrightness, double aperture,
                               double size);

// Aperture classes: 0 the dark-adapted eye (7.5 mm, used at x1), 1-6
// telescopes of 4, 6, 8, 10, 16 and 21 inches, any other 40 inches.
double ApertureOfClass(int apertureClass);

// The faintest surface brightness (mag/arcsec^2) that an aperture class
// shows of a 10-arcminute object under a dark sky (naked-eye limit 7.1);
// magnification 0 or less means x100; the size is not used.
double ComputeApertureClassSurfaceBrightness(int apertureClass, double size, double magnification);
