// The delimited-text import pass over small log files written for the
// purpose: the "SkyMap Pro CSV" preset and user layouts (tab, pipe,
// semicolon; quoted fields; 12- and 24-hour times; several date layouts), in
// a scratch user folder with small site, observer and instrument stores.
// Every file is also run with CR LF line ends. Recognition and the log
// store's object services are replaced by small test functions, so entries
// are checked against known identities; preview records are checked at their
// byte offsets in "gleaner.bin".
#include "app/tests/importjobfixture.h"
#include "app/importpass.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/entrycompletion.h"
#include "app/formatfile.h"
#include "app/namelinks.h"
#include "app/preview.h"
#include "app/undefinednames.h"
#include "app/unmatched.h"
#include "astro/angletext.h"
#include "core/userfolder.h"
#include "instruments/instrumentstore.h"
#include "logstore/logentryfile.h"
#include "logstore/logobject.h"
#include "objects/objectrecord.h"
#include "objects/tests/stardata.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

#ifdef _WIN32
#include <direct.h>
#define chdir _chdir
#define getcwd _getcwd
#define mkdir(p, m) _mkdir(p)
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const double kJul20 = 2455032.5;  // 2009 July 20, 0 h UT (Meeus ch. 7)

// ---- recognition and log-store services for the tests ---------------------

// "M n" / "Mn" is galaxy n (class 6); "Vega" is star 7001 (class 5);
// "Bad" is galaxy 999, which the log store cannot identify. Anything else
// is not recognised.
int TestParser(char *text, double, const LocationRecord *, const DateRecord *, double,
               ObjectRecord records[3]) {
    InitObjectRecord(&records[0]);
    int n = 0;
    if (std::sscanf(text, "M %d", &n) == 1 || std::sscanf(text, "M%d", &n) == 1) {
        records[0].objectClass = 6;
        records[0].index = n;
        records[0].categoryBits = 0x100;
        return 1;
    }
    if (std::strcmp(text, "Vega") == 0) {
        records[0].objectClass = 5;
        records[0].index = 7001;
        records[0].categoryBits = 0x10;
        return 1;
    }
    if (std::strcmp(text, "Bad") == 0) {
        records[0].objectClass = 6;
        records[0].index = 999;
        records[0].categoryBits = 0x100;
        return 1;
    }
    return 0;
}
int TestRefresh(ObjectRecord *r, double, const LocationRecord *, const DateRecord *, double) {
    if (r->index == 999) r->index = -1;
    r->constellation = 1;
    return r->index != -1;
}
int TestName(const ObjectRecord *r, char *name, int size) {
    std::snprintf(name, static_cast<size_t>(size), "%s %d", r->objectClass == 5 ? "Star" : "Gal",
                  static_cast<int>(r->index));
    return 1;
}

// ---- the scratch user folder -------------------------------------------------

LocationRecord MakeSite(const char *name, double zoneHours, double longitudeDeg, double latitudeDeg) {
    LocationRecord s;
    std::memset(&s, 0, sizeof s);
    s.longitude = longitudeDeg * kPi / 180.0;
    s.latitude = latitudeDeg * kPi / 180.0;
    s.elevation = 100;
    s.temperature = 10;
    s.humidity = 50;
    s.timeZone = zoneHours;
    std::snprintf(s.name, sizeof s.name, "%s", name);
    return s;
}

ObserverRecord MakeObserver(const char *name, int age) {
    ObserverRecord o;
    InitObserverRecord(&o, name, age, 0.0, 0.5);
    return o;
}

std::unique_ptr<InstrumentRecord> MakeInstrument(const char *name, int kind) {
    std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
    std::memset(r.get(), 0, sizeof *r);
    r->opticsCount = 1;
    r->kind = static_cast<uint8_t>(kind);
    std::snprintf(r->name, sizeof r->name, "%s", name);
    return r;
}

struct Row {
    std::string text;
    int32_t flag;
};

struct MemorySink {
    std::vector<Row> rows;
    std::vector<std::string> questions;
    int answer = 0;
    ImportListSink sink{};
    MemorySink() {
        sink.context = this;
        sink.addRow = [](void *c, const char *text, int32_t flag) {
            static_cast<MemorySink *>(c)->rows.push_back({text, flag});
        };
        sink.askGoOn = [](void *c, const char *message) {
            MemorySink *m = static_cast<MemorySink *>(c);
            m->questions.push_back(message);
            return m->answer;
        };
    }
};

const char *kLongInstrument = "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234";  // 31 characters

struct PassFixture : ::testing::Test {
    testutil::TempDir dir;
    MemorySink list;
    void SetUp() override {
        SetUserDataFolder(dir.path().c_str());
        SetImportDesignationParser(TestParser);
        SetLogObjectServices(TestRefresh, TestName);
        SetClockTextStyle(0);
        FreeNameLinkTables();
        int16_t count = 0;
        FILE *f = OpenLocationStore(&count);
        ASSERT_TRUE(f);
        LocationTrailer zone{0, 0, 0}, named{3, 0, 0};
        LocationRecord home = MakeSite("Home Field", 1.0, -15.0, 40.0);
        LocationRecord dark = MakeSite("Dark Site", -5.0, 75.0, 35.0);
        ASSERT_TRUE(AppendLocation(f, &home, &zone));
        ASSERT_TRUE(AppendLocation(f, &dark, &named));
        std::fclose(f);
        f = OpenObserverStore(&count);
        ASSERT_TRUE(f);
        ObserverRecord ann = MakeObserver("Ann Lee", 30), bob = MakeObserver("Bob", 60);
        ASSERT_TRUE(AppendObserver(f, &ann));
        ASSERT_TRUE(AppendObserver(f, &bob));
        std::fclose(f);
        ASSERT_TRUE(CreateInstrumentFile());
        int32_t n = 0;
        f = OpenInstrumentFile(&n);
        ASSERT_TRUE(f);
        for (const char *name : {"Dob 10", "Binos", kLongInstrument}) {
            std::unique_ptr<InstrumentRecord> r = MakeInstrument(name, name[0] == 'B' ? 1 : 0);
            ASSERT_TRUE(AppendInstrument(f, r.get()));
        }
        std::fclose(f);
    }
    void TearDown() override {
        SetImportDesignationParser(nullptr);
        SetLogObjectServices(nullptr, nullptr);
        FreeNameLinkTables();
        SetUserDataFolder("");
    }

    // Writes the import file and points the settings at it.
    ImportSettings Settings(const std::string &text, const char *name = "log.txt") {
        std::string path = dir.file(name);
        EXPECT_TRUE(testutil::WriteFileBytes(path, text));
        ImportSettings s;
        std::memset(&s, 0, sizeof s);
        std::snprintf(s.importPath, sizeof s.importPath, "%s", path.c_str());
        s.selectedFormat = -1;
        return s;
    }
    int Run(const std::string &text, int preview, int *added = nullptr) {
        ImportSettings s = Settings(text);
        return RunDelimitedImportPass(&list.sink, JobOf(s), preview, added);
    }
    std::string PreviewBytes() { return testutil::ReadFileBytes(dir.file("gleaner.bin")); }
};

// A user format: every column none, no fixed values.
ImportFormat &UserFormat(char delimiter, int layout) {
    ImportFormat &f = CurrentImportFormat();
    std::memset(&f, 0, sizeof f);
    std::snprintf(f.name, sizeof f.name, "Test");
    f.delimiter = delimiter;
    f.dateLayout = layout;
    f.siteColumn = f.observerColumn = f.instrumentColumn = f.dateColumn = f.timeColumn =
        f.targetColumn = f.descriptionColumn = kNoColumn;
    for (int i = 0; i < 2; ++i) f.conditionColumns[i] = kNoColumn;
    for (int i = 0; i < 5; ++i) f.extraColumns[i] = kNoColumn;
    return f;
}

