// Every store operation of the site and observer stores, with each of its
// file steps failed in turn (core/safefile.h's seam): after a failure the old
// file reads back byte for byte and the operation said it failed; after a
// success the file holds exactly the change.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "core/safefile.h"
#include "core/userfolder.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"
#include "sites/slotstore.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

namespace {

using testutil::ReadFileBytes;
using testutil::WriteFileBytes;

LocationRecord Site(const char *name, double longitude) {
    LocationRecord r;
    std::memset(&r, 0, sizeof r);
    EXPECT_EQ(InitLocationRecord(&r, longitude, 0.6, 250.0, 6.5, 0.0, 12.0, 45.0, 2, 0.0, -5.0, name), 1);
    return r;
}

ObserverRecord Observer(const char *name, int age) {
    ObserverRecord r;
    EXPECT_EQ(InitObserverRecord(&r, name, age, 6.0, 0.5), 1);
    return r;
}

class StoreFailure : public ::testing::Test {
protected:
    void SetUp() override {
        SetUserDataFolder(dir.path().c_str());
        // The stores as the failing runs start from them: three sites, three observers.
        Reopen();
        const LocationTrailer t = {0, 0, 0};
        for (const char *n : {"Alpha", "Beta", "Gamma"}) {
            LocationRecord r = Site(n, 0.1 * (n[0] - 'A'));
            ASSERT_EQ(AppendLocation(site, &r, &t), 1);
        }
        for (const char *n : {"Ann", "Bob", "Cy"}) {
            ObserverRecord r = Observer(n, 30);
            ASSERT_EQ(AppendObserver(observer, &r), 1);
        }
        Close();
        sites = ReadFileBytes(dir.file("loc.bin"));
        observers = ReadFileBytes(dir.file("observer.bin"));
    }
    void TearDown() override {
        SetFileStepFailure(0);
        Close();
        SetUserDataFolder("");
    }
    void Close() {
        if (site) std::fclose(site);
        if (observer) std::fclose(observer);
        site = observer = nullptr;
    }
    void Reopen() {
        Close();
        int16_t n = 0;
        site = OpenLocationStore(&n);
        observer = OpenObserverStore(&n);
        ASSERT_NE(site, nullptr);
        ASSERT_NE(observer, nullptr);
    }
    // Puts both stores back as SetUp left them and opens them.
    void Restore() {
        Close();
        ASSERT_TRUE(WriteFileBytes(dir.file("loc.bin"), sites));
        ASSERT_TRUE(WriteFileBytes(dir.file("observer.bin"), observers));
        ASSERT_TRUE(WriteFileBytes(dir.file("loc.bak"), "old backup"));
        Reopen();
    }
    // Runs the operation through every failure point. file is the store it
    // changes; changed() says whether a successful run left the right change.
    // An append may leave bytes past the counted ones; every other operation
    // must leave the file byte for byte.
    void Run(const char *operation, const char *file, const std::function<int()> &op,
             const std::function<bool(const std::string &)> &changed, bool tailMayGrow = false) {
        SCOPED_TRACE(operation);
        testutil::FailureTableLabel label(operation);
        std::string before;
        int steps = testutil::ForEachFailurePoint(
            [&] {
                Restore();
                before = ReadFileBytes(dir.file(file));
            },
            op,
            [&](const testutil::FailurePointRun &run) {
                SCOPED_TRACE(testutil::DescribeFailurePoint(run));
                std::string after = ReadFileBytes(dir.file(file));
                bool kept = tailMayGrow ? after.compare(0, before.size(), before) == 0 : after == before;
                bool intact = run.result == 1 ? changed(after) : kept;
                // Success is only claimed by a run whose failed step did not matter.
                EXPECT_TRUE(intact) << (run.result == 1 ? "claimed success without the change"
                                                        : "the old file was not kept");
                // A delete closes the stream and opens it again on whichever
                // file is there: it must still read.
                int16_t count = 0;
                ASSERT_TRUE(site && observer);
                EXPECT_EQ(ReadSlotCount(site, &count), 1);
                EXPECT_EQ(ReadSlotCount(observer, &count), 1);
            });
        EXPECT_GT(steps, 0);
    }

