// The instrument store instr.bin: header and record bytes at hand-written
// offsets, ids and counts, stale tails, lookups, moves with their traces,
// backups, the conversion of the older layouts on open, and what a failed
// write leaves behind.
#include "instruments/instrumentstore.h"

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "core/userfolder.h"
#include "instruments/optics.h"
#include "instruments/instrumentupgrade.h"
#include "testutil/testutil.h"
#include "core/safefile.h"

namespace {

using testutil::ReadFileBytes;
using testutil::WriteFileBytes;

const size_t R = 330152;  // record size, written out by hand on purpose

template <typename T>
T At(const std::string &bytes, size_t offset) {
    T v;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
}

template <typename T>
void Put(std::string &bytes, size_t offset, T value) {
    std::memcpy(&bytes[offset], &value, sizeof value);
}

void PutText(std::string &bytes, size_t offset, const char *text) {
    std::memcpy(&bytes[offset], text, std::strlen(text) + 1);
}

std::string Cut(const std::string &bytes, size_t offset) {
    return std::string(bytes.c_str() + offset);
}

std::unique_ptr<InstrumentRecord> Telescope(const char *name, uint8_t kind = 0) {
    std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
    std::memset(r.get(), 0, sizeof *r);
    r->kind = kind;
    r->opticsCount = 1;
    std::snprintf(r->name, sizeof r->name, "%s", name);
    InitTelescopeOptics(&r->optics[0], "Main Scope", 2, 8.0, 0.0, 6.0, 1, 1, 0.1);
    return r;
}

// A telescope with a finder, 3 eyepieces and 1 camera.
std::unique_ptr<InstrumentRecord> FullTelescope() {
    auto r = Telescope("Dob 10in");
    r->opticsCount = 2;
    r->sightFlags = 0x11;
    r->rings[0] = 0.01f;
    r->rings[5] = 0.5f;
    r->mounting = 1;
    OpticsBlock &m = r->optics[0];
    m.eyepieceCount = 3;
    SetEyepieceEntry(&m, 11, 0, "Plossl 32mm", 32, 52);
    SetEyepieceEntry(&m, 12, 1, "Plossl 25mm", 25, 52);
    SetEyepieceEntry(&m, 13, 2, "Ortho 9mm", 9, 45);
    m.cameraCount = 1;
    m.cameras[0].kind = 1;
    std::snprintf(m.cameras[0].name, sizeof m.cameras[0].name, "DSLR");
    m.magnification = 48.0;
    m.barlowFactor = 2.5f;
    InitTelescopeOptics(&r->optics[1], "Finder", 1, 2.0, 0.0, 4.0, 0, 0, 0.0);
    return r;
}

class InstrumentStore : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataFolder(dir.path().c_str()); }
    void TearDown() override {
        Close();
        SetUserDataFolder("");
    }
    void Close() {
        if (f) std::fclose(f);
        f = nullptr;
    }
    int Open() {
        Close();
        int32_t n = -1;
        f = OpenInstrumentFile(&n);
        return f ? n : -1;
    }
    std::string Bytes(const char *name = "instr.bin") const { return ReadFileBytes(dir.file(name)); }

    testutil::TempDir dir;
    FILE *f = nullptr;
};

}  // namespace

TEST_F(InstrumentStore, FreshFileAppendDeleteAndStaleTail) {
    ASSERT_EQ(CreateInstrumentFile(), 1);
    EXPECT_EQ(Bytes(), std::string("\x03\xD9\x03\x01\x66\x00\x00\x00\x00", 9));
    ASSERT_EQ(Open(), 0);

    auto a = Telescope("Refractor");
    ASSERT_EQ(AppendInstrument(f, a.get()), 1);
    EXPECT_EQ(+a->id, 1);  // the caller's copy too
    std::string b = Bytes();
    ASSERT_EQ(b.size(), 9 + R);
    EXPECT_EQ(b.substr(5, 4), std::string("\x01\x00\x01\x00", 4));
    EXPECT_EQ(At<uint16_t>(b, 9), 1);
    EXPECT_EQ(Cut(b, 9 + 329992), "Refractor");

    ASSERT_EQ(DeleteInstrument(&f, 0), 1);
    b = Bytes();
    EXPECT_EQ(b.substr(5, 4), std::string("\x01\x00\x00\x00", 4));  // last id kept
    ASSERT_EQ(b.size(), 9 + R);                                     // not shortened
    EXPECT_EQ(Cut(b, 9 + 329992), "Refractor");                     // the stale tail
    auto probe = Telescope("x");
    EXPECT_EQ(ReadInstrument(f, probe.get(), 0), 0);  // never read past the count

    auto c = Telescope("Reflector");
    ASSERT_EQ(AppendInstrument(f, c.get()), 1);
    EXPECT_EQ(+c->id, 2);  // ids are not given again
    b = Bytes();
    EXPECT_EQ(b.substr(5, 4), std::string("\x02\x00\x01\x00", 4));
    EXPECT_EQ(Cut(b, 9 + 329992), "Reflector");
    EXPECT_EQ(WriteInstrument(f, c.get(), 1), 0);  // index equal to the count
    EXPECT_EQ(WriteInstrument(f, c.get(), -1), 0);
    EXPECT_EQ(DeleteInstrument(&f, 1), 0);
    EXPECT_EQ(DeleteInstrument(&f, -1), 0);

    // An existing store is never overwritten by a new one.
    Close();
    EXPECT_EQ(CreateInstrumentFile(), 0);
    EXPECT_EQ(Bytes().size(), 9 + R);
}

