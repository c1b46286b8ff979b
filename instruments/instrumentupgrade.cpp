// Conversion of instruments stored in the older layouts.
#include "instruments/instrumentupgrade.h"

#include <cstring>
#include <memory>
#include <vector>

#include "core/safefile.h"
#include "core/versionstamp.h"
#include "instruments/storeio.h"

namespace {

// Old 8,750-byte layout.
const int kOldBlockSize4343 = 4343;
const int kOldMounting8750 = 8717;
const int kOldName8750 = 8718;
// Old eyepiece entries (8,750 and 139,206-byte layouts): 60 bytes each.
const int kOldEyepieceSize = 60;

template <typename T>
T Get(const uint8_t *p, int offset) {
    T v;
    std::memcpy(&v, p + offset, sizeof v);
    return v;
}

void CopyHead(const uint8_t *old, InstrumentRecord *r, int mountingAt, int nameAt) {
    std::memcpy(r, old, 31);  // id, optics count, unit, kind, sight, rings, default eyepiece
    r->mounting = old[mountingAt];
    std::memcpy(r->name, old + nameAt, sizeof r->name);
    r->name[sizeof r->name - 1] = '\0';
}

int BlocksInUse(const InstrumentRecord *r) { return r->opticsCount > 2 ? 2 : r->opticsCount; }

// Fields 0..100 (type to eyepiece count) and the 60-byte eyepiece entries.
void ConvertOldBlockFront(const uint8_t *old, OpticsBlock *b) {
    std::memcpy(b, old, 35);
    std::memcpy(b->name, old + 35, sizeof b->name);
    b->name[sizeof b->name - 1] = '\0';
    b->eyepieceCount = old[100];
    if (b->eyepieceCount > kMaxEyepieces) b->eyepieceCount = kMaxEyepieces;
    for (int j = 0; j < b->eyepieceCount; ++j) {
        const uint8_t *e = old + 101 + kOldEyepieceSize * j;
        EyepieceEntry &n = b->eyepieces[j];
        n.focalLength = Get<double>(e, 0);
        n.apparentField = Get<double>(e, 8);
        n.reserved = e[25];
        n.poolId = Get<int16_t>(e, 26);
        std::memcpy(n.name, e + 28, sizeof n.name);
        n.name[sizeof n.name - 1] = '\0';
    }
}

void ConvertBlock4343(const uint8_t *old, OpticsBlock *b) {
    ConvertOldBlockFront(old, b);
    std::memcpy(&b->limitingMagnitude, old + 4301, 24);
    b->currentEyepiece = old[4325];
    b->magnification = Get<double>(old, 4326);
    b->trueField = Get<double>(old, 4334);
    b->reserved1 = old[4342];
    b->cameraCount = 0;
    // The first generation kept the focal length of the whole optical train;
    // it lives on as the effective focal length (the ratio still gives the
    // objective's).
    b->effectiveFocalLength = b->focalLength;
    b->focalLength = 0.0;
    b->effectiveAperture = b->aperture;
    b->labelFlag = 0;
    b->barlowFactor = 2.0f;
    b->barlowInUse = 0;
    b->projectionOffered = 0;
    b->afocalOffered = 0;
    b->focalState = 0;
    b->projectionDistance = 0.0;
    b->extenderCount = 0;
    b->extenderIndex = kNoEyepiece;
}

int ReadRecordBytes(FILE *f, int64_t offset, std::vector<uint8_t> &buffer) {
    return ReadStoreBytes(f, offset, buffer.data(), buffer.size());
}

}  // namespace

FilterRecord *CopyOldFilterRecord(FilterRecord *slot, const uint8_t *old) {
    if (!slot || !old) return nullptr;
    std::memcpy(slot, old, kOldFilterRecordSize);
    slot->name[sizeof slot->name - 1] = '\0';
    return slot;
}

