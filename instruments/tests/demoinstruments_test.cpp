// The demo installation's instruments and pools, as tools/gen_demo_instruments.py
// writes them, read through the stores: the eyepiece pool, the telescope and the
// binoculars, with every derived optics value recomputed by the program's own
// routines. The native build runs the generator into a scratch folder; the
// Windows build reads the copy that the demo installation holds, when there.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "core/userfolder.h"
#include "instruments/camerapool.h"
#include "instruments/eyepiecepool.h"
#include "instruments/filterpool.h"
#include "instruments/instrumentstore.h"
#include "instruments/lenspool.h"
#include "instruments/optics.h"
#include "testutil/testutil.h"
#include "photometry/skybright.h"
#include "core/mathutil.h"

namespace {

const double kDegree = kPi / 180.0;
const char *kFiles[] = {"eyep.bin", "camera.bin", "filters.bin", "lenses.bin", "instr.bin"};

class DemoInstruments : public ::testing::Test {
protected:
    // The files are made once (the generator takes a while) and each test
    // works on its own copy.
    static void SetUpTestSuite() {
        made_ = new testutil::TempDir;
#ifdef _WIN32
        std::string user = testutil::BuildDir() + "/demo/user";
        if (testutil::BuildDir().empty() || !testutil::PathIsThere(user + "/instr.bin")) {
            skip_ = "no demo installation with instruments under the build folder";
            return;
        }
        for (const char *name : kFiles)
            testutil::WriteFileBytes(made_->file(name), testutil::ReadFileBytes(user + "/" + name));
#else
        std::string source = testutil::SourceDir();
        if (source.empty()) {
            skip_ = "GLEANER_SOURCE_DIR not set";
            return;
        }
        if (std::system("python3 -c \"\" > /dev/null 2>&1") != 0) {
            skip_ = "no python3";
            return;
        }
        std::string command = "python3 \"" + source + "/tools/gen_demo_instruments.py\" --user \"" +
                              made_->path() + "\" > /dev/null";
        if (std::system(command.c_str()) != 0) failed_ = command;
#endif
    }
    static void TearDownTestSuite() {
        delete made_;
        made_ = nullptr;
    }
    void SetUp() override {
        if (skip_) GTEST_SKIP() << skip_;
        ASSERT_TRUE(failed_.empty()) << failed_;
        for (const char *name : kFiles)
            ASSERT_TRUE(testutil::WriteFileBytes(dir_.file(name),
                                                 testutil::ReadFileBytes(made_->file(name))));
        SetUserDataFolder(dir_.path().c_str());
    }
    void TearDown() override { SetUserDataFolder(""); }

    std::unique_ptr<InstrumentRecord> Read(const char *name, int *index) {
        std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
        std::memset(r.get(), 0, sizeof *r);
        std::snprintf(r->name, sizeof r->name, "%s", name);
        int32_t n = 0;
        FILE *f = OpenInstrumentFile(&n);
        EXPECT_NE(f, nullptr);
        if (!f) return r;
        EXPECT_EQ(n, 2);
        EXPECT_EQ(FindInstrumentByName(f, r.get(), n, index), 1) << name;
        std::fclose(f);
        return r;
    }
    testutil::TempDir dir_;
    static testutil::TempDir *made_;
    static const char *skip_;
    static std::string failed_;
};

testutil::TempDir *DemoInstruments::made_ = nullptr;
const char *DemoInstruments::skip_ = nullptr;
std::string DemoInstruments::failed_;

}  // namespace

TEST_F(DemoInstruments, PoolsHoldTheEyepiecesAndNothingElse) {
    std::string header = testutil::ReadFileBytes(dir_.file("eyep.bin")).substr(0, 4);
    EXPECT_EQ(header, std::string("\x06\x00\x06\x00", 4));
    struct Eyepiece { const char *name; double fl, field; } expected[] = {
        {"Plossl 32mm", 32, 52}, {"Plossl 25mm", 25, 52}, {"Plossl 17mm", 17, 52},
        {"Orthoscopic 9mm", 9, 43}, {"Wide Angle 15mm", 15, 66}, {"Ultra Wide Angle 6mm", 6, 82},
    };
    for (int i = 0; i < 6; ++i) {
        char name[33];
        double fl = 0, field = 0;
        EXPECT_EQ(GetEyepieceRecord(i, name, &fl, &field), i + 1);
        EXPECT_STREQ(name, expected[i].name);
        EXPECT_DOUBLE_EQ(+fl, expected[i].fl);
        EXPECT_DOUBLE_EQ(+field, expected[i].field);
    }
    for (auto open : {OpenCameraFile, OpenFilterFile, OpenLensFile}) {
        int32_t n = -1;
        FILE *f = open(&n);
        ASSERT_NE(f, nullptr);
        std::fclose(f);
        EXPECT_EQ(n, 0);
    }
    EXPECT_EQ(testutil::ReadFileBytes(dir_.file("camera.bin")),
              std::string("\x03\xD9\x03\x01\x66\0\0\0\0", 9));
    // The next eyepiece a user adds continues the ids.
    EXPECT_EQ(AddEyepieceRecord("Barlow test 4mm", 4, 50), 7);
}

