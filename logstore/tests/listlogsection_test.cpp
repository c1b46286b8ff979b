// The log section of observing-list transfers: a list exported with its log
// entries brings them into another user folder, and the refresh's logged
// query answers from the log store.
#include "logstore/listlogsection.h"

#include <gtest/gtest.h>

#include <string>

#include "logstore/logadd.h"
#include "logstore/tests/logfixture.h"
#include "objects/categories.h"
#include "userdata/listgroups.h"
#include "userdata/listindex.h"

namespace {

const double kJd = 2461000.5;

ObjectRecord Star(int32_t index) {
    ObjectRecord r;
    ClearObjectRecord(&r);
    r.objectClass = kClassStar;
    r.index = index;
    r.categoryBits = ClassCategoryBits(kClassStar);
    return r;
}

}  // namespace

TEST(ListLogSection, EntriesTravelWithTheList) {
    testutil::TempDir out;
    std::string path = out.file("logged.lst");
    {
        logtest::Store sender;
        std::unique_ptr<LogEntry> e = logtest::MakeEntry(kClassStar, 40, 0x10, kJd);
        ASSERT_EQ(AddLogEntry(e.get(), "Split at 200x"), 0);
        e = logtest::MakeEntry(kClassStar, 40, 0x10, kJd + 1, "Bob");
        ASSERT_EQ(AddLogEntry(e.get(), nullptr), 1);
        ASSERT_EQ(FindListGroupByName("Default", nullptr), 1);
        int slot = CreateList(1, "Doubles", 0, nullptr);
        int n = 0;
        ListFile *f = OpenListFile(slot, &n);
        ObjectRecord logged = Star(40), other = Star(41);
        ASSERT_EQ(AppendListItem(f, &logged, &n), 1);
        ASSERT_EQ(AppendListItem(f, &other, &n), 1);
        ASSERT_EQ(CloseListFile(f, slot, n), 1);
        ASSERT_EQ(ExportListToFile(path.c_str(), slot, kListTransferLog, 0, 0, 0, nullptr, LogStoreListSection()), 1);
        std::string bytes = testutil::ReadFileBytes(path);
        EXPECT_EQ(logtest::I32(bytes, 75), 2);  // the log entries' count
    }
    logtest::Store receiver;
    ListImportState state;
    ASSERT_EQ(BeginListImport(&state, 1, path.c_str(), 100, nullptr, nullptr, LogStoreListSection()), 1);
    int r;
    while ((r = ImportNextListItems(&state, nullptr)) == 1) {
    }
    ASSERT_EQ(r, 0);
    int slot = EndListImport(&state, 0);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(state.taken[3], 2);
    LoggedListQuery source;
    ListLoggedQuery query{nullptr, nullptr};
    ASSERT_EQ(BeginLoggedListQuery(&source, &query), 1);
    ObjectRecord a = Star(40), b = Star(41);
    EXPECT_EQ(query.isLogged(query.context, nullptr, nullptr, &a), 1);
    EXPECT_EQ(query.isLogged(query.context, nullptr, nullptr, &b), 0);
}