int ConvertOldCameraEntry(const uint8_t *old, CameraEntry *e) {
    if (!old || !e) return 0;
    std::memset(e, 0, sizeof *e);
    std::memcpy(&e->readNoise, old, 24);  // read noise, both gains
    e->sensorWidth = Get<double>(old, 24);
    e->sensorHeight = Get<double>(old, 32);
    e->pixelsAcross = Get<int32_t>(old, 44);
    e->pixelDiagonal = Get<double>(old, 48);
    std::memcpy(e->curveName, old + 56, sizeof e->curveName);
    e->curveName[sizeof e->curveName - 1] = '\0';
    std::memcpy(e->quantumEfficiency, old + 89, sizeof e->quantumEfficiency);
    std::memcpy(&e->poolId, old + 193, 20);  // pool id, field width and height
    int32_t filters = Get<int32_t>(old, 5328);
    if (filters < 0) filters = 0;
    if (filters > kCameraAssignedFilters) filters = kCameraAssignedFilters;
    e->filterCount = filters;
    for (int i = 0; i < filters; ++i)
        CopyOldFilterRecord(&e->filters[i], old + 213 + kOldFilterRecordSize * i);
    for (int i = 0; i < 5; ++i)
        CopyOldFilterRecord(&e->filters[kCameraBandSlot + i], old + 4863 + kOldFilterRecordSize * i);
    e->lensCount = 0;
    std::memcpy(e->name, old + 5401, sizeof e->name);
    e->name[sizeof e->name - 1] = '\0';
    e->reserved1 = 0;
    e->reserved2 = 0;
    return 1;
}

int ConvertOldOpticalPart(const uint8_t *old, OpticsBlock *b) {
    if (!old || !b) return 0;
    std::memset(b, 0, sizeof *b);
    ConvertOldBlockFront(old, b);
    int32_t cameras = Get<int32_t>(old, 4301);
    if (cameras < 0) cameras = 0;
    if (cameras > kMaxCameras) cameras = kMaxCameras;
    b->cameraCount = cameras;
    for (int i = 0; i < cameras; ++i)
        ConvertOldCameraEntry(old + 4305 + kOldCameraEntrySize * i, &b->cameras[i]);
    std::memcpy(&b->limitingMagnitude, old + 69513, 24);
    b->currentEyepiece = old[69537];
    b->magnification = Get<double>(old, 69538);
    b->trueField = Get<double>(old, 69546);
    b->reserved1 = old[69554];
    b->effectiveFocalLength = Get<double>(old, 69555);
    b->effectiveAperture = b->aperture;
    b->labelFlag = 0;
    b->barlowInUse = 0;
    b->barlowFactor = 2.0f;
    b->extenderIndex = kNoEyepiece;  // none (the count is 0)
    return 1;
}

int ConvertOpticsBlock164929(const uint8_t *old, OpticsBlock *b) {
    if (!old || !b) return 0;
    std::memset(b, 0, sizeof *b);
    // Type to the Barlow in use (0..164658) kept their places.
    std::memcpy(b, old, offsetof(OpticsBlock, projectionOffered));
    b->effectiveAperture = b->aperture;
    b->projectionOffered = old[164661];
    b->afocalOffered = old[164662];
    b->focalState = 0;
    std::memcpy(&b->projectionEyepiece, old + 164673, sizeof b->projectionEyepiece);
    b->projectionDistance = Get<double>(old, 164733);
    std::memcpy(&b->afocalEyepiece, old + 164741, sizeof b->afocalEyepiece);
    b->extenderCount = 0;
    b->extenderIndex = kNoEyepiece;
    for (int i = 0; i < kMaxExtenders; ++i) b->extenderFactors[i] = 1.0f;
    SanitizeOpticsBlock(b);
    return 1;
}

int ConvertOldInstrumentRecord(const uint8_t *old, InstrumentRecord *r) {
    if (!old || !r) return 0;
    std::memset(r, 0, sizeof *r);
    CopyHead(old, r, kOldMounting8750, kOldName8750);
    for (int i = 0; i < BlocksInUse(r); ++i)
        ConvertBlock4343(old + 31 + kOldBlockSize4343 * i, &r->optics[i]);
    return 1;
}

int ConvertInstrumentRecordInEntry(const uint8_t *old, InstrumentRecord *r) {
    return ConvertOldInstrumentRecord(old, r);
}

