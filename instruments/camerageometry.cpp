// Camera geometry behind an optics block: effective focal length, fields,
// pixel angles, resolution and the extent of an object on the sensor.
#include "instruments/camerageometry.h"

#include <cmath>

#include "photometry/seeing.h"
#include "photometry/skybright.h"
#include "core/mathutil.h"

namespace {

const double kArcsecondsPerRadian = 648000.0 / kPi;
const double kDefaultWavelength = 0.665;  // micrometres, without a filter
const double kDefaultLensFocalLength = 50.0;  // mm, assumed for a camera without a lens

const CameraEntry *CameraAt(const OpticsBlock *block, int camera) {
    if (!block) return nullptr;
    int count = block->cameraCount;
    if (count > kMaxCameras) count = kMaxCameras;
    if (camera < 0 || camera >= count) return nullptr;
    return &block->cameras[camera];
}

}  // namespace

int ComputeEyepieceProjectionFocalLength(double focalLength, double focalRatio,
                                         double eyepieceFocalLength, double distance,
                                         double *focalLengthOut, double *focalRatioOut) {
    if (!(eyepieceFocalLength > 0.0)) return 0;
    double k = distance / eyepieceFocalLength - 1.0;
    if (!(k > 0.0)) return 0;
    bool ok = true;
    if (focalLengthOut) {
        *focalLengthOut = focalLength * k;
        ok &= *focalLengthOut > 0.0;
    }
    if (focalRatioOut) {
        *focalRatioOut = focalRatio * k;
        ok &= *focalRatioOut > 0.0;
    }
    return ok ? 1 : 0;
}

double ComputeEyepieceProjectionDistance(const OpticsBlock *block, int camera, int filter,
                                         const double *eyepieceFocalLength) {
    const CameraEntry *c = CameraAt(block, camera);
    if (!c || !eyepieceFocalLength) return -1.0;
    int filters = c->filterCount;
    if (filters > kCameraAssignedFilters) filters = kCameraAssignedFilters;
    if (filter >= filters) return -1.0;
    double wavelength = kDefaultWavelength;
    // A neutral-density filter has no wavelength of its own.
    if (filter >= 0 && c->filters[filter].wavelength > 0.0) wavelength = c->filters[filter].wavelength;
    double ratio = block->focalRatio;
    if (!(ratio > 0.0)) return -1.0;
    return *eyepieceFocalLength * ((2.0 * c->pixelDiagonal / wavelength) / ratio + 1.0);
}

int ComputeEffectiveFocalLength(OpticsBlock *block, int camera, int lens) {
    if (!block) return 0;
    block->effectiveFocalLength = block->focalLength;
    block->effectiveAperture = block->aperture;
    const CameraEntry *c = CameraAt(block, camera);
    if (!c) return 0;

    double L = 1.0, A = 50.0;
    if (c->kind != 0 && lens >= 0) {
        int lenses = c->lensCount;
        if (lenses > kCameraLensSlots) lenses = kCameraLensSlots;
        if (lens >= lenses) return 0;
        const LensRecord &l = c->lenses[lens];
        // Without a focal ratio the lens has no aperture.
        if (!(l.focalLength > 0.0) || !(l.focalRatio > 0.0)) return 0;
        L = l.focalLength;
        A = L / l.focalRatio;
    }

    double f = block->effectiveFocalLength;
    switch (block->focalState) {
    case kFocalEyepieceProjection: {
        const double e = block->projectionEyepiece.focalLength;
        if (!(block->projectionDistance > 0.0) || !(e > 0.0)) return 0;
        double projected = 0.0;
        if (!ComputeEyepieceProjectionFocalLength(block->focalLength, block->focalRatio, e,
                                                  block->projectionDistance, &projected, nullptr))
            return 0;
        f = projected * L;
        break;
    }
    case kFocalAfocal: {
        if (L == 1.0) L = kDefaultLensFocalLength;
        const double e = block->afocalEyepiece.focalLength;
        if (!(e > 0.0)) return 0;
        f = (L / e) * f;
        break;
    }
    case kFocalPiggyback:
        if (L == 1.0) L = kDefaultLensFocalLength;
        f = L;
        block->effectiveAperture = A;
        break;
    default:  // prime focus
        break;
    }
    int factors = block->extenderCount > kMaxExtenders ? kMaxExtenders : block->extenderCount;
    if (block->extenderIndex != kNoEyepiece && block->extenderIndex < factors)
        f *= block->extenderFactors[block->extenderIndex];
    block->effectiveFocalLength = f;
    return 1;
}

int SetEyepieceProjection(OpticsBlock *block, const EyepieceEntry *eyepiece, double distance) {
    if (!block) return 0;
    if (eyepiece) block->projectionEyepiece = *eyepiece;
    block->projectionDistance = distance;
    return 1;
}

int IsOpticsBlockPresent(const OpticsBlock *block) { return block ? 1 : 0; }

