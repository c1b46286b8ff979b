// The chart centre and projection set-up, and the conversions between
// window pixels and sky positions.
#include <cmath>
#include <limits>

#include "astro/chartgeom.h"
#include "astro/frames.h"
#include "astro/riseset.h"
#include "charts/chartcontext.h"
#include "charts/framepairs.h"
#include "core/mathutil.h"

namespace {

const double kDegree = kPi / 180;
const int kUnset = std::numeric_limits<int>::min();

// Projected pixels of kinds 2 and 6 may be written with a 0 result.
int ProjectMirrored(ChartContext *c, double lon, double lat, int *x, int *y) {
    int px = kUnset, py = kUnset;
    int r = ProjectToChart(&c->projection, lon, lat, &px, &py);
    if (px == kUnset && py == kUnset) return r;
    MirrorChartPixel(c, &px, &py);
    if (x) *x = px;
    if (y) *y = py;
    return r;
}

int Unproject(ChartContext *c, int x, int y, double *lon, double *lat) {
    MirrorChartPixel(c, &x, &y);
    return UnprojectFromChart(&c->projection, x, y, lon, lat);
}

}  // namespace

void MirrorChartPixel(const ChartContext *chart, int *x, int *y) {
    if (!chart) return;
    if (y && !chart->mirrorY) *y = chart->verticalMirrorSum - *y;
    if (x && !chart->mirrorX) *x = chart->horizontalMirrorSum - *x;
}

int ChooseProjectionKind(ChartContext *chart, int kind, int frameMode, double field) {
    int chosen = kind;
    if (kind == 0) {
        if (field < 1 * kDegree) chosen = kProjectionGnomonic;
        else if (field < 60 * kDegree) chosen = kProjectionStereographic;
        else if (field >= 360 * kDegree && frameMode != kFrameApparentHorizon) chosen = kProjectionHammerAitoff;
        else chosen = kProjectionRectangular;
    }
    if (chart) chart->projectionKind = (uint8_t)chosen;
    return chosen;
}

int SetChartCentre(ChartContext *chart, double rightAscension, double declination,
                   double motionRightAscension, double motionDeclination, double parameter,
                   double secondParameter, double windowAngle) {
    if (!chart) return 0;
    // A chart without a field or a window has no scale: every projection
    // would divide by it.
    if (!(chart->field > 0) || !std::isfinite(chart->field) || chart->windowWidth <= 0 ||
        chart->windowHeight <= 0)
        return 0;
    chart->centreRightAscension = rightAscension;
    chart->centreDeclination = declination;
    double lon = rightAscension, lat = declination;
    if (ConvertToChartFrame(chart, &lon, &lat, motionRightAscension, motionDeclination) != 1) return 0;

    int w = chart->windowWidth, h = chart->windowHeight;
    chart->windowCentreX = (w - 1) / 2;
    chart->windowCentreY = (h - 1) / 2;
    chart->visibleLeft = chart->windowOffsetX;
    chart->visibleRight = chart->windowOffsetX + w - 1;
    chart->visibleTop = std::abs(chart->windowOffsetY);
    chart->visibleBottom = std::abs(chart->windowOffsetY) + h - 1;
    chart->verticalMirrorSum = chart->visibleTop + chart->visibleBottom;
    chart->horizontalMirrorSum = chart->visibleLeft + chart->visibleRight;
    chart->pixelsPerRadian = w / chart->field;
    chart->radiansPerPixel = 1 / chart->pixelsPerRadian;

    int kind = chart->projectionKind;
    double field = chart->field;
    if (kind == kProjectionStereographic) {
        if (parameter == 0) parameter = kPi / 2;
        if (field > kPi) field = kPi;
    }
    // The cylindrical, gnomonic, Hammer-Aitoff and sinusoidal maps have their
    // origin a quarter turn below the pole: the pole goes a quarter turn above
    // the centre so the centre lands at the origin. The polar kinds and the
    // conic take the centre itself as their pole.
    bool above = kind == kProjectionRectangular || kind == kProjectionGnomonic ||
                 kind == kProjectionHammerAitoff || kind == kProjectionMercator ||
                 kind == kProjectionMercatorKept || kind == kProjectionSinusoidal;
    double poleLon, poleLat;
    if (chart->centring) {
        poleLon = lon;
        poleLat = lat + (above ? kPi / 2 : 0);
    } else {
        poleLon = (chart->frameMode == kFrameHorizon || chart->frameMode == kFrameApparentHorizon) ? 0 : lon;
        poleLat = kPi / 2;
    }
    double lower = std::fabs(lat) - field / 2, upper = lower + field;
    int fromWidth = ((kind == kProjectionStereographic || kind == kProjectionOrthographic) && field >= kPi) ? 0 : 1;
    if (!InitChartProjection(&chart->projection, w, h, lower, upper, poleLon, poleLat, parameter,
                             secondParameter, 1, 0, 0, 0, 0, 0, fromWidth, kind))
        return 0;
    int cx, cy;
    if (!ProjectToChart(&chart->projection, lon, lat, &cx, &cy)) return 0;
    int shiftX = cx - (chart->windowCentreX + chart->windowOffsetX);
    int shiftY = cy - std::abs(chart->windowOffsetY) - chart->windowCentreY;
    return InitChartProjection(&chart->projection, w, h, lower, upper, poleLon, poleLat, parameter,
                               secondParameter, 1, shiftX, shiftY, chart->windowOffsetX,
                               -chart->windowOffsetY, windowAngle, fromWidth, kind);
}

