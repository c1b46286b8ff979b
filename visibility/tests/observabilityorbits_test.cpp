// The observability scan of packaged minor bodies, placed from their
// elements at every step: (4) Vesta and 2P/Encke report the minor-body
// database's own J2000 place, magnitude and coma for each step's date, and
// their labels; the topocentric and geocentric places differ by no more than
// the parallax; an unused number is refused. The distances of the Moon, Mars,
// Jupiter and 2P/Encke against PyEphem, Jupiter's central meridian, and Mars's
// central meridian and latitude of centre against a published example.
#include "visibility/observability.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "ephem/bodyrecord.h"
#include "instruments/optics.h"
#include "minorbodies/cometdb.h"
#include "minorbodies/mpdatabase.h"
#include "minorbodies/tests/mbfixture.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"

namespace {

const double kDeg = kPi / 180.0;
const double kArcsec = kPi / 648000.0;

class ObservabilityOrbits : public mbtest::PackagedDatabase {
protected:
    void SetUp() override {
        mbtest::PackagedDatabase::SetUp();
        if (IsSkipped()) return;
        InitLocationRecord(&site_, 0.0, 40 * kDeg, 0.0, 6.0, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "T");
        site_.displayFlags |= kSiteIgnoresHorizon;
        SetDateRecord(&date_, &site_, 1, 25, 2024, 18.0, kLocalTime);
        ComputeDeltaTAndNutation(&date_, 0.0);
        ComputeSiderealTimes(&site_, &date_);
        optics_.reset(new OpticsBlock);
        std::memset(optics_.get(), 0, sizeof *optics_);
        InitTelescopeOptics(optics_.get(), "8in", kOpticsReflector, 8.0, 0.0, 6.0, 1, 1, 0.0);
        SetEyepieceEntry(optics_.get(), 0, 0, "25", 25, 52);
        optics_->eyepieceCount = 1;
        ComputeOpticsLimits(optics_.get());
    }
    ObjectRecord Body(int objectClass, int32_t index) {
        ObjectRecord r;
        ClearObjectRecord(&r);
        r.objectClass = static_cast<uint8_t>(objectClass);
        r.index = index;
        r.categoryBits = ClassCategoryBits(objectClass);
        return r;
    }
    LocationRecord site_;
    DateRecord date_;
    std::unique_ptr<OpticsBlock> optics_;
};

TEST_F(ObservabilityOrbits, MinorPlanetPlacesFollowItsElements) {
    ObjectRecord vesta = Body(kClassMinorPlanet, 4);
    ObservabilityIterator it;
    char label[kObservabilityLabelSize];
    ASSERT_EQ(BeginObservability(&it, &site_, &date_, optics_.get(), nullptr, 0.25, 1.0, &vesta, 0, 0,
                                 0, 0, 0, kObservabilityJ2000, 0, label),
              1);
    EXPECT_STREQ(label, "Vesta");
    MinorPlanetEphemeris *h = OpenMinorPlanetEphemeris();
    ASSERT_TRUE(h);
    ObservabilityValues values;
    DateRecord at;
    double raA = 0, decA = 0, raB = 0, decB = 0;
    int steps = 0;
    while (NextObservabilityPlace(&it, nullptr, &values, &at, &raA, &decA, &raB, &decB) && steps < 10) {
        double ra = 0, dec = 0, delta = 0, magnitude = 0;
        ASSERT_NE(ComputeMinorPlanetPosition(h, &at, 4, &ra, &dec, nullptr, &delta, nullptr, &magnitude), 0);
        EXPECT_NEAR(raA, ra, 1e-9) << steps;
        EXPECT_NEAR(decA, dec, 1e-9) << steps;
        EXPECT_NEAR(values.magnitude, magnitude, 1e-5) << steps;
        EXPECT_NEAR(values.earthDistance, delta, delta * 1e-6) << steps;
        // B is the place of date: within a degree of J2000 over 24 years.
        EXPECT_LT(std::fabs(decB - decA), 1.0 * kDeg);
        ++steps;
    }
    EXPECT_EQ(steps, 5);  // 1 day in steps of 0.25
    CloseMinorPlanetEphemeris(h);
    EndObservability(&it);

    // Topocentric and geocentric places of date differ by the parallax only
    // (Vesta is more than 1 AU away: under 9").
    double geo[2], topo[2];
    ASSERT_EQ(BeginObservability(&it, &site_, &date_, optics_.get(), nullptr, 0.25, 1.0, &vesta, 0, 0,
                                 0, 0, 0, kObservabilityOfDate, 0, nullptr),
              1);
    ASSERT_EQ(NextObservabilityPlace(&it, nullptr, &values, &at, &geo[0], &geo[1], &raB, &decB), 1);
    EndObservability(&it);
    ASSERT_EQ(BeginObservability(&it, &site_, &date_, optics_.get(), nullptr, 0.25, 1.0, &vesta, 0, 0,
                                 0, 0, 0, kObservabilityOfDate, 1, nullptr),
              1);
    ASSERT_EQ(NextObservabilityPlace(&it, nullptr, &values, &at, &topo[0], &topo[1], &raB, &decB), 1);
    EndObservability(&it);
    const double separation = std::hypot((topo[0] - geo[0]) * std::cos(geo[1]), topo[1] - geo[1]);
    EXPECT_GT(separation, 0.0);
    EXPECT_LT(separation, 9 * kArcsec);
}

TEST_F(ObservabilityOrbits, CometPlacesComaAndLabel) {
    const int encke = FindCometByNumber(2);
    ASSERT_GE(encke, 0);
    ObjectRecord comet = Body(kClassComet, encke);
    ObservabilityIterator it;
    char label[kObservabilityLabelSize];
    ASSERT_EQ(BeginObservability(&it, &site_, &date_, optics_.get(), nullptr, 0.5, 1.0, &comet, 0, 0, 0,
                                 0, 0, kObservabilityJ2000, 0, label),
              1);
    EXPECT_EQ(std::strncmp(label, "2P/", 3), 0) << label;
    ObservabilityValues values;
    DateRecord at;
    double raA = 0, decA = 0, raB = 0, decB = 0;
    int steps = 0;
    while (NextObservabilityPlace(&it, nullptr, &values, &at, &raA, &decA, &raB, &decB) && steps < 10) {
        double ra = 0, dec = 0, magnitude = 0, coma = 0;
        int condensation = -1;
        ASSERT_EQ(ComputeCometPosition(&at, encke, nullptr, nullptr, nullptr, nullptr, &ra, &dec, nullptr,
                                       nullptr, nullptr, &magnitude, &coma, &condensation, nullptr, nullptr,
                                       nullptr, nullptr),
                  1);
        EXPECT_NEAR(raA, ra, 1e-9) << steps;
        EXPECT_NEAR(decA, dec, 1e-9) << steps;
        EXPECT_NEAR(values.magnitude, magnitude, 1e-5) << steps;
        EXPECT_NEAR(values.comaSize, coma, 1e-9) << steps;
        EXPECT_EQ(it.condensation, condensation);
        ++steps;
    }
    EXPECT_EQ(steps, 3);
    EndObservability(&it);
}

TEST_F(ObservabilityOrbits, UnreadableElementsAreRefused) {
    ObservabilityIterator it;
    char label[kObservabilityLabelSize];
    ObjectRecord user = Body(kClassUserComet, 1);
    EXPECT_EQ(BeginObservability(&it, &site_, &date_, optics_.get(), nullptr, 0.25, 1.0, &user, 0, 0, 0, 0,
                                 0, kObservabilityJ2000, 0, label),
              0);
    ObjectRecord unused = Body(kClassMinorPlanet, 999999);
    EXPECT_EQ(BeginObservability(&it, &site_, &date_, optics_.get(), nullptr, 0.25, 1.0, &unused, 0, 0, 0,
                                 0, 0, kObservabilityJ2000, 0, label),
              0);
}

}  // namespace

