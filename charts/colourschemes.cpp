// Colour scheme stores, the scheme registry and scheme package files. Every
// file step goes through the crash-safe layer's wrappers (core/safefile.h).
#include "charts/colourschemes.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/safefile.h"
#include "core/textutil.h"
#include "core/userfolder.h"
#include "core/versionstamp.h"

namespace {

const char *const kStoreNames[2] = {"ms.bin", "msp.bin"};
const char *const kRegistryName = "schemeregistry.bin";
const int kStoreHeader = 2;
const int kRegistryHeader = 4;

std::string UserPath(const char *name) {
    char path[1024];
    if (!MakeUserDataPath(path, (int)sizeof path, name)) return std::string();
    return path;
}

int ReadAt(FILE *f, int64_t offset, void *data, size_t n) {
    return SafeSeek(f, offset) && SafeRead(data, 1, n, f) == n ? 1 : 0;
}
int WriteAt(FILE *f, int64_t offset, const void *data, size_t n) {
    return SafeSeek(f, offset) && SafeWriteAll(f, data, n) && SafeFlush(f) ? 1 : 0;
}

int64_t SchemeOffset(int index) { return kStoreHeader + (int64_t)index * sizeof(ColourScheme); }
int64_t EntryOffset(int index) { return kRegistryHeader + (int64_t)index * sizeof(SchemeRegistryEntry); }

int ReadStoreCount(FILE *f, int *count) {
    uint8_t b[2];
    if (!ReadAt(f, 0, b, 2)) return 0;
    *count = b[0] | (b[1] << 8);
    return 1;
}
int WriteStoreCount(FILE *f, int count) {
    uint8_t b[2] = {(uint8_t)(count & 0xFF), (uint8_t)((count >> 8) & 0xFF)};
    return WriteAt(f, 0, b, 2);
}
int ReadRegistryCount(FILE *f, uint32_t *count) {
    uint8_t b[4];
    if (!ReadAt(f, 0, b, 4)) return 0;
    *count = (uint32_t)b[0] | ((uint32_t)b[1] << 8) | ((uint32_t)b[2] << 16) | ((uint32_t)b[3] << 24);
    return 1;
}
int WriteRegistryCount(FILE *f, uint32_t count) {
    uint8_t b[4] = {(uint8_t)count, (uint8_t)(count >> 8), (uint8_t)(count >> 16), (uint8_t)(count >> 24)};
    return WriteAt(f, 0, b, 4);
}

// Opens a counted file "r+b"; a missing one is made ("w+b") with a zero
// count of headerSize bytes, closed and opened again. A file that exists
// but cannot be opened is never re-created (that would empty it).
FILE *OpenOrCreate(const std::string &path, int headerSize) {
    if (path.empty()) return nullptr;
    FILE *f = SafeOpen(path.c_str(), "r+b");
    if (f) return f;
    if (FsKind(path) != -1) return nullptr;
    FILE *made = SafeOpen(path.c_str(), "w+b");
    if (!made) return nullptr;
    const uint8_t zero[4] = {0, 0, 0, 0};
    bool ok = SafeWriteAll(made, zero, (size_t)headerSize) == 1;
    ok = SafeClose(made) == 1 && ok;
    if (!ok) {
        SafeRemove(path.c_str());
        return nullptr;
    }
    return SafeOpen(path.c_str(), "r+b");
}

void CopyName(char *field, const char *name) { CopyStringZeroFilled(field, name ? name : "", 46); }

// A scheme's compared bytes with its text cut at its terminator, so that
// bytes after the NUL do not count.
void NormalisedPrefix(const uint8_t *data, uint8_t *out) {
    std::memcpy(out, data, kSchemeComparedBytes);
    size_t len = strnlen((const char *)data + kSchemeTextOffset, kSchemeTextSize);
    std::memset(out + kSchemeTextOffset + len, 0, kSchemeTextSize - len);
}

struct PackageEntry {
    uint8_t flag;
    ColourScheme scheme;
};

}  // namespace

FILE *OpenSchemeStore(int flag) { return OpenOrCreate(UserPath(kStoreNames[flag ? 1 : 0]), kStoreHeader); }

FILE *OpenSchemeFile(const char *path) { return path ? SafeOpen(path, "r+b") : nullptr; }

int CountSchemes(FILE *store) {
    int n = 0;
    if (!store || !ReadStoreCount(store, &n)) return 0;
    return n;
}

int ReadSchemeName(FILE *store, int index, char *name) {
    if (!store || !name || index < 0) return 0;
    if (!ReadAt(store, SchemeOffset(index), name, 46)) return 0;
    name[45] = 0;
    return 1;
}

int ReadScheme(FILE *store, ColourScheme *record, int index) {
    if (!store || !record || index < 0) return 0;
    if (!ReadAt(store, SchemeOffset(index), record, sizeof *record)) return 0;
    record->name[45] = 0;
    return 1;
}

int WriteScheme(FILE *store, const ColourScheme *record, int index) {
    if (!store || !record || index < 0) return 0;
    return WriteAt(store, SchemeOffset(index), record, sizeof *record);
}

