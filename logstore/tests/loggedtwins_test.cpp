// A packaged minor planet or comet that the user also keeps under the same
// designation is logged when the user's object is: IsObjectLogged answers 1
// and hands back the user's object, so the entry is filed under it. The
// packaged name and element files are written for the test.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/safefile.h"
#include "ephem/tests/ephemfixture.h"
#include "logstore/logadd.h"
#include "logstore/loggedobjects.h"
#include "logstore/logobject.h"
#include "logstore/tests/logfixture.h"
#include "minorbodies/cometdb.h"
#include "minorbodies/dbfolders.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"
#include "objects/objectrecord.h"
#include "testutil/testutil.h"

namespace {

const double kJd = 2455033.5;  // 2009 July 21, 0h UT
const double kEpoch = (kJd - 2451545.0) / 36525.0;

int KeepRecord(ObjectRecord *r, double, const LocationRecord *, const DateRecord *, double) {
    r->constellation = 56;
    return 1;
}
int NameRecord(const ObjectRecord *r, char *name, int size) {
    std::snprintf(name, static_cast<size_t>(size), "Obj %d", static_cast<int>(r->index));
    return 1;
}

class LoggedTwins : public ephemtest::GeneratedTables {
protected:
    void SetUp() override {
        ephemtest::GeneratedTables::SetUp();
        if (IsSkipped()) return;
        SetLogObjectServices(KeepRecord, NameRecord);
        // The packaged files: Juno and Vesta at numbers 3 and 4, and Encke
        // (2P) as comet record 0.
        std::string names(4 * 17, '\0');
        std::memcpy(&names[2 * 17], "Juno", 4);
        std::memcpy(&names[3 * 17], "Vesta", 5);
        ASSERT_TRUE(testutil::WriteFileBytes(packaged_.file("mp_names.bin"), names));
        std::string comet(135, '\0');
        const uint16_t number = 2;
        std::memcpy(&comet[0], &number, 2);
        comet[2] = 'P';
        std::memcpy(&comet[3], "Encke", 5);
        ASSERT_TRUE(testutil::WriteFileBytes(packaged_.file("comets.bin"), comet));
        SetMinorBodyDatabaseFolders(packaged_.path().c_str(), packaged_.path().c_str());
        // The user's own Vesta and Encke.
        int32_t count = 0;
        FILE *f = OpenUserMinorPlanetFile(&count);
        ASSERT_NE(f, nullptr);
        MinorPlanetRecord p;
        ASSERT_EQ(BuildMinorPlanetRecord(&p, 4, "Vesta", 0, kEpoch, 20.0, 0, 2.36, 0, 0.089, 151.2, 103.8, 7.14,
                                         3.2, 0.32, ""),
                  1);
        ASSERT_EQ(AddUserMinorPlanetElements(f, &p, &count), 1);
        int32_t highest = 0;
        ASSERT_EQ(SortUserMinorPlanetFile(&f, count, &highest), 1);
        MinorPlanetRecord found;
        vesta_ = FindUserMinorPlanetId(f, "Vesta", nullptr, &found);
        SafeClose(f);
        f = OpenUserCometFile(nullptr);
        ASSERT_NE(f, nullptr);
        CometRecord c;
        BuildCometRecord(&c, 2, 'P', "Encke", "", kEpoch, kEpoch, 0, 0, 0, 0.336, 0.848, 186.5, 334.6, 11.8, 11.5,
                         6.0, 0.001, 5, "");
        ASSERT_EQ(AddUserCometElements(&f, &c, 1, 1), 1);
        const uint16_t periodic = 2;
        CometRecord r;
        encke_ = FindUserCometId(f, nullptr, nullptr, &periodic, &r);
        SafeClose(f);
        ASSERT_GT(vesta_, 0);
        ASSERT_GT(encke_, 0);
        site_ = ephemtest::GeocentreSite();
        date_ = ephemtest::DateAtTT(kJd, 66.0);
    }
    void TearDown() override {
        SetLogObjectServices(nullptr, nullptr);
        ephemtest::GeneratedTables::TearDown();
    }

    int Logged(int objectClass, int32_t index, uint32_t bits, ObjectRecord *o) {
        ClearObjectRecord(o);
        o->objectClass = static_cast<uint8_t>(objectClass);
        o->index = index;
        o->categoryBits = bits;
        LoggedKeySet set;
        EXPECT_EQ(LoadLoggedObjectKeys(&set), 1);
        int answer = IsObjectLogged(&set, &site_, &date_, o);
        FreeLoggedObjectKeys(&set);
        return answer;
    }

    logtest::Store store_;  // the user folder
    testutil::TempDir packaged_;
    int32_t vesta_ = 0, encke_ = 0;
    LocationRecord site_;
    DateRecord date_;
};

TEST_F(LoggedTwins, APackagedBodyIsLoggedThroughTheUsersObject) {
    ObjectRecord o;
    // Nothing logged yet.
    EXPECT_EQ(Logged(kClassMinorPlanet, 4, 0x8, &o), 0);
    EXPECT_EQ(Logged(kClassComet, 0, 0x4, &o), 0);
    // The user's Vesta and Encke observed.
    std::unique_ptr<LogEntry> e = logtest::MakeEntry(kClassUserMinorPlanet, vesta_, 0x8, kJd);
    ASSERT_GE(AddLogEntry(e.get(), nullptr), 0);
    e = logtest::MakeEntry(kClassUserComet, encke_, 0x4, kJd);
    ASSERT_GE(AddLogEntry(e.get(), nullptr), 0);

    struct Case {
        int objectClass;
        int32_t index;
        uint32_t bits;
        int twinClass;
        int32_t twin;
    } cases[] = {
        {kClassMinorPlanet, 4, 0x8, kClassUserMinorPlanet, vesta_},
        {kClassComet, 0, 0x4, kClassUserComet, encke_},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.objectClass);
        ASSERT_EQ(Logged(c.objectClass, c.index, c.bits, &o), 1);
        EXPECT_EQ(+o.objectClass, c.twinClass);
        EXPECT_EQ(+o.index, c.twin);
    }
    // Juno has no twin; a number beyond the name file, or no comet record,
    // is a failed lookup.
    EXPECT_EQ(Logged(kClassMinorPlanet, 3, 0x8, &o), 0);
    EXPECT_EQ(+o.objectClass, kClassMinorPlanet);
    EXPECT_EQ(Logged(kClassMinorPlanet, 9, 0x8, &o), -1);
    EXPECT_EQ(Logged(kClassComet, 5, 0x4, &o), -1);
}

}  // namespace
