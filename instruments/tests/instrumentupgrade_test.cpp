// Older instrument layouts into the current record, with fixtures written at
// the old byte offsets and results read at the current ones: the 8,750-byte
// telescope, the 139,206-byte one with its cameras and filters, damaged
// counts, the whole-file upgrade with each step failed; the filter pool; and
// the camera pool upgrades that leave a current pool (and the dialogs' undo
// copy) alone.
#include "instruments/instrumentupgrade.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/safefile.h"
#include "core/userfolder.h"
#include "instruments/filterpool.h"
#include "instruments/poolupgrade.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

namespace {

const size_t kBlock = 31;        // the main optics block in the current record
const size_t kRecordSize = 330152;

template <typename T>
void Put(std::string &b, size_t at, T v) {
    std::memcpy(&b[at], &v, sizeof v);
}
void PutText(std::string &b, size_t at, const char *t) { std::memcpy(&b[at], t, std::strlen(t)); }
template <typename T>
T Get(const std::string &b, size_t at) {
    T v;
    std::memcpy(&v, &b[at], sizeof v);
    return v;
}

// The head and the front of the main block, the same in the old layouts.
void PutHeadAndFront(std::string &b, uint8_t eyepieces) {
    Put<uint16_t>(b, 0, 5);       // id
    b[2] = 1;                     // one optics block
    b[4] = 0;                     // telescope
    Put<float>(b, 6, 0.01f);      // first ring
    b[30] = 1;                    // default eyepiece
    b[31 + 0] = 2;                // reflector
    Put<double>(b, 31 + 1, 254.0);
    Put<double>(b, 31 + 9, 1200.0);
    Put<double>(b, 31 + 17, 4.724);
    PutText(b, 31 + 35, "Main");
    b[31 + 100] = static_cast<char>(eyepieces);
    for (int j = 0; j < 2; ++j) {  // 60-byte eyepiece entries
        size_t e = 31 + 101 + 60 * static_cast<size_t>(j);
        Put<double>(b, e, 25.0 - 15.0 * j);
        Put<double>(b, e + 8, 0.9);
        b[e + 25] = 7;
        Put<int16_t>(b, e + 26, static_cast<int16_t>(3 + j));
        PutText(b, e + 28, j == 0 ? "Plossl 25" : "Nagler 10");
    }
}

std::string Old8750(uint8_t eyepieces = 2) {
    std::string b(8750, '\0');
    PutHeadAndFront(b, eyepieces);
    Put<double>(b, 31 + 4301, 13.5);   // the three limits
    b[31 + 4325] = 1;                  // current eyepiece
    Put<double>(b, 31 + 4326, 48.0);   // magnification
    Put<double>(b, 31 + 4334, 0.01);   // true field
    b[31 + 4342] = 9;
    b[8717] = 1;                       // mounting
    PutText(b, 8718, "Dob 10");
    return b;
}

std::string Old139206(int32_t cameras = 1, int32_t filters = 2) {
    std::string b(139206, '\0');
    PutHeadAndFront(b, 1);
    const size_t block = 31;
    Put<int32_t>(b, block + 4301, cameras);
    const size_t cam = block + 4305;   // camera 0, 5,434 bytes
    Put<double>(b, cam + 0, 12.5);     // read noise
    Put<double>(b, cam + 24, 7.6);     // sensor width
    Put<double>(b, cam + 32, 5.1);     // sensor height
    Put<int32_t>(b, cam + 44, 1600);   // pixels across
    Put<double>(b, cam + 48, 9.0);
    PutText(b, cam + 56, "KAF-1603");
    Put<double>(b, cam + 89, 35.0);    // first quantum efficiency
    Put<int32_t>(b, cam + 193, 4);     // pool id
    Put<int32_t>(b, cam + 5328, filters);
    PutText(b, cam + 213, "H-alpha");
    PutText(b, cam + 213 + 93, "OIII");
    const char *bands[5] = {"U", "B", "V", "R", "I"};
    for (int i = 0; i < 5; ++i) PutText(b, cam + 4863 + 93 * static_cast<size_t>(i), bands[i]);
    PutText(b, cam + 5401, "ST-8");
    Put<double>(b, block + 69513, 13.5);
    b[block + 69537] = 0;
    Put<double>(b, block + 69555, 2400.0);  // effective focal length
    b[139173] = 1;
    PutText(b, 139174, "Newt 8");
    return b;
}

std::string Bytes(const InstrumentRecord &r) { return std::string(reinterpret_cast<const char *>(&r), sizeof r); }

std::unique_ptr<InstrumentRecord> ConvertWith(int (*convert)(const uint8_t *, InstrumentRecord *), const std::string &old) {
    std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
    std::memset(r.get(), 0xCD, sizeof(InstrumentRecord));
    EXPECT_EQ(convert(reinterpret_cast<const uint8_t *>(old.data()), r.get()), 1);
    return r;
}

}  // namespace

