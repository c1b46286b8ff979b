// Every store operation of the instrument store, with each of its file steps
// failed in turn (core/safefile.h's seam): after a failure instr.bin (or the
// copy it writes) reads back byte for byte as before and the operation said
// it failed; after a success the file holds exactly the change. Also the
// count checked against the file's length before it sizes anything.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "core/safefile.h"
#include "instruments/eyepiecepool.h"
#include "instruments/tests/instrfixture.h"
#include "testutil/failurepoints.h"

namespace {

using instrtest::Telescope;
using testutil::ReadFileBytes;
using testutil::WriteFileBytes;

const size_t R = 330152;            // record size, written out by hand
const size_t kNameAt = 329992;      // name within a record

std::string NameAt(const std::string &bytes, int index) {
    size_t at = 9 + index * R + kNameAt;
    return at < bytes.size() ? std::string(bytes.c_str() + at) : std::string("<none>");
}
int CountOf(const std::string &b) { return b.size() < 9 ? -1 : (unsigned char)b[7] | ((unsigned char)b[8] << 8); }

class InstrumentStoreFailure : public ::testing::Test {
protected:
    void SetUp() override {
        SetUserDataFolder(dir.path().c_str());
        ASSERT_EQ(CreateInstrumentFile(), 1);
        Reopen();
        for (const char *n : {"Alpha", "Beta", "Gamma"}) {
            auto r = Telescope(n, 200, 1200, 2);
            ASSERT_EQ(AppendInstrument(f, r.get()), 1);
        }
        Close();
        store = ReadFileBytes(dir.file("instr.bin"));
    }
    void TearDown() override {
        SetFileStepFailure(0);
        Close();
        SetUserDataFolder("");
    }
    void Close() {
        if (f) std::fclose(f);
        f = nullptr;
    }
    void Reopen() {
        Close();
        int32_t n = 0;
        f = OpenInstrumentFile(&n);
        ASSERT_NE(f, nullptr);
    }
    void Run(const char *operation, const char *file, const std::function<int()> &op,
             const std::function<bool(const std::string &)> &changed, bool tailMayGrow = false,
             bool closesStore = false) {
        SCOPED_TRACE(operation);
        testutil::FailureTableLabel label(operation);
        std::string before;
        int steps = testutil::ForEachFailurePoint(
            [&] {
                Close();
                ASSERT_TRUE(WriteFileBytes(dir.file("instr.bin"), store));
                ASSERT_TRUE(WriteFileBytes(dir.file("instr.bak"), OneRecordCopy()));
                Reopen();
                before = ReadFileBytes(dir.file(file));
            },
            op,
            [&](const testutil::FailurePointRun &run) {
                SCOPED_TRACE(testutil::DescribeFailurePoint(run));
                std::string after = ReadFileBytes(dir.file(file));
                bool kept = tailMayGrow ? after.compare(0, before.size(), before) == 0 &&
                                              CountOf(after) == CountOf(before)
                                        : after == before;
                bool intact = run.result == 1 ? changed(after) : kept;
                EXPECT_TRUE(intact) << (run.result == 1 ? "claimed success without the change"
                                                        : "the old file was not kept");
                if (closesStore) Reopen();
                ASSERT_NE(f, nullptr) << "the stream must be open again";
                auto probe = Telescope("x", 1, 1, 0);
                EXPECT_EQ(ReadInstrument(f, probe.get(), 0), 1);
            });
        EXPECT_GT(steps, 0);
    }

    // An older backup: the header counting one record, and that record.
    std::string OneRecordCopy() const {
        std::string b = store.substr(0, 9 + R);
        b[7] = 1;
        b[8] = 0;
        return b;
    }

