// The rules of the camera edit dialog that need no window: reading its typed
// fields into the camera being edited. The dialog copies its controls into
// CameraDialogFields and calls ReadCameraFields on OK.
#pragma once
#include <string>

#include "instruments/camerarecords.h"
#include "instruments/ccdcurves.h"

// The texts and choices of the dialog's fields.
struct CameraDialogFields {
    int kind = 0;                 // 0 CCD, 1 digital, 2 video/web-cam
    std::string name;
    std::string readNoise, gain, binnedGain, darkSignal;   // e, e-/ADU, e-/ADU, e/s
    std::string pixelsAcross, pixelsDown;
    std::string pixelWidth, pixelHeight;                   // micrometres
    std::string lensFocalLength;                           // mm, kind 2
    int curveChoice = 0;          // 0 "Manual Entry", k the k-th curve of the table
    std::string curve[kQuantumEfficiencyPoints];           // percent, manual entry
    int guider = 0;
    std::string guiderOffsetX, guiderOffsetY;              // mm
    std::string guiderPixelsAcross, guiderPixelsDown;
    std::string guiderPixelWidth, guiderPixelHeight;       // micrometres
};

// The largest pixel count a field accepts (a whole number is taken from a
// real one, which must fit).
const int kMaxCameraPixels = 1000000;

// Checks the fields in the dialog's order and writes each into the camera
// once it has passed its test, so a failure leaves the earlier fields changed
// (the camera dialog stores the camera only after OK). 1 when every field is
// valid, else 0.
//   kind 2: read noise 15 e, gains 1.0, dark signal 2.0 e/s whatever is typed,
//     and one lens "Built in" (focal length from the field when above 0, else
//     0; ratio 1.0; id 0);
//   kinds 0 and 1: read noise and gain above 0; binned gain the gain when
//     empty, else above 0; dark signal 0 when empty, else 0 or more;
//   pixel counts whole numbers 1..kMaxCameraPixels; pixel width above 0, the
//     height the width unless above 0; sensor size and pixel diagonal derived;
//   the curve: a chosen curve's name (its line must lie in the table), or with
//     "Manual Entry" no name and 13 values from 0 to 100;
//   kind 0 only, the guider: with it on, offsets must be numbers, pixel counts
//     whole numbers 1..kMaxCameraPixels and the pixel width above 0; with it off the
//     values are taken as they read (counts 0 when they do not).
int ReadCameraFields(const CameraDialogFields &fields, const CcdCurveRow *table, int rows,
                     CameraEntry *camera);
