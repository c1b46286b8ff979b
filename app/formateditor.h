// The portable rules of the format editor: the delimiter and date-layout
// names, the column texts (shown 1-based, stored 0-based), the Add/Del slot
// lists, the look-up of a fixed site, observer or instrument by name, the
// first lines of the import file as shown beside the fields, and the reading
// of the editor's fields into a format on OK.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/formatfile.h"

const int kDelimiterCount = 5;
const int kDateLayoutCount = 6;
extern const char kDelimiterChars[kDelimiterCount];
extern const char *const kDelimiterNames[kDelimiterCount];
extern const char *const kDateLayoutNames[kDateLayoutCount];

// The passes read at most this many fields of a line, so no column beyond it
// (1-based) can ever be read.
const int kMaxImportColumn = 50;
const int kConditionSlots = 2;
const int kExtraSlots = 5;
const int kPreviewMaxLines = 1000;
const int kPreviewPieceChars = 2047;

// Position of c in the delimiter table, or -1.
int DelimiterIndexOf(char c);

// A date, time, target or description column as typed: an empty text is no
// column (-1); 1..50 stores n - 1. 0 for anything else (no number, below 1,
// beyond the last field the passes read).
int ParseFieldColumnText(const char *text, int32_t *column);
// A site, observer or instrument column as typed: empty or "0" is no column
// (-1), 1..50 stores n - 1. 0 (column -1) for a text that is no number, is
// negative or lies beyond the last field.
int ParseSourceColumnText(const char *text, int32_t *column);
// The column prompt's number as typed (1-based, whole part): -1 when the
// text holds no number or a negative one.
int ColumnPromptValue(const char *text);
// A column shown in an edit: column + 1, or "" for no column (below 0).
std::string ColumnText(int32_t column);

// The used slots from the first, as the drop lists show them.
std::vector<std::string> ListedColumns(const int32_t *slots, int n);
std::vector<std::string> ListedTags(const char (*tags)[kFormatTagSize], int n);
// First unused slot, or -1 when all n are used.
int FirstFreeColumnSlot(const int32_t *slots, int n);
int FirstFreeTagSlot(const char (*tags)[kFormatTagSize], int n);
// Empties slot index and moves the used slots to the front in their order.
void DeleteColumnSlot(int32_t *slots, int n, int index);
void DeleteTagSlot(char (*tags)[kFormatTagSize], int n, int index);

// Position of the first stored entry whose name equals name without regard to
// case, or -1 (empty name, unreadable count or entry, no match). Each takes
// the open store and leaves its position undefined.
int FindLocationIndexByName(FILE *locations, const char *name);
int FindObserverIndexByName(FILE *observers, const char *name);
int FindInstrumentIndexByName(FILE *instruments, const char *name);

// The first lines of a text file as shown in the editor: at most maxLines
// lines, each read in pieces of at most pieceChars characters (a piece counts
// as a line); each line end becomes CR LF. A UTF-8 file is shown in
// Windows-1252, as the passes read it, without its byte-order mark. 0 when
// the file cannot be opened.
int ReadFilePreviewText(const char *path, std::string *text, int maxLines = kPreviewMaxLines,
                        int pieceChars = kPreviewPieceChars);

// The editor's fields as the dialog holds them.
struct FormatEditorFields {
    std::string name, skipLines, commentChar;
    int dateLayout = -1;      // selected index, -1 none
    int delimiterIndex = -1;  // selected index, -1 none
    std::string timeColumn, dateColumn, targetColumn, descriptionColumn;
    bool siteFixed = false, observerFixed = false, instrumentFixed = false;
    std::string siteColumn, observerColumn, instrumentColumn;
    std::string tags[8];  // entry, site, observer, instrument, date, time, target, description
};

// Reads the fields into format in the editor's order; 1, or 0 with the user's
// message (the fields read before the failure stay in format, which is why
// the editor works on a copy). The condition and extra slots are not touched.
int ReadFormatFromFields(const FormatEditorFields &fields, ImportFormat *format, std::string *message);
