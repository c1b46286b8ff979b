// Observing-list transfer files (see listtransfer.h).
#include "userdata/listtransfer.h"

#include <cstring>
#include <memory>

#include "core/grouplist.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "minorbodies/usercatalogs.h"
#include "objects/categories.h"
#include "userdata/imagelinkexchange.h"
#include "userdata/imageplots.h"
#include "userdata/linkexchange.h"
#include "userdata/listgroups.h"
#include "userdata/listindex.h"
#include "userdata/noteexchange.h"
#include "userdata/userobjectdata.h"

namespace {

// The stores whose groups an import may need, in ListImportState order.
const int kStoreNotes = 0;
const int kStoreLinks = 1;
const int kStoreImageLinks = 2;
const int kStoreImages = 3;
const int kStoreKinds[4] = {kGroupNotes, kGroupLinks, kGroupImageLinks, kGroupImages};
const int kTakenLog = 3;
// A portion reads this share of the items between progress reports.
const double kPercent = 0.01;
const int kProgressTenth = 10;

struct ListFileCloser {
    void operator()(ListFile *file) const { DiscardListFile(file); }
};

// The 0-based position of the group with that id, or -1.
int GroupPosition(int kind, int id) {
    GroupRecord record;
    int position = FindGroupById(kind, id, &record);
    return position > 0 ? position - 1 : -1;
}

// Finds or makes the group named as the list; its id, -1 on failure.
int FindOrMakeGroup(int kind, const char *name, bool *made) {
    GroupRecord record;
    *made = false;
    int position = FindGroupByName(kind, name, &record);
    if (position < 0) return -1;
    if (position == 0) {
        position = AddGroup(kind, name, &record);
        if (position == 0) return -1;
        *made = position > 0;
    }
    return record.id;
}

// The list's file bytes: its old header (or a new one) with the count and
// the refresh flag set, the items, and whatever followed them before.
std::string ListBytes(const std::string &old, const std::vector<ObjectRecord> &items) {
    ListFileHeader header;
    if (old.size() >= (size_t)kListHeaderBytes) std::memcpy(&header, old.data(), sizeof header);
    else InitListFileHeader(&header);
    header.items = (int16_t)items.size();
    header.refreshFlag = 1;  // the new items' computed fields are not computed yet
    std::string bytes(reinterpret_cast<const char *>(&header), sizeof header);
    if (!items.empty()) bytes.append(reinterpret_cast<const char *>(items.data()), items.size() * kListItemBytes);
    if (bytes.size() < old.size()) bytes.append(old, bytes.size(), std::string::npos);
    return bytes;
}

// Groups this import made and left empty go again (also after a failure);
// a group that was there before is the user's and stays.
void DropEmptyGroupsMade(ListImportState *state) {
    const int takenBy[4] = {state->taken[kStoreNotes], state->taken[kStoreLinks],
                            state->taken[kStoreImageLinks], state->taken[kStoreImageLinks]};
    for (int s = 0; s < 4; ++s) {
        if (!state->groupMade[s] || takenBy[s] > 0) continue;
        int position = GroupPosition(kStoreKinds[s], state->groupIds[s]);
        if (position >= 0) DeleteGroup(kStoreKinds[s], position);
        state->groupMade[s] = false;
    }
}

}  // namespace

ListImportState::~ListImportState() {
    if (transfer) std::fclose(transfer);
}

FILE *CreateListTransferFile(const char *path, const char *name, const char *description) {
    return CreatePackageFile(path, kListPackageKind, name, description);
}

