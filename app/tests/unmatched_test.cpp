// The unmatched-object scans of wizard step 2 over small log files and the
// generator's small deep-sky catalogue: exactly the unrecognised, unlinked
// targets in file order, once per occurrence; recognised-after-retry and
// linked texts left out; an emptied link file lists everything again; the
// scan reads the target only where the import pass does; the name written
// into a new link is recognised back as the chosen object.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <string>
#include <vector>

#include "app/tests/importjobfixture.h"
#include "app/formatfile.h"
#include "app/importpass.h"
#include "app/namelinks.h"
#include "app/unmatched.h"
#include "astro/datetime.h"
#include "astro/location.h"
#include "core/datapaths.h"
#include "core/userfolder.h"
#include "objects/designationlist.h"
#include "objects/objectnames.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"
#include "testutil/testutil.h"

namespace {

struct Rows {
    std::vector<std::string> rows;
    int resets = 0;
    UnmatchedRowSink sink{this, [](void *c) {
                              Rows *r = static_cast<Rows *>(c);
                              r->rows.clear();
                              ++r->resets;
                          },
                          [](void *c, const char *t) { static_cast<Rows *>(c)->rows.push_back(t); }};
};

TEST(UnmatchedScan, SiteAndTimeAreTheFixedDefault) {
    LocationRecord site;
    DateRecord date;
    MakeUnmatchedScanSiteAndTime(&site, &date);
    EXPECT_STREQ(site.name, "Default");
    EXPECT_DOUBLE_EQ(+site.longitude, 0.0);
    EXPECT_DOUBLE_EQ(+site.latitude, 0.0);
    EXPECT_DOUBLE_EQ(+site.temperature, 18.3);
    EXPECT_DOUBLE_EQ(+site.humidity, 60.0);
    EXPECT_EQ(+site.seeingRating, 2);
    // 2000 January 1, 0 h at longitude 0, zone 0: JD 2451544.5 (Meeus, ch. 7).
    EXPECT_DOUBLE_EQ(+date.julianDate, 2451544.5);
    EXPECT_EQ(+date.year, 2000);
    EXPECT_EQ(+date.month, 1);
    EXPECT_EQ(+date.day, 1);
}

TEST(UnmatchedScan, MissingFileIsAnErrorNotAnEmptyList) {
    testutil::TempDir dir;
    std::string saved = GetUserDataFolder() ? GetUserDataFolder() : "";
    SetUserDataFolder(dir.path().c_str());
    LoadBuiltInCsvFormat();
    Rows r;
    r.rows.push_back("stale row");
    std::string missing = dir.file("gone.csv");
    EXPECT_EQ(ScanUnmatchedDesignationsDelimited(&r.sink, JobOf(missing)), -1);
    EXPECT_EQ(std::string(ImportErrorLine()), "File not found: " + missing + "\n");
    EXPECT_TRUE(r.rows.empty());  // the list is emptied all the same
    LoadBuiltInXmlFormat();
    EXPECT_EQ(ScanUnmatchedDesignationsXml(&r.sink, JobOf(missing)), -1);
    EXPECT_EQ(std::string(ImportErrorLine()), "File not found: " + missing + "\n");
    // A file with nothing in it cannot be started on.
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("empty.xml"), ""));
    EXPECT_EQ(ScanUnmatchedDesignationsXml(&r.sink, JobOf(dir.file("empty.xml"))), -1);
    EXPECT_STREQ(ImportErrorLine(), "Unable to initialize file\n");
    SetUserDataFolder(saved.c_str());
}

TEST(UnmatchedScan, ALinkIsRecordedOnlyWhenTheLookupCanFindItAgain) {
    const std::string longest(511 - 1 - 4, 'x');  // with "#M 31": the 511 characters read
    const struct {
        std::string designation;
        const char *name;
        int ok;
    } cases[] = {{"Qwerty 1", "M 31", 1},       {"Obj#1", "M 31", 0},  {"", "M 31", 0},
                 {longest, "M 31", 1},          {longest + "y", "M 31", 0}};
    for (const auto &c : cases) {
        EXPECT_EQ(CanRecordDesignationLink(c.designation.c_str(), c.name), c.ok) << c.designation.size();
    }
}

