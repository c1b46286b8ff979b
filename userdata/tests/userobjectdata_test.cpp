// The user-object block: round trips through the user catalogues, exact
// consumption of every class's block, refusals and hostile counts.
#include "userdata/userobjectdata.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/safefile.h"
#include "core/userfolder.h"
#include "minorbodies/usercatalogs.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"
#include "testutil/testutil.h"

namespace {

struct UserFolder {
    testutil::TempDir dir;
    UserFolder() { SetUserDataFolder(dir.path().c_str()); }
    ~UserFolder() { SetUserDataFolder(""); }
};

UserStarRecord Star(const char *name, int32_t ra) {
    UserStarRecord r;
    std::memset(&r, 0, sizeof r);
    r.rightAscension = ra;
    r.declination = 77;
    r.magnitude = 512;
    std::strncpy(r.name, name, 32);
    return r;
}

// Writes the block for (class, id) behind a 3-byte marker and "END" after it.
std::string WriteBlock(const std::string &path, int cls, int32_t id, int *result) {
    FILE *f = std::fopen(path.c_str(), "wb");
    std::fwrite("BEG", 3, 1, f);
    *result = WriteUserObjectData(f, cls, id);
    std::fwrite("END", 3, 1, f);
    std::fclose(f);
    return testutil::ReadFileBytes(path);
}

}  // namespace

TEST(UserObjectData, StarRoundTripAndMerge) {
    UserFolder folder;
    int32_t count = 0;
    FILE *store = OpenUserStarFile(&count);
    ASSERT_TRUE(store);
    UserStarRecord a = Star("Alpha X", 1000), b = Star("Beta Y", 2000);
    ASSERT_EQ(AppendUserStarRecord(store, &a), 1);
    ASSERT_EQ(AppendUserStarRecord(store, &b), 1);
    std::fclose(store);
    EXPECT_EQ(+b.id, 2);

    std::string path = folder.dir.file("block.bin");
    int result = 0;
    std::string bytes = WriteBlock(path, 12, 2, &result);
    ASSERT_EQ(result, 1);
    ASSERT_EQ(bytes.size(), 3u + 47u + 3u);
    int32_t id;
    std::memcpy(&id, bytes.data() + 3, 4);
    EXPECT_EQ(id, 2);
    EXPECT_EQ(std::string(bytes.data() + 3 + 14), "Beta Y");  // name at record offset 14
    EXPECT_EQ(bytes.substr(50), "END");

    // Merge 0: consumed, outputs and the store untouched.
    std::string storeBefore = testutil::ReadFileBytes(folder.dir.file("stellar.bin"));
    FILE *f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 3, SEEK_SET);
    int32_t local = -1;
    ASSERT_EQ(ReadUserObjectData(f, 12, &local, nullptr, 3106, 0, 0), 1);
    EXPECT_EQ(std::ftell(f), 50L);
    EXPECT_EQ(local, -1);
    std::fclose(f);
    EXPECT_EQ(testutil::ReadFileBytes(folder.dir.file("stellar.bin")), storeBefore);

    // Merge 1 on another computer where only "Beta Y" under id 1 exists: the local id is 1.
    UserFolder other;
    store = OpenUserStarFile(&count);
    UserStarRecord local1 = Star("Beta Y", 2000);
    AppendUserStarRecord(store, &local1);
    std::fclose(store);
    f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 3, SEEK_SET);
    ASSERT_EQ(ReadUserObjectData(f, 12, &local, nullptr, 3106, 0, 1), 1);
    EXPECT_EQ(local, 1);
    std::fclose(f);
    // And where it is new: appended under the next id.
    UserFolder empty;
    f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 3, SEEK_SET);
    local = -1;
    ASSERT_EQ(ReadUserObjectData(f, 12, &local, nullptr, 3106, 0, 1), 1);
    EXPECT_EQ(local, 1);
    std::fclose(f);
    EXPECT_EQ(testutil::ReadFileBytes(empty.dir.file("stellar.bin")).size(), 6u + 47u);
}

