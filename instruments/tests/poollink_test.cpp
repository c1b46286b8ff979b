// Synchronisation of a telescope's copies with the pools: the namesake's id
// adopted, the pool's values winning, copies appended with new ids, case
// ignored, float precision, and the filter and lens round trips.
#include "instruments/poollink.h"

#include <gtest/gtest.h>

#include "instruments/eyepiecepool.h"
#include "instruments/filterpool.h"
#include "instruments/lenspool.h"
#include "instruments/tests/instrfixture.h"
#include "core/mathutil.h"

namespace {

using namespace instrtest;

class PoolLink : public StoreFixture {};

TEST_F(PoolLink, EyepieceOutcomesSameOtherAndAbsent) {
    int same = AddEyepieceRecord("Plossl 25", 25.0, 52.0);
    int other = AddEyepieceRecord("NAGLER 13", 13.0, 82.0);
    auto r = Telescope("T", 200, 1200, 0);
    OpticsBlock &m = r->optics[0];
    SetEyepieceEntry(&m, 0, 0, "Plossl 25", 25.0 + 1e-9, 52.0);     // same below float precision
    SetEyepieceEntry(&m, 0, 1, "Nagler 13", 12.0, 70.0);            // other values, other case
    SetEyepieceEntry(&m, 0, 2, "Nagler 13", 14.0, 60.0);            // a second namesake copy
    SetEyepieceEntry(&m, 0, 3, "Erfle 32", 32.0, 65.0);             // not in the pool
    m.eyepieceCount = 4;
    SyncTelescopeEyepiecesWithPool(&m);
    EXPECT_EQ(+m.eyepieces[0].poolId, same);
    for (int i : {1, 2}) {
        EXPECT_EQ(+m.eyepieces[i].poolId, other);
        EXPECT_DOUBLE_EQ(+m.eyepieces[i].focalLength, 13.0);
        EXPECT_NEAR(+m.eyepieces[i].apparentField, 82.0 * kPi / 180.0, 1e-6);
        EXPECT_STREQ(m.eyepieces[i].name, "Nagler 13");  // the copy keeps its spelling
    }
    EXPECT_EQ(+m.eyepieces[3].poolId, other + 1);
    char name[33];
    double fl = 0, af = 0;
    ASSERT_NE(GetEyepieceRecordById(other + 1, name, &fl, &af), 0);
    EXPECT_STREQ(name, "Erfle 32");
    EXPECT_NEAR(af, 65.0, 1e-4);
}

TEST_F(PoolLink, EmptyPoolAppendsEveryCopyWithRisingIds) {
    auto r = Telescope("T", 200, 1200, 0);
    OpticsBlock &m = r->optics[0];
    SetEyepieceEntry(&m, 0, 0, "A", 20, 50);
    SetEyepieceEntry(&m, 0, 1, "B", 10, 50);
    m.eyepieceCount = 2;
    SyncTelescopeEyepiecesWithPool(&m);
    EXPECT_EQ(+m.eyepieces[0].poolId, 1);
    EXPECT_EQ(+m.eyepieces[1].poolId, 2);
}

TEST_F(PoolLink, FiltersAndLensesLinkAndRoundTrip) {
    FilterRecord pool;
    std::memset(&pool, 0, sizeof pool);
    std::snprintf(pool.name, sizeof pool.name, "OIII");
    pool.wavelength = 0.5007;
    pool.bandwidth = 0.01;
    pool.peakTransmission = 0.9;
    int oiii = AddFilterRecord(&pool);
    ASSERT_GT(oiii, 0);
    CameraEntry cam;
    std::memset(&cam, 0, sizeof cam);
    cam.filterCount = 2;
    cam.filters[0] = pool;
    cam.filters[0].poolId = 0;
    cam.filters[0].peakTransmission = 0.5;  // differs: the pool wins
    std::snprintf(cam.filters[0].name, sizeof cam.filters[0].name, "oiii");
    std::snprintf(cam.filters[1].name, sizeof cam.filters[1].name, "Red");
    cam.filters[1].wavelength = 0.65;
    cam.lensCount = 1;
    std::snprintf(cam.lenses[0].name, sizeof cam.lenses[0].name, "Reducer");
    cam.lenses[0].focalLength = 300;
    cam.lenses[0].focalRatio = 6.3;
    SyncCameraFiltersWithPool(&cam);
    SyncCameraLensesWithPool(&cam);
    EXPECT_STREQ(cam.filters[0].name, "OIII");  // whole record replaced
    EXPECT_DOUBLE_EQ(+cam.filters[0].peakTransmission, 0.9);
    EXPECT_EQ(+cam.filters[0].poolId, oiii);
    EXPECT_EQ(+cam.filters[1].poolId, oiii + 1);
    EXPECT_EQ(+cam.lenses[0].poolId, 1);
    LensRecord lens;
    ASSERT_EQ(LoadLensFromPool(1, &lens), 1);
    EXPECT_DOUBLE_EQ(+lens.focalRatio, 6.3);
    lens.focalRatio = 5.0;
    ASSERT_EQ(StoreLensToPool(&lens, 1), 1);
    LensRecord back;
    ASSERT_EQ(LoadLensFromPool(1, &back), 1);
    EXPECT_DOUBLE_EQ(+back.focalRatio, 5.0);
    EXPECT_EQ(StoreLensToPool(&lens, 55), 0);
    FilterRecord fb;
    EXPECT_EQ(LoadFilterFromPool(99, &fb), 0);
}

}  // namespace