TEST_F(InstrumentStore, RecordBytesAtTheirOffsetsAndRoundTrip) {
    ASSERT_EQ(CreateInstrumentFile(), 1);
    ASSERT_EQ(Open(), 0);
    auto full = FullTelescope();
    ASSERT_EQ(AppendInstrument(f, full.get()), 1);
    std::string b = Bytes();
    const size_t r = 9;           // record 0
    const size_t main = r + 31;   // main optics
    const size_t finder = r + 165011;
    EXPECT_EQ(At<uint16_t>(b, r + 0), 1);
    EXPECT_EQ(At<uint8_t>(b, r + 2), 2);
    EXPECT_EQ(At<uint8_t>(b, r + 5), 0x11);
    EXPECT_FLOAT_EQ(At<float>(b, r + 6), 0.01f);
    EXPECT_FLOAT_EQ(At<float>(b, r + 26), 0.5f);
    EXPECT_EQ(At<uint8_t>(b, main + 0), 2);
    EXPECT_DOUBLE_EQ(At<double>(b, main + 1), 8.0 * 25.4);
    EXPECT_DOUBLE_EQ(At<double>(b, main + 9), 8.0 * 25.4 * 6.0);
    EXPECT_DOUBLE_EQ(At<double>(b, main + 17), 6.0);
    EXPECT_DOUBLE_EQ(At<double>(b, main + 27), 0.1);
    EXPECT_EQ(Cut(b, main + 35), "Main Scope");
    EXPECT_EQ(At<uint8_t>(b, main + 100), 3);
    EXPECT_DOUBLE_EQ(At<double>(b, main + 101 + 2 * 51), 9.0);  // eyepiece 2
    EXPECT_EQ(At<int16_t>(b, main + 101 + 2 * 51 + 17), 13);
    EXPECT_EQ(Cut(b, main + 101 + 2 * 51 + 19), "Ortho 9mm");
    EXPECT_EQ(At<int32_t>(b, main + 3671), 1);
    EXPECT_EQ(At<uint8_t>(b, main + 3675), 1);                // camera 0 kind
    EXPECT_EQ(Cut(b, main + 3675 + 13241), "DSLR");
    EXPECT_DOUBLE_EQ(At<double>(b, main + 164620), 48.0);
    EXPECT_FLOAT_EQ(At<float>(b, main + 164654), 2.5f);
    EXPECT_EQ(At<uint8_t>(b, main + 164791), 255);
    EXPECT_EQ(At<uint8_t>(b, finder + 0), 1);
    EXPECT_DOUBLE_EQ(At<double>(b, finder + 1), 50.8);
    EXPECT_EQ(Cut(b, finder + 35), "Finder");
    EXPECT_EQ(At<uint8_t>(b, r + 329991), 1);
    EXPECT_EQ(Cut(b, r + 329992), "Dob 10in");

    auto back = Telescope("x");
    ASSERT_EQ(ReadInstrument(f, back.get(), 0), 1);
    EXPECT_EQ(std::memcmp(back.get(), full.get(), R), 0);
}

