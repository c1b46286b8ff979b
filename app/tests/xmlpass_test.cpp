// The tagged-text import pass over small log files written for the purpose:
// the "DeepSky" layout and a tag set of the user's own, every resolved field
// of the preview records (read at their byte offsets), the final pass into a
// scratch log, the pass's messages, the reading rules (entry tag in any case,
// attributes, elements outside entries, comments, CDATA, entities, values
// over several lines, one very long line) and the same entries read from an
// equivalent delimited file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/tests/importjobfixture.h"
#include "app/entrycompletion.h"
#include "app/formatfile.h"
#include "app/importpass.h"
#include "app/namelinks.h"
#include "app/recognizeretry.h"
#include "astro/location.h"
#include "core/userfolder.h"
#include "instruments/instrumentstore.h"
#include "objects/objectrecord.h"
#include "objects/tests/stardata.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"
#include "testutil/testutil.h"

namespace {

// Byte offsets of the preview record and of the log entry inside it.
const size_t kRecordSize = 331458;
const size_t kEntryJulianDate = 5, kEntrySiteName = 13 + 133, kEntryClass = 182,
             kEntryIndex = 183, kEntryObserverName = 256, kEntryInstrumentName = 330332,
             kEntryConditions = 330492;
const size_t kDateText = 330625, kSiteText = 330689, kInstrumentText = 330753,
             kObserverText = 330817, kTargetText = 330881, kConditionsText = 330945,
             kNotesText = 331201, kNotRecognised = 331457;

// One preview record as bytes.
struct Record {
    std::string bytes;
    std::string Text(size_t at, size_t size) const {
        std::string s = bytes.substr(at, size);
        return s.substr(0, s.find('\0'));
    }
    std::string date() const { return Text(kDateText, 64); }
    std::string site() const { return Text(kSiteText, 64); }
    std::string instrument() const { return Text(kInstrumentText, 64); }
    std::string observer() const { return Text(kObserverText, 64); }
    std::string target() const { return Text(kTargetText, 64); }
    std::string conditions() const { return Text(kConditionsText, 256); }
    std::string notes() const { return Text(kNotesText, 256); }
    int notRecognised() const { return static_cast<uint8_t>(bytes[kNotRecognised]); }
    std::string entrySite() const { return Text(kEntrySiteName, 33); }
    std::string entryObserver() const { return Text(kEntryObserverName, 64); }
    std::string entryInstrument() const { return Text(kEntryInstrumentName, 32); }
    std::string entryConditions() const { return Text(kEntryConditions, 128); }
    int entryClass() const { return static_cast<uint8_t>(bytes[kEntryClass]); }
    int32_t entryIndex() const {
        int32_t v;
        std::memcpy(&v, bytes.data() + kEntryIndex, 4);
        return v;
    }
    double julianDate() const {
        double v;
        std::memcpy(&v, bytes.data() + kEntryJulianDate, 8);
        return v;
    }
};

struct Row {
    std::string text;
    int32_t notRecognised;
};

void AddRow(void *context, const char *text, int32_t notRecognised) {
    static_cast<std::vector<Row> *>(context)->push_back({text, notRecognised});
}

// Recognises every text but those that begin with "Zz", as a placeholder
// object: enough for tests that look at reading, not at catalogues.
int AcceptingParser(char *text, double, const LocationRecord *, const DateRecord *, double,
                    ObjectRecord records[3]) {
    if (std::strncmp(text, "Zz", 2) == 0) return 0;
    InitObjectRecord(&records[0]);
    records[0].objectClass = 6;
    records[0].index = 77;
    return 1;
}

class XmlPass : public ::testing::Test {
protected:
    testutil::TempDir dir_;
    std::vector<Row> rows_;
    ImportListSink sink_{&rows_, AddRow, nullptr};

