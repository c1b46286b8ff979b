// The instrument store instr.bin: open with conversion of older layouts,
// backup and restore, and the record operations.
#include "instruments/instrumentstore.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "core/debugfile.h"
#include "core/textutil.h"
#include "core/fileutil.h"
#include "core/fsys.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "core/versionstamp.h"
#include "instruments/storeio.h"
#include "instruments/instrumentupgrade.h"

namespace {

const int kLastIdOffset = 5;
const int kCountOffset = 7;
const int kNameOffset = 329992;

int64_t RecordOffset(int index) {
    return kInstrumentHeaderSize + (int64_t)index * kInstrumentRecordSize;
}

std::string UserPath(const char *name) {
    char path[600];
    if (!MakeUserDataPath(path, (int)sizeof path, name)) return std::string();
    return path;
}

std::unique_ptr<InstrumentRecord> NewRecord() {
    return std::unique_ptr<InstrumentRecord>(new (std::nothrow) InstrumentRecord);
}

int ReadCount(FILE *f, int *count) {
    uint16_t n = 0;
    if (!ReadStoreU16(f, kCountOffset, &n)) return 0;
    *count = n;
    return 1;
}

int ReadRaw(FILE *f, InstrumentRecord *record, int index) {
    return ReadStoreBytes(f, RecordOffset(index), record, sizeof *record);
}

// Writes over a stored record; when the write or its flush fails the old
// record is written back, so a failure leaves the file as it was.
int WriteRaw(FILE *f, const InstrumentRecord *record, int index) {
    std::unique_ptr<InstrumentRecord> old = NewRecord();
    if (!old || !ReadRaw(f, old.get(), index)) return 0;
    if (WriteStoreBytes(f, RecordOffset(index), record, sizeof *record)) return 1;
    PutStoreBytesBack(f, RecordOffset(index), old.get(), sizeof *old);
    return 0;
}

// The count fits the file: every counted record is there whole.
int CountFits(FILE *f, int count) {
    return StoreCountFits(f, kInstrumentHeaderSize, count, kInstrumentRecordSize);
}

// The name field of a stored record, terminated.
int ReadStoredName(FILE *f, int index, char name[32]) {
    if (!ReadStoreBytes(f, RecordOffset(index) + kNameOffset, name, 32)) return 0;
    name[31] = '\0';
    return 1;
}

int ReadStoredId(FILE *f, int index, uint16_t *id) {
    return ReadStoreU16(f, RecordOffset(index), id);
}

// Puts a converted file in place of instr.bin in one step: a failure leaves
// the old file where it was (and a later open converts it again).
int ConvertInPlace(const std::string &path, int (*upgrade)(const char *, const char *)) {
    std::string fresh = UserPath("instr_new.bin");
    if (fresh.empty()) return 0;
    if (!upgrade(path.c_str(), fresh.c_str())) {
        if (FileExists(fresh.c_str())) SafeRemove(fresh.c_str());
        return 0;
    }
    return SafeReplace(fresh.c_str(), path.c_str());
}

// Layout of a stamped file older than the current stamp, from its size: the
// record size whose count of records the file holds exactly, or failing that
// (a stale tail after deletes) whose whole records make up the file.
// 0 when no layout fits.
int StampedLayoutRecordSize(int64_t size, int count) {
    const int sizes[3] = {kInstrumentRecordSize, kInstrumentSize330050, kInstrumentSize139206};
    int64_t body = size - kInstrumentHeaderSize;
    if (count == 0 || body < 0) return kInstrumentRecordSize;
    for (int s : sizes)
        if (body == (int64_t)count * s) return s;
    for (int s : sizes)
        if (body >= (int64_t)count * s && body % s == 0) return s;
    if (body >= (int64_t)count * kInstrumentRecordSize) return kInstrumentRecordSize;
    return 0;
}

}  // namespace

int CreateInstrumentFile() {
    std::string path = UserPath("instr.bin");
    if (path.empty()) return 0;
    if (FileExists(path.c_str()) && FsFileSize(path) >= kInstrumentHeaderSize) return 0;
    // The stamp and a count of 0, whole or not at all.
    VersionStamp stamp;
    SetCurrentStamp(&stamp);
    uint8_t bytes[sizeof stamp + 4] = {};
    std::memcpy(bytes, &stamp, sizeof stamp);
    return WriteWholeFileSafely(path.c_str(), bytes, sizeof bytes);
}