TEST_F(InstrumentStore, CountsFromTheFileAreKeptInsideTheArrays) {
    ASSERT_EQ(CreateInstrumentFile(), 1);
    ASSERT_EQ(Open(), 0);
    auto a = Telescope("Damaged");
    ASSERT_EQ(AppendInstrument(f, a.get()), 1);
    Close();
    std::string b = Bytes();
    Put<uint8_t>(b, 9 + 31 + 100, 200);                // eyepiece count
    Put<int32_t>(b, 9 + 31 + 3671, -5);                // camera count
    Put<uint8_t>(b, 9 + 31 + 164790, 99);              // extender count
    Put<int32_t>(b, 9 + 31 + 3675 + 12393, 1000);      // camera 0 filter count
    std::memset(&b[9 + 329992], 'N', 32);              // a name without its NUL
    ASSERT_TRUE(WriteFileBytes(dir.file("instr.bin"), b));
    ASSERT_EQ(Open(), 1);
    ASSERT_EQ(ReadInstrument(f, a.get(), 0), 1);
    EXPECT_EQ(+a->optics[0].eyepieceCount, 70);
    EXPECT_EQ(+a->optics[0].cameraCount, 0);
    EXPECT_EQ(+a->optics[0].extenderCount, 15);
    EXPECT_EQ(+a->optics[0].cameras[0].filterCount, 50);
    EXPECT_EQ(std::string(a->name), std::string(31, 'N'));
}

TEST_F(InstrumentStore, FindByNameIsExactAndCompareIgnoresCase) {
    ASSERT_EQ(CreateInstrumentFile(), 1);
    ASSERT_EQ(Open(), 0);
    auto dob = Telescope("DOB");
    auto binos = Telescope("Binos 10x50", 1);
    ASSERT_EQ(AppendInstrument(f, binos.get()), 1);
    ASSERT_EQ(AppendInstrument(f, dob.get()), 1);

    auto probe = Telescope("Dob");
    int index = -1;
    EXPECT_EQ(FindInstrumentByName(f, probe.get(), 2, &index), 0);
    std::snprintf(probe->name, sizeof probe->name, "DOB");
    EXPECT_EQ(FindInstrumentByName(f, probe.get(), 1, &index), 0);  // only the first record
    ASSERT_EQ(FindInstrumentByName(f, probe.get(), 2, &index), 1);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(+probe->id, 2);  // the stored record was copied out
    EXPECT_EQ(FindInstrumentByName(f, probe.get(), 5, &index), 1);  // bounded by the count
    EXPECT_EQ(FindInstrumentByName(f, probe.get(), 0, &index), 0);

    auto byId = Telescope("x");
    EXPECT_EQ(FindInstrumentById(f, byId.get(), 1), 1);
    EXPECT_STREQ(byId->name, "Binos 10x50");
    EXPECT_EQ(FindInstrumentById(f, byId.get(), 7), 0);
    std::snprintf(byId->name, sizeof byId->name, "Renamed");
    EXPECT_EQ(WriteInstrumentById(f, byId.get(), 1), 1);
    EXPECT_EQ(Cut(Bytes(), 9 + 329992), "Renamed");
    EXPECT_EQ(WriteInstrumentById(f, byId.get(), 9), 0);

    // CompareInstruments: names ignoring case; id, unit, ratio, cameras and
    // configuration left out; the optics compared.
    auto a = FullTelescope(), c = FullTelescope();
    std::snprintf(c->name, sizeof c->name, "DOB 10IN");
    std::snprintf(c->optics[1].name, sizeof c->optics[1].name, "FINDER");
    c->id = 9;
    c->displayUnit = 3;
    c->optics[0].focalRatio = 4.5;
    c->optics[0].cameraCount = 0;
    c->optics[0].barlowInUse = 1;
    c->optics[0].magnification = 99;
    EXPECT_EQ(CompareInstruments(a.get(), c.get()), 1);
    struct Change { const char *what; void (*apply)(InstrumentRecord *); } changes[] = {
        {"kind", [](InstrumentRecord *r) { r->kind = 1; }},
        {"mounting", [](InstrumentRecord *r) { r->mounting = 0; }},
        {"ring 6", [](InstrumentRecord *r) { r->rings[5] = 0.25f; }},
        {"finder aperture", [](InstrumentRecord *r) { r->optics[1].aperture = 60; }},
        {"eyepiece field", [](InstrumentRecord *r) { r->optics[0].eyepieces[2].apparentField = 1; }},
        {"eyepiece name", [](InstrumentRecord *r) { r->optics[0].eyepieces[0].name[0] = 'Q'; }},
        {"condition", [](InstrumentRecord *r) { r->optics[0].condition = 0.9; }},
    };
    for (const Change &ch : changes) {
        auto d = FullTelescope();
        ch.apply(d.get());
        EXPECT_EQ(CompareInstruments(a.get(), d.get()), 0) << ch.what;
    }
    // Eyepieces past the count are not compared.
    auto e = FullTelescope();
    e->optics[0].eyepieces[5].focalLength = 4;
    EXPECT_EQ(CompareInstruments(a.get(), e.get()), 1);
}

