// Tests of the packaged comets: the label and display-name rules, the
// designation key, lookups and the best of several element sets on files
// written byte by byte, the refusal of sets that build no orbit, the default
// magnitude law and the tail, and the generated files read back with a
// place against PyEphem.
#include "minorbodies/cometdb.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "minorbodies/dbfolders.h"
#include "minorbodies/tests/mbfixture.h"

namespace {

using namespace ephemtest;
using testutil::TempDir;

struct Set {
    uint16_t number;
    char letter;
    const char *name;
    const char *designation;
    double T, epoch;  // Julian centuries TT
    float q, e, H, K;
    int16_t coma;
};

template <typename V>
void Put(std::string &bytes, size_t offset, V value) {
    std::memcpy(&bytes[offset], &value, sizeof value);
}

// One comets.bin record by the format's offsets.
std::string Record(const Set &s) {
    std::string r(135, '\0');
    Put(r, 0, s.number);
    r[2] = s.letter;
    std::memcpy(&r[3], s.name, std::strlen(s.name));
    std::memcpy(&r[32], s.designation, std::strlen(s.designation));
    Put(r, 51, s.T);
    Put(r, 59, s.epoch);
    Put(r, 67, s.q);
    Put(r, 71, s.e);
    Put(r, 75, static_cast<float>(1.0));   // argument of perihelion, rad
    Put(r, 79, static_cast<float>(2.0));   // node
    Put(r, 83, static_cast<float>(0.3));   // inclination
    Put(r, 87, s.H);
    Put(r, 91, s.K);
    Put(r, 95, s.coma);
    r[97] = 5;
    return r;
}

std::string NameEntry(const Set &s, int16_t firstSet) {
    std::string e = Record(s).substr(0, 49);
    e.append(reinterpret_cast<const char *>(&firstSet), 2);
    return e;
}

TEST(CometLabels, Rules) {
    struct Case { uint16_t number; char letter; const char *name, *designation, *label, *display; };
    const Case cases[] = {
        {1, 'P', "Halley", "", "1P/Halley", "Halley"},
        {0x8000 | 12, 'P', "Pons-Brooks", "", "P (Pons-Brooks)", "Pons-Brooks"},
        {0, 'C', "NEOWISE", "2020 F3", "C/2020 F3 (NEOWISE)", "NEOWISE"},
        {0, 'C', "Great September Comet", "1882 R1", "C/1882 R1 (Great September Comet of 1882)",
         "Great September Comet of 1882"},
        {0, 'C', "great comet", "1811", "C/1811 (great comet of 1811)", "great comet of 1811"},
        {0, 'C', "Great Comet", "X1", "C/X1 (Great Comet)", "Great Comet"},
        {0, 'X', "Unknown", "", "X (Unknown)", "Unknown"},
    };
    for (const Case &c : cases) {
        char label[kCometLabelSize], display[kCometLabelSize];
        FormatCometLabel(c.number, c.letter, c.name, c.designation, label);
        FormatCometDisplayName(c.name, c.designation, display);
        EXPECT_STREQ(label, c.label);
        EXPECT_STREQ(display, c.display);
    }
    // The longest texts the fields allow stay within the label buffer.
    char label[kCometLabelSize];
    std::string name(28, 'G'), des(16, '9');
    name.replace(0, 5, "Great");
    FormatCometLabel(0, 'C', name.c_str(), des.c_str(), label);
    EXPECT_EQ(std::strlen(label), 57u);
}

TEST(CometLabels, DesignationKey) {
    struct Case { const char *text; int year, code; };
    const Case cases[] = {
        {"2020 O1", 2020, 151}, {"2020 o1", 2020, 999}, {"1882 R1", 1882, 181},
        {"2020 A0", 2020, 10},  {"Halley X1", 999, 999}, {"2020", 2020, 999},
        {"2020 F33", 2020, 999}, {"-5 A1", 999, 999},    {"", 999, 999},
        {"2020 Z9", 2020, 269},
    };
    for (const Case &c : cases) {
        int year = 0, code = 0;
        ParseCometDesignationKey(c.text, &year, &code);
        EXPECT_EQ(year, c.year) << c.text;
        EXPECT_EQ(code, c.code) << c.text;
    }
}

class CometFiles : public GeneratedTables {
protected:
    void SetUp() override {
        GeneratedTables::SetUp();
        if (IsSkipped()) return;
        // A numbered comet with three sets (epochs 2000, 2010, 2020), a comet
        // whose number has bit 15, a set without T, and an unnumbered comet
        // without magnitude parameters far from the Sun.
        const double y = 0.1;  // ten years in centuries
        sets_ = {
            {7, 'P', "Pons-Winnecke", "", 0.001, 0.0, 1.25f, 0.63f, 10.0f, 8.0f, 100},
            {7, 'P', "Pons-Winnecke", "", 0.002, y, 1.24f, 0.64f, 10.0f, 8.0f, 100},
            {7, 'P', "Pons-Winnecke", "", 0.003, 2 * y, 1.23f, 0.65f, 10.0f, 8.0f, 100},
            {0x8000 | 9, 'P', "Hidden", "", 0.05, 0.05, 1.5f, 0.5f, 11.0f, 4.0f, 0},
            {0, 'C', "Broken", "2001 A1", 0.0, 0.0, 1.0f, 0.9f, 9.0f, 4.0f, 0},
            {0, 'C', "Far", "2020 B2", 0.2, 0.2, 6.0f, 1.0f, 0.0f, 0.0f, 500},
        };
        std::string elements, names;
        for (const Set &s : sets_) elements += Record(s);
        names = NameEntry(sets_[0], 0) + NameEntry(sets_[3], 3) + NameEntry(sets_[4], 4) +
                NameEntry(sets_[5], 5);
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("comets.bin"), elements));
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("cnames.bin"), names));
        SetMinorBodyDatabaseFolders(dir_.path().c_str(), dir_.path().c_str());
    }
    TempDir dir_;
    std::vector<Set> sets_;
};

