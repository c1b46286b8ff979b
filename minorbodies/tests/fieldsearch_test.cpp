// Tests of the minor-body field searches on small databases written for each
// case: the coarse track's magnitude window (with its allowance on both
// sides) and its absence far from the file's epoch, a field near the pole,
// unused numbers, the stop flag, the user minor planets (one answer per
// object from its nearest set, their own tracks without allowance, the
// aphelion distance from the set), the comet searches over user sets
// (one answer per object, its nearest set), comets without magnitude
// parameters and the imaging condition's refusals.
#include "minorbodies/fieldsearch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/fsys.h"
#include "instruments/instrumentrecord.h"
#include "minorbodies/dbfolders.h"
#include "minorbodies/mpdatabase.h"
#include "minorbodies/tests/mbfixture.h"
#include "minorbodies/usermp.h"

namespace {

using namespace ephemtest;
using testutil::TempDir;

const double kEpochJD = 2459800.5;  // element file 61495
const double kNo = kFieldSearchNoLimit;

// Ceres' osculating elements at the epoch (JPL SBDB through kstars-data).
ElementFileRecord Ceres() {
    ElementFileRecord e;
    std::memset(&e, 0, sizeof e);
    e.perihelionTime = 0.1832865291648888;
    e.semiMajorAxis = 2.766619044655007;
    e.eccentricity = 0.07863575691875528;
    e.inclination = 10.58679485321045f;
    e.perihelion = 73.53162384033203f;
    e.node = 80.26643371582031f;
    return e;
}

OrbitRecord OrbitOf(const ElementFileRecord &e, double h) {
    OrbitRecord o;
    EXPECT_EQ(InitOrbitRecord(&o, e.perihelionTime, 0, 0, e.semiMajorAxis, 0, e.eccentricity,
                              e.perihelion, e.node, e.inclination, 0, h, 0.12, 2), 1);
    ComputeOrbitVectors(&o);
    return o;
}

void TrackOf(ElementFileRecord *e, double h, double trackMagnitude) {
    OrbitRecord o = OrbitOf(*e, h);
    ComputeOrbitTrack(&o, kEpochJD, e->track);
    if (trackMagnitude > 0)
        for (TrackSample &s : e->track) s.magnitudeCode = EncodeTrackMagnitude(trackMagnitude);
}

class MinorPlanetFields : public GeneratedTables {
protected:
    void SetUp() override {
        GeneratedTables::SetUp();
        if (IsSkipped()) return;
        // 1: track at 8.5 mag; 2: at 8.4; 3: unusable track; 4: a polar orbit
        // near Dec +85 at the epoch (H 15); 5: track at 12; 6: unused number.
        // Ceres itself is 8.53 mag at the epoch.
        std::vector<ElementFileRecord> e(6, Ceres());
        TrackOf(&e[0], 3.33, 8.5);
        TrackOf(&e[1], 3.33, 8.4);
        TrackOf(&e[2], 3.33, 0);
        e[2].track[0].magnitudeCode = 0;
        TrackOf(&e[4], 3.33, 12.0);
        e[3] = Polar();
        TrackOf(&e[3], 15.0, 0);
        polarTrackUsable_ = e[3].track[0].magnitudeCode != 0;
        std::string elements, data;
        for (int i = 0; i < 6; ++i) {
            elements.append(reinterpret_cast<const char *>(&e[i]), sizeof e[i]);
            MinorPlanetDataRecord d;
            std::memset(&d, 0, sizeof d);
            d.H = i == 3 ? 15.0f : 3.33f;
            d.G = 0.12f;
            d.q = 2.55f;
            d.Q = i == 5 ? 0.0f : 2.98f;
            data.append(reinterpret_cast<const char *>(&d), sizeof d);
        }
        int32_t limits[2] = {61495, 61495};
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("limits.bin"),
                                             std::string(reinterpret_cast<char *>(limits), 8)));
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("mp_data.bin"), data));
        std::string folder = dir_.path() + "/e";
        ASSERT_TRUE(FsMakeFolder(folder));
        ASSERT_TRUE(FsMakeFolder(folder + "/elements"));
        ASSERT_TRUE(testutil::WriteFileBytes(folder + "/elements/61495.bin", elements));
        SetMinorBodyDatabaseFolders(dir_.path().c_str(), folder.c_str());
        OrbitRecord polar = OrbitOf(e[3], 15.0);
        DateRecord date = DateAtTT(kEpochJD, 69.0);
        ComputeMinorBodyPosition(&date, &polar, &polarRa_, &polarDec_, nullptr, nullptr, nullptr,
                                 nullptr, nullptr);
    }

    // A polar orbit whose body stands near Dec +85 at the epoch: the
    // argument of perihelion is chosen by a scan of the places.
    ElementFileRecord Polar() {
        ElementFileRecord p = Ceres();
        p.inclination = 90.0f;
        p.node = 10.0f;
        DateRecord date = DateAtTT(kEpochJD, 69.0);
        double best = 1e9;
        float bestPeri = 0;
        for (int k = 0; k < 3600; ++k) {
            p.perihelion = k * 0.1f;
            OrbitRecord o = OrbitOf(p, 15.0);
            double ra, dec;
            ComputeMinorBodyPosition(&date, &o, &ra, &dec, nullptr, nullptr, nullptr, nullptr, nullptr);
            double d = std::fabs(dec / kDegree - 84.8);
            if (d < best) {
                best = d;
                bestPeri = p.perihelion;
            }
        }
        p.perihelion = bestPeri;
        return p;
    }

    std::set<int32_t> Run(uint32_t flags, double bright, double faint, double jd,
                          double fieldRa = 0, double fieldDec = 0, double radius = 0,
                          const int *stop = nullptr) {
        DateRecord date = DateAtTT(jd, 69.0);
        MinorPlanetFieldSearch *s = BeginMinorPlanetFieldSearch(
            nullptr, &date, nullptr, fieldRa, fieldDec, fieldRa, fieldDec, radius, bright, faint,
            0, 0, 0, kNo, kNo, 0, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, nullptr, nullptr, 0,
            flags, 0, 0, nullptr, stop);
        std::set<int32_t> found;
        EXPECT_NE(s, nullptr);
        if (!s) return found;
        double ra, dec, delta, mag;
        for (int32_t n; (n = NextPackagedMinorPlanetInField(s, &ra, &dec, &delta, &mag, nullptr)) > 0;)
            found.insert(n);
        EXPECT_EQ(MinorPlanetFieldSearchFailed(s), 0);
        EndMinorPlanetFieldSearch(s);
        return found;
    }

    TempDir dir_;
    double polarRa_ = 0, polarDec_ = 0;
    bool polarTrackUsable_ = true;
};

