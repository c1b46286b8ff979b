// Fixed-slot store files: count, slot reads and writes, append, shift-down
// delete, the open-or-create rule and the complete-or-nothing copy.
#include "sites/slotstore.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/fsys.h"
#include "core/safefile.h"

namespace {

using FilePtr = std::unique_ptr<FILE, FileCloser>;

const long kCountBytes = 2;

bool SeekTo(FILE *f, long offset) { return std::fseek(f, offset, SEEK_SET) == 0; }

long SlotOffset(int slotSize, int index) { return kCountBytes + (long)index * (long)slotSize; }

bool ValidSlotSize(int slotSize) { return slotSize > 0 && slotSize <= 65536; }

// True when the file holds every slot the count claims (a damaged count must
// not make an append write far past the end, nor a copy run on).
bool CountFitsFile(FILE *f, int slotSize, int count) {
    long here = std::ftell(f);
    if (here < 0 || std::fseek(f, 0, SEEK_END) != 0) return false;
    long size = std::ftell(f);
    bool fits = size >= 0 && count >= 0 && (int64_t)size >= (int64_t)SlotOffset(slotSize, count);
    return std::fseek(f, here, SEEK_SET) == 0 && fits;
}

// After a failed write or flush the new bytes may still sit in the stream's
// buffer or the system's: the old bytes are written over them again, so that
// the failure leaves the file as it was. A second failure here is not
// reported (the first one is).
void PutBack(FILE *f, long offset, const void *bytes, size_t n) {
    std::clearerr(f);
    if (SeekTo(f, offset) && SafeWrite(bytes, 1, n, f) == n) SafeFlush(f);
    std::clearerr(f);
}

// Reads the count and checks that index names a counted slot.
bool IndexInRange(FILE *f, int index) {
    int16_t count = 0;
    if (!ReadSlotCount(f, &count)) return false;
    return index >= 0 && index < count;
}

}  // namespace

int ReadSlotCount(FILE *f, int16_t *count) {
    if (!f || !count) return 0;
    unsigned char b[2];
    if (!SeekTo(f, 0) || SafeRead(b, 1, 2, f) != 2) return 0;
    *count = (int16_t)(uint16_t)(b[0] | (b[1] << 8));
    return 1;
}

int WriteSlotCount(FILE *f, int count) {
    if (!f || count < 0 || count > kMaxSlotCount) return 0;
    unsigned char b[2] = {(unsigned char)(count & 0xFF), (unsigned char)((count >> 8) & 0xFF)};
    if (!SeekTo(f, 0) || SafeWrite(b, 1, 2, f) != 2) return 0;
    return SafeFlush(f);
}

int ReadSlot(FILE *f, int slotSize, int index, void *slot) {
    if (!f || !slot || !ValidSlotSize(slotSize) || !IndexInRange(f, index)) return 0;
    if (!SeekTo(f, SlotOffset(slotSize, index))) return 0;
    return SafeRead(slot, 1, (size_t)slotSize, f) == (size_t)slotSize ? 1 : 0;
}

int WriteSlot(FILE *f, int slotSize, int index, const void *slot) {
    if (!f || !slot || !ValidSlotSize(slotSize)) return 0;
    // The old slot first, to put back when the new one cannot be made to stay.
    std::vector<unsigned char> old((size_t)slotSize);
    if (!ReadSlot(f, slotSize, index, old.data())) return 0;
    if (SeekTo(f, SlotOffset(slotSize, index)) &&
        SafeWrite(slot, 1, (size_t)slotSize, f) == (size_t)slotSize && SafeFlush(f))
        return 1;
    PutBack(f, SlotOffset(slotSize, index), old.data(), old.size());
    return 0;
}

int AppendSlot(FILE *f, int slotSize, const void *slot) {
    if (!f || !slot || !ValidSlotSize(slotSize)) return 0;
    int16_t count = 0;
    if (!ReadSlotCount(f, &count) || count < 0 || count >= kMaxSlotCount) return 0;
    if (!CountFitsFile(f, slotSize, count)) return 0;
    if (!SeekTo(f, SlotOffset(slotSize, count))) return 0;
    if (SafeWrite(slot, 1, (size_t)slotSize, f) != (size_t)slotSize) return 0;
    if (!SafeFlush(f)) return 0;
    // The raised count is the step that makes the slot part of the store.
    if (WriteSlotCount(f, count + 1)) return 1;
    unsigned char b[2] = {(unsigned char)(count & 0xFF), (unsigned char)((count >> 8) & 0xFF)};
    PutBack(f, 0, b, 2);
    return 0;
}

