// The dialog-settings store "dds.bin": walking its chain of blocks, reading,
// writing in place or appending, and removing a block by a crash-safe rewrite.
#include "core/dlgsettings.h"

#include <cstring>
#include <vector>

#include "core/fsys.h"
#include "core/userfolder.h"
#include "core/safefile.h"

namespace {

const char kStoreName[] = "dds.bin";


bool ReadHeader(FILE *f, DialogSettingHeader *h) {
    return std::fread(h, sizeof *h, 1, f) == 1;
}

bool WriteHeader(FILE *f, int32_t length, int16_t key) {
    DialogSettingHeader h{length, key};
    return SafeWrite(&h, sizeof h, 1, f) == 1;
}

bool ValidKey(int key) { return key != 0 && key >= INT16_MIN && key <= INT16_MAX; }

}  // namespace

FILE *OpenDialogSettings() { return OpenUserDataFile(kStoreName, "r+b"); }

int SeekDialogSetting(FILE *stream, int key, DialogSettingHeader *header) {
    if (!stream) return 0;
    DialogSettingHeader h{0, 0};
    const long size = StreamSize(stream);
    if (size < 0) return 0;
    // Every block takes at least its 6-byte header, so the walk ends within
    // size / 6 steps; a length that would move backwards or past the end
    // breaks the chain instead of looping or running off the file.
    for (;;) {
        if (!ReadHeader(stream, &h)) break;
        if (header) *header = h;
        if (h.key == 0) return -1;
        const long here = std::ftell(stream);
        if (here < 0 || h.length < 0 || h.length > size - here) return 0;
        if (h.key == static_cast<int16_t>(key)) return 1;
        if (std::fseek(stream, h.length, SEEK_CUR) != 0) return 0;
    }
    if (header) *header = h;
    return 0;
}

int GetDialogSetting(void *buffer, int length, int key) {
    if (!buffer || length <= 0 || !ValidKey(key)) return 0;
    FileHandle file(OpenUserDataFile(kStoreName, "rb"));
    if (!file.get()) return 0;
    DialogSettingHeader h;
    if (SeekDialogSetting(file.get(), key, &h) != 1 || h.length != length) return 0;
    std::vector<uint8_t> data(static_cast<size_t>(length));
    if (std::fread(data.data(), 1, data.size(), file.get()) != data.size()) return 0;
    std::memcpy(buffer, data.data(), data.size());
    return 1;
}

int PutDialogSetting(const void *data, int length, int key) {
    if (!data || length <= 0 || !ValidKey(key)) return 0;
    FileHandle file(OpenDialogSettings());
    if (!file.get()) return 0;
    DialogSettingHeader h;
    int s = SeekDialogSetting(file.get(), key, &h);
    if (s == 0) return 0;
    if (s == 1 && h.length != length) {
        std::fclose(file.release());
        if (!DeleteDialogSetting(key)) return 0;
        file.reset(OpenDialogSettings());
        if (!file.get()) return 0;
        s = SeekDialogSetting(file.get(), key, &h);
        if (s != -1) return 0;  // the old block must be gone now
    }
    const long p = std::ftell(file.get());
    // A C stream needs a seek between reading and writing.
    if (p < 0 || std::fseek(file.get(), p, SEEK_SET) != 0) return 0;
    if (!SafeWriteAll(file.get(), data, static_cast<size_t>(length))) return 0;
    if (s == -1) {
        // New end marker first, then the real header over the old marker: an
        // interruption before the last write leaves the chain ending where it did.
        if (!WriteHeader(file.get(), 0, 0)) return 0;
        if (!SafeFlush(file.get())) return 0;
        if (std::fseek(file.get(), p - static_cast<long>(sizeof(DialogSettingHeader)), SEEK_SET) != 0) return 0;
        if (!WriteHeader(file.get(), length, static_cast<int16_t>(key))) return 0;
    }
    const bool flushed = SafeFlush(file.get()) == 1;
    const bool closed = SafeClose(file.release()) == 1;
    return flushed && closed ? 1 : 0;
}

int DeleteDialogSetting(int key) {
    if (!ValidKey(key)) return 0;
    char storePath[1024];
    if (!MakeUserDataPath(storePath, sizeof storePath, kStoreName)) return 0;
    FileHandle in(SafeOpen(storePath, "rb"));
    if (!in.get()) return 0;
    const long size = StreamSize(in.get());
    if (size < 0) return 0;
    // dds.bin stays as it was until the complete copy replaces it in one step.
    SafeRewrite out;
    if (!BeginSafeRewrite(storePath, &out)) return 0;

    bool found = false, ok = false;
    std::vector<uint8_t> data;
    for (;;) {
        DialogSettingHeader h;
        if (!ReadHeader(in.get(), &h)) break;
        if (h.key == 0) {
            ok = true;
            break;
        }
        const long here = std::ftell(in.get());
        // A length beyond the bytes left is a broken chain, never an allocation.
        if (here < 0 || h.length < 0 || h.length > size - here) break;
        data.resize(static_cast<size_t>(h.length));
        if (!data.empty() && SafeRead(data.data(), 1, data.size(), in.get()) != data.size()) break;
        if (h.key == static_cast<int16_t>(key)) {
            found = true;
            continue;
        }
        if (SafeWrite(&h, sizeof h, 1, out.file) != 1) break;
        if (!data.empty() && SafeWrite(data.data(), 1, data.size(), out.file) != data.size()) break;
    }
    ok = ok && found && WriteHeader(out.file, 0, 0);
    in.reset();
    if (!ok) {
        AbandonSafeRewrite(&out);
        return 0;
    }
    ok = CommitSafeRewrite(&out) == 1;
    return ok ? 1 : 0;
}

int ResetDialogSettings() {
    char storePath[1024];
    if (!MakeUserDataPath(storePath, sizeof storePath, kStoreName)) return 0;
    DialogSettingHeader end{0, 0};
    return WriteWholeFileSafely(storePath, &end, sizeof end);
}

int DialogSettingsReadable() {
    FileHandle file(OpenUserDataFile(kStoreName, "rb"));
    if (!file.get()) return 0;
    DialogSettingHeader h;
    return ReadHeader(file.get(), &h) ? 1 : 0;
}
