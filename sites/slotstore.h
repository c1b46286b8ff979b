// Fixed-slot store files shared by the site and observer stores: a signed
// 16-bit little-endian count at offset 0, then slots of one size from offset 2,
// contiguous from slot 0. Deleting shifts later slots down and leaves the file
// length alone, so bytes past the last counted slot are stale and never read.
// Every operation seeks on its own and re-reads the count from the file; none
// caches a position. Results: 1 success, 0 failure.
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
// Writes over slot index (which must be below the count) and flushes.
int WriteSlot(FILE *f, int slotSize, int index, const void *slot);
// Writes the slot after the last counted one, flushes, and only then raises
// the count: a failed record write leaves the count (and every counted slot)
// as it was. 0 when the count is negative or already at kMaxSlotCount.
int AppendSlot(FILE *f, int slotSize, const void *slot);
// Shifts the slots after index down by one and lowers the count. A failure
// part-way leaves the count unchanged with one slot present twice; no slot
// other than the deleted one is lost.
int DeleteSlot(FILE *f, int slotSize, int index);

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
// leaves target as it was. 0 with nothing written when source is missing.
int CopySlotFile(const char *source, const char *target, int slotSize);
