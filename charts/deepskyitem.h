// The plotted item of a deep-sky or user object: its symbol size in pixels
// and the angle it is drawn at. (The deep-sky layers carry the rest of it.)
#pragma once
#include <cstdint>

struct DeepSkyPlotItem {
    int32_t majorSize;  // pixels
    int32_t minorSize;  // pixels
    double angle;       // on entry the object's position angle; on exit the drawing angle
};
