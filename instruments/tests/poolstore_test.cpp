// The eyepiece, camera, filter and lens pools: header and record bytes at
// hand-written offsets, ids, stale tails, lookups by name and id, backups, the
// creation of a missing pool, the camera sort and the camera.dat import.
#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "core/userfolder.h"
#include "instruments/camerapool.h"
#include "instruments/eyepiecepool.h"
#include "instruments/filterpool.h"
#include "instruments/lenspool.h"
#include "instruments/storeio.h"
#include "testutil/testutil.h"

namespace {

using testutil::ReadFileBytes;
using testutil::WriteFileBytes;

template <typename T>
T At(const std::string &bytes, size_t offset) {
    T v;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
}

std::string Cut(const std::string &bytes, size_t offset) {
    return std::string(bytes.c_str() + offset);
}

FilterRecord Filter(const char *name, double wavelength) {
    FilterRecord r;
    std::memset(&r, 0, sizeof r);
    std::snprintf(r.name, sizeof r.name, "%s", name);
    r.wavelength = wavelength;
    r.peakTransmission = 0.9;
    r.bandwidth = 0.1;
    r.zeroPoint = -11.0;
    return r;
}

LensRecord Lens(const char *name, double focalLength, double ratio) {
    LensRecord r;
    std::memset(&r, 0, sizeof r);
    std::snprintf(r.name, sizeof r.name, "%s", name);
    r.focalLength = focalLength;
    r.focalRatio = ratio;
    return r;
}

const double kCurve[13] = {20, 30, 40, 50, 60, 65, 60, 55, 45, 35, 25, 15, 10};

int AddCamera(int kind, const char *name, double binnedGain = 0.0, int guider = 0) {
    return AddCameraRecord(kind, name, 15.0, 2.3, binnedGain, 0.5, 13.8, 9.2, 1530, 1020, 9.0,
                           9.0, 1, kind == 2 ? 6.0 : 0.0, "", kCurve, guider, 1.0, 2.0, 7.4, 7.4,
                           657, 495);
}

class Pools : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataFolder(dir.path().c_str()); }
    void TearDown() override { SetUserDataFolder(""); }
    std::string Bytes(const char *name) const { return ReadFileBytes(dir.file(name)); }
    testutil::TempDir dir;
};

}  // namespace

TEST_F(Pools, MissingPoolsAreCreatedEmptyWhenFirstOpened) {
    int32_t n = -1;
    FILE *f = OpenEyepieceFile(&n);
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(Bytes("eyep.bin"), std::string(4, '\0'));
    f = OpenCameraFile(&n);
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(Bytes("camera.bin"), std::string("\x03\xD9\x03\x01\x66\0\0\0\0", 9));
    // Another folder's pool is only ever read.
    EXPECT_EQ(OpenOtherFilterFile(dir.file("filters.bin").c_str(), &n), nullptr);
    EXPECT_FALSE(testutil::PathIsThere(dir.file("filters.bin")));
    // A new user can add the first eyepiece.
    EXPECT_EQ(AddFilterRecord(nullptr), 0);
    EXPECT_EQ(AddEyepieceRecord("Plossl 25mm", 25.0, 52.0), 1);
}

