// The list refresh: what a repeated refresh writes, which changed inputs
// force a full one, the stop flag, the status mask, excluded items, objects
// that cannot be rebuilt, the logged marks, the return values, and the
// caller's criteria left alone.
#include "userdata/listrefresh.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "astro/sidereal.h"
#include "core/fileutil.h"
#include "core/mathutil.h"
#include "userdata/listitems.h"
#include "userdata/tests/listtestutil.h"
#include "visibility/criteriamatch.h"

using listtest::MakeList;

namespace {

const double kDeg = kPi / 180.0;

struct Scene {
    listtest::UserFolder user;
    LocationRecord site;
    DateRecord date;
    std::unique_ptr<VisibilityCriteria> criteria{new VisibilityCriteria};
    int slot = -1;
    Scene() {
        InitLocationRecord(&site, 0.0, 50 * kDeg, 100.0, 6.0, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "Here");
        std::memset(&date, 0, sizeof date);
        SetDateRecord(&date, &site, 3, 15, 2026, 22.0, kLocalTime);
        ComputeDeltaTAndNutation(&date, 0.0);
        ComputeSiderealTimes(&site, &date);
        InitVisibilityCriteria(criteria.get());
        criteria->observer.experience = 0.5;
    }
    static ObjectRecord Mark(double decDeg, int statusA = 0) {
        ObjectRecord r = listtest::Item(kClassSkyMark, 0);
        MakePositionObject(&r, 1.0, decDeg * kDeg);
        SetListItemStatusA(&r, statusA);
        return r;
    }
    // Runs a refresh to its end; the answers of each Next call.
    std::vector<int> Run(int mode = kRefreshSimple, int now = 0, uint8_t mask = 0xF, volatile int *stop = nullptr,
                         const ListLoggedQuery *logged = nullptr, ListRefreshState *keep = nullptr) {
        std::vector<int> answers;
        int n = 0;
        ListFile *f = OpenListFile(slot, &n);
        if (!f) return {-99};
        ListRefreshState local;
        ListRefreshState *state = keep ? keep : &local;
        if (!BeginListRefresh(f, &site, &date, criteria.get(), nullptr, 0, 0, n, mode, mask, -1, stop, 0.0, 0.0, 0,
                              now, logged, state)) {
            DiscardListFile(f);
            return {-98};
        }
        for (int guard = 0; guard < 100; ++guard) {
            int r = RefreshNextListItem(f, state, nullptr, 0, nullptr);
            answers.push_back(r);
            if (r <= 0) break;
        }
        DiscardListFile(f);
        return answers;
    }
    std::string File() const { return testutil::ReadFileBytes(FormatListFilePath(slot)); }
};

void AgeFile(const std::string &path) {
    FileTimeValue old{0x10000000u, 0x01D00000u};
    SetFileWriteTime(path.c_str(), old);
}
uint64_t Ticks(const std::string &path) {
    FileTimeValue t{0, 0};
    GetFileWriteTime(path.c_str(), &t);
    return ((uint64_t)t.high << 32) | t.low;
}

int AlwaysLogged(void *, const LocationRecord *, const DateRecord *, ObjectRecord *) { return 1; }

}  // namespace

TEST(ListRefresh, ARepeatedRefreshWritesNothingUnlessInNowMode) {
    Scene s;
    s.slot = MakeList("L", {Scene::Mark(80), Scene::Mark(60), Scene::Mark(-85)});
    ASSERT_EQ(s.Run(), (std::vector<int>{1, 2, 3, 0}));
    std::string once = s.File();
    EXPECT_EQ(once[105], 0);  // up to date once the last item is done
    std::string path = FormatListFilePath(s.slot);
    AgeFile(path);
    uint64_t aged = Ticks(path);
    s.Run();
    EXPECT_EQ(s.File(), once);
    EXPECT_EQ(Ticks(path), aged);
    // Now-mode writes every item.
    s.Run(kRefreshSimple, 1);
    EXPECT_NE(Ticks(path), aged);
}

TEST(ListRefresh, AChangedInputForcesAFullRefresh) {
    struct Case {
        const char *what;
        std::function<void(Scene &)> change;
        int mode;
    } cases[] = {
        {"nothing", [](Scene &) {}, kRefreshSimple},
        {"observer experience", [](Scene &s) { s.criteria->observer.experience = 0.9; }, kRefreshSimple},
        {"site seeing", [](Scene &s) { s.site.seeing = 4.0; }, kRefreshSimple},
        {"camera", [](Scene &s) { s.criteria->cameraIndex = 3; }, kRefreshSimple},
        {"mode", [](Scene &) {}, kRefreshVisual},
        {"date", [](Scene &s) { s.date.centuriesTT += 0.001; }, kRefreshSimple},
        {"a horizon for the site", [](Scene &s) { ASSERT_EQ(CreateFlatHorizon(&s.site), 1); }, kRefreshSimple},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Scene s;
        s.slot = MakeList("L", {Scene::Mark(80)});
        ASSERT_EQ(s.Run().back(), 0);
        c.change(s);
        int n = 0;
        ListFile *f = OpenListFile(s.slot, &n);
        ListRefreshState state;
        ASSERT_EQ(BeginListRefresh(f, &s.site, &s.date, s.criteria.get(), nullptr, 0, 0, n, c.mode, 0xF, -1,
                                   nullptr, 0, 0, 0, 0, nullptr, &state),
                  1);
        bool expected = std::string(c.what) != "nothing";
        EXPECT_EQ(state.refreshNeeded, expected);
        DiscardListFile(f);
        EXPECT_EQ(s.File()[105], expected ? 1 : 0);  // marked until the end
    }
}

