// Tests of the observing-site record: stored byte layout, derived terms,
// sky brightness and seeing cases, daylight-saving presets and rules.
#include "astro/location.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "photometry/skybright.h"
#include "core/mathutil.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#endif

namespace {


LocationRecord Make(double lat, double elevation, double limit, double brightness, int rating,
                    double seeing, const char *name = "Site") {
    LocationRecord r;
    std::memset(&r, 0xAB, sizeof(r));  // stale bytes must not survive
    EXPECT_EQ(InitLocationRecord(&r, 1.0, lat, elevation, limit, brightness, 12.5, 60.0, rating,
                                 seeing, -5.0, name),
              1);
    return r;
}

TEST(LocationRecordLayout, BytesAtTheStoredOffsets) {
    LocationRecord r = Make(0.5, 100.0, 6.5, 0.0, 2, 0.0, "Home");
    ASSERT_EQ(SetDaylightSavingRule(&r, 1, 0, 3, 2.0, 0, 0, 11, 2.0, 1.0, 2), 1);
    unsigned char b[166];
    static_assert(sizeof(b) == sizeof(LocationRecord), "size");
    std::memcpy(b, &r, sizeof(b));

    double d;
    std::memcpy(&d, b + 0, 8);
    EXPECT_EQ(d, 1.0);  // longitude
    std::memcpy(&d, b + 8, 8);
    EXPECT_EQ(d, 0.5);  // latitude
    std::memcpy(&d, b + 106, 8);
    EXPECT_EQ(d, -5.0);  // time zone
    EXPECT_EQ(b[72], 0);  // display flags
    EXPECT_EQ(b[81], 2);  // seeing rating
    std::memcpy(&d, b + 82, 8);
    EXPECT_EQ(d, 1.5);  // seeing
    // Rule block: 2.0f, 2.0f, 1.0f little-endian, then the six bytes.
    const unsigned char rule[19] = {0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00,
                                    0x80, 0x3F, 0, 0, 1, 0, 3, 11, 2};
    EXPECT_EQ(std::memcmp(b + 114, rule, sizeof(rule)), 0);
    EXPECT_EQ(std::memcmp(b + 133, "Home\0\0\0\0", 8), 0);
    for (int i = 137; i < 166; ++i) EXPECT_EQ(b[i], 0) << i;  // zero-filled name
}

TEST(LocationRecordInit, DerivedTermsMatchIndependentValues) {
    // Meeus example 11.a: Palomar, latitude +33 21' 22", 1706 m:
    // rho sin phi' = 0.546861, rho cos phi' = 0.836339.
    double lat = (33.0 + 21.0 / 60.0 + 22.0 / 3600.0) * kPi / 180.0;
    LocationRecord r = Make(lat, 1706.0, 6.5, 0.0, 0, 0.0);
    EXPECT_NEAR(+r.rhoSinPhi, 0.546861, 1e-6);
    EXPECT_NEAR(+r.rhoCosPhi, 0.836339, 1e-6);
    EXPECT_DOUBLE_EQ(+r.sinLatitude, std::sin(lat));
    EXPECT_NEAR(+r.horizonDip, -0.00061668 * std::sqrt(1706.0), 1e-15);

    // A geocentric observer: one Earth radius down at the equator.
    LocationRecord g = Make(0.0, -6378140.0, 7.0, 0.0, 0, 0.0, "Geo");
    EXPECT_NEAR(+g.rhoSinPhi, 0.0, 1e-15);
    EXPECT_NEAR(+g.rhoCosPhi, 0.0, 1e-15);
    EXPECT_EQ(+g.horizonDip, 0.0);

    // The pole: u is taken as 0 where the cosine of the latitude is exactly 0
    // only; near it the terms stay finite.
    LocationRecord p = Make(kPi / 2, 0.0, 6.5, 0.0, 0, 0.0);
    EXPECT_TRUE(std::isfinite(+p.rhoSinPhi));
    EXPECT_NEAR(+p.rhoSinPhi, kEarthAxisRatio, 1e-9);
}

#ifdef GLEANER_HAVE_ERFA
TEST(LocationRecordInit, GeocentricTermsAgreeWithErfaOnTheSameSpheroid) {
    const double f = 1.0 - kEarthAxisRatio;
    for (double latDeg : {-75.0, -33.9, 0.0, 19.8, 51.5, 89.0}) {
        for (double h : {0.0, 2500.0}) {
            double lat = latDeg * kPi / 180.0;
            LocationRecord r = Make(lat, h, 6.5, 0.0, 0, 0.0);
            double xyz[3];
            ASSERT_EQ(eraGd2gce(kEarthEquatorialRadiusMetres, f, 0.0, lat, h, xyz), 0);
            EXPECT_NEAR(+r.rhoCosPhi, xyz[0] / kEarthEquatorialRadiusMetres, 1e-9) << latDeg;
            EXPECT_NEAR(+r.rhoSinPhi, xyz[2] / kEarthEquatorialRadiusMetres, 1e-9) << latDeg;
        }
    }
}
#endif

TEST(LocationRecordInit, LimitAndSkyBrightnessCases) {
    struct Case {
        double limit, brightness;
        double wantLimit, wantBrightness;
    } cases[] = {
        {7.1, 0.0, 7.1, 21.8807},     // limit given: brightness derived
        {99.0, 21.0, 6.6455, 21.0},   // brightness given: limit derived
        {90.0, 21.0, 6.6455, 21.0},   // 90 itself means "no limit"
        {99.0, 0.0, 6.5, 20.7493},    // neither: the default limit 6.5
        {6.0, 20.0, 6.0, 19.9642},    // both: the limit is kept
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.limit * 1000 + c.brightness);
        LocationRecord r = Make(0.3, 0.0, c.limit, c.brightness, 2, 0.0);
        EXPECT_NEAR(+r.nakedEyeLimit, c.wantLimit, 5e-5);
        EXPECT_NEAR(+r.skyBrightness, c.wantBrightness, 5e-5);
        // The pair is always one quantity seen two ways.
        EXPECT_NEAR(ComputeNakedEyeLimit(+r.skyBrightness), +r.nakedEyeLimit, 1e-9);
    }
}

