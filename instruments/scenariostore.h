// The scenario store "scenario.bin" in the user data folder: an unsigned 16-bit
// count, then 809-byte ScenarioRecords from offset 2 (no stamp). The records
// are carried whole; only the name and the few fields that decide whether two
// scenarios of one name are the same are read. Results: 1 success, 0 failure.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#pragma pack(push, 1)
struct ScenarioRecord {
    char name[179];          // 0    NUL-terminated
    char text1[63];          // 179  NUL-terminated
    double value;            // 242
    uint8_t block1[229];     // 250  carried whole
    int32_t number;          // 479
    uint8_t flag;            // 483
    uint8_t block2[241];     // 484  carried whole
    char text2[84];          // 725  NUL-terminated
};
#pragma pack(pop)

static_assert(sizeof(ScenarioRecord) == 809, "ScenarioRecord is 809 bytes");
static_assert(offsetof(ScenarioRecord, text1) == 179, "layout");
static_assert(offsetof(ScenarioRecord, value) == 242, "layout");
static_assert(offsetof(ScenarioRecord, number) == 479, "layout");
static_assert(offsetof(ScenarioRecord, flag) == 483, "layout");
static_assert(offsetof(ScenarioRecord, text2) == 725, "layout");

// Opens scenario.bin "r+b", rewound, with its count. A missing file is created
// with a count of 0; an existing file is never re-created. None on failure.
FILE *OpenScenarioFile(int32_t *count);
// Another folder's scenario file, read-only, rewound; none on failure.
FILE *OpenOtherScenarioFile(const char *path, int32_t *count);
// Record index, 0 .. count - 1.
int ReadScenario(FILE *f, ScenarioRecord *record, int index);
int WriteScenario(FILE *f, const ScenarioRecord *record, int index);
// Writes the record after the last one, then the raised count.
int AppendScenario(FILE *f, const ScenarioRecord *record);
// First of the first count records whose name equals the record's ignoring
// case: index stored; 1 when the value, both texts (ignoring case), the number
// and the flag are equal, else 2. 0 absent; -1 for no file or a read error.
int FindScenarioByName(FILE *f, const ScenarioRecord *record, int count, int *index);