TEST_F(MinorPlanetFields, CoarseMagnitudeWindow) {
    using S = std::set<int32_t>;
    // Bright limit -99: only the track tests magnitudes, with 0.1 mag to
    // spare; the bodies with unusable tracks pass untested though they are
    // fainter than the limit (3, and 4, whose motion near the pole bends
    // too much for a straight track).
    ASSERT_FALSE(polarTrackUsable_);
    EXPECT_EQ(Run(kFieldMagnitude, -99, 8.45, kEpochJD), (S{1, 2, 3, 4}));
    // With a bright limit the exact magnitude (8.53) is tested too.
    EXPECT_EQ(Run(kFieldMagnitude, 0, 8.45, kEpochJD), S{});
    EXPECT_EQ(Run(kFieldMagnitude, 0, 9.0, kEpochJD), (S{1, 2, 3}));
    // The allowance widens the window on the bright side as well: a track
    // at 8.4 with a bright limit of 8.45 is not rejected (the body is 8.53).
    S bright = Run(kFieldMagnitude, 8.45, 20, kEpochJD);
    EXPECT_TRUE(bright.count(2));
    EXPECT_TRUE(bright.count(5));
    EXPECT_FALSE(bright.count(6));  // unused numbers are skipped
    // 30 days from the file's epoch no coarse test is made: the track at 12
    // no longer rejects body 5; the exact test still applies.
    EXPECT_EQ(Run(kFieldMagnitude, 0, 9.0, kEpochJD + 30), (S{1, 2, 3, 5}));
    // No conditions: every used number.
    EXPECT_EQ(Run(0, 0, 0, kEpochJD), (S{1, 2, 3, 4, 5}));
    int stop = 1;
    EXPECT_EQ(Run(0, 0, 0, kEpochJD, 0, 0, 0, &stop), S{});
}

