// The comet field search's visibility and imaging tests: a bright comet at
// the zenith of a dark, moonless night is kept, a faint one or the same comet
// in daylight is dropped, by eye and through an 8-inch telescope; the imaging
// test keeps a coma exposed long enough for a signal-to-noise ratio of 2.5.
#include "visibility/cometfieldtests.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "ephem/sunmoon.h"
#include "instruments/optics.h"
#include "minorbodies/fieldsearch.h"
#include "minorbodies/tests/mbfixture.h"
#include "visibility/imagingeval.h"
#include "visibility/tests/imagingfixture.h"

namespace {

const double kDeg = kPi / 180.0;
// A 10' coma at 1 AU is about 2,900 x 1e-6 AU across.
const int kTenArcminComaAtOneAu = 2900;

std::unique_ptr<OpticsBlock> EightInch() {
    std::unique_ptr<OpticsBlock> o(new OpticsBlock);
    std::memset(o.get(), 0, sizeof *o);
    InitTelescopeOptics(o.get(), "8in", kOpticsReflector, 8.0, 0.0, 6.0, 1, 1, 0.0);
    SetEyepieceEntry(o.get(), 0, 0, "32", 32, 52);
    SetEyepieceEntry(o.get(), 0, 1, "9", 9, 52);
    o->eyepieceCount = 2;
    ComputeOpticsLimits(o.get());
    return o;
}

DateRecord At(const LocationRecord &site, int month, int day, int year, double hour) {
    DateRecord d;
    SetDateRecord(&d, &site, month, day, year, hour, kLocalTime);
    ComputeDeltaTAndNutation(&d, 0.0);
    ComputeSiderealTimes(&site, &d);
    return d;
}

}  // namespace

TEST(CometFieldTests, VisibilityByEyeAndTelescope) {
    LocationRecord site;
    InitLocationRecord(&site, 0.0, 40 * kDeg, 300.0, 6.0, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "T");
    const DateRecord night = At(site, 12, 31, 2024, 0.0);  // new Moon 2024 Dec 30
    const DateRecord noon = At(site, 6, 21, 2024, 12.0);
    auto scope = EightInch();
    scope->barlowInUse = 1;  // the search's own state, which the choice must not touch
    const uint8_t barlowBefore = scope->barlowInUse;
    struct Case {
        const char *what;
        const DateRecord *date;
        const OpticsBlock *optics;
        double magnitude;
        int condensation;
        int expected;
    } cases[] = {
        {"mag 5 by eye", &night, nullptr, 5.0, 5, 1},
        {"mag 10 by eye", &night, nullptr, 10.0, 5, 0},
        {"mag 10 in 8-inch", &night, scope.get(), 10.0, 5, 1},
        {"mag 10 DC none in 8-inch", &night, scope.get(), 10.0, 255, 1},
        {"mag 16 in 8-inch", &night, scope.get(), 16.0, 5, 0},
        {"mag 5 in daylight", &noon, scope.get(), 5.0, 5, 0},
    };
    for (const Case &c : cases) {
        const double lst = c.date->localApparentSidereal;
        EXPECT_EQ(IsCometVisibleInField(&site, c.date, c.optics, nullptr, lst, 40 * kDeg, c.magnitude,
                                        1.0, kTenArcminComaAtOneAu, c.condensation),
                  c.expected)
            << c.what;
    }
    // The search's optics are not changed by the eyepiece choice.
    EXPECT_EQ(scope->barlowInUse, barlowBefore);
    EXPECT_EQ(IsCometVisibleInField(nullptr, &night, nullptr, nullptr, 0, 0, 5, 1, 2900, 5), 0);
    EXPECT_EQ(IsCometVisibleInField(&site, nullptr, nullptr, nullptr, 0, 0, 5, 1, 2900, 5), 0);
}

TEST(CometFieldTests, ImagingNeedsASignalToNoiseOfTwoAndAHalf) {
    imagingtest::Scene scene;
    const double ra = scene.date.localApparentSidereal, dec = 40 * kDeg;
    // A 10' coma of magnitude 8: 8 + 2.5 log10(900 pi 10 x 10) mag/arcmin^2.
    const double sb = 8.0 + 2.5 * std::log10(900.0 * kPi * 100.0);
    SunMoonState state;
    EstimateSunMoonStateForTarget(&scene.site, ra, dec, &state);
    const double needed = EvaluateExtendedExposureForSnr(&scene.site, &scene.date, scene.optics.get(), 0,
                                                         imagingtest::kFilterV, &state, sb, 0.8, 2.5, 1);
    ASSERT_GT(needed, 0.0);
    auto detect = [&](double exposure, const OpticsBlock *optics) {
        return IsCometDetectableInField(&scene.site, &scene.date, optics, 0, imagingtest::kFilterV, 1,
                                        exposure, 0, ra, dec, 8.0, 1.0, kTenArcminComaAtOneAu);
    };
    EXPECT_EQ(detect(needed * 1.2, scene.optics.get()), 1);
    EXPECT_EQ(detect(needed * 0.8, scene.optics.get()), 0);
    EXPECT_EQ(detect(needed * 1.2, nullptr), 0);
}

namespace {

class CometFieldConnection : public mbtest::PackagedDatabase {
protected:
    void TearDown() override {
        SetCometFieldVisibility(nullptr);
        mbtest::PackagedDatabase::TearDown();
    }
    // The packaged comets the search passes with these flags; -1 when it
    // does not begin.
    int Count(uint32_t flags, const LocationRecord *site, const DateRecord *date,
              const OpticsBlock *optics) {
        const double no = kFieldSearchNoLimit;
        CometFieldSearch *s = BeginCometFieldSearch(
            site, date, nullptr, optics, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, no, no, 0, 0, 0, 0, no,
            no, 0, no, no, no, no, no, no, no, no, no, no, 0, 0, nullptr, nullptr, 0, flags, nullptr,
            nullptr);
        if (!s) return -1;
        int n = 0;
        double ra, dec, delta, magnitude;
        OrbitRecord orbit;
        while (NextPackagedCometInField(s, nullptr, &ra, &dec, &delta, &magnitude, &orbit) > 0 && n < 5000)
            ++n;
        EndCometFieldSearch(s);
        return n;
    }
};

TEST_F(CometFieldConnection, TheSearchHonoursTheVisibleConditionOnceConnected) {
    LocationRecord site;
    InitLocationRecord(&site, 0.0, 40 * kDeg, 300.0, 6.0, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "T");
    const DateRecord night = At(site, 12, 31, 2024, 0.0);
    auto scope = EightInch();
    SetCometFieldVisibility(nullptr);
    EXPECT_EQ(Count(kFieldVisible, &site, &night, scope.get()), -1);
    ConnectCometFieldVisibility();
    const int all = Count(0, &site, &night, scope.get());
    const int visible = Count(kFieldVisible, &site, &night, scope.get());
    ASSERT_GT(all, 0);
    EXPECT_GE(visible, 0);
    EXPECT_LT(visible, all);  // most packaged comets are far and faint
}

}  // namespace
