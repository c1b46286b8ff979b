// Splitting a double star with a telescope: the Dawes limit, the magnifications
// that split a pair, and the eyepiece (with or without the Barlow) that comes
// nearest the optimum. These sit beside the optics because the choice selects
// eyepieces on an optics block.
#pragma once

#include "instruments/instrumentrecord.h"

// Dawes' limit 116 / aperture (mm), arcseconds; 0 for an aperture not above 0.
double DawesLimit(double apertureMm);
// 750 / separation and 300 / separation (separation in arcseconds).
double OptimumSplitMagnification(double separation);
double MinimumSplitMagnification(double separation);
// The eyepiece whose magnification above the minimum comes nearest the
// optimum for a pair of this separation (arcsec) under this seeing (arcsec)
// and air mass; the Barlow is tried after the plain eyepieces, and a better
// choice there sets *barlow to 1. The optimum goes to *magnification. -1 when
// the seeing disc s X^0.6 is wider than the pair, the separation is not above
// 0, or no eyepiece qualifies. The optics keep the caller's selection: the
// current eyepiece, Barlow flag, magnification and true field are restored.
int ChooseEyepieceToSplitDouble(OpticsBlock *optics, double seeing, double airMass,
                                double separation, double *magnification, int *barlow);