    void SetUp() override {
        SetUserDataFolder(dir_.path().c_str());
        FreeNameLinkTables();
        SetImportDesignationParser(AcceptingParser);
        int16_t n = 0;
        FILE *f = OpenLocationStore(&n);
        ASSERT_NE(f, nullptr);
        for (const char *name : {"Home", "Smith & Sons"}) {
            LocationRecord site;
            std::memset(&site, 0, sizeof site);
            // Zone 0 and no daylight saving: local clock time is UT.
            InitLocationRecord(&site, 0.1, 0.7, 100, 6.5, 0, 15, 50, 2, 0, 0, name);
            LocationTrailer t = {0, 0, 0};
            ASSERT_EQ(AppendLocation(f, &site, &t), 1);
        }
        std::fclose(f);
        f = OpenObserverStore(&n);
        ASSERT_NE(f, nullptr);
        for (const char *name : {"Ann", "Bob"}) {
            ObserverRecord o;
            InitObserverRecord(&o, name, 40, 0, 0.5);
            ASSERT_EQ(AppendObserver(f, &o), 1);
        }
        std::fclose(f);
        ASSERT_EQ(CreateInstrumentFile(), 1);
        int32_t count = 0;
        f = OpenInstrumentFile(&count);
        ASSERT_NE(f, nullptr);
        std::unique_ptr<InstrumentRecord> scope(new InstrumentRecord);
        std::memset(scope.get(), 0, sizeof(InstrumentRecord));
        scope->opticsCount = 1;
        std::snprintf(scope->name, sizeof scope->name, "%s", "Dob 8");
        ASSERT_EQ(AppendInstrument(f, scope.get()), 1);
        std::fclose(f);
        UseDeepSky();
    }
    void TearDown() override {
        SetImportDesignationParser(nullptr);
        SetUserDataFolder("");
    }

    // The "DeepSky" preset with the observer fixed (the preset has no
    // observer tag), every other value read from the file.
    static void UseDeepSky() {
        ImportFormat &f = CurrentImportFormat();
        std::memset(&f, 0, sizeof f);
        LoadBuiltInCsvFormat();  // the column fields, as a stored format has them
        LoadBuiltInXmlFormat();
        f.skipLines = 0;
        f.commentChar = 0;
        f.siteFixed = f.instrumentFixed = 0;
        f.observerFixed = 1;
        InitObserverRecord(&f.fixedObserver, "Ann", 40, 0, 0.5);
    }

    // A tag set of the user's own: date and time in one element, one
    // condition, two extras.
    static void UseOwnTags() {
        ImportFormat &f = CurrentImportFormat();
        std::memset(&f, 0, sizeof f);
        f.kind = kFormatKindTagged;
        std::snprintf(f.name, sizeof f.name, "%s", "Mine");
        f.dateLayout = 0;
        const struct {
            char *field;
            const char *tag;
        } tags[] = {{f.entryTag, "observation"}, {f.siteTag, "site"},   {f.observerTag, "observer"},
                    {f.instrumentTag, "scope"},  {f.dateTag, "when"},   {f.targetTag, "object"},
                    {f.conditionTags[0], "sky"}, {f.descriptionTag, "notes"},
                    {f.extraTags[0], "filter"},  {f.extraTags[1], "eyepiece"}};
        for (const auto &t : tags) std::snprintf(t.field, kFormatTagSize, "%s", t.tag);
    }

    std::string WriteLog(const std::string &text) {
        std::string path = dir_.file("log.xml");
        EXPECT_TRUE(testutil::WriteFileBytes(path, text));
        std::snprintf(CurrentImportSettings().importPath, sizeof CurrentImportSettings().importPath,
                      "%s", path.c_str());
        return path;
    }

    int Preview(const std::string &text) {
        WriteLog(text);
        rows_.clear();
        return RunXmlImportPass(&sink_, CurrentJob(), 1, nullptr);
    }

