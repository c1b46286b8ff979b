// The contrast-threshold model: surface brightness, contrast, Blackwell's
// threshold table, margins, the best-magnification and limit searches and the
// visibility ratings.
#include "visibility/contrastmodel.h"

#include <cmath>
#include <cstdio>

#include "core/mathutil.h"
#include "photometry/skybright.h"


const double kVisibilityRatingBounds[kVisibilityRatingCount - 1] = {1.5, 0.9, 0.4, 0.2, 0.0, -0.25};

namespace {

const char kRatingNames[kVisibilityRatingCount][kVisibilityRatingNameSize] = {
    "obvious", "easy", "detectable", "difficult", "challenging", "very challenging", "not visible"};


const double kArcminPerRadian = 10800.0 / kPi;
// Eye pupil (mm) and optical transmission of the comet limits.
const double kCometPupilMm = 7.5;
const double kCometTransmission = 0.8;
// Bounds of the searches (each converges long before).
const int kMaxSearchSteps = 1000;

}  // namespace

int NormaliseCondensation(int dc) {
    if (dc == 255) return 4;
    if (dc < 0) return 0;
    if (dc > 9) return 9;
    return dc;
}

double ScaleStarMargin(double x) { return x >= 0.0 ? x / 3.0 : 2.0 * x / 3.0; }

double ComputeObjectSurfaceBrightness(double magnitude, double a, double b) {
    if (!(a > 0.0) || !(b > 0.0)) return kNoContrast;
    return magnitude + 2.5 * std::log10(2827.0 * a * b);
}

double ComputeObjectContrast(double magnitude, double sky, double a, double b) {
    return -0.4 * (ComputeObjectSurfaceBrightness(magnitude, a, b) - sky);
}


double ComputeDsoVisibilityMargin(double magnitude, double major, double minor, double sky,
                                  double aperture, double magnification) {
    return ComputeObjectContrast(magnitude, sky, major, minor) -
           LookUpThresholdContrast(magnification, sky, aperture, minor);
}

double ComputeSurfaceBrightnessMargin(double surfaceBrightness, double size, double sky,
                                      double aperture, double magnification) {
    return -0.4 * (surfaceBrightness - sky) -
           LookUpThresholdContrast(magnification, sky, aperture, 10.0);
}

double FindBestMagnification(double magnitude, double major, double minor, double sky,
                             double aperture, double *margin) {
    const double contrast = ComputeObjectContrast(magnitude, sky, major, minor);
    int first = (aperture > 0.0 && aperture < 1000.0) ? (int)(3.375 * aperture + 0.5) : 1;
    if (first < 1) first = 1;
    double best = -kThresholdLimit;
    double bestMagnification = first;
    for (int m = first; m <= 1000; ++m) {
        const double v = contrast - LookUpThresholdContrast(m, sky, aperture, minor);
        if (v > best) {
            best = v;
            bestMagnification = m;
        }
    }
    if (margin) *margin = best;
    return bestMagnification;
}

namespace {

// The shared loop of the two eyepiece searches. offset: a contrast offset, or
// NaN for the plain search with its surface-brightness route.
double BestEyepieceMargin(double offset, double magnitude, double surfaceBrightness, double major,
                          double minor, double sky, double aperture, const double *mags, int count,
                          int *index, double *magnification) {
    const bool withOffset = !std::isnan(offset);
    double a = major * kArcminPerRadian;
    double b = minor * kArcminPerRadian;
    if (b == 0.0) b = a;
    if (magnitude > 90.0) magnitude = 15.0;
    double best = -10000.0;
    if (count <= 0 || !mags) {
        const double m = FindBestMagnification(magnitude, a, b, sky, aperture, &best);
        if (magnification) *magnification = m;
        return best;
    }
    for (int i = 0; i < count; ++i) {
        double v;
        if (withOffset)
            v = ComputeObjectContrast(magnitude, sky, a, b) + offset -
                LookUpThresholdContrast(mags[i], sky, aperture, b);
        else if (surfaceBrightness < 90.0)
            v = ComputeSurfaceBrightnessMargin(surfaceBrightness, b, sky, aperture, mags[i]);
        else
            v = ComputeDsoVisibilityMargin(magnitude, a, b, sky, aperture, mags[i]);
        if (v > best) {
            best = v;
            if (index) *index = i;
            if (magnification) *magnification = mags[i];
        }
    }
    return best;
}

}  // namespace

double FindBestEyepieceMargin(double magnitude, double surfaceBrightness, double major,
                              double minor, double sky, double aperture, const double *mags,
                              int count, int *index, double *magnification) {
    return BestEyepieceMargin(NAN, magnitude, surfaceBrightness, major, minor, sky, aperture, mags,
                              count, index, magnification);
}

double FindBestEyepieceMarginWithOffset(double offset, double magnitude, double major, double minor,
                                        double sky, double aperture, const double *mags, int count,
                                        int *index, double *magnification) {
    if (std::isnan(offset)) offset = 0.0;
    return BestEyepieceMargin(offset, magnitude, kNoContrast, major, minor, sky, aperture, mags,
                              count, index, magnification);
}

double FindExtendedLimitingMagnitude(double major, double minor, double sky, double aperture,
                                     double *magnification) {
    double p = -6.0, result = -6.0, q = 1.0;
    for (int step = 0; step < kMaxSearchSteps; ++step) {
        p += q;
        double margin = 0.0;
        const double m = FindBestMagnification(p, major, minor, sky, aperture, &margin);
        if (margin == 0.0) break;
        if (margin > 0.0) {
            result = p;
            if (magnification) *magnification = m;
        } else {
            p -= 1.5 * q;
            q *= 0.5;
        }
        if (q <= 0.04) break;
    }
    return result;
}

