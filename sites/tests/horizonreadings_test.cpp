// Recording a horizon with a telescope, on a fake telescope: which segments
// reach hor.txt (a deleted one never does, a running one is kept by Finish),
// single readings, the conversion of a telescope position into azimuth and
// altitude against spherical geometry, Finish with every file step failed in
// turn (the old horizon stays whole), and the messages of the import answers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "sites/horizon.h"
#include "sites/horizonfile.h"
#include "sites/horizonreadings.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

namespace {

const double kDeg = kPi / 180.0;

// The fake telescope: connected or not, and the declination it reports
// (a different one per segment tells the segments apart in hor.txt).
int g_connected = 1;
double g_declination = 0.0;
int FakeConnected() { return g_connected; }
int FakePosition(double *ra, double *dec) {
    *ra = 1.0;
    *dec = g_declination;
    return 1;
}
const HorizonReadingSource kFake = {FakeConnected, FakePosition};

LocationRecord Site(const char *name) {
    LocationRecord r;
    std::memset(&r, 0, sizeof r);
    InitLocationRecord(&r, 100 * kDeg, 40 * kDeg, 0.0, 6.5, 0.0, 15.0, 50.0, 2, 0.0, -7.0, name);
    return r;
}

std::vector<std::string> Lines(const std::string &path) {
    std::vector<std::string> out;
    std::string text = testutil::ReadFileBytes(path), line;
    for (char c : text) {
        if (c == '\n') {
            out.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty()) out.push_back(line);
    return out;
}

class HorizonReadings : public ::testing::Test {
protected:
    void SetUp() override {
        SetUserDataFolder(dir_.path().c_str());
        g_connected = 1;
        g_declination = 0.0;
    }
    void TearDown() override {
        SetFileStepFailure(0);
        EndHorizonRun(&run_);
        SetUserDataFolder("");
    }
    // n readings into the running segment, each at its own declination.
    void Readings(int n, double firstDec) {
        for (int i = 0; i < n; ++i) {
            g_declination = (firstDec + i) * kDeg;
            ASSERT_EQ(WriteHorizonReading(run_.segment, &site_, &kFake), 1);
        }
    }
    testutil::TempDir dir_;
    HorizonRun run_;
    LocationRecord site_ = Site("Ridge");
};

TEST_F(HorizonReadings, DeletedSegmentNeverReachesTheRun) {
    BeginHorizonRun(&run_);
    ASSERT_EQ(StartReadingSegment(&run_), 1);
    Readings(3, 10);
    StopReadingSegment(&run_);
    EXPECT_EQ(run_.pending, 1);
    DeleteHorizonReadings(&run_);
    EXPECT_EQ(run_.pending, 0);
    ASSERT_EQ(StartReadingSegment(&run_), 1);
    Readings(4, 20);
    StopReadingSegment(&run_);
    std::vector<std::string> second = Lines(dir_.file("horseg.txt"));
    ASSERT_EQ(second.size(), 4u);
    char bad[256];
    EXPECT_EQ(BuildHorizonFromReadings(&run_, &site_, bad), 1);
    EXPECT_EQ(Lines(dir_.file("hor.txt")), second);
    EXPECT_EQ(HorizonFileExists("Ridge"), 1);
    EXPECT_EQ(run_.inProgress, 0);
}

// Start, Stop, Start joins the first segment; Finish while the second still
// runs keeps its readings too.
TEST_F(HorizonReadings, FinishKeepsTheRunningSegment) {
    BeginHorizonRun(&run_);
    ASSERT_EQ(StartReadingSegment(&run_), 1);
    Readings(2, 10);
    StopReadingSegment(&run_);
    std::vector<std::string> first = Lines(dir_.file("horseg.txt"));
    ASSERT_EQ(StartReadingSegment(&run_), 1);
    EXPECT_EQ(Lines(dir_.file("hor.txt")), first);
    Readings(3, 30);
    std::vector<std::string> second = Lines(dir_.file("horseg.txt"));
    ASSERT_EQ(second.size(), 3u);
    char bad[256];
    EXPECT_EQ(BuildHorizonFromReadings(&run_, &site_, bad), 1);
    EXPECT_EQ(run_.segment, nullptr);
    std::vector<std::string> all = first;
    all.insert(all.end(), second.begin(), second.end());
    EXPECT_EQ(Lines(dir_.file("hor.txt")), all);
    EXPECT_EQ(run_.running + run_.pending + run_.inProgress, 0);
}

TEST_F(HorizonReadings, BeginClearsAnEarlierRunAndSingleReadingsAppend) {
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("hor.txt"), "1 2\n3 4\n"));
    BeginHorizonRun(&run_);
    EXPECT_FALSE(testutil::PathIsThere(dir_.file("hor.txt")));
    g_connected = 0;
    EXPECT_EQ(TakeSingleHorizonReading(&site_, &kFake), 0);
    EXPECT_TRUE(Lines(dir_.file("hor.txt")).empty());
    g_connected = 1;
    EXPECT_EQ(TakeSingleHorizonReading(&site_, &kFake), 1);
    EXPECT_EQ(TakeSingleHorizonReading(&site_, &kFake), 1);
    std::vector<std::string> lines = Lines(dir_.file("hor.txt"));
    ASSERT_EQ(lines.size(), 2u);
    double az = -1, alt = -1;
    ASSERT_EQ(std::sscanf(lines[0].c_str(), "%lf %lf", &az, &alt), 2);
    EXPECT_GE(az, 0.0);
    EXPECT_LT(az, 360.0);
    // The host program of this build has no telescope.
    EXPECT_EQ(TakeSingleHorizonReading(&site_, HostTelescopeSource()), 0);
}

