// Setting, moving and restoring the chart time, and the chart's site.
#include "charts/charttime.h"

#include "astro/sidereal.h"
#include "charts/chartcontext.h"
#include "photometry/extinction.h"

namespace {

void UpdateExtinction(ChartContext *c) {
    c->extinctionCoefficient = ComputeVisualExtinction(c->currentDate.month, c->site.temperature,
                                                       c->site.humidity, c->site.latitude,
                                                       c->site.elevation);
}

// The current date's Julian date is set: the rest of it follows.
void CompleteCurrentDate(ChartContext *c) {
    SetDateRecordFromJulianDate(&c->site, &c->currentDate);
    ComputeDeltaTAndNutation(&c->currentDate, 0);  // 0: Delta T from the model
    ComputeSiderealTimes(&c->site, &c->currentDate);
    UpdateExtinction(c);
}

int SaveChartDate(ChartContext *c) {
    c->savedDate = c->currentDate;
    PrepareChartPrecession(c);
    return 1;
}

}  // namespace

int SetChartTime(ChartContext *chart, double julianDate) {
    if (!chart) return 0;
    chart->currentDate.julianDate = julianDate;
    CompleteCurrentDate(chart);
    return SaveChartDate(chart);
}

int SetChartDate(ChartContext *chart, int month, int day, int year, double universalHours) {
    if (!chart) return 0;
    DateRecord d = chart->currentDate;
    if (!SetDateRecord(&d, &chart->site, month, day, year, universalHours, kUniversalTime)) return 0;
    chart->currentDate = d;
    ComputeDeltaTAndNutation(&chart->currentDate, 0);
    ComputeSiderealTimes(&chart->site, &chart->currentDate);
    UpdateExtinction(chart);
    return SaveChartDate(chart);
}

int SetChartLocalDate(ChartContext *chart, int month, int day, int year, double localHours) {
    if (!chart) return 0;
    return SetChartDate(chart, month, day, year, localHours - chart->site.timeZone);
}

int AdvanceChartTime(ChartContext *chart, double days) {
    if (!chart) return 0;
    if (days != 0) {
        chart->currentDate.julianDate += days;
        CompleteCurrentDate(chart);
    }
    return 1;
}

int RestoreChartTime(ChartContext *chart) {
    if (!chart) return 0;
    chart->currentDate = chart->savedDate;
    UpdateExtinction(chart);
    return 1;
}

int SetChartSite(ChartContext *chart, double longitude, double latitude, double elevation,
                 double nakedEyeLimit, double skyBrightness, double temperature, double humidity,
                 int seeingRating, double seeing, double timeZone) {
    if (!chart) return 0;
    return InitLocationRecord(&chart->site, longitude, latitude, elevation, nakedEyeLimit,
                              skyBrightness, temperature, humidity, seeingRating, seeing, timeZone,
                              "name here");
}
