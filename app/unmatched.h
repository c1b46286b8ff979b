// The unmatched-object scans of wizard step 2: every designation of the
// import file that the suite does not recognise and that has no designation
// link yet, in file order and once per occurrence; the fixed site and time at
// which the scans recognise; and the name written into a new designation link.
// Portable: the rows go to an UnmatchedRowSink, which the wizard backs with
// its list box and the tests with memory.
#pragma once

#include "app/importjob.h"

struct DateRecord;
struct DesignationPreferences;
struct LocationRecord;
struct ObjectRecord;

// Where a scan lists its rows.
struct UnmatchedRowSink {
    void *context;
    void (*reset)(void *context);                    // empty the list
    void (*addRow)(void *context, const char *text);  // append one row
};

// The scans' site "Default" (longitude, latitude and elevation 0, naked-eye
// limit 6.5, 18.3 degrees Celsius, humidity 60 %, seeing rating 2, zone 0 h)
// and 0 h local time on 1 January 2000 there, completed with Delta T,
// nutation and sidereal times.
void MakeUnmatchedScanSiteAndTime(LocationRecord *site, DateRecord *date);

// The scans of the job's file under its format: the delimited-text scan and
// the tagged-text scan. Each empties the list first, then adds one row per
// unrecognised, unlinked target, in file order. The number of rows added, or
// -1 with the message in the import error line when the file cannot be read
// or holds a line the passes refuse (too long, not text). Both read the
// lines the passes read (app/importlines.h): the lines to skip, comment and
// blank lines are passed over alike.
// The delimited scan reads the target only where the import pass reads it:
// at the target's position in the role table (positions 0 to 49), so that
// the scan and the pass agree on which field is the designation. Empty
// targets are not listed (a link cannot be made for them).
int ScanUnmatchedDesignationsDelimited(const UnmatchedRowSink *list, const ImportJob &job);
int ScanUnmatchedDesignationsXml(const UnmatchedRowSink *list, const ImportJob &job);

// The designation written into a link for an object chosen in the picker:
// the object's first name in the preferred order when the importer's
// recognition (at the scan site and time) gives that same object back, else
// the first of its further designations that does (its second name, its
// names in natural order, its name of each kind). name holds 65 bytes.
// 1 with a name that was recognised back; 0 with the first name when none
// was (the name may still be recognised at an entry's own date); -1 with an
// empty name when the object cannot be named at all.
int ChooseLinkDesignation(const ObjectRecord *object, const DesignationPreferences *prefs,
                          char *name);

// 1 when the link line "designation#name" can be found again by the link
// lookup: the designation holds no '#' (the lookup cuts the line at its first
// '#') and the line, without its line end, fits the 511 characters the lookup
// reads of a line (a longer one would give a cut name); else 0.
int CanRecordDesignationLink(const char *designation, const char *name);
