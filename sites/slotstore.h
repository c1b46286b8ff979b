// Fixed-slot store files shared by the site and observer stores: a signed
// 16-bit little-endian count at offset 0, then slots of one size from offset 2,
// contiguous from slot 0. Deleting moves later slots down in a new copy of the
// same length, so bytes past the last counted slot are stale and never read.
// Every operation seeks on its own and re-reads the count from the file; none
// caches a position. Every step goes through the crash-safe layer's wrappers
// (core/safefile.h), so the tests can fail each in turn. Results: 1 success, 0 failure.
#pragma once
#include <cstdint>
#include <cstdio>

// Largest number of slots a signed 16-bit count can hold.
const int kMaxSlotCount = 32767;

// Reads the count at offset 0 (a negative count is read as it is).
int ReadSlotCount(FILE *f, int16_t *count);
// Writes the count at offset 0 and flushes; 0 for a count outside 0..32767.
int WriteSlotCount(FILE *f, int count);
// Slot index i lies at 2 + i x slotSize. ReadSlot fails for an index outside
// 0..count-1 of the count read from the file, or a short read.
int ReadSlot(FILE *f, int slotSize, int index, void *slot);
// Writes over slot index (which must be below the count) and flushes; when
// the write or the flush fails, the old slot is written back.
int WriteSlot(FILE *f, int slotSize, int index, const void *slot);
// Writes the slot after the last counted one, flushes, and only then raises
// the count: a failed record write leaves the count (and every counted slot)
// as it was, and a count that cannot be flushed is put back. 0 when the count is negative, already at kMaxSlotCount, or
// claims more slots than the file holds.
int AppendSlot(FILE *f, int slotSize, const void *slot);
// Takes slot index out: the file at path is rewritten whole through the
// crash-safe layer with the later slots one place down and the count lowered
// (the file keeps its length; the last slot's old bytes stay behind the
// count). *f is the caller's stream on that file: it is closed for the
// replacement and opened "r+b" again (null when that fails). A failure at any
// step leaves the file as it was.
int DeleteSlot(const char *path, FILE **f, int slotSize, int index);

// Opens a store "r+b" and reads its count. A missing file is created "w+b"
// with a count of 0; a file that exists but cannot be opened for writing is
// never re-created (that would truncate it). A file too short to hold its
// count (0 or 1 byte, left by an interrupted creation) holds no slot and is
// given a count of 0. A negative count marks a damaged file: none. The stream is left
// just after the count.
FILE *OpenSlotStore(const char *path, int16_t *count);
// Opens a store of another folder "rb" and reads its count; none when the file
// cannot be opened, the count cannot be read or is negative.
FILE *OpenSlotFileReadOnly(const char *path, int16_t *count);
// Copies the count and the counted slots of source to target through
// "<target>.tmp", which replaces target only when complete: a failed copy
// leaves target as it was. 0 with nothing written when source is missing or
// its count claims more slots than it holds.
int CopySlotFile(const char *source, const char *target, int slotSize);