    testutil::TempDir dir;
    FILE *f = nullptr;
    std::string store;
};

TEST_F(InstrumentStoreFailure, EveryOperationKeepsTheOldFileOrMakesTheWholeChange) {
    Run("instrument append", "instr.bin",
        [&] {
            auto r = Telescope("Delta", 100, 900, 1);
            return AppendInstrument(f, r.get());
        },
        [&](const std::string &b) { return CountOf(b) == 4 && NameAt(b, 3) == "Delta"; }, true);
    Run("instrument update", "instr.bin",
        [&] {
            auto r = Telescope("Beta Two", 150, 1000, 1);
            return WriteInstrument(f, r.get(), 1);
        },
        [&](const std::string &b) {
            return b.size() == store.size() && CountOf(b) == 3 && NameAt(b, 1) == "Beta Two" &&
                   NameAt(b, 2) == "Gamma";
        });
    Run("instrument delete", "instr.bin", [&] { return DeleteInstrument(&f, 0); },
        [&](const std::string &b) {
            return b.size() == store.size() && CountOf(b) == 2 && NameAt(b, 0) == "Beta" &&
                   NameAt(b, 1) == "Gamma" && NameAt(b, 2) == "Gamma";
        });
    Run("instrument backup", "instr.bak", [&] { return BackupInstrumentFile(); },
        [&](const std::string &b) { return b == store; });
    Run("instrument restore", "instr.bin",
        [&] {
            Close();  // the dialogs restore with the store closed
            return RestoreInstrumentFile();
        },
        [&](const std::string &b) { return b == OneRecordCopy(); }, false, true);
}

// A count of 3,000 in a file of three records: refused on open and by the
// copies, and nothing is written, where it once sized a 990 MB append and a
// backup of the same size.
TEST_F(InstrumentStoreFailure, ACountBeyondTheFileIsRefusedBeforeAnythingIsWritten) {
    std::string damaged = store;
    damaged[7] = (char)(3000 & 0xFF);
    damaged[8] = (char)(3000 >> 8);
    ASSERT_TRUE(WriteFileBytes(dir.file("instr.bin"), damaged));
    int32_t n = 0;
    EXPECT_EQ(OpenInstrumentFile(&n), nullptr);
    EXPECT_EQ(BackupInstrumentFile(), 0);
    EXPECT_FALSE(testutil::PathIsThere(dir.file("instr.bak")));
    // A stream opened before the damage: the append is refused too.
    FILE *raw = std::fopen(dir.file("instr.bin").c_str(), "r+b");
    ASSERT_NE(raw, nullptr);
    auto r = Telescope("Far", 100, 900, 1);
    EXPECT_EQ(AppendInstrument(raw, r.get()), 0);
    EXPECT_EQ(DeleteInstrument(&raw, 0), 0);
    if (raw) std::fclose(raw);
    EXPECT_EQ(ReadFileBytes(dir.file("instr.bin")), damaged);
}

}  // namespace

namespace {

// An instr.bin that cannot be opened for writing (a read-only folder) is
// still read; writes through the stream fail and change nothing.
TEST_F(InstrumentStoreFailure, AStoreThatCannotBeWrittenIsStillRead) {
    SetFileStepFailure(1);
    int32_t n = -1;
    FILE *ro = OpenInstrumentFile(&n);
    SetFileStepFailure(0);
    ASSERT_NE(ro, nullptr);
    EXPECT_EQ(n, 3);
    auto r = Telescope("x", 1, 1, 0);
    ASSERT_EQ(ReadInstrument(ro, r.get(), 2), 1);
    EXPECT_STREQ(r->name, "Gamma");
    EXPECT_EQ(AppendInstrument(ro, r.get()), 0);
    std::fclose(ro);
    EXPECT_EQ(ReadFileBytes(dir.file("instr.bin")), store);
}

}  // namespace

namespace {

// A pool whose count claims more records than the file holds is refused on
// open, and no record is appended far past its end.
TEST_F(InstrumentStoreFailure, APoolCountBeyondTheFileIsRefused) {
    ASSERT_GT(AddEyepieceRecord("Plossl", 25.0, 52.0), 0);
    ASSERT_GT(AddEyepieceRecord("Nagler", 9.0, 82.0), 0);
    std::string pool = ReadFileBytes(dir.file("eyep.bin"));
    ASSERT_GE(pool.size(), 4u);
    pool[2] = (char)(3000 & 0xFF);  // the count, after the last id
    pool[3] = (char)(3000 >> 8);
    ASSERT_TRUE(WriteFileBytes(dir.file("eyep.bin"), pool));
    int32_t count = -1;
    EXPECT_EQ(OpenEyepieceFile(&count), nullptr);
    EXPECT_LE(AddEyepieceRecord("Erfle", 20.0, 65.0), 0);
    EXPECT_EQ(ReadFileBytes(dir.file("eyep.bin")), pool);
}

}  // namespace
