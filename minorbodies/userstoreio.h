// The file steps shared by the user's supplemental stores (minor planets,
// comets, stars, deep-sky objects, sky marks): positioned reads and writes of
// records through the crash-safe layer, creation of an empty store, and the
// whole-file rewrite that every reordering, deletion and compaction takes, so
// that no record is ever shifted in place in the original.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "instruments/storeio.h"

// Ids above this are refused by the id indexes: a slot is 4 bytes at 4 x id,
// and a corrupt or merged id must not make a file of gigabytes.
const int32_t kMaxUserObjectId = 1 << 24;

// The path "<user data folder>/<name>" (out holds 1024 bytes); 0 when the
// folder is not set.
int MakeStorePath(char *out, const char *name);
// The store opened "r+b", first written whole (crash-safely) with the header
// bytes when it does not exist; null on failure.
FILE *OpenOrCreateStore(const char *path, const void *header, size_t headerSize);
// Reads a store's header: 1 with its record count (and highest id given),
// 0 when the header is refused.
typedef int (*StoreHeaderReader)(FILE *stream, int32_t *count, int32_t *highestId);
// The opened stream f placed past its header of headerSize bytes, with the
// count the header gives; f closed and null when the header is refused or
// the seek fails (null f gives null).
FILE *PositionPastStoreHeader(FILE *f, StoreHeaderReader readHeader, int64_t headerSize, int32_t *count);
// Positioned reads and writes: ReadStoreBytes and WriteStoreBytes of
// instruments/storeio.h.
// The whole file's bytes (from offset 0); 0 on a failed read.
int ReadAllStoreBytes(FILE *file, std::string *bytes);
// Puts bytes in place of the store crash-safely: the stream is closed, the
// new content written beside the file and swapped in, and the stream opened
// again ("r+b") on whichever content is now there. 1 when replaced; 0 with
// the old content (the stream then holds the old file, or null when even
// that cannot be opened again).
int ReplaceStore(FILE **file, const char *path, const std::string &bytes);
// Deletes the file when it exists; nothing else.
void RemoveStoreFile(const char *path);
