// Name links saved and loaded with their import path, designation links, and
// the importer's file copies.
#include "app/namelinks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/filecopies.h"
#include "app/formatfile.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

using testutil::ReadFileBytes;
using testutil::TempDir;
using testutil::WriteFileBytes;

namespace {

struct NameLinks : ::testing::Test {
    TempDir user;
    void SetUp() override {
        SetUserDataFolder(user.path().c_str());
        FreeNameLinkTables();
        std::snprintf(CurrentImportSettings().importPath, 512, "C:/My Logs/spring 2024.csv");
    }
    void TearDown() override {
        FreeNameLinkTables();
        SetUserDataFolder("");
    }
};

LocationRecord Site(const char *name, double lat) {
    LocationRecord r;
    std::memset(&r, 0, sizeof r);
    std::snprintf(r.name, sizeof r.name, "%s", name);
    r.latitude = lat;
    return r;
}

TEST_F(NameLinks, SavedAndLoadedForTheirImportFile) {
    LocationRecord home = Site("Home", 0.7);
    ObserverRecord me;
    std::memset(&me, 0, sizeof me);
    std::snprintf(me.name, sizeof me.name, "A. Observer");
    std::unique_ptr<InstrumentRecord> scope(new InstrumentRecord());
    std::snprintf(scope->name, sizeof scope->name, "Dob 8");
    ASSERT_EQ(AddLocationLink(&home, "backyard"), 1);
    ASSERT_EQ(AddObserverLink(&me, "me"), 1);
    ASSERT_EQ(AddInstrumentLink(scope.get(), "8in"), 1);
    ASSERT_EQ(SaveNameLinks(CurrentImportSettings().importPath), 1);

    EXPECT_EQ(ReadFileBytes(user.file("loc_links.bin")).size(), 4u + 232u);
    EXPECT_EQ(ReadFileBytes(user.file("observer_links.bin")).size(), 4u + 150u);
    EXPECT_EQ(ReadFileBytes(user.file("inst_links.bin")).size(), 4u + 330218u);
    std::string loc = ReadFileBytes(user.file("loc_links.bin"));
    EXPECT_EQ(loc.substr(4 + 166, 9), std::string("backyard\0", 9));
    EXPECT_EQ(ReadFileBytes(user.file("gleaner_links.dat")), "C:/My Logs/spring 2024.csv");

    FreeNameLinkTables();
    EXPECT_EQ(FindLocationLink("backyard", nullptr), 0);
    LoadNameLinks();
    LocationRecord got;
    ASSERT_EQ(FindLocationLink("backyard", &got), 1);
    EXPECT_STREQ(got.name, "Home");
    EXPECT_DOUBLE_EQ(+got.latitude, 0.7);
    // Name links match exactly, case included.
    EXPECT_EQ(FindLocationLink("Backyard", &got), 0);
    ObserverRecord o;
    ASSERT_EQ(FindObserverLink("me", &o), 1);
    EXPECT_STREQ(o.name, "A. Observer");
    std::unique_ptr<InstrumentRecord> i(new InstrumentRecord());
    ASSERT_EQ(FindInstrumentLink("8in", i.get()), 1);
    EXPECT_STREQ(i->name, "Dob 8");

    // The owner file is compared without regard to case, blanks included.
    std::snprintf(CurrentImportSettings().importPath, 512, "c:/my logs/SPRING 2024.csv");
    EXPECT_EQ(AreNameLinksForImportFile(CurrentImportSettings().importPath), 1);
    std::snprintf(CurrentImportSettings().importPath, 512, "C:/My Logs/spring 2025.csv");
    EXPECT_EQ(AreNameLinksForImportFile(CurrentImportSettings().importPath), 0);
    ClearNameLinks();
    EXPECT_EQ(AreNameLinksForImportFile(CurrentImportSettings().importPath), 0);
    EXPECT_EQ(LocationLinkCount(), 0);
    EXPECT_TRUE(testutil::PathIsThere(user.file("loc_links.bin")));
}

// A save at every failure point: each of the four files is either its old
// content or its new content whole, never a mix or a cut file, and a save
// with any failed step says 0.
TEST_F(NameLinks, SaveThroughEveryFailurePoint) {
    const std::vector<std::string> files = {"loc_links.bin", "observer_links.bin", "inst_links.bin",
                                            "gleaner_links.dat"};
    LocationRecord home = Site("Home", 0.7), field = Site("Field", 0.5);
    ObserverRecord me;
    std::memset(&me, 0, sizeof me);
    std::snprintf(me.name, sizeof me.name, "A. Observer");
    std::unique_ptr<InstrumentRecord> scope(new InstrumentRecord());
    std::snprintf(scope->name, sizeof scope->name, "Dob 8");
    auto oldLinks = [&] {
        FreeNameLinkTables();
        std::snprintf(CurrentImportSettings().importPath, 512, "C:/old.csv");
        AddLocationLink(&home, "backyard");
        AddObserverLink(&me, "me");
        AddInstrumentLink(scope.get(), "8in");
    };
    auto newLinks = [&] {
        std::snprintf(CurrentImportSettings().importPath, 512, "C:/new.csv");
        AddLocationLink(&field, "the field");
        AddObserverLink(&me, "myself");
        AddInstrumentLink(scope.get(), "eight inch");
    };
    // The two versions of each file, made once without failures.
    auto contents = [&] {
        std::vector<std::string> out;
        for (const std::string &name : files) out.push_back(ReadFileBytes(user.file(name)));
        return out;
    };
    oldLinks();
    ASSERT_EQ(SaveNameLinks(CurrentImportSettings().importPath), 1);
    const std::vector<std::string> before = contents();
    newLinks();
    ASSERT_EQ(SaveNameLinks(CurrentImportSettings().importPath), 1);
    const std::vector<std::string> after = contents();
    for (size_t i = 0; i < files.size(); ++i) ASSERT_NE(before[i], after[i]) << files[i];

    testutil::FailureTableLabel label("name-link files save");
    int steps = testutil::ForEachFailurePoint(
        [&] {
            oldLinks();
            ASSERT_EQ(SaveNameLinks(CurrentImportSettings().importPath), 1);
            newLinks();
        },
        [] { return SaveNameLinks(CurrentImportSettings().importPath); },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            EXPECT_EQ(run.result, 0);
            std::vector<std::string> now = contents();
            int old = 0;
            for (size_t i = 0; i < files.size(); ++i) {
                EXPECT_TRUE(now[i] == before[i] || now[i] == after[i]) << files[i] << " is cut or mixed";
                old += now[i] == before[i];
            }
            EXPECT_GE(old, 1);
        });
    EXPECT_GE(steps, 4 * 5);
}