TEST(UnmatchedScan, RecordableLinksAreFoundByTheLookup) {
    // Round trip through the lookup itself: what may be recorded is found.
    testutil::TempDir dir;
    const std::string longest(511 - 1 - 4, 'x'), tooLong = longest + "y";
    std::string file = "Obj#1#M 31\n" + tooLong + "#M 31\n" + longest + "#M 31\n";
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("links.dat"), file));
    FILE *f = std::fopen(dir.file("links.dat").c_str(), "r");
    ASSERT_NE(f, nullptr);
    char replacement[512];
    EXPECT_LT(FindDesignationLink(f, "Obj#1", replacement), 0);
    // One character more and the lookup gives a cut name, or none.
    replacement[0] = '\0';
    FindDesignationLink(f, tooLong.c_str(), replacement);
    EXPECT_STRNE(replacement, "M 31");
    EXPECT_GE(FindDesignationLink(f, longest.c_str(), replacement), 0);
    EXPECT_STREQ(replacement, "M 31");
    std::fclose(f);
    EXPECT_EQ(CanRecordDesignationLink("Obj#1", "M 31"), 0);
    EXPECT_EQ(CanRecordDesignationLink(tooLong.c_str(), "M 31"), 0);
    EXPECT_EQ(CanRecordDesignationLink(longest.c_str(), "M 31"), 1);
}

#ifndef _WIN32
// The generators' small deep-sky catalogue and star catalogue in a scratch
// folder that is also the user data folder; generated once for the suite.
struct Catalogue : ::testing::Test {
    static testutil::TempDir *dir_;
    static bool generated_;
    testutil::TempDir &dir = *dir_;
    std::string savedUser;
    static void SetUpTestSuite() {
        dir_ = new testutil::TempDir;
        std::string source = testutil::SourceDir();
        if (source.empty() || std::system("python3 -c 0 > /dev/null 2>&1") != 0) return;
        std::string cmd = "python3 " + source + "/tools/gen_deepsky.py --small --ref " + dir_->path() +
                          "/ref --cat " + dir_->path() + "/cat > /dev/null && python3 " + source +
                          "/tools/gen_star_catalogue.py --ref " + dir_->path() + "/ref --stars " +
                          dir_->path() + "/cat > /dev/null";
        generated_ = std::system(cmd.c_str()) == 0;
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override {
        if (!generated_) GTEST_SKIP() << "no source folder or Python, or the generator failed";
        SetRefDirectories((dir.path() + "/ref").c_str(), (dir.path() + "/cat").c_str(),
                          dir.path().c_str());
        savedUser = GetUserDataFolder() ? GetUserDataFolder() : "";
        SetUserDataFolder(dir.path().c_str());
        std::remove(LinkFile().c_str());
    }
    void TearDown() override { SetUserDataFolder(savedUser.c_str()); }
    std::string LinkFile() { return dir.file("gleaner_des_links.dat"); }
};
testutil::TempDir *Catalogue::dir_ = nullptr;
bool Catalogue::generated_ = false;

using UnmatchedCatalogue = Catalogue;

TEST_F(UnmatchedCatalogue, DelimitedListsUnrecognisedUnlinkedTargetsInFileOrder) {
    LoadBuiltInCsvFormat();  // target column 0, one header line, comment character blank
    const std::string log =
        "Object,Other\n"
        "Qwerty 1,a\n"
        "M31,recognised once a blank is put before the digit\n"
        " Zonk 5,a line that begins with the comment character\n"
        "Linked Thing,linked case-blind\n"
        "NGC1976,recognised\n"
        "Qwerty 1,listed again\n"
        "\n"
        ",an empty target\n"
        "\"Blorp, 77\",quoted with the delimiter inside\r\n";
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("log.csv"), log));
    ASSERT_TRUE(testutil::WriteFileBytes(LinkFile(), "a line without the mark\nlinked thing#M 31\n"));
    Rows r;
    EXPECT_EQ(ScanUnmatchedDesignationsDelimited(&r.sink, JobOf(dir.file("log.csv"))), 3);
    EXPECT_EQ(r.rows, (std::vector<std::string>{"Qwerty 1", "Qwerty 1", "Blorp, 77"}));
    EXPECT_EQ(r.resets, 1);

    // With the links gone (Clear Links and Start Over) the linked text is
    // listed again, in its place; a second scan replaces the rows.
    ASSERT_EQ(std::remove(LinkFile().c_str()), 0);
    EXPECT_EQ(ScanUnmatchedDesignationsDelimited(&r.sink, JobOf(dir.file("log.csv"))), 4);
    EXPECT_EQ(r.rows, (std::vector<std::string>{"Qwerty 1", "Linked Thing", "Qwerty 1", "Blorp, 77"}));
}