TEST_F(InstrumentStore, MoveSwapsWithTheNearestOfTheSameKindAndTraces) {
    ASSERT_EQ(CreateInstrumentFile(), 1);
    ASSERT_EQ(Open(), 0);
    auto t1 = Telescope("T1"), b = Telescope("B", 1), t2 = Telescope("T2");
    ASSERT_EQ(AppendInstrument(f, t1.get()), 1);
    ASSERT_EQ(AppendInstrument(f, b.get()), 1);
    ASSERT_EQ(AppendInstrument(f, t2.get()), 1);

    std::filesystem::path kept = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    int moved = 0;
    int down = MoveInstrument(f, 0, 3, 1, &moved);
    int up = MoveInstrument(f, 0, 3, -1, &moved);
    int upMoved = moved;
    int single = MoveInstrument(f, 0, 1, 1, &moved);
    int badDir = MoveInstrument(f, 0, 3, 2, &moved);
    std::filesystem::current_path(kept);

    EXPECT_EQ(down, 1);
    EXPECT_EQ(up, 0);
    EXPECT_EQ(upMoved, -1);
    EXPECT_EQ(single, 0);
    EXPECT_EQ(badDir, 0);
    std::string bytes = Bytes();
    EXPECT_EQ(Cut(bytes, 9 + 0 * R + 329992), "T2");
    EXPECT_EQ(Cut(bytes, 9 + 1 * R + 329992), "B");  // the binoculars stay
    EXPECT_EQ(Cut(bytes, 9 + 2 * R + 329992), "T1");
    // A text file: Windows writes its line breaks as CR LF.
    std::string trace;
    for (char ch : ReadFileBytes(dir.file("debug.txt")))
        if (ch != '\r') trace += ch;
    EXPECT_EQ(trace,
              "index=0 num=3\nfound 1 swap_index=2\nDone\n\n"
              "index=0 num=3\nindex < 1 index: 0\n\n"
              "index=0 num=1\nmum < 2 (1)\n\n"
              "index=0 num=3\nbad dir\n\n");
}

TEST_F(InstrumentStore, BackupAndRestoreAreCompleteOrNothing) {
    EXPECT_EQ(BackupInstrumentFile(), 0);  // no instr.bin yet
    EXPECT_FALSE(testutil::PathIsThere(dir.file("instr.bak")));
    ASSERT_EQ(CreateInstrumentFile(), 1);
    ASSERT_EQ(Open(), 0);
    auto a = FullTelescope(), b = Telescope("Second");
    ASSERT_EQ(AppendInstrument(f, a.get()), 1);
    ASSERT_EQ(AppendInstrument(f, b.get()), 1);
    ASSERT_EQ(AppendInstrument(f, b.get()), 1);
    ASSERT_EQ(DeleteInstrument(&f, 2), 1);  // a stale record at the end
    Close();
    std::string before = Bytes();

    ASSERT_EQ(BackupInstrumentFile(), 1);
    std::string bak = Bytes("instr.bak");
    EXPECT_EQ(bak, before.substr(0, 9 + 2 * R));  // header and counted records only

    auto c = Telescope("Changed");
    ASSERT_EQ(Open(), 2);
    ASSERT_EQ(WriteInstrument(f, c.get(), 0), 1);
    Close();
    ASSERT_EQ(RestoreInstrumentFile(), 1);
    EXPECT_EQ(Bytes(), bak);

    // A .bak shorter than its count is not put over the store.
    ASSERT_TRUE(WriteFileBytes(dir.file("instr.bak"), bak.substr(0, 9 + R + 100)));
    EXPECT_EQ(RestoreInstrumentFile(), 0);
    EXPECT_EQ(Bytes(), bak);
    // Nor is anything when the copy cannot be written beside the store.
    ASSERT_TRUE(WriteFileBytes(dir.file("instr.bak"), bak));
    SetFileStepFailure(1);  // the temporary's open
    EXPECT_EQ(RestoreInstrumentFile(), 0);
    SetFileStepFailure(0);
    EXPECT_EQ(Bytes(), bak);
    // A missing .bak leaves the store alone.
    std::filesystem::remove(dir.file("instr.bak"));
    EXPECT_EQ(RestoreInstrumentFile(), 0);
    EXPECT_EQ(Bytes(), bak);
}

