// The outline layers of a chart: constellation boundaries and stick figures,
// constellation names and labels, the Milky Way, the site's local horizon and
// the outlines of large visible nebulae. Each walks on a ChartGrid prepared by
// InitChartGrid (charts/chartgrid.h) and returns one window point per call
// with a pen code (kPen... of chartgrid.h); the caller draws.
//
// Files (positions J2000; "turns" are signed 32-bit fractions of a full turn,
// radians = value x 2 pi / 2147483647), all little-endian:
//   conbound.bin, conlines.bin (reference slot 0): 89 headers of 22 bytes
//     {uint32 offset of the points, int32 least and greatest declination,
//     int32 least and greatest right ascension (turns; the greatest below the
//     least when the box crosses 0 h), int16 count}, one per constellation;
//     conbound points are 9 bytes {int32 ra, int32 dec, uint8 jump}, conlines
//     segments 16 bytes {int32 ra1, dec1, ra2, dec2}.
//   connames.bin (reference slot 0): 89 records of 28 bytes {char[20] name,
//     int32 ra, int32 dec of the label position}.
//   milkyway.bin (map slot 0): outlines, each a uint16 count and that many
//     points {uint16 ra (x 2 pi / 65535), int16 dec (x pi / 32767)}.
//   visneb.bin (map slot 0): nebula records of 73 bytes from offset 0, then
//     their outlines (8-byte points {float ra, float dec} in radians).
//   the site's horizon file (sites/horizon.h).
#pragma once
#include <cstdint>

#include "charts/chartgrid.h"

struct ChartContext;
struct ChartLabelSettings;
struct ScreenPointList;

const int kBoundaryPointSize = 9;
const int kFigureSegmentSize = 16;
const int kConstellationNameRecordSize = 28;
const int kConstellationNameFieldSize = 20;
const int kMilkyWayOutlineLimit = 15;
const int kVisibleNebulaRecordSize = 73;
const int kVisibleNebulaLimit = 120;
const int kVisibleNebulaLabelSize = 38;  // 37 characters and the terminator
const int kOutlineLabelPen = kPenCompassPoint;  // 32: a label point

#pragma pack(push, 1)
struct VisibleNebulaRecord {
    uint16_t pointCount;        // 0
    int16_t nebulaNumber;       // 2  index in the bright-nebula catalogue
    uint32_t outlineOffset;     // 4
    uint8_t commonName;         // 8  255 none
    uint8_t messier;            // 9
    int16_t ngc;                // 10
    uint8_t unused12[2];        // 12
    int16_t ic;                 // 14
    uint8_t unused16[2];        // 16
    uint8_t vdb;                // 18
    uint8_t gum;                // 19
    uint8_t rcw;                // 20
    uint16_t sharpless;         // 21
    uint16_t lbn;               // 23
    char other[15];             // 25
    float magnitude;            // 40 above 90: none
    float size;                 // 44 radians
    float labelRightAscension;  // 48
    float labelDeclination;     // 52
    float boxRightAscension[2]; // 56 least, greatest
    float boxDeclination[2];    // 64 least, greatest
    uint8_t apertureClass;      // 72 0-7
};
#pragma pack(pop)
static_assert(sizeof(VisibleNebulaRecord) == kVisibleNebulaRecordSize, "VisibleNebulaRecord is 73 bytes");

// ---- constellation boundaries and figures ------------------------------------------

// 1 when conbound.bin is open (0 without a chart or grid, or no file).
int BeginConstellationBoundaries(ChartContext *chart, ChartGrid *grid);
// kPenMove, kPenDraw, kPenNotShown, kPenEnd; -1 for a damaged file or none open.
int NextBoundaryPoint(ChartContext *chart, ChartGrid *grid, int *x, int *y);
// 1 when conlines.bin is open; 0 when the reference directories are not set.
int BeginConstellationFigures(ChartContext *chart, ChartGrid *grid);
// 1 a segment (ends pulled in by endGap pixels), kPenNotShown skipped, 0 end, -1 error.
int NextFigureSegment(ChartContext *chart, ChartGrid *grid, int endGap, int *x1, int *y1, int *x2,
                      int *y2);
int CloseOutlineFile(ChartGrid *grid);
// The chart-frame ranges of a J2000 box (in: longitudes and latitudes of two
// corners; out: least and greatest of the four corners). In the horizon
// modes latitudes below 0 count as 0 and a box whose latitudes all lie
// below the horizon gets -pi/2 everywhere.
void ConvertBoxToChartFrame(ChartContext *chart, double longitude[2], double latitude[2]);

// ---- constellation names and labels ---------------------------------------------------

int OpenConstellationNameLayer(ChartGrid *grid);
// 1 a name whose position lies in the window (name needs
// kConstellationNameFieldSize bytes, may be null), 0 end, -1 no file.
int NextConstellationNamePoint(ChartContext *chart, ChartGrid *grid, int *x, int *y, char *name);
// 1; builds the label positions of the window's constellations.
int BeginConstellationLabels(ChartContext *chart);
// 1 a label (name of kConstellationNameFieldSize bytes), 0 end.
int NextConstellationLabel(ChartContext *chart, int *x, int *y, char *name);
// 1; 0 when the first allocation fails (a later failed growth drops the point).
int AppendScreenPoint(ScreenPointList *list, int x, int y);
void FreeConstellationLabelLists(ChartContext *chart);

// ---- Milky Way and horizon ---------------------------------------------------------------

int BeginMilkyWay(ChartGrid *grid);
int NextMilkyWayPoint(ChartContext *chart, ChartGrid *grid, int *x, int *y);
// 1 when the site's horizon file is open.
int BeginHorizonOutline(ChartContext *chart, ChartGrid *grid);
// longitude (optional) gets the point's horizon-frame longitude.
int NextHorizonPoint(ChartContext *chart, ChartGrid *grid, double *longitude, int *x, int *y);
// azimuth from the north through the east, altitude; the projection's answer.
int ProjectHorizonPoint(ChartContext *chart, double azimuth, double altitude, int *x, int *y);

// ---- visible nebulae --------------------------------------------------------------------------

int BeginVisibleNebulae(ChartContext *chart, double magnitudeLimit, ChartGrid *grid);
// label needs kVisibleNebulaLabelSize bytes; size in pixels (label points).
int NextVisibleNebulaPoint(ChartContext *chart, const ChartLabelSettings *settings, ChartGrid *grid,
                           int *x, int *y, int *size, char *label);