    testutil::TempDir dir;
    FILE *site = nullptr;
    FILE *observer = nullptr;
    std::string sites, observers;
};

// The name stored in slot i of a store image.
std::string SiteNameAt(const std::string &bytes, int i) {
    return std::string(bytes.c_str() + 2 + i * kLocationSlotSize + offsetof(LocationRecord, name));
}
std::string ObserverNameAt(const std::string &bytes, int i) {
    return std::string(bytes.c_str() + 2 + i * (int)sizeof(ObserverRecord));
}
int CountOf(const std::string &bytes) {
    return bytes.size() < 2 ? -1 : (unsigned char)bytes[0] | ((unsigned char)bytes[1] << 8);
}

TEST_F(StoreFailure, SiteOperationsKeepTheOldFileOrMakeTheWholeChange) {
    Run("site append", "loc.bin",
        [&] {
            LocationRecord r = Site("Delta", 0.4);
            const LocationTrailer t = {0, 0, 0};
            return AppendLocation(site, &r, &t);
        },
        [&](const std::string &b) { return CountOf(b) == 4 && SiteNameAt(b, 3) == "Delta"; }, true);
    Run("site delete", "loc.bin",
        [&] { return DeleteLocation(&site, 0); },
        [&](const std::string &b) {
            return b.size() == sites.size() && CountOf(b) == 2 && SiteNameAt(b, 0) == "Beta" &&
                   SiteNameAt(b, 1) == "Gamma";
        });
    Run("site update", "loc.bin",
        [&] {
            LocationRecord r = Site("Beta Two", 0.7);
            const LocationTrailer t = {0, 0, 0};
            return UpdateLocation(site, 1, &r, &t, &r.dst, r.dstMode);
        },
        [&](const std::string &b) {
            return CountOf(b) == 3 && SiteNameAt(b, 1) == "Beta Two" && SiteNameAt(b, 2) == "Gamma";
        });
    Run("site backup", "loc.bak", [&] { return BackupLocationFile(); },
        [&](const std::string &b) { return b == sites; });
}

TEST_F(StoreFailure, ObserverOperationsKeepTheOldFileOrMakeTheWholeChange) {
    Run("observer append", "observer.bin",
        [&] {
            ObserverRecord r = Observer("Dee", 50);
            return AppendObserver(observer, &r);
        },
        [&](const std::string &b) { return CountOf(b) == 4 && ObserverNameAt(b, 3) == "Dee"; }, true);
    Run("observer delete", "observer.bin",
        [&] { return DeleteObserver(&observer, 1); },
        [&](const std::string &b) {
            return b.size() == observers.size() && CountOf(b) == 2 && ObserverNameAt(b, 0) == "Ann" &&
                   ObserverNameAt(b, 1) == "Cy";
        });
    Run("observer update", "observer.bin",
        [&] {
            ObserverRecord r = Observer("Bobby", 60);
            return UpdateObserver(observer, 1, &r);
        },
        [&](const std::string &b) { return CountOf(b) == 3 && ObserverNameAt(b, 1) == "Bobby"; });
}

}  // namespace

namespace {

// A user folder whose stores cannot be opened for writing (the first open,
// "r+b", fails as in a read-only folder): the sites and observers are still
// read, every write says it failed, and the files stay as they were.
TEST_F(StoreFailure, StoresThatCannotBeWrittenAreStillRead) {
    SetFileStepFailure(1);
    int16_t count = -1;
    FILE *f = OpenLocationStore(&count);
    SetFileStepFailure(0);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(count, 3);
    LocationRecord r;
    ASSERT_EQ(ReadLocation(f, 2, &r, nullptr), 1);
    EXPECT_STREQ(r.name, "Gamma");
    const LocationTrailer t = {0, 0, 0};
    EXPECT_EQ(AppendLocation(f, &r, &t), 0);
    std::fclose(f);
    EXPECT_EQ(ReadFileBytes(dir.file("loc.bin")), sites);

    SetFileStepFailure(1);
    f = OpenObserverStore(&count);
    SetFileStepFailure(0);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(count, 3);
    ObserverRecord o;
    ASSERT_EQ(ReadObserver(f, 1, &o), 1);
    EXPECT_STREQ(o.name, "Bob");
    EXPECT_EQ(UpdateObserver(f, 1, &o), 0);
    std::fclose(f);
    EXPECT_EQ(ReadFileBytes(dir.file("observer.bin")), observers);
}

}  // namespace

namespace {

// Damaged values in a stored site or observer are refused where they are
// read: a daylight-saving shift of 9e36 hours once passed every check and
// dated a log entry at Julian date 9e36.
TEST_F(StoreFailure, DamagedValuesAreRefusedWhereTheyAreRead) {
    struct Case {
        const char *what;
        size_t offset;  // within site slot 1
        std::string bytes;
    };
    auto f32 = [](float v) { return std::string(reinterpret_cast<const char *>(&v), 4); };
    auto f64 = [](double v) { return std::string(reinterpret_cast<const char *>(&v), 8); };
    const Case cases[] = {
        {"a daylight-saving shift of 9e36 h by the rule", 122, f32(9e36f) + std::string(10, '\0') + "\x02"},
        {"a time zone of 1e300 h", 106, f64(1e300)},
        {"a latitude that is no number", 8, f64(std::nan(""))},
        {"a daylight-saving mode of 7", 132, std::string("\x07", 1)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::string damaged = sites;
        size_t at = 2 + kLocationSlotSize + c.offset;
        if (c.offset == 122) {
            damaged.replace(at, 4, c.bytes.substr(0, 4));  // the shift
            damaged[2 + kLocationSlotSize + 132] = 2;      // used by the rule
        } else {
            damaged.replace(at, c.bytes.size(), c.bytes);
        }
        Close();
        ASSERT_TRUE(WriteFileBytes(dir.file("loc.bin"), damaged));
        Reopen();
        LocationRecord r;
        EXPECT_EQ(ReadLocation(site, 0, &r, nullptr), 1);
        EXPECT_EQ(ReadLocation(site, 1, &r, nullptr), 0);
        LocationRecord probe = Site("Beta", 0.1);
        EXPECT_NE(FindLocation(site, &probe, nullptr, nullptr), 1);
    }
    std::string damaged = observers;
    double pupil = 1e300;
    damaged.replace(2 + sizeof(ObserverRecord) + 68, 8, std::string(reinterpret_cast<const char *>(&pupil), 8));
    Close();
    ASSERT_TRUE(WriteFileBytes(dir.file("observer.bin"), damaged));
    Reopen();
    ObserverRecord o;
    EXPECT_EQ(ReadObserver(observer, 1, &o), 0);
    EXPECT_EQ(ReadObserver(observer, 2, &o), 1);
}

}  // namespace