int ConvertInstrumentRecord139206(const uint8_t *old, InstrumentRecord *r) {
    if (!old || !r) return 0;
    std::memset(r, 0, sizeof *r);
    CopyHead(old, r, 139173, 139174);
    for (int i = 0; i < BlocksInUse(r); ++i)
        ConvertOldOpticalPart(old + 31 + kOpticsBlockSize69571 * i, &r->optics[i]);
    return 1;
}

int ConvertInstrumentRecord330050(const uint8_t *old, InstrumentRecord *r) {
    if (!old || !r) return 0;
    std::memset(r, 0, sizeof *r);
    CopyHead(old, r, 329889, 329890);
    for (int i = 0; i < BlocksInUse(r); ++i)
        ConvertOpticsBlock164929(old + 31 + kOpticsBlockSize164929 * i, &r->optics[i]);
    return 1;
}

int ReadOldInstrumentRecord(FILE *f, int index, InstrumentRecord *record) {
    if (!f || !record || index < 0) return 0;
    std::vector<uint8_t> old(kInstrumentSize8750);
    if (!ReadRecordBytes(f, 4 + (int64_t)index * kInstrumentSize8750, old)) return 0;
    return ConvertOldInstrumentRecord(old.data(), record);
}

int ReadInstrumentRecord139206(FILE *f, int index, InstrumentRecord *record) {
    if (!f || !record || index < 0) return 0;
    std::vector<uint8_t> old(kInstrumentSize139206);
    if (!ReadRecordBytes(f, 9 + (int64_t)index * kInstrumentSize139206, old)) return 0;
    return ConvertInstrumentRecord139206(old.data(), record);
}

namespace {

using Converter = int (*)(const uint8_t *, InstrumentRecord *);

// Reads the old header (stamped or not), writes the current stamp, the last id
// and count, then each converted record, through the crash-safe layer: the
// new file is there whole or not at all (an earlier one at newPath is kept).
int UpgradeFile(const char *oldPath, const char *newPath, int oldHeaderSize, int oldRecordSize,
                Converter convert) {
    if (!oldPath || !newPath) return 0;
    FileHandle in(SafeOpen(oldPath, "rb"));
    if (!in) return 0;
    uint8_t head[9];
    if (SafeRead(head, 1, (size_t)oldHeaderSize, in.get()) != (size_t)oldHeaderSize) return 0;
    const uint8_t *ids = head + (oldHeaderSize - 4);
    unsigned count = ids[2] | (ids[3] << 8);
    int64_t left = BytesLeftInStream(in.get());
    if (left < 0 || (int64_t)count * oldRecordSize > left) return 0;  // a count the file does not hold

    SafeRewrite out;
    if (!BeginSafeRewrite(newPath, &out)) return 0;
    VersionStamp stamp;
    SetCurrentStamp(&stamp);
    if (SafeWriteAll(out.file, &stamp, sizeof stamp) != 1 || SafeWriteAll(out.file, ids, 4) != 1) return 0;
    std::vector<uint8_t> old((size_t)oldRecordSize);
    std::unique_ptr<InstrumentRecord> record(new InstrumentRecord);
    for (unsigned i = 0; i < count; ++i) {
        if (SafeRead(old.data(), 1, old.size(), in.get()) != old.size() || convert(old.data(), record.get()) != 1 ||
            SafeWriteAll(out.file, record.get(), sizeof *record) != 1)
            return 0;
    }
    in.reset();
    return CommitSafeRewrite(&out);
}

}  // namespace

int UpgradeInstrumentFile(const char *oldPath, const char *newPath) {
    return UpgradeFile(oldPath, newPath, 4, kInstrumentSize8750, ConvertOldInstrumentRecord);
}

int UpgradeInstrumentFile139206(const char *oldPath, const char *newPath) {
    return UpgradeFile(oldPath, newPath, 9, kInstrumentSize139206, ConvertInstrumentRecord139206);
}

int UpgradeInstrumentFile330050(const char *oldPath, const char *newPath) {
    return UpgradeFile(oldPath, newPath, 9, kInstrumentSize330050, ConvertInstrumentRecord330050);
}
