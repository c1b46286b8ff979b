// The working entry of an import pass and the steps both passes share: the
// pass context with its open files, the resolution of each value read from the
// log file (target, site, observer, instrument, date, time, conditions, extra
// data, description), and the completion of an entry once its values are
// gathered (date for the site, recognition with the designation links, list
// text, notes, the log entry, the preview record or the add to the log).
//
// A pass runs:
//   ImportPassContext ctx;                       // may live on the stack
//   if (BeginImportPass(&ctx, list, job, preview, added) < 0) return -1;
//   for each entry:
//       ResetWorkingEntry(&ctx);  ApplyFixedValues(&ctx);
//       for each value: if (ApplyXxxText(&ctx, text) < 0) return FailImportPass(&ctx);
//       if (CompleteEntry(&ctx) < 0) return FailImportPass(&ctx);
//   return FinishImportPass(&ctx);
// Every function that fails writes its message into the error line
// (ImportErrorLine) and returns -1. The context's destructor closes whatever
// is still open, so an early return never leaks a file.
#pragma once
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/formatfile.h"
#include "app/importjob.h"
#include "app/importlines.h"
#include "app/importpass.h"
#include "app/recognizeretry.h"
#include "astro/datetime.h"
#include "astro/location.h"
#include "instruments/instrumentrecord.h"
#include "logstore/logrecords.h"
#include "objects/objectrecord.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"

const int kWorkingTargetSize = 136;      // the target used for recognition, 135 characters
const int kConditionTextSize = 65;       // one condition text, 64 characters
const int kConditionTextCount = 2;       // further condition texts are ignored
const int kExtrasTextSize = 512;         // extras stay under 512 characters
const int kPreviewTextSize = 64;         // texts as read in the preview record
const int kNotesRecordSize = 256;        // notes kept in the preview record
const char kUseGlobalValue[] = "Use global value";
const char kBlankNameText[] = "(blank)";

// The values of one entry as they are gathered. Rebuilt for every line or
// element; ResetWorkingEntry clears it. The instrument lives on the heap
// (330,152 bytes); MakeWorkingEntry allocates it.
struct WorkingEntry {
    LocationRecord site;
    LocationTrailer trailer;
    ObserverRecord observer;
    std::unique_ptr<InstrumentRecord> instrument;
    // Date and time as read. month/day/year -1 until a date is read; the
    // year as written (two-digit years are completed by CompleteEntry).
    int month, day, year;
    double dateHours;        // from the date text (0 when it holds no time)
    int dateUniversal;       // 1 when the date text gave UT (a "UT" word, a JD)
    int timeGiven;           // 1 when a time value was read (it wins over dateHours)
    int timeReadable;        // 0 when the time value did not read as a time
    double timeHours;
    int timeUniversal;
    DateRecord date;         // completed by CompleteEntry
    std::string dateText;    // date as read (63 characters)
    std::string timeText;    // time as read (31 characters)
    char target[kWorkingTargetSize];         // the designation used for recognition
    char conditions[kConditionTextCount][kConditionTextSize];
    int conditionCount;
    std::string extras;      // "a, b, c"
    std::string description; // the whole field
    int descriptionGiven;
    ObjectRecord object[3];  // the recogniser's records; object[0] is the entry's
    int notRecognised;
    int siteDefined, observerDefined, instrumentDefined;
    // Texts as read, for the preview record (NUL-terminated, cut to fit).
    char siteText[kPreviewTextSize];
    char observerText[kPreviewTextSize];
    char instrumentText[kPreviewTextSize];
    char targetText[kPreviewTextSize];
};

// A working entry with its instrument allocated, already reset; null when
// memory runs out.
std::unique_ptr<WorkingEntry> MakeWorkingEntry();

// Counts of one pass beyond the processed count.
struct ImportPassTally {
    int processed = 0;        // entries completed (recognised or not)
    int added = 0;            // final pass: store acceptances (new or already held)
    int alreadyLogged = 0;    // final pass: of those, identical entries the log already held
    int notRecognised = 0;    // entries whose object was not recognised
    int skippedBlank = 0;     // delimited pass: blank lines passed over
    // Final pass: the class bits and log number of each entry accepted, so
    // that its end can tell how many are truly in the log.
    std::vector<std::pair<int32_t, int32_t>> accepted;
};

// One resolved name of a store, kept for the rest of the pass so that a name
// written on many lines is looked up once.
struct ResolvedSite {
    LocationRecord record;
    LocationTrailer trailer;
};
struct ResolvedInstrument {
    int storeIndex;           // index in instr.bin, or -1 when it came from a link
    // The record as read (330,152 bytes), kept for the first few names of a
    // pass so that a log that alternates instruments does not read the store
    // again on every change; null for the others.
    std::shared_ptr<const InstrumentRecord> record;
};
// Instrument records a pass keeps in memory (about 330 KB each).
const size_t kKeptInstrumentRecords = 16;

struct ImportPassContext {
    ImportPassContext();
    ~ImportPassContext();
    ImportPassContext(const ImportPassContext &) = delete;
    ImportPassContext &operator=(const ImportPassContext &) = delete;