int ComputeCameraField(OpticsBlock *block, int camera, int lens) {
    if (!block || block->cameraCount <= 0) return 0;
    if (!CameraAt(block, camera)) return 0;
    CameraEntry &c = block->cameras[camera];
    if (c.kind == 0) {
        lens = -1;
    } else {
        int lenses = c.lensCount;
        if (lenses > kCameraLensSlots) lenses = kCameraLensSlots;
        if (lens >= lenses) return 0;
    }
    ComputeEffectiveFocalLength(block, camera, lens);
    double f = block->effectiveFocalLength;
    if (!(f > 0.0)) return 0;
    c.fieldWidth = c.sensorWidth / f;
    c.fieldHeight = c.sensorHeight / f;
    if (c.guider) {
        c.guiderFieldWidth = (float)(c.guiderWidth / f);
        c.guiderFieldHeight = (float)(c.guiderHeight / f);
    }
    return 1;
}

namespace {

double PixelAngle(const OpticsBlock *block, const CameraEntry *camera, int binning,
                  double micrometres) {
    if (!block || !camera || binning < 1) return 0.0;
    double f = block->effectiveFocalLength;
    if (!(f > 0.0)) return 0.0;
    return binning * (0.001 * micrometres / f);
}

}  // namespace

double ComputePixelDiagonalAngle(const OpticsBlock *block, const CameraEntry *camera, int binning) {
    return camera ? PixelAngle(block, camera, binning, camera->pixelDiagonal) : 0.0;
}

void ComputePixelAngles(const OpticsBlock *block, const CameraEntry *camera, int binning,
                        double *width, double *height) {
    double w = camera ? PixelAngle(block, camera, binning, camera->pixelWidth) : 0.0;
    double h = camera ? PixelAngle(block, camera, binning, camera->pixelHeight) : 0.0;
    if (width) *width = w;
    if (height) *height = h;
}

double ComputePixelSolidAngle(const OpticsBlock *block, const CameraEntry *camera, int binning) {
    double w = 0.0, h = 0.0;
    ComputePixelAngles(block, camera, binning, &w, &h);
    return w * h;
}

double ComputeImagingResolution(const OpticsBlock *block, int camera, double seeing, int binning) {
    const CameraEntry *c = CameraAt(block, camera);
    if (!c || binning < 1) return 0.0;
    double r = 2.0 * ComputePixelDiagonalAngle(block, c, binning) * kArcsecondsPerRadian;
    if (2.0 * seeing > r) r = 2.0 * seeing;
    if (block->dawesLimit > r) r = block->dawesLimit;
    return r;
}

double ScaleImagingResolution(const OpticsBlock *block, int camera, int binning, double seeing,
                              double a, double b) {
    if (a == 0.0) return 0.0;
    return (b / a) * (ComputeImagingResolution(block, camera, seeing, binning) / kArcsecondsPerRadian);
}

int ComputeResolutionElements(const OpticsBlock *block, int camera, int binning, double seeing,
                              double objectSize, double *elements) {
    if (elements) *elements = 0.0;
    double resolution = ComputeImagingResolution(block, camera, seeing, binning);
    if (!(resolution > 0.0)) return 0;
    if (elements) *elements = objectSize / resolution;
    double diagonal = ComputePixelDiagonalAngle(block, CameraAt(block, camera), binning);
    if (!(diagonal > 0.0)) return 0;
    double n = (objectSize / kArcsecondsPerRadian) / diagonal;
    if (!(n < 2147483647.0)) return 2147483647;
    return n > 0.0 ? (int)n : 0;
}

int ComputeObjectExtentOnSensor(const CameraEntry *camera, int binning, double width,
                                double height, int *across, int *down, int mosaic) {
    int a = 0, d = 0, result = -1;
    if (height == 0.0) height = width;
    if (camera && binning >= 1 && width != 0.0 && camera->fieldWidth > 0.0 &&
        camera->fieldHeight > 0.0) {
        int W = camera->pixelsAcross / binning, H = camera->pixelsDown / binning;
        double fa = width / camera->fieldWidth * camera->pixelsAcross / binning;
        double fd = height / camera->fieldHeight * camera->pixelsDown / binning;
        // Objects beyond two billion pixels are not frames anyone would plan.
        if (W > 0 && H > 0 && std::fabs(fa) < 2e9 && std::fabs(fd) < 2e9) {
            a = (int)std::lround(fa);
            d = (int)std::lround(fd);
            if (a > d) {
                int t = a;
                a = d;
                d = t;
            }
            result = 0;
            if (mosaic && (W < a || H < d)) {
                a = a / W + 1;
                d = d / H + 1;
                result = 1;
            }
        }
    }
    if (across) *across = a;
    if (down) *down = d;
    return result;
}

void InitImageSizeReference(ImageSizeReference *reference, double seeing, double aperture,
                            double wavelength) {
    if (!reference) return;
    reference->seeing = seeing;
    reference->aperture = aperture;
    reference->wavelength = wavelength;
    ComputeBestStarImageSizes(aperture, reference->bestSize);
}

double ComputeImageSizeRatio(const ImageSizeReference *reference, double airMass) {
    if (!reference) return 0.0;
    static const double kBandWavelengths[5] = {0.365, 0.44, 0.55, 0.70, 0.90};
    double sizes[5], ratios[5];
    ComputeStarImageSizes(reference->seeing, airMass, reference->aperture, sizes);
    for (int i = 0; i < 5; ++i) ratios[i] = sizes[i] > 0.0 ? reference->bestSize[i] / sizes[i] : 1.0;
    if (reference->wavelength == 0.0) return ratios[4];
    return InterpolateFivePointTable(reference->wavelength, kBandWavelengths, ratios);
}
