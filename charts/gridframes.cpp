// Conversions between the grid frames and the chart's frame. Every chain runs
// through the apparent equatorial frame of date (the galactic frame through
// J2000); the horizon and apparent-horizon frames differ by refraction only.
// Horizon longitudes are chart azimuths (2 pi minus the azimuth from the
// south), as the chart frames hold them.
#include <cmath>

#include "astro/chartgeom.h"
#include "astro/frames.h"
#include "astro/riseset.h"
#include "charts/chartcontext.h"
#include "charts/chartgrid.h"
#include "charts/framepairs.h"
#include "core/mathutil.h"

namespace {

void J2000ToApparent(ChartContext *c, double *a, double *b) {
    ApplyPrecession(&c->precessionToDate, a, b, 0, 0, 0);
    ConvertMeanToApparentPlace(&c->savedDate, a, b, 1);
}
void ApparentToJ2000(ChartContext *c, double *a, double *b) {
    ConvertApparentToMeanPlace(&c->savedDate, a, b, 1);
    ApplyPrecession(&c->precessionToJ2000, a, b, 0, 0, 0);
}

// One frame index into another. always: the apparent horizon answers 1 even
// below the dip. The answer is 1, or the apparent-horizon test when the
// target is the apparent horizon, or altitude >= 0 from the apparent horizon
// into the horizon.
int ConvertBetweenFrames(ChartContext *c, int from, int to, double *lon, double *lat, int always) {
    if (from < 0 || from >= kFrameIndexCount || to < 0 || to >= kFrameIndexCount) return 0;
    if (from == to) return 1;
    double a = *lon, b = *lat;
    const double dip = c->site.horizonDip;
    // the two horizon frames meet directly
    if (from == kIndexHorizon && to == kIndexApparentHorizon) {
        b = std::fmin(b + GetRefractionForTrueAltitude(b), kPi / 2);
        *lat = b;
        return (always || b >= dip) ? 1 : 0;
    }
    if (from == kIndexApparentHorizon && to == kIndexHorizon) {
        b = std::fmin(b - GetRefractionForApparentAltitude(b), kPi / 2);
        *lat = b;
        return b >= 0 ? 1 : 0;
    }
    // galactic leaves through J2000
    if (from == kIndexGalactic) {
        double ra = 0, dec = 0;
        ConvertGalacticToJ2000(&ra, &dec, a, b);
        a = ra;
        b = dec;
        from = kIndexJ2000;
        if (to == kIndexJ2000) {
            *lon = a;
            *lat = b;
            return 1;
        }
    }
    int result = 1;
    bool fromApparentHorizon = from == kIndexApparentHorizon;
    // into the apparent place of date
    switch (from) {
    case kIndexJ2000:
        if (to == kIndexGalactic) {
            ReplaceByGalactic(&a, &b);
            *lon = a;
            *lat = b;
            return 1;
        }
        J2000ToApparent(c, &a, &b);
        break;
    case kIndexApparent:
        break;
    case kIndexHorizon:
        if (ConvertHorizontalToEquatorial(&c->site, &c->savedDate, &a, &b) != 1) return 0;
        break;
    case kIndexApparentHorizon:
        if (ConvertApparentHorizontalToEquatorial(&c->site, &c->savedDate, c->extinctionCoefficient,
                                                  &a, &b, nullptr) != 1)
            return 0;
        break;
    case kIndexEcliptic: {
        double ra = 0, dec = 0;
        ConvertEclipticToEquatorial(&c->currentDate, &ra, &dec, a, b, kTrueObliquity);
        a = ReduceToFullTurn(ra);
        b = dec;
        break;
    }
    default:
        return 0;
    }
    // out of the apparent place of date
    switch (to) {
    case kIndexJ2000:
        ApparentToJ2000(c, &a, &b);
        break;
    case kIndexApparent:
        break;
    case kIndexHorizon:
        if (ConvertEquatorialToHorizontal(&c->site, &c->savedDate, &a, &b) != 1) return 0;
        if (fromApparentHorizon) result = b >= 0 ? 1 : 0;
        break;
    case kIndexApparentHorizon: {
        int r = ConvertEquatorialToApparentHorizontal(&c->site, &c->savedDate,
                                                      c->extinctionCoefficient, &a, &b, nullptr,
                                                      always);
        if (r < 0) return 0;
        result = r;
        break;
    }
    case kIndexEcliptic: {
        ReplaceByEcliptic(&c->currentDate, &a, &b);
        break;
    }
    case kIndexGalactic: {
        ApparentToJ2000(c, &a, &b);
        ReplaceByGalactic(&a, &b);
        break;
    }
    default:
        return 0;
    }
    *lon = a;
    *lat = b;
    return result;
}

int GridFrameIndex(int gridFrame) {
    switch (gridFrame) {
    case kGridJ2000: return kIndexJ2000;
    case kGridApparent: return kIndexApparent;
    case kGridHorizon: return kIndexHorizon;
    case kGridApparentHorizon: return kIndexApparentHorizon;
    case kGridEcliptic: return kIndexEcliptic;
    case kGridGalactic: return kIndexGalactic;
    default: return -1;  // grid frame 5 has been turned into 4 before any walk converts
    }
}

}  // namespace

