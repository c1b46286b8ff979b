// Grid steps, the set-up of a grid walk and the walkers of its lines and
// intersections. Meridians are walked first (increasing longitude, each from
// the least latitude up), then the parallels (increasing latitude, each from
// the least longitude on). The angular step adapts so that the segments stay
// near the pixel tolerance: it doubles on short segments and halves on long
// ones (never below a tenth of the initial step); a jump of more than five
// times the previous segment starts a new line instead of being drawn.
#include <cmath>

#include "charts/chartcontext.h"
#include "charts/chartgrid.h"
#include "core/mathutil.h"

namespace {

const double kTwoPi = 2 * kPi;
const double kDegree = kPi / 180;
const double kArcminute = kDegree / 60;
const double kArcsecond = kArcminute / 60;
const double kLeastLatitudeStep = 0.1 * kArcsecond;  // 4.84813681109536e-07 rad
const double kPoleMargin = kArcsecond;               // 4.84813681109536e-06 rad
const double kMeridianMargin = 30 * kArcsecond;      // 0.0001454441043328608 rad
const double kMajorTolerance = 0.0001;
const double kStepComparisonTolerance = 1e-9;         // relative, for spans on a unit boundary
const double kLeastCosine = 0.01;
const int kWalkOver = -1;                             // meridianPhase once the walk has ended

double LevelMultiplier(int level) {
    switch (level) {
    case kGridLevelFine: return 1.0 / 6;
    case kGridLevelMedium: return 0.5;
    default: return 1.0;
    }
}

int ExtentIndexOfGridFrame(int gridFrame) {
    static const int kIndex[] = {-1, kIndexJ2000, kIndexApparent, kIndexHorizon,
                                 kIndexApparentHorizon, kIndexApparentHorizon, kIndexEcliptic,
                                 kIndexGalactic};
    return (gridFrame >= kGridJ2000 && gridFrame <= kGridGalactic) ? kIndex[gridFrame] : -1;
}

double BaseInitialStep(const ChartContext *c, const ChartGrid *g) {
    return c->pixelsPerRadian > 0 ? g->pixelTolerance / c->pixelsPerRadian : 0;
}

int Project(ChartContext *c, ChartGrid *g, double lon, double lat, int *x, int *y) {
    if (ConvertGridPointToChartFrame(c, g->gridFrame, &lon, &lat) != 1) return 0;
    int px = 0, py = 0;
    if (!ProjectToChart(g->projection, lon, lat, &px, &py)) return 0;
    MirrorGridPixel(c, g, &px, &py);
    *x = px;
    *y = py;
    return 1;
}

bool IsMajorLine(const ChartGrid *g, double coordinate, double step) {
    if (g->level >= kGridLevelCoarse) return false;
    double coarse = step / LevelMultiplier(g->level);
    if (!(coarse > 0)) return false;
    double f = std::fmod(std::fabs(coordinate / coarse), 1.0);
    // a multiple computed in floating point may land just below a whole number
    return f < kMajorTolerance || f > 1 - kMajorTolerance;
}

void StartLine(ChartGrid *g) {
    g->penState = 1;
    g->angularStep = g->initialAngularStep;
    g->previousSegmentLength = -1;
}

// Moves to the next line after a finished one; false when the walk is over.
bool NextLine(ChartGrid *g) {
    if (g->meridianPhase == 1) {
        if (g->longitudeStep > kTwoPi) {
            g->longitude = g->longitudeRange[1];  // ends the meridians
        } else {
            g->longitude += g->longitudeStep;
        }
        g->latitude = g->latitudeRange[0];
        StartLine(g);
        return true;
    }
    if (g->latitudeStep >= kPi / 2) return false;
    g->latitude += g->latitudeStep;
    g->longitude = g->longitudeRange[0];
    StartLine(g);
    return true;
}

// After the last meridian: false for the local meridian (nothing more).
bool StartParallels(ChartGrid *g) {
    if (g->level == kGridLevelMeridian) return false;
    g->meridianPhase = 0;
    g->latitude = g->latitudeRange[0];
    g->longitude = g->longitudeRange[0];
    StartLine(g);
    double middle = 0.5 * (g->latitudeRange[0] + g->latitudeRange[1]);
    double c = std::cos(middle);
    // the first parallel may lie at a pole of a degenerate range: no division by 0
    if (c > kLeastCosine) g->angularStep = g->initialAngularStep / (2 * c);
    return true;
}

bool ParallelsOver(const ChartGrid *g) {
    double top = std::fmin(g->latitudeRange[1] + g->latitudeStep, kPi / 2);
    // a parallel at a pole is a single point
    return g->latitude > top || g->latitude >= kPi / 2 - kPoleMargin;
}

}  // namespace

