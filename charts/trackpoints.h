// Walking a motion track point by point: each call gives the next screen
// point of the track (a planet, comet or minor planet, every collected body
// in turn, or a planet's satellites), with pen codes for the polylines and
// ticks carrying date labels at regular on-screen intervals. The time step
// adapts so that successive points lie about the track's pixel step apart.
#pragma once
#include <cstdint>

#include "charts/motiontrack.h"
#include "charts/solarlayer.h"

// Results of NextTrackPoint.
const int kTrackEnd = 0;
const int kTrackNewLine = 1;
const int kTrackContinue = 2;
const int kTrackTick = 4;
const int kTrackPenUp = 8;
const int kTrackHidden = 16;

// The next point (see the constants above), -1 when a place or a set-up
// fails. label (kTrackLabelSize bytes) gets a name at a new line or the date
// at a tick; labelX, labelY and labelAngle where to put a tick's label.
// Every 0 leaves the chart's current date at the chart time and its hit
// cursor at 0. A track whose span is 0, or which does not move by a pixel
// (step 0), yields no point.
int NextTrackPoint(ChartContext *chart, const SolarSystemHit *hits, MotionTrack *track, int *x,
                   int *y, int *labelX, int *labelY, char *label, double *labelAngle,
                   int skipMoon);

// The step every track takes for a point placed on the chart at (x, y):
// a new line after a pen-up, the time step scaled so that the next point
// falls about the pixel step away (a point on the same pixel counts as 1
// pixel away), a new line after a jump of more than ten pixel steps, and a
// tick with its date label (fullDate as FormatTrackTickLabel; labelDays:
// remember the labelled day) once the pixels between ticks are covered.
// The chart's current date advances by the step. -1 for a pixel step below 1.
int TakeTrackPointStep(ChartContext *chart, MotionTrack *track, int x, int y, char *label,
                       int *labelX, int *labelY, double *labelAngle, int fullDate, int labelDays);

struct ChartLabelSettings;

// The trail a star leaves on a chart that follows a moving object through
// the J2000 samples of the track (InitMotionTrack with the sample flag): the
// chart is re-centred on each sample in turn and the star, read once at the
// chart's own centre, placed on it. Results as NextTrackPoint (no jump test;
// a tick always gives kTrackTick); 0 when no star is left (the chart back on
// its centre at its time), -1 when the chart cannot be re-centred, -2 when
// the track has no samples. label: the star's label at a new star, the date
// at a tick.
int NextStarTrailPoint(ChartContext *chart, const ChartLabelSettings *labels, MotionTrack *track,
                       int *x, int *y, uint8_t *starByte, int *labelX, int *labelY, char *label,
                       double *labelAngle, double secondParameter, double windowAngle);
