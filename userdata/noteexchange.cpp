// Note records, the notes register and notes packages (see noteexchange.h).
#include "userdata/noteexchange.h"

#include <cstring>
#include <string>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "userdata/groupstore.h"
#include "userdata/notefiles.h"
#include "userdata/notestore.h"
#include "userdata/userobjectdata.h"

std::string NotesRegistryPath() { return GroupStoreRegistryPath(kNotesKind); }

int FindRegisteredNotesPackage(const char *name, FileTimeValue *created) {
    return FindRegisteredKindPackage(kNotesKind, name, created);
}

int RegisterNotesPackage(const char *name, const FileTimeValue *created) {
    return RegisterKindPackage(kNotesKind, name, created);
}

int WriteObjectNoteRecord(FILE *file, int group, const ObjectRecord *record) {
    if (!file || !record) return -1;
    ObjectRecord object = *record;
    NoteIndexLists lists;
    if (!LoadNoteIndexLists(group, &lists)) return -1;
    int number = FindNoteOfObject(&lists, &object);
    FreeNoteIndexLists(&lists);
    if (number < 0) return 0;
    NoteHeader header;
    std::string text;
    if (!ReadNoteFile(group, object.categoryBits, number, &header, &text)) return -1;
    if (header.index != object.index) header.index = object.index;

    NoteRecordHead head;
    std::memset(&head, 0, sizeof head);
    size_t titleLength = std::strlen(header.title);
    head.textLength = text.empty() ? 0 : static_cast<int32_t>(text.size() + 1);
    head.titleLength = static_cast<uint8_t>(titleLength);
    head.status = header.status;
    head.objectClass = header.objectClass;
    head.index = header.index;
    if (!SafeWriteAll(file, &head, sizeof head) || !SafeWriteAll(file, header.title, titleLength + 1))
        return -1;
    if (head.textLength > 0 && !SafeWriteAll(file, text.c_str(), text.size() + 1)) return -1;
    if (!WriteUserObjectData(file, header.objectClass, header.index)) return -1;
    return 1;
}

int WriteNoteRecordsEnd(FILE *file) {
    if (!file) return 0;
    NoteRecordHead end;
    std::memset(&end, 0, sizeof end);
    end.textLength = -1;
    return SafeWriteAll(file, &end, sizeof end);
}

int ReadNoteRecords(FILE *file, int group, int sourceVersion, int expectedCount,
                    NoteProgressCallback progress) {
    if (!file) return -1;
    ProgressTicker ticker(progress, expectedCount);
    int set = 0;
    for (;;) {
        ticker.Tick();
        int32_t textLength = 0, status = 0, index = 0;
        uint8_t objectClass = 0;
        std::string title;
        if (sourceVersion >= 3000) {
            NoteRecordHead head;
            if (SafeRead(&head, sizeof head, 1, file) != 1) return -1;
            if (head.textLength < 0) break;
            // The header holds at most 64 characters: a longer title is no
            // note of this format.
            if (head.titleLength > kNoteTitleMax) return -1;
            char buffer[kNoteTitleMax + 1];
            if (SafeRead(buffer, 1, head.titleLength + 1u, file) != head.titleLength + 1u) return -1;
            buffer[head.titleLength] = '\0';
            title = buffer;
            textLength = head.textLength;
            status = head.status;
            objectClass = head.objectClass;
            index = head.index;
        } else {
            OldNoteRecordHead head;
            if (SafeRead(&head, sizeof head, 1, file) != 1) return -1;
            if (head.textLength < 0) break;
            char buffer[kOldNoteTitleField + 1];
            if (SafeRead(buffer, 1, kOldNoteTitleField, file) != static_cast<size_t>(kOldNoteTitleField))
                return -1;
            buffer[kOldNoteTitleField] = '\0';
            title = buffer;
            textLength = head.textLength;
            objectClass = head.objectClass;
            index = head.index;
        }
        long left = BytesLeftInStream(file);
        if (left < 0 || textLength > left) return -1;
        std::string text(static_cast<size_t>(textLength), '\0');
        if (textLength > 0 && SafeRead(&text[0], 1, text.size(), file) != text.size()) return -1;
        text = std::string(text.c_str());

        ObjectRecord record;
        ClearObjectRecord(&record);
        record.objectClass = objectClass;
        record.index = index;
        record.categoryBits = ClassCategoryBits(objectClass);
        int32_t localId = index, category = static_cast<int32_t>(record.categoryBits);
        if (!ReadUserObjectData(file, objectClass, &localId, &category, sourceVersion, 0, 1)) return -1;
        record.index = localId;
        record.categoryBits = static_cast<uint32_t>(category);

        // An empty incoming note would delete the note here: passed over.
        if (TrimmedNoteText(title.c_str()).empty() && TrimmedNoteText(text.c_str()).empty() &&
            status == 0)
            continue;
        int r = SetNote(group, &record, title.c_str(), text.c_str(), status);
        if (r == kNoteFailed) return -1;
        if (r >= 0) ++set;
    }
    return set;
}

FILE *CreateNotesPackage(const char *path, const char *name, const char *description) {
    return CreateKindPackage(kNotesKind, path, name, description);
}

int CloseNotesPackage(FILE *file, int noteCount) {
    return CloseKindPackage(kNotesKind, file, noteCount, WriteNoteRecordsEnd);
}

int ImportNotesPackage(const char *path, PackageHeader *header, std::string *description,
                       NoteProgressCallback progress) {
    return ImportKindPackage(kNotesKind, path, header, description,
                             [progress](FILE *file, int group, const PackageHeader &h) {
                                 return ReadNoteRecords(file, group, GetStampVersion(&h.stamp),
                                                        h.counts[kNotesKind.countSlot], progress);
                             });
}
