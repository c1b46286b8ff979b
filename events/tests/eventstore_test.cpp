// Tests of the event file store: the header's bytes, opening without ever
// losing a file, time-ordered insertion with the duplicate rule, removal,
// category deletion and purges, each store operation failed step by step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "astro/datetime.h"
#include "astro/location.h"
#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "events/customevents.h"
#include "events/eventfiles.h"
#include "events/eventinsert.h"
#include "events/eventpurge.h"
#include "events/eventrecord.h"
#include "events/eventstore.h"
#include "sites/sitestore.h"
#include "testutil/childprocesses.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

namespace {

const double kSecond = 1.0 / 86400.0;
const double kStart = 2461000.5;  // 2025 Nov 30, 0h UT

LocationRecord NamedSite(const char *name, double elevation = 100.0) {
    LocationRecord r;
    std::memset(&r, 0, sizeof r);
    InitLocationRecord(&r, 1.0, 0.6, elevation, 6.5, 0.0, 15.0, 50.0, 2, 0.0, -5.0, name);
    return r;
}

std::unique_ptr<EventFileHeader> Header(const char *site, int kind) {
    std::unique_ptr<EventFileHeader> h(NewEventFileHeader());
    h->site = NamedSite(site);
    h->definitionKind = static_cast<uint8_t>(kind);
    h->start = kStart;
    h->period = 1;
    return h;
}

EventRecord Event(int kind, double time, int code, int class1 = 2, int index1 = 5, int class2 = 0,
                  int index2 = 0) {
    EventRecord r;
    ClearEventRecord(&r);
    r.kind = static_cast<uint8_t>(kind);
    r.time = time;
    r.body1Class = class1;
    r.body1Index = index1;
    r.body2Class = class2;
    r.body2Index = index2;
    r.contactCount = 1;
    r.contacts[0].code = code;
    r.contacts[0].time = time;
    return r;
}

int32_t StoredCount(const std::string &bytes) {
    int32_t n = -1;
    if (bytes.size() >= 9) std::memcpy(&n, bytes.data() + 5, 4);
    return n;
}

// The times of the counted records as the file holds them.
std::vector<double> StoredTimes(const std::string &bytes) {
    std::vector<double> out;
    const int32_t n = StoredCount(bytes);
    for (int32_t i = 0; i < n; ++i) {
        const size_t at = static_cast<size_t>(kEventHeaderSize + i * kEventRecordSize + 29);
        if (at + 8 > bytes.size()) break;
        double t;
        std::memcpy(&t, bytes.data() + at, 8);
        out.push_back(t);
    }
    return out;
}

class EventStore : public ::testing::Test {
protected:
    void SetUp() override {
        SetUserDataFolder(dir_.path().c_str());
        EnsureDirectory(dir_.file("events").c_str());
    }
    void TearDown() override {
        SetFileStepFailure(0);
        SetUserDataFolder("");
    }
    std::string File(const char *name) { return dir_.file(std::string("events/") + name); }
    // A file of the site with events at the given times (kind 5, distinct pairs).
    void Fill(EventFileHeader *h, const std::vector<double> &times) {
        FileHandle f(StoreEventFileHeader(h));
        ASSERT_TRUE(f);
        int k = 1;
        for (double t : times) {
            EventRecord e = Event(5, t, 0, 2, k++, 2, 0);
            ASSERT_EQ(InsertEvent(f.get(), h, 1e6, &e, 0), 1);
        }
    }
    testutil::TempDir dir_;
};

TEST_F(EventStore, NewFileIsOneHeaderWithCountZeroAndTheVersionBytes) {
    auto h = Header("Home", kDefinitionCalendar);
    h->count = 7;  // whatever the caller held: the new file counts nothing
    h->magic = 0;
    FileHandle f(OpenEventFile(h.get()));
    ASSERT_TRUE(f);
    f.reset();
    const std::string bytes = testutil::ReadFileBytes(File("HomeCE.bin"));
    ASSERT_EQ(bytes.size(), 661868u);
    // 55555 little-endian, then 3, 1, 'f', then the count 0.
    EXPECT_EQ(bytes.substr(0, 9), std::string("\x03\xD9\x03\x01" "f\0\0\0\0", 9));
    EXPECT_EQ(bytes[9], 10);
    EXPECT_EQ(+h->count, 0);
    // Opening an event file makes no site store.
    EXPECT_FALSE(testutil::PathIsThere(dir_.file("loc.bin")));
    // The site's name sits at 1239 + 133.
    EXPECT_EQ(bytes.substr(1239 + 133, 5), std::string("Home\0", 5));
}

TEST_F(EventStore, DuplicateRuleByKindCodeAndBodies) {
    struct Case {
        const char *what;
        EventRecord stored, added;
        double apart;  // seconds
        bool duplicate;
    };
    EventRecord sat3 = Event(7, 0, 3, 2, 5, 0, 1);
    EventRecord sat4 = Event(7, 0, 4, 2, 5, 0, 1);
    EventRecord sat6 = Event(7, 0, 6, 2, 5, 0, 1);
    EventRecord sat6other = Event(7, 0, 6, 2, 5, 0, 2);
    EventRecord elong = Event(6, 0, 2, 2, 5, 0, 0);
    EventRecord elongOther = Event(6, 0, 2, 2, 5, 0, 3);
    const Case cases[] = {
        {"close approach, bodies swapped, 30 s", Event(5, 0, 0, 2, 4, 4, 433), Event(5, 0, 0, 4, 433, 2, 4), 30, true},
        {"close approach, 60 s", Event(5, 0, 0, 2, 4, 4, 433), Event(5, 0, 0, 4, 433, 2, 4), 60, false},
        {"close approach, another pair", Event(5, 0, 0, 2, 4, 4, 433), Event(5, 0, 0, 2, 4, 4, 434), 10, false},
        {"satellite phenomena, codes 4 and 6", sat4, sat6, 20, true},
        {"satellite phenomena, codes 3 and 4", sat3, sat4, 20, false},
        {"satellite phenomena, two satellites", sat6, sat6other, 20, false},
        {"elongations, two satellites", elong, elongOther, 20, false},
        {"elongations, one satellite", elong, elong, 20, true},
        {"eclipse, another contact code", Event(2, 0, 1), Event(2, 0, 4), 20, true},
        {"phenomenon, another code", Event(0, 0, 3), Event(0, 0, 4), 20, false},
        {"another kind", Event(4, 0, 2), Event(8, 0, 2), 0, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        auto h = Header("Dup", 0);
        ASSERT_EQ(ClearEventFile(h.get()), 1);
        FileHandle f(StoreEventFileHeader(h.get()));
        ASSERT_TRUE(f);
        EventRecord a = c.stored, b = c.added;
        a.time = kStart + 1;
        b.time = a.time + c.apart * kSecond;
        b.contacts[1].code = 77;  // marks the newer copy
        b.contactCount = 2;
        ASSERT_EQ(InsertEvent(f.get(), h.get(), 10, &a, 1), 1);
        EXPECT_EQ(InsertEvent(f.get(), h.get(), 10, &b, 1), c.duplicate ? 0 : 1);
        EXPECT_EQ(+h->count, c.duplicate ? 1 : 2);
        f.reset();
        const std::string bytes = testutil::ReadFileBytes(File("Dup.bin"));
        EXPECT_EQ(StoredCount(bytes), +h->count);
        if (c.duplicate) {
            // The stored event was refreshed by the new one.
            FileHandle r(OpenEventRecords(h.get()));
            EventRecord back;
            ASSERT_EQ(ReadEvent(r.get(), 0, &back), 1);
            EXPECT_EQ(+back.contacts[1].code, 77);
        }
    }
}

TEST_F(EventStore, DuplicateIsFoundAmongSeveralEventsWithinTheWindow) {
    auto h = Header("Crowd", 0);
    FileHandle f(StoreEventFileHeader(h.get()));
    ASSERT_TRUE(f);
    const double t = kStart + 2;
    // Several events of other kinds within seconds, the one that matters last.
    EventRecord moon = Event(0, t, 7, 2, 10);
    ASSERT_EQ(InsertEvent(f.get(), h.get(), 10, &moon, 0), 1);
    EventRecord ecl = Event(2, t + 5 * kSecond, 1);
    ASSERT_EQ(InsertEvent(f.get(), h.get(), 10, &ecl, 0), 1);
    EventRecord grs = Event(9, t - 10 * kSecond, 3);
    ASSERT_EQ(InsertEvent(f.get(), h.get(), 10, &grs, 0), 1);
    EventRecord near = Event(5, t + 20 * kSecond, 0, 2, 2, 2, 4);
    ASSERT_EQ(InsertEvent(f.get(), h.get(), 10, &near, 0), 1);
    EventRecord far = Event(5, t - 30 * kSecond, 0, 2, 6, 2, 5);
    ASSERT_EQ(InsertEvent(f.get(), h.get(), 10, &far, 0), 1);
    // Recomputed 40 s away from the first and 10 s from its own: still one.
    for (EventRecord again : {near, far, grs}) {
        again.time += 10 * kSecond;
        EXPECT_EQ(InsertEvent(f.get(), h.get(), 10, &again, 0), 0);
    }
    EXPECT_EQ(+h->count, 5);
}

TEST_F(EventStore, LimitFlagRefusesEventsPastThePeriod) {
    auto h = Header("Limit", 0);
    FileHandle f(StoreEventFileHeader(h.get()));
    EventRecord inside = Event(0, kStart + 10, 3);
    EventRecord late = Event(0, kStart + 10.01, 4);
    EXPECT_EQ(InsertEvent(f.get(), h.get(), 10, &inside, 1), 1);
    EXPECT_EQ(InsertEvent(f.get(), h.get(), 10, &late, 1), 0);
    EXPECT_EQ(InsertEvent(f.get(), h.get(), 10, &late, 0), 1);
    EXPECT_EQ(+h->count, 2);
}

TEST_F(EventStore, CountIsOnDiskAfterEveryInsertWithoutSavingTheHeader) {
    // A pass killed halfway keeps the events (custom ones too) stored so far.
    auto h = Header("Kill", 0);
    FileHandle f(StoreEventFileHeader(h.get()));
    for (int i = 0; i < 4; ++i) {
        EventRecord e = Event(11, kStart + 4 - i, i, 0, 0);
        ASSERT_EQ(InsertEvent(f.get(), h.get(), 100000, &e, 1), 1);
        const std::string bytes = testutil::ReadFileBytes(File("Kill.bin"));
        EXPECT_EQ(StoredCount(bytes), i + 1);
        EXPECT_EQ(bytes.size(), static_cast<size_t>(kEventHeaderSize + (i + 1) * kEventRecordSize));
    }
    // The process "dies": no header save; the next open sees all four.
    f.release();  // leaked on purpose, as a killed process leaves it
    auto again = Header("Kill", 0);
    FileHandle g(OpenEventFile(again.get()));
    ASSERT_TRUE(g);
    EXPECT_EQ(+again->count, 4);
}

TEST_F(EventStore, ManyRandomInsertsStaySortedAndCounted) {
    auto h = Header("Random", 0);
    FileHandle f(StoreEventFileHeader(h.get()));
    std::mt19937 rng(37);
    std::uniform_real_distribution<double> day(0, 30);
    std::uniform_int_distribution<int> kind(0, 9), code(0, 12);
    int added = 0;
    for (int i = 0; i < 300; ++i) {
        EventRecord e = Event(kind(rng), kStart + day(rng), code(rng), 2, i % 3);
        added += InsertEvent(f.get(), h.get(), 40, &e, 1);
    }
    f.reset();
    const std::string bytes = testutil::ReadFileBytes(File("Random.bin"));
    const std::vector<double> times = StoredTimes(bytes);
    EXPECT_EQ(static_cast<int>(times.size()), added);
    EXPECT_EQ(StoredCount(bytes), +h->count);
    EXPECT_EQ(bytes.size(), static_cast<size_t>(kEventHeaderSize + added * kEventRecordSize));
    for (size_t i = 1; i < times.size(); ++i) EXPECT_LE(times[i - 1], times[i]) << i;
}

TEST_F(EventStore, DeletingTheOnlyRecordLeavesCountZeroOnDisk) {
    auto h = Header("Del", 0);
    Fill(h.get(), {kStart + 1});
    FileHandle f(OpenEventFile(h.get()));
    ASSERT_EQ(+h->count, 1);
    EXPECT_EQ(DeleteEvent(f.get(), h.get(), 1), 0);
    EXPECT_EQ(DeleteEvent(f.get(), h.get(), -1), 0);
    EXPECT_EQ(DeleteEvent(f.get(), h.get(), 0), 1);
    EXPECT_EQ(+h->count, 0);
    f.reset();
    EXPECT_EQ(StoredCount(testutil::ReadFileBytes(File("Del.bin"))), 0);
}

TEST_F(EventStore, AFileThatExistsIsNeverWipedByAFailedOpenOrRead) {
    auto h = Header("Keep", 0);
    Fill(h.get(), {kStart + 1, kStart + 2});
    const std::string before = testutil::ReadFileBytes(File("Keep.bin"));
    // Each step of the open failed in turn: the file stays byte for byte.
    for (int step = 1; step <= 3; ++step) {
        auto again = Header("Keep", 0);
        SetFileStepFailure(step);
        FileHandle f(OpenEventFile(again.get()));
        SetFileStepFailure(0);
        f.reset();
        EXPECT_EQ(testutil::ReadFileBytes(File("Keep.bin")), before) << step;
    }
    // A file too short for a header is put aside, not deleted; the next open
    // starts afresh.
    ASSERT_TRUE(testutil::WriteFileBytes(File("Short.bin"), "not an event file"));
    auto s = Header("Short", 0);
    EXPECT_EQ(OpenEventFile(s.get()), nullptr);
    EXPECT_EQ(testutil::ReadFileBytes(File("Short.bin.bad")), "not an event file");
    FileHandle fresh(OpenEventFile(s.get()));
    EXPECT_TRUE(fresh);
    EXPECT_EQ(+s->count, 0);
}

TEST_F(EventStore, CollidingNamesDoNotTakeOverAnotherSitesFile) {
    // Site "XCE"'s search file is named like site "X"'s calendar file.
    auto xce = Header("XCE", 0);
    Fill(xce.get(), {kStart + 1});
    const std::string before = testutil::ReadFileBytes(File("XCE.bin"));
    auto x = Header("X", kDefinitionCalendar);
    EXPECT_EQ(OpenEventFile(x.get()), nullptr);
    EXPECT_EQ(StoreEventFileHeader(x.get()), nullptr);
    EXPECT_EQ(SaveEventFileHeader(x.get()), 0);
    EXPECT_EQ(testutil::ReadFileBytes(File("XCE.bin")), before);
    // A name that encodes like another one is refused as well.
    auto dot = Header("A.B", 0);
    Fill(dot.get(), {kStart + 3});
    auto bracket = Header("A]B", 0);
    EXPECT_EQ(OpenEventFile(bracket.get()), nullptr);
}

TEST_F(EventStore, ElevationEditEmptiesTheEventsSkyEditDoesNot) {
    int16_t n = 0;
    FileHandle store(OpenLocationStore(&n));
    ASSERT_TRUE(store);
    LocationRecord site = NamedSite("Ridge", 100.0);
    LocationTrailer trailer;
    std::memset(&trailer, 0, sizeof trailer);
    ASSERT_EQ(AppendLocation(store.get(), &site, &trailer), 1);
    auto h = Header("Ridge", kDefinitionCalendar);
    Fill(h.get(), {kStart + 1, kStart + 2});
    // The sky brightness changes: the events stay, the header takes the value.
    LocationRecord sky = site;
    sky.skyBrightness = 19.5;
    ASSERT_EQ(UpdateLocation(store.get(), 0, &sky, &trailer, &sky.dst, sky.dstMode), 1);
    std::fflush(store.get());
    auto a = Header("Ridge", kDefinitionCalendar);
    FileHandle fa(OpenEventFile(a.get()));
    ASSERT_TRUE(fa);
    EXPECT_EQ(+a->count, 2);
    fa.reset();
    // The elevation changes: the events are emptied at the next open.
    LocationRecord high = sky;
    high.elevation = 2500.0;
    ASSERT_EQ(UpdateLocation(store.get(), 0, &high, &trailer, &high.dst, high.dstMode), 1);
    store.reset();
    auto b = Header("Ridge", kDefinitionCalendar);
    FileHandle fb(OpenEventFile(b.get()));
    ASSERT_TRUE(fb);
    EXPECT_EQ(+b->count, 0);
    EXPECT_DOUBLE_EQ(+b->site.elevation, 2500.0);
    fb.reset();
    EXPECT_EQ(StoredCount(testutil::ReadFileBytes(File("RidgeCE.bin"))), 0);
}

TEST_F(EventStore, DeleteCategoryKeepsTheOthersAndWritesTheCount) {
    auto h = Header("Cat", 0);
    {
        FileHandle f(StoreEventFileHeader(h.get()));
        EventRecord evs[] = {Event(5, kStart + 1, 0, 2, 1, 2, 2), Event(0, kStart + 2, 7, 2, 10),
                             Event(5, kStart + 3, 0, 2, 1, 2, 3), Event(0, kStart + 4, 3, 2, 5)};
        for (EventRecord &e : evs) ASSERT_EQ(InsertEvent(f.get(), h.get(), 10, &e, 0), 1);
    }
    EventRecord sample = Event(5, 0, 0);
    EXPECT_EQ(DeleteEventCategory(h.get(), &sample), 1);
    EXPECT_EQ(+h->count, 2);
    const std::string bytes = testutil::ReadFileBytes(File("Cat.bin"));
    EXPECT_EQ(StoredCount(bytes), 2);  // on disk, without the caller's save
    EXPECT_EQ(StoredTimes(bytes), (std::vector<double>{kStart + 2, kStart + 4}));
    EXPECT_EQ(bytes.size(), static_cast<size_t>(kEventHeaderSize + 2 * kEventRecordSize));
    EventRecord none = Event(9, 0, 3);  // Red Spot transits have no category
    EXPECT_EQ(DeleteEventCategory(h.get(), &none), 0);
}

TEST_F(EventStore, PurgeModes) {
    // The test site keeps UT - 5 h.
    const double zone = 5.0 / 24.0;
    const double now = JulianDateFromCalendar(3, 10, 2026, 13.0) + zone;
    struct Case {
        int mode;
        std::vector<double> kept;
    };
    const double firstOfMonth = JulianDateFromCalendar(3, 1, 2026, 0.0) + zone;
    const std::vector<double> times = {firstOfMonth - 0.1, firstOfMonth + 0.1, now - 8, now - 0.3, now + 1};
    const Case cases[] = {
        {kPurgePastNow, {now + 1}},
        {kPurgeMonthly, {firstOfMonth + 0.1, now - 8, now - 0.3, now + 1}},
        {kPurgeHalfDay, {now + 1}},  // last night (noon to noon) is past at 13:00
        {kPurgeAfterWeek, {now - 0.3, now + 1}},
        {kPurgeNever, times},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mode);
        auto h = Header("Purge", kDefinitionCalendar);
        ClearEventFile(h.get());
        Fill(h.get(), times);
        h->purgeMode = static_cast<uint8_t>(c.mode);
        h->lastPurgeMonth = 3;  // a year ago, in March: still purged
        EXPECT_EQ(PurgePastEventsAt(h.get(), now), c.mode == kPurgeNever ? 0 : 1);
        EXPECT_EQ(StoredTimes(testutil::ReadFileBytes(File("PurgeCE.bin"))), c.kept);
        EXPECT_EQ(+h->count, static_cast<int>(c.kept.size()));
    }
    // A monthly purge already done this month with nothing left to purge.
    auto h = Header("Purge", kDefinitionCalendar);
    FileHandle f(OpenEventFile(h.get()));
    f.reset();
    h->purgeMode = kPurgeMonthly;
    EXPECT_EQ(PurgePastEventsAt(h.get(), now), 1);
    EXPECT_EQ(PurgePastEventsAt(h.get(), now), 0);
    // Not a calendar file: no purge.
    auto search = Header("Purge", 0);
    EXPECT_EQ(PurgePastEventsAt(search.get(), now), 0);
}

TEST_F(EventStore, EveryStoreOperationFailedStepByStepKeepsTheRecords) {
    const std::vector<double> old = {kStart + 1, kStart + 2, kStart + 3};
    auto h = Header("Fail", 0);
    Fill(h.get(), old);
    const std::string pristine = testutil::ReadFileBytes(File("Fail.bin"));
    struct Op {
        const char *what;
        std::function<int()> run;
        std::vector<double> after;
    };
    std::unique_ptr<EventFileHeader> work(NewEventFileHeader());
    auto withFile = [&](const std::function<int(std::FILE *)> &op) {
        std::memcpy(work.get(), h.get(), sizeof *work);
        FileHandle f(OpenEventFile(work.get()));
        if (!f) return 0;
        return op(f.get());
    };
    const Op ops[] = {
        {"insert in the middle",
         [&] {
             return withFile([&](std::FILE *f) {
                 EventRecord e = Event(0, kStart + 1.5, 3);
                 return InsertEvent(f, work.get(), 10, &e, 0);
             });
         },
         {kStart + 1, kStart + 1.5, kStart + 2, kStart + 3}},
        {"append",
         [&] {
             return withFile([&](std::FILE *f) {
                 EventRecord e = Event(0, kStart + 4, 3);
                 return InsertEvent(f, work.get(), 10, &e, 0);
             });
         },
         {kStart + 1, kStart + 2, kStart + 3, kStart + 4}},
        {"delete", [&] { return withFile([&](std::FILE *f) { return DeleteEvent(f, work.get(), 0); }); },
         {kStart + 2, kStart + 3}},
        {"delete category",
         [&] {
             std::memcpy(work.get(), h.get(), sizeof *work);
             EventRecord sample = Event(5, 0, 0);
             return DeleteEventCategory(work.get(), &sample);
         },
         {}},
        {"store header",
         [&] {
             std::memcpy(work.get(), h.get(), sizeof *work);
             work->finderFlags = 0x18;
             return SaveEventFileHeader(work.get());
         },
         old},
    };
    for (const Op &op : ops) {
        SCOPED_TRACE(op.what);
        testutil::FailureTableLabel label(std::string("event file: ") + op.what);
        const int steps = testutil::ForEachFailurePoint(
            [&] { ASSERT_TRUE(testutil::WriteFileBytes(File("Fail.bin"), pristine)); }, op.run,
            [&](const testutil::FailurePointRun &run) {
                SCOPED_TRACE(testutil::DescribeFailurePoint(run));
                const std::string now = testutil::ReadFileBytes(File("Fail.bin"));
                const std::vector<double> times = StoredTimes(now);
                if (run.result == 1) {
                    EXPECT_EQ(times, op.after);
                } else {
                    EXPECT_EQ(times, old);
                    EXPECT_EQ(StoredCount(now), 3);
                }
                EXPECT_TRUE(testutil::TemporariesBeside(File("Fail.bin")).empty());
            });
        EXPECT_GE(steps, 1);
    }
    // The calendar purge, the same way.
    auto cal = Header("FailCal", kDefinitionCalendar);
    Fill(cal.get(), old);
    const std::string calBytes = testutil::ReadFileBytes(File("FailCalCE.bin"));
    testutil::FailureTableLabel label("event file: purge");
    const int steps = testutil::ForEachFailurePoint(
        [&] { ASSERT_TRUE(testutil::WriteFileBytes(File("FailCalCE.bin"), calBytes)); },
        [&] {
            std::memcpy(work.get(), cal.get(), sizeof *work);
            work->purgeMode = kPurgePastNow;
            return PurgePastEventsAt(work.get(), kStart + 2.5);
        },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            const std::vector<double> times = StoredTimes(testutil::ReadFileBytes(File("FailCalCE.bin")));
            if (run.result == 1)
                EXPECT_EQ(times, (std::vector<double>{kStart + 3}));
            else
                EXPECT_EQ(times, old);
        });
    EXPECT_GE(steps, 1);
}

