// Tests of the event titles, columns and list lines, the evening date rule,
// the objects of an event, the contact order and the user objects that event
// files name.
#include "events/eventtexts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "astro/datetime.h"
#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "events/customevents.h"
#include "events/eventinsert.h"
#include "events/eventstore.h"
#include "objects/objectrecord.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

namespace {

const double kArcsec = 4.84813681109536e-6;

EventRecord Event(int kind, double time, int code) {
    EventRecord r;
    ClearEventRecord(&r);
    r.kind = static_cast<uint8_t>(kind);
    r.time = time;
    r.contactCount = 1;
    r.contacts[0].code = code;
    r.contacts[0].time = time;
    return r;
}

class EventTexts : public ::testing::Test {
protected:
    void SetUp() override {
        SetUserDataFolder(dir_.path().c_str());
        EnsureDirectory(dir_.file("events").c_str());
        h_.reset(NewEventFileHeader());
        // Zone UT - 5 h, no daylight saving.
        InitLocationRecord(&h_->site, 1.0, 0.6, 100.0, 6.5, 0.0, 15.0, 50.0, 2, 0.0, -5.0, "Texts");
        h_->start = 2461000.5;
    }
    void TearDown() override { SetUserDataFolder(""); }
    int Store(const std::vector<EventRecord> &events) {
        FileHandle f(StoreEventFileHeader(h_.get()));
        if (!f) return 0;
        int n = 0;
        for (const EventRecord &e : events) n += InsertEvent(f.get(), h_.get(), 1e5, &e, 0);
        return n;
    }
    std::string Line(const EventRecord &r, int contact = 0) {
        char title[kEventSlotSize];
        FormatEventRecordTitle(h_.get(), &r, title);
        char line[2 * kEventSlotSize];
        return FormatEventLine(h_.get(), &r, contact, title, line, sizeof line) ? line : "<none>";
    }
    testutil::TempDir dir_;
    std::unique_ptr<EventFileHeader> h_;
};

TEST(EventTextSeparation, UnitsAndDecimals) {
    const struct {
        double separation;
        const char *text;
    } cases[] = {
        {30 * kArcsec, "30\""},      {5 * kArcsec, "5.0\""},       {2 * 3600 * kArcsec, "2.0\xB0"},
        {12 * 3600 * kArcsec, "12\xB0"}, {15 * 60 * kArcsec, "15'"}, {2.5 * 60 * kArcsec, "2.5'"},
    };
    for (const auto &c : cases) {
        char b[32];
        EXPECT_STREQ(FormatApproachSeparation(b, sizeof b, c.separation), c.text);
    }
}

TEST_F(EventTexts, EarlyMorningEventIsTitledByTheEveningBeforeAndListedByItsOwnDate) {
    // 2026 Mar 10, 02:00 local = 07:00 UT.
    const double t = JulianDateFromCalendar(3, 10, 2026, 7.0);
    EventRecord e = Event(kEventCloseApproach, t, kContactClosest);
    e.body1Class = 2;
    e.body1Index = 2;
    e.body2Class = 2;
    e.body2Index = 5;
    e.contacts[0].separation = 30 * kArcsec;
    e.contacts[0].darkness = 0.8;
    e.contacts[0].altitude = 0.5;
    ASSERT_EQ(Store({e}), 1);
    DateRecord night;
    SetDateRecord(&night, &h_->site, 3, 9, 2026, 12.0, kLocalTime);
    char slots[2][kEventSlotSize];
    EXPECT_EQ(FormatEventTitle(h_.get(), &night, 0, slots), 3);
    EXPECT_STREQ(slots[0], "2026 Mar  9");
    EXPECT_STREQ(slots[1], "Venus and Jupiter 30\" apart");
    DateRecord other;
    SetDateRecord(&other, &h_->site, 3, 10, 2026, 12.0, kLocalTime);
    EXPECT_EQ(FormatEventTitle(h_.get(), &other, 0, slots), 1);
    EXPECT_EQ(FormatEventTitle(h_.get(), &other, 1, slots), 0);  // no such event
    char cols[kEventColumnSlots][kEventSlotSize];
    int score = -1, dark = -1;
    EXPECT_EQ(FormatEventColumns(h_.get(), &e, 0, cols, &score, &dark), 8);
    EXPECT_STREQ(cols[0], "2026 Mar 10");
    const std::string line = Line(e);
    EXPECT_EQ(line.substr(0, 11), "2026 Mar 10");
    // The percent sign comes out whole.
    EXPECT_NE(line.find(", Sep=30\", Alt="), std::string::npos) << line;
    EXPECT_NE(line.find("80% Dark"), std::string::npos) << line;
}

TEST_F(EventTexts, LinesByKind) {
    EventRecord occulted = Event(kEventSatellitePhenomenon, 2461001.0, 7);
    occulted.body1Class = 2;
    occulted.body1Index = 5;
    occulted.body2Index = 0;
    char cols[kEventColumnSlots][kEventSlotSize];
    EXPECT_EQ(FormatEventColumns(h_.get(), &occulted, 0, cols, nullptr, nullptr), 7);
    EXPECT_STREQ(cols[2], "Occulted by Jupiter");
    EXPECT_STREQ(cols[3], "Io");
    EXPECT_EQ(Line(occulted), "<none>");
    EventRecord ingress = occulted;
    ingress.contacts[0].code = 2;
    EXPECT_NE(Line(ingress).find("Io Transit, Transit ingress, Alt="), std::string::npos) << Line(ingress);

    // Opposition of a minor planet without a diameter, of a planet with one.
    EventRecord minor = Event(kEventPhenomenon, 2461001.0, kCodeOpposition);
    minor.body1Class = 2;
    minor.body1Index = 4;
    minor.contacts[0].separation = 0.0;
    minor.contacts[0].altitude = 9.4;  // the magnitude
    const std::string m = Line(minor);
    EXPECT_NE(m.find("Mars Opposition, Mag=9.4"), std::string::npos) << m;
    EXPECT_EQ(m.find("Diam="), std::string::npos) << m;
    minor.contacts[0].separation = 14 * kArcsec;
    EXPECT_NE(Line(minor).find(", Diam=14\", Mag=9.4"), std::string::npos) << Line(minor);

    // Moon phase and conjunction: the title alone.
    EventRecord full = Event(kEventPhenomenon, 2461001.0, kCodeFullMoon);
    EXPECT_EQ(Line(full).substr(Line(full).size() - 9), "Full Moon");
    EventRecord conj = Event(kEventPhenomenon, 2461001.0, kCodeInferiorConjunction);
    conj.body1Class = 2;
    conj.body1Index = 2;
    EXPECT_EQ(Line(conj).substr(Line(conj).size() - 26), "Venus Inferior Conjunction");
    // The unused code 6 gets the body's name without a phenomenon.
    EventRecord six = conj;
    six.contacts[0].code = kCodeUnusedPhenomenon;
    char title[kEventSlotSize];
    ASSERT_EQ(FormatEventRecordTitle(h_.get(), &six, title), 1);
    EXPECT_STREQ(title, "Venus");
    // Red Spot and eclipse contacts.
    EventRecord grs = Event(kEventRedSpotTransit, 2461001.0, kContactMidTransit);
    EXPECT_NE(Line(grs).find("GRS Transit, Mid-transit, Alt="), std::string::npos) << Line(grs);
    EventRecord lunar = Event(kEventLunarEclipse, 2461001.0, kContactMidEclipse);
    EXPECT_NE(Line(lunar).find("Lunar Eclipse, Mid-eclipse, Sep="), std::string::npos) << Line(lunar);
    // Occultation titles name the body in front first.
    EventRecord occ = Event(kEventOccultation, 2461001.0, kContactMidOccultation);
    occ.body1Class = 2;
    occ.body1Index = 6;
    occ.body2Class = 2;
    occ.body2Index = 10;
    occ.body2InFront = 1;
    ASSERT_EQ(FormatEventRecordTitle(h_.get(), &occ, title), 1);
    EXPECT_STREQ(title, "Moon occults Saturn");
}

TEST_F(EventTexts, CustomTitlesAreBoundedAndEmptyWithoutTheTextFile) {
    const std::string longText(250, 'T');
    ASSERT_EQ(AppendCustomEventText(longText.c_str()), 1);
    EventRecord custom = Event(kEventCustom, 2461001.0, 0);
    char title[kEventSlotSize];
    std::memset(title, 'z', sizeof title);
    ASSERT_EQ(FormatEventRecordTitle(h_.get(), &custom, title), 1);
    EXPECT_EQ(std::strlen(title), static_cast<size_t>(kEventSlotSize - 1));
    char cols[kEventColumnSlots][kEventSlotSize];
    EXPECT_EQ(FormatEventColumns(h_.get(), &custom, 0, cols, nullptr, nullptr), 3);
    std::remove(dir_.file("events/event_desc.txt").c_str());
    std::strcpy(title, "stale title");
    ASSERT_EQ(FormatEventRecordTitle(h_.get(), &custom, title), 1);
    EXPECT_STREQ(title, "");
    EXPECT_EQ(FormatEventColumns(h_.get(), &custom, 0, cols, nullptr, nullptr), 0);
}

TEST_F(EventTexts, ObjectsOfEventsAndTheirContactOrder) {
    EventRecord moon = Event(kEventPhenomenon, 2461001.0, kCodeNewMoon);
    EventRecord eclipse = Event(kEventSolarEclipse, 2461002.0, kContactMidEclipse);
    eclipse.contactCount = 3;
    const double seps[] = {0.003, 0.001, 0.002};
    for (int i = 0; i < 3; ++i) {
        eclipse.contacts[i].code = 4 + i;
        eclipse.contacts[i].time = 2461002.0 + i * 0.01;
        eclipse.contacts[i].separation = seps[i];
    }
    EventRecord elong = Event(kEventSatelliteElongation, 2461003.0, 2);
    elong.body1Class = 2;
    elong.body1Index = 6;
    elong.body2Index = 5;  // Titan
    ASSERT_EQ(Store({moon, eclipse, elong}), 3);
    ObjectRecord a, b;
    EXPECT_EQ(GetEventObjects(h_.get(), 0, &a, &b), 1);
    EXPECT_EQ(+a.index, kBodyMoon);
    EXPECT_EQ(GetEventObjects(h_.get(), 1, &a, &b), 2);
    EXPECT_EQ(+a.index, kBodySun);
    EXPECT_EQ(+b.index, kBodyMoon);
    EXPECT_EQ(GetEventObjects(h_.get(), 2, &a, &b), 1);
    EXPECT_EQ(+a.index, 6);
    EXPECT_EQ(+a.kind, 6);
    EXPECT_EQ(GetEventObjects(h_.get(), 3, &a, &b), 0);
    char title[kEventSlotSize];
    ASSERT_EQ(FormatEventRecordTitle(h_.get(), &elong, title), 1);
    EXPECT_STREQ(title, "Titan Eastern Elongation");
    // Sorted by separation (column 2 of an eclipse) and written back.
    eclipse.sortColumn = 2;
    ASSERT_EQ(SortEventContacts(h_.get(), &eclipse, 1), 1);
    FileHandle f(OpenEventRecords(h_.get()));
    EventRecord back;
    ASSERT_EQ(ReadEvent(f.get(), 1, &back), 1);
    EXPECT_EQ(+back.contacts[0].code, 5);
    EXPECT_EQ(+back.contacts[1].code, 6);
    EXPECT_EQ(+back.contacts[2].code, 4);
    eclipse.sortColumn = -1;
    EXPECT_EQ(SortEventContacts(h_.get(), &eclipse, 1), 0);
    // Each file step of the sort failed in turn: the stored event stays one
    // whole record, in the old order or the new, and never beside the others.
    const std::string sorted = testutil::ReadFileBytes(dir_.file("events/Texts.bin"));
    eclipse.sortColumn = 0;  // back to time order
    testutil::FailureTableLabel label("event file: sort contacts");
    testutil::ForEachFailurePoint(
        [&] { ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("events/Texts.bin"), sorted)); },
        [&] {
            EventRecord copy = eclipse;
            return SortEventContacts(h_.get(), &copy, 1);
        },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            const std::string now = testutil::ReadFileBytes(dir_.file("events/Texts.bin"));
            ASSERT_EQ(now.size(), sorted.size());
            FileHandle r(OpenEventRecords(h_.get()));
            EventRecord e;
            ASSERT_EQ(ReadEvent(r.get(), 1, &e), 1);
            const int first = e.contacts[0].code;
            if (run.result == 1) {
                EXPECT_EQ(first, 4);
            }
            EXPECT_TRUE(first == 4 || first == 5) << first;
            EXPECT_EQ(+e.contactCount, 3);
        });
}

