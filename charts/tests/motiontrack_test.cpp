// Motion-track set-up: the rounding of steps, ticks and their labels, the
// tick history, the set-up's step for a planet, its failures (which give the
// chart its time back), and the sampled J2000 path of a track.
#include "charts/motiontrack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "astro/angletext.h"
#include "charts/solarlayer.h"
#include "charts/tests/solarfixture.h"

namespace {

using solartest::kDeg;
using solartest::PixelDistance;

TEST(TrackSteps, RoundTrackStepTable) {
    struct Case {
        double days, expected;
    } cases[] = {
        {0.4, 10.0 / 24},             // hours
        {400, 365.25},                // years
        {0.0005, 43.0 / 86400},       // seconds (43.2 s)
        {30.4, 30},                   // days
        {1.0 / 1440, 1.0 / 1440},     // one minute: the minute branch
        {0.99 / 1440, 59.0 / 86400},  // just under a minute: seconds (59.4 s)
        {1.0 / 24, 1.0 / 24},         // one hour: the hour branch
        {0.5 / 24, 30.0 / 1440},      // half an hour in minutes
        {1.0, 1.0},
        {2.5, 3.0},                   // half away from zero
        {365.0, 365.0},
        {547.875, 730.5},             // 1.5 years: 2 years
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.days);
        EXPECT_NEAR(RoundTrackStep(k.days), k.expected, 1e-12);
    }
    EXPECT_DOUBLE_EQ(ScaleTrackStep(2.0, 10, 20), 4.0);
    EXPECT_DOUBLE_EQ(ScaleTrackStep(2.0, 0, 20), 40.0);  // a point on the same pixel counts as 1
    EXPECT_DOUBLE_EQ(ScaleTrackStepRounded(0.4, 20, 20), 10.0 / 24);
}

TEST(TrackLabels, CharacterAfterColon) {
    struct Case {
        const char *text;
        char expected;
    } cases[] = {{"12:34", '3'}, {"abc", 'c'}, {"x:", '\0'}, {"", '\0'}, {nullptr, '\0'}};
    for (const Case &k : cases) EXPECT_EQ(GetCharacterAfterColon(k.text), k.expected);
}

TEST(TrackLabels, TickHistoryKeepsTheSixLatestAndPointsTheLabelAway) {
    TickHistory h;
    std::memset(&h, 0, sizeof h);
    h.labelOffset = 20;
    int x = 0, y = 0;
    double angle = 0;
    EXPECT_EQ(ComputeTickLabelOffset(&h, 10, 10, &x, &y, &angle), 0);
    for (int i = 0; i < 8; ++i) PushTickHistory(&h, i * 10, 0);
    ASSERT_EQ(h.count, kTickHistorySize);
    EXPECT_EQ(h.x[0], 20);
    EXPECT_EQ(h.x[5], 70);
    // Moving along +x: the label stands a quarter turn round, 20 pixels off.
    ASSERT_EQ(ComputeTickLabelOffset(&h, 80, 0, &x, &y, &angle), 1);
    EXPECT_NEAR(angle, kPi / 2, 1e-12);
    EXPECT_EQ(x, 80);
    EXPECT_EQ(y, 20);
    // Every point within 5 pixels: the oldest gives the direction.
    ResetTickHistory(&h);
    PushTickHistory(&h, 0, 0);
    PushTickHistory(&h, 3, 0);
    PushTickHistory(&h, 3, 3);
    ASSERT_EQ(ComputeTickLabelOffset(&h, 4, 4, &x, &y, &angle), 1);
    EXPECT_NEAR(angle, std::atan2(4.0, 4.0) + kPi / 2, 1e-12);
}