TEST_F(EventStore, CreatingAndClearingFailStepByStepLeaveNoHalfFile) {
    // A new file: whole or not there at all.
    {
        testutil::FailureTableLabel label("event file: create");
        std::unique_ptr<EventFileHeader> work(NewEventFileHeader());
        const int steps = testutil::ForEachFailurePoint(
            [&] { std::remove(File("New.bin").c_str()); },
            [&] {
                auto h = Header("New", 0);
                std::memcpy(work.get(), h.get(), sizeof *work);
                FileHandle f(OpenEventFile(work.get()));
                return f ? 1 : 0;
            },
            [&](const testutil::FailurePointRun &run) {
                SCOPED_TRACE(testutil::DescribeFailurePoint(run));
                bool ok = false;
                const std::string bytes = testutil::ReadFileBytes(File("New.bin"), &ok);
                if (ok) {
                    EXPECT_EQ(bytes.size(), 661868u);
                    EXPECT_EQ(StoredCount(bytes), 0);
                }
                if (run.result == 1) {
                    EXPECT_TRUE(ok);
                }
                EXPECT_TRUE(testutil::TemporariesBeside(File("New.bin")).empty());
            });
        EXPECT_GE(steps, 1);
    }
    // Clearing: the file goes, or it stays whole and the failure is told.
    auto h = Header("Clear", 0);
    Fill(h.get(), {kStart + 1});
    const std::string stored = testutil::ReadFileBytes(File("Clear.bin"));
    std::unique_ptr<EventFileHeader> work(NewEventFileHeader());
    testutil::FailureTableLabel label("event file: clear");
    testutil::ForEachFailurePoint(
        [&] { ASSERT_TRUE(testutil::WriteFileBytes(File("Clear.bin"), stored)); },
        [&] {
            std::memcpy(work.get(), h.get(), sizeof *work);
            return ClearEventFile(work.get());
        },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            EXPECT_EQ(run.result, 0);
            EXPECT_EQ(+work->count, 1);
            EXPECT_EQ(testutil::ReadFileBytes(File("Clear.bin")), stored);
        });
}