int AppendScheme(FILE *store, const uint8_t *dataWithFlag, const char *name) {
    int n = 0;
    if (!store || !dataWithFlag || !ReadStoreCount(store, &n) || n >= 0xFFFF) return 0;
    std::unique_ptr<ColourScheme> r(new ColourScheme);
    std::memset(r.get(), 0, sizeof *r);
    CopyName(r->name, name);
    std::memcpy(r->data, dataWithFlag, kSchemeDataWithFlagSize);
    if (!WriteAt(store, SchemeOffset(n), r.get(), sizeof *r)) return 0;
    return WriteStoreCount(store, n + 1);
}

int ReplaceOrAppendScheme(FILE *store, const uint8_t *dataWithFlag, const char *name) {
    int n = 0;
    if (!store || !dataWithFlag || !name || !ReadStoreCount(store, &n)) return 0;
    char wanted[46];
    CopyName(wanted, name);
    for (int i = 0; i < n; i++) {
        char stored[46];
        if (!ReadSchemeName(store, i, stored)) return 0;
        if (std::strcmp(stored, wanted) != 0) continue;
        std::unique_ptr<ColourScheme> r(new ColourScheme);
        if (!ReadScheme(store, r.get(), i)) return 0;
        std::memcpy(r->data, dataWithFlag, kSchemeDataWithFlagSize);
        return WriteScheme(store, r.get(), i);
    }
    return AppendScheme(store, dataWithFlag, name);
}

int FindScheme(FILE *store, const ColourScheme *record, int *index) {
    int n = 0;
    if (!store || !record || !ReadStoreCount(store, &n)) return -1;
    char wanted[46];
    CopyName(wanted, record->name);
    std::unique_ptr<ColourScheme> r(new ColourScheme);
    for (int i = 0; i < n; i++) {
        if (!ReadScheme(store, r.get(), i)) return -1;
        if (CompareStringsNoCase(r->name, wanted) != 0) continue;
        if (index) *index = i;
        uint8_t a[kSchemeComparedBytes], b[kSchemeComparedBytes];
        NormalisedPrefix(r->data, a);
        NormalisedPrefix(record->data, b);
        return std::memcmp(a, b, sizeof a) == 0 ? 1 : 2;
    }
    return 0;
}

int DeleteScheme(FILE *store, int index) {
    int n = 0;
    if (!store || index < 0 || !ReadStoreCount(store, &n) || index >= n) return 0;
    std::unique_ptr<ColourScheme> r(new ColourScheme);
    for (int i = index + 1; i < n; i++) {
        if (!ReadAt(store, SchemeOffset(i), r.get(), sizeof *r)) return 0;
        if (!WriteAt(store, SchemeOffset(i - 1), r.get(), sizeof *r)) return 0;
    }
    return WriteStoreCount(store, n - 1);
}

namespace {
// The index of the registry entry of that exact name, -1 none, -2 a read
// error; the entry goes out. A short entry ends a search (-1), or is an
// error (-2) for a writer, which must not append a second entry after it.
int FindRegistryEntry(FILE *f, const char *name, SchemeRegistryEntry *entry, bool strict) {
    uint32_t n = 0;
    if (!ReadRegistryCount(f, &n)) return -2;
    for (uint32_t i = 0; i < n && i < 0x7FFFFFFF; i++) {
        SchemeRegistryEntry e;
        if (!ReadAt(f, EntryOffset((int)i), &e, sizeof e)) return strict ? -2 : -1;
        e.name[45] = 0;
        if (std::strcmp(e.name, name) == 0) {
            if (entry) *entry = e;
            return (int)i;
        }
    }
    return -1;
}
}  // namespace

int FindSchemeRegistration(const char *name, FileTimeValue *created) {
    if (!name) return -1;
    std::string path = UserPath(kRegistryName);
    if (path.empty()) return -1;
    FILE *f = SafeOpen(path.c_str(), "rb");
    if (!f) return -1;
    SchemeRegistryEntry e;
    int index = FindRegistryEntry(f, name, &e, false);
    SafeClose(f);
    if (index < 0) return -1;
    if (created) *created = e.created;
    FILE *store = OpenSchemeStore(e.flag ? 1 : 0);
    if (!store) return -1;
    FileHandle hold(store);
    int n = CountSchemes(store);
    for (int i = 0; i < n; i++) {
        char stored[46];
        if (!ReadSchemeName(store, i, stored)) return -1;
        if (std::strcmp(stored, name) == 0) return index;
    }
    return -1;
}