TEST_F(MinorPlanetFields, FieldNearThePole) {
    ASSERT_NEAR(polarDec_ / kDegree, 84.8, 0.3);
    // A field centre 0.5 degrees from the body along its parallel: the
    // right ascensions differ by far more than the radius of 0.8 degrees.
    double dra = 2.0 * std::asin(std::sin(0.25 * kDegree) / std::cos(polarDec_));
    double centreRa = polarRa_ + dra;
    double centreDec = polarDec_;
    ASSERT_GT(dra / kDegree, 2.5);
    ASSERT_NEAR(AngularSeparation(polarRa_, polarDec_, centreRa, centreDec) / kDegree, 0.5, 1e-6);
    std::set<int32_t> found = Run(kFieldRadius, 0, 0, kEpochJD, centreRa, centreDec, 0.8 * kDegree);
    EXPECT_EQ(found, std::set<int32_t>{4});
    // A radius below the distance leaves it out.
    EXPECT_EQ(Run(kFieldRadius, 0, 0, kEpochJD, centreRa, centreDec, 0.4 * kDegree),
              std::set<int32_t>{});
    EXPECT_LT(MaximumRightAscensionOffset(89.5 * kDegree, kDegree), 0.0);
    EXPECT_NEAR(MaximumRightAscensionOffset(0.0, kDegree), kDegree, 1e-12);
    EXPECT_NEAR(MaximumRightAscensionOffset(60 * kDegree, kDegree),
                std::asin(std::sin(kDegree) / 0.5), 1e-12);
}

TEST_F(MinorPlanetFields, MissingFiles) {
    DateRecord date = DateAtTT(kEpochJD, 69.0);
    std::string missing = dir_.file("no-mp.bin");
    EXPECT_EQ(BeginMinorPlanetFieldSearch(nullptr, &date, missing.c_str(), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                          kNo, kNo, 0, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo,
                                          nullptr, nullptr, 0, 0, 0, 0, nullptr, nullptr),
              nullptr);
    TempDir empty;
    SetMinorBodyDatabaseFolders(empty.path().c_str(), empty.path().c_str());
    EXPECT_EQ(BeginMinorPlanetFieldSearch(nullptr, &date, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                          kNo, kNo, 0, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo,
                                          nullptr, nullptr, 0, 0, 0, 0, nullptr, nullptr),
              nullptr);
}

// ---- user minor planets --------------------------------------------------------

// A set of the user's file with Ceres' elements (or others), its own track
// computed from its epoch.
MinorPlanetRecord UserSet(int32_t id, const char *name, double epochJD, double a, double e, double h,
                          double trackMagnitude = 0) {
    const ElementFileRecord c = Ceres();
    MinorPlanetRecord r;
    std::memset(&r, 0, sizeof r);
    EXPECT_EQ(BuildMinorPlanetRecord(&r, 0, name, c.perihelionTime, (epochJD - 2451545.0) / 36525.0, 0, 0, a, 0,
                                     e, c.perihelion, c.node, c.inclination, h, 0.12, ""),
              1);
    r.objectId = id;
    ComputeUserMinorPlanetTrack(&r);
    if (trackMagnitude > 0)
        for (TrackSample &s : r.track) s.magnitudeCode = EncodeTrackMagnitude(trackMagnitude);
    return r;
}

class UserMinorPlanetFields : public MinorPlanetFields {
protected:
    void SetUp() override {
        MinorPlanetFields::SetUp();
        if (IsSkipped()) return;
        const double a = Ceres().semiMajorAxis, e = Ceres().eccentricity;
        // 1: three sets, the middle one's epoch at the date (the
        // eccentricity tells them apart); 2: Ceres with a track at 9.05;
        // 3: an orbit reaching out to 4.55 AU, faint.
        std::vector<MinorPlanetRecord> sets = {
            UserSet(1, "Three", kEpochJD - 200, a, 0.070, 3.33),
            UserSet(1, "Three", kEpochJD + 10, a, e, 3.33),
            UserSet(1, "Three", kEpochJD + 300, a, 0.090, 3.33),
            UserSet(2, "Faint Track", kEpochJD, a, e, 3.33, 9.05),
            UserSet(3, "Far Out", kEpochJD, 3.5, 0.3, 10.0),
        };
        int32_t header[2] = {static_cast<int32_t>(sets.size()), 3};
        std::string bytes(reinterpret_cast<const char *>(header), sizeof header);
        for (const MinorPlanetRecord &r : sets) bytes.append(reinterpret_cast<const char *>(&r), sizeof r);
        path_ = dir_.file("mp.bin");
        ASSERT_TRUE(testutil::WriteFileBytes(path_, bytes));
    }

