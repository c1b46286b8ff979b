// The named column sets of the observing lists: "cc.bin" in the user data
// folder, int32 count, int32 last id given, then 524-byte ColumnSet records
// from offset 8. No version stamp. The three blocks of column settings are
// opaque here: copied and compared byte for byte; the 64 bytes after them
// are carried but never compared.
#pragma once
#include <cstdint>
#include <cstdio>

#pragma pack(push, 1)
struct ColumnSet {
    int32_t id;             // 0   unique in the file
    char name[46];          // 4   NUL-terminated
    int32_t mode;           // 50  kColumnModeSimple, kColumnModeVisual, kColumnModeImaging
    uint8_t first[200];     // 54
    uint8_t second[100];    // 254
    uint8_t third[106];     // 354
    uint8_t further[64];    // 460 carried, not compared
};
#pragma pack(pop)
static_assert(sizeof(ColumnSet) == 524, "ColumnSet is 524 bytes");

const int kColumnModeSimple = 0;
const int kColumnModeVisual = 1;
const int kColumnModeImaging = 2;
const int kColumnSetHeaderBytes = 8;

const char *ColumnSetFileName();  // "cc.bin"

// "<user folder>/cc.bin" opened "r+b", positioned after the count, with the
// count (checked: not negative and the records inside the file). None when
// the file is missing (it is made empty, count 0 and last id 0, only when
// create is 1, as a merge into a computer without one needs) or damaged.
FILE *OpenColumnSetFile(int *count, int create = 0);
FILE *OpenColumnSetFileAt(const char *path, int *count, int create = 0);
// 1 when record index was read (its name terminated), else 0.
int ReadColumnSet(FILE *file, ColumnSet *out, int index);
// 0 absent; 1 a set of that name (without regard to case) and mode with the
// same three blocks; 2 the same but different blocks; -1 on a read failure.
int FindColumnSet(FILE *file, const ColumnSet *wanted, int count, int *index);
// Writes the record at index keeping the id stored there. 1 or 0.
int ReplaceColumnSet(FILE *file, ColumnSet *set, int index);
// Writes the record after the last one with the last id + 1, then the count
// and the id; raises the count. 1 or 0.
int AppendColumnSet(FILE *file, ColumnSet *set, int *count);