TEST_F(InstrumentStore, FailedWritesLeaveTheHeaderAndRecords) {
    ASSERT_EQ(CreateInstrumentFile(), 1);
    ASSERT_EQ(Open(), 0);
    auto a = Telescope("Kept"), b = Telescope("Also kept");
    ASSERT_EQ(AppendInstrument(f, a.get()), 1);
    ASSERT_EQ(AppendInstrument(f, b.get()), 1);
    Close();
    std::string before = Bytes();

    // A stream that cannot be written: every write fails.
    FILE *ro = std::fopen(dir.file("instr.bin").c_str(), "rb");
    ASSERT_NE(ro, nullptr);
    auto c = Telescope("New");
    c->id = 44;
    EXPECT_EQ(AppendInstrument(ro, c.get()), 0);
    EXPECT_EQ(+c->id, 44);  // the caller's id is given back
    int moved = 0;
    std::filesystem::path kept = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(MoveInstrument(ro, 0, 2, 1, &moved), 0);
    std::filesystem::current_path(kept);
    std::fclose(ro);
    EXPECT_EQ(Bytes(), before);

    // Ids stop before they would wrap to 0 (the naked eye's).
    std::string full = before;
    Put<uint16_t>(full, 5, 0xFFFF);
    ASSERT_TRUE(WriteFileBytes(dir.file("instr.bin"), full));
    ASSERT_EQ(Open(), 2);
    EXPECT_EQ(AppendInstrument(f, c.get()), 0);
    Close();
    EXPECT_EQ(Bytes(), full);
}

namespace {

// An unstamped first-generation file: u16 last id, u16 count, 8,750-byte records.
std::string FirstGenerationFile() {
    std::string b(4 + 2 * 8750, '\0');
    Put<uint16_t>(b, 0, 5);
    Put<uint16_t>(b, 2, 2);
    size_t r = 4;
    Put<uint16_t>(b, r + 0, 3);
    Put<uint8_t>(b, r + 2, 1);
    Put<uint8_t>(b, r + 4, 0);
    Put<float>(b, r + 6, 0.02f);
    Put<uint8_t>(b, r + 30, 1);
    size_t k = r + 31;  // its one optics block, 4,343 bytes
    Put<uint8_t>(b, k + 0, 1);
    Put<double>(b, k + 1, 102.0);
    Put<double>(b, k + 9, 900.0);
    Put<double>(b, k + 17, 900.0 / 102.0);
    Put<uint8_t>(b, k + 25, 1);
    Put<uint8_t>(b, k + 26, 0);
    Put<double>(b, k + 27, 0.3);
    PutText(b, k + 35, "Main");
    Put<uint8_t>(b, k + 100, 2);
    size_t e = k + 101 + 60;  // eyepiece 1 of 60 bytes
    Put<double>(b, e + 0, 10.0);
    Put<double>(b, e + 8, 0.9);
    Put<uint8_t>(b, e + 25, 7);
    Put<int16_t>(b, e + 26, 4);
    PutText(b, e + 28, "Ortho 10");
    Put<double>(b, k + 4301, 12.5);   // limiting magnitude
    Put<double>(b, k + 4309, 220.0);  // magnification limit
    Put<uint8_t>(b, k + 4325, 1);
    Put<double>(b, k + 4326, 90.0);
    Put<double>(b, k + 4334, 0.008);
    Put<uint8_t>(b, r + 8717, 1);
    PutText(b, r + 8718, "Old Refractor");
    r = 4 + 8750;
    Put<uint16_t>(b, r + 0, 5);
    Put<uint8_t>(b, r + 2, 1);
    Put<uint8_t>(b, r + 4, 1);
    Put<uint8_t>(b, r + 31, 10);
    PutText(b, r + 8718, "Old Binos");
    return b;
}

}  // namespace

