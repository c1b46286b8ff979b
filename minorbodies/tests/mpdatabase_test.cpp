// Tests of the packaged minor-planet database: folder texts and paths, the
// element-file choice, the position handle's caches and its refusal of
// unused records, the name files, the coarse track's codes, lookup and
// interpolation, and the generator's files read back (their byte layout,
// their tracks against the program's own and their places against the
// orbit code).
#include "minorbodies/mpdatabase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "minorbodies/dbfolders.h"
#include "minorbodies/tests/mbfixture.h"

namespace {

using namespace ephemtest;
using testutil::TempDir;
using testutil::WriteFileBytes;

std::string Int32s(std::initializer_list<int32_t> values) {
    std::string s;
    for (int32_t v : values) s.append(reinterpret_cast<const char *>(&v), 4);
    return s;
}

double CenturiesOfJD(double jd) { return (jd - 2451545.0) / 36525.0; }

TEST(DatabaseFolders, SlashesAndOneTrailingSeparator) {
    SetMinorBodyDatabaseFolders("C:\\Nightjar\\ss", "D:/disc/ss/");
    EXPECT_STREQ(GetMinorBodyDatabaseFolder(0), "C:/Nightjar/ss/");
    EXPECT_STREQ(GetMinorBodyDatabaseFolder(1), "D:/disc/ss/");
    char path[kMinorBodyPathSize];
    EXPECT_STREQ(FormatMinorBodyDatabasePath(path, kMinorBodyFileAlpha), "C:/Nightjar/ss/mp_alpha.bin");
    EXPECT_STREQ(FormatMinorBodyDatabasePath(path, kMinorBodyFileCometNames), "C:/Nightjar/ss/cnames.bin");
    EXPECT_STREQ(FormatMinorBodyDatabasePath(path, 6), "");
    // A folder of the buffer's whole size is cut, never written past.
    std::string longFolder(1500, 'x');
    SetMinorBodyDatabaseFolders(longFolder.c_str(), longFolder.c_str());
    FormatMinorBodyDatabasePath(path, kMinorBodyFileData);
    EXPECT_EQ(std::strlen(path), static_cast<size_t>(kMinorBodyPathSize - 1));
}

TEST(ElementFiles, NearestEpochAndClamping) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("limits.bin"), Int32s({61490, 61500})));
    SetMinorBodyDatabaseFolders(dir.path().c_str(), dir.path().c_str());
    ElementFileLimits limits;
    ClearElementFileLimits(&limits);
    int clamped = 7;
    // Halfway between epochs 40 n + 0.5 and 40 (n + 1) + 0.5 selects n + 1.
    EXPECT_EQ(GetElementFileNumber(&limits, CenturiesOfJD(40 * 61495 + 20.5), &clamped), 61496);
    EXPECT_EQ(clamped, 0);
    EXPECT_EQ(limits.first, 61490);
    EXPECT_EQ(limits.last, 61500);
    EXPECT_EQ(GetElementFileNumber(&limits, CenturiesOfJD(40 * 61495 + 20.4), &clamped), 61495);
    EXPECT_EQ(GetElementFileNumber(&limits, CenturiesOfJD(40 * 61500 + 36525.0), &clamped), 61500);
    EXPECT_EQ(clamped, 1);
    EXPECT_EQ(GetElementFileNumber(&limits, CenturiesOfJD(0.0), &clamped), 61490);
    EXPECT_EQ(clamped, 1);
    EXPECT_DOUBLE_EQ(GetElementFileEpoch(61495), 2459800.5);

    // Without limits.bin the number is 0, and file 0 is what would be tried.
    TempDir empty;
    SetMinorBodyDatabaseFolders(empty.path().c_str(), empty.path().c_str());
    ClearElementFileLimits(&limits);
    EXPECT_EQ(GetElementFileNumber(&limits, 0.2, &clamped), 0);
    EXPECT_EQ(OpenElementFile(&limits, 0.2, &clamped), nullptr);
    EXPECT_EQ(OpenMinorPlanetEphemeris(), nullptr);
}

