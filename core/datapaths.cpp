// Locating the suite's data at start-up and reading and rewriting the lines of
// the settings file "nightjar.ini" (portable; the registry is read in
// datapaths_win.cpp, or from the environment elsewhere).
#include "core/datapaths.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/resstrings.h"
#include "core/userfolder.h"

namespace {

const int kSlotSize = 1024;
char g_refSlots[3][kSlotSize];
char g_mapSlots[3][kSlotSize];
bool g_refSet = false;
bool g_mapSet = false;

const char *const kDefaultLines[9] = {"$/ref", "#:/ref", "#:/ref", "$/map", "#:/map",
                                      "#:/map", "$/ss",  "#:/ss",  "ILEVEL 0"};

std::string DataFile(const char *name) {
    char data[kPathLineSize];
    if (!ReadDataPath(kSuiteGeneration, data)) return std::string();
    return std::string(data) + "/" + name;
}

using FilePtr = std::unique_ptr<FILE, FileCloser>;

// Reads one line, line break included, of any length; false at end of file.
bool ReadLine(FILE *f, std::string &line) {
    line.clear();
    int c;
    while ((c = std::fgetc(f)) != EOF) {
        line += (char)c;
        if (c == '\n') break;
    }
    return !line.empty();
}

// Reads `count` lines after skipping `skip`, into 512-byte buffers.
int ReadDirLines(int skip, int count, char **out) {
    FilePtr f(OpenSettingsFile("r"));
    if (!f) return 0;
    std::string line;
    for (int i = 0; i < skip; ++i)
        if (!ReadLine(f.get(), line)) return 0;
    for (int i = 0; i < count; ++i) {
        if (!ReadLine(f.get(), line)) return 0;
        if (line.size() >= (size_t)kPathLineSize) return 0;  // longer than a line buffer holds
        std::memcpy(out[i], line.c_str(), line.size() + 1);
        CutAtNewline(out[i]);
    }
    return 1;
}

// The whole settings file becomes text (lines ending in "\n"), through the
// crash-safe layer in text mode, so Windows keeps its CR LF line ends.
int RewriteSettingsFile(const std::string &text) {
    std::string ini = DataFile("nightjar.ini");
    if (ini.empty()) return 0;
    return WriteWholeFileSafely(ini.c_str(), text.data(), text.size(), "w");
}

// Rewrites lines first+1 .. first+count of the settings file.
int WriteDirLines(int first, int count, const char *const *texts) {
    for (int i = 0; i < count; ++i)
        if (!texts[i]) return 0;
    FilePtr in(OpenSettingsFile("r"));
    if (!in) return 0;
    std::string out, line;
    bool ok = true;
    for (int i = 0; ok && i < first; ++i) {
        ok = ReadLine(in.get(), line);
        out += line;
    }
    for (int i = 0; ok && i < count; ++i) out += std::string(texts[i]) + "\n";
    for (int i = 0; ok && i < count; ++i) ok = ReadLine(in.get(), line);
    while (ok && ReadLine(in.get(), line)) out += line;
    in.reset();
    if (!ok) return 0;
    return RewriteSettingsFile(out);
}

// A key line is "<key> <integer>" at line 9 or later; the key must stand at the
// start of the line and be followed by a blank, so that "LEVEL" never matches
// "ILEVEL" and no directory line is ever taken for a key line.
bool IsKeyLine(const std::string &line, int lineNumber, const char *key) {
    size_t n = std::strlen(key);
    return lineNumber >= 9 && n > 0 && line.compare(0, n, key) == 0 && line.size() > n &&
           line[n] == ' ';
}

void FillSlots(char slots[3][kSlotSize], const char *a, const char *b, const char *c) {
    const char *in[3] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
        std::snprintf(slots[i], kSlotSize - 1, "%s", in[i] ? in[i] : "");
        NormalizePathSlashes(slots[i]);
        size_t n = std::strlen(slots[i]);
        if (n == 0 || slots[i][n - 1] != '/') {
            slots[i][n] = '/';
            slots[i][n + 1] = '\0';
        }
    }
}

const char *SlotText(char slots[3][kSlotSize], bool set, int slot) {
    int s = slot & 0xFFFFFF;
    if (!set || s > 2) return nullptr;
    return slots[s];
}

FILE *OpenSlotFile(const char *dir, const char *name, const char *mode) {
    if (!dir || !name || !mode) return nullptr;
    std::string path = std::string(dir) + name;
    return SafeOpen(path.c_str(), mode);
}

// Steps 3 to 6 of the start-up: resolve and test one line.
bool ResolveLine(char *driveState, const char *dataFolder, char *line) {
    return ResolveDriveMarker(driveState, line) && ResolveDataPathMarker(dataFolder, line) &&
           PathExists(line);
}

}  // namespace

