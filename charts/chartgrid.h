// Coordinate grids of a chart: the part of the sky the window shows in each
// of six reference frames (extents), the grid steps, the meridians and
// parallels walked as polylines with an adaptive step, their labels and
// intersections, the compass points and the reference marks (zenith,
// celestial and galactic poles, galactic centre), and the conversions between
// the grid frames and the chart's frame. Nothing is drawn here: every walker
// returns one window pixel and a pen code per call. The outline layers
// (charts/outlinelayers.h) walk on the same ChartGrid record. Angles are
// radians.
#pragma once
#include <cstdint>
#include <cstdio>

struct ChartContext;
struct ChartProjection;

// Grid frames (what a grid is drawn in, whatever the chart's own frame).
const int kGridJ2000 = 1;
const int kGridApparent = 2;
const int kGridHorizon = 3;
const int kGridApparentHorizon = 4;
const int kGridApparentHorizonLine = 5;  // 4 with the horizon line; becomes 4 once set up
const int kGridEcliptic = 6;
const int kGridGalactic = 7;

// Frame indexes of the extents (the chart frame modes less one).
const int kIndexJ2000 = 0;
const int kIndexApparent = 1;
const int kIndexHorizon = 2;
const int kIndexApparentHorizon = 3;
const int kIndexEcliptic = 4;
const int kIndexGalactic = 5;
const int kFrameIndexCount = 6;

// Grid levels: 0-2 fine to coarse grids, 3 a single line (horizon or
// ecliptic), 4 the local meridian of the apparent horizon frame.
const int kGridLevelFine = 0;
const int kGridLevelMedium = 1;
const int kGridLevelCoarse = 2;
const int kGridLevelLine = 3;
const int kGridLevelMeridian = 4;

// Pen codes of the walkers.
const int kPenEnd = 0;
const int kPenMove = 1;
const int kPenDraw = 2;
const int kPenNotShown = 3;
const int kPenIntersection = 4;
const int kPenNotProjectable = 8;
const int kPenCompassPoint = 32;
const int kPenReferenceMark = 96;

// Numbers of the reference marks (stored in the context's layer record counter).
const int kMarkCompassPoint = -1;
const int kMarkNorthCelestialPole = 1;
const int kMarkSouthCelestialPole = 2;
const int kMarkZenith = 3;
const int kMarkNorthGalacticPole = 4;
const int kMarkSouthGalacticPole = 5;
const int kMarkGalacticCentre = 6;

// What GetChartSkyOutline answers.
const int kSkyOutlineCircle = 256;
const int kSkyOutlineRectangle = 512;
const int kSkyOutlineEllipse = 768;

const int kOutlineHeaderSize = 22;

struct FrameExtent {
    double longitudeMin, longitudeMax;  // the range may start below 0 or pass 2 pi
    double latitudeMin, latitudeMax;
};

// The state of one grid, mark or outline pass; owned by the caller.
struct ChartGrid {
    int32_t gridFrame;
    double longitudeStep, latitudeStep;
    double latitude, longitude;          // walking cursor
    FrameExtent extents[kFrameIndexCount];
    double longitudeRange[2], latitudeRange[2];
    int32_t windowWidth, windowHeight;
    int32_t meridianPhase;               // 1 meridians, 0 parallels
    int32_t penState;                    // 1 line start, 2 drawing, 3 last point
    int32_t labelPhase;                  // labels started; outlines: the new-line flag
    int32_t mirrorY, mirrorX;            // 0: flip by the chart's mirror sum
    ChartProjection *projection;
    double angularStep, initialAngularStep;
    double previousSegmentLength;        // pixels; -1 after a line start
    int32_t pixelTolerance;
    FILE *outlineFile;
    uint8_t outlineHeader[kOutlineHeaderSize];
    int32_t pointIndex, outlineIndex, subStepCounter;
    int32_t level;
    int32_t previousX, previousY;
    double interpolationStep[2];
    double outlinePosition[2];
    int32_t outlineFileSize;             // bytes of the open outline file (reads are checked against it)
};

// ---- conversions --------------------------------------------------------------

// J2000 mean place to the chart frame without nutation or aberration. 1, or
// the horizon conversion's answer in the horizon modes (always not 0: 1 even
// below the horizon dip).
int ConvertPointToChartFrame(ChartContext *chart, double *rightAscension, double *declination,
                             int always);