TEST_F(Pools, EyepieceBytesIdsAndStaleTail) {
    ASSERT_EQ(AddEyepieceRecord("Plossl 32mm", 32.0, 52.0), 1);
    ASSERT_EQ(AddEyepieceRecord("Nagler 13mm", 13.0, 82.0), 2);
    std::string b = Bytes("eyep.bin");
    ASSERT_EQ(b.size(), 4u + 2 * 43);
    EXPECT_EQ(b.substr(0, 4), std::string("\x02\x00\x02\x00", 4));
    EXPECT_EQ(Cut(b, 4 + 43), "Nagler 13mm");
    EXPECT_FLOAT_EQ(At<float>(b, 4 + 43 + 33), 13.0f);
    EXPECT_FLOAT_EQ(At<float>(b, 4 + 43 + 37), 82.0f);
    EXPECT_EQ(At<uint16_t>(b, 4 + 43 + 41), 2);

    char name[33];
    double fl = 0, af = 0;
    EXPECT_EQ(GetEyepieceRecord(1, name, &fl, &af), 2);
    EXPECT_STREQ(name, "Nagler 13mm");
    EXPECT_DOUBLE_EQ(af, 82.0);
    EXPECT_EQ(GetEyepieceRecord(2, name, &fl, &af), 0);
    EXPECT_EQ(GetEyepieceRecordById(1, name, &fl, &af), 1);
    EXPECT_STREQ(name, "Plossl 32mm");
    EXPECT_EQ(UpdateEyepieceRecord(0, nullptr, 30.0, 50.0), 1);
    EXPECT_EQ(GetEyepieceRecordById(1, name, &fl, &af), 1);
    EXPECT_STREQ(name, "Plossl 32mm");  // name kept, id kept
    EXPECT_DOUBLE_EQ(fl, 30.0);
    std::string before = Bytes("eyep.bin");
    EXPECT_EQ(UpdateEyepieceRecord(2, "x", 1, 1), 0);  // index equal to the count
    EXPECT_EQ(Bytes("eyep.bin"), before);

    // Deleting the last record: the count drops, its bytes stay until the next append.
    ASSERT_EQ(DeleteEyepieceRecord(1), 1);
    b = Bytes("eyep.bin");
    EXPECT_EQ(b.substr(0, 4), std::string("\x02\x00\x01\x00", 4));
    EXPECT_EQ(Cut(b, 4 + 43), "Nagler 13mm");
    ASSERT_EQ(AddEyepieceRecord("Ortho 6mm", 6.0, 45.0), 3);
    EXPECT_EQ(Cut(Bytes("eyep.bin"), 4 + 43), "Ortho 6mm");
    EXPECT_EQ(DeleteEyepieceRecord(2), 0);
    EXPECT_EQ(DeleteEyepieceRecord(-1), 0);

    // Delete by index shifts the later records down.
    ASSERT_EQ(DeleteEyepieceRecord(0), 1);
    EXPECT_EQ(GetEyepieceRecord(0, name, &fl, &af), 3);
}

