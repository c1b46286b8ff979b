// The chart store: records at 2 + i x 17,803 with the count after appends
// and deletes, the packaged copy of a missing store, the default files, the
// template update and the sort order.
#include "charts/chartstore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <vector>
#include <string>

#include "charts/chartinit.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "instruments/instrumentstore.h"
#include "instruments/optics.h"
#include "instruments/storeio.h"
#include "instruments/tests/instrfixture.h"
#include "testutil/childprocesses.h"
#include "testutil/failurepoints.h"
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
        SetFileStepFailure(0);
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

// A count beyond the records the file holds is damage: every reader refuses
// it, so no append writes past the end and no sort allocates for records that
// are not there, and the file stays as it was.
TEST_F(ChartStore, ACountTheFileCannotHoldIsRefused) {
    struct Case {
        const char *what;
        uint16_t count;
        int records;
    } cases[] = {
        {"count one above the records", 3, 2},
        {"largest count over two records", 0xFFFF, 2},
        {"count over no records", 0x8000, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::string file(2, '\0');
        std::memcpy(&file[0], &c.count, 2);
        for (int i = 0; i < c.records; ++i) file += Record("Chart", 10 + i);
        ASSERT_TRUE(testutil::WriteFileBytes(user.file("charts.bin"), file));
        int32_t n = -1;
        EXPECT_EQ(OpenChartStore(&n), nullptr);
        EXPECT_EQ(OpenChartFile(user.file("charts.bin").c_str(), &n), nullptr);
        EXPECT_EQ(SortCharts(), 0);
        EXPECT_EQ(ChartStoreHasInstrument(10), 0);
        // A store opened while whole and damaged afterwards: the count is read
        // again by each change and refused there too.
        std::string whole = Store({Record("A", 10), Record("B", 11)});
        ASSERT_TRUE(testutil::WriteFileBytes(user.file("charts.bin"), whole));
        FILE *f = OpenChartStore(&n);
        ASSERT_TRUE(f);
        EXPECT_EQ(n, 2);
        ASSERT_EQ(SafeSeek(f, 0), 1);
        ASSERT_EQ(std::fwrite(&c.count, 2, 1, f), 1u);
        std::fflush(f);
        std::unique_ptr<ChartDefinition> r(new ChartDefinition);
        std::memset(r.get(), 0, sizeof *r);
        EXPECT_EQ(AppendChart(f, r.get()), 0);
        EXPECT_EQ(DeleteChart(f, 0), 0);
        EXPECT_EQ(WriteChart(f, r.get(), 1), 0);
        std::fclose(f);
        EXPECT_EQ(Bytes().size(), whole.size());
    }
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

// Every file step of the store operations failing in turn: the operation
// reports it and the store still reads back whole, in its old state (or the
// new one when only the last flush failed); a failed delete may leave one
// record twice but never loses one; a failed sort leaves the old order.
TEST_F(ChartStore, EveryFailedFileStepIsReportedAndLosesNothing) {
    const std::string four = Store({Record("A", 10), Record("B", 11), Record("C", 12), Record("D", 13)});
    // The sort reads the instrument store: one that is there but cannot be
    // opened must fail the sort, not sort as if it held nothing.
    ASSERT_EQ(CreateInstrumentFile(), 1);
    auto names = [&] {
        std::string b = Bytes(), out;
        if (b.size() < 2) return std::string("short");
        int n = (uint8_t)b[0] | ((uint8_t)b[1] << 8);
        if (b.size() < 2 + (size_t)n * kChartRecordSize) return std::string("count over missing records");
        for (int i = 0; i < n; ++i) out += std::string(b.c_str() + 2 + (size_t)i * kChartRecordSize) + ",";
        return out;
    };
    auto withStore = [&](const std::function<int(FILE *)> &op) {
        return [&, op] {
            int32_t n = 0;
            FILE *f = OpenChartStore(&n);
            if (!f) return 0;
            int r = op(f);
            std::fclose(f);
            return r;
        };
    };
    std::unique_ptr<ChartDefinition> e(new ChartDefinition);
    std::memset(e.get(), 0, sizeof *e);
    std::memcpy(e->name, "E", 1);
    struct Op {
        const char *what;
        std::function<int()> run;
        std::vector<std::string> allowed;  // besides the old state
        std::string after;
        // The instrument store opened for update falls back to reading it
        // as it is: a failed first open is recovered, and the sort is whole.
        bool readOnlyFallback = false;
    } ops[] = {
        {"append", withStore([&](FILE *f) { return AppendChart(f, e.get()); }), {}, "A,B,C,D,E,"},
        {"write", withStore([&](FILE *f) { return WriteChart(f, e.get(), 2); }), {}, "A,B,E,D,"},
        {"delete", withStore([&](FILE *f) { return DeleteChart(f, 0); }),
         {"B,B,C,D,", "B,C,C,D,", "B,C,D,D,"}, "B,C,D,"},
        {"sort", [] { return SortCharts(); }, {}, "A,B,C,D,", true},
        {"create", [] { return CreateChartStore(); }, {}, ""},
    };
    for (const Op &op : ops) {
        SCOPED_TRACE(op.what);
        int steps = testutil::ForEachFailurePoint(
            [&] { ASSERT_TRUE(testutil::WriteFileBytes(user.file("charts.bin"), four)); }, op.run,
            [&](const testutil::FailurePointRun &run) {
                SCOPED_TRACE(testutil::DescribeFailurePoint(run));
                std::string now = names();
                bool recovered = op.readOnlyFallback && run.stepKind == kFileStepOpen && now == op.after;
                if (!recovered) {
                    EXPECT_NE(run.result, 1);
                }
                bool ok = now == "A,B,C,D," || (run.stepKind == kFileStepFlush && now == op.after);
                for (const std::string &a : op.allowed) ok = ok || now == a;
                EXPECT_TRUE(ok) << now;
                EXPECT_TRUE(testutil::TemporariesBeside(user.file("charts.bin")).empty());
            });
        EXPECT_GE(steps, 1);
    }
}

TEST_F(ChartStore, WritingADefaultFileFailsWholeOrNotAtAll) {
    std::unique_ptr<ChartDefinition> c(new ChartDefinition);
    std::memset(c.get(), 0, sizeof *c);
    c->viewCount = 1;
    ASSERT_EQ(WriteDefaultChart(0, c.get()), 1);
    const std::string old = testutil::ReadFileBytes(user.file("dc_scope.bin"));
    c->viewCount = 3;
    testutil::ForEachFailurePoint([&] { ASSERT_TRUE(testutil::WriteFileBytes(user.file("dc_scope.bin"), old)); },
                                  [&] { return WriteDefaultChart(0, c.get()); },
                                  [&](const testutil::FailurePointRun &run) {
                                      SCOPED_TRACE(testutil::DescribeFailurePoint(run));
                                      EXPECT_EQ(run.result, 0);
                                      EXPECT_EQ(testutil::ReadFileBytes(user.file("dc_scope.bin")), old);
                                  });
}

// The comparison: names without regard to case; only the compared ranges
// count; scheme texts up to their terminator; a damaged view count stays
// within the three views.
TEST_F(ChartStore, ComparisonLooksOnlyAtTheComparedRanges) {
    std::unique_ptr<ChartDefinition> base(new ChartDefinition);
    InitChartDefinition(base.get(), "Deep sky", 3, 0, 0, nullptr, nullptr);
    for (int v = 0; v < 3; ++v)
        InitChartView(&base->views[v], v, 8.0, 0.1, 0, 0, 0, 0, 0, 1, 1, nullptr, nullptr);
    std::memcpy(base->scheme + 3, "Red", 4);
    std::string stored(reinterpret_cast<const char *>(base.get()), kChartRecordSize);
    ASSERT_TRUE(testutil::WriteFileBytes(user.file("charts.bin"), Store({Record("Other", 0), stored})));
    struct Case {
        const char *what;
        int offset;   // byte of the record to change; -1 the name
        int expect;
    } cases[] = {
        {"identical", -2, 1},
        {"name in other case", -1, 1},
        {"uncompared byte 6590", 6590, 1},
        {"uncompared tail 17300", 17300, 1},
        {"view byte 46 (in the first 146)", 100 + 46, 2},
        {"view byte 1900 (after the 1,732 compared)", 100 + 1900, 1},
        {"uncompared view byte 2020", 100 + 2020, 1},
        {"scheme text after its NUL", 6594 + 3 + 10, 1},
        {"scheme byte 2041 onwards", 6594 + 2041, 1},
        {"display block", 6412 + 5, 2},
        {"view 2 limit", 100 + 2 * 2080 + 6, 2},
        {"view 0 layer table", 100 + 146 + 100, 2},
        {"view marks", 100 + 1940 + 12, 2},
        {"second scheme", 14956 + 100, 2},
        {"second set view 1", 8716 + 2080 + 14, 2},
        {"block at 17061", 17061 + 71, 2},
        {"int16 at 17289", 17289, 2},
    };
    int32_t n = 0;
    FILE *f = OpenChartStore(&n);
    ASSERT_TRUE(f);
    for (const Case &c : cases) {
        std::string r = stored;
        if (c.offset == -1) std::memcpy(&r[0], "DEEP SKY", 8);
        else if (c.offset >= 0) r[(size_t)c.offset] ^= 0x5A;
        std::unique_ptr<ChartDefinition> probe(new ChartDefinition);
        std::memcpy(probe.get(), r.data(), sizeof *probe);
        int index = -1;
        EXPECT_EQ(CompareChartWithFile(f, probe.get(), n, &index), c.expect) << c.what;
        EXPECT_EQ(index, 1) << c.what;
    }
    std::unique_ptr<ChartDefinition> none(new ChartDefinition);
    InitChartDefinition(none.get(), "Nowhere", 1, 0, 0, nullptr, nullptr);
    EXPECT_EQ(CompareChartWithFile(f, none.get(), n, nullptr), 0);
    EXPECT_EQ(CompareChartWithFile(nullptr, none.get(), n, nullptr), -1);
    std::fclose(f);
    // A stored view count of 200 compares three views and reads nothing beyond.
    stored[99] = (char)200;
    ASSERT_TRUE(testutil::WriteFileBytes(user.file("charts.bin"), Store({stored})));
    f = OpenChartStore(&n);
    ASSERT_TRUE(f);
    EXPECT_EQ(CompareChartWithFile(f, base.get(), n, nullptr), 1);
    std::fclose(f);
}

// The defaults a new record, view and view marks get, at their byte places.
TEST(ChartInit, DefaultsAtTheirOffsets) {
    std::unique_ptr<ChartDefinition> c(new ChartDefinition);
    std::memset(c.get(), 0xEE, sizeof *c);
    const int32_t numbers[4] = {7, -8, 9, 10};
    uint8_t display[170];
    for (int i = 0; i < 170; ++i) display[i] = (uint8_t)(i + 1);
    InitChartDefinition(c.get(), "Finder", 2, 0, 4, numbers, display);
    const uint8_t *b = reinterpret_cast<const uint8_t *>(c.get());
    EXPECT_STREQ(reinterpret_cast<const char *>(b), "Finder");
    EXPECT_EQ(b[63], 0);
    EXPECT_EQ(b[64], 4);
    int32_t v;
    std::memcpy(&v, b + 65 + 4, 4);
    EXPECT_EQ(v, -8);
    for (int i = 81; i < 99; ++i) EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(b[99], 2);
    std::memcpy(&v, b + 6340 + 8, 4);
    EXPECT_EQ(v, 1);
    std::memcpy(&v, b + 6352 + 8, 4);
    EXPECT_EQ(v, 2);
    double d;
    std::memcpy(&d, b + 6364 + 8, 8);
    EXPECT_EQ(d, 0.0);
    std::memcpy(&d, b + 6364 + 16, 8);
    EXPECT_EQ(d, 0.5);
    EXPECT_EQ(b[6412], 1);
    EXPECT_EQ(b[6412 + 169], 170);
    EXPECT_EQ(b[17802], 0);  // no stale bytes

    ChartView view;
    uint8_t layers[1792];
    for (int i = 0; i < 1792; ++i) layers[i] = (uint8_t)(i % 251);
    InitChartView(&view, 4, 11.5, 0.02, 0.015, 3.0, 4.0, 5, 6, 1, 0, layers, nullptr);
    const uint8_t *w = reinterpret_cast<const uint8_t *>(&view);
    EXPECT_EQ(w[0], 4);
    EXPECT_EQ(w[2], 5);
    EXPECT_EQ(w[3], 6);
    EXPECT_EQ(w[4], 1);
    EXPECT_EQ(w[5], 0);
    std::memcpy(&d, w + 6, 8);
    EXPECT_EQ(d, 11.5);
    std::memcpy(&d, w + 38, 8);
    EXPECT_EQ(d, 4.0);
    std::memcpy(&d, w + 54, 8);
    EXPECT_DOUBLE_EQ(d, 2 * 3.14159265358979323846);
    std::memcpy(&d, w + 54 + 9 * 8, 8);
    EXPECT_DOUBLE_EQ(d, 3.14159265358979323846 / 180 / 3600);
    std::memcpy(&d, w + 134, 8);
    EXPECT_EQ(d, 1.0);
    EXPECT_EQ(w[146 + 300], 300 % 251);
    EXPECT_EQ(w[146 + 1792], 0);  // the 16-bit value after the table
    EXPECT_EQ(w[1940], 0);

    ChartViewMarks marks;
    InitChartViewMarks(&marks, 9, 0x01020304, -1, 10, 11, 12, 13);
    const uint8_t *m = reinterpret_cast<const uint8_t *>(&marks);
    const uint8_t expect[13] = {9, 4, 3, 2, 1, 0xFF, 0xFF, 0xFF, 0xFF, 10, 11, 13, 12};
    for (int i = 0; i < 13; ++i) EXPECT_EQ(m[i], expect[i]) << i;
}

}  // namespace

#ifndef _WIN32
// Two programs append 40 charts each to charts.bin at once (child processes,
// each with the store open the whole time): the store's writer lock and the
// count read again under it, from the file and not from the stream's
// buffer, make them take turns, so the store ends with all 80.
TEST_F(ChartStore, TwoProcessesAppendingLoseNothing) {
    ASSERT_EQ(CreateChartStore(), 1);
    EXPECT_TRUE(testutil::RunInChildren(2, [](int c) {
        int32_t n = 0;
        FILE *f = OpenChartStore(&n);
        int ok = f ? 1 : 0;
        std::unique_ptr<ChartDefinition> chart(new ChartDefinition);
        for (int k = 0; k < 40 && ok; ++k) {
            std::string r = Record(("Chart " + std::to_string(c * 100 + k)).c_str(), 1);
            std::memcpy(chart.get(), r.data(), sizeof *chart);
            ok = AppendChart(f, chart.get());
        }
        if (f) std::fclose(f);
        return ok;
    }));
    const std::string b = Bytes();
    ASSERT_EQ(b.size(), 2u + 80u * kChartRecordSize);
    EXPECT_EQ((uint8_t)b[0] | ((uint8_t)b[1] << 8), 80);
    std::set<std::string> names;
    for (int i = 0; i < 80; ++i) names.insert(b.substr(2 + (size_t)i * kChartRecordSize, 12).c_str());
    EXPECT_EQ(names.size(), 80u);
}
#endif
