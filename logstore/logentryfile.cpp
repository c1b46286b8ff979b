// Log entries: filling, writing and reading entry files and summary rows.
#include "logstore/logentryfile.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

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
    } else if (std::fread(entry, sizeof *entry, 1, file) != 1) {
        return 0;
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
