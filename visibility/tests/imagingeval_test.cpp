// Tests of the imaging model for one moment: filters, neutral density, the
// clear bands, the horizon, bad indices and the limiting magnitude.
#include "visibility/imagingeval.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "astro/airmass.h"
#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "ephem/sunmoon.h"
#include "instruments/bands.h"
#include "instruments/camerageometry.h"
#include "instruments/instrumentrecord.h"
#include "photometry/seeing.h"
#include "photometry/skybright.h"
#include "visibility/bandconditions.h"
#include "visibility/snrcore.h"
#include "visibility/tests/imagingfixture.h"

namespace {

using namespace imagingtest;

TEST(ImagingEval, FilterAtABandUsesThatBandExactly) {
    Scene s;
    double ext[5], size[5], sky[5];
    s.Bands(ext, size, sky);
    const CameraEntry *cam = &s.optics->cameras[0];
    double omega = ComputePixelSolidAngle(s.optics.get(), cam, 1);
    ASSERT_GT(omega, 0.0);
    const double v = 12.0, bv = 0.8;
    const struct {
        int filter, band;
        double magnitude;
    } cases[] = {{kFilterV, 2, v}, {kFilterFarRed, 4, EstimateIMagnitude(v, bv)},
                 {kFilterFarBlue, 0, EstimateUMagnitude(v, bv)}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.filter);
        double error, signal, sky1, imageSize;
        double snr = EvaluateStarImaging(&s.site, &s.date, s.optics.get(), 0, c.filter, &s.state, v,
                                         bv, 60.0, 1, &error, &signal, &sky1, &imageSize);
        double w = size[c.band] * kPi / 648000;
        double e2, s2, b2;
        double expected = ComputeStarSnr(s.optics.get(), cam, &cam->filters[c.filter], omega,
                                         ext[c.band], w, w, c.magnitude, sky[c.band], 60.0, &e2,
                                         &s2, &b2);
        EXPECT_DOUBLE_EQ(expected, snr);
        EXPECT_DOUBLE_EQ(s2, signal);
        EXPECT_DOUBLE_EQ(b2, sky1);
        EXPECT_DOUBLE_EQ(w, imageSize);
    }
}

TEST(ImagingEval, NeutralDensityAgainstTheClearBands) {
    Scene s;
    double e1, s1, b1, e2, s2, b2;
    double clear = EvaluateStarImaging(&s.site, &s.date, s.optics.get(), 0, -1, &s.state, 11.0, 0.6,
                                       30.0, 1, &e1, &s1, &b1, nullptr);
    double nd = EvaluateStarImaging(&s.site, &s.date, s.optics.get(), 0, kFilterNd1, &s.state, 11.0,
                                    0.6, 30.0, 1, &e2, &s2, &b2, nullptr);
    EXPECT_GT(clear, 0.0);
    EXPECT_EQ(clear, nd);
    EXPECT_EQ(s1, s2);
    EXPECT_EQ(b1, b2);
    EXPECT_EQ(e1, e2);

    // Transmission 0.5 halves signal and sky; read and dark terms stay.
    double sig[2], sk[2], rd[2], dk[2], pp[2];
    ASSERT_EQ(1, EvaluateStarSignalParts(&s.site, &s.date, s.optics.get(), 0, -1, &s.state, 11.0,
                                         0.6, 30.0, 1, &sig[0], &sk[0], &rd[0], &dk[0], &pp[0]));
    ASSERT_EQ(1, EvaluateStarSignalParts(&s.site, &s.date, s.optics.get(), 0, kFilterNdHalf,
                                         &s.state, 11.0, 0.6, 30.0, 1, &sig[1], &sk[1], &rd[1],
                                         &dk[1], &pp[1]));
    EXPECT_NEAR(sig[1], 0.5 * sig[0], 1e-9 * sig[0]);
    EXPECT_NEAR(sk[1], 0.5 * sk[0], 1e-9 * sk[0]);
    EXPECT_NEAR(pp[1], 0.5 * pp[0], 1e-9 * pp[0]);
    EXPECT_EQ(rd[0], rd[1]);
    EXPECT_EQ(dk[0], dk[1]);
    double ext[2][3];
    ASSERT_EQ(1, EvaluateExtendedSignalParts(&s.site, &s.date, s.optics.get(), 0, kFilterNdHalf,
                                             &s.state, 20.0, 0.6, 30.0, 1, &ext[0][0], &ext[0][1],
                                             &ext[0][2], nullptr));
    ASSERT_EQ(1, EvaluateExtendedSignalPartsClear(&s.site, &s.date, s.optics.get(), 0, &s.state,
                                                  20.0, 0.6, 30.0, 1, &ext[1][0], &ext[1][1],
                                                  &ext[1][2], nullptr));
    EXPECT_NEAR(ext[0][0], 0.5 * ext[1][0], 1e-9 * ext[1][0]);
    EXPECT_EQ(ext[0][2], ext[1][2]);
}