TEST(TrackLabels, TickLabelTable) {
    const int style = AngleTextStyle;
    SetAngleTextStyle(0, 0);  // h m s
    std::unique_ptr<ChartContext> c(new ChartContext);
    std::memset(c.get(), 0, sizeof *c);
    c->currentDate.month = 6;
    c->currentDate.day = 15;
    c->currentDate.year = 2024;
    c->currentDate.localHours = 14 + 5.0 / 60 + 7.0 / 3600;  // 14:05:07
    MotionTrack t;
    std::memset(&t, 0, sizeof t);
    struct Case {
        double interval;
        int fullDate, lastDay;
        const char *expected;
    } cases[] = {
        {1.0 / 1440, 1, -1, "6/15 14h05m07s"},
        {1.0 / 1440, 0, -1, "14h05m07s"},    // no colon: the whole time
        {2.0 / 24, 0, 15, "14h05m"},         // the same day: the time alone
        {2.0 / 24, 0, 14, "6/15 14h05m"},    // a new day: the date again
        {2.0 / 24, 1, 15, "6/15 14h05m"},    // the full-date flag always gives it
        {0.75, 0, -1, "6/15 14h"},
        {5.0, 0, -1, "6/15"},
        {60.0, 0, -1, "2024/6/15"},
        {400.0, 1, -1, "2024/6"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.expected);
        t.tickInterval = k.interval;
        t.lastLabelledDay = k.lastDay;
        char buffer[kTickLabelSize];
        EXPECT_STREQ(FormatTrackTickLabel(c.get(), &t, buffer, k.fullDate), k.expected);
    }
    // With colons the short label is the time after its first colon.
    SetAngleTextStyle(1, 0);
    t.tickInterval = 1.0 / 1440;
    char time[40], buffer[kTickLabelSize];
    FormatRightAscension(time, c->currentDate.localHours);
    const char *colon = std::strchr(time, ':');
    ASSERT_NE(colon, nullptr);
    EXPECT_STREQ(FormatTrackTickLabel(c.get(), &t, buffer, 0), colon + 1);
    EXPECT_EQ(std::strncmp(colon + 1, "05:07", 5), 0);
    SetAngleTextStyle(style, 0);
}

// ---- set-up on a real chart ------------------------------------------------------

class TrackSetUp : public solartest::SolarChart {
protected:
    void TearDown() override {
        FreeMotionTrackSamples(&track);
        solartest::SolarChart::TearDown();
    }
    // Mars at opposition, a 20-degree chart centred on it.
    void LookAtMars(int frame = kFrameJ2000) {
        ASSERT_EQ(SetChartTime(c.get(), kMarsDate), 1);
        BodyRecord body;
        double ra = 0, dec = 0, d = 0, m = 0;
        ASSERT_EQ(ComputeSolarObjectPlace(c.get(), nullptr, kHitClassSolarSystem, 0, kBodyMars,
                                          nullptr, &body, ComputeEarthHeliocentric(&c->currentDate),
                                          &ra, &dec, &d, &m, nullptr),
                  1);
        c->frameMode = kFrameJ2000;
        ASSERT_EQ(ConvertBodyToChartFrame(c.get(), &body, &ra, &dec, &m), 1);
        ASSERT_EQ(Look(frame, ra, dec, 20 * kDeg), 1);
    }
    // Mars's pixel at the chart's current date.
    void MarsPixel(int *x, int *y) {
        BodyRecord body;
        double ra = 0, dec = 0, d = 0, m = 0;
        ASSERT_EQ(ComputeSolarObjectPlace(c.get(), nullptr, kHitClassSolarSystem, 0, kBodyMars,
                                          nullptr, &body, ComputeEarthHeliocentric(&c->currentDate),
                                          &ra, &dec, &d, &m, nullptr),
                  1);
        ASSERT_EQ(ConvertBodyToChartFrame(c.get(), &body, &ra, &dec, &m), 1);
        ASSERT_EQ(ProjectChartPoint(c.get(), ra, dec, x, y), 1);
    }
    static constexpr double kMarsDate = 2459135.5;  // 2020-10-13, opposition
    MotionTrack track{};
};

