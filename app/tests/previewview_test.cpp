// What wizard step 4 shows of the preview: the four row colourings, the
// detail texts of recognised, unrecognised and fixed-site entries built from
// hand-filled preview records, the result text, the record count of the
// preview file, and the stamp that tells Finish the import file changed.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "app/importpass.h"
#include "app/previewview.h"
#include "astro/location.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

namespace {

TEST(PreviewView, RowColoursMarkUnrecognisedEntriesRed) {
    struct Case {
        int selected, notRecognised;
        PreviewColour background, text;
    };
    const Case cases[] = {
        {1, 1, kPreviewRed, kPreviewWhite},
        {0, 1, kPreviewRed, kPreviewBlack},
        {1, 0, kPreviewHighlight, kPreviewHighlightText},
        {0, 0, kPreviewWindow, kPreviewWindowText},
    };
    for (const Case &c : cases) {
        PreviewColour b = kPreviewWindow, t = kPreviewWindow;
        ChoosePreviewRowColours(c.selected, c.notRecognised, &b, &t);
        EXPECT_EQ(b, c.background) << c.selected << c.notRecognised;
        EXPECT_EQ(t, c.text) << c.selected << c.notRecognised;
    }
}

// A record as the preview pass writes it: an entry at a site 5 h west of
// Greenwich (zone -5, no daylight saving) on 2025 February 1 at 21:30 local
// time, which is 02:30 UT on February 2: JD 2460708.5 + 2.5 h (Meeus, ch. 7).
std::unique_ptr<PreviewRecord> MakeRecord() {
    std::unique_ptr<PreviewRecord> r(new PreviewRecord);
    std::memset(r.get(), 0, sizeof *r);
    const double kDeg = kPi / 180.0;
    InitLocationRecord(&r->entry.site, 75.0 * kDeg, 40.0 * kDeg, 100, 6.5, 0, 15, 50, 2, 0, -5.0, "Dark Ridge");
    r->entry.site.dstMode = 0;
    r->entry.julianDate = 2460708.5 + 2.5 / 24.0;
    std::snprintf(r->entry.designation, sizeof r->entry.designation, "M 31");
    std::snprintf(r->entry.observer.name, sizeof r->entry.observer.name, "Ann");
    std::snprintf(r->entry.instrument.name, sizeof r->entry.instrument.name, "Dob 8");
    std::snprintf(r->dateText, sizeof r->dateText, "02/01/2025 21:30");
    std::snprintf(r->siteText, sizeof r->siteText, "Use global value");
    std::snprintf(r->observerText, sizeof r->observerText, "ann");
    std::snprintf(r->instrumentText, sizeof r->instrumentText, "8in Dob");
    std::snprintf(r->targetText, sizeof r->targetText, "M31");
    std::snprintf(r->conditionsText, sizeof r->conditionsText, "clear and calm");
    std::snprintf(r->notesText, sizeof r->notesText, "Dust lane seen.");
    return r;
}

TEST(PreviewView, DetailTextsShowTheValueAsReadAndAsMade) {
    std::unique_ptr<PreviewRecord> r = MakeRecord();
    PreviewDetailTexts t;
    MakePreviewDetailTexts(*r, &t);
    EXPECT_EQ(t.target, "M31 --> M 31");
    EXPECT_EQ(t.date, "02/01/2025 21:30 --> 2025 2 1 21:30 (year month day time)");
    EXPECT_EQ(t.site, "Use global value --> Dark Ridge");  // a fixed site
    EXPECT_EQ(t.observer, "ann --> Ann");
    EXPECT_EQ(t.instrument, "8in Dob --> Dob 8");
    EXPECT_EQ(t.conditions, "clear and calm");
    EXPECT_EQ(t.notes, "Dust lane seen.");

    r->notRecognised = 1;
    std::snprintf(r->siteText, sizeof r->siteText, "backyard");
    MakePreviewDetailTexts(*r, &t);
    EXPECT_EQ(t.target, "M31 --> *** object not recognized ***");
    EXPECT_EQ(t.date, "02/01/2025 21:30");
    EXPECT_EQ(t.site, "backyard");
    EXPECT_EQ(t.observer, "ann");
    EXPECT_EQ(t.instrument, "8in Dob");
    EXPECT_EQ(t.notes, "Dust lane seen.");

    // Text fields filled to their last byte (a damaged file) are read only
    // up to their sizes.
    std::memset(r->targetText, 'x', sizeof r->targetText);
    std::memset(r->notesText, 'y', sizeof r->notesText);
    MakePreviewDetailTexts(*r, &t);
    EXPECT_EQ(t.target, std::string(64, 'x') + " --> *** object not recognized ***");
    EXPECT_EQ(t.notes, std::string(256, 'y'));
}

TEST(PreviewView, ResultTextCarriesTheCount) {
    EXPECT_EQ(FormatImportResultText(0), "0 log entries sucessfully imported into Nightjar");
    EXPECT_EQ(FormatImportResultText(12), "12 log entries sucessfully imported into Nightjar");
    EXPECT_EQ(FormatImportResultText(12, 0), "12 log entries sucessfully imported into Nightjar");
    EXPECT_EQ(FormatImportResultText(4, 3),
              "4 log entries sucessfully imported into Nightjar\r\n"
              "(3 of them were already in the log)");
}

TEST(PreviewView, RecordCountAndFileStamp) {
    testutil::TempDir dir;
    SetUserDataFolder(dir.path().c_str());
    EXPECT_EQ(CountPreviewRecords(), 0);
    // Two whole records and a part of a third, as a failed pass may leave.
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("gleaner.bin"), std::string(2 * 331458 + 1000, '\0')));
    EXPECT_EQ(CountPreviewRecords(), 2);

    const std::string log = dir.file("log.csv");
    ASSERT_TRUE(testutil::WriteFileBytes(log, "M31,01/02/2025\n"));
    ImportFileStamp stamp = TakeImportFileStamp(log.c_str());
    EXPECT_EQ(stamp.valid, 1);
    EXPECT_EQ(ImportFileChangedSince(log.c_str(), stamp), 0);
    // Same size, another time.
    FileTimeValue later = stamp.time;
    later.high += 1;
    ASSERT_EQ(SetFileWriteTime(log.c_str(), later), 1);
    EXPECT_EQ(ImportFileChangedSince(log.c_str(), stamp), 1);
    stamp = TakeImportFileStamp(log.c_str());
    // Another size.
    ASSERT_TRUE(testutil::WriteFileBytes(log, "M31,01/02/2025\nM32,01/02/2025\n"));
    ASSERT_EQ(SetFileWriteTime(log.c_str(), stamp.time), 1);
    EXPECT_EQ(ImportFileChangedSince(log.c_str(), stamp), 1);
    // Gone, or never stamped.
    std::remove(log.c_str());
    EXPECT_EQ(ImportFileChangedSince(log.c_str(), stamp), 1);
    EXPECT_EQ(ImportFileChangedSince(log.c_str(), ImportFileStamp()), 1);
    SetUserDataFolder("");
}

}  // namespace