TEST_F(InstrumentStore, FirstGenerationFileIsConvertedOnOpen) {
    ASSERT_TRUE(WriteFileBytes(dir.file("instr.bin"), FirstGenerationFile()));
    FILE *old = std::fopen(dir.file("instr.bin").c_str(), "rb");
    ASSERT_NE(old, nullptr);
    auto found = Telescope("x");
    EXPECT_EQ(FindOldInstrumentById(old, found.get(), 5), 2);
    EXPECT_STREQ(found->name, "Old Binos");
    EXPECT_EQ(FindOldInstrumentById(old, found.get(), 4), 0);
    std::fclose(old);

    ASSERT_EQ(Open(), 2);
    EXPECT_FALSE(testutil::PathIsThere(dir.file("instr_new.bin")));
    std::string b = Bytes();
    ASSERT_EQ(b.size(), 9 + 2 * R);
    EXPECT_EQ(b.substr(0, 9), std::string("\x03\xD9\x03\x01\x66\x05\x00\x02\x00", 9));

    auto r = Telescope("x");
    ASSERT_EQ(ReadInstrument(f, r.get(), 0), 1);
    const OpticsBlock &m = r->optics[0];
    EXPECT_EQ(+r->id, 3);
    EXPECT_STREQ(r->name, "Old Refractor");
    EXPECT_EQ(+r->mounting, 1);
    EXPECT_FLOAT_EQ(+r->rings[0], 0.02f);
    EXPECT_DOUBLE_EQ(+m.aperture, 102.0);
    EXPECT_DOUBLE_EQ(+m.focalLength, 0.0);             // the old focal length moved ...
    EXPECT_DOUBLE_EQ(+m.effectiveFocalLength, 900.0);  // ... here
    EXPECT_DOUBLE_EQ(+m.effectiveAperture, 102.0);
    EXPECT_DOUBLE_EQ(+m.condition, 0.3);
    EXPECT_STREQ(m.name, "Main");
    EXPECT_EQ(+m.eyepieceCount, 2);
    EXPECT_DOUBLE_EQ(+m.eyepieces[1].focalLength, 10.0);
    EXPECT_EQ(+m.eyepieces[1].reserved, 7);
    EXPECT_EQ(+m.eyepieces[1].poolId, 4);
    EXPECT_STREQ(m.eyepieces[1].name, "Ortho 10");
    EXPECT_DOUBLE_EQ(+m.limitingMagnitude, 12.5);
    EXPECT_DOUBLE_EQ(+m.magnificationLimit, 220.0);
    EXPECT_EQ(+m.currentEyepiece, 1);
    EXPECT_DOUBLE_EQ(+m.magnification, 90.0);
    EXPECT_DOUBLE_EQ(+m.trueField, 0.008);
    EXPECT_EQ(+m.cameraCount, 0);
    EXPECT_FLOAT_EQ(+m.barlowFactor, 2.0f);
    EXPECT_EQ(+m.extenderIndex, 255);
    // The focal length comes back from the ratio.
    OpticsBlock &mm = r->optics[0];
    ASSERT_EQ(ComputeOpticsLimits(&mm), 1);
    EXPECT_NEAR(+mm.focalLength, 900.0, 1e-9);

    auto probe = Telescope("Old Binos");
    int index = -1;
    ASSERT_EQ(FindInstrumentByName(f, probe.get(), 2, &index), 1);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(+probe->kind, 1);
    EXPECT_EQ(+probe->optics[0].type, 10);
}

TEST_F(InstrumentStore, OlderStampIsRenewedAndRecordsUntouched) {
    ASSERT_EQ(CreateInstrumentFile(), 1);
    ASSERT_EQ(Open(), 0);
    auto a = FullTelescope();
    ASSERT_EQ(AppendInstrument(f, a.get()), 1);
    Close();
    std::string b = Bytes();
    b.replace(0, 5, std::string("\x03\xD9\x03\x00\x20", 5));  // 3.0, version 3000
    ASSERT_TRUE(WriteFileBytes(dir.file("instr.bin"), b));
    ASSERT_EQ(Open(), 1);
    std::string after = Bytes();
    EXPECT_EQ(after.substr(0, 5), std::string("\x03\xD9\x03\x01\x66", 5));
    EXPECT_EQ(after.substr(5), b.substr(5));

    // A stamp newer than this program: refused, and the file left alone.
    b.replace(0, 5, std::string("\x03\xD9\x03\x02\x61", 5));
    ASSERT_TRUE(WriteFileBytes(dir.file("instr.bin"), b));
    EXPECT_EQ(Open(), -1);
    EXPECT_EQ(Bytes(), b);
}

