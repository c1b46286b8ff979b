// Range overlap, great circles, position angles, symbol sizes, pixel scale
// and star symbols.
#include "charts/chartgeometry.h"

#include <cmath>

#include "astro/chartgeom.h"
#include "astro/frames.h"
#include "charts/chartcontext.h"
#include "charts/deepskyitem.h"
#include "core/mathutil.h"

namespace {

const double kTwoPi = 2 * kPi;
const double kSixtyArcseconds = 0.0002908882086657216;

bool Within(double x, double a, double b) { return x >= std::fmin(a, b) && x <= std::fmax(a, b); }
bool EndsWithin(double a1, double a2, double c1, double c2) {
    return Within(a1, c1, c2) || Within(a2, c1, c2) || Within(c1, a1, a2) || Within(c2, a1, a2);
}
double Clamp1(double v) { return v > 1 ? 1 : (v < -1 ? -1 : v); }
int RoundAway(double v) { return (int)(v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5)); }

}  // namespace

int RangesOverlap(double a1, double a2, double b1, double b2, double c1, double c2, double d1,
                  double d2) {
    if (!EndsWithin(b1, b2, d1, d2)) return 0;
    if (a1 < 0) a1 += kTwoPi;
    if (a2 < 0) a2 += kTwoPi;
    if (c1 < 0) c1 += kTwoPi;
    if (c2 < 0) c2 += kTwoPi;
    if (a2 < a1 && a1 > kPi) a2 += kTwoPi;
    if (c2 < c1 && c1 > kPi) c2 += kTwoPi;
    if (a2 > kTwoPi && c1 < kPi && c2 < kPi) {
        c1 += kTwoPi;
        c2 += kTwoPi;
    }
    if (EndsWithin(a1, a2, c1, c2)) return 1;
    if (c2 > kTwoPi) {
        c2 -= kTwoPi;
        return (c2 >= a1 || c2 >= a2) ? 1 : 0;
    }
    return 0;
}

int RectanglesOverlap(int x1, int x2, int y1, int y2, int X1, int X2, int Y1, int Y2) {
    return EndsWithin(y1, y2, Y1, Y2) && EndsWithin(x1, x2, X1, X2) ? 1 : 0;
}

// The course A from the start (Smart, Textbook on Spherical Astronomy, ch. 1):
// cos A = (sin d2 - sin d1 cos g) / (cos d1 sin g). It has no value where the
// arc is empty or a half circle, or the start is at a pole; the arguments of
// both arc cosines are kept within [-1, 1] against rounding.
int BeginGreatCircleSteps(GreatCircleSteps *record, double startRightAscension,
                          double startDeclination, double endRightAscension, double endDeclination,
                          int n) {
    if (!record) return 0;
    record->startRightAscension = startRightAscension;
    record->startDeclination = startDeclination;
    record->endRightAscension = endRightAscension;
    record->endDeclination = endDeclination;
    double d = endRightAscension - startRightAscension;
    record->east = ((d > 0 && std::fabs(d) < kPi) || (d <= 0 && std::fabs(d) > kPi)) ? 1 : 0;
    double g = AngularSeparation(startRightAscension, startDeclination, endRightAscension, endDeclination);
    record->arc = g;
    double denominator = std::cos(startDeclination) * std::sin(g);
    if (std::fabs(denominator) < 1e-15) {
        // From a pole, or to the antipode: along the meridian towards the end.
        record->course = endDeclination < startDeclination ? kPi : 0;
    } else {
        record->course = std::acos(Clamp1((std::sin(endDeclination) -
                                           std::sin(startDeclination) * std::cos(g)) / denominator));
    }
    record->step = (n >= 2) ? g / (n - 1) : 0;
    return n >= 2 ? 1 : 0;
}

void GetGreatCircleStep(const GreatCircleSteps *record, int i, double *rightAscension,
                        double *declination) {
    if (!record || !rightAscension || !declination) return;
    double t = i * record->step;
    if (i == 0 || t == 0) {
        *rightAscension = record->startRightAscension;
        *declination = record->startDeclination;
        return;
    }
    double d0 = record->startDeclination, A = record->course;
    double dec = std::asin(Clamp1(std::cos(A) * std::cos(d0) * std::sin(t) + std::sin(d0) * std::cos(t)));
    double denominator = std::cos(dec) * std::cos(d0);
    double diff;
    if (std::fabs(std::cos(d0)) < 1e-15) {
        // Leaving a pole every point lies on the end's meridian.
        *rightAscension = ReduceToFullTurn(record->endRightAscension);
        *declination = dec;
        return;
    } else if (std::fabs(denominator) < 1e-15) {
        diff = 0;
    } else {
        diff = std::acos(Clamp1((std::cos(t) - std::sin(dec) * std::sin(d0)) / denominator));
    }
    double ra = record->east ? record->startRightAscension + diff : record->startRightAscension - diff;
    *rightAscension = ReduceToFullTurn(ra);
    *declination = dec;
}

