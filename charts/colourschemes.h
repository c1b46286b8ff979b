// Colour scheme stores and scheme packages. The standard schemes live in
// "ms.bin" (flag 0) and the professional-display schemes in "msp.bin" (flag
// 1) of the user data folder: a 16-bit record count, then ColourSchemes from
// offset 2. "schemeregistry.bin" remembers, for every scheme or package that
// came from or went into a package file, the package's creation time and its
// store. Package files (kind 9) carry entries of a marker byte 1, a store
// flag and a ColourScheme, ended by one byte 0.
// Results: 1 success, 0 (or -1 or none, as stated) on failure.
#pragma once
#include <cstdint>
#include <cstdio>

#include "core/fsys.h"
#include "core/package.h"

#pragma pack(push, 1)
struct ColourScheme {
    char name[46];        // at most 45 characters, NUL-padded
    uint8_t data[2104];   // bytes 3-67 a 65-character scheme text
    uint8_t flag;
};
struct SchemeRegistryEntry {
    char name[46];
    FileTimeValue created;  // FILETIME of the package
    uint8_t flag;           // 1 msp.bin, 0 ms.bin
};
#pragma pack(pop)
static_assert(sizeof(ColourScheme) == 2151, "ColourScheme is 2,151 bytes");
static_assert(sizeof(SchemeRegistryEntry) == 55, "SchemeRegistryEntry is 55 bytes");

const int kSchemeDataSize = 2104;
const int kSchemeDataWithFlagSize = 2105;  // as a chart definition carries it
const int kSchemeComparedBytes = 2041;
const int kSchemeNameMax = 45;
const int kSchemeTextOffset = 3;
const int kSchemeTextSize = 65;
const uint8_t kSchemePackageKind = 9;

// "ms.bin" (flag 0) or "msp.bin" (flag 1), opened "r+b"; a missing store is
// created holding a zero count. None on failure.
FILE *OpenSchemeStore(int flag);
FILE *OpenSchemeFile(const char *path);
// The stored count; 0 for no store or a failed read.
int CountSchemes(FILE *store);
// name: 46 bytes.
int ReadSchemeName(FILE *store, int index, char *name);
int ReadScheme(FILE *store, ColourScheme *record, int index);
int WriteScheme(FILE *store, const ColourScheme *record, int index);
// dataWithFlag: the 2,104 data bytes and the flag byte. The record is
// written after the last one, then the raised count. Names are cut to 45.
int AppendScheme(FILE *store, const uint8_t *dataWithFlag, const char *name);
// The first record whose name equals name exactly takes the data and flag
// (its name kept); with none the scheme is appended.
int ReplaceOrAppendScheme(FILE *store, const uint8_t *dataWithFlag, const char *name);
// 0 absent, 1 present with the same first 2,041 data bytes, 2 present and
// different, -1 no store or a read error. Names compare without regard to
// case; the index of the match goes out.
int FindScheme(FILE *store, const ColourScheme *record, int *index);
// Later records move down one place, then the count is lowered. A failure
// part-way leaves the count unchanged (one record present twice, none lost).
int DeleteScheme(FILE *store, int index);

// The registry index of the name when the registry lists it (exactly) and
// the store its flag names holds a scheme of that exact name; -1 otherwise.
// The FILETIME goes out as soon as the registry entry is found.
int FindSchemeRegistration(const char *name, FileTimeValue *created);
// Overwrites the registry entry of that exact name, or appends one (entry
// first, then the count); the registry is created when missing. 1 done.
int RegisterScheme(const char *name, FileTimeValue created, int flag);

// The package file ("w+b") with its header (current stamp, kind 9, the name
// cut to 64 characters, the creation time now) and text; none on failure.
FILE *CreateSchemePackage(const char *path, const char *packageName, const char *text);
// 1 when the entry (1, flag as 0 or 1, record) was written, else -1.
int WriteSchemeEntry(FILE *package, const ColourScheme *record, int flag);
// Writes the end byte 0.
int EndSchemePackage(FILE *package);
// Writes the end byte, zeroes the header's counts, registers the package's
// name with its creation time and the flag, and closes the file (always).
// 1 when all of it succeeded.
int CloseSchemePackage(FILE *package, int ignored, int flag);
// Reads the entries up to the end byte and puts each scheme into the store
// its flag names (ReplaceOrAppendScheme by its name). The whole list is read
// and checked first: a package that is short, has no entry or holds a
// marker other than 0 or 1 changes no store and gives -1. Otherwise the
// number of schemes taken and, in flag, the last entry's flag.
int ReadSchemeEntries(FILE *package, int *flag);
// Reads a scheme package (55555, major version above 2, kind 9), takes its
// schemes and registers its name with the header's creation time. The
// number taken, or -1 (no text is handed out then). text, when given,
// receives the description (delete[] by the caller).
int ImportSchemePackage(const char *path, PackageHeader *header, char **text);
