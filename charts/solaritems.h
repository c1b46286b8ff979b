// The items of the solar-system layer: each collected body as a screen point
// with a symbol size (a comet with its coma and tail direction), the bodies
// at each time of a focus list, a planet's satellites and their shadows on
// its disc, and the chart centre lifted above the horizon.
#pragma once
#include <cstdint>

#include "charts/solarlayer.h"
#include "objects/objectrecord.h"

struct ChartLabelSettings;

// A chart that follows one object through a list of times.
struct ChartFocus {
    double centreRightAscension, centreDeclination;  // the chart's own centre
    int32_t follow;
    int32_t objectClass, satellite, index;           // class 0: none
    double projectionLatitude;
    ObjectRecord object;
    double *times;                                   // Julian dates (UT)
    int32_t count;
};

// Results of the item enumerators.
const int kSatelliteShadow = 1;
const int kSatelliteShown = 2;
const int kSatelliteTooClose = 3;

// The hit at the chart's cursor placed on the chart: its class (2, 3, 4, 13
// or 14), 0 past the last hit, -1 when its place cannot be computed. Bodies
// that cannot be converted or projected are passed over.
int NextCollectedBodyItem(ChartContext *chart, const SolarSystemHit *hits,
                          const ChartLabelSettings *labels, double *rightAscension,
                          double *declination, int *x, int *y, double *symbolRadius,
                          BodyRecord *work, double *magnitude, char *label);
// One body with its topocentric place, physical data and satellites: 1
// placed, 0 off the chart, -1 when its place cannot be computed.
int PlaceBodyOnChart(ChartContext *chart, BodyRecord *body, int bodyType, double *rightAscension,
                     double *declination, int *x, int *y, double *symbolRadius);
void ResetSatelliteEnumerator(ChartContext *chart);
// 0 past the last satellite, kSatelliteShadow, kSatelliteShown or
// kSatelliteTooClose (label: kSolarLabelSize bytes).
int NextPlanetSatellite(ChartContext *chart, const BodyRecord *planet, int *x, int *y, int *radius,
                        int *shadowRadius, double *shadowRatio, char *label);

int InitChartFocus(ChartFocus *focus, const ChartContext *chart, const ObjectRecord *object,
                   double *times, int count, int followRequest, int objectClass, int satellite,
                   int32_t index);
// Raises (never lowers) a J2000 centre whose altitude at the chart time is
// below 0.9 x the field to half the field above the horizon dip.
int LiftChartCentreAboveHorizon(ChartContext *chart, double *rightAscension, double *declination);
// The hits at each time of the focus list: the class placed, 0 when done,
// -1 when a place cannot be computed.
int NextFocusItem(ChartFocus *focus, ChartContext *chart, const SolarSystemHit *hits,
                  double *rightAscension, double *declination, int *x, int *y,
                  double *symbolRadius, int *shade, BodyRecord *work, int *satellite,
                  double parameter, double secondParameter, int lift);
