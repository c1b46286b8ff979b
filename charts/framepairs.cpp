// The in-place frame conversions of the chart walks.
#include "charts/framepairs.h"

#include "astro/frames.h"

void ReplaceByEcliptic(const DateRecord *date, double *a, double *b) {
    double lon = 0, lat = 0;
    ConvertEquatorialToEcliptic(date, *a, *b, &lon, &lat, kTrueObliquity);
    *a = lon;
    *b = lat;
}

void ReplaceByGalactic(double *a, double *b) {
    double l = 0, lat = 0;
    ConvertJ2000ToGalactic(*a, *b, &l, &lat);
    *a = l;
    *b = lat;
}
