// Texts of an object's apparent size, a double star's separation and a
// distance, each in the unit that suits the value (degrees to milliarcseconds;
// billions of light years to kilometres). Every text fits kSizeTextBytes.
#pragma once

constexpr int kSizeTextBytes = 32;

// Major and minor diameter in arcminutes; a minor diameter of 0 (or equal to
// the major one) shows one value. "unknown" when both are 0, the major one is
// negative, either is not a number, or the size is larger than the sky. When
// the minor axis is given as the larger one, the two are exchanged.
void FormatAngularSize(char *buffer, int size, double major, double minor);
// Separation in arcseconds: 0.1" steps from 0.2", 0.01" steps from 0.01",
// milliarcseconds below. "" for a negative, infinite or NaN separation.
char *FormatSeparation(char *buffer, int size, double arcseconds);
// Distance in light years: Gly, Mly and ly to two significant digits, then AU
// and km; three blanks for 0, a negative distance, NaN or infinity.
char *FormatDistance(char *buffer, int size, double lightYears);