TEST(ImagingEval, HorizonAndBadIndices) {
    Scene s;
    // Exactly at the dip the object is evaluated; just below it is not.
    s.state.targetAltitude = s.site.horizonDip;
    double error = -5;
    EXPECT_GT(EvaluateStarImaging(&s.site, &s.date, s.optics.get(), 0, kFilterV, &s.state, 8.0, 0.5,
                                  10.0, 1, &error, nullptr, nullptr, nullptr),
              0.0);
    s.state.targetAltitude = s.site.horizonDip - 1e-6;
    EXPECT_EQ(0.0, EvaluateStarImaging(&s.site, &s.date, s.optics.get(), 0, kFilterV, &s.state, 8.0,
                                       0.5, 10.0, 1, &error, nullptr, nullptr, nullptr));
    EXPECT_EQ(0.0, error);
    EXPECT_EQ(0.0, EvaluateSubExposureLength(&s.site, &s.date, s.optics.get(), 0, kFilterV,
                                             &s.state, 1));
    double sig = 7, sky = 7, rd = 7, dk = 7;
    EXPECT_EQ(1, EvaluateStarSignalParts(&s.site, &s.date, s.optics.get(), 0, kFilterV, &s.state,
                                         8.0, 0.5, 10.0, 1, &sig, &sky, &rd, &dk, nullptr));
    EXPECT_EQ(0.0, sig + sky + rd + dk);
    s.state.targetAltitude = 40 * kDeg;

    // Failures leave the outputs alone.
    const struct {
        const OpticsBlock *optics;
        int camera, filter;
    } bad[] = {{s.optics.get(), 1, kFilterV}, {s.optics.get(), -1, kFilterV},
               {s.optics.get(), 0, kFilterCount}, {s.optics.get(), 0, 60}, {nullptr, 0, kFilterV}};
    for (const auto &b : bad) {
        SCOPED_TRACE(testing::Message() << b.camera << "/" << b.filter);
        double e = 7, g = 7, k = 7, w = 7;
        EXPECT_EQ(-1.0, EvaluateStarImaging(&s.site, &s.date, b.optics, b.camera, b.filter, &s.state,
                                            8.0, 0.5, 10.0, 1, &e, &g, &k, &w));
        EXPECT_EQ(28.0, e + g + k + w);
        EXPECT_EQ(0, EvaluateStarSignalParts(&s.site, &s.date, b.optics, b.camera, b.filter,
                                             &s.state, 8.0, 0.5, 10.0, 1, &e, &g, &k, &w, nullptr));
        EXPECT_EQ(28.0, e + g + k + w);
        EXPECT_EQ(-1.0, EvaluateExtendedExposureForSnr(&s.site, &s.date, b.optics, b.camera,
                                                       b.filter, &s.state, 20, 0.5, 10, 1));
    }
}

