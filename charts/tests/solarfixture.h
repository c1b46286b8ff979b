// Shared fixture of the solar-system layer tests: the generated ephemeris
// tables and minor-body database (minorbodies/tests/mbfixture.h) and a chart
// at a site 40 deg N, 75 deg W, looking where a test asks.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "charts/chartcontext.h"
#include "charts/charttime.h"
#include "charts/starreader.h"
#include "minorbodies/tests/mbfixture.h"

namespace solartest {

const double kDeg = kPi / 180.0;

class SolarChart : public mbtest::PackagedDatabase {
protected:
    void SetUp() override {
        mbtest::PackagedDatabase::SetUp();
        if (IsSkipped()) return;
        c.reset(new ChartContext);
        std::memset(c.get(), 0, sizeof *c);
        ASSERT_EQ(ClearStarReader(c.get()), 1);
        // Longitude positive west; zone -5.
        ASSERT_EQ(SetChartSite(c.get(), 75 * kDeg, 40 * kDeg, 100, 6.5, 0, 10, 50, 2, 0, -5), 1);
        ASSERT_EQ(SetStarSearchLimits(c.get(), 30, 1, 1, 100, 1, 0, 1, 1, 1), 1);
    }
    // Chart of the frame, field and window centred on a J2000 place (the
    // projection chosen from the field).
    int Look(int frame, double ra, double dec, double field, int width = 800, int height = 600) {
        c->frameMode = static_cast<uint8_t>(frame);
        c->field = field;
        c->windowWidth = width;
        c->windowHeight = height;
        c->centring = 1;
        c->mirrorY = 1;
        c->mirrorX = 1;
        ChooseProjectionKind(c.get(), 0, frame, field);
        return SetChartCentre(c.get(), ra, dec, 0, 0, 0, 0, 0);
    }
    bool DatesEqual() const {
        return std::memcmp(&c->currentDate, &c->savedDate, sizeof c->savedDate) == 0;
    }
    std::unique_ptr<ChartContext> c;
};

inline double PixelDistance(int x1, int y1, int x2, int y2) {
    return std::hypot(static_cast<double>(x1 - x2), static_cast<double>(y1 - y2));
}

}  // namespace solartest
