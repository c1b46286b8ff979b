// Entry files and class folders: byte layout against hand-written offsets,
// notes and conditions round trips, damaged lengths, the folder table.
#include "logstore/logentryfile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "core/safefile.h"
#include "core/versionstamp.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"
#include "logstore/logpaths.h"
#include "logstore/tests/logfixture.h"
#include "objects/objectrecord.h"

using namespace logtest;

TEST(LogEntryFile, FillAndWriteGiveTheStoredLayout) {
    Store store;
    std::unique_ptr<LogEntry> e(new LogEntry);
    std::memset(e.get(), 0xAB, sizeof(LogEntry));  // stale bytes must not survive
    LocationRecord site = MakeSite("Hilltop", 2.0);
    LocationTrailer trailer = {2, 1, 0};
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.julianDate = 2455033.5625;
    ObserverRecord observer;
    std::memset(&observer, 0, sizeof observer);
    SetText(observer.name, sizeof observer.name, "Bea");
    std::unique_ptr<InstrumentRecord> scope(new InstrumentRecord);
    std::memset(scope.get(), 0, sizeof(InstrumentRecord));
    SetText(scope->name, sizeof scope->name, "Newt 8");
    ObjectRecord object;
    ClearObjectRecord(&object);
    object.objectClass = 6;
    object.index = 31;
    object.categoryBits = 0x100;
    ASSERT_EQ(FillLogEntry(e.get(), &site, &trailer, &date, &observer, scope.get(), &object,
                           "clear, steady"), 1);
    EXPECT_EQ(FillLogEntry(nullptr, &site, &trailer, &date, &observer, scope.get(), &object, ""), 0);

    std::string path = store.dir.file("e.bin");
    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    ASSERT_EQ(WriteLogEntryFile(f, e.get(), "Spiral arms"), 1);
    std::fclose(f);
    std::string b = testutil::ReadFileBytes(path);
    ASSERT_EQ(b.size(), 330625u + 12u);
    EXPECT_EQ(b.substr(0, 5), std::string("\0\0\x03\x01" "f", 5));
    VersionStamp stamp;
    std::memcpy(&stamp, b.data(), 5);
    EXPECT_EQ(GetStampVersion(&stamp), 3106);
    EXPECT_EQ(F64(b, 5), 2455033.5625);
    EXPECT_EQ(std::string(b.data() + 146), "Hilltop");
    EXPECT_EQ(b.substr(179, 3), std::string("\x02\x01\x00", 3));
    EXPECT_EQ(b[182], 6);
    EXPECT_EQ(I32(b, 183), 31);
    EXPECT_EQ(I32(b, 187), 0x100);
    EXPECT_EQ(b[191], 0);  // no name service: designation empty and zeroed
    EXPECT_EQ(std::string(b.data() + 256), "Bea");
    EXPECT_EQ(std::string(b.data() + 330332), "Newt 8");
    EXPECT_EQ(std::string(b.data() + 330492), "clear, steady");
    EXPECT_EQ(b[330492 + 127], 0);
    EXPECT_EQ(b[330620], 0);
    EXPECT_EQ(I32(b, 330621), 12);
    EXPECT_EQ(b.substr(330625), std::string("Spiral arms\0", 12));
}

TEST(LogEntryFile, NotesRoundTrip) {
    Store store;
    struct Case {
        const char *notes;   // null: none
        int32_t length;      // stored
        size_t tail;         // bytes after the entry
    } cases[] = {{nullptr, 1, 0}, {"", 1, 1}, {"Seen at 150x", 13, 13}};
    for (const Case &c : cases) {
        std::unique_ptr<LogEntry> e = MakeEntry(5, 7, 0x10, 2455000.0);
        std::string path = store.dir.file("n.bin");
        FILE *f = std::fopen(path.c_str(), "wb");
        ASSERT_EQ(WriteLogEntryFile(f, e.get(), c.notes), 1);
        std::fclose(f);
        std::string b = testutil::ReadFileBytes(path);
        EXPECT_EQ(I32(b, 330621), c.length);
        EXPECT_EQ(b.size(), 330625u + c.tail);
        f = std::fopen(path.c_str(), "rb");
        std::unique_ptr<LogEntry> back(new LogEntry);
        char *notes = nullptr;
        ASSERT_EQ(ReadLogEntryFile(f, back.get(), &notes, 0, 0), 1);
        std::fclose(f);
        ASSERT_TRUE(notes);
        EXPECT_STREQ(notes, c.notes ? c.notes : "");
        delete[] notes;
    }
}

