// Tests of the GPS fix mean: a better fix restarts it, a worse one is passed
// over, repeats are not counted twice, 2D fixes give no altitude, and fixes on
// both sides of the 180th meridian average near it.
#include "sites/gpsmean.h"

#include <gtest/gtest.h>

#include <memory>

#include "sites/nmea.h"

namespace {

struct Fix {
    double longitude, latitude, altitude;
    int quality, type;
};

void Apply(GpsMean *m, GpsState *s, const Fix &f) {
    s->longitude = f.longitude;
    s->latitude = f.latitude;
    s->altitude = f.altitude;
    s->fixQuality = static_cast<uint8_t>(f.quality);
    s->fixType = static_cast<uint8_t>(f.type);
    AddGpsFix(m, s);
}

class GpsMeanTest : public ::testing::Test {
protected:
    void SetUp() override {
        state.reset(new GpsState());
        InitGpsState(state.get());
        ClearGpsMean(&mean);
    }
    std::unique_ptr<GpsState> state;
    GpsMean mean;
};

TEST_F(GpsMeanTest, TwoDimensionalUntilThreeDimensional) {
    double lon = 0, lat = 0, alt = 777;
    int hasAlt = 0;
    Apply(&mean, state.get(), {104.0, 40.0, 1500, 0, 1});  // no fix: score 1, below 10
    EXPECT_EQ(0, GetGpsMeanPosition(&mean, &lon, &lat, &alt, &hasAlt));

    Apply(&mean, state.get(), {104.0, 40.0, 1500, 1, 2});  // 2D, score 12
    Apply(&mean, state.get(), {104.0, 40.0, 1500, 1, 2});  // identical: not counted again
    Apply(&mean, state.get(), {105.0, 41.0, 1500, 1, 2});
    EXPECT_EQ(12, mean.bestScore);
    EXPECT_EQ(2, mean.positionPoints);
    EXPECT_EQ(0, mean.altitudePoints);
    ASSERT_EQ(1, GetGpsMeanPosition(&mean, &lon, &lat, &alt, &hasAlt));
    EXPECT_DOUBLE_EQ(104.5, lon);
    EXPECT_DOUBLE_EQ(40.5, lat);
    EXPECT_EQ(0, hasAlt);
    EXPECT_EQ(777, alt);  // no altitude point: the caller's value stays

    // The 3D fix restarts the means, even at the last 2D fix's place.
    Apply(&mean, state.get(), {105.0, 41.0, 1600, 1, 3});
    EXPECT_EQ(13, mean.bestScore);
    EXPECT_EQ(1, mean.positionPoints);
    EXPECT_EQ(1, mean.altitudePoints);
    Apply(&mean, state.get(), {106.0, 42.0, 1500, 1, 2});  // later 2D: ignored
    Apply(&mean, state.get(), {107.0, 43.0, 1700, 1, 3});
    ASSERT_EQ(1, GetGpsMeanPosition(&mean, &lon, &lat, &alt, &hasAlt));
    EXPECT_DOUBLE_EQ(106.0, lon);
    EXPECT_DOUBLE_EQ(42.0, lat);
    EXPECT_EQ(1, hasAlt);
    EXPECT_DOUBLE_EQ(1650.0, alt);
    EXPECT_DOUBLE_EQ(1600.0, mean.bestAltitude);
}

TEST_F(GpsMeanTest, AveragesAcrossTheAntimeridian) {
    Apply(&mean, state.get(), {179.5, -17.0, 10, 1, 3});
    Apply(&mean, state.get(), {-179.7, -17.2, 12, 1, 3});
    double lon = 0, lat = 0, alt = 0;
    int hasAlt = 0;
    ASSERT_EQ(1, GetGpsMeanPosition(&mean, &lon, &lat, &alt, &hasAlt));
    EXPECT_NEAR(179.9, lon, 1e-9);
    EXPECT_NEAR(-17.1, lat, 1e-9);

    ClearGpsMean(&mean);
    Apply(&mean, state.get(), {-179.5, 52.0, 10, 1, 3});
    Apply(&mean, state.get(), {179.7, 52.0, 10, 1, 3});
    Apply(&mean, state.get(), {-179.8, 52.0, 10, 1, 3});
    ASSERT_EQ(1, GetGpsMeanPosition(&mean, &lon, &lat, &alt, &hasAlt));
    EXPECT_NEAR(-179.8666666666667, lon, 1e-9);
}

}  // namespace
