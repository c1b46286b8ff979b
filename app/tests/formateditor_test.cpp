// The format editor's portable rules: column texts shown 1-based and stored
// 0-based, the Add/Del slot lists, the case-blind look-up of a fixed site,
// observer or instrument, the file preview's line and piece limits and the
// reading of the fields on OK, its order and its messages.
#include "app/formateditor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/userfolder.h"
#include "instruments/instrumentchoice.h"
#include "instruments/instrumentstore.h"
#include "sites/sitestore.h"
#include "testutil/testutil.h"

namespace {

TEST(FormatEditorColumns, TextsReadAsOneBasedColumnsStoredZeroBased) {
    struct Case { const char *text; int fieldOk; int32_t field; int sourceOk; int32_t source; };
    const Case cases[] = {
        {"", 1, -1, 1, -1},   {"  ", 1, -1, 1, -1},   {"0", 0, 0, 1, -1},  {"1", 1, 0, 1, 0},
        {"11", 1, 10, 1, 10}, {"-3", 0, 0, 0, -1},    {"abc", 0, 0, 0, -1}, {"50", 1, 49, 1, 49},
        {"51", 0, 0, 0, -1},  {"3.7", 1, 2, 1, 2},
        // A letter is no part of a column number, even beside digits.
        {"x5", 0, 0, 0, -1},  {"12a", 0, 0, 0, -1},
    };
    for (const Case &c : cases) {
        int32_t field = 1234, source = 1234;
        EXPECT_EQ(ParseFieldColumnText(c.text, &field), c.fieldOk) << c.text;
        if (c.fieldOk) {
            EXPECT_EQ(field, c.field) << c.text;
        }
        EXPECT_EQ(ParseSourceColumnText(c.text, &source), c.sourceOk) << c.text;
        EXPECT_EQ(source, c.source) << c.text;
    }
    EXPECT_EQ(ColumnPromptValue("7"), 7);
    EXPECT_EQ(ColumnPromptValue("0"), 0);
    EXPECT_EQ(ColumnPromptValue("-2"), -1);
    EXPECT_EQ(ColumnPromptValue("seven"), -1);
    EXPECT_EQ(ColumnPromptValue("4p"), -1);
    EXPECT_EQ(ColumnPromptValue(""), 0);  // a blank reads as 0: nothing is stored
    EXPECT_EQ(ColumnText(0), "1");
    EXPECT_EQ(ColumnText(19), "20");
    EXPECT_EQ(ColumnText(-1), "");
    EXPECT_EQ(ColumnText(-2), "");
}

TEST(FormatEditorLists, DeleteMovesUsedSlotsToTheFrontAndAddFindsTheFirstFree) {
    int32_t extra[5] = {19, 23, 27, -2, -2};
    EXPECT_EQ(ListedColumns(extra, 5), (std::vector<std::string>{"20", "24", "28"}));
    EXPECT_EQ(FirstFreeColumnSlot(extra, 5), 3);
    DeleteColumnSlot(extra, 5, 0);
    const int32_t afterFirst[5] = {23, 27, -2, -2, -2};
    EXPECT_EQ(0, std::memcmp(extra, afterFirst, sizeof extra));
    DeleteColumnSlot(extra, 5, 1);
    EXPECT_EQ(ListedColumns(extra, 5), (std::vector<std::string>{"24"}));

    int32_t conditions[2] = {3, 4};
    EXPECT_EQ(FirstFreeColumnSlot(conditions, 2), -1);  // a third Add is refused
    // A used slot after an empty one is not listed (the list stops at the first gap).
    int32_t gap[2] = {-2, 5};
    EXPECT_TRUE(ListedColumns(gap, 2).empty());

    char tags[5][kFormatTagSize] = {"OtherEquipment", "ShortDescription", "Rating", "", ""};
    EXPECT_EQ(FirstFreeTagSlot(tags, 5), 3);
    DeleteTagSlot(tags, 5, 1);
    EXPECT_EQ(ListedTags(tags, 5), (std::vector<std::string>{"OtherEquipment", "Rating"}));
    for (int i = 2; i < 5; ++i)
        for (int b = 0; b < kFormatTagSize; ++b) EXPECT_EQ(tags[i][b], 0) << i;  // no stale bytes
    char full[2][kFormatTagSize] = {"Transparency", "Seeing"};
    EXPECT_EQ(FirstFreeTagSlot(full, 2), -1);
    DeleteTagSlot(full, 2, 5);  // out of range: nothing happens
    EXPECT_EQ(ListedTags(full, 2).size(), 2u);
}

class FormatEditorStores : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataFolder(dir_.path().c_str()); }
    void TearDown() override { SetUserDataFolder(""); }
    testutil::TempDir dir_;
};

