// Fuzz target: the places gazetteer's four tables as damaged files could hold
// them, walked as the places dialog walks them.
//
// Input: three 16-bit little-endian lengths, then the bytes of places00.bin,
// places01.bin and places02.bin of those lengths (cut to what remains), and
// the rest as places03.bin. The region tree is built and every region
// expanded (each inserted once, as the dialog's items are), every place of
// every region read, listed and decoded into a site. A decoded name longer
// than a site name, or a list name without its terminator, aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/datapaths.h"
#include "fuzz/fuzzscratch.h"
#include "sites/places.h"
#include "sites/sitestore.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "places check failed: %s\n", what);
        std::abort();
    }
}

// Bound on the places read per region, as the dialog's list would hold them.
const int kMaxPlacesPerRegion = 40000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string &folder = fuzz::ScratchFolder();
    size_t at = 0;
    size_t lengths[3];
    for (size_t &n : lengths) {
        n = at + 2 <= size ? (size_t)(data[at] | (data[at + 1] << 8)) : 0;
        at = at + 2 <= size ? at + 2 : size;
    }
    for (int k = 0; k < kPlaceTableCount; ++k) {
        size_t n = k < 3 ? std::min(lengths[k], size - at) : size - at;
        char name[32];
        std::snprintf(name, sizeof name, "places%.2d.bin", k);
        Check(fuzz::WriteScratchFile(name, data + at, n), "scratch file written");
        at += n;
    }
    SetRefDirectories(folder.c_str(), folder.c_str(), folder.c_str());
    PlacesTables *tables = OpenPlacesTables();
    Check(tables != nullptr, "the four tables open");
    PlaceTree tree;
    if (BuildPlaceTree(tables, &tree)) {
        static int marker;
        std::vector<std::pair<int, int>> open;
        for (int i = 0; i < (int)tree.nodes[0].size(); ++i) {
            tree.nodes[0][i].item = &marker;
            open.push_back({0, i});
        }
        while (!open.empty()) {
            auto [level, index] = open.back();
            open.pop_back();
            PlaceTreeNode *node = PlaceTreeNodeAt(&tree, level, index);
            Check(node != nullptr, "a listed node exists");
            if (node->region.childFile == kPlacesFile) {
                int end = node->region.end;
                if (end - node->region.first > kMaxPlacesPerRegion) end = node->region.first + kMaxPlacesPerRegion;
                for (int k = node->region.first; k < end; ++k) {
                    PlaceRecord place;
                    if (!ReadPlace(tables, k, &place)) continue;
                    char list[34];
                    PlaceListName(&place, list);
                    fuzz::TerminatedLength(list, sizeof list, "list name");
                    double lon, lat, zone;
                    int named;
                    char name[kDecodedPlaceNameSize];
                    Check(DecodePlace(&place, node->region.name, &lon, &lat, &named, &zone, name) == 1, "decoded");
                    Check(std::strlen(name) <= (size_t)kSiteNameChars, "decoded name fits a site name");
                    DaylightSavingRule rule;
                    DecodePlaceDaylightRule(&place, &rule);
                    LocationRecord site;
                    LocationTrailer trailer;
                    Check(MakeSiteFromPlace(&place, node->region.name, &site, &trailer) == 1, "site made");
                    fuzz::TerminatedLength(site.name, sizeof site.name, "site name");
                    Check(trailer.namedZone <= 4, "named zone in range");
                }
                continue;
            }
            int collapse;
            std::vector<int> insert;
            ExpandPlaceTreeNode(tables, &tree, level, index, &collapse, &insert);
            for (int child : insert) {
                PlaceTreeNode *c = PlaceTreeNodeAt(&tree, node->region.childFile, child);
                Check(c != nullptr && !c->item, "a child to insert exists and is new");
                c->item = &marker;
                open.push_back({node->region.childFile, child});
            }
        }
    }
    FreePlaceTree(&tree);
    ClosePlacesTables(tables);
    return 0;
}
