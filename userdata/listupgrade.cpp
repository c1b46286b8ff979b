// Observing lists of the previous generations (see listupgrade.h).
#include "userdata/listupgrade.h"

#include <cctype>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "core/safefile.h"
#include "core/versionstamp.h"

namespace {

const int kOldIndexOffset = 149;   // int32 catalogue index in an old item
const int kOldClassOffset = 153;   // class code byte
const int kHeaderCountOffset = 5;  // int16 item count of the current header
const int kHeaderRefreshFlag = 105;
const int kHeaderGroupOffset = 106;
const int kHeaderSettingsOffset = 111;
const int kMaxListItems = 32767;

struct OldListLayout {
    int headerSize, itemSize;
    bool settings;  // the new header gets the settings 1, 2, 3
};
const OldListLayout kLayout264 = {kOldListHeaderSize, kOldListItemSize, true};
const OldListLayout kLayout329 = {kOldListHeaderSize329, kOldListItemSize329, false};

int ReadItem(FILE *file, const OldListLayout &layout, int index, ObjectRecord *item) {
    if (!file || !item || index < 0) return -1;
    if (!SafeSeek(file, layout.headerSize + static_cast<int64_t>(index) * layout.itemSize)) return -1;
    std::vector<uint8_t> old(static_cast<size_t>(layout.itemSize));
    if (SafeRead(old.data(), old.size(), 1, file) != 1) return 0;
    return ConvertOldListItem(old.data(), item);
}

int UpgradeList(const char *oldPath, const char *newPath, int32_t value, const OldListLayout &layout) {
    if (!oldPath || !newPath) return 0;
    FileHandle in(SafeOpen(oldPath, "rb"));
    if (!in) return 0;
    std::vector<uint8_t> oldHeader(static_cast<size_t>(layout.headerSize));
    if (SafeRead(oldHeader.data(), oldHeader.size(), 1, in.get()) != 1) return 0;
    int64_t left = BytesLeftInStream(in.get());
    if (left < 0) return 0;
    int64_t whole = left / layout.itemSize;
    if (whole > kMaxListItems) return 0;  // more than a list can count
    int16_t count = static_cast<int16_t>(whole);

    // The header states the number of items written, so that a reader of
    // the list finds them all.
    uint8_t header[kListHeaderSize] = {0};
    VersionStamp stamp;
    SetCurrentStamp(&stamp);
    std::memcpy(header, &stamp, sizeof stamp);
    std::memcpy(header + kHeaderCountOffset, &count, 2);
    header[kHeaderRefreshFlag] = 1;
    std::memcpy(header + kHeaderGroupOffset, &value, 4);
    if (layout.settings) {
        const int32_t settings[3] = {1, 2, 3};
        std::memcpy(header + kHeaderSettingsOffset, settings, sizeof settings);
    }
    SafeRewrite out;
    if (!BeginSafeRewrite(newPath, &out) || SafeWriteAll(out.file, header, sizeof header) != 1) return 0;
    std::vector<uint8_t> old(static_cast<size_t>(layout.itemSize));
    std::unique_ptr<ObjectRecord> item(new ObjectRecord);
    for (int i = 0; i < count; ++i) {
        if (SafeRead(old.data(), old.size(), 1, in.get()) != 1) return 0;
        ConvertOldListItem(old.data(), item.get());
        if (SafeWriteAll(out.file, item.get(), sizeof(ObjectRecord)) != 1) return 0;
    }
    in.reset();
    return CommitSafeRewrite(&out);
}

int ReadItems(const char *path, ObjectRecord **items, int count, const OldListLayout &layout) {
    if (!items) return 0;
    *items = nullptr;
    if (!path || count < 0) return 0;
    FileHandle in(SafeOpen(path, "rb"));
    if (!in) return 0;
    int64_t size = StreamSize(in.get());
    if (size < 0 || layout.headerSize + static_cast<int64_t>(count) * layout.itemSize > size) return 0;
    std::unique_ptr<ObjectRecord[]> read(new (std::nothrow) ObjectRecord[static_cast<size_t>(count) + 1]);
    if (!read) return 0;
    for (int i = 0; i < count; ++i)
        if (ReadItem(in.get(), layout, i, &read[static_cast<size_t>(i)]) != 1) return 0;
    *items = read.release();
    return 1;
}

}  // namespace

