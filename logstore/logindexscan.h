// Enumerating the log's index folders: which nights, classes, observers,
// instruments, sites and constellations have index files. Names come back in
// byte order on every platform. Every next operation moves past the current
// file, also when it answers -1 for a name it cannot read, so a loop that
// skips -1 and stops at 0 always ends.
#pragma once
#include <cstdint>
#include "core/fileutil.h"

struct IndexScan {
    DirectoryList list;
    char current[260];
    int found;  // 1 while a file is current
};

const int kIndexScanNameSize = 260;

int BeginNightIndexScan(IndexScan *scan);
int BeginClassIndexScan(IndexScan *scan);
int BeginObserverIndexScan(IndexScan *scan);
int BeginInstrumentIndexScan(IndexScan *scan);
int BeginLocationIndexScan(IndexScan *scan);
int BeginConstellationIndexScan(IndexScan *scan);
void EndIndexScan(IndexScan *scan);

// "2009 Jul 20" (text of at least 16 bytes) and, when asked, 20090720.
int NextNightIndexName(IndexScan *scan, char *text, int32_t *date);
int NextNightIndexDate(IndexScan *scan, int *year, int *month, int *day);
// The folder number and its name; files with a negative number or no entries
// are skipped.
int NextClassIndexName(IndexScan *scan, int *folder, char *name);
// The decoded name (kIndexScanNameSize bytes).
int NextObserverIndexName(IndexScan *scan, char *name);
int NextInstrumentIndexName(IndexScan *scan, char *name);
int NextLocationIndexName(IndexScan *scan, char *name);
// The number 0-88 and its full name (abbreviation flag 0) or abbreviation.
int NextConstellationIndexName(IndexScan *scan, int abbreviation, int *number, char *name);