// The user layout most tests read: target, site, observer, instrument and
// date in the first five columns (year month day date words).
ImportFormat &BasicFormat(char delimiter) {
    ImportFormat &f = UserFormat(delimiter, 0);
    f.targetColumn = 0;
    f.siteColumn = 1;
    f.observerColumn = 2;
    f.instrumentColumn = 3;
    f.dateColumn = 4;
    return f;
}

// The "SkyMap Pro CSV" preset, its fixed records and flags cleared.
ImportFormat &CsvFormat() {
    ImportFormat &f = CurrentImportFormat();
    std::memset(&f, 0, sizeof f);
    LoadBuiltInCsvFormat();
    return f;
}

// A line of the CSV preset's layout (29 columns) from column values.
std::string CsvLine(const std::map<int, std::string> &values, int columns = 29) {
    std::string line;
    for (int i = 0; i < columns; ++i) {
        if (i) line += ",";
        auto v = values.find(i);
        if (v != values.end()) line += v->second;
    }
    return line + "\n";
}

std::string WithCrLf(const std::string &text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string Text(const std::string &bytes, size_t at) { return std::string(bytes.data() + at); }
double F64(const std::string &bytes, size_t at) {
    double v;
    std::memcpy(&v, bytes.data() + at, 8);
    return v;
}
int32_t I32(const std::string &bytes, size_t at) {
    int32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

// Offsets of one preview record, as the file layout states them.
const size_t kRec = 331458;
const size_t kEntryJd = 5, kEntrySiteName = 146, kEntryTrailer = 179, kEntryClass = 182,
             kEntryIndex = 183, kEntryBits = 187, kEntryDesignation = 191,
             kEntryObserverName = 256, kEntryInstrumentName = 330332, kEntryConditions = 330492;
const size_t kDateText = 330625, kSiteText = 330689, kInstrumentText = 330753,
             kObserverText = 330817, kTargetText = 330881, kConditionsText = 330945,
             kNotesText = 331201, kFlag = 331457;

}  // namespace

// The preset's layout: a header line, target in column 1, observer 8, date 9
// (day month year time), site 11, a condition 15, instrument 17, extras 20,
// 24 and 28, description 29 (1-based). Quoted fields keep their commas.
TEST_F(PassFixture, CsvPresetPreviewAndFinal) {
    for (int crlf = 0; crlf < 2; ++crlf) {
        SCOPED_TRACE(crlf ? "CR LF" : "LF");
        CsvFormat();
        std::string file = "Object,header,...\n";
        file += CsvLine({{0, "M31"}, {7, "Ann Lee"}, {8, "20/07/2009 22:30"}, {10, "home field"},
                         {14, "  good   seeing "}, {16, "Dob 10"}, {19, "UHC"}, {23, "x100"},
                         {27, "\"Rating 4, fine\""},
                         {28, "\"Big, bright, \"\"core\"\"\""}});
        file += " indented line is a comment under this preset\n";
        file += CsvLine({{0, "Mystery 9"}, {7, "bob"}, {8, "21-07-2009"}, {10, "Dark Site"},
                         {16, "Binos"}});
        if (crlf) file = WithCrLf(file);
        list.rows.clear();
        ASSERT_EQ(Run(file, 1), 2) << ImportErrorLine();
        ASSERT_EQ(list.rows.size(), 2u);
        EXPECT_EQ(list.rows[0].text, "M31 at Home Field at 2009-7-20 22:30 with Dob 10 by Ann Lee");
        EXPECT_EQ(list.rows[0].flag, 0);
        EXPECT_EQ(list.rows[1].text, "Mystery 9 -- warning, object not recognized");
        EXPECT_EQ(list.rows[1].flag, 1);

        std::string b = PreviewBytes();
        ASSERT_EQ(b.size(), 2 * kRec);
        // Entry 0: 22:30 local at zone +1 is 21:30 UT.
        EXPECT_NEAR(F64(b, kEntryJd), kJul20 + 21.5 / 24.0, 1e-9);
        EXPECT_EQ(b[2], 3);
        EXPECT_EQ(b[3], 1);
        EXPECT_EQ(b[4], 'f');
        EXPECT_EQ(Text(b, kEntrySiteName), "Home Field");  // the store's spelling
        EXPECT_EQ(Text(b, kEntryObserverName), "Ann Lee");
        EXPECT_EQ(Text(b, kEntryInstrumentName), "Dob 10");
        EXPECT_EQ(b[kEntryClass], 6);
        EXPECT_EQ(I32(b, kEntryIndex), 31);
        EXPECT_EQ(I32(b, kEntryBits), 0x100);
        EXPECT_EQ(Text(b, kEntryDesignation), "Gal 31");
        EXPECT_EQ(Text(b, kEntryConditions), "good seeing");
        EXPECT_EQ(Text(b, kDateText), "20/07/2009 22:30");
        EXPECT_EQ(Text(b, kSiteText), "home field");
        EXPECT_EQ(Text(b, kInstrumentText), "Dob 10");
        EXPECT_EQ(Text(b, kObserverText), "Ann Lee");
        EXPECT_EQ(Text(b, kTargetText), "M31");
        EXPECT_EQ(Text(b, kConditionsText), "good seeing");
        EXPECT_EQ(Text(b, kNotesText), "UHC, x100, Rating 4, fine.\r\n\r\nBig, bright, \"core\"");
        EXPECT_EQ(b[kFlag], 0);
        // Entry 1: no time is 0 h local at zone -5, 5 h UT; the trailer travels.
        EXPECT_NEAR(F64(b, kRec + kEntryJd), kJul20 + 1.0 + 5.0 / 24.0, 1e-9);
        EXPECT_EQ(Text(b, kRec + kEntrySiteName), "Dark Site");
        EXPECT_EQ(b[kRec + kEntryTrailer], 3);
        EXPECT_EQ(Text(b, kRec + kEntryObserverName), "Bob");
        EXPECT_EQ(Text(b, kRec + kEntryInstrumentName), "Binos");
        EXPECT_EQ(b[kRec + kEntryClass], 1);  // placeholder object
        EXPECT_EQ(I32(b, kRec + kEntryIndex), 1);
        EXPECT_EQ(Text(b, kRec + kObserverText), "bob");
        EXPECT_EQ(Text(b, kRec + kConditionsText), "");
        EXPECT_EQ(Text(b, kRec + kNotesText), "");
        EXPECT_EQ(b[kRec + kFlag], 1);

        // The reader of the detail view gets the same record.
        FILE *pf = OpenPreviewFile();
        ASSERT_TRUE(pf);
        std::unique_ptr<PreviewRecord> r(new PreviewRecord);
        EXPECT_EQ(ReadPreviewRecord(pf, r.get(), 1, 2), 1);
        EXPECT_STREQ(r->targetText, "Mystery 9");
        EXPECT_EQ(+r->notRecognised, 1);
        EXPECT_EQ(ReadPreviewRecord(pf, r.get(), 2, 2), 0);
        EXPECT_EQ(ReadPreviewRecord(pf, r.get(), 2, 3), 0);  // beyond the file
        EXPECT_EQ(ReadPreviewRecord(pf, r.get(), -1, 2), 0);
        std::fclose(pf);
    }

    // The final pass adds the recognised entry with its notes; the other is
    // processed but not added.
    int added = -1;
    list.rows.clear();
    ASSERT_EQ(Run(CsvLine({}) + CsvLine({{0, "M31"}, {7, "Ann Lee"}, {8, "20/07/2009 22:30"},
                                         {10, "Home Field"}, {16, "Dob 10"}, {19, "UHC"},
                                         {28, "Fine"}}) +
                      CsvLine({{0, "Mystery 9"}, {7, "Bob"}, {8, "21/07/2009"},
                               {10, "Dark Site"}, {16, "Binos"}}),
                  0, &added),
              2)
        << ImportErrorLine();
    EXPECT_EQ(added, 1);
    EXPECT_TRUE(list.rows.empty());
    std::unique_ptr<LogEntry> e(new LogEntry);
    char *notes = nullptr;
    ASSERT_EQ(ReadLogEntryByNumber(0x100, 0, e.get(), &notes), 1);
    EXPECT_STREQ(notes, "UHC.\r\n\r\nFine");
    delete[] notes;
    EXPECT_NEAR(e->julianDate, kJul20 + 21.5 / 24.0, 1e-9);
    EXPECT_STREQ(e->observer.name, "Ann Lee");
    EXPECT_EQ(LastImportPassTally().notRecognised, 1);
}

// User layouts: the delimiter, the date layout, quotes, 12- and 24-hour
// times, and a time column placed before the date column.
TEST_F(PassFixture, UserLayouts) {
    struct Case {
        const char *name;
        char delimiter;
        int layout;
        int target, site, observer, instrument, date, time, description;
        const char *line;
        double jd;           // expected Julian date (UT)
        const char *site_, *observer_, *instrument_, *target_, *dateText, *notes;
    } cases[] = {
        {"tab, year month day time", '\t', 0, 0, 1, 2, 3, 4, -2, 5,
         "M 42\tDark Site\tAnn Lee\tBinos\t2009-07-20 23:15\tNice\n", kJul20 + 1.0 + 4.25 / 24.0,
         "Dark Site", "Ann Lee", "Binos", "M 42", "2009-07-20 23:15", "Nice"},
        {"pipe, month day year, 12-hour time before the date", '|', 3, 5, 4, 3, 2, 1, 0, -2,
         "10:30 PM|07/20/2009|Dob 10|Bob|Home Field|Vega\n", kJul20 + 21.5 / 24.0, "Home Field",
         "Bob", "Dob 10", "Vega", "07/20/2009 10:30 PM", ""},
        {"semicolon, day month year, quoted fields", ';', 5, 0, 1, 2, 3, 4, 5, 6,
         "\"M; 1\";\"Home Field\";Ann Lee;Dob 10;20.07.2009 ;21:00;\"Crab; \"\"SN 1054\"\"\"\n",
         -1.0, "", "", "", "", "", ""},
        {"semicolon, day month year with dashes", ';', 5, 0, 1, 2, 3, 4, 5, 6,
         "M 1;\"Home Field\";Ann Lee;Dob 10;20-07-2009;21:00;\"Crab; \"\"SN 1054\"\"\"\n",
         kJul20 + 20.0 / 24.0, "Home Field", "Ann Lee", "Dob 10", "M 1", "20-07-2009 21:00",
         "Crab; \"SN 1054\""},
        {"comma, two-digit year after 1950", ',', 4, 0, 1, 2, 3, 4, -2, -2,
         "M 13,Home Field,Bob,Binos,20/07/99 01:00\n", 2451379.5 + 0.0 / 24.0, "Home Field",
         "Bob", "Binos", "M 13", "20/07/99 01:00", ""},
        {"comma, two-digit year before 1950", ',', 4, 0, 1, 2, 3, 4, -2, -2,
         "M 13,Home Field,Bob,Binos,20/07/09 01:00\n", kJul20, "Home Field", "Bob", "Binos",
         "M 13", "20/07/09 01:00", ""},
    };
    for (const Case &c : cases) {
        for (int crlf = 0; crlf < 2; ++crlf) {
            SCOPED_TRACE(std::string(c.name) + (crlf ? " CR LF" : " LF"));
            ImportFormat &f = UserFormat(c.delimiter, c.layout);
            f.targetColumn = c.target;
            f.siteColumn = c.site;
            f.observerColumn = c.observer;
            f.instrumentColumn = c.instrument;
            f.dateColumn = c.date;
            f.timeColumn = c.time;
            f.descriptionColumn = c.description;
            list.rows.clear();
            std::string file = crlf ? WithCrLf(c.line) : std::string(c.line);
            int r = Run(file, 1);
            if (c.jd < 0) {
                // "20.07.2009" has no '/' or '-': one word, no date.
                EXPECT_EQ(r, -1);
                EXPECT_STREQ(ImportErrorLine(), "Error importing date: 20.07.2009 21:00\n");
                continue;
            }
            ASSERT_EQ(r, 1) << ImportErrorLine();
            std::string b = PreviewBytes();
            ASSERT_EQ(b.size(), kRec);
            EXPECT_NEAR(F64(b, kEntryJd), c.jd, 1e-9);
            EXPECT_EQ(Text(b, kEntrySiteName), c.site_);
            EXPECT_EQ(Text(b, kEntryObserverName), c.observer_);
            EXPECT_EQ(Text(b, kEntryInstrumentName), c.instrument_);
            EXPECT_EQ(Text(b, kTargetText), c.target_);
            EXPECT_EQ(Text(b, kDateText), c.dateText);
            EXPECT_EQ(Text(b, kNotesText), c.notes);
            EXPECT_EQ(b[kFlag], 0);
        }
    }
}

// A file in which no entry begins fails with its cause and the format's
// name, in the preview and the final pass alike, never as an import of 0
// entries; a first line without the format's delimiter names the delimiter.
TEST_F(PassFixture, NothingFoundSaysWhy) {
    const struct {
        const char *name;
        std::string text;
        int skip;
        char comment;
        char delimiter;
        std::string message;
    } cases[] = {
        {"empty file", "", 0, 0, ',', "No log entry was imported: the import file is empty (import format Test)\n"},
        {"every line skipped", "Object,Site\r\nM 1,Home Field\r\n", 2, 0, ',',
         "No log entry was imported: the import format Test skips the first 2 lines, and the import "
         "file has no further line\n"},
        {"blank lines", "\n , ,\n\t\n", 0, 0, ',',
         "No log entry was imported: every line of the import file after the lines to skip is blank "
         "under the import format Test\n"},
        {"comments and blanks", "Header\n#M 1,Home Field,Bob,Binos,2009 7 20\n\n", 1, '#', ',',
         "No log entry was imported: every line of the import file after the lines to skip is blank "
         "or a comment ('#') under the import format Test\n"},
        {"semicolons for commas", "M 1;Home Field;Bob;Binos;2009 7 20\nM 2;Home Field;Bob;Binos;2009 7 21\n", 0, 0,
         ',',
         "No log entry was imported: line 1 of the import file holds no ',', the delimiter of the import "
         "format Test. Is it the right format for this file?\n"},
        {"commas for tabs", "Object\nM 1,Home Field,Bob,Binos,2009 7 20\n", 1, 0, '\t',
         "No log entry was imported: line 2 of the import file holds no tab, the delimiter of the import "
         "format Test. Is it the right format for this file?\n"},
    };
    for (const auto &c : cases) {
        for (int preview : {1, 0}) {
            SCOPED_TRACE(std::string(c.name) + (preview ? " (preview)" : " (final)"));
            ImportFormat &f = BasicFormat(c.delimiter);
            f.skipLines = c.skip;
            f.commentChar = c.comment;
            int added = -1;
            EXPECT_EQ(Run(c.text, preview, &added), -1);
            EXPECT_EQ(std::string(ImportErrorLine()), c.message);
            EXPECT_EQ(added, 0);
        }
    }
    // A line without the delimiter after an imported entry keeps the message
    // of the value it lacks.
    BasicFormat(',');
    EXPECT_EQ(Run("M 1,Home Field,Bob,Binos,2009 7 20\nM 2\n", 1), -1);
    EXPECT_STREQ(ImportErrorLine(), "Error importing date: \n");
}

// Errors, each with its exact message; every file the pass opened is closed
// (the import file can be removed right after the pass).
TEST_F(PassFixture, ErrorMessages) {
    ImportFormat &f = BasicFormat(',');
    const struct {
        const char *line, *message;
    } cases[] = {
        {"M 1,Nowhere,Bob,Binos,2009 7 20\n", "Error importing location: Nowhere\n"},
        {"M 1,,Bob,Binos,2009 7 20\n", "Error importing location: (blank)\n"},
        {"M 1,Home Field,Carl,Binos,2009 7 20\n", "Error importing observer: Carl\n"},
        {"M 1,Home Field,Bob,binos,2009 7 20\n", "Error importing instrument: binos\n"},
        {"M 1,Home Field,Bob,Binos,2009 7\n", "Error importing date: 2009 7\n"},
        {"M 1,Home Field,Bob,Binos,2009 13 40\n", "Error importing date: 2009 13 40\n"},
        {"M 1,Home Field,Bob,Binos,\n", "Error importing date: \n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Run(c.line, 1), -1);
        EXPECT_STREQ(ImportErrorLine(), c.message);
        EXPECT_EQ(std::remove(dir.file("log.txt").c_str()), 0);
    }
    ImportSettings s = Settings("x\n");
    std::snprintf(s.importPath, sizeof s.importPath, "%s", dir.file("none.txt").c_str());
    EXPECT_EQ(RunDelimitedImportPass(&list.sink, JobOf(s), 1, nullptr), -1);
    EXPECT_EQ(std::string(ImportErrorLine()), "File not found: " + dir.file("none.txt") + "\n");

    // The preview file cannot be made when the user folder is gone.
    s = Settings("M 1,Home Field,Bob,Binos,2009 7 20\n");
    std::string gone = dir.file("gone");
    SetUserDataFolder(gone.c_str());
    EXPECT_EQ(RunDelimitedImportPass(&list.sink, JobOf(s), 1, nullptr), -1);
    EXPECT_EQ(std::string(ImportErrorLine()),
              "Unable to open output file: " + gone + "/gleaner.bin\n");
    SetUserDataFolder(dir.path().c_str());

    // An unknown delimiter is refused before any line.
    f.delimiter = 'x';
    EXPECT_EQ(Run("M 1,Home Field,Bob,Binos,2009 7 20\n", 1), -1);
    EXPECT_STREQ(ImportErrorLine(), "The import format Test has no valid delimiter\n");
}

// Damaged stores: a slot that cannot be read before the name is found.
TEST_F(PassFixture, DamagedStores) {
    BasicFormat(',');
    std::string loc = testutil::ReadFileBytes(dir.file("loc.bin"));
    ASSERT_EQ(loc.size(), 2u + 2 * 169u);
    std::string observers = testutil::ReadFileBytes(dir.file("observer.bin"));
    ASSERT_EQ(observers.size(), 2u + 2 * 84u);
    // Count 3 over two slots: the third cannot be read.
    std::string bad = loc;
    bad[0] = 3;
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("loc.bin"), bad));
    EXPECT_EQ(Run("M 1,Elsewhere,Bob,Binos,2009 7 20\n", 1), -1);
    EXPECT_STREQ(ImportErrorLine(), "General Error 1");
    // A name found before the damage still resolves.
    EXPECT_EQ(Run("M 1,Dark Site,Bob,Binos,2009 7 20\n", 1), 1) << ImportErrorLine();
    // The second slot's trailer is cut off.
    bad = loc.substr(0, 2 + 169 + 166);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("loc.bin"), bad));
    EXPECT_EQ(Run("M 1,Elsewhere,Bob,Binos,2009 7 20\n", 1), -1);
    EXPECT_STREQ(ImportErrorLine(), "General Error 2");
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("loc.bin"), loc));
    bad = observers;
    bad[0] = 5;
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("observer.bin"), bad));
    EXPECT_EQ(Run("M 1,Home Field,Nobody,Binos,2009 7 20\n", 1), -1);
    EXPECT_STREQ(ImportErrorLine(), "General Error 3");
}

