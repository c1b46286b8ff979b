// Field rules of the telescope and binocular dialogs: units, names, focal
// length and ratio, the eyepieces rebuilt from pool ids, the cameras' filters
// completed, and the binocular fields.
#include "instruments/scoperules.h"

#include <gtest/gtest.h>

#include "instruments/eyepiecepool.h"
#include "instruments/tests/instrfixture.h"
#include "instruments/bands.h"
#include "core/mathutil.h"

namespace {

using namespace instrtest;

TEST(ScopeRules, UnitsConvertAndCycle) {
    const struct { int unit; double shown; const char *name; } cases[] = {
        {0, 1000 * 0.03937, "inches"}, {1, 1.0, "meters"}, {2, 100.0, "cm"}, {3, 1000.0, "mm"}};
    for (const auto &c : cases) {
        EXPECT_DOUBLE_EQ(LengthInUnit(1000.0, c.unit), c.shown) << c.unit;
        EXPECT_STREQ(LengthUnitName(c.unit), c.name);
    }
    EXPECT_DOUBLE_EQ(ConvertLengthToMm(8, 0), 203.2);
    EXPECT_DOUBLE_EQ(ConvertLengthToMm(1.5, 1), 1500.0);
    EXPECT_DOUBLE_EQ(ConvertLengthToMm(12, 2), 120.0);
    EXPECT_EQ(NextLengthUnit(0), 1);
    EXPECT_EQ(NextLengthUnit(3), 0);
    EXPECT_EQ(NextLengthUnit(9), 0);
    const struct { double c; int line; } conditions[] = {{0, 0}, {0.25, 1}, {0.5, 2}, {0.9, 3}, {1.0, 4}, {3.0, 4}};
    for (const auto &c : conditions) EXPECT_EQ(ConditionIndex(c.c), c.line) << c.c;
    EXPECT_DOUBLE_EQ(ConditionForIndex(3), 0.75);
}

TEST(ScopeRules, ApertureInInchesKeepsTheRatio) {
    auto r = Telescope("T", 100, 800, 0);  // f/8
    r->displayUnit = 0;
    ASSERT_EQ(SetTelescopeAperture(r.get(), 8.0), 1);
    EXPECT_DOUBLE_EQ(+r->optics[0].aperture, 203.2);
    EXPECT_DOUBLE_EQ(+r->optics[0].focalRatio, 8.0);
    EXPECT_DOUBLE_EQ(+r->optics[0].focalLength, 203.2 * 8.0);
    EXPECT_EQ(SetTelescopeAperture(r.get(), 0.0), 0);
    EXPECT_EQ(SetTelescopeAperture(r.get(), 2147483647.0 * -1), 0);
    r->displayUnit = 3;
    ASSERT_EQ(SetTelescopeFocalLength(r.get(), 2032.0), 1);
    EXPECT_DOUBLE_EQ(+r->optics[0].focalRatio, 10.0);
    ASSERT_EQ(SetTelescopeFocalRatio(r.get(), 5.0), 1);
    EXPECT_DOUBLE_EQ(+r->optics[0].focalLength, 1016.0);
    // No aperture (a record from an old file): the focal length is taken, no ratio made.
    r->optics[0].aperture = 0.0;
    ASSERT_EQ(SetTelescopeFocalLength(r.get(), 900.0), 1);
    EXPECT_DOUBLE_EQ(+r->optics[0].focalLength, 900.0);
    EXPECT_DOUBLE_EQ(+r->optics[0].focalRatio, 5.0);
}

TEST(ScopeRules, NamesWithReservedCharactersAreRefusedOthersCut) {
    auto r = Telescope("Old name", 100, 800, 0);
    EXPECT_EQ(ApplyInstrumentName(r.get(), "My~Scope"), 0);
    EXPECT_STREQ(r->name, "Old name");
    EXPECT_EQ(ApplyInstrumentName(r.get(), "Big Dob"), 1);
    EXPECT_STREQ(r->name, "Big Dob");
    std::string longName(50, 'x');
    EXPECT_EQ(ApplyInstrumentName(r.get(), longName.c_str()), 1);
    EXPECT_EQ(std::string(r->name), std::string(31, 'x'));
    EXPECT_EQ(ToggleImageFlag(0), 1);
    EXPECT_EQ(ToggleImageFlag(1), 0);
    EXPECT_EQ(ToggleImageFlag(7), 0);
    ToggleMagnifyingFinder(r.get());
    EXPECT_EQ(+r->opticsCount, 2);
    ToggleMagnifyingFinder(r.get());
    EXPECT_EQ(+r->opticsCount, 1);
}

class Rebuild : public StoreFixture {};

TEST_F(Rebuild, EyepiecesFromIdsInOrderSkippingMissingOnes) {
    int a = AddEyepieceRecord("Nagler 13   ", 13.0, 82.0);
    int b = AddEyepieceRecord("Plossl 25", 25.0, 52.0);
    std::string longName(32, 'L');
    int c = AddEyepieceRecord(longName.c_str(), 40.0, 44.0);
    ASSERT_GT(a, 0);
    auto r = Telescope("T", 200, 1200, 3);
    const uint16_t ids[] = {(uint16_t)b, 999, (uint16_t)a, (uint16_t)c, (uint16_t)b};
    int current = -1;
    EXPECT_EQ(RebuildTelescopeEyepieces(&r->optics[0], ids, 5, &current), 4);
    EXPECT_EQ(current, 3);
    const OpticsBlock &m = r->optics[0];
    EXPECT_STREQ(m.eyepieces[0].name, "Plossl 25");
    EXPECT_STREQ(m.eyepieces[1].name, "Nagler 13");  // trailing blanks gone
    EXPECT_DOUBLE_EQ(+m.eyepieces[1].focalLength, 13.0);
    EXPECT_NEAR(+m.eyepieces[1].apparentField, 82.0 * kPi / 180.0, 1e-6);
    EXPECT_EQ(std::string(m.eyepieces[2].name), std::string(31, 'L'));
    EXPECT_EQ(+m.eyepieces[3].poolId, b);
    // More ids than slots: 70 kept.
    std::vector<uint16_t> many(80, (uint16_t)a);
    EXPECT_EQ(RebuildTelescopeEyepieces(&r->optics[0], many.data(), 80, &current), 70);
    EXPECT_EQ(current, 69);
}

TEST(ScopeRules, CamerasGetTheirFiltersCompletedAndTheFiveBands) {
    auto r = Telescope("T", 200, 1200, 0);
    OpticsBlock &m = r->optics[0];
    m.cameraCount = 1;
    CameraEntry &cam = m.cameras[0];
    for (int i = 0; i < kQuantumEfficiencyPoints; ++i) cam.quantumEfficiency[i] = 50.0;
    cam.filterCount = 1;
    FilterRecord &f = cam.filters[0];
    f.wavelength = 0.55;
    f.peakTransmission = 0.9;
    CompleteCameraFilters(&m);
    EXPECT_DOUBLE_EQ(+cam.filters[0].quantumEfficiency, 50.0);
    EXPECT_GT(+cam.filters[0].surfaceTransmission, 0.0);
    for (int b = 0; b < 5; ++b) {
        EXPECT_EQ(+cam.filters[50 + b].name[0], GetBandName(b)->name[0]) << b;
        EXPECT_DOUBLE_EQ(+cam.filters[50 + b].quantumEfficiency, 50.0) << b;
    }
}

TEST(BinocularRules, NewPairIsZeroedSevenByFifty) {
    auto r = Telescope("Stale", 100, 800, 5);
    r->sightFlags = 1;
    r->defaultEyepiece = 3;
    InitNewBinoculars(r.get());
    EXPECT_STREQ(r->name, "New Binocs");
    EXPECT_EQ(+r->kind, kInstrumentBinoculars);
    EXPECT_EQ(+r->opticsCount, 1);
    EXPECT_EQ(+r->sightFlags, 0);
    EXPECT_EQ(+r->defaultEyepiece, 0);
    EXPECT_EQ(+r->optics[0].eyepieceCount, 0);
    EXPECT_DOUBLE_EQ(+r->optics[0].magnification, 7.0);
    EXPECT_DOUBLE_EQ(+r->optics[0].aperture, 50.0);
    EXPECT_NEAR(+r->optics[0].trueField, 50.0 / 7.0 * kPi / 180.0, 1e-12);
}

TEST(BinocularRules, MagnificationResetsFieldAndOrientationZeroChangesNothing) {
    auto r = Binoculars("B", 7, 50);
    ASSERT_EQ(SetBinocularField(r.get(), 6.5), 1);
    r->optics[0].leftRight = 0;
    r->optics[0].upDown = 0;
    ASSERT_EQ(SetBinocularMagnification(r.get(), 10.0), 1);
    EXPECT_NEAR(+r->optics[0].trueField, 59.0 / 10.0 * kPi / 180.0, 1e-12);
    EXPECT_EQ(+r->optics[0].leftRight, 1);
    EXPECT_EQ(+r->optics[0].upDown, 1);
    auto before = NewRecord();
    std::memcpy(before.get(), r.get(), sizeof *r);
    EXPECT_EQ(SetBinocularAperture(r.get(), 0.0), 0);
    EXPECT_EQ(SetBinocularMagnification(r.get(), -2.0), 0);
    EXPECT_EQ(std::memcmp(before.get(), r.get(), sizeof *r), 0);
    ASSERT_EQ(SetBinocularAperture(r.get(), 42.0), 1);
    EXPECT_DOUBLE_EQ(+r->optics[0].aperture, 42.0);
    EXPECT_DOUBLE_EQ(+r->optics[0].magnification, 10.0);
}

}  // namespace
