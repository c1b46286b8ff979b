// Star records of doubles and variables built from the demo catalogues: the
// visual-binary orbits of alpha Cen, Sirius, 70 Oph and eta CrB as the orbit
// files carry them, a companion placed from its primary at a date, the
// predicted magnitudes of Mira and Algol at their catalogue epochs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "astro/chartgeom.h"
#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "objects/binaryorbitcat.h"
#include "objects/buildrecord.h"
#include "objects/categories.h"
#include "objects/ccdmcat.h"
#include "objects/designationlist.h"
#include "objects/objectnames.h"
#include "objects/objectrecord.h"
#include "objects/starcat.h"
#include "objects/starrecord.h"
#include "objects/tests/democatalogues.h"
#include "objects/variablecat.h"

namespace {

const double kDeg = kPi / 180.0;
const double kArcsec = kPi / (180.0 * 3600.0);

// Published orbital elements (the sources the orbit table names).
struct Elements {
    const char *name;
    CcdmIdentifier wds;
    double P, T, e, a, i, node, omega;
};
const Elements kAlphaCen{"alpha Cen", {14396, 6050, '-'}, 79.91, 1875.66, 0.5179, 17.57,
                         79.205, 204.85, 231.65};
const Elements kSirius{"Sirius", {6451, 1643, '-'}, 50.1284, 1994.5715, 0.59142, 7.4957,
                       136.336, 45.400, 149.161};
const Elements k70Oph{"70 Oph", {18055, 230, '+'}, 88.38, 1895.94, 0.4992, 4.554, 121.16,
                      302.12, 14.0};

// The companion's place from the Thiele-Innes constants (Heintz, Double
// Stars, ch. 4): a formulation independent of the position-angle form the
// program solves. Returns position angle (deg) and separation (arcsec).
void ThieleInnes(const Elements &el, double t, double *pa, double *sep) {
    const double w = el.omega * kDeg, node = el.node * kDeg, i = el.i * kDeg;
    const double A = el.a * (std::cos(w) * std::cos(node) - std::sin(w) * std::sin(node) * std::cos(i));
    const double B = el.a * (std::cos(w) * std::sin(node) + std::sin(w) * std::cos(node) * std::cos(i));
    const double F = el.a * (-std::sin(w) * std::cos(node) - std::cos(w) * std::sin(node) * std::cos(i));
    const double G = el.a * (-std::sin(w) * std::sin(node) + std::cos(w) * std::cos(node) * std::cos(i));
    const double M = 2 * kPi / el.P * (t - el.T);
    double E = M;
    for (int k = 0; k < 100; ++k) E -= (E - el.e * std::sin(E) - M) / (1 - el.e * std::cos(E));
    const double X = std::cos(E) - el.e, Y = std::sqrt(1 - el.e * el.e) * std::sin(E);
    const double north = A * X + F * Y, east = B * X + G * Y;
    *sep = std::hypot(north, east);
    double p = std::atan2(east, north) / kDeg;
    *pa = p < 0 ? p + 360.0 : p;
}

double AngleDifference(double a, double b) {
    double d = std::fmod(a - b + 540.0, 360.0) - 180.0;
    return std::fabs(d);
}

double AngularDistance(double ra1, double dec1, double ra2, double dec2) {
    const double s = std::sin(dec1) * std::sin(dec2) + std::cos(dec1) * std::cos(dec2) * std::cos(ra1 - ra2);
    const double c = std::hypot(std::cos(dec2) * std::sin(ra2 - ra1),
                                std::cos(dec1) * std::sin(dec2) - std::sin(dec1) * std::cos(dec2) * std::cos(ra2 - ra1));
    return std::atan2(c, s);
}

class DemoStarSystems : public ::testing::Test {
protected:
    void SetUp() override {
        if (!democat::UseDemoCatalogues()) GTEST_SKIP() << "no demo catalogues";
        std::memset(&site, 0, sizeof site);
        InitLocationRecord(&site, 0.0, 51.4769 * kDeg, 46.0, 6.5, 0.0, 10.0, 50.0, 2, 0.0, 0.0,
                           "Greenwich");
    }
    void TearDown() override { SetRefDirectories("", "", ""); }

    DateRecord At(double jd) const {
        DateRecord d;
        std::memset(&d, 0, sizeof d);
        d.julianDate = jd;
        SetDateRecordFromJulianDate(&site, &d);
        ComputeDeltaTAndNutation(&d, 0.0);
        ComputeSiderealTimes(&site, &d);
        return d;
    }

