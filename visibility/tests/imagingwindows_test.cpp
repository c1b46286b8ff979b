// Tests of imaging grades, practical frame lengths and the windows of a
// night profile: how a night is cut, graded, stacked and widened.
#include "visibility/imagingwindows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "instruments/instrumentrecord.h"
#include "visibility/imaginggrade.h"
#include "visibility/imagingtarget.h"

namespace {

TEST(ImagingGrade, LettersAndSnappedExposures) {
    const struct {
        int grade;
        char letter;
    } letters[] = {{0, 'F'}, {1, 'D'}, {2, 'C'}, {3, 'B'}, {4, 'A'}, {5, ' '}, {-1, ' '}, {255, ' '}};
    for (const auto &c : letters) EXPECT_EQ(c.letter, GetGradeLetter(c.grade)) << c.grade;
    const struct {
        double in, out;
    } snaps[] = {{3, 3},   {7, 5},   {8, 10},  {49, 50},     {50, 60},     {89, 60},
                 {90, 120}, {1800, 1800}, {1900, 1800}, {2000, 2100}, {0.5, 0.5}, {2.5, 2.5}};
    for (const auto &c : snaps) EXPECT_DOUBLE_EQ(c.out, SnapExposureTime(c.in)) << c.in;
}

TEST(ImagingGrade, GradesAndLevelsByKind) {
    const struct {
        double p, r, v;
        int kind, grade, level;
    } cases[] = {
        {95, 0, 0, kImagingOther, 4, 6},   {85, 0, 0, kImagingOther, 3, 5},
        {72, 0, 0, kImagingOther, 2, 4},   {65, 0, 0, kImagingOther, 1, 3},
        {45, 0, 0, kImagingOther, 0, 2},   {25, 0, 0, kImagingOther, 0, 1},
        {10, 0, 0, kImagingOther, 0, 0},
        // The Sun by resolution alone.
        {0, 96, 0, kImagingSun, 4, 6},     {0, 92, 0, kImagingSun, 3, 0},
        {95, 92, 0, kImagingSun, 3, 5},    {100, 89, 0, kImagingSun, 0, 5},
        // Planets and double stars only above the resolution threshold.
        {100, 90, 90, kImagingPlanet, 0, 0}, {100, 90, 95, kImagingDouble, 0, 0},
        {95, 96, 95, kImagingPlanet, 4, 6}, {60, 96, 95, kImagingPlanet, 3, 5},
        {20, 96, 95, kImagingPlanet, 2, 4}, {10, 96, 95, kImagingPlanet, 0, 0},
        {85, 96, 95, kImagingDouble, 3, 5}, {75, 96, 95, kImagingDouble, 3, 4},
        {60, 96, 95, kImagingDouble, 3, 0},
        {95, 96, 0, 7, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "p=" << c.p << " r=" << c.r << " kind=" << c.kind);
        EXPECT_EQ(c.grade, GradeFromPercentage(c.p, c.r, c.v, c.kind));
        EXPECT_EQ(c.level, LevelFromPercentage(c.p, c.r, c.v, c.kind));
    }
}

// A night of 288 samples: the object below the horizon except where set.
struct Night {
    std::vector<ProfileSample> samples = std::vector<ProfileSample>(kProfileSamples);
    Night() {
        for (int i = 0; i < kProfileSamples; i++) {
            std::memset(&samples[i], 0, sizeof samples[i]);
            samples[i].hour = -12.0 + i * 5.0 / 60.0;
        }
    }
    void Set(int from, int to, double p, double frame, double r = 100.0) {
        for (int i = from; i < to; i++) {
            ProfileSample &s = samples[i];
            s.snrPercentage = p;
            s.frameLength = frame;
            s.resolutionPercentage = r;
            s.resolution = 2.0;
            s.imageSize = 3.0;
            s.signal = 1000.0;
            s.sky = 4000.0;
        }
    }
};

TEST(ImagingWindows, NightOfAStarCutByLevel) {
    // Rises at 20 h, excellent until 04 h, fair until 06 h, then sets.
    Night night;
    night.Set(96, 192, 95, 120);
    night.Set(192, 216, 75, 120);
    ImagingWindow w[kImagingWindowCapacity];
    int n = FindImagingWindows(night.samples.data(), w, kImagingWindowCapacity, 1800, kImagingOther,
                               kAstronomicalCamera);
    ASSERT_EQ(2, n);
    EXPECT_NEAR(20.0, w[0].start, 1e-9);
    EXPECT_NEAR(28.0, w[0].end, 1e-9);
    EXPECT_EQ(4, +w[0].grade);
    EXPECT_DOUBLE_EQ(120.0, +w[0].exposure);
    EXPECT_NEAR(28.0, w[1].start, 1e-9);
    EXPECT_NEAR(30.0, w[1].end, 1e-9);
    EXPECT_EQ(2, +w[1].grade);
    EXPECT_NEAR(75.0, w[1].snrPercentage, 1e-9);

    // A window holds at least two samples: an odd sample right after a
    // window opened joins it; one later on starts a window of two samples.
    night.samples[97].snrPercentage = 50;
    n = FindImagingWindows(night.samples.data(), w, kImagingWindowCapacity, 1800, kImagingOther,
                           kAstronomicalCamera);
    ASSERT_EQ(2, n);
    EXPECT_NEAR(28.0, w[0].end, 1e-9);
    EXPECT_NEAR((95.0 * 95 + 50) / 96, w[0].snrPercentage, 1e-9);
    night.samples[97].snrPercentage = 95;
    night.samples[150].snrPercentage = 50;
    n = FindImagingWindows(night.samples.data(), w, kImagingWindowCapacity, 1800, kImagingOther,
                           kAstronomicalCamera);
    ASSERT_EQ(4, n);
    EXPECT_NEAR(24.5, w[0].end, 1e-9);
    EXPECT_NEAR(24.5, w[1].start, 1e-9);
    EXPECT_NEAR(24.5 + 10.0 / 60, w[1].end, 1e-9);
    EXPECT_NEAR(28.0, w[2].end, 1e-9);
    night.samples[150].snrPercentage = 95;

    // A jump of the frame length beyond 10 minutes cuts; the shortest frame
    // of a window sets its exposure.
    night.Set(96, 144, 95, 30);
    night.Set(144, 192, 95, 1200);
    night.Set(192, 216, 75, 1200);
    n = FindImagingWindows(night.samples.data(), w, kImagingWindowCapacity, 1800, kImagingOther,
                           kAstronomicalCamera);
    ASSERT_EQ(3, n);
    EXPECT_NEAR(24.0, w[0].end, 1e-9);
    EXPECT_DOUBLE_EQ(30.0, +w[0].exposure);
    EXPECT_DOUBLE_EQ(1200.0, +w[1].exposure);
}

TEST(ImagingWindows, ObjectThatNeverRisesHasNoWindow) {
    Night night;
    ImagingWindow w[kImagingWindowCapacity];
    for (int kind : {kImagingOther, kImagingPlanet, kImagingSun, kImagingDouble})
        EXPECT_EQ(0, FindImagingWindows(night.samples.data(), w, kImagingWindowCapacity, 1800, kind,
                                        kAstronomicalCamera))
            << kind;
    EXPECT_EQ(0, FindImagingWindows(nullptr, w, kImagingWindowCapacity, 1800, 0, 0));
    EXPECT_EQ(0, FindImagingWindows(night.samples.data(), w, 0, 1800, 0, 0));
}

TEST(ImagingWindows, PlanetWindowsNeedTheBestResolution) {
    // Seeing improves towards midnight; only samples within 5 % of the best
    // resolution of the night count.
    Night night;
    night.Set(96, 144, 95, 10, 80);
    night.Set(144, 192, 95, 10, 100);
    night.Set(192, 240, 95, 10, 93);
    ImagingWindow w[kImagingWindowCapacity];
    int n = FindImagingWindows(night.samples.data(), w, kImagingWindowCapacity, 1800, kImagingPlanet,
                               kAstronomicalCamera);
    ASSERT_EQ(1, n);
    EXPECT_NEAR(24.0, w[0].start, 1e-9);
    EXPECT_NEAR(28.0, w[0].end, 1e-9);
    EXPECT_EQ(4, +w[0].grade);
    EXPECT_DOUBLE_EQ(10.0, +w[0].exposure);  // the mean frame for planets
}

TEST(ImagingWindows, CapacityIsNeverExceeded) {
    // Pairs of samples alternating between two levels: 143 possible windows.
    Night night;
    for (int i = 0; i < kProfileSamples; i += 2) night.Set(i, i + 2, (i / 2) % 2 ? 85 : 95, 60);
    const int capacity = 10;
    std::vector<ImagingWindow> w(capacity + 4);
    for (ImagingWindow &x : w) std::memset(&x, 0xA5, sizeof x);
    int n = FindImagingWindows(night.samples.data(), w.data(), capacity, 1800, kImagingOther,
                               kAstronomicalCamera);
    EXPECT_EQ(capacity - 1, n);
    for (int k = capacity - 1; k < capacity + 4; k++) {
        const uint8_t *bytes = reinterpret_cast<const uint8_t *>(&w[k]);
        for (size_t b = 0; b < sizeof(ImagingWindow); b++) ASSERT_EQ(0xA5, bytes[b]) << k;
    }
}

struct Camera {
    std::unique_ptr<OpticsBlock> optics{new OpticsBlock()};
    Camera(double readNoise, double dark) {
        std::memset(optics.get(), 0, sizeof(OpticsBlock));
        optics->cameraCount = 1;
        optics->cameras[0].readNoise = readNoise;
        optics->cameras[0].darkSignal = dark;
    }
};

TEST(ImagingWindows, StackedSnrOfAWindowByTheCcdEquation) {
    Night night;
    night.Set(96, 192, 95, 300);
    ImagingWindow w[kImagingWindowCapacity];
    ASSERT_EQ(1, FindImagingWindows(night.samples.data(), w, kImagingWindowCapacity, 1800,
                                    kImagingOther, kAstronomicalCamera));
    // 8 hours, 96 samples of 300 s with 1000 e of signal and 4000 e of sky
    // each; 96 frames of 300 s each read once with 10 e and 0.1 e/s of dark.
    Camera cam(10.0, 0.1);
    EstimateWindowSnr(cam.optics.get(), 0, 1, night.samples.data(), w, 1, kImagingExtendedSource);
    double s = 96000, b = 384000, d = 96 * (100 + 300 * 0.1);
    EXPECT_NEAR(s / std::sqrt(s + b + d), w[0].snr, 1e-9);
    EXPECT_EQ(96, +w[0].frames);
    EXPECT_DOUBLE_EQ(8 * 3600.0, +w[0].time);
    // The same stack is sqrt(96) times one 300 s frame.
    EXPECT_NEAR(w[0].snr, std::sqrt(96.0) * 1000 / std::sqrt(5000 + 130), 1e-9);

    // A start a hair before a sample's hour (clock-hour arithmetic) still
    // begins at that sample, not one early, where no light was.
    double exact = w[0].snr;
    w[0].start -= 1e-9;
    w[0].end -= 1e-9;
    EstimateWindowSnr(cam.optics.get(), 0, 1, night.samples.data(), w, 1, kImagingExtendedSource);
    EXPECT_NEAR(exact, +w[0].snr, 1e-9);
    w[0].start += 1e-9;
    w[0].end += 1e-9;

    // A frame length that does not divide the window: one frame more.
    w[0].exposure = 7 * 3600.0 / 2;  // 3.5 h frames in 8 h: three frames
    EstimateWindowSnr(cam.optics.get(), 0, 1, night.samples.data(), w, 1, kImagingExtendedSource);
    EXPECT_EQ(3, +w[0].frames);
    // A bad camera index leaves the windows alone.
    w[0].snr = -7;
    EstimateWindowSnr(cam.optics.get(), 3, 1, night.samples.data(), w, 1, kImagingExtendedSource);
    EXPECT_EQ(-7, +w[0].snr);

    // A span: from 02 h to the window's end, 5-minute frames.
    int grade = -1;
    double resolution = 0;
    double snr = ComputeWindowSnr(cam.optics.get(), 0, 1, night.samples.data(), 26.0, 28.0, 300,
                                  &grade, &resolution, kImagingExtendedSource, kImagingOther);
    s = 24000, b = 96000, d = 24 * 130;
    EXPECT_NEAR(s / std::sqrt(s + b + d), snr, 1e-9);
    EXPECT_EQ(4, grade);
    EXPECT_DOUBLE_EQ(2.0, resolution);
    // A span with no sample, and a span past the end of the night.
    EXPECT_EQ(0.0, ComputeWindowSnr(cam.optics.get(), 0, 1, night.samples.data(), 26.0, 26.0, 300,
                                    &grade, &resolution, kImagingExtendedSource, kImagingOther));
    EXPECT_EQ(0.0, resolution);
    EXPECT_EQ(0.0, ComputeWindowSnr(cam.optics.get(), 0, 1, night.samples.data(), 35.5, 40.0, 300,
                                    &grade, &resolution, kImagingExtendedSource, kImagingOther));
}

TEST(ImagingWindows, PlanetSpanIsGradedAgainstItsBestResolution) {
    Night night;
    night.Set(144, 192, 95, 10, 100);
    Camera cam(5.0, 0.0);
    int grade = -1;
    double resolution = 0;
    ComputeWindowSnr(cam.optics.get(), 0, 1, night.samples.data(), 24.0, 28.0, 10, &grade,
                     &resolution, kImagingExtendedSource, kImagingPlanet);
    EXPECT_EQ(4, grade);
}

ImagingWindow Window(double start, double end, int grade, double p, double snr, double exposure) {
    ImagingWindow w;
    std::memset(&w, 0, sizeof w);
    w.start = start;
    w.end = end;
    w.grade = static_cast<uint8_t>(grade);
    w.snrPercentage = p;
    w.snr = snr;
    w.exposure = exposure;
    w.resolution = 2.0;
    w.resolutionPercentage = 90.0;
    w.imageSize = 3.0;
    return w;
}

TEST(ImagingWindows, BestWindowWidenedWithGoodNeighbours) {
    // 20-22 h fair, 22-24 h excellent, 24-26 h good, 26-27 h poor.
    ImagingWindow w[4] = {Window(20, 22, 2, 72, 30, 60), Window(22, 24, 4, 95, 50, 120),
                          Window(24, 26, 3, 85, 40, 120), Window(26, 27, 0, 30, 5, 300)};
    double start, length, exposure, snr, resolution, size;
    int grade;
    ASSERT_EQ(1, ChooseBestImagingWindow(w, 4, &start, &length, &exposure, &grade, &snr,
                                         &resolution, &size, kImagingOther));
    // Both neighbours join in the first turn; 26-27 h (SNR 5 against 64)
    // does not, nor does anything beyond 20 h.
    EXPECT_DOUBLE_EQ(20.0, start);
    EXPECT_DOUBLE_EQ(6 * 60.0, length);
    EXPECT_NEAR(std::sqrt(30.0 * 30 + 50 * 50 + 40 * 40), snr, 1e-9);
    EXPECT_DOUBLE_EQ(100.0, exposure);
    EXPECT_EQ(3, grade);  // mean p 84

    ImagingSequenceEntry seq[4];
    ASSERT_EQ(3, BuildImagingSequence(seq, w, 4, kImagingOther));
    EXPECT_EQ(1, seq[0].window);
    EXPECT_EQ(0, seq[1].window);
    EXPECT_EQ(2, seq[2].window);
    EXPECT_DOUBLE_EQ(7200.0, seq[0].length);

    // A window already at SNR 100 stands alone.
    w[1].snr = 120;
    ChooseBestImagingWindow(w, 4, &start, &length, &exposure, &grade, &snr, &resolution, &size,
                            kImagingOther);
    EXPECT_DOUBLE_EQ(22.0, start);
    EXPECT_DOUBLE_EQ(120.0, length);
    EXPECT_EQ(4, grade);
    EXPECT_EQ(1, BuildImagingSequence(seq, w, 4, kImagingOther));

    // No windows.
    EXPECT_EQ(0, ChooseBestImagingWindow(w, 0, &start, &length, &exposure, &grade, &snr,
                                         &resolution, &size, kImagingOther));
    EXPECT_EQ(-1.0, start);
    EXPECT_EQ(-1.0, length);
    EXPECT_EQ(-1, grade);
    EXPECT_EQ(0.0, snr);
    // Windows whose SNR was never estimated are not widened (no division by 0).
    for (ImagingWindow &x : w) x.snr = 0;
    ChooseBestImagingWindow(w, 4, &start, &length, &exposure, &grade, &snr, &resolution, &size,
                            kImagingOther);
    EXPECT_DOUBLE_EQ(22.0, start);
    EXPECT_DOUBLE_EQ(120.0, length);
}

}  // namespace
