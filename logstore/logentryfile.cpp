// Log entries: filling, writing and reading entry files and summary rows.
#include "logstore/logentryfile.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "core/debugfile.h"
#include "core/safefile.h"
#include "logstore/loglock.h"
#include "core/textutil.h"
#include "core/versionstamp.h"
#include "logstore/logobject.h"
#include "logstore/logpaths.h"
#include "logstore/oldlogentry.h"
#include "objects/categories.h"
#include "userdata/userobjectdata.h"

int FillLogEntry(LogEntry *entry, const LocationRecord *site, const LocationTrailer *trailer,
                 const DateRecord *date, const ObserverRecord *observer,
                 const InstrumentRecord *instrument, const ObjectRecord *object,
                 const char *conditions) {
    if (!entry) return 0;
    // Every byte is zeroed or copied: an instrument given is copied whole
    // over its field (330,152 of the entry's bytes), so only the rest is
    // zeroed first.
    if (instrument) {
        uint8_t *bytes = reinterpret_cast<uint8_t *>(entry);
        const size_t from = offsetof(LogEntry, instrument), to = from + sizeof(InstrumentRecord);
        std::memset(bytes, 0, from);
        std::memset(bytes + to, 0, sizeof *entry - to);
    } else {
        std::memset(entry, 0, sizeof *entry);
    }
    entry->version[0] = 3;
    entry->version[1] = 1;
    entry->version[2] = 'f';
    if (date) std::memcpy(&entry->julianDate, &date->julianDate, 8);
    if (site) std::memcpy(&entry->site, site, sizeof(LocationRecord));
    if (trailer) std::memcpy(&entry->trailer, trailer, sizeof(LocationTrailer));
    if (object) {
        entry->objectClass = object->objectClass;
        std::memcpy(&entry->catalogueIndex, &object->index, 4);
        std::memcpy(&entry->categoryBits, &object->categoryBits, 4);
    }
    if (observer) std::memcpy(&entry->observer, observer, sizeof(ObserverRecord));
    if (instrument) std::memcpy(&entry->instrument, instrument, sizeof(InstrumentRecord));
    // At most 127 characters and the terminator; the rest of the field zeroed.
    if (conditions) CopyStringZeroFilled(entry->conditions, conditions, kLogConditionsSize);
    char name[kLogDesignationSize] = {0};
    if (object && NameLogObject(object, name, 64)) std::strncpy(entry->designation, name, 64);
    entry->designation[kLogDesignationSize - 1] = 0;
    return 1;
}

int WriteLogEntryFile(FILE *file, LogEntry *entry, const char *notes) {
    if (!file || !entry) return 0;
    size_t length = notes ? std::strlen(notes) + 1 : 1;
    if (length > 0x7fffffff) return 0;
    entry->notesLength = static_cast<int32_t>(length);
    if (std::fwrite(entry, sizeof *entry, 1, file) != 1) return 0;
    if (IsUserObjectClass(entry->objectClass) &&
        !WriteUserObjectData(file, entry->objectClass, entry->catalogueIndex))
        return 0;
    if (notes && std::fwrite(notes, 1, length, file) != length) return 0;
    return 1;
}

void TerminateLogEntryTexts(LogEntry *entry) {
    entry->site.name[sizeof entry->site.name - 1] = 0;
    entry->designation[kLogDesignationSize - 1] = 0;
    entry->observer.name[sizeof entry->observer.name - 1] = 0;
    entry->instrument.name[sizeof entry->instrument.name - 1] = 0;
    // The conditions may fill all 128 bytes without a terminator: readers bound them.
}

namespace {

struct EntryLayout {
    int size;
    int (*convert)(const uint8_t *old, LogEntry *entry);  // null: the current layout
};

// The stamped layouts, the current one first. Each ends with its notes
// length; the class code is at 182 in all of them.
const EntryLayout kStampedLayouts[] = {
    {static_cast<int>(sizeof(LogEntry)), nullptr},
    {kLogEntrySize330523, ConvertLogEntry330523},
    {kLogEntrySize139679, ConvertLogEntry139679},
    {kLogEntrySize9223, ConvertLogEntry9223},
};

// 1 when an entry of the given size at start, its user-object block and its
// notes make up the file to its end exactly.
bool FileHoldsEntryOfSize(FILE *file, long start, int64_t end, int size) {
    if (end - start < size) return false;
    uint8_t objectClass = 0;
    int32_t notesLength = 0;
    if (std::fseek(file, start + offsetof(LogEntry, objectClass), SEEK_SET) != 0 ||
        std::fread(&objectClass, 1, 1, file) != 1 || std::fseek(file, start + size - 4, SEEK_SET) != 0 ||
        std::fread(&notesLength, 4, 1, file) != 1 || notesLength < 1)
        return false;
    if (IsUserObjectClass(objectClass)) {
        int32_t id = 0;
        if (!ReadUserObjectData(file, objectClass, &id, nullptr, CurrentStampVersion(), 0, 0)) return false;
    }
    long after = std::ftell(file);
    return after >= 0 && after + static_cast<int64_t>(notesLength) == end;
}

// The layout of a stamped entry file. Entries of the later generations carry
// no stamp of their own layout, but each layout has its own size, so the one
// whose entry, block and notes fill the file exactly is the one. A file no
// layout fills is read as current when it can hold a current entry (its
// notes may have been cut short); else null: its layout is unknown.
const EntryLayout *StampedEntryLayout(FILE *file, long start) {
    int64_t end = StreamSize(file);
    const EntryLayout *found = nullptr;
    if (end >= 0)
        for (const EntryLayout &l : kStampedLayouts)
            if (FileHoldsEntryOfSize(file, start, end, l.size)) {
                found = &l;
                break;
            }
    if (!found && end - start >= static_cast<int64_t>(sizeof(LogEntry))) found = &kStampedLayouts[0];
    if (std::fseek(file, start, SEEK_SET) != 0) return nullptr;
    return found;
}

}  // namespace

