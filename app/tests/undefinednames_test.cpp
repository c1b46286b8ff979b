// The undefined-name scans of wizard step 3 over small log files and small
// stores: unknown names listed once whatever their case, with every spelling
// kept for the links; names known to a store (case-blind for sites and
// observers, exactly for instruments) or to a name link (exactly) left out;
// "(blank)" for an empty field; the first entry lacking a value reported as
// 1, 2 or 3 with its line; fields read where the import pass reads them; a
// store that cannot be opened counting as empty. Then the records the step
// creates: the default telescope and binoculars, checked byte by byte in
// instr.bin, and an appended observer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/tests/importjobfixture.h"
#include "app/formatfile.h"
#include "app/importpass.h"
#include "app/namelinks.h"
#include "app/undefinednames.h"
#include "astro/location.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "instruments/instrumentstore.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

namespace {


std::vector<std::string> Names(const std::vector<UndefinedName> &list) {
    std::vector<std::string> names;
    for (const UndefinedName &row : list) names.push_back(row.name);
    return names;
}

class UndefinedNames : public ::testing::Test {
protected:
    void SetUp() override {
        SetUserDataFolder(dir_.path().c_str());
        FreeNameLinkTables();
        // One stored site, observer and instrument.
        int16_t n = 0;
        FILE *f = OpenLocationStore(&n);
        ASSERT_NE(f, nullptr);
        LocationRecord site;
        std::memset(&site, 0, sizeof site);
        InitLocationRecord(&site, 0.1, 0.7, 100, 6.5, 0, 15, 50, 2, 0, 0, "Home");
        LocationTrailer t = {0, 0, 0};
        ASSERT_EQ(AppendLocation(f, &site, &t), 1);
        std::fclose(f);
        f = OpenObserverStore(&n);
        ASSERT_NE(f, nullptr);
        ObserverRecord ann;
        InitObserverRecord(&ann, "Ann", 40, 0, 0.5);
        ASSERT_EQ(AppendObserver(f, &ann), 1);
        std::fclose(f);
        std::unique_ptr<InstrumentRecord> scope(new InstrumentRecord);
        ASSERT_EQ(CreateDefaultTelescope(scope.get(), "Dob 8"), 1);
        // Target, site, observer, instrument, date in columns 0 to 4.
        LoadBuiltInCsvFormat();
        ImportFormat &fm = CurrentImportFormat();
        fm.delimiter = ',';
        fm.commentChar = '#';
        fm.skipLines = 0;
        fm.siteFixed = fm.observerFixed = fm.instrumentFixed = 0;
        fm.targetColumn = 0;
        fm.siteColumn = 1;
        fm.observerColumn = 2;
        fm.instrumentColumn = 3;
        fm.dateColumn = 4;
        fm.timeColumn = -1;
        fm.descriptionColumn = -1;
        fm.conditionColumns[0] = fm.conditionColumns[1] = kNoColumn;
        for (int i = 0; i < 5; ++i) fm.extraColumns[i] = kNoColumn;
    }
    void TearDown() override {
        FreeNameLinkTables();
        SetUserDataFolder("");
    }
    std::string Log(const std::string &text) {
        std::string path = dir_.file("log.txt");
        EXPECT_TRUE(testutil::WriteFileBytes(path, text));
        return path;
    }
    testutil::TempDir dir_;
};

TEST_F(UndefinedNames, UnknownNamesAreListedOnceWithEverySpelling) {
    LocationRecord linked;
    std::memset(&linked, 0, sizeof linked);
    InitLocationRecord(&linked, 0.2, 0.6, 10, 6.5, 0, 15, 50, 2, 0, 0, "Field");
    ASSERT_EQ(AddLocationLink(&linked, "Linked Site"), 1);
    std::string path = Log(
        "M31,home,ANN,Dob 8,01/02/2025\n"         // all known (sites and observers case-blind)
        "M32,Backyard,Ann,Dob 8,01/02/2025\r\n"   // CRLF line end too
        "M33,backyard,Bob,dob 8,01/02/2025\n"     // instruments are matched exactly
        "# a comment line is skipped,,,,\n"
        "\n"                                      // so is a line of nothing
        "M34,,bob,Dob 8,01/02/2025\n"
        "M35,Linked Site,Ann,Dob 8,01/02/2025\n"  // linked exactly
        "M36,linked site,Ann,Dob 8,01/02/2025\n"  // links count case
        "M37,\"Backyard\",Ann,,01/02/2025\n");
    UndefinedNameLists lists;
    EXPECT_EQ(ScanUndefinedNamesInDelimitedFile(JobOf(path), &lists), kScanAllDefined);
    EXPECT_EQ(Names(lists.sites), (std::vector<std::string>{"Backyard", "(blank)", "linked site"}));
    EXPECT_EQ(lists.sites[0].spellings, (std::vector<std::string>{"Backyard", "backyard"}));
    EXPECT_EQ(Names(lists.observers), std::vector<std::string>{"Bob"});
    EXPECT_EQ(lists.observers[0].spellings, (std::vector<std::string>{"Bob", "bob"}));
    EXPECT_EQ(Names(lists.instruments), (std::vector<std::string>{"dob 8", "(blank)"}));
    ASSERT_NE(FindUndefinedName(lists.sites, "BACKYARD"), nullptr);
    EXPECT_EQ(FindUndefinedName(lists.sites, "Home"), nullptr);

    // Links made for every spelling clear the lists on the next scan.
    for (const UndefinedName &row : lists.sites)
        for (const std::string &s : row.spellings) AddLocationLink(&linked, s.c_str());
    ObserverRecord bob;
    InitObserverRecord(&bob, "Bob", 30, 0, 0.2);
    for (const std::string &s : lists.observers[0].spellings) AddObserverLink(&bob, s.c_str());
    std::unique_ptr<InstrumentRecord> any(new InstrumentRecord);
    std::memset(any.get(), 0, sizeof *any);
    for (const UndefinedName &row : lists.instruments)
        for (const std::string &s : row.spellings) AddInstrumentLink(any.get(), s.c_str());
    EXPECT_EQ(ScanUndefinedNamesInDelimitedFile(JobOf(path), &lists), kScanAllDefined);
    EXPECT_TRUE(lists.Empty());
}

TEST_F(UndefinedNames, FirstLineLackingAValueIsReportedWithItsLine) {
    struct Case {
        const char *log;
        int result;
        const char *errorLine;
        std::vector<std::string> sites;
    };
    const std::vector<Case> cases = {
        {"M31,Far,Ann,Dob 8,01/02/2025\nM32\nM33,Later,Ann,Dob 8,01/02/2025\n", kScanNoSite, "M32\n", {"Far"}},
        {"M31,Home\n", kScanNoObserver, "M31,Home\n", {}},
        {"M31,Home,Ann\n", kScanNoInstrument, "M31,Home,Ann\n", {}},
        {"M31,Home,Ann,Dob 8\n", kScanAllDefined, "M31,Home,Ann,Dob 8\n", {}},
        // The last field of a final line without a line end is read too.
        {"M31,Home,Ann,Dob 8", kScanAllDefined, "M31,Home,Ann,Dob 8", {}},
    };
    for (const Case &c : cases) {
        UndefinedNameLists lists;
        EXPECT_EQ(ScanUndefinedNamesInDelimitedFile(JobOf(Log(c.log)), &lists), c.result) << c.log;
        EXPECT_STREQ(ImportErrorLine(), c.errorLine) << c.log;
        EXPECT_EQ(Names(lists.sites), c.sites) << c.log;
    }
    UndefinedNameLists lists;
    std::string missing = dir_.file("none.txt");
    EXPECT_EQ(ScanUndefinedNamesInDelimitedFile(JobOf(missing), &lists), kScanFailed);
    EXPECT_EQ(std::string(ImportErrorLine()), "File not found: " + missing + "\n");
}

TEST_F(UndefinedNames, FieldsAreReadWhereThePassReadsThem) {
    // A column beyond the 50 fields the pass reads is never seen, even on a
    // line that holds it.
    std::string wide = "M31";
    for (int i = 1; i < 60; ++i) wide += ",v" + std::to_string(i);
    ImportFormat &fm = CurrentImportFormat();
    fm.siteColumn = 55;
    UndefinedNameLists lists;
    EXPECT_EQ(ScanUndefinedNamesInDelimitedFile(JobOf(Log(wide + "\n")), &lists), kScanNoSite);
    EXPECT_TRUE(lists.sites.empty());
    // An instrument name longer than any stored name (31 characters) is not
    // the stored instrument of its first 31 characters.
    fm.siteColumn = 1;
    const std::string longName = "Dob 8" + std::string(30, 'x');
    std::unique_ptr<InstrumentRecord> cut(new InstrumentRecord);
    ASSERT_EQ(CreateDefaultTelescope(cut.get(), longName.c_str()), 1);
    EXPECT_EQ(std::string(cut->name), longName.substr(0, 31));
    EXPECT_EQ(ScanUndefinedNamesInDelimitedFile(JobOf(Log("M31,Home,Ann," + longName + "\n")), &lists),
              kScanAllDefined);
    EXPECT_EQ(Names(lists.instruments), std::vector<std::string>{longName});
    // A site column that the target also claims belongs to the target.
    fm.siteColumn = 0;
    EXPECT_EQ(ScanUndefinedNamesInDelimitedFile(JobOf(Log("M31,x,Ann,Dob 8\n")), &lists), kScanNoSite);
    EXPECT_TRUE(lists.sites.empty());
}

TEST_F(UndefinedNames, FixedValuesNeedNoColumn) {
    ImportFormat &fm = CurrentImportFormat();
    fm.siteFixed = fm.observerFixed = fm.instrumentFixed = 1;
    UndefinedNameLists lists;
    EXPECT_EQ(ScanUndefinedNamesInDelimitedFile(JobOf(Log("M31\nM32,Nowhere,Nobody,Nothing\n")), &lists),
              kScanAllDefined);
    EXPECT_TRUE(lists.Empty());
    fm.kind = kFormatKindTagged;
    std::snprintf(fm.entryTag, sizeof fm.entryTag, "entry");
    EXPECT_EQ(ScanUndefinedNamesInXmlFile(JobOf(Log("<entry><target>M31</target></entry>\n")), &lists),
              kScanAllDefined);
    EXPECT_TRUE(lists.Empty());
}

TEST_F(UndefinedNames, StoreThatCannotBeOpenedCountsAsEmpty) {
    // loc.bin is a folder: it can be neither opened nor created. instr.bin is
    // missing.
    std::remove(dir_.file("loc.bin").c_str());
    std::remove(dir_.file("instr.bin").c_str());
    ASSERT_EQ(EnsureDirectory(dir_.file("loc.bin").c_str()), 1);
    UndefinedNameLists lists;
    EXPECT_EQ(ScanUndefinedNamesInDelimitedFile(JobOf(Log("M31,Home,Ann,Dob 8\n")), &lists), kScanAllDefined);
    EXPECT_EQ(Names(lists.sites), std::vector<std::string>{"Home"});
    EXPECT_EQ(Names(lists.instruments), std::vector<std::string>{"Dob 8"});
    EXPECT_TRUE(lists.observers.empty());
}

TEST_F(UndefinedNames, TaggedScanListsNamesAndReportsTheFirstIncompleteEntry) {
    ImportFormat &fm = CurrentImportFormat();
    LoadBuiltInXmlFormat();
    fm.siteFixed = fm.observerFixed = fm.instrumentFixed = 0;
    fm.skipLines = 0;
    std::snprintf(fm.entryTag, sizeof fm.entryTag, "Observation");
    std::snprintf(fm.targetTag, sizeof fm.targetTag, "Object");
    std::snprintf(fm.siteTag, sizeof fm.siteTag, "Site");
    std::snprintf(fm.observerTag, sizeof fm.observerTag, "Observer");
    std::snprintf(fm.instrumentTag, sizeof fm.instrumentTag, "Scope");
    const std::string entries =
        "<?xml version=\"1.0\"?>\n<log>\n"
        "<Site>Outside</Site>\n"  // outside any entry: not examined
        "<observation><object>M31</object><SITE>Back &amp; Yard</SITE>\n"
        "<observer>Ann</observer><scope>Dob 8</scope></observation>\n"
        "<Observation><Object>M32</Object><Site>back &amp; yard</Site><Observer> </Observer>"
        "<Scope>C8</Scope></Observation>\n"
        "<Observation><Object>M33</Object><Site>Late</Site></Observation>\n</log>\n";
    UndefinedNameLists lists;
    EXPECT_EQ(ScanUndefinedNamesInXmlFile(JobOf(Log(entries)), &lists), kScanNoObserver);
    EXPECT_EQ(Names(lists.sites), std::vector<std::string>{"Back & Yard"});
    EXPECT_EQ(lists.sites[0].spellings, (std::vector<std::string>{"Back & Yard", "back & yard"}));
    EXPECT_EQ(Names(lists.instruments), std::vector<std::string>{"C8"});
    EXPECT_TRUE(lists.observers.empty());

    // Entries and values written with attributes are read by their names,
    // as the pass reads them; a self-closing value gives no name.
    const std::string withAttributes =
        "<log>\n<observation id=\"o1\"><object type=\"galaxy\">M31</object>\n"
        "<site ref=\"s1\">Hilltop</site><observer ref='u1'>Ann</observer><scope/>"
        "<scope\n  ref=\"i1\">Refractor 4</scope></observation>\n"
        "<observation id=\"o2\"><site>Hilltop</site><observer>Ann</observer></observation>\n</log>\n";
    EXPECT_EQ(ScanUndefinedNamesInXmlFile(JobOf(Log(withAttributes)), &lists), kScanNoInstrument);
    EXPECT_EQ(Names(lists.sites), std::vector<std::string>{"Hilltop"});
    EXPECT_EQ(Names(lists.instruments), std::vector<std::string>{"Refractor 4"});
    EXPECT_TRUE(lists.observers.empty());

    // A tag name given to the target and the site serves the target only, as
    // in the pass: the site is then never read.
    std::snprintf(fm.siteTag, sizeof fm.siteTag, "object");
    EXPECT_EQ(ScanUndefinedNamesInXmlFile(
                  JobOf(Log("<observation><object>M31</object><observer>Ann</observer>"
                            "<scope>Dob 8</scope></observation>\n")),
                  &lists),
              kScanNoSite);
    EXPECT_TRUE(lists.sites.empty());
    EXPECT_EQ(ScanUndefinedNamesInXmlFile(JobOf(Log("")), &lists), kScanFailed);
    EXPECT_STREQ(ImportErrorLine(), "Unable to initialize file\n");
}

// Reads a little-endian value at an offset of the bytes.
template <typename T>
T At(const std::string &bytes, size_t offset) {
    T v;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
}

TEST_F(UndefinedNames, DefaultInstrumentsAreAppendedWithTheirValues) {
    std::unique_ptr<InstrumentRecord> binocs(new InstrumentRecord);
    ASSERT_EQ(CreateDefaultBinoculars(binocs.get(), "Old 7x50"), 1);
    const std::string bytes = testutil::ReadFileBytes(dir_.file("instr.bin"));
    const size_t kRecord = 330152;
    ASSERT_EQ(bytes.size(), 9 + 2 * kRecord);
    EXPECT_EQ(At<uint16_t>(bytes, 7), 2);  // count
    EXPECT_EQ(At<uint16_t>(bytes, 5), 2);  // last id given
    EXPECT_EQ(+binocs->id, 2);

    // The telescope "Dob 8" made in SetUp, record 0.
    const size_t s = 9;
    EXPECT_EQ(At<uint16_t>(bytes, s + 0), 1);  // id
    EXPECT_EQ(At<uint8_t>(bytes, s + 2), 2);   // main scope and finder
    EXPECT_EQ(At<uint8_t>(bytes, s + 3), 0);   // inches
    EXPECT_EQ(At<uint8_t>(bytes, s + 4), 0);   // telescope
    EXPECT_EQ(At<uint8_t>(bytes, s + 5), 0);   // no sight
    EXPECT_FLOAT_EQ(At<float>(bytes, s + 6), (float)(0.5 * kPi / 180));
    EXPECT_FLOAT_EQ(At<float>(bytes, s + 10), (float)(2.0 * kPi / 180));
    EXPECT_FLOAT_EQ(At<float>(bytes, s + 14), (float)(4.0 * kPi / 180));
    EXPECT_EQ(At<uint8_t>(bytes, s + 329991), 1);  // equatorial
    EXPECT_EQ(std::string(bytes.data() + s + 329992), "Dob 8");
    const size_t m = s + 31, fd = m + 164980;  // main and finder optics
    EXPECT_EQ(At<uint8_t>(bytes, m), 2);                   // reflector
    EXPECT_DOUBLE_EQ(At<double>(bytes, m + 1), 25.4);      // 1 inch
    EXPECT_DOUBLE_EQ(At<double>(bytes, m + 17), 1.0);      // f/1
    EXPECT_DOUBLE_EQ(At<double>(bytes, m + 9), 25.4);      // focal length from the ratio
    EXPECT_EQ(At<uint8_t>(bytes, m + 25), 1);
    EXPECT_EQ(At<uint8_t>(bytes, m + 26), 1);
    EXPECT_DOUBLE_EQ(At<double>(bytes, m + 27), 0.5);
    EXPECT_EQ(std::string(bytes.data() + m + 35), "Main Scope");
    EXPECT_EQ(At<uint8_t>(bytes, m + 100), 0);   // eyepieces
    EXPECT_EQ(At<int32_t>(bytes, m + 3671), 0);  // cameras
    EXPECT_EQ(At<uint8_t>(bytes, fd), 1);        // refractor
    EXPECT_NEAR(At<double>(bytes, fd + 1), 1.18 * 25.4, 1e-9);
    EXPECT_NEAR(At<double>(bytes, fd + 9), 6.0 * 25.4, 1e-9);
    EXPECT_DOUBLE_EQ(At<double>(bytes, fd + 27), 1.0);
    EXPECT_EQ(std::string(bytes.data() + fd + 35), "Finder");
    EXPECT_DOUBLE_EQ(At<double>(bytes, fd + 164620), 6.0);  // magnification
    EXPECT_EQ(At<uint8_t>(bytes, fd + 100), 0);

    // The binoculars, record 1.
    const size_t b = 9 + kRecord;
    EXPECT_EQ(At<uint8_t>(bytes, b + 2), 1);
    EXPECT_EQ(At<uint8_t>(bytes, b + 4), 1);
    EXPECT_EQ(At<uint8_t>(bytes, b + 31), 10);
    EXPECT_DOUBLE_EQ(At<double>(bytes, b + 31 + 1), 50.0);
    EXPECT_DOUBLE_EQ(At<double>(bytes, b + 31 + 164620), 7.0);
    EXPECT_GT(At<double>(bytes, b + 31 + 164628), 0.0);  // a default true field
    EXPECT_EQ(std::string(bytes.data() + b + 31 + 35), "Binoculars");
    EXPECT_EQ(std::string(bytes.data() + b + 329992), "Old 7x50");

    // The pass finds both by name; a reload by id gives the stored record.
    int32_t count = 0;
    FILE *f = OpenInstrumentFile(&count);
    ASSERT_NE(f, nullptr);
    std::unique_ptr<InstrumentRecord> probe(new InstrumentRecord);
    std::memset(probe.get(), 0, sizeof *probe);
    std::snprintf(probe->name, sizeof probe->name, "Old 7x50");
    int index = -1;
    EXPECT_EQ(FindInstrumentByName(f, probe.get(), count, &index), 1);
    EXPECT_EQ(index, 1);
    std::fclose(f);
    std::memset(probe.get(), 0, sizeof *probe);
    EXPECT_EQ(ReloadInstrumentById(probe.get(), 2), 1);
    EXPECT_STREQ(probe->name, "Old 7x50");
    EXPECT_EQ(ReloadInstrumentById(probe.get(), 9), 0);

    // With no instr.bin yet, the first creation makes one.
    std::remove(dir_.file("instr.bin").c_str());
    ASSERT_EQ(CreateDefaultTelescope(probe.get(), "First"), 1);
    EXPECT_EQ(testutil::ReadFileBytes(dir_.file("instr.bin")).size(), 9 + kRecord);
}

TEST_F(UndefinedNames, AppendedObserverIsFoundByName) {
    ObserverRecord bob;
    InitObserverRecord(&bob, "Bob", 30, 0, 0.2);
    ASSERT_EQ(AppendObserverRecord(&bob), 1);
    const std::string bytes = testutil::ReadFileBytes(dir_.file("observer.bin"));
    ASSERT_EQ(bytes.size(), 2u + 2 * 84);
    EXPECT_EQ(At<int16_t>(bytes, 0), 2);
    EXPECT_EQ(std::string(bytes.data() + 2 + 84), "Bob");
    int16_t n = 0;
    FILE *f = OpenObserverStore(&n);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(IsObserverNameInStore(f, "BOB"), 1);
    EXPECT_EQ(IsObserverNameInStore(f, "ann"), 1);
    EXPECT_EQ(IsObserverNameInStore(f, "Bo"), 0);
    EXPECT_EQ(IsObserverNameInStore(f, ""), 0);
    std::fclose(f);
    f = OpenLocationStore(&n);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(IsLocationNameInStore(f, "HOME"), 1);
    EXPECT_EQ(IsLocationNameInStore(f, "Hom"), 0);
    std::fclose(f);
    EXPECT_EQ(IsLocationNameInStore(nullptr, "Home"), 0);
    // observer.bin a folder: nothing can be appended.
    std::remove(dir_.file("observer.bin").c_str());
    ASSERT_EQ(EnsureDirectory(dir_.file("observer.bin").c_str()), 1);
    EXPECT_EQ(AppendObserverRecord(&bob), 0);
}

}  // namespace