TEST_F(CometFiles, BestSetNearestTheDate) {
    FILE *f = OpenCometElementsFile();
    ASSERT_NE(f, nullptr);
    CometRecord best;
    EXPECT_EQ(ReadBestCometSet(f, 0, 0.09, &best), 1);   // near the middle epoch
    EXPECT_EQ(ReadBestCometSet(f, 0, 0.25, &best), 2);
    EXPECT_EQ(ReadBestCometSet(f, 0, -1.0, &best), 0);
    EXPECT_EQ(ReadBestCometSet(f, 0, 0.05, &best), 0);   // exactly between: the earlier
    EXPECT_EQ(ReadBestCometSet(f, 5, 0.0, &best), 5);    // unnumbered: its one set
    EXPECT_EQ(ReadBestCometSet(f, 99, 0.0, &best), -1);
    std::fclose(f);

    DateRecord date = DateAtTT(2451545.0 + 0.11 * 36525.0, 64.0);
    double epoch = 0;
    OrbitRecord orbit;
    ASSERT_EQ(ComputeCometPosition(&date, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, &epoch, &orbit), 1);
    EXPECT_DOUBLE_EQ(epoch, 0.1);
    EXPECT_NEAR(orbit.e, 0.64, 1e-6);

    // Without the ephemeris tables there is no Earth to see it from: no
    // place, and the outputs are left alone.
    FreeEphemerisData();
    double ra = -7.0;
    EXPECT_EQ(ComputeCometPosition(&date, 0, nullptr, nullptr, nullptr, nullptr, &ra, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr), 0);
    EXPECT_EQ(ra, -7.0);
}