TEST(InstrumentUpgrade, FirstGenerationTelescope) {
    for (auto convert : {ConvertOldInstrumentRecord, ConvertInstrumentRecordInEntry}) {
        std::string n = Bytes(*ConvertWith(convert, Old8750()));
        EXPECT_EQ(Get<uint16_t>(n, 0), 5);
        EXPECT_EQ(Get<float>(n, 6), 0.01f);
        EXPECT_EQ(n[30], 1);
        EXPECT_EQ(Get<double>(n, kBlock + 1), 254.0);
        // The old focal length is the effective one; the ratio still gives the objective's.
        EXPECT_EQ(Get<double>(n, kBlock + 9), 0.0);
        EXPECT_EQ(Get<double>(n, kBlock + 17), 4.724);
        EXPECT_EQ(Get<double>(n, kBlock + 164637), 1200.0);
        EXPECT_EQ(Get<double>(n, kBlock + 164645), 254.0);
        EXPECT_STREQ(&n[kBlock + 35], "Main");
        EXPECT_EQ(n[kBlock + 100], 2);
        size_t e = kBlock + 101 + 51;  // the second 51-byte eyepiece entry
        EXPECT_EQ(Get<double>(n, e), 10.0);
        EXPECT_EQ(Get<double>(n, e + 8), 0.9);
        EXPECT_EQ(n[e + 16], 7);
        EXPECT_EQ(Get<int16_t>(n, e + 17), 4);
        EXPECT_STREQ(&n[e + 19], "Nagler 10");
        EXPECT_EQ(Get<double>(n, kBlock + 164595), 13.5);
        EXPECT_EQ(n[kBlock + 164619], 1);
        EXPECT_EQ(Get<double>(n, kBlock + 164620), 48.0);
        EXPECT_EQ(Get<double>(n, kBlock + 164628), 0.01);
        EXPECT_EQ(n[kBlock + 164636], 9);
        EXPECT_EQ(Get<int32_t>(n, kBlock + 3671), 0);          // no cameras
        EXPECT_EQ(Get<float>(n, kBlock + 164654), 2.0f);       // Barlow factor
        EXPECT_EQ(n[kBlock + 164658], 0);                      // Barlow not in use
        EXPECT_EQ(n[kBlock + 164661], 0);                      // prime focus
        EXPECT_EQ(n[kBlock + 164790], 0);                      // no extenders
        EXPECT_EQ(static_cast<uint8_t>(n[kBlock + 164791]), 255);  // none in use
        EXPECT_EQ(n[329991], 1);
        EXPECT_STREQ(&n[329992], "Dob 10");
        EXPECT_EQ(n[kBlock + 164980], 0);                      // the finder block is not in use
    }
}

