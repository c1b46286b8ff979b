// Tests of the double-star ephemeris: eta CrB's orbit (Meeus, Astronomical
// Algorithms, example 57.a) stepped from 1980.0, its end, and the refusals.
#include "visibility/doublestarephemeris.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "astro/datetime.h"
#include "core/datapaths.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"
#include "visibility/observability.h"

namespace {
const double kDeg = 3.14159265358979323846 / 180.0;

void PutFloat(std::string &b, size_t at, double v) {
    const float f = (float)v;
    uint32_t u;
    std::memcpy(&u, &f, 4);
    starbytes::Put32(b, at, u);
}

TEST(DoubleStarEphemeris, StepsEtaCoronaeBorealisThroughTheYears) {
    testutil::TempDir dir;
    SetRefDirectories(dir.path().c_str(), dir.path().c_str(), dir.path().c_str());
    std::string r(39, '\0');
    PutFloat(r, 0, 41.623);
    PutFloat(r, 4, 59.025 * kDeg);
    PutFloat(r, 8, 0.907);
    PutFloat(r, 12, 0.2763);
    PutFloat(r, 16, 219.907 * kDeg);
    PutFloat(r, 20, 23.717 * kDeg);
    PutFloat(r, 24, 1934.008);
    starbytes::Put16(r, 36, 2000);  // no equinox correction
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("lp_ref.bin"), r));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("lp_sup.bin"), std::string(68, '\0')));

    std::unique_ptr<ObservabilityIterator> it(new ObservabilityIterator());
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.decimalYear = 1980.0;
    EXPECT_EQ(BeginDoubleStarEphemeris(nullptr, it.get(), &date, 1.0, 2.0, 2), 0);  // no orbit 2
    EXPECT_EQ(BeginDoubleStarEphemeris(nullptr, it.get(), &date, 0.0, 2.0, 1), 0);
    ASSERT_EQ(BeginDoubleStarEphemeris(nullptr, it.get(), &date, 1.0, 2.0, 1), 1);
    EXPECT_EQ(it->object.objectClass, 5);
    double year = 0, theta = 0, rho = 0;
    ASSERT_EQ(NextDoubleStarPosition(it.get(), &year, &theta, &rho), 1);
    EXPECT_EQ(year, 1980.0);
    EXPECT_NEAR(theta, 318.4, 0.05);  // Meeus: 318.4 deg, 0.411"
    EXPECT_NEAR(rho, 0.411, 0.001);
    const double first = theta;
    EXPECT_EQ(NextDoubleStarPosition(it.get(), &year, &theta, &rho), 1);
    EXPECT_EQ(year, 1981.0);
    // The companion moves on through a 41.6-year orbit: some degrees a year.
    EXPECT_GT(std::fabs(theta - first), 1.0);
    EXPECT_LT(std::fabs(theta - first), 30.0);
    EXPECT_EQ(NextDoubleStarPosition(it.get(), &year, &theta, &rho), 0);  // 1983 is past 1982
    EXPECT_EQ(year, 1982.0);
    SetRefDirectories("", "", "");
}

}  // namespace
