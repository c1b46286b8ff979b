// Atlas chart finders: zone and sector tables of seven star atlases.
#include "astro/atlascharts.h"
#include "core/mathutil.h"

#include <cmath>

namespace {


// Hours or degrees within 1e-10 of a multiple of 1e-6 are taken as that
// multiple: every zone and sector edge of the atlases is such a multiple, and
// a place given exactly on an edge (8 h, +5.5 deg) must not be moved across
// it by the rounding of the radian conversion.
double SnapToEdge(double x) {
    double nearest = std::round(x * 1e6) / 1e6;
    return std::fabs(x - nearest) < 1e-10 ? nearest : x;
}

// Right ascension in hours within [0, 24).
double HoursOf(double rightAscension) {
    if (!std::isfinite(rightAscension)) return 0.0;
    double h = SnapToEdge(std::fmod(rightAscension * 12.0 / kPi, 24.0));
    if (h < 0.0) h += 24.0;
    if (h >= 24.0) h -= 24.0;
    return h;
}

double DegreesOf(double declination) {
    if (!std::isfinite(declination)) return 0.0;
    double d = SnapToEdge(declination * 180.0 / kPi);
    if (d > 90.0) d = 90.0;
    if (d < -90.0) d = -90.0;
    return d;
}

// Rounded half away from zero.
int RoundHalfAway(double x) { return static_cast<int>(x >= 0.0 ? x + 0.5 : x - 0.5); }

// Non-negative remainder of an integer division.
int Modulo(int a, int n) {
    int r = a % n;
    return r < 0 ? r + n : r;
}

struct ThreeVolumeZone {
    double lower;    // |dec| from this value up to the zone above
    int charts;      // N: charts in the zone per volume
    double minutes;  // S: minutes of right ascension per chart
    int fromPole;    // K: charts from the pole through this zone
};

const ThreeVolumeZone kThreeVolumeZones[] = {
    {87, 2, 240, 2},           {81, 4, 120, 6},       {75, 8, 60, 14},
    {69, 10, 48, 24},          {63, 12, 40, 36},      {57, 14, 240.0 / 7.0, 50},
    {51, 16, 30, 66},          {45, 20, 24, 86},      {39, 20, 24, 106},
    {33, 22, 240.0 / 11.0, 128}, {27, 22, 240.0 / 11.0, 150}, {21, 24, 20, 174},
    {15, 24, 20, 198},         {9, 24, 20, 222},      {3, 24, 20, 246},
    {0, 24, 20, 270},
};

struct ZoneRow {
    double lower;
    int lastChart;
    int charts;
};

const ZoneRow kZoneTable[] = {
    {84.5, 1, 1},     {73.5, 7, 6},     {62.5, 17, 10},   {51.5, 29, 12},   {40.5, 44, 15},
    {29.5, 62, 18},   {17.5, 80, 18},   {5.5, 100, 20},   {-5.5, 120, 20},  {-17.5, 140, 20},
    {-29.5, 158, 18}, {-40.5, 176, 18}, {-51.5, 191, 15}, {-62.5, 203, 12}, {-73.5, 213, 10},
    {-84.5, 219, 6},  {-90.0, 220, 1},
};

}  // namespace

int FindChartInThreeVolumeAtlas(double rightAscension, double declination, int *volume, int *chart) {
    double h = HoursOf(rightAscension);
    double d = DegreesOf(declination);
    int g = static_cast<int>(h);
    bool southern = d < 0.0;
    if (d > 87.0) h = 0.0;  // the whole north polar cap is in volume 0
    int v = h <= 8.0 ? 0 : (h <= 16.0 ? 1 : 2);
    double a = std::fabs(d);
    const ThreeVolumeZone *zone = &kThreeVolumeZones[15];
    for (const ThreeVolumeZone &z : kThreeVolumeZones) {
        if (a >= z.lower) {
            zone = &z;
            break;
        }
    }
    if (h == 8.0) h = 7.99;
    if (h == 16.0) h = 15.99;
    double hv = 8.0 * v < h ? h - 8.0 * v : h;
    int p = static_cast<int>(hv * 60.0 / zone->minutes);
    int k = zone->fromPole;
    int n = zone->charts;
    if (a > 87.0 && g >= 5 && g <= 15) {
        k = 1;
        n = 0;
    }
    int c = southern ? 516 * v + 516 - k + n - p : 516 * v + k - p;
    if (volume) *volume = v;
    if (chart) *chart = c;
    return 1;
}