int DeleteSlot(const char *path, FILE **f, int slotSize, int index) {
    if (!path || !*path || !f || !*f || !ValidSlotSize(slotSize)) return 0;
    int16_t count = 0;
    if (!ReadSlotCount(*f, &count) || index < 0 || index >= count) return 0;
    // The whole file as it is now: the count, the counted slots and any stale
    // tail, so that the new copy keeps the file's length.
    int64_t size = -1;
    if (std::fseek(*f, 0, SEEK_END) == 0) size = (int64_t)std::ftell(*f);
    if (size < SlotOffset(slotSize, count) || !SeekTo(*f, 0)) return 0;
    std::string bytes((size_t)size, '\0');
    if (SafeRead(&bytes[0], 1, bytes.size(), *f) != bytes.size()) return 0;
    // Later slots move down one place in the copy; the last counted slot keeps
    // its old bytes behind the lowered count, as a delete has always left it.
    for (int j = index; j < count - 1; ++j)
        std::memmove(&bytes[(size_t)SlotOffset(slotSize, j)], &bytes[(size_t)SlotOffset(slotSize, j + 1)],
                     (size_t)slotSize);
    int lowered = count - 1;
    bytes[0] = (char)(lowered & 0xFF);
    bytes[1] = (char)((lowered >> 8) & 0xFF);
    // The stream lets go of the file (Windows replaces no open file), the copy
    // takes its place, and the stream is opened again on whichever file is
    // there now: the new one, or the old one untouched.
    std::fclose(*f);
    int ok = WriteWholeFileSafely(path, bytes.data(), bytes.size());
    *f = ReopenAfterRewrite(path, "r+b");
    return (ok && *f) ? 1 : 0;
}

FILE *OpenSlotStore(const char *path, int16_t *count) {
    if (!path || !*path || !count) return nullptr;
    FilePtr f(SafeOpen(path, "r+b"));
    if (!f) {
        // Only a file that is truly absent is created: "w+b" on a file that
        // exists but refused "r+b" (shared, read-only) would empty it.
        if (FileExists(path)) return nullptr;
        f.reset(SafeOpen(path, "w+b"));
        if (!f) return nullptr;
        if (!WriteSlotCount(f.get(), 0)) {
            f.reset();
            SafeRemove(path);
            return nullptr;
        }
        *count = 0;
        return f.release();
    }
    int16_t n = 0;
    if (!ReadSlotCount(f.get(), &n)) {
        // Fewer than two bytes: an interrupted creation; there is no slot to keep.
        if (std::fseek(f.get(), 0, SEEK_END) != 0 || std::ftell(f.get()) >= kCountBytes ||
            !WriteSlotCount(f.get(), 0))
            return nullptr;
        n = 0;
    }
    if (n < 0) return nullptr;
    *count = n;
    return f.release();
}

FILE *OpenSlotFileReadOnly(const char *path, int16_t *count) {
    if (!path || !*path || !count) return nullptr;
    FilePtr f(SafeOpen(path, "rb"));
    int16_t n = 0;
    if (!f || !ReadSlotCount(f.get(), &n) || n < 0) return nullptr;
    *count = n;
    return f.release();
}

int CopySlotFile(const char *source, const char *target, int slotSize) {
    if (!source || !target || !*target || !ValidSlotSize(slotSize)) return 0;
    FilePtr in(SafeOpen(source, "rb"));
    if (!in) return 0;
    int16_t count = 0;
    if (!ReadSlotCount(in.get(), &count) || count < 0 || !CountFitsFile(in.get(), slotSize, count))
        return 0;

    SafeRewrite out;
    if (!BeginSafeRewrite(target, &out)) return 0;
    std::vector<unsigned char> slot((size_t)slotSize);
    unsigned char b[2] = {(unsigned char)(count & 0xFF), (unsigned char)((count >> 8) & 0xFF)};
    bool ok = SafeWriteAll(out.file, b, 2) == 1;
    for (int i = 0; ok && i < count; ++i) {
        ok = SafeRead(slot.data(), 1, slot.size(), in.get()) == slot.size() &&
             SafeWriteAll(out.file, slot.data(), slot.size()) == 1;
    }
    out.failed = !ok;
    ok = CommitSafeRewrite(&out) == 1;
    return ok ? 1 : 0;
}