// The inverse (right ascension in [0, 2 pi)). 1; 0 without a chart.
int ConvertPointFromChartFrame(ChartContext *chart, double *longitude, double *latitude);
// From frame index 0-5 into the chart's frame. 1, 0 for an index outside
// 0-5; into mode 4 the apparent-horizon answer (1 at or above the horizon
// dip); from the apparent horizon into mode 3 whether the altitude is at
// least 0.
int ConvertFrameToChartFrame(ChartContext *chart, double *longitude, double *latitude,
                             int frameIndex);
// The same for grid frames 1-7 (0 for grid frame 5 and others without a
// conversion), and back.
int ConvertGridPointToChartFrame(ChartContext *chart, int gridFrame, double *longitude,
                                 double *latitude);
int ConvertChartPointToGridFrame(ChartContext *chart, int gridFrame, double *longitude,
                                 double *latitude);

// Between any two frame indexes 0-5 (always: the apparent horizon answers 1
// even below the dip). The answers of ConvertFrameToChartFrame.
int ConvertBetweenFrameIndexes(ChartContext *chart, int fromIndex, int toIndex, double *longitude,
                               double *latitude, int always);

// ---- extents ------------------------------------------------------------------------

void WidenFrameExtent(int wrap, double longitude, double latitude, FrameExtent *extent);
// A chart-frame position converted into the six frames widens each extent.
void WidenAllFrameExtents(ChartContext *chart, const int wrap[kFrameIndexCount], double longitude,
                          double latitude, FrameExtent extents[kFrameIndexCount]);
void ComputeChartFrameExtents(ChartContext *chart, FrameExtent extents[kFrameIndexCount]);

// ---- grids -----------------------------------------------------------------------------

// Projection, pixel tolerance, initial angular step, window size, mirror
// flags and the six extents. 1; 0 without a chart or a grid.
int InitChartGrid(ChartContext *chart, ChartGrid *grid, int mirrorY, int mirrorX,
                  int pixelTolerance);
// A step of 0 asks for an automatic step. 1; 0 for a grid frame outside 1-7
// or a level outside 0-4.
int BeginGridLines(ChartContext *chart, ChartGrid *grid, int gridFrame, int level,
                   double longitudeStep, double latitudeStep);
// kPenMove, kPenDraw, kPenNotProjectable or kPenEnd. major (optional) is set
// when the line also belongs to the next coarser grid.
int NextGridLinePoint(ChartContext *chart, ChartGrid *grid, int *x, int *y, int *major);
// kPenIntersection, kPenNotProjectable or kPenEnd.
int NextGridIntersection(ChartContext *chart, ChartGrid *grid, int *x, int *y);
// 1 (latitude labels) or 2 (longitude labels) with a label, 0 at the end.
// label needs kGridLabelSize bytes; (x2, y2) is the point one latitude step
// further, which gives the label's direction; angle in [0, 2 pi).
const int kGridLabelSize = 32;
int NextGridLabel(ChartContext *chart, ChartGrid *grid, int *x, int *y, char *label,
                  double *angle, int *x2, int *y2);
// kPenCompassPoint, kPenReferenceMark, kPenNotProjectable or kPenEnd; label
// needs kGridLabelSize bytes. The mark's number goes to the chart's layer
// record counter.
int NextReferenceMark(ChartContext *chart, ChartGrid *grid, int *x, int *y, char *label);

double ChooseGridStep(double span, int level, int hours);
// Texts of grid labels (buffer of kGridLabelSize bytes). The degree sign is
// the Windows-1252 byte 0xB0.
char *FormatRaGridLabel(char *buffer, double angle, double step);
char *FormatDegreeGridLabel(char *buffer, double angle, double step);

// kSkyOutlineCircle, kSkyOutlineRectangle or kSkyOutlineEllipse with the
// centre of the sky's edge; 0 for other projections, without a chart or
// before the chart's search has been prepared.
int GetChartSkyOutline(ChartContext *chart, int *centreX, int *centreY);

// The grid's mirroring of a projected pixel.
void MirrorGridPixel(const ChartContext *chart, const ChartGrid *grid, int *x, int *y);