int ScreenToSky(ChartContext *chart, int x, int y, double *rightAscension, double *declination) {
    if (!chart || !rightAscension || !declination) return 0;
    double lon, lat;
    if (!Unproject(chart, x, y, &lon, &lat)) return 0;
    if (!ConvertFromChartFrame(chart, &lon, &lat, 0, 0)) return 0;
    *rightAscension = lon;
    *declination = lat;
    return 1;
}

int ScreenToSkyAndHorizon(ChartContext *chart, int x, int y, double *rightAscension,
                          double *declination, double *altitude, double *azimuth) {
    if (!chart || !rightAscension || !declination) return 0;
    double lon, lat;
    if (!Unproject(chart, x, y, &lon, &lat)) return 0;
    double az, alt;
    int mode = chart->frameMode;
    if (mode == kFrameHorizon || mode == kFrameApparentHorizon) {
        az = lon;
        alt = lat;
        if (!ConvertFromChartFrame(chart, &lon, &lat, 0, 0)) return 0;
        if (mode == kFrameHorizon) alt += GetRefractionForTrueAltitude(alt);
    } else {
        if (!ConvertFromChartFrame(chart, &lon, &lat, 0, 0)) return 0;
        double ra = lon, dec = lat;
        ApplyPrecession(&chart->precessionToDate, &ra, &dec, 0, 0, 0);
        ConvertMeanToApparentPlace(&chart->savedDate, &ra, &dec, 1);
        if (ConvertEquatorialToHorizontal(&chart->site, &chart->savedDate, &ra, &dec) != 1) return 0;
        az = ra;
        alt = dec + GetRefractionForTrueAltitude(dec);
    }
    if (alt > kPi / 2) alt = kPi / 2;
    *rightAscension = lon;
    *declination = lat;
    if (altitude) *altitude = alt;
    if (azimuth) *azimuth = az;
    return 1;
}

int SkyToScreen(ChartContext *chart, double rightAscension, double declination,
                double motionRightAscension, double motionDeclination, int *x, int *y) {
    if (!chart) return 0;
    double lon = rightAscension, lat = declination;
    if (ConvertToChartFrame(chart, &lon, &lat, motionRightAscension, motionDeclination) != 1) return 0;
    return ProjectMirrored(chart, lon, lat, x, y);
}

// Frame 3 goes back without refraction, as PlaceOfDateToScreen brings it
// there, so that a place of date and its pixel agree both ways.
int ScreenToPlaceOfDate(ChartContext *chart, int x, int y, double *rightAscension,
                        double *declination) {
    if (!chart || !rightAscension || !declination) return 0;
    double a, b;
    if (!Unproject(chart, x, y, &a, &b)) return 0;
    switch (chart->frameMode) {
    case kFrameHorizon:
        if (ConvertHorizontalToEquatorial(&chart->site, &chart->savedDate, &a, &b) != 1) return 0;
        break;
    case kFrameApparentHorizon:
        if (ConvertApparentHorizontalToEquatorial(&chart->site, &chart->savedDate,
                                                  chart->extinctionCoefficient, &a, &b, nullptr) != 1)
            return 0;
        break;
    case kFrameEcliptic: {
        double ra, dec;
        ConvertEclipticToEquatorial(&chart->savedDate, &ra, &dec, a, b, kTrueObliquity);
        a = ra;
        b = dec;
        break;
    }
    case kFrameGalactic: {
        double ra, dec;
        ConvertGalacticToJ2000(&ra, &dec, a, b);
        a = ra;
        b = dec;
        break;
    }
    default:
        break;
    }
    *rightAscension = ReduceToFullTurn(a);
    *declination = b;
    return 1;
}

int PlaceOfDateToScreen(ChartContext *chart, double rightAscension, double declination, int *x,
                        int *y) {
    if (!chart) return 0;
    double a = rightAscension, b = declination;
    switch (chart->frameMode) {
    case kFrameHorizon:
        if (ConvertEquatorialToHorizontal(&chart->site, &chart->savedDate, &a, &b) != 1) return 0;
        break;
    case kFrameApparentHorizon:
        if (ConvertEquatorialToApparentHorizontal(&chart->site, &chart->savedDate,
                                                  chart->extinctionCoefficient, &a, &b, nullptr, 1) < 0)
            return 0;
        break;
    case kFrameEcliptic: {
        ReplaceByEcliptic(&chart->savedDate, &a, &b);
        break;
    }
    case kFrameGalactic: {
        ReplaceByGalactic(&a, &b);
        break;
    }
    default:
        break;
    }
    return ProjectMirrored(chart, a, b, x, y);
}
