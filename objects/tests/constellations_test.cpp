// Tests of the constellation tables and files: abbreviations and genitives,
// the name, extent and description readers on hand-made files, the
// rectangle test (wrap through 0h, edges, full circles), the rectangle cache
// (missing file, read errors, shared edges), and the constellation of known
// places on the boundaries generated from Roman's table.
#include "objects/constellations.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "astro/precession.h"
#include "core/datapaths.h"
#include "objects/conrects.h"
#include "objects/tests/starbytes.h"
#include "objects/tests/stardata.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

using starbytes::Put32;
using starbytes::Put8;
using starbytes::Turn;

namespace {

const double kDeg = kPi / 180.0;

double Hours(double h, double m, double s) { return (h + m / 60 + s / 3600) * 15 * kDeg; }
double Degrees(double d, double m, double s) {
    double v = std::fabs(d) + m / 60 + s / 3600;
    return (d < 0 ? -v : v) * kDeg;
}

// Constellation index (0-88) of an abbreviation; Serpens gives Caput.
int IndexOf(const char *abbreviation) {
    int p = FindConstellationAbbreviation(abbreviation);
    return p <= 75 ? p : p + 1;
}

TEST(ConstellationTables, Abbreviations) {
    char text[4];
    struct { int index; int result; const char *text; } cases[] = {
        {0, 1, "And"}, {74, 1, "Sct"}, {75, 1, "Ser"}, {76, 1, "Ser"}, {77, 1, "Sex"},
        {88, 1, "Vul"}, {89, 0, ""}, {-1, 0, ""}};
    for (auto c : cases) {
        std::memcpy(text, "xxx", 4);
        EXPECT_EQ(GetConstellationAbbreviation(c.index, text), c.result) << c.index;
        EXPECT_STREQ(text, c.text) << c.index;
    }
    EXPECT_EQ(ConstellationTablePosition(75), 75);
    EXPECT_EQ(ConstellationTablePosition(76), 75);
    EXPECT_EQ(ConstellationTablePosition(88), 87);
    EXPECT_EQ(ConstellationTablePosition(89), -1);
}

TEST(ConstellationTables, Lookups) {
    struct { const char *text; int position; } abbr[] = {
        {"*", 0}, {"cyg", 30}, {"CYG", 30}, {"C", 9}, {"UMi", 83}, {"Cygnus", -1}, {"Xyz", -1}};
    for (auto c : abbr) EXPECT_EQ(FindConstellationAbbreviation(c.text), c.position) << c.text;
    struct { const char *text; int position; } gen[] = {
        {"cygni", 30}, {"Trianguli Australis", 80}, {"URSAE MINORIS", 83}, {"Cyg", -1},
        {"Trianguli", 79}};
    for (auto c : gen) EXPECT_EQ(FindConstellationGenitive(c.text), c.position) << c.text;
    EXPECT_STREQ(kGreekLetterNames[14], "Omicron");
    EXPECT_STREQ(kConstellationGenitives[80], "Trianguli Australis");
}

class ConstellationFiles : public ::testing::Test {
protected:
    void SetUp() override {
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
        FreeConstellationRects();
    }
    void TearDown() override { FreeConstellationRects(); }
    void Write(const std::string &name, const std::string &bytes) {
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file(name), bytes));
    }
    testutil::TempDir dir_;
};