    // The ids found, each with the eccentricity of the set it was placed from.
    std::vector<std::pair<int32_t, double>> RunUser(uint32_t flags, double bright, double faint,
                                                    double aphelionMax = kNo, const int *stop = nullptr,
                                                    const char *path = nullptr) {
        DateRecord date = DateAtTT(kEpochJD, 69.0);
        MinorPlanetFieldSearch *s = BeginMinorPlanetFieldSearch(
            nullptr, &date, path ? path : path_.c_str(), 0, 0, 0, 0, 0, bright, faint, 0, 0, 0, kNo, kNo, 0, kNo,
            aphelionMax, kNo, kNo, kNo, kNo, kNo, kNo, nullptr, nullptr, 0, flags, 0, 0, nullptr, stop);
        std::vector<std::pair<int32_t, double>> found;
        EXPECT_NE(s, nullptr);
        if (!s) return found;
        // A user search answers no packaged numbers.
        EXPECT_EQ(NextPackagedMinorPlanetInField(s, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
        double ra, dec, delta, mag;
        OrbitRecord orbit;
        for (int32_t n; (n = NextUserMinorPlanetInField(s, &ra, &dec, &delta, &mag, &orbit)) > 0;)
            found.push_back({n, orbit.e});
        EndMinorPlanetFieldSearch(s);
        return found;
    }

    std::string path_;
};

TEST_F(UserMinorPlanetFields, OneAnswerPerObjectFromItsNearestSet) {
    using F = std::vector<std::pair<int32_t, double>>;
    const double e = Ceres().eccentricity;
    // No conditions: each object once; object 1 from the set 10 days off.
    F all = RunUser(0, 0, 0);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].first, 1);
    EXPECT_NEAR(all[0].second, e, 1e-9);
    EXPECT_EQ(all[1].first, 2);
    EXPECT_EQ(all[2].first, 3);
    // The aphelion distance 2a - q: 2.98 AU for Ceres, 4.55 for object 3.
    F near = RunUser(kFieldAphelionDistance, 0, 0, 3.2);
    ASSERT_EQ(near.size(), 2u);
    EXPECT_EQ(near[1].first, 2);
    // Magnitudes: Ceres is 8.53 mag; the user track has no allowance, so
    // object 2's track at 9.05 rejects it under a faint limit of 9.0, where
    // the packaged search would have kept it. Object 3 fails the exact test.
    F bright = RunUser(kFieldMagnitude, 0, 9.0);
    ASSERT_EQ(bright.size(), 1u);
    EXPECT_EQ(bright[0].first, 1);
    // A bright limit of -99 leaves the packaged search only its track
    // with 0.1 mag to spare; the user search keeps nothing fainter than the
    // limit (object 1 is 8.53).
    EXPECT_TRUE(RunUser(kFieldMagnitude, -99, 8.5).empty());
    // The stop flag.
    int stop = 1;
    EXPECT_TRUE(RunUser(0, 0, 0, kNo, &stop).empty());
}

TEST_F(UserMinorPlanetFields, AHeaderBeyondTheFileEndsTheSearch) {
    bool ok = false;
    std::string bytes = testutil::ReadFileBytes(path_, &ok);
    ASSERT_TRUE(ok);
    int32_t count = 9;  // more sets than the file holds
    std::memcpy(&bytes[0], &count, 4);
    std::string bad = dir_.file("bad-mp.bin");
    ASSERT_TRUE(testutil::WriteFileBytes(bad, bytes));
    EXPECT_TRUE(RunUser(0, 0, 0, kNo, nullptr, bad.c_str()).empty());
    // An empty file: nothing, no failure.
    std::string empty = dir_.file("empty-mp.bin");
    ASSERT_TRUE(testutil::WriteFileBytes(empty, std::string(8, '\0')));
    EXPECT_TRUE(RunUser(0, 0, 0, kNo, nullptr, empty.c_str()).empty());
}

// ---- comets ------------------------------------------------------------------

std::string CometBytes(int16_t id, uint16_t number, char letter, const char *name, double T,
                       double epoch, float q, float e, float h, float k) {
    std::string r(135, '\0');
    std::memcpy(&r[0], &number, 2);
    r[2] = letter;
    std::memcpy(&r[3], name, std::strlen(name));
    std::memcpy(&r[49], &id, 2);
    std::memcpy(&r[51], &T, 8);
    std::memcpy(&r[59], &epoch, 8);
    std::memcpy(&r[67], &q, 4);
    std::memcpy(&r[71], &e, 4);
    float peri = 1.0f, node = 2.0f, incl = 0.3f;
    std::memcpy(&r[75], &peri, 4);
    std::memcpy(&r[79], &node, 4);
    std::memcpy(&r[83], &incl, 4);
    std::memcpy(&r[87], &h, 4);
    std::memcpy(&r[91], &k, 4);
    return r;
}