TEST_F(EventTexts, UserObjectsNamedByEventFiles) {
    std::unique_ptr<EventFileHeader> cal(NewEventFileHeader());
    cal->site = h_->site;
    cal->definitionKind = kDefinitionCalendar;
    cal->start = 2461000.5;
    cal->bodyCount = 3;
    cal->bodies[0] = {2, 5, 0};
    cal->bodies[1] = {15, 7, 0};
    cal->bodies[2] = {12, 3, 0};
    ASSERT_EQ(SaveEventFileHeader(cal.get()), 1);
    h_->body1Class = 14;
    h_->body1Index = 2;
    h_->body2Class = 5;
    h_->body2Index = 100;
    ASSERT_EQ(SaveEventFileHeader(h_.get()), 1);
    // A damaged file and a file whose header is out of range are skipped.
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("events/junk.bin"), "short"));
    std::unique_ptr<EventFileHeader> odd(NewEventFileHeader());
    odd->start = -5;
    odd->body1Class = 13;
    odd->body1Index = 1;
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("events/odd.bin"),
                                         std::string(reinterpret_cast<const char *>(odd.get()), sizeof *odd)));
    std::vector<EventObjectKey> keys;
    ASSERT_EQ(CollectEventUserObjects(&keys), 3);
    EXPECT_EQ(keys[0].objectClass, 12);
    EXPECT_EQ(keys[1].objectClass, 14);
    EXPECT_EQ(keys[2].objectClass, 15);
    const struct {
        int cls, index, expected;
    } cases[] = {{12, 3, 1}, {14, 2, 1}, {15, 7, 1}, {15, 8, 0}, {13, 1, 0}, {5, 100, 0}, {2, 5, 0}};
    for (const auto &c : cases) {
        ObjectRecord o;
        InitObjectRecord(&o);
        o.objectClass = static_cast<uint8_t>(c.cls);
        o.index = c.index;
        o.kind = 0;
        EXPECT_EQ(IsObjectUsedByEvents(keys.data(), &o, static_cast<int>(keys.size())), c.expected) << c.cls << "/"
                                                                                                    << c.index;
    }
}

}  // namespace
