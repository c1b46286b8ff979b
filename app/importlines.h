// The one line reader of an import file, shared by the wizard's scans (steps
// 2 and 3) and both import passes, so that they all see the same lines. The
// file is read in binary mode and the reader ends lines itself: LF, CR LF and
// a lone CR each end a line, on Windows as on Linux, and each line is given
// with one LF when it had a line end. A UTF-8 byte-order mark at the start
// of the file is no part of the first line. A line holding a NUL or a 0x1A
// (Ctrl-Z) byte is not text; a line longer than the reader's limit is too
// long. Either is still read to its end, so the next read starts on the next
// line. A file that is well-formed UTF-8 throughout is given in the suite's
// Windows-1252 (app/textencoding.h), in every reader alike; any other file
// is given as it is.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

#include "app/importjob.h"

const int kImportLineLength = 2047;  // longest line of a delimited file, line end excluded

enum ImportLineStatus : int {
    kImportLineEnd = 0,      // no further line
    kImportLineRead = 1,
    kImportLineTooLong = 2,  // the line holds more than the limit (its start is given)
    kImportLineNotText = 3,  // the line holds a NUL or 0x1A byte (given as read)
    kImportLineReadError = 4,  // the file could not be read further: an error, not its end
};

// The reader over one open file (not owned: the caller closes it).
struct ImportLineReader {
    FILE *file = nullptr;
    size_t maxLength = kImportLineLength;  // 0: lines of any length
    long lineNumber = 0;                   // 1-based number of the last line read
    int byteOrderMark = 0;                 // 1 when the file began with a UTF-8 byte-order mark
    int utf8 = 0;                          // 1 when the lines are converted from UTF-8
};

// Binds the reader to a file opened "rb" at its start, with the limit, and
// reads the file through once to learn whether it is UTF-8. The limit counts
// the characters of a line as given (after conversion).
void BeginImportLines(ImportLineReader *reader, FILE *file, size_t maxLength);
// Reads the next line into line (its line end given as one LF). The status;
// on kImportLineEnd the line is empty.
ImportLineStatus ReadImportLine(ImportLineReader *reader, std::string *line);
// Drops up to count lines whole, whatever they hold; the number dropped.
int SkipImportLines(ImportLineReader *reader, int count);
// Puts the message of a line the reader refused into the import error line:
// "Line %d of the import file is longer than %d characters\n" or
// "Line %d of the import file is not text\n".
void SetImportLineError(const ImportLineReader &reader, ImportLineStatus status);

// Opens the job's file "rb" into file and binds the reader to it, with the
// limit of the format's kind (delimited lines kImportLineLength, tagged text
// none), and drops the format's lines to skip. 1, or -1 with
// "File not found: %s\n" in the import error line.
int OpenImportJobLines(const ImportJob &job, FILE **file, ImportLineReader *reader);

// What a line of a delimited file is to every reader of it: a comment (it
// begins with the format's comment character), blank (nothing but blanks,
// tabs, line ends and delimiters) or an entry.
enum DelimitedLineKind : int { kDelimitedEntryLine = 0, kDelimitedCommentLine = 1, kDelimitedBlankLine = 2 };
DelimitedLineKind ClassifyDelimitedLine(const char *line, const ImportFormat &format);
