// Fuzz target: an observing-list transfer file (exchange package of kind 1)
// as a damaged or hostile file could hold it, imported into the scratch
// folder's lists: header, description, head, item keys and the user-object,
// log, note, link and image-link sections the head's flags announce.
//
// Input: a control byte, then the file. Control bit 0 keeps (0) or discards
// (1) the import at its end; bits 1-2 the list group it goes to. A kept
// import must leave a list whose items the list store reads back, and the
// list index must still read.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/package.h"
#include "fuzz/fuzzscratch.h"
#include "userdata/listindex.h"
#include "userdata/listtransfer.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "list transfer check failed: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    fuzz::ScratchFolder();
    bool discard = data[0] & 1;
    int group = ((data[0] >> 1) & 3) + 1;
    Check(fuzz::WriteScratchFile("in.lst", data + 1, size - 1), "write file");
    std::string path = fuzz::ScratchFolder() + "/in.lst";
    ListImportState state;
    PackageHeader header;
    std::string description;
    if (BeginListImport(&state, group, path.c_str(), 50, &header, &description, nullptr)) {
        Check(state.itemTotal >= 0, "item total not negative");
        int r;
        int portions = 0;
        while ((r = ImportNextListItems(&state, nullptr)) == 1)
            Check(++portions < 100000, "portions end");
        Check((int64_t)state.items.size() <= (int64_t)state.itemTotal, "no more items than the file counts");
        int slot = EndListImport(&state, r < 0 || discard ? 1 : 0);
        if (r < 0 || discard) Check(slot == -1, "a failed or discarded import stores no list");
        if (slot >= 0) {
            int n = -1;
            ListFile *file = OpenListFile(slot, &n);
            Check(file != nullptr, "an imported list opens");
            Check(n >= 0, "an imported list's count");
            DiscardListFile(file);
        }
    }
    fuzz::CleanScratch();
    return 0;
}