TEST(TrackCodes, MagnitudesTurnsAndInterpolation) {
    // Magnitude codes stay within 1..255: 0 is reserved for an unusable
    // track, and magnitudes outside 4..27 must not wrap round.
    struct Case { double m; int code; };
    const Case cases[] = {{4.0, 1}, {3.0, 1}, {-2.0, 1}, {27.0, 255}, {28.0, 255}, {40.0, 255},
                          {15.5, 128}, {NAN, 1}};
    for (const Case &c : cases) EXPECT_EQ(EncodeTrackMagnitude(c.m), c.code) << c.m;
    EXPECT_NEAR(DecodeTrackMagnitude(255), 27.0, 1e-12);
    EXPECT_EQ(EncodeTurnFraction(kPi), 1073741824);  // half a turn, rounded up from .5
    EXPECT_EQ(EncodeTurnFraction(-kPi / 2), -536870912);
    EXPECT_NEAR(DecodeTurnFraction(EncodeTurnFraction(1.234)), 1.234, 3e-9);

    // Interval lookup: eleven samples 4 days apart from start.
    struct Interval { double jd; int i; double f; };
    const Interval intervals[] = {{1000.0, 0, 0.0}, {1001.0, 0, 0.25}, {1039.0, 9, 0.75},
                                  {1036.0, 9, 0.0}, {999.9, -1, 0}, {1040.0, -1, 0},
                                  {1040.5, -1, 0}};
    for (const Interval &c : intervals) {
        double f = -1.0;
        EXPECT_EQ(FindTrackInterval(kTrackSampleCount, 1000.0, c.jd, &f), c.i) << c.jd;
        if (c.i >= 0) {
            EXPECT_NEAR(f, c.f, 1e-12) << c.jd;
        }
    }

    // Across 0 h the right ascension is interpolated the short way.
    TrackSample s[2];
    s[0] = {EncodeTurnFraction(359.0 * kDegree), EncodeTurnFraction(10.0 * kDegree), 100};
    s[1] = {EncodeTurnFraction(3.0 * kDegree), EncodeTurnFraction(12.0 * kDegree), 110};
    double ra, dec, m;
    InterpolateTrack(s, 0, 0.5, &ra, &dec, &m);
    EXPECT_NEAR(ra / kDegree, 361.0, 1e-6);
    EXPECT_NEAR(dec / kDegree, 11.0, 1e-6);
    EXPECT_NEAR(m, DecodeTrackMagnitude(105), 1e-9);
}

class TrackOfOrbit : public GeneratedTables {};

TEST_F(TrackOfOrbit, CloseApproachMarksTheTrackUnusable) {
    // An orbit passing the Earth: the same elements, with the perihelion
    // time moved so that the Earth is met at the tested half step 2 days
    // before the epoch, or far from every tested time.
    const double epoch = 2459800.5;
    OrbitRecord far;
    ASSERT_EQ(InitOrbitRecord(&far, CenturiesOfJD(epoch), 0, 0, 2.6, 0, 0.1, 10, 20, 5, 0, 12, 0.15, 2),
              1);
    ComputeOrbitVectors(&far);
    TrackSample samples[kTrackSampleCount];
    ComputeOrbitTrack(&far, epoch, samples);
    EXPECT_NE(samples[0].magnitudeCode, 0);
    for (int k = 1; k < kTrackSampleCount; ++k) EXPECT_NE(samples[k].magnitudeCode, 0) << k;

    DateRecord date = DateAtTT(epoch - 2.0, 69.0);
    OrbitRecord close;
    // The Earth's heliocentric longitude on 2022 Aug 7 is about 315 deg; a
    // body at 1.05 AU in the ecliptic at that longitude is 0.05 AU away.
    double lonDeg = 315.0;
    ASSERT_EQ(InitOrbitRecord(&close, CenturiesOfJD(epoch - 2.0), 0, 0, 1.05, 0, 0.0, lonDeg, 0.0, 0.0,
                              0, 20, 0.15, 2), 1);
    ComputeOrbitVectors(&close);
    double delta = 0.0;
    ComputeMinorBodyPosition(&date, &close, nullptr, nullptr, nullptr, &delta, nullptr, nullptr, nullptr);
    ASSERT_LT(delta, 0.21);
    ComputeOrbitTrack(&close, epoch, samples);
    EXPECT_EQ(samples[0].magnitudeCode, 0);
}

