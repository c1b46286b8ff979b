// Tests of the extinction and sky-brightness model against the published
// values of Schaefer's model and the cases where inputs leave its range.
#include "photometry/skymodel.h"

#include <gtest/gtest.h>

#include <cmath>

#include "photometry/extinction.h"
#include "photometry/skybright.h"
#include "core/mathutil.h"

namespace {

double Rad(double degrees) { return degrees * kPi / 180.0; }

TEST(Extinction, VisualCoefficient) {
    // Hand computation of the four terms for June, 10 C, 50 %, 0.7 rad, sea level:
    // Rayleigh 0.1066, aerosol 0.22035, ozone 0.033087, water 0.028378.
    EXPECT_NEAR(ComputeVisualExtinction(6, 10.0, 50.0, 0.7, 0.0), 0.3884, 5e-5);
    // Only |latitude| enters.
    EXPECT_DOUBLE_EQ(ComputeVisualExtinction(6, 10.0, 50.0, -0.7, 0.0),
                     ComputeVisualExtinction(6, 10.0, 50.0, 0.7, 0.0));
    // Less air above a mountain site.
    EXPECT_LT(ComputeVisualExtinction(6, 10.0, 50.0, 0.7, 2000.0),
              ComputeVisualExtinction(6, 10.0, 50.0, 0.7, 0.0));
}

TEST(Extinction, InputsOutsideTheModelRange) {
    // Below sea level (Dead Sea, Death Valley): taken as sea level, never 0.
    double sea = ComputeVisualExtinction(6, 10.0, 50.0, 0.7, 0.0);
    EXPECT_DOUBLE_EQ(ComputeVisualExtinction(6, 10.0, 50.0, 0.7, -430.0), sea);
    double kB = 0, kV = 0, kR = 0;
    ComputeThreeBandExtinction(6, 10.0, 50.0, 0.7, -86.0, &kB, &kV, &kR);
    EXPECT_DOUBLE_EQ(kV, sea);
    EXPECT_GT(kB, kV);
    EXPECT_GT(kV, kR);
    // Humidity of 100 % or more: held at 99.9 %, a finite coefficient.
    double at999 = ComputeVisualExtinction(6, 10.0, 99.9, 0.7, 0.0);
    EXPECT_TRUE(std::isfinite(at999));
    EXPECT_DOUBLE_EQ(ComputeVisualExtinction(6, 10.0, 100.0, 0.7, 0.0), at999);
    EXPECT_DOUBLE_EQ(ComputeVisualExtinction(6, 10.0, 130.0, 0.7, 0.0), at999);
    EXPECT_TRUE(std::isfinite(ComputeVisualExtinction(6, 10.0, 0.0, 0.7, 0.0)));
}

TEST(Extinction, BandRoutinesAgree) {
    // Decimal-year season (f x 360 - 60) equals the month season of June
    // ((6 - 3) x 30 = 90 deg) at f = 150 / 360.
    double ext[5], k[5];
    ComputeBandExtinction(2001.0 + 150.0 / 360.0, 10.0, 50.0, 0.7, 0.0, 0.0, ext, k);
    EXPECT_NEAR(k[2], 0.3884, 5e-5);
    double kB = 0, kV = 0;
    ComputeTwoBandExtinction(6, 10.0, 50.0, 0.7, 0.0, &kB, &kV);
    EXPECT_NEAR(k[1], kB, 1e-12);
    EXPECT_NEAR(k[2], kV, 1e-12);
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(ext[i], k[i], 1e-5 * k[i]) << i;  // one air mass at the zenith
        if (i > 0) {
            EXPECT_LT(k[i], k[i - 1]) << i;  // bluer light is dimmed more
        }
    }
    // Near the horizon: several air masses, finite even beyond 90 degrees.
    double low[5], kLow[5];
    ComputeBandExtinction(2001.4, 10.0, 50.0, 0.7, Rad(80.0), 0.0, low, kLow);
    EXPECT_GT(low[2], 4.0 * kLow[2]);
    ComputeBandExtinction(2001.4, 10.0, 50.0, 0.7, Rad(95.0), 0.0, low, kLow);
    for (double v : low) EXPECT_TRUE(std::isfinite(v));
    // The wavelength form: at the V wavelength its V row is the V coefficient
    // with the northern season sign; the southern sign flips the aerosol season.
    double wext[5], wk[5];
    ComputeBandExtinctionAtWavelength(0.55, 6, 10.0, 50.0, 0.7, 0.0, 0.0, wext, wk);
    EXPECT_NEAR(wk[2], 0.3884, 5e-5);
    ComputeBandExtinctionAtWavelength(0.55, 6, 10.0, 50.0, -0.7, 0.0, 0.0, wext, wk);
    EXPECT_LT(wk[2], 0.3884 - 0.05);
}

