// The object picker's recent objects (see pickerhistory.h).
#include "picker/pickerhistory.h"

#include <cstring>
#include <vector>

#include "core/dlgsettings.h"
#include "objects/objectrecord.h"

static_assert(kRecentObjectsBytes == kRecentObjectCount * sizeof(ObjectRecord),
              "the recent objects block holds 12 records");

namespace {

bool SameObject(const ObjectRecord &a, const ObjectRecord &b) {
    int32_t ia, ib;
    std::memcpy(&ia, &a.index, sizeof ia);
    std::memcpy(&ib, &b.index, sizeof ib);
    return a.objectClass == b.objectClass && ia == ib && a.starComponent == b.starComponent;
}

void ClearList(ObjectRecord list[kRecentObjectCount]) {
    for (int i = 0; i < kRecentObjectCount; ++i) ClearObjectRecord(&list[i]);
}

}  // namespace

void LoadRecentObjects(ObjectRecord list[kRecentObjectCount]) {
    if (!list) return;
    std::vector<unsigned char> block(kRecentObjectsBytes);
    if (GetDialogSetting(block.data(), kRecentObjectsBytes, kDdsRecentObjects))
        std::memcpy(list, block.data(), kRecentObjectsBytes);
    else
        ClearList(list);
}

int CountRecentObjects(const ObjectRecord list[kRecentObjectCount]) {
    if (!list) return 0;
    int n = 0;
    while (n < kRecentObjectCount && list[n].objectClass != kClassNone) ++n;
    return n;
}

int AddToRecentObjects(ObjectRecord list[kRecentObjectCount], const ObjectRecord *object) {
    if (!list || !object || object->objectClass == kClassNone) return 0;
    const ObjectRecord chosen = *object;  // the object may be an entry of the list
    // Duplicates are taken out; after a removal the same slot holds the next
    // entry and is examined again, so two copies in a row both go.
    int i = 0;
    while (i < kRecentObjectCount && list[i].objectClass != kClassNone) {
        if (SameObject(list[i], chosen)) {
            std::memmove(&list[i], &list[i + 1],
                         (kRecentObjectCount - 1 - i) * sizeof(ObjectRecord));
            ClearObjectRecord(&list[kRecentObjectCount - 1]);
        } else {
            ++i;
        }
    }
    std::memmove(&list[1], &list[0], (kRecentObjectCount - 1) * sizeof(ObjectRecord));
    list[0] = chosen;
    return 1;
}

int RecordRecentObject(const ObjectRecord *object) {
    if (!object || object->objectClass == kClassNone) return 0;
    std::vector<ObjectRecord> list(kRecentObjectCount);
    LoadRecentObjects(list.data());
    AddToRecentObjects(list.data(), object);
    return PutDialogSetting(list.data(), kRecentObjectsBytes, kDdsRecentObjects);
}

int ChooseStartingObject(ObjectRecord *current, const ObjectRecord list[kRecentObjectCount]) {
    if (!current) return 0;
    int32_t index;
    std::memcpy(&index, &current->index, sizeof index);
    if (index != kNoObjectIndex) return 0;
    InitObjectRecord(current);
    if (list && list[1].objectClass != kClassNone) {
        *current = list[1];
    } else {
        current->objectClass = kClassSolarSystem;
        current->index = 5;  // Jupiter
    }
    return 1;
}
