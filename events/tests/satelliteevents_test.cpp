// Tests of the satellite events: elongation codes, the visibility window,
// the finders' selection, and Io's transits and occultations against
// python3-ephem 4.1.4 (its Galilean theory: the middle is when Io passes
// nearest the centre of Jupiter's disc, the limb contacts when x^2 +
// (1.071374 y)^2 = 1 in Jupiter radii).
#include "events/satelliteevents.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "ephem/tests/ephemfixture.h"
#include "events/eventdates.h"
#include "events/eventstore.h"
#include "visibility/criteria.h"

namespace {

const double kMinute = 1.0 / 1440.0;

TEST(SatelliteElongationCode, PositionAngleQuadrants) {
    const struct {
        double angle;
        int code;
    } cases[] = {{0, 1}, {kPi / 2, 2}, {kPi, 3}, {3 * kPi / 2, 4}, {2 * kPi, 1}, {2 * kPi - 0.1, 1},
                 {-0.1, 1},  {kPi / 4 + 0.01, 2}, {kPi / 4 - 0.01, 1}, {7 * kPi / 4 + 0.01, 1}};
    for (const auto &c : cases) EXPECT_EQ(ElongationCode(c.angle), c.code) << c.angle;
}

class SatelliteEvents : public ephemtest::GeneratedTables {
protected:
    void SetUp() override {
        ephemtest::GeneratedTables::SetUp();
        if (IsSkipped()) return;
        std::memset(&site_, 0, sizeof site_);
        // 10 W, 40 N, UT.
        InitLocationRecord(&site_, 10 * ephemtest::kDegree, 40 * ephemtest::kDegree, 0.0, 6.5, 0.0, 15.0, 50.0, 2,
                           0.0, 0.0, "Sat site");
        criteria_.reset(new VisibilityCriteria);
        InitVisibilityCriteria(criteria_.get());
    }
    // Every phenomenon of one kind: middle times and contacts.
    std::vector<EventRecord> Scan(int kind, double from, double span) {
        DateRecord start;
        SetCompletedDate(&site_, from, &start);
        SatelliteScan scan;
        EXPECT_EQ(BeginSatellitePhenomena(&scan, &site_, nullptr, &start, span, 1.157407e-4, criteria_.get(),
                                          kBodyJupiter, 0, nullptr, kind),
                  1);
        std::vector<EventRecord> out;
        EventRecord e;
        int r, guard = 0;
        while ((r = NextSatellitePhenomenon(&scan, &e)) > 0 && guard++ < 100) {
            EXPECT_EQ(r, +e.contactCount);
            out.push_back(e);
        }
        EXPECT_EQ(r, 0);
        return out;
    }
    LocationRecord site_;
    std::unique_ptr<VisibilityCriteria> criteria_;
};

TEST_F(SatelliteEvents, IoTransitsAndOccultationsMatchIndependentTimes) {
    const double from = 2460683.5;  // 2025 Jan 8, 0h UT
    // Transits: middle, ingress, egress.
    const double transits[][3] = {{2460683.76878, 2460683.72311, 2460683.81444},
                                  {2460685.53730, 2460685.49162, 2460685.58297},
                                  {2460687.30586, 2460687.26017, 2460687.35154}};
    std::vector<EventRecord> t = Scan(kPhenomenonTransit, from, 4.0);
    ASSERT_EQ(t.size(), 3u);
    for (size_t i = 0; i < t.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(+t[i].contactCount, 3);
        EXPECT_EQ(+t[i].contacts[0].code, 1);
        EXPECT_EQ(+t[i].contacts[1].code, 2);
        EXPECT_EQ(+t[i].contacts[2].code, 3);
        EXPECT_NEAR(+t[i].contacts[0].time, transits[i][0], 2 * kMinute);
        EXPECT_NEAR(+t[i].contacts[1].time, transits[i][1], 2 * kMinute);
        EXPECT_NEAR(+t[i].contacts[2].time, transits[i][2], 2 * kMinute);
        EXPECT_DOUBLE_EQ(+t[i].time, +t[i].contacts[1].time);  // the first side contact
        EXPECT_EQ(+t[i].body1Index, kBodyJupiter);
        EXPECT_EQ(+t[i].body2Index, 0);
        // Found once each: one synodic period of Io apart.
        if (i) {
            EXPECT_NEAR(+t[i].contacts[0].time - t[i - 1].contacts[0].time, 1.7691, 0.01);
        }
    }
    // Occultations behind the planet: middle times.
    const double occultations[] = {2460684.65675, 2460686.42525};
    std::vector<EventRecord> o = Scan(kPhenomenonOccultation, from, 4.0);
    ASSERT_EQ(o.size(), 2u);
    for (size_t i = 0; i < o.size(); ++i) {
        EXPECT_EQ(+o[i].contacts[0].code, 7);
        EXPECT_NEAR(+o[i].contacts[0].time, occultations[i], 2 * kMinute);
        EXPECT_GE(+o[i].contactCount, 2);  // never kept without a side contact
    }
}

TEST_F(SatelliteEvents, IngressOutsideTheHourWindowLeavesMiddleAndEgress) {
    // The transit of 2025 Jan 8: ingress 05:20, middle 06:30, egress 07:40 UT.
    criteria_->windowFlags = kWindowStartApplies;
    criteria_->startHour = 6.0f;
    std::vector<EventRecord> t = Scan(kPhenomenonTransit, 2460683.5, 1.0);
    ASSERT_EQ(t.size(), 1u);
    ASSERT_EQ(+t[0].contactCount, 2);
    EXPECT_EQ(+t[0].contacts[0].code, 1);
    EXPECT_EQ(+t[0].contacts[1].code, 3);
    EXPECT_DOUBLE_EQ(+t[0].time, +t[0].contacts[1].time);
    // A window that none of its contacts meet drops the transit.
    criteria_->startHour = 9.0f;
    criteria_->endHour = 10.0f;
    criteria_->windowFlags = kWindowStartApplies | kWindowEndApplies;
    EXPECT_TRUE(Scan(kPhenomenonTransit, 2460683.5, 1.0).empty());
}

TEST_F(SatelliteEvents, WindowOfZeroHoursIsOnePointAndElongationsAlternate) {
    DateRecord start;
    SetCompletedDate(&site_, 2460683.5, &start);
    SatelliteScan scan;
    ASSERT_EQ(BeginSatelliteElongations(&scan, &site_, nullptr, &start, 8.0, 6.944e-4, criteria_.get(), kBodyJupiter,
                                        2, nullptr),
              1);
    int visible = -1;
    EXPECT_EQ(IsSatelliteSeenInWindow(&scan, 0.0, 2, &visible), 1);
    EXPECT_TRUE(visible == 0 || visible == 1);
    // Ganymede over 8 days: eastern and western elongations alternate, about
    // half a period (3.55 d) apart.
    std::vector<EventRecord> found;
    EventRecord e;
    int r, guard = 0;
    while ((r = NextSatelliteElongation(&scan, &e)) == 1 && guard++ < 50) found.push_back(e);
    EXPECT_EQ(r, 0);
    ASSERT_GE(found.size(), 2u);
    for (size_t i = 1; i < found.size(); ++i) {
        const int a = found[i - 1].contacts[0].code, b = found[i].contacts[0].code;
        EXPECT_TRUE((a == 2 && b == 4) || (a == 4 && b == 2)) << a << " " << b;
        EXPECT_NEAR(+found[i].time - found[i - 1].time, 3.58, 0.3);
        EXPECT_GT(+found[i].contacts[0].separation, 0.0);
    }
}

int g_progressCalls = 0;
void CountProgress(int) { ++g_progressCalls; }

TEST_F(SatelliteEvents, FindersRunOnlyTheSelectedSatellites) {
    testutil::TempDir user;
    SetUserDataFolder(user.path().c_str());
    EnsureDirectory(user.file("events").c_str());
    std::unique_ptr<EventFileHeader> h(NewEventFileHeader());
    h->site = site_;
    h->start = 2460683.5;
    for (VisibilityCriteria &c : h->criteria) InitVisibilityCriteria(&c);
    DateRecord start;
    SetCompletedDate(&site_, h->start, &start);
    FileHandle f(StoreEventFileHeader(h.get()));
    ASSERT_TRUE(f);
    g_progressCalls = 0;
    EXPECT_EQ(FindSatelliteElongations(h.get(), f.get(), nullptr, &start, 4, 2, nullptr, CountProgress), 0);
    EXPECT_EQ(FindSatellitePhenomena(h.get(), f.get(), nullptr, &start, 4, 3, nullptr, CountProgress), 0);
    EXPECT_EQ(g_progressCalls, 0);
    // Io's transits only: three, ticks once for the one satellite.
    h->satelliteMask = 1 << kPhenomenaMaskFirst;
    h->phenomenonKinds = 1 << kPhenomenonTransit;
    EXPECT_EQ(FindSatellitePhenomena(h.get(), f.get(), nullptr, &start, 4, 3, nullptr, CountProgress), 3);
    EXPECT_EQ(g_progressCalls, 1);
    // Running again refreshes the same events.
    EXPECT_EQ(FindSatellitePhenomena(h.get(), f.get(), nullptr, &start, 4, 3, nullptr, CountProgress), 0);
    EXPECT_EQ(+h->count, 3);
    SetUserDataFolder("");
}

}  // namespace
