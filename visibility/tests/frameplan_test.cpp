// Tests of frame planning, frame counts and integration over time: steps
// per frame, a setting object, a frame cut to the time, one frame enough,
// frames that do not fit, and integrations carried over several calls.
#include "visibility/frameplan.h"

#include <gtest/gtest.h>

#include <cmath>

#include "visibility/imagingeval.h"
#include "visibility/imaginggrade.h"
#include "visibility/snrcore.h"
#include "visibility/tests/imagingfixture.h"

namespace {

using namespace imagingtest;

TEST(FramePlan, StepsPerFrame) {
    const struct {
        double frame, step;
        int steps;
    } cases[] = {{30, 30, 1}, {300, 60, 5}, {90, 60, 2}, {150, 60, 3}, {60, 60, 1}, {1, 1, 1}};
    for (const auto &c : cases) {
        double step = 0;
        EXPECT_EQ(c.steps, ComputeIntegrationSteps(c.frame, &step)) << c.frame;
        EXPECT_DOUBLE_EQ(c.step, step) << c.frame;
    }
    double step = 1;
    EXPECT_EQ(0, ComputeIntegrationSteps(0, &step));
}

// Right ascension that has the given hour angle at the scene's date.
double RaAtHourAngle(const Scene &s, double hourAngle) {
    return std::fmod(s.date.localApparentSidereal - hourAngle + 4 * kPi, 2 * kPi);
}

TEST(FramePlan, IntegrationOverTime) {
    Scene s;
    double ra = RaAtHourAngle(s, 0.0), dec = 40 * kDeg;  // at the zenith
    double total = 600, error = 0, signal = 0, sky = 0, largest = 0, largestSky = 0;
    int frames = 0;
    double snr = IntegrateStarFrames(&s.site, &s.date, s.optics.get(), 0, kFilterV, ra, dec, 14.0,
                                     0.5, &total, 120.0, 1, &frames, &error, &largest, &largestSky,
                                     &signal, &sky);
    ASSERT_GT(snr, 0.0);
    EXPECT_EQ(5, frames);
    EXPECT_DOUBLE_EQ(600.0, total);
    EXPECT_NEAR(1.086 / snr, error, 1e-12);
    EXPECT_NEAR(signal / 5, largest, 0.01 * largest);  // five like frames
    EXPECT_GT(largestSky, 0.0);
    // Near the zenith for ten minutes the stack is sqrt(5) times one frame.
    SunMoonState state;
    DateRecord mid = s.date;
    MakeLocalDateRecord(&s.site, &s.date, s.date.localHours + 5.0 / 60, &mid);
    ComputeSunMoonState(&s.site, mid.julianDate, ra, dec, &state, 0);
    double one = EvaluateStarImaging(&s.site, &mid, s.optics.get(), 0, kFilterV, &state, 14.0, 0.5,
                                     120.0, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NEAR(std::sqrt(5.0) * one, snr, 0.01 * snr);

    // A frame longer than the time is cut to it.
    total = 100;
    IntegrateStarFrames(&s.site, &s.date, s.optics.get(), 0, kFilterV, ra, dec, 14.0, 0.5, &total,
                        300.0, 1, &frames, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(1, frames);
    EXPECT_DOUBLE_EQ(100.0, total);

    // An object setting ten minutes into an hour stops the integration.
    double setting = RaAtHourAngle(s, (90.0 - 2.5) * kDeg);
    total = 3600;
    snr = IntegrateStarFrames(&s.site, &s.date, s.optics.get(), 0, kFilterV, setting, 0.0, 10.0, 0.5,
                              &total, 60.0, 1, &frames, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_GT(snr, 0.0);
    EXPECT_GT(total, 300.0);
    EXPECT_LT(total, 1200.0);
    EXPECT_DOUBLE_EQ(total, frames * 60.0);

    // Bad arguments.
    total = 600;
    EXPECT_EQ(-1.0, IntegrateStarFrames(&s.site, &s.date, s.optics.get(), 0, kFilterV, ra, dec, 14,
                                        0.5, &total, 0.0, 1, &frames, nullptr, nullptr, nullptr,
                                        nullptr, nullptr));
    EXPECT_EQ(-1.0, IntegrateExtendedFrames(&s.site, &s.date, s.optics.get(), 4, kFilterV, ra, dec,
                                            20, 0.5, &total, 60.0, 1, &frames, nullptr, nullptr,
                                            nullptr, nullptr, nullptr));
}

TEST(FramePlan, PlansAndCounts) {
    Scene s;
    int frames = -1;
    double error = -1;
    // A bright star: one frame already reaches SNR 3.
    double length = PlanStarFrames(&s.site, &s.date, s.optics.get(), 0, kFilterV, &s.state, 8.0, 0.5,
                                   1, 1800, 3.0, &frames, &error);
    ASSERT_GT(length, 0.0);
    EXPECT_EQ(SnapExposureTime(length), length);
    EXPECT_EQ(1, frames);
    // The longest frame caps the plan.
    EXPECT_EQ(5.0, PlanStarFrames(&s.site, &s.date, s.optics.get(), 0, kFilterV, &s.state, 8.0, 0.5,
                                  1, 5.0, 3.0, &frames, &error));
    // Below the horizon dip: nothing.
    s.state.targetAltitude = -0.5;
    EXPECT_EQ(0.0, PlanStarFrames(&s.site, &s.date, s.optics.get(), 0, kFilterV, &s.state, 8.0, 0.5,
                                  1, 1800, 3.0, &frames, &error));
    EXPECT_EQ(0, frames);
    EXPECT_EQ(0.0, error);
    s.state.targetAltitude = 50 * kDeg;
    EXPECT_EQ(-1.0, PlanStarFrames(&s.site, &s.date, s.optics.get(), 2, kFilterV, &s.state, 8.0, 0.5,
                                   1, 1800, 3.0, &frames, &error));

    // Frames of 60 s for SNR 10 on a star that gives about 2 in one frame.
    double one = EvaluateStarImaging(&s.site, &s.date, s.optics.get(), 0, kFilterV, &s.state, 19.0,
                                     0.5, 60.0, 1, nullptr, nullptr, nullptr, nullptr);
    int needed = ComputeFramesForSnr(10.0, one);
    ASSERT_GT(needed, 1);
    EXPECT_EQ(needed, CountStarFrames(&s.site, &s.date, s.optics.get(), 0, kFilterV, &s.state, 19.0,
                                      0.5, 1, needed * 60.0, 60.0, 10.0, &error));
    // They do not fit one frame less of time.
    EXPECT_EQ(0, CountStarFrames(&s.site, &s.date, s.optics.get(), 0, kFilterV, &s.state, 19.0, 0.5,
                                 1, (needed - 1) * 60.0, 60.0, 10.0, &error));
    EXPECT_EQ(0, CountStarFrames(&s.site, &s.date, s.optics.get(), 0, kFilterV, &s.state, 19.0, 0.5,
                                 1, 3600.0, 0.0, 10.0, &error));
}

TEST(FramePlan, IntegrationTimeAndContinuedIntegration) {
    Scene s;
    double ra = RaAtHourAngle(s, 0.0), dec = 40 * kDeg;
    int frames = 0;
    double error = 0;
    double t = FindStarIntegrationTime(&s.site, &s.date, s.optics.get(), 0, kFilterV, ra, dec, 17.0,
                                       0.5, 60.0, 1, 20.0, &frames, &error);
    ASSERT_GT(t, 0.0);
    EXPECT_GT(frames, 1);
    EXPECT_LE(error, 1.086 / 20.0);
    // One step less would not do: integrating t - 60 s stays below 20.
    double total = t - 60.0;
    double less = IntegrateStarFrames(&s.site, &s.date, s.optics.get(), 0, kFilterV, ra, dec, 17.0,
                                      0.5, &total, 60.0, 1, &frames, nullptr, nullptr, nullptr,
                                      nullptr, nullptr);
    EXPECT_LT(less, 20.0);

    // The same reached in two calls, the totals carried over.
    ImagingIntegration state;
    ASSERT_EQ(1, InitImagingIntegration(&state, &s.site, s.optics.get(), 0, kFilterV, ra, dec, 17.0,
                                        0.5, 1, 20.0));
    EXPECT_EQ(0.0, ContinueStarIntegration(&state, &s.date, 60.0, t / 2, &frames));
    double first = state.elapsed;
    DateRecord later;
    MakeLocalDateRecord(&s.site, &s.date, s.date.localHours + state.elapsed / 3600.0, &later);
    double rest = ContinueStarIntegration(&state, &later, 60.0, 86400.0, &frames);
    EXPECT_GT(rest, 0.0);
    EXPECT_NEAR(t, first + rest, 120.0);
    EXPECT_EQ(-1.0, ContinueStarIntegration(&state, &later, 0.0, 600.0, &frames));
    EXPECT_EQ(0, InitImagingIntegration(&state, &s.site, s.optics.get(), 5, 0, ra, dec, 17, 0.5, 1, 20));
    // Never up: no time at all.
    EXPECT_EQ(0.0, FindStarIntegrationTime(&s.site, &s.date, s.optics.get(), 0, kFilterV, ra,
                                           -80 * kDeg, 17.0, 0.5, 60.0, 1, 20.0, &frames, &error));
}

TEST(FramePlan, WindowsIntegratedFromTheirStart) {
    Scene s;
    // The scene's night: 23 h local, the star at the meridian then.
    double ra = RaAtHourAngle(s, 0.0), dec = 40 * kDeg;
    ImagingWindow w[2];
    std::memset(w, 0, sizeof w);
    w[0].start = 22.5;
    w[0].end = 23.5;
    w[0].exposure = 300;
    w[1].start = 23.5;
    w[1].end = 23.5 + 10.0 / 60;
    w[1].exposure = 20;  // raised to 60 s
    IntegrateImagingWindows(&s.site, &s.date, s.optics.get(), 0, kFilterV, 1, ra, dec, 15.0, 0.5,
                            kImagingPointSource, w, 2);
    EXPECT_EQ(12, +w[0].frames);
    EXPECT_DOUBLE_EQ(3600.0, +w[0].time);
    EXPECT_GT(+w[0].snr, 0.0);
    EXPECT_EQ(10, +w[1].frames);
    EXPECT_LT(+w[1].snr, +w[0].snr);
}

}  // namespace
