// The user's minor-planet store mp.bin and its number, name and id indexes
// (see usermp.h). Structural changes (sort, delete, compaction) rewrite the
// whole file through the crash-safe layer; appends write the record, then
// the count.
#include "minorbodies/usermp.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "astro/datetime.h"
#include "core/fileutil.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "minorbodies/userstoreio.h"

namespace {

const int64_t kHeaderSize = 8;
const int64_t kRecordSize = sizeof(MinorPlanetRecord);
const double kDegreesPerRadian = 180.0 / kPi;

int64_t RecordOffset(int32_t n) { return kHeaderSize + static_cast<int64_t>(n) * kRecordSize; }

void Terminate(MinorPlanetRecord *r) {
    r->name[kUserMinorPlanetNameSize - 1] = '\0';
    r->source[kUserMinorPlanetSourceSize - 1] = '\0';
}

void RemoveIndexes() { DeleteUserMinorPlanetIndexes(); }

// Moved records make every index slot after them stale.
const UserStoreShape kMinorPlanetStore = {"mp.bin", "mp.lock", 4, sizeof(MinorPlanetRecord), 0x7FFFFFFF,
                                          RemoveIndexes};

// Header and every record, the count checked against the file's size.
bool LoadAll(FILE *mp, int32_t *highest, std::vector<MinorPlanetRecord> *records) {
    return LoadUserRecords(kMinorPlanetStore, mp, Terminate, highest, records);
}

int Replace(FILE **stream, int32_t highest, const std::vector<MinorPlanetRecord> &records) {
    return ReplaceUserRecords(kMinorPlanetStore, stream, highest, records);
}

bool LoadCurrent(FILE **stream, int32_t *highest, std::vector<MinorPlanetRecord> *records) {
    return LoadCurrentUserRecords(kMinorPlanetStore, Terminate, stream, highest, records);
}

void ComputeTrack(MinorPlanetRecord *record) {
    OrbitRecord orbit;
    std::memset(record->track, 0, sizeof record->track);
    if (BuildUserMinorPlanetOrbit(record, &orbit))
        ComputeOrbitTrack(&orbit, JulianDateFromCenturies(record->epoch), record->track);
}

bool SameEpoch(double a, double b) { return std::fabs(a - b) < kSameEpochCenturies; }

// ---- index files ---------------------------------------------------------------

int BuildNumberIndex(FILE *mp, const char *path) {
    std::vector<MinorPlanetRecord> records;
    if (!LoadAll(mp, nullptr, &records)) return 0;
    std::vector<int32_t> words(2 + static_cast<size_t>(kMaxIndexedMinorPlanetNumber), kEmptyNumberSlot);
    int32_t distinct = 0, highest = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        int32_t n = records[i].number;
        // Numbers outside the slots (corrupt or merged records) are not indexed.
        if (n < 1 || n > kMaxIndexedMinorPlanetNumber) continue;
        int32_t &slot = words[2 + static_cast<size_t>(n - 1)];
        if (slot == kEmptyNumberSlot) ++distinct;
        if (static_cast<int32_t>(i) < slot) slot = static_cast<int32_t>(i);
        highest = std::max(highest, n);
    }
    words[0] = distinct;
    words[1] = highest;
    return WriteWholeFileSafely(path, words.data(), words.size() * sizeof(int32_t));
}

int BuildNameIndex(FILE *mp, const char *path) {
    std::vector<MinorPlanetRecord> records;
    if (!LoadAll(mp, nullptr, &records)) return 0;
    std::vector<NameIndexEntry> entries;
    for (size_t i = 0; i < records.size(); ++i) {
        const char *name = records[i].name;
        if (!name[0]) continue;
        if (i > 0 && CompareStringsNoCase(name, records[i - 1].name) == 0) continue;
        NameIndexEntry e;
        std::memset(&e, 0, sizeof e);
        CopyStringBounded(e.name, name, sizeof e.name);
        for (char *c = e.name; *c; ++c) *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
        e.recordIndex = static_cast<int32_t>(i);
        entries.push_back(e);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const NameIndexEntry &a, const NameIndexEntry &b) {
        return CompareUserMinorPlanetNames(a.name, b.name) < 0;
    });
    int32_t firstNonDigit = -1;
    for (size_t i = 0; i < entries.size(); ++i)
        if (!(entries[i].name[0] >= '0' && entries[i].name[0] <= '9')) {
            firstNonDigit = static_cast<int32_t>(i);
            break;
        }
    int32_t header[2] = {static_cast<int32_t>(entries.size()), firstNonDigit};
    std::string bytes(reinterpret_cast<const char *>(header), sizeof header);
    if (!entries.empty())
        bytes.append(reinterpret_cast<const char *>(entries.data()), entries.size() * sizeof(NameIndexEntry));
    return WriteWholeFileSafely(path, bytes.data(), bytes.size());
}