namespace {

// Distances from the Earth and the Sun, and Jupiter's central meridian, as
// PyEphem gives them (tools/gen_observability_reference.py).
struct DistanceReference {
    const char *name;
    int type;         // body type; kEncke for the comet
    double earth;     // AU; the Moon topocentric, km
    double sun;       // AU; the Moon 1
    double meridian;  // Jupiter's System II central meridian (rad), -1 none
};
const int kEncke = -2;
const DistanceReference kDistanceReferences[] = {
#include "visibility/tests/observability_reference.inc"
};

}  // namespace

TEST_F(ObservabilityOrbits, SolarSystemValuesAgreeWithPyEphem) {
    InitLocationRecord(&site_, 0.0, 40 * kDeg, 0.0, 0.0, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "T");
    site_.displayFlags |= kSiteIgnoresHorizon;
    DateRecord date;
    SetDateRecord(&date, &site_, 1, 25, 2024, 0.0, kUniversalTime);
    ComputeDeltaTAndNutation(&date, 0.0);
    ComputeSiderealTimes(&site_, &date);
    for (const DistanceReference &k : kDistanceReferences) {
        SCOPED_TRACE(k.name);
        const bool comet = k.type == kEncke;
        ObjectRecord object = comet ? Body(kClassComet, FindCometByNumber(2)) : Body(kClassSolarSystem, k.type);
        ObservabilityIterator it;
        ASSERT_EQ(BeginObservability(&it, &site_, &date, optics_.get(), nullptr, 0.1, 0.05, &object, 0, 0, 0, 0,
                                     0, kObservabilityOfDate, 1, nullptr),
                  1);
        ObservabilityValues values;
        DateRecord at;
        double raA = 0, decA = 0, raB = 0, decB = 0;
        ASSERT_EQ(NextObservabilityPlace(&it, nullptr, &values, &at, &raA, &decA, &raB, &decB), 1);
        EndObservability(&it);
        if (k.type == kBodyMoon) {
            EXPECT_NEAR(values.earthDistance, k.earth, 20.0);  // km
            EXPECT_EQ(values.sunDistance, 1.0);
        } else {
            const double tolerance = comet ? 2e-4 : 5e-5;  // AU
            EXPECT_NEAR(values.earthDistance, k.earth, tolerance);
            EXPECT_NEAR(values.sunDistance, k.sun, tolerance);
        }
        if (k.meridian >= 0.0) {
            const double d = std::remainder(values.centralMeridian - k.meridian, 2 * kPi);
            EXPECT_LT(std::fabs(d), 0.5 * kDeg) << values.centralMeridian / kDeg;
        }
        if (k.type == kBodyJupiter) {
            EXPECT_LT(std::fabs(values.latitudeOfCentre), 3.5 * kDeg);
        }
    }
}

