// Positioned record I/O and complete-or-nothing copies of the store files.
#include "instruments/storeio.h"

#include <cstring>
#include <vector>

#include "core/fsys.h"
#include "core/safefile.h"


int ReadStoreBytes(FILE *f, int64_t offset, void *data, size_t n) {
    if (!SafeSeek(f, offset)) return 0;
    return SafeRead(data, 1, n, f) == n ? 1 : 0;
}

int WriteStoreBytes(FILE *f, int64_t offset, const void *data, size_t n) {
    if (!SafeSeek(f, offset)) return 0;
    if (SafeWrite(data, 1, n, f) != n) return 0;
    return SafeFlush(f);
}

void PutStoreBytesBack(FILE *f, int64_t offset, const void *data, size_t n) {
    std::clearerr(f);
    WriteStoreBytes(f, offset, data, n);
    std::clearerr(f);
}

int StoreCountFits(FILE *f, int64_t headerSize, int64_t count, int64_t recordSize) {
    int64_t size = StreamSize(f);
    return (size >= 0 && count >= 0 && headerSize + count * recordSize <= size) ? 1 : 0;
}

int ReadStoreU16(FILE *f, int64_t offset, uint16_t *value) {
    unsigned char b[2];
    if (!ReadStoreBytes(f, offset, b, 2)) return 0;
    *value = (uint16_t)(b[0] | (b[1] << 8));
    return 1;
}

int WriteStoreU16(FILE *f, int64_t offset, uint16_t value) {
    unsigned char b[2] = {(unsigned char)(value & 0xFF), (unsigned char)(value >> 8)};
    return WriteStoreBytes(f, offset, b, 2);
}


int CopyStoreRecords(const std::string &source, const std::string &target, int headerSize,
                     int countOffset, int recordSize) {
    StoreFilePtr in(SafeOpen(source.c_str(), "rb"));
    if (!in) return 0;
    std::vector<unsigned char> header((size_t)headerSize);
    if (SafeRead(header.data(), 1, header.size(), in.get()) != header.size()) return 0;
    unsigned count = header[(size_t)countOffset] | (header[(size_t)countOffset + 1] << 8);
    // A damaged count never makes a copy longer than the source.
    if (!StoreCountFits(in.get(), headerSize, count, recordSize)) return 0;

    SafeRewrite out;
    if (!BeginSafeRewrite(target.c_str(), &out)) return 0;
    bool ok = SafeWriteAll(out.file, header.data(), header.size()) == 1;
    std::vector<unsigned char> record((size_t)recordSize);
    for (unsigned i = 0; ok && i < count; ++i) {
        ok = SafeRead(record.data(), 1, record.size(), in.get()) == record.size() &&
             SafeWriteAll(out.file, record.data(), record.size()) == 1;
    }
    in.reset();
    out.failed = !ok;
    return CommitSafeRewrite(&out);
}