int BuildIdIndex(FILE *mp, const char *path) {
    std::vector<MinorPlanetRecord> records;
    int32_t headerHighest = 0;
    if (!LoadAll(mp, &headerHighest, &records)) return 0;
    // Ids are bounded by the header's highest id (and a hard cap), so a
    // corrupt id never makes a huge sparse file.
    int32_t bound = std::min(std::max(headerHighest, 0), kMaxUserObjectId);
    int32_t highest = 0;
    for (const MinorPlanetRecord &r : records)
        if (r.objectId > 0 && r.objectId <= bound) highest = std::max<int32_t>(highest, +r.objectId);
    std::vector<int32_t> words(static_cast<size_t>(highest) + 1, -1);
    words[0] = highest;
    for (size_t i = 0; i < records.size(); ++i) {
        int32_t id = records[i].objectId;
        if (id <= 0 || id > highest) continue;
        if (words[static_cast<size_t>(id)] < 0) words[static_cast<size_t>(id)] = static_cast<int32_t>(i);
    }
    return WriteWholeFileSafely(path, words.data(), words.size() * sizeof(int32_t));
}

// Opens an index (rebuilding it when missing or its header unreadable);
// header words read into h[0..words-1].
FILE *OpenIndex(FILE *mp, int (*format)(char *), int (*build)(FILE *, const char *), int32_t *h,
                int words) {
    char path[1024];
    if (!mp || !format(path)) return nullptr;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!FileExists(path) && !build(mp, path)) {
            RemoveStoreFile(path);
            return nullptr;
        }
        FILE *f = SafeOpen(path, "rb");
        if (f && ReadStoreBytes(f, 0, h, sizeof(int32_t) * static_cast<size_t>(words))) return f;
        if (f) SafeClose(f);
        RemoveStoreFile(path);
    }
    return nullptr;
}

// Slot of number n: the record index, -1 empty or outside, -2 read failure.
int32_t NumberSlot(FILE *mp, int32_t number) {
    int32_t h[2];
    FILE *index = OpenUserMinorPlanetNumberIndex(mp, &h[0], &h[1]);
    if (!index) return -2;
    int32_t slot = -1;
    if (number <= h[1]) {
        if (!ReadStoreBytes(index, 8 + 4 * static_cast<int64_t>(number - 1), &slot, 4)) slot = -2;
        else if (slot == kEmptyNumberSlot || slot < 0) slot = -1;
    }
    SafeClose(index);
    return slot;
}

// First record of the name in the index (equal ignoring case): record index,
// -1 absent, -2 read failure.
int32_t NameSlot(FILE *mp, const char *key) {
    int32_t h[2];
    FILE *index = OpenUserMinorPlanetNameIndex(mp, &h[0], &h[1]);
    if (!index) return -1;
    int32_t lo = 0, hi = h[0] - 1, found = -1;
    int64_t left = StreamSize(index);
    if (left < 8 + static_cast<int64_t>(h[0]) * 37) hi = -1, found = -2;
    while (lo <= hi) {
        int32_t mid = lo + (hi - lo) / 2;
        NameIndexEntry e;
        if (!ReadStoreBytes(index, 8 + static_cast<int64_t>(mid) * 37, &e, sizeof e)) {
            found = -2;
            break;
        }
        e.name[32] = '\0';
        int c = CompareUserMinorPlanetNames(key, e.name);
        if (c == 0) {
            found = e.recordIndex;
            break;
        }
        if (c < 0) hi = mid - 1;
        else lo = mid + 1;
    }
    SafeClose(index);
    return found;
}

int32_t IdSlot(FILE *mp, int32_t id) {
    int32_t highest = 0;
    FILE *index = OpenUserMinorPlanetIdIndex(mp, &highest);
    if (!index) return -2;
    int32_t slot = -1;
    if (id >= 1 && id <= highest && !ReadStoreBytes(index, 4 * static_cast<int64_t>(id), &slot, 4)) slot = -2;
    SafeClose(index);
    return slot;
}

void RemoveIndex(int (*format)(char *)) {
    char path[1024];
    if (format(path)) RemoveStoreFile(path);
}

// Reads record `slot` and checks it with test; on a mismatch the index is
// stale: it is deleted and looked up once more.
template <typename Lookup, typename Test>
int32_t VerifiedSlot(FILE *mp, int (*format)(char *), Lookup lookup, Test test, MinorPlanetRecord *record) {
    int32_t count = 0, highest = 0;
    if (!ReadUserMinorPlanetHeader(mp, &count, &highest)) return -2;
    for (int attempt = 0; attempt < 2; ++attempt) {
        int32_t slot = lookup();
        if (slot < 0) return slot;
        if (slot < count && ReadUserMinorPlanetRecord(mp, record, slot) && test(*record)) return slot;
        RemoveIndex(format);
    }
    return -1;
}

