// The chart's time and site: the saved chart date (the chart time, used by
// every frame conversion) and the current date that layers move while they
// step through time and restore when they finish. Each returns 0 for no chart.
#pragma once

struct ChartContext;

// Julian date (UT) into both dates, completed for the chart's site (Delta T
// from the model, nutation, sidereal times), the V extinction coefficient of
// the date's month and the site's weather, and the precession set-ups. 1.
int SetChartTime(ChartContext *chart, double julianDate);
// From a calendar date and UT hours; 0 when the date cannot be set.
int SetChartDate(ChartContext *chart, int month, int day, int year, double universalHours);
// From local clock hours: UT = local - the site's zone (hours east), no
// daylight saving.
int SetChartLocalDate(ChartContext *chart, int month, int day, int year, double localHours);
// Moves the current date only (days 0 changes nothing). 1.
int AdvanceChartTime(ChartContext *chart, double days);
// The current date becomes the saved chart date again. 1.
int RestoreChartTime(ChartContext *chart);
// InitLocationRecord of the chart's site, named "name here".
int SetChartSite(ChartContext *chart, double longitude, double latitude, double elevation,
                 double nakedEyeLimit, double skyBrightness, double temperature, double humidity,
                 int seeingRating, double seeing, double timeZone);