TEST_F(FormatEditorStores, FindsTheFirstEntryOfANameIgnoringCase) {
    int16_t count = 0;
    FILE *sites = OpenLocationStore(&count);
    ASSERT_NE(sites, nullptr);
    LocationTrailer trailer = {0, 0, 0};
    for (const char *name : {"Home", "Dark Ridge", "dark ridge"}) {
        LocationRecord r;
        std::memset(&r, 0, sizeof r);
        InitLocationRecord(&r, 0.1, 0.7, 100, 6.5, 0, 15, 50, 2, 0, 0, name);
        ASSERT_EQ(AppendLocation(sites, &r, &trailer), 1);
    }
    EXPECT_EQ(FindLocationIndexByName(sites, "DARK RIDGE"), 1);
    EXPECT_EQ(FindLocationIndexByName(sites, "home"), 0);
    EXPECT_EQ(FindLocationIndexByName(sites, "Dark"), -1);
    EXPECT_EQ(FindLocationIndexByName(sites, ""), -1);
    std::fclose(sites);
    // A store whose count claims more slots than it holds: the missing slot fails.
    std::string bytes = testutil::ReadFileBytes(dir_.file("loc.bin"));
    bytes[0] = 5;
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("loc.bin"), bytes));
    sites = OpenLocationStore(&count);
    ASSERT_NE(sites, nullptr);
    EXPECT_EQ(FindLocationIndexByName(sites, "Nowhere"), -1);
    EXPECT_EQ(FindLocationIndexByName(sites, "dark ridge"), 1);
    std::fclose(sites);

    FILE *observers = OpenObserverStore(&count);
    ASSERT_NE(observers, nullptr);
    for (const char *name : {"Ann", "Bob"}) {
        ObserverRecord o;
        InitObserverRecord(&o, name, 40, 6.0, 3.0);
        ASSERT_EQ(AppendObserver(observers, &o), 1);
    }
    EXPECT_EQ(FindObserverIndexByName(observers, "BOB"), 1);
    EXPECT_EQ(FindObserverIndexByName(observers, "Bo"), -1);
    std::fclose(observers);

    ASSERT_EQ(CreateInstrumentFile(), 1);
    int32_t n = 0;
    FILE *instruments = OpenInstrumentFile(&n);
    ASSERT_NE(instruments, nullptr);
    std::unique_ptr<InstrumentRecord> rec(new InstrumentRecord);
    for (const char *name : {"8in Dob", "10x50"}) {
        LoadDefaultInstrument(rec.get());
        std::snprintf(rec->name, sizeof rec->name, "%s", name);
        ASSERT_EQ(AppendInstrument(instruments, rec.get()), 1);
    }
    EXPECT_EQ(FindInstrumentIndexByName(instruments, "10X50"), 1);
    EXPECT_EQ(FindInstrumentIndexByName(instruments, "8in dob"), 0);
    EXPECT_EQ(FindInstrumentIndexByName(instruments, "Refractor"), -1);
    std::fclose(instruments);
}