// The entry of the name is found in the registry itself: a package's name is
// registered as well as its schemes, and no store holds a scheme by that
// name, so looking it up through the store would append a new entry at every
// export of the same package.
int RegisterScheme(const char *name, FileTimeValue created, int flag) {
    if (!name) return 0;
    FILE *f = OpenOrCreate(UserPath(kRegistryName), kRegistryHeader);
    if (!f) return 0;
    FileHandle hold(f);
    uint32_t n = 0;
    if (!ReadRegistryCount(f, &n)) return 0;
    SchemeRegistryEntry e;
    std::memset(&e, 0, sizeof e);
    CopyName(e.name, name);
    e.created = created;
    e.flag = flag ? 1 : 0;
    int index = FindRegistryEntry(f, e.name, nullptr, true);
    if (index == -2) return 0;
    if (index >= 0) {
        if (!WriteAt(f, EntryOffset(index), &e, sizeof e)) return 0;
    } else {
        if (n >= 0x7FFFFFFF) return 0;
        if (!WriteAt(f, EntryOffset((int)n), &e, sizeof e)) return 0;
        if (!WriteRegistryCount(f, n + 1)) return 0;
    }
    return SafeClose(hold.release());
}

FILE *CreateSchemePackage(const char *path, const char *packageName, const char *text) {
    if (!path || !packageName) return nullptr;
    if (!text) text = "";
    PackageHeader h;
    std::memset(&h, 0, sizeof h);
    SetCurrentStamp(&h.stamp);
    h.kind = kSchemePackageKind;
    CopyStringZeroFilled(h.name, packageName, (int)sizeof h.name);
    if (!SetPackageFileTime(&h, nullptr)) return nullptr;
    h.textLength = (int32_t)std::strlen(text);
    FILE *f = SafeOpen(path, "w+b");
    if (!f) return nullptr;
    if (!SafeWriteAll(f, &h, sizeof h) || !SafeWriteAll(f, text, std::strlen(text) + 1)) {
        SafeClose(f);
        SafeRemove(path);
        return nullptr;
    }
    return f;
}

int WriteSchemeEntry(FILE *package, const ColourScheme *record, int flag) {
    if (!package || !record) return -1;
    uint8_t head[2] = {1, (uint8_t)(flag ? 1 : 0)};
    if (!SafeWriteAll(package, head, 2) || !SafeWriteAll(package, record, sizeof *record)) return -1;
    return 1;
}

int EndSchemePackage(FILE *package) {
    const uint8_t end = 0;
    return package && SafeWriteAll(package, &end, 1) ? 1 : 0;
}

int CloseSchemePackage(FILE *package, int, int flag) {
    if (!package) return 0;
    bool ok = EndSchemePackage(package) == 1;
    PackageHeader h;
    std::memset(&h, 0, sizeof h);
    ok = ok && SafeSeek(package, 0) && SafeRead(&h, sizeof h, 1, package) == 1;
    ok = ok && UpdatePackageCounts(package, &h, 0, 0, 0, 0, 0) == 1;
    ok = SafeFlush(package) == 1 && ok;
    ok = SafeClose(package) == 1 && ok;
    if (!ok) return 0;
    h.name[sizeof h.name - 1] = 0;
    return RegisterScheme(h.name, h.created, flag);
}

int ReadSchemeEntries(FILE *package, int *flag) {
    if (!package) return -1;
    std::vector<PackageEntry> entries;
    for (;;) {
        uint8_t marker;
        if (SafeRead(&marker, 1, 1, package) != 1) return -1;
        if (marker == 0) break;
        if (marker != 1) return -1;
        PackageEntry e;
        if (SafeRead(&e.flag, 1, 1, package) != 1) return -1;
        if (SafeRead(&e.scheme, sizeof e.scheme, 1, package) != 1) return -1;
        e.scheme.name[45] = 0;
        e.flag = e.flag ? 1 : 0;
        entries.push_back(e);
        if (entries.size() > 0xFFFF * 2) return -1;  // more than both stores can hold
    }
    if (entries.empty()) return -1;
    FILE *stores[2] = {nullptr, nullptr};
    int taken = 0;
    for (const PackageEntry &e : entries) {
        if (!stores[e.flag]) stores[e.flag] = OpenSchemeStore(e.flag);
        if (!stores[e.flag] || ReplaceOrAppendScheme(stores[e.flag], e.scheme.data, e.scheme.name) != 1)
            break;
        taken++;
    }
    for (FILE *s : stores)
        if (s) SafeClose(s);
    if (taken != (int)entries.size()) return -1;
    if (flag) *flag = entries.back().flag;
    return taken;
}

int ImportSchemePackage(const char *path, PackageHeader *header, char **text) {
    if (text) *text = nullptr;
    if (!path || !header) return -1;
    FILE *f = SafeOpen(path, "rb");
    if (!f) return -1;
    FileHandle hold(f);
    char *description = nullptr;
    if (!ReadPackageHeader(f, header, &description)) return -1;
    std::unique_ptr<char[]> owned(description);
    if (header->stamp.magic != kStampMagic || header->stamp.major <= 2 ||
        header->kind != kSchemePackageKind)
        return -1;
    int flag = 0;
    int taken = ReadSchemeEntries(f, &flag);
    if (taken < 0) return -1;
    header->name[sizeof header->name - 1] = 0;
    if (!RegisterScheme(header->name, header->created, flag)) return -1;
    if (text) *text = owned.release();
    return taken;
}