    std::vector<Record> Records() const {
        bool ok = false;
        std::string bytes = testutil::ReadFileBytes(dir_.file("gleaner.bin"), &ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(bytes.size() % kRecordSize, 0u);
        std::vector<Record> out;
        for (size_t at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize)
            out.push_back({bytes.substr(at, kRecordSize)});
        return out;
    }

    // The pass fails with exactly this message.
    void ExpectFailure(const std::string &text, const std::string &message, const char *what) {
        EXPECT_EQ(Preview(text), -1) << what;
        EXPECT_EQ(std::string(ImportErrorLine()), message) << what;
    }
};

// One DeepSky entry with the values given; an empty value leaves its element out.
std::string DeepSkyEntry(const std::string &object, const std::string &site = "Home",
                         const std::string &scope = "Dob 8",
                         const std::string &date = "07/20/2009",
                         const std::string &time = "22:30") {
    std::string s = "<LOG>\n";
    if (!object.empty()) s += "  <ObjectId>" + object + "</ObjectId>\n";
    if (!site.empty()) s += "  <LocationObserved>" + site + "</LocationObserved>\n";
    if (!scope.empty()) s += "  <EquipmentUsed>" + scope + "</EquipmentUsed>\n";
    if (!date.empty()) s += "  <DateObserved>" + date + "</DateObserved>\n";
    if (!time.empty()) s += "  <TimeObserved>" + time + "</TimeObserved>\n";
    return s + "</LOG>\n";
}

TEST_F(XmlPass, DeepSkyLogEveryField) {
    const std::string log =
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n"
        "<!DOCTYPE DEEPSKY2000>\n"
        "<DEEPSKY2000>\n"
        "<ObjectId>M 1</ObjectId>\n"  // outside any entry: ignored
        "<LOG>\n"
        "  <ObjectId>M 31</ObjectId>\n"
        "  <LocationObserved>home</LocationObserved>\n"
        "  <EquipmentUsed>Dob 8</EquipmentUsed>\n"
        "  <DateObserved>07/20/2009</DateObserved>\n"
        "  <TimeObserved>22:30</TimeObserved>\n"
        "  <Transparency>Good</Transparency>\n"
        "  <Seeing>3  of 5</Seeing>\n"
        "  <OtherEquipment>UHC filter</OtherEquipment>\n"
        "  <ShortDescription>Bright core</ShortDescription>\n"
        "  <Rating>4</Rating>\n"
        "  <ObservationText>Dust lane seen,\n  companion M 32 too.</ObservationText>\n"
        "</LOG>\n"
        "<LOG>\n"
        "  <ObjectId>Zz Unknown</ObjectId>\n"
        "  <LocationObserved>Smith &amp; Sons</LocationObserved>\n"
        "  <EquipmentUsed>Dob 8</EquipmentUsed>\n"
        "  <DateObserved>12-31-99</DateObserved>\n"
        "  <TimeObserved>23:59</TimeObserved>\n"
        "</LOG>\n"
        "</DEEPSKY2000>\n";
    ASSERT_EQ(Preview(log), 2) << ImportErrorLine();
    std::vector<Record> r = Records();
    ASSERT_EQ(r.size(), 2u);

    EXPECT_EQ(r[0].target(), "M 31");
    EXPECT_EQ(r[0].site(), "home");
    EXPECT_EQ(r[0].instrument(), "Dob 8");
    EXPECT_EQ(r[0].observer(), "Use global value");
    EXPECT_EQ(r[0].date(), "07/20/2009 22:30");
    EXPECT_EQ(r[0].conditions(), "Good and 3  of 5");  // blanks kept as written
    EXPECT_EQ(r[0].entryConditions(), "Good and 3  of 5");
    EXPECT_EQ(r[0].notes(), "UHC filter, Bright core, 4.\r\n\r\nDust lane seen,\r\n  companion M 32 too.");
    EXPECT_EQ(r[0].notRecognised(), 0);
    EXPECT_EQ(r[0].entrySite(), "Home");  // the stored site's own name
    EXPECT_EQ(r[0].entryObserver(), "Ann");
    EXPECT_EQ(r[0].entryInstrument(), "Dob 8");
    EXPECT_EQ(r[0].entryClass(), 6);
    EXPECT_EQ(r[0].entryIndex(), 77);
    // 2009 July 20, 22:30 UT = JD 2455033.4375 (JD 2455032.5 at 0 h).
    EXPECT_NEAR(r[0].julianDate(), 2455033.4375, 1e-6);

    EXPECT_EQ(r[1].target(), "Zz Unknown");
    EXPECT_EQ(r[1].site(), "Smith & Sons");
    EXPECT_EQ(r[1].entrySite(), "Smith & Sons");
    EXPECT_EQ(r[1].date(), "12-31-99 23:59");
    EXPECT_EQ(r[1].conditions(), "");
    EXPECT_EQ(r[1].notes(), "");
    EXPECT_EQ(r[1].notRecognised(), 1);
    EXPECT_EQ(r[1].entryClass(), 1);  // the placeholder object
    EXPECT_EQ(r[1].entryIndex(), 1);
    // Two-digit year 99 is 1999: 1999 Dec 31, 23:59 UT = JD 2451544.499306.
    EXPECT_NEAR(r[1].julianDate(), 2451543.5 + (23 + 59 / 60.0) / 24.0, 1e-6);

    ASSERT_EQ(rows_.size(), 2u);
    EXPECT_EQ(rows_[0].text.rfind("M 31 at Home at 2009-7-20 ", 0), 0u) << rows_[0].text;
    EXPECT_NE(rows_[0].text.find(" with Dob 8 by Ann"), std::string::npos) << rows_[0].text;
    EXPECT_EQ(rows_[0].notRecognised, 0);
    EXPECT_EQ(rows_[1].text, "Zz Unknown -- warning, object not recognized");
    EXPECT_EQ(rows_[1].notRecognised, 1);
}

TEST_F(XmlPass, OwnTagSetEveryField) {
    UseOwnTags();
    const std::string log =
        "<!DOCTYPE journal [\n  <!ELEMENT observation ANY>\n]>\n"
        "<journal>\n"
        "<!-- An old entry, kept for reference:\n"
        "<observation><object>NGC 1</object></observation> -->\n"
        "<OBSERVATION>\n"
        "<Object>\n    NGC 7000\n</Object>\n"
        "<SITE>Home</SITE><Observer>bob</Observer><scope>Dob 8</scope>\n"
        "<when>2009-07-20 22:30</when>\n"
        "<sky>Milky &lt;clear&gt;</sky>\n"
        "<filter> OIII </filter><eyepiece>&#8220;32 mm&#8221;</eyepiece>\n"
        "<notes><![CDATA[North America shape [very large], <faint> edges]]></notes>\n"
        "</observation>\n"
        "</journal>\n";
    ASSERT_EQ(Preview(log), 1) << ImportErrorLine();
    std::vector<Record> r = Records();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].target(), "NGC 7000");
    EXPECT_EQ(r[0].site(), "Home");
    EXPECT_EQ(r[0].observer(), "bob");
    EXPECT_EQ(r[0].entryObserver(), "Bob");
    EXPECT_EQ(r[0].instrument(), "Dob 8");
    EXPECT_EQ(r[0].date(), "2009-07-20 22:30");
    EXPECT_EQ(r[0].conditions(), "Milky <clear>");
    EXPECT_EQ(r[0].notes(), "OIII, \x93" "32 mm\x94.\r\n\r\nNorth America shape [very large], <faint> edges");
    EXPECT_NEAR(r[0].julianDate(), 2455033.4375, 1e-6);
    EXPECT_EQ(rows_.size(), 1u);
}