TEST_F(Pools, FindByNameAnswersAndReadErrors) {
    ASSERT_EQ(AddEyepieceRecord("Plossl 25mm", 25.0, 52.0), 1);
    ASSERT_EQ(AddEyepieceRecord("Erfle 20mm", 20.0, 65.0), 2);
    int32_t n = 0;
    FILE *f = OpenEyepieceFile(&n);
    ASSERT_NE(f, nullptr);
    EyepieceRecord probe;
    std::memset(&probe, 0, sizeof probe);
    std::snprintf(probe.name, sizeof probe.name, "ERFLE 20MM");
    probe.focalLength = 20.0f;
    probe.apparentField = 65.0f;
    int index = -1, id = -1;
    EXPECT_EQ(FindEyepieceRecordByName(f, &probe, &index, &id, n), 1);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(id, 2);
    probe.apparentField = 68.0f;
    EXPECT_EQ(FindEyepieceRecordByName(f, &probe, &index, nullptr, n), 2);
    EXPECT_EQ(FindEyepieceRecordByName(f, &probe, &index, nullptr, 1), 0);  // first record only
    EXPECT_EQ(FindEyepieceRecordByName(f, &probe, &index, nullptr, 0), 0);
    std::snprintf(probe.name, sizeof probe.name, "Absent");
    EXPECT_EQ(FindEyepieceRecordByName(f, &probe, &index, nullptr, n), 0);
    EXPECT_EQ(FindEyepieceRecordByName(f, &probe, &index, nullptr, 5), -1);  // file ends first
    EXPECT_EQ(FindEyepieceRecordByName(nullptr, &probe, &index, nullptr, n), -1);
    std::fclose(f);

    // Filters compare six values and not the quantum efficiency.
    FilterRecord red = Filter("Red", 0.65);
    ASSERT_EQ(AddFilterRecord(&red), 1);
    EXPECT_EQ(+red.poolId, 1);
    f = OpenFilterFile(&n);
    ASSERT_NE(f, nullptr);
    FilterRecord p = Filter("RED", 0.65);
    p.quantumEfficiency = 55.0;
    EXPECT_EQ(FindFilterRecordByName(f, &p, &index, &id, n), 1);
    EXPECT_EQ(CompareFilterRecords(&p, &red), 1);
    p.mirrorReflectance = 0.9;
    EXPECT_EQ(FindFilterRecordByName(f, &p, &index, &id, n), 2);
    EXPECT_EQ(CompareFilterRecords(&p, &red), 0);
    FilterRecord byId;
    EXPECT_EQ(FindFilterRecordById(f, 1, &byId), 1);
    EXPECT_STREQ(byId.name, "Red");
    EXPECT_EQ(FindFilterRecordById(f, 9, &byId), 0);
    std::fclose(f);

    LensRecord l = Lens("Tele 200", 200, 4);
    ASSERT_EQ(AddLensRecord(&l), 1);
    f = OpenLensFile(&n);
    ASSERT_NE(f, nullptr);
    LensRecord q = Lens("tele 200", 200, 4);
    EXPECT_EQ(FindLensRecordByName(f, &q, &index, &id, n), 1);
    q.focalRatio = 5.6;
    EXPECT_EQ(FindLensRecordByName(f, &q, &index, &id, n), 2);
    EXPECT_EQ(CompareLensRecords(&q, &l), 0);
    std::fclose(f);
}

TEST_F(Pools, FilterAndLensRecordsByIdAndDeletion) {
    FilterRecord a = Filter("Red", 0.65), b = Filter("Green", 0.53), c = Filter("Blue", 0.45);
    ASSERT_EQ(AddFilterRecord(&a), 1);
    ASSERT_EQ(AddFilterRecord(&b), 2);
    ASSERT_EQ(AddFilterRecord(&c), 3);
    std::string bytes = Bytes("filters.bin");
    ASSERT_EQ(bytes.size(), 4u + 3 * 221);
    EXPECT_EQ(Cut(bytes, 4 + 221), "Green");
    EXPECT_DOUBLE_EQ(At<double>(bytes, 4 + 221 + 33), 0.53);
    EXPECT_DOUBLE_EQ(At<double>(bytes, 4 + 221 + 49), 0.9);
    EXPECT_DOUBLE_EQ(At<double>(bytes, 4 + 221 + 81), -11.0);
    EXPECT_EQ(At<int32_t>(bytes, 4 + 221 + 89), 2);

    EXPECT_EQ(FindFilterIndexById(3), 2);
    ASSERT_EQ(DeleteFilterRecordById(2), 1);
    EXPECT_EQ(FindFilterIndexById(3), 1);
    EXPECT_EQ(FindFilterIndexById(2), -1);
    EXPECT_EQ(DeleteFilterRecordById(2), 0);
    FilterRecord got;
    EXPECT_EQ(GetFilterRecord(1, &got), 3);
    EXPECT_STREQ(got.name, "Blue");
    EXPECT_EQ(GetFilterRecordById(1, &got), 1);
    EXPECT_STREQ(got.name, "Red");
    got.wavelength = 0.66;
    EXPECT_EQ(UpdateFilterRecord(0, &got), 1);
    EXPECT_EQ(UpdateFilterRecord(2, &got), 0);
    FilterRecord d = Filter("Ha", 0.656);
    EXPECT_EQ(AddFilterRecord(&d), 4);  // a deleted id is not given again

    LensRecord l1 = Lens("Wide 28", 28, 2.8), l2 = Lens("Tele 135", 135, 3.5);
    ASSERT_EQ(AddLensRecord(&l1), 1);
    ASSERT_EQ(AddLensRecord(&l2), 2);
    bytes = Bytes("lenses.bin");
    ASSERT_EQ(bytes.size(), 4u + 2 * 84);
    EXPECT_EQ(Cut(bytes, 4 + 84), "Tele 135");
    EXPECT_DOUBLE_EQ(At<double>(bytes, 4 + 84 + 32), 135.0);
    EXPECT_DOUBLE_EQ(At<double>(bytes, 4 + 84 + 40), 3.5);
    EXPECT_EQ(At<int32_t>(bytes, 4 + 84 + 48), 2);
    LensRecord lg;
    EXPECT_EQ(GetLensRecordById(2, &lg), 1);
    EXPECT_STREQ(lg.name, "Tele 135");
    EXPECT_EQ(DeleteLensRecordById(1), 1);
    EXPECT_EQ(FindLensIndexById(2), 0);
}