TEST(UserObjectData, RefusalsAndClassesWithoutBlock) {
    UserFolder folder;
    std::string path = folder.dir.file("block.bin");
    int result = 0;
    // An id not in the file: 0 and nothing written.
    EXPECT_EQ(WriteBlock(path, 12, 9, &result), "BEGEND");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(WriteBlock(path, 18, 1, &result), "BEGEND");
    EXPECT_EQ(result, 0);
    // User comets and minor planets: their stores are not readable yet, so
    // the block holds no element sets (a count of 0 that readers consume).
    EXPECT_EQ(WriteBlock(path, 13, 1, &result), std::string("BEG\0\0END", 8));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(WriteBlock(path, 14, 1, &result), std::string("BEG\0\0\0\0END", 10));
    EXPECT_EQ(result, 1);
    // A catalogue class has no block: success and nothing read.
    EXPECT_EQ(WriteBlock(path, 5, 1, &result), "BEGEND");
    EXPECT_EQ(result, 1);
    FILE *f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 3, SEEK_SET);
    EXPECT_EQ(ReadUserObjectData(f, 5, nullptr, nullptr, 3106, 0, 1), 1);
    EXPECT_EQ(std::ftell(f), 3L);
    std::fclose(f);
}

TEST(UserObjectData, DeepSkyKeepsTheLocalEditUnlessReplacing) {
    UserFolder folder;
    int32_t count = 0;
    FILE *store = OpenUserDeepSkyFile(&count);
    UserDeepSkyRecord mine;
    std::memset(&mine, 0, sizeof mine);
    std::strncpy(mine.name, "My Cloud", 32);
    mine.typeCode = 9;
    mine.magnitude = 800;
    ASSERT_EQ(AppendUserDeepSkyRecord(store, &mine), 1);
    std::fclose(store);
    UserDeepSkyRecord incoming = mine;
    incoming.id = 7;
    incoming.magnitude = 950;  // an older copy
    std::strncpy(incoming.name, "MY CLOUD", 32);
    std::string path = folder.dir.file("ds.bin");
    testutil::WriteFileBytes(path, std::string(reinterpret_cast<const char *>(&incoming), 54));
    for (int option : {0, 1}) {
        FILE *f = std::fopen(path.c_str(), "rb");
        int32_t local = -1, category = 0;
        ASSERT_EQ(ReadUserObjectData(f, 18, &local, &category, 3106, option, 1), 1);
        std::fclose(f);
        EXPECT_EQ(local, 1);
        EXPECT_EQ(category, 0x800);
        store = OpenUserDeepSkyFile(&count);
        UserDeepSkyRecord now;
        ASSERT_EQ(GetUserDeepSkyById(store, 1, &now, nullptr), 1);
        std::fclose(store);
        EXPECT_EQ(+now.magnitude, option ? 950 : 800) << option;
        EXPECT_EQ(count, 1);
    }
}

TEST(UserObjectData, CountedBlocksAreConsumedExactlyAndBounded) {
    UserFolder folder;
    std::string path = folder.dir.file("sets.bin");
    struct Case {
        int cls, version;
        std::string head;
        size_t setSize;
        int sets;
        int ok;
    } cases[] = {
        {13, 3106, std::string("\x03\x00", 2), 135, 3, 1},
        {13, 2900, std::string("\x02\x00", 2), 130, 2, 1},
        {14, 3106, std::string("\x01\x00\x00\x00", 4), 233, 1, 1},
        {14, 2900, std::string("\x02\x00\x00\x00", 4), 116, 2, 1},
        {14, 3106, std::string("\xff\xff\xff\x7f", 4), 233, 1, 0},   // hostile count
        {14, 3106, std::string("\x00\x00\x00\x80", 4), 233, 0, 0},   // negative count
        {13, 3106, std::string("\xff\xff", 2), 135, 2, 0},          // more sets than bytes
    };
    for (const Case &c : cases) {
        std::string bytes = c.head + std::string(c.setSize * static_cast<size_t>(c.sets), 'x') + "NEXT";
        testutil::WriteFileBytes(path, bytes);
        FILE *f = std::fopen(path.c_str(), "rb");
        int32_t local = -1;
        EXPECT_EQ(ReadUserObjectData(f, c.cls, &local, nullptr, c.version, 0, 0), c.ok) << c.cls;
        if (c.ok) {
            char next[5] = {0};
            EXPECT_EQ(std::fread(next, 1, 4, f), 4u);
            EXPECT_STREQ(next, "NEXT");
        }
        EXPECT_EQ(local, -1);
        std::fclose(f);
    }
}