// Name links serve names the stores do not hold; a linked site counts only
// when the store holds it with the same name and place. A designation link
// gives the text that is recognised, and the list shows it.
TEST_F(PassFixture, NameAndDesignationLinks) {
    BasicFormat('|');
    LocationRecord dark = MakeSite("Dark Site", -5.0, 75.0, 35.0);
    LocationRecord moved = MakeSite("Dark Site", -5.0, 76.0, 35.0);
    ASSERT_TRUE(AddLocationLink(&dark, "Backyard"));
    ASSERT_TRUE(AddLocationLink(&moved, "Old Yard"));
    ObserverRecord ann = MakeObserver("Ann Lee", 30);
    ASSERT_TRUE(AddObserverLink(&ann, "A. Lee"));
    std::unique_ptr<InstrumentRecord> dob = MakeInstrument("Dob 10", 0);
    std::string longName = std::string(kLongInstrument) + "567";
    ASSERT_TRUE(AddInstrumentLink(dob.get(), "my dob"));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("gleaner_des_links.dat"),
                                         "no hash here\nAndromeda Nebula#M 31\nRing#M 57\n"));
    ASSERT_EQ(Run("andromeda nebula|Backyard|A. Lee|my dob|2009 7 20 21:00\n"
                  "Ring|Backyard|A. Lee|Dob 10|2009 7 20 22:00\n",
                  1),
              2)
        << ImportErrorLine();
    ASSERT_EQ(list.rows.size(), 2u);
    EXPECT_EQ(list.rows[0].text, "M 31 at Dark Site at 2009-7-20 21:00 with Dob 10 by Ann Lee");
    EXPECT_EQ(list.rows[1].text, "M 57 at Dark Site at 2009-7-20 22:00 with Dob 10 by Ann Lee");
    std::string b = PreviewBytes();
    EXPECT_EQ(Text(b, kTargetText), "andromeda nebula");
    EXPECT_EQ(Text(b, kSiteText), "Backyard");
    EXPECT_EQ(b[kEntryTrailer], 3);  // the store's trailer of the linked site
    EXPECT_EQ(I32(b, kEntryIndex), 31);
    // Links are exact: another case is not linked; a linked site whose place
    // differs from the store's is refused.
    EXPECT_EQ(Run("M 1|backyard|Bob|Binos|2009 7 20\n", 1), -1);
    EXPECT_STREQ(ImportErrorLine(), "Error importing location: backyard\n");
    EXPECT_EQ(Run("M 1|Old Yard|Bob|Binos|2009 7 20\n", 1), -1);
    EXPECT_STREQ(ImportErrorLine(), "Error importing location: Old Yard\n");
    // Instruments match exactly: a name one character longer than a stored
    // 31-character name is not that instrument, unless a link says so.
    std::string line = "M 1|Home Field|Bob|" + longName + "|2009 7 20\n";
    EXPECT_EQ(Run(line, 1), -1);
    EXPECT_EQ(std::string(ImportErrorLine()), "Error importing instrument: " + longName + "\n");
    ASSERT_TRUE(AddInstrumentLink(dob.get(), longName.c_str()));
    EXPECT_EQ(Run(line, 1), 1) << ImportErrorLine();
    b = PreviewBytes();
    EXPECT_EQ(Text(b, kEntryInstrumentName), "Dob 10");
    EXPECT_EQ(Text(b, kInstrumentText), longName);
    EXPECT_EQ(Run(std::string("M 1|Home Field|Bob|") + kLongInstrument + "|2009 7 20\n", 1), 1);
    EXPECT_EQ(Text(PreviewBytes(), kEntryInstrumentName), kLongInstrument);
}

