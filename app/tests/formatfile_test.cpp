// The format file: stored formats appended, read, overwritten, deleted and
// listed at their byte offsets; the two presets; damaged files.
#include "app/formatfile.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/safefile.h"
#include "core/userfolder.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

using testutil::ReadFileBytes;
using testutil::TempDir;
using testutil::WriteFileBytes;

namespace {

const size_t R = 331515;

struct FormatFile : ::testing::Test {
    TempDir user;
    void SetUp() override {
        SetUserDataFolder(user.path().c_str());
        ASSERT_EQ(OpenFormatFile(), 1);
    }
    void TearDown() override { SetUserDataFolder(""); }
    std::string Bytes() { return ReadFileBytes(user.file("gleaner.cfg")); }
    int32_t CountInFile() {
        std::string b = Bytes();
        int32_t c;
        std::memcpy(&c, b.data(), 4);
        return c;
    }
    // Makes the current format recognisable by its name and a column.
    void Mark(const char *name, int column) {
        std::memset(&CurrentImportFormat(), 0, sizeof(ImportFormat));
        std::snprintf(CurrentImportFormat().name, 65, "%s", name);
        CurrentImportFormat().targetColumn = column;
    }
    std::vector<std::string> Names() {
        std::vector<std::string> out;
        FormatEnumerator e;
        char name[65];
        if (!BeginFormatEnumeration(&e)) return out;
        while (ReadNextFormatName(&e, name)) out.push_back(name);
        return out;
    }
};

TEST(ImportFormatLayout, Offsets) {
    EXPECT_EQ(offsetof(ImportFormat, delimiter), 69u);
    EXPECT_EQ(offsetof(ImportFormat, skipLines), 71u);
    EXPECT_EQ(offsetof(ImportFormat, siteFixed), 83u);
    EXPECT_EQ(offsetof(ImportFormat, instrumentFixed), 93u);
    EXPECT_EQ(offsetof(ImportFormat, conditionColumns), 106u);
    EXPECT_EQ(offsetof(ImportFormat, extraColumns), 118u);
    EXPECT_EQ(offsetof(ImportFormat, fixedSite), 138u);
    EXPECT_EQ(offsetof(ImportFormat, fixedObserver), 304u);
    EXPECT_EQ(offsetof(ImportFormat, fixedInstrument), 388u);
    EXPECT_EQ(offsetof(ImportFormat, entryTag), 330540u);
    EXPECT_EQ(offsetof(ImportFormat, conditionTags), 330995u);
    EXPECT_EQ(offsetof(ImportFormat, descriptionTag), 331125u);
    EXPECT_EQ(offsetof(ImportFormat, extraTags), 331190u);
}

TEST_F(FormatFile, AppendReadAndOverwrite) {
    for (int i = 0; i < 3; ++i) {
        Mark(("F" + std::to_string(i)).c_str(), 10 + i);
        ASSERT_EQ(AppendImportFormat(), 1);
        EXPECT_EQ(CountInFile(), i + 1);
    }
    std::string b = Bytes();
    ASSERT_EQ(b.size(), 520 + 3 * R);
    EXPECT_EQ(b.substr(520 + 2 * R + 4, 3), std::string("F2\0", 3));
    int32_t col;
    std::memcpy(&col, &b[520 + 1 * R + 102], 4);
    EXPECT_EQ(col, 11);

    Mark("scratch", 0);
    ASSERT_EQ(ReadImportFormat(1), 1);
    EXPECT_STREQ(CurrentImportFormat().name, "F1");
    EXPECT_EQ(std::memcmp(&CurrentImportFormat(), &b[520 + R], R), 0);

    EXPECT_EQ(ReadImportFormat(3), 0);   // index == count
    EXPECT_EQ(ReadImportFormat(-1), 0);
    EXPECT_STREQ(CurrentImportFormat().name, "F1");

    Mark("F1 edited", 99);
    ASSERT_EQ(WriteImportFormat(1), 1);
    // A write at index == count would hide the record behind the count.
    EXPECT_EQ(WriteImportFormat(3), 0);
    EXPECT_EQ(Bytes().size(), 520 + 3 * R);
    EXPECT_EQ(Names(), (std::vector<std::string>{"F0", "F1 edited", "F2"}));
}

TEST_F(FormatFile, DeleteMovesLaterFormatsDown) {
    for (int i = 0; i < 3; ++i) {
        Mark(("F" + std::to_string(i)).c_str(), i);
        ASSERT_EQ(AppendImportFormat(), 1);
    }
    Mark("unsaved edit", 42);
    // An index past the last format deletes nothing.
    EXPECT_EQ(DeleteImportFormat(3), 0);
    EXPECT_EQ(CountInFile(), 3);
    ASSERT_EQ(DeleteImportFormat(0), 1);
    EXPECT_EQ(CountInFile(), 2);
    EXPECT_EQ(Names(), (std::vector<std::string>{"F1", "F2"}));
    // The old last slot stays behind the count; the current format is untouched.
    EXPECT_EQ(Bytes().size(), 520 + 3 * R);
    EXPECT_STREQ(CurrentImportFormat().name, "unsaved edit");
    ASSERT_EQ(DeleteImportFormat(1), 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"F1"}));
    ASSERT_EQ(DeleteImportFormat(0), 1);
    EXPECT_EQ(CountInFile(), 0);
    EXPECT_TRUE(Names().empty());
    EXPECT_EQ(DeleteImportFormat(0), 0);
}

