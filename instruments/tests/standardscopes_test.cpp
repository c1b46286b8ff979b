// New-telescope defaults, the standard telescope list, the field texts, the
// store checks (optics and charts) and the report's length and angle texts.
#include "instruments/standardscopes.h"

#include <gtest/gtest.h>

#include "core/fileutil.h"
#include "instruments/tests/instrfixture.h"
#include "core/mathutil.h"

namespace {

using namespace instrtest;

std::string Row(uint8_t type, uint8_t mount, double aperture, double focal, const char *name) {
    std::string b(85, '\0');
    b[0] = (char)type;
    b[1] = (char)mount;
    std::memcpy(&b[2], &aperture, 8);
    std::memcpy(&b[10], &focal, 8);
    b[18] = 1;
    b[19] = 0;
    std::memcpy(&b[20], name, std::strlen(name));
    return b;
}

std::string Count(int32_t n) { return std::string(reinterpret_cast<const char *>(&n), 4); }

TEST(NewTelescope, DefaultsOverAStaleRecord) {
    auto r = NewRecord();
    std::memset(r.get(), 0x77, sizeof *r);
    ApplyNewTelescopeDefaults(r.get());
    EXPECT_STREQ(r->name, "New Scope -- enter name");
    EXPECT_EQ(+r->opticsCount, 2);
    EXPECT_EQ(+r->kind, 0);
    EXPECT_EQ(+r->mounting, 1);
    EXPECT_EQ(+r->defaultEyepiece, 0);  // nothing inherited from the stale bytes
    EXPECT_EQ(+r->reserved[5], 0);
    EXPECT_FLOAT_EQ(+r->rings[1], (float)(2.0 * kPi / 180.0));
    EXPECT_EQ(+r->rings[3], 0.0f);
    const OpticsBlock &m = r->optics[0];
    EXPECT_EQ(+m.type, kOpticsReflector);
    EXPECT_DOUBLE_EQ(+m.aperture, 25.4);
    EXPECT_DOUBLE_EQ(+m.focalRatio, 1.0);
    EXPECT_EQ(+m.eyepieceCount, 0);
    EXPECT_EQ(+m.cameraCount, 0);
    const OpticsBlock &f = r->optics[1];
    EXPECT_DOUBLE_EQ(+f.aperture, 1.18 * 25.4);
    EXPECT_DOUBLE_EQ(+f.magnification, 6.0);
    EXPECT_EQ(+f.type, kOpticsRefractor);
}

TEST(NewTelescope, StandardRowGivesMillimetresAgainAndRatioTen) {
    auto r = NewRecord();
    ApplyNewTelescopeDefaults(r.get());
    StandardTelescopeRow row;
    std::string bytes = Row(3, 0, 203.2, 2032.0, "");
    std::memcpy(&row, bytes.data(), sizeof row);
    std::memset(row.name, 'N', sizeof row.name);  // 65 letters, no terminator
    ApplyStandardTelescopeRow(r.get(), &row);
    EXPECT_EQ(std::strlen(r->name), 31u);
    EXPECT_EQ(+r->mounting, 0);
    const OpticsBlock &m = r->optics[0];
    EXPECT_NEAR(+m.aperture, 7.999984 * 25.4, 1e-9);
    EXPECT_NEAR(+m.focalLength, 79.99984 * 25.4, 1e-9);
    EXPECT_NEAR(+m.focalRatio, 10.0, 1e-12);
    EXPECT_EQ(+m.type, 3);
    EXPECT_EQ(+m.upDown, 0);
}

class StandardList : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        install.reset(new InstallPathOverride(dir.path()));
        EnsureBin();
    }
    void TearDown() override {
        install.reset();
        StoreFixture::TearDown();
    }
    std::unique_ptr<InstallPathOverride> install;
    void EnsureBin() { ASSERT_EQ(EnsureDirectory((dir.path() + "/bin").c_str()), 1); }
    std::string path() { return dir.path() + "/bin/scopes.bin"; }
};

