// Conversions between the catalogue frame (J2000) and the six chart frames at
// the saved chart date, and the horizon routines of a chart's site.
#include <cmath>

#include "astro/chartgeom.h"
#include "astro/frames.h"
#include "charts/chartcontext.h"
#include "charts/framepairs.h"
#include "core/mathutil.h"

namespace {

double Wrap(double x) { return ReduceToFullTurn(x); }

// Frames 2 to 5 start from the apparent place of date.
void ToApparentOfDate(ChartContext *c, double *ra, double *dec, double mra, double mdec) {
    ApplyPrecession(&c->precessionToDate, ra, dec, mra, mdec, 0);
    ConvertMeanToApparentPlace(&c->savedDate, ra, dec, 1);
}
void FromApparentOfDate(ChartContext *c, double *ra, double *dec, double mra, double mdec) {
    ConvertApparentToMeanPlace(&c->savedDate, ra, dec, 1);
    ApplyPrecession(&c->precessionToJ2000, ra, dec, mra, mdec, 1);
}

}  // namespace

int PrepareChartPrecession(ChartContext *chart) {
    if (!chart) return 0;
    double t = chart->savedDate.centuries;
    return InitPrecession(&chart->precessionToDate, 0.0, t, 1, 1) &&
           InitPrecession(&chart->precessionToJ2000, t, 0.0, 1, 1);
}

int ConvertToChartFrame(ChartContext *chart, double *rightAscension, double *declination,
                        double motionRightAscension, double motionDeclination, double *magnitude) {
    if (!chart || !rightAscension || !declination) return 0;
    double ra = *rightAscension, dec = *declination;
    switch (chart->frameMode) {
    case kFrameJ2000:
        ApplyProperMotion(&chart->precessionToDate, &ra, &dec, motionRightAscension, motionDeclination);
        break;
    case kFrameApparent:
        ToApparentOfDate(chart, &ra, &dec, motionRightAscension, motionDeclination);
        break;
    case kFrameHorizon: {
        ToApparentOfDate(chart, &ra, &dec, motionRightAscension, motionDeclination);
        if (ConvertEquatorialToHorizontal(&chart->site, &chart->savedDate, &ra, &dec) != 1) return 0;
        *rightAscension = ra;
        *declination = dec;
        return dec >= chart->site.horizonDip ? 1 : 0;
    }
    case kFrameApparentHorizon: {
        ToApparentOfDate(chart, &ra, &dec, motionRightAscension, motionDeclination);
        int r = ConvertEquatorialToApparentHorizontal(&chart->site, &chart->savedDate,
                                                      chart->extinctionCoefficient, &ra, &dec,
                                                      magnitude, 0);
        if (r < 0) return 0;
        *rightAscension = ra;
        *declination = dec;
        return r;
    }
    case kFrameEcliptic: {
        ToApparentOfDate(chart, &ra, &dec, motionRightAscension, motionDeclination);
        ReplaceByEcliptic(&chart->savedDate, &ra, &dec);
        break;
    }
    case kFrameGalactic: {
        ReplaceByGalactic(&ra, &dec);
        break;
    }
    default:
        return 0;
    }
    *rightAscension = ra;
    *declination = dec;
    return 1;
}

int ConvertFromChartFrame(ChartContext *chart, double *longitude, double *latitude,
                          double motionRightAscension, double motionDeclination) {
    if (!chart || !longitude || !latitude) return 0;
    double a = *longitude, b = *latitude;
    switch (chart->frameMode) {
    case kFrameJ2000:
        ApplyProperMotion(&chart->precessionToJ2000, &a, &b, motionRightAscension, motionDeclination);
        break;
    case kFrameApparent:
        FromApparentOfDate(chart, &a, &b, motionRightAscension, motionDeclination);
        break;
    case kFrameHorizon:
        if (ConvertHorizontalToEquatorial(&chart->site, &chart->savedDate, &a, &b) != 1) return 0;
        FromApparentOfDate(chart, &a, &b, motionRightAscension, motionDeclination);
        break;
    case kFrameApparentHorizon:
        if (ConvertApparentHorizontalToEquatorial(&chart->site, &chart->savedDate,
                                                  chart->extinctionCoefficient, &a, &b, nullptr) != 1)
            return 0;
        FromApparentOfDate(chart, &a, &b, motionRightAscension, motionDeclination);
        break;
    case kFrameEcliptic: {
        double ra, dec;
        ConvertEclipticToEquatorial(&chart->savedDate, &ra, &dec, a, b, kTrueObliquity);
        a = ra;
        b = dec;
        FromApparentOfDate(chart, &a, &b, motionRightAscension, motionDeclination);
        break;
    }
    case kFrameGalactic: {
        double ra, dec;
        ConvertGalacticToJ2000(&ra, &dec, a, b);
        a = ra;
        b = dec;
        ApplyProperMotion(&chart->precessionToJ2000, &a, &b, motionRightAscension, motionDeclination);
        break;
    }
    default:
        return 0;
    }
    *longitude = Wrap(a);
    *latitude = b;
    return 1;
}

int ConvertHorizontalToCatalogue(ChartContext *chart, double *azimuth, double *altitude) {
    if (!chart || !azimuth || !altitude) return 0;
    double ha = 0, dec = 0;
    ConvertHorizontalToHourAngle(&chart->site, &ha, &dec, *azimuth, *altitude);
    double ra = GetPositiveHourAngle(&chart->savedDate, ha, kApparentSiderealTime);
    ConvertApparentToMeanPlace(&chart->savedDate, &ra, &dec, 1);
    ApplyPrecession(&chart->precessionToJ2000, &ra, &dec, 0, 0, 0);
    *azimuth = Wrap(ra);
    *altitude = dec;
    return 1;
}

int ConvertCatalogueToHorizontal(ChartContext *chart, double *rightAscension, double *declination,
                                 int precess) {
    if (!chart || !rightAscension || !declination) return 0;
    double ra = *rightAscension, dec = *declination;
    if (precess) {
        ApplyPrecession(&chart->precessionToDate, &ra, &dec, 0, 0, 0);
        ConvertMeanToApparentPlace(&chart->savedDate, &ra, &dec, 1);
    }
    double ha = GetHourAngle(&chart->savedDate, ra, kApparentSiderealTime);
    double az = 0, alt = 0;
    int r = ConvertHourAngleToHorizontal(&chart->site, ha, dec, &az, &alt, 1);
    if (r < 0) return 0;
    *rightAscension = az;
    *declination = alt;
    return r;
}
