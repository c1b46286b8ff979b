// Labels of grid lines (latitude labels first, then longitude labels, each at
// the first point of its line inside the window), their texts, and the
// compass points and reference marks (zenith, celestial and galactic poles,
// galactic centre).
#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/angleparse.h"
#include "astro/angletext.h"
#include "charts/chartcontext.h"
#include "charts/chartgrid.h"
#include "core/mathutil.h"

namespace {

const double kTwoPi = 2 * kPi;
const double kDegree = kPi / 180;
const double kArcminute = kDegree / 60;
const double kArcsecond = kArcminute / 60;
const double kSecondOfTime = 15 * kArcsecond;   // 7.27220521664304e-05 rad
const double kMinuteOfTime = 15 * kArcminute;   // 0.004363323129985824 rad
const double kHourOfTime = 15 * kDegree;        // 0.2617993877991494 rad
const int kLabelScanDivisions = 6;              // a label is searched for in sixths of a step
const char kDegreeSign = '\xB0';                // Windows-1252

// Galactic centre (J2000), Reid & Brunthaler (2004), the radio source Sgr A*.
const char *const kGalacticCentreRightAscension = "17:45:40.04";
const char *const kGalacticCentreDeclination = "-29:00:28.1";

const double kCompassAltitudeOffset = 2 * kArcsecond;  // 9.69627362219072e-06 rad
const int kCompassPoints = 8;
const char *const kCompassLabels[kCompassPoints] = {"S", "SE", "E", "NE", "N", "NW", "W", "SW"};

// The mark walk keeps its step in the pen state: 1-8 the compass points,
// then the marks, then the reset.
const int kFirstMarkStep = kCompassPoints + 1;

struct Mark {
    const char *label;
    int frameIndex;
    int number;
};
const Mark kMarks[] = {
    {"Zenith", kIndexHorizon, kMarkZenith},
    {"NCP", kIndexApparent, kMarkNorthCelestialPole},
    {"SCP", kIndexApparent, kMarkSouthCelestialPole},
    {"NGP", kIndexGalactic, kMarkNorthGalacticPole},
    {"SGP", kIndexGalactic, kMarkSouthGalacticPole},
    {"Galactic Center", kIndexJ2000, kMarkGalacticCentre},
};
const int kMarkCount = sizeof kMarks / sizeof kMarks[0];

double LevelMultiplier(int level) {
    switch (level) {
    case kGridLevelFine: return 1.0 / 6;
    case kGridLevelMedium: return 0.5;
    default: return 1.0;
    }
}

bool IsHorizonGrid(int gridFrame) {
    return gridFrame == kGridHorizon || gridFrame == kGridApparentHorizon ||
           gridFrame == kGridApparentHorizonLine;
}

int ProjectGridPoint(ChartContext *c, ChartGrid *g, double lon, double lat, int *x, int *y) {
    if (ConvertGridPointToChartFrame(c, g->gridFrame, &lon, &lat) != 1) return 0;
    int px = 0, py = 0;
    if (!ProjectToChart(g->projection, lon, lat, &px, &py)) return 0;
    MirrorGridPixel(c, g, &px, &py);
    *x = px;
    *y = py;
    return 1;
}

bool StrictlyInside(const ChartContext *c, int x, int y) {
    return x > c->visibleLeft && x < c->visibleRight && y > c->visibleTop && y < c->visibleBottom;
}

double LatitudeLabelStart(const ChartGrid *g) {
    double least = g->latitudeRange[0];
    double sign = least < 0 ? -1 : 1;
    return sign * std::floor(std::fabs(least) / g->latitudeStep) * g->latitudeStep;
}

double LongitudeLabelStart(const ChartGrid *g) {
    double start = std::floor(g->longitudeRange[0] / g->longitudeStep) * g->longitudeStep;
    if (start > 1.5 * kPi && g->longitudeRange[1] < kPi / 2) start -= kTwoPi;
    return start;
}

void LabelDirection(ChartContext *c, ChartGrid *g, double lon, double lat, int x, int y,
                    double base, double *angle, int *x2, int *y2) {
    int sx = x, sy = y;
    double upper = std::fmin(lat + g->latitudeStep, kPi / 2);
    if (!ProjectGridPoint(c, g, lon, upper, &sx, &sy)) {
        sx = x;
        sy = y;
    }
    if (x2) *x2 = sx;
    if (y2) *y2 = sy;
    double a = base - ComputeQuadrantArcTangent((double)(sy - y), (double)(sx - x));
    if (angle) *angle = ReduceModuloPositive(a, kTwoPi) == kTwoPi ? 0 : ReduceModuloPositive(a, kTwoPi);
}

void FinishLabels(ChartGrid *g) {
    double m = LevelMultiplier(g->level);
    g->longitudeStep *= m;
    g->latitudeStep *= m;
    g->labelPhase = 0;
    g->meridianPhase = 0;
}

}  // namespace