TEST_F(FormatEditorStores, PreviewShowsAThousandLinesAndSplitsLongLinesIntoPieces) {
    std::string many;
    for (int i = 1; i <= 1500; ++i) many += "line " + std::to_string(i) + "\n";
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("many.txt"), many));
    std::string text;
    ASSERT_EQ(ReadFilePreviewText(dir_.file("many.txt").c_str(), &text), 1);
    EXPECT_EQ(text.substr(0, 14), "line 1\r\nline 2");
    EXPECT_NE(text.find("line 1000\r\n"), std::string::npos);
    EXPECT_EQ(text.find("line 1001"), std::string::npos);
    EXPECT_EQ(text.size() - text.find("line 1000\r\n"), 11u);

    // 5000 characters on one CR LF line, then a last line without an end:
    // three pieces, one line end, and the last line as it is.
    std::string longLine(5000, 'x');
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("long.txt"), longLine + "\r\nend"));
    ASSERT_EQ(ReadFilePreviewText(dir_.file("long.txt").c_str(), &text), 1);
    EXPECT_EQ(text, longLine + "\r\nend");
    ASSERT_EQ(ReadFilePreviewText(dir_.file("long.txt").c_str(), &text, 2), 1);
    EXPECT_EQ(text, std::string(4094, 'x'));  // two pieces are two lines

    EXPECT_EQ(ReadFilePreviewText(dir_.file("absent.txt").c_str(), &text), 0);
    EXPECT_TRUE(text.empty());
}

// The editor shows a UTF-8 file as the passes read it: in Windows-1252,
// without its byte-order mark; a Windows-1252 file as it is.
TEST_F(FormatEditorStores, PreviewShowsUtf8AsTheSuitesText) {
    std::string text;
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("utf8.csv"), "\xEF\xBB\xBFM31,J\xC3\xB6rg\r\nM32,\xE2\x82\xAC\r\n"));
    ASSERT_EQ(ReadFilePreviewText(dir_.file("utf8.csv").c_str(), &text), 1);
    EXPECT_EQ(text, "M31,J\xF6rg\r\nM32,\x80\r\n");
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("ansi.csv"), "M31,J\xF6rg\n"));
    ASSERT_EQ(ReadFilePreviewText(dir_.file("ansi.csv").c_str(), &text), 1);
    EXPECT_EQ(text, "M31,J\xF6rg\r\n");
}

FormatEditorFields GoodFields() {
    FormatEditorFields f;
    f.name = "Club log";
    f.skipLines = "2";
    f.commentChar = "#x";
    f.dateLayout = 1;
    f.delimiterIndex = 4;
    f.timeColumn = "3";
    f.dateColumn = "2";
    f.targetColumn = "1";
    f.descriptionColumn = "";
    f.siteColumn = "";
    f.observerColumn = "0";
    f.instrumentColumn = "7";
    f.tags[6] = "Object";
    return f;
}