int ExportList(FILE *file, int slot, int flags, int notesGroup, int linksGroup, int imageLinksGroup,
               ListProgressCallback progress, const ListLogSection *log) {
    if (!file) return -1;
    if ((flags & kListTransferLog) && (!log || !log->exportEntries)) return -1;
    std::vector<ListIndexEntry> slots;
    if (!ReadListIndexSlots(&slots) || slot < 0 || slot >= (int)slots.size() || slots[(size_t)slot].items < 0)
        return -1;
    int n = 0;
    std::unique_ptr<ListFile, ListFileCloser> list(OpenListFile(slot, &n));
    std::vector<ObjectRecord> items;
    if (!list || !ReadAllListItems(list.get(), n, &items) || (int)items.size() != n) return -1;
    if (n == 0) return 0;
    int64_t headAt = std::ftell(file);
    ListTransferHead head;
    std::memset(&head, 0, sizeof head);
    std::memcpy(head.name, slots[(size_t)slot].name, sizeof head.name);
    head.items = (int16_t)n;
    head.flags = (int16_t)flags;
    if (headAt < 0 || SafeWrite(&head, sizeof head, 1, file) != 1) return -1;
    int32_t counts[5] = {0, 0, 0, 0, 0};
    int step = n / kProgressTenth > 0 ? n / kProgressTenth : 1, counter = 0;
    for (const ObjectRecord &item : items) {
        if (++counter >= step) {
            if (progress) progress(kProgressTenth);
            counter = 0;
        }
        if (item.objectClass == kClassNone) continue;
        ListItemKey key{item.objectClass, item.index};
        if (SafeWrite(&key, sizeof key, 1, file) != 1 || !WriteUserObjectData(file, item.objectClass, item.index))
            return -1;
        ++counts[0];
        if (flags & kListTransferLog) {
            int written = log->exportEntries(file, &item);
            if (written < 0) return -1;
            counts[1] += written;
        }
        if (flags & kListTransferNotes) {
            int written = WriteObjectNoteRecord(file, notesGroup, &item);
            if (written < 0 || WriteNoteRecordsEnd(file) != 1) return -1;
            counts[2] += written;
        }
        if (flags & kListTransferLinks) {
            int written = WriteObjectLinksRecord(file, linksGroup, &item);
            if (written < 0 || WriteLinkRecordsEnd(file) != 1) return -1;
            counts[3] += written;
        }
        if (flags & kListTransferImageLinks) {
            int written = WriteObjectImageLinksRecord(file, imageLinksGroup, &item);
            if (written < 0 || WriteImageLinkRecordsEnd(file) != 1) return -1;
            counts[4] += written;
        }
    }
    // The head counts the keys written, as the header does.
    head.items = (int16_t)counts[0];
    if (!SafeSeek(file, headAt) || SafeWrite(&head, sizeof head, 1, file) != 1) return -1;
    PackageHeader header;
    return FinishPackageCounts(file, counts, &header) ? 1 : -1;
}

int ExportListToFile(const char *path, int slot, int flags, int notesGroup, int linksGroup,
                     int imageLinksGroup, ListProgressCallback progress, const ListLogSection *log) {
    if (!path) return -1;
    std::vector<ListIndexEntry> slots;
    if (!ReadListIndexSlots(&slots) || slot < 0 || slot >= (int)slots.size()) return -1;
    // A description that is there but cannot be read fails the export
    // rather than travelling as none.
    std::string description;
    if (FsKind(FormatListDescriptionPath(slot)) == 0 && !ReadListDescription(slot, &description)) return -1;
    FILE *file = CreateListTransferFile(path, slots[(size_t)slot].name, description.c_str());
    if (!file) {
        SafeRemove(path);
        return -1;
    }
    int result = ExportList(file, slot, flags, notesGroup, linksGroup, imageLinksGroup, progress, log);
    // Closed exactly once in every case, so that a failed file can go.
    int flushed = result == 1 ? SafeFlush(file) : 1;
    int closed = SafeClose(file);
    if (result == 1 && !(flushed && closed)) result = -1;
    if (result != 1) SafeRemove(path);
    return result;
}

