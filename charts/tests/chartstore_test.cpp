// The chart store: records at 2 + i x 17,803 with the count after appends
// and deletes, the packaged copy of a missing store, the default files, the
// template update and the sort order.
#include "charts/chartstore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/userfolder.h"
#include "instruments/instrumentstore.h"
#include "instruments/optics.h"
#include "instruments/storeio.h"
#include "instruments/tests/instrfixture.h"
#include "testutil/testutil.h"

namespace {

std::string Record(const char *name, int id, uint8_t role0 = 3, uint8_t views = 3) {
    std::string r(kChartRecordSize, '\0');
    std::memcpy(&r[0], name, std::strlen(name));
    r[97] = (char)id;
    r[99] = (char)views;
    r[100] = (char)role0;
    return r;
}

std::string Store(std::initializer_list<std::string> records) {
    std::string f(2, '\0');
    uint16_t n = (uint16_t)records.size();
    std::memcpy(&f[0], &n, 2);
    for (const std::string &r : records) f += r;
    return f;
}

class ChartStore : public ::testing::Test {
protected:
    void SetUp() override {
        SetUserDataFolder(user.path().c_str());
        installPath.reset(new instrtest::InstallPathOverride(install.path()));
    }
    void TearDown() override {
        installPath.reset();
        SetUserDataFolder("");
    }
    std::string Bytes() { return testutil::ReadFileBytes(user.file("charts.bin")); }
    std::unique_ptr<instrtest::InstallPathOverride> installPath;
    testutil::TempDir user, install;
};

TEST_F(ChartStore, AppendWriteDeleteKeepRecordsInPlace) {
    ASSERT_EQ(CreateChartStore(), 1);
    EXPECT_EQ(Bytes(), std::string(2, '\0'));
    int32_t n = -1;
    FILE *f = OpenChartStore(&n);
    ASSERT_TRUE(f);
    EXPECT_EQ(n, 0);
    std::unique_ptr<ChartDefinition> c(new ChartDefinition);
    for (int i = 0; i < 4; ++i) {
        std::string r = Record(("Chart " + std::to_string(i)).c_str(), 10 + i);
        std::memcpy(c.get(), r.data(), sizeof *c);
        ASSERT_EQ(AppendChart(f, c.get()), 1);
    }
    std::memcpy(c->name, "Rewritten", 10);
    EXPECT_EQ(WriteChart(f, c.get(), 4), 0);  // past the count
    EXPECT_EQ(WriteChart(f, c.get(), 1), 1);
    EXPECT_EQ(DeleteChart(f, 0), 1);  // first
    EXPECT_EQ(DeleteChart(f, 1), 1);  // middle (was "Chart 2")
    EXPECT_EQ(DeleteChart(f, 1), 1);  // last
    EXPECT_EQ(DeleteChart(f, 1), 0);
    std::fclose(f);
    std::string b = Bytes();
    EXPECT_EQ((uint8_t)b[0], 1);
    EXPECT_EQ((uint8_t)b[1], 0);
    EXPECT_EQ(b.substr(2, 9), std::string("Rewritten"));
    EXPECT_EQ((uint8_t)b[2 + 97], 13);  // written at index 1 from the copy of id 13's record
}

TEST_F(ChartStore, MissingStoreIsCopiedFromTheProgramFolder) {
    int32_t n = 0;
    EXPECT_EQ(OpenChartStore(&n), nullptr);
    ASSERT_TRUE(testutil::WriteFileBytes(install.file("charts.bin"), Store({Record("General", 0, 0)})));
    FILE *f = OpenChartStore(&n);
    ASSERT_TRUE(f);
    EXPECT_EQ(n, 1);
    std::fclose(f);
    EXPECT_EQ(Bytes().size(), 2u + kChartRecordSize);
}

TEST_F(ChartStore, DefaultFilesTakeTheTypeName) {
    std::unique_ptr<ChartDefinition> c(new ChartDefinition);
    std::memset(c.get(), 0, sizeof *c);
    std::memcpy(c->name, "Whatever it was called", 22);
    c->viewCount = 2;
    ASSERT_EQ(WriteDefaultChart(1, c.get()), 1);
    EXPECT_EQ(WriteDefaultChart(3, c.get()), 0);
    std::string b = testutil::ReadFileBytes(user.file("dc_binocs.bin"));
    ASSERT_EQ(b.size(), (size_t)kChartRecordSize);
    EXPECT_EQ(std::string(b.c_str()), "Binocular");
    EXPECT_EQ(b[99], 2);
    EXPECT_EQ(b[30], 0);  // no stale bytes of the old name
    std::unique_ptr<ChartDefinition> back(new ChartDefinition);
    EXPECT_EQ(ReadDefaultChart(1, back.get()), 1);
    EXPECT_EQ(ReadDefaultChart(0, back.get()), 0);
}

TEST_F(ChartStore, TemplateUpdatesOnlyTheInstrumentFields) {
    std::string target = Record("Old", 7);
    target[100 + 2080 + 146 + 17] = 0x01;  // view 1 layer switches
    ASSERT_TRUE(testutil::WriteFileBytes(user.file("charts.bin"), Store({Record("Other", 6), target})));
    std::unique_ptr<ChartDefinition> t(new ChartDefinition);
    std::memset(t.get(), 0, sizeof *t);
    std::memcpy(t->name, "New", 3);
    t->eyepieceChoice = 255;
    t->views[1].field = 0.5;
    t->views[1].layerTable[kLayerSwitchesOffset] = 0x10 | 0x04;
    t->views[2].field = 0.25;
    t->scheme[kSchemeByte6916] = 0x80;
    t->display[0] = 99;  // not a template field
    int32_t n = 0;
    FILE *f = OpenChartStore(&n);
    ASSERT_TRUE(f);
    EXPECT_EQ(ApplyChartTemplate(f, t.get(), 9, 1, 2, n), 0);
    EXPECT_EQ(ApplyChartTemplate(f, t.get(), 7, 1, 2, n), 1);
    std::unique_ptr<ChartDefinition> c(new ChartDefinition);
    ASSERT_EQ(ReadChart(f, c.get(), 1), 1);
    std::fclose(f);
    EXPECT_STREQ(c->name, "New");
    EXPECT_EQ(+c->eyepieceChoice, 255);
    EXPECT_EQ(+c->views[1].field, 0.5);
    EXPECT_EQ(+c->views[2].field, 0.0);  // outside the views asked for
    EXPECT_EQ(+c->views[1].layerTable[kLayerSwitchesOffset], 0x11);  // 0x10 set, 0x04 not taken
    EXPECT_EQ(+c->scheme[kSchemeByte6916], 0x80);
    EXPECT_EQ(+c->display[0], 0);
}

TEST_F(ChartStore, SortPutsGeneralChartsFirstThenByKindAndPlace) {
    // instr.bin: telescope id 1, binoculars id 2, telescope id 3.
    CreateInstrumentFile();
    int32_t ni = 0;
    FILE *inst = OpenInstrumentFile(&ni);
    ASSERT_TRUE(inst);
    std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
    for (int kind : {0, 1, 0}) {
        std::memset(r.get(), 0, sizeof *r);
        r->kind = (uint8_t)kind;
        r->opticsCount = 1;
        ASSERT_EQ(AppendInstrument(inst, r.get()), 1);
    }
    std::fclose(inst);
    ASSERT_TRUE(testutil::WriteFileBytes(
        user.file("charts.bin"),
        Store({Record("Scope 3", 3), Record("Context", 0, 5), Record("All sky", 0, 0), Record("Binocs 2", 2, 3, 2),
               Record("Scope 1", 1), Record("Horizon", 0, 1)})));
    ASSERT_EQ(SortCharts(), 1);
    int32_t n = 0;
    FILE *f = OpenChartStore(&n);
    ASSERT_TRUE(f);
    const char *order[] = {"All sky", "Horizon", "Context", "Scope 1", "Scope 3", "Binocs 2"};
    std::unique_ptr<ChartDefinition> c(new ChartDefinition);
    for (int i = 0; i < 6; ++i) {
        ASSERT_EQ(ReadChart(f, c.get(), i), 1);
        EXPECT_STREQ(c->name, order[i]) << i;
        if (std::string(order[i]) == "Binocs 2") {
            EXPECT_EQ(+c->views[1].role, 4);  // two views: the second is the eyepiece view
            EXPECT_EQ(+c->views[1].flag, 1);
        }
    }
    std::fclose(f);
}

}  // namespace