TEST_F(DemoInstruments, TelescopeReadsBackAsTheProgramComputesIt) {
    int index = -1;
    auto r = Read("Newtonian 8in f/6", &index);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(+r->id, 1);
    EXPECT_EQ(+r->kind, 0);
    EXPECT_EQ(+r->opticsCount, 1);
    EXPECT_EQ(+r->mounting, 0);
    const OpticsBlock &m = r->optics[0];
    EXPECT_EQ(+m.type, 2);
    EXPECT_DOUBLE_EQ(+m.aperture, 203.2);
    EXPECT_DOUBLE_EQ(+m.focalLength, 1219.2);
    EXPECT_STREQ(m.name, "Main Scope");
    ASSERT_EQ(+m.eyepieceCount, 3);
    EXPECT_EQ(+m.cameraCount, 0);
    // The eyepieces are copies of pool records: same names, values and ids.
    for (int i = 0; i < 3; ++i) {
        char name[33];
        double fl = 0, field = 0;
        ASSERT_EQ(GetEyepieceRecordById(m.eyepieces[i].poolId, name, &fl, &field), 1);
        EXPECT_STREQ(m.eyepieces[i].name, name);
        EXPECT_DOUBLE_EQ(+m.eyepieces[i].focalLength, fl);
        EXPECT_NEAR(+m.eyepieces[i].apparentField, field * kDegree, 1e-15);
    }

    // Completing the limits again changes nothing.
    std::unique_ptr<OpticsBlock> again(new OpticsBlock(m));
    ASSERT_EQ(ComputeOpticsLimits(again.get()), 1);
    EXPECT_NEAR(+again->limitingMagnitude, +m.limitingMagnitude, 1e-9);
    EXPECT_DOUBLE_EQ(+again->magnificationLimit, +m.magnificationLimit);
    EXPECT_DOUBLE_EQ(+again->dawesLimit, +m.dawesLimit);
    EXPECT_DOUBLE_EQ(+again->focalRatio, 6.0);

    // The default eyepiece has the faintest limit under a naked-eye limit 6.8 sky.
    int best = -1;
    double bestLimit = -99;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(SelectEyepiece(again.get(), i), 1);
        double lm = ComputeTelescopeLimitingMagnitude(
            again.get(), nullptr, 0.1, ComputeSkyBrightnessFromLimit(6.8), 0, 0, 1.5);
        if (lm > bestLimit) {
            bestLimit = lm;
            best = i;
        }
    }
    EXPECT_EQ(+r->defaultEyepiece, best);
    ASSERT_EQ(SelectEyepiece(again.get(), best), 1);
    EXPECT_EQ(+m.currentEyepiece, best);
    EXPECT_DOUBLE_EQ(+m.magnification, +again->magnification);
    EXPECT_NEAR(+m.trueField, +again->trueField, 1e-15);
}

TEST_F(DemoInstruments, BinocularsReadBackAsTheProgramComputesThem) {
    int index = -1;
    auto r = Read("Binoculars 10x50", &index);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(+r->id, 2);
    EXPECT_EQ(+r->kind, 1);
    const OpticsBlock &m = r->optics[0];

    std::unique_ptr<OpticsBlock> built(new OpticsBlock);
    std::memset(built.get(), 0, sizeof *built);
    ASSERT_EQ(InitFixedMagnificationOptics(built.get(), "Binoculars 10x50", 10, 50, 0), 1);
    ASSERT_EQ(ComputeOpticsLimits(built.get()), 1);
    EXPECT_EQ(+m.type, 10);
    EXPECT_STREQ(m.name, built->name);
    EXPECT_DOUBLE_EQ(+m.magnification, 10.0);
    EXPECT_NEAR(+m.trueField, +built->trueField, 1e-15);
    EXPECT_DOUBLE_EQ(+m.focalLength, +built->focalLength);
    EXPECT_DOUBLE_EQ(+m.condition, 1.0);
    EXPECT_NEAR(+m.limitingMagnitude, +built->limitingMagnitude, 1e-9);
    EXPECT_DOUBLE_EQ(+m.magnificationLimit, +built->magnificationLimit);
    EXPECT_DOUBLE_EQ(+m.dawesLimit, +built->dawesLimit);
    EXPECT_EQ(+m.eyepieceCount, 0);
    EXPECT_EQ(+m.leftRight, 1);
    EXPECT_EQ(+m.upDown, 1);
}