// Fixed values come from the format whatever the file holds at their columns.
TEST_F(PassFixture, FixedValues) {
    ImportFormat &f = BasicFormat(',');
    f.siteFixed = f.observerFixed = f.instrumentFixed = 1;
    f.fixedSite = MakeSite("Fixed Place", 2.0, -30.0, 50.0);
    f.fixedObserver = MakeObserver("Fixed Person", 50);
    std::unique_ptr<InstrumentRecord> fixed = MakeInstrument("Fixed Scope", 0);
    std::memcpy(&f.fixedInstrument, fixed.get(), sizeof *fixed);
    ASSERT_EQ(Run("M 1,Nowhere,Nobody,Nothing,2009 7 20 2:00\n", 1), 1) << ImportErrorLine();
    std::string b = PreviewBytes();
    EXPECT_EQ(Text(b, kEntrySiteName), "Fixed Place");
    EXPECT_EQ(Text(b, kEntryObserverName), "Fixed Person");
    EXPECT_EQ(Text(b, kEntryInstrumentName), "Fixed Scope");
    EXPECT_EQ(Text(b, kSiteText), "Use global value");
    EXPECT_EQ(Text(b, kObserverText), "Use global value");
    EXPECT_EQ(Text(b, kInstrumentText), "Use global value");
    EXPECT_EQ(b[kEntryTrailer], 0);
    EXPECT_NEAR(F64(b, kEntryJd), kJul20, 1e-9);  // 2 h at zone +2
    EXPECT_EQ(list.rows[0].text,
              "M 1 at Fixed Place at 2009-7-20 02:00 with Fixed Scope by Fixed Person");
}