TEST(ImagingEval, ExposureForSnrRoundTrips) {
    Scene s;
    for (int filter : {-1, int(kFilterV), int(kFilterNdHalf)}) {
        SCOPED_TRACE(filter);
        double t = EvaluateStarExposureForSnr(&s.site, &s.date, s.optics.get(), 0, filter, &s.state,
                                              16.0, 0.7, 20.0, 1);
        ASSERT_GT(t, 0.0);
        double snr = EvaluateStarImaging(&s.site, &s.date, s.optics.get(), 0, filter, &s.state, 16.0,
                                         0.7, t, 1, nullptr, nullptr, nullptr, nullptr);
        EXPECT_NEAR(20.0, snr, 1e-8);
        t = EvaluateExtendedExposureForSnr(&s.site, &s.date, s.optics.get(), 0, filter, &s.state,
                                           21.0, 0.7, 5.0, 2);
        snr = EvaluateExtendedImaging(&s.site, &s.date, s.optics.get(), 0, filter, &s.state, 21.0,
                                      0.7, t, 2, nullptr, nullptr, nullptr);
        EXPECT_NEAR(5.0, snr, 1e-8);
    }
}

TEST(ImagingEval, LimitingMagnitude) {
    Scene s;
    double m = FindLimitingMagnitudeForSnr(&s.site, &s.date, s.optics.get(), 0, kFilterV, &s.state,
                                           10.0, 300.0, 1, 1);
    ASSERT_LT(m, 99.0);
    auto snr = [&](double mag) {
        return EvaluateStarImaging(&s.site, &s.date, s.optics.get(), 0, kFilterV, &s.state, mag, 0,
                                   300.0, 1, nullptr, nullptr, nullptr, nullptr);
    };
    EXPECT_GT(snr(m - 0.1), 10.0);
    EXPECT_LT(snr(m + 0.1), 10.0);
    // Four frames reach 0.75 mag fainter (sqrt(4) in SNR, about 2.5 log 2 in
    // flux where the sky dominates).
    double m4 = FindLimitingMagnitudeForSnr(&s.site, &s.date, s.optics.get(), 0, kFilterV, &s.state,
                                            10.0, 300.0, 4, 1);
    EXPECT_GT(m4, m + 0.4);
    EXPECT_LT(m4, m + 0.9);
    // Below the horizon or with a bad camera: none, not a bright -26.
    EXPECT_DOUBLE_EQ(99.9, FindLimitingMagnitudeForSnr(&s.site, &s.date, s.optics.get(), 3, kFilterV,
                                                       &s.state, 10.0, 300.0, 1, 1));
    s.state.targetAltitude = -0.2;
    EXPECT_DOUBLE_EQ(99.9, FindLimitingMagnitudeForSnr(&s.site, &s.date, s.optics.get(), 0, kFilterV,
                                                       &s.state, 10.0, 300.0, 1, 1));
}

TEST(ImagingEval, TransitAndImageSizes) {
    Scene s;
    double error = 0;
    double ideal = EvaluateStarImagingAtTransit(&s.site, s.optics.get(), 0, kFilterV, 14.0, 0.5,
                                                1.0, 30 * kDeg, 300.0, 1, 1, &error);
    EXPECT_GT(ideal, 0.0);
    EXPECT_NEAR(1.086 / ideal, error, 1e-12);
    EXPECT_EQ(-1.0, EvaluateExtendedImagingAtTransit(&s.site, s.optics.get(), 2, -1, 20.0, 0.5, 1.0,
                                                     0.5, 300.0, 1, 0, &error));
    // A filter at V takes the V size; no filter the mean of the five.
    double size[5];
    ComputeStarImageSizes(1.5, ComputeAirMass(0.7), 200.0, size);
    EXPECT_DOUBLE_EQ(size[2], ComputeFilterStarImageSize(&s.site, s.optics.get(), 0, kFilterV, 1.5, 0.7));
    double mean = (size[0] + size[1] + size[2] + size[3] + size[4]) / 5;
    EXPECT_NEAR(mean, ComputeFilterStarImageSize(&s.site, s.optics.get(), 0, -1, 1.5, 0.7), 1e-12);
    EXPECT_NEAR(mean, ComputeFilterStarImageSize(&s.site, s.optics.get(), 0, kFilterNdHalf, 1.5, 0.7), 1e-12);
    EXPECT_EQ(0.0, ComputeFilterStarImageSize(&s.site, s.optics.get(), 0, kFilterV, 1.5, -0.1));
    EXPECT_EQ(0.0, ComputeFilterStarImageSize(&s.site, s.optics.get(), 0, kFilterCount, 1.5, 0.7));
}

}  // namespace