TEST(LogEntryFile, DamagedAndTruncatedNotes) {
    Store store;
    std::unique_ptr<LogEntry> e = MakeEntry(5, 7, 0x10, 2455000.0);
    std::string path = store.dir.file("t.bin");
    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_EQ(WriteLogEntryFile(f, e.get(), "A long note about the night"), 1);
    std::fclose(f);
    std::string full = testutil::ReadFileBytes(path);
    std::unique_ptr<LogEntry> back(new LogEntry);
    char *notes = nullptr;

    // Cut short after 6 note bytes: the text kept, its length corrected.
    testutil::WriteFileBytes(path, full.substr(0, 330625 + 6));
    f = std::fopen(path.c_str(), "rb");
    ASSERT_EQ(ReadLogEntryFile(f, back.get(), &notes, 0, 0), 1);
    std::fclose(f);
    EXPECT_STREQ(notes, "A long");
    EXPECT_EQ(+back->notesLength, 7);
    delete[] notes;

    // Two bytes left: too little to keep, the read fails.
    testutil::WriteFileBytes(path, full.substr(0, 330625 + 2));
    f = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(ReadLogEntryFile(f, back.get(), &notes, 0, 0), 0);
    EXPECT_EQ(notes, nullptr);
    std::fclose(f);

    // A hostile length is bounded by the file, a negative one means no notes.
    for (int32_t length : {0x7fffffff, -5}) {
        std::string bad = full;
        std::memcpy(&bad[330621], &length, 4);
        testutil::WriteFileBytes(path, bad);
        f = std::fopen(path.c_str(), "rb");
        int ok = ReadLogEntryFile(f, back.get(), &notes, 0, 0);
        std::fclose(f);
        EXPECT_EQ(ok, 1) << length;
        ASSERT_TRUE(notes);
        EXPECT_STREQ(notes, length < 0 ? "" : "A long note about the night");
        delete[] notes;
        notes = nullptr;
    }

    // A short record is refused.
    testutil::WriteFileBytes(path, full.substr(0, 1000));
    f = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(ReadLogEntryFile(f, back.get(), nullptr, 0, 0), 0);
    std::fclose(f);
}

TEST(LogEntryFile, TextFieldsReadBackBounded) {
    Store store;
    std::unique_ptr<LogEntry> e = MakeEntry(5, 7, 0x10, 2455000.0);
    std::string conditions(128, 'c');
    std::memcpy(e->conditions, conditions.data(), kLogConditionsSize);  // fills all 128 bytes
    std::memset(e->observer.name, 'o', sizeof e->observer.name);             // no terminator
    std::memset(e->designation, 'd', sizeof e->designation);
    std::string path = store.dir.file("c.bin");
    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_EQ(WriteLogEntryFile(f, e.get(), nullptr), 1);
    std::fclose(f);
    std::string b = testutil::ReadFileBytes(path);
    EXPECT_EQ(b.substr(330492, 128), conditions);
    EXPECT_EQ(I32(b, 330621), 1);
    f = std::fopen(path.c_str(), "rb");
    std::unique_ptr<LogEntry> back(new LogEntry);
    ASSERT_EQ(ReadLogEntryFile(f, back.get(), nullptr, 0, 0), 1);
    std::fclose(f);
    EXPECT_EQ(std::string(back->conditions, strnlen(back->conditions, 128)), conditions);
    EXPECT_EQ(std::strlen(back->observer.name), 63u);
    EXPECT_EQ(std::strlen(back->designation), 64u);
}