// Conditions, extras and notes; the 50-field limit.
TEST_F(PassFixture, ConditionsExtrasAndFieldLimit) {
    ImportFormat &f = UserFormat(',', 0);
    f.targetColumn = 49;
    f.siteColumn = 0;
    f.observerColumn = 1;
    f.instrumentColumn = 2;
    f.dateColumn = 3;
    f.conditionColumns[0] = 4;
    f.conditionColumns[1] = 5;
    f.extraColumns[0] = 6;
    f.extraColumns[1] = 7;
    f.extraColumns[2] = 8;
    f.extraColumns[3] = 9;
    f.descriptionColumn = 55;  // beyond the 50 fields read
    std::string seeing(64, 's'), transparency(70, 't');
    std::vector<std::string> v(60);
    v[0] = "Home Field";
    v[1] = "Bob";
    v[2] = "Binos";
    v[3] = "2009 7 20 3:00";
    v[4] = seeing;
    v[5] = transparency;
    v[6] = " a ";
    v[7] = "";
    v[8] = "b";
    v[9] = "c";
    v[49] = "M 3";
    v[55] = "never read";
    std::string line;
    for (size_t i = 0; i < v.size(); ++i) line += (i ? "," : "") + v[i];
    ASSERT_EQ(Run(line + "\n", 1), 1) << ImportErrorLine();
    std::string b = PreviewBytes();
    std::string both = seeing + " and " + std::string(64, 't');  // 133 characters
    EXPECT_EQ(Text(b, kConditionsText), both);
    // The log entry's 128-byte field holds 127 characters and its NUL.
    EXPECT_EQ(std::string(b.data() + kEntryConditions, 128), both.substr(0, 127) + '\0');
    EXPECT_EQ(Text(b, kNotesText), "a, b, c");
    EXPECT_EQ(Text(b, kTargetText), "M 3");

    // Extras stay under 512 characters: a value that would reach 512 is left
    // out, later shorter ones still join. Notes keep their first 255.
    std::string big(508, 'x');  // "e1, " and 508 characters reach 512
    f.descriptionColumn = 10;
    ASSERT_EQ(Run("Home Field,Bob,Binos,2009 7 20,,,e1," + big + ",e3,,desc\n", 1), 1)
        << ImportErrorLine();
    b = PreviewBytes();
    EXPECT_EQ(Text(b, kNotesText), "e1, e3.\r\n\r\ndesc");
    ASSERT_EQ(Run("Home Field,Bob,Binos,2009 7 20,,,,,,,\"" + big + "\"\n", 1), 1);
    EXPECT_EQ(Text(PreviewBytes(), kNotesText), big.substr(0, 255));
}

// Faults of the plain reading mended here, one case each.
TEST_F(PassFixture, LinesThatOnceBrokeThePass) {
    ImportFormat &f = BasicFormat('\t');
    f.descriptionColumn = 5;
    const std::string good = "M 1\tHome Field\tBob\tBinos\t2009 7 20 22:00\tfirst\n";
    for (int crlf = 0; crlf < 2; ++crlf) {
        SCOPED_TRACE(crlf ? "CR LF" : "LF");
        auto file = [&](const std::string &t) { return crlf ? WithCrLf(t) : t; };
        // Blank lines, lines of blanks and tabs and a trailing empty line are
        // passed over instead of ending the pass with a date error.
        EXPECT_EQ(Run(file("\n" + good + "   \t \n\t\t\t\n" + good + "\n\n"), 1), 2)
            << ImportErrorLine();
        EXPECT_EQ(LastImportPassTally().skippedBlank, 5);
        // The last field of a final line without a line end is read.
        std::string noEnd = good.substr(0, good.size() - 1);
        EXPECT_EQ(Run(file(noEnd), 1), 1) << ImportErrorLine();
        EXPECT_EQ(Text(PreviewBytes(), kNotesText), "first");
        std::string oneChar = "M 1\tHome Field\tBob\tBinos\t2009 7 20\tx";
        EXPECT_EQ(Run(file(oneChar), 1), 1) << ImportErrorLine();
        EXPECT_EQ(Text(PreviewBytes(), kNotesText), "x");
    }
    // A line of 2047 characters is read whole; a longer one is refused with
    // its line number instead of being split into a bogus next line.
    std::string base = "M 1\tHome Field\tBob\tBinos\t2009 7 20\t";
    std::string fits = base + std::string(2047 - base.size(), 'd');
    EXPECT_EQ(Run(fits + "\r\n", 1), 1) << ImportErrorLine();
    EXPECT_EQ(Text(PreviewBytes(), kNotesText), std::string(255, 'd'));
    EXPECT_EQ(Run(good + "\n" + fits + "d\n" + good, 1), -1);
    EXPECT_STREQ(ImportErrorLine(), "Line 3 of the import file is longer than 2047 characters\n");
    f.skipLines = 2;
    EXPECT_EQ(Run("head\n" + fits + "dd\n" + good, 1), 1) << ImportErrorLine();  // skipped whole
    f.skipLines = 0;
    // A byte-order mark before the first line is not part of its first field.
    EXPECT_EQ(Run("\xEF\xBB\xBF" + good, 1), 1) << ImportErrorLine();
    EXPECT_EQ(Text(PreviewBytes(), kTargetText), "M 1");
    // A NUL byte: not text.
    EXPECT_EQ(Run(good + std::string("M 1\tHome\0Field\n", 15), 1), -1);
    EXPECT_STREQ(ImportErrorLine(), "Line 2 of the import file is not text\n");
}

