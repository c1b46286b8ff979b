// Recording an obstructed horizon with a telescope: readings of azimuth and
// altitude taken while the user sweeps the telescope along the obstructions,
// kept in segments. The readings of a run go to "<user folder>/hor.txt", those
// of the segment being taken to "<user folder>/horseg.txt", one line
// "azimuth altitude" in degrees each (azimuth from the north through the
// east). A stopped segment joins hor.txt when the next starts or the run is
// finished, and "Delete Last Readings" drops it. Finishing builds the site's
// horizon file from hor.txt (ImportHorizonText). Also the messages of the
// answers of a horizon import.
#pragma once
#include <cstdio>
#include <string>

struct DateRecord;
struct LocationRecord;

// Where readings come from: the telescope's right ascension and declination
// (radians) through the host program, or a fake in tests. Both answer
// non-zero on success.
struct HorizonReadingSource {
    int (*connected)();
    int (*position)(double *rightAscension, double *declination);
};
// The host program's telescope (IsTelescopeConnected, GetTelescopePosition).
const HorizonReadingSource *HostTelescopeSource();
// The source the recording dialog reads; the host's unless a test set another
// (null puts the host's back).
const HorizonReadingSource *GetHorizonReadingSource();
void SetHorizonReadingSource(const HorizonReadingSource *source);

// The state of one recording run.
struct HorizonRun {
    std::FILE *segment = nullptr;  // horseg.txt while a segment is being taken
    int pending = 0;               // a stopped segment not yet joined to hor.txt
    int running = 0;               // a segment is being taken
    int inProgress = 0;            // from Begin to Finish or Cancel
};

// "<user folder>/hor.txt" and "<user folder>/horseg.txt"; "" without a folder.
std::string HorizonReadingsPath();
std::string HorizonSegmentPath();

// Begin: hor.txt is deleted and the run is in progress.
void BeginHorizonRun(HorizonRun *run);
// Start Readings: a pending segment joins hor.txt, then horseg.txt is made
// afresh. 1 when the segment file is open (running), 0 when it cannot be made
// or the pending segment could not be joined (then it stays pending).
int StartReadingSegment(HorizonRun *run);
// Stop Readings: the segment file is closed and becomes pending when it was
// open.
void StopReadingSegment(HorizonRun *run);
// Delete Last Readings: the stopped (or running) segment is dropped.
void DeleteHorizonReadings(HorizonRun *run);
// Copies horseg.txt onto the end of hor.txt. 1 when all of it went.
int AppendReadingSegment();
// Finish: a running segment is closed and, like a stopped one, joined to
// hor.txt; then the site's horizon is built from hor.txt. The answer of
// ImportHorizonText (badLine as there), or -1 when a segment could not be
// joined (the horizon file is not touched then). The run is over either way.
int BuildHorizonFromReadings(HorizonRun *run, const LocationRecord *site, char *badLine);
// Cancel or Close: the segment file is closed and the run is over.
void EndHorizonRun(HorizonRun *run);

// Azimuth from the north through the east and altitude, degrees, of a
// telescope's right ascension and declination (radians) at the date for the
// site (hour angle from the apparent sidereal time).
void TelescopeAltAz(const LocationRecord *site, const DateRecord *date, double rightAscension,
                    double declination, double *azimuthDeg, double *altitudeDeg);
// One reading from the source for the site now, written as a line to the
// file. 1 when a line was written; 0 when the source gave no position or the
// write failed.
int WriteHorizonReading(std::FILE *file, const LocationRecord *site, const HorizonReadingSource *source);
// Take a Single Reading: one reading appended to hor.txt. 1 when written.
int TakeSingleHorizonReading(const LocationRecord *site, const HorizonReadingSource *source);

// The message box of an import's answer: its text and whether it reports an
// error (answers 0 and below) or success (1 and above).
struct HorizonResultMessage {
    std::string text;
    bool error;
};
HorizonResultMessage DescribeHorizonResult(int answer, const char *badLine);