// Reads on from set `first` (its record in hand) through the consecutive
// sets of the same object to the one of the epoch: its index, or -1.
int32_t SetOfEpoch(FILE *mp, int32_t first, double epoch, MinorPlanetRecord *record) {
    int32_t count = 0, highest = 0;
    if (!ReadUserMinorPlanetHeader(mp, &count, &highest)) return -2;
    MinorPlanetRecord head = *record;
    for (int32_t i = first; i < count; ++i) {
        if (i > first) {
            if (!ReadUserMinorPlanetRecord(mp, record, i)) return -2;
            bool same = record->number == head.number && CompareStringsNoCase(record->name, head.name) == 0 &&
                        record->objectId == head.objectId;
            if (!same) break;
        }
        if (SameEpoch(record->epoch, epoch)) return i;
    }
    return -1;
}

}  // namespace

// ---- paths ------------------------------------------------------------------------

int FormatUserMinorPlanetFilePath(char *out) { return MakeStorePath(out, "mp.bin"); }
int FormatUserMinorPlanetBackupPath(char *out) { return MakeStorePath(out, "mp.bak"); }
int FormatUserMinorPlanetNumberIndexPath(char *out) { return MakeStorePath(out, "mpn.bin"); }
int FormatUserMinorPlanetNameIndexPath(char *out) { return MakeStorePath(out, "mp_alpha.bin"); }
int FormatUserMinorPlanetIdIndexPath(char *out) { return MakeStorePath(out, "mpid.bin"); }

// ---- the file ------------------------------------------------------------------------

void DeleteUserMinorPlanetIndexes() {
    RemoveIndex(FormatUserMinorPlanetNumberIndexPath);
    RemoveIndex(FormatUserMinorPlanetNameIndexPath);
    RemoveIndex(FormatUserMinorPlanetIdIndexPath);
}

int CreateUserMinorPlanetFile() { return CreateUserStore(kMinorPlanetStore); }

int ReadUserMinorPlanetHeader(FILE *stream, int32_t *count, int32_t *highestId) {
    return ReadUserStoreHeader(kMinorPlanetStore, stream, count, highestId);
}

FILE *OpenUserMinorPlanetFile(int32_t *count) { return OpenUserStore(kMinorPlanetStore, count); }

FILE *OpenOtherUserMinorPlanetFile(const char *path, int32_t *count) {
    return OpenOtherUserStore(kMinorPlanetStore, path, count);
}

int ReadUserMinorPlanetRecord(FILE *stream, MinorPlanetRecord *record, int32_t n) {
    if (!stream || !record || n < 0) return 0;
    if (!ReadStoreBytes(stream, RecordOffset(n), record, sizeof *record)) return 0;
    Terminate(record);
    return 1;
}

int WriteUserMinorPlanetRecord(FILE *stream, MinorPlanetRecord *record, int32_t n) {
    int32_t count = 0;
    StoreLock lock;
    if (!record || !LockUserStore(kMinorPlanetStore, &lock) || !ReadUserMinorPlanetHeader(stream, &count, nullptr) || n < 0 || n >= count) return 0;
    ComputeTrack(record);
    return WriteStoreBytes(stream, RecordOffset(n), record, sizeof *record);
}

int AppendUserMinorPlanetRecord(FILE *stream, MinorPlanetRecord *record, int32_t *count) {
    // The record and the count it grows are written under one lock, the
    // count read after the lock was taken.
    int32_t n = 0;
    StoreLock lock;
    if (!record || !LockUserStore(kMinorPlanetStore, &lock) || !ReadUserMinorPlanetHeader(stream, &n, nullptr)) return 0;
    record->objectId = 0;
    ComputeTrack(record);
    if (!WriteStoreBytes(stream, RecordOffset(n), record, sizeof *record)) return 0;
    int32_t grown = n + 1;
    if (!WriteStoreBytes(stream, 0, &grown, sizeof grown)) return 0;
    if (count) *count = grown;
    return 1;
}

int DeleteUserMinorPlanetRecord(FILE **stream, int32_t n) { return DeleteUserRecords(kMinorPlanetStore, Terminate, stream, n, 0); }

int DeleteUserMinorPlanetObject(FILE **stream, int32_t id) {
    return id > 0 ? DeleteUserRecords(kMinorPlanetStore, Terminate, stream, 0, id) : 0;
}

int CompactUserMinorPlanetFile(const uint8_t *deleteFlags, int steps, void (*progress)()) {
    return CompactUserRecords(kMinorPlanetStore, Terminate, deleteFlags, steps, progress);
}

int RecomputeUserMinorPlanetTracks() {
    FILE *f = nullptr;
    std::vector<MinorPlanetRecord> records;
    int32_t highest = 0;
    StoreLock lock;
    int ok = LockUserStore(kMinorPlanetStore, &lock) && LoadCurrent(&f, &highest, &records);
    if (ok) {
        for (MinorPlanetRecord &r : records) ComputeTrack(&r);
        ok = Replace(&f, highest, records);
    }
    if (f) SafeClose(f);
    return ok;
}

