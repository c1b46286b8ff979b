// How easily a double star splits through an instrument: the resolution limit
// of an unequal pair, the rating value and its ten texts.
#pragma once

const int kSplitRatingRows = 10;

// Resolution limit (arcsec) of a pair of magnitudes m1, m2 at wavelength 550
// nm through an aperture of D mm, with the instrument's obstruction term c
// and a seeing disc of u arcsec:
// 10^((|m1 - m2| - 0.1) / (h + l + q)) x 1.033 x 116 / D with
// h = 2^(2.4 - D / 150), l = 2^(2 - 5c), q = 2^(2.3 - 8 u D / 550).
// 0 for an aperture not above 0.
double ComputePairResolutionLimit(double wavelength, double apertureMm, double kindTerm,
                                  double seeingDisc, double m1, double m2);
// Rating value of a pair of separation d (arcsec) and magnitudes m1, m2
// through an instrument of this kind and aperture (mm), under seeing s
// (arcsec) at air mass X, with an optical quality 0..1: 0 when a magnitude
// is missing (above 90) or d = 0, or for a Dawes-limited pair more than 3
// magnitudes apart closer than 4"; -1 when it would split (r > 1) but the
// seeing disc s X^0.6 is wider than the pair.
double RateDoubleStarSplit(int instrumentKind, double apertureMm, double seeing,
                           double separation, double m1, double m2, double airMass,
                           double quality);
// Row 0..9 of the rating texts for a rating value ("N/A" for 0).
int ClassifySplitRating(double value);
const char *GetSplitRatingTextForValue(double value);
// The row's text; "" for a row outside 0..9.
const char *GetSplitRatingText(int row);
