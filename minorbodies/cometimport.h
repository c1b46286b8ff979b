// Comet elements into the user's store (comet.bin): files of fixed-column
// "C " lines imported in progress steps, single element blocks as printed in
// the Minor Planet Electronic Circulars (header, Epoch, T, q, z/n, Node, e
// lines), and the '|'-separated export line of one comet.
#pragma once
#include <cstdint>
#include <cstdio>

#include "minorbodies/cometdb.h"

struct CometImport {
    FILE *text = nullptr;
    FILE *store = nullptr;       // comet.bin
    int32_t count = 0;
    int32_t linesPerStep = 1;
    int32_t linesInStep = 0;
    int replaceMagnitudes = 1;
    // The set being filled. Only what no line sets (the degree of
    // condensation) carries from one line to the next.
    CometRecord record = {};
};

int BeginCometImport(CometImport *state, const char *path, int steps, int replaceMagnitudes);
// One step: 1 after a step, 0 at the end of the file, -1 when the store
// cannot be written. Refused sets (older, equal or identical) are not counted.
int ImportCometLines(CometImport *state, int32_t *added, int32_t *replaced, int32_t *skipped);
void EndCometImport(CometImport *state);
// Parses one "C " line (at least 168 characters, blank-padded) into record:
// every identity and magnitude field is set afresh, so nothing of an earlier
// line's comet (its number above all) can reach this one. 1 when valid.
int ParseCometLine(const char *line, CometRecord *record);

// One element block into record: 1 when the closing line is reached with the
// header, the perihelion time (given or from epoch, M and n), q (given or
// from a and e), the argument of perihelion, the node and e with the
// inclination; 0 otherwise (also at the end of the file and for an unknown
// month).
int ParseCometElementBlock(FILE *stream, CometRecord *record);
// Month 1-12 of an abbreviation ("Mar.", "Sept.", "jan"), ignoring case; 0
// when none.
int ParseMonthAbbreviation(const char *text);

// The export line of a comet (name upper-cased in the line only); text holds
// 256 bytes.
void FormatCometExportLine(char *text, const char *name, OrbitRecord *orbit);
