// The contrast-threshold model: surface brightness, contrast, Blackwell's
// threshold table, margins, the best-magnification and limit searches and the
// visibility ratings.
#include "visibility/contrastmodel.h"

#include <cmath>
#include <cstdio>

#include "core/mathutil.h"
#include "photometry/skybright.h"

// log10 of Blackwell's target diameters in arcminutes: 0.595, 3.6, 9.68,
// 18.2, 55.2, 121 and 360.
const double kThresholdSizeKeys[kThresholdColumns] = {-0.2255, 0.5563, 0.9859, 1.26,
                                                      1.742,   2.083,  2.556};

// log10 threshold contrast; row r is an eyepiece background of r + 4 mag/arcsec^2.
const double kThresholdContrastTable[kThresholdRows][kThresholdColumns] = {
    {-0.3769, -1.8064, -2.3368, -2.4601, -2.5469, -2.561, -2.566},
    {-0.3315, -1.7747, -2.3337, -2.4608, -2.5465, -2.5607, -2.5658},
    {-0.2682, -1.7345, -2.331, -2.4605, -2.5467, -2.5608, -2.5658},
    {-0.1982, -1.6851, -2.314, -2.4572, -2.5481, -2.5615, -2.5665},
    {-0.1238, -1.6252, -2.2791, -2.4462, -2.5463, -2.5597, -2.5646},
    {-0.0424, -1.5529, -2.2297, -2.4214, -2.5343, -2.5501, -2.5552},
    {0.0498, -1.4655, -2.1659, -2.3763, -2.5047, -2.5269, -2.5333},
    {0.1596, -1.3581, -2.081, -2.3036, -2.4499, -2.4823, -2.4937},
    {0.2934, -1.2256, -1.9674, -2.1965, -2.3631, -2.4092, -2.4318},
    {0.4557, -1.0673, -1.8186, -2.0531, -2.2445, -2.3083, -2.3491},
    {0.65, -0.8841, -1.6292, -1.8741, -2.0989, -2.1848, -2.2505},
    {0.8808, -0.6687, -1.3967, -1.6611, -1.9284, -2.0411, -2.1375},
    {1.1558, -0.3952, -1.1264, -1.4176, -1.73, -1.8727, -2.0034},
    {1.4822, -0.0419, -0.8243, -1.1475, -1.5021, -1.6768, -1.842},
    {1.8559, 0.3458, -0.4924, -0.8561, -1.2661, -1.4721, -1.6624},
    {2.2669, 0.696, -0.1315, -0.551, -1.0562, -1.2892, -1.4827},
    {2.676, 1.088, 0.206, -0.321, -0.88, -1.137, -1.362},
    {2.7766, 1.2065, 0.3467, -0.1377, -0.7361, -0.9964, -1.2439},
    {2.9304, 1.3821, 0.5353, 0.0328, -0.5605, -0.8606, -1.1187},
    {3.1634, 1.6107, 0.7708, 0.2531, -0.3895, -0.703, -0.9681},
    {3.4643, 1.9034, 1.0338, 0.4943, -0.2033, -0.5259, -0.8288},
    {3.8211, 2.2564, 1.3265, 0.7605, 0.0172, -0.2992, -0.6394},
    {4.221, 2.632, 1.699, 1.132, 0.286, -0.051, -0.408},
    {4.61, 3.066, 2.132, 1.585, 0.652, 0.241, -0.121},
};

const double kVisibilityRatingBounds[kVisibilityRatingCount - 1] = {1.5, 0.9, 0.4, 0.2, 0.0, -0.25};

