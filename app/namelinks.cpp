// Name links (memory tables and their files) and designation links.
#include "app/namelinks.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/formatfile.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "core/fileutil.h"
#include "core/userfolder.h"

namespace {

std::vector<LocationLink> g_locations;
std::vector<ObserverLink> g_observers;
std::vector<InstrumentLink> g_instruments;

const char *const kOwnerFile = "gleaner_links.dat";
const char *const kLocationFile = "loc_links.bin";
const char *const kObserverFile = "observer_links.bin";
const char *const kInstrumentFile = "inst_links.bin";

// The name as stored: at most 65 characters, zero-filled behind.
void StoreName(char *field, const char *name) {
    std::memset(field, 0, kLinkNameSize);
    std::strncpy(field, name, kLinkNameSize - 1);
}

// Exact match; a stored name of full length also stands for any longer name
// that begins with it (the longer name was cut when the link was made).
bool NameMatches(const char *stored, const char *name) {
    size_t n = strnlen(stored, kLinkNameSize);
    if (n < (size_t)kLinkNameSize - 1) return std::strcmp(stored, name) == 0;
    return std::strncmp(stored, name, n) == 0;
}

template <typename Link, typename Record>
int Add(std::vector<Link> &table, const Record *record, const char *name) {
    if (!record || !name) return 0;
    try {
        table.emplace_back();
    } catch (...) {
        return 0;
    }
    Link &l = table.back();
    std::memcpy(&l.record, record, sizeof l.record);
    StoreName(l.name, name);
    return 1;
}

template <typename Link, typename Record>
int Find(const std::vector<Link> &table, const char *name, Record *out) {
    if (!name) return 0;
    for (const Link &l : table)
        if (NameMatches(l.name, name)) {
            if (out) std::memcpy(out, &l.record, sizeof l.record);
            return 1;
        }
    return 0;
}

// The whole file is rewritten through the crash-safe layer: a failed or
// interrupted save leaves the links saved before.
template <typename Link>
bool SaveTable(const char *file, const std::vector<Link> &table) {
    char path[1024];
    if (!MakeUserDataPath(path, sizeof path, file)) return false;
    SafeRewrite rewrite;
    if (!BeginSafeRewrite(path, &rewrite)) return false;
    int32_t count = (int32_t)table.size();
    bool ok = SafeWrite(&count, 4, 1, rewrite.file) == 1;
    for (size_t i = 0; ok && i < table.size(); ++i) ok = SafeWrite(&table[i], sizeof(Link), 1, rewrite.file) == 1;
    rewrite.failed = !ok;
    return CommitSafeRewrite(&rewrite) == 1;
}

// Reads count, then count links; the count must fit in what the file holds.
template <typename Link>
void LoadTable(const char *file, std::vector<Link> &table, void (*sanitize)(Link &)) {
    char path[1024];
    if (!MakeUserDataPath(path, sizeof path, file)) return;
    FILE *f = SafeOpen(path, "rb");
    if (!f) return;
    table.clear();
    int32_t count = 0;
    long long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    bool ok = size >= 4 && std::fseek(f, 0, SEEK_SET) == 0 && SafeRead(&count, 4, 1, f) == 1 &&
              count >= 0 && (long long)count * (long long)sizeof(Link) <= size - 4;
    if (ok) {
        try {
            table.resize((size_t)count);
        } catch (...) {
            ok = false;
        }
    }
    for (int32_t i = 0; ok && i < count; ++i) ok = SafeRead(&table[i], sizeof(Link), 1, f) == 1;
    std::fclose(f);
    if (!ok) {
        table.clear();
        table.shrink_to_fit();
        return;
    }
    for (Link &l : table) {
        l.name[kLinkNameSize - 1] = '\0';
        sanitize(l);
    }
}

void SanitizeLocation(LocationLink &l) { TerminateLocationName(&l.record); }
void SanitizeObserver(ObserverLink &l) { l.record.name[sizeof l.record.name - 1] = '\0'; }
void SanitizeInstrument(InstrumentLink &l) { SanitizeInstrumentRecord(&l.record); }

}  // namespace

