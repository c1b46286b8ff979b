// Log export files, their import and the log's package registry.
#include "logstore/logexchange.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "core/versionstamp.h"
#include "logstore/logadd.h"
#include "logstore/logentryfile.h"
#include "logstore/loggedobjects.h"
#include "logstore/logindex.h"
#include "logstore/logobjectindexes.h"
#include "logstore/logpaths.h"
#include "logstore/logundo.h"
#include "logstore/oldlogentry.h"
#include "objects/categories.h"
#include "userdata/packageregistry.h"
#include "userdata/userobjectdata.h"

namespace {

const int32_t kEndMarker = 0;

std::string RegistryPath() {
    char path[kLogPathSize];
    return MakeLogPath(path, "registry.bin") ? std::string(path) : std::string();
}

// One export record of entry number of the folder of bits. 1, or 0.
int WriteRecord(FILE *file, int32_t bits, int32_t number, const DateRecord *since) {
    std::unique_ptr<LogEntry> entry(new LogEntry);
    char *notes = nullptr;
    if (!ReadLogEntryByNumber(bits, number, entry.get(), &notes)) return -1;
    std::unique_ptr<char[]> holder(notes);
    if (since && !(entry->julianDate > since->julianDate)) return 0;
    size_t length = std::strlen(notes ? notes : "") + 1;
    int32_t stored = static_cast<int32_t>(length);
    if (!SafeWriteAll(file, &stored, 4) || !SafeWriteAll(file, entry.get(), sizeof(LogEntry)) ||
        !SafeWriteAll(file, notes ? notes : "", length) ||
        !WriteUserObjectData(file, entry->objectClass, entry->catalogueIndex))
        return -1;
    return 1;
}

std::string SummaryPath(int32_t bits, int32_t index, int user) {
    char path[kLogPathSize];
    MakeObjectFilePath(bits, index, user, path);
    return path;
}

bool NameMatches(const char *wanted, const std::string &name) {
    return !wanted || !wanted[0] || CompareStringsNoCase(wanted, name.c_str()) == 0;
}

// One record read: the entry, its notes (terminated) and, when merge is set,
// the user object's id here. 1; 0 end marker; -1 damaged or unreadable.
int ReadRecord(FILE *file, int version, LogEntry *entry, std::string *notes, int merge) {
    int32_t length = 0;
    if (SafeRead(&length, 4, 1, file) != 1) return -1;
    if (length == kEndMarker) return 0;
    if (length < 1) return -1;
    if (version >= kCurrentEntryLayoutVersion) {
        if (SafeRead(entry, sizeof(LogEntry), 1, file) != 1) return -1;
    } else {
        std::vector<uint8_t> old(kOldLogEntrySize);
        if (SafeRead(old.data(), old.size(), 1, file) != 1) return -1;
        ConvertOldLogEntry(old.data(), entry);
    }
    TerminateLogEntryTexts(entry);
    int64_t left = BytesLeftInStream(file);
    if (left < 0 || length > left) return -1;
    notes->assign(static_cast<size_t>(length), '\0');
    if (SafeRead(&(*notes)[0], 1, notes->size(), file) != notes->size()) return -1;
    notes->resize(std::strlen(notes->c_str()));  // the NUL forced at the last byte at the latest
    // An entry that cannot be logged here brings no user object in with it.
    if (GetClassFolderIndex(static_cast<int32_t>(entry->categoryBits)) < 0) merge = 0;
    int32_t id = entry->catalogueIndex;
    if (!ReadUserObjectData(file, entry->objectClass, &id, nullptr, version, 0, merge)) return -1;
    if (merge) entry->catalogueIndex = id;
    return 1;
}

}  // namespace

int FindLogPackage(const char *name, FileTimeValue *created) {
    std::string path = RegistryPath();
    return path.empty() ? -1 : FindRegisteredPackage(path.c_str(), name, created);
}

int RegisterLogPackage(const char *name, const FileTimeValue *created) {
    char root[kLogPathSize];
    if (!MakeLogPath(root, nullptr) || !EnsureDirectory(root)) return 0;
    std::string path = RegistryPath();
    return path.empty() ? 0 : RegisterPackage(path.c_str(), name, created);
}