TEST(LogEntryFile, UserObjectBlockLiesBetweenEntryAndNotes) {
    Store store;
    // A user deep-sky entry (class 18) as another computer wrote it: the
    // 54-byte object record (type code 9 at offset 49), then the notes.
    std::unique_ptr<LogEntry> e = MakeEntry(18, 4, 0x800, 2455000.0);
    e->notesLength = 4;
    std::string bytes(reinterpret_cast<const char *>(e.get()), sizeof(LogEntry));
    std::string block(54, '\0');
    block[0] = 4;
    block[49] = 9;
    bytes += block + std::string("Hm!\0", 4);
    std::string path = store.dir.file("u.bin");
    testutil::WriteFileBytes(path, bytes);
    FILE *f = std::fopen(path.c_str(), "rb");
    std::unique_ptr<LogEntry> back(new LogEntry);
    char *notes = nullptr;
    ASSERT_EQ(ReadLogEntryFile(f, back.get(), &notes, 0, 0), 1);
    std::fclose(f);
    EXPECT_STREQ(notes, "Hm!");
    EXPECT_EQ(+back->catalogueIndex, 4);
    delete[] notes;

    // Writing such an entry when the user's deep-sky file does not hold the
    // object must fail rather than leave an entry whose block is missing.
    f = std::fopen(path.c_str(), "wb");
    EXPECT_EQ(WriteLogEntryFile(f, e.get(), "Hm!"), 0);
    std::fclose(f);
}

TEST(LogClassFolders, IndexOfCategoryBits) {
    struct Case {
        int32_t bits;
        int folder;
    } cases[] = {{0x1, 0},     {0x2, 1},     {0x4, 2},     {0x8, 3},      {0x10, 4},     {0x20, 4},
                 {0x40, 4},    {0xA0, 4},    {0x100, 5},   {0x10000, 6},  {0x200, 7},    {0x400, 8},
                 {0x800, 9},   {0x20000, 10}, {0x1000, 11}, {0x2000, 12},  {0x33f00, -1}, {0x4000, -1},
                 {0x40000, -1}, {0x80000, -1}, {0x8000, -1}, {0, -1}};
    for (const Case &c : cases) EXPECT_EQ(GetClassFolderIndex(c.bits), c.folder) << std::hex << c.bits;
    EXPECT_EQ(GetClassBitsOfFolder(6), 0x10000);
    EXPECT_EQ(GetClassBitsOfFolder(13), 0);
    EXPECT_EQ(GetClassBitsOfFolder(-1), 0);
}

TEST(LogClassFolders, EnumeratorGivesThirteenNamesThenZeroThenWraps) {
    char name[kLogFolderNameSize];
    // Bring the shared position to the start first.
    while (GetNextClassFolderName(name)) {
    }
    const char *expected[13] = {"constellations", "prime solar system", "comets", "asteroids", "stars",
                                "galaxies", "galaxy groups", "quasars", "planetary nebulae",
                                "bright nebulae", "dark nebulae", "open clusters", "globular clusters"};
    for (const char *want : expected) {
        ASSERT_EQ(GetNextClassFolderName(name), 1);
        EXPECT_STREQ(name, want);
    }
    EXPECT_EQ(GetNextClassFolderName(name), 0);
    ASSERT_EQ(GetNextClassFolderName(name), 1);
    EXPECT_STREQ(name, "constellations");
    EXPECT_EQ(GetClassFolderName(13, name), 0);
}

TEST(LogClassFolders, ObjectFileIsNeverTruncated) {
    Store store;
    int32_t count = -1;
    FILE *f = OpenObjectFile(0x100, 31, 0, &count);
    ASSERT_TRUE(f);
    EXPECT_EQ(count, 0);
    int32_t three = 3;
    std::fseek(f, 0, SEEK_SET);
    std::fwrite(&three, 4, 1, f);
    std::fclose(f);
    EXPECT_TRUE(testutil::PathIsThere(store.log("galaxies/000000031.pix")));
    f = OpenObjectFile(0x100, 31, 1, &count);  // the user object's own file
    ASSERT_TRUE(f);
    std::fclose(f);
    EXPECT_TRUE(testutil::PathIsThere(store.log("galaxies/000000031s.pix")));
    // A count of three rows in a file that holds none is damage: refused, and
    // the file is kept as it is, never made anew.
    count = -1;
    EXPECT_EQ(OpenObjectFile(0x100, 31, 0, &count), nullptr);
    EXPECT_EQ(count, -1);
    EXPECT_EQ(testutil::ReadFileBytes(store.log("galaxies/000000031.pix")), std::string("\x03\0\0\0", 4));
    EXPECT_EQ(OpenObjectFile(0x4000, 1, 0, &count), nullptr);
}