TEST_F(InstrumentStore, StampedOlderLayoutsAreConvertedOnOpen) {
    // 330,050-byte records: blocks of 164,929 bytes, name at 329,890.
    {
        std::string b(9 + 330050, '\0');
        b.replace(0, 9, std::string("\x03\xD9\x03\x00\x20\x08\x00\x01\x00", 9));
        size_t r = 9, k = r + 31;
        Put<uint16_t>(b, r, 8);
        Put<uint8_t>(b, r + 2, 1);
        Put<uint8_t>(b, k + 0, 2);
        Put<double>(b, k + 1, 200.0);
        Put<double>(b, k + 9, 1000.0);
        Put<uint8_t>(b, k + 100, 1);
        Put<double>(b, k + 101, 25.0);
        PutText(b, k + 101 + 19, "Plossl 25");
        Put<int32_t>(b, k + 3671, 1);
        PutText(b, k + 3675 + 13241, "Webcam");
        Put<double>(b, k + 164620, 40.0);
        Put<double>(b, k + 164645, 123.0);  // effective aperture: replaced
        Put<uint8_t>(b, k + 164653, 1);
        Put<float>(b, k + 164654, 2.5f);
        Put<uint8_t>(b, k + 164658, 1);
        Put<uint8_t>(b, k + 164661, 1);
        Put<uint8_t>(b, k + 164662, 1);
        Put<double>(b, k + 164673, 20.0);
        Put<double>(b, k + 164733, 110.0);
        Put<double>(b, k + 164741, 32.0);
        Put<uint8_t>(b, r + 329889, 1);
        PutText(b, r + 329890, "Dob 8");
        ASSERT_TRUE(WriteFileBytes(dir.file("instr.bin"), b));
        ASSERT_EQ(Open(), 1);
        std::string after = Bytes();
        ASSERT_EQ(after.size(), 9 + R);
        EXPECT_EQ(after.substr(0, 9), std::string("\x03\xD9\x03\x01\x66\x08\x00\x01\x00", 9));
        auto rec = Telescope("x");
        ASSERT_EQ(ReadInstrument(f, rec.get(), 0), 1);
        const OpticsBlock &m = rec->optics[0];
        EXPECT_STREQ(rec->name, "Dob 8");
        EXPECT_EQ(+rec->mounting, 1);
        EXPECT_DOUBLE_EQ(+m.focalLength, 1000.0);
        EXPECT_STREQ(m.eyepieces[0].name, "Plossl 25");
        EXPECT_STREQ(m.cameras[0].name, "Webcam");
        EXPECT_DOUBLE_EQ(+m.magnification, 40.0);
        EXPECT_DOUBLE_EQ(+m.effectiveAperture, 200.0);
        EXPECT_EQ(+m.labelFlag, 1);
        EXPECT_FLOAT_EQ(+m.barlowFactor, 2.5f);
        EXPECT_EQ(+m.barlowInUse, 1);
        EXPECT_EQ(+m.projectionOffered, 1);
        EXPECT_EQ(+m.afocalOffered, 1);
        EXPECT_EQ(+m.focalState, 0);
        EXPECT_DOUBLE_EQ(+m.projectionEyepiece.focalLength, 20.0);
        EXPECT_DOUBLE_EQ(+m.projectionDistance, 110.0);
        EXPECT_DOUBLE_EQ(+m.afocalEyepiece.focalLength, 32.0);
        EXPECT_EQ(+m.extenderIndex, 255);
        EXPECT_FLOAT_EQ(+m.extenderFactors[14], 1.0f);
        Close();
    }
    // 139,206-byte records: blocks of 69,571 bytes with 5,434-byte cameras.
    {
        std::string b(9 + 139206, '\0');
        b.replace(0, 9, std::string("\x03\xD9\x03\x00\x20\x02\x00\x01\x00", 9));
        size_t r = 9, k = r + 31, c = k + 4305;
        Put<uint16_t>(b, r, 2);
        Put<uint8_t>(b, r + 2, 1);
        Put<uint8_t>(b, k + 0, 3);
        Put<double>(b, k + 1, 203.2);
        Put<int32_t>(b, k + 4301, 1);
        Put<double>(b, c + 0, 8.5);   // read noise
        Put<double>(b, c + 24, 13.8);  // sensor width
        Put<int32_t>(b, c + 44, 1530);
        Put<double>(b, c + 48, 12.73);
        PutText(b, c + 56, "KAF-1602");
        Put<double>(b, c + 89, 35.0);
        Put<int32_t>(b, c + 193, 6);
        Put<int32_t>(b, c + 5328, 1);
        PutText(b, c + 213, "Red");
        Put<double>(b, c + 213 + 33, 0.65);
        PutText(b, c + 4863 + 2 * 93, "V");
        PutText(b, c + 5401, "ST-8");
        Put<double>(b, k + 69538, 81.0);
        Put<double>(b, k + 69555, 2032.0);
        PutText(b, r + 139174, "SCT 8");
        ASSERT_TRUE(WriteFileBytes(dir.file("instr.bin"), b));
        ASSERT_EQ(Open(), 1);
        ASSERT_EQ(Bytes().size(), 9 + R);
        auto rec = Telescope("x");
        ASSERT_EQ(ReadInstrument(f, rec.get(), 0), 1);
        const OpticsBlock &m = rec->optics[0];
        const CameraEntry &cam = m.cameras[0];
        EXPECT_STREQ(rec->name, "SCT 8");
        EXPECT_EQ(+m.cameraCount, 1);
        EXPECT_DOUBLE_EQ(+cam.readNoise, 8.5);
        EXPECT_DOUBLE_EQ(+cam.sensorWidth, 13.8);
        EXPECT_EQ(+cam.pixelsAcross, 1530);
        EXPECT_DOUBLE_EQ(+cam.pixelDiagonal, 12.73);
        EXPECT_STREQ(cam.curveName, "KAF-1602");
        EXPECT_DOUBLE_EQ(+cam.quantumEfficiency[0], 35.0);
        EXPECT_EQ(+cam.poolId, 6);
        EXPECT_EQ(+cam.filterCount, 1);
        EXPECT_STREQ(cam.filters[0].name, "Red");
        EXPECT_DOUBLE_EQ(+cam.filters[0].wavelength, 0.65);
        EXPECT_STREQ(cam.filters[52].name, "V");
        EXPECT_STREQ(cam.name, "ST-8");
        EXPECT_EQ(+cam.lensCount, 0);
        EXPECT_DOUBLE_EQ(+m.magnification, 81.0);
        EXPECT_DOUBLE_EQ(+m.effectiveFocalLength, 2032.0);
        EXPECT_DOUBLE_EQ(+m.effectiveAperture, 203.2);
        EXPECT_FLOAT_EQ(+m.barlowFactor, 2.0f);
    }
}

