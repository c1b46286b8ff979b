// Tests of the minor-planet element lines: the "MP " and catalogue columns,
// the skipped lines and the class filter, the epoch's day fraction, when the
// import sorts, the step protocol, the export line, and the places of (1)
// Ceres and (433) Eros imported from their lines against PyEphem
// (tools/minor_body_reference.py) built from the same elements.
#include "minorbodies/mpimport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "astro/datetime.h"
#include "astro/sidereal.h"
#include "core/safefile.h"
#include "minorbodies/tests/userstorefixture.h"
#include "minorbodies/usermp.h"

namespace {

using mbtest::FixedLine;

struct MpFields {
    std::string name, year, month, day, M, a, e, peri, node, incl, H, G, source;
};

std::string MpLine(const MpFields &f) {
    return FixedLine()
        .at(0, "MP ")
        .at(3, f.name)
        .at(44, f.year)
        .at(49, f.month)
        .at(52, f.day)
        .at(57, f.M)
        .at(65, f.a)
        .at(76, f.e)
        .at(85, f.peri)
        .at(93, f.node)
        .at(101, f.incl)
        .at(109, f.H)
        .at(115, f.G)
        .at(122, f.source)
        .str();
}

// Elements of epoch 2020 May 31.0 TT (MPC/JPL, rounded to the line's columns).
const MpFields kCeres = {"(1) Ceres", "2020", "05", "31.0", "77.3721", "2.76916515", "0.076009", "73.5977",
                         "80.3055", "10.5941", " 3.53", "  0.12", "MPC"};
const MpFields kEros = {"(433) Eros", "2020", "05", "31.0", "271.0717", "1.45804500", "0.222951", "178.9297",
                        "304.2993", "10.8283", "10.38", "  0.46", "MPC"};

class MinorPlanetLines : public mbtest::UserStore {
protected:
    // Imports the lines to the end; the final answer of the step function.
    int Import(const std::vector<std::string> &lines, int32_t *added, int32_t *replaced, int32_t *skipped,
               const OrbitClassOptions *options = nullptr, bool catalogue = false) {
        std::string text;
        for (const std::string &l : lines) text += l + "\r\n";  // CR LF as Windows writes
        EXPECT_TRUE(testutil::WriteFileBytes(file("in.txt"), text));
        MinorPlanetImport state;
        if (!BeginMinorPlanetImport(&state, file("in.txt").c_str(), options, 1)) return -2;
        int r;
        int guard = 0;
        while ((r = catalogue ? ImportAsteroidCatalogueLines(&state, added, replaced, skipped)
                              : ImportMinorPlanetLines(&state, added, replaced, skipped)) == 1 &&
               ++guard < 1000) {
        }
        EndMinorPlanetImport(&state);
        return r;
    }
    std::vector<MinorPlanetRecord> Records() {
        std::vector<MinorPlanetRecord> out;
        int32_t count = 0;
        FILE *f = OpenUserMinorPlanetFile(&count);
        for (int32_t i = 0; f && i < count; ++i) {
            MinorPlanetRecord r;
            EXPECT_EQ(ReadUserMinorPlanetRecord(f, &r, i), 1);
            out.push_back(r);
        }
        if (f) SafeClose(f);
        return out;
    }
};

TEST_F(MinorPlanetLines, NamesNumbersAndSkippedLines) {
    MpFields wild = kEros;
    wild.name = "Wild One";
    wild.e = "2.5";
    MpFields tilted = kEros;
    tilted.name = "Tilted";
    tilted.incl = "400.0";
    MpFields noMonth = kEros;
    noMonth.name = "Undated";
    noMonth.month = "13";
    int32_t added = 0, replaced = 0, skipped = 0;
    ASSERT_EQ(Import({MpLine(kCeres), "# a comment line is not counted", MpLine(wild), MpLine(tilted),
                      MpLine(noMonth), MpLine(kEros)},
                     &added, &replaced, &skipped),
              0);
    EXPECT_EQ(added, 2);
    EXPECT_EQ(replaced, 0);
    EXPECT_EQ(skipped, 3);
    auto all = Records();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(+all[0].number, 1);
    EXPECT_STREQ(all[0].name, "Ceres");
    EXPECT_EQ(+all[1].number, 433);
    EXPECT_STREQ(all[1].name, "Eros") << "the name as written, not upper-cased";
    EXPECT_EQ(+all[1].objectId, 2) << "the import sorted and gave ids";
    EXPECT_NEAR(all[1].e, 0.222951, 1e-12);
    EXPECT_NEAR(all[1].inclination, 10.8283 * kPi / 180.0, 1e-6);
    EXPECT_FLOAT_EQ(+all[1].H, 10.38f);
    EXPECT_STREQ(all[1].source, "MPC");
}

TEST_F(MinorPlanetLines, NumberedOnlySwitchSkipsAnUnnumberedAmor) {
    MpFields amor = kEros;  // a = 1.458, q = 1.133: an Amor (class 5)
    amor.name = "2020 AB";
    OrbitClassOptions options = {1, 1, 1, 1, 1, 1};
    int32_t added = 0, replaced = 0, skipped = 0;
    ASSERT_EQ(Import({MpLine(amor), MpLine(kEros)}, &added, &replaced, &skipped, &options), 0);
    EXPECT_EQ(added, 1);
    EXPECT_EQ(skipped, 1);
    OrbitClassOptions mainBeltOnly = {0, 0, 0, 1, 0, 0};
    added = skipped = 0;
    MpFields vesta = kCeres;
    vesta.name = "(4) Vesta";
    vesta.a = "2.36";
    ASSERT_EQ(Import({MpLine(amor), MpLine(vesta)}, &added, &replaced, &skipped, &mainBeltOnly), 0);
    EXPECT_EQ(added, 1);
    EXPECT_EQ(skipped, 1);
}

TEST_F(MinorPlanetLines, TheDayFractionIsPartOfTheEpoch) {
    MpFields half = kCeres;
    half.day = "12.5";
    half.month = "06";
    int32_t added = 0, replaced = 0, skipped = 0;
    ASSERT_EQ(Import({MpLine(half)}, &added, &replaced, &skipped), 0);
    auto all = Records();
    ASSERT_EQ(all.size(), 1u);
    double jd = JulianDateFromCalendar(6, 12, 2020, 12.0);
    EXPECT_NEAR(all[0].epoch, (jd - 2451545.0) / 36525.0, 1e-9);
    // The mean anomaly belongs to 12h: T follows from it, not from 0h.
    double n = 0.01720209895 / std::pow(2.76916515, 1.5) * 180.0 / kPi;
    EXPECT_NEAR(all[0].perihelionTime * 36525.0 + 2451545.0, jd - 77.3721 / n, 1e-4);
}

TEST_F(MinorPlanetLines, OnlyAnImportThatAddedSorts) {
    int32_t added = 0, replaced = 0, skipped = 0;
    ASSERT_EQ(Import({MpLine(kEros), MpLine(kCeres)}, &added, &replaced, &skipped), 0);
    std::string sorted = bytes("mp.bin");
    auto all = Records();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(+all[0].number, 1) << "sorted by number";
    // Identical and replacing sets only: the file keeps its order and ids,
    // and nothing but the replaced set changes.
    MpFields brighter = kEros;
    brighter.H = " 9.00";
    added = replaced = skipped = 0;
    ASSERT_EQ(Import({MpLine(kCeres), MpLine(brighter)}, &added, &replaced, &skipped), 0);
    EXPECT_EQ(added, 0);
    EXPECT_EQ(replaced, 1);
    EXPECT_EQ(skipped, 1);
    std::string now = bytes("mp.bin");
    ASSERT_EQ(now.size(), sorted.size());
    EXPECT_EQ(now.substr(0, 8 + 233), sorted.substr(0, 8 + 233));
    EXPECT_FLOAT_EQ(+Records()[1].H, 9.0f);
}

TEST_F(MinorPlanetLines, CatalogueLinesAndTheStepProtocol) {
    // astorb.dat columns; H and G left empty.
    auto catalogue = [](const char *number, const char *name, const char *a) {
        return FixedLine(190)
            .at(0, number)
            .at(7, name)
            .at(106, "20200531")
            .at(115, " 77.372096")
            .at(126, " 73.597695")
            .at(137, " 80.305532")
            .at(148, "10.594067")
            .at(158, "0.07600903")
            .at(169, a)
            .str();
    };
    std::vector<std::string> lines;
    for (int i = 1; i <= 7; ++i)
        lines.push_back(catalogue(std::to_string(i).c_str(), ("Rock " + std::to_string(i)).c_str(), "2.769165146"));
    std::string text;
    for (const std::string &l : lines) text += l + "\n";
    ASSERT_TRUE(testutil::WriteFileBytes(file("astorb.dat"), text));
    MinorPlanetImport state;
    ASSERT_EQ(BeginMinorPlanetImport(&state, file("astorb.dat").c_str(), nullptr, 3), 1);
    EXPECT_EQ(state.linesPerStep, 2);  // 7 lines in 3 steps
    int32_t added = 0, replaced = 0, skipped = 0;
    // A step ends after lines-per-step + 1 lines.
    EXPECT_EQ(ImportAsteroidCatalogueLines(&state, &added, &replaced, &skipped), 1);
    EXPECT_EQ(added, 3);
    EXPECT_EQ(ImportAsteroidCatalogueLines(&state, &added, &replaced, &skipped), 1);
    EXPECT_EQ(added, 6);
    EXPECT_EQ(ImportAsteroidCatalogueLines(&state, &added, &replaced, &skipped), 0);
    EXPECT_EQ(added, 7);
    EndMinorPlanetImport(&state);
    auto all = Records();
    ASSERT_EQ(all.size(), 7u);
    EXPECT_EQ(+all[6].number, 7);
    EXPECT_STREQ(all[6].name, "Rock 7");
    EXPECT_EQ(+all[6].H, 0.0f);
    EXPECT_EQ(+all[6].G, 0.0f);
    EXPECT_STREQ(all[6].source, "Bowell");
}

TEST_F(MinorPlanetLines, ExportLineAndItsDate) {
    OrbitRecord orbit;
    // T = 2020 Jan 1.0, q-only ellipse: a is filled in from q and e.
    double T = (2458849.5 - 2451545.0) / 36525.0;
    ASSERT_EQ(InitOrbitRecord(&orbit, T, 0, 0, 0, 2.5, 0.1, 40.0, 50.0, 5.0, 0, 7.25, 0.15, kMagnitudeModelAsteroid), 1);
    orbit.a = 0.0;
    orbit.q = 2.25;
    char name[] = "Pallas";
    char line[256];
    double time = T + 10.5 / 36525.0;  // 2020 Jan 11.5
    FormatMinorPlanetExportLine(line, 2, name, time, &orbit);
    double n = 0.01720209895 / std::pow(2.5, 1.5) * 180.0 / kPi;
    char M[16];
    std::snprintf(M, sizeof M, "%10.6f", 10.5 * n);
    EXPECT_EQ(std::string(line), std::string("     2 PALLAS        |2020 01 11.500|0.10000000|2.500000|  5.0000| "
                                             "50.00000| 40.00000| 2000|") +
                                     M + "| 7.25| 0.15|   0.00");
    EXPECT_STREQ(name, "Pallas") << "the caller's name was changed";
}

// Ceres and Eros from their lines, placed for 2021 January 1, 0h UT, against
// PyEphem's astrometric places of the same elements.
TEST_F(MinorPlanetLines, PublishedElementsGiveThePlacesOfPyEphem) {
    int32_t added = 0, replaced = 0, skipped = 0;
    ASSERT_EQ(Import({MpLine(kCeres), MpLine(kEros)}, &added, &replaced, &skipped), 0);
    ASSERT_EQ(added, 2);
    struct Case {
        int32_t number;
        double ra, dec, delta;  // degrees, AU
    } cases[] = {{1, 284.417090, -25.976124, 3.875382}, {433, 213.123439, -21.261114, 1.284937}};
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    SetDateRecord(&date, nullptr, 1, 1, 2021, 0.0, kUniversalTime);
    ComputeDeltaTAndNutation(&date, 0.0);
    int32_t count = 0;
    FILE *f = OpenUserMinorPlanetFile(&count);
    ASSERT_TRUE(f);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.number);
        MinorPlanetRecord r;
        int32_t id = FindUserMinorPlanetId(f, nullptr, &c.number, &r);
        ASSERT_GT(id, 0);
        double ra = 0, dec = 0, delta = 0;
        ASSERT_EQ(ComputeUserMinorPlanetPosition(f, &date, id, nullptr, nullptr, &ra, &dec, nullptr, &delta, nullptr,
                                                 nullptr, nullptr, nullptr, nullptr),
                  1);
        const double arcsec = kPi / 648000.0;
        EXPECT_NEAR(ra * std::cos(dec), c.ra * kPi / 180.0 * std::cos(dec), 10 * arcsec);
        EXPECT_NEAR(dec, c.dec * kPi / 180.0, 10 * arcsec);
        // The distances differ by the light time's radial motion (PyEphem gives
        // the geometric distance at the instant).
        EXPECT_NEAR(delta, c.delta, 1e-4);
    }
    SafeClose(f);
}

}  // namespace