TEST_F(FormatFile, EnumerationStopsAtATruncatedRecord) {
    for (int i = 0; i < 2; ++i) {
        Mark(("F" + std::to_string(i)).c_str(), i);
        ASSERT_EQ(AppendImportFormat(), 1);
    }
    std::string b = Bytes();
    ASSERT_TRUE(WriteFileBytes(user.file("gleaner.cfg"), b.substr(0, 520 + R + 40)));
    // The count now claims more than the file holds: the file is refused.
    FormatEnumerator e;
    EXPECT_EQ(BeginFormatEnumeration(&e), 0);
    EXPECT_EQ(e.file, nullptr);
    EXPECT_EQ(ReadImportFormat(0), 0);
    EXPECT_EQ(AppendImportFormat(), 0);
}

TEST_F(FormatFile, DamagedCountsAndTexts) {
    std::string b = Bytes();
    for (int32_t bad : {-1, 1000000, 2}) {
        std::memcpy(&b[0], &bad, 4);
        ASSERT_TRUE(WriteFileBytes(user.file("gleaner.cfg"), b));
        EXPECT_EQ(ReadImportFormat(0), 0) << bad;
        EXPECT_TRUE(Names().empty()) << bad;
    }
    // A stored format whose texts lack their terminators is read terminated.
    std::string rec(R, 'x');
    int32_t one = 1;
    std::memcpy(&b[0], &one, 4);
    ASSERT_TRUE(WriteFileBytes(user.file("gleaner.cfg"), b + rec));
    ASSERT_EQ(ReadImportFormat(0), 1);
    EXPECT_EQ(std::strlen(CurrentImportFormat().name), 64u);
    EXPECT_EQ(std::strlen(CurrentImportFormat().extraTags[4]), 64u);
    EXPECT_EQ(ValidateImportFormat(&CurrentImportFormat()), 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{std::string(64, 'x')}));
}

// The fixed site, observer and instrument of a stored format are file data
// too: a damaged record gives terminated names and bounded instrument counts
// (the editor prints the names, the passes copy the records into entries).
TEST_F(FormatFile, FixedRecordsOfADamagedFormatAreMadeSafe) {
    std::string b = Bytes();
    int32_t one = 1;
    std::memcpy(&b[0], &one, 4);
    ASSERT_TRUE(WriteFileBytes(user.file("gleaner.cfg"), b + std::string(R, '\xff')));
    ASSERT_EQ(ReadImportFormat(0), 1);
    const ImportFormat &f = CurrentImportFormat();
    EXPECT_EQ(std::strlen(f.fixedSite.name), 32u);        // name[33] at format offset 138 + 133
    EXPECT_EQ(std::strlen(f.fixedObserver.name), 63u);    // name[64] at 304
    EXPECT_EQ(std::strlen(f.fixedInstrument.name), 31u);  // name[32] at 388 + 329,992
    EXPECT_LE(+f.fixedInstrument.opticsCount, 2);
    std::unique_ptr<InstrumentRecord> copy(new InstrumentRecord(f.fixedInstrument));
    EXPECT_EQ(SanitizeInstrumentRecord(copy.get()), 1) << "nothing left to repair";
}

TEST_F(FormatFile, ShortFileIsNeitherReadNorWrittenInto) {
    ASSERT_TRUE(WriteFileBytes(user.file("gleaner.cfg"), std::string(100, '\0')));
    EXPECT_EQ(OpenFormatFile(), 0);
    EXPECT_EQ(SaveImportSettings(), 0);
    EXPECT_EQ(Bytes().size(), 100u);
}