class CometFields : public GeneratedTables {
protected:
    void SetUp() override {
        GeneratedTables::SetUp();
        if (IsSkipped()) return;
        // User file: object 1 with three sets (eccentricities tell them
        // apart), object 2 without magnitude parameters, object 3 of letter D.
        std::string user(4, '\0');
        uint16_t count = 5;
        std::memcpy(&user[0], &count, 2);
        user += CometBytes(1, 0, 'P', "Three", 0.001, 0.0, 1.2f, 0.60f, 9, 4);
        user += CometBytes(1, 0, 'P', "Three", 0.002, 0.1, 1.2f, 0.61f, 9, 4);
        user += CometBytes(1, 0, 'P', "Three", 0.003, 0.2, 1.2f, 0.62f, 9, 4);
        user += CometBytes(2, 0, 'C', "Plain", 0.1, 0.1, 1.5f, 0.99f, 0, 0);
        user += CometBytes(3, 0, 'D', "Lost", 0.1, 0.1, 1.5f, 0.5f, 9, 4);
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("comet.bin"), user));
        std::string packaged = CometBytes(0, 0, 'C', "Plain", 0.1, 0.1, 1.5f, 0.99f, 0, 0) +
                               CometBytes(0, 0, 'C', "Bright", 0.1, 0.1, 1.5f, 0.99f, 5, 4);
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("comets.bin"), packaged));
        SetMinorBodyDatabaseFolders(dir_.path().c_str(), dir_.path().c_str());
    }

    CometFieldSearch *Begin(const char *path, uint32_t flags, const OpticsBlock *optics = nullptr,
                            int camera = 0, double exposure = 0) {
        date_ = DateAtTT(2451545.0 + 0.09 * 36525.0, 64.0);
        return BeginCometFieldSearch(nullptr, &date_, path, optics, nullptr, camera, 0, 0, exposure,
                                     0, 0, 0, 0, 0, kNo, kNo, 0, 0, 0, 0, kNo, kNo, 0, kNo, kNo, kNo,
                                     kNo, kNo, kNo, kNo, kNo, kNo, kNo, 0, 0, nullptr, nullptr, 0,
                                     flags, nullptr, nullptr);
    }

    TempDir dir_;
    DateRecord date_;
};

