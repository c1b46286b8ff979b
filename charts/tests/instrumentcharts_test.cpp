// Tests of which instruments need a chart: by the id byte a chart keeps, a
// missing charts.bin counting as none, telescopes without eyepieces never.
#include "charts/instrumentcharts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

#include "charts/chartdefinition.h"
#include "instruments/storeio.h"
#include "instruments/tests/instrfixture.h"
#include "testutil/testutil.h"

namespace {

using namespace instrtest;

class ChartNeeds : public StoreFixture {
protected:
    void Charts(std::initializer_list<int> ids) {
        std::string file(2, '\0');
        uint16_t n = (uint16_t)(4 + ids.size());
        std::memcpy(&file[0], &n, 2);
        for (int i = 0; i < 4; ++i) file += std::string(kChartRecordSize, '\0');
        for (int id : ids) {
            std::string rec(kChartRecordSize, '\0');
            rec[97] = (char)id;
            rec[99] = 3;
            file += rec;
        }
        ASSERT_TRUE(testutil::WriteFileBytes(dir.file("charts.bin"), file));
    }
};

TEST_F(ChartNeeds, ChartsByIdByteAndWhoNeedsOne) {
    InstallPathOverride install(dir.path());  // no packaged charts.bin there
    auto scope = Telescope("S", 100, 1000, 1);
    auto noEyepiece = Telescope("Bare", 100, 1000, 0);
    auto binocs = Binoculars("B", 7, 50);
    Add(noEyepiece.get());  // id 1
    Add(scope.get());       // id 2
    Add(binocs.get());      // id 3
    int32_t n = 0;
    StoreFilePtr f(OpenInstrumentFile(&n));
    // A missing charts.bin counts as no charts.
    EXPECT_EQ(IsInstrumentWithoutChart(scope.get()), 1);
    EXPECT_EQ(IsInstrumentWithoutChart(noEyepiece.get()), 0);
    EXPECT_EQ(FindInstrumentWithoutChart(f.get(), n), 1);
    Charts({2, 3});
    EXPECT_EQ(IsInstrumentWithoutChart(scope.get()), 0);
    EXPECT_EQ(IsInstrumentWithoutChart(binocs.get()), 0);
    EXPECT_EQ(FindInstrumentWithoutChart(f.get(), n), 0);
    Charts({2});
    EXPECT_EQ(FindInstrumentWithoutChart(f.get(), n), 1);  // the binoculars
    // An id above 255 can never have a chart (one byte): not asked for, and
    // the chart of id & 0xFF is not taken for it.
    Charts({2, 3, 44});
    scope->id = 300;
    EXPECT_EQ(IsInstrumentWithoutChart(scope.get()), 0);
    scope->id = 44;
    EXPECT_EQ(IsInstrumentWithoutChart(scope.get()), 0);
}

}  // namespace
