// Tests of the many-body approach search: it agrees with the two-body search
// pair by pair, reports every minimum once across calls, leaves out the Sun
// and the Moon as a pair, and reports a pair beyond the limit only when the
// discs overlap.
#include "events/approachsearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "ephem/tests/ephemfixture.h"
#include "events/eventdates.h"
#include "events/pairsearch.h"

namespace {

const double kMinute = 1.0 / 1440.0;

struct Found {
    int first, second, result;
    double time, separation;
};

class ApproachSearchTest : public ephemtest::GeneratedTables {
protected:
    std::vector<Found> Run(const std::vector<std::pair<int, int>> &bodies, double from, double span, double limit,
                           int *ticks = nullptr) {
        LocationRecord site = ephemtest::GeocentreSite();
        DateRecord start;
        SetCompletedDate(&site, from, &start);
        ApproachSearch s;
        EXPECT_EQ(BeginApproachSearch(&s, &site, &start, span, kOneSecondDays, limit, nullptr), 1);
        for (const auto &b : bodies) EXPECT_EQ(AddApproachBody(&s, b.first, b.second, 0), 1);
        std::vector<Found> out;
        Found f;
        double m1, m2;
        int r, guard = 0;
        if (ticks) *ticks = 0;
        while ((r = NextApproach(&s, &f.time, &f.separation, &f.first, &f.second, &m1, &m2)) != kApproachEnd &&
               guard++ < 10000) {
            if (r == kApproachProgress) {
                if (ticks) ++*ticks;
                continue;
            }
            f.result = r;
            out.push_back(f);
        }
        EndApproachSearch(&s);
        return out;
    }
};

TEST_F(ApproachSearchTest, EveryPairAgreesWithTheTwoBodySearchOnceEach) {
    // Mercury, Venus and Mars over a year: each pair's minima as the
    // two-body search finds them, each once.
    const std::vector<std::pair<int, int>> bodies = {{2, 1}, {2, 2}, {2, 4}};
    const double from = 2460676.5, span = 365;
    int ticks = 0;
    std::vector<Found> all = Run(bodies, from, span, kPi, &ticks);
    EXPECT_EQ(ticks, 5);  // a tick each fifth of the span
    LocationRecord site = ephemtest::GeocentreSite();
    for (int i = 0; i < 3; ++i) {
        for (int j = i + 1; j < 3; ++j) {
            SCOPED_TRACE(testing::Message() << i << "-" << j);
            DateRecord start;
            SetCompletedDate(&site, from, &start);
            PairSearch p;
            ASSERT_EQ(BeginPairSearch(&p, &site, &start, span, kOneSecondDays, 0, 2, bodies[i].second, 0, 2,
                                      bodies[j].second, 0, kCoordinatesTopocentricOfDate, kMeasureSeparation, 0, 0,
                                      nullptr),
                      1);
            std::vector<double> expected;
            double t, m;
            int r, guard = 0;
            while ((r = NextPairEvent(&p, &site, &t, &m, nullptr)) != kPairEnd && guard++ < 10000)
                if (r > 0) expected.push_back(t);
            EndPairSearch(&p);
            std::vector<double> got;
            for (const Found &f : all)
                if (std::min(f.first, f.second) == i && std::max(f.first, f.second) == j) got.push_back(f.time);
            std::sort(got.begin(), got.end());
            ASSERT_EQ(got.size(), expected.size());
            ASSERT_FALSE(got.empty());
            for (size_t k = 0; k < got.size(); ++k) EXPECT_NEAR(got[k], expected[k], kMinute);
        }
    }
    // Jupiter and Saturn alone: their 2020 conjunction, 6.1' apart.
    std::vector<Found> js = Run({{2, 5}, {2, 6}}, 2459195.5, 20, kPi / 180);
    ASSERT_EQ(js.size(), 1u);
    EXPECT_NEAR(js[0].time, 2459205.2646, 5 * kMinute);
    EXPECT_NEAR(js[0].separation * 180 / kPi * 60, 6.1, 0.1);
    EXPECT_EQ(js[0].first, 0);  // Jupiter, the nearer, first
}

TEST_F(ApproachSearchTest, SunAndMoonNeverPairSunAndMercuryDo) {
    std::vector<Found> all = Run({{2, 0}, {2, 10}, {2, 1}}, 2460676.5, 60, kPi);
    bool sunMercury = false;
    for (const Found &f : all) {
        const int a = std::min(f.first, f.second), b = std::max(f.first, f.second);
        EXPECT_FALSE(a == 0 && b == 1);
        if (a == 0 && b == 2) sunMercury = true;
    }
    EXPECT_TRUE(sunMercury);
}

TEST_F(ApproachSearchTest, BeyondTheLimitOnlyAnOverlapIsReported) {
    // Mercury crossed the Sun on 2019 Nov 11 (greatest transit 15:20 UT).
    std::vector<Found> transit = Run({{2, 0}, {2, 1}}, 2458790.5, 20, 1e-7);
    ASSERT_EQ(transit.size(), 1u);
    EXPECT_EQ(transit[0].result, kApproachOverlap);
    EXPECT_NEAR(transit[0].time, 2458799.139, 10 * kMinute);
    EXPECT_EQ(transit[0].first, 1);  // Mercury in front
    // Its inferior conjunction of 2020 Jul 1 passed north of the Sun.
    EXPECT_TRUE(Run({{2, 0}, {2, 1}}, 2459020.5, 20, 1e-7).empty());
}

TEST_F(ApproachSearchTest, BodiesThatCannotBePlacedAreRefused) {
    LocationRecord site = ephemtest::GeocentreSite();
    DateRecord start;
    SetCompletedDate(&site, 2460676.5, &start);
    ApproachSearch s;
    ASSERT_EQ(BeginApproachSearch(&s, &site, &start, 30, kOneSecondDays, 0.01, nullptr), 1);
    EXPECT_EQ(AddApproachBody(&s, 0, 0, 0), 0);   // a bare position has no place here
    EXPECT_EQ(AddApproachBody(&s, 13, 1, 0), 0);  // no store of the user's comets
    EXPECT_EQ(AddApproachBody(&s, 2, 12, 0), 0);  // no such body
    EXPECT_EQ(AddApproachBody(&s, 2, 5, 0), 1);
    EXPECT_EQ(s.bodies.size(), 1u);
    double t, sep, m1, m2;
    int a, b, r, guard = 0;
    while ((r = NextApproach(&s, &t, &sep, &a, &b, &m1, &m2)) != kApproachEnd && guard++ < 100)
        EXPECT_EQ(r, kApproachProgress);  // one body: nothing to pair
    EndApproachSearch(&s);
    EXPECT_TRUE(s.bodies.empty());
}

}  // namespace