    const ImportFormat *format = nullptr;     // the job's format (the job owns it)
    const ImportListSink *list = nullptr;     // may be null
    int preview = 0;
    int *added = nullptr;                     // the caller's count, may be null
    std::string importPath;
    FILE *importFile = nullptr;               // owned
    ImportLineReader lines;                   // the import file's lines (after the lines to skip)
    FILE *previewFile = nullptr;              // owned (preview only)
    FILE *linkFile = nullptr;                 // designation links, owned, may be null
    FILE *traceFile = nullptr;                // "gleaner.txt", owned, may be null
    ImportPassTally tally;
    std::unique_ptr<WorkingEntry> entry;
    // The preview record being built; its entry is the log entry that the
    // final pass adds.
    std::unique_ptr<PreviewRecord> record;
    // Per-pass caches keyed by the text as read.
    std::map<std::string, ResolvedSite> sites;
    std::map<std::string, ObserverRecord> observers;
    std::map<std::string, ResolvedInstrument> instruments;
    std::unique_ptr<InstrumentRecord> lastInstrument;  // record of lastInstrumentKey
    std::string lastInstrumentKey;
    // Recognition: null uses the suite's parser (IdentifyObjectText).
    DesignationParser parser = nullptr;
};

// Replaces the designation parser of every later pass (tests); null restores
// the suite's parser.
void SetImportDesignationParser(DesignationParser parser);

// Steps common to both passes before the first entry: empties "gleaner.txt"
// (a trace file that cannot be opened is passed over), opens the job's import
// file ("File not found: %s\n"), in the preview the preview file ("Unable to
// open output file: %s\n"), the designation-link file (missing: no links),
// and drops the format's lines to skip through the line reader. The job must
// outlive the pass (the context points at its format). 1, or -1 with the
// message (everything opened is closed again).
int BeginImportPass(ImportPassContext *ctx, const ImportListSink *list, const ImportJob &job,
                    int preview, int *added);
// Closes every file and returns the processed count; copies the tally to
// LastImportPassTally().
int FinishImportPass(ImportPassContext *ctx);
// Closes every file and returns -1 (the message stays in the error line);
// copies the tally to LastImportPassTally().
int FailImportPass(ImportPassContext *ctx);
// The tally of the last pass that finished or failed.
const ImportPassTally &LastImportPassTally();

// Clears the working entry: no date (month, day, year -1), no time, no texts,
// no conditions, extras or description, not-recognised 0, nothing defined,
// site, observer and instrument zeroed.
void ResetWorkingEntry(ImportPassContext *ctx);
// The format's fixed observer, instrument and site (in that order), each with
// its text "Use global value" and its defined flag. A fixed site gets a zero
// trailer (no named time zone).
void ApplyFixedValues(ImportPassContext *ctx);

// One value read from the file, by its role. Each returns 1, or -1 with the
// message in the error line.
// Target: the record's target text is the first 63 characters, the working
// target the first 135.
int ApplyTargetText(ImportPassContext *ctx, const char *text);
// Site: "(blank)" for an empty text; loc.bin by name, case-blind, then the
// site links (a linked site counts only when loc.bin holds it with the same
// name and coordinates). "General Error 1"/"General Error 2" for an unreadable
// record or trailer met before a match; "Error importing location: %s\n".
int ApplySiteText(ImportPassContext *ctx, const char *text);
// Observer: observer.bin by name, case-blind, then the observer links.
// "General Error 3"; "Error importing observer: %s\n".
int ApplyObserverText(ImportPassContext *ctx, const char *text);
// Instrument: instr.bin by name, exactly, then the instrument links. A name
// longer than the record's 31 characters can only match a link.
// "Error importing instrument: %s\n".
int ApplyInstrumentText(ImportPassContext *ctx, const char *text);
// Date: the text as read is kept (63 characters); '/' and '-' become blanks,
// the words are put in year-month-day order for the format's date layout and
// parsed. A text that does not read leaves the date unset (CompleteEntry then
// refuses the entry with "Error importing date: %s\n"). Always 1.
int ApplyDateText(ImportPassContext *ctx, const char *text);
// Time: kept as read (31 characters) and parsed; it sets the hours whatever
// the order of the date and time values. An empty text gives no time. A text
// that does not read as a time is refused by CompleteEntry. Always 1.
int ApplyTimeText(ImportPassContext *ctx, const char *text);
// Condition: the next of two condition texts (64 characters); with squeeze
// set runs of blanks become one (the delimited pass), else blanks stay (the
// tagged pass). Texts beyond the second are ignored. Always 1.
int ApplyConditionText(ImportPassContext *ctx, const char *text, int squeeze);
// Extra data: trimmed; appended after ", " while the extras stay under 512
// characters. Always 1.
int ApplyExtraText(ImportPassContext *ctx, const char *text);
// Description: the whole text; a later description replaces an earlier one.
// Always 1.
int ApplyDescriptionText(ImportPassContext *ctx, const char *text);

// Completes the entry, in this order: no date: "Error importing date: %s\n"
// (date text, time text appended); a time that does not read: the same
// message; site, observer, instrument not defined: "Location not defined for
// log entry\n", "Observer not defined for log entry\n", "Instrument not
// defined for log entry\n". Then: a year 0..49 becomes 2000 + year and 50..99
// becomes 1900 + year; the date is completed for the site (as universal time
// when the text said so); the designation is recognised, retried through the
// designation links; conditions, list text and notes are built; the row is
// listed (preview); the log entry is filled; the preview record is written
// (preview) or the recognised entry added to the log (final pass, a failed add
// asks the list's askGoOn). 1, or -1 with the message in the error line.
int CompleteEntry(ImportPassContext *ctx);

// Texts CompleteEntry builds, exposed for the passes' tests and the detail view.
// Conditions: "%s and %s", one text, or empty.
std::string ComposeConditionsText(const WorkingEntry &entry);
// Notes: "%s.\r\n\r\n%s" (extras, description), either alone, or empty.
std::string ComposeNotesText(const WorkingEntry &entry);
// The two-digit year rule: 0..49 -> 2000 + y, 50..99 -> 1900 + y, others unchanged.
int CompleteTwoDigitYear(int year);
