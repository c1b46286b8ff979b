// Blackwell's threshold table and the aperture-class surface brightness
// (see contrastthreshold.h).
#include "photometry/contrastthreshold.h"

#include <cmath>

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

namespace {

// Aperture classes 1..7 in inches (class 0 is the eye).
const double kApertureClassInches[8] = {kEyeApertureInches, 4.0, 6.0, 8.0, 10.0, 16.0, 21.0, 40.0};

}  // namespace

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

double ComputeApertureClassSurfaceBrightness(int apertureClass, double size, double magnification) {
    const double sky = ComputeSkyBrightnessFromLimit(7.1);
    if (!(magnification > 0.0)) magnification = 100.0;
    double aperture = kApertureClassInches[7];
    if (apertureClass >= 0 && apertureClass < 7) aperture = kApertureClassInches[apertureClass];
    if (apertureClass == kApertureClassEye) magnification = 1.0;
    const double t = LookUpThresholdContrast(magnification, sky, aperture, 10.0);
    return 2.5 * (0.4 * sky - 0.275 - t) - 0.1;
}