TEST(SkyBrightness, PublishedModelValues) {
    struct Case {
        const char *what;
        double phase, zm, rm, zs, rs, k;
        int year;
        double z, expected;
    } cases[] = {
        {"dark zenith 1997", kPi, kPi, kPi, kPi, kPi, 0.2, 1997, 0.0, 22.013},
        {"dark zenith 2001", kPi, kPi, kPi, kPi, kPi, 0.2, 2001, 0.0, 21.517},
        {"dark 60 deg 1997", kPi, kPi, kPi, kPi, kPi, 0.2, 1997, Rad(60), 21.749},
        {"Sun -12", kPi, kPi, kPi, Rad(102), Rad(90), 0.2, 1997, 0.0, 19.466},
        {"Sun -18", kPi, kPi, kPi, Rad(108), Rad(90), 0.2, 1997, 0.0, 21.973},
        {"Sun +30", kPi, kPi, kPi, Rad(60), Rad(90), 0.2, 1997, 0.0, 4.716},
        {"full Moon", 0.0, Rad(45), Rad(45), kPi, kPi, 0.2, 1997, 0.0, 18.229},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(ComputeSkyBrightness(c.phase, c.zm, c.rm, c.zs, c.rs, c.k, c.year, c.z, 0.0),
                    c.expected, 0.0015)
            << c.what;
    EXPECT_NEAR(ComputeDarkestSkyBrightness(), 21.93, 0.005);
}

TEST(SkyBrightness, RangeRulesOfTheModel) {
    // Beyond 85 degrees zenith distance the target is computed at 85.
    EXPECT_DOUBLE_EQ(ComputeSkyBrightness(kPi, kPi, kPi, kPi, kPi, 0.2, 1997, Rad(89), 0.0),
                     ComputeSkyBrightness(kPi, kPi, kPi, kPi, kPi, 0.2, 1997, Rad(85), 0.0));
    // A Moon below the horizon adds nothing, full or not.
    EXPECT_DOUBLE_EQ(ComputeSkyBrightness(0.0, Rad(91), Rad(30), kPi, kPi, 0.2, 1997, 0.0, 0.0),
                     ComputeSkyBrightness(kPi, kPi, kPi, kPi, kPi, 0.2, 1997, 0.0, 0.0));
    // Not capped at 22.5: heavy extinction darkens the night sky below it.
    EXPECT_GT(ComputeSkyBrightness(kPi, kPi, kPi, kPi, kPi, 1.0, 1997, 0.0, 0.0), 22.5);
    // Light pollution brightens the sky.
    double polluted = ComputeSkyBrightness(kPi, kPi, kPi, kPi, kPi, 0.2, 1997, 0.0,
                                           ComputeLightPollutionExcess(5.0));
    EXPECT_LT(polluted, 21.0);
}

TEST(SkyBrightness, DegenerateInputsStayFinite) {
    // The model itself guards a Sun or Moon exactly on the target.
    double flux = -1.0;
    EXPECT_EQ(ModelSkyBrightness(1997, 0.0, 0.0, 0.0, Rad(30), Rad(120), 0.0, 0.2, 0.0, &flux), 1);
    EXPECT_TRUE(std::isfinite(flux));
    EXPECT_GT(flux, 0.0);
    // k = 0 (no atmosphere): the twilight term no longer divides by zero.
    EXPECT_EQ(ModelSkyBrightness(1997, kPi, kPi, 0.0, kPi, Rad(100), Rad(90), 0.0, 0.0, &flux), 1);
    EXPECT_TRUE(std::isfinite(flux));
    // A site below sea level keeps its daylight: Sun 30 degrees high at the Dead Sea.
    double k = ComputeVisualExtinction(6, 30.0, 40.0, Rad(31.5), -430.0);
    EXPECT_LT(ComputeSkyBrightness(kPi, kPi, kPi, Rad(60), Rad(60), k, 2020, 0.0, 0.0), 8.0);
}

TEST(SkyBrightness, BandRoutinesUseTheirRows) {
    const double k[5] = {0.6, 0.4, 0.25, 0.15, 0.1};
    const double e[5] = {0, 0, 0, 0, 0};
    double flux[5];
    EXPECT_EQ(ModelBandSkyBrightness(1997, Rad(60), Rad(40), Rad(30), Rad(50), Rad(100), Rad(80), k,
                                     e, flux),
              1);
    double v = 0, b3 = 0, v3 = 0, r3 = 0, b2 = 0, v2 = 0;
    ModelSkyBrightness(1997, Rad(60), Rad(40), Rad(30), Rad(50), Rad(100), Rad(80), k[2], 0.0, &v);
    EXPECT_DOUBLE_EQ(flux[2], v);
    ComputeThreeBandSkyFlux(Rad(60), Rad(50), Rad(40), Rad(100), Rad(80), k[1], k[2], k[3], 1997,
                            Rad(30), 0.0, &b3, &v3, &r3);
    EXPECT_DOUBLE_EQ(b3, flux[1]);
    EXPECT_DOUBLE_EQ(v3, flux[2]);
    EXPECT_DOUBLE_EQ(r3, flux[3]);
    ComputeTwoBandSkyFlux(Rad(60), Rad(50), Rad(40), Rad(100), Rad(80), k[1], k[2], 1997, Rad(30),
                          0.0, &b2, &v2);
    EXPECT_DOUBLE_EQ(b2, flux[1]);
    EXPECT_DOUBLE_EQ(v2, flux[2]);
    // The band routine takes a Moon on the target as half a degree away.
    double at0[5], atHalf[5];
    ModelBandSkyBrightness(1997, 0.0, 0.0, Rad(30), Rad(30), kPi, kPi, k, e, at0);
    ModelBandSkyBrightness(1997, 0.0, Rad(0.5), Rad(30), Rad(30), kPi, kPi, k, e, atHalf);
    for (int i = 0; i < 5; ++i) EXPECT_DOUBLE_EQ(at0[i], atHalf[i]);
}

}  // namespace