TEST_F(Pools, CameraRecordBytesAndWriteRules) {
    ASSERT_EQ(AddCamera(0, "ST-8", 0.0, 1), 1);
    ASSERT_EQ(AddCamera(2, "ToUcam", 0.0, 0), 2);
    std::string b = Bytes("camera.bin");
    ASSERT_EQ(b.size(), 9u + 2 * 381);
    EXPECT_EQ(b.substr(0, 9), std::string("\x03\xD9\x03\x01\x66\x02\x00\x02\x00", 9));
    size_t r = 9;
    EXPECT_EQ(At<uint8_t>(b, r + 0), 0);
    EXPECT_EQ(Cut(b, r + 1), "ST-8");
    EXPECT_DOUBLE_EQ(At<double>(b, r + 34), 15.0);
    EXPECT_DOUBLE_EQ(At<double>(b, r + 42), 2.3);
    EXPECT_DOUBLE_EQ(At<double>(b, r + 50), 0.0);
    EXPECT_DOUBLE_EQ(At<double>(b, r + 66), 13.8);
    EXPECT_EQ(At<int32_t>(b, r + 82), 1530);
    EXPECT_DOUBLE_EQ(At<double>(b, r + 98), 9.0);
    EXPECT_DOUBLE_EQ(At<double>(b, r + 147 + 12 * 8), 10.0);  // hand-entered curve
    EXPECT_EQ(At<uint16_t>(b, r + 251), 1);
    EXPECT_EQ(At<uint8_t>(b, r + 253), 1);
    EXPECT_EQ(At<uint8_t>(b, r + 254), 1);
    EXPECT_FLOAT_EQ(At<float>(b, r + 255), 7.4f);
    EXPECT_EQ(At<int32_t>(b, r + 263), 657);
    EXPECT_FLOAT_EQ(At<float>(b, r + 271), 1.0f);
    EXPECT_FLOAT_EQ(At<float>(b, r + 275), 2.0f);
    r = 9 + 381;
    EXPECT_DOUBLE_EQ(At<double>(b, r + 106), 6.0);  // built-in lens
    EXPECT_EQ(b.substr(r + 254, 25), std::string(25, '\0'));  // no guider, no values

    // Rewriting: a named curve keeps the stored values; dropping the guider
    // zeroes its 25 bytes; the reserved bytes stay as they were.
    std::string withReserved = b;
    withReserved[9 + 300] = 'R';
    ASSERT_TRUE(WriteFileBytes(dir.file("camera.bin"), withReserved));
    double other[13] = {0};
    ASSERT_EQ(UpdateCameraRecord(0, 0, nullptr, 12.0, 2.3, 0.0, 0.5, 13.8, 9.2, 1530, 1020, 9.0,
                                 9.0, 2, 0.0, "KAF-1602", other, 0, 0, 0, 0, 0, 0, 0),
              1);
    b = Bytes("camera.bin");
    EXPECT_EQ(Cut(b, 9 + 1), "ST-8");
    EXPECT_DOUBLE_EQ(At<double>(b, 9 + 34), 12.0);
    EXPECT_EQ(Cut(b, 9 + 114), "KAF-1602");
    EXPECT_DOUBLE_EQ(At<double>(b, 9 + 147), 20.0);
    EXPECT_EQ(b.substr(9 + 254, 25), std::string(25, '\0'));
    EXPECT_EQ(b[9 + 300], 'R');
    EXPECT_EQ(At<uint16_t>(b, 9 + 251), 1);

    int kind = -1, pixels = 0, guider = -1;
    char name[33], curveName[33];
    double curve[13];
    EXPECT_EQ(GetCameraFields(0, &kind, name, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, &pixels, nullptr, nullptr, nullptr, nullptr, nullptr,
                              curveName, curve, &guider, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr),
              1);
    EXPECT_STREQ(name, "ST-8");
    EXPECT_STREQ(curveName, "KAF-1602");
    EXPECT_DOUBLE_EQ(curve[0], 0.0);  // a named curve gives no values
    EXPECT_EQ(pixels, 1530);
    EXPECT_EQ(guider, 0);
    EXPECT_EQ(GetCameraFieldsById(2, &kind, name, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  curveName, curve, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr),
              1);
    EXPECT_EQ(kind, 2);
    EXPECT_DOUBLE_EQ(curve[12], 10.0);
    EXPECT_EQ(FindCameraIndexById(2), 1);
    EXPECT_EQ(UpdateCameraRecord(2, 0, "x", 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, "", nullptr, 0,
                                 0, 0, 0, 0, 0, 0),
              0);
}