TEST_F(XmlPass, EntryTagMatching) {
    // Elements are known by their names: the entry tag in any case, with or
    // without attributes (on the tag's line or the next), opens and closes an
    // entry; a self-closing entry holds nothing, and a longer name is another
    // element, whose values are then outside any entry.
    std::string log = "<root>\n</LOG>\n";  // a closing entry tag outside an entry
    log += DeepSkyEntry("M 1");
    std::string lower = DeepSkyEntry("M 2");
    for (char *p = &lower[0]; (p = std::strstr(p, "LOG")); p += 3) std::memcpy(p, "log", 3);
    log += lower;
    std::string mixed = DeepSkyEntry("M 3");
    for (char *p = &mixed[0]; (p = std::strstr(p, "LOG")); p += 3) std::memcpy(p, "Log", 3);
    log += mixed;
    std::string attributes = DeepSkyEntry("M 4");
    attributes.replace(0, 5, "<LOG id=\"4\"\n     kind='deep sky'>");
    attributes.replace(attributes.find("<ObjectId>"), 10, "<ObjectId catalog=\"Messier\">");
    log += attributes;
    log += "<LOG/><ObjectId>M 5</ObjectId>\n<LOG id=\"6\" />\n";
    log += "<LOGBOOK><ObjectId>M 7</ObjectId></LOGBOOK>\n</root>\n";
    ASSERT_EQ(Preview(log), 4) << ImportErrorLine();
    std::vector<Record> r = Records();
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].target(), "M 1");
    EXPECT_EQ(r[1].target(), "M 2");
    EXPECT_EQ(r[2].target(), "M 3");
    EXPECT_EQ(r[3].target(), "M 4");
    EXPECT_EQ(r[3].site(), "Home");
}

