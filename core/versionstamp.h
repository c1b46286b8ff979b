// The five-byte version stamp that opens most binary stores and exchange
// files, and the rule by which stamped stores are accepted and brought up to
// the current version.
#pragma once
#include <cstdint>
#include <cstdio>

#pragma pack(push, 1)
struct VersionStamp {
    uint16_t magic;  // 55555, little-endian
    uint8_t major;   // 3
    uint8_t minor;   // 1
    char letter;     // 'f'
};
#pragma pack(pop)
static_assert(sizeof(VersionStamp) == 5, "VersionStamp is 5 bytes");

const uint16_t kStampMagic = 55555;

// major x 1000 + minor x 100 + letter value (0 for a blank or NUL letter, else
// the code minus 96, taken as a signed byte); 0 for a null stamp.
int GetStampVersion(const VersionStamp *stamp);
int CurrentStampVersion();  // 3106
// Fills the stamp with the current version (55555, 3, 1, 'f').
void SetCurrentStamp(VersionStamp *stamp);

// Reader rule of the stamped stores, on a stream opened "r+b" (or "rb" with
// rewrite 0): the stamp at offset 0 must carry the magic 55555 and a major
// version above 2. An older version is brought up to date by writing the
// current stamp over the first five bytes when rewrite is 1. A stamp newer
// than this program is refused and left alone: its records may have another
// layout. Returns 1 accepted, 0 refused or unreadable. The stream is left
// positioned just after the stamp.
int AcceptStampedStore(FILE *f, int rewrite);