FILE *CreateLogExportFile(const char *path, const char *name, const char *description) {
    return CreatePackageFile(path, kLogPackageKind, name, description);
}

int ExportObjectLogEntries(FILE *file, const LocationRecord *site, const DateRecord *date,
                           const ObjectRecord *object, int32_t logNumber, const DateRecord *since) {
    if (!file || !object) return -1;
    uint32_t bits;
    std::memcpy(&bits, &object->categoryBits, 4);
    if (logNumber >= 0) return WriteRecord(file, static_cast<int32_t>(bits), logNumber, since);
    if (!date) return -1;
    std::unique_ptr<ObjectRecord> copy(new ObjectRecord);
    std::memcpy(copy.get(), object, sizeof(ObjectRecord));
    LoggedKeySet keys;
    if (!LoadLoggedObjectKeys(&keys)) return -1;
    int logged = IsObjectLogged(&keys, site, date, copy.get());
    FreeLoggedObjectKeys(&keys);
    if (logged != 1) return logged < 0 ? -1 : 0;
    int32_t index;
    std::memcpy(&index, &copy->index, 4);
    std::memcpy(&bits, &copy->categoryBits, 4);
    std::vector<LogRowKeys> rows;
    if (!ReadAllRowKeys(SummaryPath(static_cast<int32_t>(bits), index, IsUserObjectClass(copy->objectClass)).c_str(),
                        &rows))
        return -1;
    int written = 0;
    for (const LogRowKeys &row : rows) {
        int r = WriteRecord(file, static_cast<int32_t>(bits), row.logNumber, since);
        if (r < 0) return -1;
        written += r;
    }
    return written;
}

int ExportFilteredLogEntries(FILE *file, int32_t categoryBits, int32_t key, int year, int month, int day,
                             const char *observer, const char *instrument, const char *site,
                             int constellation) {
    if (!file) return -1;
    int user = 0;
    int32_t index = SplitObjectKey(key, &user);
    std::vector<LogRowKeys> rows;
    if (!ReadAllRowKeys(SummaryPath(categoryBits, index, user).c_str(), &rows)) return -1;
    int32_t night = year * 10000 + month * 100 + day;
    int written = 0;
    for (const LogRowKeys &row : rows) {
        if (year >= kAnyNightYear && row.night != night) continue;
        if (!NameMatches(observer, row.observer) || !NameMatches(instrument, row.instrument) ||
            !NameMatches(site, row.site))
            continue;
        if (constellation >= 0 && row.constellation != constellation) continue;
        if (WriteRecord(file, categoryBits, row.logNumber, nullptr) != 1) return -1;
        ++written;
    }
    return written;
}

int WriteExportEndMarker(FILE *file) {
    if (!file) return 0;
    return SafeWriteAll(file, &kEndMarker, 4);
}

namespace {
// End marker and counts; the header as read back. 1, or 0.
int CloseRecordList(FILE *file, int32_t count, PackageHeader *header) {
    return WriteExportEndMarker(file) && UpdatePackageCounts(file, header, 0, count, 0, 0, 0) &&
           SafeFlush(file);
}
}  // namespace

int FinishLogExportFile(FILE *file, int32_t count) {
    if (!file) return 0;
    PackageHeader header;
    if (!CloseRecordList(file, count, &header)) return 0;
    return RegisterLogPackage(header.name, &header.created);
}

int BeginLogPackageExport(const char *path, int32_t kind, const char *name, const char *description,
                          SafeRewrite *out, PackageHeader *header) {
    if (!path || !name || !out || !header || !BeginSafeRewrite(path, out, "w+b")) return 0;
    return WriteNewPackageHeader(out->file, kind, name, description, header);
}

int CommitLogPackageExport(SafeRewrite *out, const PackageHeader &header) {
    LogUndo undo;
    if (!RememberWholeFile(&undo, RegistryPath()) || !BeginLogUndoChanges(&undo) ||
        !RegisterLogPackage(header.name, &header.created) || !CommitSafeRewrite(out)) {
        RollBackLogUndo(&undo);
        return 0;
    }
    return 1;
}