double FindMinimumAperture(double magnitude, double major, double minor, double nakedEyeLimit,
                           double *magnification) {
    const double sky = ComputeSkyBrightnessFromLimit(nakedEyeLimit);
    double d = 101.0, result = 101.0, q = 1.0;
    for (int step = 0; step < kMaxSearchSteps; ++step) {
        d -= q;
        double margin = 0.0;
        const double m = FindBestMagnification(magnitude, major, minor, sky, d, &margin);
        std::printf("A %5.2lf dA %5.2lf Diff %5.3lf X%.0lf\n", d, q, margin, m);
        if (margin == 0.0) break;
        if (margin > 0.0) {
            result = d;
            if (magnification) *magnification = m;
        } else {
            d += 1.5 * q;
            q *= 0.5;
        }
        if (!(q > 0.1 && d >= 2.0)) break;
    }
    return result;
}

double ComputeCometLimitingMagnitude(double aperture, double sky, double coma, int dc,
                                     double *magnification) {
    dc = NormaliseCondensation(dc);
    if (!(aperture > 0.0)) return -6.0;  // no aperture: the searches' floor, nothing shows
    const double d = 25.4 * aperture;
    const double stellar = ComputeNakedEyeLimit(sky) +
                           2.5 * std::log10(d * d * kCometTransmission /
                                            (kCometPupilMm * kCometPupilMm));
    const double size = coma * kArcminPerRadian;
    const double extended = FindExtendedLimitingMagnitude(size, size, sky, aperture, magnification);
    if (extended > stellar) return stellar;
    return extended + (stellar - extended) * dc / 9.0;
}

double ComputeCometAperture(double magnitude, double nakedEyeLimit, double coma, int dc) {
    dc = NormaliseCondensation(dc);
    const double point = std::sqrt(std::pow(10.0, 0.4 * (magnitude - nakedEyeLimit)) *
                                   kCometPupilMm * kCometPupilMm / kCometTransmission) *
                         0.03937;
    const double size = coma * kArcminPerRadian;
    double m = 0.0;
    // The search converts the naked-eye limit to a sky brightness itself.
    const double extended = FindMinimumAperture(magnitude, size, size, nakedEyeLimit, &m);
    if (extended > point) return point;
    return point + (extended - point) * dc / 9.0;
}

int GetVisibilityRatingIndex(double margin, double experience) {
    const double v = (margin + 0.15) - (1.0 - experience) * 0.25;
    for (int i = 0; i < kVisibilityRatingCount - 1; ++i)
        if (v >= kVisibilityRatingBounds[i]) return i;
    return kRatingNotVisible;
}

int IsDsoDetectable(double margin, double experience) {
    return (margin + 0.15) - (1.0 - experience) * 0.25 >= -0.25 ? 1 : 0;
}

const char *GetVisibilityRatingName(int rating) {
    if (rating < 0 || rating >= kVisibilityRatingCount) return "";
    return kRatingNames[rating];
}

double ComputeContrastForRating(int rating, double experience, double size, double sky,
                                double aperture, double magnification) {
    if (rating < -1 || rating > 5) return kNoContrast;
    double target;
    if (rating == -1)
        target = 3.0;
    else if (rating == 0)
        target = 1.8;
    else
        target = (kVisibilityRatingBounds[rating] + kVisibilityRatingBounds[rating - 1]) / 2.0;
    target += (1.0 - experience) * 0.25 - 0.15;
    return LookUpThresholdContrast(magnification, sky, aperture, size * kArcminPerRadian) + target;
}

double ComputeContrastShortfall(int wanted, double experience, double magnitude, double major,
                                double minor, double sky, double aperture, double magnification) {
    const double a = major * kArcminPerRadian;
    const double b = minor * kArcminPerRadian;
    const double margin = ComputeDsoVisibilityMargin(magnitude, a, b, sky, aperture, magnification);
    const int rating = GetVisibilityRatingIndex(margin, experience);
    if (rating == wanted || (rating == 0 && wanted == -1)) return 0.0;
    return ComputeContrastForRating(wanted, experience, minor, sky, aperture, magnification) -
           ComputeObjectContrast(magnitude, sky, a, b);
}


void PrintCometApertureTable() {
    const double limit = 6.0, magnitude = 10.5, comaArcmin = 2.4;
    const int dc = 4;
    const double coma = comaArcmin / kArcminPerRadian;
    const double apertures[] = {0.295275, 2, 4, 5, 6, 8, 10, 12, 14, 16, 18, 20, 24, 40, 100};
    const int count = (int)(sizeof apertures / sizeof apertures[0]);
    const double sky = ComputeSkyBrightnessFromLimit(limit);
    std::printf("NE %5.2lf --> %5.2lf\n", limit, sky);
    int i = count - 1;
    for (; i >= 0; --i) {
        double limitMagnification = 0.0, margin = 0.0;
        const double l = ComputeCometLimitingMagnitude(apertures[i], sky, coma, dc,
                                                       &limitMagnification);
        const double best = FindBestMagnification(magnitude, comaArcmin, comaArcmin, sky,
                                                  apertures[i], &margin);
        std::printf("%5.2lf %.0lf --> %5.2lf %3.0lf %3.0lf %5.2lf\n", magnitude, apertures[i], l,
                    limitMagnification, best, margin);
        if (l < magnitude) break;
    }
    // The smallest aperture that still shows the comet: the one before the
    // first failure (the largest when even that fails, the smallest when none fails).
    int shown = i < 0 ? 0 : (i < count - 1 ? i + 1 : i);
    std::printf("V %5.2lf D %5.2lf DC = %d NEMag %5.2lf --> A %4.0lf\n", magnitude, comaArcmin, dc,
                limit, apertures[shown]);
}