class PackagedMinorPlanets : public mbtest::PackagedDatabase {};

TEST_F(PackagedMinorPlanets, FileLayoutAndNames) {
    // mp_data.bin and mp_names.bin by offset, without the structs.
    bool ok = false;
    std::string data = testutil::ReadFileBytes(folders_.first + "/mp_data.bin", &ok);
    ASSERT_TRUE(ok);
    ASSERT_GE(data.size(), 4u * 24u);
    float h, q, Q;
    std::memcpy(&h, data.data() + 3 * 24 + 8, 4);   // (4) Vesta
    std::memcpy(&q, data.data() + 3 * 24 + 16, 4);
    std::memcpy(&Q, data.data() + 3 * 24 + 20, 4);
    EXPECT_NEAR(h, 3.2, 0.3);
    EXPECT_NEAR(q, 2.15, 0.05);
    EXPECT_NEAR(Q, 2.57, 0.05);
    std::string names = testutil::ReadFileBytes(folders_.first + "/mp_names.bin", &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(names.substr(3 * 17, 5), "Vesta");

    FILE *f = OpenMinorPlanetNameFile();
    ASSERT_NE(f, nullptr);
    char text[kMinorPlanetNameLength + 1];
    ASSERT_EQ(ReadMinorPlanetName(f, 1, text), 1);
    EXPECT_STREQ(text, "Ceres");
    ASSERT_EQ(ReadMinorPlanetName(f, -1, text), 1);
    EXPECT_STREQ(text, "Pallas");
    EXPECT_EQ(ReadMinorPlanetName(f, 1 << 24, text), 0);
    std::fclose(f);

    EXPECT_EQ(FindMinorPlanetNumberByName("vesta"), 4);
    EXPECT_EQ(FindMinorPlanetNumberByName("CERES"), 1);
    EXPECT_EQ(FindMinorPlanetNumberByName("Eros"), 433);
    EXPECT_EQ(FindMinorPlanetNumberByName("Vest"), 0);
    EXPECT_EQ(FindMinorPlanetNumberByName("4 Vesta"), 0);  // no group for a digit
    EXPECT_EQ(FindMinorPlanetNumberByName(""), 0);

    // The directory: a blank group first, then A..Z in order.
    f = OpenMinorPlanetAlphaAtLetter('v');
    ASSERT_NE(f, nullptr);
    char name[kMinorPlanetNameLength + 1];
    int32_t number = 0;
    int next = ReadMinorPlanetAlphaEntry(f, -1, name, &number);
    EXPECT_GT(next, 0);
    EXPECT_EQ(name[0], 'V');
    std::fclose(f);
    EXPECT_EQ(OpenMinorPlanetAlphaAtLetter('7'), nullptr);
}

TEST_F(PackagedMinorPlanets, PlacesCachesAndUnusedNumbers) {
    MinorPlanetEphemeris *h = OpenMinorPlanetEphemeris();
    ASSERT_NE(h, nullptr);
    DateRecord date = DateAtTT(2459800.5, 69.0);
    double ra, dec, r, delta, el, mag;
    ASSERT_EQ(ComputeMinorPlanetPosition(h, &date, 1, &ra, &dec, &r, &delta, &el, &mag), 1);
    // Ceres on 2022 Aug 9 (PyEphem from the same elements: 8h43m14s +23d36'08").
    EXPECT_NEAR(ra / kDegree, (8 + 43 / 60.0 + 14.0 / 3600) * 15, 0.01);
    EXPECT_NEAR(dec / kDegree, 23 + 36 / 60.0 + 8 / 3600.0, 0.01);
    EXPECT_NEAR(delta, 3.564, 0.002);
    EXPECT_NEAR(mag, 8.5, 0.1);
    FILE *open = h->elementFile;
    int32_t fileNumber = h->elementFileNumber;

    // Rewrite Ceres' element record on disk: the handle keeps its loaded
    // orbit for the same object and date, and reads nothing again.
    std::string path = folders_.second + "/elements/" + std::to_string(fileNumber) + ".bin";
    FILE *w = std::fopen(path.c_str(), "r+b");
    ASSERT_NE(w, nullptr);
    bool ok = false;
    std::string saved = testutil::ReadFileBytes(path, &ok);
    ASSERT_TRUE(ok);
    std::string zeros(135, '\0');
    ASSERT_EQ(std::fwrite(zeros.data(), 1, 135, w), 135u);
    std::fflush(w);
    double ra2;
    ASSERT_EQ(ComputeMinorPlanetPosition(h, &date, 1, &ra2, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(ra2, ra);
    // Another object on the same date uses the open file.
    ASSERT_EQ(ComputeMinorPlanetPosition(h, &date, 400, &ra2, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(h->elementFile, open);
    EXPECT_EQ(h->loadedNumber, 400);
    // Back to Ceres: its record is now unused, which builds no orbit; the
    // place is refused and nothing is marked loaded.
    EXPECT_EQ(ComputeMinorPlanetPosition(h, &date, 1, &ra2, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(h->loadedNumber, 0);
    ASSERT_EQ(std::fseek(w, 0, SEEK_SET), 0);
    ASSERT_EQ(std::fwrite(saved.data(), 1, 135, w), 135u);
    std::fclose(w);

    // A date a century after the last file: the nearest file, result -1.
    DateRecord late = DateAtTT(2459800.5 + 36525.0, 69.0);
    EXPECT_EQ(ComputeMinorPlanetPosition(h, &late, 4, &ra2, nullptr, nullptr, nullptr, nullptr, nullptr), -1);
    // A number beyond the file.
    EXPECT_EQ(ComputeMinorPlanetPosition(h, &date, 1 << 20, &ra2, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(ComputeMinorPlanetPosition(h, nullptr, 4, &ra2, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    CloseMinorPlanetEphemeris(h);
    CloseMinorPlanetEphemeris(nullptr);
}

TEST_F(PackagedMinorPlanets, GeneratedTracksMatchTheProgramsOwn) {
    // The generator's tracks (its own solver and Sun) against the tracks the
    // program computes from the same elements.
    ElementFileLimits limits;
    ClearElementFileLimits(&limits);
    int clamped = 0;
    FILE *f = OpenElementFile(&limits, CenturiesOfJD(2459800.5), &clamped);
    ASSERT_NE(f, nullptr);
    int compared = 0, unusable = 0;
    for (int32_t n : {1, 2, 3, 4, 5, 6, 7, 8, 10, 15, 16, 52, 99, 200, 433, 500}) {
        ElementFileRecord e;
        if (!ReadElementFileRecord(f, n, &e) || e.perihelionTime == 0.0) continue;
        // The record's bytes: T, a, e at 0, 8, 16; the track from 36.
        double a;
        std::memcpy(&a, reinterpret_cast<const char *>(&e) + 8, 8);
        EXPECT_GT(a, 0.5);
        OrbitRecord o;
        ASSERT_EQ(InitOrbitRecord(&o, e.perihelionTime, 0, 0, e.semiMajorAxis, 0, e.eccentricity,
                                  e.perihelion, e.node, e.inclination, 0, 10, 0.15, 2), 1);
        ComputeOrbitVectors(&o);
        TrackSample ours[kTrackSampleCount];
        ComputeOrbitTrack(&o, 2459800.5, ours);
        if (e.track[0].magnitudeCode == 0 || ours[0].magnitudeCode == 0) {
            EXPECT_EQ(e.track[0].magnitudeCode, ours[0].magnitudeCode) << n;
            ++unusable;
            continue;
        }
        for (int k = 0; k < kTrackSampleCount; ++k) {
            double sep = AngularSeparation(DecodeTurnFraction(e.track[k].rightAscension),
                                           DecodeTurnFraction(e.track[k].declination),
                                           DecodeTurnFraction(ours[k].rightAscension),
                                           DecodeTurnFraction(ours[k].declination));
            EXPECT_LT(sep / kArcsecond, 2.0) << n << " sample " << k;
        }
        ++compared;
    }
    std::fclose(f);
    EXPECT_GE(compared, 12);
}

}  // namespace
