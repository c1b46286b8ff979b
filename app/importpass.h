// The two import passes over a log file under the current import format: the
// delimited-text pass and the tagged-text (XML) pass. Each reads the import
// file from its start; the preview pass writes every entry to the preview
// file "gleaner.bin" and lists it, the final pass adds every recognised entry
// to the log store. Both are portable: the list they fill and the question
// they may ask after a failed add go through an ImportListSink, which the
// wizard backs with its list box and a message box, and tests with memory.
#pragma once
#include <cstdint>

#include "app/formatfile.h"
#include "app/importjob.h"
#include "logstore/logrecords.h"

// Where a pass lists its entries and asks whether to go on.
struct ImportListSink {
    void *context;
    // Adds one row with the entry's list text; notRecognised is the row's
    // item data (1 for an entry whose object was not recognised). Rows are
    // added in entry order, so row i shows preview record i.
    void (*addRow)(void *context, const char *text, int32_t notRecognised);
    // Shows the message of a failed add and answers 1 to go on (Yes) or
    // 0 to stop the pass (No). Null: stop.
    int (*askGoOn)(void *context, const char *message);
};

#pragma pack(push, 1)
// One record of the preview file: the entry as built and the texts as read.
struct PreviewRecord {
    LogEntry entry;            // 0
    char dateText[64];         // 330,625: with the time text appended when read apart
    char siteText[64];         // 330,689: or "Use global value" for a fixed site
    char instrumentText[64];   // 330,753
    char observerText[64];     // 330,817
    char targetText[64];       // 330,881
    char conditionsText[256];  // 330,945
    char notesText[256];       // 331,201: the first 255 characters of the notes
    uint8_t notRecognised;     // 331,457
};
#pragma pack(pop)
static_assert(sizeof(PreviewRecord) == 331458, "PreviewRecord is 331,458 bytes");

const char kPreviewFileName[] = "gleaner.bin";
const char kPassTraceFileName[] = "gleaner.txt";
const char kDesignationLinkFileName[] = "gleaner_des_links.dat";

// The shared error line: the message of the last failed pass or scan (or, in
// the undefined-name scan, the line that lacks a value).
const int kErrorLineSize = 4096;
char *ImportErrorLine();
// Formats into the error line, cut to its size.
void SetImportError(const char *format, ...);

// The passes over the job's file under the job's format: the number of
// entries processed (0 or more), or -1 with the message in the error line.
// list may be null. With preview set every entry
// is written to the preview file and listed; with it clear every recognised
// entry is added to the log store and *added (when given) counts the entries
// the store accepted.
int RunDelimitedImportPass(const ImportListSink *list, const ImportJob &job, int preview,
                           int *added);
int RunXmlImportPass(const ImportListSink *list, const ImportJob &job, int preview, int *added);