TEST_F(Pools, CameraComparisonsTreatABinnedGainOfZeroAsUnbinned) {
    ASSERT_EQ(AddCamera(0, "ST-8", 0.0, 1), 1);
    int32_t n = 0;
    FILE *f = OpenCameraFile(&n);
    ASSERT_NE(f, nullptr);
    CameraRecord stored;
    ASSERT_EQ(ReadCameraRecord(f, 0, &stored), 1);
    CameraRecord probe = stored;
    std::snprintf(probe.name, sizeof probe.name, "st-8");
    probe.binnedGain = 2.3;  // the stored 0 stands for the unbinned 2.3
    int index = -1, id = 0;
    EXPECT_EQ(FindCameraRecordByName(f, &probe, &index, &id, n), 1);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(CompareCameraRecords(&probe, &stored), 1);
    std::snprintf(probe.curveName, sizeof probe.curveName, "KAF");
    EXPECT_EQ(FindCameraRecordByName(f, &probe, &index, &id, n), 2);
    EXPECT_EQ(CompareCameraRecords(&probe, &stored), 0);
    probe = stored;
    probe.guiderPixelsDown = 1;  // the guider counts for the find, not the comparison
    EXPECT_EQ(FindCameraRecordByName(f, &probe, &index, &id, n), 2);
    EXPECT_EQ(CompareCameraRecords(&probe, &stored), 1);
    std::fclose(f);
}

