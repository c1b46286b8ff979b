// Tests of the MPC's one-line orbit formats: packed dates and numbers, lines
// of (1) Ceres and (433) Eros in the MPCORB layout and of 1P/Halley and
// C/1995 O1 (Hale-Bopp) in the CometEls layout (columns of the MPC's format
// descriptions, elements of epoch 2020 May 31 and of the 1986 and 1997
// perihelia), imported into empty stores and placed against PyEphem
// (tools/minor_body_reference.py) built from the same elements.
#include "minorbodies/mpcformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "astro/datetime.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "minorbodies/tests/userstorefixture.h"
#include "minorbodies/usercomet.h"

namespace {

const char *const kCeres =
    "00001    3.53  0.12 K205V  77.37210   73.59770   80.30550   10.59410  0.0760090  0.21388522   2.7691652  0 "
    "MPO492748  7330 125                                        (1) Ceres                   20200527";
const char *const kEros =
    "00433   10.38  0.46 K205V 271.07170  178.92970  304.29930   10.82830  0.2229510  0.55981906   1.4580450  0 "
    "MPO512345  7330 125                                        (433) Eros                  20200527";
const char *const kHalley =
    "0001P         1986 02  9.4589  0.587105  0.967273  111.8657   58.8594  162.2422  19860219   5.5  4.0  "
    "1P/Halley                                                98, 8";
const char *const kHaleBopp =
    "    CJ95O010  1997 04  1.1375  0.914142  0.995147  130.5887  282.4707   89.4300  19970313  -0.8  3.2  "
    "C/1995 O1 (Hale-Bopp)                                    MPC 61436";

TEST(MpcPacking, DatesAndNumbers) {
    struct Date {
        const char *packed;
        int ok, year, month, day;
    } dates[] = {{"K205V", 1, 2020, 5, 31}, {"J9611", 1, 1996, 1, 1}, {"K24CA", 1, 2024, 12, 10},
                 {"K20D1", 0, 0, 0, 0},     {"X2011", 0, 0, 0, 0}};
    for (const Date &d : dates) {
        SCOPED_TRACE(d.packed);
        int y = 0, m = 0, day = 0;
        EXPECT_EQ(UnpackMpcDate(d.packed, &y, &m, &day), d.ok);
        if (d.ok) {
            EXPECT_EQ(y, d.year);
            EXPECT_EQ(m, d.month);
            EXPECT_EQ(day, d.day);
        }
    }
    EXPECT_EQ(UnpackMpcNumber("00433"), 433);
    EXPECT_EQ(UnpackMpcNumber("A0001"), 100001);
    EXPECT_EQ(UnpackMpcNumber("a0000"), 360000);
    EXPECT_EQ(UnpackMpcNumber("~0000"), 620000);
    EXPECT_EQ(UnpackMpcNumber("~000z"), 620061);
    EXPECT_EQ(UnpackMpcNumber("K20A00A"), 0) << "a provisional designation";
}

class MpcLines : public mbtest::UserStore {
protected:
    void Write(const std::vector<std::string> &lines) {
        std::string text = "Header line of the file\n---------\n";
        for (const std::string &l : lines) text += l + "\n";
        ASSERT_TRUE(testutil::WriteFileBytes(file("mpc.txt"), text));
    }
    static DateRecord At(int month, int day, int year) {
        DateRecord d;
        std::memset(&d, 0, sizeof d);
        SetDateRecord(&d, nullptr, month, day, year, 0.0, kUniversalTime);
        ComputeDeltaTAndNutation(&d, 0.0);
        return d;
    }
};

const double kArcsec = kPi / 648000.0;

TEST_F(MpcLines, MinorPlanetsImportAndPlaceAsPyEphemDoes) {
    Write({kCeres, kEros});
    MinorPlanetImport state;
    ASSERT_EQ(BeginMinorPlanetImport(&state, file("mpc.txt").c_str(), nullptr, 1), 1);
    int32_t added = 0, replaced = 0, skipped = 0;
    int r, guard = 0;
    while ((r = ImportMpcMinorPlanetLines(&state, &added, &replaced, &skipped)) == 1 && ++guard < 100) {
    }
    EndMinorPlanetImport(&state);
    ASSERT_EQ(r, 0);
    EXPECT_EQ(added, 2);
    EXPECT_EQ(skipped, 0) << "the header lines are not orbit lines";
    int32_t count = 0;
    FILE *f = OpenUserMinorPlanetFile(&count);
    ASSERT_TRUE(f);
    ASSERT_EQ(count, 2);
    MinorPlanetRecord ceres;
    ASSERT_EQ(ReadUserMinorPlanetRecord(f, &ceres, 0), 1);
    EXPECT_EQ(+ceres.number, 1);
    EXPECT_STREQ(ceres.name, "Ceres");
    EXPECT_STREQ(ceres.source, "MPC MPO492748");
    EXPECT_FLOAT_EQ(+ceres.H, 3.53f);
    EXPECT_NEAR(ceres.epoch, (2459000.5 - 2451545.0) / 36525.0, 1e-9);
    struct Case {
        int32_t number;
        double ra, dec;
    } cases[] = {{1, 284.417090, -25.976124}, {433, 213.123439, -21.261114}};
    DateRecord date = At(1, 1, 2021);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.number);
        MinorPlanetRecord rec;
        int32_t id = FindUserMinorPlanetId(f, nullptr, &c.number, &rec);
        ASSERT_GT(id, 0);
        double ra = 0, dec = 0;
        ASSERT_EQ(ComputeUserMinorPlanetPosition(f, &date, id, nullptr, nullptr, &ra, &dec, nullptr, nullptr,
                                                 nullptr, nullptr, nullptr, nullptr, nullptr),
                  1);
        EXPECT_NEAR(ra * std::cos(dec), c.ra * kPi / 180.0 * std::cos(dec), 10 * kArcsec);
        EXPECT_NEAR(dec, c.dec * kPi / 180.0, 10 * kArcsec);
    }
    SafeClose(f);
}