TEST_F(ConstellationFiles, NamesExtentsAndInfo) {
    std::string names(3 * 28, '\0');
    std::memcpy(&names[0], "Andromeda", 9);
    std::memcpy(&names[28], "Antlia", 6);
    std::memset(&names[56], 'Z', 20);  // a name without terminator
    Put32(names, 28 + 20, Turn(2.0));
    Put32(names, 28 + 24, Turn(-0.5));
    Write("connames.bin", names);
    FILE *f = OpenConstellationNames();
    ASSERT_NE(f, nullptr);
    char name[kConstellationNameSize];
    double ra = 0, dec = 0;
    EXPECT_EQ(ReadConstellationName(f, 1, name, &ra, &dec), 2);
    EXPECT_STREQ(name, "Antlia");
    EXPECT_NEAR(ra, 2.0, 3e-9);
    EXPECT_NEAR(dec, -0.5, 3e-9);
    EXPECT_EQ(ReadConstellationName(f, -1, name, &ra, &dec), 3);
    EXPECT_EQ(std::strlen(name), 19u);
    EXPECT_EQ(ReadConstellationName(f, -1, name, &ra, &dec), 0);
    std::fclose(f);
    EXPECT_EQ(FindConstellationByName("ANTLIA"), 1);
    EXPECT_EQ(FindConstellationByName("Ant"), -1);

    std::string bounds(2 * 22, '\0');
    Put32(bounds, 22 + 4, Turn(-0.1));
    Put32(bounds, 22 + 8, Turn(0.2));
    Put32(bounds, 22 + 12, Turn(5.9));
    Put32(bounds, 22 + 16, Turn(0.3));
    Write("conbound.bin", bounds);
    f = OpenConstellationExtents();
    ASSERT_NE(f, nullptr);
    double ra1, ra2, dec1, dec2;
    EXPECT_EQ(ReadConstellationExtent(f, 1, &ra1, &ra2, &dec1, &dec2), 2);
    EXPECT_NEAR(dec1, -0.1, 3e-9);
    EXPECT_NEAR(dec2, 0.2, 3e-9);
    EXPECT_NEAR(ra1, 5.9, 3e-9);
    EXPECT_NEAR(ra2, 0.3, 3e-9);
    EXPECT_EQ(ReadConstellationExtent(f, 2, &ra1, &ra2, &dec1, &dec2), 0);
    EXPECT_EQ(ReadConstellationExtent(f, 90, &ra1, &ra2, &dec1, &dec2), 0);
    std::fseek(f, 0, SEEK_SET);
    EXPECT_EQ(ReadConstellationExtent(f, -1, &ra1, &ra2, &dec1, &dec2), 1);
    std::fclose(f);

    // con_info.dat with Windows line ends: index 0 is the second line.
    Write("con_info.dat",
          "Name, Abbreviation, Genitive, Description\r\n"
          "Andromeda, And, Andromedae, The chained maiden. Home of M31, a galaxy.\r\n"
          "Antlia, Ant, Antliae, No full stop here\r\n");
    char n[kConstellationInfoFieldSize], a[kConstellationInfoFieldSize],
        g[kConstellationInfoFieldSize], d[kConstellationDescriptionSize];
    EXPECT_EQ(ReadConstellationInfo(0, n, a, g, d), 1);
    EXPECT_STREQ(n, "Andromeda");
    EXPECT_STREQ(a, "Abbreviation: And");
    EXPECT_STREQ(g, "Genitive form: Andromedae.  E.g. Alpha Andromedae.");
    EXPECT_STREQ(d, "The chained maiden.\r\n\r\nHome of M31, a galaxy.");
    EXPECT_EQ(ReadConstellationInfo(1, n, nullptr, nullptr, d), 0);
    EXPECT_STREQ(n, "Antlia");
    EXPECT_EQ(ReadConstellationInfo(2, n, a, g, d), 0);  // no such line
    EXPECT_EQ(ReadConstellationInfo(89, n, a, g, d), 0);

    unsigned char header[4];
    EXPECT_EQ(OpenShowFile(header), nullptr);
    Write("show.bin", std::string("\x03\xd9\x00\x03" "data", 8));
    f = OpenShowFile(header);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(header[1], 0xd9);
    EXPECT_EQ(std::fgetc(f), 'd');
    std::fclose(f);
}

TEST(ConstellationRectangle, WrapEdgesAndFullCircle) {
    struct { double ra1, ra2, lo, hi, ra, dec; bool inside; } cases[] = {
        {10, 350, -5, 5, 355, 0, true},    // stored (10, 350): wraps through 0h
        {10, 350, -5, 5, 5, 0, true},
        {10, 350, -5, 5, 10, 0, true},
        {10, 350, -5, 5, 350, 0, true},
        {10, 350, -5, 5, 180, 0, false},
        {10, 350, -5, 5, 11, 0, false},
        {20, 40, -5, 5, 20, -5, true},     // every edge is inside
        {20, 40, -5, 5, 40, 5, true},
        {20, 40, -5, 5, 40.001, 0, false},
        {20, 40, -5, 5, 30, 5.001, false},
        {0, 360, 88, 90, 123, 89, true},   // a full circle covers every RA
        {0, 360, 88, 90, 0, 88, true},
        {0, 360, 88, 90, 200, 87.9, false},
        {0, 180, 88, 90, 180, 89, true},   // exactly 12 hours does not wrap,
        {0, 180.0000001, 88, 90, 90, 89, true},  // nor does 12 hours as stored
        {0, 180.001, 88, 90, 90, 89, false},     // wider wraps through 0h
    };
    for (auto c : cases)
        EXPECT_EQ(RectangleContains(c.ra1 * kDeg, c.ra2 * kDeg, c.lo * kDeg, c.hi * kDeg,
                                    c.ra * kDeg, c.dec * kDeg), c.inside)
            << c.ra1 << "-" << c.ra2 << " at " << c.ra << ", " << c.dec;
}