int ReadLogEntryFile(FILE *file, LogEntry *entry, char **notes, int merge, int rewrite) {
    if (notes) *notes = nullptr;
    if (!file || !entry) return 0;
    long start = std::ftell(file);
    VersionStamp stamp;
    if (start < 0 || std::fread(&stamp, 5, 1, file) != 1 || std::fseek(file, start, SEEK_SET) != 0)
        return 0;
    int version = GetStampVersion(&stamp);
    if (version < 3000) {
        // An entry of the previous generation: converted, and never written
        // back in place (its caller rewrites the whole file).
        std::vector<uint8_t> old(kOldLogEntrySize);
        if (std::fread(old.data(), old.size(), 1, file) != 1) return 0;
        ConvertOldLogEntry(old.data(), entry);
        rewrite = 0;
    } else {
        const EntryLayout *layout = StampedEntryLayout(file, start);
        if (!layout) {
            AppendDebugLine("log entry file of no known layout: not read");
            return 0;
        }
        if (layout->convert) {
            // An entry of an older stamped layout, converted as it is read and
            // never written back in place.
            std::vector<uint8_t> old(static_cast<size_t>(layout->size));
            if (std::fread(old.data(), old.size(), 1, file) != 1) return 0;
            layout->convert(old.data(), entry);
            rewrite = 0;
        } else if (std::fread(entry, sizeof *entry, 1, file) != 1) {
            return 0;
        }
    }
    TerminateLogEntryTexts(entry);
    if (IsUserObjectClass(entry->objectClass)) {
        int32_t id = entry->catalogueIndex;
        if (!ReadUserObjectData(file, entry->objectClass, &id, nullptr, version, 0, merge))
            return 0;
        long after = std::ftell(file);  // the notes start here
        if (after < 0) return 0;
        if (id != entry->catalogueIndex && rewrite) {
            entry->catalogueIndex = id;
            if (std::fseek(file, start, SEEK_SET) != 0 ||
                std::fwrite(entry, sizeof *entry, 1, file) != 1 || std::fflush(file) != 0)
                return 0;
        }
        if (std::fseek(file, after, SEEK_SET) != 0) return 0;
    }
    if (!notes) return 1;
    long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
    long end = std::ftell(file);
    if (end < here || std::fseek(file, here, SEEK_SET) != 0) return 0;
    int32_t length = entry->notesLength;
    if (length > end - here) length = static_cast<int32_t>(end - here);  // damaged or cut short
    if (length < 1) length = 1;
    char *text = new (std::nothrow) char[static_cast<size_t>(length) + 2];
    if (!text) return 0;
    std::memset(text, 0, static_cast<size_t>(length) + 2);
    if (entry->notesLength <= 1) {
        *notes = text;
        return 1;
    }
    size_t got = std::fread(text, 1, static_cast<size_t>(length), file);
    if (got == static_cast<size_t>(entry->notesLength)) {
        *notes = text;
        return 1;
    }
    // A short read: keep a text of more than 2 characters, with its true length.
    text[got] = 0;
    size_t kept = std::strlen(text);
    if (kept > 2) {
        entry->notesLength = static_cast<int32_t>(kept + 1);
        *notes = text;
        return 1;
    }
    delete[] text;
    return 0;
}

int ReadLogEntryByNumber(int32_t categoryBits, int32_t logNumber, LogEntry *entry, char **notes) {
    EnsureLogStoreRecovered();
    if (notes) *notes = nullptr;
    char path[kLogPathSize];
    MakeEntryFilePath(categoryBits, logNumber, path);
    if (!path[0]) return 0;
    FILE *f = std::fopen(path, "rb");
    if (!f) return 0;
    // Opened for reading only, so no write-back is asked for: a merged object
    // id is given in the entry read, and the file is left as stored.
    int ok = ReadLogEntryFile(f, entry, notes, 1, 0);
    std::fclose(f);
    return ok;
}

int32_t ReadLogSummary(FILE *file, LogSummary *summary) {
    if (!file || !summary) return -1;
    if (std::fread(summary, sizeof *summary, 1, file) != 1) return -1;
    summary->site.name[sizeof summary->site.name - 1] = 0;
    summary->observer.name[sizeof summary->observer.name - 1] = 0;
    summary->instrument.name[sizeof summary->instrument.name - 1] = 0;
    summary->objectBytes[kLogDesignationSize + 8] = 0;  // designation at entry 191 = row 4 + 9
    return summary->logNumber;
}
