// The layers of the user's own data: the user's stars, deep-sky objects and
// sky marks (the supplemental stores), the user's star fields, and the
// plotted images of one images group. Each is a Begin operation and a
// ReadNext operation on a ChartContext returning one item per call.
#pragma once
#include <cstdint>

#include "charts/projection.h"

struct ChartContext;
struct ChartStar;
struct DeepSkyPlotItem;
struct ImagePlotRecord;

const int kUserObjectNameSize = 33;
const int kImageFileNameSize = 65;
const int kClassLimitEntrySize = 17;  // a caller's per-layer entry: the faint limit (double) first

// Shown modes of ReadNextImage.
const int kImagesNone = 0;
const int kImagesAllShown = 1;
const int kImagesAllHidden = 2;
const int kImagesAsStored = 3;

struct ImagePlotItem {
    double rightAscension, declination;  // image centre; in the chart's frame after the call
    int32_t x, y;                        // centre pixel
    int32_t cornerX[4], cornerY[4];      // top-left, bottom-left, bottom-right, top-right
    int32_t index;                       // record in the plot file, from 0
    uint8_t shown;
    char fileName[kImageFileNameSize];
};

// One image's projection: a chart projection over the image's pixels and
// the image's rotation.
struct ImageProjection {
    ChartProjection projection;
    double rotation;
    double sinRotation, cosRotation;  // of pi - rotation
    double pixelCentreX, pixelCentreY;
};

// User stars: the id (1 and up), 0 at the end, -1 without a context or file.
int BeginUserStarLayer(ChartContext *chart);
int ReadNextUserStar(ChartContext *chart, ChartStar *star, char *name);
// classLimits: 8 entries of kClassLimitEntrySize bytes (stars, galaxies,
// groups, quasars, planetary nebulae, bright nebulae, open and globular
// clusters); darkMinimum: the least magnitude a user dark nebula passes with.
int BeginUserDeepSkyLayer(ChartContext *chart);
int ReadNextUserDeepSkyObject(ChartContext *chart, const uint8_t *classLimits, DeepSkyPlotItem *item,
                              double darkMinimum);
int BeginSkyMarkLayer(ChartContext *chart);
int ReadNextSkyMark(ChartContext *chart, ChartStar *star, char *name);

// Star fields within reach of the window (their centre within half the
// window's diagonal plus their radius of the chart centre).
int BeginStarFieldLayer(ChartContext *chart);
int OpenNextStarField(ChartContext *chart);
int ReadNextStarFieldStar(ChartContext *chart, ChartStar *star);
void EndStarFieldLayer(ChartContext *chart);

int BeginImageLayer(ChartContext *chart, int groupId);
// 1 an image (visible on the chart), 0 at the end, -1 without a file.
int ReadNextImage(ChartContext *chart, ImagePlotItem *item, double windowAngle, int shownMode);
int InitImageProjection(const ImagePlotRecord *record, ImageProjection *projection, int unused,
                        double windowAngle);
int ImagePixelToSky(ImageProjection *projection, int x, int y, double *rightAscension,
                    double *declination);