// A log in the layout of the open XML observation format: every entry is an
// <observation id="..."> with its values in elements that carry attributes
// too; the fixture file lies beside this test.
TEST_F(XmlPass, EntriesWithAttributesImport) {
    UseOwnTags();
    ImportFormat &f = CurrentImportFormat();
    std::snprintf(f.dateTag, kFormatTagSize, "%s", "begin");
    f.conditionTags[0][0] = '\0';
    f.extraTags[0][0] = f.extraTags[1][0] = '\0';
    std::snprintf(f.descriptionTag, kFormatTagSize, "%s", "result");
    bool ok = false;
    std::string log = testutil::ReadFileBytes(testutil::SourceDir() + "/app/tests/data/attributes.xml", &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(Preview(log), 2) << ImportErrorLine();
    std::vector<Record> r = Records();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].target(), "M 31");
    EXPECT_EQ(r[0].site(), "Home");
    EXPECT_EQ(r[0].observer(), "Bob");
    EXPECT_EQ(r[0].instrument(), "Dob 8");
    EXPECT_EQ(r[0].date(), "2009-07-20 22:30");
    EXPECT_EQ(r[0].notes(), "Bright core, two companions.");
    EXPECT_EQ(r[1].target(), "M 13");
    EXPECT_EQ(r[1].date(), "2009-07-21 23:15");
}

// A file in which no entry begins says so, with the entry tag and the
// format's name, instead of importing nothing.
TEST_F(XmlPass, NothingFoundSaysWhy) {
    const std::string message =
        "No log entry was imported: the import file holds no <LOG> element, the entry tag of the "
        "import format DeepSky\n";
    ExpectFailure("<journal>\n<observation id=\"1\"><ObjectId>M 1</ObjectId></observation>\n</journal>\n",
                  message, "another entry tag");
    ExpectFailure("<DEEPSKY2000>\n<!-- <LOG><ObjectId>M 1</ObjectId></LOG> -->\n</DEEPSKY2000>\n", message,
                  "entries only in a comment");
    ExpectFailure("<DEEPSKY2000><LOG/></DEEPSKY2000>\n", message, "a self-closing entry");
    WriteLog("<DEEPSKY2000>\n</DEEPSKY2000>\n");
    int added = -1;
    EXPECT_EQ(RunXmlImportPass(&sink_, CurrentJob(), 0, &added), -1);
    EXPECT_EQ(std::string(ImportErrorLine()), message);
    EXPECT_EQ(added, 0);
}

std::string WithNul(const std::string &before, const std::string &after) {
    return before + std::string(1, '\0') + after;
}

TEST_F(XmlPass, Messages) {
    struct Case {
        const char *what;
        std::string log;
        std::string message;
        bool observerFromFile;  // the preset as it is: no observer tag, not fixed
    } cases[] = {
        {"no observer, good date", DeepSkyEntry("M 1"), "Observer not defined for log entry\n", true},
        {"no site", DeepSkyEntry("M 1", ""), "Location not defined for log entry\n", false},
        {"no instrument", DeepSkyEntry("M 1", "Home", ""), "Instrument not defined for log entry\n",
         false},
        {"no date: the date is refused first", DeepSkyEntry("M 1", "", "", "", ""),
         "Error importing date: \n", true},
        {"unreadable date", DeepSkyEntry("M 1", "Home", "Dob 8", "soon", "22:30"),
         "Error importing date: soon 22:30\n", false},
        {"unknown site", DeepSkyEntry("M 1", "Nowhere"), "Error importing location: Nowhere\n", false},
        {"instrument matched exactly", DeepSkyEntry("M 1", "Home", "dob 8"),
         "Error importing instrument: dob 8\n", false},
        {"entry open at the end", "<LOG><ObjectId>M 1</ObjectId>\n",
         "Unexpected end of file inside a log entry\n", false},
        {"entry ends inside a tag", "<LOG><ObjectId>M 1</ObjectId></LO",
         "Unexpected end of file inside a log entry\n", false},
        {"CDATA never ended", "<LOG><ObservationText><![CDATA[text\n</LOG>\n",
         "Unexpected end of file inside a log entry\n", false},
        {"comment never ended", "<LOG><!-- </LOG>\n", "Unexpected end of file inside a log entry\n",
         false},
        {"entry inside an entry", "<LOG>\n<ObjectId>M 1</ObjectId>\n" + DeepSkyEntry("M 2"),
         "Log entry not closed before the next log entry on line 3\n", false},
        {"not text", WithNul("<LOG>\n<ObjectId>M", " 1</ObjectId>\n</LOG>\n"),
         "Line 2 of the import file is not text\n", false},
        {"empty file", "", "Unable to initialize file\n", false},
    };
    for (const Case &c : cases) {
        UseDeepSky();
        if (c.observerFromFile) CurrentImportFormat().observerFixed = 0;
        ExpectFailure(c.log, c.message, c.what);
    }
    // An observer element that the format names but the file leaves out.
    UseOwnTags();
    ExpectFailure("<observation><object>M 1</object><site>Home</site><scope>Dob 8</scope>"
                  "<when>2009-07-20</when></observation>",
                  "Observer not defined for log entry\n", "own tags, no observer");
    ExpectFailure("<observation><object>M 1</object><site>Home</site><observer>Cy</observer>"
                  "<scope>Dob 8</scope><when>2009-07-20</when></observation>",
                  "Error importing observer: Cy\n", "own tags, unknown observer");
    // A format without an entry tag could never read an entry.
    UseDeepSky();
    CurrentImportFormat().entryTag[0] = '\0';
    ExpectFailure(DeepSkyEntry("M 1"), "The import format DeepSky has no entry tag\n", "no entry tag");
    // Only skipped lines: nothing to read.
    UseDeepSky();
    CurrentImportFormat().skipLines = 2;
    ExpectFailure("<LOG>\n</LOG>\n", "Unable to initialize file\n", "all lines skipped");
    // No file.
    std::string missing = dir_.file("missing.xml");
    std::snprintf(CurrentImportSettings().importPath, 512, "%s", missing.c_str());
    EXPECT_EQ(RunXmlImportPass(&sink_, CurrentJob(), 1, nullptr), -1);
    EXPECT_EQ(std::string(ImportErrorLine()), "File not found: " + missing + "\n");
}