// On the meridian (hour angle 0) a star south of the zenith stands at
// azimuth 180 and altitude 90 - latitude + declination; six hours west on the
// equator it sets exactly in the west (270, altitude 0); one below the pole
// stands north at latitude - (90 - declination).
TEST_F(HorizonReadings, TelescopePositionToAzimuthAndAltitude) {
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    ASSERT_EQ(SetDateRecord(&date, &site_, 3, 20, 2024, 22.5, 2), 1);
    ComputeDeltaTAndNutation(&date, 0.0);
    ComputeSiderealTimes(&site_, &date);
    double last = GetHourAngle(&date, 0.0, 2);  // the apparent sidereal time itself
    struct Case {
        double hourAngleDeg, decDeg, az, alt;
    } cases[] = {
        {0, 10, 180, 60},
        {0, -30, 180, 20},
        {90, 0, 270, 0},
        {-90, 0, 90, 0},
        {180, 70, 0, 20},
    };
    for (const Case &c : cases) {
        double az = -1, alt = -1;
        TelescopeAltAz(&site_, &date, last - c.hourAngleDeg * kDeg, c.decDeg * kDeg, &az, &alt);
        double daz = std::fabs(az - c.az);
        EXPECT_LT(std::fmin(daz, 360.0 - daz), 1e-6) << c.hourAngleDeg << " " << c.decDeg << ": " << az;
        EXPECT_NEAR(alt, c.alt, 1e-6) << c.hourAngleDeg << " " << c.decDeg;
    }
}

// Finish with a stopped segment, every file step failed in turn: the site's
// earlier (flat) horizon reads back whole unless success was claimed, and a
// claimed success has the new horizon.
TEST_F(HorizonReadings, FinishWithEachStepFailing) {
    HorizonRow flat[kHorizonRowCount];
    int steps = testutil::ForEachFailurePoint(
        [&] {
            EndHorizonRun(&run_);
            ASSERT_EQ(CreateFlatHorizon(&site_), 1);
            ASSERT_EQ(LoadHorizon(&site_, flat), 1);
            ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("hor.txt"), "0 10\n"));
            ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("horseg.txt"), "120 20\n240 30\n"));
            run_.pending = 1;
            run_.inProgress = 1;
        },
        [&] {
            char bad[256];
            return BuildHorizonFromReadings(&run_, &site_, bad);
        },
        [&](const testutil::FailurePointRun &r) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(r));
            HorizonRow rows[kHorizonRowCount];
            ASSERT_EQ(LoadHorizon(&site_, rows), 1);
            bool isFlat = std::memcmp(rows, flat, sizeof rows) == 0;
            if (r.result == 1) {
                EXPECT_FALSE(isFlat) << "success claimed without the new horizon";
            } else {
                EXPECT_TRUE(isFlat) << "the earlier horizon was not kept";
                EXPECT_LE(r.result, 0);
            }
            EXPECT_EQ(run_.inProgress, 0);
        });
    EXPECT_GT(steps, 3);
}

TEST(HorizonResult, Messages) {
    struct Case {
        int answer;
        const char *bad, *text;
        bool error;
    } cases[] = {
        {1, "", "Obstructed horizon created successfully", false},
        {3, "", "Obstructed horizon created successfully", false},
        {0, "12 abc", "Error reading horizon data:\r\n12 abc", true},
        {0, nullptr, "Error reading horizon data:\r\n", true},
        {-1, "", "Error creating obstructed horizon", true},
        {-2, "", "File has fewer than 2 entries", true},
        {-3, "", "File has too many entries (limit 999)", true},
    };
    for (const Case &c : cases) {
        HorizonResultMessage m = DescribeHorizonResult(c.answer, c.bad);
        EXPECT_EQ(m.text, c.text) << c.answer;
        EXPECT_EQ(m.error, c.error) << c.answer;
    }
}

}  // namespace