TEST_F(Pools, BackupAndRestoreRoundTripAndRefusals) {
    // Backing up before the first record makes the empty pool, so that Cancel
    // can put it back.
    ASSERT_EQ(BackupEyepieceFile(), 1);
    EXPECT_EQ(Bytes("eyep.bak"), std::string(4, '\0'));
    ASSERT_EQ(AddEyepieceRecord("Plossl 25mm", 25, 52), 1);
    ASSERT_EQ(RestoreEyepieceFile(), 1);
    EXPECT_EQ(Bytes("eyep.bin"), std::string(4, '\0'));

    ASSERT_EQ(AddCamera(1, "DSLR"), 1);
    ASSERT_EQ(AddCamera(0, "CCD"), 2);
    ASSERT_EQ(DeleteCameraRecordById(2), 1);  // a stale tail
    std::string counted = Bytes("camera.bin").substr(0, 9 + 381);
    ASSERT_EQ(BackupCameraFile(), 1);
    EXPECT_EQ(Bytes("camera.bak"), counted);
    ASSERT_EQ(AddCamera(0, "Another"), 3);
    ASSERT_EQ(RestoreCameraFile(), 1);
    EXPECT_EQ(Bytes("camera.bin"), counted);

    // A .bak whose count claims more records than it holds is not put back.
    FilterRecord a = Filter("Red", 0.65), b = Filter("Blue", 0.45);
    ASSERT_EQ(AddFilterRecord(&a), 1);
    ASSERT_EQ(AddFilterRecord(&b), 2);
    ASSERT_EQ(BackupFilterFile(), 1);
    std::string pool = Bytes("filters.bin");
    EXPECT_EQ(Bytes("filter.bak"), pool);
    ASSERT_TRUE(WriteFileBytes(dir.file("filter.bak"), pool.substr(0, 4 + 221 + 10)));
    EXPECT_EQ(RestoreFilterFile(), 0);
    EXPECT_EQ(Bytes("filters.bin"), pool);
    // A missing .bak leaves the pool untouched.
    std::filesystem::remove(dir.file("filter.bak"));
    EXPECT_EQ(RestoreFilterFile(), 0);
    EXPECT_EQ(Bytes("filters.bin"), pool);
    EXPECT_EQ(RestoreLensFile(), 0);
    EXPECT_FALSE(testutil::PathIsThere(dir.file("lenses.bin")));
}

TEST_F(Pools, FailedWritesLeaveThePool) {
    FilterRecord a = Filter("Red", 0.65), b = Filter("Blue", 0.45);
    ASSERT_EQ(AddFilterRecord(&a), 1);
    ASSERT_EQ(AddFilterRecord(&b), 2);
    std::string before = Bytes("filters.bin");
    FILE *ro = std::fopen(dir.file("filters.bin").c_str(), "rb");
    ASSERT_NE(ro, nullptr);
    FilterRecord c = Filter("Green", 0.53);
    EXPECT_EQ(AppendFilterRecord(ro, &c), 0);
    EXPECT_EQ(+c.poolId, 0);  // the caller's id is given back
    EXPECT_EQ(WriteFilterRecord(ro, 0, &c), 0);
    std::fclose(ro);
    EXPECT_EQ(Bytes("filters.bin"), before);

    // The counter stops before it would wrap to 0 ("not from a pool").
    std::string full = before;
    full[0] = '\xFF';
    full[1] = '\xFF';
    ASSERT_TRUE(WriteFileBytes(dir.file("filters.bin"), full));
    EXPECT_EQ(AddFilterRecord(&c), 0);
    EXPECT_EQ(Bytes("filters.bin"), full);
}

TEST_F(Pools, CameraSortByKindThenNameKeepsTheHeader) {
    ASSERT_EQ(AddCamera(2, "webcam"), 1);
    ASSERT_EQ(AddCamera(0, "zeta CCD"), 2);
    ASSERT_EQ(AddCamera(1, "Canon"), 3);
    ASSERT_EQ(AddCamera(0, "Alpha CCD"), 4);
    std::string b = Bytes("camera.bin");
    b.replace(0, 5, std::string("\x03\xD9\x03\x00\x68", 5));  // a 3.0h stamp is kept as it is
    ASSERT_TRUE(WriteFileBytes(dir.file("camera.bin"), b));
    ASSERT_EQ(SortCameraPool(), 1);
    std::string s = Bytes("camera.bin");
    EXPECT_EQ(s.substr(0, 9), b.substr(0, 9));
    const char *order[4] = {"Alpha CCD", "zeta CCD", "Canon", "webcam"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Cut(s, 9 + 381 * i + 1), order[i]) << i;
    EXPECT_EQ(At<uint16_t>(s, 9 + 251), 4);  // records move whole, ids with them
}

