// Reading tagged (XML-like) log files: a cursor that walks the text tag by
// tag and takes the text of an element, for the tagged-text import pass and
// the wizard's scans. The reader knows no nesting; it steps over comments
// "<!-- -->", CDATA sections and "<!DOCTYPE ...>" declarations as whole
// units, so the tags inside them are never seen. Lines come from the import
// file's shared line reader (app/importlines.h) and have no length limit.
#pragma once
#include <cstdio>
#include <string>

#include "app/importlines.h"

// The largest tag text a caller's buffer usually needs (65-byte tag names of
// the format, attributes included); the pass gives this many bytes.
const int kXmlTagBufferSize = 2048;

// The reader's state over one open file: the current line as read (with its
// line end, when it has one, as one LF) and the cursor into it.
struct XmlReader {
    // The file's lines. Unbound, the first read binds it to the file given;
    // bound (a caller that already dropped lines to skip), it goes on from
    // there and line numbers count from the start of the file.
    ImportLineReader lines;
    std::string line;
    size_t cursor = 0;
    int atEnd = 0;      // 1 once no further line can be read
    long lineNumber = 0;  // 1-based number of the current line in the file
    int readError = 0;    // 1 when a read failed (no end of the file)
    long nulLine = 0;     // the first line read that held a NUL or 0x1A byte (0: none)
    int utf8 = 0;         // 1 when the reader converts UTF-8 itself: the file says it is UTF-8
                          // (byte-order mark or declaration) but is not well-formed throughout
};

// Reads whole lines (whatever their length) and drops them: the lines to skip
// at the top of an import file. Returns the number of lines dropped.
int SkipXmlLines(FILE *file, int count);

// Reads the first line from the file's current position and puts the cursor
// at its start (a UTF-8 byte-order mark is no part of it). A byte-order mark or an XML
// declaration with encoding="UTF-8" marks the file as UTF-8. 1, or 0 when no
// line can be read (an empty file).
int ReadFirstXmlLine(FILE *file, XmlReader *reader);

// Reads the next tag: the text between "<" (or "</") and ">", attributes
// included, into tag (tagSize bytes, NUL-terminated). *closing is 1 for a
// closing tag, else 0. A tag text that does not fit is read to its '>' and
// given as an empty text, so it matches no name. Returns 1 with a tag, 0 at
// the end of the file (also when the file ends inside a tag, a comment or a
// CDATA section).
int ReadNextXmlTag(FILE *file, XmlReader *reader, char *tag, int tagSize, int *closing);

// Whether a tag text (as ReadNextXmlTag gives it) is of the element named
// name (read up to nameSize bytes), case-blind: the name, then the end of the
// text, a blank or line end (attributes follow: <observation id="o1">), or
// the '/' of a self-closing element. An empty name matches nothing.
int XmlTagHasName(const char *tag, const char *name, size_t nameSize);
// 1 for the tag text of a self-closing element ("site/", "seeing n=\"2\"/"),
// which has no element text.
int IsSelfClosingXmlTag(const char *tag);

// Reads the text of the element whose opening tag was just read, into text:
// character data up to the next tag, across line ends, with CDATA sections
// ("<![CDATA[" ... "]]>") taken as they are and comments dropped. In the
// character data the entities &amp; &lt; &gt; &quot; &apos; and numeric
// references (&#233; &#xE9;) are decoded to Windows-1252 bytes, as are the
// characters of a UTF-8 file (the suite's names and notes are Windows-1252;
// a character it lacks becomes '?'); blanks, tabs
// and line ends at both ends are removed, and line ends inside become CR LF.
// The cursor stops on the '<' of the next tag. Returns the text's length
// (0 when there is none).
int ReadXmlElementText(FILE *file, XmlReader *reader, std::string *text);

// Further routines for tagged text (nothing in the importer calls them).
// Reads one line; 0 at the end of the file or when the line holds
// "</DEEPSKY2000>"; else appends further lines until the text holds "</" and
// returns 1 (0 when the file ends first).
int ReadXmlRecordLines(std::string *buffer, FILE *file);
// out = the text between "CDATA[" and the next "]]>"; 1, or 0 (out empty)
// when either is missing.
int ExtractCdataText(const char *text, std::string *out);
// out = the text between the first ">" and the next "<"; 1, or 0 (out
// empty) when either is missing.
int ExtractTagText(const char *text, std::string *out);