TEST_F(NameLinks, LongNamesAreCutButStillFound) {
    LocationRecord a = Site("A", 0.1);
    std::string longName(80, 'n');
    ASSERT_EQ(AddLocationLink(&a, longName.c_str()), 1);
    LocationRecord got;
    EXPECT_EQ(FindLocationLink(longName.c_str(), &got), 1);
    EXPECT_EQ(FindLocationLink(std::string(65, 'n').c_str(), &got), 1);
    EXPECT_EQ(FindLocationLink(std::string(64, 'n').c_str(), &got), 0);
}

TEST_F(NameLinks, DamagedLinkFilesLeaveEmptyTables) {
    LocationRecord a = Site("A", 0.1);
    ASSERT_EQ(AddLocationLink(&a, "x"), 1);
    ASSERT_EQ(SaveNameLinks(CurrentImportSettings().importPath), 1);
    std::string good = ReadFileBytes(user.file("loc_links.bin"));
    struct Case {
        const char *what;
        std::string bytes;
    } cases[] = {
        {"negative count", std::string("\xFF\xFF\xFF\xFF", 4) + good.substr(4)},
        {"count beyond the data", std::string("\x02\x00\x00\x00", 4) + good.substr(4)},
        {"huge count", std::string("\x00\x00\x00\x40", 4) + good.substr(4)},
        {"two bytes", std::string("\x01\x00", 2)},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(WriteFileBytes(user.file("loc_links.bin"), c.bytes));
        AddLocationLink(&a, "y");
        LoadNameLinks();
        EXPECT_EQ(LocationLinkCount(), 0) << c.what;
    }
    // A missing file leaves the table as it was.
    std::remove(user.file("loc_links.bin").c_str());
    AddLocationLink(&a, "kept");
    LoadNameLinks();
    EXPECT_EQ(LocationLinkCount(), 1);
}

