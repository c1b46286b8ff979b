// Tests of the observer store and record: the stored bytes at their offsets,
// the lookup by name (case, tolerances, copy-out), the record initialiser and
// pupil model, experience levels and texts, the default observer, and the
// backup copy.
#include "sites/observerstore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "core/userfolder.h"
#include "testutil/testutil.h"

namespace {

using testutil::ReadFileBytes;
using testutil::WriteFileBytes;

ObserverRecord Observer(const char *name, int age, double pupil, double experience) {
    ObserverRecord r;
    std::memset(&r, 0xAB, sizeof r);
    EXPECT_EQ(InitObserverRecord(&r, name, age, pupil, experience), 1);
    return r;
}

double DoubleAt(const std::string &bytes, size_t offset) {
    double d = 0;
    std::memcpy(&d, bytes.data() + offset, 8);
    return d;
}

int32_t Int32At(const std::string &bytes, size_t offset) {
    int32_t v = 0;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

class ObserverStore : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataFolder(dir.path().c_str()); }
    void TearDown() override {
        if (f) std::fclose(f);
        SetUserDataFolder("");
    }
    // Opens observer.bin and appends the observers.
    void Fill(std::initializer_list<ObserverRecord> observers) {
        int16_t count = -1;
        f = OpenObserverStore(&count);
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(count, 0);
        for (const ObserverRecord &o : observers) ASSERT_EQ(AppendObserver(f, &o), 1);
    }
    std::string StoreBytes() const { return ReadFileBytes(dir.file("observer.bin")); }

    testutil::TempDir dir;
    FILE *f = nullptr;
};

TEST_F(ObserverStore, RecordsLieAtTheirOffsets) {
    Fill({Observer("Alice", 35, 6.0, 0.75), Observer("Bob", 61, 5.25, 0.25)});
    std::string b = StoreBytes();
    ASSERT_EQ(b.size(), 2u + 2u * 84u);
    EXPECT_EQ(b.substr(0, 2), std::string("\x02\x00", 2));
    // Observer 1 at 2 + 84: name, then age @64, pupil @68, experience @76.
    EXPECT_EQ(b.substr(86, 4), std::string("Bob\0", 4));
    EXPECT_EQ(b.substr(90, 60), std::string(60, '\0'));  // no stale bytes behind the name
    EXPECT_EQ(Int32At(b, 86 + 64), 61);
    EXPECT_EQ(DoubleAt(b, 86 + 68), 5.25);
    EXPECT_EQ(DoubleAt(b, 86 + 76), 0.25);
    EXPECT_EQ(Int32At(b, 2 + 64), 35);
    EXPECT_EQ(DoubleAt(b, 2 + 76), 0.75);

    // A hand-made record with a name that fills all 64 bytes reads back
    // terminated at its last byte.
    std::string hand = std::string("\x01\x00", 2) + std::string(64, 'N');
    int32_t age = 50;
    double pupil = 5.5, experience = 1.0;
    hand.append((const char *)&age, 4).append((const char *)&pupil, 8);
    hand.append((const char *)&experience, 8);
    ASSERT_TRUE(WriteFileBytes(dir.file("other.bin"), hand));
    int16_t count = 0;
    FILE *other = OpenObserverFile(dir.file("other.bin").c_str(), &count);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(count, 1);
    ObserverRecord r;
    ASSERT_EQ(ReadObserver(other, 0, &r), 1);
    std::fclose(other);
    EXPECT_EQ(std::string(r.name), std::string(63, 'N'));
    EXPECT_EQ(+r.age, 50);
    EXPECT_EQ(+r.pupilDiameter, 5.5);
}

TEST_F(ObserverStore, FindMatchesNamesIgnoringCaseWithinTolerances) {
    Fill({Observer("Carol", 30, 7.0, 0.2), Observer("Alice", 35, 6.0, 0.51),
          Observer("ALICE", 35, 6.0, 0.5)});
    struct Case {
        const char *name;
        double pupil, experience;
        int answer;
        int16_t index;
    } cases[] = {
        {"alice", 6.0, 0.505, 1, 1},   // the first Alice decides
        {"Alice", 6.0, 0.5, 2, 1},     // 0.01 apart: different
        {"ALICE", 6.0, 0.515, 1, 1},
        {"alice", 6.009, 0.51, 1, 1},
        {"alice", 6.011, 0.51, 2, 1},  // pupil 0.011 apart
        {"carol", 7.0, 0.2, 1, 0},
        {"Dave", 6.0, 0.5, 0, 3},      // absent: the number of records read
        {"", 6.0, 0.5, 0, 0},
        {"Alic", 6.0, 0.51, 0, 3},
    };
    for (const Case &c : cases) {
        ObserverRecord r = Observer(c.name, 20, c.pupil, c.experience);
        int16_t index = -1;
        EXPECT_EQ(FindObserver(f, &r, &index), c.answer) << c.name << " " << c.experience;
        EXPECT_EQ(index, c.index) << c.name;
        if (c.answer == 1) {
            // The stored record replaces the caller's, name spelled as stored.
            EXPECT_STREQ(r.name, c.index == 0 ? "Carol" : "Alice");
            EXPECT_EQ(+r.age, c.index == 0 ? 30 : 35);
        } else {
            EXPECT_STREQ(r.name, c.name);  // left alone
            EXPECT_EQ(+r.age, 20);
        }
    }
    // A caller's record whose name fills all 64 bytes is not read beyond them.
    ObserverRecord longName = Observer("x", 1, 6.0, 0.5);
    std::memset(longName.name, 'A', sizeof longName.name);
    EXPECT_EQ(FindObserver(f, &longName, nullptr), 0);
}

