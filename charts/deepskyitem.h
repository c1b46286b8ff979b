// The plotted item of a deep-sky or user object: its symbol size in pixels,
// the angle it is drawn at, its window position, magnitudes and label.
#pragma once
#include <cstdint>

const int kDeepSkyLabelSize = 38;  // 37 characters and the terminator

struct DeepSkyPlotItem {
    int32_t majorSize;  // pixels (semi-major axis, or the radius of a circle)
    int32_t minorSize;  // pixels (semi-minor axis; 0 for a circle)
    double angle;       // on entry the object's position angle; on exit the drawing angle
    int32_t classCode;  // set by the user deep-sky layer only
    int32_t x, y;       // window pixel (after mirroring)
    double magnitude;
    double secondMagnitude;  // planetary nebulae only
    char label[kDeepSkyLabelSize];
};