    // The orbit number of component B of a system, and the system's primary.
    int OrbitOfCompanion(const CcdmIdentifier &id, int *primary, CcdmComponent *b) {
        std::vector<CcdmComponent> c(kMaxCcdmComponents);
        int record = 0;
        int count = FindCcdmRecord(id, &record, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, primary, nullptr, nullptr, c.data(), 0x5a);
        for (int k = 0; k < count; ++k)
            if (c[(size_t)k].letter == 'B') {
                *b = c[(size_t)k];
                return c[(size_t)k].orbitNumber;
            }
        return 0;
    }

    int Build(int kind, const char *text, char component, const DateRecord *date,
              ObjectRecord out[3]) {
        std::memset(out, 0, 3 * sizeof(ObjectRecord));
        return BuildObjectRecord(kClassStar, kind, component, 0, text, -0.0145,
                                 date ? &site : nullptr, date, 0.0, out);
    }

    LocationRecord site;
};

TEST_F(DemoStarSystems, OrbitFilesGiveTheCompanionsPlaceAtADate) {
    // eta CrB at 1980.0, the worked example of Meeus (Astronomical
    // Algorithms, ch. 57): 318.4 deg, 0.411".
    {
        int primary = 0;
        CcdmComponent b;
        std::memset(&b, 0, sizeof b);
        const int n = OrbitOfCompanion({15232, 3017, '+'}, &primary, &b);
        ASSERT_GT(n, 0);
        std::unique_ptr<OrbitFiles, void (*)(OrbitFiles *)> files(OpenBinaryOrbitFiles(),
                                                                  CloseBinaryOrbitFiles);
        BinaryOrbit orbit;
        int grade = 0;
        ASSERT_EQ(ReadBinaryOrbit(files.get(), n, &orbit, nullptr, nullptr, &grade), 1);
        EXPECT_EQ(grade, 2);
        double pa = 0, sep = 0;
        ASSERT_EQ(ComputeBinaryPositionAngle(n, &orbit, 1980.0,
                                             BinaryOrbitPrecessionCorrection(n, &orbit), &pa,
                                             &sep),
                  1);
        EXPECT_NEAR(pa, 318.4, 0.1);
        EXPECT_NEAR(sep, 0.411, 0.001);
    }
    // The three well-known pairs over a century of dates, against the
    // Thiele-Innes solution of their published elements. The files store
    // the elements in single precision: a few thousandths of an arcsecond.
    for (const Elements *el : {&kAlphaCen, &kSirius, &k70Oph}) {
        int primary = 0;
        CcdmComponent b;
        std::memset(&b, 0, sizeof b);
        const int n = OrbitOfCompanion(el->wds, &primary, &b);
        ASSERT_GT(n, 0) << el->name;
        EXPECT_GT(primary, 0) << el->name;
        std::unique_ptr<OrbitFiles, void (*)(OrbitFiles *)> files(OpenBinaryOrbitFiles(),
                                                                  CloseBinaryOrbitFiles);
        BinaryOrbit orbit;
        ASSERT_EQ(ReadBinaryOrbit(files.get(), n, &orbit, nullptr, nullptr, nullptr), 1);
        EXPECT_EQ(orbit.equinox_year, 2000);
        EXPECT_EQ(BinaryOrbitPrecessionCorrection(n, &orbit), 0.0);
        for (double t : {1950.0, 1991.25, 2016.4, 2026.95, 2050.0}) {
            double pa = 0, sep = 0, wantPa = 0, wantSep = 0;
            ASSERT_EQ(ComputeBinaryPositionAngle(n, &orbit, t, 0.0, &pa, &sep), 1);
            ThieleInnes(*el, t, &wantPa, &wantSep);
            EXPECT_NEAR(sep, wantSep, 0.005 + 0.001 * wantSep) << el->name << " " << t;
            EXPECT_LT(AngleDifference(pa, wantPa), 0.05 + 0.5 / wantSep) << el->name << " " << t;
        }
        // The catalogue's own measure of B is the orbit's place at 2000.0.
        double pa2000 = 0, sep2000 = 0;
        ThieleInnes(*el, 2000.0, &pa2000, &sep2000);
        EXPECT_NEAR(b.separation, sep2000, 0.002) << el->name;
        EXPECT_LT(AngleDifference(b.positionAngle, pa2000), 0.05) << el->name;
    }
}

TEST_F(DemoStarSystems, CompanionIsPlacedFromItsPrimaryByItsOrbit) {
    // Sirius B (no star of its own in the catalogue) asked for by the CCDM
    // designation and the letter B, on 2026 December 11 (decimal year 2026.95).
    const DateRecord date = At(2461385.5);
    ObjectRecord primary[3], companion[3], undated[3];
    ASSERT_EQ(Build(kStarKindCcdm, "CCDM 06451-1643", ' ', &date, primary), 1);
    ASSERT_EQ(Build(kStarKindCcdm, "CCDM 06451-1643", 'B', &date, companion), 1);
    ASSERT_EQ(Build(kStarKindCcdm, "CCDM 06451-1643", 'B', nullptr, undated), 1);
    // Packed fields: copied before gtest binds them.
    const int companionIndex = companion[0].index, primaryIndex = primary[0].index;
    const char companionLetter = companion[0].requestedComponent;
    const char primaryLetter = primary[0].requestedComponent;
    const float companionMagnitude = companion[0].magnitude;
    const float primaryMagnitude = primary[0].magnitude;
    EXPECT_EQ(companionIndex, primaryIndex);
    EXPECT_EQ(companionLetter, 'B');
    EXPECT_EQ(primaryLetter, ' ');
    EXPECT_NEAR(companionMagnitude, 8.44, 1e-4);
    EXPECT_LT(primaryMagnitude, 0.0f);  // Sirius A keeps its own

    double wantPa = 0, wantSep = 0;
    ThieleInnes(kSirius, date.decimalYear, &wantPa, &wantSep);
    const double sep = AngularDistance(primary[0].raCatalogue, primary[0].decCatalogue,
                                       companion[0].raCatalogue, companion[0].decCatalogue) /
                       kArcsec;
    const double pa = ComputePositionAngle(primary[0].raCatalogue, primary[0].decCatalogue,
                                           companion[0].raCatalogue, companion[0].decCatalogue) /
                      kDeg;
    EXPECT_NEAR(sep, wantSep, 0.01);
    EXPECT_LT(AngleDifference(pa, wantPa), 0.1);
    // Without a date the catalogue's measure (the orbit at 2000.0) places it.
    double pa2000 = 0, sep2000 = 0;
    ThieleInnes(kSirius, 2000.0, &pa2000, &sep2000);
    const double undatedSep =
        AngularDistance(primary[0].raCatalogue, primary[0].decCatalogue, undated[0].raCatalogue,
                        undated[0].decCatalogue) / kArcsec;
    EXPECT_NEAR(undatedSep, sep2000, 0.01);
    EXPECT_GT(std::fabs(undatedSep - sep), 1.0);  // the pair has moved since

    // The companion is named by its own letter after its primary's name.
    char primaryName[65] = {0}, companionName[65] = {0};
    ASSERT_NE(FormatObjectName(&primary[0], primaryName, nullptr, nullptr, nullptr, nullptr), 0);
    ASSERT_NE(FormatObjectName(&companion[0], companionName, nullptr, nullptr, nullptr, nullptr),
              0);
    EXPECT_EQ(std::string(companionName), std::string(primaryName) + " B");

    // A letter the system lacks: the star itself, no component.
    ObjectRecord missing[3];
    ASSERT_EQ(Build(kStarKindCcdm, "CCDM 06451-1643", 'Q', &date, missing), 1);
    const char missingLetter = missing[0].requestedComponent;
    const double missingRa = missing[0].raCatalogue, primaryRa = primary[0].raCatalogue;
    EXPECT_EQ(missingLetter, ' ');
    EXPECT_DOUBLE_EQ(missingRa, primaryRa);
}

TEST_F(DemoStarSystems, ComponentChainIsWalkedBackToThePrimary) {
    // A: the primary; B 90 deg 10" from A; C 0 deg 20" from B; D names a
    // reference the list lacks; E has no position angle.
    CcdmComponent c[5];
    std::memset(c, 0, sizeof c);
    const struct { char ref, letter; double pa, sep; } rows[] = {
        {' ', 'A', 361.0, 0.0}, {'A', 'B', 90.0, 10.0}, {'B', 'C', 0.0, 20.0},
        {'X', 'D', 45.0, 5.0}, {'A', 'E', 361.0, 3.0}};
    for (int k = 0; k < 5; ++k) {
        c[k].referenceLetter = rows[k].ref;
        c[k].letter = rows[k].letter;
        c[k].positionAngle = rows[k].pa;
        c[k].separation = rows[k].sep;
    }
    const double ra = 1.0, dec = 0.3;
    double raC = 0, decC = 0;
    ASSERT_EQ(ResolveComponentPosition(c, 5, 2, nullptr, ra, dec, &raC, &decC), 1);
    double raB = 0, decB = 0;
    ComputeOffsetPosition(90.0 * kDeg, 10.0 * kArcsec, ra, dec, &raB, &decB);
    EXPECT_NEAR(AngularDistance(raB, decB, raC, decC) / kArcsec, 20.0, 1e-6);
    EXPECT_NEAR(ComputePositionAngle(raB, decB, raC, decC) / kDeg, 0.0, 1e-4);
    // a plane triangle on the sphere: equal to well within a milliarcsecond
    EXPECT_NEAR(AngularDistance(ra, dec, raC, decC) / kArcsec, std::hypot(10.0, 20.0), 1e-3);

    double x = 0, y = 0;
    EXPECT_EQ(ResolveComponentPosition(c, 5, 3, nullptr, ra, dec, &x, &y), 0);  // no X
    EXPECT_EQ(ResolveComponentPosition(c, 5, 4, nullptr, ra, dec, &x, &y), 0);  // no angle
    EXPECT_EQ(ResolveComponentPosition(c, 5, 5, nullptr, ra, dec, &x, &y), 0);  // outside
    EXPECT_EQ(ResolveComponentPosition(c, 5, -1, nullptr, ra, dec, &x, &y), 0);
    // Two components naming each other end the walk instead of recursing.
    c[1].referenceLetter = 'C';
    EXPECT_EQ(ResolveComponentPosition(c, 5, 2, nullptr, ra, dec, &x, &y), 0);
}

TEST_F(DemoStarSystems, VariablesCarryTheirPredictedMagnitudeForTheDate) {
    std::unique_ptr<VariableStarFiles, void (*)(VariableStarFiles *)> files(
        OpenVariableStarFiles(), CloseVariableStarFiles);
    ASSERT_NE(files.get(), nullptr);
    // Mira at a catalogue maximum; Algol at a catalogue minimum and a
    // quarter period later (outside the eclipse); delta Cep at maximum.
    const struct {
        const char *text;
        double cycles;
        double want;
        int phase;
    } cases[] = {
        {"omi Cet", 30.0, 2.0, 0},   {"omi Cet", 30.5, -1.0, 50},
        {"bet Per", 500.0, 3.39, 0}, {"bet Per", 500.25, 2.12, 25},
        {"del Cep", 2000.0, 3.48, 0},
    };
    for (const auto &c : cases) {
        VariableStarRecord v;
        std::memset(&v, 0, sizeof v);
        ASSERT_EQ(FindVariableStarsByName(files.get(), c.text, &v, 0x1b), 1) << c.text;
        const DateRecord date = At(v.epoch + c.cycles * v.period);
        ObjectRecord r[3];
        ASSERT_GE(Build(kStarKindVariable, c.text, ' ', &date, r), 1) << c.text;
        const int constellation = r[0].designationConstellation, want = v.constellation;
        const int bits = r[0].categoryBits;
        const float predicted = r[0].predictedMagnitude;
        EXPECT_EQ(constellation, want) << c.text;
        EXPECT_EQ(bits & 0x80, 0x80) << c.text;
        if (c.want > 0) EXPECT_NEAR(predicted, c.want, 0.01) << c.text;
        // Mira half a cycle on is well below its maximum.
        else EXPECT_GT(predicted, 8.0f) << c.text;
        const int phase = r[0].variablePhase;
        EXPECT_NEAR(phase, c.phase, 1) << c.text;
        // Without a date nothing is predicted: the record keeps its default.
        ObjectRecord undated[3];
        ASSERT_GE(Build(kStarKindVariable, c.text, ' ', nullptr, undated), 1);
        ObjectRecord fresh;
        InitObjectRecord(&fresh);
        const float undatedPrediction = undated[0].predictedMagnitude;
        const float defaultPrediction = fresh.predictedMagnitude;
        EXPECT_EQ(undatedPrediction, defaultPrediction) << c.text;
    }
}

}  // namespace
