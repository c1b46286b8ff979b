// Seeing ratings and star image sizes.
#include "photometry/seeing.h"

#include <cmath>

#include "core/mathutil.h"
#include "photometry/extinction.h"

namespace {

const double kTypicalSeeing[5] = {0.3, 0.75, 1.5, 3.0, 5.0};
const char kRatingNames[5][10] = {"Excellent", "Good", "Average", "Poor", "Bad"};
const double kArcsecondsPerRadian = 648000.0 / kPi;

int ClampRating(int rating) {
    // Ratings come from stored sites too; keep a damaged value inside the table.
    if (rating < 0) return 0;
    if (rating > 4) return 4;
    return rating;
}

double Aperture(double apertureMm) { return apertureMm > 0.0 ? apertureMm : kDefaultApertureMm; }

double ImageSize(double wavelength, double seeing, double airMass, double apertureMm,
                 double arcsecondsPerRadian) {
    double blur = seeing * seeing * ComputeGuardedPower(airMass, 1.2) *
                  ComputeGuardedPower(wavelength / 0.55, -0.4);
    // Wavelength and aperture both in centimetres.
    double diffraction = wavelength * 1e-4 * arcsecondsPerRadian / (0.1 * Aperture(apertureMm));
    return std::sqrt(blur + 5.54 * diffraction * diffraction);
}

}  // namespace

double GetSeeingForRating(int rating) { return kTypicalSeeing[ClampRating(rating)]; }

const char *GetSeeingRatingName(int rating) { return kRatingNames[ClampRating(rating)]; }

const char *RateSeeing(double seeing) {
    if (seeing < 0.4) return kRatingNames[0];
    if (seeing <= 1.0) return kRatingNames[1];
    if (seeing <= 2.5) return kRatingNames[2];
    if (seeing <= 4.0) return kRatingNames[3];
    return kRatingNames[4];
}

void ComputeStarImageSizes(double seeing, double airMass, double apertureMm, double size[5]) {
    if (!size) return;
    for (int i = 0; i < kModelBandCount; ++i)
        size[i] = ImageSize(kModelBandWavelength[i], seeing, airMass, apertureMm, kArcsecondsPerRadian);
}

void ComputeBestStarImageSizes(double apertureMm, double size[5]) {
    ComputeStarImageSizes(GetSeeingForRating(0), 1.0, apertureMm, size);
}

void ComputeStarImageSizeAtWavelength(double wavelength, double seeing, double airMass,
                                      double apertureMm, double size[5]) {
    if (!size) return;
    double s = ImageSize(wavelength, seeing, airMass, apertureMm, 206208.0);
    for (int i = 0; i < kModelBandCount; ++i) size[i] = s;
}
