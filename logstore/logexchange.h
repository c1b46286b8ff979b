// Log export files (exchange packages of kind 6) and the log's package
// registry "log/registry.bin".
//
// A log export file: the package header (kind 6, the number of entries as
// its second count) with its description, then one record per entry {int32
// notes length with the NUL (at least 1), the 330,625-byte LogEntry (9,124
// bytes in files older than version 3000), the notes, the user object's
// definition for a user-defined class}, then an int32 0.
//
// An import reads the whole file once to check it before anything is added:
// a damaged or cut file is refused and the store is not touched. Entries
// then go in through AddLogEntry, whose duplicate test makes a repeated
// import harmless; added and duplicate entries are counted apart, and an
// entry whose object has no class folder or cannot be identified is skipped
// and counted, not fatal.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>

#include "astro/datetime.h"
#include "astro/location.h"
#include "core/fsys.h"
#include "core/package.h"
#include "core/safefile.h"
#include "objects/objectrecord.h"

const uint8_t kLogPackageKind = 6;
const uint8_t kKeyNotesPackageKind = 7;
const uint8_t kNamedNotesPackageKind = 8;
// Files of this version and later hold the current entry layout.
const int kCurrentEntryLayoutVersion = 3000;
// A date year below this exports entries of any night.
const int kAnyNightYear = -9999;

// Receives 10 each time a tenth of the expected records has been read.
typedef void (*LogProgressFn)(int percent);

// The row of the package in "log/registry.bin" (names compared ignoring
// case, cut to 37 characters before they are looked up or stored), -1 when
// absent or unreadable; its time copied out when asked.
int FindLogPackage(const char *name, FileTimeValue *created);
// Adds the package or rewrites its time. 1, or 0.
int RegisterLogPackage(const char *name, const FileTimeValue *created);
// The start of an export package of the log (entries, key notes, named
// notes): path's temporary opened and the header of that kind written with
// the name, the description and the stamp and time of now. 1, or 0.
int BeginLogPackageExport(const char *path, int32_t kind, const char *name, const char *description,
                          SafeRewrite *out, PackageHeader *header);
// Its end: the package recorded in the registry first, and the record taken
// back when the file cannot be put in place, so that a failure leaves
// neither the file nor its record. 1, or 0.
int CommitLogPackageExport(SafeRewrite *out, const PackageHeader &header);
// A package of the log opened for import: the file at path, its header read
// and accepted as one of that kind, its description kept in *text. 1; 0 when
// the file cannot be opened; -1 when its header is not read or not accepted.
int OpenLogPackage(const char *path, uint8_t kind, PackageHeader *header, FileHandle *file,
                   std::unique_ptr<char[]> *text);

// "w+b", the header (kind 6, the name cut to 64 characters, the current time)
// and the description; null on failure (nothing left open).
FILE *CreateLogExportFile(const char *path, const char *name, const char *description);
// Records of the object's entries: the one of that number (0 or more), else
// all of them (the date is then required); only those strictly later than
// the since time when one is given. Only the summary file of the object's own
// kind (catalogue or user-defined) is read, and no file is made. The number
// written, 0 when the object is not logged, -1 on failure.
int ExportObjectLogEntries(FILE *file, const LocationRecord *site, const DateRecord *date,
                           const ObjectRecord *object, int32_t logNumber, const DateRecord *since);
// Records of the object's entries (key with the user bit for a user-defined
// object) of that night (any when year < kAnyNightYear), observer, instrument
// and site (null or empty: any; names ignoring case) and constellation
// (negative: any). The number written, -1 on failure.
int ExportFilteredLogEntries(FILE *file, int32_t categoryBits, int32_t key, int year, int month, int day,
                             const char *observer, const char *instrument, const char *site,
                             int constellation);
int WriteExportEndMarker(FILE *file);
// End marker, the count as the header's second count, the package recorded
// in the registry. The file stays open. 1, or 0.
int FinishLogExportFile(FILE *file, int32_t count);
// Every entry of the store into a new export file (written beside the path
// and moved into place, so a failure leaves no file and an older one whole).
// The number of entries, or -1.
int ExportLog(const char *path, const char *name, const char *description);

struct LogImportCounts {
    int32_t added = 0;       // new entries
    int32_t duplicates = 0;  // already logged here
    int32_t skipped = 0;     // no class folder, or an object not known here
};
// Checks the records from the file's position to the end marker, then adds
// them. The number of records taken (added and duplicates), -1 for a damaged
// file (nothing added) or a failed add (the entries before it stay).
int ImportLogEntries(FILE *file, int version, int32_t expectedCount, LogProgressFn progress,
                     LogImportCounts *counts = nullptr);
// A whole export file: 0 when it cannot be opened; -1 for another kind, a
// version not accepted, a damaged file or a failure; else ImportLogEntries'
// answer, with the package recorded in the registry. The description (new[]
// for the caller) is set only on success.
int ImportLogExportFile(const char *path, PackageHeader *header, char **description, LogProgressFn progress,
                        LogImportCounts *counts = nullptr);