TEST_F(InstrumentStore, ConvertedCopyLeftByAnInterruptedConversionIsTakenBack) {
    ASSERT_EQ(CreateInstrumentFile(), 1);
    ASSERT_EQ(Open(), 0);
    auto a = Telescope("Survivor");
    ASSERT_EQ(AppendInstrument(f, a.get()), 1);
    Close();
    std::filesystem::rename(dir.file("instr.bin"), dir.file("instr_new.bin"));
    ASSERT_EQ(Open(), 1);
    EXPECT_FALSE(testutil::PathIsThere(dir.file("instr_new.bin")));
    EXPECT_EQ(Cut(Bytes(), 9 + 329992), "Survivor");
}

TEST_F(InstrumentStore, AnotherFoldersFileIsReadWhereItsRecordsBegin) {
    ASSERT_TRUE(WriteFileBytes(dir.file("old.bin"), FirstGenerationFile()));
    int32_t n = -1;
    uint8_t stamp[5] = {9, 9, 9, 9, 9};
    int old = -1;
    FILE *o = OpenOtherInstrumentFile(dir.file("old.bin").c_str(), &n, stamp, &old);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(old, 1);
    EXPECT_EQ(std::ftell(o), 4);  // the first record of the unstamped layout
    std::fclose(o);

    ASSERT_EQ(CreateInstrumentFile(), 1);
    ASSERT_EQ(Open(), 0);
    auto a = Telescope("A");
    ASSERT_EQ(AppendInstrument(f, a.get()), 1);
    Close();
    o = OpenOtherInstrumentFile(dir.file("instr.bin").c_str(), &n, stamp, &old);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(old, 0);
    EXPECT_EQ(std::string((const char *)stamp, 5), std::string("\x03\xD9\x03\x01\x66", 5));
    EXPECT_EQ(std::ftell(o), 9);
    std::fclose(o);
    EXPECT_EQ(OpenOtherInstrumentFile(dir.file("none.bin").c_str(), &n, stamp, &old), nullptr);
}

TEST_F(InstrumentStore, RecordsBeyondTwoGigabytesAreAddressed) {
    // Record 6,505 starts at 9 + 6,505 x 330,152 = 2,147,638,769, past 2^31:
    // a 32-bit seek would land elsewhere. The file is sparse up to there.
    ASSERT_EQ(CreateInstrumentFile(), 1);
    std::string header = Bytes();
    Put<uint16_t>(header, 5, 6505);
    Put<uint16_t>(header, 7, 6505);
    ASSERT_TRUE(WriteFileBytes(dir.file("instr.bin"), header));
    // The file holds the records it counts (a sparse hole of zero bytes):
    // a count beyond the file's length would be refused as damage.
    std::error_code error;
    std::filesystem::resize_file(dir.file("instr.bin"), 9 + 6505 * (uintmax_t)R, error);
    if (error) GTEST_SKIP() << "no room for a 2 GB sparse file here";
    ASSERT_EQ(Open(), 6505);
    auto far = Telescope("Far away");
    if (!AppendInstrument(f, far.get())) GTEST_SKIP() << "no room for a 2 GB sparse file here";
    EXPECT_EQ(+far->id, 6506);
    Close();
    EXPECT_EQ((int64_t)std::filesystem::file_size(dir.file("instr.bin")), (int64_t)9 + 6506 * (int64_t)R);
    ASSERT_EQ(Open(), 6506);
    auto back = Telescope("x");
    ASSERT_EQ(ReadInstrument(f, back.get(), 6505), 1);
    EXPECT_STREQ(back->name, "Far away");
    auto probe = Telescope("Far away");
    int index = -1;
    ASSERT_EQ(FindInstrumentByName(f, probe.get(), 6506, &index), 1);
    EXPECT_EQ(index, 6505);
    Close();
    std::filesystem::remove(dir.file("instr.bin"));
}