// Dates and times: the time column wins whatever its place; a time that does
// not read is refused; universal times stay universal; two-digit years pivot;
// over-long date words do no harm.
TEST_F(PassFixture, DatesAndTimes) {
    ImportFormat &f = UserFormat(',', 1);
    f.timeColumn = 0;
    f.dateColumn = 1;
    f.targetColumn = 2;
    f.siteColumn = 3;
    f.observerColumn = 4;
    f.instrumentColumn = 5;
    const std::string rest = ",M 1,Home Field,Bob,Binos\n";
    const struct {
        int layout;
        const char *time, *date;
        double jd;  // -1: refused
        const char *dateText;
    } cases[] = {
        // Home Field keeps zone +1 without daylight saving.
        {1, "22:00", "2009/07/20", kJul20 + 21.0 / 24.0, "2009/07/20 22:00"},
        {1, "22:00", "2009/07/20 03:00", kJul20 + 21.0 / 24.0, "2009/07/20 03:00 22:00"},
        {1, "", "2009/07/20 03:00", kJul20 + 2.0 / 24.0, "2009/07/20 03:00"},
        {3, "9:30pm", "07/20/2009", kJul20 + 20.5 / 24.0, "07/20/2009 9:30pm"},
        {1, "21:30 UT", "2009/07/20", kJul20 + 21.5 / 24.0, "2009/07/20 21:30 UT"},
        {1, "", "2009/07/20 23:30 UT", kJul20 + 23.5 / 24.0, "2009/07/20 23:30 UT"},
        {1, "late", "2009/07/20", -1, "2009/07/20 late"},
        {1, "25:99", "2009/07/20", -1, "2009/07/20 25:99"},
        {5, "", "20/07/49", 2469642.5 - 1.0 / 24.0, "20/07/49"},
        {5, "", "20/07/50", 2433482.5 - 1.0 / 24.0, "20/07/50"},
        {5, "", "20/07/99", 2451379.5 - 1.0 / 24.0, "20/07/99"},
        {5, "", "20/07/00", 2451745.5 - 1.0 / 24.0, "20/07/00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.time) + " | " + c.date);
        f.dateLayout = c.layout;
        int r = Run(std::string(c.time) + "," + c.date + rest, 1);
        if (c.jd < 0) {
            EXPECT_EQ(r, -1);
            EXPECT_EQ(std::string(ImportErrorLine()),
                      std::string("Error importing date: ") + c.dateText + "\n");
            continue;
        }
        ASSERT_EQ(r, 1) << ImportErrorLine();
        std::string b = PreviewBytes();
        EXPECT_NEAR(F64(b, kEntryJd), c.jd, 1e-9);
        EXPECT_EQ(Text(b, kDateText), c.dateText);
    }
    // A date word far longer than any date word: no date, and no overrun.
    f.dateLayout = 5;
    std::string word(100, '7');
    EXPECT_EQ(Run("," + word + "/07/2009" + rest, 1), -1);
    EXPECT_EQ(std::string(ImportErrorLine()),
              "Error importing date: " + (word + "/07/2009").substr(0, 63) + "\n");
    // A UT time at a site of zone -5: the list shows the site's local clock.
    f.dateLayout = 1;
    ASSERT_EQ(Run("02:00 UT,2009/07/21,M 1,Dark Site,Bob,Binos\n", 1), 1) << ImportErrorLine();
    EXPECT_NEAR(F64(PreviewBytes(), kEntryJd), kJul20 + 1.0 + 2.0 / 24.0, 1e-9);
    EXPECT_EQ(list.rows.back().text, "M 1 at Dark Site at 2009-7-20 21:00 with Binos by Bob");
}

// Every line gets its own site, observer and instrument: a line too short to
// reach a column, or a column beyond the 50 read, is refused instead of
// silently taking the previous line's value.
TEST_F(PassFixture, ValuesNotDefinedOnALine) {
    const struct {
        int site, observer, instrument;
        const char *second, *message;
    } cases[] = {
        {4, 2, 3, "M 2,2009 7 21,Bob,Binos\n", "Location not defined for log entry\n"},
        {2, 4, 3, "M 2,2009 7 21,Home Field,Binos\n", "Observer not defined for log entry\n"},
        {2, 3, 4, "M 2,2009 7 21,Home Field,Bob\n", "Instrument not defined for log entry\n"},
        {55, 2, 3, "M 2,2009 7 21,Bob,Binos\n", "Location not defined for log entry\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        ImportFormat &f = UserFormat(',', 0);
        f.targetColumn = 0;
        f.dateColumn = 1;
        f.siteColumn = c.site;
        f.observerColumn = c.observer;
        f.instrumentColumn = c.instrument;
        std::vector<std::string> v(5);
        v[0] = "M 1";
        v[1] = "2009 7 20";
        if (c.site < 5) v[c.site] = "Home Field";
        v[c.observer] = "Bob";
        v[c.instrument] = "Binos";
        std::string first = v[0] + "," + v[1] + "," + v[2] + "," + v[3] + "," + v[4] + "\n";
        list.rows.clear();
        EXPECT_EQ(Run(first + c.second, 1), -1);
        EXPECT_STREQ(ImportErrorLine(), c.message);
        EXPECT_EQ(list.rows.size(), c.site < 5 ? 1u : 0u);
    }
}

// Messages that carry a whole field are bounded by the error line, never
// overrun it.
TEST_F(PassFixture, LongValuesInMessagesAndTexts) {
    BasicFormat(',');
    std::string site(2000, 'S');
    EXPECT_EQ(Run("M 1," + site + ",Bob,Binos,2009 7 20\n", 1), -1);
    EXPECT_EQ(std::string(ImportErrorLine()), "Error importing location: " + site + "\n");
    // A target of 140 characters: the record keeps 63, recognition 135.
    std::string target(140, 'T');
    ASSERT_EQ(Run(target + ",Home Field,Bob,Binos,2009 7 20\n", 1), 1);
    EXPECT_EQ(Text(PreviewBytes(), kTargetText), target.substr(0, 63));
    EXPECT_EQ(list.rows.back().text, target.substr(0, 135) + " -- warning, object not recognized");
}

// The final pass: *added counts the store's acceptances; an identical entry
// already held is counted as specified but never stored twice, and the tally
// tells it apart; a failed add asks whether to go on.
TEST_F(PassFixture, FinalPassAddsAndReimports) {
    ImportFormat &f = BasicFormat(',');
    f.descriptionColumn = 5;
    const std::string file =
        "M 1,Home Field,Bob,Binos,2009 7 20 22:00,one\n"
        "Nothing known,Home Field,Bob,Binos,2009 7 20 22:10,two\n"
        "M 2,Home Field,Bob,Binos,2009 7 20 22:20,three\n"
        "Vega,Dark Site,Ann Lee,Dob 10,2009 7 20 23:00,four\n";
    // The preview lists all four, the unrecognised one flagged.
    EXPECT_EQ(Run(file, 1), 4) << ImportErrorLine();
    ASSERT_EQ(list.rows.size(), 4u);
    EXPECT_EQ(list.rows[0].flag + list.rows[1].flag + list.rows[2].flag + list.rows[3].flag, 1);
    EXPECT_EQ(list.rows[1].flag, 1);
    EXPECT_EQ(PreviewBytes().size(), 4 * kRec);
    EXPECT_FALSE(testutil::PathIsThere(dir.file("log/galaxies/pid.bin")));
    int added = -1;
    list.rows.clear();
    EXPECT_EQ(Run(file, 0, &added), 4) << ImportErrorLine();
    EXPECT_EQ(added, 3);
    EXPECT_TRUE(list.rows.empty());
    EXPECT_EQ(LastImportPassTally().alreadyLogged, 0);
    EXPECT_EQ(LastImportPassTally().notRecognised, 1);
    std::string pid = testutil::ReadFileBytes(dir.file("log/galaxies/pid.bin"));
    ASSERT_GE(pid.size(), 4u);
    EXPECT_EQ(I32(pid, 0), 2);  // two galaxy entries issued
    added = -1;
    EXPECT_EQ(Run(file, 0, &added), 4) << ImportErrorLine();
    EXPECT_EQ(added, 3);
    EXPECT_EQ(LastImportPassTally().added, 3);
    EXPECT_EQ(LastImportPassTally().alreadyLogged, 3);
    EXPECT_EQ(I32(testutil::ReadFileBytes(dir.file("log/galaxies/pid.bin")), 0), 2);
    // The preview writes nothing to the log.
    EXPECT_EQ(Run("M 5,Home Field,Bob,Binos,2009 7 21,x\n", 1), 1);
    EXPECT_EQ(I32(testutil::ReadFileBytes(dir.file("log/galaxies/pid.bin")), 0), 2);

    // "Bad" cannot be identified by the store: No stops, Yes goes on.
    const std::string failing = "Bad,Home Field,Bob,Binos,2009 7 22,x\n"
                                "M 7,Home Field,Bob,Binos,2009 7 22,y\n";
    list.answer = 0;
    added = -1;
    EXPECT_EQ(Run(failing, 0, &added), -1);
    EXPECT_STREQ(ImportErrorLine(), "Error adding log data for Bad");
    ASSERT_EQ(list.questions.size(), 1u);
    EXPECT_EQ(list.questions[0], "Error adding log data for Bad");
    EXPECT_EQ(added, 0);
    list.answer = 1;
    EXPECT_EQ(Run(failing, 0, &added), 2) << ImportErrorLine();
    EXPECT_EQ(added, 1);
    // Without a list there is nobody to ask: the pass stops.
    ImportSettings s = Settings(failing);
    EXPECT_EQ(RunDelimitedImportPass(nullptr, JobOf(s), 0, nullptr), -1);
}

// The pass resolves each name once and keeps it for the pass only: a store
// changed between passes is seen by the next pass.
TEST_F(PassFixture, StoreChangesBetweenPassesAreSeen) {
    BasicFormat(',');
    std::string file;
    for (int i = 0; i < 200; ++i)
        file += "M " + std::to_string(i + 1) + ",Home Field,Bob,Binos,2009 7 20 21:00\n";
    ASSERT_EQ(Run(file, 1), 200) << ImportErrorLine();
    EXPECT_EQ(PreviewBytes().size(), 200 * kRec);
    std::string b = PreviewBytes();
    EXPECT_EQ(Text(b, 199 * kRec + kEntryInstrumentName), "Binos");
    EXPECT_EQ(Text(b, 199 * kRec + kEntrySiteName), "Home Field");
    // Rename the store's site: the next pass no longer finds the old name.
    int16_t count = 0;
    FILE *loc = OpenLocationStore(&count);
    ASSERT_TRUE(loc);
    LocationRecord home;
    LocationTrailer trailer;
    ASSERT_TRUE(ReadLocation(loc, 0, &home, &trailer));
    std::snprintf(home.name, sizeof home.name, "Home Meadow");
    ASSERT_TRUE(UpdateLocation(loc, 0, &home, &trailer, &home.dst, home.dstMode));
    std::fclose(loc);
    EXPECT_EQ(Run(file, 1), -1);
    EXPECT_STREQ(ImportErrorLine(), "Error importing location: Home Field\n");
}

// "gleaner.txt" is emptied at the start of a pass; when it cannot be opened
// (a folder of that name here, a read-only folder for the user) the pass
// still runs.
TEST_F(PassFixture, TraceFileThatCannotBeOpened) {
    BasicFormat(',');
    char saved[1024];
    ASSERT_TRUE(getcwd(saved, sizeof saved));
    testutil::TempDir work;
    ASSERT_EQ(chdir(work.path().c_str()), 0);
    ASSERT_TRUE(testutil::WriteFileBytes(work.file("gleaner.txt"), "old trace"));
    EXPECT_EQ(Run("M 1,Home Field,Bob,Binos,2009 7 20\n", 1), 1) << ImportErrorLine();
    EXPECT_EQ(testutil::ReadFileBytes(work.file("gleaner.txt")), "");
    ASSERT_EQ(std::remove(work.file("gleaner.txt").c_str()), 0);
    ASSERT_EQ(mkdir(work.file("gleaner.txt").c_str(), 0755), 0);
    EXPECT_EQ(Run("M 1,Home Field,Bob,Binos,2009 7 20\n", 1), 1) << ImportErrorLine();
    ASSERT_EQ(chdir(saved), 0);
}

#ifndef _WIN32
// A preview file that cannot take a record (a full disk) ends the pass with
// its message instead of reporting entries that were never written.
TEST_F(PassFixture, PreviewFileThatCannotBeWritten) {
    if (!testutil::PathIsThere("/dev/full")) GTEST_SKIP() << "no /dev/full";
    BasicFormat(',');
    ASSERT_EQ(symlink("/dev/full", dir.file("gleaner.bin").c_str()), 0);
    EXPECT_EQ(Run("M 1,Home Field,Bob,Binos,2009 7 20\n", 1), -1);
    EXPECT_STREQ(ImportErrorLine(), "Error writing log data to temporary file for M 1");
}
#endif

// The suite's own recognition and log store over the generated star
// catalogue (the demo installation's under Windows): names as log files write
// them reach the catalogue star, the entry carries its first designation, and
// the final pass stores it once.
TEST(DelimitedPassCatalogue, StarsThroughTheSuitesRecognition) {
    std::string why;
    if (!stardata::Use(&why)) GTEST_SKIP() << why;
    testutil::TempDir dir;
    SetUserDataFolder(dir.path().c_str());
    SetImportDesignationParser(nullptr);
    SetLogObjectServices(nullptr, nullptr);
    FreeNameLinkTables();
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    ASSERT_TRUE(f);
    LocationTrailer zone{0, 0, 0};
    LocationRecord home = MakeSite("Home Field", 1.0, -15.0, 40.0);
    ASSERT_TRUE(AppendLocation(f, &home, &zone));
    std::fclose(f);
    ImportFormat &format = UserFormat(';', 4);
    format.targetColumn = 0;
    format.dateColumn = 1;
    format.siteColumn = 2;
    format.observerFixed = format.instrumentFixed = 1;
    format.fixedObserver = MakeObserver("Ann Lee", 30);
    std::unique_ptr<InstrumentRecord> eye = MakeInstrument("Eyes", 2);
    std::memcpy(&format.fixedInstrument, eye.get(), sizeof *eye);
    std::string file = "Vega;20/07/2009 22:30;Home Field\r\n"
                       "alpha Lyr;20/07/2009 22:40;Home Field\r\n"
                       "HR7001;20/07/2009 22:50;Home Field\r\n"
                       "No Such Star 123;20/07/2009 23:00;Home Field\r\n";
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("log.txt"), file));
    ImportSettings settings;
    std::memset(&settings, 0, sizeof settings);
    std::snprintf(settings.importPath, sizeof settings.importPath, "%s", dir.file("log.txt").c_str());
    MemorySink list;
    ASSERT_EQ(RunDelimitedImportPass(&list.sink, JobOf(settings), 1, nullptr), 4) << ImportErrorLine();
    std::string b = testutil::ReadFileBytes(dir.file("gleaner.bin"));
    ASSERT_EQ(b.size(), 4 * kRec);
    std::string designation = Text(b, kEntryDesignation);
    EXPECT_FALSE(designation.empty());
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(b[i * kRec + kEntryClass], 5);
        EXPECT_EQ(I32(b, i * kRec + kEntryIndex), I32(b, kEntryIndex));
        EXPECT_EQ(Text(b, i * kRec + kEntryDesignation), designation);
        EXPECT_EQ(b[i * kRec + kFlag], 0);
        EXPECT_EQ(list.rows[i].flag, 0);
    }
    EXPECT_EQ(b[3 * kRec + kFlag], 1);
    EXPECT_EQ(list.rows[0].text, "Vega at Home Field at 2009-7-20 22:30 with Eyes by Ann Lee");
    int added = -1;
    EXPECT_EQ(RunDelimitedImportPass(&list.sink, JobOf(settings), 0, &added), 4) << ImportErrorLine();
    EXPECT_EQ(added, 3);
    EXPECT_EQ(RunDelimitedImportPass(&list.sink, JobOf(settings), 0, &added), 4) << ImportErrorLine();
    EXPECT_EQ(added, 3);
    EXPECT_EQ(LastImportPassTally().alreadyLogged, 3);
    std::unique_ptr<LogEntry> e(new LogEntry);
    char *notes = nullptr;
    const int32_t bits = I32(b, kEntryBits);
    ASSERT_EQ(ReadLogEntryByNumber(bits, 2, e.get(), &notes), 1);
    delete[] notes;
    EXPECT_NEAR(e->julianDate, kJul20 + 21.833333333333 / 24.0, 1e-6);
    EXPECT_EQ(ReadLogEntryByNumber(bits, 3, e.get(), &notes), 0);  // nothing stored twice
    SetUserDataFolder("");
}