TEST_F(XmlPass, EntriesBeforeAFailureAreKept) {
    // The entries before the failing one are in the preview file.
    std::string log = DeepSkyEntry("M 1") + DeepSkyEntry("M 2") + DeepSkyEntry("M 3", "Nowhere");
    EXPECT_EQ(Preview(log), -1);
    EXPECT_EQ(Records().size(), 2u);
    EXPECT_EQ(LastImportPassTally().processed, 2);
}

TEST_F(XmlPass, RepeatedAndSharedValues) {
    // Condition texts beyond two are ignored; a later description replaces an
    // earlier one; the entry's extras keep their order.
    std::string log =
        "<LOG><ObjectId>M 1</ObjectId><LocationObserved>Home</LocationObserved>"
        "<EquipmentUsed>Dob 8</EquipmentUsed><DateObserved>7/20/2009</DateObserved>"
        "<Seeing>Poor</Seeing><Transparency>Fair</Transparency><Seeing>Good</Seeing>"
        "<ObservationText>first</ObservationText><ObservationText>second</ObservationText>"
        "<Rating>5</Rating><OtherEquipment>none</OtherEquipment></LOG>\n";
    ASSERT_EQ(Preview(log), 1) << ImportErrorLine();
    std::vector<Record> r = Records();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].conditions(), "Poor and Fair");
    EXPECT_EQ(r[0].notes(), "5, none.\r\n\r\nsecond");
    EXPECT_EQ(r[0].date(), "7/20/2009");
    EXPECT_NEAR(r[0].julianDate(), 2455032.5, 1e-6);  // no time: 0 h

    // A tag name given to two values serves only the first in the order
    // target, site, observer, instrument, extras, conditions, date, time,
    // description: here the description tag is also the first extra tag.
    std::snprintf(CurrentImportFormat().extraTags[0], kFormatTagSize, "%s", "ObservationText");
    ASSERT_EQ(Preview(DeepSkyEntry("M 1").insert(6, "<ObservationText>both</ObservationText>")), 1)
        << ImportErrorLine();
    r = Records();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].notes(), "both");
}

TEST_F(XmlPass, TextReadingRules) {
    // Values on the line after their tag, values over several lines, a CDATA
    // section later on a compact line, an over-long tag inside an entry.
    std::string log =
        "<LOG><ObjectId>M 13</ObjectId><ObservationText><![CDATA[Cluster]]></ObservationText>"
        "<" + std::string(3000, 'X') + ">ignored</" + std::string(3000, 'X') + ">"
        "<LocationObserved>\nHome\n</LocationObserved>\n"
        "<EquipmentUsed>Dob 8</EquipmentUsed><DateObserved>\n 07/20/2009\n</DateObserved>"
        "<TimeObserved>22:30</TimeObserved></LOG>\n";
    ASSERT_EQ(Preview(log), 1) << ImportErrorLine();
    std::vector<Record> r = Records();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].target(), "M 13");
    EXPECT_EQ(r[0].notes(), "Cluster");
    EXPECT_EQ(r[0].site(), "Home");
    EXPECT_EQ(r[0].date(), "07/20/2009 22:30");
}