FILE *OpenInstrumentFile(int32_t *count) {
    std::string path = UserPath("instr.bin");
    if (path.empty()) return nullptr;
    // A conversion by an older program that deleted instr.bin and then failed
    // to rename its converted copy left the instruments in instr_new.bin.
    std::string orphan = UserPath("instr_new.bin");
    if (!FileExists(path.c_str()) && FileExists(orphan.c_str()))
        SafeReplace(orphan.c_str(), path.c_str());

    StoreFilePtr f(SafeOpen(path.c_str(), "r+b"));
    if (!f) {
        // A store that cannot be opened for writing (a read-only user folder)
        // is read as it is, when it needs no conversion: its instruments are
        // known, and every write through the stream fails and says so.
        f.reset(SafeOpen(path.c_str(), "rb"));
        VersionStamp current;
        int n = 0;
        if (!f || SafeRead(&current, sizeof current, 1, f.get()) != 1 || current.magic != kStampMagic ||
            GetStampVersion(&current) != CurrentStampVersion() || !ReadCount(f.get(), &n) ||
            !CountFits(f.get(), n) || !SafeSeek(f.get(), kInstrumentHeaderSize))
            return nullptr;
        if (count) *count = n;
        return f.release();
    }
    VersionStamp stamp;
    if (SafeRead(&stamp, sizeof stamp, 1, f.get()) != 1) return nullptr;

    if (stamp.magic != kStampMagic) {
        f.reset();
        if (!ConvertInPlace(path, UpgradeInstrumentFile)) return nullptr;
        f.reset(SafeOpen(path.c_str(), "r+b"));
        if (!f || std::fread(&stamp, sizeof stamp, 1, f.get()) != 1) return nullptr;
        if (stamp.magic != kStampMagic) return nullptr;
    }

    int version = GetStampVersion(&stamp);
    if (version > CurrentStampVersion()) return nullptr;  // a newer layout: leave it alone
    if (version < CurrentStampVersion()) {
        int n = 0;
        if (!ReadCount(f.get(), &n)) return nullptr;
        int recordSize = StampedLayoutRecordSize(StreamSize(f.get()), n);
        if (recordSize == 0) return nullptr;
        if (recordSize != kInstrumentRecordSize) {
            f.reset();
            auto upgrade = recordSize == kInstrumentSize330050 ? UpgradeInstrumentFile330050
                                                               : UpgradeInstrumentFile139206;
            if (!ConvertInPlace(path, upgrade)) return nullptr;
            f.reset(SafeOpen(path.c_str(), "r+b"));
            if (!f) return nullptr;
        }
        if (!AcceptStampedStore(f.get(), 1)) return nullptr;
    }

    int n = 0;
    uint16_t lastId = 0;
    if (!ReadStoreU16(f.get(), kLastIdOffset, &lastId) || !ReadCount(f.get(), &n)) return nullptr;
    // A count beyond the file's length is damage: refused before anything
    // reads, copies or appends by it.
    if (!CountFits(f.get(), n)) return nullptr;
    if (!SafeSeek(f.get(), kInstrumentHeaderSize)) return nullptr;
    if (count) *count = n;
    return f.release();
}

FILE *OpenOtherInstrumentFile(const char *path, int32_t *count, uint8_t *stamp, int *oldFlag) {
    if (oldFlag) *oldFlag = 0;
    if (!path) return nullptr;
    StoreFilePtr f(std::fopen(path, "rb"));
    if (!f) return nullptr;
    uint8_t head[5];
    if (std::fread(head, 1, 5, f.get()) != 5) return nullptr;
    if (stamp) std::memcpy(stamp, head, 5);
    if ((head[0] | (head[1] << 8)) != kStampMagic) {
        if (oldFlag) *oldFlag = 1;
        if (std::fseek(f.get(), 0, SEEK_SET) != 0) return nullptr;
    }
    uint8_t ids[4];
    if (std::fread(ids, 1, 4, f.get()) != 4) return nullptr;
    if (count) *count = ids[2] | (ids[3] << 8);
    return f.release();
}