// ---- records -------------------------------------------------------------------------

int BuildMinorPlanetRecord(MinorPlanetRecord *record, int32_t number, const char *name, double T,
                           double epoch, double M, double n, double a, double q, double e,
                           double perihelion, double node, double inclination, double H,
                           double G, const char *source) {
    if (!record) return 0;
    if (number == 0 && (!name || !name[0])) return 0;
    OrbitRecord orbit;
    if (!InitOrbitRecord(&orbit, T, epoch, M, a, q, e, perihelion, node, inclination, n, H, G,
                         kMagnitudeModelAsteroid))
        return 0;
    std::memset(record, 0, sizeof *record);
    CopyStringBounded(record->name, name ? name : "", kUserMinorPlanetNameSize);
    record->number = number;
    record->perihelionTime = orbit.T;
    record->epoch = epoch;
    record->a = orbit.a;
    record->q = orbit.q != 0.0 ? orbit.q : (1.0 - e) * orbit.a;
    record->e = e;
    record->inclination = static_cast<float>(inclination / kDegreesPerRadian);
    record->perihelion = static_cast<float>(perihelion / kDegreesPerRadian);
    record->node = static_cast<float>(node / kDegreesPerRadian);
    record->H = static_cast<float>(H);
    record->G = static_cast<float>(G);
    CopyStringBounded(record->source, source ? source : "", kUserMinorPlanetSourceSize);
    return 1;
}

void UnpackMinorPlanetRecord(const MinorPlanetRecord *r, int32_t *number, char *name, double *T,
                             double *epoch, double *q, double *e, double *perihelion,
                             double *node, double *inclination, double *H, double *G,
                             char *source, double *a) {
    if (!r) return;
    if (number) *number = r->number;
    if (name) CopyStringBounded(name, r->name, kUserMinorPlanetNameSize);
    if (T) *T = r->perihelionTime;
    if (epoch) *epoch = r->epoch;
    if (q) *q = r->q;
    if (e) *e = r->e;
    if (perihelion) *perihelion = r->perihelion * kDegreesPerRadian;
    if (node) *node = r->node * kDegreesPerRadian;
    if (inclination) *inclination = r->inclination * kDegreesPerRadian;
    if (H) *H = r->H;
    if (G) *G = r->G;
    if (source) CopyStringBounded(source, r->source, kUserMinorPlanetSourceSize);
    if (a) *a = r->e != 1.0 ? r->q / (1.0 - r->e) : 0.0;
}

int BuildUserMinorPlanetOrbit(const MinorPlanetRecord *r, OrbitRecord *orbit) {
    if (!r || !orbit) return 0;
    double a = r->e < 1.0 ? r->a : 0.0;
    double q = r->e < 1.0 ? 0.0 : r->q;
    if (!InitOrbitRecord(orbit, r->perihelionTime, 0.0, 0.0, a, q, r->e, r->perihelion * kDegreesPerRadian,
                         r->node * kDegreesPerRadian, r->inclination * kDegreesPerRadian, 0.0, r->H, r->G,
                         kMagnitudeModelAsteroid))
        return 0;
    ComputeOrbitVectors(orbit);
    return 1;
}

void ConvertOldUserMinorPlanetRecord(const uint8_t *old, MinorPlanetRecord *record) {
    if (!old || !record) return;
    std::memset(record, 0, sizeof *record);
    std::memcpy(record, old, 105);
    // The old source runs from byte 105 to the end of the 116-byte record.
    char source[kOldMinorPlanetRecordSize - 105 + 1];
    std::memcpy(source, old + 105, kOldMinorPlanetRecordSize - 105);
    source[kOldMinorPlanetRecordSize - 105] = '\0';
    std::memset(record->source, 0, sizeof record->source);
    CopyStringBounded(record->source, source, kUserMinorPlanetSourceSize);
    Terminate(record);
}

int ReadOldUserMinorPlanetRecord(FILE *stream, int index, MinorPlanetRecord *record) {
    uint8_t old[kOldMinorPlanetRecordSize];
    if (!stream || !record || index < 0) return 0;
    if (!ReadStoreBytes(stream, kHeaderSize + static_cast<int64_t>(index) * kOldMinorPlanetRecordSize, old,
                        sizeof old))
        return 0;
    ConvertOldUserMinorPlanetRecord(old, record);
    return 1;
}

namespace {
const int kVersion2SharedBytes = 101;  // name .. objectId
const int kVersion2SourceAt = 105;
}  // namespace

int ReadVersion2MinorPlanetRecord(FILE *stream, int index, MinorPlanetRecord *record) {
    uint8_t v2[kVersion2MinorPlanetRecordSize];
    if (!stream || !record) return 0;
    if (index >= 0 && !SafeSeek(stream, kHeaderSize + static_cast<int64_t>(index) * kVersion2MinorPlanetRecordSize))
        return 0;
    if (SafeRead(v2, sizeof v2, 1, stream) != 1) return 0;
    std::memset(record, 0, sizeof *record);  // the track zeroed: unusable until computed
    std::memcpy(record, v2, kVersion2SharedBytes);
    std::memcpy(record->source, v2 + kVersion2SourceAt, kVersion2MinorPlanetRecordSize - kVersion2SourceAt);
    Terminate(record);
    return 1;
}