TEST_F(UnmatchedCatalogue, DelimitedReadsTheTargetOnlyWhereThePassDoes) {
    // 52 fields, each "Unknown <n>": the scan looks only at the target's
    // position, and never beyond position 49, where the pass stops reading.
    std::string line;
    for (int i = 0; i < 52; ++i) line += (i ? ";" : "") + std::string("Unknown ") + std::to_string(i);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("wide.txt"), line + "\n"));
    const struct {
        int32_t column;
        int32_t extra;  // an extra column at the same position wins in the pass
        int rows;
        const char *row;
    } cases[] = {{0, kNoColumn, 1, "Unknown 0"},
                 {49, kNoColumn, 1, "Unknown 49"},
                 {50, kNoColumn, 0, nullptr},
                 {51, kNoColumn, 0, nullptr},
                 {7, 7, 0, nullptr},
                 {kNoColumn, kNoColumn, 0, nullptr}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.column);
        LoadBuiltInCsvFormat();
        ImportFormat &f = CurrentImportFormat();
        f.delimiter = ';';
        f.skipLines = 0;
        f.commentChar = '\0';
        f.siteColumn = f.observerColumn = f.instrumentColumn = f.dateColumn = f.timeColumn = kNoColumn;
        f.conditionColumns[0] = f.conditionColumns[1] = f.descriptionColumn = kNoColumn;
        for (int i = 0; i < 5; ++i) f.extraColumns[i] = kNoColumn;
        f.extraColumns[0] = c.extra;
        f.targetColumn = c.column;
        Rows r;
        EXPECT_EQ(ScanUnmatchedDesignationsDelimited(&r.sink, JobOf(dir.file("wide.txt"))), c.rows);
        if (c.row) {
            ASSERT_EQ(r.rows.size(), 1u);
            EXPECT_EQ(r.rows[0], c.row);
        } else {
            EXPECT_TRUE(r.rows.empty());
        }
    }
}

TEST_F(UnmatchedCatalogue, TaggedListsTargetElementsAnywhereAndTracesThem) {
    LoadBuiltInXmlFormat();  // entry tag LOG, target tag ObjectId
    CurrentImportFormat().skipLines = 1;
    const std::string log =
        "a first line to skip <ObjectId>Skipped 1</ObjectId>\n"
        "<?xml version=\"1.0\"?>\n"
        "<DEEPSKY2000>\n"
        "<objectid>Outside 3</objectid>\n"
        "<LOG><ObjectId>Qwerty 1</ObjectId><DateObserved>7/20/2009</DateObserved></LOG>\n"
        "<LOG><OBJECTID>M31</OBJECTID></LOG>\n"
        "<LOG><ObjectId><![CDATA[Blorp 77]]></ObjectId></LOG>\n"
        "<LOG><ObjectId></ObjectId></LOG>\n"
        "<LOG><ObjectId>LINKED THING</ObjectId></LOG>\n"
        "<LOG><ObjectId>Qwerty 1</ObjectId></LOG>\n"
        "</DEEPSKY2000>\n";
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("log.xml"), log));
    ASSERT_TRUE(testutil::WriteFileBytes(LinkFile(), "Linked Thing#NGC 1976\n"));
    std::remove("gleaner.txt");
    Rows r;
    EXPECT_EQ(ScanUnmatchedDesignationsXml(&r.sink, JobOf(dir.file("log.xml"))), 4);
    EXPECT_EQ(r.rows, (std::vector<std::string>{"Outside 3", "Qwerty 1", "Blorp 77", "Qwerty 1"}));

    bool ok = false;
    std::string trace = testutil::ReadFileBytes("gleaner.txt", &ok);
    ASSERT_TRUE(ok);
    EXPECT_NE(trace.find("Key :LOG: 0\n"), std::string::npos);
    EXPECT_NE(trace.find("Key :LOG: 1\n"), std::string::npos);
    EXPECT_NE(trace.find("Key :ObjectId: 0  Target :Qwerty 1: ret = 1 count 2\n"), std::string::npos);
    EXPECT_NE(trace.find("Key :OBJECTID: 0  Target :M31: ret = 0 count 2\n"), std::string::npos);
    EXPECT_NE(trace.find("Key :ObjectId: 0  Target :LINKED THING: ret = 0 count 3\n"), std::string::npos);
    EXPECT_EQ(trace.find("Skipped 1"), std::string::npos);

    ASSERT_EQ(std::remove(LinkFile().c_str()), 0);
    EXPECT_EQ(ScanUnmatchedDesignationsXml(&r.sink, JobOf(dir.file("log.xml"))), 5);
    EXPECT_EQ(r.rows[3], "LINKED THING");

    // Targets written with attributes are read by the element's name; a
    // self-closing one has no text, and a longer name is another element.
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("attributes.xml"),
                                         "skip\n<LOG id=\"1\"><ObjectId catalog=\"x\">Qwerty 2</ObjectId>"
                                         "<ObjectId/>Qwerty 8<ObjectIdentifier>Qwerty 9</ObjectIdentifier>"
                                         "</LOG>\n<LOG><ObjectId\n>Qwerty 3</ObjectId></LOG>\n"));
    EXPECT_EQ(ScanUnmatchedDesignationsXml(&r.sink, JobOf(dir.file("attributes.xml"))), 2);
    EXPECT_EQ(r.rows, (std::vector<std::string>{"Qwerty 2", "Qwerty 3"}));
}