int BackupInstrumentFile() {
    std::string from = UserPath("instr.bin"), to = UserPath("instr.bak");
    if (from.empty() || to.empty()) return 0;
    return CopyStoreRecords(from, to, kInstrumentHeaderSize, kCountOffset, kInstrumentRecordSize);
}

int RestoreInstrumentFile() {
    std::string from = UserPath("instr.bak"), to = UserPath("instr.bin");
    if (from.empty() || to.empty()) return 0;
    return CopyStoreRecords(from, to, kInstrumentHeaderSize, kCountOffset, kInstrumentRecordSize);
}

int ReadInstrument(FILE *f, InstrumentRecord *record, int index) {
    if (!f || !record || index < 0) return 0;
    int n = 0;
    if (!ReadCount(f, &n) || index >= n) return 0;
    if (!ReadRaw(f, record, index)) return 0;
    SanitizeInstrumentRecord(record);
    return 1;
}

int WriteInstrument(FILE *f, const InstrumentRecord *record, int index) {
    if (!f || !record || index < 0) return 0;
    int n = 0;
    if (!ReadCount(f, &n) || index >= n) return 0;
    return WriteRaw(f, record, index);
}

int WriteInstrumentById(FILE *f, const InstrumentRecord *record, int id) {
    if (!f || !record) return 0;
    int n = 0;
    if (!ReadCount(f, &n)) return 0;
    for (int i = 0; i < n; ++i) {
        uint16_t stored = 0;
        if (!ReadStoredId(f, i, &stored)) return 0;
        if (stored == (uint16_t)id) return WriteRaw(f, record, i);
    }
    return 0;
}

int AppendInstrument(FILE *f, InstrumentRecord *record) {
    if (!f || !record) return 0;
    uint16_t lastId = 0, n = 0;
    if (!ReadStoreU16(f, kLastIdOffset, &lastId) || !ReadStoreU16(f, kCountOffset, &n)) return 0;
    // After 65,535 the id would wrap to 0, the naked eye's, and ids would repeat.
    if (lastId == 0xFFFF || n == 0xFFFF) return 0;
    // A damaged count would put the record far past the end of the file.
    if (!CountFits(f, n)) return 0;
    uint16_t keptId = record->id;
    record->id = (uint16_t)(lastId + 1);
    // The record first: a failed write leaves the header counting only what is there.
    if (!WriteStoreBytes(f, RecordOffset(n), record, sizeof *record)) {
        record->id = keptId;
        return 0;
    }
    uint8_t header[4] = {(uint8_t)(record->id & 0xFF), (uint8_t)(record->id >> 8),
                         (uint8_t)((n + 1) & 0xFF), (uint8_t)((n + 1) >> 8)};
    if (!WriteStoreBytes(f, kLastIdOffset, header, 4)) {
        uint8_t old[4] = {(uint8_t)(lastId & 0xFF), (uint8_t)(lastId >> 8), (uint8_t)(n & 0xFF),
                          (uint8_t)(n >> 8)};
        PutStoreBytesBack(f, kLastIdOffset, old, 4);
        record->id = keptId;
        return 0;
    }
    return 1;
}