int ResolveDataDirectories(char *solarSystem0, char *solarSystem1) {
    char data[kPathLineSize];
    if (!ReadDataPath(kSuiteGeneration, data)) return 0;
    char drive = 0;
    char l[8][kPathLineSize];
    if (!ReadRefDirLines(l[0], l[1], l[2])) return 0;
    for (int i = 0; i < 3; ++i)
        if (!ResolveLine(&drive, data, l[i])) return 0;
    SetRefDirectories(l[0], l[1], l[2]);
    if (!ReadMapDirLines(l[3], l[4], l[5])) return 0;
    for (int i = 3; i < 6; ++i)
        if (!ResolveLine(&drive, data, l[i])) return 0;
    SetMapDirectories(l[3], l[4], l[5]);
    if (!ReadSolarSystemDirLines(l[6], l[7])) return 0;
    for (int i = 6; i < 8; ++i)
        if (!ResolveLine(&drive, data, l[i])) return 0;
    char user[kPathLineSize];
    if (!ReadUserPath(kSuiteGeneration, user)) return 0;
    SetUserDataFolder(user);
    if (solarSystem0) std::snprintf(solarSystem0, kPathLineSize, "%s", l[6]);
    if (solarSystem1) std::snprintf(solarSystem1, kPathLineSize, "%s", l[7]);
    return 1;
}

FILE *OpenSettingsFile(const char *mode) {
    if (!mode) return nullptr;
    std::string path = DataFile("nightjar.ini");
    if (path.empty()) return nullptr;
    if (FILE *f = SafeOpen(path.c_str(), mode)) return f;
    // Only a missing file is created with the default lines; an existing file
    // that cannot be opened now (locked, read-only) keeps the user's lines.
    if (FileExists(path.c_str())) return nullptr;
    // Written whole or not at all: a half-written file would stop every
    // later start-up.
    std::string lines;
    for (const char *line : kDefaultLines) lines += std::string(line) + "\n";
    if (!WriteWholeFileSafely(path.c_str(), lines.data(), lines.size(), "w")) return nullptr;
    return SafeOpen(path.c_str(), mode);
}

FILE *OpenSettingsTempFile(const char *mode) {
    std::string path = DataFile("nightjarT.ini");
    if (path.empty() || !mode) return nullptr;
    return SafeOpen(path.c_str(), mode);
}

int CommitSettingsTempFile() {
    std::string ini = DataFile("nightjar.ini"), tmp = DataFile("nightjarT.ini");
    if (ini.empty() || FsKind(tmp) != 0) return 0;
    return SafeReplace(tmp.c_str(), ini.c_str());
}

int BackupSettingsFile() {
    std::string ini = DataFile("nightjar.ini"), bak = DataFile("nightjarini.bak");
    if (ini.empty()) return 0;
    return CopyPlainFile(ini.c_str(), bak.c_str());
}

int RestoreSettingsFile() {
    std::string ini = DataFile("nightjar.ini"), bak = DataFile("nightjarini.bak");
    if (ini.empty()) return 0;
    return CopyFileSafely(bak.c_str(), ini.c_str());
}

int ReadSettingsInt(const char *key) {
    const int none = 2147483647;
    if (!key || !*key) return none;
    FilePtr f(OpenSettingsFile("r"));
    if (!f) return none;
    std::string line;
    for (int n = 1; ReadLine(f.get(), line); ++n) {
        if (!IsKeyLine(line, n, key)) continue;
        char *end = nullptr;
        const char *start = line.c_str() + std::strlen(key) + 1;
        long v = std::strtol(start, &end, 10);
        if (end == start || v > 2147483647L || v < -2147483647L - 1) return none;
        return (int)v;
    }
    return none;
}

int WriteSettingsInt(const char *key, int value) {
    if (!key || !*key || std::strchr(key, '\n')) return 0;
    FilePtr in(OpenSettingsFile("r"));
    if (!in) return 0;
    const std::string keyLine = std::string(key) + " " + std::to_string(value) + "\n";
    std::string out, line;
    bool found = false, ok = true;
    int n = 1;
    for (; ReadLine(in.get(), line); ++n) {
        if (IsKeyLine(line, n, key)) {
            found = true;
            out += keyLine;
        } else {
            out += line;
        }
    }
    if (!found) {
        // Key lines start at line 9: a short file is never extended by a key
        // line that would later be read as a directory line.
        if (n < 9) ok = false;
        else out += keyLine;
    }
    in.reset();
    if (!ok) return 0;
    return RewriteSettingsFile(out);
}

int ReadRefDirLines(char *a, char *b, char *c) {
    char *out[3] = {a, b, c};
    return a && b && c ? ReadDirLines(0, 3, out) : 0;
}