int BeginListImport(ListImportState *state, int group, const char *path, int percent,
                    PackageHeader *header, std::string *description, const ListLogSection *log) {
    if (!state || !path) return 0;
    if (state->transfer) std::fclose(state->transfer);
    state->transfer = nullptr;
    state->header = PackageHeader{};
    state->head = ListTransferHead{};
    state->name.clear();
    state->description.clear();
    state->itemsRead = state->itemTotal = state->progressCounter = 0;
    state->progressStep = 1;
    state->items.clear();
    state->groupsReady = state->complete = false;
    for (int s = 0; s < 4; ++s) {
        state->groupIds[s] = -1;
        state->groupMade[s] = false;
        state->taken[s] = 0;
    }
    state->imagesFolder.clear();
    FileHandle file(SafeOpen(path, "rb"));
    if (!file) return 0;
    char *text = nullptr;
    if (!ReadPackageHeader(file.get(), &state->header, &text)) return 0;
    state->description = text ? text : "";
    delete[] text;
    state->header.name[sizeof state->header.name - 1] = '\0';
    if (!PackageHeaderAccepted(&state->header, kListPackageKind)) return 0;
    if (SafeRead(&state->head, sizeof state->head, 1, file.get()) != 1) return 0;
    state->head.name[sizeof state->head.name - 1] = '\0';
    // The list's name as a slot keeps it: the head's, else the header's.
    char name[kListNameMax + 1];
    CopyStringTruncated(name, state->head.name[0] ? state->head.name : state->header.name, sizeof name);
    if (!name[0]) return 0;
    state->name = name;
    // The keys in the file are the header's count; it drives no allocation.
    if (state->header.counts[0] < 0 || state->header.counts[0] > kListItemsMax) return 0;
    if ((state->head.flags & kListTransferLog) && (!log || !log->importEntries)) return 0;
    state->itemTotal = state->header.counts[0];
    state->sourceVersion = GetStampVersion(&state->header.stamp);
    state->listGroup = group;
    state->log = log;
    int step = (int)(percent * kPercent * state->itemTotal);
    state->progressStep = step > 0 ? step : 1;
    state->transfer = file.release();
    if (header) *header = state->header;
    if (description) *description = state->description;
    return 1;
}

int ImportNextListItems(ListImportState *state, const char *imagesFolder) {
    if (!state || !state->transfer) return -1;
    int flags = state->head.flags;
    if (!state->groupsReady) {
        state->imagesFolder = imagesFolder && *imagesFolder ? std::string(imagesFolder) : ImagesFolder();
        const bool needed[4] = {(flags & kListTransferNotes) != 0, (flags & kListTransferLinks) != 0,
                                (flags & kListTransferImageLinks) != 0, (flags & kListTransferImageLinks) != 0};
        for (int s = 0; s < 4; ++s) {
            if (!needed[s]) continue;
            bool made = false;
            state->groupIds[s] = FindOrMakeGroup(kStoreKinds[s], state->name.c_str(), &made);
            state->groupMade[s] = made;
            if (state->groupIds[s] < 0) return -1;
        }
        state->groupsReady = true;
    }
    // Positions move when groups are added or removed: looked up per portion.
    int positions[3] = {-1, -1, -1};
    for (int s = kStoreNotes; s <= kStoreImageLinks; ++s)
        if (state->groupIds[s] >= 0 && (positions[s] = GroupPosition(kStoreKinds[s], state->groupIds[s])) < 0)
            return -1;
    FILE *file = state->transfer;
    while (state->itemsRead < state->itemTotal) {
        ListItemKey key;
        if (SafeRead(&key, sizeof key, 1, file) != 1) return -1;
        ++state->itemsRead;
        ObjectRecord item;
        ClearObjectRecord(&item);
        item.objectClass = key.objectClass;
        item.categoryBits = ClassCategoryBits(key.objectClass);
        // A user object gets the id it has here; one that could not be
        // found or added here keeps none and is left out of the list.
        // A class this program does not know carries no block of its own:
        // its sections are read past and the item is left out.
        bool known = key.objectClass > kClassNone && key.objectClass <= kClassReferencePoint;
        bool user = IsUserObjectClass(key.objectClass) != 0;
        const int32_t sent = key.index;
        int32_t localId = user ? kNoObjectIndex : sent;
        int32_t category = (int32_t)item.categoryBits;
        if (!ReadUserObjectData(file, key.objectClass, &localId, &category, state->sourceVersion, 1, 1))
            return -1;
        item.index = localId;
        item.categoryBits = (uint32_t)category;
        if (flags & kListTransferLog) {
            int taken = state->log->importEntries(file, state->sourceVersion);
            if (taken < 0) return -1;
            state->taken[kTakenLog] += taken;
        }
        if (flags & kListTransferNotes) {
            int taken = ReadNoteRecords(file, positions[kStoreNotes], state->sourceVersion, 1, nullptr);
            if (taken < 0) return -1;
            state->taken[kStoreNotes] += taken;
        }
        if (flags & kListTransferLinks) {
            int taken = ReadLinkRecords(file, positions[kStoreLinks], state->sourceVersion, 1, nullptr);
            if (taken < 0) return -1;
            state->taken[kStoreLinks] += taken;
        }
        if (flags & kListTransferImageLinks) {
            int taken = ReadImageLinkRecords(file, positions[kStoreImageLinks], state->groupIds[kStoreImages],
                                             state->imagesFolder.c_str(),
                                             state->sourceVersion, 1, nullptr);
            if (taken < 0) return -1;
            state->taken[kStoreImageLinks] += taken;
        }
        if (known && (item.index != kNoObjectIndex || !user)) {
            if ((int)state->items.size() >= kListItemsMax) return -1;
            state->items.push_back(item);
        }
        if (++state->progressCounter >= state->progressStep && state->itemsRead < state->itemTotal) {
            state->progressCounter = 0;
            return 1;
        }
    }
    DropEmptyGroupsMade(state);
    state->complete = true;
    return 0;
}