double ChooseGridStep(double span, int level, int hours) {
    if (!(span > 0)) return kPi / 6;
    if (level == kGridLevelLine) return kPi / 2;
    double unit;
    if (span > 2 * kDegree) unit = kDegree;
    else if (span > 2 * kArcminute) unit = kArcminute;
    else unit = kArcsecond;
    if (hours) unit *= 15;
    double v = span / unit;
    const double e = kStepComparisonTolerance;
    double base;
    if (v < 1 - e) base = 0.1;
    else if (v < 2 - e) base = 0.5;
    else if (v < 5 - e) base = 1;
    else if (v <= 10 * (1 + e)) base = 2;
    else if (!hours) base = v < 60 - e ? 10 : 30;
    else base = v < 90 - e ? 3 : 6;
    return base * unit * LevelMultiplier(level);
}

int BeginGridLines(ChartContext *chart, ChartGrid *grid, int gridFrame, int level,
                   double longitudeStep, double latitudeStep) {
    if (!chart || !grid) return 0;
    int index = ExtentIndexOfGridFrame(gridFrame);
    if (index < 0 || level < kGridLevelFine || level > kGridLevelMeridian) return 0;
    double initial = BaseInitialStep(chart, grid);
    if (!(initial > 0)) return 0;  // no tolerance or no scale: the walk would never advance
    grid->initialAngularStep = initial;
    grid->gridFrame = gridFrame;
    grid->level = level;
    grid->meridianPhase = (longitudeStep >= kTwoPi) ? 0 : 1;
    const FrameExtent &e = grid->extents[index];
    bool autoLongitude = !(longitudeStep > 0);
    if (level <= kGridLevelCoarse) {
        if (!(latitudeStep > 0))
            latitudeStep = ChooseGridStep(e.latitudeMax - e.latitudeMin, level, 0);
        if (autoLongitude) {
            int hours = !(gridFrame == kGridHorizon || gridFrame == kGridApparentHorizon ||
                          gridFrame == kGridApparentHorizonLine);
            longitudeStep = ChooseGridStep(e.longitudeMax - e.longitudeMin, level, hours);
        }
    } else {
        latitudeStep = kPi / 2;
        longitudeStep = kTwoPi;
    }
    grid->longitudeRange[0] = e.longitudeMin;
    grid->longitudeRange[1] = e.longitudeMax;
    grid->latitudeRange[0] = e.latitudeMin;
    grid->latitudeRange[1] = e.latitudeMax;
    if (latitudeStep < kLeastLatitudeStep) latitudeStep = kLeastLatitudeStep;
    if (autoLongitude) {
        if (grid->longitudeRange[0] != 0) grid->longitudeRange[0] -= initial;
        if (grid->longitudeRange[1] != kTwoPi) grid->longitudeRange[1] += initial;
    }
    grid->longitudeStep = longitudeStep;
    grid->latitudeStep = latitudeStep;

    double &latMin = grid->latitudeRange[0];
    double &latMax = grid->latitudeRange[1];
    latMin = std::fmax(-kPi / 2, std::fmin(kPi / 2, latMin));
    latMax = std::fmax(-kPi / 2, std::fmin(kPi / 2, latMax));
    bool localMeridian = gridFrame == kGridApparentHorizon && level == kGridLevelMeridian;
    if (!localMeridian) {
        if (latMax < kPi / 2)
            latMax = std::fmin(kPi / 2, (std::round(latMax / latitudeStep) + 1) * latitudeStep);
        if (latMin > -kPi / 2)
            latMin = std::fmax(-kPi / 2, std::floor(latMin / latitudeStep) * latitudeStep);
    }
    if (level != kGridLevelMeridian && latMax > kPi / 2 - kPoleMargin) latMax -= latitudeStep;
    if (latMin < -kPi / 2 + kPoleMargin) latMin += latitudeStep;
    if ((gridFrame == kGridApparentHorizon || gridFrame == kGridApparentHorizonLine) && latMin < 0)
        latMin = 0;

    grid->longitude = std::floor(grid->longitudeRange[0] / longitudeStep) * longitudeStep;
    if (latitudeStep >= kPi) latMin = 0;
    grid->latitude = latMin;
    grid->penState = 1;
    grid->previousSegmentLength = -1;
    grid->labelPhase = 0;

    const double dip = chart->site.horizonDip;
    if (gridFrame == kGridApparentHorizonLine) {
        grid->gridFrame = kGridApparentHorizon;
        if (level == kGridLevelLine) {
            grid->meridianPhase = 0;
            grid->longitude = kTwoPi;
            latMin = dip;
            latMax = dip + initial / 3;
            grid->latitude = latMin;
        }
    } else if (gridFrame == kGridEcliptic && level == kGridLevelLine) {
        grid->meridianPhase = 0;
        grid->longitude = kTwoPi;
        latMin = 0;
        latMax = initial / 3;
        grid->latitude = latMin;
    } else if (gridFrame == kGridApparentHorizon && level == kGridLevelMeridian) {
        grid->meridianPhase = 1;
        grid->longitudeRange[0] = 0;
        grid->longitudeRange[1] = kPi + initial / 3;
        grid->longitudeStep = kPi;
        grid->longitude = 0;
        latMin = std::fmax(e.latitudeMin - kMeridianMargin, dip);
        latMax = std::fmin(e.latitudeMax + kMeridianMargin, kPi / 2);
        grid->latitude = latMin;
    } else if (gridFrame == kGridApparentHorizon && level == kGridLevelLine &&
               e.longitudeMin == 0 && e.longitudeMax == kTwoPi && chart->field < kPi / 2) {
        grid->initialAngularStep = kTwoPi;
    }
    if (grid->meridianPhase == 0) {
        // no meridians: the walk starts on the first parallel
        StartParallels(grid);
        return 1;
    }
    grid->angularStep = grid->initialAngularStep;
    return 1;
}