TEST_F(CometFiles, LookupsAndHiddenNumbers) {
    EXPECT_EQ(FindCometByNumber(7), 0);
    EXPECT_EQ(FindCometByNumber(9), -1);  // all 16 bits are compared
    EXPECT_EQ(FindCometByNumber(0x8000 | 9), 3);
    EXPECT_EQ(FindCometByDesignation("2020 b2"), 5);
    EXPECT_EQ(FindCometByDesignation("1999 Z9"), -1);
    EXPECT_EQ(FindCometIdByName("pons-winnecke"), 0);
    EXPECT_EQ(FindCometIdByName("Far 2020 B2"), 5);
    EXPECT_EQ(FindCometIdByName("Far"), -1);

    FILE *f = OpenCometNameFile();
    ASSERT_NE(f, nullptr);
    char label[kCometLabelSize], display[kCometLabelSize], des[kCometDesignationSize], letter = 0;
    uint16_t number = 0;
    int16_t first = -1;
    EXPECT_EQ(ReadCometNameEntry(f, 1, &letter, &number, des, display, label, &first), 2);
    EXPECT_STREQ(label, "P (Hidden)");
    EXPECT_EQ(number, 0x8000 | 9);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(ReadCometNameEntry(f, -1, nullptr, nullptr, nullptr, nullptr, label, &first), 3);
    EXPECT_STREQ(label, "C/2001 A1 (Broken)");
    EXPECT_EQ(ReadCometNameEntry(f, 1017, nullptr, nullptr, nullptr, nullptr, nullptr, &first), 0);
    EXPECT_EQ(ReadCometNameEntry(f, 50, nullptr, nullptr, nullptr, nullptr, nullptr, &first), 0);
    std::fclose(f);

    f = OpenCometElementsFile();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ReadCometNumberAndLabel(f, 0, &number, label), 1);
    EXPECT_STREQ(label, "7P/Pons-Winnecke");
    char name[kCometNameSize];
    EXPECT_EQ(ReadCometRecordLabel(f, 5, &letter, &number, des, name, label), 6);
    EXPECT_STREQ(label, "C/2020 B2 (Far)");
    EXPECT_STREQ(name, "Far");
    std::fclose(f);
}

TEST_F(CometFiles, UnbuildableSetsDefaultsAndTail) {
    DateRecord date = DateAtTT(2451545.0 + 0.2 * 36525.0, 69.0);
    double ra = -1, mag = 0, r = 0, delta = 0, tail = -1, angle = -1, coma = 0;
    // T = 0 builds no orbit: no place.
    EXPECT_EQ(ComputeCometPosition(&date, 4, nullptr, nullptr, nullptr, nullptr, &ra, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(ComputeCometPosition(&date, -1, nullptr, nullptr, nullptr, nullptr, &ra, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr), 0);
    // H = K = 0: the magnitude of H = 7.5, K = 4; at perihelion 6 AU away
    // there is no tail; the coma is 500e-6 AU seen from Delta.
    char letter = 0;
    ASSERT_EQ(ComputeCometPosition(&date, 5, &letter, nullptr, nullptr, nullptr, &ra, nullptr, &r,
                                   &delta, nullptr, &mag, &coma, nullptr, &tail, &angle, nullptr,
                                   nullptr), 1);
    EXPECT_EQ(letter, 'C');
    EXPECT_NEAR(r, 6.0, 1e-5);
    EXPECT_NEAR(mag, 7.5 + 5 * std::log10(delta) + 10 * std::log10(r), 1e-9);
    EXPECT_NEAR(coma, 500e-6 / delta, 1e-12);
    EXPECT_EQ(tail, 0.0);
    EXPECT_EQ(angle, 0.0);
}

// Split comets: each fragment is a comet with its own orbit. Three real
// element sets of 73P/Schwassmann-Wachmann 3 (JPL SBDB, as kstars-data
// packs them): the whole comet (epoch 2017) and its fragments C (2012) and
// B (2006), in that order, so that a reader that took every set of number 73
// as one comet's would place the whole comet and fragment C in May 2006 with
// fragment B's elements (tens of degrees away).
struct RealSet {
    const char *name;
    double tp, epochMjd, q, e, i, w, node;  // JD, MJD, AU, -, degrees
};
const RealSet kSplit[] = {
    {"Schwassmann-Wachmann 3", 2457829.342399361957, 57800, .9721772236077267, .6855236514795381,
     11.23693112176631, 199.3892656094352, 69.66171061633882},
    {"Schwassmann-Wachmann 3-C", 2455851.399686348570, 55980, .9428566311694347, .6922258013072282,
     11.37915705677313, 198.8705914205202, 69.84321690348189},
    {"Schwassmann-Wachmann 3-B", 2453894.424427309021, 53880, 0.9391110367239190, 0.6932855208263886,
     11.39695194703386, 198.7994525904428, 69.89247679701043},
};

std::string RealRecord(const RealSet &s) {
    std::string r(135, '\0');
    Put(r, 0, static_cast<uint16_t>(73));
    r[2] = 'P';
    std::memcpy(&r[3], s.name, std::strlen(s.name));
    Put(r, 51, (s.tp - 2451545.0) / 36525.0);
    Put(r, 59, (s.epochMjd + 2400000.5 - 2451545.0) / 36525.0);
    Put(r, 67, static_cast<float>(s.q));
    Put(r, 71, static_cast<float>(s.e));
    Put(r, 75, static_cast<float>(s.w * kDegree));
    Put(r, 79, static_cast<float>(s.node * kDegree));
    Put(r, 83, static_cast<float>(s.i * kDegree));
    return r;
}

class SplitComet : public GeneratedTables {
protected:
    void SetUp() override {
        GeneratedTables::SetUp();
        if (IsSkipped()) return;
        std::string elements, names;
        for (int16_t k = 0; k < 3; ++k) {
            elements += RealRecord(kSplit[k]);
            names += RealRecord(kSplit[k]).substr(0, 49);
            names.append(reinterpret_cast<const char *>(&k), 2);
        }
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("comets.bin"), elements));
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("cnames.bin"), names));
        SetMinorBodyDatabaseFolders(dir_.path().c_str(), dir_.path().c_str());
    }
    TempDir dir_;
};

