// Tests of the variability type codes, the light-curve model choice and the
// predicted magnitudes: Algol (EA) and Mira (M) at their catalogue epochs,
// novae and supernovae, and the guards on bad widths and missing epochs.
#include "objects/variabilitytypes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
VariabilityType Type(int typeClass, int subtype, std::initializer_list<int> suffixes = {},
                     bool uncertain = false) {
    VariabilityType t;
    std::memset(&t, 0, sizeof t);
    t.typeClass = typeClass;
    t.subtype = subtype;
    t.uncertain = uncertain ? kVariabilityUncertain : 0;
    for (int s : suffixes) t.suffixes[t.suffixCount++] = s;
    return t;
}
}  // namespace

TEST(VariabilityTypes, FormatsCodesSuffixesAndUncertainty) {
    VariabilityType types[3] = {Type(4, 0, {0}), Type(1, 6, {}, true), Type(3, 3, {7})};
    char text[kVariabilityTypesTextSize];
    EXPECT_EQ(FormatVariabilityTypes(types, 3, text), 3);
    EXPECT_STREQ(text, "EA+DSCT:+UGSS");
    EXPECT_EQ(FormatVariabilityTypes(types, 0, text), 0);
    EXPECT_STREQ(text, "");
    EXPECT_STREQ(GetVariabilityTypeCode(1, 16), "ZZ");
    EXPECT_STREQ(GetVariabilityTypeCode(5, 1), "");
    EXPECT_STREQ(GetVariabilityTypeCode(7, 0), "");
    EXPECT_STREQ(GetVariabilitySuffixCode(0, 9), "(YY)");
    EXPECT_STREQ(GetVariabilitySuffixCode(6, 0), "");
}

TEST(VariabilityTypes, EclipsingAlgolAtItsCatalogueEpoch) {
    // Algol: EA, 2.09 - 3.30, minimum JD 2445641.5135, period 2.867315 d.
    VariabilityType ea = Type(4, 0, {0});
    double epoch = 2445641.5135, width = 0.0, depth = 0.0;
    const double period = 2.867315;
    ASSERT_EQ(ChooseLightCurveModel(0, &ea, 1, &epoch, period, 3.30, 2.09, &width, &depth),
              kModelEclipsing);
    EXPECT_DOUBLE_EQ(width, 0.15);
    EXPECT_DOUBLE_EQ(depth, 0.1);
    double phase = 0;
    EXPECT_NEAR(PredictVariableMagnitude(epoch, period, epoch + 100 * period, width, depth, 3.30,
                                         2.09, kModelEclipsing, &phase),
                3.30, 1e-6);
    EXPECT_NEAR(phase, 0.0, 1e-6);
    // An EA star with limits 8.0 and 9.5 (width 0.15, depth 0.1).
    const struct {
        double phase, magnitude;
    } cases[] = {{0.0, 9.5}, {0.3, 8.0}, {0.5, 8.15}, {0.995, 8.0 + 1.5 * (1 - 0.10452846326765)}};  // x = 1 / 15, sin(pi / 30)
    for (const auto &c : cases) {
        double p = 0;
        EXPECT_NEAR(PredictVariableMagnitude(epoch, 10.0, epoch + 10.0 * (7 + c.phase) + 1e-9, 0.15, 0.1,
                                             9.5, 8.0, kModelEclipsing, &p),
                    c.magnitude, 1e-6)
            << c.phase;
    }
    // A width already given stays; B and W suffixes and none take their defaults.
    const struct {
        int suffix;
        double width, depth;
    } defaults[] = {{1, 0.5, 0.5}, {2, 0.5, 1.0}, {-1, 0.2, 0.15}};
    for (const auto &d : defaults) {
        VariabilityType t = d.suffix < 0 ? Type(4, 0) : Type(4, 0, {d.suffix});
        double w = 0.0, dp = 0.0;
        ChooseLightCurveModel(0, &t, 1, &epoch, period, 9, 8, &w, &dp);
        EXPECT_DOUBLE_EQ(w, d.width);
        EXPECT_DOUBLE_EQ(dp, d.depth);
    }
    double w = 0.3;
    ChooseLightCurveModel(0, &ea, 1, &epoch, period, 9, 8, &w, &depth);
    EXPECT_DOUBLE_EQ(w, 0.3);
}

TEST(VariabilityTypes, MiraIsBrightAtMaximumAndFaintHalfACycleLater) {
    // Mira (omicron Cet): M, 2.0 - 10.1, maximum JD 2444438, period 331.96 d.
    VariabilityType m = Type(1, 9);
    double epoch = 2444438.0;
    const double period = 331.96;
    ASSERT_EQ(ChooseLightCurveModel(0, &m, 1, &epoch, period, 10.1, 2.0, nullptr, nullptr),
              kModelPulsating);
    double phase = 0;
    EXPECT_NEAR(PredictVariableMagnitude(epoch, period, epoch + 20 * period, 0, 0, 10.1, 2.0,
                                         kModelPulsating, &phase),
                2.0, 1e-6);
    EXPECT_NEAR(PredictVariableMagnitude(epoch, period, epoch + 20.5 * period, 0, 0, 10.1, 2.0,
                                         kModelPulsating, &phase),
                10.1, 1e-6);
    EXPECT_NEAR(phase, 0.5, 1e-9);
    // A width of 1 (or more) would divide by 2 - 2r = 0: it falls back to 0.5.
    EXPECT_NEAR(PredictVariableMagnitude(epoch, period, epoch + 20.5 * period, 1.0, 0, 10.1, 2.0,
                                         kModelPulsating, &phase),
                10.1, 1e-6);
    // Before the epoch the phase wraps into [0, 1).
    EXPECT_NEAR(VariablePhase(epoch, period, epoch - 0.25 * period), 0.75, 1e-9);
    EXPECT_EQ(VariablePhase(0.0, period, epoch), -1.0);
    EXPECT_EQ(VariablePhase(-1.0, period, epoch), -1.0);  // the record's "no epoch"
    EXPECT_EQ(VariablePhase(epoch, 0.0, epoch), -1.0);
    EXPECT_EQ(VariablePhase(epoch, period, 0.0), -1.0);
    EXPECT_EQ(PredictVariableMagnitude(-1.0, period, epoch, 0, 0, 10.1, 2.0, kModelPulsating,
                                       &phase),
              99.9);
}