// conrect.bin by hand: constellation 3 from RA 0 to 32 degrees and 5 from 28
// to 60 degrees, both from Dec 0 to 10 degrees (B1875.0). Where they overlap
// the lower index decides, as on a shared edge.
std::string TwoNeighbours() {
    std::string b(89 * 5, '\0');
    uint32_t at = static_cast<uint32_t>(b.size());
    for (int c : {3, 5}) {
        Put32(b, c * 5, at);
        Put8(b, c * 5 + 4, 1);
        double ra1 = c == 3 ? 0.0 : 28 * kDeg, ra2 = c == 3 ? 32 * kDeg : 60 * kDeg;
        Put32(b, at, Turn(ra1));
        Put32(b, at + 4, Turn(ra2));
        Put32(b, at + 8, Turn(0.0));
        Put32(b, at + 12, Turn(10 * kDeg));
        at += 16;
    }
    return b;
}

TEST_F(ConstellationFiles, OverlapGoesToTheLowerIndex) {
    Write("conrect.bin", TwoNeighbours());
    // Places of the B1875 equinox (the FK5 to FK4 change moves them by less
    // than an arcsecond).
    EXPECT_EQ(ConstellationAt(15 * kDeg, 5 * kDeg, kEpochB1875), 3);
    EXPECT_EQ(ConstellationAt(45 * kDeg, 5 * kDeg, kEpochB1875), 5);
    EXPECT_EQ(ConstellationAt(30 * kDeg, 5 * kDeg, kEpochB1875), 3);
    EXPECT_EQ(ConstellationAt(90 * kDeg, 5 * kDeg, kEpochB1875), -1);
    EXPECT_EQ(ConstellationAt(45 * kDeg, 11 * kDeg, kEpochB1875), -1);
    EXPECT_EQ(InConstellation(5, 30 * kDeg, 5 * kDeg, kEpochB1875), 1);
    EXPECT_EQ(InConstellation(5, 15 * kDeg, 5 * kDeg, kEpochB1875), -1);
    EXPECT_EQ(InConstellation(89, 15 * kDeg, 5 * kDeg, kEpochB1875), -1);
    EXPECT_EQ(InConstellation(-1, 15 * kDeg, 5 * kDeg, kEpochB1875), -1);
    // A J2000 place is precessed first: 33.5 degrees of J2000 lies about
    // 1.7 degrees further west at B1875, back inside constellation 3.
    EXPECT_EQ(ConstellationAt(33.5 * kDeg, 5 * kDeg, kEpochB1875), 5);
    EXPECT_EQ(ConstellationAt(33.5 * kDeg, 5 * kDeg, kEpochJ2000), 3);
}

TEST_F(ConstellationFiles, MissingFileIsNotLookedForAgainUntilFreed) {
    EXPECT_EQ(LoadConstellationRects(), 1);
    EXPECT_EQ(ConstellationAt(15 * kDeg, 5 * kDeg, kEpochB1875), -1);
    Write("conrect.bin", TwoNeighbours());
    EXPECT_EQ(ConstellationAt(15 * kDeg, 5 * kDeg, kEpochB1875), -1);
    FreeConstellationRects();
    EXPECT_EQ(ConstellationAt(15 * kDeg, 5 * kDeg, kEpochB1875), 3);
}

TEST_F(ConstellationFiles, ReadErrorsLoadNothing) {
    std::string b = TwoNeighbours();
    Write("conrect.bin", b.substr(0, b.size() - 4));  // the last rectangle cut short
    EXPECT_EQ(LoadConstellationRects(), 0);
    EXPECT_EQ(ConstellationAt(15 * kDeg, 5 * kDeg, kEpochB1875), -1);
    Write("conrect.bin", b.substr(0, 200));           // the index cut short
    EXPECT_EQ(LoadConstellationRects(), 0);
    Write("conrect.bin", b);                           // not latched: loads now
    EXPECT_EQ(LoadConstellationRects(), 1);
    EXPECT_EQ(ConstellationAt(45 * kDeg, 5 * kDeg, kEpochB1875), 5);
}

