// Tests of the importer's answers to the shared code's call-backs: rebuilt
// static records, the default site from the store, the telescope answers and
// the display-settings bytes at the offsets the object picker reads.
#include "core/hostcallbacks.h"
#include "picker/displaysettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/datetime.h"
#include "astro/location.h"
#include "core/userfolder.h"
#include "instruments/instrumentrecord.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"
#include "testutil/testutil.h"

namespace {

class HostCallbacks : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataFolder(dir_.path().c_str()); }
    void TearDown() override { SetUserDataFolder(""); }
    testutil::TempDir dir_;
};

TEST_F(HostCallbacks, DefaultObserverIsRebuiltAtTheSameAddress) {
    ObserverRecord *first = GetDefaultObserver(0);
    EXPECT_STREQ(first->name, "Default Observer");
    EXPECT_EQ(+first->age, 40);
    EXPECT_NEAR(first->pupilDiameter, 6.4618, 1e-4);
    EXPECT_EQ(+first->experience, 0.5);
    first->age = 77;
    std::strcpy(first->name, "Changed");
    ObserverRecord *second = GetDefaultObserver(1);
    EXPECT_EQ(second, first);
    EXPECT_EQ(+second->age, 40);
    EXPECT_STREQ(second->name, "Default Observer");
}

TEST_F(HostCallbacks, DefaultSiteIsTheBuiltInOneOrSlotZero) {
    // No loc.bin, then an empty one: the built-in site.
    LocationRecord *site = GetDefaultLocation(0);
    EXPECT_STREQ(site->name, "Texas Star Party");
    EXPECT_NEAR(site->longitude, 1.8151424220741026, 1e-15);
    int16_t count = -1;
    FILE *f = OpenLocationStore(&count);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_STREQ(GetDefaultLocation(0)->name, "Texas Star Party");
    LocationRecord home, second;
    InitLocationRecord(&home, 0.1, 0.9, 50.0, 6.0, 0.0, 10.0, 60.0, 2, 0.0, 1.0, "Home");
    InitLocationRecord(&second, 0.2, 0.8, 50.0, 6.0, 0.0, 10.0, 60.0, 2, 0.0, 1.0, "Second");
    LocationTrailer t = {0, 0, 0};
    ASSERT_EQ(AppendLocation(f, &home, &t), 1);
    ASSERT_EQ(AppendLocation(f, &second, &t), 1);
    std::fclose(f);
    EXPECT_EQ(GetDefaultLocation(0), site);
    EXPECT_STREQ(site->name, "Home");
    EXPECT_EQ(+site->latitude, 0.9);
    // The time now is made for that site, with its sidereal times filled.
    DateRecord *now = GetNowAtDefaultLocation();
    ASSERT_NE(now, nullptr);
    double jd = now->julianDate;
    EXPECT_GT(jd, 2460000.0);  // after 2023
    EXPECT_STREQ(site->name, "Home");
}

TEST_F(HostCallbacks, NoTelescopeAndOutputsLeftAlone) {
    EXPECT_EQ(IsTelescopeConnected(), 0);
    double ra = 1.25, dec = -0.5;
    EXPECT_EQ(GetTelescopePosition(&ra, &dec), 0);
    EXPECT_EQ(ra, 1.25);
    EXPECT_EQ(dec, -0.5);
    NotifyInstrumentsChanged();
    NotifyEditionInstrumentsChanged();
}

TEST_F(HostCallbacks, DefaultInstrumentIsTheNakedEye) {
    InstrumentRecord *eye = GetDefaultInstrument(0, nullptr);
    ASSERT_NE(eye, nullptr);
    EXPECT_EQ(+eye->opticsCount, 1);
    EXPECT_EQ(GetDefaultInstrument(0, nullptr), eye);
}

TEST_F(HostCallbacks, DisplaySettingsBytes) {
    const uint8_t *b = reinterpret_cast<const uint8_t *>(GetDefaultDisplaySettings());
    const uint8_t head[4] = {1, 0, 0, 0};
    EXPECT_EQ(std::memcmp(b, head, 4), 0);
    // 0xFF0000 little-endian at 4.
    EXPECT_EQ(b[4], 0x00);
    EXPECT_EQ(b[5], 0x00);
    EXPECT_EQ(b[6], 0xFF);
    EXPECT_EQ(b[7], 0x00);
    double d;
    std::memcpy(&d, b + 8, 8);
    EXPECT_EQ(d, 0.75);
    for (int i = 16; i < 20; ++i) EXPECT_EQ(b[i], 0) << i;
    std::memcpy(&d, b + 20, 8);
    EXPECT_EQ(d, 127.0);
    // The preference table from 28: order rows 0..59, then the enable bytes.
    for (int f = 0; f < 11; ++f)
        for (int p = 0; p < 60; ++p) {
            ASSERT_EQ(b[28 + f * 60 + p], p);
            ASSERT_EQ(b[28 + 660 + f * 60 + p], 1);
        }
    EXPECT_EQ(b[28 + 1320], 0);  // star-name flag
    EXPECT_EQ(b[1349], 1);
}

}  // namespace