int ConvertMinorPlanetRecordToVersion2(const MinorPlanetRecord *record, uint8_t *version2) {
    if (!record || !version2) return 0;
    std::memset(version2, 0, kVersion2MinorPlanetRecordSize);
    std::memcpy(version2, record, kVersion2SharedBytes);
    std::memcpy(version2 + kVersion2SourceAt, record->source, kVersion2MinorPlanetRecordSize - kVersion2SourceAt);
    return 1;
}

void ComputeUserMinorPlanetTrack(MinorPlanetRecord *record) {
    if (record) ComputeTrack(record);
}

int UpgradeUserMinorPlanetFile(const char *oldPath, const char *newPath) {
    if (!oldPath || !newPath) return 0;
    std::string old;
    if (!ReadWholeFile(oldPath, &old) || old.size() < kHeaderSize) return 0;
    int32_t header[2];
    std::memcpy(header, old.data(), sizeof header);
    if (header[0] < 0 || kHeaderSize + static_cast<int64_t>(header[0]) * kOldMinorPlanetRecordSize >
                             static_cast<int64_t>(old.size()))
        return 0;
    std::vector<MinorPlanetRecord> records(static_cast<size_t>(header[0]));
    for (int32_t i = 0; i < header[0]; ++i) {
        ConvertOldUserMinorPlanetRecord(
            reinterpret_cast<const uint8_t *>(old.data()) + kHeaderSize + static_cast<int64_t>(i) * kOldMinorPlanetRecordSize,
            &records[static_cast<size_t>(i)]);
        ComputeTrack(&records[static_cast<size_t>(i)]);
    }
    std::string bytes = SerialiseUserRecords(kMinorPlanetStore, header[1], records);
    return WriteWholeFileSafely(newPath, bytes.data(), bytes.size());
}

int CompareUserMinorPlanetNames(const char *a, const char *b) { return CompareStringsNoCase(a, b); }

int CompareUserMinorPlanetRecords(const MinorPlanetRecord *a, const MinorPlanetRecord *b) {
    bool an = a->number != 0, bn = b->number != 0;
    if (an != bn) return an ? -1 : 1;
    if (an && a->number != b->number) return a->number < b->number ? -1 : 1;
    if (!an) {
        int c = CompareStringsNoCase(a->name, b->name);
        if (c != 0) return c;
        // Names equal but for case are two objects: keep each one's sets together.
        c = std::strcmp(a->name, b->name);
        if (c != 0) return c;
    }
    if (a->objectId != b->objectId) return a->objectId > b->objectId ? -1 : 1;
    if (a->epoch != b->epoch) return a->epoch > b->epoch ? -1 : 1;
    return 0;
}

// ---- indexes ---------------------------------------------------------------------------

FILE *OpenUserMinorPlanetNumberIndex(FILE *mp, int32_t *count, int32_t *highestNumber) {
    int32_t h[2];
    FILE *f = OpenIndex(mp, FormatUserMinorPlanetNumberIndexPath, BuildNumberIndex, h, 2);
    if (!f) return nullptr;
    if (count) *count = h[0];
    if (highestNumber) *highestNumber = h[1];
    return f;
}

int ReadUserMinorPlanetNumberEntry(FILE *mp, FILE *index, int32_t slot, int32_t slotCount,
                                   int32_t *number, char *name) {
    if (!mp || !index) return 0;
    if (slot >= 0) {
        if (slot >= slotCount || slot >= kMaxIndexedMinorPlanetNumber || !SafeSeek(index, 8 + 4 * static_cast<int64_t>(slot)))
            return 0;
    } else {
        int64_t pos = static_cast<int64_t>(std::ftell(index));
        slot = pos >= 8 ? static_cast<int32_t>((pos - 8) / 4) : 0;
        if (slot >= slotCount || !SafeSeek(index, 8 + 4 * static_cast<int64_t>(slot))) return 0;
    }
    int32_t value = 0;
    if (SafeRead(&value, 4, 1, index) != 1) return 0;
    if (value == kEmptyNumberSlot || value < 0) return -1;
    MinorPlanetRecord r;
    if (!ReadUserMinorPlanetRecord(mp, &r, value) || r.number != slot + 1) return 0;
    SafeSeek(index, 8 + 4 * static_cast<int64_t>(slot + 1));
    if (number) *number = r.number;
    if (name) CopyStringBounded(name, r.name, kUserMinorPlanetNameSize);
    return 1;
}