TEST_F(ObservabilityOrbits, MarsCentralMeridianAndLatitudeOfCentre) {
    // Meeus, Astronomical Algorithms, example 42.a: 1992 November 9, 0h TD,
    // the Earth's planetocentric declination +12.44 deg and the central
    // meridian 111.55 deg (0h UT is a minute later in TD: 0.24 deg of rotation).
    InitLocationRecord(&site_, 0.0, 40 * kDeg, 0.0, 0.0, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "T");
    site_.displayFlags |= kSiteIgnoresHorizon;
    DateRecord date;
    SetDateRecord(&date, &site_, 11, 9, 1992, 0.0, kUniversalTime);
    ComputeDeltaTAndNutation(&date, 0.0);
    ComputeSiderealTimes(&site_, &date);
    ObjectRecord mars = Body(kClassSolarSystem, kBodyMars);
    ObservabilityIterator it;
    ASSERT_EQ(BeginObservability(&it, &site_, &date, optics_.get(), nullptr, 0.1, 0.05, &mars, 0, 0, 0, 0, 0,
                                 kObservabilityOfDate, 1, nullptr),
              1);
    ObservabilityValues values;
    DateRecord at;
    double raA = 0, decA = 0, raB = 0, decB = 0;
    ASSERT_EQ(NextObservabilityPlace(&it, nullptr, &values, &at, &raA, &decA, &raB, &decB), 1);
    EndObservability(&it);
    EXPECT_NEAR(values.latitudeOfCentre / kDeg, 12.44, 0.05);
    EXPECT_NEAR(values.centralMeridian / kDeg, 111.55, 0.5);
}