TEST(FormatEditorOk, ReadsEveryFieldIntoTheFormat) {
    std::unique_ptr<ImportFormat> f(new ImportFormat);
    std::memset(f.get(), 0, sizeof *f);
    f->conditionColumns[0] = 8;
    std::string message;
    ASSERT_EQ(ReadFormatFromFields(GoodFields(), f.get(), &message), 1) << message;
    EXPECT_STREQ(f->name, "Club log");
    EXPECT_EQ(+f->skipLines, 2);
    EXPECT_EQ(f->commentChar, '#');
    EXPECT_EQ(+f->dateLayout, 1);
    EXPECT_EQ(f->delimiter, ';');
    EXPECT_EQ(+f->timeColumn, 2);
    EXPECT_EQ(+f->dateColumn, 1);
    EXPECT_EQ(+f->targetColumn, 0);
    EXPECT_EQ(+f->descriptionColumn, -1);
    // An empty site column while reading sites from the file is no column, not
    // the first column (which holds the target in the preset).
    EXPECT_EQ(+f->siteColumn, -1);
    EXPECT_EQ(+f->observerColumn, -1);
    EXPECT_EQ(+f->instrumentColumn, 6);
    EXPECT_EQ(+f->siteFixed, 0);
    EXPECT_STREQ(f->targetTag, "Object");
    EXPECT_EQ(+f->conditionColumns[0], 8);  // Add/Del slots are not read on OK

    // No delimiter or layout selected keeps the format's own.
    FormatEditorFields none = GoodFields();
    none.delimiterIndex = -1;
    none.dateLayout = -1;
    none.commentChar = "";
    ASSERT_EQ(ReadFormatFromFields(none, f.get(), &message), 1);
    EXPECT_EQ(f->delimiter, ';');
    EXPECT_EQ(+f->dateLayout, 1);
    EXPECT_EQ(f->commentChar, '\0');
    f->delimiter = 'x';
    f->dateLayout = 9;
    ASSERT_EQ(ReadFormatFromFields(none, f.get(), &message), 1);
    EXPECT_EQ(f->delimiter, ',');
    EXPECT_EQ(+f->dateLayout, 0);
}

TEST(FormatEditorOk, StopsAtTheFirstInvalidFieldWithItsMessage) {
    struct Case { void (*change)(FormatEditorFields *); const char *message; };
    const Case cases[] = {
        {[](FormatEditorFields *f) { f->name = ""; f->timeColumn = "0"; },
         "Please enter a name for your file format configuration."},
        {[](FormatEditorFields *f) { f->skipLines = "-1"; }, "The number of lines to skip is invalid."},
        {[](FormatEditorFields *f) { f->skipLines = "many"; }, "The number of lines to skip is invalid."},
        {[](FormatEditorFields *f) { f->timeColumn = "0"; f->dateColumn = "0"; }, "The time column is invalid."},
        {[](FormatEditorFields *f) { f->dateColumn = "x"; }, "The date column is invalid."},
        {[](FormatEditorFields *f) { f->targetColumn = "-3"; }, "The target column is invalid."},
        {[](FormatEditorFields *f) { f->descriptionColumn = "51"; }, "The description column is invalid."},
        {[](FormatEditorFields *f) { f->siteColumn = "abc"; }, "The site column is invalid."},
        {[](FormatEditorFields *f) { f->observerColumn = "-1"; }, "The observer column is invalid."},
        {[](FormatEditorFields *f) { f->instrumentColumn = "99"; }, "The instrument column is invalid."},
    };
    for (const Case &c : cases) {
        std::unique_ptr<ImportFormat> f(new ImportFormat);
        std::memset(f.get(), 0, sizeof *f);
        FormatEditorFields fields = GoodFields();
        c.change(&fields);
        std::string message;
        EXPECT_EQ(ReadFormatFromFields(fields, f.get(), &message), 0) << c.message;
        EXPECT_EQ(message, c.message);
    }
    // A fixed site needs no column: its unreadable text is not an error.
    std::unique_ptr<ImportFormat> f(new ImportFormat);
    std::memset(f.get(), 0, sizeof *f);
    FormatEditorFields fixed = GoodFields();
    fixed.siteFixed = true;
    fixed.siteColumn = "abc";
    std::string message;
    ASSERT_EQ(ReadFormatFromFields(fixed, f.get(), &message), 1) << message;
    EXPECT_EQ(+f->siteFixed, 1);
    EXPECT_EQ(+f->siteColumn, -1);
    // Fields read before a failure stay in the format (the editor edits a copy).
    FormatEditorFields late = GoodFields();
    late.targetColumn = "0";
    EXPECT_EQ(ReadFormatFromFields(late, f.get(), &message), 0);
    EXPECT_EQ(+f->dateColumn, 1);
    EXPECT_STREQ(f->name, "Club log");
}

}  // namespace
