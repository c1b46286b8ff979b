// Fuzz target: the format file "gleaner.cfg" as a damaged or hostile file
// could hold it, read through every reader and changed by one writer.
//
// Input: two control bytes, then a compact image of the file. The image is
// the 520-byte header (count, settings) followed by up to four formats, each
// given as its first 138 bytes (kind to the extra columns) and its last 975
// (the tags); the stored sites, observers and instruments between them are
// filled with the byte 0x41 so that nothing in them is terminated (a read
// format must come back with them made safe). Control
// byte 0 picks the change made after reading (none, delete, overwrite,
// append, save the settings) and its index; byte 1 with its top bit set cuts
// the file to a length taken from the next three bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/delimited.h"
#include "app/formatfile.h"
#include "fuzz/fuzzscratch.h"

namespace {

const size_t kRecord = sizeof(ImportFormat);
const size_t kHead = 138;
const size_t kTags = kRecord - offsetof(ImportFormat, entryTag);  // 975

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "format file check failed: %s\n", what);
        std::abort();
    }
}

long long FileSize(const std::string &path) {
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    std::fseek(f, 0, SEEK_END);
    long long n = std::ftell(f);
    std::fclose(f);
    return n;
}

// The count at the start of the file when the file is long enough to hold
// that many formats, else -1.
int32_t StoredCount(const std::string &path) {
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    int32_t c = -1;
    bool ok = std::fread(&c, 4, 1, f) == 1;
    std::fclose(f);
    long long size = FileSize(path);
    if (!ok || c < 0 || 520 + (long long)c * (long long)kRecord > size) return -1;
    return c;
}

void CheckFormatTexts(const ImportFormat &f) {
    fuzz::TerminatedLength(f.name, sizeof f.name, "format name");
    const char *tags[] = {f.entryTag, f.siteTag, f.observerTag, f.instrumentTag, f.dateTag,
                          f.timeTag, f.targetTag, f.conditionTags[0], f.conditionTags[1],
                          f.descriptionTag, f.extraTags[0], f.extraTags[1], f.extraTags[2],
                          f.extraTags[3], f.extraTags[4]};
    for (const char *t : tags) fuzz::TerminatedLength(t, kFormatTagSize, "format tag");
    fuzz::TerminatedLength(f.fixedSite.name, sizeof f.fixedSite.name, "fixed site name");
    fuzz::TerminatedLength(f.fixedObserver.name, sizeof f.fixedObserver.name, "fixed observer name");
    std::unique_ptr<InstrumentRecord> copy(new InstrumentRecord(f.fixedInstrument));
    Check(SanitizeInstrumentRecord(copy.get()) == 1, "the fixed instrument is safe to use");
}

std::vector<std::string> ListNames() {
    std::vector<std::string> names;
    FormatEnumerator e;
    if (!BeginFormatEnumeration(&e)) return names;
    char name[kFormatNameSize];
    for (int guard = 0; guard < 64 && ReadNextFormatName(&e, name); ++guard) {
        names.push_back(std::string(name, fuzz::TerminatedLength(name, sizeof name, "listed name")));
    }
    EndFormatEnumeration(&e);
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2) return 0;
    const std::string &folder = fuzz::ScratchFolder();
    const std::string path = folder + "/gleaner.cfg";
    uint8_t op = data[0], cut = data[1];
    data += 2;
    size -= 2;

    // Expand the compact image into the file.
    std::vector<uint8_t> file(520, 0);
    size_t take = size < 520 ? size : 520;
    std::memcpy(file.data(), data, take);
    data += take;
    size -= take;
    for (int k = 0; k < 4 && size > 0; ++k) {
        size_t at = file.size();
        file.resize(at + kRecord, 0x41);
        size_t n = size < kHead ? size : kHead;
        std::memset(&file[at], 0, kHead);
        std::memcpy(&file[at], data, n);
        data += n;
        size -= n;
        n = size < kTags ? size : kTags;
        std::memset(&file[at + kRecord - kTags], 0, kTags);
        std::memcpy(&file[at + kRecord - kTags], data, n);
        data += n;
        size -= n;
    }
    if ((cut & 0x80) && size >= 3) {
        size_t keep = (size_t)data[0] | (size_t)data[1] << 8 | (size_t)data[2] << 16;
        if (keep < file.size()) file.resize(keep);
    }
    Check(fuzz::WriteScratchFile("gleaner.cfg", file.data(), file.size()), "write file");

    // Readers.
    int opened = OpenFormatFile();
    if (file.size() < 520) Check(opened == 0, "a short file is refused");
    if (opened) fuzz::TerminatedLength(CurrentImportSettings().importPath, 512, "import path");
    int32_t count = StoredCount(path);
    std::vector<std::string> names = ListNames();
    Check(count < 0 ? names.empty() : names.size() == (size_t)count, "names listed = count");
    for (int i = -1; i <= (count < 0 ? 1 : count + 1) && i < 8; ++i) {
        int ok = ReadImportFormat(i);
        Check(ok == (i >= 0 && i < count ? 1 : 0), "read succeeds exactly for stored indexes");
        if (ok) {
            CheckFormatTexts(CurrentImportFormat());
            Check(names[(size_t)i] == CurrentImportFormat().name, "read name = listed name");
            int32_t roles[kRoleSlots];
            if (ValidateImportFormat(&CurrentImportFormat())) BuildRoleTable(CurrentImportFormat(), roles);
        }
    }

    // One change, then the count must say what it did.
    int index = (op >> 3) - 1;
    long long sizeBefore = FileSize(path);
    switch (op & 7) {
    case 1: {
        int ok = DeleteImportFormat(index);
        Check(ok == (count >= 0 && index >= 0 && index < count ? 1 : 0), "delete of stored indexes only");
        if (ok) Check(StoredCount(path) == count - 1, "delete lowers the count by one");
        else Check(FileSize(path) == sizeBefore && StoredCount(path) == count, "failed delete changes nothing");
        break;
    }
    case 2: {
        int ok = WriteImportFormat(index);
        Check(ok == (count >= 0 && index >= 0 && index < count ? 1 : 0), "overwrite of stored indexes only");
        Check(FileSize(path) == sizeBefore && StoredCount(path) == count, "overwrite keeps size and count");
        break;
    }
    case 3: {
        int ok = AppendImportFormat();
        Check(ok == (count >= 0 ? 1 : 0), "append to a sound file only");
        if (ok) {
            Check(StoredCount(path) == count + 1, "append raises the count");
            Check(ReadImportFormat(count) == 1, "the appended format reads back");
        }
        break;
    }
    case 4: {
        int ok = SaveImportSettings();
        if (sizeBefore < 520) Check(ok == 0 && FileSize(path) == sizeBefore, "a short file is not written");
        break;
    }
    default:
        break;
    }
    return 0;
}
