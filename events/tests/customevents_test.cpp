// Tests of custom events: their text lines keep their numbers whatever the
// texts hold, the events follow the duplicate and span rules, and both
// stores survive each failed file step.
#include "events/customevents.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "events/eventinsert.h"
#include "events/eventstore.h"
#include "objects/objectrecord.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

namespace {

const double kStart = 2461000.5;

class CustomEvents : public ::testing::Test {
protected:
    void SetUp() override {
        SetUserDataFolder(dir_.path().c_str());
        EnsureDirectory(dir_.file("events").c_str());
        header_.reset(NewEventFileHeader());
        InitLocationRecord(&header_->site, 1.0, 0.6, 100.0, 6.5, 0.0, 15.0, 50.0, 2, 0.0, -5.0, "Custom");
        header_->start = kStart;
    }
    void TearDown() override {
        SetFileStepFailure(0);
        SetUserDataFolder("");
    }
    std::string Text(int n) {
        char b[kCustomTextBufferSize];
        GetCustomEventText(n, b);
        return b;
    }
    testutil::TempDir dir_;
    std::unique_ptr<EventFileHeader> header_;
};

TEST_F(CustomEvents, LineNumbersSurviveBreaksAndLongTexts) {
    int line = -1;
    ASSERT_EQ(AppendCustomEventText("first", &line), 1);
    EXPECT_EQ(line, 0);
    char two[] = "two\nlines";
    ASSERT_EQ(AppendCustomEventText(two, &line), 1);
    EXPECT_EQ(line, 1);
    EXPECT_STREQ(two, "two\nlines");  // the caller's text is left alone
    const std::string longText(300, 'L');
    ASSERT_EQ(AppendCustomEventText(longText.c_str(), &line), 1);
    EXPECT_EQ(line, 2);
    ASSERT_EQ(AppendCustomEventText("last\r", &line), 1);
    EXPECT_EQ(line, 3);
    EXPECT_EQ(Text(0), "first");
    EXPECT_EQ(Text(1), "two lines");
    EXPECT_EQ(Text(2), std::string(254, 'L'));
    EXPECT_EQ(Text(3), "last");
    EXPECT_EQ(Text(9), "last");  // past the end: the last line
    // A file written elsewhere with a line longer than the buffer: the rest
    // of that line is not taken for the next one.
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("events/event_desc.txt"), std::string(400, 'x') + "\nnext\n"));
    EXPECT_EQ(Text(1), "next");
    // A NUL byte inside a line hides nothing: its line end still ends it.
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("events/event_desc.txt"), std::string("a\0b\nsecond\nthird\n", 17)));
    EXPECT_EQ(Text(1), "second");
    EXPECT_EQ(Text(2), "third");
    // No file: nothing.
    std::remove(dir_.file("events/event_desc.txt").c_str());
    EXPECT_EQ(Text(0), "");
}

// A stream that cannot be read (here one open for writing only, whose reads
// fail with the error flag set) is a read error, not the end of the texts.
TEST_F(CustomEvents, AReadErrorIsNoEndOfTheTexts) {
#ifdef _WIN32
    // Wine's C library answers a read of a write-only stream with an end of
    // file and no error flag, so the fixture cannot make the error there.
    GTEST_SKIP() << "no read error can be made on a write-only stream here";
#endif
    std::FILE *f = std::fopen(dir_.file("events/unreadable.txt").c_str(), "w");
    ASSERT_TRUE(f);
    char b[kCustomTextBufferSize];
    EXPECT_EQ(ReadCustomEventText(f, b), -1);
    std::fclose(f);
}

TEST_F(CustomEvents, SameEventOnceAndTheSpanLimit) {
    ObjectRecord objects[3];
    for (ObjectRecord &o : objects) InitObjectRecord(&o);
    objects[0].objectClass = 2;
    objects[0].index = 5;
    objects[1].objectClass = 5;
    objects[1].index = 1234;
    objects[2].objectClass = 5;
    objects[2].index = 99;
    EXPECT_EQ(AddCustomEvent(header_.get(), kStart + 3, objects, 2, 4), 1);
    EXPECT_EQ(AddCustomEvent(header_.get(), kStart + 3, objects, 2, 4), 0);
    // The same objects given the other way round are the same event too.
    ObjectRecord swapped[2] = {objects[1], objects[0]};
    EXPECT_EQ(AddCustomEvent(header_.get(), kStart + 3, swapped, 2, 4), 0);
    // Another line is another event; more objects than two are cut to two.
    EXPECT_EQ(AddCustomEvent(header_.get(), kStart + 3, objects, 3, 5), 1);
    EXPECT_EQ(AddCustomEvent(header_.get(), kStart + 100000, nullptr, 0, 6), 1);
    EXPECT_EQ(AddCustomEvent(header_.get(), kStart + 100000.01, nullptr, 0, 7), 0);
    EXPECT_EQ(+header_->count, 3);
    FileHandle f(OpenEventRecords(header_.get()));
    EventRecord r;
    // Equal times: the later insertion stands first.
    ASSERT_EQ(ReadEvent(f.get(), 0, &r), 1);
    EXPECT_EQ(+r.kind, kEventCustom);
    EXPECT_EQ(+r.contacts[0].code, 5);
    EXPECT_EQ(+r.body1Index, 5);
    EXPECT_EQ(+r.body2Index, 1234);
    EXPECT_LE(+r.contacts[0].visible, 1);
    ASSERT_EQ(ReadEvent(f.get(), 2, &r), 1);
    EXPECT_EQ(+r.contacts[0].visible, 1);  // no object: always listed as visible
}

TEST_F(CustomEvents, FailedStepsKeepTextsAndEvents) {
    ASSERT_EQ(AppendCustomEventText("one"), 1);
    ASSERT_EQ(AddCustomEvent(header_.get(), kStart + 1, nullptr, 0, 0), 1);
    const std::string texts = testutil::ReadFileBytes(dir_.file("events/event_desc.txt"));
    const std::string events = testutil::ReadFileBytes(dir_.file("events/Custom.bin"));
    auto restore = [&] {
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("events/event_desc.txt"), texts));
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("events/Custom.bin"), events));
    };
    {
        testutil::FailureTableLabel label("custom event text: append");
        testutil::ForEachFailurePoint(restore, [] { return AppendCustomEventText("two"); },
                                      [&](const testutil::FailurePointRun &run) {
                                          SCOPED_TRACE(testutil::DescribeFailurePoint(run));
                                          const std::string now =
                                              testutil::ReadFileBytes(dir_.file("events/event_desc.txt"));
                                          if (run.result == 1)
                                              EXPECT_EQ(now, "one\ntwo\n");
                                          else
                                              EXPECT_EQ(now, texts);
                                      });
    }
    std::unique_ptr<EventFileHeader> work(NewEventFileHeader());
    testutil::FailureTableLabel label("custom event: add");
    testutil::ForEachFailurePoint(
        restore,
        [&] {
            std::memcpy(work.get(), header_.get(), sizeof *work);
            return AddCustomEvent(work.get(), kStart + 0.5, nullptr, 0, 1);
        },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            const std::string now = testutil::ReadFileBytes(dir_.file("events/Custom.bin"));
            int32_t count = -1;
            std::memcpy(&count, now.data() + 5, 4);
            // The stored event is never lost; the new one is there only when reported.
            EXPECT_EQ(count, run.result == 1 ? 2 : 1);
            double last;
            std::memcpy(&last, now.data() + kEventHeaderSize + (count - 1) * kEventRecordSize + 29, 8);
            EXPECT_DOUBLE_EQ(last, kStart + 1);
        });
}

}  // namespace