int NextGridLinePoint(ChartContext *chart, ChartGrid *grid, int *x, int *y, int *major) {
    if (!chart || !grid || !x || !y) return kPenEnd;
    if (major) *major = 0;
    for (int transitions = 0; transitions < 4; ++transitions) {
        if (grid->meridianPhase == kWalkOver) return kPenEnd;
        if (grid->penState == 3) {
            if (!NextLine(grid)) {
                grid->meridianPhase = kWalkOver;
                return kPenEnd;
            }
        }
        if (grid->meridianPhase == 1 && !(grid->longitude < grid->longitudeRange[1])) {
            if (!StartParallels(grid)) {
                grid->meridianPhase = kWalkOver;
                return kPenEnd;
            }
        }
        if (grid->meridianPhase == 0 && ParallelsOver(grid)) {
            grid->meridianPhase = kWalkOver;
            return kPenEnd;
        }
        const bool meridian = grid->meridianPhase == 1;
        // clip the cursor to the line's end
        if (grid->penState < 3) {
            if (meridian) {
                if (grid->latitude >= grid->latitudeRange[1]) {
                    grid->latitude = grid->latitudeRange[1];
                    grid->penState = 3;
                }
                if (grid->latitude >= kPi / 2) {
                    grid->latitude = kPi / 2;
                    grid->penState = 3;
                }
            } else if (grid->longitude >= grid->longitudeRange[1]) {
                grid->longitude = grid->longitudeRange[1];
                grid->penState = 3;
            }
        }
        double &cursor = meridian ? grid->latitude : grid->longitude;
        int px = 0, py = 0;
        if (!Project(chart, grid, grid->longitude, grid->latitude, &px, &py)) {
            if (grid->penState != 3) grid->penState = 1;
            cursor += grid->angularStep;
            return kPenNotProjectable;
        }
        if (grid->penState == 1) {
            grid->penState = 2;
            grid->previousX = px;
            grid->previousY = py;
            cursor += grid->angularStep;
            *x = px;
            *y = py;
            return kPenMove;
        }
        double d = std::hypot((double)(px - grid->previousX), (double)(py - grid->previousY));
        int tolerance = grid->pixelTolerance;
        int upper = meridian ? (int)std::lround(1.5 * tolerance) : tolerance;
        if (d < tolerance / 2) {
            grid->angularStep *= 2;
        } else if (d > upper && grid->angularStep > 0.1 * grid->initialAngularStep) {
            grid->angularStep /= 2;
        }
        *x = px;
        *y = py;
        grid->previousX = px;
        grid->previousY = py;
        if (grid->previousSegmentLength > 0 && d > 5 * grid->previousSegmentLength) {
            cursor += grid->angularStep;
            grid->previousSegmentLength = -1;
            return kPenMove;
        }
        grid->previousSegmentLength = d;
        cursor += grid->angularStep;
        if (major) {
            *major = meridian ? IsMajorLine(grid, grid->longitude, grid->longitudeStep)
                              : IsMajorLine(grid, grid->latitude, grid->latitudeStep);
        }
        return kPenDraw;
    }
    return kPenEnd;
}

int NextGridIntersection(ChartContext *chart, ChartGrid *grid, int *x, int *y) {
    if (!chart || !grid || !x || !y) return kPenEnd;
    if (grid->latitude > grid->latitudeRange[1] || grid->penState == 3) {
        if (grid->longitudeStep > kTwoPi) {
            grid->longitude = grid->longitudeRange[1] + grid->longitudeStep;
        } else {
            grid->longitude += grid->longitudeStep;
        }
        grid->latitude = grid->latitudeRange[0];
        grid->penState = 1;
    }
    if (grid->longitude > grid->longitudeRange[1]) {
        grid->longitude = grid->longitudeRange[0];
        grid->latitude += grid->latitudeStep;
        return kPenEnd;
    }
    if (grid->latitude >= kPi / 2) grid->penState = 3;
    int px = 0, py = 0;
    int shown = Project(chart, grid, grid->longitude, grid->latitude, &px, &py);
    grid->latitude += grid->latitudeStep;
    if (!shown) {
        if (grid->penState != 3) grid->penState = 1;
        return kPenNotProjectable;
    }
    *x = px;
    *y = py;
    return kPenIntersection;
}