TEST(LocationRecordInit, SeeingNameHemisphereAndNullRecord) {
    LocationRecord a = Make(0.3, 0.0, 6.5, 0.0, 2, 2.0);
    EXPECT_EQ(a.seeingRating, 255);
    EXPECT_EQ(+a.seeing, 2.0);
    LocationRecord b = Make(0.3, 0.0, 6.5, 0.0, 2, 0.0);
    EXPECT_EQ(b.seeingRating, 2);
    EXPECT_EQ(+b.seeing, 1.5);
    LocationRecord c = Make(0.3, 0.0, 6.5, 0.0, 9, 0.0);  // out-of-range rating
    EXPECT_EQ(c.seeingRating, 4);
    EXPECT_EQ(+c.seeing, 5.0);

    // Hemisphere preset by the latitude's sign; mode always 0.
    LocationRecord north = Make(0.0, 0.0, 6.5, 0.0, 0, 0.0);
    EXPECT_EQ(north.dst.startMonth, 3);
    EXPECT_EQ(north.dst.startWeek, 1);
    EXPECT_EQ(north.dst.endMonth, 11);
    EXPECT_EQ(north.dstMode, 0);
    LocationRecord south = Make(-1e-9, 0.0, 6.5, 0.0, 0, 0.0);
    EXPECT_EQ(south.dst.startMonth, 10);
    EXPECT_EQ(south.dst.endMonth, 4);
    EXPECT_EQ(south.dst.startWeek, 0);
    EXPECT_EQ(south.dstMode, 0);

    // A long name is stored as its first 32 characters; the caller's text stays.
    const std::string longName(40, 'x');
    std::string copy = longName;
    LocationRecord n;
    ASSERT_EQ(InitLocationRecord(&n, 0, 0, 0, 6.5, 0, 10, 50, 2, 0, 0, copy.c_str()), 1);
    EXPECT_EQ(std::string(n.name), std::string(32, 'x'));
    EXPECT_EQ(copy, longName);

    EXPECT_EQ(InitLocationRecord(nullptr, 0, 0, 0, 6.5, 0, 10, 50, 2, 0, 0, "x"), 0);

    // A record read from a damaged store gets its terminator back.
    std::memset(n.name, 'y', sizeof(n.name));
    TerminateLocationName(&n);
    EXPECT_EQ(std::strlen(n.name), 32u);
}

TEST(DaylightSavingRuleStore, StoresCheckedRulesAndRefusesBadOnes) {
    LocationRecord r = Make(0.3, 0.0, 6.5, 0.0, 2, 0.0);
    EXPECT_EQ(SetDaylightSavingRule(&r, 7, 0, 3, 2.0, 0, 0, 11, 2.0, 1.0, 1), 1);
    EXPECT_EQ(r.dst.startWeek, 7);  // modes 0 and 1 store as given
    EXPECT_EQ(r.dstMode, 1);

    const LocationRecord before = r;
    struct Bad {
        int startWeek, startWeekday, startMonth, endWeek, endWeekday, endMonth, mode;
    } bad[] = {
        {4, 0, 3, 0, 0, 11, 2}, {0, 7, 3, 0, 0, 11, 2}, {0, 0, 13, 0, 0, 11, 2},
        {0, 0, 3, 0, 0, 0, 2},  {0, 0, 3, -1, 0, 11, 2}, {0, 0, 3, 0, 0, 11, 3},
        {0, 0, 3, 0, 0, 11, -1},
    };
    for (const Bad &b : bad) {
        EXPECT_EQ(SetDaylightSavingRule(&r, b.startWeek, b.startWeekday, b.startMonth, 2.0,
                                        b.endWeek, b.endWeekday, b.endMonth, 2.0, 1.0, b.mode),
                  0);
    }
    EXPECT_EQ(std::memcmp(&r, &before, sizeof(r)), 0);
    EXPECT_EQ(SetDaylightSavingRule(nullptr, 0, 0, 3, 2.0, 0, 0, 11, 2.0, 1.0, 2), 0);

    EXPECT_EQ(SetDaylightSavingRule(&r, 3, 6, 9, 2.5, 2, 1, 4, 3.25, 0.5, 2), 1);
    EXPECT_EQ(+r.dst.startHour, 2.5f);
    EXPECT_EQ(+r.dst.endHour, 3.25f);
    EXPECT_EQ(+r.dst.shift, 0.5f);
    EXPECT_EQ(r.dst.startWeekday, 6);
    EXPECT_EQ(r.dst.endWeek, 2);
    EXPECT_EQ(r.dstMode, 2);
}

}  // namespace