int FindChartInTwentySixChartAtlas(double rightAscension, double declination, int *chart) {
    double h = HoursOf(rightAscension);
    double d = DegreesOf(declination);
    double a = std::fabs(d);
    int c;
    if (a < 18.5) {
        c = 9 + static_cast<int>(h / 3.0 + 0.8333333333333334);
        if (c == 9) c = 17;
    } else if (a < 52.0) {
        c = 4 + static_cast<int>(h / 4.0);
        if (d < 0.0) c += 14;
    } else {
        c = 1 + static_cast<int>(h / 8.0);
        if (d < 0.0) c += 23;
    }
    if (chart) *chart = c;
    return 1;
}

int FindChartInTwoVolumeAtlas(double rightAscension, double declination, int *volume, int *chart) {
    double h = HoursOf(rightAscension);
    double d = DegreesOf(declination);
    double a = std::fabs(d);
    bool southern = d < 0.0;
    int v = southern ? 2 : 1;
    int c;
    if (a < 5.5) {
        v = 3;
        c = 215 + static_cast<int>(1.875 * h + 0.5);
        if (c == 260) c = 215;
    } else if (a >= 84.5) {
        c = 1 + static_cast<int>(h / 12.0);
        if (southern) c = 474 - c;
    } else {
        struct Band {
            double lower, scale, offset;
            int first, wrap, south;
        };
        static const Band kBands[] = {
            {72.5, 0.5, 0.4166666666666667, 3, 15, 457},
            {61.0, 0.8333333333333334, 0.5, 15, 35, 425},
            {50.0, 1.0, 0.5, 35, 59, 381},
            {39.0, 1.25, 0.5, 59, 89, 327},
            {28.0, 1.5, 0.5, 89, 125, 261},
            {17.0, 1.875, 0.5, 125, 170, 180},
            {5.5, 1.875, 0.5, 170, 215, 90},
        };
        const Band *band = &kBands[6];
        for (const Band &b : kBands) {
            if (a >= b.lower) {
                band = &b;
                break;
            }
        }
        c = band->first + static_cast<int>(band->scale * h + band->offset);
        if (c == band->wrap) c = band->first;
        if (southern) c += band->south;
    }
    if (volume) *volume = v;
    if (chart) *chart = c;
    return 1;
}

int FindChartByZoneTable(double rightAscension, double declination) {
    if (!std::isfinite(rightAscension) || !std::isfinite(declination)) return 0;
    double h = SnapToEdge(rightAscension * 12.0 / kPi);
    double d = SnapToEdge(declination * 180.0 / kPi);
    if (d < -90.0 || d > 90.0 || h < 0.0 || h > 24.0) return 0;
    for (const ZoneRow &row : kZoneTable) {
        if (d < row.lower) continue;
        double w = 24.0 / row.charts;
        h -= w / 2.0;
        if (h < 0.0) h += 24.0;
        if (h >= 24.0) h -= 24.0;
        return row.lastChart - static_cast<int>(h / w);
    }
    return 0;
}

int FindChartInSixSectorAtlas(double rightAscension, double declination) {
    double a = HoursOf(rightAscension) * 15.0;
    double d = DegreesOf(declination);
    if (d < -58.0) return 15 + Modulo(static_cast<int>(a / 180.0), 2);
    if (d < 0.0) return 4 + 2 * Modulo(RoundHalfAway((360.0 - a) / 60.0), 6);
    if (d < 58.0) return 3 + 2 * Modulo(RoundHalfAway((360.0 - a) / 60.0), 6);
    return 1 + Modulo(static_cast<int>((a + 180.0) / 180.0), 2);
}

int FindChartInEighteenSectorAtlas(double rightAscension, double declination) {
    double a = HoursOf(rightAscension) * 15.0;
    double d = DegreesOf(declination);
    if (d > 74.0) return 1 + Modulo(static_cast<int>((a + 180.0) / 180.0), 2);
    if (d <= -74.0) return 93 + Modulo(static_cast<int>(a / 180.0), 2);
    return 3 + Modulo(RoundHalfAway((360.0 - a) / 20.0), 18) + 18 * RoundHalfAway((60.0 - d) / 30.0);
}

int FindChartInEightSectorAtlas(double rightAscension, double declination) {
    double h = HoursOf(rightAscension);
    double d = DegreesOf(declination);
    int s = static_cast<int>(h / 3.0);
    if (d >= 60.0) return 10 * s + 1;
    if (d <= -60.0) return 10 * s + 10;
    int j = 7 - 2 * static_cast<int>((d + 60.0) / 30.0);
    if (h - 3.0 * s <= 1.5) j += 1;
    return 10 * s + j + 1;
}
