// Converters of the older generation's observing lists (see listupgrade.h).
#include "userdata/listupgrade.h"

#include <cctype>
#include <cstring>

#include "core/safefile.h"
#include "userdata/listindex.h"

namespace {

const size_t kOldIndexAt = 149;
const size_t kOldClassAt = 153;
const int kOldNumberDigits = 3;

ObjectRecord ConvertOldItem(const char *bytes) {
    ObjectRecord item;
    ClearObjectRecord(&item);
    int32_t index = 0;
    std::memcpy(&index, bytes + kOldIndexAt, sizeof index);
    item.index = index;
    item.objectClass = static_cast<uint8_t>(bytes[kOldClassAt]);
    return item;
}

}  // namespace

bool IsOldListFileName(const std::string &name, const char *stem, int *number) {
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

int ReadOldListIndex(const char *path, std::vector<OldListSlot> *slots) {
    slots->clear();
    std::string bytes;
    if (!path || !ReadWholeFile(path, &bytes) || bytes.size() < 2) return 0;
    int16_t n = 0;
    std::memcpy(&n, bytes.data(), 2);
    if (n < 0 || (size_t)n > (bytes.size() - 2) / kOldListSlotBytes) return 0;
    for (int i = 0; i < n; ++i) {
        const char *slot = bytes.data() + 2 + (size_t)i * kOldListSlotBytes;
        OldListSlot s;
        s.name.assign(slot, strnlen(slot, kOldListNameBytes - 1));
        std::memcpy(&s.items, slot + kOldListNameBytes, sizeof s.items);
        std::memcpy(s.time, slot + kOldListNameBytes + 2, sizeof s.time);
        slots->push_back(s);
    }
    return 1;
}

int UpgradeListIndexFile(const char *oldPath, const char *newPath, int group) {
    std::vector<OldListSlot> old;
    if (!newPath || !ReadOldListIndex(oldPath, &old)) return 0;
    int16_t n = (int16_t)old.size();
    std::string bytes(reinterpret_cast<const char *>(&n), sizeof n);
    for (const OldListSlot &s : old) {
        ListIndexEntry e;
        std::memset(&e, 0, sizeof e);
        e.items = s.items;
        if (s.items >= 0) {
            std::memcpy(e.name, s.name.data(), s.name.size());
            std::memcpy(&e.time, s.time, sizeof e.time);
            e.group = (int16_t)group;
        }
        bytes.append(reinterpret_cast<const char *>(&e), sizeof e);
    }
    return WriteWholeFileSafely(newPath, bytes.data(), bytes.size());
}

int UpgradeObservingListFile(const char *oldPath, const char *newPath, int32_t notesGroup) {
    std::string old;
    if (!oldPath || !newPath || !ReadWholeFile(oldPath, &old) || old.size() < (size_t)kOldListHeaderBytes) return -1;
    size_t n = (old.size() - kOldListHeaderBytes) / kOldListItemBytes;
    if (n > (size_t)kListItemsMax) n = kListItemsMax;
    ListFileHeader header;
    InitListFileHeader(&header);
    header.notesGroup = notesGroup;
    header.items = (int16_t)n;
    std::string bytes(reinterpret_cast<const char *>(&header), sizeof header);
    for (size_t k = 0; k < n; ++k) {
        ObjectRecord item = ConvertOldItem(old.data() + kOldListHeaderBytes + k * kOldListItemBytes);
        bytes.append(reinterpret_cast<const char *>(&item), sizeof item);
    }
    return WriteWholeFileSafely(newPath, bytes.data(), bytes.size()) ? (int)n : -1;
}

int ReadOldObservingListItems(const char *path, std::vector<ObjectRecord> *items, int count) {
    items->clear();
    std::string old;
    if (!path || count < 0 || !ReadWholeFile(path, &old) || old.size() < (size_t)kOldListHeaderBytes) return 0;
    size_t n = (old.size() - kOldListHeaderBytes) / kOldListItemBytes;
    if ((size_t)count > n) return 0;
    for (int k = 0; k < count; ++k)
        items->push_back(ConvertOldItem(old.data() + kOldListHeaderBytes + (size_t)k * kOldListItemBytes));
    return 1;
}