TEST_F(ObserverStore, AppendReadUpdateDeleteAndTheStaleTail) {
    Fill({Observer("A", 1, 6.0, 0.1), Observer("B", 2, 6.0, 0.2), Observer("C", 3, 6.0, 0.3)});
    const size_t length = StoreBytes().size();
    ObserverRecord r;
    EXPECT_EQ(ReadObserver(f, 3, &r), 0);
    EXPECT_EQ(ReadObserver(f, -1, &r), 0);
    EXPECT_EQ(DeleteObserver(&f, -1), 0);
    ObserverRecord z = Observer("Z", 9, 6.0, 1.0);
    EXPECT_EQ(UpdateObserver(f, 3, &z), 0);
    EXPECT_EQ(UpdateObserver(f, -1, &z), 0);

    ASSERT_EQ(DeleteObserver(&f, 0), 1);
    std::string b = StoreBytes();
    EXPECT_EQ(b.size(), length);
    EXPECT_EQ(b.substr(0, 2), std::string("\x02\x00", 2));
    EXPECT_EQ(b[2], 'B');
    EXPECT_EQ(b[2 + 84], 'C');
    EXPECT_EQ(b[2 + 168], 'C');  // stale copy of the old last record
    EXPECT_EQ(ReadObserver(f, 2, &r), 0);

    ASSERT_EQ(UpdateObserver(f, 1, &z), 1);
    ASSERT_EQ(ReadObserver(f, 1, &r), 1);
    EXPECT_STREQ(r.name, "Z");
    ASSERT_EQ(AppendObserver(f, &z), 1);  // reuses the stale slot
    EXPECT_EQ(StoreBytes().size(), length);
    EXPECT_EQ(StoreBytes()[2 + 168], 'Z');

    // Reading names from the current position, as the dialogs' lists do.
    ASSERT_EQ(std::fseek(f, 2, SEEK_SET), 0);
    char name[64];
    const char *expected[] = {"B", "Z", "Z"};
    for (const char *e : expected) {
        ASSERT_EQ(ReadNextObserver(f, name), 1);
        EXPECT_STREQ(name, e);
    }
    EXPECT_EQ(ReadNextObserver(f, name), 0);  // end of file
}

TEST_F(ObserverStore, DefaultObserverIsNotWrittenToTheStore) {
    ObserverRecord r;
    LoadDefaultObserver(&r);
    EXPECT_STREQ(r.name, "Default Observer");
    EXPECT_EQ(+r.age, 40);
    EXPECT_NEAR(r.pupilDiameter, 6.4618, 5e-5);
    EXPECT_EQ(+r.experience, 0.5);
    EXPECT_EQ(StoreBytes(), std::string("\x00\x00", 2));  // created empty

    Fill({Observer("Eve", 25, 7.0, 1.0)});
    std::fclose(f);
    f = nullptr;
    LoadDefaultObserver(&r);
    EXPECT_STREQ(r.name, "Eve");
}

