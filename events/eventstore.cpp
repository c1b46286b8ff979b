// Opening an event file with its stored header, storing a header over it and
// reading its records. Every file step goes through the crash-safe layer.
#include "events/eventstore.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/fsys.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "events/eventfiles.h"
#include "sites/sitestore.h"

namespace {

const size_t kPathSize = 1100;

int64_t RecordOffset(int64_t i) { return kEventHeaderSize + i * kEventRecordSize; }

bool IsCalendar(const EventFileHeader *h) { return h->definitionKind == kDefinitionCalendar; }

// The site name of a header, terminated within its field.
std::string SiteNameOf(const LocationRecord &site) {
    return std::string(site.name, strnlen(site.name, sizeof site.name));
}

void EnsureEventsFolder() {
    char folder[kPathSize];
    GetEventsFolder(folder, sizeof folder);
    if (folder[0]) EnsureDirectory(folder);
}

// A new file holding the header alone, count 0.
bool CreateEventFile(const char *path, const EventFileHeader *header) {
    std::unique_ptr<EventFileHeader> fresh(new (std::nothrow) EventFileHeader);
    if (!fresh) return false;
    std::memcpy(fresh.get(), header, sizeof *header);
    fresh->magic = kEventFileMagic;
    fresh->versionMajor = kEventFileVersionMajor;
    fresh->versionMinor = kEventFileVersionMinor;
    fresh->versionTag = kEventFileVersionTag;
    fresh->count = 0;
    return WriteWholeFileSafely(path, fresh.get(), sizeof *fresh) == 1;
}

// Takes the stored values of the header's site from the site store when the
// store holds a site of that name at that place. A changed elevation makes
// the events computed for the old one worthless: count 0, written at once.
bool RefreshSiteFromStore(std::FILE *file, EventFileHeader *stored) {
    // Only a site store that is there is asked: opening one would create it.
    char storePath[kPathSize];
    MakeLocationFilePath(storePath, sizeof storePath);
    if (!storePath[0] || FsKind(storePath) != 0) return true;
    int16_t siteCount = 0;
    FileHandle store(OpenLocationStore(&siteCount));
    if (!store) return true;  // no store: the header keeps its copy
    LocationRecord looked = stored->site;
    if (FindLocation(store.get(), &looked, nullptr, nullptr) != 1) return true;
    store.reset();
    const bool moved = std::fabs(looked.longitude - stored->site.longitude) > kSiteLongitudeTolerance ||
                       std::fabs(looked.latitude - stored->site.latitude) > kSiteLatitudeTolerance ||
                       looked.elevation != stored->site.elevation;
    stored->site = looked;
    if (!moved) return true;
    // Count first: a crash in between leaves an empty file with the old site,
    // which the next open resets again.
    stored->count = 0;
    if (!WriteEventCount(file, 0)) return false;
    if (!SafeSeek(file, offsetof(EventFileHeader, site))) return false;
    if (!SafeWriteAll(file, &stored->site, sizeof stored->site)) return false;
    return SafeFlush(file) == 1;
}

}  // namespace

int MakeEventFilePathForHeader(const EventFileHeader *header, char *buffer, int size) {
    if (!header) return 0;
    return MakeEventFilePath(&header->site, IsCalendar(header) ? 1 : 0, buffer, size);
}

int WriteEventAt(std::FILE *file, int i, const EventRecord *record) {
    if (!file || i < 0) return 0;
    if (!SafeSeek(file, RecordOffset(i))) return 0;
    return SafeWriteAll(file, record, sizeof *record);
}

int WriteEventCount(std::FILE *file, int32_t count) {
    if (!file) return 0;
    if (!SafeSeek(file, offsetof(EventFileHeader, count))) return 0;
    if (!SafeWriteAll(file, &count, sizeof count)) return 0;
    return SafeFlush(file);
}

int LockEventStore(StoreLock *lock) {
    char path[kPathSize];
    if (!MakeUserDataPath(path, sizeof path, "events.lock")) return 0;
    return AcquireStoreLock(path, lock);
}