TEST_F(CometFields, UserSetsAndMagnitudeLaws) {
    std::string path = dir_.file("comet.bin");
    CometFieldSearch *s = Begin(path.c_str(), 0);
    ASSERT_NE(s, nullptr);
    double ra, dec, delta, mag;
    OrbitRecord orbit;
    char label[kCometLabelSize];
    // Object 1 once, with the set nearest the date (epoch 0.1).
    ASSERT_EQ(NextUserCometInField(s, label, &ra, &dec, &delta, &mag, &orbit), 1);
    EXPECT_NEAR(orbit.e, 0.61, 1e-6);
    EXPECT_STREQ(label, "P (Three)");
    // Object 2 without magnitude parameters: 99.9 in a user search.
    ASSERT_EQ(NextUserCometInField(s, nullptr, &ra, &dec, &delta, &mag, &orbit), 2);
    EXPECT_DOUBLE_EQ(mag, 99.9);
    // Object 3 (letter D) is dropped in type mode 0.
    EXPECT_EQ(NextUserCometInField(s, nullptr, &ra, &dec, &delta, &mag, &orbit), 0);
    EndCometFieldSearch(s);

    // Bit 0x100000 drops comets without magnitude parameters.
    s = Begin(path.c_str(), kFieldAbsoluteMagnitude);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(NextUserCometInField(s, nullptr, &ra, &dec, &delta, &mag, &orbit), 1);
    EXPECT_EQ(NextUserCometInField(s, nullptr, &ra, &dec, &delta, &mag, &orbit), 0);
    EndCometFieldSearch(s);

    // The packaged search places them with H = 7.5 and K = 4.
    s = Begin(nullptr, 0);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(NextPackagedCometInField(s, nullptr, &ra, &dec, &delta, &mag, &orbit), 1);
    double r = 0;
    ComputeMinorBodyPosition(&date_, &orbit, nullptr, nullptr, &r, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NEAR(mag, 7.5 + 5 * std::log10(delta) + 10 * std::log10(r), 1e-9);
    EXPECT_EQ(NextPackagedCometInField(s, nullptr, &ra, &dec, &delta, &mag, &orbit), 2);
    EXPECT_EQ(NextPackagedCometInField(s, nullptr, &ra, &dec, &delta, &mag, &orbit), 0);
    EXPECT_EQ(CometFieldSearchFailed(s), 0);
    EndCometFieldSearch(s);
}

TEST_F(CometFields, FragmentsOfASplitCometAreCometsOfTheirOwn) {
    // Two sets of the whole comet, then fragment B with an orbit of its own:
    // the search gives the whole comet once (its set nearest the date) and
    // the fragment once, with the fragment's orbit.
    std::string packaged = CometBytes(0, 73, 'P', "Schwassmann-Wachmann 3", 0.001, 0.0, 0.9f, 0.68f, 9, 4) +
                           CometBytes(0, 73, 'P', "Schwassmann-Wachmann 3", 0.002, 0.1, 0.9f, 0.69f, 9, 4) +
                           CometBytes(0, 73, 'P', "Schwassmann-Wachmann 3-B", 0.003, 0.06, 0.9f, 0.70f, 9, 4);
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("comets.bin"), packaged));
    CometFieldSearch *s = Begin(nullptr, 0);
    ASSERT_NE(s, nullptr);
    double ra, dec, delta, mag;
    OrbitRecord orbit;
    char label[kCometLabelSize];
    ASSERT_EQ(NextPackagedCometInField(s, label, &ra, &dec, &delta, &mag, &orbit), 1);
    EXPECT_STREQ(label, "73P/Schwassmann-Wachmann 3");
    EXPECT_NEAR(orbit.e, 0.69, 1e-6);
    ASSERT_EQ(NextPackagedCometInField(s, label, &ra, &dec, &delta, &mag, &orbit), 3);
    EXPECT_STREQ(label, "73P/Schwassmann-Wachmann 3-B");
    EXPECT_NEAR(orbit.e, 0.70, 1e-6);
    EXPECT_EQ(NextPackagedCometInField(s, nullptr, &ra, &dec, &delta, &mag, &orbit), 0);
    EndCometFieldSearch(s);
}

int Keep(const LocationRecord *, const DateRecord *, const OpticsBlock *, int, int, int, double,
         int, double, double, double, double, int) {
    return 1;
}

TEST_F(CometFields, ImagingConditionsAndStop) {
    std::unique_ptr<OpticsBlock> optics(new OpticsBlock);
    std::memset(optics.get(), 0, sizeof *optics);
    optics->cameraCount = 2;
    CometFieldVisibility tests = {nullptr, Keep};
    SetCometFieldVisibility(&tests);
    EXPECT_EQ(Begin(nullptr, kFieldImaging, optics.get(), 2, 30.0), nullptr);  // index = count
    EXPECT_EQ(Begin(nullptr, kFieldImaging, optics.get(), -1, 30.0), nullptr);
    EXPECT_EQ(Begin(nullptr, kFieldImaging, optics.get(), 1, 0.0), nullptr);
    EXPECT_EQ(Begin(nullptr, kFieldImaging, nullptr, 1, 30.0), nullptr);
    CometFieldSearch *s = Begin(nullptr, kFieldImaging, optics.get(), 1, 30.0);
    ASSERT_NE(s, nullptr);
    EndCometFieldSearch(s);
    // Without the tests handed down the condition cannot be honoured.
    SetCometFieldVisibility(nullptr);
    EXPECT_EQ(Begin(nullptr, kFieldImaging, optics.get(), 1, 30.0), nullptr);
    EXPECT_EQ(Begin(nullptr, kFieldVisible), nullptr);

    int stop = 1;
    date_ = DateAtTT(2451545.0 + 0.09 * 36525.0, 64.0);
    s = BeginCometFieldSearch(nullptr, &date_, nullptr, nullptr, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                              kNo, kNo, 0, 0, 0, 0, kNo, kNo, 0, kNo, kNo, kNo, kNo, kNo, kNo, kNo,
                              kNo, kNo, kNo, 0, 0, nullptr, nullptr, 0, 0, nullptr, &stop);
    ASSERT_NE(s, nullptr);
    double ra, dec, delta, mag;
    EXPECT_EQ(NextPackagedCometInField(s, nullptr, &ra, &dec, &delta, &mag, nullptr), 0);
    EndCometFieldSearch(s);
    EXPECT_EQ(Begin(dir_.file("none.bin").c_str(), 0), nullptr);
}

}  // namespace