TEST_F(Pools, CameraDefinitionsImportTable) {
    ASSERT_EQ(AddCamera(0, "ST-8"), 1);
    auto line = [](const std::string &name, const std::string &numbers, const std::string &curve,
                   const std::string &guider) {
        std::string l = name;
        l.resize(32, ' ');
        l += numbers;
        if (!curve.empty() || !guider.empty()) {
            l.resize(81, ' ');
            l += curve;
        }
        if (!guider.empty()) {
            l.resize(93, ' ');
            l += guider;
        }
        return l;
    };
    const std::string nums = "0 15.0 2.3 0 0.5 1530 1020 9.0 9.0 0";
    std::string text;
    text += "# camera definitions\r\n";
    text += " ST-10 starts with a blank\n";
    text += line("st-8", nums, "", "") + "\n";  // already in the pool, any case
    text += line("Short", "0 15.0", "", "") + "\n";  // too few values
    text += line("Zero pixels", "0 15 2 0 0.5 0 1020 9 9 0", "", "") + "\n";
    text += line("Bad kind", "7 15 2 0 0.5 100 100 9 9 0", "", "") + "\n";
    text += line("Guided\tCam", "0 8.0 1.4 1.4 0.1 2184 1472 6.8 6.8 0", "KAF-3200",
                 "2.5 7.4 7.4 657 495") + "\n";
    text += line("Webcam", "2 10 3 3 1 640 480 5.6 5.6 4.0", "ICX098", "") + "\n";
    text += "Tiny\n";
    // Over 127 characters: the rest of the line must not come back as a line.
    std::string longLine = line("Very long line camera", nums, "", "");
    longLine.resize(127, ' ');
    text += longLine + line("Phantom", nums, "", "") + "\n";
    ASSERT_TRUE(WriteFileBytes(dir.file("camera.dat"), text));

    EXPECT_EQ(ImportCameraDefinitions(), 3);
    // Malformed lines keep the file so that the user's definitions are not lost.
    EXPECT_TRUE(testutil::PathIsThere(dir.file("camera.dat")));
    int32_t n = 0;
    FILE *f = OpenCameraFile(&n);
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(n, 4);
    CameraRecord r[4];
    for (int i = 0; i < 4; ++i) ASSERT_EQ(ReadCameraRecord(f, i, &r[i]), 1);
    std::fclose(f);
    // Sorted: kind 0 by name, then kind 2.
    EXPECT_STREQ(r[0].name, "Guided Cam");
    EXPECT_STREQ(r[1].name, "ST-8");
    EXPECT_STREQ(r[2].name, "Very long line camera");
    EXPECT_STREQ(r[3].name, "Webcam");
    EXPECT_STREQ(r[0].curveName, "KAF-3200");
    EXPECT_EQ(+r[0].guider, 1);
    EXPECT_FLOAT_EQ(+r[0].guiderOffsetY, 2.5f);
    EXPECT_FLOAT_EQ(+r[0].guiderOffsetX, 0.0f);
    EXPECT_EQ(+r[0].guiderPixelsDown, 495);
    EXPECT_EQ(+r[0].bitDepth, 1);
    EXPECT_EQ(+r[0].pixelsAcross, 2184);
    EXPECT_EQ(+r[2].guider, 0);  // the overlong tail is dropped, not read as a line
    EXPECT_DOUBLE_EQ(+r[3].lensFocalLength, 4.0);
    EXPECT_STREQ(r[3].curveName, "ICX098");

    // With only good lines the file is read once and deleted.
    ASSERT_TRUE(WriteFileBytes(dir.file("camera.dat"),
                               line("ToUcam", "2 10 3 3 1 640 480 5.6 5.6 4.0", "", "") + "\n" +
                                   line("GUIDED CAM", nums, "", "") + "\n"));
    EXPECT_EQ(ImportCameraDefinitions(), 1);
    EXPECT_FALSE(testutil::PathIsThere(dir.file("camera.dat")));
    EXPECT_EQ(ImportCameraDefinitions(), 0);  // nothing to read the second time
}