TEST_F(XmlPass, CrLfFileGivesTheSameTexts) {
    // The pass reads the file as text: CR LF line ends (read as LF on Windows,
    // as CR LF elsewhere) give the same values and notes.
    std::string log = DeepSkyEntry("M 1");
    log.insert(6, "<ObservationText>one\ntwo\n</ObservationText>\n");
    std::string crlf;
    for (char c : log) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ASSERT_EQ(Preview(crlf), 1) << ImportErrorLine();
    std::vector<Record> r = Records();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].notes(), "one\r\ntwo");
    EXPECT_EQ(r[0].site(), "Home");
    EXPECT_EQ(r[0].date(), "07/20/2009 22:30");
}

TEST_F(XmlPass, OneLineFileOfManyEntries) {
    // 60 entries on a single line of about 12,000 characters: none is cut.
    std::string log = "<DEEPSKY2000>";
    for (int i = 0; i < 60; ++i) {
        std::string e = DeepSkyEntry("NGC " + std::to_string(100 + i), "Home", "Dob 8",
                                     "07/" + std::to_string(1 + i % 28) + "/2009");
        for (char &c : e)
            if (c == '\n') c = ' ';
        log += e;
    }
    log += "</DEEPSKY2000>";
    ASSERT_GT(log.size(), 5 * 2047u);
    ASSERT_EQ(Preview(log), 60) << ImportErrorLine();
    std::vector<Record> r = Records();
    ASSERT_EQ(r.size(), 60u);
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(r[i].target(), "NGC " + std::to_string(100 + i));
        EXPECT_EQ(r[i].date(), "07/" + std::to_string(1 + i % 28) + "/2009 22:30");
        EXPECT_EQ(r[i].entryInstrument(), "Dob 8");
    }
}

TEST_F(XmlPass, FixedValuesIgnoreTheirElements) {
    ImportFormat &f = CurrentImportFormat();
    f.siteFixed = 1;
    InitLocationRecord(&f.fixedSite, 0.2, 0.8, 10, 6.0, 0, 10, 50, 2, 0, 0, "Camp");
    ASSERT_EQ(Preview(DeepSkyEntry("M 1", "Nowhere")), 1) << ImportErrorLine();
    std::vector<Record> r = Records();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].site(), "Use global value");
    EXPECT_EQ(r[0].entrySite(), "Camp");
}

// The real recognition over the generated star catalogue, with the final pass
// into the scratch log, and the same entries read from a delimited file.
class XmlPassCatalogue : public XmlPass {
protected:
    void SetUp() override {
        std::string why;
        if (!stardata::Use(&why)) GTEST_SKIP() << why;
        XmlPass::SetUp();
        SetImportDesignationParser(nullptr);
    }
};

const char kStarLog[] =
    "<DEEPSKY2000>\n"
    "<LOG><ObjectId>Vega</ObjectId><LocationObserved>Home</LocationObserved>\n"
    "<EquipmentUsed>Dob 8</EquipmentUsed><DateObserved>07/20/2009</DateObserved>\n"
    "<TimeObserved>22:30</TimeObserved><Seeing>Good</Seeing>\n"
    "<ObservationText>Blue-white</ObservationText></LOG>\n"
    "<LOG><ObjectId>Zz Nothing</ObjectId><LocationObserved>Home</LocationObserved>\n"
    "<EquipmentUsed>Dob 8</EquipmentUsed><DateObserved>07/20/2009</DateObserved>\n"
    "<TimeObserved>22:40</TimeObserved></LOG>\n"
    "<LOG><ObjectId>Alpha Lyr</ObjectId><LocationObserved>Smith &amp; Sons</LocationObserved>\n"
    "<EquipmentUsed>Dob 8</EquipmentUsed><DateObserved>08/01/2009</DateObserved>\n"
    "<TimeObserved>21:05</TimeObserved><Transparency>Fair</Transparency>\n"
    "<Rating>3</Rating></LOG>\n"
    "</DEEPSKY2000>\n";

