// Tests of the comet element lines and blocks: the two name forms of a "C "
// line, skipped lines, the coma's units, a number that must not leak from
// one line to the next, the element block with and without T and q lines,
// the perihelion day's fraction, the export line, and the places of 1P/Halley
// and C/1995 O1 (Hale-Bopp) imported from their lines against PyEphem
// (tools/minor_body_reference.py) built from the same elements.
#include "minorbodies/cometimport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "astro/datetime.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "minorbodies/mpimport.h"
#include "minorbodies/tests/userstorefixture.h"
#include "minorbodies/usercomet.h"

namespace {

using mbtest::FixedLine;

struct CFields {
    std::string head, ey, em, ed, ty, tm, td, q, e, peri, node, incl, H, K, coma, source;
};

std::string CLine(const CFields &f) {
    return FixedLine(170)
        .at(0, "C ")
        .at(2, f.head)
        .at(43, f.ey)
        .at(48, f.em)
        .at(51, f.ed)
        .at(54, f.ty)
        .at(59, f.tm)
        .at(62, f.td)
        .at(69, f.q)
        .at(80, f.e)
        .at(91, f.peri)
        .at(99, f.node)
        .at(107, f.incl)
        .at(115, f.H)
        .at(121, f.K)
        .at(127, f.coma)
        .at(136, f.source)
        .str();
}

// Elements close to the published ones (the reference script holds the same).
const CFields kHalley = {"1P/Halley", "1986", "02", "19", "1986", "02", "9.4589", "0.5871047", "0.9672726",
                         "111.866", "58.8594", "162.242", " 5.5", " 4.0", "", "MPC"};
const CFields kHaleBopp = {"C/1995 O1 Hale-Bopp", "1997", "03", "13", "1997", "04", "1.1375", "0.9141424",
                           "0.9951472", "130.589", "282.471", "89.4300", "-0.8", " 3.2", "0.0050", "MPC"};

class CometLines : public mbtest::UserStore {
protected:
    int Import(const std::vector<std::string> &lines, int32_t *added, int32_t *replaced, int32_t *skipped) {
        std::string text;
        for (const std::string &l : lines) text += l + "\n";
        EXPECT_TRUE(testutil::WriteFileBytes(file("c.txt"), text));
        CometImport state;
        if (!BeginCometImport(&state, file("c.txt").c_str(), 1, 1)) return -2;
        int r, guard = 0;
        while ((r = ImportCometLines(&state, added, replaced, skipped)) == 1 && ++guard < 1000) {
        }
        EndCometImport(&state);
        return r;
    }
    std::vector<CometRecord> Records() {
        std::vector<CometRecord> out;
        int32_t count = 0;
        FILE *f = OpenUserCometFile(&count);
        for (int32_t i = 0; f && i < count; ++i) {
            CometRecord r;
            EXPECT_EQ(ReadUserCometRecord(f, &r, i), 1);
            out.push_back(r);
        }
        if (f) SafeClose(f);
        return out;
    }
};

TEST_F(CometLines, NameFormsSkipsComaAndNoNumberLeak) {
    CFields round = kHaleBopp;
    round.e = "0";
    round.head = "C/2000 A1 Round";
    CFields wide = kHaleBopp;
    wide.head = "C/2001 B2 Wide";
    wide.coma = "0.05";
    int32_t added = 0, replaced = 0, skipped = 0;
    // A numbered comet, then unnumbered ones: the number 1 must not carry over
    // to them (it would match Halley and overwrite its elements).
    ASSERT_EQ(Import({CLine(kHalley), CLine(kHaleBopp), CLine(round), CLine(wide)}, &added, &replaced, &skipped), 0);
    EXPECT_EQ(added, 3);
    EXPECT_EQ(replaced, 0);
    EXPECT_EQ(skipped, 1);
    auto all = Records();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(+all[0].number, 1);
    EXPECT_EQ(all[0].letter, 'P');
    EXPECT_STREQ(all[0].designation, "");
    EXPECT_STREQ(all[0].name, "Halley");
    EXPECT_NEAR(all[0].q, 0.5871047, 1e-7);
    EXPECT_EQ(+all[0].comaDiameter, 2000) << "no coma given: 0.002 AU";
    EXPECT_EQ(+all[1].number, 0);
    EXPECT_EQ(all[1].letter, 'C');
    EXPECT_STREQ(all[1].designation, "1995 O1");
    EXPECT_STREQ(all[1].name, "Hale-Bopp");
    EXPECT_EQ(+all[1].comaDiameter, 5000);
    EXPECT_FLOAT_EQ(+all[1].H, -0.8f);
    EXPECT_STREQ(all[2].designation, "2001 B2");
    EXPECT_EQ(+all[2].comaDiameter, 32767);
    // 6h UT on day 1 from a day of 1.25.
    CFields quarter = kHaleBopp;
    quarter.td = "1.25";
    CometRecord r = {};
    std::string line = CLine(quarter);
    line.resize(255, ' ');
    ASSERT_EQ(ParseCometLine(line.c_str(), &r), 1);
    EXPECT_NEAR(r.perihelionTime, (JulianDateFromCalendar(4, 1, 1997, 6.0) - 2451545.0) / 36525.0, 1e-9);
}

TEST_F(CometLines, ElementBlocks) {
    struct Case {
        const char *label;
        std::vector<std::string> lines;
        int result;
    } cases[] = {
        {"usual block",
         {"    C/1995 O1 (Hale-Bopp)", "Epoch 1997 Mar. 13.0 TT", "T 1997 Apr. 1.1375 TT",
          "q   0.914142", "z  -0.004022              130.5887", " +/-0.000002      Node     282.4707",
          "e   0.995093                89.4300", "Orbit from MPEC 1997-T12. More text"},
         1},
        {"closing before the e line",
         {"    C/1995 O1 (Hale-Bopp)", "Epoch 1997 Mar. 13.0 TT", "T 1997 Apr. 1.1375 TT", "q   0.914142",
          "z  -0.004022              130.5887", " +/-0.000002      Node     282.4707", "Orbit from MPEC 1997-T12."},
         0},
        {"unknown month",
         {"    C/1995 O1 (Hale-Bopp)", "Epoch 1997 Xyz. 13.0 TT", "Orbit from MPEC"},
         0},
        {"T, M and n all given",
         {"   2P/Encke", "Epoch 2023 Feb. 25.0 TT", "T 2023 Oct. 22.4900 TT", "q   0.339", "M  10.0",
          "n   0.299               186.5", " +/-0.0           Node     334.2", "e   0.847                11.35",
          "Orbit from MPC 12345."},
         1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        std::string text;
        for (const std::string &l : c.lines) text += l + "\n";
        ASSERT_TRUE(testutil::WriteFileBytes(file("block.txt"), text));
        FILE *f = std::fopen(file("block.txt").c_str(), "r");
        ASSERT_TRUE(f);
        CometRecord r = {};
        EXPECT_EQ(ParseCometElementBlock(f, &r), c.result);
        std::fclose(f);
        if (c.result && std::string(c.label) == "usual block") {
            EXPECT_STREQ(r.designation, "1995 O1");
            EXPECT_STREQ(r.name, "Hale-Bopp");
            EXPECT_EQ(r.letter, 'C');
            EXPECT_STREQ(r.source, "MPEC 1997-T12");
            EXPECT_NEAR(r.node, 282.4707 * kPi / 180.0, 1e-6);
            EXPECT_NEAR(r.perihelionTime,
                        (JulianDateFromCalendar(4, 1, 1997, 0.1375 * 24.0) - 2451545.0) / 36525.0, 1e-9);
        }
        if (c.result && std::string(c.label) != "usual block") {
            EXPECT_EQ(+r.number, 2);
            EXPECT_NEAR(r.perihelionTime, (JulianDateFromCalendar(10, 22, 2023, 0.49 * 24.0) - 2451545.0) / 36525.0,
                        1e-9)
                << "a given T is not replaced by one from M and n";
        }
    }
    // Epoch, M, n, a (with the node) and e: T from M and n, q from a and e.
    ASSERT_TRUE(testutil::WriteFileBytes(file("block.txt"),
                                         "   2P/Encke\nEpoch 2023 Feb. 25.0 TT\nM 120.0\n"
                                         "n   1.0                  186.5\na   2.2          Node     334.2\n"
                                         "e   0.8                  11.35\nOrbit from test.\n"));
    FILE *f = std::fopen(file("block.txt").c_str(), "r");
    ASSERT_TRUE(f);
    CometRecord r = {};
    EXPECT_EQ(ParseCometElementBlock(f, &r), 1);
    std::fclose(f);
    double epoch = (JulianDateFromCalendar(2, 25, 2023, 0.0) - 2451545.0) / 36525.0;
    EXPECT_NEAR(r.perihelionTime, epoch - 120.0 / 36525.0, 1e-9);
    EXPECT_NEAR(r.q, 0.2 * 2.2, 1e-6);
    EXPECT_EQ(ParseMonthAbbreviation("sept."), 9);
    EXPECT_EQ(ParseMonthAbbreviation("Ma"), 0);
}

TEST_F(CometLines, ExportLine) {
    OrbitRecord orbit;
    double T = (JulianDateFromCalendar(4, 1, 1997, 3.3) - 2451545.0) / 36525.0;
    ASSERT_EQ(InitOrbitRecord(&orbit, T, 0, 0, 0, 0.9141424, 0.9951472, 130.589, 282.471, 89.43, 0, -0.8, 1.28,
                              kMagnitudeModelComet),
              1);
    char name[] = "Hale-Bopp";
    char line[256];
    FormatCometExportLine(line, name, &orbit);
    EXPECT_EQ(std::string(line), std::string("HALE-BOPP                              |2000|19970401.13750| "
                                             "0.9141424|0.9951472|130.58900|282.47100| 89.43000|-0.80| 3.20|"));
    EXPECT_STREQ(name, "Hale-Bopp");
}

TEST_F(CometLines, PublishedElementsGiveThePlacesOfPyEphem) {
    int32_t added = 0, replaced = 0, skipped = 0;
    ASSERT_EQ(Import({CLine(kHalley), CLine(kHaleBopp)}, &added, &replaced, &skipped), 0);
    ASSERT_EQ(added, 2);
    struct Case {
        int32_t id;
        int month, year;
        double ra, dec, delta;
    } cases[] = {{1, 3, 1986, 307.342505, -16.146454, 1.267075}, {2, 3, 1997, 320.493380, 33.286546, 1.489019}};
    int32_t count = 0;
    FILE *f = OpenUserCometFile(&count);
    ASSERT_TRUE(f);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id);
        DateRecord date;
        std::memset(&date, 0, sizeof date);
        SetDateRecord(&date, nullptr, c.month, 1, c.year, 0.0, kUniversalTime);
        ComputeDeltaTAndNutation(&date, 0.0);
        double ra = 0, dec = 0, delta = 0;
        ASSERT_EQ(ComputeUserCometPosition(f, &date, c.id, nullptr, nullptr, nullptr, nullptr, nullptr, &ra, &dec,
                                           nullptr, &delta, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                           nullptr, nullptr, nullptr),
                  1);
        const double arcsec = kPi / 648000.0;
        EXPECT_NEAR(ra * std::cos(dec), c.ra * kPi / 180.0 * std::cos(dec), 15 * arcsec);
        EXPECT_NEAR(dec, c.dec * kPi / 180.0, 15 * arcsec);
        EXPECT_NEAR(delta, c.delta, 1e-4);
    }
    SafeClose(f);
}

}  // namespace