int DeleteInstrument(FILE **f, int index) {
    if (!f || !*f || index < 0) return 0;
    int n = 0;
    if (!ReadCount(*f, &n) || index >= n || !CountFits(*f, n)) return 0;
    std::string path = UserPath("instr.bin");
    int64_t size = StreamSize(*f);
    if (path.empty() || size < 0) return 0;
    std::unique_ptr<InstrumentRecord> buffer = NewRecord();
    if (!buffer) return 0;
    // The new copy, one record at a time: the header with the lowered count,
    // the records before and after the deleted one, then the last record's
    // old bytes again and whatever followed the counted records, so the file
    // keeps its length as a delete has always left it.
    SafeRewrite out;
    if (!BeginSafeRewrite(path.c_str(), &out)) return 0;
    uint8_t header[kInstrumentHeaderSize];
    bool ok = ReadStoreBytes(*f, 0, header, sizeof header) == 1;
    header[kCountOffset] = (uint8_t)((n - 1) & 0xFF);
    header[kCountOffset + 1] = (uint8_t)((n - 1) >> 8);
    ok = ok && SafeWriteAll(out.file, header, sizeof header);
    for (int i = 0; ok && i < n; ++i) {
        if (i == index) continue;
        ok = ReadRaw(*f, buffer.get(), i) && SafeWriteAll(out.file, buffer.get(), sizeof *buffer);
    }
    ok = ok && ReadRaw(*f, buffer.get(), n - 1) && SafeWriteAll(out.file, buffer.get(), sizeof *buffer);
    int64_t rest = size - RecordOffset(n);
    if (ok && rest > 0) {
        std::string tail((size_t)rest, '\0');
        ok = ReadStoreBytes(*f, RecordOffset(n), &tail[0], tail.size()) &&
             SafeWriteAll(out.file, tail.data(), tail.size());
    }
    out.failed = !ok;
    // The stream lets go of the file (Windows replaces no open file) and is
    // opened again on whichever file is there: the new one, or the old one.
    std::fclose(*f);
    *f = nullptr;
    ok = CommitSafeRewrite(&out) == 1;
    *f = ReopenAfterRewrite(path.c_str(), "r+b");
    return (ok && *f && SafeSeek(*f, kInstrumentHeaderSize)) ? 1 : 0;
}

int MoveInstrument(FILE *f, int index, int count, int direction, int *newIndex) {
    char line[96];
    if (newIndex) *newIndex = -1;
    std::snprintf(line, sizeof line, "index=%d num=%d", index, count);
    AppendDebugLine(line);
    if (direction != 1 && direction != -1) {
        AppendDebugLine("bad dir\n");
        return 0;
    }
    if (!f) {
        AppendDebugLine("bad fp\n");
        return 0;
    }
    if (count < 2) {
        std::snprintf(line, sizeof line, "mum < 2 (%d)\n", count);
        AppendDebugLine(line);
        return 0;
    }
    std::unique_ptr<InstrumentRecord> moving = NewRecord(), partner = NewRecord();
    if (!moving || !partner) return 0;
    // Never past the records the file counts.
    int stored = 0;
    if (ReadCount(f, &stored) && count > stored) count = stored;
    if (index < 0 || index >= count || !ReadRaw(f, moving.get(), index)) {
        std::snprintf(line, sizeof line, "bad read index: %d\n", index);
        AppendDebugLine(line);
        return 0;
    }
    int other = -1;
    if (direction == 1) {
        if (index >= count - 1) {
            std::snprintf(line, sizeof line, "index>=num-1 index: %d num: %d\n", index, count);
            AppendDebugLine(line);
            return 0;
        }
        for (int i = index + 1; i < count; ++i) {
            if (!ReadRaw(f, partner.get(), i)) {
                std::snprintf(line, sizeof line, "bad read 2 i=%d\n", i);
                AppendDebugLine(line);
                return 0;
            }
            if (partner->kind == moving->kind) {
                other = i;
                std::snprintf(line, sizeof line, "found 1 swap_index=%d", i);
                AppendDebugLine(line);
                break;
            }
        }
        if (other < 0) {
            AppendDebugLine("not found\n");
            return 0;
        }
    } else {
        if (index < 1) {
            std::snprintf(line, sizeof line, "index < 1 index: %d\n", index);
            AppendDebugLine(line);
            return 0;
        }
        for (int i = index - 1; i >= 0; --i) {
            if (!ReadRaw(f, partner.get(), i)) {
                std::snprintf(line, sizeof line, "bad read 3 i=%d\n", i);
                AppendDebugLine(line);
                return 0;
            }
            if (partner->kind == moving->kind) {
                other = i;
                std::snprintf(line, sizeof line, "found 2 swap_index=%d", i);
                AppendDebugLine(line);
                break;
            }
        }
        if (other < 0) {
            AppendDebugLine("not found 2\n");
            return 0;
        }
    }
    if (newIndex) *newIndex = other;
    if (!WriteInstrument(f, moving.get(), other)) {
        std::snprintf(line, sizeof line, "update 1 failed: index=%d\n", other);
        AppendDebugLine(line);
        return 0;
    }
    if (!WriteInstrument(f, partner.get(), index)) {
        std::snprintf(line, sizeof line, "update 2 failed: index=%d\n", index);
        AppendDebugLine(line);
        // Put the partner back where it was, so that no instrument is lost.
        WriteInstrument(f, partner.get(), other);
        return 0;
    }
    AppendDebugLine("Done\n");
    return 1;
}