// The same entries as pipe-delimited text under a format with the columns
// target, site, instrument, date, time, condition, description, extra.
const char kStarLines[] =
    "Vega|Home|Dob 8|07/20/2009|22:30|Good|Blue-white|\n"
    "Zz Nothing|Home|Dob 8|07/20/2009|22:40|||\n"
    "Alpha Lyr|Smith & Sons|Dob 8|08/01/2009|21:05|Fair||3\n";

void UseStarColumns() {
    ImportFormat &f = CurrentImportFormat();
    f.kind = kFormatKindDelimited;
    f.delimiter = '|';
    f.commentChar = 0;
    f.skipLines = 0;
    f.dateLayout = 3;
    f.targetColumn = 0;
    f.siteColumn = 1;
    f.instrumentColumn = 2;
    f.dateColumn = 3;
    f.timeColumn = 4;
    f.conditionColumns[0] = 5;
    f.conditionColumns[1] = kNoColumn;
    f.descriptionColumn = 6;
    f.extraColumns[0] = 7;
    for (int i = 1; i < 5; ++i) f.extraColumns[i] = kNoColumn;
    f.observerColumn = kNoColumn;  // fixed, as in the tagged format
}

TEST_F(XmlPassCatalogue, PreviewAndFinalMatchTheDelimitedPass) {
    // Tagged: preview, then final.
    ASSERT_EQ(Preview(kStarLog), 3) << ImportErrorLine();
    bool ok = false;
    std::string xmlPreview = testutil::ReadFileBytes(dir_.file("gleaner.bin"), &ok);
    ASSERT_TRUE(ok);
    std::vector<Row> xmlRows = rows_;
    std::vector<Record> r = Records();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].notRecognised(), 0);
    EXPECT_EQ(r[1].notRecognised(), 1);
    EXPECT_EQ(r[2].notRecognised(), 0);
    // Vega by name and by its Bayer letter are the same star.
    EXPECT_EQ(r[0].entryIndex(), r[2].entryIndex());
    EXPECT_EQ(r[0].entryClass(), r[2].entryClass());
    ObjectRecord vega[3];
    ASSERT_GE(RecognizeDesignation(nullptr, nullptr, "Vega", vega), 1);
    EXPECT_EQ(r[0].entryIndex(), +vega[0].index);
    EXPECT_EQ(r[0].entryClass(), +vega[0].objectClass);
    EXPECT_EQ(r[2].site(), "Smith & Sons");
    EXPECT_EQ(r[2].conditions(), "Fair");
    EXPECT_EQ(r[2].notes(), "3");

    int added = -5;
    EXPECT_EQ(RunXmlImportPass(&sink_, CurrentJob(), 0, &added), 3) << ImportErrorLine();
    EXPECT_EQ(added, 2);  // the unrecognised entry is processed, never added
    EXPECT_EQ(LastImportPassTally().alreadyLogged, 0);
    EXPECT_EQ(LastImportPassTally().notRecognised, 1);

    // Delimited: the same preview records and rows, byte for byte.
    UseStarColumns();
    std::string path = dir_.file("log.txt");
    ASSERT_TRUE(testutil::WriteFileBytes(path, kStarLines));
    std::snprintf(CurrentImportSettings().importPath, 512, "%s", path.c_str());
    rows_.clear();
    ASSERT_EQ(RunDelimitedImportPass(&sink_, CurrentJob(), 1, nullptr), 3)
        << ImportErrorLine();
    std::string delimitedPreview = testutil::ReadFileBytes(dir_.file("gleaner.bin"), &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(delimitedPreview.size(), xmlPreview.size());
    EXPECT_TRUE(delimitedPreview == xmlPreview);
    for (size_t i = 0; i < delimitedPreview.size(); ++i) {
        if (delimitedPreview[i] != xmlPreview[i]) {
            ADD_FAILURE() << "first difference at record " << i / kRecordSize << " offset "
                          << i % kRecordSize;
            break;
        }
    }
    ASSERT_EQ(rows_.size(), xmlRows.size());
    for (size_t i = 0; i < rows_.size(); ++i) {
        EXPECT_EQ(rows_[i].text, xmlRows[i].text);
        EXPECT_EQ(rows_[i].notRecognised, xmlRows[i].notRecognised);
    }
    // Its final pass meets the same two entries already in the log.
    added = -5;
    EXPECT_EQ(RunDelimitedImportPass(&sink_, CurrentJob(), 0, &added), 3);
    EXPECT_EQ(added, 2);
    EXPECT_EQ(LastImportPassTally().alreadyLogged, 2);
}

}  // namespace
