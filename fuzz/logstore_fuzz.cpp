// Fuzz target: the files of the observing-log store as damaged files could
// hold them: an entry file, a summary file, an index file and a key list
// (pid.bin), each read through its readers, and an index changed by one
// insertion.
//
// Input: a control byte, then the file. Control bits 0-1 pick the file. An
// entry file is given compactly: its first 400 bytes, then 8 bytes placed at
// the entry's end (the notes length), then whatever follows the entry (a
// user object's definition, the notes). A summary file: its count, then each
// row's first 400 bytes (zeros to the row's length). Index and key-list
// files are taken as they are.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzzscratch.h"
#include "logstore/logentryfile.h"
#include "logstore/loggedobjects.h"
#include "logstore/logindex.h"
#include "logstore/logpaths.h"
#include "logstore/logrecords.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "log store check failed: %s\n", what);
        std::abort();
    }
}

void Take(std::vector<uint8_t> *out, size_t at, const uint8_t *&data, size_t &size, size_t n) {
    if (n > size) n = size;
    if (n == 0) return;
    if (out->size() < at + n) out->resize(at + n, 0);
    std::memcpy(out->data() + at, data, n);
    data += n;
    size -= n;
}

void EntryFile(const uint8_t *data, size_t size) {
    std::vector<uint8_t> file(sizeof(LogEntry), 0);
    Take(&file, 0, data, size, 400);
    Take(&file, sizeof(LogEntry) - 8, data, size, 8);
    file.insert(file.end(), data, data + size);
    Check(fuzz::WriteScratchFile("entry.bin", file.data(), file.size()), "write entry");
    FILE *f = std::fopen((fuzz::ScratchFolder() + "/entry.bin").c_str(), "rb");
    if (!f) return;
    std::unique_ptr<LogEntry> entry(new LogEntry);
    char *notes = nullptr;
    if (ReadLogEntryFile(f, entry.get(), &notes, 1, 0)) {
        fuzz::TerminatedLength(entry->site.name, sizeof entry->site.name, "site name");
        fuzz::TerminatedLength(entry->observer.name, sizeof entry->observer.name, "observer name");
        fuzz::TerminatedLength(entry->designation, sizeof entry->designation, "designation");
        Check(notes != nullptr, "notes given");
        Check(std::strlen(notes) < file.size(), "notes within the file");
    }
    delete[] notes;
    std::fclose(f);
}

void SummaryFile(const uint8_t *data, size_t size) {
    std::vector<uint8_t> file;
    Take(&file, 0, data, size, 4);
    for (int k = 0; k < 3 && size > 0; ++k) {
        size_t at = file.size();
        file.resize(at + sizeof(LogSummary), 0);
        Take(&file, at, data, size, 400);
    }
    Check(fuzz::WriteScratchFile("summary.pix", file.data(), file.size()), "write summary");
    int32_t count = -1;
    FILE *f = OpenSummaryFile((fuzz::ScratchFolder() + "/summary.pix").c_str(), "rb", &count);
    if (!f) return;
    Check(count >= 0 && 4 + (uint64_t)count * sizeof(LogSummary) <= file.size(), "count fits the file");
    std::unique_ptr<LogSummary> row(new LogSummary);
    for (int32_t i = 0; i < count; ++i) {
        // Every counted row is there to read (the count fits the file).
        long at = std::ftell(f);
        ReadLogSummary(f, row.get());
        Check(std::ftell(f) == at + (long)sizeof(LogSummary), "each counted row reads whole");
        fuzz::TerminatedLength(row->site.name, sizeof row->site.name, "row site");
        fuzz::TerminatedLength(row->observer.name, sizeof row->observer.name, "row observer");
    }
    std::fclose(f);
}

void IndexFile(const uint8_t *data, size_t size) {
    std::string path = ClassIndexPath(5);
    Check(!path.empty(), "index path");
    FILE *out = std::fopen(path.c_str(), "wb");
    if (!out) return;
    std::fwrite(data, 1, size, out);
    std::fclose(out);
    std::vector<LogIndexEntry> entries;
    if (ReadIndexFile(path, &entries)) {
        Check(entries.size() * 12 + 4 <= size + 4, "entries within the file");
    }
    int32_t count = -1;
    FILE *f = OpenClassIndex(5, &count);
    if (f) {
        Check(count >= 0 && 4 + (uint64_t)count * 12 <= (size < 4 ? 4 : size), "count cut to the file");
        LogIndexEntry e;
        for (int32_t i = 0; i < count && i < 64; ++i) ReadIndexEntry(f, i, &e);
        FindIndexEntry(f, 5, 40, nullptr);
        std::fclose(f);
    }
    ObjectRecord object;
    ClearObjectRecord(&object);
    object.objectClass = kClassGalaxy;
    object.index = 40;
    object.categoryBits = ClassCategoryBits(kClassGalaxy);
    if (InsertIndexEntry(path, &object, 7)) {
        Check(ReadIndexFile(path, &entries) == 1, "an index written reads back");
        for (size_t i = 1; i < entries.size(); ++i)
            Check(entries[i - 1].classFolder < entries[i].classFolder ||
                      (entries[i - 1].classFolder == entries[i].classFolder && entries[i - 1].key < entries[i].key),
                  "a written index is sorted, each object once");
    }
}

void KeyList(const uint8_t *data, size_t size) {
    EnsureLogFolders();
    char path[kLogPathSize];
    MakePidFilePath(GetClassBitsOfFolder(4), path);
    FILE *out = std::fopen(path, "wb");
    if (!out) return;
    std::fwrite(data, 1, size, out);
    std::fclose(out);
    int32_t counter = 0;
    std::vector<int32_t> keys;
    if (ReadPidFile(4, &counter, &keys)) Check(8 + keys.size() * 4 <= size, "keys within the file");
    LoggedKeySet set;
    if (LoadLoggedObjectKeys(&set)) FreeLoggedObjectKeys(&set);
    uint8_t marks[64] = {0};
    MarkLoggedUserObjects(12, marks, 64);
    // Put back an empty key list for the next input.
    const int32_t zero[2] = {0, 0};
    out = std::fopen(path, "wb");
    if (out) {
        std::fwrite(zero, 4, 2, out);
        std::fclose(out);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    fuzz::ScratchFolder();
    uint8_t control = data[0];
    switch (control & 3) {
    case 0:
        EntryFile(data + 1, size - 1);
        break;
    case 1:
        SummaryFile(data + 1, size - 1);
        break;
    case 2:
        IndexFile(data + 1, size - 1);
        break;
    default:
        KeyList(data + 1, size - 1);
        break;
    }
    return 0;
}