namespace {

const char kRatingNames[kVisibilityRatingCount][kVisibilityRatingNameSize] = {
    "obvious", "easy", "detectable", "difficult", "challenging", "very challenging", "not visible"};

// Aperture classes 1..7 in inches (class 0 is the eye).
const double kApertureClassInches[8] = {kEyeApertureInches, 4.0, 6.0, 8.0, 10.0, 16.0, 21.0, 40.0};

const double kArcminPerRadian = 10800.0 / kPi;
// Eye pupil (mm) and optical transmission of the comet limits.
const double kCometPupilMm = 7.5;
const double kCometTransmission = 0.8;
// Bounds of the searches (each converges long before).
const int kMaxSearchSteps = 1000;

// A degree of condensation as the comet routines use it: 255 ("none") is 4,
// anything else is held to 0..9.
int NormaliseCondensation(int dc) {
    if (dc == 255) return 4;
    if (dc < 0) return 0;
    if (dc > 9) return 9;
    return dc;
}

}  // namespace

double ScaleStarMargin(double x) { return x >= 0.0 ? x / 3.0 : 2.0 * x / 3.0; }

double ComputeObjectSurfaceBrightness(double magnitude, double a, double b) {
    if (!(a > 0.0) || !(b > 0.0)) return kNoContrast;
    return magnitude + 2.5 * std::log10(2827.0 * a * b);
}

double ComputeObjectContrast(double magnitude, double sky, double a, double b) {
    return -0.4 * (ComputeObjectSurfaceBrightness(magnitude, a, b) - sky);
}

double LookUpThresholdContrast(double magnification, double sky, double aperture, double size) {
    if (!(magnification > 0.0) || !(aperture > 0.0) || !std::isfinite(magnification) ||
        !std::isfinite(aperture) || !std::isfinite(sky))
        return kThresholdLimit;
    double background = 5.0 * std::log10(magnification / (2.833 * aperture)) + sky;
    if (background < 4.0) background = 4.0;
    // Far past the last row the extrapolation is held by the limit below; the
    // cap only keeps the integer conversion defined.
    if (background > 1000.0) background = 1000.0;
    const int n = (int)background;
    int lower = n - 4;
    if (lower < 0) lower = 0;
    if (lower > kThresholdRows - 2) lower = kThresholdRows - 2;
    const int upper = lower + 1;

    const double apparent = (size > 0.0 && std::isfinite(size)) ? std::log10(magnification * size)
                                                                 : kThresholdSizeKeys[0];
    int c = 0;
    double t = 0.0;
    if (apparent > kThresholdSizeKeys[0]) {
        c = kThresholdColumns - 2;
        for (int i = 1; i < kThresholdColumns; ++i) {
            if (kThresholdSizeKeys[i] >= apparent) {
                c = i - 1;
                break;
            }
        }
        t = (apparent - kThresholdSizeKeys[c]) / (kThresholdSizeKeys[c + 1] - kThresholdSizeKeys[c]);
    }
    const double *rl = kThresholdContrastTable[lower];
    const double *ru = kThresholdContrastTable[upper];
    const double tl = rl[c] + t * (rl[c + 1] - rl[c]);
    const double tu = ru[c] + t * (ru[c + 1] - ru[c]);
    double threshold;
    if (n < 27)
        threshold = tl + (background - n) * (tu - tl);
    else
        threshold = tu + (background - 27.0) * (tu - tl);
    if (threshold < -kThresholdLimit) threshold = -kThresholdLimit;
    if (threshold > kThresholdLimit) threshold = kThresholdLimit;
    return threshold;
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

double ComputeApertureClassSurfaceBrightness(int apertureClass, double size, double magnification) {
    const double sky = ComputeSkyBrightnessFromLimit(7.1);
    if (!(magnification > 0.0)) magnification = 100.0;
    double aperture = kApertureClassInches[7];
    if (apertureClass >= 0 && apertureClass < 7) aperture = kApertureClassInches[apertureClass];
    if (apertureClass == kApertureClassEye) magnification = 1.0;
    const double t = LookUpThresholdContrast(magnification, sky, aperture, 10.0);
    return 2.5 * (0.4 * sky - 0.275 - t) - 0.1;
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
