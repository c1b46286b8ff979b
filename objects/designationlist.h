// The records through which the catalogue formatters list an object's
// designations: the list of designation texts, the optional catalogue parts
// of one designation, and the user's designation preferences (which kinds
// name an object, in what order, per family of classes).
#pragma once
#include <cstddef>
#include <cstdint>

const int kDesignationTextSize = 65;
// Room for every position of the largest family (the formatters never list more).
const int kMaxDesignations = 60;
const int kDesignationFamilyCount = 11;
const int kDesignationPositions = 60;

#pragma pack(push, 1)
// A count, then entries 65 bytes apart (entry k at byte 4 + 65 k), each a
// zero-terminated designation, in the order the formatter listed them.
struct DesignationList {
    int32_t count;
    char entries[kMaxDesignations][kDesignationTextSize];
};

// The pieces of one designation, for storing it in structured form.
struct DesignationParts {
    uint8_t plain;        // 1 a plain name (common name ...), 0 a catalogue designation
    char catalogue[32];   // catalogue word: "HR", "HD", "BD", "TYC", "GSC" ...
    int32_t form;         // how many numbers follow, 1 to 3
    int32_t first;
    int32_t second;
    int32_t third;
};

// 1,321 bytes: order[f][p] is the 0-based kind shown at position p of family
// f, enabled[f][p] nonzero shows it; starNameFlag nonzero lists a star's
// common name only when the star-name catalogue marks it.
struct DesignationPreferences {
    uint8_t order[kDesignationFamilyCount][kDesignationPositions];
    uint8_t enabled[kDesignationFamilyCount][kDesignationPositions];
    uint8_t starNameFlag;
};
#pragma pack(pop)

static_assert(sizeof(DesignationList) == 4 + 65 * kMaxDesignations, "DesignationList layout");
static_assert(offsetof(DesignationList, entries) == 4, "DesignationList layout");
static_assert(sizeof(DesignationParts) == 49, "DesignationParts layout");
static_assert(sizeof(DesignationPreferences) == 1321, "DesignationPreferences is 1,321 bytes");
static_assert(offsetof(DesignationPreferences, enabled) == 660, "DesignationPreferences layout");
static_assert(offsetof(DesignationPreferences, starNameFlag) == 1320, "DesignationPreferences layout");
