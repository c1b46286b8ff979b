// Catalogue files read whole and kept while unchanged (see catcache.h).
#include "objects/catcache.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <utility>

#include "core/datapaths.h"
#include "core/fsys.h"

namespace {

// The images by path; a handful of files, so a map is enough.
std::map<std::string, std::shared_ptr<const CatalogueImage>> &Images() {
    static std::map<std::string, std::shared_ptr<const CatalogueImage>> images;
    return images;
}

// When each path's write time was last asked and under which setting of the
// folders: a packaged file changes only when data is installed, so its time
// is asked at most once a second (a stat on every use of every catalogue was
// a large share of a designation's cost) and at once after the folders were
// set again.
struct Checked {
    std::chrono::steady_clock::time_point at;
    unsigned generation = 0;
};
std::map<std::string, Checked> &CheckTimes() {
    static std::map<std::string, Checked> times;
    return times;
}
const std::chrono::seconds kCheckInterval(1);

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

std::shared_ptr<const CatalogueImage> CatalogueFileImage(int k, int slot) {
    try {
        char buffer[kCatalogueFilePathSize];
        MakeCatalogueFilePath(buffer, k, slot);
        if (!buffer[0] || !GetRefDirectory(slot)) return nullptr;
        std::string path(buffer);
        auto &images = Images();
        auto held = images.find(path);
        const auto now = std::chrono::steady_clock::now();
        Checked &checked = CheckTimes()[path];
        if (held != images.end() && checked.generation == RefDirectoriesGeneration() &&
            now - checked.at < kCheckInterval)
            return held->second;
        checked.at = now;
        checked.generation = RefDirectoriesGeneration();
        FileTimeValue time;
        if (!FsGetWriteTime(path, &time)) {
            images.erase(path);
            return nullptr;
        }
        uint64_t ticks = (static_cast<uint64_t>(time.high) << 32) | time.low;
        auto it = images.find(path);
        if (it != images.end() && it->second->writeTime == ticks) return it->second;
        auto image = std::make_shared<CatalogueImage>();
        image->path = path;
        image->writeTime = ticks;
        if (!ReadWhole(path, &image->bytes)) {
            images.erase(path);
            return nullptr;
        }
        images[path] = image;
        return image;
    } catch (...) {
        return nullptr;
    }
}

std::string FoldCase(const char *text) {
    std::string out(text ? text : "");
    for (char &c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

int SearchImageRecords(const CatalogueImage *image, int width, const void *key,
                       int (*compare)(const void *key, const unsigned char *record)) {
    if (!image || width < 1 || !compare) return -1;
    int low = 0, high = static_cast<int>(image->bytes.size() / static_cast<size_t>(width)) - 1;
    while (low <= high) {
        int mid = low + (high - low) / 2;
        int c = compare(key, image->bytes.data() + static_cast<size_t>(mid) * width);
        if (c == 0) return mid;
        if (c < 0) high = mid - 1;
        else low = mid + 1;
    }
    return -1;
}

namespace {
struct NameKey {
    const char *text;
    int width;
};
}  // namespace

int FindInNameIndexImage(const CatalogueImage *image, int width, const char *text) {
    if (!image || !text || !text[0] || width < 3 || width > 64) return -1;
    NameKey key{text, width};
    int found = SearchImageRecords(image, width, &key, [](const void *k, const unsigned char *e) {
        const NameKey *nk = static_cast<const NameKey *>(k);
        char name[64];
        std::memcpy(name, e, static_cast<size_t>(nk->width) - 2);
        name[nk->width - 2] = '\0';
        return std::strcmp(nk->text, name);
    });
    if (found < 0) return -1;
    const unsigned char *e = image->bytes.data() + static_cast<size_t>(found) * width;
    return e[width - 2] | (e[width - 1] << 8);
}