// Known J2000 places against the boundaries generated from Roman's table.
TEST(ConstellationOfPlace, KnownPlaces) {
    std::string why;
    if (!stardata::Use(&why)) GTEST_SKIP() << why;
    FreeConstellationRects();
    struct { const char *what; double ra, dec; const char *con; int index; } cases[] = {
        {"Polaris", Hours(2, 31, 49.09), Degrees(89, 15, 50.8), "UMi", -1},
        {"north pole", 0.0, Degrees(89, 59, 0), "UMi", -1},
        {"near the north pole, 12h", Hours(12, 0, 0), Degrees(89, 30, 0), "UMi", -1},
        {"south pole", Hours(6, 0, 0), Degrees(-89, 30, 0), "Oct", -1},
        {"sigma Oct", Hours(21, 8, 46.9), Degrees(-88, -57, -23), "Oct", -1},
        {"RA 0h Dec 0", 0.0, 0.0, "Psc", -1},
        {"omega Psc", Hours(23, 59, 18.7), Degrees(6, 51, 48), "Psc", -1},
        {"alpha And", Hours(0, 8, 23.3), Degrees(29, 5, 26), "And", -1},
        {"beta Cas", Hours(0, 9, 10.7), Degrees(59, 8, 59), "Cas", -1},
        {"gamma Peg", Hours(0, 13, 14.2), Degrees(15, 11, 1), "Peg", -1},
        {"RA 23h59m59s Dec -30", Hours(23, 59, 59), Degrees(-30, 0, 0), "Scl", -1},
        {"alpha Ser", Hours(15, 44, 16.1), Degrees(6, 25, 32), nullptr, 75},
        {"theta1 Ser", Hours(18, 56, 13.2), Degrees(4, 12, 13), nullptr, 76},
        {"eta Ser", Hours(18, 21, 18.6), Degrees(-2, -53, -56), nullptr, 76},
        {"Sirius", Hours(6, 45, 8.9), Degrees(-16, -42, -58), "CMa", -1},
        {"Vega", Hours(18, 36, 56.3), Degrees(38, 47, 1), "Lyr", -1},
        {"Acrux", Hours(12, 26, 35.9), Degrees(-63, -5, -57), "Cru", -1},
        {"Vulpecula: alpha Vul", Hours(19, 28, 42.3), Degrees(24, 39, 54), "Vul", -1},
        {"Sextans: alpha Sex", Hours(10, 7, 56.3), Degrees(0, -22, -18), "Sex", -1},
    };
    for (auto c : cases) {
        int expected = c.con ? IndexOf(c.con) : c.index;
        EXPECT_EQ(ConstellationAt(c.ra, c.dec, kEpochJ2000), expected) << c.what;
        EXPECT_EQ(InConstellation(expected, c.ra, c.dec, kEpochJ2000), 1) << c.what;
        // The J2000 extent of conbound.bin holds the place too.
        FILE *f = OpenConstellationExtents();
        ASSERT_NE(f, nullptr);
        double west, east, low, high;
        ASSERT_EQ(ReadConstellationExtent(f, expected, &west, &east, &low, &high), expected + 1);
        std::fclose(f);
        EXPECT_GE(c.dec, low) << c.what;
        EXPECT_LE(c.dec, high) << c.what;
        bool inRa = west <= east ? (c.ra >= west && c.ra <= east) : (c.ra >= west || c.ra <= east);
        EXPECT_TRUE(inRa) << c.what << " " << west << " " << east;
    }
    // Every place on a coarse grid is in exactly one constellation.
    for (int d = -89; d <= 89; d += 7)
        for (int h = 0; h < 24; ++h) {
            double ra = h * 15 * kDeg + 0.01, dec = d * kDeg + 0.001;
            int c = ConstellationAt(ra, dec, kEpochJ2000);
            ASSERT_GE(c, 0) << h << "h " << d;
            int count = 0;
            for (int i = 0; i < 89; ++i) count += InConstellation(i, ra, dec, kEpochJ2000) == 1;
            EXPECT_EQ(count, 1) << h << "h " << d;
        }
    FreeConstellationRects();
}

}  // namespace

TEST(ParseGreekLetterWord, ReadsTheIauFormsThatAreNotPrefixes) {
    struct Case {
        const char *word;
        int ok, letter, superscript;
    } cases[] = {
        {"alf", 1, 0, 0}, {"Alf2", 1, 0, 2}, {"tet", 1, 7, 0}, {"ksi", 1, 13, 0},
        {"alp", 1, 0, 0}, {"Alpha", 1, 0, 0}, {"alfa", 0, 0, 0}, {"alx", 0, 0, 0},
    };
    for (const Case &c : cases) {
        int letter = -1, superscript = -1;
        EXPECT_EQ(ParseGreekLetterWord(c.word, &letter, &superscript), c.ok) << c.word;
        if (c.ok) {
            EXPECT_EQ(letter, c.letter) << c.word;
            EXPECT_EQ(superscript, c.superscript) << c.word;
        }
    }
}
