// Fixed-slot store files: count, slot reads and writes, append, shift-down
// delete, the open-or-create rule and the complete-or-nothing copy.
#include "sites/slotstore.h"

#include <cstdio>
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
    if (!SeekTo(f, 0) || std::fread(b, 1, 2, f) != 2) return 0;
    *count = (int16_t)(uint16_t)(b[0] | (b[1] << 8));
    return 1;
}

int WriteSlotCount(FILE *f, int count) {
    if (!f || count < 0 || count > kMaxSlotCount) return 0;
    unsigned char b[2] = {(unsigned char)(count & 0xFF), (unsigned char)((count >> 8) & 0xFF)};
    if (!SeekTo(f, 0) || std::fwrite(b, 1, 2, f) != 2) return 0;
    return std::fflush(f) == 0 ? 1 : 0;
}

int ReadSlot(FILE *f, int slotSize, int index, void *slot) {
    if (!f || !slot || !ValidSlotSize(slotSize) || !IndexInRange(f, index)) return 0;
    if (!SeekTo(f, SlotOffset(slotSize, index))) return 0;
    return std::fread(slot, 1, (size_t)slotSize, f) == (size_t)slotSize ? 1 : 0;
}

int WriteSlot(FILE *f, int slotSize, int index, const void *slot) {
    if (!f || !slot || !ValidSlotSize(slotSize) || !IndexInRange(f, index)) return 0;
    if (!SeekTo(f, SlotOffset(slotSize, index))) return 0;
    if (std::fwrite(slot, 1, (size_t)slotSize, f) != (size_t)slotSize) return 0;
    return std::fflush(f) == 0 ? 1 : 0;
}

int AppendSlot(FILE *f, int slotSize, const void *slot) {
    if (!f || !slot || !ValidSlotSize(slotSize)) return 0;
    int16_t count = 0;
    if (!ReadSlotCount(f, &count) || count < 0 || count >= kMaxSlotCount) return 0;
    if (!SeekTo(f, SlotOffset(slotSize, count))) return 0;
    if (std::fwrite(slot, 1, (size_t)slotSize, f) != (size_t)slotSize) return 0;
    if (std::fflush(f) != 0) return 0;
    return WriteSlotCount(f, count + 1);
}

int DeleteSlot(FILE *f, int slotSize, int index) {
    if (!f || !ValidSlotSize(slotSize)) return 0;
    int16_t count = 0;
    if (!ReadSlotCount(f, &count) || index < 0 || index >= count) return 0;
    std::vector<unsigned char> slot((size_t)slotSize);
    for (int j = index; j < count - 1; ++j) {
        if (!SeekTo(f, SlotOffset(slotSize, j + 1)) ||
            std::fread(slot.data(), 1, slot.size(), f) != slot.size())
            return 0;
        if (!SeekTo(f, SlotOffset(slotSize, j)) ||
            std::fwrite(slot.data(), 1, slot.size(), f) != slot.size() || std::fflush(f) != 0)
            return 0;
    }
    return WriteSlotCount(f, count - 1);
}

FILE *OpenSlotStore(const char *path, int16_t *count) {
    if (!path || !*path || !count) return nullptr;
    FilePtr f(std::fopen(path, "r+b"));
    if (!f) {
        // Only a file that is truly absent is created: "w+b" on a file that
        // exists but refused "r+b" (shared, read-only) would empty it.
        if (FileExists(path)) return nullptr;
        f.reset(std::fopen(path, "w+b"));
        if (!f) return nullptr;
        if (!WriteSlotCount(f.get(), 0)) {
            f.reset();
            std::remove(path);
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
    FilePtr f(std::fopen(path, "rb"));
    int16_t n = 0;
    if (!f || !ReadSlotCount(f.get(), &n) || n < 0) return nullptr;
    *count = n;
    return f.release();
}

int CopySlotFile(const char *source, const char *target, int slotSize) {
    if (!source || !target || !*target || !ValidSlotSize(slotSize)) return 0;
    FilePtr in(std::fopen(source, "rb"));
    if (!in) return 0;
    int16_t count = 0;
    if (!ReadSlotCount(in.get(), &count) || count < 0) return 0;

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