int OpenLogPackage(const char *path, uint8_t kind, PackageHeader *header, FileHandle *file,
                   std::unique_ptr<char[]> *text) {
    if (!path || !header || !file || !text) return -1;
    file->reset(SafeOpen(path, "rb"));
    if (!*file) return 0;
    char *read = nullptr;
    if (!ReadPackageHeader(file->get(), header, &read)) return -1;
    text->reset(read);
    return PackageHeaderAccepted(header, kind) ? 1 : -1;
}

int ExportLog(const char *path, const char *name, const char *description) {
    SafeRewrite out;
    PackageHeader header;
    if (!BeginLogPackageExport(path, kLogPackageKind, name, description, &out, &header)) return -1;
    int32_t count = 0;
    for (int folder = 0; folder < kLogClassFolderCount; ++folder) {
        std::vector<LogIndexEntry> objects;
        if (!ReadIndexFile(ClassIndexPath(folder), &objects)) return -1;
        for (const LogIndexEntry &object : objects) {
            int user = 0;
            int32_t index = SplitObjectKey(object.key, &user);
            int32_t bits = GetClassBitsOfFolder(object.classFolder);
            std::vector<LogRowKeys> rows;
            if (!ReadAllRowKeys(SummaryPath(bits, index, user).c_str(), &rows)) return -1;
            for (const LogRowKeys &row : rows) {
                if (WriteRecord(out.file, bits, row.logNumber, nullptr) != 1) return -1;
                ++count;
            }
        }
    }
    if (!CloseRecordList(out.file, count, &header)) return -1;
    return CommitLogPackageExport(&out, header) ? count : -1;
}

int ImportLogEntries(FILE *file, int version, int32_t expectedCount, LogProgressFn progress,
                     LogImportCounts *counts) {
    LogImportCounts local;
    LogImportCounts &c = counts ? *counts : local;
    c = LogImportCounts();
    if (!file) return -1;
    long start = std::ftell(file);
    if (start < 0) return -1;
    std::unique_ptr<LogEntry> entry(new LogEntry);
    std::string notes;
    // The whole list checked before anything is added.
    int64_t records = 0;
    for (int r; (r = ReadRecord(file, version, entry.get(), &notes, 0)) != 0; ++records)
        if (r < 0) return -1;
    if (std::fseek(file, start, SEEK_SET) != 0) return -1;

    int32_t step = expectedCount / 10 > 0 ? expectedCount / 10 : 1;
    int32_t counter = 0;
    for (int64_t i = 0; i < records; ++i) {
        if (++counter >= step) {
            if (progress) progress(10);
            counter = 0;
        }
        if (ReadRecord(file, version, entry.get(), &notes, 1) != 1) return -1;
        if (GetClassFolderIndex(static_cast<int32_t>(entry->categoryBits)) < 0) {
            ++c.skipped;
            continue;
        }
        int status = kLogEntryFailed;
        // Empty notes go in as none, as the entry was stored where it came from.
        int32_t number = AddLogEntryWithStatus(entry.get(), notes.empty() ? nullptr : notes.c_str(), &status);
        if (number == -2) {
            ++c.skipped;  // the object is not known here
            continue;
        }
        if (number < 0) return -1;
        if (status == kLogEntryAlreadyLogged) ++c.duplicates;
        else ++c.added;
    }
    return c.added + c.duplicates;
}

int ImportLogExportFile(const char *path, PackageHeader *header, char **description, LogProgressFn progress,
                        LogImportCounts *counts) {
    if (description) *description = nullptr;
    FileHandle file;
    std::unique_ptr<char[]> holder;
    int opened = OpenLogPackage(path, kLogPackageKind, header, &file, &holder);
    if (opened != 1) return opened;
    int n = ImportLogEntries(file.get(), GetStampVersion(&header->stamp), header->counts[1], progress, counts);
    // Not recorded, the import is not done (importing again finds every
    // entry added as a duplicate and records it).
    if (n < 0 || !RegisterLogPackage(header->name, &header->created)) return -1;
    if (description) *description = holder.release();
    return n;
}
