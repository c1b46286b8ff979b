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

// The path of catalogue file k in a slot; "" when the slot is not set. Made
// once per setting of the folders (making it formats the name from the
// string table, a share of every lookup's cost when made each time).
const std::string &CataloguePath(int k, int slot) {
    struct Made {
        unsigned generation;
        std::string path;
    };
    static std::map<std::pair<int, int>, Made> made;
    const unsigned generation = RefDirectoriesGeneration();
    auto it = made.find({k, slot});
    if (it != made.end() && it->second.generation == generation) return it->second.path;
    static const std::string none;
    char buffer[kCatalogueFilePathSize];
    MakeCatalogueFilePath(buffer, k, slot);
    if (!buffer[0] || !GetRefDirectory(slot)) return none;  // not kept: asked again
    Made &m = made[{k, slot}];
    m.generation = generation;
    m.path = buffer;
    return m.path;
}

}  // namespace

std::shared_ptr<const CatalogueImage> CatalogueFileImage(int k, int slot) {
    try {
        return HeldFileImage(CataloguePath(k, slot), RefDirectoriesGeneration());
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
