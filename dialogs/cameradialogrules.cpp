// Reading the camera edit dialog's fields (see cameradialogrules.h).
#include "dialogs/cameradialogrules.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/angleparse.h"
#include "core/textutil.h"

namespace {

// 1 when the text reads as a number (ParseSexagesimal).
int Number(const std::string &text, double *value) {
    const double v = ParseSexagesimal(text.c_str());
    if (v == kNoRealValue || !std::isfinite(v)) return 0;
    *value = v;
    return 1;
}

bool Blank(const std::string &text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

// A whole pixel count 1..kMaxCameraPixels from the whole part of a number.
int PixelCount(const std::string &text, int32_t *count) {
    double v = 0;
    if (!Number(text, &v)) return 0;
    v = std::trunc(v);
    if (v < 1 || v > kMaxCameraPixels) return 0;
    *count = static_cast<int32_t>(v);
    return 1;
}

}  // namespace

int ReadCameraFields(const CameraDialogFields &f, const CcdCurveRow *table, int rows,
                     CameraEntry *camera) {
    CameraEntry &c = *camera;
    c.kind = static_cast<uint8_t>(f.kind);
    std::snprintf(c.name, sizeof c.name, "%.32s", f.name.c_str());

    double v = 0;
    if (f.kind == 2) {
        c.readNoise = 15.0;
        c.gain = 1.0;
        c.binnedGain = 1.0;
        c.darkSignal = 2.0;
    } else {
        if (!Number(f.readNoise, &v) || v <= 0) return 0;
        c.readNoise = v;
        if (!Number(f.gain, &v) || v <= 0) return 0;
        c.gain = v;
        if (Blank(f.binnedGain)) {
            c.binnedGain = c.gain;
        } else {
            if (!Number(f.binnedGain, &v) || v <= 0) return 0;
            c.binnedGain = v;
        }
        if (Blank(f.darkSignal)) {
            c.darkSignal = 0.0;
        } else {
            if (!Number(f.darkSignal, &v) || v < 0) return 0;
            c.darkSignal = v;
        }
    }

    int32_t count = 0;
    if (!PixelCount(f.pixelsAcross, &count)) return 0;
    c.pixelsAcross = count;
    if (!PixelCount(f.pixelsDown, &count)) return 0;
    c.pixelsDown = count;
    if (!Number(f.pixelWidth, &v) || v <= 0) return 0;
    c.pixelWidth = v;
    c.pixelHeight = (Number(f.pixelHeight, &v) && v > 0) ? v : double{c.pixelWidth};
    c.pixelDiagonal = std::sqrt(c.pixelWidth * c.pixelWidth + c.pixelHeight * c.pixelHeight);
    c.sensorWidth = c.pixelsAcross * c.pixelWidth * 0.001;
    c.sensorHeight = c.pixelsDown * c.pixelHeight * 0.001;

    if (f.kind == 2) {
        LensRecord &lens = c.lenses[0];
        std::memset(&lens, 0, sizeof lens);
        std::snprintf(lens.name, sizeof lens.name, "%s", "Built in");
        lens.focalLength = (Number(f.lensFocalLength, &v) && v > 0) ? v : 0.0;
        lens.focalRatio = 1.0;
        lens.poolId = 0;
        c.lensCount = 1;
    }

    if (f.curveChoice > 0) {
        if (!table || f.curveChoice > rows) return 0;
        std::snprintf(c.curveName, sizeof c.curveName, "%.32s", table[f.curveChoice - 1].name);
    } else {
        c.curveName[0] = 0;
        for (int i = 0; i < kQuantumEfficiencyPoints; ++i) {
            if (!Number(f.curve[i], &v) || v < 0 || v > 100) return 0;
            c.quantumEfficiency[i] = v;
        }
    }

    if (f.kind != 0) return 1;

    c.guider = static_cast<uint8_t>(f.guider ? 1 : 0);
    const bool on = f.guider != 0;
    double x = 0, y = 0;
    const int xRead = Number(f.guiderOffsetX, &x), yRead = Number(f.guiderOffsetY, &y);
    if (on && (!xRead || !yRead)) return 0;
    c.guiderOffsetX = xRead ? static_cast<float>(x) : 0.0f;
    c.guiderOffsetY = yRead ? static_cast<float>(y) : 0.0f;
    int32_t across = 0, down = 0;
    const int acrossRead = PixelCount(f.guiderPixelsAcross, &across);
    const int downRead = PixelCount(f.guiderPixelsDown, &down);
    if (on && (!acrossRead || !downRead)) return 0;
    c.guiderPixelsAcross = acrossRead ? across : 0;
    c.guiderPixelsDown = downRead ? down : 0;
    const int widthRead = Number(f.guiderPixelWidth, &v) && v > 0;
    if (on && !widthRead) return 0;
    c.guiderPixelWidth = widthRead ? static_cast<float>(v) : 0.0f;
    c.guiderPixelHeight = (Number(f.guiderPixelHeight, &v) && v > 0) ? static_cast<float>(v)
                                                                      : float{c.guiderPixelWidth};
    c.guiderWidth = static_cast<float>(c.guiderPixelsAcross * c.guiderPixelWidth * 0.001);
    c.guiderHeight = static_cast<float>(c.guiderPixelsDown * c.guiderPixelHeight * 0.001);
    return 1;
}
