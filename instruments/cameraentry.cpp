// The camera copy of an optics block, built from a camera's values.
#include "instruments/cameraentry.h"

#include <cmath>

#include "core/textutil.h"

void InitCameraEntry(CameraEntry *e, int poolId, int kind, const char *name, double readNoise,
                     double gains[2], double darkSignal, double sensorWidth, double sensorHeight,
                     int pixelsAcross, int pixelsDown, double pixelWidth, double pixelHeight,
                     int bitDepth, const char *curveName, const double *curve, int guider,
                     double guiderOffsetX, double guiderOffsetY, double guiderPixelWidth,
                     double guiderPixelHeight, int guiderPixelsAcross, int guiderPixelsDown) {
    if (!e) return;
    (void)sensorWidth;
    (void)sensorHeight;
    e->kind = (uint8_t)kind;
    CopyStringZeroFilled(e->name, name ? name : "", (int)sizeof e->name);

    double gain = gains ? gains[0] : 0.0, binned = gains ? gains[1] : 0.0;
    if (binned == 0.0) {
        binned = gain;
        if (gains) gains[1] = gain;
    }
    e->readNoise = readNoise;
    e->gain = gain;
    e->binnedGain = binned;
    e->darkSignal = darkSignal;

    e->poolId = poolId;
    e->pixelsAcross = pixelsAcross;
    e->pixelsDown = pixelsDown;
    e->pixelWidth = pixelWidth;
    e->pixelHeight = pixelHeight;
    e->bitDepth = (uint8_t)bitDepth;
    const char *curveText = curveName ? curveName : "";
    CopyStringZeroFilled(e->curveName, curveText, (int)sizeof e->curveName);

    if (curveText[0] == '\0') {
        for (int i = 0; i < kQuantumEfficiencyPoints; ++i)
            e->quantumEfficiency[i] = curve ? curve[i] : 100.0;
    }

    // Micrometres to millimetres.
    e->pixelDiagonal = std::sqrt(pixelWidth * pixelWidth + pixelHeight * pixelHeight);
    e->sensorWidth = pixelsAcross * pixelWidth * 0.001;
    e->sensorHeight = pixelsDown * pixelHeight * 0.001;

    e->fieldWidth = 0.0;
    e->fieldHeight = 0.0;
    e->reserved1 = 0;
    e->reserved2 = 0;
    e->reserved3 = 0;
    e->guiderFieldWidth = 0.0f;
    e->guiderFieldHeight = 0.0f;

    if (guider) {
        e->guider = 1;
        e->guiderPixelWidth = (float)guiderPixelWidth;
        e->guiderPixelHeight = (float)guiderPixelHeight;
        e->guiderWidth = (float)(guiderPixelsAcross * guiderPixelWidth * 0.001);
        e->guiderHeight = (float)(guiderPixelsDown * guiderPixelHeight * 0.001);
        e->guiderPixelsAcross = guiderPixelsAcross;
        e->guiderPixelsDown = guiderPixelsDown;
        e->guiderOffsetX = (float)guiderOffsetX;
        e->guiderOffsetY = (float)guiderOffsetY;
    } else {
        // The flag and the eight guider values before the guider field sizes.
        e->guider = 0;
        e->guiderPixelWidth = e->guiderPixelHeight = 0.0f;
        e->guiderWidth = e->guiderHeight = 0.0f;
        e->guiderPixelsAcross = e->guiderPixelsDown = 0;
        e->guiderOffsetX = e->guiderOffsetY = 0.0f;
    }
}