// A report names only observers of the store: the one of the same name (its
// stored values win), else the first; an empty store leaves no name.
TEST_F(ObserverStore, UseStoredObserverNamesOnlyStoredObservers) {
    ObserverRecord r = Observer("Default Observer", 40, 0.0, 0.5);
    EXPECT_EQ(UseStoredObserver(&r), 0);
    EXPECT_STREQ(r.name, "");
    EXPECT_NEAR(r.pupilDiameter, 6.4618, 5e-5);  // values kept for the limits
    EXPECT_EQ(+r.experience, 0.5);

    Fill({Observer("Eve", 25, 7.0, 1.0), Observer("Bob", 60, 5.0, 0.25)});
    std::fclose(f);
    f = nullptr;
    struct Case {
        const char *name;
        double pupil;
        const char *shown;
        double shownPupil;
    } cases[] = {
        {"Default Observer", 6.46, "Eve", 7.0},  // not stored: the first one
        {"bob", 5.0, "Bob", 5.0},                // same name, any case
        {"Bob", 6.0, "Bob", 5.0},                // same name, other values
        {"", 6.0, "Eve", 7.0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ObserverRecord o = Observer(c.name, 40, c.pupil, 0.5);
        EXPECT_EQ(UseStoredObserver(&o), 1);
        EXPECT_STREQ(o.name, c.shown);
        EXPECT_EQ(+o.pupilDiameter, c.shownPupil);
    }
}

TEST_F(ObserverStore, BackupAndRestoreRoundTrip) {
    Fill({Observer("A", 1, 6.0, 0.1), Observer("B", 2, 6.0, 0.2)});
    ASSERT_EQ(DeleteObserver(&f, 1), 1);  // leaves a stale record
    std::fclose(f);
    f = nullptr;
    std::string before = StoreBytes();
    ASSERT_EQ(BackupObserverFile(), 1);
    EXPECT_EQ(ReadFileBytes(dir.file("observer.bak")), before.substr(0, 2 + 84));

    int16_t count = 0;
    f = OpenObserverStore(&count);
    ObserverRecord c = Observer("C", 3, 6.0, 0.3);
    ASSERT_EQ(AppendObserver(f, &c), 1);
    std::fclose(f);
    f = nullptr;
    ASSERT_EQ(RestoreObserverFile(), 1);
    EXPECT_EQ(StoreBytes(), before.substr(0, 2 + 84));

    // A backup cut short: the restore fails and the store is left alone.
    std::string bak = ReadFileBytes(dir.file("observer.bak"));
    ASSERT_TRUE(WriteFileBytes(dir.file("observer.bak"), bak.substr(0, 50)));
    EXPECT_EQ(RestoreObserverFile(), 0);
    EXPECT_EQ(StoreBytes(), before.substr(0, 2 + 84));
}

TEST(ObserverRecordInit, PupilFromAgeAndTruncatedName) {
    ObserverRecord r;
    EXPECT_EQ(InitObserverRecord(nullptr, "x", 1, 1.0, 1.0), 0);
    ASSERT_EQ(InitObserverRecord(&r, "Grace", 40, 0.0, 0.5), 1);
    EXPECT_NEAR(r.pupilDiameter, 6.4618, 5e-5);
    ASSERT_EQ(InitObserverRecord(&r, "Grace", 40, 5.0, 0.5), 1);
    EXPECT_EQ(+r.pupilDiameter, 5.0);
    // Hand-computed: 7 exp(-0.5 (age/100)^2) mm.
    struct {
        double age, pupil;
    } ages[] = {{0, 7.0}, {20, 6.86139}, {40, 6.46181}, {60, 5.84689}};
    for (const auto &a : ages) EXPECT_NEAR(ComputePupilForAge(a.age), a.pupil, 5e-6) << a.age;

    std::string longName(80, 'q');
    std::memset(&r, 0xAB, sizeof r);
    ASSERT_EQ(InitObserverRecord(&r, longName.c_str(), 30, 6.0, 0.5), 1);
    EXPECT_EQ(std::string(r.name), std::string(63, 'q'));
    EXPECT_EQ(r.name[63], '\0');
    ASSERT_EQ(InitObserverRecord(&r, "Hal", 30, 6.0, 0.5), 1);
    EXPECT_EQ(std::string(r.name, sizeof r.name), std::string("Hal") + std::string(61, '\0'));
}

TEST(ObserverRecordText, ExperienceLevelsAndDescriptions) {
    struct Case {
        double experience;
        int level;
        const char *name;
    } cases[] = {
        {0.0, 0, "Novice"},
        {0.1, 0, "Novice"},
        {0.125, 1, "Some experience"},  // a half goes up
        {0.3, 1, "Some experience"},
        {0.5, 2, "Intermediate"},
        {0.625, 3, "Very experienced"},
        {0.8, 3, "Very experienced"},
        {0.9, 4, "Expert"},
        {1.0, 4, "Expert"},
        {1.3, 4, "Expert"},  // out of range in a file: held at the top level
        {-0.4, 0, "Novice"},
        {std::numeric_limits<double>::quiet_NaN(), 0, "Novice"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(GetExperienceLevel(c.experience), c.level) << c.experience;
        EXPECT_STREQ(GetExperienceName(GetExperienceLevel(c.experience)), c.name);
    }
    EXPECT_STREQ(GetExperienceName(-1), "Novice");
    EXPECT_STREQ(GetExperienceName(5), "Expert");

    char text[128];
    ObserverRecord r = Observer("Ivy", 40, 0.0, 0.5);
    EXPECT_STREQ(DescribeObserver(&r, text, sizeof text), "Intermediate observer, 6mm pupils");
    r = Observer("Ivy", 40, 7.6, 0.95);
    EXPECT_STREQ(DescribeObserver(&r, text, sizeof text), "Expert observer, 8mm pupils");
    // A corrupt pupil from a file cannot overrun the buffer.
    r.pupilDiameter = 1e300;
    char small[40];
    DescribeObserver(&r, small, sizeof small);
    EXPECT_EQ(std::strlen(small), sizeof small - 1);
}

}  // namespace
