// Shared plumbing of the catalogue readers: opening a packaged catalogue file
// by its string-table name in a reference directory slot, little-endian field
// access on record bytes, and turn fractions (signed 32-bit fractions of a
// full circle) to radians.
#pragma once
#include <cstdint>
#include <cstdio>

// Catalogue file k (string-table name 8000 + k, ".bin") in reference slot
// `slot`, opened "rb"; null before the catalogue directories are set or when
// the file cannot be opened.
FILE *OpenCatalogueFile(int k, int slot);

// Seeks to an absolute byte offset and reads n bytes; false on any failure.
bool ReadAt(FILE *stream, int64_t offset, void *buffer, size_t n);
// Byte size of an open file (its position is kept); -1 on failure.
int64_t StreamSize(FILE *stream);

inline uint16_t GetU16(const unsigned char *p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline int16_t GetI16(const unsigned char *p) { return static_cast<int16_t>(GetU16(p)); }
inline uint32_t GetU24(const unsigned char *p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16);
}
inline uint32_t GetU32(const unsigned char *p) {
    return GetU24(p) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t GetI32(const unsigned char *p) { return static_cast<int32_t>(GetU32(p)); }

// radians = value x 2 pi / 2,147,483,647
double TurnFractionToRadians(int32_t value);

// Name indexes: entries of `width` bytes, a name of width - 2 bytes followed
// by a 16-bit little-endian record number, sorted by name in byte order.
// ReadNameIndexEntry reads entry (from 1): the name into text (width - 2
// bytes, cut one short of that) and the record number; -1 when it cannot.
int ReadNameIndexEntry(FILE *stream, int entry, int width, char *text);
// The record number of the entry whose name equals text; -1 when none.
int FindInNameIndex(FILE *stream, int width, const char *text);
