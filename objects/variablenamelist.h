// The variable-star names list of reference slot 1 (vnames.bin: per
// constellation an offset and a count, then 5-byte entries of number,
// superscript and vref_f.bin record) that the browse page walks, and the
// catalogue's remark texts (gcvs_remarks.bin: 16-byte index entries, then
// the texts).
#pragma once
#include <cstddef>
#include <cstdio>

const int kVariableNameIndexEntrySize = 6;
const int kVariableNameEntrySize = 5;
const int kVariableRemarkIndexEntrySize = 16;
// The remark index starts at reference 2 (entry k at (k - 2) x 16).
const int kFirstVariableRemark = 2;

struct VariableNameList;

// The open list (no constellation selected yet), or null when the file
// cannot be opened (or before the catalogue directories are set).
VariableNameList *OpenVariableNameList();
void CloseVariableNameList(VariableNameList *list);
// Selects constellation c (1-88): its count of names, 0 for c outside 1-88,
// an unreadable index entry or a list that does not fit in the file (the
// next reads then find nothing).
int SelectVariableNameConstellation(VariableNameList *list, int c);
// Entry k (0-based) of the selected constellation, or the next for -1:
// non-zero with its vref_f.bin record and its name (FormatVariableStarName,
// at least 32 bytes); 0 past the count, before a selection or on an error.
int ReadVariableNameEntry(VariableNameList *list, int k, int *record, char *name);

FILE *OpenVariableRemarks();
// Remark k's bytes into buffer (not terminated): 1 when all were read and
// fit in size bytes; 0 for k below 2 (no index entry), a null stream or
// buffer, a remark longer than the buffer or a read error.
int ReadVariableRemark(FILE *stream, char *buffer, size_t size, int k);