int FindUserMinorPlanetByNumber(FILE *mp, int32_t count, int32_t number, double epoch,
                                MinorPlanetRecord *record) {
    (void)count;
    if (!mp || !record || number <= 0 || number > kMaxIndexedMinorPlanetNumber) return 0;
    int32_t slot = VerifiedSlot(
        mp, FormatUserMinorPlanetNumberIndexPath, [&] { return NumberSlot(mp, number); },
        [&](const MinorPlanetRecord &r) { return r.number == number; }, record);
    if (slot == -2) return -1;
    if (slot < 0) return 0;
    if (epoch != 0.0) {
        slot = SetOfEpoch(mp, slot, epoch, record);
        if (slot == -2) return -1;
        if (slot < 0) return 0;
    }
    return slot + 1;
}

FILE *OpenUserMinorPlanetNameIndex(FILE *mp, int32_t *count, int32_t *firstNonDigit) {
    int32_t h[2];
    FILE *f = OpenIndex(mp, FormatUserMinorPlanetNameIndexPath, BuildNameIndex, h, 2);
    if (!f) return nullptr;
    if (count) *count = h[0];
    if (firstNonDigit) *firstNonDigit = h[1];
    return f;
}

int ReadUserMinorPlanetNameEntry(FILE *mp, FILE *index, int32_t entry, int32_t entryCount,
                                 char *name, int32_t *number) {
    if (!mp || !index) return 0;
    if (entry < 0) {
        int64_t pos = static_cast<int64_t>(std::ftell(index));
        entry = pos >= 8 ? static_cast<int32_t>((pos - 8) / 37) : 0;
    }
    if (entry >= entryCount) return 0;
    NameIndexEntry e;
    if (!ReadStoreBytes(index, 8 + static_cast<int64_t>(entry) * 37, &e, sizeof e)) return 0;
    MinorPlanetRecord r;
    if (!ReadUserMinorPlanetRecord(mp, &r, e.recordIndex)) return 0;
    if (name) CopyStringBounded(name, r.name, kUserMinorPlanetNameSize);
    if (number) *number = r.number;
    return SafeSeek(index, 8 + static_cast<int64_t>(entry + 1) * 37);
}

int FindUserMinorPlanetByName(FILE *mp, int32_t count, const char *name, double epoch,
                              MinorPlanetRecord *record) {
    (void)count;
    if (!mp || !record || !name || !name[0]) return -1;
    char key[kUserMinorPlanetNameSize];
    CopyStringBounded(key, name, sizeof key);
    int32_t slot = VerifiedSlot(
        mp, FormatUserMinorPlanetNameIndexPath, [&] { return NameSlot(mp, key); },
        [&](const MinorPlanetRecord &r) { return CompareUserMinorPlanetNames(r.name, key) == 0; }, record);
    if (slot == -2) return -1;
    if (slot < 0) return 0;
    if (epoch != 0.0) {
        // The run of the name may hold two objects whose names differ in case.
        int32_t total = 0;
        if (!ReadUserMinorPlanetHeader(mp, &total, nullptr)) return -1;
        for (int32_t i = slot; i < total; ++i) {
            if (i > slot && !ReadUserMinorPlanetRecord(mp, record, i)) return -1;
            if (CompareUserMinorPlanetNames(record->name, key) != 0) break;
            if (SameEpoch(record->epoch, epoch)) return i + 1;
        }
        return 0;
    }
    return slot + 1;
}

FILE *OpenUserMinorPlanetIdIndex(FILE *mp, int32_t *highestId) {
    int32_t h[1];
    FILE *f = OpenIndex(mp, FormatUserMinorPlanetIdIndexPath, BuildIdIndex, h, 1);
    if (!f) return nullptr;
    if (highestId) *highestId = h[0];
    return f;
}

int ReadUserMinorPlanetById(FILE *mp, int32_t id, MinorPlanetRecord *record, int32_t *index) {
    if (!mp || !record || id <= 0) return 0;
    int32_t slot = VerifiedSlot(
        mp, FormatUserMinorPlanetIdIndexPath, [&] { return IdSlot(mp, id); },
        [&](const MinorPlanetRecord &r) { return r.objectId == id; }, record);
    if (slot < 0) return 0;
    if (index) *index = slot + 1;
    return 1;
}

// ---- lookups of the object model ---------------------------------------------------------

int32_t FindUserMinorPlanetId(FILE *mp, const char *name, const int32_t *number, MinorPlanetRecord *record) {
    MinorPlanetRecord local;
    MinorPlanetRecord *r = record ? record : &local;
    int32_t count = 0;
    if (!mp || !ReadUserMinorPlanetHeader(mp, &count, nullptr) || count == 0) return 0;
    int found = number && *number > 0 ? FindUserMinorPlanetByNumber(mp, count, *number, 0.0, r)
                                       : FindUserMinorPlanetByName(mp, count, name, 0.0, r);
    return found > 0 ? r->objectId : 0;
}

