// Readers of the variable-star names list and of the remark texts.
#include "objects/variablenamelist.h"

#include <cstdint>
#include <new>

#include "objects/catfile.h"
#include "objects/variablenames.h"

struct VariableNameList {
    FILE *stream;
    int constellation;  // 0 until one is selected
    int64_t offset;     // byte offset of the selected constellation's entries
    int count;
    int next;           // entry a sequential read gives
};

namespace {
const int kNamesCatalogue = 48;    // "vnames"
const int kRemarksCatalogue = 85;  // "gcvs_remarks"
const int kReferenceSlot = 1;
const int kConstellationCount = 88;
}  // namespace

VariableNameList *OpenVariableNameList() {
    FILE *f = OpenCatalogueFile(kNamesCatalogue, kReferenceSlot);
    if (!f) return nullptr;
    VariableNameList *list = new (std::nothrow) VariableNameList{f, 0, 0, 0, 0};
    if (!list) std::fclose(f);
    return list;
}

void CloseVariableNameList(VariableNameList *list) {
    if (!list) return;
    if (list->stream) std::fclose(list->stream);
    delete list;
}

int SelectVariableNameConstellation(VariableNameList *list, int c) {
    if (!list) return 0;
    list->constellation = 0;
    list->count = 0;
    list->next = 0;
    if (c < 1 || c > kConstellationCount) return 0;
    unsigned char entry[kVariableNameIndexEntrySize];
    if (!ReadAt(list->stream, (int64_t)(c - 1) * kVariableNameIndexEntrySize, entry, sizeof entry))
        return 0;
    const int64_t offset = GetU32(entry);
    const int count = GetI16(entry + 4);
    // A count that is negative or runs past the end of the file reads as none.
    if (count < 0 || offset + (int64_t)count * kVariableNameEntrySize > StreamSize(list->stream))
        return 0;
    list->constellation = c;
    list->offset = offset;
    list->count = count;
    return count;
}

int ReadVariableNameEntry(VariableNameList *list, int k, int *record, char *name) {
    if (!list || list->constellation == 0) return 0;
    if (k < 0) k = list->next;
    if (k >= list->count) return 0;
    unsigned char entry[kVariableNameEntrySize];
    if (!ReadAt(list->stream, list->offset + (int64_t)k * kVariableNameEntrySize, entry,
                sizeof entry))
        return 0;
    list->next = k + 1;
    const int number = GetU16(entry);
    const int superscript = entry[2];
    if (record) *record = GetU16(entry + 3);
    if (name) {
        name[0] = '\0';  // a number the naming does not cover gives an empty name
        FormatVariableStarName(list->constellation, number, superscript, name);
    }
    return 1;
}

FILE *OpenVariableRemarks() { return OpenCatalogueFile(kRemarksCatalogue, kReferenceSlot); }

int ReadVariableRemark(FILE *stream, char *buffer, size_t size, int k) {
    if (!stream || !buffer || k < kFirstVariableRemark) return 0;
    unsigned char entry[kVariableRemarkIndexEntrySize];
    if (!ReadAt(stream, (int64_t)(k - kFirstVariableRemark) * kVariableRemarkIndexEntrySize,
                entry, sizeof entry))
        return 0;
    const uint32_t offset = GetU32(entry);
    const uint16_t length = GetU16(entry + 4);
    if (length > size) return 0;
    return ReadAt(stream, offset, buffer, length) ? 1 : 0;
}
