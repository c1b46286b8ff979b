// Building the camera copy that an optics block holds from a camera's values.
#pragma once

#include "instruments/camerarecords.h"

// Fills the camera's own fields: kind, pool id, name and curve name (at most 32
// characters each), read noise, gains (a binned gain of 0 becomes the unbinned
// one, in the caller's pair too), dark signal, pixel counts and sizes, bit
// depth; the sensor size is recomputed as pixels x pixel size x 0.001 mm (the
// sizes passed in are not kept) and the pixel diagonal as the hypotenuse of the
// pixel sizes. With an empty curve name the 13 curve values are copied from
// the given array, or set to 100 percent when none is given; with a curve name
// the curve already in the entry stays. The field sizes and the reserved
// fields are zeroed. With a guider the guider block is set (chip size from its
// pixels), else its 33 bytes are zeroed. Filters, lenses and their counts are
// not touched.
void InitCameraEntry(CameraEntry *entry, int poolId, int kind, const char *name, double readNoise,
                     double gains[2], double darkSignal, double sensorWidth, double sensorHeight,
                     int pixelsAcross, int pixelsDown, double pixelWidth, double pixelHeight,
                     int bitDepth, const char *curveName, const double *curve, int guider,
                     double guiderOffsetX, double guiderOffsetY, double guiderPixelWidth,
                     double guiderPixelHeight, int guiderPixelsAcross, int guiderPixelsDown);
