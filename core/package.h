// The head of the exchange files ("packages") in which notes, links, image
// links, observing lists, log entries and colour schemes travel between
// computers: a 103-byte header, the description text with its NUL, then the
// owner's items.
#pragma once
#include <cstdint>
#include <cstdio>

#include "core/fsys.h"
#include "core/versionstamp.h"

#pragma pack(push, 1)
struct PackageHeader {
    VersionStamp stamp;      // 0
    uint8_t kind;            // 5: 1 lists, 2 notes, 3 web links, 4 image links,
                             //    6 log entries, 7 notes by key, 8 named notes, 9 colour schemes
    char name[65];           // 6: at most 64 characters, NUL-terminated
    int32_t counts[5];       // 71: filled after the items are written
    FileTimeValue created;   // 91: FILETIME, UTC
    int32_t textLength;      // 99: description length without its NUL
};

// A calendar time laid out like the Windows SYSTEMTIME.
struct SystemTimeValue {
    uint16_t year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};
#pragma pack(pop)
static_assert(sizeof(PackageHeader) == 103, "PackageHeader is 103 bytes");
static_assert(sizeof(SystemTimeValue) == 16, "SystemTimeValue is a SYSTEMTIME");

// Stores the creation time in the header: the given local time converted to
// UTC, or the current time when none is given. 1 on success.
int SetPackageFileTime(PackageHeader *header, const SystemTimeValue *localTime);
// Writes the header and the text with its NUL. The header's text length is
// set from the text itself, so the two always agree. 1 when both are complete.
int WritePackageHeader(FILE *f, PackageHeader *header, const char *text);
// Reads the header; with text out, reads the description into a block of
// textLength + 1 bytes that the caller frees with delete[]. Refuses a length
// that is negative or runs past the end of the file. 1 on success.
int ReadPackageHeader(FILE *f, PackageHeader *header, char **textOut);
// Rewrites the five counts of the header at offset 0. 1 on success.
int UpdatePackageCounts(FILE *f, PackageHeader *header, int32_t c1, int32_t c2, int32_t c3,
                        int32_t c4, int32_t c5);
// Creates the package file at path (opened for writing and reading, through
// the failure-testable file layer) with a header of the given kind and name,
// stamped with this version and the current time, and the description.
// nullptr when any step fails (the caller removes a half-made file).
FILE *CreatePackageFile(const char *path, int kind, const char *name, const char *description);
// The header of a new package filled (zeroed, the stamp and time of now,
// the kind and name) and written with the description at the start of f.
// 1, or 0.
int WriteNewPackageHeader(FILE *f, int kind, const char *name, const char *description, PackageHeader *header);
// Once every item and the end record are written: stores the five counts in
// the header at offset 0 and gives back the header as it now stands (name
// terminated), for registering the package. 1 on success.
int FinishPackageCounts(FILE *f, const int32_t counts[5], PackageHeader *header);
// Reader rule for packages: magic 55555, the expected kind and a major version
// above 1 (above 2 for colour schemes, kind 9).
int PackageHeaderAccepted(const PackageHeader *header, int expectedKind);
