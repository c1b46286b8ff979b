// Keeping charts.bin in step with instr.bin: new telescope and binocular
// charts, refreshed instrument fields of a customised chart, repeated and
// orphaned charts removed, no chart without eyepieces, nothing changed when a
// default chart file is missing.
#include "charts/chartsync.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "charts/chartstore.h"
#include "core/userfolder.h"
#include "instruments/instrumentstore.h"
#include "instruments/optics.h"
#include "instruments/storeio.h"
#include "instruments/tests/instrfixture.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

namespace {


class ChartSync : public ::testing::Test {
protected:
    void SetUp() override {
        SetUserDataFolder(user.path().c_str());
        installPath.reset(new instrtest::InstallPathOverride(user.path()));
        CreateInstrumentFile();
        chart.reset(new ChartDefinition);
        rec.reset(new InstrumentRecord);
    }
    void TearDown() override {
        if (inst) std::fclose(inst);
        installPath.reset();
        SetUserDataFolder("");
    }
    void Defaults() {
        for (int type : {0, 1}) {
            std::memset(chart.get(), 0, sizeof *chart);
            chart->viewCount = 3;
            chart->views[0].role = 2;
            chart->display[5] = 42;  // a chart-level setting the defaults carry
            ASSERT_EQ(WriteDefaultChart(type, chart.get()), 1);
        }
    }
    int AddScope(const char *name, int eyepieces, int finder) {
        std::memset(rec.get(), 0, sizeof *rec);
        std::snprintf(rec->name, sizeof rec->name, "%s", name);
        rec->kind = kInstrumentTelescope;
        rec->opticsCount = (uint8_t)(finder ? 2 : 1);
        rec->mounting = 0;
        InitTelescopeOptics(&rec->optics[0], "Main", kOpticsReflector, 8.0, 0.0, 5.0, 1, 0, 0.5);
        InitTelescopeOptics(&rec->optics[1], "Finder", kOpticsRefractor, 1.18, 6.0, 0.0, 1, 1, 1.0);
        rec->optics[1].magnification = 6.0;
        rec->optics[1].trueField = 5.0 * kPi / 180.0;  // as the telescope dialog shows a finder
        const double focal[] = {25.0, 40.0, 10.0};
        for (int i = 0; i < eyepieces; ++i) SetEyepieceEntry(&rec->optics[0], 0, i, "E", focal[i % 3], 52.0);
        rec->optics[0].eyepieceCount = (uint8_t)eyepieces;
        return Append();
    }
    int AddBinocs(const char *name) {
        std::memset(rec.get(), 0, sizeof *rec);
        std::snprintf(rec->name, sizeof rec->name, "%s", name);
        rec->kind = kInstrumentBinoculars;
        rec->opticsCount = 1;
        InitFixedMagnificationOptics(&rec->optics[0], "Binoculars", 10.0, 50.0, 0.0);
        return Append();
    }
    int Append() {
        int32_t n = 0;
        FILE *f = OpenInstrumentFile(&n);
        EXPECT_TRUE(f);
        EXPECT_EQ(AppendInstrument(f, rec.get()), 1);
        std::fclose(f);
        return rec->id;
    }
    void Charts(std::initializer_list<int> ids) {
        std::string file(2, '\0');
        uint16_t n = (uint16_t)(4 + ids.size());
        std::memcpy(&file[0], &n, 2);
        for (int i = 0; i < 4; ++i) {
            std::string g(kChartRecordSize, '\0');
            g[99] = 1;
            g[100] = (char)(i == 3 ? 5 : i);
            file += g;
        }
        for (int id : ids) {
            std::string r(kChartRecordSize, '\0');
            std::snprintf(&r[0], 64, "Custom %d", id);
            r[97] = (char)id;
            r[99] = 3;
            r[100] = 2;  // an overview first, as instrument charts have
            r[6412] = 7;  // the user's own display setting
            file += r;
        }
        ASSERT_TRUE(testutil::WriteFileBytes(user.file("charts.bin"), file));
    }
    int Sync(int model = -1) {
        int32_t n = 0;
        inst = OpenInstrumentFile(&n);
        int result = SyncInstrumentCharts(inst, n, model);
        std::fclose(inst);
        inst = nullptr;
        return result;
    }
    // The instrument charts (index 4 on) in store order.
    std::vector<std::string> InstrumentCharts() {
        std::string b = testutil::ReadFileBytes(user.file("charts.bin"));
        std::vector<std::string> out;
        uint16_t n = 0;
        std::memcpy(&n, b.data(), 2);
        for (int i = 4; i < n; ++i) out.push_back(b.substr(2 + (size_t)i * kChartRecordSize, kChartRecordSize));
        return out;
    }
    static double D(const std::string &r, size_t off) {
        double d;
        std::memcpy(&d, r.data() + off, 8);
        return d;
    }
    std::unique_ptr<instrtest::InstallPathOverride> installPath;
    testutil::TempDir user;
    std::unique_ptr<ChartDefinition> chart;
    std::unique_ptr<InstrumentRecord> rec;
    FILE *inst = nullptr;
};

TEST_F(ChartSync, NewChartsRemovedRepeatedAndOrphaned) {
    Defaults();
    int bare = AddScope("Bare", 0, 0);
    int scope = AddScope("Dob", 3, 1);
    int pair = AddBinocs("Pair");
    (void)bare;
    // A customised chart of the telescope, a repeat of it, one of a removed
    // instrument (id 9) and an old binocular chart.
    Charts({scope, scope, 9, pair});
    ASSERT_EQ(Sync(), 1);
    auto charts = InstrumentCharts();
    ASSERT_EQ(charts.size(), 2u);
    const std::string &s = charts[0];  // telescopes sort before binoculars
    EXPECT_EQ((uint8_t)s[97], scope);
    EXPECT_EQ(std::string(s.c_str()), "Dob Telescope");
    EXPECT_EQ((uint8_t)s[6412], 7);  // the user's settings kept: only instrument fields refreshed
    // Eyepiece view: the default eyepiece (the one reaching the faintest
    // stars), the 10 mm at x102, 1.5 x its field. (The existing chart keeps
    // its own eyepiece choice.)
    const size_t v2 = 100 + 2 * 2080;
    double trueField = 52.0 * kPi / 180.0 * 10.0 / (8.0 * 25.4 * 5.0);
    EXPECT_NEAR(D(s, v2 + 22), trueField, 1e-9);
    EXPECT_NEAR(D(s, v2 + 14), 1.5 * trueField, 1e-9);
    EXPECT_EQ((uint8_t)s[v2 + 5], 0);  // the main optics' up/down flag
    // Finder view: 3 x the finder's field.
    const size_t v1 = 100 + 2080;
    EXPECT_NEAR(D(s, v1 + 22), 5.0 * kPi / 180.0, 1e-12);
    EXPECT_NEAR(D(s, v1 + 14), 15.0 * kPi / 180.0, 1e-12);
    const std::string &b = charts[1];
    EXPECT_EQ((uint8_t)b[97], pair);
    EXPECT_EQ(std::string(b.c_str()), "Pair Binocular");
    EXPECT_EQ((uint8_t)b[98], 255);
    EXPECT_EQ((uint8_t)b[6412 + 5], 42);  // made anew from the binocular default
    EXPECT_NEAR(D(b, v1 + 22), 5.9 * kPi / 180.0, 1e-9);
    EXPECT_EQ((uint8_t)b[v1 + 167], 3);
    EXPECT_EQ((uint8_t)b[v1 + 163] & 0x80, 0x80);
    // A second run changes nothing more.
    ASSERT_EQ(Sync(), 1);
    EXPECT_EQ(InstrumentCharts(), charts);
}

TEST_F(ChartSync, FinderlessTelescopeGetsANakedEyeFinderView) {
    Defaults();
    int id = AddScope("Small", 1, 0);
    Charts({});
    ASSERT_EQ(Sync(), 1);
    auto charts = InstrumentCharts();
    ASSERT_EQ(charts.size(), 1u);
    EXPECT_EQ((uint8_t)charts[0][98], 0);  // a new chart: its one eyepiece
    const size_t v1 = 100 + 2080;
    EXPECT_EQ((uint8_t)charts[0][97], id);
    EXPECT_NEAR(D(charts[0], v1 + 14), 16.0 * kPi / 180.0, 1e-12);
    EXPECT_EQ(D(charts[0], v1 + 22), 0.0);
    EXPECT_EQ((uint8_t)charts[0][v1 + 163] & 0x10, 0x10);
    EXPECT_EQ((uint8_t)charts[0][6916] & 0x80, 0x80);
}

TEST_F(ChartSync, NewTelescopeChartShowsTheDefaultEyepiece) {
    // 25, 40 and 10 mm on an 8-inch f/5: the 10 mm (x102) reaches the faintest
    // stars and becomes the chart's eyepiece, not the widest-field 40 mm.
    Defaults();
    AddScope("Dob", 3, 0);
    Charts({});
    ASSERT_EQ(Sync(), 1);
    auto charts = InstrumentCharts();
    ASSERT_EQ(charts.size(), 1u);
    EXPECT_EQ((uint8_t)charts[0][98], 2);
    const size_t v2 = 100 + 2 * 2080;
    EXPECT_NEAR(D(charts[0], v2 + 22), 52.0 * kPi / 180.0 * 10.0 / (8.0 * 25.4 * 5.0), 1e-9);
}

TEST_F(ChartSync, MissingDefaultChartChangesNothing) {
    AddScope("Dob", 2, 1);
    Charts({5, 5});
    std::string before = testutil::ReadFileBytes(user.file("charts.bin"));
    EXPECT_EQ(Sync(), 0);
    EXPECT_EQ(testutil::ReadFileBytes(user.file("charts.bin")), before);
}

TEST_F(ChartSync, InstrumentsAboveId255GetNoChart) {
    Defaults();
    // Give the store a last id of 299 so the next telescope is id 300.
    {
        int32_t n = 0;
        FILE *f = OpenInstrumentFile(&n);
        ASSERT_TRUE(f);
        ASSERT_EQ(WriteStoreU16(f, 5, 299), 1);
        std::fclose(f);
    }
    int id = AddScope("Big id", 2, 1);
    ASSERT_EQ(id, 300);
    Charts({});
    ASSERT_EQ(Sync(), 1);
    EXPECT_TRUE(InstrumentCharts().empty());
}

}  // namespace
