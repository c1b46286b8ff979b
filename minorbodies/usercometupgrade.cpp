// User comet records of the previous generation (see usercometupgrade.h).
#include "minorbodies/usercometupgrade.h"

#include <cstring>

#include "core/safefile.h"

namespace {

const int kSharedBytes = 97;   // number .. coma diameter: the same in both layouts
const int kOldSourceAt = 97;
const int kHeadSize = 4;       // int16 count, int16 last id

}  // namespace

int ConvertOldUserCometRecord(const uint8_t *old, CometRecord *record) {
    if (!old || !record) return 0;
    std::memset(record, 0, sizeof *record);
    std::memcpy(record, old, kSharedBytes);
    record->condensation = kOldCometCondensation;
    std::memcpy(record->source, old + kOldSourceAt, sizeof record->source);
    record->source[sizeof record->source - 1] = 0;
    record->name[sizeof record->name - 1] = 0;
    record->designation[sizeof record->designation - 1] = 0;
    return 1;
}

int ConvertUserCometRecordToOld(const CometRecord *record, uint8_t *old) {
    if (!record || !old) return 0;
    std::memset(old, 0, kOldUserCometSize);
    std::memcpy(old, record, kSharedBytes);
    std::memcpy(old + kOldSourceAt, record->source, sizeof record->source);
    old[kOldUserCometSize - 1] = 0;
    return 1;
}

int ReadOldUserCometRecord(FILE *file, int index, CometRecord *record) {
    if (!file || !record || index < 0) return 0;
    uint8_t old[kOldUserCometSize];
    if (!SafeSeek(file, kHeadSize + static_cast<int64_t>(index) * kOldUserCometSize) ||
        SafeRead(old, sizeof old, 1, file) != 1)
        return 0;
    return ConvertOldUserCometRecord(old, record);
}

int UpgradeUserCometFile(const char *oldPath, const char *newPath) {
    if (!oldPath || !newPath) return 0;
    FileHandle in(SafeOpen(oldPath, "rb"));
    if (!in) return 0;
    int16_t head[2];
    if (SafeRead(head, sizeof head, 1, in.get()) != 1) return 0;
    int count = head[0];
    int64_t left = BytesLeftInStream(in.get());
    if (count < 0 || left < 0 || static_cast<int64_t>(count) * kOldUserCometSize > left) return 0;
    SafeRewrite out;
    if (!BeginSafeRewrite(newPath, &out) || SafeWrite(head, sizeof head, 1, out.file) != 1) return 0;
    for (int i = 0; i < count; ++i) {
        CometRecord record;
        if (!ReadOldUserCometRecord(in.get(), i, &record) || SafeWrite(&record, sizeof record, 1, out.file) != 1)
            return 0;
    }
    in.reset();
    return CommitSafeRewrite(&out);
}
