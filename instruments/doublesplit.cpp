// Double-star splitting: Dawes' limit and the eyepiece choice for a pair.
#include "instruments/doublesplit.h"

#include <cmath>

#include "instruments/optics.h"

double DawesLimit(double apertureMm) { return apertureMm > 0.0 ? 116.0 / apertureMm : 0.0; }

double OptimumSplitMagnification(double separation) { return 750.0 / separation; }

double MinimumSplitMagnification(double separation) { return 300.0 / separation; }

int ChooseEyepieceToSplitDouble(OpticsBlock *optics, double seeing, double airMass,
                                double separation, double *magnification, int *barlow) {
    if (barlow) *barlow = 0;
    if (!optics || !(separation > 0.0)) return -1;
    const double target = OptimumSplitMagnification(separation);
    const double least = MinimumSplitMagnification(separation);
    if (magnification) *magnification = target;
    if (seeing * std::pow(airMass > 0.0 ? airMass : 1.0, 0.6) > separation) return -1;
    const int count = optics->eyepieceCount > kMaxEyepieces ? kMaxEyepieces : optics->eyepieceCount;
    // Trying eyepieces selects each in turn; the caller's own selection is put
    // back afterwards so that asking for advice never changes the instrument.
    const uint8_t savedEyepiece = optics->currentEyepiece;
    const uint8_t savedBarlow = optics->barlowInUse;
    const double savedMagnification = optics->magnification;
    const double savedTrueField = optics->trueField;
    int best = -1;
    double bestDistance = 0.0;
    const int passes = optics->barlowFactor != 0.0f ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        optics->barlowInUse = (uint8_t)pass;
        for (int i = 0; i < count; ++i) {
            if (!SelectEyepiece(optics, i)) continue;
            const double m = optics->magnification;
            const double distance = std::fabs(m - target);
            if (m > least && (best < 0 || distance < bestDistance)) {
                best = i;
                bestDistance = distance;
                if (barlow) *barlow = pass;
            }
        }
    }
    optics->barlowInUse = savedBarlow;
    optics->currentEyepiece = savedEyepiece;
    optics->magnification = savedMagnification;
    optics->trueField = savedTrueField;
    return best;
}
