// A site, a night, a Sun and Moon state and a 200 mm reflector with one
// CCD camera and a few filters, shared by the imaging model's tests.
#pragma once

#include <cstring>
#include <memory>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "ephem/sunmoon.h"
#include "instruments/bands.h"
#include "instruments/instrumentrecord.h"
#include "photometry/skybright.h"
#include "visibility/bandconditions.h"

namespace imagingtest {

const double kDeg = kPi / 180.0;
enum { kFilterV, kFilterNd1, kFilterNdHalf, kFilterFarRed, kFilterFarBlue, kFilterCount };

struct Scene {
    LocationRecord site;
    DateRecord date;
    SunMoonState state;
    std::unique_ptr<OpticsBlock> optics{new OpticsBlock()};
    Scene() {
        InitLocationRecord(&site, 0.0, 40 * kDeg, 0.0, 6.5, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "T");
        site.horizonDip = -0.01;
        SetDateRecord(&date, &site, 10, 15, 2024, 23.0, kLocalTime);
        ComputeDeltaTAndNutation(&date, 0.0);
        ComputeSiderealTimes(&site, &date);
        std::memset(&state, 0, sizeof state);
        state.sunAltitude = -40 * kDeg;
        state.sunTargetSeparation = 120 * kDeg;
        state.moonAltitude = -30 * kDeg;
        state.moonIlluminatedFraction = 0.2;
        state.moonTargetSeparation = 100 * kDeg;
        state.targetAltitude = 50 * kDeg;

        std::memset(optics.get(), 0, sizeof(OpticsBlock));
        optics->type = kOpticsReflector;
        optics->aperture = optics->effectiveAperture = 200.0;
        optics->focalLength = optics->effectiveFocalLength = 1000.0;
        optics->cameraCount = 1;
        CameraEntry &c = optics->cameras[0];
        c.readNoise = 8.0;
        c.darkSignal = 0.05;
        c.gain = c.binnedGain = 1.3;
        c.pixelWidth = c.pixelHeight = 9.0;
        c.pixelsAcross = 1000;
        c.pixelsDown = 1000;
        for (int k = 0; k < 5; k++) {
            c.filters[kCameraBandSlot + k] = *GetBandName(k);
            c.filters[kCameraBandSlot + k].quantumEfficiency = 60.0;
        }
        c.filterCount = kFilterCount;
        c.filters[kFilterV] = c.filters[kCameraBandSlot + 2];
        c.filters[kFilterNd1].surfaceTransmission = 1.0;
        c.filters[kFilterNdHalf].surfaceTransmission = 0.5;
        c.filters[kFilterFarRed] = c.filters[kCameraBandSlot + 4];
        c.filters[kFilterFarRed].wavelength = 1.0;
        c.filters[kFilterFarBlue] = c.filters[kCameraBandSlot + 0];
        c.filters[kFilterFarBlue].wavelength = 0.30;
    }
    // The conditions the model should use at this moment.
    void Bands(double ext[5], double size[5], double sky[5]) {
        double extra[5], k[5];
        ComputeBandNightSkyFlux(extra, site.nakedEyeLimit);
        ComputeBandSkyConditions(&site, &date, 200.0, 0.8 * kPi, state.moonTargetSeparation,
                                 kPi / 2 - state.targetAltitude, kPi / 2 - state.moonAltitude,
                                 kPi / 2 - state.sunAltitude, state.sunTargetSeparation, extra, k,
                                 ext, size, sky);
    }
};

}  // namespace imagingtest