TEST_F(UnmatchedCatalogue, LinkNameIsRecognisedBackAsTheChosenObject) {
    LocationRecord site;
    DateRecord date;
    MakeUnmatchedScanSiteAndTime(&site, &date);
    for (const char *text : {"M 31", "M 42", "Collinder 399"}) {
        SCOPED_TRACE(text);
        char buffer[96];
        std::snprintf(buffer, sizeof buffer, "%s", text);
        ObjectRecord chosen[3];
        ASSERT_GE(IdentifyObjectText(buffer, 0.0, &site, &date, 0.1, chosen), 1);
        DesignationPreferences prefs;
        InitDesignationPreferences(&prefs);
        char name[kDesignationTextSize];
        EXPECT_EQ(ChooseLinkDesignation(&chosen[0], &prefs, name), 1);
        ASSERT_NE(name[0], '\0');
        ObjectRecord back[3];
        std::snprintf(buffer, sizeof buffer, "%s", name);
        ASSERT_GE(IdentifyObjectText(buffer, 0.0, &site, &date, 0.1, back), 1) << name;
        EXPECT_EQ(+back[0].objectClass, +chosen[0].objectClass);
        EXPECT_EQ(+back[0].index, +chosen[0].index);
    }
    // A name the recognition does not take back (a star's position
    // designation, put first in the star family's order) is passed over for
    // one it does.
    char vega[96] = "Vega";
    ObjectRecord star[3];
    ASSERT_GE(IdentifyObjectText(vega, 0.0, &site, &date, 0.1, star), 1);
    DesignationPreferences prefs;
    InitDesignationPreferences(&prefs);
    const int kStars = 0, kPositionKind = 19;  // 0-based kind 20, "J" + position
    std::swap(prefs.order[kStars][0], prefs.order[kStars][kPositionKind]);
    char first[kDesignationTextSize];
    ASSERT_EQ(FormatObjectName(&star[0], first, &prefs, nullptr, nullptr, nullptr), 1);
    ASSERT_EQ(first[0], 'J') << first;
    char name[kDesignationTextSize];
    EXPECT_EQ(ChooseLinkDesignation(&star[0], &prefs, name), 1);
    EXPECT_STRNE(name, first);
    ObjectRecord back[3];
    char again[96];
    std::snprintf(again, sizeof again, "%s", name);
    ASSERT_GE(IdentifyObjectText(again, 0.0, &site, &date, 0.1, back), 1) << name;
    EXPECT_EQ(+back[0].index, +star[0].index);

    ObjectRecord none;
    InitObjectRecord(&none);
    char noName[kDesignationTextSize] = "x";
    EXPECT_EQ(ChooseLinkDesignation(&none, nullptr, noName), -1);
    EXPECT_STREQ(noName, "");
}
#endif

}  // namespace
