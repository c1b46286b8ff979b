// The note value of an observing-list item.
#include "userdata/notevalue.h"

#include <memory>

#include "objects/objectrecord.h"

void ApplyNoteValueToItem(const ItemNoteContext *context, ObjectRecord *item) {
    if (!item) return;
    item->listStatus = static_cast<uint8_t>(item->listStatus & ~kItemNoteValueMask);
    if (!context || context->group < 0 || !context->lists) return;
    // The twin rule may replace the record it is given: a list item keeps its
    // own identity, so the lookup runs on a copy.
    std::unique_ptr<ObjectRecord> probe(new ObjectRecord(*item));
    int number = FindNoteOfObject(context->lists, probe.get());
    if (number < 0) return;
    NoteHeader header;
    if (!ReadNoteFile(context->group, probe->categoryBits, number, &header, nullptr)) return;
    item->listStatus = static_cast<uint8_t>(
        item->listStatus | ((header.status & 0x0F) << kItemNoteValueShift));
}