int ReadStoredEventCount(std::FILE *file, int32_t *count) {
    // A flush first drops what the stream holds of the file: another
    // writer may have changed it since.
    if (!file || !count || std::fflush(file) != 0) return 0;
    const int64_t size = StreamSize(file);
    int32_t n = 0;
    if (size < kEventHeaderSize || !SafeSeek(file, offsetof(EventFileHeader, count)) ||
        SafeRead(&n, sizeof n, 1, file) != 1)
        return 0;
    const int64_t records = (size - kEventHeaderSize) / kEventRecordSize;
    if (n < 0) n = 0;
    if (n > records) n = static_cast<int32_t>(records);
    *count = n;
    return 1;
}

std::FILE *OpenEventFile(EventFileHeader *header) {
    if (!header) return nullptr;
    EnsureEventsFolder();
    char path[kPathSize];
    if (!MakeEventFilePathForHeader(header, path, sizeof path)) return nullptr;
    const int kind = FsKind(path);
    if (kind == 1) return nullptr;
    // Created only when absent: a file that exists but will not open (shared,
    // read-only, no permission) is the user's data and is left alone.
    if (kind < 0 && !CreateEventFile(path, header)) return nullptr;
    FileHandle file(SafeOpen(path, "r+b"));
    if (!file) return nullptr;
    const int64_t size = StreamSize(file.get());
    if (size < 0) return nullptr;
    if (size < kEventHeaderSize) {
        // Too short to be an event file: kept aside for the user, not deleted.
        file.reset();
        const std::string aside = std::string(path) + ".bad";
        SafeReplace(path, aside.c_str());
        return nullptr;
    }
    std::unique_ptr<EventFileHeader> stored(new (std::nothrow) EventFileHeader);
    if (!stored) return nullptr;
    if (!SafeSeek(file.get(), 0) || SafeRead(stored.get(), sizeof *stored, 1, file.get()) != 1)
        return nullptr;  // the file stays as it is
    stored->site.name[sizeof stored->site.name - 1] = '\0';
    // Names that collide on disk ("X" calendar and "XCE" search, names that
    // encode alike, names differing in case on Windows) must not take over
    // one another's file.
    if (stored->versionMajor != kEventFileVersionMajor || stored->versionMinor != kEventFileVersionMinor ||
        stored->versionTag != kEventFileVersionTag || SiteNameOf(stored->site) != SiteNameOf(header->site) ||
        IsCalendar(stored.get()) != IsCalendar(header))
        return nullptr;
    const int64_t records = (size - kEventHeaderSize) / kEventRecordSize;
    if (stored->count < 0) stored->count = 0;
    if (stored->count > records) stored->count = static_cast<int32_t>(records);
    if (stored->bodyCount < 0) stored->bodyCount = 0;
    if (stored->bodyCount > kEventMaxBodies) stored->bodyCount = kEventMaxBodies;
    if (!RefreshSiteFromStore(file.get(), stored.get())) return nullptr;
    std::memcpy(header, stored.get(), sizeof *header);
    return file.release();
}