TEST_F(Pools, AnotherFoldersPoolsAreReadOnlyWithTheirStamp) {
    ASSERT_EQ(AddCamera(0, "ST-8"), 1);
    std::string b = Bytes("camera.bin");
    b.replace(0, 5, std::string("\x03\xD9\x03\x00\x68", 5));
    ASSERT_TRUE(WriteFileBytes(dir.file("other.bin"), b));
    int32_t n = -1;
    uint8_t stamp[5] = {0};
    FILE *f = OpenOtherCameraFile(dir.file("other.bin").c_str(), &n, stamp);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(std::string((const char *)stamp, 5), b.substr(0, 5));
    CameraRecord r;
    ASSERT_EQ(ReadCameraRecord(f, 0, &r), 1);
    EXPECT_STREQ(r.name, "ST-8");
    EXPECT_EQ(WriteCameraRecord(f, 0, &r), 0);  // read-only
    std::fclose(f);
    EXPECT_EQ(Bytes("other.bin"), b);
}

TEST_F(Pools, OlderCameraPoolsAreBroughtUpToDateWhenOpened) {
    // First generation: u16 last id, u16 count, 381-byte records, no stamp.
    std::string old(4 + 2 * 381, '\0');
    old[0] = 2;
    old[2] = 2;
    std::memcpy(&old[4 + 1], "Old CCD", 8);
    old[4 + 251] = 1;  // pool ids
    old[4 + 381 + 251] = 2;
    old[4 + 253] = 0;  // no bit depth yet
    std::memcpy(&old[4 + 381 + 1], "Old Webcam", 11);
    ASSERT_TRUE(WriteFileBytes(dir.file("camera.bin"), old));
    ASSERT_TRUE(WriteFileBytes(dir.file("camera.bak"), "the dialog's undo copy"));
    int32_t n = -1;
    FILE *f = OpenCameraFile(&n);
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(n, 2);
    std::string b = Bytes("camera.bin");
    ASSERT_EQ(b.size(), 9u + 2 * 381);
    EXPECT_EQ(b.substr(0, 9), std::string("\x03\xD9\x03\x01\x66\x02\x00\x02\x00", 9));
    EXPECT_EQ(Cut(b, 9 + 381 + 1), "Old Webcam");
    EXPECT_EQ(At<uint8_t>(b, 9 + 253), 1);        // 16 bits
    EXPECT_EQ(At<uint8_t>(b, 9 + 381 + 253), 1);
    EXPECT_EQ(Bytes("camera.bak"), "the dialog's undo copy");  // never used as scratch

    // Stamped before 3.0h: the guider bytes held something else and are cleared.
    std::string early = b;
    early.replace(0, 5, std::string("\x03\xD9\x03\x00\x67", 5));  // 3.0g, 3007
    early[9 + 254] = 1;
    early[9 + 256] = 'g';
    early[9 + 272] = 'x';
    early[9 + 266] = 'k';  // guider pixel counts are not among the cleared fields
    ASSERT_TRUE(WriteFileBytes(dir.file("camera.bin"), early));
    ASSERT_EQ(GetCameraFields(0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr),
              1);  // any opening of the pool applies the same rule
    b = Bytes("camera.bin");
    EXPECT_EQ(b.substr(0, 5), std::string("\x03\xD9\x03\x01\x66", 5));
    EXPECT_EQ(b.substr(9 + 254, 9), std::string(9, '\0'));
    EXPECT_EQ(b.substr(9 + 271, 8), std::string(8, '\0'));
    EXPECT_EQ(b[9 + 266], 'k');
}