double AdjustPositionAngleToChart(ChartContext *chart, double rightAscension, double declination,
                                  double positionAngle) {
    if (!chart || chart->frameMode == kFrameJ2000) return positionAngle;
    double a1 = rightAscension, d1 = declination;
    double a2 = rightAscension, d2 = declination + kSixtyArcseconds;
    if (ConvertToChartFrame(chart, &a1, &d1, 0, 0) != 1) return positionAngle;
    if (ConvertToChartFrame(chart, &a2, &d2, 0, 0) != 1) return positionAngle;
    return positionAngle + ComputePositionAngle(a1, d1, a2, d2);
}

void ComputeObjectSymbolSize(ChartContext *chart, double rightAscension, double declination,
                             double majorAxis, double minorAxis, DeepSkyPlotItem *item) {
    if (!item) return;
    double pa = item->angle;
    item->majorSize = item->minorSize = 0;
    item->angle = 0;
    if (!chart || (majorAxis == 0 && minorAxis == 0)) return;
    double ppr = chart->pixelsPerRadian;
    if (majorAxis == minorAxis || chart->projection.kind == kProjectionHammerAitoff) {
        item->majorSize = RoundAway(majorAxis * ppr);
        item->minorSize = majorAxis == minorAxis ? item->majorSize : RoundAway(minorAxis * ppr);
        return;
    }
    double ra2, dec2;
    ComputeOffsetPosition(pa, majorAxis, rightAscension, declination, &ra2, &dec2);
    double a1 = rightAscension, d1 = declination;
    int x1, y1, x2, y2;
    if (ConvertToChartFrame(chart, &a1, &d1, 0, 0) != 1 || ConvertToChartFrame(chart, &ra2, &dec2, 0, 0) != 1)
        return;
    if (!ProjectToChart(&chart->projection, a1, d1, &x1, &y1) ||
        !ProjectToChart(&chart->projection, ra2, dec2, &x2, &y2))
        return;
    MirrorChartPixel(chart, &x1, &y1);
    MirrorChartPixel(chart, &x2, &y2);
    double dx = x2 - x1, dy = y2 - y1, distance = std::sqrt(dx * dx + dy * dy);
    int major = RoundAway(distance);
    int minor = majorAxis != 0 ? RoundAway(major * minorAxis / majorAxis) : 0;
    double angle = distance > 1 ? std::atan2(dy, dx) : 0;
    int linear = (int)(majorAxis * ppr);
    if (linear != 0 && major > 3 * linear) {
        major = 3 * linear;
        minor = 3 * (int)(minorAxis * ppr);
    }
    item->majorSize = major;
    item->minorSize = minor;
    item->angle = angle;
}

// The distance is measured between the two pixels' own sky points: the
// point itself lies anywhere inside its pixel, which over a few pixels would
// put the scale off by several per cent.
double GetLocalPixelScale(ChartContext *chart, double rightAscension, double declination, int n) {
    if (!chart || n == 0) return 0;
    double a = rightAscension, d = declination;
    int x, y;
    if (ConvertToChartFrame(chart, &a, &d, 0, 0) != 1) return 0;
    if (!ProjectToChart(&chart->projection, a, d, &x, &y)) return 0;
    MirrorChartPixel(chart, &x, &y);
    int x2 = x + n, y2 = y;
    MirrorChartPixel(chart, &x, &y);
    MirrorChartPixel(chart, &x2, &y2);
    double a1, d1, a2, d2;
    if (!UnprojectFromChart(&chart->projection, x, y, &a1, &d1)) return 0;
    if (!UnprojectFromChart(&chart->projection, x2, y2, &a2, &d2)) return 0;
    double distance = AngularSeparation(a1, d1, a2, d2);
    if (!(distance > 0)) return 0;
    return std::fabs(n) / distance;
}

double GetStarSymbolRadius(const ChartContext *chart, double magnitude) {
    if (!chart) return 0;
    double a = chart->sizeLaw == 1
                   ? (std::pow(10.0, (chart->referenceMagnitude - magnitude) / 11.5) - 1) * 3.2
                   : chart->referenceMagnitude - magnitude;
    double radius = std::trunc(a * chart->sizeScale) + chart->radiusOffset;
    return radius > 0 ? radius : 0;
}

int GetStarShade(const ChartContext *chart, double magnitude) {
    if (!chart) return 0;
    double limit = chart->limitingMagnitude;
    double span = (limit - 10 >= -1.5) ? 10 : limit + 1.5;
    // A limit at or below -1.5 leaves no span: brighter than it is all shade.
    if (!(span > 0)) return magnitude <= limit ? 50 : 0;
    double shade = std::trunc((limit - magnitude) / span * 50);
    if (shade < 0) shade = 0;
    if (shade > 50) shade = 50;
    return (int)shade;
}