TEST(LogEntryFile, OldEntryReadsBackConverted) {
    Store store;
    // A first-generation entry, by hand: stamp 2.0 at 0-4, Julian date at 5,
    // 132-byte site at 13 (latitude at 8, limit 9.5 at 48, zone at 72, name
    // at 99), trailer at 145, class 148, index 149, bits 153, observer 157,
    // 8,750-byte instrument at 241, conditions 8,991, notes length 9,120.
    std::string old(9124, '\0');
    old[0] = '\x03';
    old[1] = '\xd9';
    old[2] = 2;
    double jd = 2450000.25, lat = 0.8, limit = 9.5, zone = -5.0;
    std::memcpy(&old[5], &jd, 8);
    std::memcpy(&old[13 + 8], &lat, 8);
    std::memcpy(&old[13 + 48], &limit, 8);
    std::memcpy(&old[13 + 72], &zone, 8);
    std::memcpy(&old[13 + 99], "Old Field", 9);
    old[145] = 1;
    old[148] = 6;
    int32_t index = 224, bits = 0x100, notes = 4;
    std::memcpy(&old[149], &index, 4);
    std::memcpy(&old[153], &bits, 4);
    std::memcpy(&old[157], "Carl", 4);
    std::memcpy(&old[8991], "hazy", 4);
    std::memcpy(&old[9120], &notes, 4);
    std::string path = store.dir.file("old.bin");
    testutil::WriteFileBytes(path, old + std::string("M31\0", 4));
    FILE *f = std::fopen(path.c_str(), "rb");
    std::unique_ptr<LogEntry> e(new LogEntry);
    char *text = nullptr;
    ASSERT_EQ(ReadLogEntryFile(f, e.get(), &text, 1, 1), 1);
    std::fclose(f);
    EXPECT_STREQ(text, "M31");
    delete[] text;
    EXPECT_EQ(+e->julianDate, jd);
    EXPECT_EQ(+e->site.latitude, lat);
    EXPECT_EQ(+e->site.nakedEyeLimit, 8.0);
    EXPECT_EQ(+e->site.timeZone, zone);
    EXPECT_STREQ(e->site.name, "Old Field");
    EXPECT_EQ(+e->trailer.namedZone, 1);
    EXPECT_EQ(+e->objectClass, 6);
    EXPECT_EQ(+e->catalogueIndex, 224);
    EXPECT_EQ(+e->categoryBits, 0x100u);
    EXPECT_STREQ(e->observer.name, "Carl");
    EXPECT_STREQ(e->conditions, "hazy");
    EXPECT_EQ(e->designation[0], 0);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(e.get()) + 2, 3), "\x03\x01" "f");
}

