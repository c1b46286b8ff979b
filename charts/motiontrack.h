// Motion tracks on a chart: the path of a planet, comet or minor planet
// against the stars, of a planet's satellites along their orbits, over a
// span of time. The set-up chooses a time step that moves the object about a
// given number of pixels, rounds it to a readable unit, decides how often a
// tick with a date label is drawn and fixes the start and end times; the
// tick labels and their placement beside the track are here too. Times are
// Julian dates (UT) or T(TT) in Julian centuries from J2000; steps in days.
#pragma once
#include <cstdint>

#include "astro/datetime.h"
#include "ephem/binaryorbit.h"
#include "ephem/bodyrecord.h"
#include "ephem/orbit.h"

struct ChartContext;
struct MinorPlanetEphemeris;

// Track modes.
const int kTrackOneObject = 0;
const int kTrackCollectedBodies = 1;
const int kTrackSatellites = 2;
const int kTrackDoubleStar = 3;

// Set-up kinds.
const int kSetUpOwnMotion = 1;
const int kSetUpSatelliteOrbit = 2;
const int kSetUpDoubleStarOrbit = 3;

const int kTickHistorySize = 6;
// One span for the body and one for each of its satellites 1 to 9.
const int kTrackSpanCount = 1 + kMaxSatellites;
// Size of a tick-label buffer.
const int kTickLabelSize = 32;

struct TickHistory {
    int32_t count;
    int32_t labelOffset;   // pixels
    int32_t x[kTickHistorySize], y[kTickHistorySize];
};

// In memory only; the chart owns it.
struct MotionTrack {
    int32_t objectClass, satellite, index;
    int32_t mode;                   // kTrack...
    int32_t sampleFlag;             // collect J2000 samples along the span
    int32_t labelSpacing;           // pixels
    double span[kTrackSpanCount];   // days; the body's, then satellites 1..9
    double secondSpan;              // days: the span the chart asked for
    DateRecord start;
    BodyRecord body;
    OrbitRecord orbit;              // of a comet or minor planet
    MinorPlanetEphemeris *ephemeris;  // of a packaged minor planet
    BinaryOrbit binary;             // of a double star's companion
    int32_t binaryReserved[2];      // cleared at set-up
    int32_t orbitNumber;
    double orbitCorrection;         // degrees added to the position angle (to J2000)
    double primaryRightAscension, primaryDeclination;  // J2000
    double primaryMotionRightAscension, primaryMotionDeclination;  // rad per year
    double step;                    // days; 0 when the object does not move a pixel
    double tickInterval;            // days
    double end;                     // T(TT)
    double nextTickTime;            // T(TT) of a star trail's next tick
    int32_t lastLabelledDay;        // -1 none
    int32_t keepStart, newLine, onePeriod, needsSetUp;
    int32_t minorPlanetNumber;
    int32_t satelliteHidden, fullDate;
    int32_t collected;              // set by the body collector
    int32_t sampleCursor;           // star trails: the next sample
    uint8_t starByte;               // star trails: the current star's flag byte
    int32_t sampleCount;
    float *sampleRightAscensions, *sampleDeclinations;  // count + 1 entries
    TickHistory history;
    int32_t lastX, lastY;
    int32_t pixelsSinceTick, pixelsBetweenTicks;
    int32_t pixelStep;              // target distance between points
};

// Fills the record for an object and the chart's current date; with the
// sample flag (not for class 5 and a span other than 0) the object's J2000
// places along the span are sampled. 1; 0 for a null chart or track, a
// pixel step below 1, or when the set-up or an allocation fails.
int InitMotionTrack(ChartContext *chart, MotionTrack *track, int objectClass, int satellite,
                    int32_t index, int mode, int sampleFlag, double span, int labelSpacing,
                    int pixelStep, int keepStart);
void FreeMotionTrackSamples(MotionTrack *track);

// Chooses the step from the date given (kind kSetUp...; for a double star
// the index is the star-catalogue number of the star asked for). 1; 0 on a failure
// (the chart's current date is then the saved one again). label
// (kTrackLabelSize bytes, may be null) gets the object's label.
int SetUpMotionTrack(ChartContext *chart, MotionTrack *track, const DateRecord *date,
                     int objectClass, int satellite, int32_t index, int kind, int satelliteNumber,
                     char *label, int pixelStep);
const int kTrackLabelSize = 64;

int OpenMinorBodyTrack(ChartContext *chart, int objectClass, int32_t index, MotionTrack *track,
                       char *label);
void CloseMinorBodyTrack(int objectClass, MotionTrack *track);
// The astrometric J2000 place at the chart's current date; 1, or 0 (for a
// packaged minor planet the result of its ephemeris).
int ComputeMinorBodyTrackPlace(ChartContext *chart, MotionTrack *track, int objectClass,
                               double *rightAscension, double *declination, double *distance);

double RoundTrackStep(double days);
// step x target / pixels (pixels below 1 count as 1).
double ScaleTrackStep(double step, double pixels, double target);
double ScaleTrackStepRounded(double step, double pixels, double target);

// The tick label of the chart's current date into buffer (kTickLabelSize
// bytes); returns buffer.
char *FormatTrackTickLabel(ChartContext *chart, const MotionTrack *track, char *buffer,
                           int fullDate);

void ResetTickHistory(TickHistory *history);
void PushTickHistory(TickHistory *history, int x, int y);
// 0 with an empty history, else 1 with the label position and angle.
int ComputeTickLabelOffset(const TickHistory *history, int x, int y, int *labelX, int *labelY,
                           double *angle);
// The character after the first ':' of text, else its last; '\0' for an
// empty or null text.
char GetCharacterAfterColon(const char *text);

// The satellite at the chart's satellite cursor (number cursor + 1) of the
// planet in the track: 1 with a screen point, 0 when skipped or off the
// chart, -1 when the planet cannot be placed. visible: 1 unless it is behind
// the planet's disc or in its shadow.
int ComputeSatelliteTrackPoint(ChartContext *chart, MotionTrack *track, int *x, int *y,
                               char *label, int *visible);

// The companion of the double star in the track at the chart's current
// date, in the chart frame: 1, or 0 when its orbit cannot be solved or it
// lies below the horizon of a horizon chart.
int PlaceCompanion(ChartContext *chart, MotionTrack *track, double *longitude, double *latitude);