TEST(InstrumentUpgrade, TelescopeWithCamerasAndFilters) {
    std::string n = Bytes(*ConvertWith(ConvertInstrumentRecord139206, Old139206()));
    EXPECT_EQ(Get<int32_t>(n, kBlock + 3671), 1);
    const size_t cam = kBlock + 3675;
    EXPECT_EQ(Get<double>(n, cam + 1), 12.5);
    EXPECT_EQ(Get<double>(n, cam + 33), 7.6);
    EXPECT_EQ(Get<double>(n, cam + 41), 5.1);
    EXPECT_EQ(Get<int32_t>(n, cam + 49), 1600);
    EXPECT_EQ(Get<double>(n, cam + 73), 9.0);
    EXPECT_STREQ(&n[cam + 81], "KAF-1603");
    EXPECT_EQ(Get<double>(n, cam + 114), 35.0);
    EXPECT_EQ(Get<int32_t>(n, cam + 218), 4);
    EXPECT_EQ(Get<int32_t>(n, cam + 12393), 2);
    EXPECT_STREQ(&n[cam + 238], "H-alpha");
    EXPECT_STREQ(&n[cam + 238 + 221], "OIII");
    const char *bands[5] = {"U", "B", "V", "R", "I"};
    for (size_t i = 0; i < 5; ++i) EXPECT_STREQ(&n[cam + 238 + 221 * (50 + i)], bands[i]) << i;
    EXPECT_EQ(Get<int32_t>(n, cam + 13237), 0);  // no lenses
    EXPECT_STREQ(&n[cam + 13241], "ST-8");
    EXPECT_EQ(Get<double>(n, kBlock + 164595), 13.5);
    EXPECT_EQ(Get<double>(n, kBlock + 164637), 2400.0);
    EXPECT_EQ(Get<double>(n, kBlock + 9), 1200.0);
    EXPECT_EQ(Get<float>(n, kBlock + 164654), 2.0f);
    EXPECT_EQ(n[329991], 1);
    EXPECT_STREQ(&n[329992], "Newt 8");
}

TEST(InstrumentUpgrade, DamagedCountsAreHeldToTheArrays) {
    // Eyepieces beyond 70, cameras beyond 12, filters beyond 50 would run
    // past the old block or the new arrays.
    std::string n = Bytes(*ConvertWith(ConvertOldInstrumentRecord, Old8750(200)));
    EXPECT_EQ(static_cast<uint8_t>(n[kBlock + 100]), 70);
    n = Bytes(*ConvertWith(ConvertInstrumentRecord139206, Old139206(99, 80)));
    EXPECT_EQ(Get<int32_t>(n, kBlock + 3671), 12);
    EXPECT_EQ(Get<int32_t>(n, kBlock + 3675 + 12393), 50);
    n = Bytes(*ConvertWith(ConvertInstrumentRecord139206, Old139206(-3, -1)));
    EXPECT_EQ(Get<int32_t>(n, kBlock + 3671), 0);
}