TEST(ListRefresh, StoppedOrAbandonedRefreshLeavesTheListToRecompute) {
    Scene s;
    s.slot = MakeList("L", {Scene::Mark(80), Scene::Mark(70), Scene::Mark(60), Scene::Mark(50)});
    ASSERT_EQ(s.Run().back(), 0);
    s.site.seeing = 3.0;  // a new input
    volatile int stop = 0;
    int n = 0;
    ListFile *f = OpenListFile(s.slot, &n);
    ListRefreshState state;
    ASSERT_EQ(BeginListRefresh(f, &s.site, &s.date, s.criteria.get(), nullptr, 0, 0, n, kRefreshSimple, 0xF, -1,
                               &stop, 0, 0, 0, 0, nullptr, &state),
              1);
    EXPECT_EQ(RefreshNextListItem(f, &state, nullptr, 0, nullptr), 1);
    EXPECT_EQ(RefreshNextListItem(f, &state, nullptr, 0, nullptr), 2);
    stop = 1;
    EXPECT_EQ(RefreshNextListItem(f, &state, nullptr, 0, nullptr), -1);
    DiscardListFile(f);
    EXPECT_EQ(s.File()[105], 1);
    // Abandoned without a stop: still marked, and the next refresh is full.
    ListRefreshState next;
    EXPECT_EQ(s.Run(kRefreshSimple, 0, 0xF, nullptr, nullptr, &next).back(), 0);
    EXPECT_TRUE(next.refreshNeeded);
}

TEST(ListRefresh, StatusMaskExcludedItemsAndReturnValues) {
    Scene s;
    ObjectRecord excluded = Scene::Mark(70);
    excluded.visibilityFlags = kItemExcluded;
    s.slot = MakeList("L", {Scene::Mark(80, 0), Scene::Mark(80, 2), excluded, Scene::Mark(75, 2)});
    std::string before = s.File();
    // Items 2 (status A 2) and 4 are not visible; the last is returned anyway.
    EXPECT_EQ(s.Run(kRefreshSimple, 0, 0x3), (std::vector<int>{1, 4, 0}));
    std::vector<ObjectRecord> items = listtest::Items(s.slot);
    EXPECT_EQ(items[0].visibilityFlags, kItemVisibleFlag);
    EXPECT_EQ(items[1].visibilityFlags, kItemNotVisible);
    EXPECT_EQ(items[3].visibilityFlags, kItemNotVisible);
    // The excluded item is left byte for byte.
    EXPECT_EQ(s.File().substr(390 + 2 * 395, 395), before.substr(390 + 2 * 395, 395));
    // With status 2 enabled it is visible.
    EXPECT_EQ(s.Run(kRefreshSimple, 0, 0x7), (std::vector<int>{1, 2, 4, 0}));
    // A caller's count above the slot's reads no stale item past the list.
    ASSERT_EQ(ClearList(s.slot), 1);
    int n = 0;
    ListFile *f = OpenListFile(s.slot, &n);
    ListRefreshState state;
    ASSERT_EQ(BeginListRefresh(f, &s.site, &s.date, s.criteria.get(), nullptr, 0, 0, 4, kRefreshSimple, 0xF, -1,
                               nullptr, 0, 0, 0, 0, nullptr, &state),
              1);
    EXPECT_EQ(RefreshNextListItem(f, &state, nullptr, 0, nullptr), 0);
    DiscardListFile(f);
}

TEST(ListRefresh, AnObjectThatCannotBeRebuiltKeepsAllButItsLoggedMark) {
    Scene s;
    ObjectRecord gone = listtest::Item(kClassGalaxy, 987654);
    gone.magnitude = 12.5f;
    s.slot = MakeList("L", {gone});
    std::string before = s.File();
    ListLoggedQuery logged{AlwaysLogged, nullptr};
    s.Run(kRefreshSimple, 0, 0xF, nullptr, &logged);
    std::string after = s.File();
    ObjectRecord back;
    std::memcpy(&back, after.data() + 390, sizeof back);
    EXPECT_EQ(back.reserved215 & kItemLoggedBit, kItemLoggedBit);
    back.reserved215 = gone.reserved215;
    back.itemFlags = gone.itemFlags;
    EXPECT_EQ(std::memcmp(&back, before.data() + 390, sizeof back), 0);
}

TEST(ListRefresh, TheCallersCriteriaAreNotChanged) {
    Scene s;
    s.slot = MakeList("L", {Scene::Mark(80)});
    s.criteria->wantedRating = 3;
    s.criteria->wantedGrade = 2;
    s.criteria->thresholdRow = 4;
    s.Run(kRefreshSimple);
    EXPECT_EQ(s.criteria->wantedRating, 3);
    EXPECT_EQ(s.criteria->wantedGrade, 2);
    EXPECT_EQ(s.criteria->thresholdRow, 4);
}
