// Geometry of a camera behind an optics block: the effective focal length and
// aperture for the block's focal state (prime focus, eyepiece projection,
// afocal, piggyback) with a camera lens and a focal extender or reducer, the
// field of the sensor and of its guider chip, the angles of a (binned) pixel,
// the smallest detail an image shows, the eyepiece-to-sensor distance that
// samples the diffraction pattern critically, and how many pixels and frames an
// object covers. Angles are radians unless named; optics lengths mm, pixel
// sizes micrometres.
#pragma once

#include "instruments/instrumentrecord.h"

// Focal states of an optics block.
const uint8_t kFocalPrime = 0;
const uint8_t kFocalEyepieceProjection = 1;
const uint8_t kFocalAfocal = 2;
const uint8_t kFocalPiggyback = 3;

// Projection with an eyepiece of focal length e at distance d: the image scale
// grows by k = d / e - 1. Focal length out F k and ratio out N k, each only
// when asked for. 1 when every asked output is positive; 0 for e or k not
// above 0 (nothing is written then).
int ComputeEyepieceProjectionFocalLength(double focalLength, double focalRatio,
                                         double eyepieceFocalLength, double distance,
                                         double *focalLengthOut, double *focalRatioOut);
// Eyepiece-to-sensor distance (mm) that puts two pixel diagonals across the
// diffraction scale at the filter's wavelength (0.665 um without a filter or
// for a neutral-density one): e ((2 diagonal / wavelength) / N + 1).
// -1 without a block or eyepiece, for a camera or filter index out of range,
// or a focal ratio that is not above 0.
double ComputeEyepieceProjectionDistance(const OpticsBlock *block, int camera, int filter,
                                         const double *eyepieceFocalLength);
// Sets the block's effective focal length and aperture for its focal state,
// the camera's lens (kinds 1 and 2; lens -1 for none) and the extender or
// reducer in use. Starts from the nominal values, which stay when it fails.
// 1, or 0 for a missing block, a camera or lens index out of range, or optics
// that cannot form the image (projection distance not beyond the eyepiece's
// focal length, an afocal eyepiece or a lens without a focal length or ratio).
int ComputeEffectiveFocalLength(OpticsBlock *block, int camera, int lens);
// Keeps the eyepiece used for eyepiece projection and its distance to the sensor.
int SetEyepieceProjection(OpticsBlock *block, const EyepieceEntry *eyepiece, double distance);
int IsOpticsBlockPresent(const OpticsBlock *block);
// The camera's field width and height (and its guider's) from its sensor over
// the effective focal length. 0 for a missing block or camera, a lens index
// out of range (kind 0 cameras take no lens), or no effective focal length.
int ComputeCameraField(OpticsBlock *block, int camera, int lens);
// Angles of one pixel, binned: binning x 0.001 x size / effective focal length.
// 0 without a camera, with binning below 1 or without an effective focal length.
double ComputePixelDiagonalAngle(const OpticsBlock *block, const CameraEntry *camera, int binning);
void ComputePixelAngles(const OpticsBlock *block, const CameraEntry *camera, int binning,
                        double *width, double *height);
double ComputePixelSolidAngle(const OpticsBlock *block, const CameraEntry *camera, int binning);
// Smallest detail (arcseconds): the largest of two binned pixel diagonals, twice
// the seeing and the Dawes limit. 0 for a bad block, camera or binning.
double ComputeImagingResolution(const OpticsBlock *block, int camera, double seeing, int binning);
// Resolution in radians x b / a; 0 when a is 0.
double ScaleImagingResolution(const OpticsBlock *block, int camera, int binning, double seeing,
                              double a, double b);
// elements out = object size / resolution; result = the whole number of binned
// pixel diagonals across the object. 0 (and 0 out) when either is not defined.
int ComputeResolutionElements(const OpticsBlock *block, int camera, int binning, double seeing,
                              double objectSize, double *elements);
// Pixels an object covers (smaller count first). Without the mosaic flag 0;
// with it, when the object is larger than one frame, across and down become the
// frames needed and the result is 1. -1 (with zeros out) for a width of 0, a
// camera without a field, or a binning that leaves no whole pixel.
int ComputeObjectExtentOnSensor(const CameraEntry *camera, int binning, double width,
                                double height, int *across, int *down, int mosaic);

// The best star image sizes an aperture gives, as the reference against which
// the image sizes of a night are compared.
struct ImageSizeReference {
    double seeing;        // arcseconds
    double aperture;      // mm
    double wavelength;    // micrometres, 0 for none
    double bestSize[5];   // arcseconds, bands U, B, V, R, I
};
// Stores the values and the best sizes (excellent seeing at the zenith).
void InitImageSizeReference(ImageSizeReference *reference, double seeing, double aperture,
                            double wavelength);
// Best size over the size at this air mass: the I-band ratio without a
// wavelength, else the five band ratios interpolated at it. 0 without a record.
double ComputeImageSizeRatio(const ImageSizeReference *reference, double airMass);