int32_t FindUserMinorPlanetRecordIndex(FILE *mp, const int32_t *id, const char *name,
                                       const int32_t *number, double epoch,
                                       MinorPlanetRecord *record) {
    MinorPlanetRecord local;
    MinorPlanetRecord *r = record ? record : &local;
    int32_t count = 0;
    if (!mp || !ReadUserMinorPlanetHeader(mp, &count, nullptr) || count == 0) return -1;
    int32_t objectId = id ? *id : 0;
    if (objectId <= 0) {
        int found = number && *number > 0 ? FindUserMinorPlanetByNumber(mp, count, *number, epoch, r)
                                           : FindUserMinorPlanetByName(mp, count, name, epoch, r);
        if (found <= 0) return -1;
        objectId = r->objectId;
    }
    int32_t index = 0;
    if (!ReadUserMinorPlanetById(mp, objectId, r, &index)) return -1;
    return index - 1;
}

int ReadNextUserMinorPlanet(FILE *mp, int32_t id, char *name, int32_t *number, int32_t count,
                            int32_t *idOut) {
    if (!mp) return 0;
    MinorPlanetRecord r;
    if (id >= 0) {
        int32_t index = 0;
        if (!ReadUserMinorPlanetById(mp, id, &r, &index)) return 0;
        SafeSeek(mp, RecordOffset(index));
    } else {
        int64_t pos = static_cast<int64_t>(std::ftell(mp));
        if (pos < kHeaderSize) return 0;
        int32_t n = static_cast<int32_t>((pos - kHeaderSize) / kRecordSize);
        if (n >= count || !ReadUserMinorPlanetRecord(mp, &r, n)) return 0;
        // Skip the object's further sets.
        int32_t next = n + 1;
        MinorPlanetRecord s;
        while (next < count && ReadUserMinorPlanetRecord(mp, &s, next) && s.objectId == r.objectId) ++next;
        SafeSeek(mp, RecordOffset(next));
    }
    if (name) CopyStringBounded(name, r.name, kUserMinorPlanetNameSize);
    if (number) *number = r.number;
    if (idOut) *idOut = r.objectId;
    return 1;
}

void RewindUserMinorPlanets(FILE *mp, MinorPlanetRecord *record) {
    if (mp) SafeSeek(mp, kHeaderSize);
    if (record) record->objectId = 0;
}

int NextUserMinorPlanetElementSet(FILE *mp, MinorPlanetRecord *record, int32_t *index, int32_t id,
                                  int32_t count) {
    if (!mp || !record) return 0;
    int64_t pos = static_cast<int64_t>(std::ftell(mp));
    if (pos < kHeaderSize) return 0;
    int32_t n = static_cast<int32_t>((pos - kHeaderSize) / kRecordSize);
    if (id != 0) {
        bool seek = record->objectId == 0;
        while (n < count) {
            if (!ReadUserMinorPlanetRecord(mp, record, n)) return 0;
            if (record->objectId == id) {
                if (index) *index = n;
                return 1;
            }
            if (!seek) return 0;
            ++n;
        }
        return 0;
    }
    int32_t current = record->objectId;
    bool started = current != 0;
    while (n < count) {
        if (!ReadUserMinorPlanetRecord(mp, record, n)) return 0;
        if (!started || record->objectId != current) {
            if (index) *index = n;
            return 1;
        }
        ++n;
    }
    return 0;
}

int ComputeUserMinorPlanetPosition(FILE *mp, const DateRecord *date, int32_t id, char *name,
                                   int32_t *number, double *ra, double *dec, double *r,
                                   double *delta, double *elongation, double *magnitude,
                                   double *epoch, OrbitRecord *orbit, int32_t *recordIndex) {
    int32_t count = 0;
    if (!mp || !date || !ReadUserMinorPlanetHeader(mp, &count, nullptr)) return 0;
    MinorPlanetRecord set;
    int32_t first = 0;
    if (recordIndex && *recordIndex > 0) {
        first = *recordIndex - 1;
        if (first >= count || !ReadUserMinorPlanetRecord(mp, &set, first)) return 0;
    } else {
        int32_t found = 0;
        if (!ReadUserMinorPlanetById(mp, id, &set, &found)) return 0;
        first = found - 1;
        if (recordIndex) *recordIndex = found;
    }
    if (set.objectId != id) return 0;
    MinorPlanetRecord best = set;
    double bestGap = std::fabs(set.epoch - date->centuriesTT);
    for (int32_t i = first + 1; i < count; ++i) {
        MinorPlanetRecord next;
        if (!ReadUserMinorPlanetRecord(mp, &next, i)) return 0;
        if (next.objectId != id) break;
        double gap = std::fabs(next.epoch - date->centuriesTT);
        // Newer sets come first: on a tie (within a second) the earlier epoch wins.
        bool tie = std::fabs(gap - bestGap) < kSameEpochCenturies;
        if ((!tie && gap < bestGap) || (tie && next.epoch < best.epoch)) {
            best = next;
            bestGap = gap;
        }
    }
    OrbitRecord local;
    OrbitRecord *o = orbit ? orbit : &local;
    if (!BuildUserMinorPlanetOrbit(&best, o)) return 0;
    ComputeMinorBodyPosition(date, o, ra, dec, r, delta, nullptr, elongation, magnitude);
    if (epoch) *epoch = best.epoch;
    if (name) CopyStringBounded(name, best.name, kUserMinorPlanetNameSize);
    if (number) *number = best.number;
    return 1;
}

