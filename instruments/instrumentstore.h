// The instrument store "instr.bin" in the user data folder: a version stamp,
// the last id given (unsigned 16-bit), the count (unsigned 16-bit), then whole
// InstrumentRecords from offset 9, in list order. Deleting moves the later
// records down in a new copy of the same length, so bytes past the counted records
// are stale. "instr.bak" is the copy the edit dialogs take; older layouts are
// converted on open. Every operation positions the stream itself and goes
// through the crash-safe layer (core/safefile.h); a record or header write
// that fails is undone. Results:
// 1 success, 0 failure unless said otherwise.
#pragma once
#include <cstdint>
#include <cstdio>

#include "instruments/instrumentrecord.h"

const int kInstrumentHeaderSize = 9;
const int kInstrumentRecordSize = 330152;

// Writes a new, empty instr.bin (stamp 3.1f, last id 0, count 0). An existing
// file that holds at least a header is never overwritten (its instruments would
// be lost): 0 then.
int CreateInstrumentFile();
// Opens instr.bin "r+b", converting an unstamped (8,750-byte records) or
// stamped older layout (139,206 or 330,050-byte records) first, and bringing an
// older stamp up to 3.1f. The stream is left at offset 9. None on failure, for
// a stamp newer than this program, a file whose layout cannot be told, or a
// count of more records than the file holds. A current instr.bin that cannot
// be opened for writing (a read-only folder) is opened "rb".
FILE *OpenInstrumentFile(int32_t *count);
// Another folder's instr.bin, read-only, left after its header (at 9, or at 4
// for the unstamped layout, which sets the old flag). stamp receives 5 bytes.
FILE *OpenOtherInstrumentFile(const char *path, int32_t *count, uint8_t *stamp, int *oldFlag);
// instr.bin to instr.bak and back: the header and the counted records. The
// destination is replaced only by a complete copy; a missing source gives 0.
int BackupInstrumentFile();
int RestoreInstrumentFile();

// Record index (0 .. count - 1); the record is made safe to use
// (SanitizeInstrumentRecord).
int ReadInstrument(FILE *f, InstrumentRecord *record, int index);
int WriteInstrument(FILE *f, const InstrumentRecord *record, int index);
int WriteInstrumentById(FILE *f, const InstrumentRecord *record, int id);
// Writes the record after the last one with the next id (also set in the
// caller's record), then the raised id and count. 0 when the 16-bit id or count
// would wrap (id 0 is the naked eye's).
int AppendInstrument(FILE *f, InstrumentRecord *record);
// Rewrites instr.bin whole through the crash-safe layer without the record
// (later records one place down, the length kept): *f is closed for the
// replacement and opened again at offset 9, null when that fails. Any failed
// step leaves the file as it was.
int DeleteInstrument(FILE **f, int index);
// Swaps record index with the nearest record of the same kind in direction
// (-1 up, +1 down) among the first count records; traces to "debug.txt".
// newIndex gets the partner's index, -1 when none.
int MoveInstrument(FILE *f, int index, int count, int direction, int *newIndex);
// index + 1 of the first record with the id, copied out; 0 when none; -1
// when the store could not be read (which is not "none": callers that would
// drop or reorder data on "none" must not take a failed read for it).
int FindInstrumentById(FILE *f, InstrumentRecord *record, int id);
// The same on an unstamped old file (8,750-byte records from offset 4).
int FindOldInstrumentById(FILE *f, InstrumentRecord *record, int id);
// First of the first count records whose name equals the record's name
// exactly (case and all): copied over the caller's record, index stored, 1.
int FindInstrumentByName(FILE *f, InstrumentRecord *record, int count, int *index);
// 1 when the two describe the same instrument: optics count, kind, sight,
// mounting, names (ignoring case), rings, and per optics in use the type,
// aperture, focal length, orientation, condition, name and eyepieces. The id,
// unit, focal ratio, cameras and configuration are not compared.
int CompareInstruments(const InstrumentRecord *a, const InstrumentRecord *b);