int EndListImport(ListImportState *state, int discard) {
    if (!state) return -1;
    if (state->transfer) std::fclose(state->transfer);
    state->transfer = nullptr;
    DropEmptyGroupsMade(state);
    if (discard || !state->complete) return -1;
    std::vector<ListIndexEntry> known;
    if (!ReadListIndexSlots(&known)) return -1;
    int slot = FindListInSlots(known, state->name.c_str(), nullptr, nullptr);
    bool made = slot < 0;
    if (made) {
        slot = CreateList(state->listGroup, state->name.c_str(), 0, &state->header.created);
        if (slot < 0) return -1;
    }
    // The old list file and description are kept in memory, so that a
    // failure of any later step puts them back.
    std::string path = FormatListFilePath(slot), descPath = FormatListDescriptionPath(slot);
    std::string oldList, oldDesc;
    bool hadDesc = FsKind(descPath) == 0;
    std::vector<ListIndexEntry> slots;
    bool ok = ReadWholeFile(path.c_str(), &oldList) && (!hadDesc || ReadWholeFile(descPath.c_str(), &oldDesc)) &&
              ReadListIndexSlots(&slots) && slot < (int)slots.size();
    if (ok) {
        std::string bytes = ListBytes(oldList, state->items);
        ok = WriteWholeFileSafely(path.c_str(), bytes.data(), bytes.size()) != 0;
        if (ok) {
            ok = WriteListDescription(slot, state->description.c_str()) != 0;
            if (ok) {
                // Count and time in one rewrite of the index.
                slots[(size_t)slot].items = (int16_t)state->items.size();
                slots[(size_t)slot].time = state->header.created;
                ok = WriteListIndexSlots(slots) != 0;
                if (!ok) {
                    if (hadDesc) WriteWholeFileSafely(descPath.c_str(), oldDesc.data(), oldDesc.size());
                    else SafeRemove(descPath.c_str());
                }
            }
            if (!ok) WriteWholeFileSafely(path.c_str(), oldList.data(), oldList.size());
        }
    }
    if (!ok) {
        if (made) DeleteList(slot);
        return -1;
    }
    DeleteUserStarIndexes();
    DeleteUserDeepSkyIndexes();
    DeleteSkyMarkIndexes();
    return slot;
}