namespace {

// What each reader of the file saw: the targets of the entries the preview
// pass wrote, the unmatched designations of the step-2 scan, and the sites
// the step-3 scan listed when the target's column is read as the site.
struct Seen {
    int pass = 0, step2 = 0, step3 = 0;  // results
    std::vector<std::string> passTargets, step2Rows, step3Sites;
    std::string passError, step2Error, step3Error;
};

}  // namespace

// Steps 2 and 3 and the pass read the same lines of a file: the same lines
// to skip, comment and blank lines, line ends of every kind, a byte-order
// mark, and the same refusal of a line that is too long or not text.
TEST_F(PassFixture, ScansAndPassSeeTheSameLines) {
    const std::string longLine = "Qwerty 9," + std::string(2100, 'x') + ",Ann Lee,Dob 10,2024 1 1";
    struct Case {
        const char *name;
        std::string text;
        int skip;
        char comment;
        std::vector<std::string> targets;  // empty: every reader refuses the file
        const char *error;
    } cases[] = {
        {"LF", "Qwerty 1,Home Field,Ann Lee,Dob 10,2024 1 1\nQwerty 2,Home Field,Ann Lee,Dob 10,2024 1 2\n",
         0, 0, {"Qwerty 1", "Qwerty 2"}, ""},
        {"CR LF", "Qwerty 1,Home Field,Ann Lee,Dob 10,2024 1 1\r\nQwerty 2,Home Field,Ann Lee,Dob 10,2024 1 2\r\n",
         0, 0, {"Qwerty 1", "Qwerty 2"}, ""},
        {"lone CR", "Qwerty 1,Home Field,Ann Lee,Dob 10,2024 1 1\rQwerty 2,Home Field,Ann Lee,Dob 10,2024 1 2\r",
         0, 0, {"Qwerty 1", "Qwerty 2"}, ""},
        {"byte-order mark", "\xEF\xBB\xBFQwerty 1,Home Field,Ann Lee,Dob 10,2024 1 1\n", 0, 0,
         {"Qwerty 1"}, ""},
        {"mark, header skipped", "\xEF\xBB\xBFObject,Site\r\nQwerty 3,Home Field,Ann Lee,Dob 10,2024 1 1",
         1, 0, {"Qwerty 3"}, ""},
        {"comments and blank lines",
         "#Qwerty 7,Home Field\n\n , ,\r\nQwerty 4,Home Field,Ann Lee,Dob 10,2024 1 1\n\n", 0, '#',
         {"Qwerty 4"}, ""},
        {"long skipped header", std::string(3000, 'h') + "\nQwerty 5,Home Field,Ann Lee,Dob 10,2024 1 1\n", 1,
         0, {"Qwerty 5"}, ""},
        // UTF-8 reaches every reader as Windows-1252 ('?' for a character it
        // lacks); a file that is not UTF-8 throughout is read as it is.
        {"UTF-8 without a mark",
         "Qwerty J\xC3\xB6rg,Home Field,Ann Lee,Dob 10,2024 1 1\nQwerty \xE2\x84\xA6,Home Field,Ann Lee,Dob 10,2024 1 2\n",
         0, 0, {"Qwerty J\xF6rg", "Qwerty ?"}, ""},
        {"UTF-8 with a mark", "\xEF\xBB\xBFQwerty \xE2\x82\xAC,Home Field,Ann Lee,Dob 10,2024 1 1\n", 0, 0,
         {"Qwerty \x80"}, ""},
        {"Windows-1252", "Qwerty J\xF6rg,Home Field,Ann Lee,Dob 10,2024 1 1\nQwerty J\xC3\xB6rg,Home Field,Ann Lee,Dob 10,2024 1 2\n",
         0, 0, {"Qwerty J\xF6rg", "Qwerty J\xC3\xB6rg"}, ""},
        {"line too long", "Qwerty 1,Home Field,Ann Lee,Dob 10,2024 1 1\n" + longLine + "\n", 0, 0, {},
         "Line 2 of the import file is longer than 2047 characters\n"},
        {"not text", "Qwerty 1,Home Field,Ann Lee,Dob 10,2024 1 1\nQwerty 2\x1A\n", 0, 0, {},
         "Line 2 of the import file is not text\n"},
    };
    for (const Case &c : cases) {
        ImportFormat &f = BasicFormat(',');
        f.skipLines = c.skip;
        f.commentChar = c.comment;
        ImportSettings s = Settings(c.text);
        ImportJob job = JobOf(s);
        f.siteColumn = 0;
        f.targetColumn = kNoColumn;
        ImportJob sitesJob = JobOf(s);

        Seen seen;
        list.rows.clear();
        std::remove(dir.file("gleaner.bin").c_str());
        seen.pass = RunDelimitedImportPass(&list.sink, job, 1, nullptr);
        seen.passError = ImportErrorLine();
        std::string bytes = PreviewBytes();
        for (size_t at = 0; at + sizeof(PreviewRecord) <= bytes.size(); at += sizeof(PreviewRecord))
            seen.passTargets.push_back(bytes.c_str() + at + 330881);
        std::vector<std::string> rows;
        UnmatchedRowSink sink{&rows, [](void *r) { static_cast<std::vector<std::string> *>(r)->clear(); },
                              [](void *r, const char *t) { static_cast<std::vector<std::string> *>(r)->push_back(t); }};
        seen.step2 = ScanUnmatchedDesignationsDelimited(&sink, job);
        seen.step2Error = ImportErrorLine();
        seen.step2Rows = rows;
        UndefinedNameLists lists;
        seen.step3 = ScanUndefinedNamesInDelimitedFile(sitesJob, &lists);
        seen.step3Error = ImportErrorLine();
        for (const UndefinedName &n : lists.sites) seen.step3Sites.push_back(n.name);

        if (c.targets.empty()) {
            EXPECT_EQ(seen.pass, -1) << c.name;
            EXPECT_EQ(seen.step2, -1) << c.name;
            EXPECT_EQ(seen.step3, kScanFailed) << c.name;
            EXPECT_EQ(seen.passError, c.error) << c.name;
            EXPECT_EQ(seen.step2Error, c.error) << c.name;
            EXPECT_EQ(seen.step3Error, c.error) << c.name;
            continue;
        }
        EXPECT_EQ(seen.pass, static_cast<int>(c.targets.size())) << c.name << ": " << seen.passError;
        EXPECT_EQ(seen.passTargets, c.targets) << c.name;
        EXPECT_EQ(seen.step2Rows, c.targets) << c.name;
        EXPECT_EQ(seen.step3, kScanAllDefined) << c.name;
        EXPECT_EQ(seen.step3Sites, c.targets) << c.name;
    }
}