// User comets and minor planets: an id of another computer's files is found
// here by designation, number or name; an old transfer record (116-byte
// minor-planet sets) is merged in the current layout.
TEST(UserObjectData, CometAndMinorPlanetRemapAndOldSets) {
    const double epoch = 0.2;
    testutil::TempDir other;
    UserFolder here;
    auto fill = [&](const std::string &folder, bool extra) {
        SetUserDataFolder(folder.c_str());
        FILE *c = OpenUserCometFile(nullptr);
        CometRecord r;
        if (extra) {
            BuildCometRecord(&r, 0, 'C', "First", "2001 A1", epoch, epoch, 0, 0, 0, 1, 0.9, 1, 2, 3, 5, 4, 0.002, 0, "");
            AddUserCometElements(&c, &r, 1, 1);
        }
        BuildCometRecord(&r, 0, 'C', "Hale-Bopp", "1995 O1", epoch, epoch, 0, 0, 0, 0.9, 0.99, 1, 2, 3, 5, 4, 0.002, 0,
                         "");
        AddUserCometElements(&c, &r, 1, 1);
        SafeClose(c);
        int32_t count = 0;
        FILE *m = OpenUserMinorPlanetFile(&count);
        MinorPlanetRecord p;
        if (extra) {
            BuildMinorPlanetRecord(&p, 1, "Ceres", 0, epoch, 1, 0, 2.5, 0, 0.1, 1, 2, 3, 9, 0.15, "");
            AddUserMinorPlanetElements(m, &p, &count);
        }
        BuildMinorPlanetRecord(&p, 433, "Eros", 0, epoch, 1, 0, 1.458, 0, 0.22, 1, 2, 3, 10, 0.15, "");
        AddUserMinorPlanetElements(m, &p, &count);
        int32_t highest = 0;
        SortUserMinorPlanetFile(&m, count, &highest);
        SafeClose(m);
    };
    fill(other.path(), true);   // there: Hale-Bopp is comet 2, Eros minor planet 2
    fill(here.dir.path(), false);  // here: both are 1
    SetUserDataFolder(here.dir.path().c_str());
    struct Case {
        int cls;
        int32_t there, here;
        int result;
    } cases[] = {{13, 2, 1, 1}, {14, 2, 1, 1}, {13, 1, 1, 0}, {14, 9, 9, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.cls * 100 + c.there);
        int32_t id = c.there;
        EXPECT_EQ(RemapUserObjectId(nullptr, other.path().c_str(), c.cls, &id, 3106), c.result);
        EXPECT_EQ(id, c.result ? c.here : c.there);
    }

    // An old 116-byte set of a new minor planet: merged, sorted, given an id.
    MinorPlanetRecord p;
    ASSERT_EQ(BuildMinorPlanetRecord(&p, 0, "Oldtimer", 0, epoch, 1, 0, 3.0, 0, 0.05, 1, 2, 3, 12, 0.15, ""), 1);
    std::string block(4, '\0');
    block[0] = 1;
    std::string old(116, '\0');
    std::memcpy(&old[0], &p, 101);
    std::memcpy(&old[105], "OLD", 3);
    std::string path = here.dir.file("old.bin");
    testutil::WriteFileBytes(path, block + old + "NEXT");
    FILE *f = std::fopen(path.c_str(), "rb");
    ASSERT_TRUE(f);
    int32_t local = -1;
    ASSERT_EQ(ReadUserObjectData(f, 14, &local, nullptr, 2900, 0, 1), 1);
    char next[5] = {0};
    EXPECT_EQ(std::fread(next, 1, 4, f), 4u);
    EXPECT_STREQ(next, "NEXT");
    std::fclose(f);
    int32_t count = 0;
    FILE *m = OpenUserMinorPlanetFile(&count);
    ASSERT_TRUE(m);
    EXPECT_EQ(count, 2);
    MinorPlanetRecord back;
    int32_t index = 0;
    ASSERT_EQ(ReadUserMinorPlanetById(m, local, &back, &index), 1);
    EXPECT_STREQ(back.name, "Oldtimer");
    EXPECT_STREQ(back.source, "OLD");
    SafeClose(m);
}