TEST_F(StandardList, RowsReadBackAndCountCappedByTheFile) {
    std::string file = Count(3) + Row(1, 1, 102, 900, "Refractor 102") + Row(2, 0, 254, 1200, "Dob 10");
    ASSERT_TRUE(testutil::WriteFileBytes(path(), file));
    int32_t n = -1;
    FILE *f = OpenStandardTelescopeList(&n);
    ASSERT_TRUE(f);
    EXPECT_EQ(n, 2);  // 3 stated, 2 whole rows present
    StandardTelescopeRow row;
    ASSERT_EQ(ReadStandardTelescopeRow(f, 1, &row), 1);
    EXPECT_STREQ(row.name, "Dob 10");
    EXPECT_DOUBLE_EQ(+row.focalLength, 1200.0);
    EXPECT_EQ(ReadStandardTelescopeRow(f, 2, &row), 0);
    std::fclose(f);
    ASSERT_TRUE(testutil::WriteFileBytes(path(), "\x01\x00"));
    EXPECT_EQ(OpenStandardTelescopeList(&n), nullptr);
    std::remove(path().c_str());
    EXPECT_EQ(OpenStandardTelescopeList(&n), nullptr);
}

TEST(FieldTexts, ZeroIsEmptyAndTheSentinelIsRefused) {
    char t[32];
    FormatFieldOneDecimal(t, sizeof t, 0.0);
    EXPECT_STREQ(t, "");
    FormatFieldOneDecimal(t, sizeof t, 0.04);
    EXPECT_STREQ(t, "0.0");
    FormatFieldTwoDecimals(t, sizeof t, 1.5);
    EXPECT_STREQ(t, "1.50");
    FormatFieldInteger(t, sizeof t, 0);
    EXPECT_STREQ(t, "");
    const struct { const char *text; int ok; double value; } cases[] = {
        {"8", 1, 8.0}, {"0", 0, 0.0}, {"-3", 0, -3.0}, {"eight", 0, 2147483647.0}, {"2147483647", 0, 2147483647.0},
        {"1:30", 1, 1.5}};
    for (const auto &c : cases) {
        double v = -1;
        EXPECT_EQ(ParsePositiveNumberText(c.text, &v), c.ok) << c.text;
        EXPECT_DOUBLE_EQ(+v, c.value) << c.text;
    }
}

TEST(ReportTexts, LengthsAndAngles) {
    const struct { int unit; const char *text; } lengths[] = {
        {0, "39.4 inches"}, {1, "1.0 m"}, {2, "100.0cm"}, {3, "1000.0mm"}, {7, "1000.0"}};
    for (const auto &c : lengths) EXPECT_STREQ(FormatLength(1000.0, c.unit), c.text) << c.unit;
    EXPECT_STREQ(FormatAngleWithUnit(1.25, 0), "1.2\xB0");
    EXPECT_STREQ(FormatAngleWithUnit(30.0, 1), "30.0'");
    EXPECT_STREQ(FormatAngleWithUnit(2.5, 2), "2.5\"");
    EXPECT_STREQ(FormatAngleWithUnit(2.5, 9), "2.5");
}

class StoreChecks : public StoreFixture {};

TEST_F(StoreChecks, TelescopesWithoutEyepiecesOrCamerasBlockBinocularsNever) {
    auto scope = Telescope("S", 100, 1000, 1);
    auto bare = Telescope("Bare", 100, 1000, 0);
    auto cam = Telescope("Cam", 100, 1000, 0);
    cam->optics[0].cameraCount = 1;
    auto binocs = Binoculars("B", 7, 50);
    Add(scope.get());
    Add(binocs.get());
    Add(cam.get());
    int32_t n = 0;
    StoreFilePtr f(OpenInstrumentFile(&n));
    EXPECT_EQ(CheckTelescopesHaveOptics(f.get(), n), 1);
    EXPECT_EQ(CheckTelescopesHaveOptics(f.get(), 0), 1);
    f.reset();
    Add(bare.get());
    f.reset(OpenInstrumentFile(&n));
    EXPECT_EQ(CheckTelescopesHaveOptics(f.get(), n), 0);
}

}  // namespace
