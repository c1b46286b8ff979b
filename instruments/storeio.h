// Positioned reads and writes on the stream files of the fixed-record stores
// (every step through the crash-safe layer's wrappers, core/safefile.h),
// with 64-bit offsets (a store of large records passes 2 GB after a few
// thousand of them), and the whole-file copies behind backups and restores.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

struct StoreFileCloser {
    void operator()(FILE *f) const {
        if (f) std::fclose(f);
    }
};
using StoreFilePtr = std::unique_ptr<FILE, StoreFileCloser>;

// n bytes at the offset; 1 when all were read or written. Writes are flushed.
int ReadStoreBytes(FILE *f, int64_t offset, void *data, size_t n);
int WriteStoreBytes(FILE *f, int64_t offset, const void *data, size_t n);
// After a failed write or flush the new bytes may still sit in a buffer:
// writes the old bytes over them again (a second failure is not reported; the
// first one is).
void PutStoreBytesBack(FILE *f, int64_t offset, const void *data, size_t n);
// 1 when the file holds the header and count records of recordSize bytes: a
// damaged count must size no read, allocation or write.
int StoreCountFits(FILE *f, int64_t headerSize, int64_t count, int64_t recordSize);
// Little-endian unsigned 16-bit values.
int ReadStoreU16(FILE *f, int64_t offset, uint16_t *value);
int WriteStoreU16(FILE *f, int64_t offset, uint16_t value);

// Copies a store file: its header (headerSize bytes, with the unsigned 16-bit
// count at countOffset) and the count's records, to the target. The copy is
// written beside the target and replaces it only when it is complete, so the
// target is never left truncated. 1 copied; 0 when the source is missing or
// short (a count beyond its length) or the copy could not be written (the
// target is then untouched).
int CopyStoreRecords(const std::string &source, const std::string &target, int headerSize,
                     int countOffset, int recordSize);