char *FormatRaGridLabel(char *buffer, double angle, double step) {
    if (!buffer) return buffer;
    double a = ReduceModuloPositive(angle, kTwoPi);
    if (a >= kTwoPi) a = 0;
    double hours = a * 12 / kPi;
    char text[kAngleTextSize] = "";
    if (step < kSecondOfTime) FormatRightAscensionTenths(text, hours);
    else if (step < kMinuteOfTime) FormatRightAscension(text, hours);
    else if (step < kHourOfTime) FormatRightAscensionMinutes(text, hours);
    else {
        long h = std::lround(hours) % 24;
        std::snprintf(buffer, kGridLabelSize, "%02ldh", h);
        return buffer;
    }
    // the right-ascension texts begin with a blank
    std::snprintf(buffer, kGridLabelSize, "%s", text[0] == ' ' ? text + 1 : text);
    return buffer;
}

char *FormatDegreeGridLabel(char *buffer, double angle, double step) {
    if (!buffer) return buffer;
    double degrees = angle * 180 / kPi;
    char text[kAngleTextSize] = "";
    if (step < kArcminute) {
        FormatDeclination(text, degrees);
        const char *sign = std::strchr(text, kDegreeSign);
        std::snprintf(buffer, kGridLabelSize, "%s", sign ? sign + 1 : text);
    } else if (step < kDegree) {
        FormatDeclinationMinutes(text, degrees);
        std::snprintf(buffer, kGridLabelSize, "%s", text);
    } else {
        std::snprintf(buffer, kGridLabelSize, "%+02ld%c", std::lround(degrees), kDegreeSign);
    }
    return buffer;
}

int NextGridLabel(ChartContext *chart, ChartGrid *grid, int *x, int *y, char *label,
                  double *angle, int *x2, int *y2) {
    if (!chart || !grid || !x || !y || !label) return 0;
    if (grid->level > kGridLevelCoarse) return 0;
    if (grid->labelPhase == 0) {
        double m = LevelMultiplier(grid->level);
        grid->longitudeStep /= m;
        grid->latitudeStep /= m;
        grid->latitude = LatitudeLabelStart(grid);
        grid->longitude = LongitudeLabelStart(grid);
        grid->labelPhase = 1;
    }
    const double lonStep = grid->longitudeStep, latStep = grid->latitudeStep;
    if (grid->labelPhase == 1) {
        const double lonStart = grid->longitude;
        // the scan stops at the end of the walked range: a line with no point
        // in the window gets no label
        const double lonEnd = grid->longitudeRange[1] + lonStep;
        while (grid->latitude <= grid->latitudeRange[1]) {
            double lat = grid->latitude;
            grid->latitude += latStep;
            for (double lon = lonStart; lon <= lonEnd; lon += lonStep / kLabelScanDivisions) {
                int px = 0, py = 0;
                if (!ProjectGridPoint(chart, grid, lon, lat, &px, &py) || !StrictlyInside(chart, px, py))
                    continue;
                *x = px;
                *y = py;
                FormatDegreeGridLabel(label, lat, latStep);
                LabelDirection(chart, grid, lon, lat, px, py, 1.5 * kPi, angle, x2, y2);
                return 1;
            }
        }
        grid->labelPhase = 2;
        grid->longitude = lonStart;
    }
    if (grid->labelPhase == 2) {
        const double latStart = LatitudeLabelStart(grid);
        const double latEnd = std::fmin(grid->latitudeRange[1] + latStep, kPi / 2);
        while (grid->longitude <= grid->longitudeRange[1]) {
            double lon = grid->longitude;
            grid->longitude += lonStep;
            for (double lat = latStart; lat <= latEnd; lat += latStep / kLabelScanDivisions) {
                int px = 0, py = 0;
                if (!ProjectGridPoint(chart, grid, lon, lat, &px, &py) || !StrictlyInside(chart, px, py))
                    continue;
                *x = px;
                *y = py;
                if (IsHorizonGrid(grid->gridFrame)) {
                    double azimuth = kTwoPi - lon + (GetLongitudeDisplayFlag() ? kPi : 0);
                    azimuth = ReduceModuloPositive(azimuth, kTwoPi);
                    if (azimuth >= kTwoPi - 1e-12) azimuth = 0;
                    FormatDegreeGridLabel(label, azimuth, lonStep);
                } else if (grid->gridFrame == kGridGalactic) {
                    double l = ReduceModuloPositive(lon, kTwoPi);
                    if (l >= kTwoPi - 1e-12) l = 0;
                    FormatDegreeGridLabel(label, l, lonStep);
                } else {
                    FormatRaGridLabel(label, lon, lonStep);
                }
                LabelDirection(chart, grid, lon, lat, px, py, kTwoPi, angle, x2, y2);
                return 2;
            }
            if (lonStep >= kTwoPi) break;
        }
    }
    FinishLabels(grid);
    return 0;
}

