// Read-only data files held in memory, checked at most once a second
// (see fileimage.h).
#include "core/fileimage.h"

#include <chrono>
#include <map>

#include "core/fsys.h"

namespace {

const std::chrono::seconds kCheckInterval(1);

// What is held for one path: the image (null: the file was not there or
// could not be read), its write time and when that was last asked.
struct Held {
    std::shared_ptr<const FileImage> image;
    uint64_t writeTime = 0;
    bool present = false;
    std::chrono::steady_clock::time_point checked;
    unsigned generation = 0;
    bool everChecked = false;
};

std::map<std::string, Held> &Images() {
    static std::map<std::string, Held> held;
    return held;
}

// True when the entry must be looked at again (never asked, the generation
// changed or a second has passed); then asks the file's time: *changed when
// it differs from what is held (or the file came or went).
bool Recheck(Held *h, const std::string &path, unsigned generation, bool *changed) {
    const auto now = std::chrono::steady_clock::now();
    if (h->everChecked && h->generation == generation && now - h->checked < kCheckInterval)
        return false;
    h->everChecked = true;
    h->generation = generation;
    h->checked = now;
    FileTimeValue time;
    const bool present = FsGetWriteTime(path, &time);
    const uint64_t ticks = present ? (static_cast<uint64_t>(time.high) << 32) | time.low : 0;
    *changed = present != h->present || ticks != h->writeTime;
    h->present = present;
    h->writeTime = ticks;
    return true;
}

// Reads a whole file; false when it cannot be opened or read.
bool ReadWhole(const std::string &path, std::vector<unsigned char> *out) {
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    long size = ok ? std::ftell(f) : -1;
    ok = ok && size >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        out->resize(static_cast<size_t>(size));
        ok = size == 0 || std::fread(out->data(), 1, out->size(), f) == out->size();
    }
    std::fclose(f);
    return ok;
}

}  // namespace

std::shared_ptr<const FileImage> HeldFileImage(const std::string &path, unsigned generation) {
    try {
        if (path.empty()) return nullptr;
        Held &h = Images()[path];
        bool changed = false;
        if (!Recheck(&h, path, generation, &changed) || !changed) {
            // Unchanged: what is held (an image that could not be read is
            // tried again at the next check).
            if (h.image || !h.present) return h.image;
        }
        h.image = nullptr;
        if (!h.present) return nullptr;
        auto image = std::make_shared<FileImage>();
        image->path = path;
        image->writeTime = h.writeTime;
        if (!ReadWhole(path, &image->bytes)) return nullptr;
        h.image = image;
        return h.image;
    } catch (...) {
        return nullptr;
    }
}