TEST_F(EventStore, SettingTheSiteKeepsTheCountOnlyOfAFileThatOpens) {
    auto stored = Header("Known", 0);
    Fill(stored.get(), {kStart + 1, kStart + 2});
    std::unique_ptr<EventFileHeader> h(NewEventFileHeader());
    h->count = 2;
    LocationRecord known = NamedSite("Known");
    EXPECT_EQ(SetEventFileSite(h.get(), &known), 1);
    EXPECT_EQ(+h->count, 2);
    EXPECT_STREQ(h->site.name, "Known");
    LocationRecord fresh = NamedSite("Fresh");
    EXPECT_EQ(SetEventFileSite(h.get(), &fresh), 1);
    EXPECT_EQ(+h->count, 0);
    EXPECT_FALSE(testutil::PathIsThere(File("Fresh.bin")));  // nothing created
}

TEST_F(EventStore, CategoriesGroupsAndVisibleEvents) {
    struct Case {
        int kind, code, category;
    } cases[] = {{5, 0, 0}, {4, 2, 1}, {8, 3, 2}, {6, 1, 3}, {2, 1, 4}, {3, 1, 5}, {0, 5, 6},
                 {0, 6, 7}, {0, 13, 7}, {0, 100, 8}, {7, 4, 9}, {9, 3, -1}, {11, 0, -1}, {1, 0, -1}};
    for (const Case &c : cases) {
        EventRecord e = Event(c.kind, 0, c.code);
        EXPECT_EQ(GetEventCategory(&e), c.category) << c.kind << "/" << c.code;
    }
    const int groups[][2] = {{1, 0}, {3, 0}, {4, 1}, {6, 1}, {7, 2}, {9, 2}, {10, 3}, {12, 3}, {0, 0}, {13, 0}};
    for (const auto &g : groups) EXPECT_EQ(GetPhenomenonGroup(g[0]), g[1]) << g[0];

    auto h = Header("Vis", 0);
    FileHandle f(StoreEventFileHeader(h.get()));
    for (int i = 0; i < 4; ++i) {
        EventRecord e = Event(0, kStart + i, 3, 2, 4 + i);
        e.contactCount = 2;
        e.contacts[1].visible = (i == 2) ? 1 : 0;
        e.contacts[2].visible = 1;  // beyond the used contacts: does not count
        ASSERT_EQ(InsertEvent(f.get(), h.get(), 10, &e, 0), 1);
    }
    f.reset();
    FileHandle r(OpenEventRecords(h.get()));
    EventRecord found;
    EXPECT_EQ(FindNextVisibleEvent(r.get(), h.get(), &found), 3);
    EXPECT_EQ(+found.body1Index, 6);
    EXPECT_EQ(FindNextVisibleEvent(r.get(), h.get(), &found), 0);
    EXPECT_EQ(FindNextVisibleEvent(nullptr, h.get(), &found), 0);
}