int NextReferenceMark(ChartContext *chart, ChartGrid *grid, int *x, int *y, char *label) {
    if (!chart || !grid || !x || !y || !label) return kPenEnd;
    if (grid->penState < 1) grid->penState = 1;
    if (grid->penState <= kCompassPoints && !IsHorizonGrid(grid->gridFrame))
        grid->penState = kFirstMarkStep;
    if (grid->penState <= kCompassPoints) {
        int index = grid->penState - 1;
        ++grid->penState;
        double lon = index * kPi / 4;
        double lat = chart->site.horizonDip + kCompassAltitudeOffset;
        std::snprintf(label, kGridLabelSize, "%s", kCompassLabels[index]);
        chart->layerRecordCounter = kMarkCompassPoint;
        int px = 0, py = 0;
        int frame = grid->gridFrame == kGridApparentHorizonLine ? kGridApparentHorizon : grid->gridFrame;
        if (ConvertGridPointToChartFrame(chart, frame, &lon, &lat) != 1 ||
            !ProjectToChart(grid->projection, lon, lat, &px, &py))
            return kPenNotProjectable;
        MirrorGridPixel(chart, grid, &px, &py);
        *x = px;
        *y = py;
        return kPenCompassPoint;
    }
    int step = grid->penState - kFirstMarkStep;
    if (step >= kMarkCount) {
        grid->penState = 1;
        grid->longitude = grid->longitudeRange[0];
        return kPenEnd;
    }
    ++grid->penState;
    const Mark &mark = kMarks[step];
    std::snprintf(label, kGridLabelSize, "%s", mark.label);
    chart->layerRecordCounter = mark.number;
    if (mark.number == kMarkZenith && !IsHorizonGrid(grid->gridFrame)) return kPenNotProjectable;
    double lon = 0, lat = 0;
    switch (mark.number) {
    case kMarkNorthCelestialPole:
    case kMarkNorthGalacticPole:
    case kMarkZenith: lat = kPi / 2; break;
    case kMarkSouthCelestialPole:
    case kMarkSouthGalacticPole: lat = -kPi / 2; break;
    default:
        lon = ParseSexagesimal(kGalacticCentreRightAscension) * kHourOfTime;
        lat = ParseSexagesimal(kGalacticCentreDeclination) * kDegree;
        break;
    }
    int px = 0, py = 0;
    if (ConvertFrameToChartFrame(chart, &lon, &lat, mark.frameIndex) != 1 ||
        !ProjectToChart(grid->projection, lon, lat, &px, &py))
        return kPenNotProjectable;
    MirrorGridPixel(chart, grid, &px, &py);
    *x = px;
    *y = py;
    return kPenReferenceMark;
}