// ---- adding and sorting -------------------------------------------------------------------

int AddUserMinorPlanetElements(FILE *mp, MinorPlanetRecord *record, int32_t *count) {
    // The look-up and the change under the store's lock (the append and the
    // write below take it again).
    int32_t n = 0;
    StoreLock lock;
    if (!mp || !LockUserStore(kMinorPlanetStore, &lock) || !record || !ReadUserMinorPlanetHeader(mp, &n, nullptr)) return 0;
    MinorPlanetRecord found;
    int at = 0;
    if (record->number > 0) at = FindUserMinorPlanetByNumber(mp, n, record->number, record->epoch, &found);
    if (at == 0 && record->name[0]) at = FindUserMinorPlanetByName(mp, n, record->name, record->epoch, &found);
    if (at < 0) return 0;
    if (at == 0) {
        if (!AppendUserMinorPlanetRecord(mp, record, &n)) return 0;
        if (count) *count = n;
        return 1;
    }
    // A set appended but not yet sorted has no id to look up.
    if (found.objectId > 0) {
        MinorPlanetRecord first;
        if (!ReadUserMinorPlanetById(mp, found.objectId, &first, nullptr)) return 0;
        record->objectId = first.objectId;
    } else {
        record->objectId = 0;
    }
    if (std::fabs(record->perihelionTime - found.perihelionTime) < kSameEpochCenturies &&
        record->q == found.q && record->a == found.a && record->e == found.e &&
        record->inclination == found.inclination && record->perihelion == found.perihelion &&
        record->node == found.node && record->H == found.H && record->G == found.G)
        return 3;
    if (!WriteUserMinorPlanetRecord(mp, record, at - 1)) return 0;
    if (count) *count = n;
    return 2;
}

int SortUserMinorPlanetFile(FILE **mp, int32_t count, int32_t *highestId) {
    (void)count;
    std::vector<MinorPlanetRecord> records;
    int32_t highest = 0;
    StoreLock lock;
    if (!LockUserStore(kMinorPlanetStore, &lock) || !LoadCurrent(mp, &highest, &records)) return 0;
    auto less = [](const MinorPlanetRecord &a, const MinorPlanetRecord &b) {
        return CompareUserMinorPlanetRecords(&a, &b) < 0;
    };
    std::stable_sort(records.begin(), records.end(), less);
    int32_t currentNumber = -1, currentId = 0;
    const char *currentName = nullptr;
    for (MinorPlanetRecord &r : records) {
        bool fresh = currentName == nullptr || r.number != currentNumber ||
                     (r.number == 0 && std::strcmp(r.name, currentName) != 0);
        if (fresh) {
            if (r.objectId == 0) r.objectId = ++highest;
            currentId = r.objectId;
            currentNumber = r.number;
            currentName = r.name;
        } else if (r.objectId == 0) {
            r.objectId = currentId;
        }
    }
    // The sets that just received their object's id move to their epoch's place.
    std::stable_sort(records.begin(), records.end(), less);
    int ok = Replace(mp, highest, records);
    if (ok && highestId) *highestId = highest;
    return ok;
}

int ForEachUserMinorPlanetName(bool fromDigits, bool (*visit)(void *, const char *, int32_t), void *context) {
    char path[1024];
    if (!visit || !FormatUserMinorPlanetFilePath(path)) return 0;
    int32_t count = 0;
    FILE *mp = OpenOtherUserMinorPlanetFile(path, &count);
    if (!mp) return 0;
    int32_t entries = 0, firstNonDigit = -1;
    FILE *index = OpenUserMinorPlanetNameIndex(mp, &entries, &firstNonDigit);
    if (!index) {
        SafeClose(mp);
        return 0;
    }
    int result = 1;
    // Names that begin with a digit are searched only for a pattern that
    // does (or when no other name exists).
    int32_t start = fromDigits || firstNonDigit < 0 ? 0 : firstNonDigit;
    for (int32_t i = start; i < entries; ++i) {
        NameIndexEntry e;
        MinorPlanetRecord r;
        if (!ReadStoreBytes(index, 8 + static_cast<int64_t>(i) * 37, &e, sizeof e) ||
            !ReadUserMinorPlanetRecord(mp, &r, e.recordIndex)) {
            result = -1;
            break;
        }
        if (!visit(context, r.name, r.objectId)) break;
    }
    SafeClose(index);
    SafeClose(mp);
    return result;
}
