// Upgrades of the filter pool and, in place, of the camera pool camera.bin.
#include "instruments/poolupgrade.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/fsys.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "core/versionstamp.h"
#include "core/debugfile.h"
#include "instruments/camerarecords.h"
#include "instruments/storeio.h"
#include "core/safefile.h"

namespace {

const size_t kRecord = sizeof(CameraRecord);  // 381

std::string CameraPath() {
    char path[600];
    if (!MakeUserDataPath(path, (int)sizeof path, "camera.bin")) return std::string();
    return path;
}

// Reads the records after a header of headerSize bytes (the last id and count
// in its last four bytes), lets fix change each, and replaces the pool with
// the current stamp, the two values and the records. The copy is written under
// a name of its own: "camera.bak" holds the dialogs' undo copy.
int Rewrite(const std::string &path, size_t headerSize, void (*fix)(uint8_t *record)) {
    StoreFilePtr in(std::fopen(path.c_str(), "rb"));
    if (!in) return 0;
    uint8_t header[9];
    if (std::fread(header, 1, headerSize, in.get()) != headerSize) return 0;
    const uint8_t *ids = header + headerSize - 4;
    unsigned count = ids[2] | (ids[3] << 8);
    SafeRewrite out;
    if (!BeginSafeRewrite(path.c_str(), &out)) return 0;
    VersionStamp stamp;
    SetCurrentStamp(&stamp);
    bool ok = SafeWriteAll(out.file, &stamp, sizeof stamp) == 1 && SafeWriteAll(out.file, ids, 4) == 1;
    std::vector<uint8_t> record(kRecord);
    for (unsigned i = 0; ok && i < count; ++i) {
        ok = SafeRead(record.data(), 1, kRecord, in.get()) == kRecord;
        if (ok) {
            fix(record.data());
            ok = SafeWriteAll(out.file, record.data(), kRecord) == 1;
        }
    }
    in.reset();
    out.failed = !ok;
    return CommitSafeRewrite(&out);
}

void SetSixteenBits(uint8_t *record) { record[offsetof(CameraRecord, bitDepth)] = 1; }

void ClearGuider(uint8_t *record) {
    record[offsetof(CameraRecord, guider)] = 0;
    std::memset(record + offsetof(CameraRecord, guiderPixelWidth), 0, 8);  // width, height
    std::memset(record + offsetof(CameraRecord, guiderOffsetX), 0, 8);     // offsets x, y
}

int ReadStamp(const std::string &path, VersionStamp *stamp) {
    StoreFilePtr f(std::fopen(path.c_str(), "rb"));
    return f && std::fread(stamp, sizeof *stamp, 1, f.get()) == 1 ? 1 : 0;
}

}  // namespace

int StampCameraFile() {
    std::string path = CameraPath();
    VersionStamp stamp;
    if (path.empty() || !ReadStamp(path, &stamp)) return 0;
    if (stamp.magic == kStampMagic) return 1;
    return Rewrite(path, 4, SetSixteenBits);
}

int UpgradeCameraFileGuider() {
    std::string path = CameraPath();
    VersionStamp stamp;
    if (path.empty() || !ReadStamp(path, &stamp) || stamp.magic != kStampMagic) return 0;
    if (GetStampVersion(&stamp) >= 3008) return 1;
    return Rewrite(path, 9, ClearGuider);
}

int UpgradeFilterFile(const char *oldPath, const char *newPath) {
    if (!oldPath || !newPath) return 0;
    const size_t kOldFilterSize = 93;
    FileHandle in(SafeOpen(oldPath, "rb"));
    if (!in) return 0;
    uint8_t head[4];
    if (SafeRead(head, 1, sizeof head, in.get()) != sizeof head) return 0;
    int count = static_cast<int16_t>(head[2] | (head[3] << 8));
    int64_t left = BytesLeftInStream(in.get());
    if (count < 0 || left < 0 || static_cast<int64_t>(count) * static_cast<int64_t>(kOldFilterSize) > left) return 0;
    SafeRewrite out;
    if (!BeginSafeRewrite(newPath, &out) || SafeWriteAll(out.file, head, sizeof head) != 1) return 0;
    std::vector<uint8_t> record(sizeof(FilterRecord));
    for (int i = 0; i < count; ++i) {
        std::fill(record.begin(), record.end(), 0);
        if (SafeRead(record.data(), 1, kOldFilterSize, in.get()) != kOldFilterSize ||
            SafeWriteAll(out.file, record.data(), record.size()) != 1)
            return 0;
    }
    in.reset();
    return CommitSafeRewrite(&out);
}

int UpgradeFilterPool() {
    char buffer[600];
    if (!MakeUserDataPath(buffer, (int)sizeof buffer, "filters.bin")) return 0;
    std::string path = buffer;
    if (!FileExists(path.c_str())) return 1;
    int64_t size = FsFileSize(path);
    uint8_t head[4] = {0, 0, 0, 0};
    {
        StoreFilePtr in(std::fopen(path.c_str(), "rb"));
        if (!in || std::fread(head, 1, sizeof head, in.get()) != sizeof head) return 0;
    }
    const int64_t count = head[2] | (head[3] << 8);
    const int64_t kOldFilterSize = 93;
    // The pool carries no stamp: its layout is told by its size.
    if (size >= 4 + count * (int64_t)sizeof(FilterRecord)) return 1;  // current
    if (size == 4 + count * kOldFilterSize) return UpgradeFilterFile(path.c_str(), path.c_str());
    AppendDebugLine("filters.bin: a size that fits neither filter record layout; not opened");
    return 0;
}