// A user comet's and a user minor planet's entry written on one computer and
// read (merging) into another's empty stores: the object arrives with every
// element set, under the id it gets there.
TEST(LogEntryFile, UserCometAndMinorPlanetTravelWithTheirElements) {
    const double epoch = (2446470.5 - 2451545.0) / 36525.0;
    std::string written[2];
    CometRecord sets[2];
    MinorPlanetRecord planet;
    {
        Store here;
        // Two other comets first, so the comet's id here is 3.
        FILE *c = OpenUserCometFile(nullptr);
        ASSERT_TRUE(c);
        const char *designations[] = {"2001 A1", "2002 B2"};
        for (const char *d : designations) {
            CometRecord other;
            ASSERT_EQ(BuildCometRecord(&other, 0, 'C', "Other", d, epoch, epoch, 0, 0, 0, 1.0, 0.99, 1, 2, 3, 8, 4,
                                       0.002, 0, ""),
                      1);
            ASSERT_EQ(AddUserCometElements(&c, &other, 1, 1), 1);
        }
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(BuildCometRecord(&sets[i], 1, 'P', "Halley", "", epoch + i * 27000.0 / 36525.0,
                                       epoch + i * 27000.0 / 36525.0, 0, 0, 0, 0.587, 0.967, 111.3, 58.4, 162.3,
                                       5.5, 4.0, 0.002, 3, "MPC"),
                      1);
            ASSERT_EQ(AddUserCometElements(&c, &sets[i], 1, 1), 1);
        }
        SafeClose(c);
        int32_t count = 0;
        FILE *m = OpenUserMinorPlanetFile(&count);
        ASSERT_TRUE(m);
        ASSERT_EQ(BuildMinorPlanetRecord(&planet, 433, "Eros", 0, epoch, 271, 0, 1.458, 0, 0.2229, 178.9, 304.3,
                                         10.8, 10.4, 0.46, "MPC"),
                  1);
        ASSERT_EQ(AddUserMinorPlanetElements(m, &planet, &count), 1);
        int32_t highest = 0;
        ASSERT_EQ(SortUserMinorPlanetFile(&m, count, &highest), 1);
        SafeClose(m);
        struct {
            int objectClass;
            int32_t id;
            uint32_t bits;
        } objects[2] = {{13, 3, 0x4}, {14, 1, 0x8}};
        for (int i = 0; i < 2; ++i) {
            std::unique_ptr<LogEntry> e = MakeEntry(objects[i].objectClass, objects[i].id, objects[i].bits, 2446480.5);
            std::string path = here.dir.file("entry.bin");
            FILE *f = std::fopen(path.c_str(), "wb");
            ASSERT_TRUE(f);
            ASSERT_EQ(WriteLogEntryFile(f, e.get(), "seen"), 1);
            std::fclose(f);
            written[i] = testutil::ReadFileBytes(path);
        }
    }
    // The comet block: the count 2 and two 135-byte sets behind the entry.
    ASSERT_EQ(written[0].size(), sizeof(LogEntry) + 2 + 2 * 135 + 5);
    Store there;
    for (int i = 0; i < 2; ++i) {
        std::string path = there.dir.file("entry.bin");
        ASSERT_TRUE(testutil::WriteFileBytes(path, written[i]));
        FILE *f = std::fopen(path.c_str(), "r+b");
        ASSERT_TRUE(f);
        std::unique_ptr<LogEntry> back(new LogEntry);
        char *notes = nullptr;
        ASSERT_EQ(ReadLogEntryFile(f, back.get(), &notes, 1, 1), 1);
        std::fclose(f);
        EXPECT_STREQ(notes, "seen");
        delete[] notes;
        EXPECT_EQ(+back->catalogueIndex, 1) << "the id the object has here";
    }
    int32_t count = 0;
    FILE *c = OpenUserCometFile(&count);
    ASSERT_TRUE(c);
    ASSERT_EQ(count, 2);
    for (int i = 0; i < 2; ++i) {
        CometRecord r;
        ASSERT_EQ(ReadUserCometRecord(c, &r, i), 1);
        const CometRecord &want = sets[1 - i];  // newest perihelion first
        EXPECT_EQ(+r.objectId, 1);
        EXPECT_STREQ(r.name, "Halley");
        EXPECT_EQ(+r.number, 1);
        EXPECT_DOUBLE_EQ(+r.perihelionTime, +want.perihelionTime);
        EXPECT_FLOAT_EQ(+r.q, +want.q);
        EXPECT_FLOAT_EQ(+r.e, +want.e);
        EXPECT_FLOAT_EQ(+r.inclination, +want.inclination);
        EXPECT_EQ(+r.condensation, 3);
    }
    SafeClose(c);
    FILE *m = OpenUserMinorPlanetFile(&count);
    ASSERT_TRUE(m);
    ASSERT_EQ(count, 1);
    MinorPlanetRecord r;
    ASSERT_EQ(ReadUserMinorPlanetRecord(m, &r, 0), 1);
    EXPECT_EQ(+r.number, 433);
    EXPECT_EQ(+r.objectId, 1);
    EXPECT_DOUBLE_EQ(+r.a, +planet.a);
    SafeClose(m);
}