TEST(InstrumentUpgrade, WholeFileIsWrittenStampedOrNotAtAll) {
    testutil::TempDir dir;
    std::string old(4, '\0');
    Put<int16_t>(old, 0, 7);  // last id
    Put<int16_t>(old, 2, 2);  // count
    std::string second = Old8750();
    std::memcpy(&second[8718], "Refr 4", 7);
    old += Old8750() + second;
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("instr.old"), old));
    ASSERT_EQ(UpgradeInstrumentFile(dir.file("instr.old").c_str(), dir.file("instr.bin").c_str()), 1);
    std::string n = testutil::ReadFileBytes(dir.file("instr.bin"));
    ASSERT_EQ(n.size(), 9 + 2 * kRecordSize);
    EXPECT_EQ(Get<uint16_t>(n, 0), 55555);
    EXPECT_EQ(n.substr(2, 3), "\x03\x01" "f");
    EXPECT_EQ(Get<int16_t>(n, 5), 7);
    EXPECT_EQ(Get<int16_t>(n, 7), 2);
    EXPECT_STREQ(&n[9 + kRecordSize + 329992], "Refr 4");

    FileHandle f(SafeOpen(dir.file("instr.old").c_str(), "rb"));
    std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
    ASSERT_EQ(ReadOldInstrumentRecord(f.get(), 1, r.get()), 1);
    EXPECT_STREQ(r->name, "Refr 4");
    EXPECT_EQ(ReadOldInstrumentRecord(f.get(), 2, r.get()), 0);

    // A count the file does not hold: refused, no file made.
    Put<int16_t>(old, 2, 3);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("cut.old"), old));
    EXPECT_EQ(UpgradeInstrumentFile(dir.file("cut.old").c_str(), dir.file("cut.bin").c_str()), 0);
    EXPECT_FALSE(testutil::PathIsThere(dir.file("cut.bin")));

    const std::string earlier = "an earlier upgrade";
    testutil::ForEachFailurePoint(
        [&] { testutil::WriteFileBytes(dir.file("instr.bin"), earlier); },
        [&] { return UpgradeInstrumentFile(dir.file("instr.old").c_str(), dir.file("instr.bin").c_str()); },
        [&](const testutil::FailurePointRun &run) {
            EXPECT_EQ(run.result, 0) << testutil::DescribeFailurePoint(run);
            EXPECT_EQ(testutil::ReadFileBytes(dir.file("instr.bin")), earlier) << testutil::DescribeFailurePoint(run);
        });
}

TEST(PoolUpgrade, FilterRecordsGrowTo221Bytes) {
    testutil::TempDir dir;
    std::string old(4, '\0');
    Put<int16_t>(old, 0, 3);
    Put<int16_t>(old, 2, 2);
    std::string a(93, 'a'), b(93, 'b');
    old += a + b;
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("filters.old"), old));
    ASSERT_EQ(UpgradeFilterFile(dir.file("filters.old").c_str(), dir.file("filters.bin").c_str()), 1);
    EXPECT_EQ(testutil::ReadFileBytes(dir.file("filters.bin")),
              old.substr(0, 4) + a + std::string(128, '\0') + b + std::string(128, '\0'));
    Put<int16_t>(old, 2, 3);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("cut.old"), old));
    EXPECT_EQ(UpgradeFilterFile(dir.file("cut.old").c_str(), dir.file("cut.bin").c_str()), 0);
    EXPECT_FALSE(testutil::PathIsThere(dir.file("cut.bin")));
}

// The filter store meets an older pool where it opens filters.bin: one of
// 93-byte records is upgraded in place and read; one whose size fits neither
// layout is refused and left as it was.
TEST(PoolUpgrade, TheFilterStoreUpgradesAnOlderPoolWhenItOpensIt) {
    testutil::TempDir dir;
    SetUserDataFolder(dir.path().c_str());
    std::string old(4, '\0');
    Put<int16_t>(old, 0, 2);  // last id
    Put<int16_t>(old, 2, 2);  // count
    for (int i = 0; i < 2; ++i) {
        std::string r(93, '\0');
        PutText(r, 0, i ? "Hydrogen alpha" : "Wratten 25");
        Put<double>(r, 33, i ? 0.6563 : 0.61);  // wavelength, micrometres
        Put<int32_t>(r, 89, i + 1);             // pool id
        old += r;
    }
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("filters.bin"), old));
    FilterRecord f;
    ASSERT_EQ(GetFilterRecord(1, &f), 2);  // its pool id
    EXPECT_STREQ(f.name, "Hydrogen alpha");
    double wavelength = f.wavelength;
    EXPECT_EQ(wavelength, 0.6563);
    EXPECT_EQ(testutil::ReadFileBytes(dir.file("filters.bin")).size(), 4u + 2u * 221u);

    std::string odd = old.substr(0, 4 + 93 + 50);  // neither 2 x 93 nor 2 x 221 bytes of records
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("filters.bin"), odd));
    EXPECT_EQ(GetFilterRecord(0, &f), 0);
    EXPECT_EQ(testutil::ReadFileBytes(dir.file("filters.bin")), odd);
    SetUserDataFolder("");
}

