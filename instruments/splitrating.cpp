// Double-star split rating: the resolution limit of an unequal pair, the
// rating against it (or against Dawes' limit for faint pairs) and its texts.
#include "instruments/splitrating.h"

#include <cmath>

#include "instruments/doublesplit.h"
#include "instruments/instrumentrecord.h"

namespace {
const char kSplitRatingTexts[kSplitRatingRows][24] = {
    "N/A",           "not visible", "limited by seeing", "not splittable",
    "very challenging split", "challenging split", "difficult split",
    "splittable",    "easy split",  "obvious split"};

// Obstruction term of a Schmidt-Cassegrain's central obstruction.
const double kCatadioptricTerm = 1.675;
// Magnitude values above this are "no magnitude".
const double kNoMagnitudeAbove = 90.0;
// Slope of the Dawes-limited rating with the magnitude difference.
const double kDawesMagnitudeSlope = -0.08712;
}  // namespace

double ComputePairResolutionLimit(double wavelength, double apertureMm, double kindTerm,
                                  double seeingDisc, double m1, double m2) {
    if (!(apertureMm > 0.0) || !(wavelength > 0.0)) return 0.0;
    const double h = std::pow(2.0, 2.4 - apertureMm / 150.0);
    const double l = std::pow(2.0, 2.0 - 5.0 * kindTerm);
    const double q = std::pow(2.0, 2.3 - 8.0 * seeingDisc * apertureMm / wavelength);
    return std::pow(10.0, (std::fabs(m1 - m2) - 0.1) / (h + l + q)) * 1.033 * 116.0 / apertureMm;
}

double RateDoubleStarSplit(int instrumentKind, double apertureMm, double seeing,
                           double separation, double m1, double m2, double airMass,
                           double quality) {
    const double dm = std::fabs(m1 - m2);
    if (m1 > kNoMagnitudeAbove || m2 > kNoMagnitudeAbove || separation == 0.0) return 0.0;
    if (!(apertureMm > 0.0)) return 0.0;
    const double disc = seeing * std::pow(airMass > 0.0 ? airMass : 1.0, 0.6);
    double limit, w;
    if (m2 < 9.0 && m1 > 0.0) {
        const double c = instrumentKind == kOpticsSchmidtCassegrain ? kCatadioptricTerm : 0.0;
        limit = ComputePairResolutionLimit(550.0, apertureMm, c, disc, m1, m2);
        w = 0.0;
    } else {
        if (dm > 3.0 && separation < 4.0) return 0.0;
        limit = DawesLimit(apertureMm);
        w = kDawesMagnitudeSlope;
    }
    if (!(limit > 0.0)) return 0.0;
    const double r = (w * dm + 1.0) * (separation / limit) * (1.0 - (1.0 - quality) * 0.1);
    if (r > 1.0 && disc > separation) return -1.0;
    return r;
}

int ClassifySplitRating(double r) {
    if (r == 0.0 || std::isnan(r)) return 0;
    if (r < -1.5) return 1;
    if (r < -0.5) return 2;
    if (r < 1.0) return 3;
    if (r <= 1.1) return 4;
    if (r <= 1.5) return 5;
    if (r <= 2.0) return 6;
    if (r <= 2.5) return 7;
    if (r <= 4.0) return 8;
    return 9;
}

const char *GetSplitRatingTextForValue(double value) {
    return kSplitRatingTexts[ClassifySplitRating(value)];
}

const char *GetSplitRatingText(int row) {
    if (row < 0 || row >= kSplitRatingRows) return "";
    return kSplitRatingTexts[row];
}