TEST_F(NameLinks, DesignationLinks) {
    struct Case {
        const char *file;
        const char *designation;
        int number;
        const char *replacement;
    } cases[] = {
        {"no hash here\nm31#NGC 224\nm42#NGC 1976\n", "M42", 1, "NGC 1976"},
        {"m31#NGC 224\n", "M 31", -1, ""},
        {"comment\r\nM31#NGC 224\r\n", "m31", 0, "NGC 224"},
        {"M31#NGC 224", "M31", 0, "NGC 224"},  // last line without a line end
        {"", "M31", -1, ""},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(WriteFileBytes(user.file("gleaner_des_links.dat"), c.file));
        FILE *f = std::fopen(user.file("gleaner_des_links.dat").c_str(), "rb");
        ASSERT_NE(f, nullptr);
        char replacement[512] = "";
        EXPECT_EQ(FindDesignationLink(f, c.designation, replacement), c.number) << c.file;
        EXPECT_STREQ(replacement, c.replacement) << c.file;
        EXPECT_EQ(FindDesignationLink(f, c.designation, nullptr), c.number);
        std::fclose(f);
    }
    EXPECT_EQ(FindDesignationLink(nullptr, "M31", nullptr), -1);
}

TEST(FileCopies, BufferedCopiesAndFolders) {
    TempDir d;
    for (size_t n : {1u, 10240u, 10241u, 30000u}) {
        std::string bytes(n, '\0');
        for (size_t i = 0; i < n; ++i) bytes[i] = (char)(i * 31 + 7);
        ASSERT_TRUE(WriteFileBytes(d.file("src"), bytes));
        ASSERT_EQ(CopyFileBuffered(d.file("src").c_str(), d.file("dst").c_str()), 1) << n;
        EXPECT_EQ(ReadFileBytes(d.file("dst")), bytes) << n;
        EXPECT_EQ(GetFileSizeByName(d.file("src").c_str()), (int64_t)n);
    }
    ASSERT_TRUE(WriteFileBytes(d.file("empty"), ""));
    EXPECT_EQ(CopyFileBuffered(d.file("empty").c_str(), d.file("e2").c_str()), 0);
    EXPECT_EQ(GetFileSizeByName(d.file("missing").c_str()), 0);

    ASSERT_EQ(EnsureDirectory(d.file("from").c_str()), 1);
    ASSERT_EQ(EnsureDirectory(d.file("to").c_str()), 1);
    ASSERT_EQ(EnsureDirectory(d.file("from/sub").c_str()), 1);
    ASSERT_TRUE(WriteFileBytes(d.file("from/a.bin"), "a"));
    ASSERT_TRUE(WriteFileBytes(d.file("from/b.bin"), "bb"));
    EXPECT_EQ(CopyFolderFiles(d.file("from").c_str(), d.file("to").c_str()), 1);
    EXPECT_EQ(ReadFileBytes(d.file("to/b.bin")), "bb");
    EXPECT_FALSE(testutil::PathIsThere(d.file("to/sub")));
    // A folder holding an empty file fails at that file.
    ASSERT_TRUE(WriteFileBytes(d.file("from/c.bin"), ""));
    EXPECT_EQ(CopyFolderFiles(d.file("from").c_str(), d.file("to").c_str()), 0);
}

}  // namespace