TEST(VariabilityTypes, FallbackModelsWithoutEpochOrPeriod) {
    VariabilityType m = Type(1, 9), rcb = Type(0, 3), ug = Type(3, 3), ell = Type(2, 2);
    double noEpoch = -1.0;
    EXPECT_EQ(ChooseLightCurveModel(0, &m, 1, &noEpoch, 331, 10, 2, nullptr, nullptr), kModelMean);
    EXPECT_EQ(ChooseLightCurveModel(0, &rcb, 1, &noEpoch, 0, 14, 6, nullptr, nullptr), kModelBright);
    EXPECT_EQ(ChooseLightCurveModel(0, &ug, 1, &noEpoch, 0, 14, 6, nullptr, nullptr), kModelFaint);
    EXPECT_EQ(ChooseLightCurveModel(0, &ell, 1, &noEpoch, 0, 14, 6, nullptr, nullptr), kModelMean);
    double phase = 0;
    EXPECT_EQ(PredictVariableMagnitude(0, 0, 2450000, 0, 0, 14, 6, kModelBright, &phase), 6);
    EXPECT_EQ(phase, -1.0);
    EXPECT_EQ(PredictVariableMagnitude(0, 0, 2450000, 0, 0, 14, 6, kModelFaint, nullptr), 14);
    EXPECT_EQ(PredictVariableMagnitude(0, 0, 2450000, 0, 0, 14, 6, kModelMean, nullptr), 10);
    EXPECT_EQ(PredictVariableMagnitude(0, 0, 2450000, 0, 0, 99.9, 6, kModelMean, nullptr), 6);
    EXPECT_EQ(PredictVariableMagnitude(0, 0, 2450000, 0, 0, 99.9, 6, kModelFaint, nullptr), 6);
    EXPECT_EQ(PredictVariableMagnitude(0, 0, 2450000, 0, 0, 14, 99.9, kModelBright, nullptr), 14);
    EXPECT_EQ(PredictVariableMagnitude(0, 0, 2450000, 0, 0, 14, 6, 7, nullptr), 99.9);
    EXPECT_EQ(PredictVariableMagnitude(0, 0, 2450000, 0, 0, 14, 6, -1, nullptr), 99.9);
}

TEST(VariabilityTypes, NovaeAndSupernovae) {
    // A supernova of type I whose key is in the table: its date replaces the epoch.
    VariabilityType sn1 = Type(3, 2, {6});
    double epoch = 2400000.0, width = 0, depth = 0;
    EXPECT_EQ(ChooseLightCurveModel(7306, &sn1, 1, &epoch, 0, 99.9, 12.0, &width, &depth),
              kModelSupernovaI);
    EXPECT_DOUBLE_EQ(epoch, 2413381.75);
    // Without a table key the record's epoch stays, model 5.
    epoch = 2400000.0;
    EXPECT_EQ(ChooseLightCurveModel(1, &sn1, 1, &epoch, 0, 99.9, 12.0, &width, &depth), kModelNova);
    EXPECT_DOUBLE_EQ(epoch, 2400000.0);

    const double E = 2450000.0;
    const struct {
        int model;
        double dt, magnitude;
    } cases[] = {
        {kModelNova, -30, 16.0},     // before E - 20: quiescent (faint limit 16)
        {kModelNova, -10, 9.0},      // 4 + 0.5 x 10
        {kModelNova, 20, 6.0},       // 4 + 0.1 x 20
        {kModelNova, 140, 9.4},      // 4 + 4 + 0.014 x 100
        {kModelNova, 700, 16.0},     // 17.24 would be fainter than quiescence: held at 16
        {kModelNova, 900, 16.0},
        {kModelSupernovaI, -40, 12.0},  // 4 + 0.2 x 40
        {kModelSupernovaI, 50, 6.5},    // 4 + 0.05 x 50
        {kModelSupernovaI, 300, 11.0},  // 4 + 5 + 0.01 x 200
        {kModelSupernovaI, -60, 16.0},
    };
    for (const auto &c : cases) {
        EXPECT_NEAR(PredictVariableMagnitude(E, 0, E + c.dt, 0, 0, 16.0, 4.0, c.model, nullptr),
                    c.magnitude, 1e-9)
            << c.model << " " << c.dt;
    }
    // Without a faint limit quiescence is b + 12; without an epoch, quiescence.
    EXPECT_NEAR(PredictVariableMagnitude(E, 0, E + 400, 0, 0, 99.9, 4.0, kModelNova, nullptr), 13.04,
                1e-9);
    EXPECT_NEAR(PredictVariableMagnitude(-1.0, 0, E, 0, 0, 99.9, 4.0, kModelNova, nullptr), 16.0, 1e-9);
}