int ConvertOldListItem(const uint8_t *old, ObjectRecord *item) {
    if (!old || !item) return 0;
    // Zeroed first: the initialiser leaves some fields as it finds them, and
    // no stale bytes may reach the list file.
    std::memset(item, 0, sizeof *item);
    InitObjectRecord(item);
    std::memcpy(&item->index, old + kOldIndexOffset, 4);
    item->objectClass = old[kOldClassOffset];
    return 1;
}

int ReadOldListIndexRecord(FILE *file, int index, uint8_t *slot, int16_t value) {
    if (!file || !slot || index < 0) return 0;
    if (!SafeSeek(file, 2 + static_cast<int64_t>(index) * kOldListSlotSize) ||
        SafeRead(slot, kOldListSlotSize, 1, file) != 1)
        return 0;
    std::memcpy(slot + kOldListSlotSize, &value, 2);
    return 1;
}

int ReadOldObservingListItem(FILE *file, int index, ObjectRecord *item) {
    return ReadItem(file, kLayout264, index, item);
}

int ReadOldObservingListItem329(FILE *file, int index, ObjectRecord *item) {
    return ReadItem(file, kLayout329, index, item);
}

int ReadNextOldListRecord(FILE *file, int16_t value, int count, char *name, int32_t *number) {
    (void)value;
    if (!file) return -1;
    const int kNameSize = kOldListNameSize;
    long position = std::ftell(file);
    if (position < 0) return -1;
    int64_t slot = position <= 2 ? 0 : (position - 2 + kOldListSlotSize - 1) / kOldListSlotSize;
    for (; slot < count; ++slot) {
        uint8_t record[kOldListSlotSize];
        if (!SafeSeek(file, 2 + slot * kOldListSlotSize) || SafeRead(record, sizeof record, 1, file) != 1) return -1;
        int32_t list;
        std::memcpy(&list, record + kNameSize, 4);
        if (list == -1) continue;
        if (name) {
            std::memcpy(name, record, kNameSize);
            name[kNameSize - 1] = 0;
        }
        if (number) *number = list;
        return static_cast<int>(slot) + 1;
    }
    return 0;
}

int UpgradeListIndexFile(const char *oldPath, const char *newPath, int16_t value) {
    if (!oldPath || !newPath) return 0;
    FileHandle in(SafeOpen(oldPath, "rb"));
    if (!in) return 0;
    int16_t count = 0;
    if (!ReadCheckedRecordCount(in.get(), kOldListSlotSize, &count)) return 0;
    SafeRewrite out;
    if (!BeginSafeRewrite(newPath, &out) || SafeWriteAll(out.file, &count, 2) != 1) return 0;
    uint8_t slot[kListSlotSize];
    for (int i = 0; i < count; ++i)
        if (!ReadOldListIndexRecord(in.get(), i, slot, value) || SafeWriteAll(out.file, slot, sizeof slot) != 1)
            return 0;
    in.reset();
    return CommitSafeRewrite(&out);
}

int UpgradeObservingListFile(const char *oldPath, const char *newPath, int32_t value) {
    return UpgradeList(oldPath, newPath, value, kLayout264);
}

int UpgradeObservingListFile329(const char *oldPath, const char *newPath, int32_t value) {
    return UpgradeList(oldPath, newPath, value, kLayout329);
}

int ReadOldObservingListItems(const char *path, ObjectRecord **items, int count) {
    return ReadItems(path, items, count, kLayout264);
}

int ReadOldObservingListItems329(const char *path, ObjectRecord **items, int count) {
    return ReadItems(path, items, count, kLayout329);
}

bool IsOldListFileName(const std::string &name, const char *stem, int *number) {
    const size_t kOldNumberDigits = 3;
    std::string prefix = std::string(stem) + ".";
    if (name.size() != prefix.size() + kOldNumberDigits || name.compare(0, prefix.size(), prefix) != 0) return false;
    int n = 0;
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
        n = n * 10 + (name[i] - '0');
    }
    if (number) *number = n;
    return true;
}