namespace {

// A camera pool: its header (stamped with the version's bytes, or the old
// unstamped 4 bytes) and n records whose guider fields are set.
std::string CameraPool(const char *stampBytes, int n) {
    std::string f;
    if (stampBytes) {
        f.assign(5, '\0');
        Put<uint16_t>(f, 0, 55555);
        std::memcpy(&f[2], stampBytes, 3);
    }
    std::string ids(4, '\0');
    Put<int16_t>(ids, 0, 9);
    Put<int16_t>(ids, 2, static_cast<int16_t>(n));
    f += ids;
    for (int i = 0; i < n; ++i) {
        std::string r(381, 'r');
        r[253] = 0;                   // bit depth
        r[254] = 1;                   // guider
        Put<float>(r, 255, 7.4f);     // guider pixel width, height
        Put<float>(r, 259, 7.4f);
        Put<float>(r, 271, 3.0f);     // guider offsets
        Put<float>(r, 275, -2.0f);
        f += r;
    }
    return f;
}

}  // namespace

TEST(PoolUpgrade, CameraPoolsAreUpgradedOnceAndTheUndoCopyIsKept) {
    testutil::TempDir dir;
    SetUserDataFolder(dir.path().c_str());
    const std::string pool = dir.file("camera.bin"), undo = dir.file("camera.bak");
    ASSERT_TRUE(testutil::WriteFileBytes(undo, "the dialogs' undo copy"));

    // Stamped already: StampCameraFile leaves it; 3.0h or later: so does the guider upgrade.
    const std::string stamped = CameraPool("\x03\x00" "h", 1);
    ASSERT_TRUE(testutil::WriteFileBytes(pool, stamped));
    EXPECT_EQ(StampCameraFile(), 1);
    EXPECT_EQ(UpgradeCameraFileGuider(), 1);
    EXPECT_EQ(testutil::ReadFileBytes(pool), stamped);

    // Unstamped: the stamp and a 16-bit depth in every record.
    ASSERT_TRUE(testutil::WriteFileBytes(pool, CameraPool(nullptr, 2)));
    EXPECT_EQ(StampCameraFile(), 1);
    std::string n = testutil::ReadFileBytes(pool);
    ASSERT_EQ(n.size(), 9 + 2 * 381u);
    EXPECT_EQ(n.substr(2, 3), "\x03\x01" "f");
    EXPECT_EQ(Get<int16_t>(n, 5), 9);
    EXPECT_EQ(Get<int16_t>(n, 7), 2);
    EXPECT_EQ(n[9 + 253], 1);
    EXPECT_EQ(n[9 + 381 + 253], 1);
    EXPECT_EQ(n[9 + 254], 1);  // the guider fields are not touched by the stamp
    EXPECT_EQ(StampCameraFile(), 1);
    EXPECT_EQ(testutil::ReadFileBytes(pool), n);  // a second run changes nothing

    // Stamped before 3.0h: the guider fields it did not have are cleared.
    ASSERT_TRUE(testutil::WriteFileBytes(pool, CameraPool("\x03\x00" "f", 1)));
    EXPECT_EQ(UpgradeCameraFileGuider(), 1);
    n = testutil::ReadFileBytes(pool);
    EXPECT_EQ(n[9 + 254], 0);
    EXPECT_EQ(Get<float>(n, 9 + 255), 0.0f);
    EXPECT_EQ(Get<float>(n, 9 + 259), 0.0f);
    EXPECT_EQ(Get<float>(n, 9 + 271), 0.0f);
    EXPECT_EQ(Get<float>(n, 9 + 275), 0.0f);
    EXPECT_EQ(n[9 + 263], 'r');  // what lies between is kept
    EXPECT_EQ(testutil::ReadFileBytes(undo), "the dialogs' undo copy");
    SetUserDataFolder("");
}