int ReadMapDirLines(char *a, char *b, char *c) {
    char *out[3] = {a, b, c};
    return a && b && c ? ReadDirLines(3, 3, out) : 0;
}

int ReadSolarSystemDirLines(char *a, char *b) {
    char *out[2] = {a, b};
    return a && b ? ReadDirLines(6, 2, out) : 0;
}

int WriteRefDirLines(const char *a, const char *b, const char *c) {
    const char *t[3] = {a, b, c};
    return WriteDirLines(0, 3, t);
}

int WriteMapDirLines(const char *a, const char *b, const char *c) {
    const char *t[3] = {a, b, c};
    return WriteDirLines(3, 3, t);
}

int WriteSolarSystemDirLines(const char *a, const char *b) {
    const char *t[2] = {a, b};
    return WriteDirLines(6, 2, t);
}

void CutAtNewline(char *text) {
    if (!text || !*text) return;
    char *lf = std::strchr(text, '\n');
    if (lf) *lf = '\0';
    size_t n = std::strlen(text);
    if (n > 0 && text[n - 1] == '\r') text[n - 1] = '\0';
}

char FindDataDiscDrive() {
    char probe[] = "D:/nightjar3.id";
    for (char d = 'D'; d <= 'Z'; ++d) {
        probe[0] = d;
        if (FileExists(probe)) return d;
    }
    return 0;
}

int ResolveDriveMarker(char *driveState, char *line) {
    if (!driveState || !line) return 0;
    if (line[0] != '#') return 1;
    if (*driveState == 0) *driveState = FindDataDiscDrive();
    if (*driveState == 0) return 0;
    line[0] = *driveState;
    return 1;
}

int ResolveDataPathMarker(const char *dataFolder, char *line) {
    if (!dataFolder || !line) return 0;
    if (line[0] != '$') return 1;
    std::string r = std::string(dataFolder) + (line + 1);
    if (r.size() >= (size_t)kPathLineSize) return 0;
    std::memcpy(line, r.c_str(), r.size() + 1);
    return 1;
}

int PathExists(const char *path) {
    return path && std::strlen(path) > 1 && FsKind(path) >= 0 ? 1 : 0;
}

void NormalizePathSlashes(char *path) {
    if (!path) return;
    char *w = path;
    for (const char *r = path; *r;) {
        if (*r == '\\') {
            // Skip the whole run before writing: w may stand on r.
            while (*r == '\\') ++r;
            *w++ = '/';
        } else {
            *w++ = *r++;
        }
    }
    *w = '\0';
}

namespace {
unsigned g_refGeneration = 0;
}  // namespace

int SetRefDirectories(const char *a, const char *b, const char *c) {
    FillSlots(g_refSlots, a, b, c);
    g_refSet = true;
    ++g_refGeneration;
    return 1;
}

unsigned RefDirectoriesGeneration() { return g_refGeneration; }

int SetMapDirectories(const char *a, const char *b, const char *c) {
    FillSlots(g_mapSlots, a, b, c);
    g_mapSet = true;
    return 1;
}

const char *GetRefDirectory(int slot) { return SlotText(g_refSlots, g_refSet, slot); }
const char *GetMapDirectory(int slot) { return SlotText(g_mapSlots, g_mapSet, slot); }

char *MakeCatalogueFilePath(char *buffer, int k, int slot) {
    if (!buffer) return buffer;
    buffer[0] = '\0';
    const char *dir = GetRefDirectory(slot);
    const char *name = LoadCatalogueName(k);
    // Before the slots are set a bare "name.bin" would open a file of the
    // current folder; the empty path opens nothing.
    if (!dir || !*name) return buffer;
    std::snprintf(buffer, kCatalogueFilePathSize, "%s%s.bin", dir, name);
    return buffer;
}

FILE *OpenRefDirectoryFile(const char *name, int slot, const char *mode) {
    return OpenSlotFile(GetRefDirectory(slot), name, mode);
}

FILE *OpenMapDirectoryFile(const char *name, int slot, const char *mode) {
    return OpenSlotFile(GetMapDirectory(slot), name, mode);
}

void PrintCatalogueNames() {
    static const int kList[] = {47, 59, 36, 38, 41, 44, 70, 45, 46, 55};
    for (int k : kList) std::printf("%2d %s\n", k, LoadCatalogueName(k));
}

int EnsureBinFolder() {
    if (FileExists("./bin")) return 1;
    char install[kPathLineSize];
    if (!ReadInstallPath(kSuiteGeneration, install)) return 0;
    std::error_code ec;
    std::filesystem::current_path(install, ec);
    if (ec) return 0;
    return FileExists("./bin");
}