TEST_F(SplitComet, EachFragmentIsPlacedFromItsOwnElements) {
    // PyEphem from the same elements, 2006 May 12.0 UT (Delta T 64.95 s):
    // astrometric RA and Dec in degrees, Delta in AU.
    struct Place {
        const char *text;  // as a log writes it
        int index;
        double ra, dec, delta;
    } places[] = {
        {"73P", 0, 351.526533, -11.059504, 0.833392},
        {"73P-C", 1, 312.292600, 19.903165, 0.088024},
        {"73P/Schwassmann-Wachmann 3-B", 2, 296.649314, 38.627892, 0.069607},
    };
    DateRecord date = DateAtTT(2453867.5 + 64.95 / 86400.0, 64.95);
    for (const Place &p : places) {
        uint16_t number = 0;
        char fragment[kCometFragmentSize];
        ASSERT_EQ(ParsePeriodicCometText(p.text, &number, fragment), 1) << p.text;
        const int first = fragment[0] ? FindCometByNumberAndFragment(number, fragment) : FindCometByNumber(number);
        EXPECT_EQ(first, p.index) << p.text;
        FILE *f = OpenCometElementsFile();
        ASSERT_NE(f, nullptr);
        CometRecord best;
        EXPECT_EQ(ReadBestCometSet(f, p.index, date.centuriesTT, &best), p.index) << p.text;
        std::fclose(f);
        double ra = 0, dec = 0, delta = 0;
        ASSERT_EQ(ComputeCometPosition(&date, p.index, nullptr, nullptr, nullptr, nullptr, &ra, &dec, nullptr,
                                       &delta, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr), 1)
            << p.text;
        // The record holds the elements in single precision, which over the
        // years between perihelion and this date moves the comet by
        // arcseconds (8" for the whole comet, 11 years out).
        EXPECT_LT(AngularSeparation(ra, dec, p.ra * kDegree, p.dec * kDegree) / kDegree * 3600.0, 30.0) << p.text;
        EXPECT_NEAR(delta, p.delta, 1e-4) << p.text;
    }
    // The two fragments are degrees apart: a place from the sibling's
    // elements could not pass.
    EXPECT_GT(AngularSeparation(places[1].ra * kDegree, places[1].dec * kDegree, places[2].ra * kDegree,
                                places[2].dec * kDegree) / kDegree, 10.0);
}