// Every write of the format file at every failure point: either the change is
// there whole, or the file is byte for byte as it was and the call said 0.
TEST_F(FormatFile, WritesThroughEveryFailurePoint) {
    struct Case {
        const char *what;
        std::function<int()> operation;
        std::function<bool(FormatFile &)> changed;
    } cases[] = {
        {"overwrite", [this] { Mark("New", 9); return WriteImportFormat(1); },
         [](FormatFile &t) { return t.Names() == std::vector<std::string>{"A", "New", "C"}; }},
        {"delete", [] { return DeleteImportFormat(0); },
         [](FormatFile &t) { return t.Names() == std::vector<std::string>{"B", "C"}; }},
        {"append", [this] { Mark("D", 4); return AppendImportFormat(); },
         [](FormatFile &t) { return t.Names() == std::vector<std::string>{"A", "B", "C", "D"}; }},
        {"settings", [] {
             std::snprintf(CurrentImportSettings().importPath, 20, "%s", "C:/logs/new.csv");
             return SaveImportSettings();
         },
         [](FormatFile &t) { return t.Bytes().find("C:/logs/new.csv") != std::string::npos; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        testutil::FailureTableLabel label(std::string("format file ") + c.what);
        std::string before;
        testutil::ForEachFailurePoint(
            [&] {
                ASSERT_TRUE(WriteFileBytes(user.file("gleaner.cfg"), std::string(520, '\0')));
                ASSERT_EQ(OpenFormatFile(), 1);
                for (const char *n : {"A", "B", "C"}) {
                    Mark(n, 1);
                    ASSERT_EQ(AppendImportFormat(), 1);
                }
                before = Bytes();
            },
            c.operation,
            [&](const testutil::FailurePointRun &run) {
                SCOPED_TRACE(testutil::DescribeFailurePoint(run));
                if (run.result == 1) {
                    EXPECT_TRUE(c.changed(*this));
                } else {
                    EXPECT_TRUE(Bytes() == before) << "the format file changed";
                }
            });
    }
}

// A format file that exists but cannot be opened now is kept, never made anew.
TEST_F(FormatFile, UnopenableFileIsKeptAtStartUp) {
    Mark("Kept", 2);
    ASSERT_EQ(AppendImportFormat(), 1);
    std::string before = Bytes();
    SetFileStepFailure(1);  // the first open fails
    EXPECT_EQ(OpenFormatFile(), 0);
    SetFileStepFailure(0);
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(Names(), std::vector<std::string>{"Kept"});
}

TEST(ImportFormatPresets, SkyMapProCsv) {
    std::memset(&CurrentImportFormat(), 0x5A, sizeof(ImportFormat));
    LoadBuiltInCsvFormat();
    const ImportFormat &f = CurrentImportFormat();
    EXPECT_EQ(+f.kind, 0);
    EXPECT_STREQ(f.name, "SkyMap Pro CSV");
    EXPECT_EQ(f.delimiter, ',');
    EXPECT_EQ(f.commentChar, ' ');
    EXPECT_EQ(+f.skipLines, 1);
    EXPECT_EQ(+f.dateLayout, 4);
    EXPECT_EQ(+f.targetColumn, 0);
    EXPECT_EQ(+f.siteColumn, 10);
    EXPECT_EQ(+f.siteFixed, 0);
    EXPECT_EQ(+f.observerColumn, 7);
    EXPECT_EQ(+f.instrumentColumn, 16);
    EXPECT_EQ(+f.dateColumn, 8);
    EXPECT_EQ(+f.timeColumn, -2);
    EXPECT_EQ(+f.conditionColumns[0], 14);
    EXPECT_EQ(+f.conditionColumns[1], -2);
    EXPECT_EQ(+f.descriptionColumn, 28);
    int32_t extras[5];
    std::memcpy(extras, f.extraColumns, sizeof extras);
    EXPECT_EQ(std::vector<int32_t>(extras, extras + 5), (std::vector<int32_t>{19, 23, 27, -2, -2}));
    EXPECT_STREQ(f.entryTag, "");
    EXPECT_STREQ(f.extraTags[4], "");
    // The fixed records are not touched.
    EXPECT_EQ(((const unsigned char *)&f.fixedSite)[0], 0x5A);
    EXPECT_EQ(ValidateImportFormat(&CurrentImportFormat()), 1);
}

TEST(ImportFormatPresets, DeepSkyChangesOnlyItsFields) {
    std::memset(&CurrentImportFormat(), 0, sizeof(ImportFormat));
    CurrentImportFormat().delimiter = ';';
    CurrentImportFormat().targetColumn = 5;
    LoadBuiltInXmlFormat();
    const ImportFormat &f = CurrentImportFormat();
    EXPECT_EQ(+f.kind, 1);
    EXPECT_STREQ(f.name, "DeepSky");
    EXPECT_EQ(+f.dateLayout, 3);
    EXPECT_STREQ(f.entryTag, "LOG");
    EXPECT_STREQ(f.siteTag, "LocationObserved");
    EXPECT_STREQ(f.observerTag, "");
    EXPECT_STREQ(f.instrumentTag, "EquipmentUsed");
    EXPECT_STREQ(f.dateTag, "DateObserved");
    EXPECT_STREQ(f.timeTag, "TimeObserved");
    EXPECT_STREQ(f.targetTag, "ObjectId");
    EXPECT_STREQ(f.conditionTags[0], "Transparency");
    EXPECT_STREQ(f.conditionTags[1], "Seeing");
    EXPECT_STREQ(f.descriptionTag, "ObservationText");
    EXPECT_STREQ(f.extraTags[0], "OtherEquipment");
    EXPECT_STREQ(f.extraTags[1], "ShortDescription");
    EXPECT_STREQ(f.extraTags[2], "Rating");
    EXPECT_EQ(f.delimiter, ';');
    EXPECT_EQ(+f.targetColumn, 5);
}

}  // namespace
