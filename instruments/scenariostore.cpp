// The scenario store scenario.bin.
#include "instruments/scenariostore.h"

#include <cstring>
#include <string>

#include "core/safefile.h"
#include "core/textutil.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "instruments/storeio.h"

namespace {

const int kRecordSize = (int)sizeof(ScenarioRecord);

int64_t RecordOffset(int index) { return 2 + (int64_t)index * kRecordSize; }

int ReadCount(FILE *f, int *count) {
    uint16_t n = 0;
    if (!ReadStoreU16(f, 0, &n)) return 0;
    *count = n;
    return 1;
}

// A text field as a terminated string, never read past the field.
std::string Field(const char *text, size_t size) {
    const void *end = std::memchr(text, 0, size);
    return std::string(text, end ? (size_t)((const char *)end - text) : size);
}

bool SameNoCase(const char *a, const char *b, size_t size) {
    return CompareStringsNoCase(Field(a, size).c_str(), Field(b, size).c_str()) == 0;
}

}  // namespace

FILE *OpenScenarioFile(int32_t *count) {
    char path[600];
    if (!MakeUserDataPath(path, (int)sizeof path, "scenario.bin")) return nullptr;
    StoreFilePtr f(SafeOpen(path, "r+b"));
    if (!f) {
        // Only a missing file is created: one that exists but cannot be opened
        // for writing must not be truncated.
        if (FileExists(path)) return nullptr;
        const uint8_t zero[2] = {0, 0};
        if (!WriteWholeFileSafely(path, zero, sizeof zero)) return nullptr;
        f.reset(SafeOpen(path, "r+b"));
        if (!f) return nullptr;
    }
    int n = 0;
    if (!ReadCount(f.get(), &n) || !SafeSeek(f.get(), 0)) return nullptr;
    if (count) *count = n;
    return f.release();
}

FILE *OpenOtherScenarioFile(const char *path, int32_t *count) {
    if (!path) return nullptr;
    StoreFilePtr f(std::fopen(path, "rb"));
    if (!f) return nullptr;
    int n = 0;
    if (!ReadCount(f.get(), &n) || !SafeSeek(f.get(), 0)) return nullptr;
    if (count) *count = n;
    return f.release();
}

int ReadScenario(FILE *f, ScenarioRecord *record, int index) {
    if (!f || !record || index < 0) return 0;
    int n = 0;
    if (!ReadCount(f, &n) || index >= n) return 0;
    if (!ReadStoreBytes(f, RecordOffset(index), record, sizeof *record)) return 0;
    record->name[sizeof record->name - 1] = '\0';
    record->text1[sizeof record->text1 - 1] = '\0';
    record->text2[sizeof record->text2 - 1] = '\0';
    return 1;
}

int WriteScenario(FILE *f, const ScenarioRecord *record, int index) {
    if (!f || !record || index < 0) return 0;
    int n = 0;
    if (!ReadCount(f, &n) || index >= n) return 0;
    return WriteStoreBytes(f, RecordOffset(index), record, sizeof *record);
}

int AppendScenario(FILE *f, const ScenarioRecord *record) {
    if (!f || !record) return 0;
    int n = 0;
    if (!ReadCount(f, &n) || n >= 0xFFFF) return 0;
    if (!WriteStoreBytes(f, RecordOffset(n), record, sizeof *record)) return 0;
    return WriteStoreU16(f, 0, (uint16_t)(n + 1));
}

int FindScenarioByName(FILE *f, const ScenarioRecord *record, int count, int *index) {
    if (!f || !record) return -1;
    if (!SafeSeek(f, 2)) return -1;
    ScenarioRecord stored;
    for (int i = 0; i < count; ++i) {
        if (std::fread(&stored, sizeof stored, 1, f) != 1) return -1;
        if (!SameNoCase(stored.name, record->name, sizeof stored.name)) continue;
        if (index) *index = i;
        double a = stored.value, b = record->value;
        bool same = a == b && SameNoCase(stored.text1, record->text1, sizeof stored.text1) &&
                    SameNoCase(stored.text2, record->text2, sizeof stored.text2) &&
                    stored.number == record->number && stored.flag == record->flag;
        return same ? 1 : 2;
    }
    return 0;
}