TEST(CometFragments, TextsAndSetsOfOneComet) {
    struct Case {
        uint16_t number;
        const char *name, *designation, *fragment;
    } cases[] = {
        {73, "Schwassmann-Wachmann 3-B", "", "B"},
        {73, "Schwassmann-Wachmann 3-AB", "", "AB"},
        {73, "Schwassmann-Wachmann 3", "", ""},
        {51, "Harrington-A", "", "A"},
        {141, "Machholz 2-D ", "", "D"},
        {0, "ATLAS", "2019 Y4-B", "B"},
        {0, "Shoemaker-Levy 9", "1993 F2-K", "K"},
        {0, "Tuttle-Giacobini-Kresak", "", ""},
        {11, "Tempel-Swift-LINEAR", "", ""},      // a name, not a fragment
        {0, "Smith-B", "", ""},                    // unnumbered: the designation decides
        {12, "Pons-Brooks", "", ""},
    };
    for (const Case &c : cases) {
        char fragment[kCometFragmentSize];
        GetCometFragment(c.number, c.name, c.designation, fragment);
        EXPECT_STREQ(fragment, c.fragment) << c.name << " " << c.designation;
    }
    struct Text {
        const char *text;
        int ok;
        uint16_t number;
        const char *fragment;
    } texts[] = {
        {"73", 1, 73, ""},
        {"73P", 1, 73, ""},
        {"73p-B", 1, 73, "B"},
        {"73P-BT/Schwassmann-Wachmann 3", 1, 73, "BT"},
        {"73P/Schwassmann-Wachmann 3-C", 1, 73, "C"},
        {"73P/Schwassmann-Wachmann 3", 1, 73, ""},
        {"3D/Biela", 1, 3, ""},
        {"73P-Bx", 1, 73, ""},
        {"P/2010 A2", 0, 0, ""},
        {"0P", 0, 0, ""},
        {"70000P", 0, 0, ""},
    };
    for (const Text &t : texts) {
        uint16_t number = 9;
        char fragment[kCometFragmentSize] = "?";
        EXPECT_EQ(ParsePeriodicCometText(t.text, &number, fragment), t.ok) << t.text;
        EXPECT_EQ(number, t.number) << t.text;
        EXPECT_STREQ(fragment, t.fragment) << t.text;
    }
    CometRecord a, b;
    std::memset(&a, 0, sizeof a);
    std::memset(&b, 0, sizeof b);
    a.number = b.number = 73;
    std::strcpy(a.name, "Schwassmann-Wachmann 3");
    std::strcpy(b.name, "Schwassmann-Wachmann 3");
    EXPECT_EQ(IsSameCometSet(&a, &b), 1);
    std::strcpy(b.name, "Schwassmann-Wachmann 3-B");
    EXPECT_EQ(IsSameCometSet(&a, &b), 0);
    a.number = b.number = 0;  // unnumbered comets have one set each
    EXPECT_EQ(IsSameCometSet(&a, &a), 0);
}

class PackagedComets : public mbtest::PackagedDatabase {};

TEST_F(PackagedComets, GeneratedFilesAndNeowise) {
    int halley = FindCometByNumber(1);
    ASSERT_EQ(halley, 0);  // numbered comets first, by number
    EXPECT_EQ(FindCometIdByName("Halley"), 0);
    EXPECT_EQ(FindCometIdByName("NEOWISE 2020 F3"), FindCometByDesignation("2020 F3"));
    int neowise = FindCometByDesignation("2020 F3");
    ASSERT_GT(neowise, 0);

    FILE *f = OpenCometElementsFile();
    ASSERT_NE(f, nullptr);
    char label[kCometLabelSize];
    uint16_t number = 0;
    ASSERT_GT(ReadCometRecordLabel(f, neowise, nullptr, &number, nullptr, nullptr, label), 0);
    EXPECT_STREQ(label, "C/2020 F3 (NEOWISE)");
    ASSERT_GT(ReadCometRecordLabel(f, 1, nullptr, &number, nullptr, nullptr, label), 0);
    EXPECT_STREQ(label, "2P/Encke");
    std::fclose(f);

    // PyEphem, same elements, 2020 July 15.0 UT (Delta T 70.07 s): RA
    // 9h23m44.60s, Dec +47d44'01.6", Delta 0.70564 AU, r 0.56193 AU, m 8.84.
    DateRecord date = DateAtTT(2459050.5 + 70.07 / 86400.0, 70.07);
    double ra, dec, r, delta, mag;
    ASSERT_EQ(ComputeCometPosition(&date, neowise, nullptr, nullptr, nullptr, nullptr, &ra, &dec, &r,
                                   &delta, nullptr, &mag, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr), 1);
    EXPECT_NEAR(ra / kDegree, (9 + 23 / 60.0 + 44.60 / 3600) * 15, 3.0 / 3600);
    EXPECT_NEAR(dec / kDegree, 47 + 44 / 60.0 + 1.6 / 3600, 3.0 / 3600);
    EXPECT_NEAR(delta, 0.70564, 1e-4);
    EXPECT_NEAR(r, 0.56193, 1e-4);
    EXPECT_NEAR(mag, 8.84, 0.01);
}

}  // namespace
