// Tests of the services start-up hands to the lower floors: with them
// connected, the Earth-satellite sky test scores its hours by the
// visibility models' hour score instead of its built-in twilight rule.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "ephem/satposition.h"
#include "ephem/sunmoon.h"
#include "ephem/tests/ephemfixture.h"
#include "visibility/hourscore.h"

namespace {

class StartupServices : public ephemtest::GeneratedTables {
protected:
    void TearDown() override {
        SetSatelliteHourScoreFunction(nullptr);
        ephemtest::GeneratedTables::TearDown();
    }
};

TEST_F(StartupServices, TheSatelliteSkyTestScoresItsHours) {
    const double deg = kPi / 180.0;
    LocationRecord site;
    std::memset(&site, 0, sizeof site);
    InitLocationRecord(&site, 0.0, 51.4769 * deg, 46.0, 6.5, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "Greenwich");
    // 2008 September 29, 22:00 UT: new Moon, the Sun 30 degrees down;
    // September 27, 16:40 UT: the Sun up. A pass 40 degrees high.
    const double night = 2454739.4167, day = 2454737.1953;
    const double ra = 0.3, dec = 0.0, altitude = 40 * deg;
    struct Case {
        double jd;
        int visible;
    } cases[] = {{night, 1}, {day, 0}};

    // The built-in rule scores nothing.
    SetSatelliteHourScoreFunction(nullptr);
    int16_t score = -1;
    EXPECT_EQ(IsSatelliteVisible(&site, night, ra, dec, altitude, 3.0, 1, &score), 1);
    EXPECT_EQ(score, 0);

    ConnectProgramServices();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.jd);
        score = -1;
        EXPECT_EQ(IsSatelliteVisible(&site, c.jd, ra, dec, altitude, 3.0, 1, &score), c.visible);
        // The word is the hour score of that sky and that altitude.
        SunMoonState s;
        std::memset(&s, 0, sizeof s);
        ComputeSunMoonState(&site, c.jd, ra, dec, &s, 1);
        DateRecord date;
        std::memset(&date, 0, sizeof date);
        date.julianDate = c.jd;
        SetDateRecordFromJulianDate(&site, &date);
        ComputeDeltaTAndNutation(&date, 0.0);
        ComputeSiderealTimes(&site, &date);
        double darkness = 0, fraction = 0;
        const uint16_t word = ComputeHourScore(&site, &date, s.sunAltitude, s.sunTargetSeparation, s.moonAltitude,
                                               s.moonIlluminatedFraction, s.moonTargetSeparation, altitude,
                                               &darkness, &fraction);
        EXPECT_EQ(static_cast<uint16_t>(score), word);
        // A daylit sky has darkness 0 and hides the pass.
        EXPECT_EQ(darkness > 0.0, c.visible == 1) << darkness;
        if (c.visible) {
            EXPECT_NE(score, 0);  // a dark sky and a high pass score
        }
    }
}

}  // namespace