std::FILE *StoreEventFileHeader(EventFileHeader *header) {
    if (!header) return nullptr;
    StoreLock lock;
    if (!LockEventStore(&lock)) return nullptr;
    std::unique_ptr<EventFileHeader> copy(new (std::nothrow) EventFileHeader);
    if (!copy) return nullptr;
    std::memcpy(copy.get(), header, sizeof *header);
    FileHandle file(OpenEventFile(copy.get()));
    if (!file) return nullptr;
    // The records stay: the new header and the stored records go to disk
    // together through a temporary, so a crash leaves the old file or the new.
    const int32_t count = copy->count;
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(kEventHeaderSize + count * kEventRecordSize));
    } catch (...) {
        return nullptr;
    }
    if (count > 0) {
        if (!SafeSeek(file.get(), kEventHeaderSize)) return nullptr;
        if (SafeRead(bytes.data() + kEventHeaderSize, static_cast<size_t>(kEventRecordSize), count,
                     file.get()) != static_cast<size_t>(count))
            return nullptr;
    }
    file.reset();
    EventFileHeader *out = reinterpret_cast<EventFileHeader *>(bytes.data());
    std::memcpy(out, header, sizeof *header);
    out->magic = kEventFileMagic;
    out->versionMajor = kEventFileVersionMajor;
    out->versionMinor = kEventFileVersionMinor;
    out->versionTag = kEventFileVersionTag;
    out->count = count;
    out->site = copy->site;  // the site as the store holds it
    char path[kPathSize];
    if (!MakeEventFilePathForHeader(header, path, sizeof path)) return nullptr;
    if (!WriteWholeFileSafely(path, bytes.data(), bytes.size())) return nullptr;
    std::FILE *reopened = SafeOpen(path, "r+b");
    if (!reopened) return nullptr;
    header->count = count;
    header->site = copy->site;
    return reopened;
}

int SaveEventFileHeader(EventFileHeader *header) {
    std::FILE *file = StoreEventFileHeader(header);
    if (!file) return 0;
    return SafeClose(file);
}

int SetEventFileSite(EventFileHeader *header, const LocationRecord *site) {
    if (!header || !site) return 0;
    header->site = *site;
    EnsureEventsFolder();
    char path[kPathSize];
    std::FILE *file = nullptr;
    if (MakeEventFilePathForHeader(header, path, sizeof path)) file = SafeOpen(path, "r+b");
    if (file)
        SafeClose(file);
    else
        header->count = 0;
    return 1;
}

std::FILE *OpenEventRecords(const EventFileHeader *header) {
    if (!header) return nullptr;
    std::unique_ptr<EventFileHeader> copy(new (std::nothrow) EventFileHeader);
    if (!copy) return nullptr;
    std::memcpy(copy.get(), header, sizeof *header);
    FileHandle file(OpenEventFile(copy.get()));
    if (!file || !SafeSeek(file.get(), kEventHeaderSize)) return nullptr;
    return file.release();
}

int ReadEvent(std::FILE *file, int i, EventRecord *record) {
    if (!file || !record || i < 0) return 0;
    if (!SafeSeek(file, RecordOffset(i))) return 0;
    if (SafeRead(record, sizeof *record, 1, file) != 1) return 0;
    if (record->contactCount < 0) record->contactCount = 0;
    if (record->contactCount > kEventMaxContacts) record->contactCount = kEventMaxContacts;
    return 1;
}

int HasVisibleContact(const EventRecord *record) {
    if (!record) return 0;
    const int used = record->contactCount;
    const int n = used < kEventMaxContacts ? used : kEventMaxContacts;
    for (int i = 0; i < n; ++i)
        if (record->contacts[i].visible) return record->contacts[i].visible;
    return 0;
}

int FindNextVisibleEvent(std::FILE *file, const EventFileHeader *header, EventRecord *record) {
    if (!file || !header || !record) return 0;
    const int64_t size = StreamSize(file);
    const int64_t left = BytesLeftInStream(file);
    if (size < 0 || left < 0) return 0;
    const int64_t position = size - left;
    if (position < kEventHeaderSize) return 0;
    int64_t i = (position - kEventHeaderSize + kEventRecordSize - 1) / kEventRecordSize;
    for (; i < header->count; ++i) {
        if (!ReadEvent(file, static_cast<int>(i), record)) return 0;
        if (HasVisibleContact(record)) return static_cast<int>(i + 1);
    }
    return 0;
}

int ClearEventFile(EventFileHeader *header) {
    if (!header) return 0;
    StoreLock lock;
    if (!LockEventStore(&lock)) return 0;
    char path[kPathSize];
    if (MakeEventFilePathForHeader(header, path, sizeof path) && FsKind(path) == 0 && !SafeRemove(path))
        return 0;
    header->count = 0;
    return 1;
}