// With a label spacing of 40 and a pixel step of 20 the ticks fall every 7
// steps and 70 pixels apart; the step moves Mars about 20 pixels.
TEST_F(TrackSetUp, PlanetStepMovesAboutThePixelStepAndTicksFollowTheSpacing) {
    LookAtMars();
    ASSERT_EQ(InitMotionTrack(c.get(), &track, kHitClassSolarSystem, 0, kBodyMars, kTrackOneObject,
                              0, 60.0, 40, 20, 0),
              1);
    DateRecord saved = c->savedDate;
    ASSERT_EQ(SetUpMotionTrack(c.get(), &track, &saved, kHitClassSolarSystem, 0, kBodyMars,
                               kSetUpOwnMotion, 0, nullptr, 20),
              1);
    ASSERT_GT(track.step, 0.0);
    EXPECT_DOUBLE_EQ(RoundTrackStep(track.step), track.step);
    EXPECT_DOUBLE_EQ(track.tickInterval, 7 * track.step);
    EXPECT_EQ(track.pixelsBetweenTicks, 70);
    // Start half the span before the chart time, end half after; the current
    // date at the start.
    const double startJd = track.start.julianDate, deltaT = track.start.deltaT;
    EXPECT_NEAR(startJd, kMarsDate - 30, 1e-6);
    EXPECT_NEAR(JulianDateFromCenturies(track.end), kMarsDate + 30 + deltaT, 1e-4);
    const double currentJd = c->currentDate.julianDate;
    EXPECT_EQ(currentJd, startJd);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    RestoreChartTime(c.get());
    MarsPixel(&x0, &y0);
    AdvanceChartTime(c.get(), track.step);
    MarsPixel(&x1, &y1);
    double moved = PixelDistance(x0, y0, x1, y1);
    EXPECT_GE(moved, 10.0);
    EXPECT_LE(moved, 40.0);
}

// A failed set-up gives the chart its time back: a comet that is not in the
// file, a double-star orbit (not followed by this chart).
TEST_F(TrackSetUp, FailuresRestoreTheChartTime) {
    LookAtMars();
    ASSERT_EQ(InitMotionTrack(c.get(), &track, kHitClassComet, 0, 999999, kTrackOneObject, 0, 30.0,
                              40, 20, 0),
              1);
    DateRecord later = c->savedDate;
    later.julianDate += 10;
    EXPECT_EQ(SetUpMotionTrack(c.get(), &track, &later, kHitClassComet, 0, 999999, kSetUpOwnMotion,
                               0, nullptr, 20),
              0);
    EXPECT_TRUE(DatesEqual());
    EXPECT_EQ(SetUpMotionTrack(c.get(), &track, &later, 5, 5, 1, kSetUpDoubleStarOrbit, 0, nullptr,
                               20),
              0);
    EXPECT_TRUE(DatesEqual());
    // A pixel step of 0 would never move the track.
    EXPECT_EQ(InitMotionTrack(c.get(), &track, kHitClassSolarSystem, 0, kBodyMars, kTrackOneObject,
                              0, 30.0, 40, 0, 0),
              0);
}

// The sampled path: J2000 places of Mars along the span at the track step,
// the chart centre after them, the chart time restored.
TEST_F(TrackSetUp, SampledPathFollowsThePlanetAndEndsWithTheCentre) {
    LookAtMars();
    ASSERT_EQ(InitMotionTrack(c.get(), &track, kHitClassSolarSystem, 0, kBodyMars, kTrackOneObject,
                              1, 20.0, 40, 20, 0),
              1);
    EXPECT_TRUE(DatesEqual());
    EXPECT_EQ(track.needsSetUp, 1);
    ASSERT_GT(track.step, 0.0);
    const long expected = std::lround(20.0 / track.step);
    EXPECT_EQ(track.sampleCount, expected);
    ASSERT_NE(track.sampleRightAscensions, nullptr);
    EXPECT_FLOAT_EQ(track.sampleRightAscensions[track.sampleCount],
                    static_cast<float>(c->centreRightAscension));
    EXPECT_FLOAT_EQ(track.sampleDeclinations[track.sampleCount],
                    static_cast<float>(c->centreDeclination));
    // The first sample is Mars at the start of the span.
    AdvanceChartTime(c.get(), -10.0);
    BodyRecord body;
    double ra = 0, dec = 0, d = 0, m = 0;
    ASSERT_EQ(ComputeSolarObjectPlace(c.get(), nullptr, kHitClassSolarSystem, 0, kBodyMars, nullptr,
                                      &body, ComputeEarthHeliocentric(&c->currentDate), &ra, &dec,
                                      &d, &m, nullptr),
              1);
    ASSERT_EQ(ConvertBodyToChartFrame(c.get(), &body, &ra, &dec, &m), 1);
    EXPECT_LT(AngularSeparation(ra, dec, track.sampleRightAscensions[0], track.sampleDeclinations[0]),
              1.0 / 3600 * kDeg);
    RestoreChartTime(c.get());
}

}  // namespace