int AddLocationLink(const LocationRecord *r, const char *name) { return Add(g_locations, r, name); }
int AddObserverLink(const ObserverRecord *r, const char *name) { return Add(g_observers, r, name); }
int AddInstrumentLink(const InstrumentRecord *r, const char *name) {
    return Add(g_instruments, r, name);
}

int FindLocationLink(const char *name, LocationRecord *out) { return Find(g_locations, name, out); }
int FindObserverLink(const char *name, ObserverRecord *out) { return Find(g_observers, name, out); }
int FindInstrumentLink(const char *name, InstrumentRecord *out) {
    return Find(g_instruments, name, out);
}

int LocationLinkCount() { return (int)g_locations.size(); }
int ObserverLinkCount() { return (int)g_observers.size(); }
int InstrumentLinkCount() { return (int)g_instruments.size(); }

int SaveNameLinks(const char *importPath) {
    if (!importPath) importPath = "";
    bool ok = false;
    char owner[1024];
    if (MakeUserDataPath(owner, sizeof owner, kOwnerFile)) {
        ok = WriteWholeFileSafely(owner, importPath, std::strlen(importPath), "w") == 1;
    }
    ok = SaveTable(kLocationFile, g_locations) && ok;
    ok = SaveTable(kObserverFile, g_observers) && ok;
    ok = SaveTable(kInstrumentFile, g_instruments) && ok;
    return ok ? 1 : 0;
}

void LoadNameLinks() {
    LoadTable(kLocationFile, g_locations, SanitizeLocation);
    LoadTable(kObserverFile, g_observers, SanitizeObserver);
    LoadTable(kInstrumentFile, g_instruments, SanitizeInstrument);
}

int AreNameLinksForImportFile(const char *importPath) {
    if (!importPath) return 0;
    FILE *f = OpenUserDataFile(kOwnerFile, "r");
    if (!f) return 0;
    std::string stored;
    char buf[256];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) stored.append(buf, n);
    std::fclose(f);
    return CompareStringsNoCase(stored.c_str(), importPath) == 0 ? 1 : 0;
}

void FreeNameLinkTables() {
    std::vector<LocationLink>().swap(g_locations);
    std::vector<ObserverLink>().swap(g_observers);
    std::vector<InstrumentLink>().swap(g_instruments);
}

void ClearNameLinks() {
    char path[1024];
    if (MakeUserDataPath(path, sizeof path, kOwnerFile) && FileExists(path)) SafeRemove(path);
    FreeNameLinkTables();
}

int FindDesignationLink(FILE *linkFile, const char *designation, char *replacement) {
    if (!linkFile || !designation) return -1;
    if (std::fseek(linkFile, 0, SEEK_SET) != 0) return -1;
    char line[512];
    int number = 0;
    while (std::fgets(line, sizeof line, linkFile)) {
        size_t len = std::strlen(line);
        bool whole = len > 0 && line[len - 1] == '\n';
        // The line end (LF, or CR LF) is not part of the replacement; a last
        // line without one keeps all its characters.
        while (len > 0 && (line[len - 1] == '\n' || line[len - 1] == '\r')) line[--len] = '\0';
        if (!whole && !std::feof(linkFile)) {
            // The rest of an over-long line is not a line of its own.
            int c;
            while ((c = std::fgetc(linkFile)) != EOF && c != '\n') {
            }
        }
        char *hash = std::strchr(line, '#');
        if (!hash) continue;
        *hash = '\0';
        if (CompareStringsNoCase(line, designation) == 0) {
            if (replacement) std::snprintf(replacement, 512, "%s", hash + 1);
            return number;
        }
        ++number;
    }
    return -1;  // not found, or a read error (which finds nothing either)
}
