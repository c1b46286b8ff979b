// Tests of the Earth-satellite element store: the import's naming and
// flags, sorting and duplicates, the update's rules and counters, the
// magnitude file, lookups, selections, the merge, designators, and every
// rewrite failed step by step through the I/O seam.
#include "ephem/satstore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <cstring>
#include <string>
#include <vector>

#include "core/mathutil.h"
#include "core/safefile.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

namespace {

// Mends the check digit (column 69) of an element line.
std::string Checked(std::string line) {
    line.resize(69, ' ');
    line[68] = '0';
    int r = CheckTwoLineChecksum(line.c_str());
    line[68] = static_cast<char>('0' + r);
    return line;
}

// An element pair from the ISS set of 2008 (ISS (ZARYA)), with the catalogue
// number, classification, designator, epoch day (of 2008), eccentricity
// (7 digits) and mean motion replaced.
struct Pair {
    std::string line1, line2;
};
Pair MakePair(int number, char classification = 'U', const char *designator = "98067A  ",
              const char *day = "264.51782528", const char *eccentricity = "0006703",
              const char *meanMotion = "15.72125391") {
    char n[8];
    std::snprintf(n, sizeof n, "%05d", number);
    std::string l1 = "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927";
    std::string l2 = "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537";
    l1.replace(2, 5, n);
    l1[7] = classification;
    l1.replace(9, 8, designator);
    l1.replace(20, 12, day);
    l2.replace(2, 5, n);
    l2.replace(26, 7, eccentricity);
    l2.replace(52, 11, meanMotion);
    return {Checked(l1), Checked(l2)};
}

std::string Text(const std::vector<std::string> &lines, const char *eol = "\n") {
    std::string s;
    for (const std::string &l : lines) s += l + eol;
    return s;
}

class SatelliteStore : public ::testing::Test {
protected:
    void SetUp() override { SetSatelliteFolder(dir.path().c_str()); }
    void TearDown() override { SetSatelliteFolder(""); }
    std::string File(const char *name) const { return dir.file(name); }
    void WriteText(const char *name, const std::string &text) {
        ASSERT_TRUE(testutil::WriteFileBytes(File(name), text));
    }
    std::vector<EarthSatelliteRecord> Records() {
        std::vector<EarthSatelliteRecord> out;
        uint32_t count = 0;
        std::FILE *f = OpenSatelliteStore(&count);
        EXPECT_NE(f, nullptr);
        if (!f) return out;
        for (uint32_t i = 0; i < count; ++i) {
            EarthSatelliteRecord r;
            EXPECT_EQ(ReadSatelliteRecord(f, &r, static_cast<int>(i)), 1);
            out.push_back(r);
        }
        std::fclose(f);
        return out;
    }
    int Import(const std::string &text) {
        WriteText("alldat.tle", text);
        testing::internal::CaptureStdout();
        int r = ImportTwoLineElements();
        lastOutput = testing::internal::GetCapturedStdout();
        return r;
    }
    int Update(const std::string &text) {
        WriteText("update.tle", text);
        std::FILE *f = std::fopen(File("update.tle").c_str(), "rb");
        testing::internal::CaptureStdout();
        int r = UpdateSatellitesFromTwoLineElements(f);
        lastOutput = testing::internal::GetCapturedStdout();
        if (f) std::fclose(f);
        return r;
    }
    testutil::TempDir dir;
    std::string lastOutput;
};

TEST_F(SatelliteStore, ImportNamesMagnitudesAndSkipsBadPairs) {
    Pair a = MakePair(5), b = MakePair(11), c = MakePair(20), d = MakePair(30);
    std::string badLine2 = b.line2;
    badLine2[68] = static_cast<char>('0' + (badLine2[68] - '0' + 1) % 10);
    std::string longName = "A VERY LONG SATELLITE NAME LINE 5.5";  // 35 columns
    ASSERT_EQ(Import(Text({"FIRST SAT       ", a.line1, a.line2,            // plain name
                           "BAD ONE", b.line1, badLine2,                     // bad check digit
                           "0 THREE-LINE FORM", c.line1, c.line2,            // 3LE "0 " form
                           longName, d.line1, d.line2},
                          "\r\n")),
              1);
    EXPECT_EQ(lastOutput, "3 total\n");
    std::vector<EarthSatelliteRecord> r = Records();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(+r[0].number, 5u);
    EXPECT_STREQ(r[0].name, "FIRST SAT");
    EXPECT_STREQ(r[0].designator, "98067A");
    EXPECT_EQ(+r[0].standardMagnitude, 99.9f);  // name line of 31 characters or fewer
    EXPECT_EQ(+r[1].number, 20u);
    EXPECT_STREQ(r[1].name, "THREE-LINE FORM");
    EXPECT_EQ(+r[2].number, 30u);
    EXPECT_STREQ(r[2].name, "A VERY LONG SATE");  // the first 16 characters
    EXPECT_FLOAT_EQ(+r[2].standardMagnitude, 5.5f);
}

TEST_F(SatelliteStore, ImportWithoutNameLinesGivesEmptyNamesNotElementLines) {
    Pair a = MakePair(1), b = MakePair(2), c = MakePair(3);
    ASSERT_EQ(Import(Text({a.line1, a.line2, b.line1, b.line2, c.line1, c.line2})), 1);
    std::vector<EarthSatelliteRecord> r = Records();
    ASSERT_EQ(r.size(), 3u);
    // The line before each line 1 is the previous line 2: not a name.
    for (const EarthSatelliteRecord &s : r) EXPECT_STREQ(s.name, "");
}

TEST_F(SatelliteStore, ImportSortsByNumberAndKeepsTheLatestEpoch) {
    Pair late = MakePair(300, 'U', "98067A  ", "265.00000000");
    Pair early = MakePair(300, 'U', "98067A  ", "200.00000000");
    Pair small = MakePair(7);
    ASSERT_EQ(Import(Text({"LATE", late.line1, late.line2, "SMALL", small.line1, small.line2,
                           "EARLY", early.line1, early.line2})),
              1);
    std::vector<EarthSatelliteRecord> r = Records();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(+r[0].number, 7u);
    EXPECT_EQ(+r[1].number, 300u);
    EXPECT_STREQ(r[1].name, "LATE");
    EarthSatelliteRecord found;
    int index = -1;
    ASSERT_EQ(FindEarthSatelliteByNumber(&found, 300, &index), 1);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(FindEarthSatelliteByNumber(&found, 8, &index), 0);
}

TEST_F(SatelliteStore, ImportFlags) {
    Pair plain = MakePair(1);
    Pair classified = MakePair(2, 'S');
    Pair eccentric = MakePair(3, 'U', "98067A  ", "264.51782528", "7000000", " 2.00000000");
    Pair geo = MakePair(4, 'U', "98067A  ", "264.51782528", "0001000", " 1.00270000");
    // 0.9 rev/day: a period of 1.11 days, within 2.5 hours of a day? No:
    // 0.111 day is more than 0.104.
    Pair slow = MakePair(5, 'U', "98067A  ", "264.51782528", "0001000", " 0.90000000");
    ASSERT_EQ(Import(Text({"P", plain.line1, plain.line2, "C", classified.line1, classified.line2,
                           "E", eccentric.line1, eccentric.line2, "G", geo.line1, geo.line2, "S",
                           slow.line1, slow.line2})),
              1);
    std::vector<EarthSatelliteRecord> r = Records();
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(+r[0].flags, 0);
    EXPECT_EQ(+r[1].flags, kSatelliteFlagged);
    EXPECT_EQ(+r[2].flags, kSatelliteHighEccentricity);
    EXPECT_EQ(+r[3].flags, kSatelliteOneDay);
    EXPECT_EQ(+r[4].flags, 0);
}

TEST_F(SatelliteStore, UpdateRulesAndCounters) {
    Pair a = MakePair(100, 'U', "98067A  ", "100.00000000");
    Pair b = MakePair(200, 'U', "98067A  ", "100.00000000");
    Pair c = MakePair(500, 'U', "98067A  ", "100.00000000");
    ASSERT_EQ(Import(Text({"ALPHA", a.line1, a.line2, "BETA", b.line1, b.line2, "GAMMA", c.line1,
                           c.line2})),
              1);
    std::vector<EarthSatelliteRecord> before = Records();
    // 100: later epoch, no name line (follows a line 2): elements replaced,
    //      name kept.
    // 200: older epoch with a magnitude where the store has none: only the
    //      magnitude.
    // 300 and 400: new, both between 200 and 500, given in reverse order.
    Pair a2 = MakePair(100, 'U', "98067A  ", "150.00000000");
    Pair b2 = MakePair(200, 'U', "98067A  ", "050.00000000");
    Pair n4 = MakePair(400), n3 = MakePair(300);
    std::string magName = "BETA NEW NAME                   3.0";
    ASSERT_EQ(Update(Text({n4.line1, n4.line2, a2.line1, a2.line2, magName, b2.line1, b2.line2,
                           "NEW 300", n3.line1, n3.line2})),
              1);
    EXPECT_EQ(lastOutput, "1 tle updated, 1 mags updated, 2 added\n");
    std::vector<EarthSatelliteRecord> r = Records();
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(+r[0].number, 100u);
    EXPECT_STREQ(r[0].name, "ALPHA");
    EXPECT_GT(+r[0].elements.epoch, +before[0].elements.epoch);
    EXPECT_EQ(+r[1].number, 200u);
    EXPECT_EQ(+r[1].elements.epoch, +before[1].elements.epoch);
    EXPECT_FLOAT_EQ(+r[1].standardMagnitude, 3.0f);
    EXPECT_EQ(+r[2].number, 300u);
    EXPECT_STREQ(r[2].name, "NEW 300");
    EXPECT_EQ(+r[3].number, 400u);
    EXPECT_EQ(+r[4].number, 500u);
    // No file: "No file" and 0.
    testing::internal::CaptureStdout();
    EXPECT_EQ(UpdateSatellitesFromTwoLineElements(nullptr), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "No file\n");
}

TEST_F(SatelliteStore, MagnitudeFile) {
    Pair a = MakePair(10), b = MakePair(20), c = MakePair(30);
    ASSERT_EQ(Import(Text({"A", a.line1, a.line2, "B", b.line1, b.line2, "C", c.line1, c.line2})),
              1);
    auto line = [](int number, char kind, const char *magnitude) {
        char text[64];
        std::snprintf(text, sizeof text, "%05d %c%-26s%4s", number, kind, "", magnitude);
        return std::string(text);
    };
    WriteText("qsat.dat", Text({line(10, 'h', " 4.0"), line(15, 'c', " 1.0"),  // 15 absent
                                line(20, 'd', "    "), line(99999, ' ', ""),
                                line(30, 's', " 2.0")}));                       // after the end
    testing::internal::CaptureStdout();
    ASSERT_EQ(ImportSatelliteMagnitudes(), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "2 updated\n");
    std::vector<EarthSatelliteRecord> r = Records();
    EXPECT_FLOAT_EQ(+r[0].standardMagnitude, 4.75f);
    EXPECT_EQ(+r[0].flags, kSatelliteHighEccentricity);
    EXPECT_EQ(+r[1].standardMagnitude, 99.9f);  // no number in the field
    EXPECT_EQ(+r[1].flags, kSatelliteExcluded);
    EXPECT_EQ(+r[2].standardMagnitude, 99.9f);
    EXPECT_EQ(+r[2].flags, 0);
    // Every kind letter sets its bit.
    const struct {
        char letter;
        uint8_t bit;
    } kinds[] = {{'c', 0x10}, {'d', 0x20}, {'f', 0x04}, {'g', 0x02},
                 {'h', 0x01}, {'s', 0x40}, {'t', 0x08}, {'x', 0x00}};
    for (const auto &k : kinds) {
        ASSERT_EQ(Import(Text({"A", a.line1, a.line2})), 1);
        WriteText("qsat.dat", line(10, k.letter, "    ") + "\n");
        testing::internal::CaptureStdout();
        ASSERT_EQ(ImportSatelliteMagnitudes(), 1);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(+Records()[0].flags, k.bit) << k.letter;
    }
}

TEST_F(SatelliteStore, NameIndexAndLookups) {
    Pair a = MakePair(10), b = MakePair(20), c = MakePair(30);
    ASSERT_EQ(Import(Text({"ZULU", a.line1, a.line2, "ALPHA", b.line1, b.line2, "MIKE", c.line1,
                           c.line2})),
              1);
    ASSERT_EQ(BuildSatelliteIndexFiles(), 3);
    EXPECT_TRUE(testutil::PathIsThere(File("esatv.bin")));
    std::string names = testutil::ReadFileBytes(File("names.bin"));
    ASSERT_EQ(names.size(), 4u + 3u * 21u);
    EXPECT_EQ(names.substr(4, 5), "ALPHA");  // sorted by name
    EXPECT_EQ(names[4 + 17], 1);             // record index of ALPHA
    int index = -1;
    ASSERT_EQ(FindSatelliteIndexByName("MIKE", &index), 1);
    EXPECT_EQ(index, 2);
    ASSERT_EQ(FindSatelliteIndexByName("ZULU", &index), 1);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(FindSatelliteIndexByName("mike", &index), 0);
}

TEST_F(SatelliteStore, MissingOrDamagedStoreAnswersAbsent) {
    uint32_t count = 7;
    EXPECT_EQ(OpenSatelliteStore(&count), nullptr);
    EarthSatelliteRecord r;
    EXPECT_EQ(FindEarthSatelliteByNumber(&r, 5, nullptr), 0);
    // A count larger than the records present.
    std::string bytes(4 + 115, '\0');
    bytes[0] = 2;
    ASSERT_TRUE(testutil::WriteFileBytes(File("esat.bin"), bytes));
    EXPECT_EQ(OpenSatelliteStore(&count), nullptr);
    ASSERT_EQ(CreateSatelliteStore(), 1);
    std::FILE *f = OpenSatelliteStore(&count);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(ReadSatelliteRecord(f, &r, -1), 0);
    EXPECT_EQ(ReadSatelliteRecord(f, &r, 0), 0);
    std::fclose(f);
    int n = -1;
    EXPECT_EQ(SelectSatellitesByKind(1, 1, 1, 0, 99.0, &n), nullptr);
    EXPECT_EQ(n, 0);
}

TEST_F(SatelliteStore, Selections) {
    Pair plain = MakePair(1);
    Pair flagged = MakePair(2, 'S');
    Pair eccentric = MakePair(3, 'U', "98067A  ", "264.51782528", "7000000", " 2.00000000");
    Pair geo = MakePair(4, 'U', "98067A  ", "264.51782528", "0001000", " 1.00270000");
    Pair dropped = MakePair(5);
    std::string bright = "BRIGHT                          1.0";
    ASSERT_EQ(Import(Text({bright, plain.line1, plain.line2, "F", flagged.line1, flagged.line2,
                           "E", eccentric.line1, eccentric.line2, "G", geo.line1, geo.line2, "D",
                           dropped.line1, dropped.line2})),
              1);
    WriteText("qsat.dat", "00005 d\n");
    testing::internal::CaptureStdout();
    ASSERT_EQ(ImportSatelliteMagnitudes(), 1);
    testing::internal::GetCapturedStdout();
    auto numbers = [](EarthSatelliteRecord *list, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += std::to_string(list[i].number) + " ";
        std::free(list);
        return s;
    };
    int n = 0;
    EarthSatelliteRecord *list = SelectSatellitesByKind(1, 1, 1, 0, 99.0, &n);
    EXPECT_EQ(numbers(list, n), "1 2 3 4 ");  // 0x20 never; limit 99 selects all
    list = SelectSatellitesByKind(1, 0, 0, 0, 99.0, &n);
    EXPECT_EQ(numbers(list, n), "1 2 ");
    list = SelectSatellitesByKind(0, 1, 0, 0, 99.0, &n);
    EXPECT_EQ(numbers(list, n), "3 ");
    list = SelectSatellitesByKind(0, 0, 1, 0, 99.0, &n);
    EXPECT_EQ(numbers(list, n), "4 ");
    list = SelectSatellitesByKind(1, 1, 1, 1, 99.0, &n);
    EXPECT_EQ(numbers(list, n), "2 ");
    // A limit: only the satellite with a standard magnitude of 1.0 is bright
    // enough at its perigee (about 350 km: 1.0 + 5 log10 350 - 15.75 = -2.0).
    list = SelectSatellitesByKind(1, 1, 1, 0, 0.0, &n);
    EXPECT_EQ(numbers(list, n), "1 ");
    list = SelectSatellitesByOrbit(-1, -1, -1, -1, 99.0, &n);
    EXPECT_EQ(numbers(list, n), "1 2 3 4 5 ");  // no flag is tested
    list = SelectSatellitesByOrbit(0.5, -1, -1, -1, 99.0, &n);
    EXPECT_EQ(numbers(list, n), "3 ");
    list = SelectSatellitesByOrbit(-1, -1, 0.9, 1.1, 99.0, &n);
    EXPECT_EQ(numbers(list, n), "4 ");
    list = SelectSatellitesByOrbit(-1, 0.00001, -1, -1, 99.0, &n);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(n, 0);
}

TEST(SatelliteStoreText, InternationalDesignator) {
    char out[16];
    EXPECT_STREQ(FormatInternationalDesignator(out, "98067A"), "1998-067-A");
    EXPECT_STREQ(FormatInternationalDesignator(out, "45001A"), "2045-001-A");
    EXPECT_STREQ(FormatInternationalDesignator(out, "46001B"), "1946-001-B");
    EXPECT_STREQ(FormatInternationalDesignator(out, "00005"), "");
}

TEST_F(SatelliteStore, MergeWritesEverySatelliteInOrder) {
    auto file = [&](const char *name, std::vector<EarthSatelliteRecord> records) {
        std::string bytes(4, '\0');
        uint32_t n = static_cast<uint32_t>(records.size());
        std::memcpy(&bytes[0], &n, 4);
        bytes.append(reinterpret_cast<const char *>(records.data()), records.size() * 115);
        EXPECT_TRUE(testutil::WriteFileBytes(File(name), bytes));
    };
    auto rec = [](uint32_t number, double epoch, float magnitude) {
        EarthSatelliteRecord r;
        std::memset(&r, 0, sizeof r);
        r.number = number;
        r.elements.epoch = epoch;
        r.standardMagnitude = magnitude;
        std::snprintf(r.name, sizeof r.name, "S%u", number);
        return r;
    };
    // 1: in both, unchanged (y written); 2: x later (x); 3: x's magnitude
    // differs (x); 4: only in the second (flag 0x20, counted); 5: only first.
    file("a.bin", {rec(1, 10, 99.9f), rec(2, 20, 99.9f), rec(3, 10, 4.0f), rec(5, 10, 99.9f)});
    file("b.bin", {rec(1, 10, 99.9f), rec(2, 10, 99.9f), rec(3, 10, 5.0f), rec(4, 10, 99.9f)});
    std::FILE *a = std::fopen(File("a.bin").c_str(), "rb");
    std::FILE *b = std::fopen(File("b.bin").c_str(), "rb");
    std::FILE *o = std::fopen(File("o.bin").c_str(), "w+b");
    int added = -1;
    testing::internal::CaptureStdout();
    EXPECT_EQ(MergeSatelliteFiles(a, b, o, &added), 5);
    std::string trace = testing::internal::GetCapturedStdout();
    EXPECT_EQ(trace, "99.9 = 99.9  10.000000 = 20.000000 S2\n 5.0 =  4.0  10.000000 = 10.000000 S3\n");
    std::fclose(a);
    std::fclose(b);
    std::fclose(o);
    EXPECT_EQ(added, 1);
    std::string bytes = testutil::ReadFileBytes(File("o.bin"));
    ASSERT_EQ(bytes.size(), 4u + 5u * 115u);
    std::vector<EarthSatelliteRecord> out(5);
    std::memcpy(out.data(), bytes.data() + 4, 5 * 115);
    for (uint32_t i = 0; i < 5; ++i) EXPECT_EQ(+out[i].number, i + 1);
    EXPECT_EQ(+out[1].elements.epoch, 20.0);
    EXPECT_FLOAT_EQ(+out[2].standardMagnitude, 4.0f);
    EXPECT_EQ(+out[3].flags, kSatelliteExcluded);
    EXPECT_EQ(+out[0].flags, 0);
}

// Every rewrite of the store, failed at each file step: the old store reads
// back whole and the failure is reported.
TEST_F(SatelliteStore, RewritesSurviveEveryFailedStep) {
    Pair a = MakePair(10), b = MakePair(20), n = MakePair(15);
    std::string first = Text({"A", a.line1, a.line2, "B", b.line1, b.line2});
    std::string update = Text({"N", n.line1, n.line2});
    WriteText("update.tle", update);
    WriteText("qsat.dat", "00010 h                            3.0\n");
    std::string before;
    auto prepare = [&] {
        WriteText("alldat.tle", first);
        testing::internal::CaptureStdout();
        ASSERT_EQ(ImportTwoLineElements(), 1);
        testing::internal::GetCapturedStdout();
        before = testutil::ReadFileBytes(File("esat.bin"));
    };
    auto check = [&](const testutil::FailurePointRun &run) {
        std::string after = testutil::ReadFileBytes(File("esat.bin"));
        // Every step counts, the read of each text line among them: a read
        // that fails is no end of the text, and the satellites after it
        // would be lost from a rebuild that reported success.
        EXPECT_EQ(run.result, 0) << testutil::DescribeFailurePoint(run);
        if (run.result == 0) {
            EXPECT_EQ(after, before) << testutil::DescribeFailurePoint(run);
        } else {
            EXPECT_NE(after, before) << testutil::DescribeFailurePoint(run);
        }
        EXPECT_TRUE(testutil::TemporariesBeside(File("esat.bin")).empty());
    };
    struct Operation {
        const char *what;
        std::function<int()> run;
    } operations[] = {
        {"import",
         [&] {
             WriteText("alldat.tle", first + update);
             testing::internal::CaptureStdout();
             int r = ImportTwoLineElements();
             testing::internal::GetCapturedStdout();
             return r;
         }},
        {"update",
         [&] {
             std::FILE *f = std::fopen(File("update.tle").c_str(), "rb");
             testing::internal::CaptureStdout();
             int r = UpdateSatellitesFromTwoLineElements(f);
             testing::internal::GetCapturedStdout();
             std::fclose(f);
             return r;
         }},
        {"magnitudes",
         [&] {
             testing::internal::CaptureStdout();
             int r = ImportSatelliteMagnitudes();
             testing::internal::GetCapturedStdout();
             return r;
         }},
    };
    for (const Operation &op : operations) {
        SCOPED_TRACE(op.what);
        EXPECT_GT(testutil::ForEachFailurePoint(prepare, op.run, check), 0);
    }
    // The name index: a failed rewrite leaves the old index.
    std::string oldNames;
    EXPECT_GT(testutil::ForEachFailurePoint(
                  [&] {
                      prepare();
                      ASSERT_EQ(BuildSatelliteIndexFiles(), 2);
                      oldNames = testutil::ReadFileBytes(File("names.bin"));
                      WriteText("alldat.tle", first + update);
                      testing::internal::CaptureStdout();
                      ASSERT_EQ(ImportTwoLineElements(), 1);
                      testing::internal::GetCapturedStdout();
                  },
                  [&] { return BuildSatelliteIndexFiles() == 3 ? 1 : 0; },
                  [&](const testutil::FailurePointRun &run) {
                      std::string names = testutil::ReadFileBytes(File("names.bin"));
                      if (run.result == 0) {
                          EXPECT_EQ(names, oldNames) << testutil::DescribeFailurePoint(run);
                      } else {
                          EXPECT_EQ(names.size(), 4u + 3u * 21u);
                      }
                  }),
              0);
}

}  // namespace
