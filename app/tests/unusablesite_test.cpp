// A site whose place or zone is no number (a damaged fixed site in the format
// file, or a damaged slot of loc.bin) must stop the pass with the location
// message: dated for such a site the entry's Julian date is NaN, and it was
// listed as recognised and added to the log.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "app/tests/importjobfixture.h"
#include "app/entrycompletion.h"
#include "app/formatfile.h"
#include "app/importpass.h"
#include "app/namelinks.h"
#include "core/userfolder.h"
#include "logstore/logobject.h"
#include "objects/objectrecord.h"
#include "testutil/testutil.h"

namespace {

int GalaxyParser(char *text, double, const LocationRecord *, const DateRecord *, double,
                 ObjectRecord records[3]) {
    InitObjectRecord(&records[0]);
    int n = 0;
    if (std::sscanf(text, "M%d", &n) != 1) return 0;
    records[0].objectClass = 6;
    records[0].index = n;
    records[0].categoryBits = 0x100;
    return 1;
}
int KeepObject(ObjectRecord *, double, const LocationRecord *, const DateRecord *, double) {
    return 1;
}
int NameObject(const ObjectRecord *r, char *name, int size) {
    std::snprintf(name, static_cast<size_t>(size), "Gal %d", static_cast<int>(r->index));
    return 1;
}

struct Rows {
    int count = 0;
    ImportListSink sink{};
    Rows() {
        sink.context = this;
        sink.addRow = [](void *c, const char *, int32_t) { ++static_cast<Rows *>(c)->count; };
        sink.askGoOn = nullptr;
    }
};

// A format with every value fixed; the fixed site is damaged as `damage` says.
void FixedFormat(void (*damage)(LocationRecord *)) {
    ImportFormat &f = CurrentImportFormat();
    std::memset(&f, 0, sizeof f);
    std::snprintf(f.name, sizeof f.name, "Fixed");
    f.delimiter = ';';
    f.siteColumn = f.observerColumn = f.instrumentColumn = f.timeColumn = f.descriptionColumn =
        kNoColumn;
    for (int i = 0; i < 2; ++i) f.conditionColumns[i] = kNoColumn;
    for (int i = 0; i < 5; ++i) f.extraColumns[i] = kNoColumn;
    f.targetColumn = 0;
    f.dateColumn = 1;
    f.siteFixed = f.observerFixed = f.instrumentFixed = 1;
    std::snprintf(f.fixedSite.name, sizeof f.fixedSite.name, "Home");
    f.fixedSite.latitude = 0.7;
    f.fixedSite.timeZone = 1.0;
    std::snprintf(f.fixedObserver.name, sizeof f.fixedObserver.name, "Ann");
    std::snprintf(f.fixedInstrument.name, sizeof f.fixedInstrument.name, "Dob");
    f.fixedInstrument.opticsCount = 1;
    damage(&f.fixedSite);
}

struct Damage {
    const char *what;
    void (*apply)(LocationRecord *);
};

}  // namespace

TEST(UnusableSite, RefusedBeforeDatingInBothPasses) {
    const Damage cases[] = {
        {"every byte 0xFF", [](LocationRecord *s) {
             std::memset(s, 0xFF, sizeof *s);
             s->name[0] = 'X';
             s->name[1] = 0;
         }},
        {"latitude NaN", [](LocationRecord *s) {
             s->latitude = std::numeric_limits<double>::quiet_NaN();
         }},
        {"longitude infinite", [](LocationRecord *s) {
             s->longitude = std::numeric_limits<double>::infinity();
         }},
        {"zone of 1000 hours", [](LocationRecord *s) { s->timeZone = 1000.0; }},
    };
    testutil::TempDir dir;
    SetUserDataFolder(dir.path().c_str());
    SetImportDesignationParser(GalaxyParser);
    SetLogObjectServices(KeepObject, NameObject);
    FreeNameLinkTables();
    std::string path = dir.file("log.txt");
    ASSERT_TRUE(testutil::WriteFileBytes(path, "M31;2009 07 20 22:30\n"));
    ImportSettings settings;
    std::memset(&settings, 0, sizeof settings);
    std::snprintf(settings.importPath, sizeof settings.importPath, "%s", path.c_str());
    settings.selectedFormat = -1;

    // The sound site imports: the fixture itself is good.
    FixedFormat([](LocationRecord *) {});
    Rows good;
    ASSERT_EQ(RunDelimitedImportPass(&good.sink, JobOf(settings), 1, nullptr), 1) << ImportErrorLine();
    EXPECT_EQ(good.count, 1);

    for (const Damage &c : cases) {
        SCOPED_TRACE(c.what);
        FixedFormat(c.apply);
        for (int preview = 1; preview >= 0; --preview) {
            Rows rows;
            int added = 0;
            EXPECT_EQ(RunDelimitedImportPass(&rows.sink, JobOf(settings), preview, &added), -1);
            EXPECT_EQ(std::string(ImportErrorLine()).rfind("Error importing location: ", 0), 0u)
                << ImportErrorLine();
            EXPECT_EQ(rows.count, 0);
            EXPECT_EQ(added, 0);
        }
    }
    SetImportDesignationParser(nullptr);
    SetLogObjectServices(nullptr, nullptr);
    SetUserDataFolder("");
}