TEST(EventArrays, AppendGrowsByOne) {
    int32_t *values = nullptr;
    int n = 0;
    for (int32_t v : {5, -3, 9}) ASSERT_EQ(AppendIntToArray(&values, v, &n), 1);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(values[0], 5);
    EXPECT_EQ(values[1], -3);
    EXPECT_EQ(values[2], 9);
    std::free(values);
}

}  // namespace

#ifndef _WIN32
// Two programs add 40 events each to one site's file at once (child
// processes, each with its file open the whole time and its header read
// before the other's events went in), and each adds 10 custom texts: the
// event store's writer lock and the count read again under it make them
// take turns, so the file ends with all 80 events and the texts with all 20
// lines.
TEST_F(EventStore, TwoProcessesAddingToOneFileLoseNothing) {
    auto h = Header("Shared", 0);
    {
        FileHandle f(StoreEventFileHeader(h.get()));
        ASSERT_TRUE(f);
    }
    EXPECT_TRUE(testutil::RunInChildren(2, [](int c) {
        auto mine = Header("Shared", 0);
        std::FILE *f = OpenEventFile(mine.get());
        int ok = f ? 1 : 0;
        for (int k = 0; k < 40 && ok; ++k) {
            // Distinct bodies, times interleaved between the two writers.
            EventRecord e = Event(5, kStart + 0.01 * (2 * k + c), 0, 2, 1000 * (c + 1) + k, 2, 0);
            ok = InsertEvent(f, mine.get(), 1e6, &e, 0);
            int line = -1;
            if (ok && k < 10) ok = AppendCustomEventText(("text " + std::to_string(c * 100 + k)).c_str(), &line);
        }
        if (f) std::fclose(f);
        return ok;
    }));
    const std::string bytes = testutil::ReadFileBytes(File("Shared.bin"));
    EXPECT_EQ(StoredCount(bytes), 80);
    const std::vector<double> times = StoredTimes(bytes);
    ASSERT_EQ(times.size(), 80u);
    for (size_t i = 1; i < times.size(); ++i) EXPECT_LT(times[i - 1], times[i]) << i;
    const std::string texts = testutil::ReadFileBytes(File("event_desc.txt"));
    EXPECT_EQ(std::count(texts.begin(), texts.end(), '\n'), 20);
}
#endif