// A log saved in UTF-8 without a byte-order mark: its names find the stored
// Windows-1252 names and its notes arrive as the suite's text, not as
// "JoÃ«lle".
TEST_F(PassFixture, Utf8NamesAndNotes) {
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    ASSERT_TRUE(f);
    LocationTrailer zone{0, 0, 0};
    LocationRecord hill = MakeSite("H\xF6he Berg", 1.0, -15.0, 40.0);
    ASSERT_TRUE(AppendLocation(f, &hill, &zone));
    std::fclose(f);
    ImportFormat &format = BasicFormat(',');
    format.descriptionColumn = 5;
    const std::string line =
        "M 1,H\xC3\xB6he Berg,Bob,Binos,2009 7 20,Jo\xC3\xAB" "lle saw \xE2\x80\x9Cthe core\xE2\x80\x9D \xE2\x89\x88 1'\n";
    for (const std::string &ends : {std::string("\n"), std::string("\r\n")}) {
        std::string text = line;
        text.replace(text.size() - 1, 1, ends);
        ASSERT_EQ(Run(text, 1), 1) << ImportErrorLine();
        std::string bytes = PreviewBytes();
        ASSERT_EQ(bytes.size(), sizeof(PreviewRecord));
        EXPECT_STREQ(bytes.c_str() + 330689, "H\xF6he Berg");
        EXPECT_STREQ(bytes.c_str() + 331201, "Jo\xEBlle saw \x93the core\x94 ? 1'");
    }
}