int FindInstrumentById(FILE *f, InstrumentRecord *record, int id) {
    if (!f || !record) return 0;
    int n = 0;
    if (!ReadCount(f, &n)) return -1;
    for (int i = 0; i < n; ++i) {
        uint16_t stored = 0;
        if (!ReadStoredId(f, i, &stored)) return -1;
        if (stored == (uint16_t)id) {
            if (!ReadRaw(f, record, i)) return -1;
            SanitizeInstrumentRecord(record);
            return i + 1;
        }
    }
    return 0;
}

int FindOldInstrumentById(FILE *f, InstrumentRecord *record, int id) {
    if (!f || !record) return 0;
    uint16_t n = 0;
    if (!ReadStoreU16(f, 2, &n)) return 0;
    for (int i = 0; i < n; ++i) {
        uint16_t stored = 0;
        if (!ReadStoreU16(f, 4 + (int64_t)i * kInstrumentSize8750, &stored)) return 0;
        if (stored == (uint16_t)id) return ReadOldInstrumentRecord(f, i, record) ? i + 1 : 0;
    }
    return 0;
}

int FindInstrumentByName(FILE *f, InstrumentRecord *record, int count, int *index) {
    if (!f || !record || count <= 0) return 0;
    int n = 0;
    if (!ReadCount(f, &n)) return 0;
    if (count > n) count = n;
    char wanted[32];
    std::memcpy(wanted, record->name, sizeof wanted);
    wanted[31] = '\0';
    for (int i = 0; i < count; ++i) {
        char name[32];
        if (!ReadStoredName(f, i, name)) continue;
        if (std::strcmp(name, wanted) != 0) continue;
        std::unique_ptr<InstrumentRecord> found = NewRecord();
        if (!found || !ReadRaw(f, found.get(), i)) continue;
        SanitizeInstrumentRecord(found.get());
        std::memcpy(record, found.get(), sizeof *record);
        if (index) *index = i;
        return 1;
    }
    return 0;
}

namespace {

// Names of fixed fields compared ignoring case, never past the field.
size_t FieldLength(const char *text, size_t size) {
    const void *end = std::memchr(text, 0, size);
    return end ? (size_t)((const char *)end - text) : size;
}

bool SameNameNoCase(const char *a, const char *b, size_t size) {
    std::string x(a, FieldLength(a, size)), y(b, FieldLength(b, size));
    return CompareStringsNoCase(x.c_str(), y.c_str()) == 0;
}

bool SameBlock(const OpticsBlock &a, const OpticsBlock &b) {
    if (a.type != b.type || a.aperture != b.aperture || a.focalLength != b.focalLength ||
        a.leftRight != b.leftRight || a.upDown != b.upDown || a.condition != b.condition ||
        a.eyepieceCount != b.eyepieceCount)
        return false;
    if (!SameNameNoCase(a.name, b.name, sizeof a.name)) return false;
    int n = a.eyepieceCount > kMaxEyepieces ? kMaxEyepieces : a.eyepieceCount;
    for (int j = 0; j < n; ++j) {
        const EyepieceEntry &x = a.eyepieces[j], &y = b.eyepieces[j];
        if (x.focalLength != y.focalLength || x.apparentField != y.apparentField) return false;
        if (!SameNameNoCase(x.name, y.name, sizeof x.name)) return false;
    }
    return true;
}

}  // namespace

int CompareInstruments(const InstrumentRecord *a, const InstrumentRecord *b) {
    if (!a || !b) return 0;
    if (a->opticsCount != b->opticsCount || a->kind != b->kind || a->sightFlags != b->sightFlags ||
        a->mounting != b->mounting)
        return 0;
    if (!SameNameNoCase(a->name, b->name, sizeof a->name)) return 0;
    for (int i = 0; i < 6; ++i)
        if (a->rings[i] != b->rings[i]) return 0;
    int blocks = a->opticsCount > 2 ? 2 : a->opticsCount;
    for (int i = 0; i < blocks; ++i)
        if (!SameBlock(a->optics[i], b->optics[i])) return 0;
    return 1;
}
