// Scratch user folder with an instrument store for the dialog-rule tests:
// telescopes, binoculars and eyepieces made the way the dialogs make them.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/datapaths.h"
#include "core/userfolder.h"
#include "instruments/instrumentstore.h"
#include "instruments/optics.h"
#include "instruments/storeio.h"
#include "testutil/testutil.h"

namespace instrtest {

inline std::unique_ptr<InstrumentRecord> NewRecord() {
    std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
    std::memset(r.get(), 0, sizeof *r);
    return r;
}

// A telescope of aperture and focal length in mm with n eyepieces of 25, 10,
// 6 ... mm (52 degrees).
inline std::unique_ptr<InstrumentRecord> Telescope(const char *name, double apertureMm, double focalMm,
                                                   int eyepieces) {
    auto r = NewRecord();
    std::snprintf(r->name, sizeof r->name, "%s", name);
    r->kind = kInstrumentTelescope;
    r->opticsCount = 1;
    r->mounting = 1;
    InitTelescopeOptics(&r->optics[0], "Main Scope", kOpticsReflector, apertureMm / 25.4, focalMm / 25.4, 0.0, 1, 1,
                        0.5);
    static const double kFocal[] = {25, 10, 6, 32, 40};
    for (int i = 0; i < eyepieces; ++i) SetEyepieceEntry(&r->optics[0], 0, i, "Plossl", kFocal[i % 5], 52.0);
    r->optics[0].eyepieceCount = (uint8_t)eyepieces;
    return r;
}

inline std::unique_ptr<InstrumentRecord> Binoculars(const char *name, double magnification, double aperture) {
    auto r = NewRecord();
    std::snprintf(r->name, sizeof r->name, "%s", name);
    r->kind = kInstrumentBinoculars;
    r->opticsCount = 1;
    InitFixedMagnificationOptics(&r->optics[0], "Binoculars", magnification, aperture, 0.0);
    return r;
}

class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataFolder(dir.path().c_str()); }
    void TearDown() override { SetUserDataFolder(""); }
    // Appends to instr.bin (created when missing); the id given.
    int Add(InstrumentRecord *r) {
        CreateInstrumentFile();
        int32_t n = 0;
        StoreFilePtr f(OpenInstrumentFile(&n));
        EXPECT_TRUE(f);
        if (!f) return 0;
        EXPECT_EQ(AppendInstrument(f.get(), r), 1);
        return r->id;
    }
    testutil::TempDir dir;
};

}  // namespace instrtest

namespace instrtest {

// Points the suite's InstallPath at a folder for one test and puts back the
// value it had (the Windows build keeps it in the registry, which the demo
// installation of the GUI tests also uses).
class InstallPathOverride {
public:
    explicit InstallPathOverride(const std::string &folder) {
        char previous[512] = "";
        had_ = ReadInstallPath(3, previous) != 0;
        previous_ = previous;
        testutil::SetSuiteValue("InstallPath", folder.c_str());
    }
    ~InstallPathOverride() { testutil::SetSuiteValue("InstallPath", had_ ? previous_.c_str() : nullptr); }
    InstallPathOverride(const InstallPathOverride &) = delete;
    InstallPathOverride &operator=(const InstallPathOverride &) = delete;
private:
    bool had_ = false;
    std::string previous_;
};

}  // namespace instrtest
