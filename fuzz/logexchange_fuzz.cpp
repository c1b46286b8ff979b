// Fuzz target: a log exchange file (package of kind 6) as a damaged or
// hostile file could hold it, imported into the scratch folder's log store:
// records of a stated notes length, an entry, the notes and the user-object
// block of the entry's class, up to an end marker or none.
//
// Input: a control byte, then the records compactly (an entry is 330,625
// bytes, far beyond an input): each record is its 4-byte notes length, a
// 2-byte count n and n bytes placed at the entry's start (at most 400: time,
// site, class, index, designation, observer, instrument; zeros to the
// entry's length), then a 2-byte count m and m bytes that follow the entry
// (notes, user-object block); after a length of 0 (the end marker) the rest
// goes as it is. The package header is written by
// the store's own exporter; control bit 0 instead takes the header (103
// bytes and a description) raw from the input's start. The import must end
// with a known result and leave a store the log's readers accept.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/package.h"
#include "fuzz/fuzzscratch.h"
#include "logstore/logexchange.h"
#include "logstore/loglock.h"
#include "logstore/logpaths.h"
#include "logstore/logrecords.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "log exchange check failed: %s\n", what);
        std::abort();
    }
}

size_t Take16(const uint8_t *&data, size_t &size) {
    if (size < 2) {
        size = 0;
        return 0;
    }
    size_t n = data[0] | (data[1] << 8);
    data += 2;
    size -= 2;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    fuzz::ScratchFolder();
    ForgetLogFolderState();
    ForgetLogFoldersMade();
    bool rawHeader = data[0] & 1;
    ++data;
    --size;
    std::string path = fuzz::ScratchFolder() + "/in.pkg";
    std::vector<uint8_t> file;
    if (rawHeader) {
        size_t n = Take16(data, size);
        if (n > size) n = size;
        file.assign(data, data + n);
        data += n;
        size -= n;
    } else {
        FILE *made = CreateLogExportFile(path.c_str(), "Fuzz", "records below");
        Check(made != nullptr, "export header");
        std::fclose(made);
        FILE *f = std::fopen(path.c_str(), "rb");
        Check(f != nullptr, "read header");
        uint8_t b[512];
        size_t n;
        while ((n = std::fread(b, 1, sizeof b, f)) > 0) file.insert(file.end(), b, b + n);
        std::fclose(f);
    }
    std::vector<uint8_t> entry;
    while (size >= 4) {
        file.insert(file.end(), data, data + 4);
        bool end = data[0] == 0 && data[1] == 0 && data[2] == 0 && data[3] == 0;
        data += 4;
        size -= 4;
        if (end) break;  // the end marker: what follows goes as it is
        size_t n = Take16(data, size);
        if (n > 400) n = 400;
        if (n > size) n = size;
        entry.assign(sizeof(LogEntry), 0);
        std::memcpy(entry.data(), data, n);
        data += n;
        size -= n;
        file.insert(file.end(), entry.begin(), entry.end());
        size_t m = Take16(data, size);
        if (m > size) m = size;
        file.insert(file.end(), data, data + m);
        data += m;
        size -= m;
    }
    file.insert(file.end(), data, data + size);
    Check(fuzz::WriteScratchFile("in.pkg", file.data(), file.size()), "write package");
    PackageHeader header;
    char *description = nullptr;
    LogImportCounts counts;
    int r = ImportLogExportFile(path.c_str(), &header, &description, nullptr, &counts);
    Check(r >= -1, "a known result");
    if (r > 0) Check(r == counts.added + counts.duplicates, "the result counts what was taken");
    if (description) {
        Check(r >= 0, "a description only on success");
        delete[] description;
    }
    fuzz::CleanScratch();
    return 0;
}
