// Scans of the index folders: names and dates read back, stray files answered
// with -1 and passed, empty class indexes skipped.
#include "logstore/logindexscan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/fileutil.h"
#include "logstore/logindex.h"
#include "logstore/logpaths.h"
#include "logstore/tests/logfixture.h"

using namespace logtest;

namespace {
void Put(const Store &store, const std::string &rel, int32_t count) {
    EnsureDirectory((store.dir.path() + "/log").c_str());
    EnsureDirectory(store.log(rel.substr(0, rel.find('/'))).c_str());
    std::string bytes(reinterpret_cast<const char *>(&count), 4);
    ASSERT_TRUE(testutil::WriteFileBytes(store.log(rel), bytes + std::string(12 * (count > 0 ? count : 0), '\0')));
}
}  // namespace

TEST(LogIndexScan, NightsGiveTextAndDateAndPassStrayFiles) {
    Store store;
    Put(store, "night/20090720.idx", 1);
    Put(store, "night/20091301.idx", 1);  // no month 13
    Put(store, "night/x.idx", 1);
    Put(store, "night/notes.txt", 1);     // not an index
    IndexScan scan;
    ASSERT_EQ(BeginNightIndexScan(&scan), 1);
    std::vector<int> results;
    std::vector<std::string> texts;
    char text[16];
    int32_t date = 0;
    for (int guard = 0; guard < 10; ++guard) {
        int r = NextNightIndexName(&scan, text, &date);
        if (r == 0) break;
        results.push_back(r);
        if (r == 1) texts.push_back(text);
    }
    EndIndexScan(&scan);
    EXPECT_EQ(results, (std::vector<int>{1, -1, -1}));
    EXPECT_EQ(texts, (std::vector<std::string>{"2009 Jul 20"}));
    EXPECT_EQ(date, 20090720);
}

TEST(LogIndexScan, ClassesSkipEmptyFilesAndConstellationsStopAt88) {
    Store store;
    Put(store, "class/04.idx", 2);
    Put(store, "class/05.idx", 0);   // emptied: skipped
    Put(store, "class/abc.idx", 1);  // not a number
    Put(store, "class/13.idx", 1);   // no such folder
    IndexScan scan;
    ASSERT_EQ(BeginClassIndexScan(&scan), 1);
    std::vector<int> results;
    std::vector<std::string> names;
    for (int guard = 0; guard < 10; ++guard) {
        int folder = -1;
        char name[kLogFolderNameSize] = {0};
        int r = NextClassIndexName(&scan, &folder, name);
        if (r == 0) break;
        results.push_back(r);
        if (r == 1) names.push_back(std::to_string(folder) + " " + name);
    }
    EndIndexScan(&scan);
    EXPECT_EQ(results, (std::vector<int>{1, -1, -1}));  // 04, 13, abc in byte order
    EXPECT_EQ(names, (std::vector<std::string>{"4 stars"}));

    Put(store, "cons/88.idx", 1);
    Put(store, "cons/89.idx", 1);
    ASSERT_EQ(BeginConstellationIndexScan(&scan), 1);
    int number = -1;
    char abbreviation[32] = {0};
    EXPECT_EQ(NextConstellationIndexName(&scan, 1, &number, abbreviation), 1);
    EXPECT_EQ(number, 88);
    EXPECT_EQ(std::string(abbreviation).size(), 3u);
    EXPECT_EQ(NextConstellationIndexName(&scan, 1, &number, abbreviation), -1);
    EXPECT_EQ(NextConstellationIndexName(&scan, 1, &number, abbreviation), 0);
    EndIndexScan(&scan);
}

TEST(LogIndexScan, EncodedSiteNamesComeBackDecoded) {
    Store store;
    int32_t count = 0;
    for (const char *site : {"Ridge/North: 2", "Back yard"}) {
        FILE *f = OpenLocationIndex(site, &count);
        ASSERT_TRUE(f);
        std::fclose(f);
    }
    IndexScan scan;
    ASSERT_EQ(BeginLocationIndexScan(&scan), 1);
    std::vector<std::string> names;
    char name[kIndexScanNameSize];
    while (NextLocationIndexName(&scan, name) == 1) names.push_back(name);
    EndIndexScan(&scan);
    EXPECT_EQ(names, (std::vector<std::string>{"Back yard", "Ridge/North: 2"}));
    EXPECT_EQ(BeginObserverIndexScan(&scan), 0);  // no folder yet
}