TEST_F(MpcLines, CometsImportAndPlaceAsPyEphemDoes) {
    Write({kHalley, kHaleBopp});
    CometImport state;
    ASSERT_EQ(BeginCometImport(&state, file("mpc.txt").c_str(), 1, 1), 1);
    int32_t added = 0, replaced = 0, skipped = 0;
    int r, guard = 0;
    while ((r = ImportMpcCometLines(&state, &added, &replaced, &skipped)) == 1 && ++guard < 100) {
    }
    EndCometImport(&state);
    ASSERT_EQ(r, 0);
    EXPECT_EQ(added, 2);
    EXPECT_EQ(skipped, 0);
    int32_t count = 0;
    FILE *f = OpenUserCometFile(&count);
    ASSERT_TRUE(f);
    ASSERT_EQ(count, 2);
    CometRecord halley, haleBopp;
    ASSERT_EQ(ReadUserCometRecord(f, &halley, 0), 1);
    ASSERT_EQ(ReadUserCometRecord(f, &haleBopp, 1), 1);
    EXPECT_EQ(+halley.number, 1);
    EXPECT_EQ(halley.letter, 'P');
    EXPECT_STREQ(halley.name, "Halley");
    EXPECT_STREQ(halley.designation, "");
    EXPECT_FLOAT_EQ(+halley.K, 4.0f);
    EXPECT_EQ(haleBopp.letter, 'C');
    EXPECT_STREQ(haleBopp.designation, "1995 O1");
    EXPECT_STREQ(haleBopp.name, "Hale-Bopp");
    EXPECT_STREQ(haleBopp.source, "MPC MPC 61436");
    EXPECT_NEAR(haleBopp.perihelionTime, (JulianDateFromCalendar(4, 1, 1997, 0.1375 * 24) - 2451545.0) / 36525.0,
                1e-9);
    struct Case {
        int32_t id;
        int month, year;
        double ra, dec;
    } cases[] = {{halley.objectId, 3, 1986, 307.342505, -16.146454},
                 {haleBopp.objectId, 3, 1997, 320.493380, 33.286546}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id);
        DateRecord date = At(c.month, 1, c.year);
        double ra = 0, dec = 0;
        ASSERT_EQ(ComputeUserCometPosition(f, &date, c.id, nullptr, nullptr, nullptr, nullptr, nullptr, &ra, &dec,
                                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                           nullptr, nullptr, nullptr),
                  1);
        EXPECT_NEAR(ra * std::cos(dec), c.ra * kPi / 180.0 * std::cos(dec), 15 * kArcsec);
        EXPECT_NEAR(dec, c.dec * kPi / 180.0, 15 * kArcsec);
    }
    SafeClose(f);
}

}  // namespace
