// Custom events: a user's own events in a site's event file (kind 11), each
// pointing at its line of text in the shared file "events/event_desc.txt" of
// the user folder, with up to two sky objects it concerns.
#pragma once
#include <cstdio>

#include "events/eventrecord.h"

struct ObjectRecord;

// Longest text kept on one line (a longer one is cut when appended).
const int kCustomTextLength = 254;
// Buffer size of ReadCustomEventText.
const int kCustomTextBufferSize = 256;
// Custom events are accepted up to this many days after the header's start.
const double kCustomEventSpanDays = 100000.0;
const int kCustomEventMaxObjects = 2;

// The text file's path into buffer (size bytes); emptied when the user
// folder is not set. Returns the buffer.
char *GetEventTextFilePath(char *buffer, int size);
// Appends the text as one line: line breaks in it become blanks and it is
// cut to 254 characters, so that every later line keeps its number; the
// caller's text is not changed. The file is rewritten whole through a
// temporary. 1, 0 on failure. line (may be null) gets the new line's number.
int AppendCustomEventText(const char *text, int *line = nullptr);
// The text file open for reading, or null.
std::FILE *OpenCustomEventTexts();
// The next line into buffer (256 bytes), its line break kept; the rest of a
// line too long for the buffer is skipped so the next call reads the next
// line. 1, 0 at the end or for no file or buffer, -1 a read error.
int ReadCustomEventText(std::FILE *file, char *buffer);
// The text of line n without its line break: 1; a line number past the end
// gives the last line; 0 (buffer empty) when the file is missing or empty.
int GetCustomEventText(int n, char *buffer);
// Adds the event at the Julian date (UT) with objects (count clamped to
// 0..2; objects may be null for 0) pointing at text line `line`. 1 added, 0 a
// duplicate (refreshed) or refused, -1 when the event file cannot be opened.
int AddCustomEvent(EventFileHeader *header, double julianDate, const ObjectRecord *objects, int count, int line);