int ConvertBetweenFrameIndexes(ChartContext *chart, int from, int to, double *lon, double *lat,
                               int always) {
    if (!chart || !lon || !lat) return 0;
    return ConvertBetweenFrames(chart, from, to, lon, lat, always);
}

int ConvertPointToChartFrame(ChartContext *chart, double *rightAscension, double *declination,
                             int always) {
    if (!chart || !rightAscension || !declination) return 0;
    double a = *rightAscension, b = *declination;
    int result = 1;
    switch (chart->frameMode) {
    case kFrameJ2000:
        break;
    case kFrameApparent:
        ApplyPrecession(&chart->precessionToDate, &a, &b, 0, 0, 0);
        break;
    case kFrameHorizon:
        ApplyPrecession(&chart->precessionToDate, &a, &b, 0, 0, 0);
        if (ConvertEquatorialToHorizontal(&chart->site, &chart->savedDate, &a, &b) != 1) return 0;
        if (!always && b < chart->site.horizonDip) result = 0;
        break;
    case kFrameApparentHorizon: {
        ApplyPrecession(&chart->precessionToDate, &a, &b, 0, 0, 0);
        int r = ConvertEquatorialToApparentHorizontal(&chart->site, &chart->savedDate,
                                                      chart->extinctionCoefficient, &a, &b, nullptr,
                                                      always);
        if (r < 0) return 0;
        result = r;
        break;
    }
    case kFrameEcliptic: {
        ApplyPrecession(&chart->precessionToDate, &a, &b, 0, 0, 0);
        ReplaceByEcliptic(&chart->savedDate, &a, &b);
        break;
    }
    case kFrameGalactic: {
        ReplaceByGalactic(&a, &b);
        break;
    }
    default:
        return 0;
    }
    *rightAscension = a;
    *declination = b;
    return result;
}

int ConvertPointFromChartFrame(ChartContext *chart, double *longitude, double *latitude) {
    if (!chart || !longitude || !latitude) return 0;
    double a = *longitude, b = *latitude;
    switch (chart->frameMode) {
    case kFrameJ2000:
        break;
    case kFrameApparent:
        ApplyPrecession(&chart->precessionToJ2000, &a, &b, 0, 0, 0);
        break;
    case kFrameHorizon:
        if (ConvertHorizontalToEquatorial(&chart->site, &chart->savedDate, &a, &b) != 1) return 0;
        ApplyPrecession(&chart->precessionToJ2000, &a, &b, 0, 0, 0);
        break;
    case kFrameApparentHorizon:
        if (ConvertApparentHorizontalToEquatorial(&chart->site, &chart->savedDate,
                                                  chart->extinctionCoefficient, &a, &b, nullptr) != 1)
            return 0;
        ApplyPrecession(&chart->precessionToJ2000, &a, &b, 0, 0, 0);
        break;
    case kFrameEcliptic: {
        double ra = 0, dec = 0;
        ConvertEclipticToEquatorial(&chart->savedDate, &ra, &dec, a, b, kTrueObliquity);
        a = ra;
        b = dec;
        ApplyPrecession(&chart->precessionToJ2000, &a, &b, 0, 0, 0);
        break;
    }
    case kFrameGalactic: {
        double ra = 0, dec = 0;
        ConvertGalacticToJ2000(&ra, &dec, a, b);
        a = ra;
        b = dec;
        break;
    }
    default:
        return 0;
    }
    *longitude = ReduceToFullTurn(a);
    *latitude = b;
    return 1;
}

int ConvertFrameToChartFrame(ChartContext *chart, double *longitude, double *latitude,
                             int frameIndex) {
    if (!chart || !longitude || !latitude) return 0;
    if (frameIndex < 0 || frameIndex >= kFrameIndexCount) return 0;
    return ConvertBetweenFrames(chart, frameIndex, chart->frameMode - 1, longitude, latitude, 0);
}

int ConvertGridPointToChartFrame(ChartContext *chart, int gridFrame, double *longitude,
                                 double *latitude) {
    int index = GridFrameIndex(gridFrame);
    if (index < 0) return 0;
    return ConvertFrameToChartFrame(chart, longitude, latitude, index);
}

int ConvertChartPointToGridFrame(ChartContext *chart, int gridFrame, double *longitude,
                                 double *latitude) {
    if (!chart || !longitude || !latitude) return 0;
    int index = GridFrameIndex(gridFrame);
    if (index < 0) return 0;
    return ConvertBetweenFrames(chart, chart->frameMode - 1, index, longitude, latitude, 1);
}

void MirrorGridPixel(const ChartContext *chart, const ChartGrid *grid, int *x, int *y) {
    if (!chart || !grid) return;
    if (y && !grid->mirrorY) *y = chart->verticalMirrorSum - *y;
    if (x && !grid->mirrorX) *x = chart->horizontalMirrorSum - *x;
}
